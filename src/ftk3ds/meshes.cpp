// Mesh records (named objects holding a triangle mesh) and the mesh settings.
#include "ftk3ds/internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

using namespace ftk3ds;

namespace {

void SetMeshDefaults(MeshObj3ds *mesh) {
  memset(mesh, 0, sizeof *mesh);
  mesh->tileU = 1.0f;
  mesh->tileV = 1.0f;
  mesh->iconScaling = 1.0f;
  mesh->iconMatrix[0] = 1.0f;
  mesh->iconMatrix[4] = 1.0f;
  mesh->planarWidth = 1.0f;
  mesh->planarHeight = 1.0f;
  mesh->cylinderHeight = 1.0f;
}

void FreeMatGroups(MeshObj3ds *mesh) {
  if (mesh->matGroups)
    for (uint16_t i = 0; i < mesh->matGroupCount; ++i) free(mesh->matGroups[i].faces);
  free(mesh->matGroups);
  mesh->matGroups = nullptr;
}

// Replaces *array with a new zeroed array of count items (null for 0).
template <typename T>
bool Reallocate(T **array, size_t count) {
  free(*array);
  *array = static_cast<T *>(AllocArray(count, sizeof(T)));
  return count == 0 || *array;
}

bool CheckMeshArgs(Database3ds *db, const void *record) {
  if (!db || !record) {
    PushErrList3ds(ERR_INVALID_ARG);
    return false;
  }
  return CheckMeshDatabase(db);
}

// Moves a smoothing array into the mesh, one value per face: missing values are 0 and
// values past the last face are dropped, so the array always matches the face count.
bool TakeSmoothing(MeshObj3ds *mesh, SmoothData *smooth) {
  free(mesh->smoothing);
  mesh->smoothing = static_cast<uint32_t *>(AllocArray(mesh->faceCount, sizeof(uint32_t)));
  if (mesh->faceCount && !mesh->smoothing) return false;
  uint32_t n = smooth->count < mesh->faceCount ? smooth->count : mesh->faceCount;
  if (n && smooth->groups) memcpy(mesh->smoothing, smooth->groups, n * sizeof(uint32_t));
  return true;
}

bool ReadFaceChildren(MeshObj3ds *mesh, Chunk3ds *faces) {
  uint32_t serial = ErrorSerial();
  uint32_t groups = 0;
  for (Chunk3ds *c = faces->children; c; c = c->next)
    if (c->tag == kMeshMatGroup) ++groups;
  if (groups > 0xFFFF) groups = 0xFFFF;
  FreeMatGroups(mesh);
  mesh->matGroupCount = 0;
  if (groups) {
    mesh->matGroups = static_cast<MatGroup3ds *>(AllocArray(groups, sizeof(MatGroup3ds)));
    if (!mesh->matGroups) return false;
    mesh->matGroupCount = static_cast<uint16_t>(groups);
  }
  uint32_t group = 0;
  for (Chunk3ds *c = faces->children; c; c = c->next) {
    if (c->tag != kMeshMatGroup && c->tag != kSmoothGroup && c->tag != kBoxMap) continue;
    void *data = ReadChunkData3ds(c);
    if (ErrorSerial() != serial) return false;
    if (!data) continue;
    if (c->tag == kMeshMatGroup) {
      if (group >= mesh->matGroupCount) continue;
      auto *d = static_cast<MatGroupData *>(data);
      MatGroup3ds &g = mesh->matGroups[group++];
      CopyName(g.name, sizeof g.name, d->name);
      g.faces = static_cast<uint16_t *>(HandOverBulk(d->faces, d->count, 2));
      g.faceCount = g.faces ? d->count : 0;
      d->faces = nullptr;
      d->count = 0;
    } else if (c->tag == kSmoothGroup) {
      if (!TakeSmoothing(mesh, static_cast<SmoothData *>(data))) return false;
    } else {
      auto *d = static_cast<BoxMapData *>(data);
      for (int i = 0; i < 6; ++i) CopyName(mesh->boxMap[i], sizeof mesh->boxMap[i], d->names[i]);
      mesh->useBoxMap = 1;
    }
  }
  return true;
}

template <typename T>
T *CopyArray(const T *from, size_t count) {
  T *to = static_cast<T *>(AllocBulk(count, sizeof(T)));
  if (to) memcpy(to, from, count * sizeof(T));
  return to;
}

bool AddFlag(Chunk3ds *object, uint32_t tag, uint8_t set) {
  return !set || AddDataChild(object, tag) != nullptr;
}

bool BuildMesh(Chunk3ds *object, const MeshObj3ds *mesh) {
  GiveRecordMemory(object->data);
  object->data = CopyRecordString(mesh->name, sizeof mesh->name - 1);
  if (!object->data) return false;
  Chunk3ds *tri = AddDataChild(object, kTriMesh);
  if (!tri) return false;
  if (mesh->vertexCount > 0 && mesh->vertices) {
    Chunk3ds *c = AddDataChild(tri, kPointArray);
    if (!c) return false;
    auto *d = static_cast<PointArrayData *>(c->data);
    if (!(d->points = CopyArray(mesh->vertices, mesh->vertexCount))) return false;
    d->count = mesh->vertexCount;
  }
  if (mesh->texVertexCount > 0 && mesh->texVertices) {
    Chunk3ds *c = AddDataChild(tri, kTexVerts);
    if (!c) return false;
    auto *d = static_cast<TexVertData *>(c->data);
    if (!(d->uv = CopyArray(mesh->texVertices, mesh->texVertexCount))) return false;
    d->count = mesh->texVertexCount;
  }
  if (mesh->useMapping) {
    Chunk3ds *c = AddDataChild(tri, kMeshTextureInfo);
    if (!c) return false;
    auto *d = static_cast<MappingData *>(c->data);
    d->mapType = mesh->mapType;
    d->tileU = mesh->tileU;
    d->tileV = mesh->tileV;
    d->iconPosition = mesh->iconPosition;
    d->iconScaling = mesh->iconScaling;
    memcpy(d->iconMatrix, mesh->iconMatrix, sizeof d->iconMatrix);
    d->planarWidth = mesh->planarWidth;
    d->planarHeight = mesh->planarHeight;
    d->cylinderHeight = mesh->cylinderHeight;
  }
  if (mesh->vertexFlagCount > 0 && mesh->vertexFlags) {
    Chunk3ds *c = AddDataChild(tri, kPointFlags);
    if (!c) return false;
    auto *d = static_cast<VertexFlagData *>(c->data);
    if (!(d->flags = CopyArray(mesh->vertexFlags, mesh->vertexFlagCount))) return false;
    d->count = mesh->vertexFlagCount;
  }
  Chunk3ds *matrix = AddDataChild(tri, kMeshMatrix);
  if (!matrix) return false;
  memcpy(matrix->data, mesh->matrix, sizeof mesh->matrix);
  Chunk3ds *color = AddDataChild(tri, kMeshColor);
  if (!color) return false;
  *static_cast<uint8_t *>(color->data) = mesh->meshColor;
  if (mesh->faceCount > 0 && mesh->faces) {
    Chunk3ds *faces = AddDataChild(tri, kFaceArray);
    if (!faces) return false;
    auto *d = static_cast<FaceArrayData *>(faces->data);
    if (!(d->faces = CopyArray(mesh->faces, mesh->faceCount))) return false;
    d->count = mesh->faceCount;
    for (uint16_t i = 0; mesh->matGroups && i < mesh->matGroupCount; ++i) {
      const MatGroup3ds &g = mesh->matGroups[i];
      Chunk3ds *c = AddDataChild(faces, kMeshMatGroup);
      if (!c) return false;
      auto *m = static_cast<MatGroupData *>(c->data);
      if (!(m->name = CopyRecordString(g.name, sizeof g.name - 1))) return false;
      if (g.faceCount > 0 && g.faces) {
        if (!(m->faces = CopyArray(g.faces, g.faceCount))) return false;
        m->count = g.faceCount;
      }
    }
    if (mesh->smoothing) {
      Chunk3ds *c = AddDataChild(faces, kSmoothGroup);
      if (!c) return false;
      auto *s = static_cast<SmoothData *>(c->data);
      if (!(s->groups = CopyArray(mesh->smoothing, mesh->faceCount))) return false;
      s->count = mesh->faceCount;
    }
    if (mesh->useBoxMap) {
      Chunk3ds *c = AddDataChild(faces, kBoxMap);
      if (!c) return false;
      auto *b = static_cast<BoxMapData *>(c->data);
      for (int i = 0; i < 6; ++i)
        if (!(b->names[i] = CopyRecordString(mesh->boxMap[i], sizeof mesh->boxMap[i] - 1))) return false;
    }
  }
  bool procedure = mesh->procedureSize > 0 && mesh->procedureData;
  if (procedure) {
    Chunk3ds *name = AddDataChild(tri, kProcName);
    if (!name) return false;
    GiveRecordMemory(name->data);
    if (!(name->data = CopyRecordString(mesh->procedureName, sizeof mesh->procedureName - 1))) return false;
    Chunk3ds *data = AddDataChild(tri, kProcData);
    if (!data) return false;
    auto *raw = static_cast<RawData *>(data->data);
    FreeBulk(raw->bytes, raw->size, 1);
    raw->size = 0;
    if (!(raw->bytes = CopyArray(mesh->procedureData, mesh->procedureSize))) return false;
    raw->size = mesh->procedureSize;
  }
  return AddFlag(object, kObjHidden, mesh->hidden) &&
         AddFlag(object, kObjLofterVisible, mesh->lofterVisible) &&
         AddFlag(object, kObjMatte, mesh->matte) && AddFlag(object, kObjNoCast, mesh->noCastShadows) &&
         AddFlag(object, kObjFast, mesh->fast) &&
         AddFlag(object, kObjNoReceive, mesh->noReceiveShadows) &&
         AddFlag(object, kObjFrozen, mesh->frozen) &&
         AddFlag(object, kObjProcedural, mesh->useProcedure == 1 && procedure);
}

template <typename T>
bool SetValue(Chunk3ds *section, uint32_t tag, T value) {
  Chunk3ds *c = nullptr;
  SetChildChunk3ds(section, tag, &c);
  T *data = c ? static_cast<T *>(InitChunkData3ds(c)) : nullptr;
  if (!data) {
    PushErrList3ds(kErrMakingChunk);
    return false;
  }
  *data = value;
  return true;
}

}  // namespace

