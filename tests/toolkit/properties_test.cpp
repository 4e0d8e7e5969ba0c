// Property values, user properties, handlers, scheduled changes and network forms.
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support.h"

namespace {

TEST(Value, TextForms) {
  const float p3[3] = {1, 2, 3}, q[4] = {0, 0.5f, 0, 1};
  const int32_t five = 5;
  const uint32_t big = 4000000000u;
  const float half = 0.5f;
  const double third = 1.0 / 3;
  const struct {
    int type;
    const void *value;
    const char *text;
  } cases[] = {
      {WTINT, &five, "5"},
      {WTUINT, &big, "4000000000"},
      {WTFLOAT, &half, "0.500000"},
      {WTDOUBLE, &third, "0.333333"},
      {WTP2, p3, "1.000000,2.000000"},
      {WTP3, p3, "1.000000,2.000000,3.000000"},
      {WTQ, q, "0.000000,0.500000,0.000000,1.000000"},
      {WTSTRING, "hall", "hall"},
  };
  for (const auto &c : cases) {
    WTvalue *v = _WTvalue_new(c.type);
    ASSERT_EQ(_WTvalue_set(v, c.value), 1);
    EXPECT_STREQ(_WTvalue_totext(v), c.text) << _WTpropertytype_name(c.type);
    EXPECT_STREQ(_WTpropertytype_format(c.type, c.value), c.text);
    _WTvalue_delete(v);
  }
  // New values are zero, except a matrix, which starts as the identity.
  WTvalue *m = _WTvalue_new(WTM3);
  EXPECT_STREQ(_WTvalue_totext(m),
               "1.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,1.000000");
  _WTvalue_delete(m);
  EXPECT_EQ(_WTvalue_new(WTNOTYPE), nullptr);
  EXPECT_EQ(_WTvalue_new(10), nullptr);
  EXPECT_STREQ(_WTpropertytype_name(WTM3), "WTM3");
  EXPECT_EQ(_WTpropertytype_name(10), nullptr);
  EXPECT_STREQ(_WTproperty_kindname(WTNETWORK_TIMER), "WTNETWORK_TIMER");
}

TEST(Value, NetworkForms) {
  int32_t i = 0x01020304;
  float f[3] = {1.0f, -2.0f, 0.5f};
  double d = 1.5; // 3F F8 00 00 00 00 00 00
  char text[8] = "abc";
  const struct {
    int type;
    void *value;
    std::vector<unsigned char> net;
  } cases[] = {
      {WTINT, &i, {1, 2, 3, 4}},
      {WTFLOAT, f, {0x3F, 0x80, 0, 0}},
      {WTP3, f, {0x3F, 0x80, 0, 0, 0xC0, 0, 0, 0, 0x3F, 0, 0, 0}},
      {WTSTRING, text, {'a', 'b', 'c', 0}},
  };
  for (const auto &c : cases) {
    std::vector<unsigned char> buffer(c.net.size());
    memcpy(buffer.data(), c.value, buffer.size());
    ASSERT_EQ(_WTvalue_tonet(c.type, buffer.data()), 1);
    EXPECT_EQ(buffer, c.net) << _WTpropertytype_name(c.type);
    _WTvalue_fromnet(c.type, buffer.data());
    EXPECT_EQ(memcmp(buffer.data(), c.value, buffer.size()), 0);
  }
  unsigned char bytes[8], reversed[8];
  memcpy(bytes, &d, 8);
  memcpy(reversed, &d, 8);
  _WTvalue_tonet(WTDOUBLE, reversed);
  for (int k = 0; k < 8; k++) EXPECT_EQ(reversed[k], bytes[7 - k]);
}

TEST(Value, CopiesAndComparisons) {
  WTvalue *a = _WTvalue_new(WTSTRING), *b = _WTvalue_new(WTSTRING), *n = _WTvalue_new(WTINT);
  _WTvalue_set(a, "kitchen");
  EXPECT_EQ(_WTvalue_copy(a, b), 1);
  EXPECT_EQ(_WTvalue_equal(a, b), 1);
  _WTvalue_set(a, ""); // an empty text is kept as no text
  char *text = reinterpret_cast<char *>(1);
  _WTvalue_get(a, &text);
  EXPECT_EQ(text, nullptr);
  char copy[16];
  _WTvalue_getcopy(b, copy);
  EXPECT_STREQ(copy, "kitchen");
  EXPECT_EQ(_WTvalue_copy(a, n), 0); // types differ
  EXPECT_EQ(_WTvalue_equal(a, n), 0);
  EXPECT_EQ(_WTvalue_set(n, nullptr), 0);
  _WTvalue_delete(a);
  _WTvalue_delete(b);
  _WTvalue_delete(n);
}

TEST(ValueArray, KeepsOrderAndOwnsTexts) {
  WTvaluearray *a = _WTvaluearray_new(WTSTRING, 0);
  for (const char *t : {"b", "d", "e"}) _WTvaluearray_append(a, t);
  EXPECT_EQ(_WTvaluearray_insert(a, "a", 0), 0);
  EXPECT_EQ(_WTvaluearray_insert(a, "c", 2), 2);
  EXPECT_EQ(_WTvaluearray_insert(a, "f", 99), 5);
  auto contents = [](WTvaluearray *array) {
    std::string s;
    for (int i = 0; i < _WTvaluearray_count(array); i++) {
      char *t = nullptr;
      _WTvaluearray_get(array, i, &t);
      s += t ? t : "-";
    }
    return s;
  };
  EXPECT_EQ(contents(a), "abcdef");
  EXPECT_EQ(_WTvaluearray_find(a, "d"), 3);
  EXPECT_EQ(_WTvaluearray_find(a, "x"), -1);
  WTvaluearray *copy = _WTvaluearray_copy(a);
  EXPECT_EQ(_WTvaluearray_remove(a, 0), 1);
  EXPECT_EQ(_WTvaluearray_remove(a, 9), 0);
  EXPECT_EQ(_WTvaluearray_set(a, 0, "B"), 1);
  EXPECT_EQ(contents(a), "Bcdef");
  EXPECT_EQ(contents(copy), "abcdef");
  _WTvaluearray_clear(a);
  EXPECT_EQ(_WTvaluearray_count(a), 0);
  EXPECT_EQ(_WTvaluearray_append(a, "again"), 0);
  EXPECT_EQ(_WTvaluearray_type(copy), WTSTRING);
  EXPECT_EQ(_WTvaluearray_type(nullptr), WTNOTYPE);
  EXPECT_EQ(_WTvaluearray_new(WTNOTYPE, 4), nullptr);
  _WTvaluearray_delete(a);
  _WTvaluearray_delete(copy);
}

// Property tests run on generic base objects, which carry user properties only.
class Properties : public ::testing::Test {
 protected:
  void SetUp() override {
    object = _WTbase_newobject(nullptr);
    deliveries.clear();
    _WTtime_refresh();
  }
  void TearDown() override {
    _WTproperty_flushevents();
    _WTbase_deleteobject(object, 0);
  }

