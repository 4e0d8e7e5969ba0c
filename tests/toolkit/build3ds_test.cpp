// From the 3D Studio scene record toward geometry: smoothing splits, the material table's layout,
// axes and what each face's polygon carries.
#include <math.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/loaders/build3ds.h"
#include "toolkit/wt.h"

namespace {

struct Corner {
  uint32_t a, b, c, mask;
};

// A mesh as the reader leaves it, owned by a scene record.
class Mesh {
 public:
  Mesh(const std::vector<std::vector<float>> &verts, const std::vector<Corner> &faces, bool uv = false)
      : data_(static_cast<_WT3dsData *>(_WT3ds_calloc(sizeof(_WT3dsData), 1))) {
    m_ = static_cast<_WT3dsTriObject *>(_WT3ds_calloc(sizeof(_WT3dsTriObject), 1));
    data_->meshes = m_;
    m_->nverts = static_cast<uint32_t>(verts.size());
    m_->verts = static_cast<float(*)[3]>(_WT3ds_calloc(sizeof *m_->verts, verts.size()));
    for (size_t i = 0; i < verts.size(); i++) memcpy(m_->verts[i], verts[i].data(), sizeof m_->verts[i]);
    if (uv) {
      m_->uv = static_cast<float(*)[2]>(_WT3ds_calloc(sizeof *m_->uv, verts.size()));
      for (size_t i = 0; i < verts.size(); i++) m_->uv[i][0] = m_->uv[i][1] = 0.25f * static_cast<float>(i);
    }
    m_->nfaces = static_cast<uint32_t>(faces.size());
    m_->faces = static_cast<uint32_t(*)[3]>(_WT3ds_calloc(sizeof *m_->faces, faces.size()));
    m_->smoothing = static_cast<uint32_t *>(_WT3ds_calloc(sizeof *m_->smoothing, faces.size()));
    for (size_t f = 0; f < faces.size(); f++) {
      m_->faces[f][0] = faces[f].a;
      m_->faces[f][1] = faces[f].b;
      m_->faces[f][2] = faces[f].c;
      m_->smoothing[f] = faces[f].mask;
    }
  }
  ~Mesh() { _WT3ds_free(data_); }
  Mesh(const Mesh &) = delete;
  Mesh &operator=(const Mesh &) = delete;
  _WT3dsTriObject *operator->() const { return m_; }
  _WT3dsTriObject *get() const { return m_; }

