// The glove server link on arbitrary bytes from the box: packets are read and each payload goes
// into the ring of its device's channel.  The first byte chooses how they are read: drained
// while waiting (every channel's bytes must come out exactly as the packets carried them), or
// by reads of one device's channel (its bytes must).
#include <stdint.h>
#include <stdlib.h>

#include <map>
#include <string>

#include "fuzz_vt.h"

namespace {

const int kIds[] = {3, 4, 254, 255};

// What each device should get: the payloads of the whole packets with a zero tail.
std::map<int, std::string> expected(const uint8_t *d, size_t size) {
  std::map<int, std::string> out;
  for (size_t at = 0; at + 2 <= size;) {
    size_t n = d[at + 1];
    if (at + n + 3 > size) break;
    if (d[at + n + 2] == 0) out[d[at]].append(reinterpret_cast<const char *>(d + at + 2), n);
    at += n + 3;
  }
  return out;
}

void takeall(const std::map<int, int> &channels, std::map<int, std::string> *got) {
  for (const auto &c : channels) {
    VtChannelBuffer *b = vt_mux_buffer(c.second);
    char bytes[VT_RING_SIZE];
    int n = vt_serial_ring_take(b, bytes, sizeof bytes);
    (*got)[c.first].append(bytes, static_cast<size_t>(n));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  fuzzvt::play(data + 1, size - 1);
  bool draining = data[0] & 1;
  if (!vt_create_server(1, "FUZZ", 9600, nullptr)) abort();
  std::map<int, int> channels = {{255, vt_current_server()->port}};
  for (int id : {3, 4, 254}) channels[id] = vt_open_server_device(("FUZZ:" + std::to_string(id)).c_str(), 9600);
  std::map<int, std::string> got;
  for (int rounds = 0; !fuzzvt::finished() && rounds < 10000; rounds++) {
    size_t before = fuzzvt::consumed();
    unsigned char byte;
    if (draining)
      ReadMultiplexorBytesNoWait(channels[3]);
    else if (vt_serial_multiplexor_read(channels[3], &byte, 1) == 1)
      got[3] += static_cast<char>(byte);
    takeall(channels, &got);
    if (fuzzvt::consumed() == before) break;
  }
  std::map<int, std::string> want = expected(data + 1, size - 1);
  for (int id : kIds)
    if ((draining || id == 3) && got[id] != want[id]) abort();
  fuzzvt::cleanup();
  return 0;
}
