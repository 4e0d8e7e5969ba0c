// Light, ambient light and fog nodes, their property setters, and the light file.
#include <ctype.h>
#include <string.h>

#include "toolkit/core/node.h"
#include "toolkit/render/render.h"

namespace {

WTnode *ofkind(WTnode *node, int kind) {
  WTnode *n = _WTnode_resolve(node);
  return n && n->kind == kind ? n : nullptr;
}

WTlight *lightof(WTnode *node) {
  WTnode *n = ofkind(node, WTNODE_LIGHT);
  return n ? n->u.light.light : nullptr;
}

WTnode *newlight(WTnode *parent, int kind, float angle) {
  WTnode *p = parent ? _WTnode_resolveparent(parent) : _WTnode_defaultparent();
  if (!_WTnode_checkparent(p)) return nullptr;
  WTlight *light = _WTlight_new(nullptr, nullptr, 1.0f, 0.0f, angle, kind);
  return light ? _WTlightnode_new(light, parent) : nullptr;
}

// A colour setter of a light record: pre-event, store, mark dirty, post-event.
int setcolour(WTnode *node, const char *property, size_t offset, float r, float g, float b) {
  WTlight *light = lightof(node);
  if (!light || !_WTnode_firepre(node, property)) return 0;
  float *c = reinterpret_cast<float *>(reinterpret_cast<char *>(light) + offset);
  c[0] = r, c[1] = g, c[2] = b;
  _WTlight_markdirty(light);
  _WTnode_firepost(node, property, c);
  return 1;
}

int getcolour(WTnode *node, size_t offset, float *r, float *g, float *b) {
  WTlight *light = lightof(node);
  if (!light) return 0;
  const float *c = reinterpret_cast<const float *>(reinterpret_cast<const char *>(light) + offset);
  if (r) *r = c[0];
  if (g) *g = c[1];
  if (b) *b = c[2];
  return 1;
}

}  // namespace

