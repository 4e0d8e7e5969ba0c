// Channels of a shared port: the port's multiplexor reads whole packets with the functions its
// owner installed, asks which channel each belongs to and delivers it into that channel's ring;
// a channel reads from its ring and writes through the owner's write function.
#include <stdio.h>
#include <stdlib.h>

#include "toolkit/devices/vtline.h"

struct VtMultiplexor {
  int port;  // -1 until the port is open
  int user;
  int count;  // channels open
  VtChannelBuffer *buffers[VT_CHANNELS];
  VtMuxIndexFn index;
  VtMuxReadFn read;
  VtMuxWriteFn write;
  VtMuxDeliverFn deliver;
};

namespace {

VtMultiplexor *records[VT_SERIAL_PORTS + 1];

int portof(int handle) { return handle & 0xFF; }
int channelof(int handle) { return (handle >> 8) & 0xFF; }

VtMultiplexor *recordof(int handle) {
  int port = portof(handle);
  return handle >= 0 && port < VT_SERIAL_PORTS ? records[port] : nullptr;
}

VtMultiplexor *newrecord(int port, int user) {
  VtMultiplexor *m = static_cast<VtMultiplexor *>(calloc(1, sizeof(VtMultiplexor)));
  if (!m) return vt_perror("vt_init_multiplexor", "calloc"), nullptr;
  m->port = port;
  m->user = user;
  return m;
}

// A new channel of the record: the lowest free number (a closed channel's number is free
// again), or -1.
int newchannel(VtMultiplexor *m) {
  int c = 0;
  while (c < VT_CHANNELS && m->buffers[c]) c++;
  if (c == VT_CHANNELS) return vt_set_error("vt_init_multiplexor", VT_EPORTINUSE), -1;
  VtChannelBuffer *b = static_cast<VtChannelBuffer *>(calloc(1, sizeof(VtChannelBuffer)));
  if (!b) return vt_perror("vt_init_multiplexor", "calloc"), -1;
  b->owner = m;
  m->buffers[c] = b;
  m->count++;
  return c;
}

// The buffer of a channel number, null when none is open under it.
VtChannelBuffer *bufferof(VtMultiplexor *m, int channel) {
  return channel >= 0 && channel < VT_CHANNELS ? m->buffers[channel] : nullptr;
}

// One packet read from the port into packet: its length, or below 1 when the read failed.
int readpacket(VtMultiplexor *m, unsigned char *packet) {
  if (m->read) return m->read(m->port, packet);
  vt_set_error("vt_serial_multiplexor_read", VT_ESERIAL);
  return 0;
}

// The packet delivered to its channel; false when it belongs to none.
bool route(VtMultiplexor *m, const unsigned char *packet, int *channel) {
  *channel = m->index ? m->index(m->port, packet) : -1;
  VtChannelBuffer *b = bufferof(m, *channel);
  if (b && m->deliver) m->deliver(packet, b);
  return b != nullptr;
}

// One of the owner's functions put in a port's record; 0 when the port is not shared.
template <typename Fn>
int install(int port, Fn VtMultiplexor::*field, Fn fn) {
  VtMultiplexor *m = recordof(port);
  if (!m) return 0;
  m->*field = fn;
  return 1;
}

void drop(VtMultiplexor *m) {
  for (VtChannelBuffer *&b : m->buffers) {
    free(b);
    b = nullptr;
  }
  records[m->port] = nullptr;
  free(m);
}

}  // namespace

