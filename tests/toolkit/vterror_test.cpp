// The glove library's error reports on standard error: one header per fault, the message line,
// a "called by" line per level on the way up; quiet mode; the fatal end.
#include <errno.h>
#include <stdio.h>

#include <chrono>
#include <string>

#include "vtsupport.h"

namespace {

using VtErrors = VtLibrary;

int innermost() { return vt_set_error("vt_serial_read_byte", VT_ETIMEOUT); }
int middle() { return innermost() < 1 ? vt_print_error("polhemus_head") : 1; }
int outer() { return middle() < 1 ? vt_print_error("polhemus_read16") : 1; }

TEST_F(VtErrors, AChainPrintsOneHeaderAndALinePerLevel) {
  Stderr err;
  EXPECT_EQ(outer() < 1 ? vt_print_error("vt_open_tracker_port") : 1, 0);
  EXPECT_EQ(err.text(),
            "\n\nERROR in vt_serial_read_byte:\n"
            "     Serial port read timed out before reading expected number of bytes.\n"
            "=>\tcalled by: polhemus_head\n"
            "=>\tcalled by: polhemus_read16\n"
            "=>\tcalled by: vt_open_tracker_port\n");
  EXPECT_EQ(vt_take_error(), VT_ETIMEOUT);
  EXPECT_EQ(vt_take_error(), 0);
}

TEST_F(VtErrors, FirstEntriesCompleteTheMessageLine) {
  const struct {
    int code;
    const char *name, *expected;
  } cases[] = {
      {0, "&unknown option.", "\n\nERROR in where:\n      unknown option.\n"},
      {VT_EBAUD, "", "\n\nERROR in where:\n"},
      {15, "caller", "\n\nERROR in where:\n     \n=>\tcalled by: caller\n"},
      {VT_EINIT, "caller",
       "\n\nERROR in where:\n     RarudodIder initialization error.Error initializing RarudodIder structure or "
       "opening communications\n=>\tcalled by: caller\n"},
  };
  for (const auto &c : cases) {
    Stderr err;
    vt_set_error("where", c.code);
    vt_print_error(c.name);
    EXPECT_EQ(err.text(), c.expected) << c.name;
  }
}

TEST_F(VtErrors, LocationsAreCutAt255Characters) {
  std::string longname(300, 'n');
  Stderr err;
  vt_set_error(longname.c_str(), VT_ESERIAL);
  vt_print_error("");
  EXPECT_EQ(err.text(), "\n\nERROR in " + longname.substr(0, 255) + ":\n");
}

TEST_F(VtErrors, QuietModeHidesAllButSystemErrors) {
  vt_quiet_errors();
  {
    Stderr err;
    EXPECT_EQ(vt_set_error("vt_serial_read_byte", VT_ETIMEOUT), 1);
    EXPECT_EQ(vt_print_error("caller"), 1);
    EXPECT_EQ(err.text(), "");
    EXPECT_FALSE(vt_has_error());
  }
  Stderr err;
  errno = ENOENT;
  EXPECT_EQ(vt_perror("vt_serial_open", "read"), 0);
  EXPECT_EQ(vt_print_error("caller"), 0);
  vt_report_errors();
  std::string text = err.text();
  EXPECT_EQ(text.find("\n\nERROR in read: "), 0u) << text;
  EXPECT_NE(text.find("=>\tcalled by: vt_serial_open\n=>\tcalled by: caller\n"), std::string::npos) << text;
  EXPECT_EQ(vt_take_error(), VT_ESYSTEM);
}

TEST(VtErrorsDeathTest, FatalErrorEndsTheProcessAfterFiveSeconds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  remove("fatal.txt");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EXIT(
      {
        freopen("fatal.txt", "wb", stderr);
        vt_set_error("vt_serial_open", VT_ETOOMANYPORTS);
        vt_fatal_error("");
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5000));
  EXPECT_EQ(vtread("fatal.txt"),
            "\n\nFATAL ERROR in vt_serial_open:\n     Attempt to open more than the available number of serial "
            "ports.\n");
}

}  // namespace
