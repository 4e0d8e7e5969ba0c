// The six-axis puck's client: requests and answers on the driver service's control pipe, one
// event pipe per open device read by a reader thread into a ring of 32 records, and the events
// made from the posted messages for up to four callbacks.  The ring and the events are portable
// (puck.cpp); the pipes, the thread and the utility library are Windows only (puck_win32.cpp).
#pragma once

#include <stdint.h>

// One record of the event pipe (148 bytes).
struct SpwEvent {
  int16_t type;  // 0 empty, 1 motion, 2 press, 3 release, 4 other button event, 5 and 6 text
  int16_t spare;
  float motion[7];  // translation, rotation, period
  int16_t raw[7];   // the same raw, the period last
  int16_t spare2;
  int32_t button;
  int32_t words[2];
  int32_t spare3[2];
  char text[80];
};
static_assert(sizeof(SpwEvent) == 148, "event records are 148 bytes");

// The control pipe's message (86 bytes): request, error code of the answer, device handle, text.
#pragma pack(push, 2)
struct SpwControl {
  int16_t request;
  int16_t error;
  int16_t handle;
  char text[80];
};
#pragma pack(pop)
static_assert(sizeof(SpwControl) == 86, "control messages are 86 bytes");

enum { SPW_RING = 32, SPW_DEVICES = 8, SPW_NAMESIZE = 80 };
enum { SPW_OPEN = 101, SPW_CLOSE = 102, SPW_START = 103, SPW_INFO = 104, SPW_COMMAND = 106 };
enum { SPW_SPACEBALL = 2, SPW_SPACECONTROLLER = 3, SPW_AVENGER = 4 };

typedef void (*SpwMotionFn)(intptr_t user, const float *motion, int zero);
typedef void (*SpwButtonFn)(intptr_t user, int button, int zero);
typedef void (*SpwOtherFn)(intptr_t user, intptr_t user2, int zero);

struct SpwDispatch {
  intptr_t user;
  intptr_t user2;
  SpwEvent *event;
  SpwMotionFn motion;
  SpwButtonFn press;
  SpwButtonFn release;
  SpwOtherFn other;
};

// One open device: its ring and message, and the system's handles (pipe, thread, stop event).
struct SpwDevice {
  uint16_t handle;
  void *pipe;
  void *thread;
  void *event;
  void *window;
  SpwEvent ring[SPW_RING];
  uint16_t writeindex;
  unsigned message;
  char pipename[64];
};

extern "C" {
uint16_t spw_open_device(void *window, int number, char *name);
int spw_close_device(uint16_t handle);
int spw_send_command(uint16_t handle, const char *text);
int spw_rezero(uint16_t handle);
int spw_get_event(uint16_t handle, unsigned message, uintptr_t parameter, SpwEvent *out, int average);
int spw_dispatch_event(SpwDispatch *dispatch);
void spw_init_dispatch(SpwDispatch *dispatch);
void spw_set_target_window(void *window);
int spw_enable_soft_buttons(int flag);
void spw_error_box(int code);
int spw_last_error(void);
// The device kind word (2, 3 or 4; 3 at start).
void spw_set_kind(int kind);

// ---- Between the portable and the system parts -----------------------------------------------
// The device record of a handle (1 .. 7), or null.
SpwDevice *spw_device(uint16_t handle);
// A new record for the handle the service gave, or null for a handle of 0, past the table or
// already open.
SpwDevice *spw_adddevice(uint16_t handle);
void spw_removedevice(uint16_t handle);
// Copies a record as the reader thread publishes it: everything first, the type word last; and
// marks a slot empty.
void spw_publish(SpwEvent *slot, const SpwEvent *record);
void spw_emptyslot(SpwEvent *slot);
// The handle an open's answer gives, or 0 when it carries an error (kept as the last error) or a
// handle outside the table; the device name is copied (at most SPW_NAMESIZE bytes with its end).
uint16_t spw_answerhandle(const SpwControl *answer, char *name);
void spw_setlasterror(int code);
// The text of a control message as a bounded copy.
void spw_copytext(char *out, const char *text, int size);
}
