// The link to the 3D-audio server: one process-wide state, the byte encodings, packets, replies
// and acknowledgements, opening the port from the environment, and booting and removing
// listeners.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

#include "toolkit/devices/cre.h"
#include "toolkit/devices/devices.h"

namespace {

CreLink link;
bool exithandler;

void reset(CreLink &l) {
  int ack = l.acknowledge;
  memset(&l, 0, sizeof l);
  l.port = 1, l.baud = 384, l.handshake = 1, l.timefactor = 30, l.scale = 100, l.bootchecks = 1;
  l.acknowledge = ack;
  l.slot = -1;
}

struct Init {
  Init() { reset(link); }
} init;

void portclosed() {
  if (!link.open) return;
  _WTdevice_pause(1000);
  if (link.debug) printf("\nPort closed.\n");
  link.open = 0;
}

void atend() { portclosed(); }

// ---- Opening the link ------------------------------------------------------------------------

bool knownbaud(int baud) {
  for (int b : {96, 144, 192, 384, 576, 768, 1152})
    if (b == baud) return true;
  return false;
}

void readenvironment() {
  int port = 0, baud = 0, factor = 0;
  if (const char *s = getenv("TRONCOM")) {
    int n = sscanf(s, "%d@%d,%d", &port, &baud, &factor);
    if (n >= 1 && port >= 1 && port <= 8) link.port = port;
    if (n >= 2 && knownbaud(baud)) link.baud = baud;
    if (n >= 3) {
      if (factor < 0) link.handshake = 0;
      link.timefactor = abs(factor);
    }
  }
  if (const char *s = getenv("ATRNDEBUG")) sscanf(s, "%d", &link.acknowledge);
}

// ---- Replies -----------------------------------------------------------------------------------

int readheader() {
  int byte;
  do {
    if (!_WTcre_available(link.slot)) return -1;
    byte = _WTcre_readbyte(link.slot);
  } while (!(byte & 0x80));
  return byte;
}

bool headerfits(int byte, int code) {
  int masked = byte & (link.client ? 0x3F : 0x34);
  if (byte >= 0 && masked == (0x30 | link.client)) return true;
  printf("CRE READ ERROR: got a %x,%x\n looking for %x client %x", byte, masked, code, link.client);
  return false;
}

// ---- Boot ----------------------------------------------------------------------------------------

double bootweight(int driver) {
  if (driver == 0 || driver == 1 || driver == 7) return 1.0;
  if (driver == 2) return 2.0;
  if ((driver >= 3 && driver <= 6) || driver == 11) return 19.0;
  return 0.0;
}

int checkboot(int driver, int head) {
  if (head > 4) {
    fprintf(stderr, "\a\nHead ID out of range (MAX=%d).\n", 4);
    return -5;
  }
  if (head != link.listeners || head >= 64) return -5;
  if ((driver >= 3 && driver <= 7) || driver == 11) return 0;
  if (link.debug) fprintf(stderr, "\a\nUnsupported driver (Use CMP1, BMP1, or ARS3).\n");
  return -5;
}

// The first boot's mode and debug flag; false when the port cannot be opened.
bool firstboot(int *flags) {
  int mode = *flags & 0xF;
  if (link.sources && mode != link.bootmode) {
    link.status |= 1u << 13;
  } else if (mode > 5) {
    mode = 0;
    *flags &= ~0xF;
    link.status |= 1u << 12;
  }
  link.bootmode = mode;
  link.debug = *flags & 0x8000;
  return _WTcre_openlink();
}

void sendboot(int driver, int head, int sources, int flags) {
  _WTcre_flush(link.slot);
  for (int b : {0xC0, driver & 0x7F, head & 0x7F, sources & 0x7F, flags & 0x7F, (flags & 0x3FFF) >> 7,
                link.client & 0x7F, 0x04})
    _WTcre_put(b);
  _WTcre_send();
}

// Waits up to the boot's time for the server's answer; the status read.
int waitboot(int driver, int head, int sources) {
  int seconds = static_cast<int>(bootweight(driver) * sources * link.timefactor / 100.0);
  int status = link.handshake ? -7 : sources;
  int64_t start = _WTdevice_clock(), end = start + 1000LL * seconds, dot = start + 7000;
  while (_WTdevice_clock() < end) {
    if (_WTdevice_clock() >= dot) {
      fprintf(stderr, ".");
      dot += 7000;
    }
    if (link.handshake && _WTcre_available(link.slot)) {
      status = _WTcre_readreply(head);
      if (status >= -6) break;
    } else {
      _WTdevice_pause(1);
    }
  }
  return status;
}

const char *initerror(int level) {
  switch (level) {
    case 0: return "Nothing to initialize. D=%d, H=%d, S=%d.";
    case 1: return "Driver (%d) invalid or not supported.";
    case 2: return "Listener (%0d%d) invalid.";
    case 3: return "Memory alloc or DSP load problem.\n%14s%s";
    case 4: return "HRTF map load failure.";
    default: return "error level out of range.";
  }
}

void reportboot(int status, int driver, int head, int sources) {
  if (!link.debug) return;
  if (status < 1) {
    printf("\nCREinitError: ");
    if (-status == 3) fprintf(stderr, initerror(3), "", "See _tron_error codes.");
    else if (-status <= 2) fprintf(stderr, initerror(-status), driver, head, sources);
    else fprintf(stderr, "%s", initerror(-status));
  } else if (link.listeners) {
    printf(" success.\n>> Initialized listener ID:%d with %d sources.", head, sources);
  } else {
    printf(" booted.\n>> Initialized Acoustetron on %s%d @ %d00 \n     for listener ID:%d with %d sources.",
           "COM", link.port, link.baud, head, sources);
  }
  printf("\n");
}

void keepboot(int driver, int head, int sources) {
  link.replyfn = nullptr;
  int h = head & ~0x40;
  if (driver != 2 && link.sources <= sources) link.sources = sources + (head & 0x40 ? 1 : 0);
  if (link.listeners <= h) link.listeners = h + 1;
  link.listenermask |= 1ull << h;
}

}  // namespace

