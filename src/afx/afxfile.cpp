#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "afx/afx.h"

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

namespace {

#ifdef _WIN32
std::wstring WidePath(LPCTSTR lpszFileName) {
  int nChars = MultiByteToWideChar(CP_UTF8, 0, lpszFileName, -1, NULL, 0);
  if (nChars <= 0) return std::wstring();
  std::wstring path((size_t)nChars, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, lpszFileName, -1, &path[0], nChars);
  return path;
}
#endif

FILE* OpenStream(LPCTSTR lpszFileName, const char* mode) {
#ifdef _WIN32
  // UTF-8 path to UTF-16, so that names outside the user's code page open too.
  std::wstring path = WidePath(lpszFileName);
  if (path.empty()) {
    errno = EINVAL;
    return NULL;
  }
  wchar_t wmode[8] = {0};
  for (size_t i = 0; mode[i] != '\0' && i + 1 < 8; i++) wmode[i] = (wchar_t)mode[i];
  return _wfopen(path.c_str(), wmode);
#else
  return fopen(lpszFileName, mode);
#endif
}

void ThrowFileErrno(LPCTSTR lpszFileName) {
  int nErrno = errno;
  AfxThrowFileException(CFileException::ErrnoToException(nErrno), nErrno, lpszFileName);
}

int SeekStream(FILE* pStream, LONGLONG lOff, int nWhence) {
#ifdef _WIN32
  return _fseeki64(pStream, lOff, nWhence);
#else
  return fseeko(pStream, (off_t)lOff, nWhence);
#endif
}

LONGLONG TellStream(FILE* pStream) {
#ifdef _WIN32
  return _ftelli64(pStream);
#else
  return (LONGLONG)ftello(pStream);
#endif
}

bool IsDirectory(FILE* pStream) {
#ifdef _WIN32
  struct _stat64 st;
  return _fstat64(_fileno(pStream), &st) == 0 && (st.st_mode & _S_IFDIR) != 0;
#else
  struct stat st;
  return fstat(fileno(pStream), &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CFile

CFile::CFile() : m_pStream(NULL), m_nOpenFlags(0), m_lastOp(opNone) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : CFile() {
  CFileException e;
  if (!Open(lpszFileName, nOpenFlags, &e))
    AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile() {
  if (m_pStream != NULL) fclose(m_pStream);
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  Abort();
  const UINT nAccess = nOpenFlags & 3;
  FILE* pStream = NULL;
  if (lpszFileName == NULL || *lpszFileName == '\0' || nAccess == 3) {
    errno = EINVAL;
  } else if (!(nOpenFlags & modeCreate)) {
    pStream = OpenStream(lpszFileName, nAccess == modeRead ? "rb" : "r+b");
  } else if (nOpenFlags & modeNoTruncate) {
    pStream = OpenStream(lpszFileName, "r+b");
    if (pStream == NULL && errno == ENOENT) pStream = OpenStream(lpszFileName, "w+b");
    if (pStream == NULL && nAccess == modeRead) pStream = OpenStream(lpszFileName, "rb");
  } else {
    pStream = OpenStream(lpszFileName, nAccess == modeWrite ? "wb" : "w+b");
  }
  int nErrno = errno;
  if (pStream != NULL && IsDirectory(pStream)) {
    fclose(pStream);
    pStream = NULL;
    nErrno = EISDIR;
  }
  if (pStream == NULL) {
    if (pError != NULL) {
      pError->m_cause = CFileException::ErrnoToException(nErrno);
      if (pError->m_cause == CFileException::none) pError->m_cause = CFileException::genericException;
      pError->m_lOsError = nErrno;
      pError->m_strFileName = lpszFileName;
    }
    return FALSE;
  }
  m_pStream = pStream;
  m_nOpenFlags = nOpenFlags;
  m_lastOp = opNone;
  m_strFileName = lpszFileName;
  return TRUE;
}

void CFile::CheckOpen() const {
  if (m_pStream == NULL) AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
}

void CFile::ThrowErrno(int nCause) const {
  int nErrno = errno;
  if (nCause != CFileException::badSeek) {  // a failed seek says badSeek whatever errno says
    int nMapped = CFileException::ErrnoToException(nErrno);
    if (nMapped != CFileException::none && nMapped != CFileException::genericException)
      nCause = nMapped;
  }
  AfxThrowFileException(nCause, nErrno, m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  CheckOpen();
  if ((m_nOpenFlags & 3) == modeWrite)
    AfxThrowFileException(CFileException::accessDenied, -1, m_strFileName);
  if (nCount == 0) return 0;
  if (m_lastOp == opWrite && SeekStream(m_pStream, 0, SEEK_CUR) != 0) ThrowErrno(CFileException::hardIO);
  m_lastOp = opRead;
  size_t nRead = fread(lpBuf, 1, nCount, m_pStream);
  if (nRead < nCount) {
    if (ferror(m_pStream)) {
      clearerr(m_pStream);
      ThrowErrno(CFileException::hardIO);
    }
    clearerr(m_pStream);
  }
  return (UINT)nRead;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  CheckOpen();
  if ((m_nOpenFlags & 3) == modeRead)
    AfxThrowFileException(CFileException::accessDenied, -1, m_strFileName);
  if (nCount == 0) return;
  if (m_lastOp == opRead && SeekStream(m_pStream, 0, SEEK_CUR) != 0) ThrowErrno(CFileException::hardIO);
  m_lastOp = opWrite;
  if (fwrite(lpBuf, 1, nCount, m_pStream) != nCount) {
    clearerr(m_pStream);
    ThrowErrno(CFileException::diskFull);
  }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  CheckOpen();
  int nWhence = nFrom == begin ? SEEK_SET : nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : -1;
  if (nWhence < 0) AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
  if (SeekStream(m_pStream, lOff, nWhence) != 0) ThrowErrno(CFileException::badSeek);
  m_lastOp = opNone;
  return GetPosition();
}

ULONGLONG CFile::GetLength() const {
  CheckOpen();
  LONGLONG nPos = TellStream(m_pStream);
  if (nPos < 0 || SeekStream(m_pStream, 0, SEEK_END) != 0) ThrowErrno(CFileException::badSeek);
  LONGLONG nLength = TellStream(m_pStream);
  if (nLength < 0 || SeekStream(m_pStream, nPos, SEEK_SET) != 0) ThrowErrno(CFileException::badSeek);
  m_lastOp = opNone;
  return (ULONGLONG)nLength;
}

ULONGLONG CFile::GetPosition() const {
  CheckOpen();
  LONGLONG nPos = TellStream(m_pStream);
  if (nPos < 0) ThrowErrno(CFileException::badSeek);
  return (ULONGLONG)nPos;
}

void CFile::Flush() {
  if (m_pStream == NULL) return;
  if (fflush(m_pStream) != 0) ThrowErrno(CFileException::diskFull);
}

void CFile::Close() {
  if (m_pStream == NULL) return;
  FILE* pStream = m_pStream;
  m_pStream = NULL;
  if (fclose(pStream) != 0) ThrowErrno(CFileException::diskFull);
}

void CFile::Abort() {
  if (m_pStream != NULL) fclose(m_pStream);
  m_pStream = NULL;
}

CString CFile::GetFilePath() const { return m_strFileName; }

CString CFile::GetFileName() const {
  int n = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
  return m_strFileName.Mid(n + 1);
}

// ---------------------------------------------------------------------------------------------
// CMemFile

CMemFile::CMemFile(UINT nGrowBytes)
    : m_lpBuffer(NULL),
      m_nBufferSize(0),
      m_nFileSize(0),
      m_nPosition(0),
      m_nGrowBytes(nGrowBytes),
      m_bAutoDelete(TRUE) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : CMemFile() {
  Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile() { Free(); }

BYTE* CMemFile::Alloc(size_t nBytes) { return (BYTE*)malloc(nBytes); }

BYTE* CMemFile::Realloc(BYTE* lpMem, size_t nBytes) { return (BYTE*)realloc(lpMem, nBytes); }

void CMemFile::FreeMemory(BYTE* lpMem) { free(lpMem); }

void CMemFile::Free() {
  if (m_bAutoDelete && m_lpBuffer != NULL) FreeMemory(m_lpBuffer);
  m_lpBuffer = NULL;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) {
  Free();
  m_lpBuffer = lpBuffer;
  m_nBufferSize = lpBuffer != NULL ? nBufferSize : 0;
  m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
  m_nGrowBytes = nGrowBytes;
  m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach() {
  BYTE* lpBuffer = m_lpBuffer;
  m_bAutoDelete = FALSE;  // the caller owns it now
  Free();
  return lpBuffer;
}

BOOL CMemFile::Open(LPCTSTR, UINT, CFileException*) { AfxThrowNotSupportedException(); }

void CMemFile::Grow(size_t nNewSize) {
  if (m_nGrowBytes == 0) AfxThrowMemoryException();
  const size_t nSize = GrowSize(nNewSize, m_nBufferSize);
  BYTE* lpNew;
  if (m_bAutoDelete) {
    lpNew = Realloc(m_lpBuffer, nSize);
  } else {
    lpNew = Alloc(nSize);
    if (lpNew != NULL && m_nFileSize > 0) memcpy(lpNew, m_lpBuffer, m_nFileSize);
  }
  if (lpNew == NULL) AfxThrowMemoryException();
  m_lpBuffer = lpNew;
  m_nBufferSize = nSize;
  m_bAutoDelete = TRUE;
}

size_t CMemFile::GrowSize(size_t nNeeded, size_t nOldSize) const {
  const size_t nSize = (nNeeded + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
  return std::max(nSize, nOldSize + nOldSize / 2);  // keeps long writes linear
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
  if (m_nPosition >= m_nFileSize || nCount == 0) return 0;
  size_t nRead = std::min<size_t>(nCount, m_nFileSize - m_nPosition);
  memcpy(lpBuf, m_lpBuffer + m_nPosition, nRead);
  m_nPosition += nRead;
  return (UINT)nRead;
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  size_t nEnd = m_nPosition + nCount;
  if (nEnd < m_nPosition) AfxThrowMemoryException();
  if (nEnd > m_nBufferSize) Grow(nEnd);
  if (m_nPosition > m_nFileSize) memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
  memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
  m_nPosition = nEnd;
  m_nFileSize = std::max(m_nFileSize, nEnd);
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
  LONGLONG nBase = nFrom == begin ? 0 : nFrom == current ? (LONGLONG)m_nPosition
                                    : nFrom == end       ? (LONGLONG)m_nFileSize
                                                         : -1;
  if (nBase < 0 || lOff < -nBase || (lOff > 0 && lOff > LLONG_MAX - nBase))
    AfxThrowFileException(CFileException::badSeek);
  m_nPosition = (size_t)(nBase + lOff);
  return m_nPosition;
}

ULONGLONG CMemFile::GetLength() const { return m_nFileSize; }

ULONGLONG CMemFile::GetPosition() const { return m_nPosition; }

void CMemFile::Flush() {}

void CMemFile::Close() { Free(); }

void CMemFile::Abort() { Free(); }

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
#ifdef _WIN32
  if (!MoveFileExW(WidePath(lpszOldName).c_str(), WidePath(lpszNewName).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    AfxThrowFileException(CFileException::accessDenied, (LONG)GetLastError(), lpszOldName);
#else
  if (std::rename(lpszOldName, lpszNewName) != 0) ThrowFileErrno(lpszOldName);
#endif
}

void CFile::Remove(LPCTSTR lpszFileName) {
#ifdef _WIN32
  if (_wremove(WidePath(lpszFileName).c_str()) != 0) ThrowFileErrno(lpszFileName);
#else
  if (std::remove(lpszFileName) != 0) ThrowFileErrno(lpszFileName);
#endif
}
