// Attributes of every polygon of an object (textures, coordinates, colours), single vertices in
// world terms, the edit bracket, the box after edits and the polygon cleaning of new objects.
#include <math.h>
#include <string.h>

#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/objects.h"

namespace {

bool absent(const WTobject *o) { return !o || (o->flags & WTO_DELETED); }

// A geometry that may be written: no draw function of its own and its compiled data dropped.
bool writable(WTobject *o) {
  return o && o->geometry && !o->geometry->draw && _WTgeometry_modifiable(o->geometry);
}

template <class Fn>
void eachpoly(WTobject *o, Fn fn) {
  for (WTpoly *p = o->geometry->polys; p; p = p->next) fn(p);
}

// u and v of every vertex of the polygon, from its world position (object terms for frame 0).
int uvof(WTobject *o, WTpoly *p, WTuvfn ufn, WTuvfn vfn, int frame, float *u, float *v) {
  int n = 0;
  _WTvertex_setcurrentobject(o);
  for (WTvertexlink *l = p->links; l && n < 256; l = l->next, n++) {
    WTp3 at;
    WTvertex_getposition(l->vertex, at);
    if (frame == 0) _WTobject_worldtoobject(o, at, at);
    u[n] = ufn(at);
    v[n] = vfn(at);
  }
  _WTvertex_setcurrentobject(nullptr);
  return n;
}

bool samepose(const WTq a, const WTq b) {
  bool same = true, negated = true;
  for (int i = 0; i < 4; i++) {
    same = same && a[i] == b[i];
    negated = negated && a[i] == -b[i];
  }
  return same || negated;
}

// Notes over the polygon's vertices: any moved, all with normals, all with material ids.
struct VertexNotes {
  bool moved = false, normals = true, matids = true;
};

VertexNotes notes(WTpoly *p) {
  VertexNotes n;
  for (WTvertexlink *l = p->links; l; l = l->next) {
    n.moved = n.moved || (l->vertex->flags & WTV_MOVED);
    n.normals = n.normals && l->vertex->normal;
    n.matids = n.matids && (l->vertex->flags & WTV_MATID);
  }
  return n;
}

// Frees the vertices no polygon uses; the count removed.
int purgeunused(WTgeometry *g) {
  for (WTvertex *v = g->vertices; v; v = v->next) v->flags &= static_cast<uint8_t>(~WTV_USED);
  for (WTpoly *p = g->polys; p; p = p->next)
    for (WTvertexlink *l = p->links; l; l = l->next) l->vertex->flags |= WTV_USED;
  int removed = 0;
  g->vtail = nullptr;
  for (WTvertex **at = &g->vertices; *at;) {
    WTvertex *v = *at;
    if (v->flags & WTV_USED) {
      g->vtail = v;
      at = &v->next;
      continue;
    }
    *at = v->next;
    _WTvertex_delete(v);
    removed++;
  }
  return removed;
}

void unlinkpoly(WTgeometry *g, WTpoly *p) {
  for (WTpoly **at = &g->polys; *at; at = &(*at)->next)
    if (*at == p) {
      *at = p->next;
      g->npolys--;
      return;
    }
}

}  // namespace

