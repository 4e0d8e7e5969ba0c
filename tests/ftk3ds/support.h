// Helpers for the 3DS toolkit tests: a temporary folder, a chunk byte builder and a printer
// of the chunk layout of a database.
#pragma once

#include "ftk3ds/ftk3ds.h"
#include "every_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace ftk3ds_test {

// Every test starts with a clear error stack and ends with all toolkit files closed and its
// temporary folder removed.
class Ftk3dsTest : public ::testing::Test {
 public:
  // Error codes on the stack, innermost first.
  static std::string Errors();
  static bool HasError(ErrorCode3ds code);

 protected:
  void SetUp() override;
  void TearDown() override;

  // A path in the test's temporary folder.
  std::string Path(const std::string &name) const;

  std::filesystem::path dir_;
};

std::string ReadBytes(const std::string &path);
void WriteBytes(const std::string &path, const std::string &bytes);

// Writes a database to a file and closes all toolkit files; true when no error was pushed.
bool WriteDatabaseFile(const std::string &path, Database3ds *db);

// Opens and reads a file into a new database; the file stays open for lazy reading.
Database3ds *ReadDatabaseFile(const std::string &path);

// Records with every field set to something other than its default.
MeshObj3ds *MakeSampleMesh(const char *name);
Material3ds *MakeSampleMaterial(const char *name);
ObjectMotion3ds *MakeSampleMotion(const char *name, const char *parent);

// A mesh file with settings, two meshes, a material and a dummy node with two children.
Database3ds *MakeSampleDatabase();

// Chunk layout as "4D4D{0002 3D3D{3D3E}}" (tags in hexadecimal, children in braces).
std::string Layout(const Chunk3ds *chunk);

// Finds a chunk by its tag path below the top chunk, e.g. {0x3D3D, 0x4000}.
Chunk3ds *Child(Chunk3ds *parent, std::initializer_list<uint32_t> path);

// Little-endian byte building.
std::string U8(uint8_t v);
std::string U16(uint16_t v);
std::string U32(uint32_t v);
std::string F32(float v);
std::string Str(const std::string &text);  // with its NUL
std::string Chunk(uint16_t tag, const std::string &data, std::initializer_list<std::string> children = {});

}  // namespace ftk3ds_test
