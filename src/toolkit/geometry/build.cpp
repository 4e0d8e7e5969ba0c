// Building geometries vertex by vertex and polygon by polygon, closing them (clean-up, convex
// pieces, statistics), edit spans, and polygon and geometry statistics.
#include <math.h>
#include <string.h>

#include <initializer_list>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

namespace {

constexpr int startcapacity = 1000;

// The one construction of the program.
WTgeometry *opengeometry;
WTvertex **construction;
int constructioncount;
int constructioncapacity = startcapacity;
WTvertex *simpletail;

void endconstruction() {
  _WTmem_free(construction);
  construction = nullptr;
  constructioncount = 0;
  constructioncapacity = startcapacity;
  opengeometry = nullptr;
}

void appendvertex(WTgeometry *g, WTvertex *v) {
  if (g->vtail) g->vtail->next = v;
  else if (!g->vertices) g->vertices = v;
  else {
    WTvertex *last = g->vertices;
    while (last->next) last = last->next;
    last->next = v;
  }
  g->vtail = v;
  if (opengeometry == g) {
    if (constructioncount == constructioncapacity) {
      constructioncapacity *= 2;
      construction = static_cast<WTvertex **>(
          _WTmem_realloc(construction, sizeof(WTvertex *) * size_t(constructioncapacity)));
    }
    construction[constructioncount++] = v;
  }
}

bool canadd(WTgeometry *g, const char *caller) {
  if (opengeometry || g->editopen) return true;
  _WTmsg_warning("Must call WTgeometry_begin or WTgeometry_beginedit before calling %s\n", caller);
  return false;
}

int countlinks(const WTpoly *p) {
  int n = 0;
  for (WTvertexlink *l = p->links; l; l = l->next) n++;
  return n;
}

void setrenderflags(WTpoly *p) {
  bool normals = true, matids = true;
  for (WTvertexlink *l = p->links; l; l = l->next) {
    if (!l->vertex->normal) normals = false;
    if (!(l->vertex->flags & WTV_MATID)) matids = false;
  }
  if (normals) p->rflags |= WTR_VNORMALS;
  if (matids) p->rflags |= WTR_VMATIDS;
}

bool anymoved(const WTpoly *p) {
  for (WTvertexlink *l = p->links; l; l = l->next)
    if (l->vertex->flags & WTV_MOVED) return true;
  return false;
}

// Statistics, then convex pieces and a fan for a non-planar polygon; returns the polygon to
// visit next (the one after the pieces, taken before the fan).
WTpoly *derive(WTpoly *p, bool convexify) {
  bool planar = _WTpoly_stats(p);
  if (countlinks(p) > 3 && convexify) {
    if (!(p->flags & WTP_CONVEX)) _WTpoly_makeconvex(p);
    WTpoly *next = p->next;
    if (!planar) _WTpoly_triangulate(p);
    return next;
  }
  return p->next;
}

void clearused(WTgeometry *g) {
  for (WTvertex *v = g->vertices; v; v = v->next) v->flags &= ~WTV_USED;
}

void markcorners(WTpoly *p) {
  for (WTvertexlink *l = p->links; l; l = l->next) l->vertex->flags |= WTV_USED;
}

void markused(WTgeometry *g) {
  clearused(g);
  for (WTpoly *p = g->polys; p; p = p->next) markcorners(p);
}

void accumulatesmooth(WTpoly *p) {
  bool all = true;
  for (WTvertexlink *l = p->links; l; l = l->next) {
    WTvertex *v = l->vertex;
    if (v->flags & WTV_SMOOTH) {
      if (!v->normal) {
        v->normal = static_cast<float *>(_WTmem_allocslot(sizeof(WTp3)));
        memset(v->normal, 0, sizeof(WTp3));
      }
      for (int i = 0; i < 3; i++) v->normal[i] += p->normal[i];
    }
    if (!v->normal) all = false;
  }
  if (all) p->rflags |= WTR_VNORMALS;
}

void finishsmooth(WTvertex *v) {
  if (!(v->flags & WTV_SMOOTH)) return;
  if (v->normal) {
    float *n = v->normal;
    double sq = double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2];
    if (sq < 1e-6) {
      n[0] = 1.0f;
      n[1] = n[2] = 0.0f;
    } else {
      double l = sqrt(sq);
      for (int i = 0; i < 3; i++) n[i] = static_cast<float>(n[i] / l);
    }
  }
  v->flags &= ~WTV_SMOOTH;
}

// The box round a geometry's vertices, grown one position at a time.
struct Extents {
  float lo[3] = {1.0e38f, 1.0e38f, 1.0e38f}, hi[3] = {-1.0e38f, -1.0e38f, -1.0e38f};

