#include "support.h"

#include <cmath>
#include <string>

namespace ftk3ds_test {
namespace {

using Meshes = Ftk3dsTest;
using Materials = Ftk3dsTest;
using Keyframer = Ftk3dsTest;

const float kByte = 1.0f / 255.0f;

bool Same(const void *a, const void *b, size_t size) { return size == 0 || memcmp(a, b, size) == 0; }

void ExpectMeshEq(const MeshObj3ds &a, const MeshObj3ds &b) {
  EXPECT_STREQ(a.name, b.name);
  EXPECT_EQ(a.hidden, b.hidden);
  EXPECT_EQ(a.frozen, b.frozen);
  EXPECT_EQ(a.matte, b.matte);
  EXPECT_EQ(a.useProcedure, b.useProcedure);
  ASSERT_EQ(a.vertexCount, b.vertexCount);
  EXPECT_TRUE(Same(a.vertices, b.vertices, a.vertexCount * sizeof(Point3ds)));
  ASSERT_EQ(a.texVertexCount, b.texVertexCount);
  EXPECT_TRUE(Same(a.texVertices, b.texVertices, a.texVertexCount * sizeof(TexVert3ds)));
  ASSERT_EQ(a.vertexFlagCount, b.vertexFlagCount);
  EXPECT_TRUE(Same(a.vertexFlags, b.vertexFlags, a.vertexFlagCount * sizeof(uint16_t)));
  ASSERT_EQ(a.faceCount, b.faceCount);
  EXPECT_TRUE(Same(a.faces, b.faces, a.faceCount * sizeof(Face3ds)));
  ASSERT_EQ(a.smoothing != nullptr, b.smoothing != nullptr);
  if (a.smoothing) {
    EXPECT_TRUE(Same(a.smoothing, b.smoothing, a.faceCount * sizeof(uint32_t)));
  }
  EXPECT_TRUE(Same(a.matrix, b.matrix, sizeof a.matrix));
  EXPECT_EQ(a.meshColor, b.meshColor);
  EXPECT_EQ(a.useMapping, b.useMapping);
  EXPECT_EQ(a.mapType, b.mapType);
  EXPECT_EQ(a.tileU, b.tileU);
  EXPECT_EQ(a.tileV, b.tileV);
  EXPECT_TRUE(Same(&a.iconPosition, &b.iconPosition, sizeof a.iconPosition));
  EXPECT_EQ(a.iconScaling, b.iconScaling);
  EXPECT_TRUE(Same(a.iconMatrix, b.iconMatrix, sizeof a.iconMatrix));
  EXPECT_EQ(a.cylinderHeight, b.cylinderHeight);
  EXPECT_EQ(a.useBoxMap, b.useBoxMap);
  for (int i = 0; i < 6; ++i) EXPECT_STREQ(a.boxMap[i], b.boxMap[i]);
  ASSERT_EQ(a.matGroupCount, b.matGroupCount);
  for (uint16_t i = 0; i < a.matGroupCount; ++i) {
    EXPECT_STREQ(a.matGroups[i].name, b.matGroups[i].name);
    ASSERT_EQ(a.matGroups[i].faceCount, b.matGroups[i].faceCount);
    EXPECT_TRUE(Same(a.matGroups[i].faces, b.matGroups[i].faces, a.matGroups[i].faceCount * 2u));
  }
  EXPECT_STREQ(a.procedureName, b.procedureName);
  ASSERT_EQ(a.procedureSize, b.procedureSize);
  EXPECT_TRUE(Same(a.procedureData, b.procedureData, a.procedureSize));
}

void ExpectColorNear(const Color3ds &a, const Color3ds &b) {
  EXPECT_NEAR(a.r, b.r, kByte);
  EXPECT_NEAR(a.g, b.g, kByte);
  EXPECT_NEAR(a.b, b.b, kByte);
}

void ExpectMapEq(const MapInfo3ds &a, const MapInfo3ds &b, const char *slot) {
  SCOPED_TRACE(slot);
  EXPECT_STREQ(a.name, b.name);
  EXPECT_FLOAT_EQ(a.percent, b.percent);
  EXPECT_EQ(a.tiling, b.tiling);
  EXPECT_EQ(a.ignoreAlpha, b.ignoreAlpha);
  EXPECT_EQ(a.filter, b.filter);
  EXPECT_EQ(a.mirror, b.mirror);
  EXPECT_EQ(a.negative, b.negative);
  EXPECT_EQ(a.blur, b.blur);
  EXPECT_EQ(a.uScale, b.uScale);
  EXPECT_EQ(a.vScale, b.vScale);
  EXPECT_EQ(a.uOffset, b.uOffset);
  EXPECT_EQ(a.vOffset, b.vOffset);
  EXPECT_EQ(a.rotation, b.rotation);
  EXPECT_EQ(a.tint, b.tint);
  if (a.tint == 2 || a.tint == 3) {
    ExpectColorNear(a.tint1, b.tint1);
    ExpectColorNear(a.tint2, b.tint2);
  }
  if (a.tint == 4) ExpectColorNear(a.redTint, b.redTint);
  ASSERT_EQ(a.dataSize, b.dataSize);
  EXPECT_TRUE(Same(a.data, b.data, a.dataSize));
}

void ExpectMaterialEq(const Material3ds &a, const Material3ds &b) {
  EXPECT_STREQ(a.name, b.name);
  ExpectColorNear(a.ambient, b.ambient);
  ExpectColorNear(a.diffuse, b.diffuse);
  ExpectColorNear(a.specular, b.specular);
  EXPECT_FLOAT_EQ(a.shininess, b.shininess);
  EXPECT_FLOAT_EQ(a.shinStrength, b.shinStrength);
  EXPECT_FLOAT_EQ(a.reflectBlur, b.reflectBlur);
  EXPECT_FLOAT_EQ(a.transparency, b.transparency);
  EXPECT_FLOAT_EQ(a.transFalloff, b.transFalloff);
  EXPECT_FLOAT_EQ(a.selfIllum, b.selfIllum);
  EXPECT_EQ(a.wireSize, b.wireSize);
  EXPECT_EQ(a.shading, b.shading);
  EXPECT_EQ(a.twoSided, b.twoSided);
  EXPECT_EQ(a.useBlur, b.useBlur);
  EXPECT_EQ(a.useFalloff, b.useFalloff);
  EXPECT_EQ(a.selfIllumFlag, b.selfIllumFlag);
  EXPECT_EQ(a.additive, b.additive);
  EXPECT_EQ(a.wireAbs, b.wireAbs);
  EXPECT_EQ(a.faceMap, b.faceMap);
  EXPECT_EQ(a.soften, b.soften);
  const struct {
    MapInfo3ds Material3ds::*map;
    const char *name;
  } slots[] = {{&Material3ds::texture, "texture"},         {&Material3ds::textureMask, "texture mask"},
               {&Material3ds::texture2, "texture 2"},      {&Material3ds::texture2Mask, "texture 2 mask"},
               {&Material3ds::opacity, "opacity"},         {&Material3ds::opacityMask, "opacity mask"},
               {&Material3ds::bump, "bump"},               {&Material3ds::bumpMask, "bump mask"},
               {&Material3ds::specularMap, "specular"},    {&Material3ds::specularMask, "specular mask"},
               {&Material3ds::shininessMap, "shininess"},  {&Material3ds::shininessMask, "shininess mask"},
               {&Material3ds::selfIllumMap, "self-illum"}, {&Material3ds::selfIllumMask, "self-illum mask"},
               {&Material3ds::reflect, "reflection"},      {&Material3ds::reflectMask, "reflection mask"}};
  for (const auto &s : slots) ExpectMapEq(a.*s.map, b.*s.map, s.name);
  EXPECT_EQ(a.useAutoReflect, b.useAutoReflect);
  EXPECT_EQ(a.autoReflectFirstFrame, b.autoReflectFirstFrame);
  EXPECT_EQ(a.autoReflectFlat, b.autoReflectFlat);
  EXPECT_EQ(a.autoReflectSize, b.autoReflectSize);
  EXPECT_EQ(a.autoReflectStep, b.autoReflectStep);
}

void ExpectKeysEq(const KeyHeader3ds *a, const KeyHeader3ds *b, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) {
    EXPECT_EQ(a[i].frame, b[i].frame);
    EXPECT_EQ(a[i].splineFlags, b[i].splineFlags);
    const float expected[5] = {a[i].tension, a[i].continuity, a[i].bias, a[i].easeTo, a[i].easeFrom};
    const float actual[5] = {b[i].tension, b[i].continuity, b[i].bias, b[i].easeTo, b[i].easeFrom};
    for (int bit = 0; bit < 5; ++bit)
      EXPECT_EQ(a[i].splineFlags >> bit & 1 ? expected[bit] : 0.0f, actual[bit]) << i << " " << bit;
  }
}

void ExpectMotionEq(const ObjectMotion3ds &a, const ObjectMotion3ds &b) {
  EXPECT_STREQ(a.name, b.name);
  EXPECT_STREQ(a.parent, b.parent);
  EXPECT_STREQ(a.instance, b.instance);
  EXPECT_EQ(a.flags1, b.flags1);
  EXPECT_EQ(a.flags2, b.flags2);
  EXPECT_TRUE(Same(&a.pivot, &b.pivot, sizeof a.pivot));
  EXPECT_EQ(a.morphSmooth, b.morphSmooth);
  ASSERT_EQ(a.posKeyCount, b.posKeyCount);
  EXPECT_EQ(a.posFlags, b.posFlags);
  ExpectKeysEq(a.posKeys, b.posKeys, a.posKeyCount);
  EXPECT_TRUE(Same(a.pos, b.pos, a.posKeyCount * sizeof(Point3ds)));
  ASSERT_EQ(a.rotKeyCount, b.rotKeyCount);
  EXPECT_TRUE(Same(a.rot, b.rot, a.rotKeyCount * sizeof(Rotation3ds)));
  ASSERT_EQ(a.scaleKeyCount, b.scaleKeyCount);
  EXPECT_TRUE(Same(a.scale, b.scale, a.scaleKeyCount * sizeof(Point3ds)));
  ASSERT_EQ(a.morphKeyCount, b.morphKeyCount);
  for (uint32_t i = 0; i < a.morphKeyCount; ++i) EXPECT_STREQ(a.morph[i].name, b.morph[i].name);
  ASSERT_EQ(a.hideKeyCount, b.hideKeyCount);
  ExpectKeysEq(a.hideKeys, b.hideKeys, a.hideKeyCount);
}

// Writes the database, reads it back and returns it (files stay open for lazy reading).
Database3ds *RoundTrip(Ftk3dsTest &test, const std::string &path, Database3ds *db) {
  EXPECT_TRUE(WriteDatabaseFile(path, db)) << test.Errors();
  ReleaseDatabase3ds(&db);
  Database3ds *back = ReadDatabaseFile(path);
  EXPECT_EQ(ftkerr3ds, 0);
  return back;
}

Database3ds *NewMeshFile() {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  return db;
}

Chunk3ds *Object(Database3ds *db, const char *name) {
  Chunk3ds *object = nullptr;
  FindNamedObject3ds(db, name, &object);
  return object;
}

TEST_F(Meshes, RoundTrip) {
  Database3ds *db = MakeSampleDatabase();
  MeshObj3ds *expected = MakeSampleMesh("floor");
  db = RoundTrip(*this, Path("m.3ds"), db);
  ASSERT_EQ(GetMeshCount3ds(db), 2u);
  MeshObj3ds *mesh = nullptr;
  GetMeshByName3ds(db, "floor", &mesh);
  ASSERT_NE(mesh, nullptr);
  ExpectMeshEq(*expected, *mesh);
  GetMeshByIndex3ds(db, 0, &mesh);  // reuses the record
  EXPECT_STREQ(mesh->name, "wall00001");
  GetMeshByIndex3ds(db, 2, &mesh);  // past the end: untouched
  EXPECT_STREQ(mesh->name, "wall00001");
  EXPECT_EQ(ftkerr3ds, 0) << Errors();
  ReleaseMeshObj3ds(&mesh);
  ReleaseMeshObj3ds(&expected);
  EXPECT_EQ(expected, nullptr);
  ReleaseDatabase3ds(&db);
}

TEST_F(Meshes, Layout) {
  Database3ds *db = NewMeshFile();
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, 4, 2, 0);
  strcpy(mesh->name, "quad");
  mesh->faces[1] = {0, 2, 3, 0};
  mesh->matGroupCount = 1;
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  strcpy(mesh->matGroups[0].name, "quad");
  AllocMatGroupFaces3ds(mesh, 0, 2);
  mesh->matGroups[0].faces[1] = 1;
  PutMesh3ds(db, mesh);
  strcpy(mesh->name, "empty");
  mesh->faceCount = 0;
  PutMesh3ds(db, mesh);
  ReleaseMeshObj3ds(&mesh);
  db = RoundTrip(*this, Path("m.3ds"), db);

