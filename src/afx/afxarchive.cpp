#include <algorithm>
#include <climits>

#include "afx/afx.h"

namespace {

// Tags of object references.
const WORD wNullTag = 0x0000;
const WORD wNewClassTag = 0xFFFF;
const WORD wClassTag = 0x8000;
const WORD wBigObjectTag = 0x7FFF;
const DWORD dwBigClassTag = 0x80000000;
const DWORD nMaxMapIndex = 0x7FFFFFFF;  // indexes must fit beside dwBigClassTag

// Strings longer than this are read in pieces, so that a damaged length cannot make the archive
// allocate more than the stream holds.
const DWORD nStringChunk = 1 << 20;

}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pDocument(NULL),
      m_pFile(pFile),
      m_nMode(nMode),
      m_nObjectSchema((UINT)-1),
      m_nDepth(0),
      m_lpBufStart(NULL),
      m_nBufSize(0),
      m_lpWriteCur(NULL),
      m_lpWriteMax(NULL),
      m_lpReadCur(NULL),
      m_lpReadMax(NULL),
      m_bUserBuf(false),
      m_nMapCount(1) {
  if (lpBuf != NULL && nBufSize >= 16) {
    m_lpBufStart = (BYTE*)lpBuf;
    m_nBufSize = (size_t)nBufSize;
    m_bUserBuf = true;
  } else {
    m_nBufSize = (size_t)std::max(nBufSize, 128);
    m_lpBufStart = new BYTE[m_nBufSize];
  }
  if (IsStoring()) {
    m_lpWriteCur = m_lpBufStart;
    m_lpWriteMax = m_lpBufStart + m_nBufSize;
  } else {
    m_lpReadCur = m_lpReadMax = m_lpBufStart;
    m_loadArray.push_back(LoadEntry{NULL, 0, false});
  }
}

CArchive::~CArchive() {
  if (m_pFile != NULL) {
    if (m_nMode & bNoFlushOnDelete) {
      Abort();
    } else {
      try {
        Close();
      } catch (CException* e) {
        e->Delete();
      } catch (...) {
      }
    }
  }
  if (!m_bUserBuf) delete[] m_lpBufStart;
}

void CArchive::Throw(int cause) const {
  CString name;
  if (m_pFile != NULL) name = m_pFile->GetFilePath();
  AfxThrowArchiveException(cause, name);
}

void CArchive::CheckStoring() {
  if (IsLoading()) Throw(CArchiveException::readOnly);
  if (m_pFile == NULL) Throw(CArchiveException::genericException);
}

void CArchive::CheckLoading() {
  if (IsStoring()) Throw(CArchiveException::writeOnly);
  if (m_pFile == NULL) Throw(CArchiveException::genericException);
}

// ---------------------------------------------------------------------------------------------
// Buffer

void CArchive::MakeRoom() {
  CheckStoring();
  size_t nBytes = (size_t)(m_lpWriteCur - m_lpBufStart);
  m_lpWriteCur = m_lpBufStart;
  if (nBytes > 0) m_pFile->Write(m_lpBufStart, (UINT)nBytes);
}

void CArchive::FillBuffer(size_t nBytes) {
  CheckLoading();
  size_t nHave = (size_t)(m_lpReadMax - m_lpReadCur);
  if (nHave > 0 && m_lpReadCur != m_lpBufStart) memmove(m_lpBufStart, m_lpReadCur, nHave);
  m_lpReadCur = m_lpBufStart;
  m_lpReadMax = m_lpBufStart + nHave;
  while (nHave < nBytes) {
    UINT nRead = m_pFile->Read(m_lpBufStart + nHave, (UINT)(m_nBufSize - nHave));
    if (nRead == 0) break;
    nHave += nRead;
    m_lpReadMax = m_lpBufStart + nHave;
  }
  if (nHave < nBytes) Throw(CArchiveException::endOfFile);
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
  CheckLoading();
  BYTE* lpDest = (BYTE*)lpBuf;
  UINT nDone = 0;
  while (nDone < nMax) {
    size_t nHave = (size_t)(m_lpReadMax - m_lpReadCur);
    if (nHave > 0) {
      size_t n = std::min<size_t>(nHave, nMax - nDone);
      memcpy(lpDest + nDone, m_lpReadCur, n);
      m_lpReadCur += n;
      nDone += (UINT)n;
      continue;
    }
    UINT nLeft = nMax - nDone;
    if (nLeft >= m_nBufSize) {  // large reads go straight to the caller's memory
      UINT nRead = m_pFile->Read(lpDest + nDone, nLeft);
      if (nRead == 0) break;
      nDone += nRead;
    } else {
      m_lpReadCur = m_lpBufStart;
      UINT nRead = m_pFile->Read(m_lpBufStart, (UINT)m_nBufSize);
      m_lpReadMax = m_lpBufStart + nRead;
      if (nRead == 0) break;
    }
  }
  return nDone;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
  CheckStoring();
  if (nMax == 0) return;
  if ((size_t)(m_lpWriteMax - m_lpWriteCur) >= nMax) {
    memcpy(m_lpWriteCur, lpBuf, nMax);
    m_lpWriteCur += nMax;
    return;
  }
  MakeRoom();
  if (nMax >= m_nBufSize) {
    m_pFile->Write(lpBuf, nMax);
  } else {
    memcpy(m_lpWriteCur, lpBuf, nMax);
    m_lpWriteCur += nMax;
  }
}

