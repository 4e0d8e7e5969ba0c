#include "view3d/simview_core.h"

#include <cmath>
#include <cstring>
#include <new>

#include "models/scene.h"
#include "models/wallside.h"

namespace {

constexpr float kStartPosition[3] = {3000.0f, -1200.0f, 0.0f};
constexpr float kHalfPi = 1.5707963f;
// Lengths below this count as none.
constexpr float kTiny = 0.004f;
// The avatar's body: an arrow one unit across, stretched to these sizes.
constexpr float kBodySize[3] = {130.0f, 80.0f, 80.0f};
constexpr int kLinkToViewpoint = 0;
constexpr int kLinkToNode = 5;
constexpr int kFogMode = 2;
constexpr float kFogDensity = 10.0f;

int g_refreshPending = 0;

float* AvatarRecord(WTnode* avatar) { return avatar ? static_cast<float*>(WTnode_getdata(avatar)) : nullptr; }

void Forget(WTnode*& handle, WTnode* node) {
  if (handle == node) handle = nullptr;
}

WTnode* NamedChild(WTnode* node, const char* name) {
  if (node) WTnode_setname(node, name);
  return node;
}

void LoadAvatarBody(WTnode* avatar, const char* systemDir) {
  const CString path = CString(systemDir) + "arrow.3ds";
  WTnode* body = WTnode_load(avatar, path, 1.0f);
  if (!body) return;
  WTnode_setname(body, "Avatar-Body");
  WTp3 mid;
  WTnode_getmidpoint(body, mid);
  if (WTgeometry* geometry = WTnode_getgeometry(body)) WTgeometry_stretch(geometry, kBodySize, mid);
}

// Adds one line from a to b.
void AddLine(std::vector<float>& points, float ax, float ay, float az, float bx, float by, float bz) {
  points.insert(points.end(), {ax, ay, az, bx, by, bz});
}

// A plane of the grid: its two directions in scene axes.
struct GridPlane {
  float u[3];
  float v[3];
};

void AddPlaneLines(std::vector<float>& points, const GridPlane& plane, float gap, int steps) {
  const float edge = gap * static_cast<float>(steps);
  for (int i = -steps; i <= steps; ++i) {
    const float at = gap * static_cast<float>(i);
    const float* u = plane.u;
    const float* v = plane.v;
    AddLine(points, u[0] * at - v[0] * edge, u[1] * at - v[1] * edge, u[2] * at - v[2] * edge,
            u[0] * at + v[0] * edge, u[1] * at + v[1] * edge, u[2] * at + v[2] * edge);
    AddLine(points, v[0] * at - u[0] * edge, v[1] * at - u[1] * edge, v[2] * at - u[2] * edge,
            v[0] * at + u[0] * edge, v[1] * at + u[1] * edge, v[2] * at + u[2] * edge);
  }
}

void AddPlaneCrossings(std::vector<float>& points, const GridPlane& plane, float gap, int steps) {
  for (int i = -steps; i <= steps; ++i)
    for (int j = -steps; j <= steps; ++j) {
      const float a = gap * static_cast<float>(i);
      const float b = gap * static_cast<float>(j);
      for (int k = 0; k < 3; ++k) points.push_back(plane.u[k] * a + plane.v[k] * b);
    }
}

// Plan XY (the ground), YZ and ZX in scene axes: plan x is scene x, plan y scene z, plan z
// scene -y.
constexpr GridPlane kPlaneXY = {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
constexpr GridPlane kPlaneYZ = {{0.0f, 0.0f, 1.0f}, {0.0f, -1.0f, 0.0f}};
constexpr GridPlane kPlaneZX = {{0.0f, -1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}};

std::vector<float> GridLines(float gap, float maximum, int steps, const GridSwitches& on) {
  const size_t planes = size_t{on.xy} + on.yz + on.zx;
  const size_t axes = size_t{on.x} + on.y + on.z;
  std::vector<float> points;
  points.reserve((axes * 2 + planes * 4 * static_cast<size_t>(2 * steps + 1)) * 3);
  const float reach = maximum + gap;
  if (on.x) AddLine(points, 0.0f, 0.0f, 0.0f, reach, 0.0f, 0.0f);
  if (on.y) AddLine(points, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, reach);
  if (on.z) AddLine(points, 0.0f, 0.0f, 0.0f, 0.0f, -reach, 0.0f);
  if (on.xy) AddPlaneLines(points, kPlaneXY, gap, steps);
  if (on.yz) AddPlaneLines(points, kPlaneYZ, gap, steps);
  if (on.zx) AddPlaneLines(points, kPlaneZX, gap, steps);
  return points;
}

std::vector<float> GridCrossings(float gap, int steps, const GridSwitches& on) {
  const size_t planes = size_t{on.xy} + on.yz + on.zx;
  const size_t side = static_cast<size_t>(2 * steps + 1);
  if (planes * side * side > kMaxGridPoints) return {};
  std::vector<float> points;
  points.reserve(planes * side * side * 3);
  if (on.xy) AddPlaneCrossings(points, kPlaneXY, gap, steps);
  if (on.yz) AddPlaneCrossings(points, kPlaneYZ, gap, steps);
  if (on.zx) AddPlaneCrossings(points, kPlaneZX, gap, steps);
  return points;
}

}  // namespace

void GetStartPose(float pose[7]) {
  CopyVec3(pose, kStartPosition);
  _WTeuler_2q(0.0f, -kHalfPi, 0.0f, pose + 3);
}

SimViewHandles::SimViewHandles() = default;

void SimViewHandles::ForgetNode(WTnode* node) {
  if (node == avatar) avatarLink = nullptr;  // the toolkit deletes a node's links with it
  for (WTnode** handle : {&lightsGroup, &objectLightGroup, &spare, &avatar, &selected, &fog})
    Forget(*handle, node);
  if (picked && picked->node == node) picked = nullptr;
}

void SimViewHandles::EnableLinks(bool on) {
  for (WTmotionlink* link : {viewpointLink, avatarLink})
    if (link) _WTmotionlink_enable(link, on ? 1 : 0);
}

void SimViewHandles::DeleteSceneNodes(Scene* scene) {
  DeleteNodeTree(root);
  if (scene) scene->DetachAllNodes();
}

void SimViewHandles::ClearHandles() {
  root = nullptr;
  window = nullptr;
  viewpoint = nullptr;
  viewpointLink = nullptr;
  avatarLink = nullptr;
  for (WTnode** handle : {&lightsGroup, &objectLightGroup, &spare, &avatar, &selected, &fog}) *handle = nullptr;
  picked = nullptr;
}

void CreateLightGroups(WTnode* root, WTnode** lights, WTnode** objectLights) {
  *lights = NamedChild(WTxformsepnode_new(root), "Lights Group");
  if (*lights) NamedChild(WTxformnode_new(*lights), "Light Group Transform");
  *objectLights = NamedChild(WTgroupnode_new(root), "Object Light Group");
}

void CreateFogNode(WTnode* root, WTnode** fog) {
  *fog = NamedChild(WTfognode_new(root), "Fog");
  if (!*fog) return;
  WTfognode_setcolor(*fog, 255.0f, 255.0f, 255.0f, kFogDensity);
  WTfognode_setmode(*fog, kFogMode);
}

void CreateAvatar(WTnode* root, const char* systemDir, WTnode** avatar) {
  *avatar = NamedChild(WTmovsepnode_new(root), kAvatarNodeName);
  if (!*avatar) return;
  LoadAvatarBody(*avatar, systemDir);
  auto* record = static_cast<float*>(_WTmem_alloc(kAvatarPoseFloats * sizeof(float)));
  std::memset(record, 0, kAvatarPoseFloats * sizeof(float));
  WTnode_setdata(*avatar, record);
  float pose[7];
  GetStartPose(pose);
  SetAvatarPose(*avatar, pose);
  // Its tasks come with walking; until then it is not shown.
  WTnode_enable(*avatar, 0);
}

void CreateSceneGroups(SimViewHandles& view, const char* systemDir) {
  CreateLightGroups(view.root, &view.lightsGroup, &view.objectLightGroup);
  CreateFogNode(view.root, &view.fog);
  CreateAvatar(view.root, systemDir, &view.avatar);
}

void CreateSimSensors(SimViewHandles& view, WTsensor* mouse) {
  if (!mouse) return;
  if (view.viewpoint) view.viewpointLink = WTmotionlink_new(mouse, view.viewpoint, 0, kLinkToViewpoint);
  if (view.avatar) view.avatarLink = WTmotionlink_new(mouse, view.avatar, 0, kLinkToNode);
}

void SetAvatarPose(WTnode* avatar, const float pose[7]) {
  float* record = AvatarRecord(avatar);
  if (!record) return;
  std::memmove(record, pose, 7 * sizeof(float));
  ApplyAvatarPose(avatar);
}

void ApplyAvatarPose(WTnode* avatar) {
  const float* record = AvatarRecord(avatar);
  if (!record) return;
  WTnode_setorientation(avatar, record + 3);
  float centre[3];
  GetAvatarCentre(avatar, centre);
  const WTp3 step = {record[0] - centre[0], record[1] - centre[1], record[2] - centre[2]};
  WTnode_translate(avatar, step, WTFRAME_PARENT);
}

void GetAvatarCentre(WTnode* avatar, float out[3]) {
  WTp3 mid = {0.0f, 0.0f, 0.0f};
  WTp3 translation = {0.0f, 0.0f, 0.0f};
  WTnode_getmidpoint(avatar, mid);
  WTnode_gettranslation(avatar, translation);
  SetVec3(out, mid[0] + translation[0], mid[1] + translation[1], mid[2] + translation[2]);
}

void GetAvatarPose(WTnode* avatar, float pose[7]) {
  if (const float* record = AvatarRecord(avatar))
    std::memmove(pose, record, 7 * sizeof(float));
  else
    GetStartPose(pose);
}

FramedPose ComputeFramedPose(const float c[3], const float p[3], const float extents[3],
                             float viewAngle) {
  const float m = std::fmax(extents[0], std::fmax(extents[1], extents[2]));
  const float t = std::tan(viewAngle);
  const float d = std::fabs(t) >= kTiny ? 2.0f * m / t : m;
  const float ox = c[0] - p[0];
  const float oz = c[2] - p[2];
  float length = std::sqrt(ox * ox + oz * oz);
  if (std::fabs(length) < kTiny) length = m;
  FramedPose framed{};
  const float scale = length != 0.0f ? d / length : 0.0f;
  SetVec3(framed.centre, p[0] + ox * scale, p[1], p[2] + oz * scale);
  // Looking from the new centre at the node along the level.
  float dir[3] = {p[0] - framed.centre[0], 0.0f, p[2] - framed.centre[2]};
  const float reach = std::sqrt(dir[0] * dir[0] + dir[2] * dir[2]);
  framed.turned = reach >= kTiny;
  if (framed.turned) {
    SetVec3(dir, dir[0] / reach, 0.0f, dir[2] / reach);
    _WTdir_2q(dir, framed.orientation);
  }
  return framed;
}

void FrameNodeInView(WTnode* avatar, WTnode* node, float viewAngle) {
  float* record = AvatarRecord(avatar);
  if (!node || !record) return;
  float c[3], p[3];
  GetAvatarCentre(avatar, c);
  GetNodeCentre(node, p);
  WTp3 extents = {0.0f, 0.0f, 0.0f};
  WTnode_getextents(node, extents);
  const FramedPose framed = ComputeFramedPose(c, p, extents, viewAngle);
  const WTp3 step = {framed.centre[0] - c[0], framed.centre[1] - c[1], framed.centre[2] - c[2]};
  WTnode_translate(avatar, step, WTFRAME_PARENT);
  CopyVec3(record, framed.centre);
  if (!framed.turned) return;
  const WTp3 toOrigin = {-framed.centre[0], -framed.centre[1], -framed.centre[2]};
  WTnode_translate(avatar, toOrigin, WTFRAME_PARENT);
  WTnode_setorientation(avatar, framed.orientation);
  WTnode_translate(avatar, framed.centre, WTFRAME_PARENT);
  std::memmove(record + 3, framed.orientation, 4 * sizeof(float));
}

bool RequestSimRefresh(int mode) {
  if (mode == -1) {
    g_refreshPending = 0;
    return false;
  }
  if (mode == 0 && g_refreshPending == 1) return false;
  g_refreshPending = 1;
  return true;
}

SceneNode* MoveNodeTo(SceneNode* node, float x, float y, float z) {
  if (!node || !node->m_pNode) return nullptr;
  float* position = node->m_transform.position;
  const WTp3 step = {x - position[0], -(z - position[2]), y - position[1]};
  SetVec3(position, x, y, z);
  WTnode_translate(node->m_pNode, step, WTFRAME_PARENT);
  return node;
}

void InstallOpeningModelMover() {
  SetOpeningModelMover([](CObject* sceneNode, float x, float y, float z) {
    MoveNodeTo(dynamic_cast<SceneNode*>(sceneNode), x, y, z);
  });
}

bool FitGridMaximum(float gap, float& maximum, int* steps) {
  if (!(gap > 0.0f) || !(maximum > 0.0f)) return false;
  const double count = std::floor(static_cast<double>(maximum) / gap);
  if (count > kMaxGridSteps) return false;
  const float rest = std::fmod(maximum, gap);
  if (rest != 0.0f) maximum -= rest;
  if (steps) *steps = static_cast<int>(count);
  return true;
}

std::vector<float> BuildGridPoints(int state, float gap, float& maximum, const GridSwitches& on) {
  int steps = 0;
  if ((state != 1 && state != 2) || !FitGridMaximum(gap, maximum, &steps)) return {};
  try {
    return state == 1 ? GridLines(gap, maximum, steps, on) : GridCrossings(gap, steps, on);
  } catch (const std::bad_alloc&) {
    return {};
  }
}
