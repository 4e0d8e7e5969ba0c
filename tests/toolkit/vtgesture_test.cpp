// The gesture unit behind the glove server, played by the peer: opening by port name,
// recognised symbols and faulty records, the commands' bytes and answers, recognition databases.
#include <string.h>

#include <string>

#include "vtsupport.h"

namespace {

using VtGestureUnit = VtLibrary;

int idof(int channel) { return vt_server_id_of(channel & 0xFF, (channel >> 8) & 0xFF); }

class Unit {
 public:
  explicit Unit(DevicePeer &peer) : peer_(peer) {
    peer.server();
    peer.device("4", "gesture");
    record_ = vt_create_GesturePlus(1, "COM8", 9600, 0);
  }
  ~Unit() { vt_destroy_GesturePlus(record_); }
  VtGesture *record() const { return record_; }
  // What the unit received since the last call.
  std::string received() { return peer_.log("4"); }

 private:
  DevicePeer &peer_;
  VtGesture *record_;
};

TEST_F(VtGestureUnit, PortNamesChooseTheDevice) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.server();
  peer.device("4", "gesture");
  peer.device("7", "gesture");
  peer.device("3", "fastrak");
  VtGesture *first = vt_create_GesturePlus(1, "COM8", 9600, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(idof(first->channel), 4);
  {
    Stderr err;
    EXPECT_EQ(vt_open_gesture_port("COM8:5", 9600), 0);
    EXPECT_EQ(err.text(),
              "\nWARNING in vt_open_gesture_port: current VTGesture structure already is associated with an open "
              "port. Aborting open.");
  }
  VtGesture *second = vt_create_GesturePlus(1, "COM8:7", 9600, 0);
  EXPECT_EQ(idof(second->channel), 7);
  // A tracker on the same box takes device 3; a Fastrak behind a box reboots in 5 seconds.
  vt_set_verbose(1);
  Stderr err;
  VtTracker *t = vt_create_Tracker("fastrak", 1, "COM8:", 9600, nullptr);
  EXPECT_EQ(idof(t->port), 3);
  EXPECT_NE(err.text().find("\nBooting Tracker.....done."), std::string::npos);
  EXPECT_EQ(peer.log("3").substr(0, 5), "c\x19" "cfS");
  vt_destroy_Tracker(t);
  vt_destroy_GesturePlus(second);
  vt_destroy_GesturePlus(first);
  Stderr none;
  EXPECT_EQ(vt_open_gesture_port("COM8", 9600), 0);
  EXPECT_EQ(none.text(), "\nWARNING in vt_open_gesture_port: no current VTGesture structure Aborting open.");
}

TEST_F(VtGestureUnit, RecognisedSymbols) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  Unit unit(peer);
  int channel = unit.record()->channel;
  ASSERT_GE(channel, 0);
  EXPECT_EQ(vt_get_gesture(channel), -1);
  EXPECT_EQ(vt_get_gesture(-1), -1);
  peer.emit("4", std::string("RA\0", 3));
  EXPECT_EQ(vt_serial_wait_for_bytes(channel, 1000), 3);
  EXPECT_EQ(vt_get_gesture(channel), 65);
  peer.emit("4", "QA\x01");
  vt_serial_wait_for_bytes(channel, 1000);
  Stderr err;
  EXPECT_EQ(vt_get_gesture(channel), -1);
  EXPECT_EQ(err.text(), "\n\nERROR in vt_get_gesture:\n      Head byte = Q & Tail byte = 0x1\n");
}

