// Traversal records: one per walk of the node graph, kept on a free list between walks.
#include <string.h>

#include "toolkit/core/nodestate.h"
#include "toolkit/core/universe.h"

namespace {

const int kLevels = 128;
const int kLevelStep = 64;
const int kPool = 256;

WTnodestate *freestates;
WTnodeblock *freeblocks;

template <typename T>
T *grown(T *array, int oldcount, int newcount) {
  T *a = static_cast<T *>(_WTmem_alloc(sizeof(T) * newcount));
  memset(a, 0, sizeof(T) * newcount);
  if (array) {
    memcpy(a, array, sizeof(T) * oldcount);
    _WTmem_free(array);
  }
  return a;
}

void growlevels(WTnodestate *s, int capacity) {
  s->ints = grown(s->ints, s->capacity, capacity);
  s->pairs = grown(s->pairs, s->capacity, capacity);
  s->matrices = grown(s->matrices, s->capacity, capacity);
  s->states = grown(s->states, s->capacity, capacity);
  s->materials = grown(s->materials, s->capacity, capacity);
  s->capacity = capacity;
}

}  // namespace

extern "C" {

WTnodestate *_WTnode_newstate(void) {
  WTnodestate *s = static_cast<WTnodestate *>(_WTmem_alloc(sizeof(WTnodestate)));
  memset(s, 0, sizeof *s);
  growlevels(s, kLevels);
  s->poolcapacity = kPool;
  s->pool = grown<WTnodematrix>(nullptr, 0, kPool);
  s->opaquecapacity = 256;
  s->opaque = grown<WTdrawitem>(nullptr, 0, 256);
  s->blendedcapacity = 16;
  s->blended = grown<WTdrawitem>(nullptr, 0, 16);
  _WTnode_initstate(s);
  return s;
}

void _WTnode_initstate(WTnodestate *s) {
  if (!s) return;
  s->materialdepth = 0;
  s->matrixdepth = 1;
  s->sepdepth = 0;
  s->ints[0] = 1;
  s->pairs[0].a = nullptr;
  s->pairs[0].b = reinterpret_cast<void *>(static_cast<intptr_t>(-1));
  memset(s->matrices[0], 0, sizeof(WTnodematrix));
  for (int i = 0; i < 4; i++) s->matrices[0][i][i] = 1.0f;
  memset(&s->states[0], 0, sizeof s->states[0]);
  s->states[0].mtable = _WTuniverse_defaultmtable();
  s->states[0].one = 1;
  memset(&s->materials[0], 0, sizeof s->materials[0]);
  s->materials[0].f[3] = 1.0f;
  s->masks[0] = s->masks[1] = 0;
  s->nopaque = s->nblended = s->poolused = 0;
}

void _WTnode_checkstatedepth(WTnodestate *s) {
  if (!s) return;
  if (s->materialdepth >= s->capacity || s->matrixdepth >= s->capacity ||
      s->sepdepth >= s->capacity)
    growlevels(s, s->capacity + kLevelStep);
}

WTnodestate *_WTnode_getstate(void) {
  if (!freestates) return _WTnode_newstate();
  WTnodestate *s = freestates;
  freestates = s->next;
  s->next = nullptr;
  _WTnode_initstate(s);
  return s;
}

void _WTnode_releasestate(WTnodestate *s) {
  if (!s) return;
  while (WTnodeblock *b = s->blocks) {
    s->blocks = b->next;
    b->next = freeblocks;
    freeblocks = b;
  }
  s->next = freestates;
  freestates = s;
}

void _WTnode_deletestate(WTnodestate *s) {
  if (!s) return;
  while (WTnodeblock *b = s->blocks) {
    s->blocks = b->next;
    _WTmem_free(b);
  }
  _WTmem_free(s->ints);
  _WTmem_free(s->pairs);
  _WTmem_free(s->matrices);
  _WTmem_free(s->states);
  _WTmem_free(s->materials);
  _WTmem_free(s->pool);
  _WTmem_free(s->opaque);
  _WTmem_free(s->blended);
  _WTmem_free(s);
}

void _WTnode_freestates(void) {
  while (WTnodestate *s = freestates) {
    freestates = s->next;
    _WTnode_deletestate(s);
  }
  while (WTnodeblock *b = freeblocks) {
    freeblocks = b->next;
    _WTmem_free(b);
  }
}
}
