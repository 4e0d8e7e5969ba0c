// Chained hash tables whose bucket count comes from a fixed table of primes.
#include <stdint.h>
#include <string.h>

#include "toolkit/core/core.h"

namespace {

struct Entry {
  void *key;
  void *value;
  Entry *next;
};

const unsigned kPrimes[] = {3,     5,     11,    17,    29,    41,    67,    83,    101,
                            503,   1009,  2063,  3001,  4001,  5003,  6007,  7001,  8009,
                            9001,  10007, 11003, 12007, 13001, 14009, 15013, 16001, 17011,
                            18013, 19001, 20011, 30011, 40009, 50021, 60013, 70001};

bool isempty(const Entry &e) { return !e.key && !e.value; }

unsigned absolute(int32_t v) { return v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v); }

}  // namespace

struct WThashtable {
  int32_t count;
  uint32_t buckets; // every size of the prime table fits
  WThashfn hash;
  WTcomparefn compare;
  Entry *bucket;
};

namespace {

Entry &bucketof(WThashtable *t, const void *key) {
  unsigned h = t->hash ? t->hash(key) : 0;
  return t->bucket[h % t->buckets];
}

bool equal(WThashtable *t, const void *a, const void *b) {
  return t->compare ? t->compare(a, b) == 0 : a == b;
}

Entry *findentry(WThashtable *t, const void *key) {
  Entry &head = bucketof(t, key);
  if (isempty(head)) return nullptr;
  for (Entry *e = &head; e; e = e->next)
    if (equal(t, e->key, key)) return e;
  return nullptr;
}

// The index-th non-empty entry, buckets in order, each from its inline entry along its cells.
Entry *entryat(WThashtable *t, int index) {
  if (!t || index < 0) return nullptr;
  for (uint32_t b = 0; b < t->buckets; b++) {
    if (isempty(t->bucket[b])) continue;
    for (Entry *e = &t->bucket[b]; e; e = e->next)
      if (index-- == 0) return e;
  }
  return nullptr;
}

void emptyall(WThashtable *t, int freekeys, int freevalues) {
  for (uint32_t b = 0; b < t->buckets; b++) {
    Entry &head = t->bucket[b];
    Entry *e = &head;
    while (e) {
      Entry *next = e->next;
      if (freekeys) _WTmem_free(e->key);
      if (freevalues) _WTmem_free(e->value);
      if (e != &head) _WTmem_free(e);
      e = next;
    }
    head = Entry{nullptr, nullptr, nullptr};
  }
  t->count = 0;
}

}  // namespace

