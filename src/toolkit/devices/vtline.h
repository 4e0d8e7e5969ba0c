// The system side of the glove library's serial layer: a port opened by its system name, its
// line and time-outs set, and bytes moved with the time-outs of a comm port (a read returns what
// came before its total or interval time-out ran out).  One implementation per system
// (vtline_win32.cpp, vtline_posix.cpp); a fuzz target puts a line of its own in its place.
#pragma once

#include "toolkit/devices/vtlib.h"

struct VtLine {
  // Null when the port can't be opened (errno tells why).
  void *(*open)(const char *name);
  // 8 data bits, no parity, one stop bit, binary, no flow control; 0 on failure, with the name
  // of the call that failed.
  int (*configure)(void *port, int speed, const VtTimeouts *timeouts, const char **failed);
  // Bytes read (0: the time-out ran out first) or written, -1 on failure.
  int (*read)(void *port, void *buffer, int n);
  int (*write)(void *port, const void *data, int n);
  // Bytes waiting in the input queue, -1 on failure.
  int (*inqueue)(void *port);
  int (*purge)(void *port);
  int (*close)(void *port);
};

extern const VtLine vt_system_line;

extern "C" {
// Puts a line in place of the system's (null: the system's again); returns the one replaced.
const VtLine *vt_serial_set_line(const VtLine *line);

// Between the port table and the channels of shared ports (vtserial.cpp, vtmux.cpp).
// The input-queue count of a plain port, -1 on failure.
int vt_serial_inqueue(int port);
// A channel's parts: its buffer (null when closed), writing, emptying, closing; and dropping
// every channel of a port that is being closed.
VtChannelBuffer *vt_mux_buffer(int handle);
int vt_mux_write(int handle, const void *data, int n);
void vt_mux_empty(int handle);
int vt_mux_close(int handle);
void vt_mux_forget(int port);
// The channels open on a port (0 when it is not shared).
int vt_mux_channels(int port);
}
