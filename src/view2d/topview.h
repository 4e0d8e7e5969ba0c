// The plan view: the document's plan drawn to scale over its grid and axes, double-buffered,
// with its zoom, grid and pan state and their undo and redo. The mouse draws walls: each left
// click adds a wall to the chain, the free end follows the mouse, Escape or the middle button
// takes the last wall back, a right click joins the chain into the plan.
#pragma once
#include "afx/afxwin.h"
#include "view2d/planview_core.h"
#include "view2d/plantools.h"

class Frame;
class CVedraDoc;

// Editing modes of the plan view.
enum : int { PLAN_MODE_NONE = 3, PLAN_MODE_WALL = 6 };

// Fields of the plan bar that the wall mode reads ("%dmm").
constexpr int IDC_PLAN_WALL_THICKNESS = 4044;
constexpr int IDC_PLAN_WALL_HEIGHT = 4047;

// Marks the walls joined at the start of the chain's last wall (they show their lengths).
void MarkWallsAtChainEnd(CVedraDoc& doc, const Frame& frame);

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

  PlanViewState m_state;
  PlanViewHistory m_history;
  int m_mode = PLAN_MODE_NONE;
  // The active tool of the plan bar and its values, written by the bar.
  PlanToolValues m_tools;
  CPoint m_lastMouse;

protected:
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnMButtonDown(UINT flags, CPoint point);
  afx_msg void OnRButtonDown(UINT flags, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  DECLARE_MESSAGE_MAP()

private:
  CVedraDoc* PlanDocument() const;
  Frame* PlanFrame() const;
  CSize ClientSize() const;
  // A client point as a plan point: converted, snapped (not with Shift), plus the plan offset.
  CPoint ToPlan(CPoint client, UINT flags) const;
  void TakeBackLastWall();
};