 private:
  _WT3dsData *data_;
  _WT3dsTriObject *m_;
};

using Normals = std::unique_ptr<_WT3dsNormal[], decltype(&_WTmem_free)>;

std::vector<float> unit(const float *v) {
  float n = sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  return {v[0] / n, v[1] / n, v[2] / n};
}

// A unit cube, each side two triangles wound the same way round; side s in group masks[s].
Mesh *cube(const uint32_t masks[6]) {
  std::vector<std::vector<float>> verts;
  for (int i = 0; i < 8; i++) verts.push_back({float(i & 1), float(i >> 1 & 1), float(i >> 2)});
  const uint32_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  std::vector<Corner> faces;
  for (int s = 0; s < 6; s++) {
    const uint32_t *q = sides[s];
    faces.push_back({q[0], q[1], q[2], masks[s]});
    faces.push_back({q[0], q[2], q[3], masks[s]});
  }
  return new Mesh(verts, faces);
}

TEST(Smooth3ds, FaceNormalsAreWeightedCrossProducts) {
  Mesh m({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {2, 0, 0}, {0, 0, 2}}, {{0, 1, 2, 1}, {3, 4, 5, 1}});
  Normals n(_WT3ds_facenormals(m.get()), _WTmem_free);
  const float expected[2][3] = {{0, 0, 20}, {0, -80, 0}};
  for (int f = 0; f < 2; f++)
    for (int i = 0; i < 3; i++) EXPECT_EQ(n[f][i], expected[f][i]) << f << " " << i;
}

TEST(Smooth3ds, CubeInSixGroupsSplitsEveryCornerThreeWays) {
  const uint32_t masks[6] = {1, 2, 4, 8, 16, 32};
  std::unique_ptr<Mesh> m(cube(masks));
  Normals faces(_WT3ds_facenormals(m->get()), _WTmem_free);
  std::vector<std::vector<float>> filecorner;  // the file position of every face corner
  for (uint32_t f = 0; f < 12; f++)
    for (uint32_t c : (*m)->faces[f]) filecorner.emplace_back((*m)->verts[c], (*m)->verts[c] + 3);
  Normals n(_WT3ds_smoothnormals(m->get()), _WTmem_free);
  ASSERT_EQ((*m)->nverts, 24u);
  std::vector<int> uses(24);
  for (uint32_t f = 0; f < 12; f++) {
    for (int k = 0; k < 3; k++) {
      const uint32_t c = (*m)->faces[f][k];
      ASSERT_LT(c, 24u);
      uses[c]++;
      std::vector<float> side = unit(faces[f]), got = unit(n[c]);
      for (int i = 0; i < 3; i++) EXPECT_NEAR(got[i], side[i], 1e-6) << "face " << f << " slot " << c;
      EXPECT_EQ(std::vector<float>((*m)->verts[c], (*m)->verts[c] + 3), filecorner[3 * f + k]) << c;
    }
  }
  for (int u : uses) EXPECT_GT(u, 0);
}

TEST(Smooth3ds, CubeInOneGroupKeepsItsVertices) {
  const uint32_t masks[6] = {1, 1, 1, 1, 1, 1};
  std::unique_ptr<Mesh> m(cube(masks));
  Normals n(_WT3ds_smoothnormals(m->get()), _WTmem_free);
  ASSERT_EQ((*m)->nverts, 8u);
  for (uint32_t v = 0; v < 8; v++) {
    // Outward (or all inward) from the centre, whatever the weights.
    float dot = 0;
    for (int i = 0; i < 3; i++) dot += n[v][i] * ((*m)->verts[v][i] - 0.5f);
    EXPECT_GT(dot, 0.0f) << v;
  }
}

// Faces in no group that meet smoothed ones get copies, with the same position and uv; a corner
// that only flat faces use keeps its vertex and no normal.
TEST(Smooth3ds, UngroupedFacesGetTheirOwnCopies) {
  Mesh m({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2, 1}, {0, 2, 3, 0}}, true);
  Normals n(_WT3ds_smoothnormals(m.get()), _WTmem_free);
  ASSERT_EQ(m->nverts, 6u);
  EXPECT_EQ(m->faces[1][0], 4u);
  EXPECT_EQ(m->faces[1][1], 5u);
  EXPECT_EQ(m->faces[1][2], 3u);
  EXPECT_EQ(m->verts[5][0], 1.0f);
  EXPECT_EQ(m->uv[5][0], 0.5f);
  EXPECT_EQ(n[4][2], 20.0f);
  EXPECT_EQ(n[3][2], 0.0f);
}

// A mesh of one vertex still grows to hold the copy its second group needs.
TEST(Smooth3ds, OneVertexMeshGrows) {
  Mesh m({{1, 2, 3}}, {{0, 0, 0, 1}, {0, 0, 0, 2}, {0, 0, 0, 4}}, true);
  Normals n(_WT3ds_smoothnormals(m.get()), _WTmem_free);
  ASSERT_EQ(m->nverts, 3u);
  EXPECT_EQ(m->faces[2][0], 2u);
  EXPECT_EQ(m->verts[2][2], 3.0f);
  EXPECT_EQ(m->uv[2][1], 0.0f);
}

// ---- Material table --------------------------------------------------------------------------

_WT3dsMaterial material(float ambient, float diffuse, float specular, float shininess, float transparency) {
  _WT3dsMaterial m = {};
  m.ambient[0] = ambient;
  m.diffuse[0] = diffuse;
  m.specular[0] = m.specular[1] = m.specular[2] = specular;
  m.shininess = shininess;
  m.transparency = transparency;
  m.strength = 0.5f;
  return m;
}

