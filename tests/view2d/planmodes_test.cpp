// The plan view's editing modes in a real window, driven by posted mouse and key messages: rooms,
// selection (click, Shift, band, Delete), refused tool switches, zoom band, timer zoom, pan with
// undo and redo, doors and windows placed, turned, picked up and deleted, edge scrolling and
// the cursors.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "models/holekinds.h"
#include "models/holesymbol.h"
#include "models/instance.h"
#include "models/library.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"
#include "plan_view_fixture.h"
#include "view2d/planmodes.h"

namespace {

// The recording host, with the wall selection and modified flag going to the view's document.
class ViewHost : public RecordingPlanHost {
public:
  void SelectWall(Wall* wall, int mode) override {
    RecordingPlanHost::SelectWall(wall, mode);
    if (doc) doc->SelectWall(wall, mode);
  }
  void SetModifiedFlag(BOOL modified) override {
    RecordingPlanHost::SetModifiedFlag(modified);
    if (doc) doc->SetModifiedFlag(modified);
  }
  CVedraDoc* doc = nullptr;
};

void WriteFile(const std::string& path, const std::string& text) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::u8path(path).parent_path(), ec);
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f) << path;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

// A 6000 x 4000 house round the origin divided at x = 0, with the door and window kinds of the
// library that the tests place.
class PlanModes : public PlanView {
protected:
  void SetUp() override {
    host.doc = &doc;
    SetPlanHost(&host);
    PlanView::SetUp();
    AddEntry(kDoorCategory, "DR", "DR001", "외여닫이문", "Door\\single.3ds");
    AddEntry(kDoorCategory, "DR", "DR002", "양여닫이문", "Door\\double.3ds");
    AddEntry(kWindowCategory, "WN", "WN001", "고정창", "Window\\fix.3ds");
    host.library = &library;
    for (const char* name : {"SymbolDoorSinglePushing(F)", "SymbolDoorDoublePushing(F)", "SymbolWindowFix(F)"})
      WriteFile(host.LibPath(std::string("Symbol\\") + name + ".DXF"),
                "0 SECTION 2 ENTITIES 0 LINE 10 -450 20 0 11 450 21 0 0 LINE 10 0 20 -75 11 0 21 75 0 ENDSEC");
    BuildSymbolTables();
    DrawChain(plan(), {{-3000, -2000}, {3000, -2000}, {3000, 2000}, {-3000, 2000}, {-3000, -2000}});
    DrawChain(plan(), {{0, -2000}, {0, 2000}});
    ASSERT_EQ(plan().GetWallCount(), 7);
    host.Clear();
  }
  void TearDown() override {
    PlanView::TearDown();
    ReleaseSymbolTables();
    SetPlanHost(nullptr);
  }
  void AddEntry(uint32_t number, const char* prefix, const char* name, const char* kind, const char* file) {
    LibraryDatabase* db = library.FindCategory(number);
    if (!db) {
      db = new LibraryDatabase;
      db->m_category = number;
      db->m_categoryName = prefix;
      library.AddTail(db);
    }
    Library entry;
    entry.m_name = name;
    entry.m_modelKey = kind;
    entry.m_fileName = file;
    db->AddCopy(entry, false);
    WriteFile(host.LibPath(file), "model");
  }
  void Mode(int mode) { ASSERT_TRUE(view->SetEditMode(mode)); }
  Wall* At(double x1, double y1, double x2, double y2) { return WallBetween(plan(), x1, y1, x2, y2); }
  // Both rooms of the house made in the room mode; the walls between keep them apart.
  void MakeRooms() {
    Mode(PLAN_MODE_ROOM);
    host.controls[IDC_PLAN_ROOM_NAME] = "거실";
    Click(Device(-1500, 0));
    host.controls[IDC_PLAN_ROOM_NAME] = "침실";
    Click(Device(1500, 0), MK_SHIFT);
    ASSERT_EQ(plan().GetRoomCount(), 2);
  }
  // Moves the mouse over a plan point twice (the opening modes use the wall found at the
  // previous position) and clicks.
  void PlaceAt(int x, int y) {
    Send(WM_MOUSEMOVE, Device(x, y));
    Send(WM_MOUSEMOVE, Device(x, y));
    Send(WM_LBUTTONDOWN, Device(x, y), MK_LBUTTON);
    Send(WM_LBUTTONUP, Device(x, y));
  }

