// Wavefront OBJ files over any bytes, with every material file, map library and texture the
// file names read from the same bytes: a closed geometry over its own vertices, or none.
#include "fuzz_polyformats.h"
#include "toolkit/loaders/wfront.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzzsupport::prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!fuzzsupport::writeinput(fuzzsupport::inputpath(), data, size)) abort();
  WTuniverse_setoption(3, size && (data[size - 1] & 1));
  FILE *f = fuzzsupport::streamof(data, size);
  fuzzsupport::checkandfree(_WTwfront_read_geometry(f, "fuzz.obj", 1.0f));
  fclose(f);
  if (_WTwfront_materialtexture("wood")) abort();  // the lists end empty
  return 0;
}
