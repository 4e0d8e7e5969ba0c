#include "view2d/planview_draw.h"

#include <algorithm>
#include <cmath>

#include "models/frame.h"
#include "models/plan_draw.h"

void PreparePlanDC(CDC& dc, const PlanViewState& state, CSize client, CPoint planOffset) {
  CSize metre(100000, 100000);
  dc.HIMETRICtoDP(&metre);
  const double px = std::max<LONG>(metre.cx, 1), py = std::max<LONG>(metre.cy, 1);
  dc.SetMapMode(MM_ANISOTROPIC);
  const double w = static_cast<double>(client.cx) * 100000.0 / px / state.zoom;
  const double h = static_cast<double>(client.cy) * 100000.0 / py / state.zoom;
  dc.SetWindowExt(std::max(1, static_cast<int>(std::min(w, 2e9))),
                  std::max(1, static_cast<int>(std::min(h, 2e9))));
  dc.SetViewportExt(std::max<LONG>(client.cx, 1), -std::max<LONG>(client.cy, 1));
  dc.SetViewportOrg(0, 0);
  CPoint offset = planOffset;
  dc.LPtoDP(&offset);
  dc.SetViewportOrg(state.panX + offset.x, state.panY + offset.y);
}

double PlanPixelsPerUnit(const CDC& mapping) {
  const CSize window = mapping.GetWindowExt(), viewport = mapping.GetViewportExt();
  return window.cx ? std::fabs(static_cast<double>(viewport.cx) / window.cx) : 0.0;
}

namespace {

// The logical rectangle of the client area, normalised (bottom above top in plan terms).
CRect LogicalBounds(const CDC& mapping, CSize client) {
  CPoint a(0, 0), b(client.cx, client.cy);
  mapping.DPtoLP(&a);
  mapping.DPtoLP(&b);
  CRect r(a, b);
  r.NormalizeRect();
  return r;
}

CPoint Device(const CDC& mapping, int x, int y) {
  CPoint p(x, y);
  mapping.LPtoDP(&p);
  return p;
}

// Lines of one level: every multiple of the step, major every tenth (skipped here when the
// major level draws it).
void DrawGridLines(CDC& out, const CDC& mapping, const CRect& logical, const CRect& update,
                   int64_t step, bool skipTenths, int style, COLORREF colour) {
  PlanPen pen(out, style, colour);
  for (int32_t x : GridCoordinates(step, logical.left, logical.right)) {
    if (skipTenths && x % (step * 10) == 0) continue;
    const int dx = Device(mapping, x, 0).x;
    out.MoveTo(dx, update.top);
    out.LineTo(dx, update.bottom);
  }
  for (int32_t y : GridCoordinates(step, logical.top, logical.bottom)) {
    if (skipTenths && y % (step * 10) == 0) continue;
    const int dy = Device(mapping, 0, y).y;
    out.MoveTo(update.left, dy);
    out.LineTo(update.right, dy);
  }
}

void DrawGridDots(CDC& out, const CDC& mapping, const CRect& logical, int64_t step, bool minorShown,
                  const PlanViewLook& look) {
  const int64_t s = minorShown ? step : step * 10;
  const std::vector<int32_t> xs = GridCoordinates(s, logical.left, logical.right);
  const std::vector<int32_t> ys = GridCoordinates(s, logical.top, logical.bottom);
  const int64_t major = step * 10;
  for (int32_t x : xs)
    for (int32_t y : ys) {
      const CPoint d = Device(mapping, x, y);
      out.SetPixel(d.x, d.y, (x % major == 0 && y % major == 0) ? look.grid1 : look.grid0);
    }
}

// The grid: a level whose lines stand under two pixels apart is left out.
void DrawGrid(CDC& out, const CDC& mapping, const CRect& logical, const CRect& update,
              int32_t spacing, const PlanViewLook& look) {
  const double ppu = PlanPixelsPerUnit(mapping);
  const bool minor = GridLevelShown(spacing, ppu), major = GridLevelShown(int64_t{spacing} * 10, ppu);
  if (look.gridStyle == 1) {
    if (major) DrawGridDots(out, mapping, logical, spacing, minor, look);
    return;
  }
  if (look.gridStyle != 2 && look.gridStyle != 3) return;
  const int style = look.gridStyle == 2 ? PS_DOT : PS_SOLID;
  if (minor) DrawGridLines(out, mapping, logical, update, spacing, true, style, look.grid0);
  if (major) DrawGridLines(out, mapping, logical, update, int64_t{spacing} * 10, false, style, look.grid1);
}

void DrawTicks(CDC& out, const CDC& mapping, const CRect& logical, int32_t spacing) {
  if (!GridLevelShown(spacing, PlanPixelsPerUnit(mapping))) return;
  const CPoint zero = Device(mapping, 0, 0);
  for (int32_t x : GridCoordinates(spacing, logical.left, logical.right)) {
    const int len = x % (int64_t{spacing} * 10) == 0 ? 4 : 2;
    const int dx = Device(mapping, x, 0).x;
    out.MoveTo(dx, zero.y - len);
    out.LineTo(dx, zero.y + len + 1);
  }
  for (int32_t y : GridCoordinates(spacing, logical.top, logical.bottom)) {
    const int len = y % (int64_t{spacing} * 10) == 0 ? 4 : 2;
    const int dy = Device(mapping, 0, y).y;
    out.MoveTo(zero.x - len, dy);
    out.LineTo(zero.x + len + 1, dy);
  }
}

// The axes through logical (0, 0), with their ticks in style 2.
void DrawAxes(CDC& out, const CDC& mapping, const CRect& logical, const CRect& update,
              int32_t spacing, const PlanViewLook& look) {
  if (look.axisStyle != 1 && look.axisStyle != 2) return;
  PlanPen pen(out, PS_SOLID, look.axis);
  if (look.axisStyle == 2) DrawTicks(out, mapping, logical, spacing);
  const CPoint zero = Device(mapping, 0, 0);
  out.MoveTo(update.left, zero.y);
  out.LineTo(update.right, zero.y);
  out.MoveTo(zero.x, update.top);
  out.LineTo(zero.x, update.bottom);
}

void DrawBand(CDC& out, const CRect* band, const PlanViewLook& look) {
  if (!band) return;
  CRect r = *band;
  r.NormalizeRect();
  if (std::min(r.Width(), r.Height()) < look.rubberBand) return;
  PlanPen pen(out, PS_DOT, look.traceBox);
  CGdiObject* old = out.SelectStockObject(HOLLOW_BRUSH);
  out.Rectangle(&r);
  out.SelectObject(old);
}

}  // namespace

void DrawPlan(CDC& out, CDC& mapping, const CRect& update, CSize client, const PlanViewState& state,
              const PlanViewLook& look, const Frame& plan, const CRect* band) {
  const CRect logical = LogicalBounds(mapping, client);
  DrawGrid(out, mapping, logical, update, state.grid, look);
  DrawAxes(out, mapping, logical, update, state.grid, look);
  plan.DrawWalls(out, mapping, update);
  DrawBand(out, band, look);
}
