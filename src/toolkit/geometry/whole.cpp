// Whole-geometry editing: scaling, moving, merging, copying polygon sets, collapsing a vertex,
// outline boxes, rendering style, colours, and reading and writing geometry files.
#include <math.h>
#include <string.h>

#include <initializer_list>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/core/filetable.h"
#include "toolkit/geometry/geometry.h"

namespace {

void restatall(WTgeometry *g) {
  for (WTpoly *p = g->polys; p; p = p->next) _WTpoly_stats(p);
}

void refreshextents(WTgeometry *g) {
  WTp3 lo, hi;
  _WTgeometry_findextents(g, lo, hi);
  _WTnode_changed(g->node);
}

WTvertex *lastof(WTvertex *v) {
  while (v && v->next) v = v->next;
  return v;
}

void appendchain(WTvertex **head, WTvertex *chain) {
  if (!chain) return;
  if (WTvertex *last = lastof(*head)) last->next = chain;
  else *head = chain;
}

bool identitypose(const WTp3 centre, const WTpq *pose) {
  return memcmp(centre, pose->p, sizeof(WTp3)) == 0 && pose->q[0] == 0 && pose->q[1] == 0 &&
         pose->q[2] == 0 && pose->q[3] == 1;
}

// Material ids of merged records: the fixed id, or the map of the source table's entries.
struct IdMap {
  bool fixed;
  int32_t id;
  std::vector<int> map;
  int32_t apply(int32_t old) const {
    if (fixed) return id;
    // Without a map (no table on either side), a negative id or an empty table, ids stay.
    if (map.empty() || old < 0) return old;
    int k = map[size_t(old) % map.size()];
    return k < 0 ? old : k;
  }
};

IdMap mergetables(WTgeometry *target, WTgeometry *source, int fixedid, int matid) {
  IdMap m{fixedid != 0, matid, {}};
  if (m.fixed) {
    _WTmtable_delete(source->mtable);
    return m;
  }
  if (!target->mtable || !source->mtable) return m;
  WTmtable *u = _WTmtable_union(target->mtable, source->mtable);
  _WTmtable_attach(target, u);
  for (int i = 0; i < source->mtable->count; i++) m.map.push_back(_WTmtable_merge(source->mtable, i, u));
  return m;
}

// Moves copied vertices (and their copy-list twins, where they exist) by the pose.
void placecopies(WTvertex *v, WTvertex *twin, const WTp3 centre, const WTpq *pose) {
  WTp3 shift = {pose->p[0] - centre[0], pose->p[1] - centre[1], pose->p[2] - centre[2]};
  for (; v; v = v->next) {
    WTp3 out;
    _WTq_rotatepointabout(v->position, pose->q, out, centre);
    for (int i = 0; i < 3; i++) v->position[i] = out[i] + shift[i];
    v->flags |= WTV_MOVED;
    if (twin) {
      memcpy(twin->position, v->position, sizeof(WTp3));
      twin = twin->next;
    }
  }
}

// ---- Collapse ----------------------------------------------------------------------------

struct Edge {
  WTvertex *a, *b;
  bool used;
};

std::vector<Edge> ringedges(WTpolylist *star, WTvertex *vertex, int *expected) {
  std::vector<Edge> edges;
  *expected = 0;
  for (; star; star = star->next) {
    if (!star->poly) continue;
    WTpoly *p = star->poly;
    int n = 0;
    for (WTvertexlink *l = p->links; l; l = l->next, n++) {
      WTvertex *a = l->vertex, *b = (l->next ? l->next : p->links)->vertex;
      if (a != vertex && b != vertex) edges.push_back({a, b, false});
    }
    *expected += n - 2;
  }
  return edges;
}

}  // namespace

