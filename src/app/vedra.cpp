#include "app/vedra.h"
#include "app/mainfrm.h"

CVedraApp theApp;

namespace {
const char kUntitled[] = "UnTitledVedra";
}

CVedraApp::CVedraApp() : CWinApp("Vedra") {}

BOOL CVedraApp::InitInstance() {
  auto* frame = new CMainFrame;
  if (!frame->Create(nullptr, kUntitled)) {
    delete frame;
    return FALSE;
  }
  m_pMainWnd = frame;
  frame->ShowWindow(m_nCmdShow);
  frame->UpdateWindow();
  return TRUE;
}

BOOL CVedraApp::OnIdle(LONG lCount) {
  CWinApp::OnIdle(lCount);
  if (m_pMainWnd && m_pMainWnd->GetWindowText() != kUntitled) m_pMainWnd->SetWindowText(kUntitled);
  ::Sleep(0);
  return TRUE;
}
