// Hash maps: the CMap template and CMapStringToPtr, CMapStringToOb, CMapStringToString,
// CMapPtrToPtr, CMapPtrToWord, CMapWordToPtr, CMapWordToOb.
//
// The hash table has a fixed number of buckets (17 unless InitHashTable sets another) and does
// not grow by itself; it is allocated with the first entry (or by InitHashTable) and freed when
// the map becomes empty. Iteration (GetStartPosition, GetNextAssoc) visits the buckets in order.
// Maps of pointers do not own what they point to.
#ifndef VEDRA_AFX_AFXMAP_H
#define VEDRA_AFX_AFXMAP_H

#include <vector>

#include "afx/afxlist.h"  // POSITION
#include "afx/afxobj.h"
#include "afx/afxstr.h"

template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key) {
  return (UINT)(((UINT_PTR)key) >> 4);
}
template <>
inline UINT HashKey<LPCTSTR>(LPCTSTR key) {
  UINT nHash = 0;
  while (*key) nHash = (nHash << 5) + nHash + (BYTE)*key++;
  return nHash;
}
template <>
inline UINT HashKey<const CString&>(const CString& key) {
  return HashKey<LPCTSTR>((LPCTSTR)key);
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
 protected:
  struct CAssoc {
    CAssoc* pNext;
    UINT nHashValue;  // bucket index
    KEY key;
    VALUE value;
  };

 public:
  explicit CMap(INT_PTR nBlockSize = 10) : m_nHashTableSize(17), m_nCount(0) { (void)nBlockSize; }
  ~CMap() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }
  UINT GetHashTableSize() const { return m_nHashTableSize; }

  BOOL Lookup(ARG_KEY key, VALUE& rValue) const {
    UINT nHash;
    CAssoc* pAssoc = GetAssocAt(key, nHash);
    if (pAssoc == NULL) return FALSE;
    rValue = pAssoc->value;
    return TRUE;
  }
  // The value of the key, added (zero) when missing.
  VALUE& operator[](ARG_KEY key) {
    UINT nHash;
    CAssoc* pAssoc = GetAssocAt(key, nHash);
    if (pAssoc == NULL) {
      if (m_buckets.empty()) m_buckets.assign(m_nHashTableSize, NULL);
      pAssoc = new CAssoc{m_buckets[nHash], nHash, KEY(key), VALUE()};
      m_buckets[nHash] = pAssoc;
      m_nCount++;
    }
    return pAssoc->value;
  }
  void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }

  BOOL RemoveKey(ARG_KEY key) {
    if (m_buckets.empty()) return FALSE;
    CAssoc** ppAssocPrev = &m_buckets[HashKey<ARG_KEY>(key) % m_nHashTableSize];
    for (CAssoc* pAssoc = *ppAssocPrev; pAssoc != NULL; pAssoc = pAssoc->pNext) {
      if (pAssoc->key == key) {
        *ppAssocPrev = pAssoc->pNext;
        delete pAssoc;
        if (--m_nCount == 0) RemoveAll();  // an empty map gives its buckets back
        return TRUE;
      }
      ppAssocPrev = &pAssoc->pNext;
    }
    return FALSE;
  }
  void RemoveAll() {
    for (CAssoc*& pHead : m_buckets) {
      while (pHead != NULL) {
        CAssoc* pNext = pHead->pNext;
        delete pHead;
        pHead = pNext;
      }
    }
    m_buckets.clear();
    m_nCount = 0;
  }

  POSITION GetStartPosition() const { return (POSITION)NextAssoc(NULL); }
  void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const {
    ASSERT(rNextPosition != NULL);
    const CAssoc* pAssoc = (const CAssoc*)rNextPosition;
    rKey = pAssoc->key;
    rValue = pAssoc->value;
    rNextPosition = (POSITION)NextAssoc(pAssoc);
  }

  // Sets the number of buckets (a prime suits best); entries already present are kept.
  void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE) {
    if (nHashSize == 0) nHashSize = 1;
    std::vector<CAssoc*> old;
    old.swap(m_buckets);
    m_nHashTableSize = nHashSize;
    if (bAllocNow || m_nCount > 0) m_buckets.assign(m_nHashTableSize, NULL);
    for (CAssoc* pAssoc : old) {
      while (pAssoc != NULL) {
        CAssoc* pNext = pAssoc->pNext;
        pAssoc->nHashValue = HashKey<ARG_KEY>(pAssoc->key) % m_nHashTableSize;
        pAssoc->pNext = m_buckets[pAssoc->nHashValue];
        m_buckets[pAssoc->nHashValue] = pAssoc;
        pAssoc = pNext;
      }
    }
  }

 protected:
  CAssoc* GetAssocAt(ARG_KEY key, UINT& nHash) const {
    nHash = HashKey<ARG_KEY>(key) % m_nHashTableSize;
    if (m_buckets.empty()) return NULL;
    for (CAssoc* pAssoc = m_buckets[nHash]; pAssoc != NULL; pAssoc = pAssoc->pNext)
      if (pAssoc->key == key) return pAssoc;
    return NULL;
  }
  CAssoc* NextAssoc(const CAssoc* pAssoc) const {
    if (pAssoc != NULL && pAssoc->pNext != NULL) return pAssoc->pNext;
    for (size_t n = pAssoc == NULL ? 0 : pAssoc->nHashValue + 1; n < m_buckets.size(); n++)
      if (m_buckets[n] != NULL) return m_buckets[n];
    return NULL;
  }

  std::vector<CAssoc*> m_buckets;
  UINT m_nHashTableSize;
  INT_PTR m_nCount;
};

class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*> {
  DECLARE_DYNAMIC(CMapStringToPtr)
 public:
  explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapStringToOb : public CMap<CString, LPCTSTR, CObject*, CObject*> {
  DECLARE_DYNAMIC(CMapStringToOb)
 public:
  explicit CMapStringToOb(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR> {
  DECLARE_DYNAMIC(CMapStringToString)
 public:
  explicit CMapStringToString(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
  DECLARE_DYNAMIC(CMapPtrToPtr)
 public:
  explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapPtrToWord : public CMap<void*, void*, WORD, WORD> {
  DECLARE_DYNAMIC(CMapPtrToWord)
 public:
  explicit CMapPtrToWord(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
  DECLARE_DYNAMIC(CMapWordToPtr)
 public:
  explicit CMapWordToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*> {
  DECLARE_DYNAMIC(CMapWordToOb)
 public:
  explicit CMapWordToOb(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

#endif  // VEDRA_AFX_AFXMAP_H
