// Devices behind the glove server box: the box made and loaded on first use, one channel per
// device id, packets read, routed, dropped and refused, and configuration files both ways.
#include <string.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "vtsupport.h"

namespace {

using VtServerLink = VtLibrary;

const char *ftdemo(const char *) { return "ftdemo"; }

int channelof(int handle) { return (handle >> 8) & 0xFF; }

// The box on the peer's line and a channel for each device id (the box made on the first).
std::vector<int> devices(DevicePeer &peer, std::initializer_list<int> ids) {
  std::vector<int> channels;
  if (!peer.ready()) return channels;
  peer.server();
  for (int id : ids) channels.push_back(vt_open_server_device((peer.name() + ":" + std::to_string(id)).c_str(), 9600));
  return channels;
}

std::string readchannel(int handle, int n) {
  char buffer[64] = {};
  int r = vt_serial_read_bytes(handle, buffer, n);
  return r == 1 ? std::string(buffer, static_cast<size_t>(n)) : "failed " + std::to_string(r);
}

TEST_F(VtServerLink, ADeviceNameMakesTheServerAndItsChannel) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.server();
  vt_set_server_configuration(ftdemo);
  vt_set_verbose(1);
  Stderr err;
  const char name[] = "COM8:3";
  int handle = vt_open_server_device(name, 9600);
  ASSERT_GE(handle, 0);
  EXPECT_STREQ(name, "COM8:3");
  EXPECT_EQ(err.text(), "\nLoading server configuration ftdemo ... \nServer response: Loaded ftdemo\ndone.");
  EXPECT_EQ(handle & VT_CHANNEL_BIT, VT_CHANNEL_BIT);
  EXPECT_EQ(channelof(handle), 1);
  ASSERT_NE(vt_current_server(), nullptr);
  EXPECT_EQ(channelof(vt_current_server()->port), 0);
  EXPECT_EQ(peer.read(), std::string("\xFF\x08" "Cftdemo\0\0", 11));
  EXPECT_EQ(vt_serial_write_string(handle, "hi"), 1);
  EXPECT_EQ(peer.read(), std::string("\x03\x02hi\0", 5));
}

TEST_F(VtServerLink, ChannelsGetOnlyTheirOwnBytes) {
  DevicePeer peer(8);
  std::vector<int> channels = devices(peer, {3, 254});
  ASSERT_EQ(channels.size(), 2u);
  int three = channels[0], last = channels[1];
  ASSERT_GE(three, 0);
  ASSERT_GE(last, 0);
  EXPECT_EQ(channelof(last), 2);
  peer.read();
  peer.write(std::string("\x03\x02" "ab\0" "\x09\x01z\0" "\xFE\x02" "cd\0", 14));
  Stderr err;
  EXPECT_EQ(readchannel(three, 2), "ab");
  EXPECT_EQ(readchannel(last, 2), "cd");
  EXPECT_EQ(err.text(), "ERROR in vt_serial_multiplexor_read: bad buffer index = -1\n");
  EXPECT_EQ(vt_serial_write_bytes(last, "xy", 2), 1);
  EXPECT_EQ(vt_serial_write_bytes(three, "", 0), 1);
  EXPECT_EQ(peer.read(), std::string("\xFE\x02xy\0", 5));
  // Waiting packets go to their channels without a read; those of no channel are dropped.
  peer.write(std::string("\x09\x01z\0" "\x03\x03" "efg\0", 10));
  EXPECT_EQ(vt_serial_wait_for_bytes(three, 1000), 3);
  EXPECT_EQ(vt_serial_bytes_ready(last), 0);
  EXPECT_EQ(readchannel(three, 3), "efg");
}

TEST_F(VtServerLink, BadTailsAreNamed) {
  DevicePeer peer(8);
  std::vector<int> channels = devices(peer, {3});
  ASSERT_EQ(channels.size(), 1u);
  int three = channels[0];
  ASSERT_GE(three, 0);
  const struct {
    const char *packet, *detail;
  } cases[] = {{"\x03\x01" "ax", "Bad tail byte = x"}, {"\x03\x01" "a\x07", "Bad tail byte = 0x7"}};
  for (const auto &c : cases) {
    peer.write(c.packet);
    Stderr err;
    EXPECT_EQ(readchannel(three, 1), "failed 0");
    EXPECT_EQ(err.text(), std::string("\n\nERROR in vt_server_multiplexor_read:\n      ") + c.detail +
                              "\n=>\tcalled by: vt_serial_multiplexor_read\n=>\tcalled by: vt_serial_read_bytes\n");
  }
}