CreLink &_WTcre_link() { return link; }

void _WTcre_defaults() {
  if (link.slot >= 0) _WTcre_serialclose(link.slot);
  reset(link);
}

int _WTcre_openlink() {
  if (link.open) return 1;
  readenvironment();
  if (link.debug) printf("Initializing serial port %d at %d00 baud", link.port, link.baud);
  char name[16];
  snprintf(name, sizeof name, "COM%d", link.port);
  if (!_WTcre_serialopen(&link.slot, name, link.baud * 100, 'N', 8, 1)) {
    link.slot = -1;
    return 0;
  }
  if (!exithandler) atexit(atend);
  exithandler = true;
  link.open = 1;
  return 1;
}

// ---- Encodings and packets ---------------------------------------------------------------------

void _WTcre_put(int byte) {
  if (link.outn == static_cast<int>(sizeof link.out)) {
    _WTcre_writeblock(link.slot, link.out, link.outn);
    link.outn = 0;
  }
  link.out[link.outn++] = static_cast<unsigned char>(byte);
}

void _WTcre_putu7(int value) { _WTcre_put(value & 0x7F); }

void _WTcre_puts14(int value) {
  _WTcre_put(value & 0x7F);
  _WTcre_put((value >> 7) & 0x7F);
}

void _WTcre_puts21(int value) {
  _WTcre_puts14(value);
  _WTcre_put((value >> 14) & 0x7F);
}

void _WTcre_puttenths(float value) { _WTcre_puts14(static_cast<int>(value * 10.0f)); }
void _WTcre_putangle(float radians) { _WTcre_puts14(static_cast<int>(radians * 8191.0f / 3.14159f)); }
void _WTcre_puthalfturn(float radians) { _WTcre_putu7(static_cast<int>(fabsf(radians) * 127.0f / 3.14159f)); }
void _WTcre_putposition(float value) { _WTcre_puts21(static_cast<int>(value * static_cast<float>(link.scale))); }

int _WTcre_decimalword(float value) {
  double x = value;
  if (fabs(x) < 1e-7) return 0;
  int e = 0;
  while (fabs(x) < 32.0 && e >= -15) x *= 10.0, e--;
  while (fabs(x) > 512.0 && e <= 15) x *= 0.1, e++;
  int m = static_cast<int>(x + 0.5);
  return ((e & 0xF) | (m << 4)) & 0x3FFF;
}

void _WTcre_putdecimal(float value) {
  int w = _WTcre_decimalword(value);
  _WTcre_put(w & 0x7F);
  _WTcre_put((w >> 7) & 0x7F);
}

void _WTcre_puttext(const char *text) {
  int n = static_cast<int>(strlen(text));
  _WTcre_putu7(n);
  for (int i = 0; i < n; i++) _WTcre_put(text[i] & 0x7F);
}

void _WTcre_putword(int32_t word) {
  uint32_t w = static_cast<uint32_t>(word);
  _WTcre_puts14(static_cast<int>(w & 0x3FFF));
  _WTcre_puts14(static_cast<int>((w >> 14) & 0x3FFF));
  _WTcre_puts14(static_cast<int>(w >> 28));
}

void _WTcre_send() {
  if (link.outn) _WTcre_writeblock(link.slot, link.out, link.outn);
  link.outn = 0;
}

