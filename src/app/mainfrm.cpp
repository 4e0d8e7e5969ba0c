#include "app/mainfrm.h"

#include <shellapi.h>

#include "app/progresswnd.h"
#include "app/splash.h"
#include "app/vedra.h"
#include "doc/vedradoc.h"
#include "models/planhost.h"
#include "res/resource.h"
#include "view2d/frame2d.h"
#include "view3d/frame3d.h"
#include "view3d/simwindow.h"

IMPLEMENT_DYNCREATE(CMainFrame, CMDIFrameWnd)

namespace {

CMainFrame* g_mainFrame = nullptr;

constexpr const char kStartLoading[] = "초기화를 시작합니다";
constexpr const char kNoSimFrame[] = "3D 화면을 준비하지 못했습니다.\n평면 화면으로 계속합니다.";
// How often a 3D frame that will not come or go is asked before the plan frame carries on.
constexpr int kSimFrameTries = 8;

}  // namespace

CMainFrame* GetMainFrame() { return g_mainFrame; }

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_WM_GETMINMAXINFO()
  ON_WM_CLOSE()
  ON_WM_DROPFILES()
  ON_MESSAGE(WM_VEDRA_LOADMODEL, OnLoadModel)
  ON_MESSAGE(WM_VEDRA_MODELREADY, OnModelReady)
  ON_MESSAGE(WM_VEDRA_LIBRARY, OnLibraryMessage)
  ON_MESSAGE(WM_VEDRA_LIBRARYADD, OnLibraryAdd)
  ON_MESSAGE(WM_VEDRA_PRESETLIGHTS, OnPresetLights)
  ON_COMMAND_RANGE(ID_HELP_TOPICS, ID_KOREAN_ONLY_2, OnMenuCommand)
  ON_UPDATE_COMMAND_UI(ID_VIEW_CAMERA_BUTTONS, OnUpdateCameraButtons)
  ON_UPDATE_COMMAND_UI(ID_VIEW_FULL_SCREEN, OnUpdateFullScreen)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() {
  g_mainFrame = this;
  SetShell(this);
  theApp.GetWorksDir(m_modelDir);
  m_pRoot = WTrootnode_new();
  if (m_pRoot) WTnode_setname(m_pRoot, "Root");
}

CMainFrame::~CMainFrame() {
  if (&GetShell() == this) SetShell(nullptr);
  if (g_mainFrame == this) g_mainFrame = nullptr;
}

// ---- the shell that the document and the views ask

int CMainFrame::ShowMessage(const char* text, UINT type) {
  return ::MessageBoxA(m_hWnd, text, kVedraCaption, type);
}

// The main window comes back after a model step stopped half-way (it was minimized, with the
// splash up, by the deferred start-up).
void CMainFrame::ShowMainWindowAgain() {
  CSplashWnd::HideSplash();
  ShowWindow(SW_SHOWMAXIMIZED);
  UpdateWindow();
  AfxDoWaitCursor(0);
}

void CMainFrame::AttachFrame(int which, CMDIChildWnd* frame) {
  if (which == ACTIVE_PLAN) m_pPlanFrame = DYNAMIC_DOWNCAST(C2DFrame, frame);
  if (which == ACTIVE_3D) m_pSimFrame = DYNAMIC_DOWNCAST(C3DFrame, frame);
}

void CMainFrame::DetachFrame(int which, CMDIChildWnd* frame) {
  if (which == ACTIVE_PLAN && m_pPlanFrame == frame) m_pPlanFrame = nullptr;
  if (which == ACTIVE_3D && m_pSimFrame == frame) m_pSimFrame = nullptr;
}

void CMainFrame::ModelReleased() {
  if (m_pPlanFrame) MDIActivate(m_pPlanFrame);
  m_pDoc = nullptr;
  CloseSimFrame();
  m_pSimFrame = nullptr;
}

void CMainFrame::RefreshSimView(int state) { ::RefreshSimView(state); }

void CMainFrame::FitPlanView() {
  if (m_pPlanFrame) m_pPlanFrame->GetPlanBar().OnFitAll();
}

void CMainFrame::ClearWallUnderCursor() {
  if (m_pPlanFrame) m_pPlanFrame->ClearWallUnderCursor();
}

void CMainFrame::EnablePlanView() {
  if (CView* view = m_pPlanFrame ? m_pPlanFrame->GetActiveView() : nullptr) view->EnableWindow(TRUE);
}

PlanWindowSettings& CMainFrame::GetPlanWindowSettings() { return theApp.m_plan; }

CMDIChildWnd* CMainFrame::GetSimFrame() { return m_pSimFrame; }

SimGridSettings& CMainFrame::GetSimGridSettings() { return theApp.m_simGrid; }

SimWindowSettings& CMainFrame::GetSimWindowSettings() { return theApp.m_simWindow; }

SimDeviceSettings& CMainFrame::GetSimDeviceSettings() { return theApp.m_simDevice; }

