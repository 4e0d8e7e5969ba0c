// Message-map entries of window messages: each names the handler CWnd declares for it (with
// the same parameters); a class overrides that handler by declaring its own and listing the macro.
//   ON_MESSAGE(msg, fn)          LRESULT fn(WPARAM, LPARAM)
//   ON_WM_CTLCOLOR()             HBRUSH OnCtlColor(CDC*, CWnd*, UINT nCtlColor): every WM_CTLCOLOR...
//   ON_WM_CTLCOLOR_REFLECT()     HBRUSH CtlColor(CDC*, UINT): the control's own colours; a non-null
//                                brush is taken and the parent is not asked
// Generated list; keep it in step with CWnd's handlers.
#pragma once
#include "afx/winwnd.h"

#define ON_MESSAGE(message, memberFxn) \
  {(UINT)(message), 0, 0, 0, AfxSig_lwl, AFX_PMSG_CAST(LRESULT (CWnd::*)(WPARAM, LPARAM), &ThisClass::memberFxn)},
#define ON_WM_CTLCOLOR() \
  {WM_CTLCOLOR, 0, 0, 0, AfxSig_hDWw, AFX_PMSG_CAST(HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), &ThisClass::OnCtlColor)},
#define ON_WM_CTLCOLOR_REFLECT() \
  {WM_CTLCOLOR + WM_REFLECT_BASE, 0, 0, 0, AfxSig_hDw, AFX_PMSG_CAST(HBRUSH (CWnd::*)(CDC*, UINT), &ThisClass::CtlColor)},

#define ON_WM_CREATE() \
  {WM_CREATE, 0, 0, 0, AfxSig_is, AFX_PMSG_CAST(int (CWnd::*)(LPCREATESTRUCTA), &ThisClass::OnCreate)},
#define ON_WM_DESTROY() \
  {WM_DESTROY, 0, 0, 0, AfxSig_vv, AFX_PMSG_CAST(void (CWnd::*)(), &ThisClass::OnDestroy)},
#define ON_WM_CLOSE() \
  {WM_CLOSE, 0, 0, 0, AfxSig_vv, AFX_PMSG_CAST(void (CWnd::*)(), &ThisClass::OnClose)},
#define ON_WM_NCDESTROY() \
  {WM_NCDESTROY, 0, 0, 0, AfxSig_vv, AFX_PMSG_CAST(void (CWnd::*)(), &ThisClass::OnNcDestroy)},
#define ON_WM_PAINT() \
  {WM_PAINT, 0, 0, 0, AfxSig_vv, AFX_PMSG_CAST(void (CWnd::*)(), &ThisClass::OnPaint)},
#define ON_WM_ERASEBKGND() \
  {WM_ERASEBKGND, 0, 0, 0, AfxSig_bD, AFX_PMSG_CAST(BOOL (CWnd::*)(CDC*), &ThisClass::OnEraseBkgnd)},
#define ON_WM_TIMER() \
  {WM_TIMER, 0, 0, 0, AfxSig_vwp2, AFX_PMSG_CAST(void (CWnd::*)(UINT_PTR), &ThisClass::OnTimer)},
#define ON_WM_SIZE() \
  {WM_SIZE, 0, 0, 0, AfxSig_vwii, AFX_PMSG_CAST(void (CWnd::*)(UINT, int, int), &ThisClass::OnSize)},
#define ON_WM_MOVE() \
  {WM_MOVE, 0, 0, 0, AfxSig_vii, AFX_PMSG_CAST(void (CWnd::*)(int, int), &ThisClass::OnMove)},
#define ON_WM_KEYDOWN() \
  {WM_KEYDOWN, 0, 0, 0, AfxSig_vwww, AFX_PMSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyDown)},
#define ON_WM_KEYUP() \
  {WM_KEYUP, 0, 0, 0, AfxSig_vwww, AFX_PMSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyUp)},
#define ON_WM_CHAR() \
  {WM_CHAR, 0, 0, 0, AfxSig_vwww, AFX_PMSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnChar)},
