// Model files at the size of a large home: the 20 x 20 grid plan (840 walls, 400 rooms) with
// every room's meshes built, saved to memory and opened again. Reports milliseconds per save
// and per open and the throughput in bytes; each should stay under 100 ms at this size.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "models/modelfile.h"
#include "models/planhost.h"
#include "plan_fixtures.h"

namespace {

// The grid with every room placed and its meshes built.
std::unique_ptr<ModelDocument> BuildGridDocument() {
  auto doc = std::make_unique<ModelDocument>();
  doc->SetModel(new Model);
  Frame& frame = doc->GetModel()->m_frame;
  DrawGrid(frame, true);
  for (int r = 0; r < frame.GetRoomCount(); ++r) BuildRoomMeshes(frame, frame.RoomAt(r));
  return doc;
}

// Saved to memory that grows in steps of a megabyte.
std::vector<BYTE> Save(ModelDocument& doc) { return SaveToBytes(doc, 1 << 20); }

struct Grid {
  Grid() {
    RegisterModelClasses();
    SetPlanHost(&host);
    doc = BuildGridDocument();
    bytes = Save(*doc);
  }
  ~Grid() { SetPlanHost(nullptr); }
  RoomNamingHost host;
  std::unique_ptr<ModelDocument> doc;
  std::vector<BYTE> bytes;
};

Grid& TheGrid() {
  static Grid grid;
  return grid;
}

void BM_SaveGridModel(benchmark::State& state) {
  Grid& grid = TheGrid();
  if (grid.doc->GetModel()->m_frame.GetRoomCount() != kGridCells * kGridCells)
    state.SkipWithError("the grid did not come out as 400 rooms");
  for (auto _ : state) {
    std::vector<BYTE> bytes = Save(*grid.doc);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * grid.bytes.size()));
  state.counters["file_MB"] = static_cast<double>(grid.bytes.size()) / 1e6;
}
BENCHMARK(BM_SaveGridModel)->Unit(benchmark::kMillisecond);

void BM_OpenGridModel(benchmark::State& state) {
  Grid& grid = TheGrid();
  ModelDocument doc;
  for (auto _ : state) {
    CMemFile file(grid.bytes.data(), static_cast<UINT>(grid.bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
      doc.Serialize(ar);
    } catch (const MyCodeException&) {
      state.SkipWithError("the saved grid did not open");
      break;
    }
    state.PauseTiming();
    doc.SetModel(nullptr);  // the model of the last open goes before the next
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * grid.bytes.size()));
}
BENCHMARK(BM_OpenGridModel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