void CArchive::Flush() {
  if (m_pFile == NULL) return;
  if (IsStoring()) {
    MakeRoom();
  } else {
    size_t nUnread = (size_t)(m_lpReadMax - m_lpReadCur);
    m_lpReadCur = m_lpReadMax = m_lpBufStart;
    if (nUnread > 0) m_pFile->Seek(-(LONGLONG)nUnread, CFile::current);
  }
}

void CArchive::Close() {
  if (m_pFile == NULL) return;
  try {
    Flush();
  } catch (...) {
    Abort();
    throw;
  }
  Abort();
}

void CArchive::Abort() {
  // Without a file every item takes the slow path, which refuses it.
  m_pFile = NULL;
  m_lpWriteCur = m_lpWriteMax = NULL;
  m_lpReadCur = m_lpReadMax = NULL;
}

// ---------------------------------------------------------------------------------------------
// Counts and strings

void CArchive::WriteCount(DWORD dwCount) {
  if (dwCount < 0xFFFF) {
    *this << (WORD)dwCount;
  } else {
    *this << (WORD)0xFFFF << (DWORD)dwCount;
  }
}

DWORD CArchive::ReadCount() {
  WORD wCount;
  *this >> wCount;
  if (wCount != 0xFFFF) return wCount;
  DWORD dwCount;
  *this >> dwCount;
  return dwCount;
}

CArchive& operator<<(CArchive& ar, const CString& string) {
  DWORD nLen = (DWORD)string.GetLength();
  if (nLen < 255) {
    ar << (BYTE)nLen;
  } else if (nLen < 0xFFFE) {
    ar << (BYTE)0xFF << (WORD)nLen;
  } else {
    ar << (BYTE)0xFF << (WORD)0xFFFF << (DWORD)nLen;
  }
  ar.Write((LPCTSTR)string, nLen);
  return ar;
}

CArchive& operator<<(CArchive& ar, LPCTSTR lpsz) { return ar << CString(lpsz); }

CArchive& operator>>(CArchive& ar, CString& string) {
  BYTE bLen;
  ar >> bLen;
  DWORD nLen = bLen;
  if (bLen == 0xFF) {
    WORD wLen;
    ar >> wLen;
    nLen = wLen;
    if (wLen == 0xFFFF) {
      ar >> nLen;
    } else if (wLen == 0xFFFE) {
      ar.Throw(CArchiveException::genericException);  // a prefix that this format never writes
    }
  }
  if (nLen > (DWORD)INT_MAX) ar.Throw(CArchiveException::genericException);
  string.Empty();
  DWORD nDone = 0;
  while (nDone < nLen) {
    DWORD nChunk = std::min(nLen - nDone, nStringChunk);
    LPTSTR lpBuf = string.GetBuffer((int)(nDone + nChunk));
    if (ar.Read(lpBuf + nDone, nChunk) != nChunk) {
      string.Empty();
      ar.Throw(CArchiveException::endOfFile);
    }
    nDone += nChunk;
    string.ReleaseBuffer((int)nDone);
  }
  return ar;
}

// ---------------------------------------------------------------------------------------------
// Classes and objects

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
  CheckStoring();
  if (pClassRef == NULL || pClassRef->m_wSchema == 0xFFFF) Throw(CArchiveException::badClass);
  auto it = m_storeMap.find(pClassRef);
  if (it != m_storeMap.end()) {
    DWORD nIndex = it->second;
    if (nIndex < wBigObjectTag) {
      *this << (WORD)(wClassTag | nIndex);
    } else {
      *this << wBigObjectTag << (DWORD)(dwBigClassTag | nIndex);
    }
    return;
  }
  if (m_nMapCount > nMaxMapIndex) Throw(CArchiveException::badIndex);
  *this << wNewClassTag;
  pClassRef->Store(*this);
  m_storeMap[pClassRef] = m_nMapCount++;
}