  // The dotted band shows in one of four pixels down a vertical edge.
  bool BandAt(int x, int y) {
    for (int i = 0; i < 4; ++i)
      if (PaintedAtDevice(CPoint(x, y + i)) == 0xFFFF00u) return true;
    return false;
  }

  ViewHost host;
  LibraryDatabaseList library;
};

}  // namespace

TEST_F(PlanModes, RoomModeMakesSelectsAndDeletesRooms) {
  MakeRooms();
  // With Shift the first room stays selected.
  ASSERT_EQ(doc.GetSelection().SelectedRooms().GetSize(), 2);
  EXPECT_EQ(doc.GetSelection().SelectedRooms().GetAt(1), plan().RoomAt(1));
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(plan().RoomAt(i)->m_state & ROOM_SELECTED);
  // A click in a loop that has its room selects that room alone.
  RightClick(Device(-1500, 0));
  EXPECT_EQ(plan().GetRoomCount(), 2);
  ASSERT_EQ(doc.GetSelection().SelectedRooms().GetSize(), 1);
  EXPECT_EQ(doc.GetSelection().SelectedRooms().GetAt(0), plan().RoomAt(0));
  EXPECT_FALSE(plan().RoomAt(1)->m_state & ROOM_SELECTED);
  // Inner edges in the rooms' colours: the selected room's red, the other's yellow.
  EXPECT_EQ(PaintedAt(-2925, 1000), 0x0000FFu);
  EXPECT_EQ(PaintedAt(2925, 1000), 0x00FFFFu);
  Key(VK_DELETE);
  EXPECT_EQ(plan().GetRoomCount(), 1);
  EXPECT_EQ(doc.GetSelection().SelectedRooms().GetSize(), 0);
}

TEST_F(PlanModes, SelectClickShiftBandAndDelete) {
  Mode(PLAN_MODE_SELECT);
  Wall* south = At(-3000, -2000, 0, -2000);
  Wall* north = At(-3000, 2000, 0, 2000);
  ASSERT_TRUE(south && north);
  south->m_pStart->m_height = 2300;
  Click(Device(-1500, -2000));
  EXPECT_TRUE(south->m_flags & WALL_SELECTED);
  EXPECT_EQ(doc.GetSelection().SelectedWalls().GetSize(), 1);
  EXPECT_EQ(view->m_tools.wallThickness, 150);
  EXPECT_EQ(view->m_tools.wallHeight, 2300);  // the lower pole
  EXPECT_EQ(PaintedAt(-1500, -2075), 0x0000FFu);  // red edge
  EXPECT_EQ(PaintedAt(-1500, 2075), 0xDCDCDCu);

  Click(Device(-1500, 2000), MK_SHIFT);
  EXPECT_TRUE(north->m_flags & WALL_SELECTED);
  EXPECT_EQ(doc.GetSelection().SelectedWalls().GetSize(), 2);
  Click(Device(-1500, 2000), MK_SHIFT);  // a second Shift-click takes it out again
  EXPECT_FALSE(north->m_flags & WALL_SELECTED);
  Click(Device(-1500, 2000));  // without Shift it alone is selected
  EXPECT_FALSE(south->m_flags & WALL_SELECTED);
  EXPECT_TRUE(north->m_flags & WALL_SELECTED);

  // A band round the west wall, with Shift, adds it to the selection.
  const CPoint from = Device(-3400, 2500), to = Device(-2600, -2500);
  Send(WM_MOUSEMOVE, from);
  Send(WM_LBUTTONDOWN, from, MK_LBUTTON | MK_SHIFT);
  Send(WM_MOUSEMOVE, to, MK_LBUTTON | MK_SHIFT);
  EXPECT_TRUE(BandAt(from.x, (from.y + to.y) / 2));
  Send(WM_LBUTTONUP, to, MK_SHIFT);
  Wall* west = At(-3000, -2000, -3000, 2000);
  ASSERT_TRUE(west);
  EXPECT_TRUE(west->m_flags & WALL_SELECTED);
  EXPECT_TRUE(north->m_flags & WALL_SELECTED);
  EXPECT_FALSE(view->m_selectRect);

  Key(VK_DELETE);
  EXPECT_EQ(plan().GetWallCount(), 5);
  EXPECT_EQ(doc.GetSelection().SelectedWalls().GetSize(), 0);
  EXPECT_EQ(doc.GetSelection().MarkedWalls().GetSize(), 0);
  EXPECT_NE(PaintedAt(-1500, 2075), 0xDCDCDCu);
  EXPECT_NE(PaintedAt(-1500, 2075), 0x0000FFu);
}

