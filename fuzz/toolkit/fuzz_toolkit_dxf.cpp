// The DXF reader over any bytes: closed geometries whose polygons use their own vertices, which
// the writer then writes; the merge flag and the scale come from the last byte.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "fuzz_support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/core/universe.h"
#include "toolkit/loaders/dxf.h"
#include "toolkit/wt.h"

namespace {

bool ownvertex(const WTgeometry *g, const WTvertex *v) {
  for (const WTvertex *w = g->vertices; w; w = w->next)
    if (w == v) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzzsupport::quietuniverse();
  _WTdxf_setcopybudget(200000);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = tmpfile();
  if (!f) abort();
  if (size && fwrite(data, 1, size, f) != size) abort();
  rewind(f);
  const uint8_t last = size ? data[size - 1] : 0;
  WTpq pose;
  WTgeomlist *list = _WTdxf_read_geometries(f, (last & 2) ? 2.0f : 1.0f, &pose, last & 1);
  fclose(f);
  FILE *out = tmpfile();
  for (WTgeomlist *c = list; c; c = c->next) {
    WTgeometry *g = c->geometry;
    if (!g || g->npolys <= 0) abort();
    for (WTpoly *p = g->polys; p; p = p->next)
      for (WTvertexlink *l = p->links; l; l = l->next)
        if (!ownvertex(g, l->vertex)) abort();
    if (out && !_WTdxf_write_geometry(out, g, 0)) abort();
    WTgeometry_delete(g);
  }
  if (out) fclose(out);
  _WTgeomlist_delete(list);
  _WTportal_removeall();
  return 0;
}