  void add(const float *p) {
    for (int i = 0; i < 3; i++) {
      lo[i] = fminf(lo[i], p[i]);
      hi[i] = fmaxf(hi[i], p[i]);
    }
  }

  // The geometry's half sizes, midpoint and radius; the corners into min and max when asked.
  void store(WTgeometry *g, WTp3 min, WTp3 max) const {
    double r2 = 0;
    for (int i = 0; i < 3; i++) {
      g->half[i] = (hi[i] - lo[i]) * 0.5f;
      g->mid[i] = (hi[i] + lo[i]) * 0.5f;
      r2 += double(g->half[i]) * g->half[i];
      if (min) min[i] = lo[i];
      if (max) max[i] = hi[i];
    }
    g->radius = static_cast<float>(sqrt(r2));
  }
};

// What the close does to each vertex it keeps: smoothed normals made unit length, the extents
// grown and the copy of the vertices extended.
struct VertexPass {
  Extents box;
  WTvertex *copy = nullptr, **tail = &copy;

  void visit(WTvertex *v) {
    finishsmooth(v);
    box.add(v->position);
    *tail = _WTvertex_copy(v);
    tail = &(*tail)->next;
  }
};

// Frees the vertices no polygon uses; returns how many went and counts those kept, which the
// close's pass visits when given.
int pruneunused(WTgeometry *g, int *kept, VertexPass *pass = nullptr) {
  int removed = 0;
  *kept = 0;
  g->vtail = nullptr;
  for (WTvertex **at = &g->vertices; *at;) {
    WTvertex *v = *at;
    if (v->flags & WTV_USED) {
      (*kept)++;
      g->vtail = v;
      if (pass) pass->visit(v);
      at = &v->next;
    } else {
      *at = v->next;
      _WTvertex_delete(v);
      removed++;
    }
  }
  return removed;
}

// The close's one pass over the polygons: those left with fewer than three distinct corners
// deleted, the corners of the rest (and of any that cannot be deleted) marked used, smooth
// normals gathered and statistics and convex pieces derived.
void derivepolys(WTgeometry *g) {
  clearused(g);
  for (WTpoly *p = g->polys; p;) {
    WTpoly *next = p->next;
    if (_WTpoly_removeduplicates(p) && WTpoly_delete(p)) {
      p = next;
      continue;
    }
    markcorners(p);
    accumulatesmooth(p);
    p = derive(p, true);
  }
}

// The close's one pass over the vertices: the unused ones freed, the rest visited, and the copy
// of the vertices replaced; returns how many went and counts those kept.
int finishvertices(WTgeometry *g, int *kept) {
  _WTvertex_deletelist(g->vcopy);
  VertexPass pass;
  int removed = pruneunused(g, kept, &pass);
  pass.box.store(g, nullptr, nullptr);
  g->vcopy = pass.copy;
  return removed;
}

}  // namespace

