// System services of the toolkit core on Windows.
#include "toolkit/core/platform.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <stdlib.h>
#include <string.h>

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

void *_WTplat_blockregion(size_t size, size_t align) {
  char *region = static_cast<char *>(malloc(size + align));
  if (!region) return nullptr;
  return reinterpret_cast<void *>((reinterpret_cast<uintptr_t>(region) + align - 1) & ~(align - 1));
}

void *_WTplat_waitcursor() { return LoadCursorA(nullptr, MAKEINTRESOURCEA(32514) /* IDC_WAIT */); }

void *_WTplat_setcursor(void *cursor) { return SetCursor(static_cast<HCURSOR>(cursor)); }

// ---- UDP sockets (WinSock) ---------------------------------------------------------------------

namespace {
sockaddr_in inaddress(uint32_t address, int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  a.sin_port = htons(static_cast<u_short>(port));
  return a;
}
SOCKET sock(intptr_t s) { return static_cast<SOCKET>(s); }
int option(intptr_t s, int level, int name, const void *value, int size) {
  return setsockopt(sock(s), level, name, static_cast<const char *>(value), size) == 0;
}
bool started;
}  // namespace

int _WTplat_netstartup() {
  if (started) return 1;
  WSADATA data;
  started = WSAStartup(MAKEWORD(2, 0), &data) == 0;
  return started;
}

void _WTplat_netcleanup() {
  if (started) WSACleanup();
  started = false;
}

int _WTplat_neterror() { return WSAGetLastError(); }

intptr_t _WTplat_udpsocket() {
  SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
  return s == INVALID_SOCKET ? WTPLAT_NOSOCKET : static_cast<intptr_t>(s);
}

void _WTplat_closesocket(intptr_t s) {
  if (s != WTPLAT_NOSOCKET) closesocket(sock(s));
}

int _WTplat_bind(intptr_t s, uint32_t address, int port) {
  sockaddr_in a = inaddress(address, port);
  return bind(sock(s), reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
}

int _WTplat_setbroadcast(intptr_t s) {
  BOOL on = TRUE;
  return option(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
}

int _WTplat_setmulticastif(intptr_t s, uint32_t address) {
  in_addr a;
  a.s_addr = htonl(address);
  return option(s, IPPROTO_IP, IP_MULTICAST_IF, &a, sizeof a);
}

int _WTplat_setmulticastttl(intptr_t s, int ttl) {
  DWORD t = static_cast<DWORD>(ttl);
  return option(s, IPPROTO_IP, IP_MULTICAST_TTL, &t, sizeof t);
}

int _WTplat_setreceivebuffer(intptr_t s, int size) {
  return option(s, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
}

int _WTplat_membership(intptr_t s, uint32_t group, uint32_t interfaceaddress, int join) {
  ip_mreq m;
  m.imr_multiaddr.s_addr = htonl(group);
  m.imr_interface.s_addr = htonl(interfaceaddress);
  return option(s, IPPROTO_IP, join ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP, &m, sizeof m);
}

int _WTplat_sendto(intptr_t s, const void *data, int length, uint32_t address, int port) {
  sockaddr_in a = inaddress(address, port);
  return sendto(sock(s), static_cast<const char *>(data), length, 0,
                reinterpret_cast<sockaddr *>(&a), sizeof a);
}

int _WTplat_readable(intptr_t s) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(sock(s), &set);
  timeval zero = {0, 0};
  return select(0, &set, nullptr, nullptr, &zero) > 0;
}

int _WTplat_recvfrom(intptr_t s, void *buffer, int size, uint32_t *from) {
  sockaddr_in a{};
  int n = sizeof a;
  int got = recvfrom(sock(s), static_cast<char *>(buffer), size, 0,
                     reinterpret_cast<sockaddr *>(&a), &n);
  if (from) *from = ntohl(a.sin_addr.s_addr);
  // A datagram longer than the buffer arrives cut and reports WSAEMSGSIZE.
  if (got == SOCKET_ERROR) return WSAGetLastError() == WSAEMSGSIZE ? size + 1 : -1;
  return got;
}

int _WTplat_resolve(const char *name, uint32_t *address) {
  if (!name) return 0;
  unsigned long a = inet_addr(name);
  if (a != INADDR_NONE || strcmp(name, "255.255.255.255") == 0) {
    *address = ntohl(a);
    return 1;
  }
  hostent *h = gethostbyname(name);
  if (!h || h->h_addrtype != AF_INET || !h->h_addr_list[0]) return 0;
  in_addr found;
  memcpy(&found, h->h_addr_list[0], sizeof found);
  *address = ntohl(found.s_addr);
  return 1;
}

int _WTplat_hostaddress(uint32_t *address) {
  char name[256];
  if (gethostname(name, sizeof name) != 0) return 0;
  name[sizeof name - 1] = 0;
  return _WTplat_resolve(name, address);
}
