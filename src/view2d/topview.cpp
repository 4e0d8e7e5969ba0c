#include "view2d/topview.h"

#include <algorithm>

#include "app/vedra.h"
#include "app/vedradoc.h"
#include "models/frame.h"
#include "models/model.h"
#include "models/plan_draw.h"
#include "models/openingtables.h"
#include "models/planhost.h"
#include "view2d/planbar.h"
#include "view2d/planview_draw.h"

IMPLEMENT_DYNCREATE(CTopView, CView)

BEGIN_MESSAGE_MAP(CTopView, CView)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_MBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

namespace {

PlanViewLook LookOfSettings() {
  const PlanWindowSettings& p = theApp.m_plan;
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

// The marked walls: those at the start of the chain's last wall, highlighted with their lengths.
void UnmarkUnselectedWalls(CVedraDoc& doc) {
  for (INT_PTR i = doc.m_markedWalls.GetSize() - 1; i >= 0; --i) {
    Wall* w = static_cast<Wall*>(doc.m_markedWalls.GetAt(i));
    if (doc.IsWallSelected(w)) continue;
    w->SetMarked(false);
    doc.m_markedWalls.RemoveAt(i);
  }
}

}  // namespace

void MarkWallsAtChainEnd(CVedraDoc& doc, const Frame& frame) {
  Wall* last = frame.GetLastDrawnWall();
  if (!last) return;
  WallPole* pole = last->m_pStart;
  for (int j = 0; j < pole->GetDegree(); ++j) {
    Wall* w = pole->GetJoinWall(j);
    for (INT_PTR i = doc.m_markedWalls.GetSize() - 1; i >= 0; --i)
      if (doc.m_markedWalls.GetAt(i) == w) doc.m_markedWalls.RemoveAt(i);
    doc.m_markedWalls.Add(w);
    w->SetMarked(true);
  }
}

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

void CTopView::ResetPlanView() {
  const CSize client = ClientSize();
  m_state = PlanViewState();
  m_state.panX = client.cx / 2;
  m_state.panY = client.cy / 2;
}

CTopView::~CTopView() { ReleaseOpeningInstance(m_tools.opening); }

void CTopView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  ResetPlanView();
  if (CPlanBar* bar = CPlanBar::OfView(this)) bar->SetDefaultEditMode();
  else m_mode = PLAN_MODE_WALL;
}

bool CTopView::UndoViewChange() {
  if (!m_history.Undo(m_state)) return false;
  Invalidate(FALSE);
  return true;
}

bool CTopView::RedoViewChange() {
  if (!m_history.Redo(m_state)) return false;
  Invalidate(FALSE);
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
    if (const Frame* frame = PlanFrame()) {
      PreparePlanDC(map, m_state, client, CPoint(frame->m_originX, frame->m_originY));
      DrawPlan(mem, map, update, client, m_state, look, *frame, nullptr);
    }
  } catch (CException* e) {
    e->Delete();  // a pen that could not be made: this paint shows what was drawn
  }
  pDC->BitBlt(update.left, update.top, update.Width(), update.Height(), &mem, update.left,
              update.top, SRCCOPY);
  mem.SelectObject(old);
}

CPoint CTopView::ToPlan(CPoint client, UINT flags) const {
  const Frame* frame = PlanFrame();
  CClientDC dc(const_cast<CTopView*>(this));
  CDC map;
  map.CreateCompatibleDC(&dc);
  PreparePlanDC(map, m_state, ClientSize(), CPoint(frame->m_originX, frame->m_originY));
  map.DPtoLP(&client);
  const CPoint p = SnapToGrid(client, m_state.grid, static_cast<int>(flags));
  return CPoint(p.x + frame->m_originX, p.y + frame->m_originY);
}

void CTopView::OnMouseMove(UINT flags, CPoint point) {
  m_lastMouse = point;
  Frame* frame = PlanFrame();
  if (!frame || m_mode != PLAN_MODE_WALL) return;
  CPoint p = ToPlan(point, flags);
  CRect rect;
  if (frame->TrackDrawnWall(p, 0, rect)) Invalidate(FALSE);
}

void CTopView::OnLButtonDown(UINT flags, CPoint point) {
  CVedraDoc* doc = PlanDocument();
  if (!doc || (flags & MK_RBUTTON) || m_mode != PLAN_MODE_WALL) return;
  Frame& frame = doc->GetModel()->m_frame;
  const CPoint p = ToPlan(point, flags);
  const int32_t thickness = m_tools.wallThickness;
  const int32_t height = m_tools.wallHeight;
  UnmarkUnselectedWalls(*doc);
  CRect rect;
  frame.AddDrawnWall(p, 0, height, static_cast<uint32_t>(thickness), rect);
  MarkWallsAtChainEnd(*doc, frame);
  Invalidate(FALSE);
}

void CTopView::TakeBackLastWall() {
  CVedraDoc* doc = PlanDocument();
  if (!doc || m_mode != PLAN_MODE_WALL) return;
  Frame& frame = doc->GetModel()->m_frame;
  UnmarkUnselectedWalls(*doc);
  CRect rect;
  frame.RemoveLastDrawnWall(rect);
  MarkWallsAtChainEnd(*doc, frame);
  Invalidate(FALSE);
}

void CTopView::OnMButtonDown(UINT, CPoint) { TakeBackLastWall(); }

void CTopView::OnKeyDown(UINT key, UINT, UINT) {
  if (key == VK_ESCAPE) TakeBackLastWall();
}

void CTopView::OnRButtonDown(UINT flags, CPoint point) {
  CVedraDoc* doc = PlanDocument();
  if (!doc || (flags & MK_LBUTTON) || m_mode != PLAN_MODE_WALL) return;
  Frame& frame = doc->GetModel()->m_frame;
  const CPoint p = ToPlan(point, flags);
  UnmarkUnselectedWalls(*doc);
  CRect rect;
  frame.FinishDrawnWalls(p, 0, rect);
  MarkWallsAtChainEnd(*doc, frame);
  Invalidate(FALSE);
}
