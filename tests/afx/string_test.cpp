#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "afx/afx.h"

namespace {

TEST(CString, Substrings) {
  const CString s("Hello, 세계");  // 7 ASCII bytes, then two 3-byte characters
  struct Case {
    CString got;
    const char* want;
  } cases[] = {
      {s.Mid(7), "세계"},     {s.Mid(2, 3), "llo"},           {s.Mid(-3, 2), "He"},
      {s.Mid(50), ""},        {s.Mid(5, 100), ", 세계"},      {s.Mid(1, -1), ""},
      {s.Left(5), "Hello"},   {s.Left(-1), ""},               {s.Left(99), "Hello, 세계"},
      {s.Right(6), "세계"},   {s.Right(99), "Hello, 세계"},  {s.Right(0), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
  EXPECT_EQ(s.GetLength(), 13);
}

TEST(CString, Search) {
  const CString s("C:\\Plans\\a.tavo");
  EXPECT_EQ(s.Find('\\'), 2);
  EXPECT_EQ(s.Find('\\', 3), 8);
  EXPECT_EQ(s.Find(".tavo"), 10);
  EXPECT_EQ(s.Find("x"), -1);
  EXPECT_EQ(s.Find('a', 99), -1);
  EXPECT_EQ(s.ReverseFind('\\'), 8);
  EXPECT_EQ(s.ReverseFind('#'), -1);
  EXPECT_EQ(s.Left(s.ReverseFind('\\') + 1), "C:\\Plans\\");
}

TEST(CString, Editing) {
  CString s("a.b.c");
  EXPECT_EQ(s.Replace('.', '/'), 2);
  EXPECT_EQ(s, "a/b/c");
  s = "ababab";
  EXPECT_EQ(s.Replace("ab", "x"), 3);
  EXPECT_EQ(s, "xxx");
  EXPECT_EQ(s.Replace("", "y"), 0);
  s = "0a1b2a3b";
  EXPECT_EQ(s.Replace("a", ""), 2);
  EXPECT_EQ(s, "01b23b");
  s = "1234abcd1234";
  EXPECT_EQ(s.Replace("1234", "00ffee00"), 2);  // longer replacement
  EXPECT_EQ(s, "00ffee00abcd00ffee00");

  s = "  \t x y \r\n";
  EXPECT_EQ(s.Trim(), "x y");
  s = "xxaxx";
  EXPECT_EQ(s.TrimLeft('x'), "axx");
  EXPECT_EQ(s.TrimRight("xa"), "");
  s = "abc의자Z";
  EXPECT_EQ(s.MakeUpper(), "ABC의자Z");
  EXPECT_EQ(s.MakeLower(), "abc의자z");
  s.SetAt(0, 'Q');
  EXPECT_EQ(s.GetAt(0), 'Q');
  EXPECT_EQ(s[1], 'b');
}

TEST(CString, Comparisons) {
  EXPECT_EQ(CString("CHAIR").CompareNoCase("chair"), 0);
  EXPECT_LT(CString("abc").Compare("abd"), 0);
  EXPECT_GT(CString("가").Compare("z"), 0);  // bytes compare unsigned
  EXPECT_LT(CString("Chair").CompareNoCase("chairs"), 0);
  EXPECT_TRUE(CString("a") == "a");
  EXPECT_TRUE("a" == CString("a"));
  EXPECT_TRUE(CString("a") != CString("b"));
  EXPECT_TRUE(CString("a") < "b");
  EXPECT_TRUE(CString("b") >= CString("b"));
  EXPECT_TRUE(CString() == "");
  EXPECT_TRUE(CString((LPCTSTR) nullptr).IsEmpty());
}

TEST(CString, FormatConcatenationAndBuffer) {
  CString s;
  s.Format("%08x", 0xABCDEFu);
  EXPECT_EQ(s, "00abcdef");
  s.Format("%s=%d", "키", 42);
  EXPECT_EQ(s, "키=42");
  const std::string longText(1000, 'x');
  s.Format("[%s]", longText.c_str());
  EXPECT_EQ(s.GetLength(), 1002);

  EXPECT_EQ(CString("a") + "b" + 'c' + CString("d"), "abcd");
  EXPECT_EQ("x" + CString("y"), "xy");
  EXPECT_EQ('-' + CString("y"), "-y");
  EXPECT_EQ(CString('-', 3), "---");
  s = "a";
  s += CString("b");
  s += "c";
  s += 'd';
  EXPECT_EQ(s, "abcd");

  LPTSTR buffer = s.GetBuffer(10);
  strcpy(buffer, "xyz");
  s.ReleaseBuffer();
  EXPECT_EQ(s, "xyz");
  EXPECT_EQ(s.GetLength(), 3);
  memcpy(s.GetBufferSetLength(4), "wxyz", 4);
  s.ReleaseBuffer(2);
  EXPECT_EQ(s, "wx");
}

}  // namespace
