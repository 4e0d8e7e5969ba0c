// The state the whole drawing side shares: the render context, the display table, the texture
// cache's entries and the per-window draw state of the render list.
#pragma once

#include <stdint.h>

#include "toolkit/render/render.h"

struct WTtexture {
  char *name;
  WTtexture *next, *prev;
  WTtexture *nextpending;
  uint32_t objects[8];  // texture object per rendering context, 0 until generated
  unsigned char *pixels;
  int16_t width, height;
  uint32_t list;
  int32_t second;  // always -1
  int32_t refcount;
  uint8_t minfilter, magfilter;
  uint8_t flags;  // WTTEX_*
  uint8_t held;
  uint8_t clamps, clampt;
  uint8_t decal;
  uint8_t spare;
};

enum {
  WTTEX_FREE = 1,
  WTTEX_UPLOAD = 2,
  WTTEX_CALLERS = 4,
  WTTEX_QUEUED = 8,
  WTTEX_REUPLOAD = 16,
  WTTEX_MEMORY = 32,
};

struct WTrendercontext {
  int maindisplay;
  float ambient[4];
  WTlight *slots[8];
  unsigned char slotvalid[8];
  unsigned char ambientvalid;
  uint32_t lightlists;  // 9 ids: slot n at + n, the ambient list at + 8
  int maxtexsize;
  float alpharef;
  int splitgap;
  WTtexture *texhead, *textail;
  WTtexture *pending;
  int contextindex;
  int uploadfeature;
};

struct WTdisplay {
  int maxwidth, maxheight;
  int usable;
  int stencil;
  int quadstereo;
  int texobjects;
  void *basehwnd;
  void *basedc;
};

// Settings beside the render context.
struct WTrendersettings {
  int texobjects;
  int squaretextures;
  int maxprims;
  int forcecolor;
  int dither;
  int magdefault, mindefault;
  int multisample;
};

extern "C" {
// The render context while the graphics side runs, else null.
WTrendercontext *_WTrender_context(void);
WTrendersettings *_WTrender_settings(void);
int _WTdisplay_count(void);
WTdisplay *_WTdisplay_get(int index);
// Allocates the render context and the one-entry display table (start flags give the stencil
// flag), then reads the environment.  Frees them again.
void _WTrender_start(int flags);
void _WTrender_stop(void);
void _WTrender_readenv(void);
// The universe's ambient colour times its intensity (alpha 1) into the render context.
void _WTrender_updateambient(void);

// ---- Texture cache ---------------------------------------------------------------------------
WTtexture *_WTtexture_find(const char *name);
WTtexture *_WTtexture_get(const char *name);
WTtexture *_WTtexture_new(const char *name, int mag, int min);
void _WTtexture_release(WTtexture *texture);
void _WTtexture_releasebyid(uint32_t id);
WTtexture *_WTtexture_newfromimage(const char *name, unsigned char *pixels, int width, int height);
int _WTtexture_setfilter(const char *name, int mag, int min);
int _WTtexture_getfilter(const char *name, int *mag, int *min);
int _WTtexture_hold(const char *name, int on);
int _WTtexture_isheld(const char *name);
long long _WTtexture_memoryused(void);
void _WTtexture_flushqueue(int final);
// Uploads one entry in the current context (drawing side).
void _WTtexture_upload(WTtexture *texture);
// Deletes the entry's display list and texture object in the current context (drawing side).
void _WTtexture_unload(WTtexture *texture);
// Reads level 0 back into fresh pixels (drawing side).
void _WTtexture_readback(WTtexture *texture);
}
