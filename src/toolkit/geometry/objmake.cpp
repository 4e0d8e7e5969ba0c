// Making objects: around geometries, from model files, as copies, from the primitive shapes,
// vertex by vertex, and as outline boxes; and writing them back.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/filetable.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/objects.h"

namespace {

bool absent(const WTobject *o) { return !o || (o->flags & WTO_DELETED); }

WTportal *firstportal() {
  void **slot = _WTuniverse_portalslot();
  return slot ? static_cast<WTportal *>(*slot) : nullptr;
}

bool scaleok(float scale) {
  if (scale >= 1e-20f) return true;
  _WTmsg_warning("Nonsensical scale factor.\n");
  return false;
}

// The resolved path of a model (a copy owned by the caller), or null.
char *findmodel(const char *name) {
  const char *found = name ? _WTfile_findmodel(name) : nullptr;
  return found ? _WTmem_strdup(found) : nullptr;
}

bool istext(int type) { return type == WTFILE_DXF || type == WTFILE_NFF || type == WTFILE_WFRONT; }

// The objects of a model file by its type's reader in the file table (the types without one are
// read as unknown).  `join` makes one object of an NFF file's geometries.  The reader gets the
// name as the caller gave it; messages about the type name the resolved path.  Closes the
// stream.
WTcell *readobjects(FILE *stream, const char *name, const char *path, int type, float scale,
                    int principal, WTpq *pose, int join) {
  WTcell *list = nullptr;
  const WTfilekind *kind = _WTfiletable_kind(type);
  if (kind->readobjects)
    list = kind->readobjects(stream, name, pose, scale, join, principal);
  else if (type == WTFILE_OLDBINARY1 || type == WTFILE_OLDBINARY2)
    _WTmsg_warning("VAV 1.01 binary format is no longer supported.\n");
  else
    _WTmsg_warning("Unknown file type: %s\n", path);
  fclose(stream);
  return list;
}

// Adds each object of the list to the scene (preparing and naming those that ask for it), frees
// the cells and returns the last object.
WTobject *placeall(WTcell *list, const char *name, bool prepare, bool rename,
                   WTportal *portalhead) {
  WTobject *last = nullptr;
  while (list) {
    WTcell *next = list->next;
    WTobject *o = static_cast<WTobject *>(list->value);
    if (o) {
      if (prepare)
        _WTobject_prepare(o, portalhead);
      else
        _WTobject_addtoscene(o);
      if (rename) _WTobject_setnamefrompath(o, name);
      last = o;
    }
    _WTmem_free(list);
    list = next;
  }
  return last;
}

WTobject *wrapprimitive(WTgeometry *g, const char *name) {
  if (!g) return nullptr;
  WTobject *o = _WTobject_newfromgeometry(g, 0);
  if (!o) return nullptr;
  _WTobject_setnamefrompath(o, name);
  _WTobject_addtoscene(o);
  return o;
}

// Copies the poses, box, pivot and handle of the source into the copy.
void copyplacement(const WTobject *from, WTobject *to) {
  to->pose = from->pose;
  to->last = from->last;
  to->ref = from->ref;
  memcpy(to->corners, from->corners, sizeof to->corners);
  memcpy(to->half, from->half, sizeof(WTp3));
  memcpy(to->pivot, from->pivot, sizeof(WTp3));
  to->radius = from->radius;
  to->handleset = from->handleset;
  memcpy(to->handle, from->handle, sizeof(WTp3));
  memcpy(to->handleref, from->handleref, sizeof(WTp3));
  if (from->handleset) memcpy(to->origin, from->origin, sizeof(WTp3));
}


void bakeforsave(WTobject *o, int withhandle) {
  _WTobject_checkmoved(o);
  _WTobject_bake(o, withhandle);
}

}  // namespace

