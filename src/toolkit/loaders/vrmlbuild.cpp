// VRML 1.0 node builders: each node keyword's fields, and the toolkit node, geometry, table,
// light, viewpoint or texture it makes.
#include <math.h>
#include <string.h>

#include "toolkit/core/node.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/vrmlstate.h"
#include "toolkit/render/context.h"
#include "toolkit/render/render.h"

namespace vrml {

WTnode *buildtexture(Def *def);

namespace {

// Node keyword numbers.
enum {
  N_ASCIITEXT, N_CONE, N_COORDINATE3, N_CUBE, N_CYLINDER, N_DIRECTIONALLIGHT, N_FONTSTYLE,
  N_GROUP, N_INDEXEDFACESET, N_INDEXEDLINESET, N_INFO, N_LEVELOFDETAIL, N_LOD, N_MATERIAL,
  N_MATERIALBINDING, N_MATRIXTRANSFORM, N_NORMAL, N_NORMALBINDING, N_ORTHOGRAPHICCAMERA,
  N_PERSPECTIVECAMERA, N_POINTLIGHT, N_POINTSET, N_ROTATION, N_SCALE, N_SEPARATOR, N_SHAPEHINTS,
  N_SPHERE, N_SPOTLIGHT, N_SWITCH, N_TEXTURE2, N_TEXTURE2TRANSFORM, N_TEXTURECOORDINATE2,
  N_TRANSFORM, N_TRANSFORMSEPARATOR, N_TRANSLATION, N_WWWANCHOR, N_WWWINLINE
};

// Field keyword numbers.
enum {
  F_STRING, F_SPACING, F_JUSTIFICATION, F_WIDTH, F_PARTS, F_BOTTOMRADIUS, F_HEIGHT, F_POINT,
  F_DEPTH, F_RADIUS, F_ON, F_INTENSITY, F_COLOR, F_DIRECTION, F_SIZE, F_FAMILY, F_STYLE,
  F_COORDINDEX, F_MATERIALINDEX, F_NORMALINDEX, F_TEXTURECOORDINDEX, F_SCREENAREA, F_RANGE,
  F_CENTER, F_AMBIENTCOLOR, F_DIFFUSECOLOR, F_SPECULARCOLOR, F_EMISSIVECOLOR, F_SHININESS,
  F_TRANSPARENCY, F_VALUE, F_MATRIX, F_VECTOR, F_POSITION, F_ORIENTATION, F_FOCALDISTANCE,
  F_NEARDISTANCE, F_FARDISTANCE, F_HEIGHTANGLE, F_ASPECTRATIO, F_VIEWPORTMAPPING, F_LOCATION,
  F_STARTINDEX, F_NUMPOINTS, F_ROTATION, F_SCALEFACTOR, F_RENDERCULLING, F_VERTEXORDERING,
  F_SHAPETYPE, F_FACETYPE, F_CREASEANGLE, F_DROPOFFRATE, F_CUTOFFANGLE, F_WHICHCHILD, F_FILENAME,
  F_IMAGE, F_WRAPS, F_WRAPT, F_MODEL, F_BLENDCOLOR, F_TRANSLATION, F_SCALEORIENTATION, F_NAME,
  F_DESCRIPTION, F_MAP, F_BBOXSIZE, F_BBOXCENTER, F_ISA, F_FIELDS
};

void need(bool ok) {
  if (!ok) fail();
}

// Reads "{", the fields (through `field`, false for a field the node does not have) and, for
// nodes with children, the children under `node`, up to the closing "}".
template <typename F>
void body(F field, WTnode *children = nullptr) {
  expect(VT_LBRACE);
  skipfields();
  for (;;) {
    int t = token();
    if (t == VT_RBRACE) return;
    if (t == VT_FIELD && field(_WTvrml_intvalue())) continue;
    if (children && t != VT_FIELD) {
      _WTvrml_ungettoken(t);
      readchildren(children);
      return;
    }
    fail();
  }
}

// A multiple-value field into the pool at the free index.
WTvrmlrange multi(int (*reader)(int), int words) {
  State &s = state();
  int n = reader(s.free);
  need(n >= 0);
  WTvrmlrange r{s.free, n};
  s.free += n * words;
  return r;
}

void string1() {
  State &s = state();
  need(_WTvrml_readsfstring(s.free) >= 0);
}

// ---- Shapes ----------------------------------------------------------------------------------

WTnode *shapenode(WTnode *parent, WTgeometry *g, Def *def) {
  if (!g) return nullptr;
  if (WTmtable *t = tableof(state().material)) WTgeometry_setmtable(g, t);
  WTnode *node = WTgeometrynode_new(parent, g);
  define(def, node);
  return node;
}

const char *texturename() { return state().texture.empty() ? nullptr : state().texture.c_str(); }

WTnode *cone(WTnode *parent, Def *def) {
  int parts = 3;
  float radius = 1, height = 2;
  body([&](int f) {
    if (f == F_PARTS) need(_WTvrml_readconeparts(&parts));
    else if (f == F_BOTTOMRADIUS) need(_WTvrml_readsffloat(&radius));
    else if (f == F_HEIGHT) need(_WTvrml_readsffloat(&height));
    else return false;
    return true;
  });
  WTgeometry *g = _WTvrml_makecone(height, radius, 8, parts, state().materialbinding, texturename());
  return shapenode(parent, g, def);
}

WTnode *cylinder(WTnode *parent, Def *def) {
  int parts = 7;
  float radius = 1, height = 2;
  body([&](int f) {
    if (f == F_PARTS) need(_WTvrml_readcylinderparts(&parts));
    else if (f == F_RADIUS) need(_WTvrml_readsffloat(&radius));
    else if (f == F_HEIGHT) need(_WTvrml_readsffloat(&height));
    else return false;
    return true;
  });
  if (!parts) return nullptr;
  WTgeometry *g =
      _WTvrml_makecylinder(height, radius, 8, parts, state().materialbinding, texturename());
  return shapenode(parent, g, def);
}

void cubelook(WTgeometry *g) {
  const int b = state().materialbinding;
  const bool perpart = b >= VB_PER_PART && b <= VB_PER_FACE_INDEXED;
  static const int ids[6] = {5, 4, 2, 1, 3, 0};
  static const float u1[4] = {1, 1, 0, 0}, v1[4] = {0, 1, 1, 0};
  static const float u2[4] = {0, 1, 1, 0}, v2[4] = {0, 0, 1, 1};
  int i = 0;
  for (WTpoly *p = g->polys; p && i < 6; p = p->next, i++) {
    if (perpart) p->matid = ids[i];
    if (const char *t = texturename()) {
      if (WTpoly_settextureuv(p, t, i < 2 ? u1 : u2, i < 2 ? v1 : v2, 1, 0))
        WTpoly_settexturestyle(p, 1, 0, 1);
    }
  }
}

WTnode *cube(WTnode *parent, Def *def) {
  float w = 2, h = 2, d = 2;
  body([&](int f) {
    if (f == F_WIDTH) need(_WTvrml_readsffloat(&w));
    else if (f == F_HEIGHT) need(_WTvrml_readsffloat(&h));
    else if (f == F_DEPTH) need(_WTvrml_readsffloat(&d));
    else return false;
    return true;
  });
  WTgeometry *g = WTgeometry_newblock(w, h, d, 0);
  if (g) cubelook(g);
  return shapenode(parent, g, def);
}

WTnode *sphere(WTnode *parent, Def *def) {
  float radius = 1;
  body([&](int f) {
    if (f != F_RADIUS) return false;
    need(_WTvrml_readsffloat(&radius));
    return true;
  });
  return shapenode(parent, WTgeometry_newsphere(radius, 6, 12, 0, 0), def);
}

WTnode *faceset(WTnode *parent, Def *def) {
  State &s = state();
  const int mark = s.free;
  WTvrmlfaceset fs{{0, 0}, {0, 0}, {0, 0}, {0, 0}};
  bool given[4] = {false, false, false, false};
  body([&](int f) {
    if (f < F_COORDINDEX || f > F_TEXTURECOORDINDEX) return false;
    WTvrmlrange *lists[4] = {&fs.coordindex, &fs.materialindex, &fs.normalindex, &fs.texcoordindex};
    *lists[f - F_COORDINDEX] = multi(_WTvrml_readmflong, 1);
    given[f - F_COORDINDEX] = true;
    return true;
  });
  WTvrmlrange *lists[3] = {&fs.materialindex, &fs.normalindex, &fs.texcoordindex};
  for (int i = 0; i < 3; i++)
    if (!given[i + 1] || lists[i]->count == 0) {
      _WTvrml_poolreserve(s.free, 1)[s.free] = static_cast<uint32_t>(-1);
      *lists[i] = {s.free++, 1};
    }
  WTvrmlshape shape{texturename(), {s.texmatrix[0][0], s.texmatrix[0][1], s.texmatrix[1][0],
                                    s.texmatrix[1][1], s.texmatrix[2][0], s.texmatrix[2][1]},
                    s.free, s.coords, s.normals, s.texcoords, s.materialbinding,
                    s.normalbinding, s.vertexordering, s.shapetype};
  int bad = 0;
  WTgeometry *g = _WTvrml_makefaceset(&shape, &fs, &bad);
  s.free = mark;
  if (bad) fail();
  return shapenode(parent, g, def);
}

// ---- Nodes that set the traversal state ------------------------------------------------------

WTvrmlrange pointlist(int (*reader)(int), int words, int field, const float *fallback) {
  WTvrmlrange r{0, 0};
  bool given = false;
  body([&](int f) {
    if (f != field) return false;
    r = multi(reader, words);
    given = true;
    return true;
  });
  if (given && r.count > 0) return r;
  State &s = state();
  uint32_t *pool = _WTvrml_poolreserve(s.free, words);
  memcpy(&pool[s.free], fallback, sizeof(float) * static_cast<size_t>(words));
  r = {s.free, 1};
  s.free += words;
  return r;
}

WTnode *bindingnode(int *binding) {
  int value = 0;
  body([&](int f) {
    if (f != F_VALUE) return false;
    need(_WTvrml_readbinding(&value));
    return true;
  });
  *binding = value;
  return nullptr;
}

WTnode *shapehints() {
  State &s = state();
  s.vertexordering = 0, s.shapetype = 0, s.facetype = 1, s.crease = 0.5f;
  body([&](int f) {
    if (f == F_VERTEXORDERING) need(_WTvrml_readvertexordering(&s.vertexordering));
    else if (f == F_SHAPETYPE) need(_WTvrml_readshapetype(&s.shapetype));
    else if (f == F_FACETYPE) need(_WTvrml_readfacetype(&s.facetype));
    else if (f == F_CREASEANGLE) need(_WTvrml_readsffloat(&s.crease));
    else return false;
    return true;
  });
  return nullptr;
}

void multiply3(const float a[3][3], const float b[3][3], float out[3][3]) {
  float r[3][3];
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
  memcpy(out, r, sizeof r);
}

WTnode *texture2transform() {
  float t[2] = {0, 0}, rot = 0, scale[2] = {1, 1}, c[2] = {0, 0};
  body([&](int f) {
    if (f == F_TRANSLATION) need(_WTvrml_readsfvec2f(t));
    else if (f == F_ROTATION) need(_WTvrml_readsffloat(&rot));
    else if (f == F_SCALEFACTOR) need(_WTvrml_readsfvec2f(scale));
    else if (f == F_CENTER) need(_WTvrml_readsfvec2f(c));
    else return false;
    return true;
  });
  const float cs = cosf(rot), sn = sinf(rot);
  const float centre[3][3] = {{1, 0, 0}, {0, 1, 0}, {c[0], c[1], 1}};
  const float scaling[3][3] = {{scale[0], 0, 0}, {0, scale[1], 0}, {0, 0, 1}};
  const float turn[3][3] = {{cs, sn, 0}, {-sn, cs, 0}, {0, 0, 1}};
  const float move[3][3] = {{1, 0, 0}, {0, 1, 0}, {t[0], t[1], 1}};
  float m[3][3];
  multiply3(centre, scaling, m);
  multiply3(m, turn, m);
  multiply3(m, move, m);
  multiply3(m, state().texmatrix, state().texmatrix);
  return nullptr;
}

// ---- Materials -------------------------------------------------------------------------------

struct MaterialLists {
  WTvrmlrange ambient{0, 0}, diffuse{0, 0}, specular{0, 0}, emissive{0, 0};
  WTvrmlrange shininess{0, 0}, transparency{0, 0};
  bool hasambient = false, hasdiffuse = false, hasshininess = false;
};

bool counts(WTvrmlrange r, int words) {
  for (int i = 0; i < r.count * words; i++)
    if (_WTvrml_poolfloat(r.start + i) != 0) return true;
  return false;
}

WTvrmlrange constant(const float *values, int words) {
  State &s = state();
  uint32_t *pool = _WTvrml_poolreserve(s.free, words);
  memcpy(&pool[s.free], values, sizeof(float) * static_cast<size_t>(words));
  WTvrmlrange r{s.free, 1};
  s.free += words;
  return r;
}

void readmaterial(MaterialLists &m) {
  body([&](int f) {
    switch (f) {
      case F_AMBIENTCOLOR: m.ambient = multi(_WTvrml_readmfvec3f_opt, 3); m.hasambient = true; break;
      case F_DIFFUSECOLOR: m.diffuse = multi(_WTvrml_readmfvec3f_opt, 3); m.hasdiffuse = true; break;
      case F_SPECULARCOLOR: m.specular = multi(_WTvrml_readmfvec3f_opt, 3); break;
      case F_EMISSIVECOLOR: m.emissive = multi(_WTvrml_readmfvec3f_opt, 3); break;
      case F_SHININESS: m.shininess = multi(_WTvrml_readmffloat, 1); m.hasshininess = true; break;
      case F_TRANSPARENCY: m.transparency = multi(_WTvrml_readmffloat, 1); break;
      default: return false;
    }
    return true;
  });
  const float ambient[3] = {0.2f, 0.2f, 0.2f}, diffuse[3] = {0.8f, 0.8f, 0.8f}, shine = 0.2f;
  if (!m.hasambient) m.ambient = constant(ambient, 3);
  if (!m.hasdiffuse) m.diffuse = constant(diffuse, 3);
  if (!m.hasshininess) m.shininess = constant(&shine, 1);
}

bool samelists(WTvrmlrange a, WTvrmlrange b) {
  if (a.count != b.count) return false;
  for (int i = 0; i < a.count * 3; i++)
    if (_WTvrml_poolfloat(a.start + i) != _WTvrml_poolfloat(b.start + i)) return false;
  return true;
}

struct Column {
  WTvrmlrange list;
  int words;
  unsigned int bit;
  float scale, offset;  // value = offset + scale * element
};

void fillentry(WTmtable *t, int entry, const Column &c) {
  const int i = entry < c.list.count ? entry : c.list.count - 1;
  float v[3];
  for (int k = 0; k < c.words; k++)
    v[k] = c.offset + c.scale * _WTvrml_poolfloat(c.list.start + i * c.words + k);
  WTmtable_setvalue(t, entry, v, c.bit);
}

WTmtable *materialtable(const MaterialLists &m) {
  std::vector<Column> cols;
  const bool amb = counts(m.ambient, 3), dif = counts(m.diffuse, 3);
  if (amb && dif && samelists(m.ambient, m.diffuse)) {
    cols.push_back({m.ambient, 3, WTAMBIENTDIFFUSE, 1, 0});
  } else {
    if (amb) cols.push_back({m.ambient, 3, WTAMBIENT, 1, 0});
    if (dif) cols.push_back({m.diffuse, 3, WTDIFFUSE, 1, 0});
  }
  if (counts(m.emissive, 3)) cols.push_back({m.emissive, 3, WTEMISSION, 1, 0});
  const bool specular = counts(m.specular, 3);
  if (specular) cols.push_back({m.specular, 3, WTSPECULAR, 1, 0});
  if (specular && counts(m.shininess, 1)) cols.push_back({m.shininess, 1, WTSHININESS, 128, 0});
  if (counts(m.transparency, 1)) cols.push_back({m.transparency, 1, WTOPACITY, -1, 1});
  if (cols.empty()) return nullptr;
  unsigned int mask = 0;
  int entries = 0;
  for (const Column &c : cols) {
    mask |= c.bit;
    if (c.list.count > entries) entries = c.list.count;
  }
  WTmtable *t = WTmtable_new(mask, entries, nullptr);
  for (int e = 0; t && e < entries; e++) {
    int index = WTmtable_newentry(t);
    for (const Column &c : cols) fillentry(t, index, c);
  }
  return t;
}

WTnode *material(WTnode *parent, Def *def) {
  State &s = state();
  const int mark = s.free;
  MaterialLists m;
  readmaterial(m);
  WTmtable *t = materialtable(m);
  s.free = mark;
  if (t && def) WTmtable_setname(t, def->name.c_str());
  WTnode *node = newmtablenode(parent, t);
  s.material = node;
  if (def) {
    def->kind = DEF_MATERIAL;
    def->node = node;
  }
  return node;
}

// ---- Transforms ------------------------------------------------------------------------------

typedef float M4[4][4];

void identity(M4 m) {
  memset(m, 0, sizeof(M4));
  for (int i = 0; i < 4; i++) m[i][i] = 1;
}

// The rotation about an axis by an angle, as rows for row vectors.
void axisangle(const float *r, M4 m) {
  identity(m);
  const float len = sqrtf(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  if (len == 0) {
    for (int i = 0; i < 3; i++)
      for (int j = 0; j < 3; j++) m[i][j] = 0;
    return;
  }
  const float x = r[0] / len, y = r[1] / len, z = r[2] / len;
  const float c = cosf(r[3]), s = sinf(r[3]), t = 1 - c;
  const float rows[3][3] = {{t * x * x + c, t * x * y + s * z, t * x * z - s * y},
                            {t * x * y - s * z, t * y * y + c, t * y * z + s * x},
                            {t * x * z + s * y, t * y * z - s * x, t * z * z + c}};
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) m[i][j] = rows[i][j];
}

void translation(const float *v, float sign, M4 m) {
  identity(m);
  for (int j = 0; j < 3; j++) m[3][j] = sign * v[j];
}

void then(M4 acc, M4 next) {
  M4 r;
  _WTm4_multiply(acc, next, r);
  memcpy(acc, r, sizeof(M4));
}

WTnode *xformnode(WTnode *parent, M4 m, Def *def) {
  WTnode *node = WTxformnode_new(parent);
  WTnode_settransform(node, m);
  define(def, node);
  return node;
}

WTnode *transform(WTnode *parent, Def *def) {
  float t[3] = {0, 0, 0}, r[4] = {0, 0, 1, 0}, sc[3] = {1, 1, 1}, so[4] = {0, 0, 1, 0};
  float c[3] = {0, 0, 0};
  body([&](int f) {
    if (f == F_TRANSLATION) need(_WTvrml_readsfvec3f(t));
    else if (f == F_ROTATION) need(_WTvrml_readsfrotation(r));
    else if (f == F_SCALEFACTOR) need(_WTvrml_readsfvec3f(sc));
    else if (f == F_SCALEORIENTATION) need(_WTvrml_readsfrotation(so));
    else if (f == F_CENTER) need(_WTvrml_readsfvec3f(c));
    else return false;
    return true;
  });
  // Points are row vectors: the last step of the published order comes first.
  M4 m, x;
  translation(c, -1, m);
  const float unso[4] = {so[0], so[1], so[2], -so[3]};
  axisangle(unso, x), then(m, x);
  identity(x);
  for (int i = 0; i < 3; i++) x[i][i] = sc[i];
  then(m, x);
  axisangle(so, x), then(m, x);
  axisangle(r, x), then(m, x);
  translation(c, 1, x), then(m, x);
  translation(t, 1, x), then(m, x);
  return xformnode(parent, m, def);
}

WTnode *simplexform(WTnode *parent, Def *def, int kind) {
  float v[16] = {0, 0, 1, 0};
  if (kind == N_SCALE) v[0] = v[1] = v[2] = 1;
  if (kind == N_MATRIXTRANSFORM)
    for (int i = 0; i < 16; i++) v[i] = i % 5 == 0 ? 1.0f : 0.0f;
  body([&](int f) {
    if (kind == N_TRANSLATION && f == F_TRANSLATION) need(_WTvrml_readsfvec3f(v));
    else if (kind == N_ROTATION && f == F_ROTATION) need(_WTvrml_readsfrotation(v));
    else if (kind == N_SCALE && f == F_SCALEFACTOR) need(_WTvrml_readsfvec3f(v));
    else if (kind == N_MATRIXTRANSFORM && f == F_MATRIX) need(_WTvrml_readsfmatrix(v));
    else return false;
    return true;
  });
  M4 m;
  identity(m);
  if (kind == N_TRANSLATION) translation(v, 1, m);
  if (kind == N_ROTATION) axisangle(v, m);
  if (kind == N_SCALE)
    for (int i = 0; i < 3; i++) m[i][i] = v[i];
  if (kind == N_MATRIXTRANSFORM) memcpy(m, v, sizeof(M4));
  return xformnode(parent, m, def);
}

// ---- Lights and cameras ----------------------------------------------------------------------

struct LightFields {
  int on = 1;
  float intensity = 1, color[3] = {1, 1, 1}, location[3] = {0, 0, 1}, direction[3] = {0, 0, -1};
  float droprate = 0, cutoff = 0.785398f;
};

WTnode *light(WTnode *parent, Def *def, int kind) {
  LightFields l;
  body([&](int f) {
    if (f == F_ON) need(_WTvrml_readsfbool(&l.on));
    else if (f == F_INTENSITY) need(_WTvrml_readsffloat(&l.intensity));
    else if (f == F_COLOR) need(_WTvrml_readsfvec3f(l.color));
    else if (f == F_LOCATION && kind != N_DIRECTIONALLIGHT) need(_WTvrml_readsfvec3f(l.location));
    else if (f == F_DIRECTION && kind != N_POINTLIGHT) need(_WTvrml_readsfvec3f(l.direction));
    else if (f == F_DROPOFFRATE && kind == N_SPOTLIGHT) need(_WTvrml_readsffloat(&l.droprate));
    else if (f == F_CUTOFFANGLE && kind == N_SPOTLIGHT) need(_WTvrml_readsffloat(&l.cutoff));
    else return false;
    return true;
  });
  WTnode *node = kind == N_DIRECTIONALLIGHT ? WTlightnode_newdirected(parent)
                 : kind == N_POINTLIGHT     ? WTlightnode_newpoint(parent)
                                            : WTlightnode_newspot(parent);
  if (!node) return nullptr;
  WTlightnode_setintensity(node, l.intensity);
  WTlightnode_setdiffuse(node, l.color[0], l.color[1], l.color[2]);
  WTlightnode_setspecular(node, l.color[0], l.color[1], l.color[2]);
  const WTp3 d = {-l.direction[0], -l.direction[1], -l.direction[2]};
  if (kind != N_POINTLIGHT) WTlightnode_setdirection(node, d);
  if (kind != N_DIRECTIONALLIGHT) WTlightnode_setposition(node, l.location);
  if (kind == N_SPOTLIGHT) {
    WTlightnode_setexponent(node, 128 * l.droprate);
    WTlightnode_setangle(node, l.cutoff);
  }
  WTnode_enable(node, l.on);
  define(def, node);
  return node;
}

WTnode *perspectivecamera(Def *def) {
  float pos[3] = {0, 0, 1}, orient[4] = {0, 0, 1, 0}, focal = 5, angle = 0.785398f, hither = 0,
        yon = 0;
  bool hashither = false, hasyon = false;
  body([&](int f) {
    if (f == F_POSITION) need(_WTvrml_readsfvec3f(pos));
    else if (f == F_ORIENTATION) need(_WTvrml_readsfrotation(orient));
    else if (f == F_FOCALDISTANCE) need(_WTvrml_readsffloat(&focal));
    else if (f == F_HEIGHTANGLE) need(_WTvrml_readsffloat(&angle));
    else if (f == F_NEARDISTANCE) need(_WTvrml_readsffloat(&hither)), hashither = true;
    else if (f == F_FARDISTANCE) need(_WTvrml_readsffloat(&yon)), hasyon = true;
    else return false;
    return true;
  });
  WTviewpoint *vp = WTviewpoint_new();
  if (!vp) return nullptr;
  M4 m;
  axisangle(orient, m);
  for (int i = 0; i < 3; i++) m[i][1] = -m[i][1], m[i][2] = -m[i][2];
  WTpq pose;
  WTm4_2pq(m, &pose);
  WTviewpoint_setposition(vp, pos);
  WTviewpoint_setorientation(vp, pose.q);
  _WTviewpoint_setviewangle(vp, angle * 4 / 3);
  if (hashither) _WTviewpoint_sethither(vp, hither);
  if (hasyon) _WTviewpoint_setyon(vp, yon);
  if (def) WTviewpoint_setname(vp, def->name.c_str());
  if (takecamera()) _WTuniverse_setviewpoint(vp);
  return nullptr;
}

// Nodes read and dropped: their fields are checked, nothing is made.
WTnode *ignored(int kind) {
  State &s = state();
  const int mark = s.free;
  body([&](int f) {
    float v[4];
    int n;
    switch (kind * 100 + f) {
      case N_ASCIITEXT * 100 + F_STRING: multi(_WTvrml_readmfstring, 0); break;
      case N_ASCIITEXT * 100 + F_SPACING: need(_WTvrml_readsffloat(v)); break;
      case N_ASCIITEXT * 100 + F_JUSTIFICATION: need(_WTvrml_readjustification(&n)); break;
      case N_ASCIITEXT * 100 + F_WIDTH: multi(_WTvrml_readmffloat, 1); break;
      case N_FONTSTYLE * 100 + F_SIZE: need(_WTvrml_readsffloat(v)); break;
      case N_FONTSTYLE * 100 + F_FAMILY: need(_WTvrml_readfontfamily(&n)); break;
      case N_FONTSTYLE * 100 + F_STYLE: need(_WTvrml_readfontstyle(&n)); break;
      case N_INDEXEDLINESET * 100 + F_COORDINDEX:
      case N_INDEXEDLINESET * 100 + F_MATERIALINDEX:
      case N_INDEXEDLINESET * 100 + F_NORMALINDEX:
      case N_INDEXEDLINESET * 100 + F_TEXTURECOORDINDEX: multi(_WTvrml_readmflong, 1); break;
      case N_ORTHOGRAPHICCAMERA * 100 + F_POSITION: need(_WTvrml_readsfvec3f(v)); break;
      case N_ORTHOGRAPHICCAMERA * 100 + F_ORIENTATION: need(_WTvrml_readsfrotation(v)); break;
      case N_ORTHOGRAPHICCAMERA * 100 + F_FOCALDISTANCE:
      case N_ORTHOGRAPHICCAMERA * 100 + F_HEIGHT:
      case N_ORTHOGRAPHICCAMERA * 100 + F_NEARDISTANCE:
      case N_ORTHOGRAPHICCAMERA * 100 + F_FARDISTANCE: need(_WTvrml_readsffloat(v)); break;
      case N_POINTSET * 100 + F_STARTINDEX:
      case N_POINTSET * 100 + F_NUMPOINTS: need(_WTvrml_readsflong(&n)); break;
      default: return false;
    }
    return true;
  });
  s.free = mark;
  return nullptr;
}

// ---- Grouping nodes --------------------------------------------------------------------------

WTnode *group(WTnode *parent, Def *def) {
  WTnode *node = WTgroupnode_new(parent);
  body([](int) { return false; }, node);
  if (!def && WTnode_numparents(node) == 1 && WTnode_numchildren(node) == 1)
    node = replacebychild(node);
  define(def, node);
  return node;
}

WTnode *xformsep(WTnode *parent, Def *def) {
  WTnode *node = WTxformsepnode_new(parent);
  pushstate();
  body([](int) { return false; }, node);
  popstate();
  define(def, node);
  return node;
}

WTnode *lod(WTnode *parent, Def *def, bool screenarea) {
  WTnode *node = WTlodnode_new(parent);
  const int mark = state().free;
  WTvrmlrange ranges{0, 0};
  body([&](int f) {
    float c[3];
    if (!screenarea && f == F_CENTER) need(_WTvrml_readsfvec3f(c)), WTlodnode_setcenter(node, c);
    else if (f == (screenarea ? F_SCREENAREA : F_RANGE)) ranges = multi(_WTvrml_readmffloat, 1);
    else return false;
    return true;
  }, node);
  std::vector<float> r(static_cast<size_t>(ranges.count));
  for (int i = 0; i < ranges.count; i++) r[static_cast<size_t>(i)] = _WTvrml_poolfloat(ranges.start + i);
  if (ranges.count) WTlodnode_setrange(node, r.data(), ranges.count);
  state().free = mark;
  define(def, node);
  return node;
}

WTnode *switchnode(WTnode *parent, Def *def) {
  WTnode *node = WTswitchnode_new(parent);
  int which = -1;
  body([&](int f) {
    if (f != F_WHICHCHILD) return false;
    need(_WTvrml_readsflong(&which));
    return true;
  }, node);
  WTswitchnode_setwhichchild(node, which);
  define(def, node);
  return node;
}

// The name relative to the document: the base up to its last '/' (and for inlines '\').
std::string relative(const std::string &name, bool backslash) {
  if (name.compare(0, 7, "http://") == 0) return name;
  size_t cut = base().find_last_of(backslash ? "/\\" : "/");
  return cut == std::string::npos ? name : base().substr(0, cut + 1) + name;
}

std::string poolstring(int index) {
  const uint32_t *p = _WTvrml_pool() + index;
  return std::string(reinterpret_cast<const char *>(p));
}

WTnode *anchor(WTnode *parent, Def *def) {
  WTnode *node = WTanchornode_new(parent);
  const int at = state().free;
  body([&](int f) {
    int n;
    if (f == F_NAME) {
      string1();
      WTanchornode_setlocation(node, relative(poolstring(at), false).c_str());
    } else if (f == F_DESCRIPTION) {
      string1();
    } else if (f == F_MAP) {
      need(_WTvrml_readanchormap(&n));
    } else {
      return false;
    }
    return true;
  }, node);
  define(def, node);
  return node;
}

WTnode *inlinenode(WTnode *parent, Def *def) {
  std::string name;
  body([&](int f) {
    float v[3];
    if (f == F_NAME) string1(), name = poolstring(state().free);
    else if (f == F_BBOXSIZE || f == F_BBOXCENTER) need(_WTvrml_readsfvec3f(v));
    else return false;
    return true;
  });
  WTnode *node = WTinlinenode_new(parent);
  if (!name.empty()) {
    WTinlinenode_setlocation(node, name.c_str());
    queueinline(node, parent, relative(name, true));
  }
  define(def, node);
  return node;
}

void info() {
  const int at = state().free;
  std::string text;
  body([&](int f) {
    if (f != F_STRING) return false;
    string1();
    text = poolstring(at);
    return true;
  });
  State *outer = outerstate();
  if (!outer || text.empty()) return;
  State &s = state();
  if (text.find(" glom ") != std::string::npos) {
    s.info |= INFO_GLOM;
    size_t n = text.find(" glom name ");
    if (n != std::string::npos) {
      size_t b = text.find_first_not_of(' ', n + 11);
      size_t e = b == std::string::npos ? b : text.find(' ', b);
      s.hasglom = b != std::string::npos;
      if (s.hasglom) s.glomname = text.substr(b, e == std::string::npos ? e : e - b);
    }
  } else if (text == "Moveable") {
    s.info |= INFO_MOVEABLE;
  } else if (text == "Attachment") {
    s.info |= INFO_ATTACHMENT;
  }
}

WTnode *separator(WTnode *parent, Def *def) {
  pushstate();
  WTnode *node = WTsepnode_new(parent);
  body([&](int f) {
    int mode;
    if (f != F_RENDERCULLING) return false;
    need(_WTvrml_readrenderculling(&mode));
    WTsepnode_setcullmode(node, mode + 1);
    return true;
  }, node);
  const State s = state();
  popstate();
  WTnode *only = WTnode_numchildren(node) == 1 ? WTnode_getchild(node, 0) : nullptr;
  if (!def && (s.info & INFO_GLOM) && only && only->kind == WTNODE_GEOMETRY) {
    node = replacebychild(node);
    if (s.hasglom && node->u.geometry) WTgeometry_setname(node->u.geometry, s.glomname.c_str());
    return node;
  }
  if ((s.info & INFO_GLOM) && s.hasglom && only && only->kind == WTNODE_GEOMETRY && only->u.geometry)
    WTgeometry_setname(only->u.geometry, s.glomname.c_str());
  if ((s.info & INFO_MOVEABLE) && WTnode_numchildren(node) == 2 &&
      WTnode_getchild(node, 0)->kind == WTNODE_XFORM && WTnode_getchild(node, 1)->kind != WTNODE_XFORM)
    node->flags |= WTNF_MOVABLE;
  if ((s.info & INFO_ATTACHMENT) && (state().info & INFO_MOVEABLE)) node->flags |= WTNF_INNER;
  if (!def && only && only->kind == WTNODE_SEP) node = replacebychild(node);
  define(def, node);
  return node;
}

}  // namespace

void skipfields() {
  int t = token();
  if (t != VT_FIELD || _WTvrml_intvalue() != F_FIELDS) {
    _WTvrml_ungettoken(t);
    return;
  }
  for (t = token(); t != VT_RBRACKET; t = token())
    if (t == VT_END) fail();
}

WTnode *build(int keyword, WTnode *parent, Def *def) {
  State &s = state();
  static const float origin[3] = {0, 0, 0}, up[3] = {0, 0, 1}, zero2[2] = {0, 0};
  switch (keyword) {
    case N_CONE: return cone(parent, def);
    case N_COORDINATE3: s.coords = pointlist(_WTvrml_readmfvec3f, 3, F_POINT, origin); return nullptr;
    case N_CUBE: return cube(parent, def);
    case N_CYLINDER: return cylinder(parent, def);
    case N_DIRECTIONALLIGHT: case N_POINTLIGHT: case N_SPOTLIGHT: return light(parent, def, keyword);
    case N_GROUP: return group(parent, def);
    case N_INDEXEDFACESET: return faceset(parent, def);
    case N_INFO: info(); return nullptr;
    case N_LEVELOFDETAIL: return lod(parent, def, true);
    case N_LOD: return lod(parent, def, false);
    case N_MATERIAL: return material(parent, def);
    case N_MATERIALBINDING: return bindingnode(&s.materialbinding);
    case N_NORMAL: s.normals = pointlist(_WTvrml_readmfvec3f, 3, F_VECTOR, up); return nullptr;
    case N_NORMALBINDING: return bindingnode(&s.normalbinding);
    case N_PERSPECTIVECAMERA: return perspectivecamera(def);
    case N_MATRIXTRANSFORM: case N_ROTATION: case N_SCALE: case N_TRANSLATION:
      return simplexform(parent, def, keyword);
    case N_SEPARATOR: return separator(parent, def);
    case N_SHAPEHINTS: return shapehints();
    case N_SPHERE: return sphere(parent, def);
    case N_SWITCH: return switchnode(parent, def);
    case N_TEXTURE2: return buildtexture(def);
    case N_TEXTURE2TRANSFORM: return texture2transform();
    case N_TEXTURECOORDINATE2:
      s.texcoords = pointlist(_WTvrml_readmfvec2f, 2, F_POINT, zero2);
      return nullptr;
    case N_TRANSFORM: return transform(parent, def);
    case N_TRANSFORMSEPARATOR: return xformsep(parent, def);
    case N_WWWANCHOR: return anchor(parent, def);
    case N_WWWINLINE: return inlinenode(parent, def);
    default: return ignored(keyword);
  }
}

}  // namespace vrml
