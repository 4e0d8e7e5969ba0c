// The network layer's datagram check and receive ring on arbitrary datagrams: the input is cut
// into datagrams (each led by a two-byte length).  A datagram the check refuses never reaches
// the ring; every record of a sound one comes out of the ring once, in order, with its kind, id
// and bytes.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <deque>
#include <vector>

#include "toolkit/wt.h"

namespace {

struct Record {
  int kind, id;
  std::vector<unsigned char> bytes;
};

std::deque<Record> expected;

void expect(const unsigned char *d, int n) {
  for (int at = 4; at < n;) {
    int length = d[at + 1] + 1;
    Record r{d[at], d[at + 2] << 8 | d[at + 3],
             std::vector<unsigned char>(d + at + 4, d + at + 4 + length)};
    expected.push_back(r);
    at += 4 + (length + 3) / 4 * 4;
  }
}

// Reads every record the ring holds (moving a pending datagram in as room is made).
void drain() {
  unsigned char buffer[256];
  int id, length, kind;
  while ((kind = _WTnet_readraw(buffer, sizeof buffer, &id, &length)) != 0) {
    if (kind < 0 || expected.empty()) abort();
    const Record &r = expected.front();
    if (kind != r.kind || id != r.id || length != static_cast<int>(r.bytes.size()) ||
        memcmp(buffer, r.bytes.data(), r.bytes.size()) != 0)
      abort();
    expected.pop_front();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static bool quiet = [] {
    _WTmsg_setrouting(WTMSG_WARNING, 0, nullptr);
    return true;
  }();
  (void)quiet;
  _WTnet_clearring();
  expected.clear();
  size_t at = 0;
  while (size - at >= 2) {
    size_t n = static_cast<size_t>(data[at] << 8 | data[at + 1]) % 600;
    at += 2;
    if (n > size - at) n = size - at;
    std::vector<unsigned char> datagram(data + at, data + at + n);
    at += n;
    int length = static_cast<int>(n);
    bool sound = _WTnet_checkdatagram(datagram.data(), length) < 0;
    int taken = _WTnet_receive(datagram.data(), length, 0x0A000001u);
    if (sound != (taken != 0)) abort();
    if (sound) expect(datagram.data(), length);
    if (taken < 0) drain();
    if (taken < 0 && _WTnet_haspending()) abort();
  }
  drain();
  if (!expected.empty() || _WTnet_peek(nullptr, nullptr) != 0) abort();
  return 0;
}
