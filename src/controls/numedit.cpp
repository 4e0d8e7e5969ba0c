#include "controls/numedit.h"

#include <cfloat>
#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CNumEdit, CEdit)
IMPLEMENT_DYNAMIC(CNumSpinCtrl, CSpinButtonCtrl)

BEGIN_MESSAGE_MAP(CNumEdit, CEdit)
  ON_WM_CHAR()
END_MESSAGE_MAP()

CNumEdit::CNumEdit() : m_fMin(-FLT_MAX), m_fMax(FLT_MAX) {}

void CNumEdit::GetRange(float& fMin, float& fMax) const {
  fMin = m_fMin;
  fMax = m_fMax;
}

void CNumEdit::SetRange(float fMin, float fMax) {
  m_fMin = fMin;
  m_fMax = fMax;
}

int CNumEdit::Classify(const CString& text) const {
  if (text.GetLength() == 1 && (text[0] == '+' || text[0] == '-')) return kSign;
  float value = 0;
  char rest[2] = "";
  if (std::sscanf(text, "%f %1s", &value, rest) != 1) return kNotANumber;
  if (value > m_fMax || value < m_fMin) return kOutOfRange;
  return kValid;
}

int CNumEdit::CheckText(const CString& text) {
  const int code = Classify(text);
  if (m_bReportErrors && (code == kOutOfRange || code == kNotANumber)) {
    MessageBox(code == kOutOfRange ? "Given value is out of range.\n" : "Characters must be a number.\n", nullptr,
               MB_ICONHAND);
  }
  return code;
}

int CNumEdit::CheckText() { return CheckText(GetWindowText()); }

float CNumEdit::GetValue() {
  const CString text = GetWindowText();
  float value = 0;
  if (Classify(text) != kValid || std::sscanf(text, "%f", &value) != 1) return m_fMin;
  return value;
}

CString& CNumEdit::MakeFormat(CString& format, float fValue) {
  char g[64];
  std::snprintf(g, sizeof g, "%G", (double)fValue);
  const char* dot = std::strchr(g, '.');
  if (dot) {
    const size_t after = std::strlen(dot + 1);
    if (after > m_nDecimals) m_nDecimals = (BYTE)after;
  }
  format.Format("%%.%df", (int)m_nDecimals);
  return format;
}

BOOL CNumEdit::SetValue(float fValue) {
  if (fValue > m_fMax || !(fValue >= m_fMin)) return FALSE;
  CString format;
  MakeFormat(format, fValue);
  CString text;
  text.Format(format, (double)fValue);
  SetWindowText(text);
  return TRUE;
}

void CNumEdit::StepBy(int nSteps) {
  float v = GetValue() + (float)nSteps * m_fStep;
  if (v > m_fMax) v = m_fMax;
  if (v < m_fMin) v = m_fMin;
  SetValue(v);
}

void CNumEdit::OnChar(UINT nChar, UINT, UINT) {
  if (nChar == ' ') return;
  const float before = GetValue();
  Default();
  const int code = CheckText();
  if (code == kValid) {
    CString format;
    MakeFormat(format, GetValue());
  } else if (code != kSign) {
    SetValue(before);
    SendMessage(EM_SETSEL, 0, (LPARAM)-1);
    SendMessage(EM_SCROLLCARET);
    MSG msg;
    while (::PeekMessageA(&msg, m_hWnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
  }
}

// ---- spin

BEGIN_MESSAGE_MAP(CNumSpinCtrl, CSpinButtonCtrl)
  ON_NOTIFY_REFLECT(UDN_DELTAPOS, OnDeltaPos)
END_MESSAGE_MAP()

CNumEdit* CNumSpinCtrl::NumBuddy() {
  HWND h = (HWND)::SendMessageA(m_hWnd, UDM_GETBUDDY, 0, 0);
  CWnd* p = CWnd::FromHandlePermanent(h);
  return p && p->IsKindOf(RUNTIME_CLASS(CNumEdit)) ? static_cast<CNumEdit*>(p) : nullptr;
}

void CNumSpinCtrl::SetStep(float fStep) {
  if (CNumEdit* e = NumBuddy()) e->SetStep(fStep);
}

float CNumSpinCtrl::GetStep() {
  CNumEdit* e = NumBuddy();
  return e ? e->GetStep() : 0.0f;
}

void CNumSpinCtrl::SetBuddy(CNumEdit* pEdit) {
  ::SendMessageA(m_hWnd, UDM_SETBUDDY, (WPARAM)AfxGetSafeHwnd(pEdit), 0);
  if (CNumEdit* e = NumBuddy()) e->SetValue(0.0f);
}

CWnd* CNumSpinCtrl::GetBuddy() { return CWnd::FromHandle((HWND)::SendMessageA(m_hWnd, UDM_GETBUDDY, 0, 0)); }

void CNumSpinCtrl::GetRange(float& fMin, float& fMax) {
  fMin = fMax = 0.0f;
  if (CNumEdit* e = NumBuddy()) e->GetRange(fMin, fMax);
}

void CNumSpinCtrl::SetRange(float fMin, float fMax) {
  CNumEdit* e = NumBuddy();
  if (!e) return;
  ::SendMessageA(m_hWnd, UDM_SETRANGE, 0, MAKELPARAM(1000, 0));
  e->SetRange(fMin, fMax);
}

float CNumSpinCtrl::GetPos() {
  CNumEdit* e = NumBuddy();
  return e ? e->GetValue() : 0.0f;
}

void CNumSpinCtrl::SetPos(float fValue) {
  CNumEdit* e = NumBuddy();
  if (!e) return;
  ::SendMessageA(m_hWnd, UDM_SETPOS, 0, MAKELPARAM(500, 0));
  e->SetValue(fValue);
}

void CNumSpinCtrl::OnDeltaPos(NMHDR* pNMHDR, LRESULT* pResult) {
  auto* ud = reinterpret_cast<NMUPDOWN*>(pNMHDR);
  if (ud->iPos <= ud->iDelta || ud->iPos >= 1000 - ud->iDelta) ud->iPos = 500;
  if (CNumEdit* e = NumBuddy()) e->StepBy(ud->iDelta);
  *pResult = 0;
}
