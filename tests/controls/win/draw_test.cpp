// Drawing, checked on captures read back: colour-button bevels, the picker's swatch and arrow,
// hover-button faces and images, and the picture bar's background behind its controls.
#include <gtest/gtest.h>

#include "controls/picturebar.h"
#include "controls_fixture.h"
#include "uitest.h"

namespace {

const COLORREF kFace = RGB(0, 0, 255);
const COLORREF kGrey = 0x808080;
const COLORREF kWhite = 0xFFFFFF;

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(IDD_TESTCONTROLS));
    dlg.UpdateData(FALSE);
  }
  void TearDown() override { dlg.DestroyWindow(); }
  CSize SizeOf(HWND h) {
    CRect r;
    ::GetClientRect(h, &r);
    return r.Size();
  }
  CControlsDlg dlg;
};

struct Ring {
  int depth;
  COLORREF top, left, bottom, right;  // outer ring
  COLORREF innerTop, innerBottom;     // second ring, or the face
};

TEST_F(Dialog, ColourButtonBevelsFollowTheGreyFormulas) {
  const Ring rings[] = {
      {0, kFace, kFace, kFace, kFace, kFace, kFace},
      {1, kWhite, kWhite, kGrey, kGrey, kFace, kFace},
      {-1, kGrey, kGrey, kWhite, kWhite, kFace, kFace},
      {-2, RGB(127, 127, 127), RGB(127, 127, 127), kWhite, kWhite, RGB(85, 85, 85), RGB(1, 1, 1)},
  };
  for (int i = 0; i < 4; i++) {
    SCOPED_TRACE(rings[i].depth);
    CColorButton& b = dlg.bevel[i];
    b.SetColors(0, nullptr, kFace, RGB(255, 255, 255), RGB(128, 128, 128), rings[i].depth);
    const CSize s = SizeOf(b);
    Capture c(b);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.At(4, 0), rings[i].top);
    EXPECT_EQ(c.At(0, 4), rings[i].left);
    EXPECT_EQ(c.At(4, s.cy - 1), rings[i].bottom);
    EXPECT_EQ(c.At(s.cx - 1, 4), rings[i].right);
    EXPECT_EQ(c.At(4, 1), rings[i].innerTop);
    EXPECT_EQ(c.At(4, s.cy - 2), rings[i].innerBottom);
    EXPECT_EQ(c.At(3, 3), kFace);
  }
}

TEST_F(Dialog, AColourButtonDrawnBeforeSetColorsHasTheLightDialogsLook) {
  CColorButton& b = dlg.bevel[1];  // never given colours
  EXPECT_EQ(b.GetDepth(), ::GetSystemMetrics(SM_CXEDGE));
  Capture c(b);
  ASSERT_TRUE(c.ok);
  EXPECT_EQ(c.At(3, 3), RGB(0, 0, 0)) << "face 0";
  EXPECT_EQ(c.At(4, 0), b.GetDepth() == 1 ? kWhite : RGB(255, 255, 255));
  b.SetFaceColor(RGB(0, 255, 0));
  Capture again(b);
  EXPECT_EQ(again.At(3, 3), RGB(0, 255, 0));
}

TEST_F(Dialog, PickerDrawsItsSwatchAndArrowAndADisabledLook) {
  dlg.picker.m_crColor = RGB(0, 200, 0);
  dlg.pickerOff.m_crColor = RGB(0, 200, 0);
  const CSize s = SizeOf(dlg.picker);
  const int m = s.cy / 2, r = s.cx;
  Capture on(dlg.picker), off(dlg.pickerOff);
  ASSERT_TRUE(on.ok && off.ok);
  EXPECT_EQ(on.At(7, 6), RGB(0, 200, 0)) << "swatch";
  EXPECT_EQ(on.At(5, 6), RGB(0, 0, 0)) << "swatch frame in the arrow's pen";
  EXPECT_EQ(on.At(r - 5, m - 1), RGB(0, 0, 0)) << "arrow";
  EXPECT_EQ(on.At(r - 6, m + 1), RGB(0, 0, 0)) << "arrow tip";
  EXPECT_EQ(on.At(r - 10, m), kWhite) << "separator";
  EXPECT_EQ(on.At(r - 11, m), kGrey);
  EXPECT_EQ(on.At(4, s.cy - 1), RGB(0, 0, 0)) << "raised: black bottom line";

  EXPECT_EQ(off.At(7, 6), ::GetSysColor(COLOR_BTNFACE)) << "no swatch when disabled";
  EXPECT_EQ(off.At(r - 6, m - 1), kGrey) << "grey arrow";
  EXPECT_EQ(off.At(r - 4, m - 1), kWhite) << "white highlight";
  EXPECT_EQ(off.At(r - 6, m + 1), kWhite);
}