extern "C" {

void WTgeometry_scale(WTgeometry *geometry, float factor, const WTp3 centre) {
  if (!geometry || !centre || !_WTgeometry_modifiable(geometry)) return;
  if (!(factor > 0) || factor == 1.0f) return;
  for (WTvertex *v = geometry->vertices; v; v = v->next)
    for (int i = 0; i < 3; i++) v->position[i] = centre[i] + (v->position[i] - centre[i]) * factor;
  for (WTpoly *p = geometry->polys; p; p = p->next) {
    p->radius *= factor;
    for (int i = 0; i < 3; i++) p->centre[i] = centre[i] + (p->centre[i] - centre[i]) * factor;
    p->d = p->normal[0] * p->centre[0] + p->normal[1] * p->centre[1] + p->normal[2] * p->centre[2];
  }
  refreshextents(geometry);
}

void WTgeometry_stretch(WTgeometry *geometry, const WTp3 f, const WTp3 centre) {
  if (!geometry || !f || !centre || !_WTgeometry_modifiable(geometry)) return;
  if (f[0] == 1.0f && f[1] == 1.0f && f[2] == 1.0f) return;
  if (!(f[0] > 0 && f[1] > 0 && f[2] > 0)) return;
  if (f[0] == f[1] && f[1] == f[2]) {
    WTgeometry_scale(geometry, f[0], centre);
    return;
  }
  for (WTvertex *v = geometry->vertices; v; v = v->next) {
    for (int i = 0; i < 3; i++) v->position[i] = centre[i] + (v->position[i] - centre[i]) * f[i];
    if (!v->normal) continue;
    float *n = v->normal;
    float len = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (len == 0) continue;
    for (int i = 0; i < 3; i++) n[i] /= f[i];
    float l2 = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int i = 0; i < 3; i++) n[i] *= len / l2;
  }
  restatall(geometry);
  refreshextents(geometry);
}

void WTgeometry_translate(WTgeometry *geometry, const WTp3 offset) {
  if (!geometry || !offset || !_WTgeometry_modifiable(geometry)) return;
  if (offset[0] == 0 && offset[1] == 0 && offset[2] == 0) return;
  for (WTvertex *v : {geometry->vertices, geometry->vcopy})
    for (; v; v = v->next)
      for (int i = 0; i < 3; i++) v->position[i] += offset[i];
  restatall(geometry);
  for (int i = 0; i < 3; i++) geometry->mid[i] += offset[i];
  refreshextents(geometry);
}

void WTgeometry_transform(WTgeometry *geometry, const WTpq *pose) {
  if (!geometry || !pose || !_WTgeometry_modifiable(geometry)) return;
  if (pose->p[0] == 0 && pose->p[1] == 0 && pose->p[2] == 0 && pose->q[0] == 0 &&
      pose->q[1] == 0 && pose->q[2] == 0 && pose->q[3] == 1.0f)
    return;
  WTm4 m;
  _WTpq_2m4(pose, m);
  for (WTvertex *v : {geometry->vertices, geometry->vcopy})
    for (; v; v = v->next) {
      _WTp3_xformm4(v->position, m, v->position);
      // Normals turn with the geometry so that lighting follows it.
      if (v->normal) _WTp3_rotatem4(v->normal, m, v->normal);
    }
  restatall(geometry);
  for (int i = 0; i < 3; i++) geometry->mid[i] += pose->p[i];
  refreshextents(geometry);
}

WTpoly *WTgeometry_merge(WTgeometry *target, WTgeometry *source) {
  if (!target || !source) return nullptr;
  if (target == source) return target->polys;
  const WTp3 centre = {0, 0, 0};
  const WTpq pose = {{0, 0, 0}, {0, 0, 0, 1}};
  return _WTgeometry_mergepq(target, source, centre, &pose, 0, 0);
}

WTpoly *_WTgeometry_mergepq(WTgeometry *target, WTgeometry *source, const WTp3 centre,
                            const WTpq *pose, int fixedid, int matid) {
  if (!target || !source || !centre || !pose || !_WTgeometry_modifiable(target)) return nullptr;
  IdMap ids = mergetables(target, source, fixedid, matid);
  WTvertex *copies = _WTvertex_copylist(source->vertices);
  WTvertex *twins = _WTvertex_copylist(source->vcopy);
  if (!identitypose(centre, pose)) placecopies(copies, twins, centre, pose);
  for (WTvertex *v : {copies, twins})
    for (; v; v = v->next) v->matid = ids.apply(v->matid);
  WTpoly *polys = _WTpoly_listcopy(source->polys, source->vertices, copies, target, nullptr, 0, 0, 1);
  for (WTpoly *p = polys; p; p = p->next) p->matid = ids.apply(p->matid);
  appendchain(&target->vertices, copies);
  target->vtail = lastof(target->vertices);
  appendchain(&target->vcopy, twins);
  if (WTpoly *last = target->polys) {
    while (last->next) last = last->next;
    last->next = polys;
  } else {
    target->polys = polys;
  }
  target->npolys += source->npolys;
  target->editopen = 1;
  target->vchanged = 1;
  WTgeometry_endedit(target);
  WTgeometry_recomputestats(target, 0);
  return polys;
}

