// The plan view on the 20 x 20 grid of rooms (840 walls) fitted in a 1280 x 1024 window: a full
// redraw through WM_PAINT, and a posted wall-mode click until the changed plan is painted.
// Prints the best of several runs of each beside the goal of 16 ms.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

#include "afx/winapp.h"
#include "doc/shell.h"
#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/model.h"
#include "plan_fixtures.h"
#include "view2d/topview.h"

// The framework's application object: the plan view needs nothing more of the application.
CWinApp theBenchApp("VedraPlanBench");

namespace {

double Milliseconds(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Dispatches what is queued for this thread.
void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

CPoint DeviceOf(CTopView& view, int x, int y) {
  CClientDC dc(&view);
  CDC map;
  map.CreateCompatibleDC(&dc);
  view.PrepareMapping(map);
  CPoint p(x, y);
  map.LPtoDP(&p);
  return p;
}

// The whole grid (about 9 x 9 m of plan round its middle) in the client area.
void FitGrid(CTopView& view, const Frame& plan) {
  const CRect bounds = plan.GetBounds();
  const CSize client = view.ClientSize();
  view.m_state.zoom = 0.3;
  view.m_state.grid = 1000;
  const CPoint middle = DeviceOf(view, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
  view.m_state.panX += client.cx / 2 - middle.x;
  view.m_state.panY += client.cy / 2 - middle.y;
}

// How many pixels across the middle of the window have the walls' colour: the walls the paint
// put on the screen.
int WallPixelsOnScreen(CTopView& view) {
  CClientDC dc(&view);
  const CSize client = view.ClientSize();
  int count = 0;
  for (int x = 0; x < client.cx; ++x)
    if (dc.GetPixel(x, client.cy / 2 + 3) == GetShell().GetPlanWindowSettings().unselectedWall) ++count;
  return count;
}

}  // namespace

int main() {
  CVedraDoc doc;
  doc.m_bAutoDelete = FALSE;
  if (doc.CreateNewModel("", nullptr, 0) != 1) return 1;
  CCreateContext context;
  context.m_pNewViewClass = RUNTIME_CLASS(CTopView);
  context.m_pCurrentDoc = &doc;
  auto* frameWnd = new CFrameWnd;
  if (!frameWnd->Create(nullptr, "plan", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1280, 1024), nullptr, nullptr, 0,
                        &context))
    return 1;
  auto* view = static_cast<CTopView*>(CWnd::FromHandle(::GetDlgItem(frameWnd->m_hWnd, AFX_IDW_PANE_FIRST)));
  view->OnInitialUpdate();
  Frame& plan = doc.GetModel()->m_frame;
  DrawGrid(plan, false);
  FitGrid(*view, plan);
  Pump();

  double redraw = 1e9, click = 1e9;
  for (int i = 0; i < 10; ++i) {
    redraw = std::min(redraw, Milliseconds([&] {
      view->Invalidate(FALSE);
      view->UpdateWindow();
    }));
    const CPoint p = DeviceOf(*view, 1500, 1500 + 100 * i);
    click = std::min(click, Milliseconds([&] {
      view->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
      view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
      Pump();
      view->UpdateWindow();
    }));
  }
  std::printf("plan of %d walls in 1280 x 1024 (%d wall pixels across): full redraw %.1f ms, posted "
              "wall-mode click %.1f ms (goal under 16 ms each)\n",
              plan.GetWallCount(), WallPixelsOnScreen(*view), redraw, click);
  frameWnd->DestroyWindow();
  return plan.IsDrawing() ? 0 : 1;
}
