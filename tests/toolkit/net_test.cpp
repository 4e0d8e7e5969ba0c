// Network sharing over real UDP on the loopback: the layer sends to its own receive socket, and a
// peer process (this test program started again) sends sound and damaged datagrams.
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "support.h"
#include "toolkit/core/platform.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char **environ;
#endif

namespace {

const uint32_t kLoopback = 0x7F000001u;  // 127.0.0.1
const uint32_t kOwn = 0x7F000002u;       // 127.0.0.2, the address the layer takes as its own
const char *kPeerVariable = "VEDRA_NET_PEER";
// Wine binds a socket given one interface address to every address (so that it receives
// broadcasts), and its datagrams leave from 127.0.0.1: there the peer sends none from 127.0.0.2.
#if defined(_WIN32)
const unsigned kFromOwn = 0;
#else
const unsigned kFromOwn = 1;
#endif

int ownaddress(uint32_t *address) {
  *address = kOwn;
  return 1;
}

int processid() {
#if defined(_WIN32)
  return static_cast<int>(GetCurrentProcessId());
#else
  return static_cast<int>(getpid());
#endif
}

// This test program started again with only the peer test, which sends to the port.
class Peer {
 public:
  explicit Peer(int port) {
    std::string value = std::to_string(port);
    std::string filter = "--gtest_filter=NetPeer.SendsToThePort";
#if defined(_WIN32)
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string cmd = std::string("\"") + exe + "\" " + filter;
    SetEnvironmentVariableA(kPeerVariable, value.c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(exe, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      process = pi.hProcess;
      CloseHandle(pi.hThread);
    }
    SetEnvironmentVariableA(kPeerVariable, nullptr);
#else
    setenv(kPeerVariable, value.c_str(), 1);
    char exe[] = "/proc/self/exe";
    std::vector<char> f(filter.begin(), filter.end());
    f.push_back(0);
    char *argv[] = {exe, f.data(), nullptr};
    if (posix_spawn(&pid, exe, nullptr, nullptr, argv, environ) != 0) pid = -1;
    unsetenv(kPeerVariable);
#endif
  }
  bool started() const {
#if defined(_WIN32)
    return process != nullptr;
#else
    return pid > 0;
#endif
  }
  // True once it ended; its exit code then.
  bool ended(int *code) {
#if defined(_WIN32)
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) return false;
    DWORD c = 1;
    GetExitCodeProcess(process, &c);
    CloseHandle(process);
    process = nullptr;
    *code = static_cast<int>(c);
#else
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != pid) return false;
    pid = -1;
    *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return true;
  }

 private:
#if defined(_WIN32)
  HANDLE process = nullptr;
#else
  pid_t pid = -1;
#endif
};

// A datagram: "VAV", the type, then records {kind, length - 1, id} with padded payloads of
// bytes 1, 2, 3 ...
struct Datagram {
  std::vector<unsigned char> bytes;
  explicit Datagram(const char *tag = "VAV", char type = 'D') : bytes(tag, tag + 3) {
    bytes.push_back(static_cast<unsigned char>(type));
  }
  Datagram &record(int kind, int length, int id, int payload = -1) {
    bytes.insert(bytes.end(), {static_cast<unsigned char>(kind),
                               static_cast<unsigned char>(length - 1),
                               static_cast<unsigned char>(id >> 8), static_cast<unsigned char>(id)});
    int n = payload < 0 ? (length + 3) / 4 * 4 : payload;
    for (int i = 0; i < n; i++) bytes.push_back(static_cast<unsigned char>(i + 1));
    return *this;
  }
};

// Polls with real pauses until the check holds, for at most about five seconds.
template <class Check>
bool waitfor(Check check) {
  for (int i = 0; i < 2500; i++) {
    _WTnet_poll();
    if (check()) return true;
    _WTplat_sleep(2);
  }
  return false;
}

class Net : public ::testing::Test {
 protected:
  void SetUp() override {
    oldhook = _WTnet_setaddresshook(ownaddress);
    _WTnet_resetdrops();
    _WTnet_clearring();
  }
  void TearDown() override {
    _WTnet_close();
    _WTnet_clearring();
    _WTnet_setaddresshook(oldhook);
  }
  // Opens the layer on a free port; the port, or 0.
  int openfree(const char *group) {
    tk::Captured quiet;
    for (int i = 0; i < 50; i++) {
      int port = 1100 + (processid() * 7 + i * 131) % 3900;
      if (_WTnet_open(group, port, 0)) return port;
    }
    return 0;
  }
  // Reads the next record, waiting for it to arrive.
  int readnext(std::vector<unsigned char> &out, int *id, int *length) {
    out.assign(256, 0);
    int kind = 0;
    waitfor([&] { return (kind = _WTnet_read(out.data(), 256, id, length)) != 0; });
    out.resize(static_cast<size_t>(*length));
    return kind;
  }
  WTaddresshook oldhook = nullptr;
};

