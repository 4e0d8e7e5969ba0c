// NFF text files into geometry and back: header, vertex and polygon attributes, the reader's
// refusals, the writer's dialects and round trips.
#include <math.h>
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

class Read {
 public:
  explicit Read(const std::string &text, int join = 0, float scale = 1.0f) {
    FILE *f = tmpfile();
    fwrite(text.data(), 1, text.size(), f);
    rewind(f);
    list_ = _WTnff_read_geometries(f, "test.nff", &pose, scale, join, &portals);
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
  // Polygons in the order they were read.
  std::vector<WTpoly *> polys(size_t i = 0) const {
    std::vector<WTpoly *> out;
    for (WTpoly *p = all.at(i)->polys; p; p = p->next) out.insert(out.begin(), p);
    return out;
  }
  std::vector<WTgeometry *> all;
  WTpq pose;
  WTcell *portals = nullptr;

 private:
  WTgeomlist *list_ = nullptr;
};

std::vector<int> corners(WTgeometry *g, WTpoly *p) {
  std::vector<int> out;
  for (WTvertexlink *l = p->links; l; l = l->next) {
    int i = 0;
    for (WTvertex *v = g->vertices; v && v != l->vertex; v = v->next) i++;
    out.push_back(i);
  }
  return out;
}

uint32_t colour(WTpoly *p) { return _WTmtable_getentryrgb24(p->geometry->mtable, p->matid); }
bool has(const tk::Captured &c, const char *text) { return c.all().find(text) != std::string::npos; }

const char *const kSquare = "4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n";

// The reader's error reports end in information messages, which the universe tests keep quiet.
class Nff : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  }
};

// The header: version, viewpoint, and a view direction of zeros left as identity.
TEST_F(Nff, Header) {
  {
    Read read(std::string("nff\nversion 2.0\nviewpos 1 2 3\nviewdir 0 0 -5\nsq\n") + kSquare + "1\n3 0 1 2 0xff0000\n");
    ASSERT_EQ(read.all.size(), 1u);
    EXPECT_EQ(read.pose.p[2], 3);
    WTp3 dir;
    _WTq_2dir(read.pose.q, dir);
    EXPECT_NEAR(dir[2], -1, 1e-5);
  }
  Read zero(std::string("s8\nviewdir 0 0 0\nsq\n") + kSquare + "1\n3 0 1 2 0xff0000\n");
  ASSERT_EQ(zero.all.size(), 1u);
  EXPECT_EQ(zero.pose.q[3], 1);
}

// Version 1.01 files: vertex colours and bare normals; colours short and long.
TEST_F(Nff, OldVertexAttributes) {
  Read read("nff\ntri\n3\n0 0 0 0 0 1 rgb 0x123\n1 0 0 0 0 1\n0 1 0 N\n2\n3 0 1 2 0x123\n3 2 1 0 0xFFFFFF\n");
  ASSERT_EQ(read.all.size(), 1u);
  WTgeometry *g = read.all[0];
  WTvertex *v = g->vertices;
  ASSERT_TRUE(v->normal);
  EXPECT_EQ(v->normal[2], 1);
  EXPECT_TRUE(v->flags & WTV_MATID);
  EXPECT_EQ(_WTmtable_getentryrgb24(g->mtable, v->matid), 0x112233u);
  EXPECT_TRUE(v->next->next->normal);  // "N": a smooth normal computed at the close
  std::vector<WTpoly *> p = read.polys();
  EXPECT_EQ(colour(p[0]), 0x112233u);
  EXPECT_EQ(colour(p[1]), 0xFFFFFFu);
}

