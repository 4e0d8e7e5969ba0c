// The plan selection's lists and the flags on walls, poles and rooms that follow them.
#include <gtest/gtest.h>

#include "doc/planselection.h"
#include "models/frame.h"
#include "models/room.h"
#include "models/wall.h"
#include "models/wallpole.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

constexpr uint32_t kSides = WALL_SIDE0_SELECTED | WALL_SIDE1_SELECTED;

class Selection : public ::testing::Test {
protected:
  void SetUp() override {
    DrawChain(frame, {{0, 0}, {6000, 0}, {6000, 4000}});
    a = WallBetween(frame, 0, 0, 6000, 0);
    b = WallBetween(frame, 6000, 0, 6000, 4000);
    ASSERT_TRUE(a && b);
  }
  int Entries(const CPtrArray& list, const void* item) const {
    int n = 0;
    for (INT_PTR i = 0; i < list.GetSize(); ++i) n += list.GetAt(i) == item;
    return n;
  }
  bool PolesTouched(const Wall* w) const { return (w->m_pStart->m_state & 1) && (w->m_pEnd->m_state & 1); }

  RecordingPlanHost host;
  Frame frame;
  PlanSelection selection;
  Wall* a = nullptr;
  Wall* b = nullptr;
};

}  // namespace

// Each mode: the wall's bits, its entries in the selected walls, its mark and its poles; then the
// same mode taken back leaves the lists and the wall as they were.
TEST_F(Selection, EachModeSetsItsBitsAndEntriesAndDeselectingTakesThemBack) {
  const struct {
    int mode;
    uint32_t bits;
    int entries;
    bool marked;
  } cases[] = {{SELECT_SIDE0, WALL_SIDE0_SELECTED, 1, false},
               {SELECT_SIDE1, WALL_SIDE1_SELECTED, 1, false},
               {SELECT_BOTH_SIDES, kSides, 2, false},
               {SELECT_WHOLE_WALL, WALL_SELECTED, 1, true}};
  selection.SelectWall(b, SELECT_SIDE0);  // another wall's entry stays first throughout
  for (const auto& c : cases) {
    selection.SelectWall(a, c.mode);
    EXPECT_EQ(a->m_flags & (kSides | WALL_SELECTED | WALL_MARKED), c.bits | (c.marked ? uint32_t{WALL_MARKED} : 0u)) << c.mode;
    EXPECT_EQ(Entries(selection.SelectedWalls(), a), c.entries) << c.mode;
    EXPECT_EQ(Entries(selection.MarkedWalls(), a), c.marked ? 1 : 0) << c.mode;
    EXPECT_EQ(PolesTouched(a), c.marked) << c.mode;
    EXPECT_TRUE(selection.IsWallSelected(a));
    EXPECT_EQ(selection.DeselectWall(a, c.mode), 1) << c.mode;
    EXPECT_FALSE(selection.IsWallSelected(a)) << c.mode;
    EXPECT_EQ(a->m_flags & (kSides | WALL_SELECTED | WALL_MARKED), 0u) << c.mode;
    EXPECT_FALSE(PolesTouched(a)) << c.mode;
    ASSERT_EQ(selection.SelectedWalls().GetSize(), 1) << c.mode;
    EXPECT_EQ(selection.SelectedWalls().GetAt(0), b);
  }
  EXPECT_EQ(selection.DeselectWall(a, SELECT_WHOLE_WALL), 0) << "nothing to take back";
}

// A new selection of the whole wall or of both sides replaces the wall's earlier one; a side
// selection adds to a side selection; toggling takes a selection back or makes it.
TEST_F(Selection, SelectingAgainReplacesAndTogglingFlips) {
  selection.SelectWall(a, SELECT_WHOLE_WALL);
  selection.SelectWall(a, SELECT_BOTH_SIDES);
  EXPECT_EQ(a->m_flags & (kSides | WALL_SELECTED | WALL_MARKED), kSides);
  EXPECT_EQ(Entries(selection.SelectedWalls(), a), 2);
  EXPECT_EQ(selection.MarkedWalls().GetSize(), 0);
  selection.SelectWall(a, SELECT_WHOLE_WALL);
  EXPECT_EQ(a->m_flags & (kSides | WALL_SELECTED), WALL_SELECTED);
  EXPECT_EQ(Entries(selection.SelectedWalls(), a), 1);

  selection.ToggleWall(b, SELECT_WHOLE_WALL);
  EXPECT_TRUE(selection.IsWallSelected(b));
  selection.ToggleWall(b, SELECT_WHOLE_WALL);
  EXPECT_FALSE(selection.IsWallSelected(b));
  EXPECT_EQ(b->m_flags & WALL_MARKED, 0u);
}

