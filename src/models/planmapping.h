// How the plan editor's window maps device pixels to plan millimetres. The plan's hit tests
// convert through it, so that they need no device context; the editor hands in the mapping of
// its view.
#pragma once
#include "afx/afx.h"

class PlanMapping {
public:
  virtual ~PlanMapping() = default;
  virtual CPoint DeviceToLogical(CPoint device) const = 0;
  virtual CPoint LogicalToDevice(CPoint logical) const = 0;
};

// A plan view's mapping: a logical point lands on origin + scale x point, y mirrored (device y
// grows downward, plan y upward). Conversions round to the nearest unit.
class ScaledPlanMapping : public PlanMapping {
public:
  ScaledPlanMapping(double pixelsPerUnit, CPoint origin) : m_scale(pixelsPerUnit), m_origin(origin) {}
  CPoint DeviceToLogical(CPoint device) const override;
  CPoint LogicalToDevice(CPoint logical) const override;

private:
  double m_scale;
  CPoint m_origin;
};

// Moves a device rectangle by the device size of a logical point (its device position less that
// of the logical origin): added, or subtracted when asked.
void OffsetRectByLogicalPoint(const PlanMapping& mapping, CPoint logical, CRect& rect,
                              bool subtract);
