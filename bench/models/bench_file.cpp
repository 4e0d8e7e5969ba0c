// Model files at the size of a large home: the 20 x 20 grid plan (840 walls, 400 rooms) with
// every room's meshes built, saved to memory and opened again. Reports milliseconds per save
// and per open and the throughput in bytes; each should stay under 100 ms at this size.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "models/modelfile.h"
#include "models/planhost.h"
#include "models/wallface.h"

namespace {

constexpr int kCells = 20;
constexpr int kCell = 3000;  // millimetres

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

void DrawWall(Frame& frame, CPoint from, CPoint to) {
  CRect rect;
  if (!frame.AddDrawnWall(from, 0, 2400, 150, rect)) return;
  CPoint p = to;
  frame.TrackDrawnWall(p, 0, rect);
  frame.AddDrawnWall(to, 0, 2400, 150, rect);
  if (frame.IsDrawing()) frame.FinishDrawnWalls(to, 0, rect);
}

// The grid with every room placed and its meshes built.
std::unique_ptr<ModelDocument> BuildGridDocument() {
  auto doc = std::make_unique<ModelDocument>();
  doc->SetModel(new Model);
  Frame& frame = doc->GetModel()->m_frame;
  for (int i = 0; i <= kCells; ++i) DrawWall(frame, CPoint(i * kCell, 0), CPoint(i * kCell, kCells * kCell));
  for (int j = 0; j <= kCells; ++j)
    for (int i = 0; i < kCells; ++i) DrawWall(frame, CPoint(i * kCell, j * kCell), CPoint((i + 1) * kCell, j * kCell));
  for (int j = 0; j < kCells; ++j)
    for (int i = 0; i < kCells; ++i)
      frame.PlaceRoomAt(CPoint(i * kCell + kCell / 2, j * kCell + kCell / 2), 2400, 0, false);
  for (int r = 0; r < frame.GetRoomCount(); ++r) {
    Room* room = frame.RoomAt(r);
    room->BuildBoards();
    for (int i = 0; i < room->GetWallFaceCount(); ++i) {
      const WallFace* face = room->GetWallFace(i);
      room->BuildWallSide(frame, face->m_pWall, face->GetSide());
    }
  }
  return doc;
}

std::vector<BYTE> Save(ModelDocument& doc) {
  CMemFile file(1 << 20);
  {
    CArchive ar(&file, CArchive::store);
    doc.Serialize(ar);
    ar.Close();
  }
  const ULONGLONG length = file.GetLength();
  BYTE* data = file.Detach();
  std::vector<BYTE> bytes(data, data + length);
  free(data);
  return bytes;
}

struct Grid {
  Grid() {
    RegisterModelClasses();
    SetPlanHost(&host);
    doc = BuildGridDocument();
    bytes = Save(*doc);
  }
  ~Grid() { SetPlanHost(nullptr); }
  BenchHost host;
  std::unique_ptr<ModelDocument> doc;
  std::vector<BYTE> bytes;
};

Grid& TheGrid() {
  static Grid grid;
  return grid;
}

void BM_SaveGridModel(benchmark::State& state) {
  Grid& grid = TheGrid();
  if (grid.doc->GetModel()->m_frame.GetRoomCount() != kCells * kCells)
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