TEST_F(Dialog, HoverButtonDrawsAFlatFaceAndItsStateImages) {
  CHoverButton& b = dlg.toggle;
  EXPECT_TRUE(b.GetStyle() & BS_OWNERDRAW) << "set by the button itself";
  Capture plain(b);
  EXPECT_EQ(plain.At(1, 1), RGB(0xC1, 0xC1, 0xC1)) << "no image: face only";

  ASSERT_TRUE(b.LoadStateBitmaps(IDB_RED, IDB_BLUE, IDB_GREEN, 0, 0, 0, 16, 16, 0, FALSE));
  EXPECT_EQ(b.GetImageSize(), CSize(16, 16));
  const CSize s = SizeOf(b);
  Capture normal(b);
  EXPECT_EQ(normal.At(s.cx / 2, s.cy / 2), RGB(255, 0, 0));
  EXPECT_EQ(normal.At(1, 1), RGB(0xC1, 0xC1, 0xC1)) << "flat: no edge";
  b.SetHighlighted(TRUE);
  Capture down(b);
  EXPECT_EQ(down.At(s.cx / 2, s.cy / 2), RGB(0, 0, 255));
  EXPECT_EQ(b.GetCheckState(), 1);

  EXPECT_FALSE(b.LoadStateBitmaps(0, IDB_BLUE, 0, 0, 0, 0, 0, 0, 0, FALSE));
  EXPECT_FALSE(b.LoadStateBitmaps(999, IDB_BLUE, 0, 0, 0, 0, 0, 0, 0, FALSE));
}

TEST(HoverButtonFiles, SetBitmapsTakesSidesModulo256AndZeroAsTheImagesOwn) {
  CFrameWnd host;
  ASSERT_TRUE(host.Create(nullptr, "host"));
  CHoverButton b;
  ASSERT_TRUE(b.Create("b", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 40), &host, 1));
  char module[MAX_PATH];
  ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  // The test's own bitmaps lie beside its sources; write one out from the resources' twin.
  HGLOBAL hDib = nullptr;
  const std::string path = TempPath("red.bmp");
  CBitmap red;
  ASSERT_TRUE(red.LoadBitmap(IDB_RED));
  HGLOBAL packed = DibFromBitmap(&red, BI_RGB, nullptr);
  ASSERT_TRUE(WriteDibToBmpFile(path.c_str(), packed));
  ::GlobalFree(packed);
  ASSERT_TRUE(b.SetBitmaps(path.c_str(), nullptr, 0, 0));
  EXPECT_EQ(b.GetImageSize(), CSize(16, 16));
  ASSERT_TRUE(b.SetBitmaps(path.c_str(), nullptr, 256 + 12, 10));
  EXPECT_EQ(b.GetImageSize(), CSize(12, 10));
  EXPECT_FALSE(b.SetBitmaps(TempPath("missing.bmp").c_str(), nullptr, 0, 0));
  (void)hDib;
  ::DeleteFileA(path.c_str());
  host.DestroyWindow();
}

TEST(HoverButtonMenu, PopupOpensAboveOrBelowWithItsLeftEdgeOnScreen) {
  EXPECT_EQ(CHoverButton::MenuOrigin(CRect(30, 300, 60, 320), 100), CPoint(30, 200));
  EXPECT_EQ(CHoverButton::MenuOrigin(CRect(-5, 50, 25, 70), 100), CPoint(0, 70)) << "below, clamped";
  EXPECT_EQ(CHoverButton::MenuOrigin(CRect(10, 100, 40, 120), 100), CPoint(10, 0)) << "just room above";
}

// ---- picture bar

class CTestPictureBar : public CPictureDialogBar {
 public:
  BOOL initResult = TRUE;
  int inits = 0;
  BOOL OnInitBar() override {
    CPictureDialogBar::OnInitBar();
    ++inits;
    return initResult;
  }
};

