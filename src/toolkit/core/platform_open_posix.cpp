// Files, environment and libraries without Windows: names are already UTF-8, and libraries come
// through the dynamic linker.
#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "toolkit/core/platform.h"

// A folder opens for reading here but not on Windows: it is refused as there.
FILE *_WTplat_openutf8(const char *path, const char *mode) {
  FILE *file = fopen(path, mode);
  struct stat info;
  if (file && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    fclose(file);
    errno = EISDIR;
    return nullptr;
  }
  return file;
}

bool _WTplat_getenvutf8(const char *name, std::string *value) {
  const char *text = getenv(name);
  if (!text) return false;
  *value = text;
  return true;
}

void *_WTplat_loadlibrary(const char *name) { return dlopen(name, RTLD_NOW | RTLD_LOCAL); }

void *_WTplat_libraryentry(void *library, const char *name) { return dlsym(library, name); }
