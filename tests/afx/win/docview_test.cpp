// File New through a template: the document, its child frame, view and bottom bar; the command
// route from the view to the application; update UI of the bar and of popup menus.
#include <gtest/gtest.h>

#include <string>

#include "afxtest.h"
#include "uitest.h"

namespace {

class CTestDoc : public CDocument {
  DECLARE_DYNCREATE(CTestDoc)
 protected:
  afx_msg void OnDocCommand() { g_lastHandler = "doc"; }
  afx_msg void OnBoth() { g_lastHandler = "doc"; }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
  ON_COMMAND(6002, OnDocCommand)
  ON_COMMAND(6007, OnBoth)
END_MESSAGE_MAP()

class CTestView : public CView {
  DECLARE_DYNCREATE(CTestView)
 public:
  void OnDraw(CDC*) override {}
  static int initialUpdates;
  void OnInitialUpdate() override { ++initialUpdates; }

 protected:
  afx_msg void OnViewCommand() { g_lastHandler = "view"; }
  afx_msg void OnBoth() { g_lastHandler = "view"; }
  afx_msg void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
  afx_msg void OnUpdateUnchecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(0); }
  afx_msg void OnMenuCommand(UINT) {}
  DECLARE_MESSAGE_MAP()
};
int CTestView::initialUpdates = 0;
IMPLEMENT_DYNCREATE(CTestView, CView)
BEGIN_MESSAGE_MAP(CTestView, CView)
  ON_COMMAND(6001, OnViewCommand)
  ON_COMMAND(6007, OnBoth)
  ON_COMMAND_RANGE(IDM_CHECKED, IDM_UNCHECKED, OnMenuCommand)
  ON_UPDATE_COMMAND_UI(IDM_CHECKED, OnUpdateChecked)
  ON_UPDATE_COMMAND_UI(IDM_UNCHECKED, OnUpdateUnchecked)
END_MESSAGE_MAP()

class CTestTemplate : public CMultiDocTemplate {
 public:
  using CMultiDocTemplate::CMultiDocTemplate;

 protected:
  afx_msg void OnTemplateCommand() { g_lastHandler = "template"; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestTemplate, CMultiDocTemplate)
  ON_COMMAND(6003, OnTemplateCommand)
END_MESSAGE_MAP()

// A button that keeps its own tip.
class CTipButton : public CButton {
 protected:
  afx_msg void OnNeedText(NMHDR* pNMHDR, LRESULT*) {
    reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->lpszText = const_cast<LPSTR>("자기 설명");
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTipButton, CButton)
  ON_NOTIFY_REFLECT(TTN_NEEDTEXTA, OnNeedText)
END_MESSAGE_MAP()

class CTestBar : public CDialogBar {
 protected:
  afx_msg void OnByBar() { g_lastHandler = "bar"; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestBar, CDialogBar)
  ON_BN_CLICKED(IDC_BAR_BYBAR, OnByBar)
END_MESSAGE_MAP()

class CTestChild : public CMDIChildWnd {
  DECLARE_DYNCREATE(CTestChild)
 public:
  CTestBar m_bar;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs) {
    if (CMDIChildWnd::OnCreate(lpcs) == -1) return -1;
    return m_bar.Create(this, IDD_TESTBAR, 0x8238, AFX_IDW_DIALOGBAR) ? 0 : -1;
  }
  afx_msg void OnChildCommand() { g_lastHandler = "child"; }
  afx_msg void OnBarHandled() { g_lastHandler = "child"; }
  afx_msg void OnUpdateBarUpdated(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestChild, CMDIChildWnd)
BEGIN_MESSAGE_MAP(CTestChild, CMDIChildWnd)
  ON_WM_CREATE()
  ON_COMMAND(6004, OnChildCommand)
  ON_COMMAND(IDC_BAR_HANDLED, OnBarHandled)
  ON_UPDATE_COMMAND_UI(IDC_BAR_UPDATED, OnUpdateBarUpdated)
END_MESSAGE_MAP()

class CTestMain : public CMDIFrameWnd {
 protected:
  afx_msg void OnMainCommand() { g_lastHandler = "main"; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestMain, CMDIFrameWnd)
  ON_COMMAND(6005, OnMainCommand)
  ON_COMMAND(6007, OnMainCommand)
END_MESSAGE_MAP()

class DocView : public ::testing::Test {
 protected:
  void SetUp() override {
    main = new CTestMain;
    ASSERT_TRUE(main->LoadFrame(IDR_TESTMAIN));
    theTestApp.m_pMainWnd = main;
    main->ShowWindow(SW_SHOW);
    tmpl = new CTestTemplate(IDR_TESTTYPE, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestChild), RUNTIME_CLASS(CTestView));
    theTestApp.AddDocTemplate(tmpl);
    CCommandLineInfo cmd;
    ASSERT_TRUE(theTestApp.ProcessShellCommand(cmd));
    child = static_cast<CTestChild*>(main->MDIGetActive());
    ASSERT_NE(child, nullptr);
    doc = main->GetActiveDocument();
  }
  void TearDown() override {
    theTestApp.m_pMainWnd = nullptr;  // no WM_QUIT for the test's thread
    theTestApp.CloseAllDocuments(FALSE);
    if (main) main->DestroyWindow();
    theTestApp.ExitInstance();        // deletes the template
    uitest::PumpPending();
  }
  const char* Route(UINT id) {
    g_lastHandler = nullptr;
    main->SendMessage(WM_COMMAND, id, 0);
    return g_lastHandler ? g_lastHandler : "none";
  }
  HWND BarItem(int id) const { return ::GetDlgItem(child->m_bar.m_hWnd, id); }

