// Controls: reflected notifications, owner drawing and colours taken by the control itself, a
// tree's check boxes hit by the mouse, a tool frame holding a five-page sheet, mapping modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "afxtest.h"
#include "uitest.h"

namespace {

const COLORREF kPainted = RGB(10, 200, 30);

class CDrawnButton : public CButton {
 public:
  int drawn = 0;
  int clicked = 0;
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    ++drawn;
    ::FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }

 protected:
  afx_msg void OnClicked() { ++clicked; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDrawnButton, CButton)
  ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CPaintedStatic : public CStatic {
 public:
  CBrush brush{kPainted};

 protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT) {
    pDC->SetBkColor(kPainted);
    return brush;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPaintedStatic, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CReflectDlg : public CDialog {
 public:
  CReflectDlg() : CDialog(IDD_TESTREFLECT) {}
  CDrawnButton drawn;
  CPaintedStatic painted;
  int parentClicks = 0;
  int parentDraws = 0;
  std::vector<HWND> coloured;  // controls whose colours the dialog was asked for

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_REFLECT_DRAWN, drawn);
    DDX_Control(pDX, IDC_REFLECT_STATIC, painted);
  }

 protected:
  afx_msg void OnDrawnClicked() { ++parentClicks; }
  afx_msg void OnPlainClicked() { ++parentClicks; }
  afx_msg void OnDrawItem(int, LPDRAWITEMSTRUCT) { ++parentDraws; }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (pWnd) coloured.push_back(pWnd->m_hWnd);
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectDlg, CDialog)
  ON_BN_CLICKED(IDC_REFLECT_DRAWN, OnDrawnClicked)
  ON_BN_CLICKED(IDC_REFLECT_PLAIN, OnPlainClicked)
  ON_WM_DRAWITEM()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

bool Contains(const std::vector<HWND>& v, HWND h) { return std::find(v.begin(), v.end(), h) != v.end(); }

COLORREF PixelAt(HWND h, int x, int y) {
  HDC dc = ::GetDC(h);
  COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(h, dc);
  return c;
}

TEST(Reflection, TheControlTakesItsNotificationsDrawingAndColours) {
  CReflectDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_TESTREFLECT));
  dlg.UpdateData(FALSE);
  dlg.UpdateData(FALSE);  // a second exchange keeps the controls attached
  ASSERT_EQ(dlg.drawn.m_hWnd, ::GetDlgItem(dlg, IDC_REFLECT_DRAWN));
  dlg.RedrawWindow();
  uitest::PumpPending();

  EXPECT_GT(dlg.drawn.drawn, 0);
  EXPECT_EQ(dlg.parentDraws, 0) << "the button draws itself";
  CRect r;
  dlg.drawn.GetClientRect(&r);
  EXPECT_EQ(PixelAt(dlg.drawn, r.Width() / 2, r.Height() / 2), RGB(0, 0, 0));

  ::SendMessageA(dlg.drawn, BM_CLICK, 0, 0);
  EXPECT_EQ(dlg.drawn.clicked, 1);
  EXPECT_EQ(dlg.parentClicks, 0) << "what the control takes the parent never sees";
  ::SendMessageA(::GetDlgItem(dlg, IDC_REFLECT_PLAIN), BM_CLICK, 0, 0);
  EXPECT_EQ(dlg.parentClicks, 1);

  EXPECT_FALSE(Contains(dlg.coloured, dlg.painted.m_hWnd));
  EXPECT_TRUE(Contains(dlg.coloured, ::GetDlgItem(dlg, IDC_REFLECT_OTHER)));
  EXPECT_EQ(PixelAt(dlg.painted, 1, 1), kPainted);
  dlg.DestroyWindow();
}

class CTreeDlg : public CDialog {
 public:
  CTreeDlg() : CDialog(IDD_TESTTREE) {}
  CTreeCtrl tree;
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_TREE, tree); }
};

