// What the glove library's tests share: a fixture that runs the library's pauses fast and puts
// it back as it was after each test, the device peer (peers/devicepeer.py) and standard error
// captured.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "serialpeer.h"
#include "toolkit/devices/vtdevices.h"

class VtLibrary : public ::testing::Test {
 protected:
  // Pauses run a thousand times faster; errors reported, none pending; progress lines off.
  void SetUp() override;
  // Servers destroyed, every port closed, the device clock back to real time.
  void TearDown() override;
};

// The glove library's devices at the far end of a line: a glove server box with devices behind
// it, or one device alone ("-").
class DevicePeer : public SerialPeer {
 public:
  explicit DevicePeer(int com) : SerialPeer(com, "devicepeer.py"), com_(com) {}
  // The line's name as a program opens it ("COM12").
  std::string name() const { return "COM" + std::to_string(com_); }
  void server() { ask("server"); }
  void device(const std::string &id, const std::string &kind) { ask("device " + id + " " + kind); }
  void set(const std::string &id, const std::string &key, const std::string &value) {
    ask("set " + id + " " + key + " " + value);
  }
  void emit(const std::string &id, const std::string &bytes) { ask("emit " + id + " " + Hex(bytes)); }
  // The bytes device id received since the last log.
  std::string log(const std::string &id);

 private:
  int com_;
};

// A tracker of the model, with the peer playing the device kind alone on its line and the port
// open but the tracker not booted: for single commands and records.  Null when the peer could
// not start.
class PlainTracker {
 public:
  PlainTracker(const char *model, const char *kind);
  ~PlainTracker();
  DevicePeer peer;
  VtTracker *tracker = nullptr;
};

// Standard error while it lives.
class Stderr {
 public:
  Stderr();
  ~Stderr();
  std::string text();

 private:
  bool taken_ = false;
};

// A file of the test's scratch folder with the bytes; its path.
std::string vtfile(const std::string &name, const std::string &bytes);
std::string vtread(const std::string &path);
