// VRML 1.0 documents over any bytes: each input is read into nodes, written back and read again.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "fuzz_support.h"
#include "toolkit/loaders/vrml.h"
#include "toolkit/render/render.h"

namespace {

std::string input, output;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzzsupport::quietuniverse();
  input = fuzzsupport::inputname("/tmp/fuzz_toolkit_vrml_", ".wrl");
  output = fuzzsupport::inputname("/tmp/fuzz_toolkit_vrml_out_", ".wrl");
  atexit([] {
    unlink(input.c_str());
    unlink(output.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!fuzzsupport::writeinput(input, data, size)) abort();
  WTnode *holder = WTsepnode_new(nullptr);
  if (_WTnode_loadvrml(holder, input.c_str())) {
    if (!WTnode_save(holder, output.c_str(), nullptr, 14, 0)) abort();
    WTnode *again = WTsepnode_new(nullptr);
    _WTnode_loadvrml(again, output.c_str());
    WTnode_delete(again);
  }
  WTnode_delete(holder);
  // The universe keeps every texture it was given; dropping them with their geometries keeps the
  // list, and each leak check's heap, from growing with every input.
  _WTtexture_deleteall();
  return 0;
}
