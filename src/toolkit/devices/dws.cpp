// The 21 entry points of the outside sound library: each loads the library on first use and
// passes its arguments to the library's entry of the same name.
#include "toolkit/devices/dws.h"
#include "toolkit/devices/library.h"
#include "toolkit/core/platform.h"

namespace {

enum Entry {
  ErrNo, DetectHardWare, Init, Kill, XDig, DPlay, DSetInfo, DGetInfo, DGetRateFromDWD, DDiscard, DDiscardAO,
  DClear, DPause, DUnPause, WAV2DWD, MPlay, MSongStatus, MClear, MPause, MUnPause, Update, kEntries
};

const char *const names[kEntries] = {
    "dws_ErrNo",  "dws_DetectHardWare", "dws_Init",    "dws_Kill",    "dws_XDig",       "dws_DPlay",
    "dws_DSetInfo", "dws_DGetInfo",     "dws_DGetRateFromDWD", "dws_DDiscard", "dws_DDiscardAO", "dws_DClear",
    "dws_DPause", "dws_DUnPause",       "dws_WAV2DWD", "dws_MPlay",   "dws_MSongStatus", "dws_MClear",
    "dws_MPause", "dws_MUnPause",       "dws_Update"};

void *library;
void *entries[kEntries];

// Calls the library's entry, loading the library first; 3 when it cannot be loaded.
template <typename... Args>
uint16_t call(Entry e, Args... args) {
  if (!library && !_dws_bind()) return 3;
  return reinterpret_cast<uint16_t (*)(Args...)>(entries[e])(args...);
}

}  // namespace

extern "C" {

int _dws_bind(void) {
  if (library) return 1;
  void *lib = _WTplat_loadlibrary(_WTdevice_iswin32s() ? "DWSW32S.DLL" : "DWSW32.DLL");
  if (!lib) return 0;
  for (int i = 0; i < kEntries; i++)
    if (!(entries[i] = _WTplat_libraryentry(lib, names[i]))) {
      _WTdevice_freelibrary(lib);
      return 0;
    }
  library = lib;
  return 1;
}

uint16_t dws_ErrNo(void) { return call(ErrNo); }
uint16_t dws_DetectHardWare(DWSdetect *detect) { return call(DetectHardWare, detect); }
uint16_t dws_Init(DWSdetect *detect, DWSsettings *settings) { return call(Init, detect, settings); }

uint16_t dws_Kill(void) {
  uint16_t r = call(Kill);
  if (library) {
    _WTdevice_freelibrary(library);
    library = nullptr;
  }
  return r;
}

uint16_t dws_XDig(int32_t a, int32_t b) { return call(XDig, a, b); }
uint16_t dws_DPlay(DWSplay *play) { return call(DPlay, play); }
uint16_t dws_DSetInfo(DWSplay *play, void *second) { return call(DSetInfo, play, second); }
uint16_t dws_DGetInfo(void *a, void *b) { return call(DGetInfo, a, b); }

uint16_t dws_DGetRateFromDWD(void *a, void *b) {
  if (!library && !_dws_bind()) return 3;
  call(DGetRateFromDWD, a, b);
  return 1;
}

uint16_t dws_DDiscard(int32_t soundnumber) { return call(DDiscard, soundnumber); }
uint16_t dws_DDiscardAO(void *a) { return call(DDiscardAO, a); }
uint16_t dws_DClear(void) { return call(DClear); }
uint16_t dws_DPause(void) { return call(DPause); }
uint16_t dws_DUnPause(void) { return call(DUnPause); }
uint16_t dws_WAV2DWD(void *image, uint32_t *length, void *out) { return call(WAV2DWD, image, length, out); }
uint16_t dws_MPlay(void *a) { return call(MPlay, a); }
uint16_t dws_MSongStatus(void *a) { return call(MSongStatus, a); }
uint16_t dws_MClear(void) { return call(MClear); }
uint16_t dws_MPause(void) { return call(MPause); }
uint16_t dws_MUnPause(void) { return call(MUnPause); }
uint16_t dws_Update(void) { return call(Update); }
}
