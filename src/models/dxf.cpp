#include "models/dxf.h"

#include <cmath>
#include <limits>

IMPLEMENT_SERIAL(DXFPoint, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(DXFLine, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(DXFCircle, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(DXFArc, DXFCircle, VERSIONABLE_SCHEMA | 5)

namespace {

constexpr double kDegree = 0.017453293005625408;

// A drawing point scaled by the placing's scales.
CPoint Scaled(const DXFCoord& c, const SymbolPlacing& placing) {
  return CPoint(ClampToInt(c.x * placing.xScale), ClampToInt(c.y * placing.yScale));
}

CPoint Placed(const DXFCoord& c, const SymbolPlacing& placing) {
  return TransformSymbolPoint(Scaled(c, placing), placing.origin, placing.angle, placing.mirror);
}

// The square box of radius r around c.
CRect CircleBox(CPoint c, int32_t r) {
  return CRect(ClampToInt(double(c.x) - r), ClampToInt(double(c.y) - r), ClampToInt(double(c.x) + r),
               ClampToInt(double(c.y) + r));
}

void SetCoord(DXFCoord& c, int32_t code, int32_t value, int32_t base) {
  if (code == base) c.x = value;
  else if (code == base + 10) c.y = value;
  else if (code == base + 20) c.z = value;
}

std::pair<int32_t, int32_t> Ordered(int32_t a, int32_t b) { return a < b ? std::pair{a, b} : std::pair{b, a}; }

}  // namespace

int32_t ClampToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(std::trunc(v));
}

CPoint TransformSymbolPoint(CPoint p, CPoint origin, double angle, bool mirror) {
  const double x = mirror ? -static_cast<double>(p.x) : p.x;
  const double y = p.y;
  const double a = angle * kDegree;
  const double c = std::cos(a);
  const double s = std::sin(a);
  return CPoint(ClampToInt(origin.x + std::trunc(x * c - y * s)),
                ClampToInt(origin.y + std::trunc(y * c + x * s)));
}

// ---- Points ----

void DXFPoint::Draw(SymbolPainter&, const SymbolPlacing&) const {}

std::pair<int32_t, int32_t> DXFPoint::GetExtent(int axis) const {
  if (axis == 0) return {m_point.x, m_point.x};
  if (axis == 1) return {m_point.y, m_point.y};
  return {0, 0};
}

void DXFPoint::SetGroupValue(int32_t code, int32_t value) { SetCoord(m_point, code, value, 10); }

// ---- Lines ----

void DXFLine::Draw(SymbolPainter& painter, const SymbolPlacing& placing) const {
  painter.Line(Placed(m_start, placing), Placed(m_end, placing));
}

std::pair<int32_t, int32_t> DXFLine::GetExtent(int axis) const {
  if (axis == 0) return Ordered(m_start.x, m_end.x);
  if (axis == 1) return Ordered(m_start.y, m_end.y);
  return {0, 0};
}

void DXFLine::SetGroupValue(int32_t code, int32_t value) {
  SetCoord(m_start, code, value, 10);
  SetCoord(m_end, code, value, 11);
}

// ---- Circles and arcs ----

void DXFCircle::Draw(SymbolPainter& painter, const SymbolPlacing& placing) const {
  const int32_t r = ClampToInt(m_radius * placing.xScale);
  painter.Ellipse(CircleBox(Placed(m_centre, placing), r));
}

std::pair<int32_t, int32_t> DXFCircle::GetExtent(int) const { return {0, 0}; }

void DXFCircle::SetGroupValue(int32_t code, int32_t value) {
  SetCoord(m_centre, code, value, 10);
  if (code == 40) m_radius = value;
}

void DXFArc::Draw(SymbolPainter& painter, const SymbolPlacing& placing) const {
  const int32_t r = ClampToInt(m_radius * placing.xScale);
  const CPoint c = Placed(m_centre, placing);
  const CPoint q(r, 0);
  CPoint start, end;
  if (!placing.mirror) {
    start = TransformSymbolPoint(q, c, m_startAngle + placing.angle, false);
    end = TransformSymbolPoint(q, c, m_endAngle + placing.angle, false);
  } else {
    start = TransformSymbolPoint(q, c, placing.angle - m_endAngle, true);
    end = TransformSymbolPoint(q, c, placing.angle - m_startAngle, true);
  }
  painter.Arc(CircleBox(c, r), start, end);
}

void DXFArc::SetGroupValue(int32_t code, int32_t value) {
  DXFCircle::SetGroupValue(code, value);
  if (code == 50) m_startAngle = value % 360;
  if (code == 51) m_endAngle = value % 360;
}

void DrawEntity(const CObject* entity, SymbolPainter& painter, const SymbolPlacing& placing) {
  if (auto* p = dynamic_cast<const DXFPoint*>(entity)) p->Draw(painter, placing);
  else if (auto* l = dynamic_cast<const DXFLine*>(entity)) l->Draw(painter, placing);
  else if (auto* c = dynamic_cast<const DXFCircle*>(entity)) c->Draw(painter, placing);
}

std::pair<int32_t, int32_t> EntityExtent(const CObject* entity, int axis) {
  if (auto* p = dynamic_cast<const DXFPoint*>(entity)) return p->GetExtent(axis);
  if (auto* l = dynamic_cast<const DXFLine*>(entity)) return l->GetExtent(axis);
  if (auto* c = dynamic_cast<const DXFCircle*>(entity)) return c->GetExtent(axis);
  return {0, 0};
}
