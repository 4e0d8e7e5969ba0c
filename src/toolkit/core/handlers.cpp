// Property event handlers.  Pre-change handlers run inside the setter and may veto the change;
// post-change notifications are queued with a copy of the value and delivered once per frame.
#include <string.h>

#include <vector>

#include "toolkit/core/core.h"

namespace {

enum Store { kPost, kPre, kTimer };

// Per store: object -> (property name -> list of handler addresses).
WThashtable *stores[3];
// Queued post notifications (WTpropertyevent addresses); a slot is null once delivered.
WTvaluearray *postqueue;
bool flushing;
int sourceflag;

WThashtable *names(int store, void *object, bool create) {
  WThashtable *&s = stores[store];
  if (!s) {
    if (!create) return nullptr;
    s = _WThashtable_new(_WThashtable_picksize(100), _WThashtable_inthash, _WThashtable_intcompare);
  }
  WThashtable *table = static_cast<WThashtable *>(WThashtable_find(s, object));
  if (!table && create) {
    table = _WThashtable_new(_WThashtable_picksize(20), _WThashtable_strhash,
                             _WThashtable_strcompare);
    _WThashtable_insert(s, object, table);
  }
  return table;
}

void dropifempty(int store, void *object, WThashtable *table) {
  if (_WThashtable_count(table) > 0) return;
  _WThashtable_remove(stores[store], object, 0, 0);
  _WThashtable_delete(table, 0, 0);
}

WTlist *handlers(int store, void *object, const char *name) {
  if (!object || !name) return nullptr;
  return static_cast<WTlist *>(WThashtable_find(names(store, object, false), name));
}

std::vector<void *> snapshot(int store, void *object, const char *name) {
  std::vector<void *> fns;
  for (WTlist *c = handlers(store, object, name); c; c = c->next) fns.push_back(c->value);
  return fns;
}

// Whether fn is still registered for the pair: a handler called before it may have removed it or
// deleted the object, whose lists go with it.
bool stillregistered(int store, void *object, const char *name, void *fn) {
  return _WTlist_find(handlers(store, object, name), fn) != nullptr;
}

int add(int store, void *object, const char *name, void *fn, bool once) {
  if (!object || !name || !*name || !fn || !_WTproperty_exists(object, name)) return 0;
  WThashtable *table = names(store, object, true);
  if (void **slot = _WThashtable_valueslot(table, name)) {
    WTlist *list = static_cast<WTlist *>(*slot);
    if (once && _WTlist_find(list, fn)) return 1;
    _WTlist_append(list, _WTlist_push(nullptr, fn));
  } else {
    _WThashtable_insert(table, _WTmem_strdup(name), _WTlist_push(nullptr, fn));
  }
  return 1;
}

int remove(int store, void *object, const char *name, void *fn) {
  if (!object || !name) return 0;
  WThashtable *table = names(store, object, false);
  void **slot = _WThashtable_valueslot(table, name);
  if (!slot) return 0;
  WTlist *list = static_cast<WTlist *>(*slot);
  WTlist *cell = _WTlist_find(list, fn);
  if (!cell) return 0;
  if (cell != list) {
    _WTlist_unlink(cell);
  } else if (WTlist *rest = cell->next) {
    rest->prev = nullptr;
    *slot = rest;
    _WTmem_free(cell);
  } else {
    _WTmem_free(cell);
    _WThashtable_remove(table, name, 1, 0);
    dropifempty(store, object, table);
  }
  return 1;
}

void queue(void *object, const char *name, int type, const void *value, double time) {
  if (!object || !name || !*name || !value) return;
  WTpropertyevent *e = _WTpropertyevent_new(object, name, type, value, time);
  if (!e) return;
  if (!postqueue) postqueue = _WTvaluearray_new(WTPOINTER, 4);
  _WTvaluearray_append(postqueue, e);
}

WTpropertyevent *queued(int index) {
  WTpropertyevent *e = nullptr;
  _WTvaluearray_get(postqueue, index, &e);
  return e;
}

}  // namespace

