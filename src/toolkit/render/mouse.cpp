// The mouse driver of the simulation's sensors: the raw read of the mouse state the window
// procedure collects, and the navigation updates that turn the cursor's offset from the centre
// of the window into a translation and a rotation.
#include <math.h>
#include <string.h>

#include "toolkit/core/motion.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/context.h"
#include "toolkit/render/input.h"
#include "toolkit/render/view.h"

namespace {

WTmousestate mouse;
WTpointer pointer;

enum { kLeft = 0, kRight = 1, kMiddle = 2 };

WTwindow *lastwindow() {
  if (!mouse.window) return nullptr;
  WTwindow **slot = _WTuniverse_windowslot();
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next)
    if (w->hwnd == mouse.window) return w;
  return nullptr;
}

void readposition(WTsensor *sensor) {
  WTwindow *w = lastwindow();
  WTwindow *parent = _WTwindow_liveparent(w);
  if (!parent) return;
  if (int32_t *raw = static_cast<int32_t *>(sensor->raw)) {
    raw[0] = mouse.x + parent->x;
    raw[1] = mouse.y + parent->y;
  }
  int width = static_cast<int>(static_cast<float>(parent->width) * w->viewport[1]);
  int height = static_cast<int>(static_cast<float>(parent->height) * w->viewport[3]);
  pointer.x = mouse.x;
  pointer.y = mouse.y;
  pointer.centrex = static_cast<float>(width) / 2.0f;
  if (w->displaymode != 4) {
    pointer.centrey = static_cast<float>(height) / 2.0f;
    return;
  }
  // Split stereo: the lower half maps onto the same range as the upper one.
  WTrendercontext *rc = _WTrender_context();
  int gap = rc ? rc->splitgap : 18, half = (height - gap) / 2;
  pointer.centrey = static_cast<float>(half) / 2.0f;
  if (mouse.y > half + gap) pointer.y = mouse.y - half - gap;
}

void rawread(WTsensor *sensor) {
  readposition(sensor);
  _WTsensor_setmiscdata(sensor, _WTmouse_readbuttons(_WTsensor_getmiscdata(sensor)));
}

bool down(WTsensor *s, int bit) { return (s->miscdata & bit) != 0; }
bool constrained(WTsensor *s, int bit) { return (s->constraints & bit) != 0; }
float sign(float v) { return v < 0.0f ? -1.0f : (v > 0.0f ? 1.0f : 0.0f); }
float signedroot(float v) { return sign(v) * sqrtf(fabsf(v)); }

// One frame's motion of a navigation update.
struct Motion {
  WTp3 t = {0.0f, 0.0f, 0.0f};
  WTq q = {0.0f, 0.0f, 0.0f, 1.0f};
};

// The cursor's offset from the centre, -1..1 across the viewport, y growing downwards; false
// for a viewport of no size, which leaves the sensor at rest.
bool offsets(float *nx, float *ny) {
  if (pointer.centrex <= 0.0f || pointer.centrey <= 0.0f) return false;
  *nx = (static_cast<float>(pointer.x) - pointer.centrex) / pointer.centrex;
  *ny = (static_cast<float>(pointer.y) - pointer.centrey) / pointer.centrey;
  return true;
}

// A rotation from its vector part, the scalar part making it a unit quaternion.
void fromvector(Motion *m, float x, float y, float z) {
  m->q[0] = x, m->q[1] = y, m->q[2] = z;
  float w2 = 1.0f - x * x - y * y - z * z;
  m->q[3] = w2 > 0.0f ? sqrtf(w2) : 0.0f;
}

void halfturn(Motion *m, int axis, float angle) {
  memset(m->q, 0, sizeof m->q);
  m->q[axis] = sinf(angle / 2.0f);
  m->q[3] = cosf(angle / 2.0f);
}

void store(WTsensor *s, const Motion &m) { WTsensor_setrecord(s, m.t, m.q); }

Motion walk(WTsensor *s, float nx, float ny) {
  Motion m;
  float rate = s->angularrate, sens = s->sensitivity, ax = fabsf(nx), ay = fabsf(ny);
  bool left = down(s, 8), right = down(s, 32);
  if (left && right) {
    if (ay > 0.1f && ay >= ax && !constrained(s, 8)) fromvector(&m, sinf(ny * 0.5f * rate), 0, 0);
    if (ax > 0.1f && ay < ax && !constrained(s, 32)) fromvector(&m, 0, 0, -sinf(nx * 0.5f * rate));
    return m;
  }
  if (right) {
    if (ay > 0.1f) m.t[1] = constrained(s, 2) ? 0.0f : ny * sens;
    if (ax > 0.1f) m.t[0] = constrained(s, 1) ? 0.0f : nx * sens;
  }
  if (left) {
    if (ay > 0.1f) m.t[2] = constrained(s, 4) ? 0.0f : -ny * sens;
    if (ax > 0.1f && !constrained(s, 16)) fromvector(&m, 0, -sinf(nx * 0.5f * rate), 0);
  }
  return m;
}