  EXPECT_EQ(Layout(Object(db, "quad")), "4000{4100{4110 4160 4165 4120{4130}}}");
  EXPECT_EQ(Layout(Object(db, "empty")), "4000{4100{4110 4160 4165}}");
  Chunk3ds *faces = Child(Object(db, "quad"), {0x4100, 0x4120});
  ASSERT_NE(faces, nullptr);
  EXPECT_EQ(faces->children->position, faces->position + 6 + 2 + 2 * 8);
  const std::string bytes = ReadBytes(Path("m.3ds"));
  EXPECT_EQ(bytes.substr(faces->children->position, faces->children->size),
            Chunk(0x4130, Str("quad") + U16(2) + U16(0) + U16(1)));
  ReleaseDatabase3ds(&db);
}

TEST_F(Meshes, PuttingAnExistingNameReplacesItInPlace) {
  Database3ds *db = NewMeshFile();
  MeshObj3ds *mesh = MakeSampleMesh("a");
  PutMesh3ds(db, mesh);
  strcpy(mesh->name, "b");
  PutMesh3ds(db, mesh);
  Chunk3ds *extra = nullptr;
  InitChunkAs3ds(&extra, 0x8000);
  AddChildChunk3ds(Child(Object(db, "a"), {0x4100}), extra);

  strcpy(mesh->name, "a");
  mesh->vertices[0].x = 99.0f;
  PutMesh3ds(db, mesh);
  db = RoundTrip(*this, Path("m.3ds"), db);
  EXPECT_EQ(Layout(Child(db->topChunk, {0x3D3D})), "3D3D{3D3E 4000{4100{4110 4140 4170 4111 4160 4165 4120{4130 4130 4150 "
                                                   "4190} 4181 4182 8000} 4010 4016 4015} 4000{4100{4110 4140 4170 4111 "
                                                   "4160 4165 4120{4130 4130 4150 4190} 4181 4182} 4010 4016 4015}}");
  MeshObj3ds *back = nullptr;
  GetMeshByIndex3ds(db, 0, &back);
  ASSERT_NE(back, nullptr);
  ExpectMeshEq(*mesh, *back);
  ReleaseMeshObj3ds(&back);
  ReleaseMeshObj3ds(&mesh);
  ReleaseDatabase3ds(&db);
}

