// Clock, random numbers, sleeping, the wait cursor and the hooks in front of the system's
// message box, process end and export lookup.
#include <stdlib.h>

#include "toolkit/core/core.h"
#include "toolkit/core/platform.h"

namespace {

WTboxhook boxhook;
WTexithook exithook;
WTlookuphook lookuphook;

// Clock reading of the previous _WTsys_elapsed call, -1 before the first.
int32_t previousclock = -1;

WTcursorhandle replacedcursor;

}  // namespace

extern "C" {

WTboxhook _WTsys_setboxhook(WTboxhook fn) {
  WTboxhook old = boxhook ? boxhook : _WTplat_messagebox;
  boxhook = fn;
  return old;
}

WTexithook _WTsys_setexithook(WTexithook fn) {
  WTexithook old = exithook ? exithook : _WTplat_exit;
  exithook = fn;
  return old;
}

WTlookuphook _WTsys_setlookuphook(WTlookuphook fn) {
  WTlookuphook old = lookuphook ? lookuphook : _WTplat_findexport;
  lookuphook = fn;
  return old;
}

int _WTsys_messagebox(const char *text, const char *caption, unsigned style) {
  return boxhook ? boxhook(text, caption, style) : _WTplat_messagebox(text, caption, style);
}

void _WTsys_exit(int code) {
  if (exithook)
    exithook(code);
  else
    _WTplat_exit(code);
}

void *_WTsys_findexport(const char *name) {
  return lookuphook ? lookuphook(name) : _WTplat_findexport(name);
}

int _WTsys_random(int n) { return n ? rand() % n : 0; }

double _WTsys_seconds(void) { return _WTplat_clockms() / 1000.0; }

double _WTsys_elapsed(void) {
  int32_t now = _WTplat_clockms();
  if (previousclock == -1) {
    previousclock = now;
    return -1.0;
  }
  if (now == previousclock) return 0.004;
  double elapsed = (now - previousclock) / 1000.0;
  previousclock = now;
  return elapsed;
}

void _WTsys_sleep(unsigned int ms) { _WTplat_sleep(ms); }

WTcursorhandle _WTsys_waitcursor(WTcursorhandle arg) {
  if (!arg) {
    if (void *wait = _WTplat_waitcursor()) replacedcursor = _WTplat_setcursor(wait);
  } else if (arg == reinterpret_cast<WTcursorhandle>(1)) {
    if (replacedcursor) _WTplat_setcursor(replacedcursor);
  } else {
    replacedcursor = _WTplat_setcursor(arg);
  }
  return replacedcursor;
}
}
