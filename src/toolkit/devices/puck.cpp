// The six-axis puck's events: the ring the reader thread fills, averaging waiting motion
// records, button messages, the callbacks, and the module's settings.
#include <stdio.h>
#include <string.h>

#include <atomic>

#include "toolkit/core/core.h"
#include "toolkit/devices/puck.h"
#include "toolkit/devices/puckstate.h"

namespace {

SpwDevice *table[SPW_DEVICES];
int lasterror;

int16_t slottype(const SpwEvent *slot) { return __atomic_load_n(&slot->type, __ATOMIC_ACQUIRE); }
void empty(SpwEvent *slot) { __atomic_store_n(&slot->type, static_cast<int16_t>(0), __ATOMIC_RELEASE); }

void copyevent(SpwEvent *out, const SpwEvent *in, int16_t type) {
  out->type = type;
  if (type == 1) {
    memcpy(out->motion, in->motion, sizeof out->motion);
    memcpy(out->raw, in->raw, sizeof out->raw);
  } else if (type >= 2 && type <= 4) {
    out->button = in->button;
    memcpy(out->words, in->words, sizeof out->words);
  } else if (type == 5 || type == 6) {
    spw_copytext(out->text, in->text, sizeof out->text);
  }
}

bool still(const SpwEvent *e) {
  for (int i = 0; i < 6; i++)
    if (e->raw[i]) return false;
  return true;
}

// Adds the waiting motion records from the slot on into out; the number added.
int averagemotion(SpwDevice *d, int index, SpwEvent *out) {
  int count = 0;
  for (int visited = 0; visited < SPW_RING; visited++) {
    SpwEvent *slot = &d->ring[index];
    if (slottype(slot) != 1 || still(slot)) break;
    for (int i = 0; i < 7; i++) out->motion[i] += slot->motion[i], out->raw[i] = static_cast<int16_t>(out->raw[i] + slot->raw[i]);
    empty(slot);
    count++;
    index = (index + 1) % SPW_RING;
  }
  return count;
}

int motionevent(SpwDevice *d, int index, SpwEvent *out) {
  memset(out, 0, sizeof *out);
  out->type = 1;
  SpwEvent *first = &d->ring[index];
  if (still(first)) {
    out->raw[6] = first->raw[6];
    out->motion[6] = first->raw[6];
    empty(first);
    return 1;
  }
  int count = averagemotion(d, index, out);
  for (int i = 0; i < 7; i++) out->motion[i] /= static_cast<float>(count);
  return 1;
}

int buttonevent(uint16_t handle, int16_t type, int button, SpwEvent *out) {
  memset(out, 0, sizeof *out);
  out->type = type;
  out->button = button;
  if (type == 2 && button == 8) {
    spw_send_command(handle, "Z");
    spw_send_command(handle, "BcCc");
  }
  return 1;
}

}  // namespace

std::atomic<void *> spw_target{nullptr};
std::atomic<void *> spw_softwindow{nullptr};
std::atomic<void *> spw_explicit{nullptr};
int spw_kind = SPW_SPACECONTROLLER;
int spw_softbutton = 11;
std::atomic<int> spw_softenabled{1};

extern "C" {

SpwDevice *spw_device(uint16_t handle) { return handle > 0 && handle < SPW_DEVICES ? table[handle] : nullptr; }

SpwDevice *spw_adddevice(uint16_t handle) {
  if (handle == 0 || handle >= SPW_DEVICES || table[handle]) return nullptr;
  table[handle] = new SpwDevice();
  table[handle]->handle = handle;
  return table[handle];
}

void spw_removedevice(uint16_t handle) {
  if (!spw_device(handle)) return;
  delete table[handle];
  table[handle] = nullptr;
}

void spw_publish(SpwEvent *slot, const SpwEvent *record) {
  memcpy(reinterpret_cast<char *>(slot) + sizeof slot->type, reinterpret_cast<const char *>(record) + sizeof slot->type,
         sizeof *slot - sizeof slot->type);
  __atomic_store_n(&slot->type, record->type, __ATOMIC_RELEASE);
}

void spw_emptyslot(SpwEvent *slot) { empty(slot); }

void spw_copytext(char *out, const char *text, int size) {
  int n = 0;
  while (n < size - 1 && text[n]) n++;
  memcpy(out, text, static_cast<size_t>(n));
  out[n] = 0;
}

uint16_t spw_answerhandle(const SpwControl *answer, char *name) {
  if (answer->error) {
    spw_setlasterror(answer->error);
    return 0;
  }
  if (name) spw_copytext(name, answer->text, SPW_NAMESIZE);
  if (answer->handle <= 0 || answer->handle >= SPW_DEVICES) return 0;
  return static_cast<uint16_t>(answer->handle);
}

void spw_setlasterror(int code) { lasterror = code; }
int spw_last_error(void) { return lasterror; }
void spw_set_kind(int kind) { spw_kind = kind; }
void spw_set_target_window(void *window) { spw_explicit = window; }

int spw_enable_soft_buttons(int flag) {
  if (spw_kind != SPW_SPACEBALL) return 0;
  spw_softenabled = flag;
  return 1;
}

int spw_rezero(uint16_t handle) { return spw_send_command(handle, "Z"); }

int spw_get_event(uint16_t handle, unsigned message, uintptr_t parameter, SpwEvent *out, int average) {
  SpwDevice *d = spw_device(handle);
  if (!d || message != d->message) return 0;
  if (parameter < SPW_RING) {
    SpwEvent *slot = &d->ring[parameter];
    int16_t type = slottype(slot);
    if (!type) return 0;
    if (average && type == 1) return motionevent(d, static_cast<int>(parameter), out);
    copyevent(out, slot, type);
    return 1;
  }
  if (parameter >= 2000 && parameter < 3000) return buttonevent(handle, 2, static_cast<int>(parameter - 2000), out);
  if (parameter >= 3000 && parameter < 4000) return buttonevent(handle, 3, static_cast<int>(parameter - 3000), out);
  return 0;
}

void spw_init_dispatch(SpwDispatch *dispatch) { memset(dispatch, 0, sizeof *dispatch); }

int spw_dispatch_event(SpwDispatch *dispatch) {
  const SpwEvent *e = dispatch->event;
  if (!e) return 1;
  if (e->type == 1) {
    if (dispatch->motion) dispatch->motion(dispatch->user, e->motion, 0);
  } else if (e->type == 2) {
    if (dispatch->press) dispatch->press(dispatch->user, e->button, 0);
  } else if (e->type == 3) {
    if (dispatch->release) dispatch->release(dispatch->user, e->button, 0);
  } else if (dispatch->other) {
    dispatch->other(dispatch->user, dispatch->user2, 0);
  }
  return 1;
}

void spw_error_box(int code) {
  if (code == 1006) {
    _WTsys_messagebox("       Spaceball firmware is out of date.      \n\n"
                       "  Please contact the supplier of your device\n"
                       "  for an update of its firmware.",
                       "SpaceWare", 0x10);
    return;
  }
  char text[80];
  snprintf(text, sizeof text, "%s %d.", "          SpaceWare error code", code);
}
}
