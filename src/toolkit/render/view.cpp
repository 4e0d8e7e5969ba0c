// A window's view and projection matrices for one eye, point projection and zoom to fit.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/context.h"
#include "toolkit/render/view.h"

namespace {

struct Effective {
  int projection;
  float hither, yon, tangent;
};

Effective effective(WTwindow *w, WTviewpoint *v) {
  Effective e = {w->projection, w->hither, w->yon, w->viewtangent};
  if (v) {
    if (v->overrides[0]) e.projection = v->projection;
    if (v->overrides[1]) e.hither = v->hither;
    if (v->overrides[2]) e.yon = v->yon;
    if (v->overrides[3]) e.tangent = v->viewtangent;
  }
  return e;
}

void axes(const float *q, WTp3 X, WTp3 Y, WTp3 Z) {
  float x = q[0], y = q[1], z = q[2], w = q[3];
  X[0] = 1 - 2 * (y * y + z * z), X[1] = 2 * (x * y - w * z), X[2] = 2 * (x * z + w * y);
  Y[0] = 2 * (x * y + w * z), Y[1] = 1 - 2 * (x * x + z * z), Y[2] = 2 * (y * z - w * x);
  Z[0] = 2 * (x * z - w * y), Z[1] = 2 * (y * z + w * x), Z[2] = 1 - 2 * (x * x + y * y);
}

float dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void eyepose(WTviewpoint *v, int eye, WTp3 p, WTq q) {
  memcpy(p, v->position, sizeof(WTp3));
  memcpy(q, v->orientation, sizeof(WTq));
  if (eye != 1 || v->eyemode == -1) return;
  WTq r;
  if (v->eyemode == 1) {
    for (int i = 0; i < 3; i++) p[i] += v->eyeoffset[i];
    _WTq_multiply(q, v->eyerotation, r);
  } else {
    WTp3 d;
    _WTq_rotatepoint(v->eyeoffset, q, d);
    for (int i = 0; i < 3; i++) p[i] += d[i];
    _WTq_multiply(v->eyerotation, q, r);
  }
  memcpy(q, r, sizeof(WTq));
}

void sideplane(float *plane, float a, float b, float c) {
  float len = sqrtf(a * a + b * b + c * c);
  if (len > 0.0f) a /= len, b /= len, c /= len;
  plane[0] = a, plane[1] = b, plane[2] = c, plane[3] = 0.0f;
}

}  // namespace

