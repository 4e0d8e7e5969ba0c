// The 3D-audio server as a sound driver: a device is listener 0 of the server, each sound a
// numbered source playing a wave that lies on the server.
#include <math.h>
#include <string.h>

#include "toolkit/devices/cre.h"
#include "toolkit/devices/sound.h"

namespace {

CreWave *waveof(WTsound *s) { return static_cast<CreWave *>(s->driver); }

bool moved(const float *a, const float *b, int n) {
  for (int i = 0; i < n; i++)
    if (fabsf(a[i] - b[i]) >= 0.004f) return true;
  return false;
}

// ---- Device --------------------------------------------------------------------------------

int opendevice(WTsounddevice *d) {
  int granted = _WTcre_boot(6, 0, d->channels, 0);
  if (granted >= 1) {
    d->channels = granted;
    _WTmsg_info("Opened Acoustetron Server.\n\n");
    return 1;
  }
  _WTmsg_info("Failed to open Acoustetron Server.\n");
  _WTcre_removelistener(0, 0);
  return 0;
}

int closedevice(WTsounddevice *) { return _WTcre_removelistener(0, 0) == 1; }

// Sends a property's value, or resets it; the value kept.
float setproperty(int property, float value, float fallback) {
  if (value > 0.0f) return _WTcre_serverproperty(property, 1, &value) == 1 ? value : fallback;
  _WTcre_serverproperty(property, -1, nullptr);
  return property ? 60.0f : 0.8f;
}

void setparam(WTsounddevice *d, int code, float value) {
  switch (code) {
    case 1: d->enabled = value != 0.0f; break;
    case 2: {
      int mode = static_cast<int>(value);
      if (mode == 1 || mode == 3 || mode == 5) _WTcre_servermode(mode / 2);
      break;
    }
    case 5:
    case 7: d->property1 = setproperty(1, value, d->property1); break;
    case 6: d->property0 = setproperty(0, value, d->property0); break;
    default: break;
  }
}

float getparam(WTsounddevice *d, int code) {
  if (code == 1) return d->enabled ? 1.0f : 0.0f;
  if (code == 5 || code == 7) return d->property1;
  if (code == 6) return d->property0;
  return 0.0f;
}

void updatelistener(WTsounddevice *d, const float p[3], const float dir[3]) {
  if (!moved(p, d->lastposition, 3) && !moved(dir, d->lastdirection, 3)) return;
  float yaw = atan2f(dir[0], dir[2]);
  float pose[6] = {p[2], -p[0], -p[1], -yaw, 0.0f, 0.0f};
  _WTcre_listenerpose(0, pose);
  memcpy(d->lastposition, p, 3 * sizeof(float));
  memcpy(d->lastdirection, dir, 3 * sizeof(float));
}

void updatesource(WTsounddevice *d, WTsound *s, const float listener[3]) {
  float at[3];
  memcpy(at, listener, sizeof at);
  if (d->enabled) _WTsound_source(s, listener, at);
  if (!moved(at, s->lastsent, 3)) return;
  float pose[6] = {at[2], -at[0], -at[1], 0.0f, 0.0f, 0.0f};
  _WTcre_sourcepose(s->voice, pose);
  memcpy(s->lastsent, at, sizeof at);
}

void update(WTsounddevice *d) {
  if (!d->listener) return;
  WTp3 p, dir;
  WTviewpoint_getposition(d->listener, p);
  WTviewpoint_getdirection(d->listener, dir);
  updatelistener(d, p, dir);
  for (WTsound *s = d->sounds; s; s = s->next) updatesource(d, s, p);
  _WTcre_commit();
}

// ---- Sounds --------------------------------------------------------------------------------------

int load(WTsound *s) {
  CreWave *wave = _WTcre_waveopen(s->name, 0);
  if (!wave || _WTcre_wavenumber(wave) == -1) {
    if (wave) _WTcre_waveclose(wave);
    _WTmsg_warning("Failed to open the file %s\n", s->name);
    _WTmsg_warning("Do not provide a path to the file,\n");
    _WTmsg_warning("it should be located on the sound server.\n");
    return 0;
  }
  s->driver = wave;
  s->voice = _WTcre_link().nextsource++;
  float zero[6] = {};
  // A source past those the server granted answers nothing.
  if (s->voice >= _WTcre_link().sources) {
    _WTcre_waveclose(wave);
    s->driver = nullptr;
    s->voice = -1;
    return 0;
  }
  _WTcre_sourcepose(s->voice, zero);
  _WTcre_sourcegain(s->voice, s->gain);
  return 1;
}

// The wave record goes in any case; a failure leaves the sound on its device.
int unload(WTsound *s) {
  int closed = _WTcre_waveclose(waveof(s));
  s->driver = nullptr;
  if (closed < 1) {
    _WTmsg_warning("Unable to close wave associated with sound. Sound not deleted\n");
    return 0;
  }
  return 1;
}

int play(WTsound *s) {
  _WTcre_wavecontrol(waveof(s), s->voice, 2, nullptr);
  return _WTcre_wavecontrol(waveof(s), s->voice, s->repeat != -1 ? 5 : 6, nullptr) >= 1;
}

int stop(WTsound *s) { return _WTcre_wavecontrol(waveof(s), s->voice, 7, nullptr) >= 1; }

int isplaying(WTsound *s) {
  int r = _WTcre_wavecontrol(waveof(s), s->voice, 8, nullptr);
  return r > 0 && (r & 1);
}

void setgain(WTsound *s, float v) {
  if (v < 0.0f) v = 0.0f;
  float x = (v - 1.0f) * 200.0f;
  if (_WTcre_sourcegain(s->voice, x) == 1) s->gain = x;
}

void setpitch(WTsound *s, float v) {
  if (v < 0.5f) v = 0.5f;
  if (v > 2.0f) v = 2.0f;
  if (_WTcre_wavecontrol(waveof(s), s->voice, 10, &v) == 1) s->pitch = v;
}

void setrepeat(WTsound *s, float v) {
  int n = static_cast<int>(v);
  if ((n == -1) == (s->repeat == -1)) return;
  s->repeat = n;
  if (isplaying(s)) play(s);
}

void setsoundparam(WTsound *s, int code, float v) {
  switch (code) {
    case 1: s->spatial = v != 0.0f; break;
    case 2: setgain(s, v); break;
    case 5: setpitch(s, v); break;
    case 8: setrepeat(s, v); break;
    case 9:
      if (_WTcre_sourcevalue8d(s->voice, v) == 1) s->param9 = v;
      break;
    default: break;
  }
}

}  // namespace

extern "C" {
const WTsounddriver _WTsound_serverdriver = {opendevice, closedevice, update, setparam, getparam, load,
                                             unload, play, stop, isplaying, setsoundparam};
}