TEST_F(Meshes, MaterialGroupFacesNeedAGroupOfAMeshWithFaces) {
  MeshObj3ds *faceless = nullptr;
  InitMeshObj3ds(&faceless, 3, 0, 0);
  faceless->matGroupCount = 1;
  AllocMeshArrays3ds(faceless, MeshMatGroupArray3ds);
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, 3, 1, 0);
  mesh->matGroupCount = 1;
  AllocMeshArrays3ds(mesh, MeshMatGroupArray3ds);
  const struct {
    MeshObj3ds *mesh;
    uint16_t group, count;
    ErrorCode3ds code;
  } cases[] = {
      {nullptr, 0, 1, ERR_INVALID_ARG},      {mesh, 0, 0, ERR_INVALID_ARG},
      {faceless, 0, 1, ERR_INVALID_DATA},    {mesh, 1, 1, ERR_INVALID_DATA},
      {mesh, 0, 1, NO_FTK_ERRORS},
  };
  for (const auto &c : cases) {
    ClearErrList3ds();
    AllocMatGroupFaces3ds(c.mesh, c.group, c.count);
    EXPECT_EQ(Errors(), c.code ? std::to_string(c.code) : "") << c.group << " " << c.count;
  }
  EXPECT_EQ(faceless->matGroups[0].faces, nullptr);
  EXPECT_EQ(mesh->matGroups[0].faceCount, 1);
  ReleaseMeshObj3ds(&faceless);
  ReleaseMeshObj3ds(&mesh);
}