void CArchive::WriteObject(const CObject* pOb) {
  CheckStoring();
  if (pOb == NULL) {
    *this << wNullTag;
    return;
  }
  auto it = m_storeMap.find(pOb);
  if (it != m_storeMap.end()) {
    DWORD nIndex = it->second;
    if (nIndex < wBigObjectTag) {
      *this << (WORD)nIndex;
    } else {
      *this << wBigObjectTag << (DWORD)nIndex;
    }
    return;
  }
  WriteClass(pOb->GetRuntimeClass());
  if (m_nMapCount > nMaxMapIndex) Throw(CArchiveException::badIndex);
  m_storeMap[pOb] = m_nMapCount++;  // before its data, so that it can refer to itself
  const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema,
                                   DWORD* pObTag) {
  CheckLoading();
  WORD wTag;
  *this >> wTag;
  DWORD obTag;
  if (wTag == wBigObjectTag) {
    *this >> obTag;
  } else {
    obTag = (wTag & wClassTag) ? (dwBigClassTag | (wTag & ~wClassTag)) : wTag;
  }

  CRuntimeClass* pClassRef;
  UINT nSchema;
  if (wTag == wNewClassTag) {
    pClassRef = CRuntimeClass::Load(*this, &nSchema);
    if (pClassRef == NULL || pClassRef->m_wSchema == 0xFFFF) Throw(CArchiveException::badClass);
    if (!(pClassRef->m_wSchema & VERSIONABLE_SCHEMA) && nSchema != pClassRef->m_wSchema)
      Throw(CArchiveException::badSchema);
    if (m_loadArray.size() > nMaxMapIndex) Throw(CArchiveException::badIndex);
    m_loadArray.push_back(LoadEntry{pClassRef, nSchema, true});
  } else if (obTag & dwBigClassTag) {
    DWORD nIndex = obTag & ~dwBigClassTag;
    if (nIndex == 0 || nIndex >= m_loadArray.size() || !m_loadArray[nIndex].bClass)
      Throw(CArchiveException::badIndex);
    pClassRef = (CRuntimeClass*)m_loadArray[nIndex].p;
    nSchema = m_loadArray[nIndex].nSchema;
  } else {
    if (pObTag != NULL) *pObTag = obTag;
    return NULL;
  }

  if (pClassRefRequested != NULL && !pClassRef->IsDerivedFrom(pClassRefRequested))
    Throw(CArchiveException::badClass);
  if (pSchema != NULL) *pSchema = nSchema;
  return pClassRef;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested, BOOL* pbNew) {
  if (pbNew != NULL) *pbNew = FALSE;
  UINT nSchema = 0;
  DWORD obTag = 0;
  CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);

  if (pClassRef == NULL) {  // null or an object already read
    if (obTag >= m_loadArray.size() || m_loadArray[obTag].bClass) Throw(CArchiveException::badIndex);
    CObject* pOb = (CObject*)m_loadArray[obTag].p;
    if (pOb != NULL && pClassRefRequested != NULL && !pOb->IsKindOf(pClassRefRequested))
      Throw(CArchiveException::badClass);
    return pOb;
  }

  if (m_nDepth >= AFX_MAX_OBJECT_DEPTH) Throw(CArchiveException::genericException);
  if (m_loadArray.size() > nMaxMapIndex) Throw(CArchiveException::badIndex);
  CObject* pOb = pClassRef->CreateObject();
  if (pOb == NULL) Throw(CArchiveException::badClass);
  size_t nIndex = m_loadArray.size();
  m_loadArray.push_back(LoadEntry{pOb, 0, false});  // before its data, so that it can refer to itself

  UINT nSavedSchema = m_nObjectSchema;
  m_nObjectSchema = nSchema;
  m_nDepth++;
  try {
    pOb->Serialize(*this);
  } catch (...) {
    m_nDepth--;
    m_nObjectSchema = nSavedSchema;
    m_loadArray[nIndex].p = NULL;
    delete pOb;
    throw;
  }
  m_nDepth--;
  m_nObjectSchema = nSavedSchema;
  if (pbNew != NULL) *pbNew = TRUE;
  return pOb;
}

CArchive& operator<<(CArchive& ar, const CObject* pOb) {
  ar.WriteObject(pOb);
  return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& pOb) {
  pOb = ar.ReadObject(NULL);
  return ar;
}

CArchive& operator>>(CArchive& ar, const CObject*& pOb) {
  pOb = ar.ReadObject(NULL);
  return ar;
}
