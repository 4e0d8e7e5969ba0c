// Overlap tests of objects: box against box, and box against a polygon.  Nothing changes.
#include <math.h>
#include <string.h>

#include <initializer_list>

#include "toolkit/core/core.h"
#include "toolkit/geometry/objects.h"

namespace {

const float kTiny = 0.004f;
const int kEdges[12][2] = {{0, 1}, {1, 5}, {5, 4}, {4, 0}, {2, 3}, {3, 7},
                           {7, 6}, {6, 2}, {1, 3}, {0, 2}, {5, 7}, {4, 6}};

float dot3(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void sub3(const float *a, const float *b, float *out) {
  for (int i = 0; i < 3; i++) out[i] = a[i] - b[i];
}

// The centre the tests measure from: the origin while a handle is set, else the position.
const float *centreof(const WTobject *o) { return o->handleset ? o->origin : o->pose.p; }

// A box in world terms: its centre, the turn into its own axes and its half sizes.
struct Box {
  WTp3 c;
  WTq inv;
  WTp3 h;
};

Box boxof(const WTobject *o) {
  Box b;
  memcpy(b.c, centreof(o), sizeof(WTp3));
  const float *q = o->pose.q;
  b.inv[0] = -q[0], b.inv[1] = -q[1], b.inv[2] = -q[2], b.inv[3] = q[3];
  memcpy(b.h, o->half, sizeof(WTp3));
  return b;
}

// p relative to the box's centre, on the box's axes.
void inbox(const Box &b, const float *p, WTp3 out) {
  WTp3 d;
  sub3(p, b.c, d);
  _WTq_rotatepoint(d, b.inv, out);
}

// Clips the segment a-b (box terms) against the slab of one axis; false when nothing is left.
bool clipaxis(float a, float b, float h, float *lo, float *hi) {
  if (a > -h && a < h && b > -h && b < h) return true;
  if ((a <= -h && b <= -h) || (a >= h && b >= h)) return false;
  float d = b - a;
  if (d == 0.0f) return true;
  float t1 = (-h - a) / d, t2 = (h - a) / d;
  if (t1 > t2) {
    float s = t1;
    t1 = t2;
    t2 = s;
  }
  *lo = fmaxf(*lo, t1);
  *hi = fminf(*hi, t2);
  return *hi >= *lo;
}

bool edgehitsbox(const Box &b, const float *from, const float *to) {
  WTp3 a, e;
  inbox(b, from, a);
  inbox(b, to, e);
  float lo = 0.0f, hi = 1.0f;
  for (int i = 0; i < 3; i++)
    if (!clipaxis(a[i], e[i], b.h[i], &lo, &hi)) return false;
  return true;
}

bool anyedgehits(const WTobject *box, const WTobject *other) {
  Box b = boxof(box);
  for (const auto &e : kEdges)
    if (edgehitsbox(b, other->corners[e[0]], other->corners[e[1]])) return true;
  return false;
}

bool moved(const WTobject *o) { return !_WTobject_atreference(const_cast<WTobject *>(o)); }

// The polygon's vertices in world terms (moved by its object's pose when it follows one).
int worldvertices(WTpoly *p, WTp3 *out) {
  WTobject *owner = (p->flags & WTP_FOLLOWOBJECT) && p->geometry ? p->geometry->object : nullptr;
  int n = 0;
  for (WTvertexlink *l = p->links; l && n < 256; l = l->next, n++) {
    if (owner && moved(owner))
      _WTobject_vertexworld(owner, l->vertex->position, out[n]);
    else
      memcpy(out[n], l->vertex->position, sizeof(WTp3));
  }
  return n;
}

bool spread(const float *a, const float *b) {
  return fabsf(a[0] - b[0]) >= kTiny || fabsf(a[1] - b[1]) >= kTiny || fabsf(a[2] - b[2]) >= kTiny;
}

// Step 2: a vertex inside the box, or one too far away for any overlap (-1 false, 1 true).
int vertexverdict(const Box &b, const WTp3 *world, int n, float hmin, float range) {
  for (int k = 0; k < n; k++) {
    WTp3 d, local;
    sub3(world[k], b.c, d);
    if (_WTp3_approxlength(d) < hmin) return 1;
    if (dot3(d, d) > range * range) return -1;
    inbox(b, world[k], local);
    if (fabsf(local[0]) < b.h[0] && fabsf(local[1]) < b.h[1] && fabsf(local[2]) < b.h[2]) return 1;
  }
  return 0;
}

bool allbeyondoneface(const Box &b, const WTp3 *local, int n) {
  for (int i = 0; i < 3; i++) {
    bool above = true, below = true;
    for (int k = 0; k < n; k++) {
      above = above && local[k][i] >= b.h[i];
      below = below && local[k][i] <= -b.h[i];
    }
    if (above || below) return true;
  }
  return false;
}

// Step 4: a polygon edge that passes through a face of the box.
bool edgecrossesface(const Box &b, const WTp3 *local, int n) {
  for (int k = 0; k < n; k++) {
    const float *a = local[k], *e = local[(k + 1) % n];
    if (!spread(a, e)) continue;
    for (int i = 0; i < 3; i++)
      for (float face : {-b.h[i], b.h[i]}) {
        if (!(a[i] < face && e[i] > face)) continue;
        float t = (face - a[i]) / (e[i] - a[i]);
        int j = (i + 1) % 3, m = (i + 2) % 3;
        float pj = a[j] + t * (e[j] - a[j]), pm = a[m] + t * (e[m] - a[m]);
        if (fabsf(pj) < b.h[j] && fabsf(pm) < b.h[m]) return true;
      }
  }
  return false;
}

void planeof(WTpoly *p, const WTp3 *world, WTp3 normal, float *d) {
  memcpy(normal, p->normal, sizeof(WTp3));
  *d = p->d;
  WTobject *owner = p->geometry ? p->geometry->object : nullptr;
  if ((p->flags & WTP_FOLLOWOBJECT) && owner && moved(owner)) {
    WTq r;
    _WTq_conjmultiply(owner->ref.q, owner->pose.q, r);
    _WTq_rotatepoint(normal, r, normal);
    *d = dot3(normal, world[0]);
  }
}

// Step 6: where a box edge cuts the polygon's plane, the cut point inside the polygon.
bool boxedgepierces(const WTobject *o, const WTp3 *world, int n, const WTp3 normal, float d) {
  for (const auto &e : kEdges) {
    const float *a = o->corners[e[0]], *b = o->corners[e[1]];
    if (!spread(a, b)) continue;
    float va = dot3(normal, a) - d, vb = dot3(normal, b) - d;
    if (!((va <= 0 && vb >= 0) || (va >= 0 && vb <= 0)) || fabsf(va - vb) < kTiny) continue;
    float t = va / (va - vb);
    WTp3 cut = {a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2])};
    bool outside = false;
    for (int k = 0; k < n && !outside; k++) {
      WTp3 toend, edge, cross;
      sub3(world[(k + 1) % n], cut, toend);
      sub3(world[(k + 1) % n], world[k], edge);
      _WTp3_cross(toend, edge, cross);
      outside = _WTp3_approxlength(cross) >= kTiny && dot3(cross, normal) < 0;
    }
    if (!outside) return true;
  }
  return false;
}

}  // namespace

