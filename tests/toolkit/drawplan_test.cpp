// What a frame draws, decided before any OpenGL call: the windows drawn and their viewports, the
// eye passes of each display mode, split halves, interleave masks, the render list's passes, the
// state cache at view begin and the light lists.
#include <string.h>

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "scene.h"
#include "toolkit/render/drawplan.h"
#include "toolkit/render/view.h"

namespace {

// The plan as the OpenGL file sends it, one eye pass after the other.
std::string describe(const WTpassplan &p) {
  std::ostringstream o;
  if (p.disablestencil) o << "stencil off; ";
  if (p.enablestencil) o << "stencil on; ";
  if (p.keepstencil) o << "keep stencil; ";
  for (int i = 0; i < p.count; i++) {
    const WTeyepass &e = p.pass[i];
    const WTviewport &v = e.viewport;
    if (e.setviewport) o << "viewport " << v.x << ' ' << v.y << ' ' << v.width << ' ' << v.height << ", ";
    if (e.colormask >= 0) o << "mask " << int(e.colormask) << ", ";
    if (e.buffer != WTBUFFER_BACK) o << (e.buffer == WTBUFFER_BACKLEFT ? "left, " : "right, ");
    if (e.stencil != WTSTENCIL_NONE) o << (e.stencil == WTSTENCIL_INSIDE ? "inside, " : "outside, ");
    if (e.cleardepth) o << "clear depth, ";
    o << "eye " << e.eye << "; ";
  }
  if (p.maskafter >= 0) o << "mask " << int(p.maskafter) << " after; ";
  o << (p.stencilon ? "test on" : "test off");
  return o.str();
}

TEST(EyePasses, EachDisplayModeDrawsItsPassesInOrder) {
  const struct {
    uint32_t mode;
    int stencilon;
    const char *passes;
  } cases[] = {
      {1, 0, "eye 1; test off"},
      {1, 1, "stencil off; eye 1; test off"},
      {4, 0, "viewport 10 79 200 41, eye 0; viewport 10 20 200 41, eye 1; test off"},
      {8, 0, "mask 1, eye 0; mask 4, clear depth, eye 1; mask 7 after; test off"},
      {32, 1, "stencil off; left, eye 0; right, clear depth, eye 1; test off"},
      {0x1000, 0, "stencil on; keep stencil; outside, eye 0; inside, eye 1; test on"},
      {0x7000, 1, "keep stencil; outside, eye 0; inside, eye 1; test on"},
      // A mode without passes draws nothing; only one without the mask bit turns the test off.
      {2, 1, "stencil off; test off"},
      {0x1001, 1, "test on"},
  };
  const WTviewport v = {10, 20, 200, 100};
  for (const auto &c : cases)
    EXPECT_EQ(describe(_WTwindow_planpasses(c.mode, 1, v, 18, c.stencilon)), c.passes)
        << "mode " << c.mode << " stencil " << c.stencilon;
}

TEST(EyePasses, SplitHalvesLeaveTheGapBetween) {
  const struct {
    WTviewport v;
    int gap;
    int half, uppery;
  } cases[] = {
      {{0, 0, 50, 100}, 18, 41, 59},
      {{0, 0, 50, 101}, 18, 41, 59},  // the odd pixel goes to the top
      {{0, 10, 50, 100}, 18, 41, 69},
      {{0, 0, 50, 100}, 0, 50, 50},
      {{0, 0, 50, 20}, 18, 1, 19},
  };
  for (const auto &c : cases) {
    WTsplit s = _WTviewport_split(c.v, c.gap);
    EXPECT_EQ(s.upper.height, c.half) << c.v.height << " gap " << c.gap;
    EXPECT_EQ(s.lower.height, c.half) << c.v.height << " gap " << c.gap;
    EXPECT_EQ(s.upper.y, c.uppery) << c.v.height << " gap " << c.gap;
    EXPECT_EQ(s.lower.y, c.v.y) << c.v.height << " gap " << c.gap;
  }
}

TEST(EyePasses, InterleaveMaskFollowsTheWindowsPlaceOnTheScreen) {
  const struct {
    uint32_t mode;
    int x, y, vx, vy;
    WTmaskpattern pattern;
  } cases[] = {
      {0x1000, 0, 0, 0, 0, WTMASK_R0},  // 0 + 100 - 1 - 0 is odd
      {0x1000, 0, 1, 0, 0, WTMASK_R1},
      {0x1000, 0, 0, 0, 1, WTMASK_R1},
      {0x3000, 0, 0, 0, 0, WTMASK_R1},
      {0x5000, 1, 0, 0, 0, WTMASK_C0},
      {0x5000, 1, 0, 1, 0, WTMASK_C1},
      {0x7000, 1, 0, 0, 0, WTMASK_C1},
  };
  WTwindow w = {};
  w.height = 100;
  for (const auto &c : cases) {
    w.displaymode = c.mode, w.x = c.x, w.y = c.y;
    EXPECT_EQ(_WTwindow_maskpattern(&w, c.vx, c.vy), c.pattern)
        << "mode " << c.mode << " at " << c.x << ',' << c.y << " viewport " << c.vx << ',' << c.vy;
  }
  const struct {
    WTmaskpattern pattern;
    uint8_t row0, row1;
  } stipples[] = {{WTMASK_R0, 0xFF, 0x00}, {WTMASK_R1, 0x00, 0xFF}, {WTMASK_C0, 0xAA, 0xAA},
                  {WTMASK_C1, 0x55, 0x55}};
  for (const auto &s : stipples) {
    uint8_t bytes[128];
    _WTmask_bytes(s.pattern, bytes);
    for (int i = 0; i < 128; i++)
      ASSERT_EQ(bytes[i], (i / 4) % 2 ? s.row1 : s.row0) << "pattern " << s.pattern << " byte " << i;
  }
}

class Frame : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    top = WTwindow_newuser(nullptr, 0x1);
    ASSERT_TRUE(top);
    WTwindow_setposition(top, 0, 0, 200, 100);
    sub = WTwindow_newsubwindow(top, 0, 0, 10, 10);
    ASSERT_TRUE(sub);
    top->statebits = sub->statebits = 1;
  }
  WTwindow *top = nullptr, *sub = nullptr;
};

