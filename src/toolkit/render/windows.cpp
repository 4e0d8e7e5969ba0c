// Toolkit windows: the records, their list in the universe and their properties.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/nodestate.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/context.h"
#include "toolkit/render/drawstate.h"
#include "toolkit/render/input.h"
#include "toolkit/render/view.h"

namespace {

const int kMaxWindows = 8;

int windowcount() {
  int n = 0;
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next) n++;
  return n;
}

void append(WTwindow *window) {
  WTwindow **p = _WTuniverse_windowslot();
  while (*p) p = &(*p)->next;
  *p = window;
}

bool unlinkwindow(WTwindow *window) {
  for (WTwindow **p = _WTuniverse_windowslot(); p && *p; p = &(*p)->next)
    if (*p == window) {
      *p = window->next;
      return true;
    }
  return false;
}

void initview(WTwindow *w) {
  float a, n, f;
  _WTuniverse_getviewdefaults(&a, &n, &f);
  float t = tanf(a), v = t * static_cast<float>(w->height) / static_cast<float>(w->width);
  for (int e = 0; e < 2; e++) {
    float *fr = w->frustum[e];
    fr[0] = -n * t, fr[1] = n * t, fr[2] = n * v, fr[3] = -n * v, fr[4] = n, fr[5] = f;
  }
  w->hither = n, w->yon = f, w->viewtangent = t, w->vfactor = v;
}

void viewschanged() { _WTuniverse_scenechanged(); }

bool pre(WTwindow *w, const char *property) { return WTproperty_firehandlers_pre(w, property) != 0; }

void postbg(WTwindow *w) {
  float rgb[3] = {((w->bgcolor >> 16) & 255) / 255.0f, ((w->bgcolor >> 8) & 255) / 255.0f,
                  (w->bgcolor & 255) / 255.0f};
  WTproperty_firehandlers(w, "Backgroud color", rgb);
}

WTwindow *firstroot(WTwindow *w) {
  w->root = WTuniverse_getrootnodes();
  return w;
}



WTviewpoint *viewpointnamed(const void *value) {
  return value ? WTuniverse_findviewpoint(static_cast<const char *>(value), 1 << 30) : nullptr;
}

int placeholder(const char *accessor) {
  _WTmsg_info("TODO: WTwindow_%s\n", accessor);
  return 0;
}

}  // namespace

