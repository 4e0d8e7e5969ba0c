#include "support.h"

#include "ftk3ds/internal.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace ftk3ds_test {
namespace {

using ChunkTree = Ftk3dsTest;
using DamagedFiles = Ftk3dsTest;
using NameLists = Ftk3dsTest;

TEST_F(ChunkTree, ChildrenGoInOrderOfTheirTags) {
  Chunk3ds *section = nullptr;
  InitChunkAs3ds(&section, 0x3D3D);
  Chunk3ds *chunks[6] = {};
  const uint32_t tags[6] = {0x4000, 0x1234, 0xAFFF, 0x4000, 0x3D3E, 0x0100};
  for (int i = 0; i < 6; ++i) {
    InitChunkAs3ds(&chunks[i], tags[i]);
    AddChildChunk3ds(section, chunks[i]);
  }
  EXPECT_EQ(Layout(section), "3D3D{3D3E AFFF 0100 4000 4000 1234}");
  Chunk3ds *object = nullptr;
  FindNextChunk3ds(section->children, 0x4000, &object);
  EXPECT_EQ(object, chunks[0]);  // equal tags keep the order in which they were added
  EXPECT_EQ(object->next, chunks[3]);

  Chunk3ds *version = nullptr;
  SetChildChunk3ds(section, 0x3D3E, &version);
  EXPECT_EQ(version, chunks[4]);  // reused in place
  EXPECT_EQ(Layout(section), "3D3D{3D3E AFFF 0100 4000 4000 1234}");
  ReleaseChunk3ds(&section);
  EXPECT_EQ(section, nullptr);
}

TEST_F(ChunkTree, WritingStampsTheRelease) {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  SetDatabaseRelease3ds(db, 0);
  ASSERT_TRUE(WriteDatabaseFile(Path("new.3ds"), db));
  ReleaseDatabase3ds(&db);

  const std::string expected =
      Chunk(0x4D4D, "",
            {Chunk(0x0002, U32(3)), Chunk(0x3D3D, "", {Chunk(0x3D3E, U32(3))}),
             Chunk(0xB000, "", {Chunk(0xB00A, U16(5) + Str("") + U32(30))})});
  EXPECT_EQ(ReadBytes(Path("new.3ds")), expected);

  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MaterialFile3ds);
  ASSERT_TRUE(WriteDatabaseFile(Path("lib.3ds"), db));
  ReleaseDatabase3ds(&db);
  EXPECT_EQ(ReadBytes(Path("lib.3ds")), Chunk(0x3DAA, ""));
}

TEST_F(ChunkTree, ReadingLeavesOtherFilesAlone) {
  WriteBytes(Path("other"), Chunk(0x1234, "abc"));
  Database3ds *db = ReadDatabaseFile(Path("other"));
  EXPECT_EQ(ftkerr3ds, 0);
  EXPECT_EQ(Layout(db->topChunk), "1234");
  EXPECT_EQ(GetDatabaseType3ds(db), 0u);
  ReleaseDatabase3ds(&db);

  File3ds *writer = OpenFile3ds(Path("w.3ds").c_str(), "w");
  InitDatabase3ds(&db);
  ReadDatabase3ds(writer, db);
  EXPECT_EQ(ftkerr3ds, 0);
  EXPECT_EQ(db->topChunk, nullptr);
  ReleaseDatabase3ds(&db);
}

