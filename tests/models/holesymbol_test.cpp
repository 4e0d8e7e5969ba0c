// Plan symbols of doors and windows: reading their DXF drawings, scaling them to an opening and
// placing them on a wall.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "models/holesymbol.h"
#include "models/instance.h"
#include "plan_host_double.h"

namespace {

// Records what a symbol draws.
class RecordingPainter : public SymbolPainter {
public:
  void Line(CPoint from, CPoint to) override { lines.push_back({from, to}); }
  void Ellipse(const CRect& box) override { ellipses.push_back(box); }
  void Arc(const CRect& box, CPoint start, CPoint end) override { arcs.push_back({box, start, end}); }

  struct Segment {
    CPoint from, to;
  };
  struct ArcCall {
    CRect box;
    CPoint start, end;
  };
  std::vector<Segment> lines;
  std::vector<CRect> ellipses;
  std::vector<ArcCall> arcs;
};

class Symbols : public ::testing::Test {
protected:
  // Writes a drawing into the library's symbol folder and returns its path.
  std::string WriteDxf(const std::string& name, const std::string& text) {
    const std::string path = host.LibPath("Symbol\\" + name + ".DXF");
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
  }

  RecordingPlanHost host;
};

const DXFLine* LineAt(const HoleSymbol& s, int i) { return dynamic_cast<const DXFLine*>(s.GetEntity(i)); }

TEST_F(Symbols, ReadsLinesArcsAndPointsOfTheEntitiesSection) {
  const std::string path = WriteDxf("Door",
      "0\nSECTION\n2\nHEADER\n9\n$LINE\n0\nENDSEC\n"
      "0\nSECTION\n2\nENTITIES\n"
      "0\nLINE\n8\nWALL\n10\n1.9\n20\n-2\n30\n3\n11\n40\n21\n50\n31\n60\n"
      "0\nTEXT\n1\nLINE\n10\n7\n20\n8\n"  // a keyword as another entity's value is that keyword
      "0\nARC\n10\n5\n20\n6\n40\n250\n50\n450\n51\n-30\n"
      "0\nCIRCLE\n10\n1\n40\n9\n"
      "0\nPOINT\n10\n99999999999\n20\n-99999999999\n"
      "0\nENDSEC\n0\nLINE\n10\n1\n0\nEOF\n");
  HoleSymbol symbol;
  ASSERT_EQ(symbol.ReadDxf(path.c_str()), 1);
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(symbol.GetEntityCount(), 4);
  const DXFLine* line = LineAt(symbol, 0);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->m_start.x, 1);
  EXPECT_EQ(line->m_start.y, -2);
  EXPECT_EQ(line->m_start.z, 3);
  EXPECT_EQ(line->m_end.x, 40);
  EXPECT_EQ(line->m_end.y, 50);
  EXPECT_EQ(line->m_end.z, 60);
  const DXFLine* fromText = LineAt(symbol, 1);
  ASSERT_TRUE(fromText);
  EXPECT_EQ(fromText->m_start.x, 7);
  const DXFArc* arc = dynamic_cast<const DXFArc*>(symbol.GetEntity(2));
  ASSERT_TRUE(arc);
  EXPECT_EQ(arc->m_radius, 250);
  EXPECT_EQ(arc->m_startAngle, 90);
  EXPECT_EQ(arc->m_endAngle, -30);
  const DXFPoint* point = dynamic_cast<const DXFPoint*>(symbol.GetEntity(3));
  ASSERT_TRUE(point);
  EXPECT_EQ(point->m_point.x, INT_MAX);
  EXPECT_EQ(point->m_point.y, INT_MIN);
}