TEST_F(Net, FlushComesBackInHostOrderForEveryKindAndLength) {
  ASSERT_NE(openfree("255.255.255.255"), 0);
  EXPECT_EQ(_WTnet_ismulticast(), 0);
  EXPECT_EQ(_WTnet_getdestination(), kOwn);
  std::vector<int> kinds = {1, 2, 3};
  for (int k = 4; k <= 255; k += 17) kinds.push_back(k);
  kinds.push_back(255);
  for (int kind : kinds)
    for (int length = 1; length <= 256; length++) {
      std::vector<unsigned char> sent(static_cast<size_t>(length));
      for (int i = 0; i < length; i++) sent[i] = static_cast<unsigned char>(kind * 7 + i * 13);
      ASSERT_EQ(_WTnet_write(sent.data(), length, kind, length * 3 + kind), 1);
      _WTnet_flush();
      std::vector<unsigned char> got;
      int id = 0, n = 0;
      ASSERT_EQ(readnext(got, &id, &n), kind) << "kind " << kind << " length " << length;
      EXPECT_EQ(id, (length * 3 + kind) & 0xFFFF);
      ASSERT_EQ(got, sent) << "kind " << kind << " length " << length;
    }
  // A raw record of kind 3 keeps its bytes in order on the wire and back.
  const unsigned char raw[5] = {1, 2, 3, 4, 5};
  ASSERT_EQ(_WTnet_writeraw(raw, 5, 3, 9), 1);
  _WTnet_flush();
  unsigned char back[5];
  int id, n;
  ASSERT_TRUE(waitfor([&] { return _WTnet_peek(&id, &n) == 3; }));
  EXPECT_EQ(_WTnet_read(back, 4, &id, &n), -1);  // too small: the record stays
  EXPECT_EQ(_WTnet_readraw(back, 5, &id, &n), 3);
  EXPECT_THAT(back, testing::ElementsAre(1, 2, 3, 4, 5));
  for (unsigned r = 0; r < WTNETDROP_REASONS; r++) EXPECT_EQ(_WTnet_getdrops(static_cast<int>(r)), 0u);
}

TEST_F(Net, AFullDatagramIsSentBeforeARecordThatWouldOverflowIt) {
  ASSERT_NE(openfree("255.255.255.255"), 0);
  std::vector<unsigned char> data(256, 7);
  int id, n;
  // 248 + 244 + 8 = 500 bytes of records; an 8-byte record (12 with its header) sends them first.
  _WTnet_write(data.data(), 244, 1, 1);
  _WTnet_write(data.data(), 240, 1, 2);
  _WTnet_write(data.data(), 4, 1, 3);
  _WTnet_write(data.data(), 8, 1, 4);
  ASSERT_TRUE(waitfor([&] { return _WTnet_peek(&id, &n) != 0; }));
  for (int want : {1, 2, 3}) {
    ASSERT_EQ(_WTnet_read(data.data(), 256, &id, &n), 1);
    EXPECT_EQ(id, want);
  }
  // 12 + 248 + 244 = 504 bytes fill a 508-byte datagram exactly: it waits for the next record.
  _WTnet_write(data.data(), 244, 1, 5);
  _WTnet_write(data.data(), 240, 1, 6);
  _WTplat_sleep(20);
  EXPECT_EQ(_WTnet_peek(&id, &n), 0);
  _WTnet_write(data.data(), 1, 1, 7);
  for (int want : {4, 5, 6}) {
    std::vector<unsigned char> got;
    ASSERT_EQ(readnext(got, &id, &n), 1);
    EXPECT_EQ(id, want);
  }
  _WTplat_sleep(20);
  EXPECT_EQ(_WTnet_peek(&id, &n), 0);
  _WTnet_flush();
  std::vector<unsigned char> got;
  ASSERT_EQ(readnext(got, &id, &n), 1);
  EXPECT_EQ(id, 7);
}

