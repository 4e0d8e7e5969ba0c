// Serial ports of the system, as the device layers use them: a port is an opaque handle (null
// for none).  One implementation per system (port_win32.cpp, port_posix.cpp).
#pragma once

#include <stdint.h>

extern "C" {

// Opens a port by its COM name ("COM1"), exclusively; null on failure.
void *_WTport_open(const char *name);
void _WTport_close(void *port);
// Queues of 1024 bytes, the line from a mode text ("baud=9600 parity=N data=8 stop=1"), DTR and
// RTS on, reads returning at once with what has arrived.  False when any step fails.
int _WTport_configure(void *port, const char *mode);
// Reads what has arrived, at most size bytes: the count (0 when nothing), -1 on an error.
int _WTport_read(void *port, void *buffer, int size);
// Writes the bytes: the count written, -1 on an error.
int _WTport_write(void *port, const void *data, int size);
int _WTport_flush(void *port);
// Line settings of an open port: -1 (getters) or 0 (setters) when the port refuses, after its
// error state was cleared.
int _WTport_getbaud(void *port);
int _WTport_setbaud(void *port, int32_t baud);
int _WTport_getdatabits(void *port);
int _WTport_setdatabits(void *port, int bits);
int _WTport_setrts(void *port, int on);
// Bytes waiting in the input queue (the port's error flags are cleared), -1 when it refuses.
int _WTport_inqueue(void *port);

// Where a COM name leads on a system without them (a device file; by default COMn is
// /dev/ttyS(n-1)); tests point it at a pseudo-terminal.  Returns the resolver it replaced.
typedef const char *(*WTportresolver)(const char *name);
WTportresolver _WTport_setresolver(WTportresolver fn);
}
