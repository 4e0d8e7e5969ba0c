#include "afx/winsharedfile.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes) : CMemFile(nGrowBytes), m_nAllocFlags(nAllocFlags) {}

// The base class's destructor would free the buffer with the C library.
CSharedFile::~CSharedFile() { Close(); }

HGLOBAL CSharedFile::Detach() {
  HGLOBAL hGlobal = m_hGlobal;
  if (hGlobal) ::GlobalUnlock(hGlobal);
  m_hGlobal = nullptr;
  CMemFile::Detach();
  return hGlobal;
}

BYTE* CSharedFile::Alloc(size_t nBytes) {
  HGLOBAL hGlobal = ::GlobalAlloc(m_nAllocFlags, nBytes);
  BYTE* lpMem = hGlobal ? static_cast<BYTE*>(::GlobalLock(hGlobal)) : nullptr;
  if (!lpMem) {
    if (hGlobal) ::GlobalFree(hGlobal);
    return nullptr;
  }
  m_hGlobal = hGlobal;
  return lpMem;
}

BYTE* CSharedFile::Realloc(BYTE* lpMem, size_t nBytes) {
  if (!lpMem || !m_hGlobal) return Alloc(nBytes);
  ::GlobalUnlock(m_hGlobal);
  HGLOBAL hNew = ::GlobalReAlloc(m_hGlobal, nBytes, GMEM_MOVEABLE | (m_nAllocFlags & GMEM_ZEROINIT));
  if (!hNew) {
    ::GlobalLock(m_hGlobal);  // the old block stays the file's, where it was
    return nullptr;
  }
  m_hGlobal = hNew;
  return static_cast<BYTE*>(::GlobalLock(hNew));
}

void CSharedFile::FreeMemory(BYTE*) {
  if (!m_hGlobal) return;
  ::GlobalUnlock(m_hGlobal);
  ::GlobalFree(m_hGlobal);
  m_hGlobal = nullptr;
}

size_t CSharedFile::GrowSize(size_t nNeeded, size_t nOldSize) const {
  return std::max({nNeeded, nOldSize + GetGrowBytes(), nOldSize * 2});
}
