// The program's persistent settings (doc/shellsettings.h) read at start-up from the registry, the
// program folders derived from the base folder, and the start-up folder check.
#pragma once
#include <windows.h>

#include "afx/afx.h"
#include "doc/shellsettings.h"

class CVedraApp;

void ApplyPlanDefaults(CVedraApp& app);
void ApplySimulatorDefaults(CVedraApp& app);
// Reads every setting; ends the program (exit code 1, no message) when the program's keys
// cannot be made or the "Run" value can be neither read nor written.
void ReadRegistrySettings(CVedraApp& app);
// Checks the required folders (ending the program with a message when one is missing), makes the
// optional ones, asks about a small screen and sets the toolkit's environment.
void CheckProgramFolders(CVedraApp& app);
// A string value of the open key. Reading (write 0): the whole stored text, whatever its length;
// a missing value gets the default written. Writing (write 1): the default is written. The
// written text ends in its zero. 1 on success, 0 when writing failed.
int QueryRegistryString(HKEY key, const char* name, CString& out, const char* def, BOOL write);
// Reads a string value whole; false when it is missing or not a string (out then unchanged).
bool ReadRegistryString(HKEY key, const char* name, CString& out);

// The program folders, each ending in a backslash: the base folder; base + "Bin\"; Bin + "Lib\";
// Lib + "temp\" (the one scratch folder); Lib + "Library\"; base + "System\".
void GetAppDir(const CVedraApp& app, CString& out);
void GetBinDir(const CVedraApp& app, CString& out);
void GetLibDir(const CVedraApp& app, CString& out);
void GetTempDir(const CVedraApp& app, CString& out);
void GetLibraryDir(const CVedraApp& app, CString& out);
void GetSystemDir(const CVedraApp& app, CString& out);

// Ends the program at once with the exit code.
[[noreturn]] void EndProgram(int code);
