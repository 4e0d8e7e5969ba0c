#include <algorithm>
#include <cstdio>
#include <cstring>

#include "afx/afx.h"

namespace {

char AsciiUpper(char ch) { return (ch >= 'a' && ch <= 'z') ? (char)(ch - 'a' + 'A') : ch; }
char AsciiLower(char ch) { return (ch >= 'A' && ch <= 'Z') ? (char)(ch - 'A' + 'a') : ch; }

const char kWhitespace[] = " \t\r\n\v\f";

int Sign(int n) { return (n > 0) - (n < 0); }

}  // namespace

CString::CString(LPCTSTR lpsz) {
  if (lpsz != NULL) m_str = lpsz;
}

CString::CString(LPCTSTR lpch, int nLength) {
  if (lpch != NULL && nLength > 0) m_str.assign(lpch, (size_t)nLength);
}

CString::CString(TCHAR ch, int nRepeat) {
  if (nRepeat > 0) m_str.assign((size_t)nRepeat, ch);
}

TCHAR CString::GetAt(int nIndex) const {
  ASSERT(nIndex >= 0 && nIndex < GetLength());
  return (nIndex >= 0 && nIndex < GetLength()) ? m_str[(size_t)nIndex] : '\0';
}

void CString::SetAt(int nIndex, TCHAR ch) {
  ASSERT(nIndex >= 0 && nIndex < GetLength());
  if (nIndex >= 0 && nIndex < GetLength()) m_str[(size_t)nIndex] = ch;
}

CString& CString::operator=(LPCTSTR lpsz) {
  if (lpsz == NULL)
    m_str.clear();
  else
    m_str = lpsz;  // safe when lpsz points into this string
  return *this;
}

CString& CString::operator=(TCHAR ch) {
  m_str.assign(1, ch);
  return *this;
}

CString& CString::operator+=(const CString& string) {
  m_str += string.m_str;
  return *this;
}

CString& CString::operator+=(LPCTSTR lpsz) {
  if (lpsz != NULL) m_str += lpsz;
  return *this;
}

CString& CString::operator+=(TCHAR ch) {
  m_str += ch;
  return *this;
}

CString operator+(const CString& string1, const CString& string2) {
  CString s(string1);
  s += string2;
  return s;
}
CString operator+(const CString& string, LPCTSTR lpsz) {
  CString s(string);
  s += lpsz;
  return s;
}
CString operator+(LPCTSTR lpsz, const CString& string) {
  CString s(lpsz);
  s += string;
  return s;
}
CString operator+(const CString& string, TCHAR ch) {
  CString s(string);
  s += ch;
  return s;
}
CString operator+(TCHAR ch, const CString& string) {
  CString s(ch);
  s += string;
  return s;
}

int CString::Compare(LPCTSTR lpsz) const { return Sign(strcmp(m_str.c_str(), lpsz ? lpsz : "")); }

int CString::CompareNoCase(LPCTSTR lpsz) const {
  const unsigned char* p1 = (const unsigned char*)m_str.c_str();
  const unsigned char* p2 = (const unsigned char*)(lpsz ? lpsz : "");
  for (;; p1++, p2++) {
    int c1 = (unsigned char)AsciiLower((char)*p1);
    int c2 = (unsigned char)AsciiLower((char)*p2);
    if (c1 != c2 || c1 == 0) return Sign(c1 - c2);
  }
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
  if (nFirst < 0) nFirst = 0;
  if (nCount < 0) nCount = 0;
  if (nFirst >= GetLength()) return CString();
  CString s;
  s.m_str = m_str.substr((size_t)nFirst, (size_t)nCount);
  return s;
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
  if (nCount < 0) nCount = 0;
  if (nCount >= GetLength()) return *this;
  return Mid(GetLength() - nCount, nCount);
}

CString& CString::MakeUpper() {
  std::transform(m_str.begin(), m_str.end(), m_str.begin(), AsciiUpper);
  return *this;
}

