// What the toolkit's file fuzz targets share: a quiet universe, and each input as a file.
#pragma once

#include <stdint.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

#include "toolkit/wt.h"

namespace fuzzsupport {

// Once per process: warnings and information off, one universe.
inline void quietuniverse() {
  static bool ready = [] {
    for (int level : {WTMSG_WARNING, WTMSG_INFO}) _WTmsg_setrouting(level, 0, nullptr);
    WTuniverse_new(512, 0);
    return true;
  }();
  (void)ready;
}

// Writes the input to a file of this process (prefix + pid + extension); false when it cannot.
inline bool writeinput(const std::string &path, const uint8_t *data, size_t size) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) return false;
  fwrite(data, 1, size, f);
  fclose(f);
  return true;
}

inline std::string inputname(const char *prefix, const char *extension) {
  return prefix + std::to_string(getpid()) + extension;
}

}  // namespace fuzzsupport
