// OpenFlight files through stand-ins of the outside OpenFlight API libraries: missing, without
// an entry or table, and complete.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "flightfiles.h"
#include "scene.h"
#include "support.h"
#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/fltapi.h"

namespace {

const char kResolve[] = "\nVAV flight reader - Could not resolve DLL address of ";

class FlightApi : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    WTuniverse_setoption(17, 1);
    tk::flt::File file;
    file.header();
    path = folder.write("scene.flt", file.bytes);
  }
  void TearDown() override {
    WTuniverse_setoption(17, 0);
    tk::Universe::TearDown();
  }
  tk::TempFolder folder;
  std::string path;
};

TEST_F(FlightApi, BindingNeedsBothLibrariesWithEveryEntryAndTable) {
  struct Case {
    const char *api, *data, *info, *missing;
  } cases[] = {
      {nullptr, nullptr, "\nMGAPILIB.DLL not found\n", nullptr},
      {FLT_MGAPI_COMPLETE, "no-such-fltdata.dll", "\nFLTDATA.DLL not found\n", nullptr},
      {FLT_MGAPI_PARTIAL, FLT_FLTDATA_COMPLETE, "", "mgGetMatrix"},
      {FLT_MGAPI_COMPLETE, FLT_FLTDATA_PARTIAL, "", "FltDataCodeMap"},
  };
  for (const Case &c : cases) {
    tk::resetcalls();
    _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
    {
      tk::Captured messages;
      c.api ? _WTflt_bindfrom(c.api, c.data) : _WTflt_bind();
      EXPECT_EQ(messages.all(), c.info) << c.data;
    }
    EXPECT_FALSE(_WTflt_isbound()) << c.data;
    ASSERT_EQ(tk::calls().boxes.size(), c.missing ? 1u : 0u) << c.data;
    if (c.missing) {
      EXPECT_EQ(tk::calls().boxes[0].text, std::string(kResolve) + c.missing);
      EXPECT_EQ(tk::calls().boxes[0].caption, "VAV flight reader");
    }
  }
  tk::resetcalls();
  _WTflt_bindfrom(FLT_MGAPI_COMPLETE, FLT_FLTDATA_COMPLETE);
  EXPECT_TRUE(_WTflt_isbound());
  EXPECT_TRUE(tk::calls().boxes.empty());
}

TEST_F(FlightApi, UnboundReadShowsTheBoxAndAddsNothing) {
  _WTflt_bindfrom(FLT_MGAPI_PARTIAL, FLT_FLTDATA_COMPLETE);
  tk::resetcalls();
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  tk::Captured messages;
  EXPECT_FALSE(WTnode_load(root, path.c_str(), 1.0f));
  EXPECT_EQ(WTnode_numchildren(root), 0);
  ASSERT_EQ(tk::calls().boxes.size(), 1u);
  EXPECT_EQ(tk::calls().boxes[0].text, "Could not locate MGAPILIB.DLL and/or FLTDATA.DLL");
  EXPECT_EQ(tk::calls().boxes[0].caption, "New MGEN flight reader");
  EXPECT_NE(messages.all().find("\nCould not read FLT file "), std::string::npos);
}

}  // namespace
