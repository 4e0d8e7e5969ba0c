// Between the OpenGL files: making contexts current, and the exported drawing entries.
#pragma once

#include "toolkit/render/drawstate.h"

extern "C" {
// Makes the shared context current on the window's device context (the first display's base
// window for null); on a display's first window (its base window when none).
void _WTwindow_makecurrent(WTwindow *window);
void _WTdisplay_makecurrent(int display);
// Sets the default OpenGL state on the display's base window.
void _WTrender_initstate(int display);
WTAPI void _WTnode_draw(WTnode *root, WTdrawstate *state);
WTAPI void _WTgeometry_draw(WTgeometry *geometry, void *cache);
WTAPI void _WTglcallback_draw(WTdrawstate *state, int index);
}
