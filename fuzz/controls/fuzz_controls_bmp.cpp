// Checks arbitrary bytes as a .bmp file. Whatever the input, the check must refuse it or give a
// packed DIB of exactly the size its header states, without reading outside the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "controls/bmpfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> dib = bmp::PackedDibFromFile(data, size);
  if (dib.empty()) return 0;
  const bmp::InfoHeader h = bmp::ReadInfoHeader(dib.data());
  const size_t expected = bmp::kInfoHeaderSize + bmp::PackedTableBytes(h) +
                          bmp::DibPaddedBytesPerLine(h.bitCount, (unsigned)h.width) * (size_t)h.height;
  if (h.size != bmp::kInfoHeaderSize || h.height < 1 || dib.size() != expected) std::abort();
  return 0;
}
