// The registry helpers through which the settings are read and written. Each returns nonzero on
// success. A query with the write flag 0 reads the value into the setting and leaves the setting
// at its current value when the value is missing or of another type; with the write flag 1 it
// writes the setting's value (the default argument is then unused).
#pragma once
#include <windows.h>

BOOL CreateRegisterKey(HKEY root, const char* subKey, HKEY* key, DWORD* disposition);
BOOL CloseRegisterKey(HKEY key);
BOOL QueryRegisterKeyDWORD(HKEY key, const char* name, DWORD* value, DWORD def, BOOL write);
BOOL QueryRegisterKeyInt(HKEY key, const char* name, int* value, int def, BOOL write);
BOOL QueryRegisterKeyLong(HKEY key, const char* name, LONG* value, LONG def, BOOL write);
BOOL QueryRegisterKeyFloat(HKEY key, const char* name, float* value, float def, BOOL write);
BOOL QueryRegisterKeyBOOL(HKEY key, const char* name, BOOL* value, BOOL def, BOOL write);
// Reports a failed registry access (to the debugger's output).
void RegisterAccessError(LONG code);
