// CCmdTarget: the base of objects that take commands (documents, windows, the application), and
// the message maps that bind messages and commands to member functions.
// Portable, so that documents can be stored and read in both configurations.
//
// A class with a message map declares DECLARE_MESSAGE_MAP() and lists its handlers between
// BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP(); a lookup walks the class's map, then its
// base class's map, and so on up to CCmdTarget. The first entry that matches wins.
//
// Command entries (ON_COMMAND, ON_COMMAND_RANGE, ON_UPDATE_COMMAND_UI, control notifications,
// ON_NOTIFY) are looked up by OnCmdMsg, which command routing calls on each target in turn; the
// window message entries (ON_WM_..., ON_MESSAGE) are in afx/winmsg.h.
#ifndef VEDRA_AFX_AFXCMD_H
#define VEDRA_AFX_AFXCMD_H

#include <cstring>

#include "afx/afxobj.h"

class CCmdTarget;
class CCmdUI;

#ifndef _WIN32
#define WM_COMMAND 0x0111
#define WM_NOTIFY 0x004E
typedef INT_PTR LRESULT;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
#endif

typedef void (CCmdTarget::*AFX_PMSG)();

// How a handler is called: its parameters and result.
enum AfxSig : UINT {
  AfxSig_end = 0,
  // commands
  AfxSigCmd_v,         // void ()
  AfxSigCmd_RANGE,     // void (UINT nID)
  AfxSigCmd_EX,        // BOOL (UINT nID): FALSE lets routing go on
  AfxSigCmdUI,         // void (CCmdUI*)
  AfxSigCmdUI_RANGE,   // void (CCmdUI*, UINT nID)
  AfxSigNotify_v,      // void (NMHDR*, LRESULT*)
  AfxSigNotify_EX,     // BOOL (NMHDR*, LRESULT*)
  AfxSigNotify_EXID,   // BOOL (UINT nID, NMHDR*, LRESULT*)
  AfxSigNotify_RANGE,  // void (UINT nID, NMHDR*, LRESULT*)
  AfxSigCmd_b,         // BOOL () (reflected notifications: TRUE also lets the parent see it)
  // window messages (dispatched by CWnd)
  AfxSig_lwl,      // LRESULT (WPARAM, LPARAM)
  AfxSig_vv,       // void ()
  AfxSig_bv,       // BOOL ()
  AfxSig_is,       // int (LPCREATESTRUCT)
  AfxSig_bD,       // BOOL (CDC*)
  AfxSig_hDWw,     // HBRUSH (CDC*, CWnd*, UINT)   WM_CTLCOLOR...
  AfxSig_hDw,      // HBRUSH (CDC*, UINT)          reflected WM_CTLCOLOR
  AfxSig_vw,       // void (UINT)
  AfxSig_vwp,      // void (UINT, CPoint)          mouse buttons and moves
  AfxSig_bwsp,     // BOOL (UINT, short, CPoint)   WM_MOUSEWHEEL
  AfxSig_vwww,     // void (UINT, UINT, UINT)      keys
  AfxSig_vwii,     // void (UINT, int, int)        WM_SIZE
  AfxSig_vii,      // void (int, int)              WM_MOVE
  AfxSig_vwwW,     // void (UINT, UINT, CScrollBar*)  WM_HSCROLL/WM_VSCROLL
  AfxSig_vW,       // void (CWnd*)                 focus, capture, palette changed
  AfxSig_bWww,     // BOOL (CWnd*, UINT, UINT)     WM_SETCURSOR
  AfxSig_vs,       // void (MINMAXINFO*)           WM_GETMINMAXINFO
  AfxSig_vh,       // void (HDROP)                 WM_DROPFILES
  AfxSig_vOWNER,   // void (int, LPDRAWITEMSTRUCT) WM_DRAWITEM
  AfxSig_vMEASURE, // void (int, LPMEASUREITEMSTRUCT)
  AfxSig_vwWb,     // void (UINT, CWnd*, BOOL)     WM_ACTIVATE
  AfxSig_vbWW,     // void (BOOL, CWnd*, CWnd*)    WM_MDIACTIVATE
  AfxSig_bWCDS,    // BOOL (CWnd*, COPYDATASTRUCT*) WM_COPYDATA
  AfxSig_vbw,      // void (BOOL, UINT)            WM_SHOWWINDOW
  AfxSig_vb,       // void (BOOL)                  WM_ENABLE
  AfxSig_vWp,      // void (CWnd*, CPoint)         WM_CONTEXTMENU
  AfxSig_vMwb,     // void (CMenu*, UINT, BOOL)    WM_INITMENUPOPUP
  AfxSig_vwl,      // void (UINT, LPARAM)          WM_SYSCOMMAND
  AfxSig_vwp2,     // void (UINT nIDEvent)         WM_TIMER (UINT_PTR)
  AfxSig_wv,       // UINT ()                      WM_GETDLGCODE
  AfxSig_vbh,      // void (BOOL, HTASK)           WM_ACTIVATEAPP (DWORD thread id)
  AfxSig_lp,       // LRESULT (CPoint)             WM_NCHITTEST
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;   // window message, or WM_COMMAND / WM_NOTIFY (reflected: + WM_REFLECT_BASE)
  UINT nCode;      // control code, notification code, or CN_UPDATE_COMMAND_UI
  UINT nID;        // control id (or 0 for window messages)
  UINT nLastID;    // last id of a range
  UINT nSig;       // AfxSig
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// What routing finds when asked for the handler only (pHandlerInfo of OnCmdMsg).
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
  AFX_PMSG pmf;
};

