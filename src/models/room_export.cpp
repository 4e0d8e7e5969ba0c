// Room export: every mesh of one room written as one 3DS mesh file in the temporary folder,
// which the scene then loads in place of the room's previous object.
#include "models/room_export.h"

#include <cstdlib>
#include <cstring>

#include "ftk3ds/ftk3ds.h"
#include "models/fileutil.h"
#include "models/frame.h"
#include "models/planhost.h"
#include "models/room.h"

namespace {

// Scene kind code of a room's object.
constexpr int kSceneKindRoom = 21;
constexpr const char kTempFolderText[] = "temp\\";
constexpr int kTempFolderTextLength = 5;
// The dummy nodes group the cells whose names agree in their first seven characters.
constexpr int kDummyPrefixLength = 7;
constexpr const char kDummyNodeName[] = "$$$DUMMY";

struct RoomFileNames {
  CString full;      // where the file is written
  CString relative;  // what the scene records, relative to the library folder
};

void CopyName(char* to, size_t size, const char* from) {
  std::strncpy(to, from, size - 1);
  to[size - 1] = '\0';
}

CString CellName(uint32_t band, int cell, int face) {
  const char* format = "wall%03x%02x";
  switch (band) {
    case BAND_FLOOR_MOULDING: format = "fmold%02x%02x"; break;
    case BAND_BAND_MOULDING: format = "bmold%02x%02x"; break;
    case BAND_CEILING_MOULDING: format = "cmold%02x%02x"; break;
    default: break;
  }
  CString name;
  name.Format(format, static_cast<unsigned>(cell), static_cast<unsigned>(face));
  return name;
}

// A relative name that the export may write to: "temp\" and a plain name of this room's files.
bool IsOwnTempFile(const CString& relative, const CString& fileKey) {
  if (relative.Left(kTempFolderTextLength) != kTempFolderText) return false;
  const CString plain = relative.Mid(kTempFolderTextLength);
  return !plain.IsEmpty() && plain == FileSafeName(plain) && plain.Left(fileKey.GetLength()) == fileKey;
}

void WriteMaterial(Database3ds* db, const char* name) {
  Material3ds* mat = nullptr;
  InitMaterial3ds(&mat);
  if (!mat) return;
  CopyName(mat->name, sizeof mat->name, name);
  const Color3ds grey = {0.7f, 0.7f, 0.7f};
  mat->ambient = mat->diffuse = mat->specular = grey;
  mat->shininess = 0.34f;
  mat->shinStrength = 0.64f;
  mat->reflectBlur = mat->transparency = mat->transFalloff = mat->selfIllum = mat->wireSize = 0.0f;
  mat->shading = 3;  // Phong
  mat->twoSided = std::strstr(name, "cmold") ? 1 : 0;
  mat->soften = 1;
  mat->useBlur = mat->useFalloff = mat->selfIllumFlag = mat->additive = 0;
  mat->wire = mat->wireAbs = mat->faceMap = 0;
  PutMaterial3ds(db, mat);
  ReleaseMaterial3ds(&mat);
}

void WriteMeshObject(const Mesh& mesh, Database3ds* db, const char* name) {
  const int vertexCount = mesh.GetVertexCount();
  const int faceCount = mesh.GetFaceCount();
  MeshObj3ds* obj = nullptr;
  InitMeshObj3ds(&obj, static_cast<uint16_t>(vertexCount), static_cast<uint16_t>(faceCount), 0);
  if (!obj) return;
  CopyName(obj->name, sizeof obj->name, name);
  for (int i = 0; i < vertexCount; ++i) {
    const MeshVertex* v = mesh.GetVertex(i);
    obj->vertices[i] = {static_cast<float>(v->x), static_cast<float>(v->y), static_cast<float>(v->z)};
  }
  for (int i = 0; i < faceCount; ++i) {
    const MeshFace* f = mesh.GetFace(i);
    obj->faces[i] = {static_cast<uint16_t>(f->a), static_cast<uint16_t>(f->b),
                     static_cast<uint16_t>(f->c), 0};
  }
  obj->matrix[0] = obj->matrix[4] = obj->matrix[8] = 1.0f;
  obj->matGroupCount = 1;
  AllocMeshArrays3ds(obj, MeshMatGroupArray3ds);
  AllocMatGroupFaces3ds(obj, 0, static_cast<uint16_t>(faceCount));
  if (obj->matGroups && obj->matGroups[0].faces) {
    CopyName(obj->matGroups[0].name, sizeof obj->matGroups[0].name, name);
    for (int i = 0; i < faceCount; ++i) obj->matGroups[0].faces[i] = static_cast<uint16_t>(i);
  }
  PutMesh3ds(db, obj);
  ReleaseMeshObj3ds(&obj);
}

// True when the database already holds the dummy node of that instance name.
bool HasDummyNode(Database3ds* db, const char* instance) {
  bool found = false;
  for (uint32_t i = GetObjectMotionCount3ds(db); i > 0 && !found; --i) {
    ObjectMotion3ds* node = nullptr;
    GetObjectMotionByIndex3ds(db, i - 1, &node);
    if (!node) continue;
    found = std::strcmp(node->name, kDummyNodeName) == 0 && std::strcmp(node->instance, instance) == 0;
    ReleaseObjectMotion3ds(&node);
  }
  return found;
}

void WriteNode(Database3ds* db, const char* name, const char* parent, const char* instance) {
  ObjectMotion3ds* node = nullptr;
  InitObjectMotion3ds(&node, 0, 0, 0, 0, 0);
  if (!node) return;
  CopyName(node->name, sizeof node->name, name);
  CopyName(node->parent, sizeof node->parent, parent);
  CopyName(node->instance, sizeof node->instance, instance);
  PutObjectMotion3ds(db, node);
  ReleaseObjectMotion3ds(&node);
}

void WriteKeyframeNode(Database3ds* db, const char* name, bool dummyParent) {
  if (!dummyParent) {
    WriteNode(db, name, "", "");
    return;
  }
  char prefix[kDummyPrefixLength + 1];
  CopyName(prefix, sizeof prefix, name);
  CString parent;
  parent.Format("%s.%s", kDummyNodeName, prefix);
  if (!HasDummyNode(db, prefix)) WriteNode(db, kDummyNodeName, "", prefix);
  WriteNode(db, name, parent, "");
}

}  // namespace

