// The device clock: every wait of the device links (read time-outs, the pause before a reply, a
// boot's wait) runs on the monotonic clock through here, so that a test can speed them up.
#include "toolkit/core/platform.h"
#include "toolkit/devices/devices.h"

namespace {
int speed = 1;
}

extern "C" {

int64_t _WTdevice_clock(void) { return static_cast<int64_t>(_WTplat_clockms()) * speed; }

int _WTdevice_setspeed(int factor) {
  int old = speed;
  speed = factor >= 1 ? factor : 1;
  return old;
}

void _WTdevice_pause(int ms) {
  int64_t end = _WTdevice_clock() + ms;
  while (_WTdevice_clock() < end) _WTplat_sleep(1);
}
}
