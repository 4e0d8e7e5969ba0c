// Opening files by UTF-8 name, finding them along search lists, and base names.
#include <string.h>

#include <string>

#include "toolkit/core/core.h"
#include "toolkit/core/platform.h"
#include "toolkit/loaders/loaders.h"

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

constexpr size_t kPathSize = 260;
constexpr size_t kListSize = 2048;

// The last path found; every search overwrites it.
char foundpath[kPathSize];
char modellist[kListSize];
char imagelist[kListSize];

WTopenhook openhook;

// Opens the candidate and, when it opens, keeps it as the found path.  A candidate that would
// not fit the buffer is refused without being tried.
bool trypath(const std::string &path) {
  if (path.size() >= kPathSize) {
    _WTmsg_warning("Path longer than %d bytes not searched: %s\n", static_cast<int>(kPathSize - 1),
                   path.c_str());
    return false;
  }
  FILE *file = _WTfile_open(path.c_str(), "r");
  if (!file) return false;
  fclose(file);
  memcpy(foundpath, path.c_str(), path.size() + 1);
  return true;
}

// The search list for the name: the list set for models or images, else the environment.
bool searchlist(const char *listname, std::string *list) {
  if (strcmp(listname, "WTIMAGES") == 0 && imagelist[0]) {
    *list = imagelist;
    return true;
  }
  if (strcmp(listname, "WTMODELS") == 0 && modellist[0]) {
    *list = modellist;
    return true;
  }
  return _WTplat_getenvutf8(listname, list);
}

// Each directory of the list in order, joined to the name by one separator.
char *searchalong(const std::string &list, const char *name) {
  size_t start = 0;
  for (;;) {
    size_t end = list.find(';', start);
    std::string path = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (path.empty() || path.back() != kSeparator) path += kSeparator;
    path += name;
    if (trypath(path)) return foundpath;
    if (end == std::string::npos) return nullptr;
    start = end + 1;
  }
}

// A '.' after the last folder separator.
bool hasextension(const char *name) {
  const char *dot = strrchr(name, '.');
  if (!dot) return false;
  const char *slash = strrchr(name, '/');
  const char *backslash = strrchr(name, '\\');
  return (!slash || dot > slash) && (!backslash || dot > backslash);
}

char *setlist(char *buffer, const char *list, const char *what) {
  if (!list) return nullptr;
  size_t n = strlen(list);
  if (n >= kListSize) {
    _WTmsg_warning("%s search list longer than %d bytes refused.\n", what,
                   static_cast<int>(kListSize - 1));
    return nullptr;
  }
  memcpy(buffer, list, n + 1);
  return buffer;
}

}  // namespace

WTopenhook _WTfile_setopenhook(WTopenhook fn) {
  WTopenhook previous = openhook;
  openhook = fn;
  return previous;
}

extern "C" {

FILE *_WTfile_open(const char *path, const char *mode) {
  if (!path || !mode) return nullptr;
  return openhook ? openhook(path, mode) : _WTplat_openutf8(path, mode);
}

char *_WTfile_findpath(const char *name, const char *listname) {
  if (!name || !listname) return nullptr;
  if (strlen(name) >= kPathSize) {
    _WTmsg_warning("Path longer than %d bytes not searched: %s\n", static_cast<int>(kPathSize - 1),
                   name);
    return nullptr;
  }
  if (trypath(name)) return foundpath;
  std::string list;
  if (!searchlist(listname, &list)) return nullptr;
  return searchalong(list, name);
}

char *_WTfile_findmodel(const char *name) {
  if (!name || !name[0]) return nullptr;
  if (char *found = _WTfile_findpath(name, "WTMODELS")) return found;
  if (hasextension(name)) return nullptr;
  return _WTfile_findpath((std::string(name) + ".nff").c_str(), "WTMODELS");
}

char *_WTfile_setmodelpath(const char *list) { return setlist(modellist, list, "Model"); }

char *_WTfile_setimagepath(const char *list) { return setlist(imagelist, list, "Image"); }

char *_WTfile_basename(const char *path) {
  if (!path) return nullptr;
  std::string name = path;
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  size_t folder = name.find_last_of(":/\\");
  if (folder != std::string::npos) name.erase(0, folder + 1);
  if (name.empty() || name.find(' ') != std::string::npos) return nullptr;
  return _WTmem_strdup(name.c_str());
}

}  // extern "C"
