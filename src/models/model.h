// The whole home model held by the document: the plan and the simulation scene, with the model's
// kind and six strings. The model file stores one Model after the document's header.
#pragma once
#include <cstdint>

#include "models/frame.h"
#include "models/scene.h"

class RelinkTable;

enum ModelKind : uint32_t {
  MODEL_INTERIOR = 0xFF00,
  MODEL_EXTERIOR = 0xFF01,
  MODEL_VRML_VIEW = 0xFF02,
  MODEL_RECOMMENDED = 0xFF03,
  MODEL_USER = 0xFF04,
};

class Model : public CObject {
  DECLARE_SERIAL(Model)
public:
  Model();
  // Destroys the strings, then the scene, then the plan.
  ~Model() override;
  Model(const Model&) = delete;
  Model& operator=(const Model&) = delete;

  // Stored form: the plan, the scene, self id, version, kind, the six strings, the last word.
  void Serialize(CArchive& ar) override;
  // Makes the model the owner of its scene and plan and relinks them, the scene first.
  virtual void Relink(RelinkTable& table);
  // The scene's after-load, then the plan's.
  virtual void AfterLoad();

  Frame m_frame;
  Scene m_scene;
  uint32_t m_version = 1;
  uint32_t m_modelKind = MODEL_INTERIOR;
  CString m_strings[6];
  uint32_t m_lastWord = 0;
};

// Reads the model's object reference (a Model or nothing else) into the pointer.
CArchive& ReadModelObject(CArchive& ar, Model*& model);

// One entry of a list of models.
class ModelInformation : public CObject {
  DECLARE_SERIAL(ModelInformation)
public:
  ModelInformation() = default;
  // Stored form: version, kind, the seven strings, the last word (no self id).
  void Serialize(CArchive& ar) override;

  uint32_t m_version = 1;
  uint32_t m_modelKind = MODEL_INTERIOR;
  CString m_strings[7];
  uint32_t m_lastWord = 0;
};

// A list of model descriptions, which it owns.
class ModelDatabase : public CObject {
  DECLARE_SERIAL(ModelDatabase)
public:
  ModelDatabase() = default;
  ~ModelDatabase() override;
  ModelDatabase(const ModelDatabase&) = delete;
  ModelDatabase& operator=(const ModelDatabase&) = delete;

  // Stored form: the list as a collection of ModelInformation objects.
  void Serialize(CArchive& ar) override;

  CObList m_list{10};  // ModelInformation, owned
};

// Links in the class record of every model class, so that each can be created from a file.
// Start-up calls it once; calling it again does nothing.
void RegisterModelClasses();
