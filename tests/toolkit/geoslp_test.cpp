// GEO files (palette colours, fans for bent outlines) and SLP files (solids of facets).
#include <stdio.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/geoslp.h"

namespace {

FILE *streamof(const std::string &text) {
  FILE *f = tmpfile();
  fwrite(text.data(), 1, text.size(), f);
  rewind(f);
  return f;
}

WTgeometry *readgeo(const std::string &text, float scale = 1.0f) {
  FILE *f = streamof(text);
  WTgeometry *g = _WTgeo_read_geometry(f, scale);
  fclose(f);
  return g;
}

std::vector<WTgeometry *> readslp(const std::string &text, float scale = 1.0f) {
  FILE *f = streamof(text);
  WTgeomlist *list = _WTslp_read_geometries(f, "test.slp", scale);
  fclose(f);
  std::vector<WTgeometry *> out;
  for (WTgeomlist *c = list; c; c = c->next) out.push_back(c->geometry);
  _WTgeomlist_delete(list);
  return out;
}

std::vector<WTpoly *> polys(WTgeometry *g) {
  std::vector<WTpoly *> out;
  for (WTpoly *p = g->polys; p; p = p->next) out.insert(out.begin(), p);
  return out;
}

int vertexcount(WTgeometry *g) {
  int n = 0;
  for (WTvertex *v = g->vertices; v; v = v->next) n++;
  return n;
}

class GeoSlp : public tk::Universe {};

// ---- GEO ---------------------------------------------------------------------------------------

const char kSquare[] = "3DG1\n4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n";

// Colour numbers to palette entries, through |c| mod 16; the odd entries 8, 11 and 13.
TEST_F(GeoSlp, GeoPalette) {
  const struct {
    int number, colour;
  } cases[] = {{20, 0x800}, {-3, 0x088}, {8, 0x000}, {11, 0x088}, {13, 0x808}, {15, 0xFFF}};
  for (const auto &c : cases) EXPECT_EQ(_WTgeo_color(c.number), c.colour) << c.number;
}

TEST_F(GeoSlp, GeoPolygonsColoursAndDetails) {
  WTgeometry *g = readgeo(std::string(kSquare) +
                          "4 0 1 2 3 20\n"
                          "3 0 1 2 -3  2  3 0 1 2 5  4 0 1 2 3 6\n"
                          "3 0 2 3 9\n");
  ASSERT_TRUE(g);
  std::vector<WTpoly *> p = polys(g);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(WTpoly_getcolor(p[0]), 0x800);
  EXPECT_EQ(WTpoly_getcolor(p[1]), 0x088);
  EXPECT_EQ(WTpoly_getcolor(p[2]), 0x00F);  // read after the two detail polygons
  EXPECT_EQ(p[0]->nverts, 4);
  EXPECT_TRUE(p[0]->flags & WTP_CONVEX);
  WTgeometry_delete(g);
}

TEST_F(GeoSlp, GeoScaleAndAxes) {
  WTgeometry *g = readgeo("3DG1 3 1 2 3  2 2 3  1 3 3  3 0 1 2 1", 2.0f);
  ASSERT_TRUE(g);
  ASSERT_TRUE(g->vertices);
  EXPECT_EQ(std::vector<float>(g->vertices->position, g->vertices->position + 3),
            (std::vector<float>{2, -4, 6}));
  WTgeometry_delete(g);
}

// Polygons of 2 or 256 vertices and polygons naming a vertex that is not there are skipped
// with their numbers; the file goes on after them.
TEST_F(GeoSlp, GeoSkippedPolygons) {
  std::string big = "256";
  for (int i = 0; i < 256; i++) big += " " + std::to_string(i % 4);
  big += " 7";
  const char *const skipped[] = {"2 0 1 7", big.c_str(), "3 0 1 4 7", "3 0 -1 2 7",
                                 "0 7", "-5 7"};
  for (const char *s : skipped) {
    WTgeometry *g = readgeo(std::string(kSquare) + s + "\n3 0 1 2 9\n");
    ASSERT_TRUE(g) << s;
    ASSERT_EQ(g->npolys, 1) << s;
    EXPECT_EQ(WTpoly_getcolor(g->polys), 0x00F) << s;
    WTgeometry_delete(g);
  }
  EXPECT_FALSE(readgeo(std::string(kSquare) + "2 0 1 7\n"));
  // Numbers at the ends of their range: the colour's palette entry, a detail count that never
  // ends.
  WTgeometry *g = readgeo(std::string(kSquare) + "3 0 1 2 -9223372036854775808 1 9223372036854775807 0");
  ASSERT_TRUE(g);
  EXPECT_EQ(WTpoly_getcolor(g->polys), 0x000);
  WTgeometry_delete(g);
  EXPECT_FALSE(readgeo("3DG1 99999999999 1 2 3"));
}

// A bent quad becomes a fan of two triangles, each two-sided and marked.
TEST_F(GeoSlp, GeoBentOutlineBecomesAFan) {
  WTgeometry *g = readgeo("3DG1 4 0 0 0 1 0 0 1 1 1 0 1 0  4 0 1 2 3 4");
  ASSERT_TRUE(g);
  std::vector<WTpoly *> p = polys(g);
  ASSERT_EQ(p.size(), 2u);
  for (WTpoly *t : p) {
    EXPECT_EQ(t->nverts, 3);
    EXPECT_EQ(t->flags & (WTP_TWOSIDED | 32), WTP_TWOSIDED | 32);
    EXPECT_EQ(WTpoly_getcolor(t), 0x800);
  }
  WTgeometry_delete(g);
}

TEST_F(GeoSlp, GeoPrefixesAndFlippedBytes) {
  const std::string text = std::string(kSquare) + "4 0 1 2 3 20\n3 0 1 2 -3 1 3 0 1 2 5\n3 0 2 3 9\n";
  tk::Captured quiet;
  for (size_t n = 0; n <= text.size(); n++)
    if (WTgeometry *g = readgeo(text.substr(0, n))) WTgeometry_delete(g);
  for (size_t i = 0; i < text.size(); i++) {
    std::string damaged = text;
    damaged[i] = static_cast<char>(damaged[i] ^ 0x0C);
    if (WTgeometry *g = readgeo(damaged)) {
      EXPECT_GE(g->npolys, 1);
      WTgeometry_delete(g);
    }
  }
}

// ---- SLP ---------------------------------------------------------------------------------------

const char kSolid[] =
    "solid part // a comment\n"
    "color 1.0 0.5 0\n"
    "facet normal 0 0 1\n outer loop\n  vertex 0 0 0\n  vertex 1 0 0\n  vertex 0 1 0\n endloop\nendfacet\n"
    "color 0 0 1\n"
    "facet normal 0 0 1 normal 0 0 1 normal 0 0 1\n outer loop\n  vertex 1 0 0\n  vertex 1 1 0\n"
    "  vertex 0 1 0\n endloop\nendfacet\n"
    "endsolid part\n";

TEST_F(GeoSlp, SlpFacetsColoursAndNormals) {
  tk::Captured messages;
  std::vector<WTgeometry *> gs = readslp(kSolid, 2.0f);
  ASSERT_EQ(gs.size(), 1u);
  WTgeometry *g = gs[0];
  EXPECT_STREQ(WTgeometry_getname(g), "part");
  EXPECT_EQ(vertexcount(g), 6);  // never shared between facets
  std::vector<WTpoly *> p = polys(g);
  ASSERT_EQ(p.size(), 2u);
  unsigned char r, gr, b;
  WTpoly_getrgb(p[0], &r, &gr, &b);
  EXPECT_EQ(std::vector<int>({r, gr, b}), (std::vector<int>{255, 127, 0}));
  WTpoly_getrgb(p[1], &r, &gr, &b);
  EXPECT_EQ(std::vector<int>({r, gr, b}), (std::vector<int>{0, 0, 255}));
  // The first facet's one normal goes to its first vertex only.
  EXPECT_TRUE(p[0]->links->vertex->normal);
  EXPECT_FALSE(p[0]->links->next->vertex->normal);
  EXPECT_TRUE(p[1]->rflags & WTR_VNORMALS);
  EXPECT_EQ(p[1]->links->next->vertex->position[1], 2.0f);
  EXPECT_NE(messages.all().find("expected name of geometry"), std::string::npos);
  WTgeometry_delete(g);
}

TEST_F(GeoSlp, SlpRefusedFiles) {
  const struct {
    const char *text, *message;
  } cases[] = {
      {"", "File test.slp has no data"},
      {"// only a comment\n", "File test.slp has no data"},
      {"facet\n", "Expected 'solid' at top of slp file."},
      {"solid\nfacet\n", "expected name of geometry"},
      {"solid a\nbogus\n", "unknown 'bogus'"},
      {"solid a\ncolor 1 x 0\n", "Color invalid."},
      {"solid a\nfacet normal 0 0 z\n", "Vertex normal invalid."},
      {"solid a\nfacet outer loop vertex 1 2\n", "Vertex coordinate missing."},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    std::vector<WTgeometry *> gs = readslp(c.text);
    EXPECT_TRUE(gs.empty()) << c.text;
    for (WTgeometry *g : gs) WTgeometry_delete(g);
    EXPECT_NE(messages.all().find(c.message), std::string::npos) << c.text << messages.all();
  }
}

TEST_F(GeoSlp, SlpPrefixesAndFlippedBytes) {
  const std::string text = kSolid;
  tk::Captured quiet;
  for (size_t n = 0; n <= text.size(); n++)
    for (WTgeometry *g : readslp(text.substr(0, n))) WTgeometry_delete(g);
  for (size_t i = 0; i < text.size(); i++) {
    std::string damaged = text;
    damaged[i] = static_cast<char>(damaged[i] ^ 0x21);
    for (WTgeometry *g : readslp(damaged)) {
      EXPECT_GE(g->npolys, 1);
      WTgeometry_delete(g);
    }
  }
}

// ---- Loads by file type ------------------------------------------------------------------------

TEST_F(GeoSlp, NodeAndObjectLoads) {
  tk::TempFolder folder;
  const std::string geo = folder.write("square.geo", std::string(kSquare) + "4 0 1 2 3 20\n");
  const std::string slp = folder.write("part.slp", kSolid);
  WTnode *node = WTnode_load(root, geo.c_str(), 1.0f);
  ASSERT_TRUE(node);
  EXPECT_EQ(WTgeometry_numpolys(WTnode_getgeometry(node)), 1);
  node = WTnode_load(root, slp.c_str(), 1.0f);
  ASSERT_TRUE(node);
  EXPECT_STREQ(WTnode_getname(node), "part");
  FILE *f = _WTfile_open(slp.c_str(), "rb");
  WTcell *list = _WTslp_read_objects(f, slp.c_str(), 1.0f, 0);
  fclose(f);
  ASSERT_TRUE(list);
  EXPECT_EQ(WTgeometry_numpolys(_WTobject_getgeometry(static_cast<WTobject *>(list->value))), 2);
  for (WTcell *c = list; c; c = c->next) _WTobject_destroy(static_cast<WTobject *>(c->value));
  _WTlist_free(list);
}

}  // namespace
