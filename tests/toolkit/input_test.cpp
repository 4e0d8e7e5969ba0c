// The mouse driver's reads and navigation updates, the key queue, and viewpoints moved by
// directions, poses and sensors.
#include <math.h>
#include <string.h>

#include <vector>

#include <gtest/gtest.h>

#include "scene.h"
#include "toolkit/core/motion.h"
#include "toolkit/render/context.h"
#include "toolkit/render/input.h"
#include "toolkit/render/view.h"

namespace {

class Mouse : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    window = WTwindow_newuser(nullptr, 0x1);
    ASSERT_TRUE(window);
    WTwindow_setposition(window, 10, 20, 200, 100);
    window->hwnd = &handle;
    sensor = WTsensor_new(WTmouse_open, WTmouse_close, WTmouse_walkupdate, nullptr, 1, 0);
    ASSERT_TRUE(sensor);
    _WTsensor_setangularrate(sensor, 0.2f);
    *_WTmouse_state() = WTmousestate();
    _WTmouse_state()->window = &handle;
  }
  void TearDown() override {
    *_WTmouse_state() = WTmousestate();
    tk::Universe::TearDown();
  }
  void at(int x, int y) { _WTmouse_state()->x = x, _WTmouse_state()->y = y; }
  void hold(int button, bool on) { _WTmouse_state()->down[button] = on; }
  void run(WTsensorfn update) {
    _WTsensor_setupdatefn(sensor, update);
    _WTsensor_update(sensor);
  }

  int handle = 0;
  WTwindow *window = nullptr;
  WTsensor *sensor = nullptr;
};

void expectrecord(WTsensor *s, const float (&t)[3], const float (&q)[4]) {
  for (int i = 0; i < 3; i++) EXPECT_NEAR(s->translation[i], t[i], 1e-5f) << "translation " << i;
  for (int i = 0; i < 4; i++) EXPECT_NEAR(s->rotation[i], q[i], 1e-5f) << "rotation " << i;
}

TEST_F(Mouse, ButtonBitsLatchUntilTheNextRead) {
  WTmousestate &m = *_WTmouse_state();
  m.down[0] = 1, m.pressed[0] = 1;
  m.down[0] = 0, m.released[0] = 1;
  m.dbl[1] = 1;
  WTmouse_update(sensor);
  EXPECT_EQ(_WTsensor_getmiscdata(sensor), 1 | 64 | 1024);
  WTmouse_update(sensor);
  EXPECT_EQ(_WTsensor_getmiscdata(sensor), 0);
  hold(2, true);
  WTmouse_update(sensor);
  EXPECT_EQ(_WTsensor_getmiscdata(sensor), 16);
}

TEST_F(Mouse, RawReadGivesScreenPositionAndCentre) {
  at(50, 30);
  WTmouse_rawupdate(sensor);
  const int32_t *raw = static_cast<const int32_t *>(_WTsensor_getrawdata(sensor));
  EXPECT_EQ(raw[0], 60);
  EXPECT_EQ(raw[1], 50);
  EXPECT_FLOAT_EQ(_WTmouse_pointer()->centrex, 100.0f);
  EXPECT_FLOAT_EQ(_WTmouse_pointer()->centrey, 50.0f);
  // A mouse event on no toolkit window keeps the last position.
  int other = 0;
  _WTmouse_state()->window = &other;
  at(5, 5);
  WTmouse_rawupdate(sensor);
  EXPECT_EQ(raw[0], 60);
}

