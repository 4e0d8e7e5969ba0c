// Base objects: one interface over nodes, viewpoints, windows, sensors, paths and generic
// objects.  The class operations of the first five are found at start-up by their exported
// names in the running program; generic objects live entirely here.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/layers.h"

struct WTbase {
  unsigned char tag; // '$'
  unsigned char spare[2];
  unsigned char haseventhandlers;
  unsigned char deleting;
  void *data;
  char *name;
  WTvaluearray *children; // created with the first child
  WTvaluearray *parents;
  WTbase *prev, *next;
};

namespace {

const unsigned char kGenericTag = '$';

// The bound class operations, looked up in this order; each row holds one entry per class
// (node, viewpoint, window, sensor, path), the pairs as setter then getter.
const char *const kClassNames[40] = {
    "WTnode_delete", "WTviewpoint_delete", "WTwindow_delete", "WTsensor_delete", "WTpath_delete",
    "WTnode_setdata", "WTnode_getdata", "WTviewpoint_setdata", "WTviewpoint_getdata",
    "WTwindow_setdata", "WTwindow_getdata", "WTsensor_setdata", "WTsensor_getdata",
    "WTpath_setdata", "WTpath_getdata",
    "WTnode_setname", "WTnode_getname", "WTviewpoint_setname", "WTviewpoint_getname",
    "WTwindow_setname", "WTwindow_getname", "WTsensor_setname", "WTsensor_getname",
    "WTpath_setname", "WTpath_getname",
    "_WTnode_sethaseventhandlers", "_WTnode_gethaseventhandlers",
    "_WTviewpoint_sethaseventhandlers", "_WTviewpoint_gethaseventhandlers",
    "_WTwindow_sethaseventhandlers", "_WTwindow_gethaseventhandlers",
    "_WTsensor_sethaseventhandlers", "_WTsensor_gethaseventhandlers",
    "_WTpath_sethaseventhandlers", "_WTpath_gethaseventhandlers",
    "WTuniverse_findnode", "WTuniverse_findviewpoint", "WTuniverse_findwindow",
    "WTuniverse_findsensor", "WTuniverse_findpath"};

// Signatures of the bound operations.
typedef void (*DeleteFn)(void *object);
typedef void (*SetDataFn)(void *object, void *data);
typedef void *(*GetDataFn)(void *object);
typedef void (*SetNameFn)(void *object, const char *name);
typedef const char *(*GetNameFn)(void *object);
typedef void (*SetFlagFn)(void *object, int flag);
typedef int (*GetFlagFn)(void *object);
typedef void *(*FindFn)(const char *name, int n);

void *bound[40];
bool isbound;

typedef void (*HookFn)(void);
typedef void (*DeletedFn)(void *object);
typedef int (*NameStoredFn)(void *object);
HookFn wsupdate, wsdelete;
DeletedFn deletedhook;
NameStoredFn namestoredhook;

bool started;
bool runninghooks;
WTframefn framecallback;

// Generic objects, newest first.
WTbase *firstgeneric;

// Row starts: delete 0, data 5, name 15, event-handler flag 25, find 35; pairs at 2 * class.
DeleteFn deletefn(int c) { return reinterpret_cast<DeleteFn>(bound[c]); }
SetDataFn setdatafn(int c) { return reinterpret_cast<SetDataFn>(bound[5 + 2 * c]); }
GetDataFn getdatafn(int c) { return reinterpret_cast<GetDataFn>(bound[6 + 2 * c]); }
SetNameFn setnamefn(int c) { return reinterpret_cast<SetNameFn>(bound[15 + 2 * c]); }
GetNameFn getnamefn(int c) { return reinterpret_cast<GetNameFn>(bound[16 + 2 * c]); }
SetFlagFn setflagfn(int c) { return reinterpret_cast<SetFlagFn>(bound[25 + 2 * c]); }
GetFlagFn getflagfn(int c) { return reinterpret_cast<GetFlagFn>(bound[26 + 2 * c]); }
FindFn findfn(int c) { return reinterpret_cast<FindFn>(bound[35 + c]); }

bool boundclass(int c) { return isbound && c >= WTBASE_NODE && c <= WTBASE_PATH; }

WTbase *generic(void *object) {
  return _WTbase_class(object) == WTBASE_GENERIC ? static_cast<WTbase *>(object) : nullptr;
}

WTbase *entry(WTvaluearray *array, int index) {
  void *p = nullptr;
  _WTvaluearray_get(array, index, &p);
  return static_cast<WTbase *>(p);
}

void removeone(WTvaluearray *array, WTbase *object) {
  int i = _WTvaluearray_find(array, object);
  if (i >= 0) _WTvaluearray_remove(array, i);
}

}  // namespace

