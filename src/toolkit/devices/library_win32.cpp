// Outside libraries of the devices on Windows.
#include <windows.h>

#include "toolkit/devices/library.h"

void _WTdevice_freelibrary(void *library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

int _WTdevice_iswin32s() {
  DWORD version = GetVersion();
  return (version & 0x80000000u) && (version & 0xFF) < 4;
}
