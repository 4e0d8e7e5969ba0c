// The plan view's editing modes: one row of handlers per kind of input, one column per mode.
// The view's message handlers prepare the device contexts and the flags and call the entry; an
// empty entry means default window handling.
#pragma once
#include "afx/afxwin.h"

class CTopView;

// Editing modes of the plan view.
enum : int {
  PLAN_MODE_ZOOM = 0,
  PLAN_MODE_PAN = 2,
  PLAN_MODE_NONE = 3,  // before the initial update
  PLAN_MODE_SELECT = 5,
  PLAN_MODE_WALL = 6,
  PLAN_MODE_ROOM = 7,
  PLAN_MODE_DOOR = 10,
  PLAN_MODE_WINDOW = 11,
  PLAN_MODE_COUNT = 12,
};

// Cursors of the modes (src/res/cursors.rc).
enum : int {
  IDC_PLAN_PAN = 4257,
  IDC_PLAN_WINDOW = 4258,
  IDC_PLAN_ROOM = 4259,
  IDC_PLAN_WALL = 4260,
  IDC_PLAN_SELECT = 4261,
  IDC_PLAN_ZOOM_IN = 4262,
  IDC_PLAN_ZOOM_OUT = 4263,
  IDC_PLAN_DOOR = 4264,
  IDC_PLAN_ZOOM = 4267,
};

// Timers of the zoom mode: press-and-hold zoom in and out.
enum : UINT_PTR { PLAN_TIMER_ZOOM_IN = 0, PLAN_TIMER_ZOOM_OUT = 1 };

using PlanKeyHandler = void (*)(CTopView& view, CDC& client, CDC& mapping, UINT key, UINT repeat);
// The point arrives in client pixels; a handler may convert it in place.
using PlanMouseHandler = void (*)(CTopView& view, CDC& client, CDC& mapping, CPoint& point,
                                  UINT flags);
using PlanTimerHandler = void (*)(CTopView& view, UINT_PTR id);
// Nonzero when it set the cursor.
using PlanCursorHandler = BOOL (*)(CTopView& view, CWnd* wnd, UINT hitTest, UINT message);

struct PlanModeHandlers {
  PlanKeyHandler keyDown = nullptr;
  PlanMouseHandler mouseMove = nullptr;
  PlanMouseHandler lButtonDown = nullptr;
  PlanMouseHandler lButtonUp = nullptr;
  PlanMouseHandler mButtonDown = nullptr;
  PlanMouseHandler mButtonUp = nullptr;
  PlanMouseHandler rButtonDown = nullptr;
  PlanMouseHandler rButtonUp = nullptr;
  PlanTimerHandler timer = nullptr;
  PlanCursorHandler setCursor = nullptr;
};

// The handlers of a mode; every entry empty for a mode without handlers or out of range.
const PlanModeHandlers& PlanModeTable(int mode);

// The handlers, by mode (planmodes_*.cpp).
void WallKeyDown(CTopView&, CDC&, CDC&, UINT key, UINT repeat);
void WallMouseMove(CTopView&, CDC&, CDC&, CPoint&, UINT);
void WallLButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);
void WallMButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);
void WallRButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);

void ZoomButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);
void ZoomMouseMove(CTopView&, CDC&, CDC&, CPoint&, UINT);
void ZoomButtonUp(CTopView&, CDC&, CDC&, CPoint&, UINT);
void ZoomTimer(CTopView&, UINT_PTR id);
void PanButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);
void PanMouseMove(CTopView&, CDC&, CDC&, CPoint&, UINT);
void PanButtonUp(CTopView&, CDC&, CDC&, CPoint&, UINT);

void SelectKeyDown(CTopView&, CDC&, CDC&, UINT key, UINT repeat);
void SelectMouseMove(CTopView&, CDC&, CDC&, CPoint&, UINT);
void SelectLButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);
void SelectLButtonUp(CTopView&, CDC&, CDC&, CPoint&, UINT);
void SelectMButtonUp(CTopView&, CDC&, CDC&, CPoint&, UINT);
void SelectRButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);
void RoomKeyDown(CTopView&, CDC&, CDC&, UINT key, UINT repeat);
void RoomButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);

void OpeningMouseMove(CTopView&, CDC&, CDC&, CPoint&, UINT);
void OpeningLButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);
void OpeningRButtonDown(CTopView&, CDC&, CDC&, CPoint&, UINT);

// The zoom mode's cursor: the zoom and pan handlers change it, the zoom mode shows it.
extern int g_planZoomCursor;
// Loads one of the plan cursors from the program's resources and shows it; TRUE.
BOOL ShowPlanCursor(int id);

// Steps shared by the modes.
// A client point as a plan point: converted, snapped to the grid (not with Shift), plus the
// plan offset.
CPoint PlanPointOf(const CTopView& view, const CDC& mapping, CPoint client, UINT flags);
