// Drawing into a plan that already has rooms (finishing a chain; removing
// rooms): the rooms that a new joint cuts are removed and the rooms across their walls exported
// again by the side-flag rule; a chain whose end stays free removes the room around that end; a
// wall removed with its rooms regenerates their neighbours. One user's sequence, checked after
// every step: the rooms, the wall sides that name them, and what the plan asked of the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "models/frame.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

constexpr int kRoomKind = 21;  // the scene kind of a room's parts

// The recording host, with the calls that matter here in one ordered log, rooms named by the
// display name of their scene object: "collect 거실" (materials re-collected), "export 거실"
// (exported again), "drop 거실" (its scene object removed by the room's removal).
class RoomEventsHost : public RecordingPlanHost {
public:
  void CollectRoomMaterials(CObject* sceneObject) override {
    Log("collect " + NameOf(sceneObject));
    RecordingPlanHost::CollectRoomMaterials(sceneObject);
  }
  // A room's new scene object: the room was exported and shown again.
  void LinkSceneObject(CObject* sceneObject, CObject* planObject, const char* name) override {
    RecordingPlanHost::LinkSceneObject(sceneObject, planObject, name);
    Room* room = dynamic_cast<Room*>(planObject);
    if (!room) return;
    const std::string shown = NameOf(sceneObject);
    Log("export " + shown);
    // What the export saw across the room's walls.
    std::set<std::string>& across = acrossAtExport[shown];
    across.clear();
    for (int i = 0; i < room->GetWallFaceCount(); ++i) {
      const WallFace* face = room->GetWallFace(i);
      const Room* other = face->m_pWall->GetRoom(1 - face->GetSide());
      across.insert(other ? NameOf(other->m_pOwner) : "-");
    }
  }
  // A room's old scene object removed just before its new one is loaded is a replacement, not a
  // removal: the drop waits until the next call shows which it was.
  CObject* LoadObjectFile(const char* fileName, int kind, int kind2,
                          const ScenePlacement& placement) override {
    if (kind == kRoomKind) m_pendingDrop.clear();
    return RecordingPlanHost::LoadObjectFile(fileName, kind, kind2, placement);
  }
  void RemoveSceneObject(CObject* sceneObject) override {
    FlushDrop();
    if (sceneObject) m_pendingDrop = "drop " + NameOf(sceneObject);
    RecordingPlanHost::RemoveSceneObject(sceneObject);
  }
  std::vector<std::string> TakeEvents() {
    FlushDrop();
    std::vector<std::string> taken;
    taken.swap(events);
    return taken;
  }

  std::vector<std::string> events;
  // By room: the rooms across its walls when it was last exported ("-" for none).
  std::map<std::string, std::set<std::string>> acrossAtExport;

private:
  std::string NameOf(CObject* sceneObject) {
    if (!sceneObject) return "(none)";
    return static_cast<const char*>(ExtractRoomName(GetSceneObjectName(sceneObject)));
  }
  void FlushDrop() {
    if (!m_pendingDrop.empty()) events.push_back(m_pendingDrop);
    m_pendingDrop.clear();
  }
  void Log(const std::string& event) {
    FlushDrop();
    events.push_back(event);
  }
  std::string m_pendingDrop;
};

class PlanRoomsEditing : public ::testing::Test {
protected:
  void SetUp() override { m_saved = GetPlanSettings(); }
  void TearDown() override { GetPlanSettings() = m_saved; }

  Room* PlaceRoom(const char* name, int x, int y) {
    host.controls[IDC_PLAN_ROOM_NAME] = name;
    return frame.PlaceRoomAt(CPoint(x, y), 2400, 0, false);
  }
  Room* RoomNamed(const char* name) const { return frame.FindRoomByName(name); }

