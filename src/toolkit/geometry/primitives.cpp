// Primitive shapes built through the construction protocol: centred on the origin, about the y
// axis, every face wound counter-clockwise seen from outside.
#include <math.h>
#include <string.h>

#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

namespace {

constexpr float small = 0.004f;

float theta(int i, int n) { return static_cast<float>(i) * (6.2831855f / static_cast<float>(n)); }

void vertex(WTgeometry *g, float x, float y, float z, const float *normal = nullptr) {
  WTp3 p = {x, y, z};
  WTvertex *v = WTgeometry_newvertex(g, p);
  if (normal) _WTvertex_setnormal(v, normal);
}

// One polygon of the construction indices, in order.
void face(WTgeometry *g, const std::vector<int> &indices, int bothsides) {
  WTpoly *p = WTgeometry_beginpoly(g);
  for (int i : indices) WTpoly_addvertex(p, i);
  if (!WTpoly_close(p)) {
    _WTpoly_cancel(p);
    return;
  }
  if (bothsides) WTpoly_setbothsides(p, 1);
}

std::vector<int> range(int from, int to) { // inclusive, either direction
  std::vector<int> r;
  for (int i = from;; i += from <= to ? 1 : -1) {
    r.push_back(i);
    if (i == to) break;
  }
  return r;
}

WTgeometry *finish(WTgeometry *g, const char *name) {
  if (!WTgeometry_close(g)) return nullptr;
  WTgeometry_setname(g, name);
  return g;
}

// Rings of the sphere builder.
struct Sphere {
  float r;
  int divisions, m;
  bool half;
};

WTgeometry *buildsphere(const Sphere &s, int bothsides, int gouraud, const char *name) {
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  vertex(g, 0, -s.r, 0);
  if (!s.half) vertex(g, 0, s.r, 0);
  int start = s.half ? 1 : 2;
  double dphi = 3.1415927f / double(s.divisions), dtheta = 6.2831854820251465 / s.m;
  int rings = s.half ? s.divisions / 2 : s.divisions - 1;
  double phi = 0;
  for (int k = 0; k < rings; k++) {
    phi += dphi;
    double th = 0;
    for (int j = 0; j < s.m; j++, th += dtheta)
      vertex(g, float(s.r * sin(phi) * cos(th)), float(-s.r * cos(phi)), float(s.r * sin(phi) * sin(th)));
  }
  if (gouraud)
    for (WTvertex *v = g->vertices; v; v = v->next) v->flags |= WTV_SMOOTH;
  for (int j = 0; j < s.m; j++) face(g, {0, start + j, start + (j + 1) % s.m}, bothsides);
  int bands = s.half ? s.divisions / 2 - 1 : s.divisions - 2;
  for (int k = 0; k < bands; k++) {
    int q = start + k * s.m;
    for (int j = 0; j < s.m; j++)
      face(g, {q + (j + 1) % s.m, q + j, q + j + s.m, q + (j + 1) % s.m + s.m}, bothsides);
  }
  if (!s.half) {
    int q = start + (s.divisions - 2) * s.m;
    for (int j = 0; j < s.m; j++) face(g, {1, q + (j + 1) % s.m, q + j}, bothsides);
  }
  return finish(g, name);
}

// Drops points within the tolerance of their successor (the pair last-first is not tested).
int mergeclose(WTp2 *pts, int n) {
  for (int i = 0; i < n - 1;) {
    float dx = pts[i + 1][0] - pts[i][0], dz = pts[i + 1][1] - pts[i][1];
    if (sqrtf(dx * dx + dz * dz) <= small) {
      memmove(pts + i + 1, pts + i + 2, sizeof(WTp2) * size_t(n - i - 2));
      n--;
    } else {
      i++;
    }
  }
  return n;
}

// Reverses a clockwise outline (seen from +y) in place.
void orient(WTp2 *pts, int n) {
  double sy = 0;
  for (int i = 1; i < n; i++) {
    const float *a = pts[(i + 1) % n], *b = pts[i], *o = pts[0];
    double ax = a[0] - b[0], az = a[1] - b[1], ox = o[0] - b[0], oz = o[1] - b[1];
    sy += az * ox - ax * oz; // y of (a - b) x (o - b)
  }
  if (sy >= 0) return;
  for (int i = 0, j = n - 1; i < j; i++, j--) {
    WTp2 t = {pts[i][0], pts[i][1]};
    memcpy(pts[i], pts[j], sizeof(WTp2));
    memcpy(pts[j], t, sizeof(WTp2));
  }
}

void unit(float *v) {
  float l = sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (l > 0)
    for (int i = 0; i < 3; i++) v[i] /= l;
}

// Outward normal of the edge that ends at point i.
void edgenormal(const WTp2 *pts, int n, int i, float *out) {
  const float *a = pts[(i + n - 1) % n], *b = pts[i];
  float e[3] = {b[0] - a[0], 0, b[1] - a[1]};
  out[0] = -e[2]; // (0, -1, 0) x e
  out[1] = 0;
  out[2] = e[0];
  unit(out);
}

}  // namespace

