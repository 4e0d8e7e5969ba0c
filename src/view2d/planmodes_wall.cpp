// Wall drawing mode: each left click adds a wall to the chain, the free end follows the mouse
// (scrolling the view near its edges), Escape or the middle button takes the last wall back,
// a right click joins the chain into the plan.
#include "doc/shell.h"
#include "doc/vedradoc.h"
#include "models/frame.h"
#include "view2d/planmodes.h"
#include "view2d/topview.h"

namespace {

// HIMETRIC units as device pixels of the client DC (by the logical inch, whatever the zoom).
CSize HimetricPixels(CDC& client, int units) {
  CSize s(units, units);
  client.HIMETRICtoDP(&s);
  return s;
}

// The plan area a step touched, as the device rectangle to repaint (with the margin that covers
// dimension labels and joints).
CRect RepaintArea(CTopView& view, CDC& client, const CDC& mapping, CRect area) {
  const Frame* frame = view.PlanFrame();
  area.NormalizeRect();
  area.OffsetRect(-frame->m_originX, -frame->m_originY);
  mapping.LPtoDP(&area);
  area.NormalizeRect();
  const CSize margin = HimetricPixels(client, 2 * GetShell().GetPlanWindowSettings().repaintMargin);
  area.InflateRect(margin.cx + 5, margin.cy + 5);
  return area;
}

// Near an edge of the view the plan scrolls toward the mouse by how far it is past the margin.
void ScrollNearEdges(CTopView& view, CDC& client, CPoint device) {
  const CSize e = HimetricPixels(client, 1000);
  CRect inner;
  view.GetClientRect(&inner);
  inner.DeflateRect(e.cx, e.cy);
  if (inner.PtInRect(device)) return;
  int dx = 0, dy = 0;
  if (device.x < inner.left) dx = device.x - inner.left;
  if (device.x >= inner.right) dx = device.x - inner.right;
  if (device.y < inner.top) dy = device.y - inner.top;
  if (device.y >= inner.bottom) dy = device.y - inner.bottom;
  view.m_state.panX -= dx;
  view.m_state.panY -= dy;
  view.Invalidate(FALSE);
}

void TakeBackLastWall(CTopView& view) {
  PlanSelection& selection = view.PlanDocument()->GetSelection();
  Frame& frame = *view.PlanFrame();
  selection.UnmarkUnselectedWalls();
  CRect area;
  frame.RemoveLastDrawnWall(area);
  selection.MarkWallsAtChainEnd(frame);
  view.Invalidate(FALSE);
}

}  // namespace

void WallLButtonDown(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT flags) {
  PlanSelection& selection = view.PlanDocument()->GetSelection();
  Frame& frame = *view.PlanFrame();
  const CPoint p = PlanPointOf(view, mapping, point, flags);
  selection.UnmarkUnselectedWalls();
  CRect area;
  frame.AddDrawnWall(p, static_cast<int>(flags), view.m_tools.wallHeight,
                     static_cast<uint32_t>(view.m_tools.wallThickness), area);
  selection.MarkWallsAtChainEnd(frame);
  view.Invalidate(FALSE);
}

void WallMouseMove(CTopView& view, CDC& client, CDC& mapping, CPoint& point, UINT flags) {
  const CPoint device = point;
  CPoint p = PlanPointOf(view, mapping, point, flags);
  CRect area;
  if (!view.PlanFrame()->TrackDrawnWall(p, static_cast<int>(flags), area)) return;
  const CRect repaint = RepaintArea(view, client, mapping, area);
  view.InvalidateRect(&repaint, FALSE);
  ScrollNearEdges(view, client, device);
}

void WallKeyDown(CTopView& view, CDC&, CDC&, UINT key, UINT) {
  if (key == VK_ESCAPE) TakeBackLastWall(view);
}

void WallMButtonDown(CTopView& view, CDC&, CDC&, CPoint&, UINT) { TakeBackLastWall(view); }

void WallRButtonDown(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT flags) {
  PlanSelection& selection = view.PlanDocument()->GetSelection();
  Frame& frame = *view.PlanFrame();
  const CPoint p = PlanPointOf(view, mapping, point, flags);
  selection.UnmarkUnselectedWalls();
  CRect area;
  frame.FinishDrawnWalls(p, static_cast<int>(flags), area);
  selection.MarkWallsAtChainEnd(frame);
  view.Invalidate(FALSE);
}
