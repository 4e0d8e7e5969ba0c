// Inside the model-file loaders: system services (one file per system, platform_win32.cpp and
// platform_posix.cpp) and the hook through which tests see every file the loaders open.
#pragma once

#include <string>

#include "toolkit/wt.h"

// A file opened by its UTF-8 name.
FILE *_WTplat_openutf8(const char *path, const char *mode);
// The value of an environment variable, UTF-8; false when it is not set.
bool _WTplat_getenvutf8(const char *name, std::string *value);
// A library loaded by name along the system's search, or null; its entries looked up by name.
void *_WTplat_loadlibrary(const char *name);
void *_WTplat_libraryentry(void *library, const char *name);

extern "C" {
// Replaces the function behind _WTfile_open (null restores it); returns the one it replaced.
typedef FILE *(*WTopenhook)(const char *path, const char *mode);
WTopenhook _WTfile_setopenhook(WTopenhook fn);
}
