// CWnd: a framework object bound to a window handle, over the Win32 window API.
//
// Handle map: each thread keeps a permanent map from HWND to the CWnd attached to it (from
// creation, Attach or subclassing until WM_NCDESTROY or Detach) and a temporary map of objects
// that FromHandle makes for windows that have none; temporary objects live until the
// application's idle time (AfxDeleteTempMaps). Nothing is ever read out of a window itself, so a
// window of another process or thread never passes for an object.
//
// Messages reach the object through WindowProc -> OnWndMsg, which looks the message up in the
// message map (ON_WM_..., ON_MESSAGE, see afx/winmsg.h); what the map does not take goes to
// DefWindowProc (the window class's own procedure for subclassed windows). WM_COMMAND and
// WM_NOTIFY from a control, WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLOR... go first to the
// control's object (OnChildNotify, the reflected map entries); what it takes the parent never
// sees. Commands then go through OnCommand/OnNotify to OnCmdMsg, which frames and views extend
// into the command route.
#pragma once
#include "afx/afx.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#ifndef _WIN32
#error "afx/winwnd.h is part of the Windows configuration only"
#endif

class CDC;
class CFont;
class CWnd;
class CMenu;
class CScrollBar;
class CFrameWnd;
class CDataExchange;
struct CCreateContext;

// Framework-private messages.
#define WM_IDLEUPDATECMDUI 0x0363  // wParam: disable items without handlers
#define WM_INITIALUPDATE 0x0364    // sent to views (and their frames) after creation
#define WM_SIZEPARENT 0x0361       // control bars take their place from the parent's rectangle

#define afx_msg

// Key of the WM_CTLCOLOR... message-map entries, and the kinds that OnCtlColor is given.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
#define CTLCOLOR_MSGBOX 0
#define CTLCOLOR_EDIT 1
#define CTLCOLOR_LISTBOX 2
#define CTLCOLOR_BTN 3
#define CTLCOLOR_DLG 4
#define CTLCOLOR_SCROLLBAR 5
#define CTLCOLOR_STATIC 6

