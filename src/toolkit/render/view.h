// Inside the drawing side: windows' view and projection, the system half of windows, and the
// per-window draw state of the render list.
#pragma once

#include "toolkit/render/render.h"

extern "C" {
// ---- Windows (windows.cpp) -------------------------------------------------------------------
WTwindow *_WTwindow_new(int x, int y, int width, int height, int flags);
int _WTwindow_isvalid(WTwindow *window);
// Clears the viewpoint from every window that names it.
void _WTwindow_forgetviewpoint(WTviewpoint *viewpoint);
WTwindow *_WTwindow_findbyhandle(void *hwnd);
// The window's parent (itself for a top window); null for a sub-window whose parent was
// deleted, which stays inert: not drawn, picked or read through the parent.
WTwindow *_WTwindow_liveparent(WTwindow *window);

// ---- System half (system_win32.cpp, system_posix.cpp) ----------------------------------------
int _WTwindow_attach(WTwindow *window, int x, int y, int width, int height, int flags);
void _WTwindow_release(WTwindow *window);

// ---- View and projection (view.cpp) ----------------------------------------------------------
// The eye and viewpoint in effect for an eye argument.
WTviewpoint *_WTwindow_eyeviewpoint(WTwindow *window, int *eye);
int _WTwindow_effectiveprojection(WTwindow *window);
int _WTwindow_getviewmatrix(WTwindow *window, int eye, WTm4 m);
// planes: 4 x 4 floats; cull (optional): hither, yon, then the four planes with their second and
// third components negated (18 floats).
int _WTwindow_getprojmatrix(WTwindow *window, int eye, WTm4 m, float *planes, float *cull);
void _WTm4_frustum(WTm4 m, float left, float right, float top, float bottom, float n, float f,
                   float shift);
void _WTm4_ortho(WTm4 m, float left, float right, float top, float bottom, float n, float f);
// x, width, y, height.
int _WTwindow_getviewportpixels(WTwindow *window, int eye, int *rect);
int _WTwindow_modeknown(uint32_t mode);
}
