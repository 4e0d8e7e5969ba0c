// The text reader: tokens, comments, continued lines, numbers, colours and the caret report.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support.h"
#include "toolkit/loaders/numbers.h"

namespace {

// A reader over the text, through a stream that the test owns.
class Text {
 public:
  explicit Text(const std::string &text, const char *comment = "//") : file_(tmpfile()) {
    fwrite(text.data(), 1, text.size(), file_);
    rewind(file_);
    reader_ = _WTreader_open("test.mat", file_, comment);
  }
  ~Text() {
    _WTreader_close(reader_);
    fclose(file_);
  }
  Text(const Text &) = delete;
  Text &operator=(const Text &) = delete;
  operator WTreader *() const { return reader_; }

  // The rest of the current logical line.
  std::vector<std::string> line() const {
    std::vector<std::string> tokens;
    while (const char *t = _WTreader_linetoken(reader_)) tokens.push_back(t);
    return tokens;
  }

 private:
  FILE *file_;
  WTreader *reader_;
};

using Tokens = std::vector<std::string>;

TEST(Reader, CommentsAndContinuedLines) {
  const struct {
    const char *text, *comment;
    Tokens first, second;
  } cases[] = {
      {"1.0 2.0 // three\n4\n", "//", {"1.0", "2.0"}, {"4"}},
      {"1.0// x\n", "//", {"1.0"}, {}},
      {"a //b c\n", "//", {"a"}, {}},
      {"a / / b\n", "//", {"a", "/", "/", "b"}, {}},  // no marker across tokens
      {"v 1#n 2\n", "#", {"v", "1"}, {}},
      {"a b \\\nc\nd\n", "//", {"a", "b", "c"}, {"d"}},
      {"a b\\\nc\n", "//", {"a", "b", "c"}, {}},
      {"a \\ // joined\n\tc \\\r\n\n", "//", {"a", "c"}, {}},
      {"a \\", "//", {"a"}, {}},  // a backslash at the end of the file
      {"  \t\r\n", "//", {}, {}},
  };
  for (const auto &c : cases) {
    Text t(c.text, c.comment);
    EXPECT_EQ(t.line(), c.first) << c.text;
    EXPECT_EQ(t.line(), Tokens()) << "stays at the end of the logical line";
    _WTreader_readline(t);
    EXPECT_EQ(t.line(), c.second) << c.text;
  }
}

TEST(Reader, NextTokenSkipsEmptyAndCommentLines) {
  Text t("// header only\n\n   \nnff // magic\n\n1 2\n");
  EXPECT_STREQ(_WTreader_nexttoken(t), "nff");
  EXPECT_STREQ(_WTreader_nexttoken(t), "1");
  EXPECT_EQ(_WTreader_tokenpos(t), 1);
  EXPECT_EQ(_WTreader_numtokens(t), 2);
  EXPECT_STREQ(_WTreader_nexttoken(t), "2");
  EXPECT_EQ(_WTreader_nexttoken(t), nullptr);
  EXPECT_EQ(_WTreader_nexttoken(t), nullptr);

  Text empty("");
  EXPECT_EQ(_WTreader_nexttoken(empty), nullptr);
  EXPECT_EQ(_WTreader_nextline(empty), 0);

  Text lines("\n// x\n\nlast\n");
  EXPECT_EQ(_WTreader_nextline(lines), 1);
  EXPECT_STREQ(_WTreader_linetoken(lines), "last");
}

TEST(Reader, PushbackGivesBackOneTakenToken) {
  Text t("a b\nc\n");
  EXPECT_EQ(_WTreader_pushback(t), 0);
  EXPECT_STREQ(_WTreader_linetoken(t), "a");
  EXPECT_EQ(_WTreader_pushback(t), 1);
  EXPECT_EQ(_WTreader_pushback(t), 0);
  EXPECT_STREQ(_WTreader_linetoken(t), "a");
  EXPECT_STREQ(_WTreader_linetoken(t), "b");
  _WTreader_readline(t);
  EXPECT_EQ(_WTreader_pushback(t), 0);
}

TEST(Reader, LongLinesAndTooManyTokens) {
  std::string many;
  for (int i = 0; i < 267; i++) many += "x ";
  std::string fits = many.substr(2);
  Text t(std::string(1100, 'a') + "\n" + fits + "\n" + many + "\nend\n");
  tk::Captured messages;
  EXPECT_EQ(strlen(_WTreader_nexttoken(t)), 1023u);
  EXPECT_EQ(strlen(_WTreader_nexttoken(t)), 77u) << "the rest arrives as a second physical line";
  EXPECT_STREQ(_WTreader_nexttoken(t), "x");
  EXPECT_EQ(_WTreader_numtokens(t), 266);
  EXPECT_TRUE(messages.texts().empty());
  for (int i = 1; i < 266; i++) _WTreader_linetoken(t);
  EXPECT_STREQ(_WTreader_nexttoken(t), "end") << "the line of 267 tokens is skipped";
  EXPECT_EQ(messages.all(), "VAV Warning: Line 4 in 'test.mat' has more than 266 tokens: skipped.\n");
}

// The tokens of each physical line as a line reader on fgets sees them: at most 1023
// characters a line, the text ending at a NUL byte, no more than 266 tokens.
std::vector<Tokens> fgetslines(FILE *file) {
  std::vector<Tokens> lines;
  char buffer[1024];
  while (fgets(buffer, sizeof buffer, file)) {
    Tokens tokens;
    const char *const blanks = " \t\r\n";
    for (char *t = strtok(buffer, blanks); t; t = strtok(nullptr, blanks)) tokens.push_back(t);
    if (tokens.size() > 266) tokens.clear();
    lines.push_back(tokens);
  }
  return lines;
}

TEST(Reader, LinesAsFgetsCutsThemAcrossBlocks) {
  // Lines of every length around the line size, with NULs, CRs and blank runs, over several
  // blocks of input.
  std::mt19937 random(11);
  const char alphabet[] = {'a', 'b', ' ', '\t', '\r', '\0', 'x', 'y'};
  std::string text;
  while (text.size() < 300000) {
    const size_t length = random() % 4 ? random() % 80 : 1000 + random() % 60;
    for (size_t i = 0; i < length; i++) text += alphabet[random() % (random() % 8 ? 4 : 8)];
    text += '\n';
  }
  text += "last line without an end";
  FILE *oracle = tmpfile();
  fwrite(text.data(), 1, text.size(), oracle);
  rewind(oracle);
  const std::vector<Tokens> want = fgetslines(oracle);
  fclose(oracle);

  Text t(text, nullptr);
  tk::Captured messages;
  std::vector<Tokens> got = {t.line()};
  while (_WTreader_readline(t)) got.push_back(t.line());
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); i++) ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
  EXPECT_EQ(_WTreader_readline(t), 0) << "stays at the end";
}