TEST_F(Net, AFullRingDelaysReceipt) {
  ASSERT_NE(openfree("255.255.255.255"), 0);
  std::vector<unsigned char> data(248, 1);
  // Seventeen datagrams of 504 record bytes: sixteen fill the ring (8064 of 8192 bytes).
  for (int d = 0; d < 17; d++) {
    _WTnet_write(data.data(), 248, 1, 2 * d);
    _WTnet_write(data.data(), 248, 1, 2 * d + 1);
    _WTnet_flush();
    // Ten polls a few milliseconds apart take in what arrived, one datagram each.
    int polls = 0;
    waitfor([&] { return ++polls == 10; });
    if (d < 16) {
      ASSERT_EQ(_WTnet_haspending(), 0) << "datagram " << d;
    }
  }
  ASSERT_TRUE(waitfor([] { return _WTnet_haspending() != 0; }));
  int id, n;
  for (int want = 0; want < 34; want++) {
    std::vector<unsigned char> got;
    ASSERT_EQ(readnext(got, &id, &n), 1);
    EXPECT_EQ(id, want);
  }
  EXPECT_EQ(_WTnet_haspending(), 0);
  EXPECT_EQ(_WTnet_getdrops(WTNETDROP_SIZE), 0u);
}

TEST_F(Net, DamagedDatagramsFromAPeerAreDroppedAndCounted) {
  int port = openfree("255.255.255.255");
  ASSERT_NE(port, 0);
  // Received while the peer sends: a datagram a poll, into the ring.
  Peer peer(port);
  ASSERT_TRUE(peer.started());
  int code = -1;
  ASSERT_TRUE(waitfor([&] { return peer.ended(&code); }));
  EXPECT_EQ(code, 0);
  std::vector<unsigned char> got;
  int id, n;
  ASSERT_EQ(readnext(got, &id, &n), 1);
  EXPECT_EQ(id, 0x101);
  ASSERT_EQ(readnext(got, &id, &n), 2);
  EXPECT_EQ(id, 0x202);
  EXPECT_EQ(n, 6);
  EXPECT_EQ(_WTnet_peek(&id, &n), 0);
  EXPECT_EQ(_WTnet_getdrops(WTNETDROP_SIZE), 2u);    // 3 bytes, 600 bytes
  EXPECT_EQ(_WTnet_getdrops(WTNETDROP_TAG), 1u);     // "XYZ"
  EXPECT_EQ(_WTnet_getdrops(WTNETDROP_TYPE), 1u);    // 'X'
  EXPECT_EQ(_WTnet_getdrops(WTNETDROP_RECORD), 3u);  // past the end, kind 0, a torn header
  EXPECT_EQ(_WTnet_getdrops(WTNETDROP_OWN), kFromOwn);  // from 127.0.0.2
}

TEST_F(Net, PacketsFromTheOwnAddressAreNotReceivedBack) {
  _WTnet_setaddresshook([](uint32_t *address) { return (*address = kLoopback), 1; });
  int port = openfree("255.255.255.255");
  ASSERT_NE(port, 0);
  EXPECT_EQ(_WTnet_getdestination(), kLoopback);
  _WTnet_write("own", 3, 1, 1);
  _WTnet_flush();
  ASSERT_TRUE(waitfor([] { return _WTnet_getdrops(WTNETDROP_OWN) == 1; }));
  intptr_t s = _WTplat_udpsocket();
  Datagram d = Datagram().record(1, 4, 2);
  _WTplat_sendto(s, d.bytes.data(), static_cast<int>(d.bytes.size()), kLoopback, port);
  _WTplat_closesocket(s);
  ASSERT_TRUE(waitfor([] { return _WTnet_getdrops(WTNETDROP_OWN) == 2; }));
  EXPECT_EQ(_WTnet_peek(nullptr, nullptr), 0);
}

