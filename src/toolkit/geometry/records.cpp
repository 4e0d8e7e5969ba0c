// Geometry, polygon and vertex records: creation, deletion, copies, the copy-on-write rule,
// names, queries and the small lists that carry them.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

namespace {

WTobject *currentobject;
uint32_t nextserial = 1;

template <class T>
T *alloczero() {
  T *record = static_cast<T *>(_WTmem_alloc(sizeof(T)));
  memset(record, 0, sizeof(T));
  return record;
}

// Vertices, links, polygons and normals, of which a model holds millions, come from the slot
// blocks.
template <class T>
T *slotzero() {
  T *record = static_cast<T *>(_WTmem_allocslot(sizeof(T)));
  memset(record, 0, sizeof(T));
  return record;
}

float *newnormal(const WTp3 value) {
  float *normal = static_cast<float *>(_WTmem_allocslot(sizeof(WTp3)));
  memcpy(normal, value, sizeof(WTp3));
  return normal;
}

// The motion of an object since its geometry was built: r = conj(q0) q1.
struct Motion {
  WTpq built, current;
  WTq r;
};

bool objectmotion(WTobject *object, Motion *m) {
  if (!object || !_WTobject_getposes(object, &m->built, &m->current)) return false;
  _WTq_conjmultiply(m->built.q, m->current.q, m->r);
  return true;
}

bool sameorientation(const WTq a, const WTq b) {
  bool same = true, opposite = true;
  for (int i = 0; i < 4; i++) {
    if (a[i] != b[i]) same = false;
    if (a[i] != -b[i]) opposite = false;
  }
  return same || opposite;
}

WTvertex *nthvertex(WTvertex *list, int n) {
  for (; list && n > 0; n--) list = list->next;
  return list;
}

int indexof(WTvertex *list, WTvertex *v) {
  for (int i = 0; list; list = list->next, i++)
    if (list == v) return i;
  return -1;
}

}  // namespace

