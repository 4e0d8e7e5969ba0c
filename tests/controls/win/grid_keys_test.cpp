// The grid's keys and in-place editing: the key map that moves the focus cell (and the
// selection with it), Delete, editing started by typing or by a click and ended by Enter,
// Escape or an arrow, and sorting by a heading in list style.
#include <algorithm>

#include "grid_fixture.h"
#include "uitest.h"

namespace {

using Keys = GridTest;

TEST_F(Keys, TheKeyMapMovesTheFocusCellAndSelectsIt) {
  CGridCtrl& g = dlg.gridA;
  const int last = kGridRows - 1, lastCol = kGridCols - 1;
  struct Case {
    WORD modifier, key;
    GridCellRef from, to;
  };
  const Case cases[] = {
      {0, VK_RIGHT, {2, 2}, {2, 3}},     {0, VK_LEFT, {2, 1}, {2, 1}},
      {0, VK_UP, {1, 2}, {1, 2}},        {0, VK_DOWN, {2, 2}, {3, 2}},
      {0, VK_DOWN, {last, 2}, {last, 2}}, {0, VK_HOME, {9, 2}, {1, 2}},
      {0, VK_END, {2, 2}, {last, 2}},    {0, VK_TAB, {2, lastCol}, {3, 1}},
      {0, VK_TAB, {last, lastCol}, {last, lastCol}}, {VK_SHIFT, VK_TAB, {3, 1}, {2, lastCol}},
      {VK_SHIFT, VK_TAB, {1, 1}, {1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.key << " from " << c.from.row << "," << c.from.col);
    g.SendMessage(WM_VSCROLL, SB_TOP);
    g.MoveFocus(c.from.row, c.from.col);
    dlg.events.clear();
    c.modifier ? PressWith(c.modifier, c.key) : Press(c.key);
    EXPECT_EQ(g.GetFocusCell(), c.to);
    if (c.to == c.from) {
      EXPECT_TRUE(dlg.events.empty());
      continue;
    }
    EXPECT_TRUE(g.IsCellShown(c.to.row, c.to.col)) << "scrolled into view";
    EXPECT_EQ(dlg.events, (std::vector<GridEvent>{Event(IDC_GRID_A, LVN_ITEMCHANGING, c.from.row, c.from.col),
                                                  Event(IDC_GRID_A, LVN_ITEMCHANGED, c.to.row, c.to.col)}));
    EXPECT_EQ(g.GetSelectedCount(), 1) << "a plain move selects the new cell alone";
  }
  g.SendMessage(WM_VSCROLL, SB_TOP);
  g.MoveFocus(2, 2);
  Press(VK_NEXT);
  const int moved = g.GetFirstScrolledCell().row - 1;
  EXPECT_GT(moved, 0);
  EXPECT_EQ(g.GetFocusCell(), GridCellRef(2 + moved, 2)) << "Page Down follows the view";
  PressWith(VK_SHIFT, VK_UP);
  EXPECT_EQ(g.GetSelectedCount(), 2) << "Shift extends from the anchor";
}

TEST_F(Keys, DeleteEmptiesAnEditableCellOnly) {
  CGridCtrl& g = dlg.gridA;
  g.SetCellState(4, 4, GCS_READONLY);
  g.MoveFocus(4, 4);
  dlg.events.clear();
  Press(VK_DELETE);
  EXPECT_EQ(Text(g, 4, 4), "r4c4");
  EXPECT_TRUE(dlg.events.empty());
  g.MoveFocus(4, 3);
  dlg.events.clear();
  Press(VK_DELETE);
  EXPECT_EQ(Text(g, 4, 3), "");
  EXPECT_TRUE(g.GetCellState(4, 3) & GCS_MODIFIED);
  EXPECT_TRUE(g.IsModified());
  EXPECT_EQ(dlg.events, (std::vector<GridEvent>{Event(IDC_GRID_A, LVN_BEGINLABELEDIT, 4, 3),
                                                Event(IDC_GRID_A, LVN_ENDLABELEDIT, 4, 3)}));
  EXPECT_EQ(g.GetFocusCell(), GridCellRef(4, 3));
  g.MarkModified(FALSE, 0, 5);  // row 0 is no cell: every mark goes
  EXPECT_FALSE(g.IsModified());
  EXPECT_FALSE(g.GetCellState(4, 3) & GCS_MODIFIED);
}

TEST_F(Keys, TypingEditsTheCellAndEnterCommitsIt) {
  CGridCtrl& g = dlg.gridA;
  ClickCell(g, 2, 2);
  dlg.events.clear();
  Type("xy");
  ASSERT_NE(Editor(g), nullptr);
  Type("zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz");
  CRect editor, client, cell;
  ::GetWindowRect(Editor(g), &editor);
  g.GetClientRect(&client);
  g.GetCellBounds(2, 2, &cell);
  EXPECT_GT(editor.Width(), cell.Width()) << "widened while typing";
  EXPECT_LE(editor.Width(), client.Width() - cell.left) << "to the grid's edge at most";
  Press(VK_RETURN);
  EXPECT_EQ(Text(g, 2, 2), "xyzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz");
  EXPECT_TRUE(g.GetCellState(2, 2) & GCS_MODIFIED);
  EXPECT_EQ(Editor(g), nullptr);
  EXPECT_TRUE(dlg.IsWindowVisible()) << "Enter went to the editor, not to the dialog's button";
  EXPECT_EQ(dlg.Events(IDC_GRID_A, LVN_BEGINLABELEDIT).size(), 1u);
  EXPECT_EQ(dlg.Events(IDC_GRID_A, LVN_ENDLABELEDIT), std::vector<GridEvent>{Event(IDC_GRID_A, LVN_ENDLABELEDIT, 2, 2)});
}

TEST_F(Keys, AnEditorStartedByAClickKeepsItsArrowsAndEscapeRestoresTheText) {
  CGridCtrl& g = dlg.gridA;
  ClickCell(g, 5, 3);
  NotADoubleClick();
  ClickCell(g, 5, 3);  // a press on the focus cell edits at the release
  ASSERT_NE(Editor(g), nullptr);
  Press(VK_LEFT);
  ASSERT_NE(Editor(g), nullptr) << "the arrow moved the caret";
  Type("zz");
  PressWith(VK_MENU, 'K');  // the dialog's button has the mnemonic K
  EXPECT_TRUE(dlg.IsWindowVisible()) << "Alt+K stayed in the editor";
  ASSERT_NE(Editor(g), nullptr);
  Press(VK_ESCAPE);
  EXPECT_EQ(Editor(g), nullptr);
  EXPECT_EQ(Text(g, 5, 3), "r5c3");
  EXPECT_FALSE(g.GetCellState(5, 3) & GCS_MODIFIED);
  EXPECT_TRUE(dlg.IsWindowVisible());
}

TEST_F(Keys, AnArrowEndingAnEditorMovesOnAndEditsTheNextCell) {
  CGridCtrl& g = dlg.gridA;
  ClickCell(g, 6, 1);
  Type("q");
  Press(VK_DOWN);
  EXPECT_EQ(Text(g, 6, 1), "q");
  EXPECT_EQ(g.GetFocusCell(), GridCellRef(7, 1));
  HWND editor = Editor(g);
  ASSERT_NE(editor, nullptr) << "editing moved on";
  CRect rect, cell;
  ::GetWindowRect(editor, &rect);
  g.ScreenToClient(&rect);
  g.GetCellBounds(7, 1, &cell);
  EXPECT_EQ(rect.TopLeft(), cell.TopLeft());
  Press(VK_ESCAPE);
}

// Each click on a heading in list style sorts the body rows by its column, in byte order (the
// Korean texts after the Latin ones), whole rows, the second click the other way round.
TEST_F(Keys, ListStyleSortsByAHeadingAndAgainTheOtherWay) {
  CGridCtrl& g = *dlg.gridB;
  g.SetListMode(TRUE);
  for (int round = 0; round < 2; round++) {
    if (round) NotADoubleClick();
    ClickCell(g, 0, 2);
    std::vector<std::string> column;
    for (int row = 1; row < kGridRows; row++) {
      column.push_back(Text(g, row, 2));
      const std::string head = Text(g, row, 0);
      EXPECT_EQ(Text(g, row, 1), head + "c1") << "rows move whole";
    }
    std::vector<std::string> sorted = column;
    std::sort(sorted.begin(), sorted.end());
    if (round) std::reverse(sorted.begin(), sorted.end());
    EXPECT_EQ(column, sorted) << "round " << round;
    EXPECT_EQ(round ? column.front() : column.back(), "한글5");
    EXPECT_EQ(Text(g, 0, 2), "c2") << "the headings stay";
  }
}

}  // namespace
