// Speed of the 3D Studio reader over generated mesh files written by the 3DS file toolkit: 226
// meshes (about 73 MB) as a room set of the largest kind, and 12 and 56 meshes of the same shape
// to show that the time grows with the file.  The chunk read into the scene record alone, and
// the whole load that WTnode_load makes, to closed geometries.
#include <stdio.h>
#include <string.h>

#include <chrono>

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "ftk3ds/ftk3ds.h"
#include "toolkit/core/filetypes.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/read3ds.h"
#include "toolkit/wt.h"

namespace {

const uint16_t kVerts = 7080;   // per mesh: 226 meshes hold about 1.6 million
const uint16_t kFaces = 12832;  // and about 2.9 million faces
const int kMaterials = 8;

void putmaterials(Database3ds *db) {
  for (int i = 0; i < kMaterials; i++) {
    Material3ds *mat = nullptr;
    InitMaterial3ds(&mat);
    snprintf(mat->name, sizeof mat->name, "mat%02d", i);
    mat->diffuse = {0.1f * i, 0.5f, 1.0f - 0.1f * i};
    if (i % 2) snprintf(mat->texture.name, sizeof mat->texture.name, "tex%02d.tga", i);
    mat->texture.percent = 1.0f;
    PutMaterial3ds(db, mat);
    ReleaseMaterial3ds(&mat);
  }
}

// Random positions, uv, corners and smoothing groups; the faces in three material groups.
void putmesh(Database3ds *db, int index, std::mt19937 &random) {
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, kVerts, kFaces, MeshTexVertArray3ds | MeshSmoothArray3ds);
  snprintf(mesh->name, sizeof mesh->name, "part%04d", index);
  std::uniform_real_distribution<float> pos(-5000.0f, 5000.0f), unit(0.0f, 1.0f);
  std::uniform_int_distribution<int> corner(0, kVerts - 1), group(0, 31);
  for (uint16_t v = 0; v < kVerts; v++) {
    mesh->vertices[v] = {pos(random), pos(random), pos(random)};
    mesh->texVertices[v] = {unit(random), unit(random)};
  }
  for (uint16_t f = 0; f < kFaces; f++) {
    mesh->faces[f] = {static_cast<uint16_t>(corner(random)), static_cast<uint16_t>(corner(random)),
                      static_cast<uint16_t>(corner(random)), 7};
    mesh->smoothing[f] = 1u << group(random);
  }
  for (int i = 0; i < 12; i++) mesh->matrix[i] = i % 4 == 0 ? 1.0f : 0.0f;
  mesh->matGroupCount = 3;
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  const uint16_t third = kFaces / 3;
  for (uint16_t g = 0; g < 3; g++) {
    snprintf(mesh->matGroups[g].name, sizeof mesh->matGroups[g].name, "mat%02d", (index + g) % kMaterials);
    uint16_t count = g == 2 ? static_cast<uint16_t>(kFaces - 2 * third) : third;
    AllocMatGroupFaces3ds(mesh, g, count);
    for (uint16_t f = 0; f < count; f++) mesh->matGroups[g].faces[f] = static_cast<uint16_t>(g * third + f);
  }
  PutMesh3ds(db, mesh);
  ReleaseMeshObj3ds(&mesh);
}

std::map<int, std::string> made;

// The file of the given number of meshes, written once per run.
const std::string &meshfile(int meshes) {
  auto found = made.find(meshes);
  if (found != made.end()) return found->second;
  std::string path =
      (std::filesystem::temp_directory_path() / ("vedra-bench-3ds-" + std::to_string(meshes) + ".3ds")).string();
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  putmaterials(db);
  std::mt19937 random(20240611u + static_cast<unsigned>(meshes));
  for (int i = 0; i < meshes; i++) putmesh(db, i, random);
  File3ds *file = OpenFile3ds(path.c_str(), "w");
  WriteDatabase3ds(file, db);
  CloseAllFiles3ds();
  ReleaseDatabase3ds(&db);
  return made[meshes] = path;
}

int64_t filesize(const std::string &path) {
  std::error_code error;
  auto size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<int64_t>(size);
}

// One read of the whole file into a scene record and its freeing, after one warm-up read.
void readfile(benchmark::State &state) {
  const std::string &path = meshfile(static_cast<int>(state.range(0)));
  const int64_t bytes = filesize(path);
  auto readonce = [&path, &state] {
    FILE *f = _WTfile_open(path.c_str(), "rb");
    _WT3dsData *scene = nullptr;
    if (!f || _WT3ds_read(f, &scene) != WT3DS_OK) state.SkipWithError("the file does not read");
    if (f) fclose(f);
    _WT3ds_free(scene);
  };
  readonce();
  for (auto _ : state) readonce();
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["MB"] = static_cast<double>(bytes) / 1.0e6;
}
// The load of type 9 that WTnode_load makes: the file into closed geometries sharing one material
// table.  Only the load is timed; the geometries are deleted after each run.
void GeometryLoad(benchmark::State &state) {
  const std::string &path = meshfile(static_cast<int>(state.range(0)));
  const int64_t bytes = filesize(path);
  auto loadonce = [&path, &state] {
    FILE *f = _WTfile_open(path.c_str(), "rb");
    WTpq pose;
    const auto start = std::chrono::steady_clock::now();
    WTgeomlist *list = f ? _WTgeometry_load(f, path.c_str(), WTFILE_3DS, &pose, 1.0f, 0) : nullptr;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!list) state.SkipWithError("the file does not load");
    for (WTgeomlist *c = list; c; c = c->next) WTgeometry_delete(c->geometry);
    _WTgeomlist_delete(list);
    return took.count();
  };
  loadonce();
  for (auto _ : state) state.SetIterationTime(loadonce());
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["MB"] = static_cast<double>(bytes) / 1.0e6;
}
BENCHMARK(GeometryLoad)->Arg(12)->Arg(56)->Arg(226)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseManualTime()->Iterations(1);

// The records come from memory the system hands out afresh at every read: on a virtual machine
// the first touch of each page can cost more than the reading.
void ChunkRead(benchmark::State &state) { readfile(state); }
BENCHMARK(ChunkRead)->Arg(12)->Arg(56)->Arg(226)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();

// The same with the C library keeping freed memory for the next read: the reader's own work.
// Runs last, for the setting stays.
void ChunkReadReusingMemory(benchmark::State &state) {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
  readfile(state);
}
BENCHMARK(ChunkReadReusingMemory)->Arg(12)->Arg(56)->Arg(226)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace

int main(int argc, char **argv) {
  for (int level : {WTMSG_WARNING, WTMSG_INFO}) _WTmsg_setrouting(level, 0, nullptr);
  WTuniverse_new(512, 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const auto &file : made) std::filesystem::remove(file.second);
  WTuniverse_delete();
  return 0;
}
