// Stand-ins for the class operations that the base-object layer binds by exported name.  The test
// program exports them as vedra.exe exports the real ones.  The sensor and path layers are not
// part of the library yet; when one joins it, its stand-ins here give way to the real functions.
#include <string.h>

#include <vector>

#include "support.h"

namespace tk {
namespace {
std::vector<FakeObject *> fakes;

void *findfake(unsigned char tag, const char *name, int n) {
  for (FakeObject *f : fakes)
    if (f->tag == tag && f->name && strncmp(f->name, name, static_cast<size_t>(n)) == 0) return f;
  return nullptr;
}

FakeObject *fake(void *object) { return static_cast<FakeObject *>(object); }
}  // namespace

void registerfake(FakeObject *object) { fakes.push_back(object); }
void clearfakes() { fakes.clear(); }
}  // namespace tk

#define STANDIN_CLASS(kind, tag)                                                               \
  extern "C" WTAPI void WT##kind##_delete(void *o) { tk::fake(o)->deleted++; }                  \
  extern "C" WTAPI void WT##kind##_setdata(void *o, void *d) { tk::fake(o)->data = d; }         \
  extern "C" WTAPI void *WT##kind##_getdata(void *o) { return tk::fake(o)->data; }              \
  extern "C" WTAPI void WT##kind##_setname(void *o, const char *n) { tk::fake(o)->name = n; }   \
  extern "C" WTAPI const char *WT##kind##_getname(void *o) { return tk::fake(o)->name; }        \
  extern "C" WTAPI void _WT##kind##_sethaseventhandlers(void *o, int f) { tk::fake(o)->flag = f; } \
  extern "C" WTAPI int _WT##kind##_gethaseventhandlers(void *o) { return tk::fake(o)->flag; }   \
  extern "C" WTAPI void *WTuniverse_find##kind(const char *n, int len) {                        \
    return tk::findfake(tag, n, len);                                                           \
  }

STANDIN_CLASS(sensor, 33)
STANDIN_CLASS(path, 34)
