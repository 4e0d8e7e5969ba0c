// Serial ports on Windows: COM devices through the file and comm functions.
#include <windows.h>

#include "toolkit/devices/port.h"

namespace {

HANDLE handle(void *port) { return static_cast<HANDLE>(port); }

bool readstate(void *port, DCB *dcb) {
  dcb->DCBlength = sizeof *dcb;
  if (GetCommState(handle(port), dcb)) return true;
  DWORD errors = 0;
  ClearCommError(handle(port), &errors, nullptr);
  return false;
}

}  // namespace

extern "C" {

void *_WTport_open(const char *name) {
  HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

void _WTport_close(void *port) {
  if (port) CloseHandle(handle(port));
}

int _WTport_configure(void *port, const char *mode) {
  DCB dcb;
  if (!SetupComm(handle(port), 1024, 1024) || !readstate(port, &dcb)) return 0;
  if (!BuildCommDCBA(mode, &dcb)) return 0;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  if (!SetCommState(handle(port), &dcb)) return 0;
  COMMTIMEOUTS t = {};
  t.ReadIntervalTimeout = MAXDWORD;
  return SetCommTimeouts(handle(port), &t) ? 1 : 0;
}

int _WTport_read(void *port, void *buffer, int size) {
  DWORD n = 0;
  if (!ReadFile(handle(port), buffer, static_cast<DWORD>(size), &n, nullptr)) return -1;
  return static_cast<int>(n);
}

int _WTport_write(void *port, const void *data, int size) {
  DWORD n = 0;
  if (!WriteFile(handle(port), data, static_cast<DWORD>(size), &n, nullptr)) return -1;
  return static_cast<int>(n);
}

int _WTport_flush(void *port) { return FlushFileBuffers(handle(port)) ? 1 : 0; }

int _WTport_getbaud(void *port) {
  DCB dcb;
  return readstate(port, &dcb) ? static_cast<int>(dcb.BaudRate) : -1;
}

int _WTport_setbaud(void *port, int32_t baud) {
  DCB dcb;
  if (!readstate(port, &dcb)) return 0;
  dcb.BaudRate = static_cast<DWORD>(baud);
  return SetCommState(handle(port), &dcb) ? 1 : 0;
}

int _WTport_getdatabits(void *port) {
  DCB dcb;
  return readstate(port, &dcb) ? dcb.ByteSize : -1;
}

int _WTport_setdatabits(void *port, int bits) {
  DCB dcb;
  if (!readstate(port, &dcb)) return 0;
  dcb.ByteSize = static_cast<BYTE>(bits);
  return SetCommState(handle(port), &dcb) ? 1 : 0;
}

int _WTport_setrts(void *port, int on) {
  return EscapeCommFunction(handle(port), on ? SETRTS : CLRRTS) ? 1 : 0;
}

int _WTport_inqueue(void *port) {
  DWORD errors = 0;
  COMSTAT stat = {};
  if (!ClearCommError(handle(port), &errors, &stat)) return -1;
  return static_cast<int>(stat.cbInQue);
}

WTportresolver _WTport_setresolver(WTportresolver) { return nullptr; }
}
