// SLP files into geometries: "solid" blocks of facets, each facet a polygon of its own vertices
// with their normals, in the colour last set.
#include <string.h>

#include <array>
#include <string>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/geoslp.h"

namespace {

bool is(const char *token, const char *word) { return token && strcmp(token, word) == 0; }

unsigned char colourbyte(float value) {
  float scaled = value * 255.99f;
  if (!(scaled > 0.0f)) return 0;
  if (scaled >= 255.0f) return 255;
  return static_cast<unsigned char>(static_cast<int>(scaled));
}

struct Facet {
  std::vector<std::array<float, 3>> vertices, normals;
};

// The "vertex" lines of an outer loop, up to "endloop"; false on a bad number.
bool readloop(WTreader *r, float scale, Facet *facet) {
  _WTreader_nexttoken(r);  // "loop"
  while (char *t = _WTreader_nexttoken(r)) {
    if (is(t, "endloop")) return true;
    if (!is(t, "vertex")) continue;
    std::array<float, 3> p;
    if (!_WTreader_getfloat3(r, p.data(), "Vertex coordinate")) return false;
    if (scale != 1.0f)
      for (float &c : p) c *= scale;
    facet->vertices.push_back(p);
  }
  return true;
}

// A facet's tokens up to "endfacet"; false on a bad number.
bool readfacet(WTreader *r, float scale, Facet *facet) {
  while (char *t = _WTreader_nexttoken(r)) {
    if (is(t, "endfacet")) return true;
    if (is(t, "normal")) {
      std::array<float, 3> n;
      if (!_WTreader_getfloat3(r, n.data(), "Vertex normal")) return false;
      facet->normals.push_back(n);
    } else if (is(t, "outer") && !readloop(r, scale, facet)) {
      return false;
    }
  }
  return true;
}

// The facet as a polygon of new vertices; the n-th normal given goes with the n-th vertex.
void addfacet(WTgeometry *g, const Facet &facet, const unsigned char rgb[3]) {
  WTpoly *poly = WTgeometry_beginpoly(g);
  for (size_t i = 0; i < facet.vertices.size(); i++) {
    WTvertex *v = WTgeometry_newvertex(g, facet.vertices[i].data());
    if (i < facet.normals.size()) _WTvertex_setnormal(v, facet.normals[i].data());
    WTpoly_addvertexptr(poly, v);
  }
  if (!WTpoly_close(poly)) {
    _WTpoly_cancel(poly);
    return;
  }
  WTpoly_setrgb(poly, rgb[0], rgb[1], rgb[2]);
}

enum class End { Finished, Failed };

// The body of one solid up to "endsolid" or the end of the file.
End readsolid(WTreader *r, WTgeometry *g, float scale) {
  unsigned char rgb[3] = {255, 255, 255};
  while (char *t = _WTreader_nexttoken(r)) {
    if (is(t, "color")) {
      float c[3];
      if (!_WTreader_getfloat3(r, c, "Color")) return End::Failed;
      for (int i = 0; i < 3; i++) rgb[i] = colourbyte(c[i]);
    } else if (is(t, "facet")) {
      Facet facet;
      if (!readfacet(r, scale, &facet)) return End::Failed;
      addfacet(g, facet, rgb);
    } else if (is(t, "endsolid")) {
      _WTreader_nexttoken(r);
      return End::Finished;
    } else {
      _WTmsg_warning("unknown '%s'\n", t);
      return End::Failed;
    }
  }
  return End::Finished;
}

// Solids while a name follows on the current line; the list in file order.
WTgeomlist *readsolids(WTreader *r, float scale) {
  WTgeomlist *head = nullptr, **tail = &head;
  while (char *solidname = _WTreader_linetoken(r)) {
    WTgeometry *g = WTgeometry_begin();
    if (!g) return head;
    WTgeometry_setname(g, solidname);
    if (readsolid(r, g, scale) == End::Failed) {
      _WTgeometry_checkifopen(g);
      WTgeometry_delete(g);
      return head;
    }
    if (WTgeometry_close(g)) {
      *tail = _WTgeomlist_add(nullptr, g);
      tail = &(*tail)->next;
    }
  }
  _WTmsg_warning("expected name of geometry\n");
  return head;
}

}  // namespace

extern "C" {

WTgeomlist *_WTslp_read_geometries(FILE *stream, const char *name, float scale) {
  if (!stream) return nullptr;
  const char *label = name ? name : "";
  WTreader *r = _WTreader_open(label, stream, "//");
  char *first = _WTreader_nexttoken(r);
  WTgeomlist *list = nullptr;
  if (!first) _WTmsg_warning("File %s has no data\n", label);
  else if (!is(first, "solid")) _WTmsg_warning("Expected 'solid' at top of slp file.\n");
  else list = readsolids(r, scale);
  _WTreader_close(r);
  return list;
}

WTcell *_WTslp_read_objects(FILE *stream, const char *name, float scale, int principal) {
  WTgeomlist *list = _WTslp_read_geometries(stream, name, scale);
  WTcell *objects = nullptr;
  for (WTgeomlist *c = list; c; c = c->next)
    objects = _WTlist_cell(_WTobject_newfromgeometry(c->geometry, principal), objects);
  _WTgeomlist_delete(list);
  return objects;
}

}  // extern "C"
