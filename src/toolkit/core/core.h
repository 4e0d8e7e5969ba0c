// Inside the toolkit: what the core's files share with each other, with the toolkit's other
// folders and with the toolkit's tests, but not with the application.
#pragma once

#include "toolkit/wt.h"

// Calls through functions found by exported name: the bound function's own parameter types
// (WTnode * and the like) differ from the generic pointer types the call is made with, which
// clang's function-type check reports.
#if defined(__clang__)
#define WT_BOUNDCALL __attribute__((no_sanitize("function")))
#else
#define WT_BOUNDCALL
#endif

extern "C" {

// ---- System services behind replaceable hooks ------------------------------------------------
// Tests replace them so that fatal paths can run without a message box or the end of the
// process, and so that time moves only when the test says.  Passing null restores the system's
// own; each setter returns the hook it replaced.

typedef int (*WTboxhook)(const char *text, const char *caption, unsigned style);
typedef void (*WTexithook)(int code);
typedef void *(*WTlookuphook)(const char *name);
// The clock: milliseconds since the program started (monotonic), the time of day (UTC seconds
// since 1970, milliseconds, time-zone bias in minutes with UTC = local time + bias) and sleeping.
typedef int32_t (*WTclockhook)(void);
typedef void (*WTtimeofdayhook)(int64_t *seconds, int *ms, int *biasminutes);
typedef void (*WTsleephook)(unsigned ms);

WTboxhook _WTsys_setboxhook(WTboxhook fn);
WTexithook _WTsys_setexithook(WTexithook fn);
WTlookuphook _WTsys_setlookuphook(WTlookuphook fn);
WTclockhook _WTsys_setclockhook(WTclockhook fn);
WTtimeofdayhook _WTsys_settimeofdayhook(WTtimeofdayhook fn);
WTsleephook _WTsys_setsleephook(WTsleephook fn);

int _WTsys_messagebox(const char *text, const char *caption, unsigned style);
// Ends the program; returns only when a test's exit hook does.
void _WTsys_exit(int code);
// A function the program exports under the name, or null.
void *_WTsys_findexport(const char *name);
// The time of day through the hook; the time base reads it once per frame.
void _WTsys_timeofday(int64_t *seconds, int *ms, int *biasminutes);

// Clears the guard that makes every fatal message after the first one silent.
void _WTmsg_clearfatal(void);

// A small record from blocks of equal slots (zero or more than 128 bytes: from malloc), to free
// with _WTmem_free, which gives a slot back to its blocks; _WTmem_realloc moves one to malloc's
// memory.  Address-sanitized builds take every record from malloc.
void *_WTmem_allocslot(size_t size);
// Whether the memory is a slot, its size, and its return to the blocks.
int _WTmem_isslot(const void *block);
size_t _WTmem_slotsize(const void *slot);
void _WTmem_freeslot(void *slot);

// A copy of the text from the guarded allocator (null for null).
char *_WTmem_strdup(const char *text);

// ---- Hash tables: lookups beyond the public ones ----------------------------------------------

// Walks the bucket of key's hash from its inline entry and returns the value of the first entry
// for which match(stored key, context) is non-zero, or null.
void *_WThashtable_findmatch(WThashtable *table, const void *key,
                             int (*match)(const void *storedkey, const void *context),
                             const void *context);
// Address of the value of the first entry equal to key, or null.
void **_WThashtable_valueslot(WThashtable *table, const void *key);

// ---- Property values: what the property layer shares between its files -----------------------

// Size of a type's value in memory (0 for texts, pointers and unknown types).
int _WTvalue_typesize(int type);
// The value in the form that setters and handlers take (and _WTvalue_set reads): the address of
// the record's value, or for texts and pointers the text or pointer itself.
void *_WTvalue_handlerform(const WTvalue *record);
// A 32-bit word in network (big-endian) order, written to or read from four bytes.
void _WTvalue_putbig(unsigned char *bytes, uint32_t word);
uint32_t _WTvalue_getbig(const unsigned char *bytes);

// A queued notification or scheduled change.
struct WTpropertyevent {
  double time;
  void *object; // null once the object was deleted
  char *name;
  WTvalue *value;
  int source;
};

// The source flag handed to handlers: 1 while a scheduled change is applied, else 0.
int _WTproperty_getsource(void);
void _WTproperty_setsource(int source);
// A queued record with a copy of the value; null for a type without values or a missing value.
WTpropertyevent *_WTpropertyevent_new(void *object, const char *name, int type, const void *value,
                                      double time);
void _WTpropertyevent_delete(WTpropertyevent *event);

// Forgets a deleted object: its queued notifications and scheduled changes are dropped and its
// handler lists and property modes removed, so that nothing reads the freed object or passes its
// handlers on to a new object at the same address.
void _WTproperty_forgetobject(void *object);
// The part kept with the property values: scheduled changes and modes.
void _WTproperty_dropobject(void *object);

// ---- Base objects ----------------------------------------------------------------------------

// Looks up the class operations by their exported names; returns 1 when all were found.
int _WTbase_bindclasses(void);
int _WTbase_isbound(void);
// Looks up the optional host hooks (and calls WSnew when found).
void _WTbase_bindhooks(void);
// ---- Object calls of the animated sequences ----------------------------------------------------
// The sequences reach their frame objects through this record, which tests replace with doubles;
// null restores the object layer's own calls.  Returns the record replaced.
struct WTobjectcalls {
  WTobject *(*load)(const char *name, WTpq *pose, float scale, int principal, int readerflag);
  WTobject *(*copy)(WTobject *object);
  int (*remove)(WTobject *object);
  int (*addtoscene)(WTobject *object);
  int (*del)(WTobject *object);
  int (*destroy)(WTobject *object);
  int (*move)(WTobject *object, const WTp3 v, short frame);
  int (*scale)(WTobject *object, float factor, const WTp3 centre);
  int (*setmark)(WTobject *object, unsigned char mark);
  unsigned char (*getmark)(WTobject *object);
  int (*setsequence)(WTobject *object, WTanimseq *seq);
};
const WTobjectcalls *_WTanimseq_setobjectcalls(const WTobjectcalls *calls);

// ---- Network sharing: the own address ------------------------------------------------------------
// The address of the own host (host order) that packets are sent from and that received packets
// are compared with; false when it cannot be found.  Tests replace it; null restores the system's
// own (the first address of the host name).
typedef int (*WTaddresshook)(uint32_t *address);
WTaddresshook _WTnet_setaddresshook(WTaddresshook fn);
}
