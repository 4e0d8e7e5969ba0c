// Movable nodes: a head whose first child is its own transform node and whose last child is its
// content; attached movables hang beside the content in an inner group.
#include <math.h>
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/core/motion.h"
#include "toolkit/core/node.h"

namespace {

const float kDegrees = 3.1415927410125732f / 180.0f;

bool movable(WTnode *n) { return n && (n->flags & WTNF_MOVABLE) && n->firstchild && n->lastchild; }

WTnode *innerof(WTnode *head) {
  WTnode *c = head->lastchild->child;
  return (c->flags & WTNF_INNER) ? c : nullptr;
}

int countchildren(WTnode *n) {
  int k = 0;
  for (WTnodelink *l = n->firstchild; l; l = l->nextsibling) k++;
  return k;
}

// A head of the kind with a transform node and the content made by makecontent.
WTnode *newhead(WTnode *parent, int kind, WTnode *(*makecontent)(WTnode *)) {
  WTnode *head = _WTnode_create(parent, kind);
  if (!head) return nullptr;
  WTnode *content = nullptr;
  if (!WTxformnode_new(head) || !(content = makecontent(head))) {
    WTnode_delete(head);
    return nullptr;
  }
  head->flags |= WTNF_MOVABLE;
  return head;
}

WTgeometry *pendinggeometry;
WTnode *geometrycontent(WTnode *head) { return WTgeometrynode_new(head, pendinggeometry); }

std::string namestext(WTnode *head) {
  std::string text;
  WTnode *inner = innerof(head);
  if (!inner) return text;
  bool firstname = true;
  for (WTnodelink *l = inner->firstchild->nextsibling; l; l = l->nextsibling) {
    if (!firstname) text += ",";
    firstname = false;
    if (l->child->name) text += l->child->name;
  }
  return text;
}

void postattached(WTnode *head) {
  _WTmem_free(head->mvattext);
  head->mvattext = _WTmem_strdup(namestext(head).c_str());
  _WTnode_firepost(head, "MvAt", head->mvattext);
}

// Wraps the content in an inner group that takes its place as the head's last child.
WTnode *wrap(WTnode *head) {
  WTnodelink *last = head->lastchild;
  WTnode *content = last->child;
  WTnode *inner = _WTnode_create(nullptr, head->kind == WTNODE_XFORMSEP ? WTNODE_XFORMSEP : WTNODE_SEP);
  // Out of the default parent, into the head's last link.
  WTnodelink *spare = inner->firstparent;
  _WTnodelink_siblingunlink(_WTnode_defaultparent(), spare);
  _WTmem_free(spare);
  inner->firstparent = nullptr;
  _WTnodelink_chainunlink(content, last);
  last->child = inner;
  _WTnodelink_chainappend(inner, last);
  inner->nparents = 1;
  WTnodelink *down = _WTnodelink_new(inner, content);
  _WTnodelink_siblingappend(inner, down);
  _WTnodelink_chainappend(content, down);
  inner->flags |= WTNF_INNER;
  _WTnode_markchanged(head);
  return inner;
}

// The content takes the inner group's place again; the inner group is freed.
void dissolve(WTnode *head, WTnode *inner) {
  WTnodelink *last = head->lastchild;
  WTnodelink *down = inner->firstchild;
  WTnode *content = down->child;
  _WTnodelink_siblingunlink(inner, down);
  _WTnodelink_chainunlink(content, down);
  _WTmem_free(down);
  _WTnodelink_chainunlink(inner, last);
  last->child = content;
  _WTnodelink_chainappend(content, last);
  inner->nparents = 0;
  inner->flags &= static_cast<unsigned char>(~WTNF_INNER);
  WTnodelink *hold = _WTnodelink_new(_WTnode_defaultparent(), inner);
  _WTnodelink_siblingappend(_WTnode_defaultparent(), hold);
  _WTnodelink_chainappend(inner, hold);
  WTnode_delete(inner);
  _WTnode_markchanged(head);
}

int detachat(WTnode *head, int index, bool remove) {
  if (!movable(head)) return 0;
  WTnode *inner = innerof(head);
  if (!inner) return 0;
  int n = countchildren(inner);
  if (index + 1 < 1 || index + 1 > n - 1) return 0;
  if (!_WTnode_firepre(head, "MvAt")) return 0;
  unsigned char was = inner->flags;
  inner->flags &= static_cast<unsigned char>(~WTNF_INNER);
  if (remove)
    WTnode_deletechild(inner, index + 1);
  else
    WTnode_removechild(inner, index + 1);
  inner->flags = was;
  if (n == 2) dissolve(head, inner);
  postattached(head);
  return 1;
}

int turnabout(WTnode *head, int axis, float radians) {
  if (!movable(head) || axis < 0 || axis > 2) return 0;
  WTp3 c, back;
  _WTmovnode_getcentre(head, c);
  for (int i = 0; i < 3; i++) back[i] = -c[i];
  WTnode_translate(head, c, WTFRAME_LOCAL);
  WTnode_axisrotation(head, axis, radians, WTFRAME_LOCAL);
  WTnode_translate(head, back, WTFRAME_LOCAL);
  return 1;
}

void conj(const WTq q, WTq out) { out[0] = -q[0], out[1] = -q[1], out[2] = -q[2], out[3] = q[3]; }

}  // namespace

