// Reads arbitrary bytes as the entry file of a library category: the first byte chooses the
// main file or the user file, the rest is the file. Whatever the input, the list's load ends in
// a list or in the archive's exception, without reading outside the data, leaking or crashing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "models/library.h"
#include "models/model.h"
#include "models/planhost.h"

namespace {

// The database folder of the fuzz run, under /tmp.
class FolderHost : public PlanHost {
public:
  FolderHost() {
    m_folder = "/tmp/vedra-fuzz-library-" + std::to_string(static_cast<long long>(getpid())) + "/";
    mkdir(m_folder.c_str(), 0700);
  }
  CString GetDatabaseDir() override { return CString(m_folder.c_str()); }
  const std::string& Folder() const { return m_folder; }

private:
  std::string m_folder;
};

// A list with the one category "AB".
std::vector<BYTE> ListBytes() {
  LibraryDatabaseList list;
  auto* db = new LibraryDatabase;
  db->m_categoryName = "AB";
  list.AddTail(db);
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar.WriteCount(1);
    ar.WriteObject(db);
    ar.Close();
  }
  std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (RegisterModelClasses(), true);
  (void)registered;
  static FolderHost host;
  SetPlanHost(&host);
  static std::vector<BYTE> listBytes;
  if (listBytes.empty()) {
    SetPlanHost(nullptr);  // storing the list must not write entry files
    listBytes = ListBytes();
    SetPlanHost(&host);
  }
  const bool user = size > 0 && (data[0] & 1);
  const std::string main = host.Folder() + "TAB.Lib";
  const std::string other = host.Folder() + "TUAB.Lib";
  std::remove(user ? main.c_str() : other.c_str());
  if (FILE* f = std::fopen((user ? other : main).c_str(), "wb")) {
    if (size > 1) std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
  }
  std::vector<BYTE> copy = listBytes;
  CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
  CArchive ar(&file, CArchive::load);
  LibraryDatabaseList list;
  try {
    list.Serialize(ar);
  } catch (CException* e) {
    e->Delete();
  }
  SetPlanHost(nullptr);
  return 0;
}
