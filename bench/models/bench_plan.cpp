// The plan at the size of a large home: a 20 x 20 grid of rooms (840 walls) drawn wall by wall,
// every room placed. Reports one wall added and one room placed at that size; a single edit
// should stay well inside one frame of a 60 Hz display (16 ms).
#include <benchmark/benchmark.h>

#include <memory>

#include "models/frame.h"
#include "models/planhost.h"

namespace {

constexpr int kCells = 20;
constexpr int kCell = 3000;  // millimetres

// A host that names every new room and otherwise does nothing.
class BenchHost : public PlanHost {
public:
  CString GetControlText(int id) override {
    CString name;
    if (id == IDC_PLAN_ROOM_NAME) name.Format("방 %d", ++m_count);
    return name;
  }

private:
  int m_count = 0;
};

int DrawWall(Frame& frame, CPoint from, CPoint to) {
  CRect rect;
  if (!frame.AddDrawnWall(from, 0, 2400, 150, rect)) return 0;
  CPoint p = to;
  frame.TrackDrawnWall(p, 0, rect);
  const int added = frame.AddDrawnWall(to, 0, 2400, 150, rect);
  if (frame.IsDrawing()) frame.FinishDrawnWalls(to, 0, rect);
  return added;
}

CPoint CellCentre(int i, int j) { return CPoint(i * kCell + kCell / 2, j * kCell + kCell / 2); }

// Vertical lines first, then the rows of short walls between them, which split the lines.
std::unique_ptr<Frame> BuildGrid(bool rooms) {
  auto frame = std::make_unique<Frame>();
  for (int i = 0; i <= kCells; ++i) DrawWall(*frame, CPoint(i * kCell, 0), CPoint(i * kCell, kCells * kCell));
  for (int j = 0; j <= kCells; ++j) {
    for (int i = 0; i < kCells; ++i) DrawWall(*frame, CPoint(i * kCell, j * kCell), CPoint((i + 1) * kCell, j * kCell));
  }
  if (rooms) {
    for (int j = 0; j < kCells; ++j) {
      for (int i = 0; i < kCells; ++i) frame->PlaceRoomAt(CellCentre(i, j), 2400, 0, false);
    }
  }
  return frame;
}

void BM_BuildGridPlan(benchmark::State& state) {
  BenchHost host;
  SetPlanHost(&host);
  for (auto _ : state) {
    auto frame = BuildGrid(true);
    if (frame->GetWallCount() != 840 || frame->GetRoomCount() != kCells * kCells) {
      state.SkipWithError("the grid did not come out as 840 walls and 400 rooms");
    }
    benchmark::DoNotOptimize(frame.get());
  }
  SetPlanHost(nullptr);
}
BENCHMARK(BM_BuildGridPlan)->Unit(benchmark::kMillisecond)->Iterations(1);

// One wall drawn across a room of the full plan: it splits two walls and cuts the room.
void BM_AddWallToGridPlan(benchmark::State& state) {
  BenchHost host;
  SetPlanHost(&host);
  auto frame = BuildGrid(true);
  const int x = 10 * kCell + kCell / 2;
  const CPoint from(x, 10 * kCell), to(x, 11 * kCell);
  for (auto _ : state) {
    if (DrawWall(*frame, from, to) != 1) state.SkipWithError("the wall was refused");
    state.PauseTiming();
    CRect rect;
    frame->RemoveWall(frame->GetWall(frame->GetWallCount() - 1), rect, true);
    frame->PlaceRoomAt(CPoint(x - kCell / 4, 10 * kCell + kCell / 2), 2400, 0, true);
    state.ResumeTiming();
  }
  SetPlanHost(nullptr);
}
BENCHMARK(BM_AddWallToGridPlan)->Unit(benchmark::kMillisecond);

// One room placed in the full plan.
void BM_PlaceRoomInGridPlan(benchmark::State& state) {
  BenchHost host;
  SetPlanHost(&host);
  auto frame = BuildGrid(true);
  const CPoint centre = CellCentre(10, 10);
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