WTgeometry *_WTgeometry_copyplist(WTgeometry *geometry, WTpolylist *list) {
  if (!geometry) return nullptr;
  WTgeometry *c = _WTgeometry_new(nullptr);
  _WTmtable_attach(c, geometry->mtable);
  c->vertices = _WTvertex_copylist(geometry->vertices);
  c->vcopy = _WTvertex_copylist(geometry->vcopy);
  c->vtail = lastof(c->vertices);
  c->polys = _WTpoly_listcopy(geometry->polys, geometry->vertices, c->vertices, c, list, 0, 0, 1);
  c->npolys = WTpolylist_npolys(list);
  if (geometry->name) c->name = _WTmem_strdup(geometry->name);
  WTgeometry_recomputestats(c, 1);
  return c;
}

void _WTgeometry_interpolate(WTgeometry *from, WTgeometry *to, WTgeometry *target, float t) {
  if (!from || !to || !target || !WTgeometry_beginedit(target)) return;
  WTvertex *a = from->vertices, *b = to->vertices, *c = target->vertices;
  for (; a && b && c; a = a->next, b = b->next, c = c->next) {
    WTp3 p, n, na = {0, 0, 0}, nb = {0, 0, 0};
    for (int i = 0; i < 3; i++) p[i] = a->position[i] + (b->position[i] - a->position[i]) * t;
    WTgeometry_setvertexposition(target, c, p);
    if (a->normal) memcpy(na, a->normal, sizeof(WTp3));
    if (b->normal) memcpy(nb, b->normal, sizeof(WTp3));
    for (int i = 0; i < 3; i++) n[i] = na[i] + (nb[i] - na[i]) * t;
    _WTvertex_setnormal(c, n);
  }
  WTgeometry_endedit(target);
}

// ---- Collapsing a vertex -----------------------------------------------------------------

WTvertexlist *_WTvertexlist_ring(WTpolylist *star, WTvertex *vertex) {
  int expected = 0;
  std::vector<Edge> edges = ringedges(star, vertex, &expected);
  if (edges.empty() || int(edges.size()) != expected) return nullptr;
  std::vector<WTvertex *> path = {edges[0].a, edges[0].b}; // low end first
  edges[0].used = true;
  size_t used = 1;
  for (bool grew = true; grew && !(path.size() > 2 && path.front() == path.back());) {
    grew = false;
    for (Edge &e : edges) {
      if (e.used) continue;
      if (e.b == path.front()) path.insert(path.begin(), e.a);
      else if (e.a == path.back()) path.push_back(e.b);
      else if (e.b == path.back()) path.push_back(e.a);
      else if (e.a == path.front()) path.insert(path.begin(), e.b);
      else continue;
      e.used = grew = true;
      used++;
      break;
    }
  }
  if (used != edges.size()) {
    _WTmsg_warning("Singular Vertex - Unable to colapse\n");
    return nullptr;
  }
  WTvertexlist *ring = nullptr; // from the high end to the low end
  for (WTvertex *v : path) ring = _WTvertexlist_add(ring, v);
  return ring;
}

