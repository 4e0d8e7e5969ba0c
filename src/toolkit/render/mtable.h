// Material tables inside the toolkit: growable arrays of material entries shared by the
// geometries that use them (mtable.cpp), and the material files (matfile.cpp).
#pragma once

#include <stdint.h>

#include "toolkit/wt.h"

extern "C" {

struct WTmtcell {
  int32_t index;
  WTmtcell *next;
};

struct WTmtbucket {
  int32_t first; // -1 = empty
  WTmtcell *chain;
};

struct WTmtable {
  char name[260];
  uint32_t mask;
  uint32_t size; // floats per entry
  uint32_t nslots;
  int32_t slotoffset[5];
  int32_t slotcount[5];
  int32_t attroffset[7]; // -1 when absent
  uint32_t slotenum[5];
  int32_t slotattr[5];
  int32_t count;
  int32_t capacity;
  float **entries;
  char **names;
  WTmtbucket *buckets;
  WTmtable *next;
  WTlist *users;
  int32_t holds;  // a table held is not deleted when its last user leaves it
};

WTmtable *_WTmtable_first(void); // the universe's list of tables
void _WTmtable_deleteall(void);
int _WTmtable_genname(char *out);
int _WTmtable_appendentry(WTmtable *table, float *entry);
void WTmaterialhashtable_store(WTmtable *table, int index);
int _WTmtable_findentry(WTmtable *table, const float *candidate);
void WTmtable_expand(WTmtable *table);
int _WTmtable_findoraddcolor(WTmtable *table, float r, float g, float b);
int _WTmtable_getrgbid(WTmtable *table, unsigned char r, unsigned char g, unsigned char b);
int _WTmtable_getrgb24id(WTmtable *table, uint32_t rgb);
int _WTmtable_getcolorid(WTmtable *table, int color);
int _WTmtable_getrgbaid(WTmtable *table, const float *rgb, float opacity);
uint32_t _WTmtable_getentryrgb24(WTmtable *table, int id);
int _WTmtable_copyentry(WTmtable *source, int index, WTmtable *dest);
int _WTmtable_merge(WTmtable *source, int index, WTmtable *dest);
WTmtable *_WTmtable_union(WTmtable *a, WTmtable *b);
WTmtable *_WTmtable_mergegeometry(WTmtable *table, WTgeometry *geometry);
void _WTmtable_attach(WTgeometry *geometry, WTmtable *table);
void _WTmtable_detach(WTmtable *table, WTgeometry *geometry);
// Keeps a table alive while no geometry uses it (a read holds its table until its geometries are
// closed); the release of the last hold deletes a table that has no user then.
void _WTmtable_hold(WTmtable *table);
void _WTmtable_release(WTmtable *table);
void _WTmtable_delete(WTmtable *table);
WTmtable *_WTmtable_findbyname(const char *name);
// Names the table after the name's base as WTmtable_setname reduces it, without its reserved-name
// and uniqueness tests; 0 (name unchanged) when the base is empty or holds a blank.
int _WTmtable_takename(WTmtable *table, const char *name);
// Material files (matfile.cpp): the table written to "<its name>.mat" in the current folder
// (0 when any write or the close fails), and a table read from "<name>.mat" along the model
// path, or null.
int _WTmtable_save(WTmtable *table);
WTmtable *_WTmtable_load(const char *name);
int _WTmtable_setentryname(WTmtable *table, int index, const char *name);
const char *_WTmtable_getentryname(WTmtable *table, int index);
int _WTmtable_findentrybyname(WTmtable *table, const char *name);
int _WTmtable_getentryvalue(float *entry, float *values, int attr, WTmtable *table);
int _WTmtable_setentryvalue(float *entry, const float *values, int attr, WTmtable *table);
// Entry number of a material id: id modulo the entry count; -1 for a negative id or an empty
// table.
int _WTmtable_entryindex(WTmtable *table, int id);
// The entry drawing takes for a material id of a table with entries: the id modulo the entry
// count, negative ids wrapped round.
static inline int _WTmtable_drawnentry(const WTmtable *table, int32_t id) {
  return ((id % table->count) + table->count) % table->count;
}

}
