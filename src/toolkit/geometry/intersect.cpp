// Polygon intersection: two convex polygons placed by poses meet when an edge of either pierces
// the other.  Node-path and object-layer forms place their polygons first.
#include <math.h>
#include <string.h>

#include <initializer_list>

#include "toolkit/core/node.h"
#include "toolkit/core/nodepath.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/intersect.h"
#include "toolkit/geometry/objects.h"

namespace {

const float kTiny = 0.004f;
typedef float M4[4][4];

float dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void sub(const float *a, const float *b, float *out) {
  for (int i = 0; i < 3; i++) out[i] = a[i] - b[i];
}

void cross(const float *a, const float *b, float *out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

bool coincide(const float *a, const float *b) {
  return fabsf(a[0] - b[0]) < kTiny && fabsf(a[1] - b[1]) < kTiny && fabsf(a[2] - b[2]) < kTiny;
}

// Scratch points that grow to the largest polygon met and are kept.
struct Points {
  WTp3 *p = nullptr;
  int capacity = 0;
  int n = 0;
  void reserve(int count) {
    if (count <= capacity) return;
    p = static_cast<WTp3 *>(_WTmem_realloc(p, sizeof(WTp3) * static_cast<size_t>(count)));
    capacity = count;
  }
};
Points scratcha, scratchb;
float *distances;
int ndistances;

// A polygon in world terms: its points, centre and normal.
struct Placed {
  Points *points;
  WTp3 centre, normal;
  float radius;
};

// The first polygon of an object-layer query, placed once for every candidate.
struct Cache {
  Points points;
  Placed placed;
  WTpoly *poly = nullptr;
} cache;

void placebypose(WTpoly *p, const float *pos, const float *q, Points *out, Placed *placed) {
  out->reserve(p->nverts > 0 ? p->nverts : 1);
  out->n = 0;
  for (WTvertexlink *l = p->links; l && out->n < out->capacity; l = l->next) {
    _WTq_rotatepoint(l->vertex->position, q, out->p[out->n]);
    for (int i = 0; i < 3; i++) out->p[out->n][i] += pos[i];
    out->n++;
  }
  placed->points = out;
  _WTq_rotatepoint(p->centre, q, placed->centre);
  for (int i = 0; i < 3; i++) placed->centre[i] += pos[i];
  _WTq_rotatepoint(p->normal, q, placed->normal);
  placed->radius = p->radius;
}

// True when X lies within every edge of the convex ring (edges shorter than the tolerance do not
// count).
bool within(const Points &b, const float *normal, const float *x) {
  for (int k = 0; k < b.n; k++) {
    const float *bk = b.p[k], *bl = b.p[(k + 1) % b.n];
    float toend[3], edge[3], c[3];
    sub(bl, x, toend);
    sub(bl, bk, edge);
    cross(toend, edge, c);
    if (_WTp3_approxlength(c) >= kTiny && dot(c, normal) < 0.0f) return false;
  }
  return true;
}

// Signed distances of A's points to B's plane; false when they all lie on one side.
bool straddles(const Points &a, const float *bpoint, const float *normal) {
  if (ndistances < a.n) {
    distances = static_cast<float *>(_WTmem_realloc(distances, sizeof(float) * size_t(a.n)));
    ndistances = a.n;
  }
  float k = dot(normal, bpoint);
  bool allabove = true, allbelow = true;
  for (int i = 0; i < a.n; i++) {
    distances[i] = dot(normal, a.p[i]) - k;
    allabove = allabove && distances[i] >= 0.0f;
    allbelow = allbelow && distances[i] < 0.0f;
  }
  return !allabove && !allbelow;
}

bool pierces(const Points &a, const Points &b, const float *normal) {
  if (a.n < 1 || b.n < 1 || !straddles(a, b.p[0], normal)) return false;
  for (int i = 0; i < a.n; i++) {
    int j = (i + 1) % a.n;
    const float *ai = a.p[i], *aj = a.p[j];
    float di = distances[i], dj = distances[j];
    if (coincide(ai, aj) || (di > 0 && dj > 0) || (di < 0 && dj < 0) || fabsf(di - dj) < kTiny)
      continue;
    float t = di / (di - dj), x[3];
    for (int c = 0; c < 3; c++) x[c] = ai[c] + (aj[c] - ai[c]) * t;
    if (within(b, normal, x)) return true;
  }
  return false;
}

bool spheresapart(const Placed &a, const Placed &b) {
  float d[3];
  sub(a.centre, b.centre, d);
  float r = a.radius + b.radius;
  return r * r < dot(d, d);
}

bool placedmeet(const Placed &a, const Placed &b) {
  if (spheresapart(a, b)) return false;
  return pierces(*a.points, *b.points, b.normal) || pierces(*b.points, *a.points, a.normal);
}

// ---- Geometries under a node ---------------------------------------------------------------

struct Pose {
  WTp3 p;
  WTq q;
};

Pose poseof(const M4 m) {
  WTpq pq;
  WTm4_2pq(m, &pq);
  Pose pose;
  memcpy(pose.p, pq.p, sizeof pose.p);
  memcpy(pose.q, pq.q, sizeof pose.q);
  return pose;
}

// Calls fn for each geometry below the node with its world matrix, children chosen as drawing
// chooses them, until fn returns true.
template <typename Fn>
bool eachgeometry(WTnode *n, M4 m, Fn &fn);

template <typename Fn>
bool eachchild(WTnodelink *l, M4 m, Fn &fn) {
  for (; l; l = l->nextsibling)
    if (l->child && eachgeometry(l->child, m, fn)) return true;
  return false;
}

template <typename Fn>
bool eachgeometry(WTnode *n, M4 m, Fn &fn) {
  if (!(n->flags & WTNF_ENABLED)) return false;
  int kind = 0;
  switch (n->kind) {
    case WTNODE_GEOMETRY: return n->u.geometry && fn(n->u.geometry, m);
    case WTNODE_XFORM: _WTnode_composexform(n, m, &kind); return false;
    case WTNODE_GROUP: case WTNODE_ANCHOR: case WTNODE_INLINE: case WTNODE_ROOT:
      return eachchild(n->firstchild, m, fn);
    case WTNODE_SEP: case WTNODE_XFORMSEP: {
      M4 inner;
      memcpy(inner, m, sizeof inner);
      return eachchild(n->firstchild, inner, fn);
    }
    case WTNODE_SWITCH: {
      WTnodelink *l = _WTswitchnode_getactivechild(n);
      if (!l) return false;
      if (n->u.whichchild == -3) return eachchild(l, m, fn);
      return eachgeometry(l->child, m, fn);
    }
    case WTNODE_LOD:  // the most detailed child stands for the node
      return n->firstchild && n->firstchild->child && eachgeometry(n->firstchild->child, m, fn);
    case WTNODE_OBJECT: {
      WTobject *o = n->u.obj.object;
      WTgeometry *g = o ? _WTobject_getgeometry(o) : nullptr;
      if (!g) return false;
      M4 own, world;
      _WTobject_getmatrix(o, own);
      _WTm4_affine(own, m, world);
      return fn(g, world);
    }
    default: return false;
  }
}

bool polyhitsgeometry(WTpoly *poly, const Pose &pp, WTgeometry *g, const Pose &gp) {
  for (WTpoly *q = g->polys; q; q = q->next)
    if (_WTgeometry_intersect(poly, pp.p, pp.q, q, gp.p, gp.q)) return true;
  return false;
}

// ---- Node paths ----------------------------------------------------------------------------

WTnode *target(WTnodepath *path) {
  if (!path || path->count < 1 || !path->links) return nullptr;
  WTnode *n = path->links[path->count - 1]->child;
  if (!n || (n->kind != WTNODE_GEOMETRY && !_WTnode_checkparent(n))) return nullptr;
  return n;
}

bool pathmatrix(WTnodepath *path, M4 m) { return _WTnodepath_gettransformfrom(path, 0, m) != 0; }

// ---- The box test --------------------------------------------------------------------------

struct Box {
  WTp3 c, h;
  WTq q;
  float r;
};

// The target's box in the world: a geometry's or a grouping node's bounds, turned with the path.
bool boxof(WTnode *n, WTnodepath *path, Box *box) {
  const float *mid, *half;
  if (n->kind == WTNODE_GEOMETRY) {
    if (!n->u.geometry) return false;
    mid = n->u.geometry->mid, half = n->u.geometry->half, box->r = n->u.geometry->radius;
  } else {
    _WTnode_refreshbounds(n);
    if (!(n->flags & WTNF_BOUNDSVALID)) return false;
    mid = n->bounds.mid, half = n->bounds.ext, box->r = n->bounds.radius;
  }
  M4 m;
  if (!pathmatrix(path, m)) return false;
  Pose pose = poseof(m);
  _WTq_rotatepoint(mid, pose.q, box->c);
  for (int i = 0; i < 3; i++) box->c[i] += pose.p[i];
  memcpy(box->h, half, sizeof box->h);
  memcpy(box->q, pose.q, sizeof box->q);
  return true;
}

void tobox(const Box &b, const float *world, float *local) {
  WTq conj = {-b.q[0], -b.q[1], -b.q[2], b.q[3]};
  float d[3];
  sub(world, b.c, d);
  _WTq_rotatepoint(d, conj, local);
}

// The vertices decide alone: 1 hit, -1 miss, 0 undecided (local points filled in).
int vertexverdict(const Box &b, const Placed &pl, Points &local) {
  float hmax = fmaxf(b.h[0], fmaxf(b.h[1], b.h[2])), range = 2 * pl.radius + b.r;
  local.reserve(pl.points->n);
  local.n = pl.points->n;
  for (int k = 0; k < local.n; k++) {
    float d[3];
    sub(pl.points->p[k], b.c, d);
    if (_WTp3_approxlength(d) < hmax) return 1;
    if (dot(d, d) > range * range) return -1;
    tobox(b, pl.points->p[k], local.p[k]);
    const float *v = local.p[k];
    if (fabsf(v[0]) < b.h[0] && fabsf(v[1]) < b.h[1] && fabsf(v[2]) < b.h[2]) return 1;
  }
  return 0;
}

bool beyondoneface(const Box &b, const Points &local) {
  for (int i = 0; i < 3; i++) {
    bool above = true, below = true;
    for (int k = 0; k < local.n; k++)
      above = above && local.p[k][i] >= b.h[i], below = below && local.p[k][i] <= -b.h[i];
    if (above || below) return true;
  }
  return false;
}

void corner(const Box &b, int i, float *out) {
  out[0] = (i & 4) ? b.h[0] : -b.h[0];
  out[1] = (i & 2) ? b.h[1] : -b.h[1];
  out[2] = (i & 1) ? b.h[2] : -b.h[2];
}

// Box edges that cut the polygon's plane inside the polygon (all in box terms).
bool boxedgecuts(const Box &b, const Points &local, const float *normal) {
  float k = dot(normal, local.p[0]), v[8];
  bool above = true, below = true;
  for (int i = 0; i < 8; i++) {
    float c[3];
    corner(b, i, c);
    v[i] = dot(normal, c) - k;
    above = above && v[i] > 0.0f, below = below && v[i] <= 0.0f;
  }
  if (above || below) return false;
  for (int i = 0; i < 8; i++)
    for (int bit : {1, 2, 4}) {
      int j = i | bit;
      if (j == i || fabsf(v[i] - v[j]) < kTiny || (v[i] > 0 && v[j] > 0) || (v[i] < 0 && v[j] < 0))
        continue;
      float a[3], e[3], x[3], t = v[i] / (v[i] - v[j]);
      corner(b, i, a), corner(b, j, e);
      for (int c = 0; c < 3; c++) x[c] = a[c] + (e[c] - a[c]) * t;
      if (within(local, normal, x)) return true;
    }
  return false;
}

// Polygon edges that pass through a face of the box.
bool polyedgecrosses(const Box &b, const Points &local) {
  for (int k = 0; k < local.n; k++) {
    const float *a = local.p[k], *e = local.p[(k + 1) % local.n];
    for (int i = 0; i < 3; i++)
      for (float face : {-b.h[i], b.h[i]}) {
        if ((a[i] - face) * (e[i] - face) >= 0.0f) continue;
        float t = (face - a[i]) / (e[i] - a[i]);
        int j = (i + 1) % 3, m = (i + 2) % 3;
        if (fabsf(a[j] + t * (e[j] - a[j])) <= b.h[j] && fabsf(a[m] + t * (e[m] - a[m])) <= b.h[m])
          return true;
      }
  }
  return false;
}

// ---- Object layer --------------------------------------------------------------------------

WTobject *ownerof(WTpoly *p) {
  return (p->flags & WTP_FOLLOWOBJECT) && p->geometry ? p->geometry->object : nullptr;
}

void placeposed(WTpoly *p, Points *out, Placed *placed) {
  WTobject *o = ownerof(p);
  bool move = o && !_WTobject_atreference(o);
  out->reserve(p->nverts > 0 ? p->nverts : 1);
  out->n = 0;
  for (WTvertexlink *l = p->links; l && out->n < out->capacity; l = l->next, out->n++) {
    if (move)
      _WTobject_vertexworld(o, l->vertex->position, out->p[out->n]);
    else
      memcpy(out->p[out->n], l->vertex->position, sizeof(WTp3));
  }
  placed->points = out;
  placed->radius = p->radius;
  memcpy(placed->centre, p->centre, sizeof(WTp3));
  memcpy(placed->normal, p->normal, sizeof(WTp3));
  if (!move) return;
  _WTobject_vertexworld(o, p->centre, placed->centre);
  WTq r;
  _WTq_conjmultiply(o->ref.q, o->pose.q, r);
  _WTq_rotatepoint(p->normal, r, placed->normal);
}

bool posedmeet(WTpoly *a, WTpoly *b) {
  if (!a || !b || a == b) return false;
  Placed pa, pb;
  if (cache.poly == a)
    pa = cache.placed;
  else
    placeposed(a, &scratcha, &pa);
  placeposed(b, &scratchb, &pb);
  return placedmeet(pa, pb);
}

WTpolylist *collect(WTpoly *poly, WTobject *object, int maximum) {
  placeposed(poly, &cache.points, &cache.placed);
  cache.poly = poly;
  if (object) {
    float d[3];
    sub(cache.placed.centre, object->handleset ? object->origin : object->pose.p, d);
    float r = poly->radius + object->radius;
    if (dot(d, d) > r * r) return nullptr;
  }
  WTobject **scene = _WTuniverse_rootobjectslot();
  WTobject *from = object ? object : (scene ? *scene : nullptr);
  WTgeometry *g = from ? _WTobject_getgeometry(from) : nullptr;
  WTpolylist *hits = nullptr;
  int count = 0;
  for (WTpoly *q = g ? g->polys : nullptr; q && count < maximum; q = q->next)
    if (posedmeet(poly, q)) hits = WTpolylist_addpoly(hits, q), count++;
  return hits;
}

bool objectrefuses(WTpoly *poly, WTobject *object, int maximum) {
  return maximum < 1 || !poly || !object || (poly->geometry && poly->geometry->object == object) ||
         (object->flags & (WTO_DELETED | WTO_REMOVALSEEN));
}

bool hitsone(WTpolylist *list) {
  WTpolylist_delete(list);
  return list != nullptr;
}

}  // namespace

extern "C" {

int _WTpoly_pierces(const WTp3 *a, const WTp3 *b, const WTp3 normal, int na, int nb) {
  if (!a || !b || !normal || na < 1 || nb < 1) return 0;
  Points pa, pb;
  pa.p = const_cast<WTp3 *>(a), pa.n = na;
  pb.p = const_cast<WTp3 *>(b), pb.n = nb;
  return pierces(pa, pb, normal) ? 1 : 0;
}

int _WTgeometry_intersect(WTpoly *a, const WTp3 pa, const WTq qa, WTpoly *b, const WTp3 pb,
                          const WTq qb) {
  if (!a || !b || !pa || !qa || !pb || !qb) return 0;
  Placed A, B;
  WTp3 ca, cb;
  _WTq_rotatepoint(a->centre, qa, ca);
  _WTq_rotatepoint(b->centre, qb, cb);
  float d[3] = {ca[0] + pa[0] - cb[0] - pb[0], ca[1] + pa[1] - cb[1] - pb[1],
                ca[2] + pa[2] - cb[2] - pb[2]};
  float r = a->radius + b->radius;
  if (r * r < dot(d, d)) return 0;  // apart: no vertex is placed
  placebypose(a, pa, qa, &scratcha, &A);
  placebypose(b, pb, qb, &scratchb, &B);
  return pierces(scratcha, scratchb, B.normal) || pierces(scratchb, scratcha, A.normal) ? 1 : 0;
}

int _WTnode_intersectgeom(WTpoly *poly, const WTp3 p, const WTq q, WTnode *node, const WTm4 m,
                          WTnodestate *) {
  if (!poly || !p || !q || !node || !m) return 0;
  Pose pp;
  memcpy(pp.p, p, sizeof pp.p);
  memcpy(pp.q, q, sizeof pp.q);
  auto test = [&](WTgeometry *g, const M4 gm) { return polyhitsgeometry(poly, pp, g, poseof(gm)); };
  M4 start;
  memcpy(start, m, sizeof start);
  return eachgeometry(node, start, test) ? 1 : 0;
}

int _WTnode_intersectgeoms(WTnode *a, const WTm4 ma, WTnode *b, const WTm4 mb, WTnodestate *) {
  if (!a || !b || !ma || !mb) return 0;
  auto outer = [&](WTgeometry *ga, const M4 gm) {
    Pose pose = poseof(gm);
    for (WTpoly *p = ga->polys; p; p = p->next)
      if (_WTnode_intersectgeom(p, pose.p, pose.q, b, mb, nullptr)) return true;
    return false;
  };
  M4 start;
  memcpy(start, ma, sizeof start);
  return eachgeometry(a, start, outer) ? 1 : 0;
}

int _WTnodepath_intersectpolys(WTpoly *a, WTnodepath *pa, WTpoly *b, WTnodepath *pb) {
  if (!a || !pa || !b || !pb || (a == b && pa == pb)) return 0;
  M4 ma, mb;
  if (!pathmatrix(pa, ma) || !pathmatrix(pb, mb)) return 0;
  Pose A = poseof(ma), B = poseof(mb);
  return _WTgeometry_intersect(a, A.p, A.q, b, B.p, B.q);
}

int _WTnodepath_intersectpolynode(WTpoly *poly, WTnodepath *path, WTnodepath *targetpath) {
  WTnode *t = target(targetpath);
  M4 mp, mt;
  if (!poly || !t || !pathmatrix(path, mp) || !pathmatrix(targetpath, mt)) return 0;
  Pose pp = poseof(mp);
  if (t->kind == WTNODE_GEOMETRY) return polyhitsgeometry(poly, pp, t->u.geometry, poseof(mt));
  return _WTnode_intersectgeom(poly, pp.p, pp.q, t, mt, nullptr);
}

int _WTnodepath_intersectnodes(WTnodepath *p1, WTnodepath *p2) {
  WTnode *a = target(p1), *b = target(p2);
  M4 ma, mb;
  if (!a || !b || !pathmatrix(p1, ma) || !pathmatrix(p2, mb)) return 0;
  if (a->kind != WTNODE_GEOMETRY && b->kind != WTNODE_GEOMETRY)
    return _WTnode_intersectgeoms(a, ma, b, mb, nullptr);
  if (a->kind != WTNODE_GEOMETRY) return _WTnodepath_intersectnodes(p2, p1);
  Pose pa = poseof(ma);
  for (WTpoly *p = a->u.geometry ? a->u.geometry->polys : nullptr; p; p = p->next) {
    if (b->kind == WTNODE_GEOMETRY ? polyhitsgeometry(p, pa, b->u.geometry, poseof(mb))
                                   : _WTnode_intersectgeom(p, pa.p, pa.q, b, mb, nullptr))
      return 1;
  }
  return 0;
}

int _WTnodepath_intersectpolybox(WTpoly *poly, WTnodepath *path, WTnodepath *targetpath) {
  WTnode *t = target(targetpath);
  Box box;
  M4 mp;
  if (!poly || !t || !pathmatrix(path, mp) || !boxof(t, targetpath, &box)) return 0;
  Pose pp = poseof(mp);
  Placed pl;
  placebypose(poly, pp.p, pp.q, &scratcha, &pl);
  int verdict = vertexverdict(box, pl, scratchb);
  if (verdict) return verdict > 0 ? 1 : 0;
  if (beyondoneface(box, scratchb)) return 0;
  WTq conj = {-box.q[0], -box.q[1], -box.q[2], box.q[3]};
  WTp3 normal;
  _WTq_rotatepoint(pl.normal, conj, normal);
  return boxedgecuts(box, scratchb, normal) || polyedgecrosses(box, scratchb) ? 1 : 0;
}

int _WTpoly_intersectpoly(WTpoly *a, WTpoly *b) {
  cache.poly = nullptr;
  return posedmeet(a, b) ? 1 : 0;
}

WTpolylist *_WTpoly_intersectobject(WTpoly *poly, WTobject *object, int maximum) {
  if (objectrefuses(poly, object, maximum)) return nullptr;
  return collect(poly, object, maximum);
}

int _WTpoly_hitsobject(WTpoly *poly, WTobject *object) {
  if (objectrefuses(poly, object, 1)) return 0;
  return hitsone(collect(poly, object, 1)) ? 1 : 0;
}

WTpolylist *_WTpoly_intersectscene(WTpoly *poly, int maximum) {
  if (maximum < 1 || !poly || !ownerof(poly)) return nullptr;
  return collect(poly, nullptr, maximum);
}

int _WTpoly_hitsscene(WTpoly *poly) {
  if (!poly || !ownerof(poly)) return 0;
  return hitsone(collect(poly, nullptr, 1)) ? 1 : 0;
}
}
