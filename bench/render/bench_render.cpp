// Frame time of the walk-through: a generated house of 20 furnished rooms with textured
// triangles, seen at 800 x 600 from inside a room at eye height while the view turns 90 degrees
// over 300 frames.  Prints the median frame time and the polygons drawn for several sizes.
#include <windows.h>
#include <GL/gl.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/render/context.h"
#include "toolkit/wt.h"

namespace {

const int kRoomsX = 5, kRoomsZ = 4, kFrames = 300;
const float kRoomW = 5.0f, kRoomD = 4.0f, kHeight = 2.6f, kEye = 1.6f;

// Builds one face of a box as a k x k grid of textured triangles facing along +axis * side
// (or the other way when inward).
struct Builder {
  WTgeometry *g;
  int k;
  int triangles = 0;

  void face(const float centre[3], const float half[3], int axis, float side, bool inward) {
    int b = (axis + 1) % 3, c = (axis + 2) % 3;
    bool flip = (side < 0) != inward;
    std::vector<WTvertex *> grid;
    for (int j = 0; j <= k; j++)
      for (int i = 0; i <= k; i++) {
        WTp3 p;
        p[axis] = centre[axis] + side * half[axis];
        p[b] = centre[b] + half[b] * (2.0f * static_cast<float>(i) / static_cast<float>(k) - 1.0f);
        p[c] = centre[c] + half[c] * (2.0f * static_cast<float>(j) / static_cast<float>(k) - 1.0f);
        grid.push_back(WTgeometry_newvertex(g, p));
      }
    for (int j = 0; j < k; j++)
      for (int i = 0; i < k; i++) {
        int v00 = j * (k + 1) + i, v10 = v00 + 1, v01 = v00 + k + 1, v11 = v01 + 1;
        triangle(grid, v00, v10, v11, flip);
        triangle(grid, v00, v11, v01, flip);
      }
  }

  void triangle(const std::vector<WTvertex *> &grid, int a, int b, int c, bool flip) {
    if (flip) std::swap(b, c);
    WTpoly *p = WTgeometry_beginpoly(g);
    WTpoly_addvertexptr(p, grid[size_t(a)]);
    WTpoly_addvertexptr(p, grid[size_t(b)]);
    WTpoly_addvertexptr(p, grid[size_t(c)]);
    WTpoly_close(p);
    const float u[3] = {0, 1, 1}, v[3] = {0, 0, 1};
    WTpoly_settextureuv(p, "checker", u, v, 1, 0);
    triangles++;
  }

