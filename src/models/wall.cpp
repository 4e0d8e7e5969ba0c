#include "models/wall.h"

#include <algorithm>
#include <cmath>

#include "models/planhost.h"
#include "models/room.h"
#include "models/wallface.h"

IMPLEMENT_SERIAL(Wall, CObject, VERSIONABLE_SCHEMA | 5)

namespace {

constexpr double kPi = 3.14159265358979323846;

void DeleteCells(ObjectArray& cells) {
  for (INT_PTR i = cells.GetSize() - 1; i >= 0; --i) delete cells.GetAt(i);
  cells.RemoveAll();
}

double CornerX(const WallPole* p, int side) { return p->m_corner[side ? CORNER_X1 : CORNER_X0]; }
double CornerY(const WallPole* p, int side) { return p->m_corner[side ? CORNER_Y1 : CORNER_Y0]; }

}  // namespace

Wall::Wall(double x, double y, int32_t startHeight, int32_t endHeight, uint32_t thickness) {
  Build(x, y, startHeight, endHeight, thickness, true);
}

Wall::Wall(const Wall& source, ScratchTag) {
  Build(source.m_pStart ? source.m_pStart->m_x : 0.0, source.m_pStart ? source.m_pStart->m_y : 0.0,
        0, 0, 0, false);
  CopyToScratch(source);
}

void Wall::Build(double x, double y, int32_t startHeight, int32_t endHeight, uint32_t thickness,
                 bool cells) {
  m_thickness = thickness;
  m_pStart = new WallPole;
  m_pEnd = new WallPole;
  QuantizePoint(m_pStart, x, y);
  QuantizePoint(m_pEnd, x, y);
  m_pStart->m_height = startHeight;
  m_pEnd->m_height = endHeight;
  m_pStart->AddJoin(this, m_pStart);
  m_pEnd->AddJoin(this, m_pEnd);
  if (cells) {
    const int32_t top = std::min(startHeight, endHeight);
    m_cells[0].Add(new WallFaceCell(BAND_PLAIN, top, nullptr));
    m_cells[1].Add(new WallFaceCell(BAND_PLAIN, top, nullptr));
  }
  m_pOrigin = this;
  RecomputeEndCorners(true, true);
}

void Wall::CopyToScratch(const Wall& source) {
  m_thickness = source.m_thickness;
  m_pOrigin = source.IsScratch() ? source.m_pOrigin : const_cast<Wall*>(&source);
  m_pRoom[0] = source.m_pRoom[0];
  m_pRoom[1] = source.m_pRoom[1];
  m_flags = source.m_flags | PLAN_SCRATCH;
  for (int e = 0; e < 2; ++e) {
    WallPole* to = GetPole(e != 0);
    const WallPole* from = source.GetPole(e != 0);
    to->CopyPlace(*from);
    to->m_sideFlags = from->m_sideFlags;
    to->m_state = from->m_state | PLAN_SCRATCH;
    to->m_pCounterClockwise = from->m_pCounterClockwise;
    to->m_pClockwise = from->m_pClockwise;
    // The group by value: the copy's own record, then the other members of the source's group.
    while (to->GetDegree() > 1) to->m_joins.RemoveAt(to->GetDegree() - 1);
    for (int i = 1; i < from->GetDegree(); ++i) to->m_joins.Add(from->GetJoin(i));
  }
}

Wall::~Wall() {
  if (!IsScratch()) {
    if (m_pRoom[0]) m_pRoom[0]->RemoveWallFace(this, 0);
    if (m_pRoom[1]) m_pRoom[1]->RemoveWallFace(this, 1);
    if (m_pStart) m_pStart->Detach();
    if (m_pEnd) m_pEnd->Detach();
    delete m_pPendingOpening;
  }
  DeleteCells(m_cells[0]);
  DeleteCells(m_cells[1]);
  delete m_pStart;
  delete m_pEnd;
}

WallFaceCell* Wall::GetCell(int side, int i) const {
  return static_cast<WallFaceCell*>(m_cells[side ? 1 : 0].GetAt(i));
}

