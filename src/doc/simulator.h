// What the document asks of the 3D simulator: loading the model's scene into the toolkit, cutting
// the scene loose from the toolkit and deleting its nodes when the model goes, the camera pose
// kept as the model's start view, the exterior controls and the 3D selection.
//
// The 3D side (src/view3d) implements it and installs it with SetSimulator at start-up; until
// then (and after SetSimulator(nullptr)) a simulator without a 3D view answers: it loads nothing
// and leaves the start pose as it is.
#pragma once
#include <cstdint>

#include "toolkit/wt.h"

class CProgressWnd;
class Scene;

class SimulatorServices {
public:
  virtual ~SimulatorServices() = default;

  // Loads the scene into the toolkit below the root, object by object, then tells the main
  // window that the model is ready (WM_VEDRA_MODELREADY with the switch code of the model's
  // kind). 1 on success, 0 when there is nothing to load into.
  virtual int LoadIntoSimulator(Scene& scene, CProgressWnd* progress, uint32_t parameter) = 0;
  // Cuts every object of the scene loose from its toolkit nodes.
  virtual void DetachAllNodes(Scene& scene) = 0;
  // Deletes the toolkit nodes below the node (the scene below the roots when a model goes).
  virtual void DeleteNodeTree(WTnode* node) = 0;
  // The camera pose of the active 3D view (position, then orientation as a quaternion), which
  // the model keeps as its start view.
  virtual void GetSelectedNodePose(float pose[7]) = 0;
  // The 3D frame's exterior controls, shown for every model kind but interior.
  virtual void ShowExteriorControls(uint32_t kind) = 0;
  // The 3D view lets its picked object go.
  virtual void ClearSelection() = 0;
};

SimulatorServices& GetSimulator();
// Installs the simulator (not owned); null restores the simulator without a 3D view.
void SetSimulator(SimulatorServices* simulator);
