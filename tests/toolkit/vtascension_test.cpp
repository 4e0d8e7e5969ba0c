// Ascension birds and flocks against a peer playing them: the boot's bytes, address prefixes,
// rotation words, sample records and the configuration file.
#include <string.h>

#include <string>

#include "vtsupport.h"

namespace {

using VtAscension = VtLibrary;

VtTrackerSetup birdsetup() {
  VtTrackerSetup s = {};
  s.first = 2;
  s.sync = 5;
  s.outputlock = 1;
  VtReceiverSetup &r = s.receiver[0];
  r.enabled = 1;
  r.hemisign = -1;
  r.hemiaxis = 'z';
  r.a.axes[0] = 'y';
  r.a.angles[0] = 90.0f;
  r.b.usedefault = 1;
  return s;
}

// A tracker of the model booted on the peer with the setup.
VtTracker *booted(const char *model, DevicePeer &peer, VtTrackerSetup *setup) {
  VtTracker *t = vt_create_Tracker(model, 1, peer.name().c_str(), 9600, setup);
  EXPECT_TRUE(t && t->port >= 0) << model;
  return t;
}

const std::string identitywords = Bytes("0000 ff7f 0000 ff7f 0000 ff7f");

TEST_F(VtAscension, ABirdBootsInOrder) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.device("-", "bird");
  peer.set("-", "asleep", "1");
  VtTrackerSetup setup = birdsetup();
  VtTracker *t = booted("bird", peer, &setup);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->device, 1);
  // Status, point mode, status and run (asleep), then the bird's parameters: output form,
  // filter, output lock, scaling, hemisphere (-1 on z), alignment (a turn of 90 degrees about y
  // goes as 89.9: cos 57), position reference, reference frame; then the sync byte.
  EXPECT_EQ(Hex(peer.log("-")),
            Hex(Bytes("4f00 20 4f00 46 59 50040200 500e01 50030000 4c0c01") + "J" +
                Bytes("0000 ff7f ff7f 3900 0000 ff7f") + Bytes("501101") + "H" + identitywords + Bytes("4105")));
  vt_destroy_Tracker(t);
}

TEST_F(VtAscension, AddressPrefixes) {
  const struct {
    int status, address;
    const char *sent;  // hex; null: refused
  } cases[] = {
      {0x0001, 0, "47"}, {0x0001, 5, "f547"}, {0x0401, 20, "4f00 e447"}, {0x0001, 20, nullptr}, {0x0001, 31, "ef47"},
  };
  for (const auto &c : cases) {
    PlainTracker plain("flock", "flock");
    ASSERT_NE(plain.tracker, nullptr);
    DevicePeer &peer = plain.peer;
    peer.set("-", "status", std::to_string(c.status));
    Stderr err;
    EXPECT_EQ(vt_send_ascension_command(23, c.address, 0, nullptr), c.sent ? 1 : 0) << c.address;
    EXPECT_EQ(Hex(peer.log("-")), c.sent ? Hex(Bytes(c.sent)) : Hex(Bytes("4f00"))) << c.address;
    std::string text = err.text();
    if (!c.sent) {
      EXPECT_EQ(text.find("\nERROR in SendFBBPrefix: birdAddress > 15 but flock is not using expanded addressing mode."), 0u);
    }
    vt_take_error();
  }
}

TEST_F(VtAscension, HemisphereAndRotationWords) {
  PlainTracker plain("bird", "bird");
  ASSERT_NE(plain.tracker, nullptr);
  DevicePeer &peer = plain.peer;
  char z = 'z';
  EXPECT_EQ(vt_send_ascension_command(17, 0, -1, &z), 1);
  EXPECT_EQ(Hex(peer.log("-")), "4c0c01");
  VtRotation turn = {};
  turn.axes[0] = 'Z';
  turn.angles[0] = 45.0f;
  EXPECT_EQ(vt_send_ascension_command(16, 0, 0, &turn), 1);
  // sin 45 = cos 45 = 0.7071 (23170).
  EXPECT_EQ(Hex(peer.log("-")), Hex("J" + Bytes("825a 825a 0000 ff7f 0000 ff7f")));
  {
    Stderr err;
    EXPECT_EQ(vt_send_ascension_command(18, 0, 15, nullptr), 0);
    EXPECT_EQ(err.text().find("\n\nERROR in ascension_next_transmitter:\n      transmitter address > 14.\n"), 0u);
  }
  EXPECT_EQ(vt_send_ascension_command(18, 0, 3, nullptr), 1);
  EXPECT_EQ(Hex(peer.log("-")), "3030");
}

