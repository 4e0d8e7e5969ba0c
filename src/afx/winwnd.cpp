#include "afx/winwnd.h"

#include <cstdio>
#include <vector>

#include "afx/winapp.h"
#include "afx/winframe.h"
#include "afx/wingdi.h"
#include "afx/winhandle.h"
#include "afx/winmenu.h"
#include "afx/winmsg.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {
const char kWndClass[] = "VedraWnd";

struct WndThreadState {
  CHandleMap<CWnd, HWND> map;
  CWnd* hooked = nullptr;             // attached to the next window created
  HHOOK hook = nullptr;
  std::vector<CWnd*> creating;        // objects inside CreateWindowEx
  MSG current{};                      // message being handled (for Default)
};
thread_local WndThreadState t_wnd;

std::vector<void (*)()>& Cleaners() {
  static std::vector<void (*)()> cleaners;
  return cleaners;
}

void DeleteTempWnds() {
  t_wnd.map.DeleteTemp([](CWnd* p) { p->m_hWnd = nullptr; });
}

bool IsCreating(CWnd* w) {
  for (CWnd* c : t_wnd.creating)
    if (c == w) return true;
  return false;
}
}  // namespace

void AfxRegisterTempMapCleaner(void (*fn)()) {
  for (auto f : Cleaners())
    if (f == fn) return;
  Cleaners().push_back(fn);
}

void AfxDeleteTempMaps() {
  DeleteTempWnds();
  for (auto fn : Cleaners()) fn();
}

CString AfxLoadString(UINT nID) {
  const wchar_t* text = nullptr;
  int n = ::LoadStringW(AfxGetResourceHandle(), nID, reinterpret_cast<LPWSTR>(&text), 0);
  CString s;
  if (n <= 0 || !text) return s;
  int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, n, nullptr, 0, nullptr, nullptr);
  char* p = s.GetBuffer(bytes + 1);
  ::WideCharToMultiByte(CP_UTF8, 0, text, n, p, bytes, nullptr, nullptr);
  p[bytes] = 0;
  s.ReleaseBuffer(bytes);
  return s;
}

// ---- handle map

CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return hWnd ? t_wnd.map.LookupPermanent(hWnd) : nullptr; }

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd || !::IsWindow(hWnd)) return nullptr;
  return t_wnd.map.FromHandle(hWnd, [](HWND h) { return new CWnd(h); });
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (!hWndNew || m_hWnd || t_wnd.map.LookupPermanent(hWndNew)) return FALSE;
  t_wnd.map.SetPermanent(hWndNew, this);
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (h && t_wnd.map.LookupPermanent(h) == this) t_wnd.map.RemoveHandle(h);
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  auto old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
  if (old != AfxWndProc) m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND h = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
  return h ? SubclassWindow(h) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

CWnd::~CWnd() {
  if (!m_hWnd) return;
  HWND h = m_hWnd;
  bool mine = t_wnd.map.LookupPermanent(h) == this;
  if (mine) UnsubclassWindow();
  m_hWnd = nullptr;
  if (mine) ::DestroyWindow(h);
}

// ---- creation

const char* CWnd::DefaultClassName() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWndClass;
    registered = ::RegisterClassExA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  return kWndClass;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  static thread_local char name[96];
  std::snprintf(name, sizeof name, "Vedra:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  if (::GetClassInfoExA(::GetModuleHandleA(nullptr), name, &wc)) return name;
  wc.style = nClassStyle;
  wc.lpfnWndProc = AfxWndProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.hIcon = hIcon;
  wc.lpszClassName = name;
  ::RegisterClassExA(&wc);
  return name;
}

LRESULT CALLBACK AfxCbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && t_wnd.hooked) {
    CWnd* w = t_wnd.hooked;
    t_wnd.hooked = nullptr;
    HWND h = reinterpret_cast<HWND>(wParam);
    if (w->Attach(h)) {
      w->PreSubclassWindow();
      auto old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
      if (old != AfxWndProc) w->m_pfnSuper = old;
    }
  }
  return ::CallNextHookEx(t_wnd.hook, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd) {
  if (!t_wnd.hook) t_wnd.hook = ::SetWindowsHookExA(WH_CBT, AfxCbtHook, nullptr, ::GetCurrentThreadId());
  t_wnd.hooked = pWnd;
  t_wnd.creating.push_back(pWnd);
}

