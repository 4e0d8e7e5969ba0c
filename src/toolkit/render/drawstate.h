// The render list: the per-window draw state that flattening fills and execution replays.
#pragma once

#include <stdint.h>

#include <vector>

#include "toolkit/core/node.h"
#include "toolkit/render/render.h"

enum WTitemkind : int8_t {
  WTITEM_GEOMETRY = 6,
  WTITEM_BOX = 8,
  WTITEM_OBJECT = 11,
  WTITEM_LIGHTON = 12,
  WTITEM_MATERIAL = 17,
  WTITEM_FOG = 18,
  WTITEM_AMBIENT = 19,
  WTITEM_CALLBACK = 22,
  WTITEM_LIGHTOFF = 26,
  WTITEM_DEPTHKEY = 29,
};

struct WTrenderitem {
  void *ptr;      // geometry, callback node or box
  int32_t index;  // block index or light slot
  float key;      // depth key
  int8_t kind;
  int32_t matrix;  // 0 the base matrix, n > 0 parameter block n - 1
};

struct WTstatelevel {
  uint32_t fog, ambient;
  uint8_t lights;
  uint8_t matchanged;
  uint8_t style;
  uint8_t cull;
  float material[14];  // diffuse rgb, opacity, ambient, specular, emission, shininess
};

struct WTmatrixlevel {
  float m[4][4];
  int32_t id;
};

struct WTbox {
  float centre[3];
  float half[3];
};

// What the executor keeps of OpenGL's state between items.
struct WTglcache {
  float eye[3];
  float axis[3];
  uint32_t texlist;
  int material;
  uint32_t colormaterial;
  int maxprims;
  int primcount;
  int primkind;
  float opacity;
  uint32_t flags;
  uint32_t passbit;
  uint8_t style;
  uint8_t normalize;
  uint8_t antialias;
  int projection;
};

struct WTdrawstate {
  float projection[4][4];
  float planes[4][4];
  float hither, yon;
  std::vector<WTstatelevel> levels;
  std::vector<WTmatrixlevel> matrices;
  std::vector<int> sepmatrix;  // per separator: the matrix depth to return to
  std::vector<WTrenderitem> opaque, blended;
  std::vector<std::vector<float>> blocks;
  std::vector<WTbox> boxes;
  uint32_t pending[2];
  int nopaque, nblended;
  int polycount;
  float opacity;
  WTglcache cache;
};

extern "C" {
WTdrawstate *_WTdrawstate_new(void);
void _WTdrawstate_delete(WTdrawstate *state);
// View begin's reset: one level, the base matrix identity, empty lists.
void _WTdrawstate_reset(WTdrawstate *state, uint8_t style);
// Flattens the graph below the root into the two lists.
void _WTnode_buildlist(WTdrawstate *state, WTnode *root);
// The matrix of an item's id.
const float *_WTdrawstate_matrix(WTdrawstate *state, int32_t id);
// Sorts the blended list back to front (universe option 19).
void _WTdrawstate_sortblended(WTdrawstate *state);
// Sorts a geometry's polygons into drawing groups; 0 when it has nothing to draw, else bits 1
// (opaque polygons) and 2 (blended ones).
int _WTgeometry_compile(WTgeometry *geometry, int style, float opacity);
// Compiles the geometry into its display lists (Windows); the geometry is then drawn from them.
int _WTgeometry_compilelists(WTgeometry *geometry);
// Frees the drawing groups the sort made.
void _WTgeometry_releasegroups(WTgeometry *geometry, WTgeometry *same);
// The class a display list keeps the polygon in (64 blended, 32 textured, 16 two-sided, 8 alpha
// test, 4 lit, 1 per-vertex normals, 2 per-vertex materials); -1 for a polygon not drawn.
int _WTpoly_listclass(WTpoly *poly, WTmtable *table, int style);
}
