#include "afx/winbar.h"

#include "afx/winapp.h"
#include "afx/windlg.h"
#include "afx/wingdi.h"
#include "afx/winmsg.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_WM_CTLCOLOR()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CControlBar::~CControlBar() {
  if (m_hWndToolTip) ::DestroyWindow(m_hWndToolTip);
}

CSize CControlBar::CalcFixedLayout(BOOL, BOOL bHorz) {
  CSize size = m_sizeDefault;
  return bHorz ? CSize(0x7FFF, size.cy) : CSize(size.cx, 0x7FFF);
}

void CControlBar::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

void CControlBar::OnDestroy() {
  if (m_hWndToolTip) {
    ::DestroyWindow(m_hWndToolTip);
    m_hWndToolTip = nullptr;
  }
  Default();
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!IsWindowVisible()) return 0;
  // A bar owned by a view (the print preview's) asks its frame, which routes to that view.
  auto* target = DYNAMIC_DOWNCAST(CFrameWnd, GetOwner());
  if (!target) target = GetParentFrame();
  if (target) OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
  return 0;
}

HBRUSH CControlBar::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) { return CWnd::OnCtlColor(pDC, pWnd, nCtlColor); }

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM: {
      LRESULT r = 0;
      if (OnWndMsg(message, wParam, lParam, &r)) return r;
      if (message == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lParam);
        if (nm->code == TTN_NEEDTEXTA) return OnToolTipNeedText(nm);
      }
      // What the bar does not take goes to its owner, the frame, and on along its route.
      CWnd* owner = GetOwner();
      return owner ? ::SendMessageA(owner->m_hWnd, message, wParam, lParam) : 0;
    }
    default:
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CControlBar::OnToolTipNeedText(NMHDR* pNMHDR) {
  auto* tt = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
  UINT id = static_cast<UINT>(pNMHDR->idFrom);
  if (tt->uFlags & TTF_IDISHWND) id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(pNMHDR->idFrom)));
  // The tip is the part after "\n" of the id's string.
  static thread_local char text[256];
  CString s = AfxLoadString(id);
  int nl = s.Find('\n');
  lstrcpynA(text, nl < 0 ? "" : static_cast<LPCTSTR>(s.Mid(nl + 1)), sizeof text);
  tt->lpszText = text;
  tt->hinst = nullptr;
  return 0;
}

void CControlBar::AddToolTips() {
  if (!(m_dwStyle & CBRS_TOOLTIPS) || m_hWndToolTip) return;
  m_hWndToolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                    AfxGetInstanceHandle(), nullptr);
  if (!m_hWndToolTip) return;
  for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(h);
    ti.lpszText = LPSTR_TEXTCALLBACKA;
    ::SendMessageA(m_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

BOOL CControlBar::PreTranslateMessage(MSG* pMsg) { return CWnd::PreTranslateMessage(pMsg); }

// ---- CDialogBar

BOOL CDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID) {
  return Create(pParentWnd, MAKEINTRESOURCEA(nIDTemplate), nStyle, nID);
}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID) {
  m_dwStyle = nStyle & CBRS_ALL;
  m_lpszTemplateName = lpszTemplateName;
  if (!pParentWnd || !AfxCreateDlg(this, lpszTemplateName, pParentWnd->m_hWnd)) return FALSE;
  m_hWndOwner = pParentWnd->m_hWnd;
  SetDlgCtrlID(static_cast<int>(nID));
  CRect rect;
  GetWindowRect(&rect);
  m_sizeDefault = rect.Size();
  AddToolTips();
  if (GetStyle() & WS_VISIBLE) {
    if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, pParentWnd)) frame->RecalcLayout();
  }
  return TRUE;
}

void CDialogBar::PreInitDialog() { AfxExecuteDlgInit(this, m_lpszTemplateName); }

namespace {
// The bar's own message map first, then the frame's route: a button that the bar handles itself
// counts as handled.
class CBarRoute : public CCmdTarget {
 public:
  CBarRoute(CWnd* bar, CFrameWnd* frame) : m_bar(bar), m_frame(frame) {}
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override {
    return m_bar->CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) || m_frame->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  }

 private:
  CWnd* m_bar;
  CFrameWnd* m_frame;
};
}  // namespace

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CBarRoute route(this, pTarget);
  UpdateDialogControls(&route, bDisableIfNoHndler);
}
