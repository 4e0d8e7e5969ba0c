// The grid under the mouse: selecting cells, rows and columns, the focus cell and its pressed
// headings, auto-scrolling while a selection is dragged out, and sizing by the dividers.
#include <algorithm>

#include "grid_fixture.h"
#include "uitest.h"

namespace {

using Mouse = GridTest;

bool Selected(CGridCtrl& g, int row, int col) { return (g.GetCellState(row, col) & GCS_SELECTED) != 0; }

TEST_F(Mouse, ClickShiftClickAndCtrlClickSelectAndMoveTheFocus) {
  CGridCtrl& g = dlg.gridA;
  ClickCell(g, 2, 2);
  EXPECT_EQ(g.GetFocusCell(), GridCellRef(2, 2));
  EXPECT_EQ(g.GetCellState(2, 2) & (GCS_FOCUSED | GCS_SELECTED), (UINT)(GCS_FOCUSED | GCS_SELECTED));
  EXPECT_EQ(g.GetSelectedCount(), 1);
  EXPECT_EQ(dlg.Events(IDC_GRID_A, LVN_ITEMCHANGED), std::vector<GridEvent>{Event(IDC_GRID_A, LVN_ITEMCHANGED, 2, 2)});
  EXPECT_EQ(dlg.Events(IDC_GRID_A, 0).size(), 1u) << "WM_COMMAND after the release";

  ClickWith(VK_SHIFT, g, 4, 3);
  EXPECT_EQ(g.GetFocusCell(), GridCellRef(4, 3));
  EXPECT_EQ(g.GetSelectedCount(), 6);
  const GridCellRange block = g.GetSelectionBounds();
  EXPECT_EQ(std::vector<int>({block.minRow, block.minCol, block.maxRow, block.maxCol}), std::vector<int>({2, 2, 4, 3}));
  EXPECT_EQ(dlg.Events(IDC_GRID_A, LVN_ITEMCHANGING).back(), Event(IDC_GRID_A, LVN_ITEMCHANGING, 2, 2));

  ClickWith(VK_CONTROL, g, 6, 1);
  EXPECT_EQ(g.GetSelectedCount(), 7) << "the block is kept and the new cell added";
  EXPECT_TRUE(Selected(g, 2, 2) && Selected(g, 6, 1));
  EXPECT_FALSE(Selected(g, 5, 1));

  // The focus frame, the selection colour, and the headings of the focus row and column pressed.
  CRect focus, selected, rowHead, otherHead;
  g.GetCellBounds(6, 1, &focus);
  g.GetCellBounds(3, 2, &selected);
  g.GetCellBounds(6, 0, &rowHead);
  g.GetCellBounds(5, 0, &otherHead);
  EXPECT_EQ(Pixel(g, focus.left, focus.top + 3), RGB(0, 0, 0));
  EXPECT_EQ(Pixel(g, selected.right - 2, selected.top + 2), ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Pixel(g, otherHead.left, otherHead.top + 2), ::GetSysColor(COLOR_3DHIGHLIGHT)) << "raised";
  EXPECT_NE(Pixel(g, rowHead.left, rowHead.top + 2), ::GetSysColor(COLOR_3DHIGHLIGHT)) << "sunken";
}

TEST_F(Mouse, APressOnAHeadingSelectsItsColumnRowOrEverything) {
  CGridCtrl& g = *dlg.gridB;
  ClickCell(g, 0, 2);
  EXPECT_EQ(g.GetSelectedCount(), kGridRows - 1);
  EXPECT_TRUE(Selected(g, 1, 2) && Selected(g, kGridRows - 1, 2));
  ClickCell(g, 3, 0);
  EXPECT_EQ(g.GetSelectedCount(), kGridCols - 1);
  EXPECT_TRUE(Selected(g, 3, 1) && Selected(g, 3, kGridCols - 1));
  ClickCell(g, 0, 0);
  EXPECT_EQ(g.GetSelectedCount(), (kGridRows - 1) * (kGridCols - 1));
  EXPECT_FALSE(Selected(g, 0, 1) || Selected(g, 1, 0)) << "headings are never selected";
}

TEST_F(Mouse, ASelectionDraggedBelowTheGridScrollsAStepEvery25Ms) {
  CGridCtrl& g = dlg.gridA;
  const POINT start = CellPoint(g, 2, 2);
  CRect window;
  g.GetWindowRect(&window);
  uitest::MouseTo(start.x, start.y);
  uitest::MouseButtonAt(start.x, start.y, true);
  uitest::MouseTo(start.x, window.bottom + 30);
  const int rowThen = g.GetFocusCell().row;
  const ULONGLONG then = ::GetTickCount64();
  uitest::PumpUntil([] { return false; }, 200);
  const int steps = g.GetFocusCell().row - rowThen;
  const double expected = (double)(::GetTickCount64() - then) / 25;
  uitest::MouseButton(false);
  EXPECT_GE(steps, 2);
  EXPECT_LE(steps, expected + 2);
  EXPECT_GT(g.GetFirstScrolledCell().row, 1) << "scrolled down";
  EXPECT_TRUE(Selected(g, 2, 2) && Selected(g, g.GetFocusCell().row, 2));
  const int rowAfter = g.GetFocusCell().row;
  uitest::PumpUntil([] { return false; }, 100);
  EXPECT_EQ(g.GetFocusCell().row, rowAfter) << "the release stops it";
}

// A divider of the headings dragged right, dragged past the column's left (the cursor stays in
// the grid from the column's left on, so the width is 0), a line step right over that column,
// and a double click that fits it.
TEST_F(Mouse, DraggingADividerSizesTheColumnAndADoubleClickFitsIt) {
  CGridCtrl& g = dlg.gridA;
  for (int col = 1; col < kGridCols; col++) g.SetColumnWidth(col, 150);
  g.UpdateScrollBars();
  const auto divider = [&] { return CellCorner(g, 0, 2, 0, 4); };  // between columns 1 and 2
  POINT p = divider();
  uitest::MouseTo(p.x, p.y);
  EXPECT_EQ(g.GetMouseMode(), CGridCtrl::MouseOverColumnDivider);
  uitest::MouseButtonAt(p.x, p.y, true);
  uitest::MouseTo(p.x + 40, p.y);
  uitest::MouseButtonAt(p.x + 40, p.y, false);
  EXPECT_EQ(g.GetColumnWidth(1), 190);

  p = divider();
  uitest::MouseTo(p.x, p.y);
  uitest::MouseButtonAt(p.x, p.y, true);
  uitest::MouseButtonAt(p.x - 200, p.y, false);  // the cursor stops at the column's left
  EXPECT_EQ(g.GetColumnWidth(1), 0);

  ASSERT_EQ(g.GetFirstScrolledCell().col, 1);
  g.SendMessage(WM_HSCROLL, SB_LINERIGHT);
  EXPECT_EQ(g.GetFirstScrolledCell().col, 3) << "the empty column and one more passed";
  g.SendMessage(WM_HSCROLL, SB_LINELEFT);
  EXPECT_EQ(g.GetFirstScrolledCell().col, 1);

  NotADoubleClick();
  p = divider();
  uitest::MouseTo(p.x, p.y);
  ClickHere(p);
  ClickHere(p);
  const int fitted = g.GetColumnWidth(1);
  EXPECT_GT(fitted, 0);
  g.SetColumnWidth(1, 5);
  g.FitColumn(1);
  EXPECT_EQ(g.GetColumnWidth(1), fitted) << "the double click fitted column 1";
}

TEST_F(Mouse, ACaptureLostWhileSizingEndsTheSizingAndFreesTheCursor) {
  CGridCtrl& g = dlg.gridA;
  const int width = g.GetColumnWidth(1);
  const POINT p = CellCorner(g, 0, 2, 0, 4);
  uitest::MouseTo(p.x, p.y);
  uitest::MouseButtonAt(p.x, p.y, true);
  uitest::MouseTo(p.x + 10, p.y);
  RECT clip, screen{0, 0, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  ::GetClipCursor(&clip);
  EXPECT_FALSE(::EqualRect(&clip, &screen)) << "confined while sizing";
  ::SetCapture(::GetDlgItem(dlg.m_hWnd, IDOK));  // a box or a popup takes the mouse
  ::GetClipCursor(&clip);
  EXPECT_TRUE(::EqualRect(&clip, &screen)) << "set free";
  EXPECT_EQ(g.GetMouseMode(), CGridCtrl::MouseIdle);
  ::ReleaseCapture();
  uitest::MouseButtonAt(p.x + 10, p.y, false);
  EXPECT_EQ(g.GetColumnWidth(1), width);
}

}  // namespace
