// GIF images over any bytes: decoded pixels must fill the image the header announces.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/render/images.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  int w = 0, h = 0;
  unsigned char *rgba = _WTgif_decode(data, size, &w, &h);
  if (!rgba) return 0;
  if (w <= 0 || h <= 0) abort();
  volatile unsigned char last = rgba[size_t(w) * size_t(h) * 4 - 1];
  (void)last;
  _WTmem_free(rgba);
  return 0;
}
