// Typed property values, growable arrays of them, and their text and network forms.
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "toolkit/core/core.h"

struct WTvalue {
  int type;
  union {
    int32_t i;
    uint32_t u;
    float f;
    double d;
    void *p;
    char *s;
    float *v;
  };
};

struct WTvaluearray {
  int type;
  WTvalue *element;
  int capacity;
  int step;
  int count;
};

namespace {

const char *const kTypeNames[10] = {"WTINT", "WTUINT",   "WTFLOAT",  "WTDOUBLE", "WTP2",
                                    "WTP3",  "WTQ",      "WTSTRING", "WTPOINTER", "WTM3"};
const char *const kModeNames[4] = {"WTLOCAL", "WTLOCAL_TIMER", "WTNETWORK", "WTNETWORK_TIMER"};

// The last text produced by the formatters.
char *textbuffer;

bool validtype(int type) { return type >= WTINT && type <= WTM3; }

int floatcount(int type) {
  switch (type) {
    case WTP2: return 2;
    case WTP3: return 3;
    case WTQ: return 4;
    case WTM3: return 9;
    default: return 0;
  }
}

void init(WTvalue &r, int type) {
  r.type = type;
  r.d = 0;
  r.p = nullptr;
  if (int n = floatcount(type)) {
    r.v = static_cast<float *>(_WTmem_alloc(sizeof(float) * n));
    memset(r.v, 0, sizeof(float) * n);
    if (type == WTM3) r.v[0] = r.v[4] = r.v[8] = 1;
  }
}

void release(WTvalue &r) {
  if (r.type == WTSTRING)
    _WTmem_free(r.s);
  else if (floatcount(r.type))
    _WTmem_free(r.v);
  r.p = nullptr;
}

const char *settext(const char *format, ...) WTPRINTF(1, 2);

const char *settext(const char *format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  int n = vsnprintf(nullptr, 0, format, args);
  va_end(args);
  char *text = static_cast<char *>(_WTmem_alloc(n > 0 ? n + 1 : 1));
  text[0] = 0;
  if (n > 0) vsnprintf(text, n + 1, format, again);
  va_end(again);
  _WTmem_free(textbuffer);
  textbuffer = text;
  return text;
}

void grow(WTvaluearray *a) {
  int capacity = a->capacity + a->step;
  a->element = static_cast<WTvalue *>(_WTmem_realloc(a->element, sizeof(WTvalue) * capacity));
  for (int i = a->capacity; i < capacity; i++) init(a->element[i], a->type);
  a->capacity = capacity;
}

bool shrinkonce(WTvaluearray *a) {
  if (a->capacity - a->step < a->count || a->capacity <= a->step) return false;
  int capacity = a->capacity - a->step;
  for (int i = capacity; i < a->capacity; i++) release(a->element[i]);
  a->capacity = capacity;
  a->element = static_cast<WTvalue *>(_WTmem_realloc(a->element, sizeof(WTvalue) * capacity));
  return true;
}

}  // namespace

