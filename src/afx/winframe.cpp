#include "afx/winframe.h"

#include "afx/winapp.h"
#include "afx/winbar.h"
#include "afx/windoc.h"
#include "afx/wingdi.h"
#include "afx/winmenu.h"
#include "afx/winmsg.h"
#include "afx/winview.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_SETFOCUS()
  ON_WM_INITMENUPOPUP()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace {
// The first line of a string resource (the part before the first "\n").
CString FirstField(UINT nID) {
  CString s = AfxLoadString(nID);
  int nl = s.Find('\n');
  return nl < 0 ? s : s.Left(nl);
}

bool HasResource(UINT nID, LPCSTR type) {
  return ::FindResourceA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nID), type) != nullptr;
}
}  // namespace

// ---- CFrameWnd: creation

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
  HMENU menu = nullptr;
  if (lpszMenuName && !(dwStyle & WS_CHILD)) {
    menu = ::LoadMenuA(AfxGetResourceHandle(), lpszMenuName);
    if (!menu) return FALSE;
  }
  m_strTitle = lpszWindowName;
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (rect.left == CW_USEDEFAULT) w = h = CW_USEDEFAULT;
  if (!CWnd::CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle & ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE),
                      rect.left, rect.top, w, h, AfxGetSafeHwnd(pParentWnd), menu, pContext)) {
    if (menu) ::DestroyMenu(menu);
    return FALSE;
  }
  if (dwStyle & FWS_ADDTOTITLE) ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(GetStyle() | FWS_ADDTOTITLE));
  m_hMenuDefault = menu;
  return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  bool hasIcon = HasResource(nIDResource, RT_GROUP_ICON);
  CString title = FirstField(nIDResource);
  if (!hasIcon && title.IsEmpty() && !HasResource(nIDResource, RT_STRING)) return FALSE;
  m_nIDHelp = nIDResource;
  HICON icon = hasIcon ? ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)) : nullptr;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                                    reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
  LPCTSTR menu = HasResource(nIDResource, RT_MENU) ? MAKEINTRESOURCEA(nIDResource) : nullptr;
  return Create(cls, title, dwDefaultStyle, rectDefault, pParentWnd, menu, 0, pContext);
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA lpcs) {
  if (Default() == -1) return -1;
  auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
  if (GetStyle() & WS_CHILD) {
    // MDI children get their context through the MDICREATESTRUCT.
    auto* mcs = static_cast<MDICREATESTRUCTA*>(lpcs->lpCreateParams);
    pContext = mcs ? reinterpret_cast<CCreateContext*>(mcs->lParam) : nullptr;
  }
  if (!OnCreateClient(lpcs, pContext)) return -1;
  RecalcLayout();
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* pContext) {
  if (pContext && pContext->m_pNewViewClass) return CreateView(pContext) != nullptr;
  return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
  CObject* obj = pContext->m_pNewViewClass->CreateObject();
  auto* view = DYNAMIC_DOWNCAST(CWnd, obj);
  if (!view) {
    delete obj;
    return nullptr;
  }
  if (!view->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW & ~WS_BORDER, CRect(0, 0, 0, 0), this, nID, pContext)) {
    delete view;  // never had a window, or lost it while being made
    return nullptr;
  }
  return view;
}

// ---- layout