int _WTvertexlist_bestsplit(WTvertexlist *ring, const WTp3 normal, int *bi, int *bj) {
  struct Point {
    WTp3 x;
    float operator[](int i) const { return x[i]; }
  };
  std::vector<Point> p;
  for (WTvertexlist *c = ring; c; c = c->next) {
    p.emplace_back();
    WTvertex_getposition(c->vertex, p.back().x);
  }
  int n = int(p.size());
  double best = 0;
  for (int i = 0; i <= n - 3; i++)
    for (int j = i + 2; j <= (i == 0 ? n - 2 : n - 1); j++) {
      double d[3], cr[3];
      for (int k = 0; k < 3; k++) d[k] = p[size_t(j)][k] - p[size_t(i)][k];
      double l = sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      if (l == 0) return 0;
      cr[0] = d[1] * normal[2] - d[2] * normal[1];
      cr[1] = d[2] * normal[0] - d[0] * normal[2];
      cr[2] = d[0] * normal[1] - d[1] * normal[0];
      if (sqrt(cr[0] * cr[0] + cr[1] * cr[1] + cr[2] * cr[2]) / l < 0.01) continue;
      double ref = 0, m = 1e300;
      bool ok = true;
      for (int k = (i + 1) % n; k != i && ok; k = (k + 1) % n) {
        if (k == j) continue;
        double s = 0;
        for (int a = 0; a < 3; a++) s += (p[size_t(k)][a] - p[size_t(i)][a]) * cr[a];
        if (k == (i + 1) % n) ref = s;
        bool between = k > i && k < j;
        if (between ? !(s * ref > 0) : !(s * ref <= 0)) ok = false;
        m = fmin(m, fabs(s));
      }
      if (ok && m / l > best) {
        best = m / l;
        *bi = i;
        *bj = j;
      }
    }
  return best > 0;
}

int _WTvertexlist_triangulate(WTvertexlist *ring, const WTp3 normal, WTvertex ***out, int *count) {
  int n = _WTvertexlist_count(ring);
  if (n < 3) return 0;
  auto push = [&](WTvertex *a, WTvertex *b, WTvertex *c) {
    *out = static_cast<WTvertex **>(_WTmem_realloc(*out, sizeof(WTvertex *) * size_t(3 * (*count + 1))));
    (*out)[3 * *count] = a;
    (*out)[3 * *count + 1] = b;
    (*out)[3 * *count + 2] = c;
    (*count)++;
  };
  if (n == 3) {
    push(ring->vertex, ring->next->vertex, ring->next->next->vertex);
    return 1;
  }
  int i = 0, j = 0;
  if (!_WTvertexlist_bestsplit(ring, normal, &i, &j)) return 0;
  // Each half runs from one end of the diagonal to the other, built by pushing at the front.
  WTvertexlist *halves[2] = {nullptr, nullptr};
  for (int k = i;; k = (k + 1) % n) {
    halves[0] = _WTvertexlist_add(halves[0], _WTvertexlist_nth(ring, k)->vertex);
    if (k == j) break;
  }
  for (int k = j;; k = (k + 1) % n) {
    halves[1] = _WTvertexlist_add(halves[1], _WTvertexlist_nth(ring, k)->vertex);
    if (k == i) break;
  }
  bool ok = _WTvertexlist_triangulate(halves[0], normal, out, count) &&
            _WTvertexlist_triangulate(halves[1], normal, out, count);
  _WTvertexlist_delete(halves[0]);
  _WTvertexlist_delete(halves[1]);
  return ok;
}