void Wall::GetOffsetVectors(double d, double v[4]) const {
  const double dx = m_pEnd->m_x - m_pStart->m_x;
  const double dy = m_pEnd->m_y - m_pStart->m_y;
  if (std::fabs(dx) < kPlanEpsilon) {
    v[0] = m_pEnd->m_y <= m_pStart->m_y ? d : -d;
    v[1] = 0.0;
  } else if (std::fabs(dy) < kPlanEpsilon) {
    v[0] = 0.0;
    v[1] = m_pEnd->m_x <= m_pStart->m_x ? -d : d;
  } else {
    v[0] = d * std::sqrt(dy * dy / (dx * dx + dy * dy));
    if (m_pEnd->m_y > m_pStart->m_y) v[0] = -v[0];
    v[1] = -v[0] * dx / dy;
  }
  v[2] = -v[0];
  v[3] = -v[1];
}

void Wall::RecomputeEndCorners(bool start, bool end) {
  double v[4];
  GetOffsetVectors(m_thickness * 0.5, v);
  for (int e = 0; e < 2; ++e) {
    if (!(e ? end : start)) continue;
    WallPole* p = GetPole(e != 0);
    p->m_corner[CORNER_X0] = p->m_x + v[0];
    p->m_corner[CORNER_Y0] = p->m_y + v[1];
    p->m_corner[CORNER_X1] = p->m_x + v[2];
    p->m_corner[CORNER_Y1] = p->m_y + v[3];
    std::copy(p->m_corner, p->m_corner + 4, p->m_altCorner);
  }
}

double Wall::Length() const {
  return std::hypot(m_pEnd->m_x - m_pStart->m_x, m_pEnd->m_y - m_pStart->m_y);
}

double Wall::SideLength(int side) const {
  return std::hypot(CornerX(m_pEnd, side) - CornerX(m_pStart, side),
                    CornerY(m_pEnd, side) - CornerY(m_pStart, side));
}

double Wall::AngleDegrees(bool reverse) const {
  double a = std::atan2(m_pEnd->m_y - m_pStart->m_y, m_pEnd->m_x - m_pStart->m_x);
  if (a < 0.0) a += 2.0 * kPi;
  a = a * 180.0 / kPi;
  if (reverse) a = a < 180.0 ? a + 180.0 : a - 180.0;
  return std::floor(a + 0.5);
}

double Wall::AngleTo(const Wall& other, bool reverse) const {
  double a = other.AngleDegrees(reverse) - AngleDegrees(false);
  if (a < 0.0) a += 360.0;
  return a;
}

CRect Wall::GetBounds() const {
  const LONG x1 = static_cast<LONG>(m_pStart->m_x), y1 = static_cast<LONG>(m_pStart->m_y);
  const LONG x2 = static_cast<LONG>(m_pEnd->m_x), y2 = static_cast<LONG>(m_pEnd->m_y);
  const LONG grow = static_cast<LONG>(m_thickness * 1.2);
  return CRect(std::min(x1, x2) - grow, std::min(y1, y2) - grow, std::max(x1, x2) + grow,
               std::max(y1, y2) + grow);
}

CRect Wall::UniteBounds(const CRect& rect) const {
  CRect r = rect;
  UnitePlanRect(r, GetBounds());
  return r;
}

void Wall::SetMarked(bool on) {
  if (on)
    m_flags |= WALL_MARKED;
  else
    m_flags &= ~static_cast<uint32_t>(WALL_MARKED);
}

void Wall::RebuildFaceCells(int side, const int32_t* heights, const uint32_t* values, int count) {
  side = side ? 1 : 0;
  DeleteCells(m_cells[side]);
  if (count <= 0) {
    m_cells[side].Add(new WallFaceCell(BAND_PLAIN, 0, nullptr));
    return;
  }
  int32_t level = m_pRoom[side] ? m_pRoom[side]->GetFloorLevel() : 0;
  WallFaceCell* below = nullptr;
  for (int i = 0; i < count; ++i) {
    level += heights[i];
    below = new WallFaceCell(values[i], level, below);
    m_cells[side].Add(below);
  }
}

