// A texture shown as one quad filling a window's viewport, in each of its stereo modes, and an
// image file drawn into every window.
#include <windows.h>
#include <GL/gl.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/context.h"
#include "toolkit/render/gl_win32.h"
#include "toolkit/render/images.h"
#include "toolkit/render/view.h"

namespace {

void quad(float depth) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0), glVertex3f(-1, -1, -depth);
  glTexCoord2f(1, 0), glVertex3f(1, -1, -depth);
  glTexCoord2f(1, 1), glVertex3f(1, 1, -depth);
  glTexCoord2f(0, 1), glVertex3f(-1, 1, -depth);
  glEnd();
}

void identities() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// The quad once per eye as the window's stereo mode needs.
void stereoquads(WTwindow *w, float depth) {
  switch (w->displaymode) {
    case 4: {
      int rect[4];
      for (int eye = 0; eye < 2; eye++) {
        _WTwindow_getviewportpixels(w, eye, rect);
        glViewport(rect[0], rect[2], rect[1], rect[3]);
        quad(depth);
      }
      break;
    }
    case 8:
      glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_TRUE);
      quad(depth);
      glColorMask(GL_FALSE, GL_FALSE, GL_TRUE, GL_TRUE);
      quad(depth);
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      break;
    case 0x1000:
    case 0x3000:
    case 0x5000:
    case 0x7000:
      glEnable(GL_STENCIL_TEST);
      glStencilFunc(GL_NOTEQUAL, 1, 1);
      quad(depth);
      glStencilFunc(GL_EQUAL, 1, 1);
      quad(depth);
      glDisable(GL_STENCIL_TEST);
      break;
    default:
      glDrawBuffer(GL_BACK);
      quad(depth);
      break;
  }
}

}  // namespace

extern "C" {

WTAPI int _WTwindow_drawtexture(WTwindow *w, const char *name, float depth, int stereo, int release) {
  if (!_WTwindow_isvalid(w) || !w->enabled || !name) return 0;
  WTtexture *t = _WTtexture_get(name);
  if (!t) return 0;
  _WTwindow_makecurrent(w);
  if (t->flags & WTTEX_UPLOAD) _WTtexture_upload(t);
  glCallList(t->list);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  identities();
  glColor3f(1, 1, 1);
  if (stereo)
    stereoquads(w, depth);
  else
    quad(depth);
  glDisable(GL_TEXTURE_2D);
  if (release && t->refcount == 0) {
    t->refcount = 1;
    _WTtexture_release(t);
  }
  return 1;
}

WTAPI int _WTwindow_drawimage(const char *name) {
  int iw = 0, ih = 0;
  unsigned char *pixels = name ? _WTimage_read(name, &iw, &ih) : nullptr;
  if (!pixels) return 1;
  for (WTwindow *w = *_WTuniverse_windowslot(); w; w = w->next) {
    if (!w->enabled) continue;
    _WTwindow_makecurrent(w);
    glViewport(0, 0, w->width, w->height);
    identities();
    GLboolean stencil = glIsEnabled(GL_STENCIL_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glRasterPos2f(-1, -1);
    glPixelZoom(static_cast<float>(w->width) / static_cast<float>(iw),
                static_cast<float>(w->height) / static_cast<float>(ih));
    glDrawPixels(iw, ih, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glPixelZoom(1, 1);
    glEnable(GL_DEPTH_TEST);
    if (stencil) glEnable(GL_STENCIL_TEST);
  }
  _WTmem_free(pixels);
  return 0;
}

}  // extern "C"
