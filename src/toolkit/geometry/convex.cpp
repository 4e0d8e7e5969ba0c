// Polygon convexity and triangulation: convex pieces by inner diagonals, spike removal and cuts
// at self-crossings, fans, and the removal of duplicate and collinear vertices.
#include <math.h>

#include <initializer_list>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

namespace {

constexpr double coincide = 0.004f;
constexpr double collinear = 1.6e-5f;
constexpr double duplicate = 1e-5f;

struct V3 {
  double x, y, z;
};

V3 pos(const WTvertexlink *c) {
  const float *p = c->vertex->position;
  return {p[0], p[1], p[2]};
}
V3 vec(const float *p) { return {p[0], p[1], p[2]}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double len(V3 a) { return sqrt(dot(a, a)); }

bool near(V3 a, V3 b, double tol) {
  return fabs(a.x - b.x) < tol && fabs(a.y - b.y) < tol && fabs(a.z - b.z) < tol;
}

WTvertexlink *nextc(const WTpoly *p, WTvertexlink *c) { return c->next ? c->next : p->links; }

WTvertexlink *prevc(const WTpoly *p, WTvertexlink *c) {
  WTvertexlink *prev = p->links;
  while (prev->next && prev->next != c) prev = prev->next;
  if (c == p->links)
    while (prev->next) prev = prev->next;
  return prev;
}

int ringsize(const WTpoly *p) {
  int n = 0;
  for (WTvertexlink *c = p->links; c; c = c->next) n++;
  return n;
}

// Turn at b between a and c, against the polygon normal.
double turn(const WTpoly *p, WTvertexlink *a, WTvertexlink *b, WTvertexlink *c) {
  return dot(cross(pos(b) - pos(a), pos(c) - pos(b)), vec(p->normal));
}

bool hasuv(const WTpoly *p) { return p->texture && p->texture->coordsset; }

// The coordinates of a polygon taken apart, kept while it is cut.
struct UVcopy {
  int n = 0;
  float *u = nullptr, *v = nullptr;
  WTvertexlink **cells = nullptr;
  int ncells = 0;
  char *name = nullptr;
  int a = 0, b = 0;
};

UVcopy takeuv(const WTpoly *p) {
  UVcopy c;
  if (!hasuv(p)) return c;
  WTtextureref *t = p->texture;
  c.n = t->uvcount;
  c.u = static_cast<float *>(_WTmem_alloc(sizeof(float) * size_t(c.n + 1)));
  c.v = static_cast<float *>(_WTmem_alloc(sizeof(float) * size_t(c.n + 1)));
  memcpy(c.u, t->u, sizeof(float) * size_t(c.n));
  memcpy(c.v, t->v, sizeof(float) * size_t(c.n));
  c.ncells = ringsize(p);
  c.cells = static_cast<WTvertexlink **>(_WTmem_alloc(sizeof(WTvertexlink *) * size_t(c.ncells)));
  int i = 0;
  for (WTvertexlink *l = p->links; l; l = l->next) c.cells[i++] = l;
  c.name = _WTmem_strdup(_WTtexture_refname(t));
  c.a = t->style[0];
  c.b = t->style[1];
  return c;
}

void freeuv(UVcopy &c) {
  _WTmem_free(c.u);
  _WTmem_free(c.v);
  _WTmem_free(c.cells);
  _WTmem_free(c.name);
}

int cellindex(const UVcopy &c, WTvertexlink *cell) {
  for (int i = 0; i < c.ncells; i++)
    if (c.cells[i] == cell) return i;
  return 0;
}

// Gives a piece the coordinates its cells had; alias/target map a new cell to an old one.
void applyuv(WTpoly *piece, const UVcopy &c, WTvertexlink *const *alias, WTvertexlink *const *target,
             int naliases) {
  int n = ringsize(piece);
  float *u = static_cast<float *>(_WTmem_alloc(sizeof(float) * size_t(n)));
  float *v = static_cast<float *>(_WTmem_alloc(sizeof(float) * size_t(n)));
  int i = 0;
  for (WTvertexlink *l = piece->links; l; l = l->next, i++) {
    WTvertexlink *old = l;
    for (int k = 0; k < naliases; k++)
      if (alias[k] == l) old = target[k];
    int j = cellindex(c, old);
    u[i] = j < c.n ? c.u[j] : 0.0f;
    v[i] = j < c.n ? c.v[j] : 0.0f;
  }
  WTpoly_settextureuv(piece, c.name, u, v, c.a, c.b);
  _WTmem_free(u);
  _WTmem_free(v);
}

void shiftdown(float *a, int from, int count) {
  for (int k = from; k + 1 < count; k++) a[k] = a[k + 1];
}

void dropuv(WTpoly *p, int index, int *count) {
  if (!hasuv(p) || index >= *count) return;
  shiftdown(p->texture->u, index, *count);
  shiftdown(p->texture->v, index, *count);
  (*count)--;
  p->texture->uvcount = static_cast<int16_t>(*count);
}

// A new polygon linked directly after p that shares its plane and material.
WTpoly *newafter(WTpoly *p) {
  WTpoly *q = _WTpoly_new(p->geometry);
  q->next = p->next;
  p->next = q;
  if (p->geometry) p->geometry->npolys++;
  memcpy(q->normal, p->normal, sizeof(WTp3));
  q->d = p->d;
  q->matid = p->matid;
  q->rflags = p->rflags;
  q->flags = p->flags;
  return q;
}

void settle(WTpoly *p) {
  if (_WTpoly_convex(p)) _WTpoly_stats(p);
  else _WTpoly_split(p);
}

// The first reflex vertex in ring order, or null.
WTvertexlink *findreflex(WTpoly *p) {
  WTvertexlink *c = p->links;
  for (int k = 0, n = ringsize(p); k < n; k++, c = nextc(p, c)) {
    WTvertexlink *b = nextc(p, c);
    if (turn(p, c, b, nextc(p, b)) < 0.0) return b;
  }
  return nullptr;
}

// The diagonal end for reflex vertex b: the first that resolves it, else the last valid one.
WTvertexlink *choosediagonal(WTpoly *p, WTvertexlink *b) {
  WTvertexlink *chosen = nullptr;
  WTvertexlink *k = nextc(p, nextc(p, b));
  for (int i = 0, n = ringsize(p) - 3; i < n; i++, k = nextc(p, k)) {
    int resolves = 0;
    if (_WTpoly_diagonalok(p, b, k, &resolves) == 1) {
      chosen = k;
      if (resolves) break;
    }
  }
  return chosen;
}

// Cuts p along b-k; the cells strictly between the two ends (from the ring's start) go to a new
// polygon after p.  The new cells that hold the ends are returned for the coordinates.
WTpoly *cut(WTpoly *p, WTvertexlink *b, WTvertexlink *k, WTvertexlink *ends[2],
            WTvertexlink *olds[2]) {
  WTvertexlink *f = nullptr, *s = nullptr;
  for (WTvertexlink *l = p->links; l; l = l->next)
    if (l == b || l == k) {
      if (!f) f = l;
      else if (!s) s = l;
    }
  WTpoly *q = newafter(p);
  WTvertexlink *first = f->next, *last = first;
  while (last->next != s) last = last->next;
  WTvertexlink *cs = _WTvertexlink_new(s->vertex, nullptr);
  last->next = cs;
  WTvertexlink *cf = _WTvertexlink_new(f->vertex, first);
  q->links = cf;
  f->next = s;
  ends[0] = cf;
  ends[1] = cs;
  olds[0] = f;
  olds[1] = s;
  return q;
}

// Spike: C, B, A with A on C; B and A leave the ring.  True when one was removed.
bool removespike(WTpoly *p) {
  WTvertexlink *c = p->links;
  for (int k = 0, n = ringsize(p); k < n; k++, c = nextc(p, c)) {
    WTvertexlink *b = nextc(p, c), *a = nextc(p, b);
    if (!near(pos(a), pos(c), coincide) || a == c) continue;
    if (p->links == b || p->links == a) {
      p->links = a->next; // B and A are never the last two cells here: C follows or ends
      c->next = nullptr;
    } else {
      c->next = a->next;
    }
    _WTmem_free(b);
    _WTmem_free(a);
    p->nverts = static_cast<int16_t>(ringsize(p));
    _WTpoly_stats(p);
    if (!(p->flags & WTP_CONVEX)) _WTpoly_makeconvex(p);
    return true;
  }
  return false;
}

struct Crossing {
  WTvertexlink *p, *q, *r, *s;
  V3 x;
};

bool crosses(const WTpoly *poly, WTvertexlink *p, WTvertexlink *r, Crossing *out) {
  WTvertexlink *q = nextc(poly, p), *s = nextc(poly, r);
  V3 n = vec(poly->normal);
  V3 e1 = pos(q) - pos(p), e2 = pos(s) - pos(r);
  double l2 = len(e2);
  if (l2 < coincide || len(e1) < coincide) return false;
  if (near(pos(p), pos(r), coincide) || near(pos(p), pos(s), coincide) ||
      near(pos(q), pos(r), coincide) || near(pos(q), pos(s), coincide))
    return false;
  V3 m2 = cross(e2, n);
  double a = dot(pos(q) - pos(r), m2), b = dot(pos(p) - pos(s), m2);
  if ((a > 0 && b > 0) || (a < 0 && b < 0)) return false;
  V3 m1 = cross(e1, n);
  double a1 = dot(pos(q) - pos(r), m1), b1 = dot(pos(p) - pos(s), m1);
  if ((a1 > 0 && b1 > 0) || (a1 < 0 && b1 < 0)) return false;
  if (fabs(a1) < coincide) return false;
  double t = fabs(b1 / a1), x = l2 / (1.0 + t);
  if (x < 0 || x > l2) return false;
  *out = {p, q, r, s, pos(r) + e2 * (x / l2)};
  return true;
}

bool findcrossing(WTpoly *poly, Crossing *out) {
  for (WTvertexlink *p = poly->links; p; p = p->next) {
    WTvertexlink *q = nextc(poly, p);
    for (WTvertexlink *r = q->next; r; r = r->next)
      if (crosses(poly, p, r, out)) return true;
  }
  return false;
}

WTvertex *crossingvertex(WTpoly *poly, const Crossing &c) {
  WTvertex *x = _WTvertex_new();
  x->position[0] = static_cast<float>(c.x.x);
  x->position[1] = static_cast<float>(c.x.y);
  x->position[2] = static_cast<float>(c.x.z);
  x->flags = WTV_USED;
  if (poly->rflags & WTR_VNORMALS) {
    x->normal = static_cast<float *>(_WTmem_alloc(sizeof(WTp3)));
    for (int i = 0; i < 3; i++) {
      float sum = 0;
      for (WTvertexlink *l : {c.p, c.q, c.r, c.s}) sum += l->vertex->normal ? l->vertex->normal[i] : 0;
      x->normal[i] = sum / 4.0f;
    }
  }
  if (poly->rflags & WTR_VMATIDS) {
    x->matid = c.p->vertex->matid;
    x->flags |= WTV_MATID;
  }
  if (WTgeometry *g = poly->geometry) {
    x->next = g->vertices;
    g->vertices = x;
    if (!g->vtail) g->vtail = x;
  }
  return x;
}

// Cuts a self-crossing outline at the crossing: the loop Q..R becomes a new polygon at the head
// of the geometry's chain.
void cutcrossing(WTpoly *poly, const Crossing &c) {
  WTvertex *x = crossingvertex(poly, c);
  WTpoly *n = _WTpoly_new(poly->geometry);
  n->matid = poly->matid;
  n->rflags = poly->rflags;
  n->flags = static_cast<uint16_t>(n->flags | WTP_TWOSIDED);
  poly->flags = static_cast<uint16_t>(poly->flags | WTP_TWOSIDED);
  memcpy(n->normal, poly->normal, sizeof(WTp3));
  if (WTgeometry *g = poly->geometry) {
    n->next = g->polys;
    g->polys = n;
    g->npolys++;
  }
  WTvertexlink *rnext = c.r->next;
  bool qfirst = poly->links == c.q;
  n->links = _WTvertexlink_new(x, c.q);
  c.r->next = nullptr;
  WTvertexlink *xc = _WTvertexlink_new(x, qfirst ? nullptr : rnext);
  if (qfirst) poly->links = rnext;
  c.p->next = xc;
  poly->nverts = static_cast<int16_t>(ringsize(poly));
  n->nverts = static_cast<int16_t>(ringsize(n));
  _WTpoly_stats(poly);
  _WTpoly_stats(n);
  if (poly->flags & WTP_CONVEX) {
    if (!(n->flags & WTP_CONVEX)) _WTpoly_makeconvex(n);
  } else {
    _WTpoly_makeconvex(poly);
    if (!(n->flags & WTP_CONVEX)) _WTpoly_makeconvex(n);
  }
}

// A fan triangle after p of its ring positions 0, j, k.
void fantriangle(WTpoly *p, WTvertexlink **cells, int j, int k, const UVcopy &uv) {
  WTpoly *t = newafter(p);
  t->links = _WTvertexlink_new(cells[0]->vertex,
                               _WTvertexlink_new(cells[j]->vertex,
                                                 _WTvertexlink_new(cells[k]->vertex, nullptr)));
  t->nverts = 3;
  if (uv.u) {
    float u[3] = {uv.u[0], uv.u[j], uv.u[k]}, v[3] = {uv.v[0], uv.v[j], uv.v[k]};
    WTpoly_settextureuv(t, uv.name, u, v, uv.a, uv.b);
  } else if (p->texture) {
    t->texture = _WTtexture_copyref(p->texture);
  }
  _WTpoly_stats(t);
}

}  // namespace

extern "C" {

int _WTpoly_convex(WTpoly *poly) {
  if (!poly) return 0;
  int n = ringsize(poly);
  if (n == 3) {
    poly->flags |= WTP_CONVEX;
    return 1;
  }
  WTvertexlink *c = poly->links;
  for (int k = 0; k < n; k++, c = nextc(poly, c)) {
    WTvertexlink *b = nextc(poly, c);
    if (turn(poly, c, b, nextc(poly, b)) < 0.0) {
      poly->flags = static_cast<uint16_t>(poly->flags & ~WTP_CONVEX);
      return 0;
    }
  }
  poly->flags |= WTP_CONVEX;
  return 1;
}

void _WTpoly_makeconvex(WTpoly *poly) {
  if (poly && poly->links) _WTpoly_split(poly);
}

void _WTpoly_split(WTpoly *poly) {
  WTvertexlink *b = findreflex(poly);
  if (!b) return;
  UVcopy uv = takeuv(poly);
  WTvertexlink *k = choosediagonal(poly, b);
  if (!k) {
    freeuv(uv);
    _WTpoly_decompose(poly);
    return;
  }
  WTvertexlink *ends[2], *olds[2];
  WTpoly *q = cut(poly, b, k, ends, olds);
  poly->nverts = static_cast<int16_t>(ringsize(poly));
  q->nverts = static_cast<int16_t>(ringsize(q));
  if (uv.u) {
    applyuv(poly, uv, ends, olds, 2);
    applyuv(q, uv, ends, olds, 2);
  } else if (poly->texture) {
    q->texture = _WTtexture_copyref(poly->texture);
  }
  freeuv(uv);
  settle(poly);
  settle(q);
}

int _WTpoly_diagonalok(WTpoly *poly, WTvertexlink *a, WTvertexlink *b, int *resolves) {
  *resolves = 0;
  V3 n = vec(poly->normal);
  for (WTvertexlink *p : {a, b}) {
    WTvertexlink *other = p == a ? b : a;
    V3 e1 = pos(prevc(poly, p)) - pos(p), e2 = pos(nextc(poly, p)) - pos(p);
    V3 d = pos(other) - pos(p);
    bool convex = p == a ? false : dot(cross(e1, e2), n) < 0;
    bool q = dot(cross(e1, d), n) < 0;
    if (convex && !q) return 0;
    if (!convex && q) {
      if (p == a) *resolves = dot(cross(d, e2), n) < 0;
      continue;
    }
    double l1 = len(e1), l2 = len(e2), ld = len(d);
    if (l1 < 1e-8 || l2 < 1e-8 || ld < 1e-8) continue;
    double cosnext = dot(e1, e2) / (l1 * l2), cosd = dot(e1, d) / (l1 * ld);
    if (convex && cosd < cosnext) return 0;
    if (!convex && cosd > cosnext) return 0;
  }
  V3 d = pos(a) - pos(b);
  V3 m = cross(d, n);
  double k = dot(m, pos(a));
  for (WTvertexlink *c = poly->links; c; c = c->next) {
    WTvertexlink *c2 = nextc(poly, c);
    if (c == a || c == b || c2 == a || c2 == b) continue;
    if (c->vertex == a->vertex || c->vertex == b->vertex || c2->vertex == a->vertex ||
        c2->vertex == b->vertex)
      continue;
    double s1 = dot(m, pos(c)) - k, s2 = dot(m, pos(c2)) - k;
    if ((s1 > 0 && s2 > 0) || (s1 < 0 && s2 < 0)) continue;
    V3 g = cross(pos(c2) - pos(c), n);
    double j = dot(g, pos(c2));
    double t1 = dot(g, pos(a)) - j, t2 = dot(g, pos(b)) - j;
    if ((t1 > 0 && t2 > 0) || (t1 < 0 && t2 < 0)) continue;
    return 0;
  }
  return 1;
}

void _WTpoly_decompose(WTpoly *poly) {
  if (ringsize(poly) < 4) return;
  if (removespike(poly)) return;
  Crossing c;
  if (findcrossing(poly, &c)) cutcrossing(poly, c);
}

void _WTpoly_triangulate(WTpoly *poly) {
  if (!poly) return;
  int n = ringsize(poly);
  if (n <= 3) return;
  WTvertexlink **cells = static_cast<WTvertexlink **>(_WTmem_alloc(sizeof(WTvertexlink *) * size_t(n)));
  int i = 0;
  for (WTvertexlink *l = poly->links; l; l = l->next) cells[i++] = l;
  UVcopy uv = takeuv(poly);
  for (int k = 1; k <= n - 3; k++) fantriangle(poly, cells, k, k + 1, uv);
  WTvertexlink *old = poly->links;
  poly->links = _WTvertexlink_new(
      cells[0]->vertex, _WTvertexlink_new(cells[n - 2]->vertex,
                                          _WTvertexlink_new(cells[n - 1]->vertex, nullptr)));
  _WTvertexlinks_free(old);
  poly->nverts = 3;
  if (uv.u) {
    float u[3] = {uv.u[0], uv.u[n - 2], uv.u[n - 1]}, v[3] = {uv.v[0], uv.v[n - 2], uv.v[n - 1]};
    WTpoly_settextureuv(poly, uv.name, u, v, uv.a, uv.b);
  }
  freeuv(uv);
  _WTmem_free(cells);
  _WTpoly_stats(poly);
}

int _WTpoly_removeduplicates(WTpoly *poly) {
  if (!poly || !poly->links) return 1;
  int uvn = hasuv(poly) ? poly->texture->uvcount : 0;
  WTvertexlink *a = poly->links;
  int ia = 0;
  for (;;) {
    WTvertexlink *b = nextc(poly, a);
    if (a == b) break;
    if (near(pos(a), pos(b), duplicate)) {
      bool bfirst = b == poly->links;
      dropuv(poly, bfirst ? 0 : ia + 1, &uvn);
      if (!bfirst) {
        a->next = b->next;
      } else {
        poly->links = b->next;
        ia--;
      }
      _WTmem_free(b);
      if (!poly->links) return 1;
      continue;
    }
    if (b == poly->links) break;
    a = b;
    ia++;
  }
  int n = ringsize(poly);
  poly->nverts = static_cast<int16_t>(n);
  return n < 3 ? 1 : 0;
}

void _WTpoly_removecollinear(WTpoly *poly) {
  if (!poly || ringsize(poly) < 3) return;
  int n = ringsize(poly), uvn = hasuv(poly) ? poly->texture->uvcount : 0;
  if (uvn > n) uvn = n;
  bool removed = false;
  int i = 0;
  for (WTvertexlink *a = poly->links; a; a = a->next, i++) {
    WTvertexlink *b = nextc(poly, a), *c = nextc(poly, b);
    double x = turn(poly, a, b, c);
    if (!(x > -collinear && x < collinear) || ringsize(poly) <= 3) continue;
    bool bfirst = b == poly->links;
    if (bfirst) poly->links = b->next;
    else a->next = b->next;
    dropuv(poly, bfirst ? 0 : i + 1, &uvn);
    _WTmem_free(b);
    removed = true;
  }
  if (removed) {
    poly->nverts = static_cast<int16_t>(ringsize(poly));
    _WTpoly_restats(poly);
  }
}

double _WTpoly_rayplane(WTpoly *poly, const WTp3 origin, const WTp3 direction) {
  V3 n = vec(poly->normal);
  double d = dot(n, vec(poly->centre));
  double num = d - dot(n, vec(origin)), den = dot(n, vec(direction));
  if ((num > -1e-6 && num < 1e-6) || (num > 0 && den < 0) || (num < 0 && den > 0)) return 1e38;
  if (den > -1e-5 && den < 1e-5) return 5e37f;
  return num / den;
}

}  // extern "C"

namespace {
void project(const float *p, int a, int b, double *u, double *v) {
  *u = p[a];
  *v = p[b];
}
}  // namespace

extern "C" {

int _WTpoly_containspoly(WTpoly *a, WTpoly *b) {
  if (!a || !b || b->radius > a->radius) return 0;
  double nx = fabs(a->normal[0]), ny = fabs(a->normal[1]), nz = fabs(a->normal[2]);
  int iu = 1, iv = 2;
  if (nz >= nx && nz >= ny) iu = 0, iv = 1;
  else if (ny >= nx) iu = 0, iv = 2;
  const double e = coincide;
  for (WTvertexlink *vb = b->links; vb; vb = vb->next) {
    double pu, pv;
    project(vb->vertex->position, iu, iv, &pu, &pv);
    int count = 0;
    for (WTvertexlink *q = a->links; q; q = q->next) {
      WTvertexlink *r = nextc(a, q);
      double qu, qv, ru, rv;
      project(q->vertex->position, iu, iv, &qu, &qv);
      project(r->vertex->position, iu, iv, &ru, &rv);
      if (fabs(qu - pu) < e && fabs(qv - pv) < e) break;
      if (ru < pu + e && fabs(rv - pv) < e) {
        count++;
        continue;
      }
      if ((qv > pv - e && rv > pv) || (qv < pv + e && rv < pv)) continue;
      if (qu > pu && ru > pu) continue;
      if (qu < pu && ru < pu) {
        count++;
        continue;
      }
      if (fabs(rv - qv) >= e && qu + (ru - qu) * ((pv - qv) / (rv - qv)) < pu) count++;
    }
    if (count % 2 == 0) return 0;
  }
  return 1;
}

int _WTpoly_containsconvexpoly(WTpoly *a, WTpoly *b) {
  if (!a || !b) return 0;
  V3 n = vec(a->normal);
  for (WTvertexlink *vb = b->links; vb; vb = vb->next)
    for (WTvertexlink *q = a->links; q; q = q->next) {
      WTvertexlink *r = nextc(a, q);
      V3 dq = pos(q) - pos(vb), dr = pos(r) - pos(vb);
      WTp3 fq = {float(dq.x), float(dq.y), float(dq.z)}, fr = {float(dr.x), float(dr.y), float(dr.z)};
      double l1 = _WTp3_approxlength(fq), l2 = _WTp3_approxlength(fr);
      if (l1 >= coincide && l2 >= coincide && dot(cross(dq, dr), n) < -coincide * l1 * l2) return 0;
    }
  return 1;
}
}