extern "C" {

// ---- Wrapping and preparing ----------------------------------------------------------------

WTobject *_WTobject_newfromgeometry(WTgeometry *geometry, int principal) {
  if (!geometry || geometry->object) return nullptr;
  WTobject *o = _WTobject_new(geometry);
  _WTobject_computeaxes(o, principal);
  o->ref = o->pose;
  geometry->object = o;
  if (geometry->name) o->name = _WTmem_strdup(geometry->name);
  return o;
}

void _WTobject_prepare(WTobject *object, WTportal *portalhead) {
  if (!object) return;
  _WTtexture_applynames(object->geometry);
  _WTobject_cleanpolys(object);
  WTgeometry *g = object->geometry;
  for (WTvertex *v = g->vcopy; v;) {
    WTvertex *next = v->next;
    _WTvertex_delete(v);
    v = next;
  }
  g->vcopy = _WTvertex_copylist(g->vertices);
  object->last = object->ref = object->pose;
  _WTobject_addtoscene(object);
  for (WTportal *p = firstportal(); p && p != portalhead; p = _WTportal_next(p))
    object->portals = _WTlist_cell(p, object->portals);
}

// ---- Loading -------------------------------------------------------------------------------

WTobject *_WTobject_load(const char *name, WTpq *pose, float scale, int principal, int flag) {
  WTcursorhandle previous = _WTsys_waitcursor(nullptr);
  WTobject *o = _WTobject_loadfile(name, pose, scale, principal, flag);
  _WTsys_waitcursor(previous);
  return o;
}

WTobject *_WTobject_loadfile(const char *name, WTpq *pose, float scale, int principal, int) {
  if (!scaleok(scale)) return nullptr;
  char *path = findmodel(name);
  if (!path) return nullptr;
  int type = _WTfile_gettype(path);
  FILE *f = _WTfile_open(path, istext(type) ? "r" : "rb");
  if (!f) {
    _WTmem_free(path);
    return nullptr;
  }
  if (pose) *pose = WTpq{{0, 0, 0}, {0, 0, 0, 1}};
  WTportal *portalhead = firstportal();
  WTcell *list = readobjects(f, name, path, type, scale, principal, pose, 1);
  _WTmem_free(path);
  bool prepared = type == WTFILE_DXF || type == WTFILE_GEO;
  bool renamed = prepared || type == WTFILE_WFRONT;
  return placeall(list, name, prepared, renamed, portalhead);
}

WTcell *_WTobject_loadmultiple(const char *name, float scale, int principal, int flag) {
  WTcursorhandle previous = _WTsys_waitcursor(nullptr);
  WTcell *list = _WTobject_loadlist(name, scale, principal, flag);
  _WTsys_waitcursor(previous);
  return list;
}

WTcell *_WTobject_loadlist(const char *name, float scale, int principal, int) {
  if (!scaleok(scale)) return nullptr;
  char *path = findmodel(name);
  if (!path) return nullptr;
  int type = _WTfile_gettype(path);
  if (type != WTFILE_NFF && type != WTFILE_FLT && type != WTFILE_3DS && type != WTFILE_BFF) {
    _WTmsg_warning("Can't load multiple objects from file %s\n", path);
    _WTmem_free(path);
    return nullptr;
  }
  FILE *f = _WTfile_open(path, istext(type) ? "r" : "rb");
  WTcell *list = f ? readobjects(f, name, path, type, scale, principal, nullptr, 0) : nullptr;
  _WTmem_free(path);
  if (!list || !list->value) {
    _WTlist_free(list);
    return nullptr;
  }
  for (WTcell *c = list; c; c = c->next) _WTobject_addtoscene(static_cast<WTobject *>(c->value));
  return list;
}

// ---- Copies ------------------------------------------------------------------------------

WTobject *_WTobject_copy(WTobject *object) {
  return absent(object) ? nullptr : _WTobject_copygeometry(object, 0, 1);
}

WTobject *_WTobject_copygeometry(WTobject *object, int, int addtolist) {
  if (!object || !object->geometry) return nullptr;
  WTgeometry *g = WTgeometry_copy(object->geometry);
  WTobject *c = _WTobject_new(g);
  copyplacement(object, c);
  c->portals = _WTportal_copylist(object->portals, object->geometry->vertices, g->vertices, g);
  WTobject **head = _WTuniverse_objectslot();
  if (addtolist && head) {
    c->next = *head;
    *head = c;
  }
  c->flags = WTO_REMOVED | WTO_REMOVALSEEN;
  c->mark = object->mark;
  if (object->name) c->name = _WTfile_basename(object->name);
  return c;
}

// ---- Saving --------------------------------------------------------------------------------

// The writers of the model formats come from the file table (DXF, both NFF forms); the result
// is the writer's and the close's.
int _WTobject_saveone(WTobject *object, const char *path, WTpq *pose, int type) {
  const WTfilekind *kind = _WTfiletable_kind(type);
  if (!kind->writeobject || !path || absent(object)) return 0;
  bakeforsave(object, 1);
  FILE *f = _WTfile_open(path, type == WTFILE_BFF ? "wb" : "w");
  if (!f) return 0;
  int ok = kind->writeobject(f, object, pose);
  return fclose(f) == 0 ? ok : 0;
}

int _WTobject_save(WTcell *list, const char *path, int type) {
  const WTfilekind *kind = _WTfiletable_kind(type);
  if (!kind->writeobjects || !list || !path) return 0;
  for (WTcell *c = list; c; c = c->next)
    if (WTobject *o = static_cast<WTobject *>(c->value)) bakeforsave(o, 0);
  FILE *f = _WTfile_open(path, type == WTFILE_BFF ? "wb" : "w");
  if (!f) return 0;
  int ok = kind->writeobjects(f, list);
  return fclose(f) == 0 ? ok : 0;
}

// ---- Primitives ----------------------------------------------------------------------------

WTobject *_WTobject_newcylinder(float height, float radius, int tess, int bothsides, int gouraud) {
  return wrapprimitive(WTgeometry_newcylinder(height, radius, tess, bothsides, gouraud), "cylinder");
}

WTobject *_WTobject_newblock(float x, float y, float z, int bothsides) {
  return wrapprimitive(WTgeometry_newblock(x, y, z, bothsides), "block");
}

WTobject *_WTobject_newcone(float height, float radius, int tess, int bothsides) {
  return wrapprimitive(WTgeometry_newcone(height, radius, tess, bothsides), "cone");
}

WTobject *_WTobject_newsphere(float radius, int lat, int lon, int bothsides, int gouraud) {
  return wrapprimitive(WTgeometry_newsphere(radius, lat, lon, bothsides, gouraud), "sphere");
}

WTobject *_WTobject_newhemisphere(float radius, int lat, int lon, int bothsides, int gouraud) {
  return wrapprimitive(WTgeometry_newhemisphere(radius, lat, lon, bothsides, gouraud),
                       "hemisphere");
}

WTobject *_WTobject_newextrusion(WTp2 *points, int count, float height, int bothsides,
                                 int gouraud) {
  return wrapprimitive(WTgeometry_newextrusion(points, count, height, bothsides, gouraud),
                       "extrusion");
}

WTobject *_WTobject_newtruncone(float height, float bottom, float top, int tess, int bothsides,
                                int gouraud) {
  return wrapprimitive(WTgeometry_newtruncone(height, bottom, top, tess, bothsides, gouraud),
                       "trunc_cone");
}

WTobject *_WTobject_newrectangle(float height, float width, int bothsides) {
  return wrapprimitive(WTgeometry_newrectangle(height, width, bothsides), "rectangle");
}

// ---- Vertex-by-vertex construction ---------------------------------------------------------

WTobject *_WTobject_begin(void) {
  // Without a construction to begin the object gets an empty geometry of its own.
  return _WTobject_new(WTgeometry_begin());
}

int _WTobject_addvertex(WTobject *object, WTvertex *vertex) {
  if (!object || !vertex) return 0;
  return _WTgeometry_addvertex(object->geometry, vertex);
}

int _WTobject_addvertexsimple(WTobject *object, WTvertex *vertex) {
  if (!object) return 0;
  return _WTgeometry_addvertexsimple(object->geometry, vertex);
}

WTpoly *WTpoly_begin(WTobject *object) {
  return object ? WTgeometry_beginpoly(object->geometry) : nullptr;
}

WTpoly *_WTpoly_newfrompoints(WTobject *object, const WTp3 *points, int count, int flag) {
  return object ? _WTgeometry_newpolyfrompoints(object->geometry, points, count, flag) : nullptr;
}

int _WTobject_close(WTobject *object, int principal, int) {
  if (!object) return 0;
  WTgeometry *g = object->geometry;
  if (!_WTgeometry_close(g)) {
    // A geometry left with too few vertices is gone; the object keeps an empty one.
    object->geometry = _WTgeometry_new(object);
    return 0;
  }
  _WTobject_computeaxes(object, principal);
  _WTtexture_applynames(g);
  _WTobject_cleanpolys(object);
  if (!g->polys) {
    _WTmsg_warning("Can't make object - no valid polygons.\n");
    _WTobject_destroy(object);
    return 0;
  }
  object->last = object->ref = object->pose;
  if (!object->name) object->name = _WTmem_strdup("untitled");
  return 1;
}

void _WTobject_endconstruction(WTobject *object) {
  if (object) _WTgeometry_checkifopen(object->geometry);
}

// ---- Outline boxes -----------------------------------------------------------------------

WTobject *_WTobject_newframebox(const WTp3 half, float width) {
  WTp3 c[8];
  for (int i = 0; i < 8; i++) {
    c[i][0] = (i & 4) ? half[0] : -half[0];
    c[i][1] = (i & 2) ? half[1] : -half[1];
    c[i][2] = (i & 1) ? half[2] : -half[2];
  }
  WTobject *box = _WTobject_begin();
  if (!box) return nullptr;
  for (int e = 0; e < 12; e++) {
    WTp3 pts[4];
    if (!_WTgeometry_outlinequad(c, e, width, pts)) continue;
    WTpoly *p = WTpoly_begin(box);
    for (const WTp3 &pt : pts) {
      WTvertex *v = _WTvertex_newat(pt);
      _WTobject_addvertex(box, v);
      WTpoly_addvertexptr(p, v);
    }
    if (!WTpoly_close(p)) {
      _WTpoly_cancel(p);
      continue;
    }
    WTpoly_setcolor(p, 4095);
    WTpoly_setbothsides(p, 1);
  }
  if (!_WTobject_close(box, 0, 0)) return nullptr;
  WTp3 at;
  memcpy(at, box->pose.p, sizeof(WTp3));
  _WTobject_scale(box, 1.01f, at);
  _WTobject_addtoscene(box);
  return box;
}

WTobject *_WTobject_newoutline(WTobject *object, float width) {
  if (absent(object)) return nullptr;
  const float least = 0.020000001f;
  if (!(width > least)) width = least;
  WTp3 half;
  _WTobject_getsize(object, half);
  for (float &h : half) h = fmaxf(h / 2, width);
  WTobject *box = _WTobject_newframebox(half, width);
  if (!box) return nullptr;
  _WTobject_setposition(box, object->pose.p);
  WTobject_setorientation(box, object->pose.q);
  _WTobject_setpivot(box, object->pivot, 1);
  if (object->handleset) {
    box->handleset = 1;
    memcpy(box->origin, object->origin, sizeof(WTp3));
    memcpy(box->handle, object->handle, sizeof(WTp3));
  }
  return box;
}
}
