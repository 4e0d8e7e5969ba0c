// The 3D control bar along the top of the 3D frame: the status text and the button back to the
// plan (a double click). The grid's state (0 hidden, 1 lines, 2 points) and the view direction
// (the walk-through's own, never the top view yet) are the bar's.
#pragma once
#include "afx/afxwin.h"
#include "controls/hoverbutton.h"
#include "controls/picturebar.h"

class CSimBar : public CPictureDialogBar {
  DECLARE_DYNAMIC(CSimBar)
public:
  CSimBar();

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitBar() override;
  int GetGridState() const { return m_gridState; }
  bool IsTopView() const { return false; }
  // The width of the status text: 0 on a screen narrower than 750 pixels.
  int GetStatusWidth() const { return m_statusWidth; }

  CString m_status;

protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnPlanButton();
  afx_msg void OnUpdateAlways(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
  DECLARE_MESSAGE_MAP()

private:
  void PlacePlanButton(int screen);
  void PlaceStatus(int screen);

  CHoverButton m_plan;
  CToolTipCtrl m_tooltip;
  int m_gridState = 0;
  int m_statusWidth = 0;
};
