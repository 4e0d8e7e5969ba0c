// DXF files into geometry and back: the section grammar, the entities' polygons, blocks and
// references, the viewer pose, the writer's text and round trips.
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "scene.h"
#include "support.h"
#include "textures.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/dxf.h"

namespace {

// ---- Building files ----------------------------------------------------------------------

std::string g(int code, const std::string &value) {
  char head[16];
  snprintf(head, sizeof head, "%3d\n", code);
  return head + value + "\n";
}
std::string g(int code, double value) {
  char text[64];
  snprintf(text, sizeof text, "%g", value);
  return g(code, std::string(text));
}
std::string point(int base, double x, double y, double z) {
  return g(base, x) + g(base + 10, y) + g(base + 20, z);
}

std::string entities(const std::string &body) {
  return g(0, "SECTION") + g(2, "ENTITIES") + body + g(0, "ENDSEC") + g(0, "EOF");
}
std::string blocks(const std::string &body) {
  return g(0, "SECTION") + g(2, "BLOCKS") + body + g(0, "ENDSEC");
}
std::string block(const std::string &name, const std::string &body, double bx = 0, double by = 0) {
  return g(0, "BLOCK") + g(8, "0") + g(2, name) + point(10, bx, by, 0) + body + g(0, "ENDBLK");
}
std::string face3(double x0, double y0, double x1, double y1, double x2, double y2,
                  const std::string &layer = "0") {
  return g(0, "3DFACE") + g(8, layer) + point(10, x0, y0, 0) + point(11, x1, y1, 0) +
         point(12, x2, y2, 0) + point(13, x2, y2, 0);
}
std::string insert(const std::string &name, double x, double y, const std::string &extra = "") {
  return g(0, "INSERT") + g(8, "0") + g(2, name) + point(10, x, y, 0) + extra;
}
std::string polyline(int flags, const std::vector<std::vector<double>> &pts,
                     const std::string &extra = "") {
  std::string s = g(0, "POLYLINE") + g(8, "0") + g(66, 1) + g(70, flags) + extra;
  for (const auto &p : pts) {
    s += g(0, "VERTEX") + g(8, "0") + point(10, p[0], p[1], p.size() > 2 ? p[2] : 0);
    if (p.size() > 3) s += g(42, p[3]);
  }
  return s + g(0, "SEQEND");
}
std::string layers(const std::string &entries) {
  return g(0, "SECTION") + g(2, "TABLES") + g(0, "TABLE") + g(2, "LAYER") + entries +
         g(0, "ENDTAB") + g(0, "ENDSEC");
}
std::string layer(const std::string &name, int colour, int flags = 0) {
  return g(0, "LAYER") + g(2, name) + g(70, flags) + g(62, colour) + g(6, "CONTINUOUS");
}
std::string crlf(const std::string &s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// ---- Reading -------------------------------------------------------------------------------

struct P {
  float x, y, z;
};

class Read {
 public:
  explicit Read(const std::string &text, float scale = 1.0f, int merge = 0) {
    FILE *f = tmpfile();
    fwrite(text.data(), 1, text.size(), f);
    rewind(f);
    list_ = _WTdxf_read_geometries(f, scale, &pose, merge);
    fclose(f);
    for (WTgeomlist *c = list_; c; c = c->next) all.push_back(c->geometry);
  }
  ~Read() {
    for (WTgeometry *geometry : all) WTgeometry_delete(geometry);
    _WTgeomlist_delete(list_);
  }
  Read(const Read &) = delete;
  Read &operator=(const Read &) = delete;
  std::vector<WTpoly *> polys() const {
    std::vector<WTpoly *> out;
    for (WTgeometry *geometry : all)
      for (WTpoly *p = geometry->polys; p; p = p->next) out.push_back(p);
    return out;
  }
  int vertices() const {
    int n = 0;
    for (WTgeometry *geometry : all)
      for (WTvertex *v = geometry->vertices; v; v = v->next) n++;
    return n;
  }
  std::vector<WTgeometry *> all;
  WTpq pose;

 private:
  WTgeomlist *list_ = nullptr;
};

std::vector<P> ring(WTpoly *p) {
  std::vector<P> out;
  for (WTvertexlink *l = p->links; l; l = l->next)
    out.push_back({l->vertex->position[0], l->vertex->position[1], l->vertex->position[2]});
  return out;
}

void expectring(WTpoly *p, const std::vector<P> &want) {
  std::vector<P> got = ring(p);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); i++) {
    EXPECT_NEAR(got[i].x, want[i].x, 1e-3) << i;
    EXPECT_NEAR(got[i].y, want[i].y, 1e-3) << i;
    EXPECT_NEAR(got[i].z, want[i].z, 1e-3) << i;
  }
}

