// The grid printed in pages: a blank header band, the headings (the fixed rows) on every page,
// the body rows that fit, and a footer with the page number and the date, the page scaled so
// that all columns and four characters of margin on each side fill its width.
#include <ctime>

#include "controls/gridctrl.h"

namespace {
const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
const UINT kFooterFormat = DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;

// A bold copy of a font, with transparent text, selected for the life of the object.
class BoldText {
 public:
  BoldText(CDC* pDC, const CFont& font) : m_pDC(pDC) {
    LOGFONTA lf;
    font.GetLogFont(&lf);
    lf.lfWeight = 700;
    m_bold.CreateFontIndirect(&lf);
    m_pOld = pDC->SelectObject(&m_bold);
    m_nOldMode = pDC->SetBkMode(TRANSPARENT);
  }
  ~BoldText() {
    m_pDC->SetBkMode(m_nOldMode);
    m_pDC->SelectObject(m_pOld);
  }

 private:
  CDC* m_pDC;
  CFont m_bold;
  CFont* m_pOld;
  int m_nOldMode;
};
}  // namespace

// The body rows of a page: a page ends before the row that would take its rows past the body
// height, and a row taller than that has a page of its own. [*pFirst, *pEnd) are the rows of
// page nPage (-1 when there is no such page); the result is the number of pages.
int CGridCtrl::PageRows(int nPage, int* pFirst, int* pEnd) const {
  int page = 1, sum = 0;
  *pFirst = *pEnd = -1;
  for (int row = m_nFixedRowCount; row < m_nRowCount; row++) {
    const int height = GetRowHeight(row);
    if (sum > 0 && sum + height > m_nPrintBodyHeight) {
      page++;
      sum = 0;
    }
    sum += height;
    if (page != nPage) continue;
    if (*pFirst < 0) *pFirst = row;
    *pEnd = row + 1;
  }
  return page;
}

