// The glove library's port table and its typed reads and writes.  A plain port moves bytes
// through the system line; a channel of a shared port goes through its multiplexor (vtmux.cpp)
// and reads and writes the same way.
#include <stdio.h>
#include <string.h>

#include "toolkit/devices/devices.h"
#include "toolkit/devices/vtline.h"

namespace {

struct Slot {
  void *port;
  bool inuse;
  char name[VT_SERIAL_NAME_MAX + 1];  // empty: free
};

Slot slots[VT_SERIAL_PORTS];
int opencount;
char mapped[VT_SERIAL_NAME_MAX + 1];
const VtLine *line = &vt_system_line;

bool ischannel(int handle) { return handle >= 0 && (handle & VT_CHANNEL_BIT) != 0; }

// The system port of a plain handle, null when it names no open slot.
void *portof(int handle) {
  if (handle < 0 || ischannel(handle) || handle >= VT_SERIAL_PORTS || !slots[handle].inuse) return nullptr;
  return slots[handle].port;
}

// One byte: 1, 0 when none came before the time-out, -1 when the read failed (reported, with
// this level's name).
int take(const char *name, int handle, unsigned char *byte) {
  if (ischannel(handle)) {
    if (vt_serial_multiplexor_read(handle, byte, 1) == 1) return 1;
    vt_print_error(name);
    return -1;
  }
  void *port = portof(handle);
  if (!port) return vt_set_error(name, VT_ESERIAL), -1;
  int n = line->read(port, byte, 1);
  if (n < 0) return vt_perror(name, "read"), -1;
  return n;
}

// A byte, or -1 after a time-out (code 7) or a failed read.
int readone(const char *name, int handle) {
  unsigned char byte;
  int n = take(name, handle, &byte);
  if (n == 0) vt_set_error(name, VT_ETIMEOUT);
  return n == 1 ? byte : -1;
}

// n units of size bytes, one byte at a time: 1, or minus the whole units read.
int readunits(const char *name, int handle, void *buffer, int n, int size) {
  unsigned char *out = static_cast<unsigned char *>(buffer);
  for (int i = 0; i < n * size; i++) {
    int byte = readone(name, handle);
    if (byte < 0) return -(i / size);
    out[i] = static_cast<unsigned char>(byte);
  }
  return 1;
}

// n units of size bytes in one write: 1, 0 when the write failed, or minus the whole units
// written when fewer went out (code 6).
int writeunits(const char *name, int handle, const void *data, int n, int size) {
  int bytes = n * size;
  if (ischannel(handle)) {
    int r = vt_mux_write(handle, data, bytes);
    if (r < 1) vt_print_error(name);
    return r;
  }
  void *port = portof(handle);
  if (!port) return vt_set_error(name, VT_ESERIAL), 0;
  int put = line->write(port, data, bytes);
  if (put < 0) return vt_perror(name, "write");
  if (put < bytes) return vt_set_error(name, VT_ESHORTWRITE), -(put / size);
  return 1;
}

// Reads single bytes until none comes (or, with a terminator of 0-255, until it came), then
// empties a channel's buffer.  A channel reads quietly: its time-out is the expected end.
int clearuntil(const char *name, int handle, int terminator) {
  bool channel = ischannel(handle);
  if (channel) {
    vt_quiet_errors();
    vt_clear_error();
  }
  unsigned char byte;
  int n;
  while ((n = channel ? (vt_serial_multiplexor_read(handle, &byte, 1) == 1) : take(name, handle, &byte)) == 1)
    if (byte == terminator) break;
  if (!channel) return n < 0 ? 0 : 1;
  vt_report_errors();
  vt_mux_empty(handle);
  return vt_has_error() ? vt_print_error(name) : 1;
}

// The line speed of a baud number; 110 runs at 115200.
int baud_from_int(int baud) {
  static const int speeds[] = {300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
  if (baud == 110) return 115200;
  for (int s : speeds)
    if (s == baud) return s;
  vt_set_errorf(VT_EBAUD, "baud_from_int(%d)", baud);
  return -1;
}

int vt_serial_configure(void *port, int baud) {
  int speed = baud_from_int(baud);
  if (speed < 0) return vt_print_error("vt_serial_configure");
  VtTimeouts t = vt_serial_timeouts(speed);
  const char *call = "configure";
  if (!line->configure(port, speed, &t, &call)) return vt_perror("vt_serial_configure", call);
  return 1;
}

// A free slot opened and configured: its index, or -1 (a failed configuration reported).
int open_windows_serial_port(const char *name, int baud) {
  int slot = 0;
  while (slot < VT_SERIAL_PORTS && slots[slot].inuse) slot++;
  const char *device = slot < VT_SERIAL_PORTS ? vt_serial_map_name(name) : nullptr;
  void *port = device ? line->open(device) : nullptr;
  if (!port) return -1;
  slots[slot].inuse = true;
  slots[slot].port = port;
  if (vt_serial_configure(port, baud) >= 1) return slot;
  line->close(port);
  slots[slot].inuse = false;
  vt_print_error("open_windows_serial_port");
  return -1;
}

}  // namespace

extern "C" {

void vt_sleep(int ms) { _WTdevice_pause(ms); }

VtTimeouts vt_serial_timeouts(int baud) {
  int perbyte = baud >= 10 ? 2000 / (baud / 10) : 0;
  return VtTimeouts{100, 1, 100, perbyte > 0 ? perbyte : 1, 100};
}

const char *vt_serial_map_name(const char *name) {
  size_t n = name ? strlen(name) : 0;
  if (n > VT_SERIAL_NAME_MAX) {
    fprintf(stderr, "Long serial port name: %1s\n", name);
    fprintf(stderr, "Check your RarudodIder resource file.\n");
    return nullptr;
  }
  if (n == 0) return nullptr;
  if (strstr(name, "/dev/ttyd"))
    snprintf(mapped, sizeof mapped, "COM%1c:", name[n - 1]);
  else
    snprintf(mapped, sizeof mapped, "%s", name);
  return mapped;
}

int vt_serial_open(const char *name, int baud) {
  if (opencount == 0)
    for (Slot &s : slots) s.inuse = false;
  if (opencount + 1 > VT_SERIAL_OPEN_MAX) {
    vt_set_error("vt_serial_open", VT_ETOOMANYPORTS);
    vt_fatal_error("");
  }
  if (vt_serial_name_in_use(name)) {
    vt_set_errorf(VT_EPORTINUSE, "vt_serial_port_open(%s,%d)", name, baud);
    return -1;
  }
  vt_clear_error();
  int slot = open_windows_serial_port(name, baud);
  if (slot < 0) {
    if (vt_has_error()) return vt_print_error("vt_serial_open"), -1;
    vt_set_errorf(VT_EPORTINUSE, "open_windows_serial_port(\"%s\", \"%d\")", name, baud);
    return -1;
  }
  opencount++;
  snprintf(slots[slot].name, sizeof slots[slot].name, "%s", name);
  return slot;
}

int vt_serial_close(int handle) {
  if (ischannel(handle)) return vt_mux_close(handle);
  void *port = portof(handle);
  if (!port) return vt_set_error("vt_serial_close", VT_ESERIAL), 0;
  vt_mux_forget(handle);
  opencount--;
  slots[handle].name[0] = 0;
  slots[handle].inuse = false;
  if (line->close(port)) return 1;
  char call[32];
  snprintf(call, sizeof call, "close(%d)", handle);
  return vt_perror("vt_serial_close", call);
}

int vt_serial_close_ports(void) {
  int result = 1;
  for (int i = 0; i < VT_SERIAL_PORTS; i++)
    if (slots[i].name[0] && vt_serial_close(i) < 1) result = vt_print_error("vt_serial_close_ports");
  return result;
}

int vt_serial_find_port(const char *name) {
  for (int i = 0; name && i < VT_SERIAL_PORTS; i++)
    if (slots[i].name[0] && strcmp(slots[i].name, name) == 0) return i;
  return -1;
}

int vt_serial_name_in_use(const char *name) { return vt_serial_find_port(name) >= 0; }

int vt_serial_inqueue(int port) {
  void *p = portof(port);
  return p ? line->inqueue(p) : -1;
}

// ---- Input -----------------------------------------------------------------------------------

int vt_serial_flush_in(int handle) {
  if (ischannel(handle)) {
    if (ReadMultiplexorBytesNoWait(handle) < 1) return vt_print_error("vt_serial_flush_in");
    vt_mux_empty(handle);
    return 1;
  }
  void *port = portof(handle);
  if (!port) return vt_set_error("vt_serial_flush_in", VT_ESERIAL), 0;
  if (line->purge(port)) return 1;
  char call[32];
  snprintf(call, sizeof call, "PurgeComm(%d)", handle);
  return vt_perror("vt_serial_flush_in", call);
}

int vt_serial_clear_till_timeout(int handle) { return clearuntil("vt_serial_clear_till_timeout", handle, -1); }

int vt_serial_clear_to_terminator(int handle, int terminator) {
  return clearuntil("vt_serial_clear_to_terminator", handle, terminator & 0xFF);
}

int vt_serial_bytes_ready(int handle) {
  if (ischannel(handle)) {
    if (ReadMultiplexorBytesNoWait(handle) < 1) return vt_print_error("vt_serial_bytes_ready"), 0;
    VtChannelBuffer *b = vt_mux_buffer(handle);
    return b ? b->count : 0;
  }
  void *port = portof(handle);
  if (!port) return vt_set_error("vt_serial_bytes_ready", VT_ESERIAL), 0;
  int n = line->inqueue(port);
  return n < 0 ? vt_perror("vt_serial_bytes_ready", "ClearCommError") : n;
}

int vt_serial_wait_for_bytes(int handle, int n) {
  // n polls of 1 ms on the device clock: a sped-up clock lets the polls end as much sooner.
  int64_t deadline = _WTdevice_clock() + n;
  for (;;) {
    int ready = vt_serial_bytes_ready(handle);
    if (ready > 0) return ready;
    if (_WTdevice_clock() >= deadline) return 0;
    vt_sleep(1);
  }
}

int vt_serial_read_byte(int handle) { return readone("vt_serial_read_byte", handle); }

int vt_serial_read_ushort(int handle) {
  int low = readone("vt_serial_read_ushort", handle);
  int high = low < 0 ? -1 : readone("vt_serial_read_ushort", handle);
  return high < 0 ? -1 : low | high << 8;
}

int vt_serial_read_bytes(int handle, void *buffer, int n) {
  const char *name = "vt_serial_read_bytes";
  if (ischannel(handle)) {
    int got = vt_serial_multiplexor_read(handle, buffer, n);
    if (got == n) return 1;
    vt_print_error(name);
    return got < 0 ? got : -got;
  }
  void *port = portof(handle);
  if (!port) return vt_set_error(name, VT_ESERIAL), 0;
  char *out = static_cast<char *>(buffer);
  int got = 0;
  while (got < n) {
    int r = line->read(port, out + got, n - got);
    if (r < 0) return vt_perror(name, "read");
    if (r == 0) break;
    got += r;
  }
  if (got < n) return vt_set_error(name, VT_ETIMEOUT), -got;
  return 1;
}

int vt_serial_read_shorts(int handle, void *buffer, int n) {
  return readunits("vt_serial_read_shorts", handle, buffer, n, 2);
}

int vt_serial_read_longs(int handle, void *buffer, int n) {
  return readunits("vt_serial_read_longs", handle, buffer, n, 4);
}

int vt_serial_read_string(int handle, char *buffer, int max) {
  int n = 0;
  while (n < max) {
    int byte = readone("vt_serial_read_string", handle);
    if (byte < 0) {
      buffer[n] = 0;
      return -n;
    }
    if (byte == 0) break;
    buffer[n++] = static_cast<char>(byte);
  }
  buffer[n] = 0;
  return n;
}

int vt_serial_read_to_terminator(int handle, int terminator, char *buffer, int max) {
  int n = 0;
  while (n < max) {
    int byte = readone("vt_serial_read_to_terminator", handle);
    if (byte < 0) return -n;
    buffer[n++] = static_cast<char>(byte);
    if (byte == (terminator & 0xFF)) break;
  }
  return n;
}

char *vt_serial_read_line(int handle, char *buffer, int max) {
  int n = 0;
  while (n < max) {
    int byte = readone("vt_serial_read_line", handle);
    if (byte <= 0) break;
    buffer[n++] = static_cast<char>(byte);
    if (byte == '\r' || byte == '\n') break;
  }
  buffer[n] = 0;
  return buffer;
}

// ---- Output ----------------------------------------------------------------------------------

int vt_serial_write_byte(int handle, int byte) {
  unsigned char b = static_cast<unsigned char>(byte);
  return writeunits("vt_serial_write_byte", handle, &b, 1, 1);
}

int vt_serial_write_ushort(int handle, int value) {
  unsigned char b[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
  return writeunits("vt_serial_write_ushort", handle, b, 1, 2);
}

int vt_serial_write_bytes(int handle, const void *buffer, int n) {
  return writeunits("vt_serial_write_bytes", handle, buffer, n, 1);
}

int vt_serial_write_shorts(int handle, const void *buffer, int n) {
  return writeunits("vt_serial_write_shorts", handle, buffer, n, 2);
}

int vt_serial_write_longs(int handle, const void *buffer, int n) {
  return writeunits("vt_serial_write_longs", handle, buffer, n, 4);
}

int vt_serial_write_string(int handle, const char *text) {
  return writeunits("vt_serial_write_string", handle, text, static_cast<int>(strlen(text)), 1);
}

const VtLine *vt_serial_set_line(const VtLine *l) {
  const VtLine *old = line;
  line = l ? l : &vt_system_line;
  return old;
}
}