BOOL AfxUnhookWindowCreate() {
  CWnd* w = t_wnd.creating.empty() ? nullptr : t_wnd.creating.back();
  if (!t_wnd.creating.empty()) t_wnd.creating.pop_back();
  BOOL created = t_wnd.hooked == nullptr;
  t_wnd.hooked = nullptr;
  if (t_wnd.creating.empty() && t_wnd.hook) {
    ::UnhookWindowsHookEx(t_wnd.hook);
    t_wnd.hook = nullptr;
  }
  return created && w && w->m_hWnd;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) cs.lpszClass = DefaultClassName();
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  CREATESTRUCTA cs{};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = static_cast<LONG>(dwStyle);
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (m_hWnd || !PreCreateWindow(cs)) return FALSE;
  AfxHookWindowCreate(this);
  HWND h = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx,
                             cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  AfxUnhookWindowCreate();
  if (!h && m_hWnd) Detach();
  return h != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, AfxGetSafeHwnd(pParentWnd), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                  lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

// ---- the window procedure

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
  if (!wnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  MSG saved = t_wnd.current;
  t_wnd.current.hwnd = hWnd;
  t_wnd.current.message = message;
  t_wnd.current.wParam = wParam;
  t_wnd.current.lParam = lParam;
  LRESULT r = wnd->WindowProc(message, wParam, lParam);
  t_wnd.current = saved;
  if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == wnd) {
    wnd->UnsubclassWindow();
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == wnd) {
      app->m_pMainWnd = nullptr;
      ::PostQuitMessage(0);
    }
    // A window destroyed while CreateEx is still making it failed to be created: CreateEx
    // returns FALSE and the caller still owns the object.
    if (!IsCreating(wnd)) wnd->PostNcDestroy();
  }
  return r;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) PreInitDialog();
  LRESULT r = 0;
  if (!OnWndMsg(message, wParam, lParam, &r)) r = DefWindowProc(message, wParam, lParam);
  return r;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& m = t_wnd.current;
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

const MSG* CWnd::GetCurrentMessage() { return &t_wnd.current; }

void CWnd::OnNcDestroy() { Default(); }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

namespace {
bool IsCtlColor(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// The control that a parent's message is about, for reflection; null when it names none.
HWND ControlOf(HWND hParent, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      return dis->CtlType == ODT_MENU ? nullptr : dis->hwndItem;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      return mis->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(hParent, static_cast<int>(mis->CtlID));
    }
    case WM_COMPAREITEM:
      return reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM:
      return reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem;
    case WM_HSCROLL:
    case WM_VSCROLL:
      return reinterpret_cast<HWND>(lParam);
    default:
      return IsCtlColor(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
  }
}
}  // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 1;
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    *pResult = 0;
    return OnNotify(wParam, lParam, pResult);
  }
  if (message >= WM_REFLECT_BASE && message < WM_REFLECT_BASE + 0x400)
    return OnReflectedMsg(message, wParam, lParam, pResult);
  if (message != WM_NOTIFY) {
    HWND ctl = ControlOf(m_hWnd, message, wParam, lParam);
    if (ctl && ctl != m_hWnd) {
      if (ReflectLastMsg(ctl, message, wParam, lParam, pResult)) return TRUE;
    }
  }
  UINT key = IsCtlColor(message) ? WM_CTLCOLOR : message;
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(GetMessageMap(), key, 0, 0);
  return e ? DispatchWndMsg(e, message, wParam, lParam, pResult) : FALSE;
}

