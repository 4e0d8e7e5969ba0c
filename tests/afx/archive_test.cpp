#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>

#include "afx_test_util.h"

namespace {

class ArchiveTest : public testing::Test {
 protected:
  void TearDown() override { Tracked::DeleteAll(); }
};

bool Contains(const Bytes& bytes, const Bytes& part) {
  return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

size_t Find(const Bytes& bytes, const Bytes& part) {
  return (size_t)(std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) - bytes.begin());
}

const char kHeader[] = "TAVO Vedra Archive Document...";

// A document-like stream: the header string, then a Model holding a reference to itself and
// the items leaf, leaf, null, first leaf again.
Bytes SmallModelStream() {
  Model* model = new Model;
  model->m_name = "거실";
  model->m_pSelf = model;
  TLeaf* leaf1 = new TLeaf;
  leaf1->m_d = 1.0;
  TLeaf* leaf2 = new TLeaf;
  leaf2->m_d = -2.0;
  model->m_items.Add(leaf1);
  model->m_items.Add(leaf2);
  model->m_items.Add(nullptr);
  model->m_items.Add(leaf1);
  Bytes bytes = Store([&](CArchive& ar) { ar << CString(kHeader) << model; });
  Tracked::DeleteAll();
  return bytes;
}

Model* ReadModelStream(CArchive& ar, CString* pHeader = nullptr) {
  CString header;
  ar >> header;
  if (pHeader != nullptr) *pHeader = header;
  Model* model = nullptr;
  ar >> model;
  return model;
}

TEST_F(ArchiveTest, PrimitivesHaveTheirExactBytes) {
  float nan;
  const DWORD nanBits = 0x7FC12345;
  memcpy(&nan, &nanBits, 4);
  Bytes bytes = Store([&](CArchive& ar) {
    ar << (BYTE)0xAB << (char)-5 << (WORD)0xBEEF << (short)-2 << INT_MIN << 0xDEADBEEFu << 1.5f
       << -2.25 << (LONGLONG)0x0102030405060708 << ~0ULL << (DWORD)0x11223344 << (LONG)-7 << nan;
  });
  EXPECT_EQ(bytes, Hex("AB FB EF BE FE FF 00 00 00 80 EF BE AD DE 00 00 C0 3F 00 00 00 00 00 00 02 C0"
                       " 08 07 06 05 04 03 02 01 FF FF FF FF FF FF FF FF 44 33 22 11 F9 FF FF FF"
                       " 45 23 C1 7F"));

  Load(bytes, [&](CArchive& ar) {
    BYTE by;
    char ch;
    WORD w;
    short sh;
    int i;
    UINT u;
    float f, fNan;
    double d;
    LONGLONG ll;
    ULONGLONG ull;
    DWORD dw;
    LONG l;
    ar >> by >> ch >> w >> sh >> i >> u >> f >> d >> ll >> ull >> dw >> l >> fNan;
    EXPECT_EQ(by, 0xAB);
    EXPECT_EQ(ch, -5);
    EXPECT_EQ(w, 0xBEEF);
    EXPECT_EQ(sh, -2);
    EXPECT_EQ(i, INT_MIN);
    EXPECT_EQ(u, 0xDEADBEEFu);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(d, -2.25);
    EXPECT_EQ(ll, 0x0102030405060708);
    EXPECT_EQ(ull, ~0ULL);
    EXPECT_EQ(dw, 0x11223344u);
    EXPECT_EQ(l, -7);
    DWORD bits;
    memcpy(&bits, &fNan, 4);
    EXPECT_EQ(bits, nanBits);
  });
}

TEST_F(ArchiveTest, StringLengthPrefixes) {
  struct Case {
    int length;
    const char* prefix;
  } cases[] = {
      {0, "00"},
      {254, "FE"},
      {255, "FF FF 00"},
      {0xFFFD, "FF FD FF"},
      {0xFFFE, "FF FF FF FE FF 00 00"},
      {0x10000, "FF FF FF 00 00 01 00"},
  };
  for (const Case& c : cases) {
    CString text('k', c.length);
    Bytes bytes = Store([&](CArchive& ar) { ar << text; });
    Bytes prefix = Hex(c.prefix);
    ASSERT_EQ(bytes.size(), prefix.size() + (size_t)c.length) << c.length;
    EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), bytes.begin())) << c.length;
    CString loaded("old");
    Load(bytes, [&](CArchive& ar) { ar >> loaded; });
    EXPECT_EQ(loaded, text) << c.length;
  }
}

