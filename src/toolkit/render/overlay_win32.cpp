// Drawing inside a window's callbacks: lines and points in world coordinates during the draw
// pass, and text, rectangles, circles, lines, points and textured quads in window fractions
// during the overlay pass; the bitmap fonts the overlay text is drawn with.
#include <windows.h>
#include <GL/gl.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/render/context.h"
#include "toolkit/render/fontlist.h"
#include "toolkit/render/gl_win32.h"
#include "toolkit/render/images.h"
#include "toolkit/render/view.h"

namespace {

struct Font {
  unsigned base;
  HFONT handle;
};

Font *fonts;
int fontcount;
unsigned currentbase;

bool inoverlay(WTwindow *w) { return _WTwindow_isvalid(w) && w->inoverlay; }
bool indraw(WTwindow *w) { return _WTwindow_isvalid(w) && w->indraw; }

void stipple(unsigned short pattern) {
  if (pattern == 0xFFFF) {
    glDisable(GL_LINE_STIPPLE);
    return;
  }
  glLineStipple(1, pattern);
  glEnable(GL_LINE_STIPPLE);
}

// Builds the glyphs 0 to 254 of the font selected into the base window's device context into
// the next font's lists.
bool buildglyphs(HFONT handle) {
  WTdisplay *d = _WTdisplay_get(0);
  if (!d || !d->basedc || !fonts) return false;
  Font &f = fonts[fontcount];
  if (!f.base) f.base = _WTidblock_alloc(255);
  f.handle = handle;
  HDC dc = static_cast<HDC>(d->basedc);
  _WTdisplay_makecurrent(0);
  SelectObject(dc, handle);
  wglUseFontBitmapsA(dc, 0, 255, f.base);
  // Wine's glyph building on Mesa leaves GL_OUT_OF_MEMORY behind for empty glyphs; it must not
  // be taken for the next texture upload's failure.
  while (glGetError() != GL_NO_ERROR) {
  }
  currentbase = f.base;
  fontcount++;
  return true;
}

int makefont(const WTfontline *line, void *) {
  LOGFONTA lf = {};
  lf.lfHeight = line->size;
  snprintf(lf.lfFaceName, LF_FACESIZE, "%s", line->name);
  HFONT handle = CreateFontIndirectA(&lf);
  if (!handle) {
    _WTmsg_warning("Couldn't create font(font:%s, size%d)\n", line->name, line->size);
    return 0;
  }
  return buildglyphs(handle) ? 1 : 0;
}

void overlayprojection() {
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  const GLfloat m[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, -1, -1, 1, 1};
  glLoadMatrixf(m);
}

// The circle's 4n points from angle 0 round, the first quarter mirrored into the others.
std::vector<float> circlepoints(float x, float y, float rx, float ry, int n) {
  std::vector<float> c(size_t(n) + 1), s(size_t(n) + 1);
  for (int i = 0; i <= n; i++) {
    float a = (WTPI_2 / static_cast<float>(n)) * static_cast<float>(i);
    c[size_t(i)] = cosf(a), s[size_t(i)] = sinf(a);
  }
  std::vector<float> points;
  auto add = [&](float u, float v) { points.push_back(x + rx * u), points.push_back(y + ry * v); };
  for (int i = 0; i < n; i++) add(c[size_t(i)], s[size_t(i)]);
  for (int i = 0; i < n; i++) add(-s[size_t(i)], c[size_t(i)]);
  for (int i = 0; i < n; i++) add(-c[size_t(i)], -s[size_t(i)]);
  for (int i = 0; i < n; i++) add(s[size_t(i)], -c[size_t(i)]);
  return points;
}

}  // namespace

