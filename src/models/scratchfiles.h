// The scratch files that carry data between the scene and the toolkit in the temporary folder:
// the texture coordinates of one part's polygons (".uv") and the text of one animation path
// (".pth"). Both are named after the 32-bit id of the record they belong to and are written anew
// on every load.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "afx/afx.h"

// The header of every ".uv" file; a part keeps it as the key its file must carry.
constexpr const char kUvFileKey[] = "TAVO Vedra Geometry UV Document...";

// The texture coordinates of one polygon, vertex by vertex.
struct UvPolygon {
  std::vector<float> u;
  std::vector<float> v;
};

// "<temporary folder><id as eight lower-case hex digits>.uv" / ".pth".
CString MakeScratchFileName(uint32_t id, const char* extension);

// The file's bytes: the header, the polygon count, then per polygon its vertex count raised to 3
// and as many (u, v) pairs (missing ones zero).
std::vector<uint8_t> EncodeUvFile(const std::vector<UvPolygon>& polygons);
// Reads the bytes only when the whole file is sound: the header equals the key, one polygon for
// each vertex count given, each with that count raised to 3 and all its pairs, nothing after.
// False, with the output untouched, otherwise.
bool DecodeUvFile(const uint8_t* data, size_t size, const char* key, const std::vector<int>& vertexCounts,
                  std::vector<UvPolygon>& out);
// Writes the file (made writable first); false when it cannot be created.
bool WriteUvFile(const char* path, const std::vector<UvPolygon>& polygons);
// Reads and checks the file as DecodeUvFile; false for a missing or unsound file.
bool ReadUvFile(const char* path, const char* key, const std::vector<int>& vertexCounts,
                std::vector<UvPolygon>& out);

// Writes the path text byte for byte (the file made writable first); false when the file cannot
// be created.
bool WritePathFile(const char* path, const CString& text);
// The whole file as a text, which ends at its first zero byte; false when it does not open.
bool ReadPathFile(const char* path, CString& text);
// Makes the scratch file writable and deletes it; nothing when there is none.
void RemoveScratchFile(const char* path);
