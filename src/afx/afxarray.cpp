#include <algorithm>

#include "afx/afx.h"

IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)

namespace {

[[noreturn]] void ThrowEndOfFile(CArchive& ar) {
  CString name;
  if (ar.GetFile() != NULL) name = ar.GetFile()->GetFilePath();
  AfxThrowArchiveException(CArchiveException::endOfFile, name);
}

// Count, then the values as raw little-endian bytes. Loading reads in pieces, so that memory
// follows the data actually present rather than the count.
template <class T>
void SerializeValues(CArchive& ar, std::vector<T>& data) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD)data.size());
    if (!data.empty()) ar.Write(data.data(), (UINT)(data.size() * sizeof(T)));
    return;
  }
  const DWORD nCount = ar.ReadCount();
  const DWORD nChunk = 64 * 1024;
  data.clear();
  for (DWORD nDone = 0; nDone < nCount;) {
    DWORD n = std::min(nCount - nDone, nChunk);
    data.resize(nDone + n);
    UINT nBytes = (UINT)(n * sizeof(T));
    if (ar.Read(data.data() + nDone, nBytes) != nBytes) ThrowEndOfFile(ar);
    nDone += n;
  }
}

}  // namespace

void CObArray::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD)m_data.size());
    for (CObject* pOb : m_data) ar << pOb;
    return;
  }
  const DWORD nCount = ar.ReadCount();
  m_data.clear();
  for (DWORD n = 0; n < nCount; n++) {
    CObject* pOb;
    ar >> pOb;
    ReserveForLoad(nCount);
    m_data.push_back(pOb);
  }
}

void CByteArray::Serialize(CArchive& ar) { SerializeValues(ar, m_data); }

void CWordArray::Serialize(CArchive& ar) { SerializeValues(ar, m_data); }

void CDWordArray::Serialize(CArchive& ar) { SerializeValues(ar, m_data); }

void CStringArray::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD)m_data.size());
    for (const CString& string : m_data) ar << string;
    return;
  }
  const DWORD nCount = ar.ReadCount();
  m_data.clear();
  for (DWORD n = 0; n < nCount; n++) {
    CString string;
    ar >> string;
    ReserveForLoad(nCount);
    m_data.push_back(std::move(string));
  }
}
