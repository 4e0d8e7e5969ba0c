// Basic Windows types and the framework's debugging macros.
//
// On Windows the types come from <windows.h>. In the native configuration the same names are
// defined here with the sizes they have on 64-bit Windows, so that portable code (and everything
// it stores) means the same thing in both configurations:
//   BYTE 8, WORD 16, DWORD/UINT/LONG/ULONG 32, LONGLONG/ULONGLONG 64 bits; INT_PTR/UINT_PTR
//   pointer-sized. Never store a `long`: it is 32 bits on Windows and 64 bits on Linux.
// Text is UTF-8 in `char` (TCHAR is char; UNICODE must not be defined).
#ifndef VEDRA_AFX_AFXTYPES_H
#define VEDRA_AFX_AFXTYPES_H

#include <cstddef>
#include <cstdint>

#ifdef _WIN32

#ifdef UNICODE
#error "Vedra uses the ANSI (UTF-8) Win32 functions: do not define UNICODE"
#endif
#include <windows.h>

#else  // native

typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef ULONG_PTR DWORD_PTR;
typedef UINT* PUINT;

typedef char CHAR;
typedef char TCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;

typedef DWORD COLORREF;
#define RGB(r, g, b) \
  ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) \
  ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
  LONG cx;
  LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

#endif  // _WIN32

#ifndef _T
#define _T(x) x
#endif

static_assert(sizeof(BYTE) == 1 && sizeof(WORD) == 2 && sizeof(DWORD) == 4 && sizeof(UINT) == 4 &&
                  sizeof(LONG) == 4 && sizeof(LONGLONG) == 8 && sizeof(INT_PTR) == sizeof(void*),
              "unexpected basic type sizes");
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the archive format and the file readers assume a little-endian machine"
#endif

// printf-style format checking for the framework's variadic functions.
#if defined(__MINGW_PRINTF_FORMAT)
#define AFX_PRINTF_FORMAT(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define AFX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define AFX_PRINTF_FORMAT(fmt, args)
#endif

// ASSERT, VERIFY, TRACE, ASSERT_VALID.
// Checks and traces are active only when _DEBUG is defined: a failed ASSERT then prints the
// place to stderr and aborts, TRACE prints to stderr (and the debugger on Windows). Otherwise
// they cost nothing and ASSERT does not evaluate its argument; VERIFY always evaluates it.
void AfxAssertFailedLine(const char* lpszFileName, int nLine);
#ifdef _DEBUG
void AfxTrace(LPCTSTR lpszFormat, ...) AFX_PRINTF_FORMAT(1, 2);
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__))
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(pOb) (ASSERT((pOb) != NULL), (pOb)->AssertValid())
#else
inline void AFX_PRINTF_FORMAT(1, 2) AfxTrace(LPCTSTR, ...) {}
#define ASSERT(f) ((void)sizeof(!(f)))
#define VERIFY(f) ((void)(f))
#define ASSERT_VALID(pOb) ((void)sizeof(pOb))
#endif
#define TRACE AfxTrace
#define TRACE0(sz) AfxTrace("%s", sz)
#define TRACE1(sz, p1) AfxTrace(sz, p1)
#define TRACE2(sz, p1, p2) AfxTrace(sz, p1, p2)
#define TRACE3(sz, p1, p2, p3) AfxTrace(sz, p1, p2, p3)

#endif  // VEDRA_AFX_AFXTYPES_H