TEST(Reader, StreamHandedInIsLeftPastTheLastLineTaken) {
  // Past a block of text, so that the reader has read ahead of the line it stopped at; CR LF
  // line ends, read through a text stream.
  std::string text;
  for (int i = 0; i < 9000; i++) text += "line " + std::to_string(i) + "\r\n";
  const std::string path = testing::TempDir() + "reader-giveback.txt";
  FILE *out = fopen(path.c_str(), "wb");
  fwrite(text.data(), 1, text.size(), out);
  fclose(out);
  for (int taken : {1, 7000}) {
    FILE *in = fopen(path.c_str(), "rt");
    WTreader *r = _WTreader_open("giveback", in, "//");
    for (int i = 1; i < taken; i++) _WTreader_readline(r);
    _WTreader_close(r);
    int line = -1;
    EXPECT_EQ(fscanf(in, "line %d", &line), 1);
    EXPECT_EQ(line, taken);
    fclose(in);
  }
  remove(path.c_str());
}

// The report's caret line: blanks on the error stream, then the caret as information.
struct Report {
  std::string blanks, messages;
};

template <typename Fn>
Report report(Fn fn) {
  tk::Captured messages;
  testing::internal::CaptureStderr();
  fn();
  Report r;
  r.blanks = testing::internal::GetCapturedStderr();
  r.messages = messages.all();
  return r;
}

