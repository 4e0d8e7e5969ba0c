// TCP connections for the model fetch over HTTP, one file per system (tcp_win32.cpp and
// tcp_posix.cpp), and the folder where fetched files are kept.
#pragma once

#include <stdint.h>

#include <string>

// A stream socket connected to the host (a name or a dotted address) and port, or -1.
intptr_t _WTplat_tcpconnect(const char *host, int port);
// Bytes sent or received; 0 at the end of the peer's data, negative on failure.
int _WTplat_tcpsend(intptr_t socket, const void *data, int length);
int _WTplat_tcprecv(intptr_t socket, void *buffer, int size);
void _WTplat_tcpclose(intptr_t socket);
// The program's temporary folder, ending in a separator.
std::string _WTplat_tempfolder();
