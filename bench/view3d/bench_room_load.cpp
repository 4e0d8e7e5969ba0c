// A room placed again in the middle of the 20 x 20 grid plan: the room and its neighbours are
// exported and loaded into the 3D scene, every room of the plan already shown there. Reports
// the time of one such click. Goal: under 100 ms.
#include <benchmark/benchmark.h>

#include "models/frame.h"
#include "models/room.h"
#include "plan_fixtures.h"
#include "scene_host_double.h"
#include "toolkit/wt.h"
#include "view3d/nodedata.h"

namespace {

// Names every new room anew ("방 1", "방 2", ...), as the plan asks of its rooms.
class NamingSceneHost : public SceneHost {
public:
  CString GetControlText(int id) override {
    CString name;
    if (id == IDC_PLAN_ROOM_NAME) name.Format("방 %d", ++m_count);
    return name;
  }

private:
  int m_count = 0;
};

void BM_ExportAndLoadRoomWithNeighbours(benchmark::State& state) {
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
  WTuniverse_new(512, 0);
  InstallSceneNodeDeleter();
  {
    NamingSceneHost host;
    SetPlanHost(&host);
    Frame frame;
    DrawGrid(frame, true);
    // The rooms are placed row by row.
    const int index = kGridCells * (kGridCells / 2) + kGridCells / 2;
    Room* middle = index < frame.GetRoomCount() ? frame.RoomAt(index) : nullptr;
    if (!middle) {
      state.SkipWithError("no room in the middle");
    } else {
      for (auto _ : state) middle->ExportTo3ds(nullptr, nullptr, nullptr, 1, 1, 1, nullptr, 0);
    }
    state.counters["scene_objects"] = static_cast<double>(host.scene.m_objects.GetCount());
    host.scene.RemoveAll();
    SetPlanHost(nullptr);
  }
  SetNodeTreeDeleter(nullptr);
  WTuniverse_delete();
}
BENCHMARK(BM_ExportAndLoadRoomWithNeighbours)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
