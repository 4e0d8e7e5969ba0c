// OpenFlight files built record by record: faces through the record walk, and whole files
// converted into node trees (units, LODs, replicated groups, instances, external references,
// decals, palettes, clean-up passes).
#include <math.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "flightfiles.h"
#include "../support/fuzz_seeds.h"
#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/mgen.h"

namespace {

using tk::flt::Face;
using tk::flt::File;
using tk::flt::Vertex;

const std::vector<Vertex> kTriangle = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};

// ---- The record walk ---------------------------------------------------------------------------

// A file of records made current for the walk, as the conversion does for each file.
class Walk : public tk::Universe {
 protected:
  void use(const File &f, uint32_t revision = 1600) {
    file_ = MgenFile();
    file_.name = "walk.flt";
    file_.revision = revision;
    file_.buffer.assign(f.bytes.begin(), f.bytes.end());
    _WTmtable_delete(_WTmgen_load().table);
    _WTmgen_load() = MgenLoad();
    _WTmgen_load().current = _WTmgen_load().main = &file_;
    _WTmgen_load().table = WTmtable_new(95, 64, nullptr);
    int op;
    size_t length;
    for (size_t at = 0; _WTmgen_record(at, &op, &length); at += length) {
      if (op == 67) {
        file_.vertexpalette = at;
        file_.vertexpaletteend = at + _WTmgen_u32(at + 4);
        at = file_.vertexpaletteend - length;
      }
      if (op == 32) _WTmgen_colorpalette(at, 0);
      if (op == 66) _WTmgen_materialpalette(at, 0);
      if (op == 64) file_.textures.push_back({0, _WTmgen_i32(at + 204), _WTmgen_text(at + 4, 200)});
      if (op == 5 && faceat_ == kMgenNone) faceat_ = at;
    }
  }
  void TearDown() override {
    // The tables of the walks have no geometry to take them away.
    _WTmtable_delete(_WTmgen_load().table);
    _WTmgen_load() = MgenLoad();
    tk::Universe::TearDown();
  }
  // The first face of the file through the walk.
  MgenPoly face() {
    MgenPoly poly(256);
    addPolygon(faceat_, &poly);
    return poly;
  }
  MgenFile file_;
  size_t faceat_ = kMgenNone;
};

File withface(const Face &f, const std::vector<Vertex> &vs, const std::vector<int> &list) {
  File file;
  file.header().vertices(vs).face(f).push().vertexlist(list).pop();
  return file;
}

// Vertex counts and draw types to primitives; a closed line loop repeats its first vertex.
TEST_F(Walk, PrimitivesByDrawTypeAndCount) {
  const struct {
    int draw;
    std::vector<int> list;
    int primitive, count;
  } cases[] = {{0, {0}, 0, 1}, {0, {0, 1}, 2, 2}, {4, {0, 1}, 2, 2}, {2, {0, 1, 2}, 2, 4},
               {3, {0, 1, 2}, 2, 3}, {1, {0, 1, 2}, 3, 3}, {5, {0, 1, 2}, 3, 3}};
  for (const auto &c : cases) {
    Face f;
    f.draw = c.draw;
    faceat_ = kMgenNone;
    use(withface(f, kTriangle, c.list));
    MgenPoly p = face();
    EXPECT_EQ(p.valid, 1) << c.draw;
    EXPECT_EQ(p.primitive, c.primitive) << c.draw << " " << c.list.size();
    EXPECT_EQ(p.count, c.count) << c.draw;
    if (c.draw == 2) {
      EXPECT_EQ(p.positions[9], p.positions[0]);
    }
    faceat_ = kMgenNone;
  }
}

