// The six-axis puck: events made from its ring of records, and the sensor driver's updates.
#include <math.h>
#include <string.h>

#include <gtest/gtest.h>

#include "scene.h"
#include "toolkit/core/motion.h"
#include "toolkit/devices/devices.h"
#include "toolkit/devices/puck.h"

namespace {

SpwEvent motionrecord(float scale) {
  SpwEvent e = {};
  e.type = 1;
  for (int i = 0; i < 7; i++) e.motion[i] = scale * (i + 1), e.raw[i] = static_cast<int16_t>(scale * (i + 1));
  return e;
}

class PuckEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    device = spw_adddevice(1);
    device->message = 0xC123;
  }
  void TearDown() override { spw_removedevice(1); }
  SpwDevice *device = nullptr;
};

TEST_F(PuckEvents, WaitingMotionsAreAveragedAndTheirSlotsEmptied) {
  // Three records waiting from slot 30 on, round the end of the ring.
  for (int i = 0; i < 3; i++) {
    SpwEvent record = motionrecord(i + 1.0f);
    spw_publish(&device->ring[(30 + i) % SPW_RING], &record);
  }
  SpwEvent e;
  ASSERT_EQ(spw_get_event(1, 0xC123, 30, &e, 1), 1);
  EXPECT_EQ(e.type, 1);
  for (int i = 0; i < 7; i++) {
    EXPECT_FLOAT_EQ(e.motion[i], 2.0f * (i + 1)) << i;
    EXPECT_EQ(e.raw[i], 6 * (i + 1)) << i;
  }
  for (int slot : {30, 31, 0}) EXPECT_EQ(device->ring[slot].type, 0) << slot;
  EXPECT_EQ(spw_get_event(1, 0xC123, 31, &e, 1), 0);
}

TEST_F(PuckEvents, AStillRecordGivesItsPeriodAndRecordsCopyWithoutAveraging) {
  SpwEvent still = {};
  still.type = 1;
  still.raw[6] = 40;
  spw_publish(&device->ring[4], &still);
  SpwEvent e;
  ASSERT_EQ(spw_get_event(1, 0xC123, 4, &e, 1), 1);
  EXPECT_FLOAT_EQ(e.motion[6], 40.0f);
  EXPECT_EQ(device->ring[4].type, 0);
  SpwEvent text = {};
  text.type = 5;
  memset(text.text, 'x', sizeof text.text);  // no end: the copy stops at the record's end
  spw_publish(&device->ring[5], &text);
  ASSERT_EQ(spw_get_event(1, 0xC123, 5, &e, 0), 1);
  EXPECT_EQ(strlen(e.text), sizeof e.text - 1);
  EXPECT_EQ(device->ring[5].type, 5);
}

TEST_F(PuckEvents, ButtonMessagesAndOthers) {
  SpwEvent e;
  ASSERT_EQ(spw_get_event(1, 0xC123, 2003, &e, 1), 1);
  EXPECT_EQ(e.type, 2);
  EXPECT_EQ(e.button, 3);
  ASSERT_EQ(spw_get_event(1, 0xC123, 3012, &e, 1), 1);
  EXPECT_EQ(e.type, 3);
  EXPECT_EQ(e.button, 12);
  EXPECT_EQ(spw_get_event(1, 0xC123, 40, &e, 1), 0);
  EXPECT_EQ(spw_get_event(1, 0xC124, 2003, &e, 1), 0);
  EXPECT_EQ(spw_get_event(2, 0xC123, 2003, &e, 1), 0);
  EXPECT_EQ(spw_get_event(0, 0, 0, &e, 1), 0);
}

TEST(PuckAnswers, AnErrorOrAHandlePastTheTableGivesNone) {
  SpwControl answer = {};
  char name[SPW_NAMESIZE];
  answer.handle = 3;
  memset(answer.text, 'n', sizeof answer.text);
  EXPECT_EQ(spw_answerhandle(&answer, name), 3);
  EXPECT_EQ(strlen(name), SPW_NAMESIZE - 1u);
  for (int16_t handle : {0, 8, -1}) {
    answer.handle = handle;
    EXPECT_EQ(spw_answerhandle(&answer, name), 0) << handle;
  }
  answer.handle = 3;
  answer.error = 1010;
  EXPECT_EQ(spw_answerhandle(&answer, name), 0);
  EXPECT_EQ(spw_last_error(), 1010);
}

// ---- The sensor driver's updates ---------------------------------------------------------------

using PuckSensors = tk::Universe;

struct Update {
  const char *what;
  WTsensorfn fn;
  float raw[6];
  unsigned char constraints;
  float translation[3], angles[3];
};

TEST_F(PuckSensors, UpdatesScaleTheRawValues) {
  const float s = 2.0f / 512, r = 0.5f / 512;
  const Update cases[] = {
      {"all axes", _WTspaceball_update, {512, 0, 0, 0, 0, 0}, 0, {2, 0, 0}, {0, 0, 0}},
      {"x held", _WTspaceball_update, {512, 0, 0, 0, 0, 0}, 1, {0, 0, 0}, {0, 0, 0}},
      {"dominant y", _WTspaceball_updatedominant, {10, -300, 5, 0, 0, 200}, 0, {0, -300 * s, 0}, {0, 0, 0}},
      {"dominant turn", _WTspaceball_updatedominant, {10, 30, 5, 0, 0, -200}, 0, {0, 0, 0}, {0, 0, -200 * r}},
      {"dominant held", _WTspaceball_updatedominant, {10, -300, 5, 0, 0, 200}, 2, {0, 0, 0}, {0, 0, 0}},
  };
  for (const Update &c : cases) {
    WTsensor *sensor = WTsensor_new(nullptr, _WTspaceball_close, c.fn, nullptr, 0, 0);
    ASSERT_NE(sensor, nullptr);
    float *raw = static_cast<float *>(_WTmem_alloc(sizeof c.raw));
    memcpy(raw, c.raw, sizeof c.raw);
    _WTsensor_setrawdata(sensor, raw);
    _WTsensor_setsensitivity(sensor, 2.0f);
    _WTsensor_setangularrate(sensor, 0.5f);
    _WTsensor_setconstraints(sensor, c.constraints);
    c.fn(sensor);
    WTp3 t;
    WTq q, expected;
    _WTsensor_gettranslation(sensor, t);
    _WTsensor_getrotation(sensor, q);
    _WTeuler_2q(c.angles[0], c.angles[1], c.angles[2], expected);
    for (int i = 0; i < 3; i++) EXPECT_NEAR(t[i], c.translation[i], 1e-6) << c.what << " " << i;
    for (int i = 0; i < 4; i++) EXPECT_NEAR(q[i], expected[i], 1e-6) << c.what << " " << i;
    WTsensor_delete(sensor);
  }
}

}  // namespace