  // The display names of the plan's rooms, in the frame's order.
  std::vector<std::string> RoomNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < frame.GetRoomCount(); ++i)
      names.push_back(static_cast<const char*>(frame.RoomAt(i)->GetDisplayName()));
    return names;
  }

  // A wall side as text: the wall's two ends (the lower first) and the compass side of the wall
  // that the side faces, found by which side of the wall a point just north (or east) of its
  // middle lies on: "0,4000-3000,4000 S".
  static std::string SideText(const Wall* wall, int side) {
    double x1 = wall->m_pStart->m_x, y1 = wall->m_pStart->m_y;
    double x2 = wall->m_pEnd->m_x, y2 = wall->m_pEnd->m_y;
    const bool horizontal = std::abs(y2 - y1) < std::abs(x2 - x1);
    const double mx = (x1 + x2) / 2, my = (y1 + y2) / 2;
    const int northOrEast = horizontal ? wall->SideOfPoint(mx, my + 100) : wall->SideOfPoint(mx + 100, my);
    const char* compass = horizontal ? (side == northOrEast ? "N" : "S") : (side == northOrEast ? "E" : "W");
    if (std::make_pair(x2, y2) < std::make_pair(x1, y1)) {
      std::swap(x1, x2);
      std::swap(y1, y2);
    }
    std::ostringstream out;
    out << x1 << "," << y1 << "-" << x2 << "," << y2 << " " << compass;
    return out.str();
  }
  // The room's wall sides as the room lists them.
  static std::set<std::string> SidesOf(const Room* room) {
    std::set<std::string> sides;
    for (int i = 0; i < room->GetWallFaceCount(); ++i) {
      const WallFace* face = room->GetWallFace(i);
      sides.insert(SideText(face->m_pWall, face->GetSide()));
    }
    return sides;
  }
  // Every wall side that names a room is one of that room's sides and the other way round; no
  // wall names a room that the plan no longer has.
  void ExpectSidesAgree() const {
    std::set<std::pair<const Wall*, int>> named;
    for (int i = 0; i < frame.GetWallCount(); ++i) {
      const Wall* wall = frame.GetWall(i);
      for (int side = 0; side < 2; ++side) {
        const Room* room = wall->GetRoom(side);
        if (!room) continue;
        named.insert({wall, side});
        EXPECT_GE(frame.IndexOfRoom(room), 0) << SideText(wall, side) << " names a removed room";
        if (frame.IndexOfRoom(room) < 0) continue;
        const WallFace* face = room->FindWallFace(wall, side);
        EXPECT_TRUE(face) << SideText(wall, side) << " is not a side of " << room->GetDisplayName();
      }
    }
    for (int i = 0; i < frame.GetRoomCount(); ++i) {
      const Room* room = frame.RoomAt(i);
      for (int k = 0; k < room->GetWallFaceCount(); ++k) {
        const WallFace* face = room->GetWallFace(k);
        EXPECT_GE(Frame::IndexOfWall(frame.m_walls, face->m_pWall), 0) << room->GetDisplayName();
        EXPECT_EQ(face->m_pWall->GetRoom(face->GetSide()), room) << SideText(face->m_pWall, face->GetSide());
      }
    }
  }
  // The wall sides of the plan that name no room.
  std::set<std::string> FreeSides() const {
    std::set<std::string> free;
    for (int i = 0; i < frame.GetWallCount(); ++i)
      for (int side = 0; side < 2; ++side)
        if (!frame.GetWall(i)->GetRoom(side)) free.insert(SideText(frame.GetWall(i), side));
    return free;
  }

  RoomEventsHost host;
  Frame frame;

private:
  PlanSettings m_saved;
};

using Sides = std::set<std::string>;
using Events = std::vector<std::string>;

