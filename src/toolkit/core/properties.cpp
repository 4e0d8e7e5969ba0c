// User properties, reading and writing any property by name, scheduled changes, and the
// network form of property values.
#include <stdint.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/layers.h"

struct WTuserproperty {
  void *object;
  char *name;
  WTvalue *value;
};

namespace {

// object -> (name -> WTuserproperty), and object -> (name -> mode).
WThashtable *userstore;
WThashtable *modestore;
// Scheduled changes (WTpropertyevent addresses) ordered by time.
WTvaluearray *timedqueue;
bool runningtimed;

WThashtable *objecttable(WThashtable *&store, void *object, bool create) {
  if (!store) {
    if (!create) return nullptr;
    store = _WThashtable_new(_WThashtable_picksize(100), _WThashtable_inthash,
                             _WThashtable_intcompare);
  }
  WThashtable *table = static_cast<WThashtable *>(WThashtable_find(store, object));
  if (!table && create) {
    table = _WThashtable_new(_WThashtable_picksize(20), _WThashtable_strhash,
                             _WThashtable_strcompare);
    _WThashtable_insert(store, object, table);
  }
  return table;
}

void dropifempty(WThashtable *store, void *object, WThashtable *table) {
  if (!table || _WThashtable_count(table) > 0) return;
  _WThashtable_remove(store, object, 0, 0);
  _WThashtable_delete(table, 0, 0);
}

struct Prefix {
  const char *name;
  size_t n;
};

int prefixmatch(const void *storedkey, const void *context) {
  const Prefix *p = static_cast<const Prefix *>(context);
  return strncmp(static_cast<const char *>(storedkey), p->name, p->n) == 0;
}

WTuserproperty *lookup(void *object, const char *name) {
  return name ? _WTuserproperty_find(object, name, static_cast<int>(strlen(name))) : nullptr;
}

bool isbuiltin(void *object, const char *name) {
  return object && name && _WTpropertytable_index(object, name) >= 0;
}

int roundup4(size_t n) { return static_cast<int>((n + 3) & ~static_cast<size_t>(3)); }

// Sets a property from a value in network form (converted in place).
int decodeinto(void *object, const char *name, unsigned char *buffer, bool withtime, double time) {
  int type = _WTproperty_gettype(object, name);
  if (type == WTNOTYPE || !buffer) return 0;
  const void *value = buffer;
  void *word = nullptr;
  if (type == WTPOINTER || (type == WTSTRING && isbuiltin(object, name))) {
    memcpy(&word, buffer, sizeof word);
    value = word;
  } else if (type != WTSTRING) {
    _WTvalue_fromnet(type, buffer);
  }
  return _WTproperty_set(object, name, value, 0, nullptr, withtime ? 1 : 0, time);
}

int settyped(void *object, const char *name, int type, const void *value) {
  if (_WTproperty_gettype(object, name) != type) return 0;
  return _WTproperty_set(object, name, value, 0, nullptr, 0, 0);
}

WTpropertyevent *scheduled(int index) {
  WTpropertyevent *e = nullptr;
  _WTvaluearray_get(timedqueue, index, &e);
  return e;
}

}  // namespace

