// The plan drawing of a wall with GDI: its sides broken at the openings, jambs, end caps, the
// centre line, the opening symbols and, for a marked wall, its dimension.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "models/holesymbol.h"
#include "models/plan_draw.h"
#include "models/planhost.h"
#include "models/room.h"
#include "models/wall.h"

namespace {

constexpr double kDegree = 0.017453293005625408;

// A segment's six points on the device.
struct DeviceOutline {
  CPoint side0Start, side1Start, centreStart, side0End, side1End, centreEnd;
};

CPoint ToDevice(const CDC& mapping, const double p[2], CPoint origin) {
  CPoint d(static_cast<LONG>(std::trunc(p[0])) - origin.x,
           static_cast<LONG>(std::trunc(p[1])) - origin.y);
  mapping.LPtoDP(&d);
  return d;
}

DeviceOutline ToDevice(const CDC& mapping, const WallSegmentOutline& o, CPoint origin) {
  return {ToDevice(mapping, o.side0Start, origin), ToDevice(mapping, o.side1Start, origin),
          ToDevice(mapping, o.centreStart, origin), ToDevice(mapping, o.side0End, origin),
          ToDevice(mapping, o.side1End, origin),   ToDevice(mapping, o.centreEnd, origin)};
}

bool Meets(const CRect& a, const CRect& b) {
  CRect common;
  return common.IntersectRect(&a, &b) != FALSE;
}

// The colour of one side's edge: the wall's, its room's, or the selection's.
COLORREF SideColour(const Wall& w, int side) {
  const PlanSettings& s = GetPlanSettings();
  COLORREF c = s.unselectedWall;
  if (const Room* r = w.m_pRoom[side]; r && r->m_interior != 0)
    c = (r->m_state & ROOM_SELECTED) ? s.selectedRoom : s.unselectedRoom;
  const uint32_t mine = side ? WALL_SIDE1_SELECTED : WALL_SIDE0_SELECTED;
  if (w.m_flags & (mine | WALL_SELECTED)) c = s.selectedWall;
  return c;
}

bool IsFree(const WallPole* p) { return (p->m_sideFlags & POLE_FREE_END) == POLE_FREE_END; }

void Line(CDC& dc, CPoint a, CPoint b) {
  dc.MoveTo(a.x, a.y);
  dc.LineTo(b.x, b.y);
}

// Side 0 with the jamb or end cap at the segment's end, side 1 back with the one at its start.
void DrawSides(CDC& out, const Wall& w, int style, const DeviceOutline& d, int index) {
  {
    PlanPen pen(out, style, SideColour(w, 0));
    Line(out, d.side0Start, d.side0End);
    if (index >= 0 || IsFree(w.m_pEnd))
      out.LineTo(d.side1End.x, d.side1End.y);
    else
      out.MoveTo(d.side1End.x, d.side1End.y);
  }
  PlanPen pen(out, style, SideColour(w, 1));
  out.LineTo(d.side1Start.x, d.side1Start.y);
  const bool first = index == 0 || index == -2;
  if (!first || IsFree(w.m_pStart)) out.LineTo(d.side0Start.x, d.side0Start.y);
}

struct Unit {
  double x = 0.0, y = 0.0;
};

Unit Along(CPoint a, CPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y, n = std::hypot(dx, dy);
  return n > 0.0 ? Unit{dx / n, dy / n} : Unit{1.0, 0.0};
}

CPoint Moved(CPoint p, Unit u, double by) {
  return CPoint(p.x + static_cast<LONG>(std::lround(u.x * by)),
                p.y + static_cast<LONG>(std::lround(u.y * by)));
}

// The label's escapement in tenths of a degree, never upside down.
int LabelEscapement(double wallAngle) {
  int e = static_cast<int>(wallAngle) * 10;
  if (e >= 901 && e <= 2699) e = (e + 1800) % 3600;
  return e;
}

void DrawLabel(CDC& out, const char* text, CPoint middle, int size, double wallAngle) {
  const int fontHeight = static_cast<int>(size * 1.2);
  const int escapement = LabelEscapement(wallAngle);
  CFont font;
  if (!font.CreateFont(-fontHeight, fontHeight / 2, escapement, escapement, FW_NORMAL, 0, 0, 0,
                       DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_LH_ANGLES, DEFAULT_QUALITY, 49, "Arial"))
    AfxThrowResourceException();
  CFont* old = out.SelectObject(&font);
  const double e = escapement / 10.0 * kDegree;
  const Unit along{std::cos(e), -std::sin(e)}, up{-std::sin(e), -std::cos(e)};
  const double width = std::strlen(text) * 0.75 * size, height = 0.75 * size;
  double x = middle.x - along.x * width / 2 + up.x * height;
  double y = middle.y - along.y * width / 2 + up.y * height;
  const int whole = static_cast<int>(wallAngle);
  if ((whole >= 91 && whole <= 179) || (whole >= 181 && whole <= 269)) y -= height / 25;
  out.SetTextColor(GetPlanSettings().dimensionFont);
  const int oldMode = out.SetBkMode(TRANSPARENT);
  out.TextOut(static_cast<int>(x), static_cast<int>(y), text, static_cast<int>(std::strlen(text)));
  out.SetBkMode(oldMode);
  out.SelectObject(old);
}

// The dimension of a marked wall's segment: extension lines out of side 0, the dimension line
// between them and the length as a label when it fits.
void DrawDimension(CDC& out, CDC& mapping, const WallSegmentOutline& o, const DeviceOutline& d,
                   double wallAngle) {
  const PlanSettings& s = GetPlanSettings();
  CSize size(s.dimensionTextSize, s.dimensionTextSize);
  mapping.HIMETRICtoDP(&size);
  const Unit out0 = Along(d.centreStart, d.side0Start);
  const CPoint a = Moved(d.side0Start, out0, size.cy), b = Moved(d.side0End, out0, size.cy);
  {
    PlanPen pen(out, PS_SOLID, s.leadLineAuxPoint);
    Line(out, d.side0Start, Moved(d.side0Start, out0, 2.0 * size.cy));
    Line(out, d.side0End, Moved(d.side0End, out0, 2.0 * size.cy));
  }
  {
    PlanPen pen(out, PS_SOLID, s.leadLine);
    Line(out, a, b);
  }
  const double length = std::hypot(o.centreEnd[0] - o.centreStart[0], o.centreEnd[1] - o.centreStart[1]);
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(length));
  CSize logical(s.dimensionTextSize, s.dimensionTextSize);
  mapping.HIMETRICtoLP(&logical);
  if (std::strlen(text) * 0.75 * std::abs(logical.cx) >= length) return;
  DrawLabel(out, text, CPoint((a.x + b.x) / 2, (a.y + b.y) / 2), size.cy, wallAngle);
}