CRect CFrameWnd::LayoutBars() {
  CRect rect;
  GetClientRect(&rect);
  for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    auto* bar = DYNAMIC_DOWNCAST(CControlBar, FromHandlePermanent(h));
    if (!bar || !(::GetWindowLongPtrA(h, GWL_STYLE) & WS_VISIBLE)) continue;
    CSize size = bar->CalcFixedLayout(FALSE, (bar->m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    DWORD align = bar->m_dwStyle & CBRS_ALIGN_ANY;
    CRect place = rect;
    if (align & CBRS_ALIGN_TOP) {
      place.bottom = place.top + size.cy;
      rect.top = place.bottom;
    } else if (align & CBRS_ALIGN_BOTTOM) {
      place.top = place.bottom - size.cy;
      rect.bottom = place.top;
    } else if (align & CBRS_ALIGN_LEFT) {
      place.right = place.left + size.cx;
      rect.left = place.right;
    } else if (align & CBRS_ALIGN_RIGHT) {
      place.left = place.right - size.cx;
      rect.right = place.left;
    } else {
      continue;
    }
    ::SetWindowPos(h, nullptr, place.left, place.top, place.Width(), place.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (rect.bottom < rect.top) rect.bottom = rect.top;
  if (rect.right < rect.left) rect.right = rect.left;
  return rect;
}

void CFrameWnd::PlaceClient(const CRect& rect) {
  if (HWND view = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
    ::SetWindowPos(view, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFrameWnd::RecalcLayout(BOOL) {
  if (!m_hWnd) return;
  PlaceClient(LayoutBars());
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL) {
  if (!pBar || !pBar->m_hWnd) return;
  pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
  RecalcLayout();
}

void CFrameWnd::OnSize(UINT nType, int, int) {
  if (nType != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC) {
  // The view covers the client area: erasing under it only flickers.
  if (::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)) return TRUE;
  return CWnd::OnEraseBkgnd(pDC);
}

// ---- views, documents, activation

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
  CView* old = m_pViewActive;
  if (old == pViewNew) return;
  m_pViewActive = pViewNew;
  if (!bNotify) return;
  if (old) old->OnActivateView(FALSE, pViewNew, old);
  if (pViewNew) pViewNew->OnActivateView(TRUE, pViewNew, old);
}

CDocument* CFrameWnd::GetActiveDocument() {
  CView* view = GetActiveView();
  return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::OnSetFocus(CWnd*) {
  if (m_pViewActive && m_pViewActive->m_hWnd) m_pViewActive->SetFocus();
  else Default();
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
  if (nCmdShow == -1) nCmdShow = IsIconic() ? SW_RESTORE : (IsWindowVisible() ? SW_SHOW : SW_SHOWNORMAL);
  ShowWindow(nCmdShow);
  if (!(GetStyle() & WS_CHILD)) ::SetForegroundWindow(m_hWnd);
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible) {
  if (!m_pViewActive) {
    auto* view = DYNAMIC_DOWNCAST(CView, FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
    if (view) SetActiveView(view, FALSE);
  }
  SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
  if (bMakeVisible) {
    ActivateFrame();
    if (m_pViewActive) m_pViewActive->OnActivateView(TRUE, m_pViewActive, m_pViewActive);
  }
  OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!bAddToTitle || !(GetStyle() & FWS_ADDTOTITLE)) return;
  CDocument* doc = GetActiveDocument();
  if (!doc) {
    SetWindowText(m_strTitle);
  } else if (m_strTitle.IsEmpty()) {
    SetWindowText(doc->GetTitle());
  } else {
    SetWindowText(doc->GetTitle() + " - " + m_strTitle);
  }
}

void CFrameWnd::OnClose() {
  CDocument* doc = GetActiveDocument();
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    // Closing the main frame asks nothing: the program's own handlers ask before it comes here.
    app->CloseAllDocuments(FALSE);
    if (app->m_pMainWnd == this) DestroyWindow();
    return;
  }
  if (doc && !doc->CanCloseFrame(this)) return;
  if (doc && doc->CountFrames() <= 1) {
    doc->OnCloseDocument();  // destroys this frame with the document's others
    return;
  }
  DestroyWindow();
}

void CFrameWnd::OnDestroy() {
  m_pViewActive = nullptr;
  if (m_nModalState > 0) {
    m_nModalState = 1;
    EndModalState();
  }
  Default();
}

// ---- modal state: the frame and the windows it owns are disabled while a modal box shows

namespace {
struct OwnedArgs {
  HWND owner;
  std::vector<HWND>* found;
};

BOOL CALLBACK CollectOwned(HWND h, LPARAM lParam) {
  auto* args = reinterpret_cast<OwnedArgs*>(lParam);
  if (::GetWindow(h, GW_OWNER) == args->owner && ::IsWindowEnabled(h)) args->found->push_back(h);
  return TRUE;
}
}  // namespace

void CFrameWnd::BeginModalState() {
  if (m_nModalState++ > 0) return;
  m_pModalDisabled = new std::vector<HWND>;
  OwnedArgs args{m_hWnd, m_pModalDisabled};
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectOwned, reinterpret_cast<LPARAM>(&args));
  for (HWND h : *m_pModalDisabled) {
    CWnd* w = FromHandlePermanent(h);
    if (w) w->BeginModalState();
    else ::EnableWindow(h, FALSE);
  }
  ::EnableWindow(m_hWnd, FALSE);
}

void CFrameWnd::EndModalState() {
  if (m_nModalState == 0 || --m_nModalState > 0) return;
  ::EnableWindow(m_hWnd, TRUE);
  if (!m_pModalDisabled) return;
  for (HWND h : *m_pModalDisabled) {
    if (!::IsWindow(h)) continue;
    CWnd* w = FromHandlePermanent(h);
    if (w) w->EndModalState();
    else ::EnableWindow(h, TRUE);
  }
  delete m_pModalDisabled;
  m_pModalDisabled = nullptr;
}

// ---- commands and update UI

BOOL CFrameWnd::RouteCommand(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (m_pViewActive && m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (RouteCommand(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  for (CFrameWnd* f = GetParentFrame(); f; f = f->GetParentFrame())
    if (f->CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu) {
  if (bSysMenu || !pMenu) return;
  CCmdUI ui;
  ui.m_pMenu = pMenu->m_hMenu;
  ui.m_nIndexMax = static_cast<UINT>(pMenu->GetMenuItemCount());
  for (ui.m_nIndex = 0; ui.m_nIndex < ui.m_nIndexMax; ++ui.m_nIndex) {
    ui.m_nID = pMenu->GetMenuItemID(static_cast<int>(ui.m_nIndex));
    if (ui.m_nID == 0 || ui.m_nID == static_cast<UINT>(-1)) continue;  // separators and popups
    ui.DoUpdate(this, m_bAutoMenuEnable);
  }
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  if (GetStyle() & FWS_ADDTOTITLE) OnUpdateFrameTitle(TRUE);
  return 0;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) { return CWnd::PreTranslateMessage(pMsg); }

// ---- CMDIFrameWnd

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
END_MESSAGE_MAP()

BOOL CMDIFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  return CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext*) { return CreateClient(lpcs, nullptr); }

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCTA, CMenu* pWindowMenu) {
  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = pWindowMenu ? pWindowMenu->m_hMenu : nullptr;
  ccs.idFirstChild = AFX_IDW_PANE_FIRST + 0x100;
  m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES, 0,
                                      0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
                                      AfxGetInstanceHandle(), &ccs);
  return m_hWndMDIClient != nullptr;
}

void CMDIFrameWnd::PlaceClient(const CRect& rect) {
  if (m_hWndMDIClient)
    ::SetWindowPos(m_hWndMDIClient, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // The frame lays out the MDI client itself.
  if (message == WM_SIZE) return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
  return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const {
  if (!m_hWndMDIClient) return nullptr;
  BOOL maximized = FALSE;
  auto h = reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  if (pbMaximized) *pbMaximized = h ? maximized : FALSE;
  return DYNAMIC_DOWNCAST(CMDIChildWnd, FromHandlePermanent(h));
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate) {
  ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(AfxGetSafeHwnd(pWndActivate)), 0);
}
void CMDIFrameWnd::MDIMaximize(CWnd* pWnd) {
  ::SendMessageA(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(AfxGetSafeHwnd(pWnd)), 0);
}
void CMDIFrameWnd::MDIRestore(CWnd* pWnd) {
  ::SendMessageA(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(AfxGetSafeHwnd(pWnd)), 0);
}
void CMDIFrameWnd::MDINext() { ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, 0); }

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
  CMDIChildWnd* child = MDIGetActive();
  return child ? static_cast<CFrameWnd*>(child) : this;
}

CDocument* CMDIFrameWnd::GetActiveDocument() {
  CMDIChildWnd* child = MDIGetActive();
  return child ? child->GetActiveDocument() : nullptr;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  CMDIChildWnd* child = MDIGetActive();
  if (child && child->RouteCommand(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (CFrameWnd::PreTranslateMessage(pMsg)) return TRUE;
  return m_hWndMDIClient && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
         ::TranslateMDISysAccel(m_hWndMDIClient, pMsg);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!bAddToTitle || !(GetStyle() & FWS_ADDTOTITLE)) return;
  CDocument* doc = GetActiveDocument();
  SetWindowText(doc ? m_strTitle + " - " + doc->GetTitle() : m_strTitle);
}

// ---- CMDIChildWnd

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
  ON_WM_MDIACTIVATE()
  ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext) {
  if (!pParentWnd) pParentWnd = DYNAMIC_DOWNCAST(CMDIFrameWnd, AfxGetMainWnd());
  if (!pParentWnd || !pParentWnd->m_hWndMDIClient) return FALSE;
  CREATESTRUCTA cs{};
  cs.lpszClass = lpszClassName;
  cs.style = static_cast<LONG>(dwStyle);
  if (!PreCreateWindow(cs)) return FALSE;
  MDICREATESTRUCTA mcs{};
  mcs.szClass = cs.lpszClass;
  mcs.szTitle = lpszWindowName;
  mcs.hOwner = AfxGetInstanceHandle();
  bool def = rect.left == CW_USEDEFAULT;
  mcs.x = def ? CW_USEDEFAULT : rect.left;
  mcs.y = def ? CW_USEDEFAULT : rect.top;
  mcs.cx = def ? CW_USEDEFAULT : rect.right - rect.left;
  mcs.cy = def ? CW_USEDEFAULT : rect.bottom - rect.top;
  mcs.style = static_cast<DWORD>(cs.style) & ~(WS_MAXIMIZE | WS_VISIBLE | FWS_ADDTOTITLE | FWS_PREFIXTITLE);
  mcs.lParam = reinterpret_cast<LPARAM>(pContext);
  m_strTitle = lpszWindowName;
  AfxHookWindowCreate(this);
  auto h = reinterpret_cast<HWND>(::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  AfxUnhookWindowCreate();
  if (!h) {
    if (m_hWnd) Detach();
    return FALSE;
  }
  if (dwStyle & FWS_ADDTOTITLE) ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(GetStyle() | FWS_ADDTOTITLE));
  if (dwStyle & WS_VISIBLE) {
    ::ShowWindow(h, (dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    ::SendMessageA(pParentWnd->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
  }
  return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  bool hasIcon = HasResource(nIDResource, RT_GROUP_ICON);
  if (!hasIcon && !HasResource(nIDResource, RT_STRING)) return FALSE;
  m_nIDHelp = nIDResource;
  HICON icon = hasIcon ? ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)) : nullptr;
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                                    reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
  return Create(cls, FirstField(nIDResource), dwDefaultStyle, rectDefault, DYNAMIC_DOWNCAST(CMDIFrameWnd, pParentWnd),
                pContext);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
  HWND client = ::GetParent(m_hWnd);
  return DYNAMIC_DOWNCAST(CMDIFrameWnd, FromHandlePermanent(client ? ::GetParent(client) : nullptr));
}

void CMDIChildWnd::MDIActivate() {
  if (CMDIFrameWnd* f = GetMDIFrame()) f->MDIActivate(this);
}
void CMDIChildWnd::MDIDestroy() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0); }
void CMDIChildWnd::MDIMaximize() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0); }
void CMDIChildWnd::MDIRestore() { ::SendMessageA(::GetParent(m_hWnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0); }

BOOL CMDIChildWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  MDIDestroy();
  return TRUE;
}

void CMDIChildWnd::ActivateFrame(int nCmdShow) {
  if (nCmdShow == -1) nCmdShow = IsWindowVisible() ? SW_SHOW : SW_SHOWNORMAL;
  ShowWindow(nCmdShow);
  MDIActivate();
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

void CMDIChildWnd::OnSize(UINT nType, int cx, int cy) {
  Default();  // the MDI child procedure keeps the maximized state
  CFrameWnd::OnSize(nType, cx, cy);
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd*) {
  Default();
  if (m_pViewActive) {
    CView* view = m_pViewActive;
    view->OnActivateView(bActivate, bActivate ? view : nullptr, bActivate ? nullptr : view);
  }
  (void)pActivateWnd;
  if (CMDIFrameWnd* f = GetMDIFrame()) f->OnUpdateFrameTitle(TRUE);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg) { return CFrameWnd::PreTranslateMessage(pMsg); }

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  if (!bAddToTitle || !(GetStyle() & FWS_ADDTOTITLE)) return;
  CDocument* doc = GetActiveDocument();
  SetWindowText(doc ? doc->GetTitle() : m_strTitle);
}

// ---- CMiniFrameWnd

BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                             const RECT& rect, CWnd* pParentWnd, UINT) {
  DWORD style = dwStyle & ~(MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_THICKFRAME | MFS_MOVEFRAME | MFS_BLOCKSYSMENU);
  if (dwStyle & (MFS_THICKFRAME | MFS_4THICKFRAME)) style |= WS_THICKFRAME;
  if (!(style & WS_CHILD)) style |= WS_POPUP;
  m_strTitle = lpWindowName;
  HWND owner = pParentWnd ? pParentWnd->GetTopLevelParent()->m_hWnd : nullptr;
  return CWnd::CreateEx(dwExStyle | WS_EX_TOOLWINDOW, lpClassName, lpWindowName, style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, owner, nullptr, nullptr);
}
