// The plan view's picture in a memory bitmap of the screen's size: grid levels and axes at the
// points the mapping gives, walls over them, and grids too fine to draw left out quickly.
#include <gtest/gtest.h>

#include <chrono>

#include "models/frame.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"
#include "view2d/planview_draw.h"

namespace {

constexpr int kWidth = 1280, kHeight = 1024;

class PlanViewDraw : public ::testing::Test {
protected:
  void SetUp() override {
    screen = ::GetDC(nullptr);
    out.Attach(::CreateCompatibleDC(screen));
    bitmap = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
    old = ::SelectObject(out.GetSafeHdc(), bitmap);
    map.Attach(::CreateCompatibleDC(screen));
    state.panX = kWidth / 2;
    state.panY = kHeight / 2;
  }
  void TearDown() override {
    ::SelectObject(out.GetSafeHdc(), old);
    ::DeleteObject(bitmap);
    out.DeleteDC();
    map.DeleteDC();
    ::ReleaseDC(nullptr, screen);
  }
  // One paint; its time in milliseconds.
  double Paint() {
    const auto start = std::chrono::steady_clock::now();
    PreparePlanDC(map, state, CSize(kWidth, kHeight), CPoint(0, 0));
    CRect all(0, 0, kWidth, kHeight);
    CBrush back(look.background);
    ::FillRect(out.GetSafeHdc(), &all, back);
    DrawPlan(out, map, all, CSize(kWidth, kHeight), state, look, frame, nullptr);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  COLORREF At(int x, int y) {
    CPoint p(x, y);
    map.LPtoDP(&p);
    return out.GetPixel(p.x, p.y);
  }

  RecordingPlanHost host;
  Frame frame;
  PlanViewState state;
  PlanViewLook look;
  CDC out, map;
  HDC screen = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
};

}  // namespace

TEST_F(PlanViewDraw, GridAxesAndWallsWhereTheMappingPutsThem) {
  DrawChain(frame, {{-3000, -2000}, {3000, -2000}, {3000, 2000}, {-3000, 2000}, {-3000, -2000}});
  Paint();
  // Zoom 2.0 is 1:50: 100 mm are 2 mm on the screen; y grows upward.
  CPoint a(0, 0), b(100, 100);
  map.LPtoDP(&a);
  map.LPtoDP(&b);
  EXPECT_NEAR(b.x - a.x, 96.0 * 2 / 25.4, 1.0);
  EXPECT_LT(b.y, a.y);
  EXPECT_EQ(a, CPoint(kWidth / 2, kHeight / 2));
  EXPECT_EQ(At(100, 350), look.grid0);   // a minor line
  EXPECT_EQ(At(1000, 350), look.grid1);  // a major line
  EXPECT_EQ(At(350, 350), look.background);
  EXPECT_EQ(At(0, 550), look.axis);
  EXPECT_EQ(At(-550, 0), look.axis);
  EXPECT_EQ(At(0, -2075), 0xDCDCDCu);  // the outer edge of the bottom wall
  EXPECT_EQ(At(2925, 350), 0xDCDCDCu);

  look.gridStyle = 1;  // dots only, the major crossings in the major colour
  look.axisStyle = 0;
  Paint();
  EXPECT_EQ(At(100, 300), look.grid0);
  EXPECT_EQ(At(1000, 1000), look.grid1);
  EXPECT_EQ(At(100, 350), look.background);
}

TEST_F(PlanViewDraw, GridsTooFineToSeeAreLeftOut) {
  DrawGrid(frame, false);
  state.zoom = 0.1;
  state.grid = 1;
  for (int style : {1, 2, 3}) {
    look.gridStyle = style;
    EXPECT_LT(Paint(), 1000.0) << "grid style " << style;
  }
  // At 1:1000 a 1 mm and a 10 mm level would be under a pixel apart: only the background shows
  // between the walls.
  look.gridStyle = 3;
  look.axisStyle = 2;
  Paint();
  EXPECT_EQ(At(1500 + 150, 1500 + 150), look.background);
}
