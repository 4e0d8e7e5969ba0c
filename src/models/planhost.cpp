#include "models/planhost.h"

namespace {

PlanHost g_idleHost;
PlanHost* g_host = nullptr;

}  // namespace

PlanSettings& GetPlanSettings() {
  static PlanSettings settings;
  return settings;
}

PlanHost& GetPlanHost() { return g_host ? *g_host : g_idleHost; }

void SetPlanHost(PlanHost* host) { g_host = host; }

void CollectRoomMaterials(CObject* sceneObject) { GetPlanHost().CollectRoomMaterials(sceneObject); }

int PlanHost::ShowMessage(const char*, const char*, unsigned) { return IDOK; }
int PlanHost::GetCreationState() { return 0; }
void PlanHost::SetModifiedFlag(BOOL) {}
void PlanHost::SelectWall(Wall*, int) {}
void PlanHost::DeselectRoom(Room*) {}
CString PlanHost::GetControlText(int) { return CString(); }
void PlanHost::SetControlText(int, const char*) {}
CString PlanHost::GetSceneObjectName(CObject*) { return CString(); }
void PlanHost::RemoveSceneObject(CObject*) {}
void PlanHost::RemoveSceneObjectByName(const char*) {}
int PlanHost::RemoveSceneObjectsContaining(const char*) { return 0; }
void PlanHost::CollectRoomMaterials(CObject*) {}
void PlanHost::ExportRoom(Room*, Room*, const char*, Mesh*, int, int, int, CProgressWnd*, int) {}
void PlanHost::ProgressSetRange(CProgressWnd*, int, int, int) {}
void PlanHost::ProgressSetText(CProgressWnd*, const char*) {}
void PlanHost::ProgressSetPos(CProgressWnd*, int) {}
