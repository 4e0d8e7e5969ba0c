// The walks over the node graph: the update pass that recomputes group bounds, the transform
// walk, the invalidation walk, the ready pass and polygon counts.
#include <math.h>
#include <string.h>

#include "toolkit/core/layers.h"
#include "toolkit/core/nodestate.h"
#include "toolkit/core/universe.h"
#include "toolkit/core/walkstack.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/render.h"

namespace {

typedef float M4[4][4];

// A link cell met in a walk: its next sibling goes on the stack, then its child, which is taken
// first.  False for a node.
template <typename T, int N>
bool steppastlink(WTwalkstack<T, N> &stack, T e) {
  if (_WTkindof(e) != WTNODE_LINK) return false;
  const WTnodelink *l = static_cast<const WTnodelink *>(e);
  if (l->nextsibling) stack.push(l->nextsibling);
  stack.push(l->child);
  return true;
}

void identity(M4 m) {
  memset(m, 0, sizeof(M4));
  for (int i = 0; i < 4; i++) m[i][i] = 1.0f;
}

// The union of boxes met by a walk.
struct Merge {
  bool any = false;
  float lo[3], hi[3];

  void add(const float mid[3], const float ext[3]) {
    for (int j = 0; j < 3; j++) {
      float a = mid[j] - ext[j], b = mid[j] + ext[j];
      if (!any || a < lo[j]) lo[j] = a;
      if (!any || b > hi[j]) hi[j] = b;
    }
    any = true;
  }

  bool result(WTbounds *out) const {
    if (!any) return false;
    float r = 0.0f;
    for (int j = 0; j < 3; j++) {
      out->mid[j] = (lo[j] + hi[j]) / 2;
      out->ext[j] = (hi[j] - lo[j]) / 2;
      r += out->ext[j] * out->ext[j];
    }
    out->radius = sqrtf(r);
    return true;
  }
};

// A box taken into the frame of the current matrix, whose transforms so far are of `kind`.
void addbox(Merge &merge, const M4 m, int kind, const float mid[3], const float ext[3]) {
  if (kind == 0) {
    merge.add(mid, ext);
    return;
  }
  float omid[3], oext[3];
  for (int j = 0; j < 3; j++) {
    if (kind == 2) {
      omid[j] = mid[j] + m[3][j];
      oext[j] = ext[j];
    } else {
      omid[j] = mid[0] * m[0][j] + mid[1] * m[1][j] + mid[2] * m[2][j] + m[3][j];
      oext[j] = fabsf(m[0][j]) * ext[0] + fabsf(m[1][j]) * ext[1] + fabsf(m[2][j]) * ext[2];
    }
  }
  merge.add(omid, oext);
}

// Puts the transforms g of kind k (as _WTnode_getxforms reports them) after the current ones.
void composeafter(const M4 g, int k, M4 current, int *kind) {
  if (k == 0) return;
  WTnode fake;
  fake.u.xform.xkind = k == 2 ? 2 : 3;
  memcpy(fake.u.xform.m, g, sizeof(M4));
  _WTnode_composexform(&fake, current, kind);
}

void contribute(WTnode *n, Merge &merge, const M4 m, int kind) {
  _WTnode_refreshbounds(n);
  if (n->flags & WTNF_BOUNDSVALID) addbox(merge, m, kind, n->bounds.mid, n->bounds.ext);
}

// The box of an object's geometry carried by the object's pose (kept as the node's matrix).
void objectbox(WTnode *n, Merge &merge, const M4 m, int kind) {
  WTobject *o = n->u.obj.object;
  WTgeometry *g = o ? _WTobject_getgeometry(o) : nullptr;
  if (!g) return;
  _WTobject_getmatrix(o, n->u.obj.m);
  M4 c;
  if (kind == 0)
    memcpy(c, n->u.obj.m, sizeof(M4));
  else
    _WTm4_affine(n->u.obj.m, m, c);
  addbox(merge, c, 3, g->mid, g->half);
}

void callbackbox(WTnode *n, Merge &merge, const M4 m, int kind) {
  if (!(n->flags & WTNF_SHOWBOX)) return;
  const WTcallbackpayload &c = n->u.callback;
  float mid[3], ext[3];
  for (int j = 0; j < 3; j++) {
    mid[j] = (c.boxmin[j] + c.boxmax[j]) / 2;
    ext[j] = fabsf(c.boxmax[j] - c.boxmin[j]) / 2;
  }
  addbox(merge, m, kind, mid, ext);
}

bool isgroup(const WTnode *n) { return _WTnode_checkparent(const_cast<WTnode *>(n)) != 0; }

bool passeson(const WTnode *n) {
  return n->kind == WTNODE_GROUP || n->kind == WTNODE_ANCHOR || n->kind == WTNODE_SWITCH;
}

// The transforms that the children of a group, anchor or switch pass on.
int computepasson(WTnode *n, M4 out) {
  if (n->kind != WTNODE_SWITCH) return _WTnode_getxforms(n->firstchild, out);
  int which = n->u.whichchild;
  if (which == -3) return _WTnode_getxforms(n->firstchild, out);
  WTnodelink *l = _WTnode_childlink(n, which);
  return l ? _WTnode_getxforms(l->child, out) : 0;
}

// The same, from the node's cache while it is current.
int passon(WTnode *n, M4 out) {
  if ((n->flags & WTNF_PASSONVALID) && !(n->flags & WTNF_CHANGED)) {
    if (n->passonkind) memcpy(out, n->passon, sizeof(M4));
    return n->passonkind;
  }
  return computepasson(n, out);
}

}  // namespace