int32_t Wall::GetBaseLevel() const {
  int32_t level = std::min(m_pStart->m_height, m_pEnd->m_height);
  for (Room* r : m_pRoom) {
    if (r) level = std::max(level, r->GetFloorLevel());
  }
  return level;
}

// ---- Geometric tests ----

PlanLine Wall::CentreLine() const {
  return PlanLine(m_pStart->m_x, m_pStart->m_y, m_pEnd->m_x, m_pEnd->m_y);
}

PlanLine Wall::SideLine(int side) const {
  return PlanLine(CornerX(m_pStart, side), CornerY(m_pStart, side), CornerX(m_pEnd, side),
                  CornerY(m_pEnd, side));
}

void Wall::SideLines(PlanLine* side0, PlanLine* side1) const {
  *side0 = SideLine(0);
  *side1 = SideLine(1);
}

void Wall::ExtentOfCorners(double* xlo, double* xhi, double* ylo, double* yhi) const {
  const double xs[4] = {m_pStart->m_corner[CORNER_X0], m_pStart->m_corner[CORNER_X1],
                        m_pEnd->m_corner[CORNER_X0], m_pEnd->m_corner[CORNER_X1]};
  const double ys[4] = {m_pStart->m_corner[CORNER_Y0], m_pStart->m_corner[CORNER_Y1],
                        m_pEnd->m_corner[CORNER_Y0], m_pEnd->m_corner[CORNER_Y1]};
  *xlo = *std::min_element(xs, xs + 4);
  *xhi = *std::max_element(xs, xs + 4);
  *ylo = *std::min_element(ys, ys + 4);
  *yhi = *std::max_element(ys, ys + 4);
}

double Wall::ProjectOnLine(const PlanLine& line, double xlo, double xhi, double ylo, double yhi,
                           double x, double y, double* fx, double* fy) const {
  double dist = line.Distance(x, y);
  double ix = x, iy = y;
  bool outside = !line.Intersect(line.Perpendicular(x, y), &ix, &iy);
  if (!outside) {
    outside = (xhi - xlo > kPlanEpsilon && (ix + kPlanEpsilon < xlo || ix - kPlanEpsilon > xhi)) ||
              (yhi - ylo > kPlanEpsilon && (iy + kPlanEpsilon < ylo || iy - kPlanEpsilon > yhi));
  }
  if (outside) {
    const double ds = m_pStart->DistanceTo(x, y);
    const double de = m_pEnd->DistanceTo(x, y);
    const WallPole* p = ds < de ? m_pStart : m_pEnd;
    dist = std::min(ds, de);
    ix = p->m_x;
    iy = p->m_y;
  }
  if (fx && fy) {
    *fx = ix;
    *fy = iy;
  }
  return dist;
}

double Wall::ProjectPoint(double x, double y, double* fx, double* fy, int mode) const {
  const PlanLine line = mode == 0 ? CentreLine() : SideLine(SideOfPoint(x, y));
  double xlo, xhi, ylo, yhi;
  ExtentOfCorners(&xlo, &xhi, &ylo, &yhi);
  return ProjectOnLine(line, xlo, xhi, ylo, yhi, x, y, fx, fy);
}

double Wall::DistanceToNearSide(double x, double y) const {
  const int side = SideOfPoint(x, y);
  const double x1 = CornerX(m_pStart, side), x2 = CornerX(m_pEnd, side);
  const double y1 = CornerY(m_pStart, side), y2 = CornerY(m_pEnd, side);
  return ProjectOnLine(SideLine(side), std::min(x1, x2), std::max(x1, x2), std::min(y1, y2),
                       std::max(y1, y2), x, y, nullptr, nullptr);
}

int Wall::SideOfPoint(double x, double y) const {
  const double d1 = SideLine(1).Distance(x, y);
  const double d0 = SideLine(0).Distance(x, y);
  return d0 > d1 ? 1 : 0;
}