int CMainFrame::GetWindowMode() { return theApp.m_windowMode; }

WTsensor* CMainFrame::GetMouseSensor() { return theApp.m_pMouseSensor; }

CString CMainFrame::GetSystemDir() {
  CString dir;
  ::GetSystemDir(theApp, dir);
  return dir;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style &= (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME);
  cs.style |= WS_POPUP | WS_MAXIMIZE | WS_CAPTION | WS_SYSMENU;
  cs.x = 0;
  cs.y = 0;
  cs.cx = ::GetSystemMetrics(SM_CXSCREEN);
  cs.cy = ::GetSystemMetrics(SM_CYSCREEN);
  if (cs.hMenu) ::DestroyMenu(cs.hMenu);
  cs.hMenu = nullptr;
  return CMDIFrameWnd::PreCreateWindow(cs);
}

BOOL CMainFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  return CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext*) { return CreateClient(lpcs, nullptr); }

int CMainFrame::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CMDIFrameWnd::OnCreate(lpcs) == -1) return -1;
  CSplashWnd::ShowSplash(nullptr);
  DragAcceptFiles(TRUE);
  return 0;
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = 1024;
  info->ptMinTrackSize.y = 70;
  Default();
  info->ptMinTrackSize.x = 1024;
  info->ptMinTrackSize.y = 70;
}

void CMainFrame::OnClose() {
  auto* doc = DYNAMIC_DOWNCAST(CVedraDoc, GetActiveDocument());
  if (!m_printing && doc && doc->GetModel() && !doc->AskSaveModel()) return;
  CMDIFrameWnd::OnClose();
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
  const BOOL routed = CMDIFrameWnd::OnCommand(wParam, lParam);
  if (!m_pDoc) return routed;
  const UINT code = LOWORD(wParam);
  if (code == SWITCH_PLAN || code == SWITCH_PLAN_MIN) SwitchToPlan(code);
  if (code == SWITCH_3D || code == SWITCH_3D_MIN) SwitchTo3D(code);
  return routed;
}

void CMainFrame::SwitchToPlan(UINT code) {
  if (m_activeFrame == ACTIVE_PLAN) return;
  m_activeFrame = ACTIVE_PLAN;
  Model* model = m_pDoc->GetModel();
  if (model && model->m_frame.m_pDummyRoom) {
    Room* dummy = model->m_frame.m_pDummyRoom;
    GetPlanHost().RemoveSceneObjectByName(dummy->GetKeyString());
    delete dummy;
    model->m_frame.m_pDummyRoom = nullptr;
  }
  if (code == SWITCH_PLAN_MIN) {
    ShowWindow(SW_SHOWMINIMIZED);
    UpdateWindow();
    return;
  }
  if (!m_pPlanFrame) return;
  MDIActivate(m_pPlanFrame);
  m_pPlanFrame->ShowWindow(SW_SHOWMAXIMIZED);
  m_pPlanFrame->UpdateWindow();
}

void CMainFrame::SwitchTo3D(UINT code) {
  if (m_activeFrame == ACTIVE_3D) return;
  m_activeFrame = ACTIVE_3D;
  if (code == SWITCH_3D_MIN) {
    ShowWindow(SW_SHOWMINIMIZED);
    UpdateWindow();
    return;
  }
  if (!m_pSimFrame) return;
  MDIActivate(m_pSimFrame);
  m_pSimFrame->ShowWindow(SW_SHOWMAXIMIZED);
  m_pSimFrame->UpdateWindow();
}

