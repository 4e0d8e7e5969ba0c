// GEO files into one geometry: a vertex list and polygons coloured from a fixed palette.
// Numbers are read with fscanf; the read ends quietly at the end of the file or at the first
// thing that is no number.
#include <stdlib.h>

#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/geoslp.h"

namespace {

constexpr int kPalette[16] = {0x000, 0x008, 0x080, 0x088, 0x800, 0x808, 0x880, 0x888,
                              0x000, 0x00F, 0x0F0, 0x088, 0xF00, 0x808, 0xFF0, 0xFFF};
constexpr int kMaxCorners = 255;
constexpr int kTriangleFlag = 32;

bool readint(FILE *f, long long *out) {
  long long value;
  if (fscanf(f, "%lld", &value) != 1) return false;
  *out = value;
  return true;
}

// Reads and drops count numbers; false at the end of the file.
bool skipnumbers(FILE *f, long long count) {
  long long dummy;
  for (long long i = 0; i < count; i++)
    if (!readint(f, &dummy)) return false;
  return true;
}

// The detail polygons that follow a negative colour: their count, then each one's vertex count
// j and j + 1 numbers.
bool skipdetails(FILE *f) {
  long long count, corners;
  if (!readint(f, &count)) return false;
  for (long long i = 0; i < count; i++)
    if (!readint(f, &corners) || !skipnumbers(f, corners) || !readint(f, &corners)) return false;
  return true;
}

// Appends without the shared construction state: a GEO read never opens a construction.
void appendvertex(WTgeometry *g, WTvertex *v) {
  if (g->vtail) g->vtail->next = v;
  else g->vertices = v;
  g->vtail = v;
}

bool readvertices(FILE *f, WTgeometry *g, float scale, std::vector<WTvertex *> *out) {
  long long n;
  if (!readint(f, &n)) return false;
  for (long long i = 0; i < n; i++) {
    WTp3 p;
    if (fscanf(f, "%f %f %f", &p[0], &p[1], &p[2]) != 3) return false;
    p[1] = -p[1];
    for (float &c : p) c *= scale;
    WTvertex *v = _WTvertex_newat(p);
    appendvertex(g, v);
    out->push_back(v);
  }
  return true;
}

void addtolist(WTgeometry *g, WTpoly *p) {
  p->next = g->polys;
  g->polys = p;
  g->npolys++;
  _WTpoly_stats(p);
}

// A degenerate outline becomes a fan of triangles from its first vertex, each two-sided.
void addfan(WTgeometry *g, WTpoly *poly) {
  std::vector<WTvertex *> ring;
  for (WTvertexlink *l = poly->links; l; l = l->next) ring.push_back(l->vertex);
  for (size_t i = 0; i + 2 < ring.size(); i++) {
    WTpoly *t = _WTpoly_new(g);
    t->links = _WTvertexlink_new(ring[0], _WTvertexlink_new(ring[i + 1],
                                                            _WTvertexlink_new(ring[i + 2], nullptr)));
    t->nverts = 3;
    t->matid = poly->matid;
    t->flags = static_cast<uint16_t>(poly->flags | WTP_TWOSIDED | kTriangleFlag);
    addtolist(g, t);
  }
  _WTpoly_del(poly);
}

void classify(WTgeometry *g, WTpoly *poly) {
  std::vector<float> points;
  for (WTvertexlink *l = poly->links; l; l = l->next)
    points.insert(points.end(), l->vertex->position, l->vertex->position + 3);
  WTp3 normal = {0, 0, 0};
  int kind = _WTpoly_classifypoints(reinterpret_cast<const WTp3 *>(points.data()), poly->nverts, normal);
  if (kind == 0) return addfan(g, poly);
  if (kind == 1) poly->flags |= WTP_CONVEX;
  else poly->flags &= static_cast<uint16_t>(~WTP_CONVEX);
  for (int i = 0; i < 3; i++) poly->normal[i] = normal[i];
  addtolist(g, poly);
  int before = poly->nverts;
  _WTpoly_removeduplicates(poly);
  if (poly->nverts != before) poly->flags |= WTP_DEGENERATE;
}

// A polygon of 3 to 255 vertices, each index naming a vertex read; null otherwise.
WTpoly *makepoly(WTgeometry *g, const std::vector<long long> &indices,
                 const std::vector<WTvertex *> &vertices) {
  if (indices.size() < 3 || indices.size() > kMaxCorners) return nullptr;
  for (long long i : indices)
    if (i < 0 || i >= static_cast<long long>(vertices.size())) return nullptr;
  WTpoly *poly = _WTpoly_new(g);
  for (long long i : indices) WTpoly_addvertexptr(poly, vertices[static_cast<size_t>(i)]);
  poly->nverts = static_cast<int16_t>(indices.size());
  return poly;
}

// One polygon record; false at the end of the file.
bool readpolygon(FILE *f, WTgeometry *g, const std::vector<WTvertex *> &vertices) {
  long long k, colour;
  if (!readint(f, &k)) return false;
  std::vector<long long> indices;
  if (k >= 3 && k <= kMaxCorners) {
    indices.resize(static_cast<size_t>(k));
    for (long long &i : indices)
      if (!readint(f, &i)) return false;
  } else if (!skipnumbers(f, k)) {
    return false;
  }
  if (!readint(f, &colour)) return false;
  if (WTpoly *poly = makepoly(g, indices, vertices)) {
    WTpoly_setcolor(poly, _WTgeo_color(static_cast<int>(colour % 16)));
    classify(g, poly);
  }
  return colour >= 0 || skipdetails(f);
}

}  // namespace

extern "C" {

int _WTgeo_color(int number) { return kPalette[abs(number % 16)]; }

WTgeometry *_WTgeo_read_geometry(FILE *stream, float scale) {
  if (!stream) return nullptr;
  WTgeometry *g = _WTgeometry_new(nullptr);
  _WTmtable_attach(g, WTmtable_new(WTAMBIENTDIFFUSE, 10, nullptr));
  char header[4];
  std::vector<WTvertex *> vertices;
  if (fread(header, 1, sizeof header, stream) == sizeof header &&
      readvertices(stream, g, scale, &vertices))
    while (readpolygon(stream, g, vertices)) {
    }
  if (g->npolys == 0) {
    WTgeometry_delete(g);
    return nullptr;
  }
  if (!_WTgeometry_close(g)) return nullptr;
  if (g->npolys == 0) {
    WTgeometry_delete(g);
    return nullptr;
  }
  return g;
}

WTobject *_WTgeo_read_object(FILE *stream, float scale, int principal) {
  WTgeometry *g = _WTgeo_read_geometry(stream, scale);
  return g ? _WTobject_newfromgeometry(g, principal) : nullptr;
}

}  // extern "C"
