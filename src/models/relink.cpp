#include "models/relink.h"

#include "models/wallpole.h"

RelinkTable::~RelinkTable() { ResetLoad(); }

void RelinkTable::AddRecord(Array array, const char* className, uint32_t oldId, CObject* object) {
  m_records[array].push_back(Record{className, oldId, object});
  // The later of two records with one id wins.
  if (object != nullptr) m_index[array][oldId] = object;
}

CObject* RelinkTable::Lookup(Array array, uint32_t oldId) const {
  const auto& index = m_index[array];
  auto it = index.find(oldId);
  return it == index.end() ? nullptr : it->second;
}

void RelinkTable::Free() {
  for (int i = kArrayCount - 1; i >= 0; --i) {
    m_records[i].clear();
    m_index[i].clear();
  }
}

void RelinkTable::DeferJoins(WallPole* pole, std::vector<WallPoleJoinInfo*> joins) {
  m_joins[pole] = std::move(joins);
}

std::vector<WallPoleJoinInfo*> RelinkTable::TakeJoins(WallPole* pole) {
  std::vector<WallPoleJoinInfo*> joins;
  auto it = m_joins.find(pole);
  if (it != m_joins.end()) {
    joins.swap(it->second);
    m_joins.erase(it);
  }
  return joins;
}

void RelinkTable::DeleteJoinRecords() {
  for (WallPoleJoinInfo* record : m_joinRecords) delete record;
  m_joinRecords.clear();
}

void RelinkTable::ResetLoad() {
  Free();
  m_pending.clear();
  m_joins.clear();
  DeleteJoinRecords();
  m_unresolved = 0;
}

void ThrowDamaged(CArchive& ar) {
  CString name;
  if (ar.GetFile() != nullptr) name = ar.GetFile()->GetFilePath();
  AfxThrowArchiveException(CArchiveException::badIndex, name);
}

CObject* ReadOwnedObject(CArchive& ar, const CRuntimeClass* cls) {
  BOOL isNew = FALSE;
  CObject* object = ar.ReadObject(cls, &isNew);
  if (object != nullptr && !isNew) ThrowDamaged(ar);
  return object;
}

void WriteCollection(CArchive& ar, const CObArray& array) {
  const INT_PTR count = array.GetSize();
  ar.WriteCount(static_cast<DWORD>(count));
  for (INT_PTR i = 0; i < count; ++i) ar.WriteObject(array.GetAt(i));
}

void ReadOwnedCollection(CArchive& ar, CObArray& array, const CRuntimeClass* cls) {
  const DWORD count = ar.ReadCount();
  for (DWORD i = 0; i < count; ++i) {
    CObject* object = ReadOwnedObject(ar, cls);
    if (object == nullptr) ThrowDamaged(ar);
    array.Add(object);
  }
}