TEST_F(VtAscension, SampleRecords) {
  PlainTracker plain("flock", "flock");
  VtTracker *t = plain.tracker;
  ASSERT_NE(t, nullptr);
  DevicePeer &peer = plain.peer;
  // x = 256 has bit 9 clear: its high byte's bit 0 is clear and its low byte carries the start
  // flag.
  peer.set("-", "records", "256,-1000,1232,16384,-32768,32764");
  t->device = 1;
  EXPECT_EQ(vt_tracker_request_sample(), 1);
  EXPECT_EQ(vt_tracker_read_sample(), 1);
  const int16_t expected[6] = {256, -1000, 1232, 16384, -32768, 32764};
  for (int i = 0; i < 6; i++) EXPECT_EQ(t->words[0][i], expected[i]) << i;
  EXPECT_FLOAT_EQ(vt_tracker_get_pose(1)[0], 256 * 0.0027905274f);
  EXPECT_FLOAT_EQ(vt_tracker_get_pose(1)[3], 16384 * 0.000095873802f);
  // Group mode: each record is followed by its bird's address.
  peer.set("-", "records", "4,8,12,16,20,24/-4,-8,-12,-16,-20,-24");
  EXPECT_EQ(vt_send_ascension_command(14, 0, 1, nullptr), 1);
  t->calibration->words[1] = 1;
  t->device = 3;
  EXPECT_EQ(vt_tracker_request_sample(), 1);
  EXPECT_EQ(vt_tracker_read_sample(), 1);
  EXPECT_EQ(t->words[0][5], 24);
  EXPECT_EQ(t->words[1][0], -4);
  EXPECT_EQ(vt_serial_bytes_ready(t->port), 0);
  // A record without its start flag.
  peer.set("-", "nohead", "1");
  EXPECT_EQ(vt_tracker_request_sample(), 1);
  Stderr err;
  EXPECT_EQ(vt_tracker_read_sample(), 0);
  EXPECT_EQ(vt_take_error(), VT_EASCENSION);
  EXPECT_EQ(err.text().find("\n\nERROR in check_ascension_head:\n     Ascension Error\n"), 0u);
}

TEST_F(VtAscension, AnExpandedFlockBoots) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.device("-", "flock");
  // Address 0 is the master and uses expanded addressing; birds 1 and 2 are present and
  // accessible, so they run in group mode whatever the setup said.
  peer.set("-", "status", "0x8401,0x0001,0x0001");
  peer.set("-", "fbb", "1,2,3,4,5,6,7");
  peer.set("-", "flock", "0xa1,0xa1");
  VtTrackerSetup setup = birdsetup();
  VtTracker *t = booted("flock", peer, &setup);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->device, 3);
  const int32_t words[4] = {0, 1, 1, 0};
  EXPECT_EQ(memcmp(t->calibration->words, words, sizeof words), 0);
  std::string sent = peer.log("-");
  EXPECT_EQ(Hex(sent.substr(0, 10)), "4f004f004f214f004f24") << "status twice, configuration, status, flock";
  EXPECT_NE(sent.find(Bytes("f1503202")), std::string::npos) << "two birds counted";
  EXPECT_NE(sent.find(Bytes("f159")), std::string::npos);
  EXPECT_NE(sent.find(Bytes("f259")), std::string::npos);
  EXPECT_EQ(Hex(sent.substr(sent.size() - 5)), "5023014105") << "group mode, then sync";
  vt_destroy_Tracker(t);
}

TEST_F(VtAscension, TheConfigurationFileIsSentAndReadBack) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.device("-", "bird");
  std::string file = "junk CONFIGURATION of the unit\n";
  std::string back;
  for (int i = 0; i < 35; i++) {
    file += std::to_string(i) + (i % 6 == 5 ? "\n" : " ");
    back += std::to_string(i == 3 ? 99 : i) + ",";
  }
  vtfile("ascension.config", file);
  peer.set("-", "config", back + "0");
  VtTrackerSetup setup = birdsetup();
  setup.configfile = 1;
  Stderr err;
  VtTracker *t = booted("bird", peer, &setup);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(err.text(),
            "\nWARNING: Wrong number of parameters: read 36, should be 36."
            "\nWARNING in ascension_config: bad param[3],    3 !=   99");
  std::string sent = peer.log("-");
  std::string config = "C";
  for (int i = 0; i < 35; i++) config += static_cast<char>(i);
  config += std::string(1, '\0') + "O\x07";
  EXPECT_NE(sent.find(config), std::string::npos);
  vt_destroy_Tracker(t);
}

TEST_F(VtAscension, AFailedBootClosesThePort) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.device("-", "bird");
  peer.set("-", "status", "0");
  Stderr err;
  VtTracker *t = vt_create_Tracker("bird", 1, peer.name().c_str(), 9600, nullptr);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->port, -1);
  EXPECT_TRUE(peer.hungup());
  EXPECT_EQ(err.text(),
            "\n\nERROR in ErrorCheck:\n      status word == 0, bird is probably in standby mode aborting boot.\n"
            "=>\tcalled by: vt_ascension_boot\n=>\tcalled by: vt_open_tracker_port\n=>\tcalled by: vt_create_Tracker\n");
  vt_destroy_Tracker(t);
}

}  // namespace
