// The plan view's grid steps and zoom to the whole plan, as the plan bar asks for them: the grid
// doubled or halved within its screen-step limits, and the view fitted to the plan's bounds.
#pragma once
#include <cstdint>

class CTopView;
class Frame;

// The smallest and largest grid step the screen settings allow, in plan millimetres at the
// view's zoom.
struct GridLimits {
  double smallest = 0.0;
  double largest = 0.0;
};
GridLimits PlanGridLimits(CTopView& view);

bool CanEnlargeGrid(CTopView& view);
bool CanReduceGrid(CTopView& view);
// Double (halve) the grid spacing when the limits allow it, and repaint.
void EnlargeGrid(CTopView& view);
void ReduceGrid(CTopView& view);

// Zooms and pans the view so that the plan's bounds fill its client area, the grid following
// the zoom; the old state goes onto the undo stack when the view changed. False when the plan is
// empty.
bool FitPlanView(CTopView& view, const Frame& plan);
