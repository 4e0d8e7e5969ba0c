// CFile (a binary file over the C library's streams) and CMemFile (a file in memory).
//
// Paths are UTF-8; on Windows they are converted to UTF-16 and opened with _wfopen, so Korean
// names work whatever the user's code page. Files are always binary: typeText, typeBinary and the
// share flags are accepted and have no effect.
//
// Open modes (combine with |):
//   modeRead                           open an existing file for reading
//   modeWrite / modeReadWrite          open an existing file (not truncated)
//   modeCreate | modeWrite/ReadWrite   create the file, or truncate an existing one
//   modeCreate | modeNoTruncate | ...  create the file when missing, else open it untouched
// Failures throw CFileException (Open returns FALSE instead and fills the optional exception).
// A short Read at the end of the file is not an error.
#ifndef VEDRA_AFX_AFXFILE_H
#define VEDRA_AFX_AFXFILE_H

#include <cstdio>

#include "afx/afxexcept.h"
#include "afx/afxobj.h"
#include "afx/afxstr.h"

class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
 public:
  enum OpenFlags {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000
  };
  enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

  CFile();
  CFile(LPCTSTR lpszFileName, UINT nOpenFlags);  // throws CFileException
  ~CFile() override;                             // closes without throwing

  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetLength() const;
  virtual ULONGLONG GetPosition() const;
  virtual void Flush();
  virtual void Close();  // throws when buffered data cannot be written
  virtual void Abort();  // closes, ignoring errors

  virtual CString GetFilePath() const;
  virtual CString GetFileName() const;  // the path's last component

  // Renames a file, replacing a file of the new name if there is one (so that a finished
  // temporary file can take the place of the old one in one step). Throws CFileException.
  static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
  // Deletes a file. Throws CFileException.
  static void Remove(LPCTSTR lpszFileName);

 protected:
  void CheckOpen() const;

  CString m_strFileName;

 private:
  void ThrowErrno(int nCause = CFileException::genericException) const;

  FILE* m_pStream;
  UINT m_nOpenFlags;
  mutable enum { opNone, opRead, opWrite } m_lastOp;  // a switch between them needs a seek
};

// A file in memory. CMemFile(nGrowBytes) owns a buffer that grows in steps of nGrowBytes.
// CMemFile(buffer, size, nGrowBytes) works on the caller's buffer: with nGrowBytes 0 the file is
// the buffer's content and cannot grow (writing past it throws CMemoryException); otherwise the
// file starts empty and moves to a buffer of its own when it outgrows the caller's.
// Detach ends the file and hands back its buffer; a buffer that the file allocated is the
// caller's to free() afterwards.
class CMemFile : public CFile {
  DECLARE_DYNAMIC(CMemFile)
 public:
  explicit CMemFile(UINT nGrowBytes = 1024);
  CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  ~CMemFile() override;

  void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  BYTE* Detach();

  BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  ULONGLONG GetLength() const override;
  ULONGLONG GetPosition() const override;
  void Flush() override;
  void Close() override;
  void Abort() override;

 protected:
  // The buffer's memory (the C library's heap); a file in other memory (CSharedFile) overrides
  // all three, and frees its buffer in its own destructor.
  virtual BYTE* Alloc(size_t nBytes);
  virtual BYTE* Realloc(BYTE* lpMem, size_t nBytes);  // lpMem may be null
  virtual void FreeMemory(BYTE* lpMem);
  // The new buffer size when nNeeded bytes must fit a buffer of nOldSize.
  virtual size_t GrowSize(size_t nNeeded, size_t nOldSize) const;
  UINT GetGrowBytes() const { return m_nGrowBytes; }

 private:
  void Grow(size_t nNewSize);
  void Free();

  BYTE* m_lpBuffer;
  size_t m_nBufferSize;
  size_t m_nFileSize;
  size_t m_nPosition;
  UINT m_nGrowBytes;
  BOOL m_bAutoDelete;  // the buffer is ours to free
};

#endif  // VEDRA_AFX_AFXFILE_H
