// Serializable sample classes for reading object graphs from untrusted bytes: the archive fuzz
// target reads them and the framework tests write its seed streams with them.
#pragma once
#include <set>

#include "afx/afx.h"

// The sample classes refer to each other without owning; DeleteAll deletes every live object,
// so that a stream naming one object in two places stays harmless.
class FObject : public CObject {
  DECLARE_DYNAMIC(FObject)
 public:
  FObject();
  ~FObject() override;
  static std::set<FObject*>& Live();
  static void DeleteAll();
};

// Embedded in FNode: serialized in place, never created from a stream.
class FPart : public CObject {
  DECLARE_DYNAMIC(FPart)
 public:
  void Serialize(CArchive& ar) override;
  CString m_text;
  float m_f = 0;
  CByteArray m_bytes;
  CWordArray m_words;
};

// Not versionable (schema 1).
class FLeaf : public FObject {
  DECLARE_SERIAL(FLeaf)
 public:
  void Serialize(CArchive& ar) override;
  double m_d = 0;
  WORD m_w = 0;
  BYTE m_b = 0;
};

// Versionable (schema 5): the fields after the typed link exist from schema 3 on.
class FNode : public FObject {
  DECLARE_SERIAL(FNode)
 public:
  void Serialize(CArchive& ar) override;
  int m_value = 0;
  CString m_name;
  CObArray m_children;
  FNode* m_pLink = nullptr;
  CStringArray m_strings;
  CDWordArray m_dwords;
  CObList m_list;
  FPart m_part;
};

// A stream holds a root FNode followed by this many further objects of any class.
constexpr int kArchiveSampleTrailingObjects = 3;
