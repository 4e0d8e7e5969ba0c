// 3D Studio files into geometry: files written by the 3DS file toolkit and byte by byte, read
// into closed geometries sharing the file's material table, and loaded as scene-graph nodes.
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "files3ds.h"
#include "imagebytes.h"
#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/geom3ds.h"

namespace {

using namespace t3ds;

// The geometries read from the bytes, freed with the object.
class Geometries {
 public:
  explicit Geometries(const std::string &bytes, float scale = 1.0f, int join = 0) {
    FILE *f = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), f);
    rewind(f);
    list_ = _WT3ds_read_geometries(f, "test.3ds", scale, join);
    fclose(f);
    for (WTgeomlist *c = list_; c; c = c->next) all.push_back(c->geometry);
  }
  ~Geometries() {
    for (WTgeometry *g : all) WTgeometry_delete(g);
    _WTgeomlist_delete(list_);
  }
  Geometries(const Geometries &) = delete;
  Geometries &operator=(const Geometries &) = delete;
  std::vector<WTgeometry *> all;

 private:
  WTgeomlist *list_ = nullptr;
};

std::vector<WTvertex *> vertices(WTgeometry *g) {
  std::vector<WTvertex *> out;
  for (WTvertex *v = g->vertices; v; v = v->next) out.push_back(v);
  return out;
}

std::vector<WTpoly *> polys(WTgeometry *g) {
  std::vector<WTpoly *> out;
  for (WTpoly *p = g->polys; p; p = p->next) out.push_back(p);
  return out;
}

float dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// A unit cube of the 3DS file toolkit, side s (two triangles wound outward) in group masks[s].
std::string cubefile(const uint32_t masks[6]) {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  MeshObj3ds *cube = nullptr;
  InitMeshObj3ds(&cube, 8, 12, MeshSmoothArray3ds);
  strcpy(cube->name, "box");
  for (uint16_t i = 0; i < 8; i++)
    cube->vertices[i] = {static_cast<float>(i & 1), static_cast<float>(i >> 1 & 1), static_cast<float>(i >> 2)};
  const uint16_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (int s = 0; s < 6; s++) {
    const uint16_t *q = sides[s];
    cube->faces[2 * s] = {q[0], q[1], q[2], 7};
    cube->faces[2 * s + 1] = {q[0], q[2], q[3], 7};
    cube->smoothing[2 * s] = cube->smoothing[2 * s + 1] = masks[s];
  }
  PutMesh3ds(db, cube);
  ReleaseMeshObj3ds(&cube);
  return bytesof(db);
}

class Geom3ds : public tk::Universe {};

// ---- Smoothing, axes and winding -------------------------------------------------------------

// Every polygon faces the way its vertex normals point: out of the cube.
void expectoutward(WTgeometry *g) {
  for (WTpoly *p : polys(g))
    for (WTvertexlink *l = p->links; l; l = l->next) {
      ASSERT_NE(l->vertex->normal, nullptr);
      float out[3];
      for (int i = 0; i < 3; i++) out[i] = l->vertex->position[i] - g->mid[i];
      EXPECT_GT(dot(p->normal, l->vertex->normal), 0.3f);
      EXPECT_GT(dot(p->normal, out), 0.0f);
    }
}

TEST_F(Geom3ds, SmoothingGroupsSplitTheCube) {
  const struct {
    uint32_t masks[6];
    size_t vertices;
    bool sidenormals;  // every normal is its side's
  } cases[] = {
      {{1, 2, 4, 8, 16, 32}, 24, true},
      {{1, 1, 1, 1, 1, 1}, 8, false},
      {{1, 1, 1, 1, 1, 0}, 12, false},  // the faces in no group get corners of their own
  };
  for (const auto &c : cases) {
    Geometries read(cubefile(c.masks));
    ASSERT_EQ(read.all.size(), 1u);
    WTgeometry *g = read.all[0];
    EXPECT_STREQ(WTgeometry_getname(g), "box");
    EXPECT_EQ(vertices(g).size(), c.vertices) << c.masks[5];
    EXPECT_EQ(polys(g).size(), 12u);
    expectoutward(g);
    if (!c.sidenormals) continue;
    for (WTpoly *p : polys(g))
      for (WTvertexlink *l = p->links; l; l = l->next)
        EXPECT_NEAR(dot(p->normal, l->vertex->normal), 1.0f, 1e-5f);
  }
}

