// The texture cache: entries shared by name, loaded once, uploaded to OpenGL from a pending
// queue that the frame drawing works off in every context.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/render/context.h"
#include "toolkit/render/images.h"

namespace {

bool ispow2(int n) { return n >= 1 && (n & (n - 1)) == 0; }

void pushfront(WTrendercontext *rc, WTtexture *t) {
  t->prev = nullptr;
  t->next = rc->texhead;
  if (rc->texhead) rc->texhead->prev = t;
  rc->texhead = t;
  if (!rc->textail) rc->textail = t;
}

void unlink(WTrendercontext *rc, WTtexture *t) {
  if (t->prev) t->prev->next = t->next; else rc->texhead = t->next;
  if (t->next) t->next->prev = t->prev; else rc->textail = t->prev;
}

void enqueue(WTrendercontext *rc, WTtexture *t) {
  if (t->flags & WTTEX_QUEUED) return;
  t->flags |= WTTEX_QUEUED;
  t->nextpending = rc->pending;
  rc->pending = t;
}

WTtexture *newentry(WTrendercontext *rc, const char *name) {
  uint32_t id = _WTidblock_alloc(1);
  if (!id) return nullptr;
  WTtexture *t = static_cast<WTtexture *>(_WTmem_alloc(sizeof(WTtexture)));
  memset(t, 0, sizeof *t);
  t->name = _WTmem_strdup(name);
  t->list = id;
  t->second = -1;
  pushfront(rc, t);
  return t;
}

void freeentry(WTrendercontext *rc, WTtexture *t) {
  unlink(rc, t);
  _WTidblock_free(t->list, 1);
  if (!(t->flags & WTTEX_CALLERS)) _WTmem_free(t->pixels);
  _WTmem_free(t->name);
  _WTmem_free(t);
}

unsigned char *fit(unsigned char *pixels, int *w, int *h) {
  WTrendercontext *rc = _WTrender_context();
  return _WTtexture_fitsize(pixels, w, h, rc ? rc->maxtexsize : 1024,
                            _WTrender_settings()->squaretextures);
}

}  // namespace