TEST_F(ArchiveTest, CountsEscapeAt0xFFFF) {
  struct Case {
    DWORD count;
    const char* bytes;
  } cases[] = {
      {0, "00 00"},
      {0xFFFE, "FE FF"},
      {0xFFFF, "FF FF FF FF 00 00"},
      {0x12345678, "FF FF 78 56 34 12"},
  };
  for (const Case& c : cases) {
    Bytes bytes = Store([&](CArchive& ar) { ar.WriteCount(c.count); });
    EXPECT_EQ(bytes, Hex(c.bytes)) << c.count;
    DWORD loaded = 0;
    Load(bytes, [&](CArchive& ar) { loaded = ar.ReadCount(); });
    EXPECT_EQ(loaded, c.count);
  }

  CObArray nulls;
  nulls.SetSize(0xFFFF);
  Bytes bytes = Store([&](CArchive& ar) { nulls.Serialize(ar); });
  EXPECT_EQ(bytes.size(), 6u + 2u * 0xFFFF);
  CObArray loaded;
  loaded.Add(nullptr);
  Load(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
  EXPECT_EQ(loaded.GetSize(), 0xFFFF);
}

TEST_F(ArchiveTest, KnownDocumentStream) {
  Bytes bytes = SmallModelStream();
  EXPECT_EQ(bytes, Hex("1E 'TAVO Vedra Archive Document...'"
                       " FF FF 05 00 05 00 'Model'"
                       " 01 00 00 00 00 FF 00 00 06 EA B1 B0 EC 8B A4 00"
                       " 02 00"
                       " 04 00"
                       " FF FF 01 00 05 00 'TLeaf' 00 00 00 00 00 00 F0 3F"
                       " 03 80 00 00 00 00 00 00 00 C0"
                       " 00 00"
                       " 04 00"));

  Load(bytes, [&](CArchive& ar) {
    CString header;
    Model* model = ReadModelStream(ar, &header);
    EXPECT_EQ(header, kHeader);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->m_version, 1u);
    EXPECT_EQ(model->m_kind, 0xFF00u);
    EXPECT_EQ(model->m_name, "거실");
    EXPECT_EQ(model->m_note, "");
    EXPECT_EQ(model->m_pSelf, model);
    EXPECT_EQ(model->m_nSchema, 5u);
    ASSERT_EQ(model->m_items.GetSize(), 4);
    EXPECT_EQ(model->m_items[0], model->m_items[3]);
    EXPECT_EQ(model->m_items[2], nullptr);
    EXPECT_EQ(static_cast<TLeaf*>(model->m_items[1])->m_d, -2.0);
    EXPECT_EQ(ar.GetObjectSchema(), (UINT)-1);
  });
  EXPECT_EQ(Tracked::Live().size(), 3u);
}

TEST_F(ArchiveTest, GraphKeepsSharingCyclesAndNulls) {
  TNode* root = new TNode;
  root->m_value = 7;
  root->m_name = "루트";
  TNode* a = new TNode;
  TNode* b = new TNode;
  TNode* shared = new TNode;
  TLeaf* leaf = new TLeaf;
  leaf->m_d = 0.5;
  a->m_pLink = shared;  // first stored here, nested inside a
  b->m_pLink = shared;
  shared->m_pLink = root;
  root->m_children.Add(a);
  root->m_children.Add(nullptr);
  root->m_children.Add(b);
  root->m_children.Add(leaf);
  root->m_children.Add(shared);
  Bytes bytes = Store([&](CArchive& ar) { ar << root << root; });
  EXPECT_EQ(Bytes(bytes.end() - 2, bytes.end()), Hex("02 00"));  // the second time a back-reference
  Tracked::DeleteAll();

  TNode* first = nullptr;
  TNode* second = nullptr;
  Load(bytes, [&](CArchive& ar) { ar >> first >> second; });
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->m_value, 7);
  EXPECT_EQ(first->m_name, "루트");
  ASSERT_EQ(first->m_children.GetSize(), 5);
  TNode* la = DYNAMIC_DOWNCAST(TNode, first->m_children[0]);
  TNode* lb = DYNAMIC_DOWNCAST(TNode, first->m_children[2]);
  ASSERT_TRUE(la && lb);
  EXPECT_EQ(first->m_children[1], nullptr);
  EXPECT_EQ(la->m_pLink, lb->m_pLink);
  EXPECT_EQ(la->m_pLink, first->m_children[4]);
  EXPECT_EQ(la->m_pLink->m_pLink, first);
  EXPECT_EQ(static_cast<TLeaf*>(first->m_children[3])->m_d, 0.5);
  EXPECT_EQ(Tracked::Live().size(), 5u);  // every object loaded once
}

