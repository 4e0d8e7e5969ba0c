#include "support.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace ftk3ds_test {
namespace {

using FileTable = Ftk3dsTest;

// A small mesh file to copy around.
Database3ds *MakeMeshDatabase() {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, 3, 1, 0);
  strcpy(mesh->name, "tri");
  mesh->vertices[1].x = 1.0f;
  mesh->vertices[2].y = 1.0f;
  mesh->faces[0] = {0, 1, 2, 7};
  PutMesh3ds(db, mesh);
  ReleaseMeshObj3ds(&mesh);
  return db;
}

TEST_F(FileTable, ModeStrings) {
  WriteBytes(Path("a.3ds"), "x");
  const struct {
    const char *mode;
    uint32_t expected;  // 0 = refused
    ErrorCode3ds error;
  } cases[] = {
      {"r", 1, NO_FTK_ERRORS},
      {"rb", 1, NO_FTK_ERRORS},
      {"rw", 1, NO_FTK_ERRORS},
      {"w+b", 2, NO_FTK_ERRORS},
      {"abc", 0, ERR_INIT_FAILED},
      {"", 0, ERR_INIT_FAILED},
      {"rrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrr", 0, ERR_STRING_TOO_LONG},
  };
  for (const auto &c : cases) {
    ClearErrList3ds();
    File3ds *file = OpenFile3ds(Path("a.3ds").c_str(), c.mode);
    if (c.expected) {
      ASSERT_NE(file, nullptr) << c.mode;
      EXPECT_EQ(file->mode, c.expected) << c.mode;
      EXPECT_EQ(ftkerr3ds, 0) << c.mode;
    } else {
      EXPECT_EQ(file, nullptr) << c.mode;
      EXPECT_TRUE(HasError(c.error)) << c.mode << ": " << Errors();
      EXPECT_TRUE(HasError(ERR_INIT_FAILED)) << c.mode;
    }
    CloseAllFiles3ds();
  }
}

TEST_F(FileTable, SameNameAndFailedOpens) {
  WriteBytes(Path("a.3ds"), "x");
  File3ds *first = OpenFile3ds(Path("a.3ds").c_str(), "r");
  File3ds *second = OpenFile3ds(Path("a.3ds").c_str(), "rb");
  EXPECT_EQ(first, second);
  EXPECT_EQ(GetFileByIndex3ds(1), nullptr);

  File3ds *missing = OpenFile3ds(Path("missing.3ds").c_str(), "r");
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(Errors(), std::to_string(ERR_OPENING_FILE));
  EXPECT_EQ(GetFileByIndex3ds(1), nullptr);  // the failed entry left the table

  // A flag left over from earlier work refuses new opens until the stack is cleared.
  File3ds *refused = OpenFile3ds(Path("b.3ds").c_str(), "w");
  EXPECT_EQ(refused, nullptr);
  EXPECT_TRUE(HasError(ERR_INIT_FAILED));
  ClearErrList3ds();
  File3ds *opened = OpenFile3ds(Path("b.3ds").c_str(), "w");
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->index, 1);
}

TEST_F(FileTable, HoldsTwoHundredFiftyTwoFiles) {
  std::vector<File3ds *> files;
  for (int i = 0; i < FILE_TABLE_SIZE3DS; ++i) {
    File3ds *file = OpenFile3ds(Path("f" + std::to_string(i)).c_str(), "w");
    ASSERT_NE(file, nullptr) << i << ": " << Errors();
    EXPECT_EQ(file->index, i);
    files.push_back(file);
  }
  EXPECT_EQ(OpenFile3ds(Path("one-too-many").c_str(), "w"), nullptr);
  EXPECT_EQ(Errors(), std::to_string(ERR_TOO_MANY_FILES));
  EXPECT_FALSE(fs::exists(Path("one-too-many")));

  ClearErrList3ds();
  CloseFile3ds(files[9]);
  CloseFile3ds(files[7]);
  File3ds *reused = OpenFile3ds(Path("again").c_str(), "w");
  ASSERT_NE(reused, nullptr);
  EXPECT_EQ(reused->index, 7);  // lowest free slot first
}

