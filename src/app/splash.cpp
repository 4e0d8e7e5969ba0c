#include "app/splash.h"

namespace {
BOOL g_splashAllowed = FALSE;
CSplashWnd* g_splash = nullptr;
constexpr UINT_PTR kSplashTimer = 1;
}  // namespace

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_WM_TIMER()
END_MESSAGE_MAP()

CSplashWnd::~CSplashWnd() {
  if (g_splash == this) g_splash = nullptr;
}

void CSplashWnd::SetAllowed(BOOL allowed) { g_splashAllowed = allowed; }

CSplashWnd* CSplashWnd::Current() { return g_splash; }

void CSplashWnd::ShowSplash(CWnd* parent) {
  if (!g_splashAllowed || g_splash) return;
  auto* splash = new CSplashWnd;
  g_splash = splash;
  if (!splash->CreateSplash(parent)) {
    delete splash;
    return;
  }
  splash->UpdateWindow();
}

void CSplashWnd::HideSplash() {
  if (!g_splash) return;
  g_splash->KillTimer(kSplashTimer);
  g_splash->DestroyWindow();
}

BOOL CSplashWnd::FilterMessage(MSG* pMsg) {
  if (!g_splash || pMsg->message != WM_SPLASH_HIDE) return FALSE;
  HideSplash();
  return TRUE;
}

BOOL CSplashWnd::CreateSplash(CWnd* parent) {
  if (!m_picture.LoadBitmap(IDB_SPLASH)) return FALSE;
  BITMAP info{};
  m_picture.GetBitmap(&info);
  LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
  return CreateEx(0, cls, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, info.bmWidth, info.bmHeight,
                  parent ? parent->m_hWnd : nullptr, nullptr);
}

int CSplashWnd::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  CenterWindow();
  SetTimer(kSplashTimer, 5500);
  return 0;
}

void CSplashWnd::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  HDC memory = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(memory, static_cast<HBITMAP>(m_picture));
  BITMAP info{};
  m_picture.GetBitmap(&info);
  ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::EndPaint(m_hWnd, &ps);
}

void CSplashWnd::OnTimer(UINT_PTR) { HideSplash(); }
