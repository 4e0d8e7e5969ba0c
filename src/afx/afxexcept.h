// The framework's exceptions.
//
// One way throughout: exceptions are allocated and thrown as pointers, and whoever catches one
// ends it with Delete():
//   throw new CArchiveException(CArchiveException::badClass, name);   // or AfxThrow...()
//   try { ... } catch (CException* e) { ...; e->Delete(); }
// A handler that cannot deal with it rethrows with `throw;` and does not delete it.
// Allocation failures of operator new stay std::bad_alloc; the framework throws
// CMemoryException only where it refuses a size itself (a memory file that may not grow).
#ifndef VEDRA_AFX_AFXEXCEPT_H
#define VEDRA_AFX_AFXEXCEPT_H

#include "afx/afxobj.h"
#include "afx/afxstr.h"

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  explicit CException(BOOL bAutoDelete = TRUE);
  ~CException() override;

  // Deletes the exception when it was allocated to be thrown (m_bAutoDelete).
  void Delete();

  // Copies a one-line description (English) into the buffer; FALSE when there is none.
  virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const;

  BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)
 public:
  CMemoryException();
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
};

class CNotSupportedException : public CException {
  DECLARE_DYNAMIC(CNotSupportedException)
 public:
  CNotSupportedException();
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
};

// Thrown after the user has been told what went wrong (a field that failed validation): whoever
// catches it shows nothing more.
class CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
 public:
  CUserException() = default;
};

class CResourceException : public CException {
  DECLARE_DYNAMIC(CResourceException)
 public:
  CResourceException();
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
};

class CArchiveException : public CException {
  DECLARE_DYNAMIC(CArchiveException)
 public:
  enum {
    none,
    genericException,  // also: objects nested too deeply, malformed string prefix
    readOnly,          // wrote to a loading archive
    endOfFile,         // the stream ended inside an item
    writeOnly,         // read from a storing archive
    badIndex,          // a reference to an index that the stream has not defined
    badClass,          // unknown class name, wrong class for a typed reference, class not serializable
    badSchema          // stored schema differs from a non-versionable class's schema
  };

  explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = NULL);
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;

  int m_cause;
  CString m_strFileName;
};

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
 public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = NULL);
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;

  // The cause for a C library errno value.
  static int ErrnoToException(int nErrno);

  int m_cause;
  LONG m_lOsError;  // errno of the failed C library call, -1 when none
  CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = NULL);
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = NULL);

#endif  // VEDRA_AFX_AFXEXCEPT_H
