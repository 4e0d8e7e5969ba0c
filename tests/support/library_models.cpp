#include "library_models.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "ftk3ds/ftk3ds.h"

namespace {

void PutBox(Database3ds* db, const BoxMesh& box) {
  MeshObj3ds* mesh = nullptr;
  InitMeshObj3ds(&mesh, 8, 12, 0);
  std::snprintf(mesh->name, sizeof mesh->name, "%s", box.name.c_str());
  for (uint16_t i = 0; i < 8; ++i)
    mesh->vertices[i] = {(i & 1) ? box.high[0] : box.low[0], (i & 2) ? box.high[1] : box.low[1],
                         (i & 4) ? box.high[2] : box.low[2]};
  static const uint16_t kSides[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                        {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (int s = 0; s < 6; ++s) {
    const uint16_t* q = kSides[s];
    mesh->faces[2 * s] = {q[0], q[1], q[2], 0x07};
    mesh->faces[2 * s + 1] = {q[0], q[2], q[3], 0x07};
  }
  for (int i = 0; i < 12; ++i) mesh->matrix[i] = (i % 4 == 0 && i < 9) ? 1.0f : 0.0f;
  if (!box.material.empty()) {
    mesh->matGroupCount = 1;
    AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
    std::snprintf(mesh->matGroups[0].name, sizeof mesh->matGroups[0].name, "%s", box.material.c_str());
    AllocMatGroupFaces3ds(mesh, 0, 12);
    for (uint16_t f = 0; f < 12; ++f) mesh->matGroups[0].faces[f] = f;
  }
  PutMesh3ds(db, mesh);
  ReleaseMeshObj3ds(&mesh);
}

void PutTrack(Database3ds* db, const KeyTrack& track) {
  ObjectMotion3ds* motion = nullptr;
  InitObjectMotion3ds(&motion, static_cast<uint32_t>(track.positions.size()),
                      static_cast<uint32_t>(track.rotations.size()), 0, 0, 0);
  std::snprintf(motion->name, sizeof motion->name, "%s", track.name.c_str());
  std::snprintf(motion->instance, sizeof motion->instance, "%s", track.instance.c_str());
  std::snprintf(motion->parent, sizeof motion->parent, "%s", track.parent.c_str());
  for (size_t i = 0; i < track.positions.size(); ++i) {
    motion->posKeys[i].frame = static_cast<uint32_t>(i * 10);
    motion->pos[i] = {track.positions[i][0], track.positions[i][1], track.positions[i][2]};
  }
  for (size_t i = 0; i < track.rotations.size(); ++i) {
    motion->rotKeys[i].frame = static_cast<uint32_t>(i * 10);
    const auto& r = track.rotations[i];
    motion->rot[i] = {r[0], r[1], r[2], r[3]};
  }
  PutObjectMotion3ds(db, motion);
  ReleaseObjectMotion3ds(&motion);
}

MapInfo3ds* MapSlot(Material3ds* mat, int slot) {
  MapInfo3ds* slots[] = {&mat->texture, &mat->textureMask, &mat->texture2, &mat->texture2Mask,
                         &mat->opacity, &mat->opacityMask, &mat->bump, &mat->bumpMask};
  return slot >= 0 && slot < 8 ? slots[slot] : nullptr;
}

void PutMaterial(Database3ds* db, const MaterialSpec& spec) {
  Material3ds* mat = nullptr;
  InitMaterial3ds(&mat);
  std::snprintf(mat->name, sizeof mat->name, "%s", spec.name.c_str());
  mat->diffuse = {spec.diffuse[0], spec.diffuse[1], spec.diffuse[2]};
  mat->ambient = mat->diffuse;
  if (MapInfo3ds* map = MapSlot(mat, spec.mapSlot))
    std::snprintf(map->name, sizeof map->name, "%s", spec.map.c_str());
  PutMaterial3ds(db, mat);
  ReleaseMaterial3ds(&mat);
}

}  // namespace

bool WriteLibraryModel(const std::string& path, const LibraryModel& model) {
  ClearErrList3ds();
  File3ds* file = OpenFile3ds(path.c_str(), "w");
  if (!file) {
    ReleaseFileTable3ds();
    return false;
  }
  Database3ds* db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  MeshSettings3ds* settings = nullptr;
  InitMeshSettings3ds(&settings);
  settings->masterScale = model.masterScale;
  PutMeshSettings3ds(db, settings);
  ReleaseMeshSettings3ds(&settings);
  for (const MaterialSpec& material : model.materials) PutMaterial(db, material);
  for (const BoxMesh& box : model.meshes) PutBox(db, box);
  for (const KeyTrack& track : model.tracks) PutTrack(db, track);
  WriteDatabase3ds(file, db);
  const bool written = !ftkerr3ds;
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  ClearErrList3ds();
  return written;
}

std::string LibraryModelBytes(const std::string& path, const LibraryModel& model) {
  std::string bytes;
  if (WriteLibraryModel(path, model)) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::remove(path.c_str());
  return bytes;
}

LibraryModel CabinetModel() {
  LibraryModel model;
  model.meshes.push_back({"cabinet", {0, 0, 0}, {600, 800, 400}, "WOOD"});
  model.materials.push_back({"WOOD", {0.6f, 0.4f, 0.2f}, -1, ""});
  return model;
}

LibraryModel DoorModel() {
  LibraryModel model;
  model.meshes.push_back({"frame", {0, 0, 0}, {900, 100, 2100}, "WOOD"});
  model.meshes.push_back({"leaf", {50, 20, 0}, {850, 80, 2050}, "WOOD"});
  model.meshes.push_back({"HANDLE01", {700, -40, 1000}, {760, 140, 1040}, "WOOD"});
  model.materials.push_back({"WOOD", {0.6f, 0.4f, 0.2f}, -1, ""});
  model.tracks.push_back({"frame", "", "", {{0, 0, 0}}, {{0, 0, 0, 1}}});
  model.tracks.push_back({"leaf", "", "", {{50, 20, 0}}, {{0, 0, 0, 1}, {1.5707964f, 0, 0, 1}}});
  model.tracks.push_back({"HANDLE01", "", "leaf", {{700, -40, 1000}}, {{0, 0, 0, 1}}});
  return model;
}
