// Printing and print preview of views.
//
// CView::OnFilePrint (commands ID_FILE_PRINT and ID_FILE_PRINT_DIRECT) asks the view to prepare
// (OnPreparePrinting, which calls DoPreparePrinting: the print dialog, or the default printer for
// a direct print), then runs OnBeginPrinting, for each page OnPrepareDC and OnPrint (by default
// OnDraw), and OnEndPrinting. Without a printer the framework's message says so and nothing more
// happens. CView::OnFilePrintPreview shows the pages in a CPreviewView that takes the view's
// place in its frame, under a bar made from dialog template AFX_IDD_PREVIEW_TOOLBAR; its Close
// button (or Escape) puts the view back.
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

  CView* m_pPrintView = nullptr;
  CPrintInfo* m_pInfo = nullptr;
  CDialogBar* m_pToolBar = nullptr;
  CDC m_printerDC;               // attributes of the pages
  std::vector<HWND> m_hidden;    // the frame's bars hidden during the preview

  DECLARE_MESSAGE_MAP()
};
