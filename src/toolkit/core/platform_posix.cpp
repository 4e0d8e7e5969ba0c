// System services of the toolkit core without Windows: no message boxes or cursors, exported
// functions through the dynamic linker, and a small reader for initialization files.
#include "toolkit/core/platform.h"

#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <strings.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

int _WTplat_messagebox(const char *text, const char *caption, unsigned style) {
  fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  // Nobody can answer: an Abort/Retry/Ignore box ends the run as a failed assertion would.
  return (style & 0xF) == WTBOX_ABORTRETRYIGNORE ? WTBOX_IDABORT : WTBOX_IDOK;
}

void _WTplat_exit(int code) { exit(code); }

void _WTplat_debugbreak() {}

void *_WTplat_findexport(const char *name) {
  if (!name) return nullptr;
  return dlsym(RTLD_DEFAULT, name);
}

unsigned _WTplat_programpath(char *out, unsigned size) {
  if (!out || size == 0) return 0;
  ssize_t n = readlink("/proc/self/exe", out, size - 1);
  out[n > 0 ? n : 0] = 0;
  return n > 0 ? static_cast<unsigned>(n) : 0;
}

namespace {

std::string trim(const std::string &s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// Copies a list of names, each ending in a zero, the whole list ending in a second zero.
unsigned copylist(const std::vector<std::string> &names, char *out, unsigned size) {
  if (size < 2) {
    if (size == 1) out[0] = 0;
    return 0;
  }
  unsigned n = 0;
  for (const std::string &name : names) {
    for (char c : name) {
      if (n + 2 >= size) {
        out[n] = 0;
        out[n + 1] = 0;
        return size - 2;
      }
      out[n++] = c;
    }
    if (n + 2 >= size) {
      out[n] = 0;
      out[n + 1] = 0;
      return size - 2;
    }
    out[n++] = 0;
  }
  out[n] = 0;
  return n;
}

unsigned copytext(const std::string &text, char *out, unsigned size) {
  if (size == 0) return 0;
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  text.copy(out, n);
  out[n] = 0;
  return static_cast<unsigned>(n);
}

}  // namespace

unsigned _WTplat_readprofile(const char *section, const char *key, const char *fallback, char *out,
                             unsigned size, const char *file) {
  if (!out || size == 0) return 0;
  std::vector<std::string> sections, keys;
  std::string value;
  bool found = false;
  if (FILE *f = file ? fopen(file, "r") : nullptr) {
    char line[1024];
    bool insection = false;
    while (fgets(line, sizeof line, f)) {
      std::string s = trim(line);
      if (s.empty() || s[0] == ';') continue;
      if (s[0] == '[') {
        size_t close = s.find(']');
        std::string name = trim(s.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        sections.push_back(name);
        insection = section && strcasecmp(name.c_str(), section) == 0;
        continue;
      }
      if (!insection || found) continue;
      size_t eq = s.find('=');
      std::string k = trim(s.substr(0, eq));
      if (!key) {
        keys.push_back(k);
      } else if (strcasecmp(k.c_str(), key) == 0) {
        value = eq == std::string::npos ? std::string() : trim(s.substr(eq + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
          value = value.substr(1, value.size() - 2);
        found = true;
      }
    }
    fclose(f);
  }
  if (!section) return copylist(sections, out, size);
  if (!key) return copylist(keys, out, size);
  return copytext(found ? value : trim(fallback ? fallback : ""), out, size);
}

namespace {
int64_t monotonicms() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}
const int64_t processstart = monotonicms();
}  // namespace

int32_t _WTplat_clockms() { return static_cast<int32_t>(monotonicms() - processstart); }

void _WTplat_timeofday(int64_t *seconds, int *ms, int *biasminutes) {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  *seconds = static_cast<int64_t>(ts.tv_sec);
  *ms = static_cast<int>(ts.tv_nsec / 1000000);
  tm local;
  time_t t = ts.tv_sec;
  localtime_r(&t, &local);
  *biasminutes = static_cast<int>(-local.tm_gmtoff / 60);
}

void _WTplat_sleep(unsigned ms) {
  timespec ts;
  ts.tv_sec = ms / 1000;
  ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000;
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

void *_WTplat_waitcursor() { return nullptr; }

void *_WTplat_setcursor(void *) { return nullptr; }
