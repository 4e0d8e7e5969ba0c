#include "view2d/plangrid.h"

#include <algorithm>
#include <cmath>

#include "doc/shell.h"
#include "models/frame.h"
#include "view2d/planview_draw.h"
#include "view2d/topview.h"

namespace {

struct ViewMapping {
  double pixelsPerUnit = 1.0;
  CSize client;
};

ViewMapping MappingOf(CTopView& view, const PlanViewState& state) {
  CRect r;
  view.GetClientRect(&r);
  CClientDC dc(&view);
  CDC map;
  map.CreateCompatibleDC(&dc);
  ViewMapping m;
  m.client = CSize(std::max<LONG>(r.Width(), 1), std::max<LONG>(r.Height(), 1));
  PreparePlanDC(map, state, m.client, CPoint(0, 0));
  m.pixelsPerUnit = PlanPixelsPerUnit(map);
  return m;
}

// Pixels of a screen step given in HIMETRIC.
double HimetricPixels(CTopView& view, int himetric) {
  CClientDC dc(&view);
  CSize s(himetric, himetric);
  dc.HIMETRICtoDP(&s);
  return s.cx;
}

GridLimits LimitsAt(CTopView& view, const PlanViewState& state) {
  const double ppu = MappingOf(view, state).pixelsPerUnit;
  const PlanWindowSettings& p = GetShell().GetPlanWindowSettings();
  GridLimits g;
  g.smallest = HimetricPixels(view, p.minGridStep) / ppu;
  g.largest = HimetricPixels(view, p.maxGridStep) / ppu;
  return g;
}

}  // namespace

GridLimits PlanGridLimits(CTopView& view) { return LimitsAt(view, view.m_state); }

bool CanEnlargeGrid(CTopView& view) { return PlanGridLimits(view).largest > 2.0 * view.m_state.grid; }

bool CanReduceGrid(CTopView& view) { return PlanGridLimits(view).smallest < view.m_state.grid / 2; }

void EnlargeGrid(CTopView& view) {
  if (!CanEnlargeGrid(view) || view.m_state.grid > INT32_MAX / 2) return;
  view.m_state.grid *= 2;
  view.Invalidate(FALSE);
}

void ReduceGrid(CTopView& view) {
  if (!CanReduceGrid(view)) return;
  view.m_state.grid = std::max(1, view.m_state.grid / 2);
  view.Invalidate(FALSE);
}

bool FitPlanView(CTopView& view, const Frame& plan) {
  CRect bounds = plan.GetBounds();
  bounds.NormalizeRect();
  if (bounds.IsRectEmpty()) return false;
  const PlanViewState saved = view.m_state;
  const ViewMapping now = MappingOf(view, saved);
  const double ratio = std::min(now.client.cx / (bounds.Width() * now.pixelsPerUnit),
                                now.client.cy / (bounds.Height() * now.pixelsPerUnit));
  const PlanWindowSettings& p = GetShell().GetPlanWindowSettings();
  PlanViewState next = saved;
  next.zoom = std::trunc(saved.zoom * ratio * 1000.0) * 0.001;
  next.zoom = std::clamp(next.zoom, p.minZoom / 100000.0, p.maxZoom / 100000.0);
  const GridLimits limits = LimitsAt(view, next);
  next.grid = AdaptGridSpacing(saved.grid, static_cast<int32_t>(limits.smallest),
                               static_cast<int32_t>(std::min(limits.largest, 1e9)), next.zoom < saved.zoom,
                               p.gridFactor);
  const ViewMapping fitted = MappingOf(view, next);
  const CPoint offset(plan.m_originX, plan.m_originY);
  const double midX = (bounds.left + bounds.right) / 2.0 - offset.x;
  const double midY = (bounds.top + bounds.bottom) / 2.0 - offset.y;
  next.panX = static_cast<int32_t>(std::lround(fitted.client.cx / 2.0 - midX * fitted.pixelsPerUnit));
  next.panY = static_cast<int32_t>(std::lround(fitted.client.cy / 2.0 + midY * fitted.pixelsPerUnit));
  const bool moved = std::abs(next.panX - saved.panX) > 5 || std::abs(next.panY - saved.panY) > 5;
  // A zoom in or out pushes as well as a move: every change of the view can be undone.
  if (saved.zoom - next.zoom < 0.001 || moved || next.zoom != saved.zoom) view.m_history.Push(saved);
  view.m_state = next;
  return true;
}