CString& CString::MakeLower() {
  std::transform(m_str.begin(), m_str.end(), m_str.begin(), AsciiLower);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(TCHAR chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(LPCTSTR lpszTargets) { return TrimRight(lpszTargets).TrimLeft(lpszTargets); }

CString& CString::TrimLeft() { return TrimLeft(kWhitespace); }
CString& CString::TrimLeft(TCHAR chTarget) {
  const char targets[2] = {chTarget, '\0'};
  if (chTarget == '\0') return *this;
  return TrimLeft(targets);
}
CString& CString::TrimLeft(LPCTSTR lpszTargets) {
  if (lpszTargets == NULL || *lpszTargets == '\0') return *this;
  size_t n = m_str.find_first_not_of(lpszTargets);
  m_str.erase(0, n == std::string::npos ? m_str.size() : n);
  return *this;
}

CString& CString::TrimRight() { return TrimRight(kWhitespace); }
CString& CString::TrimRight(TCHAR chTarget) {
  const char targets[2] = {chTarget, '\0'};
  if (chTarget == '\0') return *this;
  return TrimRight(targets);
}
CString& CString::TrimRight(LPCTSTR lpszTargets) {
  if (lpszTargets == NULL || *lpszTargets == '\0') return *this;
  size_t n = m_str.find_last_not_of(lpszTargets);
  m_str.erase(n == std::string::npos ? 0 : n + 1);
  return *this;
}

int CString::Replace(TCHAR chOld, TCHAR chNew) {
  int nCount = 0;
  for (char& ch : m_str) {
    if (ch == chOld) {
      ch = chNew;
      nCount++;
    }
  }
  return nCount;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew) {
  if (lpszOld == NULL || *lpszOld == '\0') return 0;
  const std::string from(lpszOld), to(lpszNew ? lpszNew : "");
  std::string result;
  int nCount = 0;
  size_t nStart = 0;
  for (size_t n; (n = m_str.find(from, nStart)) != std::string::npos; nStart = n + from.size()) {
    result.append(m_str, nStart, n - nStart);
    result += to;
    nCount++;
  }
  if (nCount > 0) {
    result.append(m_str, nStart, std::string::npos);
    m_str.swap(result);
  }
  return nCount;
}

int CString::Find(TCHAR ch, int nStart) const {
  if (nStart < 0 || nStart >= GetLength()) return -1;
  size_t n = m_str.find(ch, (size_t)nStart);
  return n == std::string::npos ? -1 : (int)n;
}

int CString::Find(LPCTSTR lpszSub, int nStart) const {
  if (lpszSub == NULL || nStart < 0 || nStart > GetLength()) return -1;
  size_t n = m_str.find(lpszSub, (size_t)nStart);
  return n == std::string::npos ? -1 : (int)n;
}

int CString::ReverseFind(TCHAR ch) const {
  size_t n = m_str.rfind(ch);
  return n == std::string::npos ? -1 : (int)n;
}

void CString::Format(LPCTSTR lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  FormatV(lpszFormat, args);
  va_end(args);
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList) {
  char buffer[256];
  va_list args;
  va_copy(args, argList);
  int n = vsnprintf(buffer, sizeof(buffer), lpszFormat, args);
  va_end(args);
  if (n < 0) {
    m_str.clear();
  } else if ((size_t)n < sizeof(buffer)) {
    m_str.assign(buffer, (size_t)n);
  } else {
    std::string result((size_t)n, '\0');
    va_copy(args, argList);
    vsnprintf(&result[0], (size_t)n + 1, lpszFormat, args);
    va_end(args);
    m_str.swap(result);
  }
}

LPTSTR CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_str.resize((size_t)nMinBufLength);
  return &m_str[0];
}

LPTSTR CString::GetBufferSetLength(int nNewLength) {
  m_str.resize((size_t)std::max(nNewLength, 0));
  return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
  if (nNewLength < 0)
    nNewLength = (int)strlen(m_str.c_str());
  else if (nNewLength > GetLength())
    nNewLength = GetLength();
  m_str.resize((size_t)nNewLength);
}

bool operator==(const CString& s1, const CString& s2) { return s1.Compare(s2) == 0; }
bool operator==(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) == 0; }
bool operator==(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
bool operator!=(const CString& s1, const CString& s2) { return s1.Compare(s2) != 0; }
bool operator!=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) != 0; }
bool operator!=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) != 0; }
bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
bool operator<(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) < 0; }
bool operator<(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) > 0; }
bool operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
bool operator>(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) > 0; }
bool operator>(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) < 0; }
bool operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
bool operator<=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) <= 0; }
bool operator<=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) >= 0; }
bool operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }
bool operator>=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) >= 0; }
bool operator>=(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) <= 0; }
