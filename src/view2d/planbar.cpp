#include "view2d/planbar.h"

#include <algorithm>
#include <cmath>

#include "doc/shell.h"
#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/model.h"
#include "models/openingtables.h"
#include "models/planhost.h"
#include "res/plan_res.h"
#include "res/resource.h"
#include "view2d/planbar_core.h"
#include "view2d/plandialogs.h"
#include "view2d/plangrid.h"
#include "view2d/topview.h"

IMPLEMENT_DYNAMIC(CPlanBar, CDialogBar)

BEGIN_MESSAGE_MAP(CPlanBar, CPictureDialogBar)
  ON_WM_CREATE()
  ON_BN_CLICKED(IDC_BAR_SELECT, OnSelectTool)
  ON_BN_CLICKED(IDC_BAR_OPTION, OnOption)
  ON_BN_CLICKED(IDC_BAR_ZOOM, OnZoomTool)
  ON_BN_CLICKED(IDC_BAR_PAN, OnPanTool)
  ON_BN_CLICKED(IDC_BAR_WALL, OnWallTool)
  ON_BN_CLICKED(IDC_BAR_DOOR, OnDoorTool)
  ON_BN_CLICKED(IDC_BAR_WINDOW, OnWindowTool)
  ON_BN_CLICKED(IDC_BAR_ROOM, OnRoomTool)
  ON_BN_CLICKED(IDC_BAR_FIT, OnFitButton)
  ON_BN_CLICKED(IDC_BAR_UNDO, OnUndo)
  ON_BN_CLICKED(IDC_BAR_REDO, OnRedo)
  ON_BN_CLICKED(IDC_BAR_GRID_TYPE, OnGridType)
  ON_BN_CLICKED(IDC_BAR_GRID_ENLARGE, OnGridEnlarge)
  ON_BN_CLICKED(IDC_BAR_GRID_REDUCE, OnGridReduce)
  ON_BN_DOUBLECLICKED(IDC_BAR_GRID_ENLARGE, OnGridSetting)
  ON_BN_DOUBLECLICKED(IDC_BAR_GRID_REDUCE, OnGridSetting)
  ON_BN_DOUBLECLICKED(IDC_BAR_WALK, OnWalkThrough)
  ON_BN_CLICKED(IDC_BAR_FILE, OnFileMenu)
  ON_BN_CLICKED(IDC_BAR_CONFIGURE, OnConfigureMenu)
  ON_BN_CLICKED(IDC_BAR_HELP, OnHelpMenu)
  ON_UPDATE_COMMAND_UI(IDC_BAR_SELECT, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_OPTION, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_PAN, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_FIT, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_GRID_TYPE, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_WALL, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_DOOR, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_WINDOW, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_ROOM, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_WALK, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_ZOOM, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_CONFIGURE, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_FILE, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_HELP, OnUpdateNothing)
  ON_UPDATE_COMMAND_UI(IDC_BAR_UNDO, OnUpdateUndo)
  ON_UPDATE_COMMAND_UI(IDC_BAR_REDO, OnUpdateRedo)
  ON_UPDATE_COMMAND_UI(IDC_BAR_GRID_ENLARGE, OnUpdateGridEnlarge)
  ON_UPDATE_COMMAND_UI(IDC_BAR_GRID_REDUCE, OnUpdateGridReduce)
  ON_CBN_SELCHANGE(IDC_BAR_DOOR_TYPE, OnDoorType)
  ON_CBN_SELCHANGE(IDC_BAR_WINDOW_TYPE, OnWindowType)
  ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_BAR_DOOR_WIDTH, IDC_BAR_DOOR_LOCATION, OnOpeningSizeChosen)
  ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_BAR_WINDOW_WIDTH, IDC_BAR_WINDOW_LOCATION, OnOpeningSizeChosen)
  ON_CONTROL_RANGE(CBN_EDITCHANGE, IDC_BAR_DOOR_WIDTH, IDC_BAR_DOOR_LOCATION, OnOpeningSizeTyped)
  ON_CONTROL_RANGE(CBN_EDITCHANGE, IDC_BAR_WINDOW_WIDTH, IDC_BAR_WINDOW_LOCATION, OnOpeningSizeTyped)
  ON_CONTROL_RANGE(CBN_EDITCHANGE, IDC_BAR_WALL_THICKNESS, IDC_BAR_WALL_HEIGHT, OnLengthTyped)
  ON_CONTROL_RANGE(CBN_EDITCHANGE, IDC_BAR_CEILING, IDC_BAR_FLOOR, OnLengthTyped)
END_MESSAGE_MAP()