TEST_F(VtGestureUnit, CommandBytes) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  Unit unit(peer);
  int level = 7, twodigits = 12, on = 1, symbol = 'A', none = 0, all = 256, many = 257;
  unsigned char symbols[256];
  for (int i = 0; i < 256; i++) symbols[i] = static_cast<unsigned char>(i);
  const struct {
    int number;
    const void *a, *b;
    int result;
    std::string sent;
  } cases[] = {
      {VT_GESTURE_LOADUSER, "", nullptr, 1, std::string("Udefault\0", 9)},
      {VT_GESTURE_LOADUSER, "demo1", nullptr, 1, std::string("Udemo1\0", 7)},
      {VT_GESTURE_DELETEUSER, "demo1", nullptr, 1, std::string("Xdemo1\0", 7)},
      {VT_GESTURE_USERLEVEL, &level, nullptr, 1, "L7"},
      {VT_GESTURE_USERLEVEL, &twodigits, nullptr, 1, "L1"},
      {VT_GESTURE_SYMBOLTABLE, &none, nullptr, 1, ""},
      {VT_GESTURE_SYMBOLTABLE, &all, symbols, 1, std::string("S\0", 2) + std::string(reinterpret_cast<char *>(symbols), 256)},
      {VT_GESTURE_SYMBOLTABLE, &many, symbols, 0, ""},
      {VT_GESTURE_SYMBOLTABLE, &level, nullptr, 0, ""},
      {VT_GESTURE_RECOGNITION, &on, nullptr, 1, std::string("R\x01", 2)},
      {VT_GESTURE_TRAIN, &symbol, nullptr, 1, std::string("T\x01\0A\0", 5)},
      {VT_GESTURE_DELETEALL, nullptr, nullptr, 1, std::string("M\0", 2)},
      {VT_GESTURE_DELETELAST, nullptr, nullptr, 1, std::string("C\0", 2)},
      {VT_GESTURE_LOADUSER, nullptr, nullptr, 0, ""},
  };
  for (const auto &c : cases) {
    Stderr quiet;
    EXPECT_EQ(vt_send_gesture_command(c.number, c.a, c.b), c.result) << c.number;
    EXPECT_EQ(Hex(unit.received()), Hex(c.sent)) << c.number;
  }
}

TEST_F(VtGestureUnit, ErrorAnswersPrintInDebugModeOnly) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  Unit unit(peer);
  peer.set("4", "error", Hex("no user"));
  peer.set("4", "more", Hex("try again"));
  {
    Stderr err;
    EXPECT_EQ(vt_send_gesture_command(VT_GESTURE_LOADUSER, "ghost", nullptr), 1);
    EXPECT_EQ(err.text(), "");
  }
  vt_set_debug(1);
  Stderr err;
  EXPECT_EQ(vt_send_gesture_command(VT_GESTURE_LOADUSER, "ghost", nullptr), 1);
  EXPECT_EQ(err.text(), "\nCyberServer response: e3-no user\nCyberServer response: try again");
}

TEST_F(VtGestureUnit, RecognitionDatabasesBothWays) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  Unit unit(peer);
  std::string database;
  for (int i = 0; i < 600; i++) database += static_cast<char>(1 + i % 250);
  vtfile("demo.rdb", database);
  EXPECT_EQ(vt_send_gesture_command(VT_GESTURE_PUTRDB, "demo", "demo.rdb"), 1);
  EXPECT_EQ(vt_send_gesture_command(VT_GESTURE_GETRDB, "demo", "back.rdb"), 1);
  EXPECT_EQ(vtread("back.rdb"), database);
  const struct {
    int number;
    const char *user, *file, *message;
  } refusals[] = {
      {VT_GESTURE_PUTRDB, nullptr, "demo.rdb", "ERROR in PutRDBFile: pointer to first argument is bad.\n"},
      {VT_GESTURE_PUTRDB, "demo", "", "ERROR in PutRDBFile: host file name is empty string.\n"},
      {VT_GESTURE_PUTRDB, "demo", "missing.rdb", "ERROR in PutRDBFile: can't open host file \"missing.rdb\".\n"},
      {VT_GESTURE_GETRDB, "demo", nullptr, "ERROR in GetRDBFile: host file name is NULL.\n"},
  };
  for (const auto &r : refusals) {
    Stderr err;
    EXPECT_EQ(vt_send_gesture_command(r.number, r.user, r.file), 0);
    std::string text = err.text();
    EXPECT_EQ(text.compare(0, strlen(r.message), r.message), 0) << text;
  }
  peer.set("4", "unterminated", "1");
  Stderr err;
  EXPECT_EQ(vt_send_gesture_command(VT_GESTURE_GETRDB, "demo", "back.rdb"), 0);
  std::string message = "ERROR in GetRDBFile: RDB file demo was not terminated.\n";
  EXPECT_EQ(err.text().compare(0, message.size(), message), 0);
}

}  // namespace