extern "C" {

// ---- All polygons --------------------------------------------------------------------------

int _WTobject_settexture(WTobject *object, const char *name, int flag1, int flag2) {
  if (!object || !name || !writable(object)) return 0;
  for (WTpoly *p = object->geometry->polys; p; p = p->next)
    if (!WTpoly_settexture(p, name, flag1, flag2)) return 0;
  return 1;
}

int _WTobject_settextureuv(WTobject *object, const char *name, WTuvfn ufn, WTuvfn vfn, int frame,
                           int flag1, int flag2) {
  if (!object || !name || !ufn || !vfn || (frame != 0 && frame != 1) || !writable(object))
    return 0;
  float u[256], v[256];
  for (WTpoly *p = object->geometry->polys; p; p = p->next) {
    uvof(object, p, ufn, vfn, frame, u, v);
    if (!WTpoly_settextureuv(p, name, u, v, flag1, flag2)) return 0;
  }
  return 1;
}

int _WTobject_setuv(WTobject *object, WTuvfn ufn, WTuvfn vfn, int frame) {
  if (!object || !ufn || !vfn || (frame != 0 && frame != 1) || !writable(object)) return 0;
  float u[256], v[256];
  for (WTpoly *p = object->geometry->polys; p; p = p->next) {
    if (!p->texture) continue;
    uvof(object, p, ufn, vfn, frame, u, v);
    if (!WTpoly_setuv(p, u, v)) return 0;
  }
  return 1;
}

void _WTobject_deletetextures(WTobject *object) {
  if (writable(object)) eachpoly(object, WTpoly_deletetexture);
}

void _WTobject_setcolor(WTobject *object, int code) {
  if (absent(object) || !writable(object)) return;
  eachpoly(object, [code](WTpoly *p) { _WTpoly_setcolor_nofrags(p, code); });
  _WTuniverse_scenechanged();
}

void _WTobject_setrgb(WTobject *object, unsigned char r, unsigned char g, unsigned char b) {
  if (absent(object) || !writable(object)) return;
  eachpoly(object, [&](WTpoly *p) { WTpoly_setrgb(p, r, g, b); });
  _WTuniverse_scenechanged();
}

void _WTobject_replacergb(WTobject *object, unsigned char r, unsigned char g, unsigned char b,
                          unsigned char r2, unsigned char g2, unsigned char b2) {
  if (absent(object) || !writable(object)) return;
  eachpoly(object, [&](WTpoly *p) {
    unsigned char pr, pg, pb;
    WTpoly_getrgb(p, &pr, &pg, &pb);
    if (pr == r && pg == g && pb == b) WTpoly_setrgb(p, r2, g2, b2);
  });
}

void _WTobject_replacecolor24(WTobject *object, uint32_t old, uint32_t now) {
  if (absent(object) || !writable(object)) return;
  eachpoly(object, [&](WTpoly *p) {
    if (_WTpoly_getcolor24(p) == old) _WTpoly_setcolor24(p, now);
  });
}

void _WTobject_replacecolor(WTobject *object, int old, int now) {
  if (absent(object) || !writable(object)) return;
  eachpoly(object, [&](WTpoly *p) {
    if (WTpoly_getcolor(p) == old) _WTpoly_setcolor_nofrags(p, now);
  });
}

// ---- Colour lists --------------------------------------------------------------------------

int _WTobject_getcolors24(WTobject *object, uint32_t *out) {
  if (absent(object) || !object->geometry) return 0;
  std::vector<uint32_t> seen;
  eachpoly(object, [&](WTpoly *p) {
    uint32_t c = _WTpoly_getcolor24(p);
    for (uint32_t s : seen)
      if (s == c) return;
    seen.push_back(c);
  });
  if (out && !seen.empty()) memcpy(out, seen.data(), sizeof(uint32_t) * seen.size());
  return static_cast<int>(seen.size());
}

int _WTobject_numcolors(WTobject *object) { return _WTobject_getcolors24(object, nullptr); }

int _WTobject_getrgblist(WTobject *object, unsigned char *r, unsigned char *g, unsigned char *b) {
  int n = _WTobject_numcolors(object);
  if (n == 0 || !r || !g || !b) return n;
  std::vector<uint32_t> colours(static_cast<size_t>(n));
  _WTobject_getcolors24(object, colours.data());
  for (int i = 0; i < n; i++) {
    r[i] = static_cast<unsigned char>(colours[size_t(i)] >> 16);
    g[i] = static_cast<unsigned char>(colours[size_t(i)] >> 8);
    b[i] = static_cast<unsigned char>(colours[size_t(i)]);
  }
  return n;
}

int _WTobject_getcolorcodes(WTobject *object, short *out) {
  if (absent(object) || !object->geometry) return 0;
  std::vector<short> seen;
  eachpoly(object, [&](WTpoly *p) {
    short c = WTpoly_getcolor(p);
    for (short s : seen)
      if (s == c) return;
    seen.push_back(c);
  });
  if (out && !seen.empty()) memcpy(out, seen.data(), sizeof(short) * seen.size());
  return static_cast<int>(seen.size());
}

// ---- Vertices in world terms ---------------------------------------------------------------

int _WTobject_setvertexposition(WTobject *object, WTvertex *vertex, const WTp3 point) {
  if (!object || !vertex || !point || !writable(object)) return 0;
  vertex->flags |= WTV_MOVED;
  if (_WTobject_atreference(object)) {
    memcpy(vertex->position, point, sizeof(WTp3));
  } else {
    WTq r;
    WTp3 rel;
    _WTq_conjmultiply(object->pose.q, object->ref.q, r);
    for (int i = 0; i < 3; i++) rel[i] = point[i] - object->pose.p[i];
    _WTq_rotatepoint(rel, r, rel);
    for (int i = 0; i < 3; i++) vertex->position[i] = rel[i] + object->ref.p[i];
  }
  object->geometry->vchanged = 1;
  return 1;
}

int _WTobject_setvertexfrom(WTobject *object, WTvertex *vertex, const WTp3 point,
                            const WTpq *pose) {
  if (!pose || !point) return 0;
  WTp3 world;
  _WTpq_toworld(point, pose, world);
  return _WTobject_setvertexposition(object, vertex, world);
}

int _WTobject_getvertexposition(WTobject *object, WTvertex *vertex, WTp3 out) {
  if (!object || !vertex || !out) return 0;
  _WTobject_vertexworld(object, vertex->position, out);
  return 1;
}

int _WTobject_setvertexnormal(WTobject *object, WTvertex *vertex, const WTp3 normal) {
  if (!normal || (normal[0] == 0.0f && normal[1] == 0.0f && normal[2] == 0.0f)) return 0;
  if (!object || !vertex || !writable(object)) return 0;
  WTq r;
  WTp3 n;
  _WTq_conjmultiply(object->pose.q, object->ref.q, r);
  _WTq_rotatepoint(normal, r, n);
  return _WTvertex_setnormal(vertex, n);
}

int _WTobject_getvertexnormal(WTobject *object, WTvertex *vertex, WTp3 out) {
  if (!out) return 0;
  out[0] = out[1] = out[2] = 0.0f;
  if (!object || !vertex || !vertex->normal) return 0;
  memcpy(out, vertex->normal, sizeof(WTp3));
  if (!samepose(object->pose.q, object->ref.q)) {
    WTq r;
    _WTq_conjmultiply(object->ref.q, object->pose.q, r);
    _WTq_rotatepoint(out, r, out);
  }
  return 1;
}

int _WTobject_setvertexcolor(WTobject *object, WTvertex *vertex, unsigned char r,
                             unsigned char g, unsigned char b) {
  if (!vertex || !object || !object->geometry || !object->geometry->mtable) return 0;
  int id = _WTmtable_getrgbid(object->geometry->mtable, r, g, b);
  if (id < 0 || !writable(object)) return 0;
  vertex->flags |= WTV_MATID;
  vertex->matid = id;
  return 1;
}

int _WTobject_getvertexcolor(WTobject *object, WTvertex *vertex, unsigned char *r,
                             unsigned char *g, unsigned char *b) {
  if (!vertex || !(vertex->flags & WTV_MATID) || !object || !object->geometry) return 0;
  uint32_t rgb = _WTmtable_getentryrgb24(object->geometry->mtable, vertex->matid);
  if (r) *r = static_cast<unsigned char>(rgb >> 16);
  if (g) *g = static_cast<unsigned char>(rgb >> 8);
  if (b) *b = static_cast<unsigned char>(rgb);
  return 1;
}

// ---- Edit bracket --------------------------------------------------------------------------

int _WTobject_beginedit(WTobject *object) {
  if (!object || !object->geometry || object->geometry->editopen) return 0;
  object->geometry->editopen = 1;
  return 1;
}

int _WTobject_endedit(WTobject *object, int triangulate, int makeconvex, int keep) {
  if (!object || !object->geometry || !object->geometry->editopen) return 0;
  WTgeometry *g = object->geometry;
  g->editopen = 0;
  if (keep) return 1;
  for (WTpoly *p = g->polys; p;) {
    WTpoly *next = p->next;
    VertexNotes n = notes(p);
    if (n.normals) p->rflags |= WTR_VNORMALS;
    if (n.matids) p->rflags |= WTR_VMATIDS;
    bool planar = true;
    if (n.moved) planar = _WTpoly_stats(p) != 0;
    if (n.moved && p->nverts > 3) {
      if (triangulate && !planar)
        _WTpoly_triangulate(p);
      else if (makeconvex && !(p->flags & WTP_CONVEX))
        _WTpoly_makeconvex(p);
    }
    p = next;
  }
  for (WTvertex *v = g->vertices; v; v = v->next) v->flags &= static_cast<uint8_t>(~WTV_MOVED);
  return 1;
}

// ---- Box after edits -----------------------------------------------------------------------

void _WTobject_recomputebounds(WTobject *object, int purge, int pivottocentre, int principal) {
  if (absent(object) || !object->geometry) return;
  WTobject *o = object;
  if (purge) {
    int removed = purgeunused(o->geometry);
    if (removed && _WTuniverse_getoption(1) > 0)
      _WTmsg_warning("%d unused vertices were removed\n", removed);
  }
  WTp3 refp, offset, pivot;
  WTq current, turned;
  memcpy(refp, o->ref.p, sizeof(WTp3));
  for (int i = 0; i < 3; i++) offset[i] = o->pose.p[i] - o->ref.p[i];
  memcpy(current, o->pose.q, sizeof(WTq));
  memcpy(pivot, o->pivot, sizeof(WTp3));
  const WTq identity = {0, 0, 0, 1};
  WTobject_setorientation(o, identity);
  _WTobject_computeaxes(o, principal);
  memcpy(turned, o->pose.q, sizeof(WTq));
  WTobject_setorientation(o, current);
  WTp3 centre, shift;
  memcpy(centre, o->pose.p, sizeof(WTp3));
  for (int i = 0; i < 3; i++) shift[i] = centre[i] - refp[i];
  _WTq_rotatepoint(shift, current, shift);
  memcpy(o->ref.p, centre, sizeof(WTp3));
  WTp3 before;
  memcpy(before, o->pose.p, sizeof(WTp3));
  for (int i = 0; i < 3; i++) o->pose.p[i] = refp[i] + offset[i] + shift[i];
  WTq spin, tmp;
  _WTq_conjmultiply(current, turned, tmp);
  _WTq_multiply(tmp, current, spin);
  for (WTp3 &corner : o->corners) {
    for (int i = 0; i < 3; i++) corner[i] += o->pose.p[i] - before[i];
    if (principal) _WTq_rotatepointabout(corner, spin, corner, o->pose.p);
  }
  memcpy(o->pivot, pivottocentre ? o->pose.p : pivot, sizeof(WTp3));
  o->geometry->vchanged = 0;
}

// ---- Polygon cleaning ----------------------------------------------------------------------

void _WTobject_cleanpolys(WTobject *object) {
  if (!object || !object->geometry) return;
  WTgeometry *g = object->geometry;
  for (WTpoly *p = g->polys; p;) {
    WTpoly *next = p->next;
    _WTpoly_removecollinear(p);
    if (!(p->flags & WTP_CONVEX)) {
      _WTpoly_makeconvex(p);
      next = p->next;
    }
    if (_WTpoly_removeduplicates(p)) {
      unlinkpoly(g, p);
      _WTpoly_del(p);
    } else {
      p->geometry = g;
    }
    p = next;
  }
}
}
