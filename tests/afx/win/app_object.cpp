#include "afxtest.h"

CTestApp theTestApp;
const char* g_lastHandler = nullptr;

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
  ON_COMMAND(6006, OnAppCommand)
END_MESSAGE_MAP()

void CTestApp::OnAppCommand() { g_lastHandler = "app"; }
