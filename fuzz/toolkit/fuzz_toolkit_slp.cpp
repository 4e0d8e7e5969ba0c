// SLP files over any bytes: closed geometries over their own vertices, or none.
#include "fuzz_polyformats.h"
#include "toolkit/loaders/geoslp.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzzsupport::prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = fuzzsupport::streamof(data, size);
  WTgeomlist *list = _WTslp_read_geometries(f, "fuzz.slp", 1.0f);
  fclose(f);
  for (WTgeomlist *c = list; c; c = c->next) fuzzsupport::checkandfree(c->geometry);
  _WTgeomlist_delete(list);
  return 0;
}
