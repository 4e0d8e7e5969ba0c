// System services of the toolkit core on Windows.
#include "toolkit/core/platform.h"

#include <windows.h>

#include <stdlib.h>

int _WTplat_messagebox(const char *text, const char *caption, unsigned style) {
  return MessageBoxA(nullptr, text, caption, style);
}

void _WTplat_exit(int code) { exit(code); }

void _WTplat_debugbreak() {
  if (IsDebuggerPresent()) DebugBreak();
}

void *_WTplat_findexport(const char *name) {
  HMODULE self = GetModuleHandleA(nullptr);
  if (!self || !name) return nullptr;
  return reinterpret_cast<void *>(GetProcAddress(self, name));
}

unsigned _WTplat_programpath(char *out, unsigned size) {
  if (!out || size == 0) return 0;
  DWORD n = GetModuleFileNameA(nullptr, out, size);
  if (n >= size) n = size - 1;
  out[n] = 0;
  return n;
}

unsigned _WTplat_readprofile(const char *section, const char *key, const char *fallback, char *out,
                             unsigned size, const char *file) {
  return GetPrivateProfileStringA(section, key, fallback, out, size, file);
}

namespace {
LARGE_INTEGER startcount() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return c;
}
const LARGE_INTEGER processstart = startcount();
}  // namespace

int32_t _WTplat_clockms() {
  LARGE_INTEGER now, freq;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&freq);
  return static_cast<int32_t>((now.QuadPart - processstart.QuadPart) * 1000 / freq.QuadPart);
}

void _WTplat_timeofday(int64_t *seconds, int *ms, int *biasminutes) {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  // 100-nanosecond steps since 1601.
  uint64_t t = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  uint64_t msecs = t / 10000 - 11644473600000ull;
  *seconds = static_cast<int64_t>(msecs / 1000);
  *ms = static_cast<int>(msecs % 1000);
  TIME_ZONE_INFORMATION tz;
  DWORD which = GetTimeZoneInformation(&tz);
  long bias = tz.Bias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += tz.DaylightBias;
  else if (which == TIME_ZONE_ID_STANDARD) bias += tz.StandardBias;
  *biasminutes = static_cast<int>(bias);
}

void _WTplat_sleep(unsigned ms) { Sleep(ms); }

void *_WTplat_waitcursor() { return LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */); }

void *_WTplat_setcursor(void *cursor) { return SetCursor(static_cast<HCURSOR>(cursor)); }
