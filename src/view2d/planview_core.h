// The plan view's state and the arithmetic of its zoom, grid and snapping, apart from the
// window so that it builds and is tested in both configurations.
#pragma once
#include <cstdint>
#include <vector>

#include "afx/afx.h"

// What the view's undo and redo stacks hold: zoom factor, grid spacing (plan millimetres) and
// where the plan origin lands in the client area (device pixels).
struct PlanViewState {
  double zoom = 2.0;
  int32_t grid = 100;
  int32_t panX = 0;
  int32_t panY = 0;
  bool operator==(const PlanViewState& o) const {
    return zoom == o.zoom && grid == o.grid && panX == o.panX && panY == o.panY;
  }
};

// The view's undo and redo of its state.
class PlanViewHistory {
public:
  // Records a state to return to; a new change empties the redo stack.
  void Push(const PlanViewState& saved);
  void ClearRedo() { m_redo.clear(); }
  // Swaps the current state with the top of the undo (redo) stack and moves that record onto
  // the other stack; false when the stack is empty.
  bool Undo(PlanViewState& current);
  bool Redo(PlanViewState& current);
  size_t UndoCount() const { return m_undo.size(); }
  size_t RedoCount() const { return m_redo.size(); }

private:
  std::vector<PlanViewState> m_undo;
  std::vector<PlanViewState> m_redo;
};

// The mouse flag that turns snapping off.
constexpr int kPlanNoSnapFlag = 0x0004;  // MK_SHIFT

// Rounds each coordinate to the nearest multiple of the grid, halves away from zero; nothing with
// Shift in the flags or without a grid.
CPoint SnapToGrid(CPoint logical, int32_t grid, int flags);

// Zoom limits and steps of the plan view (the plan settings).
struct PlanZoomSettings {
  double minZoom = 0.1;
  double maxZoom = 100.0;
  int gridFactor = 10;
  int timerStepPercent = 5;
  int rubberBand = 50;  // pixels
};

// A rubber band of w x h pixels released in a client area of width x height: the zoom that
// makes it fill the area (in) or the area shrink into it (out), on a 0.001 step, within limits.
double RectangleZoom(double zoom, int width, int height, int w, int h, bool zoomIn,
                     const PlanZoomSettings& s);

// One tick of the press-and-hold zoom; `stop` when it reached its limit.
struct TimerZoomStep {
  double zoom = 0.0;
  bool stop = false;
};
TimerZoomStep StepTimerZoom(double zoom, bool zoomIn, const PlanZoomSettings& s);

// The grid spacing kept between the smallest and largest screen step (logical units): zooming
// out multiplies it by the factor while it is at most the smallest, zooming in divides it while
// it is at least the largest. Never below 1.
int32_t AdaptGridSpacing(int32_t spacing, int32_t smallest, int32_t largest, bool zoomOut,
                         int factor);

// A level of grid lines, dots or ticks is drawn only when its lines stand at least this many
// pixels apart: a finer grid would cost millions of calls per paint and show nothing.
constexpr double kMinGridPixels = 2.0;
bool GridLevelShown(int64_t spacing, double pixelsPerUnit);

// The multiples of the step within [low, high], walking out from 0; empty for a step below 1.
std::vector<int32_t> GridCoordinates(int64_t step, int32_t low, int32_t high);
