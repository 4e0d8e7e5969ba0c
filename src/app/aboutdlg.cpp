#include "app/aboutdlg.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
  ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const int width = 569 + ::GetSystemMetrics(SM_CXDLGFRAME) + ::GetSystemMetrics(SM_CXBORDER);
  const int height = 345 + ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYBORDER) +
                     ::GetSystemMetrics(SM_CYCAPTION);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOZORDER);
  CenterWindow();
  ShowWindow(SW_SHOW);
  AfxDoWaitCursor(0);
  return TRUE;
}

void CAboutDlg::OnLButtonDblClk(UINT, CPoint) {
  Default();
  OnOK();
}

// A double click on the picture (a static that takes no clicks of its own) closes the box too.
BOOL CAboutDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_LBUTTONDBLCLK && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
    OnOK();
    return TRUE;
  }
  return CDialog::PreTranslateMessage(pMsg);
}
