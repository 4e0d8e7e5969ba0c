#include "afx/winprint.h"

#include "afx/winapp.h"
#include "afx/windoc.h"
#include "afx/winmsg.h"

IMPLEMENT_DYNCREATE(CPreviewView, CView)

namespace {
const char kNoPrinter[] = "No printer is installed. Install a printer and try again.";
const char kPrintFailed[] = "The document could not be printed.";
}  // namespace

CPrintInfo::CPrintInfo() : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION)) {
  SetMinPage(1);
  SetMaxPage(0xFFFF);
  m_pPD->m_pd.nFromPage = 1;
  m_pPD->m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo() {
  if (m_pPD->m_pd.hDC) ::DeleteDC(m_pPD->m_pd.hDC);
  delete m_pPD;
}

UINT CPrintInfo::GetFromPage() const { return (m_pPD->m_pd.Flags & PD_PAGENUMS) ? m_pPD->m_pd.nFromPage : GetMinPage(); }
UINT CPrintInfo::GetToPage() const { return (m_pPD->m_pd.Flags & PD_PAGENUMS) ? m_pPD->m_pd.nToPage : GetMaxPage(); }

// ---- the view's printing hooks

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }
void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }

void CView::OnEndPrintPreview(CDC* pDC, CPrintInfo* pInfo, POINT, CPreviewView* pView) {
  OnEndPrinting(pDC, pInfo);
  pView->ClosePreview();
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo) {
  CWinApp* app = AfxGetApp();
  CPrintDialog* pd = pInfo->m_pPD;
  if (pInfo->m_bPreview || pInfo->m_bDirect) {
    PRINTDLGA defaults{};
    if (!app || !app->GetPrinterDeviceDefaults(&defaults)) {
      AfxMessageBox(kNoPrinter, MB_OK | MB_ICONINFORMATION);
      return FALSE;
    }
    pd->m_pd.hDevMode = defaults.hDevMode;
    pd->m_pd.hDevNames = defaults.hDevNames;
    if (!pd->m_pd.hDC) pd->CreatePrinterDC();
    return pd->m_pd.hDC != nullptr;
  }
  PRINTDLGA defaults{};
  if (!app || !app->GetPrinterDeviceDefaults(&defaults)) {
    AfxMessageBox(kNoPrinter, MB_OK | MB_ICONINFORMATION);
    return FALSE;
  }
  if (app->DoPrintDialog(pd) != IDOK) return FALSE;
  if (!pd->m_pd.hDC) pd->CreatePrinterDC();
  return pd->m_pd.hDC != nullptr;
}

void CView::OnFilePrint() {
  CPrintInfo info;
  info.m_bDirect = LOWORD(GetCurrentMessage()->wParam) == ID_FILE_PRINT_DIRECT;
  if (!OnPreparePrinting(&info)) return;
  CDC dc;
  dc.Attach(info.m_pPD->m_pd.hDC);
  info.m_pPD->m_pd.hDC = nullptr;  // the CDC deletes it
  dc.m_bPrinting = TRUE;
  OnBeginPrinting(&dc, &info);
  CString title = m_pDocument ? m_pDocument->GetTitle() : CString(AfxGetAppName());
  DOCINFOA di{};
  di.cbSize = sizeof di;
  di.lpszDocName = title;
  if (dc.StartDoc(&di) <= 0) {
    OnEndPrinting(&dc, &info);
    AfxMessageBox(kPrintFailed, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  UINT last = info.GetToPage();
  for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= last; ++info.m_nCurPage) {
    OnPrepareDC(&dc, &info);
    if (!info.m_bContinuePrinting) break;
    dc.StartPage();
    info.m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
    dc.DPtoLP(&info.m_rectDraw);
    OnPrint(&dc, &info);
    dc.EndPage();
  }
  dc.EndDoc();
  OnEndPrinting(&dc, &info);
}

void CView::OnFilePrintPreview() {
  DoPrintPreview(AFX_IDD_PREVIEW_TOOLBAR, this, RUNTIME_CLASS(CPreviewView), nullptr);
}

BOOL CView::DoPrintPreview(UINT nIDResource, CView* pPrintView, CRuntimeClass* pPreviewViewClass, void*) {
  CFrameWnd* frame = GetParentFrame();
  if (!frame) return FALSE;
  auto* preview = DYNAMIC_DOWNCAST(CPreviewView, pPreviewViewClass->CreateObject());
  if (!preview) return FALSE;
  CCreateContext context;
  context.m_pCurrentDoc = nullptr;
  if (!preview->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW & ~WS_BORDER, CRect(0, 0, 0, 0), frame,
                       AFX_IDW_PANE_FIRST + 1, &context)) {
    delete preview;
    return FALSE;
  }
  if (!preview->SetPrintView(pPrintView, nIDResource)) {
    preview->DestroyWindow();
    return FALSE;
  }
  return TRUE;
}

