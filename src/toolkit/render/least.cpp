// Lights, viewpoints and windows as far as the scene graph and the universe need them until the
// drawing side exists: records with their values and ranges, nothing drawn, no windows made.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/render.h"

namespace {

void unlinklight(WTlight *light) {
  WTlight **slot = _WTuniverse_lightslot();
  for (WTlight **p = slot; p && *p; p = &(*p)->next)
    if (*p == light) {
      *p = light->next;
      return;
    }
}

bool normalise(const float *d, float *out) {
  float n = sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  if (n == 0.0f) return false;
  for (int i = 0; i < 3; i++) out[i] = d[i] / n;
  return true;
}

}  // namespace

extern "C" {

// ---- Lights --------------------------------------------------------------------------------

WTlight *_WTlight_new(const float *position, const float *direction, float intensity, float,
                      float angle, int kind) {
  float dir[3] = {0.0f, 0.0f, 1.0f};
  if (direction && !normalise(direction, dir) && kind != 1) return nullptr;
  WTlight *l = static_cast<WTlight *>(_WTmem_alloc(sizeof(WTlight)));
  memset(l, 0, sizeof *l);
  l->kind = kind;
  l->intensity = intensity > 1.0f ? 1.0f : intensity;
  for (int i = 0; i < 3; i++) l->diffuse[i] = l->specular[i] = 1.0f;
  if (position) memcpy(l->position, position, sizeof l->position);
  memcpy(l->direction, dir, sizeof dir);
  l->attenuation[0] = 1.0f;
  l->angle = kind == 2 ? angle : 0.0f;
  if (WTlight **slot = _WTuniverse_lightslot()) {
    l->next = *slot;
    *slot = l;
  }
  return l;
}

void _WTlight_delete(WTlight *light) {
  if (!light) return;
  unlinklight(light);
  _WTmem_free(light);
}

void _WTlight_markdirty(WTlight *) {}

void _WTlight_deleteall(void) {
  WTlight **slot = _WTuniverse_lightslot();
  while (slot && *slot) {
    WTlight *l = *slot;
    if (l->node) _WTnode_delete(l->node);
    _WTlight_delete(l);
  }
}

WTlight *_WTlight_first(void) {
  WTlight **slot = _WTuniverse_lightslot();
  return slot ? *slot : nullptr;
}

int _WTlight_setintensity(WTlight *light, float f) {
  if (!light || f < 0.0f) return 0;
  light->intensity = f > 1.0f ? 1.0f : f;
  return 1;
}

float _WTlight_getintensity(WTlight *light) { return light ? light->intensity : -1.0f; }

int _WTlight_setposition(WTlight *light, const float *p) {
  if (!light || !p) return 0;
  memcpy(light->position, p, sizeof light->position);
  return 1;
}

int _WTlight_getposition(WTlight *light, float *p) {
  if (!light || !p) return 0;
  memcpy(p, light->position, sizeof light->position);
  return 1;
}

int _WTlight_setdirection(WTlight *light, const float *d) {
  float n[3];
  if (!light || !d || !normalise(d, n)) return 0;
  memcpy(light->direction, n, sizeof n);
  return 1;
}

int _WTlight_getdirection(WTlight *light, float *d) {
  if (!light || !d) return 0;
  memcpy(d, light->direction, sizeof light->direction);
  return 1;
}

int _WTlight_setangle(WTlight *light, float a) {
  if (!light || light->kind != 2 || a < 0.0f || a > 1.5708f) return 0;
  light->angle = a;
  return 1;
}

float _WTlight_getangle(WTlight *light) { return light && light->kind == 2 ? light->angle : -1.0f; }

int _WTlight_setexponent(WTlight *light, float e) {
  if (!light || !(e == 0.0f || (e >= 1.0f && e <= 128.0f))) return 0;
  light->exponent = e;
  return 1;
}

float _WTlight_getexponent(WTlight *light) { return light ? light->exponent : -1.0f; }

int _WTlight_setattenuation(WTlight *light, float c, float l, float q) {
  if (!light || c < 0.004f || l < 0.0f || q < 0.0f) return 0;
  light->attenuation[0] = c, light->attenuation[1] = l, light->attenuation[2] = q;
  return 1;
}

int _WTlight_getattenuation(WTlight *light, float *c, float *l, float *q) {
  if (!light) return 0;
  bool directed = light->kind == 0;
  if (c) *c = directed ? 1.0f : light->attenuation[0];
  if (l) *l = directed ? 0.0f : light->attenuation[1];
  if (q) *q = directed ? 0.0f : light->attenuation[2];
  return 1;
}

// ---- Viewpoints ----------------------------------------------------------------------------

WTviewpoint *WTviewpoint_new(void) {
  WTviewpoint **slot = _WTuniverse_viewpointslot();
  if (!slot) return nullptr;
  WTviewpoint *v = static_cast<WTviewpoint *>(_WTmem_alloc(sizeof(WTviewpoint)));
  memset(v, 0, sizeof *v);
  v->tag = 31;
  v->orientation[3] = v->prevorientation[3] = 1.0f;
  v->viewangle = 0.6981f;
  WTviewpoint **end = slot;
  while (*end) end = &(*end)->next;
  *end = v;
  if (WTviewpoint **current = _WTuniverse_currentviewpointslot()) *current = v;
  return v;
}

void _WTviewpoint_delete(WTviewpoint *viewpoint) {
  if (!viewpoint) return;
  _WTmotionlink_deleteall(viewpoint);
  _WTbase_calldeleted(viewpoint);
  WTbase_deleteproperties(viewpoint);
  for (WTviewpoint **p = _WTuniverse_viewpointslot(); p && *p; p = &(*p)->next)
    if (*p == viewpoint) {
      *p = viewpoint->next;
      break;
    }
  WTviewpoint **current = _WTuniverse_currentviewpointslot();
  if (current && *current == viewpoint) *current = nullptr;
  _WTmem_free(viewpoint->name);
  _WTmem_free(viewpoint);
}

void WTviewpoint_delete(WTviewpoint *viewpoint) { _WTviewpoint_delete(viewpoint); }

void _WTviewpoint_deleteall(void) {
  WTviewpoint **slot = _WTuniverse_viewpointslot();
  while (slot && *slot) _WTviewpoint_delete(*slot);
}

void _WTviewpoint_setviewangle(WTviewpoint *viewpoint, float halfangle) {
  if (viewpoint) viewpoint->viewangle = halfangle;
}

void WTviewpoint_setdata(WTviewpoint *viewpoint, void *data) {
  if (viewpoint) viewpoint->data = data;
}

void *WTviewpoint_getdata(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->data : nullptr; }

void WTviewpoint_setname(WTviewpoint *viewpoint, const char *name) {
  if (!viewpoint || _WTbase_callisnamestored(viewpoint)) return;
  _WTmem_free(viewpoint->name);
  viewpoint->name = _WTmem_strdup(name);
}

const char *WTviewpoint_getname(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->name : nullptr; }

void _WTviewpoint_sethaseventhandlers(WTviewpoint *, int) {}

int _WTviewpoint_gethaseventhandlers(WTviewpoint *) { return 0; }

WTviewpoint *WTuniverse_findviewpoint(const char *name, int n) {
  if (!name) return nullptr;
  size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  WTviewpoint **slot = _WTuniverse_viewpointslot();
  for (WTviewpoint *v = slot ? *slot : nullptr; v; v = v->next)
    if (v->name && strncmp(v->name, name, count) == 0) return v;
  return nullptr;
}

WTviewpoint *WTviewpoint_next(WTviewpoint *viewpoint) { return viewpoint ? viewpoint->next : nullptr; }
WTwindow *WTwindow_next(WTwindow *window) { return window ? window->next : nullptr; }

int WTviewpoint_setposition(WTviewpoint *viewpoint, const WTp3 p) {
  if (!viewpoint || !p) return 0;
  memcpy(viewpoint->position, p, sizeof(WTp3));
  return 1;
}

int WTviewpoint_getposition(WTviewpoint *viewpoint, WTp3 p) {
  if (!viewpoint || !p) return 0;
  memcpy(p, viewpoint->position, sizeof(WTp3));
  return 1;
}

int WTviewpoint_setorientation(WTviewpoint *viewpoint, const WTq q) {
  if (!viewpoint || !q) return 0;
  memcpy(viewpoint->orientation, q, sizeof(WTq));
  return 1;
}

int WTviewpoint_getorientation(WTviewpoint *viewpoint, WTq q) {
  if (!viewpoint || !q) return 0;
  memcpy(q, viewpoint->orientation, sizeof(WTq));
  return 1;
}

// ---- Windows (none are made yet) -----------------------------------------------------------

void WTwindow_delete(WTwindow *window) {
  if (!window) return;
  _WTbase_calldeleted(window);
  WTbase_deleteproperties(window);
  for (WTwindow **p = _WTuniverse_windowslot(); p && *p; p = &(*p)->next)
    if (*p == window) {
      *p = window->next;
      break;
    }
  _WTmem_free(window->name);
  _WTmem_free(window);
}

void _WTwindow_deleteall(void) {
  WTwindow **slot = _WTuniverse_windowslot();
  while (slot && *slot) WTwindow_delete(*slot);
}

void WTwindow_setdata(WTwindow *window, void *data) {
  if (window) window->data = data;
}

void *WTwindow_getdata(WTwindow *window) { return window ? window->data : nullptr; }

void WTwindow_setname(WTwindow *window, const char *name) {
  if (!window || _WTbase_callisnamestored(window)) return;
  _WTmem_free(window->name);
  window->name = _WTmem_strdup(name);
}

const char *WTwindow_getname(WTwindow *window) { return window ? window->name : nullptr; }

void _WTwindow_sethaseventhandlers(WTwindow *, int) {}

int _WTwindow_gethaseventhandlers(WTwindow *) { return 0; }

WTwindow *WTuniverse_findwindow(const char *name, int n) {
  if (!name) return nullptr;
  size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (w->name && strncmp(w->name, name, count) == 0) return w;
  return nullptr;
}

void _WTwindow_setbgrgb24(WTwindow *window, unsigned rgb) {
  if (window) window->bgcolor = rgb;
}

void _WTwindow_bgchanged(void) {}

// ---- The frame loop's drawing, pumping and graphics start ----------------------------------

void _WTlight_followsensors(void) {}
void _WTwindow_pumpmessages(void) {}
void _WTwindow_firekeyevents(void) {}
void _WTuniverse_predraw(int) {}
void _WTwindow_drawall(void) {}
unsigned char _WTwindow_initgl(int, int) { return 1; }
void _WTwindow_exitgl(void) {}
void _WTfont3d_deleteall(void) {}
void _WTtexture_deleteall(void) {}
void _WTtexture_applynamescurrent(void) {}
}

// Nothing is compiled until windows draw.
int _WTgeometry_compilenode(WTnode *, WTgeometry *, WTnodestate *) { return 0; }
