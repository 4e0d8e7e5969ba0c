// The Ascension configuration file on arbitrary text: its first line checked, up to 36 numbers
// read and sent, and the unit's 36 bytes compared with them.  The input's first 36 bytes are the
// unit's answer, the rest the file.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "fuzz_support.h"
#include "fuzz_vt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  size_t answer = size < 36 ? size : 36;
  fuzzvt::play(data, answer);
  static const std::string name = fuzzsupport::inputname("fuzz-ascension-", ".config");
  if (!fuzzsupport::writeinput(name, data + answer, size - answer)) return 0;
  VtTracker *t = vt_create_Tracker("bird", 0, nullptr, 0, nullptr);
  t->port = vt_serial_open("FUZZ", 9600);
  int result = ascension_config(name.c_str());
  // 'C' and 36 values go out, then the request for them back.
  if (result >= 1 && vtbytes::script().written.size() != 39) abort();
  vt_destroy_Tracker(t);
  remove(name.c_str());
  fuzzvt::cleanup();
  return 0;
}
