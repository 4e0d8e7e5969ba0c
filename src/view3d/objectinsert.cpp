#include "view3d/objectinsert.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "ftk3ds/ftk3ds.h"
#include "models/fileutil.h"
#include "models/model.h"
#include "models/room.h"
#include "models/scene.h"
#include "toolkit/wt.h"
#include "view3d/nodedata.h"

namespace {

constexpr float kInchMillimetres = 25.4f;
constexpr float kRadiansPerDegree = 0.0174533f;
constexpr float kDegreesPerRadian = 57.29578f;
constexpr char kDummyPrefix[] = "$$$DUMMY.";
constexpr size_t kDummyPrefixLength = sizeof kDummyPrefix - 1;
constexpr char kCannotOpen[] = "화일을 열지 못하겠습니다.\n화일이 존재하지 않거나  공유 위반인 것 같습니다.";

// One mesh of the model file and what the insertion makes of it.
struct PartRecord {
  std::string mesh;
  std::string keyParent;  // its keyframe parent as the file names it
  std::string name;       // object name + "_" + mesh
  std::string parentName; // object name + "_" + the parent's (or dummy's) name
  bool dummyParent = false;
  uint32_t kind = 0;
  WTnode* node = nullptr;
};

// What the insertion reads from the file: the unit and the meshes in file order.
struct ModelFileParts {
  bool read = false;
  float masterScale = 1.0f;
  std::vector<PartRecord> parts;
};

std::string KeyframeParent(Database3ds* db, const char* mesh) {
  ObjectMotion3ds* motion = nullptr;
  GetObjectMotionByName3ds(db, mesh, &motion);
  if (!motion) return std::string();
  std::string parent = motion->parent;
  ReleaseObjectMotion3ds(&motion);
  return parent;
}

ModelFileParts ReadModelParts(const char* path) {
  ModelFileParts file;
  ClearErrList3ds();
  File3ds* handle = OpenFile3ds(path, "r");
  if (!handle) {
    ReleaseFileTable3ds();
    return file;
  }
  Database3ds* db = nullptr;
  InitDatabase3ds(&db);
  ReadDatabase3ds(handle, db);
  file.read = db && !ftkerr3ds;
  MeshSettings3ds* settings = nullptr;
  if (file.read) GetMeshSettings3ds(db, &settings);
  if (settings) file.masterScale = settings->masterScale;
  ReleaseMeshSettings3ds(&settings);
  for (uint32_t i = 0; file.read && i < GetMeshCount3ds(db); ++i) {
    MeshObj3ds* mesh = nullptr;
    GetMeshByIndex3ds(db, i, &mesh);
    if (!mesh) continue;
    PartRecord part;
    part.mesh = mesh->name;
    part.keyParent = KeyframeParent(db, mesh->name);
    file.parts.push_back(part);
    ReleaseMeshObj3ds(&mesh);
  }
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  return file;
}

// The name that the loader gives a mesh's node: blanks become underscores.
std::string NodeNameOf(const std::string& mesh) {
  std::string name = mesh;
  for (char& c : name)
    if (c == ' ') c = '_';
  return name;
}

WTnode* ChildNamed(WTnode* node, const std::string& name) {
  for (int i = 0; i < WTnode_numchildren(node); ++i) {
    WTnode* child = WTnode_getchild(node, i);
    const char* own = WTnode_getname(child);
    if (own && name == own) return child;
  }
  return nullptr;
}

// A room part's kind by its mesh name: at each position of the upper-cased name "FLOOR",
// "CEIL", "MOLD" and "WALL" are tried in this order; the first match decides.
uint32_t RoomPartKind(const std::string& mesh) {
  static const struct {
    const char* word;
    uint32_t kind;
  } kWords[] = {{"FLOOR", kKindFloor}, {"CEIL", kKindCeiling}, {"MOLD", kKindMoulding}, {"WALL", kKindWall}};
  std::string upper = mesh;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (size_t at = 0; at < upper.size(); ++at)
    for (const auto& word : kWords)
      if (upper.compare(at, std::strlen(word.word), word.word) == 0) return word.kind;
  return kKindRoom;
}

// Measures of a node: size (twice its extents) and centre, in scene axes.
struct NodeMeasure {
  float size[3];
  float centre[3];
};

NodeMeasure Measure(WTnode* node) {
  NodeMeasure m{};
  WTp3 extents = {0.0f, 0.0f, 0.0f};
  WTnode_getextents(node, extents);
  SetVec3(m.size, 2.0f * extents[0], 2.0f * extents[1], 2.0f * extents[2]);
  GetNodeCentre(node, m.centre);
  return m;
}

// Scene (width x, height y, depth z) to plan (width, depth, height).
void SizeToPlan(float dst[3], const float scene[3]) { SetVec3(dst, scene[0], scene[2], scene[1]); }

void Translate(WTnode* node, float x, float y, float z) {
  const WTp3 step = {x, y, z};
  WTnode_translate(node, step, WTFRAME_PARENT);
}

bool IsZero(const float v[3]) { return v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f; }

// The object's size and centre without its detached meshes (taken out, then put back).
NodeMeasure MeasureWithoutDetached(WTnode* top, const std::vector<PartRecord>& parts, uint32_t kind) {
  std::vector<WTnode*> detached;
  for (const PartRecord& part : parts)
    if (IsDetachedPartName(part.mesh.c_str(), kind))
      if (WTnode* node = ChildNamed(top, NodeNameOf(part.mesh))) detached.push_back(node);
  for (WTnode* node : detached) WTnode_remove(node);
  const NodeMeasure measure = Measure(top);
  for (WTnode* node : detached) WTnode_addchild(top, node);
  return measure;
}

// Turns the object about the vertical through its centre; the angle turned, in degrees.
float TurnObject(WTnode* top, float wanted) {
  float c[3];
  GetNodeCentre(top, c);
  WTq orientation;
  WTnode_getorientation(top, orientation);
  const float turn = wanted - _WTq_angle(orientation) * kDegreesPerRadian;
  Translate(top, -c[0], -c[1], -c[2]);
  WTnode_axisrotation(top, 1, turn * kRadiansPerDegree, WTFRAME_PARENT);
  Translate(top, c[0], c[1], c[2]);
  return turn;
}

// Puts the object's centre where asked; the group keeps the plan position.
void PlaceObject(WTnode* top, const LibraryObjectRequest& request, SceneTransform& transform) {
  float centre[3];
  GetNodeCentre(top, centre);
  if (IsZero(request.position)) {
    AxisSwapYZ(transform.position, centre);
    return;
  }
  float target[3];
  AxisSwapZY(target, request.position);
  Translate(top, target[0] - centre[0], target[1] - centre[1], target[2] - centre[2]);
  CopyVec3(transform.position, request.position);
}

float Factor(float wanted, float own) { return own != 0.0f ? wanted / own : 1.0f; }

// Stretches the object's geometries to the wanted size; the group keeps size and scale.
void SizeObject(WTnode* top, const LibraryObjectRequest& request, const float size[3],
                SceneTransform& transform) {
  if (IsZero(request.size)) {
    SizeToPlan(transform.first, size);
    return;
  }
  // Plan width, depth, height against scene x, z, y.
  const WTp3 factors = {Factor(request.size[0], size[0]), Factor(request.size[2], size[1]),
                        Factor(request.size[1], size[2])};
  for (int i = 0; i < WTnode_numchildren(top); ++i) {
    WTnode* child = WTnode_getchild(top, i);
    const int type = WTnode_gettype(child);
    if (type != WTNODE_GEOMETRY && type != WTNODE_MGEOMETRY) continue;
    WTp3 mid;
    WTnode_getmidpoint(child, mid);
    if (WTgeometry* geometry = WTnode_getgeometry(child)) WTgeometry_stretch(geometry, factors, mid);
  }
  CopyVec3(transform.first, request.size);
  SetVec3(transform.scale, factors[0], factors[2], factors[1]);
}

// Names each part and its node, sets its kind and its parent's name.
void NameParts(std::vector<PartRecord>& parts, const CString& objectName, WTnode* top, uint32_t kind) {
  const std::string object = static_cast<const char*>(objectName);
  for (PartRecord& part : parts) {
    part.name = object + "_" + part.mesh;
    part.node = ChildNamed(top, NodeNameOf(part.mesh));
    if (part.node) WTnode_setname(part.node, part.name.c_str());
    part.kind = kind == kKindRoom ? RoomPartKind(part.mesh) : kind;
    if (part.keyParent.empty()) continue;
    part.dummyParent = part.keyParent.compare(0, kDummyPrefixLength, kDummyPrefix) == 0;
    part.parentName = object + "_" + (part.dummyParent ? part.keyParent.substr(kDummyPrefixLength) : part.keyParent);
  }
}

// The grouping node of a part whose keyframe parent is a dummy, made (with its scene group)
// when the first of its parts comes.
WTnode* DummyGroupNode(Scene& scene, SceneGroup& object, const PartRecord& part, WTnode* top) {
  if (WTnode* node = ChildNamed(top, part.parentName)) return node;
  WTnode* node = WTmovsepnode_new(top);
  if (!node) return nullptr;
  WTnode_setname(node, part.parentName.c_str());
  NodeUserData* record = NewNodeUserData(node, kTagDummy, nullptr, top, part.kind);
  if (!scene.FindGroupByName(part.parentName.c_str()))
    record->object = object.AddChildGroup(object.m_fileName, part.parentName.c_str(), node, SceneTransform());
  return node;
}

// The part's node gets its record and the part its scene geometry.
void MakePart(Scene& scene, SceneGroup& object, const PartRecord& part, WTnode* top) {
  if (!part.node) return;
  SceneGroup* owner = &object;
  if (part.dummyParent) {
    if (WTnode* groupNode = DummyGroupNode(scene, object, part, top)) {
      WTnode_remove(part.node);
      WTnode_addchild(groupNode, part.node);
    }
  }
  if (!part.parentName.empty())
    if (SceneGroup* group = object.FindGroupRecursive(part.parentName.c_str())) owner = group;
  NodeUserData* record = NewNodeUserData(part.node, kTagPart, nullptr, top, part.kind);
  const NodeMeasure measure = Measure(part.node);
  ScenePart values;
  values.kind = part.kind;
  SizeToPlan(values.transform.first, measure.size);
  AxisSwapYZ(values.transform.position, measure.centre);
  values.transform.rotation[2] = object.m_transform.rotation[2];
  CopyVec3(values.transform.scale, object.m_transform.scale);
  SceneGeometry* geometry = owner->AddGeometry(part.name.c_str(), &values);
  geometry->m_pNode = part.node;
  record->part = geometry;
}

// Each child group takes its node's size and centre and the object's scale.
void MeasureChildGroups(SceneGroup& object) {
  for (int i = 0; i < object.GetChildGroupCount(); ++i) {
    SceneGroup* group = object.GetChildGroupAt(i);
    if (!group->m_pNode) continue;
    const NodeMeasure measure = Measure(group->m_pNode);
    SizeToPlan(group->m_transform.first, measure.size);
    AxisSwapYZ(group->m_transform.position, measure.centre);
    SetVec3(group->m_transform.rotation, 0.0f, 0.0f, 0.0f);
    CopyVec3(group->m_transform.scale, object.m_transform.scale);
  }
}

SceneGroup* AddObjectGroup(Scene& scene, const LibraryObjectRequest& request) {
  SceneObjectSpec spec;
  spec.fileName = request.model;
  spec.name = request.name;
  spec.kind = request.kind;
  spec.word = request.category;
  spec.text = request.item;
  spec.flag = request.flag;
  spec.groupWord = request.loading;
  return scene.AddGroup(spec);
}

// Loads the file under a new movable below the first root; the node bears the object's name
// and its record. Null when the file gives no node.
WTnode* LoadObjectNodes(SceneGroup& group, const char* path, float unit) {
  WTnode* top = WTmovsepnode_new(WTuniverse_getrootnodes());
  if (!top) return nullptr;
  if (!WTnode_load(top, path, unit)) {
    WTnode_delete(top);
    return nullptr;
  }
  WTnode_setname(top, group.m_name);
  group.m_pNode = top;
  NewNodeUserData(top, kTagObject, &group, top, group.m_kind);
  return top;
}

}  // namespace

