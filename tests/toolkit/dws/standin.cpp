// A stand-in for the outside sound library DWSW32.DLL: it converts nothing, numbers the sounds it
// plays, and keeps what it was given so that a test can look (standin_state).  Built complete and
// without one entry (DWS_INCOMPLETE).
#include <string.h>

#include "../soundlib.h"

#ifdef _WIN32
#include <windows.h>
#define EXPORT extern "C" __declspec(dllexport)
#else
#define EXPORT extern "C" __attribute__((visibility("default")))
#endif


namespace {
StandinState state = {0x14, 100, 1, 1, 1, 1, {}, {}, {}, 0, 0, 0, 0, 1};
}

EXPORT StandinState *standin_state() { return &state; }

// Tells the notify window that a sound ended, as the library does.
EXPORT void standin_finish(uint16_t sound) {
#ifdef _WIN32
  PostMessageA(static_cast<HWND>(state.played.notifywindow), state.played.notifymessage, sound, 1);
#else
  (void)sound;
#endif
}

EXPORT uint16_t dws_ErrNo(void) { return 0; }
EXPORT uint16_t dws_DetectHardWare(DWSdetect *d) {
  d->capabilities = state.capabilities;
  d->value = state.value;
  return 1;
}
EXPORT uint16_t dws_Init(DWSdetect *, DWSsettings *s) {
  state.settings = *s;
  return state.initresult;
}
EXPORT uint16_t dws_Kill(void) { return ++state.kills, 1; }
EXPORT uint16_t dws_XDig(int32_t, int32_t) { return 1; }
EXPORT uint16_t dws_DPlay(DWSplay *p) {
  if (!state.playresult) return 0;
  p->soundnumber = state.nextsound++;
  state.played = *p;
  return 1;
}
EXPORT uint16_t dws_DSetInfo(DWSplay *p, void *) {
  state.info = *p;
  state.setinfos++;
  return state.setinforesult;
}
EXPORT uint16_t dws_DGetInfo(void *, void *) { return 1; }
EXPORT uint16_t dws_DGetRateFromDWD(void *, void *) { return 0; }
EXPORT uint16_t dws_DDiscard(int32_t) { return ++state.discards, 1; }
EXPORT uint16_t dws_DDiscardAO(void *) { return 1; }
EXPORT uint16_t dws_DClear(void) { return ++state.clears, 1; }
EXPORT uint16_t dws_DPause(void) { return 1; }
EXPORT uint16_t dws_DUnPause(void) { return 1; }
EXPORT uint16_t dws_WAV2DWD(void *image, uint32_t *length, void *out) {
  if (out) memcpy(out, image, *length);
  return state.convertresult;
}
EXPORT uint16_t dws_MPlay(void *) { return 1; }
EXPORT uint16_t dws_MSongStatus(void *) { return 1; }
EXPORT uint16_t dws_MClear(void) { return 1; }
EXPORT uint16_t dws_MPause(void) { return 1; }
#ifndef DWS_INCOMPLETE
EXPORT uint16_t dws_MUnPause(void) { return 1; }
#endif
EXPORT uint16_t dws_Update(void) { return 1; }
