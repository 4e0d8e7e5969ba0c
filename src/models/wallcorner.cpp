// Where the face of a wall side ends at a pole group, and the pieces that close the wall's end
// there, for the wall side meshes.
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "models/frame.h"
#include "models/mesh.h"
#include "models/planhost.h"
#include "models/room.h"
#include "models/wall.h"
#include "models/wallpole.h"

namespace {

struct Walk {
  WallPole* pole;
  int side;
};

// The six level walks that both corner operations start with.
struct Walks {
  Walk a, b;    // direction s and 1 - s, not strict
  Walk a2, b2;  // the same, strict
  Walk ta, tb;  // top walks
};

Walks RunWalks(WallPole* p, int s, int32_t level, int top) {
  Walks w;
  w.a.pole = p->FindLevelAround(s, level, &w.a.side, false, top != 0);
  w.b.pole = p->FindLevelAround(1 - s, level, &w.b.side, false, top != 0);
  w.a2.pole = p->FindLevelAround(s, level, &w.a2.side, true, top != 0);
  w.b2.pole = p->FindLevelAround(1 - s, level, &w.b2.side, true, top != 0);
  w.ta.pole = p->FindTopAround(s, &w.ta.side, top != 0);
  w.tb.pole = p->FindTopAround(1 - s, &w.tb.side, top != 0);
  // A walk that finds nothing stays at the pole.
  for (Walk* k : {&w.a, &w.b, &w.a2, &w.b2, &w.ta, &w.tb})
    if (!k->pole)
      k->pole = p;
  return w;
}

bool SameKind(const WallPole* x, const WallPole* y) {
  return x->IsEndPole() == y->IsEndPole();
}

PlanLine SideLineOf(const WallPole* q, int side) {
  return q->FirstJoinedWall()->SideLine(side);
}

// Intersection of two lines into pt; parallel lines leave pt as it is.
void Cut(const PlanLine& l, const PlanLine& m, double pt[2]) {
  double x, y;
  if (l.Intersect(m, &x, &y)) {
    pt[0] = x;
    pt[1] = y;
  }
}

// The angle from one pole's wall to another's, measured through the pole's side `side`. A
// wall's side 0 lies counter-clockwise of its arm at a start pole and clockwise of it at an end
// pole (its neighbour links follow the same rule), so at an end pole the angle on side 0 is the
// clockwise one.
double Angle(const WallPole* from, const WallPole* to, int side) {
  return from->AngleToNeighbour(to, (side != 0) != from->IsEndPole());
}

// The opposite pole on the pole's side `side`, with the side taken as Angle takes it.
WallPole* Opposite(WallPole* p, int side) {
  return p->FindOpposite(p->IsEndPole() ? 1 - side : side, false);
}

bool Continues(const WallPole* p, const WallPole* q, int side) {
  return q && std::fabs(180.0 - Angle(p, q, side)) < 0.001;
}

int32_t FloorOf(const Room* r) {
  return r ? r->GetFloorLevel() : 0;
}

// Walks around a group from pole x, entered with direction d, up to (not including) the end
// pole, and returns the pole whose wall has the highest base level (the first of equal ones).
WallPole* HighestAround(WallPole* x, int d, const WallPole* end) {
  WallPole* best = nullptr;
  int32_t bestLevel = 0;
  const int limit = x ? x->GetDegree() + 1 : 0;
  for (int steps = 0; x && x != end && steps < limit; ++steps) {
    const int32_t level = x->FirstJoinedWall()->GetBaseLevel();
    if (!best || level > bestLevel) {
      best = x;
      bestLevel = level;
    }
    WallPole* next = x->GetNeighbour(1 - d);
    if (next && !SameKind(x, next))
      d = 1 - d;
    x = next;
  }
  return best;
}

// Whether the room r1 on one side wins over r2: the higher floor, else the room that does not
// stand after the other in the plan.
bool Decide(const Frame& frame, const Room* r1, const Room* r2) {
  if (r1->GetFloorLevel() != r2->GetFloorLevel())
    return r1->GetFloorLevel() > r2->GetFloorLevel();
  return frame.IsRoomAfter(r1, r2) <= 0;
}

void SetSideFlags(WallPole* p, int side, bool use, bool second) {
  if (side)
    p->SetSide1Flags(use, second);
  else
    p->SetSide0Flags(use, second);
}

}  // namespace

