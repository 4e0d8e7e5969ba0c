// The 3D Studio chunk reader over any bytes: the read either fails or gives a scene whose
// corners, per-face materials and texture coordinates its users can follow blindly; a sound scene
// then goes through the steps toward geometry (table layout, smoothing splits, face looks) and
// is freed.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "toolkit/loaders/build3ds.h"
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  _WTmsg_setrouting(WTMSG_WARNING, 0, nullptr);
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
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
  fclose(f);
  return 0;
}
