#include "view3d/sim_standin.h"

#include <cmath>

#include "doc/shell.h"
#include "doc/simulator.h"
#include "models/model.h"

IMPLEMENT_DYNCREATE(C3DFrame, CMDIChildWnd)
IMPLEMENT_DYNCREATE(C3DView, CView)

BEGIN_MESSAGE_MAP(C3DFrame, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

int C3DFrame::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CMDIChildWnd::OnCreate(lpcs) == -1) return -1;
  GetShell().AttachFrame(ACTIVE_3D, this);
  return 0;
}

void C3DFrame::OnDestroy() {
  GetShell().DetachFrame(ACTIVE_3D, this);
  CMDIChildWnd::OnDestroy();
}

namespace {

class SimulatorStandIn : public SimulatorServices {
public:
  // Nothing is loaded yet: the main window hears at once that the model is ready, with the
  // switch code of the model's kind (0xFF00 interior, else 0xFF01).
  int LoadIntoSimulator(Scene& scene, CProgressWnd*, uint32_t) override {
    CWnd* main = GetShell().GetMainWindow();
    if (!main) return 0;
    const uint32_t kind = scene.m_pOwner ? scene.m_pOwner->m_modelKind : 0xFF00;
    main->SendMessage(WM_VEDRA_MODELREADY, kind == 0xFF00 ? SWITCH_PLAN : SWITCH_3D, 0);
    return 1;
  }
  void DetachAllNodes(Scene&) override {}
  void DeleteNodeTree(WTnode*) override {}
  // The start pose (3000, -1200, 0) looking along -y: Euler angles (0, -pi/2, 0), a turn of
  // -pi/2 about y.
  void GetSelectedNodePose(float pose[7]) override {
    const float half = -0.78539816f;
    const float values[7] = {3000.0f, -1200.0f, 0.0f, 0.0f, std::sin(half), 0.0f, std::cos(half)};
    for (int i = 0; i < 7; i++) pose[i] = values[i];
  }
  void ShowExteriorControls(uint32_t) override {}
  void ClearSelection() override {}
};

SimulatorStandIn g_standIn;

}  // namespace

void InstallSimulator() { SetSimulator(&g_standIn); }

void RefreshSimView(int) {}

void CreatePresetLights(C3DView*) {}
