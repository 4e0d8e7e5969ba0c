// Network sharing: records packed into UDP datagrams of at most 512 bytes, sent to a multicast
// group or the subnet's broadcast address at the end of each frame; records received from the
// other copies wait in a ring until read.
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/platform.h"

namespace {

const int kDatagram = 512;
const int kMaxRecords = 508 - 4;  // record bytes of one datagram after its 4-byte header
const int kRingBytes = 8192;
const int kRingWords = kRingBytes / 4;

struct Net {
  char group[16];
  int port;
  int range;
  uint32_t mask;
  bool maskgiven;
  bool multicast;
  intptr_t sendsock;
  intptr_t recvsock;
  uint32_t own;
  uint32_t destination;
  unsigned char sendbuf[kDatagram];
  int sendlen;  // record bytes after the header
  // One byte more than a datagram may have, so that a longer one is seen cut.
  unsigned char recvbuf[kDatagram + 1];
  int pending;  // length of a received datagram waiting for room in the ring
  uint32_t ring[kRingWords];
  int readpos, writepos;  // in words
  int count;              // in bytes
  unsigned int drops[WTNETDROP_REASONS];
};

Net net = {"224.0.0.88", 1233, 1, 0xFFFFFF00u, false, true, WTPLAT_NOSOCKET, WTPLAT_NOSOCKET,
           0, 0, {}, 0, {}, 0, {}, 0, 0, 0, {}};

WTaddresshook addresshook;
bool started;

bool ownaddress(uint32_t *address) {
  return addresshook ? addresshook(address) != 0 : _WTplat_hostaddress(address) != 0;
}

int padding(int length) { return (4 - length % 4) % 4; }

// ---- Group text ---------------------------------------------------------------------------

// Four numbers separated by dots, at most 15 characters.
bool parsegroup(const char *text, int n[4]) {
  if (strlen(text) > 15) return false;
  const char *at = text;
  for (int i = 0; i < 4; i++) {
    n[i] = atoi(at);
    const char *dot = strchr(at, '.');
    if (i < 3 && !dot) return false;
    if (i == 3 && dot) return false;
    if (dot) at = dot + 1;
  }
  return true;
}

// Groups kept for other uses: local and reserved blocks.
bool refusedgroup(const int n[4]) {
  if (n[0] < 32 || n[0] == 232) return true;
  if (n[0] != 224) return false;
  if (n[1] == 1 || n[1] == 2) return true;
  if (n[1] != 0) return false;
  if (n[2] == 3 || n[2] == 4) return true;
  return (n[2] == 0 || n[2] == 1) && n[3] < 10;
}

bool takegroup(const char *text) {
  int n[4];
  if (!parsegroup(text, n)) return false;
  if (n[0] == 255) {
    net.mask = 0;
    for (int i = 0; i < 4; i++) net.mask = (net.mask << 8) | (static_cast<uint32_t>(n[i]) & 0xFF);
    net.maskgiven = true;
  } else if (refusedgroup(n)) {
    return false;
  } else {
    net.maskgiven = false;
  }
  strcpy(net.group, text);
  return true;
}

// ---- Sockets ------------------------------------------------------------------------------

void closesockets() {
  _WTplat_closesocket(net.sendsock);
  _WTplat_closesocket(net.recvsock);
  net.sendsock = net.recvsock = WTPLAT_NOSOCKET;
}

void membership(int join) {
  uint32_t group, own;
  if (!net.multicast || net.recvsock == WTPLAT_NOSOCKET) return;
  if (!_WTplat_resolve(net.group, &group) || !ownaddress(&own)) return;
  _WTplat_membership(net.recvsock, group, own, join);
}

bool openmulticast(uint32_t group) {
  net.destination = group;
  if (!ownaddress(&net.own)) return false;
  if (!_WTplat_bind(net.sendsock, net.own, 0)) {
    // The socket library stays started: other users in the process still need it.
    _WTmsg_warning("Could not bind socket - %d", _WTplat_neterror());
    return false;
  }
  if (!_WTplat_setmulticastif(net.sendsock, net.own))
    _WTmsg_warning("Could not set default mcast interface - %d\n", _WTplat_neterror());
  _WTplat_setmulticastttl(net.sendsock, net.range);
  net.multicast = true;
  return true;
}

bool openbroadcast() {
  if (!ownaddress(&net.own)) {
    _WTmsg_warning("Do not have a valid group address\n");
    return false;
  }
  net.destination = (net.own & net.mask) | ~net.mask;
  if (!_WTplat_setbroadcast(net.sendsock)) {
    _WTmsg_warning("Could not set broadcast option\n");
    return false;
  }
  net.multicast = false;
  return true;
}

bool openreceiver() {
  net.recvsock = _WTplat_udpsocket();
  if (net.recvsock == WTPLAT_NOSOCKET) {
    _WTmsg_warning("could not create receive socket\n");
    return false;
  }
  if (!_WTplat_bind(net.recvsock, 0, net.port)) {
    _WTmsg_warning("Could not bind receive socket\n");
    return false;
  }
  if (!_WTplat_setreceivebuffer(net.recvsock, 4096)) {
    _WTmsg_warning("socket option error\n");
    return false;
  }
  membership(1);
  return true;
}

bool opensockets() {
  net.sendsock = _WTplat_udpsocket();
  if (net.sendsock == WTPLAT_NOSOCKET) return false;
  uint32_t group = 0;
  bool classd = !net.maskgiven && _WTplat_resolve(net.group, &group) && group >> 24 >= 224 &&
                group >> 24 <= 239;
  // Mode first, so that a failure below leaves no group joined in the wrong mode.
  net.multicast = classd;
  if (!(classd ? openmulticast(group) : openbroadcast())) return false;
  if (!openreceiver()) {
    membership(0);
    return false;
  }
  memcpy(net.sendbuf, "VAV", 3);
  net.pending = 0;
  net.sendlen = 0;
  return true;
}

// ---- Records ------------------------------------------------------------------------------

// Copies the payload into out (length + padding bytes) converted by kind: bytes, 16-bit or 32-bit
// values in network order.  The pad bytes are zero; nothing past length is read.
void encode(unsigned char *out, const void *data, int length, int kind) {
  unsigned char host[256 + 4] = {};
  memcpy(host, data, static_cast<size_t>(length));
  int padded = length + padding(length);
  for (int i = 0; i < padded; i += kind == 2 ? 2 : 4) {
    if (kind == 1) {
      memcpy(out + i, host + i, 4);
    } else if (kind == 2) {
      uint16_t v;
      memcpy(&v, host + i, 2);
      out[i] = static_cast<unsigned char>(v >> 8);
      out[i + 1] = static_cast<unsigned char>(v);
    } else {
      uint32_t w;
      memcpy(&w, host + i, 4);
      _WTvalue_putbig(out + i, w);
    }
  }
}

// The reverse of encode for words that were turned to host order on their way into the ring.
void decode(void *out, const uint32_t *words, int length, int kind) {
  unsigned char host[256 + 4];
  int nwords = (length + 3) / 4;
  for (int i = 0; i < nwords; i++) {
    unsigned char *at = host + 4 * i;
    if (kind == 1) {
      _WTvalue_putbig(at, words[i]);
    } else if (kind == 2) {
      uint16_t hi = static_cast<uint16_t>(words[i] >> 16), lo = static_cast<uint16_t>(words[i]);
      memcpy(at, &hi, 2);
      memcpy(at + 2, &lo, 2);
    } else {
      memcpy(at, &words[i], 4);
    }
  }
  memcpy(out, host, static_cast<size_t>(length));
}

int append(const void *data, int length, int kind, int id, bool raw) {
  if (net.sendsock == WTPLAT_NOSOCKET || !data || length < 1 || length > 256 || kind < 1 ||
      kind > 255)
    return 0;
  _WTnet_poll();
  int size = 4 + length + padding(length);
  if (net.sendlen + size > kMaxRecords) _WTnet_flush();
  unsigned char *out = net.sendbuf + 4 + net.sendlen;
  _WTvalue_putbig(out, static_cast<uint32_t>(kind) << 24 | static_cast<uint32_t>(length - 1) << 16 |
                           (static_cast<uint32_t>(id) & 0xFFFF));
  encode(out + 4, data, length, raw ? 1 : kind);
  net.sendlen += size;
  return 1;
}

// ---- Ring ---------------------------------------------------------------------------------

void emptyring() {
  net.readpos = net.writepos = net.count = 0;
}

bool ringtake(const unsigned char *datagram, int length) {
  int bytes = length - 4;
  if (net.count + bytes > kRingBytes) return false;
  for (int i = 4; i < length; i += 4) {
    net.ring[net.writepos] = _WTvalue_getbig(datagram + i);
    net.writepos = (net.writepos + 1) % kRingWords;
  }
  net.count += bytes;
  return true;
}

void movepending() {
  if (net.pending && ringtake(net.recvbuf, net.pending)) net.pending = 0;
}

// The next record's header; kind 0 when the ring is empty.
int header(int *id, int *length) {
  if (id) *id = 0;
  if (length) *length = 0;
  if (net.count == 0) return 0;
  uint32_t w = net.ring[net.readpos];
  int kind = static_cast<int>(w >> 24);
  if (kind == 0) {
    _WTmsg_warning("Net data is out of sync\n");
    emptyring();
    return 0;
  }
  if (id) *id = static_cast<int>(w & 0xFFFF);
  if (length) *length = static_cast<int>((w >> 16) & 0xFF) + 1;
  return kind;
}

void advance(int length) {
  int words = 1 + (length + 3) / 4;
  net.readpos = (net.readpos + words) % kRingWords;
  net.count -= 4 * words;
  if (net.count <= 0) emptyring();
}

int take(void *buffer, int size, int *id, int *length, bool raw) {
  _WTnet_poll();
  int rid, len;
  int kind = header(&rid, &len);
  if (id) *id = rid;
  if (length) *length = len;
  if (kind == 0) return 0;
  if (!buffer || size < len) return -1;
  uint32_t words[64];
  for (int i = 0; i < (len + 3) / 4; i++) words[i] = net.ring[(net.readpos + 1 + i) % kRingWords];
  decode(buffer, words, len, raw ? 1 : kind);
  advance(len);
  return kind;
}

void cleanup() { _WTplat_netcleanup(); }

}  // namespace

