// Material tables: growable arrays of material entries shared by geometries, found by name and
// by value through a hash over the entry's floats.
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

namespace {

WTmtable *tables; // the universe's list of tables

constexpr int maxcapacity = 70001;
constexpr uint32_t GL_AMBIENT_ = 0x1200, GL_DIFFUSE_ = 0x1201, GL_SPECULAR_ = 0x1202,
                   GL_EMISSION_ = 0x1600, GL_SHININESS_ = 0x1601,
                   GL_AMBIENT_AND_DIFFUSE_ = 0x1602;

int attrsize(int attr) { return (attr == 3 || attr == 6) ? 1 : 3; }

int bitattr(unsigned bit) {
  for (int i = 0; i < 7; i++)
    if (bit == (1u << i)) return i;
  return -1;
}

unsigned resolvemask(unsigned mask) {
  mask &= 0x7F;
  if ((mask & WTOPACITY) && !(mask & WTAMBIENTDIFFUSE)) mask |= WTDIFFUSE;
  if ((mask & WTAMBIENTDIFFUSE) && (mask & (WTAMBIENT | WTDIFFUSE))) {
    _WTmsg_warning(
        "Attempt to use property WTAMBIENTDIFFUSE as well as one of WTAMBIENT or WTDIFFUSE\n");
    mask &= ~unsigned(WTAMBIENT | WTDIFFUSE);
  }
  return mask;
}

void addslot(WTmtable *t, int attr, uint32_t glenum, int components) {
  int s = static_cast<int>(t->nslots++);
  t->slotoffset[s] = static_cast<int32_t>(t->size);
  t->slotcount[s] = components;
  t->slotenum[s] = glenum;
  t->slotattr[s] = attr;
  t->attroffset[attr] = static_cast<int32_t>(t->size);
  t->size += static_cast<uint32_t>(components);
}

void layout(WTmtable *t, unsigned mask) {
  t->mask = mask;
  for (int &a : t->attroffset) a = -1;
  if (mask & WTSPECULAR) addslot(t, 2, GL_SPECULAR_, 3);
  if (mask & WTSHININESS) addslot(t, 3, GL_SHININESS_, 1);
  if (mask & WTAMBIENT) addslot(t, 0, GL_AMBIENT_, 3);
  if (mask & WTEMISSION) addslot(t, 4, GL_EMISSION_, 3);
  if (mask & WTAMBIENTDIFFUSE) addslot(t, 5, GL_AMBIENT_AND_DIFFUSE_, 4);
  else if (mask & WTDIFFUSE) addslot(t, 1, GL_DIFFUSE_, 4);
  if ((mask & WTOPACITY) && t->nslots) t->attroffset[6] = t->slotoffset[t->nslots - 1] + 3;
}

size_t entryfloats(const WTmtable *t) { return t->size ? t->size : 1; }

// An entry's defaults: zeros, with an opacity of 1 in a last slot of four.
void cleartodefault(const WTmtable *t, float *e) {
  memset(e, 0, entryfloats(t) * sizeof(float));
  if (t->nslots && t->slotcount[t->nslots - 1] == 4) e[t->slotoffset[t->nslots - 1] + 3] = 1.0f;
}

float *defaultentry(WTmtable *t) {
  float *e = static_cast<float *>(_WTmem_alloc(entryfloats(t) * sizeof(float)));
  cleartodefault(t, e);
  return e;
}

uint32_t word(const float *e, int i) {
  uint32_t w;
  memcpy(&w, e + i, 4);
  return w;
}

uint32_t entryhash(const WTmtable *t, const float *e) {
  int n = static_cast<int>(t->size);
  if (n == 0) return 0;
  if (n == 1) return word(e, 0);
  if (n == 2) return (word(e, 0) & 0xFFFF) | ((word(e, 1) & 0xFFFF) << 16);
  int b = n == 3 ? 0 : n - 4;
  return (word(e, b) & 0x49249241u) | (word(e, b + 1) & 0x92492482u) |
         (word(e, b + 2) & 0x24924924u);
}

void freechains(WTmtable *t) {
  for (int b = 0; b < t->capacity; b++) {
    for (WTmtcell *c = t->buckets[b].chain; c;) {
      WTmtcell *next = c->next;
      _WTmem_free(c);
      c = next;
    }
    t->buckets[b].chain = nullptr;
    t->buckets[b].first = -1;
  }
}

// Takes the index out of the bucket of the entry's present value.
void unstore(WTmtable *t, int index) {
  WTmtbucket &b = t->buckets[entryhash(t, t->entries[index]) % static_cast<uint32_t>(t->capacity)];
  if (b.first == index) {
    if (WTmtcell *c = b.chain) {
      b.first = c->index;
      b.chain = c->next;
      _WTmem_free(c);
    } else {
      b.first = -1;
    }
    return;
  }
  for (WTmtcell **at = &b.chain; *at; at = &(*at)->next) {
    if ((*at)->index == index) {
      WTmtcell *c = *at;
      *at = c->next;
      _WTmem_free(c);
      return;
    }
  }
}

void markusers(WTmtable *t) {
  for (WTlist *u = t->users; u; u = u->next)
    _WTgeometry_modifiable(static_cast<WTgeometry *>(u->value));
}

// A table record with its layout and empty buckets, not yet named or listed.
WTmtable *newrecord(unsigned mask, int capacity) {
  WTmtable *t = static_cast<WTmtable *>(_WTmem_alloc(sizeof(WTmtable)));
  memset(t, 0, sizeof(WTmtable));
  layout(t, mask);
  t->capacity = static_cast<int32_t>(_WThashtable_picksize(capacity < 1 ? 1u : unsigned(capacity)));
  t->entries = static_cast<float **>(_WTmem_alloc(sizeof(float *) * size_t(t->capacity)));
  t->buckets = static_cast<WTmtbucket *>(_WTmem_alloc(sizeof(WTmtbucket) * size_t(t->capacity)));
  for (int b = 0; b < t->capacity; b++) t->buckets[b] = {-1, nullptr};
  return t;
}

void freerecord(WTmtable *t) {
  for (int i = 0; i < t->count; i++) {
    _WTmem_free(t->entries[i]);
    if (t->names) _WTmem_free(t->names[i]);
  }
  freechains(t);
  _WTmem_free(t->buckets);
  _WTmem_free(t->entries);
  _WTmem_free(t->names);
  _WTmem_free(t);
}

void list(WTmtable *t) {
  t->next = tables;
  tables = t;
}

// A name cut to what the record holds, at a character boundary.
void storename(WTmtable *t, const char *name) {
  size_t n = strlen(name);
  if (n > sizeof(t->name) - 1) {
    n = sizeof(t->name) - 1;
    while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) n--;
  }
  memcpy(t->name, name, n);
  t->name[n] = 0;
}

