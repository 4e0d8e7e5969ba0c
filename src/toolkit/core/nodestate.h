// The traversal record shared by the node walks and the render-list builder.
#pragma once

#include <stdint.h>

#include "toolkit/core/node.h"

typedef float WTnodematrix[4][4];

struct WTnodepair {
  void *a;
  void *b;
};

struct WTnodestateentry {
  int32_t w[3];
  void *mtable;
  unsigned char one;
};

struct WTnodematerial {
  float f[14];
};

struct WTdrawitem {
  void *a;
};

// An extra block owned by a record; released blocks wait on a free list.
struct WTnodeblock {
  WTnodeblock *next;
};

struct WTnodestate {
  WTnodestate *next;  // free list
  int materialdepth;
  int matrixdepth;
  int sepdepth;
  int capacity;
  int *ints;
  WTnodepair *pairs;
  WTnodematrix *matrices;
  WTnodestateentry *states;
  WTnodematerial *materials;
  int poolcapacity;
  int poolused;
  WTnodematrix *pool;
  int opaquecapacity;
  int nopaque;
  WTdrawitem *opaque;
  int blendedcapacity;
  int nblended;
  WTdrawitem *blended;
  void *words[16];
  unsigned masks[2];
  unsigned windowbit;
  int renderfields[3];
  float renderdistance;
  float renderscale;
  WTnodeblock *blocks;
};

extern "C" {
// Frees the record and block free lists.
void _WTnode_freestates(void);
}
