// The view's toolkit scene without its window: the skeleton and its handles, the start pose,
// framing a node, the redraw request, moving scene nodes and the grid's geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "models/scene.h"
#include "universe.h"
#include "view3d/simview_core.h"

namespace {

using SimView = SimUniverse;

TEST_F(SimView, SkeletonIsBuiltAndItsHandlesGoWithTheRootsTree) {
  SimViewHandles view;
  view.root = root;
  CreateSceneGroups(view, "no such folder/");
  ASSERT_TRUE(view.lightsGroup && view.objectLightGroup && view.fog && view.avatar);
  EXPECT_STREQ(WTnode_getname(view.lightsGroup), "Lights Group");
  EXPECT_STREQ(WTnode_getname(WTnode_getchild(view.lightsGroup, 0)), "Light Group Transform");
  EXPECT_STREQ(WTnode_getname(view.objectLightGroup), "Object Light Group");
  EXPECT_STREQ(WTnode_getname(view.fog), "Fog");
  EXPECT_STREQ(WTnode_getname(view.avatar), "Avatar");
  EXPECT_FALSE(WTnode_isenabled(view.avatar));
  float pose[7];
  GetAvatarPose(view.avatar, pose);
  EXPECT_EQ(std::vector<float>(pose, pose + 3), (std::vector<float>{3000.0f, -1200.0f, 0.0f}));
  EXPECT_NEAR(pose[3], 0.0f, 1e-6f);
  EXPECT_NEAR(pose[4], 0.7071068f, 1e-6f);
  EXPECT_NEAR(pose[5], 0.0f, 1e-6f);
  EXPECT_NEAR(pose[6], 0.7071068f, 1e-6f);

  WTsensor* mouse = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 0);
  CreateSimSensors(view, mouse);
  ASSERT_TRUE(view.avatarLink);
  view.selected = view.avatar;

  // The scene's objects below the root go with it: the scene forgets them, and so does the view.
  Scene scene;
  SceneObjectSpec spec;
  spec.name = "room";
  SceneGroup* room = scene.AddGroup(spec);
  room->m_pNode = Block(root, "room", 1, 1, 1);
  view.DeleteSceneNodes(&scene);
  EXPECT_EQ(WTnode_numchildren(root), 0);
  EXPECT_EQ(room->m_pNode, nullptr);
  EXPECT_FALSE(view.avatar || view.avatarLink || view.selected || view.fog || view.lightsGroup ||
               view.objectLightGroup);
  view.EnableLinks(false);  // the absent link is skipped
  WTsensor_delete(mouse);
}

// The body is the arrow of the program's system folder, one unit across, stretched to 130 x 80 x
// 80 about its middle.
TEST_F(SimView, TheAvatarsBodyIsTheSystemFoldersArrowStretched) {
  WTnode* avatar = nullptr;
  CreateAvatar(root, VEDRA_SYSTEM_DIR, &avatar);
  ASSERT_TRUE(avatar);
  WTnode* body = nullptr;
  for (int i = 0; i < WTnode_numchildren(avatar); ++i)
    if (const char* name = WTnode_getname(WTnode_getchild(avatar, i)); name && std::string(name) == "Avatar-Body")
      body = WTnode_getchild(avatar, i);
  ASSERT_TRUE(body);
  WTp3 half;
  WTnode_getextents(body, half);
  EXPECT_NEAR(half[0], 65.0f, 0.01f);
  EXPECT_NEAR(half[1], 40.0f, 0.01f);
  EXPECT_NEAR(half[2], 40.0f, 0.01f);
}

TEST_F(SimView, PoseWithoutAvatarIsTheStartPose) {
  float pose[7];
  GetAvatarPose(nullptr, pose);
  float start[7];
  GetStartPose(start);
  EXPECT_EQ(std::vector<float>(pose, pose + 7), std::vector<float>(start, start + 7));
}

TEST(SimFraming, AvatarFacesTheNodeFromWhereItFits) {
  const float extents[3] = {100.0f, 50.0f, 300.0f};  // m = 300
  const float node[3] = {0.0f, -100.0f, 0.0f};
  const struct {
    float avatar[3];
    float angle;
    float centre[3];
    bool turned;
  } cases[] = {
      // d = 2 m / tan(angle), along the horizontal offset, at the node's height.
      {{1000.0f, -500.0f, 0.0f}, 0.7853982f, {600.0f, -100.0f, 0.0f}, true},
      {{0.0f, 0.0f, -2000.0f}, 0.7853982f, {0.0f, -100.0f, -600.0f}, true},
      // A view angle without a tangent: d = m.
      {{1000.0f, 0.0f, 0.0f}, 0.0f, {300.0f, -100.0f, 0.0f}, true},
      // Right above the node: no direction to face, the orientation stays.
      {{0.0f, -900.0f, 0.0f}, 0.7853982f, {0.0f, -100.0f, 0.0f}, false},
  };
  for (const auto& c : cases) {
    const FramedPose framed = ComputeFramedPose(c.avatar, node, extents, c.angle);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(framed.centre[i], c.centre[i], 0.01f) << c.avatar[0] << " " << i;
    EXPECT_EQ(framed.turned, c.turned);
    for (float q : framed.orientation) EXPECT_FALSE(std::isnan(q));
  }
}

