#include "controls/editcombo.h"

BEGIN_MESSAGE_MAP(CEditComboEdit, CEdit)
  ON_WM_KEYDOWN()
  ON_WM_DESTROY()
  ON_WM_KILLFOCUS()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

void CEditComboEdit::Step(int direction) {
  CEditComboBox* combo = m_pCombo;
  const CString text = GetWindowText();
  const int exact = combo->FindStringExact(-1, text);
  int sel;
  if (exact != CB_ERR) {
    sel = exact + direction;
    if (sel < 0 || sel >= combo->GetCount()) sel = exact;
  } else {
    sel = combo->FindString(-1, text);
    if (sel == CB_ERR) sel = 0;
  }
  combo->SetCurSel(sel);
  SetWindowText(combo->ItemText(sel));
}

void CEditComboEdit::OnKeyDown(UINT nChar, UINT, UINT) {
  Invalidate(TRUE);
  if (m_pCombo && (nChar == VK_UP || nChar == VK_DOWN)) {
    Step(nChar == VK_UP ? -1 : 1);
    return;
  }
  Default();
}

void CEditComboEdit::OnDestroy() {
  m_font.DeleteObject();
  Default();
}

void CEditComboEdit::OnKillFocus(CWnd*) {
  Invalidate(TRUE);
  Default();
  if (IsWindow()) Invalidate(TRUE);
}

void CEditComboEdit::OnLButtonDown(UINT, CPoint) {
  Invalidate(TRUE);
  Default();
  Invalidate(TRUE);
}

BEGIN_MESSAGE_MAP(CEditComboBox, CComboBox)
  ON_CONTROL_REFLECT(CBN_DROPDOWN, OnDropDown)
  ON_CONTROL_REFLECT(CBN_CLOSEUP, OnCloseUp)
END_MESSAGE_MAP()

CEditComboBox::CEditComboBox() = default;

CEditComboBox::~CEditComboBox() {
  if (m_edit.m_hWnd) m_edit.DestroyWindow();
}

CString CEditComboBox::ItemText(int index) const {
  CString s;
  if (index >= 0) GetLBText(index, s);
  return s;
}

void CEditComboBox::SetEditable(BOOL bOn) {
  if (::GetWindow(m_hWnd, GW_CHILD)) return;  // a combo box with an edit field of its own
  if (bOn && !m_edit.m_hWnd) EditOn();
  else EditOff();
}

void CEditComboBox::EditOn() {
  CWnd* parent = GetParent();
  CRect c, p;
  GetWindowRect(&c);
  parent->GetWindowRect(&p);
  const CRect r(c.left - p.left, c.top - p.top - 18, c.right - p.left - 22, c.top - p.top - 5);
  if (!m_edit.CreateEx(0, "EDIT", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, r, parent,
                       IDC_EDITCOMBO_EDIT))
    return;
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
    m_edit.m_font.CreateFontIndirect(&ncm.lfMessageFont);
    m_edit.SetFont(&m_edit.m_font);
  }
  m_edit.m_pCombo = this;
  SetWindowPos(&m_edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  m_edit.SetWindowText(ItemText(GetCurSel()));
  ModifyStyle(WS_TABSTOP, 0);
  m_edit.SetFocus();
}

void CEditComboBox::EditOff() {
  const CString text = GetText();
  const int found = FindString(-1, text);
  if (found != CB_ERR) SetCurSel(found);
  if (m_edit.m_hWnd) m_edit.DestroyWindow();
  ModifyStyle(0, WS_TABSTOP);
  SetFocus();
}

CString CEditComboBox::GetText() const { return m_edit.m_hWnd ? m_edit.GetWindowText() : CString(); }

void CEditComboBox::OnDropDown() {
  if (!m_edit.m_hWnd) return;
  const int found = FindString(-1, m_edit.GetWindowText());
  if (found == CB_ERR) return;
  SetCurSel(found);
  m_edit.SetWindowText(ItemText(found));
}

void CEditComboBox::OnCloseUp() {
  if (!m_edit.m_hWnd) return;
  const int sel = GetCurSel();
  if (sel == CB_ERR) return;
  m_edit.SetWindowText(ItemText(sel));
  m_edit.SetFocus();
}
