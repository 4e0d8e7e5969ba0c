// The plan as a user draws it: chains of walls, their joins and merges, rooms and their
// refusals, removal of walls and rooms.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "models/frame.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr unsigned kRefusal = MB_TASKMODAL | MB_ICONQUESTION | MB_OK;

class PlanEditing : public ::testing::Test {
protected:
  void SetUp() override { m_saved = GetPlanSettings(); }
  void TearDown() override { GetPlanSettings() = m_saved; }

  // A click of the wall mode, after the mouse has moved there.
  int Click(int x, int y, int flags = 0, uint32_t thickness = 150, int32_t height = 2400) {
    CRect rect;
    CPoint p(x, y);
    if (frame.IsDrawing()) frame.TrackDrawnWall(p, flags, rect);
    return frame.AddDrawnWall(CPoint(x, y), flags, height, thickness, rect);
  }
  // Clicks along the points and finishes the chain when it is still open.
  void Draw(std::initializer_list<CPoint> points, int flags = 0, uint32_t thickness = 150) {
    DrawChain(frame, points, 2400, thickness, flags);
  }
  void DrawRectangle() { Draw({{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}}); }

  // The number of wall ends at a point; every one of them must list all the others.
  int DegreeAt(double x, double y) const {
    std::vector<WallPole*> poles;
    for (int i = 0; i < frame.GetWallCount(); ++i) {
      for (WallPole* p : {frame.GetWall(i)->m_pStart, frame.GetWall(i)->m_pEnd}) {
        if (SamePlanPoint(p->m_x, p->m_y, x, y)) poles.push_back(p);
      }
    }
    for (WallPole* p : poles) {
      EXPECT_EQ(p->GetDegree(), static_cast<int>(poles.size())) << x << "," << y;
      EXPECT_EQ(p->GetJoinPole(0), p);
    }
    return static_cast<int>(poles.size());
  }
  static void ExpectCorner(const WallPole* p, int side, double x, double y) {
    double cx, cy;
    p->GetSideCorner(side, &cx, &cy);
    EXPECT_NEAR(cx, x, 1e-6) << "side " << side;
    EXPECT_NEAR(cy, y, 1e-6) << "side " << side;
  }
  void ExpectMessage(const char* text) {
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back().text, text);
    EXPECT_EQ(host.messages.back().caption, " TAVO  Vedra  ");
    EXPECT_EQ(host.messages.back().type, kRefusal);
  }
  Room* PlaceRoom(const char* name, int x, int y, int32_t ceiling = 2400, int32_t floor = 0) {
    host.controls[IDC_PLAN_ROOM_NAME] = name;
    return frame.PlaceRoomAt(CPoint(x, y), ceiling, floor, false);
  }

  RecordingPlanHost host;
  Frame frame;

private:
  PlanSettings m_saved;
};

}  // namespace

