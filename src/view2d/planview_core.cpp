#include "view2d/planview_core.h"

#include <algorithm>
#include <cmath>

void PlanViewHistory::Push(const PlanViewState& saved) {
  m_redo.clear();
  m_undo.push_back(saved);
}

namespace {

bool SwapWithTop(std::vector<PlanViewState>& from, std::vector<PlanViewState>& to,
                 PlanViewState& current) {
  if (from.empty()) return false;
  PlanViewState top = from.back();
  from.pop_back();
  to.push_back(current);
  current = top;
  return true;
}

int32_t SnapCoord(int32_t c, double s) {
  const double q = c > 0 ? std::trunc(c / s + 0.5) : std::trunc(c / s - 0.5);
  const double v = q * s;
  return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

}  // namespace

bool PlanViewHistory::Undo(PlanViewState& current) { return SwapWithTop(m_undo, m_redo, current); }
bool PlanViewHistory::Redo(PlanViewState& current) { return SwapWithTop(m_redo, m_undo, current); }

CPoint SnapToGrid(CPoint logical, int32_t grid, int flags) {
  if ((flags & kPlanNoSnapFlag) || grid <= 0) return logical;
  const double s = grid;
  return CPoint(SnapCoord(logical.x, s), SnapCoord(logical.y, s));
}

double RectangleZoom(double zoom, int width, int height, int w, int h, bool zoomIn,
                     const PlanZoomSettings& s) {
  if (w <= 0 || h <= 0) return zoom;
  const double rx = static_cast<double>(width) / w, ry = static_cast<double>(height) / h;
  if (zoomIn) return std::min(std::trunc(zoom * std::min(rx, ry) * 1000.0) * 0.001, s.maxZoom);
  return std::max(std::trunc(zoom / std::max(rx, ry) * 1000.0) * 0.001, s.minZoom);
}

TimerZoomStep StepTimerZoom(double zoom, bool zoomIn, const PlanZoomSettings& s) {
  const double step = s.timerStepPercent * 0.01;
  TimerZoomStep r;
  r.zoom = zoom * (zoomIn ? 1.0 + step : 1.0 - step);
  if (zoomIn && r.zoom > s.maxZoom) r = {s.maxZoom, true};
  if (!zoomIn && r.zoom < s.minZoom) r = {s.minZoom, true};
  return r;
}

int32_t AdaptGridSpacing(int32_t spacing, int32_t smallest, int32_t largest, bool zoomOut,
                         int factor) {
  if (factor < 2) return spacing;
  int64_t s = std::max(spacing, 1);
  if (zoomOut) {
    while (s <= smallest && s * factor <= INT32_MAX) s *= factor;
  } else {
    while (s >= largest && s / factor >= 1) s /= factor;
  }
  return static_cast<int32_t>(s);
}

bool GridLevelShown(int64_t spacing, double pixelsPerUnit) {
  return spacing >= 1 && spacing * std::fabs(pixelsPerUnit) >= kMinGridPixels;
}

std::vector<int32_t> GridCoordinates(int64_t step, int32_t low, int32_t high) {
  std::vector<int32_t> out;
  if (step < 1 || low > high) return out;
  // Outward from 0, starting at the first multiple inside the range on each side.
  const int64_t up = low > 0 ? (low + step - 1) / step * step : 0;
  for (int64_t c = up; c <= high; c += step) out.push_back(static_cast<int32_t>(c));
  const int64_t down = high < 0 ? -((-static_cast<int64_t>(high) + step - 1) / step) * step : -step;
  for (int64_t c = down; c >= low; c -= step) out.push_back(static_cast<int32_t>(c));
  return out;
}
