#include "app/libfile.h"

#include <cstring>
#include <vector>

#include "app/vedra.h"
#include "models/library.h"

namespace {

constexpr const char kBadLibrary[] = "적합한 TAVO Vedra 라이브러리 파일이 아닙니다.";
constexpr const char kNoLibrary[] = "라이브러리에 대한 정보를 얻을수가 없습니다.";
constexpr const char kCannotOpen[] = "화일을 열지 못하겠습니다.\n화일이 존재하지 않거나  공유 위반인 것 같습니다.";
constexpr UINT kMessageStyle = MB_OK | MB_ICONQUESTION | MB_TASKMODAL;

struct LibraryPaths {
  CString file;
  CString backup;
};

LibraryPaths PathsOf(const CVedraApp& app) {
  CString dir;
  app.GetDatabaseDir(dir);
  return {dir + kLibraryFileName, dir + kBackupPrefix + kLibraryFileName};
}

// Reads the list from the file; false (after the message) when the file is not a library.
bool ReadList(LibraryDatabaseList& list, const CString& path) {
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::typeBinary)) return false;
  try {
    CArchive ar(&file, CArchive::load, 4096);
    list.Serialize(ar);
    ar.Close();
    file.Close();
    return true;
  } catch (CException* e) {
    e->Delete();
  }
  file.Abort();
  ::MessageBoxA(nullptr, kBadLibrary, kVedraCaption, kMessageStyle);
  return false;
}

bool Exists(const char* path) { return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool ReadWhole(const char* path, std::vector<char>& bytes) {
  HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = ::GetFileSizeEx(h, &size) && size.QuadPart < 0x7FFFFFFF;
  if (ok) {
    bytes.assign(static_cast<size_t>(size.QuadPart) + 1, '\0');
    DWORD read = 0;
    ok = ::ReadFile(h, bytes.data(), static_cast<DWORD>(size.QuadPart), &read, nullptr) && read == size.QuadPart;
    bytes.pop_back();
  }
  ::CloseHandle(h);
  return ok;
}

bool WriteWhole(const char* path, const std::vector<char>& bytes) {
  HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  ::CloseHandle(h);
  return ok;
}

}  // namespace

void LoadLibraryDatabase(CVedraApp& app) {
  app.m_pLibrary = new LibraryDatabaseList;
  app.m_libraryLoadFailed = false;
  const LibraryPaths paths = PathsOf(app);
  if (Exists(paths.file)) {
    if (ReadList(*app.m_pLibrary, paths.file))
      CopyFileChecked(app, paths.file, paths.backup, nullptr, FALSE);
    else
      app.m_libraryLoadFailed = true;
    return;
  }
  if (!Exists(paths.backup)) {
    ::MessageBoxA(nullptr, kNoLibrary, kVedraCaption, kMessageStyle);
    app.m_libraryLoadFailed = true;
    return;
  }
  CopyFileChecked(app, paths.backup, paths.file, nullptr, FALSE);
  if (!ReadList(*app.m_pLibrary, paths.file)) app.m_libraryLoadFailed = true;
}

int SaveLibraryDatabase(CVedraApp& app) {
  LibraryDatabaseList* list = app.m_pLibrary;
  if (!list) return 1;
  if (!app.m_libraryLoadFailed && list->GetCount() == 26) {
    const CString path = PathsOf(app).file;
    if (Exists(path)) ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    CFile file;
    bool saved = false;
    if (file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
      try {
        CArchive ar(&file, CArchive::store, 4096);
        list->Serialize(ar);
        ar.Close();
        file.Close();
        saved = true;
      } catch (CException* e) {
        e->Delete();
        file.Abort();
      }
    }
    if (!saved) ::MessageBoxA(nullptr, kNoLibrary, kVedraCaption, kMessageStyle);
  }
  delete list;
  app.m_pLibrary = nullptr;
  return 1;
}

int CopyFileChecked(CVedraApp&, const char* source, const char* target, HWND owner, BOOL keepExisting) {
  if (CString(source).CompareNoCase(target) == 0) return 1;
  std::vector<char> bytes;
  if (!ReadWhole(source, bytes)) {
    ::MessageBoxA(owner, kCannotOpen, kVedraCaption, kMessageStyle);
    return 0;
  }
  const bool existed = Exists(target);
  if (existed && keepExisting) return 0;
  if (existed) ::SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
  if (!WriteWhole(target, bytes)) {
    ::MessageBoxA(owner, kCannotOpen, kVedraCaption, kMessageStyle);
    return 0;
  }
  return 1;
}

void DeleteFolderTree(CVedraApp& app, const char* pattern) {
  CString search(pattern ? pattern : "");
  CString folder;
  if (search.IsEmpty()) {
    GetTempDir(app, folder);
    search = folder + "*.*";
  } else {
    int cut = search.ReverseFind('\\');
    folder = cut < 0 ? CString() : search.Left(cut + 1);
  }
  WIN32_FIND_DATAA data;
  HANDLE h = ::FindFirstFileA(search, &data);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const CString path = folder + data.cFileName;
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path);
  } while (::FindNextFileA(h, &data));
  ::FindClose(h);
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
