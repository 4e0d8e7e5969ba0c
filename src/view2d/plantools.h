// What the plan view reads of the plan control bar and how it tells the bar what it changed.
// The view owns the tool values; the bar writes them as the user edits its fields (already
// bounded, see ParseBarMillimetres) and shows them again when the view reports a change.
#pragma once
#include <cstdint>

// Sizes of a door or window as the bar's fields give them.
struct PlanOpeningValues {
  int type = 0;  // index into the kind's table (kind id less 1000 for doors, 1100 for windows)
  int32_t width = 0;
  int32_t height = 0;
  int32_t location = 0;  // height of its bottom above the floor
};

struct PlanToolValues {
  int32_t wallThickness = 150;
  int32_t wallHeight = 2400;
  int32_t roomHeight = 2400;  // ceiling above the floor
  int32_t floorLevel = 0;
  PlanOpeningValues door{0, 900, 2100, 0};
  PlanOpeningValues window{0, 1200, 1200, 900};
  bool plus = false;  // the "+" toggle: acts as a held Ctrl key
};

// The bar's tools.
enum : int {
  PLAN_TOOL_ZOOM = 1,
  PLAN_TOOL_PAN = 2,
  PLAN_TOOL_WALL = 3,
  PLAN_TOOL_DOOR = 4,
  PLAN_TOOL_WINDOW = 5,
  PLAN_TOOL_ROOM = 6,
  PLAN_TOOL_SELECT = 7,
};

// Implemented by the plan control bar.
class PlanBarLink {
public:
  virtual ~PlanBarLink() = default;
  // The view changed tool values (a wall's sizes after a select click, a picked-up opening's
  // type and sizes): show them.
  virtual void ShowToolValues(const PlanToolValues& values) = 0;
  // Switches to the tool as its button does (the door or window tool after a pick-up).
  virtual void SwitchTool(int tool) = 0;
  // The grid spacing changed (the grid buttons' tooltips show it).
  virtual void GridChanged(int32_t spacing) = 0;
};
