// Object groups: objects of the object layer collected to be saved or merged together.  An
// object belongs to at most one group.
#include "toolkit/core/core.h"
#include "toolkit/core/layers.h"

namespace {
struct Member {
  WTobject *object;
  int selected;
  Member *next;
};
}  // namespace

struct WTobjgroup {
  Member *first;
  void *spare;
};

extern "C" {

WTobjgroup *_WTobjgroup_new(void) {
  WTobjgroup *group = static_cast<WTobjgroup *>(_WTmem_alloc(sizeof(WTobjgroup)));
  if (group) *group = WTobjgroup{nullptr, nullptr};
  return group;
}

int _WTobjgroup_add(WTobjgroup *group, WTobject *object) {
  if (!group || !object) return 0;
  if (WTobjgroup *current = _WTobject_getgroup(object)) {
    _WTmsg_warning(current == group ? "Object is already in this group.\n"
                                    : "Object is already in another group.\n");
    return 0;
  }
  Member *m = static_cast<Member *>(_WTmem_alloc(sizeof(Member)));
  if (!m) return 0;
  *m = Member{object, 1, group->first};
  group->first = m;
  _WTobject_setgroup(object, group);
  return 1;
}

int _WTobjgroup_remove(WTobjgroup *group, WTobject *object) {
  if (!group || !object) return 0;
  for (Member **link = &group->first; *link; link = &(*link)->next) {
    if ((*link)->object != object) continue;
    Member *m = *link;
    *link = m->next;
    _WTmem_free(m);
    _WTobject_setgroup(object, nullptr);
    return 1;
  }
  return 0;
}

void _WTobjgroup_delete(WTobjgroup *group) {
  if (!group) return;
  Member *m = group->first;
  while (m) {
    Member *next = m->next;
    _WTobject_setgroup(m->object, nullptr);
    _WTmem_free(m);
    m = next;
  }
  _WTmem_free(group);
}

WTobjgroup *_WTobjgroup_load(const char *filename, float scale, int principal, int readerflag) {
  WTcell *objects = _WTobject_loadmultiple(filename, scale, principal, readerflag);
  if (!objects) return nullptr;
  WTobjgroup *group = _WTobjgroup_new();
  for (WTcell *c = objects; c; c = c->next) _WTobjgroup_add(group, static_cast<WTobject *>(c->value));
  _WTlist_free(objects);
  return group;
}

int _WTobjgroup_save(WTobjgroup *group, const char *filename, int format) {
  if (!group) return 0;
  WTcell *selected = nullptr;
  for (Member *m = group->first; m; m = m->next)
    if (m->selected) selected = _WTlist_cell(m->object, selected);
  int result = _WTobject_save(selected, filename, format);
  _WTlist_free(selected);
  return result;
}

WTobject *_WTobjgroup_firstselected(WTobjgroup *group) {
  if (!group) return nullptr;
  for (Member *m = group->first; m; m = m->next)
    if (m->selected) return m->object;
  return nullptr;
}

WTobject *_WTobjgroup_nextselected(WTobjgroup *group, WTobject *object) {
  if (!group) return nullptr;
  Member *m = group->first;
  while (m && m->object != object) m = m->next;
  for (m = m ? m->next : nullptr; m; m = m->next)
    if (m->selected) return m->object;
  return nullptr;
}

void _WTobjgroup_merge(WTobjmerge *merge, int flag) {
  if (!merge || !merge->target) return;
  WTcell *c = merge->others;
  while (c) {
    WTcell *next = c->next;
    WTobject *other = static_cast<WTobject *>(c->value);
    if (other && other != merge->target) {
      if (_WTobject_numpolys(other) > 0) _WTobject_mergeinto(merge->target, other);
      _WTobject_destroy(other);
    }
    _WTmem_free(c);
    c = next;
  }
  merge->others = nullptr;
  _WTobject_finishmerge(merge->target, flag);
}
}
