// The mouse state the window procedure collects for the mouse driver, and the key queue.
#pragma once

#include <stdint.h>

#include "toolkit/render/render.h"

// Buttons are indexed 0 left, 1 right, 2 middle.  The pressed, double-clicked and released
// fields latch until the mouse driver's next read.
struct WTmousestate {
  int32_t down[3];
  int32_t pressed[3];
  int32_t dbl[3];
  int32_t released[3];
  int32_t x, y;  // client coordinates of the last move
  void *window;  // system window of the last mouse event
};

// What the last raw read found: half the viewport's size and the cursor inside it.
struct WTpointer {
  float centrex, centrey;
  int32_t x, y;
};

enum {
  WTKEY_UP = 1000,
  WTKEY_DOWN = 1001,
  WTKEY_RIGHT = 1002,
  WTKEY_LEFT = 1003,
  WTKEY_BACKSPACE = 1008,
  WTKEY_TAB = 1009,
  WTKEY_RETURN = 1013,
  WTKEY_F1 = 1059,
  WTKEY_HOME = 1071,
  WTKEY_PAGEUP = 1073,
  WTKEY_END = 1079,
  WTKEY_PAGEDOWN = 1081,
};

extern "C" {
WTmousestate *_WTmouse_state(void);
const WTpointer *_WTmouse_pointer(void);
// The button bits of the misc-data word from the mouse state; the latches are cleared.
int _WTmouse_readbuttons(int previous);
void _WTkeyboard_push(WTwindow *window, int code);
// Entries still queued for a deleted window keep their codes for WTkeyboard_getkey but name no
// window any more.
void _WTkeyboard_forget(WTwindow *window);
}
