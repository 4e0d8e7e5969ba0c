// Dialogs: data exchange both ways, validation that stops at the first bad field, the modal loop
// with its owner disabled, a modeless dialog under a modal box.
#include <gtest/gtest.h>

#include <string>

#include "afxtest.h"
#include "uitest.h"

namespace {

class CDataDlg : public CDialog {
 public:
  CDataDlg() : CDialog(IDD_TESTDATA) {}
  int m_int = 42;
  float m_float = 2.5f;
  CString m_text = "한글";
  double m_double = 0.125;
  int m_check = 1;
  int keyDowns = 0;
  BOOL ownerEnabledInside = TRUE;
  BOOL toolEnabledInside = TRUE;
  HWND tool = nullptr;
  bool driveModal = false;

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_DATA_INT, m_int);
    DDV_MinMaxInt(pDX, m_int, 1, 1000000);
    DDX_Text(pDX, IDC_DATA_FLOAT, m_float);
    DDV_MinMaxFloat(pDX, m_float, 0.5f, 2.5f);
    DDX_Text(pDX, IDC_DATA_TEXT, m_text);
    DDV_MaxChars(pDX, m_text, 10);
    DDX_Text(pDX, IDC_DATA_DOUBLE, m_double);
    DDX_Check(pDX, IDC_DATA_CHECK, m_check);
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) ++keyDowns;
    return CDialog::PreTranslateMessage(pMsg);
  }

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    if (!driveModal) return TRUE;
    // Seen from inside the modal loop: a key press through the loop, then the end.
    ownerEnabledInside = ::IsWindowEnabled(AfxGetMainWnd()->m_hWnd);
    if (tool) toolEnabledInside = ::IsWindowEnabled(tool);
    ::PostMessageA(::GetDlgItem(m_hWnd, IDC_DATA_TEXT), WM_KEYDOWN, 'X', 0);
    ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
    return TRUE;
  }
};

std::string Text(HWND dlg, int id) {
  char text[64] = {};
  ::GetDlgItemTextA(dlg, id, text, sizeof text);
  return text;
}

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    main = new CFrameWnd;
    ASSERT_TRUE(main->Create(nullptr, "AfxTest main", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    theTestApp.m_pMainWnd = main;
  }
  void TearDown() override {
    theTestApp.m_pMainWnd = nullptr;
    main->DestroyWindow();
    uitest::PumpPending();
  }
  CFrameWnd* main = nullptr;
};

TEST_F(Dialogs, DataGoesToTheControlsAndBack) {
  CDataDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_TESTDATA, main));
  ASSERT_TRUE(dlg.UpdateData(FALSE));
  EXPECT_EQ(Text(dlg, IDC_DATA_INT), "42");
  EXPECT_EQ(Text(dlg, IDC_DATA_FLOAT), "2.5");
  EXPECT_EQ(Text(dlg, IDC_DATA_TEXT), "한글");
  EXPECT_EQ(Text(dlg, IDC_DATA_DOUBLE), "0.125");
  EXPECT_EQ(::IsDlgButtonChecked(dlg, IDC_DATA_CHECK), UINT(BST_CHECKED));

  ::SetDlgItemTextA(dlg, IDC_DATA_INT, " 1000000 ");
  ::SetDlgItemTextA(dlg, IDC_DATA_FLOAT, "0.5");
  ::SetDlgItemTextA(dlg, IDC_DATA_TEXT, "방 하나");
  ::SetDlgItemTextA(dlg, IDC_DATA_DOUBLE, "-3e2");
  ::CheckDlgButton(dlg, IDC_DATA_CHECK, BST_UNCHECKED);
  ASSERT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.m_int, 1000000);
  EXPECT_FLOAT_EQ(dlg.m_float, 0.5f);
  EXPECT_EQ(dlg.m_text, CString("방 하나"));
  EXPECT_DOUBLE_EQ(dlg.m_double, -300.0);
  EXPECT_EQ(dlg.m_check, 0);
  dlg.DestroyWindow();
}

