// Wall ends at pole groups as the room meshes close them: corners, T and X junctions, poles
// higher than their walls, rooms with different ceilings and floors, free wall ends. Checked by
// geometry: what the rooms' meshes show (their faces less the parts buried in the walls) must
// enclose the rooms' air without gaps or overlaps, each face looking into the air.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "models/frame.h"
#include "models/wallface.h"
#include "mesh_checks.h"
#include "corner_plans.h"
#include "plan_fixtures.h"

namespace {

// How far the bodies of the walls are shrunk, so that faces on their surfaces stay outside.
constexpr double kSkin = 1e-5;

// A half-space a . p + c < 0; a wall's body is the intersection of a few of them.
struct Plane {
  Vec a;
  double c;
  double At(Vec p) const { return Dot(a, p) + c; }
};
using Body = std::vector<Plane>;
using Polygon = std::vector<Vec>;

// The part of a convex polygon where the plane's function is at least 0 (keep = true) or
// below it.
Polygon Clip(const Polygon& in, const Plane& h, bool keepOutside) {
  Polygon out;
  for (size_t i = 0; i < in.size(); ++i) {
    const Vec p = in[i], q = in[(i + 1) % in.size()];
    const double fp = keepOutside ? -h.At(p) : h.At(p);
    const double fq = keepOutside ? -h.At(q) : h.At(q);
    if (fp <= 0)
      out.push_back(p);
    if ((fp < 0 && fq > 0) || (fp > 0 && fq < 0)) {
      const double t = fp / (fp - fq);
      out.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y), p.z + t * (q.z - p.z)});
    }
  }
  return out;
}

// A convex polygon less a convex body: a few convex pieces. A polygon that lies on the body's
// surface counts as inside when it faces into the body (its front normal n).
std::vector<Polygon> Subtract(const Polygon& poly, Vec n, const Body& body) {
  std::vector<Polygon> pieces;
  Polygon rest = poly;
  for (Plane h : body) {
    if (Dot(n, h.a) < 0)
      h.c -= 2 * kSkin;
    Polygon outside = Clip(rest, h, true);
    if (outside.size() >= 3)
      pieces.push_back(outside);
    rest = Clip(rest, h, false);
    if (rest.size() < 3)
      break;
  }
  return pieces;
}

// What a set of faces adds up to: the area vector (zero for a closed surface) and the volume it
// encloses measured along each axis (equal for a closed surface).
struct Flux {
  Vec area{0, 0, 0};
  Vec volume{0, 0, 0};

  void AddTriangle(Vec a, Vec b, Vec c) {
    const Vec u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
    const Vec n{(u.y * v.z - u.z * v.y) / 2, (u.z * v.x - u.x * v.z) / 2,
                (u.x * v.y - u.y * v.x) / 2};
    area.x += n.x;
    area.y += n.y;
    area.z += n.z;
    volume.x += n.x * (a.x + b.x + c.x) / 3;
    volume.y += n.y * (a.y + b.y + c.y) / 3;
    volume.z += n.z * (a.z + b.z + c.z) / 3;
  }
  // The faces of a mesh less their parts inside the bodies, where nobody can see them.
  void Add(const Mesh& m, const std::vector<Body>& bodies) {
    for (int f = 0; f < m.GetFaceCount(); ++f) {
      const MeshFace& face = *m.GetFace(f);
      std::vector<Polygon> visible{{At(m, face.a), At(m, face.b), At(m, face.c)}};
      const Vec n = Normal(m, f);
      for (const Body& body : bodies) {
        std::vector<Polygon> next;
        for (const Polygon& p : visible)
          for (Polygon& q : Subtract(p, n, body))
            next.push_back(std::move(q));
        visible = std::move(next);
      }
      for (const Polygon& p : visible)
        for (size_t i = 1; i + 1 < p.size(); ++i)
          AddTriangle(p[0], p[i], p[i + 1]);
    }
  }
};

// A plan drawn by clicks, with rooms placed in it.
using Plan = CornerPlan;

// Builds every room as the export does, one after the other.
void BuildAll(const Frame& frame) {
  for (int i = 0; i < frame.GetRoomCount(); ++i)
    BuildRoomMeshes(frame, frame.RoomAt(i));
}

