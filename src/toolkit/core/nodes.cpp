// Scene-graph nodes: the records, their constructors, the parent/child links and the name table.
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/core/node.h"
#include "toolkit/core/platform.h"

namespace {

WTnode defaultparent = [] {
  WTnode n;
  memset(&n, 0, sizeof n);
  n.kind = WTNODE_ROOT;
  n.flags = WTNF_HOLDER;
  return n;
}();

bool events = true;

// Roots in creation order.
WTcell *roots;

// ---- Links ---------------------------------------------------------------------------------

WTnodelink *newlink(WTnode *parent, WTnode *child) {
  WTnodelink *l = static_cast<WTnodelink *>(_WTmem_alloc(sizeof(WTnodelink)));
  memset(l, 0, sizeof *l);
  l->kind = WTNODE_LINK;
  l->flags = 1;
  l->parent = parent;
  l->child = child;
  return l;
}

void siblingappend(WTnode *parent, WTnodelink *l) {
  l->parent = parent;
  l->nextsibling = nullptr;
  l->prevsibling = parent->lastchild;
  if (parent->lastchild)
    parent->lastchild->nextsibling = l;
  else
    parent->firstchild = l;
  parent->lastchild = l;
}

void siblinginsert(WTnode *parent, WTnodelink *l, WTnodelink *before) {
  l->parent = parent;
  l->nextsibling = before;
  l->prevsibling = before->prevsibling;
  if (before->prevsibling)
    before->prevsibling->nextsibling = l;
  else
    parent->firstchild = l;
  before->prevsibling = l;
}

void siblingunlink(WTnode *parent, WTnodelink *l) {
  if (l->prevsibling)
    l->prevsibling->nextsibling = l->nextsibling;
  else
    parent->firstchild = l->nextsibling;
  if (l->nextsibling)
    l->nextsibling->prevsibling = l->prevsibling;
  else
    parent->lastchild = l->prevsibling;
  l->nextsibling = l->prevsibling = nullptr;
}

WTnodelink *chainlast(WTnode *child) {
  WTnodelink *first = child->firstparent;
  return first && first->prevofchild ? first->prevofchild : first;
}

void chainappend(WTnode *child, WTnodelink *l) {
  l->nextofchild = nullptr;
  WTnodelink *first = child->firstparent;
  if (!first) {
    l->prevofchild = nullptr;
    child->firstparent = l;
    return;
  }
  WTnodelink *last = chainlast(child);
  last->nextofchild = l;
  l->prevofchild = last;
  first->prevofchild = l;
}

void chainunlink(WTnode *child, WTnodelink *l) {
  WTnodelink *first = child->firstparent;
  if (l == first) {
    WTnodelink *next = l->nextofchild;
    if (next) next->prevofchild = first->prevofchild == next ? nullptr : first->prevofchild;
    child->firstparent = next;
  } else {
    WTnodelink *prev = l->prevofchild;
    prev->nextofchild = l->nextofchild;
    if (l->nextofchild)
      l->nextofchild->prevofchild = prev;
    else
      first->prevofchild = prev == first ? nullptr : prev;
  }
  l->nextofchild = l->prevofchild = nullptr;
}

bool underdefault(const WTnode *node) {
  return node->firstparent && node->firstparent->parent == &defaultparent;
}

// Whether candidate is the node itself or one of its ancestors.
bool isancestor(WTnode *candidate, WTnode *node) {
  std::vector<WTnode *> stack{node};
  while (!stack.empty()) {
    WTnode *n = stack.back();
    stack.pop_back();
    if (n == candidate) return true;
    for (WTnodelink *l = n->firstparent; l; l = l->nextofchild)
      if (l->parent != &defaultparent) stack.push_back(l->parent);
  }
  return false;
}

// ---- Name table ----------------------------------------------------------------------------

struct NameCell {
  NameCell *next;
  WTnode *node;
};
NameCell *buckets[64];

unsigned bucketof(const char *s) {
  size_t n = strlen(s);
  if (n == 0) return 0;
  int sum = static_cast<int>(n) + static_cast<signed char>(s[0]) +
            static_cast<signed char>(s[n / 2]) + static_cast<signed char>(s[n - 1]);
  return static_cast<unsigned>(sum) & 63;
}

void nameinsert(WTnode *node) {
  NameCell *c = static_cast<NameCell *>(_WTmem_alloc(sizeof(NameCell)));
  unsigned b = bucketof(node->name);
  c->node = node;
  c->next = buckets[b];
  buckets[b] = c;
}

bool nameremove(WTnode *node) {
  for (NameCell **p = &buckets[bucketof(node->name)]; *p; p = &(*p)->next) {
    if ((*p)->node == node) {
      NameCell *c = *p;
      *p = c->next;
      _WTmem_free(c);
      return true;
    }
  }
  return false;
}

WTnode *findexact(const char *name, int index) {
  if (!name || index < 0) return nullptr;
  for (NameCell *c = buckets[bucketof(name)]; c; c = c->next)
    if (strcmp(c->node->name, name) == 0 && index-- == 0) return c->node;
  return nullptr;
}

// ---- Children ------------------------------------------------------------------------------

void rebuildchildrentext(WTnode *node) {
  std::string text;
  for (WTnodelink *l = node->firstchild; l; l = l->nextsibling) {
    if (l != node->firstchild) text += ',';
    if (l->child->name) text += l->child->name;
  }
  _WTmem_free(node->childrentext);
  node->childrentext = _WTmem_strdup(text.c_str());
}

// Links the child under the resolved parent before `before` (null: at the end).
void attach(WTnode *parent, WTnode *child, WTnodelink *before) {
  WTnodelink *l = nullptr;
  if (underdefault(child)) {
    l = child->firstparent;
    siblingunlink(&defaultparent, l);
    child->nparents = 0;
  }
  bool reused = l != nullptr;
  if (!l) l = newlink(parent, child);
  l->flags = 1;
  if (before)
    siblinginsert(parent, l, before);
  else
    siblingappend(parent, l);
  l->child = child;
  child->nparents++;
  _WTnode_markchanged(parent);
  if (!reused) chainappend(child, l);
}

void initpayload(WTnode *n) {
  switch (n->kind) {
    case WTNODE_SEP:
    case WTNODE_ROOT:
      n->u.cullmode = 3;
      break;
    case WTNODE_SWITCH:
      n->u.whichchild = -1;
      break;
    case WTNODE_XFORM:
      for (int i = 0; i < 4; i++) n->u.xform.m[i][i] = 1.0f;
      break;
    case WTNODE_AMBIENT:
      n->u.ambient.rgb[0] = n->u.ambient.rgb[1] = n->u.ambient.rgb[2] = 1.0f;
      n->u.ambient.intensity = 0.4f;
      break;
    case WTNODE_MATERIAL:
      n->u.material.opacity = 1.0f;
      break;
    default:
      break;
  }
}

WTnode *allocnode(int kind) {
  WTnode *n = static_cast<WTnode *>(_WTmem_alloc(sizeof(WTnode)));
  memset(n, 0, sizeof *n);
  n->kind = static_cast<unsigned char>(kind);
  n->flags = WTNF_ENABLED | WTNF_CHANGED;
  initpayload(n);
  return n;
}

void fatallinks(const char *text) {
  printf("%s", text);
  fflush(stdout);
  _WTsys_exit(1);
}

}  // namespace

