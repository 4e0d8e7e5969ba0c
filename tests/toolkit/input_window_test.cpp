// Under Windows: mouse and key messages reaching the mouse driver and the key queue, the overlay
// pass's drawing, and geometries drawn from display lists with a whole-geometry texture.
#ifdef _WIN32
#include <windows.h>
#include <GL/gl.h>

#include <vector>

#include <gtest/gtest.h>

#include "scene.h"
#include "textures.h"
#include "toolkit/core/motion.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/drawstate.h"
#include "toolkit/render/input.h"
#include "toolkit/wt.h"

namespace {

struct Rgb {
  int r, g, b;
};

class InputWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA c = {};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "VedraInputView";
    RegisterClassA(&c);
    hwnd = CreateWindowExA(0, "VedraInputView", "view", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                           nullptr, nullptr, c.hInstance, nullptr);
    ASSERT_TRUE(hwnd);
    window = WTwindow_newuser(hwnd, 0);
    ASSERT_TRUE(window);
    root = WTwindow_getrootnode(window);
    WTwindow_setbgrgb(window, 0, 0, 255);
    WTp3 at = {0, 0, -6};
    WTviewpoint_setposition(WTwindow_getviewpoint(window), at);
    WTnode *light = WTlightnode_newdirected(root);
    WTp3 down = {0, 0, 1};
    WTlightnode_setdirection(light, down);
    WTnode *material = WTmaterialnode_new(root);
    float white[3] = {1, 1, 1};
    WTmaterialnode_setfield(material, WTMAT_DIFFUSE, white);
    WTkeyboard_flush();
    *_WTmouse_state() = WTmousestate();  // latches earlier tests' windows left
  }
  void TearDown() override {
    WTkeyboard_flush();
    if (WTwindow_getidx(window)) WTwindow_delete(window);
    DestroyWindow(hwnd);
    *_WTmouse_state() = WTmousestate();
  }
  void frame() { WTuniverse_go1(); }
  Rgb pixel(int x, int y) {
    unsigned char p[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }
  std::vector<unsigned char> capture() {
    std::vector<unsigned char> p(200 * 200 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 200, 200, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
  }
  // Pixels of the window that are pure red.
  int redpixels() {
    std::vector<unsigned char> p = capture();
    int n = 0;
    for (size_t i = 0; i < p.size(); i += 4) n += p[i] > 200 && p[i + 1] < 50 && p[i + 2] < 50;
    return n;
  }

  tk::TextureImages images;
  HWND hwnd = nullptr;
  WTwindow *window = nullptr;
  WTnode *root = nullptr;
};

TEST_F(InputWindow, MouseMessagesReachTheSensor) {
  WTsensor *sensor = WTsensor_new(WTmouse_open, WTmouse_close, WTmouse_walkupdate, nullptr, 1, 0);
  ASSERT_TRUE(sensor);
  _WTsensor_setangularrate(sensor, 0.2f);
  SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(150, 100));
  SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 100));
  WTmouse_walkupdate(sensor);
  EXPECT_EQ(_WTsensor_getmiscdata(sensor), 1 | 8);
  WTp3 t;
  WTq q;
  _WTsensor_getdeltarecord(sensor, t, q);
  EXPECT_LT(q[1], -0.01f);  // the cursor right of the centre turns right
  EXPECT_EQ(GetCapture(), hwnd);
  SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
  WTmouse_walkupdate(sensor);
  EXPECT_EQ(_WTsensor_getmiscdata(sensor), 64);
  _WTsensor_getdeltarecord(sensor, t, q);
  EXPECT_EQ(q[3], 1.0f);
  WTsensor_delete(sensor);
}

int lastkey;
void onkey(void *, const char *, void *value, double, int) { lastkey = *static_cast<int *>(value); }

