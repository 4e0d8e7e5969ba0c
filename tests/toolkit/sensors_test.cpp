// Sensors and the motion links they drive through the frame loop.
#include <math.h>
#include <string.h>

#include <gmock/gmock.h>

#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"

namespace {

using Sensors = tk::Universe;
using ::testing::FloatNear;
using ::testing::HasSubstr;
using ::testing::Pointwise;

std::vector<float> v(const float *p, int n) { return std::vector<float>(p, p + n); }

// A device that reports the same step every frame: one unit along x and a turn about y.
WTp3 scriptstep = {1, 0, 0};
WTq scriptturn = {0, 0, 0, 1};
void scripted(WTsensor *s) { WTsensor_setrecord(s, scriptstep, scriptturn); }

int opens, closes;
int openok(WTsensor *) { return ++opens, 1; }
int openfails(WTsensor *s) {
  _WTsensor_setrawdata(s, _WTmem_alloc(16));
  return ++opens, 0;
}
void countclose(WTsensor *) { closes++; }

WTsensor *newscripted() {
  scriptstep[0] = 1, scriptstep[1] = scriptstep[2] = 0;
  scriptturn[0] = scriptturn[1] = scriptturn[2] = 0, scriptturn[3] = 1;
  return WTsensor_new(openok, countclose, scripted, nullptr, 7, 0);
}

std::vector<float> translation(WTnode *n) {
  WTp3 t;
  EXPECT_EQ(WTnode_gettranslation(n, t), 1);
  return v(t, 3);
}

TEST_F(Sensors, CreationOpensListsAndDeletionCloses) {
  opens = closes = 0;
  WTsensor *s = newscripted();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(_WTuniverse_getsensors(), s);
  EXPECT_EQ(_WTsensor_getdevice(s), 7);
  EXPECT_FLOAT_EQ(_WTsensor_getangularrate(s), 0.0873f);
  EXPECT_EQ(_WTsensor_getdevice(nullptr), -1);

  // Mode 2: listed without opening, deleted without closing.
  WTsensor *quiet = WTsensor_new(openok, countclose, nullptr, nullptr, 0, 2);
  ASSERT_NE(quiet, nullptr);
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(_WTsensor_next(s), quiet);
  WTsensor_delete(quiet);
  EXPECT_EQ(closes, 0);
  WTsensor_delete(s);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(_WTuniverse_getsensors(), nullptr);

  // A failed open leaves nothing (the buffer it made is freed: the sanitizer would see a leak).
  EXPECT_EQ(WTsensor_new(openfails, countclose, nullptr, nullptr, 0, 0), nullptr);
  EXPECT_EQ(_WTuniverse_getsensors(), nullptr);
}

TEST_F(Sensors, RecordSettersRefuseAndNotify) {
  WTsensor *s = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 0);
  tk::Captured messages;
  const WTp3 t = {1, 2, 3};
  const WTq tiny = {0, 0, 0, 0.001f};
  EXPECT_EQ(WTsensor_setrecord(s, t, tiny), 0);
  EXPECT_THAT(messages.all(), HasSubstr("Invalid quaternion passed to WTsensor_setrecord."));
  WTp3 got;
  _WTsensor_gettranslation(s, got);
  EXPECT_THAT(v(got, 3), Pointwise(FloatNear(0), {0.0f, 0.0f, 0.0f}));

  EXPECT_EQ(_WTsensor_setsensitivity(s, -1.0f), 0);
  EXPECT_FLOAT_EQ(_WTsensor_getsensitivity(s), 1.0f);

  // The one-part setter fires its own property once, and the pair setter both.
  static int fired;
  fired = 0;
  // Handlers register on properties the object has; the name is given one here.
  _WTuserproperty_new(s, "Translation", WTP3);
  _WTproperty_addhandler(s, "Translation", [](void *, const char *, void *, double, int) { fired++; });
  EXPECT_EQ(_WTsensor_settranslation(s, t), 1);
  _WTproperty_flushevents();
  EXPECT_EQ(fired, 1);

  // The delta against the last record.
  const WTq turn = {0, 0.7071068f, 0, 0.7071068f};
  _WTsensor_setlastrecord(s, t, turn);
  WTp3 dt;
  WTq dq;
  const WTp3 now = {2, 2, 3};
  _WTsensor_delta(s, now, turn, dt, dq);
  EXPECT_THAT(v(dt, 3), Pointwise(FloatNear(1e-6f), {1.0f, 0.0f, 0.0f}));
  EXPECT_THAT(v(dq, 4), Pointwise(FloatNear(1e-5f), {0.0f, 0.0f, 0.0f, 1.0f}));
}

