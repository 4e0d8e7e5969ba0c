#include "models/wallpole.h"

#include <algorithm>
#include <cmath>

#include "models/planhost.h"
#include "models/room.h"
#include "models/wall.h"

IMPLEMENT_SERIAL(WallPoleJoinInfo, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(WallPole, CObject, VERSIONABLE_SCHEMA | 5)

namespace {

bool IsEndOf(const WallPole* pole, const Wall* wall) { return wall && wall->m_pEnd == pole; }

// A side line of a wall with square corners at both ends.
PlanLine SquareSideLine(const Wall& wall, int side) {
  double v[4];
  wall.GetOffsetVectors(wall.m_thickness * 0.5, v);
  const double dx = v[side * 2], dy = v[side * 2 + 1];
  return PlanLine(wall.m_pStart->m_x + dx, wall.m_pStart->m_y + dy, wall.m_pEnd->m_x + dx,
                  wall.m_pEnd->m_y + dy);
}

// The square corner of one end of a wall on a side.
void SquareCorner(const Wall& wall, bool end, int side, double* x, double* y) {
  double v[4];
  wall.GetOffsetVectors(wall.m_thickness * 0.5, v);
  const WallPole* p = wall.GetPole(end);
  *x = p->m_x + v[side * 2];
  *y = p->m_y + v[side * 2 + 1];
}

}  // namespace

void QuantizePoint(WallPole* pole, double x, double y) {
  pole->m_x = QuantizeCoord(x);
  pole->m_y = QuantizeCoord(y);
}

WallPole::~WallPole() {
  // The pole owns only its own record; the others belong to the other poles of its group.
  if (GetDegree() > 0 && GetJoin(0)->m_pPole == this) delete GetJoin(0);
  m_joins.RemoveAll();
}

Wall* WallPole::FirstJoinedWall() const { return GetDegree() > 0 ? GetJoinWall(0) : nullptr; }

bool WallPole::IsEndPole() const {
  if (GetDegree() == 0) return false;
  const WallPoleJoinInfo* own = GetJoin(0);
  return IsEndOf(own->m_pPole, own->m_pWall);
}

WallPole* WallPole::OtherEnd() const {
  Wall* wall = FirstJoinedWall();
  if (!wall) return nullptr;
  return IsEndPole() ? wall->m_pStart : wall->m_pEnd;
}

int WallPole::AddJoin(Wall* wall, WallPole* pole) {
  m_joins.Add(new WallPoleJoinInfo(wall, pole));
  return GetDegree();
}

bool WallPole::RemoveJoin(WallPole* other) {
  for (int i = GetDegree() - 1; i >= 0; --i) {
    if (GetJoinPole(i) == other) {
      m_joins.RemoveAt(i);
      return true;
    }
  }
  return false;
}

int WallPole::FindJoin(const Wall* wall) const {
  for (int i = GetDegree() - 1; i >= 0; --i) {
    if (GetJoinWall(i) == wall) return i;
  }
  return -1;
}

int WallPole::MergeGroups(WallPole* other) {
  if (!other || other == this) return GetDegree();
  for (int i = 0; i < GetDegree(); ++i) {
    if (GetJoinPole(i) == other) return GetDegree();  // already one group
  }
  CPtrArray mine, theirs;
  for (int i = 0; i < GetDegree(); ++i) mine.Add(GetJoin(i));
  for (int i = 0; i < other->GetDegree(); ++i) theirs.Add(other->GetJoin(i));
  for (INT_PTR i = 0; i < mine.GetSize(); ++i) {
    WallPole* p = static_cast<WallPoleJoinInfo*>(mine.GetAt(i))->m_pPole;
    for (INT_PTR j = 0; j < theirs.GetSize(); ++j) p->m_joins.Add(static_cast<CObject*>(theirs.GetAt(j)));
  }
  for (INT_PTR i = 0; i < theirs.GetSize(); ++i) {
    WallPole* p = static_cast<WallPoleJoinInfo*>(theirs.GetAt(i))->m_pPole;
    for (INT_PTR j = 0; j < mine.GetSize(); ++j) p->m_joins.Add(static_cast<CObject*>(mine.GetAt(j)));
  }
  for (int i = 0; i < GetDegree(); ++i) GetJoinPole(i)->m_sideFlags &= ~POLE_FREE_END;
  return GetDegree();
}

void WallPole::Detach() {
  WallPole* last = nullptr;
  for (int i = GetDegree() - 1; i >= 1; --i) {
    WallPole* q = GetJoinPole(i);
    q->RemoveJoin(this);
    if (q->IsAlone()) {
      q->m_sideFlags |= POLE_FREE_END;
      if (Wall* w = q->FirstJoinedWall()) w->RecomputeEndCorners(!q->IsEndPole(), q->IsEndPole());
    }
    last = q;
  }
  if (last) {
    CRect unused(0, 0, 0, 0);
    last->UpdateGroup(unused);
  }
  while (GetDegree() > 1) m_joins.RemoveAt(GetDegree() - 1);
  m_sideFlags |= POLE_FREE_END;
  m_pCounterClockwise = nullptr;
  m_pClockwise = nullptr;
  if (Wall* w = FirstJoinedWall()) w->RecomputeEndCorners(!IsEndPole(), IsEndPole());
}

void WallPole::UpdateGroup(CRect& rect) {
  for (int i = GetDegree() - 1; i >= 0; --i) {
    WallPoleJoinInfo* rec = GetJoin(i);
    UnitePlanRect(rect, rec->m_pWall->GetBounds());
    rec->m_pPole->UpdateCorners(true, true);
    UnitePlanRect(rect, rec->m_pWall->GetBounds());
  }
  std::copy(m_corner, m_corner + 4, m_altCorner);
  const bool end = IsEndPole();
  if (WallPole* n = m_pCounterClockwise) {
    const int side = n->IsEndPole() != end ? 0 : 1;
    n->m_altCorner[side] = n->m_corner[side];
    n->m_altCorner[2 + side] = n->m_corner[2 + side];
  }
  if (WallPole* n = m_pClockwise) {
    const int side = n->IsEndPole() != end ? 1 : 0;
    n->m_altCorner[side] = n->m_corner[side];
    n->m_altCorner[2 + side] = n->m_corner[2 + side];
  }
}

bool WallPole::FindNeighbourJoins(const Wall* wall, WallPoleJoinInfo** ccw,
                                  WallPoleJoinInfo** cw) const {
  return FindNeighbourJoins(wall, IsEndPole(), ccw, cw);
}

bool WallPole::FindNeighbourJoins(const Wall* wall, bool wallEnds, WallPoleJoinInfo** ccw,
                                  WallPoleJoinInfo** cw) const {
  *ccw = nullptr;
  *cw = nullptr;
  if (IsAlone()) return false;
  double smallest = 400.0, largest = -10.0;
  for (int i = GetDegree() - 1; i >= 1; --i) {
    WallPoleJoinInfo* rec = GetJoin(i);
    if (rec->m_pWall == wall) continue;
    const bool reverse = IsEndOf(rec->m_pPole, rec->m_pWall) != wallEnds;
    const double a = wall->AngleTo(*rec->m_pWall, reverse);
    if (a <= smallest) {
      smallest = a;
      *ccw = rec;
    }
    if (a >= largest) {
      largest = a;
      *cw = rec;
    }
  }
  if (wallEnds) std::swap(*ccw, *cw);
  return true;
}

void WallPole::UpdateCorners(bool side0, bool side1) {
  Wall* w = FirstJoinedWall();
  if (!w) return;
  const bool end = IsEndPole();
  WallPoleJoinInfo *ccw = nullptr, *cw = nullptr;
  if (!FindNeighbourJoins(w, &ccw, &cw) || !ccw || !cw) {
    w->RecomputeEndCorners(!end, end);
    m_pCounterClockwise = nullptr;
    m_pClockwise = nullptr;
    return;
  }
  WallPole* oldCcw = m_pCounterClockwise;
  WallPole* oldCw = m_pClockwise;
  m_pCounterClockwise = ccw->m_pPole;
  m_pClockwise = cw->m_pPole;

  double x0, y0, x1, y1;
  {
    const bool same = IsEndOf(ccw->m_pPole, ccw->m_pWall) == end;
    const PlanLine mine = SquareSideLine(*w, 0);
    const PlanLine theirs = SquareSideLine(*ccw->m_pWall, same ? 1 : 0);
    if (!mine.Intersect(theirs, &x0, &y0)) SquareCorner(*w, end, 0, &x0, &y0);
  }
  {
    const bool same = IsEndOf(cw->m_pPole, cw->m_pWall) == end;
    const PlanLine mine = SquareSideLine(*w, 1);
    const PlanLine theirs = SquareSideLine(*cw->m_pWall, same ? 0 : 1);
    if (!mine.Intersect(theirs, &x1, &y1)) SquareCorner(*w, end, 1, &x1, &y1);
  }
  if (side0) {
    m_corner[CORNER_X0] = x0;
    m_corner[CORNER_Y0] = y0;
    if (oldCcw != m_pCounterClockwise) {
      m_altCorner[CORNER_X0] = x0;
      m_altCorner[CORNER_Y0] = y0;
    }
  }
  if (side1) {
    m_corner[CORNER_X1] = x1;
    m_corner[CORNER_Y1] = y1;
    if (oldCw != m_pClockwise) {
      m_altCorner[CORNER_X1] = x1;
      m_altCorner[CORNER_Y1] = y1;
    }
  }

  // Straight-continuation bits.
  double x = std::fabs(AngleToNeighbour(m_pCounterClockwise, false) - 90.0) + kPlanEpsilon;
  if (x > 180.0) x -= 180.0;
  m_sideFlags &= ~(POLE_STRAIGHT_CCW | POLE_STRAIGHT_CCW_OFF);
  if (x > 89.999 && ccw->m_pWall != w) m_sideFlags |= POLE_STRAIGHT_CCW;
  x = std::fabs(AngleToNeighbour(m_pClockwise, true) - 90.0) + kPlanEpsilon;
  if (x > 180.0) x -= 180.0;
  m_sideFlags &= ~(POLE_STRAIGHT_CW | POLE_STRAIGHT_CW_OFF);
  if (x > 89.999 && cw->m_pWall != w) m_sideFlags |= POLE_STRAIGHT_CW;
}

double WallPole::DistanceTo(double x, double y) const { return std::hypot(x - m_x, y - m_y); }

bool WallPole::Coincides(const WallPole& other) const {
  return SamePlanPoint(m_x, m_y, other.m_x, other.m_y);
}

bool WallPole::IsNearPoint(double x, double y) const {
  const Wall* w = FirstJoinedWall();
  const WallPole* other = OtherEnd();
  if (!w || !other) return false;
  const PlanSettings& s = GetPlanSettings();
  const double limit = w->m_thickness * std::max(s.nearWallPercent, s.poleSnapPercent) * 0.01;
  const double d = DistanceTo(x, y);
  const double d2 = other->DistanceTo(x, y);
  return std::min(limit, d2) + kPlanEpsilon >= d;
}

double WallPole::AngleToNeighbour(const WallPole* neighbour, bool clockwise) const {
  const Wall* w = FirstJoinedWall();
  const Wall* nw = neighbour ? neighbour->FirstJoinedWall() : nullptr;
  if (!w || !nw) return 0.0;
  const double a = w->AngleTo(*nw, neighbour->IsEndPole() != IsEndPole());
  return clockwise ? 360.0 - a : a;
}

int WallPole::CountSideJoins(int side) const {
  const uint32_t mask = side ? (POLE_SIDE0_ALT2 | POLE_SIDE1_ALT2)
                             : (POLE_SIDE0_ALT | POLE_SIDE0_ALT2 | POLE_SIDE1_ALT | POLE_SIDE1_ALT2);
  int count = 0;
  for (int i = 1; i < GetDegree(); ++i) {
    if (GetJoinPole(i)->m_sideFlags & mask) ++count;
  }
  return count;
}

void WallPole::SetPosition(double x, double y) { QuantizePoint(this, x, y); }

void WallPole::CopyPlace(const WallPole& other) {
  m_x = other.m_x;
  m_y = other.m_y;
  std::copy(other.m_corner, other.m_corner + 4, m_corner);
  std::copy(other.m_altCorner, other.m_altCorner + 4, m_altCorner);
  m_height = other.m_height;
}

int32_t WallPole::GetBaseLevel() const {
  int32_t level = m_height;
  if (const Wall* w = FirstJoinedWall()) {
    for (Room* r : w->m_pRoom) {
      if (r) level = std::max(level, r->GetFloorLevel());
    }
  }
  return level;
}

int32_t WallPole::GetTopLevel() const {
  const Wall* w = FirstJoinedWall();
  if (w && w->m_pRoom[0] && w->m_pRoom[1] &&
      w->m_pRoom[0]->GetCeilingLevel() != w->m_pRoom[1]->GetCeilingLevel()) {
    return std::max({m_height, w->m_pRoom[0]->GetCeilingLevel(), w->m_pRoom[1]->GetCeilingLevel()});
  }
  return m_height;
}

int32_t WallPole::LevelAround(bool top) const {
  int32_t level = top ? GetTopLevel() : GetBaseLevel();
  if (const Wall* w = FirstJoinedWall()) {
    for (Room* r : w->m_pRoom) {
      if (r) level = std::max(level, r->GetFloorLevel());
    }
  }
  return level;
}

WallPole* WallPole::FindLevelAround(int direction, int32_t level, int* side, bool strict,
                                    bool top) {
  // Every step goes on around the group in one turning sense; a pole's neighbour on side 0 is
  // the next one that way for a start pole and the previous one for an end pole. A group holds
  // every pole that the walk can meet, so it never takes more steps than the group has poles.
  const WallPole* prev = this;
  int leave = direction ? 1 : 0;
  WallPole* x = GetNeighbour(leave);
  for (int steps = 0; x && x != this && steps < GetDegree(); ++steps) {
    const int entered = x->IsEndPole() == prev->IsEndPole() ? 1 - leave : leave;
    const int32_t v = x->LevelAround(top);
    if (strict ? v > level : v >= level) {
      *side = entered;
      return x;
    }
    leave = 1 - entered;
    prev = x;
    x = x->GetNeighbour(leave);
  }
  *side = direction ? 0 : 1;
  return this;
}

WallPole* WallPole::FindTopAround(int direction, int* side, bool top) {
  int32_t level = LevelAround(top);
  for (int i = 1; i < GetDegree(); ++i) level = std::max(level, GetJoinPole(i)->LevelAround(top));
  return FindLevelAround(direction, level, side, false, false);
}

WallPole* WallPole::FindOpposite(int side, bool check) {
  const Wall* w = FirstJoinedWall();
  const Room* room = w ? w->m_pRoom[side ? 1 : 0] : nullptr;
  const double limit = 180.0 - GetPlanSettings().minJoinAngle;
  double lower = -kPlanInfinity;
  WallPole* best = nullptr;
  for (int i = 1; i < GetDegree(); ++i) {
    WallPole* q = GetJoinPole(i);
    const double a = AngleToNeighbour(q, side != 0);
    if (!(a > lower && a < limit)) continue;
    if (check && room && room->GetFloorLevel() >= q->GetBaseLevel()) continue;
    lower = a;
    best = q;
  }
  return best;
}

void WallPole::GetSideCorner(int side, double* x, double* y) const {
  *x = m_corner[side ? CORNER_X1 : CORNER_X0];
  *y = m_corner[side ? CORNER_Y1 : CORNER_Y0];
}

void WallPole::GetEffectiveCorner(int side, double* x, double* y) const {
  const bool alt = side ? (m_sideFlags & (POLE_SIDE1_ALT | POLE_SIDE1_ALT2)) != 0
                        : (m_sideFlags & (POLE_SIDE0_ALT | POLE_SIDE0_ALT2)) != 0;
  const double* c = alt ? m_altCorner : m_corner;
  *x = c[side ? CORNER_X1 : CORNER_X0];
  *y = c[side ? CORNER_Y1 : CORNER_Y0];
}

void WallPole::SetSideCorners(int side, double x0, double y0, double x1, double y1) {
  m_corner[side ? CORNER_X1 : CORNER_X0] = x0;
  m_corner[side ? CORNER_Y1 : CORNER_Y0] = y0;
  m_altCorner[side ? CORNER_X1 : CORNER_X0] = x1;
  m_altCorner[side ? CORNER_Y1 : CORNER_Y0] = y1;
}

void WallPole::SetSide0Flags(bool use, bool second) {
  m_sideFlags &= ~POLE_SIDE0_MARKS;
  if (!use) {
    m_sideFlags &= ~(POLE_SIDE0_ALT | POLE_SIDE0_ALT2);
  } else if (!second) {
    m_sideFlags |= POLE_SIDE0_ALT;
  } else {
    m_sideFlags |= POLE_SIDE0_ALT | POLE_SIDE0_ALT2;
  }
}

void WallPole::SetSide1Flags(bool use, bool second) {
  m_sideFlags &= ~POLE_SIDE1_MARKS;
  if (!use) {
    m_sideFlags &= ~(POLE_SIDE1_ALT | POLE_SIDE1_ALT2);
  } else if (!second) {
    m_sideFlags |= POLE_SIDE1_ALT;
  } else {
    m_sideFlags |= POLE_SIDE1_ALT | POLE_SIDE1_ALT2;
  }
}

bool WallPole::TestSide0Flag(int which) const {
  return which ? (m_sideFlags & POLE_SIDE0_ALT2) != 0
               : (m_sideFlags & (POLE_SIDE0_ALT | POLE_SIDE0_ALT2)) != 0;
}

bool WallPole::TestSide1Flag(int which) const {
  return which ? (m_sideFlags & POLE_SIDE1_ALT2) != 0
               : (m_sideFlags & (POLE_SIDE1_ALT | POLE_SIDE1_ALT2)) != 0;
}

// ---- Join-angle check ----

namespace {

// The angle between a neighbour's wall and the wall that ends at the pole: counter-clockwise
// from the wall at a start end, from the neighbour at an end end.
double JoinAngle(const Wall* wall, bool wallEnds, const WallPoleJoinInfo* rec) {
  const bool reverse = IsEndOf(rec->m_pPole, rec->m_pWall) != wallEnds;
  return wallEnds ? rec->m_pWall->AngleTo(*wall, reverse) : wall->AngleTo(*rec->m_pWall, reverse);
}

// One neighbour of the join check: the far end of the wall must not run inside the
// neighbour's body at an acute angle, and the mitred corner must leave the neighbour in order.
bool CheckNeighbour(Wall& copy, bool wallEnds, const WallPoleJoinInfo* rec, double angle,
                    int wallSide) {
  const Wall& nb = *rec->m_pWall;
  const double half = (nb.m_thickness + copy.m_thickness) * 0.5;
  Wall nbCopy(nb, Wall::Scratch);
  nbCopy.RecomputeEndCorners(true, true);
  const WallPole* farEnd = copy.GetPole(!wallEnds);
  const double d = nbCopy.ProjectPoint(farEnd->m_x, farEnd->m_y, nullptr, nullptr, 0);
  if (d < half && angle < 90.0) return false;

  const bool nbEnds = IsEndOf(rec->m_pPole, &nb);
  const bool same = nbEnds == wallEnds;
  const int nbSide = wallSide == 0 ? (same ? 1 : 0) : (same ? 0 : 1);
  double ix = 0.0, iy = 0.0;
  const bool crossed = copy.SideLine(wallSide).Intersect(nbCopy.SideLine(nbSide), &ix, &iy);
  if (crossed) {
    WallPole* p = nbCopy.GetPole(nbEnds);
    p->m_corner[nbSide ? CORNER_X1 : CORNER_X0] = ix;
    p->m_corner[nbSide ? CORNER_Y1 : CORNER_Y0] = iy;
  }
  if (!nbCopy.HasConsistentCorners()) return false;
  if (crossed) {
    WallPole* p = copy.GetPole(wallEnds);
    p->m_corner[wallSide ? CORNER_X1 : CORNER_X0] = ix;
    p->m_corner[wallSide ? CORNER_Y1 : CORNER_Y0] = iy;
  }
  return true;
}

}  // namespace

bool WallPole::CheckJoinAngles(const Wall* wall) const {
  if (IsAlone() || !wall) return true;
  if (wall->Length() < kPlanEpsilon) return true;
  // The kind of the wall's end at this pole: the pole's own kind for a copy of its own wall,
  // else whichever end of the wall stands here.
  const bool own = IsEndPole();
  bool wallEnds = own;
  if (!wall->GetPole(own)->Coincides(*this) && wall->GetPole(!own)->Coincides(*this)) {
    wallEnds = !own;
  }
  WallPoleJoinInfo *ccw = nullptr, *cw = nullptr;
  FindNeighbourJoins(wall, wallEnds, &ccw, &cw);
  if (!ccw || !cw) return false;
  const double aCcw = JoinAngle(wall, wallEnds, ccw);
  const double aCw = 360.0 - JoinAngle(wall, wallEnds, cw);
  const int minimum = GetPlanSettings().minJoinAngle;
  if (aCcw < minimum || aCw < minimum) return false;

  Wall copy(*wall, Wall::Scratch);
  copy.RecomputeEndCorners(true, true);
  if (!CheckNeighbour(copy, wallEnds, ccw, aCcw, 0)) return false;
  if (!CheckNeighbour(copy, wallEnds, cw, aCw, 1)) return false;
  return true;
}
