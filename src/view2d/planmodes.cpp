// The mode table, the cursors and entering a mode.
#include "view2d/planmodes.h"

#include "doc/shell.h"
#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/instance.h"
#include "models/model.h"
#include "models/openingtables.h"
#include "models/planhost.h"
#include "view2d/topview.h"

int g_planZoomCursor = IDC_PLAN_ZOOM;

namespace {

BOOL ZoomSetCursor(CTopView&, CWnd*, UINT, UINT) { return ShowPlanCursor(g_planZoomCursor); }
BOOL PanSetCursor(CTopView&, CWnd*, UINT, UINT) { return ShowPlanCursor(IDC_PLAN_PAN); }
BOOL SelectSetCursor(CTopView&, CWnd*, UINT, UINT) { return ShowPlanCursor(IDC_PLAN_SELECT); }
BOOL WallSetCursor(CTopView&, CWnd*, UINT, UINT) { return ShowPlanCursor(IDC_PLAN_WALL); }
BOOL RoomSetCursor(CTopView&, CWnd*, UINT, UINT) { return ShowPlanCursor(IDC_PLAN_ROOM); }
BOOL WindowSetCursor(CTopView&, CWnd*, UINT, UINT) { return ShowPlanCursor(IDC_PLAN_WINDOW); }
// Until a door is chosen the door mode shows the default cursor.
BOOL DoorSetCursor(CTopView& view, CWnd*, UINT, UINT) {
  return view.m_pOpening ? ShowPlanCursor(IDC_PLAN_DOOR) : FALSE;
}

PlanModeHandlers ZoomRow() {
  PlanModeHandlers h;
  h.mouseMove = ZoomMouseMove;
  h.lButtonDown = h.rButtonDown = ZoomButtonDown;
  h.lButtonUp = h.rButtonUp = ZoomButtonUp;
  h.mButtonDown = PanButtonDown;
  h.mButtonUp = PanButtonUp;
  h.timer = ZoomTimer;
  h.setCursor = ZoomSetCursor;
  return h;
}

PlanModeHandlers PanRow() {
  PlanModeHandlers h;
  h.mouseMove = PanMouseMove;
  h.lButtonDown = h.mButtonDown = h.rButtonDown = PanButtonDown;
  h.lButtonUp = h.mButtonUp = h.rButtonUp = PanButtonUp;
  h.setCursor = PanSetCursor;
  return h;
}

PlanModeHandlers SelectRow() {
  PlanModeHandlers h;
  h.keyDown = SelectKeyDown;
  h.mouseMove = SelectMouseMove;
  h.lButtonDown = SelectLButtonDown;
  h.lButtonUp = SelectLButtonUp;
  h.mButtonUp = SelectMButtonUp;
  h.rButtonDown = SelectRButtonDown;
  h.setCursor = SelectSetCursor;
  return h;
}

PlanModeHandlers WallRow() {
  PlanModeHandlers h;
  h.keyDown = WallKeyDown;
  h.mouseMove = WallMouseMove;
  h.lButtonDown = WallLButtonDown;
  h.mButtonDown = WallMButtonDown;
  h.rButtonDown = WallRButtonDown;
  h.setCursor = WallSetCursor;
  return h;
}

PlanModeHandlers RoomRow() {
  PlanModeHandlers h;
  h.keyDown = RoomKeyDown;
  h.lButtonDown = h.rButtonDown = RoomButtonDown;
  h.setCursor = RoomSetCursor;
  return h;
}

PlanModeHandlers OpeningRow(PlanCursorHandler cursor) {
  PlanModeHandlers h;
  h.mouseMove = OpeningMouseMove;
  h.lButtonDown = OpeningLButtonDown;
  h.rButtonDown = OpeningRButtonDown;
  h.setCursor = cursor;
  return h;
}

struct ModeTable {
  PlanModeHandlers modes[PLAN_MODE_COUNT];
  ModeTable() {
    modes[PLAN_MODE_ZOOM] = ZoomRow();
    modes[PLAN_MODE_PAN] = PanRow();
    modes[PLAN_MODE_SELECT] = SelectRow();
    modes[PLAN_MODE_WALL] = WallRow();
    modes[PLAN_MODE_ROOM] = RoomRow();
    modes[PLAN_MODE_DOOR] = OpeningRow(DoorSetCursor);
    modes[PLAN_MODE_WINDOW] = OpeningRow(WindowSetCursor);
  }
};

const ModeTable kModeTable;
const PlanModeHandlers kNoHandlers;

bool RefusedWhileDrawing(int mode) {
  return mode == PLAN_MODE_SELECT || mode == PLAN_MODE_ROOM || mode == PLAN_MODE_DOOR ||
         mode == PLAN_MODE_WINDOW;
}

HoleInstance* TableOpening(int mode, int type) {
  return mode == PLAN_MODE_DOOR ? OpeningTemplateByKind(HOLE_DOOR, 1000 + type)
                                : OpeningTemplateByKind(HOLE_WINDOW, 1100 + type);
}

}  // namespace

