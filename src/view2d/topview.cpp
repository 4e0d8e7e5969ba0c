#include "view2d/topview.h"

#include <algorithm>

#include "doc/shell.h"
#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/model.h"
#include "models/plan_draw.h"
#include "view2d/planmodes_draw.h"
#include "view2d/planview_draw.h"

IMPLEMENT_DYNCREATE(CTopView, CView)

BEGIN_MESSAGE_MAP(CTopView, CView)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MBUTTONDOWN()
  ON_WM_MBUTTONUP()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_TIMER()
  ON_WM_SETCURSOR()
  ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

namespace {

PlanViewLook LookOfSettings() {
  const PlanWindowSettings& p = GetShell().GetPlanWindowSettings();
  PlanViewLook look;
  look.background = p.background;
  look.traceBox = p.traceBox;
  look.axis = p.axis;
  look.grid0 = p.grid0;
  look.grid1 = p.grid1;
  look.gridStyle = p.gridStyle;
  look.axisStyle = p.axisStyle;
  look.rubberBand = p.minRubberBand;
  return look;
}

}  // namespace

CTopView::~CTopView() { ReleaseOpening(); }

CVedraDoc* CTopView::PlanDocument() const {
  auto* doc = static_cast<CVedraDoc*>(GetDocument());
  return doc && doc->GetModel() ? doc : nullptr;
}

Frame* CTopView::PlanFrame() const {
  CVedraDoc* doc = PlanDocument();
  return doc ? &doc->GetModel()->m_frame : nullptr;
}

CSize CTopView::ClientSize() const {
  CRect r;
  GetClientRect(&r);
  return CSize(r.Width(), r.Height());
}

PlanZoomSettings CTopView::ZoomSettings() const {
  const PlanWindowSettings& p = GetShell().GetPlanWindowSettings();
  PlanZoomSettings s;
  s.minZoom = p.minZoom / 100000.0;
  s.maxZoom = p.maxZoom / 100000.0;
  s.gridFactor = p.gridFactor;
  s.timerStepPercent = p.zoomTimerStep;
  s.rubberBand = p.minRubberBand;
  return s;
}

void CTopView::PrepareMapping(CDC& dc) const {
  const Frame* frame = PlanFrame();
  const CPoint offset = frame ? CPoint(frame->m_originX, frame->m_originY) : CPoint(0, 0);
  PreparePlanDC(dc, m_state, ClientSize(), offset);
}

void CTopView::GridChanged() {
  if (m_pBar) m_pBar->GridChanged(m_state.grid);
}

void CTopView::ResetPlanView() {
  const CSize client = ClientSize();
  m_state = PlanViewState();
  m_state.panX = client.cx / 2;
  m_state.panY = client.cy / 2;
}

void CTopView::CreateTooltip() {
  if (m_tooltip.m_hWnd || !m_tooltip.Create(this, TTS_ALWAYSTIP)) return;
  m_tooltip.AddTool(this, LPSTR_TEXTCALLBACKA);
  m_tooltip.SetMaxTipWidth(32767);
  m_tooltip.SendMessage(TTM_SETDELAYTIME, TTDT_AUTOPOP, 32767);
  m_tooltip.SendMessage(TTM_SETDELAYTIME, TTDT_INITIAL, 200);
  m_tooltip.SendMessage(TTM_SETDELAYTIME, TTDT_RESHOW, 200);
}

void CTopView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  CreateTooltip();
  ResetPlanView();
  if (m_pBar) m_pBar->SwitchTool(PLAN_TOOL_WALL);
  else EnterMode(PLAN_MODE_WALL);
  SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

bool CTopView::UndoViewChange() {
  if (!m_history.Undo(m_state)) return false;
  Invalidate(FALSE);
  GridChanged();
  return true;
}

bool CTopView::RedoViewChange() {
  if (!m_history.Redo(m_state)) return false;
  Invalidate(FALSE);
  GridChanged();
  return true;
}

