// Cells of the grid control by row and column, and the text the grid exchanges with the
// clipboard and with drag and drop (portable: built in both configurations).
//
// Copy text: one line per row of a range, top to bottom, separated by "\n" (no carriage return,
// none after the last line); within a line one field per column, separated by "\t". A field is
// the cell's text when the cell is selected, one blank for a selected empty cell, and empty for
// a cell of the range that is not selected. The text ends with one zero byte.
//
// Paste text is read up to its first zero byte, and never past the end of its block. A line
// ends at "\n"; fields are separated by tabs, commas or line feeds, a run of separators counting
// as one; each field is trimmed of white space (carriage returns included). An empty line
// followed by a line feed is one blank field.
#pragma once
#include <cstddef>
#include <functional>

#include "afx/afx.h"

// A cell by row and column; (-1, -1) names no cell.
struct GridCellRef {
  int row = -1;
  int col = -1;
  GridCellRef() = default;
  GridCellRef(int nRow, int nCol) : row(nRow), col(nCol) {}
  bool operator==(const GridCellRef& other) const { return row == other.row && col == other.col; }
  bool operator!=(const GridCellRef& other) const { return !(*this == other); }
};

// Keys of the grid's cell maps: the whole row and column take part.
template <>
inline UINT HashKey<const GridCellRef&>(const GridCellRef& key) {
  return (UINT)key.row * 0x9E3779B1u ^ (UINT)key.col * 0x85EBCA77u;
}

// A block of cells, all four bounds inclusive.
struct GridCellRange {
  int minRow = -1;
  int minCol = -1;
  int maxRow = -1;
  int maxCol = -1;
};

// What the copy text needs of a grid.
class GridTextCells {
 public:
  virtual ~GridTextCells() = default;
  virtual bool IsCellSelected(int row, int col) const = 0;
  virtual CString CellText(int row, int col) const = 0;
};

// Writes the copy text of the range, a line at a time, then the zero byte.
void WriteGridCopyText(const GridTextCells& cells, const GridCellRange& range, CFile& out);

// Calls fn(line, field, text) for every field of the paste text in data (size bytes at most),
// lines from 0, fields from 0 within their line; lines from maxLines on and fields from
// maxFields on are passed over.
using GridPasteField = std::function<void(int line, int field, const CString& text)>;
void SplitGridPasteText(const char* data, size_t size, int maxLines, int maxFields, const GridPasteField& fn);