TEST_F(InputWindow, KeyMessagesAreQueuedOrHandled) {
  PostMessageA(hwnd, WM_KEYDOWN, VK_F1, 0);
  PostMessageA(hwnd, WM_KEYDOWN, VK_SHIFT, 0);
  PostMessageA(hwnd, WM_CHAR, 'q', 0);
  PostMessageA(hwnd, WM_CHAR, 13, 0);
  PostMessageA(hwnd, WM_KEYDOWN, VK_LEFT, 0);
  frame();
  EXPECT_EQ(WTkeyboard_getkey(), 1059);
  EXPECT_EQ(WTkeyboard_getkey(), 'q');
  EXPECT_EQ(WTkeyboard_getkey(), 1013);
  EXPECT_EQ(WTkeyboard_getkey(), 1003);
  EXPECT_EQ(WTkeyboard_getkey(), 0);
  ASSERT_TRUE(_WTproperty_addhandler(window, "Key", onkey));
  lastkey = 0;
  PostMessageA(hwnd, WM_KEYDOWN, VK_NEXT, 0);
  frame();
  frame();
  EXPECT_EQ(lastkey, 1081);
  EXPECT_EQ(WTkeyboard_getkey(), 0);
}

void overlaytext(WTwindow *w, int) {
  WTwindow_settextrgb(w, 255, 0, 0);
  WTwindow_drawtext(w, 0.05f, 0.5f, "MMMMMMMM");
}
void drawpasstext(WTwindow *w, int) {
  // The overlay's calls do nothing in the draw pass.
  WTwindow_settextrgb(w, 255, 0, 0);
  WTwindow_drawtext(w, 0.05f, 0.5f, "MMMMMMMM");
  WTwindow_drawrect2d(w, 0, 0, 1, 1, 1);
}
void overlayshapes(WTwindow *w, int) {
  WTwindow_settextrgb(w, 255, 0, 0);
  WTwindow_drawrect2d(w, 0.0f, 0.0f, 0.5f, 0.5f, 1);
  WTwindow_drawcircle2d(w, 0.75f, 0.75f, 0.1f, 1);
}

TEST_F(InputWindow, OverlayDrawsOnlyInsideItsPass) {
  WTwindow_setdrawfn(window, drawpasstext);
  frame();
  EXPECT_EQ(redpixels(), 0);
  WTwindow_setdrawfn(window, nullptr);
  WTwindow_setdraw2dfn(window, overlaytext);
  frame();
  EXPECT_GT(redpixels(), 20);
  WTwindow_setdraw2dfn(window, overlayshapes);
  frame();
  Rgb inrect = pixel(50, 50), outside = pixel(150, 50), circle = pixel(150, 150);
  EXPECT_EQ(inrect.r, 255);
  EXPECT_EQ(inrect.b, 0);
  EXPECT_EQ(outside.b, 255);
  EXPECT_EQ(circle.r, 255);
  EXPECT_EQ(pixel(150, 150 + 25).b, 255);  // the circle's radius is 20 pixels
}

TEST_F(InputWindow, WholeGeometryTextureIsDrawnFromLists) {
  WTgeometry *g = WTgeometry_newblock(2, 2, 2, 0);
  WTgeometrynode_new(root, g);
  frame();
  Rgb plain = pixel(100, 100);
  EXPECT_NEAR(plain.r, plain.b, 10);
  ASSERT_TRUE(WTgeometry_setwholetexture(g, "brick"));
  EXPECT_FALSE(WTgeometry_setwholetexture(g, "brick"));
  EXPECT_TRUE(g->draw != nullptr);
  EXPECT_TRUE(g->dlista != 0);
  frame();
  Rgb textured = pixel(100, 100);
  EXPECT_GT(textured.r, textured.b + 40);
  EXPECT_EQ(pixel(2, 2).b, 255);
  ASSERT_TRUE(WTgeometry_deletewholetexture(g));
  EXPECT_FALSE(WTgeometry_deletewholetexture(g));
  frame();
  Rgb again = pixel(100, 100);
  EXPECT_NEAR(again.r, again.b, 10);
  EXPECT_GT(again.r, 100);
}

