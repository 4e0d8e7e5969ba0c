#include "models/scene.h"

#include <vector>

#include "models/fileutil.h"
#include "models/planhost.h"
#include "models/relink.h"
#include "models/room.h"

IMPLEMENT_SERIAL(Scene, CObject, VERSIONABLE_SCHEMA | 5)

namespace {

void DeleteAll(CObList& list) {
  while (!list.IsEmpty()) delete list.RemoveHead();
}

void WriteList(CArchive& ar, const CObList& list) {
  ar.WriteCount(static_cast<DWORD>(list.GetCount()));
  for (POSITION pos = list.GetHeadPosition(); pos != NULL;) ar.WriteObject(list.GetNext(pos));
}

// Objects of these kinds placed in a room go with the room.
constexpr uint32_t kKindRoom = 21;
constexpr uint32_t kKindCeilingLight = 309;
constexpr uint32_t kKindLightBox = 314;
constexpr uint32_t kFlagBit = 0x80000000u;

bool DependsOn(const SceneGroup& object, const SceneGroup& room) {
  return (object.m_kind == kKindLightBox || object.m_kind == kKindCeilingLight) && object.m_pPlanRoom &&
         object.m_pPlanRoom->m_pOwner == &room;
}

// Deletes the scratch files that bear the object's name: never for an empty name, and the name
// stands in the pattern as in the files' names, so the pattern stays in the temporary folder.
void DeleteScratchFiles(const CString& name) {
  const CString tempDir = GetTempDir();
  if (name.IsEmpty() || tempDir.IsEmpty()) return;
  GetPlanHost().DeleteFolderTree(tempDir + "*" + FileSafeName(name) + "*");
}

// Deletes an object, its parts' toolkit nodes, then its own node tree.
void DeleteObject(SceneGroup* object) {
  object->RemoveAllChildren();
  WTnode* shown = object->m_pNode;
  delete object;
  DeleteSceneNodeTree(shown);
}

// No class of scene object is known yet: any element makes the file one that cannot be read.
void ReadEmptyList(CArchive& ar) {
  if (ar.ReadCount() != 0) AfxThrowArchiveException(CArchiveException::badClass);
}

}  // namespace

Scene::~Scene() {
  RemoveAll();
  DeleteAll(m_paths);
  DeleteAll(m_materials);
  DeleteAll(m_lights);
}

void Scene::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    // The objects are not stored: the model's rooms are exported and shown again on opening.
    ar.WriteCount(0);
    WriteId(ar, this);
    for (float v : m_startView) ar << v;
    WriteList(ar, m_paths);
    WriteList(ar, m_materials);
    WriteWord(ar, m_background);
    ar << m_text;
    WriteWord(ar, m_words[0]);
    WriteWord(ar, m_words[1]);
    WriteList(ar, m_lights);
    return;
  }
  ReadEmptyList(ar);
  const UINT schema = ar.GetObjectSchema();
  ReadWord(ar);
  for (float& v : m_startView) ar >> v;
  if (schema < 3) return;
  ReadEmptyList(ar);
  ReadEmptyList(ar);
  m_background = ReadWord(ar);
  ar >> m_text;
  m_words[0] = ReadWord(ar);
  m_words[1] = ReadWord(ar);
  if (schema < 4) return;
  ReadEmptyList(ar);
}

void Scene::Relink(RelinkTable&) {}

void Scene::AfterLoad() {}

SceneGroup* Scene::AddGroup(const SceneObjectSpec& spec) {
  RemoveNodeAt(FindNodePositionByName(spec.name), false);
  auto* group = new SceneGroup;
  group->m_pRoot = group;
  group->m_name = spec.name;
  if (group->m_name.IsEmpty()) group->m_name.Format("%08x", static_cast<unsigned>(group->GetObjectId()));
  group->m_fileName = spec.fileName;
  group->m_kind = spec.kind;
  group->m_pPlanRoom = spec.planRoom;
  group->m_word = spec.word;
  group->m_transform = spec.transform;
  group->m_text = spec.text;
  group->m_flags = spec.flag ? kFlagBit : 0u;
  group->m_groupWord = spec.groupWord;
  m_objects.AddTail(group);
  return group;
}

