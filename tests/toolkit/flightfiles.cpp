#include "flightfiles.h"

#include <string.h>

namespace tk {
namespace flt {

Record::Record(int opcode, size_t length) : bytes_(length, '\0') {
  u16(0, opcode);
  u16(2, static_cast<int>(length));
}

Record &Record::u8(size_t at, int v) {
  bytes_[at] = static_cast<char>(v);
  return *this;
}

Record &Record::u16(size_t at, int v) { return u8(at, v >> 8).u8(at + 1, v); }

Record &Record::u32(size_t at, uint32_t v) {
  return u16(at, static_cast<int>(v >> 16)).u16(at + 2, static_cast<int>(v & 0xFFFF));
}

Record &Record::f32(size_t at, float v) {
  uint32_t bits;
  memcpy(&bits, &v, 4);
  return u32(at, bits);
}

Record &Record::f64(size_t at, double v) {
  uint64_t bits;
  memcpy(&bits, &v, 8);
  return u32(at, static_cast<uint32_t>(bits >> 32)).u32(at + 4, static_cast<uint32_t>(bits));
}

Record &Record::text(size_t at, const std::string &s) {
  bytes_.replace(at, s.size(), s);
  return *this;
}

File &File::raw(const Record &r) {
  bytes += r.bytes();
  return *this;
}

File &File::op(int opcode) { return raw(Record(opcode, 4)); }

File &File::header(uint32_t revision, int unitcode, int multiplier) {
  return raw(Record(1, 132).text(4, "db").u32(12, revision).u16(60, multiplier).u8(62, unitcode));
}

File &File::group(const std::string &name) { return raw(Record(2, 44).text(4, name)); }

File &File::object(const std::string &name, uint32_t flags) {
  return raw(Record(4, 28).text(4, name).u32(12, flags));
}

File &File::lod(const std::string &name, int in, int out) {
  return raw(Record(3, 40).text(4, name).u32(12, static_cast<uint32_t>(in)).u32(16, static_cast<uint32_t>(out)));
}

File &File::translate(float x, float y, float z) {
  Record r(49, 68);
  for (int i = 0; i < 4; i++) r.f32(4 + 20 * static_cast<size_t>(i), 1.0f);
  r.f32(52, x).f32(56, y).f32(60, z);
  return raw(r);
}

File &File::replicate(int count) { return raw(Record(60, 8).u16(4, count)); }

File &File::face(const Face &f) {
  return raw(Record(5, 80)
                 .text(4, f.id)
                 .u8(18, f.draw)
                 .u8(19, f.texturewhite)
                 .u16(20, f.colour)
                 .u16(28, f.pattern)
                 .u16(30, f.material)
                 .u16(40, f.transparency)
                 .u32(44, f.flags)
                 .u8(48, f.lightmode));
}

File &File::vertices(const std::vector<Vertex> &list) {
  std::string body;
  offsets_.clear();
  for (const Vertex &v : list) {
    int op = v.normal ? (v.uv ? 70 : 69) : (v.uv ? 71 : 68);
    size_t length = op == 68 ? 40 : op == 69 ? 56 : op == 70 ? 64 : 48;
    Record r(op, length);
    r.u16(4, v.colour).u16(6, v.flags).f64(8, v.x).f64(16, v.y).f64(24, v.z);
    if (v.normal) r.f32(32, v.nx).f32(36, v.ny).f32(40, v.nz);
    if (v.uv) r.f32(op == 70 ? 44 : 32, v.u).f32(op == 70 ? 48 : 36, v.v);
    offsets_.push_back(static_cast<uint32_t>(8 + body.size()));
    body += r.bytes();
  }
  raw(Record(67, 8).u32(4, static_cast<uint32_t>(8 + body.size())));
  bytes += body;
  return *this;
}

File &File::vertexlist(const std::vector<int> &indices) {
  Record r(72, 4 + 4 * indices.size());
  for (size_t i = 0; i < indices.size(); i++) {
    int k = indices[i];
    r.u32(4 + 4 * i, k >= 0 && static_cast<size_t>(k) < offsets_.size() ? offsets_[static_cast<size_t>(k)] : static_cast<uint32_t>(k));
  }
  return raw(r);
}

File &File::colours(const std::vector<uint32_t> &rgb) {
  Record r(32, 132 + 4 * 512);
  for (size_t c = 0; c < rgb.size() && c < 512; c++) {
    uint32_t v = rgb[c];
    // Red in the low byte of the word.
    r.u32(132 + 4 * c, (v >> 16 & 0xFF) | (v & 0xFF00) | (v & 0xFF) << 16);
  }
  return raw(r);
}

File &File::materials(int count, float emission, float alpha) {
  Record r(66, 4 + 64 * 184);
  for (int e = 0; e < count && e < 64; e++) {
    size_t at = 4 + 184 * static_cast<size_t>(e);
    for (int k = 0; k < 3; k++) {
      r.f32(at + 4 * static_cast<size_t>(k), 0.1f * static_cast<float>(e + 1));
      r.f32(at + 12 + 4 * static_cast<size_t>(k), 0.5f);
      r.f32(at + 36 + 4 * static_cast<size_t>(k), emission);
    }
    r.f32(at + 48, 10.0f).f32(at + 52, alpha);
  }
  return raw(r);
}

File &File::texture(const std::string &name, int pattern, uint32_t revision) {
  return raw(Record(64, 216).text(4, name).u32(revision >= 1420 ? 204 : 84, static_cast<uint32_t>(pattern)));
}

File &File::instancedef(int n) { return raw(Record(62, 8).u32(4, static_cast<uint32_t>(n))); }

File &File::instanceref(int n) { return raw(Record(61, 8).u32(4, static_cast<uint32_t>(n))); }

File &File::external(const std::string &name, uint32_t flags) {
  return raw(Record(63, 216).text(4, name).u32(208, flags));
}

File &File::triangle(const std::string &id) {
  Face f;
  f.id = id;
  return face(f).push().vertexlist({0, 1, 2}).pop();
}

}  // namespace flt
}  // namespace tk
