// Sensors: one input device's pose record and driver functions, updated once per frame.
#include <math.h>
#include <string.h>

#include "toolkit/core/motion.h"

namespace {

// Off while a one-part setter calls the combined setter, so that events fire once.
bool fireevents = true;

void identityq(WTq q) {
  q[0] = q[1] = q[2] = 0.0f;
  q[3] = 1.0f;
}

bool allsmall(const float *v, int n) {
  for (int i = 0; i < n; i++)
    if (fabsf(v[i]) >= 0.004f) return false;
  return true;
}

bool pre(WTsensor *s, const char *name) {
  return !fireevents || WTproperty_firehandlers_pre(s, name);
}

void post(WTsensor *s, const char *name, const void *value) {
  if (fireevents) WTproperty_firehandlers(s, name, value);
}

void append(WTsensor *s) {
  WTsensor **slot = _WTuniverse_sensorslot();
  if (!slot) return;
  while (*slot) {
    if (*slot == s) return;
    slot = &(*slot)->next;
  }
  *slot = s;
}

void unlink(WTsensor *s) {
  for (WTsensor **slot = _WTuniverse_sensorslot(); slot && *slot; slot = &(*slot)->next)
    if (*slot == s) {
      *slot = s->next;
      return;
    }
}

void freebuffers(WTsensor *s) {
  _WTmem_free(s->raw);
  _WTmem_free(s->raw2);
  s->raw = s->raw2 = nullptr;
  if (s->serial) _WTserial_close(s->serial);
  s->serial = nullptr;
}

// Runs a pair setter on one part, keeping the other.
int setpart(WTsensor *s, const char *name, const float *t, const float *q,
            int (*setter)(WTsensor *, const WTp3, const WTq)) {
  if (!s || !pre(s, name)) return 0;
  bool was = fireevents;
  fireevents = false;
  int ok = setter(s, t, q);
  fireevents = was;
  if (ok) post(s, name, strcmp(name, "Translation") == 0 || strcmp(name, "Snlt") == 0 ? t : q);
  return ok;
}

}  // namespace