SceneGroup* InsertLibraryObject(Scene& scene, const LibraryObjectRequest& request, uint32_t modelKind) {
  if (request.kind != kKindRoom) return nullptr;
  SceneGroup* group = AddObjectGroup(scene, request);
  // Rooms are read where the export wrote them.
  const CString path = GetLibraryPath(request.model);
  ModelFileParts file = FileExists(path) ? ReadModelParts(path) : ModelFileParts();
  const float unit = modelKind == MODEL_EXTERIOR ? 1.0f : file.masterScale * kInchMillimetres;
  WTnode* top = file.read ? LoadObjectNodes(*group, path, unit) : nullptr;
  if (!top) {
    scene.RemoveNode(group, false);
    return nullptr;
  }
  const NodeMeasure own = MeasureWithoutDetached(top, file.parts, request.kind);
  group->m_transform.rotation[2] = TurnObject(top, request.rotation[2]);
  PlaceObject(top, request, group->m_transform);
  SizeObject(top, request, own.size, group->m_transform);
  NameParts(file.parts, group->m_name, top, request.kind);
  for (const PartRecord& part : file.parts) MakePart(scene, *group, part, top);
  MeasureChildGroups(*group);
  return group;
}

SceneGroup* LoadObjectFile(Scene& scene, const char* fileName, uint32_t kind, uint32_t kind2,
                           const ScenePlacement& placement, uint32_t modelKind, bool noModify) {
  PlanHost& host = GetPlanHost();
  const CString path = GetLibraryPath(fileName);
  if (!FileExists(path)) {
    host.ShowMessage(kCannotOpen, kPlanCaption, MB_TASKMODAL | MB_ICONQUESTION);
    return nullptr;
  }
  const CString name(fileName);
  if (name.GetLength() < 3 || name.Right(3).CompareNoCase("3ds") != 0) return nullptr;
  LibraryObjectRequest request;
  request.model = fileName;
  request.kind = kind;
  request.category = kind2;
  request.name = placement.name ? placement.name : "";
  SceneGroup* group = InsertLibraryObject(scene, request, modelKind);
  if (group && !noModify) host.SetModifiedFlag(TRUE);
  return group;
}

CString GetSceneObjectName(CObject* sceneObject) {
  auto* group = dynamic_cast<SceneGroup*>(sceneObject);
  return group ? group->m_name : CString();
}

CString GetSceneObjectFileName(CObject* sceneObject) {
  auto* group = dynamic_cast<SceneGroup*>(sceneObject);
  return group ? group->m_fileName : CString();
}

void RemoveSceneObject(Scene& scene, CObject* sceneObject) {
  scene.RemoveNode(dynamic_cast<SceneGroup*>(sceneObject), false);
}

void RemoveSceneObjectByName(Scene& scene, const char* name) {
  scene.RemoveNodeAt(scene.FindNodePositionByName(name), false);
}

void LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name) {
  auto* group = dynamic_cast<SceneGroup*>(sceneObject);
  if (!group) return;
  group->m_pPlanInstance = planObject;
  if (Room* room = dynamic_cast<Room*>(planObject)) group->m_pPlanRoom = room;
  if (name && *name) group->m_name = name;
}
