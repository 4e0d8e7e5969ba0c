// VRML 1.0 shapes into toolkit geometries: cones, cylinders and indexed face sets.
#include <math.h>
#include <string.h>

#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/vrml.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr int kPolyFlag = 32;

bool degenerate(float height, float radius, int segments) {
  return fabsf(height) < 0.004f || fabsf(radius) < 0.004f || segments < 3;
}

void texturepoly(WTpoly *poly, const char *texture, const float *u, const float *v) {
  if (!texture || !poly) return;
  if (u ? WTpoly_settextureuv(poly, texture, u, v, 1, 0) : WTpoly_settexture(poly, texture, 1, 0))
    WTpoly_settexturestyle(poly, 1, 0, 1);
}

// ---- Cone ------------------------------------------------------------------------------------

void conebottom(WTgeometry *g, int n, int binding, const char *texture) {
  WTpoly *p = WTgeometry_beginpoly(g);
  std::vector<float> u(static_cast<size_t>(n)), v(static_cast<size_t>(n));
  for (int i = 0; i < n; i++) {
    WTpoly_addvertex(p, i);
    const float a = static_cast<float>(i) * kTwoPi / static_cast<float>(n);
    u[static_cast<size_t>(i)] = 0.5f * sinf(a) + 0.5f;
    v[static_cast<size_t>(i)] = 0.5f - 0.5f * cosf(a);
  }
  if (!WTpoly_close(p)) {
    _WTpoly_cancel(p);
    return;
  }
  if (binding == VB_PER_PART || binding == VB_PER_PART_INDEXED) WTpoly_setmatid(p, 1);
  texturepoly(p, texture, u.data(), v.data());
}

void conesides(WTgeometry *g, int n, const char *texture) {
  const float fn = static_cast<float>(n);
  for (int i = 0; i < n; i++) {
    WTpoly *p = _WTgeometry_addpoly3(g, i, n, (i + 1) % n, 0);
    const float u0 = 1 - static_cast<float>(i) / fn, u2 = 1 - static_cast<float>(i + 1) / fn;
    const float u[3] = {u0, (u0 + u2) / 2, u2}, v[3] = {0, 1, 0};
    texturepoly(p, texture, u, v);
  }
}

// ---- Cylinder --------------------------------------------------------------------------------

void cylinderring(WTgeometry *g, int n, float radius, float y, bool normals) {
  for (int i = 0; i < n; i++) {
    const float a = static_cast<float>(i) * kTwoPi / static_cast<float>(n);
    WTp3 p = {radius * cosf(a), y, radius * sinf(a)};
    WTvertex *v = WTgeometry_newvertex(g, p);
    if (normals && v) {
      WTp3 nrm = {cosf(a), 0, sinf(a)};
      _WTvertex_setnormal(v, nrm);
    }
  }
}

void cylindercap(WTgeometry *g, int n, int first, bool reverse) {
  WTpoly *p = WTgeometry_beginpoly(g);
  for (int i = 0; i < n; i++) WTpoly_addvertex(p, first + (reverse ? n - 1 - i : i));
  if (!WTpoly_close(p)) _WTpoly_cancel(p);
}

void cylindersides(WTgeometry *g, int n, int b, const char *texture) {
  const float fn = static_cast<float>(n);
  for (int i = 0; i < n; i++) {
    const int j = (i + 1) % n;
    WTpoly *p = _WTgeometry_addpoly4(g, b + i, b + j, b + n + j, b + n + i, 0);
    const float u0 = 1 - static_cast<float>(i) / fn, u1 = 1 - static_cast<float>(i + 1) / fn;
    const float u[4] = {u0, u1, u1, u0}, v[4] = {0, 0, 1, 1};
    texturepoly(p, texture, u, v);
  }
}

// ---- Indexed face sets -----------------------------------------------------------------------

struct Variant {
  int next = -1;
  int material = -1;
  int normal = -1;
  int coord = -1;
};

// An index list of the pool: element k, past the end the last one.
struct IndexList {
  int start, count;
  int at(int k) const {
    if (count <= 0) return -1;
    return _WTvrml_poolint(start + (k < count ? k : count - 1));
  }
  // Given in the file: not the single -1 that stands for an absent field.
  bool given() const { return count > 1 || (count == 1 && _WTvrml_poolint(start) != -1); }
};

struct FaceSet {
  const WTvrmlshape *st;
  IndexList coord, material, normal, texcoord;
  bool vnormals, vmaterials;
  std::vector<Variant> variants;
  std::vector<int> refs;  // variant per coordIndex entry, -1 at face ends
};

