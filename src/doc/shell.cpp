#include "doc/shell.h"

namespace {

ShellWithoutMainWindow g_noMainWindow;
ShellServices* g_shell = nullptr;

}  // namespace

int ShellWithoutMainWindow::ShowMessage(const char* text, UINT type) {
  return ::MessageBoxA(nullptr, text, kVedraCaption, type);
}

void ShellWithoutMainWindow::ShowMainWindowAgain() { AfxDoWaitCursor(0); }

ShellServices& GetShell() { return g_shell ? *g_shell : g_noMainWindow; }

void SetShell(ShellServices* shell) { g_shell = shell; }
