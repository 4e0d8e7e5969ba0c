// The plan at the size of a large home: a 20 x 20 grid of rooms (840 walls) drawn wall by wall,
// every room placed. Reports one wall added and one room placed at that size; a single edit
// should stay well inside one frame of a 60 Hz display (16 ms).
#include <benchmark/benchmark.h>

#include <memory>

#include "models/frame.h"
#include "models/planhost.h"
#include "plan_fixtures.h"

namespace {

std::unique_ptr<Frame> BuildGrid(bool rooms) {
  auto frame = std::make_unique<Frame>();
  DrawGrid(*frame, rooms);
  return frame;
}

void BM_BuildGridPlan(benchmark::State& state) {
  RoomNamingHost host;
  SetPlanHost(&host);
  for (auto _ : state) {
    auto frame = BuildGrid(true);
    if (frame->GetWallCount() != 840 || frame->GetRoomCount() != kGridCells * kGridCells) {
      state.SkipWithError("the grid did not come out as 840 walls and 400 rooms");
    }
    benchmark::DoNotOptimize(frame.get());
  }
  SetPlanHost(nullptr);
}
BENCHMARK(BM_BuildGridPlan)->Unit(benchmark::kMillisecond)->Iterations(1);

// One wall drawn across a room of the full plan: it splits two walls and cuts the room.
void BM_AddWallToGridPlan(benchmark::State& state) {
  RoomNamingHost host;
  SetPlanHost(&host);
  auto frame = BuildGrid(true);
  const int x = 10 * kGridCell + kGridCell / 2;
  const CPoint from(x, 10 * kGridCell), to(x, 11 * kGridCell);
  for (auto _ : state) {
    if (DrawWall(*frame, from, to) != 1) state.SkipWithError("the wall was refused");
    state.PauseTiming();
    CRect rect;
    frame->RemoveWall(frame->GetWall(frame->GetWallCount() - 1), rect, true);
    frame->PlaceRoomAt(CPoint(x - kGridCell / 4, 10 * kGridCell + kGridCell / 2), 2400, 0, true);
    state.ResumeTiming();
  }
  SetPlanHost(nullptr);
}
BENCHMARK(BM_AddWallToGridPlan)->Unit(benchmark::kMillisecond);

// One room placed in the full plan.
void BM_PlaceRoomInGridPlan(benchmark::State& state) {
  RoomNamingHost host;
  SetPlanHost(&host);
  auto frame = BuildGrid(true);
  const CPoint centre = GridCellCentre(10, 10);
  for (auto _ : state) {
    state.PauseTiming();
    frame->RemoveRoom(frame->PlaceRoomAt(centre, 2400, 0, true), false);
    state.ResumeTiming();
    if (!frame->PlaceRoomAt(centre, 2400, 0, false)) state.SkipWithError("the room was refused");
  }
  SetPlanHost(nullptr);
}
BENCHMARK(BM_PlaceRoomInGridPlan)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