extern "C" {

void InitMeshObj3ds(MeshObj3ds **mesh, uint16_t vertexCount, uint16_t faceCount, uint32_t flags) {
  if (!mesh) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!*mesh) {
    *mesh = static_cast<MeshObj3ds *>(calloc(1, sizeof(MeshObj3ds)));
    if (!*mesh) {
      PushErrList3ds(ERR_NO_MEM);
      return;
    }
  } else {
    ReleaseMeshArrays3ds(*mesh, MeshAllArrays3ds);
  }
  MeshObj3ds *m = *mesh;
  SetMeshDefaults(m);
  m->vertexCount = vertexCount;
  m->faceCount = faceCount;
  uint32_t bits = MeshVertexArray3ds | MeshFaceArray3ds;
  if (flags & MeshTexVertArray3ds) {
    m->texVertexCount = vertexCount;
    bits |= MeshTexVertArray3ds;
  }
  if (flags & MeshVertFlagArray3ds) {
    m->vertexFlagCount = vertexCount;
    bits |= MeshVertFlagArray3ds;
  }
  if (flags & MeshSmoothArray3ds) bits |= MeshSmoothArray3ds;
  AllocMeshArrays3ds(m, bits);
}

void AllocMeshArrays3ds(MeshObj3ds *mesh, uint32_t bits) {
  if (!mesh) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  // Arrays are made anew, zeroed, for the counts the record holds (a failure pushes
  // ERR_NO_MEM and leaves that array null).
  if (bits & MeshVertexArray3ds) Reallocate(&mesh->vertices, mesh->vertexCount);
  if (bits & MeshTexVertArray3ds) Reallocate(&mesh->texVertices, mesh->texVertexCount);
  if (bits & MeshFaceArray3ds) Reallocate(&mesh->faces, mesh->faceCount);
  if (bits & MeshSmoothArray3ds) Reallocate(&mesh->smoothing, mesh->faceCount);
  if (bits & MeshVertFlagArray3ds) Reallocate(&mesh->vertexFlags, mesh->vertexFlagCount);
  if (bits & MeshProcArray3ds) Reallocate(&mesh->procedureData, mesh->procedureSize);
  if (bits & MeshMatGroupArray3ds) {
    uint16_t count = mesh->matGroupCount;
    FreeMatGroups(mesh);
    mesh->matGroups = static_cast<MatGroup3ds *>(AllocArray(count, sizeof(MatGroup3ds)));
    if (count && !mesh->matGroups) mesh->matGroupCount = 0;
  }
}

