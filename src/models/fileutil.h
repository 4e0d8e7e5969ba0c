// Small file operations on UTF-8 paths that the model needs beyond CFile: none of them throws.
#pragma once
#include <vector>

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
// Gives the file normal attributes (0x80), which clears read-only.
void SetNormalAttribute(const char* path);
// The files (not folders) that the pattern finds: a folder, then a file name with * and ?; each
// as the folder followed by its name. "*.*" finds every file, as the window system has it.
std::vector<CString> FindFiles(const char* pattern);
// The whole file; false when it does not open or cannot be read whole.
bool ReadFileBytes(const char* path, std::vector<char>& bytes);
// Creates (or empties) the file and writes the bytes; false when that fails.
bool WriteFileBytes(const char* path, const std::vector<char>& bytes);
