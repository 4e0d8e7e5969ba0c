// How nodes end, how model files become nodes, writing a node back, the printout of a graph and
// the reordering of a separator's children.
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/core/filetable.h"
#include "toolkit/core/nodestate.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/render/render.h"

namespace {

void unlinkfromparent(WTnodelink *l) {
  WTnode *p = l->parent;
  if (l->prevsibling)
    l->prevsibling->nextsibling = l->nextsibling;
  else
    p->firstchild = l->nextsibling;
  if (l->nextsibling)
    l->nextsibling->prevsibling = l->prevsibling;
  else
    p->lastchild = l->prevsibling;
}

void unlinkfromchild(WTnodelink *l) {
  WTnode *c = l->child;
  WTnodelink *first = c->firstparent;
  if (l == first) {
    WTnodelink *next = l->nextofchild;
    if (next) next->prevofchild = first->prevofchild == next ? nullptr : first->prevofchild;
    c->firstparent = next;
  } else {
    l->prevofchild->nextofchild = l->nextofchild;
    if (l->nextofchild)
      l->nextofchild->prevofchild = l->prevofchild;
    else
      first->prevofchild = l->prevofchild == first ? nullptr : l->prevofchild;
  }
}

// Frees a node that no parent holds any more; its children that lose their last parent follow.
void freeorphans(WTnode *node) {
  std::vector<WTnode *> work{node};
  while (!work.empty()) {
    WTnode *n = work.back();
    work.pop_back();
    _WTmotionlink_deleteall(n);
    _WTbase_calldeleted(n);
    WTbase_removeallhandlers(n);
    WTbase_deleteproperties(n);
    _WTnode_unname(n);
    while (WTnodelink *l = n->firstchild) {
      unlinkfromparent(l);
      unlinkfromchild(l);
      WTnode *c = l->child;
      _WTmem_free(l);
      if (c->nparents > 0) c->nparents--;
      if (c->nparents == 0 && !c->firstparent) work.push_back(c);
    }
    _WTnode_freepayload(n);
    _WTtask_deleteall(n);
    _WTmem_free(n);
  }
}

// Deletes the link to child index; the child goes with it when that was its last parent.
int deletechildat(WTnode *parent, int index) {
  WTnodelink *l = _WTnode_childlink(parent, index);
  if (!l) return 0;
  WTnode *c = l->child;
  unlinkfromparent(l);
  unlinkfromchild(l);
  _WTmem_free(l);
  if (c->nparents > 0) c->nparents--;
  if (c->nparents == 0 && !c->firstparent) freeorphans(c);
  return 1;
}

const char *label(WTnode *n) {
  if (n->kind == WTNODE_MTABLE) return "Mtable    ";
  static const char *const labels[] = {
      "          ", "Xform     ", "Lod       ", "MLod      ", "Switch    ", "MSwitch   ",
      "Geometry  ", "MGeometry ", "Group     ", "Separator ", "MSeparator", "WTobject  ",
      "Light     ", "MLight    ", "Anchor    ", "Inline    ", "Xformsep  ", "Material  ",
      "Fog       ", "Ambient   ", "Rendering ", "Root      ", "Callback  "};
  int t = WTnode_gettype(n);
  return t >= 0 && t < static_cast<int>(sizeof labels / sizeof labels[0]) ? labels[t] : "          ";
}

bool isgeometrytype(int type) { return _WTfiletable_kind(type)->readgeometries != nullptr; }

FILE *opengeometry(const char *path, int type) {
  bool text = type == WTFILE_DXF || type == WTFILE_NFF || type == WTFILE_WFRONT;
  return _WTfile_open(path, text ? "rt" : "rb");
}

// The checks shared by the loaders: the parent that receives the nodes, or null after a refusal.
WTnode *loadparent(WTnode *parent, const char *name, float scale) {
  if (!name) return nullptr;
  if (scale < 1e-20f) {
    _WTmsg_warning("Nonsensical scale factor.\n");
    return nullptr;
  }
  WTnode *p = parent ? _WTnode_resolveparent(parent) : _WTnode_defaultparent();
  return _WTnode_checkparent(p) ? p : nullptr;
}

// The found path, owned by the caller; null with the warning when there is none.
char *findmodel(const char *name) {
  const char *found = _WTfile_findmodel(name);
  if (!found) {
    _WTmsg_warning("Couldn't find file %s\n", name);
    return nullptr;
  }
  return _WTmem_strdup(found);
}

WTnode *nodesfor(WTnode *parent, WTgeomlist *list, bool firstonly) {
  WTnode *first = nullptr;
  while (list) {
    WTgeomlist *next = list->next;
    WTgeometry *g = list->geometry;
    if (g && (!firstonly || !first)) {
      WTnode *n = WTgeometrynode_new(parent, g);
      if (n) WTnode_setname(n, WTgeometry_getname(g));
      if (!first) first = n;
    } else if (g) {
      WTgeometry_delete(g);
    }
    _WTmem_free(list);
    list = next;
  }
  return first;
}

WTnode *loadlights(WTnode *parent, const char *path) {
  WTnodelink *last = parent->lastchild;
  WTlightnode_load(parent, path);
  WTnodelink *added = last ? last->nextsibling : parent->firstchild;
  return added ? added->child : nullptr;
}

WTnode *loadbytype(WTnode *parent, const char *name, const char *path, float scale) {
  int type = _WTfile_gettype(path);
  if (type == WTFILE_OLDBINARY1 || type == WTFILE_OLDBINARY2) {
    _WTmsg_warning("VAV 1.01 binary format is no longer supported.\n");
    return nullptr;
  }
  if (type == WTFILE_LIGHTS) return loadlights(parent, path);
  const WTfilekind *kind = _WTfiletable_kind(type);
  if (kind->loadnode) return kind->loadnode(parent, path, scale);
  if (!kind->readgeometries) {
    _WTmsg_warning("Unknown file type: %s\n", name);
    return nullptr;
  }
  FILE *f = opengeometry(path, type);
  if (!f) return nullptr;
  WTpq pose;
  return nodesfor(parent, _WTgeometry_load(f, path, type, &pose, scale, 0), false);
}

// The type's node writer (VRML 1.0) into a new text file: false when the file cannot be made or
// a write or the close fails.
int savenodes(const WTfilekind *kind, WTnode *node, const char *path, void *viewpoint, int flags) {
  FILE *f = _WTfile_open(path, "wt");
  if (!f) return 0;
  int ok = kind->savenode(node, f, static_cast<WTviewpoint *>(viewpoint), flags);
  return fclose(f) == 0 && ok;
}

}  // namespace

