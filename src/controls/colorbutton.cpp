#include "controls/colorbutton.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CColorButton, CButton)

namespace {

COLORREF Grey(int level) { return PALETTERGB(level, level, level); }

void Line(CDC* pDC, COLORREF cr, int x0, int y0, int x1, int y1) {
  CPen pen(PS_SOLID, 1, cr);
  CPen* pOld = pDC->SelectObject(&pen);
  pDC->MoveTo(x0, y0);
  pDC->LineTo(x1, y1);
  pDC->SelectObject(pOld);
}

}  // namespace

CColorButton::CColorButton()
    : m_crText(::GetSysColor(COLOR_BTNTEXT)),
      m_crFace(0),
      m_crDisabledText(::GetSysColor(COLOR_GRAYTEXT)),
      m_nDepth(::GetSystemMetrics(SM_CXEDGE)) {}

BOOL CColorButton::SetColors(UINT, CWnd*, COLORREF crFace, COLORREF crText, COLORREF crDisabledText, int nDepth) {
  m_crFace = crFace;
  m_crText = crText;
  m_crDisabledText = crDisabledText;
  m_nDepth = nDepth;
  return TRUE;
}

BOOL CColorButton::SetFaceColor(COLORREF crFace) {
  m_crFace = crFace;
  if (IsWindow()) Invalidate(TRUE);
  return TRUE;
}

void CColorButton::DrawBevel(CDC* pDC, CRect r, int nDepth) {
  const int n = std::abs(nDepth);
  for (int i = 0; i < n; i++) {
    COLORREF light = n == 1 ? 0xFFFFFF : Grey(63 / (i + 1) + 192);
    COLORREF dark = n == 1 ? 0x808080 : Grey(255 / (i + 2));
    COLORREF topLeft = light, bottomRight = dark;
    if (nDepth < 0) {
      topLeft = dark;
      bottomRight = (i == n - 1 && n >= 2) ? RGB(1, 1, 1) : light;
    }
    Line(pDC, topLeft, r.left, r.top, r.right, r.top);
    Line(pDC, topLeft, r.left, r.top, r.left, r.bottom);
    Line(pDC, bottomRight, r.left + 1, r.bottom - 1, r.right - 1, r.bottom - 1);
    Line(pDC, bottomRight, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1);
    r.InflateRect(-1, -1);
  }
}

void CColorButton::DrawCaption(CDC* pDC, CRect r, const char* text, COLORREF cr) {
  const int oldMode = pDC->SetBkMode(TRANSPARENT);
  const COLORREF old = pDC->SetTextColor(cr);
  pDC->DrawText(text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  pDC->SetTextColor(old);
  pDC->SetBkMode(oldMode);
}

void CColorButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  const CRect r(lpDIS->rcItem);
  CRect focus(r);
  focus.InflateRect(-4, -4);
  char text[512] = "";
  ::GetWindowTextA(lpDIS->hwndItem, text, sizeof text);
  CBrush face(m_crFace);
  pDC->FillRect(&r, &face);
  DrawBevel(pDC, r, m_nDepth);
  DrawCaption(pDC, r, text, m_crText);
  if (lpDIS->itemState & ODS_FOCUS) {
    pDC->DrawFocusRect(&focus);
    if (lpDIS->itemState & ODS_SELECTED) {
      pDC->FillRect(&r, &face);
      DrawBevel(pDC, r, -1);
      DrawCaption(pDC, r, text, m_crText);
      pDC->DrawFocusRect(&focus);
    }
  } else if (lpDIS->itemState & ODS_DISABLED) {
    DrawCaption(pDC, r, text, m_crDisabledText);
  }
}
