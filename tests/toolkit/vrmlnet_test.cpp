// VRML 1.0 over HTTP against a server thread on 127.0.0.1, and GIF images into Targa files.
#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
typedef SOCKET Sock;
#define closesock closesocket
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
typedef int Sock;
#define closesock close
#endif

#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/vrml.h"

namespace {

Sock listener(int *port) {
  Sock s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a;
  memset(&a, 0, sizeof a);
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a);
  socklen_t n = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr *>(&a), &n);
  *port = ntohs(a.sin_port);
  return s;
}

// Answers each one-line request with the reply stored for its line, or closes at once.
class Server {
 public:
  Server() {
    _WTnet_startup();
    socket_ = listener(&port);
    listen(socket_, 8);
    thread_ = std::thread([this] { run(); });
  }
  ~Server() {
    stop_ = true;
    Sock poke = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<unsigned short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(poke, reinterpret_cast<sockaddr *>(&a), sizeof a);
    closesock(poke);
    thread_.join();
    closesock(socket_);
  }
  void answer(const std::string &request, const std::string &reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[request] = reply;
  }
  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  std::string url(const std::string &path) const {
    return "http://127.0.0.1:" + std::to_string(port) + path;
  }
  int port = 0;

 private:
  void run() {
    for (;;) {
      Sock c = accept(socket_, nullptr, nullptr);
      if (stop_) {
        closesock(c);
        return;
      }
      std::string line;
      char ch;
      while (recv(c, &ch, 1, 0) == 1 && ch != '\n') line += ch;
      std::string reply;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(line);
        reply = replies_[line];
      }
      for (size_t at = 0; at < reply.size();) {
        int n = send(c, reply.data() + at, static_cast<int>(reply.size() - at), 0);
        if (n <= 0) break;
        at += size_t(n);
      }
      closesock(c);
    }
  }
  Sock socket_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::map<std::string, std::string> replies_;
  std::vector<std::string> requests_;
};

// A GIF of 4-colour pixels (rows from the top), written with a clear code after every two
// codes so that the code width stays at 3 bits.
std::string gif(int w, int h, const std::vector<int> &pixels, bool interlaced = false) {
  std::string out = "GIF89a";
  auto word = [&](int v) { out += char(v & 255), out += char(v >> 8); };
  word(w), word(h);
  out += char(0x81), out += char(0), out += char(0);
  const unsigned char palette[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  out.append(reinterpret_cast<const char *>(palette), 12);
  out += "\x2C";
  word(0), word(0), word(w), word(h);
  out += char(interlaced ? 0x40 : 0);
  out += char(2);
  std::vector<int> codes;
  for (size_t i = 0; i < pixels.size(); i++) {
    if (i % 2 == 0) codes.push_back(4);
    codes.push_back(pixels[i]);
  }
  codes.push_back(5);
  std::string data;
  unsigned bits = 0, nbits = 0;
  for (int c : codes) {
    bits |= unsigned(c) << nbits, nbits += 3;
    while (nbits >= 8) data += char(bits & 255), bits >>= 8, nbits -= 8;
  }
  if (nbits) data += char(bits & 255);
  out += char(data.size());
  out += data;
  out += char(0);
  out += ";";
  return out;
}

const char kScene[] =
    "#VRML V1.0 ascii\n"
    "Separator { Texture2 { filename \"pic.gif\" } Cube {}\n"
    "  WWWInline { name \"part.wrl\" } }\n";

class VrmlHttp : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    temp = folder.path() + tk::kSep;
    for (const char *name : {"TMPDIR", "TMP", "TEMP"}) {
      const char *was = getenv(name);
      saved.push_back({name, was ? was : "", was != nullptr});
      tk::setenvutf8(name, temp.c_str());
    }
    tk::setenvutf8("WTKPROXY", nullptr);
  }
  void TearDown() override {
    tk::setenvutf8("WTKPROXY", nullptr);
    // The temporary folder of the rest of the program comes back as it was.
    for (const Saved &s : saved) tk::setenvutf8(s.name, s.set ? s.value.c_str() : nullptr);
    tk::Universe::TearDown();
  }
  struct Saved {
    const char *name;
    std::string value;
    bool set;
  };
  std::vector<Saved> saved;
  tk::TempFolder folder;
  std::string temp;
  Server server;
};

