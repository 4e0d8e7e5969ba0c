// Small records (vertices, their normals, vertex links, polygons) from blocks of equal slots
// rather than one malloc each: a large model holds millions of them, and malloc's bookkeeping
// and the scattering of the records cost more than the work done on them.
//
// Blocks are 1 MB, aligned to 1 MB, and never given back to the system; a freed slot goes on its
// size's list for the next record.  A map of the blocks lets _WTmem_free and _WTmem_realloc tell
// a slot from malloc's memory, so every record can still be freed with _WTmem_free.
//
// Address-sanitized builds take every record from malloc, so that a slot used after it is freed
// is still caught.  The toolkit runs on one thread; so does this.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/platform.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WT_SLOTS_FROM_MALLOC 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define WT_SLOTS_FROM_MALLOC 1
#endif

#ifndef WT_SLOTS_FROM_MALLOC
namespace {

constexpr int kBlockBits = 20;
constexpr uintptr_t kBlockSize = uintptr_t(1) << kBlockBits;
constexpr size_t kGrain = 8;
constexpr size_t kLargest = 128;           // larger records come from malloc
constexpr int kSizes = kLargest / kGrain;  // one list per multiple of the grain
constexpr int kBlocksPerRegion = 16;       // blocks carved from one region
constexpr uintptr_t kRegionAlign = uintptr_t(2) << 20; // whole huge pages
constexpr size_t kHeader = 64;             // block header; slots follow

struct BlockHeader {
  uint32_t sizeclass;
};

struct FreeSlot {
  FreeSlot *next;
};

struct SizeList {
  FreeSlot *free = nullptr;
  char *fresh = nullptr; // next never-used slot of the newest block
  char *end = nullptr;
};

SizeList lists[kSizes];
char *spareblocks = nullptr; // aligned blocks carved but not yet given to a size
int sparecount = 0;

// ---- The map of blocks: one bit per megabyte of address space, in pages made on demand ----

constexpr int kPageBits = 14;
constexpr uintptr_t kPageKeys = uintptr_t(1) << kPageBits;
constexpr int kTopBits = 64 - kBlockBits - kPageBits;

struct MapPage {
  uint64_t bits[kPageKeys / 64];
};

// Only the low 48 bits of an address are used on the machines this runs on; the top level
// covers them (and is checked, so that a wider address is never looked up out of range).
constexpr uintptr_t kTopKeys = uintptr_t(1) << (48 - kBlockBits - kPageBits);
static_assert(kTopBits >= 48 - kBlockBits - kPageBits, "the map covers the address space");
MapPage *toplevel[kTopKeys];

bool inmap(const void *p) {
  const uintptr_t key = reinterpret_cast<uintptr_t>(p) >> kBlockBits;
  const uintptr_t top = key >> kPageBits;
  if (top >= kTopKeys || !toplevel[top]) return false;
  const uintptr_t low = key & (kPageKeys - 1);
  return (toplevel[top]->bits[low / 64] >> (low % 64)) & 1;
}

bool addtomap(const void *block) {
  const uintptr_t key = reinterpret_cast<uintptr_t>(block) >> kBlockBits;
  const uintptr_t top = key >> kPageBits;
  if (top >= kTopKeys) return false;
  if (!toplevel[top]) {
    toplevel[top] = static_cast<MapPage *>(calloc(1, sizeof(MapPage)));
    if (!toplevel[top]) return false;
  }
  const uintptr_t low = key & (kPageKeys - 1);
  toplevel[top]->bits[low / 64] |= uint64_t(1) << (low % 64);
  return true;
}

// ---- Blocks ----------------------------------------------------------------------------------

// Carves aligned blocks out of one region; false when the system has no memory for it.
bool carveregion() {
  static_assert(kRegionAlign % kBlockSize == 0, "regions start on a block");
  char *region = static_cast<char *>(_WTplat_blockregion(kBlockSize * kBlocksPerRegion, kRegionAlign));
  if (!region) return false;
  spareblocks = region;
  sparecount = kBlocksPerRegion;
  return true;
}

char *newblock(uint32_t sizeclass) {
  if (!sparecount && !carveregion()) return nullptr;
  char *block = spareblocks;
  if (!addtomap(block)) return nullptr;
  spareblocks += kBlockSize;
  sparecount--;
  reinterpret_cast<BlockHeader *>(block)->sizeclass = sizeclass;
  return block;
}

size_t slotsize(uint32_t sizeclass) { return (size_t(sizeclass) + 1) * kGrain; }

void *takeslot(uint32_t sizeclass) {
  SizeList &list = lists[sizeclass];
  if (FreeSlot *slot = list.free) {
    list.free = slot->next;
    return slot;
  }
  const size_t size = slotsize(sizeclass);
  if (list.fresh == list.end) {
    char *block = newblock(sizeclass);
    if (!block) return nullptr;
    list.fresh = block + kHeader;
    list.end = list.fresh + (kBlockSize - kHeader) / size * size;
  }
  void *slot = list.fresh;
  list.fresh += size;
  return slot;
}

uint32_t classof(const void *slot) {
  const uintptr_t block = reinterpret_cast<uintptr_t>(slot) & ~(kBlockSize - 1);
  return reinterpret_cast<const BlockHeader *>(block)->sizeclass;
}

}  // namespace
#endif

extern "C" {

#ifdef WT_SLOTS_FROM_MALLOC

void *_WTmem_allocslot(size_t size) { return _WTmem_alloc(size); }
int _WTmem_isslot(const void *) { return 0; }
size_t _WTmem_slotsize(const void *) { return 0; }
void _WTmem_freeslot(void *) {}

#else

void *_WTmem_allocslot(size_t size) {
  if (size == 0 || size > kLargest) return _WTmem_alloc(size);
  void *slot = takeslot(static_cast<uint32_t>((size - 1) / kGrain));
  return slot ? slot : _WTmem_alloc(size);
}

int _WTmem_isslot(const void *block) { return block && inmap(block); }

size_t _WTmem_slotsize(const void *slot) { return slotsize(classof(slot)); }

void _WTmem_freeslot(void *slot) {
  SizeList &list = lists[classof(slot)];
  FreeSlot *f = static_cast<FreeSlot *>(slot);
  f->next = list.free;
  list.free = f;
}

#endif

}  // extern "C"
