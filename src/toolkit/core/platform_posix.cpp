// System services of the toolkit core without Windows: no message boxes or cursors, exported
// functions through the dynamic linker, and a small reader for initialization files.
#include "toolkit/core/platform.h"

#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/mman.h>
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

// Huge pages cut the cost of first touching a fresh region (one fault per 2 MB, not per page);
// where the system has them off, the advice is ignored.
void *_WTplat_blockregion(size_t size, size_t align) {
  void *region = nullptr;
  if (posix_memalign(&region, align, size) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
  madvise(region, size, MADV_HUGEPAGE);
#endif
  return region;
}

void *_WTplat_waitcursor() { return nullptr; }

void *_WTplat_setcursor(void *) { return nullptr; }

// ---- UDP sockets ---------------------------------------------------------------------------------

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>

namespace {
sockaddr_in inaddress(uint32_t address, int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  a.sin_port = htons(static_cast<uint16_t>(port));
  return a;
}
int fd(intptr_t s) { return static_cast<int>(s); }
int option(intptr_t s, int level, int name, const void *value, socklen_t size) {
  return setsockopt(fd(s), level, name, value, size) == 0;
}
}  // namespace

int _WTplat_netstartup() { return 1; }
void _WTplat_netcleanup() {}
int _WTplat_neterror() { return errno; }

intptr_t _WTplat_udpsocket() {
  int s = socket(AF_INET, SOCK_DGRAM, 0);
  return s < 0 ? WTPLAT_NOSOCKET : s;
}

void _WTplat_closesocket(intptr_t s) {
  if (s != WTPLAT_NOSOCKET) close(fd(s));
}

int _WTplat_bind(intptr_t s, uint32_t address, int port) {
  sockaddr_in a = inaddress(address, port);
  return bind(fd(s), reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
}

int _WTplat_setbroadcast(intptr_t s) {
  int on = 1;
  return option(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
}

int _WTplat_setmulticastif(intptr_t s, uint32_t address) {
  in_addr a;
  a.s_addr = htonl(address);
  return option(s, IPPROTO_IP, IP_MULTICAST_IF, &a, sizeof a);
}

int _WTplat_setmulticastttl(intptr_t s, int ttl) {
  unsigned char t = static_cast<unsigned char>(ttl);
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
  return static_cast<int>(sendto(fd(s), data, static_cast<size_t>(length), 0,
                                 reinterpret_cast<sockaddr *>(&a), sizeof a));
}

int _WTplat_readable(intptr_t s) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd(s), &set);
  timeval zero = {0, 0};
  return select(fd(s) + 1, &set, nullptr, nullptr, &zero) > 0;
}

int _WTplat_recvfrom(intptr_t s, void *buffer, int size, uint32_t *from) {
  sockaddr_in a{};
  socklen_t n = sizeof a;
  // MSG_TRUNC gives the datagram's whole length when it was longer than the buffer.
  ssize_t got = recvfrom(fd(s), buffer, static_cast<size_t>(size), MSG_TRUNC,
                         reinterpret_cast<sockaddr *>(&a), &n);
  if (got < 0) return -1;
  if (from) *from = ntohl(a.sin_addr.s_addr);
  return static_cast<int>(got);
}

int _WTplat_resolve(const char *name, uint32_t *address) {
  if (!name) return 0;
  in_addr a;
  if (inet_aton(name, &a)) {
    *address = ntohl(a.s_addr);
    return 1;
  }
  hostent *h = gethostbyname(name);
  if (!h || h->h_addrtype != AF_INET || !h->h_addr_list[0]) return 0;
  memcpy(&a, h->h_addr_list[0], sizeof a);
  *address = ntohl(a.s_addr);
  return 1;
}

int _WTplat_hostaddress(uint32_t *address) {
  char name[256];
  if (gethostname(name, sizeof name) != 0) return 0;
  name[sizeof name - 1] = 0;
  return _WTplat_resolve(name, address);
}