extern "C" {

void _WTnode_setevents(int on) { events = on != 0; }
int _WTnode_getevents(void) { return events; }

int _WTnode_firepre(void *object, const char *name) {
  return !events || WTproperty_firehandlers_pre(object, name);
}

void _WTnode_firepost(void *object, const char *name, const void *value) {
  if (events) WTproperty_firehandlers(object, name, value);
}

int _WTnode_haspost(void *object, const char *name) {
  return events && WTproperty_numhandlers(object, name) > 0;
}

WTnode *_WTnode_defaultparent(void) { return &defaultparent; }

int _WTnode_checkparent(WTnode *node) {
  if (!node) return 0;
  switch (node->kind) {
    case WTNODE_LOD:
    case WTNODE_SWITCH:
    case WTNODE_GROUP:
    case WTNODE_SEP:
    case WTNODE_ANCHOR:
    case WTNODE_INLINE:
    case WTNODE_XFORMSEP:
    case WTNODE_ROOT:
      return 1;
    default:
      return 0;
  }
}

WTnode *_WTnode_resolveparent(WTnode *node) {
  if (!node || !(node->flags & WTNF_MOVABLE) || !node->lastchild) return node;
  WTnode *content = node->lastchild->child;
  if ((content->flags & WTNF_INNER) && content->firstchild) content = content->firstchild->child;
  return content;
}

WTnode *_WTnode_resolve(WTnode *node) {
  if (!node) return nullptr;
  if ((node->flags & WTNF_MOVABLE) && node->lastchild) return node->lastchild->child;
  if ((node->flags & WTNF_INNER) && node->firstchild) return node->firstchild->child;
  return node;
}

WTnode *_WTnode_resolvexform(WTnode *node) {
  if (node && (node->flags & WTNF_MOVABLE) && node->firstchild) return node->firstchild->child;
  return node;
}

void _WTnode_markupward(WTnodelink *start) {
  std::vector<WTnodelink *> stack;
  if (start) stack.push_back(start);
  while (!stack.empty()) {
    WTnodelink *from = stack.back();
    stack.pop_back();
    for (WTnodelink *l = from; l; l = l->nextofchild) {
      if (l->kind != WTNODE_LINK) {
        fatallinks("FATAL ERROR IN PARENT LINKS\n");
        return;
      }
      if (l != from && (l->flags & WTLF_MARKED)) continue;
      l->child->flags |= WTNF_CHANGED;
      if (l->flags & WTLF_MARKED) continue;
      l->flags |= WTLF_MARKED;
      WTnode *parent = l->parent;
      if (parent->firstparent) {
        stack.push_back(parent->firstparent);
      } else if (parent->kind != WTNODE_ROOT) {
        fatallinks("FATAL ERROR: node root is wrong type\n");
        return;
      } else {
        parent->flags |= WTNF_CHANGED;
      }
    }
  }
}

void _WTnode_markchanged(WTnode *node) {
  if (!node) return;
  if (node->firstparent)
    _WTnode_markupward(node->firstparent);
  else
    node->flags |= WTNF_CHANGED;
}

WTnodelink *_WTnode_childlink(WTnode *parent, int index) {
  if (!parent || index < 0 || !_WTnode_checkparent(parent)) return nullptr;
  WTnodelink *l = parent->firstchild;
  while (l && index-- > 0) l = l->nextsibling;
  return l;
}

void _WTnode_postchildren(WTnode *node) {
  if (!_WTnode_haspost(node, "Children")) return;
  WTnode *content = _WTnode_resolveparent(node);
  rebuildchildrentext(content);
  WTproperty_firehandlers(node, "Children", content->childrentext);
}

WTnodelink *_WTnodelink_new(WTnode *parent, WTnode *child) { return newlink(parent, child); }
void _WTnodelink_siblingappend(WTnode *parent, WTnodelink *l) { siblingappend(parent, l); }
void _WTnodelink_siblingunlink(WTnode *parent, WTnodelink *l) { siblingunlink(parent, l); }
void _WTnodelink_chainappend(WTnode *child, WTnodelink *l) { chainappend(child, l); }
void _WTnodelink_chainunlink(WTnode *child, WTnodelink *l) { chainunlink(child, l); }

void _WTnode_addchildraw(WTnode *parent, WTnode *child) {
  WTnodelink *l = newlink(parent, child);
  siblingappend(parent, l);
  child->firstparent = l;
  if (parent != &defaultparent) child->nparents++;
  _WTnode_markchanged(parent);
}

WTnode *_WTnode_create(WTnode *parent, int kind) {
  WTnode *p = parent ? _WTnode_resolveparent(parent) : &defaultparent;
  if (!_WTnode_checkparent(p)) return nullptr;
  WTnode *n = allocnode(kind);
  _WTnode_addchildraw(p, n);
  return n;
}

void _WTnode_addroot(WTnode *root) {
  WTcell *cell = _WTlist_cell(root, nullptr);
  roots = _WTlist_join(roots, cell);
}

void _WTnode_removeroots(void) {
  _WTlist_free(roots);
  roots = nullptr;
}

void _WTnode_unname(WTnode *node) {
  if (!node || !node->name) return;
  nameremove(node);
  _WTmem_free(node->name);
  node->name = nullptr;
}

// ---- Constructors --------------------------------------------------------------------------

WTnode *WTrootnode_new(void) {
  WTnode *n = allocnode(WTNODE_ROOT);
  n->flags = WTNF_ENABLED | WTNF_CHANGED;
  _WTnode_addroot(n);
  return n;
}

WTnode *WTgroupnode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_GROUP); }
WTnode *WTswitchnode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_SWITCH); }
WTnode *WTsepnode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_SEP); }
WTnode *WTxformnode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_XFORM); }
WTnode *WTlodnode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_LOD); }
WTnode *WTxformsepnode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_XFORMSEP); }
WTnode *WTanchornode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_ANCHOR); }
WTnode *WTinlinenode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_INLINE); }
WTnode *WTmaterialnode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_MATERIAL); }
WTnode *WTfognode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_FOG); }
WTnode *WTlightnode_newambient(WTnode *parent) { return _WTnode_create(parent, WTNODE_AMBIENT); }
WTnode *_WTmtablenode_new(WTnode *parent) { return _WTnode_create(parent, WTNODE_MTABLE); }