// Chunks the catalogue does not know, extra data and keyframe nodes with parent links come
// back byte for byte; the parent names held in memory never reach the file.
TEST_F(ChunkTree, UnknownChunksRoundTripByteForByte) {
  const std::string header = Chunk(0xB00A, U16(5) + Str("scene.3ds") + U32(100));
  const std::string file = Chunk(
      0x4D4D, "",
      {Chunk(0x0002, U32(3)),
       Chunk(0x3D3D, "",
             {Chunk(0x3D3E, U32(3)), Chunk(0x1234, std::string("raw\0\x01\xFF", 6)),
              Chunk(0x4000, Str("box"),
                    {Chunk(0x4100, "",
                           {Chunk(0x4110, U16(1) + F32(1) + F32(2) + F32(3)), Chunk(0x4DDD, "in a mesh"),
                            Chunk(0x4160, std::string(48, '\x11'))}),
                     Chunk(0x8000, "",
                           {Chunk(0x8001, "", {Chunk(0x8002, Str("app")), Chunk(0x8003, Str("value"))})})}),
              Chunk(0x4000, Str("lamp"), {Chunk(0x4600, F32(0) + F32(5) + F32(9), {Chunk(0x4659, F32(2))})})}),
       Chunk(0xB000, "",
             {header, Chunk(0xB008, U32(0) + U32(100)),
              Chunk(0xB002, "",
                    {Chunk(0xB030, U16(0)), Chunk(0xB010, Str("box") + U16(0) + U16(0) + U16(0xFFFF)),
                     Chunk(0xB013, F32(0) + F32(0) + F32(0)), Chunk(0xBEEF, "odd")}),
              Chunk(0xB002, "",
                    {Chunk(0xB030, U16(1)), Chunk(0xB010, Str("lid") + U16(0) + U16(0) + U16(0)),
                     Chunk(0xB011, Str("top"))})}),
       Chunk(0x7777, std::string("\0\1\2", 3))});
  WriteBytes(Path("in.3ds"), file);

  Database3ds *db = ReadDatabaseFile(Path("in.3ds"));
  ASSERT_EQ(ftkerr3ds, 0) << Errors();
  ObjectMotion3ds *lid = nullptr;
  GetObjectMotionByName3ds(db, "lid.top", &lid);
  ASSERT_NE(lid, nullptr);
  EXPECT_STREQ(lid->parent, "box");
  ReleaseObjectMotion3ds(&lid);
  EXPECT_EQ(GetMeshCount3ds(db), 1u);  // the lamp holds no mesh

  ASSERT_TRUE(WriteDatabaseFile(Path("out.3ds"), db));
  ReleaseDatabase3ds(&db);
  EXPECT_EQ(ReadBytes(Path("out.3ds")), file);
}

// A cleared chunk (tag 0) holds raw data like any tag the catalogue does not know, and is
// never written.
TEST_F(ChunkTree, ClearedChunksAreReadAsRawDataAndNotWritten) {
  const std::string version = Chunk(0x0002, U32(3));
  const std::string section = Chunk(0x3D3D, "", {Chunk(0x3D3E, U32(3))});
  WriteBytes(Path("in.3ds"), Chunk(0x4D4D, "", {version, Chunk(0x0000, "not a chunk"), section}));
  Database3ds *db = ReadDatabaseFile(Path("in.3ds"));
  ASSERT_EQ(ftkerr3ds, 0) << Errors();
  EXPECT_EQ(Layout(db->topChunk), "4D4D{0002 0000 3D3D{3D3E}}");
  ASSERT_TRUE(WriteDatabaseFile(Path("out.3ds"), db));
  ReleaseDatabase3ds(&db);
  const std::string kf = Chunk(0xB000, "", {Chunk(0xB00A, U16(5) + Str("") + U32(30))});
  EXPECT_EQ(ReadBytes(Path("out.3ds")), Chunk(0x4D4D, "", {version, section, kf}));
}

