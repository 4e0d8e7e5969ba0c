// The plan view's arithmetic: snapping, rectangle and timer zoom, grid adaptation, the grid
// levels too fine to draw, and undo and redo of the view.
#include <gtest/gtest.h>

#include <cmath>

#include "view2d/planview_core.h"

TEST(PlanViewCore, SnapsHalvesAwayFromZeroUnlessShift) {
  struct Case {
    CPoint in;
    int flags;
    CPoint out;
  } cases[] = {
      {{149, 151}, 0, {100, 200}},  {{150, -150}, 0, {200, -200}}, {{-149, 49}, 0, {-100, 0}},
      {{149, -151}, kPlanNoSnapFlag, {149, -151}}, {{0, -50}, 0, {0, -100}},
  };
  for (const Case& c : cases) EXPECT_EQ(SnapToGrid(c.in, 100, c.flags), c.out) << c.in.x;
  EXPECT_EQ(SnapToGrid(CPoint(2147483647, -2147483647 - 1), 100, 0),
            CPoint(2147483600, -2147483600));  // the nearest multiples, never an overflow
}

TEST(PlanViewCore, RectangleAndTimerZoom) {
  PlanZoomSettings s;
  EXPECT_DOUBLE_EQ(RectangleZoom(2.0, 800, 600, 300, 200, true, s), 5.333);
  EXPECT_DOUBLE_EQ(RectangleZoom(2.0, 800, 600, 300, 200, false, s), 0.666);
  EXPECT_DOUBLE_EQ(RectangleZoom(90.0, 800, 600, 50, 50, true, s), 100.0);
  EXPECT_DOUBLE_EQ(RectangleZoom(0.2, 800, 600, 50, 50, false, s), 0.1);

  double zoom = 2.0;
  for (int i = 0; i < 10; ++i) zoom = StepTimerZoom(zoom, true, s).zoom;
  EXPECT_NEAR(zoom, 2.0 * std::pow(1.05, 10), 1e-9);
  const TimerZoomStep top = StepTimerZoom(99.0, true, s);
  EXPECT_DOUBLE_EQ(top.zoom, 100.0);
  EXPECT_TRUE(top.stop);
  EXPECT_FALSE(StepTimerZoom(2.0, false, s).stop);
  EXPECT_TRUE(StepTimerZoom(0.101, false, s).stop);
}

TEST(PlanViewCore, GridAdaptsAndTooFineLevelsAreNotDrawn) {
  EXPECT_EQ(AdaptGridSpacing(100, 500, 5000, true, 10), 1000);
  EXPECT_EQ(AdaptGridSpacing(100, 50, 500, true, 10), 100);
  EXPECT_EQ(AdaptGridSpacing(1000, 5, 50, false, 10), 10);
  EXPECT_EQ(AdaptGridSpacing(1, 0, 0, false, 10), 1);  // never below 1
  EXPECT_EQ(AdaptGridSpacing(1000000000, 2000000000, 2000000001, true, 10), 1000000000);

  // 1 mm grid at zoom 0.1 (0.00038 pixels a millimetre): neither level is drawn.
  EXPECT_FALSE(GridLevelShown(1, 0.00038));
  EXPECT_FALSE(GridLevelShown(10, 0.00038));
  EXPECT_TRUE(GridLevelShown(100, 0.02));
  EXPECT_FALSE(GridLevelShown(99, 0.02));

  EXPECT_EQ(GridCoordinates(100, -250, 250), (std::vector<int32_t>{0, 100, 200, -100, -200}));
  EXPECT_EQ(GridCoordinates(100, 1000000050, 1000000250),
            (std::vector<int32_t>{1000000100, 1000000200}));
  EXPECT_EQ(GridCoordinates(100, -1000000250, -1000000050),
            (std::vector<int32_t>{-1000000100, -1000000200}));
  EXPECT_TRUE(GridCoordinates(0, -10, 10).empty());
}

TEST(PlanViewCore, UndoAndRedoSwapTheViewState) {
  PlanViewHistory h;
  PlanViewState current;
  EXPECT_FALSE(h.Undo(current));
  EXPECT_EQ(current, PlanViewState());
  const PlanViewState first = current;
  h.Push(current);
  current.zoom = 5.333;
  current.panX = 40;
  const PlanViewState second = current;
  EXPECT_TRUE(h.Undo(current));
  EXPECT_EQ(current, first);
  EXPECT_TRUE(h.Redo(current));
  EXPECT_EQ(current, second);
  EXPECT_FALSE(h.Redo(current));
  EXPECT_TRUE(h.Undo(current));
  h.Push(current);  // a new change empties the redo stack
  EXPECT_EQ(h.RedoCount(), 0u);
  EXPECT_EQ(h.UndoCount(), 1u);
}
