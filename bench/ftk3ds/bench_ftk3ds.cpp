// Writing and reading a generated mesh file of about 50 MB: 200 objects, each with 5000
// vertices and texture vertices, 10000 faces with smoothing groups and two material groups.
// The read reports its ratio to a plain read of the same file in the same run.
#include "ftk3ds/ftk3ds.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const int kObjects = 200;
const uint16_t kVertices = 5000;
const uint16_t kFaces = 10000;

std::string FilePath() {
  static const std::string path = (std::filesystem::temp_directory_path() / "bench_ftk3ds.3ds").string();
  return path;
}

Database3ds *BuildDatabase() {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, kVertices, kFaces, MeshTexVertArray3ds | MeshSmoothArray3ds);
  for (uint16_t i = 0; i < kVertices; ++i) {
    mesh->vertices[i] = {i * 0.5f, i * 0.25f, i * 0.125f};
    mesh->texVertices[i] = {i / float(kVertices), 1.0f - i / float(kVertices)};
  }
  for (uint16_t i = 0; i < kFaces; ++i) {
    mesh->faces[i] = {uint16_t(i % kVertices), uint16_t((i + 1) % kVertices), uint16_t((i + 2) % kVertices), 7};
    mesh->smoothing[i] = 1u << (i % 32);
  }
  mesh->matGroupCount = 2;
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  for (uint16_t g = 0; g < 2; ++g) {
    snprintf(mesh->matGroups[g].name, sizeof mesh->matGroups[g].name, "mat%u", g);
    AllocMatGroupFaces3ds(mesh, g, kFaces / 2);
    for (uint16_t i = 0; i < kFaces / 2; ++i) mesh->matGroups[g].faces[i] = uint16_t(g * (kFaces / 2) + i);
  }
  for (int n = 0; n < kObjects; ++n) {
    snprintf(mesh->name, sizeof mesh->name, "obj%05d", n);
    PutMesh3ds(db, mesh);
  }
  ReleaseMeshObj3ds(&mesh);
  return db;
}

Database3ds *SharedDatabase() {
  static Database3ds *db = BuildDatabase();
  return db;
}

bool WriteFile(Database3ds *db) {
  ClearErrList3ds();
  File3ds *file = OpenFile3ds(FilePath().c_str(), "w");
  if (file) WriteDatabase3ds(file, db);
  CloseAllFiles3ds();
  return file && !ftkerr3ds;
}

uint64_t FileSize() { return std::filesystem::file_size(FilePath()); }

void EnsureFile() {
  if (!std::filesystem::exists(FilePath())) WriteFile(SharedDatabase());
}

// Reads the file into the toolkit and every mesh record out of it; the number of vertices read.
uint64_t ReadEveryMesh() {
  ClearErrList3ds();
  File3ds *file = OpenFile3ds(FilePath().c_str(), "r");
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  ReadDatabase3ds(file, db);
  uint64_t vertices = 0;
  MeshObj3ds *mesh = nullptr;
  for (uint32_t i = 0, n = GetMeshCount3ds(db); i < n; ++i) {
    GetMeshByIndex3ds(db, i, &mesh);
    vertices += mesh->vertexCount;
  }
  ReleaseMeshObj3ds(&mesh);
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  return vertices;
}

// Seconds for a plain read of the whole file in 64 KB blocks.
double PlainRead() {
  auto start = std::chrono::steady_clock::now();
  FILE *f = fopen(FilePath().c_str(), "rb");
  std::vector<char> block(1 << 16);
  size_t total = 0;
  while (f) {
    size_t n = fread(block.data(), 1, block.size(), f);
    if (n == 0) break;
    total += n;
  }
  if (f) fclose(f);
  benchmark::DoNotOptimize(total);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_WriteMeshFile(benchmark::State &state) {
  Database3ds *db = SharedDatabase();
  for (auto _ : state) {
    if (!WriteFile(db)) state.SkipWithError("writing failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FileSize()));
  state.counters["MB"] = double(FileSize()) / 1e6;
}
BENCHMARK(BM_WriteMeshFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadMeshFile(benchmark::State &state) {
  EnsureFile();
  double plain = 1e9;
  for (int i = 0; i < 5; ++i) plain = std::min(plain, PlainRead());
  double toolkit = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    uint64_t vertices = ReadEveryMesh();
    toolkit += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (vertices != uint64_t(kObjects) * kVertices) state.SkipWithError("reading failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FileSize()));
  state.counters["plain_MB/s"] = double(FileSize()) / 1e6 / plain;
  state.counters["ratio_to_plain"] = toolkit / double(state.iterations()) / plain;
}
BENCHMARK(BM_ReadMeshFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove(FilePath(), ignored);
  return 0;
}
