// Material tables: layouts, lookups by value, growth, names, conversion, union, merging and holds.
#include <cmath>
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "geometry_support.h"

namespace {

class MaterialTables : public ::testing::Test {
 protected:
  geo::TablesReset reset;
};

TEST_F(MaterialTables, MasksCapacitiesAndLayouts) {
  const struct {
    unsigned mask;
    int capacity;
    unsigned resolved;
    int size, slots, capacityout;
    bool warns;
  } cases[] = {{WTDIFFUSE, 0, WTDIFFUSE, 4, 1, 3, false},
               {WTDIFFUSE, 10, WTDIFFUSE, 4, 1, 11, false},
               {WTOPACITY, 1, 66, 4, 1, 3, false},
               {35, 1, 32, 4, 1, 3, true},
               {0x7F & ~3u, 1, 0x7C, 11, 4, 3, false},
               {0x1F | 0x80, 1, 0x1F, 14, 5, 3, false}};
  for (const auto &c : cases) {
    tk::Captured captured;
    WTmtable *t = WTmtable_new(c.mask, c.capacity, nullptr);
    ASSERT_TRUE(t);
    EXPECT_EQ(WTmtable_getproperties(t), c.resolved) << c.mask;
    EXPECT_EQ(int(t->size), c.size) << c.mask;
    EXPECT_EQ(int(t->nslots), c.slots) << c.mask;
    EXPECT_EQ(t->capacity, c.capacityout) << c.mask;
    EXPECT_EQ(captured.all().find("WTAMBIENTDIFFUSE") != std::string::npos, c.warns) << c.mask;
    _WTmtable_delete(t);
  }
  WTmtable *t = WTmtable_new(WTOPACITY, 1, nullptr);
  int e = WTmtable_newentry(t);
  float opacity = 0;
  ASSERT_TRUE(WTmtable_getvalue(t, e, &opacity, WTOPACITY));
  EXPECT_EQ(opacity, 1.0f);
  EXPECT_EQ(t->attroffset[6], 3);
}

TEST_F(MaterialTables, ColoursAreFoundByValueAcrossGrowth) {
  WTmtable *t = WTmtable_new(WTDIFFUSE, 10, nullptr);
  int red = _WTmtable_getrgbid(t, 255, 0, 0);
  EXPECT_EQ(_WTmtable_getrgbid(t, 255, 0, 0), red);
  EXPECT_EQ(WTmtable_getnumentries(t), 1);
  for (int i = 1; i < 12; i++) _WTmtable_getrgbid(t, 0, static_cast<unsigned char>(i), 0);
  EXPECT_EQ(t->capacity, 41);
  EXPECT_EQ(WTmtable_getnumentries(t), 12);
  for (int i = 1; i < 12; i++) EXPECT_EQ(_WTmtable_getrgbid(t, 0, static_cast<unsigned char>(i), 0), i);
  EXPECT_EQ(_WTmtable_getrgbid(t, 255, 0, 0), red);
  // An entry changed through its setter is still found by its new value.
  float blue[3] = {0, 0, 1};
  ASSERT_TRUE(WTmtable_setvalue(t, red, blue, WTDIFFUSE));
  EXPECT_EQ(_WTmtable_getrgbid(t, 0, 0, 255), red);
  EXPECT_EQ(WTmtable_getnumentries(t), 12);

  // A colour is looked for with the other values at their defaults (opacity 1), so it finds an
  // entry made and coloured by hand, and one it adds holds those defaults.
  WTmtable *clear = WTmtable_new(WTDIFFUSE | WTOPACITY, 4, nullptr);
  const int made = WTmtable_newentry(clear);
  ASSERT_TRUE(WTmtable_setvalue(clear, made, blue, WTDIFFUSE));
  EXPECT_EQ(_WTmtable_getrgbid(clear, 0, 0, 255), made);
  const int green = _WTmtable_getrgbid(clear, 0, 255, 0);
  float opacity = 0;
  ASSERT_TRUE(WTmtable_getvalue(clear, green, &opacity, WTOPACITY));
  EXPECT_EQ(opacity, 1.0f);
  EXPECT_EQ(WTmtable_getnumentries(clear), 2);
}

TEST_F(MaterialTables, ValueAccessRefusals) {
  WTmtable *t = WTmtable_new(WTDIFFUSE, 1, nullptr);
  WTmtable_newentry(t);
  float v[3] = {1, 2, 3};
  EXPECT_FALSE(WTmtable_setvalue(t, 0, v, 128));
  EXPECT_FALSE(WTmtable_setvalue(t, -1, v, WTDIFFUSE));
  EXPECT_FALSE(WTmtable_setvalue(t, 1, v, WTDIFFUSE));
  EXPECT_FALSE(WTmtable_setvalue(t, 0, v, WTSPECULAR));
  EXPECT_FALSE(WTmtable_setvalue(nullptr, 0, v, WTDIFFUSE));
  float out[3] = {9, 9, 9};
  ASSERT_TRUE(WTmtable_getvalue(t, 0, out, WTDIFFUSE));
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(WTmtable_getnumentries(nullptr), -1);
  tk::Captured captured;
  EXPECT_EQ(WTmtable_newentry(nullptr), -1);
  EXPECT_NE(captured.all().find("Null material table passed into WTmtable_newentry\n"), std::string::npos);
}

TEST_F(MaterialTables, Names) {
  WTmtable *t = WTmtable_new(WTDIFFUSE, 1, nullptr);
  EXPECT_STREQ(WTmtable_getname(t), "mt1");
  EXPECT_STREQ(WTmtable_getname(WTmtable_new(WTDIFFUSE, 1, nullptr)), "mt2");
  const struct {
    const char *name;
    bool ok;
    const char *stored, *message;
  } cases[] = {{"mt5", false, "mt1", "Do not use name mt5 for this table\n"},
               {"mt", true, "mt", nullptr},
               {"mt0", true, "mt0", nullptr},
               {"mtx", true, "mtx", nullptr},
               {"dir/wood.mat", true, "wood", "mtable name shortened from given \"dir/wood.mat\" to \"wood\"\n"},
               {"a b", false, "wood", "invalid mtable name a b: no spaces allowed in name\n"},
               {"c:\\x\\", false, "wood", "no spaces allowed"},
               {"wood", true, "wood", nullptr}};
  for (const auto &c : cases) {
    tk::Captured captured;
    EXPECT_EQ(WTmtable_setname(t, c.name) == 1, c.ok) << c.name;
    EXPECT_STREQ(WTmtable_getname(t), c.stored) << c.name;
    if (c.message) {
      EXPECT_NE(captured.all().find(c.message), std::string::npos) << captured.all();
    }
  }
  tk::Captured captured;
  EXPECT_EQ(WTmtable_new(WTDIFFUSE, 1, "wood"), nullptr);
  EXPECT_NE(captured.all().find("A material table with name wood already exists\n"), std::string::npos);
  // A long name is cut to the record, never through a character.
  std::string longname(257, 'a');
  longname += "\xC3\xA9\xC3\xA9";
  ASSERT_TRUE(WTmtable_setname(t, longname.c_str()));
  EXPECT_EQ(strlen(WTmtable_getname(t)), 259u);
  EXPECT_EQ(std::string(WTmtable_getname(t)), longname.substr(0, 259));
  // Names equal in what the record holds are one name.
  EXPECT_FALSE(WTmtable_setname(WTmtable_new(WTDIFFUSE, 1, nullptr), (longname + "x").c_str()));
}

TEST_F(MaterialTables, GeneratedNamesStopAtTheLimit) {
  WTmtable *t = WTmtable_new(WTDIFFUSE, 1, nullptr);
  strcpy(t->name, "mt999999");
  tk::Captured captured;
  EXPECT_EQ(WTmtable_new(WTDIFFUSE, 1, nullptr), nullptr);
  EXPECT_NE(captured.all().find("Cannot generate more than 1000000 material names\n"), std::string::npos);
}

TEST_F(MaterialTables, CopyConvertsMovesUsersAndDeletesTheOldTable) {
  WTgeometry *a = WTgeometry_newblock(1, 1, 1, 0), *b = WTgeometry_newblock(1, 1, 1, 0);
  WTmtable *old = WTmtable_new(WTAMBIENTDIFFUSE, 1, "paint");
  float c[3] = {0.2f, 0.4f, 0.6f};
  WTmtable_setvalue(old, WTmtable_newentry(old), c, WTAMBIENTDIFFUSE);
  WTgeometry_setmtable(a, old);
  WTgeometry_setmtable(b, old);
  WTmtable *t = WTmtable_copy(old, WTDIFFUSE | WTSPECULAR);
  EXPECT_STREQ(WTmtable_getname(t), "paint");
  EXPECT_EQ(WTgeometry_getmtable(a), t);
  EXPECT_EQ(WTgeometry_getmtable(b), t);
  EXPECT_EQ(_WTmtable_findbyname("paint"), t);
  float out[3];
  ASSERT_TRUE(WTmtable_getvalue(t, 0, out, WTDIFFUSE));
  EXPECT_EQ(out[1], 0.4f);
  WTgeometry_delete(a);
  EXPECT_EQ(_WTmtable_findbyname("paint"), t);
  WTgeometry_delete(b);
  EXPECT_EQ(_WTmtable_findbyname("paint"), nullptr);
}

TEST_F(MaterialTables, AHeldTableOutlivesItsLastUserUntilTheLastRelease) {
  WTgeometry *g = WTgeometry_newblock(1, 1, 1, 0);
  WTmtable *t = WTmtable_new(WTDIFFUSE, 1, "held");
  _WTmtable_hold(t);
  _WTmtable_hold(t);
  WTgeometry_setmtable(g, t);
  WTgeometry_delete(g);
  EXPECT_EQ(_WTmtable_findbyname("held"), t);
  _WTmtable_release(t);
  EXPECT_EQ(_WTmtable_findbyname("held"), t);
  _WTmtable_release(t);
  EXPECT_EQ(_WTmtable_findbyname("held"), nullptr);
  // Released while a geometry uses it: the table goes with its last user.
  WTmtable *used = WTmtable_new(WTDIFFUSE, 1, "used");
  g = WTgeometry_newblock(1, 1, 1, 0);
  _WTmtable_hold(used);
  WTgeometry_setmtable(g, used);
  _WTmtable_release(used);
  _WTmtable_release(used);  // one release too many changes nothing
  EXPECT_EQ(_WTmtable_findbyname("used"), used);
  WTgeometry_delete(g);
  EXPECT_EQ(_WTmtable_findbyname("used"), nullptr);
}

TEST_F(MaterialTables, UnionMergesEqualEntriesAndSplitsAmbientDiffuse) {
  WTmtable *a = WTmtable_new(WTAMBIENTDIFFUSE, 1, "a"), *b = WTmtable_new(WTDIFFUSE, 1, "b");
  _WTmtable_getrgbid(a, 255, 0, 0);
  _WTmtable_getrgbid(b, 0, 255, 0);
  WTmtable *u = _WTmtable_union(a, b);
  EXPECT_EQ(WTmtable_getproperties(u), unsigned(WTAMBIENT | WTDIFFUSE));
  EXPECT_STREQ(WTmtable_getname(u), "a");
  EXPECT_EQ(WTmtable_getnumentries(u), 2);
  float amb[3];
  WTmtable_getvalue(u, 0, amb, WTAMBIENT);
  EXPECT_EQ(amb[0], 1.0f);
  EXPECT_EQ(_WTmtable_union(a, a), a);
  EXPECT_EQ(_WTmtable_union(nullptr, b), b);
  // Equal masks: an equal entry (within the tolerance) is shared.
  WTmtable *c = WTmtable_new(WTDIFFUSE, 1, "c");
  float g[3] = {0, 1.003f, 0};
  WTmtable_setvalue(c, WTmtable_newentry(c), g, WTDIFFUSE);
  EXPECT_EQ(_WTmtable_merge(c, 0, b), 0);
  EXPECT_EQ(_WTmtable_merge(c, 1, b), -1);
  EXPECT_EQ(_WTmtable_copyentry(c, -1, b), -1);
}

TEST_F(MaterialTables, MaterialIdsOfEmptyTablesAndNegativeIdsAreNeverDivided) {
  WTmtable *t = WTmtable_new(WTDIFFUSE, 1, nullptr);
  EXPECT_EQ(_WTmtable_getentryrgb24(t, 3), 0u);
  EXPECT_EQ(_WTmtable_getentryrgb24(t, -1), 0u);
  EXPECT_EQ(_WTmtable_copyentry(t, 0, t), -1);
  EXPECT_EQ(WTmtable_getnumentries(t), 0);
  _WTmtable_getrgbid(t, 255, 128, 0);
  EXPECT_EQ(_WTmtable_getentryrgb24(t, -5), 0u);
  EXPECT_EQ(_WTmtable_getentryrgb24(t, 7), 0xFF8000u);
}

TEST_F(MaterialTables, ColoursOutsideTheUnitRangeAreHeldToAByte) {
  WTmtable *t = WTmtable_new(WTDIFFUSE, 1, nullptr);
  float rgb[3] = {3.85e25f, -2.0f, std::nanf("")};
  WTmtable_setvalue(t, WTmtable_newentry(t), rgb, WTDIFFUSE);
  EXPECT_EQ(_WTmtable_getentryrgb24(t, 0), 0xFF0000u);
}

TEST_F(MaterialTables, MergingAGeometrysTableMapsItsIdsAndLeavesOtherUsersTheirTable) {
  WTgeometry *g = WTgeometry_newblock(1, 1, 1, 0), *other = WTgeometry_newblock(1, 1, 1, 0);
  WTmtable *own = WTmtable_new(WTAMBIENTDIFFUSE, 1, "own");
  _WTmtable_getrgbid(own, 0, 0, 255);
  _WTmtable_getrgbid(own, 0, 255, 0);
  WTgeometry_setmtable(g, own);
  WTgeometry_setmtable(other, own);
  WTgeometry_setmatid(g, 1);
  g->vertices->matid = -3;
  WTmtable *t = WTmtable_new(WTAMBIENTDIFFUSE, 1, "target");
  _WTmtable_getrgbid(t, 0, 255, 0);
  _WTmtable_getrgbid(t, 255, 0, 0);
  WTmtable *u = _WTmtable_mergegeometry(t, g);
  EXPECT_EQ(WTgeometry_getmtable(g), u);
  EXPECT_EQ(WTmtable_getnumentries(u), 3);
  EXPECT_EQ(g->polys->matid, 0); // green is the target's entry 0
  EXPECT_EQ(g->vertices->matid, -3);
  EXPECT_EQ(WTgeometry_getmtable(other), own);
  EXPECT_EQ(_WTmtable_findbyname("own"), own);
  WTgeometry_delete(g);
  WTgeometry_delete(other);
}

}  // namespace