namespace {

// The eighteen buttons in the order of the bar's members.
constexpr UINT kButtonIds[18] = {IDC_BAR_ZOOM,  IDC_BAR_PAN,    IDC_BAR_FIT,       IDC_BAR_GRID_TYPE,
                                 IDC_BAR_GRID_REDUCE, IDC_BAR_GRID_ENLARGE, IDC_BAR_DOOR, IDC_BAR_WINDOW,
                                 IDC_BAR_ROOM,  IDC_BAR_WALL,   IDC_BAR_SELECT,    IDC_BAR_OPTION,
                                 IDC_BAR_WALK,  IDC_BAR_CONFIGURE, IDC_BAR_HELP,   IDC_BAR_FILE,
                                 IDC_BAR_UNDO,  IDC_BAR_REDO};

struct FieldList {
  UINT id;
  const char* const* entries;
  int count;
  int selected;
};

const char* const kThickness[] = {"90mm", "100mm", "120mm", "150mm", "180mm", "200mm", "240mm", "300mm", "350mm"};
const char* const kWallHeight[] = {"0mm", "150mm", "200mm", "250mm", "300mm", "1100mm", "1200mm", "2400mm", "3000mm"};
const char* const kDoorTypes[] = {"외여닫이문", "양여닫이문", "2짝미서기문", "3짝미서기문", "4짝미서기문",
                                  "복합문", "2짝스윙문", "4짝스윙문", "아치&공틀", "기타"};
const char* const kDoorWidth[] = {"600mm", "700mm", "750mm", "800mm", "900mm", "1000mm", "1100mm", "1200mm"};
const char* const kDoorHeight[] = {"1500mm", "1800mm", "1900mm", "2000mm", "2100mm", "2200mm"};
const char* const kDoorLocation[] = {"0mm", "20mm", "40mm", "50mm", "80mm", "100mm"};
const char* const kWindowTypes[] = {"공틀창", "고정창", "외여닫이창", "양여닫이창",
                                    "2짝미서기", "3짝미서기", "4짝미서기", "기타"};
const char* const kWindowWidth[] = {"600mm", "800mm", "900mm", "1000mm", "1200mm", "1500mm",
                                    "1800mm", "2100mm", "2400mm", "2800mm", "3000mm"};
const char* const kWindowHeight[] = {"800mm", "1000mm", "1200mm", "1500mm", "1800mm", "2100mm", "2300mm"};
const char* const kWindowLocation[] = {"0mm", "100mm", "200mm", "300mm", "400mm", "500mm"};
const char* const kCeiling[] = {"1800mm", "2000mm", "2100mm", "2200mm", "2300mm", "2400mm", "2500mm", "2600mm"};
const char* const kFloor[] = {"-200mm", "-100mm", "-50mm", "0mm", "100mm", "200mm", "300mm", "400mm"};
const char* const kRoomNames[] = {"비트", "기본방", "현관", "거실", "주방", "다용도실", "베란다", "테라스", "발코니",
                                  "전실", "욕실", "부부욕실", "공용욕실", "안방", "아이방", "서재", "한실"};

template <int N>
constexpr FieldList List(UINT id, const char* const (&entries)[N], int selected) {
  return {id, entries, N, selected};
}

const FieldList kFields[] = {
    List(IDC_BAR_WALL_THICKNESS, kThickness, 3),   List(IDC_BAR_WALL_HEIGHT, kWallHeight, 7),
    List(IDC_BAR_DOOR_TYPE, kDoorTypes, 0),        List(IDC_BAR_DOOR_WIDTH, kDoorWidth, 4),
    List(IDC_BAR_DOOR_HEIGHT, kDoorHeight, 4),     List(IDC_BAR_DOOR_LOCATION, kDoorLocation, 0),
    List(IDC_BAR_WINDOW_TYPE, kWindowTypes, 4),    List(IDC_BAR_WINDOW_WIDTH, kWindowWidth, 4),
    List(IDC_BAR_WINDOW_HEIGHT, kWindowHeight, 2), List(IDC_BAR_WINDOW_LOCATION, kWindowLocation, 0),
    List(IDC_BAR_CEILING, kCeiling, 5),            List(IDC_BAR_FLOOR, kFloor, 3),
    List(IDC_BAR_ROOM_NAME, kRoomNames, 1),
};

// The view's editing mode of each tool.
int ModeOfTool(int tool) {
  switch (tool) {
    case PLAN_TOOL_ZOOM: return PLAN_MODE_ZOOM;
    case PLAN_TOOL_PAN: return PLAN_MODE_PAN;
    case PLAN_TOOL_WALL: return PLAN_MODE_WALL;
    case PLAN_TOOL_DOOR: return PLAN_MODE_DOOR;
    case PLAN_TOOL_WINDOW: return PLAN_MODE_WINDOW;
    case PLAN_TOOL_ROOM: return PLAN_MODE_ROOM;
    default: return PLAN_MODE_SELECT;
  }
}

struct Label {
  UINT id;
  const char* text;
};
const Label kLabels[] = {
    {IDC_BAR_WALL_THICKNESS_LABEL, "두께"}, {IDC_BAR_WALL_HEIGHT_LABEL, "높이"},
    {IDC_BAR_DOOR_TYPE_LABEL, "종류"},      {IDC_BAR_DOOR_WIDTH_LABEL, "넓이"},
    {IDC_BAR_DOOR_HEIGHT_LABEL, "높이"},    {IDC_BAR_DOOR_LOCATION_LABEL, "위치"},
    {IDC_BAR_WINDOW_TYPE_LABEL, "종류"},    {IDC_BAR_WINDOW_WIDTH_LABEL, "넓이"},
    {IDC_BAR_WINDOW_HEIGHT_LABEL, "높이"},  {IDC_BAR_WINDOW_LOCATION_LABEL, "위치"},
    {IDC_BAR_CEILING_LABEL, "천정높이"},    {IDC_BAR_FLOOR_LABEL, "바닥높이"},
    {IDC_BAR_ROOM_NAME_LABEL, "이름"},
};

// The fields (labels and combos) each tool shows.
struct ToolFields {
  int tool;
  UINT ids[8];
};
const ToolFields kToolFields[] = {
    {PLAN_TOOL_WALL,
     {IDC_BAR_WALL_THICKNESS_LABEL, IDC_BAR_WALL_HEIGHT_LABEL, IDC_BAR_WALL_THICKNESS, IDC_BAR_WALL_HEIGHT}},
    {PLAN_TOOL_DOOR,
     {IDC_BAR_DOOR_TYPE_LABEL, IDC_BAR_DOOR_WIDTH_LABEL, IDC_BAR_DOOR_HEIGHT_LABEL, IDC_BAR_DOOR_LOCATION_LABEL,
      IDC_BAR_DOOR_TYPE, IDC_BAR_DOOR_WIDTH, IDC_BAR_DOOR_HEIGHT, IDC_BAR_DOOR_LOCATION}},
    {PLAN_TOOL_WINDOW,
     {IDC_BAR_WINDOW_TYPE_LABEL, IDC_BAR_WINDOW_WIDTH_LABEL, IDC_BAR_WINDOW_HEIGHT_LABEL,
      IDC_BAR_WINDOW_LOCATION_LABEL, IDC_BAR_WINDOW_TYPE, IDC_BAR_WINDOW_WIDTH, IDC_BAR_WINDOW_HEIGHT,
      IDC_BAR_WINDOW_LOCATION}},
    {PLAN_TOOL_ROOM,
     {IDC_BAR_CEILING_LABEL, IDC_BAR_FLOOR_LABEL, IDC_BAR_ROOM_NAME_LABEL, IDC_BAR_CEILING, IDC_BAR_FLOOR,
      IDC_BAR_ROOM_NAME}},
};

// The images of a button: normal, down, hover, disabled (0 for none).
struct ButtonLook {
  UINT id;
  int x, y, cx, cy;
  UINT normal, down, hover, disabled;
  const char* tip;
  bool push;
};

int ParsedText(CWnd* field) {
  CString text;
  if (field) field->GetWindowText(text);
  return ParseBarMillimetres(text);
}

}  // namespace