uint32_t colour(WTpoly *p) { return _WTmtable_getentryrgb24(p->geometry->mtable, p->matid); }

bool has(const tk::Captured &c, const char *text) { return c.all().find(text) != std::string::npos; }

// Parse errors come as information messages, which the universe tests keep quiet.
class Dxf : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  }
};

// ---- Grammar -------------------------------------------------------------------------------

// What the grammar accepts and refuses; refusals leave no geometry and a message.
TEST_F(Dxf, SectionsAndRefusals) {
  const std::string face = face3(0, 0, 1, 0, 0, 1);
  const std::string header = g(0, "SECTION") + g(2, "HEADER") + g(9, "$ACADVER") + g(1, "AC1009") +
                             g(9, "$EXTMIN") + point(10, 0, 0, 0) + g(0, "ENDSEC");
  const std::string skipped = g(0, "SECTION") + g(2, "OBJECTS") + g(0, "WHATEVER") + g(215, "x") +
                              g(0, "ENDSEC") + g(0, "SECTION") + g(2, "CLASSES") + g(0, "CLASS") +
                              g(0, "ENDSEC");
  const struct {
    std::string text;
    int polys;
    const char *message;
  } cases[] = {
      {entities(face), 1, nullptr},
      {crlf(header + entities(face)), 1, nullptr},
      {skipped + header + entities(face), 1, nullptr},
      {layers(layer("ENTITIES", 1) + layer("HEADER", 2)) + entities(face), 1, nullptr},
      {"999\nfrom a test\n" + entities(face), 1, nullptr},
      // No EOF, and a second ENTITIES: blocks closed before the error are kept.
      {entities(face).substr(0, entities(face).size() - 8), 1, "syntax error"},
      {blocks("") + layers("") + entities(face), 0, "syntax error"},                   // order
      {g(0, "SECTION") + g(2, "ENTITIES") + face + g(0, "ENDSEC") + entities(face), 1, "syntax error"},
      {g(0, "SECTION") + g(2, "HEADER") + g(9, "$X") + g(280, "1") + g(0, "ENDSEC") + entities(face),
       0, "syntax error"},
      {entities(g(0, "LWPOLYLINE") + g(8, "0") + face), 0, "Scan.l - group code problem"},
      {entities(face + g(0, "LINE") + g(211, "1")), 0, "Scan.l - group code problem"},
      {entities(g(0, "LINE") + g(8, std::string(600, 'x'))), 0, "Input string too long, limit 512"},
      {entities(g(0, "LINE") + g(40, "1")), 0, "syntax error"},
  };
  for (const auto &c : cases) {
    tk::Captured messages;
    Read read(c.text);
    EXPECT_EQ(int(read.polys().size()), c.polys) << c.text;
    if (c.message) {
      EXPECT_TRUE(has(messages, c.message)) << messages.all();
    } else {
      EXPECT_FALSE(has(messages, "error")) << messages.all();
    }
  }
}

// The syntax error names the line and the group's text.
TEST_F(Dxf, SyntaxErrorMessage) {
  tk::Captured messages;
  Read read(g(0, "SECTION") + g(2, "ENTITIES") + g(0, "ENDSEC"));
  EXPECT_TRUE(read.all.empty());
  EXPECT_TRUE(has(messages, "\nDXF parser line 6, _yytext   0\nENDSEC\n syntax error\n"))
      << messages.all();
}

// Files larger than the scanner's window (64 KB): groups, sections (skipped or not) and line ends
// of either kind fall across its edge at every place, and an error still names its line and text.
TEST_F(Dxf, LargeFilesThroughTheWindow) {
  const std::string face = face3(0, 0, 1, 0, 0, 1);
  const std::string skipped = g(0, "SECTION") + g(2, "OBJECTS") + g(0, "WHATEVER") + g(0, "ENDSEC");
  std::string comments;  // comment groups filling the first window but for 64 bytes
  while (comments.size() < 65536 - 64) comments += g(999, "a comment line");
  const int commentlines = int(std::count(comments.begin(), comments.end(), '\n'));
  for (int shift = 0; shift < 200; shift++) {
    const std::string padding = comments + g(999, std::string(size_t(shift), 'x'));
    for (bool cr : {false, true}) {
      const std::string text = padding + skipped + entities(face);
      tk::Captured messages;
      Read read(cr ? crlf(text) : text);
      EXPECT_EQ(read.polys().size(), 1u) << shift << messages.all();
      EXPECT_FALSE(has(messages, "error")) << shift << messages.all();
    }
  }
  const std::string where = "\nDXF parser line " + std::to_string(commentlines + 8) + ", _yytext   0\nENDSEC\n";
  for (int shift = 0; shift < 64; shift++) {
    tk::Captured messages;
    Read read(comments + g(999, std::string(size_t(shift), 'x')) + g(0, "SECTION") + g(2, "ENTITIES") +
              g(0, "ENDSEC"));
    EXPECT_TRUE(read.all.empty());
    EXPECT_TRUE(has(messages, where.c_str())) << shift << messages.all();
  }
}

