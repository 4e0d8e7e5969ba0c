// Object records and the universe's object list: creation and freeing, scene membership, the
// per-frame passes, attachment, walks, accessors, names, tasks and sensors of objects.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/motion.h"
#include "toolkit/core/node.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/objects.h"

namespace {

const WTpq kIdentity = {{0, 0, 0}, {0, 0, 0, 1}};

WTobject **listhead() { return _WTuniverse_objectslot(); }

bool absent(const WTobject *o) { return !o || (o->flags & WTO_DELETED); }

bool inlist(const WTobject *o) {
  for (WTobject *x = _WTobject_first(); x; x = x->next)
    if (x == o) return true;
  return false;
}

void unlinkfromlist(WTobject *o) {
  WTobject **head = listhead();
  for (WTobject **at = head; at && *at; at = &(*at)->next)
    if (*at == o) {
      *at = o->next;
      o->next = nullptr;
      return;
    }
}

void freecells(WTcell *c) { _WTlist_free(c); }

// Removes the first cell naming value; false when there is none.
bool dropcell(WTcell **head, const void *value) {
  for (WTcell **at = head; *at; at = &(*at)->next)
    if ((*at)->value == value) {
      WTcell *c = *at;
      *at = c->next;
      _WTmem_free(c);
      return true;
    }
  return false;
}

bool isdescendant(WTobject *of, WTobject *candidate) {
  for (WTcell *c = of->children; c; c = c->next) {
    WTobject *child = static_cast<WTobject *>(c->value);
    if (child == candidate || isdescendant(child, candidate)) return true;
  }
  return false;
}

// Drops every reference the universe's paths hold to the object.
void forgetinpaths(WTobject *o) {
  WTpath **head = _WTuniverse_pathslot();
  for (WTpath *p = head ? *head : nullptr; p; p = p->next) {
    if (p->markerobject == o) p->markerobject = nullptr;
    if (p->attachedtarget == o) p->attachedtarget = nullptr;
    for (WTpathelement *e = p->first; e; e = e->next)
      if (e->markerobject == o) e->markerobject = nullptr;
  }
  if (o->element && o->element->markerobject == o) o->element->markerobject = nullptr;
}

void freeportals(WTobject *o) {
  for (WTcell *c = o->portals; c; c = c->next) _WTportal_remove(static_cast<WTportal *>(c->value));
  freecells(o->portals);
  o->portals = nullptr;
}

void addone(WTobject *o) {
  if (!inlist(o)) {
    WTobject **head = listhead();
    if (!head) return;
    o->next = *head;
    *head = o;
  } else if (!(o->flags & WTO_REMOVED)) {
    return;
  }
  o->flags = 0;
  _WTobject_checkmoved(o);
  _WTuniverse_scenechanged();
  _WTtask_enableall(o);
  _WTnode_insertobject(o);
}

void addtree(WTobject *o) {
  addone(o);
  for (WTcell *c = o->children; c; c = c->next) addtree(static_cast<WTobject *>(c->value));
}

void removechildren(WTobject *o) {
  for (WTcell *c = o->children; c; c = c->next) {
    WTobject *child = static_cast<WTobject *>(c->value);
    child->flags |= WTO_REMOVED;
    _WTtask_disableall(child);
    if (WTnode *n = _WTobject_getnode(child)) WTnode_remove(n);
    removechildren(child);
  }
}

void deletechildren(WTobject *o) {
  while (WTcell *c = o->children) {
    WTobject *child = static_cast<WTobject *>(c->value);
    if (WTnode *n = _WTobject_getnode(child)) WTnode_delete(n);
    _WTobject_detach(o, child);
    _WTtask_deleteall(child);
    if (child->group) _WTobjgroup_remove(child->group, child);
    deletechildren(child);
    child->flags |= WTO_REMOVED | WTO_DELETED;
  }
}

// Moves the whole chain at *from in front of the chain at *to.
template <class T>
void prependchain(T **from, T **to) {
  if (!*from) return;
  T *last = *from;
  while (last->next) last = last->next;
  last->next = *to;
  *to = *from;
  *from = nullptr;
}

// A material id of one table as an id of another, the entry copied over when it has no twin
// there; the id is kept when either table is missing or the id names no entry.
int carryid(WTmtable *from, WTmtable *to, int id) {
  if (!from || !to || from == to) return id;
  int i = _WTmtable_entryindex(from, id);
  int k = i < 0 ? -1 : _WTmtable_merge(from, i, to);
  return k < 0 ? id : k;
}

void carrymaterials(WTgeometry *from, WTgeometry *to) {
  for (WTpoly *p = from->polys; p; p = p->next) p->matid = carryid(from->mtable, to->mtable, p->matid);
  for (WTvertex *v = from->vertices; v; v = v->next)
    if (v->flags & WTV_MATID) v->matid = carryid(from->mtable, to->mtable, v->matid);
}

template <class Test>
WTobject *nextwhere(WTobject *o, Test test) {
  for (WTobject *x = o->next; x; x = x->next)
    if (test(x)) return x;
  return nullptr;
}

}  // namespace

