// Geometry of walls and poles: the grid, wall tests, splitting, pole groups, join angles.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "models/frame.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::unique_ptr<Wall> MakeWall(double x1, double y1, double x2, double y2, uint32_t thickness,
                               int32_t h1 = 2400, int32_t h2 = 2400) {
  auto w = std::make_unique<Wall>(x1, y1, h1, h2, thickness);
  QuantizePoint(w->m_pEnd, x2, y2);
  w->RecomputeEndCorners(true, true);
  return w;
}

HoleInstance* AddOpening(Wall* w, double position, float width, float height, float elevation = 0.0f) {
  auto* hole = new HoleInstance;
  hole->m_kind = HOLE_DOOR;
  hole->m_kindId = 1000;
  hole->m_posture.position[0] = static_cast<float>(position);
  hole->m_posture.position[2] = elevation;
  hole->m_posture.size[0] = width;
  hole->m_posture.size[2] = height;
  w->m_openings.HoleInstancesBag::Add(hole, true);
  w->m_openings.Sort();
  return hole;
}

}  // namespace

TEST(PlanGrid, RoundsHalfAwayFromZeroOnTheGrid) {
  struct Case {
    double in, grid;
  } cases[] = {
      {0.0004, 0.0},     {1.2344, 1.234},  {1.2346, 1.235},  {-0.0005, -0.001},
      {0.0005, 0.001},   {-2.0004, -2.0},  {1234.5, 1234.5}, {-0.0004, 0.0},
  };
  for (const Case& c : cases) EXPECT_NEAR(QuantizeCoord(c.in), c.grid, 1e-9) << c.in;
  EXPECT_EQ(RoundHalfAway(2.5), 3);
  EXPECT_EQ(RoundHalfAway(-2.5), -3);
  EXPECT_EQ(RoundHalfAway(-2.4), -2);
  EXPECT_EQ(RoundHalfAway(1e12), 2147483647);  // clamped, never undefined
}

TEST(PlanWall, CornersAndDirections) {
  // Side 0 lies to the left of the direction of travel; a wall without length counts as a
  // vertical wall going down.
  auto up = MakeWall(0, 0, 0, 1000, 200);
  EXPECT_DOUBLE_EQ(up->m_pStart->m_corner[CORNER_X0], -100.0);
  auto down = MakeWall(0, 1000, 0, 0, 200);
  EXPECT_DOUBLE_EQ(down->m_pStart->m_corner[CORNER_X0], 100.0);
  auto point = MakeWall(5, 5, 5, 5, 200);
  EXPECT_DOUBLE_EQ(point->m_pStart->m_corner[CORNER_X0], 105.0);
  auto east = MakeWall(0, 0, 1000, 0, 200);
  EXPECT_DOUBLE_EQ(east->m_pEnd->m_corner[CORNER_Y0], 100.0);
  EXPECT_DOUBLE_EQ(east->m_pEnd->m_corner[CORNER_Y1], -100.0);
  auto diagonal = MakeWall(0, 0, 1000, 1000, 200);
  EXPECT_NEAR(diagonal->m_pStart->m_corner[CORNER_X0], -70.7107, 1e-3);
  EXPECT_NEAR(diagonal->m_pStart->m_corner[CORNER_Y0], 70.7107, 1e-3);

  auto south = MakeWall(0, 0, 0, -1000, 150);
  EXPECT_EQ(south->AngleDegrees(false), 270.0);
  EXPECT_EQ(south->AngleDegrees(true), 90.0);
  auto almost = MakeWall(0, 0, 1000, -1000 * std::tan(0.4 * kPi / 180.0), 150);
  EXPECT_EQ(almost->AngleDegrees(false), 360.0);
  EXPECT_EQ(east->AngleTo(*south, false), 270.0);
  EXPECT_EQ(south->AngleTo(*east, false), 90.0);

  const CRect b = east->GetBounds();
  EXPECT_EQ(b, CRect(-240, -240, 1240, 240));
  EXPECT_EQ(east->UniteBounds(CRect(0, 0, 0, 0)), b);
  EXPECT_EQ(east->UniteBounds(CRect(2000, 0, 2100, 10)), CRect(-240, -240, 2100, 240));
}