// ---- Attaching and detaching ---------------------------------------------------------------

int WTnode_canaddchild(WTnode *parent, WTnode *child) {
  if (!parent || !child) return 0;
  WTnode *p = _WTnode_resolveparent(parent);
  return _WTnode_checkparent(p) && child->kind != WTNODE_ROOT && !isancestor(child, p);
}

int WTnode_addchild(WTnode *parent, WTnode *child) {
  if (!child || child->kind == WTNODE_ROOT || child->kind == WTNODE_LINK) return 0;
  WTnode *p = _WTnode_resolveparent(parent);
  if (!_WTnode_checkparent(p) || isancestor(child, p)) return 0;
  if (!_WTnode_firepre(parent, "Children")) return 0;
  attach(p, child, nullptr);
  _WTnode_postchildren(parent);
  return 1;
}

int WTnode_insertchild(WTnode *parent, WTnode *child, int index) {
  if (!child || child->kind == WTNODE_ROOT || child->kind == WTNODE_LINK) return 0;
  WTnode *p = _WTnode_resolveparent(parent);
  if (!_WTnode_checkparent(p) || index < 0) return 0;
  int count = WTnode_numchildren(p);
  if (index > count) return 0;
  if (index == count) return WTnode_addchild(parent, child);
  if (isancestor(child, p)) return 0;
  if (!_WTnode_firepre(parent, "Children")) return 0;
  attach(p, child, _WTnode_childlink(p, index));
  _WTnode_postchildren(parent);
  return 1;
}

