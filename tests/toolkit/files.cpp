#include "files.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "toolkit/wt.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tk {

#ifdef _WIN32
const char kSep = '\\';
#else
const char kSep = '/';
#endif

namespace {
int counter;
}

TempFolder::TempFolder() {
#ifdef _WIN32
  unsigned long pid = GetCurrentProcessId();
#else
  unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  // Process ids come back: a folder that a run ended early left behind is passed over.
  fs::path folder;
  do {
    std::string name = u8"모델 폴더-" + std::to_string(pid) + "-" + std::to_string(counter++);
    folder = fs::temp_directory_path() / fs::u8path(name);
  } while (!fs::create_directory(folder));
  path_ = folder.u8string();
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(fs::u8path(path_), ignored);
}

std::string TempFolder::operator/(const std::string &name) const { return path_ + kSep + name; }

std::string TempFolder::write(const std::string &name, const std::string &bytes) const {
  std::string path = *this / name;
  FILE *f = _WTfile_open(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << path;
  if (f) {
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  return path;
}

void setenvutf8(const char *name, const char *value) {
#ifdef _WIN32
  // Through the C runtime, so that its copy of the environment and the system's both change.
  _wputenv_s(fs::u8path(name).wstring().c_str(), value ? fs::u8path(value).wstring().c_str() : L"");
#else
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
#endif
}

}  // namespace tk