  CTestMain* main = nullptr;
  CTestTemplate* tmpl = nullptr;
  CTestChild* child = nullptr;
  CDocument* doc = nullptr;
};

TEST_F(DocView, FileNewMakesVedra1WithItsFrameViewAndBottomBar) {
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(CString(doc->GetTitle()), CString("Vedra1"));
  EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(CTestDoc)));
  EXPECT_EQ(doc->GetDocTemplate(), tmpl);
  CView* view = child->GetActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetDocument(), doc);
  EXPECT_GE(CTestView::initialUpdates, 1);
  CString ext;
  tmpl->GetDocString(ext, CDocTemplate::filterExt);
  EXPECT_EQ(ext, CString(".tavo"));

  // The bar spans the bottom of the child's client area at its template's height; the view
  // takes the rest.
  CRect client, bar, viewRect;
  child->GetClientRect(&client);
  child->m_bar.GetWindowRect(&bar);
  child->ScreenToClient(&bar);
  view->GetWindowRect(&viewRect);
  child->ScreenToClient(&viewRect);
  EXPECT_EQ(bar.left, 0);
  EXPECT_EQ(bar.right, client.right);
  EXPECT_EQ(bar.bottom, client.bottom);
  EXPECT_EQ(bar.Height(), child->m_bar.m_sizeDefault.cy);
  EXPECT_GT(bar.Height(), 10);
  EXPECT_EQ(viewRect.bottom, bar.top);
  EXPECT_EQ(viewRect.top, 0);
  EXPECT_TRUE(child->m_bar.GetBarStyle() & CBRS_ALIGN_BOTTOM);

