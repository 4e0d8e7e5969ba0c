#include "controls/colorpicker.h"

#include <algorithm>

namespace {

const COLORREF kInitialColors[kPickerColors] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
    RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
    RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
    RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};
const BYTE kInitialRanks[kPickerColors] = {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2};

COLORREF g_colors[kPickerColors] = {};
BYTE g_ranks[kPickerColors] = {};
bool g_tableReady = false;

void EnsureTable() {
  if (!g_tableReady) ResetColorPickerTable();
}

// The chosen entry becomes rank 1; the entries it passes move down one.
void RankFirst(int s) {
  for (int i = 0; i < kPickerColors; i++) {
    if (g_ranks[i] < g_ranks[s]) g_ranks[i]++;
  }
  g_ranks[s] = 1;
}

// The entry equal to c, else the least recently used one, which takes c.
int EntryFor(COLORREF c) {
  for (int i = 0; i < kPickerColors; i++) {
    if (g_colors[i] == c) return i;
  }
  const int last = (int)(std::find(g_ranks, g_ranks + kPickerColors, kPickerColors) - g_ranks);
  g_colors[last] = c;
  return last;
}

}  // namespace

void ResetColorPickerTable() {
  std::copy(kInitialColors, kInitialColors + kPickerColors, g_colors);
  std::copy(kInitialRanks, kInitialRanks + kPickerColors, g_ranks);
  g_tableReady = true;
}

COLORREF ColorPickerColor(int index) {
  EnsureTable();
  return index >= 0 && index < kPickerColors ? g_colors[index] : 0;
}

int ColorPickerRank(int index) {
  EnsureTable();
  return index >= 0 && index < kPickerColors ? g_ranks[index] : 0;
}

// ---- popup

BEGIN_MESSAGE_MAP(CColorPickerPopup, CDialog)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_DRAWITEM()
  ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
  ON_COMMAND(IDC_COLORPICKER_OTHER, OnOther)
  ON_COMMAND_RANGE(IDC_COLORPICKER_FIRST, IDC_COLORPICKER_LAST, OnSwatch)
END_MESSAGE_MAP()

CColorPickerPopup::CColorPickerPopup(CColorPickerButton* pOwner) : CDialog(IDD_COLORPICKER), m_pOwner(pOwner) {}

CPoint CColorPickerPopup::PopupOrigin(const CRect& b, CSize popup, CSize screen) {
  CPoint at(b.left, b.bottom);
  if (at.y + popup.cy > screen.cy) at.y = b.top - popup.cy;
  if (at.x + popup.cx > screen.cx) at.x -= at.x + popup.cx - screen.cx;
  return at;
}

BOOL CColorPickerPopup::OnInitDialog() {
  CDialog::OnInitDialog();
  EnsureTable();
  CRect button, popup;
  m_pOwner->GetWindowRect(&button);
  GetWindowRect(&popup);
  const CPoint at = PopupOrigin(button, popup.Size(),
                                CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
  SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetCapture();
  ShowWindow(SW_SHOW);
  return TRUE;
}

void CColorPickerPopup::End(int nResult) {
  ::ReleaseCapture();
  EndDialog(nResult);
}

void CColorPickerPopup::OnOK() { End(IDOK); }
void CColorPickerPopup::OnCancel() { End(IDCANCEL); }

void CColorPickerPopup::PassToChild(CPoint point) {
  HWND child = ::ChildWindowFromPointEx(m_hWnd, point, CWP_ALL);
  if (child && child != m_hWnd) ::SendMessageA(child, WM_LBUTTONDOWN, 0, 0);
}

void CColorPickerPopup::OnLButtonDown(UINT, CPoint point) {
  CPoint screen = point;
  ClientToScreen(&screen);
  CRect r;
  GetWindowRect(&r);
  if (!r.PtInRect(screen)) {
    End(IDCANCEL);
    return;
  }
  PassToChild(point);
}

void CColorPickerPopup::OnLButtonUp(UINT, CPoint point) { PassToChild(point); }

void CColorPickerPopup::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS) {
  if (nIDCtl >= IDC_COLORPICKER_FIRST && nIDCtl <= IDC_COLORPICKER_LAST) {
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CBrush brush(ColorPickerColor(nIDCtl - IDC_COLORPICKER_FIRST));
    CGdiObject* pOldPen = pDC->SelectStockObject(NULL_PEN);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    const RECT& r = lpDIS->rcItem;
    pDC->Rectangle(r.left, r.top, r.right + 1, r.bottom + 1);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
  }
  Default();
}

void CColorPickerPopup::Choose(int index) {
  m_nSelected = index;
  RankFirst(index);
  End(IDOK);
}

void CColorPickerPopup::OnSwatch(UINT nID) { Choose((int)nID - IDC_COLORPICKER_FIRST); }

void CColorPickerPopup::OnOther() {
  ::ReleaseCapture();
  CColorDialog dlg(0, CC_FULLOPEN, nullptr);
  if (dlg.DoModal() != IDOK) {
    SetCapture();
    return;
  }
  Choose(EntryFor(dlg.GetColor()));
}