TEST(Reader, FloatsStopAtPunctuationWithACaretUnderIt) {
  Text t("ab\t1,5\n");
  float value = 0;
  _WTreader_linetoken(t);
  Report r = report([&] { EXPECT_EQ(_WTreader_getfloat(t, &value, "Size"), 0); });
  EXPECT_EQ(value, 1.0f);
  EXPECT_EQ(r.blanks, std::string(9, ' ')) << "a, b, a tab to column 8, then 1";
  EXPECT_EQ(r.messages,
            "VAV Warning: Line 1 in 'test.mat'.\nab\t1,5\n^\n"
            "VAV Warning: Size invalid.  Remember not to use punctuation.\n");

  Text tab("\tx,\n");
  r = report([&] { EXPECT_EQ(_WTreader_getfloat(tab, &value, "Size"), 0); });
  EXPECT_EQ(r.blanks, std::string(8, ' '));
}

TEST(Reader, FloatsMissingAndGood) {
  Text t("1.5 -2e1 .25\n7\n");
  float v[3] = {};
  EXPECT_EQ(_WTreader_getfloat3(t, v, "Vector"), 1);
  EXPECT_EQ(v[0], 1.5f);
  EXPECT_EQ(v[1], -20.0f);
  EXPECT_EQ(v[2], 0.25f);
  _WTreader_readline(t);
  Report r = report([&] { EXPECT_EQ(_WTreader_getfloat2(t, v, "Point"), 0); });
  EXPECT_EQ(v[0], 7.0f);
  EXPECT_EQ(r.blanks, std::string(2, ' ')) << "two places after the line's last token";
  EXPECT_EQ(r.messages, "VAV Warning: Line 2 in 'test.mat'.\n7\n^\nVAV Warning: Point missing.\n");
}

TEST(Reader, HexColours) {
  const struct {
    const char *token;
    int ok;
    unsigned char red, green, blue;
  } cases[] = {
      {"0xF80", 1, 255, 136, 0},   {"0xFF8800", 1, 255, 136, 0}, {"F80", 1, 0, 15, 128},
      {"ff8800", 1, 255, 136, 0},  {"0x123", 1, 0x11, 0x22, 0x33}, {"12345", 1, 0x01, 0x23, 0x45},
      {"0xG", 0, 9, 9, 9},         {"12,3", 0, 9, 9, 9},
  };
  for (const auto &c : cases) {
    Text t(c.token);
    unsigned char red = 9, green = 9, blue = 9;
    Report r = report([&] { EXPECT_EQ(_WTreader_gethexcolor(t, &red, &green, &blue, "Color"), c.ok); });
    EXPECT_EQ(red, c.red) << c.token;
    EXPECT_EQ(green, c.green) << c.token;
    EXPECT_EQ(blue, c.blue) << c.token;
    if (!c.ok) {
      EXPECT_NE(r.messages.find("Color invalid.\n"), std::string::npos) << r.messages;
    }
  }
  Text none("\n");
  unsigned char red, green, blue;
  Report r = report([&] { EXPECT_EQ(_WTreader_gethexcolor(none, &red, &green, &blue, "Color"), 0); });
  EXPECT_NE(r.messages.find("Color missing.\n"), std::string::npos);
}

