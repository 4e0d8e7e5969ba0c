// Models and textures over HTTP: a one-line GET request, directly or through the proxy named
// by WTKPROXY, and the fetch of an address into a local file.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "toolkit/core/core.h"
#include "toolkit/core/platform.h"
#include "toolkit/core/tcp.h"
#include "toolkit/loaders/vrml.h"

namespace {

struct Target {
  std::string host;
  int port = 80;
  std::string request;
};

// Host and port of "host[:port][/...]": the host ends at the first ':' or '/' after its first
// character.
void hostport(const std::string &text, Target *t) {
  size_t end = text.find_first_of(":/", text.empty() ? 0 : 1);
  t->host = text.substr(0, end);
  t->port = 80;
  if (end != std::string::npos && text[end] == ':') t->port = atoi(text.c_str() + end + 1);
}

Target targetof(const std::string &address) {
  Target t;
  const std::string rest = address.substr(7);
  std::string proxy;
  if (_WTplat_getenvutf8("WTKPROXY", &proxy) && !proxy.empty()) {
    hostport(proxy, &t);
    t.request = "GET " + address + "\n";
  } else {
    hostport(rest, &t);
    size_t slash = rest.find('/', 1);
    t.request = "GET " + (slash == std::string::npos ? std::string("/") : rest.substr(slash)) + "\n";
  }
  return t;
}

// Body bytes read with the reply's header, handed out first by _WTvrml_recv.
struct Pending {
  WTsocket socket = -1;
  std::string bytes;
  size_t at = 0;
};

Pending pending;
constexpr size_t kMaxHeader = 65536;

// Reads the start of the reply.  A reply beginning "HTTP/" loses its header up to the first
// empty line and must have a 2xx status; anything else is all body.  False on a refused reply.
bool readreply(WTsocket s) {
  std::string head;
  char block[1024];
  for (;;) {
    if (head.size() >= 5 && head.compare(0, 5, "HTTP/") != 0) break;
    size_t end = head.find("\r\n\r\n");
    size_t skip = 4;
    if (end == std::string::npos) end = head.find("\n\n"), skip = 2;
    if (end != std::string::npos) {
      size_t blank = head.find(' ');
      if (blank == std::string::npos || blank > end || head[blank + 1] != '2') return false;
      head.erase(0, end + skip);
      break;
    }
    if (head.size() > kMaxHeader) return false;
    int n = _WTplat_tcprecv(s, block, sizeof block);
    if (n <= 0) {
      if (head.compare(0, 5, "HTTP/") == 0 && head.size() >= 5) return false;
      break;
    }
    head.append(block, static_cast<size_t>(n));
  }
  pending.socket = s;
  pending.bytes = head;
  pending.at = 0;
  return true;
}

}  // namespace

extern "C" {

WTsocket _WTvrml_openurl(const char *address) {
  if (!address || strncmp(address, "http://", 7) != 0) return -1;
  if (!_WTnet_startup()) return -1;
  Target t = targetof(address);
  if (t.host.empty() || t.port <= 0 || t.port > 65535) return -1;
  WTsocket s = _WTplat_tcpconnect(t.host.c_str(), t.port);
  if (s < 0) return -1;
  const int length = static_cast<int>(t.request.size());
  if (_WTplat_tcpsend(s, t.request.data(), length) < length || !readreply(s)) {
    _WTplat_tcpclose(s);
    return -1;
  }
  return s;
}

int _WTvrml_recv(WTsocket socket, void *buffer, int size) {
  if (socket == pending.socket && pending.at < pending.bytes.size()) {
    size_t n = pending.bytes.size() - pending.at;
    if (n > static_cast<size_t>(size)) n = static_cast<size_t>(size);
    memcpy(buffer, pending.bytes.data() + pending.at, n);
    pending.at += n;
    return static_cast<int>(n);
  }
  return _WTplat_tcprecv(socket, buffer, size);
}

void _WTvrml_closesocket(WTsocket socket) {
  if (socket == pending.socket) pending = Pending();
  _WTplat_tcpclose(socket);
}

const char *_WTvrml_fetchurl(const char *address, const char *local) {
  if (!address) return nullptr;
  if (strncmp(address, "file://", 7) == 0) return address + 7;
  if (strncmp(address, "http://", 7) != 0) return address;
  WTsocket s = _WTvrml_openurl(address);
  if (s < 0) {
    fprintf(stderr, "Could not open %s\n", address);
    return nullptr;
  }
  FILE *out = local ? _WTfile_open(local, "wb") : nullptr;
  if (!out) {
    fprintf(stderr, "Could not create %s\n", local ? local : "");
    _WTvrml_closesocket(s);
    return nullptr;
  }
  char block[1024];
  bool ok = true;
  for (int n = _WTvrml_recv(s, block, sizeof block); n > 0; n = _WTvrml_recv(s, block, sizeof block))
    ok = fwrite(block, 1, static_cast<size_t>(n), out) == static_cast<size_t>(n) && ok;
  ok = fclose(out) == 0 && ok;
  _WTvrml_closesocket(s);
  return ok ? local : nullptr;
}
}