// ---- Replies and acknowledgements ----------------------------------------------------------------

int _WTcre_reads14() {
  int low = _WTcre_readbyte(link.slot) & 0x7F;
  int v = low | (_WTcre_readbyte(link.slot) & 0x7F) << 7;
  return v & 0x2000 ? v - 0x4000 : v;
}

int32_t _WTcre_readword() {
  uint32_t w = static_cast<uint32_t>(_WTcre_reads14()) & 0x3FFF;
  w |= (static_cast<uint32_t>(_WTcre_reads14()) & 0x3FFF) << 14;
  w |= (static_cast<uint32_t>(_WTcre_reads14()) & 0xF) << 28;
  return static_cast<int32_t>(w);
}

int _WTcre_readreply(int code) {
  if (CreReplyFn fn = link.replyfn) {
    link.replyfn = nullptr;
    fn(link.replywave, link.replyflag);
  }
  _WTdevice_pause(1000);
  int header = readheader();
  if (!headerfits(header, code)) return -7;
  int echo = _WTcre_readbyte(link.slot);
  if (code >= 0 && echo != code) return -8;
  if (code < 0 && (echo < 0 || !(link.listenermask >> (echo & 31) & 1))) return -9;
  if (!link.client) link.client = header & 7;
  return _WTcre_readbyte(link.slot);
}

int _WTcre_readpayload(int code, int kind, int max, void *buffer) {
  int start = _WTcre_readreply(code);
  if (start < 0) return start;
  int n = _WTcre_readbyte(link.slot);
  if (n < 0) n = 0;
  if (n > max - start) n = max > start ? max - start : 0;
  for (int i = 0; i < n; i++) {
    if (kind == 1) static_cast<char *>(buffer)[start + i] = static_cast<char>(_WTcre_readbyte(link.slot));
    else static_cast<float *>(buffer)[start + i] = static_cast<float>(_WTcre_reads14() * 0.1);
  }
  if (kind == 1 && start <= max) static_cast<char *>(buffer)[start + n] = 0;
  if (n > 1 && _WTcre_readbyte(link.slot) != 0x04) return -1;
  return n;
}

int _WTcre_ack(int code) {
  if (!link.acknowledge) return 1;
  _WTcre_putu7(link.client);
  return _WTcre_readreply(code);
}

// ---- Boot, remove, commit ------------------------------------------------------------------------

int _WTcre_boot(int driver, int head, int sources, int flags) {
  int h = head & ~0x40;
  bool first = link.listeners == 0;
  if (first) {
    link.status = 0;
    memset(link.sourcemodes, 0, sizeof link.sourcemodes);
  }
  if (int refused = checkboot(driver, h)) return refused;
  if (sources > 24) sources = 24, link.status |= 1;
  if (first && !firstboot(&flags)) return 0;
  if (!link.handshake) flags |= 1 << 13;
  sendboot(driver, head, sources, flags);
  int status = waitboot(driver, head, sources);
  if (!link.bootchecks) status = sources;
  if (link.bootchecks && link.handshake) {
    if (status > sources) status = (status & 0x40) ? (status & 0x7F) - 128 : status & 0x7F;
    if (status == -10) {
      _WTdevice_pause(5000);
      return _WTcre_boot(driver, head, sources, flags);
    }
    if (status < -6) {
      if (link.debug) printf(" No response.");
      if (link.debug && status == -8) printf("\nServer responding to wrong head ID.");
      return -6;
    }
    if (status < sources) sources = status;
  }
  reportboot(status, driver, h, sources);
  keepboot(driver, head, sources);
  return status;
}

int _WTcre_removelistener(int driver, int head) {
  if (driver >= 12) return -1;
  if (head != link.listeners - 1) return -3;
  bool booted = link.sources > 0;
  if (booted && !(link.listenermask >> (head & 63) & 1)) return -2;
  int result = 1;
  if (booted) {
    _WTdevice_pause(1000);
    _WTcre_flush(link.slot);
    for (int b : {0xC0, driver & 0x7F, head & 0x7F, 0, 0, 0, link.client & 0x7F, 0x04}) _WTcre_put(b);
    _WTcre_send();
    if (link.acknowledge) result = _WTcre_readreply(0);
  }
  link.listenermask &= ~(1ull << (head & 63));
  link.listeners--;
  if (link.listeners <= 0) {
    portclosed();
    _WTcre_defaults();
  }
  return result;
}

int _WTcre_commit() {
  if (!link.pending) return 1;
  _WTcre_writebyte(link.slot, 0x80);
  link.pending = 0;
  return link.acknowledge ? _WTcre_readreply(0) : 1;
}
