// Wavefront OBJ files with material files and map libraries, read into one closed geometry.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "scene.h"
#include "support.h"
#include "textures.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/wfront.h"

namespace {

FILE *streamof(const std::string &text) {
  FILE *f = tmpfile();
  fwrite(text.data(), 1, text.size(), f);
  rewind(f);
  return f;
}

WTgeometry *readobj(const std::string &text, float scale = 1.0f) {
  FILE *f = streamof(text);
  WTgeometry *g = _WTwfront_read_geometry(f, "test.obj", scale);
  fclose(f);
  return g;
}

// The polygons in file order (the geometry keeps the newest first).
std::vector<WTpoly *> polys(WTgeometry *g) {
  std::vector<WTpoly *> out;
  for (WTpoly *p = g->polys; p; p = p->next) out.insert(out.begin(), p);
  return out;
}

std::vector<std::vector<float>> corners(WTpoly *p) {
  std::vector<std::vector<float>> out;
  for (WTvertexlink *l = p->links; l; l = l->next)
    out.push_back({l->vertex->position[0], l->vertex->position[1], l->vertex->position[2]});
  return out;
}

// Material files and textures are found along the model and image paths of a scratch folder.
class Wfront : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    // Line reports print the line and the message as information.
    _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
    _WTfile_setmodelpath(folder.path().c_str());
  }
  void TearDown() override {
    _WTfile_setmodelpath("");
    WTuniverse_setoption(3, 0);
    WTuniverse_setoption(13, 0);
    tk::Universe::TearDown();
  }
  tk::TempFolder folder;
};

// ---- Vertices, corners and axes ----------------------------------------------------------------

TEST_F(Wfront, BackwardIndicesAxesAndScale) {
  WTgeometry *g = readobj("v 1 2 3\nv 4 5 6\nv 7 8 10\nf -1 -2 -3\n", 2.0f);
  ASSERT_TRUE(g);
  ASSERT_EQ(g->npolys, 1);
  EXPECT_EQ(corners(g->polys), (std::vector<std::vector<float>>{
                                   {14, -16, -20}, {8, -10, -12}, {2, -4, -6}}));
  WTgeometry_delete(g);

  WTuniverse_setoption(3, 1);
  g = readobj("v 1 2 3\nv 4 5 6\nv 7 8 10\nf 1 2 3\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(corners(g->polys), (std::vector<std::vector<float>>{{1, 2, 3}, {4, 5, 6}, {7, 8, 10}}));
  WTgeometry_delete(g);
}

// A normal index sets the vertex normal (the last face wins); the texture index may be left out.
TEST_F(Wfront, NormalsByIndex) {
  WTgeometry *g = readobj(
      "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
      "vn 0 0 1\nvn 0 1 0\n"
      "f 1//1 2//1 3//1\nf 2//2 4 3\n");
  ASSERT_TRUE(g);
  ASSERT_EQ(g->npolys, 2);
  std::vector<WTpoly *> p = polys(g);
  WTvertex *second = p[1]->links->vertex;
  ASSERT_TRUE(second->normal);
  EXPECT_EQ(second->normal[1], -1.0f);  // (0, 1, 0) with y and z negated
  EXPECT_EQ(p[0]->links->vertex->normal[2], -1.0f);
  EXPECT_FALSE(p[1]->links->next->vertex->normal);
  WTgeometry_delete(g);
}

// Files that give no geometry, and the message each gives.
TEST_F(Wfront, RefusedFiles) {
  const struct {
    const char *text, *message;
  } cases[] = {
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\n", "too few vertices"},
      {"", ""},
      {"f 1 2 3\n", ""},
      {"v 0 0 0 4\n", "Unrecognized keyword."},
      {"v 0 0 0\nvn 0 0 1 4\n", "Unrecognized keyword."},
      {"v 0 0 0\nbogus 1\n", "Unrecognized keyword."},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 2/x 1 3\n", "Invalid Vertex."},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n", "Invalid Vertex."},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "Invalid Vertex."},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 -4\n", "Invalid Vertex."},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3x\n", "Invalid Vertex."},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3/1/1/1\n", "Invalid Vertex."},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 99999999999999999999\n", "Invalid Vertex."},
      {"v 1 x 3\n", "Vertex Coordinate invalid.  Remember not to use punctuation."},
      {"v 1 2\n", "Vertex Coordinate missing."},
      {"v 0 0 0\nvt 0.5\n", "Texture vertex v Coordinate missing."},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    WTgeometry *g = readobj(c.text);
    EXPECT_FALSE(g) << c.text;
    if (g) WTgeometry_delete(g);
    EXPECT_NE(messages.all().find(c.message), std::string::npos) << c.text << messages.all();
  }
}

