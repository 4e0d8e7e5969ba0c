#include <cerrno>
#include <cstdio>

#include "afx/afx.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)

static BOOL CopyMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext, LPCTSTR lpszText,
                        LPCTSTR lpszFileName = NULL) {
  if (pnHelpContext != NULL) *pnHelpContext = 0;
  if (lpszError == NULL || nMaxError == 0) return FALSE;
  if (lpszFileName != NULL && *lpszFileName != '\0')
    snprintf(lpszError, nMaxError, "%s (%s)", lpszText, lpszFileName);
  else
    snprintf(lpszError, nMaxError, "%s", lpszText);
  return TRUE;
}

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

CException::~CException() {}

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext != NULL) *pnHelpContext = 0;
  if (lpszError != NULL && nMaxError > 0) *lpszError = '\0';
  return FALSE;
}

CMemoryException::CMemoryException() {}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                       PUINT pnHelpContext) const {
  return CopyMessage(lpszError, nMaxError, pnHelpContext, "Out of memory.");
}

CNotSupportedException::CNotSupportedException() {}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                             PUINT pnHelpContext) const {
  return CopyMessage(lpszError, nMaxError, pnHelpContext, "Operation not supported.");
}

CResourceException::CResourceException() {}

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                         PUINT pnHelpContext) const {
  return CopyMessage(lpszError, nMaxError, pnHelpContext, "A resource could not be found or created.");
}

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName) {}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                        PUINT pnHelpContext) const {
  static const char* const kMessages[] = {
      "No error.",
      "Invalid object stream.",
      "Attempt to write to a stream being loaded.",
      "Unexpected end of the object stream.",
      "Attempt to read from a stream being stored.",
      "Invalid object reference in the stream.",
      "Unknown or unexpected class in the stream.",
      "Unsupported schema of a class in the stream.",
  };
  LPCTSTR lpszText = (m_cause >= 0 && m_cause < (int)(sizeof(kMessages) / sizeof(kMessages[0])))
                         ? kMessages[m_cause]
                         : kMessages[genericException];
  return CopyMessage(lpszError, nMaxError, pnHelpContext, lpszText, m_strFileName);
}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                     PUINT pnHelpContext) const {
  static const char* const kMessages[] = {
      "No error.",
      "File error.",
      "File not found.",
      "Invalid path.",
      "Too many open files.",
      "Access denied.",
      "Invalid file.",
      "Cannot remove the current directory.",
      "Directory full.",
      "Seek error.",
      "Hardware input/output error.",
      "Sharing violation.",
      "Lock violation.",
      "Disk full.",
      "Unexpected end of file.",
  };
  LPCTSTR lpszText = (m_cause >= 0 && m_cause < (int)(sizeof(kMessages) / sizeof(kMessages[0])))
                         ? kMessages[m_cause]
                         : kMessages[genericException];
  return CopyMessage(lpszError, nMaxError, pnHelpContext, lpszText, m_strFileName);
}

int CFileException::ErrnoToException(int nErrno) {
  switch (nErrno) {
    case 0:
      return none;
    case ENOENT:
      return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
      return badPath;
    case EMFILE:
    case ENFILE:
      return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case EEXIST:
      return accessDenied;
    case EBADF:
      return invalidFile;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
      return diskFull;
    case EIO:
      return hardIO;
    case ESPIPE:
      return badSeek;
    default:
      return genericException;
  }
}

void AfxThrowMemoryException() { throw new CMemoryException; }

void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowUserException() { throw new CUserException; }

void AfxThrowResourceException() { throw new CResourceException; }

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName) {
  throw new CArchiveException(cause, lpszArchiveName);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
  throw new CFileException(cause, lOsError, lpszFileName);
}
