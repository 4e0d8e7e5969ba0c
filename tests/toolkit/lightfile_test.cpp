// Light and fog nodes and the light file.
#include <math.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "scene.h"
#include "support.h"

namespace {

using Lights = tk::Universe;
using ::testing::FloatNear;
using ::testing::HasSubstr;
using ::testing::Pointwise;

std::vector<WTnode *> loaded(WTnode *root, const std::string &text, std::string *messages) {
  std::string path = tk::writefile("lights.txt", text);
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  tk::Captured captured;
  testing::internal::CaptureStdout();
  EXPECT_EQ(WTlightnode_load(root, path.c_str()), 1);
  testing::internal::GetCapturedStdout();
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
  if (messages) *messages = captured.all();
  std::vector<WTnode *> v;
  for (int i = 0; i < WTnode_numchildren(root); i++) v.push_back(WTnode_getchild(root, i));
  return v;
}

TEST_F(Lights, TheLightFileCases) {
  const struct {
    const char *text;
    int lights;
    const char *message;  // empty: none
  } cases[] = {
      {"", 0, ""},
      {"//lights -- ZodurUvizOdu light file\n", 0, ""},
      {"point pos 1 2 3 int 0.5\nspot pos 0 0 0 dir 0 0 1 angle 30\n", 2, ""},
      {"spot angle 95\n", 1, "Spot light angle must be between 0 and 90.\n"},
      {"spot anglerad 2\n", 1, "Spot light angle (anglerad) must be between 0 and 1.57.\n"},
      {"spot exp 0.5\n", 1, "Spot light exponent must be equal to 0.0 or between 1.0 and 128.0.\n"},
      {"spot exp 0\nspot exp 128\n", 2, ""},
      {"directed dir 0 0 1 pos 1 2 3\n", 1, "unknown light attribute.\n"},
      {"point pos 1 2 3 Spot\n", 1, "unknown light attribute.\n"},
      {"lamp\npoint\n", 1, "Unknown light type.\n"},
      {"point pos 1 x 3\nambient\n", 1, "light position invalid.  Remember not to use punctuation.\n"},
      {"point int\n", 0, "light intensity missing.\n"},
  };
  for (const auto &c : cases) {
    WTnode *parent = WTgroupnode_new(root);
    std::string messages;
    EXPECT_EQ(loaded(parent, c.text, &messages).size(), size_t(c.lights)) << c.text;
    if (*c.message)
      EXPECT_THAT(messages, HasSubstr(c.message)) << c.text;
    else
      EXPECT_EQ(messages, "") << c.text;
  }
}

TEST_F(Lights, ValuesReachTheLights) {
  std::vector<WTnode *> v = loaded(root,
                                   "point pos 1 2 3 int 0.5 rgb 0xFF8000 diff 0 0 1\n"
                                   "spot pos 0 0 0 dir 0 0 1 angle 30\n"
                                   "spot angle 95\n"
                                   "ambient int 0.2 amb 0.1 0.1 0.1\n",
                                   nullptr);
  ASSERT_EQ(v.size(), 4u);
  WTp3 p;
  WTlightnode_getposition(v[0], p);
  EXPECT_THAT(p, testing::ElementsAre(1, 2, 3));
  EXPECT_FLOAT_EQ(WTlightnode_getintensity(v[0]), 0.5f);
  float d[3];
  WTlightnode_getdiffuse2(v[0], d);
  EXPECT_THAT(d, Pointwise(FloatNear(1e-5f), {1.0f, 0.50196f, 0.0f}));
  EXPECT_FLOAT_EQ(WTlightnode_getangle(v[1]), 30 * 0.017453292f);
  EXPECT_FLOAT_EQ(WTlightnode_getangle(v[2]), 0.3926991f);
  EXPECT_EQ(WTlightnode_gettype(v[3]), 3);
  EXPECT_FLOAT_EQ(WTlightnode_getintensity(v[3]), 0.2f);

  std::string saved = "saved.txt";
  ASSERT_EQ(WTlightnode_save(v[3], saved.c_str()), 1);
  EXPECT_EQ(tk::readfile(saved),
            "//lights -- ZodurUvizOdu light file\nambient int 0.200000 amb 0.100000 0.100000 0.100000 \n");
}

TEST_F(Lights, EachKindIsSavedAndReadBack) {
  WTnode *directed = WTlightnode_newdirected(root), *point = WTlightnode_newpoint(root);
  WTnode *spot = WTlightnode_newspot(root), *ambient = WTlightnode_newambient(root);
  const WTp3 at = {1, 2, 3}, dir = {0, 0, 2};
  for (WTnode *n : {directed, point, spot}) {
    WTlightnode_setdiffuse(n, 0.5f, 0.25f, 0.125f);
    WTlightnode_setspecular(n, 0.1f, 0.2f, 0.3f);
    WTlightnode_setambient(n, 0.3f, 0.2f, 0.1f);
    WTlightnode_setintensity(n, 0.75f);
  }
  WTlightnode_setdirection(directed, dir);
  WTlightnode_setposition(point, at);
  WTlightnode_setattenuation(point, 1, 0.5f, 0.25f);
  WTlightnode_setposition(spot, at);
  WTlightnode_setdirection(spot, dir);
  WTlightnode_setangle(spot, 0.5f);
  WTlightnode_setexponent(spot, 16);
  WTlightnode_setambient(ambient, 0.2f, 0.4f, 0.6f);
  WTlightnode_setintensity(ambient, 0.3f);
  for (WTnode *n : {directed, point, spot, ambient}) {
    ASSERT_EQ(WTlightnode_save(n, "one.txt"), 1);
    WTnode *group = WTgroupnode_new(root);
    ASSERT_EQ(WTlightnode_load(group, "one.txt"), 1);
    ASSERT_EQ(WTnode_numchildren(group), 1);
    WTnode *back = WTnode_getchild(group, 0);
    EXPECT_EQ(WTlightnode_gettype(back), WTlightnode_gettype(n));
    EXPECT_NEAR(WTlightnode_getintensity(back), WTlightnode_getintensity(n), 1e-5);
    EXPECT_NEAR(WTlightnode_getangle(back), WTlightnode_getangle(n), 1e-5);
    EXPECT_NEAR(WTlightnode_getexponent(back), WTlightnode_getexponent(n), 1e-5);
    float a[3], b[3];
    WTlightnode_getambient2(n, a);
    WTlightnode_getambient2(back, b);
    EXPECT_THAT(b, Pointwise(FloatNear(1e-5f), a));
    if (WTlightnode_gettype(n) == 3) continue;
    WTlightnode_getdiffuse2(n, a);
    WTlightnode_getdiffuse2(back, b);
    EXPECT_THAT(b, Pointwise(FloatNear(1e-5f), a));
    WTlightnode_getspecular2(n, a);
    WTlightnode_getspecular2(back, b);
    EXPECT_THAT(b, Pointwise(FloatNear(1e-5f), a));
    WTlightnode_getposition(n, a);
    WTlightnode_getposition(back, b);
    if (WTlightnode_gettype(n) != 0) {
      EXPECT_THAT(b, Pointwise(FloatNear(1e-5f), a));
    }
    WTlightnode_getdirection(n, a);
    WTlightnode_getdirection(back, b);
    if (WTlightnode_gettype(n) != 1) {
      EXPECT_THAT(b, Pointwise(FloatNear(1e-5f), a));
    }
    WTlightnode_getattenuation2(n, a);
    WTlightnode_getattenuation2(back, b);
    EXPECT_THAT(b, Pointwise(FloatNear(1e-5f), a));
  }
  tk::Captured captured;
  EXPECT_EQ(WTlightnode_save(WTfognode_new(root), "fog.txt"), 0);
  EXPECT_EQ(captured.all(), "VAV Warning: Node type should be light or ambient\n");
}

TEST_F(Lights, SettersRefuseOtherKindsAndValuesOutOfRange) {
  WTnode *directed = WTlightnode_newdirected(root), *fog = WTfognode_new(root);
  EXPECT_EQ(WTlightnode_getangle(directed), -1.0f);
  EXPECT_EQ(WTlightnode_setangle(directed, 0.2f), 0);
  EXPECT_EQ(WTlightnode_gettype(fog), 0);
  EXPECT_EQ(WTlightnode_setexponent(directed, 0.5f), 0);
  EXPECT_EQ(WTlightnode_setattenuation(directed, 0.001f, 0, 0), 0);
  EXPECT_EQ(WTfognode_setmode(fog, 3), 0);
  EXPECT_EQ(WTfognode_setmode(fog, -1), 1);
  EXPECT_EQ(WTfognode_setlinearstart(fog, -1), 0);
  EXPECT_EQ(WTfognode_getlinearstart(directed), -1.0f);
  EXPECT_EQ(WTfognode_setcolor(fog, 1, 0.5f, 0.25f, 1), 1);
  float c[4];
  WTfognode_getcolor2(fog, c);
  EXPECT_THAT(c, testing::ElementsAre(1, 0.5f, 0.25f, 1));
  EXPECT_EQ(WTlightnode_setintensity(directed, 2.0f), 1);
  EXPECT_EQ(WTlightnode_getintensity(directed), 1.0f);
  EXPECT_EQ(WTlightnode_setdiffuse(fog, 1, 1, 1), 0);
}

}  // namespace
