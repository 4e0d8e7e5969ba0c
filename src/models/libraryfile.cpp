#include "models/libraryfile.h"

#include <cstring>
#include <vector>

#include "models/fileutil.h"
#include "models/library.h"
#include "models/planhost.h"

namespace {

constexpr const char kBadLibrary[] = "적합한 TAVO Vedra 라이브러리 파일이 아닙니다.";
constexpr const char kNoLibrary[] = "라이브러리에 대한 정보를 얻을수가 없습니다.";
constexpr const char kCannotOpen[] = "화일을 열지 못하겠습니다.\n화일이 존재하지 않거나  공유 위반인 것 같습니다.";
constexpr unsigned kMessageStyle = MB_OK | MB_ICONQUESTION | MB_TASKMODAL;
// The list of a library with every category.
constexpr INT_PTR kCategoryCount = 26;

struct LibraryPaths {
  CString file;
  CString backup;
};

LibraryPaths PathsOf(const LibraryDatabaseFile& library) {
  return {library.folder + kLibraryFileName, library.folder + kBackupPrefix + kLibraryFileName};
}

void Tell(const char* text, void* owner = nullptr) {
  GetPlanHost().ShowMessageOwnedBy(owner, text, nullptr, kMessageStyle);
}

enum class Transfer { NotOpened, Failed, Done };

// Reads (store false) or writes the list through a stream with a 4096-byte buffer.
Transfer TransferList(LibraryDatabaseList& list, const CString& path, bool store) {
  CFile file;
  const UINT mode = store ? CFile::modeCreate | CFile::modeWrite : CFile::modeRead;
  if (!file.Open(path, mode | CFile::typeBinary)) return Transfer::NotOpened;
  try {
    CArchive ar(&file, store ? CArchive::store : CArchive::load, 4096);
    list.Serialize(ar);
    ar.Close();
    file.Close();
    return Transfer::Done;
  } catch (CException* e) {
    e->Delete();
  }
  file.Abort();
  return Transfer::Failed;
}

// Reads the list from the file; false when it does not open, or (after the message) when it is
// not a library.
bool ReadList(LibraryDatabaseList& list, const CString& path) {
  const Transfer done = TransferList(list, path, false);
  if (done == Transfer::Failed) Tell(kBadLibrary);
  return done == Transfer::Done;
}

}  // namespace

void LoadLibraryDatabase(LibraryDatabaseFile& library) {
  library.list = new LibraryDatabaseList;
  library.loadFailed = false;
  const LibraryPaths paths = PathsOf(library);
  if (FileExists(paths.file)) {
    if (ReadList(*library.list, paths.file))
      CopyFileChecked(paths.file, paths.backup, nullptr, FALSE);
    else
      library.loadFailed = true;
    return;
  }
  if (!FileExists(paths.backup)) {
    Tell(kNoLibrary);
    library.loadFailed = true;
    return;
  }
  CopyFileChecked(paths.backup, paths.file, nullptr, FALSE);
  if (!ReadList(*library.list, paths.file)) library.loadFailed = true;
}

int SaveLibraryDatabase(LibraryDatabaseFile& library) {
  LibraryDatabaseList* list = library.list;
  if (!list) return 1;
  if (!library.loadFailed && list->GetCount() == kCategoryCount) {
    const CString path = PathsOf(library).file;
    if (FileExists(path)) SetNormalAttribute(path);
    if (TransferList(*list, path, true) != Transfer::Done) Tell(kNoLibrary);
  }
  delete list;
  library.list = nullptr;
  return 1;
}

int CopyFileChecked(const char* source, const char* target, void* owner, BOOL keepExisting) {
  if (CString(source).CompareNoCase(target) == 0) return 1;
  std::vector<char> bytes;
  if (!ReadFileBytes(source, bytes)) {
    Tell(kCannotOpen, owner);
    return 0;
  }
  const bool existed = FileExists(target);
  if (existed && keepExisting) return 0;
  if (existed) SetNormalAttribute(target);
  if (!WriteFileBytes(target, bytes)) {
    Tell(kCannotOpen, owner);
    return 0;
  }
  return 1;
}

void DeleteFolderTree(const char* pattern) {
  CString search(pattern ? pattern : "");
  if (search.IsEmpty()) {
    const CString temp = GetTempDir();
    if (temp.IsEmpty()) return;
    search = temp + "*.*";
  }
  for (const CString& path : FindFiles(search)) {
    SetNormalAttribute(path);
    RemoveFile(path);
  }
}

void FindDummyEntries(Database3ds* db, CPtrList& list) {
  while (!list.IsEmpty()) delete static_cast<DummyEntry*>(list.RemoveHead());
  const uint32_t count = GetObjectMotionCount3ds(db);
  for (uint32_t i = 0; i < count; i++) {
    ObjectMotion3ds* motion = nullptr;
    GetObjectMotionByIndex3ds(db, i, &motion);
    if (!motion) continue;
    if (std::strcmp(motion->name, "$$$DUMMY") == 0) {
      auto* entry = new DummyEntry{static_cast<int32_t>(i), {}};
      std::strncpy(entry->instance, motion->instance, sizeof entry->instance - 1);
      list.AddTail(entry);
    }
    ReleaseObjectMotion3ds(&motion);
  }
}