TEST(PlanWall, ProjectionNearnessAndSides) {
  auto w = MakeWall(0, 0, 1000, 0, 200);
  double fx = 0, fy = 0;
  EXPECT_DOUBLE_EQ(w->ProjectPoint(500, 300, &fx, &fy, 0), 300.0);
  EXPECT_DOUBLE_EQ(fx, 500.0);
  EXPECT_DOUBLE_EQ(fy, 0.0);
  // Beyond the end: the nearer pole.
  EXPECT_DOUBLE_EQ(w->ProjectPoint(1500, 0, &fx, &fy, 0), 500.0);
  EXPECT_DOUBLE_EQ(fx, 1000.0);
  EXPECT_DOUBLE_EQ(w->ProjectPoint(500, 300, nullptr, nullptr, 1), 200.0);  // to the side line
  EXPECT_DOUBLE_EQ(w->DistanceToNearSide(500, -300), 200.0);

  EXPECT_TRUE(w->IsNearPoint(500, 199.9, nullptr, nullptr));
  EXPECT_FALSE(w->IsNearPoint(500, 200.001, nullptr, nullptr));

  EXPECT_EQ(w->SideOfPoint(500, 0), 0);  // ties go to side 0
  EXPECT_EQ(w->SideOfPoint(500, 50), 0);
  EXPECT_EQ(w->SideOfPoint(500, -50), 1);

  auto shortWall = MakeWall(0, 0, 140, 0, 150);
  EXPECT_FALSE(shortWall->IsLongEnough());
  auto longWall = MakeWall(0, 0, 150, 0, 150);
  EXPECT_TRUE(longWall->IsLongEnough());

  EXPECT_TRUE(w->HasConsistentCorners());
  w->m_pStart->m_corner[CORNER_X0] = 1200;  // a mitre beyond the far end
  EXPECT_FALSE(w->HasConsistentCorners());
}

TEST(PlanWall, CrossingTests) {
  struct Case {
    double ax1, ay1, ax2, ay2, bx1, by1, bx2, by2;
    bool crosses;
    double x, y;
  } cases[] = {
      {0, 0, 1000, 0, 500, -500, 500, 500, true, 500, 0},        // a plain cross
      {0, 0, 1000, 0, 1100, -500, 1100, 500, true, 1100, 0},     // within the tolerance of 150
      {0, 0, 1000, 0, 2000, -500, 2000, 500, false, 2000, 0},    // far beyond the end
      {0, 0, 1000, 0, 800, 10, 2000, 10, true, 1000, 0},         // one line, overlapping
      {0, 0, 1000, 0, 0, 400, 1000, 400, false, 0, 0},           // parallel apart
      {0, 0, 1000, 0, 500, 100, 500, 100, true, 500, 100},       // a point near the wall
  };
  for (const Case& c : cases) {
    auto a = MakeWall(c.ax1, c.ay1, c.ax2, c.ay2, 150);
    auto b = MakeWall(c.bx1, c.by1, c.bx2, c.by2, 150);
    double x = 0, y = 0;
    EXPECT_EQ(a->Intersects(*b, &x, &y), c.crosses) << c.bx1 << "," << c.by1;
    if (c.crosses) {
      EXPECT_NEAR(x, c.x, 1e-6);
      EXPECT_NEAR(y, c.y, 1e-6);
    }
  }
}

TEST(PlanWall, CollinearOverlapIsTheSameForBothOrientations) {
  // Each case is tried horizontally and, turned by 90 degrees, vertically: a wall that lies
  // over the low end of another overlaps it just like one that lies over its high end.
  struct Case {
    double a1, a2, b1, b2;
    bool overlaps;
  } cases[] = {
      {500, 1000, 0, 1000, true},    // lies inside, reaching the high end
      {0, 1000, 500, 1000, true},
      {0, 1000, 500, 1500, true},
      {500, 1500, 0, 1000, true},
      {1000, 500, 0, 1000, true},    // drawn backwards
      {0, 1000, 1000, 2000, false},  // end to end
      {1000, 2000, 0, 1000, false},
      {0, 1000, 1000.0005, 2000, false},
  };
  for (const Case& c : cases) {
    auto ha = MakeWall(c.a1, 0, c.a2, 0, 150);
    auto hb = MakeWall(c.b1, 0, c.b2, 0, 150);
    EXPECT_EQ(ha->OverlapsCollinear(*hb), c.overlaps) << "horizontal " << c.a1 << ".." << c.a2;
    auto va = MakeWall(0, c.a1, 0, c.a2, 150);
    auto vb = MakeWall(0, c.b1, 0, c.b2, 150);
    EXPECT_EQ(va->OverlapsCollinear(*vb), c.overlaps) << "vertical " << c.a1 << ".." << c.a2;
    auto da = MakeWall(c.a1, c.a1, c.a2, c.a2, 150);
    auto db = MakeWall(c.b1, c.b1, c.b2, c.b2, 150);
    EXPECT_EQ(da->OverlapsCollinear(*db), c.overlaps) << "diagonal " << c.a1 << ".." << c.a2;
  }
  auto a = MakeWall(0, 0, 1000, 0, 150);
  EXPECT_FALSE(a->OverlapsCollinear(*MakeWall(0, 10, 1000, 10, 150)));  // parallel, apart
  EXPECT_FALSE(a->OverlapsCollinear(*MakeWall(500, 0, 500, 0, 150)));   // short and long
  EXPECT_TRUE(MakeWall(5, 5, 5, 5, 150)->OverlapsCollinear(*MakeWall(5, 5, 5, 5, 150)));
}

