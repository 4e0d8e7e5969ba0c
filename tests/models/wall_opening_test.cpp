// Doors and windows placed from the library: the kinds, their library lookup, the fit in the
// wall, and the whole road from placing a door to the hole in the room files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "ftk3ds/ftk3ds.h"
#include "models/frame.h"
#include "models/holekinds.h"
#include "models/holesymbol.h"
#include "models/library.h"
#include "models/model.h"
#include "models/openingtables.h"
#include "models/wallface.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

void WriteFile(const std::string& path, const std::string& text) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::u8path(path).parent_path(), ec);
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f) << path;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

// The library of the tests: doors in 102, windows in 101, each entry with a model file and a
// mirrored one, and the plan symbols of two kinds.
class Openings : public ::testing::Test {
protected:
  void SetUp() override {
    AddEntry(kDoorCategory, "DR", "DR001", "외여닫이문", "Door\\single.3ds", "Door\\singlem.3ds");
    AddEntry(kDoorCategory, "DR", "DR002", "2짝스윙문", "Door\\swing.3ds", "");
    AddEntry(kDoorCategory, "DR", "DR003", "아치&공틀", "Door\\arch.3ds", "");
    AddEntry(kDoorCategory, "DR", "DR004", "기타", "Door\\etc.3ds", "");
    AddEntry(kWindowCategory, "WN", "WN001", "고정창", "Window\\fix.3ds", "");
    AddEntry(kWindowCategory, "WN", "WN002", "기타", "Window\\etc.3ds", "");
    host.library = &library;
    for (const char* name : {"SymbolDoorSinglePushing(F)", "SymbolDoorSinglePushing(D)", "SymbolWindowFix(F)"})
      WriteFile(host.LibPath(std::string("Symbol\\") + name + ".DXF"),
                "0 SECTION 2 ENTITIES 0 LINE 10 -450 20 0 11 450 21 0 0 LINE 10 0 20 -75 11 0 21 75 0 ENDSEC");
    BuildSymbolTables();
    host.Clear();  // the symbols of the other kinds are missing
  }
  void TearDown() override { ReleaseSymbolTables(); }

  void AddEntry(uint32_t number, const char* prefix, const char* name, const char* kind,
                const char* file, const char* mirrored) {
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
    entry.m_title = mirrored;
    db->AddCopy(entry, false);
    WriteFile(host.LibPath(file), "model");
  }

  static void Fill(HoleInstance& h, int32_t kind, int32_t id, float width, float height, float offset = 0) {
    h.m_kind = kind;
    h.m_kindId = id;
    h.m_symbol = FindHoleSymbol(kind, id);
    h.m_posture.size[0] = width;
    h.m_posture.size[2] = height;
    h.m_posture.position[2] = offset;
  }
  static CString FileFor(int32_t kind, int32_t id, bool mirrored = false) {
    HoleInstance h;
    Fill(h, kind, id, 900, 900);
    return h.GetLibraryFileName(mirrored);
  }

  RecordingPlanHost host;
  LibraryDatabaseList library;
};

TEST_F(Openings, KindTablesAndLibraryLookup) {
  for (int i = 0; i < kDoorKindCount; ++i) {
    ASSERT_TRUE(g_doorSymbols[i]);
    const bool regular = i == 0 || i == 1 || i == 5 || i == 6 || i == 7;
    EXPECT_EQ(g_doorSymbols[i]->GetSymbolCount(), regular ? 2 : 1) << i;
    const bool options = i == 0 || i == 5 || i == 6;
    EXPECT_EQ(g_doorSymbols[i]->m_options, options ? 0x30000u : 0u) << i;
  }
  EXPECT_EQ(g_windowSymbols[2]->m_options, 0x30000u);
  EXPECT_EQ(g_windowSymbols[2]->GetSymbolCount(), 2);
  EXPECT_EQ(g_windowSymbols[1]->GetSymbolCount(), 1);
  EXPECT_EQ(g_doorSymbols[0]->GetSymbol(1)->IsKindOf(RUNTIME_CLASS(HoleRegularSymbol)), TRUE);
  EXPECT_EQ(g_doorSymbols[0]->GetSymbol(0)->GetEntityCount(), 2);
  ASSERT_EQ(g_doorPrototypes.GetSize(), 10);
  ASSERT_EQ(g_windowPrototypes.GetSize(), 8);
  const HoleInstance* fix = static_cast<HoleInstance*>(g_windowPrototypes.GetAt(1));
  EXPECT_EQ(fix->m_kind, HOLE_WINDOW);
  EXPECT_EQ(fix->m_kindId, 1101);
  EXPECT_EQ(fix->m_symbol, g_windowSymbols[1]);

  struct Case {
    int32_t kind, id;
    bool mirrored;
    const char* file;
  };
  const Case cases[] = {
      {HOLE_DOOR, 1000, false, "Door\\single.3ds"}, {HOLE_DOOR, 1000, true, "Door\\singlem.3ds"},
      {HOLE_DOOR, 1009, false, "Door\\etc.3ds"},    {HOLE_WINDOW, 1107, false, "Window\\etc.3ds"},
      {HOLE_WINDOW, 1101, false, "Window\\fix.3ds"}, {HOLE_DOOR, 1003, false, ""},
      {HOLE_DOOR, 1100, false, ""},                 {HOLE_WINDOW, 1108, false, ""},
      {12, 1000, false, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileFor(c.kind, c.id, c.mirrored), c.file) << c.kind << " " << c.id;
  }
  // Without category 101 no window finds a model, though the doors still do.
  delete library.RemoveTail();
  EXPECT_EQ(FileFor(HOLE_WINDOW, 1101), "");
  EXPECT_EQ(FileFor(HOLE_DOOR, 1000), "Door\\single.3ds");
  host.library = nullptr;
  EXPECT_EQ(FileFor(HOLE_DOOR, 1000), "");
}

