#include "support.h"

#include <cstdlib>
#include <string>

namespace {

// The stack is process-wide and its overflow entry survives clearing, so the checks run in
// a fresh process where no other test has filled it.
void OverflowChecks() {
  ClearErrList3ds();
  const ErrRec3ds *list = GetErrList3ds();
  ASSERT_EQ(list[ERR_OVERFLOW_INDEX3DS].code, NO_FTK_ERRORS);

  EXPECT_EQ(PushErrList3ds(NO_FTK_ERRORS), nullptr);
  EXPECT_EQ(ftkerr3ds, 0);
  EXPECT_EQ(list[0].code, NO_FTK_ERRORS);

  for (int i = 0; i < ERR_STACK_ENTRIES3DS; ++i) PushErrList3ds(ERR_READING_FILE);
  EXPECT_EQ(ftkerr3ds, 1);
  EXPECT_EQ(list[18].code, ERR_READING_FILE);
  EXPECT_EQ(list[19].code, NO_FTK_ERRORS);  // terminator
  EXPECT_EQ(list[ERR_OVERFLOW_INDEX3DS].code, NO_FTK_ERRORS);

  PushErrList3ds(ERR_NO_MEM);  // 20th
  EXPECT_EQ(list[19].code, NO_FTK_ERRORS);
  EXPECT_EQ(list[ERR_OVERFLOW_INDEX3DS].code, ERR_NO_MEM);
  EXPECT_STREQ(list[ERR_OVERFLOW_INDEX3DS].message, "ERR_NO_MEM: Not enough memory to complete operation");

  PushErrList3ds(ERR_INVALID_ARG);  // 21st
  EXPECT_EQ(list[ERR_OVERFLOW_INDEX3DS].code, N_ERRORS);
  EXPECT_STREQ(list[ERR_OVERFLOW_INDEX3DS].message,
               "N_ERRORS: More errors were reported then could be recorded.");

  ClearErrList3ds();
  EXPECT_EQ(ftkerr3ds, 0);
  EXPECT_EQ(list[0].code, NO_FTK_ERRORS);
  EXPECT_EQ(list[ERR_OVERFLOW_INDEX3DS].code, N_ERRORS);  // clearing leaves the overflow entry

  const char *message = PushErrList3ds(ERR_TOO_MANY_FILES);
  EXPECT_EQ(list[0].code, ERR_TOO_MANY_FILES);
  EXPECT_EQ(list[0].message, message);
  EXPECT_EQ(list[1].code, NO_FTK_ERRORS);
  ClearErrList3ds();
}

TEST(ErrorStackDeathTest, FillsNineteenEntriesThenOverflows) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        OverflowChecks();
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(ErrorStack, MessageTexts) {
  const struct {
    ErrorCode3ds code;
    const char *text;
  } cases[] = {
      {NO_FTK_ERRORS, "NO_FTK_ERRORS: No errors are pending"},
      {ERR_INVALID_ARG,
       "ERR_INVALID_ARG: The argument passed to the function is invalid.  Usually caused by a NULL "
       "pointer or an out of range numeric argument."},
      {ERR_INVALID_DATABASE, "ERR_INVALID_DATABASE: The database passed as an argument has not be created yet."},
      {ERR_WRONG_OBJECT,
       "ERR_WRONG_OBJECT: The name passed to the functions exists, but is not the type of object asked for.  "
       "For example, asking for a mesh object with the GetCameraByName3ds function."},
      {ERR_READING_FILE, "ERR_READING_FILE: Error occured while reading file"},
      {ERR_STRING_TOO_LONG,
       "ERR_STRING_TOO_LONG: String encountered in file, structure, or as an argument was longer than "
       "expected.  Possibly caused by an uninitialed pointer, corrupt file or database"},
      {ERR_TOO_MANY_FILES,
       "ERR_TOO_MANY_FILES: The toolkit has reached its maximum open file limit of 252 files."},
      {N_ERRORS, "N_ERRORS: More errors were reported then could be recorded."},
      {20, "Unknown error code was encountered"},
      {21, "Unknown error code was encountered"},
      {99, "Unknown error code was encountered"},
      {-1, "Unknown error code was encountered"},
  };
  for (const auto &c : cases) EXPECT_STREQ(ErrCodeToString3ds(c.code), c.text) << c.code;
}

}  // namespace
