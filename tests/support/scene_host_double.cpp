#include "scene_host_double.h"

#include "view3d/objectinsert.h"

CObject* SceneHost::LoadObjectFile(const char* fileName, int kind, int kind2, const ScenePlacement& placement) {
  return ::LoadObjectFile(scene, fileName, static_cast<uint32_t>(kind), static_cast<uint32_t>(kind2), placement,
                          modelKind, false);
}

void SceneHost::RemoveSceneObject(CObject* sceneObject) { ::RemoveSceneObject(scene, sceneObject); }

CString SceneHost::GetSceneObjectName(CObject* sceneObject) { return ::GetSceneObjectName(sceneObject); }

CString SceneHost::GetSceneObjectFileName(CObject* sceneObject) { return ::GetSceneObjectFileName(sceneObject); }

void SceneHost::LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name) {
  ::LinkSceneObject(sceneObject, planObject, name);
}