TEST_F(Geom3ds, AxesScaleAndCornerOrder) {
  const std::string bytes = file({object("a part", {points({0, 1, 0, 1, 2, 3, 0, 0, 0}), faces({0, 1, 2})})});
  struct P {
    float x, y, z;
  };
  const struct {
    int old3ds;
    float scale;
    P ring[3];  // the polygon's vertices: corners a, b, c
  } cases[] = {
      {0, 1.0f, {{0, 0, 1}, {1, -3, 2}, {0, 0, 0}}},
      {1, 1.0f, {{0, 1, 0}, {1, 2, 3}, {0, 0, 0}}},
      {0, 0.5f, {{0, 0, 0.5f}, {0.5f, -1.5f, 1}, {0, 0, 0}}},
  };
  for (const auto &c : cases) {
    WTuniverse_setoption(2, c.old3ds);
    Geometries read(bytes, c.scale);
    ASSERT_EQ(read.all.size(), 1u);
    EXPECT_STREQ(WTgeometry_getname(read.all[0]), "a_part");
    WTpoly *p = read.all[0]->polys;
    ASSERT_TRUE(p);
    int k = 0;
    for (WTvertexlink *l = p->links; l; l = l->next, k++) {
      ASSERT_LT(k, 3);
      EXPECT_EQ(l->vertex->position[0], c.ring[k].x) << c.old3ds << " " << k;
      EXPECT_EQ(l->vertex->position[1], c.ring[k].y) << c.old3ds << " " << k;
      EXPECT_EQ(l->vertex->position[2], c.ring[k].z) << c.old3ds << " " << k;
      EXPECT_EQ(l->vertex->normal, nullptr);  // no smoothing chunk, no normals
    }
  }
}

// ---- Materials, colours and textures ---------------------------------------------------------

// The file vertex a polygon vertex of the toolkit's cube file came from: (i&1, i>>1&1, i>>2).
int cubeindex(const WTvertex *v, int old3ds) {
  const float *p = v->position;
  const float x = p[0], y = old3ds ? p[1] : p[2], z = old3ds ? p[2] : -p[1];
  return static_cast<int>(lroundf(x)) | static_cast<int>(lroundf(y)) << 1 | static_cast<int>(lroundf(z)) << 2;
}

TEST_F(Geom3ds, TheFilesMaterialTable) {
  Geometries read(t3ds::cubefile());
  ASSERT_EQ(read.all.size(), 2u);
  EXPECT_STREQ(WTgeometry_getname(read.all[0]), "tri");  // the file's last mesh first
  EXPECT_STREQ(WTgeometry_getname(read.all[1]), "cube");
  WTmtable *table = WTgeometry_getmtable(read.all[0]);
  ASSERT_TRUE(table);
  EXPECT_EQ(WTgeometry_getmtable(read.all[1]), table);
  // BLUE, RED and the default material last; RED's transparency puts opacity into the table.
  ASSERT_EQ(WTmtable_getnumentries(table), 3);
  EXPECT_EQ(WTmtable_getproperties(table) & (WTDIFFUSE | WTSHININESS | WTOPACITY),
            unsigned(WTDIFFUSE | WTSHININESS | WTOPACITY));
  float v[3];
  ASSERT_TRUE(WTmtable_getvalue(table, 1, v, WTOPACITY));
  EXPECT_FLOAT_EQ(v[0], 0.25f);
  ASSERT_TRUE(WTmtable_getvalue(table, 1, v, WTSHININESS));
  EXPECT_FLOAT_EQ(v[0], 64.0f);
  ASSERT_TRUE(WTmtable_getvalue(table, 0, v, WTDIFFUSE));
  EXPECT_EQ(v[2], 1.0f);
  ASSERT_TRUE(WTmtable_getvalue(table, 2, v, WTDIFFUSE));
  EXPECT_FLOAT_EQ(v[1], 0.6f);
  // Faces 0..3 RED, 4..7 BLUE (the later group), the rest the default; the triangle has none.
  int red = 0, blue = 0, other = 0;
  for (WTpoly *p : polys(read.all[1])) {
    (p->matid == 1 ? red : p->matid == 0 ? blue : other)++;
    EXPECT_EQ(WTpoly_getbothsides(p), p->matid == 1 ? 1 : 0);
  }
  EXPECT_EQ(red, 4);
  EXPECT_EQ(blue, 4);
  EXPECT_EQ(other, 4);
  EXPECT_EQ(read.all[0]->polys->matid, 0);
}

