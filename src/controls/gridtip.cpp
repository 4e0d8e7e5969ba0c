#include "controls/gridtip.h"

#define TITLETIP_CLASSNAME "ZTitleTip"

BEGIN_MESSAGE_MAP(CGridTitleTip, CWnd)
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

void RegisterDefaultProcClass(LPCTSTR lpszClassName, UINT nStyle, int nBackground) {
  HINSTANCE hInst = ::GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (::GetClassInfoA(hInst, lpszClassName, &wc)) return;
  wc.style = nStyle;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = hInst;
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(INT_PTR)(nBackground + 1);
  wc.lpszClassName = lpszClassName;
  if (!::RegisterClassA(&wc)) AfxThrowResourceException();
}

CGridTitleTip::CGridTitleTip() { RegisterDefaultProcClass(TITLETIP_CLASSNAME, CS_SAVEBITS, COLOR_INFOBK); }

CGridTitleTip::~CGridTitleTip() {
  if (m_hWnd) DestroyWindow();
}

BOOL CGridTitleTip::Create(CWnd* pParentWnd) {
  m_pParentWnd = pParentWnd;
  return CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, TITLETIP_CLASSNAME, nullptr, WS_POPUP | WS_BORDER, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr);
}

void CGridTitleTip::ShowTip(LPCRECT rectTitle, LPCTSTR lpszText, int xOffset, LPCRECT pHover, const LOGFONTA* pFont) {
  CRect title(rectTitle);
  if (!m_hWnd || title.IsRectEmpty()) return;
  m_rectHover = pHover ? *pHover : title;
  m_pParentWnd->ClientToScreen(&m_rectHover);  // kept on the screen: the tip moves
  if (IsWindowVisible() || !::GetFocus()) return;
  m_rectTitle.SetRect(-1 - xOffset, -1, title.Width() - xOffset, title.Height() + 1);
  m_pParentWnd->ClientToScreen(&title);
  const CString shown = CString(" ") + lpszText + " ";
  Place(title, shown, pFont, xOffset);
}

// Shows the tip over the cell when the text does not fit it, and takes the mouse.
void CGridTitleTip::Place(const CRect& title, const CString& shown, const LOGFONTA* pFont, int offset) {
  CClientDC dc(this);
  CFont font;
  if (pFont) font.CreateFontIndirect(pFont);
  CFont* old = dc.SelectObject(pFont ? &font : m_pParentWnd->GetFont());
  const int width = dc.GetTextExtent(shown).cx;
  TEXTMETRICA tm;
  dc.GetTextMetrics(&tm);
  const int overhang = tm.tmOverhang;
  if (title.left + offset + width + overhang + offset > title.right - offset) {
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, title.left + offset, title.top, width + overhang + offset, title.Height(),
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateWindow();  // its background first, then the text
    dc.SetBkMode(TRANSPARENT);
    CRect text(0, 0, width + overhang, title.Height());
    dc.DrawText(shown, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SetCapture();
  }
  dc.SelectObject(old);
}

void CGridTitleTip::HideTip() {
  if (!m_hWnd || !IsWindowVisible()) return;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  ShowWindow(SW_HIDE);
}

void CGridTitleTip::PassOn(UINT nClientMsg, UINT nNonClientMsg, WPARAM wParam, POINT ptScreen, bool bPost) {
  HWND below = ::WindowFromPoint(ptScreen);
  if (!below || below == m_hWnd) below = m_pParentWnd->m_hWnd;
  const LRESULT hit = ::SendMessageA(below, WM_NCHITTEST, 0, MAKELPARAM(ptScreen.x, ptScreen.y));
  UINT message = nClientMsg;
  LPARAM lParam;
  if (hit == HTCLIENT) {
    POINT client = ptScreen;
    ::ScreenToClient(below, &client);
    lParam = MAKELPARAM(client.x, client.y);
  } else {
    message = nNonClientMsg;
    wParam = (WPARAM)hit;
    lParam = MAKELPARAM(ptScreen.x, ptScreen.y);
  }
  if (bPost)
    ::PostMessageA(below, message, wParam, lParam);
  else
    ::SendMessageA(below, message, wParam, lParam);
}

void CGridTitleTip::OnMouseMove(UINT nFlags, CPoint point) {
  ClientToScreen(&point);
  if (m_rectHover.PtInRect(point)) return;
  HideTip();
  PassOn(WM_MOUSEMOVE, WM_NCMOUSEMOVE, nFlags, point, true);
}

BOOL CGridTitleTip::PreTranslateMessage(MSG* pMsg) {
  switch (pMsg->message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      POINT pt{(short)LOWORD(pMsg->lParam), (short)HIWORD(pMsg->lParam)};
      ::ClientToScreen(pMsg->hwnd, &pt);
      HideTip();
      const UINT nonClient = pMsg->message == WM_LBUTTONDOWN   ? WM_NCLBUTTONDOWN
                             : pMsg->message == WM_RBUTTONDOWN ? WM_NCRBUTTONDOWN
                                                               : WM_NCMBUTTONDOWN;
      PassOn(pMsg->message, nonClient, pMsg->wParam, pt, false);
      return TRUE;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      HideTip();
      m_pParentWnd->PostMessage(pMsg->message, pMsg->wParam, pMsg->lParam);
      return TRUE;
    default:
      break;
  }
  if (::GetFocus()) return CWnd::PreTranslateMessage(pMsg);
  HideTip();
  return TRUE;
}
