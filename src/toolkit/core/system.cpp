// Clock, random numbers, sleeping, the wait cursor and the hooks in front of the system's
// message box, process end, export lookup, clock and sleep.
#include <stdlib.h>

#include "toolkit/core/core.h"
#include "toolkit/core/platform.h"

namespace {

WTboxhook boxhook;
WTexithook exithook;
WTlookuphook lookuphook;
WTclockhook clockhook;
WTtimeofdayhook timeofdayhook;
WTsleephook sleephook;

int32_t clockms() { return clockhook ? clockhook() : _WTplat_clockms(); }

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

WTclockhook _WTsys_setclockhook(WTclockhook fn) {
  WTclockhook old = clockhook ? clockhook : _WTplat_clockms;
  clockhook = fn;
  return old;
}

WTtimeofdayhook _WTsys_settimeofdayhook(WTtimeofdayhook fn) {
  WTtimeofdayhook old = timeofdayhook ? timeofdayhook : _WTplat_timeofday;
  timeofdayhook = fn;
  return old;
}

WTsleephook _WTsys_setsleephook(WTsleephook fn) {
  WTsleephook old = sleephook ? sleephook : _WTplat_sleep;
  sleephook = fn;
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

void _WTsys_timeofday(int64_t *seconds, int *ms, int *biasminutes) {
  if (timeofdayhook)
    timeofdayhook(seconds, ms, biasminutes);
  else
    _WTplat_timeofday(seconds, ms, biasminutes);
}

double _WTsys_seconds(void) { return clockms() / 1000.0; }

double _WTsys_elapsed(void) {
  int32_t now = clockms();
  if (previousclock == -1) {
    previousclock = now;
    return -1.0;
  }
  if (now == previousclock) return 0.004;
  double elapsed = (now - previousclock) / 1000.0;
  previousclock = now;
  return elapsed;
}

void _WTsys_sleep(unsigned int ms) {
  if (sleephook)
    sleephook(ms);
  else
    _WTplat_sleep(ms);
}

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
