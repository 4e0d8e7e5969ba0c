// The grid's geometry: rows and columns placed in client pixels and found again, visibility, the
// scroll bars and scrolling. Scroll positions are pixel offsets into the non-fixed area, read and
// written through SCROLLINFO (32 bits); the first row and column shown are found from them.
#include <algorithm>
#include <climits>

#include "controls/gridctrl.h"

CGridCtrl::Axis CGridCtrl::MakeAxis(bool bRows) const {
  CRect client(0, 0, 0, 0);
  if (m_hWnd) GetClientRect(&client);
  Axis axis;
  axis.bar = bRows ? SB_VERT : SB_HORZ;
  axis.sizes = bRows ? &m_rowHeights : &m_colWidths;
  axis.count = bRows ? m_nRowCount : m_nColCount;
  axis.fixedCount = bRows ? m_nFixedRowCount : m_nFixedColCount;
  axis.fixedSize = axis.sizes->Sum(0, axis.fixedCount);
  axis.clientEnd = bRows ? client.bottom : client.right;
  axis.limit = bRows ? m_nVScrollLimit : m_nHScrollLimit;
  const int pos = m_hWnd ? GetScrollPosition(axis.bar) : 0;
  axis.firstScrolled = axis.count > axis.fixedCount ? axis.sizes->FirstAtOrPast(axis.fixedCount, axis.count - 1, pos)
                                                    : axis.fixedCount;
  return axis;
}

GridCellRef CGridCtrl::GetFirstScrolledCell() const {
  return GridCellRef(MakeAxis(true).firstScrolled, MakeAxis(false).firstScrolled);
}

// The last row (column) reached from the first scrolled one before the client edge; with bFully
// one that sticks out past the edge is left out unless it is the first of all. *pCovered: where
// the cells end, cut at the client edge.
int CGridCtrl::LastVisible(const Axis& axis, BOOL bFully, int* pCovered) {
  long long end = axis.fixedSize;
  int index = axis.firstScrolled;
  for (; index < axis.count; index++) {
    end += axis.sizes->Get(index);
    if (end >= axis.clientEnd) break;
  }
  int last = std::min(index, axis.count - 1);
  if (bFully && index < axis.count && end > axis.clientEnd && index > 0) last = index - 1;
  if (pCovered) *pCovered = (int)std::min<long long>(end, axis.clientEnd);
  return last;
}

GridCellRange CGridCtrl::GetVisibleRange(LPRECT pCovered) const {
  const Axis rows = MakeAxis(true), cols = MakeAxis(false);
  int bottom = 0, right = 0;
  GridCellRange range;
  range.minRow = rows.firstScrolled;
  range.minCol = cols.firstScrolled;
  range.maxRow = LastVisible(rows, FALSE, &bottom);
  range.maxCol = LastVisible(cols, FALSE, &right);
  if (pCovered) ::SetRect(pCovered, 0, 0, right, bottom);
  return range;
}

GridCellRange CGridCtrl::GetFullyVisibleRange() const {
  const Axis rows = MakeAxis(true), cols = MakeAxis(false);
  GridCellRange range;
  range.minRow = rows.firstScrolled;
  range.minCol = cols.firstScrolled;
  range.maxRow = LastVisible(rows, TRUE, nullptr);
  range.maxCol = LastVisible(cols, TRUE, nullptr);
  return range;
}

// Where a row (column) starts, or INT_MIN when it is scrolled out before the first one shown.
int CGridCtrl::StartOf(const Axis& axis, int index) {
  if (index < axis.fixedCount) return axis.sizes->Sum(0, index);
  if (index < axis.firstScrolled) return INT_MIN;
  return axis.fixedSize + axis.sizes->Sum(axis.firstScrolled, index);
}

BOOL CGridCtrl::GetCellTopLeft(int nRow, int nCol, LPPOINT pPoint) const {
  if (!IsValidCell(nRow, nCol) || !pPoint) return FALSE;
  const int x = StartOf(MakeAxis(false), nCol), y = StartOf(MakeAxis(true), nRow);
  if (x == INT_MIN || y == INT_MIN) return FALSE;
  pPoint->x = x;
  pPoint->y = y;
  return TRUE;
}

BOOL CGridCtrl::GetCellBounds(int nRow, int nCol, LPRECT pRect) const {
  POINT topLeft;
  if (!pRect || !GetCellTopLeft(nRow, nCol, &topLeft)) return FALSE;
  ::SetRect(pRect, topLeft.x, topLeft.y, topLeft.x + GetColumnWidth(nCol) - 1, topLeft.y + GetRowHeight(nRow) - 1);
  return TRUE;
}

