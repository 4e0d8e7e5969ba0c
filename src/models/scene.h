// The simulation scene held in a model: the objects placed in 3D (a tree of scene groups), the
// animation paths, the material tables and the lights, with the start view, the background
// colour, a text and two words. The 3D simulator fills and shows it; the model file stores it
// right after the plan.
//
// The scene's object classes come with the 3D simulator. Until then a scene holds none: it
// stores four empty lists with its own fields, and a file whose scene holds objects of any kind
// cannot be read.
#pragma once
#include <cstdint>

#include "afx/afx.h"

class Model;
class RelinkTable;

class Scene : public CObject {
  DECLARE_SERIAL(Scene)
public:
  Scene() = default;
  explicit Scene(Model* owner) : m_pOwner(owner) {}
  // Deletes the elements of the four lists.
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
