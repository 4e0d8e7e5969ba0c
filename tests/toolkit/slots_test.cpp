// Small records from the slot blocks: freed and moved through the same calls as malloc's memory.
#include <stdint.h>
#include <string.h>

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/core/core.h"

namespace {

// More records than one block holds, of sizes that share a slot size and of sizes that do not.
TEST(Slots, RecordsAreFreedMovedAndReusedThroughTheAllocatorsCalls) {
  const size_t sizes[] = {12, 16, 40, 104};
  std::vector<unsigned char *> records;
  for (int i = 0; i < 40000; i++) {
    const size_t size = sizes[i % 4];
    auto *r = static_cast<unsigned char *>(_WTmem_allocslot(size));
    memset(r, i & 0xFF, size);
    records.push_back(r);
  }
  // No two records overlap, and each keeps its bytes while the others are written.
  std::set<uintptr_t> starts;
  for (int i = 0; i < 40000; i++) {
    const size_t size = sizes[i % 4];
    EXPECT_EQ(records[i][0], i & 0xFF);
    EXPECT_EQ(records[i][size - 1], i & 0xFF);
    EXPECT_TRUE(starts.insert(reinterpret_cast<uintptr_t>(records[i])).second);
  }

  // A record moved to a larger size keeps its bytes and leaves the slots.
  auto *moved = static_cast<unsigned char *>(_WTmem_realloc(records[3], 300));
  EXPECT_EQ(moved[103], 3);
  EXPECT_FALSE(_WTmem_isslot(moved));
  moved[299] = 1;
  _WTmem_free(moved);
  records[3] = nullptr;

  // A freed slot is the next one of its size handed out (malloc's memory in sanitized builds).
  unsigned char *last = records.back();
  const bool slots = _WTmem_isslot(last) != 0;
  _WTmem_free(last);
  records.pop_back();
  void *again = _WTmem_allocslot(sizes[(records.size()) % 4]);
  if (slots) {
    EXPECT_EQ(again, last);
  }
  _WTmem_free(again);
  for (unsigned char *r : records) _WTmem_free(r);

  // Sizes past the slots and of nothing come from malloc.
  void *large = _WTmem_allocslot(129);
  EXPECT_FALSE(_WTmem_isslot(large));
  _WTmem_free(large);
  EXPECT_FALSE(_WTmem_isslot(nullptr));
}

// Records of one size filling more than one region of blocks: every one is known as a slot (in
// builds that use them), none overlaps another, and all go back to be handed out again.
TEST(Slots, RecordsBeyondOneRegionOfBlocksAreAllSlots) {
  const size_t size = 104, count = 200000; // about 21 MB
  std::vector<unsigned char *> records;
  for (size_t i = 0; i < count; i++) {
    auto *r = static_cast<unsigned char *>(_WTmem_allocslot(size));
    ASSERT_TRUE(r);
    memset(r, int(i & 0xFF), size);
    records.push_back(r);
  }
  const bool slots = _WTmem_isslot(records[0]) != 0;
  std::set<uintptr_t> starts;
  for (size_t i = 0; i < count; i++) {
    if (slots) {
      ASSERT_TRUE(_WTmem_isslot(records[i])) << i;
      ASSERT_EQ(_WTmem_slotsize(records[i]), size) << i;
    }
    ASSERT_EQ(records[i][size - 1], i & 0xFF) << i;
    ASSERT_TRUE(starts.insert(reinterpret_cast<uintptr_t>(records[i])).second) << i;
  }
  for (unsigned char *r : records) _WTmem_free(r);
}

}  // namespace