// A smoothing chunk holds one value per face whatever its length says: missing values read
// as 0, extra ones are dropped, and writing the mesh again writes exactly one per face.
TEST_F(Meshes, SmoothingFollowsTheFaceCount) {
  for (uint32_t stored : {1u, 3u, 5u}) {
    std::string values;
    for (uint32_t i = 0; i < stored; ++i) values += U32(10 + i);
    std::string faces = U16(3);
    for (int i = 0; i < 3; ++i) faces += U16(0) + U16(1) + U16(2) + U16(0);
    WriteBytes(Path("in.3ds"),
               Chunk(0x4D4D, "",
                     {Chunk(0x3D3D, "",
                            {Chunk(0x4000, Str("s"),
                                   {Chunk(0x4100, "",
                                          {Chunk(0x4110, U16(3) + std::string(36, '\0')),
                                           Chunk(0x4120, faces, {Chunk(0x4150, values)})})})})}));
    ClearErrList3ds();
    Database3ds *db = ReadDatabaseFile(Path("in.3ds"));
    MeshObj3ds *mesh = nullptr;
    GetMeshByName3ds(db, "s", &mesh);
    ASSERT_NE(mesh, nullptr) << Errors();
    const uint32_t expected[3] = {10, stored > 1 ? 11u : 0u, stored > 2 ? 12u : 0u};
    EXPECT_TRUE(Same(mesh->smoothing, expected, sizeof expected)) << stored;
    ReleaseDatabase3ds(&db);

    Database3ds *out = NewMeshFile();
    PutMesh3ds(out, mesh);
    ReleaseMeshObj3ds(&mesh);
    out = RoundTrip(*this, Path("out.3ds"), out);
    Chunk3ds *smooth = Child(Object(out, "s"), {0x4100, 0x4120, 0x4150});
    ASSERT_NE(smooth, nullptr);
    EXPECT_EQ(smooth->size, 6u + 3 * 4);
    ReleaseDatabase3ds(&out);
    CloseAllFiles3ds();
  }
}

