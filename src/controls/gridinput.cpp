// The grid's mouse and keyboard: the mouse modes (selecting, sizing by a divider, editing on a
// release, starting a drag), auto-scrolling while a selection is dragged past an edge, the keys
// that move the focus cell, and in-place editing.
#include <algorithm>

#include "controls/gridctrl.h"
#include "controls/gridedit.h"

namespace {
bool KeyHeld(int vk) { return ::GetKeyState(vk) < 0; }
bool IsNavigationKey(UINT nChar) { return nChar == VK_TAB || (nChar >= VK_PRIOR && nChar <= VK_DOWN); }
}  // namespace

// ---- dividers and sizing

// The cell under a point inside the fixed rows (columns) whose edge is being grabbed, and its
// top-left corner.
// Within the grab distance of a column's (row's) edge inside the fixed rows (columns); the
// left (top) edge of the first one is no divider.
BOOL CGridCtrl::IsOverDivider(bool bColumn, CPoint point) const {
  if (bColumn ? point.y >= GetFixedHeight() : point.x >= GetFixedWidth()) return FALSE;
  const GridCellRef cell = CellFromPoint(point, TRUE);
  CPoint topLeft;
  if (!GetCellTopLeft(cell.row, cell.col, &topLeft)) return FALSE;
  const int offset = bColumn ? point.x - topLeft.x : point.y - topLeft.y;
  const int size = bColumn ? GetColumnWidth(cell.col) : GetRowHeight(cell.row);
  return (offset <= m_nDividerGrab && (bColumn ? cell.col : cell.row) != 0) || size - offset <= m_nDividerGrab;
}

BOOL CGridCtrl::IsOverColumnDivider(CPoint point) const { return IsOverDivider(true, point); }

BOOL CGridCtrl::IsOverRowDivider(CPoint point) const { return IsOverDivider(false, point); }

// The 2-pixel band that follows the pointer while a divider is dragged; a second call erases it.
void CGridCtrl::InvertBand(CPoint point) {
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  if (m_nMouseMode == MouseSizingColumn)
    dc.InvertRect(CRect(point.x, client.top, point.x + 2, client.bottom));
  else
    dc.InvertRect(CRect(client.left, point.y, client.right, point.y + 2));
}

void CGridCtrl::StartSizing(const GridCellRef& pressed, CPoint point) {
  const bool column = m_nMouseMode == MouseOverColumnDivider;
  m_nMouseMode = column ? MouseSizingColumn : MouseSizingRow;
  GridCellRef cell = column ? GridCellRef(0, pressed.col) : pressed;
  CPoint topLeft;
  if (!GetCellTopLeft(cell.row, cell.col, &topLeft)) return;
  InvertBand(point);
  if ((column ? point.x - topLeft.x : point.y - topLeft.y) <= m_nDividerGrab) {
    cell = column ? GridCellRef(0, cell.col - 1) : GridCellRef(cell.row - 1, 0);
    if (!GetCellTopLeft(cell.row, cell.col, &topLeft)) return;
  }
  m_cellButtonDown = column ? GridCellRef(pressed.row, cell.col) : GridCellRef(cell.row, pressed.col);
  CRect confine;
  GetClientRect(&confine);
  (column ? confine.left : confine.top) = column ? topLeft.x : topLeft.y;
  ClientToScreen(&confine);
  ::ClipCursor(&confine);
}

void CGridCtrl::EndSizing(CPoint point) {
  const bool column = m_nMouseMode == MouseSizingColumn;
  InvertBand(m_ptLastMouse);
  if (point == m_ptButtonDown) return;
  CPoint topLeft;
  const GridCellRef& cell = m_cellButtonDown;
  if (!GetCellTopLeft(column ? 0 : cell.row, column ? cell.col : 0, &topLeft)) return;
  if (column)
    SetColumnWidth(cell.col, point.x - topLeft.x);
  else
    SetRowHeight(cell.row, point.y - topLeft.y);
  UpdateScrollBars();
  Invalidate();
}

// ---- the mouse

void CGridCtrl::StartSelecting(UINT nFlags) {
  m_keptCells.Clear();
  if (nFlags & MK_CONTROL) {
    GridCellRef key, cell;
    for (POSITION pos = m_selectedCells.GetStartPosition(); pos;) {
      m_selectedCells.GetNextAssoc(pos, key, cell);
      m_keptCells.Add(cell);
    }
  }
  const GridCellRef& pressed = m_cellButtonDown;
  if (pressed.row < m_nFixedRowCount) {
    FixedRowClicked(pressed);
  } else if (pressed.col >= m_nFixedColCount) {
    m_nMouseMode = m_bListStyle ? MouseSelectRows : MouseSelectCells;
    ExtendSelection(pressed);
  } else {
    FixedColumnClicked(pressed);
  }
  m_nScrollTimer = SetTimer(GRID_SCROLL_TIMER, m_nScrollInterval);
}

void CGridCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
  const bool hadFocus = ::GetFocus() == m_hWnd;
  m_ptButtonDown = point;
  m_cellButtonDown = CellFromPoint(point, TRUE);
  if (!IsValidCell(m_cellButtonDown)) return;
  m_cellAnchor = (nFlags & MK_SHIFT) ? m_cellFocus : m_cellButtonDown;
  SetFocus();
  if (m_cellButtonDown == m_cellFocus) {
    m_nMouseMode = MouseEditPending;
    return;
  }
  if (m_nMouseMode != MouseOverColumnDivider && m_nMouseMode != MouseOverRowDivider) {
    MoveFocus(-1, -1);
    MoveFocus(std::max(m_cellButtonDown.row, m_nFixedRowCount), std::max(m_cellButtonDown.col, m_nFixedColCount));
  }
  if (m_bDragDrop && hadFocus && (GetCellState(m_cellButtonDown.row, m_cellButtonDown.col) & GCS_SELECTED)) {
    m_nMouseMode = MouseDragPending;
    return;
  }
  SetCapture();
  if (m_nMouseMode == MouseIdle) {
    if (m_bColSizing && IsOverColumnDivider(point)) {
      ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
      m_nMouseMode = MouseOverColumnDivider;
    } else if (m_bRowSizing && IsOverRowDivider(point)) {
      ::SetCursor(::LoadCursorA(nullptr, IDC_SIZENS));
      m_nMouseMode = MouseOverRowDivider;
    }
  }
  if (m_nMouseMode == MouseOverColumnDivider || m_nMouseMode == MouseOverRowDivider)
    StartSizing(m_cellButtonDown, point);
  else
    StartSelecting(nFlags);
  m_ptLastMouse = point;
}

void CGridCtrl::MouseMoveWithButton(CPoint point) {
  switch (m_nMouseMode) {
    case MouseSelectColumns:
    case MouseSelectRows:
    case MouseSelectCells: {
      const GridCellRef cell = CellFromPoint(point, TRUE);
      if (!IsValidCell(cell) || cell == m_cellFocus) break;
      ExtendSelection(cell);
      if (cell.row >= m_nFixedRowCount && cell.col >= m_nFixedColCount) MoveFocus(cell.row, cell.col);
      break;
    }
    case MouseSizingRow:
    case MouseSizingColumn:
      InvertBand(m_ptLastMouse);
      InvertBand(point);
      break;
    case MouseDragPending:
      StartDrag();
      break;
    default:
      break;
  }
}

void CGridCtrl::ShowTitleTip(CPoint point) {
  const GridCellRef cell = CellFromPoint(point, TRUE);
  CRect text, bounds;
  if (!GetTextBounds(cell.row, cell.col, &text) || !GetCellBounds(cell.row, cell.col, &bounds)) return;
  bounds.right++;  // the tip stays while the pointer is anywhere in the cell, its last pixels too
  bounds.bottom++;
  m_titleTip.ShowTip(&text, GetCellText(cell.row, cell.col), 0, &bounds, GetCellFont(cell.row, cell.col));
}

void CGridCtrl::MouseMoveIdle(CPoint point) {
  if (m_bColSizing && IsOverColumnDivider(point)) {
    if (m_nMouseMode != MouseOverColumnDivider) {
      ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
      m_nMouseMode = MouseOverColumnDivider;
    }
    return;
  }
  if (m_bRowSizing && IsOverRowDivider(point)) {
    if (m_nMouseMode != MouseOverRowDivider) {
      ::SetCursor(::LoadCursorA(nullptr, IDC_SIZENS));
      m_nMouseMode = MouseOverRowDivider;
    }
    return;
  }
  if (m_nMouseMode != MouseIdle) {
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    m_nMouseMode = MouseIdle;
  }
  if (m_bShowTitleTips) ShowTitleTip(point);
}

void CGridCtrl::OnMouseMove(UINT nFlags, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (m_nMouseMode != MouseDragging && !client.PtInRect(point)) return;
  if ((nFlags & MK_LBUTTON) && m_nMouseMode != MouseIdle) {
    if (IsValidCell(m_cellButtonDown)) MouseMoveWithButton(point);
  } else {
    MouseMoveIdle(point);
  }
  m_ptLastMouse = point;
}

