// OpenFlight files written record by record for the reader tests (all fields big-endian).
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace tk {
namespace flt {

// A record: opcode, length (header included), then the body, zero-filled to `length`.
class Record {
 public:
  Record(int opcode, size_t length);
  Record &u8(size_t at, int v);
  Record &u16(size_t at, int v);
  Record &u32(size_t at, uint32_t v);
  Record &f32(size_t at, float v);
  Record &f64(size_t at, double v);
  Record &text(size_t at, const std::string &s);
  const std::string &bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

struct Vertex {
  double x, y, z;
  int colour = 0;
  int flags = 0x2000;  // no colour of its own
  bool normal = false;
  float nx = 0, ny = 0, nz = 0;
  bool uv = false;
  float u = 0, v = 0;
};

struct Face {
  std::string id = "f";
  int draw = 0, texturewhite = 0, colour = 0, pattern = -1, material = -1, transparency = 0;
  uint32_t flags = 0;
  int lightmode = 0;
};

// A file built in order; vertex offsets are those of the palette written by vertices().
class File {
 public:
  File &header(uint32_t revision = 1600, int unitcode = 0, int multiplier = 1);
  File &raw(const Record &r);
  File &push() { return op(10); }
  File &pop() { return op(11); }
  File &pushsubface() { return op(19); }
  File &popsubface() { return op(20); }
  File &op(int opcode);
  File &group(const std::string &name);
  File &object(const std::string &name, uint32_t flags = 0);
  File &lod(const std::string &name, int in, int out);
  File &translate(float x, float y, float z);
  File &replicate(int count);
  File &face(const Face &f);
  // The vertex palette; vertex i lies at offset 8 + sum of the sizes before it.
  File &vertices(const std::vector<Vertex> &list);
  File &vertexlist(const std::vector<int> &indices);
  // 512 colours, colour c given as (red, green, blue) bytes.
  File &colours(const std::vector<uint32_t> &rgb);
  File &materials(int count, float emission, float alpha);
  File &texture(const std::string &name, int pattern, uint32_t revision = 1600);
  File &instancedef(int n);
  File &instanceref(int n);
  File &external(const std::string &name, uint32_t flags = 0);
  // A triangle face with its vertex list (vertices 0, 1, 2 of the palette).
  File &triangle(const std::string &id = "t");
  std::string bytes;

 private:
  std::vector<uint32_t> offsets_;
};

}  // namespace flt
}  // namespace tk
