// The light file reader on arbitrary text: every light it makes hangs under one group.
#include <stdint.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

#include "toolkit/wt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static bool ready = [] {
    for (int level : {WTMSG_WARNING, WTMSG_INFO}) _WTmsg_setrouting(level, 0, nullptr);
    WTuniverse_new(512, 0);
    return true;
  }();
  (void)ready;
  static const std::string path = "fuzz-lights-" + std::to_string(getpid()) + ".txt";
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  WTnode *group = WTgroupnode_new(WTuniverse_getrootnodes());
  WTlightnode_load(group, path.c_str());
  WTnode_delete(group);
  remove(path.c_str());
  return 0;
}