#define ON_WM_SYSKEYDOWN() \
  {WM_SYSKEYDOWN, 0, 0, 0, AfxSig_vwww, AFX_PMSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnSysKeyDown)},
#define ON_WM_SYSCHAR() \
  {WM_SYSCHAR, 0, 0, 0, AfxSig_vwww, AFX_PMSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnSysChar)},
#define ON_WM_MOUSEMOVE() \
  {WM_MOUSEMOVE, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMouseMove)},
#define ON_WM_LBUTTONDOWN() \
  {WM_LBUTTONDOWN, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDown)},
#define ON_WM_LBUTTONUP() \
  {WM_LBUTTONUP, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonUp)},
#define ON_WM_LBUTTONDBLCLK() \
  {WM_LBUTTONDBLCLK, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDblClk)},
#define ON_WM_MBUTTONDOWN() \
  {WM_MBUTTONDOWN, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMButtonDown)},
#define ON_WM_MBUTTONUP() \
  {WM_MBUTTONUP, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMButtonUp)},
#define ON_WM_MBUTTONDBLCLK() \
  {WM_MBUTTONDBLCLK, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMButtonDblClk)},
#define ON_WM_RBUTTONDOWN() \
  {WM_RBUTTONDOWN, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonDown)},
#define ON_WM_RBUTTONUP() \
  {WM_RBUTTONUP, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonUp)},
#define ON_WM_RBUTTONDBLCLK() \
  {WM_RBUTTONDBLCLK, 0, 0, 0, AfxSig_vwp, AFX_PMSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonDblClk)},
#define ON_WM_MOUSEWHEEL() \
  {WM_MOUSEWHEEL, 0, 0, 0, AfxSig_bwsp, AFX_PMSG_CAST(BOOL (CWnd::*)(UINT, short, CPoint), &ThisClass::OnMouseWheel)},
#define ON_WM_SETCURSOR() \
  {WM_SETCURSOR, 0, 0, 0, AfxSig_bWww, AFX_PMSG_CAST(BOOL (CWnd::*)(CWnd*, UINT, UINT), &ThisClass::OnSetCursor)},
#define ON_WM_HSCROLL() \
  {WM_HSCROLL, 0, 0, 0, AfxSig_vwwW, AFX_PMSG_CAST(void (CWnd::*)(UINT, UINT, CScrollBar*), &ThisClass::OnHScroll)},
#define ON_WM_VSCROLL() \
  {WM_VSCROLL, 0, 0, 0, AfxSig_vwwW, AFX_PMSG_CAST(void (CWnd::*)(UINT, UINT, CScrollBar*), &ThisClass::OnVScroll)},
#define ON_WM_SETFOCUS() \
  {WM_SETFOCUS, 0, 0, 0, AfxSig_vW, AFX_PMSG_CAST(void (CWnd::*)(CWnd*), &ThisClass::OnSetFocus)},
#define ON_WM_KILLFOCUS() \
  {WM_KILLFOCUS, 0, 0, 0, AfxSig_vW, AFX_PMSG_CAST(void (CWnd::*)(CWnd*), &ThisClass::OnKillFocus)},
#define ON_WM_CAPTURECHANGED() \
  {WM_CAPTURECHANGED, 0, 0, 0, AfxSig_vW, AFX_PMSG_CAST(void (CWnd::*)(CWnd*), &ThisClass::OnCaptureChanged)},
#define ON_WM_PALETTECHANGED() \
  {WM_PALETTECHANGED, 0, 0, 0, AfxSig_vW, AFX_PMSG_CAST(void (CWnd::*)(CWnd*), &ThisClass::OnPaletteChanged)},
#define ON_WM_QUERYNEWPALETTE() \
  {WM_QUERYNEWPALETTE, 0, 0, 0, AfxSig_bv, AFX_PMSG_CAST(BOOL (CWnd::*)(), &ThisClass::OnQueryNewPalette)},
#define ON_WM_GETMINMAXINFO() \
  {WM_GETMINMAXINFO, 0, 0, 0, AfxSig_vs, AFX_PMSG_CAST(void (CWnd::*)(MINMAXINFO*), &ThisClass::OnGetMinMaxInfo)},
