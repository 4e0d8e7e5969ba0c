// Speed of building and closing geometries and of material lookups by colour.
#include <math.h>
#include <stdint.h>

#include <benchmark/benchmark.h>

#include "toolkit/geometry/geometry.h"

namespace {

// A star-shaped outline of n points with alternating radii: every other vertex is reflex.
WTgeometry *star(int n) {
  WTgeometry *g = WTgeometry_begin();
  WTpoly *p = WTgeometry_beginpoly(g);
  for (int i = 0; i < n; i++) {
    float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(n), r = i % 2 ? 1.0f : 2.0f;
    WTp3 pos = {r * cosf(a), r * sinf(a), 0};
    WTgeometry_newvertex(g, pos);
    WTpoly_addvertex(p, i);
  }
  WTpoly_close(p);
  return g;
}

void CloseConcavePolygon(benchmark::State &state) {
  int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    WTgeometry *g = star(n);
    state.ResumeTiming();
    WTgeometry_close(g);
    state.PauseTiming();
    WTgeometry_delete(g);
    state.ResumeTiming();
  }
  state.counters["polygons/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(CloseConcavePolygon)->Arg(16)->Arg(256)->Unit(benchmark::kMicrosecond);

void SphereBuild(benchmark::State &state) {
  for (auto _ : state) {
    WTgeometry *g = WTgeometry_newsphere(1, 32, 64, 0, 1);
    benchmark::DoNotOptimize(g);
    WTgeometry_delete(g);
  }
}
BENCHMARK(SphereBuild)->Unit(benchmark::kMillisecond);

// Statistics of the polygons of a closed geometry: a grid of quads, each also cut into two
// triangles, over a wavy surface.
void PolygonStatistics(benchmark::State &state) {
  const int side = 100;
  WTgeometry *g = WTgeometry_begin();
  for (int i = 0; i <= side; i++)
    for (int j = 0; j <= side; j++) {
      WTp3 pos = {float(i), float(j), sinf(0.37f * float(i)) * cosf(0.21f * float(j))};
      WTgeometry_newvertex(g, pos);
    }
  for (int i = 0; i < side; i++)
    for (int j = 0; j < side; j++) {
      const int a = i * (side + 1) + j, b = a + 1, c = a + side + 1, d = c + 1;
      _WTgeometry_addpoly4(g, a, b, d, c, 0);
      _WTgeometry_addpoly3(g, a, b, d, 0);
      _WTgeometry_addpoly3(g, a, d, c, 0);
    }
  WTgeometry_close(g);
  for (auto _ : state)
    for (WTpoly *p = g->polys; p; p = p->next) benchmark::DoNotOptimize(_WTpoly_stats(p));
  state.counters["polygons/s"] = benchmark::Counter(double(state.iterations()) * g->npolys,
                                                    benchmark::Counter::kIsRate);
  WTgeometry_delete(g);
}
BENCHMARK(PolygonStatistics)->Unit(benchmark::kMillisecond);

void ColourLookup(benchmark::State &state) {
  WTmtable *t = WTmtable_new(WTDIFFUSE, 10, nullptr);
  for (int i = 0; i < 50000; i++) _WTmtable_getrgb24id(t, static_cast<uint32_t>(i * 331));
  uint32_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(_WTmtable_getrgb24id(t, (i++ % 50000) * 331));
  state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
  _WTmtable_delete(t);
}
BENCHMARK(ColourLookup);

}  // namespace

BENCHMARK_MAIN();
