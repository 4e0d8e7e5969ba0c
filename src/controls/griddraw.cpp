// How the grid paints itself: through one off-screen bitmap, the background areas, the fixed
// cells (raised, or sunken in the focus cell's row and column), the body cells (focus frame,
// selection colours, drop-target frame) and the grid lines over the body; single cells repainted
// at once for selection, focus and drag feedback.
#include <cstring>

#include "controls/gridctrl.h"
#include "controls/gridmemdc.h"

namespace {

// A solid pen selected into a DC for the life of the object.
class SelectedPen {
 public:
  SelectedPen(CDC* pDC, int nWidth, COLORREF color) : m_pDC(pDC), m_pen(PS_SOLID, nWidth, color) {
    m_pOld = pDC->SelectObject(&m_pen);
  }
  ~SelectedPen() { m_pDC->SelectObject(m_pOld); }

 private:
  CDC* m_pDC;
  CPen m_pen;
  CPen* m_pOld;
};

// What a cell painter changes in a DC, made through this object, which gives the first values
// back when the painter is through (lighter than SaveDC and RestoreDC around every cell).
class CellDCState {
 public:
  explicit CellDCState(CDC* pDC) : m_hDC(pDC->m_hDC) {}
  ~CellDCState() {
    for (int i = 0; i < kObjects; i++)
      if (m_hOld[i]) ::SelectObject(m_hDC, m_hOld[i]);
    if (m_nOldBkMode) ::SetBkMode(m_hDC, m_nOldBkMode);
    if (m_bTextColor) ::SetTextColor(m_hDC, m_crOldText);
  }
  CellDCState(const CellDCState&) = delete;
  CellDCState& operator=(const CellDCState&) = delete;

  void SelectFont(CFont* pFont) { Select(0, pFont->m_hObject); }
  void SelectStock(int nIndex) { Select(nIndex == NULL_BRUSH ? 2 : 1, ::GetStockObject(nIndex)); }
  void Transparent() {
    const int old = ::SetBkMode(m_hDC, TRANSPARENT);
    if (!m_nOldBkMode) m_nOldBkMode = old;
  }
  void TextColor(COLORREF color) {
    const COLORREF old = ::SetTextColor(m_hDC, color);
    if (!m_bTextColor) m_crOldText = old;
    m_bTextColor = true;
  }

 private:
  static const int kObjects = 3;  // font, pen, brush
  void Select(int nKind, HGDIOBJ hObject) {
    HGDIOBJ hOld = ::SelectObject(m_hDC, hObject);
    if (!m_hOld[nKind]) m_hOld[nKind] = hOld;
  }
  HDC m_hDC;
  HGDIOBJ m_hOld[kObjects] = {};
  int m_nOldBkMode = 0;
  COLORREF m_crOldText = 0;
  bool m_bTextColor = false;
};

void Line(CDC* pDC, int x1, int y1, int x2, int y2) {
  pDC->MoveTo(x1, y1);
  pDC->LineTo(x2, y2);
}

CRect Widened(const CRect& rect) { return CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1); }

}  // namespace

void CGridCtrl::OnPaint() {
  CPaintDC dc(this);
  if (m_bBuffered) {
    CGridMemDC memDC(&dc);
    DrawGrid(&memDC);
  } else {
    DrawGrid(&dc);
  }
}

BOOL CGridCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

// ---- fonts: cells share a few LOGFONTs, so their fonts are made once and kept

CFont* CGridCtrl::CellFont(const LOGFONTA& lf, LONG lfWeight) {
  LOGFONTA wanted = lf;
  wanted.lfWeight = lfWeight;
  for (auto& entry : m_fontCache)
    if (std::memcmp(&entry.first, &wanted, sizeof wanted) == 0) return entry.second;
  if (m_fontCache.size() >= 16) ClearFontCache();
  auto* font = new CFont;
  font->CreateFontIndirect(&wanted);
  m_fontCache.emplace_back(wanted, font);
  return font;
}

void CGridCtrl::ClearFontCache() {
  for (auto& entry : m_fontCache) delete entry.second;
  m_fontCache.clear();
}

// ---- the whole grid

void CGridCtrl::PaintBackground(CDC* pDC) {
  CRect clip;
  if (pDC->GetClipBox(&clip) == ERROR) return;
  CRect covered;
  GetVisibleRange(&covered);
  const int W = GetFixedWidth(), H = GetFixedHeight();
  if (clip.left < W && clip.top < covered.bottom) pDC->FillSolidRect(CRect(clip.left, clip.top, W, covered.bottom), m_clrFixedBack);
  if (clip.top < H && clip.right > W && clip.left < covered.right)
    pDC->FillSolidRect(CRect(W - 1, clip.top, covered.right, H), m_clrFixedBack);
  CRect both;
  if (both.IntersectRect(&covered, &clip))
    pDC->FillSolidRect(CRect(std::max(W, (int)both.left), std::max(H, (int)both.top), both.right, both.bottom), m_clrCellBack);
  if (covered.right < clip.right) pDC->FillSolidRect(CRect(covered.right, clip.top, clip.right, clip.bottom), m_clrBack);
  if (covered.bottom < clip.bottom && clip.left < covered.right)
    pDC->FillSolidRect(CRect(clip.left, covered.bottom, covered.right, clip.bottom), m_clrBack);
}

