// Moving viewpoints: directions and axes, whole poses, the frusta of the windows looking through
// them, zooming to the scene, and the motion a sensor gives them through a motion link.
#include <math.h>
#include <string.h>

#include "toolkit/core/motion.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/render.h"
#include "toolkit/render/view.h"

namespace {

const float kTiny = 0.004f;

void conj(const WTq q, WTq out) { out[0] = -q[0], out[1] = -q[1], out[2] = -q[2], out[3] = q[3]; }

float dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The direction made a unit vector when its length is off by the tolerance; false when it is
// too short to have one.
bool unitdirection(const WTp3 in, WTp3 out) {
  float length = sqrtf(dot(in, in));
  if (length < kTiny) return false;
  float scale = fabsf(length - 1.0f) >= kTiny ? 1.0f / length : 1.0f;
  for (int i = 0; i < 3; i++) out[i] = in[i] * scale;
  return true;
}

// The shortest turn taking direction a onto direction b (both unit length), in the form
// _WTq_rotatepoint applies.
void shortestturn(const WTp3 a, const WTp3 b, WTq r) {
  WTp3 axis;
  _WTp3_cross(a, b, axis);
  float w = 1.0f + dot(a, b);
  if (w < 1e-6f) {
    // Opposite directions: half a turn about any axis square to a.
    WTp3 other = {fabsf(a[0]) < 0.9f ? 1.0f : 0.0f, fabsf(a[0]) < 0.9f ? 0.0f : 1.0f, 0.0f};
    _WTp3_cross(a, other, axis);
    w = 0.0f;
  }
  r[0] = -axis[0], r[1] = -axis[1], r[2] = -axis[2], r[3] = w;
  float n = sqrtf(dot(r, r) + w * w);
  for (int i = 0; i < 4; i++) r[i] /= n;
}

// Turns the viewpoint so that the image of its axis (its current direction "from") points
// along "to".
int turnonto(WTviewpoint *v, const WTp3 from, const WTp3 to) {
  WTq r, q;
  shortestturn(from, to, r);
  _WTq_multiply(v->orientation, r, q);
  return WTviewpoint_setorientation(v, q);
}

void posechanged(WTviewpoint *v) {
  _WTq_2dir(v->orientation, v->direction);
  _WTuniverse_scenechanged();
}

bool bothagree(WTviewpoint *v) {
  return WTproperty_firehandlers_pre(v, "Position") && WTproperty_firehandlers_pre(v, "Orientation");
}

void postpose(WTviewpoint *v) {
  WTproperty_firehandlers(v, "Position", v->position);
  WTproperty_firehandlers(v, "Orientation", v->orientation);
}

template <typename Fn>
void eachwindowof(WTviewpoint *v, Fn fn) {
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (w->viewpoint == v && fn(w)) return;
}

// ---- Sensor motion ------------------------------------------------------------------------------

// The angle of (z, second) from +z toward +second, in [0, 2 pi).
float constraintangle(float z, float second) {
  if (z == 0.0f) {
    if (second > 0.0f) return WTPI_2;
    return second < 0.0f ? 3.0f * WTPI_2 : 0.0f;
  }
  float a = atanf(second / z);
  if (z > 0.0f) return second < 0.0f ? a + WT2PI : a;
  if (second > 0.0f) return WTPI - fabsf(a);
  if (second < 0.0f) return a + WTPI;
  return WTPI;
}

void constrainorientation(WTq q, const WTmotionlink *l) {
  if (!l->nconstraints || !l->constraints) return;
  WTp3 d;
  float roll;
  _WTq_2dirroll(q, d, &roll);
  float r = -roll;
  for (int i = 0; i < l->nconstraints; i++) {
    const WTconstraint &c = l->constraints[i];
    if (c.kind == 8)
      _WTp3_constrainangle(d, 0, c.min, c.max, constraintangle(d[2], d[1]));
    else if (c.kind == 16)
      _WTp3_constrainangle(d, 1, c.min, c.max, constraintangle(d[2], d[0]));
    else if (c.kind == 32)
      r = r > c.max ? c.max : (r < c.min ? c.min : r);
  }
  _WTdirroll_2q(d, r, q);
}

void constrainposition(WTp3 t, const WTp3 p, const WTmotionlink *l) {
  if (!l->nconstraints || !l->constraints) return;
  WTp3 n = {p[0] + t[0], p[1] + t[1], p[2] + t[2]};
  for (int i = 0; i < l->nconstraints; i++) {
    const WTconstraint &c = l->constraints[i];
    int k = c.kind == 1 ? 0 : c.kind == 2 ? 1 : c.kind == 4 ? 2 : -1;
    if (k < 0) continue;
    if (n[k] < c.min) t[k] = c.min - p[k];
    if (n[k] > c.max) t[k] = c.max - p[k];
  }
}

// The sensor's record turned into the frame the link works in: rotation delta and translation.
void sensordelta(const WTsensor *s, WTq d, WTp3 t) {
  WTq r, c, m;
  memcpy(r, s->lastrotation, sizeof r);
  if (s->referenceinuse) {
    conj(s->reference, c);
    _WTq_multiply(s->reference, r, m);
    _WTq_multiply(m, c, r);
  }
  conj(r, c);
  _WTq_multiply(r, s->rotation, m);
  _WTq_multiply(m, c, d);
  _WTq_rotatepoint(s->translation, c, t);
}

void turnviewpoint(WTviewpoint *v, WTmotionlink *l, const WTq d) {
  bool own = l->frame == 1;
  WTq candidate;
  if (l->mode == 1) {
    own ? _WTq_multiply(v->orientation, d, candidate) : _WTq_multiply(d, v->orientation, candidate);
    constrainorientation(candidate, l);
    memcpy(v->orientation, candidate, sizeof(WTq));
    return;
  }
  if (memcmp(v->position, l->offset.p, sizeof(WTp3)) != 0) {
    memcpy(l->offset.p, v->position, sizeof(WTp3));
    memcpy(l->offset.q, v->orientation, sizeof(WTq));
  }
  WTq c, q;
  conj(l->offset.q, c);
  _WTq_multiply(v->orientation, c, q);
  own ? _WTq_multiply(q, d, candidate) : _WTq_multiply(d, q, candidate);
  constrainorientation(candidate, l);
  _WTq_multiply(candidate, l->offset.q, v->orientation);
}

void moveviewpoint(WTviewpoint *v, WTmotionlink *l, WTp3 t) {
  bool local = l->frame == 0 || l->frame == 2;
  if (l->mode == 1 || !local) {
    if (l->mode == 1 && local) _WTq_rotatepoint(t, v->orientation, t);
    constrainposition(t, v->position, l);
    for (int i = 0; i < 3; i++) v->position[i] += t[i];
    return;
  }
  WTp3 relative = {v->position[0] - l->offset.p[0], v->position[1] - l->offset.p[1],
                   v->position[2] - l->offset.p[2]};
  constrainposition(t, relative, l);
  _WTq_rotatepoint(t, v->orientation, t);
  for (int i = 0; i < 3; i++) v->position[i] = relative[i] + t[i] + l->offset.p[i];
}

bool isrest(const WTsensor *s) {
  return s->translation[0] == 0.0f && s->translation[1] == 0.0f && s->translation[2] == 0.0f &&
         s->rotation[0] == 0.0f && s->rotation[1] == 0.0f && s->rotation[2] == 0.0f &&
         s->rotation[3] == 1.0f;
}

}  // namespace

