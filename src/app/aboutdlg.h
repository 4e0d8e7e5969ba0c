// The About box: the program's credits scrolling over the About picture, closed by a double
// click anywhere on it.
#pragma once
#include "afx/afxwin.h"
#include "controls/scrolltext.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
  CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
  BOOL OnInitDialog() override;

protected:
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  BOOL PreTranslateMessage(MSG* pMsg) override;
  DECLARE_MESSAGE_MAP()

private:
  CScrollTextStatic m_credits;
};