extern "C" {

WTobject *_WTobject_first(void) {
  WTobject **head = listhead();
  return head ? *head : nullptr;
}

// ---- Creation and storage ----------------------------------------------------------------

WTobject *_WTobject_new(WTgeometry *geometry) {
  WTobject *o = static_cast<WTobject *>(_WTmem_alloc(sizeof(WTobject)));
  memset(o, 0, sizeof(WTobject));
  o->tag = 64;
  o->renderoptions = 1;
  o->mark = 1;
  o->pose = o->ref = o->last = kIdentity;
  if (geometry) {
    o->geometry = geometry;
    geometry->object = o;
  } else {
    o->geometry = _WTgeometry_new(nullptr);
  }
  o->geometry->editopen = 0;
  o->geometry->vchanged = 0;
  return o;
}

void _WTobject_free(WTobject *object) {
  if (!object) return;
  if (object->geometry && object->geometry->node)
    object->geometry->node->u.obj.object = nullptr;
  WTgeometry_delete(object->geometry);
  _WTmem_free(object->name);
  _WTmem_free(object);
}

void _WTobject_destroy(WTobject *object) {
  if (!object) return;
  WTgeometry *g = object->geometry;
  object->geometry = nullptr;
  if (g && g->node) g->node->u.obj.object = nullptr;
  _WTgeometry_checkifopen(g);
  WTgeometry_delete(g);
  unlinkfromlist(object);
  if (object->group) _WTobjgroup_remove(object->group, object);
  _WTmotionlink_deleteall(object);
  for (WTcell *c = object->children; c; c = c->next)
    dropcell(&static_cast<WTobject *>(c->value)->parents, object);
  for (WTcell *c = object->parents; c; c = c->next)
    dropcell(&static_cast<WTobject *>(c->value)->children, object);
  freecells(object->children);
  freecells(object->parents);
  freeportals(object);
  _WTmem_free(object->name);
  _WTterrain_delete(object->terrain);
  forgetinpaths(object);
  _WTtask_deleteall(object);
  _WTmem_free(object);
}

// ---- Scene membership --------------------------------------------------------------------

int _WTobject_addtoscene(WTobject *object) {
  if (absent(object)) return 0;
  addtree(object);
  return 1;
}

int _WTobject_remove(WTobject *object) {
  if (absent(object)) return 0;
  object->flags |= WTO_REMOVED;
  removechildren(object);
  _WTuniverse_scenechanged();
  _WTtask_disableall(object);
  if (WTnode *n = _WTobject_getnode(object)) WTnode_remove(n);
  return 1;
}

void _WTobject_delete(WTobject *object) {
  if (!object) return;
  if (WTnode *n = _WTobject_getnode(object)) WTnode_delete(n);
  if (object->group) _WTobjgroup_remove(object->group, object);
  if (object->sequence) return;
  deletechildren(object);
  _WTobject_detachall(object);
  object->flags |= WTO_REMOVED | WTO_DELETED;
  _WTuniverse_scenechanged();
  _WTtask_deleteall(object);
}

int _WTobject_isinscene(WTobject *object) {
  return object && !(object->flags & (WTO_REMOVED | WTO_DELETED)) && inlist(object);
}

// ---- Per-frame passes --------------------------------------------------------------------

void _WTobject_updateall(WTobject *object) {
  if (!object) return;
  _WTobject_checkmoved(object);
  if (object->flags & WTO_MOVED) _WTuniverse_scenechanged();
}

void _WTobject_freedeleted(WTobject *object) {
  if (!object) return;
  if (object->flags & WTO_DELETED)
    _WTobject_destroy(object);
  else if (object->flags & WTO_REMOVED)
    object->flags |= WTO_REMOVALSEEN;
}

void _WTobject_endframe(void) {
  for (WTobject *o = _WTobject_first(); o; o = o->next)
    if (!(o->flags & WTO_REMOVED)) {
      o->movedlast = o->flags & WTO_MOVED;
      o->flags = 0;
    }
  for (WTobject *o = _WTobject_first(); o; o = o->next)
    if (!(o->flags & (WTO_REMOVED | WTO_REMOVALSEEN | WTO_DELETED))) _WTobject_updateall(o);
  for (WTobject *o = _WTobject_first(), *next; o; o = next) {
    next = o->next;
    if (o->flags && !(o->flags & WTO_REMOVALSEEN)) _WTobject_freedeleted(o);
  }
}

void _WTobject_ready(void) {
  for (WTobject *o = _WTobject_first(); o; o = o->next)
    if (!(o->flags & WTO_DELETED)) _WTobject_checkmoved(o);
  for (WTobject *o = _WTobject_first(); o; o = o->next)
    if (!(o->flags & (WTO_REMOVED | WTO_REMOVALSEEN | WTO_DELETED))) _WTobject_updateall(o);
  for (WTobject *o = _WTobject_first(), *next; o; o = next) {
    next = o->next;
    if (o->flags) _WTobject_freedeleted(o);
  }
  for (WTobject *o = _WTobject_first(), *next; o; o = next) {
    next = o->next;
    if (o->flags & WTO_DELETED) _WTobject_destroy(o);
  }
}

void _WTobject_destroyall(void) {
  while (WTobject *o = _WTobject_first()) _WTobject_destroy(o);
}

// ---- Attachment --------------------------------------------------------------------------

int _WTobject_attach(WTobject *parent, WTobject *child) {
  if (absent(parent) || absent(child) || parent == child) return 0;
  if (isdescendant(child, parent)) return 0;
  parent->children = _WTlist_cell(child, parent->children);
  child->parents = _WTlist_cell(parent, child->parents);
  return 1;
}

int _WTobject_detach(WTobject *parent, WTobject *child) {
  if (absent(parent) || absent(child) || parent == child) return 0;
  if (!dropcell(&parent->children, child)) return 0;
  return dropcell(&child->parents, parent) ? 1 : 0;
}

int _WTobject_detachall(WTobject *object) {
  if (absent(object) || !object->parents) return 0;
  while (WTcell *c = object->parents) {
    WTobject *parent = static_cast<WTobject *>(c->value);
    dropcell(&parent->children, object);
    dropcell(&object->parents, parent);
  }
  return 1;
}

WTcell *_WTobject_getchildren(WTobject *object) {
  return object ? _WTlist_reversecopy(object->children) : nullptr;
}

WTcell *_WTobject_getparents(WTobject *object) {
  return object ? _WTlist_reversecopy(object->parents) : nullptr;
}

WTobjgroup *_WTobject_childgroup(WTobject *object) {
  if (!object || !object->children) return nullptr;
  WTobjgroup *group = _WTobjgroup_new();
  for (WTcell *c = object->children; c; c = c->next)
    _WTobjgroup_add(group, static_cast<WTobject *>(c->value));
  return group;
}

// ---- Walks -------------------------------------------------------------------------------

WTobject *_WTobject_nextvisible(WTobject *object) {
  if (absent(object)) return nullptr;
  return nextwhere(object, [](WTobject *x) { return !(x->flags & (WTO_REMOVED | WTO_REMOVALSEEN)); });
}

WTobject *_WTobject_nextactive(WTobject *object) {
  if (!object || (object->flags & (WTO_REMOVED | WTO_REMOVALSEEN | WTO_DELETED))) return nullptr;
  return nextwhere(object, [](WTobject *x) { return !(x->flags & (WTO_REMOVED | WTO_REMOVALSEEN)); });
}

WTobject *_WTobject_nextremoved(WTobject *object) {
  if (absent(object)) return nullptr;
  return nextwhere(object, [](WTobject *x) {
    return (x->flags & WTO_REMOVED) && !(x->flags & WTO_DELETED);
  });
}

// ---- Accessors ---------------------------------------------------------------------------

WTgeometry *_WTobject_getgeometry(WTobject *object) { return object ? object->geometry : nullptr; }

WTmtable *_WTobject_getmtable(WTobject *object) {
  return object && object->geometry ? object->geometry->mtable : nullptr;
}

WTvertex *_WTobject_firstvertex(WTobject *object) {
  return object && object->geometry ? object->geometry->vertices : nullptr;
}

int _WTobject_setmtable(WTobject *object, WTmtable *table) {
  if (!object || !object->geometry || !table) return 0;
  _WTmtable_attach(object->geometry, table);
  return 1;
}

int _WTobject_numpolys(WTobject *object) {
  return absent(object) || !object->geometry ? 0 : object->geometry->npolys;
}

WTpoly *_WTobject_firstpoly(WTobject *object) {
  return object && object->geometry ? object->geometry->polys : nullptr;
}

WTpoly *_WTobject_findpoly(WTobject *object, int id) {
  if (!object || !object->geometry) return nullptr;
  for (WTpoly *p = object->geometry->polys; p; p = p->next)
    if (p->id == id) return p;
  return nullptr;
}

void _WTobject_setdata(WTobject *object, uint32_t value) {
  if (!absent(object)) object->data = value;
}

uint32_t _WTobject_getdata(WTobject *object) { return absent(object) ? 0 : object->data; }

int _WTobject_setrenderoptions(WTobject *object, int value) {
  if (absent(object)) return 0;
  if (object->renderoptions == value) return 1;
  if (!object->geometry || object->geometry->draw || !_WTgeometry_modifiable(object->geometry))
    return 0;
  object->renderoptions = static_cast<uint8_t>(value);
  return 1;
}

int _WTobject_getrenderoptions(WTobject *object) {
  return absent(object) ? 0 : object->renderoptions;
}

WTanimseq *_WTobject_getsequence(WTobject *object) {
  return absent(object) ? nullptr : object->sequence;
}

int _WTobject_setsequence(WTobject *object, WTanimseq *sequence) {
  if (!object) return 0;
  object->sequence = sequence;
  return 1;
}

int _WTobject_setmark(WTobject *object, unsigned char mark) {
  if (absent(object)) return 0;
  object->mark = mark;
  return 1;
}

unsigned char _WTobject_getmark(WTobject *object) { return absent(object) ? 0 : object->mark; }

// A null object reads as tag 0 rather than faulting.
int _WTobject_gettag(WTobject *object) { return object ? object->tag : 0; }

void _WTobject_settag(WTobject *object, int tag) {
  if (object) object->tag = static_cast<uint8_t>(tag);
}

float _WTobject_getradius(WTobject *object) { return absent(object) ? 0.0f : object->radius; }

WTnode *_WTobject_getnode(WTobject *object) {
  return object && object->geometry ? object->geometry->node : nullptr;
}

void _WTobject_setpathelement(WTobject *object, WTpathelement *element) {
  if (object) object->element = element;
}

// ---- Names -------------------------------------------------------------------------------

void _WTobject_setnamefrompath(WTobject *object, const char *path) {
  if (!object || !path) return;
  char *base = _WTfile_basename(path);
  if (!base || !*base) {
    _WTmem_free(base);
    return;
  }
  _WTmem_free(object->name);
  object->name = base;
}

const char *_WTobject_getname(WTobject *object) {
  if (!object) return nullptr;
  return object->name ? object->name : "untitled";
}

// ---- Tasks and sensors -------------------------------------------------------------------

int _WTobject_settask(WTobject *object, WTtaskfn fn) {
  if (absent(object)) return 0;
  _WTtask_deleteall(object);
  if (fn) _WTtask_new(object, fn, 1.0f);
  return 1;
}

WTtaskfn _WTobject_gettask(WTobject *object) {
  return absent(object) ? nullptr : _WTtask_getfunction(_WTtask_get(object, 0));
}

int _WTobject_deletetasks(WTobject *object) {
  if (absent(object)) return 0;
  _WTtask_deleteall(object);
  return 1;
}

int _WTobject_addsensor(WTobject *object, WTsensor *sensor, int frame) {
  if (absent(object) || frame < 0 || frame > 2) return 0;
  return _WTmotionlink_newsensor(sensor, object, frame, WTTARGET_OBJECT) ? 1 : 0;
}

int _WTobject_removesensor(WTobject *object, WTsensor *sensor) {
  if (!object || !sensor) return 0;
  return _WTuniverse_removemotionlink(sensor, object);
}

int _WTobject_getsensorframe(WTobject *object) {
  if (absent(object)) return 0;
  for (WTmotionlink *l = _WTuniverse_getmotionlinks(); l; l = l->next)
    if (l->target == object && l->targettype == WTTARGET_OBJECT) return l->frame;
  return 0;
}

int _WTobject_setsensorframe(WTobject *object, int frame) {
  if (absent(object)) return 0;
  for (WTmotionlink *l = _WTuniverse_getmotionlinks(); l; l = l->next)
    if (l->target == object && l->targettype == WTTARGET_OBJECT) l->frame = frame;
  return 1;
}

// Gloves and their hand models are not part of the toolkit: every node is its own target.
WTnode *_WTnode_getenabletarget(WTnode *node) { return node; }

WTnode *_WTnode_insertobject(WTobject *object) {
  if (!object || !object->geometry) return nullptr;
  WTnode *n = object->geometry->node;
  if (!n) {
    n = _WTnode_create(nullptr, WTNODE_OBJECT);
    if (!n) return nullptr;
    n->u.obj.object = object;
    object->geometry->node = n;
  }
  WTnode *root = WTuniverse_getrootnodes();
  if (root && _WTuniverse_getoption(11) > 0 && n->nparents == 0) WTnode_addchild(root, n);
  return n;
}

// The poses that geometry reads follow: the reference and the current pose.
int _WTobject_getposes(WTobject *object, WTpq *built, WTpq *current) {
  if (!object) return 0;
  *built = object->ref;
  *current = object->pose;
  return 1;
}

// ---- Object groups -----------------------------------------------------------------------

void _WTobject_mergeinto(WTobject *target, WTobject *other) {
  if (!target || !other || target == other || !target->geometry || !other->geometry) return;
  WTgeometry *to = target->geometry, *from = other->geometry;
  if (!_WTgeometry_modifiable(to) || !_WTgeometry_modifiable(from)) return;
  // Both geometries are brought into world terms first, so that one pose serves them all.
  _WTobject_bake(target, 1);
  _WTobject_bake(other, 1);
  carrymaterials(from, to);
  prependchain(&from->vertices, &to->vertices);
  prependchain(&from->vcopy, &to->vcopy);
  for (WTpoly *p = from->polys; p; p = p->next) p->geometry = to;
  prependchain(&from->polys, &to->polys);
  from->vtail = nullptr;
  from->npolys = 0;
  _WTtask_moveall(other, target);
}

void _WTobject_finishmerge(WTobject *target, int flag) {
  if (!target || !target->geometry) return;
  WTgeometry *g = target->geometry;
  g->npolys = 0;
  for (WTpoly *p = g->polys; p; p = p->next, g->npolys++) p->geometry = g;
  g->vtail = nullptr;
  _WTobject_computeaxes(target, flag);
  target->ref = target->last = target->pose;
}

WTobjgroup *_WTobject_getgroup(WTobject *object) { return object ? object->group : nullptr; }

void _WTobject_setgroup(WTobject *object, WTobjgroup *group) {
  if (object) object->group = group;
}
}
