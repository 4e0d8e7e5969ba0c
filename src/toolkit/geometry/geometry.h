// What the scene graph needs of geometries: the record's box fields, its back pointer to its node,
// and the few operations the node layer calls.  The geometry layer replaces this header and
// geometry_standin.cpp with its own.
#pragma once

#include <stdio.h>

#include "toolkit/wt.h"

struct WTgeometry {
  WTnode *node;      // the geometry node holding it, or null
  float ext[3];      // half-extents
  float mid[3];      // midpoint
  float radius;
  int npolys;
  void *polys;
  unsigned render;   // the low 7 bits are the render-state bits
  char *name;
};

// A list of geometries as the readers return it.
struct WTgeomlist {
  WTgeometry *geometry;
  WTgeomlist *next;
};

extern "C" {
WTAPI WTgeometry *WTgeometry_newblock(float x, float y, float z, int twosided);
WTAPI void WTgeometry_delete(WTgeometry *geometry);
// A new geometry with copies of the polygons and vertices.
WTAPI WTgeometry *WTgeometry_copy(WTgeometry *geometry);
WTAPI const char *WTgeometry_getname(WTgeometry *geometry);
void _WTgeometry_modifiable(WTgeometry *geometry);
// Reads the geometries of an open file; closes it.  Null when nothing was read.
WTgeomlist *_WTgeometry_load(FILE *file, const char *name, int type, WTpq *pose, float scale,
                             int single);
WTAPI int WTgeometry_save(WTgeometry *geometry, const char *path, void *argument, int type);
// Builds the geometry's display lists for the window of the traversal record; result bits 1 and 2
// tell which of the record's masks the geometry's state bits go into.
int _WTgeometry_compilenode(WTnode *node, WTgeometry *geometry, WTnodestate *state);
}
