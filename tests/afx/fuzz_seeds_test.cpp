// Seeds for the archive fuzz target: object graphs of its sample classes that use every kind of
// reference (new class, known class, back-reference, null) and every collection they hold.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "afx_test_util.h"
#include "archive_samples.h"
#include "fuzz_seeds.h"

namespace {

FLeaf* NewLeaf(double d, WORD w) {
  FLeaf* leaf = new FLeaf;
  leaf->m_d = d;
  leaf->m_w = w;
  leaf->m_b = (BYTE)(w & 0xFF);
  return leaf;
}

FNode* NewNode(int value, const char* name) {
  FNode* node = new FNode;
  node->m_value = value;
  node->m_name = name;
  node->m_part.m_text = name;
  node->m_part.m_f = value * 0.5f;
  node->m_part.m_bytes.Add((BYTE)value);
  node->m_part.m_words.Add((WORD)(value * 3));
  return node;
}

struct Seed {
  const char* name;
  // Builds the graph and returns the root and the objects that follow it in the stream.
  std::function<std::vector<CObject*>()> build;
};

const Seed kSeeds[] = {
    {"tree",
     [] {
       FNode* root = NewNode(7, "root");
       FNode* child = NewNode(1, "거실");
       FLeaf* leaf = NewLeaf(1.5, 9);
       root->m_children.Add(child);
       root->m_children.Add(leaf);
       root->m_children.Add(nullptr);
       root->m_pLink = child;
       root->m_strings.Add("a");
       root->m_strings.Add("");
       root->m_dwords.Add(0xFFFFFFFFu);
       root->m_list.AddTail(leaf);
       root->m_list.AddTail(child);
       child->m_pLink = root;
       return std::vector<CObject*>{root, leaf, nullptr, NewLeaf(-2.0, 0x8000)};
     }},
    {"cycle",
     [] {
       FNode* root = NewNode(1, "self");
       root->m_pLink = root;
       root->m_children.Add(root);
       root->m_list.AddTail(root);
       return std::vector<CObject*>{root, root, root, nullptr};
     }},
    {"chain",
     [] {
       // A chain of nodes, each holding the next one and two leaves of its own.
       FNode* root = NewNode(0, "n0");
       FNode* at = root;
       for (int i = 1; i < 12; i++) {
         FNode* next = NewNode(i, ("n" + std::to_string(i)).c_str());
         at->m_children.Add(next);
         at->m_children.Add(NewLeaf(i, (WORD)i));
         at->m_list.AddTail(NewLeaf(-i, (WORD)(i + 100)));
         at->m_dwords.Add((DWORD)i);
         next->m_pLink = root;
         at = next;
       }
       return std::vector<CObject*>{root, at, NewNode(99, "last"), NewLeaf(0, 0)};
     }},
};

// Reads a stream as the fuzz target does; the objects read, or an empty list on an exception.
std::vector<CObject*> ReadAsTheFuzzTargetDoes(const Bytes& bytes) {
  std::vector<CObject*> objects;
  bool failed = false;
  Load(bytes, [&](CArchive& ar) {
    failed = ArchiveCause([&] {
               objects.push_back(ar.ReadObject(RUNTIME_CLASS(FNode)));
               for (int i = 0; i < kArchiveSampleTrailingObjects; i++) objects.push_back(ar.ReadObject(NULL));
             }) != -1;
  });
  if (failed) objects.clear();
  return objects;
}

TEST(FuzzSeeds, ArchiveGraphsReadBackWhole) {
  for (const Seed& seed : kSeeds) {
    const std::vector<CObject*> written = seed.build();
    ASSERT_EQ(written.size(), size_t(1 + kArchiveSampleTrailingObjects));
    const Bytes bytes = Store([&](CArchive& ar) {
      for (CObject* o : written) ar.WriteObject(o);
    });
    const size_t liveWritten = FObject::Live().size();
    const auto* root = static_cast<FNode*>(written[0]);
    const std::string rootName = (const char*)root->m_name;
    const int children = (int)root->m_children.GetSize();

    const std::vector<CObject*> read = ReadAsTheFuzzTargetDoes(bytes);
    ASSERT_EQ(read.size(), written.size()) << seed.name;
    EXPECT_EQ(FObject::Live().size(), 2 * liveWritten) << seed.name;  // every object read once
    const auto* copy = DYNAMIC_DOWNCAST(FNode, read[0]);
    ASSERT_TRUE(copy) << seed.name;
    EXPECT_EQ(std::string((const char*)copy->m_name), rootName) << seed.name;
    EXPECT_EQ(copy->m_children.GetSize(), children) << seed.name;
    for (size_t i = 1; i < read.size(); i++)
      EXPECT_EQ(read[i] == nullptr, written[i] == nullptr) << seed.name << " object " << i;
    EXPECT_TRUE(WriteFuzzSeed("afx", seed.name, bytes.data(), bytes.size())) << seed.name;
    FObject::DeleteAll();
  }
}

}  // namespace