TEST_F(Frame, WindowsOfAHiddenOrDisabledParentAreSkippedWithTheirCountsCleared) {
  const struct {
    uint32_t shown;
    int topenabled, subenabled;
    bool topdrawn, subdrawn;
  } cases[] = {
      {1, 1, 1, true, true},
      {0, 1, 1, false, false},
      {1, 0, 1, false, false},
      {1, 1, 0, true, false},
  };
  for (const auto &c : cases) {
    top->statebits = c.shown;
    WTwindow_enable(top, c.topenabled);
    WTwindow_enable(sub, c.subenabled);
    for (WTwindow *w : {top, sub}) w->npolys = 7, w->projkey = 5;
    EXPECT_EQ(_WTwindow_beginframe(top).draw, c.topdrawn) << c.shown << c.topenabled << c.subenabled;
    EXPECT_EQ(_WTwindow_beginframe(sub).draw, c.subdrawn) << c.shown << c.topenabled << c.subenabled;
    for (WTwindow *w : {top, sub}) EXPECT_EQ(w->npolys + w->projkey, 0u);
  }
}

TEST_F(Frame, ViewportsAndTheMaskOfAMovedInterleavedWindow) {
  sub->viewport[0] = 0.25f, sub->viewport[1] = 0.5f, sub->viewport[2] = 0.1f, sub->viewport[3] = 0.333f;
  top->displaymode = 1, sub->displaymode = 0x5000;
  top->statebits |= 32;
  WTwindowframe f = _WTwindow_beginframe(top);
  EXPECT_TRUE(f.top);
  EXPECT_FALSE(f.stencilmask);
  EXPECT_EQ(f.viewport.width, 200);
  EXPECT_EQ(f.viewport.height, 100);
  EXPECT_EQ(top->statebits & 32, 0u);
  // The top window's move is its sub-window's too: the mask is made once, at its viewport.
  f = _WTwindow_beginframe(sub);
  EXPECT_FALSE(f.top);
  EXPECT_TRUE(f.stencilmask);
  EXPECT_EQ(f.viewport.x, 50);
  EXPECT_EQ(f.viewport.y, 10);
  EXPECT_EQ(f.viewport.width, 100);
  EXPECT_EQ(f.viewport.height, 33);
  EXPECT_FALSE(_WTwindow_beginframe(sub).stencilmask);
}

