// Small file operations on UTF-8 paths that the model needs beyond CFile: none of them throws.
#pragma once
#include "afx/afx.h"

// A text as it may stand in a file name: characters that no file name may hold (separators,
// ':', wildcards and the like) and ".." become "_", so the name stays inside its folder.
CString FileSafeName(const char* text);

// True when a file of that name exists.
bool FileExists(const char* path);
// Deletes the file; false when it could not be deleted (or did not exist).
bool RemoveFile(const char* path);
// Gives the file the archive attribute alone (0x20), which clears read-only.
void SetArchiveAttribute(const char* path);
