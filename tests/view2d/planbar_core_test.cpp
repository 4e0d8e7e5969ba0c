// The bar's length fields: what typing leaves in a field and where the caret stays.
#include <gtest/gtest.h>

#include <optional>

#include "view2d/planbar_core.h"

TEST(BarLength, RewrittenWithTheCaretKeptInTheNumber) {
  struct Case {
    const char* typed;
    int caret;
    std::optional<int32_t> minimum;
    int32_t value;
    const char* text;
    int newCaret;
  };
  const Case cases[] = {
      {"1", 1, 0, 1, "1mm", 1},             // the whole text replaced by a 1
      {"12mm", 2, 0, 12, "12mm", 2},        // then a 2: the caret after it
      {"", 0, 0, 0, "0mm", 0},              // the whole text deleted: before the 0
      {"10mm", 1, 0, 10, "10mm", 1},        // typing in front of the 0
      {"120mm", 2, 0, 120, "120mm", 2},
      {"-0mm", 1, std::nullopt, -10, "-10mm", 1},  // a minus in front of 0mm
      {"-", 1, std::nullopt, -10, "-10mm", 1},
      {"-mm", 1, 0, 0, "0mm", 1},           // raised to the minimum
      {"-250mm", 4, std::nullopt, -250, "-250mm", 4},
      {"-250mm", 4, 0, 0, "0mm", 1},
      {"abc", 3, 0, 0, "0mm", 1},           // no digits
      {"900mmx", 6, 0, 900, "900mm", 3},    // the caret never leaves the number
      {"99999999999mm", 5, 0, 5000000, "5000000mm", 5},  // bounded: the plan opens again
      {"-99999999999mm", 5, std::nullopt, -5000000, "-5000000mm", 5},
  };
  for (const Case& c : cases) {
    const RewrittenLength r = RewriteLength(c.typed, c.caret, c.minimum);
    EXPECT_EQ(r.value, c.value) << c.typed;
    EXPECT_STREQ(r.text, c.text) << c.typed;
    EXPECT_EQ(r.caret, c.newCaret) << c.typed;
  }
}
