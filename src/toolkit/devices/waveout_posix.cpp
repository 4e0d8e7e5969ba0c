// Without Windows there is no wave output: a waveOut device opens with its one voice, but no
// sound loads on it.
#include "toolkit/devices/sound.h"

namespace {

int opendevice(WTsounddevice *d) {
  d->channels = 1;
  return 1;
}
int closedevice(WTsounddevice *) { return 1; }
void update(WTsounddevice *) {}
int refuse(WTsound *) { return 0; }
int unload(WTsound *) { return 1; }
void setsoundparam(WTsound *, int, float) {}

}  // namespace

extern "C" {

const WTsounddriver _WTsound_waveoutdriver = {opendevice, closedevice, update, _WTsound_setlocalparam,
                                              _WTsound_getlocalparam, refuse, unload, refuse, refuse, refuse,
                                              setsoundparam};

int _WTsound_waveoutmatches(WTsound *, uintptr_t, intptr_t) { return 0; }
void _WTsound_waveoutdone(WTsound *) {}
}
