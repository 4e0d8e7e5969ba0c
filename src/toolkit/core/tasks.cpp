// Tasks: functions the frame loop calls once per frame with their object, in priority order.
// Changes that move tasks wait in a queue for the next task step, so a task may delete itself.
#include <string.h>

#include "toolkit/core/core.h"

struct WTtask {
  WTtask *bucketnext;
  WTtask *runnext;
  WTtask *runprev;
  WTtask *objectnext;
  WTtask *objectprev;
  void *object;
  WTtaskfn fn;
  WTtask *pendingnext;
  float priority;
  float requested;
  int flags;
  void *data;
};

namespace {

enum { kDisabled = 1, kDeleted = 2, kQueued = 0x100 };

WTtask *runhead, *runtail;
WTtask *pending;  // newest first
float prioritysum;
int livecount;
WTtask *buckets[32];

unsigned bucketof(const void *object) {
  int32_t a = static_cast<int32_t>(reinterpret_cast<uintptr_t>(object));
  return static_cast<unsigned>((a >> 3) + (a >> 8) + (a >> 13)) & 31;
}

void enqueue(WTtask *t) {
  if (t->flags & kQueued) return;
  t->flags |= kQueued;
  t->pendingnext = pending;
  pending = t;
}

void rununlink(WTtask *t) {
  if (t->runprev)
    t->runprev->runnext = t->runnext;
  else if (runhead == t)
    runhead = t->runnext;
  if (t->runnext)
    t->runnext->runprev = t->runprev;
  else if (runtail == t)
    runtail = t->runprev;
  t->runnext = t->runprev = nullptr;
}

void runinsertafter(WTtask *t, WTtask *after) {
  t->runprev = after;
  t->runnext = after ? after->runnext : runhead;
  if (t->runnext)
    t->runnext->runprev = t;
  else
    runtail = t;
  if (after)
    after->runnext = t;
  else
    runhead = t;
}

// The first task of the object, or null.
WTtask *firstof(const void *object) {
  if (!object) return nullptr;
  for (WTtask *t = buckets[bucketof(object)]; t; t = t->bucketnext)
    if (t->object == object) {
      while (t->objectprev) t = t->objectprev;
      return t;
    }
  return nullptr;
}

void unlinkbucket(WTtask *t) {
  for (WTtask **p = &buckets[bucketof(t->object)]; *p; p = &(*p)->bucketnext)
    if (*p == t) {
      *p = t->bucketnext;
      return;
    }
}

void destroy(WTtask *t) {
  rununlink(t);
  unlinkbucket(t);
  if (t->objectprev) t->objectprev->objectnext = t->objectnext;
  if (t->objectnext) t->objectnext->objectprev = t->objectprev;
  prioritysum -= t->requested;
  livecount--;
  _WTmem_free(t);
}

// Puts a task at its place in the run order: after every task of equal priority.
void place(WTtask *t) {
  rununlink(t);
  t->priority = t->requested;
  float average = livecount ? prioritysum / livecount : 0.0f;
  if (average <= t->priority) {
    WTtask *p = runtail;
    while (p && p->priority > t->priority) p = p->runprev;
    runinsertafter(t, p);
  } else {
    WTtask *p = runhead;
    while (p && p->priority <= t->priority) p = p->runnext;
    runinsertafter(t, p ? p->runprev : runtail);
  }
}

// Settles the queue in the order the changes were made, so that tasks of equal priority run in
// the order they were created or re-prioritised.
void settle() {
  WTtask *oldest = nullptr;
  while (WTtask *t = pending) {
    pending = t->pendingnext;
    t->pendingnext = oldest;
    oldest = t;
  }
  while (WTtask *t = oldest) {
    oldest = t->pendingnext;
    t->pendingnext = nullptr;
    t->flags &= ~kQueued;
    if (t->flags & kDeleted)
      destroy(t);
    else
      place(t);
  }
}

}  // namespace