TEST_F(Walk, TransparencyColoursAndUnits) {
  std::vector<uint32_t> colours(512, 0);
  colours[0] = 0xFF0000;
  colours[10] = 0x00FF00;
  const struct {
    uint32_t revision;
    int index;
    float red, green;
  } cases[] = {{1420, 1280, 10 / 127.0f, 0}, {1500, 1280, 0, 0}, {1500, 10 * 128 + 127, 0, 1}};
  for (const auto &c : cases) {
    Face f;
    f.colour = c.index;
    f.transparency = 65535;
    File file;
    file.header(c.revision).colours(colours).vertices(kTriangle).face(f).push().vertexlist({0, 1, 2}).pop();
    faceat_ = kMgenNone;
    use(file, c.revision);
    MgenPoly p = face();
    EXPECT_NEAR(p.colours[0], c.red, 1e-5) << c.revision << " " << c.index;
    EXPECT_NEAR(p.colours[1], c.green, 1e-5) << c.revision << " " << c.index;
    EXPECT_EQ(p.alpha, 0.0f);
  }
  Face opaque;
  faceat_ = kMgenNone;
  use(withface(opaque, kTriangle, {0, 1, 2}));
  file_.units = 0.5;
  EXPECT_EQ(face().alpha, 1.0f);
  EXPECT_EQ(face().positions[3], 5.0f);
}

// A palette vertex shared by two faces gives both the same coordinates (the walk is repeatable).
TEST_F(Walk, SharedPaletteVertex) {
  File file;
  file.header().vertices(kTriangle).triangle("a").triangle("b");
  use(file);
  MgenPoly first = face();
  MgenPoly again = face();
  EXPECT_EQ(first.positions, again.positions);
  EXPECT_EQ(first.positions[3], 10.0f);
}

TEST_F(Walk, TexturesNeedCoordinatesAndKeepBaseNames) {
  std::vector<Vertex> textured = kTriangle;
  for (Vertex &v : textured) v.uv = true;
  Face f;
  f.pattern = 3;
  File file;
  file.header().texture("c:\\tex\\brick.rgb", 3).vertices(textured).face(f).push().vertexlist({0, 1, 2}).pop();
  use(file);
  tk::Captured messages;
  MgenPoly p = face();
  EXPECT_EQ(p.texturemode, 3);
  EXPECT_EQ(p.texture, "brick.rgb");
  EXPECT_NE(messages.all().find("Couldn't locate file c:\\tex\\brick.rgb.attr"), std::string::npos);

  File plain;
  plain.header().texture("brick.rgb", 3).vertices(kTriangle).face(f).push().vertexlist({0, 1, 2}).pop();
  faceat_ = kMgenNone;
  use(plain);
  EXPECT_EQ(face().texturemode, 0);

  f.pattern = 4;
  File missing;
  missing.header().texture("brick.rgb", 3).vertices(textured).face(f).push().vertexlist({0, 1, 2}).pop();
  faceat_ = kMgenNone;
  use(missing);
  EXPECT_EQ(face().texturemode, 0);
  EXPECT_NE(messages.all().find("Couldn't reference Multigen texture file 4"), std::string::npos);
}

TEST_F(Walk, MaterialsEmissionAndOutOfRangeIndex) {
  const struct {
    float emission;
    int material;
    float alpha;
  } cases[] = {{0.05f, 0, 0.5f}, {0.1f, 0, 0.5f}, {0.1f, 64, 1.0f}, {0.1f, -1, 1.0f}};
  for (const auto &c : cases) {
    Face f;
    f.material = c.material;
    File file;
    file.header().materials(64, c.emission, 0.5f).vertices(kTriangle).face(f).push().vertexlist({0, 1, 2}).pop();
    faceat_ = kMgenNone;
    use(file);
    MgenPoly p = face();
    EXPECT_EQ(p.material, c.material >= 64 ? -1 : c.material);
    EXPECT_EQ(p.colours[3], c.alpha) << c.material;
    const float shown = c.material != 0 ? 0.0f : c.emission < 0.1f ? 0.0f : c.emission;
    EXPECT_EQ(p.look.emission[0], shown) << c.emission << " " << c.material;
  }
}

// Offsets outside the palette, records that run past the end, and faces past the room.
TEST_F(Walk, DamagedRecordsStayInside) {
  tk::Captured messages;
  use(withface(Face(), kTriangle, {0, 1, 100000, -8}));
  MgenPoly p = face();
  EXPECT_EQ(p.count, 2);
  EXPECT_NE(messages.all().find("Unknown Multigen vertex type f"), std::string::npos);
  std::vector<int> many(300, 0);
  faceat_ = kMgenNone;
  use(withface(Face(), kTriangle, many));
  EXPECT_EQ(face().valid, 0);
}

