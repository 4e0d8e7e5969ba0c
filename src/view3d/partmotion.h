// Parts of placed objects that open and close: how a part moves, read from its keyframe track,
// its motion record, and the per-frame tasks that move it while it runs.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/wt.h"
#include "view3d/nodedata.h"

// Motion types of a part.
enum PartMotionType : uint32_t {
  kMotionStill = 0,
  kMotionSlide = 100,
  kMotionSwing = 101,
  kMotionSlideSwing = 103,
  kMotionDoubleSwing = 104,
  kMotionFixedSwing = 105,
  kMotionMovingSwing = 106,
};

// Motion modes (what runs).
enum PartMotionMode : uint32_t { kModeTranslate = 100, kModeSwingA = 101, kModeSwingB = 102 };

// The keys of one track: positions (x, y, z of the file) and rotations (angle in radians, axis).
struct PartKeys {
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<float, 4>> rotations;
};

// What a track makes of a part: its motion type and vectors (A and C translations in the file's
// axes, scaled; A and B rotations in degrees).
struct PartMotionVectors {
  uint32_t type = kMotionStill;
  float a[3] = {0.0f, 0.0f, 0.0f};
  float b[3] = {0.0f, 0.0f, 0.0f};
  float c[3] = {0.0f, 0.0f, 0.0f};
};

// Reads the motion of a part from its keys; scale is the object's scale times the unit factor.
PartMotionVectors ReadPartMotion(const char* meshName, const PartKeys& keys, float scale);
// Moves the position keys of a part whose keyframe parent is a dummy into the dummy's frame:
// its first rotation turns, its first position key moves; a missing one does neither.
void ApplyDummyFrame(PartKeys& keys, const PartKeys& dummy);

// A new motion record for a part (running 0, direction 1, parameter 0, repeat bits 3) with the
// tasks that move it attached to the node; null for a still part.
PartMotion* AttachPartMotion(WTnode* node, const PartMotionVectors& motion);

// Advances the record by one frame and gives the frame's step of the parameter (the end of the
// travel reached exactly; what follows by the repeat bits).
float StepPartMotion(PartMotion& motion);

// What the tasks ask of the 3D view: whether parts may move now (walk mode of a shown 3D frame),
// and the note that a part has stopped (the view enables its mouse links again).
class PartTaskHost {
public:
  virtual ~PartTaskHost() = default;
  virtual bool PartsMove() { return true; }
  virtual void PartStopped() {}
};
// Installs the host (not owned); null: parts always move and stops go unnoticed.
void SetPartTaskHost(PartTaskHost* host);

// The tasks: A slides (mode 100), B swings about one axis through the part's centre (modes 101,
// 102), C folds a "FIX" / "MOVE" pair (motion types 105, 106). Each takes its node.
void PartOpenCloseTaskA(void* node);
void PartOpenCloseTaskB(void* node);
void PartOpenCloseTaskC(void* node);