TEST_F(Frame, ListPassesAndTheSortOfTheBlendedList) {
  const struct {
    int nopaque, nblended, option;
    uint8_t opaque, blended, sort;
  } cases[] = {
      {0, 0, 1, 0, 0, 0}, {3, 0, 1, 1, 0, 0}, {0, 1, 1, 0, 1, 0},
      {2, 2, 0, 1, 1, 0}, {2, 2, 1, 1, 1, 1},
  };
  WTdrawstate *s = _WTdrawstate_new();
  s->levels[0].lights = 0x21;
  for (const auto &c : cases) {
    WTuniverse_setoption(19, c.option);
    s->nopaque = c.nopaque, s->nblended = c.nblended;
    WTlistpasses p = _WTdrawstate_passes(s);
    EXPECT_EQ(p.opaque, c.opaque) << c.nopaque << ' ' << c.nblended << ' ' << c.option;
    EXPECT_EQ(p.blended, c.blended) << c.nopaque << ' ' << c.nblended << ' ' << c.option;
    EXPECT_EQ(p.sort, c.sort) << c.nopaque << ' ' << c.nblended << ' ' << c.option;
    EXPECT_EQ(p.lights, 0x21);
  }
  _WTdrawstate_delete(s);
}

TEST_F(Frame, StateCacheAtViewBegin) {
  const struct {
    uint8_t rendering;
    uint32_t display;
    uint8_t style;
    uint32_t flags, passbit;
  } cases[] = {
      {0, 0, 0, WTGL_LIT, 1},
      {1 | 4 | 8, 0, 13, WTGL_LIT | WTGL_SMOOTH, 1},
      {128 | 16 | 8 | 4, 2, 144, WTGL_LIT | WTGL_SMOOTH, 4},
  };
  for (const auto &c : cases) {
    WTglcache cache;
    memset(&cache, 0x5A, sizeof cache);
    top->display = c.display;
    _WTglcache_reset(&cache, top, c.rendering);
    EXPECT_EQ(cache.style, c.style) << int(c.rendering);
    EXPECT_EQ(_WTrender_style(c.rendering), c.style) << int(c.rendering);
    EXPECT_EQ(cache.flags, c.flags) << int(c.rendering);
    EXPECT_EQ(cache.passbit, c.passbit) << int(c.rendering);
    EXPECT_EQ(cache.material, -1);
    EXPECT_EQ(cache.opacity, 1.0f);
    EXPECT_EQ(cache.texlist + cache.colormaterial + uint32_t(cache.primkind) + cache.normalize, 0u);
    EXPECT_EQ(cache.maxprims, _WTrender_settings()->maxprims);
  }
}