// The variant of coordinate c with this normal and material (-1: any), made when missing.
int findvariant(FaceSet &fs, int c, int normal, int material) {
  int last = c;
  for (int v = c; v >= 0; v = fs.variants[static_cast<size_t>(v)].next) {
    Variant &x = fs.variants[static_cast<size_t>(v)];
    last = v;
    const bool nok = normal < 0 || x.normal < 0 || x.normal == normal;
    const bool mok = material < 0 || x.material < 0 || x.material == material;
    if (nok && mok) {
      if (normal >= 0) x.normal = normal;
      if (material >= 0) x.material = material;
      return v;
    }
  }
  Variant fresh;
  fresh.coord = c;
  fresh.normal = normal;
  fresh.material = material;
  fs.variants.push_back(fresh);
  const int made = static_cast<int>(fs.variants.size()) - 1;
  fs.variants[static_cast<size_t>(last)].next = made;
  return made;
}

int normalfor(const FaceSet &fs, int k, int c) {
  int n = fs.normal.at(k);
  if (n < 0) n = c;
  if (n > fs.st->normals.count - 1) n = fs.st->normals.count - 1;
  return n;
}

// First pass: every (coordinate, normal, material) use its own variant; false on a coordinate
// index that names no coordinate.
bool assignvariants(FaceSet &fs) {
  const int ncoords = fs.st->coords.count;
  for (int k = 0; k < fs.coord.count; k++) {
    const int c = _WTvrml_poolint(fs.coord.start + k);
    if (c == -1) {
      fs.refs.push_back(-1);
      continue;
    }
    if (c < 0 || c >= ncoords) return false;
    const int n = fs.vnormals ? normalfor(fs, k, c) : -1;
    const int m = fs.vmaterials ? fs.material.at(k) : -1;
    fs.refs.push_back(fs.vnormals || fs.vmaterials ? findvariant(fs, c, n, m) : c);
  }
  return true;
}

WTvertex *vertexof(FaceSet &fs, WTgeometry *g, std::vector<WTvertex *> &made, int variant) {
  WTvertex *&v = made[static_cast<size_t>(variant)];
  if (v) return v;
  const Variant &x = fs.variants[static_cast<size_t>(variant)];
  const int c = fs.st->coords.start + 3 * x.coord;
  WTp3 p = {_WTvrml_poolfloat(c), _WTvrml_poolfloat(c + 1), _WTvrml_poolfloat(c + 2)};
  v = _WTvertex_newat(p);
  v->flags |= WTV_USED;
  if (fs.vnormals && x.normal >= 0) {
    const int n = fs.st->normals.start + 3 * x.normal;
    WTp3 nrm = {_WTvrml_poolfloat(n), _WTvrml_poolfloat(n + 1), _WTvrml_poolfloat(n + 2)};
    _WTvertex_setnormal(v, nrm);
  }
  if (fs.vmaterials) {
    v->matid = x.material;
    v->flags |= WTV_MATID;
  }
  _WTgeometry_addvertexsimple(g, v);
  return v;
}

struct Face {
  int first, end;  // reference positions: first and one past the last
  int number;
};

WTpoly *startface(FaceSet &fs, WTgeometry *g, const Face &f) {
  if (f.end - f.first < 3) _WTmsg_warning("less than 3 vertices");
  WTpoly *p = _WTpoly_new(g);
  p->flags |= kPolyFlag;
  p->matid = 0;
  const int b = fs.st->materialbinding;
  if (!fs.vmaterials && fs.material.given()) {
    if (b == VB_PER_PART_INDEXED || b == VB_PER_FACE_INDEXED) p->matid = fs.material.at(f.number);
    else if (b == VB_PER_PART || b == VB_PER_FACE) p->matid = f.number;
  }
  if (fs.st->shapetype == 0) p->flags |= WTP_TWOSIDED;
  return p;
}

bool texcoordof(const FaceSet &fs, int k, int variant, float *u, float *v) {
  const int n = fs.st->texcoords.count;
  int t = fs.texcoord.at(k);
  if (t == -1) {
    t = variant < n - 1 ? variant : n - 1;
  } else if (t < 0 || t >= n) {
    return false;
  }
  const int at = fs.st->texcoords.start + 2 * t;
  const float s0 = _WTvrml_poolfloat(at), t0 = _WTvrml_poolfloat(at + 1);
  const float *m = fs.st->texmatrix;
  *u = s0 * m[0] + t0 * m[2] + m[4];
  *v = s0 * m[1] + t0 * m[3] + m[5];
  return true;
}

void finishface(FaceSet &fs, WTpoly *p, const std::vector<float> &u, const std::vector<float> &v) {
  if (!WTpoly_close(p)) {
    _WTpoly_cancel(p);
    return;
  }
  if (p->flags & WTP_DEGENERATE) {
    WTpoly_delete(p);
    return;
  }
  if (!fs.st->texture) return;
  const bool explicituv = fs.texcoord.given() && fs.st->texcoords.count > 0;
  texturepoly(p, fs.st->texture, explicituv ? u.data() : nullptr, v.data());
}

