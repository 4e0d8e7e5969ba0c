// Reads arbitrary bytes as a part's texture-coordinate file. The first byte gives how many
// polygons the part has (low three bits), the next bytes their vertex counts, the rest is the
// file. Whatever the input, the reader ends without reading outside the data, and what it
// accepts has, for every polygon, its vertex count (at least three) of pairs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "models/scratchfiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t polygons = data[0] & 7u;
  if (size < 1 + polygons) return 0;
  std::vector<int> counts(data + 1, data + 1 + polygons);
  std::vector<UvPolygon> out;
  if (!DecodeUvFile(data + 1 + polygons, size - 1 - polygons, kUvFileKey, counts, out)) return 0;
  if (out.size() != counts.size()) std::abort();
  for (size_t i = 0; i < out.size(); ++i) {
    const size_t n = counts[i] < 3 ? 3u : static_cast<size_t>(counts[i]);
    if (out[i].u.size() != n || out[i].v.size() != n) std::abort();
  }
  return 0;
}