BOOL CGridCtrl::GetTextBounds(int nRow, int nCol, LPRECT pRect) const {
  if (!GetCellBounds(nRow, nCol, pRect)) return FALSE;
  GridCellItem item;
  item.row = nRow;
  item.col = nCol;
  item.mask = GCI_IMAGE;
  IMAGEINFO info;
  if (ReadCell(item) && m_pImages && item.image >= 0 && ImageList_GetImageInfo(*m_pImages, item.image, &info))
    pRect->left += m_nCellMargin + info.rcImage.right - info.rcImage.left;
  return TRUE;
}

// The row (column) at a client offset; -1 outside the cells.
int CGridCtrl::IndexFromOffset(const Axis& axis, int offset, BOOL bAllowFixed) {
  if (offset < 0) return -1;
  if (offset < axis.fixedSize) return bAllowFixed ? axis.sizes->FirstEndingPast(0, offset) : -1;
  if (axis.firstScrolled >= axis.count) return -1;
  const int index = axis.sizes->FirstEndingPast(axis.firstScrolled, offset - axis.fixedSize);
  return index < axis.count ? index : -1;
}

GridCellRef CGridCtrl::CellFromPoint(CPoint point, BOOL bAllowFixed) const {
  return GridCellRef(IndexFromOffset(MakeAxis(true), point.y, bAllowFixed),
                     IndexFromOffset(MakeAxis(false), point.x, bAllowFixed));
}

BOOL CGridCtrl::IsCellShown(int nRow, int nCol) const {
  if (!m_hWnd || !IsValidCell(nRow, nCol)) return FALSE;
  const Axis rows = MakeAxis(true), cols = MakeAxis(false);
  const int x = StartOf(cols, nCol), y = StartOf(rows, nRow);
  return x != INT_MIN && y != INT_MIN && x < cols.clientEnd && y < rows.clientEnd;
}

void CGridCtrl::ScrollIntoView(int nRow, int nCol) {
  const GridCellRange visible = GetVisibleRange();
  for (int i = nCol - visible.maxCol; i > 0; i--) SendMessage(WM_HSCROLL, SB_LINERIGHT);
  for (int i = visible.minCol - nCol; i > 0; i--) SendMessage(WM_HSCROLL, SB_LINELEFT);
  for (int i = nRow - visible.maxRow; i > 0; i--) SendMessage(WM_VSCROLL, SB_LINEDOWN);
  for (int i = visible.minRow - nRow; i > 0; i--) SendMessage(WM_VSCROLL, SB_LINEUP);
  CRect cell, client;
  if (!GetCellBounds(nRow, nCol, &cell)) return;
  GetClientRect(&client);
  if (cell.right > client.right) SendMessage(WM_HSCROLL, SB_LINERIGHT);
  if (cell.bottom > client.bottom) SendMessage(WM_VSCROLL, SB_LINEDOWN);
}

int CGridCtrl::GetScrollPosition(int nBar, BOOL bTrack) const {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = bTrack ? SIF_TRACKPOS : SIF_POS;
  if (!::GetScrollInfo(m_hWnd, nBar, &si)) return 0;
  return bTrack ? si.nTrackPos : si.nPos;
}

void CGridCtrl::SetScrollPosition(int nBar, int nPos, BOOL bRedraw) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_POS;
  si.nPos = nPos;
  ::SetScrollInfo(m_hWnd, nBar, &si, bRedraw);
}

void CGridCtrl::UpdateScrollBars() {
  if (!m_bRedraw || !IsWindow()) return;
  CRect client;
  GetClientRect(&client);
  const int fixedWidth = GetFixedWidth(), fixedHeight = GetFixedHeight();
  const CRect body(fixedWidth, fixedHeight, client.right, client.bottom);
  if (body.IsRectEmpty() || !IsValidRange(GetFullyVisibleRange())) return;
  m_nVScrollLimit = LimitOf(GetTotalHeight() - fixedHeight, body.Height());
  m_nHScrollLimit = LimitOf(GetTotalWidth() - fixedWidth, body.Width());
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_PAGE | SIF_RANGE;
  si.nPage = (UINT)body.Height();
  si.nMax = m_nVScrollLimit;
  ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
  si.nPage = (UINT)body.Width();
  si.nMax = m_nHScrollLimit;
  ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
}

// ---- scrolling