extern "C" {

void _WTfont_init(void) {
  if (!fonts) fonts = static_cast<Font *>(_WTmem_alloc(sizeof(Font) * kMaxFonts));
  memset(fonts, 0, sizeof(Font) * kMaxFonts);
  fontcount = 0;
  currentbase = 0;
}

void _WTfont_load(void) {
  if (!fonts) _WTfont_init();
  FILE *f = fopen("font.vav", "r");
  if (!f) {
    buildglyphs(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    return;
  }
  _WTfont_readlist(f, makefont, nullptr);
  fclose(f);
}

void _WTfont_exit(void) {
  for (int i = 0; i < kMaxFonts && fonts; i++) {
    if (fonts[i].base) glDeleteLists(fonts[i].base, 255), _WTidblock_free(fonts[i].base, 255);
    if (i < fontcount && fonts[i].handle != GetStockObject(SYSTEM_FONT)) DeleteObject(fonts[i].handle);
  }
  _WTmem_free(fonts);
  fonts = nullptr;
  fontcount = 0;
}

int _WTfont_count(void) { return fontcount; }

void _WTwindow_draw2d(WTwindow *w, int eye) {
  if (!w->overlayfn) return;
  overlayprojection();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glDisable(GL_TEXTURE_2D);
  w->inoverlay = 1;
  w->overlayfn(w, eye);
  w->inoverlay = 0;
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_LINE_STIPPLE);
  glLineWidth(1.0f);
  glPointSize(1.0f);
  glMatrixMode(GL_MODELVIEW);
}

WTAPI int _WTwindow_setdraw2dfn2(WTwindow *window, WTwindowfn fn) {
  if (!_WTwindow_isvalid(window)) return 0;
  window->overlayfn = fn;
  return 1;
}

WTAPI void WTwindow_settextrgb(WTwindow *w, unsigned char r, unsigned char g, unsigned char b) {
  if (inoverlay(w)) glColor3ub(r, g, b);
}

WTAPI void WTwindow_gettextextent(WTwindow *w, const char *text, float *width, float *height) {
  if (!inoverlay(w) || !text || !w->dc) return;
  SIZE s = {0, 0};
  GetTextExtentPoint32A(static_cast<HDC>(w->dc), text, static_cast<int>(strlen(text)), &s);
  if (width) *width = static_cast<float>(s.cx) / static_cast<float>(w->width);
  if (height) *height = static_cast<float>(s.cy) / static_cast<float>(w->height);
}

WTAPI void WTwindow_setfont(WTwindow *w, int index) {
  if (!inoverlay(w) || index < 0 || index >= fontcount) return;
  currentbase = fonts[index].base;
  if (w->dc) SelectObject(static_cast<HDC>(w->dc), fonts[index].handle);
}

WTAPI void WTwindow_drawtext(WTwindow *w, float x, float y, const char *text) {
  if (!inoverlay(w) || !text || fontcount < 1) return;
  // Glyph lists exist for codes 0 to 254 only.
  std::vector<unsigned char> codes;
  for (const char *c = text; *c; c++)
    if (static_cast<unsigned char>(*c) != 255) codes.push_back(static_cast<unsigned char>(*c));
  glRasterPos2f(x, y);
  glListBase(currentbase);
  glCallLists(static_cast<GLsizei>(codes.size()), GL_UNSIGNED_BYTE, codes.data());
}

WTAPI void WTwindow_drawrect2d(WTwindow *w, float x0, float y0, float x1, float y1, int filled) {
  if (!inoverlay(w)) return;
  if (filled) {
    glRectf(x0, y0, x1, y1);
    return;
  }
  glBegin(GL_LINE_LOOP);
  glVertex2f(x0, y0), glVertex2f(x1, y0), glVertex2f(x1, y1), glVertex2f(x0, y1);
  glEnd();
}

WTAPI void WTwindow_drawpoint2d(WTwindow *w, float x, float y) {
  if (!inoverlay(w)) return;
  glBegin(GL_POINTS);
  glVertex2f(x, y);
  glEnd();
}

WTAPI void WTwindow_drawline2d(WTwindow *w, float x0, float y0, float x1, float y1) {
  if (!inoverlay(w)) return;
  glBegin(GL_LINES);
  glVertex2f(x0, y0), glVertex2f(x1, y1);
  glEnd();
}

WTAPI void WTwindow_drawcircle2d(WTwindow *w, float x, float y, float radius, int filled) {
  if (!inoverlay(w) || radius <= 0.0f) return;
  float W = static_cast<float>(w->width), H = static_cast<float>(w->height);
  float rx = radius, ry = radius;
  if (W > H)
    rx = radius * H / W;
  else
    ry = radius * W / H;
  int n = static_cast<int>(ry * H / 4.0f);
  if (n < 10) n = 10;
  std::vector<float> points = circlepoints(x, y, rx, ry, n);
  glBegin(filled ? GL_POLYGON : GL_LINE_LOOP);
  for (size_t i = 0; i + 1 < points.size(); i += 2) glVertex2f(points[i], points[i + 1]);
  glEnd();
}

WTAPI void WTwindow_drawtexture2d(WTwindow *w, const char *name, int alphatest, const float *corners,
                                  const float *uv) {
  if (!inoverlay(w) || !name || !corners || !uv) return;
  WTtexture *t = _WTtexture_get(name);
  if (!t) return;
  if (t->flags & WTTEX_UPLOAD) _WTtexture_upload(t);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
  if (alphatest) glEnable(GL_ALPHA_TEST);
  glCallList(t->list);
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; i++) glTexCoord2fv(uv + 2 * i), glVertex2fv(corners + 2 * i);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_ALPHA_TEST);
}

WTAPI void WTwindow_setpointsize2d(WTwindow *w, float size) {
  if (inoverlay(w)) glPointSize(size);
}

WTAPI void WTwindow_setlinewidth2d(WTwindow *w, float width) {
  if (inoverlay(w)) glLineWidth(width);
}

WTAPI void WTwindow_setlinestipple2d(WTwindow *w, unsigned short pattern) {
  if (inoverlay(w)) stipple(pattern);
}

WTAPI void WTwindow_setdrawrgb(WTwindow *w, unsigned char r, unsigned char g, unsigned char b) {
  if (indraw(w)) glColor3ub(r, g, b);
}

WTAPI void WTwindow_setpointsize(WTwindow *w, float size) {
  if (indraw(w)) glPointSize(size);
}

WTAPI void WTwindow_setlinewidth(WTwindow *w, float width) {
  if (indraw(w)) glLineWidth(width);
}

WTAPI void WTwindow_setlinestipple(WTwindow *w, unsigned short pattern) {
  if (indraw(w)) stipple(pattern);
}

WTAPI void WTwindow_drawlines(WTwindow *w, const float *points, int count, int mode) {
  static const GLenum modes[3] = {GL_LINES, GL_LINE_STRIP, GL_LINE_LOOP};
  if (!indraw(w) || !points || count <= 0 || mode < 0 || mode > 2) return;
  glBegin(modes[mode]);
  for (int i = 0; i < count; i++) glVertex3fv(points + 3 * i);
  glEnd();
}

WTAPI void WTwindow_drawpoints(WTwindow *w, const float *points, int count) {
  if (!indraw(w) || !points || count <= 0) return;
  glBegin(GL_POINTS);
  for (int i = 0; i < count; i++) glVertex3fv(points + 3 * i);
  glEnd();
}

}  // extern "C"
