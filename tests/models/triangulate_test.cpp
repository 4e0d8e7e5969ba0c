#include "models/triangulate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Pt {
  double x, y;
};
using Contour = std::vector<Pt>;

double SignedArea(const Contour& c) {
  double a = 0.0;
  for (size_t i = 0; i < c.size(); ++i) {
    const Pt& p = c[i];
    const Pt& q = c[(i + 1) % c.size()];
    a += p.x * q.y - q.x * p.y;
  }
  return a / 2.0;
}

struct Result {
  int count = 0;
  int vertices = 0;
  double area = 0.0;     // sum of the triangle areas
  double expected = 0.0; // polygon area, holes taken off
  bool indicesInRange = true;
  bool allCounterClockwise = true;
  std::vector<int> triangles;
};

Result Triangulate(const std::vector<Contour>& contours) {
  Result r;
  std::vector<int> sizes;
  std::vector<double> xy(2, 0.0);  // entry 0 is not read
  for (const Contour& c : contours) {
    sizes.push_back(static_cast<int>(c.size()));
    for (const Pt& p : c) {
      xy.push_back(p.x);
      xy.push_back(p.y);
    }
    r.expected += SignedArea(c);
    r.vertices += static_cast<int>(c.size());
  }
  const int capacity = 2 * r.vertices + 1;
  r.triangles.assign(3 * capacity, 0);
  r.count = TriangulatePolygon(static_cast<int>(contours.size()), sizes.data(),
                               reinterpret_cast<const double(*)[2]>(xy.data()),
                               reinterpret_cast<int(*)[3]>(r.triangles.data()), capacity);
  for (int t = 0; t < r.count; ++t) {
    const int* v = &r.triangles[3 * t];
    for (int k = 0; k < 3; ++k)
      if (v[k] < 1 || v[k] > r.vertices)
        r.indicesInRange = false;
    if (!r.indicesInRange)
      break;
    const double a = ((xy[2 * v[1]] - xy[2 * v[0]]) * (xy[2 * v[2] + 1] - xy[2 * v[0] + 1]) -
                      (xy[2 * v[1] + 1] - xy[2 * v[0] + 1]) * (xy[2 * v[2]] - xy[2 * v[0]])) /
                     2.0;
    if (a < 0.0)
      r.allCounterClockwise = false;
    r.area += a;
  }
  return r;
}

void ExpectCovers(const std::vector<Contour>& contours, const char* what) {
  const Result r = Triangulate(contours);
  const int holes = static_cast<int>(contours.size()) - 1;
  EXPECT_EQ(r.count, r.vertices - 2 + 2 * holes) << what;
  EXPECT_TRUE(r.indicesInRange) << what;
  EXPECT_TRUE(r.allCounterClockwise) << what;
  EXPECT_NEAR(r.area, r.expected, 1e-7 * std::fabs(r.expected)) << what;
}

// A star-shaped polygon around (cx, cy): one vertex in each of n equal angular slots, at a
// random radius; clockwise when it is to be a hole.
Contour Star(std::mt19937& g, int n, double r0, double r1, double cx, double cy, bool clockwise) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  Contour c;
  for (int i = 0; i < n; ++i) {
    const double a = (i + 0.9 * u(g)) / n * 2.0 * kPi;
    const double r = r0 + (r1 - r0) * u(g);
    c.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  if (clockwise)
    std::reverse(c.begin(), c.end());
  return c;
}

// Bars of random heights on a common base: many vertices share a y value, and runs of equal
// heights leave collinear vertices.
Contour Histogram(std::mt19937& g, int bars) {
  Contour c{{0, 0}, {10.0 * bars, 0}};
  for (int b = bars - 1; b >= 0; --b) {
    const double h = 20 + static_cast<int>(g() % 6) * 5;
    for (const Pt& p : {Pt{10.0 * b + 10, h}, Pt{10.0 * b, h}})
      if (c.back().x != p.x || c.back().y != p.y)
        c.push_back(p);
  }
  return c;
}

