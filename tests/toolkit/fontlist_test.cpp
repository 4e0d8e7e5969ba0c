// The bitmap-font list: face names, sizes, skipped lines and the limit on fonts.
#include <stdio.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene.h"
#include "toolkit/render/fontlist.h"

namespace {

TEST(FontList, LinesGiveFaceNameAndSize) {
  struct Case {
    const char *line;
    bool used;
    const char *name;
    int size;
  } const cases[] = {
      {"Courier New 12\n", true, "Courier New", 12},
      {"  Times \t New   Roman\t16 \r\n", true, "Times New Roman", 16},
      {"Arial\n", true, "Arial", 0},
      {"Gulim Che\n", true, "Gulim Che", 0},
      {"\n", false, "", 0},
      {"", false, "", 0},
      {"8\n", true, "8", 0},
  };
  for (const Case &c : cases) {
    WTfontline font;
    ASSERT_EQ(_WTfont_parseline(c.line, &font) != 0, c.used) << c.line;
    if (!c.used) continue;
    EXPECT_EQ(std::string(font.name), c.name) << c.line;
    EXPECT_EQ(font.size, c.size) << c.line;
  }
}

int record(const WTfontline *font, void *context) {
  auto *made = static_cast<std::vector<std::string> *>(context);
  if (font->size < 0) return 0;  // a face the system cannot make
  made->push_back(font->name);
  return 1;
}

TEST(FontList, ReadingStopsAtTheTableSize) {
  std::string text = "First 10\n\nBroken -1\n";
  for (int i = 0; i < kMaxFonts + 5; i++) text += "Face" + std::to_string(i) + " 9\n";
  // Not named font.vav: a universe started in this folder would build every face of it.
  std::string path = tk::writefile("fontlist-limit.txt", text);
  FILE *f = fopen(path.c_str(), "r");
  ASSERT_TRUE(f);
  std::vector<std::string> made;
  EXPECT_EQ(_WTfont_readlist(f, record, &made), kMaxFonts);
  fclose(f);
  remove(path.c_str());
  ASSERT_EQ(made.size(), size_t(kMaxFonts));
  EXPECT_EQ(made[0], "First");
  EXPECT_EQ(made[1], "Face0");
  EXPECT_EQ(made.back(), "Face253");
}

}  // namespace
