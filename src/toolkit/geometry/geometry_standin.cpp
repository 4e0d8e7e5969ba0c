// Geometries as far as the scene graph needs them before the geometry layer exists: a block
// geometry with its box and polygon count, no readers or writers and nothing to compile.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

extern "C" {

WTgeometry *WTgeometry_newblock(float x, float y, float z, int) {
  if (fabsf(x) < 0.004f || fabsf(y) < 0.004f || fabsf(z) < 0.004f) return nullptr;
  WTgeometry *g = static_cast<WTgeometry *>(_WTmem_alloc(sizeof(WTgeometry)));
  memset(g, 0, sizeof *g);
  g->ext[0] = fabsf(x) / 2, g->ext[1] = fabsf(y) / 2, g->ext[2] = fabsf(z) / 2;
  g->radius = sqrtf(g->ext[0] * g->ext[0] + g->ext[1] * g->ext[1] + g->ext[2] * g->ext[2]);
  g->npolys = 6;
  return g;
}

void WTgeometry_delete(WTgeometry *geometry) {
  if (!geometry) return;
  if (geometry->node) _WTnode_delete(geometry->node);
  _WTmem_free(geometry->name);
  _WTmem_free(geometry);
}

WTgeometry *WTgeometry_copy(WTgeometry *geometry) {
  if (!geometry) return nullptr;
  WTgeometry *g = static_cast<WTgeometry *>(_WTmem_alloc(sizeof(WTgeometry)));
  *g = *geometry;
  g->node = nullptr;
  g->name = _WTmem_strdup(geometry->name);
  return g;
}

const char *WTgeometry_getname(WTgeometry *geometry) { return geometry ? geometry->name : nullptr; }

void _WTgeometry_modifiable(WTgeometry *) {}

WTgeomlist *_WTgeometry_load(FILE *file, const char *, int, WTpq *pose, float, int) {
  if (pose) {
    memset(pose, 0, sizeof *pose);
    pose->q[3] = 1.0f;
  }
  if (file) fclose(file);
  return nullptr;
}

int WTgeometry_save(WTgeometry *, const char *, void *, int) { return 0; }

int _WTgeometry_compilenode(WTnode *, WTgeometry *, WTnodestate *) { return 0; }
}