// Marks: a wall is marked once however often; the chain's end marks the walls at its last wall's
// start; unselected marks go with the wall selection, selected ones stay until the whole
// selection is cleared; forgetting deleted walls touches no wall.
TEST_F(Selection, MarksFollowTheSelectionAndTheChainBeingDrawn) {
  selection.MarkWall(b);
  selection.MarkWall(b);
  EXPECT_EQ(Entries(selection.MarkedWalls(), b), 1);
  selection.SelectWall(a, SELECT_WHOLE_WALL);
  selection.UnmarkUnselectedWalls();
  EXPECT_EQ(b->m_flags & WALL_MARKED, 0u);
  ASSERT_EQ(selection.MarkedWalls().GetSize(), 1);
  EXPECT_EQ(selection.MarkedWalls().GetAt(0), a);

  // A chain being drawn: its last wall starts where the wall before it ends.
  CRect area;
  for (CPoint p : {CPoint(6000, 4000), CPoint(0, 4000), CPoint(0, 2000)}) {
    CPoint moved = p;
    if (frame.IsDrawing()) frame.TrackDrawnWall(moved, 0, area);
    frame.AddDrawnWall(p, 0, 2400, 150, area);
  }
  const WallPole* start = frame.GetLastDrawnWall()->m_pStart;
  ASSERT_GE(start->GetDegree(), 2);
  selection.MarkWallsAtChainEnd(frame);
  for (int j = 0; j < start->GetDegree(); ++j) {
    EXPECT_NE(start->GetJoinWall(j)->m_flags & WALL_MARKED, 0u) << j;
    EXPECT_EQ(Entries(selection.MarkedWalls(), start->GetJoinWall(j)), 1) << j;
  }
  EXPECT_EQ(selection.MarkedWalls().GetAt(0), a) << "after the marks there were";

  selection.ClearWallSelection();
  EXPECT_EQ(selection.SelectedWalls().GetSize(), 0);
  EXPECT_EQ(selection.MarkedWalls().GetSize(), 0);
  EXPECT_EQ((a->m_flags | b->m_flags) & (kSides | WALL_SELECTED | WALL_MARKED), 0u);
  EXPECT_FALSE(PolesTouched(a));

  selection.SelectWall(a, SELECT_WHOLE_WALL);
  selection.ForgetDeletedWalls();
  EXPECT_EQ(selection.SelectedWalls().GetSize() + selection.MarkedWalls().GetSize(), 0);
  EXPECT_NE(a->m_flags & WALL_SELECTED, 0u);
}

TEST_F(Selection, RoomsAreListedOnceAndClearedWithEverythingElse) {
  DrawChain(frame, {{6000, 4000}, {0, 4000}, {0, 0}});
  host.controls[IDC_PLAN_ROOM_NAME] = "방";
  Room* room = frame.PlaceRoomAt(CPoint(3000, 2000), 2400, 0, false);
  ASSERT_NE(room, nullptr);
  selection.SelectRoom(room);
  selection.SelectRoom(room);
  EXPECT_EQ(Entries(selection.SelectedRooms(), room), 1);
  EXPECT_TRUE(selection.IsRoomSelected(room));
  selection.DeselectRoom(room);
  EXPECT_FALSE(selection.IsRoomSelected(room));
  EXPECT_NE(room->m_state & ROOM_SELECTED, 0u) << "the flag is the caller's";

  selection.SelectRoom(room);
  selection.SelectWall(a, SELECT_SIDE1);
  selection.MarkWall(b);
  selection.ClearPlanSelection();
  EXPECT_EQ(selection.SelectedRooms().GetSize() + selection.SelectedWalls().GetSize() +
                selection.MarkedWalls().GetSize(),
            0);
  EXPECT_EQ(room->m_state & ROOM_SELECTED, 0u);
  EXPECT_EQ((a->m_flags | b->m_flags) & (kSides | WALL_MARKED), 0u);
}
