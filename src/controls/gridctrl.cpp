// The grid's data: construction and its window, the cell store, sizes, fonts and colours, and
// sorting.
#include "controls/gridctrl.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "controls/gridedit.h"

IMPLEMENT_DYNCREATE(CGridCtrl, CWnd)

BEGIN_MESSAGE_MAP(CGridCtrl, CWnd)
  ON_MESSAGE(WM_SETFONT, OnSetFont)
  ON_MESSAGE(WM_GETFONT, OnGetFont)
  ON_WM_SYSCOLORCHANGE()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_TIMER()
  ON_WM_SETCURSOR()
  ON_WM_CAPTURECHANGED()
  ON_WM_KEYDOWN()
  ON_WM_CHAR()
  ON_WM_GETDLGCODE()
  ON_NOTIFY(LVN_ENDLABELEDIT, IDC_GRID_INPLACEEDIT, OnEndInPlaceEdit)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateEditCut)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
  ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateEditSelectAll)
END_MESSAGE_MAP()

// ---- the cell maps

void CGridCellMap::Add(const GridCellRef& cell) {
  if ((UINT)GetCount() >= GetHashTableSize() * 2) InitHashTable(GetHashTableSize() * 4 + 1);
  SetAt(cell, cell);
}

void CGridCellMap::Remove(const GridCellRef& cell) {
  RemoveKey(cell);
  if (IsEmpty() && GetHashTableSize() != 17) InitHashTable(17, FALSE);
}

void CGridCellMap::Clear() {
  RemoveAll();
  InitHashTable(17, FALSE);
}

BOOL CGridCellMap::Contains(const GridCellRef& cell) const {
  GridCellRef found;
  return Lookup(cell, found);
}

// ---- construction and the window

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols) {
  RegisterGridClass();
  if (!AfxOleEndsAtExit() && SUCCEEDED(::OleInitialize(nullptr))) m_bOleStarted = TRUE;
  m_clrSysWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
  m_clrSysWindow = ::GetSysColor(COLOR_WINDOW);
  m_clrSys3DFace = ::GetSysColor(COLOR_3DFACE);
  m_clrSysShadow = ::GetSysColor(COLOR_3DSHADOW);
  m_clrGridLines = RGB(252, 248, 226);
  m_nWheelLines = ReadWheelScrollLines();
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) m_lfGridFont = ncm.lfMessageFont;
  SetRows(nRows);
  SetColumns(nCols);
  SetFixedRows(nFixedRows);
  SetFixedColumns(nFixedCols);
  m_clrCellText = m_clrFixedText = m_clrSysWindowText;
  m_clrCellBack = m_clrSysWindow;
  m_clrBack = m_clrSysShadow;
  m_clrFixedBack = m_clrSys3DFace;
  m_selectedCells.Clear();
  m_keptCells.Clear();
}

CGridCtrl::~CGridCtrl() {
  RemoveAll();
  DestroyWindow();
  m_gridFont.DeleteObject();
  ClearFontCache();
  m_dropTarget.Revoke();
  if (m_titleTip.m_hWnd) m_titleTip.DestroyWindow();
  if (m_bOleStarted) ::OleUninitialize();
  m_selectedCells.Clear();
  m_keptCells.Clear();
  m_printFont.DeleteObject();
}

BOOL CGridCtrl::RegisterGridClass() {
  RegisterDefaultProcClass(GRIDCTRL_CLASSNAME, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, COLOR_3DFACE);
  return TRUE;
}

BOOL CGridCtrl::Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle) {
  HWND hWnd = ::CreateWindowExA(0, GRIDCTRL_CLASSNAME, "", dwStyle, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, AfxGetSafeHwnd(pParentWnd),
                                (HMENU)(UINT_PTR)nID, ::GetModuleHandleA(nullptr), nullptr);
  if (!hWnd) return FALSE;
  if (SubclassWindow(hWnd)) return TRUE;
  ::DestroyWindow(hWnd);
  return FALSE;
}

// The window is attached: its font, its title tip and its drop target.
void CGridCtrl::PreSubclassWindow() {
  CWnd::PreSubclassWindow();
  ApplyFont(m_lfGridFont);
  if (!m_titleTip.m_hWnd) m_titleTip.Create(this);
  m_dropTarget.Register(this);
  UpdateScrollBars();
}

void CGridCtrl::OnDestroy() {
  m_dropTarget.Revoke();
  m_titleTip.HideTip();
  CWnd::OnDestroy();
}

