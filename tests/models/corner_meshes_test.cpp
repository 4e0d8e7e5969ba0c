// The exact meshes of the wall-corner plans and of a small house with a door and a window:
// every vertex and face of every room as each room is built, the moves of the opening models,
// the corners and side flags the poles keep, and what the two corner operations answer when
// asked directly at every wall end. The text is compared line by line with the accepted copy in
// data/corner_meshes.txt, so any change to what the wall side builder makes shows up here, down
// to the last bit of a corner. When a change of the meshes is meant, write the file again and
// review its difference before committing it:
//
//   VEDRA_WRITE_CORNER_MESHES=1 build/native/tests/models/test_models --gtest_filter='CornerMeshes.*'
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "models/frame.h"
#include "models/wallface.h"
#include "models/wallside.h"
#include "corner_plans.h"
#include "plan_fixtures.h"

namespace {

// Shortest text that reads back as the same double (the same on every platform).
std::string Num(double v) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string Hex(uint32_t v) {
  std::ostringstream s;
  s << "0x" << std::hex << v;
  return s.str();
}

// The text of one plan, built up as the rooms are built.
class Digest {
public:
  explicit Digest(const Frame& frame) : m_frame(frame) {
    for (int i = 0; i < frame.GetWallCount(); ++i) {
      m_names[frame.GetWall(i)->m_pStart] = "w" + std::to_string(i) + "s";
      m_names[frame.GetWall(i)->m_pEnd] = "w" + std::to_string(i) + "e";
    }
  }
  void Line(const std::string& line) { m_out << line << '\n'; }
  std::string Name(const WallPole* p) const {
    if (!p)
      return "none";
    const auto it = m_names.find(p);
    return it == m_names.end() ? "?" : it->second;
  }
  static std::string Point(const double p[2]) { return Num(p[0]) + " " + Num(p[1]); }
  void MeshLines(const std::string& label, const Mesh& m) {
    Line(label + " v " + std::to_string(m.GetVertexCount()) + " f " +
         std::to_string(m.GetFaceCount()));
    for (int i = 0; i < m.GetVertexCount(); ++i) {
      const MeshVertex& v = *m.GetVertex(i);
      Line("  v " + Num(v.x) + " " + Num(v.y) + " " + Num(v.z));
    }
    for (int i = 0; i < m.GetFaceCount(); ++i) {
      const MeshFace& f = *m.GetFace(i);
      Line("  f " + std::to_string(f.a) + " " + std::to_string(f.b) + " " + std::to_string(f.c));
    }
  }
  // The poles whose corners or flags changed since they were last written.
  void PoleLines() {
    for (int i = 0; i < m_frame.GetWallCount(); ++i)
      for (const WallPole* p : {m_frame.GetWall(i)->m_pStart, m_frame.GetWall(i)->m_pEnd})
        PoleLine(p);
  }
  void PoleLine(const WallPole* p) {
    std::string line = "pole " + Name(p) + " flags " + Hex(p->m_sideFlags) + " corner";
    for (double c : p->m_corner)
      line += " " + Num(c);
    line += " alt";
    for (double c : p->m_altCorner)
      line += " " + Num(c);
    std::string& last = m_poles[p];
    if (line != last)
      Line(line);
    last = line;
  }
  void RoomLines(Room* room, int index) {
    Line("room " + std::to_string(index) + " floor " + std::to_string(room->GetFloorLevel()) +
         " ceiling " + std::to_string(room->GetCeilingLevel()));
    MeshLines("floor", room->m_floor);
    MeshLines("ceiling", room->m_ceiling);
    MeshLines("bare", room->GetBareWallMesh());
    for (int k = 0; k < room->GetWallFaceCount(); ++k) {
      const WallFace* face = room->GetWallFace(k);
      const int side = face->GetSide();
      const std::string wall = "wall " + Name(face->m_pWall->m_pStart) + " side " +
                               std::to_string(side);
      for (int j = 0; j < face->m_pWall->GetCellCount(side); ++j) {
        const WallFaceCell* cell = face->m_pWall->GetCell(side, j);
        MeshLines(wall + " cell " + std::to_string(j) + " band " + std::to_string(cell->m_band) +
                      " top " + std::to_string(cell->m_top),
                  *cell);
      }
    }
  }
  std::string Text() const { return m_out.str(); }

private:
  const Frame& m_frame;
  std::map<const WallPole*, std::string> m_names;
  std::map<const WallPole*, std::string> m_poles;  // the last line written of each
  std::ostringstream m_out;
};

Digest* g_digest = nullptr;
void RecordMove(CObject*, float x, float y, float z) {
  if (g_digest)
    g_digest->Line("move " + Num(x) + " " + Num(y) + " " + Num(z));
}

// A plan drawn by clicks, with rooms and openings placed in it.
using Plan = CornerPlan;

// The house of the room mesh tests: two rooms, a door in the divider, a window in the south
// wall of the left room.
void House(Plan& p, float doorRotation) {
  p.Draw({{0, 0}, {6000, 0}, {6000, 4000}, {0, 4000}, {0, 0}}, 2400, 150);
  p.Draw({{3000, 0}, {3000, 4000}}, 2400, 150);
  p.PlaceRoom("거실", 1500, 2000, 2400, 0);
  p.PlaceRoom("침실", 4500, 2000, 2400, 0);
  p.Opening({3000, 0}, {3000, 4000}, HOLE_DOOR, 2000, 900, 2100, 0, doorRotation);
  p.Opening({0, 0}, {3000, 0}, HOLE_WINDOW, 1500, 1200, 1200, 300);
}

// Three bands on both sides of every wall.
void Bands(Plan& p, int32_t a, int32_t b, int32_t c) {
  const int32_t heights[3] = {a, b, c};
  const uint32_t kinds[3] = {BAND_FLOOR_MOULDING, BAND_WALL, BAND_CEILING_MOULDING};
  for (int i = 0; i < p.frame.GetWallCount(); ++i)
    for (int side = 0; side < 2; ++side)
      p.frame.GetWall(i)->RebuildFaceCells(side, heights, kinds, 3);
}

// The plans beyond the wall-corner ones: rooms whose low walls meet at a corner built in either
// order, single corners, the house and rooms of four ceilings.
const CornerPlanCase kMorePlans[] = {
    {"low walls out of a corner, 1600 and 2000, rooms a b c",
     [](Plan& p) { LowWallsOutOfACorner(p, 1600, {'a', 'b', 'c'}); }},
    {"low walls out of a corner, 1600 and 2000, rooms b a c",
     [](Plan& p) { LowWallsOutOfACorner(p, 1600, {'b', 'a', 'c'}); }},
    {"low walls out of a corner, both 2000, rooms a b c",
     [](Plan& p) { LowWallsOutOfACorner(p, 2000, {'a', 'b', 'c'}); }},
    {"low walls out of a corner, both 2000, rooms b a c",
     [](Plan& p) { LowWallsOutOfACorner(p, 2000, {'b', 'a', 'c'}); }},
    {"single corner", [](Plan& p) { p.Draw({{0, 0}, {3000, 0}, {3000, 3000}}); }},
    {"single corner turning the other way",
     [](Plan& p) { p.Draw({{0, 0}, {3000, 0}, {3000, -3000}}); }},
    {"house with a door and a window", [](Plan& p) { House(p, 0.0f); }},
    {"house, the door turned round", [](Plan& p) { House(p, 180.0f); }},
    {"house in three bands, a window in the divider, the enclosing room",
     [](Plan& p) {
       House(p, 90.0f);
       p.Opening({3000, 0}, {3000, 4000}, HOLE_WINDOW, 3200, 600, 1000, 100);
       p.Opening({6000, 0}, {6000, 4000}, HOLE_DOOR, 2000, 800, 2000, 0, 270.0f);
       Bands(p, 100, 1000, 1300);
       ASSERT_TRUE(p.frame.BuildDummyRoom(0));
     }},
    {"rooms of four ceilings at an X junction of two heights",
     [](Plan& p) {
       p.Draw({{0, 0}, {6000, 0}, {6000, 8000}, {0, 8000}, {0, 0}}, 3200);
       p.Draw({{3000, 0}, {3000, 8000}}, 2000);
       p.Draw({{0, 4000}, {3000, 4000}}, 2600);
       p.Draw({{3000, 4000}, {6000, 4000}}, 2600);
       p.PlaceRoom("a", 1500, 2000, 2400, 0);
       p.PlaceRoom("b", 4500, 2000, 3000, 0);
       p.PlaceRoom("c", 1500, 6000, 2800, 200);
       p.PlaceRoom("d", 4500, 6000, 2200, 0);
       p.Opening({0, 4000}, {3000, 4000}, HOLE_DOOR, 800, 800, 2000);
       p.Opening({0, 4000}, {3000, 4000}, HOLE_WINDOW, 2200, 800, 1000);
       p.Opening({3000, 4000}, {6000, 4000}, HOLE_DOOR, 1500, 800, 2000, 0, 180.0f);
     }},
    {"house, a pending opening over the divider",
     [](Plan& p) {
       House(p, 0.0f);
       Wall* divider = WallBetween(p.frame, 3000, 0, 3000, 4000);
       ASSERT_TRUE(divider);
       divider->m_pPendingOpening = new HoleInstance;
       divider->m_pPendingOpening->m_posture.size[2] = 300.4f;
     }},
};

std::string Outputs(const Digest& d, int r, const FaceEnd& end, const EndCap& cap) {
  return "r " + std::to_string(r) + " p0 " + Digest::Point(end.point[0]) + " p1 " +
         Digest::Point(end.point[1]) + " end " + std::to_string(cap.set) + " " +
         d.Name(cap.pole) + " " + Num(cap.lower) + " " + Num(cap.upper);
}

std::string StepText(const EndStep& step) {
  return " topflag " + std::to_string(step.set) + " " + std::to_string(step.level);
}

// What the two corner operations answer at one wall end when asked as the wall side builder
// asks them (the other side first, then side s with every output), and what the pole keeps.
void AskEnd(Digest& d, const Frame& frame, WallPole* p, int s, bool top) {
  const int32_t level = top ? p->GetTopLevel() : p->GetBaseLevel();
  const int owner = top ? 0 : 1;
  // Marks that show which outputs were written.
  const EndCap unset{0, nullptr, -1.0, -2.0};
  d.Line("ask " + d.Name(p) + " side " + std::to_string(s) + " top " + std::to_string(top));

  FaceEnd other;
  p->GetSideCorner(1 - s, &other.point[0][0], &other.point[0][1]);
  other.point[1][0] = other.point[0][0];
  other.point[1][1] = other.point[0][1];
  p->ComputeFaceCorner(frame, 1 - s, level, top, other, nullptr);
  EndCap cap = unset;
  EndStep step{7, 9};
  p->ComputeSolidCorner(frame, owner, 1 - s, level, top, other, cap, step, nullptr);
  d.Line("other " + Outputs(d, other.use, other, cap) + StepText(step));
  d.PoleLine(p);

  FaceEnd face;
  p->GetSideCorner(s, &face.point[0][0], &face.point[0][1]);
  face.point[1][0] = face.point[0][0];
  face.point[1][1] = face.point[0][1];
  cap = unset;
  const int r = p->ComputeFaceCorner(frame, s, level, top, face, &cap);
  d.Line("face " + Outputs(d, r, face, cap));
  PoleTop poleTop;
  poleTop.centre[0] = -3.0;
  poleTop.centre[1] = -4.0;
  p->ComputeSolidCorner(frame, owner, s, level, top, face, cap, step, &poleTop);
  d.Line("solid " + Outputs(d, face.use, face, cap) + " mid " + std::to_string(poleTop.midpoint) +
         " " + Digest::Point(poleTop.centre) + StepText(step));
  d.MeshLines("poletop", poleTop.pieces);
  d.PoleLine(p);
}

std::string PlanDigest(const CornerPlanCase& c) {
  Plan plan;
  c.draw(plan);
  Digest d(plan.frame);
  g_digest = &d;
  SetOpeningModelMover(RecordMove);
  d.Line("plan " + std::string(c.name));
  d.PoleLines();
  for (int i = 0; i < plan.frame.GetRoomCount(); ++i) {
    Room* room = plan.frame.RoomAt(i);
    BuildRoomMeshes(plan.frame, room);
    d.RoomLines(room, i);
    d.PoleLines();
  }
  if (Room* room = plan.frame.m_pDummyRoom) {
    BuildRoomMeshes(plan.frame, room);
    d.RoomLines(room, -1);
    d.PoleLines();
  }
  SetOpeningModelMover(nullptr);
  g_digest = nullptr;
  for (int i = 0; i < plan.frame.GetWallCount(); ++i)
    for (WallPole* p : {plan.frame.GetWall(i)->m_pStart, plan.frame.GetWall(i)->m_pEnd})
      for (int s = 0; s < 2; ++s)
        for (bool top : {false, true})
          AskEnd(d, plan.frame, p, s, top);
  return d.Text();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

TEST(CornerMeshes, SameAsTheAcceptedCopy) {
  std::string text;
  for (const CornerPlanCase& c : CornerPlans()) {
    text += PlanDigest(c);
    ASSERT_FALSE(HasFailure()) << c.name;
  }
  for (const CornerPlanCase& c : kMorePlans) {
    text += PlanDigest(c);
    ASSERT_FALSE(HasFailure()) << c.name;
  }
  if (std::getenv("VEDRA_WRITE_CORNER_MESHES")) {
    std::ofstream(VEDRA_CORNER_MESHES, std::ios::binary) << text;
    GTEST_SKIP() << "wrote " << VEDRA_CORNER_MESHES;
  }
  std::ifstream in(VEDRA_CORNER_MESHES, std::ios::binary);
  ASSERT_TRUE(in) << "cannot read " << VEDRA_CORNER_MESHES;
  std::ostringstream accepted;
  accepted << in.rdbuf();
  const std::vector<std::string> want = Lines(accepted.str()), got = Lines(text);
  std::string plan;
  for (size_t i = 0; i < std::min(want.size(), got.size()); ++i) {
    if (want[i].rfind("plan ", 0) == 0)
      plan = want[i];
    ASSERT_EQ(got[i], want[i]) << "first difference at line " << i + 1 << ", in " << plan;
  }
  EXPECT_EQ(got.size(), want.size()) << "lines";
}

}  // namespace
