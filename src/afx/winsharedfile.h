// CSharedFile: a memory file whose buffer is one block of global memory (GlobalAlloc with the
// caller's flags), the form in which the clipboard and OLE hand data over.
//
// The buffer grows by the grow size or by doubling, whichever is more, so that writing a long
// text a line at a time stays linear. Detach ends the file and hands over the block: the block
// is the buffer, which may be larger than what was written (GlobalReAlloc shrinks it).
#pragma once
#include "afx/winwnd.h"

class CSharedFile : public CMemFile {
  DECLARE_DYNAMIC(CSharedFile)
 public:
  explicit CSharedFile(UINT nAllocFlags = GMEM_DDESHARE | GMEM_MOVEABLE, UINT nGrowBytes = 4096);
  ~CSharedFile() override;

  // The block, unlocked, now the caller's to free (null when nothing was written).
  HGLOBAL Detach();

 protected:
  BYTE* Alloc(size_t nBytes) override;
  BYTE* Realloc(BYTE* lpMem, size_t nBytes) override;
  void FreeMemory(BYTE* lpMem) override;
  size_t GrowSize(size_t nNeeded, size_t nOldSize) const override;

 private:
  UINT m_nAllocFlags;
  HGLOBAL m_hGlobal = nullptr;  // locked while the file holds it
};
