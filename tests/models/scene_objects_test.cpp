// The scene's object tree: adding, finding and removing objects with their parts, the toolkit
// nodes they leave to the installed deleter, and the scratch files that go with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "models/room.h"
#include "models/scene.h"
#include "plan_host_double.h"

namespace {

// Stands for toolkit nodes: the deleter records which were deleted.
std::vector<WTnode*> g_deleted;

void RecordDeletion(WTnode* node) { g_deleted.push_back(node); }

WTnode* FakeNode(uintptr_t n) { return reinterpret_cast<WTnode*>(n * 16); }

class SceneObjects : public ::testing::Test {
protected:
  void SetUp() override {
    g_deleted.clear();
    SetNodeTreeDeleter(&RecordDeletion);
    SetPlanHost(&host);
  }
  void TearDown() override {
    scene.RemoveAll();
    SetPlanHost(nullptr);
    SetNodeTreeDeleter(nullptr);
  }

  SceneGroup* Add(const char* name, uint32_t kind, WTnode* node, Room* planRoom = nullptr) {
    SceneObjectSpec spec;
    spec.name = name;
    spec.kind = kind;
    spec.planRoom = planRoom;
    SceneGroup* group = scene.AddGroup(spec);
    group->m_pNode = node;
    return group;
  }

  void Touch(const std::string& name) { std::ofstream(host.LibPath("temp\\" + name)) << "x"; }

  RecordingPlanHost host;
  Scene scene;
};

TEST_F(SceneObjects, GroupsCarryTheirRootsFieldsAndFindByName) {
  SceneGroup* chair = Add("chair", 308, FakeNode(1));
  chair->m_text = "item";
  chair->m_word = 7;
  EXPECT_EQ(chair->m_pRoot, chair);
  SceneGroup* seat = chair->AddChildGroup("chair.3ds", "seat", FakeNode(2), SceneTransform());
  SceneGeometry* leg = seat->AddGeometry("leg", nullptr);
  EXPECT_EQ(seat->m_pRoot, chair);
  EXPECT_EQ(seat->m_pParent, chair);
  EXPECT_EQ(seat->m_kind, 308u);
  EXPECT_EQ(seat->m_text, "item");
  EXPECT_EQ(leg->m_pRoot, chair);
  EXPECT_EQ(leg->m_word, 7u);
  EXPECT_EQ(leg->GetParentName(), "seat");
  EXPECT_EQ(chair->CountGroups(), 2);

  Add("table", 308, FakeNode(3));
  POSITION under = nullptr;
  EXPECT_EQ(scene.FindGroupByName("seat", &under), seat);
  EXPECT_EQ(scene.GetObjectAt(under), chair);
  EXPECT_EQ(scene.FindGeometryByName("leg"), leg);
  EXPECT_EQ(scene.FindNodePositionByName(""), nullptr);
  EXPECT_EQ(scene.FindGroupByName(""), nullptr);
  EXPECT_EQ(scene.FindGroupByName("none"), nullptr);
  // A name that comes again replaces the child before it.
  seat->AddGeometry("leg", nullptr);
  EXPECT_EQ(seat->GetGeometryCount(), 1);

  chair->DetachNodes();
  EXPECT_EQ(chair->m_pNode, nullptr);
  EXPECT_EQ(seat->m_pNode, nullptr);
  chair->AddChildGroup("chair.3ds", "seat", nullptr, SceneTransform());
  EXPECT_EQ(chair->GetChildGroupCount(), 1);
}

TEST_F(SceneObjects, AnEmptyNameBecomesTheGroupsId) {
  SceneGroup* group = Add("", 308, nullptr);
  CString id;
  id.Format("%08x", static_cast<unsigned>(group->GetObjectId()));
  EXPECT_EQ(group->m_name, id);
}

TEST_F(SceneObjects, ANameThatComesAgainReplacesTheObjectAndItsNodes) {
  SceneGroup* first = Add("room", 21, FakeNode(1));
  first->AddGeometry("floor", nullptr)->m_pNode = FakeNode(2);
  SceneGroup* second = Add("room", 21, FakeNode(3));
  ASSERT_EQ(scene.m_objects.GetCount(), 1);
  EXPECT_EQ(scene.GetObjectAt(scene.m_objects.GetHeadPosition()), second);
  // The parts' nodes first, then the object's own.
  EXPECT_EQ(g_deleted, (std::vector<WTnode*>{FakeNode(2), FakeNode(1)}));
}

TEST_F(SceneObjects, RemovingARoomWithDependantsTakesItsLightsAndOnlyItsFiles) {
  Room room;
  SceneGroup* shown = Add("..\\a*b", 21, FakeNode(1));
  room.m_pOwner = shown;
  Add("lightbox", 314, FakeNode(2), &room);
  Add("lamp", 309, FakeNode(3), &room);
  Add("sofa", 308, FakeNode(4), &room);
  for (const char* file : {"x.__a_b_1.3ds", "other.3ds", "lightbox.3ds", "lamp.uv"}) Touch(file);

  EXPECT_EQ(scene.RemoveNode(shown, true), 1);
  EXPECT_EQ(scene.m_objects.GetCount(), 1);
  EXPECT_EQ(scene.FindNodePositionByName("sofa") != nullptr, true);
  EXPECT_EQ(host.TempFiles(), std::vector<std::string>{"other.3ds"});
  std::sort(g_deleted.begin(), g_deleted.end());
  EXPECT_EQ(g_deleted, (std::vector<WTnode*>{FakeNode(1), FakeNode(2), FakeNode(3)}));
  EXPECT_EQ(scene.RemoveNodeAt(nullptr, true), 0);
}

TEST_F(SceneObjects, ScratchFilesStayForEmptyNamesAndRoomsRemovedAlone) {
  Touch("room.3ds");
  Touch("a.3ds");
  SceneGroup* unnamed = Add("x", 308, nullptr);
  unnamed->m_name.Empty();
  scene.RemoveNode(unnamed, true);
  scene.RemoveNode(Add("room", 21, nullptr), false);
  EXPECT_EQ(host.TempFiles(), (std::vector<std::string>{"a.3ds", "room.3ds"}));
  EXPECT_TRUE(scene.m_objects.IsEmpty());
}

TEST_F(SceneObjects, RemovingByTextAndAllDeletesEveryNode) {
  Add("1+Dummy=", 21, FakeNode(1));
  Add("2+Dummy=", 21, FakeNode(2));
  Add("3", 21, FakeNode(3));
  EXPECT_EQ(scene.RemoveNodesContaining("Dummy"), 2);
  EXPECT_EQ(scene.m_objects.GetCount(), 1);
  scene.RemoveAll();
  EXPECT_TRUE(scene.m_objects.IsEmpty());
  EXPECT_EQ(g_deleted.size(), 3u);
}

}  // namespace