POSITION Scene::FindNodePosition(const SceneGroup* group) const {
  return group ? m_objects.Find(const_cast<SceneGroup*>(group)) : nullptr;
}

POSITION Scene::FindNodePositionByName(const char* name) const {
  if (!name || !*name) return nullptr;
  for (POSITION pos = m_objects.GetHeadPosition(); pos;) {
    const POSITION here = pos;
    if (static_cast<const SceneGroup*>(m_objects.GetNext(pos))->m_name == name) return here;
  }
  return nullptr;
}

SceneGroup* Scene::FindGroupByName(const char* name, POSITION* objectPos) const {
  if (const POSITION pos = FindNodePositionByName(name)) {
    if (objectPos) *objectPos = pos;
    return GetObjectAt(pos);
  }
  if (!name || !*name) return nullptr;
  for (POSITION pos = m_objects.GetHeadPosition(); pos;) {
    const POSITION here = pos;
    if (SceneGroup* found = static_cast<const SceneGroup*>(m_objects.GetNext(pos))->FindGroupRecursive(name)) {
      if (objectPos) *objectPos = here;
      return found;
    }
  }
  return nullptr;
}

SceneGeometry* Scene::FindGeometryByName(const char* name, POSITION* objectPos) const {
  if (!name || !*name) return nullptr;
  for (POSITION pos = m_objects.GetHeadPosition(); pos;) {
    const POSITION here = pos;
    if (SceneGeometry* found =
            static_cast<const SceneGroup*>(m_objects.GetNext(pos))->FindGeometryRecursive(name)) {
      if (objectPos) *objectPos = here;
      return found;
    }
  }
  return nullptr;
}

int Scene::RemoveNodeAt(POSITION pos, bool withDependants) {
  if (!pos) return 0;
  SceneGroup* object = GetObjectAt(pos);
  if (withDependants) {
    std::vector<SceneGroup*> dependants;
    for (POSITION at = m_objects.GetTailPosition(); at;) {
      auto* other = static_cast<SceneGroup*>(m_objects.GetPrev(at));
      if (DependsOn(*other, *object)) dependants.push_back(other);
    }
    for (SceneGroup* dependant : dependants) RemoveNode(dependant, true);
    pos = FindNodePosition(object);
    if (!pos) return 1;
  }
  if (object->m_kind != kKindRoom || withDependants) DeleteScratchFiles(object->m_name);
  m_objects.RemoveAt(pos);
  DeleteObject(object);
  return 1;
}

int Scene::RemoveNode(SceneGroup* group, bool withDependants) {
  return RemoveNodeAt(FindNodePosition(group), withDependants);
}

int Scene::RemoveNodesContaining(const char* text) {
  if (!text || !*text) return 0;
  std::vector<SceneGroup*> found;
  for (POSITION pos = m_objects.GetHeadPosition(); pos;) {
    auto* object = static_cast<SceneGroup*>(m_objects.GetNext(pos));
    if (object->m_name.Find(text) >= 0) found.push_back(object);
  }
  for (SceneGroup* object : found) RemoveNode(object, false);
  return static_cast<int>(found.size());
}

int Scene::RemoveAll() {
  while (!m_objects.IsEmpty()) DeleteObject(static_cast<SceneGroup*>(m_objects.RemoveHead()));
  DeleteAll(m_paths);
  DeleteAll(m_materials);
  DeleteAll(m_lights);
  return 1;
}

void Scene::DetachAllNodes() {
  for (POSITION pos = m_objects.GetHeadPosition(); pos;)
    static_cast<SceneGroup*>(m_objects.GetNext(pos))->DetachNodes();
}
