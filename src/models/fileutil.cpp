#include "models/fileutil.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
std::wstring Wide(const char* path) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path, -1, &wide[0], n);
  return wide;
}
#endif

}  // namespace

CString FileSafeName(const char* text) {
  CString safe(text);
  for (int i = 0; i < safe.GetLength(); ++i) {
    const unsigned char c = static_cast<unsigned char>(safe[i]);
    if (c < 0x20 || std::strchr("\\/:*?\"<>|", c)) safe.SetAt(i, '_');
  }
  while (safe.Find("..") >= 0) safe.Replace("..", "._");
  return safe;
}

bool FileExists(const char* path) {
  if (!path || !*path) return false;
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
#endif
}

bool RemoveFile(const char* path) {
  if (!path || !*path) return false;
#ifdef _WIN32
  return DeleteFileW(Wide(path).c_str()) != 0;
#else
  return unlink(path) == 0;
#endif
}

void SetArchiveAttribute(const char* path) {
  if (!path || !*path) return;
#ifdef _WIN32
  SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_ARCHIVE);
#else
  struct stat info;
  if (stat(path, &info) == 0) chmod(path, info.st_mode | S_IWUSR);
#endif
}
