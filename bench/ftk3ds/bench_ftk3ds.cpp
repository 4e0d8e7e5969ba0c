// Reading and writing mesh files the way the program does: a loader reads every mesh, material
// and object node of a file and keeps every record; an exporter puts a mesh, a material and a
// node per object and writes the file.
//
// - ReadSmallFile, ReadBigFile: files of varied meshes, materials and nodes (about 1 KB, 4 KB,
//   13 KB and 73 MB), with the ratio of the toolkit's read to a plain read of the same file.
// - ReadObjects, WriteObjects: 250 to 16,000 box objects, with the time per object, which
//   should not grow with the number of objects.
// Counters come from the best runs, so that other work on the machine disturbs them less.
#include "ftk3ds/ftk3ds.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The machine may be busy with other work: of the times of many runs, the best mean over
// consecutive runs that together take at least a window of time.
double BestMean(const std::vector<double> &runs, double window = 0.02) {
  if (runs.empty()) return 0;
  double total = 0;
  for (double t : runs) total += t;
  size_t group = std::max<size_t>(1, size_t(std::ceil(window / (total / double(runs.size())))));
  group = std::min(group, runs.size());
  double best = 1e30;
  for (size_t first = 0; first + group <= runs.size(); first += group) {
    double sum = 0;
    for (size_t i = first; i < first + group; ++i) sum += runs[i];
    best = std::min(best, sum / double(group));
  }
  return best;
}

std::string TempPath(const std::string &name) {
  return (std::filesystem::temp_directory_path() / ("bench_ftk3ds_" + name)).string();
}

std::vector<std::string> &MadeFiles() {
  static std::vector<std::string> files;
  return files;
}

// A small fixed-seed generator, so that every run builds the same files.
struct Random {
  uint32_t state;
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
  float Unit() { return float(Next() % 10000) / 10000.0f; }
};

// ---- Building databases -----------------------------------------------------------------

// The builders fill a record of the caller's, made on first use, as an exporter reuses its
// records from one object to the next.
void VariedMesh(Random &random, const char *name, uint16_t vertices, MeshObj3ds **record) {
  uint16_t faces = uint16_t(std::min(65535, 2 * int(vertices) - 4));
  uint32_t flags = 0;
  if (random.Below(3) != 0) flags |= MeshTexVertArray3ds;
  if (random.Below(2) == 0) flags |= MeshSmoothArray3ds;
  InitMeshObj3ds(record, vertices, faces, flags);
  MeshObj3ds *mesh = *record;
  snprintf(mesh->name, sizeof mesh->name, "%s", name);
  for (uint16_t i = 0; i < vertices; ++i) {
    mesh->vertices[i] = {random.Unit() * 100, random.Unit() * 100, random.Unit() * 30};
    if (mesh->texVertices) mesh->texVertices[i] = {random.Unit(), random.Unit()};
  }
  for (uint16_t i = 0; i < faces; ++i) {
    mesh->faces[i] = {uint16_t(random.Below(vertices)), uint16_t(random.Below(vertices)),
                      uint16_t(random.Below(vertices)), 7};
    if (mesh->smoothing) mesh->smoothing[i] = 1u << random.Below(32);
  }
  for (int i = 0; i < 12; ++i) mesh->matrix[i] = i % 4 == 0 ? 1.0f : 0.0f;
  mesh->meshColor = uint8_t(random.Below(256));
  mesh->matGroupCount = uint16_t(1 + random.Below(3));
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  uint16_t each = uint16_t(faces / mesh->matGroupCount);
  for (uint16_t g = 0; g < mesh->matGroupCount; ++g) {
    snprintf(mesh->matGroups[g].name, sizeof mesh->matGroups[g].name, "mat%04u", random.Below(10000));
    uint16_t count = g + 1 == mesh->matGroupCount ? uint16_t(faces - g * each) : each;
    if (count == 0) continue;
    AllocMatGroupFaces3ds(mesh, g, count);
    for (uint16_t i = 0; i < count; ++i) mesh->matGroups[g].faces[i] = uint16_t(g * each + i);
  }
}