// The window of a possibly null object.
inline HWND AfxGetSafeHwnd(const CWnd* pWnd);

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
 public:
  CWnd() = default;
  explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // ---- handle map
  // The object of this thread attached to the window, making a temporary one when there is none
  // (null for a null or invalid handle).
  static CWnd* FromHandle(HWND hWnd);
  // The object attached to the window by this thread, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  // Routes the window's messages through this object; the old procedure becomes the default.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  // ---- creation
  // The window class every framework window is created with unless another is named.
  static const char* DefaultClassName();
  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
  virtual BOOL DestroyWindow();

  // ---- message handling
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // A message that this control sent its parent, offered back to the control.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // Offers a parent's message to the control hWndChild.
  static BOOL ReflectLastMsg(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Offers the message to the windows from pMsg->hwnd up to hWndStop (included).
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
  virtual void PreSubclassWindow() {}
  // Last message a window gets; the object is detached after it.
  virtual void PostNcDestroy() {}
  // Called before WM_INITDIALOG reaches a dialog-like window's handlers.
  virtual void PreInitDialog() {}
  // The current message's default processing.
  LRESULT Default();
  const MSG* GetCurrentMessage();

  // ---- modal support, dialog data, update UI
  virtual void BeginModalState() { ::EnableWindow(m_hWnd, FALSE); }
  virtual void EndModalState() { ::EnableWindow(m_hWnd, TRUE); }
  // Runs the framework's message loop until EndModalLoop; the return code of EndModalLoop.
  int RunModalLoop(DWORD dwFlags = 0);
  virtual BOOL ContinueModal() { return m_bModalLoop; }
  virtual void EndModalLoop(int nResult);
  virtual void DoDataExchange(CDataExchange*) {}
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // Asks pTarget's command route about each child control's id (see CCmdUI).
  void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);

  // ---- relatives
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, AfxGetSafeHwnd(pWndNewParent))); }
  CWnd* GetOwner() const;
  void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = AfxGetSafeHwnd(pOwnerWnd); }
  CFrameWnd* GetParentFrame() const;
  CFrameWnd* GetTopLevelFrame() const;
  CWnd* GetTopLevelParent() const;
  CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
  void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  int SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID); }
  CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
  CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, AfxGetSafeHwnd(pWndCtl), bPrevious));
  }
  BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, AfxGetSafeHwnd(pWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
  static CWnd* FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName) {
    return FromHandle(::FindWindowA(lpszClassName, lpszWindowName));
  }
  static CWnd* WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
  CWnd* ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, point)); }

  // ---- state and text
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  void SetWindowText(LPCTSTR text) { ::SetWindowTextA(m_hWnd, text); }
  CString GetWindowText() const;
  void GetWindowText(CString& rString) const { rString = GetWindowText(); }
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const { return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount); }
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
  int GetDlgItemText(int nID, CString& rString) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
  }
  void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
  UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
  void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck) { ::CheckRadioButton(m_hWnd, nIDFirst, nIDLast, nIDCheck); }
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
  }
  DWORD GetStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
  DWORD GetExStyle() const { return (DWORD)::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  CFont* GetFont() const;
  HICON SetIcon(HICON hIcon, BOOL bBigIcon) { return (HICON)SendMessage(WM_SETICON, bBigIcon, (LPARAM)hIcon); }

  // ---- geometry and painting
  void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
  void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
  void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
  void ClientToScreen(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
  void ScreenToClient(LPRECT lpRect) const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
  }
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
  }
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const { return ::GetWindowPlacement(m_hWnd, lpwndpl); }
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
  void CenterWindow(CWnd* pAlternateOwner = nullptr);
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
  void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
  BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hrgn = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgn, flags);
  }
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* pDC);
  void DragAcceptFiles(BOOL bAccept = TRUE) { ::DragAcceptFiles(m_hWnd, bAccept); }
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* pMenu);
  void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
  CMenu* GetSystemMenu(BOOL bRevert) const;

  // ---- scrolling, timers, messages
  int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
  int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
  void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
    ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw);
  }
  void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const { ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos); }
  BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
  }
  BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo) const { return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo); }
  void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }
  void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr) {
    ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect);
  }
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return ::PostMessageA(m_hWnd, msg, wParam, lParam); }
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageA(m_hWnd, msg, wParam, lParam); }
  // A message box owned by this window; the frame it belongs to is modal meanwhile.
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
  BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

  // Default handlers (the On... functions that message maps name): each runs Default().
  // Reflected and routed forms go through the message map; see afx/winmsg.h.
  afx_msg int OnCreate(LPCREATESTRUCTA) { return (int)Default(); }
  afx_msg void OnDestroy() { Default(); }
  afx_msg void OnClose() { Default(); }
  afx_msg void OnNcDestroy();
  afx_msg void OnPaint() { Default(); }
  afx_msg BOOL OnEraseBkgnd(CDC*) { return (BOOL)Default(); }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnTimer(UINT_PTR) { Default(); }
  afx_msg void OnSize(UINT, int, int) { Default(); }
  afx_msg void OnMove(int, int) { Default(); }
  afx_msg void OnKeyDown(UINT, UINT, UINT) { Default(); }
  afx_msg void OnKeyUp(UINT, UINT, UINT) { Default(); }
  afx_msg void OnChar(UINT, UINT, UINT) { Default(); }
  afx_msg void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
  afx_msg void OnSysChar(UINT, UINT, UINT) { Default(); }
  afx_msg void OnMouseMove(UINT, CPoint) { Default(); }
  afx_msg void OnLButtonDown(UINT, CPoint) { Default(); }
  afx_msg void OnLButtonUp(UINT, CPoint) { Default(); }
  afx_msg void OnLButtonDblClk(UINT, CPoint) { Default(); }
  afx_msg void OnMButtonDown(UINT, CPoint) { Default(); }
  afx_msg void OnMButtonUp(UINT, CPoint) { Default(); }
  afx_msg void OnMButtonDblClk(UINT, CPoint) { Default(); }
  afx_msg void OnRButtonDown(UINT, CPoint) { Default(); }
  afx_msg void OnRButtonUp(UINT, CPoint) { Default(); }
  afx_msg void OnRButtonDblClk(UINT, CPoint) { Default(); }
  afx_msg BOOL OnMouseWheel(UINT, short, CPoint) { return (BOOL)Default(); }
  afx_msg BOOL OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }
  afx_msg void OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
  afx_msg void OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
  afx_msg void OnSetFocus(CWnd*) { Default(); }
  afx_msg void OnKillFocus(CWnd*) { Default(); }
  afx_msg void OnCaptureChanged(CWnd*) { Default(); }
  afx_msg void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
  afx_msg void OnDropFiles(HDROP) { Default(); }
  afx_msg void OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
  afx_msg void OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
  afx_msg BOOL OnQueryNewPalette() { return (BOOL)Default(); }
  afx_msg void OnPaletteChanged(CWnd*) { Default(); }
  afx_msg void OnActivate(UINT, CWnd*, BOOL) { Default(); }
  afx_msg void OnActivateApp(BOOL, DWORD) { Default(); }
  afx_msg BOOL OnCopyData(CWnd*, COPYDATASTRUCT*) { return (BOOL)Default(); }
  afx_msg void OnShowWindow(BOOL, UINT) { Default(); }
  afx_msg void OnEnable(BOOL) { Default(); }
  afx_msg void OnContextMenu(CWnd*, CPoint) { Default(); }
  afx_msg void OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
  afx_msg void OnSysCommand(UINT, LPARAM) { Default(); }
  afx_msg UINT OnGetDlgCode() { return (UINT)Default(); }
  afx_msg LRESULT OnNcHitTest(CPoint) { return Default(); }
  afx_msg void OnMDIActivate(BOOL, CWnd*, CWnd*) { Default(); }
  afx_msg void OnSysColorChange() { Default(); }

 protected:
  WNDPROC m_pfnSuper = nullptr;  // procedure of a subclassed window
  HWND m_hWndOwner = nullptr;    // owner of a child window (control bars)
  int m_nModalResult = -1;
  BOOL m_bModalLoop = FALSE;

  BOOL DispatchWndMsg(const AFX_MSGMAP_ENTRY* e, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL OnReflectedMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK AfxCbtHook(int, WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// While set, the next window created on this thread is attached to pWnd (and subclassed).
void AfxHookWindowCreate(CWnd* pWnd);
// TRUE when the hooked window was created.
BOOL AfxUnhookWindowCreate();
// Registers (once) a window class of the framework's procedure with these settings; its name.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);
// Frees the temporary objects of this thread's handle maps (windows, DCs, GDI objects, menus).
void AfxDeleteTempMaps();
// Runs fn at AfxDeleteTempMaps (handle-map owners register their cleaners once).
void AfxRegisterTempMapCleaner(void (*fn)());
// Text of a string resource (empty when missing).
CString AfxLoadString(UINT nID);
// The module that holds the program's resources.
HINSTANCE AfxGetResourceHandle();
// The application's pre-translation of a message (the walk up to the main window when there is
// no application object).
BOOL AfxPreTranslateMessage(MSG* pMsg);
// Asks pTarget about a control's command (see CWnd::UpdateDialogControls).
void AfxUpdateControlUI(HWND hCtl, UINT nID, CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
// A message box owned by hWndOwner (the main window when null), with the application's name as the
// default caption; the owner's top-level frame is in its modal state while it shows.
int AfxDoMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);
// The wait cursor: 1 begins, -1 ends, 0 shows it again after something changed the cursor.
void AfxDoWaitCursor(int nCode);
// Dialog data exchange of a window (CWnd::UpdateData); FALSE when a field failed validation.
BOOL AfxUpdateData(CWnd* pWnd, BOOL bSaveAndValidate);

inline HWND AfxGetSafeHwnd(const CWnd* pWnd) { return pWnd ? pWnd->m_hWnd : nullptr; }