TEST_F(Mouse, NavigationUpdatesFromCursorAndButtons) {
  const float s = 0.1f;  // sin(0.5 * 0.2), the half-angle of a full deflection
  struct Case {
    const char *name;
    WTsensorfn update;
    int x, y;
    bool left, right, middle;
    unsigned char constraints;
    float t[3];
    float q[4];
  } const cases[] = {
      {"walk at the centre", WTmouse_walkupdate, 100, 50, true, false, false, 0, {0, 0, 0}, {0, 0, 0, 1}},
      {"walk forward at the bottom edge", WTmouse_walkupdate, 100, 100, true, false, false, 0, {0, 0, -1}, {0, 0, 0, 1}},
      {"walk inside the dead zone", WTmouse_walkupdate, 109, 54, true, false, false, 0, {0, 0, 0}, {0, 0, 0, 1}},
      {"walk forward under constraint 4", WTmouse_walkupdate, 100, 100, true, false, false, 4, {0, 0, 0}, {0, 0, 0, 1}},
      {"walk yaw to the right edge", WTmouse_walkupdate, 200, 50, true, false, false, 0, {0, 0, 0}, {0, -sinf(s), 0, cosf(s)}},
      {"walk slides with the right button", WTmouse_walkupdate, 0, 0, false, true, false, 0, {-1, -1, 0}, {0, 0, 0, 1}},
      {"walk pitches with both buttons", WTmouse_walkupdate, 100, 0, true, true, false, 0, {0, 0, 0}, {-sinf(s), 0, 0, cosf(s)}},
      {"walk rolls with both buttons", WTmouse_walkupdate, 200, 60, true, true, false, 0, {0, 0, 0}, {0, 0, -sinf(s), cosf(s)}},
      {"move drifts with the root of the offset", WTmouse_moveupdate, 125, 50, false, false, false, 0, {0.5f, 0, 0}, {0, 0, 0, 1}},
      {"move turns left by the rate", WTmouse_moveupdate, 100, 50, true, false, false, 0, {0, 0, 0}, {0, sinf(s), 0, cosf(s)}},
      {"move rises with the middle button", WTmouse_moveupdate, 100, 75, false, false, true, 0, {0, sqrtf(0.5f), 0}, {0, 0, 0, 1}},
      {"drive ahead", WTmouse_driveupdate, 100, 25, false, false, false, 0, {0, 0, sqrtf(0.5f)}, {0, 0, 0, 1}},
      {"turn", WTmouse_turnupdate, 100, 75, false, false, false, 0, {0, 0, -0.5f}, {0, 0, 0, 1}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    _WTsensor_setconstraints(sensor, c.constraints);
    at(c.x, c.y);
    hold(0, c.left), hold(1, c.right), hold(2, c.middle);
    run(c.update);
    expectrecord(sensor, c.t, c.q);
  }
}

TEST_F(Mouse, SplitStereoLowerHalfMapsOntoTheUpper) {
  window->displaymode = 4;
  hold(0, true);
  at(150, 10);
  run(WTmouse_walkupdate);
  WTp3 upper;
  WTq upperq;
  _WTsensor_getdeltarecord(sensor, upper, upperq);
  int gap = _WTrender_context()->splitgap, half = (100 - gap) / 2;
  at(150, 10 + half + gap);
  run(WTmouse_walkupdate);
  EXPECT_FLOAT_EQ(_WTmouse_pointer()->centrey, half / 2.0f);
  EXPECT_EQ(_WTmouse_pointer()->y, 10);
  expectrecord(sensor, {upper[0], upper[1], upper[2]}, {upperq[0], upperq[1], upperq[2], upperq[3]});
  EXPECT_GT(upper[2], 0.0f);
}

TEST_F(Mouse, ViewportOfNoSizeLeavesTheSensorAtRest) {
  window->viewport[1] = 0.0f;
  hold(0, true);
  at(0, 0);
  for (WTsensorfn update : {WTmouse_walkupdate, WTmouse_moveupdate, WTmouse_driveupdate,
                            WTmouse_turnupdate}) {
    run(update);
    expectrecord(sensor, {0, 0, 0}, {0, 0, 0, 1});
  }
}

TEST_F(Mouse, DragTurnsByTheCursorsMovementAndSnapsToSteps) {
  WTmouse_setdragcarry(0.0f);
  at(100, 50);
  run(WTmouse_dragupdate);  // no button: the cursor becomes the anchor
  hold(0, true);
  at(120, 50);
  run(WTmouse_dragupdate);
  WTq expected;
  _WTeuler_2q(0.0f, -20 * 0.2f * 0.075f, 0.0f, expected);
  expectrecord(sensor, {0, 0, 0}, {expected[0], expected[1], expected[2], expected[3]});
  // With a step of 0.25 the 0.6 turn since the anchor snaps down to two steps.
  WTmouse_setanglestep(0.25f);
  at(140, 50);
  run(WTmouse_dragupdate);
  _WTeuler_2q(0.0f, -0.5f, 0.0f, expected);
  expectrecord(sensor, {0, 0, 0}, {expected[0], expected[1], expected[2], expected[3]});
  WTmouse_setanglestep(0.0f);
  WTmouse_setdragcarry(1.0f);
}

// ---- Keys --------------------------------------------------------------------------------------

class Keys : public tk::Universe {
 protected:
  void TearDown() override {
    WTkeyboard_flush();
    tk::Universe::TearDown();
  }
  static std::vector<int> &heard() {
    static std::vector<int> codes;
    return codes;
  }
  static void onkey(void *, const char *, void *value, double, int) {
    heard().push_back(*static_cast<int *>(value));
  }
};

TEST_F(Keys, KeysWaitInTypingOrderForWindowsWithoutHandlers) {
  WTwindow *w = WTwindow_newuser(nullptr, 0x1);
  for (int code : {int('a'), int(WTKEY_F1), int(WTKEY_RETURN)}) _WTkeyboard_push(w, code);
  _WTwindow_firekeyevents();
  EXPECT_EQ(WTkeyboard_getkey(), 'a');
  EXPECT_EQ(WTkeyboard_getkey(), WTKEY_F1);
  EXPECT_EQ(WTkeyboard_getkey(), WTKEY_RETURN);
  EXPECT_EQ(WTkeyboard_getkey(), 0);
  _WTkeyboard_push(w, 'x');
  _WTkeyboard_push(w, 'y');
  EXPECT_EQ(WTkeyboard_flush(), 'y');
  EXPECT_EQ(WTkeyboard_getkey(), 0);
}

TEST_F(Keys, HandledKeysAreDeliveredAndTheRestStayQueued) {
  WTwindow *listening = WTwindow_newuser(nullptr, 0x1);
  WTwindow *quiet = WTwindow_newuser(nullptr, 0x1);
  ASSERT_TRUE(_WTproperty_addhandler(listening, "Key", onkey));
  heard().clear();
  _WTkeyboard_push(listening, 'a');
  _WTkeyboard_push(quiet, 'b');
  _WTkeyboard_push(listening, 'c');
  _WTkeyboard_push(quiet, 'd');
  _WTwindow_firekeyevents();
  _WTproperty_flushevents();
  EXPECT_EQ(heard(), (std::vector<int>{'a', 'c'}));
  // A window deleted with keys still queued leaves the codes behind, naming no window.
  WTwindow_delete(quiet);
  _WTwindow_firekeyevents();
  EXPECT_EQ(WTkeyboard_getkey(), 'b');
  EXPECT_EQ(WTkeyboard_getkey(), 'd');
  EXPECT_EQ(WTkeyboard_getkey(), 0);
}

// ---- Viewpoint motion --------------------------------------------------------------------------

class ViewpointMotion : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    viewpoint = WTviewpoint_new();
    ASSERT_TRUE(viewpoint);
  }
  static int &posts() {
    static int n;
    return n;
  }
  static void counted(void *, const char *, void *, double, int) { posts()++; }
  static unsigned char veto(void *, const char *, double, int) { return 0; }
  WTviewpoint *viewpoint = nullptr;
};

