// Moving, turning, scaling and stretching objects, their frames, pivot, handle and axes, the
// change check and the motion-link update.  Moving and turning change only the pose fields;
// scaling, stretching and remapping rewrite the geometry.
#include <math.h>
#include <string.h>

#include <initializer_list>

#include "toolkit/core/core.h"
#include "toolkit/core/motion.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/objects.h"

namespace {

const float kTiny = 0.004f;

bool absent(const WTobject *o) { return !o || (o->flags & WTO_DELETED); }

void copy3(const float *from, float *to) { memcpy(to, from, sizeof(WTp3)); }

void sub3(const float *a, const float *b, float *out) {
  for (int i = 0; i < 3; i++) out[i] = a[i] - b[i];
}

void add3(const float *a, const float *b, float *out) {
  for (int i = 0; i < 3; i++) out[i] = a[i] + b[i];
}

float length3(const float *v) { return sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

void conjq(const WTq q, WTq out) {
  out[0] = -q[0], out[1] = -q[1], out[2] = -q[2], out[3] = q[3];
}

void identityq(WTq q) { q[0] = q[1] = q[2] = 0.0f, q[3] = 1.0f; }

bool zeroq(const WTq q) {
  return fabsf(q[0]) < kTiny && fabsf(q[1]) < kTiny && fabsf(q[2]) < kTiny && fabsf(q[3]) < kTiny;
}

// p + rotate(x - p, q) + t, the motion of a point under a turn about p and a move.
void carrypoint(float *x, const WTp3 p, const WTq q, const WTp3 t) {
  WTp3 r;
  _WTq_rotatepointabout(x, q, r, p);
  add3(r, t, x);
}

// The rotation of a delta given in frame 0 (own axes) or 2 (viewer's axes) put into world terms.
void toworldrotation(const WTq frameq, WTq q) {
  WTq tmp;
  _WTq_multiply(q, frameq, tmp);
  _WTq_conjmultiply(frameq, tmp, q);
}

bool viewerorientation(WTq out) {
  WTviewpoint *v = _WTuniverse_getviewpoint();
  if (!v || !WTviewpoint_getorientation(v, out)) {
    identityq(out);
    return false;
  }
  return true;
}

void setorigin(WTobject *o) {
  WTp3 r;
  _WTq_rotatepoint(o->handle, o->pose.q, r);
  sub3(o->pose.p, r, o->origin);
}

void carrydescendants(WTobject *o, const WTp3 p, const WTq q, const WTp3 t) {
  for (WTcell *c = o->children; c; c = c->next) {
    WTobject *d = static_cast<WTobject *>(c->value);
    carrypoint(d->pivot, p, q, t);
    _WTq_multiply(d->pose.q, q, d->pose.q);
    carrypoint(d->pose.p, p, q, t);
    for (WTp3 &corner : d->corners) carrypoint(corner, p, q, t);
    if (d->handleset) setorigin(d);
    _WTnode_changed(_WTobject_getnode(d));
    carrydescendants(d, p, q, t);
  }
}

// Corners from the low and high points: bit 4 of i takes the high x, bit 2 y, bit 1 z.
void cornersfrom(WTobject *o, const WTp3 lo, const WTp3 hi) {
  for (int i = 0; i < 8; i++) {
    o->corners[i][0] = (i & 4) ? hi[0] : lo[0];
    o->corners[i][1] = (i & 2) ? hi[1] : lo[1];
    o->corners[i][2] = (i & 1) ? hi[2] : lo[2];
  }
}

void halffrom(WTobject *o, const WTp3 lo, const WTp3 hi) {
  for (int i = 0; i < 3; i++) o->half[i] = (hi[i] - lo[i]) / 2;
  o->radius = length3(o->half);
}

void vertexextents(WTgeometry *g, WTp3 lo, WTp3 hi) {
  for (int i = 0; i < 3; i++) lo[i] = 1e38f, hi[i] = -1e38f;
  for (WTvertex *v = g->vertices; v; v = v->next)
    for (int i = 0; i < 3; i++) {
      lo[i] = fminf(lo[i], v->position[i]);
      hi[i] = fmaxf(hi[i], v->position[i]);
    }
}

// Polygon upkeep after a scale or stretch: the degenerate flag follows a shrink, the plane is
// recomputed.
void revisitpolys(WTgeometry *g, bool shrink) {
  for (WTpoly *p = g->polys; p; p = p->next) {
    if (shrink && _WTpoly_removeduplicates(p))
      p->flags |= WTP_DEGENERATE;
    else if (!shrink && (p->flags & WTP_DEGENERATE) && !_WTpoly_removeduplicates(p))
      p->flags &= static_cast<uint16_t>(~WTP_DEGENERATE);
    _WTpoly_stats(p);
  }
}

void remapvector(float *v, int count, const int *from, const int *to, const int *negate) {
  WTp3 old;
  copy3(v, old);
  for (int i = 0; i < count; i++) {
    if (from[i] < 0 || from[i] > 2 || to[i] < 0 || to[i] > 2) continue;
    v[to[i]] = negate[i] ? -old[from[i]] : old[from[i]];
  }
}

// Eigenvalue order of the principal axes, ascending, with the ties settled as the file format
// of the axes expects.
void eigenorder(const WTp3 e, int order[3]) {
  static const int table[6][3] = {{2, 1, 0}, {1, 2, 0}, {1, 0, 2}, {2, 0, 1}, {0, 2, 1}, {0, 1, 2}};
  int row;
  if (e[0] >= e[1])
    row = e[2] < e[1] ? 0 : (e[0] >= e[2] ? 1 : 2);
  else
    row = (e[1] >= e[2] && e[0] >= e[2]) ? 3 : (e[1] >= e[2] ? 4 : 5);
  memcpy(order, table[row], sizeof table[row]);
}

void inertia(WTobject *o, WTm3 m) {
  memset(m, 0, sizeof(WTm3));
  for (WTvertex *v = o->geometry->vertices; v; v = v->next) {
    WTp3 r;
    sub3(v->position, o->pose.p, r);
    m[0][0] += r[1] * r[1] + r[2] * r[2];
    m[1][1] += r[0] * r[0] + r[2] * r[2];
    m[2][2] += r[0] * r[0] + r[1] * r[1];
    m[0][1] -= r[0] * r[1];
    m[0][2] -= r[0] * r[2];
    m[1][2] -= r[1] * r[2];
  }
  m[1][0] = m[0][1], m[2][0] = m[0][2], m[2][1] = m[1][2];
}

void turngeometry(WTobject *o, const WTq q) {
  WTpq delta = {{0, 0, 0}, {q[0], q[1], q[2], q[3]}};
  WTp3 centre;
  copy3(o->pivot, centre);
  _WTobject_transformgeometry(o, &delta, centre, 1);
}

// Applies p' = (p - c) * m + c to every vertex and its copy, and gathers the new extents.
void stretchvertices(WTgeometry *g, const WTm3 m, const WTp3 c, WTp3 lo, WTp3 hi) {
  for (int i = 0; i < 3; i++) lo[i] = 1e38f, hi[i] = -1e38f;
  for (WTvertex *v = g->vertices; v; v = v->next) {
    _WTp3_xformabout(v->position, m, c);
    for (int i = 0; i < 3; i++) {
      lo[i] = fminf(lo[i], v->position[i]);
      hi[i] = fmaxf(hi[i], v->position[i]);
    }
  }
  for (WTvertex *v = g->vcopy; v; v = v->next) _WTp3_xformabout(v->position, m, c);
}

void geometrybox(WTgeometry *g, const WTp3 lo, const WTp3 hi) {
  for (int i = 0; i < 3; i++) {
    g->half[i] = (hi[i] - lo[i]) / 2;
    g->mid[i] = (hi[i] + lo[i]) / 2;
  }
  g->radius = length3(g->half);
}

// The object's half-extents from its corners, in its own axes.
void reboundcorners(WTobject *o) {
  WTp3 lo = {1e38f, 1e38f, 1e38f}, hi = {-1e38f, -1e38f, -1e38f};
  WTq inv;
  conjq(o->pose.q, inv);
  for (WTp3 &corner : o->corners) {
    WTp3 local;
    sub3(corner, o->pose.p, local);
    _WTq_rotatepoint(local, inv, local);
    for (int i = 0; i < 3; i++) lo[i] = fminf(lo[i], local[i]), hi[i] = fmaxf(hi[i], local[i]);
  }
  halffrom(o, lo, hi);
}

bool stretchrefused(WTobject *o, const WTp3 f, int frame) {
  if (absent(o) || !o->geometry || o->geometry->draw) return true;
  if (o->handleset) {
    _WTmsg_warning("WTobject_stretch not supported when object handle has been set.");
    return true;
  }
  if (!_WTgeometry_modifiable(o->geometry) || (frame != 0 && frame != 1)) return true;
  bool all1 = true, tiny = false;
  for (int i = 0; i < 3; i++) {
    all1 = all1 && fabsf(f[i] - 1.0f) < kTiny;
    tiny = tiny || fabsf(f[i]) < kTiny;
  }
  return all1 || tiny;
}

void stretchmatrix(WTobject *o, const WTp3 f, int frame, WTm3 m) {
  if (frame == 1) {
    memset(m, 0, sizeof(WTm3));
    for (int i = 0; i < 3; i++) m[i][i] = f[i];
    return;
  }
  WTm3 r, t;
  WTq_2m3(o->pose.q, r);
  _WTm3_transpose(r, t);
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) t[i][j] *= f[j];
  _WTm3_multiply(t, r, m);
}

void setreferencetocurrent(WTobject *o) { o->ref = o->last = o->pose; }

}  // namespace

