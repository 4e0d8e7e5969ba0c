#include "view3d/frame3d.h"

#include "doc/shell.h"
#include "res/resource.h"

IMPLEMENT_DYNCREATE(C3DFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(C3DFrame, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_MDIACTIVATE()
END_MESSAGE_MAP()

namespace {

// A child with caption and system menu, minimized until it is shown.
constexpr DWORD kFrameStyle = WS_CHILD | WS_MINIMIZE | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
constexpr UINT kBarStyle = 0x8238;

}  // namespace

C3DFrame::C3DFrame() = default;

C3DFrame::~C3DFrame() {
  if (m_bar.m_hWnd) m_bar.DestroyWindow();
}

BOOL C3DFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style = kFrameStyle;
  cs.x = 0;
  cs.y = 0;
  cs.cx = ::GetSystemMetrics(SM_CXSCREEN);
  cs.cy = ::GetSystemMetrics(SM_CYSCREEN);
  return CMDIChildWnd::PreCreateWindow(cs);
}

int C3DFrame::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CMDIChildWnd::OnCreate(lpcs) == -1) return -1;
  GetShell().AttachFrame(ACTIVE_3D, this);
  if (!m_bar.CreateBar(this, IDD_SIM_BAR, kBarStyle, IDD_SIM_BAR)) {
    GetShell().DetachFrame(ACTIVE_3D, this);
    return -1;
  }
  return 0;
}

void C3DFrame::CloseTool(Tool tool) {
  if (CWnd* window = m_tools[tool]; window && window->m_hWnd) window->SendMessage(WM_CLOSE);
}

void C3DFrame::ClosePropertyFrame() { CloseTool(kPropertyFrame); }

void C3DFrame::ClosePlaceTools() {
  CloseTool(kTransform);
  CloseTool(kPlaceTools);
}

void C3DFrame::ClosePathTools() {
  CloseTool(kPathPlayer);
  CloseTool(kLightEditor);
}

void C3DFrame::CloseKeyFrameDialog() { CloseTool(kKeyFrame); }

void C3DFrame::OnClose() {
  ClosePropertyFrame();
  ClosePlaceTools();
  ClosePathTools();
  CMDIChildWnd::OnClose();
}

void C3DFrame::OnDestroy() {
  for (CWnd*& window : m_tools) {
    if (window && window->m_hWnd) window->DestroyWindow();
    window = nullptr;
  }
  GetShell().DetachFrame(ACTIVE_3D, this);
  CMDIChildWnd::OnDestroy();
}

// The frame comes forward maximized.
void C3DFrame::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd) {
  CMDIChildWnd::OnMDIActivate(bActivate, pActivateWnd, pDeactivateWnd);
  if (!bActivate) return;
  ShowWindow(SW_SHOWMAXIMIZED);
  UpdateWindow();
}
