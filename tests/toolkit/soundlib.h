// The sound library stand-in for the sound tests: which copy the library search finds, its kept
// state, and the library's notice that a sound ended.
#pragma once

#include <stdint.h>

#include "toolkit/devices/dws.h"

struct StandinState {
  uint32_t capabilities, value;
  uint16_t initresult, setinforesult, playresult, convertresult;
  DWSsettings settings;
  DWSplay played;
  DWSplay info;
  int setinfos, discards, kills, clears;
  uint16_t nextsound;
};

// Puts the library at path (DWS_COMPLETE, DWS_INCOMPLETE) where the search finds it; null
// leaves none there.
void uselibrary(const char *path);
// The state of the loaded stand-in, or null when it is not loaded.
StandinState *standin();
// The library's notice that a sound ended, handled as the toolkit window gets it.
void finishsound(uint16_t sound);