  void box(const float centre[3], const float half[3], bool inward) {
    for (int axis = 0; axis < 3; axis++)
      for (float side : {-1.0f, 1.0f}) face(centre, half, axis, side, inward);
  }
};

// One room: its shell seen from inside and five pieces of furniture.
int room(WTnode *root, int rx, int rz, int k) {
  Builder b{WTgeometry_begin(), k};
  float x = static_cast<float>(rx) * kRoomW, z = static_cast<float>(rz) * kRoomD;
  const float centre[3] = {x, -kHeight / 2, z}, half[3] = {kRoomW / 2, kHeight / 2, kRoomD / 2};
  b.box(centre, half, true);
  const float pieces[5][6] = {{-1.5f, -0.4f, -1.2f, 0.8f, 0.4f, 0.5f},  // table
                              {1.6f, -0.5f, 1.2f, 0.6f, 0.5f, 0.6f},    // cabinet
                              {-1.8f, -0.25f, 1.3f, 0.4f, 0.25f, 0.4f}, // chair
                              {1.5f, -0.9f, -1.4f, 0.5f, 0.9f, 0.3f},   // shelf
                              {0.3f, -0.2f, 1.4f, 1.0f, 0.2f, 0.4f}};   // bed
  for (const float *piece : pieces) {
    const float c[3] = {x + piece[0], piece[1], z + piece[2]};
    b.box(c, piece + 3, false);
  }
  WTgeometry_close(b.g);
  WTgeometrynode_new(root, b.g);
  return b.triangles;
}

double seconds(const LARGE_INTEGER &a, const LARGE_INTEGER &b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void checkertexture() {
  const int n = 64;
  unsigned char *pixels = static_cast<unsigned char *>(_WTmem_alloc(n * n * 4));
  for (int y = 0; y < n; y++)
    for (int x = 0; x < n; x++) {
      unsigned char *p = pixels + 4 * (y * n + x);
      bool dark = ((x / 8) + (y / 8)) % 2;
      p[0] = dark ? 120 : 220, p[1] = dark ? 80 : 180, p[2] = dark ? 40 : 140, p[3] = 255;
    }
  _WTtexture_newfromimage("checker", pixels, n, n);
}

struct Result {
  int triangles;
  unsigned drawn;
  double median, mean;
};

Result run(HWND hwnd, int k) {
  WTuniverse_new(512, 0);
  checkertexture();
  WTwindow *window = WTwindow_newuser(hwnd, 0);
  WTnode *root = WTwindow_getrootnode(window);
  WTnode *light = WTlightnode_newdirected(root);
  WTp3 down = {0.3f, 1.0f, 0.5f};
  WTlightnode_setdirection(light, down);
  int triangles = 0;
  for (int rz = 0; rz < kRoomsZ; rz++)
    for (int rx = 0; rx < kRoomsX; rx++) triangles += room(root, rx, rz, k);
  WTviewpoint *view = WTwindow_getviewpoint(window);
  WTp3 eye = {2 * kRoomW, -kEye, kRoomD};
  WTviewpoint_setposition(view, eye);
  for (int i = 0; i < 5; i++) WTuniverse_go1();  // sorts every geometry once
  std::vector<double> times;
  const float step = (3.14159265f / 2) / kFrames;
  unsigned drawn = 0;
  for (int i = 0; i < kFrames; i++) {
    WTviewpoint_rotate(view, 1, step, 1);
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    WTuniverse_go1();
    glFinish();
    QueryPerformanceCounter(&b);
    times.push_back(seconds(a, b));
    drawn = std::max(drawn, static_cast<unsigned>(WTwindow_numpolys(window)));
  }
  double mean = 0;
  for (double t : times) mean += t;
  mean /= static_cast<double>(times.size());
  std::sort(times.begin(), times.end());
  WTwindow_delete(window);
  WTuniverse_delete();
  return {triangles, drawn, times[times.size() / 2], mean};
}

HWND makewindow() {
  WNDCLASSA c = {};
  c.lpfnWndProc = DefWindowProcA;
  c.hInstance = GetModuleHandleA(nullptr);
  c.lpszClassName = "VedraBenchView";
  RegisterClassA(&c);
  return CreateWindowExA(0, "VedraBenchView", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                         nullptr, nullptr, c.hInstance, nullptr);
}

}  // namespace

int main(int argc, char **argv) {
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
  HWND hwnd = makewindow();
  if (!hwnd) return 1;
  // Grid sides giving about 10,000, 100,000, 150,000 and 1,000,000 triangles.
  std::vector<int> sides = {3, 8, 10, 26};
  if (argc > 1 && strcmp(argv[1], "--quick") == 0) sides = {3, 10};
  printf("%-10s %-12s %-14s %-10s %-10s\n", "triangles", "drawn/frame", "median ms", "mean ms", "fps");
  for (int k : sides) {
    Result r = run(hwnd, k);
    printf("%-10d %-12u %-14.2f %-10.2f %-10.1f%s\n", r.triangles, r.drawn, r.median * 1000,
           r.mean * 1000, 1.0 / r.median, k == 10 ? "   (goal: 60 fps or more)" : "");
    fflush(stdout);
  }
  DestroyWindow(hwnd);
  return 0;
}
