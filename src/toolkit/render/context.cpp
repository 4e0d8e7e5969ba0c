// The render context, the display table and the rendering settings from the environment.
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/context.h"
#include "toolkit/render/images.h"

namespace {

WTrendercontext *context;
WTrendersettings settings = {0, 0, 5000, 0, 0, 0, 0, 0};
WTdisplay *displays;
int ndisplays;

int envint(const char *name, bool *present) {
  const char *s = getenv(name);
  if (present) *present = s != nullptr;
  return s ? atoi(s) : 0;
}

}  // namespace

extern "C" {

WTrendercontext *_WTrender_context(void) { return context; }
WTrendersettings *_WTrender_settings(void) { return &settings; }
int _WTdisplay_count(void) { return ndisplays; }
WTdisplay *_WTdisplay_get(int index) {
  return index >= 0 && index < ndisplays ? &displays[index] : nullptr;
}

void _WTrender_start(int flags) {
  if (context) return;
  _WTidblock_init();
  ndisplays = 1;
  displays = static_cast<WTdisplay *>(_WTmem_alloc(sizeof(WTdisplay)));
  memset(displays, 0, sizeof(WTdisplay));
  displays[0].usable = 1;
  displays[0].stencil = (flags & 0x1000) != 0;
  displays[0].maxwidth = 1024;
  displays[0].maxheight = 768;
  context = static_cast<WTrendercontext *>(_WTmem_alloc(sizeof(WTrendercontext)));
  memset(context, 0, sizeof *context);
  _WTrender_readenv();
  _WTrender_updateambient();
}

void _WTrender_stop(void) {
  if (!context) return;
  _WTmem_free(context);
  context = nullptr;
  _WTmem_free(displays);
  displays = nullptr;
  ndisplays = 0;
}

void _WTrender_readenv(void) {
  if (!context) return;
  context->texhead = context->textail = context->pending = nullptr;
  context->uploadfeature = 1;
  context->splitgap = 18;
  context->lightlists = _WTidblock_alloc(9);
  for (int i = 0; i < 8; i++) context->slots[i] = nullptr, context->slotvalid[i] = 0;
  context->ambientvalid = 0;
  context->maxtexsize = 1024;
  bool set = false;
  int max = envint("WTKMAXTEXSIZE", &set);
  if (set) {
    if (max >= 1 && (max & (max - 1)) == 0)
      context->maxtexsize = max;
    else
      _WTmsg_warning("WTKMAXTEXSIZE must be a power of 2\n");
  }
  int alpha = envint("WTKALPHATEST", nullptr);
  alpha = alpha < 0 ? 0 : alpha > 255 ? 255 : alpha;
  context->alpharef = static_cast<float>(alpha) / 256.0f;
  settings.squaretextures = envint("WTKSQRTEX", nullptr) != 0;
  int prims = envint("WTKMAXPRIM", nullptr);
  settings.maxprims = prims >= 1 ? prims : 5000;
  settings.forcecolor = envint("WTKFORCECOLOR", nullptr) != 0;
  settings.dither = envint("WTKDITHER", nullptr);
}

void _WTrender_updateambient(void) {
  if (!context) return;
  _WTuniverse_getambient(context->ambient);
  context->ambientvalid = 0;
}
}