void CGridCtrl::OnLButtonUp(UINT, CPoint point) {
  Default();
  ::ClipCursor(nullptr);
  if (::GetCapture() == m_hWnd) {
    m_bReleasingCapture = TRUE;
    ::ReleaseCapture();
    m_bReleasingCapture = FALSE;
    KillTimer(m_nScrollTimer);
    m_nScrollTimer = 0;
  }
  switch (m_nMouseMode) {
    case MouseEditPending:
      StartCellEdit(m_cellFocus.row, m_cellFocus.col, VK_LBUTTON);
      break;
    case MouseDragPending:
      ClearSelection();
      break;
    case MouseSizingColumn:
    case MouseSizingRow:
      EndSizing(point);
      break;
    default:
      break;
  }
  m_nMouseMode = MouseIdle;
  ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
  CWnd* owner = GetOwner();
  if (IsValidCell(m_cellButtonDown) && owner && owner->IsWindow())
    owner->PostMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), (LPARAM)m_hWnd);
}

void CGridCtrl::OnLButtonDblClk(UINT nFlags, CPoint point) {
  const bool column = m_nMouseMode == MouseOverColumnDivider;
  if (column || m_nMouseMode == MouseOverRowDivider) {
    const GridCellRef cell = CellFromPoint(point, TRUE);
    CPoint topLeft;
    if (!GetCellTopLeft(column ? 0 : cell.row, column ? cell.col : 0, &topLeft)) return;
    const bool before = (column ? point.x - topLeft.x : point.y - topLeft.y) <= m_nDividerGrab;
    if (column)
      FitColumn(before ? cell.col - 1 : cell.col);
    else
      FitRow(before ? cell.row - 1 : cell.row);
    Invalidate();
  } else if (m_nMouseMode == MouseIdle) {
    if (IsValidCell(m_cellButtonDown) && m_cellButtonDown.row >= m_nFixedRowCount &&
        m_cellButtonDown.col >= m_nFixedColCount) {
      StartCellEdit(m_cellFocus.row, m_cellFocus.col, VK_LBUTTON);
    } else if (m_bListStyle) {
      const GridCellRef cell = CellFromPoint(point, TRUE);
      if (!IsValidCell(cell)) return;
      if (cell.row >= m_nFixedRowCount && cell.col < m_nFixedColCount) StartCellEdit(cell.row, cell.col, VK_LBUTTON);
      CWnd* owner = GetOwner();
      if (m_bDblClickNotify && owner && owner->IsWindow()) owner->SendMessage(WM_GRID_DBLCLICK);
    }
  }
  CWnd::OnLButtonDblClk(nFlags, point);
}

void CGridCtrl::OnTimer(UINT_PTR nIDEvent) {
  POINT cursor;
  if (nIDEvent != GRID_SCROLL_TIMER || !::GetCursorPos(&cursor)) return;
  ScreenToClient(&cursor);
  CRect client;
  GetClientRect(&client);
  const int x = std::max((int)client.left, std::min((int)cursor.x, (int)client.right));
  const int y = std::max((int)client.top, std::min((int)cursor.y, (int)client.bottom));
  if (cursor.y > client.bottom) {
    SendMessage(WM_KEYDOWN, VK_DOWN);
    ExtendSelection(CellFromPoint(CPoint(x, client.bottom), TRUE));
  } else if (cursor.y < GetFixedHeight()) {
    SendMessage(WM_KEYDOWN, VK_UP);
    ExtendSelection(CellFromPoint(CPoint(x, GetFixedHeight() + 1), TRUE));
  }
  if (cursor.x > client.right) {
    SendMessage(WM_KEYDOWN, VK_RIGHT);
    ExtendSelection(CellFromPoint(CPoint(client.right, y), TRUE));
  } else if (cursor.x < GetFixedWidth()) {
    SendMessage(WM_KEYDOWN, VK_LEFT);
    ExtendSelection(CellFromPoint(CPoint(GetFixedWidth() + 1, y), TRUE));
  }
}

BOOL CGridCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (nHitTest != HTCLIENT) return CWnd::OnSetCursor(pWnd, nHitTest, message);
  if (m_nMouseMode == MouseOverRowDivider)
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZENS));
  else if (m_nMouseMode == MouseOverColumnDivider)
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
  else if (m_nMouseMode != MouseDragging)
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
  return TRUE;
}