extern "C" {

int _WTwindow_isvalid(WTwindow *window) {
  if (!window) return 0;
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (w == window) return 1;
  return 0;
}

WTwindow *_WTwindow_liveparent(WTwindow *window) {
  return window ? window->parent : nullptr;
}

WTwindow *_WTwindow_new(int x, int y, int width, int height, int flags) {
  if (!_WTuniverse_windowslot()) return nullptr;
  if (windowcount() >= kMaxWindows) {
    _WTmsg_warning("Can not create more than %d windows.\n", kMaxWindows);
    return nullptr;
  }
  WTwindow *w = static_cast<WTwindow *>(_WTmem_alloc(sizeof(WTwindow)));
  memset(w, 0, sizeof *w);
  w->tag = 32;
  w->displaymode = 1;
  w->enabled = 1;
  w->projection = 1;
  unsigned char r, g, b;
  WTuniverse_getbgrgb(&r, &g, &b);
  w->bgcolor = (unsigned(r) << 16) | (unsigned(g) << 8) | b;
  if (!*_WTuniverse_windowslot()) w->viewpoint = *_WTuniverse_currentviewpointslot();
  w->width = width > 0 ? width : 1;
  w->height = height > 0 ? height : 1;
  initview(w);
  w->parent = w;
  if (!_WTwindow_attach(w, x, y, width, height, flags)) {
    _WTmem_free(w);
    return nullptr;
  }
  w->viewport[1] = w->viewport[3] = 1.0f;
  firstroot(w)->state = _WTdrawstate_new();
  append(w);
  return w;
}

WTwindow *WTwindow_newsubwindow(WTwindow *parent, int x, int y, int width, int height) {
  if (!_WTwindow_isvalid(parent) || parent->subwindow) return nullptr;
  if (windowcount() >= kMaxWindows) {
    _WTmsg_warning("Can not create more than %d windows.\n", kMaxWindows);
    return nullptr;
  }
  WTwindow *w = static_cast<WTwindow *>(_WTmem_alloc(sizeof(WTwindow)));
  memcpy(w, parent, sizeof *w);
  w->name = parent->name ? _WTmem_strdup(parent->name) : nullptr;
  w->hashandlers = 0;
  w->parent = parent;
  w->next = nullptr;
  w->data = nullptr;
  w->overlayfn = w->drawfn = nullptr;
  w->indraw = w->inoverlay = 0;
  w->viewpoint = w->viewpoint2 = nullptr;
  w->eye = 0;
  w->subwindow = 1;
  w->state = _WTdrawstate_new();
  w->npolys = 0;
  append(w);
  WTwindow_setviewport(w, x, y, width, height);
  return w;
}

void WTwindow_delete(WTwindow *window) {
  if (!_WTwindow_isvalid(window)) return;
  unlinkwindow(window);
  // Sub-windows outlive their parent, inert until they are deleted themselves.
  for (WTwindow *w = *_WTuniverse_windowslot(); w; w = w->next)
    if (w->parent == window) w->parent = nullptr;
  _WTkeyboard_forget(window);
  _WTbase_calldeleted(window);
  WTbase_deleteproperties(window);
  _WTmem_free(window->name);
  window->name = nullptr;
  if (!window->subwindow) _WTwindow_release(window);
  _WTdrawstate_delete(window->state);
  _WTmem_free(window);
}

void _WTwindow_deleteall(void) {
  WTwindow **slot = _WTuniverse_windowslot();
  while (slot && *slot) WTwindow_delete(*slot);
}

void _WTwindow_forgetviewpoint(WTviewpoint *viewpoint) {
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next) {
    if (w->viewpoint == viewpoint) w->viewpoint = nullptr;
    if (w->viewpoint2 == viewpoint) w->viewpoint2 = nullptr;
  }
}

WTwindow *_WTwindow_findbyhandle(void *hwnd) {
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (w->hwnd == hwnd && !w->subwindow) return w;
  return nullptr;
}

WTwindow *WTwindow_next(WTwindow *window) { return _WTwindow_isvalid(window) ? window->next : nullptr; }

void WTwindow_setdata(WTwindow *window, void *data) {
  if (window) window->data = data;
}

void *WTwindow_getdata(WTwindow *window) { return window ? window->data : nullptr; }

void WTwindow_setname(WTwindow *window, const char *name) {
  if (!window || _WTbase_callisnamestored(window)) return;
  _WTmem_free(window->name);
  window->name = name ? _WTmem_strdup(name) : nullptr;
}

const char *WTwindow_getname(WTwindow *window) { return window ? window->name : nullptr; }

void _WTwindow_sethaseventhandlers(WTwindow *window, int flag) {
  if (window) window->hashandlers = static_cast<unsigned char>(flag);
}

int _WTwindow_gethaseventhandlers(WTwindow *window) { return window ? window->hashandlers : 0; }

WTwindow *WTuniverse_findwindow(const char *name, int n) {
  if (!name) return nullptr;
  size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (w->name && strncmp(w->name, name, count) == 0) return w;
  return nullptr;
}

int WTwindow_setviewport(WTwindow *window, int x, int y, int width, int height) {
  WTwindow *p = _WTwindow_liveparent(window);
  if (!p) return 0;
  float W = static_cast<float>(p->width), H = static_cast<float>(p->height);
  window->viewport[0] = x / W;
  window->viewport[1] = width / W;
  window->viewport[2] = 1.0f - (y + height) / H;
  window->viewport[3] = height / H;
  return 1;
}

