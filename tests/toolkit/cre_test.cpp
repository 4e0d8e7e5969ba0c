// The 3D-audio server's link, commands and sound driver, against a peer playing the server.
#include <stdlib.h>

#include <string>

#include <gtest/gtest.h>

#include "scene.h"
#include "serialpeer.h"
#include "toolkit/devices/cre.h"
#include "toolkit/devices/sound.h"

namespace {

void setvariable(const char *name, const char *value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  if (value) setenv(name, value, 1);
  else unsetenv(name);
#endif
}

// The three positions of the first packet with the command byte, in units.
bool positions(const std::string &wire, unsigned char command, float out[3]) {
  size_t at = wire.find(static_cast<char>(command));
  if (at == std::string::npos || at + 11 > wire.size()) return false;
  for (int i = 0; i < 3; i++) {
    const unsigned char *b = reinterpret_cast<const unsigned char *>(wire.data()) + at + 2 + 3 * i;
    int v = b[0] | b[1] << 7 | b[2] << 14;
    if (v & 0x100000) v -= 0x200000;
    out[i] = v / 100.0f;
  }
  return true;
}

bool has(const std::string &wire, const char *hex) { return wire.find(Bytes(hex)) != std::string::npos; }

class Server : public tk::Universe {
 protected:
  void SetUp() override {
    speed = _WTdevice_setspeed(50);
    setvariable("TRONCOM", "5@96");
    tk::Universe::SetUp();
  }
  void TearDown() override {
    tk::Universe::TearDown();
    _WTcre_defaults();
    _WTcre_link().acknowledge = 0;
    setvariable("TRONCOM", nullptr);
    setvariable("ATRNDEBUG", nullptr);
    _WTdevice_setspeed(speed);
  }
  // A device on the server, which grants the sources asked for (at most `grant`).
  WTsounddevice *open(int channels, int grant) {
    char answer[16];
    snprintf(answer, sizeof answer, "b3 00 %02x", grant);
    peer.reply(Bytes("c0 06 00"), Bytes(answer));
    return WTsounddevice_open(WTSOUND_SERVER, channels, nullptr);
  }
  WTsound *load(WTsounddevice *d, int number) {
    char answer[16];
    snprintf(answer, sizeof answer, "b3 10 %02x", number);
    peer.reply(Bytes("d0 00 00"), Bytes(answer));
    return WTsound_new(d, "ding.wav");
  }
  SerialPeer peer{5};
  int speed = 1;
};

TEST_F(Server, TheEnvironmentNamesPortSpeedAndHandshake) {
  struct Case {
    const char *troncom;
    int com, baud, handshake, factor;
  };
  for (const Case &c : {Case{"2@96,-10", 2, 9600, 0, 10}, Case{"9@100", 1, 38400, 1, 30}}) {
    SerialPeer line(c.com);
    ASSERT_TRUE(line.ready());
    setvariable("TRONCOM", c.troncom);
    ASSERT_EQ(_WTcre_openlink(), 1) << c.troncom;
    EXPECT_EQ(line.line().baud, c.baud) << c.troncom;
    EXPECT_EQ(_WTcre_link().handshake, c.handshake);
    EXPECT_EQ(_WTcre_link().timefactor, c.factor);
    _WTcre_defaults();
  }
  setvariable("ATRNDEBUG", "7");
  setvariable("TRONCOM", "5@96");
  ASSERT_EQ(_WTcre_openlink(), 1);
  EXPECT_EQ(_WTcre_link().acknowledge, 7);
}

TEST_F(Server, TheByteLinkReadsAheadAndTimesOut) {
  int slot = -1;
  ASSERT_EQ(_WTcre_serialopen(&slot, "COM5", 9600, 'N', 8, 1), 1);
  EXPECT_EQ(_WTcre_available(slot), 0);
  EXPECT_EQ(_WTcre_readbyte(slot), -1);
  peer.write("0123456789ABC");
  ASSERT_EQ(_WTcre_waitbyte(slot, '0'), '0');
  EXPECT_EQ(_WTcre_available(slot), 1);
  EXPECT_EQ(_WTcre_readbyte(slot), '1');
  EXPECT_EQ(_WTcre_expect(slot, "23x"), 'x');
  char text[5];
  EXPECT_EQ(_WTcre_readtext(slot, text, 4), 4);
  EXPECT_STREQ(text, "5678");
  EXPECT_EQ(_WTcre_waitbyte(slot, 'Z'), -1);
  EXPECT_EQ(_WTcre_writeblock(slot, "ok", 2), 0);
  EXPECT_EQ(_WTcre_writebyte(slot, '!'), 1);
  EXPECT_EQ(peer.read(), "ok!");
  _WTcre_serialclose(slot);
  EXPECT_EQ(_WTcre_writeblock(slot, "ok", 2), 1);
}

// The one test on the real clock: a reply is read a second after it was asked for.
TEST_F(Server, AReplyWaitsASecond) {
  _WTdevice_setspeed(1);
  ASSERT_EQ(_WTcre_openlink(), 1);
  peer.write(Bytes("b3 00 05"));
  int64_t start = _WTdevice_clock();
  EXPECT_EQ(_WTcre_readreply(0), 5);
  int64_t waited = _WTdevice_clock() - start;
  EXPECT_GE(waited, 1000);
  EXPECT_LT(waited, 1500);
}

TEST_F(Server, BootAsksForAtMost24SourcesAndListenersInOrder) {
  ASSERT_TRUE(peer.ready());
  EXPECT_EQ(_WTcre_boot(6, 1, 8, 0), -5);
  peer.reply(Bytes("c0"), Bytes("b3 00 18"));
  EXPECT_EQ(_WTcre_boot(6, 0, 30, 0), 24);
  EXPECT_EQ(peer.read(), Bytes("c0 06 00 18 00 00 00 04"));
  EXPECT_EQ(_WTcre_link().status & 1, 1u);
  EXPECT_EQ(_WTcre_link().client, 3);
  EXPECT_EQ(_WTcre_link().sources, 24);
  EXPECT_EQ(_WTcre_boot(6, 2, 8, 0), -5);
}

TEST_F(Server, RepliesCarryTheClientsHeader) {
  ASSERT_EQ(_WTcre_openlink(), 1);
  peer.write(Bytes("b5 00 05"));
  EXPECT_EQ(_WTcre_readreply(0), -7);
  peer.write(Bytes("b3 01 05"));
  EXPECT_EQ(_WTcre_readreply(0), -8);
  peer.write(Bytes("b3 00 05"));
  EXPECT_EQ(_WTcre_readreply(0), 5);
  EXPECT_EQ(_WTcre_link().client, 3);
  peer.write(Bytes("b3 00 05"));
  EXPECT_EQ(_WTcre_readreply(-1), -9);
}

TEST_F(Server, DecimalsOnTheWire) {
  EXPECT_EQ(_WTcre_decimalword(0.8f), (80 << 4) | (-2 & 0xF));
  EXPECT_EQ(_WTcre_decimalword(2500.0f), (250 << 4) | 1);
  EXPECT_EQ(_WTcre_decimalword(1.0f), (100 << 4) | (-2 & 0xF));
  EXPECT_EQ(_WTcre_decimalword(0.0f), 0);
  WTsounddevice *d = open(8, 8);
  ASSERT_NE(d, nullptr);
  std::string wire = peer.read();
  EXPECT_TRUE(has(wire, "ce 00 01 01 21 1f")) << Hex(wire);  // the range, 2500.0
  EXPECT_TRUE(has(wire, "ce 00 00 01 0e 0a")) << Hex(wire);  // property 0, 0.8
  EXPECT_FLOAT_EQ(WTsounddevice_getparam(d, 5), 60.0f);
  EXPECT_FLOAT_EQ(WTsounddevice_getparam(d, 6), 0.8f);
}

TEST_F(Server, TheListenerIsSentWhenItMovesFourThousandthsAndASoundAtItIsLevel) {
  WTsounddevice *d = open(8, 8);
  ASSERT_NE(d, nullptr);
  WTviewpoint *listener = WTsounddevice_getlistener(d);
  const WTp3 at = {0, 2, 3};
  WTviewpoint_setposition(listener, at);
  WTsound *s = load(d, 1);
  ASSERT_NE(s, nullptr);
  WTsound_setparam(s, 1, 0.0f);
  peer.read();
  _WTsound_updatelistener(d);
  std::string wire = peer.read();
  float heard[3], source[3];
  ASSERT_TRUE(positions(wire, 0x81, heard)) << Hex(wire);
  ASSERT_TRUE(positions(wire, 0x82, source)) << Hex(wire);
  EXPECT_FLOAT_EQ(heard[0], 3.0f);
  EXPECT_FLOAT_EQ(heard[2], -2.0f);
  for (int i = 0; i < 3; i++) EXPECT_FLOAT_EQ(source[i], heard[i]) << i;
  EXPECT_EQ(wire.back(), '\x80');

  const WTp3 nudged = {0.003f, 2, 3};
  WTviewpoint_setposition(listener, nudged);
  _WTsound_updatelistener(d);
  EXPECT_EQ(peer.read().find('\x81'), std::string::npos);
  const WTp3 moved = {0.004f, 2, 3};
  WTviewpoint_setposition(listener, moved);
  _WTsound_updatelistener(d);
  EXPECT_NE(peer.read().find('\x81'), std::string::npos);
}

TEST_F(Server, GainsGoOutAsHundredthsAboveOne) {
  WTsounddevice *d = open(8, 8);
  WTsound *s = load(d, 1);
  ASSERT_NE(s, nullptr);
  WTsound_setparam(s, 2, 1.5f);
  EXPECT_TRUE(has(peer.read(), "84 00 68 07"));  // 100.0 in tenths
  EXPECT_FLOAT_EQ(WTsound_getparam(s, 2), 100.0f);
  WTsound_setparam(s, 2, 1.0f);
  EXPECT_TRUE(has(peer.read(), "84 00 00 00"));
  EXPECT_FLOAT_EQ(WTsound_getparam(s, 2), 0.0f);
  WTsound_setparam(s, 2, 20.0f);
  EXPECT_EQ(peer.read().find('\x84'), std::string::npos);
  EXPECT_FLOAT_EQ(WTsound_getparam(s, 2), 0.0f);
}

TEST_F(Server, ASoundPastTheGrantedSourcesFailsAndClosesItsWave) {
  WTsounddevice *d = open(8, 1);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(WTsounddevice_getchannels(d), 1);
  ASSERT_NE(load(d, 1), nullptr);
  peer.read();
  EXPECT_EQ(load(d, 2), nullptr);
  EXPECT_TRUE(has(peer.read(), "d0 02 00 00"));
  peer.reply(Bytes("d0 00 00"), Bytes("b3 10 00"));
  EXPECT_EQ(WTsound_new(d, "missing.wav"), nullptr);
}

TEST_F(Server, UploadSendsTheFileByteForByte) {
  std::string data;
  for (int i = 0; i < 250; i++) data += static_cast<char>(i % 3 == 0 ? 0x1A : i % 3 == 1 ? '\r' : '\n');
  data[10] = 'X', data[110] = 'Y', data[220] = 'Z';
  tk::writefile("tone.wav", data);
  ASSERT_EQ(_WTcre_openlink(), 1);
  peer.reply(Bytes("fc"), Bytes("b3 7c 01"));
  for (const char *marker : {"X", "Y", "Z"}) peer.reply(marker, Bytes("b3 7c 01"));
  EXPECT_EQ(_WTcre_upload(0, "tone.wav"), 1);
  std::string expected = Bytes("fc 08") + "tone.wav" + Bytes("00 01") + data.substr(0, 100) + Bytes("01") +
                         data.substr(100, 100) + Bytes("02 32 00") + data.substr(200);
  EXPECT_EQ(Hex(peer.read()), Hex(expected));
}

TEST_F(Server, AcknowledgementsLeadTheNextPacket) {
  WTsounddevice *d = open(8, 8);
  ASSERT_NE(d, nullptr);
  peer.read();
  _WTcre_link().acknowledge = 1;
  peer.reply(Bytes("84"), Bytes("b3 04 01"));
  EXPECT_EQ(_WTcre_sourcegain(0, 5.0f), 1);
  EXPECT_EQ(_WTcre_sourcegain(0, 5.0f), -7);
  EXPECT_TRUE(has(peer.read(), "84 00 32 00 03 84 00 32 00"));
  _WTcre_link().acknowledge = 0;
}

TEST_F(Server, ClosingADeviceHangsUpTheLineAndAnotherOpens) {
  WTsounddevice *d = open(8, 8);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(peer.held());
  EXPECT_EQ(_WTsound_closedevice(d), 1);
  EXPECT_TRUE(peer.hungup());
  EXPECT_NE(open(8, 8), nullptr);
}

}  // namespace