TEST_F(Sensors, ReferenceIsAUnitQuaternionOrOff) {
  WTsensor *s = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 0);
  WTq r;
  const WTq doubled = {0, 0, 2, 0};
  ASSERT_EQ(WTsensor_rotate(s, doubled), 1);
  _WTsensor_getreference(s, r);
  EXPECT_THAT(v(r, 4), Pointwise(FloatNear(1e-6f), {0.0f, 0.0f, 1.0f, 0.0f}));

  // With the reference in use the update turns the record: half a turn about z flips x.
  const WTp3 t = {1, 0, 0};
  const WTq none = {0, 0, 0, 1};
  _WTsensor_setupdatefn(s, [](WTsensor *) {});
  WTsensor_setrecord(s, t, none);
  _WTsensor_update(s);
  WTp3 got;
  _WTsensor_gettranslation(s, got);
  EXPECT_THAT(v(got, 3), Pointwise(FloatNear(1e-5f), {-1.0f, 0.0f, 0.0f}));

  ASSERT_EQ(WTsensor_rotate(s, none), 1);
  _WTsensor_getreference(s, r);
  EXPECT_THAT(v(r, 4), Pointwise(FloatNear(0), {0.0f, 0.0f, 0.0f, 1.0f}));
  tk::Captured messages;
  const WTq zero = {0, 0, 0, 0};
  EXPECT_EQ(WTsensor_rotate(s, zero), 0);
  EXPECT_THAT(messages.all(), HasSubstr("Invalid quaternion passed to WTsensor_rotate."));
}

TEST_F(Sensors, DriveATransformNodeInItsOwnFrameOrItsParents) {
  WTsensor *s = newscripted();
  WTnode *local = WTxformnode_new(root), *parent = WTxformnode_new(root);
  for (WTnode *n : {local, parent}) WTnode_rotateaxis(n, 2, 90, WTFRAME_LOCAL);
  WTmotionlink *a = WTnode_addsensor(local, s);
  WTmotionlink *b = WTmotionlink_new(s, parent, 0, WTTARGET_NODE);
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(_WTmotionlink_setframe(b, WTFRAME_PARENT, nullptr), 1);
  WTuniverse_go1();
  WTuniverse_go1();
  EXPECT_THAT(translation(local), Pointwise(FloatNear(1e-5f), {0.0f, 2.0f, 0.0f}));
  EXPECT_THAT(translation(parent), Pointwise(FloatNear(1e-5f), {2.0f, 0.0f, 0.0f}));

  // A constraint holds x within 0..2.5; a disabled link stands still.
  ASSERT_EQ(_WTmotionlink_addconstraint(b, 1, 0.0f, 2.5f), 1);
  WTuniverse_go1();
  EXPECT_THAT(translation(parent), Pointwise(FloatNear(1e-5f), {2.5f, 0.0f, 0.0f}));
  _WTmotionlink_enable(a, 0);
  WTuniverse_go1();
  EXPECT_THAT(translation(local), Pointwise(FloatNear(1e-5f), {0.0f, 3.0f, 0.0f}));
  _WTmotionlink_enable(a, 1);
  WTuniverse_go1();
  EXPECT_THAT(translation(local), Pointwise(FloatNear(1e-5f), {0.0f, 4.0f, 0.0f}));

  // A reference frame re-expresses the step: a quarter turn about z sends x along -y.
  const WTq quarter = {0, 0, 0.7071068f, 0.7071068f};
  WTnode *framed = WTxformnode_new(root);
  WTmotionlink *c = WTmotionlink_new(s, framed, 0, WTTARGET_NODE);
  ASSERT_EQ(_WTmotionlink_setframe(c, 2, quarter), 1);
  WTuniverse_go1();
  WTp3 t;
  WTnode_gettranslation(framed, t);
  EXPECT_NEAR(fabsf(t[1]), 1.0f, 1e-5f);
  EXPECT_NEAR(t[0], 0.0f, 1e-5f);
}

TEST_F(Sensors, DriveAMovableAboutItsCentre) {
  WTsensor *s = newscripted();
  scriptstep[0] = 0;
  scriptturn[1] = sinf(0.25f), scriptturn[3] = cosf(0.25f);
  WTnode *m = WTmovgeometrynode_new(root, WTgeometry_newblock(1, 1, 1, 0));
  WTnode_translate(m, std::vector<float>{5, 0, 0}.data(), WTFRAME_PARENT);
  ASSERT_NE(WTnode_addsensor(m, s), nullptr);
  WTuniverse_go1();
  // The block (centred on its origin) turns in place: its position stays.
  EXPECT_THAT(translation(m), Pointwise(FloatNear(1e-4f), {5.0f, 0.0f, 0.0f}));
  WTq q;
  WTnode_getorientation(m, q);
  EXPECT_NEAR(fabsf(q[1]), sinf(0.25f), 1e-5f);
}

