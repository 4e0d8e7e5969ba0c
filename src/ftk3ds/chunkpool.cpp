// Chunk nodes come from blocks of many nodes rather than one malloc each: a file of thousands
// of objects holds hundreds of thousands of nodes, and freeing them one by one leaves the
// heap with as many small holes to merge. Free nodes are kept on a list and used again; when
// the last node in use is freed, a few blocks are kept empty for the next database and the
// others go back to the heap.
//
// Address-sanitized builds take every node from malloc, so that a node used after it is freed
// is still caught.
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

#ifdef FTK3DS_NODES_FROM_MALLOC

Chunk3ds *AllocChunkNode() { return static_cast<Chunk3ds *>(calloc(1, sizeof(Chunk3ds))); }

void FreeChunkNode(Chunk3ds *chunk) { free(chunk); }

#else

namespace {

const size_t kNodesPerBlock = 1024;
const size_t kSpareBlocks = 64;  // about 3 MB kept while no node is in use

union Slot {
  Chunk3ds chunk;
  Slot *nextFree;
};

struct Block {
  Block *next;
  Slot slots[kNodesPerBlock];
};

struct Pool {
  Block *blocks = nullptr;  // in use, newest first
  Block *spare = nullptr;   // empty
  Slot *freeSlots = nullptr;
  size_t used = 0;  // slots handed out from the newest block
  size_t live = 0;  // nodes in use
};

Pool pool;

bool AddBlock() {
  Block *block = pool.spare;
  if (block)
    pool.spare = block->next;
  else
    block = static_cast<Block *>(malloc(sizeof(Block)));
  if (!block) return false;
  block->next = pool.blocks;
  pool.blocks = block;
  pool.used = 0;
  return true;
}

// With no node in use: keeps some blocks as spares and frees the others.
void EmptyPool() {
  size_t kept = 0;
  for (Block *b = pool.spare; b; b = b->next) ++kept;
  while (Block *block = pool.blocks) {
    pool.blocks = block->next;
    if (kept < kSpareBlocks) {
      block->next = pool.spare;
      pool.spare = block;
      ++kept;
    } else {
      free(block);
    }
  }
  pool.freeSlots = nullptr;
  pool.used = 0;
}

Slot *TakeSlot() {
  if (Slot *slot = pool.freeSlots) {
    pool.freeSlots = slot->nextFree;
    return slot;
  }
  if ((!pool.blocks || pool.used == kNodesPerBlock) && !AddBlock()) return nullptr;
  return &pool.blocks->slots[pool.used++];
}

}  // namespace

Chunk3ds *AllocChunkNode() {
  Slot *slot = TakeSlot();
  if (!slot) return nullptr;
  ++pool.live;
  memset(&slot->chunk, 0, sizeof slot->chunk);
  return &slot->chunk;
}

void FreeChunkNode(Chunk3ds *chunk) {
  if (!chunk) return;
  Slot *slot = reinterpret_cast<Slot *>(chunk);
  slot->nextFree = pool.freeSlots;
  pool.freeSlots = slot;
  if (--pool.live == 0) EmptyPool();
}

#endif

}  // namespace ftk3ds