TEST_F(Symbols, FileEdgesAndMessages) {
  struct Case {
    const char* what;
    std::string text;
    int entities;
  };
  const std::string huge(1 << 20, '7');
  const Case cases[] = {
      {"no ENTITIES section", "0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nEOF\n", 0},
      {"an entity cut off by the end of the file", "ENTITIES 0 LINE 10 5 20", 1},
      {"a cut-short keyword is no keyword", "ENTITIESX 0 LINE 10 5 0 ENDSEC", 0},
      {"a 1 MB token", "ENTITIES 0 LINE" + std::string(1 << 20, 'X') + " 0 LINE 10 " + huge + " 0", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HoleSymbol symbol;
    EXPECT_EQ(symbol.ReadDxf(WriteDxf("Case", c.text).c_str()), 1);
    EXPECT_EQ(symbol.GetEntityCount(), c.entities);
  }
  HoleSymbol big;
  big.ReadDxf(WriteDxf("Big", cases[3].text).c_str());
  EXPECT_EQ(LineAt(big, 0)->m_start.x, INT_MAX);

  // A missing file.
  HoleSymbol missing;
  EXPECT_EQ(missing.ReadDxf(host.LibPath("Symbol\\None.DXF").c_str()), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "화일을 열지 못하겠습니다.\n화일이 존재하지 않거나  공유 위반인 것 같습니다.");
  EXPECT_EQ(host.messages[0].caption, " TAVO  Vedra  ");
  EXPECT_EQ(host.messages[0].type, MB_TASKMODAL | MB_ICONQUESTION | MB_OK);

  // Read twice: OK appends the drawing again, Cancel keeps it.
  const std::string path = WriteDxf("Twice", "ENTITIES 0 LINE 10 1 0 POINT 10 2 0 ENDSEC");
  HoleSymbol twice;
  ASSERT_EQ(twice.ReadDxf(path.c_str()), 1);
  host.messages.clear();
  ASSERT_EQ(twice.ReadDxf(path.c_str()), 1);
  EXPECT_EQ(twice.GetEntityCount(), 4);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "이미 2D 이미지를 가지고 있습니다.\n변경하시겠습니까?");
  EXPECT_EQ(host.messages[0].type, MB_TASKMODAL | MB_ICONEXCLAMATION | MB_OKCANCEL);
  host.answer = IDCANCEL;
  EXPECT_EQ(twice.ReadDxf(path.c_str()), 0);
  EXPECT_EQ(twice.GetEntityCount(), 4);
}

TEST_F(Symbols, HoleScalesItsSymbolsToTheOpening) {
  // 100 wide, y from -50 to 50: a 900 x 150 opening scales x by 9 and y by 150 / 50.
  WriteDxf("Plain", "ENTITIES 0 LINE 10 0 20 -50 11 100 21 50 0 ENDSEC");
  WriteDxf("Flat", "ENTITIES 0 LINE 10 0 20 0 11 100 21 0 0 ARC 10 0 20 20 40 10 0 ENDSEC");
  WriteDxf("Dot", "ENTITIES 0 POINT 10 0 20 0 0 ARC 40 10 0 ENDSEC");
  struct Case {
    const char* name;
    bool regular;
    int32_t depth;
    std::vector<CPoint> ends;  // of the one line drawn, at origin (1000, 0), angle 0
  };
  const Case cases[] = {
      {"Plain", false, 150, {{1000, -150}, {1900, 150}}},
      {"Plain", false, 0, {{1000, -50}, {1900, 50}}},  // depth 0 keeps the drawn y size
      {"Plain", true, 150, {{1000, -450}, {1900, 450}}},
      {"Flat", false, 150, {{1000, 0}, {1900, 0}}},  // no y extent: y scale 1
      {"Dot", false, 150, {}},  // no x extent: not drawn
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.regular ? " regular" : "") + " depth " + std::to_string(c.depth));
    Hole hole;
    hole.AddSymbol(c.name, c.regular);
    ASSERT_EQ(hole.GetSymbolCount(), 1);
    RecordingPainter painter;
    hole.Draw(painter, CPoint(1000, 0), 0.0, false, 900, c.depth);
    if (std::string(c.name) == "Flat") {
      ASSERT_EQ(painter.arcs.size(), 1u);
      EXPECT_EQ(painter.arcs[0].box.top, 20 - 90);  // the centre keeps its y; r = 10 x 9
    }
    if (c.ends.empty()) {
      EXPECT_TRUE(painter.lines.empty());
      continue;
    }
    ASSERT_EQ(painter.lines.size(), 1u);
    EXPECT_EQ(painter.lines[0].from, c.ends[0]);
    EXPECT_EQ(painter.lines[0].to, c.ends[1]);
  }
  // A missing drawing leaves an empty symbol in the hole.
  Hole hole;
  hole.AddSymbol("Missing", false);
  hole.AddSymbol(nullptr, true);
  EXPECT_EQ(hole.GetSymbolCount(), 1);
  EXPECT_EQ(hole.GetSymbol(0)->GetEntityCount(), 0);
}