TEST_F(ArchiveTest, IndexesFrom0x7FFFUseTheLongForm) {
  // Index 1 is the class TNode, 2 the root, 3 the class TLeaf, then the leaves: the last leaf
  // gets 0x7FFF, the class Model 0x8000 and the two models 0x8001 and 0x8002.
  const int nLeaves = 0x7FFF - 3;
  TNode* root = new TNode;
  for (int i = 0; i < nLeaves; i++) {
    TLeaf* leaf = new TLeaf;
    leaf->m_d = i;
    root->m_children.Add(leaf);
  }
  Model* m1 = new Model;
  m1->m_pSelf = m1;
  root->m_children.Add(m1);
  root->m_children.Add(new Model);
  root->m_children.Add(root->m_children[nLeaves - 1]);
  root->m_children.Add(root->m_children[nLeaves - 2]);
  Bytes bytes = Store([&](CArchive& ar) { ar << root; });
  EXPECT_TRUE(Contains(bytes, Hex("FF 7F 01 80 00 00")));  // m1 refers to itself
  EXPECT_TRUE(Contains(bytes, Hex("FF 7F 00 80 00 80")));  // the second model's class
  // The last two leaves again (0x7FFF long, 0x7FFE short), then the root's null link.
  EXPECT_EQ(Bytes(bytes.end() - 10, bytes.end()), Hex("FF 7F FF 7F 00 00 FE 7F 00 00"));
  Tracked::DeleteAll();

  TNode* loaded = nullptr;
  Load(bytes, [&](CArchive& ar) { ar >> loaded; });
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->m_children.GetSize(), nLeaves + 4);
  EXPECT_EQ(static_cast<TLeaf*>(loaded->m_children[nLeaves - 1])->m_d, nLeaves - 1);
  EXPECT_EQ(loaded->m_children[nLeaves + 2], loaded->m_children[nLeaves - 1]);
  EXPECT_EQ(loaded->m_children[nLeaves + 3], loaded->m_children[nLeaves - 2]);
  Model* lm1 = DYNAMIC_DOWNCAST(Model, loaded->m_children[nLeaves]);
  Model* lm2 = DYNAMIC_DOWNCAST(Model, loaded->m_children[nLeaves + 1]);
  ASSERT_TRUE(lm1 && lm2);
  EXPECT_EQ(lm1->m_pSelf, lm1);
  EXPECT_NE(lm1, lm2);
}

TEST_F(ArchiveTest, CollectionsRoundTrip) {
  CStringArray strings;
  strings.Add("하나");
  strings.Add("");
  CStringList stringList;
  stringList.AddTail("a");
  stringList.AddTail("둘");
  CDWordArray dwords;
  dwords.Add(0xCAFEBABE);
  CWordArray words;
  words.Add(0x1234);
  CByteArray bytesArray;
  bytesArray.Add(9);
  CObList obList;
  TLeaf* leaf = new TLeaf;
  obList.AddTail(leaf);
  obList.AddTail((CObject*)nullptr);
  obList.AddTail(leaf);
  CUIntArray uints;  // stores nothing
  uints.Add(5);

  auto serializeAll = [&](CArchive& ar, CStringArray& sa, CStringList& sl, CDWordArray& da,
                          CWordArray& wa, CByteArray& ba, CObList& ol, CUIntArray& ua) {
    sa.Serialize(ar);
    sl.Serialize(ar);
    da.Serialize(ar);
    ua.Serialize(ar);
    wa.Serialize(ar);
    ba.Serialize(ar);
    ol.Serialize(ar);
  };
  Bytes bytes = Store([&](CArchive& ar) {
    serializeAll(ar, strings, stringList, dwords, words, bytesArray, obList, uints);
  });
  EXPECT_EQ(bytes, Hex("02 00 06 ED 95 98 EB 82 98 00  02 00 01 'a' 03 EB 91 98"
                       " 01 00 BE BA FE CA  01 00 34 12  01 00 09"
                       " 03 00 FF FF 01 00 05 00 'TLeaf' 00 00 00 00 00 00 00 00 00 00 02 00"));

  CStringArray sa;
  CStringList sl;
  CDWordArray da;
  CWordArray wa;
  CByteArray ba;
  CObList ol;
  CUIntArray ua;
  Load(bytes, [&](CArchive& ar) { serializeAll(ar, sa, sl, da, wa, ba, ol, ua); });
  ASSERT_EQ(sa.GetSize(), 2);
  EXPECT_EQ(sa[0], "하나");
  EXPECT_EQ(sl.GetTail(), "둘");
  EXPECT_EQ(da[0], 0xCAFEBABEu);
  EXPECT_EQ(wa[0], 0x1234);
  EXPECT_EQ(ba[0], 9);
  ASSERT_EQ(ol.GetCount(), 3);
  EXPECT_EQ(ol.GetHead(), ol.GetTail());
  EXPECT_EQ(ua.GetSize(), 0);
}

