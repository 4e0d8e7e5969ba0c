// Putting a model file into the running scene as a placed object: its scene group, its toolkit
// nodes under a new movable below the first root, placed, turned and sized as asked, split into
// parts by mesh, each node carrying its record. Rooms (kind 21) are read where the export wrote
// them; other kinds are not inserted yet.
//
// Also the scene calls of the plan, over a scene: the plan host forwards to them with the
// document's scene.
#pragma once
#include <cstdint>

#include "afx/afx.h"
#include "models/planhost.h"

class Scene;
class SceneGroup;
class SceneNode;

// What to insert and where.
struct LibraryObjectRequest {
  const char* model = "";  // the model file as the library keeps it (relative to its folder)
  uint32_t kind = 0;
  float size[3] = {0.0f, 0.0f, 0.0f};      // plan width, depth, height; zero: the model's own
  float position[3] = {0.0f, 0.0f, 0.0f};  // plan coordinates; zero: where the file puts it
  float rotation[3] = {0.0f, 0.0f, 0.0f};  // degrees; only the third (about the vertical) counts
  uint32_t category = 0;
  const char* item = "";
  bool flag = false;
  SceneNode* parent = nullptr;
  const char* name = "";  // empty: the new group's id as "%08x"
  uint32_t loading = 0;
};

// The new object, or null (nothing is left in the scene then). In an exterior model (modelKind
// MODEL_EXTERIOR) models load at scale 1 whatever their unit.
SceneGroup* InsertLibraryObject(Scene& scene, const LibraryObjectRequest& request, uint32_t modelKind);

// The view's loader: a file of the library folder that cannot be opened is reported (the
// message box of the plan host) and gives null; files that are not .3ds give null silently.
// Marks the document modified unless noModify.
SceneGroup* LoadObjectFile(Scene& scene, const char* fileName, uint32_t kind, uint32_t kind2,
                           const ScenePlacement& placement, uint32_t modelKind, bool noModify);

// The plan's calls into the scene (scene objects are the scene's root groups).
CString GetSceneObjectName(CObject* sceneObject);
CString GetSceneObjectFileName(CObject* sceneObject);
void RemoveSceneObject(Scene& scene, CObject* sceneObject);
void RemoveSceneObjectByName(Scene& scene, const char* name);
// A room's object stands for the room (plan instance and plan room); any other object for its
// plan object. A name, when given, becomes the object's name.
void LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name);
