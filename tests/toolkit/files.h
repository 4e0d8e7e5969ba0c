// Files for the loader tests: a fresh folder with a Korean name, removed at the end.
#pragma once

#include <string>

namespace tk {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;
  // UTF-8 path of the folder, and of a name inside it.
  const std::string &path() const { return path_; }
  std::string operator/(const std::string &name) const;
  // Writes the bytes (binary) to the name inside the folder; returns its path.
  std::string write(const std::string &name, const std::string &bytes) const;

 private:
  std::string path_;
};

// The system's folder separator.
extern const char kSep;

// Sets an environment variable (UTF-8); null removes it.
void setenvutf8(const char *name, const char *value);

}  // namespace tk
