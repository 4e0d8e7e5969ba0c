// What the OBJ, MTL, GEO and SLP fuzz targets share: every file the readers open by name is the
// fuzz input itself, and each geometry read is checked and freed.
#pragma once

#include <stdlib.h>

#include <set>
#include <string>

#include "fuzz_support.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/loaders.h"

namespace fuzzsupport {

inline std::string &inputpath() {
  static std::string path = inputname("/tmp/fuzz_polyformats_", ".txt");
  return path;
}

// Library files and textures named inside the input all open the input again, so that no name
// in it reaches a real file (a device would never end).
inline FILE *openinput(const char *, const char *mode) { return fopen(inputpath().c_str(), mode); }

inline void prepare() {
  quietuniverse();
  _WTmsg_setrouting(WTMSG_DEBUG, 0, nullptr);
  // The line reports write their caret blanks to stderr.
  stderr = fopen("/dev/null", "w");
  _WTfile_setopenhook(openinput);
}

// A closed geometry: polygons of up to 256 of its own vertices.  Then freed.
inline void checkandfree(WTgeometry *g) {
  if (!g) return;
  if (g->npolys <= 0) abort();
  std::set<const WTvertex *> own;
  for (const WTvertex *w = g->vertices; w; w = w->next) own.insert(w);
  for (WTpoly *p = g->polys; p; p = p->next) {
    int n = 0;
    for (WTvertexlink *l = p->links; l; l = l->next, n++)
      if (!own.count(l->vertex)) abort();
    // Closing splits an outline that passes a vertex twice into pieces, one of which can be a
    // two-vertex sliver.
    if (n < 2 || n > 256) abort();
  }
  WTgeometry_delete(g);
}

// The input as a stream of its own.
inline FILE *streamof(const uint8_t *data, size_t size) {
  FILE *f = tmpfile();
  if (!f || (size && fwrite(data, 1, size, f) != size)) abort();
  rewind(f);
  return f;
}

}  // namespace fuzzsupport