// The popup keeps the mouse for as long as it is open. The window system asks the foreground
// window to drop it when the focus moves, and under X that request can arrive just after the
// colour dialog has closed and the popup has taken the mouse back: dropped, no click outside
// would close the popup any more.
LRESULT CColorPickerPopup::OnCancelMode(WPARAM, LPARAM) { return 0; }

// ---- button

BEGIN_MESSAGE_MAP(CColorPickerButton, CButton)
  ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CColorPickerButton::CColorPickerButton() : m_popup(this) {
  m_penBlack.Attach(::GetStockObject(BLACK_PEN));
  m_penGrey.CreatePen(PS_SOLID, 1, 0x808080);
  m_penWhite.Attach(::GetStockObject(WHITE_PEN));
  m_brushFace.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
  m_brushNull.Attach(::GetStockObject(NULL_BRUSH));
  m_penNull.Attach(::GetStockObject(NULL_PEN));
}

CColorPickerButton::~CColorPickerButton() {
  m_penBlack.Detach();
  m_penWhite.Detach();
  m_brushNull.Detach();
  m_penNull.Detach();
}

void CColorPickerButton::OnClicked() {
  if (m_popup.DoModal() != IDOK) return;
  m_crColor = ColorPickerColor(m_popup.GetSelected());
  Invalidate(TRUE);
  if (m_hWndNotify) ::SendMessageA(m_hWndNotify, WM_COLORPICKER_CHANGED, (WPARAM)GetDlgCtrlID(), 0);
}

void CColorPickerButton::Line(CDC* pDC, CPen* pPen, std::initializer_list<POINT> points) {
  pDC->SelectObject(pPen);
  const POINT* p = points.begin();
  pDC->MoveTo(p->x, p->y);
  for (++p; p != points.end(); ++p) pDC->LineTo(p->x, p->y);
}

void CColorPickerButton::DrawFrame(CDC* pDC, const CRect& r, BOOL bPressed) {
  const int l = r.left, t = r.top, rr = r.right, b = r.bottom;
  if (!bPressed) {
    Line(pDC, &m_penBlack, {{l, b - 1}, {rr - 1, b - 1}, {rr - 1, t}});
    Line(pDC, &m_penGrey, {{l + 1, b - 2}, {rr - 2, b - 2}, {rr - 2, t + 1}});
    Line(pDC, &m_penWhite, {{rr - 2, t + 1}, {l + 1, t + 1}, {l + 1, b - 2}});
  } else {
    Line(pDC, &m_penGrey, {{l, b - 1}, {l, t}, {rr - 1, t}});
    Line(pDC, &m_penWhite, {{rr - 1, t - 1}, {rr - 1, b - 1}, {l + 1, b - 1}});
    Line(pDC, &m_penBlack, {{l + 1, b - 2}, {l + 1, t + 1}, {rr - 2, t + 1}});
  }
}

void CColorPickerButton::DrawArrow(CDC* pDC, const CRect& r, BOOL bDisabled) {
  const int m = r.bottom / 2;
  Line(pDC, bDisabled ? &m_penGrey : &m_penBlack, {{r.right - 4, m - 1}, {r.right - 9, m - 1}});
  Line(pDC, bDisabled ? &m_penGrey : &m_penBlack, {{r.right - 5, m}, {r.right - 8, m}});
  pDC->SetPixel(r.right - 6, m + 1, bDisabled ? 0xFFFFFF : 0x000000);
  if (bDisabled) {
    pDC->SetPixel(r.right - 4, m - 1, 0xFFFFFF);
    pDC->SetPixel(r.right - 5, m, 0xFFFFFF);
  }
}

void CColorPickerButton::DrawFocus(CDC* pDC, const CRect& r) {
  for (int x = r.left + 3; x < r.right - 4; x += 2) {
    pDC->SetPixel(x, r.top + 3, 0);
    pDC->SetPixel(x, r.bottom - 4, 0);
  }
  for (int y = r.top + 3; y < r.bottom - 4; y += 2) {
    pDC->SetPixel(r.left + 3, y, 0);
    pDC->SetPixel(r.right - 4, y, 0);
  }
}

void CColorPickerButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  CRect r(lpDIS->rcItem);
  const BOOL bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
  const BOOL bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;
  m_pOldPen = pDC->SelectObject(&m_penNull);
  m_pOldBrush = pDC->SelectObject(&m_brushFace);
  pDC->Rectangle(&r);
  DrawFrame(pDC, r, bPressed);
  if (bPressed) r.OffsetRect(1, 1);
  Line(pDC, &m_penWhite, {{r.right - 10, r.top + 4}, {r.right - 10, r.bottom - 4}});
  Line(pDC, &m_penGrey, {{r.right - 11, r.top + 4}, {r.right - 11, r.bottom - 4}});
  DrawArrow(pDC, r, bDisabled);
  CBrush colour(m_crColor);
  if (!bDisabled) {
    pDC->SelectObject(&colour);
    pDC->Rectangle(r.left + 5, r.top + 4, r.right - 15, r.bottom - 4);
  }
  if (lpDIS->itemState & ODS_FOCUS) DrawFocus(pDC, r);
  pDC->SelectObject(m_pOldPen);
  pDC->SelectObject(m_pOldBrush);
}