// Layer records and a face among a face's own records give warnings; a face there ends the
// face at it, unmade.
TEST_F(Walk, LayerRecordsAndFacesInsideAFace) {
  const struct {
    int opcode;
    const char *warning;
    int valid;
  } cases[] = {
      {19, "Multigen: addPolygon() unexpected node 19 \"push_sf\" found. Possible vertex-less superface of f.", 1},
      {20, "Multigen: addPolygon() unexpected node 20 \"pop_sf\" found. Possible vertex-less subface of f.", 1},
      {5, "Multigen: addPolygon() polygon found in polygon, id = f, Possible vertex-less poly.", 0},
  };
  for (const auto &c : cases) {
    File file;
    file.header().vertices(kTriangle).face(Face()).push().vertexlist({0, 1, 2});
    const size_t inner = file.bytes.size();
    file.raw(tk::flt::Record(c.opcode, c.opcode == 5 ? 80 : 4)).pop();
    faceat_ = kMgenNone;
    use(file);
    tk::Captured messages;
    MgenPoly p(256);
    const size_t next = addPolygon(faceat_, &p);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{std::string("VAV Warning: ") + c.warning});
    EXPECT_EQ(p.valid, c.valid) << c.opcode;
    EXPECT_EQ(next, c.valid ? file.bytes.size() : inner) << c.opcode;
  }
}

// ---- Whole files -------------------------------------------------------------------------------

class Flight : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    _WTfile_setmodelpath(folder.path().c_str());
  }
  void TearDown() override {
    _WTfile_setmodelpath("");
    _WTmgen_setmode(11, 0);
    tk::Universe::TearDown();
  }
  WTnode *load(const File &f, const std::string &name = "model.flt") {
    folder.write(name, f.bytes);
    return _WTnode_loadmgen(name.c_str());
  }
  tk::TempFolder folder;
};

WTnode *child(WTnode *n, std::initializer_list<int> path) {
  for (int i : path) n = n ? WTnode_getchild(n, i) : nullptr;
  return n;
}

std::string name(WTnode *n) { return n && WTnode_getname(n) ? WTnode_getname(n) : ""; }

TEST_F(Flight, RefusedFilesAndAnEmptyModel) {
  tk::Captured messages;
  EXPECT_FALSE(_WTnode_loadmgen("absent.flt"));
  EXPECT_NE(messages.all().find("Couldn't load Multigen file absent.flt."), std::string::npos);
  EXPECT_FALSE(load(File(), "empty.flt"));
  File notheader;
  notheader.group("g");
  EXPECT_FALSE(load(notheader, "group.flt"));
  EXPECT_NE(messages.all().find("Invalid Multigen file header in"), std::string::npos);

  File palettes;
  palettes.header().colours({0xFF0000}).materials(2, 0, 1);
  WTnode *root = load(palettes);
  ASSERT_TRUE(root);
  ASSERT_EQ(WTnode_numchildren(root), 1);
  WTnode *axes = WTnode_getchild(root, 0);
  ASSERT_EQ(WTnode_gettype(axes), WTNODE_XFORM);
  WTm4 m;
  WTnode_gettransform(axes, m);
  EXPECT_EQ(m[1][2], 1.0f);
  EXPECT_EQ(m[2][1], -1.0f);
  WTnode_delete(root);
}

// An object's faces make one geometry node, named after the object, with the file's units.
TEST_F(Flight, ObjectsAndUnits) {
  const struct {
    int unit, multiplier, option;
    float x;
  } cases[] = {{4, 1, 0, 3.048f}, {4, 1, 2, 10.0f}, {0, -10, 0, 1.0f}, {1, 1, 0, 10000.0f}};
  for (const auto &c : cases) {
    _WTmgen_setmode(11, c.option);
    File f;
    f.header(1600, c.unit, c.multiplier).vertices(kTriangle).object("obj").push().triangle().pop();
    WTnode *root = load(f);
    ASSERT_TRUE(root);
    // The root took over the object's separator, the only thing in the file.
    WTnode *geom = child(root, {1});
    ASSERT_EQ(name(geom), "geom_under_obj") << c.unit;
    WTgeometry *g = WTnode_getgeometry(geom);
    ASSERT_EQ(WTgeometry_numpolys(g), 1);
    float maxx = 0;
    for (WTvertex *v = g->vertices; v; v = v->next) maxx = fmaxf(maxx, v->position[0]);
    EXPECT_NEAR(maxx, c.x, 1e-3) << c.unit << " " << c.multiplier << " " << c.option;
    WTnode_delete(root);
  }
}

