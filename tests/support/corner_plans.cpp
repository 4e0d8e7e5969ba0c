#include "corner_plans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "plan_fixtures.h"

void CornerPlan::Draw(std::initializer_list<CPoint> points, int32_t height, uint32_t thickness) {
  DrawChain(frame, points, height, thickness, PLAN_FREE_ANGLE);
}

void CornerPlan::SetHeight(double x1, double y1, double x2, double y2, int32_t height) {
  auto on = [&](const WallPole* p) {
    const double cross = (x2 - x1) * (p->m_y - y1) - (y2 - y1) * (p->m_x - x1);
    const double t = (p->m_x - x1) * (x2 - x1) + (p->m_y - y1) * (y2 - y1);
    const double len2 = (x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1);
    return std::fabs(cross) < 1e-6 && t >= -1e-6 && t <= len2 + 1e-6;
  };
  for (int i = 0; i < frame.GetWallCount(); ++i) {
    Wall* w = frame.GetWall(i);
    if (on(w->m_pStart) && on(w->m_pEnd)) {
      w->m_pStart->m_height = height;
      w->m_pEnd->m_height = height;
    }
  }
}

Room* CornerPlan::PlaceRoom(const char* name, int x, int y, int32_t ceiling, int32_t floor) {
  host.controls[IDC_PLAN_ROOM_NAME] = name;
  Room* room = frame.PlaceRoomAt(CPoint(x, y), ceiling, floor, true);
  EXPECT_TRUE(room) << name;
  return room;
}

void CornerPlan::Opening(CPoint from, CPoint to, int32_t kind, float at, float width,
                         float height, float elevation, float rotation) {
  HoleInstance hole;
  hole.m_kind = kind;
  hole.m_posture.position[0] = at;
  hole.m_posture.position[2] = elevation;
  hole.m_posture.size[0] = width;
  hole.m_posture.size[2] = height;
  hole.m_posture.rotation[2] = rotation;
  Wall* w = WallBetween(frame, from.x, from.y, to.x, to.y);
  EXPECT_TRUE(w && w->m_openings.Add(&hole, true, 0.0));
}

void LowWallsOutOfACorner(CornerPlan& p, int32_t second, std::initializer_list<char> order) {
  p.Draw({{0, 0}, {8000, 0}, {8000, 3000}, {0, 3000}, {0, 0}});
  p.Draw({{0, 0}, {4000, 3000}}, 2000);
  p.Draw({{0, 0}, {2250, 3000}}, second);
  for (char name : order) {
    const std::string n(1, name);
    if (name == 'a')
      p.PlaceRoom(n.c_str(), 6000, 1000, 2400, 0);
    else if (name == 'b')
      p.PlaceRoom(n.c_str(), 2500, 2500, 2400, 0);
    else
      p.PlaceRoom(n.c_str(), 500, 2500, 2400, 0);
  }
}

