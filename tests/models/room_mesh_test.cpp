// The meshes of a small house: two rooms with a dividing wall, a door in it and a window in an
// outer wall. Checked by geometry: areas, orientation, indices, and bands meeting at their
// levels.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "models/frame.h"
#include "models/wallface.h"
#include "models/wallside.h"
#include "mesh_checks.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

// Area of the faces seen from direction d (a unit vector); faces turned away count negative,
// faces seen edge-on not at all.
double AreaToward(const Mesh& m, Vec d) {
  double sum = 0.0;
  for (int f = 0; f < m.GetFaceCount(); ++f) {
    const Vec n = Normal(m, f);
    sum += (n.x * d.x + n.y * d.y + n.z * d.z) / 2.0;
  }
  return sum;
}

// Area of the faces that look toward direction d, each counted by its share seen from there.
double AreaFacing(const Mesh& m, Vec d) {
  double sum = 0.0;
  for (int f = 0; f < m.GetFaceCount(); ++f) {
    const Vec n = Normal(m, f);
    sum += std::max(0.0, (n.x * d.x + n.y * d.y + n.z * d.z) / 2.0);
  }
  return sum;
}

// The lowest and highest level of the faces of a mesh seen from direction d.
void LevelsToward(const Mesh& m, Vec d, double* low, double* high) {
  *low = 1e9;
  *high = -1e9;
  for (int f = 0; f < m.GetFaceCount(); ++f) {
    const Vec n = Normal(m, f);
    if (n.x * d.x + n.y * d.y + n.z * d.z <= 0.0)
      continue;
    const MeshFace& face = *m.GetFace(f);
    for (uint32_t i : {face.a, face.b, face.c}) {
      *low = std::min(*low, At(m, i).z);
      *high = std::max(*high, At(m, i).z);
    }
  }
}

struct Move {
  float x, y, z;
};
std::vector<Move> g_moves;
void RecordMove(CObject*, float x, float y, float z) {
  g_moves.push_back({x, y, z});
}