extern "C" {

WThashtable *_WThashtable_new(unsigned int buckets, WThashfn hash, WTcomparefn compare) {
  WThashtable *t = static_cast<WThashtable *>(_WTmem_alloc(sizeof(WThashtable)));
  if (!t) return nullptr;
  t->count = 0;
  t->buckets = buckets ? buckets : 1;
  t->hash = hash;
  t->compare = compare;
  t->bucket = static_cast<Entry *>(_WTmem_alloc(sizeof(Entry) * t->buckets));
  if (!t->bucket) {
    _WTmem_free(t);
    return nullptr;
  }
  memset(t->bucket, 0, sizeof(Entry) * t->buckets);
  return t;
}

unsigned int _WThashtable_picksize(unsigned int requested) {
  for (unsigned p : kPrimes)
    if (p >= requested) return p;
  return 70001;
}

void _WThashtable_sethash(WThashtable *table, WThashfn hash) {
  if (table) table->hash = hash;
}

WThashfn _WThashtable_gethash(WThashtable *table) { return table ? table->hash : nullptr; }

void _WThashtable_setcompare(WThashtable *table, WTcomparefn compare) {
  if (table) table->compare = compare;
}

WTcomparefn _WThashtable_getcompare(WThashtable *table) { return table ? table->compare : nullptr; }

int _WThashtable_count(WThashtable *table) { return table ? table->count : 0; }

void _WThashtable_insert(WThashtable *table, void *key, void *value) {
  if (!table) return;
  Entry &head = bucketof(table, key);
  if (isempty(head)) {
    head.key = key;
    head.value = value;
  } else {
    Entry *cell = static_cast<Entry *>(_WTmem_alloc(sizeof(Entry)));
    if (!cell) return;
    *cell = Entry{key, value, head.next};
    head.next = cell;
  }
  table->count++;
}

void *WThashtable_find(WThashtable *table, const void *key) {
  if (!table || !key) return nullptr;
  Entry *e = findentry(table, key);
  return e ? e->value : nullptr;
}

void *_WThashtable_findmatch(WThashtable *table, const void *key,
                             int (*match)(const void *storedkey, const void *context),
                             const void *context) {
  if (!table || !key || !match) return nullptr;
  Entry &head = bucketof(table, key);
  if (isempty(head)) return nullptr;
  for (Entry *e = &head; e; e = e->next)
    if (match(e->key, context)) return e->value;
  return nullptr;
}

void **_WThashtable_valueslot(WThashtable *table, const void *key) {
  if (!table || !key) return nullptr;
  Entry *e = findentry(table, key);
  return e ? &e->value : nullptr;
}

int _WThashtable_remove(WThashtable *table, const void *key, int freekey, int freevalue) {
  if (!table) return 0;
  Entry &head = bucketof(table, key);
  if (isempty(head)) return 0;
  void *oldkey, *oldvalue;
  if (equal(table, head.key, key)) {
    oldkey = head.key;
    oldvalue = head.value;
    if (Entry *cell = head.next) {
      head = *cell;
      _WTmem_free(cell);
    } else {
      head.key = head.value = nullptr;
    }
  } else {
    Entry *prev = &head;
    while (prev->next && !equal(table, prev->next->key, key)) prev = prev->next;
    Entry *cell = prev->next;
    if (!cell) return 0;
    oldkey = cell->key;
    oldvalue = cell->value;
    prev->next = cell->next;
    _WTmem_free(cell);
  }
  if (freekey) _WTmem_free(oldkey);
  if (freevalue) _WTmem_free(oldvalue);
  table->count--;
  return 1;
}

void *_WThashtable_valueat(WThashtable *table, int index) {
  Entry *e = entryat(table, index);
  return e ? e->value : nullptr;
}

void *_WThashtable_keyat(WThashtable *table, int index) {
  Entry *e = entryat(table, index);
  return e ? e->key : nullptr;
}

void *_WThashtable_keyof(WThashtable *table, const void *value) {
  if (!table) return nullptr;
  for (uint32_t b = 0; b < table->buckets; b++) {
    if (isempty(table->bucket[b])) continue;
    for (Entry *e = &table->bucket[b]; e; e = e->next)
      if (e->value == value) return e->key;
  }
  return nullptr;
}

void _WThashtable_delete(WThashtable *table, int freekeys, int freevalues) {
  if (!table) return;
  emptyall(table, freekeys, freevalues);
  _WTmem_free(table->bucket);
  _WTmem_free(table);
}

void _WThashtable_clear(WThashtable *table, int freekeys, int freevalues) {
  if (table) emptyall(table, freekeys, freevalues);
}

unsigned int _WThashtable_inthash(const void *key) {
  return absolute(static_cast<int32_t>(reinterpret_cast<uintptr_t>(key)));
}

unsigned char _WThashtable_intcompare(const void *a, const void *b) { return a != b; }

unsigned int _WThashtable_pinthash(const void *key) {
  return key ? absolute(*static_cast<const int32_t *>(key)) : 0;
}

unsigned char _WThashtable_pintcompare(const void *a, const void *b) {
  if (!a || !b) return a != b;
  return *static_cast<const int32_t *>(a) != *static_cast<const int32_t *>(b);
}

unsigned int _WThashtable_strhash(const void *key) {
  const signed char *s = static_cast<const signed char *>(key);
  if (!s) return 0;
  int32_t sum = 0;
  for (int i = 0; i < 128 && s[i]; i++) sum += s[i];
  return static_cast<uint32_t>(sum);
}

unsigned char _WThashtable_strcompare(const void *a, const void *b) {
  if (!a || !b) return a != b;
  return strcmp(static_cast<const char *>(a), static_cast<const char *>(b)) != 0;
}
}
