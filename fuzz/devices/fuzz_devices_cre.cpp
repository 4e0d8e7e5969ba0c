// The 3D-audio server's reply and payload readers on bytes that a pseudo-terminal delivers as the
// server's line.  The input's first byte picks the reader and the expected code, the second the
// client id, the third the booted listeners; the rest is the line.
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "toolkit/devices/cre.h"
#include "toolkit/devices/devices.h"
#include "toolkit/devices/port.h"

namespace {

int master = -1, watcher = -1;
char slavepath[128];

const char *resolve(const char *) { return slavepath; }

bool start() {
  master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master < 0 || grantpt(master) || unlockpt(master) || ptsname_r(master, slavepath, sizeof slavepath)) return false;
  _WTport_setresolver(resolve);
  _WTdevice_setspeed(1000000);
  if (!_WTcre_openlink()) return false;
  watcher = open(slavepath, O_RDWR | O_NOCTTY | O_NONBLOCK);
  return watcher >= 0;
}

// Puts the bytes on the line and waits until the program's end can read them all.
void deliver(const uint8_t *data, size_t size) {
  if (size && write(master, data, size) != static_cast<ssize_t>(size)) return;
  for (int i = 0, n = 0; i < 1000; i++) {
    if (ioctl(watcher, FIONREAD, &n) == 0 && n >= static_cast<int>(size)) return;
    usleep(50);
  }
}

// Empties the line both ways: what the program did not read, and what it sent.
void drain() {
  for (int n = 0; ioctl(watcher, FIONREAD, &n) == 0 && n > 0;) _WTcre_readbyte(_WTcre_link().slot);
  char sent[4096];
  while (read(master, sent, sizeof sent) > 0) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static bool ready = start();
  if (!ready || size < 3 || size > 2000) return 0;
  CreLink &link = _WTcre_link();
  link.client = data[1] & 7;
  link.listenermask = data[2];
  link.sources = 24;
  link.replyfn = nullptr;
  deliver(data + 3, size - 3);
  int code = (data[0] & 0x3F) - 8;
  float values[25];
  char text[33];
  switch (data[0] >> 6) {
    case 0: _WTcre_readreply(code); break;
    case 1: _WTcre_readpayload(code, 3, 24, values); break;
    case 2: _WTcre_readpayload(code, 1, 32, text); break;
    default: {
      int flags[32];
      _WTcre_sourceflags(flags);
      break;
    }
  }
  drain();
  return 0;
}
