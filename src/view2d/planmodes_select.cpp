// Select mode: walls selected by click or band (alone or in the context of the selected rooms),
// the selection deleted with Delete, a door or window picked up with the left button or deleted
// with the right. Room mode: a click makes a room from the walls around it; Delete removes the
// selected rooms.
#include <algorithm>
#include <cmath>

#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/instance.h"
#include "models/model.h"
#include "models/plan_draw.h"
#include "models/planhost.h"
#include "view2d/planmodes.h"
#include "view2d/topview.h"

namespace {

// Takes an opening out of its wall and the scene, and shows the rooms on both sides again.
void DeleteOpening(CTopView& view, Wall& wall, HoleInstance* opening) {
  if (wall.m_openings.Remove(opening)) {
    view.PlanDocument()->SetModifiedFlag(TRUE);
    PlanHost& host = GetPlanHost();
    const CString key = opening->FormatId();
    if (opening->m_pOwner) host.RemoveSceneObject(opening->m_pOwner);
    host.RemoveSceneObjectByName(key);
    delete opening;
  }
  const Room* enclosing = view.PlanFrame()->m_pDummyRoom;
  for (int side = 0; side < 2; ++side) {
    Room* room = wall.GetRoom(side);
    if (!room || room == enclosing) continue;
    CollectRoomMaterials(room->m_pOwner);
    room->ExportTo3ds(room, nullptr, nullptr, 1, 1, 1, nullptr, 0);
  }
}

// The facing of a placed opening as the door and window modes' orientation code: bit 0
// mirrored, bit 1 set into the wall from its other side.
int OrientationOf(const Wall& wall, const HoleInstance& opening) {
  const bool turned = opening.m_posture.rotation[2] == 180.0f;
  const bool reversed = wall.AngleDegrees(false) > 179.999;
  return (opening.m_posture.mirror ? 1 : 0) | (turned != reversed ? 2 : 0);
}

// A picked-up opening goes back onto the bar with its kind and sizes, to be placed again.
void PickUpOpening(CTopView& view, Wall& wall, HoleInstance* opening) {
  const bool door = opening->m_kind == HOLE_DOOR;
  PlanOpeningValues& v = door ? view.m_tools.door : view.m_tools.window;
  const Posture& p = opening->m_posture;
  v.type = opening->m_kindId - (door ? 1000 : 1100);
  v.width = static_cast<int32_t>(std::trunc(p.size[0]));
  v.height = static_cast<int32_t>(std::trunc(p.size[2]));
  v.location = static_cast<int32_t>(std::trunc(p.position[2]));
  const int orientation = OrientationOf(wall, *opening);
  if (view.m_pBar) {
    view.m_pBar->ShowToolValues(view.m_tools);
    view.m_pBar->SwitchTool(door ? PLAN_TOOL_DOOR : PLAN_TOOL_WINDOW);
  } else {
    view.SetEditMode(door ? PLAN_MODE_DOOR : PLAN_MODE_WINDOW);
  }
  view.ApplyOpeningSettings(door ? PLAN_MODE_DOOR : PLAN_MODE_WINDOW);
  view.m_orientation = orientation;
  if (view.m_pOpening) {
    view.m_pOpening->m_posture.size[1] = 0.0f;
    view.m_pOpening->m_posture.mirror = p.mirror;
  }
  DeleteOpening(view, wall, opening);
}

// A select click on a wall, by what is selected already.
void SelectClickedWall(CTopView& view, PlanSelection& selection, Wall* w, UINT flags) {
  const bool shift = (flags & MK_SHIFT) != 0;
  if (selection.SelectedRooms().GetSize() == 0) {
    if (shift) {
      selection.ToggleWall(w, SELECT_WHOLE_WALL);
    } else {
      selection.ClearWallSelection();
      selection.SelectWall(w, SELECT_WHOLE_WALL);
    }
    view.m_tools.wallThickness = static_cast<int32_t>(w->m_thickness);
    view.m_tools.wallHeight = std::min(w->m_pStart->m_height, w->m_pEnd->m_height);
    if (view.m_pBar) view.m_pBar->ShowToolValues(view.m_tools);
    return;
  }
  Room* r0 = w->GetRoom(0);
  Room* r1 = w->GetRoom(1);
  const bool s0 = r0 && selection.IsRoomSelected(r0), s1 = r1 && selection.IsRoomSelected(r1);
  if (!s0 && !s1) {
    if (!shift) {
      selection.ClearRoomSelection();
      selection.ClearWallSelection();
    }
    return;
  }
  const int code = s0 && s1 ? SELECT_BOTH_SIDES : (s0 ? SELECT_SIDE0 : SELECT_SIDE1);
  if (shift) {
    selection.ToggleWall(w, code);
    return;
  }
  selection.ClearRoomSelection();
  selection.ClearWallSelection();
  if (s0) selection.SelectRoom(r0);
  if (s1) selection.SelectRoom(r1);
  selection.SelectWall(w, code);
}

}  // namespace

