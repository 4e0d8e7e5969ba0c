// The plan drawn with GDI into a memory bitmap: wall edges in the wall, room and selection
// colours, jambs at openings, centre lines, and door symbols, also when their drawing is missing.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "models/frame.h"
#include "models/holekinds.h"
#include "models/plan_draw.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

constexpr COLORREF kBack = RGB(110, 110, 110);

// A 400 x 300 bitmap; 0.1 pixel per millimetre, the plan origin at (100, 200), y up.
class PlanDraw : public ::testing::Test {
protected:
  void SetUp() override {
    m_saved = GetPlanSettings();
    screen = ::GetDC(nullptr);
    out.Attach(::CreateCompatibleDC(screen));
    bitmap = ::CreateCompatibleBitmap(screen, 400, 300);
    old = ::SelectObject(out.GetSafeHdc(), bitmap);
    map.Attach(::CreateCompatibleDC(screen));
    map.SetMapMode(MM_ANISOTROPIC);
    map.SetWindowExt(1000, 1000);
    map.SetViewportExt(100, -100);
    map.SetViewportOrg(100, 200);
  }
  void TearDown() override {
    ::SelectObject(out.GetSafeHdc(), old);
    ::DeleteObject(bitmap);
    out.DeleteDC();
    map.DeleteDC();
    ::ReleaseDC(nullptr, screen);
    GetPlanSettings() = m_saved;
  }
  void Paint() {
    CBrush back(kBack);
    CRect all(0, 0, 400, 300);
    ::FillRect(out.GetSafeHdc(), &all, back);
    frame.DrawWalls(out, map, all);
  }
  // The pixel of a plan point, or any of its neighbours within a pixel, has the colour.
  bool ColourNear(int x, int y, COLORREF c) {
    CPoint p(x, y);
    map.LPtoDP(&p);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (out.GetPixel(p.x + dx, p.y + dy) == c) return true;
    return false;
  }

  RecordingPlanHost host;
  Frame frame;
  CDC out, map;
  HDC screen = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;

private:
  PlanSettings m_saved;
};

}  // namespace

TEST_F(PlanDraw, EdgesInWallRoomAndSelectionColours) {
  DrawChain(frame, {{0, 0}, {2000, 0}, {2000, 1000}, {0, 1000}, {0, 0}});
  GetPlanSettings().showCentreLines = 0;
  Paint();
  // Outer and inner edges of the bottom wall, 75 either side of its centre line.
  EXPECT_TRUE(ColourNear(1000, -75, 0xDCDCDC));
  EXPECT_TRUE(ColourNear(1000, 75, 0xDCDCDC));
  EXPECT_TRUE(ColourNear(1000, 0, kBack));

  host.controls[IDC_PLAN_ROOM_NAME] = "방";
  Room* room = frame.PlaceRoomAt(CPoint(1000, 500), 2400, 0, false);
  ASSERT_NE(room, nullptr);
  Wall* bottom = WallBetween(frame, 0, 0, 2000, 0);
  bottom->m_flags |= WALL_SELECTED;
  Paint();
  EXPECT_TRUE(ColourNear(1000, -75, 0x0000FF));   // the selected wall
  EXPECT_TRUE(ColourNear(1000, 925, 0x00FFFF));   // the top wall's edge facing the room
  EXPECT_TRUE(ColourNear(1000, 1075, 0xDCDCDC));  // its outer edge
  room->m_state |= ROOM_SELECTED;
  Paint();
  EXPECT_TRUE(ColourNear(1000, 925, GetPlanSettings().selectedRoom));

  // The centre line, and a wall without thickness drawn as its centre line only.
  GetPlanSettings().showCentreLines = 1;
  GetPlanSettings().unselectedWallCenter = RGB(1, 2, 3);
  Paint();
  EXPECT_TRUE(ColourNear(1000, 1000, RGB(1, 2, 3)));
}

TEST_F(PlanDraw, DoorsBreakTheWallAndDrawTheirSymbol) {
  {
    FILE* f = std::fopen(host.LibPath("Symbol\\SymbolDoorSinglePushing(F).DXF").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("ENTITIES 0 LINE 10 -450 20 0 11 450 21 0 0 ENDSEC", f);
    std::fclose(f);
  }
  BuildSymbolTables();  // every other drawing is missing: each says so and draws nothing
  EXPECT_GT(host.messages.size(), 20u);
  DrawChain(frame, {{0, 0}, {3000, 0}});
  Wall* w = frame.GetWall(0);
  for (int kind : {1000, 1001}) {
    auto* door = new HoleInstance;
    door->m_kind = HOLE_DOOR;
    door->m_kindId = kind;
    door->m_symbol = static_cast<HoleInstance*>(g_doorPrototypes.GetAt(kind - 1000))->m_symbol;
    door->m_posture.position[0] = kind == 1000 ? 1000.0f : 2200.0f;
    door->m_posture.size[0] = 900;
    w->m_openings.HoleInstancesBag::Add(door, true);
  }
  GetPlanSettings().showCentreLines = 0;
  Paint();
  // Side edges stop at the first door (550..1450) and go on between the doors.
  EXPECT_TRUE(ColourNear(300, 75, 0xDCDCDC));
  EXPECT_TRUE(ColourNear(1600, 75, 0xDCDCDC));
  // Its symbol's line runs along the centre through the gap; the door without a drawing leaves
  // its gap empty.
  EXPECT_TRUE(ColourNear(1000, 0, 0xDCDCDC));
  EXPECT_TRUE(ColourNear(2200, 0, kBack));
  EXPECT_TRUE(ColourNear(2200, 75, kBack));
  ReleaseSymbolTables();
}

TEST_F(PlanDraw, MarkedWallShowsItsDimension) {
  DrawChain(frame, {{0, 0}, {3000, 0}});
  GetPlanSettings().leadLine = RGB(9, 8, 7);
  Paint();
  EXPECT_FALSE(ColourNear(1500, 75 + 635, RGB(9, 8, 7)));
  frame.GetWall(0)->SetMarked(true);
  Paint();
  // 250 HIMETRIC is the dimension's offset on the device: at 96 dpi 9 pixels, 90 mm here.
  bool found = false;
  for (int y = 0; y <= 300 && !found; y += 10) found = ColourNear(1500, 75 + y, RGB(9, 8, 7));
  EXPECT_TRUE(found);
}
#endif
