// The 3D view: the walk-through of the document. It hosts the toolkit window, keeps the handles
// of the toolkit scene it built on its first initial update (simview_core.h), runs one toolkit
// frame on every timer tick, and lets its scene go when it is destroyed. The mouse moves the
// viewpoint and the avatar only while the view is active, and a view that is not active is not
// drawn.
//
// The 3D side is also the document's simulator (doc/simulator.h), installed at start-up.
#pragma once
#include "afx/afxwin.h"
#include "view3d/simview_core.h"

class C3DFrame;
class Scene;

class C3DView : public CView {
  DECLARE_DYNCREATE(C3DView)
public:
  C3DView();
  ~C3DView() override;

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  void OnInitialUpdate() override;
  void OnDraw(CDC*) override {}
  void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
  // Prints the scene capture of the temporary folder over the page, when there is one.
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;

  // Lets the picked object and the selected node go.
  void ClearSelection();
  SimViewHandles& Handles() { return m_sim; }
  // The document's scene; null without a model.
  Scene* GetScene() const;
  // The frame's bar: the grid's state and the view direction.
  int GetGridState() const;
  bool IsTopView() const;

protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  C3DFrame* Frame() const;
  void BuildSimulation();

  SimViewHandles m_sim;
};

// The active view of the shell's 3D frame; null while there is none.
C3DView* GetActiveSimView();

// Installs the 3D side as the document's simulator.
void InstallSimulator();
