// Arrays: the CArray template and the typed arrays CObArray, CPtrArray, CByteArray, CWordArray,
// CDWordArray, CUIntArray and CStringArray.
//
// Growth: when an array must grow past its capacity it grows by its grow-by (SetSize's second
// argument); a grow-by of 0, the default, means size/8 clamped to 4..1024 elements.
// Indexes must be in range (checked by ASSERT only). New elements are zero (null, empty).
// Arrays of pointers do not own what they point to: the class holding the array deletes it.
//
// Serialize (arrays that have it): a count (CArchive::WriteCount), then the elements: object
// references for CObArray, strings for CStringArray, raw little-endian values for CByteArray,
// CWordArray and CDWordArray. CPtrArray and CUIntArray store nothing (CObject::Serialize).
// Loading replaces the content.
#ifndef VEDRA_AFX_AFXARRAY_H
#define VEDRA_AFX_AFXARRAY_H

#include <algorithm>
#include <utility>
#include <vector>

#include "afx/afxobj.h"
#include "afx/afxstr.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
 public:
  CArray() : m_nGrowBy(0) {}

  INT_PTR GetSize() const { return (INT_PTR)m_data.size(); }
  INT_PTR GetCount() const { return (INT_PTR)m_data.size(); }
  BOOL IsEmpty() const { return m_data.empty(); }
  INT_PTR GetUpperBound() const { return (INT_PTR)m_data.size() - 1; }

  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
    ASSERT(nNewSize >= 0);
    if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
    if (nNewSize < 0) nNewSize = 0;
    Reserve(nNewSize);
    m_data.resize((size_t)nNewSize);
  }
  void FreeExtra() { m_data.shrink_to_fit(); }
  void RemoveAll() {
    m_data.clear();
    m_data.shrink_to_fit();
  }

  const TYPE& GetAt(INT_PTR nIndex) const {
    ASSERT(nIndex >= 0 && nIndex < GetSize());
    return m_data[(size_t)nIndex];
  }
  TYPE& GetAt(INT_PTR nIndex) {
    ASSERT(nIndex >= 0 && nIndex < GetSize());
    return m_data[(size_t)nIndex];
  }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) {
    ASSERT(nIndex >= 0 && nIndex < GetSize());
    m_data[(size_t)nIndex] = newElement;
  }
  TYPE& ElementAt(INT_PTR nIndex) { return GetAt(nIndex); }
  const TYPE& ElementAt(INT_PTR nIndex) const { return GetAt(nIndex); }
  const TYPE* GetData() const { return m_data.empty() ? NULL : m_data.data(); }
  TYPE* GetData() { return m_data.empty() ? NULL : m_data.data(); }

  const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return GetAt(nIndex); }

  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
    ASSERT(nIndex >= 0);
    if (nIndex >= GetSize()) {
      TYPE copy = newElement;  // newElement may live in this array
      SetSize(nIndex + 1);
      m_data[(size_t)nIndex] = std::move(copy);
    } else {
      m_data[(size_t)nIndex] = newElement;
    }
  }
  INT_PTR Add(ARG_TYPE newElement) {
    INT_PTR nIndex = GetSize();
    SetAtGrow(nIndex, newElement);
    return nIndex;
  }
  // Appends the other array; returns the index of its first element here.
  INT_PTR Append(const CArray& src) {
    INT_PTR nOldSize = GetSize();
    if (&src == this) {
      std::vector<TYPE> copy(m_data);
      Reserve(nOldSize + (INT_PTR)copy.size());
      m_data.insert(m_data.end(), copy.begin(), copy.end());
    } else {
      Reserve(nOldSize + src.GetSize());
      m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
    }
    return nOldSize;
  }
  void Copy(const CArray& src) {
    if (&src != this) m_data = src.m_data;
  }

  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
    ASSERT(nIndex >= 0 && nCount >= 0);
    if (nCount <= 0 || nIndex < 0) return;
    TYPE copy = newElement;
    if (nIndex >= GetSize()) {
      SetSize(nIndex + nCount);
    } else {
      Reserve(GetSize() + nCount);
      m_data.insert(m_data.begin() + nIndex, (size_t)nCount, TYPE());
    }
    std::fill(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount, copy);
  }
  void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray) {
    ASSERT(pNewArray != NULL && nStartIndex >= 0);
    if (pNewArray == NULL || pNewArray->GetSize() == 0 || nStartIndex < 0) return;
    std::vector<TYPE> copy(pNewArray->m_data);
    InsertAt(nStartIndex, copy[0], (INT_PTR)copy.size());
    std::copy(copy.begin(), copy.end(), m_data.begin() + nStartIndex);
  }
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
    ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
    if (nIndex < 0 || nCount <= 0 || nIndex >= GetSize()) return;
    nCount = std::min(nCount, GetSize() - nIndex);
    m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
  }

 protected:
  // Makes room for nNewSize elements by the growth rule.
  void Reserve(INT_PTR nNewSize) {
    INT_PTR nMax = (INT_PTR)m_data.capacity();
    if (nNewSize <= nMax) return;
    INT_PTR nGrowBy = m_nGrowBy;
    if (nGrowBy == 0) nGrowBy = std::min<INT_PTR>(1024, std::max<INT_PTR>(4, GetSize() / 8));
    m_data.reserve((size_t)std::max(nNewSize, nMax + nGrowBy));
  }
  // For loading: capacity for one more element, doubling so that a long load stays linear and
  // never reserving more than twice what has been read.
  void ReserveForLoad(DWORD nTotal) {
    if (m_data.size() < m_data.capacity()) return;
    size_t nWant = std::max<size_t>(16, m_data.size() * 2);
    m_data.reserve(std::min<size_t>(nWant, nTotal));
  }

  std::vector<TYPE> m_data;
  INT_PTR m_nGrowBy;
};

class CObArray : public CArray<CObject*, CObject*> {
  DECLARE_SERIAL(CObArray)
 public:
  void Serialize(CArchive& ar) override;
};

class CPtrArray : public CArray<void*, void*> {
  DECLARE_DYNAMIC(CPtrArray)
};

class CByteArray : public CArray<BYTE, BYTE> {
  DECLARE_SERIAL(CByteArray)
 public:
  void Serialize(CArchive& ar) override;
};

class CWordArray : public CArray<WORD, WORD> {
  DECLARE_SERIAL(CWordArray)
 public:
  void Serialize(CArchive& ar) override;
};

class CDWordArray : public CArray<DWORD, DWORD> {
  DECLARE_SERIAL(CDWordArray)
 public:
  void Serialize(CArchive& ar) override;
};

class CUIntArray : public CArray<UINT, UINT> {
  DECLARE_DYNAMIC(CUIntArray)
};

class CStringArray : public CArray<CString, LPCTSTR> {
  DECLARE_SERIAL(CStringArray)
 public:
  void Serialize(CArchive& ar) override;
};

#endif  // VEDRA_AFX_AFXARRAY_H
