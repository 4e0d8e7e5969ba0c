#include "view3d/partmotion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr float kStep = 0.05f;
constexpr float kDegreesFactor = 180.0f * 0.3183099524f;
constexpr float kDoubleSwingFactor = 180.0f * 0.31831927f;
constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kLeast = 0.004f;

PartTaskHost g_idleHost;
PartTaskHost* g_host = nullptr;

PartTaskHost& Host() { return g_host ? *g_host : g_idleHost; }

// A rotation entry as angles in degrees: (-ax, az, -ay) or, mirrored, (ax, az, -ay).
void RotationDegrees(const std::array<float, 4>& r, float factor, bool mirrored, float out[3]) {
  const float k = r[0] * factor;
  SetVec3(out, (mirrored ? r[1] : -r[1]) * k, r[3] * k, -r[2] * k);
}

void Difference(const std::array<float, 3>& to, const std::array<float, 3>& from, float scale, float out[3]) {
  SetVec3(out, (to[0] - from[0]) * scale, (to[1] - from[1]) * scale, (to[2] - from[2]) * scale);
}

bool IsUnit(float value) {
  const long whole = static_cast<long>(value);
  return whole == 1 || whole == -1;
}

// "FIX" before (or without) "MOVE" in the upper-cased name: the fixed leaf of a folding pair.
uint32_t FoldingType(const char* meshName) {
  std::string upper = meshName ? meshName : "";
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  const size_t fix = upper.find("FIX");
  const size_t move = upper.find("MOVE");
  if (fix != std::string::npos && fix < move) return kMotionFixedSwing;
  if (move != std::string::npos) return kMotionMovingSwing;
  return kMotionSwing;
}

void ReadDoubleSwing(const PartKeys& keys, PartMotionVectors& out) {
  const auto& e0 = keys.rotations[0];
  const auto& e1 = keys.rotations[1];
  if (IsUnit(e0[3]) && IsUnit(e1[1])) {
    RotationDegrees(e1, kDoubleSwingFactor, false, out.a);
    RotationDegrees(e0, kDoubleSwingFactor, true, out.b);
  } else if (IsUnit(e0[1]) && IsUnit(e1[3])) {
    RotationDegrees(e0, kDoubleSwingFactor, false, out.a);
    RotationDegrees(e1, kDoubleSwingFactor, true, out.b);
  }
}

void Translate(WTnode* node, const float v[3], float factor, int frame) {
  const WTp3 step = {v[0] * factor, v[1] * factor, v[2] * factor};
  WTnode_translate(node, step, frame);
}

// Turns the node about the axis through the pivot (parent frame).
void TurnAbout(WTnode* node, const float pivot[3], int axis, float radians) {
  Translate(node, pivot, -1.0f, WTFRAME_PARENT);
  WTnode_axisrotation(node, axis, radians, WTFRAME_PARENT);
  Translate(node, pivot, 1.0f, WTFRAME_PARENT);
}

// The record of a task's node when it may move now and its motion runs.
NodeUserData* RunningRecord(void* object) {
  auto* node = static_cast<WTnode*>(object);
  if (!node || !Host().PartsMove()) return nullptr;
  NodeUserData* record = GetNodeUserData(node);
  if (!record || !record->motion || !record->motion->running) return nullptr;
  return record;
}

void NoteStop(const PartMotion& motion) {
  if (!motion.running) Host().PartStopped();
}

// The pivot of a swinging part: the centre of its inner node, else of its own node.
void SwingPivot(const NodeUserData& record, float pivot[3]) {
  GetNodeCentre(record.inner ? record.inner : record.node, pivot);
}

// The leaves of a folding pair among the children of the node's first parent.
struct FoldingPair {
  WTnode* fixed = nullptr;
  WTnode* moving = nullptr;
};

FoldingPair FindPair(WTnode* node) {
  FoldingPair pair;
  WTnode* parent = WTnode_numparents(node) > 0 ? WTnode_getparent(node, 0) : nullptr;
  for (int i = 0; parent && i < WTnode_numchildren(parent); ++i) {
    WTnode* child = WTnode_getchild(parent, i);
    const NodeUserData* record = GetNodeUserData(child);
    if (!record || !record->motion) continue;
    if (record->motionType == kMotionFixedSwing && !pair.fixed) pair.fixed = child;
    if (record->motionType == kMotionMovingSwing && !pair.moving) pair.moving = child;
  }
  return pair;
}

