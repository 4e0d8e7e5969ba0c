// 3D fonts made from glyph geometries: glyph codes, advance, and text laid out from copies.
#include <string.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/render.h"

namespace {

using ::testing::HasSubstr;

class Font3d : public tk::Universe {
 protected:
  static WTgeomlist *add(WTgeomlist *list, const char *name) {
    WTgeometry *g = WTgeometry_newblock(1, 1, 1, 0);
    WTgeometry_setname(g, name);
    return _WTgeomlist_add(list, g);
  }
  // The x extent of a geometry.
  static void span(WTgeometry *g, float *lo, float *hi) {
    *lo = g->mid[0] - g->half[0], *hi = g->mid[0] + g->half[0];
  }
};

TEST_F(Font3d, GlyphsAreNamedByCodeAndTextStandsAtTheAdvance) {
  tk::Captured messages;
  WTgeomlist *list = add(add(nullptr, "char65"), "char66");
  WTfont3d *font = _WTfont3d_fromgeometries("letters", list);
  ASSERT_TRUE(font);
  EXPECT_EQ(messages.all(), "");
  EXPECT_TRUE(_WTfont3d_hasglyph(font, 'A'));
  EXPECT_TRUE(_WTfont3d_hasglyph(font, 'B'));
  EXPECT_FALSE(_WTfont3d_hasglyph(font, 'C'));
  EXPECT_FLOAT_EQ(_WTfont3d_getadvance(font), 1.1f);
  EXPECT_EQ(_WTfont3d_find("letters"), font);
  EXPECT_EQ(_WTfont3d_find("Letters"), nullptr);
  struct Case {
    const char *text;
    float hi;
  } const cases[] = {{"AB", 1.1f + 0.5f}, {"A B", 2.2f + 0.5f}, {"A\tB", 1.1f + 0.5f}, {"AC B", 3.3f + 0.5f}};
  for (const Case &c : cases) {
    WTgeometry *text = _WTfont3d_textgeometry(font, c.text);
    ASSERT_TRUE(text) << c.text;
    EXPECT_STREQ(WTgeometry_getname(text), "text");
    float lo, hi;
    span(text, &lo, &hi);
    EXPECT_NEAR(lo, -0.5f, 1e-4f) << c.text;
    EXPECT_NEAR(hi, c.hi, 1e-4f) << c.text;
    WTgeometry_delete(text);
  }
  EXPECT_EQ(_WTfont3d_textgeometry(font, "   "), nullptr);
  _WTfont3d_setadvancefactor(font, 2.0f);
  EXPECT_FLOAT_EQ(_WTfont3d_getadvance(font), 2.0f);
}

TEST_F(Font3d, DuplicateAndForeignObjectsAreReported) {
  tk::Captured messages;
  WTgeomlist *list = add(add(add(nullptr, "char65"), "char65"), "floor");
  ASSERT_TRUE(_WTfont3d_fromgeometries("mixed", list));
  EXPECT_THAT(messages.all(), HasSubstr("contains more than one object for character 65"));
  EXPECT_THAT(messages.all(), HasSubstr("contains 1 non-character objects"));
  EXPECT_EQ(_WTfont3d_fromgeometries("none", add(nullptr, "char0")), nullptr);
  EXPECT_THAT(messages.all(), HasSubstr("File none doesn't contain any usable 3D letters"));
}

}  // namespace