void ReleaseMeshArrays3ds(MeshObj3ds *mesh, uint32_t bits) {
  if (!mesh) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (bits & MeshVertexArray3ds) {
    free(mesh->vertices);
    mesh->vertices = nullptr;
  }
  if (bits & MeshTexVertArray3ds) {
    free(mesh->texVertices);
    mesh->texVertices = nullptr;
  }
  if (bits & MeshFaceArray3ds) {
    free(mesh->faces);
    mesh->faces = nullptr;
  }
  if (bits & MeshMatGroupArray3ds) {
    FreeMatGroups(mesh);
    mesh->matGroupCount = 0;
  }
  if (bits & MeshSmoothArray3ds) {
    free(mesh->smoothing);
    mesh->smoothing = nullptr;
  }
  if (bits & MeshProcArray3ds) {
    free(mesh->procedureData);
    mesh->procedureData = nullptr;
  }
  if (bits & MeshVertFlagArray3ds) {
    free(mesh->vertexFlags);
    mesh->vertexFlags = nullptr;
  }
}

void AllocMatGroupFaces3ds(MeshObj3ds *mesh, uint16_t group, uint16_t count) {
  if (!mesh || count == 0) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (mesh->faceCount == 0 || !mesh->faces || !mesh->matGroups || group >= mesh->matGroupCount) {
    PushErrList3ds(ERR_INVALID_DATA);
    return;
  }
  MatGroup3ds &g = mesh->matGroups[group];
  g.faceCount = Reallocate(&g.faces, count) ? count : 0;
}