TEST_F(Symbols, PlacedOnTheWallByTheKindTables) {
  WriteDxf("Plain", "ENTITIES 0 LINE 10 0 20 0 11 100 21 0 0 ARC 10 0 20 0 40 10 50 0 51 90 0 ENDSEC");
  Hole hole;
  hole.AddSymbol("Plain", false);
  g_doorSymbols[3] = &hole;
  HoleInstance door;
  door.m_kind = HOLE_DOOR;
  door.m_kindId = 1003;
  door.m_posture.position[0] = 1000.7f;
  door.m_posture.rotation[2] = 180;
  door.m_posture.size[0] = 200;
  door.m_posture.size[1] = 0;
  door.m_posture.mirror = 1;
  RecordingPainter painter;
  Hole::DrawRotated(door, painter, 500, 300, 0.0);
  // At 1000 along a wall that starts at (500, 300), turned by 180 and mirrored.
  ASSERT_EQ(painter.lines.size(), 1u);
  EXPECT_EQ(painter.lines[0].from, CPoint(1500, 300));
  EXPECT_EQ(painter.lines[0].to, CPoint(1699, 300));  // cos of 180 degrees truncated
  ASSERT_EQ(painter.arcs.size(), 1u);
  EXPECT_EQ(painter.arcs[0].box.left, 1480);
  EXPECT_EQ(painter.arcs[0].box.bottom, 320);
  // Mirrored, the arc runs from angle - end to angle - start.
  EXPECT_EQ(painter.arcs[0].start, TransformSymbolPoint(CPoint(20, 0), CPoint(1500, 300), 90.0, true));
  EXPECT_EQ(painter.arcs[0].end, TransformSymbolPoint(CPoint(20, 0), CPoint(1500, 300), 180.0, true));

  for (const auto& [kind, id] : {std::pair{HOLE_DOOR, 1010}, std::pair{HOLE_WINDOW, 1003},
                                 std::pair{HoleKind(12), 1003}}) {
    door.m_kind = kind;
    door.m_kindId = id;
    RecordingPainter none;
    Hole::DrawRotated(door, none, 500, 300, 0.0);
    EXPECT_TRUE(none.lines.empty() && none.arcs.empty()) << kind << " " << id;
  }
  g_doorSymbols[3] = nullptr;

  // Bounds of the 100-long line turned by 45 degrees.
  const CRect bounds = hole.GetBounds(45.0);
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.right, 70);
  EXPECT_EQ(bounds.top, 0);
  EXPECT_EQ(bounds.bottom, 70);
  EXPECT_EQ(hole.GetExtent(0), (std::pair<int32_t, int32_t>{0, 100}));
  EXPECT_EQ(hole.GetExtent(2), (std::pair<int32_t, int32_t>{0, 0}));
}

TEST_F(Symbols, HugeDrawingsAreClamped) {
  WriteDxf("Huge", "ENTITIES 0 LINE 10 -2147483648 20 -2147483648 11 2147483647 21 2147483647 "
                   "0 ARC 10 2147483647 40 2147483647 0 ENDSEC");
  Hole hole;
  hole.AddSymbol("Huge", false);
  RecordingPainter painter;
  hole.Draw(painter, CPoint(INT_MAX, INT_MIN), 45.0, true, INT_MAX, INT_MAX);
  ASSERT_EQ(painter.lines.size(), 1u);
  ASSERT_EQ(painter.arcs.size(), 1u);
  EXPECT_EQ(TransformSymbolPoint(CPoint(INT_MAX, INT_MAX), CPoint(INT_MAX, INT_MAX), 0.0, false),
            CPoint(INT_MAX, INT_MAX));
}

}  // namespace