// An ON_NOTIFY call's arguments, passed as pExtra of OnCmdMsg.
struct AFX_NOTIFY {
  LRESULT* pResult;
  void* pNMHDR;  // NMHDR*
};


// Codes of OnCmdMsg: a command, the question whether a command is enabled, or (high word
// WM_NOTIFY) a WM_NOTIFY notification whose code is the low word.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
#define CN_NOTIFY_CODE(code) ((int)MAKELONG((code), WM_NOTIFY))
// Messages reflected back to the control that sent them.
#define WM_REFLECT_BASE 0xBC00

// The state of one user-interface item (menu item, control) asked whether its command is
// enabled or checked. Routing offers it to each target until an ON_UPDATE_COMMAND_UI handler
// takes it; the item kinds implement the setters (Windows side).
class CCmdUI {
 public:
  CCmdUI() = default;
  virtual ~CCmdUI() = default;
  UINT m_nID = 0;
  UINT m_nIndex = 0;       // menu item index
  UINT m_nIndexMax = 0;
  void* m_pMenu = nullptr;       // CMenu* of the item, when it is a menu item
  void* m_pSubMenu = nullptr;    // CMenu* of a popup item
  void* m_pOther = nullptr;      // CWnd* of the item, when it is a control
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;

  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCTSTR lpszText);
  void ContinueRouting() { m_bContinueRouting = TRUE; }
  // Routes the question to pTarget; with bDisableIfNoHndler an item no handler takes is disabled.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;

  // Looks the command up in this object's message map and calls its handler. TRUE when a handler
  // took it. With pHandlerInfo the handler is only found (and reported), not called.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  // The hourglass cursor while a long operation runs (Windows only; counted).
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

  // The first entry of a message map chain that takes the message (nCode and nID ranges honoured).
  static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // Calls a command handler found in the map.
  BOOL DispatchCmdMsg(UINT nID, int nCode, const AFX_MSGMAP_ENTRY* pEntry, void* pExtra,
                      AFX_CMDHANDLERINFO* pHandlerInfo);
};

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                              \
    typedef theClass ThisClass [[maybe_unused]];                                 \
    typedef baseClass TheBaseClass;                                              \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                         \
  { 0, 0, 0, 0, AfxSig_end, nullptr }                                             \
  };                                                                              \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                             \
  }

