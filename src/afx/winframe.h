// Frame windows: CFrameWnd (a top-level or child frame with a view and control bars), the MDI
// frame and child (CMDIFrameWnd, CMDIChildWnd) and the small-caption tool frame (CMiniFrameWnd).
//
// Layout: RecalcLayout gives each visible control bar (CControlBar child) the side its
// CBRS_ALIGN_ style names, across the whole side, at the bar's own height (width for left and
// right); what is left goes to the view (id AFX_IDW_PANE_FIRST) or the MDI client.
// Command route of a frame: its active view (which hands on to its document and the document's
// template), the frame itself, the frames it sits in, then the application. An MDI frame first
// offers a command to its active child frame's view, document, template and the child itself.
#pragma once
#include <vector>

#include "afx/afxres.h"
#include "afx/winwnd.h"

class CView;
class CDocument;
class CDocTemplate;
class CControlBar;

// What a frame needs to create its view: the view's class, the document, the template.
struct CCreateContext {
  CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
 public:
  CFrameWnd() = default;
  static const CRect rectDefault;

  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
              DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
  // Creates the frame from the resources of nIDResource: the caption is the first line of string
  // nIDResource, the icon and the menu those of that id when they exist. Fails when neither the
  // string nor the icon exists.
  virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);

  virtual void RecalcLayout(BOOL bNotify = TRUE);
  void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
  virtual void ActivateFrame(int nCmdShow = -1);
  virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
  virtual void OnUpdateFrameTitle(BOOL bAddToTitle);

  virtual CFrameWnd* GetActiveFrame() { return this; }
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
  virtual CDocument* GetActiveDocument();
  CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

  void BeginModalState() override;
  void EndModalState() override;
  BOOL InModalState() const { return m_nModalState > 0; }

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  void PostNcDestroy() override { delete this; }

  // The view, the frame and the application route (without the active child of an MDI frame).
  BOOL RouteCommand(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  CString m_strTitle;
  UINT m_nIDHelp = 0;
  BOOL m_bAutoMenuEnable = TRUE;

 protected:
  virtual BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext);
  // The rectangle left after the bars.
  CRect LayoutBars();
  // The part of the client rectangle for the view or MDI client, set by RecalcLayout.
  virtual void PlaceClient(const CRect& rect);

  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

  CView* m_pViewActive = nullptr;
  int m_nModalState = 0;
  std::vector<HWND>* m_pModalDisabled = nullptr;
  HMENU m_hMenuDefault = nullptr;

  DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIFrameWnd)
 public:
  HWND m_hWndMDIClient = nullptr;

  // Creates the MDI client; pWindowMenu null keeps any menu free of the window list.
  BOOL CreateClient(LPCREATESTRUCTA lpCreateStruct, CMenu* pWindowMenu);
  CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
  void MDIActivate(CWnd* pWndActivate);
  void MDIMaximize(CWnd* pWnd);
  void MDIRestore(CWnd* pWnd);
  void MDINext();
  CFrameWnd* GetActiveFrame() override;
  CDocument* GetActiveDocument() override;
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  void OnUpdateFrameTitle(BOOL bAddToTitle) override;

 protected:
  BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext) override;
  void PlaceClient(const CRect& rect) override;

  DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIChildWnd)
 public:
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                      DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                      CMDIFrameWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
  BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                 CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
  CMDIFrameWnd* GetMDIFrame() const;
  void MDIActivate();
  void MDIDestroy();
  void MDIMaximize();
  void MDIRestore();
  void ActivateFrame(int nCmdShow = -1) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  void OnUpdateFrameTitle(BOOL bAddToTitle) override;

 protected:
  afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
  afx_msg void OnSize(UINT nType, int cx, int cy);

  DECLARE_MESSAGE_MAP()
};

#define MFS_SYNCACTIVE 0x00000100L
#define MFS_4THICKFRAME 0x00000200L
#define MFS_THICKFRAME 0x00000400L
#define MFS_MOVEFRAME 0x00000800L
#define MFS_BLOCKSYSMENU 0x00001000L

// A tool frame with a small caption (a WS_EX_TOOLWINDOW popup), owned by its parent.
class CMiniFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMiniFrameWnd)
 public:
  BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
              CWnd* pParentWnd = nullptr, UINT nID = 0);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd = nullptr, UINT nID = 0);
};
