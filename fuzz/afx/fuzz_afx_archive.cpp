// Reads object references from arbitrary bytes. Whatever the input, loading must end in success
// or a CException, without reading outside the data, leaking or allocating by a stored count.
#include <cstddef>
#include <cstdint>

#include "afx/afx.h"
#include "archive_samples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  CMemFile file(const_cast<BYTE*>(data), (UINT)size);
  {
    CArchive ar(&file, CArchive::load);
    try {
      ar.ReadObject(RUNTIME_CLASS(FNode));
      for (int i = 0; i < kArchiveSampleTrailingObjects; i++) ar.ReadObject(NULL);
    } catch (CException* e) {
      e->Delete();
    }
  }
  FObject::DeleteAll();
  return 0;
}
