// Poses relative to reference frames: conversions between a frame and the world, moving a pose
// by a delta, and the matrix of a pose under the universe's axis convention.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"

namespace {

void identityq(WTq q) {
  q[0] = q[1] = q[2] = 0.0f;
  q[3] = 1.0f;
}

void conj(const WTq q, WTq out) {
  out[0] = -q[0], out[1] = -q[1], out[2] = -q[2], out[3] = q[3];
}

WTm4 shared;

}  // namespace

extern "C" {

void _WTpq_identity(WTpq *pose) {
  if (!pose) return;
  memset(pose->p, 0, sizeof(WTp3));
  identityq(pose->q);
}

void _WTpq_toworld(const WTp3 p, const WTpq *f, WTp3 out) {
  if (!out) return;
  WTp3 r = {0, 0, 0};
  if (p) memcpy(r, p, sizeof r);
  if (f) {
    _WTq_rotatepoint(r, f->q, r);
    for (int i = 0; i < 3; i++) r[i] += f->p[i];
  }
  memcpy(out, r, sizeof r);
}

void _WTq_toworld(const WTq q, const WTpq *f, WTq out) {
  if (!out) return;
  WTq r;
  if (q)
    memcpy(r, q, sizeof r);
  else
    identityq(r);
  if (f) _WTq_multiply(r, f->q, r);
  memcpy(out, r, sizeof r);
}

void _WTpq_pose_toworld(const WTpq *pose, const WTpq *f, WTpq *out) {
  if (!out) return;
  _WTpq_toworld(pose ? pose->p : nullptr, f, out->p);
  _WTq_toworld(pose ? pose->q : nullptr, f, out->q);
}

void _WTpq_tolocal(const WTp3 p, const WTpq *f, WTp3 out) {
  if (!out) return;
  WTp3 r = {0, 0, 0};
  if (p) memcpy(r, p, sizeof r);
  if (f) {
    for (int i = 0; i < 3; i++) r[i] -= f->p[i];
    WTq c;
    conj(f->q, c);
    _WTq_rotatepoint(r, c, r);
  }
  memcpy(out, r, sizeof r);
}

void _WTq_tolocal(const WTq q, const WTpq *f, WTq out) {
  if (!out) return;
  WTq r;
  if (q)
    memcpy(r, q, sizeof r);
  else
    identityq(r);
  if (f) {
    WTq c;
    conj(f->q, c);
    _WTq_multiply(r, c, r);
  }
  memcpy(out, r, sizeof r);
}

void _WTpq_pose_tolocal(const WTpq *pose, const WTpq *f, WTpq *out) {
  if (!out) return;
  _WTpq_tolocal(pose ? pose->p : nullptr, f, out->p);
  _WTq_tolocal(pose ? pose->q : nullptr, f, out->q);
}

void _WTpq_convert(const WTp3 p, const WTpq *from, const WTpq *to, WTp3 out) {
  _WTpq_toworld(p, from, out);
  _WTpq_tolocal(out, to, out);
}

void _WTq_convert(const WTq q, const WTpq *from, const WTpq *to, WTq out) {
  _WTq_toworld(q, from, out);
  _WTq_tolocal(out, to, out);
}

void _WTpq_pose_convert(const WTpq *pose, const WTpq *from, const WTpq *to, WTpq *out) {
  _WTpq_pose_toworld(pose, from, out);
  _WTpq_pose_tolocal(out, to, out);
}

void _WTq_inframe(const WTq q, const WTq frame, WTq out) {
  if (!q || !frame || !out) return;
  WTq c, t;
  conj(frame, c);
  _WTq_multiply(c, q, t);
  _WTq_multiply(t, frame, out);
}

int _WTpq_move(WTpq *pose, const WTpq *delta, int frame) {
  if (!pose || !delta) return 0;
  WTp3 step;
  WTq dq;
  memcpy(dq, delta->q, sizeof dq);
  switch (frame) {
    case 0:
      _WTq_rotatepoint(delta->p, pose->q, step);
      _WTq_multiply(delta->q, pose->q, pose->q);
      break;
    case 1:
      memcpy(step, delta->p, sizeof step);
      _WTq_multiply(pose->q, delta->q, pose->q);
      break;
    case 2: {
      WTq v;
      identityq(v);
      WTviewpoint_getorientation(_WTuniverse_getviewpoint(), v);
      _WTq_rotatepoint(delta->p, v, step);
      _WTq_inframe(delta->q, v, dq);
      _WTq_multiply(pose->q, dq, pose->q);
      break;
    }
    default:
      return 0;
  }
  for (int i = 0; i < 3; i++) pose->p[i] += step[i];
  return 1;
}

float (*_WTpq_2m4axes(const WTpq *pose))[4] {
  WTpq p;
  if (pose)
    p = *pose;
  else
    _WTpq_identity(&p);
  int perm[3], target[3], sign[3];
  int n = _WTuniverse_getaxismapping(perm, target, sign);
  if (n > 0) {
    WTp3 mapped;
    memcpy(mapped, p.p, sizeof mapped);
    for (int k = 0; k < n; k++)
      if (perm[k] >= 0 && perm[k] < 3 && target[k] >= 0 && target[k] < 3)
        mapped[target[k]] = sign[k] ? -p.p[perm[k]] : p.p[perm[k]];
    memcpy(p.p, mapped, sizeof mapped);
    WTq axes;
    _WTuniverse_getaxes(axes);
    _WTq_multiply(p.q, axes, p.q);
  }
  _WTpq_2m4(&p, shared);
  return shared;
}

// ---- Viewpoints relative to a frame --------------------------------------------------------

int _WTpq_viewpoint_getpose(WTviewpoint *v, const WTpq *f, WTpq *out) {
  if (!v || !out) return 0;
  WTpq world;
  WTviewpoint_getposition(v, world.p);
  WTviewpoint_getorientation(v, world.q);
  _WTpq_pose_tolocal(&world, f, out);
  return 1;
}

int _WTpq_viewpoint_setpose(WTviewpoint *v, const WTpq *pose, const WTpq *f) {
  if (!v || !pose) return 0;
  WTpq world;
  _WTpq_pose_toworld(pose, f, &world);
  return WTviewpoint_setposition(v, world.p) && WTviewpoint_setorientation(v, world.q);
}

int _WTpq_viewpoint_translate(WTviewpoint *v, const WTp3 d, const WTpq *f) {
  if (!v || !d) return 0;
  WTp3 p, step = {d[0], d[1], d[2]};
  if (f) _WTq_rotatepoint(d, f->q, step);
  WTviewpoint_getposition(v, p);
  for (int i = 0; i < 3; i++) p[i] += step[i];
  return WTviewpoint_setposition(v, p);
}
}