// The moving leaf follows its turn with a slide along the line between the two centres so that
// the pair stays joined.
void FoldMovingLeaf(WTnode* moving, WTnode* fixed, float parameter, float step) {
  const NodeUserData* record = GetNodeUserData(moving);
  const float a = record->motion->rotationA[1];
  float c[3];
  float other[3];
  GetNodeCentre(moving, c);
  GetNodeCentre(fixed, other);
  WTp3 extents = {0.0f, 0.0f, 0.0f};
  WTnode_getextents(moving, extents);
  const float reach = 2.0f * (2.0f * extents[0] - 2.0f * extents[2]);
  float u[3] = {other[0] - c[0], other[1] - c[1], other[2] - c[2]};
  const float length = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
  if (length > 0.0f) SetVec3(u, u[0] / length, u[1] / length, u[2] / length);
  Translate(moving, c, -1.0f, WTFRAME_PARENT);
  if (std::fabs(a) >= kLeast) {
    Translate(moving, u, -reach * (1.0f - std::cos((parameter - step) * a * kRadiansPerDegree)), WTFRAME_PARENT);
    WTnode_axisrotation(moving, 1, step * a * kRadiansPerDegree, WTFRAME_PARENT);
    Translate(moving, u, reach * (1.0f - std::cos(parameter * a * kRadiansPerDegree)), WTFRAME_PARENT);
  }
  Translate(moving, c, 1.0f, WTFRAME_PARENT);
}

// Steps the pair by the fixed leaf's travel; the repeat bits of either leaf that run on or
// start again hold for both.
float StepPair(PartMotion& fixed, const PartMotion& moving) {
  const uint32_t own = fixed.repeat;
  const uint32_t other = moving.repeat & 0xF;
  if (other == 1 || other == 2 || other == 4) fixed.repeat = other;
  const float step = StepPartMotion(fixed);
  fixed.repeat = own;
  return step;
}

void AddTask(WTnode* node, WTtaskfn fn, float priority) { _WTtask_new(node, fn, priority); }

}  // namespace

PartMotionVectors ReadPartMotion(const char* meshName, const PartKeys& keys, float scale) {
  PartMotionVectors out;
  const size_t p = keys.positions.size();
  const size_t r = keys.rotations.size();
  if (p >= 2 && r == 1) {
    out.type = kMotionSlide;
    Difference(keys.positions[p - 1], keys.positions[0], scale, out.a);
  } else if (p == 1 && r == 2) {
    out.type = FoldingType(meshName);
    RotationDegrees(keys.rotations[0], kDegreesFactor, false, out.a);
  } else if (p >= 2 && r >= 2) {
    out.type = kMotionSlideSwing;
    const size_t third = std::min<size_t>(2, p - 1);
    Difference(keys.positions[p - 1], keys.positions[third], scale, out.a);
    Difference(keys.positions[third], keys.positions[1], scale, out.c);
    RotationDegrees(keys.rotations[0], kDegreesFactor, false, out.b);
  } else if (p == 1 && r == 4) {
    out.type = kMotionDoubleSwing;
    ReadDoubleSwing(keys, out);
  }
  return out;
}

void ApplyDummyFrame(PartKeys& keys, const PartKeys& dummy) {
  WTm4 m;
  const float zero[3] = {0.0f, 0.0f, 0.0f};
  SetMatrix4Translation(zero, m, true);
  if (!dummy.rotations.empty()) {
    const auto& r = dummy.rotations[0];
    EulerToMatrix4(r[0] * r[1], r[0] * r[2], r[0] * r[3], m, false);
  }
  if (!dummy.positions.empty()) SetMatrix4Translation(dummy.positions[0].data(), m, false);
  for (auto& position : keys.positions) {
    WTp3 moved;
    _WTp3_xformm4(position.data(), m, moved);
    position = {moved[0], moved[1], moved[2]};
  }
}

