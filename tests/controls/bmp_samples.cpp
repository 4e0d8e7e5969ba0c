#include "bmp_samples.h"

#include <algorithm>

void Put32At(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; i++) f[at + i] = (uint8_t)(v >> (8 * i));
}
void Put16At(std::vector<uint8_t>& f, size_t at, uint16_t v) {
  f[at] = (uint8_t)v;
  f[at + 1] = (uint8_t)(v >> 8);
}

BmpSample MakeBmpSample(unsigned bits, int width, int height) {
  BmpSample s;
  s.info.width = width;
  s.info.height = height;
  s.info.bitCount = (uint16_t)bits;
  if (bits <= 8) {
    for (unsigned i = 0; i < (1u << bits); i++) {
      s.table.insert(s.table.end(), {(uint8_t)(i * 3), (uint8_t)(i * 5), (uint8_t)(i * 7), 0});
    }
  }
  const size_t row = bmp::DibPaddedBytesPerLine(bits, (unsigned)width);
  s.bits.resize(row * (size_t)height);
  for (size_t i = 0; i < s.bits.size(); i++) s.bits[i] = (uint8_t)(i * 13 + i / row);
  return s;
}

std::vector<uint8_t> BmpSample::Packed() const {
  std::vector<uint8_t> out(bmp::kInfoHeaderSize);
  bmp::InfoHeader h = info;
  h.sizeImage = (uint32_t)bits.size();
  bmp::WriteInfoHeader(h, out.data());
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

std::vector<uint8_t> WithLongHeader(const BmpSample& s, uint32_t headerSize) {
  std::vector<uint8_t> f = s.File();
  const size_t extra = headerSize - bmp::kInfoHeaderSize;
  const size_t at = bmp::kFileHeaderSize + bmp::kInfoHeaderSize;
  std::vector<uint8_t> pad(extra, 0);
  if (s.info.compression == bmp::kBitFields) {  // the masks move into the long header
    std::copy(f.begin() + at, f.begin() + at + 12, pad.begin());
    f.erase(f.begin() + at, f.begin() + at + 12);
    Put32At(f, 10, (uint32_t)(f.size() - s.bits.size()));
  }
  f.insert(f.begin() + at, pad.begin(), pad.end());
  Put32At(f, bmp::kFileHeaderSize, headerSize);
  Put32At(f, 10, (uint32_t)(f.size() - s.bits.size()));
  Put32At(f, 2, (uint32_t)f.size());
  return f;
}

std::vector<uint8_t> TopDown(const BmpSample& s) {
  BmpSample t = s;
  t.info.height = -s.info.height;
  const size_t row = s.bits.size() / (size_t)s.info.height;
  for (int r = 0; r < s.info.height; r++) {
    std::copy_n(s.bits.begin() + (size_t)(s.info.height - 1 - r) * row, row, t.bits.begin() + (size_t)r * row);
  }
  return t.File();
}