bool Wall::IsNearPoint(double x, double y, double* fx, double* fy) const {
  const double limit = GetPlanSettings().nearWallPercent * m_thickness * 0.01;
  return ProjectPoint(x, y, fx, fy, 0) - kPlanEpsilon < limit;
}

double Wall::VisibleLength() const {
  double ends[2][2];
  for (int e = 0; e < 2; ++e) {
    const bool isEnd = e != 0;
    const WallPole* p = GetPole(isEnd);
    const WallPole* judged = m_pOrigin ? m_pOrigin->GetPole(isEnd) : p;
    const WallPole* ccw = judged->m_pCounterClockwise;
    const WallPole* cw = judged->m_pClockwise;
    ends[e][0] = p->m_x;
    ends[e][1] = p->m_y;
    if (judged->IsAlone() || !ccw || !cw) continue;
    double f0x, f0y, f1x, f1y;
    ProjectPoint(p->m_corner[CORNER_X0], p->m_corner[CORNER_Y0], &f0x, &f0y, 1);
    ProjectPoint(p->m_corner[CORNER_X1], p->m_corner[CORNER_Y1], &f1x, &f1y, 1);
    const Wall* cw0 = ccw->FirstJoinedWall();
    const Wall* cw1 = cw->FirstJoinedWall();
    const int aCcw = static_cast<int>(AngleTo(*cw0, ccw->IsEndPole() != isEnd));
    const int aCw = static_cast<int>(AngleTo(*cw1, cw->IsEndPole() != isEnd));
    const bool side1 = aCcw >= 360 - aCw;
    ends[e][0] = side1 ? f1x : f0x;
    ends[e][1] = side1 ? f1y : f0y;
  }
  return std::hypot(ends[1][0] - ends[0][0], ends[1][1] - ends[0][1]);
}

bool Wall::IsLongEnough() const {
  return GetPlanSettings().nearWallPercent * 0.01 * m_thickness <= VisibleLength();
}

bool Wall::HasConsistentCorners() const {
  auto rises = [](double a, double b) { return b - a >= kPlanEpsilon; };
  const bool px = rises(m_pStart->m_x, m_pEnd->m_x);
  const bool x0 = rises(CornerX(m_pStart, 0), CornerX(m_pEnd, 0));
  const bool x1 = rises(CornerX(m_pStart, 1), CornerX(m_pEnd, 1));
  if (px != x0 || px != x1) return false;
  const bool py = rises(m_pStart->m_y, m_pEnd->m_y);
  const bool y0 = rises(CornerY(m_pStart, 0), CornerY(m_pEnd, 0));
  const bool y1 = rises(CornerY(m_pStart, 1), CornerY(m_pEnd, 1));
  return py == y0 && py == y1;
}