void WTwindow_getviewport(WTwindow *window, int *x, int *y, int *width, int *height) {
  WTwindow *p = _WTwindow_liveparent(window);
  if (!p) return;
  float W = static_cast<float>(p->width), H = static_cast<float>(p->height);
  int h = static_cast<int>(floorf(H * window->viewport[3] + 0.5f));
  if (x) *x = static_cast<int>(floorf(W * window->viewport[0] + 0.5f));
  if (width) *width = static_cast<int>(floorf(W * window->viewport[1] + 0.5f));
  if (height) *height = h;
  if (y) *y = static_cast<int>(H) - (static_cast<int>(ceilf(H * window->viewport[2] - 0.5f)) + h);
}

int WTwindow_setprojection(WTwindow *window, int code) {
  if (!window || code < 1 || code > 4 || !pre(window, "Projection")) return 0;
  window->projection = static_cast<uint16_t>(code);
  if (window->viewpoint) window->viewpoint->overrides[0] = 0;
  viewschanged();
  WTproperty_firehandlers(window, "Projection", &code);
  return 1;
}

int WTwindow_getprojection(WTwindow *window) { return window ? window->projection : 0; }

int WTwindow_setfrustum(WTwindow *window, int eye, float left, float right, float bottom, float top,
                        float hither, float yon) {
  if (!window || eye < 0 || eye > 1) return 0;
  if (!pre(window, "FrustumTL") || !pre(window, "FrustumBR") || !pre(window, "Hither Clipping") ||
      !pre(window, "Yon Clipping"))
    return 0;
  float *f = window->frustum[eye];
  f[0] = left, f[1] = right, f[2] = top, f[3] = bottom;
  f[4] = hither > 0.004f ? hither : 0.004f, f[5] = yon;
  viewschanged();
  float tl[2] = {top, left}, br[2] = {bottom, right};
  WTproperty_firehandlers(window, "FrustumTL", tl);
  WTproperty_firehandlers(window, "FrustumBR", br);
  WTproperty_firehandlers(window, "Hither Clipping", &f[4]);
  WTproperty_firehandlers(window, "Yon Clipping", &f[5]);
  return 1;
}

void WTwindow_getfrustum(WTwindow *window, int eye, float *left, float *right, float *bottom,
                         float *top, float *hither, float *yon) {
  if (!window || eye < 0 || eye > 1) return;
  const float *f = window->frustum[eye];
  if (left) *left = f[0];
  if (right) *right = f[1];
  if (top) *top = f[2];
  if (bottom) *bottom = f[3];
  if (hither) *hither = f[4];
  if (yon) *yon = f[5];
}

void WTwindow_getposition(WTwindow *window, int *x, int *y, int *width, int *height) {
  if (!_WTwindow_isvalid(window)) return;
  if (x) *x = window->x;
  if (y) *y = window->y;
  if (width) *width = window->width;
  if (height) *height = window->height;
}

void WTwindow_setbgrgb(WTwindow *window, unsigned char r, unsigned char g, unsigned char b) {
  if (!window) return;
  window->bgcolor = (unsigned(r) << 16) | (unsigned(g) << 8) | b;
  postbg(window);
  _WTwindow_bgchanged();
}

void _WTwindow_setbgcolor(WTwindow *window, unsigned short rgb) {
  if (!_WTwindow_isvalid(window)) return;
  unsigned r = ((rgb >> 8) & 15) * 17, g = ((rgb >> 4) & 15) * 17, b = (rgb & 15) * 17;
  window->bgcolor = (r << 16) | (g << 8) | b;
  postbg(window);
  _WTwindow_bgchanged();
}

void _WTwindow_setbgrgb24(WTwindow *window, unsigned rgb) {
  if (window) window->bgcolor = rgb & 0xFFFFFFu;
}

unsigned _WTwindow_getbgrgb24(WTwindow *window) { return window ? window->bgcolor : 0; }

void WTwindow_getbgrgb(WTwindow *window, unsigned char *r, unsigned char *g, unsigned char *b) {
  if (!window) return;
  if (r) *r = static_cast<unsigned char>(window->bgcolor >> 16);
  if (g) *g = static_cast<unsigned char>(window->bgcolor >> 8);
  if (b) *b = static_cast<unsigned char>(window->bgcolor);
}

