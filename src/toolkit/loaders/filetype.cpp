// Telling a model file's format from its first bytes.
#include <string.h>

#include "toolkit/loaders/loaders.h"

namespace {

constexpr size_t kHeadSize = 8;

struct Signature {
  const char *bytes;
  size_t length;
  WTfiletype type;
};

// Tested in this order; the first prefix that matches wins.  "0\n" comes early on purpose:
// any file that begins with a zero digit and a line end is taken for DXF.
const Signature kSignatures[] = {
    {"//lights", 8, 15}, {"2424", 4, 6},  {"2323", 4, 7},      {"  0\n", 4, 1},
    {"0\n", 2, 1},       {"999\n", 4, 1}, {"3DG1", 4, 5},      {"nff", 3, 2},
    {"s8", 2, 2},        {"bnff", 4, 11}, {"mat", 3, 13},      {"\0\1", 2, 8},
    {"MM", 2, 9},        {"==", 2, 9},    {"solid", 5, 12},    {"#VRML V1", 8, 14},
    {"#VRML V2", 8, 17}, {"WBDF", 4, 16}, {"Version", 7, 18},
};

// The first bytes with every CR taken out and the rest moved forward.  The places freed at the
// end keep what stood there; bytes past the end of a short file count as zero.
void readhead(FILE *file, unsigned char head[kHeadSize]) {
  memset(head, 0, kHeadSize);
  size_t n = fread(head, 1, kHeadSize, file);
  (void)n;
  size_t kept = 0;
  for (size_t i = 0; i < kHeadSize; i++)
    if (head[i] != '\r') head[kept++] = head[i];
}

}  // namespace

extern "C" WTfiletype _WTfile_gettype(const char *path) {
  if (!path) return 0;
  FILE *file = _WTfile_open(path, "rt");
  if (!file) return 0;
  unsigned char head[kHeadSize];
  readhead(file, head);
  fclose(file);
  for (const Signature &s : kSignatures)
    if (memcmp(head, s.bytes, s.length) == 0) return s.type;
  return 4;
}
