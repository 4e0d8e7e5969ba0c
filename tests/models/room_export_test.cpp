// Rooms written as 3DS files: read back through the 3DS toolkit and compared with the room's own
// meshes; file names, keys and the re-export of neighbours.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

#include "ftk3ds/ftk3ds.h"
#include "models/fileutil.h"
#include "models/frame.h"
#include "models/room_export.h"
#include "models/wallface.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

// A room file read back: its settings, and materials, meshes and nodes by name.
struct RoomFile {
  bool read = false;
  MeshSettings3ds settings{};
  std::map<std::string, Material3ds> materials;
  std::map<std::string, MeshObj3ds*> meshes;
  std::vector<ObjectMotion3ds> nodes;  // in file order

  ~RoomFile() {
    for (auto& entry : meshes) ReleaseMeshObj3ds(&entry.second);
  }
};

void ReadRoomFile(const std::string& path, RoomFile& out) {
  ClearErrList3ds();
  File3ds* file = OpenFile3ds(path.c_str(), "r");
  if (!file) return;
  Database3ds* db = nullptr;
  InitDatabase3ds(&db);
  ReadDatabase3ds(file, db);
  MeshSettings3ds* settings = nullptr;
  GetMeshSettings3ds(db, &settings);
  if (settings) out.settings = *settings;
  ReleaseMeshSettings3ds(&settings);
  for (uint32_t i = 0; i < GetMaterialCount3ds(db); ++i) {
    Material3ds* mat = nullptr;
    GetMaterialByIndex3ds(db, i, &mat);
    out.materials[mat->name] = *mat;
    ReleaseMaterial3ds(&mat);
  }
  for (uint32_t i = 0; i < GetMeshCount3ds(db); ++i) {
    MeshObj3ds* mesh = nullptr;
    GetMeshByIndex3ds(db, i, &mesh);
    out.meshes[mesh->name] = mesh;
  }
  for (uint32_t i = 0; i < GetObjectMotionCount3ds(db); ++i) {
    ObjectMotion3ds* node = nullptr;
    GetObjectMotionByIndex3ds(db, i, &node);
    ObjectMotion3ds copy{};
    std::memcpy(copy.name, node->name, sizeof copy.name);
    std::memcpy(copy.parent, node->parent, sizeof copy.parent);
    std::memcpy(copy.instance, node->instance, sizeof copy.instance);
    out.nodes.push_back(copy);
    ReleaseObjectMotion3ds(&node);
  }
  out.read = !ftkerr3ds;
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
}

// The mesh as the model holds it and as the file holds it are the same.
void ExpectSameMesh(const Mesh& model, const MeshObj3ds& file, const std::string& name) {
  SCOPED_TRACE(name);
  ASSERT_EQ(file.vertexCount, model.GetVertexCount());
  ASSERT_EQ(file.faceCount, model.GetFaceCount());
  for (int i = 0; i < model.GetVertexCount(); ++i) {
    EXPECT_EQ(file.vertices[i].x, static_cast<float>(model.GetVertex(i)->x));
    EXPECT_EQ(file.vertices[i].y, static_cast<float>(model.GetVertex(i)->y));
    EXPECT_EQ(file.vertices[i].z, static_cast<float>(model.GetVertex(i)->z));
  }
  for (int i = 0; i < model.GetFaceCount(); ++i) {
    EXPECT_EQ(file.faces[i].v1, model.GetFace(i)->a);
    EXPECT_EQ(file.faces[i].v2, model.GetFace(i)->b);
    EXPECT_EQ(file.faces[i].v3, model.GetFace(i)->c);
  }
  ASSERT_EQ(file.matGroupCount, 1);
  EXPECT_STREQ(file.matGroups[0].name, name.c_str());
  ASSERT_EQ(file.matGroups[0].faceCount, model.GetFaceCount());
  for (int i = 0; i < model.GetFaceCount(); ++i) EXPECT_EQ(file.matGroups[0].faces[i], i);
}

