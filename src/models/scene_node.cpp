#include "models/scene_node.h"

IMPLEMENT_DYNAMIC(SceneNode, CObject)
IMPLEMENT_DYNAMIC(SceneGeometry, SceneNode)
IMPLEMENT_DYNAMIC(SceneGroup, SceneNode)

namespace {

NodeTreeDeleter g_deleter = nullptr;

template <class T>
T* ElementAt(const CObList& list, int i) {
  const POSITION pos = i < 0 ? nullptr : list.FindIndex(i);
  return pos ? static_cast<T*>(list.GetAt(pos)) : nullptr;
}

POSITION FindByName(const CObList& list, const char* name) {
  if (!name || !*name) return nullptr;
  for (POSITION pos = list.GetHeadPosition(); pos;) {
    const POSITION here = pos;
    if (static_cast<const SceneNode*>(list.GetNext(pos))->m_name == name) return here;
  }
  return nullptr;
}

// Deletes a scene node, then the toolkit nodes that showed it (the handle is taken first).
void DeleteWithNodes(SceneNode* node) {
  WTnode* shown = node->m_pNode;
  delete node;
  DeleteSceneNodeTree(shown);
}

}  // namespace

void SetNodeTreeDeleter(NodeTreeDeleter deleter) { g_deleter = deleter; }

void DeleteSceneNodeTree(WTnode* node) {
  if (node && g_deleter) g_deleter(node);
}

CString SceneNode::GetParentName() const { return m_pParent ? m_pParent->m_name : CString(); }

SceneGroup::~SceneGroup() {
  while (!m_geometries.IsEmpty()) delete m_geometries.RemoveHead();
  while (!m_children.IsEmpty()) delete m_children.RemoveHead();
}

SceneGroup* SceneGroup::AddChildGroup(const char* fileName, const char* name, WTnode* node,
                                      const SceneTransform& transform) {
  RemoveChildGroup(FindChildGroupByName(name));
  auto* group = new SceneGroup;
  const SceneGroup& root = m_pRoot ? *m_pRoot : *this;
  group->m_pRoot = m_pRoot;
  group->m_pParent = this;
  group->m_pPlanInstance = root.m_pPlanInstance;
  group->m_pPlanRoom = root.m_pPlanRoom;
  group->m_kind = root.m_kind;
  group->m_word = root.m_word;
  group->m_groupWord = root.m_groupWord;
  group->m_flags = root.m_flags;
  group->m_text = root.m_text;
  group->m_name = name;
  group->m_fileName = fileName;
  group->m_pNode = node;
  group->m_transform = transform;
  m_children.AddTail(group);
  return group;
}

SceneGeometry* SceneGroup::AddGeometry(const char* name, const ScenePart* part) {
  RemoveGeometry(FindGeometryByName(name));
  auto* geometry = new SceneGeometry;
  geometry->m_pRoot = m_pRoot;
  geometry->m_pParent = this;
  if (m_pRoot) {
    geometry->m_pPlanRoom = m_pRoot->m_pPlanRoom;
    geometry->m_word = m_pRoot->m_word;
    geometry->m_text = m_pRoot->m_text;
  }
  geometry->m_name = name;
  if (part) {
    geometry->m_partKind = part->kind;
    geometry->m_transform = part->transform;
  }
  m_geometries.AddTail(geometry);
  return geometry;
}

SceneGroup* SceneGroup::GetChildGroupAt(int i) const { return ElementAt<SceneGroup>(m_children, i); }

SceneGeometry* SceneGroup::GetGeometryAt(int i) const {
  return ElementAt<SceneGeometry>(m_geometries, i);
}

POSITION SceneGroup::FindChildGroupByName(const char* name) const { return FindByName(m_children, name); }

POSITION SceneGroup::FindGeometryByName(const char* name) const {
  return FindByName(m_geometries, name);
}

SceneGroup* SceneGroup::FindGroupRecursive(const char* name) const {
  if (const POSITION pos = FindChildGroupByName(name)) return static_cast<SceneGroup*>(m_children.GetAt(pos));
  for (POSITION pos = m_children.GetHeadPosition(); pos;)
    if (SceneGroup* found = static_cast<const SceneGroup*>(m_children.GetNext(pos))->FindGroupRecursive(name))
      return found;
  return nullptr;
}

SceneGeometry* SceneGroup::FindGeometryRecursive(const char* name) const {
  if (const POSITION pos = FindGeometryByName(name))
    return static_cast<SceneGeometry*>(m_geometries.GetAt(pos));
  for (POSITION pos = m_children.GetHeadPosition(); pos;)
    if (SceneGeometry* found =
            static_cast<const SceneGroup*>(m_children.GetNext(pos))->FindGeometryRecursive(name))
      return found;
  return nullptr;
}

int SceneGroup::RemoveChildGroup(POSITION pos) {
  if (!pos) return 0;
  auto* group = static_cast<SceneGroup*>(m_children.GetAt(pos));
  m_children.RemoveAt(pos);
  DeleteWithNodes(group);
  return 1;
}

void SceneGroup::RemoveSharing(const SceneGeometry* shared) {
  for (POSITION pos = m_geometries.GetHeadPosition(); pos;) {
    const POSITION here = pos;
    auto* geometry = static_cast<SceneGeometry*>(m_geometries.GetNext(pos));
    if (geometry->m_pShared != shared) continue;
    m_geometries.RemoveAt(here);
    DeleteWithNodes(geometry);
  }
}

int SceneGroup::RemoveGeometry(POSITION pos) {
  if (!pos) return 0;
  auto* geometry = static_cast<SceneGeometry*>(m_geometries.GetAt(pos));
  m_geometries.RemoveAt(pos);
  RemoveSharing(geometry);
  DeleteWithNodes(geometry);
  return 1;
}

void SceneGroup::RemoveAllChildren() {
  while (!m_geometries.IsEmpty()) DeleteWithNodes(static_cast<SceneNode*>(m_geometries.RemoveHead()));
  while (!m_children.IsEmpty()) DeleteWithNodes(static_cast<SceneNode*>(m_children.RemoveHead()));
}

int SceneGroup::CountGroups() const {
  int count = GetGeometryCount() + GetChildGroupCount();
  for (POSITION pos = m_children.GetHeadPosition(); pos;)
    count += static_cast<const SceneGroup*>(m_children.GetNext(pos))->CountGroups();
  return count;
}

void SceneGroup::DetachNodes() {
  m_pNode = nullptr;
  for (POSITION pos = m_geometries.GetHeadPosition(); pos;)
    static_cast<SceneNode*>(m_geometries.GetNext(pos))->m_pNode = nullptr;
  for (POSITION pos = m_children.GetHeadPosition(); pos;)
    static_cast<SceneGroup*>(m_children.GetNext(pos))->DetachNodes();
}
