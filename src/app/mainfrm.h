// The MDI main window: no menu bar, the plan and 3D frames of the one document shown one at a
// time, the deferred start-up steps on WM_APP+1 to WM_APP+5, the keyboard shortcuts and the
// menu commands that the control bars' popups send.
#pragma once
#include <cstdint>

#include "afx/afxwin.h"
#include "toolkit/wt.h"

class CVedraDoc;
class C2DFrame;
class C3DFrame;

// Frame-switch codes; they share their values with the model kinds.
enum : UINT { SWITCH_PLAN = 0xFF00, SWITCH_3D = 0xFF01, SWITCH_PLAN_MIN = 0xFF02, SWITCH_3D_MIN = 0xFF03 };
// Active frame word.
enum : int { ACTIVE_NONE = 0, ACTIVE_PLAN = 1, ACTIVE_3D = 2 };
// The deferred steps.
constexpr UINT WM_VEDRA_LOADMODEL = WM_APP + 1;
constexpr UINT WM_VEDRA_MODELREADY = WM_APP + 2;
constexpr UINT WM_VEDRA_LIBRARY = WM_APP + 3;
constexpr UINT WM_VEDRA_LIBRARYADD = WM_APP + 4;
constexpr UINT WM_VEDRA_PRESETLIGHTS = WM_APP + 5;

class CMainFrame : public CMDIFrameWnd {
  DECLARE_DYNCREATE(CMainFrame)
public:
  CMainFrame();

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;

  // Creates the hidden 3D frame of the document when there is none; 1, or 0 when it could not
  // be made after a few tries (the user is told; work goes on with the plan frame).
  int EnsureSimFrame(CVedraDoc* doc);
  // Asks the 3D frame to close; 1 when none is left.
  int CloseSimFrame();
  // Closes the 3D frame, trying a few times; false (the user told) when it stays.
  bool CloseSimFrameFully();
  // 1 when a mode change may go on, 0 after refusing it (a wall chain is being drawn).
  int CheckWallDrawingDone();
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
// A message box owned by the main window, with the program's caption.
int VedraMessage(const char* text, UINT type);
