// OpenFlight files over any bytes, each external reference read from the same bytes: a node
// tree or none, freed again.
#include "fuzz_polyformats.h"
#include "toolkit/loaders/mgen.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzzsupport::prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!fuzzsupport::writeinput(fuzzsupport::inputpath(), data, size)) abort();
  _WTmgen_setmode(10, size && (data[size - 1] & 1));
  if (WTnode *root = _WTnode_loadmgen("fuzz.flt")) WTnode_delete(root);
  return 0;
}