int WallPole::ComputeFaceCorner(const Frame& frame, int /*owner*/, int s, int32_t level,
                                double point0[2], double point1[2], int* endFlag,
                                WallPole** endPole, double* level1, double* level2, int top) {
  GetSideCorner(s, &point1[0], &point1[1]);
  if (IsAlone())
    return 0;
  Wall* w = FirstJoinedWall();
  const Walks k = RunWalks(this, s, level, top);
  const PlanLine line = w->SideLine(s);
  WallPole* ns = GetNeighbour(s);
  WallPole* A = k.a.pole;
  const int a = k.a.side;
  // The face stops at side t of the highest pole q; it runs on to q's other side when the wall
  // there stands on this one's base and its room owns that side, or stands lower.
  auto EndAtHighest = [&](WallPole* q, int t) {
    Cut(line, SideLineOf(q, t), point0);
    if ((A->GetBaseLevel() == GetBaseLevel() && Room::IsWallSideOwner(frame, q->FirstJoinedWall(), t)) ||
        A->GetBaseLevel() < GetBaseLevel()) {
      Cut(line, SideLineOf(q, 1 - t), point1);
      return 1;
    }
    return 0;
  };

  // The walk on side s stops at the direct neighbour.
  if (A == ns && GetDegree() >= 3) {
    if (!Continues(this, A, s)) {
      Cut(line, SideLineOf(A, a), point0);
      return 0;
    }
    WallPole* back = GetNeighbour(1 - s);
    WallPole* q1 = HighestAround(back, back && !SameKind(back, this) ? 1 - s : s, A);
    WallPole* after = A->GetNeighbour(1 - a);
    WallPole* q2 = HighestAround(after, after && !SameKind(after, A) ? 1 - a : a, this);
    if (!q1 || !q2)
      return 0;
    if (q1 != q2) {
      const Room* r1 = w->GetRoom(1 - s);
      const Room* r2 = A->FirstJoinedWall()->GetRoom(1 - a);
      if (r1 && r2 && Decide(frame, r1, r2)) {
        Cut(line, SideLineOf(q2, SameKind(this, q2) ? 1 - s : s), point0);
      } else {
        Cut(line, SideLineOf(q1, SameKind(this, q1) ? s : 1 - s), point0);
      }
      return 0;
    }
    return EndAtHighest(q1, SameKind(this, q1) ? s : 1 - s);
  }

  // The walk found another pole of the group.
  if (A != this) {
    WallPole* B = k.b.pole;
    const int b = k.b.side;
    if (!Continues(this, A, s)) {
      if (A != B && Angle(this, A, s) > 180.001 && B->GetBaseLevel() > GetBaseLevel() &&
          B->GetBaseLevel() >= A->GetBaseLevel() && Angle(B, A, b) > 180.001 &&
          std::fabs(180.0 - Angle(this, B, 1 - s)) > 0.001) {
        const PlanLine m = SideLineOf(B, b);
        const int t = SameKind(this, B) ? s : 1 - s;
        if (ns && Angle(B, ns, t) > 180.0) {
          Cut(line, m, point0);
          return 0;
        }
        Cut(line, m, point1);
        return 1;
      }
      PlanLine m = SideLineOf(A, a);
      if (A == B && top == 0 && A->GetBaseLevel() > GetBaseLevel() && Angle(this, A, s) > 180.0)
        m = SideLineOf(A, 1 - a);
      if (!Continues(this, ns, s)) {
        Cut(line, m, point1);
        return 1;
      }
      Cut(line, m, point0);
      return 0;
    }
    if (GetDegree() > 2) {
      WallPole* B2 = k.b2.pole;
      if (B2 != this && B2 != A && Angle(this, B2, 1 - s) < 180.001) {
        Cut(line, SideLineOf(B2, k.b2.side), point1);
        return 1;
      }
      WallPole* q1 = HighestAround(ns, ns && SameKind(ns, this) ? 1 - s : s, A);
      WallPole* after = A->GetNeighbour(a);
      WallPole* q2 = HighestAround(after, after && SameKind(after, A) ? 1 - a : a, this);
      if (!q1 || !q2)
        return 0;
      if (q1 != q2) {
        Cut(line, SideLineOf(q1, SameKind(this, q1) ? 1 - s : s), point0);
        const Room* r1 = w->GetRoom(s);
        const Room* r2 = A->FirstJoinedWall()->GetRoom(a);
        // One room on both sides cannot choose between the two walls: the earlier wall runs
        // on, the later one stops, so that the stretch between them is faced once.
        bool d = r2 != nullptr;
        if (r1 && r2)
          d = r1 == r2 ? frame.IsWallAfter(w, A->FirstJoinedWall()) > 0 : Decide(frame, r1, r2);
        if (!d)
          return 0;
        Cut(line, SideLineOf(q2, SameKind(this, q2) ? s : 1 - s), point1);
        return 1;
      }
      return EndAtHighest(q1, SameKind(this, q1) ? 1 - s : s);
    }
    return 0;
  }

  // No pole of the group reaches the level on side s.
  const bool isStart = !IsEndPole();
  if (WallPole* f = Opposite(this, s)) {
    if (endPole) {
      int32_t m = f->GetBaseLevel();
      WallPole* x = ns;
      for (int steps = 0; x && x != f && steps <= GetDegree(); ++steps) {
        m = std::min(m, x->GetBaseLevel());
        const int e = SameKind(x, this) ? 1 - s : s;
        x = x->GetNeighbour(1 - e);
      }
      if (endFlag)
        *endFlag = 1;
      *endPole = this;
      if (level1)
        *level1 = m;
      if (level2)
        *level2 = m_height;
    }
    const bool kf = s == 1 ? f->IsEndPole() : !f->IsEndPole();
    const int u = isStart != kf ? 1 : 0;
    Cut(line, SideLineOf(f, u), point1);
    return top ? 1 : -1;
  }
  WallPole* f2 = Opposite(this, 1 - s);
  if (!f2 || f2->GetBaseLevel() >= GetBaseLevel())
    return 0;
  const bool kf = s == 1 ? f2->IsEndPole() : !f2->IsEndPole();
  const int u = isStart != kf ? 0 : 1;
  Cut(line, SideLineOf(f2, u), point0);
  return 0;
}

