// The glove library's serial ports against a peer on a pseudo-terminal: names, speeds and
// time-outs, the port table, and reads that come up short.
#include <string.h>

#include <string>

#include "../support/vtbytes.h"
#include "toolkit/devices/devices.h"
#include "vtsupport.h"

namespace {

using VtSerial = VtLibrary;

TEST_F(VtSerial, IrixNamesOpenComPorts) {
  EXPECT_STREQ(vt_serial_map_name("/dev/ttyd2"), "COM2:");
  EXPECT_STREQ(vt_serial_map_name("COM3"), "COM3");
  DevicePeer peer(7);
  ASSERT_TRUE(peer.ready());
  int port = vt_serial_open("/dev/ttyd7", 9600);
  ASSERT_GE(port, 0);
  EXPECT_EQ(vt_serial_find_port("/dev/ttyd7"), port);
  EXPECT_EQ(vt_serial_write_string(port, "hello"), 1);
  EXPECT_EQ(peer.read(), "hello");
}

TEST_F(VtSerial, SpeedsAndTimeouts) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  int port = vt_serial_open(peer.name().c_str(), 110);
  ASSERT_GE(port, 0);
  EXPECT_EQ(peer.line().baud, 115200);
  EXPECT_EQ(peer.line().databits, 8);
  vt_serial_close(port);
  Stderr err;
  EXPECT_EQ(vt_serial_open(peer.name().c_str(), 7), -1);
  EXPECT_EQ(vt_take_error(), VT_EBAUD);
  EXPECT_EQ(err.text(),
            "\n\nERROR in baud_from_int(7):\n     baud rate not supported.\n=>\tcalled by: vt_serial_configure\n"
            "=>\tcalled by: open_windows_serial_port\n=>\tcalled by: vt_serial_open\n");
  EXPECT_TRUE(peer.hungup());
  EXPECT_EQ(vt_serial_find_port(peer.name().c_str()), -1);
  EXPECT_EQ(vt_serial_timeouts(9600).writemultiplier, 2);
  EXPECT_EQ(vt_serial_timeouts(115200).writemultiplier, 1);
  EXPECT_EQ(vt_serial_timeouts(9600).interval, 100);
}

TEST_F(VtSerial, ANameOpenTwiceIsRefusedAndTheFirstStillWorks) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  int port = vt_serial_open(peer.name().c_str(), 9600);
  ASSERT_GE(port, 0);
  EXPECT_EQ(vt_serial_open(peer.name().c_str(), 9600), -1);
  EXPECT_EQ(vt_take_error(), VT_EPORTINUSE);
  peer.write("ok");
  char text[3] = {};
  EXPECT_EQ(vt_serial_read_bytes(port, text, 2), 1);
  EXPECT_STREQ(text, "ok");
}

TEST_F(VtSerial, LongNamesAreKeptWholeAndLongerOnesRefused) {
  const VtLine *system = vt_serial_set_line(vtbytes::line());
  std::string a(64, 'p'), b = a;
  b[63] = 'q';
  int pa = vt_serial_open(a.c_str(), 9600);
  EXPECT_GE(pa, 0);
  EXPECT_GE(vt_serial_open(b.c_str(), 9600), 0);
  EXPECT_EQ(vt_serial_find_port(a.c_str()), pa);
  EXPECT_EQ(vt_serial_open(a.c_str(), 9600), -1);
  EXPECT_EQ(vt_take_error(), VT_EPORTINUSE);
  Stderr err;
  std::string longer(65, 'p');
  EXPECT_EQ(vt_serial_open(longer.c_str(), 9600), -1);
  EXPECT_EQ(err.text(), "Long serial port name: " + longer + "\nCheck your RarudodIder resource file.\n");
  vt_serial_close_ports();
  vt_serial_set_line(system);
}

TEST(VtSerialDeathTest, TheNinthOpenPortEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        _WTdevice_setspeed(1000);
        vt_serial_set_line(vtbytes::line());
        for (int i = 0; i < 8; i++)
          if (vt_serial_open(("port" + std::to_string(i)).c_str(), 9600) < 0) exit(2);
        vt_serial_open("port8", 9600);
        exit(3);
      },
      ::testing::ExitedWithCode(1), "");
}

TEST_F(VtSerial, ShortReadsGiveMinusTheUnitsRead) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  int port = vt_serial_open(peer.name().c_str(), 9600);
  ASSERT_GE(port, 0);
  const struct {
    int (*read)(int, void *, int);
    int n;
    const char *bytes;
    int expected;
  } cases[] = {
      {vt_serial_read_bytes, 10, "abcd", -4},
      {vt_serial_read_shorts, 5, "abcdefg", -3},
      {vt_serial_read_longs, 2, "abcdef", -1},
      {vt_serial_read_longs, 1, "abcd", 1},
  };
  for (const auto &c : cases) {
    peer.write(c.bytes);
    char buffer[16] = {};
    Stderr quiet;
    EXPECT_EQ(c.read(port, buffer, c.n), c.expected) << c.bytes;
    EXPECT_EQ(vt_take_error(), c.expected < 1 ? VT_ETIMEOUT : 0) << c.bytes;
    EXPECT_EQ(std::string(buffer), c.bytes);
  }
}

TEST_F(VtSerial, TextReads) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  int port = vt_serial_open(peer.name().c_str(), 9600);
  ASSERT_GE(port, 0);
  char text[32];
  peer.write("21y2\r\nnext");
  EXPECT_STREQ(vt_serial_read_line(port, text, 31), "21y2\r");
  EXPECT_EQ(vt_serial_read_byte(port), '\n');
  EXPECT_EQ(vt_serial_read_to_terminator(port, 'z', text, 31), -4);
  EXPECT_EQ(std::string(text, 4), "next");
  peer.write(std::string("one\0two", 7));
  EXPECT_EQ(vt_serial_read_string(port, text, 31), 3);
  EXPECT_STREQ(text, "one");
  EXPECT_EQ(vt_serial_read_string(port, text, 2), 2);
  EXPECT_STREQ(text, "tw");
  EXPECT_EQ(vt_serial_read_ushort(port), -1);
  EXPECT_EQ(vt_take_error(), VT_ETIMEOUT);
  peer.write("\x34\x12");
  EXPECT_EQ(vt_serial_read_ushort(port), 0x1234);
  EXPECT_EQ(vt_serial_write_ushort(port, 0xABCD), 1);
  EXPECT_EQ(peer.read(), "\xCD\xAB");
}

}  // namespace