void CGridCtrl::BeginPrint(CDC* pDC, CPrintInfo* pInfo) {
  m_bPrinting = FALSE;
  if (!pDC || !pInfo || m_nRowCount == m_nFixedRowCount) return;
  CDC* pScreenDC = GetDC();
  if (!pScreenDC) return;
  m_printFont.DeleteObject();
  m_printFont.CreateFont(-9, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Times New Roman");
  CFont* old = pDC->SelectObject(&m_printFont);
  const CSize letters = pDC->GetTextExtent(kAlphabet, 52);
  m_printCharSize = CSize(letters.cx / 52, letters.cy);
  m_szPrintDevice = CSize(pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
  m_nPrintPageWidth = GetTotalWidth() + 8 * m_printCharSize.cx;
  m_nPrintPageHeight = ::MulDiv(m_nPrintPageWidth, m_szPrintDevice.cy, m_szPrintDevice.cx);
  m_nPrintBodyHeight = m_nPrintPageHeight - 6 * m_printCharSize.cy - GetFixedHeight();
  int first, end;
  pInfo->SetMaxPage(PageRows(0, &first, &end));
  pInfo->m_nCurPage = 1;
  ReleaseDC(pScreenDC);
  pDC->SelectObject(old);
  m_bPrinting = TRUE;
}

// One printed row of cells from x 0 with its lines: the bottom edges reach one pixel left into
// the cell before, the right edges one pixel up into the row above (not on a page's first row);
// row 0 gets its top edge and column 0 its left edge as well.
void CGridCtrl::DrawPrintedRow(CDC* pDC, int nRow, int top, bool bFirstOnPage, bool bHeader) {
  const bool horizontal = m_nGridLineMode == GL_HORZ || m_nGridLineMode == GL_BOTH;
  const bool vertical = m_nGridLineMode == GL_VERT || m_nGridLineMode == GL_BOTH;
  int left = 0;
  for (int col = 0; col < m_nColCount; col++) {
    const CRect rect(left, top, left + GetColumnWidth(col) - 1, top + GetRowHeight(nRow) - 1);
    left = rect.right + 1;
    if (bHeader)
      DrawHeaderCell(pDC, nRow, col, rect, FALSE);
    else
      DrawBodyCell(pDC, nRow, col, rect, FALSE);
    if (horizontal) {
      pDC->MoveTo(col == 0 ? rect.left : rect.left - 1, rect.bottom);
      pDC->LineTo(rect.right, rect.bottom);
      if (nRow == 0) {
        pDC->MoveTo(rect.left, rect.top);
        pDC->LineTo(rect.right, rect.top);
      }
    }
    if (vertical) {
      pDC->MoveTo(rect.right, bFirstOnPage ? rect.top : rect.top - 1);
      pDC->LineTo(rect.right, rect.bottom);
      if (col == 0) {
        pDC->MoveTo(rect.left, rect.top);
        pDC->LineTo(rect.left, rect.bottom);
      }
    }
  }
}

void CGridCtrl::PrintPage(CDC* pDC, CPrintInfo* pInfo) {
  if (!m_bPrinting || !pDC || !pInfo) return;
  const int cx = m_printCharSize.cx, cy = m_printCharSize.cy;
  CFont* old = pDC->SelectObject(&m_printFont);
  pDC->SetMapMode(MM_ANISOTROPIC);
  pDC->SetWindowExt(m_nPrintPageWidth, m_nPrintPageHeight);
  pDC->SetViewportExt(m_szPrintDevice.cx, m_szPrintDevice.cy);
  pDC->SetWindowOrg(-4 * cx, 0);
  pInfo->m_rectDraw.SetRect(0, 0, m_nPrintPageWidth - 8 * cx, 2 * cy);
  PrintPageHeader(pDC, pInfo);
  int top = 3 * cy;  // two header lines and a blank one
  pDC->SetWindowOrg(-4 * cx, -top);
  pInfo->m_rectDraw.bottom = GetFixedHeight();
  PrintHeadings(pDC, pInfo);
  top += GetFixedHeight();
  pDC->SetWindowOrg(-4 * cx, -top);
  int first, end;
  PageRows((int)pInfo->m_nCurPage, &first, &end);
  if (first >= 0) {
    int y = 0;
    for (int row = first; row < end; row++) {
      DrawPrintedRow(pDC, row, y, row == first, false);
      y += GetRowHeight(row);
    }
    pInfo->m_rectDraw.bottom = 2 * cy;
    pDC->SetWindowOrg(-4 * cx, 2 * cy - m_nPrintPageHeight);
    PrintPageFooter(pDC, pInfo);
  }
  pDC->SetWindowOrg(0, 0);
  pDC->SelectObject(old);
}

void CGridCtrl::EndPrint(CDC*, CPrintInfo*) {
  m_printFont.DeleteObject();
  m_bPrinting = FALSE;
}

void CGridCtrl::PrintHeadings(CDC* pDC, CPrintInfo*) {
  CFont* old = pDC->SelectObject(&m_printFont);
  int y = 0;
  for (int row = 0; row < m_nFixedRowCount; row++) {
    DrawPrintedRow(pDC, row, y, row == 0, true);
    y += GetRowHeight(row);
  }
  pDC->SelectObject(old);
}

void CGridCtrl::PrintPageHeader(CDC* pDC, CPrintInfo*) { BoldText bold(pDC, m_printFont); }

void CGridCtrl::PrintPageFooter(CDC* pDC, CPrintInfo* pInfo) {
  CRect rect = pInfo->m_rectDraw;
  pDC->MoveTo(rect.left, rect.top);
  pDC->LineTo(rect.right, rect.top);
  BoldText bold(pDC, m_printFont);
  rect.OffsetRect(0, m_printCharSize.cy / 2);
  CString page;
  page.Format("Page %d of %d", (int)pInfo->m_nCurPage, (int)pInfo->GetMaxPage());
  pDC->DrawText(page, &rect, DT_LEFT | kFooterFormat);
  char when[128] = "";
  const time_t now = time(nullptr);
  if (const tm* local = localtime(&now)) strftime(when, sizeof when, "%c", local);
  pDC->DrawText(when, -1, &rect, DT_RIGHT | kFooterFormat);
}