void expectnear(const float *a, const float *b, int n) {
  for (int i = 0; i < n; i++) EXPECT_NEAR(a[i], b[i], 1e-4f) << i;
}

TEST_F(ViewpointMotion, DirectionsAndAxesTurnTheOrientation) {
  const float directions[][3] = {{1, 0, 0}, {0, 0, -3}, {0.6f, 0.8f, 0}, {-1, 0, 0}};
  for (const auto &d : directions) {
    ASSERT_TRUE(WTviewpoint_setdirection(viewpoint, d));
    WTp3 got, unit;
    WTviewpoint_getdirection(viewpoint, got);
    float len = sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (int i = 0; i < 3; i++) unit[i] = d[i] / len;
    expectnear(got, unit, 3);
  }
  WTp3 tiny = {0.001f, 0, 0};
  EXPECT_FALSE(WTviewpoint_setdirection(viewpoint, tiny));
  WTp3 up = {0, -1, 0}, axis;
  ASSERT_TRUE(_WTviewpoint_alignaxis(viewpoint, 1, up));
  _WTviewpoint_getaxis(viewpoint, 1, axis);
  expectnear(axis, up, 3);
  WTp3 p = {1, 2, 3}, back;
  memcpy(back, p, sizeof p);
  _WTviewpoint_world2local(viewpoint, back);
  _WTviewpoint_local2world(viewpoint, back);
  expectnear(back, p, 3);
}

TEST_F(ViewpointMotion, MovePoseByFrameAndSetPoseVetoed) {
  WTq turn = {0, sinf(0.5f), 0, cosf(0.5f)};
  WTviewpoint_setorientation(viewpoint, turn);
  WTpq delta = {{0, 0, 1}, {0, 0, 0, 1}};
  ASSERT_TRUE(_WTviewpoint_movepose(viewpoint, &delta, 1));
  WTp3 p;
  WTviewpoint_getposition(viewpoint, p);
  expectnear(p, delta.p, 3);
  ASSERT_TRUE(_WTviewpoint_movepose(viewpoint, &delta, 0));
  WTp3 turned, expected;
  _WTq_rotatepoint(delta.p, turn, turned);
  for (int i = 0; i < 3; i++) expected[i] = delta.p[i] + turned[i];
  WTviewpoint_getposition(viewpoint, p);
  expectnear(p, expected, 3);
  _WTproperty_addprehandler(viewpoint, "Orientation", veto);
  WTpq pose = {{5, 5, 5}, {0, 0, 0, 1}};
  EXPECT_FALSE(_WTviewpoint_setpose(viewpoint, &pose));
  WTviewpoint_getposition(viewpoint, p);
  expectnear(p, expected, 3);
}