// Chunks of other programs that hold children: 0x2D2D, 0x2D3D and 0x3DFF have no data of their
// own, 0xD000 has four bytes before its children. Each keeps its children as chunks and comes
// back byte for byte, its children written once.
TEST_F(ChunkTree, ForeignContainersKeepTheirChildren) {
  const std::string child = Chunk(0x0011, U8(1) + U8(2) + U8(3));
  const struct {
    uint16_t tag;
    std::string own;
  } cases[] = {{0x2D2D, ""}, {0x2D3D, ""}, {0x3DFF, ""}, {0xD000, U32(0x01020304)}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.tag);
    ClearErrList3ds();
    const std::string file =
        Chunk(0x4D4D, "",
              {Chunk(0x0002, U32(3)),
               Chunk(0x3D3D, "", {Chunk(0x3D3E, U32(3)), Chunk(c.tag, c.own, {child, child})}),
               Chunk(0xB000, "", {Chunk(0xB00A, U16(5) + Str("") + U32(30))})});
    WriteBytes(Path("in.3ds"), file);
    Database3ds *db = ReadDatabaseFile(Path("in.3ds"));
    ASSERT_EQ(ftkerr3ds, 0) << Errors();
    Chunk3ds *container = Child(db->topChunk, {0x3D3D, c.tag});
    ASSERT_NE(container, nullptr);
    char tag[8];
    snprintf(tag, sizeof tag, "%04X", c.tag);
    EXPECT_EQ(Layout(container), std::string(tag) + "{0011 0011}");
    ASSERT_TRUE(WriteDatabaseFile(Path("out.3ds"), db));
    ReleaseDatabase3ds(&db);
    EXPECT_EQ(ReadBytes(Path("out.3ds")), file);
  }
}

// The viewport name is an 11-byte field: a longer name is cut to ten characters and its
// terminator, so that the file reads back.
TEST_F(ChunkTree, ViewportNamesFitTheirField) {
  const struct {
    const char *name;
    std::string field;
    const char *readBack;
  } cases[] = {
      {"top", Str("top") + std::string(7, '\0'), "top"},
      {"0123456789", Str("0123456789"), "0123456789"},
      {"0123456789AB", Str("0123456789"), "0123456789"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    ClearErrList3ds();
    Database3ds *db = nullptr;
    InitDatabase3ds(&db);
    CreateNewDatabase3ds(db, MeshFile3ds);
    Chunk3ds *layout = nullptr;
    InitChunkAs3ds(&layout, 0x7001);
    InitChunkData3ds(layout);
    AddChildChunk3ds(Child(db->topChunk, {0x3D3D}), layout);
    Chunk3ds *view = nullptr;
    auto *data = static_cast<ftk3ds::ViewportData *>(InitChunkAndData3ds(&view, 0x7011));
    ASSERT_NE(data, nullptr);
    data->values[0] = 7;
    ftk3ds::GiveRecordMemory(data->name);
    data->name = ftk3ds::CopyRecordString(c.name, strlen(c.name));
    AddChildChunk3ds(layout, view);
    ASSERT_TRUE(WriteDatabaseFile(Path("view.3ds"), db));
    ReleaseDatabase3ds(&db);

    const std::string own = U16(7) + std::string(12, '\0') + std::string(24, '\0') + c.field;
    EXPECT_NE(ReadBytes(Path("view.3ds")).find(Chunk(0x7011, own)), std::string::npos);
    db = ReadDatabaseFile(Path("view.3ds"));
    Chunk3ds *back = Child(db->topChunk, {0x3D3D, 0x7001, 0x7011});
    ASSERT_NE(back, nullptr);
    auto *read = static_cast<ftk3ds::ViewportData *>(ReadChunkData3ds(back));
    EXPECT_EQ(ftkerr3ds, 0) << Errors();
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->name, c.readBack);
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();
  }
}

