// The application object and the program's entry: one CWinApp per program, its message loop
// with idle processing.
#pragma once
#include "afx/winwnd.h"

class CWinApp : public CCmdTarget {
public:
  explicit CWinApp(LPCSTR lpszAppName = nullptr);
  ~CWinApp() override;

  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;
  LPCSTR m_pszAppName = nullptr;
  CWnd* m_pMainWnd = nullptr;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return m_nExitCode; }
  // The message loop: while the queue is empty OnIdle is called with a growing count until it
  // returns FALSE; any message starts the count again.
  virtual int Run();
  virtual BOOL OnIdle(LONG lCount);
  virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
  int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// Everything WinMain does: initialise the application object, run it, and end it.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