// The first bad field shows its message, takes the focus, and nothing after it is read.
TEST_F(Dialogs, ValidationStopsAtTheFirstBadField) {
  const struct {
    int field;
    const char* text;
    const char* message;  // null: accepted
  } cases[] = {
      {IDC_DATA_INT, "0", "Enter an integer between 1 and 1000000."},
      {IDC_DATA_INT, "1", nullptr},
      {IDC_DATA_INT, "1000000", nullptr},
      {IDC_DATA_INT, "1000001", "Enter an integer between 1 and 1000000."},
      {IDC_DATA_INT, "abc", "Enter an integer."},
      {IDC_DATA_INT, "99999999999", "Enter an integer."},
      {IDC_DATA_FLOAT, "0.4", "Enter a number between 0.5 and 2.5."},
      {IDC_DATA_FLOAT, "2.5", nullptr},
      {IDC_DATA_FLOAT, "2.6", "Enter a number between 0.5 and 2.5."},
      {IDC_DATA_FLOAT, "1e39", "Enter a number."},
      {IDC_DATA_FLOAT, "x1", "Enter a number."},
      {IDC_DATA_TEXT, "열한 글자가 넘는 이름", "Enter no more than 10 characters."},
  };
  for (const auto& c : cases) {
    CDataDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TESTDATA, main));
    dlg.ShowWindow(SW_SHOW);
    dlg.UpdateData(FALSE);
    ::SetDlgItemTextA(dlg, c.field, c.text);
    ::SetDlgItemTextA(dlg, IDC_DATA_DOUBLE, "7");
    if (!c.message) {
      EXPECT_TRUE(dlg.UpdateData(TRUE)) << c.text;
      EXPECT_DOUBLE_EQ(dlg.m_double, 7.0);
    } else {
      uitest::BoxAnswerer answer("AfxTest", IDOK);
      EXPECT_FALSE(dlg.UpdateData(TRUE)) << c.text;
      uitest::BoxSeen seen = answer.Wait();
      EXPECT_TRUE(seen.found) << c.text;
      EXPECT_EQ(seen.text, c.message);
      EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg, c.field)) << c.text;
      EXPECT_DOUBLE_EQ(dlg.m_double, 0.125) << "fields after the bad one stay unread";
      EXPECT_TRUE(::IsWindow(dlg.m_hWnd)) << "the dialog stays";
    }
    dlg.DestroyWindow();
  }
}

TEST_F(Dialogs, ModalLoopPreTranslatesAndDisablesTheOwnerAndItsToolWindows) {
  CMiniFrameWnd* tool = new CMiniFrameWnd;
  ASSERT_TRUE(tool->CreateEx(0, nullptr, "도구", WS_POPUP | WS_CAPTION | WS_VISIBLE, CRect(10, 10, 200, 100), main));
  CDataDlg dlg;
  dlg.m_pParentWnd = main;
  dlg.tool = tool->m_hWnd;
  dlg.driveModal = true;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(dlg.ownerEnabledInside);
  EXPECT_FALSE(dlg.toolEnabledInside) << "the frame's modal state covers the windows it owns";
  EXPECT_EQ(dlg.keyDowns, 1);
  EXPECT_TRUE(::IsWindowEnabled(main->m_hWnd));
  EXPECT_TRUE(::IsWindowEnabled(tool->m_hWnd));
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  tool->DestroyWindow();
}

TEST_F(Dialogs, ModelessDialogIsDisabledUnderAModalBox) {
  CDataDlg modeless;
  ASSERT_TRUE(modeless.Create(IDD_TESTDATA, main));
  modeless.ShowWindow(SW_SHOW);
  BOOL enabledUnderBox = TRUE;
  uitest::BoxAnswerer answer("AfxTest", IDOK, 10000, [&](HWND) { enabledUnderBox = ::IsWindowEnabled(modeless.m_hWnd); });
  EXPECT_EQ(AfxMessageBox("먼저, 벽그리기 작업을 마쳐야 전환할 수 있습니다", MB_OK), IDOK);
  uitest::BoxSeen seen = answer.Wait();
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "먼저, 벽그리기 작업을 마쳐야 전환할 수 있습니다");
  EXPECT_FALSE(enabledUnderBox);
  EXPECT_TRUE(::IsWindowEnabled(modeless.m_hWnd));
  modeless.DestroyWindow();
}

}  // namespace
