// Triangle strips for display lists: a class of polygons split into runs that can share one
// strip, each run walked into strips across the edges its polygons share, and the polygons no
// strip took kept aside for plain triangle and quad batches.  No OpenGL here: the records say
// what to send and in which order.
#pragma once

#include <stdint.h>

#include <vector>

#include "toolkit/geometry/geometry.h"

// Bits of a polygon's class number that the strips look at (the class number divided by 4 is
// its group's flags).
enum WTclassbit : int {
  WTCLASS_VNORMALS = 1,    // per-vertex normals
  WTCLASS_VMATERIALS = 2,  // per-vertex materials
  WTCLASS_LIT = 4,
  WTCLASS_TEXTURED = 32,
};

// One polygon of a strip with its ring turned: ring position i is the polygon's own vertex
// (i + shift) modulo nverts.  The first polygon of a strip leaves it by ring edge nverts / 2 + 1,
// every later one joins it by ring edge 1 (edge i runs from ring vertex i - 1 to ring vertex i).
struct WTstrippoly {
  WTpoly *poly;
  int32_t nverts;
  int32_t shift;
};

struct WTstrip {
  std::vector<WTstrippoly> polys;
};

// One vertex sent for a strip: the polygon's place in the strip and the vertex's place in the
// polygon's own vertex list.
struct WTstripvertex {
  int32_t poly;
  int32_t vertex;
};

// What one run becomes: its strips in the order they were made, and the polygons that share no
// edge with the rest, in the order they left the run.
struct WTstripset {
  std::vector<WTstrip> strips;
  std::vector<WTpoly *> lone;
};

// Polygons kept aside until the end of a block of classes, by size (3, 4, more vertices).
struct WTasidestacks {
  std::vector<WTpoly *> bysize[3];
};

extern "C" {
// Splits one class (class bits 32 textured, 4 lit, 2 per-vertex materials, 1 per-vertex normals)
// into runs: the first polygon with every later one that matches it, then the same again on
// the rest.  Matching asks for the same texture in textured classes and, under smooth shading
// (style bit 8), the same material entry and, in lit classes, the same normal.
void _WTclass_runs(const std::vector<WTpoly *> *polys, int classnum, int style, WTmtable *table,
                   std::vector<std::vector<WTpoly *>> *runs);
// Walks one run into strips.  With textured set, a vertex that two polygons give different
// texture coordinates counts as two vertices, so the polygons do not join there.
void _WTrun_makestrips(const std::vector<WTpoly *> *run, int textured, WTstripset *out);
// The vertices a strip sends, in the order that keeps every triangle facing as its polygon.
void _WTstrip_vertices(const WTstrip *strip, std::vector<WTstripvertex> *out);
// Keeps a polygon aside (its nverts counted); draining hands back the triangles, then the
// quads, then the larger polygons, each newest first, and empties the stacks.
void _WTaside_push(WTasidestacks *stacks, WTpoly *poly);
void _WTaside_drain(WTasidestacks *stacks, std::vector<WTpoly *> *order);
}
