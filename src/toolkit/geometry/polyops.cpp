// Operations on single polygons and on single vertices of a geometry: colours and material
// ids, switches, ids, normals, centre and area, and the polygons around a vertex.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

namespace {

WTmtable *tableof(WTpoly *p) { return p && p->geometry ? p->geometry->mtable : nullptr; }

bool modifiable(WTpoly *p) { return p && (!p->geometry || _WTgeometry_modifiable(p->geometry)); }

void setmatid(WTpoly *p, int id) {
  if (id < 0) return;
  p->matid = id;
  _WTuniverse_scenechanged();
}

bool uses(const WTpoly *p, const WTvertex *v) {
  for (WTvertexlink *l = p->links; l; l = l->next)
    if (l->vertex == v) return true;
  return false;
}

// Motion of the polygon's owner object, when the polygon follows it.
bool polymotion(WTpoly *p, WTpq *built, WTpq *current, WTq r) {
  if (!(p->flags & WTP_FOLLOWOBJECT) || !p->geometry || !p->geometry->object) return false;
  if (!_WTobject_getposes(p->geometry->object, built, current)) return false;
  _WTq_conjmultiply(built->q, current->q, r);
  return true;
}

void unpack(uint32_t rgb, unsigned char *r, unsigned char *g, unsigned char *b) {
  *r = static_cast<unsigned char>(rgb >> 16);
  *g = static_cast<unsigned char>(rgb >> 8);
  *b = static_cast<unsigned char>(rgb);
}

}  // namespace