TEST_F(Flight, LodRanges) {
  const struct {
    int in, out;
    bool children;
    std::vector<float> ranges;
    std::string first;
  } cases[] = {{0, 0, true, {100000.0f}, ""},
               {0, 0, false, {0, 0}, ""},
               {200, 50, true, {50, 200}, "WTdummygrp"},
               {70, 70, true, {70, 100000.0f}, "WTdummygrp"}};
  for (const auto &c : cases) {
    File f;
    f.header().vertices(kTriangle).group("top").push().lod("l", c.in, c.out);
    if (c.children) f.push().object("a").push().triangle().pop().object("b").push().triangle().pop().pop();
    f.group("sibling").push().object("c").push().triangle().pop().pop().pop();
    WTnode *root = load(f);
    ASSERT_TRUE(root);
    WTnode *lod = nullptr;
    for (int i = 0; i < WTnode_numchildren(root); i++)
      if (WTnode_gettype(WTnode_getchild(root, i)) == WTNODE_LOD) lod = WTnode_getchild(root, i);
    ASSERT_TRUE(lod) << c.in;
    std::vector<float> ranges(static_cast<size_t>(WTlodnode_numranges(lod)));
    WTlodnode_getrange(lod, ranges.data(), static_cast<int>(ranges.size()));
    EXPECT_EQ(ranges, c.ranges) << c.in << " " << c.out;
    if (!c.first.empty()) {
      EXPECT_EQ(name(child(lod, {0})), c.first);
      EXPECT_EQ(WTnode_numchildren(lod), 2);
    }
    WTnode_delete(root);
  }
}

TEST_F(Flight, ReplicatedGroup) {
  File f;
  f.header().vertices(kTriangle).group("top").push().group("rep").translate(1, 0, 0).replicate(3);
  f.push().object("o").push().triangle().pop().pop().group("other").push().object("p").push().triangle().pop().pop().pop();
  WTnode *root = load(f);
  ASSERT_TRUE(root);
  WTnode *outer = nullptr;
  for (int i = 0; i < WTnode_numchildren(root); i++)
    if (name(WTnode_getchild(root, i)) == "Replicate group rep") outer = WTnode_getchild(root, i);
  ASSERT_TRUE(outer);
  ASSERT_EQ(WTnode_numchildren(outer), 7);
  WTnode *group = WTnode_getchild(outer, 0);
  for (int k = 1; k < 7; k += 2) {
    EXPECT_EQ(WTnode_gettype(WTnode_getchild(outer, k)), WTNODE_XFORM);
    EXPECT_EQ(WTnode_getchild(outer, k + 1), group);
  }
  WTnode_delete(root);
}

TEST_F(Flight, Instances) {
  File f;
  f.header().vertices(kTriangle).group("top").push();
  f.instancedef(5).push().group("shared").push().object("o").push().triangle().pop().pop().pop();
  f.group("a").push().instanceref(5).object("x").push().triangle().pop().pop();
  f.group("b").push().instanceref(5).instanceref(9).object("y").push().triangle().pop().pop();
  f.pop();
  tk::Captured messages;
  WTnode *root = load(f);
  ASSERT_TRUE(root);
  EXPECT_NE(messages.all().find("Multigen:  could not find instance ref 9"), std::string::npos);
  WTnode *shared = nullptr;
  int parents = 0;
  for (int i = 0; i < WTnode_numchildren(root); i++) {
    WTnode *g = WTnode_getchild(root, i);
    for (int k = 0; k < WTnode_numchildren(g); k++)
      if (name(WTnode_getchild(g, k)) == "shared") {
        shared = WTnode_getchild(g, k);
        parents++;
      }
  }
  EXPECT_EQ(parents, 2);
  ASSERT_TRUE(shared);
  EXPECT_EQ(WTnode_numparents(shared), 2);
  WTnode_delete(root);
}

