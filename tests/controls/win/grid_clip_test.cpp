// The grid's text through the clipboard and by dragging between the grids, and its title tips.
#include "grid_fixture.h"
#include "uitest.h"

namespace {

using Exchange = GridTest;

template <size_t N>
std::string Bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}

TEST_F(Exchange, CtrlCCopiesAndCtrlVPastesIntoTheOtherGrid) {
  CGridCtrl &a = dlg.gridA, &b = *dlg.gridB;
  ClickCell(a, 2, 2);
  ClickWith(VK_CONTROL, a, 3, 4);
  PressWith(VK_CONTROL, 'C');
  EXPECT_EQ(ClipboardText(), Bytes("r2c2\t\t\n\t\tr3c4\0")) << "the cells between are empty fields";

  ClickCell(b, 5, 2);
  dlg.events.clear();
  PressWith(VK_CONTROL, 'V');
  EXPECT_EQ(Text(b, 5, 2), "r2c2");
  EXPECT_EQ(Text(b, 5, 3), "r5c3");
  EXPECT_EQ(Text(b, 6, 2), "r3c4") << "a run of separators counts as one";
  EXPECT_EQ(b.GetCellState(5, 2) & (GCS_MODIFIED | GCS_SELECTED), (UINT)GCS_MODIFIED) << "modified, deselected";
  EXPECT_EQ(dlg.Events(IDC_GRID_B, LVN_ENDLABELEDIT).size(), 2u);

  SetClipboardText("1,2\r\n3\t4");
  ClickCell(b, 7, 1);
  PressWith(VK_CONTROL, 'V');
  EXPECT_EQ(Text(b, 7, 1) + Text(b, 7, 2) + Text(b, 8, 1) + Text(b, 8, 2), "1234");
  EXPECT_TRUE(b.GetCellState(8, 2) & GCS_MODIFIED);
}

// A selection of A, (2, 2) and (2, 3), dragged by its first cell onto (8, 2) of a grid: moved,
// copied with Ctrl, refused by a read-only cell, and moved within A itself.
TEST_F(Exchange, DraggingMovesCopiesOrIsRefused) {
  CGridCtrl &a = dlg.gridA, &b = *dlg.gridB;
  struct Case {
    const char* what;
    CGridCtrl* target;
    bool ctrl, readOnly;
    const char *left, *dropped;  // A's dragged cells after, the target cells after
  };
  const Case cases[] = {
      {"to B", &b, false, false, "", "r2c2r2c3"},
      {"copied to B", &b, true, false, "r2c2r2c3", "r2c2r2c3"},
      {"onto a read-only cell", &b, false, true, "r2c2r2c3", "r8c2r8c3"},
      {"within A", &a, false, false, "", "r2c2r2c3"},
  };
  a.SetDragAndDrop(TRUE);
  b.SetDragAndDrop(TRUE);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FillGrid(a);
    FillGrid(b);
    c.target->SetCellState(8, 2, c.readOnly ? GCS_READONLY : 0);
    NotADoubleClick();
    ClickCell(a, 2, 2);
    ClickWith(VK_SHIFT, a, 2, 3);
    dlg.events.clear();
    const POINT from = CellPoint(a, 2, 2), to = CellPoint(*c.target, 8, 2);
    s_bPreTranslate = false;  // OLE's drag loop takes the messages itself
    uitest::ModalDriver driver([&](uitest::ModalDriver& d) {
      if (!d.WaitUntil("the drag takes the mouse", [&] { return d.CaptureWindow() && d.CaptureWindow() != a.m_hWnd; }))
        return;
      uitest::MouseTo(to.x - 4, to.y);
      uitest::MouseTo(to.x, to.y);
      if (c.ctrl) uitest::Key(VK_CONTROL, true);
      uitest::MouseButtonAt(to.x, to.y, false);
      d.WaitUntil("the drag ends", [&] { return d.CaptureWindow() == nullptr; });
      if (c.ctrl) uitest::Key(VK_CONTROL, false);
    });
    uitest::MouseTo(from.x, from.y);
    uitest::MouseButtonAt(from.x, from.y, true);
    uitest::MouseTo(from.x + 8, from.y + 3);  // the drag starts, and runs here
    ASSERT_EQ(driver.Finish(), "");
    s_bPreTranslate = true;
    EXPECT_EQ(Text(a, 2, 2) + Text(a, 2, 3), c.left);
    EXPECT_EQ(Text(*c.target, 8, 2) + Text(*c.target, 8, 3), c.dropped);
    EXPECT_EQ(dlg.Events(IDC_GRID_A, LVN_BEGINDRAG), std::vector<GridEvent>{Event(IDC_GRID_A, LVN_BEGINDRAG, 2, 2)});
  }
}

HWND ShownTip() {
  HWND tip = nullptr;
  while ((tip = ::FindWindowExA(nullptr, tip, "ZTitleTip", nullptr)) != nullptr)
    if (::IsWindowVisible(tip)) return tip;
  return nullptr;
}

TEST_F(Exchange, ATitleTipShowsClippedTextAndPassesItsClickOn) {
  CGridCtrl& g = dlg.gridA;
  const char* text = "a text too long for its cell";
  g.SetCellText(4, 2, text);
  POINT p = CellPoint(g, 4, 1);
  uitest::MouseTo(p.x, p.y);
  EXPECT_EQ(ShownTip(), nullptr) << "the text fits";

  p = CellPoint(g, 4, 2);
  uitest::MouseTo(p.x, p.y);
  HWND tip = ShownTip();
  ASSERT_NE(tip, nullptr);
  CRect rect;
  ::GetWindowRect(tip, &rect);
  const POINT corner = CellCorner(g, 4, 2, 0, 0);
  EXPECT_EQ(rect.TopLeft(), CPoint(corner));
  {
    CClientDC dc(CWnd::FromHandle(tip));
    CFont font;
    font.CreateFontIndirect(g.GetCellFont(4, 2));
    CFont* old = dc.SelectObject(&font);
    EXPECT_EQ(rect.Width(), dc.GetTextExtent(CString(" ") + text + " ").cx) << "the text between two blanks";
    dc.SelectObject(old);
  }

  ClickHere(p);
  EXPECT_EQ(g.GetFocusCell(), GridCellRef(4, 2)) << "the click reached the cell below";
}

}  // namespace
