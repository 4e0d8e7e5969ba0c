// The outside VRML97 library, bound by name at its first use.
#include "toolkit/core/platform.h"
#include "toolkit/wt.h"

extern "C" {
WTvrml97readfn _WTvrml97_read;
WTvrml97savefn _WTvrml97_save;
WTvrml97initfn _WTvrml97_init;
}

namespace {

const char kLibrary[] = "wtvrml97.dll";
bool bound;

template <typename Fn>
Fn entry(void *library, const char *name) {
  return reinterpret_cast<Fn>(_WTplat_libraryentry(library, name));
}

}  // namespace

// Not bound while the library is missing, so every use tries again and warns again.  Once
// bound, the library stays loaded for the rest of the run.
extern "C" int _WTvrml97_bind(void) {
  if (bound) return 1;
  void *library = _WTplat_loadlibrary(kLibrary);
  if (!library) {
    _WTmsg_warning("Couldn't load ZodurUvizOdu VRML97 library : '%s'\n", kLibrary);
    return 0;
  }
  _WTvrml97_read = entry<WTvrml97readfn>(library, "_WTvrml97_read");
  _WTvrml97_save = entry<WTvrml97savefn>(library, "_WTvrml97_save");
  _WTvrml97_init = entry<WTvrml97initfn>(library, "_WTvrml97_init");
  if (_WTvrml97_init) _WTvrml97_init();
  bound = true;
  return 1;
}