// A failure while reading the tree is reported from the innermost operation out: the file
// read, the tree walk (once or more), then the database.
// Chunk nodes of every kind and record memory of every size from the pools (and from malloc
// past them): blocks taken in turns from different pools and rows, given back in part, and taken
// again after every pool was emptied, must never overlap or move.
TEST_F(ChunkTree, PooledMemoryKeepsEveryBlockApart) {
  struct Taken {
    uint8_t *bytes;
    size_t size;
    uint8_t fill;
    bool node;
  };
  std::vector<Taken> taken;
  auto keep = [&](uint8_t *bytes, size_t size, bool node) {
    uint8_t fill = static_cast<uint8_t>(taken.size() * 37 + 1);
    memset(bytes, fill, size);
    taken.push_back({bytes, size, fill, node});
  };
  const uint32_t kinds[] = {0x3D3D, 0xA010, 0x4110, 0xB020};
  auto take = [&](size_t size) {
    auto *node = reinterpret_cast<uint8_t *>(ftk3ds::AllocChunkNode(kinds[taken.size() / 2 % 4]));
    ASSERT_NE(node, nullptr);
    keep(node, sizeof(Chunk3ds), true);
    auto *bytes = static_cast<uint8_t *>(ftk3ds::TakeRecordMemory(size));
    ASSERT_NE(bytes, nullptr) << size;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bytes) % 8, 0u) << size;
    keep(bytes, size, false);
  };
  auto give = [](const Taken &t) {
    if (t.node)
      ftk3ds::FreeChunkNode(reinterpret_cast<Chunk3ds *>(t.bytes));
    else
      ftk3ds::GiveRecordMemory(t.bytes);
  };
  auto intact = [&] {
    for (const Taken &t : taken)
      for (size_t i = 0; i < t.size; ++i)
        if (t.bytes[i] != t.fill)
          return ::testing::AssertionFailure() << (t.node ? "node of " : "block of ") << t.size << " bytes changed";
    return ::testing::AssertionSuccess();
  };
  for (int pass = 1; pass <= 2; ++pass) {  // the second takes more than the first gave back
    for (int round = 0; round < 40 * pass; ++round)
      for (size_t size = 1; size <= 300; size += 7) take(size);
    EXPECT_TRUE(intact());
    std::vector<Taken> kept;
    for (size_t i = 0; i < taken.size(); ++i) {
      if (i % 3 == 0)
        give(taken[i]);
      else
        kept.push_back(taken[i]);
    }
    taken = kept;
    for (size_t size = 300; size >= 1 && size <= 300; size -= 3) take(size);
    EXPECT_TRUE(intact());
    for (const Taken &t : taken) give(t);
    taken.clear();
  }
}

TEST_F(ChunkTree, AFailedReadIsReportedInLayers) {
  const struct {
    const char *what;
    std::string bytes;
  } cases[] = {
      {"object name without its terminator",
       Chunk(0x4D4D, "", {Chunk(0x3D3D, "", {Chunk(0x4000, "abcdefghijklmnop")})})},
      {"map name beyond the skip bound",
       Chunk(0x4D4D, "",
             {Chunk(0x3D3D, "",
                    {Chunk(0xAFFF, "", {Chunk(0xA200, "", {Chunk(0xA300, Str("longname.tiff"))})})})})},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    ClearErrList3ds();
    WriteBytes(Path("bad.3ds"), c.bytes);
    Database3ds *db = ReadDatabaseFile(Path("bad.3ds"));
    std::vector<ErrorCode3ds> codes;
    for (const ErrRec3ds *e = GetErrList3ds(); e->code != NO_FTK_ERRORS; ++e) codes.push_back(e->code);
    ASSERT_GE(codes.size(), 3u) << Errors();
    EXPECT_EQ(codes.front(), ERR_READING_FILE) << Errors();
    EXPECT_EQ(codes.back(), ERR_CREATING_DATABASE) << Errors();
    for (size_t i = 1; i + 1 < codes.size(); ++i) EXPECT_EQ(codes[i], ERR_READING_DATABASE) << Errors();
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();
  }
}

TEST_F(ChunkTree, NodesWithoutIdsAreNumberedInOrder) {
  auto node = [](const char *name, uint16_t parent) {
    return Chunk(0xB002, "", {Chunk(0xB010, Str(name) + U16(0) + U16(0) + U16(parent))});
  };
  WriteBytes(Path("in.3ds"),
             Chunk(0x4D4D, "", {Chunk(0xB000, "", {node("a", 0xFFFF), node("b", 0), node("c", 1)})}));
  Database3ds *db = ReadDatabaseFile(Path("in.3ds"));
  ASSERT_EQ(ftkerr3ds, 0) << Errors();
  ObjectMotion3ds *m = nullptr;
  GetObjectMotionByName3ds(db, "c", &m);
  ASSERT_NE(m, nullptr);
  EXPECT_STREQ(m->parent, "b");
  ReleaseObjectMotion3ds(&m);
  ReleaseDatabase3ds(&db);
}

