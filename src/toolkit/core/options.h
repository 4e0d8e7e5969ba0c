// The start-up options record the universe keeps, and how it is filled.
#pragma once

#include <stdint.h>

// Geometry flag bits.
enum : uint32_t {
  WTGEOM_X = 1,
  WTGEOM_Y = 2,
  WTGEOM_WIDTH = 4,
  WTGEOM_HEIGHT = 8,
  WTGEOM_XNEGATIVE = 16,
  WTGEOM_YNEGATIVE = 32,
  WTGEOM_NOBORDER = 64,
};

struct WTopts {
  uint32_t bgcolor;  // 0xRRGGBB
  uint32_t geometryflags;
  int32_t x, y;
  int32_t width, height;
  int32_t configuration[3];
  float ambient;
  uint32_t ambientrgb;
  float halfangle;  // radians
  float hither;
  float yon;
  unsigned char bytes[19];  // the option bytes in record order (see _WTopts_byte)
};

extern "C" {
// A record with the defaults.
WTopts *_WTopts_new(void);
// Fills the record from the recorded command line and the initialization file.
void _WTopts_read(WTopts *options);
// The initialization file chosen by the last _WTopts_findini, the program name, and the value
// recorded from the command line for a key (null when none).
const char *_WTopts_inipath(void);
const char *_WTopts_getprogramname(void);
const char *_WTopts_getrecorded(const char *key);
// Forgets the program name and the recorded pairs.
void _WTopts_clear(void);
// Whether a console-style main runs inside _WTmain_adapter, and the jump back to it.
int _WTmain_inside(void);
void _WTmain_jumpback(void);
// The record slot of an option number (1-19), or null.
unsigned char *_WTopts_byte(WTopts *options, int option);
// 0xRRGGBB to 0x0RGB (four bits a channel) and back.
unsigned short _WTopts_pack12(uint32_t rgb);
uint32_t _WTopts_unpack12(unsigned short rgb12);
}
