// Line drawings of plan symbols: the DXF entities that a door or window symbol is made of, how
// they are placed in the plan (origin, angle, mirror, scales) and their extents.
//
// Coordinates, radii and angles are whole drawing units (angles in degrees). Every computed
// point is clamped to 32 bits, so no drawing, however large its numbers, overflows.
#pragma once
#include <cstdint>
#include <utility>

#include "afx/afx.h"

class RelinkTable;

// What the plan editor draws symbols with; all points are plan points.
class SymbolPainter {
public:
  virtual ~SymbolPainter() = default;
  virtual void Line(CPoint from, CPoint to) = 0;
  // A hollow ellipse in the box.
  virtual void Ellipse(const CRect& box) = 0;
  // The arc of the ellipse in the box, counter-clockwise from the start point to the end point.
  virtual void Arc(const CRect& box, CPoint start, CPoint end) = 0;
};

// How a drawing is placed: origin, angle (degrees), mirror flag and the two scales.
struct SymbolPlacing {
  CPoint origin;
  double angle = 0.0;
  bool mirror = false;
  double xScale = 1.0;
  double yScale = 1.0;
};

// A double truncated toward zero and clamped to 32 bits (NaN gives 0).
int32_t ClampToInt(double v);

// (x, y) mirrored when asked, turned by the angle and moved to the origin.
CPoint TransformSymbolPoint(CPoint p, CPoint origin, double angle, bool mirror);

struct DXFCoord {
  int32_t x = 0;
  int32_t y = 0;
  int32_t z = 0;
};

class DXFPoint : public CObject {
  DECLARE_SERIAL(DXFPoint)
public:
  DXFPoint() = default;
  // Stored form (holesymbol_store.cpp): self id only.
  void Serialize(CArchive& ar) override;
  virtual void Draw(SymbolPainter& painter, const SymbolPlacing& placing) const;
  // (low, high) along axis 0 or 1; (0, 0) for any other axis.
  virtual std::pair<int32_t, int32_t> GetExtent(int axis) const;
  virtual void Relink(RelinkTable&) {}
  // Stores a value read from the drawing by its group code.
  virtual void SetGroupValue(int32_t code, int32_t value);

  DXFCoord m_point;
};

class DXFLine : public CObject {
  DECLARE_SERIAL(DXFLine)
public:
  DXFLine() = default;
  void Serialize(CArchive& ar) override;
  virtual void Draw(SymbolPainter& painter, const SymbolPlacing& placing) const;
  virtual std::pair<int32_t, int32_t> GetExtent(int axis) const;
  virtual void Relink(RelinkTable&) {}
  virtual void SetGroupValue(int32_t code, int32_t value);

  DXFCoord m_start;
  DXFCoord m_end;
};

class DXFCircle : public CObject {
  DECLARE_SERIAL(DXFCircle)
public:
  DXFCircle() = default;
  void Serialize(CArchive& ar) override;
  virtual void Draw(SymbolPainter& painter, const SymbolPlacing& placing) const;
  // Circles and arcs have no extent: (0, 0).
  virtual std::pair<int32_t, int32_t> GetExtent(int axis) const;
  virtual void Relink(RelinkTable&) {}
  virtual void SetGroupValue(int32_t code, int32_t value);

  DXFCoord m_centre;
  int32_t m_radius = 0;
};

class DXFArc : public DXFCircle {
  DECLARE_SERIAL(DXFArc)
public:
  DXFArc() = default;
  void Serialize(CArchive& ar) override;
  void Draw(SymbolPainter& painter, const SymbolPlacing& placing) const override;
  void SetGroupValue(int32_t code, int32_t value) override;

  int32_t m_startAngle = 0;  // degrees, the value read modulo 360
  int32_t m_endAngle = 0;
};

// The entity operations on any of the four classes (null for another object).
void DrawEntity(const CObject* entity, SymbolPainter& painter, const SymbolPlacing& placing);
std::pair<int32_t, int32_t> EntityExtent(const CObject* entity, int axis);