void ReleaseMeshObj3ds(MeshObj3ds **mesh) {
  if (!mesh || !*mesh) return;
  ReleaseMeshArrays3ds(*mesh, MeshAllArrays3ds);
  free(*mesh);
  *mesh = nullptr;
}

uint32_t GetMeshCount3ds(Database3ds *db) {
  if (!db) {
    PushErrList3ds(ERR_INVALID_ARG);
    return 0;
  }
  return MeshObjectCount(db);
}

void GetMeshByIndex3ds(Database3ds *db, uint32_t index, MeshObj3ds **mesh) {
  if (!CheckMeshArgs(db, mesh)) return;
  if (Chunk3ds *object = MeshObjectAt(db, index)) ReadMeshEntry3ds(object, mesh);
}

void GetMeshByName3ds(Database3ds *db, const char *name, MeshObj3ds **mesh) {
  if (!name) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!CheckMeshArgs(db, mesh)) return;
  Chunk3ds *object = nullptr;
  FindNamedObject3ds(db, name, &object);
  if (object && FirstChild(object, kTriMesh)) ReadMeshEntry3ds(object, mesh);
}

void ReadMeshEntry3ds(Chunk3ds *object, MeshObj3ds **mesh) {
  if (!object || !mesh) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!FirstChild(object, kTriMesh)) {
    PushErrList3ds(ERR_WRONG_OBJECT);
    return;
  }
  uint32_t serial = ErrorSerial();
  InitMeshObj3ds(mesh, 0, 0, 0);
  if (!*mesh) return;
  MeshObj3ds *m = *mesh;
  Chunk3ds *copy = nullptr;
  CopyChunk3ds(object, &copy);
  if (!copy) return;
  const char *name = static_cast<const char *>(ReadChunkData3ds(copy));
  CopyName(m->name, sizeof m->name, name);
  Chunk3ds *tri = FirstChild(copy, kTriMesh);
  for (Chunk3ds *c = tri->children; c && ErrorSerial() == serial; c = c->next) {
    switch (c->tag) {
      case kPointArray: case kPointFlags: case kTexVerts: case kMeshMatrix: case kMeshColor:
      case kMeshTextureInfo: case kProcName: case kProcData: case kFaceArray:
        break;
      default:
        continue;
    }
    void *data = ReadChunkData3ds(c);
    if (!data) continue;
    switch (c->tag) {
      case kPointArray: {
        auto *d = static_cast<PointArrayData *>(data);
        free(m->vertices);
        m->vertices = static_cast<Point3ds *>(HandOverBulk(d->points, d->count, sizeof(Point3ds)));
        m->vertexCount = m->vertices ? d->count : 0;
        d->points = nullptr;
        d->count = 0;
        break;
      }
      case kPointFlags: {
        auto *d = static_cast<VertexFlagData *>(data);
        free(m->vertexFlags);
        m->vertexFlags = static_cast<uint16_t *>(HandOverBulk(d->flags, d->count, 2));
        m->vertexFlagCount = m->vertexFlags ? d->count : 0;
        d->flags = nullptr;
        d->count = 0;
        break;
      }
      case kTexVerts: {
        auto *d = static_cast<TexVertData *>(data);
        free(m->texVertices);
        m->texVertices = static_cast<TexVert3ds *>(HandOverBulk(d->uv, d->count, sizeof(TexVert3ds)));
        m->texVertexCount = m->texVertices ? d->count : 0;
        d->uv = nullptr;
        d->count = 0;
        break;
      }
      case kMeshMatrix: memcpy(m->matrix, data, sizeof m->matrix); break;
      case kMeshColor: m->meshColor = *static_cast<uint8_t *>(data); break;
      case kMeshTextureInfo: {
        auto *d = static_cast<MappingData *>(data);
        m->useMapping = 1;
        m->mapType = d->mapType;
        m->tileU = d->tileU;
        m->tileV = d->tileV;
        m->iconPosition = d->iconPosition;
        m->iconScaling = d->iconScaling;
        memcpy(m->iconMatrix, d->iconMatrix, sizeof m->iconMatrix);
        m->planarWidth = d->planarWidth;
        m->planarHeight = d->planarHeight;
        m->cylinderHeight = d->cylinderHeight;
        break;
      }
      case kProcName: CopyName(m->procedureName, sizeof m->procedureName, static_cast<char *>(data)); break;
      case kProcData: {
        auto *d = static_cast<RawData *>(data);
        free(m->procedureData);
        m->procedureData = static_cast<uint8_t *>(HandOverBulk(d->bytes, d->size, 1));
        m->procedureSize = m->procedureData ? d->size : 0;
        d->bytes = nullptr;
        d->size = 0;
        break;
      }
      case kFaceArray: {
        auto *d = static_cast<FaceArrayData *>(data);
        free(m->faces);
        m->faces = static_cast<Face3ds *>(HandOverBulk(d->faces, d->count, sizeof(Face3ds)));
        m->faceCount = m->faces ? d->count : 0;
        d->faces = nullptr;
        d->count = 0;
        if (m->smoothing) {  // keep one value per face
          free(m->smoothing);
          m->smoothing = nullptr;
        }
        ReadFaceChildren(m, c);
        break;
      }
    }
  }
  for (Chunk3ds *c = copy->children; c; c = c->next) {
    switch (c->tag) {
      case kObjHidden: m->hidden = 1; break;
      case kObjLofterVisible: m->lofterVisible = 1; break;
      case kObjMatte: m->matte = 1; break;
      case kObjNoCast: m->noCastShadows = 1; break;
      case kObjFast: m->fast = 1; break;
      case kObjNoReceive: m->noReceiveShadows = 1; break;
      case kObjFrozen: m->frozen = 1; break;
      case kObjProcedural: m->useProcedure = 1; break;
      default: break;
    }
  }
  ReleaseChunk3ds(&copy);
}

