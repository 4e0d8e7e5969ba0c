// Animated sequences: flip-books of objects loaded from numbered files, one of which is in the
// scene at a time; the motion-link pass steps them once per frame.
#include <stdio.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/layers.h"
#include "toolkit/core/universe.h"

struct WTanimseq {
  WTobject **frames;
  char *name;
  int16_t count;
  double period;
  double laststep;
  int16_t current;
  int16_t next;
  WTanimseq *nextseq;
  int16_t direction;
  void *data;
  uint16_t mode;
  unsigned char state;
};

namespace {

enum : unsigned char { kFinished = 1, kPaused = 2, kStopped = 4, kDeleted = 8 };
enum : uint16_t { kRepeat = 1, kReverse = 2 };

// A frame is not wanted between steps: the sequence waits until its time is due.
const double kNever = 1.0e38;

WTobject *layerload(const char *name, WTpq *pose, float scale, int principal, int flags) {
  return _WTobject_load(name, pose, scale, principal, flags);
}
int layerdelete(WTobject *object) {
  _WTobject_delete(object);
  return 1;
}
int layerdestroy(WTobject *object) {
  _WTobject_destroy(object);
  return 1;
}

const WTobjectcalls layercalls = {
    layerload,        _WTobject_copy,   _WTobject_remove, _WTobject_addtoscene,
    layerdelete,      layerdestroy,     _WTobject_move,   _WTobject_scale,
    _WTobject_setmark, _WTobject_getmark, _WTobject_setsequence,
};
const WTobjectcalls *calls = &layercalls;

WTanimseq **listhead() { return reinterpret_cast<WTanimseq **>(_WTuniverse_sequenceslot()); }

bool listed(WTanimseq *seq) {
  WTanimseq **head = listhead();
  for (WTanimseq *s = head ? *head : nullptr; s; s = s->nextseq)
    if (s == seq) return true;
  return false;
}

void unlist(WTanimseq *seq) {
  WTanimseq **slot = listhead();
  while (slot && *slot && *slot != seq) slot = &(*slot)->nextseq;
  if (slot && *slot) *slot = seq->nextseq;
  seq->nextseq = nullptr;
}

WTanimseq *newrecord(const char *name, int count, double period) {
  WTanimseq *s = static_cast<WTanimseq *>(_WTmem_alloc(sizeof(WTanimseq)));
  memset(s, 0, sizeof *s);
  s->frames = static_cast<WTobject **>(_WTmem_alloc(sizeof(WTobject *) * count));
  memset(s->frames, 0, sizeof(WTobject *) * count);
  s->name = _WTmem_strdup(name);
  s->count = static_cast<int16_t>(count);
  s->period = period;
  s->laststep = kNever;
  s->current = static_cast<int16_t>(count - 1);
  s->next = 0;
  s->direction = 1;
  s->mode = kRepeat;
  s->state = kStopped;
  return s;
}

void freerecord(WTanimseq *seq) {
  _WTmem_free(seq->frames);
  _WTmem_free(seq->name);
  _WTmem_free(seq);
}

// Deletes the frames made so far (a failed load or copy) and the record.
void discard(WTanimseq *seq, int made) {
  for (int i = 0; i < made; i++) {
    // No longer a frame: the object layer frees it as any deleted object.
    calls->setsequence(seq->frames[i], nullptr);
    calls->del(seq->frames[i]);
  }
  freerecord(seq);
}

// Frees the sequence with its frame objects, which it owns.
void release(WTanimseq *seq) {
  _WTtask_deleteall(seq);
  unlist(seq);
  for (int i = 0; i < seq->count; i++)
    if (seq->frames[i]) calls->destroy(seq->frames[i]);
  freerecord(seq);
}

void hidecurrent(WTanimseq *seq) {
  if (seq->current >= 0) calls->remove(seq->frames[seq->current]);
}

void dueatonce(WTanimseq *seq) { seq->laststep = _WTsys_seconds() - seq->period - 0.004; }

// The frame after the current one in the sequence's direction and mode (step 6 to 8).
int16_t following(WTanimseq *seq) {
  int step = seq->direction ? 1 : -1;
  int candidate = seq->current + step;
  if (candidate >= 0 && candidate < seq->count) return static_cast<int16_t>(candidate);
  if (!(seq->mode & kRepeat)) {
    seq->state |= kFinished;
    return seq->current;
  }
  if (!(seq->mode & kReverse)) return static_cast<int16_t>(candidate < 0 ? seq->count - 1 : 0);
  seq->direction = seq->direction ? 0 : 1;
  candidate = seq->current - step;
  // A single frame has no neighbour: it stays.
  if (candidate < 0 || candidate >= seq->count) candidate = seq->current;
  return static_cast<int16_t>(candidate);
}

}  // namespace