extern "C" {

WTnode *WTmovsepnode_new(WTnode *parent) { return newhead(parent, WTNODE_SEP, WTsepnode_new); }
WTnode *WTmovswitchnode_new(WTnode *parent) { return newhead(parent, WTNODE_SEP, WTswitchnode_new); }
WTnode *WTmovlodnode_new(WTnode *parent) { return newhead(parent, WTNODE_SEP, WTlodnode_new); }

WTnode *WTmovgeometrynode_new(WTnode *parent, WTgeometry *geometry) {
  if (!geometry) return nullptr;
  pendinggeometry = geometry;
  WTnode *head = newhead(parent, WTNODE_SEP, geometrycontent);
  pendinggeometry = nullptr;
  return head;
}

WTnode *_WTmovlightnode_newdirected(WTnode *parent) {
  return newhead(parent, WTNODE_XFORMSEP, WTlightnode_newdirected);
}
WTnode *_WTmovlightnode_newpoint(WTnode *parent) {
  return newhead(parent, WTNODE_XFORMSEP, WTlightnode_newpoint);
}
WTnode *_WTmovlightnode_newspot(WTnode *parent) {
  return newhead(parent, WTNODE_XFORMSEP, WTlightnode_newspot);
}

WTnode *_WTmovnode_instance(WTnode *parent, WTnode *m) {
  // Lights are not shared: nothing is made for them.
  if (!movable(m) || m->kind != WTNODE_SEP) return nullptr;
  WTnode *head = _WTnode_create(parent, WTNODE_SEP);
  if (!head) return nullptr;
  WTxformnode_new(head);
  WTnode *content = m->lastchild->child;
  unsigned char was = content->flags;
  content->flags &= static_cast<unsigned char>(~WTNF_INNER);
  WTnode_addchild(head, content);
  content->flags = was;
  head->flags |= WTNF_MOVABLE;
  return head;
}

int _WTmovnode_attach(WTnode *head, WTnode *node, int index) {
  if (!head || !node || index < -1 || !movable(head)) return 0;
  if (!_WTnode_firepre(head, "MvAt")) return 0;
  WTnode *inner = innerof(head);
  bool made = false;
  if (!inner) {
    if (index > 0) return 0;
    inner = wrap(head);
    made = true;
  }
  inner->flags &= static_cast<unsigned char>(~WTNF_INNER);
  bool was = _WTnode_getevents();
  _WTnode_setevents(0);
  int ok = index == -1 ? WTnode_addchild(inner, node)
           : index + 1 > countchildren(inner) ? 0
                                               : WTnode_insertchild(inner, node, index + 1);
  _WTnode_setevents(was);
  inner->flags |= WTNF_INNER;
  if (!ok) {
    if (made) dissolve(head, inner);
    return 0;
  }
  postattached(head);
  return 1;
}

int _WTmovnode_detach(WTnode *head, int index) { return detachat(head, index, false); }
int _WTmovnode_deleteattached(WTnode *head, int index) { return detachat(head, index, true); }

int _WTmovnode_numattached(WTnode *head) {
  if (!movable(head)) return 0;
  WTnode *inner = innerof(head);
  return inner ? countchildren(inner) - 1 : 0;
}

WTnode *_WTmovnode_getattached(WTnode *head, int index) {
  if (!movable(head) || index < 0) return nullptr;
  WTnode *inner = innerof(head);
  if (!inner) return nullptr;
  WTnodelink *l = inner->firstchild ? inner->firstchild->nextsibling : nullptr;
  while (l && index-- > 0) l = l->nextsibling;
  return l ? l->child : nullptr;
}

const char *_WTmovnode_getattachedtext(WTnode *head) {
  if (!movable(head)) return nullptr;
  if (!head->mvattext) head->mvattext = _WTmem_strdup(namestext(head).c_str());
  return head->mvattext;
}

int _WTmovnode_setattached(WTnode *head, const char *text) {
  if (!movable(head) || !text || !_WTnode_firepre(head, "MvAt")) return 0;
  bool was = _WTnode_getevents();
  _WTnode_setevents(0);
  // Names are looked up before anything changes: nodes still named are kept.
  std::vector<WTnode *> wanted;
  std::string t(text);
  size_t i = 0;
  while (i < t.size()) {
    size_t j = t.find_first_of(" ,;", i);
    if (j == std::string::npos) j = t.size();
    if (j > i)
      if (WTnode *n = WTuniverse_findnode(t.c_str() + i, static_cast<int>(j - i))) wanted.push_back(n);
    i = j + 1;
  }
  for (int k = _WTmovnode_numattached(head) - 1; k >= 0; k--) {
    WTnode *n = _WTmovnode_getattached(head, k);
    bool keep = false;
    for (WTnode *w : wanted) keep = keep || w == n;
    detachat(head, k, !keep);
  }
  for (WTnode *n : wanted) _WTmovnode_attach(head, n, -1);
  _WTnode_setevents(was);
  postattached(head);
  return 1;
}

int _WTmovnode_getcentre(WTnode *head, WTp3 c) {
  if (!movable(head) || !c) return 0;
  if (head->kind == WTNODE_XFORMSEP) {
    WTnode *light = _WTnode_resolveparent(head);
    return WTlightnode_getposition(light, c);
  }
  return WTnode_getmidpoint(head, c);
}

int _WTmovnode_rotateaxis(WTnode *head, int axis, float degrees) {
  return turnabout(head, axis, degrees * kDegrees);
}

int _WTmovnode_axisrotation(WTnode *head, int axis, float radians) {
  return turnabout(head, axis, radians);
}

int _WTmovnode_pointaxis(WTnode *head, int axis, const WTp3 direction) {
  if (!movable(head) || axis < 0 || axis > 2 || !direction) return 0;
  if (fabsf(direction[0]) < 0.004f && fabsf(direction[1]) < 0.004f && fabsf(direction[2]) < 0.004f)
    return 0;
  WTp3 d = {direction[0], direction[1], direction[2]};
  float len = sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  if (len >= 0.004f)
    for (float &x : d) x /= len;
  WTq q;
  _WTdir_2q(d, q);
  WTp3 c, back;
  _WTmovnode_getcentre(head, c);
  for (int i = 0; i < 3; i++) back[i] = -c[i];
  WTnode_translate(head, c, WTFRAME_LOCAL);
  WTnode_setorientation(head, q);
  if (axis == 0) WTnode_rotateaxis(head, 1, -90.0f, WTFRAME_LOCAL);
  if (axis == 1) WTnode_rotateaxis(head, 0, 90.0f, WTFRAME_LOCAL);
  WTnode_translate(head, back, WTFRAME_LOCAL);
  return 1;
}

void _WTmovnode_sensorupdate(WTmotionlink *l) {
  if (!l) return;
  WTnode *head = static_cast<WTnode *>(l->target);
  if (!movable(head)) return;
  WTp3 dt;
  WTq dq;
  _WTsensor_getdeltarecord(static_cast<WTsensor *>(l->source), dt, dq);
  if (dt[0] == 0 && dt[1] == 0 && dt[2] == 0 && dq[0] == 0 && dq[1] == 0 && dq[2] == 0 && dq[3] == 1)
    return;
  WTp3 oldt;
  WTm3 oldr;
  WTnode_gettranslation(head, oldt);
  WTnode_getrotation(head, oldr);
  bool tveto = !_WTnode_firepre(head, "Translation");
  bool rveto = !_WTnode_firepre(head, "Rotation");
  bool was = _WTnode_getevents();
  _WTnode_setevents(0);
  WTq current, turned, c;
  WTnode_getorientation(head, current);
  conj(l->reference, c);
  if (l->frame == WTFRAME_PARENT) {
    _WTq_multiply(current, dq, turned);
    WTnode_setorientation(head, turned);
  } else {
    if (l->frame != WTFRAME_LOCAL) _WTq_inframe(dq, l->reference, dq);
    WTp3 centre, back;
    _WTmovnode_getcentre(head, centre);
    for (int i = 0; i < 3; i++) back[i] = -centre[i];
    WTnode_translate(head, centre, WTFRAME_LOCAL);
    _WTq_multiply(dq, current, turned);
    WTnode_setorientation(head, turned);
    WTnode_translate(head, back, WTFRAME_LOCAL);
  }
  if (l->frame != WTFRAME_LOCAL && l->frame != WTFRAME_PARENT) _WTq_rotatepoint(dt, c, dt);
  WTnode_translate(head, dt, l->frame == WTFRAME_LOCAL ? WTFRAME_LOCAL : WTFRAME_PARENT);
  if (l->nconstraints) {
    WTm4 m, limited;
    WTnode_gettransform(head, m);
    if (_WTm4_constrain(m, limited, l->nconstraints, l->constraints) == 3)
      WTnode_settransform(head, limited);
  }
  _WTnode_setevents(was);
  WTp3 t;
  WTm3 block;
  if (tveto) {
    _WTnode_setevents(0);
    WTnode_settranslation(head, oldt);
    _WTnode_setevents(was);
  } else if (_WTnode_haspost(head, "Translation")) {
    WTnode_gettranslation(head, t);
    WTproperty_firehandlers(head, "Translation", t);
  }
  if (rveto) {
    _WTnode_setevents(0);
    WTnode_setrotation(head, oldr);
    _WTnode_setevents(was);
  } else if (_WTnode_haspost(head, "Rotation")) {
    WTnode_getrotation(head, block);
    WTproperty_firehandlers(head, "Rotation", block);
  }
}
}