extern "C" {

WTaddresshook _WTnet_setaddresshook(WTaddresshook fn) {
  WTaddresshook old = addresshook;
  addresshook = fn;
  return old;
}

int _WTnet_startup(void) {
  if (!started) {
    started = _WTplat_netstartup() != 0;
    if (started) atexit(cleanup);
  }
  return started;
}

int _WTnet_open(const char *group, int port, int range) {
  if (net.sendsock != WTPLAT_NOSOCKET) return 0;
  _WTnet_startup();
  if (group && !takegroup(group)) {
    _WTmsg_warning("Bad Group Address\n");
    return 0;
  }
  if (port && (port < 1024 || port > 5000)) {
    _WTmsg_warning("Bad Port\n");
    return 0;
  }
  if (port) net.port = port;
  if (range) net.range = range;
  if (!opensockets()) {
    closesockets();
    return 0;
  }
  return 1;
}

void _WTnet_close(void) {
  membership(0);
  closesockets();
}

int _WTnet_isopen(void) { return net.sendsock != WTPLAT_NOSOCKET; }

int _WTnet_write(const void *data, int length, int kind, int id) {
  return append(data, length, kind, id, false);
}

int _WTnet_writeraw(const void *data, int length, int kind, int id) {
  return append(data, length, kind, id, true);
}

void _WTnet_flush(void) {
  if (net.sendsock == WTPLAT_NOSOCKET || net.sendlen == 0) return;
  net.sendbuf[3] = 'D';
  // A send error is not reported: the records of this frame are lost to the others.
  _WTplat_sendto(net.sendsock, net.sendbuf, 4 + net.sendlen, net.destination, net.port);
  net.sendlen = 0;
  _WTnet_poll();
}

void _WTnet_poll(void) {
  movepending();
  if (net.sendsock == WTPLAT_NOSOCKET) return;
  if (net.pending || !_WTplat_readable(net.recvsock)) return;
  uint32_t from = 0;
  int n = _WTplat_recvfrom(net.recvsock, net.recvbuf, sizeof net.recvbuf, &from);
  if (n < 0) return;
  _WTnet_receive(net.recvbuf, n, from);
}

int _WTnet_checkdatagram(const void *data, int length) {
  const unsigned char *d = static_cast<const unsigned char *>(data);
  if (!d || length < 4 || length > kDatagram) return WTNETDROP_SIZE;
  if (memcmp(d, "VAV", 3) != 0) return WTNETDROP_TAG;
  if (d[3] != 'D') return WTNETDROP_TYPE;
  for (int at = 4; at < length;) {
    if (length - at < 4 || d[at] == 0) return WTNETDROP_RECORD;
    int payload = d[at + 1] + 1;
    payload += padding(payload);
    if (length - at - 4 < payload) return WTNETDROP_RECORD;
    at += 4 + payload;
  }
  return -1;
}

int _WTnet_receive(const void *data, int length, uint32_t from) {
  movepending();
  if (net.pending) return -1;
  int reason = _WTnet_checkdatagram(data, length);
  if (reason < 0 && from == net.own && net.sendsock != WTPLAT_NOSOCKET) reason = WTNETDROP_OWN;
  if (reason >= 0) {
    net.drops[reason]++;
    return 0;
  }
  if (ringtake(static_cast<const unsigned char *>(data), length)) return 1;
  if (data != net.recvbuf) memcpy(net.recvbuf, data, static_cast<size_t>(length));
  net.pending = length;
  return -1;
}

int _WTnet_haspending(void) { return net.pending != 0; }

void _WTnet_clearring(void) {
  emptyring();
  net.pending = 0;
}

int _WTnet_peek(int *id, int *length) {
  _WTnet_poll();
  return header(id, length);
}

int _WTnet_read(void *buffer, int size, int *id, int *length) {
  return take(buffer, size, id, length, false);
}

int _WTnet_readraw(void *buffer, int size, int *id, int *length) {
  return take(buffer, size, id, length, true);
}

void _WTnet_skip(void) {
  _WTnet_poll();
  int length;
  if (header(nullptr, &length)) advance(length);
}

int _WTnet_getport(void) { return net.port; }
int _WTnet_getrange(void) { return net.range; }
int _WTnet_ismulticast(void) { return net.multicast ? 1 : 0; }
uint32_t _WTnet_getdestination(void) { return net.destination; }
uint32_t _WTnet_getownaddress(void) { return net.own; }

unsigned int _WTnet_getdrops(int reason) {
  return reason >= 0 && reason < WTNETDROP_REASONS ? net.drops[reason] : 0;
}

void _WTnet_resetdrops(void) { memset(net.drops, 0, sizeof net.drops); }
}
