// The check of a plan just read from a model file, and the untying of one that fails it. The
// plan's own operations, and its destructors, rely on what is checked here: a file that breaks
// it is damaged and is not opened.
#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "models/modelfile.h"
#include "models/room.h"
#include "models/wall.h"
#include "models/wallface.h"
#include "models/wallpole.h"

namespace {

// The plan's numbers stay where its arithmetic holds: coordinates within what the 0.001 grid
// holds in 32 bits (every point the editor makes, down to -2147483.648), sizes and levels within
// 10 km.
constexpr double kCoordLimit = 2147483.648;
constexpr double kSizeLimit = 1e7;

bool Within(double v, double limit) { return std::isfinite(v) && std::fabs(v) <= limit; }

bool PostureSound(const Posture& p) {
  for (int i = 0; i < 3; ++i)
    if (!Within(p.position[i], kCoordLimit) || !Within(p.rotation[i], kSizeLimit) ||
        !Within(p.size[i], kSizeLimit))
      return false;
  return true;
}

bool BagSound(const LibInstancesBag& bag) {
  for (int i = 0; i < bag.GetCount(); ++i)
    if (!PostureSound(bag.GetAt(i)->m_posture)) return false;
  return true;
}

bool PoleSound(const WallPole& p) {
  if (p.IsScratch() || !Within(p.m_x, kCoordLimit) || !Within(p.m_y, kCoordLimit) ||
      !Within(p.m_height, kSizeLimit))
    return false;
  for (int i = 0; i < 4; ++i)
    if (!std::isfinite(p.m_corner[i]) || !std::isfinite(p.m_altCorner[i])) return false;
  return true;
}

// A wall: its poles, numbers, openings and bands (each band sits on the one before it).
bool WallSound(const Wall& wall) {
  if (!wall.m_pStart || !wall.m_pEnd || wall.IsScratch()) return false;
  if (!PoleSound(*wall.m_pStart) || !PoleSound(*wall.m_pEnd)) return false;
  if (!Within(wall.m_thickness, kSizeLimit) || !BagSound(wall.m_openings)) return false;
  if (wall.m_pPendingOpening && !PostureSound(wall.m_pPendingOpening->m_posture)) return false;
  for (int side = 0; side < 2; ++side) {
    const WallFaceCell* below = nullptr;
    for (int i = 0; i < wall.GetCellCount(side); ++i) {
      const WallFaceCell* cell = wall.GetCell(side, i);
      if (cell->m_pBelow != below) return false;
      below = cell;
    }
  }
  return true;
}

bool RoomSound(const Room& room) {
  return Within(room.GetFloorLevel(), kSizeLimit) && Within(room.GetCeilingLevel(), kSizeLimit) &&
         BagSound(room.m_floor.m_objects) && BagSound(room.m_ceiling.m_objects);
}

std::vector<Wall*> WallsOf(const Frame& frame) {
  std::vector<Wall*> walls;
  for (int i = 0; i < frame.GetWallCount(); ++i) walls.push_back(frame.GetWall(i));
  for (int i = 0; i < frame.GetChainCount(); ++i) walls.push_back(frame.GetChainWall(i));
  return walls;
}

std::vector<Room*> RoomsOf(const Frame& frame) {
  std::vector<Room*> rooms;
  for (int i = 0; i < frame.GetRoomCount(); ++i) rooms.push_back(frame.RoomAt(i));
  if (frame.m_pDummyRoom) rooms.push_back(frame.m_pDummyRoom);
  return rooms;
}

using JoinSet = std::vector<const WallPoleJoinInfo*>;  // a pole's join records, sorted

// Pole groups: every record names a pole of the plan and that pole's wall, and is that pole's
// own record; every pole lists the same set of records as the poles that it lists, once each;
// a pole's neighbours are in its group.
bool PoleGroupsSound(const std::vector<Wall*>& walls) {
  std::unordered_map<const WallPole*, const Wall*> wallOf;
  for (const Wall* w : walls) {
    wallOf[w->m_pStart] = w;
    wallOf[w->m_pEnd] = w;
  }
  std::unordered_map<const WallPole*, JoinSet> sets;
  for (const auto& [pole, wall] : wallOf) {
    if (pole->GetDegree() < 1) return false;
    const WallPoleJoinInfo* own = pole->GetJoin(0);
    if (own->m_pPole != pole || own->m_pWall != wall) return false;
    JoinSet set;
    for (int i = 0; i < pole->GetDegree(); ++i) {
      const WallPoleJoinInfo* record = pole->GetJoin(i);
      const auto it = wallOf.find(record->m_pPole);
      if (it == wallOf.end() || it->second != record->m_pWall) return false;
      if (record->m_pPole->GetDegree() < 1 || record->m_pPole->GetJoin(0) != record) return false;
      set.push_back(record);
    }
    std::sort(set.begin(), set.end());
    if (std::adjacent_find(set.begin(), set.end()) != set.end()) return false;
    sets.emplace(pole, std::move(set));
  }
  // All poles of a group share the set: each pole's set equals that of the pole whose record
  // comes first in it, and every pole that it lists starts its set with the same record.
  for (const auto& [pole, set] : sets) {
    const JoinSet& first = sets.at(set.front()->m_pPole);
    if (first != set) return false;
    for (const WallPoleJoinInfo* record : set)
      if (sets.at(record->m_pPole).front() != set.front()) return false;
    for (const WallPole* neighbour : {pole->m_pCounterClockwise, pole->m_pClockwise}) {
      if (!neighbour) continue;
      const auto it = sets.find(neighbour);
      if (it == sets.end() || !std::binary_search(set.begin(), set.end(), neighbour->GetJoin(0)))
        return false;
    }
  }
  return true;
}

// Rooms and wall sides: a wall side held by a room is one wall side of that room and no other;
// a wall side's pole is one of its wall's poles.
bool RoomSidesSound(const std::vector<Wall*>& walls, const std::vector<Room*>& rooms) {
  std::set<std::pair<const Wall*, int>> held;
  for (const Room* room : rooms) {
    for (int i = 0; i < room->GetWallFaceCount(); ++i) {
      const WallFace* face = room->GetWallFace(i);
      const Wall* wall = face->m_pWall;
      if (!wall || (face->m_direction != -1 && face->m_direction != 1)) return false;
      const int side = face->GetSide();
      if (wall->m_pRoom[side] != room || !held.emplace(wall, side).second) return false;
      if (face->m_pPole && face->m_pPole != wall->m_pStart && face->m_pPole != wall->m_pEnd)
        return false;
    }
  }
  for (const Wall* wall : walls)
    for (int side = 0; side < 2; ++side)
      if (wall->m_pRoom[side] && held.count({wall, side}) == 0) return false;
  return true;
}

}  // namespace