TEST(TriangulatePolygon, SmallPolygons) {
  const Contour square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const Contour hole{{3, 3}, {3, 7}, {7, 7}, {7, 3}};
  EXPECT_EQ(Triangulate({square}).count, 2);
  EXPECT_EQ(Triangulate({square, hole}).count, 8);
  ExpectCovers({square, hole}, "square with a hole");

  const Result tri = Triangulate({{{0, 0}, {4, 0}, {0, 3}}});
  ASSERT_EQ(tri.count, 1);
  std::vector<int> v(tri.triangles.begin(), tri.triangles.begin() + 3);
  std::rotate(v.begin(), std::min_element(v.begin(), v.end()), v.end());
  EXPECT_EQ(v, (std::vector<int>{1, 2, 3}));

  // Collinear vertices, and heights that differ by less than the tolerance.
  ExpectCovers({{{0, 0}, {1, 0}, {2, 0}, {2, 2}, {1, 2}, {0, 2}}}, "collinear");
  ExpectCovers({{{0, 0}, {10, 1e-8}, {20, 0}, {20, 5}, {10, 5 + 1e-8}, {0, 5}}}, "near ties");
  // A cut-out whose top edge lies on the outline: two of its corners are outline vertices as
  // well, so the pieces are cut by diagonals of no length (the outline's heights differ by
  // less than the tolerance).
  ExpectCovers({{{0, 0}, {5, 0}, {5, 1}, {5, 2}, {4, 2.00000001}, {3, 2}, {2, 2}, {1, 2.00000001}, {0, 2}, {0, 1}},
                {{2, 1}, {2, 2}, {3, 2}, {3, 1}}},
               "cut-out on the outline");
  // A U shape opening upward and a room with a notch.
  ExpectCovers({{{0, 0}, {30, 0}, {30, 30}, {20, 30}, {20, 10}, {10, 10}, {10, 30}, {0, 30}}}, "U");
  ExpectCovers({{{0, 0}, {5000, 0}, {5000, 4000}, {3000, 4000}, {3000, 2500}, {2000, 2500},
                 {2000, 4000}, {0, 4000}}},
               "notch");
}

TEST(TriangulatePolygon, RandomPolygonsWithHoles) {
  std::mt19937 g(20240611);
  for (int it = 0; it < 120; ++it) {
    const int n = 8 + static_cast<int>(g() % (it < 100 ? 60 : 3000));
    std::vector<Contour> contours{Star(g, n, 40, 100, 0, 0, false)};
    const int holes = static_cast<int>(g() % 4);
    for (int h = 0; h < holes; ++h)
      contours.push_back(Star(g, 4 + static_cast<int>(g() % 10), 1, 5, -20 + 12 * h, 10 * (h % 2), true));
    ExpectCovers(contours, "star");
  }
  for (int it = 0; it < 60; ++it) {
    const int bars = 2 + static_cast<int>(g() % (it < 50 ? 30 : 1000));
    std::vector<Contour> contours{Histogram(g, bars)};
    for (int h = 0; h < static_cast<int>(g() % 6) && h < bars; ++h)
      contours.push_back({{h * 10.0 + 2, 2}, {h * 10.0 + 2, 8}, {h * 10.0 + 8, 8}, {h * 10.0 + 8, 2}});
    ExpectCovers(contours, "histogram");
  }
}

TEST(TriangulatePolygon, LeavesTheLibraryGeneratorAlone) {
  std::srand(77);
  const int expected = std::rand();
  std::srand(77);
  ExpectCovers({{{0, 0}, {10, 0}, {10, 10}, {0, 10}}}, "square");
  EXPECT_EQ(std::rand(), expected);
}

TEST(TriangulatePolygon, RefusesWithoutWritingPastTheBuffer) {
  const double xy[][2] = {{0, 0}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const int four[] = {4};
  int out[3][3];
  for (auto& t : out)
    t[0] = t[1] = t[2] = -7;
  // Room for one triangle where two are needed: nothing beyond the first slot is touched.
  EXPECT_EQ(TriangulatePolygon(1, four, xy, out, 1), 0);
  EXPECT_EQ(out[1][0], -7);
  const int two[] = {2};
  EXPECT_EQ(TriangulatePolygon(1, two, xy, out, 3), 0);
  EXPECT_EQ(TriangulatePolygon(0, four, xy, out, 3), 0);
}

}  // namespace