TEST_F(PlanModes, ToolSwitchRefusedWhileDrawing) {
  Click(Device(-1000, -1000));
  ASSERT_TRUE(plan().IsDrawing());
  for (int mode : {PLAN_MODE_SELECT, PLAN_MODE_ROOM, PLAN_MODE_DOOR, PLAN_MODE_WINDOW}) {
    host.messages.clear();
    EXPECT_FALSE(view->SetEditMode(mode));
    EXPECT_EQ(view->m_mode, PLAN_MODE_WALL);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "먼저, 벽그리기 작업을 마쳐야 전환할 수 있습니다");
    EXPECT_EQ(host.messages[0].caption, " TAVO  Vedra  ");
  }
  EXPECT_TRUE(view->SetEditMode(PLAN_MODE_ZOOM));  // the view modes are not refused
  EXPECT_TRUE(plan().IsDrawing());
}

TEST_F(PlanModes, ZoomBandPanUndoRedo) {
  view->MoveWindow(0, 0, 800, 600);
  view->ResetPlanView();
  Mode(PLAN_MODE_ZOOM);
  const PlanViewState before = view->m_state;
  CPoint bandCentre(400, 300);
  {
    CClientDC dc(view);
    CDC map;
    map.CreateCompatibleDC(&dc);
    view->PrepareMapping(map);
    map.DPtoLP(&bandCentre);
  }
  Send(WM_LBUTTONDOWN, CPoint(250, 200), MK_LBUTTON);
  Send(WM_MOUSEMOVE, CPoint(400, 300), MK_LBUTTON);
  Send(WM_MOUSEMOVE, CPoint(550, 400), MK_LBUTTON);
  EXPECT_TRUE(BandAt(250, 300));
  Send(WM_LBUTTONUP, CPoint(550, 400));
  EXPECT_NEAR(view->m_state.zoom, 5.333, 1e-9);
  EXPECT_EQ(view->m_history.UndoCount(), 1u);
  EXPECT_FALSE(view->m_zoomRect);
  // The band's centre came to the middle of the window.
  const CPoint centre = Device(bandCentre.x, bandCentre.y);
  EXPECT_NEAR(centre.x, 400, 2);
  EXPECT_NEAR(centre.y, 300, 2);
  // A band under the minimum zooms nothing but still leaves its record.
  Send(WM_LBUTTONDOWN, CPoint(100, 100), MK_LBUTTON);
  Send(WM_MOUSEMOVE, CPoint(149, 300), MK_LBUTTON);
  Send(WM_MOUSEMOVE, CPoint(149, 300), MK_LBUTTON);
  Send(WM_LBUTTONUP, CPoint(149, 300));
  EXPECT_NEAR(view->m_state.zoom, 5.333, 1e-9);
  EXPECT_EQ(view->m_history.UndoCount(), 2u);

  // Pan: one record when the button goes down, the plan follows the mouse.
  Mode(PLAN_MODE_PAN);
  const PlanViewState zoomed = view->m_state;
  Send(WM_LBUTTONDOWN, CPoint(300, 300), MK_LBUTTON);
  EXPECT_EQ(view->m_history.UndoCount(), 3u);
  Send(WM_MOUSEMOVE, CPoint(350, 270), MK_LBUTTON);
  Send(WM_LBUTTONUP, CPoint(350, 270));
  EXPECT_EQ(view->m_state.panX, zoomed.panX + 50);
  EXPECT_EQ(view->m_state.panY, zoomed.panY - 30);
  const PlanViewState panned = view->m_state;
  ASSERT_TRUE(view->UndoViewChange());
  EXPECT_EQ(view->m_state, zoomed);
  ASSERT_TRUE(view->RedoViewChange());
  EXPECT_EQ(view->m_state, panned);
  while (view->UndoViewChange()) {
  }
  EXPECT_EQ(view->m_state, before);
  // A new gesture empties the redo stack.
  Mode(PLAN_MODE_ZOOM);
  Send(WM_MBUTTONDOWN, CPoint(300, 300), MK_MBUTTON);
  Send(WM_MBUTTONUP, CPoint(300, 300));
  EXPECT_EQ(view->m_history.RedoCount(), 0u);
}

