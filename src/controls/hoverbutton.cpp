#include "controls/hoverbutton.h"

#include <algorithm>

#include "controls/dibimage.h"

namespace {

const UINT_PTR kRepeatTimer = 0;

// The module that holds a bitmap resource: the program's resources, else the program itself.
HINSTANCE ModuleOfBitmap(UINT nID) {
  HINSTANCE h = AfxGetResourceHandle();
  if (h && ::FindResourceA(h, MAKEINTRESOURCEA(nID), (LPCSTR)RT_BITMAP)) return h;
  return ::GetModuleHandleA(nullptr);
}

// A device-dependent bitmap of a .bmp file on the screen, or null.
HBITMAP BitmapFromFile(LPCTSTR lpszFile) {
  if (!lpszFile || !*lpszFile) return nullptr;
  const std::vector<uint8_t> dib = ReadBmpFile(lpszFile);
  if (dib.empty()) return nullptr;
  const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  const size_t bitsAt = dib.size() - h->biSizeImage;
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateDIBitmap(screen, h, CBM_INIT, dib.data() + bitsAt, reinterpret_cast<const BITMAPINFO*>(h),
                                    DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

}  // namespace

BEGIN_MESSAGE_MAP(CHoverButton, CButton)
  ON_WM_MOUSEMOVE()
  ON_WM_CAPTURECHANGED()
  ON_WM_KILLFOCUS()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_TIMER()
  ON_NOTIFY_REFLECT_EX(TTN_NEEDTEXTA, OnNeedText)
END_MESSAGE_MAP()

CHoverButton::CHoverButton() { ResetState(); }

CHoverButton::~CHoverButton() { FreeBitmaps(); }

void CHoverButton::ResetState() {
  m_nCheck = 0;
  m_hWndNotify = nullptr;
  m_bToggle = TRUE;
  m_strCaption.Empty();
  m_bShowText = FALSE;
  m_bDown = FALSE;
  m_bHoverImage = FALSE;
  m_bMouseOver = FALSE;
  m_cxImage = m_cyImage = 0;
  FreeBitmaps();
  SetFaceColor(0xC1C1C1, FALSE);
  SetHoverColor(0xC1C1C1, FALSE);
  SetAttributeD(0xC1C1C1, FALSE);
  SetTextColor(0x000000, FALSE);
  SetDownTextColor(0x009700, FALSE);
}

void CHoverButton::FreeBitmaps() {
  for (int i = 0; i < kStates; i++) {
    m_fileBitmaps[i].Detach();
    if (m_hImages[i]) ::DeleteObject(m_hImages[i]);
    m_hImages[i] = nullptr;
  }
}

void CHoverButton::PreSubclassWindow() {
  ::SendMessageA(m_hWnd, BM_SETSTYLE, (GetStyle() & 0xFF) | BS_OWNERDRAW, TRUE);
  CButton::PreSubclassWindow();
}

void CHoverButton::RedrawNow() {
  if (IsWindow()) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

BOOL CHoverButton::LoadStateBitmaps(UINT nNormal, UINT nDown, UINT nHover, UINT nDownHover, UINT nDisabled,
                                    UINT nDownDisabled, int width, int height, COLORREF crMap, BOOL bMap) {
  if (nNormal == 0) return FALSE;
  FreeBitmaps();
  HINSTANCE module = ModuleOfBitmap(nNormal);
  CRect client(0, 0, 0, 0);
  if (IsWindow()) GetClientRect(&client);
  const int cx = width ? width : client.Width(), cy = height ? height : client.Height();
  const UINT ids[kStates] = {nNormal, nHover, nDisabled, nDown, nDownHover, nDownDisabled};
  for (int i = 0; i < kStates; i++) {
    if (ids[i] == 0) continue;
    COLORMAP map = {crMap, i == kNormal ? ::GetSysColor(COLOR_BTNFACE) : 0xFFFFFF};
    HBITMAP h = ::CreateMappedBitmap(module, (INT_PTR)ids[i], 0, bMap ? &map : nullptr, bMap ? 1 : 0);
    if (h && cx > 0 && cy > 0) h = (HBITMAP)::CopyImage(h, IMAGE_BITMAP, cx, cy, LR_COPYDELETEORG);
    m_hImages[i] = h;
  }
  if (!m_hImages[kNormal]) {
    FreeBitmaps();
    return FALSE;
  }
  m_cxImage = cx;
  m_cyImage = cy;
  RedrawNow();
  return TRUE;
}

BOOL CHoverButton::SetBitmaps(LPCTSTR lpszNormal, LPCTSTR lpszDown, int width, int height, LPCTSTR lpszHover,
                              LPCTSTR lpszDownHover, LPCTSTR lpszDisabled, LPCTSTR lpszDownDisabled) {
  FreeBitmaps();
  const LPCTSTR files[kStates] = {lpszNormal, lpszHover, lpszDisabled, lpszDown, lpszDownHover, lpszDownDisabled};
  for (int i = 0; i < kStates; i++) {
    HBITMAP h = BitmapFromFile(files[i]);
    if (h) m_fileBitmaps[i].Attach(h);
  }
  if (!m_fileBitmaps[kNormal].m_hObject) {
    for (CBitmap& b : m_fileBitmaps) b.DeleteObject();
    return FALSE;
  }
  BITMAP bm{};
  m_fileBitmaps[kNormal].GetBitmap(&bm);
  m_cxImage = (width & 0xFF) ? (width & 0xFF) : bm.bmWidth;
  m_cyImage = (height & 0xFF) ? (height & 0xFF) : bm.bmHeight;
  for (int i = 0; i < kStates; i++) m_hImages[i] = (HBITMAP)m_fileBitmaps[i].m_hObject;
  RedrawNow();
  return TRUE;
}

void CHoverButton::SetAttributeC(HWND hWndNotify) {
  m_hWndNotify = hWndNotify;
  m_bToggle = FALSE;
}

void CHoverButton::EnableHover(BOOL bToggle) {
  m_bToggle = bToggle;
  if (IsWindow()) Invalidate();
}

void CHoverButton::SetTooltipText(LPCTSTR lpszText) {
  m_strCaption = lpszText ? lpszText : "";
  m_strTip = m_strCaption;
}

void CHoverButton::SetTooltip(LPCTSTR lpszText, LPCTSTR, LPCTSTR) { SetTooltipText(lpszText); }

void CHoverButton::ShowText(BOOL bShow) {
  m_bShowText = bShow;
  if (IsWindow()) Invalidate();
}

void CHoverButton::SetHighlighted(BOOL bDown) {
  m_bDown = bDown;
  m_nCheck = bDown ? 1 : 0;
  if (IsWindow()) Invalidate();
}

#define VEDRA_HOVER_SETTER(name, member)                \
  void CHoverButton::name(COLORREF cr, BOOL bRepaint) { \
    member = cr;                                        \
    if (bRepaint && IsWindow()) Invalidate();           \
  }
VEDRA_HOVER_SETTER(SetAttributeD, m_crDown)
VEDRA_HOVER_SETTER(SetDownTextColor, m_crDownText)
VEDRA_HOVER_SETTER(SetFaceColor, m_crFace)
VEDRA_HOVER_SETTER(SetHoverColor, m_crHover)
VEDRA_HOVER_SETTER(SetTextColor, m_crText)
#undef VEDRA_HOVER_SETTER

CPoint CHoverButton::MenuOrigin(const CRect& rcButton, int popupHeight) {
  const int x = std::max(0, (int)rcButton.left);
  const int y = rcButton.top >= popupHeight ? rcButton.top - popupHeight : rcButton.bottom;
  return CPoint(x, y);
}

BOOL CHoverButton::TrackMenu(UINT nMenuID, UINT, UINT, int popupHeight, int nSubMenu) {
  SetDownTextColor(0x000000, FALSE);
  CMenu menu;
  if (!menu.LoadMenu(nMenuID)) return FALSE;
  CMenu* pPopup = menu.GetSubMenu(nSubMenu);
  if (!pPopup) return FALSE;
  CRect r;
  GetWindowRect(&r);
  const CPoint at = MenuOrigin(r, popupHeight);
  CWnd* pMain = AfxGetMainWnd();
  return pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, pMain ? pMain : this);
}

// ---- mouse

void CHoverButton::OnMouseMove(UINT nFlags, CPoint point) {
  Default();
  if ((nFlags & MK_LBUTTON) && !m_bMouseOver) return;
  if (::GetCapture() != m_hWnd && GetOwner()) {
    m_bHoverImage = m_bMouseOver = TRUE;
    SetFocus();
    SetCapture();
    Invalidate();
    return;
  }
  CRect r;
  GetClientRect(&r);
  if (r.PtInRect(point)) return;
  m_bHoverImage = FALSE;
  if (m_bMouseOver) {
    m_bMouseOver = FALSE;
    Invalidate();
  }
  if (!(nFlags & MK_LBUTTON)) ::ReleaseCapture();
}

void CHoverButton::OnCaptureChanged(CWnd*) {
  m_bHoverImage = FALSE;
  if (m_bMouseOver) {
    ::ReleaseCapture();
    Invalidate();
  }
  Default();
}

void CHoverButton::OnKillFocus(CWnd*) {
  Default();
  m_bHoverImage = FALSE;
  if (m_bMouseOver) {
    m_bMouseOver = FALSE;
    Invalidate();
  }
}

void CHoverButton::Notify(UINT message) {
  if (!m_bToggle && m_hWndNotify) ::SendMessageA(m_hWndNotify, message, (WPARAM)GetDlgCtrlID(), 0);
}

void CHoverButton::OnLButtonDown(UINT, CPoint) {
  Default();
  if (!IsWindow()) return;
  m_bDown = !m_bDown;
  if (!m_bToggle) {
    Notify(WM_HOVERBUTTON_DOWN);
    SetTimer(kRepeatTimer, 1);
  }
  Invalidate();
}

void CHoverButton::OnTimer(UINT_PTR) {
  Notify(WM_HOVERBUTTON_REPEAT);
  Default();
}

void CHoverButton::OnLButtonUp(UINT, CPoint point) {
  if (IsWindow()) KillTimer(kRepeatTimer);
  if (!m_bToggle) {
    m_bDown = FALSE;
    Notify(WM_HOVERBUTTON_UP);
  } else {
    CRect r;
    GetClientRect(&r);
    if (!r.PtInRect(point)) m_bDown = !m_bDown;  // released outside: no toggle
  }
  m_nCheck = m_bDown ? 1 : 0;
  Default();
  if (IsWindow()) Invalidate();
}

BOOL CHoverButton::OnNeedText(NMHDR* pNMHDR, LRESULT* pResult) {
  if (m_strTip.IsEmpty()) return FALSE;
  auto* tt = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
  tt->lpszText = const_cast<LPSTR>(static_cast<LPCTSTR>(m_strTip));
  tt->hinst = nullptr;
  *pResult = 0;
  return TRUE;
}

// ---- drawing

HBITMAP CHoverButton::ImageFor(BOOL bDisabled) const {
  if (m_bDown) {
    const int state = bDisabled ? kDownDisabled : m_bHoverImage ? kDownHover : kDown;
    if (m_hImages[state]) return m_hImages[state];
  }
  const int state = bDisabled ? kDisabled : m_bHoverImage ? kHover : kNormal;
  return m_hImages[state] ? m_hImages[state] : m_hImages[kNormal];
}

void CHoverButton::DrawImage(CDC* pDC, const CRect& r, BOOL bDisabled) {
  HBITMAP h = ImageFor(bDisabled);
  BITMAP bm{};
  if (!h || !::GetObjectA(h, sizeof bm, &bm)) return;
  const int cx = m_cxImage ? std::min<int>(bm.bmWidth, m_cxImage) : bm.bmWidth;
  const int cy = m_cyImage ? std::min<int>(bm.bmHeight, m_cyImage) : bm.bmHeight;
  const CPoint at(r.left + (r.Width() - cx) / 2, r.top + (r.Height() - cy) / 2);
  pDC->DrawState(at, CSize(cx, cy), h, DST_BITMAP);
}

void CHoverButton::DrawCaption(CDC* pDC, const CRect& r, BOOL bDisabled) {
  CFont font;
  font.CreatePointFont(bDisabled ? 80 : 90, "Microsoft Sans Serif", pDC);
  CFont* pOld = pDC->SelectObject(&font);
  pDC->SetTextColor(m_bDown ? m_crDownText : m_crText);
  pDC->SetBkMode(TRANSPARENT);
  CRect text(r);
  pDC->DrawText(m_strCaption, &text, DT_SINGLELINE | DT_CENTER | DT_CALCRECT);
  text.OffsetRect(r.left + (r.Width() - text.Width()) / 2 - text.left, r.top + (r.Height() - text.Height()) / 2 - text.top);
  pDC->DrawState(text.TopLeft(), text.Size(), m_strCaption, DST_PREFIXTEXT | (bDisabled ? DSS_DISABLED : 0), TRUE, 0,
                 nullptr);
  pDC->SelectObject(pOld);
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  const CRect r(lpDIS->rcItem);
  const BOOL bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;
  const BOOL bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
  COLORREF back = m_crFace;
  if (m_bToggle && m_bDown) back = m_crDown;
  else if (m_bMouseOver || bPressed) back = m_crHover;
  pDC->FillSolidRect(&r, back);
  if (m_strCaption.IsEmpty()) m_strCaption = GetWindowText();
  if (!m_bShowText) m_strCaption.Empty();
  if (m_hImages[kNormal]) DrawImage(pDC, r, bDisabled);
  if (m_bShowText) DrawCaption(pDC, r, bDisabled);
}