bool IsLoadedPlanSound(const Frame& frame) {
  if (!Within(frame.m_originX, kCoordLimit) || !Within(frame.m_originY, kCoordLimit)) return false;
  const std::vector<Wall*> walls = WallsOf(frame);
  for (const Wall* wall : walls)
    if (!WallSound(*wall)) return false;
  const std::vector<Room*> rooms = RoomsOf(frame);
  for (const Room* room : rooms)
    if (!RoomSound(*room)) return false;
  return PoleGroupsSound(walls) && RoomSidesSound(walls, rooms);
}

void UntieLoadedPlan(Frame& frame) {
  for (Wall* wall : WallsOf(frame)) {
    wall->m_pRoom[0] = wall->m_pRoom[1] = nullptr;
    for (WallPole* pole : {wall->m_pStart, wall->m_pEnd}) {
      if (!pole) continue;
      pole->m_joins.RemoveAll();
      pole->m_pCounterClockwise = pole->m_pClockwise = nullptr;
    }
    for (ObjectArray& cells : wall->m_cells)
      for (INT_PTR i = 0; i < cells.GetSize(); ++i) static_cast<WallFaceCell*>(cells.GetAt(i))->m_pBelow = nullptr;
  }
  for (Room* room : RoomsOf(frame)) {
    for (int i = 0; i < room->GetWallFaceCount(); ++i) {
      WallFace* face = room->GetWallFace(i);
      face->m_pWall = nullptr;
      face->m_pPole = nullptr;
    }
  }
}
