// The path file reader on arbitrary text: a path it reads is listed once and deleted again; a
// file it refuses leaves no path behind.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "fuzz_support.h"
#include "toolkit/wt.h"

namespace {

int countpaths() {
  int n = 0;
  for (WTpath *p = _WTuniverse_getpaths(); p; p = _WTpath_next(p)) n++;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzsupport::quietuniverse();
  static const std::string name = fuzzsupport::inputname("fuzz-path-", ".pth");
  if (!fuzzsupport::writeinput(name, data, size)) return 0;
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
