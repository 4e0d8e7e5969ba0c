// TCP connections on Windows: WinSock, started through the toolkit's network start-up.
#include <winsock2.h>
#include <windows.h>

#include <string.h>

#include "toolkit/core/tcp.h"

intptr_t _WTplat_tcpconnect(const char *host, int port) {
  hostent *h = gethostbyname(host);
  if (!h || h->h_addrtype != AF_INET || !h->h_addr_list[0]) return -1;
  SOCKET s = socket(h->h_addrtype, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return -1;
  sockaddr_in any;
  memset(&any, 0, sizeof any);
  any.sin_family = AF_INET;
  sockaddr_in to = any;
  to.sin_port = htons(static_cast<u_short>(port));
  memcpy(&to.sin_addr, h->h_addr_list[0], sizeof to.sin_addr);
  if (bind(s, reinterpret_cast<sockaddr *>(&any), sizeof any) != 0 ||
      connect(s, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
    closesocket(s);
    return -1;
  }
  return static_cast<intptr_t>(s);
}

int _WTplat_tcpsend(intptr_t socket, const void *data, int length) {
  return send(static_cast<SOCKET>(socket), static_cast<const char *>(data), length, 0);
}

int _WTplat_tcprecv(intptr_t socket, void *buffer, int size) {
  return recv(static_cast<SOCKET>(socket), static_cast<char *>(buffer), size, 0);
}

void _WTplat_tcpclose(intptr_t socket) {
  if (socket >= 0) closesocket(static_cast<SOCKET>(socket));
}

std::string _WTplat_tempfolder() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return ".\\";
  int size = WideCharToMultiByte(CP_UTF8, 0, buffer, -1, nullptr, 0, nullptr, nullptr);
  std::string folder(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, buffer, -1, &folder[0], size, nullptr, nullptr);
  folder.resize(strlen(folder.c_str()));
  if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
  return folder;
}
