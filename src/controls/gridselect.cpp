// The grid's focus cell and selection. Every selected cell has GCS_SELECTED and an entry in the
// selected-cell map; cells kept from before a Ctrl-press stay selected while a new block is
// chosen from the anchor cell.
#include <algorithm>
#include <vector>

#include "controls/gridctrl.h"

namespace {

// The cells of a map in row order (the cells' own storage is visited in order then).
std::vector<GridCellRef> CellsOf(const CGridCellMap& map) {
  std::vector<GridCellRef> cells;
  cells.reserve((size_t)map.GetCount());
  GridCellRef key, value;
  for (POSITION pos = map.GetStartPosition(); pos;) {
    map.GetNextAssoc(pos, key, value);
    cells.push_back(value);
  }
  std::sort(cells.begin(), cells.end(),
            [](const GridCellRef& a, const GridCellRef& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
  return cells;
}

bool Inside(const GridCellRange& r, const GridCellRef& cell) {
  return cell.row >= r.minRow && cell.row <= r.maxRow && cell.col >= r.minCol && cell.col <= r.maxCol;
}

}  // namespace

void CGridCtrl::RepaintFixedOf(const GridCellRef& cell, bool bRowChanged, bool bColChanged) {
  if (bColChanged)
    for (int row = 0; row < m_nFixedRowCount; row++) RepaintCell(row, cell.col);
  if (bRowChanged)
    for (int col = 0; col < m_nFixedColCount; col++) RepaintCell(cell.row, col);
}

GridCellRef CGridCtrl::MoveFocus(int nRow, int nCol) {
  const GridCellRef previous = m_cellFocus, next(nRow, nCol);
  if (previous == next) return previous;
  m_cellFocus = next;
  if (IsValidCell(previous)) {
    NotifyOwner(previous.row, previous.col, LVN_ITEMCHANGING);
    SetCellState(previous.row, previous.col, GetCellState(previous.row, previous.col) & ~GCS_FOCUSED);
    RepaintCell(previous.row, previous.col);
    RepaintFixedOf(previous, previous.row != nRow, previous.col != nCol);
  }
  if (IsValidCell(next)) {
    SetCellState(nRow, nCol, GetCellState(nRow, nCol) | GCS_FOCUSED);
    RepaintCell(nRow, nCol);
    RepaintFixedOf(next, previous.row != nRow, previous.col != nCol);
    NotifyOwner(nRow, nCol, LVN_ITEMCHANGED);
  }
  return previous;
}

// Sets a cell's state and shows it: at once through the DC, else by invalidating the cell. A
// cell outside the rows and columns on the screen (shown) has nothing to show.
void CGridCtrl::ApplyCellState(const GridCellRef& cell, UINT nState, CDC* pDC, BOOL bDrawNow,
                               const GridCellRange& shown) {
  SetCellState(cell.row, cell.col, nState);
  const bool rowShown = cell.row < m_nFixedRowCount || (cell.row >= shown.minRow && cell.row <= shown.maxRow);
  const bool colShown = cell.col < m_nFixedColCount || (cell.col >= shown.minCol && cell.col <= shown.maxCol);
  if (!rowShown || !colShown) return;
  if (pDC && bDrawNow)
    RepaintCell(cell.row, cell.col, pDC);
  else
    InvalidateCell(cell);
}

void CGridCtrl::SelectRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, BOOL bDrawNow) {
  if (!m_bSelectable) return;
  CDC* pDC = bDrawNow && m_hWnd ? GetDC() : nullptr;
  const GridCellRange block{nMinRow, nMinCol, nMaxRow, nMaxCol};
  const GridCellRange shown = GetVisibleRange();
  for (const GridCellRef& cell : CellsOf(m_selectedCells)) {
    if (!IsValidCell(cell)) continue;
    const UINT state = GetCellState(cell.row, cell.col) & ~GCS_SELECTED;
    if (Inside(block, cell))
      SetCellState(cell.row, cell.col, state);
    else
      ApplyCellState(cell, state, pDC, bDrawNow, shown);
  }
  if (!m_bSingleRowSelect)
    for (const GridCellRef& cell : CellsOf(m_keptCells))
      if (IsValidCell(cell)) ApplyCellState(cell, GetCellState(cell.row, cell.col) | GCS_SELECTED, pDC, bDrawNow, shown);
  if (IsValidRange(block)) {
    for (int row = nMinRow; row <= nMaxRow; row++)
      for (int col = nMinCol; col <= nMaxCol; col++) {
        const UINT state = GetCellState(row, col);
        if (!(state & GCS_SELECTED)) ApplyCellState(GridCellRef(row, col), state | GCS_SELECTED, pDC, bDrawNow, shown);
      }
  }
  if (pDC) ReleaseDC(pDC);
}

void CGridCtrl::SelectAll() {
  if (!m_bSelectable) return;
  SelectRange(m_nFixedRowCount, m_nFixedColCount, m_nRowCount - 1, m_nColCount - 1);
}

void CGridCtrl::SelectColumnSpan(const GridCellRef& cell) {
  if (!m_bSelectable || !IsValidCell(cell) || cell.col < m_nFixedColCount) return;
  SelectRange(m_nFixedRowCount, std::min(m_cellAnchor.col, cell.col), m_nRowCount - 1,
              std::max(m_cellAnchor.col, cell.col));
}

void CGridCtrl::SelectRowSpan(const GridCellRef& cell) {
  if (!m_bSelectable || !IsValidCell(cell) || cell.row < m_nFixedRowCount) return;
  if (m_bListStyle && m_bSingleRowSelect)
    SelectRange(cell.row, m_nFixedColCount, cell.row, m_nColCount - 1);
  else
    SelectRange(std::min(m_cellAnchor.row, cell.row), m_nFixedColCount, std::max(m_cellAnchor.row, cell.row),
                m_nColCount - 1);
}

void CGridCtrl::SelectCellSpan(const GridCellRef& cell) {
  if (!m_bSelectable || !IsValidCell(cell) || cell.row < m_nFixedRowCount || cell.col < m_nFixedColCount) return;
  SelectRange(std::min(m_cellAnchor.row, cell.row), std::min(m_cellAnchor.col, cell.col),
              std::max(m_cellAnchor.row, cell.row), std::max(m_cellAnchor.col, cell.col));
}

void CGridCtrl::ExtendSelection(const GridCellRef& cell) {
  switch (m_nMouseMode) {
    case MouseSelectAll:
      SelectAll();
      break;
    case MouseSelectColumns:
      SelectColumnSpan(cell);
      break;
    case MouseSelectRows:
      SelectRowSpan(cell);
      break;
    case MouseSelectCells:
      SelectCellSpan(cell);
      break;
    default:
      break;
  }
}

void CGridCtrl::ClearSelection() {
  SelectRange(-1, -1, -1, -1);
  MoveFocus(-1, -1);
}

GridCellRange CGridCtrl::GetSelectionBounds() const {
  GridCellRange bounds{m_nRowCount, m_nColCount, -1, -1};
  GridCellRef key, cell;
  for (POSITION pos = m_selectedCells.GetStartPosition(); pos;) {
    m_selectedCells.GetNextAssoc(pos, key, cell);
    bounds.minRow = std::min(bounds.minRow, cell.row);
    bounds.minCol = std::min(bounds.minCol, cell.col);
    bounds.maxRow = std::max(bounds.maxRow, cell.row);
    bounds.maxCol = std::max(bounds.maxCol, cell.col);
  }
  return bounds;
}

void CGridCtrl::FixedRowClicked(const GridCellRef& cell) {
  if (!IsValidCell(cell)) return;
  if (!m_bListStyle) {
    m_nMouseMode = cell.col >= m_nFixedColCount ? MouseSelectColumns : MouseSelectAll;
    ExtendSelection(cell);
    return;
  }
  if (!m_bHeaderSort) return;
  CWaitCursor wait;
  if (cell.col != m_nSortColumn) {
    m_nSortColumn = cell.col;
    m_bSortUp = TRUE;
  } else {
    m_bSortUp = !m_bSortUp;
  }
  SortByColumn(cell.col, m_bSortUp);
  Invalidate();
}

void CGridCtrl::FixedColumnClicked(const GridCellRef& cell) {
  if (!IsValidCell(cell)) return;
  m_nMouseMode = cell.row < m_nFixedRowCount ? MouseSelectAll : MouseSelectRows;
  ExtendSelection(cell);
}