TEST(MatrixFrame, EyeAndAxisInTheMatrixsOwnFrameAndWhenNormalsNeedNormalising) {
  const struct {
    float scale;  // of every axis
    uint8_t unit;
    float eye[3], axis[3];
  } cases[] = {
      {1.0f, 1, {-1, -2, -3}, {0, 0, 1}},
      {0.98f, 1, {-1 / 0.98f, -2 / 0.98f, -3 / 0.98f}, {0, 0, 1 / 0.98f}},
      {1.1f, 0, {-1 / 1.1f, -2 / 1.1f, -3 / 1.1f}, {0, 0, 1 / 1.1f}},
      {2.0f, 0, {-0.5f, -1, -1.5f}, {0, 0, 0.5f}},
      {0.5f, 0, {-2, -4, -6}, {0, 0, 2}},
  };
  for (const auto &c : cases) {
    float m[16] = {};
    for (int i = 0; i < 3; i++) m[5 * i] = c.scale;
    m[12] = 1, m[13] = 2, m[14] = 3, m[15] = 1;
    WTmatrixframe f = _WTmatrix_frame(m);
    EXPECT_EQ(f.unit, c.unit) << c.scale;
    for (int i = 0; i < 3; i++) {
      EXPECT_NEAR(f.eye[i], c.eye[i], 1e-5f) << c.scale << " eye " << i;
      EXPECT_NEAR(f.axis[i], c.axis[i], 1e-5f) << c.scale << " axis " << i;
    }
  }
}

TEST(LightLists, OnlySlotsHoldingAChangedLightAreCompiledAgain) {
  WTrendercontext rc = {};
  WTlight a = {}, b = {};
  rc.slots[0] = &a, rc.slots[3] = &b;
  rc.slotvalid[3] = 1;
  WTlightplan p = _WTlight_planlists(&rc);
  EXPECT_EQ(p.slots, 0x01);
  EXPECT_TRUE(p.ambient);
  _WTlight_listsdone(&rc);
  EXPECT_EQ(rc.slotvalid[0] + rc.slotvalid[3], 2);
  EXPECT_EQ(rc.slotvalid[5], 0);  // an empty slot stays invalid for the light that takes it
  p = _WTlight_planlists(&rc);
  EXPECT_EQ(p.slots, 0);
  EXPECT_FALSE(p.ambient);
  rc.slots[5] = &a;
  EXPECT_EQ(_WTlight_planlists(&rc).slots, 0x20);
}

TEST(LightLists, EachKindSendsItsPositionCutoffAndAttenuation) {
  const struct {
    int kind;
    float position[4];
    float cutoff;
    uint8_t attenuated, spot;
  } cases[] = {
      {0, {0, -0.6f, -0.8f, 0}, 180.0f, 0, 0},
      {1, {1, 2, 3, 1}, 180.0f, 1, 0},
      {2, {1, 2, 3, 1}, 45.0f, 1, 1},
  };
  for (const auto &c : cases) {
    WTlight l = {};
    l.kind = c.kind;
    l.intensity = 0.5f;
    const float position[3] = {1, 2, 3}, direction[3] = {0, 0.6f, 0.8f};
    for (int i = 0; i < 3; i++) {
      l.position[i] = position[i], l.direction[i] = direction[i];
      l.ambient[i] = 0.2f, l.diffuse[i] = 1.0f, l.specular[i] = 0.4f;
    }
    l.attenuation[0] = 1, l.attenuation[1] = 0.5f, l.attenuation[2] = 0.25f;
    l.angle = 3.1415927f / 4, l.exponent = 8;
    WTlightvalues v = _WTlight_values(&l);
    for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(v.position[i], c.position[i]) << c.kind << ' ' << i;
    EXPECT_NEAR(v.cutoff, c.cutoff, 1e-4f) << c.kind;
    EXPECT_EQ(v.attenuated, c.attenuated) << c.kind;
    EXPECT_EQ(v.spot, c.spot) << c.kind;
    EXPECT_FLOAT_EQ(v.attenuation[1], 0.5f);
    EXPECT_FLOAT_EQ(v.direction[2], 0.8f);
    const float colours[3] = {0.1f, 0.5f, 0.2f};  // ambient, diffuse, specular at half intensity
    for (int k = 0; k < 3; k++) {
      EXPECT_FLOAT_EQ(v.colours[k][0], colours[k]) << c.kind << " colour " << k;
      EXPECT_FLOAT_EQ(v.colours[k][3], 1.0f) << c.kind << " colour " << k;
    }
  }
}

}  // namespace
