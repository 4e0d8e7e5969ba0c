// The texture image readers on arbitrary bytes: whatever the file, a read either fails or gives
// an image of the size it reports, which the sizing then brings to OpenGL's sides.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "toolkit/render/images.h"

// The readers report damaged files on the standard error stream: the fuzzer closes it for the
// target and keeps its own copy for its reports.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  static std::vector<char *> args;
  static char quiet[] = "-close_fd_mask=2";
  args.assign(*argv, *argv + *argc);
  args.insert(args.begin() + 1, quiet);
  args.push_back(nullptr);
  *argc = static_cast<int>(args.size()) - 1;
  *argv = args.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static bool ready = [] {
    for (int level : {WTMSG_WARNING, WTMSG_INFO}) _WTmsg_setrouting(level, 0, nullptr);
    // Headers may ask for images of up to 2 GB; keep each run small and quick.
    _WTimage_setceiling(4u << 20);
    return true;
  }();
  (void)ready;
  static const std::string path = "fuzz-image-" + std::to_string(getpid()) + ".img";
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  _WTtexture_forgetfailures();
  int w = 0, h = 0;
  unsigned char *pixels = _WTimage_read(path.c_str(), &w, &h);
  if (pixels) {
    volatile unsigned char last = pixels[static_cast<size_t>(w) * h * 4 - 1];
    (void)last;
    pixels = _WTtexture_fitsize(pixels, &w, &h, 64, size & 1);
    if (!pixels || w > 64 || h > 64 || (w & (w - 1)) || (h & (h - 1))) abort();
    _WTmem_free(pixels);
  }
  remove(path.c_str());
  return 0;
}
