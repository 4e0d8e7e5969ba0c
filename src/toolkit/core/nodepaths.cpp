// Node paths: one route of link cells from a root down to a node, with its composed transform.
#include <string.h>

#include <vector>

#include "toolkit/core/motion.h"
#include "toolkit/core/nodepath.h"

namespace {

typedef float M4[4][4];

void identity(M4 m) {
  memset(m, 0, sizeof(M4));
  for (int i = 0; i < 4; i++) m[i][i] = 1.0f;
}

// Depth first up the parent chains; the links found are pushed leaf first.
bool route(WTnode *node, WTnode *root, int &n, std::vector<WTnodelink *> &links) {
  for (WTnodelink *l = node->firstparent; l; l = l->nextofchild) {
    if (!l->parent || l->parent == _WTnode_defaultparent()) continue;
    links.push_back(l);
    if (l->parent == root) {
      if (n == 0) return true;
      n--;
    } else if (route(l->parent, root, n, links)) {
      return true;
    }
    links.pop_back();
  }
  return false;
}

bool visible(const WTnodelink *l) {
  const WTnode *p = l->parent;
  if (p->flags & WTNF_MOVABLE) return false;
  return !((p->flags & WTNF_INNER) && p->firstchild == l);
}

void compose(const M4 g, int k, M4 current, int *kind) {
  if (k == 0) return;
  WTnode fake;
  fake.u.xform.xkind = k == 2 ? 2 : 3;
  memcpy(fake.u.xform.m, g, sizeof(M4));
  _WTnode_composexform(&fake, current, kind);
}

// What the siblings before the link pass on, composed after m; false when the link is not
// among its parent's children.
bool siblingsbefore(const WTnodelink *link, M4 m, int *kind) {
  for (WTnodelink *s = link->parent->firstchild; s; s = s->nextsibling) {
    if (s == link) return true;
    M4 g;
    int k = _WTnode_getxforms(s->child, g);
    compose(g, k, m, kind);
  }
  return false;
}

void ownmatrix(WTnode *end, M4 m, int *kind) {
  if (end->kind == WTNODE_XFORM) {
    _WTnode_composexform(end, m, kind);
  } else if (end->kind == WTNODE_OBJECT) {
    _WTnode_refreshbounds(end);
    compose(end->u.obj.m, 3, m, kind);
  }
}

bool live(const WTnodepath *p) { return p && !p->isfree && p->links && p->count > 0; }

}  // namespace

extern "C" {

WTnodepath *_WTnodepath_new(WTnode *node, WTnode *root, int n) {
  if (!node || !root || n < 0) return nullptr;
  std::vector<WTnodelink *> found;
  if (!route(node, root, n, found)) return nullptr;
  std::vector<WTnodelink *> links(found.rbegin(), found.rend());
  if ((node->flags & WTNF_MOVABLE) && node->lastchild) links.push_back(node->lastchild);
  WTnodepath *p = static_cast<WTnodepath *>(_WTmem_alloc(sizeof(WTnodepath)));
  memset(p, 0, sizeof *p);
  p->count = static_cast<int>(links.size());
  p->links = static_cast<WTnodelink **>(_WTmem_alloc(sizeof(WTnodelink *) * links.size()));
  memcpy(p->links, links.data(), sizeof(WTnodelink *) * links.size());
  return p;
}

int _WTnodepath_delete(WTnodepath *p) {
  if (!p) return 0;
  _WTmotionlink_deleteall(p);
  _WTmem_free(p->links);
  _WTmem_free(p);
  return 1;
}

int _WTnodepath_numnodes(WTnodepath *p) {
  if (!live(p)) return 0;
  int n = 0;
  for (int i = 0; i < p->count; i++) n += visible(p->links[i]) ? 1 : 0;
  return n;
}

WTnode *_WTnodepath_getnode(WTnodepath *p, int index) {
  if (!live(p) || index < 0) return nullptr;
  for (int i = 0; i < p->count; i++)
    if (visible(p->links[i]) && index-- == 0) return p->links[i]->child;
  return nullptr;
}

int _WTnodepath_gettransformfrom(WTnodepath *p, int start, WTm4 m) {
  if (!live(p) || !m || start < 0 || start >= p->count) return 0;
  M4 acc;
  identity(acc);
  int kind = 0;
  for (int i = start; i < p->count; i++)
    if (!siblingsbefore(p->links[i], acc, &kind)) return 0;
  ownmatrix(p->links[p->count - 1]->child, acc, &kind);
  memcpy(m, acc, sizeof(M4));
  return 1;
}

int _WTnodepath_gettransform(WTnodepath *p, WTm4 m) { return _WTnodepath_gettransformfrom(p, 0, m); }

int _WTnodepath_getposition(WTnodepath *p, WTp3 out) {
  WTm4 m;
  if (!out || !_WTnodepath_gettransform(p, m)) return 0;
  memcpy(out, m[3], sizeof(WTp3));
  return 1;
}

int _WTnodepath_getorientation(WTnodepath *p, WTq q) {
  WTm4 m;
  if (!q || !_WTnodepath_gettransform(p, m)) return 0;
  WTpq pose;
  WTm4_2pq(m, &pose);
  memcpy(q, pose.q, sizeof(WTq));
  return 1;
}

int _WTnodepath_getindexes(WTnodepath *p, int *out, int capacity) {
  if (!live(p) || !out || capacity < p->count) return 0;
  for (int i = 0; i < p->count; i++) {
    int index = 0;
    WTnodelink *s = p->links[i]->parent->firstchild;
    while (s && s != p->links[i]) s = s->nextsibling, index++;
    if (!s) return 0;
    out[i] = index;
  }
  return 1;
}

WTnode *_WTnodepath_lastxform(WTnodepath *p) {
  if (!live(p)) return nullptr;
  WTnodelink *last = p->links[p->count - 1];
  WTnode *n = last->child;
  if (last->parent->flags & WTNF_MOVABLE) n = last->parent;
  if ((n->flags & WTNF_MOVABLE) && n->firstchild) n = n->firstchild->child;
  return n->kind == WTNODE_XFORM ? n : nullptr;
}

void _WTnodepath_followmarker(WTnodepath *p, WTnode *node) {
  if (!live(p) || !node) return;
  WTnodelink *last = p->links[p->count - 1];
  WTnode *head = (last->parent->flags & WTNF_MOVABLE) ? last->parent : last->child;
  if (!head->name || strcmp(head->name, "WTMarker") != 0 || !head->data) return;
  WTpathelement *e = static_cast<WTpathelement *>(head->data);
  WTnode_gettranslation(node, e->position);
  WTnode_getorientation(node, e->orientation);
}
}
