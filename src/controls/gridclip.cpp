// The grid's cell text through the clipboard and OLE drag and drop: the selection's copy text
// (CF_TEXT), cut, paste at the focus cell, dragging the selection out and dropping text onto an
// editable cell.
#include <vector>

#include "controls/gridctrl.h"

namespace {

// The grid's cells as the copy text sees them.
class SelectedCells : public GridTextCells {
 public:
  explicit SelectedCells(const CGridCtrl& grid) : m_grid(grid) {}
  bool IsCellSelected(int row, int col) const override { return (m_grid.GetCellState(row, col) & GCS_SELECTED) != 0; }
  CString CellText(int row, int col) const override { return m_grid.GetCellText(row, col); }

 private:
  const CGridCtrl& m_grid;
};

}  // namespace

// The selection's copy text in a block of global memory the size of the text; null when there is
// no selection or no memory.
HGLOBAL CGridCtrl::MakeCopyBlock() const {
  const GridCellRange range = GetSelectionBounds();
  if (!IsValidRange(range)) return nullptr;
  CSharedFile file(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT);
  try {
    WriteGridCopyText(SelectedCells(*this), range, file);
  } catch (CException* e) {
    e->Delete();
    return nullptr;
  }
  const SIZE_T length = (SIZE_T)file.GetLength();
  HGLOBAL block = file.Detach();
  HGLOBAL shrunk = block ? ::GlobalReAlloc(block, length, GMEM_MOVEABLE) : nullptr;
  if (!shrunk && block) ::GlobalFree(block);
  return shrunk;
}

COleDataSource* CGridCtrl::MakeClipboardSource() {
  HGLOBAL block = MakeCopyBlock();
  if (!block) return nullptr;
  auto* source = new COleDataSource;
  source->CacheGlobalData(CF_TEXT, block);
  return source;
}

void CGridCtrl::ClearSelectedText() {
  if (!m_bAllowEdit) return;
  std::vector<GridCellRef> cells;
  GridCellRef key, cell;
  for (POSITION pos = m_selectedCells.GetStartPosition(); pos;) {
    m_selectedCells.GetNextAssoc(pos, key, cell);
    cells.push_back(cell);
  }
  for (const GridCellRef& c : cells)
    if (GetCell(c.row, c.col) && CanEditCell(c.row, c.col)) ChangeText(c.row, c.col, nullptr);
  Invalidate();
}

BOOL CGridCtrl::PasteText(const GridCellRef& topLeft, COleDataObject* pDataObject) {
  if (!IsValidCell(topLeft) || !CanEditCell(topLeft.row, topLeft.col) || !pDataObject ||
      !pDataObject->IsDataAvailable(CF_TEXT))
    return FALSE;
  HGLOBAL block = pDataObject->GetGlobalData(CF_TEXT);
  const char* text = block ? static_cast<const char*>(::GlobalLock(block)) : nullptr;
  if (!text) {
    if (block) ::GlobalFree(block);
    return FALSE;
  }
  // Read to the block's end at most: text from another program need not end with a zero byte.
  SplitGridPasteText(text, ::GlobalSize(block), m_nRowCount - topLeft.row, m_nColCount - topLeft.col,
                     [&](int line, int field, const CString& value) {
                       const int row = topLeft.row + line, col = topLeft.col + field;
                       ChangeText(row, col, value);
                       SetCellState(row, col, GetCellState(row, col) & ~GCS_SELECTED);
                     });
  ::GlobalUnlock(block);
  ::GlobalFree(block);
  Invalidate();
  return TRUE;
}

void CGridCtrl::DoCopy() {
  COleDataSource* source = MakeClipboardSource();
  if (source) source->SetClipboard();
}

void CGridCtrl::DoCut() {
  if (!m_bAllowEdit) return;
  DoCopy();
  ClearSelectedText();
}

void CGridCtrl::DoPaste() {
  if (!m_bAllowEdit) return;
  const GridCellRef target = IsValidCell(m_cellFocus) ? m_cellFocus : GetFirstScrolledCell();
  COleDataObject data;
  if (IsValidCell(target) && data.AttachClipboard()) PasteText(target, &data);
  data.Release();
}

void CGridCtrl::DoSelectAll() { SelectAll(); }

void CGridCtrl::OnUpdateEditCopy(CCmdUI* pCmdUI) { pCmdUI->Enable(IsValidRange(GetSelectionBounds())); }

void CGridCtrl::OnUpdateEditCut(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bAllowEdit && IsValidRange(GetSelectionBounds())); }