TEST(Tree, CheckBoxesAreHitAndToggledByTheMouse) {
  CTreeDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_TESTTREE));
  dlg.UpdateData(FALSE);
  // Check boxes are made when the style is set on a live tree (the common controls' own rule).
  dlg.tree.ModifyStyle(TVS_CHECKBOXES, 0);
  dlg.tree.ModifyStyle(0, TVS_CHECKBOXES);
  HTREEITEM walls = dlg.tree.InsertItem("벽지");
  HTREEITEM floors = dlg.tree.InsertItem("바닥재");
  dlg.tree.SetCheck(floors, TRUE);
  EXPECT_FALSE(dlg.tree.GetCheck(walls));
  EXPECT_TRUE(dlg.tree.GetCheck(floors));
  EXPECT_EQ(dlg.tree.GetItemText(walls), CString("벽지"));

  CRect text;
  ASSERT_TRUE(dlg.tree.GetItemRect(walls, &text, TRUE));
  CPoint box(text.left - 8, (text.top + text.bottom) / 2);
  UINT flags = 0;

  EXPECT_EQ(dlg.tree.HitTest(box, &flags), walls);

  EXPECT_TRUE(flags & TVHT_ONITEMSTATEICON);
  EXPECT_EQ(dlg.tree.HitTest(CPoint(text.left + 2, box.y), &flags), walls);
  EXPECT_TRUE(flags & TVHT_ONITEMLABEL);

  // The tree follows the mouse in a loop of its own until the button comes up: post both.
  dlg.tree.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
  dlg.tree.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
  EXPECT_TRUE(uitest::PumpUntil([&] { return dlg.tree.GetCheck(walls) != FALSE; }, 5000));
  dlg.DestroyWindow();
}

class CCountingPage : public CPropertyPage {
 public:
  explicit CCountingPage(UINT id) : CPropertyPage(id) {}
  int activations = 0;
  BOOL OnSetActive() override {
    ++activations;
    return CPropertyPage::OnSetActive();
  }
};

