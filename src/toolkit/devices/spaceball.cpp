// The puck as a toolkit sensor: its open, close and update functions, the callbacks that move
// puck events into every puck sensor, and the poll the window procedure runs on each message.
#include <math.h>
#include <string.h>

#include "toolkit/core/motion.h"
#include "toolkit/core/universe.h"
#include "toolkit/devices/devices.h"
#include "toolkit/devices/puck.h"

namespace {

uint16_t device;
SpwDispatch dispatch;

bool ispuck(WTsensor *s) { return s->close == _WTspaceball_close; }

void motion(intptr_t, const float *f, int) {
  for (WTsensor *s = _WTuniverse_getsensors(); s; s = s->next) {
    if (!ispuck(s)) continue;
    float *raw = static_cast<float *>(s->raw);
    if (!raw) return;
    const float values[6] = {f[0], -f[1], -f[2], f[3], -f[4], -f[5]};
    memcpy(raw, values, sizeof values);
  }
}

void button(intptr_t, int number, int) {
  for (WTsensor *s = _WTuniverse_getsensors(); s; s = s->next) {
    if (!ispuck(s)) continue;
    if (number == 1 || number == 3) s->miscdata ^= 1;
    if (number == 2 || number == 0) s->miscdata ^= 2;
  }
}

float scaled(WTsensor *s, int axis) {
  const float *raw = static_cast<const float *>(s->raw);
  if (s->constraints & (1 << axis)) return 0.0f;
  return raw[axis] / 512.0f * (axis < 3 ? s->sensitivity : s->angularrate);
}

void setrecord(WTsensor *s, const float move[6]) {
  WTq q;
  _WTeuler_2q(move[3], move[4], move[5], q);
  WTsensor_setrecord(s, move, q);
}

}  // namespace

extern "C" {

int _WTspaceball_open(WTsensor *sensor) {
  float *raw = static_cast<float *>(_WTmem_alloc(6 * sizeof(float)));
  memset(raw, 0, 6 * sizeof(float));
  sensor->raw = raw;
  sensor->miscdata = 0;
  return _WTspaceball_opendevice(_WTuniverse_getactivewindow()) != 0;
}

uint16_t _WTspaceball_opendevice(void *window) {
  // Every puck sensor follows the one device.
  if (device) return device;
  spw_enable_soft_buttons(0);
  device = spw_open_device(window, 0, nullptr);
  if (!device) return 0;
  spw_init_dispatch(&dispatch);
  dispatch.user = device;
  dispatch.motion = motion;
  dispatch.press = button;
  dispatch.release = button;
  return device;
}

void _WTspaceball_close(WTsensor *) {
  spw_close_device(device);
  device = 0;
}

void _WTspaceball_update(WTsensor *sensor) {
  if (!sensor || !sensor->raw) return;
  float move[6];
  for (int i = 0; i < 6; i++) move[i] = scaled(sensor, i);
  setrecord(sensor, move);
}

void _WTspaceball_updatedominant(WTsensor *sensor) {
  if (!sensor || !sensor->raw) return;
  const float *raw = static_cast<const float *>(sensor->raw);
  int dominant = 0;
  for (int i = 1; i < 6; i++)
    if (fabsf(raw[i]) > fabsf(raw[dominant])) dominant = i;
  float move[6] = {};
  move[dominant] = scaled(sensor, dominant);
  setrecord(sensor, move);
}

int _WTspaceball_poll(void *, unsigned message, uintptr_t wparam, intptr_t) {
  if (!device) return 0;
  SpwEvent event;
  if (!spw_get_event(device, message, wparam, &event, 1)) return 0;
  dispatch.event = &event;
  spw_dispatch_event(&dispatch);
  dispatch.event = nullptr;
  return 1;
}

int _WTspaceball_rezero(WTsensor *sensor) { return sensor && spw_rezero(device); }

int _WTspaceball_setwindow(WTsensor *sensor, WTwindow *window) {
  if (!sensor || !window) return 0;
  void *native = WTwindow_getidx(window);
  if (!native) return 0;
  spw_set_target_window(native);
  return 1;
}
}
