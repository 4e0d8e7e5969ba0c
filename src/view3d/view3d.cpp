#include "view3d/view3d.h"

#include "controls/dibimage.h"
#include "doc/shell.h"
#include "doc/simulator.h"
#include "doc/vedradoc.h"
#include "models/model.h"
#include "models/planhost.h"
#include "view3d/frame3d.h"
#include "view3d/simwindow.h"

IMPLEMENT_DYNCREATE(C3DView, CView)

BEGIN_MESSAGE_MAP(C3DView, CView)
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

namespace {

constexpr UINT_PTR kFrameTimer = 100;
constexpr UINT kFramePeriod = 1;  // ms
// How long the view waits after its last frame before the toolkit window goes.
constexpr DWORD kSettleMs = 1000;
constexpr float kRadiansPerDegree = 0.017453292f;
constexpr char kCaptureFile[] = "CaptureScene.bmp";

}  // namespace

C3DView::C3DView() = default;

C3DView::~C3DView() = default;

C3DFrame* C3DView::Frame() const { return DYNAMIC_DOWNCAST(C3DFrame, GetParentFrame()); }

Scene* C3DView::GetScene() const {
  auto* doc = DYNAMIC_DOWNCAST(CVedraDoc, GetDocument());
  Model* model = doc ? doc->GetModel() : nullptr;
  return model ? &model->m_scene : nullptr;
}

int C3DView::GetGridState() const {
  C3DFrame* frame = Frame();
  return frame ? frame->GetBar().GetGridState() : 0;
}

bool C3DView::IsTopView() const {
  C3DFrame* frame = Frame();
  return frame && frame->GetBar().IsTopView();
}

// The toolkit draws with OpenGL into the view: a device context of its own, no background.
BOOL C3DView::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.lpszClass = AfxRegisterWndClass(CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                     ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  cs.style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  return CView::PreCreateWindow(cs);
}

// The framework runs the initial update more than once (the template's, then the frame's own
// call): the toolkit scene is built on the first only.
void C3DView::OnInitialUpdate() {
  if (!m_sim.built) {
    m_sim.built = true;
    BuildSimulation();
  }
  CView::OnInitialUpdate();
}

void C3DView::BuildSimulation() {
  ShellServices& shell = GetShell();
  SetTimer(kFrameTimer, kFramePeriod, nullptr);
  SetupSimActions();
  CreateSimulationWindow(this, m_sim, shell.GetWindowMode(), shell.GetSimWindowSettings());
  CreateSceneGroups(m_sim, shell.GetSystemDir());
  WTsensor* mouse = shell.GetMouseSensor();
  CreateSimSensors(m_sim, mouse);
  WTkeyboard_enable();
  if (mouse) {
    const SimDeviceSettings& device = shell.GetSimDeviceSettings();
    _WTsensor_setsensitivity(mouse, device.mouseSensitivity);
    _WTsensor_setangularrate(mouse, device.mouseRotationAngle * kRadiansPerDegree);
  }
  WTuniverse_ready();
}

// The mouse moves the viewpoint and the avatar while the view is active; a view that is not
// (hidden behind the plan) is not drawn.
void C3DView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
  m_sim.EnableLinks(bActivate != FALSE);
  if (m_sim.window) WTwindow_enable(m_sim.window, bActivate ? 1 : 0);
  if (bActivate) CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

// Every tick runs a frame, whichever timer it is.
void C3DView::OnTimer(UINT_PTR) {
  WTuniverse_go1();
  Default();
}

void C3DView::OnDestroy() {
  KillTimer(kFrameTimer);
  ::Sleep(kSettleMs);
  // The scene stays with the document: it forgets the nodes that go with the root's tree.
  m_sim.DeleteSceneNodes(GetScene());
  if (m_sim.window) DestroySimulationWindow(m_sim.window, m_sim.viewpointLink);
  m_sim.ClearHandles();
  CView::OnDestroy();
}

void C3DView::ClearSelection() {
  m_sim.picked = nullptr;
  m_sim.selected = nullptr;
}

void C3DView::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
  const CRect page(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
  DrawBmpFileStretched(pDC, GetTempDir() + kCaptureFile, &page);
  CView::OnPrint(pDC, pInfo);
}

C3DView* GetActiveSimView() {
  CMDIChildWnd* frame = GetShell().GetSimFrame();
  return frame ? DYNAMIC_DOWNCAST(C3DView, frame->GetActiveView()) : nullptr;
}

namespace {

// The document's simulator: the active 3D view, when there is one.
class Simulator : public SimulatorServices {
public:
  // Objects come into the scene as they are placed: nothing is loaded yet but the main window
  // hears that the model is ready, with the switch code of its kind (interior: the plan).
  int LoadIntoSimulator(Scene& scene, CProgressWnd*, uint32_t) override {
    CWnd* main = GetShell().GetMainWindow();
    if (!main) return 0;
    const uint32_t kind = scene.m_pOwner ? scene.m_pOwner->m_modelKind : MODEL_INTERIOR;
    main->SendMessage(WM_VEDRA_MODELREADY, kind == MODEL_INTERIOR ? SWITCH_PLAN : SWITCH_3D, 0);
    return 1;
  }
  void DetachAllNodes(Scene& scene) override { scene.DetachAllNodes(); }
  void DeleteNodeTree(WTnode* node) override { ::DeleteNodeTree(node); }
  void GetSelectedNodePose(float pose[7]) override {
    C3DView* view = GetActiveSimView();
    GetAvatarPose(view ? view->Handles().avatar : nullptr, pose);
  }
  // The exterior controls come with the rest of the bar.
  void ShowExteriorControls(uint32_t) override {}
  void ClearSelection() override {
    if (C3DView* view = GetActiveSimView()) view->ClearSelection();
  }
};

Simulator g_simulator;

}  // namespace

void InstallSimulator() { SetSimulator(&g_simulator); }
