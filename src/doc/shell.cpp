#include "doc/shell.h"

namespace {

// The shell while there is no main frame.
class NoMainWindow : public ShellServices {
public:
  CWnd* GetMainWindow() override { return nullptr; }
  int ShowMessage(const char* text, UINT type) override {
    return ::MessageBoxA(nullptr, text, kVedraCaption, type);
  }
  void ShowMainWindowAgain() override { AfxDoWaitCursor(0); }
  void SetCurrentDocument(CVedraDoc*) override {}
  uint32_t GetModelKind() override { return 0xFF00; }
  void SetModelKind(uint32_t) override {}
  CString GetModelFolder() override { return CString(); }
  void SetModelFolder(const CString&) override {}
  void SetActiveFrame(int) override {}
  void AttachFrame(int, CMDIChildWnd*) override {}
  void DetachFrame(int, CMDIChildWnd*) override {}
  int EnsureSimFrame(CVedraDoc*) override { return 1; }
  bool CloseSimFrameFully() override { return true; }
  void ModelReleased() override {}
  void SwitchFrame(UINT) override {}
  int CheckWallDrawingDone() override { return 1; }
  void RefreshSimView(int) override {}
  void FitPlanView() override {}
  void ClearWallUnderCursor() override {}
  void EnablePlanView() override {}
  PlanWindowSettings& GetPlanWindowSettings() override { return m_plan; }

private:
  PlanWindowSettings m_plan;
};

NoMainWindow g_noMainWindow;
ShellServices* g_shell = nullptr;

}  // namespace

ShellServices& GetShell() { return g_shell ? *g_shell : g_noMainWindow; }

void SetShell(ShellServices* shell) { g_shell = shell; }
