// What a frame draws, decided without OpenGL: which windows are drawn and where, the eye passes
// of each display mode, the interleave masks, the order of the render list's two passes, the
// state cache a pass starts from, and what the light lists hold.  The OpenGL file only sends
// these records on.
#pragma once

#include <stdint.h>

#include "toolkit/render/context.h"
#include "toolkit/render/drawstate.h"

// Bits of the state cache's flags: what OpenGL has switched on.
constexpr uint32_t WTGL_LIT = 1;
constexpr uint32_t WTGL_ALPHA = 2;
constexpr uint32_t WTGL_TWOSIDED = 4;
constexpr uint32_t WTGL_TEXTURED = 8;
constexpr uint32_t WTGL_BLENDED = 16;
constexpr uint32_t WTGL_COLORMAT = 32;
constexpr uint32_t WTGL_FACES = 64;
constexpr uint32_t WTGL_SMOOTH = 128;
constexpr uint32_t WTGL_TEXGEN = 512;

// A rectangle of pixels, from the bottom left.
struct WTviewport {
  int x, y, width, height;
};

// One window's share of the frame.
struct WTwindowframe {
  uint8_t draw;         // 0: skipped (its parent hidden or disabled, or itself disabled)
  uint8_t top;          // a top window: cleared before it is drawn, swapped after all are
  uint8_t stencilmask;  // an interleaved window moved or resized: its mask is made again
  WTviewport viewport;  // in the parent's client area
};

// Where an eye pass draws, besides the back buffer.
enum : uint8_t { WTBUFFER_BACK, WTBUFFER_BACKLEFT, WTBUFFER_BACKRIGHT };
// Which pixels of the interleave mask an eye pass draws.
enum : uint8_t { WTSTENCIL_NONE, WTSTENCIL_OUTSIDE, WTSTENCIL_INSIDE };

// One eye pass with the state set before it, in this order: viewport, colour mask, draw
// buffer, stencil test, depth clear.
struct WTeyepass {
  int eye;
  uint8_t setviewport;
  WTviewport viewport;
  int8_t colormask;  // -1 unchanged, else bits 1 red, 2 green, 4 blue, 8 alpha
  uint8_t buffer;    // WTBUFFER_*; WTBUFFER_BACK leaves the draw buffer as it is
  uint8_t stencil;   // WTSTENCIL_*
  uint8_t cleardepth;
};

// The eye passes of one window.
struct WTpassplan {
  int count;               // 0: the display mode has no passes and the window draws nothing
  WTeyepass pass[2];
  uint8_t disablestencil;  // the stencil test goes off first
  uint8_t enablestencil;   // the stencil test goes on first
  uint8_t keepstencil;     // the stencil buffer is kept as it is while drawing
  uint8_t stencilon;       // whether the stencil test is on after the passes
  int8_t maskafter;        // colour mask after the passes, as in WTeyepass
};

// The two halves of split stereo: the upper for eye 0, the lower for eye 1.
struct WTsplit {
  WTviewport upper, lower;
};

// The stipple an interleaved window's mask is drawn with: rows 0, 2, 4 ...; rows 1, 3, 5 ...;
// columns 0, 2, 4 ...; columns 1, 3, 5 ...
enum WTmaskpattern { WTMASK_R0, WTMASK_R1, WTMASK_C0, WTMASK_C1 };

// The render list's passes: opaque first, then blended.
struct WTlistpasses {
  uint8_t opaque;   // the opaque list has items
  uint8_t blended;  // the blended list has items
  uint8_t sort;     // the blended list is sorted back to front first
  uint8_t lights;   // light slots switched on at the root, switched off after each pass
};

// A matrix's local eye position and view axis, and whether its rows are of unit length (else
// normals must be normalised).
struct WTmatrixframe {
  float eye[3];
  float axis[3];
  uint8_t unit;
};

// The light lists a frame compiles again.
struct WTlightplan {
  uint8_t slots;    // bit n: slot n holds a light whose list is out of date
  uint8_t ambient;  // the ambient list is out of date
};

// What a light's list sends for its slot, in this order: attenuation, spot direction, cutoff,
// spot exponent, colours, position.
struct WTlightvalues {
  uint8_t attenuated;  // the three attenuation factors are sent
  uint8_t spot;        // direction and exponent are sent
  float attenuation[3];
  float direction[3];
  float cutoff;  // degrees
  float exponent;
  float colours[3][4];  // ambient, diffuse, specular, times the intensity
  float position[4];
};

extern "C" {
// Starts the window's frame: its projected-point key and polygon count are cleared; a drawn top
// window that moved passes the mark on to its sub-windows; the window's own mark is used up.
WTwindowframe _WTwindow_beginframe(WTwindow *window);
// The eye passes of a display mode over the viewport, given whether the stencil test is on.
WTpassplan _WTwindow_planpasses(uint32_t mode, int eye, WTviewport viewport, int splitgap,
                                int stencilon);
WTsplit _WTviewport_split(WTviewport viewport, int gap);
// The pattern of an interleaved window's mask, tied to its place on the screen.
WTmaskpattern _WTwindow_maskpattern(const WTwindow *window, int viewportx, int viewporty);
// The 32 x 32 stipple of a pattern.
void _WTmask_bytes(WTmaskpattern pattern, uint8_t bytes[128]);
WTlistpasses _WTdrawstate_passes(const WTdrawstate *state);

// The style a pass starts from: the rendering flags, only antialiasing and outline with outline.
uint8_t _WTrender_style(uint8_t rendering);
// The state cache at view begin.
void _WTglcache_reset(WTglcache *cache, WTwindow *window, uint8_t rendering);
WTmatrixframe _WTmatrix_frame(const float *matrix);

WTlightplan _WTlight_planlists(const WTrendercontext *context);
// After the lists are compiled: every slot holding a light and the ambient list are valid.
void _WTlight_listsdone(WTrendercontext *context);
WTlightvalues _WTlight_values(const WTlight *light);
}
