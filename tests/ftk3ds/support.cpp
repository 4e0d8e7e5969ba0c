#include "support.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace ftk3ds_test {

void Ftk3dsTest::SetUp() {
  ClearErrList3ds();
  std::random_device random;
  dir_ = fs::temp_directory_path() / ("ftk3ds-test-" + std::to_string(random()));
  fs::create_directories(dir_);
}

void Ftk3dsTest::TearDown() {
  CloseAllFiles3ds();
  ClearErrList3ds();
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

std::string Ftk3dsTest::Path(const std::string &name) const { return (dir_ / name).string(); }

std::string Ftk3dsTest::Errors() {
  std::string text;
  for (const ErrRec3ds *e = GetErrList3ds(); e->code != NO_FTK_ERRORS; ++e)
    text += (text.empty() ? "" : " ") + std::to_string(e->code);
  return text;
}

bool Ftk3dsTest::HasError(ErrorCode3ds code) {
  for (const ErrRec3ds *e = GetErrList3ds(); e->code != NO_FTK_ERRORS; ++e)
    if (e->code == code) return true;
  return false;
}

std::string ReadBytes(const std::string &path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const std::string &path, const std::string &bytes) {
  std::ofstream out(fs::u8path(path), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool WriteDatabaseFile(const std::string &path, Database3ds *db) {
  File3ds *file = OpenFile3ds(path.c_str(), "w");
  if (!file) return false;
  WriteDatabase3ds(file, db);
  bool ok = !ftkerr3ds;
  CloseAllFiles3ds();
  return ok && !ftkerr3ds;
}

Database3ds *ReadDatabaseFile(const std::string &path) {
  File3ds *file = OpenFile3ds(path.c_str(), "r");
  if (!file) return nullptr;
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  ReadDatabase3ds(file, db);
  return db;
}

MeshObj3ds *MakeSampleMesh(const char *name) {
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, 4, 2, MeshTexVertArray3ds | MeshVertFlagArray3ds | MeshSmoothArray3ds);
  strcpy(mesh->name, name);
  for (uint16_t i = 0; i < 4; ++i) {
    mesh->vertices[i] = {i * 1.5f, -2.0f * i, 0.25f + i};
    mesh->texVertices[i] = {0.125f * i, 1.0f - 0.125f * i};
    mesh->vertexFlags[i] = static_cast<uint16_t>(0x100 + i);
  }
  mesh->faces[0] = {0, 1, 2, 3};
  mesh->faces[1] = {0, 2, 3, 6};
  mesh->smoothing[0] = 1;
  mesh->smoothing[1] = 0x80000002u;
  for (int i = 0; i < 12; ++i) mesh->matrix[i] = i % 4 == 0 ? 1.0f : 0.5f * i;
  mesh->meshColor = 9;
  mesh->useMapping = 1;
  mesh->mapType = 2;
  mesh->tileU = 3.0f;
  mesh->iconPosition = {1, 2, 3};
  mesh->iconMatrix[11] = 7.0f;
  mesh->cylinderHeight = 4.0f;
  mesh->useBoxMap = 1;
  for (int i = 0; i < 6; ++i) snprintf(mesh->boxMap[i], sizeof mesh->boxMap[i], "side%d.tga", i);
  mesh->hidden = 1;
  mesh->frozen = 1;
  mesh->matGroupCount = 2;
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  strcpy(mesh->matGroups[0].name, "brick");
  AllocMatGroupFaces3ds(mesh, 0, 1);
  mesh->matGroups[0].faces[0] = 1;
  strcpy(mesh->matGroups[1].name, "plaster wall 16c");
  AllocMatGroupFaces3ds(mesh, 1, 2);
  mesh->matGroups[1].faces[1] = 1;
  mesh->procedureSize = 3;
  AllocMeshArrays3ds(mesh, MeshProcArray3ds);
  memcpy(mesh->procedureData, "\x01\x00\x02", 3);
  strcpy(mesh->procedureName, "twist");
  mesh->useProcedure = 1;
  return mesh;
}

Material3ds *MakeSampleMaterial(const char *name) {
  Material3ds *mat = nullptr;
  InitMaterial3ds(&mat);
  strcpy(mat->name, name);
  mat->ambient = {0.2f, 0.4f, 0.6f};
  mat->diffuse = {1.0f, 0.5f, 0.0f};
  mat->specular = {0.7f, 0.7f, 0.7f};
  mat->shininess = 0.34f;
  mat->shinStrength = 0.64f;
  mat->reflectBlur = 0.1f;
  mat->transparency = 0.29f;
  mat->transFalloff = -0.25f;
  mat->selfIllum = 0.5f;
  mat->wireSize = 2.5f;
  mat->shading = 2;
  mat->twoSided = 1;
  mat->useFalloff = 1;
  mat->additive = 1;
  mat->faceMap = 1;
  mat->soften = 1;
  MapInfo3ds *maps[] = {&mat->texture, &mat->textureMask, &mat->texture2, &mat->texture2Mask,
                        &mat->opacity, &mat->opacityMask, &mat->bump, &mat->bumpMask,
                        &mat->specularMap, &mat->specularMask, &mat->shininessMap,
                        &mat->shininessMask, &mat->selfIllumMap, &mat->selfIllumMask,
                        &mat->reflect, &mat->reflectMask};
  for (int i = 0; i < 16; ++i) {
    MapInfo3ds *map = maps[i];
    snprintf(map->name, sizeof map->name, "map%02d.tga", i);
    map->percent = 0.01f * (10 + i);
    map->tiling = 1 + i % 3;
    map->ignoreAlpha = i % 2;
    map->filter = i % 4 == 1;
    map->mirror = i % 3 == 0;
    map->negative = i % 5 == 0;
    map->blur = 0.5f * i;
    map->uScale = i % 2 ? 2.0f : 1.0f;
    map->vOffset = i % 3 ? -0.5f : 0.0f;
    map->rotation = 15.0f * (i % 4);
    map->tint = i % 5;
    map->tint1 = {1, 0, 0};
    map->tint2 = {0, 0, 1};
    map->redTint = {0, 1, 1};
    if (maps[i] != &mat->reflect) {  // the reflection map has no parameter block
      map->dataSize = 4 + i;
      map->data = static_cast<uint8_t *>(calloc(map->dataSize, 1));
      for (uint32_t k = 0; k < map->dataSize; ++k) map->data[k] = static_cast<uint8_t>(i * 16 + k);
    }
  }
  mat->useAutoReflect = 1;
  mat->autoReflectFirstFrame = 1;
  mat->autoReflectSize = 256;
  mat->autoReflectStep = 3;
  return mat;
}

ObjectMotion3ds *MakeSampleMotion(const char *name, const char *parent) {
  ObjectMotion3ds *m = nullptr;
  InitObjectMotion3ds(&m, 2, 1, 1, 1, 2);
  strcpy(m->name, name);
  strcpy(m->parent, parent);
  m->flags1 = 0x4000;
  m->flags2 = 1;
  m->pivot = {1, 2, 3};
  m->morphSmooth = 30.0f;
  m->posFlags = 2;
  m->posKeys[0] = {0, 0x0005, 0.5f, 0, -1.0f, 0, 0};
  m->posKeys[1] = {10, 0x001F, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
  m->pos[0] = {1, 1, 1};
  m->pos[1] = {2, 3, 4};
  m->rotKeys[0].frame = 5;
  m->rot[0] = {1.5f, 0, 0, 1};
  m->scale[0] = {1, 1, 2};
  strcpy(m->morph[0].name, "other");
  m->hideKeys[0].frame = 3;
  m->hideKeys[1].frame = 8;
  return m;
}

Database3ds *MakeSampleDatabase() {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  MeshSettings3ds *settings = nullptr;
  InitMeshSettings3ds(&settings);
  settings->masterScale = 0.03937008f;
  PutMeshSettings3ds(db, settings);
  ReleaseMeshSettings3ds(&settings);
  KfSettings3ds *kf = nullptr;
  InitKfSettings3ds(&kf);
  kf->segmentUsed = 1;
  PutKfSettings3ds(db, kf);
  ReleaseKfSettings3ds(&kf);
  for (const char *name : {"wall00001", "floor"}) {
    MeshObj3ds *mesh = MakeSampleMesh(name);
    PutMesh3ds(db, mesh);
    ReleaseMeshObj3ds(&mesh);
  }
  Material3ds *mat = MakeSampleMaterial("wall00001");
  PutMaterial3ds(db, mat);
  ReleaseMaterial3ds(&mat);
  ObjectMotion3ds *dummy = nullptr;
  InitObjectMotion3ds(&dummy, 0, 0, 0, 0, 0);
  strcpy(dummy->name, "$$$DUMMY");
  strcpy(dummy->instance, "wall000");
  PutObjectMotion3ds(db, dummy);
  ReleaseObjectMotion3ds(&dummy);
  for (const char *name : {"wall00001", "floor"}) {
    ObjectMotion3ds *m = MakeSampleMotion(name, strcmp(name, "floor") ? "$$$DUMMY.wall000" : "");
    PutObjectMotion3ds(db, m);
    ReleaseObjectMotion3ds(&m);
  }
  return db;
}

std::string Layout(const Chunk3ds *chunk) {
  char tag[8];
  snprintf(tag, sizeof tag, "%04X", static_cast<unsigned>(chunk->tag));
  std::string text = tag;
  if (chunk->children) {
    text += '{';
    for (const Chunk3ds *c = chunk->children; c; c = c->next)
      text += Layout(c) + (c->next ? " " : "");
    text += '}';
  }
  return text;
}

Chunk3ds *Child(Chunk3ds *parent, std::initializer_list<uint32_t> path) {
  Chunk3ds *at = parent;
  for (uint32_t tag : path) {
    Chunk3ds *found = nullptr;
    for (Chunk3ds *c = at ? at->children : nullptr; c && !found; c = c->next)
      if (c->tag == tag) found = c;
    at = found;
  }
  return at;
}

std::string U8(uint8_t v) { return std::string(1, static_cast<char>(v)); }

std::string U16(uint16_t v) {
  char b[2];
  memcpy(b, &v, 2);
  return std::string(b, 2);
}

std::string U32(uint32_t v) {
  char b[4];
  memcpy(b, &v, 4);
  return std::string(b, 4);
}

std::string F32(float v) {
  char b[4];
  memcpy(b, &v, 4);
  return std::string(b, 4);
}

std::string Str(const std::string &text) { return text + std::string(1, '\0'); }

std::string Chunk(uint16_t tag, const std::string &data, std::initializer_list<std::string> children) {
  std::string body = data;
  for (const std::string &c : children) body += c;
  return U16(tag) + U32(static_cast<uint32_t>(body.size() + 6)) + body;
}

}  // namespace ftk3ds_test