unsigned short _WTwindow_getbgcolor(WTwindow *window) {
  if (!_WTwindow_isvalid(window)) return 65535;
  unsigned c = window->bgcolor;
  return static_cast<unsigned short>(((c >> 12) & 0xF00) | ((c >> 8) & 0xF0) | ((c >> 4) & 0xF));
}

int WTwindow_seteye(WTwindow *window, int eye) {
  if (!_WTwindow_isvalid(window) || eye < 0 || eye > 1 || !pre(window, "Eye")) return 0;
  window->eye = static_cast<uint16_t>(eye);
  WTproperty_firehandlers(window, "Eye", &eye);
  return 1;
}

int WTwindow_geteye(WTwindow *window) { return _WTwindow_isvalid(window) ? window->eye : 65535; }

void *WTwindow_getidx(WTwindow *window) { return _WTwindow_isvalid(window) ? window->hwnd : nullptr; }

int WTwindow_getdisplay(WTwindow *window) { return window ? static_cast<int>(window->display) : -1; }

int WTwindow_setviewpoint(WTwindow *window, WTviewpoint *viewpoint) {
  if (!_WTwindow_isvalid(window) || !pre(window, "Viewpoint")) return 0;
  window->viewpoint = viewpoint;
  window->projkey = 0;
  WTproperty_firehandlers(window, "Viewpoint", viewpoint ? viewpoint->name : nullptr);
  return 1;
}

WTviewpoint *WTwindow_getviewpoint(WTwindow *window) {
  return _WTwindow_isvalid(window) ? window->viewpoint : nullptr;
}

int WTwindow_setviewpoint2(WTwindow *window, WTviewpoint *viewpoint) {
  if (!_WTwindow_isvalid(window) || !pre(window, "Viewpoint2")) return 0;
  window->viewpoint2 = viewpoint;
  WTproperty_firehandlers(window, "Viewpoint2", viewpoint ? viewpoint->name : nullptr);
  return 1;
}

WTviewpoint *WTwindow_getviewpoint2(WTwindow *window) {
  return _WTwindow_isvalid(window) ? window->viewpoint2 : nullptr;
}

int WTwindow_setrootnode(WTwindow *window, WTnode *root) {
  if (!window || !root || WTnode_gettype(root) != WTNODE_ROOT || !pre(window, "Root Node")) return 0;
  window->root = root;
  WTproperty_firehandlers(window, "Root Node", WTnode_getname(root));
  return 1;
}

WTnode *WTwindow_getrootnode(WTwindow *window) { return window ? window->root : nullptr; }

int WTwindow_sethither(WTwindow *window, float hither) {
  if (!window || !pre(window, "Hither Clipping")) return 0;
  window->hither = hither > 0.004f ? hither : 0.004f;
  if (window->viewpoint) window->viewpoint->overrides[1] = 0;
  viewschanged();
  WTproperty_firehandlers(window, "Hither Clipping", &window->hither);
  return 1;
}

float WTwindow_gethither(WTwindow *window) { return window ? window->hither : 0.0f; }

int WTwindow_setyon(WTwindow *window, float yon) {
  if (!window || !pre(window, "Yon Clipping")) return 0;
  float least = window->hither + 0.004f;
  window->yon = yon > least ? yon : least;
  if (window->viewpoint) window->viewpoint->overrides[2] = 0;
  viewschanged();
  WTproperty_firehandlers(window, "Yon Clipping", &window->yon);
  return 1;
}

float WTwindow_getyon(WTwindow *window) { return window ? window->yon : 0.0f; }