bool Wall::Intersects(const Wall& other, double* x, double* y) const {
  const double n = GetPlanSettings().nearWallPercent;
  const double tol = (m_thickness + other.m_thickness) * n * 0.005;
  if (other.m_pStart->Coincides(*other.m_pEnd)) {
    *x = other.m_pStart->m_x;
    *y = other.m_pStart->m_y;
    return IsNearPoint(*x, *y, nullptr, nullptr);
  }
  const PlanLine la = CentreLine(), lb = other.CentreLine();
  double px, py;
  if (la.Intersect(lb, &px, &py)) {
    *x = px;
    *y = py;
    double axlo, axhi, aylo, ayhi, bxlo, bxhi, bylo, byhi;
    ExtentOfCorners(&axlo, &axhi, &aylo, &ayhi);
    other.ExtentOfCorners(&bxlo, &bxhi, &bylo, &byhi);
    return px >= axlo - tol && px <= axhi + tol && py >= aylo - tol && py <= ayhi + tol &&
           px >= bxlo - tol && px <= bxhi + tol && py >= bylo - tol && py <= byhi + tol;
  }
  const double h = (m_thickness + other.m_thickness) * 0.5 + kPlanEpsilon;
  bool oneLine;
  if (la.b == 0.0 && lb.b == 0.0) {
    oneLine = std::fabs(m_pEnd->m_x - other.m_pEnd->m_x) < h;
  } else {
    oneLine = std::fabs(la.c / la.b - lb.c / lb.b) < h;
  }
  if (!oneLine) return false;
  const double axlo = std::min(m_pStart->m_x, m_pEnd->m_x), axhi = std::max(m_pStart->m_x, m_pEnd->m_x);
  const double aylo = std::min(m_pStart->m_y, m_pEnd->m_y), ayhi = std::max(m_pStart->m_y, m_pEnd->m_y);
  const double bxlo = std::min(other.m_pStart->m_x, other.m_pEnd->m_x);
  const double bxhi = std::max(other.m_pStart->m_x, other.m_pEnd->m_x);
  const double bylo = std::min(other.m_pStart->m_y, other.m_pEnd->m_y);
  const double byhi = std::max(other.m_pStart->m_y, other.m_pEnd->m_y);
  if (axlo - h > bxhi || bxlo - h > axhi || aylo - h > byhi || bylo - h > ayhi) return false;
  const double bsx = other.m_pStart->m_x, bsy = other.m_pStart->m_y;
  const WallPole* p = m_pEnd->DistanceTo(bsx, bsy) <= m_pStart->DistanceTo(bsx, bsy) ? m_pEnd : m_pStart;
  *x = p->m_x;
  *y = p->m_y;
  return true;
}

bool Wall::OverlapsCollinear(const Wall& other) const {
  const bool shortA = Length() < kPlanEpsilon;
  const bool shortB = other.Length() < kPlanEpsilon;
  if (shortA && shortB) return true;
  if (shortA || shortB) return false;
  const PlanLine la = CentreLine(), lb = other.CentreLine();
  double alo, ahi, blo, bhi;
  if (std::fabs(la.b) < kPlanEpsilon) {
    if (std::fabs(lb.b) >= kPlanEpsilon) return false;
    if (std::fabs(m_pStart->m_x - other.m_pStart->m_x) >= kPlanEpsilon) return false;
    alo = std::min(m_pStart->m_y, m_pEnd->m_y);
    ahi = std::max(m_pStart->m_y, m_pEnd->m_y);
    blo = std::min(other.m_pStart->m_y, other.m_pEnd->m_y);
    bhi = std::max(other.m_pStart->m_y, other.m_pEnd->m_y);
  } else {
    if (std::fabs(lb.b) < kPlanEpsilon) return false;
    if (std::fabs(-la.a / la.b - -lb.a / lb.b) >= kPlanEpsilon) return false;
    if (std::fabs(-la.c / la.b - -lb.c / lb.b) >= kPlanEpsilon) return false;
    alo = std::min(m_pStart->m_x, m_pEnd->m_x);
    ahi = std::max(m_pStart->m_x, m_pEnd->m_x);
    blo = std::min(other.m_pStart->m_x, other.m_pEnd->m_x);
    bhi = std::max(other.m_pStart->m_x, other.m_pEnd->m_x);
  }
  // The two spans overlap by more than the tolerance, whichever of them lies lower.
  return ahi - blo > kPlanEpsilon && alo < bhi - kPlanEpsilon;
}

