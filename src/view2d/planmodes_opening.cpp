// Door and window modes: the opening chosen on the bar (or picked up in the select mode) is
// previewed on the wall nearest to the mouse, turned or mirrored by the right button and set
// into the wall by the left button with a library model of suitable size.
#include <algorithm>
#include <cstdlib>

#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/holesymbol.h"
#include "models/instance.h"
#include "view2d/planmodes.h"
#include "view2d/topview.h"

namespace {

// Half the side of a square around the insertion point that holds the opening's symbol as the
// preview draws it (a missing symbol has an empty extent).
int PreviewHalfSide(const HoleInstance& opening) {
  int s = static_cast<int>(opening.m_posture.size[0] / 2.0f) + 1;
  if (const Hole* symbol = FindHoleSymbol(opening.m_kind, opening.m_kindId)) {
    const CRect b = symbol->GetBounds(0.0);
    s = std::max({s, -static_cast<int>(b.left), -static_cast<int>(b.top),
                  static_cast<int>(b.right), static_cast<int>(b.bottom)});
  }
  return s;
}

// The device square of that half side around a logical point, normalised.
CRect PreviewSquare(const CDC& mapping, CPoint logical, int half) {
  CRect r(logical.x - half, logical.y - half, logical.x + half, logical.y + half);
  mapping.LPtoDP(&r);
  r.NormalizeRect();
  return r;
}

CPoint WithOffset(const CTopView& view, CPoint logical) {
  const Frame* frame = view.PlanFrame();
  return CPoint(logical.x + frame->m_originX, logical.y + frame->m_originY);
}

}  // namespace

void OpeningMouseMove(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT) {
  if (!view.m_pOpening) return;
  view.m_pOpening->m_posture.position[0] = 0.0f;
  const int half = PreviewHalfSide(*view.m_pOpening);
  CRect area(0, 0, 0, 0);
  if (view.m_openingPoint) {
    // The wall used is the one found at the previous mouse position.
    const CPoint previous = WithOffset(view, *view.m_openingPoint);
    double x = previous.x, y = previous.y;
    WallHit hit;
    view.PlanFrame()->FindNearestWall(&x, &y, &hit);
    view.m_pWallUnderCursor = hit.wall;
    area = PreviewSquare(mapping, *view.m_openingPoint, half);
  } else {
    view.m_openingPoint = std::make_unique<CPoint>(point);
  }
  CRect client;
  view.GetClientRect(&client);
  if (!client.PtInRect(point)) {
    view.m_openingPoint.reset();
    return;
  }
  CPoint logical = point;
  mapping.DPtoLP(&logical);
  *view.m_openingPoint = logical;
  const CRect now = PreviewSquare(mapping, logical, half);
  if (area.IsRectEmpty())
    area = now;
  else
    area.UnionRect(&area, &now);
  area.InflateRect(5, 5);
  view.InvalidateRect(&area, FALSE);
}

void OpeningLButtonDown(CTopView& view, CDC&, CDC& mapping, CPoint& point, UINT) {
  HoleInstance* opening = view.m_pOpening;
  if (!opening || view.PlanFrame()->IsDrawing()) return;
  CPoint logical = point;
  mapping.DPtoLP(&logical);
  const CPoint p = WithOffset(view, logical);
  Wall* wall = view.m_pWallUnderCursor;
  if (!wall || Frame::IndexOfWall(view.PlanFrame()->m_walls, wall) < 0) return;
  opening->m_posture.mirror = view.m_orientation & 1;
  HoleInstance* placed = wall->InsertOpeningFromLibrary(p.x, p.y, opening, view.m_orientation, 1);
  if (!placed) return;
  placed->m_posture.size[1] = static_cast<float>(wall->m_thickness);
  opening->m_posture.position[1] = 0.0f;
  opening->m_posture.rotation[2] = 0.0f;
  view.PlanDocument()->SetModifiedFlag(TRUE);
  view.Invalidate(FALSE);
}

void OpeningRButtonDown(CTopView& view, CDC&, CDC&, CPoint&, UINT) {
  const Hole* symbol =
      view.m_pOpening ? FindHoleSymbol(view.m_pOpening->m_kind, view.m_pOpening->m_kindId) : nullptr;
  const uint32_t both = HOLE_OPTION_1 | HOLE_OPTION_2;
  const bool anyWay = symbol && (symbol->m_options & both) == both;
  // Every orientation in turn, or only turned by 180 degrees.
  view.m_orientation = anyWay ? (view.m_orientation + 1) % 4 : (view.m_orientation + 2) % 4;
  view.Invalidate(FALSE);
}
