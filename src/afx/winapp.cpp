#include "afx/winapp.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }
HINSTANCE AfxGetInstanceHandle() { return g_app ? g_app->m_hInstance : ::GetModuleHandleA(nullptr); }

BOOL CWinApp::OnIdle(LONG lCount) { return lCount < 1; }

BOOL CWinApp::PreTranslateMessage(MSG*) { return FALSE; }

int CWinApp::Run() {
  MSG msg;
  LONG idleCount = 0;
  bool idle = true;
  for (;;) {
    while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    do {
      BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
      if (got == 0 || got == -1) {
        m_nExitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return ExitInstance();
      }
      if (!PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
      idle = true;
      idleCount = 0;
    } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = hInstance;
  app->m_lpCmdLine = lpCmdLine;
  app->m_nCmdShow = nCmdShow;
  if (!app->InitInstance()) {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}
