// The objects of the simulation scene: a placed object or room is a tree of scene groups whose
// leaves are scene geometries, one per mesh of its model. Each node keeps the toolkit node that
// shows it while the scene is loaded into the simulator.
//
// The toolkit's node trees are deleted through a deleter that the 3D simulator installs (it
// knows the records hung on the nodes); until then deleting a scene node leaves its toolkit
// nodes alone.
#pragma once
#include <cstdint>

#include "afx/afx.h"

typedef struct WTnode WTnode;
class Room;
class SceneGroup;

// Deletes a toolkit node with everything below it.
using NodeTreeDeleter = void (*)(WTnode* node);
// Installs the deleter (null: none).
void SetNodeTreeDeleter(NodeTreeDeleter deleter);
// Runs the installed deleter on the node (nothing for a null node or without a deleter).
void DeleteSceneNodeTree(WTnode* node);

// The twelve values of a scene node, in plan axes: a first triple, the position that moving the
// node keeps up to date, the rotation angles in degrees (the third about the vertical) and the
// scale factors.
struct SceneTransform {
  float first[3] = {0.0f, 0.0f, 0.0f};
  float position[3] = {0.0f, 0.0f, 0.0f};
  float rotation[3] = {0.0f, 0.0f, 0.0f};
  float scale[3] = {1.0f, 1.0f, 1.0f};
};

class SceneNode : public CObject {
  DECLARE_DYNAMIC(SceneNode)
public:
  SceneNode() = default;
  ~SceneNode() override = default;
  SceneNode(const SceneNode&) = delete;
  SceneNode& operator=(const SceneNode&) = delete;

  CString GetName() const { return m_name; }
  CString GetFileName() const { return m_fileName; }
  // The parent's name, or an empty text for a node without a parent.
  CString GetParentName() const;

  WTnode* m_pNode = nullptr;         // the toolkit node that shows it, not owned
  SceneGroup* m_pRoot = nullptr;     // the object it belongs to; a root group points to itself
  SceneGroup* m_pParent = nullptr;   // null for a root
  Room* m_pPlanRoom = nullptr;       // the plan room that holds the object
  uint32_t m_word = 0;               // copied from the root to each new part
  CString m_fileName;                // the object's model file, relative to the library folder
  CString m_name;
  CString m_text;                    // copied from the root to each new part
  SceneTransform m_transform;
};

// What a part's geometry takes from the mesh it was built from.
struct ScenePart {
  uint32_t kind = 0;  // for room parts 22 ceiling, 23 floor, 24 wall, 25 moulding
  SceneTransform transform;
};

class SceneGeometry : public SceneNode {
  DECLARE_DYNAMIC(SceneGeometry)
public:
  SceneGeometry() = default;
  ~SceneGeometry() override = default;

  SceneGeometry* m_pShared = nullptr;  // a geometry of the same group whose mapping it shares
  CString m_meshMaterial;              // the material name of the mesh in its model file
  CString m_material;                  // the library material given to the part
  uint32_t m_materialId = 0;           // library category of that material (305 paint colour)
  uint32_t m_materialWord = 0;
  uint32_t m_mapping[2] = {0, 0};
  uint32_t m_partKind = 0;
  uint32_t m_partWord = 0;
  uint32_t m_keyframe = 3;             // motion setting, low four bits
  uint32_t m_textureMapping[9] = {};
  CObject* m_pMaterialTable = nullptr;  // owned by the scene's material tables
};

class SceneGroup : public SceneNode {
  DECLARE_DYNAMIC(SceneGroup)
public:
  SceneGroup() = default;
  // Deletes the child groups and geometries (their toolkit nodes stay).
  ~SceneGroup() override;

  // A child group taking the root's shared fields, the name, file, node and values given; a
  // child group of that name is replaced.
  SceneGroup* AddChildGroup(const char* fileName, const char* name, WTnode* node,
                            const SceneTransform& transform);
  // A geometry of that name (replacing one of the same name) with what the part gives.
  SceneGeometry* AddGeometry(const char* name, const ScenePart* part);

  SceneGroup* GetChildGroupAt(int i) const;
  SceneGeometry* GetGeometryAt(int i) const;
  int GetChildGroupCount() const { return static_cast<int>(m_children.GetCount()); }
  int GetGeometryCount() const { return static_cast<int>(m_geometries.GetCount()); }
  // Positions of the direct children of that name (null for an empty name or none).
  POSITION FindChildGroupByName(const char* name) const;
  POSITION FindGeometryByName(const char* name) const;
  // Direct children first, then each child group's sub-tree in order; null when none.
  SceneGroup* FindGroupRecursive(const char* name) const;
  SceneGeometry* FindGeometryRecursive(const char* name) const;

  // Remove a child at the position with the geometries that share it and its toolkit nodes;
  // 0 for a null position.
  int RemoveChildGroup(POSITION pos);
  int RemoveGeometry(POSITION pos);
  // Removes every geometry and child group with their toolkit nodes.
  void RemoveAllChildren();

  // Geometries plus child groups, over the whole sub-tree.
  int CountGroups() const;
  // Forgets the toolkit nodes of the group and its sub-tree.
  void DetachNodes();

  CObject* m_pPlanInstance = nullptr;  // the plan object the group stands for
  uint32_t m_kind = 0;                 // object kind: 21 room, 101-103 doors and windows, ...
  uint32_t m_groupWord = 0;
  uint32_t m_flags = 0;
  CObList m_children{10};    // SceneGroup, owned
  CObList m_geometries{10};  // SceneGeometry, owned

private:
  // Deletes the geometries of a group whose shared geometry is the one given.
  void RemoveSharing(const SceneGeometry* shared);
};