// The editor's door and window choice reads the start-up tables; the templates are shared and
// survive a release, a picked-up copy does not.
TEST_F(Openings, TemplatesOfTheTablesAreSharedAndCopiesReleased) {
  struct Case {
    int32_t kind, id;
    bool found;
  };
  const Case cases[] = {{HOLE_DOOR, 1000, true},    {HOLE_DOOR, 1009, true},     {HOLE_DOOR, 1010, false},
                        {HOLE_DOOR, 999, false},    {HOLE_WINDOW, 1107, true},   {HOLE_WINDOW, 1108, false},
                        {HOLE_WINDOW, 1000, false}, {HOLE_DOOR, 1100, false},    {21, 1000, false}};
  for (const Case& c : cases) {
    HoleInstance* t = OpeningTemplateByKind(c.kind, c.id);
    ASSERT_EQ(t != nullptr, c.found) << c.kind << " " << c.id;
    if (!t) continue;
    EXPECT_EQ(t->m_kindId, c.id);
    EXPECT_EQ(t->m_symbol, PlanSymbolByKind(c.kind, c.id));
  }
  HoleInstance* door = OpeningTemplateByKind(HOLE_DOOR, 1000);
  EXPECT_EQ(ReleaseOpeningInstance(door), 0);
  EXPECT_EQ(OpeningTemplateByKind(HOLE_DOOR, 1000), door);
  EXPECT_EQ(door->m_kind, HOLE_DOOR);  // still alive (the sanitizer would see a use after free)
  EXPECT_EQ(ReleaseOpeningInstance(new HoleInstance), 1);
  EXPECT_EQ(ReleaseOpeningInstance(nullptr), 0);
}