bool reserved(const char *name) {
  if (strncmp(name, "mt", 2) != 0) return false;
  return atol(name + 2) > 0;
}

// The text after the last '.' cut, then everything up to the last ':', '/' or '\'.
char *tablebasename(const char *name) {
  char *copy = _WTmem_strdup(name);
  if (char *dot = strrchr(copy, '.')) *dot = 0;
  const char *start = copy;
  for (const char *c = copy; *c; c++)
    if (*c == ':' || *c == '/' || *c == '\\') start = c + 1;
  char *result = _WTmem_strdup(start);
  _WTmem_free(copy);
  return result;
}

bool nameused(const char *name, const WTmtable *except) {
  for (WTmtable *t = tables; t; t = t->next)
    if (t != except && strcmp(t->name, name) == 0) return true;
  return false;
}

void ensurenames(WTmtable *t) {
  if (t->names) return;
  t->names = static_cast<char **>(_WTmem_alloc(sizeof(char *) * size_t(t->capacity)));
  memset(t->names, 0, sizeof(char *) * size_t(t->capacity));
}

bool validindex(WTmtable *t, int index) { return t && index >= 0 && index < t->count; }

bool matches(WTmtable *a, const float *ea, WTmtable *b, const float *eb) {
  for (int attr = 0; attr < 7; attr++) {
    if (!(a->mask & (1u << attr))) continue;
    const float *x = ea + a->attroffset[attr], *y = eb + b->attroffset[attr];
    for (int k = 0; k < attrsize(attr); k++)
      if (!(fabsf(x[k] - y[k]) < 0.004f)) return false;
  }
  return true;
}

// The union of a and b; map (when given, b's count long) receives each b entry's new index.
WTmtable *unite(WTmtable *a, WTmtable *b, int *map) {
  unsigned mask = a->mask | b->mask;
  if ((mask & WTAMBIENTDIFFUSE) && (mask & (WTAMBIENT | WTDIFFUSE))) {
    mask &= ~unsigned(WTAMBIENTDIFFUSE);
    mask |= WTAMBIENT | WTDIFFUSE;
  }
  WTmtable *u = newrecord(resolvemask(mask), a->count + b->count);
  storename(u, a->name);
  list(u);
  for (int i = 0; i < a->count; i++) _WTmtable_copyentry(a, i, u);
  for (int j = 0; j < b->count; j++) {
    int k = _WTmtable_merge(b, j, u);
    if (map) map[j] = k;
  }
  return u;
}

