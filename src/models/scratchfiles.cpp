#include "models/scratchfiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "models/fileutil.h"
#include "models/planhost.h"

namespace {

constexpr size_t kKeyLength = sizeof kUvFileKey - 1;
constexpr int kMinVertices = 3;

void PutU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

void PutFloat(std::vector<uint8_t>& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutU32(out, bits);
}

// A bounded little-endian reader; every read fails once the data runs out.
class ByteReader {
public:
  ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  bool Take(void* out, size_t n) {
    if (m_size - m_at < n) return false;
    std::memcpy(out, m_data + m_at, n);
    m_at += n;
    return true;
  }
  bool AtEnd() const { return m_at == m_size; }

private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_at = 0;
};

bool TakeU16(ByteReader& in, uint32_t& value) {
  uint8_t b[2];
  if (!in.Take(b, 2)) return false;
  value = b[0] | b[1] << 8;
  return true;
}

bool TakeU32(ByteReader& in, uint32_t& value) {
  uint32_t low = 0;
  uint32_t high = 0;
  if (!TakeU16(in, low) || !TakeU16(in, high)) return false;
  value = low | high << 16;
  return true;
}

bool TakeFloat(ByteReader& in, float& value) {
  uint32_t bits = 0;
  if (!TakeU32(in, bits)) return false;
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

bool TakeHeader(ByteReader& in, const char* key) {
  uint8_t length = 0;
  char text[256];
  if (!in.Take(&length, 1) || !in.Take(text, length)) return false;
  return key && std::strlen(key) == length && std::memcmp(text, key, length) == 0;
}

bool TakePolygon(ByteReader& in, int vertexCount, UvPolygon& polygon) {
  uint32_t n = 0;
  if (!TakeU16(in, n) || static_cast<int>(n) != std::max(vertexCount, kMinVertices)) return false;
  polygon.u.assign(n, 0.0f);
  polygon.v.assign(n, 0.0f);
  for (uint32_t i = 0; i < n; ++i)
    if (!TakeFloat(in, polygon.u[i]) || !TakeFloat(in, polygon.v[i])) return false;
  return true;
}

}  // namespace

CString MakeScratchFileName(uint32_t id, const char* extension) {
  char name[32];
  std::snprintf(name, sizeof name, "%08x.%s", id, extension);
  return GetTempDir() + name;
}

std::vector<uint8_t> EncodeUvFile(const std::vector<UvPolygon>& polygons) {
  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(kKeyLength));
  out.insert(out.end(), kUvFileKey, kUvFileKey + kKeyLength);
  PutU32(out, static_cast<uint32_t>(polygons.size()));
  for (const UvPolygon& polygon : polygons) {
    const size_t n = std::max<size_t>(polygon.u.size(), kMinVertices);
    PutU16(out, static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i) {
      PutFloat(out, i < polygon.u.size() ? polygon.u[i] : 0.0f);
      PutFloat(out, i < polygon.v.size() ? polygon.v[i] : 0.0f);
    }
  }
  return out;
}

bool DecodeUvFile(const uint8_t* data, size_t size, const char* key, const std::vector<int>& vertexCounts,
                  std::vector<UvPolygon>& out) {
  ByteReader in(data, size);
  uint32_t count = 0;
  if (!TakeHeader(in, key) || !TakeU32(in, count) || count != vertexCounts.size()) return false;
  std::vector<UvPolygon> polygons(count);
  for (uint32_t i = 0; i < count; ++i)
    if (!TakePolygon(in, vertexCounts[i], polygons[i])) return false;
  if (!in.AtEnd()) return false;
  out.swap(polygons);
  return true;
}

bool WriteUvFile(const char* path, const std::vector<UvPolygon>& polygons) {
  if (FileExists(path)) SetArchiveAttribute(path);
  const std::vector<uint8_t> bytes = EncodeUvFile(polygons);
  return WriteFileBytes(path, std::vector<char>(bytes.begin(), bytes.end()));
}

bool ReadUvFile(const char* path, const char* key, const std::vector<int>& vertexCounts,
                std::vector<UvPolygon>& out) {
  std::vector<char> bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  return DecodeUvFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), key, vertexCounts, out);
}

bool WritePathFile(const char* path, const CString& text) {
  if (FileExists(path)) SetArchiveAttribute(path);
  const char* chars = text;
  return WriteFileBytes(path, std::vector<char>(chars, chars + text.GetLength()));
}

bool ReadPathFile(const char* path, CString& text) {
  std::vector<char> bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  bytes.push_back('\0');
  text = bytes.data();
  return true;
}

void RemoveScratchFile(const char* path) {
  if (!FileExists(path)) return;
  SetArchiveAttribute(path);
  RemoveFile(path);
}