// The first pass counts the lines that begin (after blanks) with "v ": a file with none gives
// no geometry and no message; a line holding a NUL byte hides the line after it.
TEST_F(Wfront, FirstPassFindsVertexLines) {
  std::string padding;  // comment lines up to one byte before the first 64 KB end
  for (int i = 0; i < 1023; i++) padding += "#" + std::string(62, 'x') + "\n";
  padding += "#" + std::string(61, 'x') + "\n";
  const struct {
    std::string text;
    bool counted;
  } cases[] = {
      {"#\n \tv 0 0 0\n", true},
      {"vt 0 0\nvn 0 0 1\n", false},
      {"vx 0 0 0\n", false},
      {std::string("#\0\nv 0 0 0\n", 11), false},
      {std::string("#\0\n#\nv 0 0 0\n", 13), true},
      {padding + "v 0 0 0\n", true},
      {padding.substr(0, 1) + padding.substr(2) + "v 0 0 0\n", true},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    EXPECT_FALSE(readobj(c.text));
    const bool read = messages.all().find("too few vertices") != std::string::npos;
    EXPECT_EQ(read, c.counted) << c.text.substr(0, 20) << messages.all();
  }
}

// Faces that do not close are counted and left out; the other lines' keywords are passed over.
TEST_F(Wfront, IgnoredFacesAndSkippedKeywords) {
  tk::Captured messages;
  WTgeometry *g = readobj(
      "# comment\no thing\ng a b c\ns 1\nl 1 2\ncstype bezier\n"
      "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0 0\nf 1 2\nfo 1 2 3\nf\n");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->npolys, 1);
  EXPECT_NE(messages.all().find("2 polygons were ignored."), std::string::npos);
  WTgeometry_delete(g);
}

// ---- Materials and textures ------------------------------------------------------------------

const char kMaterials[] =
    "newmtl wood\nKd 0.5 0.5 0.5\nd 0.5\nmap_Kd -s 1 1 1 -clamp on wood.tga\n"
    "newmtl Red\nKa 0.1 0.1 0.1\nKd 1 0 0\nNs 20\nillum 2\n"
    "newmtl odd\nKs spectral 500\nfrob 1\n";

// Faces before any usemtl, with "red", with a name not in the list, with "off", then textured
// faces: every corner with a texture vertex, one corner without, one past the texture
// vertices, and every corner again.
std::string facesafter(const std::string &head) {
  return head +
         "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 0.25\n"
         "f 1 2 3\nusemtl RED\nf 1 2 3\nusemtl nosuch\nf 1 2 3\nusemtl off\nf 1 2 3\n"
         "usemtl wood\nf 1/1 2/2 3/3\nf 1/1 2/2 3\nf 1/1 2/2 3/9\nf 1/3 2/1 3/2\n";
}