TEST_F(SimView, FramingMovesAndTurnsTheAvatarOnly) {
  SimViewHandles view;
  view.root = root;
  CreateAvatar(root, "", &view.avatar);
  WTnode* target = Block(root, "target", 200, 200, 200);
  float before[7];
  GetAvatarPose(view.avatar, before);
  FrameNodeInView(view.avatar, target, 0.7853982f);
  float after[7];
  GetAvatarPose(view.avatar, after);
  // From (3000, -1200, 0) towards the target at the origin, 2 x 100 / tan(45 degrees) away.
  EXPECT_NEAR(after[0], 200.0f, 0.1f);
  EXPECT_NEAR(after[2], 0.0f, 0.1f);
  // Looking along -x.
  WTp3 dir;
  _WTq_2dir(after + 3, dir);
  EXPECT_NEAR(dir[0], -1.0f, 1e-4f);

  // Right above: it moves, and keeps the orientation it had.
  float above[7] = {0.0f, -500.0f, 0.0f, before[3], before[4], before[5], before[6]};
  SetAvatarPose(view.avatar, above);
  FrameNodeInView(view.avatar, target, 0.7853982f);
  GetAvatarPose(view.avatar, after);
  EXPECT_EQ(std::vector<float>(after + 3, after + 7), std::vector<float>(before + 3, before + 7));
  FrameNodeInView(view.avatar, nullptr, 0.7853982f);
  FrameNodeInView(nullptr, target, 0.7853982f);
}

TEST(SimRefresh, RedrawsOncePerRequestUntilRearmed) {
  RequestSimRefresh(-1);
  const struct {
    int mode;
    bool redraw;
  } steps[] = {{0, true}, {0, false}, {1, true}, {1, true}, {-1, false}, {0, true}};
  for (const auto& s : steps) EXPECT_EQ(RequestSimRefresh(s.mode), s.redraw) << s.mode;
  RequestSimRefresh(-1);
}

TEST_F(SimView, MovingASceneNodeTranslatesItsNodeInSceneAxes) {
  SceneGroup group;
  EXPECT_EQ(MoveNodeTo(&group, 1.0f, 2.0f, 3.0f), nullptr);
  group.m_pNode = WTmovsepnode_new(root);
  SetVec3(group.m_transform.position, 100.0f, 200.0f, 300.0f);
  EXPECT_EQ(MoveNodeTo(&group, 110.0f, 230.0f, 350.0f), &group);
  WTp3 moved;
  WTnode_gettranslation(group.m_pNode, moved);
  EXPECT_EQ(std::vector<float>(moved, moved + 3), (std::vector<float>{10.0f, -50.0f, 30.0f}));
  EXPECT_EQ(std::vector<float>(group.m_transform.position, group.m_transform.position + 3),
            (std::vector<float>{110.0f, 230.0f, 350.0f}));
}

TEST(SimGrid, PointsByStateAndSettings) {
  const GridSwitches ground = {true, true, true, true, false, false};
  const struct {
    int state;
    float gap, maximum;
    float storedMaximum;
    size_t points;
  } cases[] = {
      {0, 200.0f, 5000.0f, 5000.0f, 0},
      // 3 axis lines and 2 x 51 lines of the ground plane, two ends each.
      {1, 200.0f, 5000.0f, 5000.0f, (3 + 2 * 51) * 2},
      {2, 200.0f, 5000.0f, 5000.0f, 51 * 51},
      {1, 300.0f, 5000.0f, 4800.0f, (3 + 2 * 33) * 2},
      {1, 0.0f, 5000.0f, 5000.0f, 0},
      {2, -5.0f, 5000.0f, 5000.0f, 0},
      {1, 0.0001f, 5000.0f, 5000.0f, 0},
      {1, 200.0f, 0.0f, 0.0f, 0},
  };
  for (const auto& c : cases) {
    float maximum = c.maximum;
    const std::vector<float> points = BuildGridPoints(c.state, c.gap, maximum, ground);
    EXPECT_EQ(points.size(), c.points * 3) << c.state << " " << c.gap;
    EXPECT_EQ(maximum, c.storedMaximum) << c.state << " " << c.gap;
  }
}

TEST(SimGrid, LinesReachPastTheEdgeAndThePlanesLieWhereTheirSwitchesSay) {
  float maximum = 1000.0f;
  const std::vector<float> axes = BuildGridPoints(1, 500.0f, maximum, {true, true, true, false, false, false});
  // Plan x, plan y (scene z) and plan z (scene -y) to maximum + gap.
  EXPECT_EQ(axes, (std::vector<float>{0, 0, 0, 1500, 0, 0, 0, 0, 0, 0, 0, 1500, 0, 0, 0, 0, -1500, 0}));
  const std::vector<float> wall = BuildGridPoints(2, 500.0f, maximum, {false, false, false, false, true, false});
  ASSERT_EQ(wall.size(), 25u * 3);
  for (size_t i = 0; i < wall.size(); i += 3) EXPECT_EQ(wall[i], 0.0f);  // the plan's YZ plane: x = 0
}

}  // namespace