int WTnode_removechild(WTnode *parent, int index) {
  WTnode *p = _WTnode_resolveparent(parent);
  WTnodelink *l = _WTnode_childlink(p, index);
  if (!l) return 0;
  if (!_WTnode_firepre(parent, "Children")) return 0;
  _WTnode_markchanged(p);
  siblingunlink(p, l);
  WTnode *child = l->child;
  if (child->nparents > 0) child->nparents--;
  if (child->nparents > 0) {
    chainunlink(child, l);
    _WTmem_free(l);
  } else {
    siblingappend(&defaultparent, l);
  }
  _WTnode_postchildren(parent);
  return 1;
}

int WTnode_remove(WTnode *node) {
  if (!node || !node->firstparent) return 0;
  if (underdefault(node)) return 1;
  std::vector<WTnode *> parents;
  for (WTnodelink *l = node->firstparent; l; l = l->nextofchild) {
    WTnode *p = l->parent;
    bool seen = false;
    for (WTnode *q : parents) seen = seen || q == p;
    if (seen) continue;
    parents.push_back(p);
    _WTmem_free(p->childrentext);
    p->childrentext = nullptr;
    if (!_WTnode_firepre(p, "Children")) return 0;
  }
  _WTnode_markupward(node->firstparent);
  WTnodelink *first = node->firstparent;
  while (WTnodelink *l = first->nextofchild) {
    siblingunlink(l->parent, l);
    chainunlink(node, l);
    _WTmem_free(l);
  }
  siblingunlink(first->parent, first);
  node->nparents = 0;
  siblingappend(&defaultparent, first);
  for (WTnode *p : parents) _WTnode_postchildren(p);
  return 1;
}

