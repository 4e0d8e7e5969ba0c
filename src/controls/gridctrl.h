// CGridCtrl: a spreadsheet-like grid window. Cells in rows and columns, of which the first rows
// and columns can be fixed (they stay in place and are drawn as raised headings). Each cell has
// a text, a DrawText format, an image, colours, a font, a state and a user value. The grid
// scrolls in pixels, sizes rows and columns by dragging their dividers, selects cells, rows or
// columns with mouse and keyboard, edits a cell in place, sorts rows by a column, exchanges
// tab-separated text with the clipboard and by OLE drag and drop, and prints itself in pages.
//
// The window class is "MFCGridCtrl": a dialog may name it as a custom control once a grid object
// exists (the constructor registers it); the grid attaches itself by subclassing that window, or
// makes a child window of its own with Create. It reports to its owner (else its parent) with
// WM_NOTIFY GridNotify records of the list-view codes below, WM_COMMAND (its id, code 0) after
// each release of a press on a cell, and WM_GRID_DBLCLICK for a double click in list style when
// asked to.
//
// Parts: model, sizes and sorting (gridctrl.cpp), geometry and scrolling (gridgeom.cpp), drawing
// (griddraw.cpp), mouse, keys, selection and editing (gridinput.cpp, gridselect.cpp), clipboard
// and drag and drop (gridclip.cpp), printing (gridprint.cpp).
#pragma once
#include <utility>
#include <vector>

#include "afx/afxwin.h"
#include "controls/griddrop.h"
#include "controls/gridsizes.h"
#include "controls/gridtext.h"
#include "controls/gridtip.h"

#define GRIDCTRL_CLASSNAME "MFCGridCtrl"

// Cell state bits.
#define GCS_FOCUSED 0x0001
#define GCS_SELECTED 0x0002
#define GCS_DROPTARGET 0x0004
#define GCS_READONLY 0x0008
#define GCS_MODIFIED 0x0020

// Fields of a GridCellItem to read.
#define GCI_TEXT 0x0001
#define GCI_IMAGE 0x0002
#define GCI_PARAM 0x0004
#define GCI_STATE 0x0008
#define GCI_BKCOLOR 0x0010
#define GCI_FGCOLOR 0x0020
#define GCI_FORMAT 0x0040
#define GCI_FONT 0x0080

// Grid lines.
#define GL_NONE 0
#define GL_HORZ 1
#define GL_VERT 2
#define GL_BOTH 3

#define WM_GRID_DBLCLICK (WM_APP + 0x69)  // a double click in list style, when asked for
#define IDC_GRID_INPLACEEDIT 8            // the in-place editor's control id
#define GRID_SCROLL_TIMER 513             // auto-scroll while a selection is dragged out

class CGridInPlaceEdit;

// What a cell holds. A colour of CLR_DEFAULT takes the grid's colour for the kind of cell.
struct GridCellValues {
  UINT state = 0;
  UINT format = 0;
  CString text;
  int image = -1;
  COLORREF bkColor = CLR_DEFAULT;
  COLORREF fgColor = CLR_DEFAULT;
  LOGFONTA font{};
  LPARAM lParam = 0;
};

// One cell of the grid's store.
class CGridCellData : public CObject, public GridCellValues {};

// One row's cells, one entry a column.
class CGridRowArray : public CObArray {
 public:
  CGridCellData* Cell(int col) const { return static_cast<CGridCellData*>(GetAt(col)); }
};

// A cell read through CGridCtrl::ReadCell: the fields named by mask.
struct GridCellItem : GridCellValues {
  int row = -1;
  int col = -1;
  UINT mask = 0;
};

// WM_NOTIFY to the grid's owner.
struct GridNotify {
  NMHDR hdr;
  int row;
  int col;
};

// WM_NOTIFY from the in-place editor to the grid: the row, column, text and (user value) the key
// that ended editing.
struct GridEditNotify {
  NMHDR hdr;
  GridCellItem item;
};

