// The 3D frame and view in windows of this process, made as the main frame makes them (the
// template's frame, its initial update, then the view's own): the toolkit scene built once, the
// frames its timer runs, its links with the activation, what it draws, framing the scene and
// what it leaves when it goes.
#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "doc/shell.h"
#include "doc/simulator.h"
#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/model.h"
#include "models/room.h"
#include "afx/winprint.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"
#include "resource.h"
#include "scene_host_double.h"
#include "uitest.h"
#include "universe.h"
#include "view3d/frame3d.h"
#include "view3d/simwindow.h"
#include "view3d/view3d.h"

namespace {

// The shell of the tests: it knows the 3D frame and lends a mouse sensor.
class SimShell : public ShellWithoutMainWindow {
public:
  CMDIChildWnd* GetSimFrame() override { return frame; }
  void AttachFrame(int which, CMDIChildWnd* f) override {
    if (which == ACTIVE_3D) frame = f;
  }
  void DetachFrame(int which, CMDIChildWnd* f) override {
    if (which == ACTIVE_3D && frame == f) frame = nullptr;
  }
  WTsensor* GetMouseSensor() override { return mouse; }

  CMDIChildWnd* frame = nullptr;
  WTsensor* mouse = nullptr;
};

std::vector<int> g_keys;
void RecordKey(int key) { g_keys.push_back(key); }

int CountWindows() {
  int n = 0;
  for (WTwindow* w = _WTuniverse_getwindows(); w; w = WTwindow_next(w)) ++n;
  return n;
}

int CountLinks() {
  int n = 0;
  for (WTmotionlink* l = _WTuniverse_getmotionlinks(); l; l = _WTmotionlink_next(l)) ++n;
  return n;
}

struct Rgb {
  int r, g, b;
};

class SimFrame : public SimUniverse {
protected:
  void SetUp() override {
    SimUniverse::SetUp();
    WTuniverse_setoption(10, 0);  // frames leave the messages to the message loop, as in the program
    shell.mouse = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 0);
    SetShell(&shell);
    InstallSimulator();
    SetSimKeyHandler(&RecordKey);
    g_keys.clear();
    main = new CMDIFrameWnd;
    ASSERT_TRUE(main->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
    main->ShowWindow(SW_SHOW);
    AfxGetApp()->m_pMainWnd = main;
    doc.m_bAutoDelete = FALSE;
    ASSERT_EQ(doc.CreateNewModel("", nullptr, 0), 1);
    tmpl = new CMultiDocTemplate(IDR_VEDRATYPE, RUNTIME_CLASS(CVedraDoc), RUNTIME_CLASS(C3DFrame),
                                 RUNTIME_CLASS(C3DView));
    CFrameWnd* made = tmpl->CreateNewFrame(&doc, nullptr);
    ASSERT_NE(made, nullptr);
    frame = static_cast<C3DFrame*>(made);
    tmpl->InitialUpdateFrame(frame, &doc, FALSE);
    frame->ShowWindow(SW_HIDE);
    view = static_cast<C3DView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    view->OnInitialUpdate();
  }
  void TearDown() override {
    if (frame && ::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    delete tmpl;
    AfxGetApp()->m_pMainWnd = nullptr;  // no WM_QUIT for the test's thread
    if (main) main->DestroyWindow();
    uitest::PumpPending();
    SetSimKeyHandler(nullptr);
    SetSimulator(nullptr);
    SetShell(nullptr);
    WTsensor_delete(shell.mouse);
    SimUniverse::TearDown();
  }

  // The view in front, drawn once.
  void ShowAndDraw() {
    main->MDIActivate(frame);
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    uitest::PumpPending();
    WTuniverse_go1();
  }
  // A pixel of the view's last frame (from the bottom left).
  Rgb Pixel(int x, int y) {
    unsigned char p[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }
  Rgb Centre() {
    CRect r;
    view->GetClientRect(&r);
    return Pixel(r.Width() / 2, r.Height() / 2);
  }

  SimShell shell;
  CMDIFrameWnd* main = nullptr;
  CVedraDoc doc;
  CMultiDocTemplate* tmpl = nullptr;
  C3DFrame* frame = nullptr;
  C3DView* view = nullptr;
};

// The initial update runs twice (the template's and the frame's own): one window, one skeleton,
// two links, the start pose.
TEST_F(SimFrame, TheViewsSceneIsBuiltOnceWithItsLinksAndTheStartPose) {
  SimViewHandles& h = view->Handles();
  EXPECT_EQ(CountWindows(), 1);
  EXPECT_EQ(CountLinks(), 2);
  ASSERT_TRUE(h.window && h.viewpoint && h.viewpointLink && h.avatarLink);
  EXPECT_EQ(h.root, root);
  EXPECT_STREQ(WTnode_getname(root), "Root");
  EXPECT_STREQ(WTwindow_getname(h.window), "Simulation-Window");
  std::vector<std::string> names;
  for (int i = 0; i < WTnode_numchildren(root); ++i) names.push_back(WTnode_getname(WTnode_getchild(root, i)));
  EXPECT_EQ(names, (std::vector<std::string>{"Lights Group", "Object Light Group", "Fog", "Avatar"}));
  WTp3 at;
  WTviewpoint_getposition(h.viewpoint, at);
  EXPECT_EQ(std::vector<float>(at, at + 3), (std::vector<float>{3000.0f, -1200.0f, 0.0f}));
  WTq q;
  WTviewpoint_getorientation(h.viewpoint, q);
  const float expected[4] = {0.0f, 0.7071068f, 0.0f, 0.7071068f};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(q[i], expected[i], 1e-6f) << i;
  EXPECT_NEAR(WTwindow_getviewangle(h.window), shell.GetSimWindowSettings().viewAngle, 1e-6f);
}

// Every tick runs a frame whatever its timer; a frame takes one key off the queue. The links and
// the drawing go with the activation; once the root's tree is gone there is no link left.
TEST_F(SimFrame, TicksRunFramesAndTheLinksFollowTheActivation) {
  for (char c : {'a', 'b'}) view->SendMessage(WM_CHAR, static_cast<WPARAM>(c), 0);
  view->SendMessage(WM_TIMER, 7, 0);
  EXPECT_EQ(g_keys, (std::vector<int>{'a'}));
  view->SendMessage(WM_TIMER, 100, 0);
  EXPECT_EQ(g_keys, (std::vector<int>{'a', 'b'}));

  SimViewHandles& h = view->Handles();
  for (BOOL active : {TRUE, FALSE, TRUE}) {
    view->OnActivateView(active, view, view);
    EXPECT_EQ(_WTmotionlink_isenabled(h.viewpointLink), active);
    EXPECT_EQ(_WTmotionlink_isenabled(h.avatarLink), active);
    EXPECT_EQ(WTwindow_isenabled(h.window), active);
  }
  GetSimulator().DeleteNodeTree(root);
  EXPECT_EQ(h.avatar, nullptr);
  EXPECT_EQ(h.avatarLink, nullptr);
  view->OnActivateView(FALSE, view, view);
  EXPECT_FALSE(_WTmotionlink_isenabled(h.viewpointLink));
}

// From the start pose inside a room 8 x 6 m round the origin the view shows a wall; without the
// room, the window's background.
TEST_F(SimFrame, ARoomIsSeenFromTheStartPoseAndTheBackgroundWithout) {
  SceneHost host;
  SetPlanHost(&host);
  host.controls[IDC_PLAN_ROOM_NAME] = "거실";
  Frame plan;
  DrawChain(plan, {{-4000, -3000}, {4000, -3000}, {4000, 3000}, {-4000, 3000}, {-4000, -3000}});
  ASSERT_TRUE(plan.PlaceRoomAt(CPoint(0, 0), 2400, 0, false));
  ShowAndDraw();
  EXPECT_GT(WTwindow_numpolys(view->Handles().window), 0);
  const Rgb wall = Centre();
  EXPECT_LE(std::abs(wall.r - wall.g), 3);
  EXPECT_LE(std::abs(wall.g - wall.b), 3);
  EXPECT_FALSE(wall.r == 0x40 && wall.g == 0x80 && wall.b == 0x80);

  host.scene.RemoveAll();
  WTuniverse_go1();
  const Rgb empty = Centre();
  EXPECT_EQ(std::vector<int>({empty.r, empty.g, empty.b}), (std::vector<int>{0x40, 0x80, 0x80}));
  SetPlanHost(nullptr);
}

// Framing the whole scene leaves out the avatar and the background object and puts both back.
TEST_F(SimFrame, FramingTheSceneLeavesOutTheAvatarAndTheBackground) {
  SimViewHandles& h = view->Handles();
  Block(root, "table", 200, 200, 200);
  WTnode* background = WTmovsepnode_new(root);
  WTnode_setname(background, "background");
  Block(background, "hills", 50000, 50000, 50000);
  const WTp3 away = {200000.0f, 0.0f, 0.0f};
  WTnode_translate(background, away, WTFRAME_PARENT);
  NewNodeUserData(background, kTagObject, nullptr, background, kKindInteriorBackground);
  FitViewToNode(h.window, nullptr, 0);
  float pose[7];
  GetAvatarPose(h.avatar, pose);
  // Only the table is framed: 2 x 100 / tan(view angle) from it, along x.
  const float d = 200.0f / std::tan(WTwindow_getviewangle(h.window));
  EXPECT_NEAR(pose[0], d, 1.0f);
  EXPECT_NEAR(pose[2], 0.0f, 1.0f);
  EXPECT_EQ(WTnode_getchild(root, 1), h.avatar);
  EXPECT_EQ(WTnode_getchild(root, WTnode_numchildren(root) - 1), background);
}

// A red picture of 2 x 2 pixels as a 24-bit .bmp file.
void WriteRedBmp(const std::string& path) {
  std::string bytes = std::string("BM") + std::string(52, '\0');
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  put(2, 54 + 16);
  put(10, 54);
  put(14, 40);
  put(18, 2);
  put(22, 2);
  put(26, 1 | (24 << 16));
  const char row[8] = {0, 0, '\xFF', 0, 0, '\xFF', 0, 0};  // two red pixels (blue, green, red), padded
  bytes.append(row, 8).append(row, 8);
  std::ofstream(path, std::ios::binary) << bytes;
}

// Printing puts the scene capture of the temporary folder on the page; without one the page
// stays as the framework leaves it.
TEST_F(SimFrame, PrintingPutsTheSceneCaptureOnThePage) {
  RecordingPlanHost host;
  SetPlanHost(&host);
  CClientDC screen(view);
  for (bool captured : {true, false}) {
    const std::string capture = host.LibPath("temp\\CaptureScene.bmp");
    if (captured) WriteRedBmp(capture);
    else ::DeleteFileA(capture.c_str());
    CDC page;
    page.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, 40, 40);
    CBitmap* old = page.SelectObject(&bitmap);
    page.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));
    CPrintInfo info;
    view->OnPrint(&page, &info);
    EXPECT_EQ(page.GetPixel(20, 20), captured ? RGB(255, 0, 0) : RGB(255, 255, 255));
    page.SelectObject(old);
  }
  SetPlanHost(nullptr);
}

// Destroyed, the view deletes the scene below the root and the document's scene forgets the
// nodes that went: a later removal of the object deletes nothing twice.
TEST_F(SimFrame, DestroyedTheViewEmptiesTheRootAndTheSceneForgetsItsNodes) {
  Scene& scene = doc.GetModel()->m_scene;
  SceneObjectSpec spec;
  spec.name = "room";
  SceneGroup* object = scene.AddGroup(spec);
  object->m_pNode = Block(root, "room", 1, 1, 1);
  frame->DestroyWindow();
  frame = nullptr;
  EXPECT_EQ(WTnode_numchildren(root), 0);
  EXPECT_EQ(object->m_pNode, nullptr);
  EXPECT_EQ(CountWindows(), 0);
  EXPECT_EQ(CountLinks(), 0);
  EXPECT_EQ(shell.frame, nullptr);
  EXPECT_EQ(scene.RemoveNode(object, false), 1);
}

}  // namespace
