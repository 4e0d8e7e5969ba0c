// Messages, the guarded allocator, fatal paths and the system services.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "support.h"
#include "toolkit/core/platform.h"

using tk::calls;
using tk::Captured;

namespace {

class Runtime : public ::testing::Test {
 protected:
  void SetUp() override { tk::resetcalls(); }
  void TearDown() override {
    _WTmsg_setrouting(WTMSG_WARNING, WTMSG_SCREEN, nullptr);
    _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
    _WTmsg_setrouting(WTMSG_DEBUG, 0, nullptr);
    tk::resetcalls();
  }
};

TEST_F(Runtime, WarningGoesToStandardOutputAndCallbackWithPrefix) {
  Captured captured;
  testing::internal::CaptureStdout();
  _WTmsg_warning("bad value %d\n", 7);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "VAV Warning: bad value 7\n");
  ASSERT_EQ(captured.texts().size(), 1u);
  EXPECT_EQ(captured.texts()[0], "VAV Warning: bad value 7\n");
}

TEST_F(Runtime, InformationAndNegativeLevelsHaveNoPrefix) {
  Captured captured;
  testing::internal::CaptureStdout();
  _WTmsg_info("plain %s", "text");
  _WTmsg_route(-5, "as information");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "plain textas information");
  EXPECT_EQ(captured.all(), "plain textas information");
}

TEST_F(Runtime, DebugMessagesNeverReachAnyOutput) {
  Captured captured;
  _WTmsg_setrouting(WTMSG_DEBUG, WTMSG_SCREEN, nullptr);
  _WTmsg_debug("hidden");
  _WTmsg_route(WTMSG_DEBUG, "hidden");
  EXPECT_TRUE(captured.texts().empty());
}

TEST_F(Runtime, RoutingChangesOnlyForValidRequests) {
  Captured captured;
  // Logging without a stream and an unknown level are ignored: warnings still reach the screen.
  _WTmsg_setrouting(WTMSG_WARNING, WTMSG_LOG, nullptr);
  _WTmsg_setrouting(5, 0, nullptr);
  testing::internal::CaptureStdout();
  _WTmsg_warning("still shown");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "VAV Warning: still shown");

  FILE *log = tmpfile();
  ASSERT_NE(log, nullptr);
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_LOG, log);
  testing::internal::CaptureStdout();
  _WTmsg_info("to the log");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  rewind(log);
  char line[64] = {};
  ASSERT_NE(fgets(line, sizeof line, log), nullptr);
  EXPECT_STREQ(line, "to the log");
  EXPECT_EQ(captured.all(), "VAV Warning: still shownto the log");
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  fclose(log);
}

TEST_F(Runtime, LongMessagesAreCutToTheBuffer) {
  Captured captured;
  std::string name(3000, 'x');
  _WTmsg_setrouting(WTMSG_WARNING, 0, nullptr); // keep the console quiet; the log bit is off too
  _WTmsg_warning("Couldn't find file %s\n", name.c_str());
  EXPECT_TRUE(captured.texts().empty()); // no route, no callback
  _WTmsg_setrouting(WTMSG_WARNING, WTMSG_SCREEN, nullptr);
  testing::internal::CaptureStdout();
  _WTmsg_warning("Couldn't find file %s\n", name.c_str());
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(captured.texts().size(), 1u);
  const std::string &text = captured.texts()[0];
  EXPECT_EQ(text.size(), 511u);
  EXPECT_EQ(text.rfind("VAV Warning: Couldn't find file xxx", 0), 0u);
}

TEST_F(Runtime, FatalShowsBoxDeletesUniverseAndEndsOnce) {
  WTuniverse_new(512, 0);
  _WTmsg_fatal("cannot read %s", "scene.wtk");
  ASSERT_EQ(calls().boxes.size(), 1u);
  EXPECT_EQ(calls().boxes[0].text, "cannot read scene.wtk");
  EXPECT_EQ(calls().boxes[0].caption, "VAV-ERROR");
  EXPECT_EQ(calls().boxes[0].style, 0x2010u);
  EXPECT_FALSE(_WTuniverse_exists());
  EXPECT_EQ(calls().exits, std::vector<int>{-1});

  // A second fatal message (for example from inside the universe deletion) is silent.
  WTuniverse_new(512, 0);
  _WTmsg_fatal("again");
  EXPECT_EQ(calls().boxes.size(), 1u);
  EXPECT_TRUE(_WTuniverse_exists());
  EXPECT_EQ(calls().exits.size(), 1u);
  WTuniverse_delete();
}

TEST_F(Runtime, FatalEndsEvenWithoutAUniverseDeleter) {
  WTuniverse_new(512, 0);
  {
    tk::Exports hidden({{"WTuniverse_delete", nullptr}});
    _WTmsg_fatal("no universe");
  }
  EXPECT_TRUE(_WTuniverse_exists());
  EXPECT_EQ(calls().exits, std::vector<int>{-1});
  WTuniverse_delete();
}

