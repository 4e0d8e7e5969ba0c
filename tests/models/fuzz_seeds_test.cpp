// Seeds for the model-file fuzz target: plans with doors and windows, drawn and saved as a user
// would, with and without their room meshes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fuzz_seeds.h"
#include "models/modelfile.h"
#include "plan_fixtures.h"

namespace {

void AddOpening(Wall* wall, int32_t kind, int32_t id, float at, float bottom, float width, float height) {
  ASSERT_TRUE(wall);
  HoleInstance hole;
  hole.m_kind = kind;
  hole.m_kindId = id;
  hole.m_posture.position[0] = at;
  hole.m_posture.position[2] = bottom;
  hole.m_posture.size[0] = width;
  hole.m_posture.size[1] = wall->m_thickness;
  hole.m_posture.size[2] = height;
  ASSERT_TRUE(wall->m_openings.Add(&hole, true, 0.0));
}

struct Seed {
  const char* name;
  std::function<void(Frame&)> draw;
};

const Seed kSeeds[] = {
    {"house",  // two rooms, a door between them and a window outside, meshes built
     [](Frame& f) {
       DrawChain(f, {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
       DrawChain(f, {{3000, 0}, {3000, 4000}});
       Room* left = f.PlaceRoomAt(CPoint(1500, 2000), 2400, 0, false);
       Room* right = f.PlaceRoomAt(CPoint(4500, 2000), 2400, 0, false);
       ASSERT_TRUE(left && right);
       AddOpening(WallFromTo(f, 3000, 0, 3000, 4000), HOLE_DOOR, 1000, 2000, 0, 900, 2100);
       AddOpening(WallFromTo(f, 0, 0, 3000, 0), HOLE_WINDOW, 1100, 1500, 900, 1200, 1200);
       BuildRoomMeshes(f, left);
       BuildRoomMeshes(f, right);
     }},
    {"slanted_thick",  // a five-sided room of thick walls, openings on the slanted wall
     [](Frame& f) {
       DrawChain(f, {{0, 0}, {5000, 0}, {5000, 3000}, {2000, 7000}, {0, 3000}, {0, 0}}, 2700, 300,
                 PLAN_FREE_ANGLE);
       Room* room = f.PlaceRoomAt(CPoint(2500, 2000), 2700, 0, false);
       ASSERT_TRUE(room);
       AddOpening(WallBetween(f, 5000, 3000, 2000, 7000), HOLE_DOOR, 1002, 1600, 0, 800, 2000);
       AddOpening(WallBetween(f, 0, 0, 5000, 0), HOLE_WINDOW, 1101, 1200, 1000, 900, 1000);
       AddOpening(WallBetween(f, 0, 0, 5000, 0), HOLE_WINDOW, 1102, 3600, 1000, 900, 1000);
       BuildRoomMeshes(f, room);
     }},
    {"open_walls",  // walls with openings and no room
     [](Frame& f) {
       DrawChain(f, {{0, 0}, {4000, 0}, {4000, 3000}});
       DrawChain(f, {{-2000, 1000}, {-2000, 4000}}, 2100, 100);
       AddOpening(WallFromTo(f, 0, 0, 4000, 0), HOLE_DOOR, 1005, 800, 0, 900, 2100);
       AddOpening(WallFromTo(f, 4000, 0, 4000, 3000), HOLE_WINDOW, 1100, 1500, 800, 1500, 1200);
     }},
    {"l_room_boards",  // an L-shaped room and a room beside it, boards only
     [](Frame& f) {
       DrawChain(f, {{0, 0}, {6000, 0}, {6000, 2000}, {3000, 2000}, {3000, 5000}, {0, 5000}, {0, 0}});
       DrawChain(f, {{6000, 2000}, {6000, 5000}, {3000, 5000}});
       Room* l = f.PlaceRoomAt(CPoint(1000, 1000), 2400, 0, false);
       Room* square = f.PlaceRoomAt(CPoint(4500, 3500), 2400, 0, false);
       ASSERT_TRUE(l && square);
       AddOpening(WallFromTo(f, 3000, 2000, 3000, 5000), HOLE_DOOR, 1001, 1500, 0, 900, 2100);
       AddOpening(WallFromTo(f, 0, 0, 6000, 0), HOLE_WINDOW, 1103, 4500, 900, 1800, 1200);
       l->BuildBoards();
       square->BuildBoards();
     }},
};

// The number of openings of every wall, in wall order.
std::vector<int> OpeningCounts(const Frame& frame) {
  std::vector<int> counts;
  for (int i = 0; i < frame.GetWallCount(); ++i) counts.push_back(frame.GetWall(i)->m_openings.GetCount());
  return counts;
}

TEST(FuzzSeeds, PlansWithOpeningsOpenAgain) {
  RegisterModelClasses();
  RoomNamingHost host;
  SetPlanHost(&host);
  for (const Seed& seed : kSeeds) {
    SCOPED_TRACE(seed.name);
    ModelDocument saved;
    saved.SetModel(new Model);
    Frame& plan = saved.GetModel()->m_frame;
    seed.draw(plan);
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<BYTE> bytes = SaveToBytes(saved);

    std::vector<BYTE> copy = bytes;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    ModelDocument opened;
    ASSERT_NO_THROW(opened.Serialize(ar));
    ASSERT_TRUE(opened.GetModel());
    const Frame& loaded = opened.GetModel()->m_frame;
    EXPECT_EQ(loaded.GetRoomCount(), plan.GetRoomCount());
    EXPECT_EQ(OpeningCounts(loaded), OpeningCounts(plan));
    EXPECT_TRUE(WriteFuzzSeed("models", seed.name, bytes.data(), bytes.size()));
  }
  SetPlanHost(nullptr);
}

}  // namespace