const PlanModeHandlers& PlanModeTable(int mode) {
  if (mode < 0 || mode >= PLAN_MODE_COUNT) return kNoHandlers;
  return kModeTable.modes[mode];
}

BOOL ShowPlanCursor(int id) {
  ::SetCursor(::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
  return TRUE;
}

CPoint PlanPointOf(const CTopView& view, const CDC& mapping, CPoint client, UINT flags) {
  mapping.DPtoLP(&client);
  const CPoint p = SnapToGrid(client, view.m_state.grid, static_cast<int>(flags));
  const Frame* frame = view.PlanFrame();
  return frame ? CPoint(p.x + frame->m_originX, p.y + frame->m_originY) : p;
}

// ---- Entering a mode ----

bool CTopView::SetEditMode(int mode) {
  const Frame* frame = PlanFrame();
  if (frame && frame->IsDrawing() && RefusedWhileDrawing(mode)) {
    GetPlanHost().ShowMessage(kWallDrawingRefusal, kPlanCaption, kPlanRefusalStyle);
    Invalidate(FALSE);
    return false;
  }
  EnterMode(mode);
  return true;
}

void CTopView::EnterMode(int mode) {
  const int old = m_mode;
  m_mode = mode;
  m_pWallUnderCursor = nullptr;
  m_openingPoint.reset();
  CVedraDoc* doc = PlanDocument();
  if (mode == PLAN_MODE_DOOR || mode == PLAN_MODE_WINDOW) {
    m_orientation = 0;
    if (old != mode) ApplyOpeningSettings(mode);
  }
  if (doc && mode != PLAN_MODE_ZOOM && mode != PLAN_MODE_PAN &&
      (mode != PLAN_MODE_WALL || old != PLAN_MODE_WALL)) {
    doc->GetSelection().ClearPlanSelection();
    if (mode == PLAN_MODE_WALL) doc->GetSelection().MarkWallsAtChainEnd(*PlanFrame());
  }
  Invalidate(FALSE);
}

void CTopView::ApplyOpeningSettings(int mode) {
  const PlanOpeningValues& v = mode == PLAN_MODE_DOOR ? m_tools.door : m_tools.window;
  ReleaseOpening();
  m_pOpening = TableOpening(mode, v.type);
  if (m_pOpening) {
    m_pOpening->m_posture.size[0] = static_cast<float>(v.width);
    m_pOpening->m_posture.size[2] = static_cast<float>(v.height);
    m_pOpening->m_posture.position[2] = static_cast<float>(v.location);
  }
  Invalidate(FALSE);
}

// The opening to place is always a template of the opening tables, which the program owns (and
// may have freed already when the view goes at the program's end).
void CTopView::ReleaseOpening() { m_pOpening = nullptr; }
