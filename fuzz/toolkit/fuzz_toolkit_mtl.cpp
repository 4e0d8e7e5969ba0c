// MTL material files and map libraries over any bytes: a table with one entry a material, or
// none, and maps with textures.
#include "fuzz_polyformats.h"
#include "toolkit/loaders/wfront.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzzsupport::prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!fuzzsupport::writeinput(fuzzsupport::inputpath(), data, size)) abort();
  WTuniverse_setoption(13, size && (data[size - 1] & 1));
  if (WTmtable *table = _WTwfront_read_mtllib("fuzz.mtl")) {
    if (WTmtable_getnumentries(table) <= 0) abort();
    _WTmtable_delete(table);
  }
  _WTwfront_read_maplib("fuzz.map");
  _WTwfront_freelists();
  return 0;
}