extern "C" {

// ---- Constructors --------------------------------------------------------------------------

WTnode *_WTlightnode_new(WTlight *light, WTnode *parent) {
  if (!light) return nullptr;
  WTnode *n = _WTnode_create(parent, WTNODE_LIGHT);
  if (!n) return nullptr;
  n->u.light.light = light;
  n->u.light.one = 1;
  light->node = n;
  return n;
}

WTnode *WTlightnode_newdirected(WTnode *parent) { return newlight(parent, 0, 0.0f); }
WTnode *WTlightnode_newpoint(WTnode *parent) { return newlight(parent, 1, 0.0f); }
WTnode *WTlightnode_newspot(WTnode *parent) { return newlight(parent, 2, 0.3926991f); }

WTnode *_WTnode_insertlight(WTlight *light) {
  if (!light) return nullptr;
  if (light->node) return light->node;
  WTnode *n = _WTlightnode_new(light, nullptr);
  WTnode *root = WTuniverse_getrootnodes();
  if (n && root && _WTuniverse_getoption(11) == 1) WTnode_insertchild(root, n, 0);
  return n;
}

// ---- Light attributes ----------------------------------------------------------------------

int WTlightnode_setambient(WTnode *node, float r, float g, float b) {
  if (WTnode *a = ofkind(node, WTNODE_AMBIENT)) {
    if (!_WTnode_firepre(node, "LtAm")) return 0;
    a->u.ambient.rgb[0] = r, a->u.ambient.rgb[1] = g, a->u.ambient.rgb[2] = b;
    _WTnode_firepost(node, "LtAm", a->u.ambient.rgb);
    return 1;
  }
  return setcolour(node, "LtAm", offsetof(WTlight, ambient), r, g, b);
}

int WTlightnode_getambient(WTnode *node, float *r, float *g, float *b) {
  if (WTnode *a = ofkind(node, WTNODE_AMBIENT)) {
    if (r) *r = a->u.ambient.rgb[0];
    if (g) *g = a->u.ambient.rgb[1];
    if (b) *b = a->u.ambient.rgb[2];
    return 1;
  }
  return getcolour(node, offsetof(WTlight, ambient), r, g, b);
}

int WTlightnode_setdiffuse(WTnode *node, float r, float g, float b) {
  return setcolour(node, "LtDi", offsetof(WTlight, diffuse), r, g, b);
}

int WTlightnode_getdiffuse(WTnode *node, float *r, float *g, float *b) {
  return getcolour(node, offsetof(WTlight, diffuse), r, g, b);
}

int WTlightnode_setspecular(WTnode *node, float r, float g, float b) {
  return setcolour(node, "LtSp", offsetof(WTlight, specular), r, g, b);
}

int WTlightnode_getspecular(WTnode *node, float *r, float *g, float *b) {
  return getcolour(node, offsetof(WTlight, specular), r, g, b);
}

int WTlightnode_setintensity(WTnode *node, float f) {
  if (WTnode *a = ofkind(node, WTNODE_AMBIENT)) {
    if (!_WTnode_firepre(node, "Intensity")) return 0;
    a->u.ambient.intensity = f;
    _WTnode_firepost(node, "Intensity", &a->u.ambient.intensity);
    return 1;
  }
  WTlight *light = lightof(node);
  if (!light || !_WTnode_firepre(node, "Intensity")) return 0;
  if (!_WTlight_setintensity(light, f)) return 0;
  _WTlight_markdirty(light);
  float stored = _WTlight_getintensity(light);
  _WTnode_firepost(node, "Intensity", &stored);
  return 1;
}

float WTlightnode_getintensity(WTnode *node) {
  if (WTnode *a = ofkind(node, WTNODE_AMBIENT)) return a->u.ambient.intensity;
  WTlight *light = lightof(node);
  return light ? _WTlight_getintensity(light) : -1.0f;
}

int WTlightnode_setposition(WTnode *node, const WTp3 p) {
  WTlight *light = lightof(node);
  if (!light || !p || !_WTnode_firepre(node, "LtPs")) return 0;
  if (!_WTlight_setposition(light, p)) return 0;
  _WTlight_markdirty(light);
  WTp3 stored;
  _WTlight_getposition(light, stored);
  _WTnode_firepost(node, "LtPs", stored);
  return 1;
}

int WTlightnode_getposition(WTnode *node, WTp3 p) {
  WTlight *light = lightof(node);
  return light && p ? _WTlight_getposition(light, p) : 0;
}

int WTlightnode_setdirection(WTnode *node, const WTp3 d) {
  WTlight *light = lightof(node);
  if (!light || !d || !_WTnode_firepre(node, "LtDr")) return 0;
  if (!_WTlight_setdirection(light, d)) return 0;
  _WTlight_markdirty(light);
  WTp3 stored;
  _WTlight_getdirection(light, stored);
  _WTnode_firepost(node, "LtDr", stored);
  return 1;
}

int WTlightnode_getdirection(WTnode *node, WTp3 d) {
  WTlight *light = lightof(node);
  return light && d ? _WTlight_getdirection(light, d) : 0;
}

int WTlightnode_setangle(WTnode *node, float a) {
  WTlight *light = lightof(node);
  if (!light || !_WTnode_firepre(node, "Angle")) return 0;
  if (!_WTlight_setangle(light, a)) return 0;
  _WTlight_markdirty(light);
  float stored = _WTlight_getangle(light);
  _WTnode_firepost(node, "Angle", &stored);
  return 1;
}

float WTlightnode_getangle(WTnode *node) {
  WTlight *light = lightof(node);
  return light ? _WTlight_getangle(light) : -1.0f;
}

int WTlightnode_setexponent(WTnode *node, float e) {
  WTlight *light = lightof(node);
  if (!light || !_WTnode_firepre(node, "Exponent")) return 0;
  if (!_WTlight_setexponent(light, e)) return 0;
  _WTlight_markdirty(light);
  float stored = _WTlight_getexponent(light);
  _WTnode_firepost(node, "Exponent", &stored);
  return 1;
}

float WTlightnode_getexponent(WTnode *node) {
  WTlight *light = lightof(node);
  return light ? _WTlight_getexponent(light) : -1.0f;
}

int WTlightnode_setattenuation(WTnode *node, float c, float l, float q) {
  WTlight *light = lightof(node);
  if (!light || !_WTnode_firepre(node, "Attenuation")) return 0;
  if (!_WTlight_setattenuation(light, c, l, q)) return 0;
  _WTlight_markdirty(light);
  float stored[3];
  _WTlight_getattenuation(light, &stored[0], &stored[1], &stored[2]);
  _WTnode_firepost(node, "Attenuation", stored);
  return 1;
}

int WTlightnode_getattenuation(WTnode *node, float *c, float *l, float *q) {
  WTlight *light = lightof(node);
  return light ? _WTlight_getattenuation(light, c, l, q) : 0;
}

int WTlightnode_gettype(WTnode *node) {
  WTnode *n = _WTnode_resolve(node);
  if (!n) return 0;
  if (n->kind == WTNODE_AMBIENT) return 3;
  if (n->kind == WTNODE_LIGHT) return n->u.light.light ? n->u.light.light->kind : 0;
  return 0;
}

int WTlightnode_setambient2(WTnode *node, const float *c) {
  return c ? WTlightnode_setambient(node, c[0], c[1], c[2]) : 0;
}
int WTlightnode_getambient2(WTnode *node, float *c) {
  return c ? WTlightnode_getambient(node, &c[0], &c[1], &c[2]) : 0;
}
int WTlightnode_setdiffuse2(WTnode *node, const float *c) {
  return c ? WTlightnode_setdiffuse(node, c[0], c[1], c[2]) : 0;
}
int WTlightnode_getdiffuse2(WTnode *node, float *c) {
  return c ? WTlightnode_getdiffuse(node, &c[0], &c[1], &c[2]) : 0;
}
int WTlightnode_setspecular2(WTnode *node, const float *c) {
  return c ? WTlightnode_setspecular(node, c[0], c[1], c[2]) : 0;
}
int WTlightnode_getspecular2(WTnode *node, float *c) {
  return c ? WTlightnode_getspecular(node, &c[0], &c[1], &c[2]) : 0;
}
int WTlightnode_setattenuation2(WTnode *node, const float *a) {
  return a ? WTlightnode_setattenuation(node, a[0], a[1], a[2]) : 0;
}
int WTlightnode_getattenuation2(WTnode *node, float *a) {
  return a ? WTlightnode_getattenuation(node, &a[0], &a[1], &a[2]) : 0;
}

// ---- Fog -----------------------------------------------------------------------------------

int WTfognode_setrange(WTnode *node, float f) {
  WTnode *n = ofkind(node, WTNODE_FOG);
  if (!n || !_WTnode_firepre(node, "Range")) return 0;
  n->u.fog.range = f;
  _WTnode_firepost(node, "Range", &n->u.fog.range);
  return 1;
}

float WTfognode_getrange(WTnode *node) {
  WTnode *n = ofkind(node, WTNODE_FOG);
  return n ? n->u.fog.range : -1.0f;
}

int WTfognode_setmode(WTnode *node, int mode) {
  WTnode *n = ofkind(node, WTNODE_FOG);
  if (!n || mode < -1 || mode > 2 || !_WTnode_firepre(node, "Is Exponential")) return 0;
  n->u.fog.mode = mode;
  _WTnode_firepost(node, "Is Exponential", &n->u.fog.mode);
  return 1;
}

int WTfognode_getmode(WTnode *node) {
  WTnode *n = ofkind(node, WTNODE_FOG);
  return n ? n->u.fog.mode : -1;
}

int WTfognode_setcolor(WTnode *node, float r, float g, float b, float a) {
  WTnode *n = ofkind(node, WTNODE_FOG);
  if (!n || !_WTnode_firepre(node, "Color")) return 0;
  float *c = n->u.fog.color;
  c[0] = r, c[1] = g, c[2] = b, c[3] = a;
  _WTnode_firepost(node, "Color", c);
  return 1;
}

int WTfognode_getcolor(WTnode *node, float *r, float *g, float *b, float *a) {
  WTnode *n = ofkind(node, WTNODE_FOG);
  if (!n) return 0;
  const float *c = n->u.fog.color;
  if (r) *r = c[0];
  if (g) *g = c[1];
  if (b) *b = c[2];
  if (a) *a = c[3];
  return 1;
}

int WTfognode_setcolor2(WTnode *node, const float *c) {
  return c ? WTfognode_setcolor(node, c[0], c[1], c[2], c[3]) : 0;
}

int WTfognode_getcolor2(WTnode *node, float *c) {
  return c ? WTfognode_getcolor(node, &c[0], &c[1], &c[2], &c[3]) : 0;
}

int WTfognode_setlinearstart(WTnode *node, float f) {
  WTnode *n = ofkind(node, WTNODE_FOG);
  if (!n || f < 0.0f || !_WTnode_firepre(node, "Linear Start")) return 0;
  n->u.fog.linearstart = f;
  _WTnode_firepost(node, "Linear Start", &n->u.fog.linearstart);
  return 1;
}

float WTfognode_getlinearstart(WTnode *node) {
  WTnode *n = ofkind(node, WTNODE_FOG);
  return n ? n->u.fog.linearstart : -1.0f;
}
}
