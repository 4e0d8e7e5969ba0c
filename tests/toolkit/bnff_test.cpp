// Binary NFF files into geometry and back: the records' bytes, the reader's refusals and round
// trips of geometries with tables, colours, textures and portals.
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
#include "toolkit/loaders/nff.h"

namespace {

std::string u32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
std::string f32(float f) {
  uint32_t bits;
  memcpy(&bits, &f, 4);
  return u32(bits);
}
std::string str(const std::string &s) { return std::string(1, char(s.size())) + s; }
std::string point(float x, float y, float z) { return f32(x) + f32(y) + f32(z); }
std::string head() { return "bnff" + f32(6.01f); }
// A triangle geometry: the given material part, vertex records and polygon records.
std::string tri(const std::string &material, const std::string &polys, int vertexflags = 0,
                const std::string &extra = "") {
  std::string s = std::string(1, 3) + str("t") + material + u32(3);
  for (int i = 0; i < 3; i++) s += point(float(i == 1), float(i == 2), 0) + std::string(1, char(vertexflags)) + extra;
  return s + polys;
}
const std::string kEmpty = std::string("\x04\x08\x09\x05", 4);
std::string poly(uint32_t a, uint32_t b, uint32_t c, const std::string &attributes = "") {
  return u32(3) + u32(a) + u32(b) + u32(c) + u32(0) + attributes + std::string(1, 0);
}

class Read {
 public:
  explicit Read(const std::string &bytes, int join = 0) {
    FILE *f = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), f);
    rewind(f);
    list_ = _WTbff_read_geometries(f, "test.bff", &pose, 1.0f, join, &portals);
    fclose(f);
    for (WTgeomlist *c = list_; c; c = c->next) all.push_back(c->geometry);
  }
  ~Read() {
    for (WTgeometry *g : all) WTgeometry_delete(g);
    _WTgeomlist_delete(list_);
    _WTlist_free(portals);
  }
  Read(const Read &) = delete;
  Read &operator=(const Read &) = delete;
  std::vector<WTgeometry *> all;
  WTpq pose;
  WTcell *portals = nullptr;

 private:
  WTgeomlist *list_ = nullptr;
};

bool has(const tk::Captured &c, const char *text) { return c.all().find(text) != std::string::npos; }

std::string written(WTgeometry *g) {
  FILE *f = tmpfile();
  EXPECT_EQ(_WTbff_write_geometry(f, g), 1);
  rewind(f);
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
  fclose(f);
  return out;
}

class Bnff : public tk::Universe {};

TEST_F(Bnff, Refusals) {
  const struct {
    std::string bytes;
    size_t geometries;
    const char *message;
  } cases[] = {
      {"bn", 0, "File test.bff has no data"},
      {"bnfx" + f32(6.01f), 0, "is not the magic string ('bnff')"},
      {head(), 0, "has no readable geometries"},
      {head() + tri("", poly(0, 1, 2)), 0, "No material related information in the input file!!"},
      {head() + tri(kEmpty, u32(1) + poly(0, 1, 3)), 0, "bff_scan_polygon returned null"},
      {head() + tri(kEmpty, u32(1) + poly(0, 1, 2)), 1, nullptr},
      {head() + tri(kEmpty, u32(2) + u32(2) + u32(0) + u32(1) + u32(0) + std::string(1, 0) + poly(0, 1, 2)), 1,
       "1 polygons were ignored."},
      {head() + tri(kEmpty, u32(0x7fffffff)), 0, nullptr},
      {head() + tri(kEmpty, u32(1) + u32(0x40000000)), 0, nullptr},
      {head() + tri(std::string("\x04\x07\x05", 3), u32(1) + poly(0, 1, 2)), 1, "Cannot parse mtable"},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    Read read(c.bytes);
    EXPECT_EQ(read.all.size(), c.geometries);
    if (c.message) {
      EXPECT_TRUE(has(messages, c.message)) << messages.all();
    }
  }
}