TEST_F(FileTable, WritingAFileOpenForReadingKeepsServingReads) {
  // A path far longer than any fixed buffer, made of "./" steps that resolve to a short file.
  // Windows file functions stop at 260 characters, so there the path stays below that.
#ifdef _WIN32
  const int steps = 40;
#else
  const int steps = 300;
#endif
  std::string path = dir_.string();
  for (int i = 0; i < steps; ++i) path += "/.";
  path += "/room.3ds";

  Database3ds *made = MakeMeshDatabase();
  ASSERT_TRUE(WriteDatabaseFile(path, made));
  ReleaseDatabase3ds(&made);
  const std::string original = ReadBytes(Path("room.3ds"));
  ASSERT_FALSE(original.empty());

  Database3ds *db = ReadDatabaseFile(path);
  ASSERT_EQ(ftkerr3ds, 0) << Errors();
  File3ds *writer = OpenFile3ds(path.c_str(), "w");
  ASSERT_NE(writer, nullptr) << Errors();
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);

  // Every chunk still reads its data from the old content, which was moved aside.
  WriteDatabase3ds(writer, db);
  EXPECT_EQ(ftkerr3ds, 0) << Errors();
  MeshObj3ds *mesh = nullptr;
  GetMeshByName3ds(db, "tri", &mesh);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->faces[0].flag, 7);
  ReleaseMeshObj3ds(&mesh);
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();

  EXPECT_EQ(ReadBytes(Path("room.3ds")), original);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(FileTable, ReadingAFileOpenForWritingClosesTheWriter) {
  Database3ds *db = MakeMeshDatabase();
  File3ds *writer = OpenFile3ds(Path("a.3ds").c_str(), "w");
  WriteDatabase3ds(writer, db);
  ReleaseDatabase3ds(&db);

  File3ds *reader = OpenFile3ds(Path("a.3ds").c_str(), "r");
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(FindFileByName3ds(Path("a.3ds").c_str()), reader);
  Database3ds *back = nullptr;
  InitDatabase3ds(&back);
  ReadDatabase3ds(reader, back);
  EXPECT_EQ(ftkerr3ds, 0) << Errors();
  EXPECT_EQ(GetMeshCount3ds(back), 1u);
  ReleaseDatabase3ds(&back);
}

// A file far bigger than the toolkit's own buffer: chunk lengths are written back into
// headers long handed on, and big arrays are read straight into place.
TEST_F(FileTable, BigChunksRoundTrip) {
  Database3ds *db = nullptr;
  InitDatabase3ds(&db);
  CreateNewDatabase3ds(db, MeshFile3ds);
  MeshObj3ds *mesh = nullptr;
  InitMeshObj3ds(&mesh, 6000, 12000, MeshTexVertArray3ds | MeshSmoothArray3ds);
  strcpy(mesh->name, "big");
  for (uint16_t i = 0; i < 6000; ++i) {
    mesh->vertices[i] = {float(i), -float(i), 0.5f * i};
    mesh->texVertices[i] = {1.0f / (i + 1), 2.0f};
  }
  for (uint16_t i = 0; i < 12000; ++i) {
    mesh->faces[i] = {uint16_t(i % 6000), uint16_t((i + 1) % 6000), uint16_t((i + 7) % 6000), 3};
    mesh->smoothing[i] = i;
  }
  PutMesh3ds(db, mesh);
  MeshObj3ds *small = MakeSampleMesh("small");
  PutMesh3ds(db, small);
  ASSERT_TRUE(WriteDatabaseFile(Path("big.3ds"), db));
  ReleaseDatabase3ds(&db);
  const std::string bytes = ReadBytes(Path("big.3ds"));
  ASSERT_GT(bytes.size(), 200000u);
  EXPECT_EQ(bytes.substr(2, 4), U32(static_cast<uint32_t>(bytes.size())));

  // Written again over its own path: the old content, moved aside, serves the data of every
  // chunk, and afterwards the meshes too.
  db = ReadDatabaseFile(Path("big.3ds"));
  File3ds *writer = OpenFile3ds(Path("big.3ds").c_str(), "w");
  ASSERT_NE(writer, nullptr) << Errors();
  WriteDatabase3ds(writer, db);
  EXPECT_EQ(ftkerr3ds, 0) << Errors();
  MeshObj3ds *back = nullptr;
  for (MeshObj3ds *expected : {mesh, small}) {
    GetMeshByName3ds(db, expected->name, &back);
    ASSERT_EQ(ftkerr3ds, 0) << Errors();
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->vertexCount, expected->vertexCount);
    ASSERT_EQ(back->faceCount, expected->faceCount);
    EXPECT_EQ(memcmp(back->vertices, expected->vertices, expected->vertexCount * sizeof(Point3ds)), 0);
    EXPECT_EQ(memcmp(back->faces, expected->faces, expected->faceCount * sizeof(Face3ds)), 0);
    EXPECT_EQ(memcmp(back->smoothing, expected->smoothing, expected->faceCount * 4u), 0);
  }
  ReleaseMeshObj3ds(&back);
  ReleaseMeshObj3ds(&mesh);
  ReleaseMeshObj3ds(&small);
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  EXPECT_EQ(ReadBytes(Path("big.3ds")), bytes);
}

