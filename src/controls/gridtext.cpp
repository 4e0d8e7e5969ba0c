#include "controls/gridtext.h"

#include <cstring>
#include <string>

void WriteGridCopyText(const GridTextCells& cells, const GridCellRange& range, CFile& out) {
  std::string line;
  for (int row = range.minRow; row <= range.maxRow; row++) {
    line.clear();
    if (row > range.minRow) line += '\n';
    for (int col = range.minCol; col <= range.maxCol; col++) {
      if (col > range.minCol) line += '\t';
      if (!cells.IsCellSelected(row, col)) continue;
      const CString text = cells.CellText(row, col);
      line += text.IsEmpty() ? " " : (LPCTSTR)text;
    }
    out.Write(line.data(), (UINT)line.size());
  }
  out.Write("", 1);
}

namespace {

bool IsSeparator(char c) { return c == '\t' || c == ',' || c == '\n'; }

// The fields of one line [p, end): runs of separators count as one.
void SplitLine(const char* p, const char* end, int line, int maxFields, const GridPasteField& fn) {
  for (int field = 0; field < maxFields; field++) {
    while (p < end && IsSeparator(*p)) p++;
    if (p == end) return;
    const char* start = p;
    while (p < end && !IsSeparator(*p)) p++;
    CString text(start, (int)(p - start));
    fn(line, field, text.Trim());
  }
}

}  // namespace

void SplitGridPasteText(const char* data, size_t size, int maxLines, int maxFields, const GridPasteField& fn) {
  if (data == NULL) return;
  const char* zero = (const char*)memchr(data, '\0', size);
  const char* end = zero ? zero : data + size;
  const char* p = data;
  for (int line = 0; line < maxLines; line++) {
    const char* lf = (const char*)memchr(p, '\n', (size_t)(end - p));
    const char* lineEnd = lf ? lf : end;
    if (lf && lineEnd == p && maxFields > 0)
      fn(line, 0, CString());  // an empty line is one blank field
    else
      SplitLine(p, lineEnd, line, maxFields, fn);
    if (!lf) return;
    p = lf + 1;
  }
}