BOOL CWnd::OnReflectedMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  UINT base = message - WM_REFLECT_BASE;
  if (base == WM_COMMAND || base == WM_NOTIFY) {
    UINT code = base == WM_COMMAND ? HIWORD(wParam) : reinterpret_cast<NMHDR*>(lParam)->code;
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
      for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
        if (e->nMessage != message || LOWORD(e->nCode) != LOWORD(code)) continue;
        AFX_NOTIFY notify = {pResult, reinterpret_cast<void*>(lParam)};
        return DispatchCmdMsg(0, 0, e, &notify, nullptr);
      }
    }
    return FALSE;
  }
  UINT key = IsCtlColor(base) ? WM_CTLCOLOR + WM_REFLECT_BASE : message;
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(GetMessageMap(), key, 0, 0);
  if (!e) return FALSE;
  if (!DispatchWndMsg(e, base, wParam, lParam, pResult)) return FALSE;
  // A reflected colour handler that gives no brush leaves the colours to the parent.
  return !IsCtlColor(base) || *pResult != 0;
}

BOOL CWnd::DispatchWndMsg(const AFX_MSGMAP_ENTRY* e, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  union {
    AFX_PMSG pfn;
    LRESULT (CWnd::*pfn_lwl)(WPARAM, LPARAM);
    void (CWnd::*pfn_vv)();
    BOOL (CWnd::*pfn_bv)();
    int (CWnd::*pfn_is)(LPCREATESTRUCTA);
    BOOL (CWnd::*pfn_bD)(CDC*);
    HBRUSH (CWnd::*pfn_hDWw)(CDC*, CWnd*, UINT);
    HBRUSH (CWnd::*pfn_hDw)(CDC*, UINT);
    void (CWnd::*pfn_vw)(UINT);
    void (CWnd::*pfn_vwp)(UINT, CPoint);
    BOOL (CWnd::*pfn_bwsp)(UINT, short, CPoint);
    void (CWnd::*pfn_vwww)(UINT, UINT, UINT);
    void (CWnd::*pfn_vwii)(UINT, int, int);
    void (CWnd::*pfn_vii)(int, int);
    void (CWnd::*pfn_vwwW)(UINT, UINT, CScrollBar*);
    void (CWnd::*pfn_vW)(CWnd*);
    BOOL (CWnd::*pfn_bWww)(CWnd*, UINT, UINT);
    void (CWnd::*pfn_vs)(MINMAXINFO*);
    void (CWnd::*pfn_vh)(HDROP);
    void (CWnd::*pfn_vOWNER)(int, LPDRAWITEMSTRUCT);
    void (CWnd::*pfn_vMEASURE)(int, LPMEASUREITEMSTRUCT);
    void (CWnd::*pfn_vwWb)(UINT, CWnd*, BOOL);
    void (CWnd::*pfn_vbWW)(BOOL, CWnd*, CWnd*);
    BOOL (CWnd::*pfn_bWCDS)(CWnd*, COPYDATASTRUCT*);
    void (CWnd::*pfn_vbw)(BOOL, UINT);
    void (CWnd::*pfn_vb)(BOOL);
    void (CWnd::*pfn_vWp)(CWnd*, CPoint);
    void (CWnd::*pfn_vMwb)(CMenu*, UINT, BOOL);
    void (CWnd::*pfn_vwl)(UINT, LPARAM);
    void (CWnd::*pfn_vTimer)(UINT_PTR);
    UINT (CWnd::*pfn_wv)();
    void (CWnd::*pfn_vbh)(BOOL, DWORD);
    LRESULT (CWnd::*pfn_lp)(CPoint);
  } mmf;
  mmf.pfn = e->pfn;
  const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
  LRESULT r = 0;
  switch (e->nSig) {
    case AfxSig_lwl: r = (this->*mmf.pfn_lwl)(wParam, lParam); break;
    case AfxSig_vv: (this->*mmf.pfn_vv)(); break;
    case AfxSig_bv: r = (this->*mmf.pfn_bv)(); break;
    case AfxSig_is: r = (this->*mmf.pfn_is)(reinterpret_cast<LPCREATESTRUCTA>(lParam)); break;
    case AfxSig_bD: r = (this->*mmf.pfn_bD)(CDC::FromHandle(reinterpret_cast<HDC>(wParam))); break;
    case AfxSig_hDWw:
      r = reinterpret_cast<LRESULT>((this->*mmf.pfn_hDWw)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                                          FromHandle(reinterpret_cast<HWND>(lParam)),
                                                          message - WM_CTLCOLORMSGBOX));
      break;
    case AfxSig_hDw:
      r = reinterpret_cast<LRESULT>(
          (this->*mmf.pfn_hDw)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), message - WM_CTLCOLORMSGBOX));
      break;
    case AfxSig_vw: (this->*mmf.pfn_vw)(static_cast<UINT>(wParam)); break;
    case AfxSig_vwp: (this->*mmf.pfn_vwp)(static_cast<UINT>(wParam), pt); break;
    case AfxSig_bwsp: {
      // The wheel's point comes in screen coordinates.
      r = (this->*mmf.pfn_bwsp)(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), pt);
      break;
    }
    case AfxSig_vwww:
      (this->*mmf.pfn_vwww)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_vwii:
      (this->*mmf.pfn_vwii)(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      break;
    case AfxSig_vii: (this->*mmf.pfn_vii)(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); break;
    case AfxSig_vwwW:
      (this->*mmf.pfn_vwwW)(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                            reinterpret_cast<CScrollBar*>(FromHandle(reinterpret_cast<HWND>(lParam))));
      break;
    case AfxSig_vW: (this->*mmf.pfn_vW)(FromHandle(reinterpret_cast<HWND>(message == WM_CAPTURECHANGED ? lParam : wParam))); break;
    case AfxSig_bWww:
      r = (this->*mmf.pfn_bWww)(FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_vs: (this->*mmf.pfn_vs)(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case AfxSig_vh: (this->*mmf.pfn_vh)(reinterpret_cast<HDROP>(wParam)); break;
    case AfxSig_vOWNER:
      (this->*mmf.pfn_vOWNER)(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      r = TRUE;
      break;
    case AfxSig_vMEASURE:
      (this->*mmf.pfn_vMEASURE)(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      r = TRUE;
      break;
    case AfxSig_vwWb:
      (this->*mmf.pfn_vwWb)(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
      break;
    case AfxSig_vbWW:
      // WM_MDIACTIVATE: lParam the child being activated, wParam the one losing activation.
      (this->*mmf.pfn_vbWW)(m_hWnd == reinterpret_cast<HWND>(lParam), FromHandle(reinterpret_cast<HWND>(lParam)),
                            FromHandle(reinterpret_cast<HWND>(wParam)));
      break;
    case AfxSig_bWCDS:
      r = (this->*mmf.pfn_bWCDS)(FromHandle(reinterpret_cast<HWND>(wParam)), reinterpret_cast<COPYDATASTRUCT*>(lParam));
      break;
    case AfxSig_vbw: (this->*mmf.pfn_vbw)(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); break;
    case AfxSig_vb: (this->*mmf.pfn_vb)(static_cast<BOOL>(wParam)); break;
    case AfxSig_vWp: (this->*mmf.pfn_vWp)(FromHandle(reinterpret_cast<HWND>(wParam)), pt); break;
    case AfxSig_vMwb:
      (this->*mmf.pfn_vMwb)(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_vwl: (this->*mmf.pfn_vwl)(static_cast<UINT>(wParam), lParam); break;
    case AfxSig_vwp2: (this->*mmf.pfn_vTimer)(static_cast<UINT_PTR>(wParam)); break;
    case AfxSig_wv: r = (this->*mmf.pfn_wv)(); break;
    case AfxSig_vbh: (this->*mmf.pfn_vbh)(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam)); break;
    case AfxSig_lp: r = (this->*mmf.pfn_lp)(pt); break;
    default:
      return FALSE;
  }
  *pResult = r;
  return TRUE;
}

// ---- commands and reflection

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  auto hCtl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (hCtl) {
    LRESULT r = 0;
    if (ReflectLastMsg(hCtl, WM_COMMAND, wParam, lParam, &r)) return TRUE;
    if (nID == 0) return FALSE;
  } else {
    nCode = CN_COMMAND;  // menu (0) or accelerator (1)
  }
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  auto* nm = reinterpret_cast<NMHDR*>(lParam);
  if (nm->hwndFrom && ReflectLastMsg(nm->hwndFrom, WM_NOTIFY, 0, lParam, pResult)) return TRUE;
  // A tooltip asking for the text of a tool that is a window asks that window first.
  if (nm->code == TTN_NEEDTEXTA && (reinterpret_cast<NMTTDISPINFOA*>(nm)->uFlags & TTF_IDISHWND) &&
      ReflectLastMsg(reinterpret_cast<HWND>(nm->idFrom), WM_NOTIFY, 0, lParam, pResult))
    return TRUE;
  AFX_NOTIFY notify = {pResult, nm};
  return OnCmdMsg(static_cast<UINT>(nm->idFrom), CN_NOTIFY_CODE(nm->code), &notify, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  CWnd* child = FromHandlePermanent(hWndChild);
  return child ? child->OnChildNotify(message, wParam, lParam, pResult) : FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT r = 0;
  BOOL taken = OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, &r);
  if (taken && pResult) *pResult = r;
  return taken;
}

// ---- pre-translation and the modal loop

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
    CWnd* w = FromHandlePermanent(h);
    if (w && w->PreTranslateMessage(pMsg)) return TRUE;
    if (h == hWndStop) break;
  }
  return FALSE;
}

int CWnd::RunModalLoop(DWORD) {
  m_bModalLoop = TRUE;
  HWND self = m_hWnd;
  while (m_bModalLoop && ::IsWindow(self)) {
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      ::WaitMessage();
      continue;
    }
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop ends too
      break;
    }
    if (!AfxPreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  m_bModalLoop = FALSE;
  return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_bModalLoop) {
    m_bModalLoop = FALSE;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
  }
}