TEST_F(PlanEditing, TwoRoomHouseStepByStep) {
  // A 6000 x 4000 rectangle, walls 150 thick and 2400 high; the last click closes it.
  DrawRectangle();
  EXPECT_FALSE(frame.IsDrawing());
  ASSERT_EQ(frame.GetWallCount(), 4);
  for (const CPoint& p : {CPoint(0, 0), CPoint(6000, 0), CPoint(6000, 4000), CPoint(0, 4000)}) {
    EXPECT_EQ(DegreeAt(p.x, p.y), 2);
  }
  Wall* bottom = WallBetween(frame, 0, 0, 6000, 0);
  ASSERT_TRUE(bottom);
  ExpectCorner(bottom->m_pStart, 0, 75, 75);  // inside
  ExpectCorner(bottom->m_pStart, 1, -75, -75);
  ExpectCorner(bottom->m_pEnd, 0, 5925, 75);
  EXPECT_EQ(bottom->m_pStart->m_pCounterClockwise, WallBetween(frame, 0, 0, 0, 4000)->m_pEnd);
  EXPECT_GT(host.modifiedCount, 0);

  // A dividing wall from the bottom to the top splits both long walls.
  Draw({{3000, 0}, {3000, 4000}});
  ASSERT_EQ(frame.GetWallCount(), 7);
  EXPECT_EQ(DegreeAt(3000, 0), 3);
  EXPECT_EQ(DegreeAt(3000, 4000), 3);
  Wall* divider = WallBetween(frame, 3000, 0, 3000, 4000);
  ASSERT_TRUE(divider);
  ASSERT_TRUE(WallBetween(frame, 0, 0, 3000, 0));
  ASSERT_TRUE(WallBetween(frame, 3000, 0, 6000, 0));
  ASSERT_TRUE(WallBetween(frame, 3000, 4000, 6000, 4000));
  ASSERT_TRUE(WallBetween(frame, 0, 4000, 3000, 4000));
  ExpectCorner(divider->m_pStart, 0, 2925, 75);
  ExpectCorner(divider->m_pStart, 1, 3075, 75);
  ExpectCorner(divider->m_pEnd, 0, 2925, 3925);
  EXPECT_EQ(WallBetween(frame, 0, 0, 3000, 0)->m_pEnd->m_height, 2400);

  // Rooms in both halves; a name already used is refused.
  Room* left = PlaceRoom("거실", 1500, 2000);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->m_interior, 1u);
  EXPECT_EQ(left->GetWallFaceCount(), 4);
  EXPECT_EQ(left->GetDisplayName(), "거실");
  ASSERT_EQ(host.exports.size(), 1u);
  EXPECT_EQ(host.exports[0].key, std::string(left->FormatId()) + "+거실=");
  EXPECT_EQ(divider->m_pRoom[0], left);  // west of a wall running north
  EXPECT_EQ(WallBetween(frame, 0, 0, 3000, 0)->m_pRoom[0], left);
  EXPECT_EQ(WallBetween(frame, 0, 0, 3000, 0)->GetCell(0, 0)->m_top, 2400);

  EXPECT_EQ(PlaceRoom("거실", 4500, 2000), nullptr);
  ExpectMessage("이미 존재하는 방의 이름입니다.");
  EXPECT_EQ(PlaceRoom("", 4500, 2000), nullptr);
  ExpectMessage("방의 이름을 입력하십시요.");

  Room* right = PlaceRoom("침실", 4500, 2000, 2300, 100);
  ASSERT_TRUE(right);
  EXPECT_EQ(frame.GetRoomCount(), 2);
  EXPECT_EQ(divider->m_pRoom[1], right);
  EXPECT_EQ(WallBetween(frame, 6000, 0, 6000, 4000)->m_pRoom[0], right);
  EXPECT_EQ(WallBetween(frame, 6000, 0, 6000, 4000)->GetCell(0, 0)->m_top, 2300);
  EXPECT_EQ(right->GetWallFaceCount(), 4);
  EXPECT_EQ(WallBetween(frame, 6000, 0, 6000, 4000)->m_pRoom[1], nullptr);
  EXPECT_EQ(frame.IsRoomAfter(left, right), 1);
  EXPECT_EQ(frame.IsRoomAfter(right, left), 0);

  // A click inside a room shows it and exports it again.
  host.Clear();
  EXPECT_EQ(frame.PlaceRoomAt(CPoint(1000, 1000), 2400, 0, false), left);
  EXPECT_EQ(host.controls[IDC_PLAN_ROOM_HEIGHT], "2400mm");
  EXPECT_EQ(host.controls[IDC_PLAN_FLOOR_LEVEL], "0mm");
  EXPECT_EQ(host.controls[IDC_PLAN_ROOM_NAME], "거실");
  EXPECT_EQ(host.exports.size(), 1u);
  EXPECT_EQ(host.materialCollections, 1);
  EXPECT_EQ(frame.GetRoomCount(), 2);

  // Outside the walls is no room.
  EXPECT_EQ(PlaceRoom("마당", -1000, 2000), nullptr);
  ExpectMessage("지원되지 않는 Exterior 영역입니다.");
  EXPECT_EQ(WallBetween(frame, 0, 0, 0, 4000)->m_pRoom[1], nullptr);

  // Taking the dividing wall away removes both rooms and merges the split walls again.
  host.Clear();
  CRect rect;
  frame.RemoveWall(divider, rect, true);
  EXPECT_EQ(frame.GetRoomCount(), 0);
  ASSERT_EQ(frame.GetWallCount(), 4);
  ASSERT_TRUE(WallBetween(frame, 0, 0, 6000, 0));
  ASSERT_TRUE(WallBetween(frame, 0, 4000, 6000, 4000));
  EXPECT_EQ(DegreeAt(3000, 0), 0);
  EXPECT_EQ(DegreeAt(0, 0), 2);
  EXPECT_EQ(host.SceneNames().size(), 0u);
  EXPECT_EQ(host.removedScene.size(), 2u);
  EXPECT_EQ(WallBetween(frame, 0, 0, 6000, 0)->m_pRoom[0], nullptr);
  EXPECT_FALSE(rect.IsRectEmpty());
}