// Lines of other forms read as their plain kind: codes between tabs and spaces, a carriage return
// anywhere in a value, a line holding no code (dropped alone), no line end at the end.
TEST_F(Dxf, LineForms) {
  const std::string plain = entities(face3(0, 0, 2, 0, 0, 3));
  auto edited = [&plain](const std::string &from, const std::string &to) {
    std::string s = plain;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const struct {
    const char *what;
    std::string text;
  } cases[] = {
      {"tab before a code", edited(" 11\n", "\t11\n")},
      {"blanks and a carriage return after a code", edited(" 11\n", "11 \t\r\n")},
      {"carriage return after a keyword", edited("3DFACE\n", "3DFACE\r\n")},
      {"carriage returns inside a name", edited("ENTITIES\n", "ENTI\rTIES\r\r\n")},
      {"line without a code", "no code here\n" + plain},
      {"no line end at the end", plain.substr(0, plain.size() - 1)},
  };
  std::vector<P> want;
  {
    Read read(plain);
    ASSERT_EQ(read.polys().size(), 1u);
    want = ring(read.polys()[0]);
  }
  for (const auto &c : cases) {
    tk::Captured messages;
    Read read(c.text);
    ASSERT_EQ(read.polys().size(), 1u) << c.what << messages.all();
    SCOPED_TRACE(c.what);
    expectring(read.polys()[0], want);
  }
  // A dropped line still counts in the line number an error names.
  tk::Captured messages;
  Read read("no code here\n" + g(0, "SECTION") + g(2, "ENTITIES") + g(0, "ENDSEC"));
  EXPECT_TRUE(has(messages, "DXF parser line 7, _yytext   0\nENDSEC\n")) << messages.all();
}

// Entities that give nothing report that nothing could be read.
TEST_F(Dxf, NothingComprehensible) {
  tk::Captured messages;
  Read read(entities(g(0, "TEXT") + g(1, "hello") + g(0, "POINT") + point(10, 1, 2, 3) +
                     g(0, "3DLINE") + point(10, 0, 0, 0) + point(11, 1, 1, 1)));
  EXPECT_TRUE(read.all.empty());
  EXPECT_TRUE(has(messages, "No comprehensible geometry in DXF file"));
}

// Layers: an off layer hides what lies on it; layer colours colour the entities on them.
TEST_F(Dxf, LayerColours) {
  Read read(layers(layer("HIDDEN", 3, 1) + layer("BLUE", 5)) +
            entities(face3(0, 0, 1, 0, 0, 1, "HIDDEN") + face3(0, 0, 2, 0, 0, 2, "BLUE") +
                     face3(0, 0, 3, 0, 0, 3, "NONE") + face3(0, 0, 4, 0, 0, 4, "BLUE") + g(62, 1)));
  std::vector<WTpoly *> p = read.polys();
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(colour(p[0]), 0xFF0000u);  // newest first; its own 62 after the layer's colour
  EXPECT_EQ(colour(p[1]), 0x000000u);  // no such layer: colour 0
  EXPECT_EQ(colour(p[2]), 0x0000FFu);
}

// ---- Entities ------------------------------------------------------------------------------

// Each entity kind's polygons: count, sides and corners (toolkit axes: x, -z, y).
TEST_F(Dxf, EntityPolygons) {
  const struct {
    const char *what;
    std::string body;
    size_t polys;
    int twosided;
  } cases[] = {
      {"line with thickness", g(0, "LINE") + g(8, "0") + g(39, 2) + point(10, 0, 0, 0) + point(11, 1, 0, 0), 1, 1},
      {"line without thickness", g(0, "LINE") + g(8, "0") + point(10, 0, 0, 0) + point(11, 1, 0, 0), 0, 0},
      {"circle", g(0, "CIRCLE") + g(8, "0") + point(10, 0, 0, 0) + g(40, 1), 1, 1},
      {"cylinder", g(0, "CIRCLE") + g(8, "0") + g(39, 1) + point(10, 0, 0, 0) + g(40, 1), 14, 0},
      {"flat arc", g(0, "ARC") + g(8, "0") + point(10, 0, 0, 0) + g(40, 1) + g(50, 0) + g(51, 90), 0, 0},
      {"arc wall", g(0, "ARC") + g(8, "0") + g(39, 1) + point(10, 0, 0, 0) + g(40, 1) + g(50, 0) + g(51, 90), 11, 1},
      {"solid", g(0, "SOLID") + g(8, "0") + point(10, 0, 0, 0) + point(11, 1, 0, 0) + point(12, 0, 1, 0) + point(13, 1, 1, 0), 1, 1},
      {"solid prism", g(0, "SOLID") + g(8, "0") + g(39, 1) + point(10, 0, 0, 0) + point(11, 1, 0, 0) + point(12, 0, 1, 0) + point(13, 1, 1, 0), 6, 0},
      {"trace", g(0, "TRACE") + g(8, "0") + point(10, 0, 0, 0) + point(11, 1, 0, 0) + point(12, 0, 1, 0) + point(13, 1, 1, 0), 1, 1},
      {"3dface triangle", face3(0, 0, 1, 0, 0, 1), 1, 1},
      {"bent 3dface", g(0, "3DFACE") + g(8, "0") + point(10, 0, 0, 0) + point(11, 1, 0, 0) + point(12, 1, 1, 1) + point(13, 0, 1, 0), 2, 1},
      {"closed polyline", polyline(1, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}), 1, 1},
      {"open polyline", polyline(0, {{0, 0}, {1, 0}, {1, 1}}), 0, 0},
      {"polyline prism", polyline(1, {{0, 0}, {1, 0}, {1, 1}}, g(39, 1)), 5, 0},
      {"wide polyline", polyline(0, {{0, 0}, {2, 0}, {2, 2}}, g(40, 0.5)), 2, 1},
      {"degenerate 3d polyline", polyline(9, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}), 0, 0},
      {"solid modeller's face", g(0, "3DFACE") + g(8, "0") + g(1001, "AME_SOL") + point(10, 0, 0, 0) + point(11, 1, 0, 0) + point(12, 0, 1, 0) + point(13, 0, 1, 0), 1, 0},
  };
  for (const auto &c : cases) {
    Read read(entities(c.body + face3(10, 10, 11, 10, 10, 11)));
    std::vector<WTpoly *> p = read.polys();
    ASSERT_EQ(p.size(), c.polys + 1) << c.what;
    int twosided = 0;
    for (size_t i = 1; i < p.size(); i++) twosided += (p[i]->flags & WTP_TWOSIDED) ? 1 : 0;
    EXPECT_EQ(twosided, c.twosided ? int(c.polys) : 0) << c.what;
  }
}