TEST_F(PlanModes, HeldZoomKeepsThePointUnderTheMouse) {
  Mode(PLAN_MODE_ZOOM);
  const CPoint held(1000, 800);  // right of and below the plan origin
  CPoint under = held;
  {
    CClientDC dc(view);
    CDC map;
    map.CreateCompatibleDC(&dc);
    view->PrepareMapping(map);
    map.DPtoLP(&under);
  }
  Send(WM_RBUTTONDOWN, held, MK_RBUTTON);  // zoom out
  for (int i = 0; i < 30; ++i) ::SendMessageA(view->m_hWnd, WM_TIMER, PLAN_TIMER_ZOOM_OUT, 0);
  EXPECT_NEAR(view->m_state.zoom, 2.0 * std::pow(0.95, 30), 1e-9);
  EXPECT_EQ(view->m_state.grid, 1000);  // 100 mm lines would stand too close
  const CPoint now = Device(under.x, under.y);
  EXPECT_NEAR(now.x, held.x, 2);
  EXPECT_NEAR(now.y, held.y, 2);
  Send(WM_RBUTTONUP, held);
  EXPECT_EQ(view->m_history.UndoCount(), 1u);
  // At the largest zoom the timer stops there.
  Send(WM_LBUTTONDOWN, held, MK_LBUTTON);
  view->m_state.zoom = 99.0;
  ::SendMessageA(view->m_hWnd, WM_TIMER, PLAN_TIMER_ZOOM_IN, 0);
  ::SendMessageA(view->m_hWnd, WM_TIMER, PLAN_TIMER_ZOOM_IN, 0);
  EXPECT_EQ(view->m_state.zoom, 100.0);
  Send(WM_LBUTTONUP, held);
}