namespace {

// Two rooms of 3000 x 4000 side by side: outer walls of one height, a divider of another.
void TwoRooms(CornerPlan& p, int32_t outer, int32_t divider, uint32_t thickness = 150) {
  p.Draw({{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}}, outer);
  p.Draw({{3000, 0}, {3000, 4000}}, divider, thickness);
}

void TwoRoomsPlaced(CornerPlan& p, int32_t outer, int32_t divider, uint32_t thickness = 150) {
  TwoRooms(p, outer, divider, thickness);
  p.PlaceRoom("a", 1500, 2000, 2400, 0);
  p.PlaceRoom("b", 4500, 2000, 2400, 0);
}

// Four rooms around an X junction of inner walls of the given height.
void XJunction(CornerPlan& p, int32_t inner) {
  p.Draw({{0, 0}, {6000, 0}, {6000, 8000}, {0, 8000}, {0, 0}});
  p.Draw({{3000, 0}, {3000, 8000}}, inner);
  p.Draw({{0, 4000}, {3000, 4000}}, inner);
  p.Draw({{3000, 4000}, {6000, 4000}}, inner);
  p.PlaceRoom("a", 1500, 2000, 2400, 0);
  p.PlaceRoom("b", 4500, 2000, 2400, 0);
  p.PlaceRoom("c", 1500, 6000, 2400, 0);
  p.PlaceRoom("d", 4500, 6000, 2400, 0);
}

// A wall of the given height out of an outer wall, ending free halfway across the room.
void FreeEnd(CornerPlan& p, int32_t height) {
  p.Draw({{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
  p.Draw({{3000, 0}, {3000, 2000}}, height);
  p.PlaceRoom("a", 1500, 3000, 2400, 0);
}

// Room a 2400 high inside walls 2400 high, room b 3000 high inside walls 3000 high.
void DifferentCeilings(CornerPlan& p, int32_t divider) {
  TwoRooms(p, 3000, divider);
  p.SetHeight(0, 0, 3000, 0, 2400);
  p.SetHeight(0, 0, 0, 4000, 2400);
  p.SetHeight(0, 4000, 3000, 4000, 2400);
  p.PlaceRoom("a", 1500, 2000, 2400, 0);
  p.PlaceRoom("b", 4500, 2000, 3000, 0);
}

// Slanting walls run 4 across to 3 up (or 3 to 4), so that their sides meet the level walls at
// whole millimetres, as every mesh vertex is rounded.

// A divider meeting the outer walls at an acute and an obtuse angle.
void SlantingDivider(CornerPlan& p, int32_t divider) {
  p.Draw({{0, 0}, {6000, 0}, {6000, 3000}, {0, 3000}, {0, 0}});
  p.Draw({{1000, 0}, {5000, 3000}}, divider);
  p.PlaceRoom("a", 1000, 2000, 2400, 0);
  p.PlaceRoom("b", 5000, 1000, 2400, 0);
}

void OneRoom(CornerPlan& p) {
  p.Draw({{0, 0}, {3000, 0}, {3000, 4000}, {0, 4000}, {0, 0}});
  p.PlaceRoom("a", 1500, 2000, 2400, 0);
}

void OneRoomOneWallHigher(CornerPlan& p) {
  p.Draw({{0, 0}, {3000, 0}, {3000, 4000}, {0, 4000}, {0, 0}});
  p.SetHeight(0, 4000, 3000, 4000, 3000);
  p.PlaceRoom("a", 1500, 2000, 2400, 0);
}

void DoorInTheDivider(CornerPlan& p) {
  TwoRoomsPlaced(p, 2400, 2400);
  p.Opening({3000, 0}, {3000, 4000}, HOLE_DOOR, 1000, 900, 2100);
}

void ThreeHeights(CornerPlan& p) {
  TwoRooms(p, 2400, 3000);
  p.SetHeight(0, 0, 3000, 0, 2000);
  p.PlaceRoom("a", 1500, 2000, 2000, 0);
  p.PlaceRoom("b", 4500, 2000, 2400, 0);
}

void DifferentFloors(CornerPlan& p) {
  TwoRooms(p, 2400, 2400);
  p.PlaceRoom("a", 1500, 2000, 2400, 0);
  p.PlaceRoom("b", 4500, 2000, 2400, 300);
}

void TBetweenThreeRooms(CornerPlan& p) {
  p.Draw({{0, 0}, {6000, 0}, {6000, 8000}, {0, 8000}, {0, 0}});
  p.Draw({{0, 4000}, {6000, 4000}});
  p.Draw({{3000, 0}, {3000, 4000}});
  p.PlaceRoom("a", 1500, 2000, 2400, 0);
  p.PlaceRoom("b", 4500, 2000, 2400, 0);
  p.PlaceRoom("c", 1500, 6000, 2400, 0);
}

void LowFreeEndInBands(CornerPlan& p) {
  FreeEnd(p, 1200);
  const int32_t heights[3] = {800, 800, 800};
  const uint32_t kinds[3] = {BAND_FLOOR_MOULDING, BAND_WALL, BAND_CEILING_MOULDING};
  Wall* stub = WallBetween(p.frame, 3000, 0, 3000, 2000);
  ASSERT_TRUE(stub);
  stub->RebuildFaceCells(0, heights, kinds, 3);
  stub->RebuildFaceCells(1, heights, kinds, 3);
}

void XOfFourHeights(CornerPlan& p) {
  p.Draw({{0, 0}, {6000, 0}, {6000, 8000}, {0, 8000}, {0, 0}}, 3000);
  p.Draw({{3000, 0}, {3000, 4000}}, 2000);
  p.Draw({{3000, 4000}, {3000, 8000}}, 3000);
  p.Draw({{0, 4000}, {3000, 4000}}, 3000);
  p.Draw({{3000, 4000}, {6000, 4000}}, 2400);
  p.PlaceRoom("a", 1500, 2000, 2800, 0);
  p.PlaceRoom("b", 4500, 2000, 2800, 0);
  p.PlaceRoom("c", 1500, 6000, 2800, 0);
  p.PlaceRoom("d", 4500, 6000, 2800, 0);
}

void Parallelogram(CornerPlan& p) {
  p.Draw({{0, 0}, {6000, 0}, {10000, 3000}, {4000, 3000}, {0, 0}});
  p.PlaceRoom("a", 5000, 1500, 2400, 0);
}

// The left wall is 158 thick so that the middle of the low wall's end lies on whole millimetres.
void LowWallOutOfACorner(CornerPlan& p) {
  p.Draw({{0, 0}, {8000, 0}, {8000, 6000}, {0, 6000}});
  p.Draw({{0, 6000}, {0, 0}}, 2400, 158);
  p.Draw({{0, 0}, {4000, 3000}}, 2000);
  p.PlaceRoom("a", 6000, 1000, 2400, 0);
}

void ThreeLowWallsFanning(CornerPlan& p) {
  p.Draw({{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
  p.Draw({{3000, 0}, {1000, 1500}}, 2000);
  p.Draw({{3000, 0}, {3000, 2000}}, 2000);
  p.Draw({{3000, 0}, {5000, 1500}}, 2000);
  p.PlaceRoom("a", 1000, 3000, 2400, 0);
}

}  // namespace

const std::vector<CornerPlanCase>& CornerPlans() {
  static const std::vector<CornerPlanCase> plans = {
      {"one room, walls as high as the ceiling", OneRoom},
      {"one room, one wall higher than the others", OneRoomOneWallHigher},
      {"T junctions, equal heights", [](CornerPlan& p) { TwoRoomsPlaced(p, 2400, 2400); }},
      {"T junctions with a door in the divider", DoorInTheDivider},
      {"T junctions, a divider lower than the ceiling",
       [](CornerPlan& p) { TwoRoomsPlaced(p, 2400, 2000); }},
      {"T junctions, a divider higher than the outer walls",
       [](CornerPlan& p) { TwoRoomsPlaced(p, 2400, 3000); }},
      {"T junctions, outer walls higher than the ceiling",
       [](CornerPlan& p) { TwoRoomsPlaced(p, 3000, 2400); }},
      {"rooms with different ceilings", [](CornerPlan& p) { DifferentCeilings(p, 2000); }},
      {"rooms with different ceilings, the divider reaching the lower one",
       [](CornerPlan& p) { DifferentCeilings(p, 2400); }},
      {"a T junction of three heights", ThreeHeights},
      {"rooms with different floors", DifferentFloors},
      {"an X junction", [](CornerPlan& p) { XJunction(p, 2400); }},
      {"an X junction of low walls", [](CornerPlan& p) { XJunction(p, 2000); }},
      {"a T junction between three rooms", TBetweenThreeRooms},
      {"a free wall end inside a room", [](CornerPlan& p) { FreeEnd(p, 2400); }},
      {"a low free wall end inside a room", [](CornerPlan& p) { FreeEnd(p, 1200); }},
      {"a low free wall end across three bands", LowFreeEndInBands},
      {"T junctions, a thicker divider", [](CornerPlan& p) { TwoRoomsPlaced(p, 2400, 2400, 300); }},
      {"T junctions, a thicker low divider",
       [](CornerPlan& p) { TwoRoomsPlaced(p, 2400, 2000, 300); }},
      {"an X junction of four heights", XOfFourHeights},
      {"a parallelogram room, acute and obtuse corners", Parallelogram},
      {"a slanting divider", [](CornerPlan& p) { SlantingDivider(p, 2400); }},
      {"a low wall out of a room's corner, the outer walls of different thickness",
       LowWallOutOfACorner},
      {"three low walls fanning out of an outer wall", ThreeLowWallsFanning},
      {"a low slanting divider", [](CornerPlan& p) { SlantingDivider(p, 2000); }},
  };
  return plans;
}
