// Splits arbitrary bytes as pasted grid text. The first two bytes give the grid's room (lines
// and fields); the rest is the block, read only up to its end. Every field must lie in that
// room, come in order, and hold no separator and no white space at either end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "controls/gridtext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int maxLines = data[0] % 64, maxFields = data[1] % 16;
  int lastLine = -1, lastField = -1;
  SplitGridPasteText(reinterpret_cast<const char*>(data + 2), size - 2, maxLines, maxFields,
                     [&](int line, int field, const CString& text) {
                       if (line < 0 || line >= maxLines || field < 0 || field >= maxFields) std::abort();
                       if (line < lastLine || (line == lastLine && field <= lastField)) std::abort();
                       lastLine = line;
                       lastField = field;
                       const char* s = text;
                       const size_t n = strlen(s);
                       if (n != (size_t)text.GetLength() || strpbrk(s, "\t,\n")) std::abort();
                       if (n && (strchr(" \t\r\n\v\f", s[0]) || strchr(" \t\r\n\v\f", s[n - 1]))) std::abort();
                     });
  return 0;
}
