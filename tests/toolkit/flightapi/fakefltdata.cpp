// A stand-in for the OpenFlight API's code-table library.  Built without its attribute table
// (FLT_NO_TABLE) it stands for a library of another version.
#include <stdint.h>
#include <string.h>

#include "fakeflt.h"

#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

namespace {

template <size_t N>
void fill(unsigned char *table, const fakeflt::Slot (&slots)[N]) {
  for (const auto &s : slots) {
    int32_t code = s.code;
    memcpy(table + s.offset, &code, sizeof code);
  }
}

}  // namespace

extern "C" {
EXPORT unsigned char FltRecordCodeMap[0x300];
#ifndef FLT_NO_TABLE
EXPORT unsigned char FltDataCodeMap[0x900];
#else
EXPORT unsigned char FltDataCodeMap_v2[0x900];
#define FltDataCodeMap FltDataCodeMap_v2
#endif
}

namespace {
struct Filler {
  Filler() {
    fill(FltRecordCodeMap, fakeflt::kRecordSlots);
    fill(FltDataCodeMap, fakeflt::kDataSlots);
  }
} filler;
}  // namespace
