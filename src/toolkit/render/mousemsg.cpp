// Window messages into the mouse state: moves set the cursor, buttons their down flag and
// latches; every mouse event names the window it came to.
#include "toolkit/render/mousemsg.h"

namespace {

// Per button (left, right, middle): the properties of a press or release and of a double click.
const char *const kButton[3] = {"LeftButton", "RightButton", "MiddleButton"};
const char *const kDouble[3] = {"LeftButtonDbl", "RightButtonDbl", "MiddleButtonDbl"};

enum { kPress, kRelease, kDoubleClick };

void press(WTmousestep *s, int b) {
  s->state.down[b] = 1, s->state.pressed[b] = 1;
  s->property = kButton[b], s->value = 1, s->capture = 1;
}

void release(WTmousestep *s, int b) {
  s->state.down[b] = 0, s->state.released[b] = 1;
  s->property = kButton[b], s->value = 0;
  const int32_t *d = s->state.down;
  if (!d[0] && !d[1] && !d[2]) s->capture = -1;
}

void doubleclick(WTmousestep *s, int b) {
  s->state.dbl[b] = 1;
  s->property = kDouble[b], s->value = 1;
}

}  // namespace

extern "C" {

WTmousestep _WTmouse_step(uint32_t message, uintptr_t, intptr_t lparam, void *window,
                          const WTmousestate *previous) {
  WTmousestep s = {};
  s.state = *previous;
  if (message < WTMSG_MOUSEMOVE || message > WTMSG_MBUTTONDBLCLK) return s;
  s.mouse = 1;
  s.state.window = window;
  if (message == WTMSG_MOUSEMOVE) {
    s.state.x = static_cast<int16_t>(lparam & 0xFFFF);
    s.state.y = static_cast<int16_t>((lparam >> 16) & 0xFFFF);
    return s;
  }
  const int b = static_cast<int>(message - WTMSG_LBUTTONDOWN) / 3;
  switch (static_cast<int>(message - WTMSG_LBUTTONDOWN) % 3) {
    case kPress: press(&s, b); break;
    case kRelease: release(&s, b); break;
    default: doubleclick(&s, b); break;
  }
  return s;
}
}
