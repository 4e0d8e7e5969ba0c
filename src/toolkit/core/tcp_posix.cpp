// TCP connections without Windows: BSD sockets.
#include <netdb.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include "toolkit/core/tcp.h"

intptr_t _WTplat_tcpconnect(const char *host, int port) {
  hostent *h = gethostbyname(host);
  if (!h || h->h_addrtype != AF_INET || !h->h_addr_list[0]) return -1;
  int s = socket(h->h_addrtype, SOCK_STREAM, 0);
  if (s < 0) return -1;
  sockaddr_in any;
  memset(&any, 0, sizeof any);
  any.sin_family = AF_INET;
  sockaddr_in to = any;
  to.sin_port = htons(static_cast<uint16_t>(port));
  memcpy(&to.sin_addr, h->h_addr_list[0], sizeof to.sin_addr);
  if (bind(s, reinterpret_cast<sockaddr *>(&any), sizeof any) != 0 ||
      connect(s, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
    close(s);
    return -1;
  }
  return s;
}

int _WTplat_tcpsend(intptr_t socket, const void *data, int length) {
  return static_cast<int>(send(static_cast<int>(socket), data, static_cast<size_t>(length), 0));
}

int _WTplat_tcprecv(intptr_t socket, void *buffer, int size) {
  return static_cast<int>(recv(static_cast<int>(socket), buffer, static_cast<size_t>(size), 0));
}

void _WTplat_tcpclose(intptr_t socket) {
  if (socket >= 0) close(static_cast<int>(socket));
}

std::string _WTplat_tempfolder() {
  const char *t = getenv("TMPDIR");
  std::string folder = t && *t ? t : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}