void PutExportSettings3ds(Database3ds* db, float masterScale) {
  MeshSettings3ds* settings = nullptr;
  InitMeshSettings3ds(&settings);
  if (settings) {
    settings->masterScale = masterScale;
    settings->shadowType = 0;  // standard
    settings->shadowBias = 1.0f;
    settings->rayBias = 3.0f;
    settings->shadowMapSize = 500;
    settings->shadowFilter = 3.0f;
    settings->ambient = {0.0f, 0.0f, 0.0f};
    PutMeshSettings3ds(db, settings);
    ReleaseMeshSettings3ds(&settings);
  }
  KfSettings3ds* kf = nullptr;
  InitKfSettings3ds(&kf);
  if (kf) {
    PutKfSettings3ds(db, kf);
    ReleaseKfSettings3ds(&kf);
  }
}

void Mesh::WriteTo3ds(Database3ds* db, const char* name, bool dummyParent) const {
  if (GetVertexCount() == 0 || GetFaceCount() == 0) return;
  // A 3DS mesh counts its vertices and faces in 16 bits.
  if (GetVertexCount() > 0xFFFF || GetFaceCount() > 0xFFFF) return;
  WriteMaterial(db, name);
  WriteMeshObject(*this, db, name);
  WriteKeyframeNode(db, name, dummyParent);
}

void Room::ClearMeshes() {
  for (Mesh& mesh : m_meshes) mesh.Clear();
  m_floor.Clear();
  m_ceiling.Clear();
  for (int i = 0; i < GetWallFaceCount(); ++i) {
    const WallFace* face = GetWallFace(i);
    if (!face->m_pWall) continue;
    const int side = face->GetSide();
    for (int j = 0; j < face->m_pWall->GetCellCount(side); ++j) face->m_pWall->GetCell(side, j)->Clear();
  }
}

CString Room::ExportKey(const char* name, bool enclosing) const {
  CString key = FormatId();
  if (enclosing) return key + "+Dummy=";
  if (name && *name) return key + "+" + name + "=";
  return key;
}

static RoomFileNames ChooseFileNames(Room& room, const CString& fileKey, bool enclosing,
                                     bool keepName) {
  const CString tempDir = GetTempDir();
  RoomFileNames names;
  if (keepName && room.m_pOwner) {
    const CString relative = GetPlanHost().GetSceneObjectFileName(room.m_pOwner);
    if (IsOwnTempFile(relative, fileKey)) {
      names.relative = relative;
      names.full = tempDir + relative.Mid(kTempFolderTextLength);
      return names;
    }
  }
  CString plain;
  if (enclosing) {
    plain = fileKey + ".3ds";
  } else {
    int suffix = std::rand() % 32767;
    while (suffix == room.m_lastSuffix) suffix = std::rand() % 32767;
    room.m_lastSuffix = suffix;
    plain.Format("%s_%04x.3ds", static_cast<const char*>(fileKey), suffix);
  }
  names.relative = CString(kTempFolderText) + plain;
  names.full = tempDir + plain;
  return names;
}