class HouseMeshes : public ::testing::Test {
protected:
  void SetUp() override {
    DrawChain(frame, {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
    DrawChain(frame, {{3000, 0}, {3000, 4000}});
    divider = WallFromTo(frame, 3000, 0, 3000, 4000);
    south = WallFromTo(frame, 0, 0, 3000, 0);
    ASSERT_TRUE(divider && south);
    host.controls[IDC_PLAN_ROOM_NAME] = "거실";
    left = frame.PlaceRoomAt(CPoint(1500, 2000), 2400, 0, false);
    host.controls[IDC_PLAN_ROOM_NAME] = "침실";
    right = frame.PlaceRoomAt(CPoint(4500, 2000), 2400, 0, false);
    ASSERT_TRUE(left && right);

    // A door 900 wide and 2100 high in the middle of the divider; a window 1200 wide and 1200
    // high in the south wall of the left room, 300 below the ceiling.
    HoleInstance door;
    door.m_kind = HOLE_DOOR;
    door.m_posture.position[0] = 2000;
    door.m_posture.size[0] = 900;
    door.m_posture.size[2] = 2100;
    ASSERT_TRUE(divider->m_openings.Add(&door, true, 0.0));
    HoleInstance window;
    window.m_kind = HOLE_WINDOW;
    window.m_posture.position[0] = 1500;
    window.m_posture.position[2] = 300;
    window.m_posture.size[0] = 1200;
    window.m_posture.size[2] = 1200;
    ASSERT_TRUE(south->m_openings.Add(&window, true, 0.0));
    SetOpeningModelMover(RecordMove);
    g_moves.clear();
  }
  void TearDown() override { SetOpeningModelMover(nullptr); }

  RecordingPlanHost host;
  Frame frame;
  Wall* divider = nullptr;
  Wall* south = nullptr;
  Room* left = nullptr;
  Room* right = nullptr;
};

TEST_F(HouseMeshes, BoardsCoverTheRoomInside) {
  for (Room* room : {left, right}) {
    room->ClearMeshes();  // creating the room exported it, which built them once
    room->BuildBoards();
    ExpectSound(room->m_floor, "floor");
    ExpectSound(room->m_ceiling, "ceiling");
    // Inside the walls each room is 2850 x 3850.
    const double inner = 2850.0 * 3850.0;
    EXPECT_DOUBLE_EQ(AreaFacing(room->m_floor, {0, 0, 1}), inner);
    EXPECT_DOUBLE_EQ(AreaFacing(room->m_floor, {0, 0, -1}), 0.0);
    EXPECT_DOUBLE_EQ(AreaFacing(room->m_ceiling, {0, 0, -1}), inner);
    EXPECT_DOUBLE_EQ(AreaFacing(room->m_ceiling, {0, 0, 1}), 0.0);
    for (int i = 0; i < room->m_floor.GetVertexCount(); ++i)
      EXPECT_EQ(room->m_floor.GetVertex(i)->z, 0.0);
  }
}

TEST_F(HouseMeshes, CeilingObjectsCutHoles) {
  LibInstance* lamp = new LibInstance;
  lamp->m_posture.position[0] = 1500;
  lamp->m_posture.position[1] = 2000;
  lamp->m_posture.rotation[2] = 45;
  lamp->m_posture.size[0] = 600;
  lamp->m_posture.size[1] = 600;
  left->m_ceiling.m_objects.m_instances.Add(lamp);
  BuildRoomMeshes(frame, left);
  ExpectSound(left->m_ceiling, "ceiling");
  EXPECT_NEAR(AreaFacing(left->m_ceiling, {0, 0, -1}), 2850.0 * 3850.0 - 600.0 * 600.0, 600.0);
  EXPECT_EQ(AreaFacing(left->m_ceiling, {0, 0, 1}), 0.0);
  // The hole is a diamond: its corners lie on the axes through the centre, 424 mm from it.
  bool onAxis = false;
  for (int i = 0; i < left->m_ceiling.GetVertexCount(); ++i) {
    const MeshVertex& v = *left->m_ceiling.GetVertex(i);
    if (v.x == 1500.0 && v.y == 2000.0 + 424.0)
      onAxis = true;
  }
  EXPECT_TRUE(onAxis);
}

TEST_F(HouseMeshes, WallSidesAreBandsWithTheOpeningsCut) {
  BuildRoomMeshes(frame, left);
  BuildRoomMeshes(frame, right);
  // Every wall side of both rooms: its band faces the room and covers the side's length times
  // the room's height, less its openings.
  for (Room* room : {left, right}) {
    for (int i = 0; i < room->GetWallFaceCount(); ++i) {
      const WallFace* face = room->GetWallFace(i);
      const Wall* w = face->m_pWall;
      const int side = face->GetSide();
      ASSERT_EQ(w->GetCellCount(side), 1);
      const WallFaceCell& cell = *w->GetCell(side, 0);
      ExpectSound(cell, "cell");
      double openings = 0.0;
      if (w == divider)
        openings = 900.0 * 2100.0;
      if (w == south)
        openings = 1200.0 * 1200.0;
      const double length = w->Length() == 4000.0 ? 3850.0 : 2850.0;
      EXPECT_DOUBLE_EQ(AreaToward(cell, TowardRoom(w, side)), length * 2400.0 - openings)
          << w->m_pStart->m_x << "," << w->m_pStart->m_y << " side " << side;
    }
  }
  // The door's jambs and head are built once, by one of the two rooms, facing into the
  // opening; its sill lies in that room's floor.
  double jambs[2] = {0.0, 0.0}, head = 0.0;
  for (int side = 0; side < 2; ++side) {
    const Mesh& cell = *divider->GetCell(side, 0);
    jambs[0] += AreaFacing(cell, {0, 1, 0});
    jambs[1] += AreaFacing(cell, {0, -1, 0});
    head += AreaFacing(cell, {0, 0, -1});
  }
  EXPECT_DOUBLE_EQ(jambs[0], 150.0 * 2100.0);
  EXPECT_DOUBLE_EQ(jambs[1], 150.0 * 2100.0);
  EXPECT_DOUBLE_EQ(head, 150.0 * 900.0);
  EXPECT_DOUBLE_EQ(AreaFacing(left->m_floor, {0, 0, 1}) + AreaFacing(right->m_floor, {0, 0, 1}),
                   2 * 2850.0 * 3850.0 + 150.0 * 900.0);
  // The window of the outer wall is closed all round by the only room that sees it.
  const Mesh& southCell = *south->GetCell(0, 0);
  EXPECT_DOUBLE_EQ(AreaFacing(southCell, {0, 0, -1}), 1200.0 * 150.0);  // head
  EXPECT_DOUBLE_EQ(AreaFacing(southCell, {0, 0, 1}), 1200.0 * 150.0);   // sill
  EXPECT_DOUBLE_EQ(AreaFacing(southCell, {1, 0, 0}), 150.0 * 1200.0);   // jambs
  EXPECT_DOUBLE_EQ(AreaFacing(southCell, {-1, 0, 0}), 150.0 * 1200.0);
  // The walls' tops lie in the bare-wall meshes at the wall height, facing up.
  double tops = 0.0;
  for (Room* room : {left, right}) {
    ExpectSound(room->GetBareWallMesh(), "bare wall");
    tops += AreaToward(room->GetBareWallMesh(), {0, 0, 1});
  }
  EXPECT_GT(tops, 0.0);
  // The models of the door and the window move to the centres of their openings.
  ASSERT_FALSE(g_moves.empty());
  bool doorMoved = false;
  for (const Move& m : g_moves)
    if (m.x == 3000.0f && m.y == 2000.0f && m.z == 1050.0f)
      doorMoved = true;
  EXPECT_TRUE(doorMoved);
}

TEST_F(HouseMeshes, BandsMeetAtTheirLevels) {
  // Two bands of 1200 on the south wall: the window (900 to 2100) cuts a notch into the top of
  // the lower one and the bottom of the upper one.
  const int32_t heights[2] = {1200, 1200};
  const uint32_t kinds[2] = {BAND_WALL, BAND_WALL};
  south->RebuildFaceCells(0, heights, kinds, 2);
  BuildRoomMeshes(frame, left);
  const Vec in = TowardRoom(south, 0);
  const Mesh& lower = *south->GetCell(0, 0);
  const Mesh& upper = *south->GetCell(0, 1);
  ExpectSound(lower, "lower band");
  ExpectSound(upper, "upper band");
  EXPECT_DOUBLE_EQ(AreaToward(lower, in), 2850.0 * 1200.0 - 1200.0 * 300.0);
  EXPECT_DOUBLE_EQ(AreaToward(upper, in), 2850.0 * 1200.0 - 1200.0 * 900.0);
  double lowBottom, lowTop, upBottom, upTop;
  LevelsToward(lower, in, &lowBottom, &lowTop);
  LevelsToward(upper, in, &upBottom, &upTop);
  EXPECT_EQ(lowBottom, 0.0);
  EXPECT_EQ(lowTop, 1200.0);
  EXPECT_EQ(upBottom, 1200.0);
  EXPECT_EQ(upTop, 2400.0);
}

}  // namespace

namespace {

// The walk around a room follows the pole links, not the room's list of wall sides: a room
// whose list has lost entries still gets its whole outline, with more corners than the list
// would make room for.
TEST_F(HouseMeshes, FloorWalkFollowsTheWallsNotTheList) {
  while (left->GetWallFaceCount() > 1) {
    const WallFace* face = left->GetWallFace(left->GetWallFaceCount() - 1);
    ASSERT_TRUE(left->RemoveWallFace(face->m_pWall, face->GetSide()));
  }
  left->m_floor.Clear();
  left->m_ceiling.Clear();
  left->BuildBoards();
  ExpectSound(left->m_floor, "floor");
  EXPECT_GT(left->m_floor.GetVertexCount(), 2 * left->GetWallFaceCount() + 1);
  EXPECT_DOUBLE_EQ(AreaFacing(left->m_floor, {0, 0, 1}), 2850.0 * 3850.0);
  EXPECT_DOUBLE_EQ(AreaFacing(left->m_ceiling, {0, 0, -1}), 2850.0 * 3850.0);
}

}  // namespace