extern "C" {

unsigned char *WTtexture_load(const char *name, int *width, int *height) {
  int w = 0, h = 0;
  _WTtexture_setstatus(1);
  unsigned char *pixels = _WTimage_read(name, &w, &h);
  if (!pixels) return nullptr;
  pixels = fit(pixels, &w, &h);
  if (!pixels) return nullptr;
  _WTtexture_setstatus(8);
  if (width) *width = w;
  if (height) *height = h;
  return pixels;
}

WTtexture *_WTtexture_find(const char *name) {
  WTrendercontext *rc = _WTrender_context();
  if (!rc || !name) return nullptr;
  for (WTtexture *t = rc->texhead; t; t = t->next)
    if (strcmp(t->name, name) == 0) return t;
  return nullptr;
}

WTtexture *_WTtexture_new(const char *name, int mag, int min) {
  WTrendercontext *rc = _WTrender_context();
  if (!rc || !name) return nullptr;
  int w = 0, h = 0;
  unsigned char *pixels = WTtexture_load(name, &w, &h);
  if (!pixels) return nullptr;
  WTtexture *t = newentry(rc, name);
  if (!t) {
    _WTmem_free(pixels);
    return nullptr;
  }
  t->pixels = pixels;
  t->width = static_cast<int16_t>(w);
  t->height = static_cast<int16_t>(h);
  t->magfilter = static_cast<uint8_t>(mag);
  t->minfilter = static_cast<uint8_t>(min);
  t->flags = WTTEX_UPLOAD;
  enqueue(rc, t);
  return t;
}

WTtexture *_WTtexture_get(const char *name) {
  if (WTtexture *t = _WTtexture_find(name)) {
    t->flags &= static_cast<uint8_t>(~WTTEX_FREE);
    return t;
  }
  WTrendersettings *s = _WTrender_settings();
  return _WTtexture_new(name, s->magdefault, s->mindefault);
}

void _WTtexture_release(WTtexture *t) {
  WTrendercontext *rc = _WTrender_context();
  if (!t || !rc) return;
  if (--t->refcount > 0) return;
  t->flags |= WTTEX_FREE;
  enqueue(rc, t);
}

void _WTtexture_releasebyid(uint32_t id) {
  WTrendercontext *rc = _WTrender_context();
  for (WTtexture *t = rc ? rc->texhead : nullptr; t; t = t->next)
    if (t->list == id) return _WTtexture_release(t);
}

int WTtexture_replace(const char *name, int format, int width, int height, unsigned char *pixels) {
  WTrendercontext *rc = _WTrender_context();
  if (!rc || !name || !ispow2(width) || !ispow2(height) || width > rc->maxtexsize ||
      height > rc->maxtexsize)
    return 0;
  if (format != 0) {
    _WTmsg_warning("The format for bitmap %s is not WTIMAGE_RGBA\n", name);
    return 0;
  }
  WTtexture *t = _WTtexture_find(name);
  if (t) {
    if (!(t->flags & WTTEX_CALLERS)) _WTmem_free(t->pixels);
  } else if (!(t = newentry(rc, name))) {
    return 0;
  }
  WTrendersettings *s = _WTrender_settings();
  t->pixels = pixels;
  t->width = static_cast<int16_t>(width);
  t->height = static_cast<int16_t>(height);
  t->flags = static_cast<uint8_t>((t->flags & WTTEX_QUEUED) | WTTEX_UPLOAD | WTTEX_CALLERS);
  t->minfilter = static_cast<uint8_t>(s->mindefault);
  t->magfilter = static_cast<uint8_t>(s->magdefault < 4 ? s->magdefault : 1);
  enqueue(rc, t);
  return 1;
}

WTtexture *_WTtexture_newfromimage(const char *name, unsigned char *pixels, int width, int height) {
  WTrendercontext *rc = _WTrender_context();
  if (!rc || !name || !pixels) {
    _WTmem_free(pixels);
    return nullptr;
  }
  pixels = fit(pixels, &width, &height);
  if (!pixels) return nullptr;
  WTtexture *t = _WTtexture_find(name);
  if (t) {
    if (!(t->flags & WTTEX_CALLERS)) _WTmem_free(t->pixels);
  } else if (!(t = newentry(rc, name))) {
    _WTmem_free(pixels);
    return nullptr;
  }
  WTrendersettings *s = _WTrender_settings();
  t->pixels = pixels;
  t->width = static_cast<int16_t>(width);
  t->height = static_cast<int16_t>(height);
  t->magfilter = static_cast<uint8_t>(s->magdefault);
  t->minfilter = static_cast<uint8_t>(s->mindefault);
  t->flags = static_cast<uint8_t>((t->flags & WTTEX_QUEUED) | WTTEX_UPLOAD | WTTEX_MEMORY);
  enqueue(rc, t);
  return t;
}

int _WTtexture_setfilter(const char *name, int mag, int min) {
  if (mag < 0 || mag > 3 || min < 0 || min > 7) return 0;
  WTrendersettings *s = _WTrender_settings();
  if (!name) {
    s->magdefault = mag, s->mindefault = min;
    return 1;
  }
  WTtexture *t = _WTtexture_find(name);
  if (!t) return _WTtexture_new(name, mag, min) != nullptr;
  if (t->magfilter != mag || t->minfilter != min) {
    t->flags |= WTTEX_REUPLOAD;
    enqueue(_WTrender_context(), t);
  }
  t->magfilter = static_cast<uint8_t>(mag);
  t->minfilter = static_cast<uint8_t>(min);
  return 1;
}

int _WTtexture_getfilter(const char *name, int *mag, int *min) {
  WTrendersettings *s = _WTrender_settings();
  int m = -1, n = 0;
  if (!name) {
    m = s->magdefault, n = s->mindefault;
  } else if (WTtexture *t = _WTtexture_find(name)) {
    if (!(t->flags & WTTEX_FREE)) m = t->magfilter, n = t->minfilter;
  }
  if (mag) *mag = m;
  if (min) *min = n;
  return m >= 0;
}

int _WTtexture_hold(const char *name, int on) {
  if (on) {
    WTtexture *t = _WTtexture_get(name);
    if (!t) return 0;
    if (!t->held) t->refcount++, t->held = 1;
    return 1;
  }
  WTtexture *t = _WTtexture_find(name);
  if (!t || !t->held) return 0;
  t->held = 0;
  _WTtexture_release(t);
  return 1;
}

int _WTtexture_isheld(const char *name) {
  WTtexture *t = _WTtexture_find(name);
  return t ? t->held : 0;
}

long long _WTtexture_memoryused(void) {
  WTrendercontext *rc = _WTrender_context();
  long long total = 0;
  for (WTtexture *t = rc ? rc->texhead : nullptr; t; t = t->next) {
    if (t->flags & WTTEX_FREE) continue;
    long long bytes = 4LL * t->width * t->height;
    total += t->minfilter >= 4 ? 4 * ((bytes + 2) / 3) : bytes;
  }
  return total;
}

void _WTtexture_flushqueue(int final) {
  WTrendercontext *rc = _WTrender_context();
  if (!rc) return;
  for (WTtexture *t = rc->pending, *next; t; t = next) {
    next = t->nextpending;
    if (t->flags & WTTEX_FREE) {
      _WTtexture_unload(t);
    } else if (t->flags & WTTEX_UPLOAD) {
      _WTtexture_upload(t);
    } else if (t->flags & WTTEX_REUPLOAD) {
      if (!t->pixels) _WTtexture_readback(t);
      _WTtexture_upload(t);
    }
  }
  if (!final) return;
  WTtexture *t = rc->pending;
  rc->pending = nullptr;
  while (t) {
    WTtexture *next = t->nextpending;
    t->nextpending = nullptr;
    if (t->flags & WTTEX_FREE) {
      freeentry(rc, t);
    } else {
      t->flags &= WTTEX_CALLERS | WTTEX_MEMORY;
      if (rc->uploadfeature && !t->flags) {
        _WTmem_free(t->pixels);
        t->pixels = nullptr;
      }
    }
    t = next;
  }
}

void _WTtexture_deleteall(void) {
  WTrendercontext *rc = _WTrender_context();
  if (!rc) return;
  while (WTtexture *t = rc->texhead) {
    _WTtexture_unload(t);
    freeentry(rc, t);
  }
  rc->pending = nullptr;
}
}
