// CObject, CRuntimeClass and the run-time class macros.
//
// Every CObject carries a 32-bit object id, unique among the objects of the process, never 0,
// given when the object is constructed. Use it wherever an object's identity is stored in a file
// or shown as text ("%08x" keys): pointers are 64 bits and must never be truncated.
// CObject::FromObjectId finds the live object with a given id (null once it is destroyed).
//
// Run-time classes:
//   class Wall : public CObject {
//     DECLARE_SERIAL(Wall)          // or DECLARE_DYNAMIC / DECLARE_DYNCREATE
//   public:
//     void Serialize(CArchive& ar) override;
//   };
//   IMPLEMENT_SERIAL(Wall, CObject, VERSIONABLE_SCHEMA | 5)   // in wall.cpp
// The macros declare GetRuntimeClass with `override`; mark the class's other overrides with
// `override` too (clang warns about a class that mixes both styles).
//
// Class records of DYNCREATE and SERIAL classes register themselves by name at program start
// (static initialisation of the file holding IMPLEMENT_...), so that an archive finds a class by
// its stored name. A file of a static library is linked only when something refers to it: a class
// that the program creates only by reading it from a file must be named somewhere that is linked,
// for instance by calling AfxClassInit(RUNTIME_CLASS(X)) for each such class from a registration
// function that start-up (and the tests) call. AfxClassInit may be called any number of times.
#ifndef VEDRA_AFX_AFXOBJ_H
#define VEDRA_AFX_AFXOBJ_H

#include "afx/afxtypes.h"

class CObject;
class CArchive;
class CDumpContext;

// Schema bit: a class whose schema carries it accepts any stored schema number on loading
// (CArchive::GetObjectSchema tells which one); others reject a different number.
#define VERSIONABLE_SCHEMA (0x80000000)

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;  // 0xFFFF: not serializable
  CObject* (*m_pfnCreateObject)();
  CRuntimeClass* m_pBaseClass;
  CRuntimeClass* m_pNextClass;  // the list of registered classes

  // A new object of this class, or null when the class cannot be created dynamically.
  CObject* CreateObject();
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  // Stream form of a class: u16 schema number, u16 name length, the name's characters.
  void Store(CArchive& ar) const;
  // Reads that form; returns the registered class of that name (null when there is none) and the
  // stored schema number.
  static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
  // The registered class of that name, or null.
  static CRuntimeClass* FromName(LPCSTR lpszClassName);
};

// Registers a class record for lookup by name (idempotent).
void AfxClassInit(CRuntimeClass* pNewClass);

struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(CRuntimeClass* pNewClass) { AfxClassInit(pNewClass); }
};

// Debug dump target of CObject::Dump (writes to stderr).
class CDumpContext {
 public:
  CDumpContext& operator<<(LPCTSTR lpsz);
  CDumpContext& operator<<(const void* lp);
  CDumpContext& operator<<(int n);
  CDumpContext& operator<<(UINT u);
  CDumpContext& operator<<(LONGLONG n);
  CDumpContext& operator<<(ULONGLONG n);
  CDumpContext& operator<<(double d);
#ifdef _WIN32
  CDumpContext& operator<<(LONG l);
  CDumpContext& operator<<(DWORD dw);
#endif
};
extern CDumpContext afxDump;

class CObject {
 public:
  virtual CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject();
  virtual void Serialize(CArchive& ar);
  virtual void AssertValid() const;
  virtual void Dump(CDumpContext& dc) const;

  BOOL IsSerializable() const;
  BOOL IsKindOf(const CRuntimeClass* pClass) const;

  DWORD GetObjectId() const { return m_dwObjectId; }
  static CObject* FromObjectId(DWORD dwId);

  static CRuntimeClass classCObject;

 protected:
  CObject();

 public:
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;

 private:
  DWORD m_dwObjectId;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// The object when it is of that class (or derived from it), else null.
CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject);
#define DYNAMIC_DOWNCAST(class_name, object) \
  (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), object)))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))

#define DECLARE_DYNAMIC(class_name)          \
 public:                                     \
  static CRuntimeClass class##class_name;    \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
  DECLARE_DYNCREATE(class_name)    \
  friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                   \
  CRuntimeClass class_name::class##class_name = {#class_name, (int)sizeof(class_name), wSchema, \
                                                 pfnNew, RUNTIME_CLASS(base_class_name), NULL}; \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, NULL)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                      \
  CObject* class_name::CreateObject() { return new class_name; }              \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject) \
  static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                            \
  CObject* class_name::CreateObject() { return new class_name; }                          \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
  static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));               \
  [[maybe_unused]] CArchive& operator>>(CArchive& ar, class_name*& pOb) {                 \
    pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));             \
    return ar;                                                                            \
  }

#endif  // VEDRA_AFX_AFXOBJ_H
