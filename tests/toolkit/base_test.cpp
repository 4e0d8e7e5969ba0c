// Base objects: class dispatch through the operations bound by exported name, generic objects
// and the start, frame and stop hooks.
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene.h"
#include "support.h"

namespace {

TEST(Base, ClassFromTag) {
  const struct {
    unsigned char tag;
    int cls;
  } cases[] = {{1, WTBASE_NODE},     {29, WTBASE_NODE},  {31, WTBASE_VIEWPOINT}, {32, WTBASE_WINDOW},
               {33, WTBASE_SENSOR},  {34, WTBASE_PATH},  {'$', WTBASE_GENERIC}};
  for (const auto &c : cases) EXPECT_EQ(_WTbase_class(&c.tag), c.cls) << int(c.tag);
  EXPECT_EQ(_WTbase_class(nullptr), -1);
}

class Bound : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    ASSERT_EQ(_WTbase_bindclasses(), 1);
    sensor = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 2);
    WTsensor_setname(sensor, "shared");
    path = _WTpath_new(nullptr);
    WTpath_setname(path, "track");
    node = WTgroupnode_new(nullptr);
    WTnode_setname(node, "lamp");
  }
  void TearDown() override {
    WTnode_delete(node);
    _WTbase_bindclasses();
    tk::Universe::TearDown();
  }
  WTnode *node = nullptr;
  WTpath *path = nullptr;
  WTsensor *sensor = nullptr;
};

TEST_F(Bound, AllNamesFoundInTheProgramsExports) {
  EXPECT_EQ(_WTbase_isbound(), 1);
  EXPECT_EQ(_WTsys_findexport("_WTsensor_gethaseventhandlers"),
            reinterpret_cast<void *>(&_WTsensor_gethaseventhandlers));

  int payload = 0;
  _WTbase_setdata(sensor, &payload);
  EXPECT_EQ(WTsensor_getdata(sensor), &payload);
  _WTbase_sethaseventhandlers(path, 1);
  EXPECT_EQ(_WTbase_gethaseventhandlers(path), 1);
  _WTbase_setname(path, "front");
  EXPECT_STREQ(_WTbase_getname(path), "front");
  _WTbase_setdata(node, &payload);
  EXPECT_EQ(WTnode_getdata(node), &payload);

  // Every class is searched before generic objects; each class only through its own find.
  WTbase *generic = _WTbase_newobject(nullptr);
  _WTbase_setname(generic, "shared");
  EXPECT_EQ(_WTbase_find(WTBASE_ANY, "shared", 6), sensor);
  EXPECT_EQ(_WTbase_findbyname(WTBASE_GENERIC, "shared"), generic);
  EXPECT_EQ(_WTbase_findbyname(WTBASE_NODE, "lamp"), node);
  EXPECT_EQ(_WTbase_findbyname(WTBASE_SENSOR, "lamp"), nullptr);
  EXPECT_EQ(_WTbase_find(WTBASE_ANY, "", 0), nullptr);
  _WTbase_deleteobject(generic, 0);
  _WTbase_delete(sensor);
  EXPECT_EQ(_WTuniverse_getsensors(), nullptr);
}

TEST_F(Bound, OneMissingNameLeavesTheTableUnbound) {
  {
    tk::Exports hidden({{"WTwindow_getname", nullptr}});
    EXPECT_EQ(_WTbase_bindclasses(), 0);
    // The lookup stops at the first missing name.
    EXPECT_EQ(tk::Exports::asked().back(), "WTwindow_getname");
    EXPECT_EQ(tk::Exports::asked().size(), 21u);
  }
  EXPECT_EQ(_WTbase_isbound(), 0);
  int payload = 0;
  WTsensor_setdata(sensor, &payload);
  EXPECT_EQ(_WTbase_getdata(sensor), nullptr);
  _WTbase_setdata(sensor, nullptr);
  EXPECT_EQ(WTsensor_getdata(sensor), &payload);
  _WTbase_delete(sensor);
  EXPECT_EQ(_WTuniverse_getsensors(), sensor);

  WTbase *generic = _WTbase_newobject(nullptr);
  _WTbase_setname(generic, "shared");
  EXPECT_EQ(_WTbase_find(WTBASE_ANY, "shared", 6), generic);
  EXPECT_EQ(_WTbase_find(WTBASE_WINDOW, "shared", 6), nullptr);
  _WTbase_deleteobject(generic, 0);
}

