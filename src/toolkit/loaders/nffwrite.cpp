// Geometries, objects and the universe's objects written as NFF text: version 3.00 with material
// ids, or 2.10 with colours (universe option 12); per-vertex texture coordinates with option 5.
#include <math.h>
#include <stdarg.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/nff.h"
#include "toolkit/loaders/textout.h"

namespace {

constexpr float kSmall = 0.004f;

using Out = WTtextout;

bool olddialect() { return _WTuniverse_getoption(12) != 0; }

void header(Out &out) {
  if (olddialect()) out.put("nff\nversion 2.10\n");
  else out.put("nff\nversion %1.2f\n", 3.0);
}

void viewpoint(Out &out, const WTpq *pose) {
  WTp3 dir;
  _WTq_2dir(pose->q, dir);
  out.put("viewpos  %f %f %f\n", double(pose->p[0]), double(pose->p[1]), double(pose->p[2]));
  out.put("viewdir  %f %f %f\n", double(dir[0]), double(dir[1]), double(dir[2]));
}

// The vertices and polygons of one written section, and the single uv each written vertex
// gets with option 5 (vertices shared by polygons that disagree are split).
struct Section {
  std::vector<WTvertex *> vertices;
  std::vector<WTpoly *> polys;
  std::unordered_map<WTvertex *, std::pair<float, float>> uv;
};

void giveuv(Section &s, WTgeometry *owner) {
  for (WTpoly *p : s.polys) {
    WTtextureref *t = p->texture;
    if (!t || !t->u || !t->v) continue;
    int i = 0;
    for (WTvertexlink *l = p->links; l && i < t->uvcount; l = l->next, i++) {
      const std::pair<float, float> want(t->u[i], t->v[i]);
      auto found = s.uv.find(l->vertex);
      if (found == s.uv.end()) {
        s.uv.emplace(l->vertex, want);
        continue;
      }
      if (found->second == want) continue;
      WTvertex *copy = _WTvertex_newat(l->vertex->position);
      if (l->vertex->normal) _WTvertex_setnormal(copy, l->vertex->normal);
      copy->matid = l->vertex->matid;
      copy->flags = uint8_t(l->vertex->flags & (WTV_MATID | WTV_USED));
      if (WTgeometry *g = owner ? owner : p->geometry) {
        WTvertex **tail = &g->vertices;
        while (*tail) tail = &(*tail)->next;
        *tail = copy;
        g->vtail = copy;
      }
      s.vertices.push_back(copy);
      l->vertex = copy;
      s.uv.emplace(copy, want);
    }
  }
}

void vertexline(Out &out, const Section &s, WTvertex *v, WTmtable *table) {
  const float *p = v->position;
  out.put("%f %f %f", double(p[0]), double(p[1]), double(p[2]));
  if (v->normal) out.put(" norm %f %f %f", double(v->normal[0]), double(v->normal[1]), double(v->normal[2]));
  auto uv = s.uv.find(v);
  if (uv != s.uv.end()) out.put(" uv %f %f", double(uv->second.first), double(uv->second.second));
  if (v->flags & WTV_MATID) {
    if (olddialect()) out.put(" rgb 0x%06x", table ? _WTmtable_getentryrgb24(table, v->matid) : 0u);
    else out.put(" matid %d", v->matid);
  }
  out.put("\n");
}

using Portals = std::unordered_map<WTpoly *, const char *>;

Portals portalsbypoly() {
  Portals out;
  for (WTportal *p = _WTuniverse_getportals(); p; p = _WTportal_next(p))
    if (WTpoly *poly = _WTportal_getpoly(p)) out.emplace(poly, _WTportal_getname(p));
  return out;
}

void polyattributes(Out &out, WTpoly *p, const Portals &portals) {
  if (olddialect()) {
    if (_WTuniverse_getoption(6)) out.put(" 0x%03x", unsigned(WTpoly_getcolor(p)) & 0xFFF);
    else out.put(" 0x%06x", _WTpoly_getcolor24(p));
  } else {
    out.put(" matid %d", p->matid);
  }
  if (p->flags & WTP_TWOSIDED) out.put(" both");
  if (p->id) out.put(" id=%d", p->id);
  if (WTtextureref *t = p->texture) {
    const char letter = t->style[0] && t->style[1] ? 'U' : t->style[0] ? 'S' : t->style[1] ? 'T' : 'V';
    const char *name = _WTtexture_refname(t);
    out.put(" _%c_%s", letter, name ? name : "");
    if (!olddialect() && t->style[2]) out.put(" tint ");
    if (fabsf(t->rotation) >= kSmall) out.put(" rot %f", double(t->rotation));
    if (t->mirrored) out.put(" mirror");
    if (fabsf(t->scale - 1) >= kSmall) out.put(" scale %f", double(t->scale));
    if (fabsf(t->offsetu) >= kSmall || fabsf(t->offsetv) >= kSmall)
      out.put(" trans %f %f", double(t->offsetu), double(t->offsetv));
  }
  auto portal = portals.find(p);
  if (portal != portals.end()) out.put(" -%s", portal->second ? portal->second : "");
}

void body(Out &out, Section &s, WTmtable *table, WTgeometry *owner) {
  if (_WTuniverse_getoption(5)) giveuv(s, owner);
  out.put("%d\n", int(s.vertices.size()));
  std::unordered_map<WTvertex *, int> index;
  for (size_t i = 0; i < s.vertices.size(); i++) {
    index[s.vertices[i]] = int(i);
    vertexline(out, s, s.vertices[i], table);
  }
  out.put("%d\n", int(s.polys.size()));
  const Portals portals = portalsbypoly();
  int place = 0;
  for (WTpoly *p : s.polys) {
    int n = 0;
    for (WTvertexlink *l = p->links; l; l = l->next) n++;
    if (n < 3) _WTmsg_warning("Polygon %d has only %d verts!\n", place, n);
    out.put("%d", n);
    for (WTvertexlink *l = p->links; l; l = l->next) out.put(" %d", index[l->vertex]);
    polyattributes(out, p, portals);
    out.put("\n");
    place++;
  }
}

void rebuildcopy(WTgeometry *g) {
  for (WTvertex *v = g->vcopy; v;) {
    WTvertex *next = v->next;
    _WTvertex_delete(v);
    v = next;
  }
  g->vcopy = _WTvertex_copylist(g->vertices);
}

void geometrysection(Out &out, WTgeometry *g) {
  out.put("\n%s\n", g->name ? g->name : "untitled");
  if (!olddialect() && g->mtable) out.put("mtable %s\n", g->mtable->name);
  Section s;
  for (WTvertex *v = g->vertices; v; v = v->next) s.vertices.push_back(v);
  for (WTpoly *p = g->polys; p; p = p->next) s.polys.push_back(p);
  std::reverse(s.polys.begin(), s.polys.end());
  body(out, s, g->mtable, g);
  if (_WTuniverse_getoption(5)) rebuildcopy(g);
}

}  // namespace

