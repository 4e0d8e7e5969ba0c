// Motion links: a sensor or a path drives a viewpoint, an object, a light, a node, a node path or
// a movable node.  The universe keeps every link in one list that the frame loop runs.
#include <math.h>
#include <string.h>

#include "toolkit/core/layers.h"
#include "toolkit/core/motion.h"
#include "toolkit/core/node.h"
#include "toolkit/core/nodepath.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/render.h"

namespace {

// The link the motion pass stands on; deleting it only marks it, and the pass frees it.
WTmotionlink *passcurrent;

void identitypose(WTpq *p) {
  memset(p, 0, sizeof *p);
  p->q[3] = 1.0f;
}

bool isidentity(const WTp3 t, const WTq q) {
  return t[0] == 0.0f && t[1] == 0.0f && t[2] == 0.0f && q[0] == 0.0f && q[1] == 0.0f &&
         q[2] == 0.0f && q[3] == 1.0f;
}

void conj(const WTq q, WTq out) {
  out[0] = -q[0], out[1] = -q[1], out[2] = -q[2], out[3] = q[3];
}

// conj(r) * q * r: a turn given in the reference frame r, for use in the parent frame.
void inreference(const WTq q, const WTq r, WTq out) {
  WTq c, t;
  conj(r, c);
  _WTq_multiply(c, q, t);
  _WTq_multiply(t, r, out);
}

void unlinklist(WTmotionlink *l) {
  WTmotionlink **head = _WTuniverse_linkslot();
  if (l->prev)
    l->prev->next = l->next;
  else if (head && *head == l)
    *head = l->next;
  if (l->next) l->next->prev = l->prev;
  l->next = l->prev = nullptr;
}

void freelink(WTmotionlink *l) {
  _WTmem_free(l->constraints);
  _WTmem_free(l);
}

bool validconstraint(int type, float min, float max) {
  switch (type) {
    case 1:
    case 2:
    case 4:
      return min <= max;
    case 8:
    case 16: {
      const float full = 6.2831854820251465f;
      return min <= max && fabsf(min) < full && fabsf(max) < full && fabsf(min) + fabsf(max) < full;
    }
    case 32:
      return min >= -3.1415927f && max <= 3.1415927f && min <= max;
    default:
      return false;
  }
}

// ---- Per-target updates from a sensor's record -----------------------------------------------

void viewpointupdate(WTmotionlink *l) { _WTviewpoint_motionupdate(l); }

void nodepathupdate(WTmotionlink *l) {
  WTnodepath *path = static_cast<WTnodepath *>(l->target);
  WTnode *node = _WTnodepath_lastxform(path);
  if (!node) return;
  if (l->frame == 0) {
    void *target = l->target;
    l->target = node;
    _WTnode_sensorupdate(l);
    l->target = target;
  } else {
    WTpq record;
    _WTsensor_getdeltarecord(static_cast<WTsensor *>(l->source), record.p, record.q);
    if (l->frame == 2) inreference(record.q, l->reference, record.q);
    WTm4 m, acc, world, limited, inverse, local;
    _WTpq_2m4(&record, m);
    if (!_WTnodepath_gettransform(path, acc)) return;
    _WTm4_affine(m, acc, world);
    if (_WTm4_constrain(world, limited, l->nconstraints, l->constraints) != 3)
      memcpy(limited, world, sizeof(WTm4));
    // Back into the node's own frame: what lies above the node is the path less the node.
    WTm4 own, above;
    WTnode_gettransform(node, own);
    _WTm4_invertaffine(own, inverse);
    _WTm4_affine(inverse, acc, above);
    _WTm4_invertaffine(above, inverse);
    _WTm4_affine(limited, inverse, local);
    WTnode_settransform(node, local);
  }
  _WTnodepath_followmarker(path, node);
}

void runtarget(WTmotionlink *l) {
  switch (l->targettype) {
    case WTTARGET_OBJECT:
      _WTobject_motionupdate(static_cast<WTobject *>(l->target), l, l->frame);
      break;
    case WTTARGET_NODE:
      _WTnode_sensorupdate(l);
      break;
    case WTTARGET_NODEPATH:
      nodepathupdate(l);
      break;
    case WTTARGET_MOVABLE:
      _WTmovnode_sensorupdate(l);
      break;
    default:
      break;
  }
}

// Runs fn on every enabled sensor link that passes the filter, guarding the link in hand.
template <typename Filter, typename Fn>
void eachlink(Filter filter, Fn fn) {
  WTmotionlink **head = _WTuniverse_linkslot();
  WTmotionlink *l = head ? *head : nullptr;
  while (l) {
    passcurrent = l;
    if (!l->dead && l->enabled && l->sourcetype == WTSOURCE_SENSOR && filter(l)) fn(l);
    passcurrent = nullptr;
    if (!_WTuniverse_linkslot()) return;
    WTmotionlink *next = l->next;
    if (l->dead) {
      unlinklist(l);
      freelink(l);
    }
    l = next;
  }
}

}  // namespace

