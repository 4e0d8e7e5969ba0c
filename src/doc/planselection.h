// The plan's selection beside the document: the selected walls, the marked walls and the selected
// rooms, with the flags that show them on the plan objects kept in step with the lists. The lists
// hold plan objects that the plan owns.
//
// A selected wall carries the bits of its selection mode (WALL_SIDE0_SELECTED, WALL_SIDE1_SELECTED
// or both for the sides that the selected rooms face, WALL_SELECTED for the whole wall) and has
// one entry in the selected walls per side (two for mode 0). A marked wall (WALL_MARKED) is drawn
// highlighted with its dimension: the walls selected whole and the walls at the end of a chain of
// walls being drawn. The poles of a wall selected whole carry bit 0x1 (touched by a selection). A
// selected room carries ROOM_SELECTED.
#pragma once
#include "afx/afx.h"

class Frame;
class Room;
class Wall;

// Wall selection modes: the side facing a selected room (-1 side 0, 1 side 1, 0 both), or the
// whole wall (-2).
enum : int { SELECT_SIDE0 = -1, SELECT_BOTH_SIDES = 0, SELECT_SIDE1 = 1, SELECT_WHOLE_WALL = -2 };

class PlanSelection {
public:
  // Selects the wall in the mode, after taking back its whole-wall and both-sides selections; a
  // whole wall is marked and its poles touched. An unknown mode only takes them back.
  void SelectWall(Wall* wall, int mode);
  // Takes back the bits of the mode that the wall carries, one list entry each (a whole wall also
  // loses its mark and its poles' bit); 0 when the wall is not selected at all, else 1.
  int DeselectWall(Wall* wall, int mode);
  bool IsWallSelected(const Wall* wall) const;
  // Deselects the wall's selection of the mode, or selects it when it had none.
  void ToggleWall(Wall* wall, int mode);
  // Every selected wall (and its poles) loses its selection; then the marked walls that are not
  // selected lose their mark.
  void ClearWallSelection();

  // The wall becomes the last of the marked walls.
  void MarkWall(Wall* wall);
  void UnmarkWall(Wall* wall);
  // The marked walls that are not selected lose their mark.
  void UnmarkUnselectedWalls();
  // The walls joined at the start pole of the last wall of the chain being drawn become the last
  // marked walls; nothing while no chain is drawn.
  void MarkWallsAtChainEnd(const Frame& frame);

  // The room becomes the last of the selected rooms.
  void SelectRoom(Room* room);
  // Takes the room out of the selected rooms; its flag is the caller's.
  void DeselectRoom(Room* room);
  bool IsRoomSelected(const Room* room) const;
  void ClearRoomSelection();

  // The whole selection cleared: walls, their poles, marks and rooms.
  void ClearPlanSelection();
  // Empties the wall lists without touching the walls, which the plan has deleted.
  void ForgetDeletedWalls();

  const CPtrArray& SelectedWalls() const { return m_selectedWalls; }
  const CPtrArray& MarkedWalls() const { return m_markedWalls; }
  const CPtrArray& SelectedRooms() const { return m_selectedRooms; }

private:
  CPtrArray m_markedWalls;
  CPtrArray m_selectedWalls;
  CPtrArray m_selectedRooms;
};