// Corner order and axes: a closed polyline reads reversed; a line's wall stands up along y.
TEST_F(Dxf, CornersAndAxes) {
  {
    Read read(entities(polyline(1, {{0, 0, 5}, {4, 0, 5}, {4, 3, 5}})));
    ASSERT_EQ(read.polys().size(), 1u);
    expectring(read.polys()[0], {{4, -5, 3}, {4, -5, 0}, {0, -5, 0}});
  }
  {
    Read read(entities(g(0, "LINE") + g(8, "0") + g(39, 2) + point(10, 0, 0, 1) + point(11, 3, 0, 1)));
    ASSERT_EQ(read.polys().size(), 1u);
    expectring(read.polys()[0], {{0, -1, 0}, {3, -1, 0}, {3, -3, 0}, {0, -3, 0}});
  }
  {
    // Two walls sharing an end share its two vertices.
    Read read(entities(g(0, "LINE") + g(8, "0") + g(39, 1) + point(10, 0, 0, 0) + point(11, 1, 0, 0) +
                       g(0, "LINE") + g(8, "0") + g(39, 1) + point(10, 1, 0, 0) + point(11, 1, 1, 0)));
    EXPECT_EQ(read.vertices(), 6);
  }
  // A corner written with 0 in one face and -0 in another is the same place, one vertex.
  for (int axis = 0; axis < 3; axis++) {
    std::string corner;
    for (int k = 0; k < 3; k++) corner += g(10 + 10 * k, k == axis ? "-0" : "0");
    auto face = [](double x, double y) {
      return g(0, "3DFACE") + g(8, "0") + point(10, 0, 0, 0) + point(11, x, 0, 0) + point(12, 0, y, 0) +
             point(13, 0, y, 0);
    };
    std::string other = face(-1, -1);
    other.replace(other.find(point(10, 0, 0, 0)), point(10, 0, 0, 0).size(), corner);
    Read read(entities(face(1, 1) + other));
    ASSERT_EQ(read.polys().size(), 2u) << axis;
    EXPECT_EQ(read.vertices(), 5) << axis;
  }
}

