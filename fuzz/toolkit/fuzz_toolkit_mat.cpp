// The material file reader on arbitrary text: each table read is deleted again.
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "fuzz_support.h"
#include "toolkit/geometry/geometry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzsupport::quietuniverse();
  static const std::string name = fuzzsupport::inputname("fuzz-mat-", "");
  static const std::string path = name + ".mat";
  if (!fuzzsupport::writeinput(path, data, size)) return 0;
  if (WTmtable *table = _WTmtable_load(name.c_str())) _WTmtable_delete(table);
  remove(path.c_str());
  return 0;
}