void SelectKeyDown(CTopView& view, CDC&, CDC&, UINT key, UINT) {
  if (key != VK_DELETE) return;
  CRect area;
  view.PlanFrame()->DeleteSelected(area);
  view.PlanDocument()->GetSelection().ForgetDeletedWalls();
  view.Invalidate(FALSE);
}

void SelectLButtonDown(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT flags) {
  Frame& frame = *view.PlanFrame();
  if (frame.IsDrawing()) return;
  CObArray hits;
  CRect area;
  Wall* w = frame.PickWallAt(DCPlanMapping(mapping), point, view.m_selectAnchor, view.m_selectRect,
                             static_cast<int>(flags), area, &hits);
  if (w && hits.GetSize() > 0 && view.m_selectAnchor) {
    view.m_selectAnchor.reset();
    PickUpOpening(view, *w, static_cast<HoleInstance*>(hits.GetAt(0)));
  }
  view.Invalidate(FALSE);
}

void SelectRButtonDown(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT flags) {
  Frame& frame = *view.PlanFrame();
  if (frame.IsDrawing()) return;
  CObArray hits;
  CRect area;
  Wall* w = frame.PickWallAt(DCPlanMapping(mapping), point, view.m_selectAnchor, view.m_selectRect,
                             static_cast<int>(flags), area, &hits);
  if (w && hits.GetSize() > 0 && view.m_selectAnchor)
    DeleteOpening(view, *w, static_cast<HoleInstance*>(hits.GetAt(0)));
  view.m_selectAnchor.reset();
  view.m_selectRect.reset();
  view.Invalidate(FALSE);
}

void SelectMouseMove(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT flags) {
  if (!view.m_selectAnchor) return;
  if (view.m_selectRect && !(flags & MK_CONTROL)) {
    CRect& band = *view.m_selectRect;
    CRect old = band;
    old.NormalizeRect();
    band.right = point.x;
    band.bottom = point.y;
    CRect now = band;
    now.NormalizeRect();
    CRect area;
    area.UnionRect(&old, &now);
    area.InflateRect(5, 5);
    view.InvalidateRect(&area, FALSE);
    return;
  }
  if (!view.m_selectRect && (flags & MK_CONTROL) &&
      PlanPointOf(view, mapping, point, flags) != *view.m_selectAnchor)
    view.Invalidate(FALSE);
}

void SelectLButtonUp(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT flags) {
  PlanSelection& selection = view.PlanDocument()->GetSelection();
  Frame& frame = *view.PlanFrame();
  CRect area;
  if (view.m_selectRect) {
    if (!(flags & MK_SHIFT)) selection.ClearWallSelection();
    CRect band = *view.m_selectRect;
    frame.PickWallsInRect(DCPlanMapping(mapping), band, static_cast<int>(flags), area);
    view.m_selectRect.reset();
  } else if (view.m_selectAnchor) {
    Wall* w = frame.PickWallAt(DCPlanMapping(mapping), point, view.m_selectAnchor,
                               view.m_selectRect, static_cast<int>(flags), area, nullptr);
    view.m_selectRect.reset();
    if (w)
      SelectClickedWall(view, selection, w, flags);
    else if (selection.SelectedRooms().GetSize() > 0)
      selection.ClearRoomSelection();
    else
      selection.ClearWallSelection();
  }
  view.m_selectAnchor.reset();
  view.Invalidate(FALSE);
}

void SelectMButtonUp(CTopView& view, CDC&, CDC&, CPoint&, UINT) {
  if (!view.m_selectAnchor) return;
  view.m_selectAnchor.reset();
  view.m_selectRect.reset();
  view.Invalidate(FALSE);
}

void RoomKeyDown(CTopView& view, CDC&, CDC&, UINT key, UINT) {
  if (key != VK_DELETE) return;
  PlanSelection& selection = view.PlanDocument()->GetSelection();
  CPtrArray rooms;
  rooms.Copy(selection.SelectedRooms());
  selection.ClearRoomSelection();
  for (INT_PTR i = rooms.GetSize() - 1; i >= 0; --i)
    view.PlanFrame()->RemoveRoom(static_cast<Room*>(rooms.GetAt(i)), true);
  view.Invalidate(FALSE);
}

void RoomButtonDown(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT flags) {
  Frame& frame = *view.PlanFrame();
  if (frame.IsDrawing()) return;
  PlanSelection& selection = view.PlanDocument()->GetSelection();
  const CPoint p = PlanPointOf(view, mapping, point, flags);
  const int32_t floor = view.m_tools.floorLevel;
  Room* room = frame.PlaceRoomAt(p, floor + view.m_tools.roomHeight, floor, (flags & MK_LBUTTON) != 0);
  if (!room) return;
  selection.ClearWallSelection();
  if (!(flags & MK_SHIFT)) selection.ClearRoomSelection();
  selection.SelectRoom(room);
  view.Invalidate(FALSE);
}