int WallPole::ComputeSolidCorner(const Frame& frame, int owner, int s, int32_t level,
                                 double point0[2], double point1[2], int* r, Mesh* poleTop,
                                 int* midpoint, double endCentre[2], int* endFlag,
                                 WallPole** endPole, double* level1, double* level2,
                                 int* topFlag, int32_t* topLevel, int top) {
  Wall* w = FirstJoinedWall();
  if (topFlag) {
    *topFlag = 0;
    if (topLevel)
      *topLevel = INT32_MIN;
  }
  const int32_t fl = FloorOf(w->GetRoom(s));
  if (poleTop)
    m_sideFlags &= ~POLE_FREE_END;

  // A free wall end.
  if (IsAlone()) {
    if (s == 1 && topFlag) {
      *topFlag = 1;
      if (topLevel)
        *topLevel = fl;
    }
    m_sideFlags |= POLE_FREE_END;
    SetSideCorners(s, point0[0], point0[1], point1[0], point1[1]);
    SetSideFlags(this, s, *endFlag != 0 || *r == 1, false);
    return 0;
  }

  Walks k = RunWalks(this, s, level, top);
  WallPole* ns = GetNeighbour(s);
  WallPole* n1s = GetNeighbour(1 - s);
  (void)n1s;
  const PlanLine line = w->SideLine(s);
  const bool isEnd = IsEndPole();
  bool endLater = false;

  // Pole-top piece over a group whose highest walls on both sides are equally high.
  bool skipToStore = false;
  if (k.ta.pole != k.tb.pole && k.ta.pole->GetBaseLevel() == k.tb.pole->GetBaseLevel()) {
    if (!poleTop) {
      skipToStore = true;
    } else if (k.ta.pole->GetBaseLevel() == GetBaseLevel()) {
      std::vector<double> pts;
      WallPole* x = this;
      int e = isEnd ? 1 : 0;
      const int limit = GetDegree() + 1;
      for (int steps = 0; steps < limit; ++steps) {
        double cx, cy;
        x->GetSideCorner(e, &cx, &cy);
        pts.push_back(cx);
        pts.push_back(cy);
        int next = 0;
        WallPole* y = x->FindLevelAround(e, x->GetBaseLevel(), &next, false, top != 0);
        if (!y || y == this)
          break;
        x = y;
        e = 1 - next;
      }
      const int n = static_cast<int>(pts.size() / 2);
      if (n > 0) {
        if (*endFlag || *r == 1) {
          const int i = (isEnd != (s != 0)) ? n - 1 : 0;
          pts[2 * i] = point1[0];
          pts[2 * i + 1] = point1[1];
        }
        if (TestSideFlag(1 - s, 0)) {
          const int i = (isEnd != (s != 0)) ? 0 : n - 1;
          GetEffectiveCorner(1 - s, &pts[2 * i], &pts[2 * i + 1]);
        }
      }
      Mesh piece;
      for (int i = 0; i < n; ++i)
        piece.AddVertex(new MeshVertex(pts[2 * i], pts[2 * i + 1], 0.0));
      for (int i = 2; i < n; ++i)
        piece.AddFace(new MeshFace(0, static_cast<uint32_t>(i - 1), static_cast<uint32_t>(i)));
      if (Continues(this, k.ta.pole, k.ta.side) && (*endFlag || *r == 1)) {
        SetSideFlags(this, s, true, false);
        poleTop->Append(piece, false);
      }
      if (Continues(this, k.tb.pole, k.tb.side) && TestSideFlag(1 - s, 1)) {
        SetSideFlags(this, 1 - s, true, false);
        poleTop->Append(piece, false);
      }
      if (!TestSideFlag(0, 1) && !TestSideFlag(1, 1) && CountSideJoins(1) == 0 && !*endFlag &&
          *r == 0) {
        if (endCentre) {
          endCentre[0] = m_x;
          endCentre[1] = m_y;
        }
        if (midpoint)
          *midpoint = 0;
      }
    }
  }

  if (!skipToStore) {
    WallPole* x = k.ta.pole;
    if (x == k.tb.pole && x != this && x->GetBaseLevel() > GetBaseLevel()) {
      // A higher pole of the group stands over this end.
      if (level1)
        *level1 = GetTopLevel();
      if (level2)
        *level2 = x->GetBaseLevel();
      if (endPole)
        *endPole = x;
      WallPole* o0 = Opposite(x, 0);
      WallPole* o1 = Opposite(x, 1);
      const int kk = this == o1 ? 1 : 0;
      if (this == o0 || this == o1) {
        const double window = 180.0 + GetPlanSettings().minJoinAngle - 0.001;
        const double alpha = Angle(this, x, s);
        if (alpha <= window) {
          if (o0 && o1 && k.a2.pole != k.b2.pole && Angle(k.a2.pole, k.b2.pole, k.a2.side) > 180.001) {
            if (alpha >= 180.0) {
              k.a.pole = k.a2.pole = ns = x;
              k.a.side = k.a2.side = kk;
            } else if (k.a2.pole != x &&
                       (k.b2.pole == x || Angle(k.b2.pole, x, k.b2.side) > 180.001)) {
              k.b.pole = k.b2.pole = n1s = x;
              k.b.side = k.b2.side = kk;
            }
          }
        } else {
          if (level1)
            *level1 = fl;
          Cut(line, SideLineOf(x, kk), point0);
          *endFlag = 0;
          *r = 0;
        }
        if (!o0 || !o1) {
          Cut(line, SideLineOf(x, 1 - kk), point1);
          if (x == ns) {
            *endFlag = 1;
            if (level1)
              *level1 = fl;
            if (level2)
              *level2 = x->GetBaseLevel();
          } else if (ns && GetTopLevel() > ns->GetTopLevel()) {
            *endFlag = 1;
            if (level1)
              *level1 = ns->GetTopLevel();
            if (level2)
              *level2 = x->GetBaseLevel();
          }
        } else {
          if (k.a2.pole != k.b2.pole && Angle(k.a2.pole, k.b2.pole, k.a2.side) > 180.001) {
            if (alpha < 180.0) {
              k.b.pole = k.b2.pole = n1s = x;
              k.b.side = k.b2.side = kk;
            } else if (k.b2.pole != x &&
                       (k.a2.pole == x || Angle(k.a2.pole, x, k.a2.side) > 180.001)) {
              k.a.pole = k.a2.pole = ns = x;
              k.a.side = k.a2.side = kk;
            }
          }
          WallPole* y = this == o0 ? o1 : o0;
          const int j = SameKind(this, y) ? 1 - s : s;
          const int32_t fy = FloorOf(y->FirstJoinedWall()->GetRoom(j));
          const bool d = fy == fl ? frame.IsWallAfter(w, y->FirstJoinedWall()) > 0 : fy > fl;
          if (d) {
            Cut(SideLineOf(x, kk), SideLineOf(y, j), point1);
            if (fl > fy && level1)
              *level1 = fy;
            endLater = true;
          } else {
            *endFlag = 0;
          }
        }
      } else {
        const double window = GetPlanSettings().minJoinAngle - 0.001;
        if (std::fabs(180.0 - Angle(this, x, s)) < window) {
          *endFlag = 0;
          *r = 0;
        }
      }
    } else if (x == k.tb.pole && x == this) {
      // This end is the highest of its group.
      if (ns && ns->GetBaseLevel() < GetBaseLevel() && topFlag) {
        if (GetDegree() == 2 && !Opposite(this, s) && !Opposite(this, 1 - s)) {
          *topFlag = 1;
          if (topLevel)
            *topLevel = ns->GetBaseLevel();
        }
        m_sideFlags |= POLE_FREE_END;
      }
    }
  }

  // Store the corners of side s.
  if (!(w->GetRoom(s) && !poleTop)) {
    SetSideCorners(s, point0[0], point0[1], point1[0], point1[1]);
    SetSideFlags(this, s, *endFlag != 0 || *r == 1, false);
  }
  if (topFlag && *topFlag) {
    m_sideFlags |= POLE_FREE_END;
    if (owner == 0)
      *topFlag = 0;
  }

  // Gap piece between the neighbouring walls where one side runs on its own corner.
  WallPole* A2 = k.a2.pole;
  WallPole* B2 = k.b2.pole;
  // Between two higher walls that make a corner here, the triangle between their sides and
  // this wall's end closes the top. It is needed when one side runs on its own corner and the
  // other takes its alternate one or meets its higher wall directly. Only one of the two sides
  // builds the wall top, and the other side may not have been built yet, so where the other
  // side ends is worked out from the plan when it has not taken its alternate corner, and both
  // sides add the triangle.
  auto gapTriangle = [&](const double side0[2], const double side1[2]) {
    double ip[2] = {m_x, m_y};
    Cut(SideLineOf(A2, k.a2.side), SideLineOf(B2, k.b2.side), ip);
    Mesh piece;
    piece.AddVertex(new MeshVertex(ip[0], ip[1], 0.0));
    piece.AddVertex(new MeshVertex(side0[0], side0[1], 0.0));
    piece.AddVertex(new MeshVertex(side1[0], side1[1], 0.0));
    piece.AddFace(isEnd ? new MeshFace(0, 1, 2) : new MeshFace(0, 2, 1));
    poleTop->Append(piece, false);
  };
  // Where the other side ends: its reach point and its corner point, and whether it takes the
  // corner point.
  double otherReach[2], otherCorner[2];
  auto otherTakesCorner = [&]() {
    GetSideCorner(1 - s, &otherReach[0], &otherReach[1]);
    return ComputeFaceCorner(frame, owner, 1 - s, level, otherReach, otherCorner, nullptr,
                             nullptr, nullptr, nullptr, top) != 0;
  };
  if (poleTop && A2 != B2 && !TestSideFlag(s, 0)) {
    const double g = Angle(A2, B2, SameKind(this, A2) ? 1 - s : s);
    double e[2][2];
    GetEffectiveCorner(s, &e[s][0], &e[s][1]);
    GetEffectiveCorner(1 - s, &e[1 - s][0], &e[1 - s][1]);
    bool otherKnown = TestSideFlag(1 - s, 0) || (B2 == k.b.pole && B2 == GetNeighbour(1 - s));
    if (!otherKnown && g < 179.999) {
      // The other side ends at its corner point, or at its reach point where a neighbour as
      // high as this wall stands next to it: that neighbour closes its own end up to the
      // higher walls, so the two triangles meet along their common side.
      if (otherTakesCorner()) {
        otherKnown = true;
        e[1 - s][0] = otherCorner[0];
        e[1 - s][1] = otherCorner[1];
      } else if (k.b.pole == GetNeighbour(1 - s)) {
        otherKnown = true;
        e[1 - s][0] = otherReach[0];
        e[1 - s][1] = otherReach[1];
      }
    }
    if (otherKnown && g < 179.999) {
      gapTriangle(e[0], e[1]);
    } else if (!TestSideFlag(1 - s, 0) && std::fabs(180.0 - g) < 0.001) {
      double e0[2], e1[2], f0[2], f1[2];
      GetEffectiveCorner(s, &e0[0], &e0[1]);
      GetEffectiveCorner(1 - s, &e1[0], &e1[1]);
      const PlanLine la = SideLineOf(A2, k.a2.side);
      const PlanLine lb = SideLineOf(B2, k.b2.side);
      f0[0] = e0[0];
      f0[1] = e0[1];
      f1[0] = e1[0];
      f1[1] = e1[1];
      Cut(la, la.Perpendicular(e0[0], e0[1]), f0);
      Cut(lb, lb.Perpendicular(e1[0], e1[1]), f1);
      Mesh piece;
      piece.AddVertex(new MeshVertex(e0[0], e0[1], 0.0));
      piece.AddVertex(new MeshVertex(f0[0], f0[1], 0.0));
      piece.AddVertex(new MeshVertex(e1[0], e1[1], 0.0));
      piece.AddVertex(new MeshVertex(f1[0], f1[1], 0.0));
      const bool swap = isEnd != (s != 0);
      auto face = [&](uint32_t p, uint32_t q, uint32_t t) {
        piece.AddFace(swap ? new MeshFace(p, t, q) : new MeshFace(p, q, t));
      };
      // The wall top reaches F1 through its end centre and so covers (E0, F1, E1); the filler
      // is the rest of the quad E0, F0, F1, E1, which is empty when E0 lies on A2's side.
      if (A2 != k.a.pole)
        face(0, 1, 3);
      poleTop->Append(piece, false);
      if (endCentre) {
        endCentre[0] = f1[0];
        endCentre[1] = f1[1];
      }
      if (midpoint)
        *midpoint = 0;
    }
  } else if (poleTop && A2 != B2 && !TestSideFlag(1 - s, 0) &&
             Angle(A2, B2, SameKind(this, A2) ? 1 - s : s) < 179.999 && !otherTakesCorner()) {
    double e[2][2];
    GetEffectiveCorner(s, &e[s][0], &e[s][1]);
    e[1 - s][0] = otherReach[0];
    e[1 - s][1] = otherReach[1];
    gapTriangle(e[0], e[1]);
  }
  if (endLater)
    *endFlag = 1;
  return 0;
}