// Polygon colours in every form the hexadecimal reading takes, each after a repeat of the one
// before it and of the first, so that a colour seen before finds its entry again.
TEST_F(Nff, PolygonColourForms) {
  const struct {
    const char *token;
    uint32_t rgb;
  } cases[] = {
      {"0xff0000", 0xFF0000}, {"0xf00", 0xFF0000},  {"0X0F0", 0x00FF00},   {"12345", 0x334455},
      {"f80", 0x000F80},      {"ff8800", 0xFF8800}, {"1A2B3C4D", 0x2B3C4D}, {"+ff", 0x0000FF},
      {"0", 0x000000},        {"0x00000012", 0x000012},
  };
  std::string polys;
  int count = 0;
  for (const auto &c : cases)
    for (const char *token : {c.token, c.token, cases[0].token}) {
      polys += std::string("3 0 1 2 ") + token + "\n";
      count++;
    }
  Read read("nff\nsq\n" + std::string(kSquare) + std::to_string(count) + "\n" + polys);
  ASSERT_EQ(read.all.size(), 1u);
  std::vector<WTpoly *> p = read.polys();
  ASSERT_EQ(p.size(), size_t(count));
  for (size_t i = 0; i < std::size(cases); i++) {
    EXPECT_EQ(colour(p[3 * i]), cases[i].rgb) << cases[i].token;
    EXPECT_EQ(p[3 * i + 1]->matid, p[3 * i]->matid) << cases[i].token;
    EXPECT_EQ(colour(p[3 * i + 2]), 0xFF0000u) << cases[i].token;
  }

  for (const char *bad : {"0x", "fg", "0xg1", "-"}) {
    tk::Captured messages;
    Read refused("nff\nsq\n" + std::string(kSquare) + "1\n3 0 1 2 " + bad + "\n");
    EXPECT_TRUE(refused.all.empty()) << bad;
    EXPECT_TRUE(has(messages, "Polygon color invalid.")) << bad << messages.all();
  }
}

// Polygon attributes: sides, ids, portals; with uv on every vertex the placement is ignored.
TEST_F(Nff, PolygonAttributes) {
  tk::TextureImages images;
  Read read("nff\nversion 2.0\ng a=1 b=2\n4\n0 0 0 uv 0 0\n1 0 0 uv 1 0\n1 1 0 uv 1 1\n0 1 0\n"
            "3\n3 0 1 2 0xff both id=7 -other _U_wood.tga rot 2 scale 3 mirror\n"
            "3 0 2 3 0xff _S_wood.tga rot 45\n"
            "3 0 1 2 matid 0\n");
  ASSERT_EQ(read.all.size(), 1u);
  std::vector<WTpoly *> p = read.polys();
  ASSERT_EQ(p.size(), 3u);
  EXPECT_TRUE(p[0]->flags & WTP_TWOSIDED);
  EXPECT_EQ(p[0]->id, 7);
  ASSERT_TRUE(p[0]->texture && p[1]->texture);
  EXPECT_EQ(p[0]->texture->rotation, 0);
  EXPECT_EQ(p[0]->texture->mirrored, 0);
  EXPECT_TRUE(p[0]->texture->style[0] && p[0]->texture->style[1]);
  EXPECT_NE(p[1]->texture->rotation, 0);
  EXPECT_TRUE(p[1]->texture->style[0] && !p[1]->texture->style[1]);
  ASSERT_TRUE(read.portals);
  EXPECT_STREQ(_WTportal_getname(static_cast<WTportal *>(read.portals->value)), "other");
  EXPECT_FALSE(p[0]->links->vertex->flags & 2);  // the uv marks are cleared after the read
}

// Refusals: the message, and the geometries read before the bad one kept.
TEST_F(Nff, Refusals) {
  const std::string good = std::string("good\n") + kSquare + "1\n3 0 1 2 0xff\n";
  const struct {
    std::string text;
    size_t geometries;
    const char *message;
  } cases[] = {
      {"", 0, "File test.nff has no data"},
      {"xyz\n", 0, "is not the magic string ('nff')"},
      {"nff\nversion\n", 0, "Version missing."},
      {"nff\n" + good + "bad x\n" + kSquare + "1\n3 0 1 2 0xff\n", 1, "Geometry attribute unknown."},
      {"nff\n" + good + "bad\n" + kSquare + "1\n3 0 1 2 0xff bogus\n", 1, "Polygon attribute unknown."},
      {"nff\n" + good + "bad\n" + kSquare + "1\n3 0 1 2 0xff no=3\n", 1, "Polygon assignment unknown."},
      {"nff\n" + good + "bad\n" + kSquare + "1\n3 0 1 2 0xff id=3x\n", 1, "ID number invalid."},
      {"nff\n" + good + "bad\n" + kSquare + "1\n3 0 1 4 0xff\n", 1, nullptr},
      {"nff\n" + good + "bad\n" + kSquare + "1\n3 0 1 -1 0xff\n", 1, nullptr},
      {"nff\n" + good + "bad\n" + kSquare + "1\n0\n", 1, "This polygon does not have any vertices."},
      {"nff\n" + good + "bad\n" + kSquare + "2\n2 0 1 0xff\n3 0 1 2 0xff\n", 2, "1 polygons were ignored."},
      {"nff\n" + good + "bad\n" + kSquare + "1\n2 0 1 0xff\n", 1, "No valid polygons in object."},
      {"nff\n" + good + "bad\n" + kSquare + "1\n3 0 1 2 zz\n", 1, "Polygon color invalid."},
      {"nff\n" + good + "bad\n-5\n", 1, nullptr},
      {"nff\n" + good + "bad\n999999999\n0 0 0\n", 1, "Vertex coordinate missing."},
      {"nff\nversion 3.0\n" + good + "bad\n1\n0 0 0 rgb 0xff\n", 1, "does not allow rgb"},
      {"nff\n" + good + "bad\n1\n0 0 0 matid -2\n1\n3 0 0 0 0xff\n", 1, "negative material index"},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    Read read(c.text);
    EXPECT_EQ(read.all.size(), c.geometries) << c.text;
    if (c.message) {
      EXPECT_TRUE(has(messages, c.message)) << c.text << messages.all();
    }
  }
}

