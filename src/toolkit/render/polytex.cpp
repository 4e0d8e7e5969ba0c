// Polygon texture references: computed and given coordinates, and their transformations.
#include <ctype.h>
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/context.h"

namespace {

int vertexcount(WTpoly *poly) {
  int n = 0;
  for (WTvertexlink *l = poly->links; l; l = l->next) n++;
  return n;
}

// The reference of a polygon that may change, or null.
WTtextureref *changeable(WTpoly *poly) {
  if (!poly || !poly->texture) return nullptr;
  if (poly->geometry && !_WTgeometry_modifiable(poly->geometry)) return nullptr;
  _WTuniverse_scenechanged();
  return poly->texture;
}

bool modifiable(WTpoly *poly) {
  if (poly->geometry && !_WTgeometry_modifiable(poly->geometry)) return false;
  _WTuniverse_scenechanged();
  return true;
}

WTtexture *entryof(WTtextureref *ref) { return static_cast<WTtexture *>(ref->texture); }

// Swaps in a fresh reference holding the entry, taking care that a polygon which already shows
// this texture does not let it go free in between.
WTtextureref *replaceref(WTpoly *poly, WTtexture *t, int a, int b) {
  t->refcount++;
  WTpoly_deletetexture(poly);
  WTtextureref *r = _WTtexture_newref("");
  r->texture = t;  // the count taken above is the reference's
  r->coordsset = 1;
  r->style[0] = static_cast<uint8_t>(a);
  r->style[1] = static_cast<uint8_t>(b);
  int n = vertexcount(poly);
  r->u = static_cast<float *>(_WTmem_alloc(sizeof(float) * size_t(n ? n : 1)));
  r->v = static_cast<float *>(_WTmem_alloc(sizeof(float) * size_t(n ? n : 1)));
  r->uvcount = static_cast<int16_t>(n);
  poly->texture = r;
  return r;
}

bool isidentity(const WTq q) { return q[0] == 0.0f && q[1] == 0.0f && q[2] == 0.0f; }

void rotated(const float *v, const WTq r, WTp3 out) {
  if (isidentity(r)) {
    memcpy(out, v, sizeof(WTp3));
    return;
  }
  _WTq_rotatepoint(v, r, out);
}

void cross(const WTp3 a, const WTp3 b, WTp3 out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

bool distinct(const float *a, const float *b) {
  return fabsf(a[0] - b[0]) >= 0.004f || fabsf(a[1] - b[1]) >= 0.004f ||
         fabsf(a[2] - b[2]) >= 0.004f;
}

// The edge whose direction becomes the texture's v axis; false when there is none.
bool frameedge(WTpoly *poly, const WTq r, bool horizontal, WTp3 e) {
  float best = -1.0e38f;
  bool found = false;
  for (WTvertexlink *l = poly->links; l; l = l->next) {
    WTvertexlink *nl = l->next ? l->next : (horizontal ? nullptr : poly->links);
    if (!nl) break;
    const float *a = l->vertex->position, *b = nl->vertex->position;
    if (!distinct(a, b)) continue;
    WTp3 d = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    if (horizontal) {
      memcpy(e, d, sizeof d);
      found = true;
      break;
    }
    WTp3 rd;
    rotated(d, r, rd);
    if (rd[1] > best) best = rd[1], memcpy(e, d, sizeof d), found = true;
  }
  if (!found) return false;
  float len = sqrtf(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
  if (len > 0.0f)
    for (int i = 0; i < 3; i++) e[i] /= len;
  WTp3 re;
  rotated(e, r, re);
  memcpy(e, re, sizeof re);
  return true;
}

void textureframe(WTpoly *poly, const WTq r, WTq q) {
  q[0] = q[1] = q[2] = 0.0f, q[3] = 1.0f;
  WTp3 n;
  rotated(poly->normal, r, n);
  bool horizontal = !(fabsf(n[1] - 1.0f) >= 0.004f && fabsf(n[1] + 1.0f) >= 0.004f);
  WTp3 e;
  if (!frameedge(poly, r, horizontal, e)) return;
  WTm3 m;
  WTp3 x;
  cross(n, e, x);
  for (int i = 0; i < 3; i++) m[0][i] = x[i], m[1][i] = e[i], m[2][i] = n[i];
  WTm3_2q(m, q);
  q[0] = -q[0], q[1] = -q[1], q[2] = -q[2];
}

// The object's turn from its build pose to its current one (identity without an object).
void objectrotation(WTpoly *poly, WTq r) {
  r[0] = r[1] = r[2] = 0.0f, r[3] = 1.0f;
  WTpq built, current;
  if (!poly->geometry || !poly->geometry->object ||
      !_WTobject_getposes(poly->geometry->object, &built, &current))
    return;
  _WTq_conjmultiply(built.q, current.q, r);
}

void fituv(WTtextureref *ref, int n, int w, int h) {
  float umin = 1e38f, umax = -1e38f, vmin = 1e38f, vmax = -1e38f;
  for (int i = 0; i < n; i++) {
    umin = fminf(umin, ref->u[i]), umax = fmaxf(umax, ref->u[i]);
    vmin = fminf(vmin, ref->v[i]), vmax = fmaxf(vmax, ref->v[i]);
  }
  // A span of zero fits to 0.
  float us = umax > umin ? (w - 1.0f) / (umax - umin) / w : 0.0f;
  float vs = vmax > vmin ? (h - 1.0f) / (vmax - vmin) / h : 0.0f;
  for (int i = 0; i < n; i++) {
    ref->u[i] = (ref->u[i] - umin) * us;
    ref->v[i] = 1.0f - (ref->v[i] - vmin) * vs;
  }
}

void computeuv(WTpoly *poly, WTtextureref *ref) {
  WTq r, q;
  objectrotation(poly, r);
  textureframe(poly, r, q);
  int i = 0;
  for (WTvertexlink *l = poly->links; l; l = l->next, i++) {
    const float *p = l->vertex->position;
    WTp3 d = {p[0] - poly->centre[0], p[1] - poly->centre[1], p[2] - poly->centre[2]}, dr, dq;
    rotated(d, r, dr);
    _WTq_rotatepoint(dr, q, dq);
    ref->u[i] = dq[0];
    ref->v[i] = dq[1];
  }
  WTtexture *t = entryof(ref);
  fituv(ref, i, t->width, t->height);
}

void meanuv(WTtextureref *r, float *cu, float *cv) {
  *cu = *cv = 0.0f;
  for (int i = 0; i < r->uvcount; i++) *cu += r->u[i], *cv += r->v[i];
  if (r->uvcount) *cu /= r->uvcount, *cv /= r->uvcount;
}

void stretch(WTtextureref *r, float fu, float fv) {
  float cu, cv;
  meanuv(r, &cu, &cv);
  for (int i = 0; i < r->uvcount; i++) {
    r->u[i] = fu * (r->u[i] - cu) + cu;
    r->v[i] = fv * (r->v[i] - cv) + cv;
  }
}

}  // namespace

extern "C" {

const char *_WTtexture_refname(WTtextureref *ref) {
  if (!ref) return nullptr;
  return ref->texture ? entryof(ref)->name : ref->name;
}

WTtextureref *_WTtexture_newref(const char *name) {
  WTtextureref *r = static_cast<WTtextureref *>(_WTmem_alloc(sizeof(WTtextureref)));
  memset(r, 0, sizeof(WTtextureref));
  r->name = _WTmem_strdup(name ? name : "");
  for (char *c = r->name + (strlen(r->name) > 2 ? 2 : strlen(r->name)); *c; c++)
    *c = static_cast<char>(tolower(static_cast<unsigned char>(*c)));
  if (r->name[0] == 'S') r->style[0] = 1;
  if (r->name[0] == 'T') r->style[1] = 1;
  r->scale = 1.0f;
  return r;
}

void _WTtexture_deleteref(WTtextureref *ref) {
  if (!ref) return;
  if (ref->texture) _WTtexture_release(entryof(ref));
  _WTmem_free(ref->name);
  _WTmem_free(ref->u);
  _WTmem_free(ref->v);
  _WTmem_free(ref);
}

WTtextureref *_WTtexture_copyref(WTtextureref *ref) {
  if (!ref) return nullptr;
  if (!ref->coordsset) return _WTtexture_newref(ref->name);
  WTtextureref *c = _WTtexture_newref("");
  size_t n = size_t(ref->uvcount > 0 ? ref->uvcount : 1);
  c->u = static_cast<float *>(_WTmem_alloc(sizeof(float) * n));
  c->v = static_cast<float *>(_WTmem_alloc(sizeof(float) * n));
  memcpy(c->u, ref->u, sizeof(float) * size_t(ref->uvcount));
  memcpy(c->v, ref->v, sizeof(float) * size_t(ref->uvcount));
  c->uvcount = ref->uvcount;
  c->coordsset = 1;
  memcpy(c->style, ref->style, sizeof c->style);
  c->texture = ref->texture;
  if (c->texture) entryof(c)->refcount++;
  return c;
}

int WTpoly_settexture(WTpoly *poly, const char *name, int a, int b) {
  if (!poly) return 1;
  if (!name || !modifiable(poly)) return 0;
  WTtexture *t = _WTtexture_get(name);
  if (!t) {
    _WTtexture_reportfailure(name);
    return 0;
  }
  WTtextureref *r = replaceref(poly, t, a, b);
  computeuv(poly, r);
  return 1;
}

int WTpoly_settextureuv(WTpoly *poly, const char *name, const float *u, const float *v, int a,
                        int b) {
  if (!poly || !name || !u || !v || !modifiable(poly)) return 0;
  WTtexture *t = _WTtexture_get(name);
  if (!t) {
    _WTtexture_reportfailure(name);
    return 0;
  }
  WTtextureref *r = replaceref(poly, t, a, b);
  memcpy(r->u, u, sizeof(float) * size_t(r->uvcount));
  memcpy(r->v, v, sizeof(float) * size_t(r->uvcount));
  return 1;
}

void WTpoly_deletetexture(WTpoly *poly) {
  if (!poly || !poly->texture) return;
  if (poly->geometry && !_WTgeometry_modifiable(poly->geometry)) return;
  _WTuniverse_scenechanged();
  _WTtexture_deleteref(poly->texture);
  poly->texture = nullptr;
}

void WTpoly_rotatetexture(WTpoly *poly, float angle) {
  WTtextureref *r = changeable(poly);
  if (!r) return;
  float c = cosf(angle), s = sinf(angle);
  if (_WTuniverse_getoption(9) > 0) s = -s;
  for (int i = 0; i < r->uvcount; i++) {
    float du = r->u[i] - 0.5f, dv = r->v[i] - 0.5f;
    r->u[i] = c * du + s * dv + 0.5f;
    r->v[i] = c * dv - s * du + 0.5f;
  }
  r->rotation += angle;
}

void WTpoly_stretchtexture(WTpoly *poly, float fu, float fv) {
  if (WTtextureref *r = changeable(poly)) stretch(r, fu, fv);
}

void WTpoly_scaletexture(WTpoly *poly, float factor) {
  WTtextureref *r = changeable(poly);
  if (!r) return;
  stretch(r, factor, factor);
  r->scale *= factor;
}

void WTpoly_translatetexture(WTpoly *poly, const float *offset) {
  WTtextureref *r = changeable(poly);
  if (!r || !offset || !r->texture) return;
  WTtexture *t = entryof(r);
  for (int i = 0; i < r->uvcount; i++) {
    r->u[i] += offset[0] / t->width;
    r->v[i] += offset[1] / t->height;
  }
  r->offsetu += offset[0];
  r->offsetv += offset[1];
}

void WTpoly_mirrortexture(WTpoly *poly) {
  WTtextureref *r = changeable(poly);
  if (!r) return;
  for (int i = 0; i < r->uvcount; i++) r->u[i] = 1.0f - r->u[i];
  r->mirrored ^= 1;
}

int WTpoly_setuv(WTpoly *poly, const float *u, const float *v) {
  if (!u || !v) return 0;
  WTtextureref *r = changeable(poly);
  if (!r || !r->u) return 0;
  memcpy(r->u, u, sizeof(float) * size_t(r->uvcount));
  memcpy(r->v, v, sizeof(float) * size_t(r->uvcount));
  return 1;
}

int WTpoly_getuv(WTpoly *poly, float *u, float *v) {
  if (!poly || !poly->texture || !poly->texture->coordsset || !u || !v) return 0;
  memcpy(u, poly->texture->u, sizeof(float) * size_t(poly->texture->uvcount));
  memcpy(v, poly->texture->v, sizeof(float) * size_t(poly->texture->uvcount));
  return 1;
}

int WTpoly_gettextureinfo(WTpoly *poly, WTtextureinfo *info) {
  if (!poly || !poly->texture || !poly->texture->texture || !info) return 0;
  WTtextureref *r = poly->texture;
  info->name = entryof(r)->name;
  info->rotation = r->rotation;
  info->scale = r->scale;
  info->offsetu = r->offsetu;
  info->offsetv = r->offsetv;
  info->mirrored = r->mirrored;
  memcpy(info->style, r->style, sizeof info->style);
  return 1;
}

int WTpoly_settexturestyle(WTpoly *poly, int a, int b, int c) {
  if (!poly || !poly->texture) return 0;
  WTtextureref *r = poly->texture;
  if (r->style[0] == a && r->style[1] == b && r->style[2] == c) return 1;
  if (!modifiable(poly)) return 0;
  r->style[0] = static_cast<uint8_t>(a);
  r->style[1] = static_cast<uint8_t>(b);
  r->style[2] = static_cast<uint8_t>(c);
  return 1;
}

int WTpoly_gettexturestyle(WTpoly *poly, int *a, int *b, int *c) {
  if (!poly || !poly->texture) return 0;
  if (a) *a = poly->texture->style[0];
  if (b) *b = poly->texture->style[1];
  if (c) *c = poly->texture->style[2];
  return 1;
}

int _WTpoly_settextureflags(WTpoly *poly, int a, int b) {
  if (!poly || !poly->texture) return 0;
  return WTpoly_settexturestyle(poly, a, b, poly->texture->style[2]);
}

int _WTpoly_gettextureflags(WTpoly *poly, int *a, int *b) {
  return WTpoly_gettexturestyle(poly, a, b, nullptr);
}
}

namespace {

// The style flags a stored name begins with: "V:", "S:" or "T:"; false for any other name.
bool namedstyle(const char *name, int *a, int *b) {
  if (!name || !name[0] || !name[1]) return false;
  switch (name[0]) {
    case 'V': *a = 0; *b = 0; return true;
    case 'S': *a = 1; *b = 0; return true;
    case 'T': *a = 0; *b = 1; return true;
    default: return false;
  }
}

// Loads the texture a name-only reference names; a reference that names no loadable texture is
// dropped, so the polygon is drawn untextured.
void applyname(WTpoly *poly) {
  int a = 0, b = 0;
  const char *stored = poly->texture->name;
  bool loaded = false;
  if (namedstyle(stored, &a, &b)) {
    char *name = _WTmem_strdup(stored + 2);
    loaded = WTpoly_settexture(poly, name, a, b) != 0;
    _WTmem_free(name);
  } else {
    _WTmsg_warning("Invalid texture name: %s\n", stored ? stored : "");
  }
  if (!loaded) {
    _WTtexture_deleteref(poly->texture);
    poly->texture = nullptr;
  }
}

}  // namespace

extern "C" void _WTtexture_applynames(WTgeometry *geometry) {
  if (!geometry) return;
  for (WTpoly *p = geometry->polys; p; p = p->next)
    if (p->texture && !p->texture->texture) applyname(p);
}
