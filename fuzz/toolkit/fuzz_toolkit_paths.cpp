// The path file reader on arbitrary text: a path it reads is listed once and deleted again; a
// file it refuses leaves no path behind.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "toolkit/wt.h"

namespace {

int countpaths() {
  int n = 0;
  for (WTpath *p = _WTuniverse_getpaths(); p; p = _WTpath_next(p)) n++;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static bool ready = [] {
    for (int level : {WTMSG_WARNING, WTMSG_INFO}) _WTmsg_setrouting(level, 0, nullptr);
    WTuniverse_new(512, 0);
    return true;
  }();
  (void)ready;
  static const std::string name = "fuzz-path-" + std::to_string(getpid()) + ".pth";
  FILE *f = fopen(name.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  int before = countpaths();
  WTpath *p = _WTpath_load(name.c_str(), nullptr);
  if (countpaths() != before + (p ? 1 : 0)) abort();
  if (p) {
    if (WTpath *smooth = _WTpath_interpolate(p, 2, 1 + static_cast<int>(size % 3)))
      WTpath_delete(smooth);
    WTpath_delete(p);
  }
  WTuniverse_go1();
  remove(name.c_str());
  return 0;
}