extern "C" {

const WTobjectcalls *_WTanimseq_setobjectcalls(const WTobjectcalls *replacement) {
  const WTobjectcalls *old = calls;
  calls = replacement ? replacement : &layercalls;
  return old;
}

WTanimseq *_WTanimseq_new(const char *name, int count, double period, int options, int flags) {
  if (!name || count < 1 || count > 32767) return nullptr;
  WTanimseq *s = newrecord(name, count, period);
  for (int i = 0; i < count; i++) {
    char file[1024];
    snprintf(file, sizeof file, "%s.%d", name, i);
    WTpq pose;
    s->frames[i] = calls->load(file, &pose, 1.0f, options, flags);
    if (!s->frames[i]) {
      discard(s, i);
      return nullptr;
    }
    calls->setsequence(s->frames[i], s);
    calls->remove(s->frames[i]);
  }
  _WTanimseq_start(s);
  return s;
}

WTanimseq *_WTanimseq_copy(WTanimseq *seq) {
  if (!seq || (seq->state & kDeleted)) return nullptr;
  WTanimseq *s = newrecord(seq->name, seq->count, seq->period);
  s->laststep = seq->laststep;
  s->current = seq->current;
  s->next = seq->next;
  s->direction = seq->direction;
  s->data = seq->data;
  s->mode = seq->mode;
  for (int i = 0; i < seq->count; i++) {
    s->frames[i] = calls->copy(seq->frames[i]);
    if (!s->frames[i]) {
      discard(s, i);
      return nullptr;
    }
    calls->setsequence(s->frames[i], s);
  }
  _WTanimseq_start(s);
  return s;
}

int _WTanimseq_start(WTanimseq *seq) {
  if (!seq || !listhead()) return 0;
  if (!listed(seq)) {
    WTanimseq **head = listhead();
    seq->nextseq = *head;
    *head = seq;
  }
  _WTtask_enableall(seq);
  return _WTanimseq_restart(seq);
}

int _WTanimseq_restart(WTanimseq *seq) {
  if (!seq || (seq->state & kDeleted)) return 0;
  if (seq->state != 0) {
    if (seq->current >= 0) calls->addtoscene(seq->frames[seq->current]);
    seq->state = 0;
    dueatonce(seq);
  }
  return 1;
}

int _WTanimseq_pause(WTanimseq *seq) {
  if (!seq) return 0;
  seq->state |= kPaused;
  _WTtask_disableall(seq);
  return 1;
}

int _WTanimseq_finish(WTanimseq *seq) {
  if (!seq) return 0;
  seq->state |= kFinished;
  return 1;
}

int _WTanimseq_delete(WTanimseq *seq) {
  if (!seq || (seq->state & kDeleted)) return 0;
  seq->state |= kPaused | kDeleted;
  _WTtask_disableall(seq);
  for (int i = 0; i < seq->count; i++) calls->del(seq->frames[i]);
  return 1;
}

int _WTanimseq_setframe(WTanimseq *seq, int index) {
  if (!seq) return 0;
  // The remainder is taken in 0 .. count-1 for negative indexes too.
  int r = index % seq->count;
  if (r < 0) r += seq->count;
  seq->next = static_cast<int16_t>(r);
  dueatonce(seq);
  return 1;
}

int _WTanimseq_setperiod(WTanimseq *seq, double period) {
  if (!seq) return 0;
  seq->period = period;
  return 1;
}

double _WTanimseq_getperiod(WTanimseq *seq) { return seq ? seq->period : -1.0; }

int _WTanimseq_setdirection(WTanimseq *seq, int direction) {
  if (!seq || (direction != 0 && direction != 1)) return 0;
  seq->direction = static_cast<int16_t>(direction);
  return 1;
}

int _WTanimseq_getdirection(WTanimseq *seq) { return seq ? seq->direction : -1; }

int _WTanimseq_setmode(WTanimseq *seq, int mode) {
  if (!seq) return 0;
  seq->mode = static_cast<uint16_t>(mode);
  return 1;
}

int _WTanimseq_getmode(WTanimseq *seq) { return seq ? seq->mode : -1; }

void _WTanimseq_setdata(WTanimseq *seq, void *data) {
  if (seq && seq->state != kDeleted) seq->data = data;
}

void *_WTanimseq_getdata(WTanimseq *seq) {
  return seq && seq->state != kDeleted ? seq->data : nullptr;
}

int _WTanimseq_numframes(WTanimseq *seq) { return seq ? seq->count : -1; }

int _WTanimseq_getcurrent(WTanimseq *seq) { return seq ? seq->current : -1; }

WTobject *_WTanimseq_getframe(WTanimseq *seq, int index) {
  if (!seq || index < 0 || index >= seq->count) return nullptr;
  return seq->frames[index];
}

int _WTanimseq_translate(WTanimseq *seq, const WTp3 v) {
  if (!seq || !v || (seq->state & kDeleted)) return 0;
  for (int i = 0; i < seq->count; i++) calls->move(seq->frames[i], v, 1);
  return 1;
}

int _WTanimseq_scale(WTanimseq *seq, float factor) {
  if (!seq || (seq->state & kDeleted)) return 0;
  const WTp3 origin = {0.0f, 0.0f, 0.0f};
  for (int i = 0; i < seq->count; i++) calls->scale(seq->frames[i], factor, origin);
  return 1;
}

int _WTanimseq_setmark(WTanimseq *seq, unsigned char mark) {
  if (!seq || (seq->state & kDeleted)) return 0;
  for (int i = 0; i < seq->count; i++) calls->setmark(seq->frames[i], mark);
  return 1;
}

int _WTanimseq_anymarked(WTanimseq *seq) {
  if (!seq || (seq->state & kDeleted)) return 0;
  for (int i = 0; i < seq->count; i++)
    if (calls->getmark(seq->frames[i])) return 1;
  return 0;
}

int _WTanimseq_remove(WTanimseq *seq) {
  if (!seq) return 0;
  unlist(seq);
  _WTtask_disableall(seq);
  return 1;
}

WTanimseq *_WTanimseq_next(WTanimseq *seq) { return seq ? seq->nextseq : nullptr; }

void _WTanimseq_step(WTanimseq *seq) {
  if ((seq->state & (kStopped | kDeleted)) == (kStopped | kDeleted)) {
    release(seq);
    return;
  }
  if (seq->state & (kPaused | kDeleted)) {
    seq->state |= kStopped;
    hidecurrent(seq);
    return;
  }
  if (seq->state & kFinished) return;
  double now = _WTsys_seconds();
  if (now - seq->laststep < seq->period) return;
  seq->laststep = now;
  hidecurrent(seq);
  calls->addtoscene(seq->frames[seq->next]);
  seq->current = seq->next;
  seq->next = following(seq);
}

void _WTanimseq_stepall(void) {
  WTanimseq **head = listhead();
  WTanimseq *s = head ? *head : nullptr;
  while (s) {
    // A freed sequence is read no more.
    WTanimseq *next = s->nextseq;
    _WTanimseq_step(s);
    s = next;
  }
}

void _WTanimseq_deleteall(void) {
  WTanimseq **head = listhead();
  while (head && *head) {
    WTanimseq *s = *head;
    if (!(s->state & kDeleted)) _WTanimseq_delete(s);
    release(s);
  }
}

WTanimseq *_WTuniverse_firstanimation(void) {
  WTanimseq **head = listhead();
  for (WTanimseq *s = head ? *head : nullptr; s; s = s->nextseq)
    if (!(s->state & (kPaused | kStopped | kDeleted))) return s;
  return nullptr;
}
}