TEST_F(PlanEditing, RefusedAndDroppedWalls) {
  CRect rect;
  EXPECT_EQ(frame.AddDrawnWall(CPoint(0, 0), 0, 2400, 89, rect), 0);
  EXPECT_FALSE(frame.IsDrawing());
  EXPECT_EQ(frame.AddDrawnWall(CPoint(0, 0), 0, 2400, 90, rect), 1);
  EXPECT_TRUE(frame.IsDrawing());
  frame.ClearDrawnWalls(rect);
  EXPECT_FALSE(frame.IsDrawing());

  // A wall shorter than its thickness is dropped on the next click, which is refused.
  EXPECT_EQ(Click(10000, 0), 1);
  EXPECT_EQ(Click(10100, 0), 0);
  EXPECT_FALSE(frame.IsDrawing());
  EXPECT_EQ(frame.GetWallCount(), 0);

  // Without the free angle a wall runs horizontally or vertically.
  Click(0, 0);
  struct Aim {
    CPoint mouse, end;
  } aims[] = {{{100, 40}, {100, 0}}, {{40, 100}, {0, 100}}, {{50, 50}, {50, 0}}};
  for (const Aim& aim : aims) {
    CPoint p = aim.mouse;
    ASSERT_EQ(frame.TrackDrawnWall(p, 0, rect), 1);
    EXPECT_EQ(p, aim.end);
  }
  frame.ClearDrawnWalls(rect);
}

TEST_F(PlanEditing, DrawingBackAlongAJoinedWallIsRefusedEitherWay) {
  // A wall drawn from the end of another straight back over it is refused, for horizontal and
  // for vertical walls alike.
  Draw({{0, 0}, {3000, 0}});
  Draw({{0, 5000}, {0, 8000}});
  ASSERT_EQ(frame.GetWallCount(), 2);
  CRect rect;
  struct Back {
    int sx, sy, tx, ty;
  } backs[] = {{3000, 0, 1000, 0}, {0, 8000, 0, 6000}};
  for (const auto& [sx, sy, tx, ty] : backs) {
    ASSERT_EQ(Click(sx, sy), 1);
    ASSERT_EQ(frame.GetLastDrawnWall()->m_pStart->GetDegree(), 2) << "joined to the wall's end";
    CPoint p(tx, ty);
    EXPECT_EQ(frame.TrackDrawnWall(p, 0, rect), 0) << sx << "," << sy;
    EXPECT_TRUE(SamePlanPoint(frame.GetLastDrawnWall()->m_pEnd->m_x, frame.GetLastDrawnWall()->m_pEnd->m_y, sx, sy));
    frame.ClearDrawnWalls(rect);
  }
  EXPECT_EQ(frame.GetWallCount(), 2);
  EXPECT_EQ(DegreeAt(3000, 0), 1);
}