CPlanBar::CPlanBar() = default;

CPlanBar* CPlanBar::OfView(const CWnd* view) {
  CFrameWnd* frame = view ? view->GetParentFrame() : nullptr;
  if (!frame) return nullptr;
  CWnd* bar = CWnd::FromHandlePermanent(::GetDlgItem(frame->m_hWnd, IDD_BAR));
  return bar && bar->IsKindOf(RUNTIME_CLASS(CPlanBar)) ? static_cast<CPlanBar*>(bar) : nullptr;
}

int CPlanBar::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CControlBar::OnCreate(lpcs) == -1) return -1;
  if (!m_tooltip.Create(this, 0x50000001)) return -1;
  SetBackground(IDB_BAR_BACKGROUND, kTile);
  return 0;
}

void CPlanBar::DoDataExchange(CDataExchange* pDX) {
  for (int i = 0; i < 18; ++i) DDX_Control(pDX, static_cast<int>(kButtonIds[i]), m_buttons[i]);
}

CHoverButton& CPlanBar::Button(UINT id) {
  for (int i = 0; i < 18; ++i)
    if (kButtonIds[i] == id) return m_buttons[i];
  return m_buttons[0];
}

CTopView* CPlanBar::PlanView() const {
  CWnd* parent = GetParent();
  CWnd* pane = parent ? CWnd::FromHandlePermanent(::GetDlgItem(parent->m_hWnd, AFX_IDW_PANE_FIRST)) : nullptr;
  return pane && pane->IsKindOf(RUNTIME_CLASS(CTopView)) ? static_cast<CTopView*>(pane) : nullptr;
}

