// The toolkit's time base: wall-clock time cached once per frame, so that every time stamp
// taken during one frame is the same.
#include <math.h>

#include "toolkit/core/core.h"

namespace {
bool cached;
int64_t utcseconds, localseconds;
int milliseconds;

void ensure() {
  if (!cached) _WTtime_refresh();
}
}  // namespace

extern "C" {

void _WTtime_refresh(void) {
  int bias;
  _WTsys_timeofday(&utcseconds, &milliseconds, &bias);
  localseconds = utcseconds - static_cast<int64_t>(bias) * 60;
  cached = true;
}

double _WTtime_now(void) {
  ensure();
  return _WTtime_make(utcseconds, milliseconds);
}

double _WTtime_localnow(void) {
  ensure();
  return _WTtime_make(localseconds, milliseconds);
}

int64_t _WTtime_seconds(void) {
  ensure();
  return utcseconds;
}

int64_t _WTtime_localseconds(void) {
  ensure();
  return localseconds;
}

int _WTtime_milliseconds(void) {
  ensure();
  return milliseconds;
}

double _WTtime_make(int64_t seconds, int ms) {
  return seconds < 0 ? static_cast<double>(seconds) - ms * 0.001
                     : static_cast<double>(seconds) + ms * 0.001;
}

int64_t _WTtime_seconds_of(double t) { return static_cast<int64_t>(t); }

int _WTtime_milliseconds_of(double t) {
  double fraction = fabs(t - trunc(t));
  // A stamp made from whole milliseconds comes back as the same count despite rounding.
  int ms = static_cast<int>(fraction * 1000 + 1e-3);
  return ms > 999 ? 999 : ms;
}
}
