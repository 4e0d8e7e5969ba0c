// Inside the toolkit: the ray cast that window picking shares with the node calls.
#pragma once

#include "toolkit/wt.h"

extern "C" {
// Casts the ray from the root and keeps hits no nearer than the limit; the node path of the hit
// (caller-owned) and the point hit in world terms when asked.
WTpoly *_WTray_cast(WTnode *root, const float *origin, const float *direction, float nearlimit,
                    WTnodepath **path, float *point);
// True when the root node is the root of some enabled window.
int _WTray_windowroot(WTnode *root);
}
