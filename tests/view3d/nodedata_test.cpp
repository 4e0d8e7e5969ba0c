// Node records and their deletion with the node trees, the detached part names, the axis swaps
// and node centres.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "universe.h"
#include "view3d/nodedata.h"

namespace {

// Records the names of the nodes deleted, in order.
class DeletionLog : public NodeHandleHolder {
public:
  void ForgetNode(WTnode* node) override {
    const char* name = WTnode_getname(node);
    names.push_back(name ? name : "");
  }
  std::vector<std::string> names;
};

int g_taskRuns = 0;
void CountRun(void*) { ++g_taskRuns; }

using NodeTree = SimUniverse;

TEST_F(NodeTree, DeletesChildrenLastToFirstAndKeepsTheRoot) {
  static int rootRecord = 0;
  WTnode_setdata(root, &rootRecord);
  WTnode* object = WTmovsepnode_new(root);
  WTnode_setname(object, "obj");
  NewNodeUserData(object, kTagObject, nullptr, object, kKindRoom);
  for (const char* name : {"obj_a", "obj_b"}) {
    WTnode* part = Block(object, name, 10, 10, 10);
    NodeUserData* record = NewNodeUserData(part, kTagPart, nullptr, object, kKindWall);
    record->motionType = 101;
    record->motion = static_cast<PartMotion*>(_WTmem_alloc(sizeof(PartMotion)));
    _WTtask_new(part, &CountRun, 1.0f);
  }
  Block(object, "", 5, 5, 5);  // unnamed: goes at once
  WTnode* avatar = WTmovsepnode_new(root);
  WTnode_setname(avatar, kAvatarNodeName);
  WTnode_setdata(avatar, _WTmem_alloc(14 * sizeof(float)));  // a pose, not a record

  DeletionLog log;
  g_taskRuns = 0;
  DeleteNodeTree(root);
  EXPECT_EQ(log.names, (std::vector<std::string>{"Avatar", "", "obj_b", "obj_a", "obj"}));
  EXPECT_EQ(WTnode_numchildren(root), 0);
  EXPECT_EQ(WTnode_getdata(root), &rootRecord);
  WTuniverse_go1();
  EXPECT_EQ(g_taskRuns, 0);
  DeleteNodeTree(nullptr);
}

TEST_F(NodeTree, RecordsAreReadOnlyFromNamedNodesOtherThanTheAvatar) {
  WTnode* part = Block(root, "part", 1, 1, 1);
  NodeUserData* record = NewNodeUserData(part, kTagPart, nullptr, part, kKindFloor);
  EXPECT_EQ(GetNodeUserData(part), record);
  WTnode_setname(part, "");
  EXPECT_EQ(GetNodeUserData(part), nullptr);
  WTnode_setname(part, kAvatarNodeName);
  EXPECT_EQ(GetNodeUserData(part), nullptr);
  WTnode_setname(part, "part");
  DeleteNodeTree(part);
}

TEST(NodeData, DetachedPartNames) {
  const struct {
    const char* name;
    uint32_t kind;
    bool detached;
  } cases[] = {
      {"door_handle", 103, true}, {"door_handle", 308, false}, {"HANDLE", 101, true},
      {"Handle2", 102, true},     {"handle", 315, true},       {"BWall", 21, true},
      {"bwall", 21, true},        {"BWall", 103, false},       {"wall00000", 21, false},
      {"", 21, false},            {nullptr, 103, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsDetachedPartName(c.name, c.kind), c.detached) << (c.name ? c.name : "(null)") << " " << c.kind;
}

TEST(NodeData, KindLabelsAndPages) {
  EXPECT_STREQ(GetObjectKindLabel(309), "천정 조명");
  EXPECT_EQ(GetObjectKindPage(309), 1);
  EXPECT_STREQ(GetObjectKindLabel(102), "창문");
  EXPECT_EQ(GetObjectKindPage(25), 0);
  // Rooms and library material categories show nothing.
  EXPECT_EQ(GetObjectKindLabel(21), nullptr);
  EXPECT_EQ(GetObjectKindLabel(305), nullptr);
  EXPECT_EQ(GetObjectKindPage(21), -1);
}

TEST(NodeData, AxisSwapsGoBetweenPlanAndScene) {
  const float plan[3] = {1.0f, 2.0f, 3.0f};
  float scene[3], back[3];
  AxisSwapZY(scene, plan);
  EXPECT_EQ(std::vector<float>(scene, scene + 3), (std::vector<float>{1.0f, -3.0f, 2.0f}));
  AxisSwapYZ(back, scene);
  EXPECT_EQ(std::vector<float>(back, back + 3), (std::vector<float>{1.0f, 2.0f, 3.0f}));
  // In place.
  AxisSwapYZ(scene, scene);
  EXPECT_EQ(std::vector<float>(scene, scene + 3), (std::vector<float>{1.0f, 2.0f, 3.0f}));
}

TEST_F(NodeTree, CentreIsTheTurnedMidpointPlusTheTranslation) {
  WTnode* movable = WTmovsepnode_new(root);
  WTnode* block = Block(movable, "block", 20, 40, 60);
  const WTp3 offset = {100.0f, 0.0f, 50.0f};
  WTgeometry_translate(WTnode_getgeometry(block), offset);
  WTnode_axisrotation(movable, 1, 1.2f, WTFRAME_PARENT);
  const WTp3 move = {10.0f, 20.0f, 30.0f};
  WTnode_translate(movable, move, WTFRAME_PARENT);
  float centre[3];
  GetNodeCentre(movable, centre);
  // The world box of the turned block has the same centre.
  WTp3 world;
  WTnode_getmidpoint(root, world);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(centre[i], world[i], 0.01f) << i;
  EXPECT_GT(std::fabs(centre[0] - 110.0f), 1.0f);  // the turn counts
}

}  // namespace
