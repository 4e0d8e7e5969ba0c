// Without a window system the graphics side keeps its records and draws nothing: windows are
// records only, so that everything but the drawing runs in the portable build.
#include "toolkit/core/core.h"
#include "toolkit/core/filetable.h"
#include "toolkit/render/context.h"
#include "toolkit/render/view.h"

extern "C" {

int _WTwindow_attach(WTwindow *w, int x, int y, int width, int height, int) {
  w->x = x, w->y = y, w->width = width, w->height = height;
  w->statebits = 1;
  return 1;
}

void _WTwindow_release(WTwindow *) {}

WTwindow *WTwindow_newuser(void *, int flags) { return _WTwindow_new(0, 0, 64, 64, flags); }

void WTwindow_setposition(WTwindow *w, int x, int y, int width, int height) {
  if (!_WTwindow_isvalid(w) || x < 0 || y < 0 || width < 1 || height < 1) return;
  w->x = x, w->y = y, w->width = width, w->height = height;
}

void _WTwindow_pumpmessages(void) {}

// No cursor without a window system.
WTAPI WTwindow *_WTmouse_getwindow(void) { return nullptr; }
WTAPI int WTmouse_inwindow(WTsensor *, WTwindow *) { return 0; }

void _WTwindow_drawall(void) {}

unsigned char _WTwindow_initgl(int a, int) {
  _WTrender_start(a);
  _WTfiletable_bindlibraries();
  return 0;
}

void _WTwindow_exitgl(void) { _WTrender_stop(); }

void _WTtexture_upload(WTtexture *) {}
void _WTtexture_unload(WTtexture *) {}
void _WTtexture_readback(WTtexture *) {}
}