UINT CGridCtrl::ReadWheelScrollLines() {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &hKey) != ERROR_SUCCESS) return 3;
  char buffer[128];
  DWORD size = sizeof buffer;
  const LONG result = ::RegQueryValueExA(hKey, "WheelScrollLines", nullptr, nullptr, (BYTE*)buffer, &size);
  ::RegCloseKey(hKey);
  if (result != ERROR_SUCCESS) return 3;
  // Only the bytes read: the value need not end with a zero.
  const std::string text(buffer, strnlen(buffer, size));
  return (UINT)std::strtoul(text.c_str(), nullptr, 10);
}

// ---- the cell store

CGridCellData* CGridCtrl::GetCell(int nRow, int nCol) const {
  if (!IsValidCell(nRow, nCol)) return nullptr;
  auto* row = static_cast<CGridRowArray*>(m_rows.GetAt(nRow));
  return row ? row->Cell(nCol) : nullptr;
}

CGridRowArray* CGridCtrl::NewRow() {
  auto* row = new CGridRowArray;
  row->SetSize(m_nColCount);
  return row;
}

// Clears and deletes the cells of a row from a column on.
void CGridCtrl::DeleteRowCells(int nRow, int nFromCol) {
  auto* row = static_cast<CGridRowArray*>(m_rows.GetAt(nRow));
  for (int col = nFromCol; col < row->GetSize(); col++) {
    CGridCellData* cell = row->Cell(col);
    if (!cell) continue;
    ClearCell(cell, nRow, col);
    delete cell;
    row->SetAt(col, nullptr);
  }
}

BOOL CGridCtrl::SetRows(int nRows) {
  if (nRows < 0 || nRows == m_nRowCount) return TRUE;
  if (nRows < m_nFixedRowCount) m_nFixedRowCount = nRows;
  if (m_cellFocus.row >= nRows) MoveFocus(-1, -1);
  for (int row = nRows; row < m_nRowCount; row++) {
    DeleteRowCells(row, 0);
    delete m_rows.GetAt(row);
  }
  const int oldCount = m_nRowCount;
  m_nRowCount = nRows;
  m_rows.SetSize(nRows);
  m_rowHeights.SetCount(nRows, m_nDefaultRowHeight);
  for (int row = oldCount; row < nRows; row++) {
    CGridRowArray* cells = NewRow();
    m_rows.SetAt(row, cells);
    for (int col = 0; col < m_nColCount; col++) cells->SetAt(col, NewCell(row, col));
  }
  if (m_hWnd && m_bRedraw) {
    UpdateScrollBars();
    Invalidate();
  }
  return TRUE;
}

BOOL CGridCtrl::SetColumns(int nCols) {
  if (nCols < 0 || nCols == m_nColCount) return TRUE;
  if (nCols < m_nFixedColCount) m_nFixedColCount = nCols;
  if (m_cellFocus.col >= nCols) MoveFocus(-1, -1);
  for (int row = 0; row < m_nRowCount; row++) DeleteRowCells(row, nCols);
  const int oldCount = m_nColCount;
  m_nColCount = nCols;
  m_colWidths.SetCount(nCols, m_nDefaultColWidth);
  for (int row = 0; row < m_nRowCount; row++) {
    auto* cells = static_cast<CGridRowArray*>(m_rows.GetAt(row));
    cells->SetSize(nCols);
    for (int col = oldCount; col < nCols; col++) cells->SetAt(col, NewCell(row, col));
  }
  if (m_hWnd && m_bRedraw) {
    UpdateScrollBars();
    Invalidate();
  }
  return TRUE;
}

BOOL CGridCtrl::SetFixedRows(int nFixedRows) { return SetFixedCount(true, nFixedRows); }

BOOL CGridCtrl::SetFixedColumns(int nFixedCols) { return SetFixedCount(false, nFixedCols); }

// The fixed rows (columns): more than there are rows adds rows; a focus cell in them goes.
BOOL CGridCtrl::SetFixedCount(bool bRows, int nFixed) {
  if (nFixed < 0) return TRUE;
  if (bRows && nFixed > m_nRowCount) SetRows(nFixed);
  if (!bRows && nFixed > m_nColCount) SetColumns(nFixed);
  const int focus = bRows ? m_cellFocus.row : m_cellFocus.col;
  if (focus >= 0 && focus < nFixed) MoveFocus(-1, -1);
  (bRows ? m_nFixedRowCount : m_nFixedColCount) = nFixed;
  if (m_hWnd && m_bRedraw) Invalidate();
  return TRUE;
}