extern "C" {

int _WTnode_update(WTnodelink *first, WTbounds *out) {
  if (!first) return 0;
  WTwalkstack<void *, 64> stack;
  stack.push(first);
  M4 m;
  identity(m);
  int kind = 0;
  Merge merge;
  void *e;
  while (stack.pop(&e)) {
    if (_WTkindof(e) == WTNODE_LINK)
      static_cast<WTnodelink *>(e)->flags &= static_cast<unsigned char>(~WTLF_MARKED);
    if (steppastlink(stack, e)) continue;
    WTnode *n = static_cast<WTnode *>(e);
    switch (n->kind) {
      case WTNODE_XFORM:
        n->flags &= static_cast<unsigned char>(~WTNF_CHANGED);
        _WTnode_composexform(n, m, &kind);
        break;
      case WTNODE_LOD:
      case WTNODE_SEP:
      case WTNODE_INLINE:
      case WTNODE_XFORMSEP:
        contribute(n, merge, m, kind);
        break;
      case WTNODE_SWITCH:
      case WTNODE_GROUP:
      case WTNODE_ANCHOR: {
        contribute(n, merge, m, kind);
        M4 g;
        composeafter(g, passon(n, g), m, &kind);
        break;
      }
      case WTNODE_GEOMETRY:
        n->flags &= static_cast<unsigned char>(~WTNF_CHANGED);
        if (n->u.geometry) addbox(merge, m, kind, n->u.geometry->mid, n->u.geometry->half);
        break;
      case WTNODE_OBJECT:
        n->flags &= static_cast<unsigned char>(~WTNF_CHANGED);
        objectbox(n, merge, m, kind);
        break;
      case WTNODE_CALLBACK:
        n->flags &= static_cast<unsigned char>(~WTNF_CHANGED);
        callbackbox(n, merge, m, kind);
        break;
      case WTNODE_LIGHT:
      case WTNODE_MATERIAL:
      case WTNODE_FOG:
      case WTNODE_AMBIENT:
      case 20:
        break;
      default:
        _WTmsg_fatal("Node type (%d) not updated\n", n->kind);
        return 0;
    }
  }
  return merge.result(out);
}

void _WTnode_refreshbounds(WTnode *n) {
  if (!(n->flags & WTNF_CHANGED)) return;
  n->flags &= static_cast<unsigned char>(~WTNF_CHANGED);
  if (_WTnode_update(n->firstchild, &n->bounds))
    n->flags |= WTNF_BOUNDSVALID;
  else
    n->flags &= static_cast<unsigned char>(~WTNF_BOUNDSVALID);
  if (passeson(n)) {
    n->passonkind = computepasson(n, n->passon);
    n->flags |= WTNF_PASSONVALID;
  }
}

int _WTnode_getxforms(void *start, WTm4 out) {
  if (!start) return 0;
  WTwalkstack<void *, 64> stack;
  stack.push(start);
  M4 m;
  identity(m);
  int kind = 0;
  bool met = false;
  void *e;
  while (stack.pop(&e)) {
    if (steppastlink(stack, e)) continue;
    WTnode *n = static_cast<WTnode *>(e);
    switch (n->kind) {
      case WTNODE_XFORM:
        _WTnode_composexform(n, m, &kind);
        met = true;
        break;
      case WTNODE_SWITCH:
      case WTNODE_GROUP:
      case WTNODE_ANCHOR: {
        M4 g;
        int k = passon(n, g);
        if (k) met = true;
        composeafter(g, k, m, &kind);
        break;
      }
      default:
        break;
    }
  }
  if (!met) return 0;
  memcpy(out, m, sizeof(M4));
  return kind == 2 ? 2 : (kind ? kind | 1 : 0);
}

namespace {

// The half-extents (half) or the midpoint of a geometry node's geometry or a group's bounds.
int nodebox(WTnode *node, WTp3 out, bool half) {
  WTnode *n = _WTnode_resolve(node);
  if (!n || !out) return 0;
  if (n->kind == WTNODE_GEOMETRY && n->u.geometry) {
    memcpy(out, half ? n->u.geometry->half : n->u.geometry->mid, sizeof(WTp3));
    return 1;
  }
  if (!isgroup(n)) return 0;
  _WTnode_refreshbounds(n);
  if (!(n->flags & WTNF_BOUNDSVALID)) return 0;
  memcpy(out, half ? n->bounds.ext : n->bounds.mid, sizeof(WTp3));
  return 1;
}

}  // namespace

int WTnode_getextents(WTnode *node, WTp3 e) { return nodebox(node, e, true); }

int WTnode_getmidpoint(WTnode *node, WTp3 mid) { return nodebox(node, mid, false); }

float WTnode_getradius(WTnode *node) {
  WTnode *n = _WTnode_resolve(node);
  if (!n) return -1.0f;
  if (n->kind == WTNODE_GEOMETRY && n->u.geometry) return n->u.geometry->radius;
  if (!isgroup(n)) return -1.0f;
  _WTnode_refreshbounds(n);
  return (n->flags & WTNF_BOUNDSVALID) ? n->bounds.radius : -1.0f;
}

void _WTnode_changed(WTnode *node) {
  if (!node) return;
  if (node->kind != WTNODE_GEOMETRY && node->kind != WTNODE_OBJECT && node->kind != WTNODE_CALLBACK)
    return;
  if (!(node->flags & WTNF_CHANGED) && node->firstparent) _WTnode_markupward(node->firstparent);
}

void _WTnode_invalidate(void *start) {
  if (!start) return;
  WTwalkstack<void *, 64> stack;
  stack.push(start);
  void *e;
  while (stack.pop(&e)) {
    if (steppastlink(stack, e)) continue;
    WTnode *n = static_cast<WTnode *>(e);
    if (n->kind == WTNODE_GEOMETRY)
      _WTgeometry_modifiable(n->u.geometry);
    else if (isgroup(n) && n->firstchild)
      stack.push(n->firstchild);
  }
}

int WTnode_numpolys(WTnode *node) {
  if (!node) return 0;
  int total = 0;
  WTwalkstack<WTnode *, 64> stack;
  stack.push(node);
  WTnode *n;
  while (stack.pop(&n)) {
    if (!(n->flags & WTNF_ENABLED)) continue;
    if (n->kind == WTNODE_GEOMETRY && n->u.geometry) total += n->u.geometry->npolys;
    if (isgroup(n) || n->kind == WTNODE_CALLBACK)
      for (WTnodelink *l = n->firstchild; l; l = l->nextsibling) stack.push(l->child);
  }
  return total;
}

// ---- The ready pass -------------------------------------------------------------------------

namespace {

const void *const kPopMarker = &kPopMarker;

void mergestate(WTnodestate *s, int result, unsigned bits) {
  if (bits & 32) bits = (bits & ~32u) | 3u;
  if (result & 1) s->masks[0] |= bits;
  if (result & 2) s->masks[1] |= bits;
}

void readyroot(WTnode *root, WTnodestate *s) {
  WTwalkstack<const void *, 128> stack;
  stack.push(root->kind == WTNODE_ROOT ? static_cast<const void *>(root->firstchild) : root);
  const void *e;
  while (stack.pop(&e)) {
    if (!e) continue;
    if (e == kPopMarker) {
      if (s->materialdepth > 0) s->materialdepth--;
      continue;
    }
    if (steppastlink(stack, e)) continue;
    WTnode *n = const_cast<WTnode *>(static_cast<const WTnode *>(e));
    switch (n->kind) {
      case WTNODE_XFORM:
      case WTNODE_LIGHT:
      case WTNODE_FOG:
      case WTNODE_AMBIENT:
      case WTNODE_CALLBACK:
      case WTNODE_MATERIAL:
        break;
      case WTNODE_LOD:
      case WTNODE_GROUP:
      case WTNODE_ANCHOR:
      case WTNODE_INLINE:
      case WTNODE_SWITCH:
      case WTNODE_XFORMSEP:
      case WTNODE_OBJECT:
        if (n->firstchild) stack.push(n->firstchild);
        break;
      case WTNODE_GEOMETRY:
        if (WTgeometry *g = n->u.geometry)
          mergestate(s, _WTgeometry_compilenode(n, g, s), (g->stylemask & g->stylevalue) & 127u);
        break;
      case WTNODE_SEP:
        if (n->firstchild) {
          _WTnode_checkstatedepth(s);
          s->materials[s->materialdepth + 1] = s->materials[s->materialdepth];
          s->materialdepth++;
          stack.push(kPopMarker);
          stack.push(n->firstchild);
        }
        break;
      default:
        _WTmsg_fatal("Unknown node type %d\n", n->kind);
        return;
    }
  }
}

}  // namespace

void _WTnode_ready(void) {
  WTwindow **slot = _WTuniverse_windowslot();
  WTnode *previous = nullptr;
  for (WTwindow *w = slot ? *slot : nullptr; w; w = w->next) {
    if (!w->root || w->root == previous) continue;
    previous = w->root;
    WTnodestate *s = _WTnode_newstate();
    s->windowbit = 1u << (w->display & 31);
    s->renderfields[0] = 1, s->renderfields[1] = 0, s->renderfields[2] = 0;
    s->renderdistance = 5000.0f;
    s->renderscale = 1.0f;
    readyroot(w->root, s);
    _WTnode_deletestate(s);
  }
}
}