void Room::WriteMeshes(Database3ds* db, Mesh* extraMeshes, CProgressWnd* progress) {
  if (extraMeshes)
    GetBareWallMesh().Append(extraMeshes[1], false);
  else
    BuildBoards();
  for (int i = 0; i < GetWallFaceCount(); ++i) {
    if (progress) GetPlanHost().ProgressStepIt(progress);
    const WallFace* face = GetWallFace(i);
    Wall* wall = face->m_pWall;
    if (!wall) continue;
    const int side = face->GetSide();
    if (m_pPlan) BuildWallSide(*m_pPlan, wall, side);
    for (int j = 0; j < wall->GetCellCount(side); ++j) {
      const WallFaceCell* cell = wall->GetCell(side, j);
      cell->WriteTo3ds(db, CellName(cell->m_band, j, i), true);
    }
  }
  if (!extraMeshes) {
    m_floor.WriteTo3ds(db, "floor", false);
    if (GetCeilingLevel() - GetFloorLevel() > 10) m_ceiling.WriteTo3ds(db, "ceil", false);
  }
  GetBareWallMesh().WriteTo3ds(db, "BWall", false);
}

bool Room::WriteFile3ds(const char* path, Mesh* extraMeshes, int meshFlag, CProgressWnd* progress) {
  Database3ds* db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  ClearErrList3ds();
  File3ds* file = *path ? OpenFile3ds(path, "w") : nullptr;
  PutExportSettings3ds(db, kRoomFileMasterScale);
  ClearMeshes();
  if (meshFlag) WriteMeshes(db, extraMeshes, progress);
  // Only the writing decides whether the file is whole.
  ClearErrList3ds();
  if (file) WriteDatabase3ds(file, db);
  bool written = file && !ftkerr3ds;
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  written = written && !ftkerr3ds;
  // A partial file would reach the loader; without it the load fails as for any missing file.
  if (file && !written) RemoveFile(path);
  return written;
}

void Room::LoadIntoScene(const char* fileName, const char* key, Mesh* extraMeshes, int sceneFlag) {
  PlanHost& host = GetPlanHost();
  if (m_pOwner) {
    host.RemoveSceneObject(m_pOwner);
    m_pOwner = nullptr;
  }
  ScenePlacement placement;
  placement.flags = sceneFlag;
  placement.name = key;
  (void)extraMeshes;  // the enclosing room is loaded like any other
  CObject* shown = host.LoadObjectFile(fileName, kSceneKindRoom, kSceneKindRoom, placement);
  if (!shown) return;
  m_pOwner = shown;
  host.LinkSceneObject(shown, this, key);
}

void Room::ExportTo3ds(Room* neighbourGuard, const char* name, Mesh* extraMeshes, int sceneFlag,
                       int loadFlag, int meshFlag, CProgressWnd* progress, int keepFile) {
  PlanHost& host = GetPlanHost();
  CString derived;
  if (!name && m_pOwner) {
    derived = ExtractRoomName(host.GetSceneObjectName(m_pOwner));
    name = derived;
  }
  const CString key = ExportKey(name, extraMeshes != nullptr);
  // The key as it stands in file names: neither the room's files nor the pattern that deletes
  // them can leave the temporary folder, whatever the room's name.
  const CString fileKey = FileSafeName(key);
  const CString tempDir = GetTempDir();
  if (!tempDir.IsEmpty()) host.DeleteFolderTree(tempDir + "*" + fileKey + "*");
  const RoomFileNames names =
      ChooseFileNames(*this, fileKey, extraMeshes != nullptr, progress || keepFile);
  WriteFile3ds(tempDir.IsEmpty() ? "" : static_cast<const char*>(names.full), extraMeshes, meshFlag,
               progress);
  if (loadFlag) LoadIntoScene(names.relative, key, extraMeshes, sceneFlag);
  m_state |= ROOM_EXPORTED;
  if (!neighbourGuard && sceneFlag && loadFlag && meshFlag && !extraMeshes) ExportNeighbours();
}

void Room::ExportNeighbours() {
  CPtrArray neighbours;
  for (int i = 0; i < GetWallFaceCount(); ++i) {
    const WallFace* face = GetWallFace(i);
    if (!face->m_pWall) continue;
    Room* other = face->m_pWall->GetRoom(face->m_direction == -1 ? 1 : 0);
    if (other && other->m_interior) neighbours.Add(other);
  }
  RegenerateRooms(neighbours);
}

void ExportRoomsTo3ds(Frame& frame, const CPtrArray* rooms) {
  if (rooms) {
    RegenerateRooms(*rooms);
    return;
  }
  for (int i = frame.GetRoomCount() - 1; i >= 0; --i) {
    Room* room = frame.RoomAt(i);
    CollectRoomMaterials(room->m_pOwner);
    room->ExportTo3ds(room, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  }
}