#define ON_WM_DROPFILES() \
  {WM_DROPFILES, 0, 0, 0, AfxSig_vh, AFX_PMSG_CAST(void (CWnd::*)(HDROP), &ThisClass::OnDropFiles)},
#define ON_WM_DRAWITEM() \
  {WM_DRAWITEM, 0, 0, 0, AfxSig_vOWNER, AFX_PMSG_CAST(void (CWnd::*)(int, LPDRAWITEMSTRUCT), &ThisClass::OnDrawItem)},
#define ON_WM_MEASUREITEM() \
  {WM_MEASUREITEM, 0, 0, 0, AfxSig_vMEASURE, AFX_PMSG_CAST(void (CWnd::*)(int, LPMEASUREITEMSTRUCT), &ThisClass::OnMeasureItem)},
#define ON_WM_ACTIVATE() \
  {WM_ACTIVATE, 0, 0, 0, AfxSig_vwWb, AFX_PMSG_CAST(void (CWnd::*)(UINT, CWnd*, BOOL), &ThisClass::OnActivate)},
#define ON_WM_ACTIVATEAPP() \
  {WM_ACTIVATEAPP, 0, 0, 0, AfxSig_vbh, AFX_PMSG_CAST(void (CWnd::*)(BOOL, DWORD), &ThisClass::OnActivateApp)},
#define ON_WM_MDIACTIVATE() \
  {WM_MDIACTIVATE, 0, 0, 0, AfxSig_vbWW, AFX_PMSG_CAST(void (CWnd::*)(BOOL, CWnd*, CWnd*), &ThisClass::OnMDIActivate)},
#define ON_WM_COPYDATA() \
  {WM_COPYDATA, 0, 0, 0, AfxSig_bWCDS, AFX_PMSG_CAST(BOOL (CWnd::*)(CWnd*, COPYDATASTRUCT*), &ThisClass::OnCopyData)},
#define ON_WM_SHOWWINDOW() \
  {WM_SHOWWINDOW, 0, 0, 0, AfxSig_vbw, AFX_PMSG_CAST(void (CWnd::*)(BOOL, UINT), &ThisClass::OnShowWindow)},
#define ON_WM_ENABLE() \
  {WM_ENABLE, 0, 0, 0, AfxSig_vb, AFX_PMSG_CAST(void (CWnd::*)(BOOL), &ThisClass::OnEnable)},
#define ON_WM_CONTEXTMENU() \
  {WM_CONTEXTMENU, 0, 0, 0, AfxSig_vWp, AFX_PMSG_CAST(void (CWnd::*)(CWnd*, CPoint), &ThisClass::OnContextMenu)},
#define ON_WM_INITMENUPOPUP() \
  {WM_INITMENUPOPUP, 0, 0, 0, AfxSig_vMwb, AFX_PMSG_CAST(void (CWnd::*)(CMenu*, UINT, BOOL), &ThisClass::OnInitMenuPopup)},
#define ON_WM_SYSCOMMAND() \
  {WM_SYSCOMMAND, 0, 0, 0, AfxSig_vwl, AFX_PMSG_CAST(void (CWnd::*)(UINT, LPARAM), &ThisClass::OnSysCommand)},
#define ON_WM_GETDLGCODE() \
  {WM_GETDLGCODE, 0, 0, 0, AfxSig_wv, AFX_PMSG_CAST(UINT (CWnd::*)(), &ThisClass::OnGetDlgCode)},
#define ON_WM_NCHITTEST() \
  {WM_NCHITTEST, 0, 0, 0, AfxSig_lp, AFX_PMSG_CAST(LRESULT (CWnd::*)(CPoint), &ThisClass::OnNcHitTest)},
#define ON_WM_SYSCOLORCHANGE() \
  {WM_SYSCOLORCHANGE, 0, 0, 0, AfxSig_vv, AFX_PMSG_CAST(void (CWnd::*)(), &ThisClass::OnSysColorChange)},
