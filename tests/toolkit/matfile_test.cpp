// Material files: the exact bytes written, reading them back, and what the reader refuses.
#include <stdio.h>

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "geometry_support.h"
#include "scene.h"
#include "support.h"
#include "toolkit/loaders/loaders.h"

namespace {

using ::testing::HasSubstr;

class MatFile : public tk::Universe {
 protected:
  void TearDown() override {
    _WTfile_setopenhook(nullptr);
    tk::Universe::TearDown();
  }
  int tables() {
    int n = 0;
    for (WTmtable *t = _WTmtable_first(); t; t = t->next) n++;
    return n;
  }
  geo::TablesReset reset;
};

TEST_F(MatFile, WoodIsWrittenByteForByteAndReadBack) {
  WTmtable *wood = WTmtable_new(WTAMBIENT | WTDIFFUSE, 1, "wood");
  ASSERT_EQ(WTmtable_newentry(wood), 0);
  remove("wood.mat");
  ASSERT_TRUE(_WTmtable_save(wood));
  EXPECT_EQ(tk::readfile("wood.mat"),
            "mat\nversion 3.00\nvalid ambient diffuse\n\nmatdef // id 0\n"
            "ambient 0.000000 0.000000 0.000000\ndiffuse 0.000000 0.000000 0.000000\n");
  _WTmtable_delete(wood);
  WTmtable *again = _WTmtable_load("wood");
  ASSERT_TRUE(again);
  EXPECT_STREQ(WTmtable_getname(again), "wood");
  EXPECT_EQ(WTmtable_getproperties(again), 3u);
  EXPECT_EQ(WTmtable_getnumentries(again), 1);
}

TEST_F(MatFile, EveryAttributeAndEntryNameSurvivesTheRoundTrip) {
  unsigned mask = WTAMBIENT | WTDIFFUSE | WTSPECULAR | WTSHININESS | WTEMISSION | WTOPACITY;
  WTmtable *t = WTmtable_new(mask, 2, "brassworks");
  const float colours[][3] = {{0.1f, 0.2f, 0.3f}, {0.25f, 0.5f, 0.75f}};
  for (int n = 0; n < 2; n++) {
    WTmtable_newentry(t);
    for (unsigned bit : {WTAMBIENT, WTDIFFUSE, WTSPECULAR, WTEMISSION}) {
      float v[3] = {colours[n][0] * bit / 16, colours[n][1], colours[n][2]};
      WTmtable_setvalue(t, n, v, bit);
    }
    float shine = 12.5f + n, alpha = 0.5f - 0.25f * n;
    WTmtable_setvalue(t, n, &shine, WTSHININESS);
    WTmtable_setvalue(t, n, &alpha, WTOPACITY);
  }
  _WTmtable_setentryname(t, 1, "brass");
  ASSERT_TRUE(_WTmtable_save(t));
  WTmtable *back = _WTmtable_load("brassworks");
  ASSERT_TRUE(back);
  EXPECT_EQ(WTmtable_getproperties(back), mask);
  ASSERT_EQ(WTmtable_getnumentries(back), 2);
  EXPECT_EQ(_WTmtable_getentryname(back, 0), nullptr);
  EXPECT_STREQ(_WTmtable_getentryname(back, 1), "brass");
  for (int n = 0; n < 2; n++)
    for (unsigned bit : {WTAMBIENT, WTDIFFUSE, WTSPECULAR, WTSHININESS, WTEMISSION, WTOPACITY}) {
      float a[4] = {0, 0, 0, 0}, b[4] = {0, 0, 0, 0};
      WTmtable_getvalue(t, n, a, bit);
      WTmtable_getvalue(back, n, b, bit);
      for (int i = 0; i < 3; i++) EXPECT_NEAR(a[i], b[i], 1e-6f) << "entry " << n << " bit " << bit;
    }
}

TEST_F(MatFile, ReadingTakesWhatItCanAndRefusesTheRest) {
  const struct {
    const char *text;
    int mask;  // -1: no table
    const char *message;
  } cases[] = {
      {"mat\nversion 3.00\nvalid diffuse alpha\nmatdef\n", 66, nullptr},
      {"mat\nvalid ambient\nfoo bar\nmatdef // id 0\nambient 1 2 3\n", 1,
       "bar precedes expected 'matdef' token: it will be ignored."},
      {"mat\nversion 3.00\nvalid ambient diffuse\n", -1, nullptr},
      {"mat\nversion 3.00\nambient diffuse\nmatdef\n", -1, "no 'valid' token found in .mat file"},
      {"mat\nvalid shiny\nmatdef\n", -1, "no valid properties defined for material table"},
      {"mat\n", -1, "File t.mat has no data"},
      {"solid nothing\nvalid ambient\nmatdef\n", -1, nullptr},  // not a material file
  };
  for (const auto &c : cases) {
    tk::writefile("t.mat", c.text);
    int before = tables();
    tk::Captured messages;
    WTmtable *t = _WTmtable_load("t");
    if (c.mask < 0) {
      EXPECT_EQ(t, nullptr) << c.text;
      EXPECT_EQ(tables(), before) << c.text;
    } else {
      ASSERT_TRUE(t) << c.text;
      EXPECT_EQ(WTmtable_getproperties(t), static_cast<unsigned>(c.mask)) << c.text;
      EXPECT_STREQ(WTmtable_getname(t), "t");
      _WTmtable_delete(t);
    }
    if (c.message) {
      EXPECT_THAT(messages.all(), HasSubstr(c.message)) << c.text;
    }
  }
  // A bad number is reported and leaves the attribute as it was.
  tk::writefile("t.mat", "mat\nvalid ambient shininess\nmatdef\nambient 1 x 3\nshininess 7\n");
  tk::Captured messages;
  WTmtable *t = _WTmtable_load("t");
  ASSERT_TRUE(t);
  float ambient[3], shine;
  WTmtable_getvalue(t, 0, ambient, WTAMBIENT);
  WTmtable_getvalue(t, 0, &shine, WTSHININESS);
  EXPECT_FLOAT_EQ(ambient[0], 0.0f);
  EXPECT_FLOAT_EQ(shine, 7.0f);
  EXPECT_THAT(messages.all(), HasSubstr("ambient value"));
}

FILE *readonly(const char *path, const char *) { return fopen(path, "rb"); }
FILE *fulldisk(const char *, const char *mode) { return fopen("/dev/full", mode); }

TEST_F(MatFile, AFailedWriteOrCloseIsAFailureAndLeavesNoCutFile) {
  EXPECT_EQ(_WTmtable_save(nullptr), 0);
  WTmtable *t = WTmtable_new(WTDIFFUSE, 1, "cut");
  WTmtable_newentry(t);
  tk::writefile("cut.mat", "old");
  tk::Captured messages;
  _WTfile_setopenhook(readonly);  // every write fails
  EXPECT_EQ(_WTmtable_save(t), 0);
  EXPECT_THAT(messages.all(), HasSubstr("Could not write the material file cut.mat"));
  FILE *full = fopen("/dev/full", "wb");
  if (full) {  // only where the system has a device that is always full
    fclose(full);
    tk::writefile("cut.mat", "old");
    _WTfile_setopenhook(fulldisk);  // the writes are buffered; the close fails
    EXPECT_EQ(_WTmtable_save(t), 0);
  }
  _WTfile_setopenhook(nullptr);
  FILE *left = fopen("cut.mat", "rb");
  EXPECT_EQ(left, nullptr);
  if (left) fclose(left);
}

}  // namespace
