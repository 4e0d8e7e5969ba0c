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
// The overlay pass of one eye; the bitmap fonts' table, built at start-up and freed at the end.
void _WTwindow_draw2d(WTwindow *window, int eye);
void _WTfont_init(void);
void _WTfont_load(void);
void _WTfont_exit(void);
int _WTfont_count(void);
// The immediate path's steps, shared with the display-list compiler.
void _WTgl_setcap(WTglcache *cache, uint32_t bit, unsigned cap, int on);
void _WTgl_endprim(WTglcache *cache);
void _WTgl_groupswitches(uint32_t group, WTglcache *cache);
void _WTgl_colourmaterial(WTmtable *table, WTglcache *cache);
void _WTpoly_emit(WTpoly *poly, WTmtable *table, uint32_t group, int front, WTglcache *cache);
// The white a textured polygon takes when its texture replaces the colour.
void _WTgl_whitecolour(WTpoly *poly, WTmtable *table, uint32_t group, WTglcache *cache);
// Sends the table entry a material id draws with for a group (colour, colour material or
// materials), unless the cache says it is already current; the cache keeps it.
void _WTmtable_useentry(WTmtable *table, int32_t id, uint32_t group, WTglcache *cache);
WTAPI void _WTnode_draw(WTnode *root, WTdrawstate *state);
WTAPI void _WTgeometry_draw(WTgeometry *geometry, void *cache);
WTAPI void _WTglcallback_draw(WTdrawstate *state, int index);
}