// Member function pointers of one class all have the same size and layout: a handler is kept as
// AFX_PMSG and turned back into its own type (named by the entry's signature) to be called.
template <class F>
inline AFX_PMSG AfxToPmsg(F f) {
  static_assert(sizeof(F) == sizeof(AFX_PMSG), "member function pointers differ in size");
  AFX_PMSG p;
  std::memcpy(&p, &f, sizeof p);
  return p;
}
template <class F>
inline F AfxFromPmsg(AFX_PMSG p) {
  static_assert(sizeof(F) == sizeof(AFX_PMSG), "member function pointers differ in size");
  F f;
  std::memcpy(&f, &p, sizeof f);
  return f;
}

// The handler cast that keeps a handler's signature checked by the compiler.
#define AFX_PMSG_CAST(type, memberFxn) AfxToPmsg(static_cast<type>(memberFxn))

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSigCmd_v, AFX_PMSG_CAST(void (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_COMMAND_EX(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSigCmd_EX, AFX_PMSG_CAST(BOOL (CCmdTarget::*)(UINT), &ThisClass::memberFxn)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AfxSigCmd_RANGE, AFX_PMSG_CAST(void (CCmdTarget::*)(UINT), &ThisClass::memberFxn)},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), AfxSigCmdUI, AFX_PMSG_CAST(void (CCmdTarget::*)(CCmdUI*), &ThisClass::memberFxn)},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(idLast), AfxSigCmdUI_RANGE, AFX_PMSG_CAST(void (CCmdTarget::*)(CCmdUI*, UINT), &ThisClass::memberFxn)},
#define ON_CONTROL(code, id, memberFxn) \
  {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSigCmd_v, AFX_PMSG_CAST(void (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_CONTROL_RANGE(code, id, idLast, memberFxn) \
  {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(idLast), AfxSigCmd_RANGE, AFX_PMSG_CAST(void (CCmdTarget::*)(UINT), &ThisClass::memberFxn)},
#define ON_NOTIFY(code, id, memberFxn) \
  {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), AfxSigNotify_v, AFX_PMSG_CAST(void (CCmdTarget::*)(NMHDR*, LRESULT*), &ThisClass::memberFxn)},
#define ON_NOTIFY_RANGE(code, id, idLast, memberFxn) \
  {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(idLast), AfxSigNotify_RANGE, AFX_PMSG_CAST(void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), &ThisClass::memberFxn)},
#define ON_NOTIFY_EX(code, id, memberFxn) \
  {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), AfxSigNotify_EXID, AFX_PMSG_CAST(BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*), &ThisClass::memberFxn)},

// A control's own handler of a notification it sends to its parent; the parent does not see
// what the control takes. The _EX forms return FALSE to let the parent see it too.
#define ON_CONTROL_REFLECT(code, memberFxn) \
  {WM_COMMAND + WM_REFLECT_BASE, (UINT)(code), 0, 0, AfxSigCmd_v, AFX_PMSG_CAST(void (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
  {WM_COMMAND + WM_REFLECT_BASE, (UINT)(code), 0, 0, AfxSigCmd_b, AFX_PMSG_CAST(BOOL (CCmdTarget::*)(), &ThisClass::memberFxn)},
#define ON_NOTIFY_REFLECT(code, memberFxn) \
  {WM_NOTIFY + WM_REFLECT_BASE, (UINT)(code), 0, 0, AfxSigNotify_v, AFX_PMSG_CAST(void (CCmdTarget::*)(NMHDR*, LRESULT*), &ThisClass::memberFxn)},
#define ON_NOTIFY_REFLECT_EX(code, memberFxn) \
  {WM_NOTIFY + WM_REFLECT_BASE, (UINT)(code), 0, 0, AfxSigNotify_EX, AFX_PMSG_CAST(BOOL (CCmdTarget::*)(NMHDR*, LRESULT*), &ThisClass::memberFxn)},

#endif  // VEDRA_AFX_AFXCMD_H
