// The 3D frame: the document's walk-through view with the 3D control bar along its top, and the
// floating tool windows it owns (none is made yet: the pointers stay null until each tool
// exists).
#pragma once
#include "afx/afxwin.h"
#include "view3d/simbar.h"

class C3DFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(C3DFrame)
public:
  C3DFrame();
  ~C3DFrame() override;

  CSimBar& GetBar() { return m_bar; }
  // A control of the bar; null while there is none.
  CWnd* GetBarControl(UINT id) { return m_bar.m_hWnd ? m_bar.GetDlgItem(static_cast<int>(id)) : nullptr; }
  // Each tool window that exists is sent WM_CLOSE: the property frame, the place tools (transform
  // and place tools), the path tools (path player and light editor), the keyframe dialog.
  void ClosePropertyFrame();
  void ClosePlaceTools();
  void ClosePathTools();
  void CloseKeyFrameDialog();

protected:
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
  DECLARE_MESSAGE_MAP()

private:
  // The tool windows, in the order they are destroyed.
  enum Tool { kPathPlayer, kKeyFrame, kLightEditor, kTransform, kPlaceTools, kPropertyFrame, kTools };
  void CloseTool(Tool tool);

  CSimBar m_bar;
  CWnd* m_tools[kTools] = {};
};