extern "C" {

int _WTnff_write_geometry(FILE *stream, WTgeometry *geometry, const WTpq *pose) {
  if (!stream || !geometry) return 0;
  Out out(stream);
  header(out);
  if (pose) viewpoint(out, pose);
  geometrysection(out, geometry);
  return out.ok() ? 1 : 0;
}

int _WTnff_write_object(FILE *stream, WTobject *object, const WTpq *pose) {
  return object ? _WTnff_write_geometry(stream, object->geometry, pose) : 0;
}

int _WTnff_write_objects(FILE *stream, WTcell *objects) {
  if (!stream) return 0;
  Out out(stream);
  header(out);
  for (WTcell *c = objects; c; c = c->next)
    if (WTobject *o = static_cast<WTobject *>(c->value))
      if (o->geometry) geometrysection(out, o->geometry);
  return out.ok() ? 1 : 0;
}

int _WTnff_write_geometries(FILE *stream, WTgeomlist *geometries) {
  if (!stream) return 0;
  Out out(stream);
  header(out);
  for (WTgeomlist *c = geometries; c; c = c->next)
    if (c->geometry) geometrysection(out, c->geometry);
  return out.ok() ? 1 : 0;
}

// The universe's objects as one geometry: the vertices their polygons use, each once.
int _WTnff_write_universe(FILE *stream) {
  WTobject **head = _WTuniverse_objectslot();
  if (!stream || !head || !*head) return 0;
  Out out(stream);
  header(out);
  WTpq pose = {{0, 0, 0}, {0, 0, 0, 1}};
  if (WTviewpoint *v = _WTuniverse_getviewpoint()) {
    WTviewpoint_getposition(v, pose.p);
    WTviewpoint_getorientation(v, pose.q);
  }
  viewpoint(out, &pose);
  const char *name = _WTuniverse_getname();
  out.put("%s\n", name && *name ? name : "WTuniverse");
  Section s;
  WTmtable *table = nullptr;
  for (WTobject *o = *head; o; o = o->next) {
    if (!o->geometry) continue;
    if (!table) table = o->geometry->mtable;
    std::vector<WTpoly *> polys;
    for (WTpoly *p = o->geometry->polys; p; p = p->next) polys.push_back(p);
    s.polys.insert(s.polys.end(), polys.rbegin(), polys.rend());
  }
  std::unordered_map<WTvertex *, bool> seen;
  for (WTpoly *p : s.polys)
    for (WTvertexlink *l = p->links; l; l = l->next)
      if (seen.emplace(l->vertex, true).second) s.vertices.push_back(l->vertex);
  std::reverse(s.vertices.begin(), s.vertices.end());
  body(out, s, table, nullptr);
  return out.ok() ? 1 : 0;
}

}  // extern "C"
