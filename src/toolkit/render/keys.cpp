// The key queue: the window procedure appends key codes, the frame loop hands them to the
// windows' "Key" handlers, and keys of windows without handlers wait for WTkeyboard_getkey.
#include "toolkit/core/core.h"
#include "toolkit/render/input.h"
#include "toolkit/render/view.h"

namespace {

struct Key {
  WTwindow *window;
  uint16_t code;
  Key *next;
};

Key *head, *tail;
int enabled = 1;
unsigned removals;  // counts entries taken out by getkey and flush

Key *takefirst() {
  Key *k = head;
  if (!k) return nullptr;
  removals++;
  head = k->next;
  if (!head) tail = nullptr;
  return k;
}

bool haskeyhandlers(WTwindow *w) {
  return _WTwindow_isvalid(w) && WTproperty_numhandlers(w, "Key") > 0;
}

}  // namespace

extern "C" {

void _WTkeyboard_push(WTwindow *window, int code) {
  Key *k = static_cast<Key *>(_WTmem_alloc(sizeof(Key)));
  k->window = window;
  k->code = static_cast<uint16_t>(code);
  k->next = nullptr;
  if (tail)
    tail->next = k;
  else
    head = k;
  tail = k;
}

void _WTkeyboard_forget(WTwindow *window) {
  for (Key *k = head; k; k = k->next)
    if (k->window == window) k->window = nullptr;
}

void _WTwindow_firekeyevents(void) {
  Key **link = &head;
  Key *last = nullptr;
  while (Key *k = *link) {
    if (!haskeyhandlers(k->window)) {
      last = k;
      link = &k->next;
      continue;
    }
    *link = k->next;
    if (tail == k) tail = last;
    int code = k->code;
    unsigned before = removals;
    WTproperty_firehandlers(k->window, "Key", &code);
    WTproperty_firehandlers_pre(k->window, "Key");
    _WTmem_free(k);
    // A handler that read or flushed the queue may have freed the entries around this one.
    if (removals != before) link = &head, last = nullptr;
  }
}

WTAPI int WTkeyboard_getkey(void) {
  Key *k = takefirst();
  if (!k) return 0;
  int code = k->code;
  _WTmem_free(k);
  return code;
}

WTAPI int WTkeyboard_flush(void) {
  int code = 0;
  while (Key *k = takefirst()) {
    code = k->code;
    _WTmem_free(k);
  }
  return code;
}

WTAPI void WTkeyboard_enable(void) { enabled = 1; }
WTAPI void WTkeyboard_disable(void) { enabled = 0; }
WTAPI int WTkeyboard_isenabled(void) { return enabled; }

}  // extern "C"
