// The plan editor's picking through a view mapping: the wall under the mouse, rubber bands,
// deleting the selection with and without trimming the open runs, and the finish question.
#include <gtest/gtest.h>

#include <memory>

#include "models/frame.h"
#include "models/modelfile.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

constexpr unsigned kFinishQuestion = MB_TASKMODAL | MB_ICONEXCLAMATION | MB_OKCANCEL;

class PlanPick : public ::testing::Test {
protected:
  void SetUp() override { m_saved = GetPlanSettings(); }
  void TearDown() override { GetPlanSettings() = m_saved; }

  // 6000 x 4000 with a dividing wall at x = 2000: seven walls.
  void DrawDividedRectangle() {
    DrawChain(frame, {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
    DrawChain(frame, {{2000, 0}, {2000, 4000}});
    ASSERT_EQ(frame.GetWallCount(), 7);
  }
  // Marks a wall selected as the document does.
  static void Select(Wall* w) {
    ASSERT_NE(w, nullptr);
    w->m_flags |= WALL_SELECTED;
  }

  RecordingPlanHost host;
  Frame frame;
  // 0.5 pixel per millimetre, plan origin at (400, 300).
  ScaledPlanMapping mapping{0.5, CPoint(400, 300)};
  std::unique_ptr<CPoint> anchor;
  std::unique_ptr<CRect> band;
  CRect rect;

private:
  PlanSettings m_saved;
};

}  // namespace

TEST_F(PlanPick, WallUnderTheMouseWithItsOpenings) {
  DrawDividedRectangle();
  Wall* right = WallBetween(frame, 6000, 0, 6000, 4000);
  auto* door = new HoleInstance;
  door->m_kind = HOLE_DOOR;
  door->m_kindId = 1000;
  door->m_posture.position[0] = 2000;
  door->m_posture.size[0] = 900;
  right->m_openings.HoleInstancesBag::Add(door, true);
  frame.m_originX = 10;
  frame.m_originY = -20;

  // Device (3400, 1300) is logical (6000, -2000): plan (6010, -2020) is off every wall.
  CPoint point(400 + 3000, 300 + 1000);
  EXPECT_EQ(frame.PickWallAt(mapping, point, anchor, band, 0, rect, nullptr), nullptr);
  EXPECT_EQ(point, CPoint(6000, -2000));
  EXPECT_EQ(*anchor, CPoint(6010, -2020));
  ASSERT_TRUE(band);
  EXPECT_EQ(*band, CRect(3400, 1300, 3400, 1300));

  // On the right wall, 2000 along it: the door is under the point (the anchor is reused).
  CPoint* held = anchor.get();
  point = mapping.LogicalToDevice(CPoint(5990, 2020));
  CObArray openings;
  EXPECT_EQ(frame.PickWallAt(mapping, point, anchor, band, 0, rect, &openings), right);
  EXPECT_EQ(anchor.get(), held);
  EXPECT_EQ(*anchor, CPoint(6000, 2000));
  ASSERT_EQ(openings.GetSize(), 1);
  EXPECT_EQ(openings.GetAt(0), door);
  point = mapping.LogicalToDevice(CPoint(5990, 3020));
  openings.RemoveAll();
  EXPECT_EQ(frame.PickWallAt(mapping, point, anchor, band, 0, rect, &openings), right);
  EXPECT_EQ(openings.GetSize(), 0);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(PlanPick, AnOpenChainIsFinishedFirstOrLeftAsItWas) {
  CRect r;
  frame.AddDrawnWall(CPoint(0, 0), 0, 2400, 150, r);
  CPoint p(3000, 0);
  frame.TrackDrawnWall(p, 0, r);
  frame.AddDrawnWall(CPoint(3000, 0), 0, 2400, 150, r);
  const int chain = frame.GetChainCount();
  ASSERT_GT(chain, 0);

  host.answer = IDCANCEL;
  CPoint point(400, 300);
  EXPECT_EQ(frame.PickWallAt(mapping, point, anchor, band, 0, rect, nullptr), nullptr);
  CRect all(0, 0, 800, 600);
  EXPECT_EQ(frame.PickWallsInRect(mapping, all, 0, rect), 0);
  EXPECT_EQ(frame.GetChainCount(), chain);
  EXPECT_FALSE(anchor);
  EXPECT_FALSE(band);
  EXPECT_EQ(point, CPoint(400, 300));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text, "그리던 벽을 정리할 까요?");
  EXPECT_EQ(host.messages[0].caption, " TAVO  Vedra  ");
  EXPECT_EQ(host.messages[0].type, kFinishQuestion);

  host.answer = IDOK;
  Wall* picked = frame.PickWallAt(mapping, point, anchor, band, 0, rect, nullptr);
  EXPECT_EQ(frame.GetChainCount(), 0);
  ASSERT_EQ(frame.GetWallCount(), 1);
  EXPECT_EQ(picked, frame.GetWall(0));
}

TEST_F(PlanPick, BandSelectsWallsCoveredByMoreThanHalf) {
  // A wall from (0, 0) to (80, 0), 9 thick: bounds -10..90 by -10..10, 100 x 20.
  auto* w = new Wall(0, 0, 2400, 2400, 9);
  QuantizePoint(w->m_pEnd, 80, 0);
  w->RecomputeEndCorners(true, true);
  frame.m_walls.Add(w);
  ASSERT_EQ(w->GetBounds(), CRect(-10, -10, 90, 10));
  ScaledPlanMapping unit(1.0, CPoint(0, 0));
  struct Case {
    CRect band;  // device: y down
    int selected;
  } cases[] = {
      {CRect(-10, -10, 41, 10), 1},  // 51 of 100 wide, full height
      {CRect(-10, -10, 40, 10), 0},  // 50
      {CRect(41, 10, -10, -10), 1},  // drawn the other way round
      {CRect(-10, -10, 90, 0), 0},   // full width, half the height
      {CRect(-20, -11, 200, 1), 1},
  };
  for (const Case& c : cases) {
    host.selectedWalls.clear();
    CRect b = c.band, r;
    EXPECT_EQ(frame.PickWallsInRect(unit, b, 0, r), c.selected) << c.band.right;
    EXPECT_EQ(host.selectedWalls.size(), static_cast<size_t>(c.selected));
    if (c.selected) {
      EXPECT_EQ(r, w->GetBounds());
    }
  }
}

TEST_F(PlanPick, DeletingTrimsTheOpenRunOnlyWhenAsked) {
  struct Case {
    int trim;
    int wallsLeft;
  } cases[] = {{0, 6}, {1, 4}};
  for (const Case& c : cases) {
    Frame plan;
    DrawChain(plan, {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
    DrawChain(plan, {{2000, 0}, {2000, 4000}});
    host.controls[IDC_PLAN_ROOM_NAME] = "방";
    Room* left = plan.PlaceRoomAt(CPoint(1000, 2000), 2400, 0, false);
    ASSERT_NE(left, nullptr);
    host.exports.clear();
    GetPlanSettings().trimOpenWallEnds = c.trim;
    // The left wall: with trimming its two neighbours up to the dividing wall go too.
    Select(WallBetween(plan, 0, 0, 0, 4000));
    CRect r;
    plan.DeleteSelected(r);
    EXPECT_EQ(plan.GetWallCount(), c.wallsLeft) << "trim " << c.trim;
    EXPECT_EQ(WallBetween(plan, 0, 0, 0, 4000), nullptr);
    EXPECT_EQ(WallBetween(plan, 0, 0, 2000, 0) == nullptr, c.trim == 1);
    EXPECT_NE(WallBetween(plan, 2000, 0, 2000, 4000), nullptr);
    EXPECT_TRUE(r.left <= -150 && r.right >= 0);
    // The room beside the deleted walls is exported again once.
    ASSERT_EQ(host.exports.size(), 1u);
    EXPECT_EQ(host.exports[0].room, left);
  }
}

TEST_F(PlanPick, DeletingAnOpenChainWithTrimRemovesItAll) {
  DrawChain(frame, {{0, 0}, {3000, 0}, {3000, 3000}, {0, 3000}});
  ASSERT_EQ(frame.GetWallCount(), 3);
  GetPlanSettings().trimOpenWallEnds = 1;
  Select(WallBetween(frame, 3000, 0, 3000, 3000));
  frame.DeleteSelected(rect);
  EXPECT_EQ(frame.GetWallCount(), 0);
  EXPECT_EQ(rect, CRect(-180, -180, 3180, 3180));
  // Nothing selected: nothing happens.
  GetPlanSettings().trimOpenWallEnds = 0;
  DrawChain(frame, {{0, 0}, {3000, 0}});
  frame.DeleteSelected(rect);
  EXPECT_EQ(frame.GetWallCount(), 1);
}

TEST(PlanMapping, OffsetByTheDeviceSizeOfALogicalPoint) {
  ScaledPlanMapping mapping(0.5, CPoint(400, 300));
  CRect r(10, 10, 20, 20);
  OffsetRectByLogicalPoint(mapping, CPoint(100, 40), r, false);
  EXPECT_EQ(r, CRect(60, -10, 70, 0));
  OffsetRectByLogicalPoint(mapping, CPoint(100, 40), r, true);
  EXPECT_EQ(r, CRect(10, 10, 20, 20));
  auto w = std::make_unique<Wall>(0, 0, 2400, 2400, 150);
  w->SetMarked(true);
  EXPECT_EQ(w->m_flags, static_cast<uint32_t>(WALL_MARKED));
  w->m_flags |= WALL_SELECTED;
  w->SetMarked(false);
  EXPECT_EQ(w->m_flags, static_cast<uint32_t>(WALL_SELECTED));
}

TEST(PlanBarLengths, ReadBoundedSoThatThePlanOpensAgain) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"2400mm", 2400}, {"-", -10}, {"-mm", -10}, {"-0mm", -10}, {"-5mm", -5}, {"abc", 0},
      {"", 0}, {"99999999999mm", kBarLengthLimit}, {"-99999999999", -kBarLengthLimit},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseBarMillimetres(c.text), c.value) << c.text;

  // Walls drawn as far out as clicks reach, as high as the fields allow, pass the reopen check.
  RecordingPlanHost host;
  Frame frame;
  DrawChain(frame, {{-3000000, -3000000}, {3000000, -3000000}}, kBarLengthLimit * 2, 150);
  ASSERT_EQ(frame.GetWallCount(), 1);
  EXPECT_DOUBLE_EQ(frame.GetWall(0)->m_pStart->m_x, -2147483.648);
  EXPECT_TRUE(IsLoadedPlanSound(frame));
}