// Every mesh that faces into a room below its ceiling: its cells, floor and ceiling. The pieces
// above the bands (in the bare-wall mesh) lie beyond the ceiling.
std::vector<const Mesh*> MeshesOf(Room* room) {
  std::vector<const Mesh*> meshes{&room->m_floor, &room->m_ceiling};
  for (int i = 0; i < room->GetWallFaceCount(); ++i) {
    const WallFace* face = room->GetWallFace(i);
    for (int j = 0; j < face->m_pWall->GetCellCount(face->GetSide()); ++j)
      meshes.push_back(face->m_pWall->GetCell(face->GetSide(), j));
  }
  return meshes;
}

// The body of a wall, a hair smaller than it is: within the thickness, along the length (on
// through the joint at a joined end) and below the lower end, less the doors (standing on a
// floor at level 0) cut through it.
void AddBodies(const Wall* w, std::vector<Body>& bodies) {
  const double m = kSkin;
  const WallPole* s = w->m_pStart;
  const WallPole* e = w->m_pEnd;
  const double len = w->Length(), half = w->m_thickness / 2.0;
  const double height = std::min(s->m_height, e->m_height);
  const Vec u{(e->m_x - s->m_x) / len, (e->m_y - s->m_y) / len, 0};
  const Vec v{-u.y, u.x, 0};
  const double su = u.x * s->m_x + u.y * s->m_y, sv = v.x * s->m_x + v.y * s->m_y;
  auto add = [&](double from, double to, double bottom, double top) {
    bodies.push_back({{u, -su - to + m},
                      {{-u.x, -u.y, 0}, su + from + m},
                      {v, -sv - half + m},
                      {{-v.x, -v.y, 0}, sv - half + m},
                      {{0, 0, 1}, -top + m},
                      {{0, 0, -1}, bottom + m}});
  };
  double from = s->IsAlone() ? 0.0 : -half;
  for (int k = 0; k < w->m_openings.GetCount(); ++k) {
    const HoleInstance& door = *w->m_openings.GetHole(k);
    const auto [low, high] = door.GetExtent(0);
    const double a = door.m_posture.position[0] + low, b = door.m_posture.position[0] + high;
    add(from, a, -1e9, height);
    add(a, b, door.m_posture.position[2] + door.m_posture.size[2], height);
    from = b;
  }
  add(from, e->IsAlone() ? len : len + half, -1e9, height);
}

// The bodies of all the walls.
std::vector<Body> Bodies(const Frame& frame) {
  std::vector<Body> bodies;
  for (int i = 0; i < frame.GetWallCount(); ++i)
    AddBodies(frame.GetWall(i), bodies);
  return bodies;
}

// A test name made of a case's name, with '_' for everything but letters and digits.
template <class Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c)
    name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
}


// The air the rooms of a wall-corner plan enclose, in millimetres cubed.
struct Air {
  const char* plan;
  double volume;
};

// Rooms of 2850 x 3850 inside walls 150 thick on a 3000 x 4000 grid.
constexpr double kCell = 2850.0 * 3850.0;

// The area of a polygon whose corners run counter-clockwise.
double Area(const std::vector<Vec>& q) {
  double twice = 0;
  for (size_t i = 0; i < q.size(); ++i)
    twice += q[i].x * q[(i + 1) % q.size()].y - q[(i + 1) % q.size()].x * q[i].y;
  return twice / 2;
}
double Area(std::initializer_list<CPoint> corners) {
  std::vector<Vec> q;
  for (const CPoint& c : corners)
    q.push_back({static_cast<double>(c.x), static_cast<double>(c.y), 0});
  return Area(q);
}

// The floor area of a convex room traced counter-clockwise along the centre lines of walls 150
// thick: the polygon moved in by half a wall on every edge.
double InnerArea(std::initializer_list<CPoint> corners) {
  const std::vector<CPoint> p(corners);
  const size_t n = p.size();
  std::vector<Vec> q(n);
  for (size_t i = 0; i < n; ++i) {
    // Edge i - 1 and edge i, each moved in by 75, meet at the inner corner of point i.
    const CPoint a = p[(i + n - 1) % n], b = p[i], c = p[(i + 1) % n];
    const double ux = b.x - a.x, uy = b.y - a.y, lu = std::hypot(ux, uy);
    const double vx = c.x - b.x, vy = c.y - b.y, lv = std::hypot(vx, vy);
    // Points of the two moved lines and their directions.
    const double px = a.x - 75 * uy / lu, py = a.y + 75 * ux / lu;
    const double rx = b.x - 75 * vy / lv, ry = b.y + 75 * vx / lv;
    const double t = ((rx - px) * vy - (ry - py) * vx) / (ux * vy - uy * vx);
    q[i] = {px + t * ux, py + t * uy, 0};
  }
  return Area(q);
}

