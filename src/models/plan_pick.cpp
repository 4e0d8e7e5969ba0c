// The plan editor's picking: the wall under the mouse, the walls a rubber band covers, and the
// deletion of the selected walls.
#include <cmath>

#include "models/frame.h"
#include "models/planhost.h"

CPoint ScaledPlanMapping::DeviceToLogical(CPoint device) const {
  return CPoint(RoundHalfAway((device.x - m_origin.x) / m_scale),
                RoundHalfAway((m_origin.y - device.y) / m_scale));
}

CPoint ScaledPlanMapping::LogicalToDevice(CPoint logical) const {
  return CPoint(RoundHalfAway(m_origin.x + logical.x * m_scale),
                RoundHalfAway(m_origin.y - logical.y * m_scale));
}

void OffsetRectByLogicalPoint(const PlanMapping& mapping, CPoint logical, CRect& rect,
                              bool subtract) {
  const CPoint at = mapping.LogicalToDevice(logical);
  const CPoint zero = mapping.LogicalToDevice(CPoint(0, 0));
  const int sign = subtract ? -1 : 1;
  rect.OffsetRect(sign * (at.x - zero.x), sign * (at.y - zero.y));
}

// A chain being drawn is finished first when the user agrees; false when he cancels.
bool Frame::FinishChainFirst(int flags, CRect& rect) {
  Wall* last = GetLastDrawnWall();
  if (!last) return true;
  const int answer = GetPlanHost().ShowMessage("그리던 벽을 정리할 까요?", kPlanCaption,
                                               MB_TASKMODAL | MB_ICONEXCLAMATION | MB_OKCANCEL);
  if (answer != IDOK) return false;
  const CPoint end(static_cast<LONG>(last->m_pEnd->m_x), static_cast<LONG>(last->m_pEnd->m_y));
  FinishDrawnWalls(end, flags, rect);
  return true;
}

Wall* Frame::PickWallAt(const PlanMapping& mapping, CPoint& point, std::unique_ptr<CPoint>& anchor,
                        std::unique_ptr<CRect>& selectRect, int flags, CRect& rect,
                        CObArray* openings) {
  if (!FinishChainFirst(flags, rect)) return nullptr;
  point = mapping.DeviceToLogical(point);
  const CPoint plan(point.x + m_originX, point.y + m_originY);
  if (!anchor) anchor = std::make_unique<CPoint>();
  *anchor = plan;
  double x = plan.x, y = plan.y;
  WallHit hit;
  FindNearestWall(&x, &y, &hit);
  if (hit.wall) {
    if (openings) hit.wall->OpeningsAt(plan.x, plan.y, *openings);
    return hit.wall;
  }
  const CPoint device = mapping.LogicalToDevice(point);
  if (!selectRect) selectRect = std::make_unique<CRect>();
  selectRect->SetRect(device.x, device.y, device.x, device.y);
  return nullptr;
}

int Frame::PickWallsInRect(const PlanMapping& mapping, CRect& band, int flags, CRect& rect) {
  if (!FinishChainFirst(flags, rect)) return 0;
  band = CRect(mapping.DeviceToLogical(band.TopLeft()), mapping.DeviceToLogical(band.BottomRight()));
  band.NormalizeRect();
  int count = 0;
  for (int i = GetWallCount() - 1; i >= 0; --i) {
    Wall* w = GetWall(i);
    const CRect bounds = w->GetBounds();
    CRect common;
    common.IntersectRect(&bounds, &band);
    if (common.Width() > bounds.Width() / 2 && common.Height() > bounds.Height() / 2) {
      UnitePlanRect(rect, bounds);
      ++count;
      GetPlanHost().SelectWall(w, -2);
    }
  }
  return count;
}

Wall* Frame::LastSelectedWall() const {
  for (int i = GetWallCount() - 1; i >= 0; --i)
    if (GetWall(i)->m_flags & WALL_SELECTED) return GetWall(i);
  return nullptr;
}

namespace {

// The other wall at a pole where exactly two walls meet, else null.
Wall* ThroughWall(const WallPole* pole) {
  return pole->GetDegree() == 2 ? pole->GetJoinWall(1) : nullptr;
}

// Compares addresses only: the wall may have been merged away and deleted.
bool HoldsAddress(const ObjectArray& walls, const Wall* wall) {
  for (INT_PTR i = walls.GetSize() - 1; i >= 0; --i)
    if (walls.GetAt(i) == wall) return true;
  return false;
}

void AddRooms(CPtrArray& rooms, const Wall* w) {
  for (Room* r : w->m_pRoom)
    if (r) rooms.Add(r);
}

}  // namespace

// Removes the unbranched run of walls that continues from a wall, the wall first.
void Frame::TrimRunFrom(Wall* wall, CPtrArray& rooms, CRect& rect) {
  while (wall && HoldsAddress(m_walls, wall)) {
    Wall* next = ThroughWall(wall->m_pStart);
    if (!next) next = ThroughWall(wall->m_pEnd);
    AddRooms(rooms, wall);
    RemoveWall(wall, rect, false);
    wall = next;
  }
}

void Frame::DeleteSelected(CRect& rect) {
  CPtrArray rooms;
  while (Wall* w = LastSelectedWall()) {
    Wall* before = ThroughWall(w->m_pStart);
    Wall* after = ThroughWall(w->m_pEnd);
    AddRooms(rooms, w);
    RemoveWallAt(m_walls, IndexOfWall(m_walls, w), rect, false);
    if (!GetPlanSettings().trimOpenWallEnds) continue;
    TrimRunFrom(before, rooms, rect);
    TrimRunFrom(after, rooms, rect);
  }
  for (INT_PTR i = rooms.GetSize() - 1; i >= 0; --i)
    if (IndexOfRoom(static_cast<Room*>(rooms.GetAt(i))) < 0) rooms.RemoveAt(i);
  RegenerateRooms(rooms);
}