TEST_F(PlanRoomsEditing, DrawingIntoAPlanWithRooms) {
  // Two rooms side by side: a 6000 x 4000 rectangle with a dividing wall at x = 3000.
  DrawChain(frame, {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
  DrawChain(frame, {{3000, 0}, {3000, 4000}});
  ASSERT_TRUE(PlaceRoom("거실", 1500, 2000));
  ASSERT_TRUE(PlaceRoom("침실", 4500, 2000));
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"거실", "침실"}));
  EXPECT_EQ(SidesOf(RoomNamed("거실")),
            (Sides{"0,0-0,4000 E", "0,0-3000,0 N", "3000,0-3000,4000 W", "0,4000-3000,4000 S"}));
  EXPECT_EQ(SidesOf(RoomNamed("침실")),
            (Sides{"3000,0-3000,4000 E", "3000,0-6000,0 N", "6000,0-6000,4000 W", "3000,4000-6000,4000 S"}));
  // A placed room is shown, then its neighbours are shown again.
  EXPECT_EQ(host.TakeEvents(), (Events{"export 거실", "export 침실", "collect 거실", "export 거실"}));
  ExpectSidesAgree();

  // 1. A wall drawn across the right room, from its bottom wall to its top wall. Each end splits
  // the wall it lands on; the joint at the end cuts the room, which is removed, and the room
  // across its walls (the left one, beyond the divider) is exported again before it goes.
  host.Clear();
  DrawChain(frame, {{4500, 0}, {4500, 4000}});
  EXPECT_FALSE(frame.IsDrawing());
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"거실"}));
  EXPECT_EQ(host.TakeEvents(), (Events{"collect 거실", "export 거실", "drop 침실"}));
  EXPECT_EQ(host.materialCollections, 1);
  ASSERT_EQ(host.exports.size(), 1u);
  EXPECT_EQ(host.exports[0].room, RoomNamed("거실"));
  EXPECT_EQ(host.SceneNames().size(), 1u);
  EXPECT_EQ(SidesOf(RoomNamed("거실")),
            (Sides{"0,0-0,4000 E", "0,0-3000,0 N", "3000,0-3000,4000 W", "0,4000-3000,4000 S"}));
  EXPECT_EQ(FreeSides(), (Sides{"0,0-0,4000 W", "0,0-3000,0 S", "0,4000-3000,4000 N", "3000,0-3000,4000 E",
                                "3000,0-4500,0 N", "3000,0-4500,0 S", "4500,0-6000,0 N", "4500,0-6000,0 S",
                                "4500,0-4500,4000 W", "4500,0-4500,4000 E", "6000,0-6000,4000 W",
                                "6000,0-6000,4000 E", "3000,4000-4500,4000 N", "3000,4000-4500,4000 S",
                                "4500,4000-6000,4000 N", "4500,4000-6000,4000 S"}));
  ExpectSidesAgree();

  // The two halves of the old room become rooms of their own.
  ASSERT_TRUE(PlaceRoom("침실", 3750, 2000));
  ASSERT_TRUE(PlaceRoom("서재", 5250, 2000));
  EXPECT_EQ(SidesOf(RoomNamed("침실")),
            (Sides{"3000,0-3000,4000 E", "3000,0-4500,0 N", "4500,0-4500,4000 W", "3000,4000-4500,4000 S"}));
  EXPECT_EQ(SidesOf(RoomNamed("서재")),
            (Sides{"4500,0-4500,4000 E", "4500,0-6000,0 N", "6000,0-6000,4000 W", "4500,4000-6000,4000 S"}));
  EXPECT_EQ(host.TakeEvents(), (Events{"export 침실", "collect 거실", "export 거실", "export 서재",
                                       "collect 침실", "export 침실"}));

  // 2. A chain drawn along the left room's top edge, outside it: up from its corner, across and
  // down onto the junction at the divider's top. The joint there cuts only the outside, so no
  // room goes; the rooms across the two walls beside the new one, on their other sides (the
  // left room and the middle one), are each exported again.
  host.Clear();
  DrawChain(frame, {{0, 4000}, {0, 5000}, {3000, 5000}, {3000, 4000}});
  EXPECT_FALSE(frame.IsDrawing());
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"거실", "침실", "서재"}));
  EXPECT_EQ(host.TakeEvents(), (Events{"collect 침실", "export 침실", "collect 거실", "export 거실"}));
  EXPECT_EQ(host.materialCollections, 2);
  EXPECT_EQ(host.exports.size(), 2u);
  EXPECT_EQ(SidesOf(RoomNamed("거실")),
            (Sides{"0,0-0,4000 E", "0,0-3000,0 N", "3000,0-3000,4000 W", "0,4000-3000,4000 S"}));
  EXPECT_EQ(SidesOf(RoomNamed("침실")),
            (Sides{"3000,0-3000,4000 E", "3000,0-4500,0 N", "4500,0-4500,4000 W", "3000,4000-4500,4000 S"}));
  ExpectSidesAgree();

  // The strip that the chain closed off becomes a room too.
  ASSERT_TRUE(PlaceRoom("창고", 1500, 4500));
  EXPECT_EQ(SidesOf(RoomNamed("창고")),
            (Sides{"0,4000-0,5000 E", "0,5000-3000,5000 S", "3000,4000-3000,5000 W", "0,4000-3000,4000 N"}));
  EXPECT_EQ(host.TakeEvents(), (Events{"export 창고", "collect 거실", "export 거실"}));
  ExpectSidesAgree();

  // A wall drawn from outside up to the middle of the left room's bottom wall, which it splits.
  // The joint cuts the outside only; the room across both pieces is the same room, exported
  // again once.
  host.Clear();
  DrawChain(frame, {{1500, -1500}, {1500, 0}});
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"거실", "침실", "서재", "창고"}));
  EXPECT_EQ(host.TakeEvents(), (Events{"collect 거실", "export 거실"}));
  EXPECT_EQ(SidesOf(RoomNamed("거실")), (Sides{"0,0-0,4000 E", "0,0-1500,0 N", "1500,0-3000,0 N",
                                               "3000,0-3000,4000 W", "0,4000-3000,4000 S"}));
  EXPECT_EQ(FreeSides().count("1500,-1500-1500,0 W"), 1u);
  EXPECT_EQ(FreeSides().count("1500,-1500-1500,0 E"), 1u);
  ExpectSidesAgree();

  // 3. A chain inside the right room whose ends both stay free: no joint, and no wall hit at its
  // end, so the room around the end (found from the wall nearest to it) is removed, and the
  // room beside it is exported again before it goes.
  host.Clear();
  DrawChain(frame, {{5000, 1000}, {5500, 1000}, {5500, 2500}});
  EXPECT_FALSE(frame.IsDrawing());
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"거실", "침실", "창고"}));
  EXPECT_EQ(host.TakeEvents(), (Events{"collect 침실", "export 침실", "drop 서재"}));
  EXPECT_TRUE(WallBetween(frame, 5000, 1000, 5500, 1000));
  EXPECT_TRUE(WallBetween(frame, 5500, 1000, 5500, 2500));
  for (const char* side : {"4500,0-4500,4000 E", "4500,0-6000,0 N", "6000,0-6000,4000 W", "4500,4000-6000,4000 S",
                           "5000,1000-5500,1000 N", "5000,1000-5500,1000 S", "5500,1000-5500,2500 E",
                           "5500,1000-5500,2500 W"})
    EXPECT_EQ(FreeSides().count(side), 1u) << side;
  ExpectSidesAgree();

  // 4. The dividing wall removed with its rooms: both rooms beside it go, each regenerating the
  // rooms across its other walls first (the strip, beyond the left room's top wall); the two
  // bottom walls that met the divider become one again.
  host.Clear();
  Wall* divider = WallBetween(frame, 3000, 0, 3000, 4000);
  ASSERT_TRUE(divider);
  CRect rect;
  frame.RemoveWall(divider, rect, true);
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"창고"}));
  EXPECT_EQ(host.TakeEvents(), (Events{"collect 창고", "export 창고", "drop 거실", "drop 침실"}));
  EXPECT_TRUE(WallBetween(frame, 1500, 0, 4500, 0));
  EXPECT_FALSE(WallBetween(frame, 3000, 0, 3000, 4000));
  EXPECT_EQ(SidesOf(RoomNamed("창고")),
            (Sides{"0,4000-0,5000 E", "0,5000-3000,5000 S", "3000,4000-3000,5000 W", "0,4000-3000,4000 N"}));
  for (const char* side : {"0,0-1500,0 N", "1500,0-4500,0 N", "0,4000-3000,4000 S", "0,0-0,4000 E", "3000,4000-4500,4000 S",
                           "4500,0-4500,4000 W"})
    EXPECT_EQ(FreeSides().count(side), 1u) << side;
  ExpectSidesAgree();
  std::vector<std::string> shown = host.SceneNames();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(ExtractRoomName(shown[0].c_str()), "창고");
}

