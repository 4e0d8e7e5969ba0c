// OpenFlight files through stand-ins of the outside OpenFlight API libraries: missing, without
// an entry or table, and complete.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "flightfiles.h"
#include "imagebytes.h"
#include "scene.h"
#include "support.h"
#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/fltapi.h"

namespace {

const char kResolve[] = "\nVAV flight reader - Could not resolve DLL address of ";

class FlightApi : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    WTuniverse_setoption(17, 1);
    tk::flt::File file;
    file.header();
    path = folder.write("scene.flt", file.bytes);
  }
  void TearDown() override {
    WTuniverse_setoption(17, 0);
    tk::Universe::TearDown();
  }
  tk::TempFolder folder;
  std::string path;
};

TEST_F(FlightApi, BindingNeedsBothLibrariesWithEveryEntryAndTable) {
  struct Case {
    const char *api, *data, *info, *missing;
  } cases[] = {
      {nullptr, nullptr, "\nMGAPILIB.DLL not found\n", nullptr},
      {FLT_MGAPI_COMPLETE, "no-such-fltdata.dll", "\nFLTDATA.DLL not found\n", nullptr},
      {FLT_MGAPI_PARTIAL, FLT_FLTDATA_COMPLETE, "", "mgGetMatrix"},
      {FLT_MGAPI_COMPLETE, FLT_FLTDATA_PARTIAL, "", "FltDataCodeMap"},
  };
  for (const Case &c : cases) {
    tk::resetcalls();
    _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
    {
      tk::Captured messages;
      c.api ? _WTflt_bindfrom(c.api, c.data) : _WTflt_bind();
      EXPECT_EQ(messages.all(), c.info) << c.data;
    }
    EXPECT_FALSE(_WTflt_isbound()) << c.data;
    ASSERT_EQ(tk::calls().boxes.size(), c.missing ? 1u : 0u) << c.data;
    if (c.missing) {
      EXPECT_EQ(tk::calls().boxes[0].text, std::string(kResolve) + c.missing);
      EXPECT_EQ(tk::calls().boxes[0].caption, "VAV flight reader");
    }
  }
  tk::resetcalls();
  _WTflt_bindfrom(FLT_MGAPI_COMPLETE, FLT_FLTDATA_COMPLETE);
  EXPECT_TRUE(_WTflt_isbound());
  EXPECT_TRUE(tk::calls().boxes.empty());
}

TEST_F(FlightApi, EveryUniverseStartLooksTheLibrariesUpAgain) {
  _WTflt_bindfrom(FLT_MGAPI_COMPLETE, FLT_FLTDATA_COMPLETE);
  ASSERT_TRUE(_WTflt_isbound());
  WTuniverse_delete();
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  {
    tk::Captured messages;
    WTuniverse_new(512, 0);
    EXPECT_NE(messages.all().find("\nMGAPILIB.DLL not found\n"), std::string::npos);
  }
  root = WTuniverse_getrootnodes();
  EXPECT_FALSE(_WTflt_isbound());
}

TEST_F(FlightApi, UnboundReadShowsTheBoxAndAddsNothing) {
  _WTflt_bindfrom(FLT_MGAPI_PARTIAL, FLT_FLTDATA_COMPLETE);
  tk::resetcalls();
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  tk::Captured messages;
  EXPECT_FALSE(WTnode_load(root, path.c_str(), 1.0f));
  EXPECT_EQ(WTnode_numchildren(root), 0);
  ASSERT_EQ(tk::calls().boxes.size(), 1u);
  EXPECT_EQ(tk::calls().boxes[0].text, "Could not locate MGAPILIB.DLL and/or FLTDATA.DLL");
  EXPECT_EQ(tk::calls().boxes[0].caption, "New MGEN flight reader");
  EXPECT_NE(messages.all().find("\nCould not read FLT file "), std::string::npos);
}

}  // namespace

