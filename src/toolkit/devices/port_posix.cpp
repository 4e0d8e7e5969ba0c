// Serial ports without Windows: a COM name leads to a terminal device through a resolver, and
// the line is set through termios.  A port handle is the file descriptor plus one.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "toolkit/devices/port.h"

namespace {

const char *defaultresolver(const char *name) {
  static char path[32];
  int n = 0;
  if (strncmp(name, "COM", 3) != 0 || sscanf(name + 3, "%d", &n) != 1 || n < 1) return nullptr;
  snprintf(path, sizeof path, "/dev/ttyS%d", n - 1);
  return path;
}

WTportresolver resolver = defaultresolver;

int fd(void *port) { return static_cast<int>(reinterpret_cast<intptr_t>(port) - 1); }

struct Speed {
  int32_t baud;
  speed_t code;
};
const Speed speeds[] = {{300, B300},     {1200, B1200},   {2400, B2400},   {4800, B4800},
                        {9600, B9600},   {19200, B19200}, {38400, B38400}, {57600, B57600},
                        {115200, B115200}};

bool speedcode(int32_t baud, speed_t *code) {
  for (const Speed &s : speeds)
    if (s.baud == baud) return *code = s.code, true;
  return false;
}

int32_t baudof(speed_t code) {
  for (const Speed &s : speeds)
    if (s.code == code) return s.baud;
  return 0;
}

const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};

bool readstate(void *port, termios *t) {
  if (tcgetattr(fd(port), t) == 0) return true;
  if (fd(port) >= 0) tcflush(fd(port), TCIFLUSH);
  return false;
}

bool writestate(void *port, const termios *t) { return tcsetattr(fd(port), TCSANOW, t) == 0; }

// The fields of a mode text: baud, parity letter, data and stop bits.
bool parsemode(const char *mode, int *baud, char *parity, int *data, int *stop) {
  return sscanf(mode, "baud=%d parity=%c data=%d stop=%d", baud, parity, data, stop) == 4;
}

}  // namespace

extern "C" {

WTportresolver _WTport_setresolver(WTportresolver fn) {
  WTportresolver old = resolver;
  resolver = fn ? fn : defaultresolver;
  return old;
}

void *_WTport_open(const char *name) {
  const char *path = name ? resolver(name) : nullptr;
  if (!path) return nullptr;
  int f = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (f < 0) return nullptr;
  if (flock(f, LOCK_EX | LOCK_NB) != 0) {
    close(f);
    return nullptr;
  }
  termios t;
  if (tcgetattr(f, &t) == 0) {
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&t, B9600);
    tcsetattr(f, TCSANOW, &t);
  }
  return reinterpret_cast<void *>(static_cast<intptr_t>(f) + 1);
}

void _WTport_close(void *port) {
  if (port) close(fd(port));
}

int _WTport_configure(void *port, const char *mode) {
  int baud = 0, data = 0, stop = 0;
  char parity = 'N';
  termios t;
  speed_t code;
  if (!parsemode(mode, &baud, &parity, &data, &stop) || !speedcode(baud, &code)) return 0;
  if (data < 5 || data > 8 || !readstate(port, &t)) return 0;
  cfsetspeed(&t, code);
  t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB)) | sizes[data - 5];
  if (parity == 'E' || parity == 'e') t.c_cflag |= PARENB;
  if (parity == 'O' || parity == 'o') t.c_cflag |= PARENB | PARODD;
  if (stop == 2) t.c_cflag |= CSTOPB;
  return writestate(port, &t) ? 1 : 0;
}

int _WTport_read(void *port, void *buffer, int size) {
  ssize_t n = read(fd(port), buffer, static_cast<size_t>(size));
  if (n >= 0) return static_cast<int>(n);
  return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
}

int _WTport_write(void *port, const void *data, int size) {
  const char *p = static_cast<const char *>(data);
  int done = 0;
  while (done < size) {
    ssize_t n = write(fd(port), p + done, static_cast<size_t>(size - done));
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      usleep(1000);
      continue;
    }
    if (n <= 0) return done ? done : -1;
    done += static_cast<int>(n);
  }
  return done;
}

int _WTport_flush(void *port) { return tcdrain(fd(port)) == 0 ? 1 : 0; }

int _WTport_getbaud(void *port) {
  termios t;
  return readstate(port, &t) ? baudof(cfgetospeed(&t)) : -1;
}

int _WTport_setbaud(void *port, int32_t baud) {
  termios t;
  speed_t code;
  if (!readstate(port, &t) || !speedcode(baud, &code)) return 0;
  cfsetspeed(&t, code);
  return writestate(port, &t) ? 1 : 0;
}

int _WTport_getdatabits(void *port) {
  termios t;
  if (!readstate(port, &t)) return -1;
  for (int i = 0; i < 4; i++)
    if ((t.c_cflag & CSIZE) == sizes[i]) return i + 5;
  return -1;
}

int _WTport_setdatabits(void *port, int bits) {
  termios t;
  if (bits < 5 || bits > 8 || !readstate(port, &t)) return 0;
  t.c_cflag = (t.c_cflag & ~CSIZE) | sizes[bits - 5];
  return writestate(port, &t) ? 1 : 0;
}

int _WTport_setrts(void *port, int on) {
  int bit = TIOCM_RTS;
  return ioctl(fd(port), on ? TIOCMBIS : TIOCMBIC, &bit) == 0 ? 1 : 0;
}

int _WTport_inqueue(void *port) {
  int n = 0;
  return ioctl(fd(port), FIONREAD, &n) == 0 ? n : -1;
}
}