// Second pass: one polygon per face; false on a texture coordinate index out of range.
bool buildfaces(FaceSet &fs, WTgeometry *g) {
  std::vector<WTvertex *> made(fs.variants.size(), nullptr);
  const bool clockwise = fs.st->vertexordering == 1;
  const bool uvs = fs.st->texture && fs.st->texcoords.count > 0;
  const int total = static_cast<int>(fs.refs.size());
  Face f = {0, 0, 0};
  while (f.first < total) {
    f.end = f.first;
    while (f.end < total && fs.refs[static_cast<size_t>(f.end)] != -1) f.end++;
    WTpoly *p = startface(fs, g, f);
    const size_t n = static_cast<size_t>(f.end - f.first);
    std::vector<float> u(n ? n : 1), v(n ? n : 1);
    for (int k = f.first; k < f.end; k++) {
      const int variant = fs.refs[static_cast<size_t>(k)];
      WTvertex *x = vertexof(fs, g, made, variant);
      const size_t slot = static_cast<size_t>(clockwise ? f.end - 1 - k : k - f.first);
      if (clockwise) {
        WTvertexlink **tail = &p->links;
        while (*tail) tail = &(*tail)->next;
        *tail = _WTvertexlink_new(x, nullptr);
      } else {
        p->links = _WTvertexlink_new(x, p->links);
      }
      if (uvs && !texcoordof(fs, k, variant, &u[slot], &v[slot])) {
        _WTpoly_cancel(p);
        return false;
      }
    }
    finishface(fs, p, u, v);
    f.first = f.end + 1;
    f.number++;
  }
  return true;
}

}  // namespace

extern "C" {

WTgeometry *_WTvrml_makecone(float height, float radius, int segments, int parts, int binding,
                             const char *texture) {
  if (degenerate(height, radius, segments)) return nullptr;
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  for (int i = 0; i < segments; i++) {
    const float a = static_cast<float>(i) * kTwoPi / static_cast<float>(segments);
    WTp3 p = {radius * sinf(a), -height / 2, -radius * cosf(a)};
    WTgeometry_newvertex(g, p);
  }
  if (parts & 2) conebottom(g, segments, binding, texture);
  if (parts & 1) {
    WTp3 apex = {0, height / 2, 0};
    WTgeometry_newvertex(g, apex);
    conesides(g, segments, texture);
  }
  if (!WTgeometry_close(g)) return nullptr;
  WTgeometry_setname(g, "cone");
  return g;
}

WTgeometry *_WTvrml_makecylinder(float height, float radius, int segments, int parts, int,
                                 const char *texture) {
  if (degenerate(height, radius, segments)) return nullptr;
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  const bool caps = (parts & 6) != 0;
  if (caps) {
    cylinderring(g, segments, radius, height / 2, false);
    cylinderring(g, segments, radius, -height / 2, false);
  }
  if (parts & 1) {
    cylinderring(g, segments, radius, height / 2, true);
    cylinderring(g, segments, radius, -height / 2, true);
  }
  if (parts & 4) cylindercap(g, segments, 0, true);
  if (parts & 2) cylindercap(g, segments, segments, false);
  if (parts & 1) cylindersides(g, segments, caps ? 2 * segments : 0, texture);
  if (!WTgeometry_close(g)) return nullptr;
  WTgeometry_setname(g, "cylinder");
  return g;
}

WTgeometry *_WTvrml_makefaceset(const WTvrmlshape *state, const WTvrmlfaceset *fields, int *bad) {
  *bad = 0;
  FaceSet fs{state,
             {fields->coordindex.start, fields->coordindex.count},
             {fields->materialindex.start, fields->materialindex.count},
             {fields->normalindex.start, fields->normalindex.count},
             {fields->texcoordindex.start, fields->texcoordindex.count},
             false, false, {}, {}};
  const int nb = state->normalbinding, mb = state->materialbinding;
  fs.vnormals = state->normals.count > 0 &&
                (nb == VB_DEFAULT || nb == VB_PER_VERTEX || nb == VB_PER_VERTEX_INDEXED);
  fs.vmaterials = fs.material.given() && (mb == VB_PER_VERTEX || mb == VB_PER_VERTEX_INDEXED);
  int references = 0;
  for (int k = 0; k < fs.coord.count; k++)
    if (_WTvrml_poolint(fs.coord.start + k) != -1) references++;
  if (references < 3) return nullptr;
  fs.variants.resize(static_cast<size_t>(state->coords.count));
  for (int c = 0; c < state->coords.count; c++) fs.variants[static_cast<size_t>(c)].coord = c;
  if (!assignvariants(fs)) {
    *bad = 1;
    return nullptr;
  }
  WTgeometry *g = _WTgeometry_new(nullptr);
  if (!buildfaces(fs, g)) {
    *bad = 1;
    WTgeometry_delete(g);
    return nullptr;
  }
  if (!g->polys) {
    WTgeometry_delete(g);
    return nullptr;
  }
  return _WTgeometry_close(g) ? g : nullptr;
}
}
