// The least of the neighbouring layers that geometries need while those layers are not part of
// the library: object poses.  The object layer removes it here.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

extern "C" {

int _WTobject_getposes(WTobject *, WTpq *, WTpq *) { return 0; }

}