// Rows rowFrom to rowTo from y down, each over columns colFrom to colTo from x; with a clip box,
// rows and columns outside it are passed over.
void CGridCtrl::DrawBlock(CDC* pDC, int rowFrom, int rowTo, int y, int colFrom, int colTo, int x,
                          const CRect* pClip, bool bHeader) {
  for (int row = rowFrom; row <= rowTo; row++) {
    const int top = y, bottom = top + GetRowHeight(row) - 1;
    y = bottom + 1;
    if (pClip && top > pClip->bottom) break;
    if (pClip && bottom < pClip->top) continue;
    int left = x;
    for (int col = colFrom; col <= colTo; col++) {
      const CRect rect(left, top, left + GetColumnWidth(col) - 1, bottom);
      left = rect.right + 1;
      if (pClip && rect.left > pClip->right) break;
      if (pClip && rect.right < pClip->left) continue;
      if (bHeader)
        DrawHeaderCell(pDC, row, col, rect, FALSE);
      else
        DrawBodyCell(pDC, row, col, rect, FALSE);
    }
  }
}

void CGridCtrl::DrawGridLines(CDC* pDC, const GridCellRange& visible, const CRect& covered) {
  const int W = GetFixedWidth(), H = GetFixedHeight();
  CPen pen(PS_SOLID, 0, m_clrGridLines);
  pDC->SelectObject(&pen);
  if (m_nGridLineMode == GL_VERT || m_nGridLineMode == GL_BOTH) {
    int x = W;
    for (int col = visible.minCol; col <= visible.maxCol; col++) {
      x += GetColumnWidth(col);
      Line(pDC, x - 1, H, x - 1, covered.bottom);
    }
  }
  if (m_nGridLineMode == GL_HORZ || m_nGridLineMode == GL_BOTH) {
    int y = H;
    for (int row = visible.minRow; row <= visible.maxRow; row++) {
      y += GetRowHeight(row);
      Line(pDC, W, y - 1, covered.right, y - 1);
    }
  }
  pDC->SelectStockObject(NULL_PEN);
}

void CGridCtrl::DrawGrid(CDC* pDC) {
  CRect clip;
  if (pDC->GetClipBox(&clip) == ERROR) return;
  PaintBackground(pDC);
  const int W = GetFixedWidth(), H = GetFixedHeight();
  CRect covered;
  const GridCellRange visible = GetVisibleRange(&covered);
  const int lastFixedRow = m_nFixedRowCount - 1, lastFixedCol = m_nFixedColCount - 1;
  DrawBlock(pDC, 0, lastFixedRow, 0, 0, lastFixedCol, 0, nullptr, true);
  DrawBlock(pDC, visible.minRow, visible.maxRow, H, 0, lastFixedCol, 0, &clip, true);
  DrawBlock(pDC, 0, lastFixedRow, 0, visible.minCol, visible.maxCol, W, &clip, true);
  DrawBlock(pDC, visible.minRow, visible.maxRow, H, visible.minCol, visible.maxCol, W, &clip, false);
  DrawGridLines(pDC, visible, covered);
}

// ---- cells

// The image (when there is one) and the text of a cell, inside its margins.
void CGridCtrl::DrawCellContent(CDC* pDC, const GridCellItem& item, CRect rect) {
  rect.DeflateRect(m_nCellMargin, 0);
  IMAGEINFO info;
  if (m_pImages && item.image >= 0 && ImageList_GetImageInfo(*m_pImages, item.image, &info)) {
    m_pImages->Draw(pDC, item.image, rect.TopLeft(), ILD_NORMAL);
    rect.left += m_nCellMargin + info.rcImage.right - info.rcImage.left;
  }
  pDC->DrawText(item.text, &rect, item.format);
}

// A heading's edge: sunken in the focus cell's row and column, else raised. The rectangle
// comes back inside the edge.
void CGridCtrl::DrawHeaderEdge(CDC* pDC, int nRow, int nCol, CRect& rect) {
  if (IsValidCell(m_cellFocus) && (m_cellFocus.row == nRow || m_cellFocus.col == nCol)) {
    rect.right++;
    rect.bottom++;
    pDC->DrawEdge(&rect, BDR_SUNKENINNER, BF_RECT);
    rect.DeflateRect(1, 1);
    return;
  }
  {
    SelectedPen light(pDC, 1, ::GetSysColor(COLOR_3DHIGHLIGHT));
    pDC->MoveTo(rect.right, rect.top);
    pDC->LineTo(rect.left, rect.top);
    pDC->LineTo(rect.left, rect.bottom);
  }
  {
    SelectedPen dark(pDC, 1, ::GetSysColor(COLOR_3DDKSHADOW));
    pDC->MoveTo(rect.right, rect.top);
    pDC->LineTo(rect.right, rect.bottom);
    pDC->LineTo(rect.left, rect.bottom);
  }
  rect.DeflateRect(1, 1);
}

