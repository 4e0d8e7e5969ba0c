#include "view3d/simwindow.h"

#include <cstring>
#include <vector>

#include "doc/shell.h"
#include "models/scene.h"
#include "view3d/nodedata.h"
#include "view3d/view3d.h"

namespace {

constexpr float kStereoParallax = 30.0f;
constexpr float kStereoConvergence = 1000.0f;
// The parallel projection's square and clipping.
constexpr float kPlanHalfSize = 10000.0f;
constexpr float kPlanHither = 1.0f;
constexpr float kPlanYon = 1500000.0f;
constexpr int kProjectionPerspective = 1;
constexpr int kProjectionParallel = 4;
constexpr int kGridLines = 1;
constexpr unsigned kNormalRendering = 61;

SimKeyHandler g_keyHandler = nullptr;

C3DView* ViewOf(WTwindow* window) { return window ? static_cast<C3DView*>(WTwindow_getdata(window)) : nullptr; }

void SetDrawColour(WTwindow* window, DWORD colour) {
  WTwindow_setdrawrgb(window, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// The window-document text's place: the scene keeps x and y as the bits of two floats.
void WindowDocumentPosition(const Scene& scene, float& x, float& y) {
  std::memcpy(&x, &scene.m_words[0], sizeof x);
  std::memcpy(&y, &scene.m_words[1], sizeof y);
}

// What framing the whole scene takes out of the first root for the moment: the avatar (but in
// the top view) and the first interior or exterior background object.
struct TakenOut {
  WTnode* avatar = nullptr;
  WTnode* background = nullptr;
};

bool IsBackground(WTnode* node) {
  const NodeUserData* data = GetNodeUserData(node);
  return data && (data->kind == kKindInteriorBackground || data->kind == kKindExteriorBackground);
}

TakenOut TakeOutForFraming(WTnode* root, WTnode* avatar, bool topView) {
  TakenOut out;
  for (int i = 0; i < WTnode_numchildren(root);) {
    WTnode* child = WTnode_getchild(root, i);
    if (!topView && child == avatar) {
      WTnode_remove(child);
      out.avatar = child;
    } else if (IsBackground(child)) {
      WTnode_remove(child);
      out.background = child;
      break;
    } else {
      ++i;
    }
  }
  return out;
}

void PutBack(WTnode* root, const TakenOut& out) {
  if (out.background) WTnode_addchild(root, out.background);
  if (out.avatar) WTnode_insertchild(root, out.avatar, 1);
}

void FitWholeScene(WTwindow* window, C3DView& view) {
  WTnode* root = WTuniverse_getrootnodes();
  if (!root) return;
  const bool topView = view.IsTopView();
  const TakenOut out = TakeOutForFraming(root, view.Handles().avatar, topView);
  if (topView)
    WTwindow_zoomtofit(window);
  else
    FrameNodeInView(window, root);
  PutBack(root, out);
}

// One key a frame: the queue never grows.
void SimFrameAction() {
  const int key = WTkeyboard_getkey();
  if (key && g_keyHandler) g_keyHandler(key);
}

}  // namespace

void CreateSimulationWindow(C3DView* view, SimViewHandles& handles, int windowMode,
                            const SimWindowSettings& settings) {
  WTwindow* window = WTwindow_newuser(view->m_hWnd, windowMode);
  if (!window) return;
  handles.window = window;
  WTwindow_setdata(window, view);
  handles.viewpoint = WTviewpoint_new();
  WTwindow_setrootnode(window, WTuniverse_getrootnodes());
  handles.root = WTwindow_getrootnode(window);
  if (handles.root) WTnode_setname(handles.root, "Root");
  WTwindow_setviewpoint(window, handles.viewpoint);
  WTwindow_setbgrgb(window, GetRValue(settings.background), GetGValue(settings.background),
                    GetBValue(settings.background));
  WTwindow_setname(window, "Simulation-Window");
  WTwindow_sethither(window, settings.hither);
  WTwindow_setyon(window, settings.yon);
  WTwindow_setviewangle(window, settings.viewAngle);
  WTwindow_setdrawfn(window, &DrawGrid);
  WTwindow_setdraw2dfn(window, &DrawWindowDocument);
  GetStartPose(handles.startPose);
  WTviewpoint_setorientation(handles.viewpoint, handles.startPose + 3);
  WTviewpoint_setposition(handles.viewpoint, handles.startPose);
  if (windowMode != 0) {
    WTviewpoint_setparallax(handles.viewpoint, kStereoParallax);
    WTviewpoint_setconvergencedist(handles.viewpoint, kStereoConvergence);
  }
}

void DestroySimulationWindow(WTwindow* window, WTmotionlink* link) {
  if (link) _WTmotionlink_delete(link);
  if (!window) return;
  // The second is read once the first is gone.
  if (WTviewpoint* first = WTwindow_getviewpoint(window)) WTviewpoint_delete(first);
  if (WTviewpoint* second = WTwindow_getviewpoint2(window)) WTviewpoint_delete(second);
  WTwindow_delete(window);
}

void SetWindowProjection(WTwindow* window, int perspective) {
  if (!perspective) {
    WTwindow_setprojection(window, kProjectionPerspective);
    return;
  }
  for (int eye = 0; eye < 2; ++eye)
    WTwindow_setfrustum(window, eye, -kPlanHalfSize, kPlanHalfSize, -kPlanHalfSize, kPlanHalfSize, kPlanHither,
                        kPlanYon);
  WTwindow_setprojection(window, kProjectionParallel);
}

void DrawGrid(WTwindow* window, int) {
  C3DView* view = ViewOf(window);
  if (!view || !view->GetScene()) return;
  SimGridSettings& s = GetShell().GetSimGridSettings();
  const int state = view->GetGridState();
  const GridSwitches on = {s.x != 0, s.y != 0, s.z != 0, s.xy != 0, s.yz != 0, s.zx != 0};
  const std::vector<float> points = BuildGridPoints(state, s.gap, s.maximum, on);
  if (points.empty()) return;
  const int count = static_cast<int>(points.size() / 3);
  if (state == kGridLines) {
    WTwindow_setlinestipple(window, static_cast<unsigned short>(s.lineStyle));
    WTwindow_setlinewidth(window, s.lineWidth);
    SetDrawColour(window, s.lineColor);
    WTwindow_drawlines(window, points.data(), count, 0);
  } else {
    WTwindow_setpointsize(window, s.pointWidth);
    SetDrawColour(window, s.pointColor);
    WTwindow_drawpoints(window, points.data(), count);
  }
}

void DrawWindowDocument(WTwindow* window, int) {
  C3DView* view = ViewOf(window);
  const Scene* scene = view ? view->GetScene() : nullptr;
  if (!scene || GetShell().GetSimWindowSettings().windowText != 1) return;
  const uint32_t colour = scene->m_background;
  WTwindow_settextrgb(window, GetRValue(colour), GetGValue(colour), GetBValue(colour));
  float x = 0.0f, y = 0.0f;
  WindowDocumentPosition(*scene, x, y);
  float width = 0.0f, height = 0.0f;
  const CString& text = scene->m_text;
  int start = 0;
  for (int line = 0; start <= text.GetLength(); ++line) {
    int end = text.Find('\n', start);
    if (end < 0) end = text.GetLength();
    const CString part = text.Mid(start, end - start);
    if (line == 0) WTwindow_gettextextent(window, part, &width, &height);
    WTwindow_drawtext(window, x, y - static_cast<float>(line) * height, part);
    start = end + 1;
  }
}

void FrameNodeInView(WTwindow* window, WTnode* node) {
  if (C3DView* view = ViewOf(window)) FrameNodeInView(view->Handles().avatar, node, WTwindow_getviewangle(window));
}

void FitViewToNode(WTwindow* window, WTnode* node, int flag) {
  C3DView* view = ViewOf(window);
  if (!view) return;
  if (!node) {
    FitWholeScene(window, *view);
  } else if (view->IsTopView()) {
    WTwindow_zoomtonode(window, node, flag);
  } else {
    FrameNodeInView(window, node);
  }
}

void RefreshSimView(int mode) {
  if (!RequestSimRefresh(mode)) return;
  if (C3DView* view = GetActiveSimView()) {
    view->Invalidate(FALSE);
    view->UpdateWindow();
  }
}

void SetupSimActions() {
  const int16_t order[4] = {1, 2, 3, 4};
  _WTuniverse_seteventorder(4, order);
  _WTuniverse_setactions(&SimFrameAction);
  _WTuniverse_setrendering(kNormalRendering);
}

void SetSimKeyHandler(SimKeyHandler handler) { g_keyHandler = handler; }
