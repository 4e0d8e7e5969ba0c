// Picking in a real window taken over by WTwindow_newuser: the polygon picked at a square's
// projected centre is the one whose colour drawing put there.
#ifdef _WIN32
#include <windows.h>
#include <GL/gl.h>

#include <math.h>

#include <vector>

#include <gtest/gtest.h>

#include "geometry_support.h"
#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/wt.h"

namespace {

struct V {
  float x, y, z;
};
V add(V a, V b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V scale(float k, V a) { return {k * a.x, k * a.y, k * a.z}; }
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V unit(V a) {
  float l = sqrtf(a.x * a.x + a.y * a.y + a.z * a.z);
  return {a.x / l, a.y / l, a.z / l};
}

class PickWindow : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    WNDCLASSA c = {};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "VedraPickView";
    RegisterClassA(&c);
    hwnd = CreateWindowExA(0, "VedraPickView", "pick", WS_POPUP | WS_VISIBLE, 0, 0, 200, 160,
                           nullptr, nullptr, c.hInstance, nullptr);
    ASSERT_TRUE(hwnd);
    window = WTwindow_newuser(hwnd, 0);
    ASSERT_TRUE(window);
    ASSERT_EQ(WTwindow_getrootnode(window), root);
    WTwindow_setbgrgb(window, 0, 0, 0);
    viewpoint = WTwindow_getviewpoint(window);
    light = WTlightnode_newdirected(root);
  }
  void TearDown() override {
    if (window) WTwindow_delete(window);
    if (hwnd) DestroyWindow(hwnd);
    tk::Universe::TearDown();
  }
  // Dominant channel of a pixel (GL coordinates): 0 red, 1 green, 2 blue, -1 dark.
  int channel(int x, int y) {
    unsigned char p[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    int best = p[0] >= p[1] && p[0] >= p[2] ? 0 : (p[1] >= p[2] ? 1 : 2);
    return p[best] > 40 ? best : -1;
  }
  HWND hwnd = nullptr;
  WTwindow *window = nullptr;
  WTnode *light = nullptr;
  WTviewpoint *viewpoint = nullptr;
  geo::TablesReset reset;
};

TEST_F(PickWindow, TheColourAtAProjectedCentreIsThePolygonPicked) {
  const struct {
    int projection;
    float q[4];
  } cases[] = {{1, {0, 0, 0, 1}}, {1, {0.1f, 0.3f, -0.05f, 0.95f}}, {2, {0, 0.3f, 0, 0.95f}},
               {3, {0.2f, -0.1f, 0.1f, 0.9f}}, {4, {0.1f, 0.3f, -0.05f, 0.95f}}};
  WTp3 at = {1, 2, -3};
  WTviewpoint_setposition(viewpoint, at);
  WTviewpoint_setparallax(viewpoint, 0.4f);
  WTviewpoint_setconvergencedist(viewpoint, 25.0f);
  for (const auto &c : cases) {
    while (WTnode *child = WTnode_getchild(root, 1)) WTnode_delete(child);
    WTq q = {c.q[0], c.q[1], c.q[2], c.q[3]};
    float n = sqrtf(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (float &k : q) k /= n;
    WTviewpoint_setorientation(viewpoint, q);
    WTwindow_setprojection(window, c.projection);
    if (c.projection == 3) WTwindow_setfrustum(window, 0, -0.05f, 0.15f, -0.06f, 0.09f, 0.1f, 1000.0f);
    if (c.projection == 4) WTwindow_setfrustum(window, 0, -8.0f, 12.0f, -6.0f, 9.0f, 0.1f, 1000.0f);
    WTp3 dir;
    WTviewpoint_getdirection(viewpoint, dir);
    WTlightnode_setdirection(light, dir);
    V z = unit({dir[0], dir[1], dir[2]});
    V u = unit(cross(z, {0.3f, 1, 0.2f})), v = cross(z, u);
    // Red, green and blue squares, each facing the viewpoint, at different places and depths.
    const float offsets[3][3] = {{0, 0, 20}, {3, 2, 24}, {-4, -1, 16}};
    std::vector<WTpoly *> squares;
    std::vector<V> centres;
    for (int k = 0; k < 3; k++) {
      V centre = add(add(add({at[0], at[1], at[2]}, scale(offsets[k][2], z)), scale(offsets[k][0], u)),
                     scale(offsets[k][1], v));
      std::vector<geo::P> pts;
      for (V corner : {add(centre, add(scale(-1, v), scale(-1, u))), add(centre, add(scale(1, v), scale(-1, u))),
                       add(centre, add(scale(1, v), scale(1, u))), add(centre, add(scale(-1, v), scale(1, u)))})
        pts.push_back({corner.x, corner.y, corner.z});
      WTgeometry *g = geo::polygon(pts);
      ASSERT_TRUE(g);
      WTpoly *p = WTgeometry_getpolys(g);
      WTpoly_setrgb(p, k == 0 ? 255 : 0, k == 1 ? 255 : 0, k == 2 ? 255 : 0);
      WTgeometrynode_new(root, g);
      squares.push_back(p);
      centres.push_back(centre);
    }
    WTuniverse_go1();
    for (int k = 0; k < 3; k++) {
      WTp3 p = {centres[k].x, centres[k].y, centres[k].z};
      float px[2];
      ASSERT_TRUE(WTwindow_projectpoint(window, 0, p, px)) << c.projection << " square " << k;
      EXPECT_EQ(channel(static_cast<int>(px[0]), static_cast<int>(px[1])), k)
          << "projection " << c.projection << " square " << k;
      RECT r;
      GetClientRect(hwnd, &r);
      float client[2] = {px[0], static_cast<float>(r.bottom) - px[1]};
      WTp3 hit;
      EXPECT_EQ(WTwindow_pickatpoint(hwnd, client, nullptr, hit), squares[k])
          << "projection " << c.projection << " square " << k;
    }
  }
}

}  // namespace
#endif
