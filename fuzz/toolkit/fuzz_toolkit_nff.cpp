// The NFF text reader over any bytes: closed geometries whose polygons use their own vertices,
// which the writer then writes; the join flag and the writer's options come from the last byte.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "fuzz_support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/core/universe.h"
#include "toolkit/loaders/nff.h"
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
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = tmpfile();
  if (!f) abort();
  if (size && fwrite(data, 1, size, f) != size) abort();
  rewind(f);
  const uint8_t last = size ? data[size - 1] : 0;
  WTuniverse_setoption(5, last >> 1 & 1);
  WTuniverse_setoption(12, last >> 2 & 1);
  WTpq pose;
  WTcell *portals = nullptr;
  WTgeomlist *list = _WTnff_read_geometries(f, "fuzz.nff", &pose, 1.0f, last & 1, &portals);
  fclose(f);
  FILE *out = tmpfile();
  for (WTgeomlist *c = list; c; c = c->next) {
    WTgeometry *g = c->geometry;
    if (!g || g->npolys <= 0) abort();
    for (WTpoly *p = g->polys; p; p = p->next)
      for (WTvertexlink *l = p->links; l; l = l->next)
        if (!ownvertex(g, l->vertex)) abort();
    if (out && !_WTnff_write_geometry(out, g, &pose)) abort();
    WTgeometry_delete(g);
  }
  if (out) fclose(out);
  _WTgeomlist_delete(list);
  _WTlist_free(portals);
  _WTportal_removeall();
  _WTmtable_deleteall();
  return 0;
}
