// 3D Studio files for the toolkit tests: chunks written byte by byte, and files written by the
// 3DS file toolkit.
#pragma once

#include <stdint.h>
#include <string.h>

#include <initializer_list>
#include <string>

#include "ftk3ds/ftk3ds.h"

namespace t3ds {

// ---- Raw chunks ------------------------------------------------------------------------------

inline std::string u16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
inline std::string u32(uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); }
inline std::string f32(float v) {
  uint32_t u;
  memcpy(&u, &v, 4);
  return u32(u);
}
inline std::string str(const std::string &s) { return s + '\0'; }
inline std::string zeros(size_t n) { return std::string(n, '\0'); }

inline std::string chunk(unsigned id, const std::string &body, std::initializer_list<std::string> kids = {}) {
  std::string all = body;
  for (const std::string &k : kids) all += k;
  return u16(id) + u32(static_cast<uint32_t>(6 + all.size())) + all;
}

// A mesh file: the magic and mesh-data chunks around the given chunks.
inline std::string file(std::initializer_list<std::string> kids) { return chunk(0x4D4D, "", {chunk(0x3D3D, "", kids)}); }
inline std::string object(const std::string &name, std::initializer_list<std::string> kids) {
  return chunk(0x4000, str(name), {chunk(0x4100, "", kids)});
}
inline std::string points(unsigned n) { return chunk(0x4110, u16(n) + zeros(12u * n)); }
// A vertex list of these coordinates, three a vertex.
inline std::string points(std::initializer_list<float> xyz) {
  std::string body = u16(static_cast<unsigned>(xyz.size() / 3));
  for (float c : xyz) body += f32(c);
  return chunk(0x4110, body);
}
inline std::string faces(std::initializer_list<unsigned> corners, std::initializer_list<std::string> kids = {}) {
  std::string body = u16(static_cast<unsigned>(corners.size() / 3));
  int k = 0;
  for (unsigned c : corners) {
    body += u16(c);
    if (++k % 3 == 0) body += u16(0);
  }
  return chunk(0x4120, body, kids);
}
inline std::string group(const std::string &material, std::initializer_list<unsigned> facelist) {
  std::string body = str(material) + u16(static_cast<unsigned>(facelist.size()));
  for (unsigned f : facelist) body += u16(f);
  return chunk(0x4130, body);
}
inline std::string material(std::initializer_list<std::string> kids) { return chunk(0xAFFF, "", kids); }
inline std::string percent(unsigned id, unsigned value) { return chunk(id, "", {chunk(0x0030, u16(value))}); }

// ---- Files written by the 3DS file toolkit ----------------------------------------------------

Material3ds *newmaterial(const char *name, Color3ds diffuse);
// Two materials; a cube in six smoothing groups with uv and three material groups; a triangle
// with nothing more.
Database3ds *cubedatabase();
// The bytes the 3DS file toolkit writes for the database, which it releases.
std::string bytesof(Database3ds *db);
// The cube file's bytes, written once.
const std::string &cubefile();

}  // namespace t3ds