TEST_F(ArchiveTest, SchemaOfTheObjectBeingLoaded) {
  Model* model = new Model;
  model->m_items.Add(new TNode);
  Bytes bytes = Store([&](CArchive& ar) { ar << model; });
  Tracked::DeleteAll();
  // Stored schemas: 3 for the model, 7 for the node; both classes are versionable.
  bytes[Find(bytes, Hex("05 00 05 00 'Model'"))] = 3;
  bytes[Find(bytes, Hex("05 00 05 00 'TNode'"))] = 7;

  Model* loaded = nullptr;
  Load(bytes, [&](CArchive& ar) { ar >> loaded; });
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->m_nSchema, 3u);  // still the model's after the nested node
  TNode* node = static_cast<TNode*>(loaded->m_items[0]);
  EXPECT_EQ(node->m_nSchemaBefore, 7u);
  EXPECT_EQ(node->m_nSchemaAfter, 7u);
}

// Reads `objects` object references, or the Model document stream when objects is 0.
void ReadStream(const Bytes& bytes, int objects) {
  Load(bytes, [&](CArchive& ar) {
    if (objects == 0) {
      ReadModelStream(ar);
      return;
    }
    for (int i = 0; i < objects; i++) ar.ReadObject(nullptr);
  });
}

TEST_F(ArchiveTest, DamagedStreamsRaiseArchiveExceptions) {
  const std::string node = "FF FF 05 00 05 00 'TNode' 00 00 00 00 ";  // tag and value
  const std::string leaf = "FF FF 01 00 05 00 'TLeaf' 00 00 00 00 00 00 00 00 ";
  struct Case {
    const char* what;
    std::string bytes;
    int objects;
    int cause;
  } cases[] = {
      {"unknown class name", "FF FF 01 00 04 00 'Nope'", 1, CArchiveException::badClass},
      {"class name cut short", "FF FF 01 00 09 00 'TLe'", 1, CArchiveException::endOfFile},
      {"back-reference before any object", "05 00", 1, CArchiveException::badIndex},
      {"class index before any class", "01 80", 1, CArchiveException::badIndex},
      {"long back-reference out of range", "FF 7F 45 23 01 00", 1, CArchiveException::badIndex},
      {"long class index out of range", "FF 7F 45 23 01 80", 1, CArchiveException::badIndex},
      {"back-reference to a class", leaf + "01 00", 2, CArchiveException::badIndex},
      {"class index naming an object", leaf + "02 80", 2, CArchiveException::badIndex},
      {"schema of a non-versionable class differs", "FF FF 02 00 05 00 'TLeaf'", 1,
       CArchiveException::badSchema},
      {"typed reference to an object of another class", node + "00 01 00 " + leaf + "04 00", 1,
       CArchiveException::badClass},
      {"typed reference to a new object of another class", node + "00 00 00 " + leaf, 1,
       CArchiveException::badClass},
      {"huge count", node + "00 FF FF FF FF FF FF", 1, CArchiveException::endOfFile},
      {"huge string", "FF FF 05 00 05 00 'TNode' 00 00 00 00 FF FF FF FF FF 7F 'ab'", 1,
       CArchiveException::endOfFile},
      {"string over 2 GB", "FF FF 05 00 05 00 'TNode' 00 00 00 00 FF FF FF FF FF FF FF", 1,
       CArchiveException::genericException},
      {"string prefix never written", "FF FF 05 00 05 00 'TNode' 00 00 00 00 FF FE FF 01 'a'", 1,
       CArchiveException::genericException},
      {"empty stream", "", 1, CArchiveException::endOfFile},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArchiveCause([&] { ReadStream(Hex(c.bytes), c.objects); }), c.cause) << c.what;
    EXPECT_EQ(Tracked::CountLive(RUNTIME_CLASS(TNode)), 0u) << c.what;  // deleted when it failed
    Tracked::DeleteAll();
  }

  CDWordArray dwords;
  EXPECT_EQ(ArchiveCause([&] { Load(Hex("FF FF FF FF FF FF 01 02"), [&](CArchive& ar) { dwords.Serialize(ar); }); }),
            CArchiveException::endOfFile);
}