TEST_F(Wfront, MaterialFileEntriesAndIds) {
  folder.write("mats.mtl", kMaterials);
  tk::Captured messages;
  WTgeometry *g = readobj(facesafter("mtllib mats.mtl other.mtl\n"));
  ASSERT_TRUE(g);
  EXPECT_NE(messages.all().find("Unknown material file keyword"), std::string::npos);
  WTmtable *t = g->mtable;
  ASSERT_TRUE(t);
  EXPECT_EQ(t->mask, unsigned(WTAMBIENT | WTDIFFUSE | WTSPECULAR | WTSHININESS | WTOPACITY));
  ASSERT_EQ(WTmtable_getnumentries(t), 3);
  EXPECT_STREQ(_WTmtable_getentryname(t, 1), "red");
  EXPECT_STREQ(_WTmtable_getentryname(t, 2), "odd");
  float rgb[3];
  ASSERT_TRUE(WTmtable_getvalue(t, 1, rgb, WTDIFFUSE));
  EXPECT_EQ(std::vector<float>(rgb, rgb + 3), (std::vector<float>{1, 0, 0}));
  ASSERT_TRUE(WTmtable_getvalue(t, 2, rgb, WTSPECULAR));
  EXPECT_EQ(std::vector<float>(rgb, rgb + 3), (std::vector<float>{0, 0, 0}));
  float opacity;
  ASSERT_TRUE(WTmtable_getvalue(t, 0, &opacity, WTOPACITY));
  EXPECT_EQ(opacity, 0.5f);
  std::vector<WTpoly *> p = polys(g);
  ASSERT_EQ(p.size(), 8u);
  // Before any material, red, red kept for an unknown name and for "off", then wood.
  EXPECT_EQ(p[0]->matid, 0);
  for (int i : {1, 2, 3}) EXPECT_EQ(p[i]->matid, 1) << i;
  for (int i : {4, 5, 6, 7}) EXPECT_EQ(p[i]->matid, 0) << i;
  WTgeometry_delete(g);
}

TEST_F(Wfront, TexturesFromTheMaterial) {
  tk::TextureImages images;
  folder.write("mats.mtl", kMaterials);
  WTgeometry *g = readobj(facesafter("mtllib mats.mtl\n"));
  ASSERT_TRUE(g);
  std::vector<WTpoly *> p = polys(g);
  ASSERT_EQ(p.size(), 8u);
  for (int i : {0, 1, 2, 3}) EXPECT_FALSE(p[i]->texture) << i;
  // Every corner with a texture vertex: those coordinates, v as 1 - v.
  ASSERT_TRUE(p[4]->texture);
  EXPECT_STREQ(_WTtexture_refname(p[4]->texture), "wood.tga");
  float u[3], v[3];
  ASSERT_TRUE(WTpoly_getuv(p[4], u, v));
  EXPECT_EQ(std::vector<float>(u, u + 3), (std::vector<float>{0, 1, 0}));
  EXPECT_EQ(std::vector<float>(v, v + 3), (std::vector<float>{1, 1, 0.75f}));
  // A corner without one, or with an index past the texture vertices: the default projection.
  for (int i : {5, 6}) {
    ASSERT_TRUE(p[i]->texture) << i;
    ASSERT_TRUE(WTpoly_getuv(p[i], u, v));
    EXPECT_FALSE(u[0] == 0 && u[1] == 1 && u[2] == 0 && v[2] == 0.75f) << i;
  }
  // Every corner again: its own coordinates, none kept from the faces before.
  ASSERT_TRUE(WTpoly_getuv(p[7], u, v));
  EXPECT_EQ(std::vector<float>(u, u + 3), (std::vector<float>{0, 0, 1}));
  EXPECT_EQ(std::vector<float>(v, v + 3), (std::vector<float>{0.75f, 1, 1}));
  WTgeometry_delete(g);

  // With option 3, texture v is kept.
  WTuniverse_setoption(3, 1);
  g = readobj(facesafter("mtllib mats.mtl\n"));
  ASSERT_TRUE(g);
  ASSERT_TRUE(WTpoly_getuv(polys(g)[4], u, v));
  EXPECT_EQ(v[2], 0.25f);
  WTgeometry_delete(g);
}

TEST_F(Wfront, AmbientAndDiffuseOption) {
  folder.write("mats.mtl", kMaterials);
  WTuniverse_setoption(13, 1);
  WTgeometry *g = readobj(facesafter("mtllib mats.mtl\n"));
  ASSERT_TRUE(g);
  EXPECT_EQ(g->mtable->mask, unsigned(WTAMBIENTDIFFUSE));
  float rgb[3];
  ASSERT_TRUE(WTmtable_getvalue(g->mtable, 1, rgb, WTAMBIENTDIFFUSE));
  EXPECT_EQ(rgb[0], 1.0f);
  WTgeometry_delete(g);
}

