#include "doc/planselection.h"

#include "models/frame.h"
#include "models/room.h"
#include "models/wall.h"
#include "models/wallpole.h"

namespace {

constexpr uint32_t kSelectionBits = WALL_SIDE0_SELECTED | WALL_SIDE1_SELECTED | WALL_SELECTED;

// The bits a wall carries for each selection mode.
uint32_t BitsOf(int mode) {
  switch (mode) {
    case SELECT_SIDE0: return WALL_SIDE0_SELECTED;
    case SELECT_BOTH_SIDES: return WALL_SIDE0_SELECTED | WALL_SIDE1_SELECTED;
    case SELECT_SIDE1: return WALL_SIDE1_SELECTED;
    case SELECT_WHOLE_WALL: return WALL_SELECTED;
    default: return 0;
  }
}

// Bit 0x1 of both poles: touched by a selection.
void SetPolesTouched(Wall* wall, bool on) {
  for (bool end : {false, true}) {
    WallPole* pole = wall->GetPole(end);
    if (!pole) continue;
    if (on)
      pole->m_state |= 0x1u;
    else
      pole->m_state &= ~0x1u;
  }
}

bool Holds(const CPtrArray& array, const void* item) {
  for (INT_PTR i = 0; i < array.GetSize(); i++)
    if (array.GetAt(i) == item) return true;
  return false;
}

// Removes the last entry of the item; false when there is none.
bool RemoveLast(CPtrArray& array, const void* item) {
  for (INT_PTR i = array.GetSize() - 1; i >= 0; i--)
    if (array.GetAt(i) == item) {
      array.RemoveAt(i);
      return true;
    }
  return false;
}

void RemoveAll(CPtrArray& array, const void* item) {
  while (RemoveLast(array, item)) {
  }
}

}  // namespace

void PlanSelection::SelectWall(Wall* wall, int mode) {
  DeselectWall(wall, SELECT_WHOLE_WALL);
  DeselectWall(wall, SELECT_BOTH_SIDES);
  const uint32_t bits = BitsOf(mode);
  if (!bits) return;
  m_selectedWalls.Add(wall);
  if (mode == SELECT_BOTH_SIDES) m_selectedWalls.Add(wall);
  if (mode == SELECT_WHOLE_WALL) {
    MarkWall(wall);
    SetPolesTouched(wall, true);
  }
  wall->m_flags |= bits;
}

int PlanSelection::DeselectWall(Wall* wall, int mode) {
  if (!IsWallSelected(wall)) return 0;
  const uint32_t bits = BitsOf(mode);
  for (uint32_t bit : {WALL_SIDE0_SELECTED, WALL_SIDE1_SELECTED, WALL_SELECTED}) {
    if (!(bits & bit) || !(wall->m_flags & bit)) continue;
    RemoveLast(m_selectedWalls, wall);
    wall->m_flags &= ~bit;
    if (bit == WALL_SELECTED) {
      UnmarkWall(wall);
      SetPolesTouched(wall, false);
    }
  }
  return 1;
}

bool PlanSelection::IsWallSelected(const Wall* wall) const { return Holds(m_selectedWalls, wall); }

void PlanSelection::ToggleWall(Wall* wall, int mode) {
  if (!DeselectWall(wall, mode)) SelectWall(wall, mode);
}

void PlanSelection::ClearWallSelection() {
  for (INT_PTR i = m_selectedWalls.GetSize() - 1; i >= 0; --i) {
    auto* wall = static_cast<Wall*>(m_selectedWalls.GetAt(i));
    SetPolesTouched(wall, false);
    wall->m_flags &= ~kSelectionBits;
  }
  m_selectedWalls.RemoveAll();
  UnmarkUnselectedWalls();
}

void PlanSelection::MarkWall(Wall* wall) {
  RemoveAll(m_markedWalls, wall);
  m_markedWalls.Add(wall);
  wall->SetMarked(true);
}

void PlanSelection::UnmarkWall(Wall* wall) {
  RemoveAll(m_markedWalls, wall);
  wall->SetMarked(false);
}

void PlanSelection::UnmarkUnselectedWalls() {
  for (INT_PTR i = m_markedWalls.GetSize() - 1; i >= 0; --i) {
    auto* wall = static_cast<Wall*>(m_markedWalls.GetAt(i));
    if (IsWallSelected(wall)) continue;
    wall->SetMarked(false);
    m_markedWalls.RemoveAt(i);
  }
}

void PlanSelection::MarkWallsAtChainEnd(const Frame& frame) {
  Wall* last = frame.GetLastDrawnWall();
  if (!last) return;
  WallPole* pole = last->m_pStart;
  for (int j = pole->GetDegree() - 1; j >= 0; --j) MarkWall(pole->GetJoinWall(j));
}

void PlanSelection::SelectRoom(Room* room) {
  RemoveAll(m_selectedRooms, room);
  m_selectedRooms.Add(room);
  room->m_state |= ROOM_SELECTED;
}

void PlanSelection::DeselectRoom(Room* room) { RemoveAll(m_selectedRooms, room); }

bool PlanSelection::IsRoomSelected(const Room* room) const { return Holds(m_selectedRooms, room); }

void PlanSelection::ClearRoomSelection() {
  for (INT_PTR i = m_selectedRooms.GetSize() - 1; i >= 0; --i)
    static_cast<Room*>(m_selectedRooms.GetAt(i))->m_state &= ~ROOM_SELECTED;
  m_selectedRooms.RemoveAll();
}

void PlanSelection::ClearPlanSelection() {
  ClearWallSelection();
  ClearRoomSelection();
}

void PlanSelection::ForgetDeletedWalls() {
  m_selectedWalls.RemoveAll();
  m_markedWalls.RemoveAll();
}