extern "C" {

int _WTvalue_typesize(int type) {
  switch (type) {
    case WTINT:
    case WTUINT:
    case WTFLOAT: return 4;
    case WTDOUBLE: return 8;
    default: return floatcount(type) * 4;
  }
}

void *_WTvalue_handlerform(const WTvalue *record) {
  if (!record) return nullptr;
  WTvalue *r = const_cast<WTvalue *>(record);
  switch (r->type) {
    case WTSTRING: return r->s;
    case WTPOINTER: return r->p;
    default: return floatcount(r->type) ? static_cast<void *>(r->v) : static_cast<void *>(&r->d);
  }
}

WTvalue *_WTvalue_new(int type) {
  if (!validtype(type)) return nullptr;
  WTvalue *r = static_cast<WTvalue *>(_WTmem_alloc(sizeof(WTvalue)));
  init(*r, type);
  return r;
}

void _WTvalue_delete(WTvalue *record) {
  if (!record) return;
  release(*record);
  _WTmem_free(record);
}

int _WTvalue_gettype(const WTvalue *record) { return record ? record->type : WTNOTYPE; }

int _WTvalue_set(WTvalue *record, const void *source) {
  if (!record) return 0;
  switch (record->type) {
    case WTSTRING: {
      const char *text = static_cast<const char *>(source);
      char *copy = text && *text ? _WTmem_strdup(text) : nullptr;
      _WTmem_free(record->s);
      record->s = copy;
      return 1;
    }
    case WTPOINTER:
      record->p = const_cast<void *>(source);
      return 1;
    case WTINT:
    case WTUINT:
    case WTFLOAT:
    case WTDOUBLE:
      if (!source) return 0;
      memcpy(&record->d, source, _WTvalue_typesize(record->type));
      return 1;
    default:
      if (!source) return 0;
      memcpy(record->v, source, _WTvalue_typesize(record->type));
      return 1;
  }
}

int _WTvalue_get(const WTvalue *record, void *out) {
  if (!record || !out) return 0;
  switch (record->type) {
    case WTSTRING: *static_cast<char **>(out) = record->s; return 1;
    case WTPOINTER: *static_cast<void **>(out) = record->p; return 1;
    default: memcpy(out, _WTvalue_handlerform(record), _WTvalue_typesize(record->type)); return 1;
  }
}

int _WTvalue_getcopy(const WTvalue *record, void *out) {
  if (!record || !out) return 0;
  if (record->type != WTSTRING) return _WTvalue_get(record, out);
  strcpy(static_cast<char *>(out), record->s ? record->s : "");
  return 1;
}

int _WTvalue_copy(const WTvalue *from, WTvalue *to) {
  if (!from || !to || from->type != to->type) return 0;
  return _WTvalue_set(to, _WTvalue_handlerform(from));
}

int _WTvalue_equal(const WTvalue *a, const WTvalue *b) {
  if (!a || !b || a->type != b->type) return 0;
  switch (a->type) {
    case WTINT:
    case WTUINT: return a->u == b->u;
    case WTFLOAT: return a->f == b->f;
    case WTDOUBLE: return a->d == b->d;
    case WTSTRING: return strcmp(a->s ? a->s : "", b->s ? b->s : "") == 0;
    case WTPOINTER: return a->p == b->p;
    default:
      for (int k = 0; k < floatcount(a->type); k++)
        if (a->v[k] != b->v[k]) return 0;
      return 1;
  }
}

const char *_WTpropertytype_format(int type, const void *value) {
  if (type == WTSTRING) return value ? static_cast<const char *>(value) : "";
  if (type == WTPOINTER) return settext("%p", value);
  if (!validtype(type) || !value) return nullptr;
  const float *f = static_cast<const float *>(value);
  switch (type) {
    case WTINT: return settext("%d", *static_cast<const int32_t *>(value));
    case WTUINT: return settext("%u", *static_cast<const uint32_t *>(value));
    case WTFLOAT: return settext("%f", f[0]);
    case WTDOUBLE: return settext("%f", *static_cast<const double *>(value));
    case WTP2: return settext("%f,%f", f[0], f[1]);
    case WTP3: return settext("%f,%f,%f", f[0], f[1], f[2]);
    case WTQ: return settext("%f,%f,%f,%f", f[0], f[1], f[2], f[3]);
    default:
      return settext("%f,%f,%f,%f,%f,%f,%f,%f,%f", f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7],
                     f[8]);
  }
}

const char *_WTvalue_totext(const WTvalue *record) {
  if (!record) return nullptr;
  return _WTpropertytype_format(record->type, _WTvalue_handlerform(record));
}

void _WTvalue_putbig(unsigned char *b, uint32_t v) {
  b[0] = static_cast<unsigned char>(v >> 24);
  b[1] = static_cast<unsigned char>(v >> 16);
  b[2] = static_cast<unsigned char>(v >> 8);
  b[3] = static_cast<unsigned char>(v);
}

uint32_t _WTvalue_getbig(const unsigned char *b) {
  return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
         static_cast<uint32_t>(b[2]) << 8 | b[3];
}

int _WTvalue_tonet(int type, void *buffer) {
  if (!validtype(type) || !buffer) return 0;
  unsigned char *b = static_cast<unsigned char *>(buffer);
  if (type == WTSTRING || type == WTPOINTER) return 1;
  if (type == WTDOUBLE) {
    for (int k = 0; k < 4; k++) {
      unsigned char t = b[k];
      b[k] = b[7 - k];
      b[7 - k] = t;
    }
    return 1;
  }
  for (int k = 0; k < _WTvalue_typesize(type); k += 4) {
    uint32_t v;
    memcpy(&v, b + k, 4);
    _WTvalue_putbig(b + k, v);
  }
  return 1;
}

