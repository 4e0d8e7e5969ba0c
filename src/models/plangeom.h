// Small geometry helpers of the plan: the 0.001 grid, plan lines and repaint rectangles.
// Plan coordinates are millimetres held as doubles on a grid of 0.001; two points are the same
// point when both coordinates differ by less than 0.001.
#pragma once
#include <cstdint>
#include <limits>

#include "afx/afx.h"

// The array member of every plan class: an object array whose elements the holder owns.
#ifndef VEDRA_OBJECT_ARRAY_DEFINED
#define VEDRA_OBJECT_ARRAY_DEFINED
using ObjectArray = CObArray;
#endif

// The tolerance of every plan comparison.
constexpr double kPlanEpsilon = 0.001;
// Starting value of every nearest-object scan.
constexpr double kPlanInfinity = std::numeric_limits<double>::infinity();

// Rounds half away from zero to a signed 32-bit integer.
int32_t RoundHalfAway(double v);
// Puts a coordinate on the 0.001 grid.
double QuantizeCoord(double v);

// True when two points are the same plan point.
inline bool SamePlanPoint(double x1, double y1, double x2, double y2) {
  return (x1 - x2 < kPlanEpsilon && x2 - x1 < kPlanEpsilon) &&
         (y1 - y2 < kPlanEpsilon && y2 - y1 < kPlanEpsilon);
}

// A line through two points, A*x + B*y + C = 0 with A = y2 - y1, B = x1 - x2,
// C = y1*x2 - x1*y2.
struct PlanLine {
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  double a = 0.0, b = 0.0, c = 0.0;

  PlanLine() = default;
  PlanLine(double ax, double ay, double bx, double by);

  // Intersection of two lines; false when they are parallel (determinant below 0.001).
  bool Intersect(const PlanLine& other, double* x, double* y) const;
  // The perpendicular to this line through a point.
  PlanLine Perpendicular(double x, double y) const;
  // Distance from a point to the line.
  double Distance(double x, double y) const;
};

// True when every field of the rectangle is 0: an empty repaint rectangle.
inline bool IsEmptyPlanRect(const CRect& r) {
  return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}
// Grows a repaint rectangle by another; an all-zero rectangle counts as empty.
void UnitePlanRect(CRect& rect, const CRect& other);
