#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "afx/afx.h"

namespace {

class ProbeArray : public CPtrArray {
 public:
  size_t Capacity() const { return m_data.capacity(); }
};

template <class ARRAY>
std::vector<DWORD> Values(const ARRAY& array) {
  std::vector<DWORD> values;
  for (INT_PTR i = 0; i < array.GetSize(); i++) values.push_back(array[i]);
  return values;
}

TEST(CArray, GrowthRule) {
  ProbeArray small;
  small.Add(nullptr);
  EXPECT_EQ(small.Capacity(), 4u);  // at least 4
  small.SetSize(80);
  small.Add(nullptr);
  EXPECT_EQ(small.Capacity(), 90u);  // size / 8
  ProbeArray big;
  big.SetSize(16384);
  big.Add(nullptr);
  EXPECT_EQ(big.Capacity(), 16384u + 1024u);  // at most 1024
  ProbeArray fixed;
  fixed.SetSize(0, 100);
  fixed.Add(nullptr);
  EXPECT_EQ(fixed.Capacity(), 100u);
  EXPECT_EQ(fixed[0], nullptr);
}

TEST(CArray, Editing) {
  CDWordArray a;
  EXPECT_EQ(a.Add(1), 0);
  a.Add(2);
  a.Add(3);
  a.InsertAt(1, 9, 2);
  EXPECT_EQ(Values(a), (std::vector<DWORD>{1, 9, 9, 2, 3}));
  a.RemoveAt(0, 2);
  EXPECT_EQ(Values(a), (std::vector<DWORD>{9, 2, 3}));
  a.SetAtGrow(5, 7);
  EXPECT_EQ(Values(a), (std::vector<DWORD>{9, 2, 3, 0, 0, 7}));
  EXPECT_EQ(a.GetUpperBound(), 5);
  CDWordArray b;
  b.Add(4);
  b.Add(5);
  EXPECT_EQ(a.Append(b), 6);
  a.InsertAt(0, &b);
  EXPECT_EQ(Values(a), (std::vector<DWORD>{4, 5, 9, 2, 3, 0, 0, 7, 4, 5}));
  a.ElementAt(0) = 8;
  a[1] = 6;
  a.SetAt(2, 1);
  EXPECT_EQ(a.GetAt(0) + a.GetAt(1) + a.GetAt(2), 15u);
  b.Copy(a);
  EXPECT_EQ(Values(b), Values(a));
  a.SetSize(1);
  EXPECT_EQ(Values(a), (std::vector<DWORD>{8}));
  a.RemoveAll();
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetData(), nullptr);

  CStringArray strings;  // adding an element of the array itself while it grows
  strings.Add("문");
  for (int i = 0; i < 100; i++) strings.Add(strings[0]);
  EXPECT_EQ(strings[100], "문");
}

