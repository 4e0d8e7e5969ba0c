// Chunk nodes and the memory of their data records come from blocks of many slots rather than
// one malloc each: a file of thousands of objects holds hundreds of thousands of nodes and as
// many small records, strings and arrays, and freeing them one by one leaves the heap with as
// many small holes to merge.
//
// Every pool hands out slots of one size and keeps freed slots on a list for the next use.
// Nodes have a pool of their own; record memory goes to the pool of the smallest slot size that
// holds it with its small header (the header names the pool, so that a block can be given back
// without its size), and anything larger comes from malloc with the same header. When the last
// slot of a pool is given back, its full blocks go to a store of empty blocks that every pool
// takes from; the store keeps a few megabytes for the next database and frees the rest.
//
// A pool carves new slots in lanes, one per kind of chunk (materials, objects, keyframe nodes,
// the rest), and record memory follows the lane of its chunk. Writers put an object, its
// material and its node in turn, but the tree holds each kind in a section of its own, and
// writing or freeing a database walks it section by section: with the lanes such a walk reads
// memory in a row instead of picking a third of it, which keeps it as fast per object for tens
// of thousands of objects as for a few hundred.
//
// Address-sanitized builds take every node and every record block from malloc, so that a slot
// used after it is freed is still caught, and so is record memory given to free().
#include "ftk3ds/internal.h"

#include <cstdlib>
#include <cstring>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FTK3DS_NODES_FROM_MALLOC 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define FTK3DS_NODES_FROM_MALLOC 1
#endif

namespace ftk3ds {

namespace {

// Record memory starts with this header; the payload follows it, 8-byte aligned.
struct RecordHeader {
  uint32_t pool;  // index into the record pools, kFromMalloc for a block of its own
  uint32_t unused;
};
static_assert(sizeof(RecordHeader) == 8, "record payloads stay 8-byte aligned");

const uint32_t kFromMalloc = 0xFFFFFFFFu;

void *TakeFromMalloc(size_t size) {
  if (size > SIZE_MAX - sizeof(RecordHeader)) return nullptr;
  auto *header = static_cast<RecordHeader *>(malloc(sizeof(RecordHeader) + size));
  if (!header) return nullptr;
  header->pool = kFromMalloc;
  return header + 1;
}

}  // namespace

#ifdef FTK3DS_NODES_FROM_MALLOC

Chunk3ds *AllocChunkNode(uint32_t) { return static_cast<Chunk3ds *>(calloc(1, sizeof(Chunk3ds))); }

void PlaceRecordsWith(uint32_t) {}

void FreeChunkNode(Chunk3ds *chunk) { free(chunk); }

void *TakeRecordMemory(size_t size) { return TakeFromMalloc(size); }

void GiveRecordMemory(void *memory) {
  if (memory) free(static_cast<RecordHeader *>(memory) - 1);
}

#else

namespace {

const size_t kBlockBytes = 64 * 1024;
const size_t kSpareBlocks = 64;  // 4 MB kept while no pool uses them

struct Block {
  Block *next;
  alignas(16) unsigned char bytes[kBlockBytes - 16];
};

// The store of empty blocks shared by every pool.
Block *spareBlocks = nullptr;
size_t spareCount = 0;

Block *TakeBlock() {
  if (Block *block = spareBlocks) {
    spareBlocks = block->next;
    --spareCount;
    return block;
  }
  return static_cast<Block *>(malloc(sizeof(Block)));
}

void GiveBlock(Block *block) {
  if (spareCount >= kSpareBlocks) {
    free(block);
    return;
  }
  block->next = spareBlocks;
  spareBlocks = block;
  ++spareCount;
}

struct FreeSlot {
  FreeSlot *next;
};

// Slots of one size (a multiple of 16 bytes). New slots are carved from the current block of
// one of a few lanes, so that slots of different kinds taken in turn each lie in a row of their
// own; slots given back are kept on one list for the next slot taken, of any lane.
const int kLanes = 4;

class SlotPool {
 public:
  explicit constexpr SlotPool(size_t slotSize) : slotSize_(slotSize) {}

  // Not zeroed; null when memory runs out.
  void *Take(int lane = 0) {
    void *slot = TakeFree();
    if (!slot) slot = TakeNew(lane);
    if (slot) ++live_;
    return slot;
  }

  void Give(void *slot) {
    auto *freed = static_cast<FreeSlot *>(slot);
    freed->next = free_;
    free_ = freed;
    if (--live_ == 0) Empty();
  }

 private:
  void *TakeFree() {
    FreeSlot *slot = free_;
    if (slot) free_ = slot->next;
    return slot;
  }

  void *TakeNew(int lane) {
    Block *&current = current_[lane];
    if (!current || used_[lane] + slotSize_ > sizeof current->bytes) {
      Block *block = TakeBlock();
      if (!block) return nullptr;
      if (current) {
        current->next = full_;
        full_ = current;
      }
      current = block;
      used_[lane] = 0;
    }
    void *slot = current->bytes + used_[lane];
    used_[lane] += slotSize_;
    return slot;
  }