TEST_F(Meshes, Settings) {
  Database3ds *db = MakeSampleDatabase();
  db = RoundTrip(*this, Path("m.3ds"), db);
  std::string section = Layout(Child(db->topChunk, {0x3D3D}));
  EXPECT_NE(section.find("0100 1400 1420 1450 1460 1500 2100{0010 0013} 4000"), std::string::npos) << section;
  MeshSettings3ds *settings = nullptr;
  GetMeshSettings3ds(db, &settings);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->masterScale, 0.03937008f);
  EXPECT_EQ(settings->shadowMapSize, 512);
  EXPECT_EQ(settings->shadowFilter, 3.0f);
  EXPECT_FLOAT_EQ(settings->ambient.g, 100.0f / 255.0f);
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();

  WriteBytes(Path("amb.3ds"),
             Chunk(0x4D4D, "", {Chunk(0x3D3D, "", {Chunk(0x2100, "", {Chunk(0x0011, U8(255) + U8(0) + U8(0))})})}));
  db = ReadDatabaseFile(Path("amb.3ds"));
  GetMeshSettings3ds(db, &settings);
  EXPECT_EQ(settings->ambient.r, 1.0f);
  EXPECT_EQ(settings->ambient.g, 0.0f);
  EXPECT_EQ(settings->masterScale, 1.0f);
  ReleaseMeshSettings3ds(&settings);
  ReleaseDatabase3ds(&db);
}