extern "C" {

WTAPI int WTviewpoint_setdirection(WTviewpoint *viewpoint, const WTp3 direction) {
  WTp3 d;
  if (!viewpoint || !direction || !unitdirection(direction, d)) return 0;
  WTp3 from;
  memcpy(from, viewpoint->direction, sizeof from);
  return turnonto(viewpoint, from, d);
}

WTAPI void _WTviewpoint_getaxis(WTviewpoint *viewpoint, int axis, WTp3 out) {
  if (!out) return;
  memset(out, 0, sizeof(WTp3));
  if (!viewpoint || axis < 0 || axis > 2) return;
  WTp3 unit = {0.0f, 0.0f, 0.0f};
  unit[axis] = 1.0f;
  _WTq_rotatepoint(unit, viewpoint->orientation, out);
}

WTAPI int _WTviewpoint_alignaxis(WTviewpoint *viewpoint, int axis, const WTp3 direction) {
  if (!viewpoint || !direction || axis < 0 || axis > 2) return 0;
  if (fabsf(direction[0]) < kTiny && fabsf(direction[1]) < kTiny && fabsf(direction[2]) < kTiny)
    return 0;
  WTp3 d, from;
  if (!unitdirection(direction, d)) return 0;
  _WTviewpoint_getaxis(viewpoint, axis, from);
  return turnonto(viewpoint, from, d);
}

WTAPI void _WTviewpoint_world2local(WTviewpoint *viewpoint, WTp3 point) {
  if (!viewpoint || !point) return;
  WTp3 p = {point[0] - viewpoint->position[0], point[1] - viewpoint->position[1],
            point[2] - viewpoint->position[2]};
  WTq c;
  conj(viewpoint->orientation, c);
  _WTq_rotatepoint(p, c, point);
}

WTAPI void _WTviewpoint_local2world(WTviewpoint *viewpoint, WTp3 point) {
  if (!viewpoint || !point) return;
  _WTq_rotatepoint(point, viewpoint->orientation, point);
  for (int i = 0; i < 3; i++) point[i] += viewpoint->position[i];
}

WTAPI int _WTviewpoint_movepose(WTviewpoint *viewpoint, const WTpq *delta, int frame) {
  if (!viewpoint || !delta || frame < 0 || frame > 2 || !bothagree(viewpoint)) return 0;
  WTp3 d;
  WTq q;
  if (frame == 1) {
    memcpy(d, delta->p, sizeof d);
    _WTq_multiply(viewpoint->orientation, delta->q, q);
  } else {
    _WTq_rotatepoint(delta->p, viewpoint->orientation, d);
    _WTq_multiply(delta->q, viewpoint->orientation, q);
  }
  for (int i = 0; i < 3; i++) viewpoint->position[i] += d[i];
  memcpy(viewpoint->orientation, q, sizeof q);
  posechanged(viewpoint);
  postpose(viewpoint);
  return 1;
}

WTAPI int _WTviewpoint_setpose(WTviewpoint *viewpoint, const WTpq *pose) {
  if (!viewpoint || !pose) return 0;
  if (memcmp(viewpoint->position, pose->p, sizeof(WTp3)) == 0 &&
      memcmp(viewpoint->orientation, pose->q, sizeof(WTq)) == 0)
    return 0;
  if (sqrtf(dot(pose->q, pose->q) + pose->q[3] * pose->q[3]) < kTiny || !bothagree(viewpoint))
    return 0;
  memcpy(viewpoint->position, pose->p, sizeof(WTp3));
  memcpy(viewpoint->orientation, pose->q, sizeof(WTq));
  posechanged(viewpoint);
  postpose(viewpoint);
  return 1;
}

WTAPI int _WTviewpoint_getframe(WTviewpoint *viewpoint, int eye, float *left, float *right,
                                float *bottom, float *top, float *hither, float *yon) {
  if (!viewpoint || eye < 0 || eye > 1) return 0;
  int found = 0;
  eachwindowof(viewpoint, [&](WTwindow *w) {
    const float *f = w->frustum[eye];
    if (left) *left = f[0];
    if (right) *right = f[1];
    if (top) *top = f[2];
    if (bottom) *bottom = f[3];
    if (hither) *hither = f[4];
    if (yon) *yon = f[5];
    return found = 1;
  });
  return found;
}

WTAPI void _WTviewpoint_setframe(WTviewpoint *viewpoint, int eye, float left, float right,
                                 float bottom, float top, float hither, float yon) {
  if (!viewpoint || eye < 0 || eye > 1) return;
  eachwindowof(viewpoint, [&](WTwindow *w) {
    float *f = w->frustum[eye];
    f[0] = left, f[1] = right, f[2] = top, f[3] = bottom;
    f[4] = hither > kTiny ? hither : kTiny, f[5] = yon;
    w->projkey = 0;
    return false;
  });
  _WTuniverse_scenechanged();
}

WTAPI void WTviewpoint_zoomall(WTviewpoint *viewpoint) {
  if (!viewpoint) return;
  WTobject **objects = _WTuniverse_objectslot();
  if (!objects || !*objects) {
    eachwindowof(viewpoint, [](WTwindow *w) {
      WTwindow_zoomtofit(w);
      return false;
    });
    return;
  }
  float radius = _WTuniverse_getradius();
  if (fabsf(radius) < kTiny) return;
  WTp3 m;
  _WTuniverse_getmidpoint(m);
  for (int i = 0; i < 3; i++) m[i] -= radius * viewpoint->direction[i];
  WTviewpoint_setposition(viewpoint, m);
}

WTAPI WTmotionlink *WTviewpoint_addsensor(WTviewpoint *viewpoint, WTsensor *sensor) {
  if (!viewpoint || !sensor) return nullptr;
  return _WTmotionlink_newsensor(sensor, viewpoint, 0, WTTARGET_VIEWPOINT);
}

WTAPI int _WTviewpoint_removesensor(WTviewpoint *viewpoint, WTsensor *sensor) {
  WTmotionlink **head = _WTuniverse_linkslot();
  for (WTmotionlink *l = head ? *head : nullptr; l; l = l->next)
    if (l->source == sensor && l->target == viewpoint && l->targettype == WTTARGET_VIEWPOINT)
      return _WTmotionlink_delete(l);
  return 0;
}

void _WTviewpoint_motionupdate(WTmotionlink *link) {
  WTviewpoint *v = static_cast<WTviewpoint *>(link->target);
  const WTsensor *s = static_cast<const WTsensor *>(link->source);
  if (!v || !s) return;
  if (!isrest(s)) {
    WTpq kept;
    memcpy(kept.p, v->position, sizeof kept.p);
    memcpy(kept.q, v->orientation, sizeof kept.q);
    WTq d;
    WTp3 t;
    sensordelta(s, d, t);
    turnviewpoint(v, link, d);
    moveviewpoint(v, link, t);
    if (!bothagree(v)) {
      memcpy(v->position, kept.p, sizeof kept.p);
      memcpy(v->orientation, kept.q, sizeof kept.q);
      return;
    }
    _WTuniverse_scenechanged();
  }
  posechanged(v);
  postpose(v);
}

}  // extern "C"