// The peer's side: runs only when the test above starts this program with the port to send to.
TEST(NetPeer, SendsToThePort) {
  const char *port = getenv(kPeerVariable);
  if (!port) return;
  ASSERT_EQ(_WTplat_netstartup(), 1);
  int p = atoi(port);
  intptr_t s = _WTplat_udpsocket(), own = _WTplat_udpsocket();
  ASSERT_NE(s, WTPLAT_NOSOCKET);
  ASSERT_TRUE(_WTplat_bind(own, kOwn, 0));
  std::vector<Datagram> damaged = {
      Datagram().record(1, 5, 0x101),  // sound
  };
  Datagram shortone;
  shortone.bytes.resize(3);
  Datagram longone;
  for (int i = 0; i < 3; i++) longone.record(3, 196, i);  // 4 + 3 * 200 = 604 bytes
  damaged.push_back(shortone);
  damaged.push_back(longone);
  damaged.push_back(Datagram("XYZ").record(1, 4, 1));
  damaged.push_back(Datagram("VAV", 'X').record(1, 4, 1));
  damaged.push_back(Datagram().record(1, 4, 1).record(1, 8, 2, 4));  // runs past the end
  damaged.push_back(Datagram().record(1, 4, 1).record(0, 4, 2));     // kind 0
  Datagram torn = Datagram().record(1, 4, 1);
  torn.bytes.resize(torn.bytes.size() + 2);  // half a record header
  damaged.push_back(torn);
  // Paced, so that the receiver's small socket buffer never overflows.
  for (const Datagram &d : damaged) {
    ASSERT_GT(_WTplat_sendto(s, d.bytes.data(), static_cast<int>(d.bytes.size()), kLoopback, p), 0);
    _WTplat_sleep(30);
  }
  if (kFromOwn) {
    Datagram fromown = Datagram().record(1, 4, 0x303);
    ASSERT_GT(_WTplat_sendto(own, fromown.bytes.data(), static_cast<int>(fromown.bytes.size()),
                             kLoopback, p), 0);
    _WTplat_sleep(30);
  }
  Datagram last = Datagram().record(2, 6, 0x202);
  ASSERT_GT(_WTplat_sendto(s, last.bytes.data(), static_cast<int>(last.bytes.size()), kLoopback, p), 0);
  _WTplat_closesocket(s);
  _WTplat_closesocket(own);
}

TEST_F(Net, RefusedSettingsAndBroadcastUnderAMask) {
  struct Case {
    const char *group;
    int port;
    const char *warning;
  } cases[] = {
      {nullptr, 1023, "Bad Port\n"},          {nullptr, 5001, "Bad Port\n"},
      {"224.0.0.5", 0, "Bad Group Address\n"}, {"224.0.1.9", 0, "Bad Group Address\n"},
      {"224.0.3.200", 0, "Bad Group Address\n"}, {"224.0.4.1", 0, "Bad Group Address\n"},
      {"224.1.7.7", 0, "Bad Group Address\n"}, {"224.2.0.1", 0, "Bad Group Address\n"},
      {"232.5.5.5", 0, "Bad Group Address\n"}, {"31.1.1.1", 0, "Bad Group Address\n"},
      {"224.0.0", 0, "Bad Group Address\n"},   {"224.0.0.1.5", 0, "Bad Group Address\n"},
      {"0224.0000.0000.0100", 0, "Bad Group Address\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.group ? c.group : "port");
    tk::Captured captured;
    EXPECT_EQ(_WTnet_open(c.group, c.port, 0), 0);
    EXPECT_EQ(captured.all(), std::string("VAV Warning: ") + c.warning);
    EXPECT_EQ(_WTnet_isopen(), 0);
  }
  EXPECT_EQ(_WTnet_write("x", 1, 1, 1), 0);  // closed
  ASSERT_NE(openfree("255.255.0.0"), 0);
  EXPECT_EQ(_WTnet_ismulticast(), 0);
  EXPECT_EQ(_WTnet_getdestination(), 0x7F00FFFFu);
  EXPECT_EQ(_WTnet_open(nullptr, 0, 0), 0);  // already open
  const unsigned char one = 1;
  EXPECT_EQ(_WTnet_write(&one, 0, 1, 1), 0);
  EXPECT_EQ(_WTnet_write(&one, 257, 1, 1), 0);
  EXPECT_EQ(_WTnet_write(&one, 1, 0, 1), 0);
  EXPECT_EQ(_WTnet_write(&one, 1, 256, 1), 0);
}

TEST_F(Net, AFailedOpenClosesItsSocketsAndKeepsTheSocketLibrary) {
  int port = openfree("255.255.255.255");
  ASSERT_NE(port, 0);
  _WTnet_close();
  // The port taken by another socket: binding the receive socket fails.
  intptr_t taken = _WTplat_udpsocket();
  ASSERT_TRUE(_WTplat_bind(taken, 0, port));
  {
    tk::Captured captured;
    EXPECT_EQ(_WTnet_open(nullptr, port, 0), 0);
    EXPECT_EQ(captured.all(), "VAV Warning: Could not bind receive socket\n");
  }
  EXPECT_EQ(_WTnet_isopen(), 0);
  _WTplat_closesocket(taken);
  // Nothing of the failed attempt is left in the way, and the sockets still work.
  ASSERT_EQ(_WTnet_open(nullptr, port, 0), 1);
  _WTnet_write("abc", 3, 1, 42);
  _WTnet_flush();
  std::vector<unsigned char> got;
  int id, n;
  ASSERT_EQ(readnext(got, &id, &n), 1);
  EXPECT_EQ(id, 42);
}

}  // namespace