TEST_F(Runtime, ExhaustedMemoryIsFatal) {
  EXPECT_EQ(_WTmem_alloc(SIZE_MAX / 2), nullptr); // only because the test's exit hook returns
  ASSERT_EQ(calls().boxes.size(), 1u);
  EXPECT_EQ(calls().boxes[0].text, "OUT OF MEMORY!");
  EXPECT_EQ(calls().exits.front(), -1);

  tk::resetcalls();
  void *block = _WTmem_alloc(16);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(_WTmem_realloc(block, SIZE_MAX / 2), nullptr);
  EXPECT_EQ(calls().boxes.at(0).text, "OUT OF MEMORY!");
  _WTmem_free(block);

  // The raw allocators leave the failure to the caller.
  tk::resetcalls();
  EXPECT_EQ(_WTmem_rawmalloc(SIZE_MAX / 2), nullptr);
  EXPECT_TRUE(calls().boxes.empty());
}

TEST_F(Runtime, AssertionBoxAnswers) {
  Captured captured;
  testing::internal::CaptureStdout();
  calls().answer = WTBOX_IDIGNORE;
  EXPECT_EQ(_WTmsg_assert("scene.c", 42), WTBOX_IDIGNORE);
  EXPECT_TRUE(calls().exits.empty());
  calls().answer = WTBOX_IDABORT;
  _WTmsg_assert("scene.c", 43);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(calls().exits, std::vector<int>{3});
  ASSERT_EQ(calls().boxes.size(), 2u);
  EXPECT_EQ(calls().boxes[0].text, "scene.c:42");
  EXPECT_EQ(calls().boxes[0].caption, "Assertion Failed");
  EXPECT_EQ(calls().boxes[0].style & 0xF, unsigned(WTBOX_ABORTRETRYIGNORE));
  EXPECT_EQ(captured.texts()[0], "Assertion failed: scene.c:42\n");
}

TEST_F(Runtime, ClockAndTimeBaseFollowTheClock) {
  double before = _WTsys_seconds();
  _WTsys_sleep(60); // moves the test clock
  EXPECT_NEAR(_WTsys_seconds() - before, 0.06, 1e-9);

  EXPECT_DOUBLE_EQ(_WTsys_elapsed(), -1.0);  // first call
  EXPECT_DOUBLE_EQ(_WTsys_elapsed(), 0.004); // same millisecond
  tk::advanceclock(30);
  EXPECT_DOUBLE_EQ(_WTsys_elapsed(), 0.03);
  tk::advanceclock(1);
  EXPECT_DOUBLE_EQ(_WTsys_elapsed(), 0.001);

  // The time base holds one reading until it is refreshed; local time adds the zone's offset.
  _WTtime_refresh();
  int64_t seconds = _WTtime_seconds();
  int ms = _WTtime_milliseconds();
  EXPECT_EQ(_WTtime_localseconds(), seconds - tk::clockbias * 60);
  EXPECT_DOUBLE_EQ(_WTtime_now(), _WTtime_make(seconds, ms));
  tk::advanceclock(1250);
  EXPECT_EQ(_WTtime_seconds(), seconds);
  _WTtime_refresh();
  int64_t later = seconds * 1000 + ms + 1250;
  EXPECT_EQ(_WTtime_seconds(), later / 1000);
  EXPECT_EQ(_WTtime_milliseconds(), later % 1000);
  EXPECT_DOUBLE_EQ(_WTtime_localnow(), _WTtime_now() - tk::clockbias * 60);
}

TEST_F(Runtime, RandomStaysInRange) {
  for (int i = 0; i < 100; i++) {
    int r = _WTsys_random(7);
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 7);
  }
  EXPECT_EQ(_WTsys_random(0), 0);
}

TEST(Platform, ClockIsWallTime) {
  // Sleeping uses no processor time: a processor clock would not move.  (The system's own clock
  // and sleep, which the tests' hooks stand in front of.)
  int32_t before = _WTplat_clockms();
  _WTplat_sleep(60);
  EXPECT_GE(_WTplat_clockms() - before, 50);
}

TEST(Platform, FindsExportedFunctionsByName) {
  EXPECT_EQ(_WTsys_findexport("WTq_2m3"), reinterpret_cast<void *>(&WTq_2m3));
  EXPECT_EQ(_WTsys_findexport("WTm4_invert"), reinterpret_cast<void *>(&WTm4_invert));
  EXPECT_EQ(_WTsys_findexport("WTno_such_function"), nullptr);
}

TEST(Platform, ReadsInitializationFiles) {
  std::string path = testing::TempDir() + "vedra_toolkit_test.ini";
  {
    std::ofstream ini(path);
    ini << "; options\r\n[vav]\r\nbgcolor = 0x00FF8000\r\nfov=45\r\n\r\n[Other]\r\nfov=90\r\n";
  }
  char out[64];
  EXPECT_EQ(_WTplat_readprofile("VAV", "BGColor", "", out, sizeof out, path.c_str()), 10u);
  EXPECT_STREQ(out, "0x00FF8000");
  _WTplat_readprofile("other", "fov", "", out, sizeof out, path.c_str());
  EXPECT_STREQ(out, "90");
  _WTplat_readprofile("vav", "yon", "65536", out, sizeof out, path.c_str());
  EXPECT_STREQ(out, "65536");
  _WTplat_readprofile("vav", "bgcolor", "", out, 5, path.c_str());
  EXPECT_STREQ(out, "0x00");
  unsigned n = _WTplat_readprofile(nullptr, nullptr, "", out, sizeof out, path.c_str());
  EXPECT_EQ(std::string(out, n + 1), std::string("vav\0Other\0\0", 11));
  remove(path.c_str());
  EXPECT_EQ(_WTplat_readprofile("vav", "fov", "", out, sizeof out, path.c_str()), 0u);
}

}  // namespace
