// The byte link under the 3D-audio server protocol: a table of 8 open ports addressed by slot,
// reads that return at once with a clock-based time-out, one byte of look-ahead shared by all
// slots, and a few typed readers.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "toolkit/devices/cre.h"
#include "toolkit/devices/devices.h"
#include "toolkit/devices/port.h"

namespace {

const int kSlots = 8;
void *slots[kSlots];
int handedout;
int lookahead = -1;
int readtimeout = 5;

void *port(int slot) { return slot >= 0 && slot < kSlots ? slots[slot] : nullptr; }

// One byte if one has arrived, else -1.
int readnow(int slot) {
  unsigned char byte;
  void *p = port(slot);
  return p && _WTport_read(p, &byte, 1) == 1 ? byte : -1;
}

}  // namespace

extern "C" {

int _WTcre_serialopen(int *slot, const char *name, int baud, char parity, int databits, int stopbits) {
  if (handedout >= kSlots) handedout = 0;
  char mode[80];
  snprintf(mode, sizeof mode, "baud=%d parity=%c data=%d stop=%d", baud, parity, databits, stopbits);
  void *p = _WTport_open(name);
  if (!p) return 0;
  int n = handedout++;
  slots[n] = p;
  *slot = n;
  if (!_WTport_configure(p, mode)) {
    _WTcre_serialclose(n);
    return 0;
  }
  lookahead = -1;
  return 1;
}

void _WTcre_serialclose(int slot) {
  if (!port(slot)) return;
  _WTport_close(slots[slot]);
  slots[slot] = nullptr;
}

int _WTcre_available(int slot) {
  if (lookahead >= 0) return 1;
  lookahead = readnow(slot);
  return lookahead >= 0;
}

int _WTcre_readbyte(int slot) {
  if (lookahead >= 0) {
    int byte = lookahead;
    lookahead = -1;
    return byte;
  }
  int64_t deadline = _WTdevice_clock() + readtimeout;
  for (;;) {
    int byte = readnow(slot);
    if (byte >= 0) return byte;
    if (_WTdevice_clock() > deadline) return -1;
  }
}

int _WTcre_writebyte(int slot, int byte) {
  unsigned char b = static_cast<unsigned char>(byte);
  void *p = port(slot);
  if (p && _WTport_write(p, &b, 1) == 1) return 1;
  perror("serial write byte");
  return 0;
}

int _WTcre_writeblock(int slot, const void *data, int length) {
  void *p = port(slot);
  if (p && _WTport_write(p, data, length) == length) return 0;
  perror("serial write data");
  return 1;
}

int _WTcre_writetext(int slot, const char *text) {
  return _WTcre_writeblock(slot, text, static_cast<int>(strlen(text)));
}

int _WTcre_flush(int slot) {
  void *p = port(slot);
  if (p && _WTport_flush(p)) return 1;
  perror("FLUSH");
  return 0;
}

int _WTcre_expect(int slot, const char *text) {
  for (; *text; text++)
    if (_WTcre_readbyte(slot) != static_cast<unsigned char>(*text)) return static_cast<unsigned char>(*text);
  return 0;
}

int _WTcre_waitbyte(int slot, int byte) {
  int64_t quiet = 0;
  for (;;) {
    int64_t before = _WTdevice_clock();
    int got = _WTcre_readbyte(slot);
    if (got == byte) return got;
    if (got >= 0) {
      quiet = 0;
      continue;
    }
    quiet += _WTdevice_clock() - before;
    if (quiet >= 1000) return -1;
  }
}

int _WTcre_dump(int slot) {
  for (int byte; (byte = _WTcre_readbyte(slot)) >= 0;) {
    printf("%02x ", byte);
    if (byte >= 32 && byte <= 126) _WTmsg_info("(%c) ", byte);
  }
  _WTmsg_info("\n");
  return 1;
}

int _WTcre_read16(int slot) {
  int low = _WTcre_readbyte(slot) & 0xFF;
  return low | (_WTcre_readbyte(slot) & 0xFF) << 8;
}

float _WTcre_readfloat(int slot) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; i++) bits |= static_cast<uint32_t>(_WTcre_readbyte(slot) & 0xFF) << (8 * i);
  float f;
  memcpy(&f, &bits, sizeof f);
  return f;
}

int _WTcre_readtext(int slot, char *buffer, int limit) {
  int n = 0;
  for (int byte; n < limit && (byte = _WTcre_readbyte(slot)) >= 0;) buffer[n++] = static_cast<char>(byte);
  buffer[n] = 0;
  return n;
}
}