void VariedMaterial(Random &random, const char *name, Material3ds **record) {
  InitMaterial3ds(record);
  Material3ds *mat = *record;
  snprintf(mat->name, sizeof mat->name, "%s", name);
  mat->ambient = {random.Unit(), random.Unit(), random.Unit()};
  mat->diffuse = {random.Unit(), random.Unit(), random.Unit()};
  mat->specular = {random.Unit(), random.Unit(), random.Unit()};
  mat->shininess = random.Unit();
  mat->transparency = random.Below(4) == 0 ? random.Unit() : 0.0f;
  mat->shading = 3;
  mat->twoSided = uint8_t(random.Below(2));
  if (random.Below(2) == 0) {
    snprintf(mat->texture.name, sizeof mat->texture.name, "tex%04u.jpg", random.Below(10000));
    mat->texture.percent = 1.0f;
    mat->texture.uScale = 1.0f + float(random.Below(4));
  }
  if (random.Below(4) == 0) {
    snprintf(mat->bump.name, sizeof mat->bump.name, "bmp%04u.tga", random.Below(10000));
    mat->bump.percent = 0.5f;
  }
}

void VariedMotion(Random &random, const char *name, const char *parent, ObjectMotion3ds **record) {
  uint32_t keys = 1 + random.Below(3);
  InitObjectMotion3ds(record, keys, keys, 1, 0, 0);
  ObjectMotion3ds *motion = *record;
  snprintf(motion->name, sizeof motion->name, "%s", name);
  snprintf(motion->parent, sizeof motion->parent, "%s", parent);
  motion->pivot = {random.Unit(), random.Unit(), random.Unit()};
  for (uint32_t k = 0; k < keys; ++k) {
    motion->posKeys[k].frame = motion->rotKeys[k].frame = k * 10;
    motion->pos[k] = {random.Unit() * 100, random.Unit() * 100, 0};
    motion->rot[k] = {random.Unit() * 3.14f, 0, 0, 1};
  }
  motion->scale[0] = {1, 1, 1};
}

Database3ds *NewMeshDatabase() {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  MeshSettings3ds *settings = nullptr;
  InitMeshSettings3ds(&settings);
  PutMeshSettings3ds(db, settings);
  ReleaseMeshSettings3ds(&settings);
  KfSettings3ds *kf = nullptr;
  InitKfSettings3ds(&kf);
  PutKfSettings3ds(db, kf);
  ReleaseKfSettings3ds(&kf);
  return db;
}

// A file of varied objects: vertex counts drawn from [minVertices, maxVertices], a material for
// every other object, and a node per object, every fourth one below the object before it.
Database3ds *VariedDatabase(int objects, uint16_t minVertices, uint16_t maxVertices) {
  Random random{uint32_t(objects) * 7919u + minVertices};
  Database3ds *db = NewMeshDatabase();
  MeshObj3ds *mesh = nullptr;
  Material3ds *mat = nullptr;
  ObjectMotion3ds *motion = nullptr;
  for (int n = 0; n < objects; ++n) {
    char name[16], previous[16];
    snprintf(name, sizeof name, "obj%05d", n);
    snprintf(previous, sizeof previous, "obj%05d", n - 1);
    uint16_t vertices = uint16_t(minVertices + random.Below(uint32_t(maxVertices - minVertices) + 1));
    VariedMesh(random, name, vertices, &mesh);
    PutMesh3ds(db, mesh);
    if (n % 2 == 0) {
      VariedMaterial(random, name, &mat);
      PutMaterial3ds(db, mat);
    }
    VariedMotion(random, name, n % 4 == 3 ? previous : "", &motion);
    PutObjectMotion3ds(db, motion);
  }
  ReleaseMeshObj3ds(&mesh);
  ReleaseMaterial3ds(&mat);
  ReleaseObjectMotion3ds(&motion);
  return db;
}

