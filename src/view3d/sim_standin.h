// The 3D simulator as far as the application shell needs it until the simulator itself exists:
// a hidden 3D frame with an empty view for each model, the scene loader's hand-back to the main
// frame, and the calls the shell makes into the simulator, which find nothing to do yet.
#pragma once
#include <cstdint>

#include "afx/afxwin.h"
#include "toolkit/wt.h"

class CMainFrame;
class CProgressWnd;
class Scene;

// The 3D frame cannot be shown yet: a switch to it keeps the plan frame.
constexpr bool kSimFrameShows = false;

class C3DFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(C3DFrame)
public:
  int m_avatarShown = 0;

protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()
};

class C3DView : public CView {
  DECLARE_DYNCREATE(C3DView)
public:
  void OnDraw(CDC*) override {}
  void ClearSelection() {}
  WTnode* m_pAvatar = nullptr;
};

// Loads the scene into the toolkit and sends the main frame WM_APP+2 with the switch code of the
// model's kind (0xFF00 interior, else 0xFF01).
int LoadIntoSimulator(Scene& scene, CProgressWnd* progress, uint32_t parameter);
void DetachAllNodes(Scene& scene);
void DeleteNodeTree(WTnode* node);
// The camera pose of the active 3D view, or the start pose (3000, -1200, 0) looking along -y.
void GetSelectedNodePose(float pose[7]);
void RefreshSimView(int state);
void CreatePresetLights(C3DView* view);
// Shows the 3D frame's exterior controls for every kind but interior.
void SimShowExteriorControls(CMainFrame* frame, uint32_t kind);
void SimClearSelection(C3DFrame* frame);
