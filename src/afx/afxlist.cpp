#include "afx/afx.h"

IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CStringList, CObject, 0)

void CObList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD)m_nCount);
    for (CNode* pNode = m_pNodeHead; pNode != NULL; pNode = pNode->pNext) ar << pNode->data;
    return;
  }
  for (DWORD n = ar.ReadCount(); n > 0; n--) {
    CObject* pOb;
    ar >> pOb;
    AddTail(pOb);
  }
}

void CStringList::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount((DWORD)m_nCount);
    for (CNode* pNode = m_pNodeHead; pNode != NULL; pNode = pNode->pNext) ar << pNode->data;
    return;
  }
  for (DWORD n = ar.ReadCount(); n > 0; n--) {
    CString string;
    ar >> string;
    AddTail(string);
  }
}
