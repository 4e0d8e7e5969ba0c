// Paths: recorded sequences of poses, played back through motion links, and the path file.
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "toolkit/core/layers.h"
#include "toolkit/core/motion.h"
#include "toolkit/core/node.h"
#include "toolkit/geometry/geometry.h"

namespace {

enum { kIdle = 0, kRecording = 1, kPlaying = 2, kStep = 3 };

const char kHeader[] = "path record v.2";

bool pre(WTpath *p, const char *name) { return WTproperty_firehandlers_pre(p, name) != 0; }

void post(WTpath *p, const char *name, int value) { WTproperty_firehandlers(p, name, &value); }

void identityq(WTq q) {
  q[0] = q[1] = q[2] = 0.0f;
  q[3] = 1.0f;
}

// ---- Markers -------------------------------------------------------------------------------

void placemarker(WTpathelement *e) {
  if (e->markerobject) {
    WTpq pose;
    memcpy(pose.p, e->position, sizeof(WTp3));
    memcpy(pose.q, e->orientation, sizeof(WTq));
    _WTobject_setpose(e->markerobject, &pose);
  }
  if (e->marker) {
    bool was = _WTnode_getevents();
    _WTnode_setevents(0);
    WTnode_settranslation(e->marker, e->position);
    WTnode_setorientation(e->marker, e->orientation);
    _WTnode_setevents(was);
  }
}

WTnode *newmarkernode(WTpath *p) {
  WTnode *root = WTuniverse_getrootnodes();
  if (p->first && p->first->marker) return _WTmovnode_instance(root, p->first->marker);
  if (!p->markergeometry) return nullptr;
  WTgeometry *copy = WTgeometry_copy(p->markergeometry);
  WTnode *n = copy ? WTmovgeometrynode_new(root, copy) : nullptr;
  if (!n && copy) WTgeometry_delete(copy);
  return n;
}

void showmarker(WTpath *p, WTpathelement *e) {
  if (p->markerobject) {
    if (!e->markerobject) {
      e->markerobject = _WTobject_copy(p->markerobject);
      _WTobject_setpathelement(e->markerobject, e);
    }
    if (e->markerobject) _WTobject_addtoscene(e->markerobject);
  } else if (e->marker) {
    WTnode_addchild(WTuniverse_getrootnodes(), e->marker);
  } else if (WTnode *n = newmarkernode(p)) {
    WTnode_setname(n, "WTMarker");
    WTnode_setdata(n, e);
    e->marker = n;
  }
  placemarker(e);
}

void hidemarker(WTpathelement *e) {
  if (e->markerobject) _WTobject_remove(e->markerobject);
  if (e->marker) WTnode_remove(e->marker);
}

void deletemarker(WTpathelement *e) {
  if (e->markerobject) _WTobject_delete(e->markerobject);
  if (e->marker) WTnode_delete(e->marker);
  e->markerobject = nullptr;
  e->marker = nullptr;
}

// ---- Elements ------------------------------------------------------------------------------

void sample(WTpath *p, WTpathelement *e) {
  if (p->recordfrom) {
    WTviewpoint_getposition(p->recordfrom, e->position);
    WTviewpoint_getorientation(p->recordfrom, e->orientation);
  } else if (p->attached && p->attachedtarget) {
    _WTobject_getposition(static_cast<WTobject *>(p->attachedtarget), e->position);
    _WTobject_getorientation(static_cast<WTobject *>(p->attachedtarget), e->orientation);
  } else if (WTviewpoint *v = _WTuniverse_getviewpoint()) {
    WTviewpoint_getposition(v, e->position);
    WTviewpoint_getorientation(v, e->orientation);
  }
}

void linkafter(WTpath *p, WTpathelement *after, WTpathelement *e) {
  e->path = p;
  e->prev = after;
  e->next = after ? after->next : p->first;
  if (e->next)
    e->next->prev = e;
  else
    p->last = e;
  if (after)
    after->next = e;
  else
    p->first = e;
  p->current = e;
  if (p->markersshown) showmarker(p, e);
}

// The element given, or a new one sampled from the record source; null when refused.
WTpathelement *elementfor(WTpath *p, WTpathelement *e) {
  if (e) return e->path ? nullptr : e;
  e = _WTpathelement_new(nullptr);
  sample(p, e);
  return e;
}

// ---- Frame steps ---------------------------------------------------------------------------

void recordstep(WTpath *p) {
  if (--p->countdown >= 1) return;
  _WTpath_append(p, nullptr);
  p->countdown = p->rate;
}

// One advance; false at the end of the list (where the loop flags have been applied).
bool advance(WTpath *p) {
  WTpathelement *next = p->forward ? p->current->next : p->current->prev;
  if (next) {
    p->current = next;
    return true;
  }
  if (p->loop & 2) {
    p->forward = p->forward ? 0 : 1;
    if (!(p->loop & 1)) p->state = kIdle;
  } else if (p->loop & 1) {
    p->current = p->forward ? p->first : p->last;
  } else {
    p->state = kIdle;
  }
  return false;
}

void apply(WTpath *p) {
  WTmotionlink **head = _WTuniverse_linkslot();
  for (WTmotionlink *l = head ? *head : nullptr; l; l = l->next)
    if (l->source == p && l->sourcetype == WTSOURCE_PATH && l->enabled && !l->dead)
      _WTmotionlink_applypose(l, p->current->position, p->current->orientation,
                              (p->constraints & 7) != 0, (p->constraints & 56) != 0);
}

void playstep(WTpath *p) {
  if (!p->first) {
    _WTmsg_warning("Invalid path or path list\n");
    return;
  }
  if (p->state != kPlaying && p->state != kStep) return;
  if (!p->current) {
    _WTmsg_warning("Current elem is invalid\n");
    return;
  }
  int state = p->state;
  int times = p->speed > 0 ? p->speed : 1;
  for (int i = 0; i < times; i++)
    if (!advance(p)) break;
  apply(p);
  if (state == kStep) {
    p->state = kIdle;
    post(p, "Playing", 0);
  } else if (p->state == kIdle) {
    post(p, "Playing", 0);
  }
}

// ---- Interpolation -------------------------------------------------------------------------

const WTpathelement *neighbour(const WTpathelement *e, bool before) {
  const WTpathelement *n = before ? e->prev : e->next;
  return n ? n : e;
}

void curve(int kind, const float *p0, const float *p1, const float *p2, const float *p3, float t,
           float *out) {
  float u = 1 - t;
  for (int j = 0; j < 3; j++) {
    if (kind == 1)
      out[j] = p0[j] * u * u * u + 3 * p1[j] * t * u * u + 3 * p2[j] * t * t * u + p3[j] * t * t * t;
    else
      out[j] = ((-t * t * t + 3 * t * t - 3 * t + 1) * p0[j] + (3 * t * t * t - 6 * t * t + 4) * p1[j] +
                (-3 * t * t * t + 3 * t * t + 3 * t + 1) * p2[j] + t * t * t * p3[j]) / 6;
  }
}

WTpathelement *between(const WTpathelement *a, const WTpathelement *b, float t, int kind) {
  WTpathelement *e = _WTpathelement_new(nullptr);
  if (kind == 3) {
    for (int j = 0; j < 3; j++) e->position[j] = (1 - t) * a->position[j] + t * b->position[j];
  } else {
    const WTpathelement *before = neighbour(a, true), *after = neighbour(b, false);
    curve(kind, before->position, a->position, b->position, after->position, t, e->position);
  }
  _WTq_slerp(a->orientation, b->orientation, t, e->orientation);
  return e;
}

// ---- The path file -------------------------------------------------------------------------

bool readelement(FILE *f, WTpathelement *e) {
  float *p = e->position, *q = e->orientation;
  return fscanf(f, " Posi %f %f %f", &p[0], &p[1], &p[2]) == 3 &&
         fscanf(f, " Orie %f %f %f %f", &q[0], &q[1], &q[2], &q[3]) == 4;
}

bool readpath(WTpath *p, FILE *f, const char *name) {
  char line[81];
  if (!fgets(line, sizeof line, f) || strncmp(line, kHeader, strlen(kHeader)) != 0) {
    _WTmsg_warning("File '%s' is not a path file\n", name);
    return false;
  }
  int count;
  if (fscanf(f, "%d\n", &count) != 1 || count < 0) {
    _WTmsg_warning("File '%s': the element count does not read\n", name);
    return false;
  }
  for (int i = 0; i < count; i++) {
    WTpathelement *e = _WTpathelement_new(nullptr);
    if (!readelement(f, e)) {
      _WTmsg_warning("File '%s', line %d: the element does not read\n", name, 3 + 2 * i);
      _WTpathelement_delete(e);
      return false;
    }
    _WTpath_append(p, e);
  }
  return true;
}

}  // namespace

