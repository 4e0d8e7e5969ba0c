// Trackers by model name, and the Polhemus models against a peer playing them: each boot's
// texts, float and 16-bit records with their faults, stations and CRT sync.
#include <math.h>

#include <string>

#include "vtsupport.h"

namespace {

using VtPolhemus = VtLibrary;

const float kDegree = 3.14159265f / 180.0f;

VtTrackerSetup stations(int n, int first) {
  VtTrackerSetup s = {};
  s.first = first;
  for (int i = 0; i < n; i++) {
    VtReceiverSetup &r = s.receiver[i];
    r.enabled = 1;
    r.hemisign = -1;
    r.hemiaxis = 'y';
    r.a.usedefault = 1;
    r.b.usedefault = 1;
  }
  return s;
}

const char *const kAligned = "0.00,0.00,0.00,0.000000,1.000000,0.000000,0.000000,0.000000,1.000000\r";

TEST_F(VtPolhemus, ModelsByName) {
  VtTracker *t = vt_create_Tracker("ISOTRAK", 0, nullptr, 0, nullptr);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->model, VT_ISOTRAK);
  EXPECT_FLOAT_EQ(vt_tracker_receiver_calibration(t, 1)[0][1], 0.0050758142f);
  EXPECT_EQ(vt_tracker_receiver_calibration(t, 5), nullptr);
  vt_destroy_Tracker(t);
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  t = vt_create_Tracker("off", 1, peer.name().c_str(), 9600, nullptr);
  EXPECT_EQ(t->model, VT_TRACKER_OFF);
  EXPECT_EQ(t->port, -1);
  EXPECT_EQ(vt_serial_find_port(peer.name().c_str()), -1);
  EXPECT_EQ(vt_tracker_request_sample(), 0);
  vt_destroy_Tracker(t);
  Stderr err;
  t = vt_create_Tracker("isotrak3", 1, peer.name().c_str(), 9600, nullptr);
  EXPECT_EQ(t->model, -1);
  EXPECT_EQ(vt_take_error(), VT_ETRACKER);
  EXPECT_EQ(err.text(), "\n\nERROR in init_Tracker:\n     Tracker Error\n=>\tcalled by: vt_create_Tracker\n");
  vt_destroy_Tracker(t);
}

TEST_F(VtPolhemus, EachModelBootsInOrder) {
  const std::string reboot = "c\x19" "cfS";
  const struct {
    const char *model, *kind;
    int stations, first, mask;
    std::string texts, progress;
  } cases[] = {
      {"fastrak", "fastrak", 1, 1, 1,
       reboot + "O1,2,4,1\rR1\rb1\rN1,0,0,0\rl1,1\rH1,0,-1,0\rA1," + kAligned + "b1\rl2,0\rl3,0\rl4,0\ru",
       "\nBooting Tracker...............done."},
      {"isotrak", "isotrak", 1, 1, 1, reboot + "KO2,4,1\rR1\rb1\rH1,0,-1,0\rA1,0,0,0,0,10,0,0,0,10\rb1\ru",
       "\nBooting Trackerdone."},
      {"isotrakII", "isotrak2", 2, 0, 3,
       reboot + "mO2,4,1\rR1\rA1," + kAligned + "H1,0,-1,0\rb1\rH2,0,-1,0\rb2\rl\ru", "\nBooting Trackerdone."},
  };
  for (const auto &c : cases) {
    DevicePeer peer(8);
    ASSERT_TRUE(peer.ready());
    peer.device("-", c.kind);
    VtTrackerSetup setup = stations(c.stations, c.first);
    vt_set_verbose(1);
    Stderr err;
    VtTracker *t = vt_create_Tracker(c.model, 1, peer.name().c_str(), 9600, &setup);
    ASSERT_NE(t, nullptr);
    std::string progress = err.text();
    EXPECT_NE(progress.find(c.progress), std::string::npos) << progress;
    EXPECT_GE(t->port, 0) << c.model;
    EXPECT_EQ(t->device, c.mask) << c.model;
    EXPECT_EQ(peer.log("-"), c.texts) << c.model;
    EXPECT_EQ(std::string(polhemus_status_record()), "21S" + std::string(50, ' ') + "\r\n");
    vt_destroy_Tracker(t);
  }
}