extern "C" {

WTtask *_WTtask_new(void *object, WTtaskfn fn, float priority) {
  if (!object || !fn) return nullptr;
  WTtask *t = static_cast<WTtask *>(_WTmem_alloc(sizeof(WTtask)));
  memset(t, 0, sizeof *t);
  t->object = object;
  t->fn = fn;
  t->priority = t->requested = priority;
  enqueue(t);
  WTtask *sibling = firstof(object);
  unsigned b = bucketof(object);
  t->bucketnext = buckets[b];
  buckets[b] = t;
  if (sibling) {
    WTtask *last = sibling;
    while (last->objectnext) last = last->objectnext;
    last->objectnext = t;
    t->objectprev = last;
  }
  prioritysum += priority;
  livecount++;
  runinsertafter(t, nullptr);
  return t;
}

int _WTtask_delete(WTtask *task) {
  if (!task) return 0;
  task->flags |= kDisabled | kDeleted;
  enqueue(task);
  return 1;
}

int _WTtask_disable(WTtask *task) {
  if (!task) return 0;
  task->flags |= kDisabled;
  return 1;
}

int _WTtask_enable(WTtask *task) {
  if (!task || (task->flags & kDeleted)) return 0;
  task->flags &= ~kDisabled;
  return 1;
}

float _WTtask_getpriority(WTtask *task) {
  return task && !(task->flags & kDeleted) ? task->requested : -999999.0f;
}

int _WTtask_setpriority(WTtask *task, float priority) {
  if (!task || (task->flags & kDeleted)) return 0;
  prioritysum += priority - task->requested;
  task->requested = priority;
  enqueue(task);
  return 1;
}

WTtaskfn _WTtask_getfunction(WTtask *task) { return task ? task->fn : nullptr; }

WTtask *_WTtask_get(void *object, int n) {
  if (!object || n < 0) return nullptr;
  for (WTtask *t = firstof(object); t; t = t->objectnext)
    if (!(t->flags & kDeleted) && n-- == 0) return t;
  return nullptr;
}

WTtask *_WTtask_nextenabled(WTtask *task) {
  if (!task || (task->flags & kDeleted)) return nullptr;
  for (WTtask *t = task->objectnext; t; t = t->objectnext)
    if (!(t->flags & kDisabled)) return t;
  return nullptr;
}

int _WTtask_disableall(void *object) {
  WTtask *t = firstof(object);
  if (!t) return 0;
  for (; t; t = t->objectnext) t->flags |= kDisabled;
  return 1;
}

int _WTtask_enableall(void *object) {
  WTtask *t = firstof(object);
  if (!t) return 0;
  for (; t; t = t->objectnext) t->flags &= ~kDisabled;
  return 1;
}

int _WTtask_deleteall(void *object) {
  WTtask *t = firstof(object);
  if (!t) return 0;
  // Freed at the next task step; the object may be gone by then, so nothing reads it again.
  for (; t; t = t->objectnext) {
    t->flags |= kDeleted;
    enqueue(t);
  }
  return 1;
}

int _WTtask_moveall(void *from, void *to) {
  WTtask *first = firstof(from);
  if (!first || !to || from == to) return 0;
  WTtask *last = first;
  for (WTtask *t = first; t; t = t->objectnext) {
    unlinkbucket(t);
    t->object = to;
    last = t;
  }
  WTtask *own = firstof(to);
  unsigned b = bucketof(to);
  for (WTtask *t = first; t; t = t->objectnext) {
    t->bucketnext = buckets[b];
    buckets[b] = t;
  }
  last->objectnext = own;
  if (own) own->objectprev = last;
  return 1;
}

void *_WTtask_getdata(WTtask *task) { return task ? task->data : nullptr; }

void _WTtask_setdata(WTtask *task, void *data) {
  if (task) task->data = data;
}

void _WTtask_run(void) {
  settle();
  for (WTtask *t = runhead; t;) {
    if (!(t->flags & (kDisabled | kDeleted))) t->fn(t->object);
    t = t->runnext;
  }
}

void _WTtask_clear(void) {
  while (WTtask *t = runhead) {
    runhead = t->runnext;
    _WTmem_free(t);
  }
  runtail = nullptr;
  pending = nullptr;
  prioritysum = 0.0f;
  livecount = 0;
  memset(buckets, 0, sizeof buckets);
}
}