int _WTvalue_fromnet(int type, void *buffer) {
  if (!validtype(type) || !buffer) return 0;
  if (type == WTSTRING || type == WTPOINTER || type == WTDOUBLE) return _WTvalue_tonet(type, buffer);
  unsigned char *b = static_cast<unsigned char *>(buffer);
  for (int k = 0; k < _WTvalue_typesize(type); k += 4) {
    uint32_t v = _WTvalue_getbig(b + k);
    memcpy(b + k, &v, 4);
  }
  return 1;
}

const char *_WTpropertytype_name(int type) { return validtype(type) ? kTypeNames[type] : nullptr; }

const char *_WTproperty_kindname(int mode) {
  return mode >= 0 && mode < 4 ? kModeNames[mode] : nullptr;
}

WTvaluearray *_WTvaluearray_new(int type, int step) {
  if (!validtype(type)) return nullptr;
  WTvaluearray *a = static_cast<WTvaluearray *>(_WTmem_alloc(sizeof(WTvaluearray)));
  *a = WTvaluearray{type, nullptr, 0, step < 1 ? 2 : step, 0};
  return a;
}

int _WTvaluearray_append(WTvaluearray *array, const void *value) {
  if (!array) return -1;
  while (array->count >= array->capacity) grow(array);
  array->count++;
  _WTvalue_set(&array->element[array->count - 1], value);
  return array->count - 1;
}

int _WTvaluearray_insert(WTvaluearray *array, const void *value, int index) {
  if (!array || index < 0) return -1;
  if (index >= array->count) return _WTvaluearray_append(array, value);
  while (array->count >= array->capacity) grow(array);
  array->count++;
  for (int k = array->count - 1; k > index; k--)
    _WTvalue_copy(&array->element[k - 1], &array->element[k]);
  _WTvalue_set(&array->element[index], value);
  return index;
}

int _WTvaluearray_remove(WTvaluearray *array, int index) {
  if (!array || index < 0 || index >= array->count) return 0;
  for (int k = index; k < array->count - 1; k++)
    _WTvalue_copy(&array->element[k + 1], &array->element[k]);
  array->count--;
  shrinkonce(array);
  return 1;
}

void _WTvaluearray_clear(WTvaluearray *array) {
  if (!array) return;
  array->count = 0;
  while (shrinkonce(array)) {
  }
}

int _WTvaluearray_find(WTvaluearray *array, const void *value) {
  if (!array) return -1;
  WTvalue probe;
  init(probe, array->type);
  int found = -1;
  if (_WTvalue_set(&probe, value))
    for (int k = 0; k < array->count && found < 0; k++)
      if (_WTvalue_equal(&array->element[k], &probe)) found = k;
  release(probe);
  return found;
}

int _WTvaluearray_get(const WTvaluearray *array, int index, void *out) {
  if (!array || index < 0 || index >= array->count) return 0;
  return _WTvalue_get(&array->element[index], out);
}

int _WTvaluearray_set(WTvaluearray *array, int index, const void *value) {
  if (!array || index < 0 || index >= array->count) return 0;
  return _WTvalue_set(&array->element[index], value);
}

int _WTvaluearray_count(const WTvaluearray *array) { return array ? array->count : 0; }

int _WTvaluearray_type(const WTvaluearray *array) { return array ? array->type : WTNOTYPE; }

WTvaluearray *_WTvaluearray_copy(const WTvaluearray *array) {
  if (!array) return nullptr;
  WTvaluearray *copy = _WTvaluearray_new(array->type, array->step);
  for (int k = 0; k < array->count; k++)
    _WTvaluearray_append(copy, _WTvalue_handlerform(&array->element[k]));
  return copy;
}

void _WTvaluearray_delete(WTvaluearray *array) {
  if (!array) return;
  for (int k = 0; k < array->capacity; k++) release(array->element[k]);
  _WTmem_free(array->element);
  _WTmem_free(array);
}
}