// Where a lookup lands in a list, as its position ("-" when it finds nothing).
std::string At(const NameList3ds *list, const Chunk3ds *found) {
  for (uint32_t i = 0; list && i < list->count; ++i)
    if (list->list[i].chunk == found) return std::to_string(i);
  return "-";
}

// What the name lists give: every entry's name and where a lookup by that name lands, the
// meshes and the object nodes by index.
std::string Lists(Database3ds *db) {
  std::string text = "objects:";
  UpdateNamedObjectList3ds(db);
  for (uint32_t i = 0; db->objects && i < db->objects->count; ++i) {
    Chunk3ds *found = nullptr;
    FindNamedObject3ds(db, db->objects->list[i].name, &found);
    text += std::string(" ") + db->objects->list[i].name + "@" + At(db->objects, found);
  }
  text += "\nmaterials:";
  for (uint32_t i = 0, n = GetMaterialCount3ds(db); i < n; ++i) {
    Chunk3ds *found = nullptr;
    FindMaterialByName3ds(db, db->materials->list[i].name, &found);
    text += std::string(" ") + db->materials->list[i].name + "@" + At(db->materials, found);
  }
  text += "\nnodes:";
  UpdateNodeList3ds(db);
  for (uint32_t i = 0; db->nodes && i < db->nodes->count; ++i) {
    const char *name = db->nodes->list[i].name;
    text += std::string(" ") + (name ? name : "-") + "@" +
            At(db->nodes, name ? FindNodeByName3ds(db, name, 0xB002) : nullptr);
  }
  text += "\nmeshes:";
  MeshObj3ds *mesh = nullptr;
  for (uint32_t i = 0, n = GetMeshCount3ds(db); i < n; ++i) {
    GetMeshByIndex3ds(db, i, &mesh);
    text += std::string(" ") + mesh->name;
  }
  ReleaseMeshObj3ds(&mesh);
  text += "\nobject nodes:";
  for (uint32_t i = 0, n = GetObjectMotionCount3ds(db); i < n; ++i)
    text += " " + At(db->nodes, FindNodeByIndex3ds(db, i, 0xB002));
  return text;
}

// The tags of a chunk's children.
std::string ChildTags(const Chunk3ds *chunk) {
  std::string text;
  char tag[8];
  for (const Chunk3ds *c = chunk ? chunk->children : nullptr; c; c = c->next) {
    snprintf(tag, sizeof tag, "%04X", static_cast<unsigned>(c->tag));
    text += (text.empty() ? "" : " ") + std::string(tag);
  }
  return text;
}

// The lists kept up to date while records are put, against lists built afresh from the tree.
void ExpectListsCurrent(Database3ds *db, const char *step) {
  std::string kept = Lists(db);
  MarkObjectListDirty3ds(db);
  MarkMaterialListDirty3ds(db);
  MarkNodeListDirty3ds(db);
  EXPECT_EQ(kept, Lists(db)) << step;
  EXPECT_EQ(ftkerr3ds, 0) << step << ": " << Ftk3dsTest::Errors();
}

