// GEO files over any bytes: a closed geometry over its own vertices, or none.
#include "fuzz_polyformats.h"
#include "toolkit/loaders/geoslp.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzzsupport::prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = fuzzsupport::streamof(data, size);
  fuzzsupport::checkandfree(_WTgeo_read_geometry(f, 1.0f));
  fclose(f);
  return 0;
}