extern "C" {

int _WTwindow_modeknown(uint32_t mode) {
  switch (mode) {
    case 1: case 4: case 8: case 32: case 0x1000: case 0x3000: case 0x5000: case 0x7000:
      return 1;
    default:
      return 0;
  }
}

WTviewpoint *_WTwindow_eyeviewpoint(WTwindow *window, int *eye) {
  if (window->displaymode == 1) {
    *eye = window->eye;
    return window->viewpoint;
  }
  if (*eye == 1 && window->viewpoint2) return window->viewpoint2;
  return window->viewpoint;
}

int _WTwindow_effectiveprojection(WTwindow *window) {
  return effective(window, window->viewpoint).projection;
}

int _WTwindow_getviewmatrix(WTwindow *window, int eye, WTm4 m) {
  WTviewpoint *v = window ? _WTwindow_eyeviewpoint(window, &eye) : nullptr;
  if (!v) return 0;
  WTp3 p, X, Y, Z;
  WTq q;
  eyepose(v, eye, p, q);
  axes(q, X, Y, Z);
  for (int r = 0; r < 3; r++) m[r][0] = X[r], m[r][1] = -Y[r], m[r][2] = -Z[r], m[r][3] = 0.0f;
  if (eye == 1 && v->eyemode == -1)
    for (int i = 0; i < 3; i++) p[i] += v->parallax * X[i];
  m[3][0] = -dot(p, X), m[3][1] = dot(p, Y), m[3][2] = dot(p, Z), m[3][3] = 1.0f;
  return 1;
}

void _WTm4_frustum(WTm4 m, float left, float right, float top, float bottom, float n, float f,
                   float shift) {
  memset(m, 0, sizeof(WTm4));
  m[0][0] = 2.0f / (left + right);
  m[2][0] = (right - left) / (left + right) + shift;
  m[1][1] = 2.0f / (top + bottom);
  m[2][1] = (top - bottom) / (top + bottom);
  m[2][2] = (n + f) / (n - f);
  m[3][2] = 2.0f * f * n / (n - f);
  m[2][3] = -1.0f;
}

void _WTm4_ortho(WTm4 m, float left, float right, float top, float bottom, float n, float f) {
  memset(m, 0, sizeof(WTm4));
  m[0][0] = 2.0f / (right - left);
  m[3][0] = (right + left) / (left - right);
  m[1][1] = 2.0f / (top - bottom);
  m[3][1] = (top + bottom) / (bottom - top);
  m[2][2] = 2.0f / (n - f);
  m[3][2] = (f + n) / (n - f);
  m[3][3] = 1.0f;
}

int _WTwindow_getprojmatrix(WTwindow *window, int eye, WTm4 m, float *planes, float *cull) {
  WTviewpoint *v = window ? _WTwindow_eyeviewpoint(window, &eye) : nullptr;
  WTwindow *p = _WTwindow_liveparent(window);
  if (!v || !p) return 0;
  int vw = static_cast<int>(p->width * window->viewport[1]);
  int vh = static_cast<int>(p->height * window->viewport[3]);
  if (vw < 1) vw = 1;
  if (vh < 1) vh = 1;
  window->aspect = vw * v->aspect / vh;
  Effective e = effective(window, v);
  float t = e.tangent, tv = t / window->aspect;
  float s = (eye == 1 ? 1.0f : -1.0f) * v->convergenceineffect / (vw * 0.5f);
  float left = t, right = t, top = tv, bottom = tv, n = e.hither, f = e.yon;
  float pl[4][4];
  const float *fr = window->frustum[eye];
  if (e.projection == 2) {
    float d = 0.5f * v->parallax / v->convergencedist;
    left = eye == 1 ? t + d : t - d;
    right = eye == 1 ? t - d : t + d;
  } else if (e.projection == 3) {
    left = -fr[0] / fr[4], right = fr[1] / fr[4], top = fr[2] / fr[4], bottom = -fr[3] / fr[4];
    n = fr[4], f = fr[5];
  }
  if (e.projection != 1 && e.projection != 2 && e.projection != 3) {
    n = fr[4], f = fr[5];
    _WTm4_ortho(m, fr[0], fr[1], fr[2], fr[3], n, f);
    float o[4][4] = {{1, 0, 0, -fr[0]}, {-1, 0, 0, fr[1]}, {0, -1, 0, -fr[3]}, {0, 1, 0, fr[2]}};
    memcpy(pl, o, sizeof pl);
  } else {
    _WTm4_frustum(m, left, right, top, bottom, n, f, s);
    sideplane(pl[0], n, 0.0f, left * n);
    sideplane(pl[1], -n, 0.0f, right * n);
    sideplane(pl[2], 0.0f, -n, bottom * n);
    sideplane(pl[3], 0.0f, n, top * n);
  }
  if (planes) memcpy(planes, pl, sizeof pl);
  if (cull) {
    cull[0] = n, cull[1] = f;
    for (int i = 0; i < 4; i++) {
      cull[2 + 4 * i] = pl[i][0], cull[3 + 4 * i] = -pl[i][1];
      cull[4 + 4 * i] = -pl[i][2], cull[5 + 4 * i] = pl[i][3];
    }
  }
  return 1;
}

int _WTwindow_getviewportpixels(WTwindow *window, int eye, int *rect) {
  WTwindow *p = _WTwindow_liveparent(window);
  if (!p || !_WTwindow_modeknown(window->displaymode)) return 0;
  float W = static_cast<float>(p->width), H = static_cast<float>(p->height);
  rect[0] = static_cast<int>(W * window->viewport[0]);
  rect[1] = static_cast<int>(W * window->viewport[1]);
  rect[2] = static_cast<int>(H * window->viewport[2]);
  rect[3] = static_cast<int>(H * window->viewport[3]);
  if (window->displaymode == 4) {
    WTrendercontext *rc = _WTrender_context();
    int g = rc ? rc->splitgap : 18, half = (rect[3] - g) / 2;
    rect[3] = half;
    if (eye == 0) rect[2] += half + g;
  }
  return 1;
}

int WTwindow_projectpoint(WTwindow *window, int eye, const WTp3 point, float *pixel) {
  if (pixel) pixel[0] = pixel[1] = 0.0f;
  if (!window || !point || !pixel || !_WTwindow_modeknown(window->displaymode)) return 0;
  int e = window->displaymode == 1 ? window->eye : eye;
  uint32_t key = static_cast<uint32_t>(e) | 4u;
  if (window->projkey != key) {
    WTm4 view, proj;
    if (!_WTwindow_getprojmatrix(window, e, proj, nullptr, nullptr) ||
        !_WTwindow_getviewmatrix(window, e, view))
      return 0;
    _WTm4_multiply(view, proj, window->projmatrix);
    window->projkey = key;
  }
  float c[4];
  for (int j = 0; j < 4; j++)
    c[j] = point[0] * window->projmatrix[0][j] + point[1] * window->projmatrix[1][j] +
           point[2] * window->projmatrix[2][j] + window->projmatrix[3][j];
  if (!(c[3] > 0.0f)) return 0;
  int rect[4];
  if (!_WTwindow_getviewportpixels(window, eye, rect)) return 0;
  pixel[0] = (1.0f + c[0] / c[3]) * 0.5f * rect[1] + rect[0];
  pixel[1] = (1.0f + c[1] / c[3]) * 0.5f * rect[3] + rect[2];
  return -c[3] < c[0] && c[0] < c[3] && -c[3] < c[1] && c[1] < c[3] && -c[3] < c[2] && c[2] < c[3];
}

void WTwindow_zoomtonode(WTwindow *window, WTnode *node, int index) {
  if (!window || !node || !window->viewpoint || index < 0) return;
  float r = WTnode_getradius(node);
  if (r < 0.004f) return;
  WTp3 m;
  WTnode_getmidpoint(node, m);
  if (WTnode_gettype(node) != WTNODE_ROOT) {
    WTnodepath *path = _WTnodepath_new(node, window->root, index);
    if (!path) return;
    WTm4 x;
    _WTnodepath_gettransform(path, x);
    WTp3 t;
    _WTp3_xformm4(m, x, t);
    memcpy(m, t, sizeof t);
    _WTnodepath_delete(path);
  }
  if (window->width == 0 || window->height == 0) return;
  float a = WTwindow_getviewangle(window);
  if (window->height < window->width) a = window->height * a / window->width;
  float d = r / tanf(a);
  WTviewpoint *v = window->viewpoint;
  WTp3 p = {m[0] - d * v->direction[0], m[1] - d * v->direction[1], m[2] - d * v->direction[2]};
  WTviewpoint_setposition(v, p);
  if (window->projection != 4) return;
  float *f = window->frustum[0];
  float wf = f[1] - f[0], hf = f[2] - f[3], ratio = hf / wf, R = r * 1.4142135f;
  if (wf >= hf)
    WTwindow_setfrustum(window, 0, -R / ratio, R / ratio, -R, R, f[4], f[5]);
  else
    WTwindow_setfrustum(window, 0, -R, R, -R * ratio, R * ratio, f[4], f[5]);
}

void WTwindow_zoomtofit(WTwindow *window) {
  if (window) WTwindow_zoomtonode(window, window->root, 0);
}
}
