#include "models/planhost.h"

#include <algorithm>
#include <cstring>

namespace {

PlanHost g_idleHost;
PlanHost* g_host = nullptr;

}  // namespace

PlanSettings& GetPlanSettings() {
  static PlanSettings settings;
  return settings;
}

int32_t ParseBarMillimetres(const char* text) {
  if (!text) return 0;
  if (!strcmp(text, "-") || !strcmp(text, "-mm") || !strcmp(text, "-0mm")) return -10;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = std::min<int64_t>(value * 10 + (*p - '0'), kBarLengthLimit);
  return static_cast<int32_t>(negative ? -value : value);
}

PlanHost& GetPlanHost() { return g_host ? *g_host : g_idleHost; }

void SetPlanHost(PlanHost* host) { g_host = host; }

CString GetLibDir() { return GetPlanHost().GetLibDir(); }

CString GetTempDir() {
  CString dir = GetLibDir();
  if (dir.IsEmpty()) return dir;
  return dir + "temp" + CString(kPathSeparator, 1);
}

CString GetLibraryPath(const char* relative) {
  CString path = GetLibDir() + relative;
  path.Replace('\\', kPathSeparator);
  return path;
}

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
int PlanHost::ShowUnownedMessage(const char*, const char*, unsigned) { return IDOK; }
int PlanHost::ShowMessageOwnedBy(void*, const char* text, const char* caption, unsigned type) {
  return ShowUnownedMessage(text, caption, type);
}
CObject* PlanHost::LoadObjectFile(const char*, int, int, const ScenePlacement&) { return nullptr; }
CString PlanHost::GetSceneObjectFileName(CObject*) { return CString(); }
void PlanHost::LinkSceneObject(CObject*, CObject*, const char*) {}
CString PlanHost::GetLibDir() { return CString(); }
CString PlanHost::GetDatabaseDir() { return CString(); }
void PlanHost::DeleteFolderTree(const char*) {}
LibraryDatabaseList* PlanHost::GetLibraryList() { return nullptr; }
void PlanHost::ProgressStepIt(CProgressWnd*) {}
void PlanHost::ProgressSetRange(CProgressWnd*, int, int, int) {}
void PlanHost::ProgressSetText(CProgressWnd*, const char*) {}
void PlanHost::ProgressSetPos(CProgressWnd*, int) {}
