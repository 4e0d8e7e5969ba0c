// Zoom and pan modes: they change only the view's state. A press zooms in (left) or out
// (right) on the timer while the button is held still, a dragged band zooms to fill the window,
// the middle button pans; each gesture leaves one undo record.
#include <algorithm>
#include <cstdlib>

#include "doc/shell.h"
#include "models/frame.h"
#include "view2d/planmodes.h"
#include "view2d/planview_draw.h"
#include "view2d/topview.h"

namespace {

void SetZoomCursor(CTopView& view, int id) {
  g_planZoomCursor = id;
  view.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(view.m_hWnd),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

// The grid's smallest and largest screen step, in logical units of the mapping.
struct GridLimits {
  int32_t smallest;
  int32_t largest;
};

GridLimits GridLimitsOf(const CDC& mapping) {
  CSize lo(GetShell().GetPlanWindowSettings().minGridStep, GetShell().GetPlanWindowSettings().minGridStep);
  CSize hi(GetShell().GetPlanWindowSettings().maxGridStep, GetShell().GetPlanWindowSettings().maxGridStep);
  mapping.HIMETRICtoLP(&lo);
  mapping.HIMETRICtoLP(&hi);
  return {std::abs(lo.cx), std::abs(hi.cy)};
}

// Keeps the grid within its screen limits at the view's (new) zoom.
void AdaptGrid(CTopView& view, bool zoomOut) {
  CClientDC client(&view);
  CDC map;
  map.CreateCompatibleDC(&client);
  view.PrepareMapping(map);
  const GridLimits g = GridLimitsOf(map);
  view.m_state.grid = AdaptGridSpacing(view.m_state.grid, g.smallest, g.largest, zoomOut,
                                       view.ZoomSettings().gridFactor);
}

// A size keeps its signs through the DC's size conversions, which give lengths.
CSize WithSigns(CSize length, CSize signs) {
  return CSize(signs.cx < 0 ? -length.cx : length.cx, signs.cy < 0 ? -length.cy : length.cy);
}

// A logical size at the view's current zoom as a device size, and back; signs kept.
CSize ToDevice(CTopView& view, CSize logical) {
  CClientDC client(&view);
  CDC map;
  map.CreateCompatibleDC(&client);
  view.PrepareMapping(map);
  CSize s = logical;
  map.LPtoDP(&s);
  return WithSigns(s, logical);
}

CSize ToLogical(CTopView& view, CSize device) {
  CClientDC client(&view);
  CDC map;
  map.CreateCompatibleDC(&client);
  view.PrepareMapping(map);
  CSize s = device;
  map.DPtoLP(&s);
  return WithSigns(s, device);
}

void EndCapture(CTopView& view) {
  if (CWnd::GetCapture() == &view) ::ReleaseCapture();
}

// The band's zoom: the band's centre comes to the middle of the client area.
void ZoomToBand(CTopView& view, const CDC& mapping, CRect band, bool zoomIn) {
  const CSize client = view.ClientSize();
  const double zoom = RectangleZoom(view.m_state.zoom, client.cx, client.cy, band.Width(),
                                    band.Height(), zoomIn, view.ZoomSettings());
  if (zoom == view.m_state.zoom) {
    view.m_pendingUndo.reset();
    return;
  }
  mapping.DPtoLP(&band);
  const Frame* frame = view.PlanFrame();
  const CSize centre((band.left + band.right) / 2 + frame->m_originX,
                     (band.top + band.bottom) / 2 + frame->m_originY);
  view.m_state.zoom = zoom;
  AdaptGrid(view, !zoomIn);
  const CSize device = ToDevice(view, centre);
  view.m_state.panX = client.cx / 2 - device.cx;
  view.m_state.panY = client.cy / 2 + device.cy;
}

}  // namespace

void ZoomButtonDown(CTopView& view, CDC&, CDC&, CPoint& point, UINT flags) {
  view.SetCapture();
  view.m_history.ClearRedo();
  view.m_pendingUndo = std::make_unique<PlanViewState>(view.m_state);
  view.m_zoomRect = std::make_unique<CRect>(point, point);
  view.m_zoomCentre = std::make_unique<CPoint>(point);
  const bool in = (flags & MK_LBUTTON) != 0;
  SetZoomCursor(view, in ? IDC_PLAN_ZOOM_IN : IDC_PLAN_ZOOM_OUT);
  view.SetTimer(in ? PLAN_TIMER_ZOOM_IN : PLAN_TIMER_ZOOM_OUT,
                static_cast<UINT>(GetShell().GetPlanWindowSettings().zoomTimerInterval));
}

void ZoomMouseMove(CTopView& view, CDC& client, CDC& mapping, CPoint& point, UINT flags) {
  if (flags & MK_MBUTTON) {
    PanMouseMove(view, client, mapping, point, flags);
    return;
  }
  if (!view.m_pendingUndo || !view.m_zoomRect) return;
  CRect& band = *view.m_zoomRect;
  if (std::abs(std::min(band.right - band.left, band.bottom - band.top)) >= 2) {
    // Dragged: the gesture becomes a band zoom.
    view.KillTimer(PLAN_TIMER_ZOOM_IN);
    view.KillTimer(PLAN_TIMER_ZOOM_OUT);
  } else if (view.m_zoomCentre) {
    *view.m_zoomCentre = point;
  }
  CRect old = band;
  old.NormalizeRect();
  band.right = point.x;
  band.bottom = point.y;
  CRect now = band;
  now.NormalizeRect();
  CRect area;
  area.UnionRect(&old, &now);
  area.InflateRect(5, 5);
  view.InvalidateRect(&area, FALSE);
}

void ZoomTimer(CTopView& view, UINT_PTR id) {
  if (!view.m_zoomCentre || (id != PLAN_TIMER_ZOOM_IN && id != PLAN_TIMER_ZOOM_OUT)) return;
  const bool in = id == PLAN_TIMER_ZOOM_IN;
  const CPoint c = *view.m_zoomCentre;
  const CSize held = ToLogical(view, CSize(view.m_state.panX - c.x, view.m_state.panY - c.y));
  const TimerZoomStep step = StepTimerZoom(view.m_state.zoom, in, view.ZoomSettings());
  if (step.stop) view.KillTimer(id);
  if (step.zoom == view.m_state.zoom) return;
  view.m_state.zoom = step.zoom;
  AdaptGrid(view, !in);
  // The plan point under the zoom centre stays under it.
  const CSize back = ToDevice(view, held);
  view.m_state.panX = c.x + back.cx;
  view.m_state.panY = c.y + back.cy;
  view.Invalidate(FALSE);
  view.GridChanged();
}

void ZoomButtonUp(CTopView& view, CDC&, CDC& mapping, CPoint&, UINT flags) {
  SetZoomCursor(view, IDC_PLAN_ZOOM);
  if (view.m_pendingUndo && view.m_zoomRect) {
    CRect band = *view.m_zoomRect;
    band.NormalizeRect();
    if (std::min(band.Width(), band.Height()) >= view.ZoomSettings().rubberBand)
      ZoomToBand(view, mapping, band, (flags & MK_LBUTTON) != 0);
  }
  view.m_zoomRect.reset();
  view.m_zoomCentre.reset();
  view.KillTimer(PLAN_TIMER_ZOOM_IN);
  view.KillTimer(PLAN_TIMER_ZOOM_OUT);
  if (view.m_pendingUndo) {
    view.m_history.Push(*view.m_pendingUndo);
    view.m_pendingUndo.reset();
  }
  view.Invalidate(FALSE);
  view.GridChanged();
  EndCapture(view);
}

void PanButtonDown(CTopView& view, CDC&, CDC&, CPoint& point, UINT) {
  SetZoomCursor(view, IDC_PLAN_PAN);
  view.SetCapture();
  view.m_history.Push(view.m_state);
  view.m_panPoint = std::make_unique<CPoint>(point);
}

void PanMouseMove(CTopView& view, CDC&, CDC&, CPoint& point, UINT) {
  if (!view.m_panPoint) return;
  view.m_state.panX += point.x - view.m_panPoint->x;
  view.m_state.panY += point.y - view.m_panPoint->y;
  *view.m_panPoint = point;
  view.Invalidate(FALSE);
}

void PanButtonUp(CTopView& view, CDC&, CDC&, CPoint&, UINT) {
  SetZoomCursor(view, IDC_PLAN_ZOOM);
  view.m_panPoint.reset();
  EndCapture(view);
}
