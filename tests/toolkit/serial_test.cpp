// Serial port records of sensors on a line whose far end a peer plays.
#include <gtest/gtest.h>

#include "scene.h"
#include "serialpeer.h"
#include "toolkit/devices/devices.h"
#include "toolkit/devices/port.h"

namespace {

using SerialRecords = tk::Universe;

TEST_F(SerialRecords, SettingsReachTheLineAndClosingHangsItUp) {
  SerialPeer peer(6);
  ASSERT_TRUE(peer.ready());
  WTserialport *port = _WTserial_open("COM6");
  ASSERT_NE(port, nullptr);
  EXPECT_TRUE(peer.held());
  EXPECT_EQ(_WTserial_setbaud(port, 19200), 1);
  EXPECT_EQ(_WTserial_getbaud(port), 19200);
  EXPECT_EQ(peer.line().baud, 19200);
  // A pseudo-terminal carries 8-bit bytes only: it refuses 7, and the byte size read back is the
  // line's.
  _WTserial_setdatabits(port, 7);
  EXPECT_EQ(_WTserial_getdatabits(port), peer.line().databits);
  EXPECT_EQ(_WTserial_setdatabits(port, 8), 1);
  EXPECT_EQ(peer.line().databits, 8);
  peer.write("abc");
  int waiting = 0;
  for (int i = 0; i < 200 && (waiting = _WTserial_inqueue(port)) < 3; i++) _WTsys_sleep(5);
  EXPECT_EQ(waiting, 3);
  _WTserial_setdata(port, 42);
  EXPECT_EQ(_WTserial_getdata(port), 42);
  _WTserial_close(port);
  EXPECT_TRUE(peer.hungup());
}

TEST_F(SerialRecords, NullAndDeadRecordsRefuse) {
  _WTserial_close(nullptr);
  _WTserial_setdata(nullptr, 5);
  EXPECT_EQ(_WTserial_getdata(nullptr), 0);
  SerialPeer peer(6);
  ASSERT_TRUE(peer.ready());
  WTserialport *port = _WTserial_open("COM6");
  ASSERT_NE(port, nullptr);
  void *live = port->handle;
  _WTport_close(live);
  EXPECT_EQ(_WTserial_getbaud(port), -1);
  EXPECT_EQ(_WTserial_getdatabits(port), -1);
  EXPECT_EQ(_WTserial_setbaud(port, 9600), 0);
  EXPECT_EQ(_WTserial_setdatabits(port, 8), 0);
  port->handle = nullptr;
  _WTserial_close(port);
}

TEST_F(SerialRecords, DeletingTheSensorClosesItsPort) {
  SerialPeer peer(6);
  ASSERT_TRUE(peer.ready());
  WTserialport *port = _WTserial_open("COM6");
  ASSERT_NE(port, nullptr);
  WTsensor *sensor = WTsensor_new(nullptr, nullptr, nullptr, port, 0, 0);
  ASSERT_NE(sensor, nullptr);
  EXPECT_TRUE(peer.held());
  WTsensor_delete(sensor);
  EXPECT_TRUE(peer.hungup());
}

}  // namespace
