// Control bars: CControlBar, a child of a frame placed along one of its sides, and CDialogBar,
// a control bar made from a dialog template.
//
// A bar sends what its controls tell it (commands, notifications, owner drawing) to its owner,
// the frame, after its own message map and the controls' reflected handlers have had them. At idle
// time the frame's bars ask the frame's command route whether their controls are enabled
// (UpdateDialogControls); buttons that nothing handles are disabled. With CBRS_TOOLTIPS each
// control shows the text after "\n" of the string that has the control's id, unless the control
// answers TTN_NEEDTEXT itself.
#pragma once
#include "afx/winframe.h"

#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ALL 0xFFFFL
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)
 public:
  CControlBar() = default;
  ~CControlBar() override;
  DWORD m_dwStyle = 0;          // CBRS_ styles
  CSize m_sizeDefault;          // the bar's size across its side
  BOOL m_bAutoDelete = FALSE;   // deletes itself when its window is gone

  DWORD GetBarStyle() const { return m_dwStyle; }
  void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
  CFrameWnd* GetDockingFrame() const { return GetParentFrame(); }
  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  void PostNcDestroy() override;
  // The tooltip control of a bar with CBRS_TOOLTIPS (null before the bar has controls).
  HWND GetToolTipHwnd() const { return m_hWndToolTip; }

 protected:
  // Adds every child control as a tool of the bar's tooltip control.
  void AddToolTips();
  LRESULT OnToolTipNeedText(NMHDR* pNMHDR);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnDestroy();
  HWND m_hWndToolTip = nullptr;

  DECLARE_MESSAGE_MAP()
};

class CDialogBar : public CControlBar {
  DECLARE_DYNAMIC(CDialogBar)
 public:
  CDialogBar() = default;
  // Creates the bar from dialog template nIDTemplate (a child template) as child nID of the
  // frame; its size is the template's after WM_INITDIALOG. FALSE when the template is missing.
  virtual BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
  virtual BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID);
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  void PreInitDialog() override;

 protected:
  LPCTSTR m_lpszTemplateName = nullptr;
};
