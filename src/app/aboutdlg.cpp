#include "app/aboutdlg.h"

namespace {

// Lines separated by "|"; a line ending in a tab is a heading.
constexpr const char kCredits[] =
    "||||||TAVO Vedra\t||Interior and exterior design in 2D and 3D||Version 1.0|||"
    "Design and programming\t||Plan editor|3D walk-through|Scene-graph toolkit|Model library|||"
    "Thanks\t||Everyone who drew the first homes with it|and told us what was missing||||||";

}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
  ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const int width = 569 + ::GetSystemMetrics(SM_CXDLGFRAME) + ::GetSystemMetrics(SM_CXBORDER);
  const int height = 345 + ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYBORDER) +
                     ::GetSystemMetrics(SM_CYCAPTION);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOZORDER);
  if (m_credits.SubclassDlgItem(IDC_ABOUT_PICTURE, this)) {
    m_credits.m_rcText = CRect(27, 234, 402, 325);
    m_credits.SetText(kCredits, '|');
    m_credits.StartScrolling();
    m_credits.SetBackground(MAKEINTRESOURCEA(IDB_ABOUT));
  }
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