  // A second new document counts on.
  theTestApp.OnFileNew();
  EXPECT_EQ(CString(main->GetActiveDocument()->GetTitle()), CString("Vedra2"));
}

TEST_F(DocView, CommandsTakeTheRouteFromViewToApplication) {
  const struct {
    UINT id;
    const char* handler;
  } route[] = {{6001, "view"}, {6002, "doc"}, {6003, "template"}, {6004, "child"}, {6005, "main"},
               {6006, "app"},  {6007, "view"}, {6099, "none"}};
  for (const auto& r : route) EXPECT_STREQ(Route(r.id), r.handler) << "command " << r.id;

  // A bar button's click goes to the bar's own map, then the child frame's route.
  g_lastHandler = nullptr;
  ::SendMessageA(BarItem(IDC_BAR_HANDLED), BM_CLICK, 0, 0);
  EXPECT_STREQ(g_lastHandler, "child");
  g_lastHandler = nullptr;
  ::SendMessageA(BarItem(IDC_BAR_BYBAR), BM_CLICK, 0, 0);
  EXPECT_STREQ(g_lastHandler, "bar");
}

TEST_F(DocView, IdleUpdateDisablesUnhandledBarButtonsOnly) {
  theTestApp.OnIdle(0);
  EXPECT_TRUE(::IsWindowEnabled(BarItem(IDC_BAR_HANDLED)));
  EXPECT_TRUE(::IsWindowEnabled(BarItem(IDC_BAR_BYBAR))) << "the bar's own handler counts";
  EXPECT_FALSE(::IsWindowEnabled(BarItem(IDC_BAR_UNHANDLED)));
  EXPECT_FALSE(::IsWindowEnabled(BarItem(IDC_BAR_UPDATED))) << "the update handler disables it";
  EXPECT_TRUE(::IsWindowEnabled(BarItem(IDC_BAR_AUTOCHECK)));
  EXPECT_TRUE(::IsWindowEnabled(BarItem(IDC_BAR_GROUP)));
  HWND combo = BarItem(IDC_BAR_COMBO);
  EXPECT_TRUE(::IsWindowEnabled(combo));
  ASSERT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 2) << "filled from the template's initial data";
  char item[16] = {};
  ::SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, "방");
}

// The bar's tips: the text after "\n" of the control's string, unless the control answers.
TEST_F(DocView, BarTipsComeFromTheControlOrItsString) {
  HWND tip = child->m_bar.GetToolTipHwnd();
  ASSERT_NE(tip, nullptr);
  auto ask = [&](int id) {
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = tip;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(BarItem(id));
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = TTF_IDISHWND;
    child->m_bar.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return std::string(info.lpszText ? info.lpszText : "");
  };
  EXPECT_EQ(ask(IDC_BAR_HANDLED), "처리되는 단추");
  EXPECT_EQ(ask(IDC_BAR_UNHANDLED), "");
  CTipButton button;
  ASSERT_TRUE(button.SubclassWindow(BarItem(IDC_BAR_UNHANDLED)));
  EXPECT_EQ(ask(IDC_BAR_UNHANDLED), "자기 설명");
  button.UnsubclassWindow();
}

TEST_F(DocView, PopupMenuItemsTakeTheirChecksAndStates) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDM_TESTPOPUP));
  CMenu* popup = menu.GetSubMenu(0);
  main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->m_hMenu), 0);
  EXPECT_EQ(popup->GetMenuState(IDM_CHECKED, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), UINT(MF_CHECKED));
  EXPECT_EQ(popup->GetMenuState(IDM_UNCHECKED, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), 0u);
  EXPECT_TRUE(popup->GetMenuState(IDM_NOHANDLER, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(DocView, ClosingTheChildClosesItsDocument) {
  DWORD id = doc->GetObjectId();
  child->SendMessage(WM_CLOSE);
  uitest::PumpPending();
  EXPECT_EQ(CObject::FromObjectId(id), nullptr);
  EXPECT_EQ(main->MDIGetActive(), nullptr);
}

// Missing resources fail creation; nothing crashes.
TEST(Resources, MissingOnesFailCreation) {
  auto* frame = new CFrameWnd;
  EXPECT_FALSE(frame->LoadFrame(999));
  delete frame;
  CDialog dlg(999);
  EXPECT_EQ(dlg.DoModal(), -1);
  CFrameWnd host;
  ASSERT_TRUE(host.Create(nullptr, "host"));
  CDialogBar bar;
  EXPECT_FALSE(bar.Create(&host, 999, CBRS_BOTTOM, AFX_IDW_DIALOGBAR));
}

}  // namespace
