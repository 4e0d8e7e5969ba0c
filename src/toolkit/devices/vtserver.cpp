// The glove server link: the box's packets read and written as the multiplexor functions of its
// port, the tables that tie device ids to channels, and the box records with their start-up
// (a named configuration loaded when the link opens).
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/devices/vtdevices.h"
#include "toolkit/devices/vtline.h"

namespace {

VtServer *current;
VtServer *servers;  // every record, newest first
VtServerConfigFn configuration;

// Device id to channel and channel to device id, per port slot; -1 for none.
int16_t channels[VT_SERIAL_PORTS][256];
int16_t ids[VT_SERIAL_PORTS][256];

void maketables() {
  static bool made = false;
  if (made) return;
  memset(channels, 0xFF, sizeof channels);
  memset(ids, 0xFF, sizeof ids);
  made = true;
}

int portof(int handle) { return handle & 0xFF; }
int channelof(int handle) { return (handle >> 8) & 0xFF; }
bool validport(int port) { return port >= 0 && port < VT_SERIAL_PORTS; }

void printbyte(const char *character, const char *hex, int byte) {
  vt_print_errorf(isprint(byte) ? character : hex, byte);
}

// Sends data to the id as packets of at most 255 payload bytes.
int sendpackets(const char *name, int port, int id, int count, const void *data) {
  const unsigned char *in = static_cast<const unsigned char *>(data);
  unsigned char packet[258];
  for (int at = 0; at < count; at += 255) {
    int n = count - at < 255 ? count - at : 255;
    packet[0] = static_cast<unsigned char>(id);
    packet[1] = static_cast<unsigned char>(n);
    memcpy(packet + 2, in + at, static_cast<size_t>(n));
    packet[n + 2] = 0;
    int r = vt_serial_write_bytes(port, packet, n + 3);
    if (r < 1) return vt_print_error(name), r;
  }
  return 1;
}

// The box's own channel on a port that is already shared, -1 when it has none.
int serverchannel(const char *port) {
  int slot = vt_serial_find_port(port);
  if (slot < 0) return -1;
  maketables();
  int c = channels[slot][VT_SERVER_ID];
  return c < 0 ? -1 : vt_serial_channel_handle(slot, c);
}

// Closes the box's channel and, once no other channel shares it, the port.
void droplink(int handle) {
  vt_serial_close(handle);
  if (vt_mux_channels(portof(handle)) == 0) vt_serial_close(portof(handle));
}

int InitServerDevice(int handle, const char *config) {
  if (!config || !config[0]) return 1;
  vt_say("\nLoading server configuration %s ... ", config);
  if (vt_send_named(handle, 'C', config) < 1) return vt_print_error("InitServerDevice");
  vt_serial_wait_for_bytes(handle, 30000);
  char text[256];
  vt_clear_error();
  int got = vt_serial_read_string(handle, text, 255);
  if (got < 0 || (got == 0 && vt_has_error())) return vt_print_error("InitServerDevice");
  if (char *question = strchr(text, '?')) *question = 0;
  vt_say("\nServer response: %s", text);
  got = vt_serial_read_string(handle, text, 255);
  if (got < 0 || (got == 0 && vt_has_error())) return vt_print_error("InitServerDevice");
  vt_say("\ndone.");
  return 1;
}

// A host file for a transfer: the checks of the arguments, then the file opened.
FILE *hostfile(const char *operation, VtServer *server, const char *file, const char *mode, const char *refusal) {
  if (!vt_transfer_arguments(operation, server, file)) return nullptr;
  FILE *f = fopen(file, mode);
  if (!f) fprintf(stderr, refusal, file);
  return f;
}

int GetConfigFile(VtServer *server, const char *name, const char *file) {
  FILE *f = hostfile("GetConfigFile", server, file, "wb", "ERROR in GetConfigFile: can't open host file: %s.\n");
  if (!f) return 0;
  int result = vt_send_named(server->port, 'G', name);
  vt_say("Uploading config file \"%s\" into host file \"%s\"\n", name ? name : "", file);
  char refusal[257];
  int got = result < 1 ? -1 : vt_receive_file_pieces(server->port, f, "e3-", refusal);
  fclose(f);
  if (got == 0) fprintf(stderr, "ERROR in GetConfigFile: config file \"%s\" was not terminated.\n", name ? name : "");
  if (got == 2) vt_debugf("CyberServer response: %s\n\n", refusal);
  if (got != 1) return got < 0 ? vt_print_error("GetConfigFile") : 0;
  return vt_read_answer(server->port, "CyberServer response: %s\n\n", "CyberServer response: %s\n\n", 1);
}

int PutConfigFile(VtServer *server, const char *name, const char *file) {
  FILE *f = hostfile("PutConfigFile", server, file, "rb", "ERROR in PutConfigFile: can't open host file \"%s\".\n");
  if (!f) return 0;
  if (name && name[0])
    vt_say("Downloading host file \"%s\" as config \"%s\"\n", file, name);
  else
    vt_say("Downloading host file \"%s\" as current config\n", file);
  int sent = vt_send_named(server->port, 'P', name) >= 1 && vt_send_file_pieces(server->port, f) >= 1;
  fclose(f);
  if (!sent) return vt_print_error("PutConfigFile");
  vt_serial_wait_for_bytes(server->port, 10000);
  return vt_read_answer(server->port, "CyberServer response: %s\n\n", "CyberServer response: %s\n\n", 1);
}

}  // namespace