int CMainFrame::EnsureSimFrame(CVedraDoc* doc) {
  for (int tries = 0; tries < kSimFrameTries; tries++) {
    if (m_pSimFrame) return 1;
    CFrameWnd* frame = theApp.m_pSimTemplate ? theApp.m_pSimTemplate->CreateNewFrame(doc, nullptr) : nullptr;
    if (!frame) continue;
    theApp.m_pSimTemplate->InitialUpdateFrame(frame, doc, FALSE);
    frame->ShowWindow(SW_HIDE);
    if (CView* view = frame->GetActiveView()) view->OnInitialUpdate();
  }
  if (m_pSimFrame) return 1;
  ShowMessage(kNoSimFrame, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  return 0;
}

int CMainFrame::CloseSimFrame() {
  if (m_pSimFrame) m_pSimFrame->SendMessage(WM_CLOSE);
  return m_pSimFrame == nullptr;
}

bool CMainFrame::CloseSimFrameFully() {
  for (int tries = 0; tries < kSimFrameTries; tries++)
    if (CloseSimFrame()) return true;
  ShowMessage(kNoSimFrame, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  return false;
}

int CMainFrame::CheckWallDrawingDone() {
  if (m_activeFrame != ACTIVE_PLAN) return 1;
  Model* model = m_pDoc ? m_pDoc->GetModel() : nullptr;
  if (!model || !model->m_frame.IsDrawing()) return 1;
  ShowMessage(kWallDrawingRefusal, MB_OK | MB_ICONQUESTION | MB_TASKMODAL);
  RepaintShownView();
  return 0;
}

CView* CMainFrame::GetShownView() const {
  if (m_activeFrame == ACTIVE_PLAN && m_pPlanFrame) return m_pPlanFrame->GetActiveView();
  if (m_activeFrame == ACTIVE_3D && m_pSimFrame) return m_pSimFrame->GetActiveView();
  return nullptr;
}

void CMainFrame::RepaintShownView() {
  if (CView* view = GetShownView()) {
    view->Invalidate();
    view->UpdateWindow();
  }
}

LRESULT CMainFrame::OnLoadModel(WPARAM wParam, LPARAM) {
  auto* doc = DYNAMIC_DOWNCAST(CVedraDoc, GetActiveDocument());
  if (!doc) {
    PostMessage(WM_VEDRA_LOADMODEL, 0xFF00, 0);
    return 0;
  }
  ShowWindow(SW_SHOWMINIMIZED);
  UpdateWindow();
  AfxDoWaitCursor(1);
  if (wParam == 0xFF01) {
    CProgressWnd progress(this, 0);
    progress.Open(0);
    progress.UpdateData(FALSE);
    progress.SetRange(0, 0, 1);
    progress.SetText("%s", kStartLoading);
    progress.SetPos(0);
    progress.StepIt();
    const CString path = doc->GetTitle();
    doc->CreateNewModel(path, &progress, 0);
    progress.DestroyWindow();
    return 1;
  }
  if (!CSplashWnd::Current()) CSplashWnd::SetAllowed(TRUE);
  CSplashWnd::ShowSplash(nullptr);
  doc->SetTitle("Vedra1");
  doc->CreateNewModel("", nullptr, 0);
  return 1;
}

LRESULT CMainFrame::OnModelReady(WPARAM wParam, LPARAM) {
  if (CSplashWnd* splash = CSplashWnd::Current()) splash->PostMessage(WM_SPLASH_HIDE);
  AfxDoWaitCursor(-1);
  SendMessage(WM_COMMAND, wParam, 0);
  ShowWindow(wParam == SWITCH_PLAN_MIN || wParam == SWITCH_3D_MIN ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED);
  RefreshSimView(wParam == SWITCH_PLAN ? -1 : 1);
  return 0;
}

// The library dialogs come with the library's own window; until then nothing opens.
LRESULT CMainFrame::OnLibraryMessage(WPARAM, LPARAM) {
  if (!CheckWallDrawingDone()) return 0;
  return 0;
}

LRESULT CMainFrame::OnLibraryAdd(WPARAM, LPARAM) { return 0; }

// The preset lights of the model's kind go into the active 3D view's scene once the scene holds
// lights; until then a new model is lit by the toolkit's defaults.
LRESULT CMainFrame::OnPresetLights(WPARAM, LPARAM) { return 1; }

void CMainFrame::OnDropFiles(HDROP drop) {
  char name[MAX_PATH + 1] = {};
  ::DragQueryFileA(drop, 0, name, sizeof name);
  ::DragFinish(drop);
  if (!name[0] || !CheckWallDrawingDone()) return;
  HANDLE file = ::CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ShowMessage("지정한 파일을 찾을수가 없습니다.", MB_OK | MB_ICONQUESTION | MB_TASKMODAL);
    return;
  }
  ::CloseHandle(file);
  const CString path(name);
  m_modelDir = path.Left(path.ReverseFind('\\') + 1);
  auto* doc = DYNAMIC_DOWNCAST(CVedraDoc, GetActiveDocument());
  if (!doc || !doc->AskSaveModel()) return;
  doc->SetTitle(path);
  PostMessage(WM_VEDRA_LOADMODEL, 0xFF01, 0);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg) {
  if (HandleShortcut(*pMsg)) return TRUE;
  return CMDIFrameWnd::PreTranslateMessage(pMsg);
}

int CMainFrame::ToggleFullScreen(BOOL on) {
  static RECT remembered{};
  if (on) {
    if (!MDIGetActive()) return 0;
    GetWindowRect(&remembered);
    ModifyStyle(WS_CAPTION, 0);
    ::SetWindowPos(m_hWnd, nullptr, -4, -4, ::GetSystemMetrics(SM_CXSCREEN) + 8, ::GetSystemMetrics(SM_CYSCREEN) + 8,
                   SWP_NOZORDER | SWP_FRAMECHANGED);
  } else {
    ModifyStyle(0, WS_CAPTION);
    ::SetWindowPos(m_hWnd, nullptr, remembered.left, remembered.top, remembered.right - remembered.left,
                   remembered.bottom - remembered.top, SWP_NOZORDER | SWP_FRAMECHANGED);
  }
  RecalcLayout();
  return 1;
}
