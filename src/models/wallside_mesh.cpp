// The meshes of one side of a wall as one room sees it: its bands with the doors and windows
// cut out, the inner surfaces of the openings, the pieces that close the wall's ends and steps,
// and the wall top.
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "models/frame.h"
#include "models/room.h"
#include "models/triangulate.h"
#include "models/wall.h"
#include "models/wallface.h"
#include "models/wallpole.h"
#include "models/wallside.h"

namespace {

OpeningModelMover g_mover = nullptr;

// Marks of the closing pieces until they are placed: z = 1 upper, z = -1 lower.
constexpr double kUpper = 1.0;
constexpr double kLower = -1.0;

struct Opening {
  HoleInstance* hole = nullptr;
  double a = 0.0, b = 0.0;  // span along the wall's centre line
  double side[2][2] = {};   // side-s points at a and at b
  double other[2][2] = {};  // side-(1 - s) points at a and at b
  double bottom = 0.0, top = 0.0;
  bool rotated = false;  // turned by 90 degrees or more
};

// One end of the wall side.
struct End {
  WallPole* pole = nullptr;
  FaceEnd side[2];  // where the faces of side 0 and side 1 end
  EndCap cap;       // of side s
  EndStep step;     // of side s
  PoleTop top;      // built by side s
  bool hasStepCap = false;
  Mesh stepCap;
  const double* Chosen(int t) const { return side[t].Chosen(); }
};

void AddVertexAt(Mesh& mesh, const double xy[2], double z) {
  mesh.AddVertex(new MeshVertex(xy[0], xy[1], z));
}

// Appends a marked piece with its marks replaced by the two levels.
void AppendAtLevels(Mesh& target, const Mesh& piece, double bottom, double top) {
  Mesh placed;
  for (int i = 0; i < piece.GetVertexCount(); ++i) {
    const MeshVertex& v = *piece.GetVertex(i);
    placed.AddVertex(new MeshVertex(v.x, v.y, v.z > 0.0 ? top : bottom));
  }
  for (int i = 0; i < piece.GetFaceCount(); ++i) {
    const MeshFace& f = *piece.GetFace(i);
    placed.AddFace(new MeshFace(f.a, f.b, f.c));
  }
  target.Append(placed, false);
}

// Appends a flat piece with every vertex at one level.
void AppendAtLevel(Mesh& target, const Mesh& piece, double level, bool flip) {
  Mesh placed;
  for (int i = 0; i < piece.GetVertexCount(); ++i) {
    const MeshVertex& v = *piece.GetVertex(i);
    placed.AddVertex(new MeshVertex(v.x, v.y, level));
  }
  for (int i = 0; i < piece.GetFaceCount(); ++i) {
    const MeshFace& f = *piece.GetFace(i);
    placed.AddFace(new MeshFace(f.a, f.b, f.c));
  }
  target.Append(placed, flip);
}

// A rectangle cut out of a band, in the band's own coordinates (u along the side, v level).
struct Cut {
  double ua, ub, bottom, top;
};

// The level of the band's lower (or upper) boundary just right of u: the band's own level or
// the edge of a notch.
double Profile(const std::vector<Cut>& notches, double u, bool lower, double level) {
  for (const Cut& c : notches)
    if (u >= c.ua && u < c.ub)
      return lower ? c.top : c.bottom;
  return level;
}

struct Point2 {
  double u, v;
};

void PushPoint(std::vector<Point2>& contour, double u, double v) {
  if (!contour.empty() && std::fabs(contour.back().u - u) < 1e-9 &&
      std::fabs(contour.back().v - v) < 1e-9)
    return;
  contour.push_back({u, v});
}

}  // namespace

void SetOpeningModelMover(OpeningModelMover mover) {
  g_mover = mover;
}