int WTnode_setchildren(WTnode *node, const char *text) {
  WTnode *p = _WTnode_resolveparent(node);
  if (!_WTnode_checkparent(p)) return 0;
  if (!_WTnode_firepre(node, "Children")) return 0;
  bool was = events;
  events = false;
  while (p->firstchild && WTnode_removechild(p, 0)) {
  }
  if (text) {
    std::string copy(text);
    for (char *token = strtok(&copy[0], " ,;"); token; token = strtok(nullptr, " ,;"))
      if (WTnode *found = findexact(token, 0)) WTnode_addchild(p, found);
  }
  events = was;
  _WTnode_postchildren(node);
  return 1;
}

const char *WTnode_getchildren(WTnode *node) {
  WTnode *p = _WTnode_resolveparent(node);
  return p ? p->childrentext : nullptr;
}

// ---- Walking children and parents ----------------------------------------------------------

int WTnode_numchildren(WTnode *node) {
  WTnode *p = _WTnode_resolveparent(node);
  if (!_WTnode_checkparent(p)) return 0;
  int n = 0;
  for (WTnodelink *l = p->firstchild; l; l = l->nextsibling) n++;
  return n;
}

WTnode *WTnode_getchild(WTnode *node, int index) {
  WTnodelink *l = _WTnode_childlink(_WTnode_resolveparent(node), index);
  return l ? l->child : nullptr;
}

int WTnode_numparents(WTnode *node) { return node ? node->nparents : 0; }

WTnode *WTnode_getparent(WTnode *node, int index) {
  if (!node || index < 0 || index >= node->nparents) return nullptr;
  WTnodelink *l = node->firstparent;
  while (l && index-- > 0) l = l->nextofchild;
  if (!l) return nullptr;
  WTnode *p = l->parent;
  if ((p->flags & WTNF_INNER) && p->firstparent) return p->firstparent->parent;
  if (p->firstparent) {
    WTnode *above = p->firstparent->parent;
    if ((above->flags & WTNF_MOVABLE) && above->lastchild && above->lastchild->child == p)
      return above;
  }
  return p;
}

WTnode *WTuniverse_getrootnodes(void) { return roots ? static_cast<WTnode *>(roots->value) : nullptr; }

WTnode *WTrootnode_next(WTnode *root) {
  if (!root || root->kind != WTNODE_ROOT) return nullptr;
  for (WTcell *c = roots; c; c = c->next)
    if (c->value == root) return c->next ? static_cast<WTnode *>(c->next->value) : nullptr;
  return nullptr;
}

int WTnode_gettype(WTnode *node) {
  if (!node) return 0;
  if (node->flags & WTNF_MOVABLE) return WTnode_gettype(_WTnode_resolve(node)) + 1;
  return node->kind == WTNODE_AMBIENT ? static_cast<int>(WTNODE_LIGHT) : static_cast<int>(node->kind);
}

int WTnode_ismovable(WTnode *node) { return node && (node->flags & WTNF_MOVABLE) ? 1 : 0; }

// ---- Names and user data -------------------------------------------------------------------

int WTnode_setname(WTnode *node, const char *name) {
  if (!node || _WTbase_callisnamestored(node)) return 0;
  if (node->name) {
    if (!nameremove(node)) _WTmsg_warning("Could not find node name %s\n", node->name);
    _WTmem_free(node->name);
    node->name = nullptr;
  }
  if (name) {
    node->name = _WTmem_strdup(name);
    nameinsert(node);
  }
  return 1;
}

const char *WTnode_getname(WTnode *node) { return node ? node->name : nullptr; }

WTnode *WTuniverse_findnode(const char *name, int n) {
  if (!name) return nullptr;
  size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  for (NameCell *c = buckets[bucketof(name)]; c; c = c->next)
    if (strncmp(c->node->name, name, count) == 0) return c->node;
  return nullptr;
}

WTnode *WTuniverse_findnodebyname(const char *name, int index) { return findexact(name, index); }

void WTnode_setdata(WTnode *node, void *data) {
  if (node) node->data = data;
}

void *WTnode_getdata(WTnode *node) { return node ? node->data : nullptr; }

void _WTnode_sethaseventhandlers(WTnode *, int) {}

int _WTnode_gethaseventhandlers(WTnode *) { return 0; }
}
