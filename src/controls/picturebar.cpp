#include "controls/picturebar.h"

BEGIN_MESSAGE_MAP(CPictureDialogBar, CDialogBar)
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
  ON_WM_QUERYNEWPALETTE()
  ON_WM_PALETTECHANGED()
  ON_MESSAGE(WM_INITDIALOG, OnInitDialog)
END_MESSAGE_MAP()

CPictureDialogBar::CPictureDialogBar() { m_brushHollow.Attach(::GetStockObject(HOLLOW_BRUSH)); }

CPictureDialogBar::~CPictureDialogBar() { m_brushHollow.Detach(); }

BOOL CPictureDialogBar::CreateBar(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) {
  const BOOL made = CDialogBar::Create(pParentWnd, nIDTemplate, nStyle, nID);
  return made && OnInitBar();
}

BOOL CPictureDialogBar::OnInitBar() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CPictureDialogBar::PreTranslateMessage(MSG* pMsg) {
  UpdateDialogControls(this, TRUE);
  return CDialogBar::PreTranslateMessage(pMsg);
}

BOOL CPictureDialogBar::SetBackground(UINT nIDResource, int nMode) {
  m_nMode = nMode;
  return m_image.LoadResourceBitmap(MAKEINTRESOURCEA(nIDResource));
}

LRESULT CPictureDialogBar::OnInitDialog(WPARAM, LPARAM) { return TRUE; }

void CPictureDialogBar::FillDefault(CDC* pDC, const CRect& client) {
  ::FillRect(pDC->m_hDC, &client, ::GetSysColorBrush(COLOR_BTNFACE));
}

// The plain erasing, then the picture at its natural size in the middle; composed off-screen and
// copied in one piece.
void CPictureDialogBar::DrawCentred(CDC* pDC, const CRect& client) {
  CDC mem;
  CBitmap bitmap;
  if (!mem.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, client.Width(), client.Height())) return;
  CBitmap* pOld = mem.SelectObject(&bitmap);
  FillDefault(&mem, client);
  m_image.DrawAt(&mem, (client.Width() - m_image.GetWidth()) / 2, (client.Height() - m_image.GetHeight()) / 2);
  pDC->BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
  mem.SelectObject(pOld);
}

BOOL CPictureDialogBar::OnEraseBkgnd(CDC* pDC) {
  if (m_image.IsEmpty()) return (BOOL)Default();
  CRect client;
  GetClientRect(&client);
  const int W = client.Width(), H = client.Height(), w = m_image.GetWidth(), h = m_image.GetHeight();
  if (m_nMode == kStretch) {
    m_image.StretchDraw(pDC, 0, 0, W, H);
  } else if (m_nMode == kCentre) {
    DrawCentred(pDC, client);
  } else {
    for (int y = 0; y < H; y += h) {
      for (int x = 0; x < W; x += w) m_image.DrawAt(pDC, x, y);
    }
  }
  return TRUE;
}

HBRUSH CPictureDialogBar::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (!m_image.IsEmpty() && pWnd) {
    char cls[32] = "";
    ::GetClassNameA(pWnd->m_hWnd, cls, sizeof cls);
    const BOOL trackbar = lstrcmpiA(cls, "msctls_trackbar32") == 0;
    if (nCtlColor == CTLCOLOR_BTN || (nCtlColor == CTLCOLOR_STATIC && !trackbar)) {
      pDC->SetBkMode(TRANSPARENT);
      return (HBRUSH)m_brushHollow.m_hObject;
    }
  }
  return CDialogBar::OnCtlColor(pDC, pWnd, nCtlColor);
}

BOOL CPictureDialogBar::RealizeBackground(BOOL bBackground) {
  CClientDC dc(this);
  CPalette* pOld = dc.SelectPalette(m_image.GetPalette(), bBackground);
  const UINT changed = dc.RealizePalette();
  if (pOld) dc.SelectPalette(pOld, bBackground);
  if (changed) Invalidate();
  return changed != 0;
}

BOOL CPictureDialogBar::OnQueryNewPalette() {
  if (!m_image.GetPalette() || !IsWindow()) return (BOOL)Default();
  return RealizeBackground(FALSE);
}

void CPictureDialogBar::OnPaletteChanged(CWnd* pFocusWnd) {
  const HWND from = AfxGetSafeHwnd(pFocusWnd);
  if (!m_image.GetPalette() || from == m_hWnd || ::IsChild(m_hWnd, from)) {
    Default();
    return;
  }
  RealizeBackground(TRUE);
}
