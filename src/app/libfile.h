// The library database file with its backup copy, and the small file helpers used across the
// program: copying a file, emptying a folder, listing the dummy objects of a .3ds file.
#pragma once
#include <windows.h>

#include <cstdint>

#include "afx/afx.h"
#include "ftk3ds/ftk3ds.h"

class CVedraApp;

constexpr const char kLibraryFileName[] = "TLibrary.lib";
constexpr const char kBackupPrefix[] = "BAK-";

// One dummy object of a .3ds file: its motion record's index and its instance name.
struct DummyEntry {
  int32_t index;
  char instance[12];
};

// Creates the list and fills it from the database file, restoring a missing file from its backup.
void LoadLibraryDatabase(CVedraApp& app);
// Writes the list back (never one that failed to load) and deletes it; returns 1.
int SaveLibraryDatabase(CVedraApp& app);
// 1 when the target holds a copy of the source (or both name one file); 0 otherwise, also when
// keep-existing left an existing target alone.
int CopyFileChecked(CVedraApp& app, const char* source, const char* target, HWND owner, BOOL keepExisting);
// Deletes the files that match the pattern (every file of the temporary folder for an empty one).
void DeleteFolderTree(CVedraApp& app, const char* pattern);
// Fills the list (of DummyEntry, owned by the caller) with the dummy objects of the database.
void FindDummyEntries(Database3ds* db, CPtrList& list);
