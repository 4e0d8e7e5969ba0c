// Seeds for the 3DS fuzz target, built from the test fixtures: a mesh file with meshes,
// materials and a node hierarchy, a material library and a file of motions with many keys.
// Each one reads back whole.
#include <cstring>
#include <functional>

#include "fuzz_seeds.h"
#include "support.h"

namespace ftk3ds_test {
namespace {

// A unit box of 8 vertices and 12 faces in two material groups.
MeshObj3ds *MakeBox(const char *name, float size) {
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, 8, 12, MeshTexVertArray3ds | MeshSmoothArray3ds);
  strcpy(mesh->name, name);
  for (uint16_t i = 0; i < 8; ++i) {
    mesh->vertices[i] = {i & 1 ? size : 0, i & 2 ? size : 0, i & 4 ? size : 0};
    mesh->texVertices[i] = {i & 1 ? 1.0f : 0, i & 2 ? 1.0f : 0};
  }
  const uint16_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (uint16_t q = 0; q < 6; ++q) {
    mesh->faces[2 * q] = {quads[q][0], quads[q][1], quads[q][2], 7};
    mesh->faces[2 * q + 1] = {quads[q][0], quads[q][2], quads[q][3], 7};
    mesh->smoothing[2 * q] = mesh->smoothing[2 * q + 1] = 1u << q;
  }
  for (int i = 0; i < 12; ++i) mesh->matrix[i] = i % 4 == 0 ? 1.0f : 0.0f;
  mesh->matGroupCount = 2;
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  const char *groups[2] = {"brick", "glass"};
  for (uint16_t g = 0; g < 2; ++g) {
    strcpy(mesh->matGroups[g].name, groups[g]);
    AllocMatGroupFaces3ds(mesh, g, 6);
    for (uint16_t k = 0; k < 6; ++k) mesh->matGroups[g].faces[k] = static_cast<uint16_t>(g * 6 + k);
  }
  return mesh;
}

// A motion with several keys on every track, each key with other spline values.
ObjectMotion3ds *MakeLongMotion(const char *name, const char *parent) {
  ObjectMotion3ds *m = nullptr;
  InitObjectMotion3ds(&m, 5, 4, 3, 0, 2);
  strcpy(m->name, name);
  strcpy(m->parent, parent);
  m->posFlags = 3;
  m->rotFlags = 2;
  for (uint32_t k = 0; k < 5; ++k) {
    m->posKeys[k] = {10 * k, static_cast<uint16_t>(k), 0.1f * k, -0.1f * k, 0.2f, 0.3f, 0.4f};
    m->pos[k] = {100.0f * k, -50.0f * k, 25.0f};
  }
  for (uint32_t k = 0; k < 4; ++k) {
    m->rotKeys[k].frame = 12 * k;
    m->rot[k] = {0.5f * k, 0, 0, 1};
  }
  for (uint32_t k = 0; k < 3; ++k) {
    m->scaleKeys[k].frame = 20 * k;
    m->scale[k] = {1.0f + k, 1, 1};
  }
  m->hideKeys[0].frame = 15;
  m->hideKeys[1].frame = 30;
  return m;
}

void Put(Database3ds *db, MeshObj3ds *mesh) {
  PutMesh3ds(db, mesh);
  ReleaseMeshObj3ds(&mesh);
}
void Put(Database3ds *db, Material3ds *mat) {
  PutMaterial3ds(db, mat);
  ReleaseMaterial3ds(&mat);
}
void Put(Database3ds *db, ObjectMotion3ds *motion) {
  PutObjectMotion3ds(db, motion);
  ReleaseObjectMotion3ds(&motion);
}

Database3ds *NewDatabase(uint32_t kind) {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, kind);
  return db;
}

struct Seed {
  const char *name;
  std::function<Database3ds *()> build;
};

const Seed kSeeds[] = {
    {"mesh_file.3ds", MakeSampleDatabase},
    {"material_library.3ds",
     [] {
       // Materials are put into a mesh file; a library takes their entries over.
       Database3ds *mesh = NewDatabase(MeshFile3ds);
       Put(mesh, MakeSampleMaterial("plaster wall 16c"));
       Material3ds *plain = nullptr;
       InitMaterial3ds(&plain);
       strcpy(plain->name, "plain");
       Put(mesh, plain);
       Database3ds *db = NewDatabase(MaterialFile3ds);
       for (uint32_t i = 0, n = GetMaterialCount3ds(mesh); i < n; ++i) {
         Chunk3ds *copy = nullptr;
         CopyChunk3ds(GetMaterialChunkByIndex3ds(mesh, i), &copy);
         AddChildChunk3ds(db->topChunk, copy);
       }
       MarkMaterialListDirty3ds(db);
       ReleaseDatabase3ds(&mesh);
       return db;
     }},
    {"motions.3ds",
     [] {
       Database3ds *db = NewDatabase(MeshFile3ds);
       KfSettings3ds *kf = nullptr;
       InitKfSettings3ds(&kf);
       kf->animLength = 60;
       kf->segmentUsed = 1;
       kf->segmentEnd = 40;
       PutKfSettings3ds(db, kf);
       ReleaseKfSettings3ds(&kf);
       for (const char *name : {"base", "arm", "hand"}) Put(db, MakeBox(name, 300));
       Put(db, MakeLongMotion("base", ""));
       Put(db, MakeLongMotion("arm", "base"));
       Put(db, MakeLongMotion("hand", "arm"));
       return db;
     }},
};

class FuzzSeeds : public Ftk3dsTest {};

TEST_F(FuzzSeeds, FilesReadBackWhole) {
  for (const Seed &seed : kSeeds) {
    SCOPED_TRACE(seed.name);
    Database3ds *db = seed.build();
    // A material library holds materials only.
    const bool library = GetDatabaseType3ds(db) == MaterialFile3ds;
    const uint32_t materials = GetMaterialCount3ds(db);
    const uint32_t meshes = library ? 0 : GetMeshCount3ds(db);
    const uint32_t motions = library ? 0 : GetObjectMotionCount3ds(db);
    EXPECT_GT(materials + meshes + motions, 0u);
    ASSERT_TRUE(WriteDatabaseFile(Path(seed.name), db)) << Errors();
    ReleaseDatabase3ds(&db);

    db = ReadDatabaseFile(Path(seed.name));
    ASSERT_TRUE(db);
    EXPECT_EQ(GetMaterialCount3ds(db), materials);
    Material3ds *mat = nullptr;
    for (uint32_t i = 0; i < materials; ++i) GetMaterialByIndex3ds(db, i, &mat);
    ReleaseMaterial3ds(&mat);
    if (!library) {
      EXPECT_EQ(GetMeshCount3ds(db), meshes);
      EXPECT_EQ(GetObjectMotionCount3ds(db), motions);
      ReadEveryRecord(db);
    }
    EXPECT_EQ(Errors(), "");
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();

    const std::string bytes = ReadBytes(Path(seed.name));
    EXPECT_TRUE(WriteFuzzSeed("ftk3ds", seed.name, bytes.data(), bytes.size()));
  }
}

}  // namespace
}  // namespace ftk3ds_test