class RoomExport : public ::testing::Test {
protected:
  void SetUp() override {
    DrawChain(frame, {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
    DrawChain(frame, {{3000, 0}, {3000, 4000}});
    divider = WallFromTo(frame, 3000, 0, 3000, 4000);
    ASSERT_TRUE(divider);
    HoleInstance door;
    door.m_kind = HOLE_DOOR;
    door.m_kindId = 1000;
    door.m_posture.position[0] = 2000;
    door.m_posture.size[0] = 900;
    door.m_posture.size[2] = 2100;
    ASSERT_TRUE(divider->m_openings.Add(&door, true, 0.0));
    left = PlaceRoom("거실", 1500, 2400, 0);
    right = PlaceRoom("침실", 4500, 2400, 0);
    ASSERT_TRUE(left && right);
  }

  Room* PlaceRoom(const char* name, int x, int32_t ceiling, int32_t floor) {
    host.controls[IDC_PLAN_ROOM_NAME] = name;
    return frame.PlaceRoomAt(CPoint(x, 2000), ceiling, floor, false);
  }

  // The file that the room's scene object was loaded from.
  std::string FileOf(const Room* room) {
    return host.LibPath(static_cast<const char*>(host.GetSceneObjectFileName(room->m_pOwner)));
  }

  RecordingPlanHost host;
  Frame frame;
  Wall* divider = nullptr;
  Room* left = nullptr;
  Room* right = nullptr;
};

TEST_F(RoomExport, FileHoldsTheRoomsMeshes) {
  host.Clear();
  left->ExportTo3ds(left, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  ASSERT_EQ(host.exports.size(), 1u);
  EXPECT_EQ(host.exports[0].key, std::string(left->FormatId()) + "+거실=");
  EXPECT_EQ(host.loads[0].kind, 21);
  RoomFile file;
  ReadRoomFile(FileOf(left), file);
  ASSERT_TRUE(file.read);

  EXPECT_FLOAT_EQ(file.settings.masterScale, 0.03937008f);
  EXPECT_EQ(file.settings.shadowType, 0);
  EXPECT_EQ(file.settings.shadowBias, 1.0f);
  EXPECT_EQ(file.settings.rayBias, 3.0f);
  EXPECT_EQ(file.settings.shadowMapSize, 500);
  EXPECT_EQ(file.settings.shadowFilter, 3.0f);
  EXPECT_EQ(file.settings.ambient.r, 0.0f);

  // Every cell of every wall side facing the room, under the name of its band and indices.
  std::set<std::string> cells;
  for (int i = 0; i < left->GetWallFaceCount(); ++i) {
    const WallFace* face = left->GetWallFace(i);
    for (int j = 0; j < face->m_pWall->GetCellCount(face->GetSide()); ++j) {
      const WallFaceCell* cell = face->m_pWall->GetCell(face->GetSide(), j);
      if (cell->GetFaceCount() == 0) continue;
      char name[16];
      std::snprintf(name, sizeof name, "wall%03x%02x", j, i);
      ASSERT_EQ(file.meshes.count(name), 1u) << name;
      ExpectSameMesh(*cell, *file.meshes[name], name);
      cells.insert(name);
    }
  }
  EXPECT_GE(cells.size(), 4u);
  ExpectSameMesh(left->m_floor, *file.meshes["floor"], "floor");
  ExpectSameMesh(left->m_ceiling, *file.meshes["ceil"], "ceil");
  EXPECT_EQ(file.meshes.size(), cells.size() + 2 + (left->GetBareWallMesh().GetFaceCount() ? 1 : 0));

  for (const auto& [name, mat] : file.materials) {
    SCOPED_TRACE(name);
    EXPECT_LE(name.size(), 10u);
    EXPECT_EQ(file.meshes.count(name), 1u);
    // Colours are kept in 24 bits too: within 1/255.
    EXPECT_NEAR(mat.ambient.r, 0.7f, 0.004f);
    EXPECT_NEAR(mat.diffuse.g, 0.7f, 0.004f);
    EXPECT_NEAR(mat.specular.b, 0.7f, 0.004f);
    EXPECT_FLOAT_EQ(mat.shininess, 0.34f);
    EXPECT_EQ(mat.shading, 3u);
    EXPECT_EQ(mat.twoSided, name.find("cmold") != std::string::npos);
  }

  // One dummy node per seven-character prefix, before the first cell that hangs below it.
  std::set<std::string> dummies;
  for (const ObjectMotion3ds& node : file.nodes) {
    const std::string name = node.name;
    if (name == "$$$DUMMY") {
      EXPECT_STREQ(node.parent, "");
      EXPECT_TRUE(dummies.insert(node.instance).second) << node.instance;
    } else if (cells.count(name)) {
      EXPECT_EQ(std::string(node.parent), "$$$DUMMY." + name.substr(0, 7));
      EXPECT_EQ(dummies.count(name.substr(0, 7)), 1u) << name;
    } else {
      EXPECT_TRUE(name == "floor" || name == "ceil" || name == "BWall") << name;
      EXPECT_STREQ(node.parent, "");
    }
  }
  EXPECT_GE(dummies.size(), 1u);
  EXPECT_LT(dummies.size(), cells.size());
}

TEST_F(RoomExport, CeilingOnlyWhenAboveTheFloorByMoreThan10) {
  for (const auto& [ceiling, written] : {std::pair{10, false}, std::pair{11, true}}) {
    left->m_ceiling.m_level = ceiling;
    left->ExportTo3ds(left, nullptr, nullptr, 1, 1, 1, nullptr, 0);
    RoomFile file;
    ReadRoomFile(FileOf(left), file);
    ASSERT_TRUE(file.read);
    EXPECT_EQ(file.meshes.count("ceil"), written ? 1u : 0u) << ceiling;
    EXPECT_EQ(file.meshes.count("floor"), 1u);
  }
}

TEST_F(RoomExport, EachExportReplacesTheRoomsFile) {
  const std::string key(right->FormatId());
  right->ExportTo3ds(right, "", nullptr, 1, 1, 1, nullptr, 0);
  const std::string first = static_cast<const char*>(host.GetSceneObjectFileName(right->m_pOwner));
  right->ExportTo3ds(right, "", nullptr, 1, 1, 1, nullptr, 0);
  const std::string second = static_cast<const char*>(host.GetSceneObjectFileName(right->m_pOwner));
  // An unnamed room is its id alone, then a four-digit suffix that changes.
  EXPECT_EQ(first.substr(0, 14), "temp\\" + key + "_");
  EXPECT_EQ(first.size(), 5 + 8 + 1 + 4 + 4);
  EXPECT_NE(first, second);
  int files = 0;
  for (const std::string& name : host.TempFiles()) files += name.find(key) == 0;
  EXPECT_EQ(files, 1);
  EXPECT_TRUE(FileExists(FileOf(right).c_str()));
}

TEST_F(RoomExport, EnclosingRoomHoldsWallCellsOnly) {
  host.Clear();
  ASSERT_EQ(frame.BuildDummyRoom(1), 1);
  Room* dummy = frame.m_pDummyRoom;
  const std::string relative = static_cast<const char*>(host.GetSceneObjectFileName(dummy->m_pOwner));
  EXPECT_EQ(relative, "temp\\" + std::string(dummy->FormatId()) + "+Dummy=.3ds");
  RoomFile file;
  ReadRoomFile(FileOf(dummy), file);
  ASSERT_TRUE(file.read);
  EXPECT_FALSE(file.meshes.empty());
  for (const auto& entry : file.meshes) EXPECT_EQ(entry.first.substr(0, 4), "wall") << entry.first;
}

TEST_F(RoomExport, NeighboursExportedOnceWithoutAGuard) {
  host.Clear();
  right->ExportTo3ds(nullptr, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  ASSERT_EQ(host.exports.size(), 2u);
  EXPECT_EQ(host.exports[0].room, right);
  EXPECT_EQ(host.exports[1].room, left);
  EXPECT_EQ(host.materialCollections, 1);
  // Keeping the file name, with a progress window stepped once per wall face.
  host.Clear();
  const CString before = host.GetSceneObjectFileName(left->m_pOwner);
  left->ExportTo3ds(left, nullptr, nullptr, 1, 1, 1, nullptr, 1);
  EXPECT_EQ(host.GetSceneObjectFileName(left->m_pOwner), before);
  left->ExportTo3ds(left, nullptr, nullptr, 1, 1, 1, reinterpret_cast<CProgressWnd*>(&host), 0);
  EXPECT_EQ(host.progressSteps, left->GetWallFaceCount());
}

TEST_F(RoomExport, FilesStayInTheTemporaryFolder) {
  // A room name that reads as a path is the name of the scene object, not of a folder.
  for (const char* name : {"..\\..\\x", "../../x", "c:evil", "a*?b"}) {
    host.Clear();
    left->ExportTo3ds(left, name, nullptr, 1, 1, 1, nullptr, 0);
    ASSERT_EQ(host.exports.size(), 1u);
    EXPECT_EQ(host.exports[0].key, std::string(left->FormatId()) + "+" + name + "=");
    const std::string file = host.exports[0].file;
    EXPECT_EQ(file.find('\\', 5), std::string::npos) << file;
    EXPECT_EQ(file.find('/'), std::string::npos) << file;
    EXPECT_EQ(file.find(".."), std::string::npos) << file;
    EXPECT_TRUE(FileExists(FileOf(left).c_str())) << file;
  }
  // A stored file name that leaves the folder is not written to.
  for (const char* stored : {"temp\\..\\..\\Database\\TLibrary.lib", "Symbol\\x.DXF", "temp\\"}) {
    host.Clear();
    // The scene object records what the model file said.
    left->ExportTo3ds(left, nullptr, nullptr, 1, 1, 1, nullptr, 0);
    const std::string own = host.exports[0].file;
    host.loads.clear();
    ASSERT_TRUE(left->m_pOwner);
    host.SetFileName(left->m_pOwner, stored);
    left->ExportTo3ds(left, nullptr, nullptr, 1, 1, 1, nullptr, 1);
    ASSERT_FALSE(host.loads.empty());
    EXPECT_NE(host.loads.back().file, stored);
    EXPECT_EQ(host.loads.back().file.substr(0, 5 + 8), "temp\\" + std::string(left->FormatId()));
  }
}

#ifndef _WIN32
TEST_F(RoomExport, AFailedWriteLeavesNoFile) {
  // Files are limited to 300 bytes: the room's file cannot be written whole.
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 300;
  setrlimit(RLIMIT_FSIZE, &small);
  host.Clear();
  left->ExportTo3ds(left, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(host.TempFiles().empty() || host.TempFiles().size() == 1u);
  for (const std::string& name : host.TempFiles())
    EXPECT_EQ(name.find(left->FormatId()), std::string::npos) << name;
  // The loader reports the file that cannot be read; the room has no scene object.
  ASSERT_EQ(host.loads.size(), 1u);
  EXPECT_EQ(host.loads[0].object, nullptr);
  EXPECT_EQ(left->m_pOwner, nullptr);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages.back().caption, "loader");
}
#endif

TEST_F(RoomExport, NoTemporaryFolderWritesNothing) {
  // The temporary folder is gone: the file cannot be opened and the load reports it.
  host.RemoveTempFolder();
  host.Clear();
  left->ExportTo3ds(left, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  ASSERT_EQ(host.loads.size(), 1u);
  EXPECT_EQ(host.loads[0].object, nullptr);
  EXPECT_EQ(left->m_state & ROOM_EXPORTED, ROOM_EXPORTED);
}

}  // namespace
