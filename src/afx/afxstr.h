// CString: a text string of UTF-8 bytes.
//
// Lengths and indexes count bytes. Case operations (MakeUpper, MakeLower, CompareNoCase) touch
// only ASCII letters, so the bytes of multi-byte characters are never changed or folded.
// Pass a CString to a variadic function (Format, TRACE, printf) as (LPCTSTR)str.
#ifndef VEDRA_AFX_AFXSTR_H
#define VEDRA_AFX_AFXSTR_H

#include <cstdarg>
#include <string>

#include "afx/afxtypes.h"

class CString {
 public:
  CString() = default;
  CString(const CString& stringSrc) = default;
  CString(CString&& stringSrc) noexcept = default;
  CString(LPCTSTR lpsz);  // null gives the empty string
  CString(LPCTSTR lpch, int nLength);
  explicit CString(TCHAR ch, int nRepeat = 1);
  ~CString() = default;

  int GetLength() const { return (int)m_str.size(); }
  BOOL IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }

  TCHAR GetAt(int nIndex) const;
  TCHAR operator[](int nIndex) const { return GetAt(nIndex); }
  void SetAt(int nIndex, TCHAR ch);
  operator LPCTSTR() const { return m_str.c_str(); }

  CString& operator=(const CString& stringSrc) = default;
  CString& operator=(CString&& stringSrc) noexcept = default;
  CString& operator=(LPCTSTR lpsz);
  CString& operator=(TCHAR ch);

  CString& operator+=(const CString& string);
  CString& operator+=(LPCTSTR lpsz);
  CString& operator+=(TCHAR ch);

  friend CString operator+(const CString& string1, const CString& string2);
  friend CString operator+(const CString& string, LPCTSTR lpsz);
  friend CString operator+(LPCTSTR lpsz, const CString& string);
  friend CString operator+(const CString& string, TCHAR ch);
  friend CString operator+(TCHAR ch, const CString& string);

  // <0, 0, >0 like strcmp (bytes compared as unsigned); NoCase folds ASCII letters.
  int Compare(LPCTSTR lpsz) const;
  int CompareNoCase(LPCTSTR lpsz) const;

  // Substrings; out-of-range arguments are clamped.
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;

  CString& MakeUpper();
  CString& MakeLower();

  // Whitespace (space, tab, CR, LF, VT, FF) or the given characters.
  CString& Trim();
  CString& Trim(TCHAR chTarget);
  CString& Trim(LPCTSTR lpszTargets);
  CString& TrimLeft();
  CString& TrimLeft(TCHAR chTarget);
  CString& TrimLeft(LPCTSTR lpszTargets);
  CString& TrimRight();
  CString& TrimRight(TCHAR chTarget);
  CString& TrimRight(LPCTSTR lpszTargets);

  // Number of replacements made. An empty lpszOld replaces nothing.
  int Replace(TCHAR chOld, TCHAR chNew);
  int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);

  // Index of the first match at or after nStart, or -1.
  int Find(TCHAR ch, int nStart = 0) const;
  int Find(LPCTSTR lpszSub, int nStart = 0) const;
  int ReverseFind(TCHAR ch) const;

  void Format(LPCTSTR lpszFormat, ...) AFX_PRINTF_FORMAT(2, 3);
  void FormatV(LPCTSTR lpszFormat, va_list argList);

  // Direct access to the characters: the buffer holds at least nMinBufLength characters plus a
  // terminator. ReleaseBuffer sets the length (-1: up to the first NUL) and ends the access.
  LPTSTR GetBuffer(int nMinBufLength);
  LPTSTR GetBuffer() { return GetBuffer(0); }
  LPTSTR GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);

 private:
  std::string m_str;
};

bool operator==(const CString& s1, const CString& s2);
bool operator==(const CString& s1, LPCTSTR s2);
bool operator==(LPCTSTR s1, const CString& s2);
bool operator!=(const CString& s1, const CString& s2);
bool operator!=(const CString& s1, LPCTSTR s2);
bool operator!=(LPCTSTR s1, const CString& s2);
bool operator<(const CString& s1, const CString& s2);
bool operator<(const CString& s1, LPCTSTR s2);
bool operator<(LPCTSTR s1, const CString& s2);
bool operator>(const CString& s1, const CString& s2);
bool operator>(const CString& s1, LPCTSTR s2);
bool operator>(LPCTSTR s1, const CString& s2);
bool operator<=(const CString& s1, const CString& s2);
bool operator<=(const CString& s1, LPCTSTR s2);
bool operator<=(LPCTSTR s1, const CString& s2);
bool operator>=(const CString& s1, const CString& s2);
bool operator>=(const CString& s1, LPCTSTR s2);
bool operator>=(LPCTSTR s1, const CString& s2);

#endif  // VEDRA_AFX_AFXSTR_H