extern "C" {

int _WTgeometry_constructioncapacity(void) { return constructioncapacity; }

WTgeometry *WTgeometry_begin(void) {
  if (opengeometry) {
    _WTmsg_warning("Can't begin a new geometry until the last is closed.\n");
    return nullptr;
  }
  construction =
      static_cast<WTvertex **>(_WTmem_alloc(sizeof(WTvertex *) * size_t(constructioncapacity)));
  constructioncount = 0;
  WTgeometry *g = _WTgeometry_new(nullptr);
  WTmtable *table = WTmtable_new(WTAMBIENTDIFFUSE, 1, nullptr);
  if (table) {
    _WTmtable_getcolorid(table, 0xFFF);
    _WTmtable_attach(g, table);
  }
  opengeometry = g;
  return g;
}

int _WTgeometry_addvertex(WTgeometry *geometry, WTvertex *vertex) {
  if (!geometry || !vertex) return 0;
  if (!canadd(geometry, "_WTgeometry_addvertex")) return 0;
  appendvertex(geometry, vertex);
  return 1;
}

WTvertex *WTgeometry_newvertex(WTgeometry *geometry, const WTp3 position) {
  if (!geometry || !position) return nullptr;
  if (!canadd(geometry, "WTgeometry_newvertex")) return nullptr;
  WTvertex *v = _WTvertex_newat(position);
  appendvertex(geometry, v);
  return v;
}

int _WTgeometry_addvertexsimple(WTgeometry *geometry, WTvertex *vertex) {
  if (!geometry || !vertex) return 0;
  if (!geometry->vertices) {
    geometry->vertices = vertex;
  } else {
    if (!simpletail) {
      simpletail = geometry->vertices;
      while (simpletail->next) simpletail = simpletail->next;
    }
    simpletail->next = vertex;
  }
  simpletail = vertex;
  geometry->vtail = vertex;
  return 1;
}

WTpoly *WTgeometry_beginpoly(WTgeometry *geometry) {
  return geometry ? _WTpoly_new(geometry) : nullptr;
}

int WTpoly_addvertex(WTpoly *poly, int index) {
  // An index at or past the construction count names no vertex of this construction.
  if (!poly || index < 0 || !construction || index >= constructioncount || !construction[index])
    return 0;
  poly->links = _WTvertexlink_new(construction[index], poly->links);
  construction[index]->flags |= WTV_USED;
  return 1;
}

int WTpoly_addvertexptr(WTpoly *poly, WTvertex *vertex) {
  if (!poly || !vertex) return 0;
  poly->links = _WTvertexlink_new(vertex, poly->links);
  vertex->flags |= WTV_USED;
  return 1;
}

int WTpoly_close(WTpoly *poly) {
  if (!poly) return 0;
  int n = countlinks(poly);
  poly->nverts = static_cast<int16_t>(n);
  bool normals = true, matids = true;
  for (WTvertexlink *l = poly->links; l; l = l->next) {
    if (!l->vertex->normal && !(l->vertex->flags & WTV_SMOOTH)) normals = false;
    if (!(l->vertex->flags & WTV_MATID)) matids = false;
  }
  if (normals) poly->rflags |= WTR_VNORMALS;
  if (matids) poly->rflags |= WTR_VMATIDS;
  if (n < 3 || n > 256) {
    _WTmsg_warning("Polygon %x has %d vertices -- outside [%d,%d]\n", poly->serial, n, 3, 256);
    return 0;
  }
  poly->links = _WTvertexlinks_reverse(poly->links);
  _WTpoly_stats(poly);
  if (WTgeometry *g = poly->geometry) {
    poly->next = g->polys;
    g->polys = poly;
    g->npolys++;
  }
  return 1;
}

void _WTpoly_cancel(WTpoly *poly) { _WTpoly_del(poly); }

WTpoly *_WTgeometry_addpoly4(WTgeometry *g, int i0, int i1, int i2, int i3, int bothsides) {
  WTpoly *p = WTgeometry_beginpoly(g);
  if (!p) return nullptr;
  for (int i : {i0, i1, i2, i3}) WTpoly_addvertex(p, i);
  if (!WTpoly_close(p)) {
    _WTpoly_cancel(p);
    return nullptr;
  }
  if (bothsides) WTpoly_setbothsides(p, 1);
  return p;
}

WTpoly *_WTgeometry_addpoly3(WTgeometry *g, int i0, int i1, int i2, int bothsides) {
  WTpoly *p = WTgeometry_beginpoly(g);
  if (!p) return nullptr;
  for (int i : {i0, i1, i2}) WTpoly_addvertex(p, i);
  if (!WTpoly_close(p)) {
    _WTpoly_cancel(p);
    return nullptr;
  }
  if (bothsides) WTpoly_setbothsides(p, 1);
  return p;
}

WTpoly *_WTgeometry_newpolyfrompoints(WTgeometry *g, const WTp3 *points, int count,
                                      int bothsides) {
  if (!g || !points || count < 3 || count > 256) return nullptr;
  WTpoly *p = WTgeometry_beginpoly(g);
  int n = 0;
  for (WTvertex *v = g->vertices; v; v = v->next) n++;
  for (int i = 0; i < count; i++) {
    WTgeometry_newvertex(g, points[i]);
    WTpoly_addvertex(p, n + i);
  }
  if (!WTpoly_close(p)) {
    _WTpoly_cancel(p);
    return nullptr;
  }
  if (bothsides) WTpoly_setbothsides(p, 1);
  return p;
}

int WTgeometry_close(WTgeometry *geometry) {
  if (!geometry) return 0;
  if (geometry != opengeometry) {
    _WTmsg_warning("WTgeometry_close called on non-open geometry.\n");
    return 0;
  }
  return _WTgeometry_close(geometry);
}

int WTgeometry_closesmooth(WTgeometry *geometry) {
  if (!geometry) return 0;
  for (WTvertex *v = geometry->vertices; v; v = v->next)
    if (!v->normal) v->flags |= WTV_SMOOTH;
  return WTgeometry_close(geometry);
}

void _WTgeometry_checkifopen(WTgeometry *geometry) {
  if (geometry && geometry == opengeometry) endconstruction();
}

int _WTgeometry_close(WTgeometry *geometry) {
  endconstruction();
  simpletail = nullptr;
  if (!geometry) return 0;
  derivepolys(geometry);
  int kept = 0, removed = finishvertices(geometry, &kept);
  if (removed && _WTuniverse_getoption(1) > 0)
    _WTmsg_warning("%d unused vertices were removed\n", removed);
  if (kept < 3) {
    _WTmsg_warning("Can't make geometry - too few vertices\n");
    WTgeometry_delete(geometry);
    return 0;
  }
  if (!geometry->name) WTgeometry_setname(geometry, "untitled");
  return 1;
}

int WTgeometry_beginedit(WTgeometry *geometry) {
  if (!geometry || geometry->editopen || !_WTgeometry_modifiable(geometry)) return 0;
  geometry->vtail = geometry->vertices;
  while (geometry->vtail && geometry->vtail->next) geometry->vtail = geometry->vtail->next;
  geometry->editopen = 1;
  return 1;
}

int WTgeometry_endedit(WTgeometry *geometry) { return _WTgeometry_finishedit(geometry, 1, 1); }

int _WTgeometry_finishedit(WTgeometry *geometry, int extents, int convexify) {
  if (!geometry || !geometry->editopen) return 0;
  geometry->editopen = 0;
  bool moved = false;
  for (WTpoly *p = geometry->polys; p;) {
    setrenderflags(p);
    if (!anymoved(p)) {
      p = p->next;
      continue;
    }
    moved = true;
    if (_WTpoly_removeduplicates(p)) p->flags |= WTP_DEGENERATE;
    p = derive(p, convexify != 0);
  }
  for (WTvertex *v = geometry->vertices; v; v = v->next) v->flags &= ~WTV_MOVED;
  if (extents && moved) {
    WTp3 lo, hi;
    _WTgeometry_findextents(geometry, lo, hi);
    _WTnode_changed(geometry->node);
  }
  geometry->vchanged = 0;
  return 1;
}

void WTgeometry_recomputestats(WTgeometry *geometry, int prune) {
  if (!geometry) return;
  if (prune) {
    markused(geometry);
    int kept = 0, removed = pruneunused(geometry, &kept);
    if (removed && _WTuniverse_getoption(1) > 0)
      _WTmsg_warning("%d unused vertices were removed\n", removed);
  }
  WTp3 lo, hi;
  _WTgeometry_findextents(geometry, lo, hi);
  _WTnode_changed(geometry->node);
  geometry->vchanged = 0;
}

int WTgeometry_deleteunusedvertices(WTgeometry *geometry) {
  if (!geometry) return 1;
  markused(geometry);
  int kept = 0;
  pruneunused(geometry, &kept);
  WTp3 lo, hi;
  _WTgeometry_findextents(geometry, lo, hi);
  _WTnode_changed(geometry->node);
  return 1;
}

// ---- Statistics --------------------------------------------------------------------------

int _WTpoly_restats(WTpoly *poly) { return poly ? _WTpoly_extents(poly, nullptr) : 0; }

}  // extern "C"

