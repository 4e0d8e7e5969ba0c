// The .bmp file layout, read and written without the Windows headers.
//
// A file is a 14-byte file header ("BM", file size, two reserved words, offset of the pixels),
// an info header (the 40-byte core; the 108- and 124-byte kinds that current editors write are
// read by that core), a colour table of blue-green-red-reserved entries and padded pixel rows.
// The program keeps pictures as packed DIBs: a 40-byte info header, the three colour masks of a
// bit-field picture, the colour table, and the rows bottom-up, each padded to 4 bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmp {

constexpr uint16_t kFileType = 0x4D42;  // "BM"
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;        // BI_RGB
constexpr uint32_t kBitFields = 3;  // BI_BITFIELDS
constexpr int32_t kMaxSide = 32768;
constexpr uint32_t kMaxColors = 256;

// The fields of the 40-byte info header.
struct InfoHeader {
  uint32_t size = kInfoHeaderSize;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 1;
  uint16_t bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t sizeImage = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;
};

// Where the parts of a checked file lie.
struct Layout {
  InfoHeader info;         // as in the file (size is the file's header size)
  uint32_t colors = 0;     // colour table entries
  uint32_t maskBytes = 0;  // 12 for a bit-field picture, else 0
  size_t masksOffset = 0;  // the three masks (inside a long header, or after a 40-byte one)
  size_t tableOffset = 0;
  size_t bitsOffset = 0;
  size_t rowBytes = 0;     // padded
  uint32_t rows = 0;       // |height|
  bool topDown = false;    // negative height: the first row is the top one
  size_t BitsBytes() const { return rowBytes * rows; }
};

// Bytes of one row of pixels, unpadded and padded to a multiple of 4.
size_t DibBytesPerLine(unsigned bitsPerPixel, unsigned width);
size_t DibPaddedBytesPerLine(unsigned bitsPerPixel, unsigned width);

// Checks a whole file held in memory: "BM", a 40-, 108- or 124-byte header, one plane, 1, 4, 8,
// 16, 24 or 32 bits a pixel, no compression (bit fields at 16 and 32 bits), width and height
// 1..32768 (height either way up), at most 256 colours, the table and every row inside the data.
// The stored file size is not trusted: only the data's own length counts. False refuses the file.
bool CheckFile(const uint8_t* data, size_t size, Layout* out);

// Reads the info header at data (at least 40 bytes).
InfoHeader ReadInfoHeader(const uint8_t* data);
void WriteInfoHeader(const InfoHeader& info, uint8_t* out);

// The packed DIB of a checked file: 40-byte header (its size field 40, its height positive, its
// image size the rows' bytes), masks, table and the rows turned bottom-up. Empty when refused.
std::vector<uint8_t> PackedDibFromFile(const uint8_t* data, size_t size);

// A file: the file header, the 40-byte header, `tableBytes` of masks and colour table, then
// `bitsBytes` of rows. The pixel offset and the file size are those of the parts written.
std::vector<uint8_t> FileFromParts(const InfoHeader& info, const uint8_t* table, size_t tableBytes,
                                   const uint8_t* bits, size_t bitsBytes);

// Bytes of masks and colour table that follow the 40-byte header of a packed DIB made by
// PackedDibFromFile (or by GDI) with this header.
size_t PackedTableBytes(const InfoHeader& info);

}  // namespace bmp