extern "C" {

int _WTbase_bindclasses(void) {
  isbound = false;
  memset(bound, 0, sizeof bound);
  for (int i = 0; i < 40; i++) {
    bound[i] = _WTsys_findexport(kClassNames[i]);
    if (!bound[i]) return 0;
  }
  isbound = true;
  return 1;
}

int _WTbase_isbound(void) { return isbound; }

WT_BOUNDCALL void _WTbase_bindhooks(void) {
  HookFn wsnew = reinterpret_cast<HookFn>(_WTsys_findexport("WSnew"));
  wsupdate = reinterpret_cast<HookFn>(_WTsys_findexport("WSupdate"));
  wsdelete = reinterpret_cast<HookFn>(_WTsys_findexport("WSdelete"));
  deletedhook = reinterpret_cast<DeletedFn>(_WTsys_findexport("_WTbase_deleted"));
  namestoredhook = reinterpret_cast<NameStoredFn>(_WTsys_findexport("_WTbase_isnamestored"));
  if (wsnew) wsnew();
}

int _WTbase_class(const void *object) {
  if (!object) return -1;
  unsigned char tag = *static_cast<const unsigned char *>(object);
  return tag < 30 ? WTBASE_NODE : tag - 30;
}

WT_BOUNDCALL void _WTbase_delete(void *object) {
  int c = _WTbase_class(object);
  if (c == WTBASE_GENERIC)
    _WTbase_deleteobject(static_cast<WTbase *>(object), 0);
  else if (boundclass(c))
    deletefn(c)(object);
}

WT_BOUNDCALL void _WTbase_setdata(void *object, void *data) {
  int c = _WTbase_class(object);
  if (boundclass(c))
    setdatafn(c)(object, data);
  else if (WTbase *g = generic(object))
    g->data = data;
}

WT_BOUNDCALL void *_WTbase_getdata(void *object) {
  int c = _WTbase_class(object);
  if (boundclass(c)) return getdatafn(c)(object);
  WTbase *g = generic(object);
  return g ? g->data : nullptr;
}

WT_BOUNDCALL void _WTbase_sethaseventhandlers(void *object, int flag) {
  int c = _WTbase_class(object);
  if (boundclass(c))
    setflagfn(c)(object, flag);
  else if (WTbase *g = generic(object))
    g->haseventhandlers = static_cast<unsigned char>(flag);
}

WT_BOUNDCALL int _WTbase_gethaseventhandlers(void *object) {
  int c = _WTbase_class(object);
  if (boundclass(c)) return getflagfn(c)(object);
  WTbase *g = generic(object);
  return g ? g->haseventhandlers : 0;
}

WT_BOUNDCALL void _WTbase_setname(void *object, const char *name) {
  int c = _WTbase_class(object);
  if (boundclass(c)) {
    setnamefn(c)(object, name);
  } else if (WTbase *g = generic(object)) {
    if (_WTbase_callisnamestored(g)) return;
    _WTmem_free(g->name);
    g->name = _WTmem_strdup(name);
  }
}

WT_BOUNDCALL const char *_WTbase_getname(void *object) {
  int c = _WTbase_class(object);
  if (boundclass(c)) return getnamefn(c)(object);
  WTbase *g = generic(object);
  return g ? g->name : nullptr;
}

WT_BOUNDCALL void *_WTbase_find(int classindex, const char *name, int length) {
  if (!name || !*name) return nullptr;
  if (boundclass(classindex)) return findfn(classindex)(name, length);
  if (classindex == WTBASE_ANY && isbound) {
    const int order[5] = {WTBASE_SENSOR, WTBASE_WINDOW, WTBASE_VIEWPOINT, WTBASE_PATH, WTBASE_NODE};
    for (int c : order)
      if (void *found = findfn(c)(name, length)) return found;
  }
  if (classindex == WTBASE_GENERIC || classindex == WTBASE_ANY) {
    size_t n = length > 0 ? static_cast<size_t>(length) : 0;
    for (WTbase *g = firstgeneric; g; g = g->next)
      if (g->name && strncmp(g->name, name, n) == 0) return g;
  }
  return nullptr;
}

void *_WTbase_findbyname(int classindex, const char *name) {
  return name ? _WTbase_find(classindex, name, static_cast<int>(strlen(name))) : nullptr;
}

WTbase *_WTbase_newobject(WTbase *parent) {
  WTbase *g = static_cast<WTbase *>(_WTmem_alloc(sizeof(WTbase)));
  memset(g, 0, sizeof *g);
  g->tag = kGenericTag;
  g->parents = _WTvaluearray_new(WTPOINTER, 4);
  g->next = firstgeneric;
  if (firstgeneric) firstgeneric->prev = g;
  firstgeneric = g;
  if (parent) _WTbase_link(g, parent);
  return g;
}

void _WTbase_deleteobject(WTbase *object, int depth) {
  WTbase *g = generic(object);
  if (!g || g->deleting) return;
  g->deleting = 1;
  _WTbase_calldeleted(g);
  while (_WTvaluearray_count(g->children) > 0) {
    WTbase *child = entry(g->children, 0);
    _WTbase_deleteobject(child, depth + 1);
    // A child already being deleted (the graph has a cycle) is only let go.
    if (_WTvaluearray_count(g->children) > 0 && entry(g->children, 0) == child)
      _WTbase_unlink(child, g);
  }
  _WTvaluearray_delete(g->children);
  g->children = nullptr;
  for (int i = 0; i < _WTvaluearray_count(g->parents); i++)
    if (WTbase *parent = entry(g->parents, i)) removeone(parent->children, g);
  _WTvaluearray_clear(g->parents);
  if (g->prev)
    g->prev->next = g->next;
  else
    firstgeneric = g->next;
  if (g->next) g->next->prev = g->prev;
  _WTvaluearray_delete(g->parents);
  WTbase_deleteproperties(g);
  _WTmem_free(g->name);
  _WTmem_free(g);
}

void _WTbase_deleteall(void) {
  while (firstgeneric) _WTbase_deleteobject(firstgeneric, 0);
}

WTbase *_WTbase_firstobject(void) { return firstgeneric; }

int _WTbase_link(WTbase *child, WTbase *parent) {
  if (!generic(child) || !generic(parent)) return 0;
  if (!parent->children) parent->children = _WTvaluearray_new(WTPOINTER, 4);
  _WTvaluearray_append(parent->children, child);
  _WTvaluearray_append(child->parents, parent);
  return 1;
}

int _WTbase_unlink(WTbase *child, WTbase *parent) {
  if (!generic(child) || !generic(parent)) return 0;
  int i = _WTvaluearray_find(parent->children, child);
  if (i < 0) return 0;
  _WTvaluearray_remove(parent->children, i);
  removeone(child->parents, parent);
  return 1;
}

int _WTbase_numparents(WTbase *object) {
  WTbase *g = generic(object);
  return g ? _WTvaluearray_count(g->parents) : 0;
}

WTbase *_WTbase_getparent(WTbase *object, int index) {
  WTbase *g = generic(object);
  return g ? entry(g->parents, index) : nullptr;
}

int _WTbase_numchildren(WTbase *object) {
  WTbase *g = generic(object);
  return g ? _WTvaluearray_count(g->children) : 0;
}

WTbase *_WTbase_getchild(WTbase *object, int index) {
  WTbase *g = generic(object);
  return g ? entry(g->children, index) : nullptr;
}

WTbase *_WTbase_findchild(WTbase *object, const char *name) {
  if (!name) return nullptr;
  for (int i = 0; i < _WTbase_numchildren(object); i++) {
    WTbase *child = _WTbase_getchild(object, i);
    if (child && child->name && strcmp(child->name, name) == 0) return child;
  }
  return nullptr;
}

int _WTbase_ischild(WTbase *object, WTbase *candidate) {
  WTbase *g = generic(object);
  return g && candidate && _WTvaluearray_find(g->children, candidate) >= 0;
}

void _WTbase_print(WTbase *object, int depth) {
  if (!object) return;
  const char *name = _WTbase_getname(object);
  _WTmsg_info("%*s%s    ", depth * 2, "", name ? name : "");
  for (int i = 0; i < _WTuserproperty_count(object); i++) {
    const char *property = _WTproperty_getname(object, _WTproperty_numbuiltin(object) + i);
    const char *text = _WTproperty_gettext(object, property);
    _WTmsg_info("  %s=%s", property ? property : "", text ? text : "");
  }
  _WTmsg_info("\n");
  for (int i = 0; i < _WTbase_numchildren(object); i++)
    _WTbase_print(_WTbase_getchild(object, i), depth + 1);
}

int _WTbase_numproperties(void *object) { return _WTproperty_count(object); }

const char *_WTbase_getproperty(void *object, int index) { return _WTproperty_getname(object, index); }

int _WTbase_findproperty(void *object, const char *name, int type) {
  return _WTproperty_exists(object, name) && _WTproperty_gettype(object, name) == type;
}

void _WTbase_start(void) {
  if (started) return;
  _WTbase_bindclasses();
  _WTbase_bindhooks();
  started = true;
}

WT_BOUNDCALL void _WTbase_frame(void) {
  if (!started) return;
  _WTtime_refresh();
  if (framecallback) framecallback();
  _WTproperty_runtimed();
  _WTproperty_flushevents();
  if (wsupdate) wsupdate();
}

WT_BOUNDCALL void _WTbase_stop(void) {
  if (!started) return;
  if (wsdelete) wsdelete();
  _WTbase_deleteall();
}

void _WTbase_setframecallback(WTframefn fn) { framecallback = fn; }

void _WTbase_runhooks(void) {
  if (!started) return;
  runninghooks = true;
  while (runninghooks) _WTbase_frame();
}

void _WTbase_stophooks(void) { runninghooks = false; }

WT_BOUNDCALL void _WTbase_calldeleted(void *object) {
  if (!object) return;
  if (deletedhook) deletedhook(object);
  _WTproperty_forgetobject(object);
}

WT_BOUNDCALL int _WTbase_callisnamestored(void *object) { return namestoredhook ? namestoredhook(object) : 0; }
}