TEST_F(ArchiveTest, TruncatedAtEveryByte) {
  const Bytes bytes = SmallModelStream();
  for (size_t n = 0; n < bytes.size(); n++) {
    Bytes cut(bytes.begin(), bytes.begin() + (std::ptrdiff_t)n);
    EXPECT_EQ(ArchiveCause([&] { ReadStream(cut, 0); }), CArchiveException::endOfFile) << n;
    EXPECT_EQ(Tracked::CountLive(RUNTIME_CLASS(Model)), 0u) << n;
    Tracked::DeleteAll();
  }
}

TEST_F(ArchiveTest, FlippedBytesAndForeignStreamsNeverCrash) {
  const Bytes bytes = SmallModelStream();
  for (size_t n = 0; n < bytes.size(); n++) {
    for (BYTE mask : {0x01, 0x80, 0xFF}) {
      Bytes damaged = bytes;
      damaged[n] ^= mask;
      int cause = ArchiveCause([&] { ReadStream(damaged, 0); });
      EXPECT_NE(cause, -2) << n;  // loads, or fails with an archive exception
      Tracked::DeleteAll();
    }
  }
  std::mt19937 random(1234);
  for (int i = 0; i < 500; i++) {
    Bytes foreign(random() % 64);
    for (BYTE& b : foreign) b = (BYTE)random();
    EXPECT_NE(ArchiveCause([&] { ReadStream(foreign, 3); }), -2);
    Tracked::DeleteAll();
  }
}

TEST_F(ArchiveTest, NestingDepthIsLimited) {
  auto chain = [](int depth) {
    TNode* root = new TNode;
    TNode* node = root;
    for (int i = 1; i < depth; i++) {
      TNode* child = new TNode;
      node->m_children.Add(child);
      node = child;
    }
    return root;
  };
  TNode* root = chain(AFX_MAX_OBJECT_DEPTH);
  Bytes deepest = Store([&](CArchive& ar) { ar << root; });
  root = chain(AFX_MAX_OBJECT_DEPTH + 1);
  Bytes tooDeep = Store([&](CArchive& ar) { ar << root; });
  Tracked::DeleteAll();

  EXPECT_EQ(ArchiveCause([&] { ReadStream(deepest, 1); }), -1);
  EXPECT_EQ(Tracked::Live().size(), (size_t)AFX_MAX_OBJECT_DEPTH);
  Tracked::DeleteAll();
  EXPECT_EQ(ArchiveCause([&] { ReadStream(tooDeep, 1); }), CArchiveException::genericException);
}

TEST_F(ArchiveTest, WrongDirectionAndClosedArchivesAreRefused) {
  CMemFile file;
  CArchive store(&file, CArchive::store);
  int i = 0;
  EXPECT_EQ(ArchiveCause([&] { store >> i; }), CArchiveException::writeOnly);
  EXPECT_EQ(ArchiveCause([&] { store.ReadObject(nullptr); }), CArchiveException::writeOnly);
  store << 1;
  store.Close();
  EXPECT_EQ(ArchiveCause([&] { store << 2; }), CArchiveException::genericException);
  EXPECT_EQ(file.GetLength(), 4u);

  file.SeekToBegin();
  CArchive load(&file, CArchive::load);
  EXPECT_EQ(ArchiveCause([&] { load << i; }), CArchiveException::readOnly);
  EXPECT_EQ(ArchiveCause([&] { load.WriteObject(nullptr); }), CArchiveException::readOnly);
  load >> i;
  EXPECT_EQ(i, 1);
}

TEST_F(ArchiveTest, ObjectsThatCannotBeStoredAreRefused) {
  CPtrArray notSerializable;
  EXPECT_EQ(ArchiveCause([&] { Store([&](CArchive& ar) { ar << &notSerializable; }); }),
            CArchiveException::badClass);
}

}  // namespace
