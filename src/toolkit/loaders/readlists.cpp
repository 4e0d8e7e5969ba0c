// The end of a model read: closing the geometries read, and wrapping them as objects.
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/loaders.h"

WTgeomlist *_WTread_closeall(WTgeomlist *list, WTmtable *table) {
  if (table)
    for (WTgeomlist *cell = list; cell; cell = cell->next) _WTmtable_attach(cell->geometry, table);
  WTgeomlist **at = &list;
  while (WTgeomlist *cell = *at) {
    if (_WTgeometry_close(cell->geometry)) {
      at = &cell->next;
      continue;
    }
    *at = cell->next;
    _WTmem_free(cell);
  }
  return list;
}

WTcell *_WTread_makeobjects(WTgeomlist *list, int principal, WTreadorder order) {
  WTcell *objects = nullptr, *tail = nullptr;
  for (WTgeomlist *c = list; c; c = c->next) {
    WTobject *o = _WTobject_newfromgeometry(c->geometry, principal);
    if (order == WTreadorder::reversed) {
      objects = _WTlist_cell(o, objects);
      continue;
    }
    WTcell *cell = _WTlist_cell(o, nullptr);
    if (tail) tail->next = cell;
    else objects = cell;
    tail = cell;
  }
  _WTgeomlist_delete(list);
  return objects;
}