extern "C" {

// ---- Colours and material ids ----------------------------------------------------------

void WTpoly_setrgb(WTpoly *poly, unsigned char r, unsigned char g, unsigned char b) {
  if (!modifiable(poly) || !tableof(poly)) return;
  setmatid(poly, _WTmtable_getrgbid(tableof(poly), r, g, b));
}

void _WTpoly_setcolor24(WTpoly *poly, uint32_t rgb) {
  if (!modifiable(poly) || !tableof(poly)) return;
  setmatid(poly, _WTmtable_getrgb24id(tableof(poly), rgb));
}

void WTpoly_setcolor(WTpoly *poly, int color) {
  if (!modifiable(poly) || !tableof(poly)) return;
  setmatid(poly, _WTmtable_getcolorid(tableof(poly), color));
}

void _WTpoly_setcolor_nofrags(WTpoly *poly, int color) {
  if (!tableof(poly)) return;
  setmatid(poly, _WTmtable_getcolorid(tableof(poly), color));
}

short WTpoly_getcolor(WTpoly *poly) {
  WTmtable *t = tableof(poly);
  if (!t) return -1;
  int index = _WTmtable_entryindex(t, poly->matid);
  int attr = (t->mask & WTAMBIENTDIFFUSE) ? 5 : (t->mask & WTDIFFUSE) ? 1 : (t->mask & WTAMBIENT) ? 0 : -1;
  if (index < 0 || attr < 0) return 0;
  const float *c = t->entries[index] + t->attroffset[attr];
  int code = (int(c[0] * 15.0f) << 8) + int(c[1] * 15.0f) * 16 + int(c[2] * 15.0f);
  return static_cast<short>(code);
}

uint32_t _WTpoly_getcolor24(WTpoly *poly) {
  if (!tableof(poly)) return 0;
  return _WTmtable_getentryrgb24(tableof(poly), poly->matid);
}

void WTpoly_getrgb(WTpoly *poly, unsigned char *r, unsigned char *g, unsigned char *b) {
  if (!poly || !r || !g || !b) return;
  unpack(_WTpoly_getcolor24(poly), r, g, b);
}

int WTpoly_setmatid(WTpoly *poly, int id) {
  if (!poly || id < 0 || !modifiable(poly)) return 0;
  poly->matid = id;
  return 1;
}

int WTpoly_getmatid(WTpoly *poly) { return poly ? poly->matid : -1; }

int _WTpoly_setuvflag(WTpoly *poly, int on) {
  if (!poly || !poly->texture) return 0;
  poly->texture->coordsset = on ? 1 : 0;
  return 1;
}

// ---- Switches, ids and queries ------------------------------------------------------------

void WTpoly_setbothsides(WTpoly *poly, int on) {
  if (!modifiable(poly)) return;
  if (on) poly->flags |= WTP_TWOSIDED;
  else poly->flags = static_cast<uint16_t>(poly->flags & ~(WTP_TWOSIDED | WTP_NORMALFIXED));
  _WTuniverse_scenechanged();
}

int WTpoly_getbothsides(WTpoly *poly) { return poly && (poly->flags & WTP_TWOSIDED) ? 1 : 0; }

void WTpoly_setrendering(WTpoly *poly, int on) {
  if (!poly) return;
  if (on) poly->rflags |= WTR_RENDERED;
  else poly->rflags = static_cast<uint8_t>(poly->rflags & ~WTR_RENDERED);
}

int WTpoly_getrendering(WTpoly *poly) { return !poly || (poly->rflags & WTR_RENDERED) ? 64 : 0; }

void WTpoly_setvisibility(WTpoly *poly, int visible) {
  if (!poly) return;
  if (visible) poly->rflags = static_cast<uint8_t>(poly->rflags & ~WTR_INVISIBLE);
  else poly->rflags |= WTR_INVISIBLE;
}

int WTpoly_getvisibility(WTpoly *poly) { return poly && !(poly->rflags & WTR_INVISIBLE) ? 1 : 0; }

int WTpoly_hasvnormals(WTpoly *poly) { return poly && (poly->rflags & WTR_VNORMALS) ? 1 : 0; }

int WTpoly_computevertexnormals(WTpoly *poly) {
  if (!poly || !poly->geometry) return 0;
  bool all = true;
  WTvertexlink *l = poly->links;
  for (int i = 0; i < poly->nverts && l; i++, l = l->next)
    if (!WTgeometry_computevertexnormal(poly->geometry, l->vertex)) all = false;
  if (all) poly->rflags |= WTR_VNORMALS;
  return 1;
}

int WTpoly_reversevertices(WTpoly *poly) {
  if (!poly || !poly->geometry || poly->geometry->draw || !_WTgeometry_modifiable(poly->geometry))
    return 0;
  poly->links = _WTvertexlinks_reverse(poly->links);
  if (poly->links) poly->links->vertex->flags |= WTV_MOVED;
  poly->geometry->vchanged = 1;
  return 1;
}

int WTpoly_containsvertex(WTpoly *poly, WTvertexlist *list) {
  if (!poly) return 0;
  for (WTvertexlink *l = poly->links; l; l = l->next)
    if (_WTvertexlist_contains(list, l->vertex)) return 1;
  return 0;
}

WTvertex *WTpoly_getvertex(WTpoly *poly, int n) {
  if (!poly || n < 0) return nullptr;
  _WTvertex_setcurrentobject((poly->flags & WTP_FOLLOWOBJECT) && poly->geometry ? poly->geometry->object
                                                                               : nullptr);
  WTvertexlink *l = poly->links;
  for (; l && n > 0; n--) l = l->next;
  return l ? l->vertex : nullptr;
}

unsigned short WTpoly_numvertices(WTpoly *poly) {
  if (!poly) return 65535;
  unsigned short n = 0;
  for (WTvertexlink *l = poly->links; l; l = l->next) n++;
  return n;
}

WTpoly *WTpoly_next(WTpoly *poly) { return poly ? poly->next : nullptr; }

WTgeometry *WTpoly_getgeometry(WTpoly *poly) { return poly ? poly->geometry : nullptr; }

WTobject *WTpoly_getobject(WTpoly *poly) {
  if (!poly || !(poly->flags & WTP_FOLLOWOBJECT) || !poly->geometry) return nullptr;
  return poly->geometry->object;
}

short WTpoly_getid(WTpoly *poly) { return poly ? poly->id : -1; }

void WTpoly_setid(WTpoly *poly, short id) {
  if (poly) poly->id = id;
}

int _WTpoly_getsset(WTpoly *poly) { return poly ? poly->sset : 0; }

void _WTpoly_setsset(WTpoly *poly, int value) {
  if (poly) poly->sset = static_cast<uint8_t>(value);
}

void WTpoly_getnormal(WTpoly *poly, WTp3 out) {
  if (!out) return;
  if (!poly) {
    out[0] = out[1] = out[2] = 0.0f;
    return;
  }
  memcpy(out, poly->normal, sizeof(WTp3));
  WTpq built, current;
  WTq r;
  if (polymotion(poly, &built, &current, r)) _WTq_rotatepoint(out, r, out);
}

void WTpoly_getcg(WTpoly *poly, WTp3 out) {
  if (!out) return;
  if (!poly) {
    out[0] = out[1] = out[2] = 0.0f;
    return;
  }
  memcpy(out, poly->centre, sizeof(WTp3));
  WTpq built, current;
  WTq r;
  if (!polymotion(poly, &built, &current, r)) return;
  WTp3 rel = {out[0] - built.p[0], out[1] - built.p[1], out[2] - built.p[2]};
  _WTq_rotatepoint(rel, r, rel);
  for (int i = 0; i < 3; i++) out[i] = current.p[i] + rel[i];
}

float WTpoly_getarea(WTpoly *poly) {
  if (!poly) return 0.0f;
  WTp3 n;
  WTpoly_getnormal(poly, n);
  int k = 0;
  for (int i = 1; i < 3; i++)
    if (fabsf(n[i]) > fabsf(n[k])) k = i;
  int a = (k + 1) % 3, b = (k + 2) % 3;
  int count = WTpoly_numvertices(poly);
  if (count < 3 || n[k] == 0.0f) return 0.0f;
  double *x = static_cast<double *>(_WTmem_alloc(sizeof(double) * 2 * size_t(count)));
  for (int i = 0; i < count; i++) {
    WTp3 p;
    WTvertex_getposition(WTpoly_getvertex(poly, i), p);
    x[2 * i] = p[a];
    x[2 * i + 1] = p[b];
  }
  double area = 0;
  for (int i = 0; i < count; i++) {
    int next = (i + 1) % count, prev = (i + count - 1) % count;
    area += x[2 * i] * (x[2 * next + 1] - x[2 * prev + 1]);
  }
  _WTmem_free(x);
  return static_cast<float>(fabs(0.5 * area / n[k]));
}

void _WTpolylist_getnormal(WTpolylist *list, WTp3 out) {
  double s[3] = {0, 0, 0};
  for (; list; list = list->next) {
    if (!list->poly) continue;
    WTp3 n;
    WTpoly_getnormal(list->poly, n);
    float a = WTpoly_getarea(list->poly);
    for (int i = 0; i < 3; i++) s[i] += double(a) * n[i];
  }
  double l = sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
  for (int i = 0; i < 3; i++) out[i] = l > 0 ? static_cast<float>(s[i] / l) : 0.0f;
}

// ---- Vertices of a geometry -------------------------------------------------------------

int WTgeometry_setvertexposition(WTgeometry *g, WTvertex *v, const WTp3 position) {
  if (!g || !v || !position || !_WTgeometry_modifiable(g)) return 0;
  memcpy(v->position, position, sizeof(WTp3));
  v->flags |= WTV_MOVED;
  g->vchanged = 1;
  return 1;
}

void WTgeometry_getvertexposition(WTgeometry *g, WTvertex *v, WTp3 out) {
  if (!g || !v || !out) return;
  memcpy(out, v->position, sizeof(WTp3));
}

int WTgeometry_setvertexnormal(WTgeometry *g, WTvertex *v, const WTp3 normal) {
  if (!g || !v) return 0;
  return _WTvertex_setnormal(v, normal);
}

int WTgeometry_getvertexnormal(WTgeometry *g, WTvertex *v, WTp3 out) {
  if (!out) return 0;
  if (!g || !v || !v->normal) {
    out[0] = out[1] = out[2] = 0.0f;
    return 0;
  }
  memcpy(out, v->normal, sizeof(WTp3));
  return 1;
}

int WTgeometry_deletevertexnormal(WTgeometry *g, WTvertex *v) {
  if (!g || !v || !v->normal || !_WTgeometry_modifiable(g)) return 0;
  bool used = false;
  for (WTpoly *p = g->polys; p; p = p->next)
    if (uses(p, v)) used = true;
  if (!used) return 0;
  _WTmem_free(v->normal);
  v->normal = nullptr;
  for (WTpoly *p = g->polys; p; p = p->next)
    if (uses(p, v)) p->rflags = static_cast<uint8_t>(p->rflags & ~WTR_VNORMALS);
  return 1;
}

int WTgeometry_computevertexnormal(WTgeometry *g, WTvertex *v) {
  if (!g || !v || !_WTgeometry_modifiable(g)) return 0;
  WTpolylist *star = WTgeometry_getvertexpolys(g, v);
  if (!star) return 0;
  WTp3 n;
  _WTpolylist_getnormal(star, n);
  WTpolylist_delete(star);
  _WTvertex_setnormal(v, n);
  return 1;
}

int WTgeometry_setvertexmatid(WTgeometry *g, WTvertex *v, int id) {
  if (!v || id < 0 || !_WTgeometry_modifiable(g)) return 0;
  v->matid = id;
  v->flags |= WTV_MATID;
  return 1;
}

int WTgeometry_getvertexmatid(WTgeometry *, WTvertex *v) {
  return v && (v->flags & WTV_MATID) ? v->matid : -1;
}

int WTgeometry_setvertexrgb(WTgeometry *g, WTvertex *v, unsigned char r, unsigned char gr,
                            unsigned char b) {
  if (!g || !v || !g->mtable) return 0;
  int id = _WTmtable_getrgbid(g->mtable, r, gr, b);
  if (id < 0 || !_WTgeometry_modifiable(g)) return 0;
  v->matid = id;
  v->flags |= WTV_MATID;
  return 1;
}

int WTgeometry_getvertexrgb(WTgeometry *g, WTvertex *v, unsigned char *r, unsigned char *gr,
                            unsigned char *b) {
  if (!g || !v || !(v->flags & WTV_MATID) || !r || !gr || !b) return 0;
  unpack(_WTmtable_getentryrgb24(g->mtable, v->matid), r, gr, b);
  return 1;
}

WTpolylist *_WTgeometry_getvertexstar(WTgeometry *g, WTvertex *v) {
  WTpolylist *list = WTpolylist_new();
  if (!g || !v) return list;
  for (WTpoly *p = g->polys; p; p = p->next)
    if (uses(p, v)) list = WTpolylist_addpoly(list, p);
  return list;
}

WTpolylist *WTgeometry_getvertexpolys(WTgeometry *g, WTvertex *v) {
  if (!g || !v) return nullptr;
  WTpolylist *list = nullptr;
  for (WTpoly *p = g->polys; p; p = p->next)
    if (uses(p, v)) list = WTpolylist_addpoly(list, p);
  return list;
}
}