// The two rooms on either side of the slanting divider.
const double kSlantedRooms = InnerArea({{0, 0}, {1000, 0}, {5000, 3000}, {0, 3000}}) +
                             InnerArea({{1000, 0}, {6000, 0}, {6000, 3000}, {5000, 3000}});
const Air kAir[] = {
    {"one room, walls as high as the ceiling",
     kCell * 2400},
    {"one room, one wall higher than the others",
     kCell * 2400},
    {"T junctions, equal heights",
     2 * kCell * 2400},
    {"T junctions with a door in the divider",
     2 * kCell * 2400 + 900.0 * 150 * 2100},
    {"T junctions, a divider lower than the ceiling",
     2 * kCell * 2400 + 150.0 * 3850 * 400},
    {"T junctions, a divider higher than the outer walls",
     2 * kCell * 2400},
    {"T junctions, outer walls higher than the ceiling",
     2 * kCell * 2400},
    {"rooms with different ceilings",
     // Over the divider the higher room reaches up to its own ceiling.
     kCell * 2400 + kCell * 3000 + 150.0 * 3850 * 1000},
    {"rooms with different ceilings, the divider reaching the lower one",
     kCell * 2400 + kCell * 3000 + 150.0 * 3850 * 600},
    {"a T junction of three heights",
     kCell * 2000 + kCell * 2400},
    {"rooms with different floors",
     kCell * 2400 + kCell * 2100},
    {"an X junction",
     4 * kCell * 2400},
    {"an X junction of low walls",
     4 * kCell * 2400 + 400.0 * 150 * (7850 + 5850 - 150)},
    {"a T junction between three rooms",
     2 * kCell * 2400 + 5850.0 * 3850 * 2400},
    {"a free wall end inside a room",
     (5850.0 * 3850 - 150.0 * 1925) * 2400},
    {"a low free wall end inside a room",
     (5850.0 * 3850 - 150.0 * 1925) * 2400 + 150.0 * 1925 * 1200},
    {"a low free wall end across three bands",
     (5850.0 * 3850 - 150.0 * 1925) * 2400 + 150.0 * 1925 * 1200},
    {"T junctions, a thicker divider",
     2 * 2775.0 * 3850 * 2400},
    {"T junctions, a thicker low divider",
     2 * 2775.0 * 3850 * 2400 + 300.0 * 3850 * 400},
    {"an X junction of four heights",
     4 * kCell * 2800 + 2850.0 * 150 * 400 + 150.0 * 3850 * 800},
    {"a parallelogram room, acute and obtuse corners",
     InnerArea({{0, 0}, {6000, 0}, {10000, 3000}, {4000, 3000}}) * 2400},
    {"a slanting divider",
     kSlantedRooms * 2400},
    {"a low wall out of a room's corner, the outer walls of different thickness",
     // The low wall's top closes the corner between its end and the outer walls; the left wall
     // is 158 thick so that the middle of that end lies on whole millimetres.
     7846.0 * 5850 * 2400 -
         Area({{79, 75}, {225, 75}, {4045, 2940}, {3955, 3060}, {79, 153}}) * 2000},
    {"three low walls fanning out of an outer wall",
     // Above the low walls the outer wall's face runs on unbroken.
     5850.0 * 3850 * 2400 -
         Area({{2775, 75}, {3225, 75}, {5045, 1440}, {4955, 1560}, {3075, 150}, {3075, 2000},
               {2925, 2000}, {2925, 150}, {1045, 1560}, {955, 1440}}) * 2000},
    {"a low slanting divider",
     // Over the divider: a strip 250 wide along the outer walls across the 2850 between them.
     kSlantedRooms * 2400 + 250.0 * 2850 * 400},
};

// The air a plan's rooms must enclose, or null when there is none for it.
const Air* AirOf(const char* plan) {
  for (const Air& a : kAir)
    if (std::string(a.plan) == plan)
      return &a;
  return nullptr;
}