TEST_F(Materials, RoundTrip) {
  Database3ds *db = MakeSampleDatabase();
  Material3ds *expected = MakeSampleMaterial("wall00001");
  db = RoundTrip(*this, Path("m.3ds"), db);
  ASSERT_EQ(GetMaterialCount3ds(db), 1u);
  Material3ds *mat = nullptr;
  GetMaterialByIndex3ds(db, 0, &mat);
  ASSERT_NE(mat, nullptr);
  ExpectMaterialEq(*expected, *mat);
  EXPECT_EQ(ftkerr3ds, 0) << Errors();

  // Read, written again and read: nothing is lost, the reflection map included.
  Database3ds *copy = NewMeshFile();
  PutMaterial3ds(copy, mat);
  copy = RoundTrip(*this, Path("copy.3ds"), copy);
  Material3ds *again = nullptr;
  GetMaterialByName3ds(copy, "wall00001", &again);
  ASSERT_NE(again, nullptr);
  ExpectMaterialEq(*expected, *again);
  ReleaseMaterial3ds(&again);
  ReleaseMaterial3ds(&mat);
  ReleaseMaterial3ds(&expected);
  ReleaseDatabase3ds(&copy);
  ReleaseDatabase3ds(&db);
}

TEST_F(Materials, Layout) {
  Database3ds *db = NewMeshFile();
  Material3ds *mat = nullptr;
  InitMaterial3ds(&mat);
  strcpy(mat->name, "plain");
  mat->diffuse = {1.0f, 0.5f, 0.0f};
  PutMaterial3ds(db, mat);
  strcpy(mat->name, "mapped");
  mat->transFalloff = -0.25f;
  strcpy(mat->texture.name, "wood.tga");
  mat->texture.uScale = 2.0f;
  mat->texture.tint = 4;
  mat->opacity.dataSize = 2;  // a parameter block in an unused slot is not written
  mat->opacity.data = static_cast<uint8_t *>(calloc(2, 1));
  PutMaterial3ds(db, mat);
  strcpy(mat->name, "plain");
  mat->shading = 1;
  PutMaterial3ds(db, mat);  // replaces the first entry in place
  ReleaseMaterial3ds(&mat);
  db = RoundTrip(*this, Path("m.3ds"), db);

  Chunk3ds *plain = GetMaterialChunkByIndex3ds(db, 0);
  Chunk3ds *mapped = GetMaterialChunkByIndex3ds(db, 1);
  ASSERT_NE(mapped, nullptr);
  const std::string common = "A000 A010{0011 0012} A020{0011 0012} A030{0011 0012} A040{0030} A041{0030} A050{0030} A052{0030}";
  EXPECT_EQ(Layout(mapped), "AFFF{" + common + " A08A A053{0030} A100 A084{0030} A087 A200{0030 A300 A351 A354 A356 A364 A366 A368}}");
  const std::string bytes = ReadBytes(Path("m.3ds"));
  Chunk3ds *diffuse = Child(mapped, {0xA020, 0x0011});
  EXPECT_EQ(bytes.substr(diffuse->position + 6, 3), std::string("\xFF\x7F\x00", 3));
  Chunk3ds *falloff = Child(mapped, {0xA052, 0x0030});
  EXPECT_EQ(bytes.substr(falloff->position, falloff->size), Chunk(0x0030, U16(25)));

  Material3ds *back = nullptr;
  GetMaterialByName3ds(db, "mapped", &back);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->transFalloff, -0.25f);
  EXPECT_EQ(back->transparency, 0.0f);
  GetMaterialByIndex3ds(db, 0, &back);
  EXPECT_STREQ(back->name, "plain");
  EXPECT_EQ(back->shading, 1u);
  ReleaseMaterial3ds(&back);
  EXPECT_NE(plain, nullptr);
  ReleaseDatabase3ds(&db);
}

TEST_F(Keyframer, ParentsAreWrittenAsNodeIds) {
  Database3ds *db = NewMeshFile();
  ObjectMotion3ds *m = nullptr;
  InitObjectMotion3ds(&m, 0, 0, 0, 0, 0);
  strcpy(m->name, "A");
  PutObjectMotion3ds(db, m);
  strcpy(m->name, "B");
  strcpy(m->parent, "A");
  PutObjectMotion3ds(db, m);
  ReleaseObjectMotion3ds(&m);
  ASSERT_TRUE(WriteDatabaseFile(Path("k.3ds"), db));
  ReleaseDatabase3ds(&db);

  const std::string pivot = Chunk(0xB013, F32(0) + F32(0) + F32(0));
  const std::string expected = Chunk(
      0xB000, "",
      {Chunk(0xB00A, U16(5) + Str("") + U32(30)),
       Chunk(0xB002, "", {Chunk(0xB030, U16(0)), Chunk(0xB010, Str("A") + U16(0) + U16(0) + U16(0xFFFF)), pivot}),
       Chunk(0xB002, "", {Chunk(0xB030, U16(1)), Chunk(0xB010, Str("B") + U16(0) + U16(0) + U16(0)), pivot})});
  const std::string bytes = ReadBytes(Path("k.3ds"));
  ASSERT_GE(bytes.size(), expected.size());
  EXPECT_EQ(bytes.substr(bytes.size() - expected.size()), expected);
}

