#include "models/frame.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "models/planhost.h"
#include "models/wallface.h"

IMPLEMENT_SERIAL(Frame, CObject, VERSIONABLE_SCHEMA | 5)

namespace {

bool HasLength(const Wall* w) { return !w->m_pStart->Coincides(*w->m_pEnd); }

bool RectsMeet(const CRect& a, const CRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void DeleteWalls(ObjectArray& walls) {
  while (walls.GetSize() > 0) {
    CObject* w = walls.GetAt(walls.GetSize() - 1);
    walls.RemoveAt(walls.GetSize() - 1);
    delete w;
  }
}

// Direction from one pole to another in whole degrees, as the room trace counts turns.
int TraceAngle(const WallPole* from, const WallPole* to) {
  return static_cast<int>(std::atan2(to->m_y - from->m_y, to->m_x - from->m_x) * 57.29577791868205 +
                          0.5);
}

}  // namespace

Frame::~Frame() {
  delete m_pDummyRoom;
  m_pDummyRoom = nullptr;
  while (m_rooms.GetSize() > 0) {
    CObject* r = m_rooms.GetAt(m_rooms.GetSize() - 1);
    m_rooms.RemoveAt(m_rooms.GetSize() - 1);
    delete r;
  }
  DeleteWalls(m_walls);
  DeleteWalls(m_chain);
}

Wall* Frame::GetLastDrawnWall() const {
  return GetChainCount() > 0 ? GetChainWall(GetChainCount() - 1) : nullptr;
}

// ---- Snapping ----

int Frame::CollectCrossingWalls(const Wall& s, CObArray& list, bool nearTest) const {
  const Wall* origin = s.m_pOrigin;
  const CRect bounds = s.GetBounds();
  const ObjectArray* arrays[2] = {&m_walls, &m_chain};
  for (const ObjectArray* array : arrays) {
    for (INT_PTR i = array->GetSize() - 1; i >= 0; --i) {
      Wall* w = static_cast<Wall*>(array->GetAt(i));
      if (w == origin) continue;
      if (s.m_pStart->FindJoin(w) >= 0 || s.m_pEnd->FindJoin(w) >= 0) {
        if (s.OverlapsCollinear(*w)) return 0;
        continue;
      }
      if (!RectsMeet(w->GetBounds(), bounds)) continue;
      double x, y;
      if (w->Intersects(s, &x, &y)) {
        list.Add(w);
      } else if (nearTest) {
        for (const WallPole* p : {s.m_pStart, s.m_pEnd}) {
          if (w->IsNearPoint(p->m_corner[CORNER_X0], p->m_corner[CORNER_Y0], nullptr, nullptr) ||
              w->IsNearPoint(p->m_corner[CORNER_X1], p->m_corner[CORNER_Y1], nullptr, nullptr)) {
            list.Add(w);
            break;
          }
        }
      }
    }
  }
  return 1;
}

int Frame::SnapWallEnd(WallPole* aimed, WallPole* moving, double* x, double* y, WallHit* hit,
                       bool freeAngle) {
  Wall* w = aimed->FirstJoinedWall();
  const bool atEnd = aimed->IsEndPole();
  const WallPole* fixed = w->GetPole(!atEnd);
  *x = moving->m_x;
  *y = moving->m_y;
  *hit = WallHit();
  if (!freeAngle) {
    if (std::fabs(*y - fixed->m_y) <= std::fabs(*x - fixed->m_x)) {
      *y = fixed->m_y;
    } else {
      *x = fixed->m_x;
    }
  }
  Wall s(*w, Wall::Scratch);
  WallPole* sp = s.GetPole(atEnd);
  QuantizePoint(sp, *x, *y);
  s.RecomputeEndCorners(!atEnd, atEnd);
  CObArray list;
  if (!CollectCrossingWalls(s, list, true)) return 0;

  const PlanLine line = s.CentreLine();
  double best = kPlanInfinity;
  Wall* found = nullptr;
  for (INT_PTR i = list.GetSize() - 1; i >= 0; --i) {
    Wall* c = static_cast<Wall*>(list.GetAt(i));
    double ix, iy;
    if (!c->CentreLine().Intersect(line, &ix, &iy)) continue;
    QuantizePoint(sp, ix, iy);
    const double length = s.Length();
    if (length < best + kPlanEpsilon) {
      best = length;
      found = c;
    }
  }
  if (found) {
    s.CopyToScratch(*w);
    QuantizePoint(sp, *x, *y);
    double ix, iy;
    if (found->CentreLine().Intersect(s.CentreLine(), &ix, &iy)) {
      *x = ix;
      *y = iy;
    }
    hit->wall = found;
    for (WallPole* p : {found->m_pStart, found->m_pEnd}) {
      if (p->IsNearPoint(*x, *y)) {
        *x = p->m_x;
        *y = p->m_y;
        hit->pole = p;
        break;
      }
    }
  }
  return 1;
}

void Frame::FindNearestWall(double* x, double* y, WallHit* hit) const {
  *hit = WallHit();
  double best = kPlanInfinity, bx = 0.0, by = 0.0;
  Wall* found = nullptr;
  for (int i = GetWallCount() - 1; i >= 0; --i) {
    Wall* w = GetWall(i);
    double fx, fy;
    if (!w->IsNearPoint(*x, *y, &fx, &fy)) continue;
    const double d = std::hypot(*x - fx, *y - fy);
    if (d < best) {
      best = d;
      found = w;
      bx = fx;
      by = fy;
    }
  }
  if (!found) return;
  hit->wall = found;
  for (WallPole* p : {found->m_pStart, found->m_pEnd}) {
    if (p->IsNearPoint(bx, by)) {
      *x = p->m_x;
      *y = p->m_y;
      hit->pole = p;
      return;
    }
  }
  *x = bx;
  *y = by;
}

// ---- The chain of walls being drawn ----

int Frame::TrackDrawnWall(CPoint& point, int flags, CRect& rect) {
  Wall* last = GetLastDrawnWall();
  if (!last) return 0;
  UnitePlanRect(rect, last->GetBounds());
  Wall s(*last, Wall::Scratch);
  QuantizePoint(s.m_pEnd, point.x, point.y);
  double x, y;
  WallHit hit;
  if (!SnapWallEnd(last->m_pEnd, s.m_pEnd, &x, &y, &hit, (flags & PLAN_FREE_ANGLE) != 0)) return 0;
  QuantizePoint(s.m_pEnd, x, y);
  s.RecomputeEndCorners(false, true);
  if (last->m_pStart->GetDegree() < 2) {
    UnitePlanRect(rect, last->GetBounds());
    last->m_pEnd->m_x = s.m_pEnd->m_x;
    last->m_pEnd->m_y = s.m_pEnd->m_y;
    last->RecomputeEndCorners(true, true);
  } else if (last->m_pStart->CheckJoinAngles(&s)) {
    QuantizePoint(last->m_pEnd, x, y);
    last->RecomputeEndCorners(false, true);
    last->m_pStart->UpdateGroup(rect);
  }
  point.x = static_cast<LONG>(last->m_pEnd->m_x);
  point.y = static_cast<LONG>(last->m_pEnd->m_y);
  UnitePlanRect(rect, last->GetBounds());
  return 1;
}

void Frame::StraightenChainEnd(Wall* wall, double x, double y, CRect& rect) {
  WallPole* f = wall->m_pStart;
  const double dx = x - f->m_x, dy = y - f->m_y;
  if (std::fabs(dx) < kPlanEpsilon || std::fabs(dy) < kPlanEpsilon || f->GetDegree() != 2) return;
  const double oldX = f->m_x, oldY = f->m_y;
  if (std::fabs(dx) >= std::fabs(dy)) {
    QuantizePoint(f, f->m_x, y);
  } else {
    QuantizePoint(f, x, f->m_y);
  }
  WallPole* g = f->GetJoinPole(1);
  double ix, iy;
  if (!wall->CentreLine().Intersect(g->FirstJoinedWall()->CentreLine(), &ix, &iy)) {
    // The straight wall would run parallel to the other wall of the corner: there is no corner
    // to move the two poles to, so the wall stays as it was drawn.
    f->m_x = oldX;
    f->m_y = oldY;
    return;
  }
  QuantizePoint(f, ix, iy);
  QuantizePoint(g, ix, iy);
  wall->RecomputeEndCorners(false, true);
  f->UpdateGroup(rect);
  // The other wall of the corner turned as well: its far corners follow.
  if (WallPole* farPole = g->OtherEnd()) farPole->UpdateGroup(rect);
}

int Frame::AddDrawnWall(CPoint click, int flags, int32_t height, uint32_t thickness, CRect& rect) {
  if (thickness < 90) return 0;
  const bool freeAngle = (flags & PLAN_FREE_ANGLE) != 0;
  double sx = click.x, sy = click.y;
  Wall* last = GetLastDrawnWall();
  bool continues = false;
  if (last) {
    Wall* prev = nullptr;
    if (GetChainCount() >= 2) {
      prev = GetChainWall(GetChainCount() - 2);
    } else if (last->m_pStart->GetDegree() >= 2) {
      prev = last->m_pStart->GetJoinWall(1);
    }
    if (prev && MergeWallsAtPole(last->m_pStart, prev->m_pEnd, rect, true)) {
      RemoveWall(prev, rect, false);
      last = GetLastDrawnWall();
    }
  }
  if (last) {
    if (HasLength(last)) {
      if (static_cast<int64_t>(last->m_thickness) > static_cast<int64_t>(last->Length())) {
        RemoveWall(last, rect, true);
        return 0;
      }
      double x, y;
      WallHit hit;
      SnapWallEnd(last->m_pEnd, last->m_pEnd, &x, &y, &hit, freeAngle);
      if (hit.wall) {
        // The chain closes on an existing wall.
        Wall s(*last, Wall::Scratch);
        QuantizePoint(s.m_pEnd, x, y);
        s.RecomputeEndCorners(false, true);
        if (last->m_pStart->GetDegree() >= 2 && !last->m_pStart->CheckJoinAngles(&s)) return 0;
        if (hit.pole) {
          QuantizePoint(last->m_pEnd, hit.pole->m_x, hit.pole->m_y);
          last->RecomputeEndCorners(false, true);
          if (!freeAngle) StraightenChainEnd(last, click.x, click.y, rect);
        } else {
          Wall* piece = SplitWall(hit.wall, last->m_pEnd, x, y, rect);
          if (!piece) return 0;
          InsertWallAfter(piece, hit.wall);
        }
        CRect finished;
        FinishDrawnWalls(click, flags, finished);
        UnitePlanRect(rect, finished);
        return 1;
      }
      sx = last->m_pEnd->m_x;
      sy = last->m_pEnd->m_y;
      continues = true;
    } else {
      if (SamePlanPoint(click.x, click.y, last->m_pEnd->m_x, last->m_pEnd->m_y)) return 0;
      CRect finished;
      FinishDrawnWalls(CPoint(static_cast<LONG>(last->m_pEnd->m_x), static_cast<LONG>(last->m_pEnd->m_y)),
                       flags, finished);
      UnitePlanRect(rect, finished);
      last = nullptr;
    }
  }

  Wall* n = new Wall(sx, sy, height, height, thickness);
  if (continues) {
    if (n->m_pStart->Coincides(*last->m_pEnd)) {
      n->m_pStart->CopyPlace(*last->m_pEnd);
      n->m_pStart->m_height = height;
      n->m_pStart->MergeGroups(last->m_pEnd);
    } else {
      GetPlanHost().ShowMessage("뜨아 이상하군 왜 전 벽의 끝점 위치하고 새 벽 시작 위치가 틀릴까",
                                nullptr, MB_OK);
    }
    QuantizePoint(n->m_pEnd, click.x, click.y);
  } else {
    double x = sx, y = sy;
    WallHit hit;
    FindNearestWall(&x, &y, &hit);
    if (hit.pole) {
      n->m_pStart->CopyPlace(*hit.pole);
      n->m_pEnd->CopyPlace(*hit.pole);
      n->m_pStart->MergeGroups(hit.pole);
    } else if (hit.wall) {
      Wall* piece = SplitWall(hit.wall, n->m_pStart, x, y, rect);
      if (!piece) {
        delete n;
        return 0;
      }
      InsertWallAfter(piece, hit.wall);
      QuantizePoint(n->m_pStart, piece->m_pStart->m_x, piece->m_pStart->m_y);
      QuantizePoint(n->m_pEnd, piece->m_pStart->m_x, piece->m_pStart->m_y);
      n->m_pStart->MergeGroups(piece->m_pStart);
    } else {
      QuantizePoint(n->m_pEnd, click.x, click.y);
    }
    n->m_pStart->m_height = height;
    n->m_pEnd->m_height = height;
  }

  if (HasLength(n)) {
    Wall s(*n, Wall::Scratch);
    QuantizePoint(s.m_pEnd, click.x, click.y);
    s.RecomputeEndCorners(false, true);
    if (n->m_pStart->GetDegree() >= 2 && !n->m_pStart->CheckJoinAngles(&s)) {
      // Too sharp a join: the new wall starts afresh at the click.
      QuantizePoint(n->m_pStart, click.x, click.y);
      QuantizePoint(n->m_pEnd, click.x, click.y);
      n->m_pStart->Detach();
      double x, y;
      WallHit hit;
      SnapWallEnd(n->m_pStart, n->m_pStart, &x, &y, &hit, freeAngle);
      if (hit.pole) {
        QuantizePoint(n->m_pStart, hit.pole->m_x, hit.pole->m_y);
      } else if (hit.wall) {
        if (Wall* piece = SplitWall(hit.wall, n->m_pStart, x, y, rect)) {
          InsertWallAfter(piece, hit.wall);
          QuantizePoint(n->m_pStart, piece->m_pStart->m_x, piece->m_pStart->m_y);
          n->m_pStart->MergeGroups(piece->m_pStart);
        }
      }
    }
  }

  QuantizePoint(n->m_pEnd, click.x, click.y);
  n->RecomputeEndCorners(false, true);
  m_chain.Add(n);
  n->m_pStart->UpdateGroup(rect);
  UnitePlanRect(rect, n->GetBounds());
  return 1;
}

int Frame::FinishDrawnWalls(CPoint point, int flags, CRect& rect) {
  const bool freeAngle = (flags & PLAN_FREE_ANGLE) != 0;
  rect = GetChainBounds();
  if (Wall* last = GetLastDrawnWall()) {
    bool hitAny = false;
    if (last->m_pStart->GetDegree() == 2) {
      WallPole* other = last->m_pStart->GetJoinPole(1);
      Wall* absorbed = other->FirstJoinedWall();
      if (MergeWallsAtPole(last->m_pStart, other, rect, true)) {
        RemoveWall(absorbed, rect, false);
        last = GetLastDrawnWall();
      }
    }
    const int index = last ? IndexOfWall(m_chain, last) : -1;
    Wall* before = index > 0 ? GetChainWall(index - 1) : nullptr;
    if (last && !HasLength(last)) {
      RemoveWallAt(m_chain, index, rect, true);
      last = before;
    }
    if (last) {
      double x, y;
      WallHit hit;
      SnapWallEnd(last->m_pEnd, last->m_pEnd, &x, &y, &hit, freeAngle);
      hitAny = hit.wall != nullptr;
      if (hit.pole) {
        QuantizePoint(last->m_pEnd, x, y);
        last->RecomputeEndCorners(false, true);
        if (!freeAngle) StraightenChainEnd(last, x, y, rect);
        Wall* hitWall = hit.pole->FirstJoinedWall();
        last->m_pEnd->MergeGroups(hit.pole);
        if (MergeWallsAtPole(last->m_pEnd, hit.pole, rect, true)) {
          RemoveWall(hitWall, rect, false);
          if (!HoldsWall(last)) last = nullptr;  // taken in by a further merge
        }
      } else if (hit.wall) {
        Wall* piece = SplitWall(hit.wall, last->m_pEnd, x, y, rect);
        if (!piece) return 0;
        InsertWallAfter(piece, hit.wall);
        QuantizePoint(last->m_pEnd, piece->m_pStart->m_x, piece->m_pStart->m_y);
        piece->m_pStart->MergeGroups(last->m_pEnd);
      }
    }
    if (last) {
      last->m_pEnd->UpdateGroup(rect);
      WallPole* joint = !last->m_pEnd->IsAlone()     ? last->m_pEnd
                        : !last->m_pStart->IsAlone() ? last->m_pStart
                                                     : nullptr;
      if (joint) UpdateRoomsAtJoint(joint);
      if (!hitAny) RemoveRoomAtPoint(point);
    }
    if (GetPlanSettings().trimOpenWallEnds) TrimOpenChainEnds(rect);
  }
  for (int i = 0; i < GetChainCount(); ++i) m_walls.Add(GetChainWall(i));
  m_chain.RemoveAll();
  GetPlanHost().SetModifiedFlag(TRUE);
  return 1;
}

// Rooms that a new joint cuts in two are removed; the rooms across their walls are exported again.
void Frame::UpdateRoomsAtJoint(WallPole* joint) {
  const bool jointStarts = !joint->IsEndPole();
  Room* regenerated = nullptr;
  for (int side = 0; side < 2; ++side) {
    WallPole* n = joint->GetNeighbour(side);
    if (!n) continue;
    Wall* w = n->FirstJoinedWall();
    const bool flip = side == 0 ? jointStarts != n->IsEndPole() : jointStarts == n->IsEndPole();
    const int cut = flip ? 1 : 0;
    if (Room* room = w->m_pRoom[cut]) RemoveRoom(room, true);
    Room* across = w->m_pRoom[1 - cut];
    if (across && across != regenerated) {
      CollectRoomMaterials(across->m_pOwner);
      across->ExportTo3ds(across, nullptr, nullptr, 1, 1, 1, nullptr, 0);
      regenerated = across;
    }
  }
}

void Frame::RemoveRoomAtPoint(CPoint point) {
  Wall* w = FindNearestObject(point);
  if (!w) return;
  const int side = w->SideOfPoint(point.x, point.y) > 0 ? 1 : 0;
  if (Room* room = w->m_pRoom[side]) RemoveRoom(room, true);
}

void Frame::TrimOpenChainEnds(CRect& rect) {
  while (GetChainCount() > 0 && GetLastDrawnWall()->m_pEnd->IsAlone()) {
    RemoveWallAt(m_chain, GetChainCount() - 1, rect, true);
  }
  while (GetChainCount() > 0 && GetChainWall(0)->m_pStart->IsAlone()) {
    RemoveWallAt(m_chain, 0, rect, true);
  }
}

int Frame::RemoveLastDrawnWall(CRect& rect) {
  const int count = GetChainCount();
  if (count == 0) return 0;
  if (count == 1) return ClearDrawnWalls(rect);
  Wall* last = GetChainWall(count - 1);
  Wall* before = GetChainWall(count - 2);
  UnitePlanRect(rect, last->GetBounds());
  RemoveWallAt(m_chain, count - 1, rect, true);
  if (!HoldsWall(before)) return 1;  // merged away with the removed wall
  WallPole* through = before->m_pEnd->GetDegree() == 3 ? before->m_pEnd->GetJoinPole(1) : nullptr;
  before->m_pEnd->Detach();
  if (through) {
    through->UpdateGroup(rect);
    if (through->GetDegree() >= 2) {
      WallPole* other = through->GetJoinPole(1);
      Wall* absorbed = other->FirstJoinedWall();
      if (MergeWallsAtPole(through, other, rect, true)) RemoveWall(absorbed, rect, false);
    }
  }
  before->m_pEnd->UpdateGroup(rect);
  before->RecomputeEndCorners(false, true);
  return 1;
}

int Frame::ClearDrawnWalls(CRect& rect) {
  rect = GetChainBounds();
  while (GetChainCount() > 0) RemoveWallAt(m_chain, GetChainCount() - 1, rect, true);
  return 1;
}

// ---- Upkeep of the wall arrays ----

int Frame::MergeWallsAtPole(WallPole* p, WallPole* q, CRect& rect, bool roomCheck) {
  Wall* a = p ? p->FirstJoinedWall() : nullptr;
  Wall* b = q ? q->FirstJoinedWall() : nullptr;
  if (!a || !b || a == b) return 0;
  if (a->m_thickness != b->m_thickness) return 0;
  if (std::min(a->m_pStart->m_height, a->m_pEnd->m_height) !=
      std::min(b->m_pStart->m_height, b->m_pEnd->m_height)) {
    return 0;
  }
  auto linked = [](const WallPole* pole, const Wall* other) {
    return pole->GetDegree() == 2 && pole->GetJoinWall(1) == other;
  };
  WallPole* aShared = linked(a->m_pStart, b) ? a->m_pStart : linked(a->m_pEnd, b) ? a->m_pEnd : nullptr;
  WallPole* bFar = linked(b->m_pStart, a) ? b->m_pEnd : linked(b->m_pEnd, a) ? b->m_pStart : nullptr;
  if (!aShared || !bFar) return 0;
  WallPole* aFar = aShared == a->m_pStart ? a->m_pEnd : a->m_pStart;
  WallPole* bShared = bFar == b->m_pStart ? b->m_pEnd : b->m_pStart;
  const bool sameEnd = aShared->IsEndPole() == bShared->IsEndPole();
  if (roomCheck) {
    const bool match = sameEnd ? a->m_pRoom[1] == b->m_pRoom[0] && a->m_pRoom[0] == b->m_pRoom[1]
                               : a->m_pRoom[0] == b->m_pRoom[0] && a->m_pRoom[1] == b->m_pRoom[1];
    if (!match) return 0;
  }
  // Seen from the shared point a straight continuation is 180 degrees: B's direction is taken
  // reversed when the two walls run the same way (an end meets a start).
  const double angle = a->AngleTo(*b, !sameEnd);
  if (std::fabs(180.0 - angle) > GetPlanSettings().mergeAngleTolerance) return 0;

  {
    Wall sa(*a, Wall::Scratch);
    WallPole* end = sa.GetPole(aShared == a->m_pEnd);
    end->m_x = bFar->m_x;
    end->m_y = bFar->m_y;
    sa.RecomputeEndCorners(true, true);
    if (!bFar->CheckJoinAngles(&sa)) return 0;
    Wall sb(*b, Wall::Scratch);
    end = sb.GetPole(bShared == b->m_pEnd);
    end->m_x = aFar->m_x;
    end->m_y = aFar->m_y;
    sb.RecomputeEndCorners(true, true);
    if (!aFar->CheckJoinAngles(&sb)) return 0;
  }

  // Where every opening of both walls stands, to place it again on the merged wall.
  struct Placed {
    HoleInstance* hole;
    double x, y;
    bool turn;
  };
  std::vector<Placed> placed;
  for (Wall* w : {a, b}) {
    const double len = w->Length();
    const double ux = len > 0.0 ? (w->m_pEnd->m_x - w->m_pStart->m_x) / len : 0.0;
    const double uy = len > 0.0 ? (w->m_pEnd->m_y - w->m_pStart->m_y) / len : 0.0;
    for (int i = 0; i < w->m_openings.GetCount(); ++i) {
      HoleInstance* hole = w->m_openings.GetHole(i);
      const double s = hole->m_posture.position[0];
      placed.push_back({hole, w->m_pStart->m_x + ux * s, w->m_pStart->m_y + uy * s, w == b && sameEnd});
    }
  }

  aShared->Detach();
  aShared->CopyPlace(*bFar);
  aShared->MergeGroups(bFar);

  const double len = a->Length();
  const double ux = len > 0.0 ? (a->m_pEnd->m_x - a->m_pStart->m_x) / len : 0.0;
  const double uy = len > 0.0 ? (a->m_pEnd->m_y - a->m_pStart->m_y) / len : 0.0;
  for (const Placed& o : placed) {
    HoleInstance* hole = o.hole;
    hole->m_posture.position[0] =
        static_cast<float>((o.x - a->m_pStart->m_x) * ux + (o.y - a->m_pStart->m_y) * uy);
    if (o.turn) {
      float r = hole->m_posture.rotation[2] + 180.0f;
      if (r >= 360.0f) r -= 360.0f;
      hole->m_posture.rotation[2] = r;
    }
    if (b->m_openings.Remove(hole)) a->m_openings.HoleInstancesBag::Add(hole, true);
  }
  a->m_openings.Sort();

  a->m_pStart->UpdateGroup(rect);
  a->m_pEnd->UpdateGroup(rect);
  return 1;
}

Wall* Frame::SplitWall(Wall* wall, WallPole* pole, double x, double y, CRect& rect, bool force) {
  Wall* piece = wall->SplitAt(pole, x, y, rect, force);
  if (piece && (wall->m_flags & WALL_SELECTED)) GetPlanHost().SelectWall(piece, -2);
  return piece;
}

void Frame::InsertWallAfter(Wall* wall, Wall* existing) {
  int i = IndexOfWall(m_walls, existing);
  if (i >= 0) {
    m_walls.InsertAt(i + 1, wall);
    return;
  }
  i = IndexOfWall(m_chain, existing);
  if (i >= 0) {
    m_chain.InsertAt(i + 1, wall);
    return;
  }
  m_walls.Add(wall);
}

void Frame::RemoveWall(Wall* wall, CRect& rect, bool roomFlag) {
  int i = IndexOfWall(m_walls, wall);
  if (i >= 0) {
    RemoveWallAt(m_walls, i, rect, roomFlag);
    return;
  }
  i = IndexOfWall(m_chain, wall);
  if (i >= 0) RemoveWallAt(m_chain, i, rect, roomFlag);
}

void Frame::RemoveWallAt(ObjectArray& array, int index, CRect& rect, bool roomFlag) {
  if (index < 0 || index >= array.GetSize()) return;
  Wall* w = static_cast<Wall*>(array.GetAt(index));
  WallPole* links[2][2] = {{nullptr, nullptr}, {nullptr, nullptr}};
  for (int e = 0; e < 2; ++e) {
    const WallPole* p = w->GetPole(e != 0);
    if (p->GetDegree() == 3) {
      links[e][0] = p->m_pCounterClockwise;
      links[e][1] = p->m_pClockwise;
    }
  }
  Room* rooms[2] = {roomFlag ? w->m_pRoom[0] : nullptr, roomFlag ? w->m_pRoom[1] : nullptr};
  UnitePlanRect(rect, w->GetBounds());
  array.RemoveAt(index);
  delete w;
  for (auto& link : links) {
    // A merge at the first junction may have removed a wall that stood at the second.
    if (!link[0] || !link[1] || !OwnsPole(link[0]) || !OwnsPole(link[1])) continue;
    Wall* second = link[1]->FirstJoinedWall();
    if (MergeWallsAtPole(link[0], link[1], rect, false)) RemoveWall(second, rect, false);
  }
  if (rooms[0]) RemoveRoom(rooms[0], true);
  if (rooms[1] && rooms[1] != rooms[0]) RemoveRoom(rooms[1], true);
}

bool Frame::OwnsPole(const WallPole* pole) const {
  for (const ObjectArray* array : {&m_walls, &m_chain}) {
    for (INT_PTR i = array->GetSize() - 1; i >= 0; --i) {
      const Wall* w = static_cast<const Wall*>(array->GetAt(i));
      if (w->m_pStart == pole || w->m_pEnd == pole) return true;
    }
  }
  return false;
}

bool Frame::HoldsWall(const Wall* wall) const {
  for (const ObjectArray* array : {&m_walls, &m_chain}) {
    for (INT_PTR i = array->GetSize() - 1; i >= 0; --i) {
      if (array->GetAt(i) == wall) return true;
    }
  }
  return false;
}

int Frame::IndexOfWall(const ObjectArray& array, const Wall* wall) {
  if (!wall || wall->IsScratch()) return -1;
  for (INT_PTR i = array.GetSize() - 1; i >= 0; --i) {
    if (array.GetAt(i) == wall) return static_cast<int>(i);
  }
  return -1;
}

// ---- Rooms ----

int Frame::TraceLimit() const { return 2 * (GetWallCount() + GetChainCount()) + 2; }

Room* Frame::CreateRoom(Wall* wall, int side, int32_t ceiling, int32_t floor, bool enclosing) {
  PlanHost& host = GetPlanHost();
  CString name;
  if (!enclosing) {
    name = host.GetControlText(IDC_PLAN_ROOM_NAME);
    if (name.IsEmpty()) {
      host.ShowMessage("방의 이름을 입력하십시요.", kPlanCaption, kPlanRefusalStyle);
      return nullptr;
    }
    if (name.Find("비트") < 0 && name.Find("기본방") < 0 && FindRoomByName(name)) {
      host.ShowMessage("이미 존재하는 방의 이름입니다.", kPlanCaption, kPlanRefusalStyle);
      return nullptr;
    }
  }
  if (!wall || IsDrawing() || GetWallCount() < 3 || ceiling < floor) return nullptr;

  int s = side ? 1 : 0;
  WallPole* start = side ? wall->m_pStart : wall->m_pEnd;
  if (start->IsAlone()) {
    s = 1 - s;
    start = start == wall->m_pStart ? wall->m_pEnd : wall->m_pStart;
    if (start->IsAlone()) return nullptr;
  }

  Room* room = new Room(ceiling, floor);
  room->m_pPlan = this;
  struct Step {
    WallPole* pole;
    int side;
  };
  std::vector<Step> steps;
  WallPole* c = start;
  Wall* current = wall;
  int32_t highest = std::max(wall->m_pStart->m_height, wall->m_pEnd->m_height);
  int turning = 0;
  int refusal = -1;
  // A walk over the pole links that does not come back to its start within twice the number
  // of walls cannot be a loop of this plan.
  const int limit = TraceLimit();
  for (;;) {
    if (static_cast<int>(steps.size()) >= limit || current->m_pRoom[s]) {
      refusal = 0;
      break;
    }
    steps.push_back({c, s});
    WallPole* farPole = c->OtherEnd();
    WallPole* n = farPole->GetNeighbour(s);
    if (!n) n = farPole;
    const int a1 = TraceAngle(c, n);
    const int a2 = TraceAngle(n, n->OtherEnd());
    int turn = ((a2 + 360) % 360) - ((a1 + 360) % 360);
    if (turn > 180) turn -= 360;
    if (turn < -180) turn += 360;
    turning += turn;
    if (n == farPole) {
      if (n->IsAlone() && n->FirstJoinedWall()->m_pRoom[1 - s] == room && current == wall) {
        refusal = 3;
        break;
      }
      s = 1 - s;
      if (turn < 0) turning += 360;
    } else if (c->IsEndPole() != n->IsEndPole()) {
      s = 1 - s;
    }
    current = n->FirstJoinedWall();
    highest = std::max(highest, n->m_height);
    c = n;
    if (c == start) break;
  }
  if (refusal < 0 && turning > 0) {
    room->m_interior = 0;
    if (host.GetCreationState() != 2 && !enclosing) refusal = 4;
  }
  if (refusal < 0 && !enclosing && highest < ceiling) refusal = 5;
  int32_t faceTop = std::numeric_limits<int32_t>::min();
  for (const Step& step : steps) {
    const Wall* w = step.pole->FirstJoinedWall();
    faceTop = std::max({faceTop, w->m_pStart->m_height, w->m_pEnd->m_height});
  }
  for (int i = static_cast<int>(steps.size()) - 1; refusal < 0 && i >= 0; --i) {
    const Wall* w = steps[i].pole->FirstJoinedWall();
    const Room* other = w->m_pRoom[1 - steps[i].side];
    int32_t bottom = floor, top = ceiling;
    if (other) {
      bottom = std::max(bottom, other->GetFloorLevel());
      top = std::min(top, other->GetCeilingLevel());
    }
    const float band = static_cast<float>(top - bottom);
    for (int j = 0; j < w->m_openings.GetCount(); ++j) {
      const Posture& p = w->m_openings.GetHole(j)->m_posture;
      if (p.position[2] + p.size[2] > band) {
        refusal = 6;
        break;
      }
    }
  }
  if (refusal >= 0) {
    static const char* const messages[] = {
        nullptr,
        nullptr,
        nullptr,
        "하나의 벽으로는 방을 구성할수 없습니다.",
        "지원되지 않는 Exterior 영역입니다.",
        "방을 구성하는 모든 벽이 천정보다 낮습니다.",
        "방에 포함된 라이브러러의 크기가 방의  크기보다 큽니다.",
    };
    if (messages[refusal]) host.ShowMessage(messages[refusal], kPlanCaption, kPlanRefusalStyle);
    delete room;
    return nullptr;
  }

  const int32_t height = ceiling > floor ? ceiling : faceTop;
  for (const Step& step : steps) {
    Wall* w = step.pole->FirstJoinedWall();
    ObjectArray& cells = w->m_cells[step.side];
    for (INT_PTR i = cells.GetSize() - 1; i >= 0; --i) delete cells.GetAt(i);
    cells.RemoveAll();
    cells.Add(new WallFaceCell(BAND_PLAIN, height, nullptr));
    room->AddWallFace(w, step.pole, step.side ? 1 : -1);
  }
  if (!enclosing) {
    m_rooms.Add(room);
    room->ExportTo3ds(nullptr, name, nullptr, 1, 1, 1, nullptr, 0);
    host.SetModifiedFlag(TRUE);
  }
  return room;
}

Room* Frame::PlaceRoomAt(CPoint point, int32_t ceiling, int32_t floor, bool noRegen) {
  if (IsDrawing() || GetWallCount() < 3) return nullptr;
  Wall* w = FindNearestObject(point);
  if (!w) return nullptr;
  const int side = w->SideOfPoint(point.x, point.y) > 0 ? 1 : 0;
  Room* room = w->m_pRoom[side];
  if (!room) return CreateRoom(w, side, ceiling, floor, false);
  PlanHost& host = GetPlanHost();
  CString text;
  text.Format("%dmm", static_cast<int>(room->GetCeilingLevel() - room->GetFloorLevel()));
  host.SetControlText(IDC_PLAN_ROOM_HEIGHT, text);
  text.Format("%dmm", static_cast<int>(room->GetFloorLevel()));
  host.SetControlText(IDC_PLAN_FLOOR_LEVEL, text);
  host.SetControlText(IDC_PLAN_ROOM_NAME, room->GetDisplayName());
  if (!noRegen) {
    CollectRoomMaterials(room->m_pOwner);
    room->ExportTo3ds(room, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  }
  return room;
}

int Frame::RemoveRoom(Room* room, bool regenerate) {
  const int index = IndexOfRoom(room);
  if (index < 0) return 0;
  PlanHost& host = GetPlanHost();
  if (regenerate) {
    // Off its wall sides while the rooms beside it are exported again.
    std::vector<std::pair<Wall*, int>> held;
    for (int i = 0; i < room->GetWallFaceCount(); ++i) {
      const WallFace* face = room->GetWallFace(i);
      Wall* w = face->m_pWall;
      const int side = face->GetSide();
      if (w && w->m_pRoom[side] == room) {
        w->m_pRoom[side] = nullptr;
        held.emplace_back(w, side);
      }
    }
    CPtrArray neighbours;
    for (const auto& h : held) {
      Room* other = h.first->m_pRoom[1 - h.second];
      if (!other || IndexOfRoom(other) < 0) continue;
      bool listed = false;
      for (INT_PTR i = 0; i < neighbours.GetSize(); ++i) listed = listed || neighbours.GetAt(i) == other;
      if (!listed) neighbours.Add(other);
    }
    RegenerateRooms(neighbours);
    for (const auto& h : held) h.first->m_pRoom[h.second] = room;
  }
  host.DeselectRoom(room);
  room->m_state &= ~ROOM_SELECTED;
  host.SetModifiedFlag(TRUE);
  const CString key = room->GetKeyString();
  if (room->m_pOwner) {
    host.RemoveSceneObject(room->m_pOwner);
    room->m_pOwner = nullptr;
  }
  host.RemoveSceneObjectByName(key);
  m_rooms.RemoveAt(IndexOfRoom(room));
  delete room;
  return 1;
}

int Frame::BuildDummyRoom(int exportFlag) {
  PlanHost& host = GetPlanHost();
  if (m_pDummyRoom) {
    // The previous enclosing room gives its wall sides up to the new one.
    host.RemoveSceneObjectByName(m_pDummyRoom->GetKeyString());
    delete m_pDummyRoom;
    m_pDummyRoom = nullptr;
  }
  if (GetRoomCount() == 0) return 0;
  int32_t ceiling = RoomAt(0)->GetCeilingLevel();
  int32_t floor = RoomAt(0)->GetFloorLevel();
  for (int i = 1; i < GetRoomCount(); ++i) {
    ceiling = std::max(ceiling, RoomAt(i)->GetCeilingLevel());
    floor = std::min(floor, RoomAt(i)->GetFloorLevel());
  }
  Wall* w = FindFarthestWall(CPoint(0, 0));
  if (!w) return 0;
  const int side = w->SideOfPoint(0.0, 0.0) > 0 ? 0 : 1;
  Room* room = CreateRoom(w, side, ceiling, floor, true);
  if (!room) return 0;
  m_pDummyRoom = room;
  Mesh extra[2];
  room->ExportTo3ds(room, "Dummy", extra, exportFlag, 1, 1, nullptr, 0);
  return 1;
}

void Frame::ExportAllRooms(CProgressWnd* progress, int value) {
  PlanHost& host = GetPlanHost();
  if (host.RemoveSceneObjectsContaining("Dummy") > 0 && m_pDummyRoom) {
    delete m_pDummyRoom;
    m_pDummyRoom = nullptr;
  }
  int total = 0;
  for (int i = 0; i < GetRoomCount(); ++i) {
    RoomAt(i)->m_state &= ~ROOM_EXPORTED;
    total += RoomAt(i)->GetWallFaceCount();
  }
  if (progress) {
    host.ProgressSetRange(progress, 0, total, 1);
    host.ProgressSetText(progress, "Data");
    host.ProgressSetPos(progress, 0);
  }
  for (int i = GetRoomCount() - 1; i >= 0; --i) {
    Room* room = RoomAt(i);
    room->ExportTo3ds(room, nullptr, nullptr, 1, 1, 1, progress, value);
  }
}

Room* Frame::FindRoomByName(const char* name) const {
  for (int i = GetRoomCount() - 1; i >= 0; --i) {
    if (RoomAt(i)->GetDisplayName() == name) return RoomAt(i);
  }
  return nullptr;
}

int Frame::IndexOfRoom(const Room* room) const {
  if (!room) return -1;
  for (int i = GetRoomCount() - 1; i >= 0; --i) {
    if (RoomAt(i) == room) return i;
  }
  return -1;
}

int Frame::IsRoomAfter(const Room* a, const Room* b) const {
  if (!b) return 1;
  for (int i = GetRoomCount() - 1; i >= 0; --i) {
    if (RoomAt(i) == b) return 1;
    if (RoomAt(i) == a) return 0;
  }
  return 0;
}

int Frame::IsWallAfter(const Wall* a, const Wall* b) const {
  for (int i = GetWallCount() - 1; i >= 0; --i) {
    if (GetWall(i) == b) return 1;
    if (GetWall(i) == a) return 0;
  }
  return 0;
}

void RegenerateRooms(const CPtrArray& rooms) {
  std::vector<Room*> done;
  for (INT_PTR i = rooms.GetSize() - 1; i >= 0; --i) {
    Room* room = static_cast<Room*>(rooms.GetAt(i));
    if (!room || std::find(done.begin(), done.end(), room) != done.end()) continue;
    done.push_back(room);
    CollectRoomMaterials(room->m_pOwner);
    room->ExportTo3ds(room, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  }
}

// ---- Hit tests ----

Wall* Frame::FindNearestObject(CPoint point) const {
  double best = kPlanInfinity;
  Wall* found = nullptr;
  for (int i = GetWallCount() - 1; i >= 0; --i) {
    const double d = GetWall(i)->ProjectPoint(point.x, point.y, nullptr, nullptr, 0);
    if (d < best) {
      best = d;
      found = GetWall(i);
    }
  }
  return found;
}

Wall* Frame::FindFarthestWall(CPoint point) const {
  double best = -kPlanInfinity;
  Wall* found = nullptr;
  for (int i = GetWallCount() - 1; i >= 0; --i) {
    const double d = GetWall(i)->ProjectPoint(point.x, point.y, nullptr, nullptr, 0);
    if (d > best) {
      best = d;
      found = GetWall(i);
    }
  }
  return found;
}

CRect Frame::GetChainBounds() const {
  CRect r(0, 0, 0, 0);
  for (int i = GetChainCount() - 1; i >= 0; --i) UnitePlanRect(r, GetChainWall(i)->GetBounds());
  return r;
}

CRect Frame::GetBounds() const {
  CRect r = GetChainBounds();
  for (int i = GetWallCount() - 1; i >= 0; --i) UnitePlanRect(r, GetWall(i)->GetBounds());
  return r;
}
