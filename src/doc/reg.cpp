#include "doc/reg.h"

#include <cstdio>
#include <cstring>

namespace {

// Reads a value of 4 bytes of the given type; false when it is missing or has another form.
bool Read4(HKEY key, const char* name, DWORD type, void* out) {
  DWORD stored = 0;
  DWORD size = 4;
  unsigned char buffer[4];
  if (::RegQueryValueExA(key, name, nullptr, &stored, buffer, &size) != ERROR_SUCCESS) return false;
  if (stored != type || size != 4) return false;
  std::memcpy(out, buffer, 4);
  return true;
}

BOOL Write4(HKEY key, const char* name, DWORD type, const void* value) {
  LONG rc = ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(value), 4);
  if (rc != ERROR_SUCCESS) {
    RegisterAccessError(rc);
    return FALSE;
  }
  return TRUE;
}

// The common form of the typed queries.
template <typename T>
BOOL Query(HKEY key, const char* name, T* value, DWORD type, BOOL write) {
  if (!key || !value) return FALSE;
  if (write) return Write4(key, name, type, value);
  T read;
  if (Read4(key, name, type, &read)) *value = read;
  return TRUE;
}

}  // namespace

BOOL CreateRegisterKey(HKEY root, const char* subKey, HKEY* key, DWORD* disposition) {
  DWORD done = 0;
  LONG rc = ::RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key, &done);
  if (disposition) *disposition = done;
  if (rc != ERROR_SUCCESS) {
    RegisterAccessError(rc);
    return FALSE;
  }
  return TRUE;
}

BOOL CloseRegisterKey(HKEY key) {
  LONG rc = ::RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    RegisterAccessError(rc);
    return FALSE;
  }
  return TRUE;
}

BOOL QueryRegisterKeyDWORD(HKEY key, const char* name, DWORD* value, DWORD, BOOL write) {
  return Query(key, name, value, REG_DWORD, write);
}

BOOL QueryRegisterKeyInt(HKEY key, const char* name, int* value, int, BOOL write) {
  return Query(key, name, value, REG_DWORD, write);
}

BOOL QueryRegisterKeyLong(HKEY key, const char* name, LONG* value, LONG, BOOL write) {
  return Query(key, name, value, REG_DWORD, write);
}

// Floats are kept as their 4 bytes in a binary value.
BOOL QueryRegisterKeyFloat(HKEY key, const char* name, float* value, float, BOOL write) {
  return Query(key, name, value, REG_BINARY, write);
}

BOOL QueryRegisterKeyBOOL(HKEY key, const char* name, BOOL* value, BOOL, BOOL write) {
  return Query(key, name, value, REG_DWORD, write);
}

void RegisterAccessError(LONG code) {
  char text[64];
  std::snprintf(text, sizeof text, "registry access failed: %ld\n", static_cast<long>(code));
  ::OutputDebugStringA(text);
}