// Records put one after another join the lists at their place in the tree: after the last of
// their kind, or, where the file holds them in another order, where the tree puts them.
TEST_F(NameLists, FollowTheTreeWhileRecordsArePut) {
  auto node = [](const char *name, uint16_t tag) {
    return Chunk(tag, "", {Chunk(0xB010, Str(name) + U16(0) + U16(0) + U16(0xFFFF))});
  };
  const std::string mesh = Chunk(0x4100, "", {Chunk(0x4110, U16(1) + F32(1) + F32(2) + F32(3))});
  WriteBytes(Path("odd.3ds"),
             Chunk(0x4D4D, "",
                   {Chunk(0x0002, U32(3)),
                    Chunk(0x3D3D, "",
                          {Chunk(0x3D3E, U32(3)), Chunk(0x0100, F32(1)), Chunk(0x1234, "raw"),
                           Chunk(0x4000, Str("old"), {mesh}), Chunk(0x4000, Str("lamp"))}),
                    Chunk(0xB000, "", {Chunk(0xB00A, U16(5) + Str("") + U32(30)), node("n1", 0xB002),
                                       node("amb", 0xB001)})}));
  Database3ds *db = ReadDatabaseFile(Path("odd.3ds"));
  ASSERT_EQ(ftkerr3ds, 0) << Errors();
  ExpectListsCurrent(db, "read");

  char name[16];
  for (int i = 0; i < 20; ++i) {
    snprintf(name, sizeof name, "m%02d", i);
    MeshObj3ds *m = MakeSampleMesh(name);
    PutMesh3ds(db, m);
    ReleaseMeshObj3ds(&m);
    Material3ds *mat = nullptr;
    InitMaterial3ds(&mat);
    strcpy(mat->name, name);
    PutMaterial3ds(db, mat);
    ReleaseMaterial3ds(&mat);
    ObjectMotion3ds *motion = MakeSampleMotion(name, i ? "m00" : "");
    PutObjectMotion3ds(db, motion);
    ReleaseObjectMotion3ds(&motion);
    if (i % 7 == 0) ExpectListsCurrent(db, name);
  }
  ExpectListsCurrent(db, "put");
  // A mesh put under the name of an object without one turns that object into a mesh.
  MeshObj3ds *lamp = MakeSampleMesh("lamp");
  PutMesh3ds(db, lamp);
  ReleaseMeshObj3ds(&lamp);
  ExpectListsCurrent(db, "replaced");
  std::string expected = "3D3E";
  for (int i = 0; i < 20; ++i) expected += " AFFF";
  expected += " 0100";
  for (int i = 0; i < 20; ++i) expected += " 4000";
  expected += " 1234 4000 4000";
  EXPECT_EQ(ChildTags(Child(db->topChunk, {0x3D3D})), expected);

  // The section made anew: the objects go where the tree now puts them.
  Chunk3ds *section = nullptr;
  SetChildChunk3ds(db->topChunk, 0x3D3D, &section);
  MarkObjectListDirty3ds(db);
  MarkMaterialListDirty3ds(db);
  for (int i = 0; i < 20; ++i) {
    snprintf(name, sizeof name, "again%02d", i);
    MeshObj3ds *m = MakeSampleMesh(name);
    PutMesh3ds(db, m);
    ReleaseMeshObj3ds(&m);
  }
  ExpectListsCurrent(db, "section made anew");
  ReleaseDatabase3ds(&db);
}

// A small file that still holds every kind of record: settings, a mesh with all its arrays,
// a material with a map and a parameter block, a dummy node and an object node with tracks.
Database3ds *MakeSmallDatabase() {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  MeshSettings3ds *settings = nullptr;
  InitMeshSettings3ds(&settings);
  PutMeshSettings3ds(db, settings);
  ReleaseMeshSettings3ds(&settings);
  MeshObj3ds *mesh = MakeSampleMesh("box");
  PutMesh3ds(db, mesh);
  ReleaseMeshObj3ds(&mesh);
  Material3ds *mat = nullptr;
  InitMaterial3ds(&mat);
  strcpy(mat->name, "box");
  strcpy(mat->texture.name, "box.tga");
  mat->texture.uScale = 2.0f;
  mat->texture.dataSize = 2;
  mat->texture.data = static_cast<uint8_t *>(calloc(2, 1));
  mat->transFalloff = -0.5f;
  PutMaterial3ds(db, mat);
  ReleaseMaterial3ds(&mat);
  ObjectMotion3ds *dummy = nullptr;
  InitObjectMotion3ds(&dummy, 0, 0, 0, 0, 0);
  strcpy(dummy->name, "$$$DUMMY");
  strcpy(dummy->instance, "box");
  PutObjectMotion3ds(db, dummy);
  ReleaseObjectMotion3ds(&dummy);
  ObjectMotion3ds *motion = MakeSampleMotion("box", "$$$DUMMY.box");
  PutObjectMotion3ds(db, motion);
  ReleaseObjectMotion3ds(&motion);
  return db;
}