void PutMesh3ds(Database3ds *db, const MeshObj3ds *mesh) {
  if (!CheckMeshArgs(db, mesh)) return;
  uint32_t serial = ErrorSerial();
  Chunk3ds *section = GetMeshSection(db);
  if (!section) return;
  char name[sizeof mesh->name];
  CopyName(name, sizeof name, mesh->name);
  Chunk3ds *object = nullptr;
  FindNamedObject3ds(db, name, &object);
  if (ErrorSerial() != serial) return;
  Chunk3ds *extra = nullptr;
  bool replaced = object != nullptr;
  if (replaced) {
    Chunk3ds *found = nullptr;
    FindChunk3ds(object, kXDataSection, &found);
    if (found) CopyChunk3ds(found, &extra);
    ClearChunk3ds(object);
    object->tag = kNamedObject;
  } else {
    InitChunkAs3ds(&object, kNamedObject);
    if (!object) {
      PushErrList3ds(kErrMakingChunk);
      return;
    }
    AddChildChunk3ds(section, object);
  }
  bool built = BuildMesh(object, mesh);
  if (built && extra) {
    AddChildChunk3ds(FirstChild(object, kTriMesh), extra);
    extra = nullptr;
  }
  ReleaseChunk3ds(&extra);
  // The list keeps an object replaced under its own name; a new one joins it.
  if (!built)
    MarkObjectListDirty3ds(db);
  else if (replaced)
    NoteObjectReplaced(db);
  else
    NoteObjectAdded(db, section, object);
}