TEST_F(PlanEditing, CollinearChainWallsMergeWithinTheTolerance) {
  struct Case {
    double turn;  // degrees between the two walls' directions
    int walls;
  } cases[] = {{5, 3}, {11, 4}};  // the last click starts one more wall
  for (const Case& c : cases) {
    Frame plan;
    CRect rect;
    const double a = c.turn * kPi / 180.0;
    const int bx = 3000 + static_cast<int>(std::lround(3000 * std::cos(a)));
    const int by = static_cast<int>(std::lround(3000 * std::sin(a)));
    for (CPoint p : {CPoint(0, 0), CPoint(3000, 0), CPoint(bx, by), CPoint(bx, by + 3000)}) {
      CPoint m = p;
      if (plan.IsDrawing()) plan.TrackDrawnWall(m, PLAN_FREE_ANGLE, rect);
      plan.AddDrawnWall(p, PLAN_FREE_ANGLE, 2400, 150, rect);
    }
    EXPECT_EQ(plan.GetChainCount(), c.walls) << c.turn;
    if (c.walls == 3) {
      const Wall* merged = plan.GetChainWall(0);
      EXPECT_DOUBLE_EQ(merged->m_pStart->m_x, 0.0);
      EXPECT_DOUBLE_EQ(merged->m_pEnd->m_x, bx);
      EXPECT_EQ(merged->m_pEnd->GetDegree(), 2);
    }
    plan.ClearDrawnWalls(rect);
  }
  // Walls of different thickness never merge, straight as they may be.
  EXPECT_EQ(Click(0, 0, 0, 150), 1);
  EXPECT_EQ(Click(3000, 0, 0, 200), 1);
  EXPECT_EQ(Click(6000, 0, 0, 200), 1);
  EXPECT_EQ(frame.GetChainCount(), 3);
  EXPECT_EQ(Click(9000, 0, 0, 200), 1);
  EXPECT_EQ(frame.GetChainCount(), 3);  // the two of 200 became one
}

TEST_F(PlanEditing, ClosingOnAPoleStraightensTheLastWall) {
  Draw({{2000, 4000}, {6000, 4000}});
  Click(4000, 3000);
  Click(2050, 3000);
  CRect rect;
  CPoint mouse(2050, 4000);
  frame.TrackDrawnWall(mouse, 0, rect);  // the end snaps onto the pole at (2000, 4000)
  // Clicked far along the wall: held horizontal, the last wall would lie on the one before it,
  // so the corner stays where it is and the wall is straightened onto the pole it reached.
  ASSERT_EQ(Click(6000, 4000), 1);
  EXPECT_FALSE(frame.IsDrawing());
  EXPECT_TRUE(WallBetween(frame, 4000, 3000, 2000, 3000));
  EXPECT_TRUE(WallBetween(frame, 2000, 3000, 2000, 4000));
  EXPECT_EQ(DegreeAt(2000, 3000), 2);
  EXPECT_EQ(DegreeAt(2000, 4000), 2);
  EXPECT_EQ(DegreeAt(2050, 4000), 0);
}

TEST_F(PlanEditing, EscapeUndoesTheLastWall) {
  DrawRectangle();
  CRect rect;
  // A chain that starts in the middle of a wall splits it; Escape merges it back.
  ASSERT_EQ(Click(3000, 0), 1);
  EXPECT_EQ(frame.GetWallCount(), 5);
  EXPECT_EQ(frame.RemoveLastDrawnWall(rect), 1);
  EXPECT_FALSE(frame.IsDrawing());
  EXPECT_EQ(frame.GetWallCount(), 4);
  EXPECT_TRUE(WallBetween(frame, 0, 0, 6000, 0));

  ASSERT_EQ(Click(1000, 1000), 1);
  ASSERT_EQ(Click(2000, 1000), 1);
  ASSERT_EQ(Click(2000, 2000), 1);
  EXPECT_EQ(frame.GetChainCount(), 3);
  EXPECT_EQ(frame.RemoveLastDrawnWall(rect), 1);
  EXPECT_EQ(frame.GetChainCount(), 2);
  EXPECT_EQ(frame.GetLastDrawnWall()->m_pEnd->GetDegree(), 1);
  EXPECT_EQ(frame.RemoveLastDrawnWall(rect), 1);
  EXPECT_EQ(frame.RemoveLastDrawnWall(rect), 1);
  EXPECT_EQ(frame.RemoveLastDrawnWall(rect), 0);
  EXPECT_EQ(frame.GetWallCount(), 4);
}