  struct Delivery {
    void *object;
    std::string name, text;
    double time;
    int source;
  };
  static std::vector<Delivery> deliveries;
  static void post(void *object, const char *name, void *value, double time, int source) {
    // Reading the object's class touches the object: a freed one is reported by the sanitizer.
    EXPECT_EQ(_WTbase_class(object), WTBASE_GENERIC);
    int type = _WTproperty_gettype(object, name);
    deliveries.push_back({object, name, _WTpropertytype_format(type, value), time, source});
  }
  std::vector<std::string> texts() const {
    std::vector<std::string> t;
    for (const Delivery &d : deliveries) t.push_back(d.text);
    return t;
  }

  WTbase *object = nullptr;
};
std::vector<Properties::Delivery> Properties::deliveries;

TEST_F(Properties, CreationLookupAndDeletion) {
  EXPECT_EQ(_WTuserproperty_new(object, "Speed", WTFLOAT), 1);
  EXPECT_EQ(_WTuserproperty_new(object, "Speed", WTINT), 0);
  EXPECT_EQ(_WTuserproperty_new(object, "", WTINT), 0);
  EXPECT_EQ(_WTuserproperty_new(object, "Bad", WTNOTYPE), 0);
  EXPECT_EQ(_WTuserproperty_new(nullptr, "Bad", WTINT), 0);
  EXPECT_EQ(_WTproperty_exists(object, "Speed"), 1);
  EXPECT_EQ(_WTproperty_gettype(object, "Speed"), WTFLOAT);
  EXPECT_EQ(_WTproperty_gettype(object, "Missing"), WTNOTYPE);
  EXPECT_EQ(_WTproperty_count(object), 1);
  EXPECT_STREQ(_WTproperty_getname(object, 0), "Speed");
  EXPECT_EQ(_WTproperty_getname(object, 1), nullptr);
  EXPECT_STREQ(_WTproperty_findprefix(object, "Speed", 3), "Speed");

  // Names are looked up by prefix within the bucket of the whole name: "ab:" and "ab" share a
  // bucket (':' is twice the bucket count), "speedup" and "speed" do not.
  EXPECT_EQ(_WTuserproperty_new(object, "ab:", WTINT), 1);
  EXPECT_EQ(_WTuserproperty_new(object, "ab", WTINT), 0);
  EXPECT_EQ(_WTuserproperty_new(object, "speedup", WTINT), 1);
  EXPECT_EQ(_WTuserproperty_new(object, "speed", WTINT), 1);
  EXPECT_EQ(_WTuserproperty_count(object), 4);

  EXPECT_EQ(_WTuserproperty_delete(object, "speedup"), 1);
  EXPECT_EQ(_WTuserproperty_delete(object, "speedup"), 0);
  WTbase_deleteproperties(object);
  EXPECT_EQ(_WTuserproperty_count(object), 0);
}

TEST_F(Properties, TypedAccessByName) {
  _WTuserproperty_new(object, "Count", WTINT);
  _WTuserproperty_new(object, "Where", WTP3);
  _WTuserproperty_new(object, "Label", WTSTRING);
  _WTuserproperty_new(object, "Scale", WTDOUBLE);
  EXPECT_EQ(_WTproperty_setint(object, "Count", 5), 1);
  EXPECT_EQ(_WTproperty_getint(object, "Count"), 5);
  EXPECT_STREQ(_WTproperty_gettext(object, "Count"), "5");
  const float where[3] = {1, 2, 3};
  EXPECT_EQ(_WTproperty_setp3(object, "Where", where), 1);
  EXPECT_STREQ(_WTproperty_gettext(object, "Where"), "1.000000,2.000000,3.000000");
  EXPECT_EQ(_WTproperty_setstring(object, "Label", "lamp"), 1);
  EXPECT_STREQ(_WTproperty_getstring(object, "Label"), "lamp");
  EXPECT_EQ(_WTproperty_setdouble(object, "Scale", 2.5), 1);
  EXPECT_EQ(_WTproperty_getdouble(object, "Scale"), 2.5);

  // A value of another type is refused, never read or written past its size.
  EXPECT_EQ(_WTproperty_setint(object, "Where", 7), 0);
  EXPECT_EQ(_WTproperty_getdouble(object, "Count"), 0);
  EXPECT_EQ(_WTproperty_setfloat(object, "Missing", 1), 0);
  float out[3] = {};
  EXPECT_EQ(_WTproperty_getvalue(object, "Where", out), 1);
  EXPECT_EQ(out[2], 3);

  WTvalue *record = _WTvalue_new(WTINT);
  int32_t nine = 9;
  _WTvalue_set(record, &nine);
  EXPECT_EQ(_WTproperty_setfromvalue(object, "Count", record), 1);
  EXPECT_EQ(_WTproperty_getint(object, "Count"), 9);
  EXPECT_EQ(_WTproperty_setfromvalue(object, "Label", record), 0);
  _WTvalue_delete(record);

  EXPECT_EQ(_WTproperty_getmode(object, "Count"), WTLOCAL);
  EXPECT_EQ(_WTproperty_setmode(object, "Count", WTNETWORK), 1);
  EXPECT_EQ(_WTproperty_setmode(object, "Count", WTNETWORK_TIMER), 1);
  EXPECT_EQ(_WTproperty_getmode(object, "Count"), WTNETWORK_TIMER);
  EXPECT_EQ(_WTproperty_setmode(object, "Missing", WTNETWORK), 0);
}

TEST_F(Properties, NotificationsAreQueuedUntilTheFrame) {
  _WTuserproperty_new(object, "Count", WTINT);
  EXPECT_EQ(WTproperty_numhandlers(object, "Count"), 0);
  EXPECT_EQ(WTproperty_firehandlers_pre(object, "Count"), 1);
  _WTproperty_setint(object, "Count", 1); // nobody listens: nothing is queued

  EXPECT_EQ(_WTproperty_addhandler(object, "Missing", post), 0);
  EXPECT_EQ(_WTproperty_addhandler(object, "Count", post), 1);
  EXPECT_EQ(_WTproperty_addhandler(object, "Count", post), 1);
  EXPECT_EQ(WTproperty_numhandlers(object, "Count"), 1); // added once
  EXPECT_EQ(_WTproperty_gethandler(object, "Count", 0), &post);
  EXPECT_EQ(_WTproperty_gethandler(object, "Count", 1), nullptr);

  // Two changes in one frame: two deliveries in order, each with its own value.
  _WTproperty_setint(object, "Count", 2);
  _WTproperty_setint(object, "Count", 3);
  EXPECT_TRUE(deliveries.empty());
  _WTproperty_flushevents();
  EXPECT_EQ(texts(), (std::vector<std::string>{"2", "3"}));
  EXPECT_EQ(deliveries[0].source, 0);
  EXPECT_EQ(deliveries[0].time, _WTtime_now());

  // Handlers are looked up when the frame delivers: one removed in between hears nothing.
  deliveries.clear();
  _WTproperty_setint(object, "Count", 4);
  EXPECT_EQ(_WTproperty_removehandler(object, "Count", post), 1);
  EXPECT_EQ(_WTproperty_removehandler(object, "Count", post), 0);
  _WTproperty_flushevents();
  EXPECT_TRUE(deliveries.empty());

  // Queued with a time of its own and without the handler count test.
  _WTproperty_addhandler(object, "Count", post);
  int32_t seven = 7;
  _WTproperty_firehandlersat(object, "Count", &seven, 12.5);
  _WTproperty_flushevents();
  ASSERT_EQ(deliveries.size(), 1u);
  EXPECT_EQ(deliveries[0].text, "7");
  EXPECT_EQ(deliveries[0].time, 12.5);
}

TEST_F(Properties, HandlersQueuedDuringDeliveryArriveInTheSamePass) {
  _WTuserproperty_new(object, "First", WTINT);
  _WTuserproperty_new(object, "Second", WTINT);
  static WTbase *target;
  target = object;
  _WTproperty_addhandler(object, "First", [](void *o, const char *n, void *v, double t, int s) {
    post(o, n, v, t, s);
    _WTproperty_setint(target, "Second", *static_cast<int *>(v) * 10);
  });
  _WTproperty_addhandler(object, "Second", post);
  _WTproperty_setint(object, "First", 4);
  _WTproperty_flushevents();
  EXPECT_EQ(texts(), (std::vector<std::string>{"4", "40"}));
}

TEST_F(Properties, PreHandlersVetoChanges) {
  _WTuserproperty_new(object, "Count", WTINT);
  static std::vector<int> calls;
  calls.clear();
  WTprehandler allow = [](void *, const char *, double, int) -> unsigned char {
    calls.push_back(1);
    return 1;
  };
  WTprehandler veto = [](void *, const char *, double, int) -> unsigned char {
    calls.push_back(2);
    return 0;
  };
  WTprehandler never = [](void *, const char *, double, int) -> unsigned char {
    calls.push_back(3);
    return 1;
  };
  // Registering the first pre handler creates the pre store.
  EXPECT_EQ(_WTproperty_addprehandler(object, "Count", allow), 1);
  EXPECT_EQ(_WTproperty_setint(object, "Count", 5), 1);
  EXPECT_EQ(_WTproperty_getint(object, "Count"), 5);
  EXPECT_EQ(_WTproperty_addprehandler(object, "Count", veto), 1);
  EXPECT_EQ(_WTproperty_addprehandler(object, "Count", never), 1);
  _WTproperty_addhandler(object, "Count", post);
  EXPECT_EQ(_WTproperty_setint(object, "Count", 6), 0);
  EXPECT_EQ(_WTproperty_getint(object, "Count"), 5);
  EXPECT_EQ(calls, (std::vector<int>{1, 1, 2}));
  _WTproperty_flushevents();
  EXPECT_TRUE(deliveries.empty());

  EXPECT_EQ(_WTproperty_removeprehandler(object, "Count", veto), 1);
  EXPECT_EQ(_WTproperty_setint(object, "Count", 6), 1);
  _WTproperty_removeallhandlers(object, "Count");
  EXPECT_EQ(WTproperty_numhandlers(object, "Count"), 0);
  EXPECT_EQ(_WTproperty_removeprehandler(object, "Count", allow), 0);
}

TEST_F(Properties, ScheduledChanges) {
  _WTuserproperty_new(object, "Count", WTINT);
  _WTproperty_addhandler(object, "Count", post);
  static std::vector<std::string> timers;
  timers.clear();
  EXPECT_EQ(_WTproperty_addtimerhandler(object, "Count",
                                        [](void *, const char *, void *v, double, int source) {
                                          timers.push_back(std::to_string(*static_cast<int *>(v)) +
                                                           "/" + std::to_string(source));
                                        }),
            1);

  // A time in the past applies at once and queues nothing.
  int32_t one = 1;
  EXPECT_EQ(_WTproperty_settimed(object, "Count", &one, _WTtime_now() - 5), 1);
  EXPECT_EQ(_WTproperty_getint(object, "Count"), 1);
  EXPECT_TRUE(timers.empty());

  // Two changes for the same later time apply newest first, once the frame's time reaches it.
  double due = _WTtime_now() + 0.05;
  int32_t two = 2, three = 3;
  EXPECT_EQ(_WTproperty_settimed(object, "Count", &two, due), 1);
  EXPECT_EQ(_WTproperty_settimed(object, "Count", &three, due), 1);
  EXPECT_EQ(timers, (std::vector<std::string>{"2/1", "3/1"}));
  tk::advanceclock(49);
  _WTtime_refresh();
  _WTproperty_runtimed();
  EXPECT_EQ(_WTproperty_getint(object, "Count"), 1);
  tk::advanceclock(2);
  _WTproperty_runtimed(); // the frame's time is not refreshed yet
  EXPECT_EQ(_WTproperty_getint(object, "Count"), 1);
  _WTtime_refresh();
  _WTproperty_runtimed();
  EXPECT_EQ(_WTproperty_getint(object, "Count"), 2);
  _WTproperty_flushevents();
  ASSERT_EQ(deliveries.size(), 3u);
  EXPECT_EQ(texts(), (std::vector<std::string>{"1", "3", "2"}));
  for (const Delivery &d : deliveries) EXPECT_EQ(d.source, 1);
  EXPECT_EQ(_WTproperty_settimed(object, "Missing", &one, due), 0);
}

TEST_F(Properties, NetworkRoundTrips) {
  WTbase *peer = _WTbase_newobject(nullptr);
  const struct {
    const char *name;
    int type;
  } props[] = {{"i", WTINT}, {"u", WTUINT}, {"f", WTFLOAT}, {"d", WTDOUBLE}, {"q", WTQ},
               {"m", WTM3},  {"s", WTSTRING}, {"t", WTSTRING}};
  for (const auto &p : props) {
    _WTuserproperty_new(object, p.name, p.type);
    _WTuserproperty_new(peer, p.name, p.type);
  }
  _WTproperty_setint(object, "i", -7);
  _WTproperty_setuint(object, "u", 7);
  _WTproperty_setfloat(object, "f", 0.25f);
  _WTproperty_setdouble(object, "d", -3.75);
  const float q[4] = {0.5f, -0.5f, 0.5f, 0.5f};
  _WTproperty_setq(object, "q", q);
  const float m[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  _WTproperty_setm3(object, "m", m);
  _WTproperty_setstring(object, "s", "abc");
  _WTproperty_setstring(object, "t", "four"); // the terminator travels too

  EXPECT_EQ(_WTproperty_getsize(object, "m"), 36);
  EXPECT_EQ(_WTproperty_getsize(object, "s"), 4);
  EXPECT_EQ(_WTproperty_getsize(object, "t"), 8);
  EXPECT_EQ(_WTproperty_getnetsize(object, "d"), 16);
  for (const auto &p : props) {
    std::vector<unsigned char> buffer(_WTproperty_getnetsize(object, p.name), 0xEE);
    int n = _WTproperty_encodestamped(object, p.name, buffer.data());
    ASSERT_EQ(n, int(buffer.size())) << p.name;
    EXPECT_EQ(_WTproperty_decodestamped(peer, p.name, buffer.data(), 0), 1);
    std::string sent = _WTproperty_gettext(object, p.name);
    EXPECT_EQ(sent, _WTproperty_gettext(peer, p.name)) << p.name;
  }
  std::vector<unsigned char> plain(4);
  _WTproperty_encode(object, "i", plain.data());
  EXPECT_EQ(plain, (std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xF9}));
  EXPECT_EQ(_WTproperty_encode(object, "Missing", plain.data()), 0);

  // The stamp of a received value, moved by the offset, is the notification's time.
  _WTproperty_flushevents();
  _WTproperty_addhandler(peer, "i", post);
  unsigned char stamped[12] = {0, 0, 0, 100, 0, 0, 0x01, 0xF4, 0, 0, 0, 42}; // 100 s 500 ms, 42
  EXPECT_EQ(_WTproperty_decodestamped(peer, "i", stamped, 2.0), 1);
  _WTproperty_flushevents();
  ASSERT_EQ(deliveries.size(), 1u);
  EXPECT_EQ(deliveries[0].text, "42");
  EXPECT_DOUBLE_EQ(deliveries[0].time, 102.5);
  _WTbase_deleteobject(peer, 0);
}

TEST_F(Properties, DeletedObjectsReceiveNothingMore) {
  WTbase *doomed = _WTbase_newobject(nullptr);
  _WTuserproperty_new(doomed, "Count", WTINT);
  _WTproperty_addhandler(doomed, "Count", post);
  _WTproperty_addprehandler(doomed, "Count", [](void *, const char *, double, int) -> unsigned char {
    return 1;
  });
  _WTproperty_setint(doomed, "Count", 1);
  int32_t two = 2;
  _WTproperty_settimed(doomed, "Count", &two, _WTtime_now() + 0.01);
  _WTbase_deleteobject(doomed, 0);

  // Neither the queued notifications nor the scheduled change touch the freed object.
  tk::advanceclock(30);
  _WTtime_refresh();
  _WTproperty_runtimed();
  _WTproperty_flushevents();
  EXPECT_TRUE(deliveries.empty());

  // A handler that deletes its object stops the delivery to that object.
  WTbase *second = _WTbase_newobject(nullptr);
  _WTuserproperty_new(second, "Count", WTINT);
  _WTproperty_addhandler(second, "Count", [](void *o, const char *, void *, double, int) {
    _WTbase_deleteobject(static_cast<WTbase *>(o), 0);
  });
  _WTproperty_addhandler(second, "Count", post);
  _WTproperty_setint(second, "Count", 1);
  _WTproperty_setint(second, "Count", 2);
  _WTproperty_flushevents();
  EXPECT_TRUE(deliveries.empty());

  // A pre handler that deletes its object: the handlers after it are not called with the freed
  // object and the change is refused.
  WTbase *third = _WTbase_newobject(nullptr);
  _WTuserproperty_new(third, "Count", WTINT);
  _WTproperty_addprehandler(third, "Count", [](void *o, const char *, double, int) -> unsigned char {
    _WTbase_deleteobject(static_cast<WTbase *>(o), 0);
    return 1;
  });
  _WTproperty_addprehandler(third, "Count", [](void *o, const char *, double, int) -> unsigned char {
    return _WTbase_class(o) == WTBASE_GENERIC;
  });
  EXPECT_EQ(_WTproperty_setint(third, "Count", 1), 0);
}

}  // namespace