// Joined files become one geometry sharing one table, unless "distinct".
TEST_F(Nff, Join) {
  const std::string two = std::string("a\n") + kSquare + "1\n3 0 1 2 0xff\nb\n" + kSquare + "1\n3 0 1 2 0xff00\n";
  EXPECT_EQ(Read("nff\n" + two, 1).all.size(), 1u);
  EXPECT_EQ(Read("nff\ndistinct\n" + two, 1).all.size(), 2u);
  EXPECT_EQ(Read("nff\n" + two, 0).all.size(), 2u);
}

// ---- Writer --------------------------------------------------------------------------------

std::string written(WTgeometry *g, const WTpq *pose = nullptr, int *ok = nullptr) {
  FILE *f = tmpfile();
  int result = _WTnff_write_geometry(f, g, pose);
  if (ok) *ok = result;
  rewind(f);
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
  fclose(f);
  return out;
}

// A geometry of two textured, coloured polygons sharing an edge with different uv.
WTgeometry *sample() {
  WTgeometry *g = WTgeometry_begin();
  const float pts[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  for (const auto &p : pts) WTgeometry_newvertex(g, p);
  WTpoly *a = WTgeometry_beginpoly(g);
  for (int i : {0, 1, 2}) WTpoly_addvertex(a, i);
  WTpoly_close(a);
  WTpoly *b = WTgeometry_beginpoly(g);
  for (int i : {0, 2, 3}) WTpoly_addvertex(b, i);
  WTpoly_close(b);
  WTgeometry_close(g);
  _WTmtable_attach(g, WTmtable_new(WTAMBIENTDIFFUSE, 4, nullptr));
  WTpoly_setmatid(a, _WTmtable_getrgbid(g->mtable, 255, 0, 0));
  WTpoly_setmatid(b, _WTmtable_getrgbid(g->mtable, 0x12, 0x34, 0xFF));
  WTpoly_setbothsides(b, 1);
  WTpoly_settexture(a, "wood.tga", 1, 0);
  const float u[3] = {0, 1, 1}, v[3] = {0, 0, 1}, u2[3] = {0.5f, 1, 0}, v2[3] = {0, 1, 1};
  WTpoly_settextureuv(a, "wood.tga", u, v, 1, 0);
  WTpoly_settextureuv(b, "brick.tga", u2, v2, 1, 1);
  return g;
}

// Written and read back under each dialect and option: same polygons, order, corners, colours,
// textures and sides.
TEST_F(Nff, RoundTrips) {
  tk::TextureImages images;
  const struct {
    int option12, option5, option6;
    uint32_t second;  // the second polygon's colour after the trip
  } cases[] = {{0, 0, 0, 0x1234FF}, {1, 0, 0, 0x1234FF}, {1, 0, 1, 0x1133FF}, {0, 1, 0, 0x1234FF}, {1, 1, 1, 0x1133FF}};
  for (const auto &c : cases) {
    WTuniverse_setoption(12, c.option12);
    WTuniverse_setoption(5, c.option5);
    WTuniverse_setoption(6, c.option6);
    WTgeometry *g = sample();
    const std::string text = written(g);
    EXPECT_EQ(text.find(c.option12 ? "nff\nversion 2.10\n" : "nff\nversion 3.00\n"), 0u) << text;
    EXPECT_EQ(text.find("mtable ") != std::string::npos, !c.option12) << text;
    Read read(text);
    ASSERT_EQ(read.all.size(), 1u) << text;
    std::vector<WTpoly *> back = read.polys();
    std::vector<WTpoly *> want;
    for (WTpoly *p = g->polys; p; p = p->next) want.insert(want.begin(), p);
    ASSERT_EQ(back.size(), want.size());
    for (size_t i = 0; i < want.size(); i++) {
      EXPECT_EQ(corners(read.all[0], back[i]).size(), corners(g, want[i]).size());
      for (size_t k = 0; k < 3; k++) {
        WTvertex *x = WTpoly_getvertex(back[i], int(k)), *y = WTpoly_getvertex(want[i], int(k));
        EXPECT_EQ(memcmp(x->position, y->position, sizeof(WTp3)), 0) << text;
      }
      EXPECT_EQ(back[i]->flags & WTP_TWOSIDED, want[i]->flags & WTP_TWOSIDED);
      ASSERT_TRUE(back[i]->texture) << text;
      EXPECT_STREQ(_WTtexture_refname(back[i]->texture), _WTtexture_refname(want[i]->texture));
      EXPECT_EQ(back[i]->texture->style[1], want[i]->texture->style[1]);
      if (c.option5) {
        float bu[3], bv[3], wu[3], wv[3];
        WTpoly_getuv(back[i], bu, bv);
        WTpoly_getuv(want[i], wu, wv);
        for (int k = 0; k < 3; k++) EXPECT_FLOAT_EQ(bu[k], wu[k]) << text;
      }
    }
    EXPECT_EQ(colour(back[1]), c.second) << text;
    EXPECT_EQ(colour(back[0]), 0xFF0000u);
    WTgeometry_delete(g);
  }
  WTuniverse_setoption(12, 0);
  WTuniverse_setoption(5, 0);
  WTuniverse_setoption(6, 0);
}

// The viewpoint in the header; a failed write is a failure.
TEST_F(Nff, WriterHeaderAndFailures) {
  WTgeometry *g = sample();
  WTpq pose = {{1, 2, 3}, {0, 0, 0, 1}};
  const std::string text = written(g, &pose);
  EXPECT_NE(text.find("viewpos  1.000000 2.000000 3.000000\nviewdir  0.000000 0.000000 1.000000\n"),
            std::string::npos) << text;
  tk::TempFolder folder;
  FILE *f = fopen(folder.write("ro.nff", "x").c_str(), "r");
  EXPECT_EQ(_WTnff_write_geometry(f, g, nullptr), 0);
  fclose(f);
  WTgeometry_delete(g);
}

TEST_F(Nff, ColourPacking) {
  EXPECT_EQ(_WTcolor_unpack12(0x123), 0x112233u);
  EXPECT_EQ(_WTcolor_unpack12(0xF00), 0xFF0000u);
  EXPECT_EQ(_WTcolor_pack12(0x1A2B3C), 0x123u);
}

// Every prefix and flipped byte of a small file reads without harm.
TEST_F(Nff, PrefixesAndFlippedBytes) {
  const std::string text = "nff\nversion 2.0\nviewdir 0 1 0\ng k=v\n4\n0 0 0 uv 0 0 norm 0 0 1\n1 0 0 uv 1 0\n"
                           "1 1 0 uv 1 1 matid 1\n0 1 0 N\n3\n3 0 1 2 0xf00 both id=3\n"
                           "4 0 1 2 3 0x00ff00 _S_x rot 1 scale 2 trans 1 1 mirror tint -p\n2 0 1 0xff\n";
  tk::Captured quiet;
  for (size_t n = 0; n < text.size(); n++) Read read(text.substr(0, n));
  for (size_t i = 0; i < text.size(); i++) {
    std::string damaged = text;
    damaged[i] = char(damaged[i] ^ 0x11);
    Read read(damaged, int(i & 1));
    for (WTgeometry *g : read.all) ASSERT_TRUE(g->polys) << i;
  }
}

}  // namespace

namespace {

// The universe's objects written as one geometry under the universe's name, read back whole.
TEST_F(Nff, UniverseWriter) {
  ASSERT_TRUE(_WTobject_newblock(1, 2, 3, 0));
  ASSERT_TRUE(_WTobject_newblock(4, 5, 6, 0));
  FILE *f = tmpfile();
  ASSERT_EQ(_WTnff_write_universe(f), 1);
  rewind(f);
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  fclose(f);
  EXPECT_NE(text.find("viewpos  "), std::string::npos);
  Read read(text);
  ASSERT_EQ(read.all.size(), 1u) << text;
  EXPECT_EQ(read.polys().size(), 12u);
  EXPECT_EQ(read.all[0]->npolys, 12);
}

}  // namespace