// The grid's sets of cells. The hash table grows with the content (and shrinks back when the set
// empties), so that selecting every cell of a large grid stays linear.
class CGridCellMap : public CMap<GridCellRef, const GridCellRef&, GridCellRef, const GridCellRef&> {
 public:
  CGridCellMap() : CMap(10) {}
  void Add(const GridCellRef& cell);
  void Remove(const GridCellRef& cell);
  void Clear();
  BOOL Contains(const GridCellRef& cell) const;
};

class CGridCtrl : public CWnd {
  DECLARE_DYNCREATE(CGridCtrl)
 public:
  enum MouseMode {
    MouseIdle = 0,
    MouseSelectAll = 1,
    MouseSelectColumns = 2,
    MouseSelectRows = 3,
    MouseSelectCells = 4,
    MouseOverRowDivider = 6,
    MouseSizingRow = 7,
    MouseOverColumnDivider = 8,
    MouseSizingColumn = 9,
    MouseEditPending = 10,
    MouseDragPending = 11,
    MouseDragging = 12
  };

  CGridCtrl(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0);
  ~CGridCtrl() override;

  // ---- window
  static BOOL RegisterGridClass();
  // A child grid window of the parent.
  BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID,
              DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL);
  void PreSubclassWindow() override;
  // Rows a wheel notch scrolls, from the user's settings (3 when they say nothing).
  static UINT ReadWheelScrollLines();

  // ---- options
  void SetGridLines(int nMode) { m_nGridLineMode = nMode; }
  void SetEditable(BOOL b) { m_bAllowEdit = b; }
  void SetDragAndDrop(BOOL b) { m_bDragDrop = b; }
  void SetListMode(BOOL b) { m_bListStyle = b; }
  void SetSingleRowSelection(BOOL b) { m_bSingleRowSelect = b; }
  void SetRedraw(BOOL b) { m_bRedraw = b; }
  void SetSelectable(BOOL b) { m_bSelectable = b; }
  void SetHeaderSort(BOOL b) { m_bHeaderSort = b; }
  void SetWantTab(BOOL b) { m_bWantTab = b; }
  void SetDoubleBuffering(BOOL b) { m_bBuffered = b; }
  void SetTitleTips(BOOL b) { m_bShowTitleTips = b; }
  void SetRowResize(BOOL b) { m_bRowSizing = b; }
  void SetColumnResize(BOOL b) { m_bColSizing = b; }
  void SetDoubleClickNotify(BOOL b) { m_bDblClickNotify = b; }
  // The list is the caller's and must outlive the grid (null: no images).
  void SetImageList(CImageList* pImages) { m_pImages = pImages; }
  BOOL IsModified() const { return m_bChanged; }
  int GetMouseMode() const { return m_nMouseMode; }
  UINT GetWheelLines() const { return m_nWheelLines; }

  // ---- cells
  BOOL SetRows(int nRows);
  BOOL SetColumns(int nCols);
  BOOL SetFixedRows(int nFixedRows);
  BOOL SetFixedColumns(int nFixedCols);
  int GetRowCount() const { return m_nRowCount; }
  int GetColumnCount() const { return m_nColCount; }
  int GetFixedRowCount() const { return m_nFixedRowCount; }
  int GetFixedColumnCount() const { return m_nFixedColCount; }
  BOOL RemoveAll();
  virtual CGridCellData* NewCell(int nRow, int nCol);
  virtual void ClearCell(CGridCellData* pCell, int nRow, int nCol);
  virtual CString GetCellText(int nRow, int nCol) const;
  BOOL SetCellText(int nRow, int nCol, LPCTSTR lpszText);
  UINT GetCellState(int nRow, int nCol) const;
  BOOL SetCellState(int nRow, int nCol, UINT nState);
  UINT GetCellFormat(int nRow, int nCol) const;
  int GetCellImage(int nRow, int nCol) const;
  const LOGFONTA* GetCellFont(int nRow, int nCol) const;
  BOOL SetCellFont(int nRow, int nCol, const LOGFONTA& lf);
  BOOL ReadCell(GridCellItem& item) const;
  void MarkModified(BOOL bModified, int nRow = -1, int nCol = -1);
  BOOL CanEditCell(int nRow, int nCol) const;
  BOOL IsValidCell(int nRow, int nCol) const;
  BOOL IsValidCell(const GridCellRef& cell) const { return IsValidCell(cell.row, cell.col); }
  BOOL IsValidRange(const GridCellRange& range) const;
  LRESULT NotifyOwner(int nRow, int nCol, int nCode);

  // ---- sizes
  int GetRowHeight(int nRow) const;
  int GetColumnWidth(int nCol) const;
  BOOL SetRowHeight(int nRow, int nHeight);
  BOOL SetColumnWidth(int nCol, int nWidth);
  int GetFixedHeight() const { return m_rowHeights.Sum(0, m_nFixedRowCount); }
  int GetFixedWidth() const { return m_colWidths.Sum(0, m_nFixedColCount); }
  int GetTotalHeight() const { return m_rowHeights.Sum(0, m_nRowCount); }
  int GetTotalWidth() const { return m_colWidths.Sum(0, m_nColCount); }
  int GetDefaultRowHeight() const { return m_nDefaultRowHeight; }
  int GetDefaultColumnWidth() const { return m_nDefaultColWidth; }
  int GetCellMargin() const { return m_nCellMargin; }
  virtual CSize MeasureCell(int nRow, int nCol, CDC* pDC);
  BOOL FitColumn(int nCol);
  BOOL FitRow(int nRow);

  // ---- sorting
  BOOL SortByColumn(int nCol, BOOL bAscending);
  BOOL SortRange(int nCol, BOOL bAscending, int nLow, int nHigh = -1);

  // ---- geometry and scrolling
  GridCellRef GetFirstScrolledCell() const;
  GridCellRange GetVisibleRange(LPRECT pCovered = nullptr) const;
  GridCellRange GetFullyVisibleRange() const;
  BOOL GetCellTopLeft(int nRow, int nCol, LPPOINT pPoint) const;
  BOOL GetCellBounds(int nRow, int nCol, LPRECT pRect) const;
  BOOL GetTextBounds(int nRow, int nCol, LPRECT pRect) const;
  GridCellRef CellFromPoint(CPoint point, BOOL bAllowFixed = FALSE) const;
  BOOL IsCellShown(int nRow, int nCol) const;
  void ScrollIntoView(int nRow, int nCol);
  int GetScrollPosition(int nBar, BOOL bTrack = FALSE) const;
  void SetScrollPosition(int nBar, int nPos, BOOL bRedraw = TRUE);
  void UpdateScrollBars();

  // ---- drawing
  virtual void DrawGrid(CDC* pDC);
  void PaintBackground(CDC* pDC);
  virtual BOOL DrawHeaderCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bErase = FALSE);
  virtual BOOL DrawBodyCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bErase = FALSE);
  BOOL RepaintCell(int nRow, int nCol, CDC* pDC = nullptr);
  BOOL InvalidateCell(const GridCellRef& cell);

  // ---- selection, focus and editing
  GridCellRef GetFocusCell() const { return m_cellFocus; }
  GridCellRef MoveFocus(int nRow, int nCol);
  void SelectRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, BOOL bDrawNow = TRUE);
  void SelectAll();
  void SelectColumnSpan(const GridCellRef& cell);
  void SelectRowSpan(const GridCellRef& cell);
  void SelectCellSpan(const GridCellRef& cell);
  void ExtendSelection(const GridCellRef& cell);
  void ClearSelection();
  GridCellRange GetSelectionBounds() const;
  INT_PTR GetSelectedCount() const { return m_selectedCells.GetCount(); }
  virtual void FixedRowClicked(const GridCellRef& cell);
  virtual void FixedColumnClicked(const GridCellRef& cell);
  virtual void StartCellEdit(int nRow, int nCol, UINT nChar);
  virtual void MakeInPlaceEditor(const CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nCol, LPCTSTR lpszText,
                                 UINT nChar);
  virtual void CommitEdit(int nRow, int nCol, LPCTSTR lpszText);
  BOOL IsOverRowDivider(CPoint point) const;
  BOOL IsOverColumnDivider(CPoint point) const;

  // ---- clipboard and drag and drop
  virtual COleDataSource* MakeClipboardSource();
  virtual void ClearSelectedText();
  virtual BOOL PasteText(const GridCellRef& topLeft, COleDataObject* pDataObject);
  virtual void DoCut();
  virtual void DoCopy();
  virtual void DoPaste();
  virtual void DoSelectAll();
  virtual CImageList* MakeDragImage(POINT* pHotSpot);
  void StartDrag();
  DROPEFFECT DragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  DROPEFFECT DragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  void DragLeave();
  BOOL Drop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);

  // ---- printing (the owner calls BeginPrint, PrintPage for each page, EndPrint)
  virtual void BeginPrint(CDC* pDC, CPrintInfo* pInfo);
  virtual void PrintPage(CDC* pDC, CPrintInfo* pInfo);
  virtual void EndPrint(CDC* pDC, CPrintInfo* pInfo);
  virtual void PrintHeadings(CDC* pDC, CPrintInfo* pInfo);
  virtual void PrintPageHeader(CDC* pDC, CPrintInfo* pInfo);
  virtual void PrintPageFooter(CDC* pDC, CPrintInfo* pInfo);

 protected:
  afx_msg LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetFont(WPARAM wParam, LPARAM lParam);
  afx_msg void OnSysColorChange();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnDestroy();
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnEndInPlaceEdit(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnEditCopy() { DoCopy(); }
  afx_msg void OnEditCut() { DoCut(); }
  afx_msg void OnEditPaste() { DoPaste(); }
  afx_msg void OnEditSelectAll() { DoSelectAll(); }
  afx_msg void OnUpdateEditCopy(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditCut(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditSelectAll(CCmdUI* pCmdUI);
  DECLARE_MESSAGE_MAP()

 private:
  // One direction of the grid: rows (vertical) or columns (horizontal).
  struct Axis {
    const GridSizes* sizes;
    int count;
    int fixedCount;
    int fixedSize;   // summed sizes of the fixed rows or columns
    int clientEnd;   // client bottom or right
    int firstScrolled;
    int bar;         // SB_VERT or SB_HORZ
    int limit;       // top of the scroll range
  };
  Axis MakeAxis(bool bRows) const;
  static int LastVisible(const Axis& axis, BOOL bFully, int* pCovered);
  static int IndexFromOffset(const Axis& axis, int offset, BOOL bAllowFixed);
  static int StartOf(const Axis& axis, int index);
  void OnScroll(int nBar, UINT nSBCode);
  int LineStep(const Axis& axis, bool bForward) const;
  void ScrollBy(const Axis& axis, int nOldPos, int nNewPos, bool bLine);
  int LimitOf(int scrollable, int page) const { return scrollable > page ? scrollable - 1 : 0; }

  CGridCellData* GetCell(int nRow, int nCol) const;
  CGridRowArray* NewRow();
  void DeleteRowCells(int nRow, int nFromCol);
  void ApplyFont(const LOGFONTA& lf);
  void SwapRows(int nRow1, int nRow2);
  BOOL SetFixedCount(bool bRows, int nFixed);
  BOOL FitSize(bool bColumn, int nIndex);

  // Drawing helpers.
  CFont* CellFont(const LOGFONTA& lf, LONG lfWeight);
  void ClearFontCache();
  void DrawCellContent(CDC* pDC, const GridCellItem& item, CRect rect);
  void DrawHeaderEdge(CDC* pDC, int nRow, int nCol, CRect& rect);
  void DrawBlock(CDC* pDC, int rowFrom, int rowTo, int y, int colFrom, int colTo, int x, const CRect* pClip,
                 bool bHeader);
  void DrawGridLines(CDC* pDC, const GridCellRange& visible, const CRect& covered);
  void RepaintFixedOf(const GridCellRef& cell, bool bRowChanged, bool bColChanged);

  // Input helpers.
  void InvertBand(CPoint point);
  void StartSizing(const GridCellRef& pressed, CPoint point);
  void StartSelecting(UINT nFlags);
  void EndSizing(CPoint point);
  void MouseMoveWithButton(CPoint point);
  void MouseMoveIdle(CPoint point);
  void ShowTitleTip(CPoint point);
  BOOL IsOverDivider(bool bColumn, CPoint point) const;
  bool NextCellForKey(UINT nChar, bool bShift, GridCellRef* pNext, bool* pLineChange);
  GridCellRef PageMove(UINT nChar, GridCellRef next);
  void ScrollForKey(UINT nChar, bool bShift, bool bLineChange);
  void SelectWithKeys(const GridCellRef& next, bool bKeepAnchor);
  void DeleteFocusText();
  void ApplyCellState(const GridCellRef& cell, UINT nState, CDC* pDC, BOOL bDrawNow, const GridCellRange& shown);
  // lpszText null: the cell is cleared (state and text).
  void ChangeText(int nRow, int nCol, LPCTSTR lpszText);

  // Clipboard and printing helpers.
  HGLOBAL MakeCopyBlock() const;
  void MarkDropTarget(const GridCellRef& cell);
  void UnmarkDropTarget();
  DROPEFFECT DropEffectFor(DWORD dwKeyState) const;
  int PageRows(int nPage, int* pFirst, int* pEnd) const;
  void DrawPrintedRow(CDC* pDC, int nRow, int top, bool bFirstOnPage, bool bHeader);

 protected:
  BOOL m_bDblClickNotify = FALSE;
  COLORREF m_clrCellText;
  COLORREF m_clrCellBack;
  COLORREF m_clrBack;
  COLORREF m_clrFixedText;
  COLORREF m_clrFixedBack;
  COLORREF m_clrGridLines;
  COLORREF m_clrSysWindowText, m_clrSysWindow, m_clrSys3DFace, m_clrSysShadow;
  int m_nGridLineMode = GL_BOTH;
  BOOL m_bAllowEdit = TRUE;
  BOOL m_bChanged = FALSE;
  BOOL m_bDragDrop = FALSE;
  BOOL m_bListStyle = FALSE;
  BOOL m_bSingleRowSelect = FALSE;
  BOOL m_bRedraw = TRUE;
  BOOL m_bSelectable = TRUE;
  BOOL m_bHeaderSort = TRUE;
  BOOL m_bWantTab = TRUE;
  BOOL m_bBuffered = TRUE;
  BOOL m_bShowTitleTips = TRUE;
  int m_nRowCount = 0, m_nFixedRowCount = 0, m_nColCount = 0, m_nFixedColCount = 0;
  GridSizes m_rowHeights;
  GridSizes m_colWidths;
  int m_nCellMargin = 0;
  int m_nDefaultColWidth = 30;
  int m_nDefaultRowHeight = 10;
  int m_nVScrollLimit = 0, m_nHScrollLimit = 0;
  LOGFONTA m_lfGridFont{};
  CFont m_printFont;
  CFont m_gridFont;
  CImageList* m_pImages = nullptr;
  CObArray m_rows;
  int m_nMouseMode = MouseIdle;
  CPoint m_ptButtonDown, m_ptLastMouse;
  GridCellRef m_cellButtonDown, m_cellAnchor, m_cellFocus;
  UINT_PTR m_nScrollTimer = 0;
  UINT m_nScrollInterval = 25;
  int m_nDividerGrab = 3;
  BOOL m_bRowSizing = TRUE, m_bColSizing = TRUE;
  UINT m_nWheelLines = 3;
  CGridCellMap m_selectedCells;
  CGridCellMap m_keptCells;
  CGridTitleTip m_titleTip;
  BOOL m_bOleStarted = FALSE;
  GridCellRef m_cellDropTarget;
  CGridDropTarget m_dropTarget;
  CSize m_printCharSize;
  int m_nPrintBodyHeight = 0, m_nPrintPageWidth = 0, m_nPrintPageHeight = 0;
  CSize m_szPrintDevice;
  BOOL m_bSortUp = TRUE;
  int m_nSortColumn = -1;

 private:
  BOOL m_bPrinting = FALSE;          // BeginPrint made the page geometry
  BOOL m_bReleasingCapture = FALSE;  // the grid lets the mouse go itself
  std::vector<std::pair<LOGFONTA, CFont*>> m_fontCache;
};
