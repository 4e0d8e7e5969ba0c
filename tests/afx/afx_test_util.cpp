#include "afx_test_util.h"

#include <cstddef>
#include <cstdlib>

Bytes Hex(const std::string& text) {
  Bytes bytes;
  for (size_t i = 0; i < text.size();) {
    char ch = text[i];
    if (ch == ' ') {
      i++;
    } else if (ch == '\'') {
      size_t end = text.find('\'', i + 1);
      bytes.insert(bytes.end(), text.begin() + (std::ptrdiff_t)i + 1, text.begin() + (std::ptrdiff_t)end);
      i = end + 1;
    } else {
      bytes.push_back((BYTE)strtoul(text.substr(i, 2).c_str(), nullptr, 16));
      i += 2;
    }
  }
  return bytes;
}

Bytes Store(const std::function<void(CArchive&)>& fn) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    fn(ar);
    ar.Close();
  }
  Bytes bytes((size_t)file.GetLength());
  file.SeekToBegin();
  if (!bytes.empty()) file.Read(bytes.data(), (UINT)bytes.size());
  return bytes;
}

void Load(const Bytes& bytes, const std::function<void(CArchive&)>& fn) {
  CMemFile file(const_cast<BYTE*>(bytes.data()), (UINT)bytes.size());
  CArchive ar(&file, CArchive::load);
  fn(ar);
}

int ArchiveCause(const std::function<void()>& fn) {
  try {
    fn();
  } catch (CArchiveException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  } catch (CException* e) {
    e->Delete();
    return -2;
  }
  return -1;
}

IMPLEMENT_DYNAMIC(Tracked, CObject)

Tracked::Tracked() { Live().insert(this); }
Tracked::~Tracked() { Live().erase(this); }

std::set<Tracked*>& Tracked::Live() {
  static std::set<Tracked*> live;
  return live;
}

size_t Tracked::CountLive(CRuntimeClass* pClass) {
  size_t n = 0;
  for (Tracked* p : Live()) n += p->IsKindOf(pClass) ? 1 : 0;
  return n;
}

void Tracked::DeleteAll() {
  while (!Live().empty()) delete *Live().begin();
}

IMPLEMENT_SERIAL(TNode, Tracked, VERSIONABLE_SCHEMA | 5)

void TNode::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_value << m_name;
  } else {
    m_nSchemaBefore = ar.GetObjectSchema();
    ar >> m_value >> m_name;
  }
  m_children.Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_pLink;
  } else {
    ar >> m_pLink;
    m_nSchemaAfter = ar.GetObjectSchema();
  }
}

IMPLEMENT_SERIAL(TLeaf, Tracked, 1)

void TLeaf::Serialize(CArchive& ar) {
  if (ar.IsStoring())
    ar << m_d;
  else
    ar >> m_d;
}

IMPLEMENT_SERIAL(Model, Tracked, VERSIONABLE_SCHEMA | 5)

void Model::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_version << m_kind << m_name << m_note << m_pSelf;
  } else {
    ar >> m_version >> m_kind >> m_name >> m_note >> m_pSelf;
  }
  m_items.Serialize(ar);
  if (ar.IsLoading()) m_nSchema = ar.GetObjectSchema();
}
