// Parts that open and close: the motion read from a keyframe track, the stepping rule at the ends
// of the travel, and the tasks moving real nodes frame by frame.
#include <gtest/gtest.h>

#include <cmath>

#include "universe.h"
#include "view3d/partmotion.h"

namespace {

constexpr float kDeg = 180.0f * 0.3183099524f;

TEST(PartMotionRead, TracksGiveTheirTypesAndVectors) {
  const float half = 1.5707964f;
  const struct {
    const char* mesh;
    PartKeys keys;
    uint32_t type;
    std::array<float, 3> a, b, c;
  } cases[] = {
      {"door", {{{0, 0, 0}, {5, 0, 0}, {10, 0, 0}}, {{0, 0, 0, 1}}}, kMotionSlide, {20, 0, 0}, {}, {}},
      {"leaf", {{{1, 1, 1}}, {{half, 0, 0, 1}, {0, 0, 0, 1}}}, kMotionSwing, {0, half * kDeg, 0}, {}, {}},
      {"fix_move", {{{0, 0, 0}}, {{half, 1, 0, 0}, {0, 0, 0, 1}}}, kMotionFixedSwing, {-half * kDeg, 0, 0}, {}, {}},
      {"movefix", {{{0, 0, 0}}, {{0, 0, 0, 1}, {0, 0, 0, 1}}}, kMotionMovingSwing, {}, {}, {}},
      // Three positions: A from the third to the last, C from the second to the third.
      {"sash", {{{0, 0, 0}, {1, 0, 0}, {3, 0, 0}, {7, 0, 0}}, {{half, 0, 1, 0}, {0, 0, 0, 1}}},
       kMotionSlideSwing, {8, 0, 0}, {0, 0, -half * kDeg}, {4, 0, 0}},
      // Two positions: the third is past the last and the last stands for it.
      {"sash2", {{{0, 0, 0}, {1, 0, 0}}, {{0, 0, 0, 1}, {0, 0, 0, 1}}}, kMotionSlideSwing, {}, {}, {}},
      {"still", {{{0, 0, 0}}, {{0, 0, 0, 1}}}, kMotionStill, {}, {}, {}},
  };
  for (const auto& c : cases) {
    const PartMotionVectors v = ReadPartMotion(c.mesh, c.keys, 2.0f);
    EXPECT_EQ(v.type, c.type) << c.mesh;
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(v.a[k], c.a[k], 1e-3) << c.mesh << " a" << k;
      EXPECT_NEAR(v.b[k], c.b[k], 1e-3) << c.mesh << " b" << k;
      EXPECT_NEAR(v.c[k], c.c[k], 1e-3) << c.mesh << " c" << k;
    }
  }
}

TEST(PartMotionRead, DoubleSwingTakesItsAxesFromTheFirstTwoEntries) {
  const float k = 180.0f * 0.31831927f;
  PartKeys keys{{{0, 0, 0}}, {{1, 0, 0, 1}, {2, 1, 0, 0}, {0, 0, 0, 1}, {0, 0, 0, 1}}};
  PartMotionVectors v = ReadPartMotion("pair", keys, 1.0f);
  EXPECT_EQ(v.type, kMotionDoubleSwing);
  EXPECT_NEAR(v.a[0], -2 * k, 1e-3);  // e1 about x
  EXPECT_NEAR(v.b[1], 1 * k, 1e-3);   // e0 about z
  keys.rotations[1] = {2, 0, 1, 0};   // neither order fits
  v = ReadPartMotion("pair", keys, 1.0f);
  EXPECT_EQ(v.a[0], 0.0f);
  EXPECT_EQ(v.b[1], 0.0f);
}