// A bulge of 1 puts a half circle of 12 segments round the chord's middle.
TEST_F(Dxf, BulgeHalfCircle) {
  Read read(entities(polyline(1, {{0, 0, 0, 1}, {2, 0, 0}})));
  ASSERT_EQ(read.polys().size(), 1u);
  std::vector<P> r = ring(read.polys()[0]);
  EXPECT_EQ(r.size(), 13u);
  for (const P &q : r) EXPECT_NEAR(hypotf(q.x - 1, q.z), 1.0f, 1e-3);
}

// Polyface meshes: a flat face is one quadrilateral, a bent one two triangles; faces that name
// missing positions, and records that are neither, end the read with a warning.
TEST_F(Dxf, PolyfaceMeshes) {
  auto mesh = [](double bend, int index) {
    std::string s = g(0, "POLYLINE") + g(8, "0") + g(66, 1) + g(70, 64) + g(71, 4) + g(72, 1);
    const double pts[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, bend}, {0, 1, 0}};
    for (const auto &p : pts) s += g(0, "VERTEX") + g(8, "0") + point(10, p[0], p[1], p[2]) + g(70, 192);
    s += g(0, "VERTEX") + g(8, "0") + point(10, 0, 0, 0) + g(70, 128) + g(71, 1) + g(72, 2) + g(73, 3) + g(74, index);
    return s + g(0, "SEQEND");
  };
  EXPECT_EQ(Read(entities(mesh(0, 4))).polys().size(), 1u);
  EXPECT_EQ(Read(entities(mesh(1, 4))).polys().size(), 2u);
  tk::Captured messages;
  EXPECT_TRUE(Read(entities(mesh(0, 9))).all.empty());
  EXPECT_TRUE(has(messages, "Internal fault 11"));
  EXPECT_TRUE(Read(entities(polyline(64, {{0, 0, 0}}))).all.empty());
  EXPECT_TRUE(has(messages, "Internal fault 5"));
}

// A polygon mesh: M x N vertices give (M-1)(N-1) faces; fewer vertices than that give none.
TEST_F(Dxf, PolygonMesh) {
  auto mesh = [](int m, int n, int count) {
    std::string s = g(0, "POLYLINE") + g(8, "0") + g(66, 1) + g(70, 16) + g(71, m) + g(72, n);
    for (int k = 0; k < count; k++)
      s += g(0, "VERTEX") + g(8, "0") + point(10, k % n, k / n, 0) + g(70, 64);
    return s + g(0, "SEQEND");
  };
  EXPECT_EQ(Read(entities(mesh(3, 4, 12) + face3(9, 9, 10, 9, 9, 10))).polys().size(), 7u);
  EXPECT_EQ(Read(entities(mesh(3, 4, 11) + face3(9, 9, 10, 9, 9, 10))).polys().size(), 1u);
  EXPECT_EQ(Read(entities(mesh(30000, 30000, 4) + face3(9, 9, 10, 9, 9, 10))).polys().size(), 1u);
  // Neighbouring faces share their corners, however many positions the block holds.
  Read big(entities(mesh(40, 40, 1600)));
  EXPECT_EQ(big.polys().size(), 39u * 39u);
  EXPECT_EQ(big.vertices(), 1600);
}

// Open polylines and flat 3D polylines are counted and reported at the end.
TEST_F(Dxf, IgnoredPolylinesReported) {
  tk::Captured messages;
  Read read(entities(polyline(0, {{0, 0}, {1, 0}}) + polyline(0, {{0, 0}, {1, 1}}) +
                     polyline(9, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}}) + face3(0, 0, 1, 0, 0, 1)));
  EXPECT_TRUE(has(messages, "2 open POLYLINE entities ignored"));
  EXPECT_TRUE(has(messages, "1 POLYLINE3D entities ignored"));
}

// Arcs and polylines past 512 points end the read with the warning.
TEST_F(Dxf, TooManyPoints) {
  std::vector<std::vector<double>> many;
  for (int i = 0; i < 600; i++) many.push_back({cos(i * 0.01), sin(i * 0.01), 0});
  tk::Captured messages;
  EXPECT_TRUE(Read(entities(polyline(1, many))).all.empty());
  EXPECT_TRUE(has(messages, "Polyline has more than 512 vertices"));
}