TEST_F(Keyframer, DummyNodesInstancesAndTracks) {
  Database3ds *db = MakeSampleDatabase();
  db = RoundTrip(*this, Path("k.3ds"), db);
  ASSERT_EQ(GetObjectMotionCount3ds(db), 3u);
  // Only the dummy has a bounding box; the parent link read from the file is held in memory.
  Chunk3ds *kf = Child(db->topChunk, {0xB000});
  EXPECT_EQ(Layout(kf),
            "B000{B00A B008 B009 B002{B030 B010 B011 B014 B013} "
            "B002{B030 B010{80F0} B015 B013 B020 B021 B022 B026 B029} "
            "B002{B030 B010 B015 B013 B020 B021 B022 B026 B029}}");

  ObjectMotion3ds *m = nullptr;
  GetObjectMotionByName3ds(db, "$$$DUMMY.wall000", &m);
  ASSERT_NE(m, nullptr);
  EXPECT_STREQ(m->instance, "wall000");
  EXPECT_STREQ(m->parent, "");
  ObjectMotion3ds *expected = MakeSampleMotion("wall00001", "$$$DUMMY.wall000");
  GetObjectMotionByIndex3ds(db, 1, &m);
  ExpectMotionEq(*expected, *m);
  ReleaseObjectMotion3ds(&expected);
  expected = MakeSampleMotion("floor", "");
  GetObjectMotionByName3ds(db, "floor", &m);
  ExpectMotionEq(*expected, *m);
  EXPECT_EQ(ftkerr3ds, 0) << Errors();
  ReleaseObjectMotion3ds(&expected);
  ReleaseObjectMotion3ds(&m);
  ReleaseDatabase3ds(&db);
}

TEST_F(Keyframer, LongMorphNamesAreCutSoTheFileStaysReadable) {
  Database3ds *db = MakeSampleDatabase();
  ObjectMotion3ds *m = MakeSampleMotion("box", "");
  strcpy(m->morph[0].name, "twelve_chars");
  PutObjectMotion3ds(db, m);
  ReleaseObjectMotion3ds(&m);
  db = RoundTrip(*this, Path("k.3ds"), db);
  ASSERT_NE(db, nullptr) << Errors();
  GetObjectMotionByName3ds(db, "box", &m);
  ASSERT_NE(m, nullptr) << Errors();
  EXPECT_STREQ(m->morph[0].name, "twelve_ch");
  ReleaseObjectMotion3ds(&m);
  ReleaseDatabase3ds(&db);
}

TEST_F(Keyframer, SettingsAndTheUnusedSegment) {
  Database3ds *db = NewMeshFile();
  KfSettings3ds *kf = nullptr;
  InitKfSettings3ds(&kf);
  kf->segmentUsed = 1;
  kf->segmentBegin = 5;
  PutKfSettings3ds(db, kf);
  kf->segmentUsed = 0;
  kf->animLength = 90;
  kf->currentFrame = 12;
  PutKfSettings3ds(db, kf);
  ReleaseKfSettings3ds(&kf);
  ASSERT_TRUE(WriteDatabaseFile(Path("k.3ds"), db));
  ReleaseDatabase3ds(&db);
  const std::string expected =
      Chunk(0xB000, "", {Chunk(0xB00A, U16(5) + Str("") + U32(90)), Chunk(0xB009, U32(12))});
  const std::string bytes = ReadBytes(Path("k.3ds"));
  ASSERT_GE(bytes.size(), expected.size());
  EXPECT_EQ(bytes.substr(bytes.size() - expected.size()), expected);
}

}  // namespace
}  // namespace ftk3ds_test
