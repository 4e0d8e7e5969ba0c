// Hash tables, lists and object groups.
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support.h"
#include "toolkit/geometry/objects.h"

namespace {

void *key(intptr_t k) { return reinterpret_cast<void *>(k); }

TEST(HashTable, PicksThePrimeAtOrAboveTheRequest) {
  const struct {
    unsigned requested, size;
  } cases[] = {{0, 3}, {3, 3}, {4, 5}, {100, 101}, {101, 101}, {10008, 11003}, {70001, 70001},
               {100000, 70001}};
  for (const auto &c : cases) EXPECT_EQ(_WThashtable_picksize(c.requested), c.size) << c.requested;
}

class HashTableSizes : public ::testing::TestWithParam<unsigned> {};

TEST_P(HashTableSizes, DuplicateKeysAcrossBuckets) {
  WThashtable *t = _WThashtable_new(GetParam(), _WThashtable_inthash, _WThashtable_intcompare);
  const int n = 2000;
  std::vector<int> values(n + 1);
  // Two entries with one key in an empty bucket: the first inserted sits in the bucket itself
  // and is found first; removing it uncovers the second.
  int first = 0, second = 0;
  _WThashtable_insert(t, key(17), &first);
  _WThashtable_insert(t, key(17), &second);
  for (int k = 1; k <= n; k++)
    if (k != 17) _WThashtable_insert(t, key(k), &values[k]);
  EXPECT_EQ(_WThashtable_count(t), n + 1);
  EXPECT_EQ(WThashtable_find(t, key(17)), &first);
  EXPECT_EQ(_WThashtable_keyof(t, &second), key(17));
  EXPECT_EQ(_WThashtable_remove(t, key(17), 0, 0), 1);
  EXPECT_EQ(WThashtable_find(t, key(17)), &second);
  _WThashtable_insert(t, key(17), &values[17]);

  // Index order reaches every entry once.
  std::vector<int> seen(n + 1);
  for (int i = 0; i < _WThashtable_count(t); i++) {
    intptr_t k = reinterpret_cast<intptr_t>(_WThashtable_keyat(t, i));
    ASSERT_TRUE(k >= 1 && k <= n);
    seen[k]++;
  }
  for (int k = 1; k <= n; k++) EXPECT_EQ(seen[k], k == 17 ? 2 : 1) << k;
  EXPECT_EQ(_WThashtable_valueat(t, _WThashtable_count(t)), nullptr);

  for (int k = 1; k <= n; k++) EXPECT_EQ(_WThashtable_remove(t, key(k), 0, 0), 1) << k;
  EXPECT_EQ(_WThashtable_remove(t, key(17), 0, 0), 1);
  EXPECT_EQ(_WThashtable_count(t), 0);
  EXPECT_EQ(WThashtable_find(t, key(5)), nullptr);
  EXPECT_EQ(_WThashtable_remove(t, key(5), 0, 0), 0);
  _WThashtable_delete(t, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HashTableSizes, ::testing::Values(3u, 101u, 20011u, 70001u));

TEST(HashTable, KeepsEveryBucketOfTheLargestSize) {
  // With all 70001 buckets each key sits alone in the bucket of its own number, so index order
  // is key order; a count cut to 16 bits (4465 buckets) would put 4465 first.
  WThashtable *t = _WThashtable_new(_WThashtable_picksize(100000), _WThashtable_inthash,
                                    _WThashtable_intcompare);
  for (intptr_t k = 1; k <= 70000; k++) _WThashtable_insert(t, key(k), key(k));
  for (int i : {0, 4464, 4465, 65535, 65536, 69999}) EXPECT_EQ(_WThashtable_keyat(t, i), key(i + 1));
  _WThashtable_delete(t, 0, 0);
}

TEST(HashTable, TextKeysAndOwnedEntries) {
  std::string longtext(200, 'a');
  EXPECT_EQ(_WThashtable_strhash(longtext.c_str()), 128u * 'a');
  EXPECT_EQ(_WThashtable_strhash("\xff"), 0xFFFFFFFFu); // characters above 127 count negative
  int minusfive = -5;
  EXPECT_EQ(_WThashtable_pinthash(&minusfive), 5u);
  EXPECT_EQ(_WThashtable_inthash(key(-5)), 5u);

  WThashtable *t = _WThashtable_new(3, _WThashtable_strhash, _WThashtable_strcompare);
  char *k1 = _WTmem_strdup("alpha"), *k2 = _WTmem_strdup("beta");
  _WThashtable_insert(t, k1, _WTmem_strdup("1"));
  _WThashtable_insert(t, k2, _WTmem_strdup("2"));
  EXPECT_STREQ(static_cast<char *>(WThashtable_find(t, "beta")), "2");
  EXPECT_EQ(WThashtable_find(t, "gamma"), nullptr);
  EXPECT_EQ(_WThashtable_remove(t, "alpha", 1, 1), 1);
  _WThashtable_clear(t, 1, 1);
  EXPECT_EQ(_WThashtable_count(t), 0);
  _WThashtable_insert(t, _WTmem_strdup("gamma"), nullptr);
  _WThashtable_delete(t, 1, 1); // the sanitizer reports anything left behind
  EXPECT_EQ(WThashtable_find(nullptr, "x"), nullptr);
  EXPECT_EQ(_WThashtable_count(nullptr), 0);
}

TEST(List, LinksUnlinksAndJoins) {
  WTlist *list = _WTlist_new();
  for (intptr_t v = 3; v >= 1; v--) _WTlist_push(&list, key(v));
  WTlist *tail = _WTlist_push(nullptr, key(4));
  EXPECT_EQ(_WTlist_append(list, tail), list);
  EXPECT_EQ(_WTlist_append(nullptr, tail), nullptr);
  EXPECT_EQ(_WTlist_last(list), tail);
  EXPECT_EQ(_WTlist_first(tail), list);
  WTlist *two = _WTlist_find(list, key(2));
  ASSERT_NE(two, nullptr);
  _WTlist_unlink(two);
  EXPECT_EQ(_WTlist_value(_WTlist_next(list)), key(3));
  EXPECT_EQ(_WTlist_prev(_WTlist_find(list, key(3))), list);

  tk::Captured captured;
  testing::internal::CaptureStdout();
  _WTlist_print(list);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(captured.all(), "1\n3\n4\n3 items in list\n");
  _WTlist_freeall(list);

  WTcell *cells = _WTlist_cell(key(1), _WTlist_cell(key(2), nullptr));
  WTcell *reversed = _WTlist_reversecopy(cells);
  EXPECT_EQ(reversed->value, key(2));
  EXPECT_EQ(reversed->next->value, key(1));
  WTcell *joined = _WTlist_join(cells, reversed);
  EXPECT_EQ(joined, cells);
  EXPECT_EQ(joined->next->next->value, key(2));
  EXPECT_EQ(_WTlist_join(nullptr, reversed), reversed);
  _WTlist_free(joined);
}

TEST(ObjectGroup, MembershipIsExclusive) {
  WTobject *a = _WTobject_new(nullptr), *b = _WTobject_new(nullptr), *c = _WTobject_new(nullptr);
  WTobjgroup *g = _WTobjgroup_new(), *other = _WTobjgroup_new();
  EXPECT_EQ(_WTobjgroup_add(g, a), 1);
  EXPECT_EQ(_WTobjgroup_add(g, b), 1);
  EXPECT_EQ(_WTobjgroup_add(g, c), 1);
  EXPECT_EQ(_WTobjgroup_add(nullptr, a), 0);

  tk::Captured captured;
  testing::internal::CaptureStdout();
  EXPECT_EQ(_WTobjgroup_add(g, a), 0);
  EXPECT_EQ(_WTobjgroup_add(other, a), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(captured.all(), "VAV Warning: Object is already in this group.\n"
                            "VAV Warning: Object is already in another group.\n");

  // Members are kept newest first.
  EXPECT_EQ(_WTobjgroup_firstselected(g), c);
  EXPECT_EQ(_WTobjgroup_nextselected(g, c), b);
  EXPECT_EQ(_WTobjgroup_nextselected(g, a), nullptr);
  EXPECT_EQ(_WTobjgroup_remove(g, b), 1);
  EXPECT_EQ(_WTobjgroup_remove(g, b), 0);
  EXPECT_EQ(_WTobjgroup_nextselected(g, c), a);
  EXPECT_EQ(_WTobjgroup_add(other, b), 1);

  _WTobjgroup_delete(g); // lets a and c go
  EXPECT_EQ(_WTobjgroup_add(other, a), 1);
  _WTobjgroup_delete(other);

  // Merging hands the objects to the object layer, which destroys the others, and frees the list.
  WTobjmerge merge{a, _WTlist_cell(b, _WTlist_cell(c, nullptr))};
  _WTobjgroup_merge(&merge, 0);
  EXPECT_EQ(merge.others, nullptr);
  _WTobject_free(a);
}

}  // namespace
