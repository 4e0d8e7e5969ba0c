// Where the face of a wall side ends at a pole group, and the pieces that close the wall's end
// there, for the wall side meshes.
#include <algorithm>
#include <cmath>
#include <vector>

#include "models/frame.h"
#include "models/mesh.h"
#include "models/planhost.h"
#include "models/room.h"
#include "models/wall.h"
#include "models/wallpole.h"

namespace {

// Angles between walls, in degrees. One wall continues another straight when the angle between
// them is within kStraight of 180.
constexpr double kStraight = 0.001;
// Above this the angle is reflex: more than straight by the tolerance.
constexpr double kReflex = 180.001;
// Below this the angle is less than straight by the tolerance.
constexpr double kBelowStraight = 179.999;

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

Walks RunWalks(WallPole* p, int s, int32_t level, bool top) {
  Walks w;
  w.a.pole = p->FindLevelAround(s, level, &w.a.side, false, top);
  w.b.pole = p->FindLevelAround(1 - s, level, &w.b.side, false, top);
  w.a2.pole = p->FindLevelAround(s, level, &w.a2.side, true, top);
  w.b2.pole = p->FindLevelAround(1 - s, level, &w.b2.side, true, top);
  w.ta.pole = p->FindTopAround(s, &w.ta.side, top);
  w.tb.pole = p->FindTopAround(1 - s, &w.tb.side, top);
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
  return q && std::fabs(180.0 - Angle(p, q, side)) < kStraight;
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

// What both corner operations know of the pole they work at, side s of its wall.
struct Corner {
  const Frame& frame;
  WallPole* p;
  int s;
  bool top;      // the walks go by the walls' top levels
  Walks k;
  PlanLine line;  // the side-s line of the pole's wall
  WallPole* ns;   // the neighbour on side s

  Corner(const Frame& f, WallPole* pole, int side, int32_t level, bool byTop)
      : frame(f), p(pole), s(side), top(byTop), k(RunWalks(pole, side, level, byTop)),
        line(pole->FirstJoinedWall()->SideLine(side)), ns(pole->GetNeighbour(side)) {}
};

// ----- Where the face ends -----

// The face stops at side t of the highest pole q; it runs on to q's other side when the wall
// there stands on this one's base and its room owns that side, or stands lower.
int EndAtHighest(const Corner& c, WallPole* q, int t, FaceEnd& end) {
  const WallPole* A = c.k.a.pole;
  Cut(c.line, SideLineOf(q, t), end.point[0]);
  if ((A->GetBaseLevel() == c.p->GetBaseLevel() &&
       Room::IsWallSideOwner(c.frame, q->FirstJoinedWall(), t)) ||
      A->GetBaseLevel() < c.p->GetBaseLevel()) {
    Cut(c.line, SideLineOf(q, 1 - t), end.point[1]);
    return 1;
  }
  return 0;
}

// The walk on side s stops at the direct neighbour A, in a group of three or more.
int FaceAtNeighbour(const Corner& c, FaceEnd& end) {
  WallPole* p = c.p;
  const int s = c.s;
  WallPole* A = c.k.a.pole;
  const int a = c.k.a.side;
  if (!Continues(p, A, s)) {
    Cut(c.line, SideLineOf(A, a), end.point[0]);
    return 0;
  }
  WallPole* back = p->GetNeighbour(1 - s);
  WallPole* q1 = HighestAround(back, back && !SameKind(back, p) ? 1 - s : s, A);
  WallPole* after = A->GetNeighbour(1 - a);
  WallPole* q2 = HighestAround(after, after && !SameKind(after, A) ? 1 - a : a, p);
  if (!q1 || !q2)
    return 0;
  if (q1 == q2)
    return EndAtHighest(c, q1, SameKind(p, q1) ? s : 1 - s, end);
  const Room* r1 = p->FirstJoinedWall()->GetRoom(1 - s);
  const Room* r2 = A->FirstJoinedWall()->GetRoom(1 - a);
  if (r1 && r2 && Decide(c.frame, r1, r2))
    Cut(c.line, SideLineOf(q2, SameKind(p, q2) ? 1 - s : s), end.point[0]);
  else
    Cut(c.line, SideLineOf(q1, SameKind(p, q1) ? s : 1 - s), end.point[0]);
  return 0;
}

// The walk found a pole A of the group whose wall turns away from this one.
int FaceAtTurningPole(const Corner& c, FaceEnd& end) {
  WallPole* p = c.p;
  const int s = c.s;
  WallPole* A = c.k.a.pole;
  WallPole* B = c.k.b.pole;
  const int a = c.k.a.side, b = c.k.b.side;
  // A higher wall B on the other side reaches over A: the face ends on B's line.
  if (A != B && Angle(p, A, s) > kReflex && B->GetBaseLevel() > p->GetBaseLevel() &&
      B->GetBaseLevel() >= A->GetBaseLevel() && Angle(B, A, b) > kReflex &&
      std::fabs(180.0 - Angle(p, B, 1 - s)) > kStraight) {
    const PlanLine m = SideLineOf(B, b);
    const int t = SameKind(p, B) ? s : 1 - s;
    if (c.ns && Angle(B, c.ns, t) > 180.0) {
      Cut(c.line, m, end.point[0]);
      return 0;
    }
    Cut(c.line, m, end.point[1]);
    return 1;
  }
  PlanLine m = SideLineOf(A, a);
  if (A == B && !c.top && A->GetBaseLevel() > p->GetBaseLevel() && Angle(p, A, s) > 180.0)
    m = SideLineOf(A, 1 - a);
  if (!Continues(p, c.ns, s)) {
    Cut(c.line, m, end.point[1]);
    return 1;
  }
  Cut(c.line, m, end.point[0]);
  return 0;
}

// The walk found a pole A of the group whose wall continues this one straight, in a group of
// more than two.
int FaceAtStraightPole(const Corner& c, FaceEnd& end) {
  WallPole* p = c.p;
  const int s = c.s;
  WallPole* A = c.k.a.pole;
  const int a = c.k.a.side;
  WallPole* B2 = c.k.b2.pole;
  if (B2 != p && B2 != A && Angle(p, B2, 1 - s) < kReflex) {
    Cut(c.line, SideLineOf(B2, c.k.b2.side), end.point[1]);
    return 1;
  }
  WallPole* q1 = HighestAround(c.ns, c.ns && SameKind(c.ns, p) ? 1 - s : s, A);
  WallPole* after = A->GetNeighbour(a);
  WallPole* q2 = HighestAround(after, after && SameKind(after, A) ? 1 - a : a, p);
  if (!q1 || !q2)
    return 0;
  if (q1 == q2)
    return EndAtHighest(c, q1, SameKind(p, q1) ? 1 - s : s, end);
  Cut(c.line, SideLineOf(q1, SameKind(p, q1) ? 1 - s : s), end.point[0]);
  Wall* w = p->FirstJoinedWall();
  const Room* r1 = w->GetRoom(s);
  const Room* r2 = A->FirstJoinedWall()->GetRoom(a);
  // One room on both sides cannot choose between the two walls: the earlier wall runs on, the
  // later one stops, so that the stretch between them is faced once.
  bool d = r2 != nullptr;
  if (r1 && r2)
    d = r1 == r2 ? c.frame.IsWallAfter(w, A->FirstJoinedWall()) > 0 : Decide(c.frame, r1, r2);
  if (!d)
    return 0;
  Cut(c.line, SideLineOf(q2, SameKind(p, q2) ? s : 1 - s), end.point[1]);
  return 1;
}

// The lowest base level passed walking from the side-s neighbour around to f, f's own
// included: the bottom of the end cap.
int32_t LowestUpTo(const WallPole* p, int s, const WallPole* f) {
  int32_t m = f->GetBaseLevel();
  const WallPole* x = p->GetNeighbour(s);
  for (int steps = 0; x && x != f && steps <= p->GetDegree(); ++steps) {
    m = std::min(m, x->GetBaseLevel());
    const int e = SameKind(x, p) ? 1 - s : s;
    x = x->GetNeighbour(1 - e);
  }
  return m;
}

// No pole of the group reaches the level on side s: the face ends on the line of the opposite
// wall, with an end cap up to this pole's height; or, with nothing opposite on side s, it runs
// on to a lower opposite wall on the other side.
int FaceWithoutLevel(const Corner& c, FaceEnd& end, EndCap* cap) {
  WallPole* p = c.p;
  const int s = c.s;
  const bool isStart = !p->IsEndPole();
  if (WallPole* f = Opposite(p, s)) {
    if (cap) {
      const int32_t m = LowestUpTo(p, s, f);
      cap->set = 1;
      cap->pole = p;
      cap->lower = m;
      cap->upper = p->m_height;
    }
    const bool kf = s == 1 ? f->IsEndPole() : !f->IsEndPole();
    const int u = isStart != kf ? 1 : 0;
    Cut(c.line, SideLineOf(f, u), end.point[1]);
    return c.top ? 1 : -1;
  }
  WallPole* f2 = Opposite(p, 1 - s);
  if (!f2 || f2->GetBaseLevel() >= p->GetBaseLevel())
    return 0;
  const bool kf = s == 1 ? f2->IsEndPole() : !f2->IsEndPole();
  const int u = isStart != kf ? 0 : 1;
  Cut(c.line, SideLineOf(f2, u), end.point[0]);
  return 0;
}

// ----- The pieces over the pole -----

// The current corners around the group at the pole's own level, starting with this pole.
std::vector<double> GroupOutline(WallPole* p, bool top) {
  std::vector<double> pts;
  WallPole* x = p;
  int e = p->IsEndPole() ? 1 : 0;
  const int limit = p->GetDegree() + 1;
  for (int steps = 0; steps < limit; ++steps) {
    double cx, cy;
    x->GetSideCorner(e, &cx, &cy);
    pts.push_back(cx);
    pts.push_back(cy);
    int next = 0;
    WallPole* y = x->FindLevelAround(e, x->GetBaseLevel(), &next, false, top);
    if (!y || y == p)
      break;
    x = y;
    e = 1 - next;
  }
  return pts;
}

// The pole-top piece: the group's outline with this side's corner point and the other side's
// effective corner in place of the pole's own corners, fanned into triangles.
void BuildPoleTopPiece(const Corner& c, const FaceEnd& end, const EndCap& cap, Mesh& piece) {
  WallPole* p = c.p;
  const int s = c.s;
  const bool isEnd = p->IsEndPole();
  std::vector<double> pts = GroupOutline(p, c.top);
  const int n = static_cast<int>(pts.size() / 2);
  if (n > 0) {
    if (cap.set || end.use == 1) {
      const int i = (isEnd != (s != 0)) ? n - 1 : 0;
      pts[2 * i] = end.point[1][0];
      pts[2 * i + 1] = end.point[1][1];
    }
    if (p->TestSideFlag(1 - s, 0)) {
      const int i = (isEnd != (s != 0)) ? 0 : n - 1;
      p->GetEffectiveCorner(1 - s, &pts[2 * i], &pts[2 * i + 1]);
    }
  }
  for (int i = 0; i < n; ++i)
    piece.AddVertex(new MeshVertex(pts[2 * i], pts[2 * i + 1], 0.0));
  for (int i = 2; i < n; ++i)
    piece.AddFace(new MeshFace(0, static_cast<uint32_t>(i - 1), static_cast<uint32_t>(i)));
}

// Over a group whose highest walls on both sides are equally high, as high as this wall: the
// pole-top piece goes to each side whose face reaches the pole's top straight on.
void PoleTopOverEqualWalls(const Corner& c, const FaceEnd& end, const EndCap& cap,
                           PoleTop& poleTop) {
  WallPole* p = c.p;
  const int s = c.s;
  Mesh piece;
  BuildPoleTopPiece(c, end, cap, piece);
  if (Continues(p, c.k.ta.pole, c.k.ta.side) && (cap.set || end.use == 1)) {
    SetSideFlags(p, s, true, false);
    poleTop.pieces.Append(piece, false);
  }
  if (Continues(p, c.k.tb.pole, c.k.tb.side) && p->TestSideFlag(1 - s, 1)) {
    SetSideFlags(p, 1 - s, true, false);
    poleTop.pieces.Append(piece, false);
  }
  if (!p->TestSideFlag(0, 1) && !p->TestSideFlag(1, 1) && p->CountSideJoins(1) == 0 &&
      !cap.set && end.use == 0) {
    poleTop.centre[0] = p->m_x;
    poleTop.centre[1] = p->m_y;
    poleTop.midpoint = 0;
  }
}

// The other side's walks taken over by a higher pole x that stands in the angle: the side
// toward x now meets x (its side kk).
void TakeOverSide(Walk& walk, Walk& strict, WallPole* x, int kk) {
  walk.pole = strict.pole = x;
  strict.side = kk;
}

// The strict walks on the two sides stop at different walls that meet at a reflex angle.
bool StrictWallsTurn(const Walks& k) {
  return k.a2.pole != k.b2.pole && Angle(k.a2.pole, k.b2.pole, k.a2.side) > kReflex;
}

// The higher pole x stands opposite this one, on its side kk, at the angle alpha from this
// wall's side s.
struct OppositePole {
  WallPole* x;
  WallPole* o0;  // x's opposite poles, one of them this pole
  WallPole* o1;
  int kk;
  double alpha;
};

// The walls of the strict walks turn away from each other: the walk toward x now meets x, the
// one side or the other first as the two cases of the angle prefer.
void TakeOverToward(Walks& k, const OppositePole& op, bool sideSFirst) {
  WallPole* x = op.x;
  Walk& first = sideSFirst ? k.a : k.b;
  Walk& firstStrict = sideSFirst ? k.a2 : k.b2;
  Walk& second = sideSFirst ? k.b : k.a;
  Walk& secondStrict = sideSFirst ? k.b2 : k.a2;
  if (sideSFirst ? op.alpha >= 180.0 : op.alpha < 180.0)
    TakeOverSide(first, firstStrict, x, op.kk);
  else if (firstStrict.pole != x &&
           (secondStrict.pole == x || Angle(secondStrict.pole, x, secondStrict.side) > kReflex))
    TakeOverSide(second, secondStrict, x, op.kk);
}

// x has only this pole opposite: the face may end on x's far side, under a cap from the floor
// (x is the neighbour) or from the lower neighbour's top up to x.
void EndBesideLoneOpposite(const Corner& c, const OppositePole& op, int32_t fl, FaceEnd& end,
                           EndCap& cap) {
  WallPole* x = op.x;
  Cut(c.line, SideLineOf(x, 1 - op.kk), end.point[1]);
  if (x == c.ns) {
    cap.set = 1;
    cap.lower = fl;
    cap.upper = x->GetBaseLevel();
  } else if (c.ns && c.p->GetTopLevel() > c.ns->GetTopLevel()) {
    cap.set = 1;
    cap.lower = c.ns->GetTopLevel();
    cap.upper = x->GetBaseLevel();
  }
}

// x stands between this pole and its other opposite pole y: the room with the higher floor
// (or the earlier wall) closes the end at the meeting of x's and y's sides. Answers whether
// the cap is to be set once everything else is done.
bool EndBetweenOpposites(Corner& c, const OppositePole& op, int32_t fl, FaceEnd& end,
                         EndCap& cap) {
  WallPole* p = c.p;
  if (StrictWallsTurn(c.k))
    TakeOverToward(c.k, op, false);
  WallPole* y = p == op.o0 ? op.o1 : op.o0;
  const int j = SameKind(p, y) ? 1 - c.s : c.s;
  const int32_t fy = FloorOf(y->FirstJoinedWall()->GetRoom(j));
  const bool d = fy == fl ? c.frame.IsWallAfter(p->FirstJoinedWall(), y->FirstJoinedWall()) > 0
                          : fy > fl;
  if (!d) {
    cap.set = 0;
    return false;
  }
  Cut(SideLineOf(op.x, op.kk), SideLineOf(y, j), end.point[1]);
  if (fl > fy)
    cap.lower = fy;
  return true;
}

// The higher pole x stands opposite this one and closes the end: the face ends at x's sides,
// and the cap reaches from this wall's floor or top up to x. Answers whether the cap is to be
// set once everything else is done.
bool EndUnderOppositeHigherPole(Corner& c, WallPole* x, WallPole* o0, WallPole* o1,
                                int32_t fl, FaceEnd& end, EndCap& cap) {
  const OppositePole op{x, o0, o1, c.p == o1 ? 1 : 0, Angle(c.p, x, c.s)};
  const double window = 180.0 + GetPlanSettings().minJoinAngle - kStraight;
  if (op.alpha <= window) {
    if (o0 && o1 && StrictWallsTurn(c.k))
      TakeOverToward(c.k, op, true);
  } else {
    // Beyond the window the face runs on to x's near side.
    cap.lower = fl;
    Cut(c.line, SideLineOf(x, op.kk), end.point[0]);
    cap.set = 0;
    end.use = 0;
  }
  if (!o0 || !o1) {
    EndBesideLoneOpposite(c, op, fl, end, cap);
    return false;
  }
  return EndBetweenOpposites(c, op, fl, end, cap);
}

// A higher pole x of the group stands over this end. Answers whether the cap is to be set
// once everything else is done.
bool EndUnderHigherPole(Corner& c, WallPole* x, int32_t fl, FaceEnd& end, EndCap& cap) {
  WallPole* p = c.p;
  cap.lower = p->GetTopLevel();
  cap.upper = x->GetBaseLevel();
  cap.pole = x;
  WallPole* o0 = Opposite(x, 0);
  WallPole* o1 = Opposite(x, 1);
  if (p == o0 || p == o1)
    return EndUnderOppositeHigherPole(c, x, o0, o1, fl, end, cap);
  const double window = GetPlanSettings().minJoinAngle - kStraight;
  if (std::fabs(180.0 - Angle(p, x, c.s)) < window) {
    cap.set = 0;
    end.use = 0;
  }
  return false;
}

// This end is the highest of its group: over a lower neighbour on side s the wall's end is
// stepped down to that neighbour, when nothing stands opposite.
void EndAtTopPole(const Corner& c, EndStep& step) {
  WallPole* p = c.p;
  if (!(c.ns && c.ns->GetBaseLevel() < p->GetBaseLevel()))
    return;
  if (p->GetDegree() == 2 && !Opposite(p, c.s) && !Opposite(p, 1 - c.s)) {
    step.set = 1;
    step.level = c.ns->GetBaseLevel();
  }
  p->m_sideFlags |= POLE_FREE_END;
}

// The triangle between the side lines of the two higher walls A2, B2 and this wall's end,
// through the given corners of side 0 and side 1.
void AddGapTriangle(const Corner& c, const double side0[2], const double side1[2], Mesh& pieces) {
  WallPole* p = c.p;
  double ip[2] = {p->m_x, p->m_y};
  Cut(SideLineOf(c.k.a2.pole, c.k.a2.side), SideLineOf(c.k.b2.pole, c.k.b2.side), ip);
  Mesh piece;
  piece.AddVertex(new MeshVertex(ip[0], ip[1], 0.0));
  piece.AddVertex(new MeshVertex(side0[0], side0[1], 0.0));
  piece.AddVertex(new MeshVertex(side1[0], side1[1], 0.0));
  piece.AddFace(p->IsEndPole() ? new MeshFace(0, 1, 2) : new MeshFace(0, 2, 1));
  pieces.Append(piece, false);
}

// Where the other side ends, worked out from the plan: its reach and corner points, and
// whether it takes the corner point.
struct OtherSide {
  FaceEnd end;
  bool takesCorner = false;
};

OtherSide AskOtherSide(const Corner& c, int32_t level) {
  OtherSide o;
  c.p->GetSideCorner(1 - c.s, &o.end.point[0][0], &o.end.point[0][1]);
  o.takesCorner = c.p->ComputeFaceCorner(c.frame, 1 - c.s, level, c.top, o.end, nullptr) != 0;
  return o;
}

// Where the walls A2 and B2 continue each other across the end: the filler between this
// wall's effective corners and their feet on the two side lines.
void AddGapFiller(const Corner& c, PoleTop& poleTop) {
  WallPole* p = c.p;
  const int s = c.s;
  double e0[2], e1[2], f0[2], f1[2];
  p->GetEffectiveCorner(s, &e0[0], &e0[1]);
  p->GetEffectiveCorner(1 - s, &e1[0], &e1[1]);
  const PlanLine la = SideLineOf(c.k.a2.pole, c.k.a2.side);
  const PlanLine lb = SideLineOf(c.k.b2.pole, c.k.b2.side);
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
  // The wall top reaches F1 through its end centre and so covers (E0, F1, E1); the filler is
  // the rest of the quad E0, F0, F1, E1, which is empty when E0 lies on A2's side.
  if (c.k.a2.pole != c.k.a.pole) {
    const bool swap = p->IsEndPole() != (s != 0);
    piece.AddFace(swap ? new MeshFace(0, 3, 1) : new MeshFace(0, 1, 3));
  }
  poleTop.pieces.Append(piece, false);
  poleTop.centre[0] = f1[0];
  poleTop.centre[1] = f1[1];
  poleTop.midpoint = 0;
}

// The gap piece where side s runs on its own corner.
void GapBesideOwnCorner(const Corner& c, int32_t level, PoleTop& poleTop) {
  WallPole* p = c.p;
  const int s = c.s;
  const double g = Angle(c.k.a2.pole, c.k.b2.pole, SameKind(p, c.k.a2.pole) ? 1 - s : s);
  double e[2][2];
  p->GetEffectiveCorner(s, &e[s][0], &e[s][1]);
  p->GetEffectiveCorner(1 - s, &e[1 - s][0], &e[1 - s][1]);
  bool otherKnown = p->TestSideFlag(1 - s, 0) ||
                    (c.k.b2.pole == c.k.b.pole && c.k.b2.pole == p->GetNeighbour(1 - s));
  if (!otherKnown && g < kBelowStraight) {
    // The other side ends at its corner point, or at its reach point where a neighbour as high
    // as this wall stands next to it: that neighbour closes its own end up to the higher
    // walls, so the two triangles meet along their common side.
    const OtherSide o = AskOtherSide(c, level);
    if (o.takesCorner) {
      otherKnown = true;
      e[1 - s][0] = o.end.point[1][0];
      e[1 - s][1] = o.end.point[1][1];
    } else if (c.k.b.pole == p->GetNeighbour(1 - s)) {
      otherKnown = true;
      e[1 - s][0] = o.end.point[0][0];
      e[1 - s][1] = o.end.point[0][1];
    }
  }
  if (otherKnown && g < kBelowStraight)
    AddGapTriangle(c, e[0], e[1], poleTop.pieces);
  else if (!p->TestSideFlag(1 - s, 0) && std::fabs(180.0 - g) < kStraight)
    AddGapFiller(c, poleTop);
}

// Between two higher walls that make a corner here, the triangle between their sides and this
// wall's end closes the top. It is needed when one side runs on its own corner and the other
// takes its alternate one or meets its higher wall directly. Only one of the two sides builds
// the wall top, and the other side may not have been built yet, so where the other side ends
// is worked out from the plan when it has not taken its alternate corner, and both sides add
// the triangle.
void AddGapPiece(const Corner& c, int32_t level, PoleTop& poleTop) {
  WallPole* p = c.p;
  const int s = c.s;
  WallPole* A2 = c.k.a2.pole;
  WallPole* B2 = c.k.b2.pole;
  if (A2 == B2)
    return;
  if (!p->TestSideFlag(s, 0)) {
    GapBesideOwnCorner(c, level, poleTop);
    return;
  }
  if (p->TestSideFlag(1 - s, 0) ||
      !(Angle(A2, B2, SameKind(p, A2) ? 1 - s : s) < kBelowStraight))
    return;
  const OtherSide o = AskOtherSide(c, level);
  if (o.takesCorner)
    return;
  double e[2][2];
  p->GetEffectiveCorner(s, &e[s][0], &e[s][1]);
  e[1 - s][0] = o.end.point[0][0];
  e[1 - s][1] = o.end.point[0][1];
  AddGapTriangle(c, e[0], e[1], poleTop.pieces);
}

// Where the face of side s ends in a group of two or more.
int FaceEndInGroup(const Corner& c, FaceEnd& end, EndCap* cap) {
  WallPole* A = c.k.a.pole;
  if (A == c.ns && c.p->GetDegree() >= 3)
    return FaceAtNeighbour(c, end);
  if (A == c.p)
    return FaceWithoutLevel(c, end, cap);
  if (!Continues(c.p, A, c.s))
    return FaceAtTurningPole(c, end);
  if (c.p->GetDegree() > 2)
    return FaceAtStraightPole(c, end);
  return 0;
}

// A free wall end: both points are the pole's own corner, the end is capped, and a side-1
// step runs up from the floor of its room.
void StoreFreeEnd(WallPole* p, int s, int32_t fl, const FaceEnd& end, const EndCap& cap,
                  EndStep& step) {
  if (s == 1) {
    step.set = 1;
    step.level = fl;
  }
  p->m_sideFlags |= POLE_FREE_END;
  p->SetSideCorners(s, end.point[0][0], end.point[0][1], end.point[1][0], end.point[1][1]);
  SetSideFlags(p, s, cap.set != 0 || end.use == 1, false);
}

}  // namespace

int WallPole::ComputeFaceCorner(const Frame& frame, int s, int32_t level, bool top, FaceEnd& end,
                                EndCap* cap) {
  GetSideCorner(s, &end.point[1][0], &end.point[1][1]);
  const int r = IsAlone() ? 0 : FaceEndInGroup(Corner(frame, this, s, level, top), end, cap);
  end.use = r != 0;
  return r;
}

void WallPole::ComputeSolidCorner(const Frame& frame, int owner, int s, int32_t level, bool top,
                                  FaceEnd& end, EndCap& cap, EndStep& step, PoleTop* poleTop) {
  step.set = 0;
  step.level = LEVEL_UNSET;
  Wall* w = FirstJoinedWall();
  const int32_t fl = FloorOf(w->GetRoom(s));
  if (poleTop)
    m_sideFlags &= ~POLE_FREE_END;
  if (IsAlone()) {
    StoreFreeEnd(this, s, fl, end, cap, step);
    return;
  }

  Corner c(frame, this, s, level, top);
  WallPole* ta = c.k.ta.pole;
  WallPole* tb = c.k.tb.pole;
  bool capLater = false;
  // The highest walls on both sides are equally high: without a pole-top mesh to build,
  // there is nothing to settle but the corners.
  const bool equalTops = ta != tb && ta->GetBaseLevel() == tb->GetBaseLevel();
  if (!(equalTops && !poleTop)) {
    if (equalTops && ta->GetBaseLevel() == GetBaseLevel())
      PoleTopOverEqualWalls(c, end, cap, *poleTop);
    if (ta == tb && ta != this && ta->GetBaseLevel() > GetBaseLevel())
      capLater = EndUnderHigherPole(c, ta, fl, end, cap);
    else if (ta == tb && ta == this)
      EndAtTopPole(c, step);
  }

  // Store the corners of side s; a side that faces a room keeps only what that room's own call
  // (the one with a pole-top mesh) works out.
  if (!(w->GetRoom(s) && !poleTop)) {
    SetSideCorners(s, end.point[0][0], end.point[0][1], end.point[1][0], end.point[1][1]);
    SetSideFlags(this, s, cap.set != 0 || end.use == 1, false);
  }
  if (step.set) {
    m_sideFlags |= POLE_FREE_END;
    if (owner == 0)
      step.set = 0;
  }
  if (poleTop)
    AddGapPiece(c, level, *poleTop);
  if (capLater)
    cap.set = 1;
}
