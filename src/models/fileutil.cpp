#include "models/fileutil.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

#include "models/planhost.h"

namespace {

#ifdef _WIN32
std::wstring Wide(const char* path) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path, -1, &wide[0], n);
  return wide;
}

CString Utf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return CString();
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], n, nullptr, nullptr);
  return CString(text.c_str());
}

void SetAttributes(const char* path, DWORD attributes) {
  if (path && *path) SetFileAttributesW(Wide(path).c_str(), attributes);
}

// The names that the pattern finds in its folder.
std::vector<CString> FindNames(const char* pattern) {
  std::vector<CString> names;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(Wide(pattern).c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Utf8(data.cFileName));
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return names;
}
#else
void SetAttributes(const char* path, DWORD) {
  struct stat info;
  if (path && *path && stat(path, &info) == 0) chmod(path, info.st_mode | S_IWUSR);
}

// Matches a file name against a pattern of * and ?.
bool Matches(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    for (const char* n = name;; ++n) {
      if (Matches(pattern + 1, n)) return true;
      if (*n == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  return (*pattern == '?' || *pattern == *name) && Matches(pattern + 1, name + 1);
}

std::vector<CString> FindNames(const char* pattern) {
  std::vector<CString> names;
  const char* cut = std::strrchr(pattern, '/');
  const std::string folder = cut ? std::string(pattern, static_cast<size_t>(cut - pattern + 1)) : std::string("./");
  const char* wanted = cut ? cut + 1 : pattern;
  if (!std::strcmp(wanted, "*.*")) wanted = "*";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir)) {
    struct stat info;
    if (Matches(wanted, entry->d_name) && stat((folder + entry->d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
      names.push_back(CString(entry->d_name));
  }
  closedir(dir);
  return names;
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

void SetArchiveAttribute(const char* path) { SetAttributes(path, 0x20); }

void SetNormalAttribute(const char* path) { SetAttributes(path, 0x80); }

std::vector<CString> FindFiles(const char* pattern) {
  std::vector<CString> paths;
  if (!pattern || !*pattern) return paths;
  const CString text(pattern);
  int cut = text.ReverseFind(kPathSeparator);
#ifdef _WIN32
  cut = std::max(cut, text.ReverseFind('/'));
#endif
  const CString folder = text.Left(cut + 1);
  for (const CString& name : FindNames(pattern)) paths.push_back(folder + name);
  return paths;
}

bool ReadFileBytes(const char* path, std::vector<char>& bytes) {
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) return false;
  try {
    const ULONGLONG size = file.GetLength();
    if (size >= 0x7FFFFFFF) return false;
    bytes.assign(static_cast<size_t>(size) + 1, '\0');
    const UINT read = file.Read(bytes.data(), static_cast<UINT>(size));
    bytes.pop_back();
    return read == size;
  } catch (CException* e) {
    e->Delete();
  }
  return false;
}

bool WriteFileBytes(const char* path, const std::vector<char>& bytes) {
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) return false;
  try {
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.Close();
    return true;
  } catch (CException* e) {
    e->Delete();
  }
  file.Abort();
  return false;
}