TEST_F(PlanEditing, TrimmingOpenChainEnds) {
  DrawRectangle();
  GetPlanSettings().trimOpenWallEnds = 1;
  // A chain from the wall into the open is dangling as a whole; one across the room is not.
  Draw({{2000, 0}, {2000, 1500}, {2500, 1500}});
  EXPECT_EQ(frame.GetWallCount(), 4);
  Draw({{2000, 0}, {2000, 4000}});
  EXPECT_EQ(frame.GetWallCount(), 7);
}

TEST_F(PlanEditing, RoomRefusalsForHeightsAndOpenings) {
  DrawRectangle();
  Wall* bottom = WallBetween(frame, 0, 0, 6000, 0);
  auto* door = new HoleInstance;
  door->m_kind = HOLE_DOOR;
  door->m_kindId = 1000;
  door->m_posture.position[0] = 3000;
  door->m_posture.size[0] = 900;
  door->m_posture.size[2] = 2100;
  bottom->m_openings.HoleInstancesBag::Add(door, true);

  EXPECT_EQ(PlaceRoom("방", 3000, 2000, 2000, 0), nullptr);
  ExpectMessage("방에 포함된 라이브러러의 크기가 방의  크기보다 큽니다.");
  EXPECT_EQ(bottom->m_pRoom[0], nullptr);  // nothing changed
  EXPECT_EQ(PlaceRoom("방", 3000, 2000, 2500, 0), nullptr);
  ExpectMessage("방을 구성하는 모든 벽이 천정보다 낮습니다.");

  door->m_posture.size[2] = 1990;
  Room* room = PlaceRoom("방", 3000, 2000, 2000, 0);
  ASSERT_TRUE(room);
  EXPECT_EQ(bottom->GetCell(0, 0)->m_top, 2000);

  // Levels equal: the faces take the highest wall height.
  host.controls[IDC_PLAN_ROOM_NAME] = "기본방";
  EXPECT_EQ(frame.RemoveRoom(room, false), 1);
  ASSERT_TRUE(bottom->m_openings.Remove(door));
  delete door;
  room = frame.CreateRoom(bottom, 0, 1000, 1000, false);
  ASSERT_TRUE(room);
  EXPECT_EQ(bottom->GetCell(0, 0)->m_top, 2400);
  EXPECT_EQ(frame.FindRoomByName("기본방"), room);
}

TEST_F(PlanEditing, WallsWithoutALoopEncloseTheOutside) {
  // Two walls joined at a corner, traced out and back around both free ends, turn by +360.
  Draw({{0, 0}, {3000, 0}, {3000, 2000}});
  Draw({{10000, 0}, {12000, 0}});
  Wall* first = WallBetween(frame, 0, 0, 3000, 0);
  host.controls[IDC_PLAN_ROOM_NAME] = "벽";
  EXPECT_EQ(frame.CreateRoom(first, 1, 2400, 0, false), nullptr);
  ExpectMessage("지원되지 않는 Exterior 영역입니다.");
  EXPECT_EQ(frame.CreateRoom(WallBetween(frame, 10000, 0, 12000, 0), 1, 2400, 0, false), nullptr);
  // While the document creates a new model the outside is accepted.
  host.creationState = 2;
  Room* outside = frame.CreateRoom(first, 1, 2400, 0, false);
  ASSERT_TRUE(outside);
  EXPECT_EQ(outside->m_interior, 0u);
  EXPECT_EQ(outside->GetWallFaceCount(), 4);
  EXPECT_EQ(first->m_pRoom[0], outside);
  EXPECT_EQ(first->m_pRoom[1], outside);
}