int WTwindow_setviewangle(WTwindow *window, float angle) {
  if (!window || angle < 0.004f || angle > 1.5667964f || !pre(window, "View Angle")) return 0;
  window->viewtangent = tanf(angle);
  window->vfactor = window->viewtangent * window->height / window->width / (window->aspect > 0 ? window->aspect : 1.0f);
  if (window->viewpoint) window->viewpoint->overrides[3] = 0;
  viewschanged();
  WTproperty_firehandlers(window, "View Angle", &angle);
  return 1;
}

float WTwindow_getviewangle(WTwindow *window) { return window ? atanf(window->viewtangent) : 0.0f; }

int WTwindow_enable(WTwindow *window, int on) {
  if (!_WTwindow_isvalid(window) || !pre(window, "Enabled")) return 0;
  window->enabled = static_cast<unsigned char>(on);
  int value = window->enabled;
  WTproperty_firehandlers(window, "Enabled", &value);
  return 1;
}

int WTwindow_isenabled(WTwindow *window) { return _WTwindow_isvalid(window) ? window->enabled : 0; }

int WTwindow_numpolys(WTwindow *window) { return window ? static_cast<int>(window->npolys) : 0; }

int _WTwindow_containspoint(WTwindow *window, int x, int y) {
  if (!_WTwindow_isvalid(window)) return 0;
  return x >= window->x && x <= window->x + window->width - 1 && y >= window->y &&
         y <= window->y + window->height - 1;
}

WTwindow *_WTwindow_findatpoint(const float *point) {
  if (!point) return nullptr;
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (_WTwindow_containspoint(w, static_cast<int>(point[0]), static_cast<int>(point[1]))) return w;
  return nullptr;
}

void WTwindow_setdrawfn(WTwindow *window, WTwindowfn fn) {
  if (_WTwindow_isvalid(window)) window->drawfn = fn;
}

void WTwindow_setdraw2dfn(WTwindow *window, WTwindowfn fn) {
  if (_WTwindow_isvalid(window)) window->overlayfn = fn;
}

void _WTwindow_bgchanged(void) {}

// ---- Accessors of the property form (values by address, names for nodes and viewpoints) --
WTAPI int WTwindow_setbgcolor(WTwindow *w, const float *rgb) {
  if (!w || !rgb) return 0;
  WTwindow_setbgrgb(w, static_cast<unsigned char>(rgb[0] * 255), static_cast<unsigned char>(rgb[1] * 255),
                    static_cast<unsigned char>(rgb[2] * 255));
  return 1;
}

WTAPI int WTwindow_getbgcolor(WTwindow *w, float *rgb) {
  if (!w || !rgb) return 0;
  unsigned c = w->bgcolor;
  rgb[0] = ((c >> 16) & 255) / 255.0f, rgb[1] = ((c >> 8) & 255) / 255.0f, rgb[2] = (c & 255) / 255.0f;
  return 1;
}

WTAPI int WTwindow_getenabled(WTwindow *w) { return w && w->enabled != 0; }

WTAPI int _WTwindow_setpositionprop(WTwindow *w, const float *xy) {
  if (!_WTwindow_isvalid(w) || !xy) return 0;
  WTwindow_setposition(w, static_cast<int>(xy[0]), static_cast<int>(xy[1]), w->width, w->height);
  return 1;
}

WTAPI int _WTwindow_getpositionprop(WTwindow *w, float *xy) {
  if (!w || !xy) return 0;
  xy[0] = static_cast<float>(w->x), xy[1] = static_cast<float>(w->y);
  return 1;
}

WTAPI int WTwindow_setsize(WTwindow *w, const float *wh) {
  if (!_WTwindow_isvalid(w) || !wh) return 0;
  WTwindow_setposition(w, w->x, w->y, static_cast<int>(wh[0]), static_cast<int>(wh[1]));
  return 1;
}

WTAPI int WTwindow_getsize(WTwindow *w, float *wh) {
  if (!w || !wh) return 0;
  wh[0] = static_cast<float>(w->width), wh[1] = static_cast<float>(w->height);
  return 1;
}

