// Sound devices: one output path each, with its listener and sounds, updated once per frame.
#include <ctype.h>
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/devices/sound.h"

namespace {

WTsounddevice **deviceslot() { return reinterpret_cast<WTsounddevice **>(_WTuniverse_sounddeviceslot()); }

WTsounddevice *newdevice(int type, int channels) {
  WTsounddevice *d = static_cast<WTsounddevice *>(_WTmem_alloc(sizeof(WTsounddevice)));
  memset(d, 0, sizeof *d);
  d->type = type;
  d->range = 2500.0f;
  d->property0 = 0.8f;
  d->property1 = 60.0f;
  d->enabled = 1;
  d->channels = channels < 0 || channels > 16 ? 16 : channels;
  return d;
}

// The defaults as the record holds them before any is pushed: for waveOut and library devices
// parameter 7 writes the range too, so that they leave the open with a range of 60.0.
void pushdefaults(WTsounddevice *d) {
  const float values[4] = {d->enabled ? 1.0f : 0.0f, d->range, d->property0, d->property1};
  const int codes[4] = {1, 5, 6, 7};
  for (int i = 0; i < 4; i++) WTsounddevice_setparam(d, codes[i], values[i]);
}

bool sameignoringcase(const char *a, const char *b) {
  for (; *a && *b; a++, b++)
    if (tolower(static_cast<unsigned char>(*a)) != tolower(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

float dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void spatializeone(WTsound *s, const float listener[3], const float xaxis[3], float range) {
  float at[3], d[3];
  _WTsound_source(s, listener, at);
  for (int i = 0; i < 3; i++) d[i] = at[i] - listener[i];
  float dist = sqrtf(dot(d, d));
  if (dist > 0.0f)
    for (float &c : d) c /= dist;
  if (dist > range) dist = range;
  s->level = range > 0.0f ? (1.0f - dist / range) * s->gain : 0.0f;
  s->pan = -dot(d, xaxis);
}

int countvoices(WTsounddevice *d) {
  int n = 0;
  for (WTsound *s = d->sounds; s; s = s->next) n += s->voice != -1;
  return n;
}

bool voiceheld(WTsounddevice *d, int voice) {
  for (WTsound *s = d->sounds; s; s = s->next)
    if (s->voice == voice) return true;
  return false;
}

}  // namespace

extern "C" {

const WTsounddriver *_WTsound_driver(int type) {
  switch (type) {
    case WTSOUND_WAVEOUT: return &_WTsound_waveoutdriver;
    case WTSOUND_SERVER: return &_WTsound_serverdriver;
    case WTSOUND_LIBRARY: return &_WTsound_librarydriver;
    default: return nullptr;
  }
}

WTsounddevice *WTsounddevice_open(int type, int channels, WTviewpoint *listener) {
  WTsounddevice **slot = deviceslot();
  const WTsounddriver *driver = _WTsound_driver(type);
  if (!slot || !driver) return nullptr;
  WTsounddevice *d = newdevice(type, channels);
  if (!driver->open(d)) {
    _WTmem_free(d);
    return nullptr;
  }
  d->listener = listener ? listener : WTuniverse_getviewpoints();
  d->next = *slot;
  *slot = d;
  pushdefaults(d);
  _WTsound_updatelistener(d);
  return d;
}

void _WTsound_freedevice(WTsounddevice *device) {
  for (WTsounddevice **slot = deviceslot(); slot && *slot; slot = &(*slot)->next)
    if (*slot == device) {
      *slot = device->next;
      break;
    }
  _WTmem_free(device->name);
  _WTmem_free(device);
}

int _WTsound_closedevice(WTsounddevice *device) {
  if (!device) return 0;
  while (WTsound *s = device->sounds) {
    if (WTsound_delete(s)) continue;
    // The driver could not let go of it: its own record is gone all the same, and the sound
    // goes with its device.
    device->sounds = s->next;
    _WTmem_free(s->name);
    _WTmem_free(s);
  }
  if (!_WTsound_driver(device->type)->close(device)) return 0;
  _WTsound_freedevice(device);
  return 1;
}

void _WTsound_closeall(void) {
  WTsounddevice **slot = deviceslot();
  while (slot && *slot) {
    WTsounddevice *d = *slot;
    if (!_WTsound_closedevice(d)) _WTsound_freedevice(d);
  }
}

void _WTsound_updatelistener(WTsounddevice *device) {
  if (!device) return;
  device->updated = 1;
  if (device->type == WTSOUND_SERVER) {
    _WTsound_serverdriver.update(device);
  } else if (device->enabled) {
    _WTsound_spatialize(device);
    _WTsound_driver(device->type)->update(device);
  }
}

void _WTsound_updateall(void) {
  WTsounddevice **slot = deviceslot();
  for (WTsounddevice *d = slot ? *slot : nullptr; d; d = d->next)
    if (!d->updated) _WTsound_updatelistener(d);
  for (WTsounddevice *d = slot ? *slot : nullptr; d; d = d->next) d->updated = 0;
}

void _WTsound_forgetviewpoint(WTviewpoint *viewpoint) {
  WTsounddevice **slot = deviceslot();
  for (WTsounddevice *d = slot ? *slot : nullptr; d; d = d->next)
    if (d->listener == viewpoint) d->listener = nullptr;
}

void _WTsound_playdone(uintptr_t wparam, intptr_t lparam) {
  WTsounddevice **slot = deviceslot();
  for (WTsounddevice *d = slot ? *slot : nullptr; d; d = d->next)
    for (WTsound *s = d->sounds; s; s = s->next) {
      if (d->type == WTSOUND_WAVEOUT && _WTsound_waveoutmatches(s, wparam, lparam)) {
        _WTsound_waveoutdone(s);
        return;
      }
      if (d->type == WTSOUND_LIBRARY && lparam == 1 && s->voice != -1 &&
          static_cast<uintptr_t>(s->voice) == wparam) {
        _WTsound_sourcefinished(s);
        return;
      }
    }
}

// ---- Spatialization and voices ---------------------------------------------------------------

void _WTsound_source(WTsound *s, const float listener[3], float out[3]) {
  memcpy(out, listener, 3 * sizeof(float));
  if (!s->spatial) return;
  if (s->positionset) memcpy(out, s->position, 3 * sizeof(float));
  else if (s->path) _WTnodepath_getposition(s->path, out);
}

void _WTsound_spatialize(WTsounddevice *device) {
  if (!device->listener) return;
  WTp3 listener;
  WTq q;
  WTm3 m;
  WTviewpoint_getposition(device->listener, listener);
  WTviewpoint_getorientation(device->listener, q);
  WTq_2m3(q, m);
  for (WTsound *s = device->sounds; s; s = s->next) spatializeone(s, listener, m[0], device->range);
}

void _WTsound_stereo(float level, float pan, float scale, float *left, float *right) {
  float v = level * scale;
  *left = *right = v;
  if (pan > 0.0f) *right = (1.0f - fabsf(pan)) * v;
  if (pan < 0.0f) *left = (1.0f - fabsf(pan)) * v;
  if (*left < 0.0f) *left = 0.0f;
  if (*right < 0.0f) *right = 0.0f;
}

int _WTsound_allocvoice(WTsounddevice *device, WTsound *sound) {
  if (countvoices(device) < device->channels) {
    for (int v = 0; v < device->channels; v++)
      if (!voiceheld(device, v)) return v;
  }
  for (WTsound *s = device->sounds; s; s = s->next)
    if (s->voice != -1 && s->priority <= sound->priority) {
      int voice = s->voice;
      WTsound_stop(s);
      return voice;
    }
  return -1;
}

// ---- Parameters of waveOut and library devices ---------------------------------------------------

void _WTsound_setlocalparam(WTsounddevice *device, int code, float value) {
  if (code == 1) device->enabled = value != 0.0f;
  if (code == 5 || code == 7) device->range = value;
}

float _WTsound_getlocalparam(WTsounddevice *device, int code) {
  if (code == 1) return device->enabled ? 1.0f : 0.0f;
  if (code == 5 || code == 7) return device->range;
  return 0.0f;
}

// ---- The API ---------------------------------------------------------------------------------------

void WTsounddevice_setparam(WTsounddevice *device, int code, float value) {
  if (device) _WTsound_driver(device->type)->setparam(device, code, value);
}

float WTsounddevice_getparam(WTsounddevice *device, int code) {
  return device ? _WTsound_driver(device->type)->getparam(device, code) : 0.0f;
}

int WTsounddevice_setlistener(WTsounddevice *device, WTviewpoint *viewpoint) {
  if (!device || !viewpoint) return 0;
  device->listener = viewpoint;
  return 1;
}

WTviewpoint *WTsounddevice_getlistener(WTsounddevice *device) { return device ? device->listener : nullptr; }

WTsound *WTsounddevice_findsound(WTsounddevice *device, const char *name) {
  if (!device || !name) return nullptr;
  for (WTsound *s = device->sounds; s; s = s->next)
    if (s->name && sameignoringcase(s->name, name)) return s;
  return nullptr;
}

WTsound *WTsounddevice_getsounds(WTsounddevice *device) { return device ? device->sounds : nullptr; }
int WTsounddevice_getchannels(WTsounddevice *device) { return device ? device->channels : 0; }

void WTsounddevice_setname(WTsounddevice *device, const char *name) {
  if (!device) return;
  _WTmem_free(device->name);
  device->name = name ? _WTmem_strdup(name) : nullptr;
}

const char *WTsounddevice_getname(WTsounddevice *device) { return device ? device->name : nullptr; }

void WTsounddevice_setdata(WTsounddevice *device, void *data) {
  if (device) device->data = data;
}

void *WTsounddevice_getdata(WTsounddevice *device) { return device ? device->data : nullptr; }
}