void CTopView::OnDraw(CDC* pDC) {
  if (pDC->IsPrinting()) {
    DrawForPrinter(*pDC);
    return;
  }
  const CSize client = ClientSize();
  CRect update(0, 0, client.cx, client.cy);
  if (auto* paint = dynamic_cast<CPaintDC*>(pDC)) update = paint->m_ps.rcPaint;
  const PlanViewLook look = LookOfSettings();
  CDC mem, map;
  mem.CreateCompatibleDC(pDC);
  map.CreateCompatibleDC(pDC);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(pDC, std::max<LONG>(client.cx, 1), std::max<LONG>(client.cy, 1));
  CBitmap* old = mem.SelectObject(&bitmap);
  CBrush back(look.background);
  CRect all(0, 0, client.cx, client.cy);
  ::FillRect(mem.GetSafeHdc(), &all, back);
  try {
    PlanPenCache pens;
    if (const Frame* frame = PlanFrame()) {
      PrepareMapping(map);
      const CRect* band = m_zoomRect ? m_zoomRect.get() : m_selectRect.get();
      DrawPlan(mem, map, update, client, m_state, look, *frame, band);
      if (!BandShown(band, look.rubberBand)) DrawOpeningPreview(*this, mem, map);
    }
  } catch (CException* e) {
    e->Delete();  // a pen that could not be made: this paint shows what was drawn
  }
  pDC->BitBlt(update.left, update.top, update.Width(), update.Height(), &mem, update.left,
              update.top, SRCCOPY);
  mem.SelectObject(old);
}

void CTopView::DispatchMouse(PlanMouseHandler PlanModeHandlers::*entry, UINT flags, CPoint point,
                             UINT buttonFlag) {
  if (!PlanDocument()) return;
  const PlanMouseHandler handler = PlanModeTable(m_mode).*entry;
  if (!handler) {
    Default();
    return;
  }
  // A press or release of one button while the other is held reaches nothing.
  if ((buttonFlag == MK_LBUTTON && (flags & MK_RBUTTON)) ||
      (buttonFlag == MK_RBUTTON && (flags & MK_LBUTTON)))
    return;
  CClientDC client(this);
  OnPrepareDC(&client, nullptr);
  CDC map;
  map.CreateCompatibleDC(&client);
  PrepareMapping(map);
  if (m_tools.plus) flags |= MK_CONTROL;
  handler(*this, client, map, point, flags | buttonFlag);
}

void CTopView::OnMouseMove(UINT flags, CPoint point) {
  if (PlanDocument() && PlanModeTable(m_mode).mouseMove) m_lastMouse = point;
  DispatchMouse(&PlanModeHandlers::mouseMove, flags, point, 0);
}

void CTopView::OnLButtonDown(UINT flags, CPoint point) {
  DispatchMouse(&PlanModeHandlers::lButtonDown, flags, point, MK_LBUTTON);
}

void CTopView::OnLButtonUp(UINT flags, CPoint point) {
  DispatchMouse(&PlanModeHandlers::lButtonUp, flags, point, MK_LBUTTON);
}

void CTopView::OnMButtonDown(UINT flags, CPoint point) {
  DispatchMouse(&PlanModeHandlers::mButtonDown, flags, point, MK_MBUTTON);
}

void CTopView::OnMButtonUp(UINT flags, CPoint point) {
  DispatchMouse(&PlanModeHandlers::mButtonUp, flags, point, MK_MBUTTON);
}

void CTopView::OnRButtonDown(UINT flags, CPoint point) {
  DispatchMouse(&PlanModeHandlers::rButtonDown, flags, point, MK_RBUTTON);
}

void CTopView::OnRButtonUp(UINT flags, CPoint point) {
  DispatchMouse(&PlanModeHandlers::rButtonUp, flags, point, MK_RBUTTON);
}

void CTopView::OnKeyDown(UINT key, UINT repeat, UINT) {
  if (!PlanDocument()) return;
  const PlanKeyHandler handler = PlanModeTable(m_mode).keyDown;
  if (!handler) {
    Default();
    return;
  }
  CClientDC client(this);
  OnPrepareDC(&client, nullptr);
  CDC map;
  map.CreateCompatibleDC(&client);
  PrepareMapping(map);
  handler(*this, client, map, key, repeat);
}

void CTopView::OnTimer(UINT_PTR id) {
  if (!PlanDocument()) return;
  const PlanTimerHandler handler = PlanModeTable(m_mode).timer;
  if (handler)
    handler(*this, id);
  else
    Default();
}

BOOL CTopView::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  const PlanCursorHandler handler = PlanModeTable(m_mode).setCursor;
  if (PlanDocument() && hitTest == HTCLIENT && handler && handler(*this, wnd, hitTest, message))
    return TRUE;
  return static_cast<BOOL>(Default());
}
