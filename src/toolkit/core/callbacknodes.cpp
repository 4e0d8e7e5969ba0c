// Callback nodes: leaves whose drawing is handed to the caller's function.  The program itself
// makes none; they are there for the toolkit's users.
#include <string.h>

#include "toolkit/core/node.h"

namespace {

// The callback flag word: 1 drawn through the function, 8 made around a data record, 16 made
// with a function.
constexpr int kCallbackDraws = 1;
constexpr int kCallbackRecord = 8;
constexpr int kCallbackMade = 16;

WTnode *callbacknode(WTnode *node) {
  return node && node->kind == WTNODE_CALLBACK ? node : nullptr;
}

}  // namespace

extern "C" {

WTnode *_WTcallbacknode_new(WTnode *parent, WTcallbackfn fn, int flags) {
  if (!fn) return nullptr;
  WTnode *n = _WTnode_create(parent, WTNODE_CALLBACK);
  if (!n) return nullptr;
  n->u.callback.fn = fn;
  n->u.callback.flags = kCallbackDraws | flags | kCallbackMade;
  return n;
}

WTnode *_WTcallbacknode_newdata(WTnode *parent, void *record, void *owner) {
  if (!record) return nullptr;
  WTnode *n = _WTnode_create(parent, WTNODE_CALLBACK);
  if (!n) return nullptr;
  n->u.callback.data = record;
  n->data = owner ? owner : n;
  n->u.callback.flags = kCallbackRecord;
  return n;
}

int _WTcallbacknode_setflags(WTnode *node, int flags) {
  WTnode *n = callbacknode(node);
  if (!n) return 0;
  n->u.callback.flags = flags;
  return 1;
}

int _WTcallbacknode_getflags(WTnode *node) {
  WTnode *n = callbacknode(node);
  return n ? n->u.callback.flags : 0;
}

int _WTcallbacknode_setfunction(WTnode *node, WTcallbackfn fn) {
  WTnode *n = callbacknode(node);
  if (!n) return 0;
  n->u.callback.fn = fn;
  return 1;
}

int _WTcallbacknode_setdata(WTnode *node, void *record, void *owner) {
  WTnode *n = callbacknode(node);
  if (!n) return 0;
  n->u.callback.data = record;
  n->data = owner ? owner : n;
  return 1;
}

int _WTcallbacknode_setbox(WTnode *node, const float low[3], const float high[3]) {
  WTnode *n = callbacknode(node);
  if (!n || !low || !high) return 0;
  memcpy(n->u.callback.boxmin, low, sizeof n->u.callback.boxmin);
  memcpy(n->u.callback.boxmax, high, sizeof n->u.callback.boxmax);
  n->flags |= WTNF_SHOWBOX;
  _WTnode_changed(n);
  return 1;
}

}  // extern "C"