// A layer "_S_BRICK-DOOR" gives a texture reference and a portal; a texture that cannot be
// loaded is dropped with the warning.
TEST_F(Dxf, LayerTexturesAndPortals) {
  tk::Captured messages;
  Read read(entities(face3(0, 0, 1, 0, 0, 1, "_S_NOSUCH-Door")));
  ASSERT_EQ(read.polys().size(), 1u);
  WTpoly *p = read.polys()[0];
  EXPECT_EQ(p->texture, nullptr);
  EXPECT_TRUE(has(messages, "Unable to load texture file nosuch"));
  WTportal *portal = _WTuniverse_getportals();
  ASSERT_TRUE(portal);
  EXPECT_EQ(_WTportal_getpoly(portal), p);
  EXPECT_STREQ(_WTportal_getname(portal), "door");

  tk::TextureImages images;
  Read textured(entities(face3(0, 0, 1, 0, 0, 1, "_S_BRICK.TGA")));
  WTpoly *t = textured.polys()[0];
  ASSERT_TRUE(t->texture);
  int a = -1, b = -1;
  _WTpoly_gettextureflags(t, &a, &b);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 0);
}

// ---- Blocks --------------------------------------------------------------------------------

// A reference before its block's definition; arrays; nested references; merging; scale.
TEST_F(Dxf, BlockReferences) {
  const std::string tri = face3(0, 0, 1, 0, 0, 1);
  {
    Read read(blocks(block("LATE", tri, 0, 0)) + entities(insert("LATE", 5, 0)));
    ASSERT_EQ(read.polys().size(), 1u);
    expectring(read.polys()[0], {{5, 0, 0}, {6, 0, 0}, {5, 0, 1}});
  }
  {
    Read read(g(0, "SECTION") + g(2, "ENTITIES") + insert("EARLY", 0, 0) + g(0, "ENDSEC") + g(0, "EOF"));
    EXPECT_TRUE(read.all.empty());
  }
  {
    // 2 rows, 3 columns: six copies, 10 apart along x and 20 along the block's y (toolkit z).
    Read read(blocks(block("B", tri)) +
              entities(insert("B", 0, 0, g(70, 3) + g(71, 2) + g(44, 10) + g(45, 20))), 1.0f, 1);
    ASSERT_EQ(read.all.size(), 1u);
    ASSERT_EQ(read.polys().size(), 6u);
    float maxz = 0, maxx = 0;
    for (WTpoly *p : read.polys())
      for (const P &q : ring(p)) {
        maxx = fmaxf(maxx, q.x);
        maxz = fmaxf(maxz, q.z);
      }
    EXPECT_NEAR(maxx, 21, 1e-4);
    EXPECT_NEAR(maxz, 21, 1e-4);
  }
  {
    // Nested: INNER at (1, 0) inside OUTER, OUTER at (10, 0) turned by 90 degrees.
    Read read(blocks(block("INNER", tri) + block("OUTER", insert("INNER", 1, 0))) +
              entities(insert("OUTER", 10, 0, g(50, 90))));
    ASSERT_EQ(read.polys().size(), 1u);
    expectring(read.polys()[0], {{10, 0, 1}, {10, 0, 2}, {9, 0, 1}});
  }
  for (float scale : {1.003f, 2.0f}) {
    Read read(entities(face3(0, 0, 1, 0, 0, 1) + face3(5, 5, 6, 5, 5, 6)), scale);
    float s = scale == 2.0f ? 2.0f : 1.0f;
    expectring(read.polys().back(), {{0, 0, 0}, {s, 0, 0}, {0, 0, s}});
  }
}

// A block that inserts itself, directly or through another, is skipped with a warning; huge
// arrays stop at the read's budget of copies.
TEST_F(Dxf, RunawayReferences) {
  const std::string tri = face3(0, 0, 1, 0, 0, 1);
  {
    tk::Captured messages;
    Read read(blocks(block("A", tri + insert("B", 1, 0)) + block("B", tri + insert("A", 0, 1))) +
              entities(insert("A", 0, 0)));
    EXPECT_EQ(read.polys().size(), 2u);
    EXPECT_TRUE(has(messages, "inserts itself"));
  }
  {
    // A chain of blocks each inserting the next, far deeper than any drawing nests.
    tk::Captured messages;
    std::string chain;
    for (int i = 0; i < 3000; i++) chain += block("C" + std::to_string(i), tri + insert("C" + std::to_string(i + 1), 0, 0));
    Read read(blocks(chain) + entities(insert("C0", 0, 0)));
    EXPECT_TRUE(has(messages, "nest more than 200 deep"));
    EXPECT_GT(read.polys().size(), 150u);
    EXPECT_LE(read.polys().size(), 200u);
  }
  {
    tk::Captured messages;
    const long budget = _WTdxf_setcopybudget(4000);
    std::string many;
    for (int i = 0; i < 40; i++) many += tri;
    Read read(blocks(block("M", many)) + entities(insert("M", 0, 0, g(70, 32000) + g(71, 32000))), 1.0f, 1);
    _WTdxf_setcopybudget(budget);
    EXPECT_TRUE(has(messages, "too many block copies"));
    EXPECT_LE(read.polys().size(), 4000u);
    EXPECT_GT(read.polys().size(), 3900u);
  }
}

