// The outside digital-sound library "DWSW32.DLL": the records its entries take and the 21 entry
// points the program offers under the library's names, each loading the library on first use and
// answering 3 when it cannot be loaded.
#pragma once

#include <stdint.h>

// Filled by dws_DetectHardWare: capability bits, then a value that must lie in 1 .. 4095.
struct DWSdetect {
  uint32_t capabilities;
  uint32_t value;
  uint32_t reserved[14];
};

// Passed to dws_Init with the detection record.
struct DWSsettings {
  uint32_t reserved0;
  uint32_t capability;
  uint32_t value128;
  uint16_t channels;
  uint16_t reserved1;
  uint32_t reserved[12];
};

// What dws_DPlay and dws_DSetInfo read; dws_DPlay writes the sound number.
struct DWSplay {
  uint32_t flags;
  void *sounddata;
  uint16_t count;
  uint16_t priority;
  uint16_t third;
  uint16_t soundnumber;
  uint16_t left;
  uint16_t right;
  uint16_t pitch;
  uint16_t unused;
  void *notifywindow;
  uint32_t notifymessage;
};

enum : uint32_t {
  DWS_PLAY = 0xC0800000u,
  DWS_LEVELS = 0x0E000000u,
  DWS_PITCH = 0x09000000u,
  DWS_COUNT = 0x40000000u,
};

extern "C" {
uint16_t dws_ErrNo(void);
uint16_t dws_DetectHardWare(DWSdetect *detect);
uint16_t dws_Init(DWSdetect *detect, DWSsettings *settings);
uint16_t dws_Kill(void);
uint16_t dws_XDig(int32_t a, int32_t b);
uint16_t dws_DPlay(DWSplay *play);
uint16_t dws_DSetInfo(DWSplay *play, void *second);
uint16_t dws_DGetInfo(void *a, void *b);
uint16_t dws_DGetRateFromDWD(void *a, void *b);
uint16_t dws_DDiscard(int32_t soundnumber);
uint16_t dws_DDiscardAO(void *a);
uint16_t dws_DClear(void);
uint16_t dws_DPause(void);
uint16_t dws_DUnPause(void);
uint16_t dws_WAV2DWD(void *image, uint32_t *length, void *out);
uint16_t dws_MPlay(void *a);
uint16_t dws_MSongStatus(void *a);
uint16_t dws_MClear(void);
uint16_t dws_MPause(void);
uint16_t dws_MUnPause(void);
uint16_t dws_Update(void);

// Loads the library and finds its 21 entries; false (and nothing kept) when any is missing.
int _dws_bind(void);
}
