#include "doc/simulator.h"

namespace {

// The simulator while no 3D side is installed.
class NoSimulator : public SimulatorServices {
public:
  int LoadIntoSimulator(Scene&, CProgressWnd*, uint32_t) override { return 0; }
  void DetachAllNodes(Scene&) override {}
  void DeleteNodeTree(WTnode*) override {}
  void GetSelectedNodePose(float[7]) override {}
  void ShowExteriorControls(uint32_t) override {}
  void ClearSelection() override {}
};

NoSimulator g_noSimulator;
SimulatorServices* g_simulator = nullptr;

}  // namespace

SimulatorServices& GetSimulator() { return g_simulator ? *g_simulator : g_noSimulator; }

void SetSimulator(SimulatorServices* simulator) { g_simulator = simulator; }