// Colour 256 (by layer with no layer colour) and 0 take entry 0; a block's uncoloured polygons
// take the reference's colour.
TEST_F(Dxf, ColoursThroughBlocks) {
  Read read(blocks(block("B", face3(0, 0, 1, 0, 0, 1))) +
            entities(insert("B", 0, 0, g(62, 3)) + face3(5, 5, 6, 5, 5, 6) + g(62, 256)));
  std::vector<uint32_t> colours;
  for (WTpoly *p : read.polys()) colours.push_back(colour(p));
  std::sort(colours.begin(), colours.end());
  EXPECT_EQ(colours, (std::vector<uint32_t>{0x000000, 0x00FF00}));
}

// ---- Viewer pose -----------------------------------------------------------------------------

TEST_F(Dxf, ActiveViewport) {
  auto vport = [](bool full) {
    std::string s = g(0, "SECTION") + g(2, "TABLES") + g(0, "TABLE") + g(2, "VPORT") + g(70, 1) +
                    g(0, "VPORT") + g(2, "*ACTIVE") + g(70, 0) + g(16, 0) + g(26, -1) + g(36, 0) +
                    g(17, 5) + g(27, 0) + g(37, 0) + g(40, 10);
    if (full) s += g(50, 0);
    return s + g(0, "ENDTAB") + g(0, "ENDSEC") + entities(face3(0, 0, 1, 0, 0, 1));
  };
  {
    Read read(vport(true));
    // Looking from (5, -1, 0) toward (5, 0, 0) in DXF axes.
    EXPECT_NEAR(read.pose.p[0], 5, 1e-5);
    EXPECT_NEAR(read.pose.p[1], 0, 1e-5);
    EXPECT_NEAR(read.pose.p[2], -1, 1e-5);
    WTp3 dir;
    _WTq_2dir(read.pose.q, dir);
    EXPECT_NEAR(fabsf(dir[2]), 1, 1e-4);
  }
  Read none(vport(false));
  EXPECT_EQ(none.pose.p[0], 0);
  EXPECT_EQ(none.pose.q[3], 1);
}

// ---- Writer --------------------------------------------------------------------------------

WTgeometry *triangle(unsigned char r, unsigned char gr, unsigned char b, bool table = true) {
  WTgeometry *geometry = WTgeometry_begin();
  const float pts[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}};
  WTpoly *p = WTgeometry_beginpoly(geometry);
  for (int i = 0; i < 3; i++) {
    WTgeometry_newvertex(geometry, pts[i]);
    WTpoly_addvertex(p, i);
  }
  WTpoly_close(p);
  WTgeometry_close(geometry);
  if (table) {
    _WTmtable_attach(geometry, WTmtable_new(WTAMBIENTDIFFUSE, 2, nullptr));
    WTpoly_setmatid(p, _WTmtable_getrgbid(geometry->mtable, r, gr, b));
  }
  return geometry;
}

std::string written(WTgeometry *geometry, int *ok = nullptr) {
  FILE *f = tmpfile();
  int result = _WTdxf_write_geometry(f, geometry, 0);
  if (ok) *ok = result;
  std::string out;
  rewind(f);
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
  fclose(f);
  return out;
}

TEST_F(Dxf, WriterText) {
  WTgeometry *geometry = triangle(255, 0, 0);
  int ok = 0;
  const std::string text = written(geometry, &ok);
  EXPECT_EQ(ok, 1);
  const std::string vertex = "  0\nVERTEX\n  8\nCOLOR\n 70\n32\n";
  EXPECT_EQ(text, "  0\nSECTION\n  2\nHEADER\n999\nWritten by the Vedra toolkit\n  0\nENDSEC\n"
                  "  0\nSECTION\n  2\nENTITIES\n"
                  "  0\nPOLYLINE\n  8\nCOLOR\n 62\n1\n 66\n1\n 10\n0\n 20\n0\n 30\n0\n 70\n9\n" +
                      vertex + " 10\n0.000000\n 20\n0.000000\n 30\n-2.000000\n" + vertex +
                      " 10\n1.000000\n 20\n0.000000\n 30\n-0.000000\n" + vertex +
                      " 10\n0.000000\n 20\n0.000000\n 30\n-0.000000\n" +
                      "  0\nSEQEND\n  0\nENDSEC\n  0\nEOF\n");
  WTgeometry_delete(geometry);
  // A failed write is a failure.
  tk::TempFolder folder;
  const std::string path = folder.write("readonly.dxf", "x");
  FILE *f = fopen(path.c_str(), "r");
  WTgeometry *other = triangle(0, 0, 0);
  EXPECT_EQ(_WTdxf_write_geometry(f, other, 0), 0);
  fclose(f);
  WTgeometry_delete(other);
}