BOOL CGridCtrl::DrawHeaderCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL) {
  if (!m_bRedraw) return FALSE;
  GridCellItem item;
  item.row = nRow;
  item.col = nCol;
  item.mask = GCI_TEXT | GCI_IMAGE | GCI_BKCOLOR | GCI_FGCOLOR | GCI_FORMAT | GCI_FONT;
  if (!ReadCell(item)) return FALSE;
  pDC->FillSolidRect(&rect, item.bkColor == CLR_DEFAULT ? m_clrFixedBack : item.bkColor);
  CellDCState state(pDC);
  state.TextColor(item.fgColor == CLR_DEFAULT ? m_clrFixedText : item.fgColor);
  state.SelectFont(CellFont(item.font, 800));
  DrawHeaderEdge(pDC, nRow, nCol, rect);
  state.Transparent();
  DrawCellContent(pDC, item, rect);
  return TRUE;
}

BOOL CGridCtrl::DrawBodyCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL) {
  if (!m_bRedraw) return FALSE;
  GridCellItem item;
  item.row = nRow;
  item.col = nCol;
  item.mask = GCI_TEXT | GCI_IMAGE | GCI_STATE | GCI_BKCOLOR | GCI_FGCOLOR | GCI_FORMAT | GCI_FONT;
  if (!ReadCell(item)) return FALSE;
  const COLORREF back = item.bkColor == CLR_DEFAULT ? m_clrCellBack : item.bkColor;
  const COLORREF text = item.fgColor == CLR_DEFAULT ? m_clrCellText : item.fgColor;
  const bool printing = pDC->IsPrinting() != FALSE;
  CellDCState state(pDC);
  state.Transparent();
  if ((item.state & GCS_FOCUSED) && !printing) {
    pDC->FillSolidRect(Widened(rect), back);
    state.SelectStock(BLACK_PEN);
    state.SelectStock(NULL_BRUSH);
    pDC->Rectangle(&rect);
    state.TextColor(text);
    rect.DeflateRect(1, 1);
  } else if ((item.state & GCS_SELECTED) && !printing) {
    pDC->FillSolidRect(Widened(rect), ::GetSysColor(COLOR_HIGHLIGHT));
    state.TextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    pDC->FillSolidRect(Widened(rect), back);
    state.TextColor(text);
  }
  if ((item.state & GCS_DROPTARGET) && !printing) {
    state.SelectStock(BLACK_PEN);
    state.SelectStock(NULL_BRUSH);
    pDC->Rectangle(&rect);
  }
  state.SelectFont(CellFont(item.font, item.font.lfWeight));
  DrawCellContent(pDC, item, rect);
  return TRUE;
}

BOOL CGridCtrl::RepaintCell(int nRow, int nCol, CDC* pDC) {
  CRect rect;
  if (!m_bRedraw || !IsCellShown(nRow, nCol) || !GetCellBounds(nRow, nCol, &rect)) return FALSE;
  CDC* pOwnDC = pDC ? nullptr : GetDC();
  if (!pDC && !pOwnDC) {
    InvalidateRect(Widened(rect), TRUE);
    return TRUE;
  }
  CDC* dc = pDC ? pDC : pOwnDC;
  BOOL result;
  if (nRow < m_nFixedRowCount || nCol < m_nFixedColCount) {
    result = DrawHeaderCell(dc, nRow, nCol, rect, TRUE);
  } else {
    result = DrawBodyCell(dc, nRow, nCol, rect, TRUE);
    SelectedPen pen(dc, 0, m_clrGridLines);
    if (m_nGridLineMode == GL_HORZ || m_nGridLineMode == GL_BOTH) Line(dc, rect.left, rect.bottom, rect.right + 1, rect.bottom);
    if (m_nGridLineMode == GL_VERT || m_nGridLineMode == GL_BOTH) Line(dc, rect.right, rect.top, rect.right, rect.bottom + 1);
  }
  if (pOwnDC) ReleaseDC(pOwnDC);
  return result;
}

BOOL CGridCtrl::InvalidateCell(const GridCellRef& cell) {
  CRect rect;
  if (!IsWindow() || !m_bRedraw || !IsCellShown(cell.row, cell.col) || !GetCellBounds(cell.row, cell.col, &rect))
    return FALSE;
  InvalidateRect(Widened(rect), TRUE);
  return TRUE;
}
