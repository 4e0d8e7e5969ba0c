#include "afx/winprint.h"

#include <climits>

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
  ON_COMMAND(AFX_ID_PREVIEW_NUMPAGE, OnNumPageChange)
  ON_COMMAND(AFX_ID_PREVIEW_ZOOMIN, OnZoomIn)
  ON_COMMAND(AFX_ID_PREVIEW_ZOOMOUT, OnZoomOut)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NUMPAGE, OnUpdateNumPageChange)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMIN, OnUpdateZoomIn)
  ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMOUT, OnUpdateZoomOut)
  ON_WM_KEYDOWN()
  ON_WM_ERASEBKGND()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_SIZE()
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

namespace {
const int kPageMargin = 8;  // around and between the pages, in pixels
const char kOnePage[] = "한 페이지(&T)";
const char kTwoPages[] = "두 페이지(&T)";
}  // namespace

CSize CPreviewView::PageSize() const {
  if (!m_printerDC.m_hDC) return CSize(0, 0);
  int pw = m_printerDC.GetDeviceCaps(HORZRES), ph = m_printerDC.GetDeviceCaps(VERTRES);
  CRect window;  // the whole window: scroll bars shown while zoomed do not change the sizes
  ::GetWindowRect(m_hWnd, &window);
  int pages = static_cast<int>(m_nPages);
  int aw = (window.Width() - (pages + 1) * kPageMargin) / pages, ah = window.Height() - 2 * kPageMargin;
  if (pw <= 0 || ph <= 0 || aw <= 0 || ah <= 0) return CSize(0, 0);
  // Fitted: the pages keep the printer's proportions, as large as the window allows.
  int w = aw;
  if (::MulDiv(aw, ph, pw) > ah) w = ::MulDiv(ah, pw, ph);
  if (m_nZoomState != ZOOM_OUT) {
    // Zoomed in: the printed size at the screen's resolution, and never less than twice the
    // page fitted alone; half-way there in the middle.
    HDC screen = ::GetDC(nullptr);
    int actual = ::MulDiv(pw, ::GetDeviceCaps(screen, LOGPIXELSX), m_printerDC.GetDeviceCaps(LOGPIXELSX));
    ::ReleaseDC(nullptr, screen);
    int alone = (window.Width() - 2 * kPageMargin);
    if (::MulDiv(alone, ph, pw) > ah) alone = ::MulDiv(ah, pw, ph);
    int full = actual > 2 * alone ? actual : 2 * alone;
    w = m_nZoomState == ZOOM_IN ? full : (alone + full) / 2;
  }
  return CSize(w, ::MulDiv(w, ph, pw));
}

void CPreviewView::OnDraw(CDC* pDC) {
  CRect client;
  GetClientRect(&client);
  CBrush back(::GetSysColor(COLOR_APPWORKSPACE));
  pDC->FillRect(&client, &back);
  m_rectPage.SetRectEmpty();
  CSize size = PageSize();
  if (!m_pInfo || size.cx <= 0) return;
  UINT shown = m_nZoomState == ZOOM_OUT ? m_nPages : 1;
  if (m_pInfo->m_nCurPage >= m_pInfo->GetMaxPage()) shown = 1;  // no page after the last
  int total = static_cast<int>(shown) * size.cx + static_cast<int>(shown - 1) * kPageMargin;
  // Centred where they fit, else from the margin, moved by the scroll position.
  int left = total + 2 * kPageMargin <= client.Width() ? (client.Width() - total) / 2 : kPageMargin - m_scroll.x;
  int top = size.cy + 2 * kPageMargin <= client.Height() ? (client.Height() - size.cy) / 2 : kPageMargin - m_scroll.y;
  UINT current = m_pInfo->m_nCurPage;
  for (UINT i = 0; i < shown; ++i) {
    CRect page(left, top, left + size.cx, top + size.cy);
    page.OffsetRect(static_cast<int>(i) * (size.cx + kPageMargin), 0);
    if (i == 0) m_rectPage = page;
    DrawPage(pDC, page, current + i);
  }
  m_pInfo->m_nCurPage = current;
}

