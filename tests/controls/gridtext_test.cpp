// The grid's copy text and the splitting of pasted text (the native build runs this under
// ASan/UBSan: a block without a zero byte is read exactly to its end).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "controls/gridtext.h"
#include "fuzz_seeds.h"

namespace {

// Cells by (row, column); a cell is selected when it has an entry.
struct Cells : GridTextCells {
  std::map<std::pair<int, int>, CString> selected;
  bool IsCellSelected(int row, int col) const override { return selected.count({row, col}) > 0; }
  CString CellText(int row, int col) const override { return selected.at({row, col}); }
};

// The bytes of a literal, an explicit "\0" included.
template <size_t N>
std::string Bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}

std::string Copy(const Cells& cells, const GridCellRange& range) {
  CMemFile file;
  WriteGridCopyText(cells, range, file);
  const ULONGLONG n = file.GetLength();
  std::string text((size_t)n, '?');
  file.SeekToBegin();
  file.Read(&text[0], (UINT)n);
  return text;
}

TEST(GridText, CopyWritesTabsLineFeedsBlanksForEmptyCellsAndOneZeroByte) {
  Cells cells;
  cells.selected = {{{5, 2}, "a"}, {{5, 3}, ""}, {{5, 4}, "c"}, {{6, 2}, "d"}, {{6, 3}, "e"}, {{6, 4}, "한글"}};
  EXPECT_EQ(Copy(cells, {5, 2, 6, 4}), Bytes("a\t \tc\nd\te\t한글\0"));
  cells.selected.erase({5, 4});
  cells.selected.erase({6, 2});
  EXPECT_EQ(Copy(cells, {5, 2, 6, 4}), Bytes("a\t \t\n\te\t한글\0")) << "unselected cells of the range stay empty";
}

using Fields = std::vector<std::string>;  // "line,field=text"

Fields Paste(const std::string& text, int maxLines = 100, int maxFields = 100) {
  std::vector<char> block(text.begin(), text.end());  // exact size: no zero byte unless the text has one
  block.shrink_to_fit();
  Fields out;
  SplitGridPasteText(block.data(), block.size(), maxLines, maxFields, [&](int line, int field, const CString& s) {
    out.push_back(std::to_string(line) + "," + std::to_string(field) + "=" + (LPCTSTR)s);
  });
  return out;
}

TEST(GridText, PasteSplitsLinesAndFields) {
  struct Case {
    const char* what;
    std::string text;
    Fields fields;
  };
  const Case cases[] = {
      {"commas, tabs and a line feed", "1,2\n3\t4", {"0,0=1", "0,1=2", "1,0=3", "1,1=4"}},
      {"carriage returns are trimmed", "1,2\r\n3\t4\r\n", {"0,0=1", "0,1=2", "1,0=3", "1,1=4"}},
      {"a run of separators is one", "a\t\t,b\n\tc", {"0,0=a", "0,1=b", "1,0=c"}},
      {"an empty line is one blank", "a\n\nb", {"0,0=a", "1,0=", "2,0=b"}},
      {"blanks around a field go", "  한글 \t x y ", {"0,0=한글", "0,1=x y"}},
      {"the first zero byte ends the text", Bytes("a\tb\0c\nd"), {"0,0=a", "0,1=b"}},
      {"a blank field stays a field", "a\t \tc", {"0,0=a", "0,1=", "0,2=c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Paste(c.text), c.fields) << c.what;
}

TEST(GridText, PasteDropsWhatLiesPastTheLastRowOrColumn) {
  EXPECT_EQ(Paste("a\tb\tc\nd\te\tf\ng", 2, 2), (Fields{"0,0=a", "0,1=b", "1,0=d", "1,1=e"}));
  EXPECT_EQ(Paste("a\n\nb", 5, 0), Fields{});
  EXPECT_EQ(Paste(""), Fields{});
}

TEST(FuzzSeeds, GridPasteTexts) {
  const std::string seeds[] = {"1,2\n3\t4", "a\t \tc\r\nd\te\t한글\n\n", Bytes("x\0y")};
  for (size_t i = 0; i < 3; i++)
    EXPECT_TRUE(WriteFuzzSeed("controls/gridpaste", "text" + std::to_string(i), seeds[i].data(), seeds[i].size()));
}

}  // namespace