extern "C" {

WTmotionlink *_WTmotionlink_create(void *source, void *target, int frame, int sourcetype,
                                   int targettype) {
  WTmotionlink **head = _WTuniverse_linkslot();
  if (!head || !source || !target) return nullptr;
  if (sourcetype == WTSOURCE_PATH && _WTbase_class(source) != WTBASE_PATH) return nullptr;
  if (sourcetype == WTSOURCE_SENSOR && _WTbase_class(source) != WTBASE_SENSOR) return nullptr;
  for (WTmotionlink *l = *head; l; l = l->next)
    if (!l->dead && l->source == source && l->target == target) return nullptr;
  if (targettype == WTTARGET_MOVABLE && !WTnode_ismovable(static_cast<WTnode *>(target)))
    return nullptr;
  if (targettype == WTTARGET_NODEPATH &&
      !_WTnodepath_lastxform(static_cast<WTnodepath *>(target)))
    return nullptr;
  WTmotionlink *l = static_cast<WTmotionlink *>(_WTmem_alloc(sizeof(WTmotionlink)));
  memset(l, 0, sizeof *l);
  l->source = source;
  l->target = target;
  l->sourcetype = sourcetype;
  l->targettype = targettype;
  l->frame = frame;
  l->mode = targettype == WTTARGET_NODEPATH ? 1 : 0;
  l->enabled = 1;
  identitypose(&l->offset);
  l->reference[3] = 1.0f;
  WTmotionlink **end = head;
  WTmotionlink *prev = nullptr;
  while (*end) prev = *end, end = &(*end)->next;
  l->prev = prev;
  *end = l;
  return l;
}

WTmotionlink *WTmotionlink_new(void *source, void *target, int frame, int targettype) {
  if (targettype != WTTARGET_VIEWPOINT && targettype != WTTARGET_NODE &&
      targettype != WTTARGET_NODEPATH && targettype != WTTARGET_MOVABLE &&
      targettype != WTTARGET_OBJECT) {
    _WTmsg_warning("Illegal to_type in call to WTmotionlink_new.");
    return nullptr;
  }
  if (!source) return nullptr;
  // The source's class tells a sensor from a path: a path never runs as a sensor.
  int cls = _WTbase_class(source);
  if (cls != WTBASE_SENSOR && cls != WTBASE_PATH) return nullptr;
  return _WTmotionlink_create(source, target, frame,
                              cls == WTBASE_PATH ? WTSOURCE_PATH : WTSOURCE_SENSOR, targettype);
}

WTmotionlink *_WTmotionlink_newsensor(WTsensor *source, void *target, int frame, int targettype) {
  return _WTmotionlink_create(source, target, frame, WTSOURCE_SENSOR, targettype);
}

WTmotionlink *_WTmotionlink_newpath(WTpath *source, void *target, int frame, int targettype) {
  return _WTmotionlink_create(source, target, frame, WTSOURCE_PATH, targettype);
}

WTmotionlink *_WTmotionlink_newnodepath(WTnodepath *path, WTsensor *sensor, int frame) {
  return _WTmotionlink_create(sensor, path, frame, WTSOURCE_SENSOR, WTTARGET_NODEPATH);
}

int _WTmotionlink_delete(WTmotionlink *l) {
  if (!l || l->dead) return 0;
  for (WTpath *p = _WTuniverse_getpaths(); p; p = p->next)
    if (p->attached == l) p->attached = nullptr, p->attachedtarget = nullptr;
  if (l == passcurrent) {
    // The pass still reads this link's next field: it unlinks and frees the link itself.
    l->dead = 1;
    return 1;
  }
  unlinklist(l);
  freelink(l);
  return 1;
}

int _WTmotionlink_deleteall(void *object) {
  WTmotionlink **head = _WTuniverse_linkslot();
  if (!head || !object) return 0;
  int n = 0;
  WTmotionlink *l = *head;
  while (l) {
    WTmotionlink *next = l->next;
    if (l->source == object || l->target == object) n += _WTmotionlink_delete(l);
    l = next;
  }
  return n;
}

int _WTuniverse_removemotionlink(void *source, void *target) {
  WTmotionlink **head = _WTuniverse_linkslot();
  for (WTmotionlink *l = head ? *head : nullptr; l; l = l->next)
    if (!l->dead && l->source == source && l->target == target) return _WTmotionlink_delete(l);
  return 0;
}

WTmotionlink *_WTmotionlink_next(WTmotionlink *l) { return l ? l->next : nullptr; }

int _WTmotionlink_getsource(WTmotionlink *l, void **source, int *type) {
  if (!l || !source || !type) return 0;
  *source = l->source;
  *type = l->sourcetype;
  return 1;
}

int _WTmotionlink_gettarget(WTmotionlink *l, void **target, int *type) {
  if (!l || !target || !type) return 0;
  *target = l->target;
  *type = l->targettype;
  return 1;
}

int _WTmotionlink_getframe(WTmotionlink *l) { return l ? l->frame : -1; }
int _WTmotionlink_getmode(WTmotionlink *l) { return l ? l->mode : -1; }

int _WTmotionlink_setframe(WTmotionlink *l, int frame, const WTq reference) {
  if (!l) return 0;
  bool ok;
  switch (l->targettype) {
    case WTTARGET_VIEWPOINT:
      ok = frame >= 0 && frame <= 2;
      break;
    case WTTARGET_NODE:
    case WTTARGET_MOVABLE:
      ok = frame == 0 || frame == 3 || frame == 2;
      break;
    case WTTARGET_NODEPATH:
      ok = frame == 0 || frame == 1 || frame == 2;
      break;
    default:
      ok = false;
  }
  if (!ok) {
    _WTmsg_warning("Illegal reference frame requested. \t\t\t\t\t\t\t\t\tFrame unchanged.\n");
    return 0;
  }
  if (frame == 2 && l->targettype != WTTARGET_VIEWPOINT && !reference) return 0;
  if (reference) {
    memcpy(l->reference, reference, sizeof(WTq));
    l->hasreference = 1;
  }
  l->frame = frame;
  return 1;
}

int _WTmotionlink_getreference(WTmotionlink *l, WTq q) {
  if (!l || !q) return 0;
  memcpy(q, l->reference, sizeof(WTq));
  return 1;
}

int _WTmotionlink_setmode(WTmotionlink *l, int mode) {
  if (!l) return 0;
  switch (l->targettype) {
    case WTTARGET_VIEWPOINT:
      if (mode < 0 || mode > 2) return 0;
      if (mode != 1) _WTmotionlink_gettargetpose(l, &l->offset);
      l->mode = mode;
      return 1;
    case WTTARGET_NODE:
    case WTTARGET_MOVABLE:
      if (mode != 0 && mode != 1 && mode != 3) return 0;
      l->mode = mode == 1 ? 3 : mode;
      return 1;
    case WTTARGET_NODEPATH:
      if (mode != 1 && mode != 2) return 0;
      l->mode = mode;
      return 1;
    default:
      return 0;
  }
}

int _WTmotionlink_addconstraint(WTmotionlink *l, int type, float min, float max) {
  if (!l || !validconstraint(type, min, max)) return 0;
  int i = 0;
  while (i < l->nconstraints && l->constraints[i].kind != type) i++;
  if (i == l->nconstraints) {
    l->constraints = static_cast<WTconstraint *>(
        _WTmem_realloc(l->constraints, sizeof(WTconstraint) * static_cast<size_t>(i + 1)));
    l->nconstraints++;
  }
  l->constraints[i] = WTconstraint{type, min, max};
  if (l->targettype == WTTARGET_VIEWPOINT) _WTmotionlink_gettargetpose(l, &l->offset);
  return 1;
}

int _WTmotionlink_removeconstraint(WTmotionlink *l, int type) {
  if (!l) return 0;
  for (int i = 0; i < l->nconstraints; i++)
    if (l->constraints[i].kind == type) {
      l->constraints[i] = l->constraints[--l->nconstraints];
      return 1;
    }
  return 0;
}

int _WTmotionlink_numconstraints(WTmotionlink *l) { return l ? l->nconstraints : 0; }

int _WTmotionlink_enable(WTmotionlink *l, int on) {
  if (!l) return 0;
  l->enabled = on ? 1 : 0;
  return 1;
}

int _WTmotionlink_isenabled(WTmotionlink *l) { return l ? l->enabled : 0; }

void _WTmotionlink_setdata(WTmotionlink *l, void *data) {
  if (l) l->data = data;
}

void *_WTmotionlink_getdata(WTmotionlink *l) { return l ? l->data : nullptr; }

int _WTmotionlink_gettargetpose(WTmotionlink *l, WTpq *pose) {
  if (!l || !pose) return 0;
  identitypose(pose);
  WTm4 m;
  switch (l->targettype) {
    case WTTARGET_VIEWPOINT:
      WTviewpoint_getposition(static_cast<WTviewpoint *>(l->target), pose->p);
      WTviewpoint_getorientation(static_cast<WTviewpoint *>(l->target), pose->q);
      return 1;
    case WTTARGET_OBJECT:
      _WTobject_getposition(static_cast<WTobject *>(l->target), pose->p);
      _WTobject_getorientation(static_cast<WTobject *>(l->target), pose->q);
      return 1;
    case WTTARGET_NODE:
    case WTTARGET_MOVABLE:
      if (!WTnode_gettransform(static_cast<WTnode *>(l->target), m)) return 0;
      break;
    case WTTARGET_NODEPATH:
      if (!_WTnodepath_gettransform(static_cast<WTnodepath *>(l->target), m)) return 0;
      break;
    default:
      return 0;
  }
  WTm4_2pq(m, pose);
  return 1;
}

int _WTmotionlink_getoffset(WTmotionlink *l, WTpq *pose) {
  if (!l || !pose) return 0;
  *pose = l->offset;
  return 1;
}

float _WTmotionlink_getoffsetz(WTmotionlink *l) { return l ? l->offset.p[2] : 0.0f; }

void _WTmotionlink_setoffsetz(WTmotionlink *l, float z) {
  if (l) l->offset.p[2] = z;
}

void _WTmotionlink_applypose(WTmotionlink *l, const WTp3 p, const WTq q, int skipposition,
                             int skiporientation) {
  void *t = l->target;
  switch (l->targettype) {
    case WTTARGET_VIEWPOINT:
      if (!skipposition) WTviewpoint_setposition(static_cast<WTviewpoint *>(t), p);
      if (!skiporientation) WTviewpoint_setorientation(static_cast<WTviewpoint *>(t), q);
      break;
    case WTTARGET_OBJECT:
      if (!skipposition) _WTobject_setposition(static_cast<WTobject *>(t), p);
      if (!skiporientation) WTobject_setorientation(static_cast<WTobject *>(t), q);
      break;
    case WTTARGET_NODE:
    case WTTARGET_MOVABLE:
      if (!skipposition) WTnode_settranslation(static_cast<WTnode *>(t), p);
      if (!skiporientation) WTnode_setorientation(static_cast<WTnode *>(t), q);
      break;
    case WTTARGET_NODEPATH: {
      WTnode *node = _WTnodepath_lastxform(static_cast<WTnodepath *>(t));
      if (!skipposition) WTnode_settranslation(node, p);
      if (!skiporientation) WTnode_setorientation(node, q);
      break;
    }
    default:
      break;
  }
}

void _WTnode_sensorupdate(WTmotionlink *l) {
  if (!l) return;
  WTnode *node = static_cast<WTnode *>(l->target);
  WTp3 dt;
  WTq dq;
  _WTsensor_getdeltarecord(static_cast<WTsensor *>(l->source), dt, dq);
  if (isidentity(dt, dq)) return;
  WTp3 oldt;
  WTm3 oldr;
  if (!WTnode_gettranslation(node, oldt) || !WTnode_getrotation(node, oldr)) return;
  bool tveto = !_WTnode_firepre(node, "Translation");
  bool rveto = !_WTnode_firepre(node, "Rotation");
  bool was = _WTnode_getevents();
  _WTnode_setevents(0);
  WTq current, turned;
  WTnode_getorientation(node, current);
  if (l->frame == WTFRAME_LOCAL) {
    _WTq_multiply(dq, current, turned);
  } else {
    if (l->frame != WTFRAME_PARENT) inreference(dq, l->reference, dq);
    _WTq_multiply(current, dq, turned);
  }
  WTnode_setorientation(node, turned);
  if (l->frame != WTFRAME_LOCAL && l->frame != WTFRAME_PARENT) {
    WTq c;
    conj(l->reference, c);
    _WTq_rotatepoint(dt, c, dt);
  }
  WTnode_translate(node, dt, l->frame == WTFRAME_LOCAL ? WTFRAME_LOCAL : WTFRAME_PARENT);
  if (l->nconstraints) {
    WTm4 m, limited;
    WTnode_gettransform(node, m);
    if (_WTm4_constrain(m, limited, l->nconstraints, l->constraints) == 3)
      WTnode_settransform(node, limited);
  }
  _WTnode_setevents(was);
  WTm3 block;
  WTp3 t;
  if (tveto) {
    _WTnode_setevents(0);
    WTnode_settranslation(node, oldt);
    _WTnode_setevents(was);
  } else if (_WTnode_haspost(node, "Translation")) {
    WTnode_gettranslation(node, t);
    WTproperty_firehandlers(node, "Translation", t);
  }
  if (rveto) {
    _WTnode_setevents(0);
    WTnode_setrotation(node, oldr);
    _WTnode_setevents(was);
  } else if (_WTnode_haspost(node, "Rotation")) {
    WTnode_getrotation(node, block);
    WTproperty_firehandlers(node, "Rotation", block);
  }
}

void _WTmotionlink_clear(void) {
  WTmotionlink **head = _WTuniverse_linkslot();
  while (head && *head) {
    WTmotionlink *l = *head;
    unlinklist(l);
    freelink(l);
  }
}

void _WTmotionlink_runall(void) {
  eachlink([](WTmotionlink *l) { return l->targettype == WTTARGET_LIGHT; },
           [](WTmotionlink *) {});
  _WTlight_followsensors();
  eachlink([](WTmotionlink *l) { return l->targettype == WTTARGET_VIEWPOINT; }, viewpointupdate);
  _WTanimseq_stepall();
  eachlink([](WTmotionlink *l) { return l->targettype != WTTARGET_VIEWPOINT &&
                                        l->targettype != WTTARGET_LIGHT &&
                                        l->targettype != WTTARGET_NODEPATH; },
           runtarget);
  eachlink([](WTmotionlink *l) { return l->targettype == WTTARGET_NODEPATH; }, runtarget);
}

WTmotionlink *WTnode_addsensor(WTnode *node, WTsensor *sensor) {
  if (!node || !sensor) return nullptr;
  if (WTnode_ismovable(node)) return _WTmotionlink_newsensor(sensor, node, 0, WTTARGET_MOVABLE);
  if (WTnode_gettype(node) != WTNODE_XFORM) return nullptr;
  return _WTmotionlink_newsensor(sensor, node, 0, WTTARGET_NODE);
}
}