// A page the view does not go on to (past the end of its document) is not shown.
void CPreviewView::DrawPage(CDC* pDC, const CRect& page, UINT nPage) {
  int pw = m_printerDC.GetDeviceCaps(HORZRES), ph = m_printerDC.GetDeviceCaps(VERTRES);
  int saved = pDC->SaveDC();
  CDC pageDC;
  pageDC.m_hDC = pDC->m_hDC;
  pageDC.m_hAttribDC = m_printerDC.m_hDC;
  pageDC.m_bPrinting = TRUE;
  m_pInfo->m_nCurPage = nPage;
  m_pInfo->m_bContinuePrinting = TRUE;
  m_pPrintView->OnPrepareDC(&pageDC, m_pInfo);
  if (m_pInfo->m_bContinuePrinting) {
    // Scale the printer's device units onto the page rectangle.
    ::SetMapMode(pageDC.m_hDC, MM_ANISOTROPIC);
    ::SetWindowExtEx(pageDC.m_hDC, pw, ph, nullptr);
    ::SetViewportExtEx(pageDC.m_hDC, page.Width(), page.Height(), nullptr);
    ::SetViewportOrgEx(pageDC.m_hDC, page.left, page.top, nullptr);
    ::SetWindowOrgEx(pageDC.m_hDC, 0, 0, nullptr);
    ::IntersectClipRect(pageDC.m_hDC, 0, 0, pw, ph);
    RECT paper = {0, 0, pw, ph};
    ::FillRect(pageDC.m_hDC, &paper, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    m_pInfo->m_rectDraw.SetRect(0, 0, pw, ph);
    m_pPrintView->OnPrint(&pageDC, m_pInfo);
  }
  pageDC.m_hDC = pageDC.m_hAttribDC = nullptr;
  pDC->RestoreDC(saved);
}

void CPreviewView::UpdateScrollBars() {
  CSize size = PageSize();
  bool zoomed = m_nZoomState != ZOOM_OUT && size.cx > 0;
  ShowScrollBar(SB_BOTH, zoomed);
  if (!zoomed) {
    m_scroll = CPoint(0, 0);
    return;
  }
  CRect client;
  GetClientRect(&client);
  const int extent[2] = {size.cx + 2 * kPageMargin, size.cy + 2 * kPageMargin};
  const int page[2] = {client.Width(), client.Height()};
  LONG* position[2] = {&m_scroll.x, &m_scroll.y};
  for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
    int most = extent[bar] > page[bar] ? extent[bar] - page[bar] : 0;
    if (*position[bar] > most) *position[bar] = most;
    if (*position[bar] < 0) *position[bar] = 0;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    info.nMax = extent[bar] - 1;
    info.nPage = static_cast<UINT>(page[bar]);
    info.nPos = *position[bar];
    SetScrollInfo(bar, &info);
  }
}

void CPreviewView::ScrollBy(int nBar, UINT nSBCode, UINT nPos) {
  CRect client;
  GetClientRect(&client);
  LONG& position = nBar == SB_HORZ ? m_scroll.x : m_scroll.y;
  int pageStep = nBar == SB_HORZ ? client.Width() : client.Height();
  switch (nSBCode) {
    case SB_LINEUP: position -= 16; break;
    case SB_LINEDOWN: position += 16; break;
    case SB_PAGEUP: position -= pageStep; break;
    case SB_PAGEDOWN: position += pageStep; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: position = static_cast<LONG>(nPos); break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = LONG_MAX / 2; break;
    default: return;
  }
  UpdateScrollBars();
  Invalidate();
}

void CPreviewView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*) { ScrollBy(SB_HORZ, nSBCode, nPos); }
void CPreviewView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*) { ScrollBy(SB_VERT, nSBCode, nPos); }

void CPreviewView::OnSize(UINT, int, int) {
  UpdateScrollBars();
  Invalidate();
}

void CPreviewView::SetZoomState(UINT nState) {
  if (nState == m_nZoomState) return;
  m_nZoomState = nState;
  m_scroll = CPoint(0, 0);
  UpdateScrollBars();
  Invalidate();
}

void CPreviewView::OnZoomIn() {
  if (m_nZoomState < ZOOM_IN) SetZoomState(m_nZoomState + 1);
}

void CPreviewView::OnZoomOut() {
  if (m_nZoomState > ZOOM_OUT) SetZoomState(m_nZoomState - 1);
}

void CPreviewView::OnNumPageChange() {
  if (m_nZoomState != ZOOM_OUT) return;
  m_nPages = 3 - m_nPages;
  if (m_pInfo) m_pInfo->m_nNumPreviewPages = m_nPages;
  if (m_pToolBar)
    if (CWnd* button = m_pToolBar->GetDlgItem(AFX_ID_PREVIEW_NUMPAGE))
      button->SetWindowText(m_nPages == 1 ? kTwoPages : kOnePage);
  Invalidate();
}

void CPreviewView::OnUpdateNumPageChange(CCmdUI* pCmdUI) {
  pCmdUI->Enable(m_pInfo && m_nZoomState == ZOOM_OUT && (m_pInfo->GetMaxPage() > 1 || m_nPages > 1));
}

void CPreviewView::OnUpdateZoomIn(CCmdUI* pCmdUI) { pCmdUI->Enable(m_nZoomState != ZOOM_IN); }
void CPreviewView::OnUpdateZoomOut(CCmdUI* pCmdUI) { pCmdUI->Enable(m_nZoomState != ZOOM_OUT); }

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
