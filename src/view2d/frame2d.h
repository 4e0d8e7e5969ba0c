// The plan frame: the document's plan view with the plan control bar along its bottom.
#pragma once
#include "afx/afxwin.h"
#include "view2d/planbar.h"

class C2DFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(C2DFrame)
public:
  // Forgets the wall that an opening being placed snaps to.
  void ClearWallUnderCursor() {}
  CWnd* GetPlanBarButton(UINT id) { return m_bar.m_hWnd ? m_bar.GetDlgItem(static_cast<int>(id)) : nullptr; }
  CPlanBar& GetPlanBar() { return m_bar; }

protected:
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  void LeaveMainFrame();
  CPlanBar m_bar;
};