TEST_F(Sensors, LinksDieWithTheirSensorOrTarget) {
  WTsensor *s = newscripted();
  WTnode *x = WTxformnode_new(root), *y = WTxformnode_new(root);
  WTnode_addsensor(x, s);
  WTnode_addsensor(y, s);
  WTnode_delete(y);
  WTuniverse_go1();
  EXPECT_EQ(_WTmotionlink_next(_WTuniverse_getmotionlinks()), nullptr);
  WTsensor_delete(s);
  EXPECT_EQ(_WTuniverse_getmotionlinks(), nullptr);
  // Clean frames after: nothing reads the freed sensor (the sanitizer would tell).
  WTuniverse_go1();
  WTuniverse_go1();
  EXPECT_THAT(translation(x), Pointwise(FloatNear(1e-6f), {1.0f, 0.0f, 0.0f}));
}

WTsensor *victim;
unsigned char dropsensor(void *, const char *, double, int) {
  WTsensor_delete(victim);
  return 1;
}

TEST_F(Sensors, APreHandlerMayDeleteTheLinkThePassStandsOn) {
  victim = newscripted();
  WTnode *x = WTxformnode_new(root), *y = WTxformnode_new(root);
  WTnode_addsensor(x, victim);
  WTnode_addsensor(y, victim);
  _WTuserproperty_new(x, "Translation", WTP3);
  ASSERT_EQ(_WTproperty_addprehandler(x, "Translation", dropsensor), 1);
  WTuniverse_go1();
  EXPECT_EQ(_WTuniverse_getmotionlinks(), nullptr);
  EXPECT_EQ(_WTuniverse_getsensors(), nullptr);
  WTuniverse_go1();
}

TEST_F(Sensors, LinkRulesAndTheirRefusals) {
  WTsensor *s = newscripted();
  WTnode *x = WTxformnode_new(root), *g = WTgroupnode_new(root);
  WTmotionlink *l = WTmotionlink_new(s, x, 0, WTTARGET_NODE);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(WTmotionlink_new(s, x, 0, WTTARGET_NODE), nullptr);
  EXPECT_EQ(WTmotionlink_new(s, g, 0, WTTARGET_MOVABLE), nullptr);
  EXPECT_EQ(WTnode_addsensor(g, s), nullptr);
  {
    tk::Captured messages;
    EXPECT_EQ(WTmotionlink_new(s, x, 0, WTTARGET_LIGHT), nullptr);
    EXPECT_THAT(messages.all(), HasSubstr("Illegal to_type in call to WTmotionlink_new."));
  }
  {
    tk::Captured messages;
    EXPECT_EQ(_WTmotionlink_setframe(l, 1, nullptr), 0);
    EXPECT_THAT(messages.all(),
                HasSubstr("Illegal reference frame requested. \t\t\t\t\t\t\t\t\tFrame unchanged.\n"));
    EXPECT_EQ(_WTmotionlink_setframe(l, 2, nullptr), 0);
    EXPECT_EQ(_WTmotionlink_getframe(l), 0);
  }
  EXPECT_EQ(_WTmotionlink_setmode(l, 1), 1);
  EXPECT_EQ(_WTmotionlink_getmode(l), 3);
  EXPECT_EQ(_WTmotionlink_setmode(l, 2), 0);
  const struct {
    int type;
    float min, max;
    int ok;
  } constraints[] = {{1, 0, 1, 1}, {1, 2, 1, 0}, {8, -3, 3, 1}, {8, -4, 3, 0}, {32, -3.2f, 0, 0},
                     {32, -3, 3, 1}, {64, 0, 1, 0}};
  for (const auto &c : constraints)
    EXPECT_EQ(_WTmotionlink_addconstraint(l, c.type, c.min, c.max), c.ok) << c.type << " " << c.min;
  EXPECT_EQ(_WTmotionlink_numconstraints(l), 3);
  EXPECT_EQ(_WTmotionlink_removeconstraint(l, 8), 1);
  EXPECT_EQ(_WTmotionlink_removeconstraint(l, 8), 0);
  EXPECT_EQ(_WTmotionlink_numconstraints(l), 2);
  // A path source is told by its class: it never runs as a sensor.
  WTpath *p = _WTpath_new(nullptr);
  WTmotionlink *fromp = WTmotionlink_new(p, x, 0, WTTARGET_NODE);
  ASSERT_NE(fromp, nullptr);
  void *src;
  int type;
  _WTmotionlink_getsource(fromp, &src, &type);
  EXPECT_EQ(type, WTSOURCE_PATH);
  EXPECT_EQ(_WTmotionlink_newsensor(reinterpret_cast<WTsensor *>(p), g, 0, WTTARGET_NODE), nullptr);
}

}  // namespace
