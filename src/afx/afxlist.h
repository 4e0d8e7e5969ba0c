// Doubly linked lists: the CList template and CObList, CPtrList, CStringList.
//
// A POSITION names one node; it stays valid until that node is removed. GetNext and GetPrev
// return the element at the position and move the position on (to null past the end).
// The block size of the constructors is accepted for compatibility; nodes are allocated singly.
// Lists of pointers do not own what they point to.
//
// Serialize: a count, then the elements (object references for CObList, strings for
// CStringList). Loading appends to the list. CPtrList stores nothing.
#ifndef VEDRA_AFX_AFXLIST_H
#define VEDRA_AFX_AFXLIST_H

#include "afx/afxobj.h"
#include "afx/afxstr.h"

struct __POSITION {};
typedef __POSITION* POSITION;

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
 protected:
  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    TYPE data;
  };

 public:
  explicit CList(INT_PTR nBlockSize = 10) : m_pNodeHead(NULL), m_pNodeTail(NULL), m_nCount(0) {
    (void)nBlockSize;
  }
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  TYPE& GetHead() {
    ASSERT(m_pNodeHead != NULL);
    return m_pNodeHead->data;
  }
  const TYPE& GetHead() const {
    ASSERT(m_pNodeHead != NULL);
    return m_pNodeHead->data;
  }
  TYPE& GetTail() {
    ASSERT(m_pNodeTail != NULL);
    return m_pNodeTail->data;
  }
  const TYPE& GetTail() const {
    ASSERT(m_pNodeTail != NULL);
    return m_pNodeTail->data;
  }

  TYPE RemoveHead() {
    ASSERT(m_pNodeHead != NULL);
    CNode* pOld = m_pNodeHead;
    TYPE returnValue = pOld->data;
    Unlink(pOld);
    return returnValue;
  }
  TYPE RemoveTail() {
    ASSERT(m_pNodeTail != NULL);
    CNode* pOld = m_pNodeTail;
    TYPE returnValue = pOld->data;
    Unlink(pOld);
    return returnValue;
  }

  POSITION AddHead(ARG_TYPE newElement) { return InsertNode(NULL, m_pNodeHead, newElement); }
  POSITION AddTail(ARG_TYPE newElement) { return InsertNode(m_pNodeTail, NULL, newElement); }
  void AddHead(const CList* pNewList) {
    ASSERT(pNewList != NULL);
    if (pNewList == NULL || pNewList->IsEmpty()) return;
    CList copy;
    copy.AddTail(pNewList);
    for (CNode* p = copy.m_pNodeTail; p != NULL; p = p->pPrev) AddHead(p->data);
  }
  void AddTail(const CList* pNewList) {
    ASSERT(pNewList != NULL);
    if (pNewList == NULL) return;
    INT_PTR n = pNewList->m_nCount;  // adding a list to itself copies its old elements once
    CNode* p = pNewList->m_pNodeHead;
    for (; n > 0; n--, p = p->pNext) AddTail(p->data);
  }

  void RemoveAll() {
    CNode* p = m_pNodeHead;
    while (p != NULL) {
      CNode* pNext = p->pNext;
      delete p;
      p = pNext;
    }
    m_pNodeHead = m_pNodeTail = NULL;
    m_nCount = 0;
  }

  POSITION GetHeadPosition() const { return (POSITION)m_pNodeHead; }
  POSITION GetTailPosition() const { return (POSITION)m_pNodeTail; }
  TYPE& GetNext(POSITION& rPosition) {
    CNode* pNode = Node(rPosition);
    rPosition = (POSITION)pNode->pNext;
    return pNode->data;
  }
  const TYPE& GetNext(POSITION& rPosition) const {
    const CNode* pNode = Node(rPosition);
    rPosition = (POSITION)pNode->pNext;
    return pNode->data;
  }
  TYPE& GetPrev(POSITION& rPosition) {
    CNode* pNode = Node(rPosition);
    rPosition = (POSITION)pNode->pPrev;
    return pNode->data;
  }
  const TYPE& GetPrev(POSITION& rPosition) const {
    const CNode* pNode = Node(rPosition);
    rPosition = (POSITION)pNode->pPrev;
    return pNode->data;
  }
  TYPE& GetAt(POSITION position) { return Node(position)->data; }
  const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
  void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
  void RemoveAt(POSITION position) { Unlink(Node(position)); }

  POSITION InsertBefore(POSITION position, ARG_TYPE newElement) {
    if (position == NULL) return AddHead(newElement);
    CNode* pOld = Node(position);
    return InsertNode(pOld->pPrev, pOld, newElement);
  }
  POSITION InsertAfter(POSITION position, ARG_TYPE newElement) {
    if (position == NULL) return AddTail(newElement);
    CNode* pOld = Node(position);
    return InsertNode(pOld, pOld->pNext, newElement);
  }

  // The first position (after startAfter when given) whose element equals searchValue, or null.
  POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const {
    const CNode* pNode = startAfter == NULL ? m_pNodeHead : Node(startAfter)->pNext;
    for (; pNode != NULL; pNode = pNode->pNext)
      if (pNode->data == searchValue) return (POSITION)pNode;
    return NULL;
  }
  // The position of the element with that 0-based index, or null when out of range.
  POSITION FindIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) return NULL;
    CNode* pNode = m_pNodeHead;
    while (nIndex-- > 0) pNode = pNode->pNext;
    return (POSITION)pNode;
  }

 protected:
  static CNode* Node(POSITION position) {
    ASSERT(position != NULL);
    return (CNode*)position;
  }
  POSITION InsertNode(CNode* pPrev, CNode* pNext, ARG_TYPE newElement) {
    CNode* pNew = new CNode{pNext, pPrev, TYPE(newElement)};
    if (pPrev != NULL)
      pPrev->pNext = pNew;
    else
      m_pNodeHead = pNew;
    if (pNext != NULL)
      pNext->pPrev = pNew;
    else
      m_pNodeTail = pNew;
    m_nCount++;
    return (POSITION)pNew;
  }
  void Unlink(CNode* pOld) {
    if (pOld->pPrev != NULL)
      pOld->pPrev->pNext = pOld->pNext;
    else
      m_pNodeHead = pOld->pNext;
    if (pOld->pNext != NULL)
      pOld->pNext->pPrev = pOld->pPrev;
    else
      m_pNodeTail = pOld->pPrev;
    delete pOld;
    m_nCount--;
  }

  CNode* m_pNodeHead;
  CNode* m_pNodeTail;
  INT_PTR m_nCount;
};

class CObList : public CList<CObject*, CObject*> {
  DECLARE_SERIAL(CObList)
 public:
  explicit CObList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
  void Serialize(CArchive& ar) override;
};

class CPtrList : public CList<void*, void*> {
  DECLARE_DYNAMIC(CPtrList)
 public:
  explicit CPtrList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

class CStringList : public CList<CString, LPCTSTR> {
  DECLARE_SERIAL(CStringList)
 public:
  explicit CStringList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
  void Serialize(CArchive& ar) override;
};

#endif  // VEDRA_AFX_AFXLIST_H