extern "C" {

WTuserproperty *_WTuserproperty_find(void *object, const char *name, int n) {
  if (!object || !name || n < 0) return nullptr;
  WThashtable *table = objecttable(userstore, object, false);
  Prefix p{name, static_cast<size_t>(n)};
  return static_cast<WTuserproperty *>(_WThashtable_findmatch(table, name, prefixmatch, &p));
}

int _WTuserproperty_new(void *object, const char *name, int type) {
  if (!object || !name || !*name || type < WTINT || type > WTM3) return 0;
  if (isbuiltin(object, name) || lookup(object, name)) return 0;
  WTuserproperty *p = static_cast<WTuserproperty *>(_WTmem_alloc(sizeof(WTuserproperty)));
  *p = WTuserproperty{object, _WTmem_strdup(name), _WTvalue_new(type)};
  _WThashtable_insert(objecttable(userstore, object, true), p->name, p);
  return 1;
}

int _WTuserproperty_delete(void *object, const char *name) {
  if (isbuiltin(object, name)) return 0;
  WTuserproperty *p = lookup(object, name);
  if (!p) return 0;
  WThashtable *table = objecttable(userstore, object, false);
  _WThashtable_remove(table, p->name, 0, 0);
  _WTvalue_delete(p->value);
  _WTproperty_removeallhandlers(object, p->name);
  if (WThashtable *modes = objecttable(modestore, object, false)) {
    _WThashtable_remove(modes, p->name, 1, 0);
    dropifempty(modestore, object, modes);
  }
  _WTmem_free(p->name);
  _WTmem_free(p);
  dropifempty(userstore, object, table);
  return 1;
}

int _WTuserproperty_count(void *object) {
  return _WThashtable_count(objecttable(userstore, object, false));
}

int _WTproperty_exists(void *object, const char *name) {
  return isbuiltin(object, name) || lookup(object, name);
}

int _WTproperty_count(void *object) {
  if (!object) return 0;
  return _WTproperty_numbuiltin(object) + _WTuserproperty_count(object);
}

const char *_WTproperty_getname(void *object, int index) {
  if (!object || index < 0) return nullptr;
  int builtins = _WTproperty_numbuiltin(object);
  if (index < builtins) return _WTproperty_builtinname(object, index);
  WTuserproperty *p = static_cast<WTuserproperty *>(
      _WThashtable_valueat(objecttable(userstore, object, false), index - builtins));
  return p ? p->name : nullptr;
}

const char *_WTproperty_findprefix(void *object, const char *prefix, int n) {
  if (!object || !prefix || n < 0) return nullptr;
  for (int i = 0; i < _WTproperty_numbuiltin(object); i++) {
    const char *name = _WTproperty_builtinname(object, i);
    if (name && strncmp(name, prefix, n) == 0) return name;
  }
  WTuserproperty *p = _WTuserproperty_find(object, prefix, n);
  return p ? p->name : nullptr;
}

int _WTproperty_gettype(void *object, const char *name) {
  if (isbuiltin(object, name)) return _WTpropertytable_gettype(object, name);
  WTuserproperty *p = lookup(object, name);
  return p ? _WTvalue_gettype(p->value) : WTNOTYPE;
}

int _WTproperty_getsize(void *object, const char *name) {
  int type = _WTproperty_gettype(object, name);
  if (type == WTNOTYPE) return 0;
  // A built-in text travels as the value word its getter returns.
  if (type == WTPOINTER || (type == WTSTRING && isbuiltin(object, name)))
    return static_cast<int>(sizeof(void *));
  if (type == WTSTRING) {
    const char *text = nullptr;
    _WTvalue_get(lookup(object, name)->value, &text);
    // The terminating zero travels with the text.
    return roundup4((text ? strlen(text) : 0) + 1);
  }
  return _WTvalue_typesize(type);
}

int _WTproperty_getnetsize(void *object, const char *name) {
  int size = _WTproperty_getsize(object, name);
  return size ? size + 8 : 0;
}

int _WTproperty_getvalue(void *object, const char *name, void *out) {
  if (!out) return 0;
  if (isbuiltin(object, name)) return _WTproperty_getbuiltin(object, name, out);
  WTuserproperty *p = lookup(object, name);
  return p ? _WTvalue_get(p->value, out) : 0;
}

int _WTproperty_getint(void *object, const char *name) {
  int32_t v = 0;
  if (_WTproperty_gettype(object, name) != WTINT || !_WTproperty_getvalue(object, name, &v)) return 0;
  return v;
}

unsigned int _WTproperty_getuint(void *object, const char *name) {
  uint32_t v = 0;
  if (_WTproperty_gettype(object, name) != WTUINT || !_WTproperty_getvalue(object, name, &v)) return 0;
  return v;
}

float _WTproperty_getfloat(void *object, const char *name) {
  float v = 0;
  if (_WTproperty_gettype(object, name) != WTFLOAT || !_WTproperty_getvalue(object, name, &v)) return 0;
  return v;
}

double _WTproperty_getdouble(void *object, const char *name) {
  double v = 0;
  if (_WTproperty_gettype(object, name) != WTDOUBLE || !_WTproperty_getvalue(object, name, &v)) return 0;
  return v;
}

void *_WTproperty_getpointer(void *object, const char *name) {
  void *v = nullptr;
  if (_WTproperty_gettype(object, name) != WTPOINTER || !_WTproperty_getvalue(object, name, &v))
    return nullptr;
  return v;
}

const char *_WTproperty_getstring(void *object, const char *name) {
  char *v = nullptr;
  if (_WTproperty_gettype(object, name) != WTSTRING || !_WTproperty_getvalue(object, name, &v))
    return nullptr;
  return v;
}

const char *_WTproperty_gettext(void *object, const char *name) {
  if (isbuiltin(object, name)) {
    int type = _WTpropertytable_gettype(object, name);
    double buffer[5] = {0, 0, 0, 0, 0}; // room for the largest value (nine floats)
    if (!_WTproperty_getbuiltin(object, name, buffer)) return nullptr;
    if (type == WTSTRING || type == WTPOINTER) {
      void *word;
      memcpy(&word, buffer, sizeof word);
      return _WTpropertytype_format(type, word);
    }
    return _WTpropertytype_format(type, buffer);
  }
  WTuserproperty *p = lookup(object, name);
  return p ? _WTvalue_totext(p->value) : nullptr;
}

int _WTproperty_setmode(void *object, const char *name, int mode) {
  if (!_WTproperty_exists(object, name)) return 0;
  WThashtable *modes = objecttable(modestore, object, true);
  void *word = reinterpret_cast<void *>(static_cast<intptr_t>(mode));
  if (void **slot = _WThashtable_valueslot(modes, name))
    *slot = word;
  else
    _WThashtable_insert(modes, _WTmem_strdup(name), word);
  return 1;
}

int _WTproperty_getmode(void *object, const char *name) {
  if (!_WTproperty_exists(object, name)) return 0;
  void **slot = _WThashtable_valueslot(objecttable(modestore, object, false), name);
  return slot ? static_cast<int>(reinterpret_cast<intptr_t>(*slot)) : 0;
}

int _WTproperty_set(void *object, const char *name, const void *value, int fromrecord,
                    const WTvalue *record, int withtime, double time) {
  if (!object || !name) return 0;
  if (isbuiltin(object, name))
    return fromrecord ? _WTproperty_setbuiltinfromvalue(object, name, record)
                      : _WTproperty_setbuiltin(object, name, value);
  WTuserproperty *p = lookup(object, name);
  if (!p) return 0;
  // The caller's name, not the stored one: a pre handler may delete the property or its object.
  if (!WTproperty_firehandlers_pre(object, name)) return 0;
  p = lookup(object, name);
  if (!p) return 0;
  if (!(fromrecord ? _WTvalue_copy(record, p->value) : _WTvalue_set(p->value, value))) return 0;
  if (withtime)
    _WTproperty_firehandlersat(object, p->name, _WTvalue_handlerform(p->value), time);
  else
    WTproperty_firehandlers(object, p->name, _WTvalue_handlerform(p->value));
  return 1;
}

int _WTproperty_setint(void *object, const char *name, int value) {
  int32_t v = value;
  return settyped(object, name, WTINT, &v);
}

int _WTproperty_setuint(void *object, const char *name, unsigned int value) {
  uint32_t v = value;
  return settyped(object, name, WTUINT, &v);
}

int _WTproperty_setfloat(void *object, const char *name, float value) {
  return settyped(object, name, WTFLOAT, &value);
}

int _WTproperty_setdouble(void *object, const char *name, double value) {
  return settyped(object, name, WTDOUBLE, &value);
}

int _WTproperty_setp2(void *object, const char *name, const WTp2 value) {
  return value && settyped(object, name, WTP2, value);
}

int _WTproperty_setp3(void *object, const char *name, const WTp3 value) {
  return value && settyped(object, name, WTP3, value);
}

int _WTproperty_setq(void *object, const char *name, const WTq value) {
  return value && settyped(object, name, WTQ, value);
}

int _WTproperty_setm3(void *object, const char *name, const WTm3 value) {
  return value && settyped(object, name, WTM3, value);
}

int _WTproperty_setstring(void *object, const char *name, const char *value) {
  return settyped(object, name, WTSTRING, value);
}

int _WTproperty_setpointer(void *object, const char *name, void *value) {
  return settyped(object, name, WTPOINTER, value);
}

int _WTproperty_setfromvalue(void *object, const char *name, const WTvalue *record) {
  if (!record) return 0;
  return _WTproperty_set(object, name, nullptr, 1, record, 0, 0);
}

int _WTproperty_setat(void *object, const char *name, const void *value, double time) {
  return _WTproperty_set(object, name, value, 0, nullptr, 1, time);
}

int _WTproperty_setfromvalueat(void *object, const char *name, const WTvalue *record, double time) {
  if (!record) return 0;
  return _WTproperty_set(object, name, nullptr, 1, record, 1, time);
}

int _WTproperty_settimed(void *object, const char *name, const void *value, double time) {
  int saved = _WTproperty_getsource();
  _WTproperty_setsource(1);
  int result = 0;
  if (time <= _WTtime_now()) {
    result = _WTproperty_set(object, name, value, 0, nullptr, 0, 0);
  } else if (WTpropertyevent *e = _WTpropertyevent_new(object, name, _WTproperty_gettype(object, name),
                                                       value, time)) {
    if (!timedqueue) timedqueue = _WTvaluearray_new(WTPOINTER, 4);
    int at = 0, n = _WTvaluearray_count(timedqueue);
    while (at < n && scheduled(at)->time < time) at++;
    _WTvaluearray_insert(timedqueue, e, at);
    _WTproperty_firetimerhandlers(object, name, value, time);
    result = 1;
  }
  _WTproperty_setsource(saved);
  return result;
}

void _WTproperty_runtimed(void) {
  if (!timedqueue || runningtimed) return;
  runningtimed = true;
  double now = _WTtime_now();
  while (_WTvaluearray_count(timedqueue) > 0) {
    WTpropertyevent *e = scheduled(0);
    if (e->object && e->time > now) break;
    _WTvaluearray_remove(timedqueue, 0);
    if (e->object) {
      _WTproperty_setsource(e->source);
      _WTproperty_setfromvalue(e->object, e->name, e->value);
      _WTproperty_setsource(0);
    }
    _WTpropertyevent_delete(e);
  }
  runningtimed = false;
}

void _WTproperty_dropobject(void *object) {
  for (int i = _WTvaluearray_count(timedqueue) - 1; i >= 0; i--) {
    WTpropertyevent *e = scheduled(i);
    if (e->object != object) continue;
    e->object = nullptr;
    if (!runningtimed) {
      _WTvaluearray_remove(timedqueue, i);
      _WTpropertyevent_delete(e);
    }
  }
  if (WThashtable *modes = objecttable(modestore, object, false)) {
    _WThashtable_remove(modestore, object, 0, 0);
    _WThashtable_delete(modes, 1, 0);
  }
}

int _WTproperty_encode(void *object, const char *name, void *buffer) {
  int type = _WTproperty_gettype(object, name);
  if (type == WTNOTYPE || !buffer) return 0;
  unsigned char *b = static_cast<unsigned char *>(buffer);
  int size = _WTproperty_getsize(object, name);
  if (type == WTSTRING && !isbuiltin(object, name)) {
    const char *text = _WTproperty_getstring(object, name);
    memset(b, 0, size);
    if (text) memcpy(b, text, strlen(text));
  } else if (type == WTSTRING || type == WTPOINTER) {
    void *word = nullptr;
    if (!_WTproperty_getvalue(object, name, &word)) return 0;
    memcpy(b, &word, sizeof word);
  } else {
    if (!_WTproperty_getvalue(object, name, b)) return 0;
    _WTvalue_tonet(type, b);
  }
  return size;
}

int _WTproperty_encodestamped(void *object, const char *name, void *buffer) {
  if (!buffer) return 0;
  unsigned char *b = static_cast<unsigned char *>(buffer);
  int size = _WTproperty_encode(object, name, b + 8);
  if (!size) return 0;
  _WTvalue_putbig(b, static_cast<uint32_t>(_WTtime_seconds()));
  _WTvalue_putbig(b + 4, static_cast<uint32_t>(_WTtime_milliseconds()) & 0xFFFF);
  return size + 8;
}

int _WTproperty_decode(void *object, const char *name, void *buffer) {
  return decodeinto(object, name, static_cast<unsigned char *>(buffer), false, 0);
}

int _WTproperty_decodestamped(void *object, const char *name, void *buffer, double offset) {
  if (!buffer) return 0;
  unsigned char *b = static_cast<unsigned char *>(buffer);
  int64_t seconds = static_cast<int32_t>(_WTvalue_getbig(b));
  int ms = static_cast<int>(_WTvalue_getbig(b + 4) & 0xFFFF);
  return decodeinto(object, name, b + 8, true, _WTtime_make(seconds, ms) + offset);
}

void WTbase_deleteproperties(void *object) {
  while (WThashtable *table = objecttable(userstore, object, false)) {
    int n = _WThashtable_count(table);
    WTuserproperty *last = static_cast<WTuserproperty *>(_WThashtable_valueat(table, n - 1));
    if (!last || !_WTuserproperty_delete(object, last->name)) break;
  }
}

void WTbase_removeallhandlers(void *object) {
  WThashtable *table = objecttable(userstore, object, false);
  for (int i = 0; i < _WThashtable_count(table); i++)
    if (WTuserproperty *p = static_cast<WTuserproperty *>(_WThashtable_valueat(table, i)))
      _WTproperty_removeallhandlers(object, p->name);
}
}