BOOL CGridCtrl::RemoveAll() {
  ClearSelection();
  m_keptCells.Clear();
  m_rowHeights.SetCount(0, 0);
  m_colWidths.SetCount(0, 0);
  for (int row = 0; row < m_rows.GetSize(); row++) {
    DeleteRowCells(row, 0);
    delete m_rows.GetAt(row);
  }
  m_rows.RemoveAll();
  m_cellFocus = GridCellRef();
  m_nRowCount = m_nColCount = m_nFixedRowCount = m_nFixedColCount = 0;
  UpdateScrollBars();
  return TRUE;
}

CGridCellData* CGridCtrl::NewCell(int nRow, int nCol) {
  auto* cell = new CGridCellData;
  cell->font = m_lfGridFont;
  if (nRow > 0 && nCol >= 0 && nCol < m_nColCount) {
    const CGridCellData* above = GetCell(nRow - 1, nCol);
    if (above) cell->format = above->format;
  }
  return cell;
}

void CGridCtrl::ClearCell(CGridCellData* pCell, int nRow, int nCol) {
  SetCellState(nRow, nCol, 0);
  pCell->text.Empty();
}

CString CGridCtrl::GetCellText(int nRow, int nCol) const {
  const CGridCellData* cell = GetCell(nRow, nCol);
  return cell ? cell->text : CString();
}

BOOL CGridCtrl::SetCellText(int nRow, int nCol, LPCTSTR lpszText) {
  CGridCellData* cell = GetCell(nRow, nCol);
  if (!cell) return FALSE;
  cell->text = lpszText;
  return TRUE;
}

UINT CGridCtrl::GetCellState(int nRow, int nCol) const {
  const CGridCellData* cell = GetCell(nRow, nCol);
  return cell ? cell->state : 0;
}

// The only writer of a cell's state: the selected-cell map follows the GCS_SELECTED bit.
BOOL CGridCtrl::SetCellState(int nRow, int nCol, UINT nState) {
  CGridCellData* cell = GetCell(nRow, nCol);
  if (!cell) return FALSE;
  const bool was = (cell->state & GCS_SELECTED) != 0, now = (nState & GCS_SELECTED) != 0;
  if (!was && now) m_selectedCells.Add(GridCellRef(nRow, nCol));
  if (was && !now) m_selectedCells.Remove(GridCellRef(nRow, nCol));
  cell->state = nState;
  return TRUE;
}

UINT CGridCtrl::GetCellFormat(int nRow, int nCol) const {
  const CGridCellData* cell = GetCell(nRow, nCol);
  return cell ? cell->format : 0;
}

int CGridCtrl::GetCellImage(int nRow, int nCol) const {
  const CGridCellData* cell = GetCell(nRow, nCol);
  return cell ? cell->image : -1;
}

const LOGFONTA* CGridCtrl::GetCellFont(int nRow, int nCol) const {
  const CGridCellData* cell = GetCell(nRow, nCol);
  return cell ? &cell->font : &m_lfGridFont;
}

BOOL CGridCtrl::SetCellFont(int nRow, int nCol, const LOGFONTA& lf) {
  CGridCellData* cell = GetCell(nRow, nCol);
  if (!cell) return FALSE;
  cell->font = lf;
  return TRUE;
}

BOOL CGridCtrl::ReadCell(GridCellItem& item) const {
  const CGridCellData* cell = GetCell(item.row, item.col);
  if (!cell) return FALSE;
  if (item.mask & GCI_TEXT) item.text = GetCellText(item.row, item.col);
  if (item.mask & GCI_PARAM) item.lParam = cell->lParam;
  if (item.mask & GCI_IMAGE) item.image = cell->image;
  if (item.mask & GCI_STATE) item.state = cell->state;
  if (item.mask & GCI_FORMAT) item.format = cell->format;
  if (item.mask & GCI_BKCOLOR) item.bkColor = cell->bkColor;
  if (item.mask & GCI_FGCOLOR) item.fgColor = cell->fgColor;
  if (item.mask & GCI_FONT) item.font = cell->font;
  return TRUE;
}

void CGridCtrl::MarkModified(BOOL bModified, int nRow, int nCol) {
  if (nRow >= 1 && nCol >= 1) {
    const UINT state = GetCellState(nRow, nCol);
    if (bModified) {
      SetCellState(nRow, nCol, state | GCS_MODIFIED);
      m_bChanged = TRUE;
    } else {
      SetCellState(nRow, nCol, state & ~GCS_MODIFIED);
    }
  } else {
    m_bChanged = bModified;
  }
  if (m_bChanged) return;
  for (int row = 0; row < m_nRowCount; row++)
    for (int col = 0; col < m_nColCount; col++) GetCell(row, col)->state &= ~GCS_MODIFIED;
}