TEST_F(PlanEditing, EnclosingRoom) {
  DrawRectangle();
  EXPECT_EQ(frame.BuildDummyRoom(1), 0);  // no room yet
  ASSERT_TRUE(PlaceRoom("거실", 3000, 2000));
  host.Clear();
  ASSERT_EQ(frame.BuildDummyRoom(1), 1);
  Room* dummy = frame.m_pDummyRoom;
  ASSERT_TRUE(dummy);
  EXPECT_EQ(dummy->m_interior, 0u);
  EXPECT_EQ(dummy->GetWallFaceCount(), 4);
  EXPECT_EQ(WallBetween(frame, 0, 0, 6000, 0)->m_pRoom[1], dummy);
  EXPECT_EQ(frame.GetRoomCount(), 1);
  ASSERT_EQ(host.exports.size(), 1u);
  EXPECT_EQ(host.exports[0].key, std::string(dummy->FormatId()) + "+Dummy=");
  // Built again for the next 3D view, it takes the place of the previous one.
  ASSERT_EQ(frame.BuildDummyRoom(1), 1);
  EXPECT_EQ(WallBetween(frame, 0, 0, 6000, 0)->m_pRoom[1], frame.m_pDummyRoom);
  int dummies = 0;
  for (const std::string& name : host.SceneNames()) dummies += name.find("Dummy") != std::string::npos;
  EXPECT_EQ(dummies, 1);

  host.Clear();
  frame.ExportAllRooms(nullptr, 0);
  EXPECT_EQ(frame.m_pDummyRoom, nullptr);
  EXPECT_EQ(host.exports.size(), 1u);
  EXPECT_EQ(WallBetween(frame, 0, 0, 6000, 0)->m_pRoom[1], nullptr);
}

TEST_F(PlanEditing, RoomTraceOverBrokenLinksEnds) {
  DrawRectangle();
  // A pole whose links name itself sends the trace round the outside for ever; the walk gives
  // up once it has taken more steps than the plan has wall sides.
  Wall* right = WallBetween(frame, 6000, 0, 6000, 4000);
  WallPole* corner = SamePlanPoint(right->m_pStart->m_x, right->m_pStart->m_y, 6000, 0) ? right->m_pStart
                                                                                          : right->m_pEnd;
  corner->m_pCounterClockwise = corner;
  corner->m_pClockwise = corner;
  host.controls[IDC_PLAN_ROOM_NAME] = "방";
  EXPECT_EQ(frame.CreateRoom(WallBetween(frame, 0, 0, 6000, 0), 0, 2400, 0, false), nullptr);
  EXPECT_TRUE(host.messages.empty());
  CRect rect;
  corner->UpdateGroup(rect);
  EXPECT_TRUE(frame.CreateRoom(WallBetween(frame, 0, 0, 6000, 0), 0, 2400, 0, false));
}

TEST_F(PlanEditing, SplittingASelectedWallSelectsBothPieces) {
  DrawRectangle();
  Wall* bottom = WallBetween(frame, 0, 0, 6000, 0);
  bottom->m_flags |= WALL_SELECTED;
  Draw({{3000, 0}, {3000, 2000}});
  Wall* piece = WallBetween(frame, 3000, 0, 6000, 0);
  ASSERT_TRUE(piece);
  EXPECT_TRUE(piece->m_flags & WALL_SELECTED);
  ASSERT_EQ(host.selectedWalls.size(), 1u);
  EXPECT_EQ(host.selectedWalls[0], piece);
}