TEST_F(PlanModes, DoorOrientationsByRightClicks) {
  struct Case {
    int type;
    int seen[4];
  };
  // Single pushing doors take every orientation; double doors only turn.
  const Case cases[] = {{0, {1, 2, 3, 0}}, {1, {2, 0, 2, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    view->m_tools.door.type = c.type;
    Mode(PLAN_MODE_WALL);
    Mode(PLAN_MODE_DOOR);
    ASSERT_TRUE(view->m_pOpening);
    EXPECT_EQ(view->m_pOpening->m_kindId, 1000 + c.type);
    EXPECT_EQ(view->m_orientation, 0);
    for (int seen : c.seen) {
      RightClick(Device(-1500, 0));
      EXPECT_EQ(view->m_orientation, seen);
    }
  }
}

TEST_F(PlanModes, DoorsPlacedPickedUpAndWindowsDeleted) {
  MakeRooms();
  Wall* south = At(-3000, -2000, 0, -2000);
  Wall* north = At(0, 2000, 3000, 2000);
  ASSERT_TRUE(south && north);
  Mode(PLAN_MODE_DOOR);
  // A click before the mouse has been over the view twice finds no wall.
  Send(WM_LBUTTONDOWN, Device(-1500, -2000), MK_LBUTTON);
  EXPECT_EQ(south->m_openings.GetCount(), 0);
  PlaceAt(-1500, -2000);
  ASSERT_EQ(south->m_openings.GetCount(), 1);
  HoleInstance* door = south->m_openings.GetHole(0);
  EXPECT_EQ(door->m_kindId, 1000);
  EXPECT_EQ(door->m_posture.size[0], 900.0f);
  EXPECT_EQ(door->m_posture.size[1], 150.0f);
  EXPECT_TRUE(doc.IsModified());

  view->m_tools.window = {1, 1000, 1000, 900};
  Mode(PLAN_MODE_WINDOW);
  PlaceAt(1500, 2000);
  ASSERT_EQ(north->m_openings.GetCount(), 1);

  // Select mode: a click on the door picks it up: back on the bar, gone from its wall and scene.
  Mode(PLAN_MODE_SELECT);
  view->m_tools.door = {};
  host.Clear();
  size_t shown = host.SceneNames().size();
  Click(Device(-1500, -2000));
  EXPECT_EQ(view->m_mode, PLAN_MODE_DOOR);
  EXPECT_EQ(view->m_tools.door.type, 0);
  EXPECT_EQ(view->m_tools.door.width, 900);
  EXPECT_EQ(view->m_tools.door.height, 2100);
  ASSERT_TRUE(view->m_pOpening);
  EXPECT_EQ(view->m_pOpening->m_posture.size[0], 900.0f);
  EXPECT_EQ(south->m_openings.GetCount(), 0);
  EXPECT_EQ(host.SceneNames().size(), shown - 1);
  EXPECT_EQ(host.exports.size(), 1u);  // the room inside; the south side has none
  // ... and is placed again by the next click.
  PlaceAt(-1000, -2000);
  EXPECT_EQ(south->m_openings.GetCount(), 1);

  // A right click on the window deletes it and leaves the select mode on.
  Mode(PLAN_MODE_SELECT);
  host.Clear();
  shown = host.SceneNames().size();
  RightClick(Device(1500, 2000));
  EXPECT_EQ(view->m_mode, PLAN_MODE_SELECT);
  EXPECT_EQ(north->m_openings.GetCount(), 0);
  EXPECT_EQ(host.SceneNames().size(), shown - 1);
  EXPECT_EQ(host.exports.size(), 1u);
  EXPECT_FALSE(view->m_selectAnchor);
}

TEST_F(PlanModes, PlusToggleDrawsAtAnyAngle) {
  for (bool plus : {false, true}) {
    SCOPED_TRACE(plus);
    view->m_tools.plus = plus;
    Click(Device(-2000, -1000));
    Click(Device(-1000, -400));
    ASSERT_TRUE(plan().IsDrawing());
    Wall* w = plan().GetChainWall(0);
    EXPECT_EQ(w->m_pEnd->m_y != w->m_pStart->m_y && w->m_pEnd->m_x != w->m_pStart->m_x, plus);
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    EXPECT_FALSE(plan().IsDrawing());
  }
}

TEST_F(PlanModes, EdgeScrollingWhileDrawing) {
  Click(Device(-1000, 0));
  ASSERT_TRUE(plan().IsDrawing());
  CClientDC dc(view);
  CSize margin(1000, 1000);
  dc.HIMETRICtoDP(&margin);
  const PlanViewState before = view->m_state;
  const CPoint inside = Device(-500, 0);
  Send(WM_MOUSEMOVE, CPoint(margin.cx - 5, inside.y));
  EXPECT_EQ(view->m_state.panX, before.panX + 5);
  EXPECT_EQ(view->m_state.panY, before.panY);
}

TEST_F(PlanModes, CursorsAndHotSpots) {
  struct Case {
    int id;
    DWORD x, y;
  };
  const Case cases[] = {{4257, 16, 16}, {4258, 16, 16}, {4259, 8, 15}, {4260, 15, 15}, {4261, 1, 1},
                        {4262, 14, 14}, {4263, 14, 14}, {4264, 16, 16}, {4267, 14, 14}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    HCURSOR cursor = ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.id));
    ASSERT_TRUE(cursor);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursor, &info));
    EXPECT_EQ(info.xHotspot, c.x);
    EXPECT_EQ(info.yHotspot, c.y);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
  }
  // The door mode shows its cursor only once a door is chosen.
  const PlanModeHandlers& door = PlanModeTable(PLAN_MODE_DOOR);
  view->m_pOpening = nullptr;
  EXPECT_FALSE(door.setCursor(*view, view, HTCLIENT, WM_MOUSEMOVE));
  Mode(PLAN_MODE_DOOR);
  EXPECT_TRUE(door.setCursor(*view, view, HTCLIENT, WM_MOUSEMOVE));
}