// ---- update UI

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    UINT id = static_cast<UINT>(::GetDlgCtrlID(h));
    if (id == 0 || id == 0xFFFF) continue;
    AfxUpdateControlUI(h, id, pTarget, bDisableIfNoHndler);
  }
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
  for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    ::SendMessageA(h, message, wParam, lParam);
    if (bDeep) {
      CWnd tmp(h);
      tmp.SendMessageToDescendants(message, wParam, lParam, TRUE);
      tmp.m_hWnd = nullptr;
    }
  }
}

// ---- relatives, text, geometry

CWnd* CWnd::GetOwner() const { return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent(); }

CFrameWnd* CWnd::GetParentFrame() const {
  for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
    CWnd* w = FromHandlePermanent(h);
    if (w && w->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(w);
  }
  return nullptr;
}

CWnd* CWnd::GetTopLevelParent() const {
  HWND h = m_hWnd;
  while (HWND p = ::GetParent(h)) h = p;
  return FromHandle(h);
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
  CFrameWnd* frame = IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? const_cast<CFrameWnd*>(static_cast<const CFrameWnd*>(this))
                                                         : GetParentFrame();
  while (frame) {
    CFrameWnd* up = frame->GetParentFrame();
    if (!up) break;
    frame = up;
  }
  return frame;
}

