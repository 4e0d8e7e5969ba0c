// The light file reader on arbitrary text: every light it makes hangs under one group.
#include <stdint.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzsupport::quietuniverse();
  static const std::string path = fuzzsupport::inputname("fuzz-lights-", ".txt");
  if (!fuzzsupport::writeinput(path, data, size)) return 0;
  WTnode *group = WTgroupnode_new(WTuniverse_getrootnodes());
  WTlightnode_load(group, path.c_str());
  WTnode_delete(group);
  remove(path.c_str());
  return 0;
}