void DrawSegment(CDC& out, CDC& mapping, const Wall& w, CPoint origin, int style,
                 const WallSegmentOutline& o, int index, const CRect& clip, double wallAngle) {
  const DeviceOutline d = ToDevice(mapping, o, origin);
  CRect box(d.side0Start, d.side1End);
  box.NormalizeRect();
  box.InflateRect(1, 1);
  if (!Meets(box, clip)) return;
  const PlanSettings& s = GetPlanSettings();
  const bool selected = (w.m_flags & WALL_SELECTED) != 0;
  if (w.m_thickness > 0) {
    DrawSides(out, w, style, d, index);
    if (s.showCentreLines) {
      PlanPen pen(out, style, selected ? s.selectedWallCenter : s.unselectedWallCenter);
      Line(out, d.centreStart, d.centreEnd);
    }
  } else {
    PlanPen pen(out, PS_DASHDOTDOT, selected ? s.selectedWall : s.unselectedWall);
    Line(out, d.centreStart, d.centreEnd);
  }
  if ((w.m_flags & WALL_MARKED) && s.showDimensions) DrawDimension(out, mapping, o, d, wallAngle);
}

}  // namespace

void Wall::Draw(CDC& out, CDC& mapping, CPoint origin, const CRect& clip) const {
  const double angle = AngleDegrees(false);
  CRect bounds = GetBounds();
  bounds.OffsetRect(-origin.x, -origin.y);
  mapping.LPtoDP(&bounds);
  bounds.NormalizeRect();
  if (m_thickness > 0 && !Meets(bounds, clip)) return;
  const int style = GetPlanLineStyle();
  const std::vector<WallSegmentOutline> pieces = BuildSegmentOutlines();
  const int n = static_cast<int>(pieces.size()) - 1;
  for (int i = 0; i <= n; ++i) {
    const int index = i < n ? i : (n > 0 ? -1 : -2);
    DrawSegment(out, mapping, *this, origin, style, pieces[static_cast<size_t>(i)], index, clip, angle);
  }
  const PlanSettings& s = GetPlanSettings();
  PlanPen pen(out, PS_SOLID, (m_flags & WALL_SELECTED) ? s.selectedWall : s.unselectedWall);
  GdiSymbolPainter painter(out, mapping);
  const int32_t x = static_cast<int32_t>(m_pStart->m_x) - origin.x;
  const int32_t y = static_cast<int32_t>(m_pStart->m_y) - origin.y;
  for (int i = m_openings.GetCount() - 1; i >= 0; --i)
    Hole::DrawRotated(*m_openings.GetHole(i), painter, x, y, angle);
  if (m_pPendingOpening) Hole::DrawRotated(*m_pPendingOpening, painter, x, y, angle);
}