// A small valid file, cut short at every length and with each byte flipped in turn, reads
// under the sanitizers without a crash; every cut file reports an error.
TEST_F(DamagedFiles, EveryPrefixAndEveryFlippedByte) {
  Database3ds *made = MakeSmallDatabase();
  ASSERT_TRUE(WriteDatabaseFile(Path("sample.3ds"), made));
  ReleaseDatabase3ds(&made);
  const std::string sample = ReadBytes(Path("sample.3ds"));
  ASSERT_GT(sample.size(), 500u);
  ASSERT_LT(sample.size(), 1500u);

  // Reads a file and every record in it, then writes a copy of what was read. A damaged file
  // either reports an error, or reads cleanly and its copy reads cleanly again.
  struct Outcome {
    bool reported = false;
    bool copied = false;
  };
  auto attempt = [&](const std::string &bytes) {
    Outcome outcome;
    ClearErrList3ds();
    WriteBytes(Path("damaged.3ds"), bytes);
    Database3ds *db = ReadDatabaseFile(Path("damaged.3ds"));
    ReadEveryRecord(db);
    outcome.reported = ftkerr3ds != 0;
    File3ds *out = OpenFile3ds(Path("copy.3ds").c_str(), "w");
    if (out) WriteDatabase3ds(out, db);
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();
    if (!outcome.reported && !ftkerr3ds) {
      Database3ds *copy = ReadDatabaseFile(Path("copy.3ds"));
      ReadEveryRecord(copy);
      outcome.copied = copy && copy->topChunk && !ftkerr3ds;
      ReleaseDatabase3ds(&copy);
      CloseAllFiles3ds();
    }
    return outcome;
  };
  for (size_t n = 0; n < sample.size(); ++n) EXPECT_TRUE(attempt(sample.substr(0, n)).reported) << n;
  for (size_t i = 0; i < sample.size(); ++i) {
    std::string bytes = sample;
    bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
    Outcome outcome = attempt(bytes);
    EXPECT_TRUE(outcome.reported || outcome.copied) << i << ": " << Errors();
  }
  Outcome whole = attempt(sample);
  EXPECT_FALSE(whole.reported) << Errors();
  EXPECT_TRUE(whole.copied);
}

