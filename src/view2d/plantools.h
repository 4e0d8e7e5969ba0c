// What the plan control bar hands to the plan view's editing modes: the active tool and the
// values of its fields, kept by the view and written by the bar whenever a field changes. The
// modes read them from here; the bar's fields show them as "%dmm".
#pragma once
#include <cstdint>

class HoleInstance;

// The bar's tools, and the view's editing mode each one sets.
enum PlanTool : int {
  PLAN_TOOL_NONE = 0,
  PLAN_TOOL_ZOOM = 1,    // mode 0
  PLAN_TOOL_PAN = 2,     // mode 2
  PLAN_TOOL_WALL = 3,    // mode 6
  PLAN_TOOL_DOOR = 4,    // mode 10
  PLAN_TOOL_WINDOW = 5,  // mode 11
  PLAN_TOOL_ROOM = 6,    // mode 7
  PLAN_TOOL_SELECT = 7,  // mode 5
};

// The editing mode of a tool; -1 for none.
constexpr int PlanModeOfTool(int tool) {
  constexpr int kModes[] = {-1, 0, 2, 6, 10, 11, 7, 5};
  return tool >= 0 && tool <= PLAN_TOOL_SELECT ? kModes[tool] : -1;
}

struct PlanToolValues {
  int tool = PLAN_TOOL_NONE;
  // Walls (wall and select tools).
  int32_t wallThickness = 150;
  int32_t wallHeight = 2400;
  // Rooms: ceiling height above the floor, and the floor level.
  int32_t ceilingHeight = 2400;
  int32_t floorHeight = 0;
  // Doors and windows: the opening the door and window modes place (one of the opening
  // tables' templates, or a picked-up copy the view owns), with its type index in its table.
  HoleInstance* opening = nullptr;
  bool holdsOpening = false;
  int doorType = 0;    // 0-9, symbol id less 1000
  int windowType = 4;  // 0-7, symbol id less 1100
  // The placement variant of the opening (bit 0 mirrored, bit 1 turned by 180 degrees); the
  // door and window tools reset it.
  int orientation = 0;
};