TEST(CList, PositionsAndEditing) {
  CStringList list;
  list.AddTail("b");
  list.AddHead("a");
  list.AddTail("d");
  list.InsertBefore(list.Find("d"), "c");
  list.InsertAfter(list.GetTailPosition(), "e");
  std::vector<CString> forward;
  for (POSITION pos = list.GetHeadPosition(); pos != NULL;) forward.push_back(list.GetNext(pos));
  EXPECT_EQ(forward, (std::vector<CString>{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(list.GetAt(list.FindIndex(2)), "c");
  EXPECT_EQ(list.FindIndex(5), nullptr);
  EXPECT_EQ(list.Find("zz"), nullptr);
  EXPECT_EQ(list.Find("c", list.FindIndex(2)), nullptr);  // searches after the start

  list.RemoveAt(list.Find("b"));
  list.SetAt(list.Find("c"), "C");
  std::vector<CString> backward;
  for (POSITION pos = list.GetTailPosition(); pos != NULL;) backward.push_back(list.GetPrev(pos));
  EXPECT_EQ(backward, (std::vector<CString>{"e", "d", "C", "a"}));
  EXPECT_EQ(list.RemoveHead(), "a");
  EXPECT_EQ(list.RemoveTail(), "e");
  EXPECT_EQ(list.GetCount(), 2);
  list.AddTail(&list);  // appends its own elements once
  list.AddHead(&list);
  EXPECT_EQ(list.GetCount(), 8);
  EXPECT_EQ(list.GetHead(), "C");
  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

TEST(CMap, LookupIterateRemove) {
  CMapStringToPtr map;
  int chair, table;
  map.SetAt("의자", &chair);
  map["table"] = &table;
  void* value = nullptr;
  EXPECT_TRUE(map.Lookup("의자", value));
  EXPECT_EQ(value, &chair);
  EXPECT_FALSE(map.Lookup("lamp", value));
  EXPECT_EQ(map["lamp"], nullptr);  // added as null
  EXPECT_EQ(map.GetCount(), 3);
  EXPECT_TRUE(map.RemoveKey("lamp"));
  EXPECT_FALSE(map.RemoveKey("lamp"));

  map.InitHashTable(101);  // keeps what is there
  std::set<CString> keys;
  CString key;
  for (POSITION pos = map.GetStartPosition(); pos != NULL;) {
    map.GetNextAssoc(pos, key, value);
    keys.insert(key);
  }
  EXPECT_EQ(keys, (std::set<CString>{"의자", "table"}));

  CMapPtrToPtr pointers;
  std::vector<int> targets(1000);
  for (int& t : targets) pointers[&t] = &t + 1;
  for (size_t i = 0; i < targets.size(); i += 2) EXPECT_TRUE(pointers.RemoveKey(&targets[i]));
  EXPECT_EQ(pointers.GetCount(), 500);
  for (size_t i = 1; i < targets.size(); i += 2) {
    ASSERT_TRUE(pointers.Lookup(&targets[i], value));
    EXPECT_EQ(value, &targets[i] + 1);
  }
  int visited = 0;
  void* k;
  for (POSITION pos = pointers.GetStartPosition(); pos != NULL; visited++) pointers.GetNextAssoc(pos, k, value);
  EXPECT_EQ(visited, 500);

  CMapWordToPtr words;
  words[7] = &chair;
  EXPECT_TRUE(words.Lookup(7, value));
  words.RemoveAll();
  EXPECT_EQ(words.GetStartPosition(), nullptr);
}

TEST(CRect, Operations) {
  struct Case {
    CRect got;
    CRect want;
  } cases[] = {
      {CRect(0, 0, 10, 10) & CRect(5, 5, 20, 20), CRect(5, 5, 10, 10)},
      {CRect(0, 0, 10, 10) & CRect(10, 0, 20, 10), CRect()},  // touching: empty
      {CRect(0, 0, 10, 10) | CRect(5, -5, 20, 5), CRect(0, -5, 20, 10)},
      {CRect() | CRect(1, 2, 3, 4), CRect(1, 2, 3, 4)},
      {CRect(0, 0, 10, 10) + CPoint(1, 2), CRect(1, 2, 11, 12)},
      {CRect(CPoint(1, 2), CSize(3, 4)), CRect(1, 2, 4, 6)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.got.left << "," << c.got.top << "," << c.got.right << "," << c.got.bottom;

  CRect r(10, 20, 0, 5);
  r.NormalizeRect();
  EXPECT_EQ(r, CRect(0, 5, 10, 20));
  EXPECT_EQ(r.Width(), 10);
  EXPECT_EQ(r.Height(), 15);
  EXPECT_EQ(r.CenterPoint(), CPoint(5, 12));
  EXPECT_TRUE(r.PtInRect(CPoint(0, 5)));
  EXPECT_FALSE(r.PtInRect(CPoint(10, 5)));  // right and bottom are outside
  EXPECT_FALSE(r.PtInRect(CPoint(5, 20)));
  r.InflateRect(2, 3);
  EXPECT_EQ(r, CRect(-2, 2, 12, 23));
  r.DeflateRect(1, 1, 2, 2);
  r.OffsetRect(CSize(1, 1));
  EXPECT_EQ(r, CRect(0, 4, 11, 22));
  CRect a(0, 0, 5, 5), empty;
  EXPECT_FALSE(empty.UnionRect(&empty, &empty));
  EXPECT_FALSE(a.IntersectRect(&a, CRect(6, 6, 9, 9)));
  EXPECT_TRUE(a.IsRectNull());
  EXPECT_EQ(CPoint(5, 7) - CPoint(1, 2), CSize(4, 5));
  EXPECT_EQ(CPoint(5, 7) + CSize(1, 1), CPoint(6, 8));
}

}  // namespace