void InitMeshSettings3ds(MeshSettings3ds **settings) {
  if (!settings) {
    PushErrList3ds(ERR_INVALID_ARG);
    return;
  }
  if (!*settings) {
    *settings = static_cast<MeshSettings3ds *>(calloc(1, sizeof(MeshSettings3ds)));
    if (!*settings) {
      PushErrList3ds(ERR_NO_MEM);
      return;
    }
  }
  const float ambient = 100.0f / 255.0f;
  **settings = MeshSettings3ds{1.0f, 1.0f, 1.0f, 512, 3.0f, {ambient, ambient, ambient}, {0, 0, 0}, 0};
}

void ReleaseMeshSettings3ds(MeshSettings3ds **settings) {
  if (!settings || !*settings) return;
  free(*settings);
  *settings = nullptr;
}

void GetMeshSettings3ds(Database3ds *db, MeshSettings3ds **settings) {
  if (!CheckMeshArgs(db, settings)) return;
  uint32_t serial = ErrorSerial();
  InitMeshSettings3ds(settings);
  if (!*settings) return;
  MeshSettings3ds *s = *settings;
  Chunk3ds *section = nullptr;
  FindChunk3ds(db->topChunk, kMeshSection, &section);
  if (!section) return;
  // One pass over the section: in a big file it holds thousands of objects and materials.
  static const uint32_t kTags[] = {kMasterScale, kShadowBias, kRayBias, kShadowMapSize, kShadowType,
                                   kShadowFilter, kConstructionPoint, kAmbientLight};
  const size_t kTagCount = sizeof kTags / sizeof kTags[0];
  Chunk3ds *found[kTagCount] = {};
  FirstChildren(section, kTags, kTagCount, found);
  auto read = [&](uint32_t tag) -> void * {
    Chunk3ds *c = found[std::find(kTags, kTags + kTagCount, tag) - kTags];
    return c ? ReadChunkData3ds(c) : nullptr;
  };
  if (auto *v = static_cast<float *>(read(kMasterScale))) s->masterScale = *v;
  if (auto *v = static_cast<float *>(read(kShadowBias))) s->shadowBias = *v;
  if (auto *v = static_cast<float *>(read(kRayBias))) s->rayBias = *v;
  if (auto *v = static_cast<uint16_t *>(read(kShadowMapSize))) s->shadowMapSize = *v;
  if (auto *v = static_cast<uint16_t *>(read(kShadowType))) s->shadowType = *v;
  if (auto *v = static_cast<float *>(read(kShadowFilter))) s->shadowFilter = *v;
  if (auto *v = static_cast<float *>(read(kConstructionPoint))) s->constructionPoint = {v[0], v[1], v[2]};
  if (ErrorSerial() != serial) return;
  Chunk3ds *ambient = found[kTagCount - 1];
  if (!ambient) return;
  auto color = [&](uint32_t floatTag, uint32_t byteTag) {
    Chunk3ds *c = nullptr;
    FindChunk3ds(ambient, floatTag, &c);
    if (c) {
      if (auto *v = static_cast<float *>(ReadChunkData3ds(c))) s->ambient = {v[0], v[1], v[2]};
      return true;
    }
    FindChunk3ds(ambient, byteTag, &c);
    if (c) {
      if (auto *v = static_cast<uint8_t *>(ReadChunkData3ds(c)))
        s->ambient = {v[0] / 255.0f, v[1] / 255.0f, v[2] / 255.0f};
      return true;
    }
    return false;
  };
  color(kColorF, kColor24);
  color(kLinColorF, kLinColor24);
}