Wall* Wall::SplitAt(WallPole* crossing, double x, double y, CRect& rect, bool force) {
  double fx, fy;
  if (!IsNearPoint(x, y, &fx, &fy)) return nullptr;
  if (!force) {
    Wall piece(*this, Scratch);
    QuantizePoint(piece.m_pStart, x, y);
    piece.RecomputeEndCorners(true, false);
    if (!piece.IsLongEnough()) return nullptr;
    piece.CopyToScratch(*this);
    QuantizePoint(piece.m_pEnd, x, y);
    piece.RecomputeEndCorners(false, true);
    if (!piece.IsLongEnough()) return nullptr;
  }
  const double at = m_pStart->DistanceTo(x, y);
  const Wall* crossingWall = crossing ? crossing->FirstJoinedWall() : nullptr;
  const double half = crossingWall ? crossingWall->m_thickness * 0.5 : 0.0;
  for (int i = 0; i < m_openings.GetCount(); ++i) {
    if (m_openings.GetHole(i)->Overlaps(at - half, at + half, 0)) return nullptr;
  }

  const double oldLength = Length();
  const int32_t startHeight = m_pStart->m_height;
  const int32_t endHeight = m_pEnd->m_height;
  Wall* n = new Wall(fx, fy, 0, 0, m_thickness);

  // The openings beyond the split go to the new piece, measured from its start.
  int first = m_openings.GetCount();
  for (int i = 0; i < m_openings.GetCount(); ++i) {
    if (m_openings.GetHole(i)->m_posture.position[0] > at) {
      first = i;
      break;
    }
  }
  while (m_openings.GetCount() > first) {
    HoleInstance* hole = m_openings.GetHole(first);
    m_openings.Remove(hole);
    hole->m_posture.position[0] = static_cast<float>(hole->m_posture.position[0] - at);
    n->m_openings.HoleInstancesBag::Add(hole, true);
  }
  n->m_openings.Sort();

  // The new piece ends where the wall ended and takes over the group there.
  n->m_pEnd->CopyPlace(*m_pEnd);
  n->m_pEnd->m_sideFlags &= ~POLE_FREE_END;
  if ((m_pEnd->m_sideFlags & POLE_FREE_END) == POLE_FREE_END) n->m_pEnd->m_sideFlags |= POLE_FREE_END;
  if (!m_pEnd->IsAlone()) {
    WallPole* member = m_pEnd->GetJoinPole(1);
    m_pEnd->Detach();
    n->m_pEnd->MergeGroups(member);
    n->m_pEnd->UpdateGroup(rect);
  }

  m_pEnd->MergeGroups(n->m_pStart);
  m_pEnd->UpdateGroup(rect);
  QuantizePoint(m_pEnd, fx, fy);
  QuantizePoint(n->m_pStart, fx, fy);
  RecomputeEndCorners(false, true);
  n->RecomputeEndCorners(true, false);
  m_pEnd->m_sideFlags &= ~POLE_FREE_END;
  n->m_pStart->m_sideFlags &= ~POLE_FREE_END;

  const double newLength = Length();
  int32_t splitHeight = startHeight;
  if (oldLength > 0.0) {
    splitHeight = static_cast<int32_t>(startHeight + newLength * (endHeight - startHeight) / oldLength);
  }
  m_pEnd->m_height = splitHeight;
  n->m_pStart->m_height = splitHeight;

  n->m_flags = m_flags;
  for (int side = 0; side < 2; ++side) {
    DeleteCells(n->m_cells[side]);
    WallFaceCell* below = nullptr;
    for (int i = 0; i < GetCellCount(side); ++i) {
      const WallFaceCell* cell = GetCell(side, i);
      below = new WallFaceCell(cell->m_band, cell->m_top, below);
      n->m_cells[side].Add(below);
    }
  }

  for (int side = 0; side < 2; ++side) {
    Room* room = m_pRoom[side];
    if (!room) continue;
    const WallFace* face = room->FindWallFace(this, side);
    WallPole* pole = face && face->m_pPole == m_pEnd ? n->m_pEnd : n->m_pStart;
    room->AddWallFace(n, pole, side ? 1 : -1);
  }
  return n;
}

void Wall::OpeningsAt(double x, double y, CObArray& out) const {
  const double d = m_pStart->DistanceTo(x, y);
  for (int i = m_openings.GetCount() - 1; i >= 0; --i) {
    HoleInstance* hole = m_openings.GetHole(i);
    const std::pair<int, int> ext = hole->GetExtent(0);
    const double pos = hole->m_posture.position[0];
    const double lo = hole->m_posture.mirror ? pos - ext.second : pos + ext.first;
    const double hi = hole->m_posture.mirror ? pos - ext.first : pos + ext.second;
    if (d >= lo && d <= hi) out.Add(hole);
  }
}
