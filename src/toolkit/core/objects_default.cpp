// Defaults for the object calls that paths and motion links make, for as long as the object
// layer is not part of the library: there are no objects, so every call is refused.
#include "toolkit/core/layers.h"

extern "C" {
int _WTobject_getposition(WTobject *, WTp3) { return 0; }
int _WTobject_getorientation(WTobject *, WTq) { return 0; }
int _WTobject_setposition(WTobject *, const WTp3) { return 0; }
int WTobject_setorientation(WTobject *, const WTq) { return 0; }
int _WTobject_setpose(WTobject *, const WTpq *) { return 0; }
WTobject *_WTobject_copy(WTobject *) { return nullptr; }
void _WTobject_delete(WTobject *) {}
int _WTobject_remove(WTobject *) { return 0; }
int _WTobject_addtoscene(WTobject *) { return 0; }
void _WTobject_motionupdate(void) {}
WTobject *_WTobject_load(const char *, WTpq *, float, int, int) { return nullptr; }
int _WTobject_move(WTobject *, const WTp3, short) { return 0; }
int _WTobject_scale(WTobject *, float, const WTp3) { return 0; }
int _WTobject_setmark(WTobject *, unsigned char) { return 0; }
unsigned char _WTobject_getmark(WTobject *) { return 0; }
int _WTobject_setsequence(WTobject *, WTanimseq *) { return 0; }
}
