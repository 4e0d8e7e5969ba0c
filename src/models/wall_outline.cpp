// What the plan drawing of a wall is made of: its pieces between the openings and the style of
// its lines against the rooms beside it.
#include <algorithm>

#include "models/room.h"
#include "models/wall.h"

namespace {

void Copy(double to[2], double x, double y) {
  to[0] = x;
  to[1] = y;
}

// The corners where the wall's pieces meet one of its poles.
void PoleCorners(const WallPole& pole, double side0[2], double side1[2], double centre[2]) {
  pole.GetEffectiveCorner(0, &side0[0], &side0[1]);
  pole.GetEffectiveCorner(1, &side1[0], &side1[1]);
  Copy(centre, pole.m_x, pole.m_y);
}

void CornersAt(const Wall& w, double distance, double side0[2], double side1[2], double centre[2]) {
  w.OpeningCorner(distance, 0, &side0[0], &side0[1]);
  w.OpeningCorner(distance, 1, &side1[0], &side1[1]);
  w.OpeningCorner(distance, -1, &centre[0], &centre[1]);
}

}  // namespace

std::vector<WallSegmentOutline> Wall::BuildSegmentOutlines() const {
  const int n = m_openings.GetCount();
  std::vector<WallSegmentOutline> pieces(static_cast<size_t>(n) + 1);
  PoleCorners(*m_pStart, pieces[0].side0Start, pieces[0].side1Start, pieces[0].centreStart);
  for (int i = 0; i < n; ++i) {
    const HoleInstance* hole = m_openings.GetHole(i);
    const std::pair<int, int> ext = hole->GetExtent(0);
    const double at = hole->m_posture.position[0];
    WallSegmentOutline& before = pieces[static_cast<size_t>(i)];
    WallSegmentOutline& after = pieces[static_cast<size_t>(i) + 1];
    CornersAt(*this, at + ext.first, before.side0End, before.side1End, before.centreEnd);
    CornersAt(*this, at + ext.second, after.side0Start, after.side1Start, after.centreStart);
  }
  WallSegmentOutline& last = pieces.back();
  PoleCorners(*m_pEnd, last.side0End, last.side1End, last.centreEnd);
  return pieces;
}

PlanLineStyle Wall::GetPlanLineStyle() const {
  if (!m_pRoom[0] && !m_pRoom[1]) {
    if (m_pStart->m_height > m_pEnd->m_height) return m_pStart->m_height <= 0 ? PLAN_LINE_DOT : PLAN_LINE_SOLID;
    return m_pEnd->m_height == 0 ? PLAN_LINE_DOT : PLAN_LINE_SOLID;
  }
  int64_t floor = INT64_MIN, ceiling = INT64_MAX;
  for (const Room* r : m_pRoom) {
    if (!r) continue;
    if (r->GetFloorLevel() != LEVEL_UNSET) floor = std::max<int64_t>(floor, r->GetFloorLevel());
    ceiling = std::min<int64_t>(ceiling, r->GetCeilingLevel());
  }
  const int64_t top = std::max(m_pStart->m_height, m_pEnd->m_height);
  if (top >= ceiling) return PLAN_LINE_SOLID;
  if (top > floor) return PLAN_LINE_DASH;
  return PLAN_LINE_DOT;
}
