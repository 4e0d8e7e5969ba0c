#include "archive_samples.h"

IMPLEMENT_DYNAMIC(FObject, CObject)

FObject::FObject() { Live().insert(this); }

FObject::~FObject() { Live().erase(this); }

std::set<FObject*>& FObject::Live() {
  static std::set<FObject*> live;
  return live;
}

void FObject::DeleteAll() {
  while (!Live().empty()) delete *Live().begin();
}

IMPLEMENT_DYNAMIC(FPart, CObject)

void FPart::Serialize(CArchive& ar) {
  if (ar.IsStoring())
    ar << m_text << m_f;
  else
    ar >> m_text >> m_f;
  m_bytes.Serialize(ar);
  m_words.Serialize(ar);
}

IMPLEMENT_SERIAL(FLeaf, FObject, 1)

void FLeaf::Serialize(CArchive& ar) {
  if (ar.IsStoring())
    ar << m_d << m_w << m_b;
  else
    ar >> m_d >> m_w >> m_b;
}

IMPLEMENT_SERIAL(FNode, FObject, VERSIONABLE_SCHEMA | 5)

void FNode::Serialize(CArchive& ar) {
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