extern "C" {

WTgeometry *WTgeometry_newcylinder(float height, float radius, int tess, int bothsides,
                                   int gouraud) {
  if (fabsf(height) < small || fabsf(radius) < small || tess < 3) return nullptr;
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  int n = tess;
  for (int pass = 0; pass < (gouraud ? 2 : 1); pass++)
    for (float y : {height / 2, -height / 2})
      for (int i = 0; i < n; i++) {
        float c = cosf(theta(i, n)), s = sinf(theta(i, n)), normal[3] = {c, 0, s};
        vertex(g, radius * c, y, radius * s, pass ? normal : nullptr);
      }
  face(g, range(n - 1, 0), bothsides);
  face(g, range(n, 2 * n - 1), bothsides);
  int b = gouraud ? 2 * n : 0;
  for (int i = 0; i < n; i++)
    _WTgeometry_addpoly4(g, b + i, b + (i + 1) % n, b + n + (i + 1) % n, b + n + i, bothsides);
  return finish(g, "cylinder");
}

WTgeometry *WTgeometry_newblock(float x, float y, float z, int bothsides) {
  if (fabsf(x) < small || fabsf(y) < small || fabsf(z) < small) return nullptr;
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  for (int k = 0; k < 8; k++)
    vertex(g, (k & 4 ? -x : x) / 2, (k & 2 ? -y : y) / 2, (k & 1 ? -z : z) / 2);
  const int faces[6][4] = {{6, 2, 0, 4}, {2, 3, 1, 0}, {3, 7, 5, 1},
                           {7, 6, 4, 5}, {0, 1, 5, 4}, {6, 7, 3, 2}};
  for (const auto &f : faces) _WTgeometry_addpoly4(g, f[0], f[1], f[2], f[3], bothsides);
  return finish(g, "block");
}

WTgeometry *WTgeometry_newcone(float height, float radius, int tess, int bothsides) {
  if (fabsf(height) < small || fabsf(radius) < small || tess < 3) return nullptr;
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  int n = tess;
  for (int i = 0; i < n; i++)
    vertex(g, radius * sinf(theta(i, n)), height / 2, radius * cosf(theta(i, n)));
  face(g, range(0, n - 1), bothsides);
  vertex(g, 0, -height / 2, 0);
  for (int i = 0; i < n; i++) _WTgeometry_addpoly3(g, i, n, (i + 1) % n, bothsides);
  return finish(g, "cone");
}

WTgeometry *WTgeometry_newsphere(float radius, int latitude, int longitude, int bothsides,
                                 int gouraud) {
  if (fabsf(radius) < small || latitude < 2 || longitude < 3) return nullptr;
  return buildsphere({radius, latitude, longitude, false}, bothsides, gouraud, "sphere");
}

WTgeometry *WTgeometry_newhemisphere(float radius, int latitude, int longitude, int bothsides,
                                     int gouraud) {
  if (fabsf(radius) < small || latitude < 2 || longitude < 3) return nullptr;
  return buildsphere({radius, 2 * latitude, longitude, true}, bothsides, gouraud, "hemisphere");
}

WTgeometry *WTgeometry_newextrusion(WTp2 *points, int count, float height, int bothsides,
                                    int gouraud) {
  if (!points || count < 3 || height <= small) return nullptr;
  int n = mergeclose(points, count);
  if (n < 3) return nullptr;
  orient(points, n);
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  std::vector<float> normals(3 * size_t(n));
  for (int i = 0; i < n; i++) {
    float a[3], b[3];
    edgenormal(points, n, i, a);
    edgenormal(points, n, (i + 1) % n, b);
    float *v = &normals[3 * size_t(i)];
    v[0] = (a[0] + b[0]) / 2, v[1] = 0, v[2] = (a[2] + b[2]) / 2;
    unit(v);
  }
  for (int pass = 0; pass < (gouraud ? 2 : 1); pass++) {
    for (int i = n - 1; i >= 0; i--)
      vertex(g, points[i][0], -height / 2, points[i][1], pass ? &normals[3 * size_t(i)] : nullptr);
    for (int i = 0; i < n; i++)
      vertex(g, points[i][0], height / 2, points[i][1], pass ? &normals[3 * size_t(i)] : nullptr);
  }
  face(g, range(0, n - 1), bothsides);
  face(g, range(n, 2 * n - 1), bothsides);
  int b = gouraud ? 2 * n : 0;
  for (int i = 0; i < n; i++) {
    int j = i + 2 > n ? (i + 2) % n : i + 2;
    _WTgeometry_addpoly4(g, b + (i + 1) % n, b + i, b + 2 * n - (i + 1), b + 2 * n - j, bothsides);
  }
  return finish(g, "extrusion");
}

WTgeometry *WTgeometry_newtruncone(float height, float bottom, float top, int tess,
                                   int bothsides, int gouraud) {
  if (height < small || fabsf(bottom) < small || fabsf(top) < small || tess < 3) return nullptr;
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  int n = tess;
  float alpha = atanf((bottom - top) / height), s = sinf(alpha), c = fabsf(cosf(alpha));
  for (int pass = 0; pass < (gouraud ? 2 : 1); pass++)
    for (int ring = 0; ring < 2; ring++) {
      float r = ring ? top : bottom, y = ring ? height / 2 : -height / 2;
      for (int i = 0; i < n; i++) {
        float ct = cosf(theta(i, n)), st = sinf(theta(i, n)), normal[3] = {c * ct, s, c * st};
        vertex(g, r * ct, y, r * st, pass ? normal : nullptr);
      }
    }
  face(g, range(0, n - 1), bothsides);
  face(g, range(2 * n - 1, n), bothsides);
  int b = gouraud ? 2 * n : 0;
  for (int i = 0; i < n; i++)
    _WTgeometry_addpoly4(g, b + (i + 1) % n, b + i, b + n + i, b + n + (i + 1) % n, bothsides);
  return finish(g, "trunc_cone");
}

WTgeometry *WTgeometry_newrectangle(float height, float width, int bothsides) {
  if (height <= small || width <= small) return nullptr;
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  const WTp3 pts[4] = {{width / 2, height / 2, 0},
                       {width / 2, -height / 2, 0},
                       {-width / 2, -height / 2, 0},
                       {-width / 2, height / 2, 0}};
  _WTgeometry_newpolyfrompoints(g, pts, 4, bothsides);
  return finish(g, "rectangle");
}
}
