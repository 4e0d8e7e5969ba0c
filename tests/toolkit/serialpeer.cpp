#include "serialpeer.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <unistd.h>

#include "toolkit/devices/port.h"
extern char **environ;
#endif

namespace {

const int kWaitMs = 10000;

std::string hexof(const std::string &bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) out += digits[c >> 4], out += digits[c & 15];
  return out;
}

std::string bytesof(const std::string &hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(strtol(hex.substr(i, 2).c_str(), nullptr, 16));
  return out;
}

#ifdef _WIN32
typedef SOCKET Socket;
const Socket kNoSocket = INVALID_SOCKET;
void closesock(Socket s) { closesocket(s); }
bool readable(Socket s, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval t = {ms / 1000, (ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &t) > 0;
}
std::string folder() { return std::string(VEDRA_PEERS); }

bool startpeer(int port, int com) {
  std::string link;
  char prefix[1024];
  if (GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix))
    link = std::string(prefix) + "/dosdevices/com" + std::to_string(com);
  std::string command = "Z:\\usr\\bin\\python3 " + folder() + "/serialpeer.py " + std::to_string(port) + " " + link;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}
#else
typedef int Socket;
const Socket kNoSocket = -1;
void closesock(Socket s) { close(s); }
bool readable(Socket s, int ms) {
  pollfd p = {s, POLLIN, 0};
  return poll(&p, 1, ms) > 0;
}

std::map<int, std::string> &links() {
  static std::map<int, std::string> l;
  return l;
}

const char *resolve(const char *name) {
  int n = 0;
  if (sscanf(name, "COM%d", &n) == 1 && links().count(n)) return links()[n].c_str();
  return nullptr;
}

bool startpeer(int port, int) {
  std::string script = std::string(VEDRA_PEERS) + "/serialpeer.py";
  std::string portarg = std::to_string(port);
  char *argv[] = {const_cast<char *>("python3"), &script[0], &portarg[0], nullptr};
  pid_t pid;
  return posix_spawnp(&pid, "python3", nullptr, nullptr, argv, environ) == 0;
}
#endif

Socket listenloopback(int *port) {
#ifdef _WIN32
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
#endif
  Socket s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  if (bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || listen(s, 1) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr *>(&a), &n) != 0) {
    closesock(s);
    return kNoSocket;
  }
  *port = ntohs(a.sin_port);
  return s;
}

}  // namespace

std::string Bytes(const char *hex) {
  std::string digits;
  for (const char *p = hex; *p; p++)
    if (*p != ' ') digits += *p;
  return bytesof(digits);
}

std::string Hex(const std::string &bytes) { return hexof(bytes); }

SerialPeer::SerialPeer(int com) : com_(com) {
  int port = 0;
  Socket listener = listenloopback(&port);
  if (listener == kNoSocket) return;
  if (startpeer(port, com) && readable(listener, kWaitMs)) {
    Socket s = accept(listener, nullptr, nullptr);
    socket_ = static_cast<intptr_t>(s);
    std::string hello = request("");
    if (hello.compare(0, 6, "slave ") == 0) slave_ = hello.substr(6);
  }
  closesock(listener);
#ifndef _WIN32
  if (ready()) {
    links()[com] = slave_;
    _WTport_setresolver(resolve);
  }
#endif
}

SerialPeer::~SerialPeer() {
  if (socket_ != -1) {
    request("quit");
    closesock(static_cast<Socket>(socket_));
  }
#ifndef _WIN32
  links().erase(com_);
  if (links().empty()) _WTport_setresolver(nullptr);
#endif
}

// Sends one request line (none when empty) and gives the answer line.
std::string SerialPeer::request(const std::string &text) {
  Socket s = static_cast<Socket>(socket_);
  if (socket_ == -1) return std::string();
  if (!text.empty()) {
    std::string line = text + "\n";
    send(s, line.data(), static_cast<int>(line.size()), 0);
  }
  while (buffered_.find('\n') == std::string::npos) {
    char chunk[4096];
    if (!readable(s, kWaitMs)) return std::string();
    int n = static_cast<int>(recv(s, chunk, sizeof chunk, 0));
    if (n <= 0) return std::string();
    buffered_.append(chunk, static_cast<size_t>(n));
  }
  size_t end = buffered_.find('\n');
  std::string answer = buffered_.substr(0, end);
  buffered_.erase(0, end + 1);
  return answer;
}

void SerialPeer::write(const std::string &bytes) { request("write " + hexof(bytes)); }

void SerialPeer::reply(const std::string &pattern, const std::string &bytes) {
  request("reply " + hexof(pattern) + " " + hexof(bytes));
}

std::string SerialPeer::read() {
  std::string answer = request("read");
  return answer.compare(0, 5, "data ") == 0 ? bytesof(answer.substr(5)) : std::string();
}

SerialPeer::Line SerialPeer::line() {
  Line l = {-1, -1};
  sscanf(request("line").c_str(), "line %d %d", &l.baud, &l.databits);
  return l;
}

bool SerialPeer::hungup() { return request("hangup 1") == "hangup 1"; }
bool SerialPeer::held() { return request("hangup 0") == "hangup 0"; }