BOOL CGridCtrl::OnMouseWheel(UINT, short zDelta, CPoint) {
  // Never more steps than rows: the rest would move nothing.
  const long long most = m_nRowCount;
  if (m_nWheelLines != 0xFFFFFFFF) {
    const long long n = std::max(-most, std::min(most, (long long)zDelta * m_nWheelLines / 120));
    for (long long i = 0; i < n; i++) PostMessage(WM_VSCROLL, SB_LINEUP);
    for (long long i = 0; i < -n; i++) PostMessage(WM_VSCROLL, SB_LINEDOWN);
  } else {
    const int n = zDelta / 120;
    for (int i = 0; i < n; i++) PostMessage(WM_VSCROLL, SB_PAGEUP);
    for (int i = 0; i < -n; i++) PostMessage(WM_VSCROLL, SB_PAGEDOWN);
  }
  return (BOOL)Default();
}

void CGridCtrl::OnHScroll(UINT nSBCode, UINT, CScrollBar*) { OnScroll(SB_HORZ, nSBCode); }

void CGridCtrl::OnVScroll(UINT nSBCode, UINT, CScrollBar*) { OnScroll(SB_VERT, nSBCode); }

// The size of one line step: the first scrolled row (column) forward, the one before it back,
// passing over rows of size 0, which would never move the view.
int CGridCtrl::LineStep(const Axis& axis, bool bForward) const {
  if (bForward) {
    for (int i = axis.firstScrolled; i < axis.count; i++)
      if (axis.sizes->Get(i) > 0) return axis.sizes->Get(i);
    return 0;
  }
  for (int i = axis.firstScrolled - 1; i >= axis.fixedCount; i--)
    if (axis.sizes->Get(i) > 0) return axis.sizes->Get(i);
  return 0;
}

// Moves the bar and the picture: a line scrolls the pixels by the change the bar took (it stops
// at its limit less the page), anything else repaints the scrolled area. While more scroll
// messages wait (a wheel's run of lines), the steps only move the bar and mark the area for
// one paint at the end.
void CGridCtrl::ScrollBy(const Axis& axis, int nOldPos, int nNewPos, bool bLine) {
  const bool vertical = axis.bar == SB_VERT;
  const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
  MSG waiting;
  const bool more = ::PeekMessageA(&waiting, m_hWnd, message, message, PM_NOREMOVE) != FALSE;
  SetScrollPosition(axis.bar, nNewPos, !more);
  const int moved = GetScrollPosition(axis.bar) - nOldPos;
  if (moved == 0) return;
  CRect client;
  GetClientRect(&client);
  CRect area = client;
  (vertical ? area.top : area.left) = axis.fixedSize;
  if (!bLine || more) {
    InvalidateRect(&area);
    return;
  }
  ScrollWindow(vertical ? 0 : -moved, vertical ? -moved : 0, &area, &area);
  CRect strip = area;
  if (moved > 0)
    (vertical ? strip.top : strip.left) = (vertical ? area.bottom : area.right) - moved;
  else
    (vertical ? strip.bottom : strip.right) = axis.fixedSize - moved;
  InvalidateRect(&strip);
}

void CGridCtrl::OnScroll(int nBar, UINT nSBCode) {
  if (GetFocus() != this) SetFocus();
  m_titleTip.HideTip();
  const Axis axis = MakeAxis(nBar == SB_VERT);
  const int pos = GetScrollPosition(nBar);
  const int page = axis.clientEnd - axis.fixedSize;
  switch (nSBCode) {
    case SB_LINEDOWN:  // SB_LINERIGHT
      if (pos < axis.limit) ScrollBy(axis, pos, pos + LineStep(axis, true), true);
      break;
    case SB_LINEUP:  // SB_LINELEFT
      if (pos > 0 && axis.firstScrolled > axis.fixedCount) ScrollBy(axis, pos, std::max(0, pos - LineStep(axis, false)), true);
      break;
    case SB_PAGEDOWN:
      if (pos < axis.limit) ScrollBy(axis, pos, std::min(axis.limit, pos + page), false);
      break;
    case SB_PAGEUP:
      if (pos > 0) ScrollBy(axis, pos, std::max(0, pos - page), false);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SetScrollPosition(nBar, GetScrollPosition(nBar, TRUE));
      const Axis moved = MakeAxis(nBar == SB_VERT);
      if (moved.firstScrolled != axis.firstScrolled) ScrollBy(axis, pos, GetScrollPosition(nBar), false);
      break;
    }
    case SB_TOP:  // SB_LEFT
      if (pos > 0) ScrollBy(axis, pos, 0, false);
      break;
    case SB_BOTTOM:  // SB_RIGHT
      if (pos < axis.limit) ScrollBy(axis, pos, axis.limit, false);
      break;
    default:
      break;
  }
}
