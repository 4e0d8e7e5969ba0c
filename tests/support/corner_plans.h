// The wall-corner plans: small plans whose walls meet at corners, T and X junctions, with poles
// higher than their walls, rooms with different ceilings and floors, and free wall ends. Each is
// drawn by clicks into a plan of its own. The wall-corner tests check the air their rooms
// enclose; the corner-mesh tests keep their exact meshes. Failures are GoogleTest's.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "models/frame.h"
#include "plan_host_double.h"

// A plan drawn by clicks, with rooms and openings placed in it.
struct CornerPlan {
  // One chain of clicks; walls of the given height and thickness, at any angle.
  void Draw(std::initializer_list<CPoint> points, int32_t height = 2400,
            uint32_t thickness = 150);
  // Raises or lowers both poles of every wall that lies on the segment.
  void SetHeight(double x1, double y1, double x2, double y2, int32_t height);
  Room* PlaceRoom(const char* name, int x, int y, int32_t ceiling, int32_t floor);
  // An opening of the given kind in the wall between two points.
  void Opening(CPoint from, CPoint to, int32_t kind, float at, float width, float height,
               float elevation = 0.0f, float rotation = 0.0f);

  RecordingPlanHost host;
  Frame frame;
};

struct CornerPlanCase {
  const char* name;
  void (*draw)(CornerPlan&);
};

// Every wall-corner plan, always in the same order.
const std::vector<CornerPlanCase>& CornerPlans();

// Two low walls out of the corner of an 8000 x 3000 room, 2000 and `second` high, with the rooms
// on their sides ('a', 'b', 'c') placed in the given order.
void LowWallsOutOfACorner(CornerPlan& p, int32_t second, std::initializer_list<char> order);