extern "C" {

WTpath *_WTpath_new(WTobject *marker) {
  WTpath **head = _WTuniverse_pathslot();
  if (!head) return nullptr;
  WTpath *p = static_cast<WTpath *>(_WTmem_alloc(sizeof(WTpath)));
  memset(p, 0, sizeof *p);
  p->tag = 34;
  p->forward = 1;
  p->speed = 1;
  p->rate = 1;
  if (marker) p->markerobject = _WTobject_copy(marker);
  p->next = *head;
  *head = p;
  return p;
}

void WTpath_delete(WTpath *p) {
  if (!p) return;
  _WTmotionlink_deleteall(p);
  _WTtask_deleteall(p);
  _WTbase_calldeleted(p);
  WTbase_removeallhandlers(p);
  WTbase_deleteproperties(p);
  for (WTpath **slot = _WTuniverse_pathslot(); slot && *slot; slot = &(*slot)->next)
    if (*slot == p) {
      *slot = p->next;
      break;
    }
  while (p->first) _WTpathelement_delete(p->first);
  if (p->markerobject) _WTobject_delete(p->markerobject);
  if (p->markergeometry) WTgeometry_delete(p->markergeometry);
  _WTmem_free(p->name);
  _WTmem_free(p);
}

void _WTpath_deleteall(void) {
  WTpath **head = _WTuniverse_pathslot();
  while (head && *head) WTpath_delete(*head);
}

void _WTpath_hideallmarkers(void) {
  WTpath **head = _WTuniverse_pathslot();
  for (WTpath *p = head ? *head : nullptr; p; p = p->next)
    if (p->markersshown) _WTpath_showmarkers(p, 0);
}

void WTpath_setname(WTpath *p, const char *name) {
  if (!p) return;
  _WTmem_free(p->name);
  p->name = nullptr;
  if (name) p->name = _WTbase_callisnamestored(p) ? const_cast<char *>(name) : _WTmem_strdup(name);
}

const char *WTpath_getname(WTpath *p) { return p ? p->name : nullptr; }

void WTpath_setdata(WTpath *p, void *data) {
  if (p) p->data = data;
}

void *WTpath_getdata(WTpath *p) { return p ? p->data : nullptr; }

void _WTpath_sethaseventhandlers(WTpath *p, int flag) {
  if (p) p->haseventhandlers = static_cast<unsigned char>(flag);
}

int _WTpath_gethaseventhandlers(WTpath *p) { return p ? p->haseventhandlers : 0; }

WTpath *WTuniverse_findpath(const char *name, int n) {
  if (!name) return nullptr;
  WTpath **head = _WTuniverse_pathslot();
  for (WTpath *p = head ? *head : nullptr; p; p = p->next)
    if (p->name && strncmp(p->name, name, static_cast<size_t>(n)) == 0 &&
        static_cast<int>(strlen(p->name)) == n)
      return p;
  return nullptr;
}

WTpath *_WTpath_next(WTpath *p) { return p ? p->next : nullptr; }

int _WTpath_setmarkerobject(WTpath *p, WTobject *object) {
  if (!p) return 0;
  if (p->markerobject) _WTobject_delete(p->markerobject);
  p->markerobject = object ? _WTobject_copy(object) : nullptr;
  return 1;
}

int _WTpath_setmarkergeometry(WTpath *p, WTgeometry *geometry) {
  if (!p || !pre(p, "PtMa")) return 0;
  if (p->markergeometry) WTgeometry_delete(p->markergeometry);
  p->markergeometry = geometry ? WTgeometry_copy(geometry) : nullptr;
  WTproperty_firehandlers(p, "PtMa", p->markergeometry);
  return 1;
}

WTgeometry *_WTpath_getmarkergeometry(WTpath *p) { return p ? p->markergeometry : nullptr; }
int _WTpath_getmarkersshown(WTpath *p) { return p ? p->markersshown : 0; }
int _WTpath_isplaying(WTpath *p) { return p && (p->state == kPlaying || p->state == kStep); }
int _WTpath_isrecording(WTpath *p) { return p && p->state == kRecording; }

int _WTpath_attach(WTpath *p, WTobject *target) {
  if (!p) return 0;
  if (p->attached) _WTuniverse_removemotionlink(p, p->attachedtarget);
  p->attached = nullptr;
  p->attachedtarget = nullptr;
  if (!target) return 1;
  p->attached = _WTmotionlink_newpath(p, target, 0, WTTARGET_OBJECT);
  if (p->attached) p->attachedtarget = target;
  return p->attached != nullptr;
}

WTpathelement *_WTpathelement_new(const WTpq *pose) {
  WTpathelement *e = static_cast<WTpathelement *>(_WTmem_alloc(sizeof(WTpathelement)));
  memset(e, 0, sizeof *e);
  if (pose) {
    memcpy(e->position, pose->p, sizeof(WTp3));
    memcpy(e->orientation, pose->q, sizeof(WTq));
  } else {
    identityq(e->orientation);
  }
  return e;
}

WTpathelement *_WTpathelement_copy(WTpathelement *e) {
  if (!e) return nullptr;
  WTpathelement *c = _WTpathelement_new(nullptr);
  memcpy(c->position, e->position, sizeof(WTp3));
  memcpy(c->orientation, e->orientation, sizeof(WTq));
  return c;
}

int _WTpath_append(WTpath *p, WTpathelement *e) {
  if (!p || !(e = elementfor(p, e))) return 0;
  linkafter(p, p->last, e);
  return 1;
}

int _WTpath_insertelement(WTpath *p, WTpathelement *e) {
  if (!p || !(e = elementfor(p, e))) return 0;
  linkafter(p, p->current ? p->current : p->last, e);
  return 1;
}

int _WTpathelement_unlink(WTpathelement *e) {
  if (!e) return 0;
  WTpath *p = e->path;
  if (p) {
    if (p->current == e) p->current = e->next ? e->next : e->prev;
    if (p->first == e) p->first = e->next;
    if (p->last == e) p->last = e->prev;
  }
  if (e->prev) e->prev->next = e->next;
  if (e->next) e->next->prev = e->prev;
  e->prev = e->next = nullptr;
  e->path = nullptr;
  return 1;
}

int _WTpathelement_delete(WTpathelement *e) {
  if (!e) return 0;
  _WTpathelement_unlink(e);
  deletemarker(e);
  _WTmem_free(e);
  return 1;
}

int _WTpathelement_getposition(WTpathelement *e, WTp3 p) {
  if (!e || !p) return 0;
  memcpy(p, e->position, sizeof(WTp3));
  return 1;
}

int _WTpathelement_setposition(WTpathelement *e, const WTp3 p) {
  if (!e || !p) return 0;
  memcpy(e->position, p, sizeof(WTp3));
  placemarker(e);
  return 1;
}

int _WTpathelement_getorientation(WTpathelement *e, WTq q) {
  if (!e || !q) return 0;
  memcpy(q, e->orientation, sizeof(WTq));
  return 1;
}

int WTpathelement_setorientation(WTpathelement *e, const WTq q) {
  if (!e || !q) return 0;
  if (fabsf(q[0]) < 0.004f && fabsf(q[1]) < 0.004f && fabsf(q[2]) < 0.004f &&
      fabsf(q[3]) < 0.004f) {
    _WTmsg_warning("Invalid quaternion passed to WTpathelement_setorientation.\n");
    return 0;
  }
  memcpy(e->orientation, q, sizeof(WTq));
  placemarker(e);
  return 1;
}

WTpathelement *_WTpath_getfirstelement(WTpath *p) { return p ? p->first : nullptr; }
WTpathelement *_WTpathelement_next(WTpathelement *e) { return e ? e->next : nullptr; }
WTpathelement *_WTpath_getcurrentelement(WTpath *p) { return p ? p->current : nullptr; }

int _WTpath_numelements(WTpath *p) {
  if (!p) return -1;
  int n = 0;
  for (WTpathelement *e = p->first; e; e = e->next) n++;
  return n;
}

WTpath *_WTpath_copy(WTpath *p) {
  if (!p) return nullptr;
  WTpath *c = _WTpath_new(p->markerobject);
  if (!c) return nullptr;
  for (WTpathelement *e = p->first; e; e = e->next) _WTpath_append(c, _WTpathelement_copy(e));
  c->current = c->first;
  return c;
}

int _WTpath_record(WTpath *p) {
  if (!p || p->state != kIdle || !pre(p, "Recording")) return 0;
  p->state = kRecording;
  p->recordstart = _WTsys_seconds();
  p->countdown = p->rate;
  post(p, "Recording", 1);
  return 1;
}

int _WTpath_recordone(WTpath *p) {
  if (!p || p->state != kIdle) return 0;
  post(p, "Recording", 1);
  int ok = _WTpath_append(p, nullptr);
  post(p, "Recording", 0);
  return ok;
}

int _WTpath_stop(WTpath *p) {
  if (!p) return 0;
  int was = p->state;
  p->state = kIdle;
  if (was == kRecording) post(p, "Recording", 0);
  if (was == kPlaying || was == kStep) post(p, "Playing", 0);
  return 1;
}

static int startplay(WTpath *p, int state) {
  if (!p || p->state != kIdle || !p->first || !pre(p, "Playing")) return 0;
  if (!p->current) p->current = p->first;
  p->state = state;
  post(p, "Playing", 1);
  return 1;
}

int _WTpath_play(WTpath *p) { return startplay(p, kPlaying); }
int _WTpath_playstep(WTpath *p) { return startplay(p, kStep); }

int _WTpath_setplaying(WTpath *p, int on) {
  if (!p) return 0;
  if ((_WTpath_isplaying(p) != 0) == (on != 0)) return 1;
  return on ? _WTpath_play(p) : _WTpath_stop(p);
}

int _WTpath_getplaying(WTpath *p) { return _WTpath_isplaying(p); }

int _WTpath_setrecording(WTpath *p, int on) {
  if (!p) return 0;
  if ((_WTpath_isrecording(p) != 0) == (on != 0)) return 1;
  return on ? _WTpath_record(p) : _WTpath_stop(p);
}

int _WTpath_getrecording(WTpath *p) { return _WTpath_isrecording(p); }

int _WTpath_setloop(WTpath *p, int flags) {
  if (!p) return 0;
  p->loop = static_cast<unsigned char>(flags & 3);
  return 1;
}

int _WTpath_getloop(WTpath *p) { return p ? p->loop : 0; }

// The setters with one integer property.
static int setint(WTpath *p, const char *name, int32_t &field, int value) {
  if (!p || !pre(p, name)) return 0;
  field = value;
  post(p, name, value);
  return 1;
}

int _WTpath_setspeed(WTpath *p, int speed) { return p ? setint(p, "Speed", p->speed, speed) : 0; }
int _WTpath_getspeed(WTpath *p) { return p ? p->speed : 0; }
int _WTpath_setrate(WTpath *p, int rate) { return p ? setint(p, "PtSa", p->rate, rate < 1 ? 1 : rate) : 0; }
int _WTpath_getrate(WTpath *p) { return p ? p->rate : 0; }

int _WTpath_setconstraints(WTpath *p, int bits) {
  if (!p || !pre(p, "PtCo")) return 0;
  p->constraints = static_cast<unsigned char>(bits);
  post(p, "PtCo", p->constraints);
  return 1;
}

int _WTpath_getconstraints(WTpath *p) { return p ? p->constraints : 0; }

int _WTpath_setdirection(WTpath *p, int forward) {
  if (!p || !pre(p, "Forward")) return 0;
  p->forward = forward ? 1 : 0;
  post(p, "Forward", p->forward);
  return 1;
}

int _WTpath_getdirection(WTpath *p) { return p ? p->forward : 0; }

int _WTpath_setmode(WTpath *p, int mode) {
  if (!p || mode < 0 || mode > 3) return 0;
  return setint(p, "PtMo", p->mode, mode);
}

int _WTpath_getmode(WTpath *p) { return p ? p->mode : 0; }

int _WTpath_setrecordfrom(WTpath *p, WTviewpoint *v) {
  if (!p || !pre(p, "Record From")) return 0;
  p->recordfrom = v;
  WTproperty_firehandlers(p, "Record From", v);
  return 1;
}

WTviewpoint *_WTpath_getrecordfrom(WTpath *p) { return p ? p->recordfrom : nullptr; }

int _WTpath_seekelement(WTpath *p, int count, int from) {
  if (!p) return 0;
  WTpathelement *e = from == 1 ? p->first : from == 2 ? p->current : from == 3 ? p->last : nullptr;
  for (; e && count > 0; count--) e = e->next;
  for (; e && count < 0; count++) e = e->prev;
  if (!e) return 0;
  p->current = e;
  return 1;
}

int _WTpath_rewind(WTpath *p) {
  if (!p || p->state != kIdle) return 0;
  p->current = p->first;
  return 1;
}

int _WTpath_showmarkers(WTpath *p, int on) {
  if (!p || !pre(p, "PtVi")) return 0;
  p->markersshown = on ? 1 : 0;
  for (WTpathelement *e = p->first; e; e = e->next) {
    if (on)
      showmarker(p, e);
    else
      hidemarker(e);
  }
  post(p, "PtVi", p->markersshown);
  return 1;
}

int _WTpath_setcurrenttranslation(WTpath *p, const WTp3 v) {
  return p && p->current ? _WTpathelement_setposition(p->current, v) : 0;
}

int _WTpath_getcurrenttranslation(WTpath *p, WTp3 v) {
  return p && p->current ? _WTpathelement_getposition(p->current, v) : 0;
}

int _WTpath_setcurrentrotation(WTpath *p, const WTq q) {
  return p && p->current ? WTpathelement_setorientation(p->current, q) : 0;
}

int _WTpath_getcurrentrotation(WTpath *p, WTq q) {
  return p && p->current ? _WTpathelement_getorientation(p->current, q) : 0;
}

WTpath *_WTpath_interpolate(WTpath *p, int n, int kind) {
  if (!p || n < 1 || kind < 1 || kind > 3 || !p->first || !p->first->next) return nullptr;
  WTpath *out = _WTpath_new(p->markerobject);
  for (WTpathelement *a = p->first; a->next; a = a->next) {
    _WTpath_append(out, _WTpathelement_copy(a));
    for (int i = 1; i < n; i++)
      _WTpath_append(out, between(a, a->next, static_cast<float>(i) / static_cast<float>(n), kind));
  }
  _WTpath_append(out, _WTpathelement_copy(p->last));
  out->current = out->first;
  return out;
}

int _WTpath_save(WTpath *p, const char *filename) {
  if (!p || !filename) return 0;
  FILE *f = _WTfile_open(filename, "w");
  if (!f) {
    perror(filename);
    return 0;
  }
  fprintf(f, "%s\n%d\n", kHeader, _WTpath_numelements(p));
  for (WTpathelement *e = p->first; e; e = e->next) {
    fprintf(f, "Posi  %f %f %f\n", e->position[0], e->position[1], e->position[2]);
    fprintf(f, "Orie  %f %f %f %f\n", e->orientation[0], e->orientation[1], e->orientation[2],
            e->orientation[3]);
  }
  fclose(f);
  _WTpath_stop(p);
  return 1;
}

WTpath *_WTpath_load(const char *filename, WTnode *) {
  if (!filename) return nullptr;
  WTpath *p = _WTpath_new(nullptr);
  if (!p) return nullptr;
  const char *found = _WTfile_findmodel(filename);
  FILE *f = nullptr;
  if (!found) {
    _WTmsg_warning("Couldn't find file %s\n", filename);
  } else if (!(f = _WTfile_open(found, "r"))) {
    perror(found);
  }
  bool ok = f && readpath(p, f, filename);
  if (f) fclose(f);
  if (!ok) {
    // A path that did not load leaves nothing behind.
    WTpath_delete(p);
    return nullptr;
  }
  p->current = p->first;
  return p;
}

void _WTpath_stepall(void) {
  WTpath **head = _WTuniverse_pathslot();
  for (WTpath *p = head ? *head : nullptr; p; p = p->next) {
    if (p->state == kRecording)
      recordstep(p);
    else if (p->state == kPlaying || p->state == kStep)
      playstep(p);
  }
}
}