// A caller that works on the current stream itself finds it at the toolkit's position, with
// everything written so far, and the toolkit goes on from where the caller left it.
TEST_F(FileTable, TheStreamItselfKeepsInStep) {
  File3ds *out = OpenFile3ds(Path("s").c_str(), "w");
  ASSERT_NE(out, nullptr);
  SetContext3ds(out);
  WriteULong3ds(1);
  FILE *stream = GetCurrentStream3ds();
  EXPECT_EQ(ftell(stream), 4);
  fputc('x', stream);
  WriteULong3ds(2);
  EXPECT_EQ(FileTell3ds(), 9u);
  CloseAllFiles3ds();
  EXPECT_EQ(ReadBytes(Path("s")), U32(1) + "x" + U32(2));

  File3ds *in = OpenFile3ds(Path("s").c_str(), "r");
  ASSERT_NE(in, nullptr);
  SetContext3ds(in);
  EXPECT_EQ(ReadULong3ds(), 1u);
  EXPECT_EQ(fgetc(GetCurrentStream3ds()), 'x');
  EXPECT_EQ(ReadULong3ds(), 2u);
  EXPECT_EQ(FileTell3ds(), 9u);
  EXPECT_EQ(ftkerr3ds, 0) << Errors();
}

TEST_F(FileTable, Primitives) {
  File3ds *out = OpenFile3ds(Path("p").c_str(), "w");
  ASSERT_NE(out, nullptr);
  SetContext3ds(out);
  KeyHeader3ds key = {42, 0x0005, 0.5f, 9.0f, -0.25f, 9.0f, 9.0f};
  WriteKeyHeader3ds(&key);
  WriteFixedString3ds("ab", 5);
  WriteString3ds("twelve chars");
  EXPECT_EQ(FileTell3ds(), 4u + 2 + 8 + 5 + 13);
  CloseAllFiles3ds();

  File3ds *in = OpenFile3ds(Path("p").c_str(), "r");
  ASSERT_NE(in, nullptr);
  SetContext3ds(in);
  KeyHeader3ds back = {};
  ReadKeyHeader3ds(&back);
  EXPECT_EQ(back.frame, 42u);
  EXPECT_EQ(back.tension, 0.5f);
  EXPECT_EQ(back.continuity, 0.0f);
  EXPECT_EQ(back.bias, -0.25f);
  char fixed[5];
  ReadFixedString3ds(fixed, 5);
  EXPECT_STREQ(fixed, "ab");
  char text[11];
  ReadString3ds(text, 11);
  EXPECT_EQ(Errors(), std::to_string(ERR_READING_FILE));
}

}  // namespace
}  // namespace ftk3ds_test