Motion move(WTsensor *s, float nx, float ny) {
  Motion m;
  bool left = down(s, 8), right = down(s, 32);
  if ((down(s, 16) || (left && right)) && !constrained(s, 2)) {
    m.t[1] = signedroot(ny);
  } else if (left && !constrained(s, 16)) {
    halfturn(&m, 1, s->angularrate);
  } else if (right && !constrained(s, 16)) {
    halfturn(&m, 1, -s->angularrate);
  } else if (fabsf(nx) > 0.2f * s->sensitivity || fabsf(ny) > 0.2f * s->sensitivity) {
    m.t[0] = signedroot(nx);
    m.t[2] = -signedroot(ny);
  }
  return m;
}

Motion drive(WTsensor *s, float nx, float ny) {
  Motion m;
  float sens = s->sensitivity;
  float dx = constrained(s, 1) ? 0.0f : nx * sens, dy = constrained(s, 4) ? 0.0f : ny * sens;
  if (down(s, 1) && !constrained(s, 8)) {
    halfturn(&m, 0, s->angularrate);
  } else if (down(s, 4) && !constrained(s, 16)) {
    halfturn(&m, 1, s->angularrate);
  } else if (down(s, 2) && !constrained(s, 32)) {
    halfturn(&m, 2, s->angularrate);
  } else if (fabsf(dx) > 0.2f * sens || fabsf(dy) > 0.2f * sens) {
    m.t[0] = signedroot(dx);
    m.t[2] = -signedroot(dy);
  }
  return m;
}

// Reads the mouse and sets the record from the offsets; a viewport of no size moves nothing.
void navigate(WTsensor *s, Motion (*update)(WTsensor *, float, float)) {
  if (!s) return;
  rawread(s);
  float nx, ny;
  store(s, offsets(&nx, &ny) ? update(s, nx, ny) : Motion());
}

// ---- Drag --------------------------------------------------------------------------------------

struct Drag {
  float anchor[2];
  float rotation[3];
  float translation[3];
  bool xlock, ylock;
  float carry = 1.0f;
  float anglestep, translationstep;
} drag;

// Snaps v to whole steps toward zero; true when it snapped.
bool snap(float *v, float step) {
  if (fabsf(step) <= 1e-20f) return false;
  float magnitude = fabsf(*v);
  if (magnitude < step) {
    *v = 0.0f;
    return false;
  }
  *v = sign(*v) * floorf(magnitude / step) * step;
  return true;
}

// The buttons held give their values anew; the others keep what the last frame carried.
void dragbuttons(WTsensor *s, float dx, float dy) {
  bool left = down(s, 8), right = down(s, 32), middle = down(s, 16);
  float turn = s->angularrate * 0.075f, sens = s->sensitivity;
  if (left && !right) {
    drag.rotation[0] = constrained(s, 8) || drag.xlock ? 0.0f : dy * turn;
    drag.rotation[1] = constrained(s, 16) || drag.ylock ? 0.0f : -dx * turn;
  }
  if (right && !left) {
    drag.rotation[2] = constrained(s, 32) ? 0.0f : dx * turn;
    drag.translation[2] = constrained(s, 4) ? 0.0f : -dy * sens;
  }
  if ((middle && !left && !right) || (left && right)) {
    drag.translation[0] = constrained(s, 1) ? 0.0f : dx * sens;
    drag.translation[1] = constrained(s, 2) ? 0.0f : dy * sens;
  }
}

bool dragsnap() {
  bool moved = false;
  if (snap(&drag.rotation[0], drag.anglestep)) drag.ylock = moved = true;
  if (snap(&drag.rotation[1], drag.anglestep)) drag.xlock = moved = true;
  if (snap(&drag.rotation[2], drag.anglestep)) moved = true;
  for (float &t : drag.translation)
    if (snap(&t, drag.translationstep)) moved = true;
  return moved;
}

