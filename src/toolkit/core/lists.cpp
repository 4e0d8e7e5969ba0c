// Doubly linked value lists and singly linked cell lists.
#include <stdint.h>

#include "toolkit/core/core.h"

extern "C" {

WTlist *_WTlist_push(WTlist **head, void *value) {
  WTlist *cell = static_cast<WTlist *>(_WTmem_alloc(sizeof(WTlist)));
  if (!cell) return nullptr;
  cell->value = value;
  cell->prev = nullptr;
  cell->next = head ? *head : nullptr;
  if (head) {
    if (*head) (*head)->prev = cell;
    *head = cell;
  }
  return cell;
}

void _WTlist_unlink(WTlist *cell) {
  if (!cell) return;
  if (cell->prev) cell->prev->next = cell->next;
  if (cell->next) cell->next->prev = cell->prev;
  _WTmem_free(cell);
}

void _WTlist_freeall(WTlist *cell) {
  if (!cell) return;
  if (cell->prev) cell->prev->next = nullptr;
  while (cell) {
    WTlist *next = cell->next;
    _WTmem_free(cell);
    cell = next;
  }
}

WTlist *_WTlist_first(WTlist *cell) {
  if (!cell) return nullptr;
  while (cell->prev) cell = cell->prev;
  return cell;
}

WTlist *_WTlist_last(WTlist *cell) {
  if (!cell) return nullptr;
  while (cell->next) cell = cell->next;
  return cell;
}

WTlist *_WTlist_find(WTlist *cell, const void *value) {
  for (; cell; cell = cell->next)
    if (cell->value == value) return cell;
  return nullptr;
}

WTlist *_WTlist_next(WTlist *cell) { return cell ? cell->next : nullptr; }

WTlist *_WTlist_prev(WTlist *cell) { return cell ? cell->prev : nullptr; }

void *_WTlist_value(WTlist *cell) { return cell ? cell->value : nullptr; }

WTlist *_WTlist_new(void) { return nullptr; }

WTlist *_WTlist_append(WTlist *a, WTlist *b) {
  if (!a) return nullptr;
  if (!b) return a;
  WTlist *last = _WTlist_last(a);
  WTlist *first = _WTlist_first(b);
  last->next = first;
  first->prev = last;
  return a;
}

void _WTlist_print(WTlist *list) {
  int count = 0;
  for (; list; list = list->next, count++)
    _WTmsg_info("%d\n", static_cast<int>(reinterpret_cast<intptr_t>(list->value)));
  _WTmsg_info("%d items in list\n", count);
}

WTcell *_WTlist_reversecopy(WTcell *list) {
  WTcell *copy = nullptr;
  for (; list; list = list->next) copy = _WTlist_cell(list->value, copy);
  return copy;
}

WTcell *_WTlist_cell(void *value, WTcell *next) {
  WTcell *cell = static_cast<WTcell *>(_WTmem_alloc(sizeof(WTcell)));
  if (!cell) return next;
  cell->value = value;
  cell->next = next;
  return cell;
}

WTcell *_WTlist_join(WTcell *a, WTcell *b) {
  if (!a) return b;
  WTcell *last = a;
  while (last->next) last = last->next;
  last->next = b;
  return a;
}

void _WTlist_free(WTcell *list) {
  while (list) {
    WTcell *next = list->next;
    _WTmem_free(list);
    list = next;
  }
}
}
