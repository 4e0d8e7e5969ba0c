// CView: a child window that shows a document inside a frame.
// The view is created by its frame from a CCreateContext (which names the document), is one of
// the document's views until it is destroyed, and deletes itself then. WM_PAINT runs
// OnPrepareDC and OnDraw; commands go to the view, then its document (and its template).
#pragma once
#include "afx/winframe.h"

class CPrintInfo;
class CPreviewView;

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)
 public:
  CView() = default;
  ~CView() override;
  CDocument* GetDocument() const { return m_pDocument; }
  CFrameWnd* GetParentFrame() const { return CWnd::GetParentFrame(); }

  virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
  virtual void OnDraw(CDC* pDC) = 0;
  virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
  virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
  virtual void OnActivateFrame(UINT, CFrameWnd*) {}

  // Printing hooks: OnPreparePrinting (calls DoPreparePrinting to ask for the printer),
  // OnBeginPrinting, OnPrepareDC and OnPrint for each page, OnEndPrinting.
  virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
  virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT point, CPreviewView* pView);
  BOOL DoPreparePrinting(CPrintInfo* pInfo);
  BOOL DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass, void* pState);
  afx_msg void OnFilePrint();
  afx_msg void OnFilePrintPreview();

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  void PostNcDestroy() override { delete this; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnPaint();
  afx_msg LRESULT OnInitialUpdateMsg(WPARAM, LPARAM);

  CDocument* m_pDocument = nullptr;
  friend class CDocument;

  DECLARE_MESSAGE_MAP()
};

