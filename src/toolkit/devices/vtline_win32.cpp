// The glove library's serial ports on Windows: COM devices through the file and comm functions,
// whose time-outs the driver keeps.
#include <windows.h>
#include <errno.h>

#include "toolkit/devices/vtline.h"

namespace {

HANDLE handle(void *port) { return static_cast<HANDLE>(port); }

// The C library's error number stands for the system's in the library's reports: -1 or 0
// (refused) with it set.
int failed() {
  errno = EIO;
  return -1;
}
int refused() {
  errno = EIO;
  return 0;
}

void *open(const char *name) {
  HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h != INVALID_HANDLE_VALUE) return h;
  failed();
  return nullptr;
}

int configure(void *port, int speed, const VtTimeouts *t, const char **call) {
  if (!SetupComm(handle(port), 2048, 2048)) return *call = "SetupComm", refused();
  DCB dcb = {};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = static_cast<DWORD>(speed);
  dcb.fBinary = 1;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  if (!SetCommState(handle(port), &dcb)) return *call = "SetCommState", refused();
  COMMTIMEOUTS times = {};
  times.ReadIntervalTimeout = static_cast<DWORD>(t->interval);
  times.ReadTotalTimeoutMultiplier = static_cast<DWORD>(t->readmultiplier);
  times.ReadTotalTimeoutConstant = static_cast<DWORD>(t->readconstant);
  times.WriteTotalTimeoutMultiplier = static_cast<DWORD>(t->writemultiplier);
  times.WriteTotalTimeoutConstant = static_cast<DWORD>(t->writeconstant);
  if (!SetCommTimeouts(handle(port), &times)) return *call = "SetCommTimeouts", refused();
  return 1;
}

int read(void *port, void *buffer, int n) {
  DWORD got = 0;
  if (!ReadFile(handle(port), buffer, static_cast<DWORD>(n), &got, nullptr)) return failed();
  return static_cast<int>(got);
}

int write(void *port, const void *data, int n) {
  DWORD put = 0;
  if (!WriteFile(handle(port), data, static_cast<DWORD>(n), &put, nullptr)) return failed();
  return static_cast<int>(put);
}

int inqueue(void *port) {
  DWORD errors = 0;
  COMSTAT stat = {};
  if (!ClearCommError(handle(port), &errors, &stat)) return failed();
  return static_cast<int>(stat.cbInQue);
}

int purge(void *port) { return PurgeComm(handle(port), PURGE_RXCLEAR) ? 1 : refused(); }

int close(void *port) { return CloseHandle(handle(port)) ? 1 : refused(); }

}  // namespace

const VtLine vt_system_line = {open, configure, read, write, inqueue, purge, close};