TEST_F(VtServerLink, AClosedChannelsNumberIsTakenAgainAlone) {
  DevicePeer peer(8);
  std::vector<int> channels = devices(peer, {3, 4, 5});
  ASSERT_EQ(channels.size(), 3u);
  int a = channels[0], b = channels[1], c = channels[2];
  ASSERT_EQ(channelof(c), 3);
  EXPECT_EQ(vt_serial_close(b), 1);
  int d = vt_open_server_device("COM8:6", 9600);
  EXPECT_EQ(channelof(d), 2);
  peer.write(std::string("\x04\x01w\0" "\x05\x01x\0" "\x06\x01y\0" "\x03\x01z\0", 16));
  Stderr err;
  EXPECT_EQ(readchannel(a, 1), "z");
  EXPECT_EQ(readchannel(c, 1), "x");
  EXPECT_EQ(readchannel(d, 1), "y");
  EXPECT_EQ(vt_serial_close(d), 1);
  EXPECT_EQ(vt_serial_close(c), 1);
  EXPECT_EQ(vt_serial_close(a), 1);
  // The box's own channel still holds the port.
  EXPECT_TRUE(vt_serial_is_multiplexed("COM8"));
}

TEST_F(VtServerLink, AServerThatCannotOpenIsNotKept) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.server();
  VtServer *first = vt_create_server(1, "COM8", 9600, nullptr);
  ASSERT_NE(first, nullptr);
  Stderr err;
  EXPECT_EQ(vt_create_server(1, "NOSUCHPORT", 9600, nullptr), nullptr);
  EXPECT_EQ(vt_current_server(), first);
  EXPECT_NE(err.text().find("A server is already using port NOSUCHPORT\n"), std::string::npos);
  Stderr quiet;
  EXPECT_EQ(vt_open_server_device("NOSUCHPORT:3", 9600), -1);
  EXPECT_EQ(vt_current_server(), first);
}

TEST_F(VtServerLink, ConfigurationFilesBothWays) {
  DevicePeer peer(8);
  ASSERT_TRUE(peer.ready());
  peer.server();
  ASSERT_NE(vt_create_server(1, "COM8", 9600, nullptr), nullptr);
  std::string content;
  for (int i = 0; i < 510; i++) content += static_cast<char>('a' + i % 26);
  vtfile("mine.cfg", content);
  EXPECT_EQ(vt_send_server_command(VT_SERVER_PUTCONFIG, "mine", "mine.cfg"), 1);
  EXPECT_EQ(vt_send_server_command(VT_SERVER_GETCONFIG, "mine", "back.cfg"), 1);
  EXPECT_EQ(vtread("back.cfg"), content);
  EXPECT_EQ(vt_send_server_command(VT_SERVER_GETCONFIG, "ftdemo", "back.cfg"), 1);
  EXPECT_EQ(vtread("back.cfg"), "glove1 on\nglove2 off\n");
  const struct {
    const char *config, *file, *message;
  } refusals[] = {
      {"none", "back.cfg", ""},
      {"ftdemo", "", "ERROR in GetConfigFile: host file name is empty string.\n"},
      {"ftdemo", nullptr, "ERROR in GetConfigFile: host file name is NULL.\n"},
      {"ftdemo", "nofolder/x.cfg", "ERROR in GetConfigFile: can't open host file: nofolder/x.cfg.\n"},
  };
  for (const auto &r : refusals) {
    Stderr err;
    EXPECT_EQ(vt_send_server_command(VT_SERVER_GETCONFIG, r.config, r.file), 0);
    EXPECT_EQ(err.text().compare(0, strlen(r.message), r.message), 0) << r.message;
  }
  peer.set("box", "unterminated", "1");
  Stderr err;
  EXPECT_EQ(vt_send_server_command(VT_SERVER_GETCONFIG, "ftdemo", "back.cfg"), 0);
  std::string message = "ERROR in GetConfigFile: config file \"ftdemo\" was not terminated.\n";
  EXPECT_EQ(err.text().compare(0, message.size(), message), 0);
  peer.set("box", "unterminated", "0");
  EXPECT_EQ(vt_send_server_command(VT_SERVER_GETCONFIG, "ftdemo", "back.cfg"), 1);
}

}  // namespace
