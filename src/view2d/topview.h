// The plan view: the document's plan drawn to scale over its grid and axes, double-buffered,
// with its zoom, grid and pan state and their undo and redo. Every mouse, key, timer and cursor
// message goes to the handler of the current editing mode (planmodes.h).
#pragma once
#include <memory>

#include "afx/afxwin.h"
#include "view2d/planmodes.h"
#include "view2d/plantools.h"
#include "view2d/planview_core.h"

class Frame;
class CVedraDoc;
class HoleInstance;
class Wall;

class CTopView : public CView {
  DECLARE_DYNCREATE(CTopView)
public:
  ~CTopView() override;
  void OnDraw(CDC* pDC) override;
  void OnInitialUpdate() override;
  // Printing (planprint.cpp): one page, the scene capture when there is one, then the plan
  // fitted to the page.
  BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
  void DrawForPrinter(CDC& printer);

  // Zoom 2.0, grid 100, the plan origin in the middle of the client area.
  void ResetPlanView();
  // Swap the view state with the top of the undo (redo) stack; false when it is empty.
  bool UndoViewChange();
  bool RedoViewChange();

  // Enters an editing mode as the bar's tool buttons do. While a chain of walls is being drawn
  // the select, room, door and window modes are refused with a message (false).
  bool SetEditMode(int mode);
  // The door (PLAN_MODE_DOOR) or window table entry of the bar's type becomes the opening to
  // place, sized by the bar's values.
  void ApplyOpeningSettings(int mode);
  // Forgets the opening to place (a shared entry of the kind tables, never deleted here).
  void ReleaseOpening();

  CVedraDoc* PlanDocument() const;
  Frame* PlanFrame() const;
  CSize ClientSize() const;
  PlanZoomSettings ZoomSettings() const;
  // Maps a DC to this view (PreparePlanDC with the view's state and the plan offset).
  void PrepareMapping(CDC& dc) const;
  // The grid spacing changed: the bar's tooltips follow.
  void GridChanged();

  // What the plan bar reads and sets of the view.
  void SetBarLink(PlanBarLink* bar) { m_pBar = bar; }
  int GetEditMode() const { return m_mode; }
  const PlanToolValues& GetToolValues() const { return m_tools; }
  void SetToolValues(const PlanToolValues& values) { m_tools = values; }
  int32_t GetGridSpacing() const { return m_state.grid; }
  void SetGridSpacing(int32_t spacing) { m_state.grid = spacing; }
  bool CanUndoViewChange() const { return m_history.UndoCount() > 0; }
  bool CanRedoViewChange() const { return m_history.RedoCount() > 0; }

  CToolTipCtrl m_tooltip;  // one tool over the whole view, its text asked for when shown
  PlanViewState m_state;
  PlanViewHistory m_history;
  int m_mode = PLAN_MODE_NONE;
  CPoint m_lastMouse;
  PlanToolValues m_tools;
  PlanBarLink* m_pBar = nullptr;  // not owned; null without a bar

  HoleInstance* m_pOpening = nullptr;  // what the door and window modes place, not owned
  int m_orientation = 0;               // bit 0 mirrored, bit 1 turned by 180 degrees
  Wall* m_pWallUnderCursor = nullptr;  // not owned
  std::unique_ptr<CRect> m_zoomRect;   // device
  std::unique_ptr<CPoint> m_panPoint;  // device
  std::unique_ptr<CPoint> m_zoomCentre;    // device
  std::unique_ptr<CPoint> m_selectAnchor;  // plan
  std::unique_ptr<CRect> m_selectRect;     // device
  std::unique_ptr<CPoint> m_openingPoint;  // logical
  std::unique_ptr<PlanViewState> m_pendingUndo;

protected:
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnMButtonDown(UINT flags, CPoint point);
  afx_msg void OnMButtonUp(UINT flags, CPoint point);
  afx_msg void OnRButtonDown(UINT flags, CPoint point);
  afx_msg void OnRButtonUp(UINT flags, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnTimer(UINT_PTR id);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  DECLARE_MESSAGE_MAP()

private:
  // Runs the mode's mouse handler with fresh DCs; default handling without one.
  void DispatchMouse(PlanMouseHandler PlanModeHandlers::*entry, UINT flags, CPoint point,
                     UINT buttonFlag);
  void EnterMode(int mode);
  void CreateTooltip();
};
