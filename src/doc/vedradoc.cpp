#include "doc/vedradoc.h"

#include "doc/shell.h"
#include "doc/simulator.h"
#include "models/planhost.h"

IMPLEMENT_DYNCREATE(CVedraDoc, ModelDocument)

int g_frameMode = 0;

namespace {

constexpr const char kNotAModelFile[] = "적합한 TAVO Vedra 파일이 아닙니다.";
constexpr const char kAskSave[] = "현재 모델을 저장하시겠습니까?";
constexpr const char kSaveFailed[] = "모델을 저장하지 못했습니다.\n다른 이름이나 다른 폴더로 저장해 보십시오.";

CString FolderOf(const CString& path) { return path.Left(path.ReverseFind('\\') + 1); }

void PostStep(UINT step, WPARAM code) {
  if (CWnd* main = GetShell().GetMainWindow()) main->PostMessage(step, code, 0);
}

}  // namespace

CVedraDoc::CVedraDoc() = default;

CVedraDoc::~CVedraDoc() { m_relink.Free(); }

BOOL CVedraDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return FALSE;
  CreateNewModel("", nullptr, 0);
  return TRUE;
}

BOOL CVedraDoc::OnOpenDocument(LPCTSTR lpszPathName) {
  ShellServices& shell = GetShell();
  ResetWorkState();
  bool opened = false;
  try {
    opened = CDocument::OnOpenDocument(lpszPathName) != FALSE;
  } catch (const MyCodeException& e) {
    if (e.code != 1) throw;
  }
  if (!opened || !m_pModel) {
    // Whatever went wrong, the user hears that the file is not a model file and gets a new
    // interior model in its place.
    shell.ShowMessage(kNotAModelFile, MB_TASKMODAL | MB_ICONQUESTION | MB_OK);
    if (CWnd* main = shell.GetMainWindow()) {
      shell.SetCurrentDocument(nullptr);
      shell.SetModelKind(0xFF00);
      main->SendMessage(WM_VEDRA_LOADMODEL, 0xFF00, 0);
    }
    return FALSE;
  }
  m_fileState = FILE_NAMED;
  shell.SetCurrentDocument(this);
  if (shell.CloseSimFrameFully()) shell.EnsureSimFrame(this);
  return TRUE;
}

void CVedraDoc::OnCloseDocument() {
  m_selection.ClearPlanSelection();
  CDocument::OnCloseDocument();
}

int CVedraDoc::CreateNewModel(const char* path, CProgressWnd* progress, uint32_t parameter) {
  g_frameMode = 2;
  if (path && *path) return OpenStoredModel(path, progress, parameter);
  return CreateEmptyModel();
}

int CVedraDoc::CreateEmptyModel() {
  ShellServices& shell = GetShell();
  if (m_pModel && !AskSaveModel()) {
    shell.ShowMainWindowAgain();
    return 0;
  }
  auto* model = new Model;
  SetModel(model);
  ResetWorkState();
  m_fileState = FILE_NEW;
  if (shell.GetMainWindow()) {
    shell.SetCurrentDocument(this);
    shell.EnsureSimFrame(this);
    model->m_modelKind = shell.GetModelKind();
    PostStep(WM_VEDRA_MODELREADY, model->m_modelKind == 0xFF01 ? SWITCH_3D : SWITCH_PLAN);
    PostStep(WM_VEDRA_PRESETLIGHTS, 0);
  }
  SetModifiedFlag(FALSE);
  return 1;
}

int CVedraDoc::OpenStoredModel(const char* path, CProgressWnd* progress, uint32_t parameter) {
  ShellServices& shell = GetShell();
  SimulatorServices& simulator = GetSimulator();
  shell.SetCurrentDocument(this);
  if (!OnOpenDocument(path)) return 0;
  shell.SetModelKind(m_pModel->m_modelKind);
  simulator.ShowExteriorControls(m_pModel->m_modelKind);
  simulator.DetachAllNodes(m_pModel->m_scene);
  m_pModel->m_frame.ExportAllRooms(progress, static_cast<int>(parameter));
  simulator.LoadIntoSimulator(m_pModel->m_scene, progress, parameter);
  // The plan shown whole; the second pass settles the grid at the new zoom.
  for (int i = 0; i < 2; ++i) shell.FitPlanView();
  if (m_pModel->m_scene.m_lights.IsEmpty()) PostStep(WM_VEDRA_PRESETLIGHTS, 0);
  SetModifiedFlag(FALSE);
  return 1;
}

int CVedraDoc::AskSaveModel() {
  if (IsModified()) {
    int answer = GetShell().ShowMessage(kAskSave, MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_TASKMODAL);
    if (answer == IDCANCEL) return 0;
    if (answer == IDYES && !SaveModel(0, FALSE)) return 0;
  }
  ClearModelScene();
  SetModel(nullptr);
  SetModifiedFlag(FALSE);
  GetShell().ModelReleased();
  return 1;
}

int CVedraDoc::SaveModel(int, BOOL saveAs) {
  const CString oldTitle = GetTitle();
  const int oldState = m_fileState;
  CString path = oldTitle;
  ShellServices& shell = GetShell();
  if (m_fileState == FILE_NEW || saveAs) {
    CFileDialog dialog(FALSE, "tavo", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       " Tavo VEDRA Files(*.TAVO)|*.tavo||", shell.GetMainWindow());
    const CString folder = shell.GetModelFolder();
    dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK) {
      shell.EnablePlanView();
      return 0;
    }
    m_fileState = FILE_NAMED;
    path = dialog.GetPathName();
    shell.SetModelFolder(FolderOf(path));
  }
  if (m_pModel) GetSimulator().GetSelectedNodePose(m_pModel->m_scene.m_startView);
  SetTitle(path);
  if (!OnSaveDocument(path)) {
    SetTitle(oldTitle);
    m_fileState = oldState;
    shell.ShowMessage(kSaveFailed, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return 0;
  }
  SetModifiedFlag(FALSE);
  return 1;
}

void CVedraDoc::ClearModelScene() {
  m_selection.ClearPlanSelection();
  SimulatorServices& simulator = GetSimulator();
  GetShell().ClearWallUnderCursor();
  simulator.ClearSelection();
  if (!m_pModel) return;
  simulator.GetSelectedNodePose(m_pModel->m_scene.m_startView);
  simulator.DeleteNodeTree(WTuniverse_getrootnodes());
  simulator.DetachAllNodes(m_pModel->m_scene);
}

void CVedraDoc::ResetWorkState() {
  GetPlanHost().DeleteFolderTree("");
  SetModifiedFlag(FALSE);
  GetShell().SetActiveFrame(ACTIVE_NONE);
}