int WTgeometry_colapsevertex(WTgeometry *geometry, WTvertex *vertex, float tolerance) {
  if (!geometry || !vertex) return 0;
  WTpolylist *star = _WTgeometry_getvertexstar(geometry, vertex);
  WTvertexlist *ring = star->poly ? _WTvertexlist_ring(star, vertex) : nullptr;
  int n = _WTvertexlist_count(ring);
  bool done = false, ok = false;
  if (n > 1 && _WTvertexlist_nth(ring, 0)->vertex != _WTvertexlist_nth(ring, n - 1)->vertex) {
    WTp3 a, b, d;
    WTvertex_getposition(_WTvertexlist_nth(ring, 0)->vertex, a);
    WTvertex_getposition(_WTvertexlist_nth(ring, n - 1)->vertex, b);
    float l = _WTp3_distance(a, b);
    for (int i = 0; i < 3; i++) d[i] = l > 0 ? (b[i] - a[i]) / l : b[i] - a[i];
    float far = 0;
    for (int k = 1; k < n - 1; k++) {
      WTp3 p;
      WTvertex_getposition(_WTvertexlist_nth(ring, k)->vertex, p);
      far = fmaxf(far, _WTp3_linedistance(p, a, d));
    }
    if (far < tolerance) {
      for (WTpolylist *s = star; s; s = s->next) WTpoly_delete(s->poly);
      done = ok = true;
    }
  } else if (n > 1) {
    WTvertexlist *last = _WTvertexlist_nth(ring, n - 2);
    _WTvertexlist_delete(last->next);
    last->next = nullptr;
    n--;
  }
  if (!done && n > 1) {
    WTp3 normal;
    _WTpolylist_getnormal(star, normal);
    WTvertex **tris = nullptr;
    int count = 0;
    if (_WTvertexlist_triangulate(ring, normal, &tris, &count)) {
      for (WTpolylist *s = star; s; s = s->next) WTpoly_delete(s->poly);
      WTgeometry_beginedit(geometry);
      for (int t = 0; t < count; t++) {
        WTpoly *p = WTgeometry_beginpoly(geometry);
        for (int k = 0; k < 3; k++) WTpoly_addvertexptr(p, tris[3 * t + k]);
        if (WTpoly_close(p)) WTpoly_setbothsides(p, 1);
        else _WTpoly_cancel(p);
      }
      ring->vertex->flags |= WTV_MOVED;
      WTgeometry_endedit(geometry);
      WTgeometry_recomputestats(geometry, 1);
      ok = true;
    }
    _WTmem_free(tris);
  }
  _WTvertexlist_delete(ring);
  WTpolylist_delete(star);
  return ok ? 1 : 0;
}

// ---- Outline boxes ---------------------------------------------------------------------

int _WTgeometry_outlinequad(const WTp3 c[8], int edge, float w, WTp3 pts[4]) {
  static const int edges[12][2] = {{0, 1}, {1, 5}, {5, 4}, {4, 0}, {2, 3}, {3, 7},
                                   {7, 6}, {6, 2}, {1, 3}, {0, 2}, {5, 7}, {4, 6}};
  const int *e = edges[edge];
  const float *A = c[e[0]], *B = c[e[1]];
  WTp3 ab = {B[0] - A[0], B[1] - A[1], B[2] - A[2]};
  if (fabsf(ab[0]) < 0.004f && fabsf(ab[1]) < 0.004f && fabsf(ab[2]) < 0.004f) return 0;
  const float *far[2];
  int found = 0;
  for (const auto &o : edges) {
    if (o == e || found == 2) continue;
    if (o[0] == e[0]) far[found++] = c[o[1]];
    else if (o[1] == e[0]) far[found++] = c[o[0]];
  }
  WTp3 u1 = {far[0][0] - A[0], far[0][1] - A[1], far[0][2] - A[2]};
  WTp3 u2 = {far[1][0] - A[0], far[1][1] - A[1], far[1][2] - A[2]};
  WTp3 zero = {0, 0, 0};
  float l1 = _WTp3_distance(u1, zero), l2 = _WTp3_distance(u2, zero);
  if (l1 < 0.004f && l2 < 0.004f) return 0;
  if (l1 >= 0.004f)
    for (float &x : u1) x *= l2 / l1;
  WTp3 mid = {(u1[0] + u2[0]) / 2, (u1[1] + u2[1]) / 2, (u1[2] + u2[2]) / 2}, d;
  _WTp3_cross(mid, ab, d);
  float ld = _WTp3_distance(d, zero);
  if (ld >= 0.004f)
    for (float &x : d) x *= 0.5f * w / ld;
  float lab = _WTp3_distance(ab, zero), s = 0.35355338f * w / lab;
  for (int i = 0; i < 3; i++) {
    float a2 = A[i] + ab[i] * s, b2 = B[i] - ab[i] * s;
    pts[0][i] = a2 + d[i];
    pts[1][i] = b2 + d[i];
    pts[2][i] = b2 - d[i];
    pts[3][i] = a2 - d[i];
  }
  return 1;
}