// The version's bytes, a vertex colour's bytes, and a table-less geometry's empty material part.
TEST_F(Bnff, WrittenBytes) {
  WTgeometry *g = WTgeometry_begin();
  const float pts[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}};
  WTpoly *p = WTgeometry_beginpoly(g);
  for (int i = 0; i < 3; i++) {
    WTgeometry_newvertex(g, pts[i]);
    WTpoly_addvertex(p, i);
  }
  WTpoly_close(p);
  WTgeometry_close(g);
  _WTmtable_detach(g->mtable, g);
  ASSERT_EQ(g->mtable, nullptr);
  const std::string bytes = written(g);
  EXPECT_EQ(bytes.substr(0, 8), std::string("bnff\x40\xC0\x51\xEC", 8));
  EXPECT_NE(bytes.find(std::string("\x04\x08\x09\x05", 4)), std::string::npos);
  Read read(bytes);
  ASSERT_EQ(read.all.size(), 1u);
  EXPECT_EQ(read.all[0]->mtable, nullptr);
  WTgeometry_delete(g);

  Read coloured(head() + tri(std::string("\x04\x08\x20\x09\x05", 5), u32(1) + poly(0, 1, 2), 4,
                             std::string("\x80\x40\x20", 3)));
  ASSERT_EQ(coloured.all.size(), 1u);
  WTvertex *v = coloured.all[0]->vertices;
  EXPECT_EQ(_WTmtable_getentryrgb24(coloured.all[0]->mtable, v->matid), 0x804020u);
}

// Written and read back: polygons in order with their colours, sides, textures (style U) and
// portals.
TEST_F(Bnff, RoundTrip) {
  tk::TextureImages images;
  WTgeometry *g = WTgeometry_newblock(2, 3, 4, 0);
  _WTmtable_attach(g, WTmtable_new(WTAMBIENTDIFFUSE | WTSPECULAR, 2, nullptr));
  int k = 0;
  for (WTpoly *p = g->polys; p; p = p->next, k++)
    WTpoly_setmatid(p, _WTmtable_getrgbid(g->mtable, uint8_t(40 * k), 0, 255));
  WTpoly_settexture(g->polys, "wood.tga", 1, 1);
  WTpoly_setbothsides(g->polys->next, 1);
  _WTportal_new(g->polys->next, "there");
  Read read(written(g));
  ASSERT_EQ(read.all.size(), 1u);
  WTgeometry *back = read.all[0];
  ASSERT_EQ(WTgeometry_numpolys(back), WTgeometry_numpolys(g));
  for (WTpoly *p = g->polys, *q = back->polys; p && q; p = p->next, q = q->next) {
    EXPECT_EQ(_WTmtable_getentryrgb24(back->mtable, q->matid), _WTmtable_getentryrgb24(g->mtable, p->matid));
    EXPECT_EQ(q->flags & WTP_TWOSIDED, p->flags & WTP_TWOSIDED);
    for (int i = 0; i < 4; i++)
      EXPECT_EQ(memcmp(WTpoly_getvertex(p, i)->position, WTpoly_getvertex(q, i)->position, sizeof(WTp3)), 0);
  }
  ASSERT_TRUE(back->polys->texture);
  EXPECT_TRUE(back->polys->texture->style[0] && back->polys->texture->style[1]);
  ASSERT_TRUE(read.portals);
  EXPECT_STREQ(_WTportal_getname(static_cast<WTportal *>(read.portals->value)), "there");
  WTgeometry_delete(g);
}

TEST_F(Bnff, UniverseWriter) {
  ASSERT_TRUE(_WTobject_newblock(1, 2, 3, 0));
  FILE *f = tmpfile();
  ASSERT_EQ(_WTbff_write_universe(f), 1);
  long size = ftell(f);
  fclose(f);
  // Header, name, 8 vertices of 13 bytes, 6 polygons of 1 + 4 x 2 + 4 + 1 bytes.
  const char *name = _WTuniverse_getname();
  const long named = name && *name ? long(strlen(name)) : 10;
  EXPECT_EQ(size, 8 + 26 + 1 + 1 + named + 4 + 8 * 13 + 4 + 6 * 14);
}

TEST_F(Bnff, PrefixesAndFlippedBytes) {
  tk::TextureImages images;
  WTgeometry *g = WTgeometry_newblock(1, 1, 1, 0);
  _WTmtable_attach(g, WTmtable_new(WTAMBIENTDIFFUSE, 2, nullptr));
  WTpoly_settexture(g->polys, "wood.tga", 1, 0);
  const std::string bytes = written(g);
  WTgeometry_delete(g);
  tk::Captured quiet;
  for (size_t n = 0; n < bytes.size(); n++) Read read(bytes.substr(0, n));
  for (size_t i = 0; i < bytes.size(); i++) {
    std::string damaged = bytes;
    damaged[i] = char(damaged[i] ^ 0x5A);
    Read read(damaged, int(i & 1));
    for (WTgeometry *r : read.all) ASSERT_TRUE(r->polys) << i;
  }
  EXPECT_EQ(_WTmtable_first(), nullptr);  // no table outlives its geometry
}

}  // namespace
