// Message routing and the guarded allocator.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/platform.h"

namespace {

// A message, prefix included, is cut to fit this buffer.
constexpr size_t kMessageSize = 512;

// Routing per level 1-4 (index 0 unused).
unsigned routing[5] = {0, WTMSG_SCREEN, WTMSG_SCREEN, WTMSG_SCREEN, 0};
FILE *logs[5];
WTmsgcallback callback;
int fatalguard;

int vroute(int level, const char *format, va_list args) {
  if (level == WTMSG_DEBUG) return 0;
  char text[kMessageSize];
  size_t n = 0;
  text[0] = 0;
  if (level == WTMSG_WARNING) {
    static const char prefix[] = "VAV Warning: ";
    memcpy(text, prefix, sizeof prefix);
    n = sizeof prefix - 1;
  }
  if (format) vsnprintf(text + n, sizeof text - n, format, args);
  if (level < WTMSG_FATAL || level > WTMSG_DEBUG) level = WTMSG_INFO;
  unsigned flags = routing[level];
  int result = 0;
  if (flags & WTMSG_SCREEN) {
    if (level == WTMSG_FATAL)
      result = _WTsys_messagebox(text, "VAV-ERROR", WTBOX_TASKMODAL | WTBOX_ICONSTOP);
    else
      result = printf("%s", text);
  }
  if ((flags & WTMSG_LOG) && logs[level]) result = fprintf(logs[level], "%s", text);
  if ((flags & (WTMSG_SCREEN | WTMSG_LOG)) && callback) callback(text);
  return result;
}

void outofmemory() {
  _WTmsg_fatal("OUT OF MEMORY!");
  // Out of memory again while the universe is being deleted: there is nothing left to return.
  _WTsys_exit(-1);
}

}  // namespace

extern "C" {

void _WTmsg_fatal(const char *format, ...) {
  if (fatalguard) return;
  fatalguard = 1;
  va_list args;
  va_start(args, format);
  vroute(WTMSG_FATAL, format, args);
  va_end(args);
  if (void *deleter = _WTsys_findexport("WTuniverse_delete"))
    reinterpret_cast<void (*)()>(deleter)();
  _WTsys_exit(-1);
}

void _WTmsg_clearfatal(void) { fatalguard = 0; }

void _WTmsg_warning(const char *format, ...) {
  va_list args;
  va_start(args, format);
  vroute(WTMSG_WARNING, format, args);
  va_end(args);
}

void _WTmsg_info(const char *format, ...) {
  va_list args;
  va_start(args, format);
  vroute(WTMSG_INFO, format, args);
  va_end(args);
}

void _WTmsg_debug(const char *, ...) {}

int _WTmsg_route(int level, const char *format, ...) {
  va_list args;
  va_start(args, format);
  int result = vroute(level, format, args);
  va_end(args);
  return result;
}

void _WTmsg_setrouting(int level, unsigned int flags, FILE *stream) {
  if (level < WTMSG_FATAL || level > WTMSG_DEBUG) return;
  if ((flags & WTMSG_LOG) && !stream) return;
  routing[level] = flags;
  if (flags & WTMSG_LOG) logs[level] = stream;
}

WTmsgcallback _WTmsg_setcallback(WTmsgcallback fn) {
  callback = fn;
  return fn;
}

int _WTmsg_assert(const char *file, int line) {
  char where[kMessageSize];
  snprintf(where, sizeof where, "%s:%i", file ? file : "", line);
  _WTmsg_route(WTMSG_INFO, "Assertion failed: %s\n", where);
  int answer = _WTsys_messagebox(where, "Assertion Failed",
                                 WTBOX_ABORTRETRYIGNORE | WTBOX_ICONSTOP | WTBOX_TASKMODAL);
  if (answer == WTBOX_IDABORT)
    _WTsys_exit(3);
  else if (answer == WTBOX_IDRETRY)
    _WTplat_debugbreak();
  return answer;
}

void *_WTmem_alloc(size_t size) {
  void *block = malloc(size ? size : 1);
  if (!block) outofmemory();
  return block;
}

void *_WTmem_realloc(void *block, size_t size) {
  if (_WTmem_isslot(block)) {
    // A record from the slot blocks moves to malloc's memory.
    void *moved = _WTmem_alloc(size);
    const size_t had = _WTmem_slotsize(block);
    memcpy(moved, block, had < size ? had : size);
    _WTmem_freeslot(block);
    return moved;
  }
  void *grown = realloc(block, size ? size : 1);
  if (!grown) outofmemory();
  return grown;
}

void _WTmem_free(void *block) {
  if (_WTmem_isslot(block)) _WTmem_freeslot(block);
  else free(block);
}

void *_WTmem_rawmalloc(size_t size) { return malloc(size); }

void *_WTmem_rawcalloc(size_t count, size_t size) { return calloc(count, size); }

void *_WTmem_rawrealloc(void *block, size_t size) { return realloc(block, size); }

char *_WTmem_strdup(const char *text) {
  if (!text) return nullptr;
  size_t n = strlen(text) + 1;
  char *copy = static_cast<char *>(_WTmem_alloc(n));
  if (copy) memcpy(copy, text, n);
  return copy;
}
}
