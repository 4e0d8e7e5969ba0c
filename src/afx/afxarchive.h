// CArchive: the object stream over a CFile.
//
// All items are little-endian and follow each other without gaps:
//   BYTE, char 1; WORD, short 2; int, UINT, LONG, DWORD, float 4; double, LONGLONG, ULONGLONG 8
//   bytes (floats as their bit patterns). There is deliberately no `long` (its size differs
//   between the configurations) and no `bool`.
//   CString: length prefix, then the bytes, no terminator. The prefix is one byte when the length
//     is below 255; else 0xFF and a u16 when below 0xFFFE; else 0xFF, u16 0xFFFF and a u32.
//   Count (WriteCount/ReadCount): a u16; counts of 0xFFFF or more are 0xFFFF then a u32.
//   Object reference (WriteObject/ReadObject, operator<< / >> of CObject pointers), one u16 tag:
//     0x0000           null
//     0xFFFF           a class new to the stream: u16 schema, u16 name length, the name's bytes;
//                      then the object's own Serialize data
//     0x8000 | n       an object of the class that has index n (n < 0x7FFF), then its data
//     n (1..0x7FFE)    the object already in the stream with index n (nothing follows)
//     0x7FFF           a u32 follows: an object index, or 0x80000000 | n for a class index n
//   Classes and objects share one index sequence that starts at 1, in order of first appearance.
//
// Loading checks everything it reads: a truncated, damaged or foreign stream throws
// CArchiveException (or CFileException from the file) rather than reading past the data,
// and counts read off the stream never decide an allocation up front. An object whose Serialize
// throws while loading is deleted before the exception goes on, so destructors must cope with a
// partly read object (pointer fields may still hold stored ids). Objects may nest at most
// AFX_MAX_OBJECT_DEPTH references deep while loading.
//
// GetObjectSchema returns the schema stored for the object being loaded: inside the Serialize of
// an object read by ReadObject (and of the objects embedded in it, which it serializes directly),
// before and after nested references. It returns (UINT)-1 outside of loading.
#ifndef VEDRA_AFX_AFXARCHIVE_H
#define VEDRA_AFX_AFXARCHIVE_H

#include <cstring>
#include <unordered_map>
#include <vector>

#include "afx/afxexcept.h"
#include "afx/afxfile.h"
#include "afx/afxobj.h"
#include "afx/afxstr.h"

class CDocument;

#define AFX_MAX_OBJECT_DEPTH 1000

class CArchive {
 public:
  enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

  CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = NULL);
  // Closes (flushing a storing archive) unless bNoFlushOnDelete. It never throws, so a write
  // error found then is lost: call Close() to learn of it.
  ~CArchive();

  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsLoading() const { return (m_nMode & load) != 0; }
  BOOL IsStoring() const { return (m_nMode & load) == 0; }
  CFile* GetFile() const { return m_pFile; }

  UINT GetObjectSchema() const { return m_nObjectSchema; }
  void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

  // The document that the stream belongs to, set by whoever serializes one.
  CDocument* m_pDocument;

  // Raw bytes. Read returns how many were read (fewer only at the end of the file).
  UINT Read(void* lpBuf, UINT nMax);
  void Write(const void* lpBuf, UINT nMax);

  // Storing: writes the buffer to the file. Loading: puts the file back to the logical position.
  void Flush();
  // Flushes and lets go of the file (which stays open).
  void Close();
  // Lets go of the file without flushing or throwing.
  void Abort();

  CArchive& operator<<(BYTE by) { return WriteValue(by); }
  CArchive& operator<<(char ch) { return WriteValue(ch); }
  CArchive& operator<<(WORD w) { return WriteValue(w); }
  CArchive& operator<<(short n) { return WriteValue(n); }
  CArchive& operator<<(int i) { return WriteValue(i); }
  CArchive& operator<<(UINT u) { return WriteValue(u); }
  CArchive& operator<<(float f) { return WriteValue(f); }
  CArchive& operator<<(double d) { return WriteValue(d); }
  CArchive& operator<<(LONGLONG n) { return WriteValue(n); }
  CArchive& operator<<(ULONGLONG n) { return WriteValue(n); }