TEST_F(Flight, ExternalReferencesShareOneSubtree) {
  File part;
  part.header(1500).vertices(kTriangle).object("part").push().triangle().pop();
  folder.write("part.flt", part.bytes);
  File f;
  f.header(1500).group("top").push().external("part.flt").external("part.flt").external("nowhere.flt").pop();
  tk::Captured messages;
  WTnode *root = load(f);
  ASSERT_TRUE(root);
  EXPECT_NE(messages.all().find("Multigen: couldn't resolve external reference nowhere.flt"), std::string::npos);
  std::vector<WTnode *> holders;
  for (int i = 0; i < WTnode_numchildren(root); i++)
    if (name(WTnode_getchild(root, i)) == "ext_ref_sep") holders.push_back(WTnode_getchild(root, i));
  ASSERT_EQ(holders.size(), 2u);  // the unresolved one was empty and pruned
  ASSERT_TRUE(child(holders[0], {0}));
  EXPECT_EQ(child(holders[0], {0}), child(holders[1], {0}));
  EXPECT_EQ(name(child(holders[0], {0})), "part.flt");
  WTnode_delete(root);
}

// The first node of that name, depth first.
WTnode *find(WTnode *n, const std::string &wanted) {
  if (!n || name(n) == wanted) return n;
  for (int i = 0; i < WTnode_numchildren(n); i++)
    if (WTnode *found = find(WTnode_getchild(n, i), wanted)) return found;
  return nullptr;
}

std::vector<float> entryvalue(WTmtable *table, int id, int bit) {
  std::vector<float> v(3, -1.0f);
  WTmtable_getvalue(table, id, v.data(), bit);
  if (bit == WTOPACITY) v.resize(1);
  return v;
}

// A reference's override flags choose whose colour, material and texture palettes its faces
// use: the referring file's or the referenced file's own.  References to one file share it
// when their flags lead to the same palettes.
TEST_F(Flight, ExternalPalettesFollowTheOverrideFlags) {
  std::vector<Vertex> textured;
  for (double x : {0, 100, 200})
    for (Vertex v : kTriangle) {
      v.x += x;
      v.uv = true;
      textured.push_back(v);
    }
  Face colour, material, texture;
  colour.colour = 127;
  material.material = 0;
  texture.pattern = 3;
  File part;
  part.header().colours({0x00FF00}).materials(1, 0, 0.25f).vertices(textured).object("p").push();
  part.face(colour).push().vertexlist({0, 1, 2}).pop().face(material).push().vertexlist({3, 4, 5}).pop();
  part.face(texture).push().vertexlist({6, 7, 8}).pop().pop();
  folder.write("part.flt", part.bytes);
  const uint32_t kColour = 0x80000000u, kMaterial = 0x40000000u, kTexture = 0x20000000u;
  for (uint32_t flags : {0u, kColour, kMaterial, kTexture}) {
    File f;
    f.header().colours({0xFF0000}).materials(1, 0, 0.5f).texture("brick.rgb", 3).group("top").push();
    f.external("part.flt", flags).external("part.flt", flags ^ kColour).external("part.flt", flags).pop();
    tk::Captured messages;
    WTnode *root = load(f);
    ASSERT_TRUE(root);
    WTgeometry *g = WTnode_getgeometry(find(root, "geom_under_p"));
    ASSERT_TRUE(g);
    WTpoly *faces[3] = {};
    for (WTpoly *p = g->polys; p; p = p->next) faces[static_cast<int>(p->links->vertex->position[0]) / 100] = p;
    ASSERT_TRUE(faces[0] && faces[1] && faces[2]);
    const std::vector<float> red = {1, 0, 0}, green = {0, 1, 0};
    EXPECT_EQ(entryvalue(g->mtable, faces[0]->matid, WTDIFFUSE), flags & kColour ? green : red) << flags;
    EXPECT_EQ(entryvalue(g->mtable, faces[1]->matid, WTOPACITY)[0], flags & kMaterial ? 0.25f : 0.5f) << flags;
    const char *said = flags & kTexture ? "Couldn't reference Multigen texture file 3"
                                        : "Couldn't locate file brick.rgb.attr";
    EXPECT_NE(messages.all().find(said), std::string::npos) << flags;

    std::vector<WTnode *> holders;
    for (int i = 0; i < WTnode_numchildren(root); i++)
      if (name(WTnode_getchild(root, i)) == "ext_ref_sep") holders.push_back(WTnode_getchild(root, i));
    ASSERT_EQ(holders.size(), 3u);
    EXPECT_EQ(child(holders[0], {0}), child(holders[2], {0})) << flags;
    EXPECT_NE(child(holders[0], {0}), child(holders[1], {0})) << flags;
    WTnode_delete(root);
  }
}

