// Ray casts through the scene graph: the nearest polygon a ray meets, found depth first with the
// ray carried into each transform's frame, subtrees pruned by their bounding spheres.  The walk
// chooses level-of-detail and switch children as drawing does.
#include <math.h>
#include <string.h>

#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/core/nodepath.h"
#include "toolkit/core/walkstack.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/geometry/raycast.h"

namespace {

typedef float M4[4][4];

// The ray in one frame: origin, the inverse squared length of the direction, direction.
struct Frame {
  float o[3];
  float s;
  float d[3];
};

// The one ray of the program: casts do not nest.
struct Ray {
  float worldo[3], worldd[3];
  float hito[3], hitd[3];
  float nearlimit;
  float nearest;
  WTpoly *poly;
  float scale = 1.0f;  // the inverse squared length of the frame under test
};
Ray ray;

// The walk's record; its vectors keep their capacity from cast to cast.
struct Cast {
  std::vector<Frame> frames;
  std::vector<size_t> levels;  // frame count to return to per open level
  std::vector<WTnodelink *> path;
  int depth;
  std::vector<WTnodelink *> hit;
};
Cast cast;

// Markers pushed on the walk stack beside nodes and link cells.
const unsigned char leavedepth = 200, leavelevel = 201;

typedef WTwalkstack<const void *, 128> Stack;

float dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void sub(const float *a, const float *b, float *out) {
  for (int i = 0; i < 3; i++) out[i] = a[i] - b[i];
}

void cross(const float *a, const float *b, float *out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

Frame &current() { return cast.frames.back(); }

// ---- Single polygons ---------------------------------------------------------------------

struct Plane {
  float n[3];
  float s;  // distance of the origin above the side hit
  float e[3];  // origin - centre
};

// The side of the polygon the origin is on; false when a one-sided polygon faces away.
bool facing(WTpoly *p, const float *o, Plane *pl) {
  sub(o, p->centre, pl->e);
  pl->s = dot(pl->e, p->normal);
  memcpy(pl->n, p->normal, sizeof pl->n);
  if (pl->s >= 0.0f) return true;
  if (!(p->flags & WTP_TWOSIDED)) return false;
  for (float &c : pl->n) c = -c;
  pl->s = -pl->s;
  return true;
}

bool spheremisses(const float *e, const float *d, float r, float scale) {
  float ee = dot(e, e), ed = dot(e, d);
  if (ee < r * r) return false;
  return -ed < 0.0f || r * r - ee + ed * ed * scale < 0.0f;
}

// True when the point of the polygon's plane lies within every edge.
bool inside(WTpoly *p, const float *x) {
  for (WTvertexlink *l = p->links; l; l = l->next) {
    const float *a = l->vertex->position;
    const float *b = (l->next ? l->next : p->links)->vertex->position;
    float ab[3], side[3], ax[3];
    sub(b, a, ab);
    cross(ab, p->normal, side);
    sub(a, x, ax);
    if (dot(ax, side) < 0.0f) return false;
  }
  return true;
}

// The ray parameter of a hit between lo and hi, or -1.
float hitparam(WTpoly *p, const float *o, const float *d, float lo, float hi, float scale) {
  Plane pl;
  if (!facing(p, o, &pl)) return -1.0f;
  float den = -dot(pl.n, d);
  if (den < 0.0001f) return -1.0f;
  float t = pl.s / den;
  if (t < lo || t > hi) return -1.0f;
  if (spheremisses(pl.e, d, p->radius, scale)) return -1.0f;
  float x[3] = {o[0] + t * d[0], o[1] + t * d[1], o[2] + t * d[2]};
  return inside(p, x) ? t : -1.0f;
}

// A hit at the nearest distance replaces the earlier one: the later polygon wins a tie.
void raytest(WTpoly *p, const float *o, const float *d) {
  if (p->rflags & WTR_INVISIBLE) return;
  float t = hitparam(p, o, d, ray.nearlimit, ray.nearest, ray.scale);
  if (t < 0.0f) return;
  ray.nearest = t;
  ray.poly = p;
}

// ---- Frames ------------------------------------------------------------------------------

bool hitsphere(const float *centre, float r) {
  const Frame &f = current();
  float v[3];
  sub(centre, f.o, v);
  float vv = dot(v, v);
  if (vv <= r * r) return true;
  float vd = dot(v, f.d);
  if (vd < 0.0f) return false;
  return r * r - vv + vd * vd * f.s >= -0.004f;
}

// A group node's sphere; a node without bounds is not pruned.
bool nodehit(WTnode *n) {
  if (!(n->flags & WTNF_BOUNDSVALID)) return true;
  return hitsphere(n->bounds.mid, n->bounds.radius);
}

// The current ray taken into the frame of a transform m of the kind (0 none, 2 translation).
void pushxform(const M4 m, int kind) {
  if (kind == 0) return;
  Frame f = current(), g = f;
  sub(f.o, m[3], g.o);
  if (kind != 2) {
    float rel[3];
    memcpy(rel, g.o, sizeof rel);
    for (int i = 0; i < 3; i++) {
      float rr = dot(m[i], m[i]);
      g.o[i] = dot(rel, m[i]) / rr;
      g.d[i] = dot(m[i], f.d) / rr;
    }
    float dd = dot(g.d, g.d);
    g.s = dd > 0.0f ? 1.0f / dd : 0.0f;
  }
  cast.frames.push_back(g);
}

// ---- Path ------------------------------------------------------------------------------

void record(WTnodelink *l) {
  size_t at = static_cast<size_t>(cast.depth < 0 ? 0 : cast.depth);
  if (cast.path.size() <= at) cast.path.resize(at + 1);
  cast.path[at] = l;
}

void enterdepth(Stack &stack) {
  cast.depth++;
  stack.push(&leavedepth);
}

void openlevel(Stack &stack) {
  cast.levels.push_back(cast.frames.size());
  stack.push(&leavelevel);
}

void keephitpath() {
  size_t n = cast.depth < 0 ? 0 : static_cast<size_t>(cast.depth) + 1;
  if (n > cast.path.size()) n = cast.path.size();
  cast.hit.assign(cast.path.begin(), cast.path.begin() + static_cast<long>(n));
}

void testpolys(WTgeometry *g, const Frame &f) {
  WTpoly *before = ray.poly;
  ray.scale = f.s;
  for (WTpoly *p = g->polys; p; p = p->next) raytest(p, f.o, f.d);
  if (ray.poly != before) keephitpath();
}

// ---- Nodes -------------------------------------------------------------------------------

// One chosen child (level of detail, switch): its link at the next depth, then the child.
void pushchosen(Stack &stack, WTnodelink *l) {
  if (!l) return;
  enterdepth(stack);
  record(l);
  stack.push(l->child);
}

WTnodelink *lodchoice(WTnode *n) {
  float v[3];
  sub(current().o, n->u.lod.center, v);
  float d2 = dot(v, v);
  WTnodelink *l = n->firstchild;
  for (int i = 0; l && i < n->u.lod.nranges; l = l->nextsibling, i++)
    if (d2 <= n->u.lod.squares[i]) return l;
  return l;  // the child after the last range, if any
}

void switchnode(Stack &stack, WTnode *n) {
  WTnodelink *l = _WTswitchnode_getactivechild(n);
  if (!l || !nodehit(n)) return;
  if (n->u.whichchild == -3) {
    enterdepth(stack);
    stack.push(l);
  } else {
    pushchosen(stack, l);
  }
}

void group(Stack &stack, WTnode *n) {
  if (!n->firstchild) return;
  if (nodehit(n)) {
    enterdepth(stack);
    stack.push(n->firstchild);
    return;
  }
  // Missed: the transforms inside still move what follows, as drawing lets them.
  M4 g;
  int kind = _WTnode_getxforms(n->firstchild, g);
  pushxform(g, kind);
}

void separator(Stack &stack, WTnode *n) {
  if (!n->firstchild || !nodehit(n)) return;
  enterdepth(stack);
  openlevel(stack);
  stack.push(n->firstchild);
}

void objectnode(Stack &stack, WTnode *n) {
  WTobject *o = n->u.obj.object;
  if (!o || !_WTobject_getmark(o)) return;
  _WTnode_refreshbounds(n);
  const M4 &m = n->u.obj.m;
  Frame f = current(), g = f;
  float rel[3];
  sub(f.o, m[3], rel);
  for (int i = 0; i < 3; i++) g.o[i] = dot(m[i], rel), g.d[i] = dot(m[i], f.d);
  WTgeometry *geo = _WTobject_getgeometry(o);
  if (geo) {
    float v[3];
    sub(geo->mid, g.o, v);
    float vv = dot(v, v), vd = dot(v, g.d), r2 = geo->radius * geo->radius;
    bool skip = vv > r2 && (vd < 0.0f || r2 - vv + vd * vd * g.s < 0.0f);
    if (!skip) testpolys(geo, g);
  }
  // Children see the object's frame, and only they do.
  if (!n->firstchild) return;
  enterdepth(stack);
  openlevel(stack);
  cast.frames.push_back(g);
  stack.push(n->firstchild);
}

void node(Stack &stack, WTnode *n) {
  switch (n->kind) {
    case WTNODE_XFORM: pushxform(n->u.xform.m, n->u.xform.xkind); break;
    case WTNODE_LOD:
      if (n->firstchild && nodehit(n)) pushchosen(stack, lodchoice(n));
      break;
    case WTNODE_SWITCH: switchnode(stack, n); break;
    case WTNODE_GEOMETRY:
      if (n->u.geometry) testpolys(n->u.geometry, current());
      break;
    case WTNODE_GROUP: case WTNODE_ANCHOR: case WTNODE_INLINE: group(stack, n); break;
    case WTNODE_SEP: case WTNODE_XFORMSEP: separator(stack, n); break;
    case WTNODE_OBJECT: objectnode(stack, n); break;
    case WTNODE_LIGHT: case WTNODE_MATERIAL: case WTNODE_FOG: case WTNODE_AMBIENT:
    case WTNODE_CALLBACK: break;
    default: fprintf(stderr, "Unknown node type %d\n", n->kind); break;
  }
}

void step(Stack &stack, const void *e) {
  if (e == &leavedepth) {
    cast.depth--;
    return;
  }
  if (e == &leavelevel) {
    cast.frames.resize(cast.levels.back());
    cast.levels.pop_back();
    return;
  }
  if (_WTkindof(e) == WTNODE_LINK) {
    WTnodelink *l = const_cast<WTnodelink *>(static_cast<const WTnodelink *>(e));
    record(l);
    if (l->nextsibling) stack.push(l->nextsibling);
    if (l->child) stack.push(l->child);
    return;
  }
  WTnode *n = const_cast<WTnode *>(static_cast<const WTnode *>(e));
  if (n->flags & WTNF_ENABLED) node(stack, n);
}

void traverse(WTnode *start) {
  Stack stack;
  if (start->kind != WTNODE_ROOT) {
    stack.push(start);
    cast.depth = -1;
  } else if (start->firstchild) {
    stack.push(start->firstchild);
  }
  const void *e;
  while (stack.pop(&e)) step(stack, e);
}

void updatebounds(WTnode *start) {
  switch (start->kind) {
    case WTNODE_LOD: case WTNODE_SWITCH: case WTNODE_GROUP: case WTNODE_SEP:
    case WTNODE_ANCHOR: case WTNODE_INLINE: case WTNODE_XFORMSEP: case WTNODE_OBJECT:
    case WTNODE_ROOT:
      _WTnode_refreshbounds(start);
      break;
    default: break;
  }
}

// A caller-owned node path over the hit links, or null.
WTnodepath *hitpath() {
  if (cast.hit.empty()) return nullptr;
  WTnodepath *p = static_cast<WTnodepath *>(_WTmem_alloc(sizeof(WTnodepath)));
  memset(p, 0, sizeof *p);
  p->count = static_cast<int>(cast.hit.size());
  p->links = static_cast<WTnodelink **>(_WTmem_alloc(sizeof(WTnodelink *) * cast.hit.size()));
  memcpy(p->links, cast.hit.data(), sizeof(WTnodelink *) * cast.hit.size());
  return p;
}

WTpoly *raycast(WTnode *start, WTnodepath **path) {
  cast.frames.clear();
  cast.levels.clear();
  cast.path.clear();
  cast.hit.clear();
  cast.depth = 0;
  Frame f;
  memcpy(f.o, ray.worldo, sizeof f.o);
  memcpy(f.d, ray.worldd, sizeof f.d);
  f.s = 1.0f;
  cast.frames.push_back(f);
  updatebounds(start);
  traverse(start);
  if (path) *path = ray.poly ? hitpath() : nullptr;
  return ray.poly;
}

void setray(const float *o, const float *d, float nearlimit) {
  memcpy(ray.worldo, o, sizeof ray.worldo);
  memcpy(ray.worldd, d, sizeof ray.worldd);
  memcpy(ray.hito, o, sizeof ray.hito);
  memcpy(ray.hitd, d, sizeof ray.hitd);
  ray.nearlimit = nearlimit;
  ray.nearest = 1e38f;
  ray.poly = nullptr;
}

}  // namespace

extern "C" {

WTpoly *WTnode_rayintersect(WTnode *node, const WTp3 direction, const WTp3 origin, float *distance,
                            WTnodepath **path) {
  if (path) *path = nullptr;
  if (!node || !direction || !origin) return nullptr;
  setray(origin, direction, 0.0f);
  WTpoly *hit = raycast(node, path);
  if (hit && distance) *distance = ray.nearest;
  return hit;
}

WTpoly *_WTray_cast(WTnode *root, const float *origin, const float *direction, float nearlimit,
                    WTnodepath **path, float *point) {
  if (path) *path = nullptr;
  if (point) point[0] = point[1] = point[2] = 0.0f;
  if (!root) return nullptr;
  setray(origin, direction, nearlimit);
  WTpoly *hit = raycast(root, path);
  if (hit && point)
    for (int i = 0; i < 3; i++) point[i] = ray.hito[i] + ray.nearest * ray.hitd[i];
  return hit;
}

int _WTpoly_rayintersect(WTpoly *poly, const WTp3 origin, const WTp3 direction, float *distance) {
  if (!poly || !origin || !direction || !distance) return 0;
  float t = hitparam(poly, origin, direction, 0.0f, *distance, 1.0f);
  if (t < 0.0f) return 0;
  *distance = t;
  return 1;
}

int WTpoly_rayintersect(WTpoly *poly, WTnodepath *path, WTp3 direction, WTp3 origin,
                        float *distance) {
  if (!poly || !path || !direction || !origin || path->count < 1 || !path->links) return 0;
  if (fabsf(direction[0]) < 0.004f && fabsf(direction[1]) < 0.004f && fabsf(direction[2]) < 0.004f)
    return 0;
  WTnode *first = path->links[0]->parent;
  WTnode *last = path->links[path->count - 1]->child;
  if (!first || first->kind != WTNODE_ROOT || !_WTray_windowroot(first)) return 0;
  if (!last || last->kind != WTNODE_GEOMETRY || last->u.geometry != poly->geometry) return 0;
  WTm4 m, inv;
  if (!_WTnodepath_gettransform(path, m)) return 0;
  _WTm4_invertaffine(m, inv);
  WTp3 o, d;
  for (int i = 0; i < 3; i++) {
    o[i] = origin[0] * inv[0][i] + origin[1] * inv[1][i] + origin[2] * inv[2][i] + inv[3][i];
    d[i] = direction[0] * inv[0][i] + direction[1] * inv[1][i] + direction[2] * inv[2][i];
  }
  memcpy(origin, o, sizeof o);
  memcpy(direction, d, sizeof d);
  float t = 1e38f;
  if (!_WTpoly_rayintersect(poly, origin, direction, &t)) return 0;
  if (distance) *distance = t;
  return 1;
}
}
