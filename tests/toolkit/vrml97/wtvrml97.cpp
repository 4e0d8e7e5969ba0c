// A stand-in for the outside VRML97 library: counts the calls of its init entry and tells the
// count through its save entry.
// The library is built against the toolkit's node type; it only passes nodes on.
typedef struct WTnode WTnode;

#if defined(_WIN32)
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

namespace {
int inits;
}

extern "C" {
EXPORT void _WTvrml97_init(void) { inits++; }
EXPORT WTnode *_WTvrml97_read(WTnode *parent, const char *) { return parent; }
EXPORT int _WTvrml97_save(WTnode *, const char *, void *) { return inits; }
}