TEST_F(VrmlHttp, SceneWithAnInlineAndAGifTexture) {
  server.answer("GET /scene.wrl", std::string("HTTP/1.0 200 OK\r\nContent-Type: x-world/x-vrml\r\n\r\n") + kScene);
  server.answer("GET /part.wrl", "#VRML V1.0 ascii\nSphere {}\n");
  server.answer("GET /pic.gif", "HTTP/1.1 200 OK\r\n\r\n" + gif(2, 2, {0, 1, 2, 3}));
  tk::Captured captured;
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  WTnode *scene = WTnode_load(root, server.url("/scene.wrl").c_str(), 1);
  ASSERT_NE(scene, nullptr) << captured.all();
  EXPECT_EQ(server.requests(), (std::vector<std::string>{"GET /scene.wrl", "GET /pic.gif", "GET /part.wrl"}));
  EXPECT_NE(captured.all().find("Processing inline:" + server.url("/part.wrl")), std::string::npos);
  ASSERT_EQ(WTnode_numchildren(scene), 2);
  WTgeometry *cube = WTnode_getchild(scene, 0)->u.geometry;
  ASSERT_NE(cube->polys->texture, nullptr);
  EXPECT_EQ(std::string(_WTtexture_refname(cube->polys->texture)), temp + "pic.tga");
  int w = 0, h = 0;
  unsigned char *pixels = WTtexture_load((temp + "pic.tga").c_str(), &w, &h);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(w, 2);
  // Bottom row first: blue, white; then red, green.
  EXPECT_EQ(std::vector<int>(pixels, pixels + 4), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(std::vector<int>(pixels + 8, pixels + 12), (std::vector<int>{255, 0, 0, 255}));
  _WTmem_free(pixels);
  WTnode *part = WTnode_getchild(scene, 1);
  EXPECT_EQ(part->kind, WTNODE_INLINE);
  ASSERT_EQ(WTnode_numchildren(part), 1);
  EXPECT_EQ(WTnode_getchild(part, 0)->kind, WTNODE_GEOMETRY);
}

TEST_F(VrmlHttp, ProxyRefusalsAndPages) {
  server.answer("GET http://models.example/a.wrl", "#VRML V1.0 ascii\nCube {}\n");
  server.answer("GET /missing.wrl", "HTTP/1.0 404 Not Found\r\n\r\n#VRML V1.0 ascii\nCube {}\n");
  server.answer("GET /page.wrl", "<HTML><BODY>not here</BODY></HTML>\n");
  tk::Captured captured;
  EXPECT_EQ(WTnode_load(root, server.url("/missing.wrl").c_str(), 1), nullptr);
  EXPECT_NE(captured.all().find("Could not open " + server.url("/missing.wrl")), std::string::npos);
  EXPECT_EQ(WTnode_load(root, server.url("/page.wrl").c_str(), 1), nullptr);
  EXPECT_NE(captured.all().find("Invalid VRML File"), std::string::npos);
  int closed = 0;
  closesock(listener(&closed));
  const std::string refused = "http://127.0.0.1:" + std::to_string(closed) + "/a.wrl";
  EXPECT_EQ(WTnode_load(root, refused.c_str(), 1), nullptr);
  EXPECT_NE(captured.all().find("Could not open " + refused), std::string::npos);
  tk::setenvutf8("WTKPROXY", ("127.0.0.1:" + std::to_string(server.port) + "/ignored").c_str());
  WTnode *viaproxy = WTnode_load(root, "http://models.example/a.wrl", 1);
  ASSERT_NE(viaproxy, nullptr);
  EXPECT_EQ(viaproxy->kind, WTNODE_GEOMETRY);
  EXPECT_EQ(server.requests().back(), "GET http://models.example/a.wrl");
  EXPECT_EQ(WTnode_numchildren(root), 1);
}

TEST_F(VrmlHttp, TextureNamesThatLeaveTheTemporaryFolderAreRefused) {
  const std::string doc = "#VRML V1.0 ascii\nSeparator { Texture2 { filename \"" +
                          server.url("/t/..\\up.tga") + "\" } Cube {} Cube {} }\n";
  server.answer("GET /doc.wrl", doc);
  tk::Captured captured;
  WTnode *scene = WTnode_load(root, server.url("/doc.wrl").c_str(), 1);
  ASSERT_NE(scene, nullptr);
  EXPECT_NE(captured.all().find("Could not retrieve " + server.url("/t/..\\up.tga")), std::string::npos);
  EXPECT_EQ(server.requests(), (std::vector<std::string>{"GET /doc.wrl"}));
  EXPECT_EQ(WTnode_getchild(scene, 0)->u.geometry->polys->texture, nullptr);
}

TEST_F(VrmlHttp, FetchToAFile) {
  server.answer("GET /", "HTTP/1.0 200 OK\r\n\r\nbody bytes");
  const std::string local = folder / "saved.bin";
  EXPECT_EQ(std::string(_WTvrml_fetchurl(server.url("").c_str(), local.c_str())), local);
  EXPECT_EQ(tk::readfile(local), "body bytes");
  EXPECT_EQ(server.requests().back(), "GET /");
  EXPECT_STREQ(_WTvrml_fetchurl("file://C:/x.wrl", nullptr), "C:/x.wrl");
}

TEST(Gif, DecodesAndRefuses) {
  std::string g = gif(2, 3, {0, 1, 2, 3, 3, 0}, true);
  int w = 0, h = 0;
  unsigned char *rgba = _WTgif_decode(reinterpret_cast<const unsigned char *>(g.data()), g.size(), &w, &h);
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 3);
  // Interlaced: the data's rows are image rows 0, 2, 1.  Output rows run from the bottom.
  EXPECT_EQ(std::vector<int>(rgba, rgba + 8), (std::vector<int>{0, 0, 255, 255, 255, 255, 255, 255}));
  EXPECT_EQ(std::vector<int>(rgba + 8, rgba + 16), (std::vector<int>{255, 255, 255, 255, 255, 0, 0, 255}));
  EXPECT_EQ(std::vector<int>(rgba + 16, rgba + 24), (std::vector<int>{255, 0, 0, 255, 0, 255, 0, 255}));
  _WTmem_free(rgba);
  for (size_t n = 0; n < g.size(); n++) {
    rgba = _WTgif_decode(reinterpret_cast<const unsigned char *>(g.data()), n, &w, &h);
    _WTmem_free(rgba);
  }
  std::string huge = g;
  huge[6] = huge[7] = huge[8] = huge[9] = char(0xFF);
  EXPECT_EQ(_WTgif_decode(reinterpret_cast<const unsigned char *>(huge.data()), huge.size(), &w, &h), nullptr);
  EXPECT_EQ(_WTgif_decode(reinterpret_cast<const unsigned char *>("GIF87a"), 6, &w, &h), nullptr);
}

}  // namespace