// A folder on the image path holding the named texture, a small Targa picture whatever its name.
class TextureFolder {
 public:
  TextureFolder() { _WTfile_setimagepath(folder_.path().c_str()); }
  ~TextureFolder() { _WTfile_setimagepath(""); }
  TextureFolder(const TextureFolder &) = delete;
  TextureFolder &operator=(const TextureFolder &) = delete;
  void add(const std::string &name) const {
    using namespace tk::img;
    folder_.write(name, bytes(tga(2, 2, 2, 24, bgr(255, 0, 0) + bgr(0, 255, 0) + bgr(0, 0, 255) + bgr(9, 9, 9))));
  }

 private:
  tk::TempFolder folder_;
};

// The texture name of a polygon's reference.
std::string texturename(WTpoly *p) {
  const char *name = p->texture ? _WTtexture_refname(p->texture) : nullptr;
  return name ? name : "";
}

TEST_F(Geom3ds, TexturesFollowTheCorners) {
  TextureFolder images;
  images.add("WOOD.GIF");
  for (int old3ds : {0, 1}) {
    WTuniverse_setoption(2, old3ds);
    Geometries read(t3ds::cubefile());
    ASSERT_EQ(read.all.size(), 2u);
    int textured = 0;
    for (WTpoly *p : polys(read.all[1])) {
      if (p->matid != 1) {
        EXPECT_EQ(p->texture, nullptr);
        continue;
      }
      textured++;
      ASSERT_TRUE(p->texture);
      EXPECT_EQ(texturename(p), "WOOD.GIF");
      ASSERT_EQ(p->texture->uvcount, 3);
      EXPECT_EQ(p->texture->coordsset, 1);  // map strength 0.4
      int k = 0;
      for (WTvertexlink *l = p->links; l; l = l->next, k++) {
        const int i = cubeindex(l->vertex, old3ds);
        EXPECT_EQ(p->texture->u[k], 0.125f * i);
        EXPECT_EQ(p->texture->v[k], old3ds ? 0.125f * i : 1.0f - 0.125f * i);
      }
    }
    EXPECT_EQ(textured, 4);
  }
}

// WOOD.GIF does not load: with option 8 its faces ask for WOOD.tga instead.
TEST_F(Geom3ds, MissingTexturesTriedAsTarga) {
  TextureFolder images;
  images.add("WOOD.tga");
  const struct {
    int option;
    bool present;
    const char *name;
  } cases[] = {{0, false, "WOOD.GIF"}, {8, false, "WOOD.tga"}, {8, true, "WOOD.GIF"}};
  for (const auto &c : cases) {
    WTuniverse_setoption(8, c.option == 8);
    if (c.present) images.add("WOOD.GIF");
    Geometries read(t3ds::cubefile());
    ASSERT_EQ(read.all.size(), 2u);
    for (WTpoly *p : polys(read.all[1])) {
      if (!p->texture) continue;
      EXPECT_EQ(texturename(p), c.name) << c.option << c.present;
    }
  }
}

// ---- Several meshes --------------------------------------------------------------------------

TEST_F(Geom3ds, JoinFlag) {
  {
    Geometries read(t3ds::cubefile(), 1.0f, 1);
    ASSERT_EQ(read.all.size(), 1u);
    EXPECT_EQ(polys(read.all[0]).size(), 13u);
    EXPECT_EQ(vertices(read.all[0]).size(), 27u);
  }
  const uint32_t masks[6] = {1, 2, 4, 8, 16, 32};
  Geometries one(cubefile(masks), 1.0f, 1);
  ASSERT_EQ(one.all.size(), 1u);
  EXPECT_STREQ(WTgeometry_getname(one.all[0]), "box");
}

// A mesh whose close fails comes first; the table it leaves stays with the others.
TEST_F(Geom3ds, MeshesThatGiveNothing) {
  tk::Captured messages;
  Geometries read(file({
      object("good", {points({0, 0, 0, 1, 0, 0, 0, 1, 0}), faces({0, 1, 2})}),
      object("empty", {points(3)}),
      object("flat", {points(3), faces({0, 1, 2})}),
  }));
  ASSERT_EQ(read.all.size(), 1u);
  EXPECT_STREQ(WTgeometry_getname(read.all[0]), "good");
  WTmtable *table = WTgeometry_getmtable(read.all[0]);
  ASSERT_TRUE(table);
  EXPECT_EQ(WTmtable_getnumentries(table), 1);
  EXPECT_NE(messages.all().find("3ds geometry (empty) has no faces"), std::string::npos);
  EXPECT_NE(messages.all().find("Can't make geometry - too few vertices"), std::string::npos);
}