// The frustum corners of the first eye: top-left as (top, left), bottom-right as (bottom, right).
// Setting one corner keeps the other corner and the clipping distances.
WTAPI int WTwindow_setfrustumtl(WTwindow *w, const float *tl) {
  if (!w || !tl) return 0;
  const float *f = w->frustum[0];
  return WTwindow_setfrustum(w, 0, tl[1], f[1], f[3], tl[0], f[4], f[5]);
}

WTAPI int WTwindow_getfrustumtl(WTwindow *w, float *tl) {
  if (!w || !tl) return 0;
  WTwindow_getfrustum(w, 0, &tl[1], nullptr, nullptr, &tl[0], nullptr, nullptr);
  return 1;
}

WTAPI int WTwindow_setfrustumbr(WTwindow *w, const float *br) {
  if (!w || !br) return 0;
  const float *f = w->frustum[0];
  return WTwindow_setfrustum(w, 0, f[0], br[1], br[0], f[2], f[4], f[5]);
}

WTAPI int WTwindow_getfrustumbr(WTwindow *w, float *br) {
  if (!w || !br) return 0;
  WTwindow_getfrustum(w, 0, nullptr, &br[1], &br[0], nullptr, nullptr, nullptr);
  return 1;
}

WTAPI int _WTwindow_setrootnodeprop(WTwindow *w, const void *name) {
  WTnode *n = name ? WTuniverse_findnodebyname(static_cast<const char *>(name), 0) : nullptr;
  return n ? WTwindow_setrootnode(w, n) : 0;
}

WTAPI const char *_WTwindow_getrootnodeprop(WTwindow *w) {
  return w && w->root ? WTnode_getname(w->root) : nullptr;
}

WTAPI int _WTwindow_setviewpointprop(WTwindow *w, const void *name) {
  WTviewpoint *v = viewpointnamed(name);
  return v ? WTwindow_setviewpoint(w, v) : 0;
}

WTAPI const char *_WTwindow_getviewpointprop(WTwindow *w) {
  return w && w->viewpoint ? w->viewpoint->name : nullptr;
}

WTAPI int _WTwindow_setviewpoint2prop(WTwindow *w, const void *name) {
  WTviewpoint *v = viewpointnamed(name);
  return v ? WTwindow_setviewpoint2(w, v) : 0;
}

WTAPI const char *_WTwindow_getviewpoint2prop(WTwindow *w) {
  return w && w->viewpoint2 ? w->viewpoint2->name : nullptr;
}

// The button and key rows exist so that handlers can be registered on them.
WTAPI int WTwindow_setkey(WTwindow *, int) { return placeholder("setkey"); }
WTAPI int WTwindow_getkey(WTwindow *) { return placeholder("getkey"); }
WTAPI int WTwindow_setlbutton(WTwindow *, int) { return placeholder("setlbutton"); }
WTAPI int WTwindow_getlbutton(WTwindow *) { return placeholder("getlbutton"); }
WTAPI int WTwindow_setlbuttondblclk(WTwindow *, int) { return placeholder("setlbuttondblclk"); }
WTAPI int WTwindow_getlbuttondblclk(WTwindow *) { return placeholder("getlbuttondblclk"); }
WTAPI int WTwindow_setrbutton(WTwindow *, int) { return placeholder("setrbutton"); }
WTAPI int WTwindow_getrbutton(WTwindow *) { return placeholder("getrbutton"); }
WTAPI int WTwindow_setrbuttondblclk(WTwindow *, int) { return placeholder("setrbuttondblclk"); }
WTAPI int WTwindow_getrbuttondblclk(WTwindow *) { return placeholder("getrbuttondblclk"); }
WTAPI int WTwindow_setmbutton(WTwindow *, int) { return placeholder("setmbutton"); }
WTAPI int WTwindow_getmbutton(WTwindow *) { return placeholder("getmbutton"); }
WTAPI int WTwindow_setmbuttondblclk(WTwindow *, int) { return placeholder("setmbuttondblclk"); }
WTAPI int WTwindow_getmbuttondblclk(WTwindow *) { return placeholder("getmbuttondblclk"); }
}
