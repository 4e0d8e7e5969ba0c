// The texture load status, its failure reports (each name once while it stays among the last
// seven reported) and the ceiling on image sizes.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/render/images.h"

namespace {

constexpr size_t kDefaultCeiling = 0x7FFFFFFF;
constexpr int kRemembered = 7;

int status = 1;
size_t ceiling = kDefaultCeiling;
// Oldest first; null slots are free.
char *reported[kRemembered];

// Moves slot i to the newest place.
void makenewest(int i) {
  char *name = reported[i];
  memmove(&reported[i], &reported[i + 1], (kRemembered - 1 - i) * sizeof reported[0]);
  reported[kRemembered - 1] = name;
}

bool remembered(const char *name) {
  for (int i = 0; i < kRemembered; i++)
    if (reported[i] && strcmp(reported[i], name) == 0) {
      makenewest(i);
      return true;
    }
  return false;
}

void remember(const char *name) {
  _WTmem_free(reported[0]);
  reported[0] = _WTmem_strdup(name);
  makenewest(0);
}

void warn(int code, const char *name) {
  switch (code) {
    case 2: _WTmsg_warning("Not enough texture memory for texture %s\n", name); break;
    case 3: _WTmsg_warning("File %s is not an image file in the correct format.\n", name); break;
    case 4: _WTmsg_warning("IO Error reading %s\n", name); break;
    case 5: _WTmsg_warning("Texture %s too large.\n", name); break;
    case 6: _WTmsg_warning("Texture %s is not square.\n", name); break;
    case 7: _WTmsg_warning("Texture %s has an unsupported size\n", name); break;
    case 8: break;
    case 9: _WTmsg_warning("Texture %s uses colormap: unsupported\n", name); break;
    default: _WTmsg_warning("Texture %s not found\n", name); break;
  }
}

}  // namespace

extern "C" {

int _WTtexture_getstatus(void) { return status; }

void _WTtexture_setstatus(int code) { status = code; }

void _WTtexture_reportfailure(const char *name) {
  if (!name) name = "";
  if (!remembered(name)) {
    remember(name);
    warn(status, name);
  }
  status = 1;
}

void _WTtexture_forgetfailures(void) {
  for (char *&name : reported) {
    _WTmem_free(name);
    name = nullptr;
  }
}

size_t _WTimage_setceiling(size_t bytes) {
  size_t previous = ceiling;
  ceiling = bytes ? bytes : kDefaultCeiling;
  return previous;
}

int _WTimage_fits(long long w, long long h) {
  if (w <= 0 || h <= 0) return 0;
  unsigned long long limit = ceiling / 4;
  return static_cast<unsigned long long>(w) <= limit / static_cast<unsigned long long>(h);
}
}