extern "C" {

int _WTobject_boxesintersect(WTobject *a, WTobject *b) {
  if (!a || !b || a == b) return 0;
  if ((a->flags | b->flags) & (WTO_REMOVALSEEN | WTO_DELETED)) return 0;
  WTp3 d;
  sub3(centreof(b), centreof(a), d);
  float reach = a->radius + b->radius;
  if (dot3(d, d) > reach * reach) return 0;
  return anyedgehits(a, b) || anyedgehits(b, a) ? 1 : 0;
}

int _WTobject_intersectpoly(WTobject *object, WTpoly *poly) {
  if (!object || !poly || !poly->links) return 0;
  Box b = boxof(object);
  WTp3 world[256], local[256];
  int n = worldvertices(poly, world);
  float hmin = fminf(b.h[0], fminf(b.h[1], b.h[2]));
  int verdict = vertexverdict(b, world, n, hmin, 2 * poly->radius + object->radius);
  if (verdict) return verdict > 0 ? 1 : 0;
  for (int k = 0; k < n; k++) inbox(b, world[k], local[k]);
  if (allbeyondoneface(b, local, n)) return 0;
  if (edgecrossesface(b, local, n)) return 1;
  WTp3 normal;
  float d;
  planeof(poly, world, normal, &d);
  bool above = true, below = true;
  for (const WTp3 &corner : object->corners) {
    float v = dot3(normal, corner) - d;
    above = above && v > 0;
    below = below && v <= 0;
  }
  if (above || below) return 0;
  return boxedgepierces(object, world, n, normal, d) ? 1 : 0;
}
}