void PutMeshSettings3ds(Database3ds *db, const MeshSettings3ds *settings) {
  if (!CheckMeshArgs(db, settings)) return;
  Chunk3ds *section = GetMeshSection(db);
  if (!section) return;
  Chunk3ds *version = nullptr;
  SetChildChunk3ds(section, kMeshVersion, &version);
  if (!version || !InitChunkData3ds(version)) {
    PushErrList3ds(kErrMakingChunk);
    return;
  }
  if (!SetValue(section, kMasterScale, settings->masterScale) ||
      !SetValue(section, kShadowBias, settings->shadowBias) ||
      !SetValue(section, kShadowMapSize, settings->shadowMapSize) ||
      !SetValue(section, kShadowFilter, settings->shadowFilter) ||
      !SetValue(section, kRayBias, settings->rayBias))
    return;
  // Standard shadows need no chunk, so files without one keep their bytes.
  if ((settings->shadowType != 0 || FirstChild(section, kShadowType)) &&
      !SetValue(section, kShadowType, settings->shadowType))
    return;
  Chunk3ds *ambient = nullptr;
  SetChildChunk3ds(section, kAmbientLight, &ambient);
  if (!ambient) {
    PushErrList3ds(kErrMakingChunk);
    return;
  }
  const float color[3] = {settings->ambient.r, settings->ambient.g, settings->ambient.b};
  for (uint32_t tag : {kColorF, kLinColorF}) {
    Chunk3ds *c = AddDataChild(ambient, tag);
    if (!c) return;
    memcpy(c->data, color, sizeof color);
  }
  Chunk3ds *point = nullptr;
  SetChildChunk3ds(section, kConstructionPoint, &point);
  float *v = point ? static_cast<float *>(InitChunkData3ds(point)) : nullptr;
  if (!v) {
    PushErrList3ds(kErrMakingChunk);
    return;
  }
  v[0] = settings->constructionPoint.x;
  v[1] = settings->constructionPoint.y;
  v[2] = settings->constructionPoint.z;
}

}  // extern "C"