namespace {

class FlightApiBound : public FlightApi {
 protected:
  void SetUp() override {
    FlightApi::SetUp();
    _WTflt_bindfrom(FLT_MGAPI_COMPLETE, FLT_FLTDATA_COMPLETE);
  }
};

WTnode *child(WTnode *node, const char *name) {
  for (int i = 0; i < WTnode_numchildren(node); i++) {
    WTnode *c = WTnode_getchild(node, i);
    const char *n = WTnode_getname(c);
    if (n && std::string(n) == name) return c;
  }
  return nullptr;
}

std::vector<WTpoly *> polys(WTgeometry *g) {
  std::vector<WTpoly *> list;
  for (WTpoly *p = g->polys; p; p = p->next) list.insert(list.begin(), p);
  return list;
}

TEST_F(FlightApiBound, WalkBuildsTheTree) {
  tk::Captured messages;
  WTnode *model = WTnode_load(root, path.c_str(), 2.0f);
  ASSERT_TRUE(model);
  EXPECT_EQ(WTnode_getparent(model, 0), root);
  EXPECT_EQ(WTnode_getname(model), path);
  EXPECT_EQ(messages.texts(), (std::vector<std::string>{
                                  "VAV Warning: Texture wood.rgba not found\n",
                                  "VAV Warning: Texture notex.tga not found\n",
                                  "VAV Warning: lighttype not yet supported\n",
                                  "VAV Warning: lp: Lightpoints are unsupported\n",
                                  "VAV Warning: FLT record: bsp is of unsupported type\n",
                              }));
  // The light of type 0 goes first under the root; the one of type 3 is not made.
  EXPECT_STREQ(WTnode_getname(WTnode_getchild(model, 0)), "sun");
  EXPECT_FALSE(child(model, "lamp"));

  WTnode *arm = child(model, "arm");
  ASSERT_TRUE(arm);
  WTm4 m;
  WTnode_gettransform(arm, m);
  EXPECT_EQ(m[3][0], 1.0f);
  EXPECT_EQ(m[3][2], 3.0f);
  WTnode *box = child(arm, "box");
  ASSERT_TRUE(box);
  WTgeometry *g = WTnode_getgeometry(box);
  ASSERT_TRUE(g);
  std::vector<WTpoly *> faces = polys(g);
  ASSERT_EQ(faces.size(), 4u);
  // Material 0 is entry 1, after "flt_default"; no material and colour 0 is entry 0; a colour
  // index gives the library's colour.
  EXPECT_EQ(WTpoly_getmatid(faces[0]), 1);
  EXPECT_TRUE(WTpoly_getbothsides(faces[0]));
  EXPECT_EQ(WTpoly_getmatid(faces[1]), 0);
  EXPECT_FALSE(WTpoly_getbothsides(faces[1]));
  unsigned char r, gr, b;
  WTpoly_getrgb(faces[2], &r, &gr, &b);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(b, 30);
  EXPECT_EQ(WTpoly_getmatid(faces[3]), 2);
  WTmtable *table = WTgeometry_getmtable(g);
  ASSERT_TRUE(table);
  EXPECT_STREQ(WTmtable_getname(table), "MTscene");
  EXPECT_STREQ(_WTmtable_getentryname(table, 0), "flt_default");
  EXPECT_STREQ(_WTmtable_getentryname(table, 1), "red");
  float opacity = 0;
  WTmtable_getvalue(table, 1, &opacity, WTOPACITY);
  EXPECT_EQ(opacity, 0.5f);
  // Positions times the scale: the faces lie at z 0 to 3.
  WTp3 extent;
  WTgeometry_getextents(g, extent);
  EXPECT_EQ(extent[2], 6.0f);

  WTnode *lod = child(model, "near");
  ASSERT_TRUE(lod);
  ASSERT_EQ(WTnode_numchildren(lod), 3);
  float ranges[2];
  ASSERT_EQ(WTlodnode_numranges(lod), 2);
  ASSERT_TRUE(WTlodnode_getrange(lod, ranges, 2));
  EXPECT_EQ(ranges[0], 10.0f);
  EXPECT_EQ(ranges[1], 100.0f);
  WTp3 centre;
  WTlodnode_getcenter(lod, centre);
  EXPECT_EQ(centre[2], 6.0f);
  WTnode *content = child(lod, "LODcontent_near");
  ASSERT_TRUE(content);
  WTnode *far = child(content, "far");
  ASSERT_TRUE(far);
  EXPECT_EQ(WTgeometry_getmtable(WTnode_getgeometry(far)), table);
  EXPECT_EQ(WTnode_gettype(child(model, "sw")), WTNODE_SWITCH);
}

TEST_F(FlightApiBound, SecondReadReusesTheMaterialTable) {
  WTnode *first = WTnode_load(root, path.c_str(), 1.0f);
  WTnode *second = WTnode_load(root, path.c_str(), 1.0f);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(WTgeometry_getmtable(WTnode_getgeometry(child(child(first, "arm"), "box"))),
            WTgeometry_getmtable(WTnode_getgeometry(child(child(second, "arm"), "box"))));
}

TEST_F(FlightApiBound, DatabaseThatCannotBeOpenedGivesTheLibrarysError) {
  tk::flt::File file;
  file.header();
  const std::string missing = folder.write("missing.flt", file.bytes);
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  tk::Captured messages;
  EXPECT_FALSE(WTnode_load(root, missing.c_str(), 1.0f));
  EXPECT_EQ(WTnode_numchildren(root), 0);
  EXPECT_EQ(messages.texts().back(), "Multigen API:cannot open " + missing + "\n");
}

// The stand-in library picks its database by the file's base name; the file itself only has to
// be there and begin with a header.
WTnode *loadnamed(tk::TempFolder &folder, WTnode *parent, const std::string &name) {
  tk::flt::File file;
  file.header();
  return WTnode_load(parent, folder.write(name, file.bytes).c_str(), 1.0f);
}

// Groups showing a group of the tree share it; two showing one outside the tree share the one
// copy walked for the first; a group showing nothing stays empty.
TEST_F(FlightApiBound, InstancesShareWhatTheyShow) {
  WTnode *model = loadnamed(folder, root, "instances.flt");
  ASSERT_TRUE(model);
  WTnode *def = child(model, "def");
  ASSERT_TRUE(def);
  EXPECT_EQ(_WTmovnode_getattached(child(model, "a"), 0), def);
  EXPECT_EQ(_WTmovnode_getattached(child(model, "b"), 0), def);
  WTnode *hidden = _WTmovnode_getattached(child(model, "c"), 0);
  ASSERT_TRUE(hidden);
  EXPECT_STREQ(WTnode_getname(hidden), "hidden");
  EXPECT_EQ(_WTmovnode_getattached(child(model, "d"), 0), hidden);
  // Only the two groups hold it: the separator it was walked into is gone.
  EXPECT_EQ(WTnode_numparents(hidden), 2);
  EXPECT_EQ(_WTmovnode_numattached(child(model, "e")), 0);
  WTgeometry *g = WTnode_getgeometry(child(hidden, "h"));
  ASSERT_TRUE(g);
  EXPECT_EQ(WTpoly_getmatid(g->polys), 2);
  EXPECT_EQ(WTgeometry_getmtable(g), WTgeometry_getmtable(WTnode_getgeometry(child(def, "o"))));
}

// Faces laid on a face lie the layer distance per level in front of it; the base keeps its own
// vertices and texture coordinates, and its texture, named with an 'a' last, is marked as
// having alpha.
TEST_F(FlightApiBound, LayersLieInFrontOfTheirFace) {
  using tk::img::bgr;
  folder.write("wood.tga", tk::img::bytes(tk::img::tga(2, 2, 2, 24, bgr(1, 2, 3) + bgr(4, 5, 6) +
                                                                       bgr(7, 8, 9) + bgr(9, 9, 9))));
  const float previous = _WTuniverse_getcolorscale();
  _WTuniverse_setcolorscale(0.65f);
  tk::Captured messages;
  WTnode *model = loadnamed(folder, root, "layers.flt");
  _WTuniverse_setcolorscale(previous);
  ASSERT_TRUE(model);
  EXPECT_EQ(messages.all().find("too few vertices"), std::string::npos) << messages.all();
  WTgeometry *g = WTnode_getgeometry(child(model, "obj"));
  ASSERT_TRUE(g);
  std::vector<WTpoly *> faces = polys(g);
  ASSERT_EQ(faces.size(), 4u);
  std::vector<float> heights;
  WTpoly *base = nullptr;
  for (WTpoly *p : faces) {
    EXPECT_EQ(WTpoly_numvertices(p), 3);
    heights.push_back(p->links->vertex->position[2]);
    if (heights.back() == 0) base = p;
  }
  std::sort(heights.begin(), heights.end());
  const float expected[4] = {0, 0.65f, 0.65f, 1.3f};
  for (size_t i = 0; i < 4; i++) EXPECT_NEAR(heights[i], expected[i], 1e-5) << i;

  ASSERT_TRUE(base && base->texture);
  WTtextureinfo info;
  ASSERT_TRUE(WTpoly_gettextureinfo(base, &info));
  EXPECT_EQ(std::string(info.name ? info.name : ""), folder / "wood.tga");
  EXPECT_EQ(info.style[1], 1);
  ASSERT_EQ(base->texture->uvcount, 3);
  // The stand-in gives each vertex its own x and y as texture coordinates.
  int k = 0;
  for (WTvertexlink *l = base->links; l; l = l->next, k++) {
    EXPECT_EQ(base->texture->u[k], l->vertex->position[0]) << k;
    EXPECT_EQ(base->texture->v[k], l->vertex->position[1]) << k;
  }
}

TEST_F(FlightApiBound, ExternalReferencesReadTheirFiles) {
  tk::flt::File file;
  file.header();
  folder.write("part.flt", file.bytes);
  folder.write("missing.flt", file.bytes);
  tk::Captured messages;
  WTnode *model = loadnamed(folder, root, "outer.flt");
  ASSERT_TRUE(model);
  const std::vector<std::string> texts = messages.texts();
  for (const std::string &warning : {"Cannot find extern " + (folder / "absent.flt") + "\n",
                                     "Multigen API:cannot open " + (folder / "missing.flt") + "\n"})
    EXPECT_NE(std::find(texts.begin(), texts.end(), "VAV Warning: " + warning), texts.end()) << warning;

  WTnode *top = child(model, "top");
  ASSERT_TRUE(top);
  ASSERT_EQ(WTnode_numchildren(top), 4);
  const char *names[4] = {"part.flt", "part.flt", "absent.flt", "missing.flt"};
  WTmtable *table = nullptr;
  for (int i = 0; i < 4; i++) {
    WTnode *holder = WTnode_getchild(top, i);
    EXPECT_STREQ(WTnode_getname(holder), names[i]);
    if (i >= 2) {
      EXPECT_EQ(WTnode_numchildren(holder), 0) << names[i];
      continue;
    }
    WTgeometry *g = WTnode_getgeometry(child(holder, "p"));
    ASSERT_TRUE(g) << i;
    EXPECT_EQ(WTpoly_getmatid(g->polys), 2);
    // The reference's own table, made once and found again by its name.
    ASSERT_TRUE(WTgeometry_getmtable(g));
    EXPECT_STREQ(WTmtable_getname(WTgeometry_getmtable(g)), "MTpart");
    if (i == 1) {
      EXPECT_EQ(WTgeometry_getmtable(g), table);
    }
    table = WTgeometry_getmtable(g);
  }
  // The outer file has no faces: the table made for it did not stay behind.
  EXPECT_FALSE(_WTmtable_findbyname("MTouter"));
}

// A group showing itself and a file referring to itself end after some levels with a warning.
TEST_F(FlightApiBound, SelfReferencesEndWithAWarning) {
  for (const char *name : {"selfinstance.flt", "selfextern.flt"}) {
    tk::Captured messages;
    WTnode *model = loadnamed(folder, root, name);
    ASSERT_TRUE(model) << name;
    EXPECT_NE(messages.all().find("nested more than 16 deep, left out"), std::string::npos) << name;
    WTnode_delete(model);
  }
}

}  // namespace
