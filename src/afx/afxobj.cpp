#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "afx/afx.h"

// ---------------------------------------------------------------------------------------------
// Registered classes: a list threaded through the class records. The head is constant-initialised,
// so registration from static initialisers in any order is safe.

static CRuntimeClass* afxFirstClass = NULL;

void AfxClassInit(CRuntimeClass* pNewClass) {
  for (CRuntimeClass* p = afxFirstClass; p != NULL; p = p->m_pNextClass)
    if (p == pNewClass) return;
  pNewClass->m_pNextClass = afxFirstClass;
  afxFirstClass = pNewClass;
}

CObject* CRuntimeClass::CreateObject() {
  if (m_pfnCreateObject == NULL) return NULL;
  return (*m_pfnCreateObject)();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* p = this; p != NULL; p = p->m_pBaseClass)
    if (p == pBaseClass) return TRUE;
  return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName) {
  if (lpszClassName == NULL) return NULL;
  for (CRuntimeClass* p = afxFirstClass; p != NULL; p = p->m_pNextClass)
    if (strcmp(p->m_lpszClassName, lpszClassName) == 0) return p;
  return NULL;
}

void CRuntimeClass::Store(CArchive& ar) const {
  size_t nLen = strlen(m_lpszClassName);
  ar << (WORD)m_wSchema << (WORD)nLen;
  ar.Write(m_lpszClassName, (UINT)nLen);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum) {
  WORD wSchema, nLen;
  ar >> wSchema >> nLen;
  std::string name(nLen, '\0');
  if (ar.Read(&name[0], nLen) != nLen) AfxThrowArchiveException(CArchiveException::endOfFile);
  if (pwSchemaNum != NULL) *pwSchemaNum = wSchema;
  if (name.find('\0') != std::string::npos) return NULL;
  return FromName(name.c_str());
}

// ---------------------------------------------------------------------------------------------
// Object ids: an open-addressing table (linear probing, backward-shift deletion) from id to the
// live object. Ids count up from 1; after the counter wraps, 0 and ids still in use are skipped.

namespace {

class ObjectIdTable {
 public:
  DWORD Insert(CObject* pObject) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if ((m_nCount + 1) * 2 > m_slots.size()) Rehash(m_slots.empty() ? 1024 : m_slots.size() * 2);
    for (;;) {
      DWORD id = m_nNext++;
      if (m_nNext == 0) m_nNext = 1;
      if (id == 0) continue;
      size_t i = Home(id);
      for (; m_slots[i].id != 0; i = (i + 1) & m_nMask)
        if (m_slots[i].id == id) break;
      if (m_slots[i].id == id) continue;  // still in use after a wrap
      m_slots[i].id = id;
      m_slots[i].pObject = pObject;
      m_nCount++;
      return id;
    }
  }

  void Remove(DWORD id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t i = Find(id);
    if (i == NPOS) return;
    m_slots[i] = Slot();
    m_nCount--;
    // Move later members of the probe run back into the hole.
    for (size_t j = (i + 1) & m_nMask; m_slots[j].id != 0; j = (j + 1) & m_nMask) {
      size_t k = Home(m_slots[j].id);
      bool bCanMove = (j > i) ? (k <= i || k > j) : (k <= i && k > j);
      if (bCanMove) {
        m_slots[i] = m_slots[j];
        m_slots[j] = Slot();
        i = j;
      }
    }
  }

  CObject* Lookup(DWORD id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    size_t i = Find(id);
    return i == NPOS ? NULL : m_slots[i].pObject;
  }

 private:
  struct Slot {
    DWORD id = 0;
    CObject* pObject = NULL;
  };
  static const size_t NPOS = (size_t)-1;

  size_t Home(DWORD id) const {
    return (size_t)((id * 0x9E3779B97F4A7C15ull) >> 32) & m_nMask;
  }

  size_t Find(DWORD id) const {
    if (id == 0 || m_slots.empty()) return NPOS;
    for (size_t i = Home(id); m_slots[i].id != 0; i = (i + 1) & m_nMask)
      if (m_slots[i].id == id) return i;
    return NPOS;
  }

  void Rehash(size_t nSize) {
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.resize(nSize);
    m_nMask = nSize - 1;
    for (const Slot& slot : old) {
      if (slot.id == 0) continue;
      size_t i = Home(slot.id);
      while (m_slots[i].id != 0) i = (i + 1) & m_nMask;
      m_slots[i] = slot;
    }
  }

  std::mutex m_mutex;
  std::vector<Slot> m_slots;
  size_t m_nMask = 0;
  size_t m_nCount = 0;
  DWORD m_nNext = 1;
};

// Never destroyed: objects with static storage may outlive any other static.
ObjectIdTable& IdTable() {
  static ObjectIdTable* pTable = new ObjectIdTable;
  return *pTable;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CObject

CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), 0xFFFF, NULL, NULL, NULL};

CObject::CObject() : m_dwObjectId(IdTable().Insert(this)) {}

CObject::~CObject() { IdTable().Remove(m_dwObjectId); }

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext& dc) const {
  dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << (const void*)this << " id "
     << (UINT)m_dwObjectId << "\n";
}

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return GetRuntimeClass()->IsDerivedFrom(pClass);
}

CObject* CObject::FromObjectId(DWORD dwId) { return IdTable().Lookup(dwId); }

CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject) {
  if (pObject != NULL && pObject->IsKindOf(pClass)) return pObject;
  return NULL;
}

// ---------------------------------------------------------------------------------------------
// Diagnostics

CDumpContext afxDump;

CDumpContext& CDumpContext::operator<<(LPCTSTR lpsz) {
  fputs(lpsz != NULL ? lpsz : "(null)", stderr);
  return *this;
}
CDumpContext& CDumpContext::operator<<(const void* lp) {
  fprintf(stderr, "%p", lp);
  return *this;
}
CDumpContext& CDumpContext::operator<<(int n) {
  fprintf(stderr, "%d", n);
  return *this;
}
CDumpContext& CDumpContext::operator<<(UINT u) {
  fprintf(stderr, "%u", u);
  return *this;
}
CDumpContext& CDumpContext::operator<<(LONGLONG n) {
  fprintf(stderr, "%lld", n);
  return *this;
}
CDumpContext& CDumpContext::operator<<(ULONGLONG n) {
  fprintf(stderr, "%llu", n);
  return *this;
}
CDumpContext& CDumpContext::operator<<(double d) {
  fprintf(stderr, "%g", d);
  return *this;
}
#ifdef _WIN32
CDumpContext& CDumpContext::operator<<(LONG l) { return *this << (int)l; }
CDumpContext& CDumpContext::operator<<(DWORD dw) { return *this << (UINT)dw; }
#endif

void AfxAssertFailedLine(const char* lpszFileName, int nLine) {
  fprintf(stderr, "%s(%d): assertion failed\n", lpszFileName, nLine);
  fflush(stderr);
  abort();
}

#ifdef _DEBUG
void AfxTrace(LPCTSTR lpszFormat, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, lpszFormat);
  vsnprintf(buffer, sizeof(buffer), lpszFormat, args);
  va_end(args);
  fputs(buffer, stderr);
#ifdef _WIN32
  OutputDebugStringA(buffer);
#endif
}
#endif
