// Drawing the plan view (Windows): the mapping of a DC to the view, and the whole plan (grid,
// axes, walls, rubber band) into an off-screen DC.
#pragma once
#include "afx/afxwin.h"
#include "view2d/planview_core.h"

class Frame;

// The colours and styles of the plan window.
struct PlanViewLook {
  COLORREF background = 0x6E6E6E;
  COLORREF traceBox = 0xFFFF00;
  COLORREF axis = 0x000000;
  COLORREF grid0 = 0x595959;
  COLORREF grid1 = 0x434343;
  int gridStyle = 3;  // 0 none, 1 dots, 2 dotted lines, 3 solid lines
  int axisStyle = 2;  // 0 none, 1 axes, 2 axes with ticks
  int rubberBand = 50;
};

// Maps the DC to a client area of the size: one logical unit a plan millimetre at the zoom, y
// upward, the plan offset's point at the pan position.
void PreparePlanDC(CDC& dc, const PlanViewState& state, CSize client, CPoint planOffset);

// Pixels per logical unit of a DC prepared by PreparePlanDC.
double PlanPixelsPerUnit(const CDC& mapping);

// Draws grid, axes, the plan's walls and the rubber band (device rectangle, may be null) into
// the DC (device pixels), converting through the prepared mapping DC; only what meets the
// update rectangle counts.
void DrawPlan(CDC& out, CDC& mapping, const CRect& update, CSize client, const PlanViewState& state,
              const PlanViewLook& look, const Frame& plan, const CRect* band);
