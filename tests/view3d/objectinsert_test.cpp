// Rooms exported by the plan and inserted into the scene: the object named by the room's key,
// its parts and dummy groups with their records, and the object replaced on re-export.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "models/frame.h"
#include "models/room.h"
#include "models/scene.h"
#include "plan_fixtures.h"
#include "scene_host_double.h"
#include "universe.h"
#include "view3d/objectinsert.h"

namespace {

class RoomInsertion : public SimUniverse {
protected:
  void SetUp() override {
    SimUniverse::SetUp();
    SetPlanHost(&host);
    DrawChain(frame, {{0, 0}, {4000, 0}, {4000, 3000}, {0, 3000}, {0, 0}});
    host.controls[IDC_PLAN_ROOM_NAME] = "거실";
    room = frame.PlaceRoomAt(CPoint(2000, 1500), 2400, 0, false);
    ASSERT_TRUE(room);
  }
  void TearDown() override {
    host.scene.RemoveAll();
    SetPlanHost(nullptr);
    SimUniverse::TearDown();
  }

  SceneGroup* OnlyObject() {
    EXPECT_EQ(host.scene.m_objects.GetCount(), 1);
    return host.scene.m_objects.IsEmpty() ? nullptr : host.scene.GetObjectAt(host.scene.m_objects.GetHeadPosition());
  }

  SceneHost host;
  Frame frame;
  Room* room = nullptr;
};

uint32_t ExpectedKind(const std::string& mesh) {
  if (mesh == "floor") return kKindFloor;
  if (mesh == "ceil") return kKindCeiling;
  if (mesh.find("mold") != std::string::npos) return kKindMoulding;
  return kKindWall;
}

// Every part of the group bears the key and its record; returns how many there are.
int CheckParts(const SceneGroup& group, const CString& key, WTnode* top) {
  int parts = 0;
  for (int i = 0; i < group.GetGeometryCount(); ++i) {
    SceneGeometry* part = group.GetGeometryAt(i);
    const std::string name = static_cast<const char*>(part->m_name);
    const std::string prefix = std::string(key) + "_";
    EXPECT_EQ(name.compare(0, prefix.size(), prefix), 0) << name;
    const std::string mesh = name.substr(prefix.size());
    EXPECT_EQ(part->m_partKind, ExpectedKind(mesh)) << name;
    EXPECT_STREQ(WTnode_getname(part->m_pNode), name.c_str());
    const NodeUserData* record = GetNodeUserData(part->m_pNode);
    if (!record) {
      ADD_FAILURE() << name << " has no record";
      continue;
    }
    EXPECT_EQ(record->tag, kTagPart);
    EXPECT_EQ(record->part, part);
    EXPECT_EQ(record->top, top);
    EXPECT_EQ(record->kind, part->m_partKind);
    ++parts;
  }
  return parts;
}

TEST_F(RoomInsertion, TheRoomIsOneObjectNamedByItsKeyWithItsPartsAndDummies) {
  SceneGroup* object = OnlyObject();
  ASSERT_TRUE(object);
  const CString key = room->GetKeyString();
  EXPECT_EQ(object->m_name, room->ExportKey("거실", false));
  EXPECT_EQ(room->m_pOwner, object);
  EXPECT_EQ(object->m_pPlanRoom, room);
  EXPECT_EQ(object->m_pPlanInstance, room);
  EXPECT_EQ(object->m_kind, kKindRoom);
  WTnode* top = object->m_pNode;
  ASSERT_TRUE(top);
  EXPECT_STREQ(WTnode_getname(top), key);
  const NodeUserData* record = GetNodeUserData(top);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->tag, kTagObject);
  EXPECT_EQ(record->object, object);
  EXPECT_EQ(record->top, top);
  EXPECT_EQ(record->node, top);
  EXPECT_EQ(record->kind, kKindRoom);

  // Floor, ceiling and the bare wall stand directly under the object.
  EXPECT_EQ(CheckParts(*object, key, top), 3);
  EXPECT_TRUE(object->FindGeometryByName(key + "_floor"));
  EXPECT_TRUE(object->FindGeometryByName(key + "_BWall"));
  // The wall cells under the dummy groups of their names.
  ASSERT_GE(object->GetChildGroupCount(), 1);
  for (int i = 0; i < object->GetChildGroupCount(); ++i) {
    SceneGroup* dummy = object->GetChildGroupAt(i);
    SCOPED_TRACE(static_cast<const char*>(dummy->m_name));
    EXPECT_EQ(dummy->m_pRoot, object);
    ASSERT_TRUE(dummy->m_pNode);
    EXPECT_EQ(WTnode_getparent(dummy->m_pNode, 0), top);
    const NodeUserData* dummyRecord = GetNodeUserData(dummy->m_pNode);
    ASSERT_TRUE(dummyRecord);
    EXPECT_EQ(dummyRecord->tag, kTagDummy);
    EXPECT_EQ(dummyRecord->object, dummy);
    EXPECT_GE(CheckParts(*dummy, key, top), 1);
    EXPECT_EQ(WTnode_getparent(dummy->GetGeometryAt(0)->m_pNode, 0), dummy->m_pNode);
    EXPECT_GT(dummy->m_transform.first[2], 0.0f);  // the side's height
  }
  // The room where its file puts it: its centre over the plan room's.
  EXPECT_NEAR(object->m_transform.position[0], 2000.0f, 1.0f);
  EXPECT_NEAR(object->m_transform.position[1], 1500.0f, 1.0f);
  EXPECT_EQ(std::vector<float>(object->m_transform.scale, object->m_transform.scale + 3),
            (std::vector<float>{1.0f, 1.0f, 1.0f}));
}

TEST_F(RoomInsertion, ReExportLeavesOneObjectAndNoOldNode) {
  room->ExportTo3ds(room, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  SceneGroup* object = OnlyObject();
  ASSERT_TRUE(object);
  EXPECT_EQ(room->m_pOwner, object);
  EXPECT_EQ(WTnode_numchildren(root), 1);
  EXPECT_EQ(WTnode_getchild(root, 0), object->m_pNode);
  // Its new file is kept.
  EXPECT_EQ(host.TempFiles().size(), 1u);
  EXPECT_EQ(host.TempFiles()[0], std::string(object->m_fileName).substr(5));
}

TEST_F(RoomInsertion, FilesThatCannotBeInsertedLeaveNothing) {
  ScenePlacement placement;
  host.messages.clear();
  EXPECT_EQ(::LoadObjectFile(host.scene, "temp\\missing.3ds", kKindRoom, 0, placement, 0xFF00, false), nullptr);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, " TAVO  Vedra  ");
  EXPECT_EQ(host.messages[0].type, 0x2020u);
  // Not a .3ds file: nothing, silently; a file that is no model: nothing.
  std::ofstream(host.LibPath("temp\\scene.wrl")) << "#VRML V1.0 ascii\n";
  std::ofstream(host.LibPath("temp\\broken.3ds")) << "not a model";
  EXPECT_EQ(::LoadObjectFile(host.scene, "temp\\scene.wrl", kKindRoom, 0, placement, 0xFF00, false), nullptr);
  EXPECT_EQ(::LoadObjectFile(host.scene, "temp\\broken.3ds", kKindRoom, 0, placement, 0xFF00, false), nullptr);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.scene.m_objects.GetCount(), 1);
  EXPECT_EQ(WTnode_numchildren(root), 1);
}

}  // namespace