// ---- CPreviewView

BEGIN_MESSAGE_MAP(CPreviewView, CView)
  ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnPreviewClose)
  ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnNextPage)
  ON_COMMAND(AFX_ID_PREVIEW_PREV, OnPrevPage)
  ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnPreviewPrint)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NEXT, OnUpdateNextPage)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_PREV, OnUpdatePrevPage)
  ON_WM_KEYDOWN()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CPreviewView::SetPrintView(CView* pPrintView, UINT nIDToolbar) {
  m_pPrintView = pPrintView;
  m_pInfo = new CPrintInfo;
  m_pInfo->m_bPreview = TRUE;
  if (!pPrintView->OnPreparePrinting(m_pInfo)) return FALSE;
  m_printerDC.Attach(m_pInfo->m_pPD->m_pd.hDC);
  m_pInfo->m_pPD->m_pd.hDC = nullptr;
  m_printerDC.m_bPrinting = TRUE;
  pPrintView->OnBeginPrinting(&m_printerDC, m_pInfo);

  CFrameWnd* frame = GetParentFrame();
  // The frame's bars and the view give way to the preview and its own bar.
  for (HWND h = ::GetWindow(frame->m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (h != m_hWnd && ::IsWindowVisible(h)) {
      m_hidden.push_back(h);
      ::ShowWindow(h, SW_HIDE);
    }
  }
  m_pToolBar = new CDialogBar;
  m_pToolBar->m_bAutoDelete = TRUE;
  if (!m_pToolBar->Create(frame, nIDToolbar, CBRS_TOP, AFX_IDW_CONTROLBAR_FIRST + 20)) {
    delete m_pToolBar;
    m_pToolBar = nullptr;
  } else {
    m_pToolBar->SetOwner(this);
    m_pToolBar->ShowWindow(SW_SHOW);
  }
  ::SetWindowLongPtrA(m_hWnd, GWLP_ID, AFX_IDW_PANE_FIRST);
  ::SetWindowLongPtrA(pPrintView->m_hWnd, GWLP_ID, AFX_IDW_PANE_FIRST + 1);
  frame->SetActiveView(this, FALSE);
  frame->RecalcLayout();
  ShowWindow(SW_SHOW);
  SetFocus();
  return TRUE;
}

BOOL CPreviewView::OnEraseBkgnd(CDC*) { return TRUE; }

void CPreviewView::OnDraw(CDC* pDC) {
  CRect client;
  GetClientRect(&client);
  CBrush back(::GetSysColor(COLOR_APPWORKSPACE));
  pDC->FillRect(&client, &back);
  if (!m_pInfo || !m_printerDC.m_hDC) return;
  // The page keeps the printer's proportions, as large as the window allows.
  int pw = m_printerDC.GetDeviceCaps(HORZRES), ph = m_printerDC.GetDeviceCaps(VERTRES);
  if (pw <= 0 || ph <= 0) return;
  int margin = 8, aw = client.Width() - 2 * margin, ah = client.Height() - 2 * margin;
  if (aw <= 0 || ah <= 0) return;
  int w = aw, h = ::MulDiv(aw, ph, pw);
  if (h > ah) {
    h = ah;
    w = ::MulDiv(ah, pw, ph);
  }
  CRect page(client.left + (client.Width() - w) / 2, client.top + (client.Height() - h) / 2, 0, 0);
  page.right = page.left + w;
  page.bottom = page.top + h;
  pDC->FillSolidRect(&page, RGB(255, 255, 255));
  int saved = pDC->SaveDC();
  CDC pageDC;
  pageDC.m_hDC = pDC->m_hDC;
  pageDC.m_hAttribDC = m_printerDC.m_hDC;
  pageDC.m_bPrinting = TRUE;
  m_pInfo->m_bContinuePrinting = TRUE;
  m_pPrintView->OnPrepareDC(&pageDC, m_pInfo);
  // Scale the printer's device units onto the page rectangle.
  ::SetMapMode(pageDC.m_hDC, MM_ANISOTROPIC);
  ::SetWindowExtEx(pageDC.m_hDC, pw, ph, nullptr);
  ::SetViewportExtEx(pageDC.m_hDC, w, h, nullptr);
  ::SetViewportOrgEx(pageDC.m_hDC, page.left, page.top, nullptr);
  ::IntersectClipRect(pageDC.m_hDC, 0, 0, pw, ph);
  m_pInfo->m_rectDraw.SetRect(0, 0, pw, ph);
  if (m_pInfo->m_bContinuePrinting) m_pPrintView->OnPrint(&pageDC, m_pInfo);
  pageDC.m_hDC = pageDC.m_hAttribDC = nullptr;
  pDC->RestoreDC(saved);
}

void CPreviewView::ClosePreview() {
  CFrameWnd* frame = GetParentFrame();
  if (m_pToolBar) {
    m_pToolBar->DestroyWindow();
    m_pToolBar = nullptr;
  }
  for (HWND h : m_hidden)
    if (::IsWindow(h)) ::ShowWindow(h, SW_SHOW);
  m_hidden.clear();
  if (m_pPrintView) {
    ::SetWindowLongPtrA(m_pPrintView->m_hWnd, GWLP_ID, AFX_IDW_PANE_FIRST);
    ::SetWindowLongPtrA(m_hWnd, GWLP_ID, AFX_IDW_PANE_FIRST + 1);
    if (frame) frame->SetActiveView(m_pPrintView, FALSE);
  }
  delete m_pInfo;
  m_pInfo = nullptr;
  m_printerDC.DeleteDC();
  DestroyWindow();  // deletes this view
  if (frame) frame->RecalcLayout();
}

void CPreviewView::OnPreviewClose() {
  if (m_pPrintView) m_pPrintView->OnEndPrintPreview(&m_printerDC, m_pInfo, CPoint(0, 0), this);
  else ClosePreview();
}

void CPreviewView::OnNextPage() {
  if (m_pInfo && m_pInfo->m_nCurPage < m_pInfo->GetMaxPage()) ++m_pInfo->m_nCurPage;
  Invalidate();
}

void CPreviewView::OnPrevPage() {
  if (m_pInfo && m_pInfo->m_nCurPage > m_pInfo->GetMinPage()) --m_pInfo->m_nCurPage;
  Invalidate();
}

void CPreviewView::OnPreviewPrint() {
  CView* view = m_pPrintView;
  OnPreviewClose();
  if (view) view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
}

void CPreviewView::OnUpdateNextPage(CCmdUI* pCmdUI) {
  pCmdUI->Enable(m_pInfo && m_pInfo->GetMaxPage() != 0xFFFF && m_pInfo->m_nCurPage < m_pInfo->GetMaxPage());
}

void CPreviewView::OnUpdatePrevPage(CCmdUI* pCmdUI) { pCmdUI->Enable(m_pInfo && m_pInfo->m_nCurPage > m_pInfo->GetMinPage()); }

void CPreviewView::OnKeyDown(UINT nChar, UINT, UINT) {
  if (nChar == VK_ESCAPE) OnPreviewClose();
  else Default();
}
