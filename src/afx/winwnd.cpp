#include "afx/winwnd.h"
#include "afx/winapp.h"

namespace {
const char kWndClass[] = "VedraWnd";

// The object whose window CreateWindowEx is making, for the messages sent before it returns.
thread_local CWnd* t_creating = nullptr;

CWnd* Attached(HWND hWnd) { return reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA)); }
}  // namespace

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

CWnd::~CWnd() {
  if (m_hWnd) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    HWND h = m_hWnd;
    m_hWnd = nullptr;
    ::DestroyWindow(h);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return hWnd ? Attached(hWnd) : nullptr; }

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu) {
  if (!lpszClassName) lpszClassName = DefaultClassName();
  CWnd* outer = t_creating;
  t_creating = this;
  HWND h = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent,
                             nIDorHMenu, ::GetModuleHandleA(nullptr), this);
  t_creating = outer;
  return h != nullptr;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

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

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam));
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      break;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = Attached(hWnd);
  if (!wnd && t_creating && !t_creating->m_hWnd) {
    wnd = t_creating;
    wnd->m_hWnd = hWnd;
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(wnd));
  }
  if (!wnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);

  if (message == WM_NCDESTROY) {
    LRESULT r = ::DefWindowProcA(hWnd, message, wParam, lParam);
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    wnd->m_hWnd = nullptr;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == wnd) {
      app->m_pMainWnd = nullptr;
      ::PostQuitMessage(0);
    }
    // A window destroyed while CreateEx is still making it failed to be created: CreateEx returns
    // FALSE and the caller still owns the object.
    if (wnd != t_creating) wnd->PostNcDestroy();
    return r;
  }
  return wnd->WindowProc(message, wParam, lParam);
}

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT* rect,
                       CWnd* pParentWnd) {
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = CW_USEDEFAULT, h = CW_USEDEFAULT;
  if (rect) {
    x = rect->left;
    y = rect->top;
    w = rect->right - rect->left;
    h = rect->bottom - rect->top;
  }
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, x, y, w, h, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                  nullptr);
}