void BoxMesh(const char *name, float x, MeshObj3ds **record) {
  static const float corners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                      {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
  static const uint16_t faces[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                                        {1, 2, 6}, {1, 6, 5}, {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};
  InitMeshObj3ds(record, 8, 12, MeshTexVertArray3ds);
  MeshObj3ds *mesh = *record;
  snprintf(mesh->name, sizeof mesh->name, "%s", name);
  for (int i = 0; i < 8; ++i) {
    mesh->vertices[i] = {corners[i][0] + x, corners[i][1], corners[i][2]};
    mesh->texVertices[i] = {corners[i][0], corners[i][1]};
  }
  for (int i = 0; i < 12; ++i) mesh->faces[i] = {faces[i][0], faces[i][1], faces[i][2], 7};
  for (int i = 0; i < 12; ++i) mesh->matrix[i] = i % 4 == 0 ? 1.0f : 0.0f;
  mesh->matGroupCount = 1;
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  snprintf(mesh->matGroups[0].name, sizeof mesh->matGroups[0].name, "m%s", name);
  AllocMatGroupFaces3ds(mesh, 0, 12);
  for (uint16_t i = 0; i < 12; ++i) mesh->matGroups[0].faces[i] = i;
}

// Puts a box mesh, its material and its node for each object, as the room export does.
void PutBoxes(Database3ds *db, int objects) {
  Random random{uint32_t(objects)};
  MeshObj3ds *mesh = nullptr;
  Material3ds *mat = nullptr;
  ObjectMotion3ds *motion = nullptr;
  for (int n = 0; n < objects; ++n) {
    char name[16];
    snprintf(name, sizeof name, "box%05d", n);
    BoxMesh(name, float(n), &mesh);
    PutMesh3ds(db, mesh);
    snprintf(name, sizeof name, "mbox%05d", n);
    VariedMaterial(random, name, &mat);
    PutMaterial3ds(db, mat);
    VariedMotion(random, mesh->name, "", &motion);
    PutObjectMotion3ds(db, motion);
  }
  ReleaseMeshObj3ds(&mesh);
  ReleaseMaterial3ds(&mat);
  ReleaseObjectMotion3ds(&motion);
}

bool WriteFile(Database3ds *db, const std::string &path) {
  ClearErrList3ds();
  File3ds *file = OpenFile3ds(path.c_str(), "w");
  if (file) WriteDatabase3ds(file, db);
  CloseAllFiles3ds();
  return file && !ftkerr3ds;
}

// Writes a database made by make() to a file once per run; the path.
std::string MadeFile(const std::string &name, const std::function<Database3ds *()> &make) {
  std::string path = TempPath(name);
  if (std::find(MadeFiles().begin(), MadeFiles().end(), path) == MadeFiles().end()) {
    Database3ds *db = make();
    WriteFile(db, path);
    ReleaseDatabase3ds(&db);
    MadeFiles().push_back(path);
  }
  return path;
}

// ---- Reading as a loader does -------------------------------------------------------------

struct Loaded {
  std::vector<MeshObj3ds *> meshes;
  std::vector<Material3ds *> materials;
  std::vector<ObjectMotion3ds *> motions;
  uint64_t vertices = 0;
  bool ok = false;

  ~Loaded() {
    for (MeshObj3ds *&m : meshes) ReleaseMeshObj3ds(&m);
    for (Material3ds *&m : materials) ReleaseMaterial3ds(&m);
    for (ObjectMotion3ds *&m : motions) ReleaseObjectMotion3ds(&m);
  }
};

// Reads every mesh, material and object node of a file into records of their own.
void LoadFile(const std::string &path, Loaded *loaded) {
  ClearErrList3ds();
  File3ds *file = OpenFile3ds(path.c_str(), "r");
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  if (file) ReadDatabase3ds(file, db);
  MeshSettings3ds *settings = nullptr;
  GetMeshSettings3ds(db, &settings);
  ReleaseMeshSettings3ds(&settings);
  for (uint32_t i = 0, n = GetMeshCount3ds(db); i < n; ++i) {
    loaded->meshes.push_back(nullptr);
    GetMeshByIndex3ds(db, i, &loaded->meshes.back());
    if (loaded->meshes.back()) loaded->vertices += loaded->meshes.back()->vertexCount;
  }
  for (uint32_t i = 0, n = GetMaterialCount3ds(db); i < n; ++i) {
    loaded->materials.push_back(nullptr);
    GetMaterialByIndex3ds(db, i, &loaded->materials.back());
  }
  for (uint32_t i = 0, n = GetObjectMotionCount3ds(db); i < n; ++i) {
    loaded->motions.push_back(nullptr);
    GetObjectMotionByIndex3ds(db, i, &loaded->motions.back());
  }
  loaded->ok = file && !ftkerr3ds;
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
}

uint64_t FileSize(const std::string &path) { return std::filesystem::file_size(path); }

// Seconds of a plain read of the whole file (open, read in 64 KB blocks, close).
double PlainRead(const std::string &path) {
  std::vector<char> block(1 << 16);
  auto once = [&] {
    FILE *f = fopen(path.c_str(), "rb");
    size_t total = 0;
    while (f) {
      size_t n = fread(block.data(), 1, block.size(), f);
      if (n == 0) break;
      total += n;
    }
    if (f) fclose(f);
    benchmark::DoNotOptimize(total);
  };
  once();
  std::vector<double> runs;
  for (auto start = Clock::now(); Seconds(start) < 0.5;) {
    auto run = Clock::now();
    once();
    runs.push_back(Seconds(run));
  }
  return BestMean(runs);
}

// Times loading a file; reports its size and the ratio to a plain read.
void TimeLoading(benchmark::State &state, const std::string &path, uint64_t expectObjects) {
  double plain = PlainRead(path);
  std::vector<double> runs;
  for (auto _ : state) {
    auto start = Clock::now();
    {
      Loaded loaded;
      LoadFile(path, &loaded);
      if (!loaded.ok || loaded.meshes.size() != expectObjects || loaded.motions.size() != expectObjects)
        state.SkipWithError("reading failed");
    }
    runs.push_back(Seconds(start));
  }
  state.counters["KB"] = double(FileSize(path)) / 1e3;
  state.counters["plain_us"] = plain * 1e6;
  state.counters["toolkit_us"] = BestMean(runs) * 1e6;
  state.counters["ratio_to_plain"] = BestMean(runs) / plain;
}

// Small files of about 1, 4 and 13 KB: objects, most vertices of a mesh.
void BM_ReadSmallFile(benchmark::State &state) {
  int objects = int(state.range(0));
  uint16_t vertices = uint16_t(state.range(1));
  std::string path = MadeFile("small" + std::to_string(objects) + ".3ds",
                              [&] { return VariedDatabase(objects, 4, vertices); });
  TimeLoading(state, path, uint64_t(objects));
}
BENCHMARK(BM_ReadSmallFile)->Args({1, 6})->Args({3, 40})->Args({10, 40})->Unit(benchmark::kMicrosecond)->UseRealTime();

// About 73 MB in 600 meshes of 200 to 5,800 vertices.
void BM_ReadBigFile(benchmark::State &state) {
  std::string path = MadeFile("big.3ds", [] { return VariedDatabase(600, 200, 5800); });
  TimeLoading(state, path, 600);
}
BENCHMARK(BM_ReadBigFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadObjects(benchmark::State &state) {
  int objects = int(state.range(0));
  std::string path = MadeFile("boxes" + std::to_string(objects) + ".3ds", [&] {
    Database3ds *db = NewMeshDatabase();
    PutBoxes(db, objects);
    return db;
  });
  std::vector<double> runs, loads;
  for (auto _ : state) {
    auto start = Clock::now();
    {
      Loaded loaded;
      LoadFile(path, &loaded);
      loads.push_back(Seconds(start));
      if (!loaded.ok || loaded.meshes.size() != size_t(objects) || loaded.materials.size() != size_t(objects))
        state.SkipWithError("reading failed");
    }
    runs.push_back(Seconds(start));
  }
  state.counters["us_per_object"] = BestMean(runs) * 1e6 / objects;
  state.counters["load_us"] = BestMean(loads) * 1e6 / objects;
}
BENCHMARK(BM_ReadObjects)->Arg(250)->Arg(1000)->Arg(4000)->Arg(16000)->MinTime(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteObjects(benchmark::State &state) {
  int objects = int(state.range(0));
  std::string path = TempPath("written.3ds");
  std::vector<double> runs, puts, writes;
  for (auto _ : state) {
    auto start = Clock::now();
    Database3ds *db = NewMeshDatabase();
    PutBoxes(db, objects);
    puts.push_back(Seconds(start));
    auto written = Clock::now();
    if (!WriteFile(db, path)) state.SkipWithError("writing failed");
    writes.push_back(Seconds(written));
    ReleaseDatabase3ds(&db);
    runs.push_back(Seconds(start));
  }
  state.counters["us_per_object"] = BestMean(runs) * 1e6 / objects;
  state.counters["put_us"] = BestMean(puts) * 1e6 / objects;
  state.counters["write_us"] = BestMean(writes) * 1e6 / objects;
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}
BENCHMARK(BM_WriteObjects)->Arg(250)->Arg(1000)->Arg(4000)->Arg(16000)->MinTime(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  for (const std::string &path : MadeFiles()) std::filesystem::remove(path, ignored);
  return 0;
}