// Nothing that a wall side holds looks away from its room.
void ExpectCellsFaceTheRoom(const Room* room, const std::string& what) {
  for (int k = 0; k < room->GetWallFaceCount(); ++k) {
    const WallFace* face = room->GetWallFace(k);
    const Vec in = TowardRoom(face->m_pWall, face->GetSide());
    for (int j = 0; j < face->m_pWall->GetCellCount(face->GetSide()); ++j) {
      const Mesh& cell = *face->m_pWall->GetCell(face->GetSide(), j);
      for (int f = 0; f < cell.GetFaceCount(); ++f) {
        const Vec n = Normal(cell, f);
        EXPECT_GE(Dot(n, in), -1e-6 * std::sqrt(Dot(n, n)))
            << what << " wall face " << k << " face " << f;
      }
    }
  }
}

class WallCorners : public ::testing::TestWithParam<CornerPlanCase> {};

TEST_P(WallCorners, RoomsEncloseTheirAir) {
  const char* name = GetParam().name;
  const Air* air = AirOf(name);
  ASSERT_TRUE(air) << "no air given for " << name;
  Plan plan;
  GetParam().draw(plan);
  ASSERT_FALSE(HasFailure());
  BuildAll(plan.frame);
  Flux all;
  const std::vector<Body> bodies = Bodies(plan.frame);
  for (int i = 0; i < plan.frame.GetRoomCount(); ++i) {
    Room* room = plan.frame.RoomAt(i);
    ExpectSound(room->GetBareWallMesh(), name);
    for (const Mesh* m : MeshesOf(room)) {
      ExpectSound(*m, name);
      all.Add(*m, bodies);
    }
    ExpectCellsFaceTheRoom(room, std::string(name) + ": room " + std::to_string(i));
  }
  EXPECT_NEAR(all.area.x, 0.0, 1.0) << name;
  EXPECT_NEAR(all.area.y, 0.0, 1.0) << name;
  EXPECT_NEAR(all.area.z, 0.0, 1.0) << name;
  // The faces look into the air, so the volume they enclose counts negative.
  EXPECT_NEAR(-all.volume.x, air->volume, 1e4) << name;
  EXPECT_NEAR(-all.volume.y, air->volume, 1e4) << name;
  EXPECT_NEAR(-all.volume.z, air->volume, 1e4) << name;
}

INSTANTIATE_TEST_SUITE_P(Plans, WallCorners, ::testing::ValuesIn(CornerPlans()),
                         CaseName<CornerPlanCase>);

// Every air given belongs to a plan that is checked.
TEST(WallCorners, EveryAirNamesAPlan) {
  for (const Air& a : kAir) {
    bool found = false;
    for (const CornerPlanCase& c : CornerPlans())
      found = found || std::string(c.name) == a.plan;
    EXPECT_TRUE(found) << a.plan;
  }
}

// Two low walls out of a room's corner, of different heights or equally high, with a room on
// each of their sides: what closes their tops at the corner must not depend on which room is
// built first, and must leave no hole over the corner.
TEST(WallCorners, LowWallsOutOfACornerWhicheverRoomIsBuiltFirst) {
  auto build = [](int32_t second, std::initializer_list<char> order) {
    Plan p;
    LowWallsOutOfACorner(p, second, order);
    BuildAll(p.frame);
    Flux all;
    const std::vector<Body> bodies = Bodies(p.frame);
    for (int i = 0; i < p.frame.GetRoomCount(); ++i)
      for (const Mesh* m : MeshesOf(p.frame.RoomAt(i)))
        all.Add(*m, bodies);
    return all;
  };
  for (const int32_t second : {1600, 2000}) {
    const Flux first = build(second, {'a', 'b', 'c'});
    const Flux other = build(second, {'b', 'a', 'c'});
    EXPECT_NEAR(first.area.z, 0.0, 1.0) << second;
    EXPECT_NEAR(other.area.z, 0.0, 1.0) << second;
    // Without the triangles over the corner, the air above it is left out too.
    EXPECT_NEAR(first.volume.z, other.volume.z, 1e4) << second;
    // The second wall's sides meet the outer wall half a millimetre off the rounded vertices,
    // hence the wider margin.
    EXPECT_NEAR(first.volume.z, first.volume.x, 1e5) << second;
  }
}

