// JT models through the outside JT library, bound by name at the first JT load: the library
// builds the tree through the callback table, geometries polygon by polygon with vertices
// shared inside each geometry.
#include "toolkit/loaders/jt.h"

#include <string.h>

#include <array>
#include <string>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/core/platform.h"
#include "toolkit/geometry/geometry.h"

namespace {

constexpr int kLodOption = 18;
constexpr size_t kBuckets = 256;

bool tried;
WTjtloadfn loadmodel;
WTjtcallbacks table;

// ---- Reader state of one load --------------------------------------------------------------

WTgeometry *geometry;
WTpoly *poly;
const char *const *texture;
std::array<std::vector<WTvertex *>, kBuckets> buckets;
std::vector<float> us, vs;

void clearhash() {
  for (auto &b : buckets) b.clear();
}

size_t bucketof(const float *position, const float *normal) {
  unsigned sum = 0;
  const unsigned char *p = reinterpret_cast<const unsigned char *>(position);
  for (size_t i = 0; i < 12; i++) sum += p[i];
  if (normal) {
    const unsigned char *n = reinterpret_cast<const unsigned char *>(normal);
    for (size_t i = 0; i < 12; i++) sum += n[i];
  }
  return sum % kBuckets;
}

bool matches(const WTvertex *v, const float *position, const float *normal) {
  if (memcmp(v->position, position, sizeof(float) * 3) != 0) return false;
  if (!normal) return true;
  return v->normal && memcmp(v->normal, normal, sizeof(float) * 3) == 0;
}

// ---- Callbacks -----------------------------------------------------------------------------

WTnode *material(WTnode *parent, const float *diffuse, const float *ambient, const float *specular,
                 const float *emission, float shininess) {
  WTnode *node = WTmaterialnode_new(parent);
  if (!node) return nullptr;
  if (diffuse) {
    WTmaterialnode_setfield(node, WTDIFFUSE, diffuse);
    WTmaterialnode_setfield(node, WTOPACITY, &diffuse[3]);
  }
  if (ambient) WTmaterialnode_setfield(node, WTAMBIENT, ambient);
  if (specular) WTmaterialnode_setfield(node, WTSPECULAR, specular);
  if (emission) WTmaterialnode_setfield(node, WTEMISSION, emission);
  WTmaterialnode_setfield(node, WTSHININESS, &shininess);
  return node;
}

WTnode *transform(WTnode *parent, const float *matrix) {
  WTnode *node = WTxformnode_new(parent);
  if (node && matrix) {
    WTm4 m;
    memcpy(m, matrix, sizeof m);
    WTnode_settransform(node, m);
  }
  return node;
}

int lodcenter(WTnode *lod, const float *centre) { return centre ? WTlodnode_setcenter(lod, centre) : 0; }

WTnode *switchnode(WTnode *parent, int child) {
  WTnode *node = WTswitchnode_new(parent);
  if (node) WTswitchnode_setwhichchild(node, child);
  return node;
}

intptr_t nothing(void) { return 0; }

void name(WTnode *node, const char *text) {
  if (!node || !text) return;
  std::string s = text;
  size_t cut = s.rfind('/');
  if (cut != std::string::npos) s.erase(0, cut + 1);
  cut = s.rfind('\\');
  if (cut != std::string::npos) s.erase(0, cut + 1);
  for (char &c : s)
    if (c == ' ') c = '_';
  WTnode_setname(node, s.c_str());
}

void geometrybegin(void *, const char *const *name) {
  if (geometry) return;
  geometry = WTgeometry_begin();
  texture = name;
  if (geometry) _WTmtable_attach(geometry, nullptr);
}

WTvertex *vertex(const float *position, const float *normal) {
  if (!geometry || !position) return nullptr;
  std::vector<WTvertex *> &bucket = buckets[bucketof(position, normal)];
  for (WTvertex *v : bucket)
    if (matches(v, position, normal)) return v;
  WTvertex *v = WTgeometry_newvertex(geometry, position);
  if (v && normal) _WTvertex_setnormal(v, normal);
  if (v) bucket.insert(bucket.begin(), v);
  return v;
}

WTnode *geometryclose(WTnode *parent) {
  WTnode *node = nullptr;
  if (poly) {
    _WTpoly_cancel(poly);
    poly = nullptr;
  }
  if (geometry && WTgeometry_close(geometry)) node = WTgeometrynode_new(parent, geometry);
  geometry = nullptr;
  clearhash();
  return node;
}

void polybegin(void) {
  if (!geometry || poly) return;
  poly = WTgeometry_beginpoly(geometry);
  us.clear();
  vs.clear();
}

void polyvertex(WTvertex *v, const float *uv) {
  if (!poly || !v) return;
  WTpoly_addvertexptr(poly, v);
  if (!uv) return;
  us.push_back(uv[0]);
  vs.push_back(uv[1]);
}

void polyclose(void) {
  if (!poly) return;
  WTpoly *p = poly;
  poly = nullptr;
  if (!WTpoly_close(p)) {
    _WTpoly_cancel(p);
    return;
  }
  // One pair a corner, or the polygon keeps no coordinates.
  if (texture && *texture && !us.empty() && us.size() == static_cast<size_t>(p->nverts))
    WTpoly_settextureuv(p, *texture, us.data(), vs.data(), 1, 0);
  us.clear();
  vs.clear();
}

void filltable() {
  table.version = 1;
  table.lods = _WTuniverse_getoption(kLodOption);
  table.sepnode = WTsepnode_new;
  table.material = material;
  table.transform = transform;
  table.lodnode = WTlodnode_new;
  table.lodcenter = lodcenter;
  table.switchnode = switchnode;
  table.addchild = WTnode_addchild;
  table.nothing = nothing;
  table.name = name;
  table.geometrybegin = geometrybegin;
  table.vertex = vertex;
  table.geometryclose = geometryclose;
  table.polybegin = polybegin;
  table.polyvertex = polyvertex;
  table.polyclose = polyclose;
}

// What the library left open is dropped.
void endload() {
  if (poly) _WTpoly_cancel(poly);
  poly = nullptr;
  if (geometry) {
    _WTgeometry_checkifopen(geometry);
    WTgeometry_delete(geometry);
  }
  geometry = nullptr;
  texture = nullptr;
  clearhash();
  std::vector<float>().swap(us);
  std::vector<float>().swap(vs);
}

}  // namespace

extern "C" {

void _WTjt_bind(void) {
  if (tried) return;
  tried = true;
  std::string library;
  if (!_WTplat_getenvutf8("WTKJTDLL", &library)) library = "jt2wt.dll";
  void *handle = _WTplat_loadlibrary(library.c_str());
  void *entry = handle ? _WTplat_libraryentry(handle, "_WTjt_loadmodel") : nullptr;
  if (!entry) return;
  loadmodel = reinterpret_cast<WTjtloadfn>(entry);
  filltable();
}

void _WTjt_unbind(void) {
  tried = false;
  loadmodel = nullptr;
}

WTnode *_WTnode_loadjt(WTnode *parent, const char *path) {
  _WTjt_bind();
  if (!loadmodel || !path) return nullptr;
  clearhash();
  us.reserve(256);
  vs.reserve(256);
  WTnode *result = loadmodel(path, &table);
  endload();
  if (!result) return nullptr;
  WTnode_addchild(parent, result);
  WTnode *axes = WTxformnode_new(nullptr);
  WTm4 m = {{1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
  WTnode_settransform(axes, m);
  if (!WTnode_insertchild(result, axes, 0)) WTnode_delete(axes);
  return result;
}

}  // extern "C"
