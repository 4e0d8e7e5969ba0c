#include "controls/bmpfile.h"

#include <cstring>

namespace bmp {
namespace {

uint16_t Get16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24); }
void Put16(uint8_t* p, uint16_t v) {
  p[0] = (uint8_t)v;
  p[1] = (uint8_t)(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}

bool KnownHeaderSize(uint32_t size) { return size == kInfoHeaderSize || size == 108 || size == 124; }

bool KnownBitCount(uint16_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// The picture's own fields: planes, depth, compression, sides.
bool CheckPicture(const InfoHeader& info) {
  if (info.planes != 1 || !KnownBitCount(info.bitCount)) return false;
  const bool fields = info.compression == kBitFields && (info.bitCount == 16 || info.bitCount == 32);
  if (info.compression != kRgb && !fields) return false;
  if (info.width < 1 || info.width > kMaxSide) return false;
  const int64_t rows = info.height < 0 ? -(int64_t)info.height : info.height;
  return rows >= 1 && rows <= kMaxSide;
}

uint32_t TableColors(const InfoHeader& info) {
  if (info.clrUsed != 0) return info.clrUsed;
  return info.bitCount <= 8 ? (1u << info.bitCount) : 0;
}

// The masks and the colour table, inside the data.
bool PlaceTable(const InfoHeader& info, size_t size, Layout* l) {
  l->colors = TableColors(info);
  if (l->colors > kMaxColors) return false;
  const size_t afterHeader = kFileHeaderSize + info.size;
  l->maskBytes = info.compression == kBitFields ? 12 : 0;
  l->masksOffset = info.size == kInfoHeaderSize ? afterHeader : kFileHeaderSize + kInfoHeaderSize;
  l->tableOffset = info.size == kInfoHeaderSize ? afterHeader + l->maskBytes : afterHeader;
  return l->tableOffset + (size_t)l->colors * 4 <= size;
}

// The rows, from the stored pixel offset, inside the data.
bool PlaceRows(const InfoHeader& info, const uint8_t* data, size_t size, Layout* l) {
  const size_t tableEnd = l->tableOffset + (size_t)l->colors * 4;
  const uint32_t offBits = Get32(data + 10);
  if (offBits < tableEnd || offBits > size) return false;
  l->bitsOffset = offBits;
  l->rowBytes = DibPaddedBytesPerLine(info.bitCount, (unsigned)info.width);
  l->topDown = info.height < 0;
  l->rows = (uint32_t)(l->topDown ? -(int64_t)info.height : info.height);
  return (uint64_t)l->rowBytes * l->rows <= size - offBits;
}

}  // namespace

size_t DibBytesPerLine(unsigned bitsPerPixel, unsigned width) { return ((size_t)bitsPerPixel * width + 7) / 8; }

size_t DibPaddedBytesPerLine(unsigned bitsPerPixel, unsigned width) {
  return (((size_t)bitsPerPixel * width + 31) / 32) * 4;
}

InfoHeader ReadInfoHeader(const uint8_t* p) {
  InfoHeader h;
  h.size = Get32(p);
  h.width = (int32_t)Get32(p + 4);
  h.height = (int32_t)Get32(p + 8);
  h.planes = Get16(p + 12);
  h.bitCount = Get16(p + 14);
  h.compression = Get32(p + 16);
  h.sizeImage = Get32(p + 20);
  h.xPelsPerMeter = (int32_t)Get32(p + 24);
  h.yPelsPerMeter = (int32_t)Get32(p + 28);
  h.clrUsed = Get32(p + 32);
  h.clrImportant = Get32(p + 36);
  return h;
}

void WriteInfoHeader(const InfoHeader& h, uint8_t* p) {
  Put32(p, h.size);
  Put32(p + 4, (uint32_t)h.width);
  Put32(p + 8, (uint32_t)h.height);
  Put16(p + 12, h.planes);
  Put16(p + 14, h.bitCount);
  Put32(p + 16, h.compression);
  Put32(p + 20, h.sizeImage);
  Put32(p + 24, (uint32_t)h.xPelsPerMeter);
  Put32(p + 28, (uint32_t)h.yPelsPerMeter);
  Put32(p + 32, h.clrUsed);
  Put32(p + 36, h.clrImportant);
}

bool CheckFile(const uint8_t* data, size_t size, Layout* out) {
  if (!data || size < kFileHeaderSize + kInfoHeaderSize || Get16(data) != kFileType) return false;
  Layout l;
  l.info = ReadInfoHeader(data + kFileHeaderSize);
  if (!KnownHeaderSize(l.info.size) || kFileHeaderSize + l.info.size > size) return false;
  if (!CheckPicture(l.info) || !PlaceTable(l.info, size, &l) || !PlaceRows(l.info, data, size, &l)) return false;
  if (out) *out = l;
  return true;
}

size_t PackedTableBytes(const InfoHeader& info) {
  uint32_t colors = TableColors(info);
  if (colors > kMaxColors) colors = kMaxColors;
  return (info.compression == kBitFields ? 12 : 0) + (size_t)colors * 4;
}

std::vector<uint8_t> PackedDibFromFile(const uint8_t* data, size_t size) {
  Layout l;
  if (!CheckFile(data, size, &l)) return {};
  InfoHeader h = l.info;
  h.size = kInfoHeaderSize;
  h.height = (int32_t)l.rows;
  h.sizeImage = (uint32_t)l.BitsBytes();
  const size_t tableBytes = (size_t)l.colors * 4;
  std::vector<uint8_t> dib(kInfoHeaderSize + l.maskBytes + tableBytes + l.BitsBytes());
  WriteInfoHeader(h, dib.data());
  uint8_t* p = dib.data() + kInfoHeaderSize;
  if (l.maskBytes) std::memcpy(p, data + l.masksOffset, l.maskBytes);
  p += l.maskBytes;
  if (tableBytes) std::memcpy(p, data + l.tableOffset, tableBytes);
  p += tableBytes;
  for (uint32_t r = 0; r < l.rows; r++) {
    const uint32_t from = l.topDown ? l.rows - 1 - r : r;
    std::memcpy(p + (size_t)r * l.rowBytes, data + l.bitsOffset + (size_t)from * l.rowBytes, l.rowBytes);
  }
  return dib;
}

std::vector<uint8_t> FileFromParts(const InfoHeader& info, const uint8_t* table, size_t tableBytes,
                                   const uint8_t* bits, size_t bitsBytes) {
  const size_t offBits = kFileHeaderSize + kInfoHeaderSize + tableBytes;
  std::vector<uint8_t> file(offBits + bitsBytes);
  Put16(file.data(), kFileType);
  Put32(file.data() + 2, (uint32_t)file.size());
  Put32(file.data() + 10, (uint32_t)offBits);
  InfoHeader h = info;
  h.size = kInfoHeaderSize;
  WriteInfoHeader(h, file.data() + kFileHeaderSize);
  if (tableBytes) std::memcpy(file.data() + kFileHeaderSize + kInfoHeaderSize, table, tableBytes);
  if (bitsBytes) std::memcpy(file.data() + offBits, bits, bitsBytes);
  return file;
}

}  // namespace bmp
