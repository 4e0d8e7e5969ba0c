// The recording plan host with a real scene behind the plan's scene calls: rooms exported by
// the plan are inserted into the scene and the running toolkit universe as the 3D view does.
#pragma once
#include "models/scene.h"
#include "plan_host_double.h"

class SceneHost : public RecordingPlanHost {
public:
  CObject* LoadObjectFile(const char* fileName, int kind, int kind2, const ScenePlacement& placement) override;
  void RemoveSceneObject(CObject* sceneObject) override;
  CString GetSceneObjectName(CObject* sceneObject) override;
  CString GetSceneObjectFileName(CObject* sceneObject) override;
  void LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name) override;

  uint32_t modelKind = 0xFF00;
  Scene scene;
};
