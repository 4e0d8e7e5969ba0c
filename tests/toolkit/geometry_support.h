// Small builders shared by the geometry tests.
#pragma once

#include <math.h>

#include <vector>

#include "support.h"
#include "toolkit/geometry/geometry.h"

namespace geo {

struct P {
  float x, y, z;
};

// One geometry holding one polygon through the points, closed; null when the close deleted it.
inline WTgeometry *polygon(const std::vector<P> &points, bool close = true) {
  WTgeometry *g = WTgeometry_begin();
  WTpoly *p = WTgeometry_beginpoly(g);
  for (size_t i = 0; i < points.size(); i++) {
    WTp3 pos = {points[i].x, points[i].y, points[i].z};
    WTgeometry_newvertex(g, pos);
    WTpoly_addvertex(p, static_cast<int>(i));
  }
  if (!WTpoly_close(p)) _WTpoly_cancel(p);
  if (close && !WTgeometry_close(g)) return nullptr;
  return g;
}

inline std::vector<P> ring(WTpoly *p) {
  std::vector<P> out;
  for (WTvertexlink *l = p->links; l; l = l->next)
    out.push_back({l->vertex->position[0], l->vertex->position[1], l->vertex->position[2]});
  return out;
}

inline float totalarea(WTgeometry *g) {
  float a = 0;
  for (WTpoly *p = g->polys; p; p = p->next) a += WTpoly_getarea(p);
  return a;
}

inline bool same(const P &a, const P &b, float tol = 1e-5f) {
  return fabsf(a.x - b.x) < tol && fabsf(a.y - b.y) < tol && fabsf(a.z - b.z) < tol;
}

// Deletes every material table left by a test.
struct TablesReset {
  ~TablesReset() { _WTmtable_deleteall(); }
};

}  // namespace geo