TEST(PlanWall, SplittingMovesOpeningsAndSharesHeights) {
  CRect rect;
  auto crossing = MakeWall(2000, -1000, 2000, 0, 150);

  auto w = MakeWall(0, 0, 5000, 0, 150, 2400, 2600);
  AddOpening(w.get(), 1000, 900, 2000);
  HoleInstance* later = AddOpening(w.get(), 3000, 900, 2000);
  std::unique_ptr<Wall> n(w->SplitAt(crossing->m_pEnd, 2000, 0, rect, false));
  ASSERT_TRUE(n);
  EXPECT_DOUBLE_EQ(w->m_pEnd->m_x, 2000.0);
  EXPECT_DOUBLE_EQ(n->m_pStart->m_x, 2000.0);
  EXPECT_DOUBLE_EQ(n->m_pEnd->m_x, 5000.0);
  ASSERT_EQ(w->m_openings.GetCount(), 1);
  ASSERT_EQ(n->m_openings.GetCount(), 1);
  EXPECT_EQ(n->m_openings.GetHole(0), later);
  EXPECT_FLOAT_EQ(later->m_posture.position[0], 1000.0f);
  // The two pieces meet in one group, with the height of the sloping top at the split.
  EXPECT_EQ(w->m_pEnd->GetDegree(), 2);
  EXPECT_EQ(w->m_pEnd->GetJoinPole(1), n->m_pStart);
  EXPECT_EQ(w->m_pEnd->m_height, 2480);
  EXPECT_EQ(n->m_pStart->m_height, 2480);
  EXPECT_EQ(n->m_pEnd->m_height, 2600);
  EXPECT_EQ(n->GetCellCount(0), 1);

  auto sloped = MakeWall(0, 0, 5000, 0, 150, 2400, 2600);
  std::unique_ptr<Wall> half(sloped->SplitAt(crossing->m_pEnd, 2500, 0, rect, false));
  ASSERT_TRUE(half);
  EXPECT_EQ(sloped->m_pEnd->m_height, 2500);

  // An opening across the split point, widened by half the crossing wall, blocks it.
  auto blocked = MakeWall(0, 0, 5000, 0, 150);
  AddOpening(blocked.get(), 2500, 900, 2000);  // 2050..2950
  EXPECT_EQ(blocked->SplitAt(crossing->m_pEnd, 2000, 0, rect, false), nullptr);
  EXPECT_EQ(blocked->SplitAt(crossing->m_pEnd, 1980, 0, rect, false), nullptr);  // 1905..2055
  // A point off the wall, or a piece shorter than the wall is thick, is refused.
  EXPECT_EQ(blocked->SplitAt(crossing->m_pEnd, 1000, 400, rect, false), nullptr);
  EXPECT_EQ(blocked->SplitAt(crossing->m_pEnd, 100, 0, rect, false), nullptr);
  EXPECT_EQ(blocked->m_pEnd->m_x, 5000.0);
}