// A reference of an older revision whose colours lie within 2/255 of the referring file's
// takes that file's palette; one further off keeps its own.
TEST_F(Flight, OlderReferenceSharesAMatchingColourPalette) {
  const struct {
    int red;
    float shown;
  } cases[] = {{101, 100 / 255.0f}, {102, 100 / 255.0f}, {103, 103 / 255.0f}};
  for (const auto &c : cases) {
    Face f;
    f.colour = 4096;  // the first of the fixed colours
    File part;
    part.header(1400).raw(tk::flt::Record(32, 532).u16(196, c.red)).vertices(kTriangle);
    part.object("p").push().face(f).push().vertexlist({0, 1, 2}).pop().pop();
    folder.write("part.flt", part.bytes);
    File main;
    main.header(1400).raw(tk::flt::Record(32, 532).u16(196, 100)).group("top").push().external("part.flt").pop();
    WTnode *root = load(main);
    ASSERT_TRUE(root);
    WTgeometry *g = WTnode_getgeometry(find(root, "geom_under_p"));
    ASSERT_TRUE(g);
    EXPECT_EQ(entryvalue(g->mtable, g->polys->matid, WTDIFFUSE), (std::vector<float>{c.shown, 0, 0})) << c.red;
    WTnode_delete(root);
  }
}

// Face colours keep the face's transparency and vertex colours the material's alpha: both
// become the opacity of the material entries the polygon uses.
TEST_F(Flight, ColoursKeepTheirAlphaInTheMaterials) {
  Face clear;
  clear.colour = 127;
  clear.transparency = 0x8000;
  File f;
  f.header().colours({0xFF0000, 0x00FF00, 0x0000FF}).materials(1, 0, 0.25f);
  f.vertices({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 5, 127, 0}, {10, 0, 5, 255, 0}, {0, 10, 5, 383, 0}});
  Face tinted;
  tinted.material = 0;
  f.object("o").push().face(clear).push().vertexlist({0, 1, 2}).pop().face(tinted).push().vertexlist({3, 4, 5}).pop().pop();
  WTnode *root = load(f);
  ASSERT_TRUE(root);
  WTgeometry *g = WTnode_getgeometry(find(root, "geom_under_o"));
  ASSERT_TRUE(g);
  ASSERT_EQ(WTgeometry_numpolys(g), 2);
  for (WTpoly *p = g->polys; p; p = p->next) {
    if (p->links->vertex->position[2] == 0) {
      EXPECT_FALSE(p->rflags & WTR_VMATIDS);
      EXPECT_EQ(entryvalue(g->mtable, p->matid, WTDIFFUSE), (std::vector<float>{1, 0, 0}));
      EXPECT_NEAR(entryvalue(g->mtable, p->matid, WTOPACITY)[0], 1 - 0x8000 / 65535.0f, 1e-6);
      continue;
    }
    EXPECT_TRUE(p->rflags & WTR_VMATIDS);
    for (WTvertexlink *l = p->links; l; l = l->next) {
      const float *at = l->vertex->position;
      const std::vector<float> rgb = {at[0] == 0 && at[1] == 0 ? 1.0f : 0, at[0] > 0 ? 1.0f : 0, at[1] > 0 ? 1.0f : 0};
      EXPECT_EQ(entryvalue(g->mtable, l->vertex->matid, WTDIFFUSE), rgb) << at[0] << " " << at[1];
      EXPECT_EQ(entryvalue(g->mtable, l->vertex->matid, WTOPACITY)[0], 0.25f);
    }
  }
  WTnode_delete(root);
}