extern "C" {

void _WTnode_freepayload(WTnode *n) {
  switch (n->kind) {
    case WTNODE_LOD:
      _WTmem_free(n->u.lod.squares);
      _WTmem_free(n->u.lod.text);
      break;
    case WTNODE_GEOMETRY:
      if (WTgeometry *g = n->u.geometry) {
        g->node = nullptr;
        WTgeometry_delete(g);
      }
      break;
    case WTNODE_OBJECT:
      // The object owns its geometry: the node only lets go of it and deletes the object.
      if (WTobject *o = n->u.obj.object) {
        n->u.obj.object = nullptr;
        if (o->geometry) o->geometry->node = nullptr;
        _WTobject_delete(o);
      }
      break;
    case WTNODE_LIGHT:
      if (WTlight *l = n->u.light.light) {
        l->node = nullptr;
        _WTlight_delete(l);
      }
      break;
    case WTNODE_ANCHOR:
    case WTNODE_INLINE:
      _WTmem_free(n->u.location);
      break;
    default:
      break;
  }
  _WTmem_free(n->childrentext);
  _WTmem_free(n->mvattext);
  n->childrentext = n->mvattext = nullptr;
}

WTnode *WTgeometrynode_new(WTnode *parent, WTgeometry *geometry) {
  if (!geometry || geometry->node) return nullptr;
  WTnode *n = _WTnode_create(parent, WTNODE_GEOMETRY);
  if (!n) return nullptr;
  n->u.geometry = geometry;
  geometry->node = n;
  return n;
}

int WTnode_delete(WTnode *node) {
  if (!node || node->kind == WTNODE_ROOT || node->kind == WTNODE_LINK) return 0;
  if (!WTnode_remove(node)) return 0;
  WTnodelink *l = node->firstparent;
  unlinkfromparent(l);
  node->firstparent = nullptr;
  node->nparents = 0;
  _WTmem_free(l);
  freeorphans(node);
  return 1;
}

int _WTnode_delete(WTnode *node) {
  if (!node) return 0;
  if (node->kind == WTNODE_GEOMETRY && node->u.geometry)
    node->u.geometry->node = nullptr, node->u.geometry = nullptr;
  else if (node->kind == WTNODE_LIGHT && node->u.light.light)
    node->u.light.light->node = nullptr, node->u.light.light = nullptr;
  else if (node->kind != WTNODE_GEOMETRY && node->kind != WTNODE_LIGHT &&
           node->kind != WTNODE_OBJECT)
    return 0;
  while (WTnodelink *l = node->firstparent) {
    if (l->parent != _WTnode_defaultparent()) _WTnode_markchanged(l->parent);
    unlinkfromparent(l);
    unlinkfromchild(l);
    _WTmem_free(l);
  }
  node->nparents = 0;
  freeorphans(node);
  return 1;
}

int WTnode_deletechild(WTnode *parent, int index) {
  WTnode *p = _WTnode_resolveparent(parent);
  if (!_WTnode_childlink(p, index)) return 0;
  _WTnode_markchanged(p);
  return deletechildat(p, index);
}

void _WTnode_deleteall(int all) {
  for (WTnode *r = WTuniverse_getrootnodes(); r; r = WTrootnode_next(r))
    while (deletechildat(r, 0)) {
    }
  while (deletechildat(_WTnode_defaultparent(), 0)) {
  }
  if (!all) return;
  std::vector<WTnode *> roots;
  for (WTnode *r = WTuniverse_getrootnodes(); r; r = WTrootnode_next(r)) roots.push_back(r);
  _WTnode_removeroots();
  for (WTnode *r : roots) freeorphans(r);
  _WTnode_freestates();
}

void WTnode_vacuum(void) { _WTnode_deleteall(0); }

WTnode *WTnode_load(WTnode *parent, const char *name, float scale) {
  WTnode *p = loadparent(parent, name, scale);
  if (!p) return nullptr;
  if (strncmp(name, "http://", 7) == 0) {
    // Only VRML files are fetched from an address.
    const WTfilekind *vrml = _WTfiletable_kind(WTFILE_VRML1);
    return vrml->loadnode ? vrml->loadnode(p, name, scale) : nullptr;
  }
  char *path = findmodel(name);
  if (!path) return nullptr;
  WTnode *first = loadbytype(p, name, path, scale);
  _WTmem_free(path);
  return first;
}

WTnode *WTgeometrynode_load(WTnode *parent, const char *name, float scale) {
  WTnode *p = loadparent(parent, name, scale);
  if (!p) return nullptr;
  char *path = findmodel(name);
  if (!path) return nullptr;
  WTnode *node = nullptr;
  int type = _WTfile_gettype(path);
  if (isgeometrytype(type)) {
    if (FILE *f = opengeometry(path, type)) {
      WTpq pose;
      node = nodesfor(p, _WTgeometry_load(f, path, type, &pose, scale, 1), true);
    }
  }
  _WTmem_free(path);
  return node;
}

int WTnode_save(WTnode *node, const char *path, void *arg, int type, int flags) {
  if (!node || !path) return 0;
  WTnode *n = _WTnode_resolve(node);
  // VRML 2 has no writer here: the outside library's is not bound.
  const WTfilekind *kind = _WTfiletable_kind(type);
  if (kind->savenode) return savenodes(kind, node, path, arg, flags);
  return n->kind == WTNODE_GEOMETRY ? WTgeometry_save(n->u.geometry, path, arg, type) : 0;
}

void WTnode_print(WTnode *node) {
  if (!node) return;
  struct Entry {
    WTnode *node;
    int depth;
  };
  std::vector<Entry> stack{{node, 0}};
  while (!stack.empty()) {
    Entry e = stack.back();
    stack.pop_back();
    std::string indent;
    for (int i = 0; i < e.depth; i++) indent += "  ";
    const char *name = e.node->name ? e.node->name : "None";
    _WTmsg_info("%sDepth %d %s \"%s\"\n", indent.c_str(), e.depth, label(e.node), name);
    WTnode *content = _WTnode_resolveparent(e.node);
    if (!_WTnode_checkparent(content)) continue;
    for (WTnodelink *l = content->lastchild; l; l = l->prevsibling)
      stack.push_back({l->child, e.depth + 1});
  }
}

int WTsepnode_reorder(WTnode *sep, const int *order, int n) {
  WTnode *s = _WTnode_resolveparent(sep);
  if (!s || s->kind != WTNODE_SEP || !order) return 0;
  if (!_WTnode_firepre(sep, "Children")) return 0;
  WTnodelink *links[64];
  int count = 0;
  for (WTnodelink *l = s->firstchild; l; l = l->nextsibling) {
    if (count == 64) return 0;
    links[count++] = l;
  }
  if (n != count) return 0;
  bool used[64] = {};
  for (int i = 0; i < n; i++) {
    if (order[i] < 0 || order[i] >= n || used[order[i]]) return 0;
    used[order[i]] = true;
  }
  for (int i = 0; i < n; i++) {
    WTnodelink *l = links[order[i]];
    l->prevsibling = i > 0 ? links[order[i - 1]] : nullptr;
    l->nextsibling = i + 1 < n ? links[order[i + 1]] : nullptr;
  }
  s->firstchild = n ? links[order[0]] : nullptr;
  s->lastchild = n ? links[order[n - 1]] : nullptr;
  _WTnode_markchanged(s);
  _WTnode_postchildren(sep);
  return 1;
}
}
