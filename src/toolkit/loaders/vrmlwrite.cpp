#include "toolkit/loaders/vrml.h"
extern "C" int _WTnode_savevrml(WTnode *, FILE *, WTviewpoint *, int) { return 0; }
