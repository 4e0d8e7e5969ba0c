// Sound objects: one wave file loaded on one device, with its play state and nine numbered
// parameters; loading, playing and most parameters are the driver's.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/devices/sound.h"

namespace {

const WTsounddriver *driverof(WTsound *s) { return _WTsound_driver(s->device->type); }

WTsound *newsound(WTsounddevice *device) {
  WTsound *s = static_cast<WTsound *>(_WTmem_alloc(sizeof(WTsound)));
  memset(s, 0, sizeof *s);
  s->device = device;
  s->spatial = 1;
  s->voice = -1;
  s->priority = 1;
  s->gain = s->level = 1.0f;
  s->repeat = s->playsdone = 1;
  s->param9 = s->pitch = 1.0f;
  return s;
}

void pushdefaults(WTsound *s) {
  const WTsounddriver *driver = driverof(s);
  const float defaults[][2] = {{1, 1.0f}, {2, 1.0f}, {3, 0.0f}, {4, 0.0f}, {5, 1.0f}, {6, 0.0f}, {8, 1.0f}, {9, 1.0f}};
  for (const auto &d : defaults) driver->setsoundparam(s, static_cast<int>(d[0]), d[1]);
}

void unlinksound(WTsound *s) {
  for (WTsound **slot = &s->device->sounds; *slot; slot = &(*slot)->next)
    if (*slot == s) {
      *slot = s->next;
      return;
    }
}

}  // namespace

extern "C" {

WTsound *WTsound_new(WTsounddevice *device, const char *name) {
  if (!device || !name) return nullptr;
  const char *path = name;
  if (device->type != WTSOUND_SERVER && !(path = _WTfile_findpath(name, "WTMODELS"))) return nullptr;
  WTsound *s = newsound(device);
  s->name = _WTmem_strdup(path);
  if (!driverof(s)->load(s)) {
    _WTmem_free(s->name);
    _WTmem_free(s);
    return nullptr;
  }
  s->next = device->sounds;
  device->sounds = s;
  pushdefaults(s);
  return s;
}

int WTsound_delete(WTsound *sound) {
  if (!sound) return 0;
  const WTsounddriver *driver = driverof(sound);
  driver->stop(sound);
  if (!driver->unload(sound)) return 0;
  if (sound->device->pending == sound) sound->device->pending = nullptr;
  unlinksound(sound);
  _WTmem_free(sound->name);
  _WTmem_free(sound);
  return 1;
}

int WTsound_play(WTsound *sound) { return sound ? driverof(sound)->play(sound) : 0; }
int WTsound_stop(WTsound *sound) { return sound ? driverof(sound)->stop(sound) : 0; }

int WTsound_isplaying(WTsound *sound) {
  if (!sound) return 0;
  if (sound->device->type == WTSOUND_SERVER) return driverof(sound)->isplaying(sound);
  return sound->voice != -1;
}

void WTsound_setparam(WTsound *sound, int code, float value) {
  if (sound) driverof(sound)->setsoundparam(sound, code, value);
}

float WTsound_getparam(WTsound *sound, int code) {
  if (!sound) return 0.0f;
  switch (code) {
    case 1: return sound->spatial ? 1.0f : 0.0f;
    case 2: return sound->gain;
    case 3: return sound->pan;
    case 4: return sound->param4;
    case 5: return sound->pitch;
    case 6: return static_cast<float>(sound->param6);
    case 7: return static_cast<float>(sound->priority);
    case 8: return static_cast<float>(sound->repeat);
    case 9: return sound->param9;
    default: return 0.0f;
  }
}

WTsound *WTsound_next(WTsound *sound) { return sound ? sound->next : nullptr; }
const char *WTsound_getname(WTsound *sound) { return sound ? sound->name : nullptr; }

void WTsound_setname(WTsound *sound, const char *name) {
  if (!sound) return;
  _WTmem_free(sound->name);
  sound->name = name ? _WTmem_strdup(name) : nullptr;
}

void WTsound_setdata(WTsound *sound, void *data) {
  if (sound) sound->data = data;
}

void *WTsound_getdata(WTsound *sound) { return sound ? sound->data : nullptr; }

void WTsound_setfinishedfn(WTsound *sound, WTsoundfn fn) {
  if (sound && fn) sound->finished = fn;
}

WTsoundfn WTsound_getfinishedfn(WTsound *sound) { return sound ? sound->finished : nullptr; }

void WTsound_setposition(WTsound *sound, const WTp3 p) {
  if (!sound || !p) return;
  memcpy(sound->position, p, sizeof sound->position);
  sound->positionset = 1;
}

void WTsound_getposition(WTsound *sound, WTp3 p) {
  if (sound && p) memcpy(p, sound->position, sizeof sound->position);
}

int WTsound_setnodepath(WTsound *sound, WTnodepath *path) {
  if (!sound || !path) return 0;
  sound->path = path;
  return 1;
}

WTnodepath *WTsound_getnodepath(WTsound *sound) { return sound ? sound->path : nullptr; }

void _WTsound_sourcefinished(WTsound *sound) {
  if (!sound) return;
  sound->voice = -1;
  if (sound->finished) sound->finished(sound);
}
}
