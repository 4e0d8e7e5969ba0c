// The library database file with its backup copy, and the small file helpers used across the
// program: copying a file, emptying a folder, listing the dummy objects of a .3ds file. Their
// messages go through the plan host (planhost.h) with the program's caption.
#pragma once
#include <cstdint>

#include "afx/afx.h"
#include "ftk3ds/ftk3ds.h"

class LibraryDatabaseList;

constexpr const char kLibraryFileName[] = "TLibrary.lib";
constexpr const char kBackupPrefix[] = "BAK-";

// The program's library database: the folder that holds its file and the backup (ending in a
// separator), the list loaded from it (owned; null before loading and after saving) and whether
// the load failed (a list that failed to load is never written back).
struct LibraryDatabaseFile {
  CString folder;
  LibraryDatabaseList* list = nullptr;
  bool loadFailed = false;
};

// One dummy object of a .3ds file: its motion record's index and its instance name.
struct DummyEntry {
  int32_t index;
  char instance[12];
};

// Creates the list and fills it from the database file, restoring a missing file from its backup.
void LoadLibraryDatabase(LibraryDatabaseFile& library);
// Writes the list back (only a list of 26 categories that loaded) and deletes it; returns 1.
int SaveLibraryDatabase(LibraryDatabaseFile& library);
// 1 when the target holds a copy of the source (or both name one file); 0 otherwise, also when
// keep-existing left an existing target alone. Its messages are owned by the owner window (a
// window handle of the window system; null for none).
int CopyFileChecked(const char* source, const char* target, void* owner, BOOL keepExisting);
// Deletes the files that the pattern (a folder, then a file name with * and ?) finds, each first
// given normal attributes; files that cannot be deleted and folders are skipped. An empty pattern
// means every file of the temporary folder (GetTempDir); nothing without one.
void DeleteFolderTree(const char* pattern);
// Fills the list (of DummyEntry, owned by the caller) with the dummy objects of the database.
void FindDummyEntries(Database3ds* db, CPtrList& list);