TEST_F(VtPolhemus, FastrakRecords) {
  PlainTracker plain("fastrak", "fastrak");
  VtTracker *t = plain.tracker;
  ASSERT_NE(t, nullptr);
  DevicePeer &peer = plain.peer;
  t->device = 1;
  const float offsets[6] = {1.0f, 0, 0, 0, 0, 0};
  vt_tracker_set_offsets(1, offsets);
  peer.set("-", "records", "1.5,2,3,10,20,30");
  peer.set("-", "statuschar", "45");
  {
    Stderr err;
    EXPECT_EQ(vt_tracker_request_sample(), 1);
    EXPECT_EQ(vt_tracker_read_sample(), 1);
    EXPECT_EQ(vt_take_error(), VT_EPOLHEMUS);
    EXPECT_EQ(err.text(), "\n\nERROR in polhemus_head:\n     Polhemus Error Code 69 returned by polhemus\n");
  }
  EXPECT_FLOAT_EQ(t->pose[0][0], 2.5f);
  EXPECT_FLOAT_EQ(t->pose[0][2], 3.0f);
  EXPECT_NEAR(t->pose[0][3], 10 * kDegree, 1e-6);
  EXPECT_EQ(peer.log("-"), "P");
  peer.set("-", "statuschar", "20");
  const struct {
    const char *key, *value;
    int code;
    const char *report;
  } faults[] = {
      {"tail", "0d", VT_ETAIL, "\n\nERROR in polhemus_tail: tail bytes = 0XD 0:\n     Unexpected tail bytes"},
      {"head", "303220", VT_EHEAD, "\n\nERROR in polhemus_head: head string = 02  :\n     Unexpected head bytes\n"},
  };
  for (const auto &f : faults) {
    peer.set("-", f.key, f.value);
    Stderr err;
    EXPECT_EQ(vt_tracker_request_sample(), 1);
    EXPECT_EQ(vt_tracker_read_sample(), 0);
    EXPECT_EQ(vt_take_error(), f.code);
    std::string text = err.text();
    EXPECT_EQ(text.find(f.report), 0u) << text;
    peer.set("-", "tail", "0d0a");
    peer.set("-", "head", "");
  }
}

TEST_F(VtPolhemus, IsotrakRecordsAreScaledWords) {
  PlainTracker plain("isotrak", "isotrak");
  VtTracker *t = plain.tracker;
  ASSERT_NE(t, nullptr);
  t->device = 1;
  plain.peer.set("-", "records", "100,-200,300,1000,2000,-3000");
  EXPECT_EQ(vt_tracker_request_sample(), 1);
  EXPECT_EQ(vt_tracker_read_sample(), 1);
  EXPECT_EQ(t->words[0][1], -200);
  EXPECT_FLOAT_EQ(t->pose[0][0], 100 * 0.0050758142f);
  EXPECT_FLOAT_EQ(t->pose[0][5], -3000 * 0.00012207404f);
  // And back: a pose set goes to words.
  const float pose[6] = {1.0f, 0, 0, 0, 0, 0};
  EXPECT_EQ(vt_tracker_set_pose(1, pose), 1);
  EXPECT_EQ(t->words[0][0], 197);
  EXPECT_EQ(vt_tracker_set_pose(5, pose), 0);
}

TEST_F(VtPolhemus, AnUnpluggedStationIsLeftOut) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.device("-", "isotrak2");
  peer.set("-", "plugged", "10");
  VtTrackerSetup setup = stations(2, 1);
  Stderr err;
  VtTracker *t = vt_create_Tracker("isotrakII", 1, peer.name().c_str(), 9600, &setup);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->device, 1);
  EXPECT_EQ(err.text(), "WARNING in ActivateIsotrakIIStations: the receiver for station 2 is not plugged in.\n");
  std::string sent = peer.log("-");
  EXPECT_EQ(sent.substr(sent.size() - 6), "l\rl2\ru");
  vt_destroy_Tracker(t);
}

TEST_F(VtPolhemus, CrtSyncIsTheFastraksOnly) {
  PlainTracker plain("isotrak", "isotrak");
  ASSERT_NE(plain.tracker, nullptr);
  Stderr err;
  EXPECT_EQ(vt_send_polhemus_command(VT_POLHEMUS_CRTSYNC, 1, 0, nullptr), 0);
  EXPECT_EQ(vt_take_error(), VT_EPOLHEMUS);
  EXPECT_EQ(plain.peer.log("-"), "");
}

TEST_F(VtPolhemus, OffsetsFollowTheReference) {
  VtTracker *t = vt_create_Tracker("fastrak", 0, nullptr, 0, nullptr);
  ASSERT_NE(t, nullptr);
  const float reference[3] = {10, 20, 30}, pose[6] = {1, 2, 3, 0.1f, 0.2f, 0.3f};
  vt_tracker_set_offsets(2, pose);
  vt_tracker_set_reference(reference);
  float out[6];
  vt_tracker_get_offsets(2, out);
  for (int i = 0; i < 6; i++) EXPECT_FLOAT_EQ(out[i], pose[i]) << i;
  EXPECT_FLOAT_EQ(vt_tracker_receiver_calibration(t, 2)[0][0], 11.0f);
  EXPECT_FLOAT_EQ(vt_tracker_receiver_calibration(t, 4)[2][0], 30.0f);
  EXPECT_EQ(vt_tracker_get_offsets(0, out), 0);
  vt_destroy_Tracker(t);
}

}  // namespace
