// Drawing the plan with GDI (Windows only): the plan view's mapping DC as a PlanMapping, a
// symbol painter that draws plan points on a device context, and the pens of the plan.
#pragma once
#include <memory>
#include <vector>

#include "afx/afxwin.h"
#include "models/dxf.h"
#include "models/planmapping.h"

// The mapping of a DC prepared by the plan view (its attribute DC converts).
class DCPlanMapping : public PlanMapping {
public:
  explicit DCPlanMapping(const CDC& dc) : m_dc(dc) {}
  CPoint DeviceToLogical(CPoint device) const override;
  CPoint LogicalToDevice(CPoint logical) const override;

private:
  const CDC& m_dc;
};

// Draws symbol entities on the output DC, converting plan (logical) points through the mapping
// DC; ellipses are hollow.
class GdiSymbolPainter : public SymbolPainter {
public:
  GdiSymbolPainter(CDC& out, const CDC& mapping) : m_out(out), m_map(mapping) {}
  void Line(CPoint from, CPoint to) override;
  void Ellipse(const CRect& box) override;
  void Arc(const CRect& box, CPoint start, CPoint end) override;

private:
  CPoint Device(CPoint p) const;
  CDC& m_out;
  DCPlanMapping m_map;
};

// While one lives on a thread (the outermost of nested ones), the plan pens of that thread come
// from it: each style and colour is made once per paint instead of once per line.
class PlanPenCache {
public:
  PlanPenCache();
  ~PlanPenCache();
  PlanPenCache(const PlanPenCache&) = delete;
  PlanPenCache& operator=(const PlanPenCache&) = delete;
  // The thread's cache, or null.
  static PlanPenCache* Current();
  // The pen of the style and colour (width 0), made on first use; null when it cannot be made.
  CPen* Get(int style, COLORREF colour);

private:
  struct Entry {
    int style;
    COLORREF colour;
    std::unique_ptr<CPen> pen;
  };
  std::vector<Entry> m_pens;
  bool m_active = false;
};

// A pen made (or taken from the thread's pen cache) and selected for the life of the record; the previous pen comes back and the pen is
// deleted at its end. A pen that cannot be made raises the framework's resource exception.
class PlanPen {
public:
  PlanPen(CDC& dc, int style, COLORREF colour);
  ~PlanPen();
  PlanPen(const PlanPen&) = delete;
  PlanPen& operator=(const PlanPen&) = delete;

private:
  CDC& m_dc;
  CPen m_pen;
  CPen* m_old = nullptr;
};