TEST(PlanPole, MergingAndDetachingGroups) {
  std::vector<std::unique_ptr<Wall>> walls;
  for (int i = 0; i < 5; ++i) {
    const double a = i * 72.0 * kPi / 180.0;
    walls.push_back(MakeWall(0, 0, 1000 * std::cos(a), 1000 * std::sin(a), 150));
  }
  WallPole* p[5];
  for (int i = 0; i < 5; ++i) p[i] = walls[i]->m_pStart;
  p[0]->MergeGroups(p[1]);
  p[2]->MergeGroups(p[3]);
  p[2]->MergeGroups(p[4]);
  EXPECT_EQ(p[0]->MergeGroups(p[2]), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(p[i]->GetDegree(), 5);
    EXPECT_EQ(p[i]->GetJoinPole(0), p[i]);
    EXPECT_EQ(p[i]->m_sideFlags & POLE_FREE_END, 0u);
    for (int j = 0; j < 5; ++j) EXPECT_GE(p[i]->FindJoin(walls[j].get()), 0);
  }
  CRect rect;
  p[0]->UpdateGroup(rect);
  EXPECT_EQ(p[0]->m_pCounterClockwise, p[1]);
  EXPECT_EQ(p[0]->m_pClockwise, p[4]);

  p[4]->Detach();
  EXPECT_EQ(p[4]->GetDegree(), 1);
  EXPECT_EQ(p[4]->m_sideFlags & POLE_FREE_END, POLE_FREE_END);
  EXPECT_EQ(p[4]->m_pClockwise, nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(p[i]->GetDegree(), 4);
  EXPECT_EQ(p[0]->m_pClockwise, p[3]);  // the group was worked out again

  p[3]->Detach();
  p[2]->Detach();
  p[1]->Detach();
  EXPECT_EQ(p[0]->GetDegree(), 1);
  EXPECT_EQ(p[0]->m_sideFlags & POLE_FREE_END, POLE_FREE_END);
  auto square = MakeWall(0, 0, 1000, 0, 150);
  EXPECT_DOUBLE_EQ(p[0]->m_corner[CORNER_Y0], square->m_pStart->m_corner[CORNER_Y0]);
  EXPECT_DOUBLE_EQ(p[0]->m_corner[CORNER_X1], square->m_pStart->m_corner[CORNER_X1]);
  EXPECT_FALSE(p[0]->RemoveJoin(p[1]));
}

TEST(PlanPole, NeighboursAtStartAndEndPoles) {
  auto w = MakeWall(0, 0, 1000, 0, 150);
  auto north = MakeWall(0, 0, 0, 1000, 150);
  auto south = MakeWall(0, 0, 0, -1000, 150);
  w->m_pStart->MergeGroups(north->m_pStart);
  w->m_pStart->MergeGroups(south->m_pStart);
  WallPoleJoinInfo *ccw, *cw;
  ASSERT_TRUE(w->m_pStart->FindNeighbourJoins(w.get(), &ccw, &cw));
  EXPECT_EQ(ccw->m_pWall, north.get());
  EXPECT_EQ(cw->m_pWall, south.get());

  auto in = MakeWall(-1000, 0, 0, 0, 150);
  auto north2 = MakeWall(0, 0, 0, 1000, 150);
  auto south2 = MakeWall(0, 0, 0, -1000, 150);
  in->m_pEnd->MergeGroups(north2->m_pStart);
  in->m_pEnd->MergeGroups(south2->m_pStart);
  ASSERT_TRUE(in->m_pEnd->FindNeighbourJoins(in.get(), &ccw, &cw));
  EXPECT_EQ(ccw->m_pWall, north2.get());  // 270 degrees from the wall
  EXPECT_EQ(cw->m_pWall, south2.get());   // 90 degrees from the wall

  // Mitred corners at the T and the straight continuation through the pole.
  CRect rect;
  in->m_pEnd->UpdateGroup(rect);
  EXPECT_DOUBLE_EQ(in->m_pEnd->m_corner[CORNER_X0], -75.0);
  EXPECT_DOUBLE_EQ(in->m_pEnd->m_corner[CORNER_Y0], 75.0);
  EXPECT_DOUBLE_EQ(north2->m_pStart->m_corner[CORNER_X1], 75.0);
  EXPECT_DOUBLE_EQ(north2->m_pStart->m_corner[CORNER_Y1], 0.0);
  EXPECT_TRUE(north2->m_pStart->m_sideFlags & POLE_STRAIGHT_CW);
  EXPECT_FALSE(in->m_pEnd->m_sideFlags & (POLE_STRAIGHT_CW | POLE_STRAIGHT_CCW));
}

TEST(PlanPole, JoinAngleCheck) {
  auto existing = MakeWall(0, 0, 3000, 0, 150);
  auto lone = MakeWall(0, 0, 1000, 0, 150);
  EXPECT_TRUE(lone->m_pStart->CheckJoinAngles(lone.get()));

  struct Case {
    double degrees, length;
    uint32_t thickness, neighbour;
    bool allowed;
  } cases[] = {
      {10, 2000, 150, 150, false},  // below the minimum join angle of 15
      {15, 2000, 150, 150, true},
      {30, 100, 100, 200, false},  // its far end 50 inside the neighbour's body
      {30, 2000, 100, 200, true},
      {90, 50, 100, 200, true},    // a right angle is never too close
      {345, 2000, 150, 150, true},
      {350, 2000, 150, 150, false},
  };
  for (const Case& c : cases) {
    auto base = MakeWall(0, 0, 3000, 0, c.neighbour);
    const double a = c.degrees * kPi / 180.0;
    auto added = MakeWall(0, 0, c.length * std::cos(a), c.length * std::sin(a), c.thickness);
    added->m_pStart->MergeGroups(base->m_pStart);
    Wall scratch(*added, Wall::Scratch);
    EXPECT_EQ(added->m_pStart->CheckJoinAngles(&scratch), c.allowed) << c.degrees << " " << c.length;
  }
}
