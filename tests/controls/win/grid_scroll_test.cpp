// Large grids: scrolling by the bar's codes, its thumb and the wheel (whose setting comes from
// the registry), and selecting and copying every cell of 70,000 rows.
#include <cstring>

#include "controls_fixture.h"
#include "grid_fixture.h"
#include "uitest.h"

namespace {

using Scrolling = GridTest;

bool SamePicture(const Capture& a, const Capture& b) {
  const DibImage &x = a.image, &y = b.image;
  if (!a.ok || !b.ok || x.GetWidth() != y.GetWidth() || x.GetHeight() != y.GetHeight()) return false;
  const size_t bytes = (size_t)DibPaddedBytesPerLine(x.GetBitCount(), x.GetWidth()) * x.GetHeight();
  return std::memcmp(x.GetBits(), y.GetBits(), bytes) == 0;
}

TEST_F(Scrolling, TheBottomShowsTheLastRowWholeAndTheThumbReachesAnyRow) {
  CGridCtrl& g = dlg.gridA;
  const int rows = 10000;
  FillGrid(g, rows);
  CRect client, last;
  g.GetClientRect(&client);
  g.SendMessage(WM_VSCROLL, SB_BOTTOM);
  ASSERT_TRUE(g.GetCellBounds(rows - 1, 1, &last));
  EXPECT_LT(last.bottom, client.bottom) << "the last row whole";
  EXPECT_EQ(g.GetFullyVisibleRange().maxRow, rows - 1);

  const int position = g.GetScrollPosition(SB_VERT);
  const Capture before(g);
  g.SendMessage(WM_VSCROLL, SB_LINEDOWN);
  const Capture after(g);
  EXPECT_EQ(g.GetScrollPosition(SB_VERT), position);
  EXPECT_TRUE(SamePicture(before, after)) << "a line down on the last page moves no pixel";

  // The thumb dragged to where row 9,000 begins (far past 16 bits of pixels).
  g.SendMessage(WM_VSCROLL, SB_TOP);
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(::GetScrollBarInfo(g.m_hWnd, OBJID_VSCROLL, &bar));
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  g.GetScrollInfo(SB_VERT, &si);
  const int arrow = bar.xyThumbTop;  // at the top the thumb sits right below the arrow
  const int travel = bar.rcScrollBar.bottom - bar.rcScrollBar.top - 2 * arrow - (bar.xyThumbBottom - bar.xyThumbTop);
  const double top = (double)si.nMax - si.nPage + 1, wanted = (double)g.GetRowHeight(1) * (9000 - 1);
  const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
  const int y = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
  const int to = y + (int)(wanted / top * travel + 0.5);
  uitest::ModalDriver driver([&](uitest::ModalDriver& d) {  // the bar tracks the thumb in a loop of its own
    if (!d.WaitUntil("the bar takes the mouse", [&] { return d.CaptureWindow() != nullptr; })) return;
    uitest::MouseTo(x, (y + to) / 2);
    uitest::MouseTo(x, to);
    uitest::MouseButtonAt(x, to, false);
    d.WaitUntil("the bar lets go", [&] { return d.CaptureWindow() == nullptr; });
  });
  uitest::MouseTo(x, y);
  uitest::MouseButtonAt(x, y, true);
  ASSERT_EQ(driver.Finish(), "");
  const double rowsPerPixel = top / travel / g.GetRowHeight(1);
  EXPECT_NEAR(g.GetFirstScrolledCell().row, 9000, rowsPerPixel + 1);
}

// The wheel's rows a notch from "Control Panel\Desktop" WheelScrollLines, read when a grid is
// made: 3 rows; -1, which reads as 0xFFFFFFFF, a page; 4,000,000,000 to the end at once.
TEST_F(Scrolling, TheWheelScrollsAsTheUserSettingSays) {
  HKEY key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
            ERROR_SUCCESS);
  char saved[128] = {};
  DWORD savedSize = sizeof saved;
  const bool hadValue = ::RegQueryValueExA(key, "WheelScrollLines", nullptr, nullptr, (BYTE*)saved, &savedSize) == 0;
  struct Case {
    const char* setting;
    UINT lines;
  };
  for (const Case& c : {Case{"3", 3}, Case{"-1", 0xFFFFFFFF}, Case{"4000000000", 4000000000u}}) {
    SCOPED_TRACE(c.setting);
    ::RegSetValueExA(key, "WheelScrollLines", 0, REG_SZ, (const BYTE*)c.setting, (DWORD)std::strlen(c.setting) + 1);
    CGridCtrl grid;
    EXPECT_EQ(grid.GetWheelLines(), c.lines);
    CRect rect;
    dlg.gridA.GetWindowRect(&rect);
    dlg.ScreenToClient(&rect);
    dlg.gridA.ShowWindow(SW_HIDE);  // the new grid takes its place
    ASSERT_TRUE(grid.Create(rect, &dlg, 950));
    FillGrid(grid, 2000);
    grid.SetFocus();
    const POINT p = CellPoint(grid, 2, 2);
    uitest::MouseTo(p.x, p.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = (DWORD)-WHEEL_DELTA;  // a notch towards the user: down
    ::SendInput(1, &in, sizeof in);
    uitest::PumpUntil([&] { return grid.GetScrollPosition(SB_VERT) > 0; }, 3000);
    uitest::PumpPending();
    CRect client;
    grid.GetClientRect(&client);
    const int page = client.Height() - grid.GetFixedHeight();
    if (c.lines == 3) {
      EXPECT_EQ(grid.GetFirstScrolledCell().row, 4);
    } else if (c.lines == 0xFFFFFFFF) {
      EXPECT_EQ(grid.GetScrollPosition(SB_VERT), page);
    } else {
      EXPECT_EQ(grid.GetFullyVisibleRange().maxRow, 1999) << "the end";
    }
    grid.DestroyWindow();
  }
  if (hadValue)
    ::RegSetValueExA(key, "WheelScrollLines", 0, REG_SZ, (const BYTE*)saved, savedSize);
  else
    ::RegDeleteValueA(key, "WheelScrollLines");
  ::RegCloseKey(key);
}

// Rows 65,536 apart are different cells: all of them are copied, and all are cleared.
TEST_F(Scrolling, EveryCellOf70000RowsIsSelectedCopiedAndCleared) {
  CGridCtrl& g = dlg.gridA;
  const int rows = 70000;
  FillGrid(g, rows);
  ClickCell(g, 2, 2);
  PressWith(VK_CONTROL, 'A');
  EXPECT_EQ(g.GetSelectedCount(), (rows - 1) * (kGridCols - 1));
  PressWith(VK_CONTROL, 'C');
  std::string expected;
  for (int row = 1; row < rows; row++) {
    for (int col = 1; col < kGridCols; col++) {
      const std::string text = Text(g, row, col);
      expected += text.empty() ? " " : text;
      expected += col + 1 < kGridCols ? "\t" : row + 1 < rows ? "\n" : "";
    }
  }
  expected += '\0';
  const std::string copied = ClipboardText();
  EXPECT_EQ(copied.size(), expected.size());
  EXPECT_TRUE(copied == expected) << "every row, in order";

  NotADoubleClick();
  ClickCell(g, 4, 1);
  EXPECT_EQ(g.GetSelectedCount(), 1);
  int highlighted = 0;
  for (int row = 0; row < rows; row++)
    for (int col = 0; col < kGridCols; col++) highlighted += (g.GetCellState(row, col) & GCS_SELECTED) != 0;
  EXPECT_EQ(highlighted, 1);
  CRect cell;
  g.GetCellBounds(3, 3, &cell);
  EXPECT_EQ(Pixel(g, cell.right - 2, cell.top + 2), ::GetSysColor(COLOR_WINDOW));
}

}  // namespace
