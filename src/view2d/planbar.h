// The plan control bar along the bottom of the plan frame: the editing tools (select, walls,
// rooms, doors, windows, zoom, pan) with the fields of the active tool next to its button, the
// view buttons (fit, view undo and redo, grid type, grid enlarge and reduce), the walk-through
// and the File, Configure and Help menus. It sets the plan view's mode and tool values.
#pragma once
#include <cstdint>

#include "afx/afxwin.h"
#include "controls/hoverbutton.h"
#include "controls/picturebar.h"
#include "view2d/plantools.h"

class CTopView;
class CVedraDoc;

class CPlanBar : public CPictureDialogBar, public PlanBarLink {
  DECLARE_DYNAMIC(CPlanBar)
public:
  CPlanBar();

  // The bar of the frame that holds the view; null when it has none.
  static CPlanBar* OfView(const CWnd* view);

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitBar() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The wall tool: the view's first update, a loaded scene.
  void SetDefaultEditMode();
  // Zooms the view to the whole plan.
  void OnFitAll();
  // The Grid Setting dialog on the view's grid spacing.
  void OnGridSetting();
  // What the view tells the bar (PlanBarLink).
  void ShowToolValues(const PlanToolValues& values) override;
  void SwitchTool(int tool) override;
  void GridChanged(int32_t spacing) override;
  int GetActiveTool() const { return m_activeTool; }
  int GetLastTool() const { return m_lastTool; }

protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnSelectTool();
  afx_msg void OnOption() {}
  afx_msg void OnZoomTool();
  afx_msg void OnPanTool();
  afx_msg void OnWallTool() { SetDefaultEditMode(); }
  afx_msg void OnDoorTool();
  afx_msg void OnWindowTool();
  afx_msg void OnRoomTool();
  afx_msg void OnFitButton() { OnFitAll(); }
  afx_msg void OnUndo();
  afx_msg void OnRedo();
  afx_msg void OnGridType();
  afx_msg void OnGridEnlarge();
  afx_msg void OnGridReduce();
  afx_msg void OnWalkThrough();
  afx_msg void OnFileMenu();
  afx_msg void OnConfigureMenu();
  afx_msg void OnHelpMenu();
  afx_msg void OnUpdateNothing(CCmdUI*) {}
  afx_msg void OnUpdateUndo(CCmdUI* pCmdUI);
  afx_msg void OnUpdateRedo(CCmdUI* pCmdUI);
  afx_msg void OnUpdateGridEnlarge(CCmdUI* pCmdUI);
  afx_msg void OnUpdateGridReduce(CCmdUI* pCmdUI);
  afx_msg void OnDoorType() { ApplyOpeningSettings(false); }
  afx_msg void OnWindowType() { ApplyOpeningSettings(true); }
  afx_msg void OnOpeningSizeChosen(UINT id);
  afx_msg void OnOpeningSizeTyped(UINT id);
  afx_msg void OnLengthTyped(UINT id);
  DECLARE_MESSAGE_MAP()

private:
  CTopView* PlanView() const;
  CVedraDoc* PlanDocument() const;
  CHoverButton& Button(UINT id);
  // Lays out the buttons and fills the fields (OnInitBar's steps).
  void PlaceMenuButtons();
  void PlaceToolButtons();
  void PlaceViewButtons(int right);
  void FillFields();
  void ShowFields(int tool, bool show);
  // Moves the tool buttons right of the door, window or room tool's fields (or back).
  void MoveToolButtons(int windowX, int roomX, int wallX);
  // The switch to a tool; false when it is the active one already.
  bool SwitchModeControls(int tool);
  // True when no wall is being drawn; otherwise the refusal message, and the button clicked
  // comes up again.
  bool MayLeaveWallDrawing(UINT buttonId);
  // Holds the tool's button down (and disables it) and sets the view's mode.
  void TakeTool(int tool, UINT buttonId, bool disable);
  void OpeningTool(bool window);
  void ClearSelection();
  void RepaintView(BOOL erase = FALSE);
  // The field's length rewritten as "%dmm" with the caret kept in the number; the value. The
  // view's tool values follow.
  int32_t ParseMillimetres(UINT id, float* target, bool minimumZero);
  void ApplyOpeningSettings(bool window);
  void UpdateGridTooltips(int32_t spacing);
  void StoreToolValues();

  CHoverButton m_buttons[18];
  int m_lastTool = 0;
  int m_activeTool = 0;
  int m_leftEdge = 5;
  CToolTipCtrl m_tooltip;
};