TEST(Table3ds, MaskFromWhatAnyMaterialGives) {
  const struct {
    _WT3dsMaterial m;
    unsigned int mask;
  } cases[] = {
      {material(-1, -1, -1, -1, 0), 0},
      {material(0.1f, -1, -1, -1, 0), WT3DS_AMBIENT},
      {material(-1, 0.1f, -1, -1, 0), WT3DS_DIFFUSE},
      {material(-1, -1, 0.1f, -1, 0), WT3DS_SPECULAR},
      {material(-1, -1, -1, 0, 0), WT3DS_SHININESS},
      {material(-1, -1, -1, -1, 0.5f), WT3DS_OPACITY | WT3DS_DIFFUSE},  // opacity needs diffuse
  };
  for (const auto &c : cases) {
    _WT3dsMaterial m = c.m;
    _WT3dsTableLayout *t = _WT3ds_tablelayout(&m);
    EXPECT_EQ(t->mask, c.mask);
    EXPECT_EQ(t->entries[0].given, c.mask & ~(c.m.diffuse[0] == -1 ? WT3DS_DIFFUSE : 0u));
    _WT3ds_freelayout(t);
  }
}

TEST(Table3ds, EntriesInListOrderRenumberTheMaterials) {
  _WT3dsMaterial glass = material(-1, -1, 1.0f, -1, 0.25f), wood = material(-1, 0.6f, -1, 64, 0),
                 fallback = material(0.2f, 0.6f, 0.2f, 10, 0);
  glass.index = 7;
  wood.index = 9;
  glass.next = &wood;
  wood.next = &fallback;
  _WT3dsTableLayout *t = _WT3ds_tablelayout(&glass);
  ASSERT_EQ(t->count, 3u);
  EXPECT_EQ(t->mask, 0x4Fu);
  EXPECT_EQ(glass.index, 0u);
  EXPECT_EQ(wood.index, 1u);
  EXPECT_EQ(fallback.index, 2u);
  const _WT3dsTableEntry &g = t->entries[0], &w = t->entries[1];
  EXPECT_EQ(g.given, WT3DS_SPECULAR | WT3DS_OPACITY);
  EXPECT_EQ(g.specular[1], 0.5f);  // times the strength
  EXPECT_EQ(g.opacity[0], 0.75f);
  EXPECT_EQ(g.opacity[2], WT3DS_FILLER);
  EXPECT_EQ(w.given, WT3DS_DIFFUSE | WT3DS_SHININESS);
  EXPECT_EQ(w.shininess[0], 64.0f);
  EXPECT_EQ(w.shininess[1], WT3DS_FILLER);
  EXPECT_EQ(t->entries[2].given, WT3DS_AMBIENT | WT3DS_DIFFUSE | WT3DS_SPECULAR | WT3DS_SHININESS);
  _WT3ds_freelayout(t);
}

// ---- Axes, names, faces ----------------------------------------------------------------------

TEST(Look3ds, PositionsNormalsAndNames) {
  const float p[3] = {1, 2, 3};
  const struct {
    int old3ds;
    float scale;
    float out[3];
  } cases[] = {{0, 1.0f, {1, -3, 2}}, {1, 1.0f, {1, 2, 3}}, {0, 0.5f, {0.5f, -1.5f, 1}}};
  for (const auto &c : cases) {
    float out[3];
    _WT3ds_position(p, c.old3ds, c.scale, out);
    for (int i = 0; i < 3; i++) EXPECT_EQ(out[i], c.out[i]) << c.old3ds << " " << c.scale;
  }
  float n[3] = {9, 9, 9};
  const float up[3] = {0, 0, 3}, tiny[3] = {0, 0.004f, 0};
  EXPECT_EQ(_WT3ds_vertexnormal(up, 0, n), 1);
  EXPECT_EQ(n[1], -1.0f);
  EXPECT_EQ(_WT3ds_vertexnormal(tiny, 0, n), 0);
  char name[WT3DS_OBJNAME];
  _WT3ds_geometryname("my room 1", name);
  EXPECT_STREQ(name, "my_room_1");
}