  // With no slot in use: the current blocks of the lanes stay for the next slots taken (so
  // that one slot taken and given back again and again costs no block each time), the full
  // ones go back to the store.
  void Empty() {
    while (Block *block = full_) {
      full_ = block->next;
      GiveBlock(block);
    }
    free_ = nullptr;
    for (size_t &used : used_) used = 0;
  }

  size_t slotSize_;
  Block *current_[kLanes] = {};
  size_t used_[kLanes] = {};  // bytes handed out from each lane's current block
  Block *full_ = nullptr;  // blocks no lane carves from any more
  FreeSlot *free_ = nullptr;
  size_t live_ = 0;  // slots in use
};

SlotPool nodePool((sizeof(Chunk3ds) + 15) / 16 * 16);

// Record pools of slots of 16, 32, ... 256 bytes, header included.
const size_t kRecordPools = 16;
SlotPool recordPools[kRecordPools] = {
    SlotPool(16),  SlotPool(32),  SlotPool(48),  SlotPool(64),  SlotPool(80),  SlotPool(96),
    SlotPool(112), SlotPool(128), SlotPool(144), SlotPool(160), SlotPool(176), SlotPool(192),
    SlotPool(208), SlotPool(224), SlotPool(240), SlotPool(256)};

// The lane of a chunk's node: materials, objects and keyframe nodes each in a row of their own,
// as the tree holds them in sections and writing walks it section by section.
int NodeLane(uint32_t tag) {
  if (tag < 0x0100 || (tag >= 0xA000 && tag < 0xB000)) return 1;
  if (tag >= 0x4000 && tag < 0x5000) return 2;
  if (tag >= 0xB000 && tag < 0xC000) return 3;
  return 0;
}

// Record memory goes to the lane of the chunk made or read last: records are made with their
// chunk.
int recordLane = 0;

}  // namespace

void PlaceRecordsWith(uint32_t tag) { recordLane = NodeLane(tag); }

Chunk3ds *AllocChunkNode(uint32_t tag) {
  PlaceRecordsWith(tag);
  void *slot = nodePool.Take(recordLane);
  if (!slot) return nullptr;
  memset(slot, 0, sizeof(Chunk3ds));
  return static_cast<Chunk3ds *>(slot);
}

void FreeChunkNode(Chunk3ds *chunk) {
  if (chunk) nodePool.Give(chunk);
}

void *TakeRecordMemory(size_t size) {
  size_t index = (size + sizeof(RecordHeader) + 15) / 16 - 1;
  if (size == 0 || index >= kRecordPools) return TakeFromMalloc(size);
  auto *header = static_cast<RecordHeader *>(recordPools[index].Take(recordLane));
  if (!header) return nullptr;
  header->pool = static_cast<uint32_t>(index);
  return header + 1;
}

void GiveRecordMemory(void *memory) {
  if (!memory) return;
  RecordHeader *header = static_cast<RecordHeader *>(memory) - 1;
  if (header->pool == kFromMalloc)
    free(header);
  else
    recordPools[header->pool].Give(header);
}

#endif

// ---- Record memory in the forms the records use ----

void *AllocRecord(size_t size) {
  void *record = TakeRecordMemory(size ? size : 1);
  if (!record) {
    PushErrList3ds(ERR_NO_MEM);
    return nullptr;
  }
  memset(record, 0, size);
  return record;
}

char *CopyRecordString(const char *text, size_t max) {
  return CopyStringWith(TakeRecordMemory, text, max);
}

void *AllocRecordFilled(size_t count, size_t size) {
  if (count == 0 || size == 0) return nullptr;
  void *block = count <= SIZE_MAX / size ? TakeRecordMemory(count * size) : nullptr;
  if (!block) PushErrList3ds(ERR_NO_MEM);
  return block;
}

// Bulk arrays up to this size are record memory.
const size_t kPooledBulkBytes = 240;

void *AllocBulk(size_t count, size_t size) {
  if (count == 0 || size == 0) return nullptr;
  if (count > SIZE_MAX / size) {
    PushErrList3ds(ERR_NO_MEM);
    return nullptr;
  }
  return count * size <= kPooledBulkBytes ? AllocRecordFilled(count, size) : AllocFilled(count, size);
}

void FreeBulk(void *array, size_t count, size_t size) {
  if (!array) return;
  if (count * size <= kPooledBulkBytes)
    GiveRecordMemory(array);
  else
    free(array);
}

void *HandOverBulk(void *array, size_t count, size_t size) {
  if (!array || count * size > kPooledBulkBytes) return array;
  void *copy = AllocFilled(count, size);
  if (copy) memcpy(copy, array, count * size);
  GiveRecordMemory(array);
  return copy;
}

void *AllocRecordArray(size_t count, size_t size) {
  void *block = AllocRecordFilled(count, size);
  if (block) memset(block, 0, count * size);
  return block;
}

}  // namespace ftk3ds
