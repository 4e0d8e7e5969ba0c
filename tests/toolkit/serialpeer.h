// A device at the far end of a serial line, for the device tests.
//
// SerialPeer starts peers/serialpeer.py, a Linux program owning a pseudo-terminal, and talks to it
// over loopback TCP.  The program under test opens the terminal's slave as COM<n>: under Wine the
// peer links it as $WINEPREFIX/dosdevices/com<n> (and puts back what was there when it ends);
// natively the ports' COM-name resolver leads COM<n> to it while the peer lives.  The test scripts
// the device's answers (reply), reads back what the program sent (read), and sees the line's
// settings and whether the program holds the line open.
//
//   SerialPeer peer(5);
//   peer.reply("\xC0", "\xB3\x00\x18");  // answer a boot
//   ... the program opens COM5, writes, reads ...
//   EXPECT_EQ(peer.read(), "...");
#pragma once

#include <string>

class SerialPeer {
 public:
  explicit SerialPeer(int com);
  ~SerialPeer();
  SerialPeer(const SerialPeer &) = delete;
  SerialPeer &operator=(const SerialPeer &) = delete;

  // True once the peer runs and owns its line.
  bool ready() const { return !slave_.empty(); }
  const std::string &slave() const { return slave_; }
  // Bytes to the program.
  void write(const std::string &bytes);
  // Once the program has sent `pattern` (counted from this call), the peer answers `bytes`;
  // several replies wait in order.
  void reply(const std::string &pattern, const std::string &bytes);
  // The bytes the program sent since the last read.
  std::string read();
  // The line's speed and byte size as the program set them (-1 when unknown).
  struct Line {
    int baud, databits;
  };
  Line line();
  // True when no program holds the line open; false when one does.  Each waits up to two
  // seconds for its answer to come true, as a close or an open may take effect late.
  bool hungup();
  bool held();

 private:
  std::string request(const std::string &text);
  intptr_t socket_ = -1;
  std::string slave_, buffered_;
  int com_;
};

// The bytes of a hex text ("c0 00 18"), for scripting replies.
std::string Bytes(const char *hex);
// Bytes as hex text, for messages.
std::string Hex(const std::string &bytes);