TEST_F(Dxf, ColourNumbers) {
  const struct {
    unsigned char r, g, b;
    bool table;
    int number;
  } cases[] = {{255, 0, 0, true, 1}, {127, 127, 127, true, 250}, {0, 0, 0, true, 0}, {9, 9, 9, false, 7}};
  for (const auto &c : cases) {
    WTgeometry *geometry = triangle(c.r, c.g, c.b, c.table);
    EXPECT_EQ(_WTdxf_colorindex(geometry->polys), c.number) << int(c.r);
    WTgeometry_delete(geometry);
  }
}

// Written and read back: the same polygons in the same order, corners and colours.
TEST_F(Dxf, RoundTrip) {
  WTgeometry *geometry = WTgeometry_newblock(2, 3, 4, 0);
  _WTmtable_attach(geometry, WTmtable_new(WTAMBIENTDIFFUSE, 2, nullptr));
  int k = 0;
  const unsigned char palette[][3] = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}};
  for (WTpoly *p = geometry->polys; p; p = p->next, k++)
    WTpoly_setmatid(p, _WTmtable_getrgbid(geometry->mtable, palette[k % 3][0], palette[k % 3][1],
                                          palette[k % 3][2]));
  Read read(written(geometry));
  ASSERT_EQ(read.all.size(), 1u);
  std::vector<WTpoly *> back = read.polys();
  WTpoly *p = geometry->polys;
  ASSERT_EQ(int(back.size()), WTgeometry_numpolys(geometry));
  for (WTpoly *q : back) {
    std::vector<P> want = ring(p);
    expectring(q, want);
    EXPECT_EQ(colour(q), colour(p));
    EXPECT_TRUE(q->flags & WTP_TWOSIDED);
    p = p->next;
  }
  WTgeometry_delete(geometry);
}

// Layer names carry the texture and the portal.
TEST_F(Dxf, WrittenLayerNames) {
  tk::TextureImages images;
  WTgeometry *geometry = triangle(0, 0, 0);
  ASSERT_TRUE(WTpoly_settexture(geometry->polys, "brick.tga", 1, 0));
  _WTportal_new(geometry->polys, "door");
  const std::string text = written(geometry);
  EXPECT_NE(text.find("  8\n_S_BRICK.TGA-door\n"), std::string::npos) << text;
  Read read(text);
  ASSERT_EQ(read.polys().size(), 1u);
  ASSERT_TRUE(read.polys()[0]->texture);
  WTgeometry_delete(geometry);
}

// ---- Damaged files -------------------------------------------------------------------------

TEST_F(Dxf, PrefixesAndFlippedBytes) {
  const std::string text = layers(layer("L", 2)) + blocks(block("B", polyline(1, {{0, 0, 0, 0.5}, {1, 0}, {1, 1}}))) +
                           entities(insert("B", 1, 1) + face3(0, 0, 1, 0, 0, 1, "L") +
                                    g(0, "CIRCLE") + g(8, "0") + g(39, 1) + point(10, 0, 0, 0) + g(40, 1));
  tk::Captured quiet;
  for (size_t n = 0; n < text.size(); n++) Read read(text.substr(0, n));
  for (size_t i = 0; i < text.size(); i++) {
    std::string damaged = text;
    damaged[i] = char(damaged[i] ^ 0x15);
    Read read(damaged, 1.0f, int(i & 1));
    for (WTgeometry *geometry : read.all) ASSERT_TRUE(geometry->polys) << i;
  }
}

}  // namespace

namespace {

// The universe's objects written as one file read back with every polygon.
TEST_F(Dxf, UniverseWriter) {
  ASSERT_TRUE(_WTobject_newblock(1, 2, 3, 0));
  ASSERT_TRUE(_WTobject_newblock(4, 5, 6, 0));
  FILE *f = tmpfile();
  ASSERT_EQ(_WTdxf_write_universe(f), 1);
  rewind(f);
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  fclose(f);
  Read read(text, 1.0f, 1);
  EXPECT_EQ(read.polys().size(), 12u);
}

}  // namespace