class CSheetFrame : public CMiniFrameWnd {
 public:
  CPropertySheet* sheet = nullptr;
  CCountingPage pages[5] = {CCountingPage(410), CCountingPage(411), CCountingPage(412), CCountingPage(413),
                            CCountingPage(414)};

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs) {
    if (CMiniFrameWnd::OnCreate(lpcs) == -1) return -1;
    sheet = new CPropertySheet("라이브러리", this);
    for (auto& p : pages) sheet->AddPage(&p);
    if (!sheet->Create(this, WS_CHILD | WS_VISIBLE, 0)) {
      delete sheet;
      sheet = nullptr;
      return -1;
    }
    return 0;
  }
  afx_msg void OnDestroy() {
    if (sheet) sheet->DestroyWindow();
    delete sheet;
    sheet = nullptr;
    Default();
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSheetFrame, CMiniFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(Sheet, ToolFrameHoldsAFivePageChildSheet) {
  auto* frame = new CSheetFrame;
  ASSERT_TRUE(frame->CreateEx(0, nullptr, "라이브러리", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                              CRect(100, 100, 400, 500), nullptr));
  ASSERT_NE(frame->sheet, nullptr);
  CPropertySheet* sheet = frame->sheet;
  EXPECT_TRUE(frame->GetExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(sheet->GetStyle() & WS_CHILD);
  EXPECT_EQ(::GetParent(sheet->m_hWnd), frame->m_hWnd);
  EXPECT_EQ(sheet->GetPageCount(), 5);
  ASSERT_NE(sheet->GetTabControl(), nullptr);
  EXPECT_EQ(sheet->GetTabControl()->GetItemCount(), 5);
  EXPECT_EQ(sheet->GetActiveIndex(), 0);

  EXPECT_TRUE(sheet->SetActivePage(3));
  EXPECT_EQ(sheet->GetActiveIndex(), 3);
  EXPECT_EQ(sheet->GetActivePage(), &frame->pages[3]);
  EXPECT_EQ(frame->pages[3].activations, 1);
  ASSERT_NE(frame->pages[3].m_hWnd, nullptr);
  char text[32] = {};
  ::GetDlgItemTextA(frame->pages[3].m_hWnd, IDC_PAGE_BUTTON, text, sizeof text);
  EXPECT_STREQ(text, "창호");
  frame->DestroyWindow();
  uitest::PumpPending();
}

TEST(Mapping, AnisotropicUnitsConvertBothWays) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(1000, 1000);
  dc.SetViewportExt(100, -100);
  dc.SetViewportOrg(50, 50);
  EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
  const struct {
    POINT lp, dp;
  } table[] = {{{0, 0}, {50, 50}}, {{1000, 1000}, {150, -50}}, {{-500, 200}, {0, 30}}, {{10, -10}, {51, 51}}};
  for (const auto& t : table) {
    CPoint p = t.lp;
    dc.LPtoDP(&p);
    EXPECT_EQ(p, CPoint(t.dp)) << t.lp.x << "," << t.lp.y;
    dc.DPtoLP(&p);
    EXPECT_EQ(p, CPoint(t.lp));
  }
  CSize size(500, 300);
  dc.LPtoDP(&size);
  EXPECT_EQ(size, CSize(50, 30)) << "sizes are distances: no origin, no sign";

  const int dpi = dc.GetDeviceCaps(LOGPIXELSX);
  CSize him(2540, 2540);
  dc.HIMETRICtoDP(&him);
  EXPECT_EQ(him.cx, dpi);
  dc.DPtoHIMETRIC(&him);
  EXPECT_EQ(him.cx, 2540);
  CSize lp(2540, 2540);
  dc.HIMETRICtoLP(&lp);
  EXPECT_EQ(lp.cx, dpi * 10);
}

// Labels are UTF-8: drawn through the device context they look as the same text drawn as UTF-16,
// whatever character set the selected font has.
TEST(Text, Utf8LabelsDrawAsTheirUtf16Text) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(160, 24, 1, 32, nullptr));
  CBitmap* oldBitmap = dc.SelectObject(&bitmap);
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(90, "Microsoft Sans Serif", &dc));
  CFont* oldFont = dc.SelectObject(&font);
  auto pixels = [&] {
    std::vector<DWORD> p(160 * 24);
    ::GetBitmapBits(static_cast<HBITMAP>(bitmap.m_hObject), static_cast<LONG>(p.size() * 4), p.data());
    return p;
  };
  auto clear = [&] { dc.PatBlt(0, 0, 160, 24, WHITENESS); };
  const struct {
    const char* utf8;
    int bytes;
    const wchar_t* wide;
  } cases[] = {{"환경설정(&C)", -1, L"환경설정(&C)"}, {"환경설정", 6, L"환경"}, {"File", -1, L"File"}};
  for (const auto& c : cases) {
    CRect mine(0, 0, 0, 0), theirs(0, 0, 0, 0);
    dc.DrawText(c.utf8, c.bytes, &mine, DT_SINGLELINE | DT_CALCRECT);
    ::DrawTextW(dc.m_hDC, c.wide, -1, &theirs, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(mine.Width(), theirs.Width()) << c.utf8;
    EXPECT_EQ(mine.Height(), theirs.Height()) << c.utf8;
    EXPECT_GT(mine.Width(), 0) << c.utf8;

    clear();
    dc.DrawState(CPoint(2, 2), CSize(150, 20), c.utf8, DST_PREFIXTEXT, TRUE, c.bytes > 0 ? c.bytes : 0, nullptr);
    const std::vector<DWORD> drawn = pixels();
    clear();
    ::DrawStateW(dc.m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(c.wide), 0, 2, 2, 150, 20, DST_PREFIXTEXT);
    EXPECT_TRUE(drawn == pixels()) << c.utf8;
  }
  dc.SelectObject(oldFont);
  dc.SelectObject(oldBitmap);
}

}  // namespace