TEST(GenericObjects, ParentsAndChildren) {
  WTbase *root = _WTbase_newobject(nullptr);
  WTbase *other = _WTbase_newobject(nullptr);
  WTbase *child = _WTbase_newobject(root);
  _WTbase_setname(child, "leaf");
  EXPECT_EQ(_WTbase_link(child, other), 1);
  EXPECT_EQ(_WTbase_numparents(child), 2);
  EXPECT_EQ(_WTbase_getparent(child, 1), other);
  EXPECT_EQ(_WTbase_numchildren(root), 1);
  EXPECT_EQ(_WTbase_getchild(root, 0), child);
  EXPECT_EQ(_WTbase_getchild(root, 1), nullptr); // index equal to the count
  EXPECT_EQ(_WTbase_findchild(root, "leaf"), child);
  EXPECT_EQ(_WTbase_findchild(root, "lea"), nullptr);
  EXPECT_EQ(_WTbase_ischild(other, child), 1);
  EXPECT_EQ(_WTbase_firstobject(), child);

  // A child with two parents leaves both when deleted.
  _WTbase_deleteobject(child, 0);
  EXPECT_EQ(_WTbase_numchildren(root), 0);
  EXPECT_EQ(_WTbase_numchildren(other), 0);

  // Deleting a parent deletes its children, cycles included.
  WTbase *a = _WTbase_newobject(root);
  WTbase *b = _WTbase_newobject(a);
  _WTbase_link(a, b);
  _WTbase_newobject(b);
  EXPECT_EQ(_WTbase_unlink(root, other), 0);
  _WTbase_deleteobject(root, 0);
  EXPECT_EQ(_WTbase_firstobject(), other);
  _WTbase_deleteall();
  EXPECT_EQ(_WTbase_firstobject(), nullptr);
}

TEST(GenericObjects, DataNamesAndPrinting) {
  WTbase *root = _WTbase_newobject(nullptr);
  int payload;
  _WTbase_setdata(root, &payload);
  EXPECT_EQ(_WTbase_getdata(root), &payload);
  _WTbase_sethaseventhandlers(root, 1);
  EXPECT_EQ(_WTbase_gethaseventhandlers(root), 1);
  EXPECT_EQ(reinterpret_cast<unsigned char *>(root)[3], 1); // the record's fourth byte
  _WTbase_setname(root, "room");
  _WTuserproperty_new(root, "area", WTINT);
  _WTproperty_setint(root, "area", 12);
  WTbase *leaf = _WTbase_newobject(root);
  _WTbase_setname(leaf, "lamp");
  EXPECT_EQ(_WTbase_numproperties(root), 1);
  EXPECT_STREQ(_WTbase_getproperty(root, 0), "area");
  EXPECT_EQ(_WTbase_findproperty(root, "area", WTINT), 1);
  EXPECT_EQ(_WTbase_findproperty(root, "area", WTFLOAT), 0);

  tk::Captured captured;
  testing::internal::CaptureStdout();
  _WTbase_print(root, 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(captured.all(), "room      area=12\n  lamp    \n");
  _WTbase_setname(root, nullptr);
  EXPECT_EQ(_WTbase_getname(root), nullptr);
  _WTbase_deleteobject(root, 0);
}

struct Hooks {
  int news = 0, updates = 0, deletes = 0, frames = 0;
  std::vector<void *> deleted;
  int namestored = 0;
};
Hooks hooks;

TEST(StartHooks, FrameAndStopRunTheHooksInOrder) {
  static std::vector<std::string> order;
  auto wsnew = +[] { hooks.news++; };
  auto wsupdate = +[] {
    hooks.updates++;
    order.push_back("update");
  };
  auto wsdelete = +[] { hooks.deletes++; };
  auto deleted = +[](void *o) { hooks.deleted.push_back(o); };
  auto namestored = +[](void *) { return hooks.namestored; };
  tk::Exports exports({{"WSnew", reinterpret_cast<void *>(wsnew)},
                       {"WSupdate", reinterpret_cast<void *>(wsupdate)},
                       {"WSdelete", reinterpret_cast<void *>(wsdelete)},
                       {"_WTbase_deleted", reinterpret_cast<void *>(deleted)},
                       {"_WTbase_isnamestored", reinterpret_cast<void *>(namestored)}});
  _WTbase_frame(); // nothing before the start
  EXPECT_EQ(hooks.updates, 0);
  _WTbase_start();
  _WTbase_start(); // once per process
  // A universe made by an earlier test may have started the toolkit before these hooks existed.
  if (hooks.news == 0) _WTbase_bindhooks();
  EXPECT_EQ(hooks.news, 1);
  EXPECT_EQ(_WTbase_isbound(), 1);

  // One frame: time base, the user's callback, scheduled changes, notifications, WSupdate.
  WTbase *object = _WTbase_newobject(nullptr);
  _WTuserproperty_new(object, "n", WTINT);
  _WTproperty_addhandler(object, "n", [](void *, const char *, void *, double, int) {
    order.push_back("notified");
  });
  _WTbase_setframecallback([] {
    order.push_back("callback");
    if (++hooks.frames == 3) _WTbase_stophooks();
  });
  _WTproperty_setint(object, "n", 1);
  _WTbase_frame();
  EXPECT_EQ(order, (std::vector<std::string>{"callback", "notified", "update"}));
  _WTbase_runhooks(); // until the callback stops it
  EXPECT_EQ(hooks.frames, 3);
  _WTbase_setframecallback(nullptr);

  // The host may keep names itself.
  hooks.namestored = 1;
  _WTbase_setname(object, "kept");
  EXPECT_EQ(_WTbase_getname(object), nullptr);
  hooks.namestored = 0;

  _WTbase_stop();
  EXPECT_EQ(hooks.deletes, 1);
  EXPECT_EQ(hooks.deleted, std::vector<void *>{object});
  EXPECT_EQ(_WTbase_firstobject(), nullptr);
  _WTsys_setlookuphook(nullptr);
  _WTbase_bindhooks(); // the test program exports none of them
}

}  // namespace
