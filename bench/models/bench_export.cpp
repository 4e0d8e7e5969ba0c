// Room export at the size of a large home: every room of the 20 x 20 grid plan written as a 3DS
// file into the temporary folder, and the enclosing room ("Dummy") around all of it. Reports
// the time per room, the slowest room and the megabytes written. Goal: the whole grid under
// 2 s, no room over 16 ms (one frame of a 60 Hz display).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

#include "models/frame.h"
#include "models/planhost.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"

namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<Frame> BuildGrid() {
  RoomNamingHost naming;
  SetPlanHost(&naming);
  auto frame = std::make_unique<Frame>();
  DrawGrid(*frame, true);
  SetPlanHost(nullptr);
  return frame;
}

double MegabytesIn(const RecordingPlanHost& host) {
  double bytes = 0.0;
  std::error_code ec;
  for (const std::string& name : host.TempFiles())
    bytes += static_cast<double>(std::filesystem::file_size(std::filesystem::u8path(host.LibPath("temp\\" + name)), ec));
  return bytes / (1024.0 * 1024.0);
}

void BM_ExportGridRooms(benchmark::State& state) {
  auto frame = BuildGrid();
  RecordingPlanHost host;
  double slowest = 0.0;
  double total = 0.0;
  int exported = 0;
  for (auto _ : state) {
    for (int i = frame->GetRoomCount() - 1; i >= 0; --i) {
      Room* room = frame->RoomAt(i);
      const auto start = Clock::now();
      room->ExportTo3ds(room, nullptr, nullptr, 1, 1, 1, nullptr, 0);
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      slowest = std::max(slowest, ms);
      total += ms;
      ++exported;
    }
  }
  state.counters["rooms"] = frame->GetRoomCount();
  state.counters["ms_per_room"] = exported ? total / exported : 0.0;
  state.counters["slowest_room_ms"] = slowest;
  state.counters["MB_written"] = MegabytesIn(host);
}
BENCHMARK(BM_ExportGridRooms)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportEnclosingRoom(benchmark::State& state) {
  auto frame = BuildGrid();
  RecordingPlanHost host;
  if (frame->BuildDummyRoom(1) != 1) {
    state.SkipWithError("no enclosing room");
    return;
  }
  Room* dummy = frame->m_pDummyRoom;
  Mesh extra[2];
  for (auto _ : state) dummy->ExportTo3ds(dummy, "Dummy", extra, 1, 1, 1, nullptr, 0);
  state.counters["wall_faces"] = dummy->GetWallFaceCount();
  state.counters["MB_written"] = MegabytesIn(host);
}
BENCHMARK(BM_ExportEnclosingRoom)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
