// The gesture unit behind the glove server on arbitrary bytes from the box: recognised-symbol
// records, command answers (status, error texts) and recognition databases in pieces, taken in
// turn until the bytes run out.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "fuzz_support.h"
#include "fuzz_vt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzvt::play(data, size);
  static const std::string database = fuzzsupport::inputname("fuzz-gesture-", ".rdb");
  VtGesture *g = vt_create_GesturePlus(1, "FUZZ", 9600, 0);
  if (!g || g->channel < 0) abort();
  vt_set_debug(1);
  for (int rounds = 0; !fuzzvt::finished() && rounds < 10000; rounds++) {
    size_t before = fuzzvt::consumed();
    int symbol = vt_get_gesture(g->channel);
    if (symbol < -1 || symbol > 255) abort();
    if (rounds % 3 == 1) vt_send_gesture_command(VT_GESTURE_LOADUSER, "user", nullptr);
    if (rounds % 3 == 2) vt_send_gesture_command(VT_GESTURE_GETRDB, "user", database.c_str());
    if (fuzzvt::consumed() == before) break;
  }
  vt_set_debug(0);
  vt_destroy_GesturePlus(g);
  remove(database.c_str());
  fuzzvt::cleanup();
  return 0;
}