#ifdef _WIN32
  CArchive& operator<<(LONG l) { return WriteValue(l); }
  CArchive& operator<<(DWORD dw) { return WriteValue(dw); }
#endif

  CArchive& operator>>(BYTE& by) { return ReadValue(by); }
  CArchive& operator>>(char& ch) { return ReadValue(ch); }
  CArchive& operator>>(WORD& w) { return ReadValue(w); }
  CArchive& operator>>(short& n) { return ReadValue(n); }
  CArchive& operator>>(int& i) { return ReadValue(i); }
  CArchive& operator>>(UINT& u) { return ReadValue(u); }
  CArchive& operator>>(float& f) { return ReadValue(f); }
  CArchive& operator>>(double& d) { return ReadValue(d); }
  CArchive& operator>>(LONGLONG& n) { return ReadValue(n); }
  CArchive& operator>>(ULONGLONG& n) { return ReadValue(n); }
#ifdef _WIN32
  CArchive& operator>>(LONG& l) { return ReadValue(l); }
  CArchive& operator>>(DWORD& dw) { return ReadValue(dw); }
#endif

  void WriteObject(const CObject* pOb);
  // Reads an object reference; with pClassRefRequested the object must be of that class or one
  // derived from it (else badClass). *pbNew, when given, tells whether this call created the
  // object (FALSE for a null reference and for an object read before), so that a reader can
  // refuse a second reference where it takes the object over.
  CObject* ReadObject(const CRuntimeClass* pClassRefRequested, BOOL* pbNew = NULL);

  void WriteClass(const CRuntimeClass* pClassRef);
  // Reads a class tag. Returns the class of a new object, or null for a null or back-reference
  // tag, whose object index goes to *pObTag.
  CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = NULL, UINT* pSchema = NULL,
                           DWORD* pObTag = NULL);

  void WriteCount(DWORD dwCount);
  DWORD ReadCount();

  friend CArchive& operator<<(CArchive& ar, const CObject* pOb);
  friend CArchive& operator>>(CArchive& ar, CObject*& pOb);
  friend CArchive& operator>>(CArchive& ar, const CObject*& pOb);
  friend CArchive& operator<<(CArchive& ar, const CString& string);
  friend CArchive& operator<<(CArchive& ar, LPCTSTR lpsz);
  friend CArchive& operator>>(CArchive& ar, CString& string);

 private:
  // The write pointers are null while loading and the read pointers while storing, so the fast
  // paths below fall through to the checks of MakeRoom and FillBuffer in the wrong mode.
  template <class T>
  CArchive& WriteValue(T value) {
    if ((size_t)(m_lpWriteMax - m_lpWriteCur) < sizeof(T)) MakeRoom();
    memcpy(m_lpWriteCur, &value, sizeof(T));
    m_lpWriteCur += sizeof(T);
    return *this;
  }
  template <class T>
  CArchive& ReadValue(T& value) {
    if ((size_t)(m_lpReadMax - m_lpReadCur) < sizeof(T)) FillBuffer(sizeof(T));
    memcpy(&value, m_lpReadCur, sizeof(T));
    m_lpReadCur += sizeof(T);
    return *this;
  }

  // Storing: writes the buffer out so that it is empty. Loading: makes n bytes available or throws.
  void MakeRoom();
  void FillBuffer(size_t nBytes);
  void CheckStoring();
  void CheckLoading();
  [[noreturn]] void Throw(int cause) const;

  struct LoadEntry {
    void* p;       // CRuntimeClass* or CObject*
    UINT nSchema;  // classes: the schema stored with the class
    bool bClass;
  };

  CFile* m_pFile;
  UINT m_nMode;
  UINT m_nObjectSchema;
  int m_nDepth;
  BYTE* m_lpBufStart;
  size_t m_nBufSize;
  BYTE* m_lpWriteCur;
  BYTE* m_lpWriteMax;
  const BYTE* m_lpReadCur;
  const BYTE* m_lpReadMax;
  bool m_bUserBuf;
  DWORD m_nMapCount;                                  // storing: the next index
  std::unordered_map<const void*, DWORD> m_storeMap;  // storing: classes and objects written
  std::vector<LoadEntry> m_loadArray;                 // loading: by index (0: null)
};

#endif  // VEDRA_AFX_AFXARCHIVE_H
