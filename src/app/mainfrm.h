// The MDI main window: no menu bar, the plan and 3D frames of the one document shown one at a
// time, the deferred start-up steps on WM_APP+1 to WM_APP+5 (doc/shell.h), the keyboard
// shortcuts and the menu commands that the control bars' popups send. It is the shell that the
// document and the views ask (ShellServices), installed while it exists.
#pragma once
#include <cstdint>

#include "afx/afxwin.h"
#include "doc/shell.h"
#include "toolkit/wt.h"

class CVedraDoc;
class C2DFrame;
class C3DFrame;

class CMainFrame : public CMDIFrameWnd, public ShellServices {
  DECLARE_DYNCREATE(CMainFrame)
public:
  CMainFrame();
  ~CMainFrame() override;

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;

  // What the document and the views ask of the shell (doc/shell.h).
  CWnd* GetMainWindow() override { return this; }
  int ShowMessage(const char* text, UINT type) override;
  void ShowMainWindowAgain() override;
  void SetCurrentDocument(CVedraDoc* doc) override { m_pDoc = doc; }
  uint32_t GetModelKind() override { return m_modelKind; }
  void SetModelKind(uint32_t kind) override { m_modelKind = kind; }
  CString GetModelFolder() override { return m_modelDir; }
  void SetModelFolder(const CString& folder) override { m_modelDir = folder; }
  void SetActiveFrame(int active) override { m_activeFrame = active; }
  void AttachFrame(int which, CMDIChildWnd* frame) override;
  void DetachFrame(int which, CMDIChildWnd* frame) override;
  int EnsureSimFrame(CVedraDoc* doc) override;
  bool CloseSimFrameFully() override;
  void ModelReleased() override;
  void SwitchFrame(UINT code) override { SendMessage(WM_COMMAND, code); }
  int CheckWallDrawingDone() override;
  void RefreshSimView(int state) override;
  void FitPlanView() override;
  void ClearWallUnderCursor() override;
  void EnablePlanView() override;
  PlanWindowSettings& GetPlanWindowSettings() override;
  CMDIChildWnd* GetSimFrame() override;
  SimGridSettings& GetSimGridSettings() override;
  SimWindowSettings& GetSimWindowSettings() override;
  SimDeviceSettings& GetSimDeviceSettings() override;
  int GetWindowMode() override;
  WTsensor* GetMouseSensor() override;
  CString GetSystemDir() override;

  // Asks the 3D frame to close; 1 when none is left.
  int CloseSimFrame();
  int ToggleFullScreen(BOOL on);
  // The view of the frame shown (plan or 3D), or null.
  CView* GetShownView() const;

  CString m_modelDir;
  uint32_t m_modelKind = 0xFF00;
  int m_printing = 0;
  WTnode* m_pRoot = nullptr;
  int m_activeFrame = ACTIVE_NONE;
  CVedraDoc* m_pDoc = nullptr;
  C2DFrame* m_pPlanFrame = nullptr;
  C3DFrame* m_pSimFrame = nullptr;

  // Menu commands.
  void OnNewModel(uint32_t kind);
  void OnFileOpen();
  void OnFileVrml();
  void OnFileSave();
  void OnFileSaveAs();
  void OnCapture();
  void OnFilePreview();
  void OnFilePrint();
  void OnExit();
  void OnCameraButtons();
  void OnFullScreen();
  void OnAnimationPath();
  void OnDocumentDialog();
  void OnMouseDialog();
  void OnStereoDialog();
  void OnEstimate() {}
  void OnLibrary();
  void OnWindowsDialog();
  void OnGridDialog();
  void OnLight();
  void OnHelpTopics();
  void OnWebPage(UINT id);
  void OnNothing() {}

protected:
  BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext) override;
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
  afx_msg void OnClose();
  afx_msg void OnDropFiles(HDROP drop);
  afx_msg LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnLoadModel(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnModelReady(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnLibraryMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnLibraryAdd(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPresetLights(WPARAM wParam, LPARAM lParam);
  afx_msg void OnMenuCommand(UINT id);
  afx_msg void OnUpdateCameraButtons(CCmdUI* pCmdUI);
  afx_msg void OnUpdateFullScreen(CCmdUI* pCmdUI);

private:
  void SwitchToPlan(UINT code);
  void SwitchTo3D(UINT code);
  bool HandleShortcut(const MSG& msg);
  bool OpenCheckedFile(const char* defExt, const char* filter, CString& path);
  bool CaptureView(bool askForFile);
  void SaveCapture(const CString& capture);
  void RepaintShownView();
  void OpenUrlInBrowser(const char* address);
  DECLARE_MESSAGE_MAP()
};

// The main window, or null while there is none.
CMainFrame* GetMainFrame();
