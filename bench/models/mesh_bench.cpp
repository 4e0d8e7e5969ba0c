// Mesh building: triangulation of random polygons with holes (microseconds per polygon) and
// every mesh of a 20 x 20 grid plan of rooms (milliseconds per room). One room rebuilt should
// take well under one frame of a 60 Hz display (16 ms).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "star_polygon.h"
#include "models/frame.h"
#include "models/planhost.h"
#include "models/triangulate.h"
#include "plan_fixtures.h"

namespace {


using Polygon = StarPolygon;

Polygon RandomPolygon(int n, unsigned seed) { return MakeStarPolygon(n, seed, true); }

void BM_TriangulatePolygon(benchmark::State& state) {
  const Polygon p = RandomPolygon(static_cast<int>(state.range(0)), 7);
  const int capacity = 2 * p.total + 1;
  std::vector<int> triangles(3 * static_cast<size_t>(capacity));
  const int expected = p.total - 2 + 2 * (static_cast<int>(p.sizes.size()) - 1);
  for (auto _ : state) {
    const int count = TriangulatePolygon(static_cast<int>(p.sizes.size()), p.sizes.data(),
                                         reinterpret_cast<const double(*)[2]>(p.xy.data()),
                                         reinterpret_cast<int(*)[3]>(triangles.data()), capacity);
    if (count != expected)
      state.SkipWithError("wrong number of triangles");
    benchmark::DoNotOptimize(triangles.data());
  }
}
BENCHMARK(BM_TriangulatePolygon)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

std::unique_ptr<Frame> BuildGrid() {
  auto frame = std::make_unique<Frame>();
  DrawGrid(*frame, true);
  return frame;
}

void BM_BuildGridPlanMeshes(benchmark::State& state) {
  RoomNamingHost host;
  SetPlanHost(&host);
  auto frame = BuildGrid();
  if (frame->GetRoomCount() != kGridCells * kGridCells)
    state.SkipWithError("the grid did not come out as 400 rooms");
  double seconds = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frame->GetRoomCount(); ++i)
      BuildRoomMeshes(*frame, frame->RoomAt(i));
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["ms_per_room"] =
      1000.0 * seconds / static_cast<double>(state.iterations()) / frame->GetRoomCount();
  SetPlanHost(nullptr);
}
BENCHMARK(BM_BuildGridPlanMeshes)->Unit(benchmark::kMillisecond);

// One room of the full plan rebuilt.
void BM_BuildOneRoomMeshes(benchmark::State& state) {
  RoomNamingHost host;
  SetPlanHost(&host);
  auto frame = BuildGrid();
  Room* room = frame->RoomAt(frame->GetRoomCount() / 2);
  for (auto _ : state)
    BuildRoomMeshes(*frame, room);
  SetPlanHost(nullptr);
}
BENCHMARK(BM_BuildOneRoomMeshes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
