// The simulation scene held in a model: the objects placed in 3D (a tree of scene groups), the
// animation paths, the material tables and the lights, with the start view, the background
// colour, a text and two words. The 3D simulator fills and shows it; the model file stores it
// right after the plan.
//
// The objects (scene_node.h) live only while the program runs: the model file stores four empty
// lists with the scene's own fields (rooms come back from the plan when a model is opened), and
// a file whose scene holds objects of any kind cannot be read.
#pragma once
#include <cstdint>

#include "afx/afx.h"
#include "models/scene_node.h"

class Model;
class RelinkTable;

// What a new scene object is made with.
struct SceneObjectSpec {
  const char* fileName = "";  // the model file, relative to the library folder
  const char* name = "";      // empty: the new group's id as "%08x"
  uint32_t kind = 0;
  Room* planRoom = nullptr;
  uint32_t word = 0;
  SceneTransform transform;
  const char* text = "";
  bool flag = false;  // bit 31 of the group's flags
  uint32_t groupWord = 0;
};

class Scene : public CObject {
  DECLARE_SERIAL(Scene)
public:
  Scene() = default;
  explicit Scene(Model* owner) : m_pOwner(owner) {}
  // Removes every object (with its toolkit nodes), then deletes the other lists' elements.
  ~Scene() override;
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Stored form (scene.cpp), written in place by the model: the objects, self id, the start
  // view, then (from schema 3) the paths, the material tables, the background, the text and the
  // two words, then (from schema 4) the lights. Reading takes the schema stored for the model.
  void Serialize(CArchive& ar) override;
  // The relink walk and the after-load pass over the scene's objects: nothing while it holds
  // none.
  virtual void Relink(RelinkTable& table);
  virtual void AfterLoad();

  // A root group appended to the objects, after removing (without dependants) an object of
  // the same name.
  SceneGroup* AddGroup(const SceneObjectSpec& spec);
  // The position of this very object / of the first object of that name (null for an empty
  // name); null when there is none.
  POSITION FindNodePosition(const SceneGroup* group) const;
  POSITION FindNodePositionByName(const char* name) const;
  // The object of that name, else the first group of that name below the objects (depth first);
  // the position of the object it was found under goes to the out-argument when given.
  SceneGroup* FindGroupByName(const char* name, POSITION* objectPos = nullptr) const;
  // The first geometry of that name below the objects, likewise.
  SceneGeometry* FindGeometryByName(const char* name, POSITION* objectPos = nullptr) const;
  // Removes the object at the position: with dependants first the light boxes and ceiling
  // lights placed in it as a room; then its scratch files of the temporary folder (kept for a
  // room removed without dependants, whose new file bears its name); then the object and its
  // toolkit nodes. 0 for a null position.
  int RemoveNodeAt(POSITION pos, bool withDependants);
  int RemoveNode(SceneGroup* group, bool withDependants);
  // Removes (without dependants) every object whose name holds the text; returns how many.
  int RemoveNodesContaining(const char* text);
  // Removes every object with its toolkit nodes, then the paths, material tables and lights.
  int RemoveAll();
  // Forgets the toolkit nodes of every object, before the toolkit scene is built anew.
  void DetachAllNodes();
  SceneGroup* GetObjectAt(POSITION pos) const { return static_cast<SceneGroup*>(m_objects.GetAt(pos)); }

  Model* m_pOwner = nullptr;
  CObList m_objects{10};    // root scene groups, owned
  float m_startView[7] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};  // position, orientation
  CObList m_paths{10};      // owned
  CObList m_materials{10};  // material tables, owned
  uint32_t m_background = 0;
  CString m_text;
  uint32_t m_words[2] = {0, 0};
  CObList m_lights{10};  // owned
};
