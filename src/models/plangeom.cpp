#include "models/plangeom.h"

#include <algorithm>
#include <cmath>

int32_t RoundHalfAway(double v) {
  double r = v > 0.0 ? std::floor(v + 0.5) : std::ceil(v - 0.5);
  // Keep the conversion defined for points far off the plan.
  r = std::max(r, -2147483648.0);
  r = std::min(r, 2147483647.0);
  if (std::isnan(r)) return 0;
  return static_cast<int32_t>(r);
}

double QuantizeCoord(double v) { return RoundHalfAway(v / kPlanEpsilon) * kPlanEpsilon; }

PlanLine::PlanLine(double ax, double ay, double bx, double by)
    : x1(ax), y1(ay), x2(bx), y2(by), a(by - ay), b(ax - bx), c(ay * bx - ax * by) {}

bool PlanLine::Intersect(const PlanLine& o, double* x, double* y) const {
  const double det = a * o.b - o.a * b;
  if (std::fabs(det) < kPlanEpsilon) return false;
  *x = (b * o.c - o.b * c) / det;
  *y = (c * o.a - a * o.c) / det;
  return true;
}

PlanLine PlanLine::Perpendicular(double x, double y) const {
  PlanLine p;
  p.x1 = x;
  p.y1 = y;
  p.a = -b;
  p.b = a;
  p.c = -(p.a * x) - p.b * y;
  // A second point along the perpendicular, so that the record stays a line through two points.
  p.x2 = x - p.b;
  p.y2 = y + p.a;
  return p;
}

double PlanLine::Distance(double x, double y) const {
  return std::fabs(a * x + b * y + c) / std::sqrt(a * a + b * b);
}

void UnitePlanRect(CRect& rect, const CRect& other) {
  if (IsEmptyPlanRect(other)) return;
  if (IsEmptyPlanRect(rect)) {
    rect = other;
    return;
  }
  rect.left = std::min(rect.left, other.left);
  rect.top = std::min(rect.top, other.top);
  rect.right = std::max(rect.right, other.right);
  rect.bottom = std::max(rect.bottom, other.bottom);
}