CVedraDoc* CPlanBar::PlanDocument() const {
  CTopView* view = PlanView();
  auto* doc = view ? static_cast<CVedraDoc*>(view->GetDocument()) : nullptr;
  return doc && doc->GetModel() ? doc : nullptr;
}

BOOL CPlanBar::OnInitBar() {
  CPictureDialogBar::OnInitBar();
  UpdateData(FALSE);
  const int screen = ::GetSystemMetrics(SM_CXSCREEN);
  PlaceMenuButtons();
  PlaceToolButtons();
  PlaceViewButtons(screen);
  FillFields();
  m_tooltip.Activate(TRUE);
  if (CTopView* view = PlanView()) view->SetBarLink(this);
  StoreToolValues();
  return 1;
}

void CPlanBar::PlaceMenuButtons() {
  const Label menus[] = {{IDC_BAR_FILE, "파일(&F)"}, {IDC_BAR_CONFIGURE, "환경설정(&C)"}, {IDC_BAR_HELP, "도움말(&H)"}};
  const int x[] = {5, 65, 149}, w[] = {60, 84, 72};
  for (int i = 0; i < 3; ++i) {
    CHoverButton& b = Button(menus[i].id);
    b.MoveWindow(x[i], 36, w[i], 15);
    b.SetWindowText(menus[i].text);
    b.SetAttributeC(nullptr);
    b.ShowText(TRUE);
  }
}

void CPlanBar::PlaceToolButtons() {
  const int x = m_leftEdge, w = ::GetSystemMetrics(SM_CXSCREEN);
  const ButtonLook looks[] = {
      {IDC_BAR_WALK, w - 494, 35, 400, 17, 3004, 0, 0, 0, "시뮬레이션", false},
      {IDC_BAR_DOOR, x, 3, 30, 30, 147, 149, 148, 0, "문달기", false},
      {IDC_BAR_WINDOW, x + 30, 3, 30, 30, 150, 152, 151, 0, "창문달기", false},
      {IDC_BAR_ROOM, x + 60, 3, 30, 30, 158, 156, 157, 0, "방만들기", false},
      {IDC_BAR_WALL, x + 90, 3, 30, 30, 153, 155, 154, 0, "벽그리기", false},
      {IDC_BAR_SELECT, w - 94, 0, 53, 52, 3001, 3000, 0, 0, "선택", false},
      {IDC_BAR_OPTION, w - 41, 0, 41, 52, 3003, 3002, 0, 0, "옵션", false},
  };
  for (const ButtonLook& l : looks) {
    CHoverButton& b = Button(l.id);
    b.MoveWindow(l.x, l.y, l.cx, l.cy);
    b.LoadStateBitmaps(l.normal, l.down, l.hover, 0, l.disabled, 0, 0, 0, 0, FALSE);
    b.SetTooltipText(l.tip);
    m_tooltip.AddTool(&b, l.tip);
  }
}

void CPlanBar::PlaceViewButtons(int right) {
  const int z = right - 340;
  CString enlarge, reduce;
  enlarge.Format("%s :100mm", "그리드확대");
  reduce.Format("%s :100mm", "그리드축소");
  const ButtonLook looks[] = {
      {IDC_BAR_ZOOM, z, 3, 30, 30, 3006, 3005, 0, 0, "확대축소", false},
      {IDC_BAR_PAN, z + 30, 3, 30, 30, 3008, 3007, 0, 0, "화면이동", false},
      {IDC_BAR_FIT, z + 60, 3, 30, 30, 3010, 3009, 0, 0, "전체보기", true},
      {IDC_BAR_UNDO, z + 90, 3, 30, 30, 3014, 3013, 0, 3027, "Zoom Undo", true},
      {IDC_BAR_REDO, z + 120, 3, 30, 30, 3012, 3011, 0, 3028, "Zoom Redo", true},
      {IDC_BAR_GRID_TYPE, z + 150, 3, 30, 30, IDB_GRID_LINES, IDB_GRID_DOTS, 0, 0, "그리드", false},
      {IDC_BAR_GRID_ENLARGE, z + 180, 3, 30, 30, 3016, 3015, 0, 3029, enlarge, true},
      {IDC_BAR_GRID_REDUCE, z + 210, 3, 30, 30, 3018, 3017, 0, 3030, reduce, true},
  };
  for (const ButtonLook& l : looks) {
    CHoverButton& b = Button(l.id);
    b.MoveWindow(l.x, l.y, l.cx, l.cy);
    b.LoadStateBitmaps(l.normal, l.down, l.hover, 0, l.disabled, 0, 0, 0, 0, FALSE);
    if (l.push) b.SetAttributeC(nullptr);
    b.SetTooltipText(l.tip);
    m_tooltip.AddTool(&b, l.tip);
  }
}

