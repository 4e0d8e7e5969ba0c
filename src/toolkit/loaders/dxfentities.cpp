// DXF entities into polygons of the block being read: lines with thickness, circles, arcs,
// solids, faces and polylines (flat, 3D, wide, with bulges, polyface and polygon meshes).
#include <math.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "toolkit/loaders/dxf.h"

namespace {

constexpr float kNear = 0.004f;
constexpr float kThin = 1e-7f;
constexpr float kPi = 3.1415927f;
constexpr size_t kMaxPoints = 512;

using Points = std::vector<WTdxfpoint>;

bool near(const WTdxfpoint &a, const WTdxfpoint &b) {
  return fabsf(a.x - b.x) < kNear && fabsf(a.y - b.y) < kNear && fabsf(a.z - b.z) < kNear;
}

WTdxfpoint add(const WTdxfpoint &a, const WTdxfpoint &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
WTdxfpoint sub(const WTdxfpoint &a, const WTdxfpoint &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
WTdxfpoint times(const WTdxfpoint &a, float s) { return {a.x * s, a.y * s, a.z * s}; }
WTdxfpoint cross(const WTdxfpoint &a, const WTdxfpoint &b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const WTdxfpoint &a, const WTdxfpoint &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The entity's object coordinate system: rows X, Y and the extrusion N.
struct Ocs {
  float r[3][3];
  explicit Ocs(const WTp3 extrusion) { _WTdxf_ocs(extrusion, r); }
  WTdxfpoint apply(const WTdxfpoint &p) const {
    return {p.x * r[0][0] + p.y * r[1][0] + p.z * r[2][0], p.x * r[0][1] + p.y * r[1][1] + p.z * r[2][1],
            p.x * r[0][2] + p.y * r[1][2] + p.z * r[2][2]};
  }
  WTdxfpoint up(float t) const { return {r[2][0] * t, r[2][1] * t, r[2][2] * t}; }
};

void addpoly(WTdxfblock *b, const Points &p, const WTdxfentity *e, int twosided) {
  _WTdxf_addpolygon(b, int(p.size()), p.data(), e->colour, twosided, e->solid);
}

Points reversed(Points p) {
  std::reverse(p.begin(), p.end());
  return p;
}

Points raised(const Points &p, const WTdxfpoint &up) {
  Points out;
  out.reserve(p.size());
  for (const auto &q : p) out.push_back(add(q, up));
  return out;
}

// A prism over the bottom outline: bottom, top in the opposite order, and a side per edge.
void prism(WTdxfblock *b, const Points &bottom, const WTdxfpoint &up, const WTdxfentity *e) {
  Points top = raised(bottom, up);
  const size_t n = bottom.size();
  if (n > 2) {
    addpoly(b, bottom, e, 0);
    addpoly(b, reversed(top), e, 0);
  }
  for (size_t i = 0; i < n; i++) {
    size_t j = (i + 1) % n;
    addpoly(b, {bottom[i], bottom[j], top[j], top[i]}, e, n == 2);
    if (n == 2) break;
  }
}

// ---- Polylines -------------------------------------------------------------------------------

WTdxfpoint planar(const WTdxfvertex &v) { return {v.x, v.y, v.z}; }

// Drops neighbours closer than the tolerance, the last point's neighbour being the first.
void dropcoincident(std::vector<WTdxfvertex> &v) {
  size_t i = 0;
  while (v.size() > 1 && i < v.size()) {
    const WTdxfvertex &a = v[i], &b = v[(i + 1) % v.size()];
    if (near(planar(a), planar(b))) v.erase(v.begin() + long(i));
    else i++;
  }
}

void arccentre(const WTdxfvertex &p1, const WTdxfvertex &p2, float angle, float *cx, float *cy,
               float *r) {
  float dx = p2.x - p1.x, dy = p2.y - p1.y;
  float chord = sqrtf(dx * dx + dy * dy);
  *r = (chord / 2) / sinf(angle / 2);
  float h = sqrtf(std::max(0.0f, (*r) * (*r) - chord * chord / 4));
  float side = angle > 0 ? 1.0f : -1.0f;
  if (fabsf(angle) >= kPi) side = -side;
  float nx = chord > 0 ? -dy / chord : 0, ny = chord > 0 ? dx / chord : 0;
  *cx = (p1.x + p2.x) / 2 + side * h * nx;
  *cy = (p1.y + p2.y) / 2 + side * h * ny;
}

// Replaces vertex i by the points of its arc to the next vertex; the number put in.
int expandbulge(std::vector<WTdxfvertex> &v, size_t i) {
  const WTdxfvertex start = v[i], end = v[(i + 1) % v.size()];
  const float angle = 4 * atanf(start.bulge);
  float cx, cy, r;
  if (fabsf(kPi - fabsf(angle)) >= kNear) {
    arccentre(start, end, angle, &cx, &cy, &r);
  } else {
    cx = (start.x + end.x) / 2;
    cy = (start.y + end.y) / 2;
    r = sqrtf((end.x - start.x) * (end.x - start.x) + (end.y - start.y) * (end.y - start.y)) / 2;
  }
  if (fabsf(r) < kNear) return 1;
  float a0 = (start.y == cy) ? (start.x < cx ? kPi : 0) : atan2f(start.y - cy, start.x - cx);
  int m = std::max(12, int(fabsf(angle) / (2 * kPi) * 12));
  WTdxfvertex point = start;
  point.bulge = 0;
  point.arc = 1;
  point.cx = cx;
  point.cy = cy;
  point.radius = fabsf(r);
  v.insert(v.begin() + long(i) + 1, size_t(m - 1), point);
  for (int j = 0; j < m; j++) {
    float a = a0 + j * angle / m;
    v[i + size_t(j)].x = cx + fabsf(r) * cosf(a);
    v[i + size_t(j)].y = cy + fabsf(r) * sinf(a);
    v[i + size_t(j)].arc = 1;
  }
  return m;
}

void expandbulges(std::vector<WTdxfvertex> &v, bool closed) {
  for (size_t i = 0; i < v.size();) {
    bool last = i + 1 == v.size();
    if (fabsf(v[i].bulge) > 0.01f && !(last && !closed)) i += size_t(expandbulge(v, i));
    else i++;
  }
}

float windingsum(const Points &p, bool closed) {
  const size_t n = p.size();
  float sum = 0;
  for (size_t i = 0; i < (closed ? n : n - 1); i++) {
    WTdxfpoint e1 = sub(p[(i + 1) % n], p[i]), e2 = sub(p[(i + 2) % n], p[(i + 1) % n]);
    e1.z = e2.z = 0;
    float c = cross(e1, e2).z;
    float l = sqrtf(dot(e1, e1)) * sqrtf(dot(e2, e2));
    if (l >= kNear) {
      float s = c / (l + kNear);
      if (fabsf(s) < 1) sum += asinf(s);
    } else {
      sum += c > 0 ? 1.5707964f : -1.5707964f;
    }
  }
  return sum;
}

// One wide segment's corners: left and right at its start and its end.
struct Wide {
  WTdxfpoint sl, sr, el, er;
};

Wide widesegment(const WTdxfvertex &a, const WTdxfvertex &b, float w) {
  WTdxfpoint pa = planar(a), pb = planar(b);
  if (a.arc && b.arc) {
    float half = std::min(w, a.radius);
    if (half == a.radius) half -= kNear;
    auto radial = [&](const WTdxfpoint &p) {
      WTdxfpoint d = {p.x - a.cx, p.y - a.cy, 0};
      float l = sqrtf(dot(d, d));
      return l > 0 ? times(d, half / l) : WTdxfpoint{0, 0, 0};
    };
    WTdxfpoint oa = radial(pa), ob = radial(pb);
    return {add(pa, oa), sub(pa, oa), add(pb, ob), sub(pb, ob)};
  }
  WTdxfpoint d = sub(pb, pa);
  d.z = 0;
  float l = sqrtf(dot(d, d));
  WTdxfpoint o = l > 0 ? WTdxfpoint{-d.y * w / l, d.x * w / l, 0} : WTdxfpoint{0, 0, 0};
  return {add(pa, o), sub(pa, o), add(pb, o), sub(pb, o)};
}

WTdxfpoint mid(const WTdxfpoint &a, const WTdxfpoint &b) { return times(add(a, b), 0.5f); }

bool widepolyline(WTdxfblock *b, WTdxfentity *e, const std::vector<WTdxfvertex> &v) {
  const bool closed = e->flags & 1;
  const size_t n = v.size(), segments = closed ? n : n - 1;
  std::vector<Wide> s;
  for (size_t i = 0; i < segments; i++) s.push_back(widesegment(v[i], v[(i + 1) % n], e->width[0] / 2));
  for (size_t i = 0; i + 1 < s.size(); i++) {
    s[i].el = s[i + 1].sl = mid(s[i].el, s[i + 1].sl);
    s[i].er = s[i + 1].sr = mid(s[i].er, s[i + 1].sr);
  }
  WTdxfentity solid = *e;
  solid.kind = WTDXF_SOLID;
  solid.verts.clear();
  for (const Wide &w : s) {
    const WTdxfpoint c[4] = {w.sl, w.sr, w.el, w.er};
    for (int k = 0; k < 4; k++) {
      solid.p[k][0] = c[k].x;
      solid.p[k][1] = c[k].y;
      solid.p[k][2] = e->p[0][2];
    }
    _WTdxf_solid(b, &solid);
  }
  return true;
}

bool toomany(size_t n) {
  if (n <= kMaxPoints) return false;
  _WTmsg_warning("Polyline has more than %d vertices\n", int(kMaxPoints));
  return true;
}

// ---- Faces and meshes ------------------------------------------------------------------------

void classified(const WTdxfpoint *p, WTdxfpoint *normal, int *kind) {
  WTp3 pts[4], n = {0, 0, 0};
  for (size_t i = 0; i < 4; i++) {
    pts[i][0] = p[i].x;
    pts[i][1] = p[i].y;
    pts[i][2] = p[i].z;
  }
  *kind = _WTpoly_classifypoints(pts, 4, n);
  *normal = {n[0], n[1], n[2]};
}

void quadortriangles(WTdxfblock *b, const WTdxfpoint *p, int colour, int solid) {
  WTdxfpoint n;
  int kind;
  classified(p, &n, &kind);
  WTdxfread &s = _WTdxf_state();
  if (kind) {
    s.classified = 1;
    s.normal[0] = n.x;
    s.normal[1] = n.y;
    s.normal[2] = n.z;
    _WTdxf_addpolygon(b, 4, p, colour, 1, solid);
    s.classified = 0;
    return;
  }
  const WTdxfpoint t1[3] = {p[0], p[1], p[2]}, t2[3] = {p[2], p[3], p[0]};
  _WTdxf_addpolygon(b, 3, t1, colour, 1, solid);
  _WTdxf_addpolygon(b, 3, t2, colour, 1, solid);
}

// Up to four corners of a mesh face.
struct Quad {
  WTdxfpoint p[4];
  int n;
};

void face(WTdxfblock *b, Quad q, int colour, int solid) {
  if (q.n < 3) return;
  if (q.n == 4 && near(q.p[3], q.p[0])) q.n = 3;
  for (int i = 0; i + 1 < q.n;) {
    if (near(q.p[i], q.p[i + 1])) {
      for (int k = i + 1; k + 1 < q.n; k++) q.p[k] = q.p[k + 1];
      q.n--;
    } else {
      i++;
    }
  }
  if (q.n == 3) _WTdxf_addpolygon(b, 3, q.p, colour, 1, solid);
  else if (q.n == 4) quadortriangles(b, q.p, colour, solid);
}

bool polyface(WTdxfblock *b, WTdxfentity *e) {
  Points positions;
  for (int i = 0; i < e->count; i++) {
    const WTdxfvertex &v = e->verts[size_t(i)];
    if (!(v.flags & 128)) {
      _WTmsg_warning("Internal fault 5\n");
      return false;
    }
    if (v.flags & 64) {
      positions.push_back(planar(v));
      continue;
    }
    Quad q{};
    for (int k = 0; k < 4 && v.face[k]; k++) {
      if (size_t(v.face[k]) > positions.size()) {
        _WTmsg_warning("Internal fault 11\n");
        return false;
      }
      q.p[q.n++] = positions[size_t(v.face[k]) - 1];
    }
    face(b, q, e->colour, e->solid);
  }
  return true;
}

void mesh(WTdxfblock *b, WTdxfentity *e) {
  const long m = e->m, n = e->n;
  if (m < 1 || n < 1 || m * n > long(e->count)) return;
  auto at = [&](long i, long j) { return planar(e->verts[size_t(i * n + j)]); };
  auto quad = [&](long i0, long j0, long i1, long j1) {
    face(b, Quad{{at(i0, j0), at(i1, j0), at(i1, j1), at(i0, j1)}, 4}, e->colour, e->solid);
  };
  for (long i = 0; i + 1 < m; i++)
    for (long j = 0; j + 1 < n; j++) quad(i, j, i + 1, j + 1);
  if (e->flags & 1)
    for (long j = 0; j + 1 < n; j++)
      face(b, Quad{{at(m - 1, j), at(0, j), at(0, j + 1), at(m - 1, j + 1)}, 4}, e->colour, e->solid);
  if (e->flags & 32)
    for (long i = 0; i + 1 < m; i++)
      face(b, Quad{{at(i, n - 1), at(i + 1, n - 1), at(i + 1, 0), at(i, 0)}, 4}, e->colour, e->solid);
}

// The flat polyline's points in building order, in world axes; false past the point limit.
bool flatpoints(WTdxfentity *e, const std::vector<WTdxfvertex> &v, Points *out) {
  Points p;
  for (const auto &q : v) p.push_back(planar(q));
  float sum = windingsum(p, e->flags & 1);
  if (!(sum * e->thickness < 0)) std::reverse(p.begin(), p.end());
  if (toomany(p.size())) return false;
  Ocs ocs(e->extrusion);
  for (auto &q : p) {
    if (e->zmissing) q.z += e->elevation;
    q = ocs.apply(q);
  }
  *out = p;
  return true;
}

}  // namespace

// ---- Shared pieces -----------------------------------------------------------------------------

void _WTdxf_ocs(const WTp3 extrusion, float rows[3][3]) {
  WTdxfpoint n = {extrusion[0], extrusion[1], extrusion[2]};
  if (fabsf(n.x) < kThin) n.x = 0;
  if (fabsf(n.y) < kThin) n.y = 0;
  if (fabsf(n.z) < kThin) n.z = 0;
  WTdxfpoint x = (fabsf(n.x) < 1.0f / 64 && fabsf(n.y) < 1.0f / 64) ? cross({0, 1, 0}, n)
                                                                    : cross({0, 0, 1}, n);
  float l = sqrtf(dot(x, x));
  if (l > 0) x = times(x, 1 / l);
  WTdxfpoint y = cross(n, x);
  l = sqrtf(dot(y, y));
  if (l > 0) y = times(y, 1 / l);
  const WTdxfpoint r[3] = {x, y, n};
  for (int i = 0; i < 3; i++) {
    rows[i][0] = r[i].x;
    rows[i][1] = r[i].y;
    rows[i][2] = r[i].z;
  }
}

bool _WTdxf_line(WTdxfblock *b, WTdxfentity *e) {
  if (e->colour < 0 || e->thickness == 0) return true;
  WTdxfpoint s = {e->p[0][0], e->p[0][1], e->p[0][2]}, t = {e->p[1][0], e->p[1][1], e->p[1][2]};
  WTdxfpoint up = {e->extrusion[0] * e->thickness, e->extrusion[1] * e->thickness,
                   e->extrusion[2] * e->thickness};
  if (e->zmissing) {
    s.z = t.z = e->elevation;
    up = {0, 0, e->thickness};
  }
  addpoly(b, {s, t, add(t, up), add(s, up)}, e, 1);
  return true;
}

bool _WTdxf_circle(WTdxfblock *b, WTdxfentity *e) {
  if (e->colour < 0) return true;
  Ocs ocs(e->extrusion);
  float z = e->elevation != 0 ? e->elevation : e->p[0][2];
  Points up;
  for (int k = 0; k < 12; k++) {
    float a = k * 30 * kPi / 180;
    up.push_back(ocs.apply({e->p[0][0] + e->radius * cosf(a), e->p[0][1] + e->radius * sinf(a), z}));
  }
  Points down = reversed(up);
  if (fabsf(e->thickness) < kThin) {
    addpoly(b, down, e, 1);
    return true;
  }
  prism(b, down, ocs.up(e->thickness), e);
  return true;
}

bool _WTdxf_arc(WTdxfblock *b, WTdxfentity *e) {
  if (e->colour < 0 || e->thickness < kThin) return true;
  float start = e->angle[0], end = e->angle[1];
  if (end < start) end += 360;
  float sweep = fabsf(end - start);
  int n = std::max(12, int(36 * sweep / 360));
  if (n > int(kMaxPoints)) {
    _WTmsg_warning("Make_arc - too many verts in arc\n");
    return false;
  }
  Ocs ocs(e->extrusion);
  float z = e->zmissing ? e->elevation : e->p[0][2];
  Points p;
  for (int k = 0; k < n; k++) {
    float a = (start + k * sweep / float(n - 1)) * kPi / 180;
    p.push_back(ocs.apply({e->p[0][0] + e->radius * cosf(a), e->p[0][1] + e->radius * sinf(a), z}));
  }
  WTdxfpoint up = ocs.up(e->thickness);
  int twosided = fabsf(sweep - 360) >= kNear;
  for (int k = 0; k + 1 < n; k++)
    addpoly(b, {p[size_t(k)], p[size_t(k) + 1], add(p[size_t(k) + 1], up), add(p[size_t(k)], up)}, e,
            twosided);
  return true;
}

bool _WTdxf_solid(WTdxfblock *b, WTdxfentity *e) {
  if (e->colour < 0) return true;
  auto corner = [e](int k) {
    return WTdxfpoint{e->p[k][0], e->p[k][1], e->zmissing ? e->elevation : e->p[k][2]};
  };
  Points p = {corner(0), corner(1), corner(3), corner(2)};
  bool three = e->p[2][0] == e->p[3][0] && e->p[2][1] == e->p[3][1] &&
               (e->zmissing || e->p[2][2] == e->p[3][2]);
  if (three) p.pop_back();
  WTdxfpoint n = cross(sub(p[1], p[0]), sub(p[2], p[0]));
  WTdxfpoint x = {e->extrusion[0], e->extrusion[1], e->extrusion[2]};
  // Swapping the second and third DXF corners turns the outline the other way round.
  if ((e->zmissing && n.z * e->thickness > 0) || (!e->zmissing && dot(n, x) > 0))
    std::reverse(p.begin() + 1, p.end());
  Ocs ocs(e->extrusion);
  for (auto &q : p) q = ocs.apply(q);
  if (fabsf(e->thickness) < kThin) {
    addpoly(b, p, e, 1);
    return true;
  }
  prism(b, p, ocs.up(e->thickness), e);
  return true;
}

bool _WTdxf_3dface(WTdxfblock *b, WTdxfentity *e) {
  if (e->colour < 0) return true;
  Points p;
  for (int k = 0; k < 4; k++)
    p.push_back({e->p[k][0], e->p[k][1], e->p[k][2] + (e->zmissing ? e->elevation : 0)});
  if (near(p[2], p[3])) {
    p.pop_back();
    addpoly(b, p, e, 1);
    return true;
  }
  quadortriangles(b, p.data(), e->colour, e->solid);
  return true;
}

bool _WTdxf_polyline(WTdxfblock *b, WTdxfentity *e) {
  if (e->colour < 0) return true;
  if (e->kind == WTDXF_TRACE) e->zmissing = 0;
  e->verts.resize(size_t(e->count));
  if (e->flags & 64) return polyface(b, e);
  if (e->flags & 16) {
    mesh(b, e);
    return true;
  }
  WTdxfread &s = _WTdxf_state();
  if (e->flags == 0 && e->thickness == 0 && e->width[0] == 0 && e->width[1] == 0) {
    s.openpolylines++;
    return true;
  }
  std::vector<WTdxfvertex> v = e->verts;
  dropcoincident(v);
  if (v.size() < 2) return true;
  expandbulges(v, e->flags & 1);
  if (e->flags & 8) {
    if (toomany(v.size())) return false;
    std::vector<float> pts(v.size() * 3);
    for (size_t i = 0; i < v.size(); i++) {
      pts[i * 3] = v[i].x;
      pts[i * 3 + 1] = v[i].y;
      pts[i * 3 + 2] = v[i].z;
    }
    WTp3 n;
    if (!_WTpoly_classifypoints(reinterpret_cast<const WTp3 *>(pts.data()), int(v.size()), n)) {
      s.flatpolylines++;
      return true;
    }
  } else if (e->width[0] != 0 || e->width[1] != 0) {
    return widepolyline(b, e, v);
  }
  Points p;
  if (!flatpoints(e, v, &p)) return false;
  if (fabsf(e->thickness) < kThin) addpoly(b, p, e, 1);
  else prism(b, p, Ocs(e->extrusion).up(e->thickness), e);
  return true;
}
