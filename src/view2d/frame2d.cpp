#include "view2d/frame2d.h"

#include "app/mainfrm.h"

IMPLEMENT_DYNCREATE(C2DFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(C2DFrame, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_COMMAND(IDC_PLAN_FILE, OnFileMenu)
  ON_COMMAND(IDC_PLAN_CONFIGURE, OnConfigureMenu)
  ON_COMMAND(IDC_PLAN_HELP, OnHelpMenu)
END_MESSAGE_MAP()

int C2DFrame::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CMDIChildWnd::OnCreate(lpcs) == -1) return -1;
  if (!m_bar.Create(this, IDD_PLANBAR, CBRS_BOTTOM, AFX_IDW_CONTROLBAR_FIRST)) return -1;
  if (CMainFrame* frame = GetMainFrame()) frame->m_pPlanFrame = this;
  return 0;
}

void C2DFrame::OnDestroy() {
  if (CMainFrame* frame = GetMainFrame(); frame && frame->m_pPlanFrame == this) frame->m_pPlanFrame = nullptr;
  CMDIChildWnd::OnDestroy();
}

void C2DFrame::OnFileMenu() { PopUpMenu(IDC_PLAN_FILE, 0); }

void C2DFrame::OnConfigureMenu() { PopUpMenu(IDC_PLAN_CONFIGURE, 4); }

void C2DFrame::OnHelpMenu() { PopUpMenu(IDC_PLAN_HELP, 5); }

void C2DFrame::PopUpMenu(UINT buttonId, int popup) {
  CWnd* button = GetPlanBarButton(buttonId);
  CMainFrame* frame = GetMainFrame();
  if (!button || !frame) return;
  HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MENU_KOREAN));
  if (!menu) return;
  RECT rect;
  button->GetWindowRect(&rect);
  // The menu opens above the button: the bar lies along the bottom of the screen.
  ::TrackPopupMenu(::GetSubMenu(menu, popup), TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, rect.left, rect.top,
                   0, frame->m_hWnd, nullptr);
  ::DestroyMenu(menu);
}
