// The plan's GDI helpers: the view's mapping, the symbol painter and the plan pens.
#include "models/frame.h"
#include "models/mycodeexception.h"
#include "models/plan_draw.h"

CPoint DCPlanMapping::DeviceToLogical(CPoint device) const {
  m_dc.DPtoLP(&device);
  return device;
}

CPoint DCPlanMapping::LogicalToDevice(CPoint logical) const {
  m_dc.LPtoDP(&logical);
  return logical;
}

CPoint GdiSymbolPainter::Device(CPoint p) const { return m_map.LogicalToDevice(p); }

void GdiSymbolPainter::Line(CPoint from, CPoint to) {
  const CPoint a = Device(from), b = Device(to);
  m_out.MoveTo(a.x, a.y);
  m_out.LineTo(b.x, b.y);
}

void GdiSymbolPainter::Ellipse(const CRect& box) {
  CRect r(Device(box.TopLeft()), Device(box.BottomRight()));
  CGdiObject* old = m_out.SelectStockObject(HOLLOW_BRUSH);
  if (!old) throw MyCodeException{"Models\\2D Frame\\Hole_Symbol_DxfEntity", 202, 2};
  m_out.Ellipse(&r);
  m_out.SelectObject(old);
}

void GdiSymbolPainter::Arc(const CRect& box, CPoint start, CPoint end) {
  // Plan y grows upward; the device's downward: counter-clockwise in the plan is clockwise on
  // the device, so the ends change places.
  CRect r(Device(box.TopLeft()), Device(box.BottomRight()));
  r.NormalizeRect();
  const CPoint s = Device(start), e = Device(end);
  m_out.Arc(r.left, r.top, r.right, r.bottom, e.x, e.y, s.x, s.y);
}

namespace {

thread_local PlanPenCache* t_penCache = nullptr;

}  // namespace

PlanPenCache::PlanPenCache() {
  if (t_penCache) return;
  t_penCache = this;
  m_active = true;
}

PlanPenCache::~PlanPenCache() {
  if (m_active) t_penCache = nullptr;
}

PlanPenCache* PlanPenCache::Current() { return t_penCache; }

CPen* PlanPenCache::Get(int style, COLORREF colour) {
  for (Entry& e : m_pens)
    if (e.style == style && e.colour == colour) return e.pen.get();
  auto pen = std::make_unique<CPen>();
  if (!pen->CreatePen(style, 0, colour)) return nullptr;
  m_pens.push_back({style, colour, std::move(pen)});
  return m_pens.back().pen.get();
}

PlanPen::PlanPen(CDC& dc, int style, COLORREF colour) : m_dc(dc) {
  CPen* pen = &m_pen;
  if (PlanPenCache* cache = PlanPenCache::Current())
    pen = cache->Get(style, colour);
  else if (!m_pen.CreatePen(style, 0, colour))
    pen = nullptr;
  if (!pen) AfxThrowResourceException();
  m_old = m_dc.SelectObject(pen);
}

PlanPen::~PlanPen() {
  if (m_old) m_dc.SelectObject(m_old);
}

void Frame::DrawWalls(CDC& out, CDC& mapping, const CRect& clip) const {
  PlanPenCache pens;
  const CPoint origin(m_originX, m_originY);
  for (int i = GetWallCount() - 1; i >= 0; --i) GetWall(i)->Draw(out, mapping, origin, clip);
  for (int i = GetChainCount() - 1; i >= 0; --i) GetChainWall(i)->Draw(out, mapping, origin, clip);
}