WTgeometry *_WTgeometry_boundboxfromextents(const WTp3 a, const WTp3 b, float w) {
  WTp3 c[8];
  for (int k = 0; k < 8; k++) {
    c[k][0] = (k & 4) ? b[0] : a[0];
    c[k][1] = (k & 2) ? b[1] : a[1];
    c[k][2] = (k & 1) ? b[2] : a[2];
  }
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  for (int e = 0; e < 12; e++) {
    WTp3 pts[4];
    if (_WTgeometry_outlinequad(c, e, w, pts)) _WTgeometry_newpolyfrompoints(g, pts, 4, 1);
  }
  if (!WTgeometry_close(g)) return nullptr;
  const WTp3 origin = {0, 0, 0};
  WTgeometry_scale(g, 1.01f, origin);
  return g;
}

WTgeometry *_WTgeometry_boundboxfromgeometry(WTgeometry *geometry, float width) {
  if (!geometry) return nullptr;
  WTp3 lo, hi;
  _WTgeometry_findextents(geometry, lo, hi);
  return _WTgeometry_boundboxfromextents(lo, hi, width);
}

// ---- Whole-geometry attributes -------------------------------------------------------------

int WTgeometry_setrenderingstyle(WTgeometry *geometry, int style, int mode) {
  if (!geometry || !_WTgeometry_modifiable(geometry)) return 0;
  uint8_t &mask = geometry->stylemask, &value = geometry->stylevalue;
  if (style == 255) {
    if (mode != 64) return 0;
    mask = value = 0;
    return 1;
  }
  if (mode != 0 && mode != 1 && mode != 64) return 0;
  bool inverted = style == 0;
  uint8_t bits = static_cast<uint8_t>(inverted ? 13 : style);
  if (mode == 64) {
    mask &= static_cast<uint8_t>(~bits);
    value &= static_cast<uint8_t>(~bits);
    return 1;
  }
  mask |= bits;
  bool on = (mode == 1) != inverted;
  if (on) value |= bits;
  else value &= static_cast<uint8_t>(~bits);
  return 1;
}

int WTgeometry_getrenderingstyle(WTgeometry *geometry) {
  if (!geometry) return -1;
  int style = (_WTuniverse_getrendering() & ~geometry->stylemask) |
              (geometry->stylemask & geometry->stylevalue);
  return (style & 128) ? 128 : style;
}

int WTgeometry_setmatid(WTgeometry *geometry, int id) {
  if (!geometry || id < 0 || !_WTgeometry_modifiable(geometry)) return 0;
  for (WTpoly *p = geometry->polys; p; p = p->next) p->matid = id;
  return 1;
}

void WTgeometry_setrgb(WTgeometry *geometry, unsigned char r, unsigned char g, unsigned char b) {
  if (!geometry || !_WTgeometry_modifiable(geometry) || !geometry->mtable) return;
  int id = _WTmtable_getrgbid(geometry->mtable, r, g, b);
  if (id < 0) return;
  for (WTpoly *p = geometry->polys; p; p = p->next) p->matid = id;
  _WTuniverse_scenechanged();
}

void WTgeometry_setmtable(WTgeometry *geometry, WTmtable *table) {
  if (geometry && _WTgeometry_modifiable(geometry)) _WTmtable_attach(geometry, table);
}

// ---- Files ---------------------------------------------------------------------------------

WTgeomlist *_WTgeometry_load(FILE *stream, const char *name, int type, WTpq *pose,
                             float argument, int flag) {
  if (!stream || !name) return nullptr;
  if (pose) *pose = {{0, 0, 0}, {0, 0, 0, 1}};
  WTgeomlist *list = nullptr;
  const WTfilekind *kind = _WTfiletable_kind(type);
  if (kind->readgeometries)
    list = kind->readgeometries(stream, name, pose, argument, flag);
  else
    _WTmsg_warning("Unknown file type: %d of file %s\n", type, name);
  fclose(stream);
  return list;
}

// The viewpoint, when given, is a pose (position and orientation) written into an NFF header.
int WTgeometry_save(WTgeometry *geometry, const char *path, void *viewpoint, int type) {
  const WTfilekind *kind = _WTfiletable_kind(type);
  if (!geometry || !path || !kind->writegeometry) return 0;
  FILE *f = _WTfile_open(path, type == WTFILE_BFF ? "wb" : "w");
  if (!f) return 0;
  int ok = kind->writegeometry(f, geometry, static_cast<WTpq *>(viewpoint));
  return fclose(f) == 0 ? ok : 0;
}
}
