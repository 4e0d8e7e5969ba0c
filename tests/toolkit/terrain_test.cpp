// Terrain grids: building from triangles, heights, the diagonal side, wrapping and borders.
#include <math.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geometry_support.h"

namespace {

// The ground: one plane, with the triangle above each cell's diagonal (in z) lifted by 1 so
// that the two triangles of a cell can be told apart.
float height(float x, float z, bool above) { return 0.5f * x + 0.25f * z + (above ? 1.0f : 0.0f); }

// A 2 x 2 grid of unit cells on [0, 2] x [0, 2], two triangles a cell (the one below the diagonal
// first), diagonals rising in the first column and falling in the second; `triangles` of them
// are made (extra ones repeat cell (0, 0)).
WTgeometry *grid(int triangles) {
  WTgeometry *g = WTgeometry_begin();
  for (int made = 0; made < triangles; made++) {
    int c = (made / 2) % 4, t = made % 2;
    float x = float(c / 2), z = float(c % 2);
    const float xs[4] = {x, x + 1, x + 1, x}, zs[4] = {z, z, z + 1, z + 1};
    const int rising[2][3] = {{0, 1, 2}, {0, 2, 3}}, falling[2][3] = {{0, 1, 3}, {1, 2, 3}};
    const int *tri = x < 1 ? rising[t] : falling[t];
    WTpoly *p = WTgeometry_beginpoly(g);
    for (int k = 0; k < 3; k++) {
      int i = tri[k];
      WTp3 pos = {xs[i], height(xs[i], zs[i], t == 1), zs[i]};
      WTpoly_addvertexptr(p, WTgeometry_newvertex(g, pos));
    }
    WTpoly_reversevertices(p); // counter-clockwise seen from +y
    WTpoly_close(p);
  }
  _WTgeometry_checkifopen(g);
  return g;
}

WTterrain *build(WTgeometry *g) {
  const WTp3 lo = {0, 0, 0}, hi = {2, 3, 2};
  return _WTterrain_build(g->polys, lo, hi);
}

TEST(Terrain, GridsOfEightThreeAndNineTriangles) {
  geo::TablesReset reset;
  const struct {
    int triangles;
    const char *message;
  } cases[] = {{8, nullptr},
               {3, "Too few polygons for a 2 by 2 grid\n"},
               {9, "Too many polygons for a 2 by 2 grid\n"}};
  for (const auto &c : cases) {
    WTgeometry *g = grid(c.triangles);
    tk::Captured captured;
    WTterrain *t = build(g);
    EXPECT_EQ(t != nullptr, c.message == nullptr) << c.triangles;
    if (c.message) {
      EXPECT_NE(captured.all().find("Can't interpret model as terrain:\n"), std::string::npos);
      EXPECT_NE(captured.all().find(c.message), std::string::npos) << captured.all();
    } else {
      int n1, n2;
      ASSERT_TRUE(_WTterrain_size(t, &n1, &n2));
      EXPECT_EQ(n1, 2);
      EXPECT_EQ(n2, 2);
    }
    _WTterrain_delete(t);
    WTgeometry_delete(g);
  }
}

TEST(Terrain, ThirdTriangleInACellIsRefused) {
  geo::TablesReset reset;
  WTgeometry *g = grid(7);
  // A third triangle over cell (1, 0); the totals still fit a 2 x 2 grid.
  ASSERT_TRUE(WTgeometry_beginedit(g));
  WTpoly *p = WTgeometry_beginpoly(g);
  WTp3 pts[3] = {{1, 0, 0}, {2, 0, 1}, {2, 0, 0}};
  for (auto &q : pts) WTpoly_addvertexptr(p, WTgeometry_newvertex(g, q));
  ASSERT_TRUE(WTpoly_close(p));
  WTgeometry_endedit(g);
  tk::Captured captured;
  EXPECT_EQ(build(g), nullptr);
  EXPECT_NE(captured.all().find("More than 2 polygons in cell 1x0\n"), std::string::npos);
  WTgeometry_delete(g);
}

TEST(Terrain, HeightsNormalsDiagonalsWrapAndBorders) {
  geo::TablesReset reset;
  WTgeometry *g = grid(8);
  tk::Captured captured;
  WTterrain *t = build(g);
  ASSERT_TRUE(t) << captured.all();
  // Inside a cell, the height is that of its plane.
  WTp3 p = {0.3f, 9, 0.6f}, n;
  float border;
  ASSERT_TRUE(_WTterrain_height(t, p, n, &border));
  EXPECT_NEAR(p[1], height(0.3f, 0.6f, true), 1e-5);
  EXPECT_NEAR(border, 0.3f / sqrtf(2), 1e-5); // the diagonal is nearer than the cell side
  EXPECT_GT(n[1], 0.0f);
  // A model width to the right gives the same height.
  WTp3 q = {2.3f, 0, 0.6f};
  ASSERT_TRUE(_WTterrain_height(t, q, nullptr, nullptr));
  EXPECT_NEAR(q[1], p[1], 1e-5);
  // A point on a falling diagonal takes the triangle above it (B).
  WTp3 d = {1.5f, 0, 0.5f};
  ASSERT_TRUE(_WTterrain_height(t, d, n, &border));
  EXPECT_NEAR(d[1], height(1.5f, 0.5f, true), 1e-5);
  EXPECT_NEAR(border, 0.0f, 1e-6);
  WTp3 below = {1.2f, 0, 0.2f};
  ASSERT_TRUE(_WTterrain_height(t, below, n, &border));
  EXPECT_NEAR(below[1], height(1.2f, 0.2f, false), 1e-5);
  // At a cell centre the border is half the cell or the distance to the diagonal.
  WTp3 c = {0.5f, 0, 0.5f};
  ASSERT_TRUE(_WTterrain_height(t, c, nullptr, &border));
  EXPECT_NEAR(border, 0.0f, 1e-6); // the rising diagonal runs through the centre
  // A position that wraps onto the far edge stays in the grid.
  WTp3 edge = {-1e-9f, 0, -1e-9f};
  EXPECT_TRUE(_WTterrain_height(t, edge, nullptr, nullptr));
  WTp3 pts[2] = {{0.3f, 0, 0.6f}, {0.7f, 0, 0.2f}}, avg;
  ASSERT_TRUE(_WTterrain_averagenormal(t, pts, 2, avg));
  EXPECT_NEAR(avg[0] * avg[0] + avg[1] * avg[1] + avg[2] * avg[2], 1.0f, 1e-5);
  EXPECT_FALSE(_WTterrain_height(nullptr, p, nullptr, nullptr));
  _WTterrain_delete(t);
  WTgeometry_delete(g);
}

}  // namespace
