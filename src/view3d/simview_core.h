// The 3D view's toolkit scene without its window: the handles the view keeps, the fixed
// skeleton below the root (light groups, fog, avatar), the mouse links, the avatar's pose,
// framing a node, moving a scene node, the redraw request and the ground grid's geometry.
#pragma once
#include <cstdint>
#include <vector>

#include "afx/afx.h"
#include "toolkit/wt.h"
#include "view3d/nodedata.h"

class Scene;
class SceneNode;

// The start pose of every view and scene: position (3000, -1200, 0), looking along the plan's
// -y (Euler angles (0, -pi/2, 0)).
void GetStartPose(float pose[7]);

// The handles of one view's toolkit scene. A node that DeleteNodeTree deletes is forgotten here
// (with the avatar goes its motion link).
class SimViewHandles : public NodeHandleHolder {
public:
  SimViewHandles();
  void ForgetNode(WTnode* node) override;
  // Enables or disables both mouse links; absent links are skipped.
  void EnableLinks(bool on);
  // Deletes the root's tree, keeping the root, and detaches the scene (if any) from the nodes
  // that went with it.
  void DeleteSceneNodes(Scene* scene);
  // Forgets every handle (the view's scene is gone); the scene stays built.
  void ClearHandles();

  WTnode* root = nullptr;
  WTwindow* window = nullptr;
  WTviewpoint* viewpoint = nullptr;
  WTmotionlink* viewpointLink = nullptr;  // mouse sensor to viewpoint
  WTmotionlink* avatarLink = nullptr;     // mouse sensor to avatar
  WTnode* lightsGroup = nullptr;
  WTnode* objectLightGroup = nullptr;
  WTnode* spare = nullptr;
  WTnode* avatar = nullptr;
  WTnode* selected = nullptr;
  WTnode* fog = nullptr;
  NodeUserData* picked = nullptr;
  float startPose[7] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  // The toolkit scene is built once per view, however often its initial update runs.
  bool built = false;
};

// The avatar's pose record: avatar position and orientation, saved viewpoint position and
// orientation.
constexpr int kAvatarPoseFloats = 14;

// Below the root: "Lights Group" (with "Light Group Transform") and "Object Light Group".
void CreateLightGroups(WTnode* root, WTnode** lights, WTnode** objectLights);
// "Fog" below the root: white, density 10, mode 2.
void CreateFogNode(WTnode* root, WTnode** fog);
// "Avatar" below the root with its body loaded from the system folder's "arrow.3ds" (a missing
// file leaves it bodiless), its pose record at the start pose, disabled.
void CreateAvatar(WTnode* root, const char* systemDir, WTnode** avatar);
// The three above, in this order.
void CreateSceneGroups(SimViewHandles& view, const char* systemDir);
// The mouse sensor's links to the viewpoint and to the avatar.
void CreateSimSensors(SimViewHandles& view, WTsensor* mouse);

// Stores the pose in the avatar's record and applies it.
void SetAvatarPose(WTnode* avatar, const float pose[7]);
// Moves the avatar so that its centre is the stored position, turned as stored.
void ApplyAvatarPose(WTnode* avatar);
// The avatar node's midpoint plus its translation.
void GetAvatarCentre(WTnode* avatar, float out[3]);
// The stored avatar pose, or the start pose without avatar or record.
void GetAvatarPose(WTnode* avatar, float pose[7]);

// Where framing puts the avatar: at the node's height, facing the node horizontally from the
// distance at which its largest extent fits the view angle.
struct FramedPose {
  float centre[3];
  bool turned;  // false: the direction was too short to turn by, the orientation stays
  float orientation[4];
};
FramedPose ComputeFramedPose(const float avatarCentre[3], const float nodeCentre[3],
                             const float extents[3], float viewAngle);
// Moves and turns the avatar so as to frame the node; nothing without node, avatar or record.
void FrameNodeInView(WTnode* avatar, WTnode* node, float viewAngle);

// A redraw request: -1 clears the pending flag; 0 asks unless one is pending; other modes
// always ask. True when the view is to be redrawn now.
bool RequestSimRefresh(int mode);

// Moves a scene node's toolkit node by the change of its plan position (plan (dx, dy, dz) is
// scene (dx, -dz, dy)) and stores the position; null when it has no toolkit node.
SceneNode* MoveNodeTo(SceneNode* node, float x, float y, float z);
// Makes the plan move the models of its doors and windows with MoveNodeTo.
void InstallOpeningModelMover();

// The ground grid. Switches in plan axes: the X, Y and Z axis lines (Z the vertical) and the
// XY (ground), YZ and ZX planes.
struct GridSwitches {
  bool x, y, z, xy, yz, zx;
};
// At most this many steps of the gap from the centre to the edge.
constexpr int kMaxGridSteps = 10000;
// At most this many crossing points a frame.
constexpr size_t kMaxGridPoints = 1u << 20;
// Makes the maximum a multiple of the gap and gives the steps; false, with nothing changed,
// for a gap or maximum of 0 or less or more than kMaxGridSteps steps.
bool FitGridMaximum(float gap, float& maximum, int* steps);
// The grid's points (x, y, z each) in scene axes for a grid state: 1 pairs of line ends, 2
// crossing points; empty for state 0, a grid that does not fit, or too many points.
std::vector<float> BuildGridPoints(int state, float gap, float& maximum, const GridSwitches& on);
