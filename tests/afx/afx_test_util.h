// Helpers and serializable sample classes shared by the framework tests.
#ifndef VEDRA_TESTS_AFX_TEST_UTIL_H
#define VEDRA_TESTS_AFX_TEST_UTIL_H

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "afx/afx.h"

typedef std::vector<BYTE> Bytes;

// Bytes from a text of hex pairs ("FF FF 05 00") and quoted characters ('Model').
Bytes Hex(const std::string& text);

// The bytes written by fn through a storing archive.
Bytes Store(const std::function<void(CArchive&)>& fn);
// Runs fn over a loading archive on the bytes.
void Load(const Bytes& bytes, const std::function<void(CArchive&)>& fn);

// The cause of the CArchiveException that fn throws: -1 when it throws none, -2 when it throws
// another CException.
int ArchiveCause(const std::function<void()>& fn);

// Objects that the tests count and clean up: the sample classes hold each other without owning,
// so that a damaged stream naming one object twice cannot lead to a double delete.
class Tracked : public CObject {
  DECLARE_DYNAMIC(Tracked)
 public:
  Tracked();
  ~Tracked() override;
  static std::set<Tracked*>& Live();
  static size_t CountLive(CRuntimeClass* pClass);
  static void DeleteAll();
};

// Versionable (schema 5): an int, a string, an object array and a typed reference to a TNode.
class TNode : public Tracked {
  DECLARE_SERIAL(TNode)
 public:
  void Serialize(CArchive& ar) override;
  int m_value = 0;
  CString m_name;
  CObArray m_children;
  TNode* m_pLink = nullptr;
  UINT m_nSchemaBefore = 0;  // GetObjectSchema while loading, before and after the references
  UINT m_nSchemaAfter = 0;
};

// Not versionable (schema 1): one double.
class TLeaf : public Tracked {
  DECLARE_SERIAL(TLeaf)
 public:
  void Serialize(CArchive& ar) override;
  double m_d = 0;
};

// Versionable (schema 5): u32 version, u32 kind, two strings, a reference to itself, then an
// object array.
class Model : public Tracked {
  DECLARE_SERIAL(Model)
 public:
  void Serialize(CArchive& ar) override;
  DWORD m_version = 1;
  DWORD m_kind = 0xFF00;
  CString m_name, m_note;
  Model* m_pSelf = nullptr;
  CObArray m_items;
  UINT m_nSchema = 0;
};

#endif  // VEDRA_TESTS_AFX_TEST_UTIL_H