void dragupdate(WTsensor *s, float carry) {
  if (!s) return;
  rawread(s);
  const int32_t *raw = static_cast<const int32_t *>(s->raw);
  float x = raw ? static_cast<float>(raw[0]) : 0.0f, y = raw ? static_cast<float>(raw[1]) : 0.0f;
  dragbuttons(s, x - drag.anchor[0], y - drag.anchor[1]);
  bool moved = dragsnap();
  WTq q;
  _WTeuler_2q(drag.rotation[0], drag.rotation[1], drag.rotation[2], q);
  WTsensor_setrecord(s, drag.translation, q);
  if (!(s->miscdata & (8 | 16 | 32)) || moved) drag.anchor[0] = x, drag.anchor[1] = y;
  if (!moved) drag.xlock = drag.ylock = false;
  for (int i = 0; i < 3; i++) drag.rotation[i] *= carry, drag.translation[i] *= carry;
  if (fabsf(carry) > 1e-20f) drag.anchor[0] = x, drag.anchor[1] = y;
}

}  // namespace

extern "C" {

WTmousestate *_WTmouse_state(void) { return &mouse; }

const WTpointer *_WTmouse_pointer(void) { return &pointer; }

int _WTmouse_readbuttons(int bits) {
  struct Bit {
    int value;
    const int32_t *field;
  } const table[] = {
      {1, &mouse.pressed[kLeft]},     {2, &mouse.pressed[kMiddle]}, {4, &mouse.pressed[kRight]},
      {8, &mouse.down[kLeft]},        {16, &mouse.down[kMiddle]},   {32, &mouse.down[kRight]},
      {64, &mouse.released[kLeft]},   {128, &mouse.released[kRight]},
      {256, &mouse.released[kMiddle]}, {512, &mouse.dbl[kLeft]},    {1024, &mouse.dbl[kRight]},
      {2048, &mouse.dbl[kMiddle]},
  };
  for (const Bit &b : table) bits = *b.field ? bits | b.value : bits & ~b.value;
  memset(mouse.pressed, 0, sizeof mouse.pressed);
  memset(mouse.dbl, 0, sizeof mouse.dbl);
  memset(mouse.released, 0, sizeof mouse.released);
  return bits;
}

WTAPI int WTmouse_open(WTsensor *sensor) {
  void *raw = _WTmem_alloc(8);
  memset(raw, 0, 8);
  _WTsensor_setrawdata(sensor, raw);
  return 1;
}

WTAPI void WTmouse_close(WTsensor *) {}

WTAPI void WTmouse_update(WTsensor *sensor) {
  if (sensor) rawread(sensor);
}

WTAPI void WTmouse_rawupdate(WTsensor *sensor) {
  if (!sensor) return;
  rawread(sensor);
  store(sensor, Motion());
}

WTAPI void WTmouse_walkupdate(WTsensor *sensor) { navigate(sensor, walk); }
WTAPI void WTmouse_walk(WTsensor *sensor) { navigate(sensor, walk); }
WTAPI void WTmouse_moveupdate(WTsensor *sensor) { navigate(sensor, move); }
WTAPI void WTmouse_driveupdate(WTsensor *sensor) { navigate(sensor, drive); }

WTAPI void WTmouse_turnupdate(WTsensor *sensor) {
  if (!sensor) return;
  rawread(sensor);
  float nx, ny;
  Motion m;
  if (offsets(&nx, &ny)) {
    m.t[2] = constrained(sensor, 4) ? 0.0f : -ny * sensor->sensitivity;
    if (!constrained(sensor, 16)) _WTeuler_2q(0.0f, nx * sensor->angularrate, 0.0f, m.q);
  }
  store(sensor, m);
}

WTAPI void WTmouse_dragupdate(WTsensor *sensor) { dragupdate(sensor, drag.carry); }

WTAPI void WTmouse_dragupdatenocarry(WTsensor *sensor) { dragupdate(sensor, 0.0f); }

WTAPI void WTmouse_dragupdatemirrored(WTsensor *sensor) {
  if (!sensor) return;
  dragupdate(sensor, drag.carry);
  WTp3 t = {-sensor->translation[0], -sensor->translation[1], sensor->translation[2]};
  WTsensor_setrecord(sensor, t, sensor->rotation);
}

WTAPI void WTmouse_setdragcarry(float factor) { drag.carry = factor; }
WTAPI float WTmouse_getdragcarry(void) { return drag.carry; }
WTAPI void WTmouse_setanglestep(float step) { drag.anglestep = step; }
WTAPI float WTmouse_getanglestep(void) { return drag.anglestep; }
WTAPI void WTmouse_settranslationstep(float step) { drag.translationstep = step; }
WTAPI float WTmouse_gettranslationstep(void) { return drag.translationstep; }

}  // extern "C"
