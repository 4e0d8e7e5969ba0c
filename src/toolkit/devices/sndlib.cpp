// The outside sound library as a sound driver: the library converts each wave file into its own
// sound data, plays it on a voice it numbers, and posts message 957 when a sound ends.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

#include "toolkit/devices/dws.h"
#include "toolkit/devices/sound.h"
#include "toolkit/render/context.h"

namespace {

const uint32_t kDoneMessage = 957;

struct Sample {
  DWSplay play;
  void *data;
};

Sample *sampleof(WTsound *s) { return static_cast<Sample *>(s->driver); }

void *basewindow() {
  WTdisplay *d = _WTdisplay_count() > 0 ? _WTdisplay_get(0) : nullptr;
  return d ? d->basehwnd : nullptr;
}

// ---- Device ----------------------------------------------------------------------------------

uint32_t capability(uint32_t bits) {
  for (uint32_t c : {16u, 8u, 2u, 4u, 1u})
    if (bits & c) return c;
  return 0;
}

int opendevice(WTsounddevice *d) {
  DWSdetect detect = {};
  if (!dws_DetectHardWare(&detect) || detect.value == 0 || detect.value > 4095) return 0;
  DWSsettings settings = {};
  settings.capability = capability(detect.capabilities);
  settings.value128 = 128;
  settings.channels = static_cast<uint16_t>(d->channels);
  if (!dws_Init(&detect, &settings)) return 0;
  dws_XDig(32, 32);
  return 1;
}

int closedevice(WTsounddevice *) {
  bool discarded = dws_DClear() != 0;
  bool cleared = dws_MClear() != 0;
  bool killed = dws_Kill() != 0;
  return discarded && cleared && killed;
}

uint16_t word(float v) { return static_cast<uint16_t>(static_cast<int32_t>(v)); }

uint16_t setlevels(WTsound *s, float left, float right) {
  DWSplay &p = sampleof(s)->play;
  p.flags = DWS_LEVELS;
  p.soundnumber = static_cast<uint16_t>(s->voice);
  p.left = word(left);
  p.right = word(right);
  return dws_DSetInfo(&p, nullptr);
}

void update(WTsounddevice *d) {
  for (WTsound *s = d->sounds; s; s = s->next) {
    if (s->voice == -1) continue;
    float left, right;
    _WTsound_stereo(s->level, s->pan, 4096.0f, &left, &right);
    setlevels(s, left, right);
  }
}

// ---- Loading -------------------------------------------------------------------------------------

// The whole file in memory, or null.
void *readfile(const char *path, uint32_t *size) {
  FILE *f = fopen(path, "rb");
  if (!f) return nullptr;
  long n = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
  void *image = n > 0 ? calloc(1, static_cast<size_t>(n)) : nullptr;
  bool ok = image && fseek(f, 0, SEEK_SET) == 0 && fread(image, 1, static_cast<size_t>(n), f) == static_cast<size_t>(n);
  fclose(f);
  if (!ok) {
    free(image);
    return nullptr;
  }
  *size = static_cast<uint32_t>(n);
  return image;
}

void *convert(void *image, uint32_t size) {
  uint32_t length = size;
  if (!dws_WAV2DWD(image, &length, nullptr) || !length) return nullptr;
  void *data = calloc(1, length);
  uint32_t again = size;
  if (data && dws_WAV2DWD(image, &again, data)) return data;
  free(data);
  return nullptr;
}

int load(WTsound *s) {
  uint32_t size = 0;
  void *image = readfile(s->name, &size);
  if (!image) return 0;
  void *data = convert(image, size);
  free(image);
  if (!data) return 0;
  Sample *sample = static_cast<Sample *>(_WTmem_alloc(sizeof(Sample)));
  memset(sample, 0, sizeof *sample);
  sample->play.count = 1;
  sample->play.priority = 4096;
  sample->play.left = sample->play.right = sample->play.pitch = 256;
  sample->data = data;
  s->driver = sample;
  return 1;
}

int unload(WTsound *s) {
  if (Sample *sample = sampleof(s)) {
    free(sample->data);
    _WTmem_free(sample);
  }
  s->driver = nullptr;
  return 1;
}

// ---- Playing -------------------------------------------------------------------------------------

int play(WTsound *s) {
  DWSplay &p = sampleof(s)->play;
  p.flags = DWS_PLAY;
  p.sounddata = sampleof(s)->data;
  p.notifywindow = basewindow();
  p.notifymessage = kDoneMessage;
  p.count = static_cast<uint16_t>(s->repeat == -1 ? 0 : s->repeat);
  if (!dws_DPlay(&p)) return 0;
  s->voice = p.soundnumber;
  return 1;
}

int stop(WTsound *s) {
  dws_DDiscard(sampleof(s)->play.soundnumber);
  s->voice = -1;
  return 1;
}

int isplaying(WTsound *s) { return s->voice != -1; }

// ---- Sound parameters ----------------------------------------------------------------------------

void setgain(WTsound *s, float v) {
  if (v < 0.0f) v = 0.0f;
  if (s->spatial) {
    s->gain = v;
    return;
  }
  float left, right;
  _WTsound_stereo(1.0f, s->pan, v * 256.0f, &left, &right);
  if (setlevels(s, left, right)) s->gain = v;
}

void setpan(WTsound *s, float v) {
  if (s->spatial) return;
  if (v < -1.0f) v = -1.0f;
  if (v > 1.0f) v = 1.0f;
  float left, right;
  _WTsound_stereo(1.0f, -v, s->gain * 256.0f, &left, &right);
  if (setlevels(s, left, right)) s->pan = v;
}

void setpitch(WTsound *s, float v) {
  if (v < 0.5f) v = 0.5f;
  if (v > 2.0f) v = 2.0f;
  DWSplay &p = sampleof(s)->play;
  p.flags = DWS_PITCH;
  p.soundnumber = static_cast<uint16_t>(s->voice);
  p.pitch = static_cast<uint16_t>(static_cast<int32_t>(256.0 * (0.5 + 1.5 * (1.0 - (v - 0.5) * 0.666666))));
  if (dws_DSetInfo(&p, nullptr)) s->pitch = v;
}

void setcount(WTsound *s, float v) {
  DWSplay &p = sampleof(s)->play;
  p.count = static_cast<uint16_t>(v == -1.0f ? 0 : static_cast<int32_t>(v));
  p.flags = DWS_COUNT;
  dws_DSetInfo(&p, nullptr);
  s->repeat = static_cast<int32_t>(v);
}

void setsoundparam(WTsound *s, int code, float v) {
  switch (code) {
    case 1: s->spatial = v != 0.0f; break;
    case 2: setgain(s, v); break;
    case 3: setpan(s, v); break;
    case 5: setpitch(s, v); break;
    case 7: s->priority = static_cast<int32_t>(v); break;
    case 8: setcount(s, v); break;
    default: break;
  }
}

}  // namespace

extern "C" {
const WTsounddriver _WTsound_librarydriver = {opendevice, closedevice, update, _WTsound_setlocalparam,
                                              _WTsound_getlocalparam, load, unload, play, stop, isplaying,
                                              setsoundparam};
}
