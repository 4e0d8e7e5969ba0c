// Transform nodes: setting and reading the matrix, moving and turning in the node's own frame or
// its parent's.
#include <math.h>
#include <string.h>

#include "toolkit/core/node.h"

namespace {

const float kDegrees = 3.1415927410125732f / 180.0f;

typedef float M4[4][4];

WTnode *xformof(WTnode *node) {
  WTnode *n = _WTnode_resolvexform(node);
  return n && n->kind == WTNODE_XFORM ? n : nullptr;
}

void recomputekind(WTnode *n) {
  const M4 &m = n->u.xform.m;
  int k = 0;
  if (m[0][0] != 1.0f || m[1][1] != 1.0f || m[2][2] != 1.0f) k |= 1;
  if (m[3][0] != 0.0f || m[3][1] != 0.0f || m[3][2] != 0.0f) k |= 2;
  n->u.xform.xkind = k;
}

void markonce(WTnode *n) {
  if (!(n->flags & WTNF_CHANGED)) _WTnode_markchanged(n);
}

void getblock(const WTnode *n, WTm3 out) {
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out[i][j] = n->u.xform.m[i][j];
}

void setblock(WTnode *n, const float m[3][3]) {
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) n->u.xform.m[i][j] = m[i][j];
}

void postrotation(WTnode *caller, WTnode *n) {
  if (!_WTnode_haspost(caller, "Rotation")) return;
  WTm3 block;
  getblock(n, block);
  WTproperty_firehandlers(caller, "Rotation", block);
}

void identity(M4 m) {
  memset(m, 0, sizeof(M4));
  for (int i = 0; i < 4; i++) m[i][i] = 1.0f;
}

void axismatrix(int axis, float angle, M4 r) {
  identity(r);
  float c = cosf(angle), s = sinf(angle);
  int a = axis == 0 ? 1 : 0, b = axis == 2 ? 1 : 2;  // the plane the turn acts in
  if (axis == 1) {
    // Y = (c 0 -s; 0 1 0; s 0 c)
    r[0][0] = c, r[0][2] = -s, r[2][0] = s, r[2][2] = c;
    return;
  }
  r[a][a] = c, r[a][b] = s, r[b][a] = -s, r[b][b] = c;
}

// The rotation steps shared by the rotate family; `always` fires the post-event without asking
// whether a handler is registered.
int turn(WTnode *node, const M4 r, int frame, bool always = false) {
  if (!_WTnode_firepre(node, "Rotation")) return 0;
  WTnode *n = xformof(node);
  if (!n || (frame != WTFRAME_LOCAL && frame != WTFRAME_PARENT)) return 0;
  n->flags |= WTNF_CHANGED;
  M4 result;
  if (frame == WTFRAME_LOCAL)
    _WTm4_affine(r, n->u.xform.m, result);
  else
    _WTm4_affine(n->u.xform.m, r, result);
  memcpy(n->u.xform.m, result, sizeof result);
  n->u.xform.xkind |= 1;
  _WTnode_markchanged(n);
  if (always && _WTnode_getevents()) {
    WTm3 block;
    getblock(n, block);
    WTproperty_firehandlers(node, "Rotation", block);
  } else {
    postrotation(node, n);
  }
  return 1;
}

}  // namespace

extern "C" {

void _WTm4_affine(const float a[4][4], const float b[4][4], float out[4][4]) {
  M4 r;
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 3; j++) {
      float s = i == 3 ? b[3][j] : 0.0f;
      for (int k = 0; k < 3; k++) s += a[i][k] * b[k][j];
      r[i][j] = s;
    }
  r[0][3] = r[1][3] = r[2][3] = 0.0f;
  r[3][3] = 1.0f;
  memcpy(out, r, sizeof r);
}

void _WTnode_composexform(const WTnode *xform, float current[4][4], int *kind) {
  int k = xform->u.xform.xkind;
  if (k == 0) return;
  const M4 &m = xform->u.xform.m;
  if (k == 2) {
    float t[3];
    for (int j = 0; j < 3; j++)
      t[j] = current[3][j] + m[3][0] * current[0][j] + m[3][1] * current[1][j] + m[3][2] * current[2][j];
    for (int j = 0; j < 3; j++) current[3][j] = t[j];
  } else {
    _WTm4_affine(m, current, current);
  }
  *kind |= k;
}

int WTnode_settranslation(WTnode *node, const WTp3 p) {
  if (!node || !p) return 0;
  if (!_WTnode_firepre(node, "Translation")) return 0;
  WTnode *n = xformof(node);
  if (!n) return 0;
  for (int j = 0; j < 3; j++) n->u.xform.m[3][j] = p[j];
  recomputekind(n);
  markonce(n);
  _WTnode_firepost(node, "Translation", p);
  return 1;
}

int WTnode_gettranslation(WTnode *node, WTp3 p) {
  WTnode *n = xformof(node);
  if (!n || !p) return 0;
  for (int j = 0; j < 3; j++) p[j] = n->u.xform.m[3][j];
  return 1;
}

