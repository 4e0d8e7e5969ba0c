#include "scene.h"

#include <fstream>
#include <sstream>

#include "support.h"

namespace tk {

void Universe::SetUp() {
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
  WTuniverse_new(512, 0);
  root = WTuniverse_getrootnodes();
}

void Universe::TearDown() {
  WTuniverse_delete();
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  resetcalls();
}

std::string writefile(const std::string &name, const std::string &text) {
  std::ofstream(name, std::ios::binary) << text;
  return name;
}

std::string readfile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace tk
