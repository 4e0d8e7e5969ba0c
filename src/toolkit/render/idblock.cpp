// Display-list ids, handed out from blocks of 512 with one bit an id.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/render/images.h"

namespace {

constexpr int kWords = 16;
constexpr unsigned kBlockIds = 32 * kWords;

struct IdBlock {
  IdBlock *next, *previous;
  unsigned base;
  uint32_t bits[kWords];
};

IdBlock *first;

IdBlock *append(void) {
  IdBlock *last = first;
  while (last && last->next) last = last->next;
  IdBlock *b = static_cast<IdBlock *>(_WTmem_alloc(sizeof(IdBlock)));
  memset(b, 0, sizeof *b);
  b->previous = last;
  b->base = last ? last->base + kBlockIds : 0;
  (last ? last->next : first) = b;
  return b;
}

unsigned allocone(void) {
  for (IdBlock *b = first; b; b = b->next)
    for (int w = 0; w < kWords; w++)
      for (int bit = 0; bit < 32; bit++)
        if (!(b->bits[w] & (1u << bit))) {
          b->bits[w] |= 1u << bit;
          return b->base + 32 * w + bit;
        }
  IdBlock *b = append();
  b->bits[0] = 1;
  return b->base;
}

// Marks n ids used from word w of the block, whole words first.
unsigned take(IdBlock *b, int w, int n) {
  for (int i = 0; i < n / 32; i++) b->bits[w + i] = 0xFFFFFFFFu;
  if (n % 32) b->bits[w + n / 32] |= (1u << (n % 32)) - 1;
  return b->base + 32 * w;
}

// The first word of a run of free words long enough for n ids, or -1.
int findrun(const IdBlock *b, int n) {
  int start = 0, length = 0;
  for (int w = 0; w < kWords; w++) {
    if (b->bits[w]) {
      start = w + 1, length = 0;
      continue;
    }
    if (32 * ++length >= n) return start;
  }
  return -1;
}

}  // namespace

extern "C" {

void _WTidblock_init(void) {
  if (first) return;
  append()->bits[0] = 3;
}

void _WTidblock_exit(void) {
  while (first) {
    IdBlock *next = first->next;
    _WTmem_free(first);
    first = next;
  }
}

unsigned _WTidblock_alloc(int count) {
  if (count < 1 || count > static_cast<int>(kBlockIds)) return 0;
  _WTidblock_init();
  if (count == 1) return allocone();
  for (IdBlock *b = first; b; b = b->next) {
    int w = findrun(b, count);
    if (w >= 0) return take(b, w, count);
  }
  return take(append(), 0, count);
}

void _WTidblock_free(unsigned id, int count) {
  unsigned base = id & ~(kBlockIds - 1);
  IdBlock *b = first;
  while (b && b->base != base) b = b->next;
  if (!b) return;
  for (unsigned i = id - base; count > 0 && i < kBlockIds; i++, count--) b->bits[i / 32] &= ~(1u << (i % 32));
}
}