BOOL CGridCtrl::CanEditCell(int nRow, int nCol) const {
  return m_bAllowEdit && !(GetCellState(nRow, nCol) & GCS_READONLY);
}

BOOL CGridCtrl::IsValidCell(int nRow, int nCol) const {
  return nRow >= 0 && nRow < m_nRowCount && nCol >= 0 && nCol < m_nColCount;
}

BOOL CGridCtrl::IsValidRange(const GridCellRange& r) const {
  return r.minRow >= 0 && r.minCol >= 0 && r.maxRow >= 0 && r.maxCol >= 0 && r.maxRow < m_nRowCount &&
         r.maxCol < m_nColCount && r.minRow <= r.maxRow && r.minCol <= r.maxCol;
}

LRESULT CGridCtrl::NotifyOwner(int nRow, int nCol, int nCode) {
  if (!IsWindow()) return 0;
  CWnd* owner = GetOwner();
  if (!owner || !owner->IsWindow()) return 0;
  GridNotify notify{};
  notify.hdr.hwndFrom = m_hWnd;
  notify.hdr.idFrom = GetDlgCtrlID();
  notify.hdr.code = (UINT)nCode;
  notify.row = nRow;
  notify.col = nCol;
  return owner->SendMessage(WM_NOTIFY, notify.hdr.idFrom, (LPARAM)&notify);
}

// ---- sizes

int CGridCtrl::GetRowHeight(int nRow) const {
  return nRow >= 0 && nRow < m_nRowCount ? m_rowHeights.Get(nRow) : -1;
}

int CGridCtrl::GetColumnWidth(int nCol) const {
  return nCol >= 0 && nCol < m_nColCount ? m_colWidths.Get(nCol) : -1;
}

BOOL CGridCtrl::SetRowHeight(int nRow, int nHeight) {
  if (nRow < 0 || nRow >= m_nRowCount || nHeight < 0) return FALSE;
  m_rowHeights.Set(nRow, nHeight);
  return TRUE;
}

BOOL CGridCtrl::SetColumnWidth(int nCol, int nWidth) {
  if (nCol < 0 || nCol >= m_nColCount || nWidth < 0) return FALSE;
  m_colWidths.Set(nCol, nWidth);
  return TRUE;
}

CSize CGridCtrl::MeasureCell(int nRow, int nCol, CDC* pDC) {
  const CGridCellData* cell = GetCell(nRow, nCol);
  if (!cell || !pDC) return CSize(0, 0);
  const bool fixed = nRow < m_nFixedRowCount || nCol < m_nFixedColCount;
  CFont* old = pDC->SelectObject(CellFont(cell->font, fixed ? 600 : cell->font.lfWeight));
  const CSize text = pDC->GetTextExtent(GetCellText(nRow, nCol));
  pDC->SelectObject(old);
  CSize image(0, 0);
  IMAGEINFO info;
  if (m_pImages && cell->image >= 0 && ImageList_GetImageInfo(*m_pImages, cell->image, &info))
    image = CSize(info.rcImage.right - info.rcImage.left + 1, info.rcImage.bottom - info.rcImage.top + 1);
  return CSize(text.cx + 4 * m_nCellMargin + image.cx, std::max<int>(text.cy + 2 * m_nCellMargin, image.cy));
}

BOOL CGridCtrl::FitSize(bool bColumn, int nIndex) {
  if (nIndex < 0 || nIndex >= (bColumn ? m_nColCount : m_nRowCount)) return FALSE;
  CDC* pDC = GetDC();
  if (!pDC) return FALSE;
  int size = 0;
  const int others = bColumn ? m_nRowCount : m_nColCount;
  for (int i = 0; i < others; i++) {
    const CSize cell = bColumn ? MeasureCell(i, nIndex, pDC) : MeasureCell(nIndex, i, pDC);
    size = std::max<int>(size, bColumn ? cell.cx : cell.cy);
  }
  if (bColumn)
    m_colWidths.Set(nIndex, size);
  else
    m_rowHeights.Set(nIndex, size);
  ReleaseDC(pDC);
  UpdateScrollBars();
  return TRUE;
}

BOOL CGridCtrl::FitColumn(int nCol) { return FitSize(true, nCol); }

BOOL CGridCtrl::FitRow(int nRow) { return FitSize(false, nRow); }

// ---- fonts and colours

