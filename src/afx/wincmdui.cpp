// The item kinds of CCmdUI on Windows: menu items (m_pMenu holds the HMENU) and controls
// (m_pOther holds the HWND).
#include "afx/winwnd.h"

namespace {
HMENU MenuOf(const CCmdUI* ui) { return static_cast<HMENU>(ui->m_pMenu); }
HWND ControlOf(const CCmdUI* ui) { return static_cast<HWND>(ui->m_pOther); }

bool IsButton(HWND h) {
  char cls[32] = {};
  ::GetClassNameA(h, cls, sizeof cls);
  return lstrcmpiA(cls, "Button") == 0;
}

UINT ButtonType(HWND h) { return static_cast<UINT>(::GetWindowLongPtrA(h, GWL_STYLE)) & BS_TYPEMASK; }
}  // namespace

void CCmdUI::Enable(BOOL bOn) {
  m_bEnableChanged = TRUE;
  if (HMENU menu = MenuOf(this)) {
    ::EnableMenuItem(menu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    return;
  }
  HWND h = ControlOf(this);
  if (!h) return;
  // A control losing the focus hands it to the next one first.
  if (!bOn && ::GetFocus() == h) ::SendMessageA(::GetParent(h), WM_NEXTDLGCTL, 0, FALSE);
  ::EnableWindow(h, bOn);
}

void CCmdUI::SetCheck(int nCheck) {
  if (HMENU menu = MenuOf(this)) {
    ::CheckMenuItem(menu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    return;
  }
  HWND h = ControlOf(this);
  if (!h || !IsButton(h)) return;
  UINT type = ButtonType(h);
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW || type == BS_GROUPBOX) return;
  ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
}

void CCmdUI::SetRadio(BOOL bOn) {
  if (HMENU menu = MenuOf(this)) {
    if (bOn) ::CheckMenuRadioItem(menu, m_nIndex, m_nIndex, m_nIndex, MF_BYPOSITION);
    else ::CheckMenuItem(menu, m_nIndex, MF_BYPOSITION | MF_UNCHECKED);
    return;
  }
  SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText) {
  if (HMENU menu = MenuOf(this)) {
    UINT state = ::GetMenuState(menu, m_nIndex, MF_BYPOSITION);
    ::ModifyMenuA(menu, m_nIndex, MF_BYPOSITION | MF_STRING | (state & ~0xFF00u), m_nID, lpszText);
    return;
  }
  if (HWND h = ControlOf(this)) ::SetWindowTextA(h, lpszText);
}

void AfxUpdateControlUI(HWND hCtl, UINT nID, CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  CCmdUI ui;
  ui.m_nID = nID;
  ui.m_pOther = hCtl;
  // Only push buttons are disabled for want of a handler: group boxes and automatic check and
  // radio buttons work by themselves, and other controls are never disabled that way.
  BOOL disable = FALSE;
  if (bDisableIfNoHndler && IsButton(hCtl)) {
    UINT type = ButtonType(hCtl);
    disable = type != BS_GROUPBOX && type != BS_AUTOCHECKBOX && type != BS_AUTORADIOBUTTON && type != BS_AUTO3STATE;
  }
  ui.DoUpdate(pTarget, disable);
}

void CCmdTarget::BeginWaitCursor() { AfxDoWaitCursor(1); }
void CCmdTarget::EndWaitCursor() { AfxDoWaitCursor(-1); }
void CCmdTarget::RestoreWaitCursor() { AfxDoWaitCursor(0); }
