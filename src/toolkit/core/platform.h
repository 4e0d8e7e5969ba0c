// The few system services the toolkit core needs, with one implementation per system
// (platform_win32.cpp, platform_posix.cpp).  Everything else in the core is portable.
#pragma once

#include <stdint.h>

// Message-box styles and answers, with the values the Win32 API gives them.
enum : unsigned {
  WTBOX_OK = 0x0,
  WTBOX_ABORTRETRYIGNORE = 0x2,
  WTBOX_ICONSTOP = 0x10,
  WTBOX_TASKMODAL = 0x2000,
};
enum : int { WTBOX_IDOK = 1, WTBOX_IDABORT = 3, WTBOX_IDRETRY = 4, WTBOX_IDIGNORE = 5 };

// Shows a message box owned by no window and returns the answer.  Without a window system the
// text goes to standard error and the answer is OK, or Abort for an Abort/Retry/Ignore box.
int _WTplat_messagebox(const char *text, const char *caption, unsigned style);

// Ends the process.
[[noreturn]] void _WTplat_exit(int code);

// Breaks into an attached debugger; does nothing without one.
void _WTplat_debugbreak();

// Address of a function that the running program exports under the name, or null.
void *_WTplat_findexport(const char *name);

// The full path of the running program's file (at most size - 1 characters); 0 when unknown.
unsigned _WTplat_programpath(char *out, unsigned size);

// Reads a value from an initialization file as GetPrivateProfileStringA does: a null section
// lists the section names, a null key the keys of the section (each ending in a zero, the list
// in a second zero); a missing key gives the default.  Returns the number of characters copied,
// not counting the final zero.
unsigned _WTplat_readprofile(const char *section, const char *key, const char *fallback, char *out,
                             unsigned size, const char *file);

// Milliseconds since the process started, from a monotonic wall clock.
int32_t _WTplat_clockms();

// Wall-clock time of day: UTC seconds since 1970, milliseconds, and the time-zone bias in minutes
// (UTC = local time + bias).
void _WTplat_timeofday(int64_t *seconds, int *ms, int *biasminutes);

void _WTplat_sleep(unsigned ms);

// The system wait cursor (null where there is none) and setting the current cursor, which
// returns the cursor it replaced.
void *_WTplat_waitcursor();
void *_WTplat_setcursor(void *cursor);
