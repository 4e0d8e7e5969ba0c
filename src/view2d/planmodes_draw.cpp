#include "view2d/planmodes_draw.h"

#include <algorithm>

#include "doc/shell.h"
#include "models/frame.h"
#include "models/holesymbol.h"
#include "models/instance.h"
#include "models/plan_draw.h"
#include "view2d/topview.h"

bool BandShown(const CRect* band, int minimum) {
  if (!band) return false;
  CRect r = *band;
  r.NormalizeRect();
  return std::min(r.Width(), r.Height()) >= minimum;
}

void DrawOpeningPreview(CTopView& view, CDC& out, CDC& mapping) {
  if (view.m_mode != PLAN_MODE_DOOR && view.m_mode != PLAN_MODE_WINDOW) return;
  HoleInstance* opening = view.m_pOpening;
  Wall* wall = view.m_pWallUnderCursor;
  if (!view.m_openingPoint || !opening || !wall) return;
  const Frame* frame = view.PlanFrame();
  if (Frame::IndexOfWall(frame->m_walls, wall) < 0) return;  // deleted since it was found
  const CPoint at = *view.m_openingPoint;
  if (!wall->InsertOpeningFromLibrary(at.x + frame->m_originX, at.y + frame->m_originY, opening,
                                      view.m_orientation, 0))
    return;
  PlanPen pen(out, PS_SOLID, GetShell().GetPlanWindowSettings().unselectedWall);
  double angle = wall->AngleDegrees(false);
  if (angle > 179.999) angle -= 180.0;
  opening->m_posture.position[0] = 0.0f;
  opening->m_posture.rotation[2] = 0.0f;
  opening->m_posture.mirror = view.m_orientation & 1;
  GdiSymbolPainter painter(out, mapping);
  Hole::DrawRotated(*opening, painter, at.x, at.y, angle + ((view.m_orientation & 2) ? 180.0 : 0.0));
}