TEST_F(Wfront, MissingOrEmptyMaterialFiles) {
  folder.write("empty.mtl", "# nothing\nKd 1 0 0\n");
  const struct {
    const char *file, *message;
  } cases[] = {
      {"absent.mtl", "Couldn't open wavefront material file 'absent.mtl' for first pass"},
      {"empty.mtl", "Found no valid materials in material file"},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    WTgeometry *g = readobj(std::string("mtllib ") + c.file + "\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    ASSERT_TRUE(g) << c.file;
    EXPECT_EQ(WTmtable_getnumentries(g->mtable), 1) << c.file;
    EXPECT_NE(messages.all().find(c.message), std::string::npos) << messages.all();
    WTgeometry_delete(g);
  }
}

TEST_F(Wfront, MapLibraries) {
  tk::TextureImages images;
  folder.write("maps.map", "newmap stone\nKd brick.tga\nbump x\nnewmap bare\nKa 1\nnewmap bad\nzz\n");
  const std::string body = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  tk::Captured messages;
  WTgeometry *g = readobj("maplib maps.map\n" + body +
                          "f 1 2 3\nusemap stone\nf 1 2 3\nusemap off\nf 1 2 3\nusemap bare\nf 1 2 3\n");
  ASSERT_TRUE(g);
  EXPECT_NE(messages.all().find("Unknown mapfile keyword"), std::string::npos);
  std::vector<WTpoly *> p = polys(g);
  EXPECT_FALSE(p[0]->texture);
  for (int i : {1, 2, 3}) {
    ASSERT_TRUE(p[i]->texture) << i;
    EXPECT_STREQ(_WTtexture_refname(p[i]->texture), "brick.tga");
  }
  WTgeometry_delete(g);

  // With option 3 the map's name is the texture, and "off" takes it away.
  WTuniverse_setoption(3, 1);
  g = readobj(body + "usemap wood.tga\nf 1 2 3\nusemap off\nf 1 2 3\n");
  ASSERT_TRUE(g);
  p = polys(g);
  ASSERT_TRUE(p[0]->texture);
  EXPECT_FALSE(p[1]->texture);
  WTgeometry_delete(g);
}

// A texture that does not load is tried again without its extension.
TEST_F(Wfront, TextureRetriedWithoutExtension) {
  tk::TextureImages images;
  WTuniverse_setoption(3, 1);
  WTgeometry *g = readobj("v 0 0 0\nv 1 0 0\nv 0 1 0\nusemap wood.tga.old\nf 1 2 3\n");
  ASSERT_TRUE(g);
  ASSERT_TRUE(g->polys->texture);
  EXPECT_STREQ(_WTtexture_refname(g->polys->texture), "wood.tga");
  WTgeometry_delete(g);
}

// ---- Damaged files, objects and nodes ----------------------------------------------------------

TEST_F(Wfront, PrefixesAndFlippedBytes) {
  folder.write("mats.mtl", kMaterials);
  const std::string text = facesafter("mtllib mats.mtl\n") + "vn 0 0 1\nf 1//1 2/2/1 3\n";
  tk::Captured quiet;
  for (size_t n = 0; n <= text.size(); n++) {
    WTgeometry *g = readobj(text.substr(0, n));
    if (g) {
      EXPECT_GE(g->npolys, 1);
      WTgeometry_delete(g);
    }
  }
  for (size_t i = 0; i < text.size(); i++) {
    std::string damaged = text;
    damaged[i] = static_cast<char>(damaged[i] ^ 0x21);
    WTgeometry *g = readobj(damaged);
    if (g) WTgeometry_delete(g);
  }
  EXPECT_FALSE(_WTwfront_materialtexture("wood"));  // the lists end empty
}

TEST_F(Wfront, NodeAndObjectLoads) {
  const std::string path = folder.write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  WTnode *node = WTnode_load(root, path.c_str(), 1.0f);
  ASSERT_TRUE(node);
  EXPECT_EQ(WTgeometry_numpolys(WTnode_getgeometry(node)), 1);
  FILE *f = _WTfile_open(path.c_str(), "rt");
  WTobject *o = _WTwfront_read_object(f, path.c_str(), 1.0f, 0);
  fclose(f);
  ASSERT_TRUE(o);
  EXPECT_EQ(_WTobject_getgeometry(o)->object, o);
  _WTobject_destroy(o);
}

}  // namespace