TEST(PartMotionRead, ADummyWithoutKeysNeitherTurnsNorMoves) {
  PartKeys keys{{{1, 2, 3}, {4, 5, 6}}, {}};
  ApplyDummyFrame(keys, PartKeys());
  EXPECT_EQ(keys.positions[1], (std::array<float, 3>{4, 5, 6}));
  ApplyDummyFrame(keys, PartKeys{{{10, 0, 0}}, {}});
  EXPECT_EQ(keys.positions[0], (std::array<float, 3>{11, 2, 3}));
}

TEST(PartMotionStep, TheEndsOfTheTravelFollowTheRepeatBits) {
  const struct {
    uint32_t repeat;
    int frames;
    float parameter;
    uint32_t running, direction;
  } cases[] = {
      {3, 20, 1.0f, 0, 0},   // stops open
      {3, 40, 1.0f, 0, 0},   // and waits there
      {4, 40, 0.0f, 1, 1},   // back and forth: closed again, going on
      {2, 21, 0.0f, 1, 1},   // starts again from closed, the frame after the end moves nothing
      {1, 20, 0.0f, 0, 0},
  };
  for (const auto& c : cases) {
    PartMotion m{};
    m.direction = 1;
    m.running = 1;
    m.repeat = c.repeat;
    float travel = 0.0f;
    for (int i = 0; i < c.frames && m.running; ++i) travel += StepPartMotion(m);
    EXPECT_NEAR(m.parameter, c.parameter, 1e-4) << c.repeat << "/" << c.frames;
    EXPECT_EQ(m.running, c.running) << c.repeat << "/" << c.frames;
    EXPECT_EQ(m.direction, c.direction) << c.repeat << "/" << c.frames;
    if (c.repeat == 2) {
      EXPECT_NEAR(travel, 1.0f, 1e-4);
    }
  }
}

class PartTasks : public SimUniverse {
protected:
  WTnode* MovingPart(const PartMotionVectors& v) {
    WTnode* node = WTmovgeometrynode_new(root, WTgeometry_newblock(100, 2000, 50, 0));
    WTnode_setname(node, "part");
    NodeUserData* record = NewNodeUserData(node, kTagPart, nullptr, node, 101);
    record->motion = AttachPartMotion(node, v);
    record->motionType = v.type;
    record->motion->running = 1;
    return node;
  }
};

TEST_F(PartTasks, ASlideMovesItsTranslationInTwentyFramesAndStopsOpen) {
  PartMotionVectors v;
  v.type = kMotionSlide;
  SetVec3(v.a, 500, 0, 0);
  WTnode* node = MovingPart(v);
  for (int i = 0; i < 20; ++i) PartOpenCloseTaskA(node);
  WTp3 t = {0, 0, 0};
  WTnode_gettranslation(node, t);
  EXPECT_NEAR(t[0], 500.0f, 1e-2);
  const PartMotion& m = *GetNodeUserData(node)->motion;
  EXPECT_EQ(m.running, 0u);
  PartOpenCloseTaskA(node);
  WTnode_gettranslation(node, t);
  EXPECT_NEAR(t[0], 500.0f, 1e-2);
}

TEST_F(PartTasks, ASwingTurnsAboutTheFirstAxisThatCounts) {
  const struct {
    std::array<float, 3> angles;
    int axis;  // of the quaternion that turns
  } cases[] = {{{0.003f, 0, 90}, 2}, {{10, 90, 0}, 1}, {{0.001f, 0, 0}, -1}};
  for (const auto& c : cases) {
    PartMotionVectors v;
    v.type = kMotionSwing;
    SetVec3(v.a, c.angles[0], c.angles[1], c.angles[2]);
    WTnode* node = MovingPart(v);
    for (int i = 0; i < 20; ++i) PartOpenCloseTaskB(node);
    WTq q = {0, 0, 0, 1};
    WTnode_getorientation(node, q);
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(std::fabs(q[k]), k == c.axis ? 0.70710678f : 0.0f, 1e-3)
          << c.angles[0] << "," << c.angles[1] << "," << c.angles[2] << " q" << k;
    DeleteNodeTree(node);
  }
}

}  // namespace