TEST_F(Openings, FitAlongTheWallAndUnderItsTop) {
  struct Case {
    const char* what;
    uint32_t thickness;
    float width, height, offset;
    double x;
    bool fits;
  };
  const Case cases[] = {
      {"10 mm wall", 10, 900, 2100, 0, 2000, false},
      {"11 mm wall", 11, 900, 2100, 0, 2000, true},
      {"99 wide", 150, 99, 2100, 0, 2000, false},
      {"99 high", 150, 900, 99, 0, 2000, false},
      {"up to the top", 150, 900, 2100, 300, 2000, true},
      {"above the top", 150, 900, 2100, 301, 2000, false},
      {"5 mm from the start", 150, 900, 2100, 0, 455, true},
      {"4 mm from the start", 150, 900, 2100, 0, 454, false},
      {"5 mm from the end", 150, 900, 2100, 0, 3545, true},
      {"4 mm from the end", 150, 900, 2100, 0, 3546, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Wall lone(0, 0, 2400, 2400, c.thickness);
    lone.m_pEnd->m_x = 4000;
    lone.RecomputeEndCorners(true, true);
    Wall* wall = &lone;
    HoleInstance h;
    Fill(h, HOLE_DOOR, 1000, c.width, c.height, c.offset);
    // Checking only: the position is recorded, nothing is added.
    HoleInstance* result = wall->InsertOpeningFromLibrary(c.x, 20, &h, 0, 0);
    EXPECT_EQ(result != nullptr, c.fits);
    EXPECT_EQ(wall->m_openings.GetCount(), 0);
    if (result) {
      EXPECT_EQ(result, &h);
      EXPECT_EQ(h.m_posture.position[0], static_cast<float>(c.x));
    }
  }
  EXPECT_TRUE(host.loads.empty());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Openings, PlacedModelsAndRefusals) {
  Frame frame;
  DrawChain(frame, {{0, 0}, {6000, 0}});
  Wall* wall = WallFromTo(frame, 0, 0, 6000, 0);
  // No library model of the kind: the message, and the wall keeps no opening.
  HoleInstance sliding;
    Fill(sliding, HOLE_DOOR, 1003, 900, 2100);
  EXPECT_EQ(wall->InsertOpeningFromLibrary(1000, 0, &sliding, 0, 1), nullptr);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "적합한 크기의 라이브러리가 존재하지 않습니다.");
  EXPECT_EQ(host.messages[0].caption, " TAVO  Vedra  ");
  EXPECT_EQ(wall->m_openings.GetCount(), 0);

  struct Case {
    int32_t kind, id;
    double x;
    int flags;
    int scene, category;
    double angle, elevation;
    const char* file;
  };
  // No rooms: a door stands on level 0; a window's top is 10 above the lower pole, capped at it.
  const Case cases[] = {
      {HOLE_DOOR, 1000, 1000, 0, 101, 102, -0.0, 1050, "Door\\single.3ds"},
      {HOLE_DOOR, 1006, 2000, 2, 103, 102, -180.0, 1050, "Door\\swing.3ds"},
      {HOLE_DOOR, 1008, 3000, 3, 315, 315, -180.0, 1050, "Door\\arch.3ds"},
      {HOLE_WINDOW, 1101, 4000, 0, 102, 101, -0.0, 2400 - 200 - 1050, "Window\\fix.3ds"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    HoleInstance h;
    Fill(h, c.kind, c.id, 900, 2100, c.kind == HOLE_WINDOW ? 200 : 0);
    host.loads.clear();
    HoleInstance* added = wall->InsertOpeningFromLibrary(c.x, 30, &h, c.flags, 1);
    ASSERT_TRUE(added);
    EXPECT_NE(added, &h);
    ASSERT_EQ(host.loads.size(), 1u);
    const RecordingPlanHost::Load& load = host.loads[0];
    EXPECT_EQ(load.file, c.file);
    EXPECT_EQ(load.kind, c.scene);
    EXPECT_EQ(load.kind2, c.category);
    EXPECT_EQ(load.placement.angle, c.angle);
    EXPECT_EQ(load.placement.x, c.x);
    EXPECT_NEAR(load.placement.y, 0.0, 1e-9);
    EXPECT_EQ(load.placement.elevation, c.elevation);
    EXPECT_EQ(added->m_posture.rotation[2], (c.flags & 2) ? 180.0f : 0.0f);
    EXPECT_EQ(added->m_pOwner, load.object);
    EXPECT_EQ(host.LinkedPlanObject(load.object), added);
    // Temporary files of the opening are deleted before its model is loaded.
    EXPECT_NE(host.deletePatterns.back().find(std::string(added->FormatId())), std::string::npos);
  }
  EXPECT_EQ(wall->m_openings.GetCount(), 4);
  // A second opening over the first is refused.
  HoleInstance over;
    Fill(over, HOLE_DOOR, 1000, 900, 2100);
  EXPECT_EQ(wall->InsertOpeningFromLibrary(1400, 0, &over, 0, 1), nullptr);
  // Removing the wall's openings removes the models shown for them.
  host.removedScene.clear();
  const int shown = static_cast<int>(host.SceneNames().size());
  frame.m_walls.RemoveAll();
  delete wall;
  EXPECT_EQ(static_cast<int>(host.SceneNames().size()), shown - 4);
}

// A mesh of the file has a vertex at (y, z) on the divider (x between its sides).
bool HasVertexAt(MeshObj3ds* mesh, float y, float z) {
  for (int i = 0; i < mesh->vertexCount; ++i)
    if (mesh->vertices[i].y == y && mesh->vertices[i].z == z && mesh->vertices[i].x > 2900 &&
        mesh->vertices[i].x < 3100)
      return true;
  return false;
}

TEST_F(Openings, DoorInTheDividerReachesBothRoomFiles) {
  Frame frame;
  DrawChain(frame, {{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}});
  DrawChain(frame, {{3000, 0}, {3000, 4000}});
  host.controls[IDC_PLAN_ROOM_NAME] = "거실";
  Room* left = frame.PlaceRoomAt(CPoint(1500, 2000), 2400, 0, false);
  host.controls[IDC_PLAN_ROOM_NAME] = "침실";
  Room* right = frame.PlaceRoomAt(CPoint(4500, 2000), 2400, 100, false);
  ASSERT_TRUE(left && right);
  Wall* divider = WallFromTo(frame, 3000, 0, 3000, 4000);
  Wall* south = WallFromTo(frame, 0, 0, 3000, 0);
  ASSERT_TRUE(divider && south);

  host.Clear();
  HoleInstance door;
    Fill(door, HOLE_DOOR, 1000, 900, 2100);
  HoleInstance* added = divider->InsertOpeningFromLibrary(3000, 2000, &door, 0, 1);
  ASSERT_TRUE(added);
  EXPECT_EQ(added->m_posture.position[0], 2000.0f);
  EXPECT_EQ(added->m_symbol, g_doorSymbols[0]);
  // Both rooms are written again before the door's model is loaded, standing on the higher floor.
  ASSERT_EQ(host.loads.size(), 3u);
  EXPECT_EQ(host.loads[2].placement.elevation, 1050 + 100);
  EXPECT_EQ(host.loads[2].placement.angle, -90.0);
  ASSERT_EQ(host.exports.size(), 2u);
  EXPECT_EQ(host.materialCollections, 2);

  HoleInstance window;
    Fill(window, HOLE_WINDOW, 1101, 1200, 1200, 300);
  ASSERT_TRUE(south->InsertOpeningFromLibrary(1500, 0, &window, 0, 1));
  EXPECT_EQ(host.loads.back().placement.elevation, 2400 - 300 - 600);

  // Each room's file holds the door's hole in its side of the divider: the door's edges at
  // 1550 and 2450 along it, its top 2100 above the wall's base.
  for (Room* room : {left, right}) {
    SCOPED_TRACE(room == left ? "left" : "right");
    const std::string path = host.LibPath(static_cast<const char*>(host.GetSceneObjectFileName(room->m_pOwner)));
    File3ds* file = OpenFile3ds(path.c_str(), "r");
    ASSERT_TRUE(file);
    Database3ds* db = nullptr;
    InitDatabase3ds(&db);
    ReadDatabase3ds(file, db);
    bool edges[2] = {false, false};
    const float top = 2100.0f + 100.0f;  // above the wall's base: the higher floor
    for (uint32_t i = 0; i < GetMeshCount3ds(db); ++i) {
      MeshObj3ds* mesh = nullptr;
      GetMeshByIndex3ds(db, i, &mesh);
      edges[0] = edges[0] || HasVertexAt(mesh, 1550, top);
      edges[1] = edges[1] || HasVertexAt(mesh, 2450, top);
      ReleaseMeshObj3ds(&mesh);
    }
    EXPECT_TRUE(edges[0] && edges[1]);
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();
  }
}

TEST_F(Openings, SavedOpeningsReopenWithTheirSymbols) {
  ModelDocument doc;
  Model* model = new Model;
  doc.SetModel(model);
  DrawChain(model->m_frame, {{0, 0}, {9000, 0}});
  Wall* wall = WallFromTo(model->m_frame, 0, 0, 9000, 0);
  struct Case {
    int32_t kind, id;
    Hole* symbol;
  };
  const Case cases[] = {{HOLE_DOOR, 1000, g_doorSymbols[0]}, {HOLE_WINDOW, 1107, g_windowSymbols[7]},
                        {HOLE_DOOR, 1010, nullptr},          {HOLE_WINDOW, 1099, nullptr},
                        {12, 1000, nullptr}};
  float at = 1000;
  for (const Case& c : cases) {
    HoleInstance h;
    Fill(h, c.kind, c.id, 900, 900);
    h.m_posture.position[0] = at;
    at += 1500;
    ASSERT_TRUE(wall->m_openings.Add(&h, true, 0.0));
  }
  const std::vector<BYTE> bytes = SaveToBytes(doc);
  std::vector<BYTE> copy = bytes;
  copy.push_back(0);
  CMemFile file(copy.data(), static_cast<UINT>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  ModelDocument reopened;
  reopened.Serialize(ar);
  ASSERT_TRUE(reopened.GetModel());
  Wall* back = reopened.GetModel()->m_frame.GetWall(0);
  ASSERT_EQ(back->m_openings.GetCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(back->m_openings.GetHole(i)->m_symbol, cases[i].symbol) << i;
}

}  // namespace