// RemoveRoom on its own: without regeneration nothing else is exported; with it, each distinct
// neighbour across the room's walls is regenerated once, and the room's wall sides are free
// afterwards. A room that is not in the plan is ignored.
TEST_F(PlanRoomsEditing, RemoveRoomRegeneratesEachNeighbourOnce) {
  DrawChain(frame, {{0, 0}, {9000, 0}, {9000, 4000}, {0, 4000}, {0, 0}});
  DrawChain(frame, {{3000, 0}, {3000, 4000}});
  DrawChain(frame, {{6000, 0}, {6000, 4000}});
  DrawChain(frame, {{3000, 2000}, {6000, 2000}});
  ASSERT_TRUE(PlaceRoom("서", 1000, 1500));
  ASSERT_TRUE(PlaceRoom("남", 4500, 800));
  ASSERT_TRUE(PlaceRoom("북", 4500, 3200));
  ASSERT_TRUE(PlaceRoom("동", 8000, 1500));
  host.Clear();
  host.TakeEvents();

  // The west room borders the south and the north room across two pieces of the wall at 3000:
  // each is regenerated once (materials, then export; their order is left open), then
  // the room's scene object goes.
  EXPECT_EQ(SidesOf(RoomNamed("서")), (Sides{"0,0-0,4000 E", "0,0-3000,0 N", "0,4000-3000,4000 S",
                                              "3000,0-3000,2000 W", "3000,2000-3000,4000 W"}));
  EXPECT_EQ(frame.RemoveRoom(RoomNamed("서"), true), 1);
  const Events events = host.TakeEvents();
  ASSERT_EQ(events.size(), 5u);
  std::vector<Events> pairs = {{events[0], events[1]}, {events[2], events[3]}};
  std::sort(pairs.begin(), pairs.end());
  EXPECT_EQ(pairs, (std::vector<Events>{{"collect 남", "export 남"}, {"collect 북", "export 북"}}));
  EXPECT_EQ(events[4], "drop 서");
  // While they are exported, the room that goes is already off its wall sides.
  EXPECT_EQ(host.acrossAtExport["남"], (std::set<std::string>{"-", "북", "동"}));
  EXPECT_EQ(host.acrossAtExport["북"], (std::set<std::string>{"-", "남", "동"}));
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"남", "북", "동"}));
  EXPECT_EQ(FreeSides().count("3000,0-3000,2000 W"), 1u);
  EXPECT_EQ(FreeSides().count("3000,2000-3000,4000 W"), 1u);
  ExpectSidesAgree();

  // Without regeneration only the room goes.
  EXPECT_EQ(frame.RemoveRoom(RoomNamed("남"), false), 1);
  EXPECT_EQ(host.TakeEvents(), (Events{"drop 남"}));
  ExpectSidesAgree();

  Room stranger(2400, 0);
  EXPECT_EQ(frame.RemoveRoom(&stranger, true), 0);
  EXPECT_EQ(frame.RemoveRoom(nullptr, true), 0);
  EXPECT_TRUE(host.TakeEvents().empty());
  EXPECT_EQ(RoomNames(), (std::vector<std::string>{"북", "동"}));
}

}  // namespace
