// The plan editor's dialogs: the plan window's colours (written into the registry when changed)
// and the grid spacing.
#pragma once
#include "afx/afxwin.h"
#include "controls/colorpicker.h"
#include "controls/hoverbutton.h"

// The fourteen colours of the plan window. Apply writes the changed ones and redraws the plan.
class CPlanWindowPropertyDlg : public CDialog {
public:
  explicit CPlanWindowPropertyDlg(CWnd* pParent = nullptr);

  static constexpr int kColours = 14;
  CColorPickerButton& Picker(int i) { return m_pickers[i]; }
  // The view that Apply repaints; none when not given.
  CWnd* m_pView = nullptr;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  afx_msg void OnApply();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

private:
  CHoverButton m_apply;
  CHoverButton m_cancel;
  CHoverButton m_ok;
  CColorPickerButton m_pickers[kColours];
};

// The grid spacing in millimetres, 1 to 1000000.
class CGridSettingDlg : public CDialog {
public:
  CGridSettingDlg(int spacing, CWnd* pParent = nullptr);
  int m_spacing;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

private:
  CHoverButton m_cancel;
  CHoverButton m_ok;
};
