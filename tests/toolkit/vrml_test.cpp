// VRML 1.0 files: tokens, field values, shapes, documents into nodes (DEF and USE, materials,
// separators, errors) and nodes written back and read again.
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
#include "toolkit/loaders/vrml.h"
#include "toolkit/render/render.h"

namespace {

const char kHeader[] = "#VRML V1.0 ascii\n";

// A stream over the text, opened as the tokenizer's input; closed with the object.
class Input {
 public:
  explicit Input(const std::string &text, bool header = true) {
    std::string path = folder_.write("input.wrl", header ? kHeader + text : text);
    f_ = fopen(path.c_str(), "rb");
    opened = f_ && _WTvrml_openinput(f_, -1) != 0;
  }
  ~Input() {
    if (f_) fclose(f_);
  }
  Input(const Input &) = delete;
  Input &operator=(const Input &) = delete;
  bool opened;

 private:
  tk::TempFolder folder_;
  FILE *f_;
};

struct Token {
  int code;
  std::string text;
};

// The tokens after the header line, up to the end of the input.
std::vector<Token> tokens(const std::string &text) {
  Input in(text);
  std::vector<Token> out;
  for (int t = _WTvrml_gettoken(); t != VT_END; t = _WTvrml_gettoken())
    out.push_back({t, _WTvrml_tokentext()});
  return out;
}

TEST(VrmlTokens, NumbersWordsAndStrings) {
  struct Case {
    const char *text;
    int code;
    int ival;
    float fval;
    const char *token;
  } cases[] = {
      {"0x1F", VT_INT, 31, 0, "0x1F"},         {"017", VT_INT, 17, 0, "017"},
      {"-.5", VT_FLOAT, 0, -0.5f, "-.5"},      {"1.5e+3", VT_FLOAT, 0, 1500, "1.5e+3"},
      {"1.5e3", VT_FLOAT, 0, 1500, "1.5e3"},   {"1e0", VT_FLOAT, 0, 1, "1e0"},
      {"12abc", VT_IDENT, 0, 0, "12abc"},      {"e12", VT_IDENT, 0, 0, "e12"},
      {"TRUE", VT_VALUE, 1, 0, "TRUE"},        {"Separator", VT_NODE, 24, 0, "Separator"},
      {"fields", VT_FIELD, 68, 0, "fields"},   {"WWWInline", VT_NODE, 36, 0, "WWWInline"},
      {"POINT", VT_VALUE, 43, 0, "POINT"},     {"USE", VT_USE, 0, 0, "USE"},
      {"\"a\\\"b\"", VT_STRING, 0, 0, "a\"b"}, {"\"two\nlines\"", VT_STRING, 0, 0, "twolines"},
      {"7#note", VT_INT, 7, 0, "7"},           {"\"open", VT_OTHER, 0, 0, "open"},
  };
  for (const Case &c : cases) {
    Input in(c.text);
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(in.opened);
    EXPECT_EQ(_WTvrml_gettoken(), c.code);
    EXPECT_STREQ(_WTvrml_tokentext(), c.token);
    if (c.code == VT_INT || c.code >= VT_NODE) {
      EXPECT_EQ(_WTvrml_intvalue(), c.ival);
    }
    if (c.code == VT_FLOAT) {
      EXPECT_FLOAT_EQ(_WTvrml_floatvalue(), c.fval);
    }
  }
}

TEST(VrmlTokens, PunctuationLinesAndBadCharacters) {
  std::vector<Token> t = tokens("{ [ 1, 2 ] ~ ( | ) }\n$x rest\nnext");
  std::vector<int> codes;
  for (const Token &k : t) codes.push_back(k.code);
  EXPECT_EQ(codes, (std::vector<int>{VT_LBRACE, VT_LBRACKET, VT_INT, VT_COMMA, VT_INT, VT_RBRACKET,
                                     VT_TILDE, VT_LPAREN, VT_BAR, VT_RPAREN, VT_RBRACE, VT_OTHER,
                                     VT_OTHER, VT_IDENT}));
  EXPECT_EQ(t[11].text, "$");
  EXPECT_EQ(t[12].text, "x rest");
  Input in("\n\n  word");
  _WTvrml_gettoken();
  EXPECT_EQ(_WTvrml_tokenline(), 4);
  EXPECT_EQ(_WTvrml_gettoken(), VT_END);
  EXPECT_EQ(_WTvrml_gettoken(), VT_END);
}

TEST(VrmlTokens, FirstBlockIsChecked) {
  EXPECT_FALSE(Input("<HTML>#VRML V1.0 ascii\n", false).opened);
  EXPECT_FALSE(Input("#VRML ", false).opened);
  EXPECT_FALSE(Input("#VRMX V1.0 ascii\n", false).opened);
  EXPECT_TRUE(Input("#VRML V2.0 utf8\n", false).opened);  // the version is not compared
}

// ---- Field values ----------------------------------------------------------------------------

std::vector<float> floats(int start, int n) {
  std::vector<float> out;
  for (int i = 0; i < n; i++) out.push_back(_WTvrml_poolfloat(start + i));
  return out;
}

TEST(VrmlFields, MultipleValues) {
  {
    Input in("[1 2 3, 4 5 6, 7 8 9,]");
    EXPECT_EQ(_WTvrml_readmfvec3f(10), 3);
    EXPECT_EQ(floats(10, 9), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  }
  struct Case {
    const char *text;
    int (*reader)(int);
    int result;
  } cases[] = {
      {"1 2 3", _WTvrml_readmfvec3f, 1}, {"~", _WTvrml_readmfvec3f, 0},
      {"[]", _WTvrml_readmfvec2f, 0},    {"[1 2, 3]", _WTvrml_readmfvec2f, -1},
      {"[1 2 3] ~", _WTvrml_readmfvec3f_opt, 0}, {"[0.5, 1]", _WTvrml_readmffloat, 2},
      {"[1, 2.5]", _WTvrml_readmflong, -1},      {"[1 2]", _WTvrml_readmflong, -1},
      {"[\"a\", b, TRUE]", _WTvrml_readmfstring, 3},
  };
  for (const Case &c : cases) {
    Input in(c.text);
    EXPECT_EQ(c.reader(0), c.result) << c.text;
  }
}

TEST(VrmlFields, KeywordsAndMasks) {
  struct Case {
    const char *text;
    int (*reader)(int *);
    int ok, value;
  } cases[] = {
      {"(SIDES | BOTTOM)", _WTvrml_readconeparts, 1, 3},
      {"TOP", _WTvrml_readcylinderparts, 1, 2},
      {"(SIDES | TOP)", _WTvrml_readconeparts, 0, 0},
      {"(SIDES , TOP)", _WTvrml_readcylinderparts, 0, 0},
      {"PER_FACE_INDEXED", _WTvrml_readbinding, 1, 20},
      {"NONE", _WTvrml_readbinding, 1, 12},
      {"OFF", _WTvrml_readbinding, 0, 0},
      {"AUTO", _WTvrml_readrenderculling, 1, 2},
      {"TYPEWRITER", _WTvrml_readfontfamily, 1, 0},
      {"CLOCKWISE", _WTvrml_readvertexordering, 1, 1},
      {"1", _WTvrml_readsfbool, 1, 1},
      {"2", _WTvrml_readsfbool, 0, 0},
      {"FALSE", _WTvrml_readsfbool, 1, 0},
  };
  for (const Case &c : cases) {
    Input in(c.text);
    int v = -7;
    EXPECT_EQ(c.reader(&v) != 0, c.ok != 0) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(VrmlFields, Images) {
  {
    Input in("2 1 3 0xFF0000 0x00FF00");
    int transparent = 1;
    uint32_t *p = _WTvrml_readsfimage(0, &transparent);
    ASSERT_NE(p, nullptr);
    const unsigned char *b = reinterpret_cast<unsigned char *>(p);
    EXPECT_EQ(std::vector<int>(b, b + 8), (std::vector<int>{255, 0, 0, 255, 0, 255, 0, 255}));
    EXPECT_EQ(transparent, 0);
    _WTmem_free(p);
  }
  {
    Input in("1 1 2 0x8040");
    int transparent = 0;
    uint32_t *p = _WTvrml_readsfimage(0, &transparent);
    const unsigned char *b = reinterpret_cast<unsigned char *>(p);
    EXPECT_EQ(std::vector<int>(b, b + 4), (std::vector<int>{0x80, 0x80, 0x80, 0x40}));
    EXPECT_EQ(transparent, 1);
    _WTmem_free(p);
  }
  for (const char *bad : {"1 1 5 0", "-1 1 3", "2 2 3 1 2 3", "1 1 3 0.5", "99999 99999 1 5"}) {
    Input in(bad);
    EXPECT_EQ(_WTvrml_readsfimage(0, nullptr), nullptr) << bad;
  }
}

// ---- Shapes ----------------------------------------------------------------------------------

using VrmlShapes = tk::Universe;

int countvertices(WTgeometry *g) {
  int n = 0;
  for (WTvertex *v = g->vertices; v; v = v->next) n++;
  return n;
}

TEST_F(VrmlShapes, ConesAndCylinders) {
  EXPECT_EQ(_WTvrml_makecone(0.001f, 1, 8, 3, VB_OVERALL, nullptr), nullptr);
  EXPECT_EQ(_WTvrml_makecylinder(2, 1, 2, 7, VB_OVERALL, nullptr), nullptr);
  WTgeometry *cone = _WTvrml_makecone(2, 1, 8, 3, VB_PER_PART, nullptr);
  ASSERT_NE(cone, nullptr);
  EXPECT_EQ(WTgeometry_numpolys(cone), 9);
  EXPECT_STREQ(WTgeometry_getname(cone), "cone");
  int bottoms = 0;
  for (WTpoly *p = cone->polys; p; p = p->next) bottoms += p->nverts == 8 && p->matid == 1;
  EXPECT_EQ(bottoms, 1);
  WTgeometry_delete(cone);
  WTgeometry *sides = _WTvrml_makecylinder(2, 1, 8, 1, VB_OVERALL, nullptr);
  ASSERT_NE(sides, nullptr);
  EXPECT_EQ(WTgeometry_numpolys(sides), 8);
  EXPECT_EQ(countvertices(sides), 16);
  for (WTvertex *v = sides->vertices; v; v = v->next) EXPECT_NE(v->normal, nullptr);
  WTgeometry_delete(sides);
  WTgeometry *all = _WTvrml_makecylinder(2, 1, 8, 7, VB_OVERALL, nullptr);
  EXPECT_EQ(WTgeometry_numpolys(all), 10);
  WTgeometry_delete(all);
}

// Coordinates, normals and index lists in the pool, and a face set made from them.
struct FaceSetInput {
  std::vector<float> coords, normals;
  std::vector<int> coordindex, normalindex;
  int normalbinding = VB_PER_VERTEX_INDEXED;

  WTgeometry *make(int *bad) {
    int at = 0;
    auto put = [&](const void *p, int words) {
      uint32_t *pool = _WTvrml_poolreserve(at, words);
      memcpy(pool + at, p, size_t(words) * 4);
      WTvrmlrange r{at, 0};
      at += words;
      return r;
    };
    WTvrmlshape s{nullptr, {1, 0, 0, 1, 0, 0}, 0, {0, 0}, {0, 0}, {0, 0},
                  VB_OVERALL, normalbinding, 2, 1};
    s.coords = put(coords.data(), int(coords.size()));
    s.coords.count = int(coords.size() / 3);
    s.normals = put(normals.data(), int(normals.size()));
    s.normals.count = int(normals.size() / 3);
    const int minus1 = -1;
    WTvrmlfaceset f{put(coordindex.data(), int(coordindex.size())), put(&minus1, 1),
                    normalindex.empty() ? put(&minus1, 1)
                                        : put(normalindex.data(), int(normalindex.size())),
                    put(&minus1, 1)};
    f.coordindex.count = int(coordindex.size());
    f.materialindex.count = f.texcoordindex.count = 1;
    f.normalindex.count = normalindex.empty() ? 1 : int(normalindex.size());
    s.free = at;
    return _WTvrml_makefaceset(&s, &f, bad);
  }
};

TEST_F(VrmlShapes, FaceSets) {
  FaceSetInput in;
  in.coords = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  in.normals = {0, 0, 1, 0, 1, 0};
  in.coordindex = {0, 1, 2, -1, 0, 2, 3, -1};
  in.normalindex = {0, 0, 0, -1, 1, 1, 1, -1};
  int bad = 0;
  WTgeometry *g = in.make(&bad);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(countvertices(g), 6);  // vertex 0 and 2 each with two normals, 1 and 3 once
  EXPECT_EQ(WTgeometry_numpolys(g), 2);
  WTp3 first;
  WTvertex_getposition(g->vertices, first);
  int atorigin = 0;
  for (WTvertex *v = g->vertices; v; v = v->next) atorigin += v->position[0] == 0 && v->position[1] == 0;
  EXPECT_EQ(atorigin, 2);
  WTgeometry_delete(g);

  FaceSetInput two = in;
  two.coordindex = {0, 1, -1};
  two.normalindex.clear();
  EXPECT_EQ(two.make(&bad), nullptr);
  EXPECT_EQ(bad, 0);

  FaceSetInput outside = in;
  outside.coordindex = {0, 1, 9, -1};
  EXPECT_EQ(outside.make(&bad), nullptr);
  EXPECT_EQ(bad, 1);
}

// ---- Documents -------------------------------------------------------------------------------

class VrmlRead : public tk::Universe {
 protected:
  WTnode *load(const std::string &body, WTnode *parent = nullptr) {
    std::string path = folder / ("doc" + std::to_string(count++) + ".wrl");
    tk::writefile(path, kHeader + body);
    return _WTnode_loadvrml(parent ? parent : root, path.c_str());
  }
  tk::TempFolder folder;
  int count = 0;
};

WTnode *child(WTnode *n, int i) { return WTnode_getchild(n, i); }

float diffuse(WTgeometry *g, int entry) {
  float c[3] = {0, 0, 0};
  WTmtable *t = g->mtable;
  if (!WTmtable_getvalue(t, entry, c, t->mask & WTAMBIENTDIFFUSE ? WTAMBIENTDIFFUSE : WTDIFFUSE))
    return -1;
  return c[0] * 100 + c[1] * 10 + c[2];
}

// Every node below, once per path, as its kind.
void kinds(WTnode *n, std::vector<int> *out) {
  out->push_back(n->kind);
  if (_WTnode_checkparent(n))
    for (WTnodelink *l = n->firstchild; l; l = l->nextsibling) kinds(l->child, out);
}

TEST_F(VrmlRead, TopLevelNodes) {
  WTnode *one = load("Separator { Cube {} Sphere {} }");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->kind, WTNODE_SEP);
  EXPECT_EQ(WTnode_getparent(one, 0), root);
  EXPECT_EQ(WTnode_numchildren(one), 2);
  WTnode *two = load("Cube {} Sphere {}");
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(WTnode_numchildren(two), 2);
  EXPECT_EQ(WTnode_numchildren(root), 2);
  WTnode *orphan = _WTnode_loadvrml(nullptr, tk::writefile(folder / "o.wrl", std::string(kHeader) + "Cube {}").c_str());
  ASSERT_NE(orphan, nullptr);
  EXPECT_EQ(orphan->kind, WTNODE_GEOMETRY);
  EXPECT_EQ(WTnode_numparents(orphan), 0);
  WTnode_delete(orphan);
  // A lone material leaves its document empty: its table node goes when the read ends.
  WTnode *lone = load("Material {}");
  ASSERT_NE(lone, nullptr);
  EXPECT_EQ(lone->kind, WTNODE_SEP);
  EXPECT_EQ(WTnode_numchildren(lone), 0);
  EXPECT_EQ(WTnode_getchild(root, 2), lone);
}

TEST_F(VrmlRead, MaterialsByName) {
  WTnode *doc = load(
      "Separator { DEF Red Material { diffuseColor 1 0 0 ambientColor 1 0 0 } Cube {} }\n"
      "Separator { USE Red Sphere {} }\n"
      "Separator { Material { transparency 0.5 } Cube {} }");
  ASSERT_NE(doc, nullptr);
  std::vector<int> all;
  kinds(doc, &all);
  EXPECT_EQ(std::count(all.begin(), all.end(), int(WTNODE_MTABLE)), 0);
  WTgeometry *sphere = child(doc, 1)->u.geometry;
  ASSERT_NE(sphere->mtable, nullptr);
  EXPECT_EQ(sphere->mtable, child(doc, 0)->u.geometry->mtable);
  EXPECT_STREQ(WTmtable_getname(sphere->mtable), "Red");
  EXPECT_FLOAT_EQ(diffuse(sphere, 0), 100);
  WTmtable *t = child(doc, 2)->u.geometry->mtable;
  EXPECT_EQ(t->mask, unsigned(WTAMBIENT | WTDIFFUSE | WTOPACITY));
  float a[3], d[3], o;
  WTmtable_getvalue(t, 0, a, WTAMBIENT);
  WTmtable_getvalue(t, 0, d, WTDIFFUSE);
  WTmtable_getvalue(t, 0, &o, WTOPACITY);
  EXPECT_FLOAT_EQ(a[0], 0.2f);
  EXPECT_FLOAT_EQ(d[1], 0.8f);
  EXPECT_FLOAT_EQ(o, 0.5f);
}

TEST_F(VrmlRead, UseSharesOrCopiesWithTheTableInForce) {
  WTnode *doc = load(
      "Material { diffuseColor 0 1 0 }\n"
      "DEF S Separator { Cube {} Material { diffuseColor 1 0 0 } Sphere {} }\n"
      "Separator { USE S }\n"
      "Material { diffuseColor 0 0 1 }\n"
      "Separator { USE S }\n");
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(tk::calls().exits.empty());
  WTnode *s = child(doc, 0);
  EXPECT_STREQ(WTnode_getname(s), "S");
  EXPECT_EQ(WTnode_numparents(s), 2);  // the same green in force: shared
  WTnode *copy = child(doc, 2);
  ASSERT_NE(copy, s);
  EXPECT_STREQ(WTnode_getname(copy), "S");
  ASSERT_EQ(WTnode_numchildren(copy), 2);
  EXPECT_FLOAT_EQ(diffuse(child(copy, 0)->u.geometry, 0), 1);    // blue
  EXPECT_FLOAT_EQ(diffuse(child(copy, 1)->u.geometry, 0), 100);  // the inner red
  EXPECT_FLOAT_EQ(diffuse(child(s, 0)->u.geometry, 0), 10);
}

TEST_F(VrmlRead, CubesSeparatorsAndInfo) {
  WTnode *doc = load(
      "MaterialBinding { value PER_FACE } Cube {}\n"
      "Separator { Info { string \"Moveable\" } Translation { translation 1 2 3 } Cube {} }\n"
      "Separator { Info { string \"Moveable\" } Translation {} Cube {} Cube {} }\n"
      "Separator { renderCulling OFF Cube {} Cube {} }\n"
      "Separator { Separator { Cube {} Cube {} } }\n"
      "Separator { Info { string \" glom name Wall \" } Cube {} }\n"
      "Unknown { a [ { } ] } Group { Cube {} }");
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(WTnode_numchildren(doc), 7);
  std::vector<int> ids;
  for (WTpoly *p = child(doc, 0)->u.geometry->polys; p; p = p->next) ids.push_back(p->matid);
  EXPECT_EQ(ids, (std::vector<int>{5, 4, 2, 1, 3, 0}));
  EXPECT_TRUE(child(doc, 1)->flags & WTNF_MOVABLE);
  EXPECT_FALSE(child(doc, 2)->flags & WTNF_MOVABLE);
  EXPECT_EQ(WTsepnode_getcullmode(child(doc, 3)), 1);
  EXPECT_EQ(child(doc, 4)->kind, WTNODE_SEP);
  EXPECT_EQ(WTnode_numchildren(child(doc, 4)), 2);
  ASSERT_EQ(child(doc, 5)->kind, WTNODE_GEOMETRY);
  EXPECT_STREQ(WTgeometry_getname(child(doc, 5)->u.geometry), "Wall");
  EXPECT_EQ(child(doc, 6)->kind, WTNODE_GEOMETRY);  // the group gave way to its child
}

TEST_F(VrmlRead, AMovableKeepsItsTransformAndContent) {
  // The content separator holds one cube, which a plain separator would give way to.
  WTnode *doc = load(
      "DEF Root Separator { Info { string \"Moveable\" } Translation { translation 1 2 3 }\n"
      "  Separator { Cube {} } }\n"
      "Cube {}");
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(WTnode_numchildren(doc), 2);
  WTnode *root = child(doc, 0);
  ASSERT_TRUE(root->flags & WTNF_MOVABLE);
  EXPECT_STREQ(WTnode_getname(root), "Root");
  ASSERT_TRUE(root->firstchild && root->lastchild);
  EXPECT_EQ(root->firstchild->child->kind, WTNODE_XFORM);
  EXPECT_EQ(root->lastchild->child->kind, WTNODE_SEP);
  ASSERT_EQ(WTnode_numchildren(root), 1);
  EXPECT_EQ(child(root, 0)->kind, WTNODE_GEOMETRY);
}

TEST_F(VrmlRead, AnErrorRemovesOnlyTheDocument) {
  WTnode *mine = WTgroupnode_new(root);
  tk::Captured captured;
  EXPECT_EQ(load("Cube {}\nCube { width x }", root), nullptr);
  EXPECT_NE(captured.all().find("VRML error on line 3 with (x)"), std::string::npos);
  EXPECT_EQ(WTnode_numchildren(root), 1);
  EXPECT_EQ(child(root, 0), mine);
  EXPECT_EQ(load("Material { diffuseColor 1 0 0 } Separator {", mine), nullptr);
  EXPECT_EQ(WTnode_numchildren(mine), 0);
  EXPECT_EQ(load("Coordinate3 { point [0 0 0, 1 0 0, 1 1 0] }\n"
                 "IndexedFaceSet { coordIndex [0, 1, 3, -1] }", mine),
            nullptr);
  EXPECT_EQ(load("DEF A Separator { USE A Cube {} } DEF B Separator { DEF C Separator { USE B } }",
                 mine)
                ->kind,
            WTNODE_SEP);
  std::string deep;
  for (int i = 0; i < 500; i++) deep += "Separator { ";
  EXPECT_EQ(load(deep), nullptr);
  EXPECT_TRUE(tk::calls().exits.empty());
}

// ---- Writing ---------------------------------------------------------------------------------

class VrmlWrite : public VrmlRead {
 protected:
  std::string save(WTnode *node, WTviewpoint *vp = nullptr) {
    std::string path = folder / "out.wrl";
    EXPECT_EQ(WTnode_save(node, path.c_str(), vp, 14, 0), 1);
    return tk::readfile(path);
  }
};

bool has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

TEST_F(VrmlWrite, NodesAndNames) {
  WTnode *sep = WTsepnode_new(root);
  WTnode *a = WTsepnode_new(sep), *b = WTsepnode_new(sep);
  WTgeometry *block = WTgeometry_newblock(1, 1, 1, 0);
  WTgeometry_setmtable(block, nullptr);
  WTnode *shared = WTgeometrynode_new(a, block);
  WTnode_addchild(b, shared);
  WTnode *lod = WTlodnode_new(sep);
  const float range = 10;
  WTlodnode_setrange(lod, &range, 1);
  WTnode *sun = WTlightnode_newdirected(sep);
  const WTp3 dir = {0, 0, 1};
  WTlightnode_setdirection(sun, dir);
  std::string text = save(sep);
  EXPECT_EQ(text.compare(0, 17, "#VRML V1.0 ascii\n"), 0);
  EXPECT_TRUE(has(text, "DEF Node0 Separator {")) << text;
  EXPECT_TRUE(has(text, "USE Node0\n"));
  EXPECT_TRUE(has(text, "range [10.000000]"));
  EXPECT_TRUE(has(text, "direction -0.000000 -0.000000 -1.000000"));
  EXPECT_TRUE(has(text, "MaterialBinding { value PER_FACE_INDEXED }"));
  EXPECT_FALSE(has(text, "Material {\n")) << "a geometry without table writes no Material";
  EXPECT_EQ(WTnode_getname(shared), nullptr);
  EXPECT_TRUE(has(save(sep), "DEF Node1 Separator {"));

  WTnode *moved = WTsepnode_new(root);
  WTxformnode_new(moved);
  WTgeometrynode_new(moved, WTgeometry_newblock(1, 1, 1, 0));
  EXPECT_FALSE(has(save(WTnode_getchild(moved, 0)), "NormalBinding"));
}

TEST_F(VrmlWrite, CameraComesBackAsTheCurrentViewpoint) {
  WTnode *sep = WTsepnode_new(root);
  WTgeometrynode_new(sep, WTgeometry_newblock(1, 1, 1, 0));
  WTviewpoint *vp = WTviewpoint_new();
  const WTp3 at = {1, 2, 3};
  const float half = 0.3f;
  const WTq turn = {0, sinf(half), 0, cosf(half)};
  WTviewpoint_setposition(vp, at);
  WTviewpoint_setorientation(vp, turn);
  std::string text = save(sep, vp);
  EXPECT_TRUE(has(text, "PerspectiveCamera {")) << text;
  ASSERT_NE(_WTnode_loadvrml(root, (folder / "out.wrl").c_str()), nullptr);
  WTviewpoint *back = _WTuniverse_getviewpoint();
  ASSERT_NE(back, vp);
  WTp3 p;
  WTq q;
  WTviewpoint_getposition(back, p);
  WTviewpoint_getorientation(back, q);
  EXPECT_NEAR(p[2], 3, 1e-5);
  const float dot = q[0] * turn[0] + q[1] * turn[1] + q[2] * turn[2] + q[3] * turn[3];
  EXPECT_NEAR(fabsf(dot), 1, 1e-4) << q[0] << " " << q[1] << " " << q[2] << " " << q[3];
}

TEST_F(VrmlWrite, FailedWritesAreReported) {
  WTnode *sep = WTsepnode_new(root);
  WTgeometrynode_new(sep, WTgeometry_newblock(1, 1, 1, 0));
  EXPECT_EQ(WTnode_save(sep, (folder / "missing").append(1, tk::kSep).append("out.wrl").c_str(), nullptr, 14, 0), 0);
  FILE *readonly = fopen(tk::writefile(folder / "ro.wrl", "x").c_str(), "rb");
  EXPECT_EQ(_WTnode_savevrml(sep, readonly, nullptr, 0), 0);
  fclose(readonly);
}

struct PolySig {
  std::vector<std::vector<float>> points;
  float colour;
  std::string texture;
  bool twosided;
  bool operator==(const PolySig &o) const {
    return points == o.points && colour == o.colour && texture == o.texture && twosided == o.twosided;
  }
};

// The polygons of every geometry below, in tree and geometry order.
void signatures(WTnode *n, std::vector<PolySig> *out) {
  if (n->kind == WTNODE_GEOMETRY) {
    for (WTpoly *p = n->u.geometry->polys; p; p = p->next) {
      PolySig s{{}, diffuse(n->u.geometry, p->matid), "", (p->flags & WTP_TWOSIDED) != 0};
      for (WTvertexlink *l = p->links; l; l = l->next)
        s.points.push_back({l->vertex->position[0], l->vertex->position[1], l->vertex->position[2]});
      if (p->texture) s.texture = _WTtexture_refname(p->texture), s.colour = 0;
      out->push_back(s);
    }
  }
  if (_WTnode_checkparent(n))
    for (WTnodelink *l = n->firstchild; l; l = l->nextsibling) signatures(l->child, out);
}

TEST_F(VrmlWrite, RoundTrip) {
  tk::TextureImages images;
  const std::string scene =
      "Separator {\n"
      " Material { diffuseColor [1 0 0, 0 1 0, 0 0 1] }\n"
      " MaterialBinding { value PER_FACE_INDEXED }\n"
      " ShapeHints { shapeType SOLID }\n"
      " Coordinate3 { point [0 0 0, 1 0 0, 1 1 0, 0 1 0, 2 0 0, 2 1 0] }\n"
      " DEF Floor IndexedFaceSet { coordIndex [0, 1, 2, 3, -1, 1, 4, 5, 2, -1, 0, 3, 2, -1]\n"
      "   materialIndex [2, 0, 1] }\n"
      " DEF Twice Separator { ShapeHints { shapeType UNKNOWN_SHAPE_TYPE }\n"
      "   Texture2 { filename \"wood.tga\" }\n"
      "   TextureCoordinate2 { point [0 0, 1 0, 1 1, 0 1] }\n"
      "   IndexedFaceSet { coordIndex [0, 1, 2, 3, -1] textureCoordIndex [0, 1, 2, 3, -1] } }\n"
      " Translation { translation 0 0 5 }\n"
      " USE Twice\n"
      "}\n";
  WTnode *first = load(scene);
  ASSERT_NE(first, nullptr);
  std::vector<PolySig> before;
  signatures(first, &before);
  ASSERT_EQ(before.size(), 5u) << [&] {
    std::string d;
    for (auto &s : before) d += std::to_string(s.points.size()) + " " + s.texture + " " + std::to_string(s.colour) + "\n";
    return d;
  }();
  EXPECT_EQ(before[3].texture, "wood.tga");
  EXPECT_TRUE(before[3].twosided);
  std::string written = save(first);
  WTnode *second = _WTnode_loadvrml(root, (folder / "out.wrl").c_str());
  ASSERT_NE(second, nullptr) << written;
  std::vector<PolySig> after;
  signatures(second, &after);
  ASSERT_EQ(after.size(), before.size()) << written;
  for (size_t i = 0; i < before.size(); i++) EXPECT_TRUE(after[i] == before[i]) << i << "\n" << written;
  WTnode *twice = nullptr;
  for (int i = 0; i < WTnode_numchildren(second); i++)
    if (WTnode_getname(child(second, i)) && strcmp(WTnode_getname(child(second, i)), "Twice") == 0)
      twice = child(second, i);
  ASSERT_NE(twice, nullptr) << written;
  EXPECT_EQ(WTnode_numparents(twice), 2);
}

}  // namespace

namespace {

// Every prefix of a small document and every byte of it flipped: read, written and dropped
// without a fault (the sanitizers of the native build watch).
TEST_F(VrmlRead, DamagedDocuments) {
  const std::string doc = std::string(kHeader) +
      "DEF S Separator { Material { diffuseColor [1 0 0, 0 1 0] }\n"
      " MaterialBinding { value PER_FACE_INDEXED }\n"
      " Coordinate3 { point [0 0 0, 1 0 0, 1 1 0, 0 1 0] }\n"
      " IndexedFaceSet { coordIndex [0, 1, 2, -1, 0, 2, 3, -1] materialIndex [0, 1] }\n"
      " Texture2 { image 1 1 3 0xFF0000 }\n"
      " Cone { parts (SIDES|BOTTOM) } Info { string \" glom name X \" } }\n"
      "Separator { USE S LOD { range [1] Cube {} } }\n";
  const std::string in = folder / "damaged.wrl", out = folder / "again.wrl";
  auto readwrite = [&](const std::string &bytes) {
    tk::writefile(in, bytes);
    WTnode *holder = WTsepnode_new(nullptr);
    if (_WTnode_loadvrml(holder, in.c_str())) {
      EXPECT_EQ(WTnode_save(holder, out.c_str(), nullptr, 14, 0), 1);
      WTnode *again = WTsepnode_new(nullptr);
      _WTnode_loadvrml(again, out.c_str());
      WTnode_delete(again);
    }
    WTnode_delete(holder);
  };
  _WTmsg_setrouting(WTMSG_WARNING, 0, nullptr);
  for (size_t n = 0; n <= doc.size(); n++) readwrite(doc.substr(0, n));
  for (size_t i = 0; i < doc.size(); i++) {
    std::string flipped = doc;
    flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    readwrite(flipped);
  }
  _WTmsg_setrouting(WTMSG_WARNING, WTMSG_SCREEN, nullptr);
  EXPECT_TRUE(tk::calls().exits.empty());
}

}  // namespace