extern "C" {

VtServer *vt_current_server(void) { return current; }

int vt_server_split_name(const char *name, char *port, int size) {
  const char *colon = strchr(name, ':');
  int length = colon ? static_cast<int>(colon - name) : static_cast<int>(strlen(name));
  snprintf(port, static_cast<size_t>(size), "%.*s", length, name);
  int device = -1;
  if (colon && sscanf(colon + 1, "%d", &device) != 1) device = -1;
  return device;
}

const char *vt_server_device_name(const char *name, int fallback, char *out, int size) {
  char port[VT_SERIAL_NAME_MAX + 1];
  int device = vt_server_split_name(name, port, sizeof port);
  snprintf(out, static_cast<size_t>(size), "%s:%d", port, device < 0 ? fallback : device);
  return out;
}

int vt_server_map(int handle, int id) {
  int port = portof(handle), channel = channelof(handle);
  if (!validport(port) || id < 0 || id > 255) return 0;
  maketables();
  // A channel number or an id used before gives up its old partner.
  if (ids[port][channel] >= 0) channels[port][ids[port][channel]] = -1;
  if (channels[port][id] >= 0) ids[port][channels[port][id]] = -1;
  channels[port][id] = static_cast<int16_t>(channel);
  ids[port][channel] = static_cast<int16_t>(id);
  return 1;
}

int vt_server_id_of(int port, int channel) {
  maketables();
  return validport(port) && channel >= 0 && channel < 256 ? ids[port][channel] : -1;
}

int vt_server_channel_of(int port, const unsigned char *packet) {
  maketables();
  return validport(port) ? channels[port][packet[0]] : -1;
}

int vt_server_deliver(const unsigned char *packet, VtChannelBuffer *b) {
  int room = VT_RING_SIZE - 1 - b->count;
  int n = packet[1] < room ? packet[1] : room;
  for (int i = 0; i < n; i++) {
    b->ring[b->write] = packet[2 + i];
    b->write = (b->write + 1) & (VT_RING_SIZE - 1);
  }
  b->count += n;
  return n;
}

int vt_server_multiplexor_read(int port, unsigned char *packet) {
  const char *name = "vt_server_multiplexor_read";
  int r = vt_serial_read_bytes(port, packet, 2);
  if (r < 1) return vt_print_error(name), r;
  int n = packet[1];
  if (n > 0 && (r = vt_serial_read_bytes(port, packet + 2, n)) < 1) return vt_print_error(name), r - 2;
  int tail = vt_serial_read_byte(port);
  if (tail < 0) return vt_print_error(name), -(n + 2);
  if (tail != 0) {
    vt_set_error(name, 0);
    printbyte("&Bad tail byte = %c", "&Bad tail byte = 0x%X", tail);
    return -(n + 3);
  }
  packet[n + 2] = 0;
  return n + 3;
}

int vt_server_multiplexor_write(int port, int channel, int count, const void *data) {
  int id = vt_server_id_of(port, channel);
  if (count == 0 || id < 0) return 1;
  return sendpackets("vt_server_multiplexor_write", port, id, count, data);
}

int vt_write_server_packet(int port, int id, int count, const void *data) {
  return sendpackets("write_glove_bytes", port, id, count, data);
}

int vt_read_server_head(int port, int *id, int *length) {
  unsigned char head[2];
  if (vt_serial_read_bytes(port, head, 2) < 1) return vt_print_error("vt_read_server_head");
  *id = head[0];
  *length = head[1];
  return 1;
}

int vt_read_server_tail(int port) {
  int tail = vt_serial_read_byte(port);
  if (tail < 0) return vt_print_error("vt_read_server_tail");
  if (tail != 0) return vt_set_errorf(VT_ENORESPONSE, "vt_read_server_tail: tail byte = %#X", tail), 0;
  return 1;
}

int vt_read_server_packet(int port, int *id, int *length, unsigned char *data) {
  if (vt_read_server_head(port, id, length) < 1 || (*length > 0 && vt_serial_read_bytes(port, data, *length) < 1) ||
      vt_read_server_tail(port) < 1)
    return vt_print_error("vt_read_server_packet");
  return 1;
}

int vt_open_server_multiplexor(const char *name, int baud, const char *config) {
  char port[VT_SERIAL_NAME_MAX + 1];
  vt_server_split_name(name, port, sizeof port);
  if (!current) {
    fprintf(stderr, "\nWARNING in vt_open_server_port: no current VTServer structure Aborting open.");
    return 0;
  }
  if (vt_serial_is_multiplexed(port)) return serverchannel(port);
  int handle = vt_serial_multiplexor_open(port, baud, 0);
  if (handle < 0) return vt_print_error("vt_open_server_multiplexor"), -1;
  int slot = portof(handle);
  current->port = handle;
  vt_serial_set_multiplexor_read(slot, vt_server_multiplexor_read);
  vt_serial_set_multiplexor_write(slot, vt_server_multiplexor_write);
  vt_serial_set_multiplexor_deliver(slot, vt_server_deliver);
  vt_serial_set_multiplexor_index(slot, vt_server_channel_of);
  vt_server_map(handle, VT_SERVER_ID);
  if (InitServerDevice(handle, config) >= 1) return handle;
  vt_print_error("vt_open_server_multiplexor");
  current->port = -1;
  droplink(handle);
  return -1;
}

VtServer *vt_create_server(int open, const char *name, int baud, const char *config) {
  VtServer *s = static_cast<VtServer *>(calloc(1, sizeof(VtServer)));
  if (!s) return vt_perror("allocate_server", "calloc"), vt_print_error("vt_create_server"), nullptr;
  VtServer *previous = current;
  s->port = -1;
  current = s;
  if (open && vt_open_server_multiplexor(name, baud, config) < 1) {
    free(s);
    current = previous;
    vt_set_error("vt_create_server", vt_take_error());
    vt_print_errorf("&A server is already using port %s", name);
    return nullptr;
  }
  s->next = servers;
  servers = s;
  return s;
}

void vt_destroy_server(VtServer *s) {
  if (!s) return;
  for (VtServer **p = &servers; *p; p = &(*p)->next)
    if (*p == s) {
      *p = s->next;
      break;
    }
  if (s->port >= 0) droplink(s->port);
  if (current == s) current = servers;
  free(s);
}

int vt_open_server_device(const char *name, int baud) {
  char port[VT_SERIAL_NAME_MAX + 1];
  int device = vt_server_split_name(name, port, sizeof port);
  if (!vt_serial_is_multiplexed(port) &&
      !vt_create_server(1, port, baud, configuration ? configuration(port) : nullptr))
    return vt_print_error("vt_open_server_device"), -1;
  if (device < 0 || device >= VT_SERVER_ID) {
    vt_set_error("vt_open_server_device", 0);
    vt_print_errorf("&no device number below 255 in %s", name);
    return -1;
  }
  int handle = vt_serial_multiplexor_open(port, baud, 0);
  if (handle < 0) return vt_print_error("vt_open_server_device"), -1;
  vt_server_map(handle, device);
  return handle;
}

int vt_send_server_command(int number, const char *a, const char *b) {
  if (!current || current->port < 0) return 1;
  int r = 1;
  if (number == VT_SERVER_INIT) r = InitServerDevice(current->port, a);
  if (number == VT_SERVER_GETCONFIG) r = GetConfigFile(current, a, b);
  if (number == VT_SERVER_PUTCONFIG) r = PutConfigFile(current, a, b);
  return r < 1 ? vt_print_error("vt_send_server_command") : r;
}

VtServerConfigFn vt_set_server_configuration(VtServerConfigFn fn) {
  VtServerConfigFn old = configuration;
  configuration = fn;
  return old;
}
}