TEST(Reader, ErrorReportOnlyAfterATokenWasTaken) {
  Text t("a b\n");
  Report r = report([&] { EXPECT_EQ(_WTreader_error(t, 0, "Nothing yet.\n"), 0); });
  EXPECT_EQ(r.messages, "");
  _WTreader_linetoken(t);
  _WTreader_linetoken(t);
  r = report([&] { EXPECT_EQ(_WTreader_error(t, 0, "Unknown light type.\n"), 1); });
  EXPECT_EQ(r.blanks, "  ");
  EXPECT_EQ(r.messages, "VAV Warning: Line 1 in 'test.mat'.\na b\n^\nUnknown light type.\n");

  // The last line of a text read in more than one block still shows once the text has ended,
  // and a NUL byte ends it as text.
  std::string many;
  for (int i = 0; i < 40000; i++) many += "a\n";
  Text end(many + std::string("x y\0z", 5));
  while (_WTreader_nexttoken(end)) {
  }
  EXPECT_EQ(_WTreader_readline(end), 0);
  r = report([&] { EXPECT_EQ(_WTreader_error(end, 0, nullptr), 1); });
  EXPECT_EQ(r.messages, "VAV Warning: Line 40001 in 'test.mat'.\nx y^\n");
  EXPECT_EQ(r.blanks, "   ") << "up to the NUL";

  // A line with no tokens, used up: the caret stands at its start.
  Text comment("// only\n");
  EXPECT_EQ(_WTreader_linetoken(comment), nullptr);
  r = report([&] { EXPECT_EQ(_WTreader_error(comment, 3, nullptr), 1); });
  EXPECT_EQ(r.blanks, "   ");
}

// The text formats' number conversion gives the C library's value (to the bit) and end.
void expectlikelibrary(const std::string &text) {
  char *libend, *end;
  const float want = strtof(text.c_str(), &libend);
  const float got = _WTtext_strtof(text.c_str(), &end);
  ASSERT_EQ(memcmp(&want, &got, sizeof want), 0) << text << ": " << want << " against " << got;
  ASSERT_EQ(end - text.c_str(), libend - text.c_str()) << text;
  const long wantl = strtol(text.c_str(), &libend, 10);
  ASSERT_EQ(_WTtext_strtol(text.c_str(), &end), wantl) << text;
  ASSERT_EQ(end - text.c_str(), libend - text.c_str()) << text;
}

TEST(Reader, NumbersAsTheLibraryReadsThem) {
  for (const char *text :
       {"0", "-0", "+0.0", "1", "-17", "1.", ".5", "-.5", ".", "-", "+", "", " 1", "1.5e", "1.5e+",
        "2e-3x", "1E5", "1,5", "0x1A", "-0X1p3", "inf", "nan", "1e38", "3.4028235e38", "3.5e38",
        "1e-38", "1.17549435e-38", "1e-45", "123456789012345678", "1234567890123456789",
        "12345678901234567890", "0.000000000000000000000000123", "9007199254740993",
        "1e22", "1e23", "1e-22", "1e-23", "16777217", "0.1", "2000.000", "1e99999", "7 8"})
    expectlikelibrary(text);

  // Random coordinates as writers print them, and decimals close to the middle between two
  // floats, where a value rounded twice may come out one float off.
  std::mt19937 random(7);
  std::uniform_real_distribution<float> spread(-1e5f, 1e5f);
  std::uniform_int_distribution<int> precision(1, 19);
  char text[64];
  for (int i = 0; i < 200000; i++) {
    const float f = spread(random);
    const double middle = (double(f) + double(nextafterf(f, 1e30f))) / 2;
    snprintf(text, sizeof text, "%.*g", precision(random), i % 2 ? double(f) : middle);
    expectlikelibrary(text);
    snprintf(text, sizeof text, "%.*f", precision(random) % 8, double(f));
    expectlikelibrary(text);
  }
}

TEST(Reader, RefusesWhatDoesNotOpen) {
  tk::Captured messages;
  EXPECT_EQ(_WTreader_open("no such file.mat", nullptr, "//"), nullptr);
  EXPECT_EQ(messages.all(), "VAV Warning: Can't open 'no such file.mat' for input\n");
  EXPECT_EQ(_WTreader_open(nullptr, nullptr, "//"), nullptr);
}

}  // namespace
