#include "app/apphost.h"

#include "app/mainfrm.h"
#include "app/progresswnd.h"
#include "app/vedra.h"
#include "doc/vedradoc.h"
#include "models/libraryfile.h"
#include "models/model.h"
#include "models/planhost.h"
#include "models/room.h"
#include "view2d/frame2d.h"
#include "view3d/objectinsert.h"

namespace {

CVedraDoc* CurrentDocument() {
  CMainFrame* frame = GetMainFrame();
  return frame ? frame->m_pDoc : nullptr;
}

// The current model's scene; null without one.
Scene* CurrentScene() {
  CVedraDoc* doc = CurrentDocument();
  Model* model = doc ? doc->GetModel() : nullptr;
  return model ? &model->m_scene : nullptr;
}

// A field of the plan frame's bar; null while there is none.
CWnd* PlanBarField(int id) {
  CMainFrame* frame = GetMainFrame();
  return frame && frame->m_pPlanFrame ? frame->m_pPlanFrame->GetPlanBarButton(static_cast<UINT>(id)) : nullptr;
}

class ApplicationHost : public PlanHost {
public:
  int ShowMessage(const char* text, const char* caption, unsigned type) override {
    CMainFrame* frame = GetMainFrame();
    return ::MessageBoxA(frame ? frame->m_hWnd : nullptr, text, caption ? caption : kVedraCaption, type);
  }
  int ShowUnownedMessage(const char* text, const char* caption, unsigned type) override {
    return ShowMessageOwnedBy(nullptr, text, caption, type);
  }
  int ShowMessageOwnedBy(void* owner, const char* text, const char* caption, unsigned type) override {
    return ::MessageBoxA(static_cast<HWND>(owner), text, caption ? caption : kVedraCaption, type);
  }
  int GetCreationState() override { return g_frameMode; }
  void SetModifiedFlag(BOOL modified) override {
    if (CVedraDoc* doc = CurrentDocument()) doc->SetModifiedFlag(modified);
  }
  void SelectWall(Wall* wall, int mode) override {
    if (CVedraDoc* doc = CurrentDocument()) doc->SelectWall(wall, mode);
  }
  void DeselectRoom(Room* room) override {
    if (CVedraDoc* doc = CurrentDocument()) doc->GetSelection().DeselectRoom(room);
  }
  CString GetControlText(int id) override {
    CString text;
    if (CWnd* field = PlanBarField(id)) field->GetWindowText(text);
    return text;
  }
  void SetControlText(int id, const char* text) override {
    if (CWnd* field = PlanBarField(id)) field->SetWindowText(text);
  }
  CString GetSceneObjectName(CObject* sceneObject) override { return ::GetSceneObjectName(sceneObject); }
  void RemoveSceneObject(CObject* sceneObject) override {
    if (Scene* scene = CurrentScene()) ::RemoveSceneObject(*scene, sceneObject);
  }
  void RemoveSceneObjectByName(const char* name) override {
    if (Scene* scene = CurrentScene()) ::RemoveSceneObjectByName(*scene, name);
  }
  int RemoveSceneObjectsContaining(const char* text) override {
    Scene* scene = CurrentScene();
    return scene ? scene->RemoveNodesContaining(text) : 0;
  }
  CObject* LoadObjectFile(const char* fileName, int kind, int kind2, const ScenePlacement& placement) override {
    Scene* scene = CurrentScene();
    CMainFrame* frame = GetMainFrame();
    if (!scene || !frame) return nullptr;
    return ::LoadObjectFile(*scene, fileName, static_cast<uint32_t>(kind), static_cast<uint32_t>(kind2), placement,
                            frame->m_modelKind, false);
  }
  CString GetSceneObjectFileName(CObject* sceneObject) override { return ::GetSceneObjectFileName(sceneObject); }
  void LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name) override {
    ::LinkSceneObject(sceneObject, planObject, name);
  }
  CString GetLibDir() override {
    CString dir;
    ::GetLibDir(theApp, dir);
    return dir;
  }
  CString GetDatabaseDir() override {
    CString dir;
    theApp.GetDatabaseDir(dir);
    return dir;
  }
  void DeleteFolderTree(const char* pattern) override { ::DeleteFolderTree(pattern); }
  LibraryDatabaseList* GetLibraryList() override { return theApp.m_library.list; }
  void ProgressSetRange(CProgressWnd* progress, int low, int high, int step) override {
    if (progress) progress->SetRange(low, high, step);
  }
  void ProgressSetText(CProgressWnd* progress, const char* text) override {
    if (progress) progress->SetText("%s", text);
  }
  void ProgressSetPos(CProgressWnd* progress, int pos) override {
    if (progress) progress->SetPos(pos);
  }
  void ProgressStepIt(CProgressWnd* progress) override {
    if (progress) progress->StepIt();
  }
};

ApplicationHost g_host;

}  // namespace

void InstallApplicationHost() { SetPlanHost(&g_host); }
