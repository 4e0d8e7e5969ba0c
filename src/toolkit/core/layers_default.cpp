// Defaults for the services of layers that are not yet part of the library (see layers.h).
#include "toolkit/core/layers.h"

#include "toolkit/core/core.h"

namespace {
// Group membership of objects, kept here while objects have no record of their own.
WThashtable *groups;
}  // namespace

extern "C" {

WTobjgroup *_WTobject_getgroup(WTobject *object) {
  return static_cast<WTobjgroup *>(WThashtable_find(groups, object));
}

void _WTobject_setgroup(WTobject *object, WTobjgroup *group) {
  if (!object) return;
  if (!groups) groups = _WThashtable_new(_WThashtable_picksize(100), _WThashtable_inthash,
                                         _WThashtable_intcompare);
  _WThashtable_remove(groups, object, 0, 0);
  if (group) _WThashtable_insert(groups, object, group);
}

WTcell *_WTobject_loadmultiple(const char *, float, int, int) { return nullptr; }

int _WTobject_save(WTcell *, const char *, int) { return 0; }

int _WTobject_numpolys(WTobject *) { return 0; }

void _WTobject_destroy(WTobject *object) { _WTobject_setgroup(object, nullptr); }

void _WTobject_mergeinto(WTobject *, WTobject *) {}

void _WTobject_finishmerge(WTobject *, int) {}

}
