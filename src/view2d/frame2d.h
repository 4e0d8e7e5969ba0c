// The plan frame: the document's plan view with the plan control bar along its bottom. Until the
// plan editor exists the bar holds only its File, Configure and Help buttons, which pop up the
// menus, over an empty plan view.
#pragma once
#include "afx/afxwin.h"

// The plan control bar's template and its menu buttons.
constexpr UINT IDD_PLANBAR = 403;
constexpr UINT IDC_PLAN_CONFIGURE = 4049;
constexpr UINT IDC_PLAN_FILE = 4050;
constexpr UINT IDC_PLAN_HELP = 4051;
// The menus: Korean, English, Chinese.
constexpr UINT IDR_MENU_KOREAN = 132;
constexpr UINT IDR_MENU_ENGLISH = 133;
constexpr UINT IDR_MENU_CHINESE = 134;

class C2DFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(C2DFrame)
public:
  // Forgets the wall that an opening being placed snaps to.
  void ClearWallUnderCursor() {}
  CWnd* GetPlanBarButton(UINT id) { return m_bar.m_hWnd ? m_bar.GetDlgItem(id) : nullptr; }

protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnFileMenu();
  afx_msg void OnConfigureMenu();
  afx_msg void OnHelpMenu();
  DECLARE_MESSAGE_MAP()

private:
  // Pops up the menu's popup at that position under the bar button.
  void PopUpMenu(UINT buttonId, int popup);
  CDialogBar m_bar;
};
