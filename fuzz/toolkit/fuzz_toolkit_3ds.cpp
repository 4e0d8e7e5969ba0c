// The 3D Studio reader over any bytes: the chunk read either fails or gives a scene whose
// corners, per-face materials and texture coordinates its users can follow blindly; a sound scene
// then goes through the steps toward geometry (table layout, smoothing splits, face looks) and
// is freed.  The same bytes then read as geometries: every one closed, its polygons over its own
// vertices with the file's material table, and freed.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "fuzz_support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/build3ds.h"
#include "toolkit/loaders/geom3ds.h"
#include "toolkit/wt.h"

namespace {

bool inlist(const _WT3dsMaterial *m, const _WT3dsMaterial *list) {
  for (; list; list = list->next)
    if (list == m) return true;
  return false;
}

void walk(const _WT3dsData *d) {
  for (const _WT3dsTriObject *m = d->meshes; m; m = m->next) {
    if ((m->nverts && !m->verts) || (m->nfaces && !m->faces)) abort();
    if ((m->facemats || m->smoothing) && !m->faces) abort();
    if (m->uv && !m->verts) abort();
    float sum = 0;
    for (uint32_t i = 0; i < m->nverts; i++) sum += m->verts[i][0] + (m->uv ? m->uv[i][1] : 0);
    for (uint32_t i = 0; i < m->nfaces; i++) {
      for (uint32_t c : m->faces[i])
        if (c >= m->nverts) abort();
      if (m->faceflags[i] > 7) abort();
      if (m->facemats && !inlist(m->facemats[i], d->materials)) abort();
      if (m->smoothing) sum += static_cast<float>(m->smoothing[i] & 1);
    }
    volatile float keep = sum;
    (void)keep;
  }
}

void build(_WT3dsData *d) {
  _WT3ds_freelayout(_WT3ds_tablelayout(d->materials));
  for (_WT3dsTriObject *m = d->meshes; m; m = m->next) {
    if (m->smoothing) _WTmem_free(_WT3ds_smoothnormals(m));
    for (uint32_t i = 0; i < m->nfaces; i++) {
      _WT3dsFaceLook look;
      _WT3ds_facelook(m, i, static_cast<int>(i & 1), &look);
      for (uint32_t c : look.corners)
        if (c >= m->nverts) abort();
    }
  }
}

bool ownvertex(const WTgeometry *g, const WTvertex *v) {
  for (const WTvertex *w = g->vertices; w; w = w->next)
    if (w == v) return true;
  return false;
}

// Geometries of the file, with the join flag and the axis option from its last byte.
void readgeometries(FILE *f, uint8_t last) {
  WTuniverse_setoption(2, last & 1);
  rewind(f);
  WTgeomlist *list = _WT3ds_read_geometries(f, "fuzz.3ds", 1.0f, last >> 1 & 1);
  const WTmtable *table = list ? list->geometry->mtable : nullptr;
  for (WTgeomlist *c = list; c; c = c->next) {
    WTgeometry *g = c->geometry;
    if (!g || g->mtable != table || g->npolys <= 0) abort();
    for (WTpoly *p = g->polys; p; p = p->next)
      for (WTvertexlink *l = p->links; l; l = l->next)
        if (!ownvertex(g, l->vertex)) abort();
    WTgeometry_delete(g);
  }
  _WTgeomlist_delete(list);
  if (_WTmtable_first()) abort();  // the table went with its last geometry
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
  _WT3dsData *scene = nullptr;
  int r = _WT3ds_read(f, &scene);
  if (!scene || (r != WT3DS_OK && r != WT3DS_UNREADABLE)) abort();
  if (r == WT3DS_OK) {
    walk(scene);
    build(scene);
  }
  _WT3ds_free(scene);
  if (r == WT3DS_OK) readgeometries(f, size ? data[size - 1] : 0);
  fclose(f);
  return 0;
}