extern "C" {

int _WTproperty_getsource(void) { return sourceflag; }

void _WTproperty_setsource(int source) { sourceflag = source; }

WTpropertyevent *_WTpropertyevent_new(void *object, const char *name, int type, const void *value,
                                      double time) {
  WTvalue *copy = _WTvalue_new(type);
  if (!copy) return nullptr;
  if (!_WTvalue_set(copy, value)) {
    _WTvalue_delete(copy);
    return nullptr;
  }
  WTpropertyevent *e = static_cast<WTpropertyevent *>(_WTmem_alloc(sizeof(WTpropertyevent)));
  *e = WTpropertyevent{time, object, _WTmem_strdup(name), copy, sourceflag};
  return e;
}

void _WTpropertyevent_delete(WTpropertyevent *event) {
  if (!event) return;
  _WTmem_free(event->name);
  _WTvalue_delete(event->value);
  _WTmem_free(event);
}

int WTproperty_numhandlers(void *object, const char *name) {
  if (!object || !name || !_WTproperty_exists(object, name)) return 0;
  int n = 0;
  for (WTlist *c = handlers(kPost, object, name); c; c = c->next) n++;
  return n;
}

void WTproperty_firehandlers(void *object, const char *name, const void *value) {
  if (WTproperty_numhandlers(object, name) >= 1)
    queue(object, name, _WTproperty_gettype(object, name), value, _WTtime_now());
}

int WTproperty_firehandlers_pre(void *object, const char *name) {
  for (void *fn : snapshot(kPre, object, name)) {
    if (!stillregistered(kPre, object, name, fn)) continue;
    if (!reinterpret_cast<WTprehandler>(fn)(object, name, _WTtime_now(), sourceflag)) return 0;
  }
  return 1;
}

int _WTproperty_addhandler(void *object, const char *name, WTposthandler fn) {
  return add(kPost, object, name, reinterpret_cast<void *>(fn), true);
}

int _WTproperty_removehandler(void *object, const char *name, WTposthandler fn) {
  return remove(kPost, object, name, reinterpret_cast<void *>(fn));
}

int _WTproperty_addprehandler(void *object, const char *name, WTprehandler fn) {
  return add(kPre, object, name, reinterpret_cast<void *>(fn), false);
}

int _WTproperty_removeprehandler(void *object, const char *name, WTprehandler fn) {
  return remove(kPre, object, name, reinterpret_cast<void *>(fn));
}

int _WTproperty_addtimerhandler(void *object, const char *name, WTtimerhandler fn) {
  return add(kTimer, object, name, reinterpret_cast<void *>(fn), false);
}

int _WTproperty_removetimerhandler(void *object, const char *name, WTtimerhandler fn) {
  return remove(kTimer, object, name, reinterpret_cast<void *>(fn));
}

void _WTproperty_removeallhandlers(void *object, const char *name) {
  if (!object || !name) return;
  for (int store = kPost; store <= kTimer; store++) {
    WThashtable *table = names(store, object, false);
    void **slot = _WThashtable_valueslot(table, name);
    if (!slot) continue;
    _WTlist_freeall(static_cast<WTlist *>(*slot));
    _WThashtable_remove(table, name, 1, 0);
    dropifempty(store, object, table);
  }
}

WTposthandler _WTproperty_gethandler(void *object, const char *name, int index) {
  WTlist *c = handlers(kPost, object, name);
  for (int i = 0; c && i < index; i++) c = c->next;
  return index >= 0 && c ? reinterpret_cast<WTposthandler>(c->value) : nullptr;
}

void _WTproperty_firehandlersvalue(void *object, const char *name, const WTvalue *record) {
  if (record) queue(object, name, _WTvalue_gettype(record), _WTvalue_handlerform(record), _WTtime_now());
}

void _WTproperty_firehandlersat(void *object, const char *name, const void *value, double time) {
  queue(object, name, _WTproperty_gettype(object, name), value, time);
}

void _WTproperty_firehandlersvalueat(void *object, const char *name, const WTvalue *record,
                                     double time) {
  if (record) queue(object, name, _WTvalue_gettype(record), _WTvalue_handlerform(record), time);
}

void _WTproperty_firetimerhandlers(void *object, const char *name, const void *value, double time) {
  for (void *fn : snapshot(kTimer, object, name))
    if (stillregistered(kTimer, object, name, fn))
      reinterpret_cast<WTtimerhandler>(fn)(object, name, const_cast<void *>(value), time, sourceflag);
}

void _WTproperty_flushevents(void) {
  if (!postqueue || flushing) return;
  flushing = true;
  // Handlers may queue further notifications; they are delivered in this same pass.
  for (int i = 0; i < _WTvaluearray_count(postqueue); i++) {
    WTpropertyevent *e = queued(i);
    if (!e) continue;
    void *value = _WTvalue_handlerform(e->value);
    for (void *fn : snapshot(kPost, e->object, e->name)) {
      if (!e->object) break; // a handler deleted the object
      reinterpret_cast<WTposthandler>(fn)(e->object, e->name, value, e->time, e->source);
    }
    _WTvaluearray_set(postqueue, i, nullptr);
    _WTpropertyevent_delete(e);
  }
  _WTvaluearray_clear(postqueue);
  flushing = false;
}

void _WTproperty_forgetobject(void *object) {
  if (!object) return;
  for (int store = kPost; store <= kTimer; store++) {
    WThashtable *table = names(store, object, false);
    if (!table) continue;
    for (int i = 0; i < _WThashtable_count(table); i++)
      _WTlist_freeall(static_cast<WTlist *>(_WThashtable_valueat(table, i)));
    _WThashtable_remove(stores[store], object, 0, 0);
    _WThashtable_delete(table, 1, 0);
  }
  for (int i = 0; i < _WTvaluearray_count(postqueue); i++)
    if (WTpropertyevent *e = queued(i))
      if (e->object == object) e->object = nullptr;
  if (!flushing) {
    for (int i = _WTvaluearray_count(postqueue) - 1; i >= 0; i--) {
      WTpropertyevent *e = queued(i);
      if (e && e->object) continue;
      _WTvaluearray_remove(postqueue, i);
      _WTpropertyevent_delete(e);
    }
  }
  _WTproperty_dropobject(object);
}
}