// Files that give no geometry at all: the warnings, nothing left behind.
TEST_F(Geom3ds, NoGeometry) {
  const struct {
    std::string bytes;
    const char *warning;
  } cases[] = {
      {file({object("m", {points(3), faces({0, 1, 3})})}), "Unable to parse 3D Studio file 'test.3ds'"},
      {file({object("m", {points(3)})}), "File 'test.3ds' has no readable geometries"},
      {file({object("m", {points(3), faces({0, 1, 2})})}), "File 'test.3ds' has no readable geometries"},
      // One vertex in two groups: the split must make room for its copy.
      {file({object("m", {points(1), faces({0, 0, 0, 0, 0, 0}, {chunk(0x4150, u32(1) + u32(2))})})}),
       "File 'test.3ds' has no readable geometries"},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    Geometries read(c.bytes);
    EXPECT_TRUE(read.all.empty());
    EXPECT_NE(messages.all().find(c.warning), std::string::npos) << messages.all();
    EXPECT_EQ(_WTmtable_first(), nullptr);
  }
  tk::Captured messages;
  EXPECT_EQ(_WT3ds_read_geometries(nullptr, "x", 1.0f, 0), nullptr);
  EXPECT_NE(messages.all().find("Null file pointer into _WT3ds_read_geometries !!"), std::string::npos);
}

// Every prefix of a sound file gives no geometry; every flipped byte gives none, or closed
// geometries whose polygons use their own vertices.
TEST_F(Geom3ds, PrefixesAndFlippedBytes) {
  const std::string &bytes = t3ds::cubefile();
  for (size_t n = 0; n < bytes.size(); n++) {
    Geometries read(bytes.substr(0, n));
    ASSERT_TRUE(read.all.empty()) << n;
  }
  for (size_t i = 0; i < bytes.size(); i++) {
    std::string damaged = bytes;
    damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
    Geometries read(damaged, 1.0f, static_cast<int>(i & 1));
    for (WTgeometry *g : read.all) {
      ASSERT_GE(vertices(g).size(), 3u) << i;
      const std::vector<WTvertex *> own = vertices(g);
      for (WTpoly *p : polys(g))
        for (WTvertexlink *l = p->links; l; l = l->next)
          ASSERT_NE(std::find(own.begin(), own.end(), l->vertex), own.end()) << i;
    }
  }
}

// ---- Nodes -----------------------------------------------------------------------------------

// A model in a folder with a Korean name loads as geometry nodes, the file's last mesh first.
TEST_F(Geom3ds, NodeLoad) {
  tk::TempFolder folder;
  const std::string path = folder.write("방 모델.3ds", t3ds::cubefile());
  WTnode *node = WTnode_load(root, path.c_str(), 1.0f);
  ASSERT_TRUE(node);
  EXPECT_STREQ(WTnode_getname(node), "tri");
  ASSERT_EQ(WTnode_numchildren(root), 2);
  EXPECT_STREQ(WTnode_getname(WTnode_getchild(root, 1)), "cube");
  EXPECT_EQ(WTgeometry_numpolys(WTnode_getgeometry(WTnode_getchild(root, 1))), 12);
  // Joined into one node.
  WTnode *one = WTgeometrynode_load(root, path.c_str(), 1.0f);
  ASSERT_TRUE(one);
  EXPECT_EQ(WTgeometry_numpolys(WTnode_getgeometry(one)), 13);
}

// ---- Objects ---------------------------------------------------------------------------------

// Objects come first mesh first; the object loaders join a file into one object in the scene.
TEST_F(Geom3ds, Objects) {
  const std::string &bytes = t3ds::cubefile();
  FILE *f = tmpfile();
  fwrite(bytes.data(), 1, bytes.size(), f);
  rewind(f);
  WTcell *list = _WT3ds_read_objects(f, "test.3ds", 1.0f, 0, 0);
  fclose(f);
  std::vector<std::string> names;
  for (WTcell *c = list; c; c = c->next) {
    WTobject *o = static_cast<WTobject *>(c->value);
    ASSERT_TRUE(o);
    names.push_back(_WTobject_getname(o));
    EXPECT_EQ(_WTobject_getgeometry(o)->object, o);
    _WTobject_destroy(o);  // never in the scene
  }
  _WTlist_free(list);
  EXPECT_EQ(names, (std::vector<std::string>{"cube", "tri"}));

  tk::TempFolder folder;
  const std::string path = folder.write("모델.3ds", bytes);
  WTpq pose;
  WTobject *o = _WTobject_load(path.c_str(), &pose, 1.0f, 0, 0);
  ASSERT_TRUE(o);
  EXPECT_EQ(_WTobject_first(), o);
  EXPECT_EQ(WTgeometry_numpolys(_WTobject_getgeometry(o)), 13);
}

}  // namespace
