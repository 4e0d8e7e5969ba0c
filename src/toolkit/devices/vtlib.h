// The glove and tracker library's base: its error state with the "called by" chain, its
// message switches, and the serial layer every device of the library talks through (a table of
// ports, typed reads and writes with time-outs, channels sharing one port).  The functions have
// C linkage and are the program's own: none is exported.
//
// Result convention: success is 1 (or a count, an index of 0 or more, a record), failure 0, a
// value below 1, or -1 where an index is returned.  The function that finds a fault records it
// with vt_set_error (or vt_perror for a failed system call) and returns its failure value; each
// caller on the way up returns vt_print_error(its own name), which prints the report's header
// once and then one "called by" line per level, on standard error.
#pragma once

#include <stdint.h>

#define VT_PRINTF(text, first) __attribute__((format(printf, text, first)))

extern "C" {

// ---- Errors --------------------------------------------------------------------------------------
enum {
  VT_ESYSTEM = 1,
  VT_ESERIAL = 2,
  VT_EBAUD = 3,
  VT_ETOOMANYPORTS = 4,
  VT_EPORTINUSE = 5,
  VT_ESHORTWRITE = 6,
  VT_ETIMEOUT = 7,
  VT_ENORESPONSE = 13,
  VT_EGLOVEHEAD = 19,
  VT_EPOLHEMUS = 21,
  VT_ETAIL = 22,
  VT_EHEAD = 23,
  VT_EASCENSION = 25,
  VT_ETRACKER = 29,
  VT_ESETUPWORD = 30,
  VT_ECALFILE = 33,
  VT_ECALREAD = 34,
  VT_EINIT = 39,
};

// Records a fault: the code and where (a name, or a text naming the call).  In quiet mode
// nothing changes unless the current code is 1 (a system error), and 1 is returned; else 0.
int vt_set_error(const char *location, int code);
// The same with the location formatted as printf does.
int vt_set_errorf(int code, const char *format, ...) VT_PRINTF(2, 3);
// Prints the pending report's header and message, or one "called by" line; a name beginning
// with '&' completes the message line instead.  Returns 0, or 1 in quiet mode (code 1 aside).
int vt_print_error(const char *name);
int vt_print_errorf(const char *format, ...) VT_PRINTF(1, 2);
// A failed system or C library call: code 1 and the system's text for errno; returns 0.
int vt_perror(const char *name, const char *call);
// Prints the report, waits 5 seconds so a console stays readable, and ends the process (1).
[[noreturn]] void vt_fatal_error(const char *name);
[[noreturn]] void vt_fatal_perror(const char *name, const char *call);
void vt_quiet_errors(void);
void vt_report_errors(void);
void vt_clear_error(void);
int vt_has_error(void);
int vt_take_error(void);
// The message text of a code ("" for codes without one).
const char *vt_error_text(int code);

// ---- Messages ------------------------------------------------------------------------------------
// Progress lines (verbose) and debug lines, both off until the library's start-up sets them.
void vt_set_verbose(int on);
int vt_verbose(void);
void vt_set_debug(int on);
int vt_debug(void);
// Prints on standard error when verbose (vt_say) or in debug mode (vt_debugf), and flushes.
void vt_say(const char *format, ...) VT_PRINTF(1, 2);
void vt_debugf(const char *format, ...) VT_PRINTF(1, 2);

// Every pause of the library: on the device clock, which tests may speed up.
void vt_sleep(int ms);

// ---- Serial ports --------------------------------------------------------------------------------
// A port handle: bits 0-7 the port's slot (0-19); a channel of a shared port also has bit 30
// and its channel number in bits 8-15.
enum { VT_SERIAL_PORTS = 20, VT_SERIAL_OPEN_MAX = 8, VT_SERIAL_NAME_MAX = 64, VT_CHANNEL_BIT = 0x40000000 };

int vt_serial_open(const char *name, int baud);
int vt_serial_close(int handle);
int vt_serial_close_ports(void);
int vt_serial_find_port(const char *name);
int vt_serial_name_in_use(const char *name);
// The system name a port name opens ("/dev/ttyd2" gives "COM2:"), null when too long or empty.
const char *vt_serial_map_name(const char *name);

// Time-outs of an open port, as the serial layer sets them (milliseconds).
struct VtTimeouts {
  int interval, readmultiplier, readconstant, writemultiplier, writeconstant;
};
VtTimeouts vt_serial_timeouts(int baud);

int vt_serial_flush_in(int handle);
int vt_serial_clear_till_timeout(int handle);
int vt_serial_clear_to_terminator(int handle, int terminator);
int vt_serial_bytes_ready(int handle);
// Up to n polls of 1 ms (device clock): the bytes waiting once there are any, else 0.
int vt_serial_wait_for_bytes(int handle, int n);
int vt_serial_read_byte(int handle);
int vt_serial_read_ushort(int handle);
int vt_serial_read_bytes(int handle, void *buffer, int n);
int vt_serial_read_shorts(int handle, void *buffer, int n);
int vt_serial_read_longs(int handle, void *buffer, int n);
// Texts: buffer holds max + 1 bytes (read_string, read_line) or max (read_to_terminator).
int vt_serial_read_string(int handle, char *buffer, int max);
int vt_serial_read_to_terminator(int handle, int terminator, char *buffer, int max);
char *vt_serial_read_line(int handle, char *buffer, int max);

int vt_serial_write_byte(int handle, int byte);
int vt_serial_write_ushort(int handle, int value);
int vt_serial_write_bytes(int handle, const void *buffer, int n);
int vt_serial_write_shorts(int handle, const void *buffer, int n);
int vt_serial_write_longs(int handle, const void *buffer, int n);
int vt_serial_write_string(int handle, const char *text);

// ---- Channels: one port shared by several devices ------------------------------------------------
enum { VT_RING_SIZE = 1024, VT_PACKET_MAX = 1024, VT_CHANNELS = 256 };

struct VtMultiplexor;
struct VtChannelBuffer {
  int32_t write, read, count;
  unsigned char ring[VT_RING_SIZE];
  VtMultiplexor *owner;
};
// The four functions the owner of a shared link installs.
typedef int (*VtMuxIndexFn)(int handle, const unsigned char *packet);
typedef int (*VtMuxReadFn)(int handle, unsigned char *packet);
typedef int (*VtMuxWriteFn)(int port, int channel, int count, const void *data);
typedef int (*VtMuxDeliverFn)(const unsigned char *packet, VtChannelBuffer *buffer);

int vt_serial_multiplexor_open(const char *name, int baud, int user);
int vt_init_multiplexor(const char *name, int baud, int user, int *channel);
int vt_serial_is_multiplexed(const char *name);
int vt_serial_set_multiplexor_write(int port, VtMuxWriteFn fn);
int vt_serial_set_multiplexor_index(int port, VtMuxIndexFn fn);
int vt_serial_set_multiplexor_read(int port, VtMuxReadFn fn);
int vt_serial_set_multiplexor_deliver(int port, VtMuxDeliverFn fn);
int ReadMultiplexorBytesNoWait(int handle);
int vt_serial_multiplexor_read(int handle, void *buffer, int n);
int vt_serial_ring_take(VtChannelBuffer *buffer, void *out, int n);
// The channel handle of a port slot and channel number.
int vt_serial_channel_handle(int port, int channel);
}