// Copies the font into the grid and every cell, and takes its metrics for the margin and the
// sizes of rows and columns made from now on.
void CGridCtrl::ApplyFont(const LOGFONTA& lf) {
  m_lfGridFont = lf;
  for (int row = 0; row < m_nRowCount; row++)
    for (int col = 0; col < m_nColCount; col++) SetCellFont(row, col, lf);
  ClearFontCache();
  CDC* pDC = m_hWnd ? GetDC() : nullptr;
  if (pDC) {
    m_gridFont.DeleteObject();
    m_gridFont.CreateFontIndirect(&m_lfGridFont);
    CFont* old = pDC->SelectObject(&m_gridFont);
    TEXTMETRICA tm;
    pDC->GetTextMetrics(&tm);
    m_nCellMargin = pDC->GetTextExtent(" ", 1).cx;
    m_nDefaultRowHeight = tm.tmHeight + tm.tmExternalLeading + 2 * m_nCellMargin;
    m_nDefaultColWidth = (m_nCellMargin + 6 * tm.tmAveCharWidth) * 2;
    pDC->SelectObject(old);
    ReleaseDC(pDC);
  }
  if (m_hWnd) Invalidate();
}

LRESULT CGridCtrl::OnSetFont(WPARAM wParam, LPARAM) {
  const LRESULT result = Default();
  LOGFONTA lf;
  if (!wParam || ::GetObjectA((HFONT)wParam, sizeof lf, &lf) != sizeof lf) return result;
  ApplyFont(lf);
  return result;
}

LRESULT CGridCtrl::OnGetFont(WPARAM, LPARAM) { return (LRESULT)m_gridFont.GetSafeHandle(); }

void CGridCtrl::OnSysColorChange() {
  CWnd::OnSysColorChange();
  const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT), window = ::GetSysColor(COLOR_WINDOW),
                 face = ::GetSysColor(COLOR_3DFACE), shadow = ::GetSysColor(COLOR_3DSHADOW);
  if (m_clrCellText == m_clrSysWindowText) m_clrCellText = text;
  if (m_clrCellBack == m_clrSysWindow) m_clrCellBack = window;
  if (m_clrBack == m_clrSysShadow) m_clrBack = shadow;
  if (m_clrFixedText == m_clrSysWindowText) m_clrFixedText = text;
  if (m_clrFixedBack == m_clrSys3DFace) m_clrFixedBack = face;
  m_clrSysWindowText = text;
  m_clrSysWindow = window;
  m_clrSys3DFace = face;
  m_clrSysShadow = shadow;
}

void CGridCtrl::OnSize(UINT nType, int cx, int cy) {
  static bool s_bSizing = false;  // shared by all grids: the bars' own changes come back here
  if (s_bSizing || !IsWindow()) return;
  s_bSizing = true;
  SetFocus();
  CWnd::OnSize(nType, cx, cy);
  UpdateScrollBars();
  s_bSizing = false;
}

// ---- sorting

BOOL CGridCtrl::SortByColumn(int nCol, BOOL bAscending) {
  ClearSelection();
  return SortRange(nCol, bAscending, m_nFixedRowCount, -1);
}

void CGridCtrl::SwapRows(int nRow1, int nRow2) {
  auto* row1 = static_cast<CGridRowArray*>(m_rows.GetAt(nRow1));
  auto* row2 = static_cast<CGridRowArray*>(m_rows.GetAt(nRow2));
  for (int col = 0; col < m_nColCount; col++) {
    CObject* cell = row1->GetAt(col);
    row1->SetAt(col, row2->GetAt(col));
    row2->SetAt(col, cell);
  }
  m_rowHeights.Swap(nRow1, nRow2);
}

// Quicksort of whole rows by the column's text, compared as unsigned bytes.
BOOL CGridCtrl::SortRange(int nCol, BOOL bAscending, int nLow, int nHigh) {
  if (nCol < 0 || nCol >= m_nColCount) return FALSE;
  if (nHigh == -1) nHigh = m_nRowCount - 1;
  if (nLow < 0 || nHigh >= m_nRowCount || nHigh <= nLow) return FALSE;
  const int sign = bAscending ? 1 : -1;
  const CString pivot = GetCellText((nLow + nHigh) / 2, nCol);  // a copy: rows move under it
  int lo = nLow, hi = nHigh;
  while (lo <= hi) {
    while (lo < nHigh && sign * GetCellText(lo, nCol).Compare(pivot) < 0) lo++;
    while (hi > nLow && sign * GetCellText(hi, nCol).Compare(pivot) > 0) hi--;
    if (lo <= hi) {
      if (GetCellText(lo, nCol).Compare(GetCellText(hi, nCol)) != 0) SwapRows(lo, hi);
      lo++;
      hi--;
    }
  }
  if (nLow < hi) SortRange(nCol, bAscending, nLow, hi);
  if (lo < nHigh) SortRange(nCol, bAscending, lo, nHigh);
  return TRUE;
}
