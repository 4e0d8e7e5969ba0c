// The polygons the triangulation benchmarks cut: a star-shaped outline of n vertices
// (counter-clockwise), with n / 50 small square holes (clockwise) on a circle well inside it when
// asked. Vertices are numbered from 1.
#pragma once

#include <cmath>
#include <random>
#include <vector>

struct StarPolygon {
  std::vector<int> sizes;
  std::vector<double> xy{0.0, 0.0};
  int total = 0;
  const double (*Vertices() const)[2] { return reinterpret_cast<const double(*)[2]>(xy.data()); }
  int Holes() const { return static_cast<int>(sizes.size()) - 1; }
};

inline StarPolygon MakeStarPolygon(int n, unsigned seed, bool withHoles) {
  constexpr double kTwoPi = 2.0 * 3.14159265358979323846;
  std::mt19937 g(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  StarPolygon p;
  p.sizes.push_back(n);
  for (int i = 0; i < n; ++i) {
    const double a = (i + 0.9 * u(g)) / n * kTwoPi;
    const double r = 60000.0 + 40000.0 * u(g);
    p.xy.push_back(r * std::cos(a));
    p.xy.push_back(r * std::sin(a));
  }
  const int holes = withHoles ? n / 50 : 0;
  for (int h = 0; h < holes; ++h) {
    const double a = kTwoPi * h / holes;
    const double cx = 30000.0 * std::cos(a), cy = 30000.0 * std::sin(a), d = 50.0;
    const double corners[4][2] = {{-d, -d}, {-d, d}, {d, d}, {d, -d}};
    for (const auto& c : corners) {
      p.xy.push_back(cx + c[0]);
      p.xy.push_back(cy + c[1]);
    }
    p.sizes.push_back(4);
  }
  p.total = static_cast<int>(p.xy.size() / 2) - 1;
  return p;
}
