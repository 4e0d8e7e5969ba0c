// Tracker sample records on arbitrary bytes: the first byte chooses the model (Polhemus 32- or
// 16-bit bodies, Ascension 7-bit packed words), the receivers read and group mode; records are
// read until the bytes run out.  Every Ascension word rebuilt from a record keeps its low two
// bits clear.
#include <stdint.h>
#include <stdlib.h>

#include "fuzz_vt.h"

namespace {

const char *const kModels[] = {"fastrak", "isotrak", "isotrakII", "bird", "flock"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  fuzzvt::play(data + 1, size - 1);
  int model = data[0] % 5;
  VtTracker *t = vt_create_Tracker(kModels[model], 0, nullptr, 0, nullptr);
  t->port = vt_serial_open("FUZZ", 9600);
  t->device = 1 + (data[0] >> 3 & 15) % 15;
  t->calibration->words[1] = data[0] >> 7;
  for (int rounds = 0; !fuzzvt::finished() && rounds < 10000; rounds++) {
    size_t before = fuzzvt::consumed();
    if (vt_tracker_read_sample() >= 1 && model >= VT_BIRD)
      for (int r = 0; r < VT_RECEIVERS; r++)
        for (int i = 0; i < 6; i++)
          if ((t->device >> r & 1) && (t->words[r][i] & 3)) abort();
    if (fuzzvt::consumed() == before) break;
  }
  vt_destroy_Tracker(t);
  fuzzvt::cleanup();
  return 0;
}
