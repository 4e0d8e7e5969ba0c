// Object stream throughput: storing and loading a graph of one million small objects, beside a
// raw write and read of the same bytes. All in memory, so that the figures show the cost of the
// archive itself.
#include <benchmark/benchmark.h>

#include <vector>

#include "afx/afx.h"

namespace {

// A small model-like object: its own id, a link to an earlier item (a back-reference in the
// stream), a string and a few numbers.
class BItem : public CObject {
  DECLARE_SERIAL(BItem)
 public:
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << GetObjectId() << m_pLink << m_name << m_x << m_y << m_level;
    } else {
      DWORD selfId;
      ar >> selfId >> m_pLink >> m_name >> m_x >> m_y >> m_level;
    }
  }
  BItem* m_pLink = nullptr;
  CString m_name;
  double m_x = 0, m_y = 0;
  int m_level = 0;
};
IMPLEMENT_SERIAL(BItem, CObject, VERSIONABLE_SCHEMA | 5)

const int kObjects = 1000000;

class Graph {
 public:
  Graph() {
    items.SetSize(kObjects);
    for (int i = 0; i < kObjects; i++) {
      BItem* item = new BItem;
      item->m_pLink = i > 0 ? static_cast<BItem*>(items[i / 2]) : nullptr;
      item->m_name = (i % 4 == 0) ? "wall" : "";
      item->m_x = i * 0.5;
      item->m_y = -i;
      item->m_level = i % 3000;
      items[i] = item;
    }
  }
  ~Graph() { Clear(items); }
  static void Clear(CObArray& array) {
    for (INT_PTR i = 0; i < array.GetSize(); i++) delete array[i];
    array.RemoveAll();
  }
  CObArray items;
};

Graph& TheGraph() {
  static Graph graph;
  return graph;
}

std::vector<BYTE> StoreGraph() {
  CMemFile file(1 << 20);
  {
    CArchive ar(&file, CArchive::store);
    TheGraph().items.Serialize(ar);
  }
  std::vector<BYTE> bytes((size_t)file.GetLength());
  file.SeekToBegin();
  file.Read(bytes.data(), (UINT)bytes.size());
  return bytes;
}

const std::vector<BYTE>& StoredBytes() {
  static std::vector<BYTE> bytes = StoreGraph();
  return bytes;
}

void Report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kObjects);
  state.SetBytesProcessed(state.iterations() * (int64_t)StoredBytes().size());
}

void BM_ArchiveStore(benchmark::State& state) {
  TheGraph();
  StoredBytes();
  for (auto _ : state) {
    CMemFile file(1 << 20);
    CArchive ar(&file, CArchive::store);
    TheGraph().items.Serialize(ar);
    ar.Close();
    benchmark::DoNotOptimize(file.GetLength());
  }
  Report(state);
}

void BM_ArchiveLoad(benchmark::State& state) {
  const std::vector<BYTE>& bytes = StoredBytes();
  for (auto _ : state) {
    CObArray loaded;
    {
      CMemFile file(const_cast<BYTE*>(bytes.data()), (UINT)bytes.size());
      CArchive ar(&file, CArchive::load);
      loaded.Serialize(ar);
    }
    state.PauseTiming();
    Graph::Clear(loaded);
    state.ResumeTiming();
  }
  Report(state);
}

// The same bytes written and read in pieces of the archive's buffer size.
void BM_RawWrite(benchmark::State& state) {
  const std::vector<BYTE>& bytes = StoredBytes();
  for (auto _ : state) {
    CMemFile file(1 << 20);
    for (size_t n = 0; n < bytes.size(); n += 4096)
      file.Write(bytes.data() + n, (UINT)std::min<size_t>(4096, bytes.size() - n));
    benchmark::DoNotOptimize(file.GetLength());
  }
  Report(state);
}

void BM_RawRead(benchmark::State& state) {
  const std::vector<BYTE>& bytes = StoredBytes();
  std::vector<BYTE> buffer(4096);
  for (auto _ : state) {
    CMemFile file(const_cast<BYTE*>(bytes.data()), (UINT)bytes.size());
    while (file.Read(buffer.data(), 4096) > 0) benchmark::ClobberMemory();
  }
  Report(state);
}

BENCHMARK(BM_ArchiveStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
