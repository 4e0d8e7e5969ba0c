// The mouse driver of the simulation's sensor. The toolkit's windows feed its raw record (pointer
// position and buttons) once they exist; until then the record stays zero and the walk moves
// nothing.
#include <string.h>

#include "toolkit/core/motion.h"
#include "toolkit/wt.h"

extern "C" {

WTAPI int WTmouse_open(WTsensor *sensor) {
  void *raw = _WTmem_alloc(8);
  memset(raw, 0, 8);
  _WTsensor_setrawdata(sensor, raw);
  return 1;
}

WTAPI void WTmouse_close(WTsensor *) {}

WTAPI void WTmouse_walk(WTsensor *sensor) {
  // No pointer motion recorded: the sensor keeps still this frame.
  if (sensor && sensor->raw) memset(sensor->raw, 0, 8);
}

}  // extern "C"