int WTnode_setrotation(WTnode *node, WTm3 m) {
  if (!node || !m) return 0;
  if (!_WTnode_firepre(node, "Rotation")) return 0;
  WTnode *n = xformof(node);
  if (!n) return 0;
  setblock(n, m);
  recomputekind(n);
  markonce(n);
  postrotation(node, n);
  return 1;
}

int WTnode_getrotation(WTnode *node, WTm3 m) {
  WTnode *n = xformof(node);
  if (!n || !m) return 0;
  getblock(n, m);
  return 1;
}

int WTnode_setorientation(WTnode *node, const WTq q) {
  if (!node || !q) return 0;
  if (!_WTnode_firepre(node, "Rotation")) return 0;
  WTnode *n = xformof(node);
  if (!n) return 0;
  WTm3 block;
  WTq_2m3(q, block);
  setblock(n, block);
  recomputekind(n);
  markonce(n);
  postrotation(node, n);
  return 1;
}

int WTnode_getorientation(WTnode *node, WTq q) {
  WTnode *n = xformof(node);
  if (!n || !q) return 0;
  WTpq pose;
  WTm4_2pq(n->u.xform.m, &pose);
  memcpy(q, pose.q, sizeof(WTq));
  return 1;
}

int WTnode_settransform(WTnode *node, WTm4 m) {
  WTnode *n = xformof(node);
  if (!n || !m) return 0;
  WTp3 oldt;
  WTm3 oldr;
  WTnode_gettranslation(node, oldt);
  WTnode_getrotation(node, oldr);
  bool tveto = !_WTnode_firepre(node, "Translation");
  bool rveto = !_WTnode_firepre(node, "Rotation");
  n->flags |= WTNF_CHANGED;
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 3; j++) n->u.xform.m[i][j] = m[i][j];
  recomputekind(n);
  _WTnode_markchanged(n);
  bool was = _WTnode_getevents();
  if (tveto) {
    _WTnode_setevents(0);
    WTnode_settranslation(node, oldt);
    _WTnode_setevents(was);
  } else if (_WTnode_haspost(node, "Translation")) {
    WTproperty_firehandlers(node, "Translation", m[3]);
  }
  if (rveto) {
    _WTnode_setevents(0);
    WTnode_setrotation(node, oldr);
    _WTnode_setevents(was);
  } else {
    postrotation(node, n);
  }
  return 1;
}

int WTnode_gettransform(WTnode *node, WTm4 m) {
  WTnode *n = xformof(node);
  if (!n || !m) return 0;
  memcpy(m, n->u.xform.m, sizeof(M4));
  return 1;
}

int WTnode_translate(WTnode *node, const WTp3 v, int frame) {
  if (!node || !v) return 0;
  if (!_WTnode_firepre(node, "Translation")) return 0;
  WTnode *n = xformof(node);
  if (!n || (frame != WTFRAME_LOCAL && frame != WTFRAME_PARENT)) return 0;
  M4 &m = n->u.xform.m;
  for (int j = 0; j < 3; j++)
    m[3][j] += frame == WTFRAME_PARENT ? v[j] : v[0] * m[0][j] + v[1] * m[1][j] + v[2] * m[2][j];
  n->u.xform.xkind |= 2;
  markonce(n);
  _WTnode_firepost(node, "Translation", m[3]);
  return 1;
}

int WTnode_axisrotation(WTnode *node, int axis, float radians, int frame) {
  if (axis < 0 || axis > 2) return 0;
  M4 r;
  axismatrix(axis, radians, r);
  return turn(node, r, frame);
}

int WTnode_rotateaxis(WTnode *node, int axis, float degrees, int frame) {
  return WTnode_axisrotation(node, axis, degrees * kDegrees, frame);
}

static void euler(float a, float b, float c, M4 r) {
  M4 y, x, z, yx;
  axismatrix(1, a, y);
  axismatrix(0, b, x);
  axismatrix(2, c, z);
  _WTm4_affine(y, x, yx);
  _WTm4_affine(yx, z, r);
}

int WTnode_rotate(WTnode *node, float a, float b, float c, int frame) {
  M4 r;
  euler(a * kDegrees, b * kDegrees, c * kDegrees, r);
  return turn(node, r, frame);
}

int WTnode_rotation(WTnode *node, float a, float b, float c, int frame) {
  M4 r;
  euler(a, b, c, r);
  return turn(node, r, frame, true);
}

int WTnode_rotateq(WTnode *node, const WTq q, int frame) {
  if (!q) return 0;
  M4 r;
  _WTq_2m4(q, r);
  return turn(node, r, frame);
}

int WTnode_rotatem3(WTnode *node, WTm3 m, int frame) {
  if (!m) return 0;
  M4 r;
  identity(r);
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) r[i][j] = m[i][j];
  return turn(node, r, frame);
}

int WTnode_rotatem4(WTnode *node, WTm4 m, int frame) {
  if (!m) return 0;
  return turn(node, m, frame);
}

int WTnode_removesensor(WTnode *node, WTsensor *sensor) {
  return node && sensor ? _WTuniverse_removemotionlink(sensor, node) : 0;
}
}