extern "C" {

// ---- Creation and deletion ---------------------------------------------------------------

WTgeometry *_WTgeometry_new(WTobject *owner) {
  WTgeometry *g = alloczero<WTgeometry>();
  g->object = owner;
  g->ownspolys = 1;
  g->refcount = 1;
  return g;
}

WTpoly *_WTpoly_new(WTgeometry *geometry) {
  WTpoly *p = slotzero<WTpoly>();
  p->geometry = geometry;
  p->flags = WTP_FOLLOWOBJECT;
  p->rflags = WTR_RENDERED;
  p->serial = nextserial++;
  return p;
}

WTvertex *_WTvertex_new(void) { return slotzero<WTvertex>(); }

WTvertex *_WTvertex_newat(const WTp3 position) {
  WTvertex *v = slotzero<WTvertex>();
  memcpy(v->position, position, sizeof(WTp3));
  currentobject = nullptr;
  return v;
}

int _WTvertex_setnormal(WTvertex *vertex, const WTp3 normal) {
  if (!vertex || !normal) return 0;
  if (normal[0] == 0.0f && normal[1] == 0.0f && normal[2] == 0.0f) return 0;
  if (vertex->normal) memcpy(vertex->normal, normal, sizeof(WTp3));
  else vertex->normal = newnormal(normal);
  return 1;
}

int _WTvertex_getnormal(WTvertex *vertex, WTp3 out) {
  if (!vertex || !vertex->normal) {
    out[0] = out[1] = out[2] = 0.0f;
    return 0;
  }
  memcpy(out, vertex->normal, sizeof(WTp3));
  Motion m;
  if (objectmotion(currentobject, &m) && !sameorientation(m.built.q, m.current.q))
    _WTq_rotatepoint(out, m.r, out);
  return 1;
}

int _WTvertex_delete(WTvertex *vertex) {
  if (!vertex) return 0;
  _WTmem_free(vertex->normal);
  _WTmem_free(vertex);
  return 1;
}

void _WTvertex_deletelist(WTvertex *first) {
  while (first) {
    WTvertex *next = first->next;
    _WTvertex_delete(first);
    first = next;
  }
}

WTvertex *_WTvertex_copy(const WTvertex *vertex) {
  WTvertex *v = slotzero<WTvertex>();
  memcpy(v->position, vertex->position, sizeof(WTp3));
  if (vertex->normal) v->normal = newnormal(vertex->normal);
  v->matid = vertex->matid;
  v->tag = vertex->tag;
  return v;
}

WTvertex *_WTvertex_copylist(WTvertex *first) {
  WTvertex *head = nullptr, *tail = nullptr;
  for (; first; first = first->next) {
    WTvertex *v = _WTvertex_copy(first);
    if (tail) tail->next = v;
    else head = v;
    tail = v;
  }
  return head;
}

WTvertexlink *_WTvertexlink_new(WTvertex *vertex, WTvertexlink *next) {
  WTvertexlink *l = static_cast<WTvertexlink *>(_WTmem_allocslot(sizeof(WTvertexlink)));
  l->vertex = vertex;
  l->next = next;
  return l;
}

void _WTvertexlinks_free(WTvertexlink *head) {
  while (head) {
    WTvertexlink *next = head->next;
    _WTmem_free(head);
    head = next;
  }
}

WTvertexlink *_WTvertexlinks_reverse(WTvertexlink *head) {
  WTvertexlink *prev = nullptr;
  while (head) {
    WTvertexlink *next = head->next;
    head->next = prev;
    prev = head;
    head = next;
  }
  return prev;
}

void _WTpoly_del(WTpoly *poly) {
  if (!poly) return;
  _WTtexture_deleteref(poly->texture);
  _WTvertexlinks_free(poly->links);
  _WTmem_free(poly);
}

int WTpoly_delete(WTpoly *poly) {
  if (!poly) return 0;
  WTgeometry *g = poly->geometry;
  if (g && !_WTgeometry_modifiable(g)) return 0;
  if (g && g->polys == poly && (poly->flags & WTP_FOLLOWOBJECT) && !poly->next && g->object) {
    _WTmsg_warning("Can't delete the last polygon in an object.\n");
    return 0;
  }
  if (g) {
    for (WTpoly **at = &g->polys; *at; at = &(*at)->next) {
      if (*at == poly) {
        *at = poly->next;
        g->npolys--;
        break;
      }
    }
  }
  _WTpoly_del(poly);
  return 1;
}

int WTgeometry_delete(WTgeometry *geometry) {
  if (!geometry) return 0;
  if (geometry->refcount > 1) return --geometry->refcount;
  _WTmtable_detach(geometry->mtable, geometry);
  if (geometry->ownspolys == 1) {
    for (WTpoly *p = geometry->polys; p;) {
      WTpoly *next = p->next;
      _WTpoly_del(p);
      p = next;
    }
  }
  geometry->polys = nullptr;
  if (geometry->node) _WTnode_delete(geometry->node);
  _WTvertex_deletelist(geometry->vertices);
  _WTvertex_deletelist(geometry->vcopy);
  if (geometry->deletefn) geometry->deletefn(geometry, geometry);
  geometry->ngroups = 0;
  _WTmem_free(geometry->groupflags);
  _WTmem_free(geometry->groupcounts);
  _WTmem_free(geometry->name);
  _WTmem_free(geometry);
  return 0;
}

WTpoly *_WTpoly_listcopy(WTpoly *polys, WTvertex *source, WTvertex *target, WTgeometry *geometry,
                         WTpolylist *filter, int firstonly, int, int copytextures) {
  WTpoly *head = nullptr, *tail = nullptr;
  for (WTpoly *p = polys; p; p = p->next) {
    if (filter && !WTpolylist_containspoly(filter, p)) continue;
    WTpoly *c = _WTpoly_new(geometry);
    c->matid = p->matid;
    memcpy(c->normal, p->normal, sizeof(WTp3));
    memcpy(c->normal2, p->normal2, sizeof(WTp3));
    memcpy(c->centre, p->centre, sizeof(WTp3));
    memcpy(c->centre2, p->centre2, sizeof(WTp3));
    c->radius = p->radius;
    c->d = p->d;
    c->flags = p->flags;
    c->rflags = p->rflags;
    c->nverts = p->nverts;
    c->id = p->id;
    c->sset = p->sset;
    if (copytextures && p->texture) c->texture = _WTtexture_copyref(p->texture);
    WTvertexlink *ltail = nullptr;
    for (WTvertexlink *l = p->links; l; l = l->next) {
      WTvertex *v = l->vertex;
      if (source) v = nthvertex(target, indexof(source, l->vertex));
      WTvertexlink *nl = _WTvertexlink_new(v, nullptr);
      if (ltail) ltail->next = nl;
      else c->links = nl;
      ltail = nl;
    }
    if (tail) tail->next = c;
    else head = c;
    tail = c;
    if (firstonly) break;
  }
  return head;
}

WTAPI WTgeometry *WTgeometry_copy(WTgeometry *geometry) {
  if (!geometry) return nullptr;
  WTgeometry *c = _WTgeometry_new(nullptr);
  c->npolys = geometry->npolys;
  memcpy(c->half, geometry->half, sizeof(WTp3));
  memcpy(c->mid, geometry->mid, sizeof(WTp3));
  c->radius = geometry->radius;
  _WTmtable_attach(c, geometry->mtable);
  c->vertices = _WTvertex_copylist(geometry->vertices);
  c->vcopy = _WTvertex_copylist(geometry->vcopy);
  for (WTvertex *v = c->vertices; v; v = v->next) c->vtail = v;
  c->polys = _WTpoly_listcopy(geometry->polys, geometry->vertices, c->vertices, c, nullptr, 0, 0, 1);
  if (geometry->name) c->name = _WTmem_strdup(geometry->name);
  return c;
}

int _WTgeometry_modifiable(WTgeometry *geometry) {
  if (!geometry || geometry->draw) return 0;
  geometry->compiled = 0;
  if (geometry->dlista) _WTidblock_free(static_cast<unsigned>(geometry->dlista), 1);
  geometry->dlista = 0;
  if (geometry->dlistb) _WTidblock_free(static_cast<unsigned>(geometry->dlistb), 1);
  geometry->dlistb = 0;
  return 1;
}

// ---- Names and queries -------------------------------------------------------------------

void WTgeometry_setname(WTgeometry *geometry, const char *name) {
  if (!geometry || !name) return;
  char *copy = _WTmem_strdup(name);
  _WTmem_free(geometry->name);
  geometry->name = copy;
}

const char *WTgeometry_getname(WTgeometry *geometry) {
  if (!geometry) return nullptr;
  return geometry->name ? geometry->name : "untitled";
}

WTvertex *WTgeometry_getvertices(WTgeometry *geometry) {
  return geometry ? geometry->vertices : nullptr;
}

WTpoly *WTgeometry_getpolys(WTgeometry *geometry) { return geometry ? geometry->polys : nullptr; }

int WTgeometry_numpolys(WTgeometry *geometry) { return geometry ? geometry->npolys : 0; }

void WTgeometry_getextents(WTgeometry *geometry, WTp3 out) {
  if (!geometry || !out) return;
  for (int i = 0; i < 3; i++) out[i] = geometry->half[i] * 2.0f;
}

void WTgeometry_getmidpoint(WTgeometry *geometry, WTp3 out) {
  if (!geometry || !out) return;
  memcpy(out, geometry->mid, sizeof(WTp3));
}

float WTgeometry_getradius(WTgeometry *geometry) { return geometry ? geometry->radius : 0.0f; }

WTpoly *WTgeometry_id2poly(WTgeometry *geometry, int id) {
  if (!geometry) return nullptr;
  for (WTpoly *p = geometry->polys; p; p = p->next)
    if (p->id == id) return p;
  return nullptr;
}

WTmtable *WTgeometry_getmtable(WTgeometry *geometry) {
  return geometry ? geometry->mtable : nullptr;
}

WTnode *_WTgeometry_getnode(WTgeometry *geometry) {
  return geometry ? geometry->node : nullptr;
}

WTvertex *WTvertex_next(WTvertex *vertex) { return vertex ? vertex->next : nullptr; }

void _WTvertex_setcurrentobject(WTobject *object) { currentobject = object; }

void WTvertex_getposition(WTvertex *vertex, WTp3 out) {
  if (!vertex || !out) return;
  memcpy(out, vertex->position, sizeof(WTp3));
  Motion m;
  if (!objectmotion(currentobject, &m)) return;
  if (memcmp(m.built.p, m.current.p, sizeof(WTp3)) == 0 &&
      sameorientation(m.built.q, m.current.q))
    return;
  WTp3 rel = {out[0] - m.built.p[0], out[1] - m.built.p[1], out[2] - m.built.p[2]};
  _WTq_rotatepoint(rel, m.r, rel);
  for (int i = 0; i < 3; i++) out[i] = m.current.p[i] + rel[i];
}

// ---- Polygon lists -------------------------------------------------------------------------

WTpolylist *WTpolylist_new(void) { return alloczero<WTpolylist>(); }

WTpolylist *WTpolylist_addpoly(WTpolylist *list, WTpoly *poly) {
  if (!poly) return nullptr;
  if (!list) list = WTpolylist_new();
  if (!list->poly) {
    list->poly = poly;
    return list;
  }
  WTpolylist *cell = WTpolylist_new();
  cell->poly = poly;
  cell->next = list;
  return cell;
}

int WTpolylist_containspoly(WTpolylist *list, WTpoly *poly) {
  if (!poly) return 0;
  for (; list; list = list->next)
    if (list->poly == poly) return 1;
  return 0;
}

int WTpolylist_npolys(WTpolylist *list) {
  if (!list || !list->poly) return 0;
  int n = 0;
  for (; list; list = list->next) n++;
  return n;
}

void WTpolylist_delete(WTpolylist *list) {
  while (list) {
    WTpolylist *next = list->next;
    _WTmem_free(list);
    list = next;
  }
}

WTpolylist *WTpolylist_copy(WTpolylist *list) {
  if (!list || !list->poly) return nullptr;
  WTpolylist *copy = nullptr;
  for (; list; list = list->next) copy = WTpolylist_addpoly(copy, list->poly);
  return copy;
}

WTpolylist *WTgeometry_getpolylist(WTgeometry *geometry) {
  if (!geometry || !geometry->polys) return nullptr;
  WTpolylist *list = nullptr;
  for (WTpoly *p = geometry->polys; p; p = p->next) list = WTpolylist_addpoly(list, p);
  return list;
}

// ---- Geometry lists ------------------------------------------------------------------------

WTgeomlist *_WTgeomlist_add(WTgeomlist *list, WTgeometry *geometry) {
  WTgeomlist *cell = alloczero<WTgeomlist>();
  cell->geometry = geometry;
  cell->next = list;
  return cell;
}

void _WTgeomlist_delete(WTgeomlist *list) {
  while (list) {
    WTgeomlist *next = list->next;
    _WTmem_free(list);
    list = next;
  }
}

WTgeomlist *_WTgeomlist_append(WTgeomlist *first, WTgeomlist *second) {
  if (!first) return second;
  WTgeomlist *last = first;
  while (last->next) last = last->next;
  last->next = second;
  return first;
}

}  // extern "C"