TEST(Look3ds, TextureNamesTriedAsTarga) {
  const struct {
    const char *in, *out;
  } cases[] = {
      {"WOOD.GIF", "WOOD.tga"},      {"a.gif", "a.tga"},       {"lib\\x.TIFF", "lib\\x.tga"},
      {"c.cel", "c.tga"},            {"x.Gif", nullptr},       {"x.png", nullptr},
      {"dir.gif\\plain", nullptr},   {"noext", nullptr},
  };
  for (const auto &c : cases) {
    char out[32] = "";
    EXPECT_EQ(_WT3ds_tganame(c.in, out, sizeof out), c.out ? 1 : 0) << c.in;
    EXPECT_STREQ(out, c.out ? c.out : "") << c.in;  // untouched when refused
  }
  char small[6];
  EXPECT_EQ(_WT3ds_tganame("WOOD.GIF", small, sizeof small), 0);
}

TEST(Look3ds, FacesCarryTheirMaterial) {
  Mesh m({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2, 0}, {2, 1, 0, 0}, {0, 2, 1, 0}}, true);
  _WT3dsFaceLook look;
  _WT3ds_facelook(m.get(), 0, 0, &look);
  EXPECT_EQ(look.hasmaterial, 0);  // no material groups
  _WT3ds_facelook(m.get(), 1, 0, &look);
  EXPECT_EQ(look.corners[0], 2u);
  EXPECT_EQ(look.corners[2], 0u);

  _WT3dsMaterial textured = material(-1, 0.6f, -1, -1, 0), plain = material(-1, 1.0f, -1, -1, 0),
                 bare = material(-1, -1, -1, -1, 0);
  textured.index = 3;
  textured.diffuse[1] = textured.diffuse[2] = 0.6f;
  textured.twosided = 1;
  strcpy(textured.maps[WT3DS_TEXTUREMAP].name, "WOOD.GIF");
  textured.maps[WT3DS_TEXTUREMAP].strength = 0.4f;
  strcpy(textured.maps[WT3DS_OPACITYMAP].name, "MASK.TGA");
  plain.diffuse[1] = plain.diffuse[2] = 1.0f;
  plain.selfillumpct = 0.6f;
  bare.index = 5;
  _WT3dsMaterial *mats[3] = {&textured, &plain, &bare};
  m->facemats = static_cast<_WT3dsMaterial **>(_WT3ds_calloc(sizeof(_WT3dsMaterial *), 3));
  memcpy(m->facemats, mats, sizeof mats);

  _WT3ds_facelook(m.get(), 0, 1, &look);
  EXPECT_EQ(look.rgb[0], 153);
  EXPECT_EQ(look.id, 3u);
  EXPECT_EQ(look.twosided, 1);
  ASSERT_EQ(look.textured, 1);
  EXPECT_STREQ(look.texture, "WOOD.GIF");
  EXPECT_EQ(look.u[1], 0.25f);
  EXPECT_EQ(look.v[1], 0.75f);  // old3ds: 1 - v
  EXPECT_EQ(look.shaded, 1);
  EXPECT_EQ(look.transparent, 1);
  EXPECT_EQ(look.uvflag, 1);

  _WT3ds_facelook(m.get(), 1, 0, &look);
  EXPECT_EQ(look.rgb[2], 255);
  EXPECT_EQ(look.textured, 0);

  _WT3ds_facelook(m.get(), 2, 0, &look);
  EXPECT_EQ(look.hascolour, 0);
  EXPECT_EQ(look.id, 5u);

  strcpy(plain.maps[WT3DS_TEXTUREMAP].name, "x.tga");
  plain.maps[WT3DS_TEXTUREMAP].strength = 0.5f;
  _WT3ds_facelook(m.get(), 1, 0, &look);
  EXPECT_EQ(look.shaded, 0);  // self-illuminated
  EXPECT_EQ(look.uvflag, 0);
  EXPECT_EQ(look.v[0], 0.5f);
  _WTmem_free(m->uv);
  m->uv = nullptr;
  _WT3ds_facelook(m.get(), 0, 0, &look);
  EXPECT_EQ(look.textured, 0);  // no texture coordinates
}

}  // namespace