int Room::IsWallSideOwner(const Frame& frame, const Wall* wall, int side) {
  const Room* a = wall->GetRoom(side);
  const Room* b = wall->GetRoom(1 - side);
  const int32_t t = std::min(wall->GetStartPole()->m_height, wall->GetEndPole()->m_height);
  if (!a) {
    if (!b)
      return side == 0 ? 1 : 0;
    return b->m_interior == 0 ? 1 : 0;
  }
  if (a == b)
    return side;
  if (a->m_interior == 0)
    return 0;
  if (!b || b->m_interior == 0)
    return 1;
  const int32_t ac = a->GetCeilingLevel(), bc = b->GetCeilingLevel();
  const int32_t af = a->GetFloorLevel(), bf = b->GetFloorLevel();
  if (ac == bc && af == bf)
    return frame.IsRoomAfter(a, b) > 0 ? 0 : 1;
  const int f = af > bf ? 1 : 0;
  if (t >= std::min(ac, bc))
    return ac != bc ? (ac > bc ? 1 : 0) : f;
  const int c = ac > bc ? 0 : 1;
  if (t <= std::max(af, bf))
    return af == bf ? c : f;
  return ac != bc ? c : f;
}

void Room::BuildWallSide(const Frame& frame, Wall* wall, int s) {
  Room* other = wall->GetRoom(1 - s);
  const int owner = IsWallSideOwner(frame, wall, s);
  WallPole* poles[2] = {wall->GetStartPole(), wall->GetEndPole()};
  const int32_t floorLevel = GetFloorLevel();
  const int32_t ceilingLevel = GetCeilingLevel();

  // The wall's centre line and its sides.
  const double sx = poles[0]->m_x, sy = poles[0]->m_y;
  const double length = std::hypot(poles[1]->m_x - sx, poles[1]->m_y - sy);
  const double dx = length > 0.0 ? (poles[1]->m_x - sx) / length : 1.0;
  const double dy = length > 0.0 ? (poles[1]->m_y - sy) / length : 0.0;
  double offsets[4];
  wall->GetOffsetVectors(wall->m_thickness * 0.5, offsets);
  auto planPoint = [&](double along, int side, double out[2]) {
    out[0] = sx + dx * along + offsets[side ? 2 : 0];
    out[1] = sy + dy * along + offsets[side ? 3 : 1];
  };

  // Openings, from the last to the first: their spans, their levels, and their models moved
  // to the centre of the opening.
  const WallHoleInstancesBag& bag = wall->m_openings;
  std::vector<Opening> openings(bag.GetCount());
  for (int i = bag.GetCount() - 1; i >= 0; --i) {
    Opening& o = openings[i];
    o.hole = bag.GetHole(i);
    const Posture& p = o.hole->m_posture;
    const auto [low, high] = o.hole->GetExtent(0);
    o.a = p.position[0] + static_cast<double>(low);
    o.b = p.position[0] + static_cast<double>(high);
    planPoint(o.a, s, o.side[0]);
    planPoint(o.b, s, o.side[1]);
    planPoint(o.a, 1 - s, o.other[0]);
    planPoint(o.b, 1 - s, o.other[1]);
    if (o.hole->m_kind == HOLE_WINDOW) {
      int32_t limit = std::min(ceilingLevel, std::min(poles[0]->m_height, poles[1]->m_height));
      if (other)
        limit = std::min(limit, other->GetCeilingLevel());
      o.top = limit - static_cast<double>(p.position[2]);
      o.bottom = o.top - p.size[2];
    } else {
      const int32_t base = other ? std::max(floorLevel, other->GetFloorLevel()) : floorLevel;
      o.bottom = base + static_cast<double>(p.position[2]);
      o.top = o.bottom + p.size[2];
    }
    o.bottom = RoundMesh(o.bottom);
    o.top = RoundMesh(o.top);
    o.rotated = p.rotation[2] + 3690.0f >= 3780.0f;
    if (g_mover) {
      const double cx = (sx + dx * o.a + sx + dx * o.b) / 2.0;
      const double cy = (sy + dy * o.a + sy + dy * o.b) / 2.0;
      g_mover(o.hole->m_pOwner, static_cast<float>(cx), static_cast<float>(cy),
              static_cast<float>((o.bottom + o.top) / 2.0));
    }
  }

  // Height of the wall, raised to this room's ceiling when it steps over the other room.
  const int32_t height = std::min(poles[0]->m_height, poles[1]->m_height);
  bool stepFlag = false;
  int32_t raised = height;
  if (other && ceilingLevel > height && ceilingLevel > other->GetCeilingLevel()) {
    raised = ceilingLevel;
    stepFlag = true;
  }

  // Where the faces end at the two poles.
  End ends[2];
  for (int e = 0; e < 2; ++e) {
    End& end = ends[e];
    end.pole = poles[e];
    for (int t = 0; t < 2; ++t) {
      end.pole->GetSideCorner(t, &end.side[t].point[0][0], &end.side[t].point[0][1]);
      end.side[t].point[1][0] = end.side[t].point[0][0];
      end.side[t].point[1][1] = end.side[t].point[0][1];
    }
    end.cap.lower = std::min(floorLevel, end.pole->m_height);
    const WallPole* neighbour = end.pole->GetNeighbour(s);
    end.cap.upper = neighbour ? neighbour->m_height : end.pole->m_height;
  }
  const int sideOwner = (owner || !other) ? 1 : 0;
  for (int e = 0; e < 2; ++e) {
    End& end = ends[e];
    WallPole* pole = end.pole;
    const int32_t base = pole->GetBaseLevel();
    {
      EndCap cap = end.cap;
      EndStep step;
      FaceEnd& face = end.side[1 - s];
      face.use = pole->ComputeFaceCorner(frame, 1 - s, base, false, face, nullptr) != 0;
      pole->ComputeSolidCorner(frame, owner, 1 - s, base, false, face, cap, step, nullptr);
    }
    FaceEnd& face = end.side[s];
    face.use = pole->ComputeFaceCorner(frame, s, base, false, face, &end.cap) != 0;
    pole->ComputeSolidCorner(frame, sideOwner, s, base, false, face, end.cap, end.step, &end.top);
    if (end.top.midpoint) {
      end.top.centre[0] = (end.Chosen(s)[0] + end.Chosen(1 - s)[0]) / 2.0;
      end.top.centre[1] = (end.Chosen(s)[1] + end.Chosen(1 - s)[1]) / 2.0;
    }
  }

  // Closing pieces: the end cap along side s where the face stops short of the neighbour, and
  // the end step across the wall's end; each is placed at the levels of every band it meets.
  Mesh caps[2], steps[2];
  for (int e = 0; e < 2; ++e) {
    End& end = ends[e];
    if (!end.cap.set)
      continue;
    end.side[s].use = 0;
    Mesh& cap = caps[e];
    AddVertexAt(cap, end.side[s].point[0], kUpper);
    AddVertexAt(cap, end.side[s].point[0], kLower);
    AddVertexAt(cap, end.side[s].point[1], kLower);
    AddVertexAt(cap, end.side[s].point[1], kUpper);
    const bool swap = e == 0 ? s == 1 : s == 0;
    cap.AddFace(new MeshFace(0, 1, 2), swap);
    cap.AddFace(new MeshFace(0, 2, 3), swap);
  }
  for (int e = 0; e < 2; ++e) {
    End& end = ends[e];
    if (!end.step.set)
      continue;
    Mesh& step = steps[e];
    AddVertexAt(step, end.Chosen(s), kUpper);
    AddVertexAt(step, end.top.centre, kUpper);
    AddVertexAt(step, end.Chosen(1 - s), kUpper);
    AddVertexAt(step, end.Chosen(1 - s), kLower);
    AddVertexAt(step, end.top.centre, kLower);
    AddVertexAt(step, end.Chosen(s), kLower);
    const bool flip = e == 0 ? s == 0 : s == 1;
    for (const auto& f : {MeshFace(0, 1, 4), MeshFace(0, 4, 5), MeshFace(2, 3, 4), MeshFace(2, 4, 1)})
      step.AddFace(new MeshFace(f.a, f.b, f.c), flip);
  }
  // The levels each closing piece spans.
  struct Closing {
    const Mesh* mesh;
    double lower, upper;
  };
  std::vector<Closing> closings;
  for (int e = 0; e < 2; ++e) {
    if (caps[e].GetFaceCount() > 0)
      closings.push_back({&caps[e], ends[e].cap.lower, ends[e].cap.upper});
    if (steps[e].GetFaceCount() > 0)
      closings.push_back({&steps[e], static_cast<double>(ends[e].step.level),
                          static_cast<double>(ends[e].pole->m_height)});
  }

  // Step caps over the other room, once per end.
  if (other && m_interior && ceilingLevel != other->GetCeilingLevel() && raised < ceilingLevel) {
    for (int e = 0; e < 2; ++e) {
      End& end = ends[e];
      WallPole* q = end.pole;
      FaceEnd fa = end.side[1 - s], fb = end.side[s];
      const int ra = q->ComputeFaceCorner(frame, 1 - s, q->GetTopLevel(), true, fa, nullptr);
      const int rb = q->ComputeFaceCorner(frame, s, q->GetTopLevel(), true, fb, nullptr);
      const double(&a)[2][2] = fa.point;
      const double(&b)[2][2] = fb.point;
      std::vector<const double*> corners;
      if (q->TestSideFlag(1 - s, 0)) {
      } else if (q->TestSideFlag(s, 0)) {
        if (ra != 0)
          corners = {a[0], a[1], b[1]};
      } else if (ra == 0 && rb != 0) {
        corners = {b[0], a[0], b[1]};
      } else if (ra != 0 && rb != 0) {
        corners = {b[0], a[0], a[1], b[1]};
      } else if (ra != 0 && rb == 0) {
        corners = {b[0], a[0], a[1]};
      }
      if (corners.empty())
        continue;
      Mesh piece;
      for (const double* c : corners)
        AddVertexAt(piece, c, 0.0);
      const bool flip = e == 0 ? s == 0 : s == 1;
      piece.AddFace(new MeshFace(0, 1, 2), flip);
      if (corners.size() == 4)
        piece.AddFace(new MeshFace(0, 2, 3), flip);
      end.hasStepCap = true;
      end.stepCap.Append(piece, false);
    }
  }

  // The face of side s runs between the chosen points of its two ends.
  const double* faceStart = ends[0].Chosen(s);
  const double* faceEnd = ends[1].Chosen(s);
  const double faceLength = std::hypot(faceEnd[0] - faceStart[0], faceEnd[1] - faceStart[1]);
  const double ux = faceLength > 0.0 ? (faceEnd[0] - faceStart[0]) / faceLength : dx;
  const double uy = faceLength > 0.0 ? (faceEnd[1] - faceStart[1]) / faceLength : dy;
  // Counter-clockwise outlines in (u, level) face along u × z; the face must look into the room.
  const bool flipFace = uy * offsets[s ? 2 : 0] - ux * offsets[s ? 3 : 1] < 0.0;
  auto along = [&](const double p[2]) {
    return (p[0] - faceStart[0]) * ux + (p[1] - faceStart[1]) * uy;
  };

  const int cellCount = wall->GetCellCount(s);
  const double ceilingCap = floorLevel < ceilingLevel ? ceilingLevel : height;
  WallFaceCell* topBand = nullptr;
  WallFaceCell* inWork = nullptr;
  double closingTop = floorLevel;  // how high the closing pieces have been placed
  double previousTop = floorLevel;
  for (int j = 0; j < cellCount; ++j) {
    WallFaceCell* cell = wall->GetCell(s, j);
    const double bottom = j == 0 ? floorLevel : cell->m_pBelow ? cell->m_pBelow->m_top : previousTop;
    const double top = std::min<double>({static_cast<double>(cell->m_top),
                                         static_cast<double>(wall->GetBaseLevel()), ceilingCap});
    previousTop = cell->m_top;
    cell->Clear();
    inWork = cell;

    // Closing pieces within the band.
    for (const Closing& c : closings) {
      const double ctop = std::min(c.upper, cellCount == 1 ? static_cast<double>(ceilingLevel) : top);
      const double cbottom = j == 0 ? c.lower : std::max(c.lower, bottom);
      // A piece that ends below this band belongs to the bands under it alone.
      if (c.lower < ctop && cbottom < ctop) {
        AppendAtLevels(*cell, *c.mesh, cbottom, ctop);
        closingTop = std::max(closingTop, ctop);
      }
    }

    // The inner surfaces of the openings through the wall's thickness.
    for (const Opening& o : openings) {
      const double lo = std::max(o.bottom, bottom);
      const double hi = std::min(o.top, top);
      if (!(static_cast<int>(lo) < static_cast<int>(hi)))
        continue;
      const bool sideTest = s == 0 ? o.rotated : !o.rotated;
      const bool otherInterior = other && other->m_interior;
      const bool flip = s == 1;
      if (sideTest || !otherInterior) {
        Mesh jambs;
        for (int k = 0; k < 2; ++k) {
          AddVertexAt(jambs, o.side[k], hi);
          AddVertexAt(jambs, o.side[k], lo);
          AddVertexAt(jambs, o.other[k], lo);
          AddVertexAt(jambs, o.other[k], hi);
        }
        for (const auto& f : {MeshFace(0, 2, 1), MeshFace(0, 3, 2), MeshFace(4, 5, 6), MeshFace(4, 6, 7)})
          jambs.AddFace(new MeshFace(f.a, f.b, f.c), flip);
        cell->Append(jambs, false);
      }
      // Head and sill: in the band that holds the opening's top (bottom), or in the ceiling
      // (floor) board where they lie at its level.
      for (int which = 0; which < 2; ++which) {
        const bool head = which == 0;
        const double level = head ? o.top : o.bottom;
        if (head ? hi != o.top : lo != o.bottom)
          continue;
        RoomBoard& board = head ? static_cast<RoomBoard&>(m_ceiling) : static_cast<RoomBoard&>(m_floor);
        const bool atBoard = board.GetVertexCount() > 0 && std::fabs(board.m_level - level) < 0.001;
        Mesh* target = sideTest ? cell : nullptr;
        if (!otherInterior) {
          // Nobody else closes an opening of an outer wall.
          target = atBoard ? static_cast<Mesh*>(&board) : cell;
        } else {
          const int32_t mine = head ? ceilingLevel : floorLevel;
          const int32_t theirs = head ? other->GetCeilingLevel() : other->GetFloorLevel();
          if (mine == theirs) {
            if (sideTest && atBoard)
              target = &board;
          } else if (head ? mine < theirs : mine > theirs) {
            if (atBoard)
              target = &board;
          } else {
            target = nullptr;
          }
        }
        if (!target)
          continue;
        Mesh piece;
        AddVertexAt(piece, o.side[0], level);
        AddVertexAt(piece, o.other[0], level);
        AddVertexAt(piece, o.side[1], level);
        AddVertexAt(piece, o.other[1], level);
        if (head) {
          piece.AddFace(new MeshFace(0, 3, 1), flip);
          piece.AddFace(new MeshFace(0, 2, 3), flip);
        } else {
          piece.AddFace(new MeshFace(0, 3, 2), flip);
          piece.AddFace(new MeshFace(0, 1, 3), flip);
        }
        target->Append(piece, false);
      }
    }

    // The face: the band's outline with the openings cut out, triangulated in the plane of
    // the side. Openings that cross the whole band split it into separate pieces.
    if (bottom < top && faceLength > 0.0) {
      std::vector<Cut> full, lowerNotches, upperNotches, holes;
      for (const Opening& o : openings) {
        double ua = along(o.side[0]), ub = along(o.side[1]);
        if (ua > ub)
          std::swap(ua, ub);
        ua = std::max(ua, 0.0);
        ub = std::min(ub, faceLength);
        if (ub - ua < 1.0 || !(o.bottom < top && o.top > bottom))
          continue;
        const Cut c{ua, ub, o.bottom, o.top};
        if (o.bottom <= bottom && o.top >= top)
          full.push_back(c);
        else if (o.bottom <= bottom)
          lowerNotches.push_back(c);
        else if (o.top >= top)
          upperNotches.push_back(c);
        else
          holes.push_back(c);
      }
      auto byStart = [](const Cut& x, const Cut& y) { return x.ua < y.ua; };
      std::sort(full.begin(), full.end(), byStart);
      std::sort(lowerNotches.begin(), lowerNotches.end(), byStart);
      std::sort(upperNotches.begin(), upperNotches.end(), byStart);
      // The pieces between the full-height openings.
      std::vector<std::pair<double, double>> pieces;
      double from = 0.0;
      for (const Cut& c : full) {
        if (c.ua > from)
          pieces.emplace_back(from, c.ua);
        from = std::max(from, c.ub);
      }
      if (faceLength > from)
        pieces.emplace_back(from, faceLength);
      for (const auto& [u0, u1] : pieces) {
        std::vector<Point2> contour;
        // Lower edge, left to right, stepping over the notches.
        PushPoint(contour, u0, Profile(lowerNotches, u0, true, bottom));
        for (const Cut& c : lowerNotches) {
          if (c.ub <= u0 || c.ua >= u1)
            continue;
          if (c.ua > u0) {
            PushPoint(contour, c.ua, bottom);
            PushPoint(contour, c.ua, c.top);
          }
          if (c.ub < u1) {
            PushPoint(contour, c.ub, c.top);
            PushPoint(contour, c.ub, bottom);
          }
        }
        PushPoint(contour, u1, Profile(lowerNotches, std::nextafter(u1, u0), true, bottom));
        // Upper edge, right to left.
        PushPoint(contour, u1, Profile(upperNotches, std::nextafter(u1, u0), false, top));
        for (auto it = upperNotches.rbegin(); it != upperNotches.rend(); ++it) {
          const Cut& c = *it;
          if (c.ub <= u0 || c.ua >= u1)
            continue;
          if (c.ub < u1) {
            PushPoint(contour, c.ub, top);
            PushPoint(contour, c.ub, c.bottom);
          }
          if (c.ua > u0) {
            PushPoint(contour, c.ua, c.bottom);
            PushPoint(contour, c.ua, top);
          }
        }
        PushPoint(contour, u0, Profile(upperNotches, u0, false, top));
        if (contour.size() > 1 && std::fabs(contour.front().u - contour.back().u) < 1e-9 &&
            std::fabs(contour.front().v - contour.back().v) < 1e-9)
          contour.pop_back();
        if (contour.size() < 3)
          continue;
        std::vector<int> sizes{static_cast<int>(contour.size())};
        std::vector<Point2> all = contour;
        for (const Cut& c : holes) {
          // A hole must not touch the outline: keep it a millimetre inside.
          const double ha = std::max(c.ua, u0 + 1.0), hb = std::min(c.ub, u1 - 1.0);
          if (c.ub <= u0 || c.ua >= u1 || hb - ha < 1.0)
            continue;
          for (const Point2& p : {Point2{ha, c.bottom}, Point2{ha, c.top}, Point2{hb, c.top},
                                  Point2{hb, c.bottom}})
            all.push_back(p);
          sizes.push_back(4);
        }
        const int total = static_cast<int>(all.size());
        std::vector<double> xy(2, 0.0);
        for (const Point2& p : all) {
          xy.push_back(p.u);
          xy.push_back(p.v);
        }
        const int capacity = 2 * total + 1;
        std::vector<int> triangles(3 * static_cast<size_t>(capacity));
        const int count = TriangulatePolygon(static_cast<int>(sizes.size()), sizes.data(),
                                             reinterpret_cast<const double(*)[2]>(xy.data()),
                                             reinterpret_cast<int(*)[3]>(triangles.data()), capacity);
        const uint32_t base = static_cast<uint32_t>(cell->GetVertexCount());
        for (const Point2& p : all)
          cell->AddVertex(new MeshVertex(faceStart[0] + ux * p.u, faceStart[1] + uy * p.u, p.v));
        for (int t = 0; t < count; ++t) {
          const int* v = &triangles[3 * static_cast<size_t>(t)];
          cell->AddFace(new MeshFace(base + static_cast<uint32_t>(v[0] - 1),
                                     base + static_cast<uint32_t>(v[1] - 1),
                                     base + static_cast<uint32_t>(v[2] - 1)),
                        flipFace);
        }
      }
    }
    if (cell->m_band == BAND_WALL && bottom < height)
      topBand = cell;
  }

  // Above the bands: the rest of the closing pieces go into the bare-wall mesh.
  Mesh& bare = GetBareWallMesh();
  for (const Closing& c : closings) {
    const double from = std::max(c.lower, closingTop);
    if (from < c.upper)
      AppendAtLevels(bare, *c.mesh, from, c.upper);
  }

  // The wall top over the footprint, with the pieces that close the pole tops.
  Mesh cap;
  AddVertexAt(cap, ends[0].Chosen(s), 0.0);
  AddVertexAt(cap, ends[0].top.centre, 0.0);
  AddVertexAt(cap, ends[0].Chosen(1 - s), 0.0);
  AddVertexAt(cap, ends[1].Chosen(s), 0.0);
  AddVertexAt(cap, ends[1].top.centre, 0.0);
  AddVertexAt(cap, ends[1].Chosen(1 - s), 0.0);
  for (const auto& f : {MeshFace(0, 3, 4), MeshFace(0, 4, 1), MeshFace(2, 1, 4), MeshFace(2, 4, 5)})
    cap.AddFace(new MeshFace(f.a, f.b, f.c), s == 0);
  Mesh endPieces;
  for (const End& end : ends)
    endPieces.Append(end.hasStepCap ? end.stepCap : end.top.pieces, false);
  const bool builds = owner || !other;
  if (builds)
    cap.Append(endPieces, false);
  double wallTop = height;
  if (wall->m_pPendingOpening)
    wallTop += std::trunc(wall->m_pPendingOpening->m_posture.size[2] + 0.5);
  if (wallTop < ceilingLevel) {
    if (builds) {
      if (wallTop <= floorLevel) {
        AppendAtLevel(m_floor, cap, floorLevel, false);
      } else if (WallFaceCell* band = topBand ? topBand : inWork) {
        AppendAtLevel(*band, cap, wallTop, false);
      } else {
        AppendAtLevel(bare, cap, wallTop, false);
      }
    }
    // The other room steps over this one when its ceiling is the higher one and stands above
    // the wall: its own ceiling closes over the wall then, and this room's must not.
    const bool otherSteps = other && other->GetCeilingLevel() > height &&
                            other->GetCeilingLevel() > ceilingLevel;
    if ((builds && !otherSteps) || stepFlag) {
      Mesh over;
      over.Append(cap, false);
      if (!builds)
        over.Append(endPieces, false);
      AppendAtLevel(m_ceiling, over, ceilingLevel, true);
    }
    // Stepping over the other room, this room sees the wall's other side line from the higher
    // of the wall top and the other room's ceiling up to its own ceiling: a face there, looking
    // into this room, closes the step.
    const double stepBottom =
        stepFlag ? std::max(wallTop, static_cast<double>(other->GetCeilingLevel())) : 0.0;
    if (stepFlag && stepBottom < ceilingLevel) {
      const double* c0 = ends[0].Chosen(1 - s);
      const double* c1 = ends[1].Chosen(1 - s);
      Mesh step;
      AddVertexAt(step, c0, stepBottom);
      AddVertexAt(step, c1, stepBottom);
      AddVertexAt(step, c1, ceilingLevel);
      AddVertexAt(step, c0, ceilingLevel);
      const double ux0 = c1[0] - c0[0], uy0 = c1[1] - c0[1];
      const bool flip = uy0 * offsets[s ? 2 : 0] - ux0 * offsets[s ? 3 : 1] < 0.0;
      step.AddFace(new MeshFace(0, 1, 2), flip);
      step.AddFace(new MeshFace(0, 2, 3), flip);
      if (WallFaceCell* band = topBand ? topBand : inWork)
        band->Append(step, false);
      else
        bare.Append(step, false);
    }
  } else if (builds) {
    AppendAtLevel(bare, cap, wallTop, false);
  }
}
