// Polygons written as a DXF file: one closed 3D polyline a polygon, its colour the nearest DXF
// colour number, its texture and portal named by its layer.
#include <ctype.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/dxf.h"
#include "toolkit/loaders/textout.h"

namespace {

constexpr size_t kLayerLimit = 79;

using Out = WTtextout;

// The polygon's colour, channel by channel as bytes; white without a colour property.
void polycolour(WTpoly *poly, int rgb[3]) {
  rgb[0] = rgb[1] = rgb[2] = 255;
  WTmtable *t = poly->geometry ? poly->geometry->mtable : nullptr;
  const int index = t ? _WTmtable_entryindex(t, poly->matid) : -1;
  if (index < 0) return;
  static const int order[] = {5, 1, 0, 4, 2};
  for (int attr : order) {
    if (t->attroffset[attr] < 0) continue;
    const float *c = t->entries[index] + t->attroffset[attr];
    for (int k = 0; k < 3; k++) rgb[k] = int(c[k] * 255.9f) & 0xFF;
    return;
  }
}

// The universe's portals by their polygons.
using Portals = std::unordered_map<WTpoly *, const char *>;

Portals portalsbypoly() {
  Portals out;
  for (WTportal *p = _WTuniverse_getportals(); p; p = _WTportal_next(p))
    if (WTpoly *poly = _WTportal_getpoly(p)) out.emplace(poly, _WTportal_getname(p));
  return out;
}

std::string layername(WTpoly *poly, const Portals &portals) {
  std::string name;
  if (WTtextureref *ref = poly->texture) {
    const char letter = ref->style[0] && ref->style[1] ? 'U' : ref->style[0] ? 'S' : ref->style[1] ? 'T' : 'V';
    const char *texture = _WTtexture_refname(ref);
    name = std::string("_") + letter + "_" + (texture ? texture : "");
    for (char &c : name)
      if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  auto portal = portals.find(poly);
  if (portal != portals.end()) name += std::string("-") + (portal->second ? portal->second : "");
  if (name.empty()) name = "COLOR";
  if (name.size() > kLayerLimit) name.resize(kLayerLimit);
  return name;
}

void writepoly(Out &out, WTpoly *poly, const Portals &portals) {
  const std::string layer = layername(poly, portals);
  out.put("  0\nPOLYLINE\n  8\n%s\n 62\n%d\n 66\n1\n", layer.c_str(), _WTdxf_colorindex(poly));
  out.put(" 10\n0\n 20\n0\n 30\n0\n 70\n9\n");
  std::vector<WTvertex *> corners;
  for (WTvertexlink *l = poly->links; l; l = l->next) corners.push_back(l->vertex);
  for (size_t i = corners.size(); i-- > 0;) {
    const float *p = corners[i]->position;
    out.put("  0\nVERTEX\n  8\n%s\n 70\n32\n", layer.c_str());
    out.put(" 10\n%f\n 20\n%f\n 30\n%f\n", double(p[0]), double(p[2]), double(-p[1]));
  }
  out.put("  0\nSEQEND\n");
}

int writeall(FILE *stream, const std::vector<WTpoly *> &polys) {
  if (!stream) return 0;
  Out out(stream);
  out.put("  0\nSECTION\n  2\nHEADER\n");
  out.put("999\nWritten by the Vedra toolkit\n");
  out.put("  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n");
  const Portals portals = portalsbypoly();
  for (WTpoly *p : polys) writepoly(out, p, portals);
  out.put("  0\nENDSEC\n  0\nEOF\n");
  return out.ok() ? 1 : 0;
}

// The geometry's polygons from the last of its list to the first: the order they were made in.
void appendreversed(WTgeometry *g, std::vector<WTpoly *> &out) {
  size_t start = out.size();
  for (WTpoly *p = g ? g->polys : nullptr; p; p = p->next) out.push_back(p);
  std::reverse(out.begin() + long(start), out.end());
}

}  // namespace

extern "C" {

int _WTdxf_colorindex(WTpoly *poly) {
  int rgb[3];
  polycolour(poly, rgb);
  int best = 0, bound = 1000;
  for (int i = 0; i < 256; i++) {
    const unsigned char *c = _WTdxf_colors[i];
    int d = abs(rgb[0] - c[0]) + abs(rgb[1] - c[1]) + abs(rgb[2] - c[2]);
    if (d < bound) {
      bound = d;
      best = i;
    }
  }
  return best;
}

int _WTdxf_write_list(FILE *stream, WTpoly *polys) {
  std::vector<WTpoly *> list;
  for (WTpoly *p = polys; p; p = p->next) list.push_back(p);
  return writeall(stream, list);
}

int _WTdxf_write_geometry(FILE *stream, WTgeometry *geometry, int) {
  if (!geometry) return 0;
  std::vector<WTpoly *> list;
  appendreversed(geometry, list);
  return writeall(stream, list);
}

int _WTdxf_write_object(FILE *stream, WTobject *object, int flag) {
  return object ? _WTdxf_write_geometry(stream, object->geometry, flag) : 0;
}

int _WTdxf_write_universe(FILE *stream) {
  WTobject **head = _WTuniverse_objectslot();
  if (!head) return 0;
  std::vector<WTpoly *> list;
  for (WTobject *o = *head; o; o = o->next) appendreversed(o->geometry, list);
  return writeall(stream, list);
}

}  // extern "C"
