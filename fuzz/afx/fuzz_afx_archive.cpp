// Reads object references from arbitrary bytes. Whatever the input, loading must end in success
// or a CException, without reading outside the data, leaking or allocating by a stored count.
#include <cstddef>
#include <cstdint>
#include <set>

#include "afx/afx.h"

namespace {

// The sample classes refer to each other without owning; every object is deleted at the end of
// the run, so that a stream naming one object in two places stays harmless.
class FObject : public CObject {
  DECLARE_DYNAMIC(FObject)
 public:
  FObject() { Live().insert(this); }
  ~FObject() override { Live().erase(this); }
  static std::set<FObject*>& Live() {
    static std::set<FObject*> live;
    return live;
  }
};
IMPLEMENT_DYNAMIC(FObject, CObject)

// Embedded in FNode: serialized in place, never created from a stream.
class FPart : public CObject {
  DECLARE_DYNAMIC(FPart)
 public:
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring())
      ar << m_text << m_f;
    else
      ar >> m_text >> m_f;
    m_bytes.Serialize(ar);
    m_words.Serialize(ar);
  }
  CString m_text;
  float m_f = 0;
  CByteArray m_bytes;
  CWordArray m_words;
};
IMPLEMENT_DYNAMIC(FPart, CObject)

class FLeaf : public FObject {
  DECLARE_SERIAL(FLeaf)
 public:
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring())
      ar << m_d << m_w << m_b;
    else
      ar >> m_d >> m_w >> m_b;
  }
  double m_d = 0;
  WORD m_w = 0;
  BYTE m_b = 0;
};
IMPLEMENT_SERIAL(FLeaf, FObject, 1)

// Versionable: the fields after the typed link exist from schema 3 on.
class FNode : public FObject {
  DECLARE_SERIAL(FNode)
 public:
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring())
      ar << m_value << m_name;
    else
      ar >> m_value >> m_name;
    m_children.Serialize(ar);
    if (ar.IsStoring())
      ar << m_pLink;
    else
      ar >> m_pLink;
    if (ar.IsStoring() || ar.GetObjectSchema() >= 3) {
      m_strings.Serialize(ar);
      m_dwords.Serialize(ar);
      m_list.Serialize(ar);
    }
    m_part.Serialize(ar);
  }
  int m_value = 0;
  CString m_name;
  CObArray m_children;
  FNode* m_pLink = nullptr;
  CStringArray m_strings;
  CDWordArray m_dwords;
  CObList m_list;
  FPart m_part;
};
IMPLEMENT_SERIAL(FNode, FObject, VERSIONABLE_SCHEMA | 5)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  CMemFile file(const_cast<BYTE*>(data), (UINT)size);
  {
    CArchive ar(&file, CArchive::load);
    try {
      ar.ReadObject(RUNTIME_CLASS(FNode));
      for (int i = 0; i < 3; i++) ar.ReadObject(NULL);
    } catch (CException* e) {
      e->Delete();
    }
  }
  while (!FObject::Live().empty()) delete *FObject::Live().begin();
  return 0;
}