extern "C" {

WTsensor *_WTsensor_new(WTsensoropenfn open, WTsensorfn close, WTsensorfn update, void *serial,
                        uint16_t device, int16_t mode) {
  WTsensor *s = static_cast<WTsensor *>(_WTmem_alloc(sizeof(WTsensor)));
  memset(s, 0, sizeof *s);
  s->tag = 33;
  identityq(s->rotation);
  identityq(s->lastrotation);
  identityq(s->reference);
  s->sensitivity = 1.0f;
  s->angularrate = 0.0873f;
  s->update = update;
  s->close = close;
  s->mode = mode == 1 || mode == 2 ? mode : 0;
  s->device = device;
  s->serial = serial;
  if (s->mode != 2 && open && !open(s)) {
    freebuffers(s);
    _WTmem_free(s);
    return nullptr;
  }
  append(s);
  return s;
}

WTsensor *WTsensor_new(WTsensoropenfn open, WTsensorfn close, WTsensorfn update, void *serial,
                       uint16_t device, int16_t mode) {
  return _WTsensor_new(open, close, update, serial, device, mode);
}

void WTsensor_delete(WTsensor *s) {
  if (!s) return;
  // Links name their sensor; none may outlive it.
  _WTmotionlink_deleteall(s);
  if (s->mode != 2 && s->close) s->close(s);
  freebuffers(s);
  unlink(s);
  _WTtask_deleteall(s);
  _WTbase_calldeleted(s);
  WTbase_removeallhandlers(s);
  WTbase_deleteproperties(s);
  _WTmem_free(s->name);
  _WTmem_free(s);
}

void _WTsensor_deleteall(void) {
  WTsensor **slot = _WTuniverse_sensorslot();
  while (slot && *slot) WTsensor_delete(*slot);
}

void WTsensor_setdata(WTsensor *s, void *data) {
  if (s) s->data = data;
}
void *WTsensor_getdata(WTsensor *s) { return s ? s->data : nullptr; }

void WTsensor_setname(WTsensor *s, const char *name) {
  if (!s) return;
  _WTmem_free(s->name);
  s->name = nullptr;
  if (name) s->name = _WTbase_callisnamestored(s) ? const_cast<char *>(name) : _WTmem_strdup(name);
}

const char *WTsensor_getname(WTsensor *s) { return s ? s->name : nullptr; }

void _WTsensor_sethaseventhandlers(WTsensor *s, int flag) {
  if (s) s->haseventhandlers = static_cast<unsigned char>(flag);
}
int _WTsensor_gethaseventhandlers(WTsensor *s) { return s ? s->haseventhandlers : 0; }

WTsensor *WTuniverse_findsensor(const char *name, int n) {
  if (!name) return nullptr;
  WTsensor **slot = _WTuniverse_sensorslot();
  for (WTsensor *s = slot ? *slot : nullptr; s; s = s->next)
    if (s->name && strncmp(s->name, name, static_cast<size_t>(n)) == 0 &&
        static_cast<int>(strlen(s->name)) == n)
      return s;
  return nullptr;
}

WTsensor *_WTsensor_next(WTsensor *s) { return s ? s->next : nullptr; }

void _WTsensor_update(WTsensor *s) {
  if (!s) return;
  if (s->update) s->update(s);
  if (!s->referenceinuse) return;
  WTq conj = {-s->reference[0], -s->reference[1], -s->reference[2], s->reference[3]};
  WTq turned;
  _WTq_multiply(s->reference, s->rotation, turned);
  _WTq_multiply(turned, conj, s->rotation);
  _WTq_rotatepoint(s->translation, conj, s->translation);
}

int WTsensor_rotate(WTsensor *s, const WTq q) {
  if (!s || !q) return 0;
  if (allsmall(q, 4)) {
    _WTmsg_warning("Invalid quaternion passed to WTsensor_rotate.\n");
    return 0;
  }
  float sum = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
  if (sum < 0.004f || !pre(s, "SnRf")) return 0;
  // Divided by the norm, so that the stored reference is a unit quaternion.
  float norm = sqrtf(sum);
  WTq unit = {q[0] / norm, q[1] / norm, q[2] / norm, q[3] / norm};
  if (allsmall(unit, 3)) {
    identityq(s->reference);
    s->referenceinuse = 0;
  } else {
    memcpy(s->reference, unit, sizeof(WTq));
    s->referenceinuse = 1;
  }
  post(s, "SnRf", s->reference);
  return 1;
}

int _WTsensor_setreference(WTsensor *s, const WTq q) { return WTsensor_rotate(s, q); }

int _WTsensor_getreference(WTsensor *s, WTq q) {
  if (!s || !q) return 0;
  memcpy(q, s->reference, sizeof(WTq));
  return 1;
}

int WTsensor_setrecord(WTsensor *s, const WTp3 t, const WTq q) {
  if (!s || !t || !q) return 0;
  if (allsmall(q, 4)) {
    _WTmsg_warning("Invalid quaternion passed to WTsensor_setrecord.\n");
    return 0;
  }
  if (!pre(s, "Translation") || !pre(s, "Rotation")) return 0;
  memcpy(s->translation, t, sizeof(WTp3));
  memcpy(s->rotation, q, sizeof(WTq));
  post(s, "Translation", s->translation);
  post(s, "Rotation", s->rotation);
  return 1;
}

int _WTsensor_settranslation(WTsensor *s, const WTp3 p) {
  return s ? setpart(s, "Translation", p, s->rotation, WTsensor_setrecord) : 0;
}

int _WTsensor_setrotation(WTsensor *s, const WTq q) {
  return s ? setpart(s, "Rotation", s->translation, q, WTsensor_setrecord) : 0;
}

int _WTsensor_gettranslation(WTsensor *s, WTp3 p) {
  if (!p) return 0;
  if (!s) {
    p[0] = p[1] = p[2] = 0.0f;
    return 0;
  }
  memcpy(p, s->translation, sizeof(WTp3));
  return 1;
}

int _WTsensor_getrotation(WTsensor *s, WTq q) {
  if (!q) return 0;
  if (!s) {
    identityq(q);
    return 0;
  }
  memcpy(q, s->rotation, sizeof(WTq));
  return 1;
}

void _WTsensor_getdeltarecord(WTsensor *s, WTp3 t, WTq q) {
  _WTsensor_gettranslation(s, t);
  _WTsensor_getrotation(s, q);
}

int _WTsensor_setlastrecord(WTsensor *s, const WTp3 t, const WTq q) {
  if (!s || !t || !q) return 0;
  if (!pre(s, "Snlt") || !pre(s, "Snlr")) return 0;
  memcpy(s->lasttranslation, t, sizeof(WTp3));
  memcpy(s->lastrotation, q, sizeof(WTq));
  post(s, "Snlt", s->lasttranslation);
  post(s, "Snlr", s->lastrotation);
  return 1;
}

int _WTsensor_getlastrecord(WTsensor *s, WTp3 t, WTq q) {
  if (!s) return 0;
  if (t) memcpy(t, s->lasttranslation, sizeof(WTp3));
  if (q) memcpy(q, s->lastrotation, sizeof(WTq));
  return 1;
}

int _WTsensor_setlasttranslation(WTsensor *s, const WTp3 p) {
  return s ? setpart(s, "Snlt", p, s->lastrotation, _WTsensor_setlastrecord) : 0;
}

int _WTsensor_setlastrotation(WTsensor *s, const WTq q) {
  return s ? setpart(s, "Snlr", s->lasttranslation, q, _WTsensor_setlastrecord) : 0;
}

int _WTsensor_getlasttranslation(WTsensor *s, WTp3 p) {
  return s && p ? _WTsensor_getlastrecord(s, p, nullptr) : 0;
}

int _WTsensor_getlastrotation(WTsensor *s, WTq q) {
  return s && q ? _WTsensor_getlastrecord(s, nullptr, q) : 0;
}

int _WTsensor_delta(WTsensor *s, const WTp3 t, const WTq q, WTp3 outt, WTq outq) {
  if (!s || !t || !q || !outt || !outq) return 0;
  for (int i = 0; i < 3; i++) outt[i] = t[i] - s->lasttranslation[i];
  _WTq_conjmultiply(s->lastrotation, q, outq);
  return 1;
}

int _WTsensor_setsensitivity(WTsensor *s, float value) {
  if (!s || value < 0.0f || !pre(s, "Sensitivity")) return 0;
  s->sensitivity = value;
  post(s, "Sensitivity", &s->sensitivity);
  return 1;
}

float _WTsensor_getsensitivity(WTsensor *s) { return s ? s->sensitivity : 0.0f; }

int _WTsensor_setangularrate(WTsensor *s, float value) {
  if (!s || !pre(s, "Angular rate")) return 0;
  s->angularrate = value;
  post(s, "Angular rate", &s->angularrate);
  return 1;
}

float _WTsensor_getangularrate(WTsensor *s) { return s ? s->angularrate : 0.0f; }

int _WTsensor_setupdatefn(WTsensor *s, WTsensorfn fn) {
  if (!s || !pre(s, "SnUp")) return 0;
  s->update = fn;
  post(s, "SnUp", reinterpret_cast<void *>(fn));
  return 1;
}

WTsensorfn _WTsensor_getupdatefn(WTsensor *s) { return s ? s->update : nullptr; }

int _WTsensor_setmiscdata(WTsensor *s, int value) {
  if (!s || !pre(s, "Misc data")) return 0;
  s->miscdata = value;
  post(s, "Misc data", &s->miscdata);
  return 1;
}

int _WTsensor_getmiscdata(WTsensor *s) { return s ? s->miscdata : 0; }

int _WTsensor_setrawdata(WTsensor *s, void *buffer) {
  if (!s || !pre(s, "SnRa")) return 0;
  if (s->raw != buffer) _WTmem_free(s->raw);
  s->raw = buffer;
  post(s, "SnRa", buffer);
  return 1;
}

void *_WTsensor_getrawdata(WTsensor *s) { return s ? s->raw : nullptr; }

int _WTsensor_setrawdata2(WTsensor *s, void *buffer) {
  if (!s) return 0;
  if (s->raw2 != buffer) _WTmem_free(s->raw2);
  s->raw2 = buffer;
  return 1;
}

void *_WTsensor_getrawdata2(WTsensor *s) { return s ? s->raw2 : nullptr; }
void *_WTsensor_getserial(WTsensor *s) { return s ? s->serial : nullptr; }
int _WTsensor_getdevice(WTsensor *s) { return s ? s->device : -1; }
int _WTsensor_getmode(WTsensor *s) { return s ? s->mode : -1; }

int _WTsensor_setconstraints(WTsensor *s, unsigned char bits) {
  if (!s) return 0;
  s->constraints = bits;
  return 1;
}

unsigned char _WTsensor_getconstraints(WTsensor *s) { return s ? s->constraints : 0; }
}
