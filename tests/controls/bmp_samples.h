// Small .bmp files built in memory for the bitmap tests and the fuzz seeds.
#pragma once
#include <cstdint>
#include <vector>

#include "controls/bmpfile.h"

struct BmpSample {
  bmp::InfoHeader info;
  std::vector<uint8_t> table;  // masks and colour table as they follow a 40-byte header
  std::vector<uint8_t> bits;   // rows bottom-up, padded
  std::vector<uint8_t> File() const { return bmp::FileFromParts(info, table.data(), table.size(), bits.data(), bits.size()); }
  // The packed DIB the file should read back as.
  std::vector<uint8_t> Packed() const;
};

// A picture of width x height at bits a pixel with a full colour table (up to 8 bits) and rows
// whose bytes count up, so that every row differs.
BmpSample MakeBmpSample(unsigned bits, int width, int height);

// The same file with a header of headerSize bytes (108 or 124) in place of the 40-byte one.
std::vector<uint8_t> WithLongHeader(const BmpSample& s, uint32_t headerSize);
// The same file stored top-down (negative height, rows in the other order).
std::vector<uint8_t> TopDown(const BmpSample& s);

void Put32At(std::vector<uint8_t>& file, size_t at, uint32_t v);
void Put16At(std::vector<uint8_t>& file, size_t at, uint16_t v);