void CGridCtrl::OnUpdateEditPaste(CCmdUI* pCmdUI) {
  pCmdUI->Enable(IsValidCell(m_cellFocus) && CanEditCell(m_cellFocus.row, m_cellFocus.col) &&
                 ::IsClipboardFormatAvailable(CF_TEXT));
}

void CGridCtrl::OnUpdateEditSelectAll(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bSelectable); }

// ---- drag and drop

void CGridCtrl::StartDrag() {
  if (!m_bDragDrop) return;
  COleDataSource* source = MakeClipboardSource();
  if (!source) return;
  const GridCellRange range = GetSelectionBounds();
  NotifyOwner(range.minRow, range.minCol, LVN_BEGINDRAG);
  m_nMouseMode = MouseDragging;
  const DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
  if (effect & DROPEFFECT_MOVE) ClearSelectedText();
  source->InternalRelease();
  m_nMouseMode = MouseIdle;  // the drag took the button's release
}

void CGridCtrl::MarkDropTarget(const GridCellRef& cell) {
  SetCellState(cell.row, cell.col, GetCellState(cell.row, cell.col) | GCS_DROPTARGET);
  RepaintCell(cell.row, cell.col);
}

void CGridCtrl::UnmarkDropTarget() {
  const GridCellRef& cell = m_cellDropTarget;
  if (!IsValidCell(cell)) return;
  SetCellState(cell.row, cell.col, GetCellState(cell.row, cell.col) & ~GCS_DROPTARGET);
  RepaintCell(cell.row, cell.col);
}

DROPEFFECT CGridCtrl::DropEffectFor(DWORD dwKeyState) const {
  return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DROPEFFECT CGridCtrl::DragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
  if (!m_bDragDrop || !pDataObject->IsDataAvailable(CF_TEXT)) return DROPEFFECT_NONE;
  m_cellDropTarget = CellFromPoint(point, FALSE);
  if (!IsValidCell(m_cellDropTarget) || !CanEditCell(m_cellDropTarget.row, m_cellDropTarget.col)) return DROPEFFECT_NONE;
  MarkDropTarget(m_cellDropTarget);
  return DropEffectFor(dwKeyState);
}

DROPEFFECT CGridCtrl::DragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
  if (!m_bDragDrop || !m_bAllowEdit || !pDataObject->IsDataAvailable(CF_TEXT)) return DROPEFFECT_NONE;
  const GridCellRef cell = CellFromPoint(point, FALSE);
  if (!IsValidCell(cell)) {
    UnmarkDropTarget();
    m_cellDropTarget = GridCellRef();
    return DROPEFFECT_NONE;
  }
  if (!CanEditCell(cell.row, cell.col)) return DROPEFFECT_NONE;
  const DROPEFFECT effect = DropEffectFor(dwKeyState);
  if (cell == m_cellDropTarget) return effect;
  UnmarkDropTarget();
  m_cellDropTarget = cell;
  MarkDropTarget(cell);
  return effect;
}

void CGridCtrl::DragLeave() { UnmarkDropTarget(); }

BOOL CGridCtrl::Drop(COleDataObject* pDataObject, DROPEFFECT, CPoint) {
  if (!m_bDragDrop || !IsValidCell(m_cellDropTarget) || !CanEditCell(m_cellDropTarget.row, m_cellDropTarget.col))
    return FALSE;
  m_nMouseMode = MouseIdle;
  UnmarkDropTarget();
  return PasteText(m_cellDropTarget, pDataObject);
}

CImageList* CGridCtrl::MakeDragImage(POINT* pHotSpot) {
  CRect rect;
  CDC* pDC = GetDC();
  if (!pDC || !GetCellBounds(m_cellFocus.row, m_cellFocus.col, &rect)) {
    if (pDC) ReleaseDC(pDC);
    return nullptr;
  }
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (pHotSpot) *pHotSpot = POINT{width, height};
  auto* images = new CImageList;
  if (!images->Create(width, height, ILC_MASK, 1, 1)) {
    delete images;
    ReleaseDC(pDC);
    return nullptr;
  }
  CDC memDC;
  CBitmap bitmap;
  memDC.CreateCompatibleDC(pDC);
  bitmap.CreateCompatibleBitmap(pDC, width, height);
  CBitmap* old = memDC.SelectObject(&bitmap);
  DrawBodyCell(&memDC, m_cellFocus.row, m_cellFocus.col, CRect(0, 0, width, height), TRUE);
  memDC.SelectObject(old);
  ReleaseDC(pDC);
  images->Add(&bitmap, m_clrCellBack);
  return images;
}
