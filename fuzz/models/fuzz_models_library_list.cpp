// Reads arbitrary bytes as the library list file, without any entry file. Whatever the input,
// the load ends in a list or in the archive's exception, without reading outside the data,
// leaking or crashing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "models/library.h"
#include "models/model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (RegisterModelClasses(), true);
  (void)registered;
  std::vector<BYTE> copy(data, data + size);
  copy.push_back(0);  // a buffer even for empty input
  CMemFile file(copy.data(), static_cast<UINT>(size));
  CArchive ar(&file, CArchive::load);
  LibraryDatabaseList list;
  try {
    list.Serialize(ar);
    for (POSITION p = list.GetHeadPosition(); p;) {
      LibraryDatabase* db = static_cast<LibraryDatabase*>(list.GetNext(p));
      db->FindEntryByName("x");
      LibraryDatabase copyOf;
      db->CopyMatching(copyOf, "");
    }
  } catch (CException* e) {
    e->Delete();
  }
  return 0;
}
