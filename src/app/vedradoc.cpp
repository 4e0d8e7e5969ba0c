#include "app/vedradoc.h"

#include "app/libfile.h"
#include "app/mainfrm.h"
#include "app/progresswnd.h"
#include "app/splash.h"
#include "app/vedra.h"
#include "view2d/frame2d.h"
#include "view3d/sim_standin.h"

IMPLEMENT_DYNCREATE(CVedraDoc, ModelDocument)

int g_frameMode = 0;

namespace {

constexpr const char kNotAModelFile[] = "적합한 TAVO Vedra 파일이 아닙니다.";
constexpr const char kAskSave[] = "현재 모델을 저장하시겠습니까?";
constexpr const char kSaveFailed[] = "모델을 저장하지 못했습니다.\n다른 이름이나 다른 폴더로 저장해 보십시오.";

CString FolderOf(const CString& path) { return path.Left(path.ReverseFind('\\') + 1); }

// The main window comes back after a model step stopped half-way (it was minimized, with the
// splash up, by the deferred start-up).
void ShowMainWindowAgain() {
  CSplashWnd::HideSplash();
  if (CMainFrame* frame = GetMainFrame()) {
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    frame->UpdateWindow();
  }
  AfxDoWaitCursor(0);
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
  CMainFrame* frame = GetMainFrame();
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
    ::MessageBoxA(frame ? frame->m_hWnd : nullptr, kNotAModelFile, kVedraCaption,
                  MB_TASKMODAL | MB_ICONQUESTION | MB_OK);
    if (frame) {
      frame->m_pDoc = nullptr;
      frame->m_modelKind = 0xFF00;
      frame->SendMessage(WM_VEDRA_LOADMODEL, 0xFF00, 0);
    }
    return FALSE;
  }
  m_fileState = FILE_NAMED;
  if (frame) {
    frame->m_pDoc = this;
    if (frame->CloseSimFrameFully()) frame->EnsureSimFrame(this);
  }
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
  if (m_pModel && !AskSaveModel()) {
    ShowMainWindowAgain();
    return 0;
  }
  auto* model = new Model;
  SetModel(model);
  ResetWorkState();
  m_fileState = FILE_NEW;
  CMainFrame* frame = GetMainFrame();
  if (frame) {
    frame->m_pDoc = this;
    frame->EnsureSimFrame(this);
    model->m_modelKind = frame->m_modelKind;
    frame->PostMessage(WM_VEDRA_MODELREADY, frame->m_modelKind == 0xFF01 ? 0xFF01 : 0xFF00, 0);
    frame->PostMessage(WM_VEDRA_PRESETLIGHTS, 0, 0);
  }
  SetModifiedFlag(FALSE);
  return 1;
}

int CVedraDoc::OpenStoredModel(const char* path, CProgressWnd* progress, uint32_t parameter) {
  CMainFrame* frame = GetMainFrame();
  if (frame) frame->m_pDoc = this;
  if (!OnOpenDocument(path)) return 0;
  if (frame) frame->m_modelKind = m_pModel->m_modelKind;
  SimShowExteriorControls(frame, m_pModel->m_modelKind);
  DetachAllNodes(m_pModel->m_scene);
  m_pModel->m_frame.ExportAllRooms(progress, static_cast<int>(parameter));
  LoadIntoSimulator(m_pModel->m_scene, progress, parameter);
  // The plan shown whole; the second pass settles the grid at the new zoom.
  if (frame && frame->m_pPlanFrame)
    for (int i = 0; i < 2; ++i) frame->m_pPlanFrame->GetPlanBar().OnFitAll();
  if (m_pModel->m_scene.m_lights.IsEmpty() && frame) frame->PostMessage(WM_VEDRA_PRESETLIGHTS, 0, 0);
  SetModifiedFlag(FALSE);
  return 1;
}

int CVedraDoc::AskSaveModel() {
  CMainFrame* frame = GetMainFrame();
  if (IsModified()) {
    int answer = ::MessageBoxA(frame ? frame->m_hWnd : nullptr, kAskSave, kVedraCaption,
                               MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_TASKMODAL);
    if (answer == IDCANCEL) return 0;
    if (answer == IDYES && !SaveModel(0, FALSE)) return 0;
  }
  ClearModelScene();
  SetModel(nullptr);
  SetModifiedFlag(FALSE);
  if (!frame) return 1;
  if (frame->m_pPlanFrame) frame->MDIActivate(frame->m_pPlanFrame);
  frame->m_pDoc = nullptr;
  frame->CloseSimFrame();
  frame->m_pSimFrame = nullptr;
  return 1;
}

int CVedraDoc::SaveModel(int, BOOL saveAs) {
  const CString oldTitle = GetTitle();
  const int oldState = m_fileState;
  CString path = oldTitle;
  CMainFrame* frame = GetMainFrame();
  if (m_fileState == FILE_NEW || saveAs) {
    CFileDialog dialog(FALSE, "tavo", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       " Tavo VEDRA Files(*.TAVO)|*.tavo||", frame);
    CString folder = frame ? frame->m_modelDir : CString();
    dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK) {
      if (frame && frame->m_pPlanFrame && frame->m_pPlanFrame->GetActiveView())
        frame->m_pPlanFrame->GetActiveView()->EnableWindow(TRUE);
      return 0;
    }
    m_fileState = FILE_NAMED;
    path = dialog.GetPathName();
    if (frame) frame->m_modelDir = FolderOf(path);
  }
  if (m_pModel) GetSelectedNodePose(m_pModel->m_scene.m_startView);
  SetTitle(path);
  if (!OnSaveDocument(path)) {
    SetTitle(oldTitle);
    m_fileState = oldState;
    ::MessageBoxA(frame ? frame->m_hWnd : nullptr, kSaveFailed, kVedraCaption, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
    return 0;
  }
  SetModifiedFlag(FALSE);
  return 1;
}

void CVedraDoc::ClearModelScene() {
  m_selection.ClearPlanSelection();
  CMainFrame* frame = GetMainFrame();
  if (frame && frame->m_pPlanFrame) frame->m_pPlanFrame->ClearWallUnderCursor();
  if (frame) SimClearSelection(frame->m_pSimFrame);
  if (!m_pModel) return;
  GetSelectedNodePose(m_pModel->m_scene.m_startView);
  DeleteNodeTree(WTuniverse_getrootnodes());
  DetachAllNodes(m_pModel->m_scene);
}

void CVedraDoc::ResetWorkState() {
  DeleteFolderTree(theApp, "");
  SetModifiedFlag(FALSE);
  if (CMainFrame* frame = GetMainFrame()) frame->m_activeFrame = ACTIVE_NONE;
}