CString CWnd::GetWindowText() const {
  int n = ::GetWindowTextLengthA(m_hWnd);
  CString s;
  if (n > 0) {
    char* p = s.GetBuffer(n + 1);
    ::GetWindowTextA(m_hWnd, p, n + 1);
    s.ReleaseBuffer();
  }
  return s;
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  HWND h = ::GetDlgItem(m_hWnd, nID);
  rString = h ? CWnd(h).GetWindowText() : CString();
  return rString.GetLength();
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = GetStyle();
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
  if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = GetExStyle();
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(newStyle));
  if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const {
  return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, AfxGetSafeHwnd(pWndInsertAfter), x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  HWND owner = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
  if (GetStyle() & WS_CHILD) owner = ::GetParent(m_hWnd);
  RECT area;
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &area);
  } else {
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT self;
  ::GetWindowRect(m_hWnd, &self);
  int w = self.right - self.left, h = self.bottom - self.top;
  POINT pt = {(area.left + area.right - w) / 2, (area.top + area.bottom - h) / 2};
  if (GetStyle() & WS_CHILD) {
    HWND parent = ::GetParent(m_hWnd);
    ::ScreenToClient(parent, &pt);
  }
  ::SetWindowPos(m_hWnd, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  return AfxDoMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) { return AfxUpdateData(this, bSaveAndValidate); }

// The object map has no entry for the message map's base: CWnd's own map starts the chain of
// window classes.
BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()