TEST_F(DamagedFiles, HostileFieldsAreRefused) {
  auto mesh = [](const std::string &name, const std::string &tri) {
    return Chunk(0x4D4D, "", {Chunk(0x3D3D, "", {Chunk(0x4000, name, {Chunk(0x4100, "", {tri})})})});
  };
  auto deep = [](int levels) {
    std::string inner = Chunk(0x3D3E, U32(3));
    for (int i = 0; i < levels; ++i) inner = Chunk(0x3D3D, "", {inner});
    return Chunk(0x4D4D, "", {inner});
  };
  std::string longer = Chunk(0x3D3D, "", {Chunk(0x3D3E, U32(3))});
  longer[2] = 40;  // the section claims more than its parent holds
  const struct {
    const char *what;
    std::string bytes;
    ErrorCode3ds code;
  } cases[] = {
      {"child longer than its parent", Chunk(0x4D4D, "", {longer}), ERR_INVALID_CHUNK},
      {"top longer than the file", Chunk(0x4D4D, "").substr(0, 2) + U32(1000), ERR_INVALID_CHUNK},
      {"chunk shorter than its header", Chunk(0x4D4D, "", {U16(0x3D3D) + U32(0)}), ERR_INVALID_CHUNK},
      {"vertex count beyond the chunk", mesh(Str("box"), Chunk(0x4110, U16(0xFFFF) + F32(1))),
       ERR_INVALID_CHUNK},
      {"face count beyond the chunk", mesh(Str("box"), Chunk(0x4120, U16(500) + U32(0))), ERR_INVALID_CHUNK},
      {"name without its terminator", mesh("abcdefghijklmnop", Chunk(0x4165, U8(1))), ERR_READING_FILE},
      {"map name beyond the skip bound",
       Chunk(0x4D4D, "",
             {Chunk(0x3D3D, "",
                    {Chunk(0xAFFF, "", {Chunk(0xA200, "", {Chunk(0xA300, Str("longname.tiff"))})})})}),
       ERR_READING_FILE},
      {"nesting too deep", deep(100), ERR_INVALID_CHUNK},
      {"node name without its terminator",
       Chunk(0x4D4D, "",
             {Chunk(0xB000, "",
                    {Chunk(0xB002, "", {Chunk(0xB010, "abcdefghijklmnop")}),
                     Chunk(0xB002, "", {Chunk(0xB010, Str("n") + U16(0) + U16(0) + U16(0xFFFF))})})}),
       ERR_READING_FILE},
      {"key count beyond the track",
       Chunk(0x4D4D, "",
             {Chunk(0xB000, "",
                    {Chunk(0xB002, "",
                           {Chunk(0xB010, Str("n") + U16(0) + U16(0) + U16(0xFFFF)),
                            Chunk(0xB020, U16(0) + U32(0) + U32(0) + U32(0x7FFFFFFF))})})}),
       ERR_INVALID_CHUNK},
  };
  for (const auto &c : cases) {
    ClearErrList3ds();
    WriteBytes(Path("bad.3ds"), c.bytes);
    Database3ds *db = ReadDatabaseFile(Path("bad.3ds"));
    ReadEveryRecord(db);
    EXPECT_TRUE(HasError(c.code)) << c.what << ": " << Errors();
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();
  }

  // A file of another kind is read silently as a bare top chunk, and a length that the file
  // cannot hold is never read, not even to write the database out again.
  ClearErrList3ds();
  WriteBytes(Path("odd.bin"), U16(0x1234) + U32(0xFFFFFFF0u) + "abc");
  Database3ds *odd = ReadDatabaseFile(Path("odd.bin"));
  EXPECT_EQ(ftkerr3ds, 0);
  File3ds *out = OpenFile3ds(Path("odd-copy.bin").c_str(), "w");
  WriteDatabase3ds(out, odd);
  ReleaseDatabase3ds(&odd);
  CloseAllFiles3ds();
  EXPECT_LE(ReadBytes(Path("odd-copy.bin")).size(), 9u);

  // Names of 8.3 form (twelve characters) pass the bound.
  ClearErrList3ds();
  WriteBytes(Path("ok.3ds"), Chunk(0x4D4D, "",
                                   {Chunk(0x3D3D, "",
                                          {Chunk(0xAFFF, "",
                                                 {Chunk(0xA000, Str("m")),
                                                  Chunk(0xA200, "", {Chunk(0xA300, Str("longname.tif"))})})})}));
  Database3ds *db = ReadDatabaseFile(Path("ok.3ds"));
  Material3ds *mat = nullptr;
  GetMaterialByName3ds(db, "m", &mat);
  EXPECT_EQ(ftkerr3ds, 0) << Errors();
  ASSERT_NE(mat, nullptr);
  EXPECT_STREQ(mat->texture.name, "longname.tif");
  ReleaseMaterial3ds(&mat);
  ReleaseDatabase3ds(&db);
}

}  // namespace
}  // namespace ftk3ds_test