namespace {

// Puts the chain that starts at `front` before *head.
template <class T>
void prependchain(T *front, T **head) {
  if (!front) return;
  T *last = front;
  while (last->next) last = last->next;
  last->next = *head;
  *head = front;
}

void absorb(WTgeometry *head, WTgeometry *other) {
  prependchain(other->vertices, &head->vertices);
  prependchain(other->vcopy, &head->vcopy);
  for (WTpoly *p = other->polys; p; p = p->next) p->geometry = head;
  prependchain(other->polys, &head->polys);
  head->npolys += other->npolys;
  other->vertices = other->vcopy = other->vtail = nullptr;
  other->polys = nullptr;
  other->npolys = 0;
}

}  // namespace

extern "C" {

int _WTgeomlist_glom(WTgeomlist *list) {
  if (!list) return 1;
  WTgeometry *head = list->geometry;
  for (WTgeomlist *cell = list->next; cell;) {
    WTgeomlist *next = cell->next;
    if (head && cell->geometry && cell->geometry->polys) absorb(head, cell->geometry);
    WTgeometry_delete(cell->geometry);
    _WTmem_free(cell);
    cell = next;
  }
  list->next = nullptr;
  if (head) {
    head->vtail = nullptr;
    for (WTvertex *v = head->vertices; v; v = v->next) head->vtail = v;
    WTgeometry_recomputestats(head, 0);
  }
  return 1;
}

// ---- Vertex lists --------------------------------------------------------------------------

WTvertexlist *_WTvertexlist_new(void) { return alloczero<WTvertexlist>(); }

WTvertexlist *_WTvertexlist_add(WTvertexlist *list, WTvertex *vertex) {
  if (!vertex) return nullptr;
  if (!list) list = _WTvertexlist_new();
  if (!list->vertex) {
    list->vertex = vertex;
    return list;
  }
  WTvertexlist *cell = _WTvertexlist_new();
  cell->vertex = vertex;
  cell->next = list;
  return cell;
}

int _WTvertexlist_contains(WTvertexlist *list, WTvertex *vertex) {
  if (!vertex) return 0;
  for (; list; list = list->next)
    if (list->vertex == vertex) return 1;
  return 0;
}

int _WTvertexlist_count(WTvertexlist *list) {
  if (!list || !list->vertex) return 0;
  int n = 0;
  for (; list; list = list->next) n++;
  return n;
}

void _WTvertexlist_delete(WTvertexlist *list) {
  while (list) {
    WTvertexlist *next = list->next;
    _WTmem_free(list);
    list = next;
  }
}

WTvertexlist *_WTvertexlist_copy(WTvertexlist *list) {
  if (!list || !list->vertex) return nullptr;
  WTvertexlist *copy = nullptr;
  for (; list; list = list->next) copy = _WTvertexlist_add(copy, list->vertex);
  return copy;
}

WTvertexlist *_WTvertexlist_reverse(WTvertexlist *list) {
  WTvertexlist *prev = nullptr;
  while (list) {
    WTvertexlist *next = list->next;
    list->next = prev;
    prev = list;
    list = next;
  }
  return prev;
}

WTvertexlist *_WTvertexlist_addpoly(WTvertexlist *list, WTpoly *poly) {
  if (!poly) return list;
  for (WTvertexlink *l = poly->links; l; l = l->next)
    if (!_WTvertexlist_contains(list, l->vertex)) list = _WTvertexlist_add(list, l->vertex);
  return list;
}

WTvertexlist *_WTvertexlist_nth(WTvertexlist *list, int n) {
  if (n < 0) return nullptr;
  for (; list && n > 0; n--) list = list->next;
  return list;
}

void _WTvertexlist_midpoint(WTvertexlist *list, WTp3 out) {
  WTp3 lo = {3.4028235e38f, 3.4028235e38f, 3.4028235e38f};
  WTp3 hi = {-3.4028235e38f, -3.4028235e38f, -3.4028235e38f};
  int n = 0;
  for (; list; list = list->next) {
    if (!list->vertex) continue;
    WTp3 p;
    WTvertex_getposition(list->vertex, p);
    for (int i = 0; i < 3; i++) {
      lo[i] = fminf(lo[i], p[i]);
      hi[i] = fmaxf(hi[i], p[i]);
    }
    n++;
  }
  for (int i = 0; i < 3; i++) out[i] = n ? (lo[i] + hi[i]) * 0.5f : 0.0f;
}

float _WTvertexlist_radius(WTvertexlist *list) {
  if (!list) return 0.0f;
  WTp3 mid;
  _WTvertexlist_midpoint(list, mid);
  float r = 0.0f;
  for (; list; list = list->next) {
    if (!list->vertex) continue;
    WTp3 p;
    WTvertex_getposition(list->vertex, p);
    r = fmaxf(r, _WTp3_distance(p, mid));
  }
  return r;
}
}
