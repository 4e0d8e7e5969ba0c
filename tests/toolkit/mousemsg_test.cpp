// Window messages into the mouse state: the cursor position, each button's down flag and
// latches, the property each button fires and when the mouse is captured and released.
#include <stdint.h>
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "toolkit/render/mousemsg.h"

namespace {

int window = 0, other = 0;

// Three bits, one per button (left, right, middle).
int bits(const int32_t (&v)[3]) { return (v[0] ? 1 : 0) | (v[1] ? 2 : 0) | (v[2] ? 4 : 0); }

TEST(MouseMessage, ButtonsSetTheirFlagsFireTheirPropertyAndHoldTheCapture) {
  const struct {
    uint32_t message;
    int held;  // buttons down before
    int down, pressed, released, dbl;
    const char *property;
    int value, capture;
  } cases[] = {
      {WTMSG_LBUTTONDOWN, 0, 1, 1, 0, 0, "LeftButton", 1, 1},
      {WTMSG_LBUTTONUP, 1, 0, 0, 1, 0, "LeftButton", 0, -1},
      {WTMSG_LBUTTONUP, 3, 2, 0, 1, 0, "LeftButton", 0, 0},  // the right button keeps the capture
      {WTMSG_LBUTTONDBLCLK, 0, 0, 0, 0, 1, "LeftButtonDbl", 1, 0},
      {WTMSG_RBUTTONDOWN, 1, 3, 2, 0, 0, "RightButton", 1, 1},
      {WTMSG_RBUTTONUP, 2, 0, 0, 2, 0, "RightButton", 0, -1},
      {WTMSG_RBUTTONUP, 6, 4, 0, 2, 0, "RightButton", 0, 0},  // so does the middle one
      {WTMSG_RBUTTONDBLCLK, 2, 2, 0, 0, 2, "RightButtonDbl", 1, 0},
      {WTMSG_MBUTTONDOWN, 0, 4, 4, 0, 0, "MiddleButton", 1, 1},
      {WTMSG_MBUTTONUP, 5, 1, 0, 4, 0, "MiddleButton", 0, 0},
      {WTMSG_MBUTTONDBLCLK, 4, 4, 0, 0, 4, "MiddleButtonDbl", 1, 0},
  };
  for (const auto &c : cases) {
    WTmousestate before = {};
    for (int b = 0; b < 3; b++) before.down[b] = (c.held >> b) & 1;
    before.x = 5, before.y = 6, before.window = &other;
    WTmousestep s = _WTmouse_step(c.message, 0, 0x00400030, &window, &before);
    const WTmousestate &m = s.state;
    SCOPED_TRACE(std::to_string(c.message) + " held " + std::to_string(c.held));
    EXPECT_TRUE(s.mouse);
    EXPECT_EQ(bits(m.down), c.down);
    EXPECT_EQ(bits(m.pressed), c.pressed);
    EXPECT_EQ(bits(m.released), c.released);
    EXPECT_EQ(bits(m.dbl), c.dbl);
    EXPECT_STREQ(s.property, c.property);
    EXPECT_EQ(s.value, c.value);
    EXPECT_EQ(s.capture, c.capture);
    EXPECT_EQ(m.window, &window);
    EXPECT_EQ(m.x * 100 + m.y, 506);  // buttons do not move the cursor
  }
}

TEST(MouseMessage, MovesTakeSignedClientCoordinatesAndKeepTheLatches) {
  const struct {
    intptr_t lparam;
    int x, y;
  } cases[] = {{0x00140030, 48, 20}, {0xFFECFFF6, -10, -20}, {0x7FFF8000, -32768, 32767}};
  for (const auto &c : cases) {
    WTmousestate before = {};
    before.pressed[0] = before.released[0] = before.down[1] = 1;
    WTmousestep s = _WTmouse_step(WTMSG_MOUSEMOVE, 1, c.lparam, &window, &before);
    EXPECT_TRUE(s.mouse);
    EXPECT_EQ(s.state.x, c.x) << std::hex << c.lparam;
    EXPECT_EQ(s.state.y, c.y) << std::hex << c.lparam;
    EXPECT_EQ(s.state.window, &window);
    EXPECT_EQ(s.property, nullptr);
    EXPECT_EQ(s.capture, 0);
    EXPECT_EQ(bits(s.state.pressed) + bits(s.state.released) + bits(s.state.down), 1 + 1 + 2);
  }
}

TEST(MouseMessage, PressAndReleaseBetweenReadsLatchBothAndOtherMessagesChangeNothing) {
  WTmousestate m = {};
  m = _WTmouse_step(WTMSG_LBUTTONDOWN, 0, 0, &window, &m).state;
  m = _WTmouse_step(WTMSG_LBUTTONUP, 0, 0, &window, &m).state;
  EXPECT_EQ(m.down[0], 0);
  EXPECT_EQ(m.pressed[0], 1);
  EXPECT_EQ(m.released[0], 1);
  for (uint32_t message : {0x0100u, 0x01FFu, 0x020Au, 0x0000u}) {  // a key, below, the wheel, none
    WTmousestep s = _WTmouse_step(message, 0, 0x00100010, &other, &m);
    EXPECT_FALSE(s.mouse) << message;
    EXPECT_EQ(memcmp(&s.state, &m, sizeof m), 0) << message;
    EXPECT_EQ(s.property, nullptr) << message;
  }
}

}  // namespace