TEST_F(ViewpointMotion, SensorMovesAreHeldByPositionConstraints) {
  WTsensor *sensor = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 1, 0);
  WTmotionlink *link = WTviewpoint_addsensor(viewpoint, sensor);
  ASSERT_TRUE(link);
  _WTmotionlink_setmode(link, 1);
  _WTmotionlink_setframe(link, 1, nullptr);
  ASSERT_TRUE(_WTmotionlink_addconstraint(link, 2, 0.0f, 10.0f));
  const WTq rest = {0, 0, 0, 1};
  struct Case {
    float dy, y;
  } const cases[] = {{-3, 0}, {20, 10}, {4, 5}};
  for (const Case &c : cases) {
    WTp3 start = {0, 1, 0}, t = {0, c.dy, 0};
    WTviewpoint_setposition(viewpoint, start);
    WTsensor_setrecord(sensor, t, rest);
    _WTviewpoint_motionupdate(link);
    WTp3 p;
    WTviewpoint_getposition(viewpoint, p);
    EXPECT_EQ(p[1], c.y) << c.dy;
  }
}

TEST_F(ViewpointMotion, SensorTurnsAreHeldByAngleConstraints) {
  WTsensor *sensor = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 1, 0);
  WTmotionlink *link = WTviewpoint_addsensor(viewpoint, sensor);
  _WTmotionlink_setmode(link, 1);
  _WTmotionlink_setframe(link, 1, nullptr);
  ASSERT_TRUE(_WTmotionlink_addconstraint(link, 16, -0.5f, 0.5f));
  const WTp3 still = {0, 0, 0};
  const WTq yaw = {0, sinf(0.2f), 0, cosf(0.2f)};
  WTsensor_setrecord(sensor, still, yaw);
  for (int i = 0; i < 10; i++) _WTviewpoint_motionupdate(link);
  WTp3 d;
  WTviewpoint_getdirection(viewpoint, d);
  EXPECT_LE(fabsf(atan2f(d[0], d[2])), 0.5f + 1e-3f);
  EXPECT_GT(fabsf(atan2f(d[0], d[2])), 0.3f);
}

TEST_F(ViewpointMotion, RestingSensorStillPostsThePose) {
  WTsensor *sensor = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 1, 0);
  WTmotionlink *link = WTviewpoint_addsensor(viewpoint, sensor);
  _WTproperty_addhandler(viewpoint, "Position", counted);
  _WTproperty_addhandler(viewpoint, "Orientation", counted);
  posts() = 0;
  _WTviewpoint_motionupdate(link);
  _WTproperty_flushevents();
  EXPECT_EQ(posts(), 2);
  // A vetoed move is undone and posts nothing.
  _WTproperty_addprehandler(viewpoint, "Position", veto);
  WTp3 t = {1, 0, 0};
  const WTq rest = {0, 0, 0, 1};
  WTsensor_setrecord(sensor, t, rest);
  posts() = 0;
  _WTviewpoint_motionupdate(link);
  _WTproperty_flushevents();
  EXPECT_EQ(posts(), 0);
  WTp3 p;
  WTviewpoint_getposition(viewpoint, p);
  EXPECT_EQ(p[0], 0.0f);
}

TEST_F(ViewpointMotion, FrameIsReadFromAndWrittenToItsWindows) {
  WTwindow *a = WTwindow_newuser(nullptr, 0x1), *b = WTwindow_newuser(nullptr, 0x1);
  WTwindow_setviewpoint(a, viewpoint);
  WTwindow_setviewpoint(b, viewpoint);
  _WTviewpoint_setframe(viewpoint, 1, -1, 2, -3, 4, 0.0f, 100);
  float l, r, bottom, top, h, y;
  ASSERT_TRUE(_WTviewpoint_getframe(viewpoint, 1, &l, &r, &bottom, &top, &h, &y));
  EXPECT_EQ(l, -1);
  EXPECT_EQ(top, 4);
  EXPECT_EQ(h, 0.004f);
  float bl, br, bb, bt, bh, by;
  WTwindow_getfrustum(b, 1, &bl, &br, &bb, &bt, &bh, &by);
  EXPECT_EQ(bb, -3);
}

}  // namespace
