// Files, environment and libraries on Windows: UTF-8 names reach the file system and the
// environment through the wide functions, so that names outside any code page work.
#include <windows.h>

#include <stdio.h>

#include "toolkit/core/platform.h"

namespace {

std::wstring widen(const char *text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

std::string narrow(const wchar_t *text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], n, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(n - 1));
  return utf8;
}

}  // namespace

FILE *_WTplat_openutf8(const char *path, const char *mode) {
  std::wstring wpath = widen(path);
  std::wstring wmode = widen(mode);
  if (wpath.empty() || wmode.empty()) return nullptr;
  return _wfopen(wpath.c_str(), wmode.c_str());
}

bool _WTplat_getenvutf8(const char *name, std::string *value) {
  std::wstring wname = widen(name);
  if (wname.empty()) return false;
  std::wstring buffer(256, L'\0');
  for (;;) {
    SetLastError(0);
    DWORD n = GetEnvironmentVariableW(wname.c_str(), &buffer[0], static_cast<DWORD>(buffer.size()));
    if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(n);  // too small: n is the size needed, the final zero included
  }
  *value = narrow(buffer.c_str());
  return true;
}

void *_WTplat_loadlibrary(const char *name) { return reinterpret_cast<void *>(LoadLibraryA(name)); }

void *_WTplat_libraryentry(void *library, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}