namespace {

struct D3 {
  double v[3];
};

// The corner positions of a polygon in link order, read once for every pass over them. The
// first two corners follow the last again, so that the two corners after any corner are read
// without wrapping the index.
class Ring {
 public:
  explicit Ring(const WTpoly *poly) {
    for (WTvertexlink *l = poly->links; l; l = l->next) n_++;
    if (n_ == 0) return;
    if (n_ + 2 > kLocal) {
      heap_.resize(size_t(n_) + 2);
      points_ = heap_.data();
    }
    D3 *at = points_;
    for (WTvertexlink *l = poly->links; l; l = l->next, at++) {
      const float *p = l->vertex->position;
      *at = {{p[0], p[1], p[2]}};
    }
    at[0] = points_[0];
    at[1] = points_[1 % n_];
  }
  int size() const { return n_; }
  // Corner i, for i below the size plus two.
  const D3 &operator[](int i) const { return points_[i]; }

 private:
  // Triangles and quads, most polygons, keep their corners on the stack.
  static constexpr int kLocal = 8;

  D3 local_[kLocal];
  std::vector<D3> heap_;
  D3 *points_ = local_;
  int n_ = 0;
};

// Centre and radius of the ring into the polygon; the sizes of its box when asked.
void ringextents(WTpoly *poly, const Ring &ring, WTp3 sizes) {
  double lo[3] = {1.0e38, 1.0e38, 1.0e38}, hi[3] = {-1.0e38, -1.0e38, -1.0e38}, sum[3] = {0, 0, 0};
  const int n = ring.size();
  for (int k = 0; k < n; k++)
    for (int i = 0; i < 3; i++) {
      double c = ring[k].v[i];
      lo[i] = c < lo[i] ? c : lo[i]; // a NaN corner leaves the box as it is
      hi[i] = c > hi[i] ? c : hi[i];
      sum[i] += c;
    }
  const double inverse = n == 3 ? 1.0 / 3 : 1.0 / n;
  double r2 = 0;
  for (int i = 0; i < 3; i++) {
    double c = sum[i] * inverse;
    poly->centre[i] = static_cast<float>(c);
    double e = fmax(hi[i] - c, c - lo[i]);
    r2 += e * e;
    if (sizes) sizes[i] = static_cast<float>(hi[i] - lo[i]);
  }
  poly->radius = static_cast<float>(sqrt(r2));
}

D3 crossd(D3 a, D3 b) {
  return {{a.v[1] * b.v[2] - a.v[2] * b.v[1], a.v[2] * b.v[0] - a.v[0] * b.v[2],
           a.v[0] * b.v[1] - a.v[1] * b.v[0]}};
}

D3 sub(D3 a, D3 b) { return {{a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2]}}; }