extern "C" {

int vt_serial_channel_handle(int port, int channel) { return (channel | 0x400000) << 8 | port; }

int vt_init_multiplexor(const char *name, int baud, int user, int *channel) {
  int port = vt_serial_find_port(name);
  VtMultiplexor *m = port >= 0 ? records[port] : nullptr;
  if (port >= 0 && !m && (m = newrecord(port, user)) != nullptr) records[port] = m;
  if (port < 0 && (m = newrecord(-1, user)) != nullptr) {
    port = vt_serial_open(name, baud);
    if (port < 0) {
      free(m);
      return vt_print_error("vt_init_multiplexor"), -1;
    }
    m->port = port;
    records[port] = m;
  }
  if (!m) return -1;
  int c = newchannel(m);
  if (c < 0) return -1;
  *channel = c;
  return port;
}

int vt_serial_multiplexor_open(const char *name, int baud, int user) {
  int channel = 0;
  int port = vt_init_multiplexor(name, baud, user, &channel);
  if (port < 0) return vt_print_error("vt_serial_multiplexor_open"), -1;
  return vt_serial_channel_handle(port, channel);
}

int vt_serial_is_multiplexed(const char *name) {
  int port = vt_serial_find_port(name);
  return port >= 0 && port <= VT_SERIAL_PORTS && records[port] != nullptr;
}

int vt_serial_set_multiplexor_write(int port, VtMuxWriteFn fn) { return install(port, &VtMultiplexor::write, fn); }
int vt_serial_set_multiplexor_index(int port, VtMuxIndexFn fn) { return install(port, &VtMultiplexor::index, fn); }
int vt_serial_set_multiplexor_read(int port, VtMuxReadFn fn) { return install(port, &VtMultiplexor::read, fn); }
int vt_serial_set_multiplexor_deliver(int port, VtMuxDeliverFn fn) { return install(port, &VtMultiplexor::deliver, fn); }

int ReadMultiplexorBytesNoWait(int handle) {
  VtMultiplexor *m = recordof(handle);
  if (!m) return vt_set_error("ReadMultiplexorBytesNoWait", VT_ESERIAL), 0;
  int waiting = vt_serial_inqueue(m->port);
  unsigned char packet[VT_PACKET_MAX];
  int channel;
  for (int taken = 0; taken < waiting;) {
    int n = readpacket(m, packet);
    if (n < 1) return vt_print_error("ReadMultiplexorBytesNoWait");
    taken += n;
    route(m, packet, &channel);
  }
  return 1;
}

int vt_serial_multiplexor_read(int handle, void *buffer, int n) {
  VtMultiplexor *m = recordof(handle);
  VtChannelBuffer *b = m ? bufferof(m, channelof(handle)) : nullptr;
  if (!b) return vt_set_error("vt_serial_multiplexor_read", VT_ESERIAL), 0;
  unsigned char *out = static_cast<unsigned char *>(buffer);
  unsigned char packet[VT_PACKET_MAX];
  int got = 0, channel;
  while (got < n) {
    if (b->count > 0) {
      got += vt_serial_ring_take(b, out + got, n - got);
      continue;
    }
    if (readpacket(m, packet) < 1) return vt_print_error("vt_serial_multiplexor_read"), -got;
    if (!route(m, packet, &channel)) {
      fprintf(stderr, "ERROR in vt_serial_multiplexor_read: bad buffer index");
      fprintf(stderr, " = %d\n", channel);
    }
  }
  return got;
}

int vt_serial_ring_take(VtChannelBuffer *b, void *out, int n) {
  unsigned char *to = static_cast<unsigned char *>(out);
  int got = 0;
  while (got < n && b->read != b->write) {
    to[got++] = b->ring[b->read];
    b->read = (b->read + 1) & (VT_RING_SIZE - 1);
    b->count--;
  }
  return got;
}

// ---- The serial layer's side -------------------------------------------------------------------

VtChannelBuffer *vt_mux_buffer(int handle) {
  VtMultiplexor *m = recordof(handle);
  return m ? bufferof(m, channelof(handle)) : nullptr;
}

int vt_mux_write(int handle, const void *data, int n) {
  VtMultiplexor *m = recordof(handle);
  if (!m || !bufferof(m, channelof(handle)) || !m->write) return vt_set_error("vt_mux_write", VT_ESERIAL), 0;
  return m->write(m->port, channelof(handle), n, data);
}

void vt_mux_empty(int handle) {
  VtChannelBuffer *b = vt_mux_buffer(handle);
  if (b) b->write = b->read = b->count = 0;
}

int vt_mux_close(int handle) {
  VtMultiplexor *m = recordof(handle);
  VtChannelBuffer *b = m ? bufferof(m, channelof(handle)) : nullptr;
  if (!b) return vt_set_error("vt_serial_close", VT_ESERIAL), 0;
  free(b);
  m->buffers[channelof(handle)] = nullptr;
  if (--m->count == 0) drop(m);
  return 1;
}

int vt_mux_channels(int port) {
  VtMultiplexor *m = recordof(port);
  return m ? m->count : 0;
}

void vt_mux_forget(int port) {
  if (port >= 0 && port < VT_SERIAL_PORTS && records[port]) drop(records[port]);
}
}
