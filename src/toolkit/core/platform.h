// The few system services the toolkit needs, with one implementation per system
// (platform_win32.cpp, platform_posix.cpp; files, environment and libraries by UTF-8 name in
// platform_open_win32.cpp, platform_open_posix.cpp).  Everything else in the toolkit is portable.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

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

// A region of memory for the allocator's blocks, aligned to `align` (a power of two), in huge
// pages where the system offers them on request; null when there is no memory.  Regions are
// never given back.
void *_WTplat_blockregion(size_t size, size_t align);

// The system wait cursor (null where there is none) and setting the current cursor, which
// returns the cursor it replaced.
void *_WTplat_waitcursor();
void *_WTplat_setcursor(void *cursor);

// ---- UDP sockets for the network sharing ----------------------------------------------------
// Sockets are handles of the system's own kind held in an intptr_t; WTPLAT_NOSOCKET is none.
// Addresses and ports are in host order.  Functions giving int return 1 on success, 0 on failure.

#define WTPLAT_NOSOCKET (static_cast<intptr_t>(-1))

// Starts the socket library once (WinSock 2.0); 1 when it is running.
int _WTplat_netstartup();
// Stops it again (at exit).
void _WTplat_netcleanup();
// The last socket error of this thread.
int _WTplat_neterror();
intptr_t _WTplat_udpsocket();
void _WTplat_closesocket(intptr_t s);
int _WTplat_bind(intptr_t s, uint32_t address, int port);
int _WTplat_setbroadcast(intptr_t s);
int _WTplat_setmulticastif(intptr_t s, uint32_t address);
int _WTplat_setmulticastttl(intptr_t s, int ttl);
int _WTplat_setreceivebuffer(intptr_t s, int size);
// Joins (join 1) or leaves (0) the multicast group on the interface address.
int _WTplat_membership(intptr_t s, uint32_t group, uint32_t interfaceaddress, int join);
// Sends one datagram; the number of bytes sent or -1.
int _WTplat_sendto(intptr_t s, const void *data, int length, uint32_t address, int port);
// True when a datagram waits (select with a zero time-out).
int _WTplat_readable(intptr_t s);
// Receives one datagram into size bytes; its whole length (above size when it was cut), or -1.
int _WTplat_recvfrom(intptr_t s, void *buffer, int size, uint32_t *from);
// A dotted address, or else a host name's first address; 0 when it cannot be resolved.
int _WTplat_resolve(const char *name, uint32_t *address);
// The first address of the own host name; 0 when it cannot be found.
int _WTplat_hostaddress(uint32_t *address);

// ---- Files, environment and libraries ------------------------------------------------------

// A file opened by its UTF-8 name.
FILE *_WTplat_openutf8(const char *path, const char *mode);
// The value of an environment variable, UTF-8; false when it is not set.
bool _WTplat_getenvutf8(const char *name, std::string *value);
// A library loaded by name along the system's search, or null; its entries looked up by name.
void *_WTplat_loadlibrary(const char *name);
void *_WTplat_libraryentry(void *library, const char *name);