TEST_F(InputWindow, ListCompiledGeometryKeepsItsColours) {
  // Without a texture the lists draw what the immediate path draws.
  WTgeometry *g = WTgeometry_newblock(2, 2, 2, 0);
  WTgeometrynode_new(root, g);
  frame();
  Rgb immediate = pixel(100, 100);
  ASSERT_TRUE(_WTgeometry_compilelists(g));
  frame();
  Rgb listed = pixel(100, 100);
  EXPECT_NEAR(listed.r, immediate.r, 3);
  EXPECT_NEAR(listed.g, immediate.g, 3);
  EXPECT_NEAR(listed.b, immediate.b, 3);
}

// A 4 x 4 grid of quads facing the viewer, one material a row, and a triangle apart from it;
// textured, with coordinates running on across the quads.
WTgeometry *quadgrid(bool textured) {
  WTgeometry *g = WTgeometry_begin();
  for (int y = 0; y <= 4; y++)
    for (int x = 0; x <= 4; x++) {
      WTp3 pos = {x - 2.0f, y - 2.0f, 0};
      WTgeometry_newvertex(g, pos);
    }
  WTp3 corners[3] = {{2.2f, 1, 0}, {2.2f, 2, 0}, {2.8f, 1.5f, 0}};
  for (const WTp3 &c : corners) WTgeometry_newvertex(g, c);
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 4; x++) {
      WTpoly *p = WTgeometry_beginpoly(g);
      int a = y * 5 + x;
      for (int i : {a, a + 5, a + 6, a + 1}) WTpoly_addvertex(p, i);
      WTpoly_setmatid(p, y % 3);
      WTpoly_close(p);
      float u[4] = {x / 4.0f, x / 4.0f, (x + 1) / 4.0f, (x + 1) / 4.0f};
      float v[4] = {y / 4.0f, (y + 1) / 4.0f, (y + 1) / 4.0f, y / 4.0f};
      if (textured) WTpoly_settextureuv(p, "wood", u, v, 0, 0);
    }
  WTpoly *t = WTgeometry_beginpoly(g);
  for (int i : {25, 26, 27}) WTpoly_addvertex(t, i);
  WTpoly_close(t);
  WTgeometry_close(g);
  WTmtable *m = WTmtable_new(WTAMBIENT | WTDIFFUSE, 3, "grid");
  float colours[3][3] = {{1, 0.2f, 0.2f}, {0.2f, 0.8f, 0.2f}, {0.6f, 0.6f, 0.6f}};
  for (int i = 0; i < 3; i++) {
    int e = WTmtable_newentry(m);
    WTmtable_setvalue(m, e, colours[i], WTDIFFUSE);
    float dim[3] = {colours[i][0] / 2, colours[i][1] / 2, colours[i][2] / 2};
    WTmtable_setvalue(m, e, dim, WTAMBIENT);
  }
  WTgeometry_setmtable(g, m);
  return g;
}

TEST_F(InputWindow, QuadGridDrawsTheSameFromStripsAsImmediately) {
  for (bool textured : {false, true}) {
    SCOPED_TRACE(textured ? "textured" : "plain");
    WTgeometry *g = quadgrid(textured);
    WTnode *node = WTgeometrynode_new(root, g);
    frame();
    std::vector<unsigned char> immediate = capture();
    ASSERT_TRUE(_WTgeometry_compilelists(g));
    ASSERT_TRUE(g->draw != nullptr);
    frame();
    std::vector<unsigned char> listed = capture();
    int covered = 0, differing = 0;
    for (size_t i = 0; i < immediate.size(); i += 4) {
      covered += immediate[i + 2] < 200;
      for (size_t k = 0; k < 3; k++) differing += abs(immediate[i + k] - listed[i + k]) > 3;
    }
    EXPECT_GT(covered, 5000);
    EXPECT_EQ(differing, 0);
    WTnode_delete(node);
  }
}

}  // namespace
#endif
