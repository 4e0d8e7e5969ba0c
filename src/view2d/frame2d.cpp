#include "view2d/frame2d.h"

#include "doc/shell.h"
#include "res/plan_res.h"

IMPLEMENT_DYNCREATE(C2DFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(C2DFrame, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL C2DFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style = WS_CHILD | WS_MINIMIZE | WS_VISIBLE | WS_SYSMENU | WS_THICKFRAME;
  cs.x = 0;
  cs.y = 0;
  cs.cx = ::GetSystemMetrics(SM_CXSCREEN);
  cs.cy = ::GetSystemMetrics(SM_CYSCREEN);
  return CMDIChildWnd::PreCreateWindow(cs);
}

int C2DFrame::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CMDIChildWnd::OnCreate(lpcs) == -1) return -1;
  if (!m_bar.CreateBar(this, IDD_BAR, 0x8238, IDD_BAR)) return -1;
  GetShell().AttachFrame(ACTIVE_PLAN, this);
  return 0;
}

void C2DFrame::LeaveMainFrame() {
  GetShell().DetachFrame(ACTIVE_PLAN, this);
}

void C2DFrame::OnClose() {
  LeaveMainFrame();
  CFrameWnd::OnClose();
}

void C2DFrame::OnDestroy() {
  LeaveMainFrame();
  CMDIChildWnd::OnDestroy();
}