// The ends of single walls, asked directly: where the face of a side ends and what the pole
// keeps of it.
struct EndCase {
  const char* name;
  std::initializer_list<CPoint> chain;  // the first wall's end pole is asked
  int side;
  int result;           // of ComputeFaceCorner, -1 counted as 1
  double point1[2];     // the corner point the face may end at
  uint32_t sideFlags;   // the use-alternate bits of that side afterwards
};

const EndCase kEnds[] = {
    {"free end", {{0, 0}, {3000, 0}}, 0, 0, {3000, 75}, 0},
    {"free end, side 1", {{0, 0}, {3000, 0}}, 1, 0, {3000, -75}, 0},
    {"corner, inner side", {{0, 0}, {3000, 0}, {3000, 3000}}, 0, 1, {2925, 75}, POLE_SIDE0_ALT},
    {"corner, outer side", {{0, 0}, {3000, 0}, {3000, 3000}}, 1, 1, {3075, -75}, POLE_SIDE1_ALT},
    {"corner turning the other way", {{0, 0}, {3000, 0}, {3000, -3000}}, 1, 1, {2925, -75},
     POLE_SIDE1_ALT},
};

class WallEnds : public ::testing::TestWithParam<EndCase> {};

TEST_P(WallEnds, FaceEndsAndStoredCorners) {
  const EndCase& c = GetParam();
  Plan plan;
  plan.Draw(c.chain);
  const CPoint* pts = c.chain.begin();
  Wall* w = WallBetween(plan.frame, pts[0].x, pts[0].y, pts[1].x, pts[1].y);
  ASSERT_TRUE(w);
  WallPole* p = w->GetPole(SamePlanPoint(w->m_pEnd->m_x, w->m_pEnd->m_y, pts[1].x, pts[1].y));
  ASSERT_EQ(p->IsAlone(), c.chain.size() == 2);
  // Stale marks from an earlier build must not survive.
  p->m_sideFlags |= POLE_SIDE0_ALT | POLE_SIDE1_ALT;
  double own[2];
  p->GetSideCorner(c.side, &own[0], &own[1]);
  FaceEnd face;
  face.point[0][0] = own[0];
  face.point[0][1] = own[1];
  EndCap cap;
  int r = p->ComputeFaceCorner(plan.frame, c.side, p->GetBaseLevel(), false, face, &cap);
  if (r == -1)
    r = 1;
  EXPECT_EQ(r, c.result);
  EXPECT_EQ(cap.set, 0);
  EXPECT_EQ(face.point[0][0], own[0]);
  EXPECT_EQ(face.point[0][1], own[1]);
  EXPECT_NEAR(face.point[1][0], c.point1[0], 1e-9);
  EXPECT_NEAR(face.point[1][1], c.point1[1], 1e-9);

  EXPECT_EQ(face.use, r);
  EndStep step;
  PoleTop top;
  p->ComputeSolidCorner(plan.frame, 1, c.side, p->GetBaseLevel(), false, face, cap, step, &top);
  // The reach point becomes the current corner, the corner point the alternate one.
  double x, y;
  p->GetSideCorner(c.side, &x, &y);
  EXPECT_EQ(x, own[0]);
  EXPECT_EQ(y, own[1]);
  EXPECT_NEAR(p->m_altCorner[c.side ? CORNER_X1 : CORNER_X0], c.point1[0], 1e-9);
  EXPECT_NEAR(p->m_altCorner[c.side ? CORNER_Y1 : CORNER_Y0], c.point1[1], 1e-9);
  const uint32_t mask =
      c.side ? POLE_SIDE1_ALT | POLE_SIDE1_ALT2 : POLE_SIDE0_ALT | POLE_SIDE0_ALT2;
  EXPECT_EQ(p->m_sideFlags & mask, c.sideFlags);
  EXPECT_EQ((p->m_sideFlags & POLE_FREE_END) == POLE_FREE_END, p->IsAlone());
  // A free end's step runs up from the floor of the side-1 room.
  EXPECT_EQ(step.set, p->IsAlone() && c.side == 1 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Ends, WallEnds, ::testing::ValuesIn(kEnds), CaseName<EndCase>);

}  // namespace
