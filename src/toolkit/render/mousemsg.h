// How a window message changes the mouse state the window procedure keeps for the mouse driver.
#pragma once

#include <stdint.h>

#include "toolkit/render/input.h"

// The window system's mouse messages.
enum : uint32_t {
  WTMSG_MOUSEMOVE = 0x0200,
  WTMSG_LBUTTONDOWN = 0x0201,
  WTMSG_LBUTTONUP = 0x0202,
  WTMSG_LBUTTONDBLCLK = 0x0203,
  WTMSG_RBUTTONDOWN = 0x0204,
  WTMSG_RBUTTONUP = 0x0205,
  WTMSG_RBUTTONDBLCLK = 0x0206,
  WTMSG_MBUTTONDOWN = 0x0207,
  WTMSG_MBUTTONUP = 0x0208,
  WTMSG_MBUTTONDBLCLK = 0x0209,
};

// What one message does: the state after it, the window property it fires (its pre-handlers can
// refuse the whole step, its post-handlers get the value), and the mouse capture.
struct WTmousestep {
  uint8_t mouse;         // 0: not a mouse message; nothing changes
  const char *property;  // null for a move
  int value;
  int capture;  // 1 take the capture, -1 release it, 0 leave it
  WTmousestate state;
};

extern "C" {
// wparam (the modifier keys) is not kept; lparam holds the client position of the cursor.
WTmousestep _WTmouse_step(uint32_t message, uintptr_t wparam, intptr_t lparam, void *window,
                          const WTmousestate *previous);
}
