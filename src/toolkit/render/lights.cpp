// Light records with their values and ranges, each holding the lowest free OpenGL light slot.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/context.h"

namespace {

// Slots in use, kept beside the render context so that lights made before the graphics start
// get theirs too.
WTlight *slotowner[8];

int takeslot(WTlight *light) {
  for (int i = 0; i < 8; i++)
    if (!slotowner[i]) {
      slotowner[i] = light;
      return i;
    }
  return 8;
}

void freeslot(WTlight *light) {
  if (light->slot < 0 || light->slot >= 8) return;
  slotowner[light->slot] = nullptr;
  if (WTrendercontext *rc = _WTrender_context()) {
    rc->slots[light->slot] = nullptr;
    rc->slotvalid[light->slot] = 0;
  }
}

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
  l->slot = takeslot(l);
  if (WTlight **slot = _WTuniverse_lightslot()) {
    l->next = *slot;
    *slot = l;
  }
  return l;
}

void _WTlight_delete(WTlight *light) {
  if (!light) return;
  unlinklight(light);
  freeslot(light);
  _WTmem_free(light);
}

void _WTlight_markdirty(WTlight *light) {
  WTrendercontext *rc = _WTrender_context();
  if (!light || !rc || light->slot < 0 || light->slot >= 8) return;
  rc->slots[light->slot] = light;
  rc->slotvalid[light->slot] = 0;
}

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

// ---- The frame loop's drawing, pumping and graphics start ----------------------------------

void _WTlight_followsensors(void) {}
void _WTuniverse_predraw(int) {}
void _WTtexture_applynamescurrent(void) {}
}