class PictureBar : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(nullptr, "bar host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 200)));
    ASSERT_TRUE(bar.CreateBar(&host, IDD_TESTPICTUREBAR, CBRS_ALIGN_BOTTOM | CBRS_TOOLTIPS, 700));
    host.RecalcLayout();
    uitest::PumpPending();
  }
  void TearDown() override { host.DestroyWindow(); }
  CFrameWnd host;
  CTestPictureBar bar;
};

TEST_F(PictureBar, BackgroundIsTiledStretchedOrCentred) {
  EXPECT_EQ(bar.inits, 1);
  CRect client;
  bar.GetClientRect(&client);
  const int W = client.Width();
  ASSERT_TRUE(bar.SetBackground(IDB_TILE, CPictureDialogBar::kTile));
  Capture tile(bar);
  ASSERT_TRUE(tile.ok);
  EXPECT_EQ(tile.At(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(tile.At(10, 2), RGB(0, 0, 255));
  EXPECT_EQ(tile.At(18, 10), RGB(255, 0, 0)) << "the next tile, one row of tiles down";

  ASSERT_TRUE(bar.SetBackground(IDB_TILE, CPictureDialogBar::kStretch));
  Capture stretch(bar);
  EXPECT_EQ(stretch.At(W / 4, 2), RGB(255, 0, 0));
  EXPECT_EQ(stretch.At(W * 3 / 4, 2), RGB(0, 0, 255));

  // Centred: the bar's erasing drawn into a bitmap of the client's size.
  ASSERT_TRUE(bar.SetBackground(IDB_TILE, CPictureDialogBar::kCentre));
  CClientDC screen(nullptr);
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CBitmap target;
  target.CreateCompatibleBitmap(&screen, W, client.Height());
  CGdiObject* old = mem.SelectObject(&target);
  EXPECT_TRUE(bar.SendMessage(WM_ERASEBKGND, (WPARAM)mem.m_hDC));
  const int left = (W - 16) / 2, top = (client.Height() - 8) / 2;
  EXPECT_EQ(mem.GetPixel(left + 2, top + 2), RGB(255, 0, 0));
  EXPECT_EQ(mem.GetPixel(left + 10, top + 2), RGB(0, 0, 255));
  EXPECT_EQ(mem.GetPixel(2, 2), ::GetSysColor(COLOR_BTNFACE)) << "plain background around the picture";
  mem.SelectObject(old);
}

TEST_F(PictureBar, StaticsShowThePictureTrackbarsDoNot) {
  ASSERT_TRUE(bar.SetBackground(IDB_TILE, CPictureDialogBar::kStretch));
  CWnd* label = bar.GetDlgItem(IDC_BAR_STATIC);
  CWnd* track = bar.GetDlgItem(IDC_BAR_TRACK);
  CRect lr, tr;
  label->GetWindowRect(&lr);
  track->GetWindowRect(&tr);
  bar.ScreenToClient(&lr);
  bar.ScreenToClient(&tr);
  Capture c(bar);
  ASSERT_TRUE(c.ok);
  const COLORREF behindLabel = c.At(lr.right - 1, lr.bottom - 1);
  EXPECT_TRUE(behindLabel == RGB(255, 0, 0) || behindLabel == RGB(0, 0, 255)) << std::hex << behindLabel;
  const COLORREF trackBack = c.At(tr.left + 1, tr.top + 1);
  EXPECT_NE(trackBack, RGB(255, 0, 0));
  EXPECT_NE(trackBack, RGB(0, 0, 255));
}

TEST(PictureBarInit, AFailedInitialisationFailsTheBarThoughItsWindowExists) {
  CFrameWnd host;
  ASSERT_TRUE(host.Create(nullptr, "bar host"));
  CTestPictureBar bar;
  bar.initResult = FALSE;
  EXPECT_FALSE(bar.CreateBar(&host, IDD_TESTPICTUREBAR, CBRS_ALIGN_BOTTOM, 700));
  EXPECT_TRUE(bar.IsWindow());
  CTestPictureBar missing;
  EXPECT_FALSE(missing.CreateBar(&host, 999, CBRS_ALIGN_BOTTOM, 701));
  EXPECT_EQ(missing.inits, 0);
  host.DestroyWindow();
}

}  // namespace