// Moves every user of `from` to `to`, taking the user list over whole.
void moveusers(WTmtable *from, WTmtable *to) {
  for (WTlist *u = from->users; u; u = u->next) static_cast<WTgeometry *>(u->value)->mtable = to;
  if (from->users) {
    WTlist *last = _WTlist_last(from->users);
    last->next = to->users;
    if (to->users) to->users->prev = last;
    to->users = from->users;
    from->users = nullptr;
  }
}

int32_t mapid(const int *map, int count, int32_t id) {
  if (count <= 0 || id < 0) return id;
  return map[id % count];
}

// A colour channel as a byte, truncated; values from files outside 0..1 (or not numbers at all)
// are held to the byte's range instead of overflowing the conversion.
uint32_t colourbyte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 255;
  return uint32_t(v * 255.0f);
}

}  // namespace

extern "C" {

WTmtable *_WTmtable_first(void) { return tables; }

void _WTmtable_deleteall(void) {
  while (tables) _WTmtable_delete(tables);
}

int _WTmtable_genname(char *out) {
  long largest = 0;
  for (WTmtable *t = tables; t; t = t->next)
    if (strncmp(t->name, "mt", 2) == 0) {
      long n = atol(t->name + 2);
      if (n > largest) largest = n;
    }
  if (largest + 1 > 999999) {
    _WTmsg_warning("Cannot generate more than 1000000 material names\n");
    return 0;
  }
  snprintf(out, 16, "mt%ld", largest + 1);
  return 1;
}

WTmtable *WTmtable_new(unsigned int mask, int capacity, const char *name) {
  WTmtable *t = newrecord(resolvemask(mask), capacity);
  char generated[16];
  if (name) {
    if (!WTmtable_setname(t, name)) {
      freerecord(t);
      return nullptr;
    }
  } else {
    if (!_WTmtable_genname(generated)) {
      freerecord(t);
      return nullptr;
    }
    storename(t, generated);
  }
  list(t);
  return t;
}

int WTmtable_setname(WTmtable *table, const char *name) {
  if (!table) {
    _WTmsg_warning("must specify a valid material table in order to set its name\n");
    return 0;
  }
  if (!name) {
    _WTmsg_warning("may not assign null name to a material table\n");
    return 0;
  }
  if (reserved(name)) {
    _WTmsg_warning("material table names beginning with \"mt\" and followed by a number are reserved\n");
    _WTmsg_warning("for use by VAV internal functions. Do not use name %s for this table\n", name);
    return 0;
  }
  char *base = tablebasename(name);
  bool ok = *base && !strchr(base, ' ');
  if (!ok) _WTmsg_warning("invalid mtable name %s: no spaces allowed in name\n", name);
  if (ok && strcmp(base, name) != 0) {
    _WTmsg_warning("file delimiters and extensions not allowed in mtable name\n");
    _WTmsg_warning("mtable name shortened from given \"%s\" to \"%s\"\n", name, base);
  }
  WTmtable probe;
  if (ok) {
    storename(&probe, base);
    if (nameused(probe.name, table)) {
      _WTmsg_warning("A material table with name %s already exists\n", name);
      ok = false;
    }
  }
  _WTmem_free(base);
  if (ok) memcpy(table->name, probe.name, sizeof(table->name));
  return ok ? 1 : 0;
}

int _WTmtable_takename(WTmtable *table, const char *name) {
  if (!table || !name) return 0;
  char *base = tablebasename(name);
  bool ok = *base && !strchr(base, ' ');
  if (ok) storename(table, base);
  _WTmem_free(base);
  return ok ? 1 : 0;
}

const char *WTmtable_getname(WTmtable *table) { return table ? table->name : nullptr; }

int WTmtable_getnumentries(WTmtable *table) { return table ? table->count : -1; }

unsigned int WTmtable_getproperties(WTmtable *table) { return table ? table->mask : 0; }

void WTmaterialhashtable_store(WTmtable *table, int index) {
  if (index == -1) {
    _WTmsg_fatal("Internal error in WTmaterialhashtable_store\n");
    return;
  }
  WTmtbucket &b =
      table->buckets[entryhash(table, table->entries[index]) % uint32_t(table->capacity)];
  if (b.first == -1) {
    b.first = index;
    return;
  }
  WTmtcell *c = static_cast<WTmtcell *>(_WTmem_alloc(sizeof(WTmtcell)));
  c->index = index;
  c->next = b.chain;
  b.chain = c;
}

int _WTmtable_findentry(WTmtable *table, const float *candidate) {
  const WTmtbucket &b = table->buckets[entryhash(table, candidate) % uint32_t(table->capacity)];
  if (b.first == -1) return -1;
  size_t bytes = table->size * sizeof(float);
  if (memcmp(table->entries[b.first], candidate, bytes) == 0) return b.first;
  for (WTmtcell *c = b.chain; c; c = c->next)
    if (memcmp(table->entries[c->index], candidate, bytes) == 0) return c->index;
  return -1;
}

void WTmtable_expand(WTmtable *table) {
  int half = table->capacity / 2;
  int increment = half < 50 ? 20 : half;
  if (increment > 20000) increment = 20000;
  int old = table->capacity;
  int capacity = static_cast<int>(_WThashtable_picksize(unsigned(old + increment)));
  freechains(table);
  table->buckets = static_cast<WTmtbucket *>(
      _WTmem_realloc(table->buckets, sizeof(WTmtbucket) * size_t(capacity)));
  table->capacity = capacity;
  for (int b = 0; b < capacity; b++) table->buckets[b] = {-1, nullptr};
  table->entries =
      static_cast<float **>(_WTmem_realloc(table->entries, sizeof(float *) * size_t(capacity)));
  for (int i = 0; i < table->count; i++) WTmaterialhashtable_store(table, i);
  if (table->names) {
    table->names =
        static_cast<char **>(_WTmem_realloc(table->names, sizeof(char *) * size_t(capacity)));
    for (int i = old; i < capacity; i++) table->names[i] = nullptr;
  }
}

int _WTmtable_appendentry(WTmtable *table, float *entry) {
  markusers(table);
  if (table->count == table->capacity) {
    if (table->capacity >= maxcapacity) {
      _WTmsg_warning("Material table %s is full\n", table->name);
      _WTmem_free(entry);
      return -1;
    }
    WTmtable_expand(table);
  }
  int index = table->count;
  table->entries[index] = entry;
  if (table->names) table->names[index] = nullptr;
  WTmaterialhashtable_store(table, index);
  table->count++;
  return index;
}

int WTmtable_newentry(WTmtable *table) {
  if (!table) {
    _WTmsg_warning("Null material table passed into WTmtable_newentry\n");
    return -1;
  }
  return _WTmtable_appendentry(table, defaultentry(table));
}

int _WTmtable_getentryvalue(float *entry, float *values, int attr, WTmtable *table) {
  if (!entry || !values || !table || attr < 0 || attr > 6 || table->attroffset[attr] < 0)
    return 0;
  memcpy(values, entry + table->attroffset[attr], sizeof(float) * size_t(attrsize(attr)));
  return 1;
}

int _WTmtable_setentryvalue(float *entry, const float *values, int attr, WTmtable *table) {
  if (!entry || !values || !table || attr < 0 || attr > 6 || table->attroffset[attr] < 0)
    return 0;
  memcpy(entry + table->attroffset[attr], values, sizeof(float) * size_t(attrsize(attr)));
  markusers(table);
  return 1;
}

int WTmtable_setvalue(WTmtable *table, int index, const float *values, unsigned int bit) {
  int attr = bitattr(bit);
  if (!validindex(table, index) || !values || attr < 0 || table->attroffset[attr] < 0) return 0;
  // The entry is filed again under its new value so that lookups by value keep finding it.
  unstore(table, index);
  _WTmtable_setentryvalue(table->entries[index], values, attr, table);
  WTmaterialhashtable_store(table, index);
  return 1;
}

int WTmtable_getvalue(WTmtable *table, int index, float *values, unsigned int bit) {
  int attr = bitattr(bit);
  if (!validindex(table, index) || !values || attr < 0) return 0;
  return _WTmtable_getentryvalue(table->entries[index], values, attr, table);
}

int _WTmtable_entryindex(WTmtable *table, int id) {
  if (!table || table->count <= 0 || id < 0) return -1;
  return id % table->count;
}

int _WTmtable_findoraddcolor(WTmtable *table, float r, float g, float b) {
  if (!table) return -1;
  const float rgb[3] = {r, g, b};
  if (!(table->mask & (WTAMBIENTDIFFUSE | WTDIFFUSE | WTAMBIENT))) return -1;
  // Readers look a colour up once a polygon: the candidate entry is made on the stack, and
  // only an entry that is added is allocated.
  float local[64];
  const size_t floats = entryfloats(table);
  float *e = floats <= 64 ? local : defaultentry(table);
  if (e == local) cleartodefault(table, local);
  if (table->mask & WTAMBIENTDIFFUSE) {
    memcpy(e + table->attroffset[5], rgb, sizeof(rgb));
  } else {
    if (table->mask & WTDIFFUSE) memcpy(e + table->attroffset[1], rgb, sizeof(rgb));
    if (table->mask & WTAMBIENT) memcpy(e + table->attroffset[0], rgb, sizeof(rgb));
  }
  int found = _WTmtable_findentry(table, e);
  if (found >= 0) {
    if (e != local) _WTmem_free(e);
    return found;
  }
  if (e == local) {
    e = static_cast<float *>(_WTmem_alloc(floats * sizeof(float)));
    memcpy(e, local, floats * sizeof(float));
  }
  return _WTmtable_appendentry(table, e);
}

int _WTmtable_getrgbid(WTmtable *table, unsigned char r, unsigned char g, unsigned char b) {
  return _WTmtable_findoraddcolor(table, r / 255.0f, g / 255.0f, b / 255.0f);
}

int _WTmtable_getrgb24id(WTmtable *table, uint32_t rgb) {
  return _WTmtable_getrgbid(table, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int _WTmtable_getcolorid(WTmtable *table, int color) {
  return _WTmtable_findoraddcolor(table, ((color >> 8) & 15) / 15.0f, ((color >> 4) & 15) / 15.0f,
                                  (color & 15) / 15.0f);
}

int _WTmtable_getrgbaid(WTmtable *table, const float *rgb, float opacity) {
  if (!table || !rgb) return -1;
  int attr = (table->mask & WTAMBIENTDIFFUSE) ? 5
             : (table->mask & WTDIFFUSE)      ? 1
             : (table->mask & WTAMBIENT)      ? 0
                                              : -1;
  if (attr < 0) return -1;
  float *e = defaultentry(table);
  memcpy(e + table->attroffset[attr], rgb, sizeof(float) * 3);
  if (table->mask & WTOPACITY) e[table->attroffset[6]] = opacity;
  int found = _WTmtable_findentry(table, e);
  if (found >= 0) {
    _WTmem_free(e);
    return found;
  }
  return _WTmtable_appendentry(table, e);
}

uint32_t _WTmtable_getentryrgb24(WTmtable *table, int id) {
  int index = _WTmtable_entryindex(table, id);
  if (index < 0) return 0;
  int attr = (table->mask & WTAMBIENTDIFFUSE) ? 5
             : (table->mask & WTDIFFUSE)      ? 1
             : (table->mask & WTAMBIENT)      ? 0
                                              : -1;
  if (attr < 0) return 0;
  const float *c = table->entries[index] + table->attroffset[attr];
  uint32_t out = 0;
  for (int k = 0; k < 3; k++) out = (out << 8) | colourbyte(c[k]);
  return out;
}

int _WTmtable_setentryname(WTmtable *table, int index, const char *name) {
  if (!validindex(table, index) || !name) return 0;
  ensurenames(table);
  char *copy = _WTmem_strdup(name);
  _WTmem_free(table->names[index]);
  table->names[index] = copy;
  return 1;
}

const char *_WTmtable_getentryname(WTmtable *table, int index) {
  if (!validindex(table, index) || !table->names) return nullptr;
  return table->names[index];
}

int _WTmtable_findentrybyname(WTmtable *table, const char *name) {
  if (!table || !name || !table->names) return -1;
  for (int i = 0; i < table->count; i++)
    if (table->names[i] && strcmp(table->names[i], name) == 0) return i;
  return -1;
}

int _WTmtable_copyentry(WTmtable *source, int index, WTmtable *dest) {
  int i = _WTmtable_entryindex(source, index);
  if (i < 0 || !dest) return -1;
  int k = _WTmtable_appendentry(dest, defaultentry(dest));
  if (k < 0) return -1;
  if (const char *name = _WTmtable_getentryname(source, i)) _WTmtable_setentryname(dest, k, name);
  float *s = source->entries[i], *d = dest->entries[k];
  float values[3];
  for (uint32_t slot = 0; slot < source->nslots; slot++) {
    int attr = source->slotattr[slot];
    _WTmtable_getentryvalue(s, values, attr, source);
    _WTmtable_setentryvalue(d, values, attr, dest);
  }
  if (source->mask & WTOPACITY) {
    _WTmtable_getentryvalue(s, values, 6, source);
    _WTmtable_setentryvalue(d, values, 6, dest);
  }
  if ((source->mask & WTAMBIENTDIFFUSE) && (dest->mask & (WTAMBIENT | WTDIFFUSE))) {
    _WTmtable_getentryvalue(s, values, 5, source);
    _WTmtable_setentryvalue(d, values, 0, dest);
    _WTmtable_setentryvalue(d, values, 1, dest);
  }
  // The values changed after the entry was filed: file it again.
  unstore(dest, k);
  WTmaterialhashtable_store(dest, k);
  return k;
}

int _WTmtable_merge(WTmtable *source, int index, WTmtable *dest) {
  if (!validindex(source, index) || !dest) return -1;
  if (source->mask == dest->mask) {
    for (int k = 0; k < dest->count; k++)
      if (matches(source, source->entries[index], dest, dest->entries[k])) return k;
  }
  return _WTmtable_copyentry(source, index, dest);
}

WTmtable *_WTmtable_union(WTmtable *a, WTmtable *b) {
  if (a == b) return a;
  if (!a) return b;
  if (!b) return a;
  return unite(a, b, nullptr);
}

WTmtable *_WTmtable_mergegeometry(WTmtable *table, WTgeometry *geometry) {
  WTmtable *own = geometry ? geometry->mtable : nullptr;
  if (table == own) return table;
  if (!table) return own;
  if (!own) return table;
  int *map = static_cast<int *>(_WTmem_alloc(sizeof(int) * size_t(own->count + 1)));
  WTmtable *u = unite(table, own, map);
  for (WTpoly *p = geometry->polys; p; p = p->next) p->matid = mapid(map, own->count, p->matid);
  for (WTvertex *v = geometry->vertices; v; v = v->next) v->matid = mapid(map, own->count, v->matid);
  _WTmem_free(map);
  moveusers(table, u);
  _WTmtable_delete(table);
  _WTmtable_attach(geometry, u); // detaches the geometry from its own table
  return u;
}

void _WTmtable_attach(WTgeometry *geometry, WTmtable *table) {
  if (!geometry || geometry->mtable == table) return;
  if (geometry->mtable) _WTmtable_detach(geometry->mtable, geometry);
  geometry->mtable = table;
  if (table) _WTlist_push(&table->users, geometry);
}

void _WTmtable_detach(WTmtable *table, WTgeometry *geometry) {
  if (!table || !geometry) return;
  WTlist *cell = _WTlist_find(table->users, geometry);
  if (cell) {
    if (cell == table->users) table->users = cell->next;
    _WTlist_unlink(cell);
  }
  if (geometry->mtable == table) geometry->mtable = nullptr;
  if (!table->users && !table->holds) _WTmtable_delete(table);
}

void _WTmtable_hold(WTmtable *table) {
  if (table) table->holds++;
}

void _WTmtable_release(WTmtable *table) {
  if (!table || table->holds <= 0) return;
  if (--table->holds == 0 && !table->users) _WTmtable_delete(table);
}

void _WTmtable_delete(WTmtable *table) {
  if (!table) return;
  for (WTlist *u = table->users; u; u = u->next) static_cast<WTgeometry *>(u->value)->mtable = nullptr;
  _WTlist_freeall(table->users);
  table->users = nullptr;
  for (WTmtable **at = &tables; *at; at = &(*at)->next)
    if (*at == table) {
      *at = table->next;
      break;
    }
  freerecord(table);
}

WTmtable *_WTmtable_findbyname(const char *name) {
  if (!name) return nullptr;
  for (WTmtable *t = tables; t; t = t->next)
    if (strcmp(t->name, name) == 0) return t;
  return nullptr;
}

WTmtable *WTmtable_copy(WTmtable *table, unsigned int mask) {
  if (!table) return nullptr;
  WTmtable *t = newrecord(resolvemask(mask), table->count);
  storename(t, table->name);
  list(t);
  for (int i = 0; i < table->count; i++) _WTmtable_copyentry(table, i, t);
  moveusers(table, t);
  _WTmtable_delete(table);
  return t;
}
}