bool zero(D3 a) { return a.v[0] == 0 && a.v[1] == 0 && a.v[2] == 0; }

// The raw normal and the convex flag of a ring.
D3 rawnormal(WTpoly *poly, const Ring &at) {
  const int n = at.size();
  D3 sum = {{0, 0, 0}}, ref = {{0, 0, 0}};
  bool found = false, convex = true;
  for (int i = 0; i < n; i++) {
    D3 c = crossd(sub(at[i + 2], at[i + 1]), sub(at[i], at[i + 1]));
    for (int k = 0; k < 3; k++) sum.v[k] += c.v[k];
    if (zero(c)) continue;
    if (!found) {
      ref = c;
      found = true;
    } else if (c.v[0] * ref.v[0] + c.v[1] * ref.v[1] + c.v[2] * ref.v[2] < 0) {
      convex = false;
    }
  }
  if (convex) poly->flags |= WTP_CONVEX;
  else poly->flags = static_cast<uint16_t>(poly->flags & ~WTP_CONVEX);
  if (!convex) {
    sum = {{0, 0, 0}};
    for (int k = 1; k <= n - 2; k++) {
      D3 c = crossd(sub(at[k + 1], at[k]), sub(at[0], at[k]));
      for (int j = 0; j < 3; j++) sum.v[j] += c.v[j];
    }
  }
  if (zero(sum)) sum = found ? ref : D3{{1, 0, 0}};
  return sum;
}

// Whether every corner lies within the tolerance of the polygon's plane.
bool onplane(const WTpoly *poly, const Ring &ring) {
  const float *nn = poly->normal;
  for (int k = 0; k < ring.size(); k++) {
    const double *p = ring[k].v;
    double off = double(poly->d) - (double(nn[0]) * p[0] + double(nn[1]) * p[1] + double(nn[2]) * p[2]);
    if (fabs(off) > 0.004f) return false;
  }
  return true;
}

}  // namespace

extern "C" {

int _WTpoly_extents(WTpoly *poly, WTp3 sizes) {
  Ring ring(poly);
  if (ring.size() == 0) return 0;
  ringextents(poly, ring, sizes);
  return ring.size();
}

int _WTpoly_stats(WTpoly *poly) {
  if (!poly) return 0;
  Ring ring(poly);
  const int n = ring.size();
  if (n == 0) return 1;
  ringextents(poly, ring, nullptr);
  if (!(poly->flags & WTP_NORMALFIXED)) {
    D3 s = rawnormal(poly, ring);
    double l = sqrt(s.v[0] * s.v[0] + s.v[1] * s.v[1] + s.v[2] * s.v[2]);
    for (int k = 0; k < 3; k++) poly->normal[k] = poly->normal2[k] = static_cast<float>(s.v[k] / l);
  } else {
    memcpy(poly->normal2, poly->normal, sizeof(WTp3));
  }
  memcpy(poly->centre2, poly->centre, sizeof(WTp3));
  const float *nn = poly->normal;
  poly->d = nn[0] * poly->centre[0] + nn[1] * poly->centre[1] + nn[2] * poly->centre[2];
  return (poly->flags & WTP_NORMALFIXED) || n < 4 || onplane(poly, ring) ? 1 : 0;
}

void _WTgeometry_findextents(WTgeometry *geometry, WTp3 min, WTp3 max) {
  Extents box;
  for (WTvertex *v = geometry->vertices; v; v = v->next) box.add(v->position);
  box.store(geometry, min, max);
}
}
