// Seed inputs for the fuzz targets come from the tests' own fixtures. A test that builds seeds
// writes them only when asked: VEDRA_FUZZ_SEEDS names the repository's fuzz folder, and each seed
// goes to <that folder>/<target folder>/corpus/seed_<name>.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

// Writes one seed when seeds are asked for; false only when writing failed.
inline bool WriteFuzzSeed(const char* target, const std::string& name, const void* data, size_t size) {
  const char* root = std::getenv("VEDRA_FUZZ_SEEDS");
  if (!root || !*root) return true;
  const std::string path = std::string(root) + "/" + target + "/corpus/seed_" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && written;
}