PartMotion* AttachPartMotion(WTnode* node, const PartMotionVectors& v) {
  if (v.type == kMotionStill || !node) return nullptr;
  auto* m = static_cast<PartMotion*>(_WTmem_rawmalloc(sizeof(PartMotion)));
  std::memset(m, 0, sizeof *m);
  m->type = v.type;
  m->direction = 1;
  m->repeat = 3;
  switch (v.type) {
    case kMotionSlide:
    case kMotionSlideSwing:
      m->mode = kModeTranslate;
      AxisSwapZY(m->translation, v.a);
      CopyVec3(m->rotationB, v.b);
      AddTask(node, PartOpenCloseTaskA, 1.0f);
      if (v.type == kMotionSlideSwing) AddTask(node, PartOpenCloseTaskB, 2.0f);
      break;
    case kMotionSwing:
    case kMotionDoubleSwing:
      m->mode = kModeSwingA;
      CopyVec3(m->rotationA, v.a);
      CopyVec3(m->rotationB, v.b);
      AddTask(node, PartOpenCloseTaskB, 1.0f);
      break;
    default:  // the folding pair
      m->mode = v.type;
      CopyVec3(m->rotationA, v.a);
      AddTask(node, PartOpenCloseTaskC, 1.0f);
      break;
  }
  return m;
}

float StepPartMotion(PartMotion& m) {
  const uint32_t repeat = m.repeat & 0xF;
  const bool runOn = repeat == 2 || repeat == 4;
  if (m.direction == 1) {
    m.parameter += kStep;
    if (m.parameter < 1.0f) return kStep;
    const float step = kStep - (m.parameter - 1.0f);
    m.parameter = (repeat == 1 || repeat == 2) ? 0.0f : 1.0f;
    m.running = runOn ? 1 : 0;
    m.direction = 0;
    return step;
  }
  m.parameter -= kStep;
  if (m.parameter > 0.0f) return -kStep;
  const float step = -kStep - m.parameter;
  m.parameter = 0.0f;
  m.running = runOn ? 1 : 0;
  m.direction = 1;
  return step;
}

void SetPartTaskHost(PartTaskHost* host) { g_host = host; }

void PartOpenCloseTaskA(void* object) {
  NodeUserData* record = RunningRecord(object);
  if (!record || record->motion->mode != kModeTranslate) return;
  const float step = StepPartMotion(*record->motion);
  Translate(record->node, record->motion->translation, step, WTFRAME_LOCAL);
  NoteStop(*record->motion);
}

void PartOpenCloseTaskB(void* object) {
  NodeUserData* record = RunningRecord(object);
  if (!record || !(record->top || record->inner)) return;
  PartMotion& m = *record->motion;
  if (m.mode != kModeSwingA && m.mode != kModeSwingB) return;
  const float* angles = m.mode == kModeSwingA ? m.rotationA : m.rotationB;
  const float step = StepPartMotion(m);
  static const int kAxisOrder[3] = {1, 0, 2};
  float pivot[3];
  SwingPivot(*record, pivot);
  for (int axis : kAxisOrder) {
    if (std::fabs(angles[axis]) < kLeast) continue;
    TurnAbout(record->node, pivot, axis, step * kRadiansPerDegree * angles[axis]);
    break;
  }
  NoteStop(m);
}

void PartOpenCloseTaskC(void* object) {
  NodeUserData* record = RunningRecord(object);
  if (!record || (record->motionType != kMotionFixedSwing && record->motionType != kMotionMovingSwing)) return;
  const FoldingPair pair = FindPair(record->node);
  // The fixed leaf's task steps the pair, once a frame.
  if (!pair.fixed || !pair.moving || record->node != pair.fixed) return;
  PartMotion& fixed = *GetNodeUserData(pair.fixed)->motion;
  PartMotion& moving = *GetNodeUserData(pair.moving)->motion;
  const float step = StepPair(fixed, moving);
  moving.parameter = fixed.parameter;
  moving.direction = fixed.direction;
  moving.running = fixed.running;
  if (std::fabs(fixed.rotationA[1]) >= kLeast) {
    float pivot[3];
    SwingPivot(*GetNodeUserData(pair.fixed), pivot);
    TurnAbout(pair.fixed, pivot, 1, step * kRadiansPerDegree * fixed.rotationA[1]);
  }
  FoldMovingLeaf(pair.moving, pair.fixed, fixed.parameter, step);
  NoteStop(fixed);
}
