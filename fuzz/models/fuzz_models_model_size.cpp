// Reads arbitrary bytes as a library model and measures it as the place tools do. Whatever the
// input, measuring ends without reading outside the data, overflowing, leaking or crashing, and
// a size it gives is made of numbers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "models/librarymodel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vedra-fuzz-model-size-" + std::to_string(static_cast<long long>(getpid())) + ".3ds";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  float box[3] = {0.0f, 0.0f, 0.0f};
  ReadModelSize3ds(path.c_str(), box);
  return 0;
}