void CPlanBar::FillFields() {
  for (const FieldList& f : kFields) {
    auto* combo = static_cast<CComboBox*>(GetDlgItem(static_cast<int>(f.id)));
    if (!combo) continue;
    combo->ResetContent();
    CClientDC dc(combo);
    CFont* old = dc.SelectObject(combo->GetFont());
    int widest = 0;
    for (int i = 0; i < f.count; ++i) {
      combo->AddString(f.entries[i]);
      widest = std::max<int>(widest, dc.GetTextExtent(f.entries[i]).cx);
    }
    dc.SelectObject(old);
    combo->SetCurSel(f.selected);
    const int dropped = static_cast<int>(combo->SendMessage(CB_GETDROPPEDWIDTH));
    if (widest + 8 > dropped) combo->SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + 8));
  }
  for (const Label& l : kLabels) SetDlgItemText(static_cast<int>(l.id), l.text);
  for (const ToolFields& t : kToolFields) ShowFields(t.tool, false);
}

void CPlanBar::ShowFields(int tool, bool show) {
  for (const ToolFields& t : kToolFields) {
    if (t.tool != tool) continue;
    for (UINT id : t.ids) {
      CWnd* w = id ? GetDlgItem(static_cast<int>(id)) : nullptr;
      if (!w) continue;
      if (show) {
        w->EnableWindow(TRUE);
        ::SetWindowPos(w->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
      } else {
        ::SetWindowPos(w->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
      }
    }
  }
}

void CPlanBar::MoveToolButtons(int windowX, int roomX, int wallX) {
  const int x[] = {windowX, roomX, wallX};
  const UINT ids[] = {IDC_BAR_WINDOW, IDC_BAR_ROOM, IDC_BAR_WALL};
  for (int i = 0; i < 3; ++i)
    if (x[i] >= 0) Button(ids[i]).SetWindowPos(nullptr, x[i], 3, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL CPlanBar::PreTranslateMessage(MSG* pMsg) {
  if (m_tooltip.m_hWnd) m_tooltip.RelayEvent(pMsg);
  UpdateDialogControls(this, TRUE);
  return CPictureDialogBar::PreTranslateMessage(pMsg);
}

// ---- tools

bool CPlanBar::SwitchModeControls(int tool) {
  if (tool == m_activeTool) return false;
  if (m_activeTool != 0) {
    for (UINT id : {IDC_BAR_DOOR, IDC_BAR_WINDOW, IDC_BAR_ROOM, IDC_BAR_WALL, IDC_BAR_SELECT, IDC_BAR_ZOOM, IDC_BAR_PAN})
      Button(id).EnableWindow(TRUE);
    const UINT old[] = {0, IDC_BAR_ZOOM, IDC_BAR_PAN, IDC_BAR_WALL, IDC_BAR_DOOR, IDC_BAR_WINDOW, IDC_BAR_ROOM, IDC_BAR_SELECT};
    Button(old[m_activeTool]).SetHighlighted(FALSE);
    ShowFields(m_activeTool, false);
    if (m_activeTool == PLAN_TOOL_DOOR || m_activeTool == PLAN_TOOL_WINDOW || m_activeTool == PLAN_TOOL_ROOM)
      MoveToolButtons(m_leftEdge + 30, m_leftEdge + 60, m_leftEdge + 90);
  }
  ShowFields(PLAN_TOOL_WALL, tool == PLAN_TOOL_SELECT);
  m_activeTool = tool;
  return true;
}

bool CPlanBar::MayLeaveWallDrawing(UINT buttonId) {
  CVedraDoc* doc = PlanDocument();
  if (!doc || !doc->GetModel()->m_frame.IsDrawing()) return true;
  Button(buttonId).SetHighlighted(FALSE);  // the click toggled it; the tool stays as it was
  CWnd* frame = GetParent();
  ::MessageBoxA(frame ? frame->m_hWnd : nullptr, kWallDrawingRefusal, kVedraCaption, MB_ICONQUESTION | MB_TASKMODAL);
  RepaintView();
  return false;
}

void CPlanBar::TakeTool(int tool, UINT buttonId, bool disable) {
  CHoverButton& b = Button(buttonId);
  b.SetHighlighted(TRUE);
  if (disable) b.EnableWindow(FALSE);
  if (CTopView* view = PlanView()) view->SetEditMode(ModeOfTool(tool));
}

void CPlanBar::ClearSelection() {
  if (CVedraDoc* doc = PlanDocument()) doc->GetSelection().ClearPlanSelection();
}

void CPlanBar::RepaintView(BOOL erase) {
  if (CTopView* view = PlanView()) view->Invalidate(erase);
}

void CPlanBar::OnSelectTool() {
  CTopView* view = PlanView();
  if (view && view->GetEditMode() == PLAN_MODE_SELECT) {
    switch (m_lastTool) {
      case PLAN_TOOL_ZOOM: OnZoomTool(); break;
      case PLAN_TOOL_PAN: OnPanTool(); break;
      case PLAN_TOOL_DOOR: OnDoorTool(); break;
      case PLAN_TOOL_WINDOW: OnWindowTool(); break;
      case PLAN_TOOL_ROOM: OnRoomTool(); break;
      default: SetDefaultEditMode(); break;
    }
    return;
  }
  if (!MayLeaveWallDrawing(IDC_BAR_SELECT)) return;
  SwitchModeControls(PLAN_TOOL_SELECT);
  TakeTool(PLAN_TOOL_SELECT, IDC_BAR_SELECT, false);  // the view clears the selection
  RepaintView();
}

void CPlanBar::OnZoomTool() {
  if (!SwitchModeControls(PLAN_TOOL_ZOOM)) return;
  TakeTool(PLAN_TOOL_ZOOM, IDC_BAR_ZOOM, true);
  RepaintView();
  m_lastTool = PLAN_TOOL_ZOOM;
}

void CPlanBar::OnPanTool() {
  if (!SwitchModeControls(PLAN_TOOL_PAN)) return;
  TakeTool(PLAN_TOOL_PAN, IDC_BAR_PAN, true);
  RepaintView();
  m_lastTool = PLAN_TOOL_PAN;
}

void CPlanBar::SetDefaultEditMode() {
  if (!SwitchModeControls(PLAN_TOOL_WALL)) return;
  // Entering the wall mode clears the selection and marks the walls at the chain's end.
  TakeTool(PLAN_TOOL_WALL, IDC_BAR_WALL, true);
  ShowFields(PLAN_TOOL_WALL, true);
  RepaintView();
  m_lastTool = PLAN_TOOL_WALL;
}

void CPlanBar::OpeningTool(bool window) {
  if (!MayLeaveWallDrawing(window ? IDC_BAR_WINDOW : IDC_BAR_DOOR)) return;
  const int tool = window ? PLAN_TOOL_WINDOW : PLAN_TOOL_DOOR;
  if (!SwitchModeControls(tool)) return;
  // Entering the mode turns the opening back and takes the fields' opening.
  StoreToolValues();
  TakeTool(tool, window ? IDC_BAR_WINDOW : IDC_BAR_DOOR, true);
  ShowFields(tool, true);
  const int x = m_leftEdge;
  if (window) MoveToolButtons(-1, x + 615, x + 645);
  else MoveToolButtons(x + 570, x + 600, x + 630);
  RepaintView();
  m_lastTool = tool;
}

void CPlanBar::OnDoorTool() { OpeningTool(false); }

void CPlanBar::OnWindowTool() { OpeningTool(true); }

void CPlanBar::OnRoomTool() {
  if (!MayLeaveWallDrawing(IDC_BAR_ROOM)) return;
  if (!SwitchModeControls(PLAN_TOOL_ROOM)) return;
  TakeTool(PLAN_TOOL_ROOM, IDC_BAR_ROOM, true);
  ShowFields(PLAN_TOOL_ROOM, true);
  MoveToolButtons(-1, -1, m_leftEdge + 585);
  RepaintView();
  CWnd* name = GetDlgItem(IDC_BAR_ROOM_NAME);
  if (name && name->GetWindowTextLength() == 0) name->SetFocus();
  m_lastTool = PLAN_TOOL_ROOM;
}

void CPlanBar::SwitchTool(int tool) {
  switch (tool) {
    case PLAN_TOOL_ZOOM: OnZoomTool(); break;
    case PLAN_TOOL_PAN: OnPanTool(); break;
    case PLAN_TOOL_DOOR: OnDoorTool(); break;
    case PLAN_TOOL_WINDOW: OnWindowTool(); break;
    case PLAN_TOOL_ROOM: OnRoomTool(); break;
    case PLAN_TOOL_SELECT: OnSelectTool(); break;
    default: SetDefaultEditMode(); break;
  }
}

void CPlanBar::ShowToolValues(const PlanToolValues& values) {
  const struct {
    UINT id;
    int32_t value;
  } lengths[] = {{IDC_BAR_WALL_THICKNESS, values.wallThickness}, {IDC_BAR_WALL_HEIGHT, values.wallHeight},
                 {IDC_BAR_CEILING, values.roomHeight},          {IDC_BAR_FLOOR, values.floorLevel},
                 {IDC_BAR_DOOR_WIDTH, values.door.width},       {IDC_BAR_DOOR_HEIGHT, values.door.height},
                 {IDC_BAR_DOOR_LOCATION, values.door.location}, {IDC_BAR_WINDOW_WIDTH, values.window.width},
                 {IDC_BAR_WINDOW_HEIGHT, values.window.height}, {IDC_BAR_WINDOW_LOCATION, values.window.location}};
  for (const auto& l : lengths) {
    CString text;
    text.Format("%dmm", l.value);
    SetDlgItemText(static_cast<int>(l.id), text);
  }
  if (auto* door = static_cast<CComboBox*>(GetDlgItem(IDC_BAR_DOOR_TYPE))) door->SetCurSel(values.door.type);
  if (auto* window = static_cast<CComboBox*>(GetDlgItem(IDC_BAR_WINDOW_TYPE))) window->SetCurSel(values.window.type);
}

void CPlanBar::GridChanged(int32_t spacing) { UpdateGridTooltips(spacing); }

// ---- fields

int32_t CPlanBar::ParseMillimetres(UINT id, float* target, bool minimumZero) {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(static_cast<int>(id)));
  if (!combo) return 0;
  const DWORD sel = static_cast<DWORD>(combo->SendMessage(CB_GETEDITSEL));
  CString text;
  combo->GetWindowText(text);
  const RewrittenLength r =
      RewriteLength(text, static_cast<int>(LOWORD(sel)), minimumZero ? std::optional<int32_t>(0) : std::nullopt);
  if (target) *target = static_cast<float>(r.value);
  combo->SetWindowText(r.text);
  combo->SetEditSel(r.caret, r.caret);
  StoreToolValues();
  RepaintView();
  return r.value;
}

void CPlanBar::StoreToolValues() {
  CTopView* view = PlanView();
  if (!view) return;
  PlanToolValues t = view->GetToolValues();
  t.wallThickness = std::max(0, ParsedText(GetDlgItem(IDC_BAR_WALL_THICKNESS)));
  t.wallHeight = ParsedText(GetDlgItem(IDC_BAR_WALL_HEIGHT));
  t.roomHeight = ParsedText(GetDlgItem(IDC_BAR_CEILING));
  t.floorLevel = ParsedText(GetDlgItem(IDC_BAR_FLOOR));
  const struct {
    PlanOpeningValues* values;
    UINT type, width, height, location;
  } openings[] = {{&t.door, IDC_BAR_DOOR_TYPE, IDC_BAR_DOOR_WIDTH, IDC_BAR_DOOR_HEIGHT, IDC_BAR_DOOR_LOCATION},
                  {&t.window, IDC_BAR_WINDOW_TYPE, IDC_BAR_WINDOW_WIDTH, IDC_BAR_WINDOW_HEIGHT, IDC_BAR_WINDOW_LOCATION}};
  for (const auto& o : openings) {
    auto* type = static_cast<CComboBox*>(GetDlgItem(static_cast<int>(o.type)));
    o.values->type = std::max(0, type ? type->GetCurSel() : 0);
    o.values->width = ParsedText(GetDlgItem(static_cast<int>(o.width)));
    o.values->height = ParsedText(GetDlgItem(static_cast<int>(o.height)));
    o.values->location = ParsedText(GetDlgItem(static_cast<int>(o.location)));
  }
  view->SetToolValues(t);
}

void CPlanBar::OnLengthTyped(UINT id) {
  ParseMillimetres(id, nullptr, id == IDC_BAR_WALL_THICKNESS);
}

void CPlanBar::OnOpeningSizeTyped(UINT id) {
  const bool window = id >= IDC_BAR_WINDOW_WIDTH;
  ParseMillimetres(id, nullptr, true);
  ApplyOpeningSettings(window);
}

void CPlanBar::OnOpeningSizeChosen(UINT id) {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(static_cast<int>(id)));
  if (!combo) return;
  const int sel = combo->GetCurSel();
  CString entry;
  if (sel >= 0) combo->GetLBText(sel, entry);
  CString text;
  text.Format("%dmm", sel >= 0 ? ParseBarMillimetres(entry) : 0);
  combo->SetWindowText(text);
  RepaintView();
  ApplyOpeningSettings(id >= IDC_BAR_WINDOW_WIDTH);
}

void CPlanBar::ApplyOpeningSettings(bool window) {
  CTopView* view = PlanView();
  if (!view) return;
  StoreToolValues();
  view->ApplyOpeningSettings(window ? PLAN_MODE_WINDOW : PLAN_MODE_DOOR);
}

// ---- view buttons

void CPlanBar::OnUndo() {
  if (CTopView* view = PlanView()) view->UndoViewChange();
}

void CPlanBar::OnRedo() {
  if (CTopView* view = PlanView()) view->RedoViewChange();
}

void CPlanBar::OnUpdateUndo(CCmdUI* pCmdUI) {
  CTopView* view = PlanView();
  pCmdUI->Enable(view && view->CanUndoViewChange());
}

void CPlanBar::OnUpdateRedo(CCmdUI* pCmdUI) {
  CTopView* view = PlanView();
  pCmdUI->Enable(view && view->CanRedoViewChange());
}

void CPlanBar::OnUpdateGridEnlarge(CCmdUI* pCmdUI) {
  CTopView* view = PlanView();
  pCmdUI->Enable(view && CanEnlargeGrid(*view));
}

void CPlanBar::OnUpdateGridReduce(CCmdUI* pCmdUI) {
  CTopView* view = PlanView();
  pCmdUI->Enable(view && CanReduceGrid(*view));
}

void CPlanBar::OnGridType() {
  CHoverButton& b = Button(IDC_BAR_GRID_TYPE);
  const bool dots = b.IsDown() != FALSE;
  GetShell().GetPlanWindowSettings().gridStyle = dots ? 1 : 3;
  CString tip;
  tip.Format("%s : %s", "그리드", dots ? "점" : "선");
  b.SetTooltipText(tip);
  m_tooltip.UpdateTipText(tip, &b);
  RepaintView();
}

void CPlanBar::UpdateGridTooltips(int32_t spacing) {
  const struct {
    UINT id;
    const char* name;
  } tips[] = {{IDC_BAR_GRID_ENLARGE, "그리드확대"}, {IDC_BAR_GRID_REDUCE, "그리드축소"}};
  for (const auto& t : tips) {
    CString text;
    text.Format("%s :%dmm", t.name, spacing);
    Button(t.id).SetTooltipText(text);
    m_tooltip.UpdateTipText(text, &Button(t.id));
  }
}

void CPlanBar::OnGridEnlarge() {
  if (CTopView* view = PlanView()) {
    EnlargeGrid(*view);
    UpdateGridTooltips(view->GetGridSpacing());
  }
}

void CPlanBar::OnGridReduce() {
  if (CTopView* view = PlanView()) {
    ReduceGrid(*view);
    UpdateGridTooltips(view->GetGridSpacing());
  }
}

void CPlanBar::OnGridSetting() {
  CTopView* view = PlanView();
  if (!view) return;
  CGridSettingDlg dialog(view->GetGridSpacing(), GetParent());
  if (dialog.DoModal() != IDOK) return;
  view->SetGridSpacing(dialog.m_spacing);
  UpdateGridTooltips(view->GetGridSpacing());
  view->Invalidate(FALSE);
}

void CPlanBar::OnFitAll() {
  CTopView* view = PlanView();
  CVedraDoc* doc = PlanDocument();
  if (!view || !doc) return;
  if (FitPlanView(*view, doc->GetModel()->m_frame)) view->Invalidate(FALSE);
  UpdateGridTooltips(view->GetGridSpacing());
}

void CPlanBar::OnWalkThrough() {
  if (!MayLeaveWallDrawing(IDC_BAR_WALK)) return;
  ClearSelection();
  GetShell().SwitchFrame(SWITCH_3D);
  RepaintView();
  GetShell().RefreshSimView(0);
}

void CPlanBar::OnFileMenu() { Button(IDC_BAR_FILE).TrackMenu(IDR_MENU_KOREAN, 0, 0, 215, 0); }

void CPlanBar::OnConfigureMenu() { Button(IDC_BAR_CONFIGURE).TrackMenu(IDR_MENU_KOREAN, 0, 0, 61, 4); }

void CPlanBar::OnHelpMenu() { Button(IDC_BAR_HELP).TrackMenu(IDR_MENU_KOREAN, 0, 0, 115, 5); }
