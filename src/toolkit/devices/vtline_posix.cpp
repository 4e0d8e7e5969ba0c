// The glove library's serial ports without Windows: a COM name leads to a terminal device
// through the ports' resolver (any other name is a device path), the line is set through
// termios, and reads and writes keep the time-outs a Windows comm driver keeps, as poll
// deadlines: a read ends when its total time (a constant plus so much a byte) runs out, or,
// once a byte came, when the line stays quiet for the interval.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "toolkit/devices/port.h"
#include "toolkit/devices/vtline.h"

namespace {

struct Port {
  int fd;
  VtTimeouts timeouts;
};

Port *record(void *port) { return static_cast<Port *>(port); }

int64_t nowms() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

struct Speed {
  int baud;
  speed_t code;
};
const Speed speeds[] = {{300, B300},     {600, B600},     {1200, B1200},   {2400, B2400},   {4800, B4800},
                        {9600, B9600},   {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};

// Waits for the events until the deadline: 1 when they came, 0 when it ran out, -1 on failure.
int await(int fd, short events, int64_t deadline) {
  for (;;) {
    int64_t left = deadline - nowms();
    if (left <= 0) return 0;
    pollfd p = {fd, events, 0};
    int n = poll(&p, 1, static_cast<int>(left));
    if (n > 0) return (p.revents & events) ? 1 : -1;
    if (n == 0) return 0;
    if (errno != EINTR) return -1;
  }
}

void *open(const char *name) {
  const char *path = _WTport_path(name);
  if (!path && name[0] == '/') path = name;
  if (!path) {
    errno = ENOENT;
    return nullptr;
  }
  int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    errno = EBUSY;
    return nullptr;
  }
  Port *p = static_cast<Port *>(calloc(1, sizeof(Port)));
  if (!p) {
    ::close(fd);
    return nullptr;
  }
  p->fd = fd;
  return p;
}

int configure(void *port, int baud, const VtTimeouts *timeouts, const char **call) {
  Port *p = record(port);
  termios t;
  *call = "tcgetattr";
  if (tcgetattr(p->fd, &t) != 0) return 0;
  const Speed *speed = nullptr;
  for (const Speed &s : speeds)
    if (s.baud == baud) speed = &s;
  *call = "cfsetspeed";
  if (!speed) return errno = EINVAL, 0;
  cfmakeraw(&t);
  t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | CSTOPB | CRTSCTS)) | CS8 | CLOCAL | CREAD;
  t.c_iflag &= ~(IXON | IXOFF);
  cfsetspeed(&t, speed->code);
  *call = "tcsetattr";
  if (tcsetattr(p->fd, TCSANOW, &t) != 0) return 0;
  // DTR and RTS off; a pseudo-terminal has neither.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(p->fd, TIOCMBIC, &lines);
  p->timeouts = *timeouts;
  return 1;
}

int read(void *port, void *buffer, int n) {
  Port *p = record(port);
  char *out = static_cast<char *>(buffer);
  int64_t total = nowms() + static_cast<int64_t>(p->timeouts.readmultiplier) * n + p->timeouts.readconstant;
  int got = 0;
  while (got < n) {
    int64_t deadline = total;
    if (got > 0 && p->timeouts.interval > 0 && nowms() + p->timeouts.interval < deadline)
      deadline = nowms() + p->timeouts.interval;
    int ready = await(p->fd, POLLIN, deadline);
    if (ready <= 0) return ready < 0 ? (errno = EIO, -1) : got;
    ssize_t r = ::read(p->fd, out + got, static_cast<size_t>(n - got));
    if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (r <= 0) return r == 0 ? got : -1;
    got += static_cast<int>(r);
  }
  return got;
}

int write(void *port, const void *data, int n) {
  Port *p = record(port);
  const char *in = static_cast<const char *>(data);
  int64_t deadline = nowms() + static_cast<int64_t>(p->timeouts.writemultiplier) * n + p->timeouts.writeconstant;
  int put = 0;
  while (put < n) {
    int ready = await(p->fd, POLLOUT, deadline);
    if (ready <= 0) return ready < 0 ? (errno = EIO, -1) : put;
    ssize_t r = ::write(p->fd, in + put, static_cast<size_t>(n - put));
    if (r < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (r < 0) return -1;
    put += static_cast<int>(r);
  }
  return put;
}

int inqueue(void *port) {
  int n = 0;
  return ioctl(record(port)->fd, FIONREAD, &n) == 0 ? n : -1;
}

int purge(void *port) { return tcflush(record(port)->fd, TCIFLUSH) == 0 ? 1 : 0; }

int close(void *port) {
  Port *p = record(port);
  int ok = ::close(p->fd) == 0;
  free(p);
  return ok ? 1 : 0;
}

}  // namespace

const VtLine vt_system_line = {open, configure, read, write, inqueue, purge, close};
