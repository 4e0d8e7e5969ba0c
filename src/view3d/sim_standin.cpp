#include "view3d/sim_standin.h"

#include <cmath>

#include "app/mainfrm.h"
#include "models/model.h"

IMPLEMENT_DYNCREATE(C3DFrame, CMDIChildWnd)
IMPLEMENT_DYNCREATE(C3DView, CView)

BEGIN_MESSAGE_MAP(C3DFrame, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

int C3DFrame::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CMDIChildWnd::OnCreate(lpcs) == -1) return -1;
  if (CMainFrame* frame = GetMainFrame()) frame->m_pSimFrame = this;
  return 0;
}

void C3DFrame::OnDestroy() {
  if (CMainFrame* frame = GetMainFrame(); frame && frame->m_pSimFrame == this) frame->m_pSimFrame = nullptr;
  CMDIChildWnd::OnDestroy();
}

int LoadIntoSimulator(Scene& scene, CProgressWnd*, uint32_t) {
  CMainFrame* frame = GetMainFrame();
  if (!frame) return 0;
  const uint32_t kind = scene.m_pOwner ? scene.m_pOwner->m_modelKind : 0xFF00;
  frame->SendMessage(WM_VEDRA_MODELREADY, kind == 0xFF00 ? 0xFF00 : 0xFF01, 0);
  return 1;
}

void DetachAllNodes(Scene&) {}

void DeleteNodeTree(WTnode*) {}

void GetSelectedNodePose(float pose[7]) {
  // Euler angles (0, -pi/2, 0): a turn of -pi/2 about y.
  const float half = -0.78539816f;
  const float values[7] = {3000.0f, -1200.0f, 0.0f, 0.0f, std::sin(half), 0.0f, std::cos(half)};
  for (int i = 0; i < 7; i++) pose[i] = values[i];
}

void RefreshSimView(int) {}

void CreatePresetLights(C3DView*) {}

void SimShowExteriorControls(CMainFrame*, uint32_t) {}

void SimClearSelection(C3DFrame*) {}