extern "C" {

// ---- Core move -----------------------------------------------------------------------------

void _WTobject_translate(WTobject *object, const WTpq *delta, int frame) {
  if (absent(object) || !delta) return;
  WTobject *o = object;
  WTp3 t, p;
  WTq q;
  copy3(delta->p, t);
  memcpy(q, delta->q, sizeof(WTq));
  WTq frameq;
  if (frame == 0 || (frame == 2 && viewerorientation(frameq))) {
    if (frame == 0) memcpy(frameq, o->pose.q, sizeof(WTq));
    _WTq_rotatepoint(t, frameq, t);
    toworldrotation(frameq, q);
  }
  copy3(o->pivot, p);
  if (o->children) carrydescendants(o, p, q, t);
  _WTnode_changed(_WTobject_getnode(o));
  bool moves = t[0] != 0.0f || t[1] != 0.0f || t[2] != 0.0f;
  bool turns = q[0] != 0.0f || q[1] != 0.0f || q[2] != 0.0f;
  if (!turns && fabsf(q[3]) < kTiny) return;
  for (WTp3 &corner : o->corners) {
    if (turns) _WTq_rotatepointabout(corner, q, corner, p);
    if (moves) add3(corner, t, corner);
  }
  _WTq_multiply(o->pose.q, q, o->pose.q);
  carrypoint(o->pose.p, p, q, t);
  add3(p, t, o->pivot);
  if (o->element) {
    copy3(o->pose.p, o->element->position);
    memcpy(o->element->orientation, o->pose.q, sizeof(WTq));
  }
  if (o->handleset) setorigin(o);
}

int _WTobject_move(WTobject *object, const WTp3 v, short frame) {
  if (absent(object) || !v) return 0;
  WTpq delta = {{v[0], v[1], v[2]}, {0, 0, 0, 1}};
  _WTobject_translate(object, &delta, frame);
  return 1;
}

int _WTobject_setposition(WTobject *object, const WTp3 p) {
  if (absent(object) || !p) return 0;
  WTp3 d;
  sub3(p, object->pose.p, d);
  _WTobject_move(object, d, 1);
  return 1;
}

int WTobject_setorientation(WTobject *object, const WTq q) {
  if (absent(object) || !q) return 0;
  if (zeroq(q)) {
    _WTmsg_warning("Invalid quaternion passed to WTobject_setorientation.\n");
    return 0;
  }
  WTpq delta = {{0, 0, 0}, {0, 0, 0, 1}};
  _WTq_conjmultiply(object->pose.q, q, delta.q);
  _WTobject_translate(object, &delta, 1);
  return 1;
}

int _WTobject_setpose(WTobject *object, const WTpq *pose) {
  if (absent(object) || !pose) return 0;
  if (memcmp(object->pivot, object->pose.p, sizeof(WTp3)) != 0) {
    WTobject_setorientation(object, pose->q);
    return _WTobject_setposition(object, pose->p);
  }
  WTpq delta;
  sub3(pose->p, object->pose.p, delta.p);
  _WTq_conjmultiply(object->pose.q, pose->q, delta.q);
  _WTobject_translate(object, &delta, 1);
  return 1;
}

void _WTobject_rotate(WTobject *object, int axis, float angle, int frame) {
  if (axis < 0 || axis > 2) return;
  WTpq delta = {{0, 0, 0}, {0, 0, 0, cosf(angle / 2)}};
  delta.q[axis] = sinf(-angle / 2);
  _WTobject_translate(object, &delta, frame);
}

int WTobject_rotatepoint(WTobject *object, const WTq q, const WTp3 point, int frame) {
  if (absent(object) || !q || !point) return 0;
  if (zeroq(q)) {
    _WTmsg_warning("Invalid quaternion passed to WTobject_rotatepoint.\n");
    return 0;
  }
  WTpq delta;
  memcpy(delta.q, q, sizeof(WTq));
  WTq frameq;
  if (frame == 0) toworldrotation(object->pose.q, delta.q);
  if (frame == 2 && viewerorientation(frameq)) toworldrotation(frameq, delta.q);
  WTp3 moved;
  _WTq_rotatepointabout(object->pivot, delta.q, moved, point);
  sub3(moved, object->pivot, delta.p);
  _WTobject_translate(object, &delta, 1);
  return 1;
}

void _WTobject_resetorientation(WTobject *object) {
  if (absent(object)) return;
  WTq inv;
  WTp3 pivot;
  conjq(object->pose.q, inv);
  copy3(object->pivot, pivot);
  WTobject_rotatepoint(object, inv, pivot, 1);
}

void _WTobject_alignaxis(WTobject *object, int axis, const WTp3 direction) {
  if (absent(object) || axis < 0 || axis > 2 || !direction) return;
  WTp3 d;
  copy3(direction, d);
  if (fabsf(d[0]) < kTiny && fabsf(d[1]) < kTiny && fabsf(d[2]) < kTiny) return;
  float len = length3(d);
  if (fabsf(len - 1.0f) >= kTiny)
    for (float &c : d) c /= len;
  WTp3 a;
  _WTobject_getaxis(object, axis, a);
  WTq from, to, turn, q;
  _WTdir_2q(a, from);
  _WTdir_2q(d, to);
  _WTq_conjmultiply(from, to, turn);
  _WTq_multiply(object->pose.q, turn, q);
  WTobject_setorientation(object, q);
}

// ---- Queries -------------------------------------------------------------------------------

int _WTobject_getposition(WTobject *object, WTp3 out) {
  if (absent(object) || !out) return 0;
  copy3(object->pose.p, out);
  return 1;
}

int _WTobject_getorientation(WTobject *object, WTq out) {
  if (absent(object) || !out) return 0;
  memcpy(out, object->pose.q, sizeof(WTq));
  return 1;
}

void _WTobject_getorigin(WTobject *object, WTp3 out) {
  if (absent(object) || !out) return;
  copy3(object->handleset ? object->origin : object->pose.p, out);
}

void _WTobject_getlocation(WTobject *object, WTp3 out, int frame) {
  if (absent(object) || !out) return;
  if (frame == 1) copy3(object->pivot, out);
  if (frame == 0) _WTobject_worldtoobject(object, object->pivot, out);
}

void _WTobject_getaxis(WTobject *object, int axis, WTp3 out) {
  if (!out) return;
  out[0] = out[1] = out[2] = 0.0f;
  if (absent(object) || axis < 0 || axis > 2) return;
  out[axis] = 1.0f;
  _WTq_rotatepoint(out, object->pose.q, out);
}

void _WTobject_getsize(WTobject *object, WTp3 out) {
  if (absent(object) || !out) return;
  for (int i = 0; i < 3; i++) out[i] = object->half[i] * 2;
}

void _WTobject_worldtoobject(WTobject *object, const WTp3 p, WTp3 out) {
  if (absent(object) || !p || !out) return;
  WTq inv;
  WTp3 d;
  conjq(object->pose.q, inv);
  sub3(p, object->pose.p, d);
  _WTq_rotatepoint(d, inv, out);
}

void _WTobject_objecttoworld(WTobject *object, const WTp3 p, WTp3 out) {
  if (absent(object) || !p || !out) return;
  WTp3 r;
  _WTq_rotatepoint(p, object->pose.q, r);
  add3(object->pose.p, r, out);
}

// ---- Pivot and handle --------------------------------------------------------------------

void _WTobject_setpivot(WTobject *object, const WTp3 point, int frame) {
  if (absent(object) || !point || (frame != 0 && frame != 1)) return;
  _WTobject_checkmoved(object);
  if (frame == 1)
    copy3(point, object->pivot);
  else
    _WTobject_objecttoworld(object, point, object->pivot);
}

void _WTobject_sethandle(WTobject *object, const WTp3 point, int frame) {
  if (absent(object) || !point) return;
  WTobject *o = object;
  if (!o->handleset) copy3(o->pose.p, o->origin);
  WTp3 d, base;
  sub3(o->ref.p, o->handleref, d);
  copy3(o->handleset ? o->origin : o->pose.p, base);
  WTq inv;
  conjq(o->pose.q, inv);
  if (frame == 1) {
    WTp3 rel;
    sub3(point, base, rel);
    _WTq_rotatepoint(rel, inv, o->handle);
    copy3(point, o->pose.p);
  } else if (frame == 0) {
    WTp3 r;
    copy3(point, o->handle);
    _WTq_rotatepoint(point, o->pose.q, r);
    add3(base, r, o->pose.p);
  } else {
    return;
  }
  WTq toref;
  _WTq_conjmultiply(o->ref.q, o->pose.q, toref);
  _WTq_rotatepoint(o->handle, toref, o->handleref);
  add3(d, o->handleref, o->ref.p);
  o->handleset = 1;
}

void _WTobject_gethandle(WTobject *object, WTp3 out, int frame) {
  if (!out) return;
  out[0] = out[1] = out[2] = 0.0f;
  if (absent(object)) return;
  if (frame == 1) _WTobject_objecttoworld(object, object->handle, out);
  if (frame == 0) copy3(object->handle, out);
}

// ---- World positions of stored vertices --------------------------------------------------

int _WTobject_atreference(WTobject *object) {
  const WTpq &a = object->pose, &b = object->ref;
  if (memcmp(a.p, b.p, sizeof(WTp3)) != 0) return 0;
  bool same = true, negated = true;
  for (int i = 0; i < 4; i++) {
    same = same && a.q[i] == b.q[i];
    negated = negated && a.q[i] == -b.q[i];
  }
  return same || negated;
}

void _WTobject_vertexworld(WTobject *object, const WTp3 stored, WTp3 out) {
  if (_WTobject_atreference(object)) {
    copy3(stored, out);
    return;
  }
  WTq r;
  _WTq_conjmultiply(object->ref.q, object->pose.q, r);
  WTp3 rel;
  sub3(stored, object->ref.p, rel);
  if (object->handleset) add3(rel, object->handleref, rel);
  _WTq_rotatepoint(rel, r, rel);
  add3(object->handleset ? object->origin : object->pose.p, rel, out);
}

void _WTobject_getmatrix(WTobject *object, WTm4 out) {
  memset(out, 0, sizeof(WTm4));
  out[3][3] = 1.0f;
  WTq r;
  _WTq_conjmultiply(object->ref.q, object->pose.q, r);
  for (int i = 0; i < 3; i++) {
    WTp3 axis = {0, 0, 0};
    axis[i] = 1.0f;
    _WTq_rotatepoint(axis, r, out[i]);
  }
  WTp3 from, turned, none = {0, 0, 0};
  sub3(object->ref.p, object->handleset ? object->handleref : none, from);
  _WTq_rotatepoint(from, r, turned);
  sub3(object->handleset ? object->origin : object->pose.p, turned, out[3]);
}

// ---- Axes --------------------------------------------------------------------------------

int WTobject_setaxes(WTobject *object, const WTq q) {
  if (absent(object) || !q) return 0;
  if (zeroq(q)) {
    _WTmsg_warning("Invalid quaternion passed to WTobject_setaxes.\n");
    return 0;
  }
  WTobject *o = object;
  _WTobject_checkmoved(o);
  WTq tmp;
  _WTq_conjmultiply(o->pose.q, o->ref.q, tmp);
  _WTq_multiply(q, tmp, o->ref.q);
  if (o->handleset) {
    WTq turn;
    _WTq_conjmultiply(q, o->pose.q, turn);
    _WTq_rotatepoint(o->handle, turn, o->handle);
    _WTq_rotatepointabout(o->ref.p, turn, o->ref.p, o->origin);
    _WTq_rotatepoint(o->handleref, turn, o->handleref);
  }
  memcpy(o->pose.q, q, sizeof(WTq));
  WTp3 lo = {1e38f, 1e38f, 1e38f}, hi = {-1e38f, -1e38f, -1e38f}, base, none = {0, 0, 0};
  sub3(o->ref.p, o->handleset ? o->handleref : none, base);
  WTq inv;
  conjq(o->ref.q, inv);
  for (WTvertex *v = o->geometry->vertices; v; v = v->next) {
    WTp3 rel;
    sub3(v->position, base, rel);
    _WTq_rotatepoint(rel, inv, rel);
    for (int i = 0; i < 3; i++) lo[i] = fminf(lo[i], rel[i]), hi[i] = fmaxf(hi[i], rel[i]);
  }
  cornersfrom(o, lo, hi);
  halffrom(o, lo, hi);
  for (WTp3 &corner : o->corners) {
    _WTq_rotatepoint(corner, q, corner);
    add3(o->handleset ? o->origin : o->pose.p, corner, corner);
  }
  return 1;
}

void _WTobject_computeaxes(WTobject *object, int principal) {
  if (absent(object) || !object->geometry) return;
  WTobject *o = object;
  WTp3 lo, hi, centre;
  _WTgeometry_findextents(o->geometry, lo, hi);
  cornersfrom(o, lo, hi);
  for (int i = 0; i < 3; i++) centre[i] = (lo[i] + hi[i]) / 2;
  copy3(centre, o->pose.p);
  copy3(centre, o->pivot);
  identityq(o->pose.q);
  WTq q;
  if (principal) {
    _WTobject_principalaxes(o, q);
    memcpy(o->pose.q, q, sizeof(WTq));
    WTq inv;
    conjq(q, inv);
    turngeometry(o, inv);
    vertexextents(o->geometry, lo, hi);
    cornersfrom(o, lo, hi);
  }
  halffrom(o, lo, hi);
  if (principal) {
    WTp3 offset;
    for (int i = 0; i < 3; i++) offset[i] = (lo[i] + hi[i]) / 2 - centre[i];
    _WTq_rotatepoint(offset, q, offset);
    turngeometry(o, q);
    add3(centre, offset, o->pose.p);
    copy3(o->pose.p, o->pivot);
  }
  _WTnode_changed(_WTobject_getnode(o));
}

void _WTobject_principalaxes(WTobject *object, WTq out) {
  if (!out) return;
  identityq(out);
  if (absent(object) || !object->geometry) return;
  WTm3 a, vectors, m;
  WTp3 e;
  inertia(object, a);
  _WTjacobi(a, e, vectors);
  int order[3];
  eigenorder(e, order);
  for (int row = 0; row < 2; row++)
    for (int j = 0; j < 3; j++) m[row][j] = vectors[j][order[row]];
  _WTp3_cross(m[0], m[1], m[2]);
  WTm3_2q(m, out);
}

int _WTobject_remapaxes(WTobject *object, int count, const int *from, const int *to,
                        const int *negate) {
  if (!object || !object->geometry || object->geometry->draw || !from || !to || !negate ||
      !_WTgeometry_modifiable(object->geometry))
    return 0;
  WTobject *o = object;
  auto remap = [&](float *v) { remapvector(v, count, from, to, negate); };
  for (float *v : {o->pivot, o->handle, o->handleref, o->pose.p, o->ref.p, o->half, o->origin})
    remap(v);
  for (WTp3 &corner : o->corners) remap(corner);
  for (float &h : o->half) h = fabsf(h);
  WTgeometry *g = o->geometry;
  for (WTvertex *v = g->vertices; v; v = v->next) {
    remap(v->position);
    if (v->normal) remap(v->normal);
  }
  for (WTvertex *v = g->vcopy; v; v = v->next) remap(v->position);
  for (WTpoly *p = g->polys; p; p = p->next) {
    for (float *v : {p->normal, p->normal2, p->centre, p->centre2}) remap(v);
    p->d = p->centre[0] * p->normal[0] + p->centre[1] * p->normal[1] + p->centre[2] * p->normal[2];
  }
  return 1;
}

// ---- Change check and motion links ---------------------------------------------------------

void _WTobject_checkmoved(WTobject *object) {
  if (!object) return;
  WTobject *o = object;
  if (memcmp(o->pose.p, o->last.p, sizeof(WTp3)) == 0 && o->pose.q[0] == o->last.q[0] &&
      o->pose.q[1] == o->last.q[1] && o->pose.q[2] == o->last.q[2])
    return;
  o->flags |= WTO_MOVED;
  _WTnode_changed(_WTobject_getnode(o));
  o->last = o->pose;
}

void _WTobject_motionupdate(WTobject *object, WTmotionlink *link, int frame) {
  if (!object || !link || (object->flags & WTO_REMOVED)) return;
  if (link->sourcetype != WTSOURCE_SENSOR) return;
  WTpq record;
  _WTsensor_getdeltarecord(static_cast<WTsensor *>(link->source), record.p, record.q);
  bool still = record.p[0] == 0 && record.p[1] == 0 && record.p[2] == 0 && record.q[0] == 0 &&
               record.q[1] == 0 && record.q[2] == 0 && record.q[3] == 1.0f;
  if (still) return;
  if (frame == 1 || frame == 2) {
    _WTobject_translate(object, &record, frame);
    return;
  }
  WTq a, ca, tmp, turned;
  if (link->hasreference)
    memcpy(a, link->reference, sizeof(WTq));
  else
    identityq(a);
  const float *o = link->offset.q;
  if (o[0] != 0 || o[1] != 0 || o[2] != 0) {
    WTq co;
    conjq(o, co);
    _WTq_multiply(o, a, tmp);
    _WTq_multiply(tmp, co, a);
  }
  conjq(a, ca);
  _WTq_multiply(a, record.q, tmp);
  _WTq_multiply(tmp, ca, turned);
  _WTq_multiply(turned, object->pose.q, tmp);
  WTpq delta;
  _WTq_conjmultiply(object->pose.q, tmp, delta.q);
  _WTq_rotatepoint(record.p, ca, delta.p);
  _WTq_multiply(object->pose.q, delta.q, tmp);
  _WTq_rotatepoint(delta.p, tmp, delta.p);
  _WTobject_translate(object, &delta, 1);
}

// ---- Geometry transforms -----------------------------------------------------------------

void _WTobject_transformgeometry(WTobject *object, const WTpq *delta, WTp3 centre, int apply) {
  if (!object || !delta || !centre) return;
  WTobject *o = object;
  o->last = o->pose;
  if (apply) {
    _WTobject_translate(o, delta, 1);
    copy3(o->pivot, centre);
  }
  const float *t = delta->p, *q = delta->q;
  bool moves = fabsf(t[0]) >= kTiny || fabsf(t[1]) >= kTiny || fabsf(t[2]) >= kTiny;
  bool turns = fabsf(q[0]) >= kTiny || fabsf(q[1]) >= kTiny || fabsf(q[2]) >= kTiny;
  if (!moves && !turns) return;
  o->flags |= WTO_MOVED;
  auto carry = [&](float *x) {
    if (turns) _WTq_rotatepointabout(x, q, x, centre);
    if (moves) add3(x, t, x);
  };
  for (WTvertex *v = o->geometry->vertices; v; v = v->next) {
    carry(v->position);
    if (turns && v->normal) _WTq_rotatepoint(v->normal, q, v->normal);
  }
  for (WTpoly *p = o->geometry->polys; p; p = p->next) {
    carry(p->centre);
    if (turns) _WTq_rotatepoint(p->normal, q, p->normal);
    p->d = p->centre[0] * p->normal[0] + p->centre[1] * p->normal[1] + p->centre[2] * p->normal[2];
  }
  _WTnode_changed(_WTobject_getnode(o));
}

void _WTobject_bake(WTobject *object, int withhandle) {
  WTobject *o = object;
  WTpq delta;
  sub3(o->pose.p, o->ref.p, delta.p);
  _WTq_conjmultiply(o->ref.q, o->pose.q, delta.q);
  WTp3 centre;
  copy3(o->ref.p, centre);
  if (withhandle && o->handleset) sub3(centre, o->handleref, centre);
  _WTobject_transformgeometry(o, &delta, centre, 0);
  setreferencetocurrent(o);
}

int _WTobject_scale(WTobject *object, float factor, const WTp3 centre) {
  if (absent(object) || !centre || !object->geometry || object->geometry->draw ||
      !_WTgeometry_modifiable(object->geometry))
    return 0;
  if (fabsf(factor) < kTiny || fabsf(factor - 1.0f) < kTiny) return 0;
  WTobject *o = object;
  WTp3 c;
  copy3(centre, c);
  o->flags |= WTO_MOVED;
  _WTobject_checkmoved(o);
  _WTobject_bake(o, 1);
  WTp3 f = {factor, factor, factor};
  for (WTvertex *v = o->geometry->vertices; v; v = v->next) _WTp3_scaleabout(v->position, f, c);
  for (WTp3 &corner : o->corners) _WTp3_scaleabout(corner, f, c);
  _WTp3_scaleabout(o->pose.p, f, c);
  _WTp3_scaleabout(o->pivot, f, c);
  if (o->handleset) _WTp3_scaleabout(o->origin, f, c);
  for (int i = 0; i < 3; i++) {
    o->handle[i] *= factor;
    o->handleref[i] *= factor;
    o->half[i] *= fabsf(factor);
  }
  o->radius = length3(o->half);
  setreferencetocurrent(o);
  _WTgeometry_findextents(o->geometry, nullptr, nullptr);
  revisitpolys(o->geometry, fabsf(factor) < 1.0f);
  _WTnode_changed(_WTobject_getnode(o));
  return 1;
}

int WTobject_stretch(WTobject *object, const WTp3 factors, const WTp3 centre, int frame) {
  if (!factors || !centre || stretchrefused(object, factors, frame)) return 0;
  WTobject *o = object;
  WTp3 c;
  copy3(centre, c);
  bool shrink = false;
  for (int i = 0; i < 3; i++) shrink = shrink || fabsf(factors[i]) < 1.0f;
  o->flags |= WTO_MOVED;
  _WTuniverse_scenechanged();
  _WTobject_checkmoved(o);
  _WTobject_bake(o, 0);
  WTm3 m;
  stretchmatrix(o, factors, frame, m);
  _WTp3_xformabout(o->pose.p, m, c);
  setreferencetocurrent(o);
  WTp3 lo, hi;
  stretchvertices(o->geometry, m, c, lo, hi);
  geometrybox(o->geometry, lo, hi);
  for (WTp3 &corner : o->corners) _WTp3_xformabout(corner, m, c);
  reboundcorners(o);
  _WTp3_xformabout(o->pivot, m, c);
  revisitpolys(o->geometry, shrink);
  _WTnode_changed(_WTobject_getnode(o));
  return 1;
}

void _WTp3_scaleabout(WTp3 p, const WTp3 factors, const WTp3 centre) {
  for (int i = 0; i < 3; i++) p[i] = (p[i] - centre[i]) * factors[i] + centre[i];
}

void _WTp3_xformabout(WTp3 p, const WTm3 m, const WTp3 centre) {
  WTp3 d, r;
  sub3(p, centre, d);
  _WTp3_xformm3(d, m, r);
  add3(r, centre, p);
}
}
