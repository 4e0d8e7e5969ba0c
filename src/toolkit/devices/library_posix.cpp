// Outside libraries of the devices without Windows.
#include <dlfcn.h>

#include "toolkit/devices/library.h"

void _WTdevice_freelibrary(void *library) {
  if (library) dlclose(library);
}

int _WTdevice_iswin32s() { return 0; }
