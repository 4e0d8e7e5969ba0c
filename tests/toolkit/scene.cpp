#include "scene.h"

#include <stdlib.h>
#if defined(_WIN32)
#include <direct.h>
#else
#include <sys/stat.h>
#endif

#include <algorithm>
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
  std::string text = s.str();
  // Files written in text mode end their lines in CR LF on Windows.
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

std::string writeinfolder(const std::string &folder, const std::string &name,
                          const std::string &text) {
#if defined(_WIN32)
  _mkdir(folder.c_str());
  return writefile(folder + "\\" + name, text);
#else
  mkdir(folder.c_str(), 0755);
  return writefile(folder + "/" + name, text);
#endif
}

}  // namespace tk
