// Printing and print preview of views.
//
// CView::OnFilePrint (commands ID_FILE_PRINT and ID_FILE_PRINT_DIRECT) asks the view to prepare
// (OnPreparePrinting, which calls DoPreparePrinting: the print dialog, or the default printer for
// a direct print), then runs OnBeginPrinting, for each page OnPrepareDC and OnPrint (by default
// OnDraw), and OnEndPrinting. Without a printer the framework's message says so and nothing more
// happens. CView::OnFilePrintPreview shows the pages in a CPreviewView that takes the view's
// place in its frame, under a bar made from dialog template AFX_IDD_PREVIEW_TOOLBAR; its Close
// button (or Escape) puts the view back. The bar's zoom buttons step the pages from fitted to the
// window, to half and then full printed size at the screen's resolution (one page, scrolled);
// its page-count button shows one page or two side by side while the pages are fitted.
#pragma once
#include "afx/wincommdlg.h"
#include "afx/winbar.h"
#include "afx/wingdi.h"
#include "afx/winview.h"


class CPrintInfo {
 public:
  CPrintInfo();
  ~CPrintInfo();
  CPrintInfo(const CPrintInfo&) = delete;
  CPrintInfo& operator=(const CPrintInfo&) = delete;

  CPrintDialog* m_pPD;
  BOOL m_bDirect = FALSE;
  BOOL m_bPreview = FALSE;
  BOOL m_bContinuePrinting = TRUE;
  UINT m_nCurPage = 1;
  UINT m_nNumPreviewPages = 1;
  LPVOID m_lpUserData = nullptr;
  CRect m_rectDraw;
  CString m_strPageDesc;

  void SetMinPage(UINT nMinPage) { m_pPD->m_pd.nMinPage = static_cast<WORD>(nMinPage); }
  void SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(nMaxPage); }
  UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
  UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
  UINT GetFromPage() const;
  UINT GetToPage() const;
};

class CPreviewView : public CView {
  DECLARE_DYNCREATE(CPreviewView)
 public:
  enum { ZOOM_OUT = 0, ZOOM_MIDDLE = 1, ZOOM_IN = 2 };
  UINT GetZoomState() const { return m_nZoomState; }
  // Pages shown side by side while the pages are fitted (1 or 2).
  UINT GetPageCount() const { return m_nPages; }
  // Where the current page is drawn in the client area (empty before the first drawing).
  CRect GetPageRect() const { return m_rectPage; }

  // Takes pPrintView's place in its frame; FALSE when the printer cannot be prepared.
  BOOL SetPrintView(CView* pPrintView, UINT nIDToolbar);
  void OnDraw(CDC* pDC) override;
  CView* GetPrintView() const { return m_pPrintView; }
  CPrintInfo* GetPrintInfo() const { return m_pInfo; }
  // Ends the preview: the view and the frame's bars come back, the preview goes.
  void ClosePreview();

 protected:
  afx_msg void OnPreviewClose();
  afx_msg void OnNextPage();
  afx_msg void OnPrevPage();
  afx_msg void OnPreviewPrint();
  afx_msg void OnUpdateNextPage(CCmdUI* pCmdUI);
  afx_msg void OnUpdatePrevPage(CCmdUI* pCmdUI);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnNumPageChange();
  afx_msg void OnZoomIn();
  afx_msg void OnZoomOut();
  afx_msg void OnUpdateNumPageChange(CCmdUI* pCmdUI);
  afx_msg void OnUpdateZoomIn(CCmdUI* pCmdUI);
  afx_msg void OnUpdateZoomOut(CCmdUI* pCmdUI);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnSize(UINT nType, int cx, int cy);

  // The size of one page in the window at the current zoom (empty without a printer).
  CSize PageSize() const;
  // Draws page nPage of the printed view into page (client coordinates).
  void DrawPage(CDC* pDC, const CRect& page, UINT nPage);
  // The pages zoomed: scroll bars over the page, else none; the position kept in range.
  void UpdateScrollBars();
  void ScrollBy(int nBar, UINT nSBCode, UINT nPos);
  void SetZoomState(UINT nState);

  CView* m_pPrintView = nullptr;
  CPrintInfo* m_pInfo = nullptr;
  CDialogBar* m_pToolBar = nullptr;
  CDC m_printerDC;               // attributes of the pages
  std::vector<HWND> m_hidden;    // the frame's bars hidden during the preview
  UINT m_nZoomState = ZOOM_OUT;
  UINT m_nPages = 1;
  CPoint m_scroll;               // top left of the window over the zoomed page
  CRect m_rectPage;

  DECLARE_MESSAGE_MAP()
};