// Decals lie the layer distance in front of their base face.
TEST_F(Flight, DecalsInFrontOfTheBase) {
  File f;
  f.header().vertices({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {1, 1, 0}, {2, 1, 0}, {1, 2, 0}});
  Face base;
  base.id = "base";
  Face decal;
  decal.id = "decal";
  f.object("o").push().face(base).push().vertexlist({0, 1, 2}).pop();
  f.pushsubface().face(decal).push().vertexlist({3, 4, 5}).pop().popsubface().pop();
  const float previous = _WTuniverse_getcolorscale();
  _WTuniverse_setcolorscale(0.65f);
  WTnode *root = load(f);
  _WTuniverse_setcolorscale(previous);
  ASSERT_TRUE(root);
  WTgeometry *g = WTnode_getgeometry(child(root, {1}));
  ASSERT_TRUE(g);
  ASSERT_EQ(WTgeometry_numpolys(g), 2);
  float zs[2];
  int i = 0;
  for (WTpoly *p = g->polys; p; p = p->next) zs[i++] = p->links->vertex->position[2];
  // The file's z is the toolkit's y after the axis transform; positions keep file axes.
  EXPECT_NEAR(fabsf(zs[0] - zs[1]), 0.65f, 1e-5);
  WTnode_delete(root);
}

TEST_F(Flight, PruningMergesAndDropsGroups) {
  File f;
  f.header().vertices(kTriangle).group("outer").push().group("inner").push().object("o").push().triangle().pop().pop();
  f.group("empty").pop();
  WTnode *root = load(f);
  ASSERT_TRUE(root);
  // "empty" is gone, and each separator left with one took over its child's children, up to
  // the root.
  ASSERT_EQ(WTnode_numchildren(root), 2);
  EXPECT_EQ(name(child(root, {1})), "geom_under_o");
  WTnode_delete(root);
}

File damagefixture() {
  File f;
  Face decal;
  f.header().texture("t.rgb", 0).vertices(kTriangle);
  f.group("g").push().object("o").push().triangle().pushsubface().face(decal).push().vertexlist({0, 1, 2}).pop().popsubface().pop();
  f.instancedef(1).push().group("d").pop().instanceref(1).lod("l", 0, 10).push().triangle().pop().pop();
  return f;
}

// Written as the seed of the OpenFlight fuzz target when VEDRA_FUZZ_SEEDS asks for it.
TEST_F(Flight, FuzzSeeds) {
  const File f = damagefixture();
  WTnode *root = load(f);
  ASSERT_TRUE(root);
  WTnode_delete(root);
  EXPECT_TRUE(WriteFuzzSeed("toolkit", "model.flt", f.bytes.data(), f.bytes.size()));
}

TEST_F(Flight, PrefixesAndFlippedBytes) {
  const File f = damagefixture();
  tk::Captured quiet;
  for (size_t n = 0; n <= f.bytes.size(); n++) {
    File cut;
    cut.bytes = f.bytes.substr(0, n);
    if (WTnode *root = load(cut)) WTnode_delete(root);
  }
  for (size_t i = 0; i < f.bytes.size(); i++) {
    File damaged = f;
    damaged.bytes[i] = static_cast<char>(damaged.bytes[i] ^ 0x81);
    if (WTnode *root = load(damaged)) WTnode_delete(root);
  }
}

TEST_F(Flight, ModesAndNodeLoad) {
  EXPECT_EQ(_WTmgen_getmode(5), 1);
  EXPECT_EQ(_WTmgen_getmode(12), -1);
  tk::Captured messages;
  EXPECT_EQ(_WTmgen_setmode(9, 1), 0);
  EXPECT_NE(messages.all().find("Multigen bad mode 9"), std::string::npos);
  _WTmgen_setmode(11, 7);
  EXPECT_EQ(_WTmgen_getmode(11), 0);

  File f;
  f.header().vertices(kTriangle).object("obj").push().triangle().pop();
  const std::string path = folder.write("모델.flt", f.bytes);
  WTnode *node = WTnode_load(root, path.c_str(), 1.0f);
  ASSERT_TRUE(node);
  EXPECT_EQ(WTnode_getparent(node, 0), root);
}

}  // namespace
