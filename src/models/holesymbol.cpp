#include "models/holesymbol.h"

#include <algorithm>
#include <cmath>

#include "models/instance.h"
#include "models/planhost.h"

IMPLEMENT_SERIAL(HoleSymbol, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(HoleRegularSymbol, HoleSymbol, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(Hole, CObject, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(HHole, Hole, VERSIONABLE_SCHEMA | 5)
IMPLEMENT_SERIAL(VHole, Hole, VERSIONABLE_SCHEMA | 5)

namespace {

constexpr double kDegree = 0.017453293005625408;

void DeleteAll(ObjectArray& array) {
  for (INT_PTR i = array.GetSize() - 1; i >= 0; --i) delete array.GetAt(i);
  array.RemoveAll();
}

}  // namespace

// ---- Symbols ----

HoleSymbol::~HoleSymbol() { DeleteAll(m_entities); }

void HoleSymbol::Draw(SymbolPainter& painter, const SymbolPlacing& placing) const {
  for (int i = GetEntityCount() - 1; i >= 0; --i) DrawEntity(GetEntity(i), painter, placing);
}

void HoleRegularSymbol::Draw(SymbolPainter& painter, const SymbolPlacing& placing) const {
  SymbolPlacing uniform = placing;
  uniform.yScale = placing.xScale;
  HoleSymbol::Draw(painter, uniform);
}

std::pair<int32_t, int32_t> HoleSymbol::GetExtent(int axis) const {
  std::pair<int32_t, int32_t> extent{0, 0};
  for (int i = 0; i < GetEntityCount(); ++i) {
    const auto [low, high] = EntityExtent(GetEntity(i), axis);
    extent.first = std::min(extent.first, low);
    extent.second = std::max(extent.second, high);
  }
  return extent;
}

CRect HoleSymbol::GetBounds(double angle) const {
  const auto [xl, xh] = GetExtent(0);
  const auto [yl, yh] = GetExtent(1);
  const double a = angle * kDegree;
  const double c = std::cos(a);
  const double s = std::sin(a);
  CRect bounds;
  bool first = true;
  for (const double x : {double(xl), double(xh)}) {
    for (const double y : {double(yl), double(yh)}) {
      const int32_t rx = ClampToInt(x * c - y * s);
      const int32_t ry = ClampToInt(x * s + y * c);
      if (first) bounds = CRect(rx, ry, rx, ry);
      bounds.left = std::min<LONG>(bounds.left, rx);
      bounds.right = std::max<LONG>(bounds.right, rx);
      bounds.top = std::min<LONG>(bounds.top, ry);
      bounds.bottom = std::max<LONG>(bounds.bottom, ry);
      first = false;
    }
  }
  return bounds;
}

SymbolScales ScaleSymbol(const HoleSymbol& symbol, int32_t width, int32_t depth) {
  SymbolScales scales;
  const auto [xl, xh] = symbol.GetExtent(0);
  const auto [yl, yh] = symbol.GetExtent(1);
  const double xSpan = static_cast<double>(xh) - xl;
  const double ySpan = static_cast<double>(yh) - yl;
  if (xSpan == 0.0) return scales;
  scales.drawn = true;
  scales.x = width / xSpan;
  scales.y = depth == 0 || ySpan == 0.0 ? 1.0 : depth / (ySpan * 0.5);
  return scales;
}

// ---- Holes ----

Hole::~Hole() { DeleteAll(m_symbols); }

void Hole::AddSymbol(const char* name, bool regular) {
  if (!name) return;
  HoleSymbol* symbol = regular ? new HoleRegularSymbol : new HoleSymbol;
  symbol->m_name = name;
  CString path = GetLibDir() + "Symbol" + CString(kPathSeparator, 1) + name + ".DXF";
  symbol->ReadDxf(path);
  m_symbols.Add(symbol);
}

void Hole::Draw(SymbolPainter& painter, CPoint origin, double angle, bool mirror, int32_t width,
                int32_t depth) const {
  for (int i = GetSymbolCount() - 1; i >= 0; --i) {
    const SymbolScales scales = ScaleSymbol(*GetSymbol(i), width, depth);
    if (!scales.drawn) continue;
    GetSymbol(i)->Draw(painter, {origin, angle, mirror, scales.x, scales.y});
  }
}

CRect Hole::GetBounds(double angle) const {
  CRect bounds(0, 0, 0, 0);
  for (int i = 0; i < GetSymbolCount(); ++i) {
    const CRect symbol = GetSymbol(i)->GetBounds(angle);
    bounds.UnionRect(&bounds, &symbol);
  }
  return bounds;
}

std::pair<int32_t, int32_t> Hole::GetExtent(int axis) const {
  std::pair<int32_t, int32_t> extent{0, 0};
  for (int i = 0; i < GetSymbolCount(); ++i) {
    const auto [low, high] = GetSymbol(i)->GetExtent(axis);
    extent.first = std::min(extent.first, low);
    extent.second = std::max(extent.second, high);
  }
  return extent;
}

OpeningSymbolPlace PlaceOpeningSymbol(const HoleInstance& opening, int32_t x, int32_t y,
                                      double wallAngle) {
  OpeningSymbolPlace place;
  place.symbol = FindHoleSymbol(opening.m_kind, opening.m_kindId);
  if (!place.symbol) return place;
  const Posture& posture = opening.m_posture;
  const double a = wallAngle * kDegree;
  const double p = std::trunc(static_cast<double>(posture.position[0]));
  place.origin = CPoint(ClampToInt(x + std::trunc(p * std::cos(a))),
                        ClampToInt(y + std::trunc(p * std::sin(a))));
  place.angle = posture.rotation[2] + wallAngle;
  place.mirror = posture.mirror != 0;
  place.width = ClampToInt(posture.size[0]);
  place.depth = ClampToInt(posture.size[1]);
  return place;
}

void Hole::DrawRotated(const HoleInstance& opening, SymbolPainter& painter, int32_t x, int32_t y,
                       double wallAngle) {
  const OpeningSymbolPlace place = PlaceOpeningSymbol(opening, x, y, wallAngle);
  if (place.symbol)
    place.symbol->Draw(painter, place.origin, place.angle, place.mirror, place.width, place.depth);
}