// A capture lost to another window (a box, a popup, a drag) ends what it held: the auto-scroll,
// a drag, and a divider being dragged, whose band is erased and whose cursor confinement ends.
void CGridCtrl::OnCaptureChanged(CWnd* pWnd) {
  if (pWnd == this || m_bReleasingCapture) return;
  if (m_nScrollTimer) {
    KillTimer(m_nScrollTimer);
    m_nScrollTimer = 0;
  }
  if (m_nMouseMode == MouseSizingColumn || m_nMouseMode == MouseSizingRow) {
    ::ClipCursor(nullptr);
    InvertBand(m_ptLastMouse);
    m_nMouseMode = MouseIdle;
  } else if (m_nMouseMode == MouseDragging) {
    m_nMouseMode = MouseIdle;
  }
}

// ---- the keyboard

// The next focus cell for a key of the key map; false for keys outside it (and Tab at either
// end of the grid), which get default handling.
bool CGridCtrl::NextCellForKey(UINT nChar, bool bShift, GridCellRef* pNext, bool* pLineChange) {
  GridCellRef& next = *pNext;
  const int lastRow = m_nRowCount - 1, lastCol = m_nColCount - 1;
  switch (nChar) {
    case VK_TAB:
      if (!bShift && next.col < lastCol) {
        next.col++;
      } else if (!bShift && next.row < lastRow) {
        next = GridCellRef(next.row + 1, m_nFixedColCount);
        *pLineChange = true;
      } else if (bShift && next.col > m_nFixedColCount) {
        next.col--;
      } else if (bShift && next.row > m_nFixedRowCount) {
        next = GridCellRef(next.row - 1, lastCol);
        *pLineChange = true;
      } else {
        return false;
      }
      return true;
    case VK_PRIOR:
    case VK_NEXT:
      next = PageMove(nChar, next);
      return true;
    case VK_END:
      SendMessage(WM_VSCROLL, SB_BOTTOM);
      next.row = lastRow;
      return true;
    case VK_HOME:
      SendMessage(WM_VSCROLL, SB_TOP);
      next.row = m_nFixedRowCount;
      return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
      // One step, never into the fixed cells nor past the last.
      const int dRow = nChar == VK_UP ? -1 : nChar == VK_DOWN ? 1 : 0;
      const int dCol = nChar == VK_LEFT ? -1 : nChar == VK_RIGHT ? 1 : 0;
      next.row = std::max(m_nFixedRowCount, std::min(lastRow, next.row + dRow));
      next.col = std::max(m_nFixedColCount, std::min(lastCol, next.col + dCol));
      return true;
    }
    case VK_DELETE:
      DeleteFocusText();
      return true;
    default:
      return false;
  }
}

// Page Up and Page Down scroll a page, and the focus row follows by as many rows as the view
// moved (to the first or last row when it did not move).
GridCellRef CGridCtrl::PageMove(UINT nChar, GridCellRef next) {
  const int before = GetFirstScrolledCell().row;
  SendMessage(WM_VSCROLL, nChar == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN);
  const int moved = GetFirstScrolledCell().row - before;
  if (nChar == VK_PRIOR)
    next.row = moved < 0 ? std::max(m_nFixedRowCount, next.row + moved) : m_nFixedRowCount;
  else
    next.row = moved > 0 ? std::min(m_nRowCount - 1, next.row + moved) : m_nRowCount - 1;
  return next;
}

void CGridCtrl::ScrollForKey(UINT nChar, bool bShift, bool bLineChange) {
  if (nChar == VK_TAB && !bShift) {
    if (!bLineChange) {
      SendMessage(WM_HSCROLL, SB_LINERIGHT);
    } else {
      SendMessage(WM_VSCROLL, SB_LINEDOWN);
      SetScrollPosition(SB_HORZ, 0);
    }
  } else if (nChar == VK_TAB) {
    if (!bLineChange) {
      SendMessage(WM_HSCROLL, SB_LINELEFT);
    } else {
      SendMessage(WM_VSCROLL, SB_LINEUP);
      SetScrollPosition(SB_HORZ, m_nHScrollLimit);
    }
  } else if (nChar == VK_LEFT || nChar == VK_RIGHT) {
    SendMessage(WM_HSCROLL, nChar == VK_LEFT ? SB_LINELEFT : SB_LINERIGHT);
  } else if (nChar == VK_UP || nChar == VK_DOWN) {
    SendMessage(WM_VSCROLL, nChar == VK_UP ? SB_LINEUP : SB_LINEDOWN);
  }
  Invalidate();
}

// A plain move (or Tab) selects the new cell alone; a Shift-move the block from the anchor.
void CGridCtrl::SelectWithKeys(const GridCellRef& next, bool bKeepAnchor) {
  m_keptCells.Clear();
  m_nMouseMode = m_bListStyle ? MouseSelectRows : MouseSelectCells;
  if (!bKeepAnchor) m_cellAnchor = next;
  ExtendSelection(next);
  m_nMouseMode = MouseIdle;
}

void CGridCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (!IsValidCell(m_cellFocus)) {
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    return;
  }
  const bool shift = KeyHeld(VK_SHIFT);
  if (KeyHeld(VK_CONTROL) && nChar >= 'A' && nChar <= 'X') {
    if (nChar == 'A') DoSelectAll();
    if (nChar == 'C') DoCopy();
    if (nChar == 'V') DoPaste();
    if (nChar == 'X') DoCut();
    return;
  }
  GridCellRef next = m_cellFocus;
  bool lineChange = false;
  if (!NextCellForKey(nChar, shift, &next, &lineChange)) {
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    return;
  }
  if (next == m_cellFocus) return;
  if (m_nMouseMode == MouseIdle) SelectWithKeys(next, shift && nChar != VK_TAB);
  MoveFocus(next.row, next.col);
  if (!IsCellShown(next.row, next.col)) {
    ScrollIntoView(next.row, next.col);
    ScrollForKey(nChar, shift, lineChange);
  }
}

void CGridCtrl::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (!KeyHeld(VK_CONTROL) && m_nMouseMode == MouseIdle && !(nChar == VK_TAB && m_bWantTab))
    StartCellEdit(m_cellFocus.row, m_cellFocus.col, nChar);
  CWnd::OnChar(nChar, nRepCnt, nFlags);
}

UINT CGridCtrl::OnGetDlgCode() {
  UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (m_bWantTab && !KeyHeld(VK_CONTROL)) code |= DLGC_WANTTAB;
  return code;
}

// ---- editing

// A text changed by the user (Delete, cut, paste, a drop): the owner hears of it before and
// after, and the cell is marked modified.
void CGridCtrl::ChangeText(int nRow, int nCol, LPCTSTR lpszText) {
  NotifyOwner(nRow, nCol, LVN_BEGINLABELEDIT);
  if (lpszText)
    SetCellText(nRow, nCol, lpszText);
  else
    ClearCell(GetCell(nRow, nCol), nRow, nCol);
  MarkModified(TRUE, nRow, nCol);
  NotifyOwner(nRow, nCol, LVN_ENDLABELEDIT);
}

void CGridCtrl::DeleteFocusText() {
  if (!CanEditCell(m_cellFocus.row, m_cellFocus.col)) return;
  ChangeText(m_cellFocus.row, m_cellFocus.col, "");
  RepaintCell(m_cellFocus.row, m_cellFocus.col);
}

void CGridCtrl::StartCellEdit(int nRow, int nCol, UINT nChar) {
  ScrollIntoView(nRow, nCol);
  CRect rect;
  if (!IsValidCell(nRow, nCol) || !CanEditCell(nRow, nCol) || !IsCellShown(nRow, nCol) ||
      !GetCellBounds(nRow, nCol, &rect))
    return;
  NotifyOwner(nRow, nCol, LVN_BEGINLABELEDIT);
  GridCellItem item;
  item.row = nRow;
  item.col = nCol;
  item.mask = GCI_TEXT | GCI_FORMAT;
  ReadCell(item);
  const DWORD style = (item.format & DT_RIGHT) ? ES_RIGHT : (item.format & DT_CENTER) ? ES_CENTER : ES_LEFT;
  MakeInPlaceEditor(rect, style, IDC_GRID_INPLACEEDIT, nRow, nCol, item.text, nChar);
}

void CGridCtrl::MakeInPlaceEditor(const CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nCol, LPCTSTR lpszText,
                                  UINT nChar) {
  auto* editor = new CGridInPlaceEdit(this, rect, dwStyle, nID, nRow, nCol, lpszText, nChar);
  if (!editor->m_hWnd) delete editor;  // no window: nothing will end it
}

void CGridCtrl::CommitEdit(int nRow, int nCol, LPCTSTR lpszText) {
  if (GetCellText(nRow, nCol).Compare(lpszText) == 0) return;
  MarkModified(TRUE, nRow, nCol);
  SetCellText(nRow, nCol, lpszText);
}

void CGridCtrl::OnEndInPlaceEdit(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  if (!IsWindow()) return;
  const GridCellItem& item = reinterpret_cast<GridEditNotify*>(pNMHDR)->item;
  const int row = item.row, col = item.col;
  const UINT key = (UINT)item.lParam;
  CommitEdit(row, col, item.text);
  InvalidateCell(GridCellRef(row, col));
  NotifyOwner(row, col, LVN_ENDLABELEDIT);
  if (!IsNavigationKey(key)) return;
  SendMessage(WM_KEYDOWN, key);
  StartCellEdit(m_cellFocus.row, m_cellFocus.col, key);
}
