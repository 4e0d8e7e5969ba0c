/* The WT scene-graph toolkit: public C interface.
 *
 * Handles are opaque records created and freed only through toolkit calls.  Results are success
 * values (1/0) or pointers (null on failure); nothing throws.  Problems are reported through the
 * toolkit's message printers, and exhausted memory ends the program.
 *
 * This header needs no system header: window-system types appear as opaque handles. */
#ifndef VEDRA_TOOLKIT_WT_H
#define VEDRA_TOOLKIT_WT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

/* Functions that the program exports by name (the toolkit binds some of them back at run time). */
#if defined(_WIN32)
#define WTAPI __declspec(dllexport)
#else
#define WTAPI __attribute__((visibility("default")))
#endif

/* printf-style checking of message formats. */
#if defined(__MINGW32__)
#define WTPRINTF(f, a) __attribute__((format(__MINGW_PRINTF_FORMAT, f, a)))
#elif defined(__GNUC__)
#define WTPRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define WTPRINTF(f, a)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Window-system handles ---------------------------------------------------------------- */

typedef void *WTcursorhandle; /* a system cursor (HCURSOR on Windows) */

/* ---- Math types ------------------------------------------------------------------------------
 * Plain arrays of 32-bit floats.  Points are row vectors transformed as p * M; matrices are
 * row-major with the translation in row 3; quaternions are stored x, y, z, w. */

typedef float WTp2[2];
typedef float WTp3[3];
typedef float WTq[4];
typedef float WTm3[3][3];
typedef float WTm4[4][4];

typedef struct WTpq {
  WTp3 p; /* position */
  WTq q;  /* orientation */
} WTpq;

#define WTPI 3.1415927f
#define WTPI_2 1.5707964f
#define WT2PI 6.2831855f

/* One entry of a motion-constraint list.  Kinds: 1, 2, 4 position x, y, z; 8 angle about x,
 * 16 angle about y, 32 roll. */
typedef struct WTconstraint {
  int32_t kind;
  float min;
  float max;
} WTconstraint;

/* ---- Messages ------------------------------------------------------------------------------ */

typedef enum WTmsglevel {
  WTMSG_FATAL = 1,
  WTMSG_WARNING = 2,
  WTMSG_INFO = 3,
  WTMSG_DEBUG = 4
} WTmsglevel;

/* Routing flag bits of a level. */
#define WTMSG_SCREEN 1u /* message box for fatal messages, standard output otherwise */
#define WTMSG_LOG 2u    /* the level's log stream */

typedef void (*WTmsgcallback)(const char *text);

/* A formatted message, prefix included, is cut to 511 characters.  A fatal message is shown in a
 * box captioned "VAV-ERROR", the universe is deleted through the program's exported
 * WTuniverse_delete and the program ends; a fatal message raised after that returns silently. */
void _WTmsg_fatal(const char *format, ...) WTPRINTF(1, 2);
void _WTmsg_warning(const char *format, ...) WTPRINTF(1, 2);
void _WTmsg_info(const char *format, ...) WTPRINTF(1, 2);
void _WTmsg_debug(const char *format, ...) WTPRINTF(1, 2);
int _WTmsg_route(int level, const char *format, ...) WTPRINTF(2, 3);
void _WTmsg_setrouting(int level, unsigned int flags, FILE *stream);
WTmsgcallback _WTmsg_setcallback(WTmsgcallback fn);
int _WTmsg_assert(const char *file, int line);

/* ---- Memory -------------------------------------------------------------------------------- */

void *_WTmem_alloc(size_t size);
void *_WTmem_realloc(void *block, size_t size);
void _WTmem_free(void *block);
void *_WTmem_rawmalloc(size_t size);
void *_WTmem_rawcalloc(size_t count, size_t size);
void *_WTmem_rawrealloc(void *block, size_t size);

/* ---- System services ----------------------------------------------------------------------- */

int _WTsys_random(int n);         /* 0 .. n-1 */
double _WTsys_seconds(void);      /* wall-clock seconds since the program started */
double _WTsys_elapsed(void);      /* seconds since the previous call: -1 first, 0.004 in the same ms */
void _WTsys_sleep(unsigned int ms);
/* 0 shows the system wait cursor, 1 puts back the cursor it replaced, any other cursor is shown;
 * returns the cursor that was replaced. */
WTcursorhandle _WTsys_waitcursor(WTcursorhandle arg);

/* ---- Hash tables -----------------------------------------------------------------------------
 * Chained tables with a fixed bucket count (see _WThashtable_picksize).  Insertion does not look
 * for an existing key; lookups return the first equal entry of the key's bucket. */

typedef struct WThashtable WThashtable;
typedef unsigned int (*WThashfn)(const void *key);
typedef unsigned char (*WTcomparefn)(const void *a, const void *b); /* 0 when equal */

WThashtable *_WThashtable_new(unsigned int buckets, WThashfn hash, WTcomparefn compare);
unsigned int _WThashtable_picksize(unsigned int requested);
void _WThashtable_sethash(WThashtable *table, WThashfn hash);
WThashfn _WThashtable_gethash(WThashtable *table);
void _WThashtable_setcompare(WThashtable *table, WTcomparefn compare);
WTcomparefn _WThashtable_getcompare(WThashtable *table);
int _WThashtable_count(WThashtable *table);
void _WThashtable_insert(WThashtable *table, void *key, void *value);
WTAPI void *WThashtable_find(WThashtable *table, const void *key);
int _WThashtable_remove(WThashtable *table, const void *key, int freekey, int freevalue);
void *_WThashtable_valueat(WThashtable *table, int index);
void *_WThashtable_keyat(WThashtable *table, int index);
void *_WThashtable_keyof(WThashtable *table, const void *value);
void _WThashtable_delete(WThashtable *table, int freekeys, int freevalues);
void _WThashtable_clear(WThashtable *table, int freekeys, int freevalues);

/* Standard callbacks: integer keys, keys pointing to integers, text keys. */
unsigned int _WThashtable_inthash(const void *key);
unsigned char _WThashtable_intcompare(const void *a, const void *b);
unsigned int _WThashtable_pinthash(const void *key);
unsigned char _WThashtable_pintcompare(const void *a, const void *b);
unsigned int _WThashtable_strhash(const void *key);
unsigned char _WThashtable_strcompare(const void *a, const void *b);

/* ---- Lists --------------------------------------------------------------------------------- */

typedef struct WTlist WTlist; /* doubly linked cell; a list is its first cell */
struct WTlist {
  void *value;
  WTlist *next;
  WTlist *prev;
};

typedef struct WTcell WTcell; /* singly linked cell */
struct WTcell {
  void *value;
  WTcell *next;
};

WTlist *_WTlist_push(WTlist **head, void *value);
void _WTlist_unlink(WTlist *cell);
void _WTlist_freeall(WTlist *cell);
WTlist *_WTlist_first(WTlist *cell);
WTlist *_WTlist_last(WTlist *cell);
WTlist *_WTlist_find(WTlist *cell, const void *value);
WTlist *_WTlist_next(WTlist *cell);
WTlist *_WTlist_prev(WTlist *cell);
void *_WTlist_value(WTlist *cell);
WTlist *_WTlist_new(void);
WTlist *_WTlist_append(WTlist *a, WTlist *b);
void _WTlist_print(WTlist *list);
WTcell *_WTlist_reversecopy(WTcell *list);
WTcell *_WTlist_cell(void *value, WTcell *next);
WTcell *_WTlist_join(WTcell *a, WTcell *b);
void _WTlist_free(WTcell *list);

/* ---- Object groups ----------------------------------------------------------------------------- */

typedef struct WTobject WTobject;
typedef struct WTobjgroup WTobjgroup;

/* What _WTobjgroup_merge joins: the others' contents move into the target; the list is freed. */
typedef struct WTobjmerge {
  WTobject *target;
  WTcell *others;
} WTobjmerge;

WTobjgroup *_WTobjgroup_new(void);
int _WTobjgroup_add(WTobjgroup *group, WTobject *object);
int _WTobjgroup_remove(WTobjgroup *group, WTobject *object);
void _WTobjgroup_delete(WTobjgroup *group);
WTobjgroup *_WTobjgroup_load(const char *filename, float scale, int principal, int readerflag);
int _WTobjgroup_save(WTobjgroup *group, const char *filename, int format);
WTobject *_WTobjgroup_firstselected(WTobjgroup *group);
WTobject *_WTobjgroup_nextselected(WTobjgroup *group, WTobject *object);
void _WTobjgroup_merge(WTobjmerge *merge, int flag);

/* ---- Vector, quaternion and matrix operations ------------------------------------------------
 * Inputs first, output last.  Operations that copy their inputs accept an output that is one
 * of the inputs. */

void _WTp3_print(const WTp3 v);
void _WTq_print(const WTq q);
void _WTpq_print(const WTpq *pose);
void _WTp3_cross(const WTp3 a, const WTp3 b, WTp3 out);
float _WTp3_distance(const WTp3 a, const WTp3 b);
float _WTp3_linedistance(const WTp3 p, const WTp3 a, const WTp3 d);
float _WTp3_approxlength(const WTp3 v);
float _WTp3_approxlengthraw(const WTp3 v);
float _WTp2_approxlength(const WTp2 v);
float _WTp3_angletoyaxis(const WTp3 v);
float _WTmath_fabs(float value);
void _WTq_multiply(const WTq a, const WTq b, WTq out);
void _WTq_conjmultiply(const WTq a, const WTq b, WTq out);
void _WTq_rotatepoint(const WTp3 p, const WTq q, WTp3 out);
float _WTq_rotatecoord(const WTp3 p, const WTq q, int index);
void _WTq_rotatepointabout(const WTp3 p, const WTq q, WTp3 out, const WTp3 centre);
void _WTpq_invxformpoint(const WTp3 p, const WTpq *pose, WTp3 out);
void _WTq_2dir(const WTq q, WTp3 out);
float _WTq_angle(const WTq q);
void _WTq_axis(const WTq q, WTp3 out);
void _WTaxisangle_2q(WTp3 axis, float angle, WTq out);
void _WTq_scaleangle(const WTq q, WTq out, float t);
WTAPI float *WTq_2m3(const WTq q, WTm3 out);
void _WTq_2m4(const WTq q, WTm4 out);
void _WTpq_2m4(const WTpq *pose, WTm4 out);
void _WTeuler_2q(float a, float b, float c, WTq out);
void _WTeuler_2m3(float a, float b, float c, WTm3 out);
void _WTm3_transpose(const WTm3 m, WTm3 out);
void _WTm4_transpose(const WTm4 m, WTm4 out);
void _WTm3_multiply(const WTm3 a, const WTm3 b, WTm3 out);
void _WTm4_multiply(const WTm4 a, const WTm4 b, WTm4 out);
void _WTp3_xformm3(const WTp3 p, const WTm3 m, WTp3 out);
void _WTp3_xformm4(const WTp3 p, const WTm4 m, WTp3 out);
void _WTp3_rotatem4(const WTp3 p, const WTm4 m, WTp3 out);
void _WTp3_xformm4_2(const WTm4 m, const WTp3 p, WTp3 out);
void _WTp3_rotatem4_2(const WTm4 m, const WTp3 p, WTp3 out);
void _WTm3_orthonormalize(WTm3 m);
WTAPI float *WTm3_2q(WTm3 m, WTq q); /* orthonormalises m in place */
WTAPI void WTm4_2pq(const WTm4 m, WTpq *pose);
void _WTq_slerp(const WTq q0, const WTq q1, float t, WTq out);
void _WTq_slerplong(const WTq q0, const WTq q1, float t, WTq out);
void _WTq_2euler(const WTq q, WTp3 first, WTp3 second);
void _WTm3_2euler(const WTm3 m, WTp3 first, WTp3 second);
void _WTq_2eulernear(const WTq q, const WTp3 reference, WTp3 out);
void _WTm3_2eulernear(const WTm3 m, const WTp3 reference, WTp3 out);
float _WTmath_atan2(float a, float b);
void _WTdir_2q(const WTp3 dir, WTq q);
void _WTdirroll_2q(const WTp3 dir, float roll, WTq q);
void _WTq_2dirroll(const WTq q, WTp3 dir, float *roll);
void _WTjacobi(WTm3 a, WTp3 d, WTm3 v);
WTAPI int WTm4_invert(const WTm4 m, WTm4 out);
void _WTm4_invertaffine(const WTm4 m, WTm4 out);
int _WTpoly_classifypoints(const WTp3 *points, int n, WTp3 normal);
void _WTp3_constrainangle(WTp3 v, int axis, float min, float max, float angle);
int _WTm4_constrain(const WTm4 in, WTm4 out, int n, const WTconstraint *list);
int _WTm4_checkconstraints(const WTm4 m, unsigned char position[3], unsigned char eulerset[2],
                           int n, const WTconstraint *list);
void _WTeuler_constrain(const WTp3 in, WTp3 out, int n, const WTconstraint *list);
int _WTmath_compareoptional(float a1, float b1, float a2, float b2);

/* ---- Property values ---------------------------------------------------------------------------
 * Values are passed by address, except texts and pointers, which are passed as themselves. */

typedef enum WTpropertytype {
  WTINT = 0,
  WTUINT = 1,
  WTFLOAT = 2,
  WTDOUBLE = 3,
  WTP2 = 4,
  WTP3 = 5,
  WTQ = 6,
  WTSTRING = 7,
  WTPOINTER = 8,
  WTM3 = 9,
  WTNOTYPE = 11
} WTpropertytype;

/* Property modes. */
#define WTLOCAL 0
#define WTLOCAL_TIMER 1
#define WTNETWORK 2
#define WTNETWORK_TIMER 3

typedef struct WTvalue WTvalue;
typedef struct WTvaluearray WTvaluearray;
typedef struct WTuserproperty WTuserproperty;

WTvalue *_WTvalue_new(int type);
void _WTvalue_delete(WTvalue *record);
int _WTvalue_gettype(const WTvalue *record);
int _WTvalue_set(WTvalue *record, const void *source);
int _WTvalue_get(const WTvalue *record, void *out);
int _WTvalue_getcopy(const WTvalue *record, void *out);
int _WTvalue_copy(const WTvalue *from, WTvalue *to);
int _WTvalue_equal(const WTvalue *a, const WTvalue *b);
const char *_WTvalue_totext(const WTvalue *record);
const char *_WTpropertytype_format(int type, const void *value);
int _WTvalue_tonet(int type, void *buffer);
int _WTvalue_fromnet(int type, void *buffer);
const char *_WTpropertytype_name(int type);
const char *_WTproperty_kindname(int mode);

WTvaluearray *_WTvaluearray_new(int type, int step);
int _WTvaluearray_append(WTvaluearray *array, const void *value);
int _WTvaluearray_insert(WTvaluearray *array, const void *value, int index);
int _WTvaluearray_remove(WTvaluearray *array, int index);
void _WTvaluearray_clear(WTvaluearray *array);
int _WTvaluearray_find(WTvaluearray *array, const void *value);
int _WTvaluearray_get(const WTvaluearray *array, int index, void *out);
int _WTvaluearray_set(WTvaluearray *array, int index, const void *value);
int _WTvaluearray_count(const WTvaluearray *array);
int _WTvaluearray_type(const WTvaluearray *array);
WTvaluearray *_WTvaluearray_copy(const WTvaluearray *array);
void _WTvaluearray_delete(WTvaluearray *array);

/* ---- Time base ------------------------------------------------------------------------------- */

void _WTtime_refresh(void);
double _WTtime_now(void);
double _WTtime_localnow(void);
int64_t _WTtime_seconds(void);
int64_t _WTtime_localseconds(void);
int _WTtime_milliseconds(void);
double _WTtime_make(int64_t seconds, int ms);
int64_t _WTtime_seconds_of(double t);
int _WTtime_milliseconds_of(double t);

/* ---- Property handlers ------------------------------------------------------------------------
 * Objects are base objects (nodes, viewpoints, windows, sensors, paths, generic objects). */

typedef void (*WTposthandler)(void *object, const char *name, void *value, double time, int source);
typedef unsigned char (*WTprehandler)(void *object, const char *name, double time, int source);
typedef void (*WTtimerhandler)(void *object, const char *name, void *value, double time, int source);

WTAPI int WTproperty_numhandlers(void *object, const char *name);
WTAPI void WTproperty_firehandlers(void *object, const char *name, const void *value);
WTAPI int WTproperty_firehandlers_pre(void *object, const char *name);
int _WTproperty_addhandler(void *object, const char *name, WTposthandler fn);
int _WTproperty_removehandler(void *object, const char *name, WTposthandler fn);
int _WTproperty_addprehandler(void *object, const char *name, WTprehandler fn);
int _WTproperty_removeprehandler(void *object, const char *name, WTprehandler fn);
int _WTproperty_addtimerhandler(void *object, const char *name, WTtimerhandler fn);
int _WTproperty_removetimerhandler(void *object, const char *name, WTtimerhandler fn);
void _WTproperty_removeallhandlers(void *object, const char *name);
WTposthandler _WTproperty_gethandler(void *object, const char *name, int index);
void _WTproperty_firehandlersvalue(void *object, const char *name, const WTvalue *record);
void _WTproperty_firehandlersat(void *object, const char *name, const void *value, double time);
void _WTproperty_firehandlersvalueat(void *object, const char *name, const WTvalue *record,
                                     double time);
void _WTproperty_firetimerhandlers(void *object, const char *name, const void *value, double time);
void _WTproperty_flushevents(void);

/* ---- User properties and access by name ------------------------------------------------------ */

int _WTuserproperty_new(void *object, const char *name, int type);
int _WTuserproperty_delete(void *object, const char *name);
/* The user property whose stored name agrees with name in the first n characters, searched in
 * the hash bucket of the whole name; null when there is none. */
WTuserproperty *_WTuserproperty_find(void *object, const char *name, int n);
int _WTuserproperty_count(void *object);
int _WTproperty_exists(void *object, const char *name);
int _WTproperty_count(void *object);
const char *_WTproperty_getname(void *object, int index);
const char *_WTproperty_findprefix(void *object, const char *prefix, int n);
int _WTproperty_gettype(void *object, const char *name);
int _WTproperty_getsize(void *object, const char *name);
int _WTproperty_getnetsize(void *object, const char *name);
int _WTproperty_getvalue(void *object, const char *name, void *out);
int _WTproperty_getint(void *object, const char *name);
unsigned int _WTproperty_getuint(void *object, const char *name);
float _WTproperty_getfloat(void *object, const char *name);
double _WTproperty_getdouble(void *object, const char *name);
void *_WTproperty_getpointer(void *object, const char *name);
const char *_WTproperty_getstring(void *object, const char *name);
const char *_WTproperty_gettext(void *object, const char *name);
int _WTproperty_setmode(void *object, const char *name, int mode);
int _WTproperty_getmode(void *object, const char *name);

int _WTproperty_set(void *object, const char *name, const void *value, int fromrecord,
                    const WTvalue *record, int withtime, double time);
int _WTproperty_setint(void *object, const char *name, int value);
int _WTproperty_setuint(void *object, const char *name, unsigned int value);
int _WTproperty_setfloat(void *object, const char *name, float value);
int _WTproperty_setdouble(void *object, const char *name, double value);
int _WTproperty_setp2(void *object, const char *name, const WTp2 value);
int _WTproperty_setp3(void *object, const char *name, const WTp3 value);
int _WTproperty_setq(void *object, const char *name, const WTq value);
int _WTproperty_setm3(void *object, const char *name, const WTm3 value);
int _WTproperty_setstring(void *object, const char *name, const char *value);
int _WTproperty_setpointer(void *object, const char *name, void *value);
int _WTproperty_setfromvalue(void *object, const char *name, const WTvalue *record);
int _WTproperty_setat(void *object, const char *name, const void *value, double time);
int _WTproperty_setfromvalueat(void *object, const char *name, const WTvalue *record, double time);
int _WTproperty_settimed(void *object, const char *name, const void *value, double time);
void _WTproperty_runtimed(void);
int _WTproperty_encode(void *object, const char *name, void *buffer);
int _WTproperty_encodestamped(void *object, const char *name, void *buffer);
int _WTproperty_decode(void *object, const char *name, void *buffer);
int _WTproperty_decodestamped(void *object, const char *name, void *buffer, double offset);

/* ---- Base objects -----------------------------------------------------------------------------
 * Every base object begins with a one-byte class tag: below 30 a node, 31 viewpoint, 32 window,
 * 33 sensor, 34 path, 36 ('$') a generic object. */

#define WTBASE_NODE 0
#define WTBASE_VIEWPOINT 1
#define WTBASE_WINDOW 2
#define WTBASE_SENSOR 3
#define WTBASE_PATH 4
#define WTBASE_GENERIC 6
#define WTBASE_ANY 7 /* _WTbase_find: every class */

typedef struct WTbase WTbase; /* a generic base object */
typedef void (*WTframefn)(void);

int _WTbase_class(const void *object);
void _WTbase_delete(void *object);
void _WTbase_setdata(void *object, void *data);
void *_WTbase_getdata(void *object);
void _WTbase_sethaseventhandlers(void *object, int flag);
int _WTbase_gethaseventhandlers(void *object);
void _WTbase_setname(void *object, const char *name);
const char *_WTbase_getname(void *object);
void *_WTbase_find(int classindex, const char *name, int length);
void *_WTbase_findbyname(int classindex, const char *name);

WTbase *_WTbase_newobject(WTbase *parent);
void _WTbase_deleteobject(WTbase *object, int depth);
void _WTbase_deleteall(void);
WTbase *_WTbase_firstobject(void);
int _WTbase_link(WTbase *child, WTbase *parent);
int _WTbase_unlink(WTbase *child, WTbase *parent);
int _WTbase_numparents(WTbase *object);
WTbase *_WTbase_getparent(WTbase *object, int index);
int _WTbase_numchildren(WTbase *object);
WTbase *_WTbase_getchild(WTbase *object, int index);
WTbase *_WTbase_findchild(WTbase *object, const char *name);
int _WTbase_ischild(WTbase *object, WTbase *candidate);
void _WTbase_print(WTbase *object, int depth);
WTAPI void WTbase_deleteproperties(void *object);
WTAPI void WTbase_removeallhandlers(void *object);
int _WTbase_numproperties(void *object);
const char *_WTbase_getproperty(void *object, int index);
int _WTbase_findproperty(void *object, const char *name, int type);

void _WTbase_start(void);
void _WTbase_frame(void);
void _WTbase_stop(void);
void _WTbase_setframecallback(WTframefn fn);
void _WTbase_runhooks(void);
void _WTbase_stophooks(void);
/* Every base object being deleted passes through here: the host's hook is told, and the
 * object's queued property notifications, scheduled changes and handlers are dropped. */
void _WTbase_calldeleted(void *object);
int _WTbase_callisnamestored(void *object);

/* ---- Model files: types, search paths, outside VRML97 library --------------------------------
 * File names are UTF-8 everywhere (opened through the wide functions on Windows). */

typedef struct WTnode WTnode;

/* The kind of a model file, told from its first bytes: 0 cannot be opened, 1 DXF, 2 NFF text,
 * 4 anything else (Wavefront OBJ), 5 GEO, 6 and 7 the old binary formats, 8 OpenFlight,
 * 9 3D Studio, 11 binary NFF, 12 SLP, 13 material file, 14 VRML 1.0, 15 light file, 16 WBDF,
 * 17 VRML97, 18 JT. */
typedef short WTfiletype;

/* fopen with a UTF-8 name; the mode keeps its meaning ("rt" reads text, "rb" binary). */
FILE *_WTfile_open(const char *path, const char *mode);
WTfiletype _WTfile_gettype(const char *path);
/* The name as given when it opens, else along the ';'-separated directory list of the named
 * environment variable ("WTMODELS" and "WTIMAGES" take the lists set below when not empty).
 * The result is one shared buffer that the next search overwrites; null when not found. */
WTAPI char *_WTfile_findpath(const char *name, const char *listname);
/* _WTfile_findpath on "WTMODELS"; a name without an extension is tried again with ".nff". */
char *_WTfile_findmodel(const char *name);
/* Replace the environment's model and image lists (an empty list gives it back); the result is
 * the list's buffer, or null when the list is refused as too long. */
char *_WTfile_setmodelpath(const char *list);
char *_WTfile_setimagepath(const char *list);
/* The file name without folder and extension, as a new string to free with _WTmem_free; null
 * when nothing remains or what remains holds a blank. */
char *_WTfile_basename(const char *path);

/* Entries of the outside VRML97 library "wtvrml97.dll", null until it is bound. */
typedef void (*WTvrml97initfn)(void);
typedef WTnode *(*WTvrml97readfn)(WTnode *parent, const char *path);
typedef int (*WTvrml97savefn)(WTnode *node, const char *path, void *argument);
extern WTvrml97readfn _WTvrml97_read;
extern WTvrml97savefn _WTvrml97_save;
extern WTvrml97initfn _WTvrml97_init;
/* Loads the library once and calls its init entry; 0, with a warning at every try, while the
 * library cannot be loaded. */
int _WTvrml97_bind(void);

/* ---- Text reader: lines, tokens, comments, continued lines, error reports -------------------- */

typedef struct WTreader WTreader;

/* Reads the path (text mode) or, when a stream is given, that stream (left open at close). The
 * comment marker is kept, not copied. The first line is read at once. */
WTreader *_WTreader_open(const char *path, FILE *stream, const char *comment);
void _WTreader_close(WTreader *reader);
int _WTreader_readline(WTreader *reader);
int _WTreader_nextline(WTreader *reader);
/* Tokens stay valid until the next physical line is read. */
char *_WTreader_linetoken(WTreader *reader);
char *_WTreader_nexttoken(WTreader *reader);
int _WTreader_pushback(WTreader *reader);
int _WTreader_tokenpos(WTreader *reader);
int _WTreader_numtokens(WTreader *reader);
int _WTreader_getfloat(WTreader *reader, float *out, const char *what);
int _WTreader_getfloat2(WTreader *reader, float *out, const char *what);
int _WTreader_getfloat3(WTreader *reader, float *out, const char *what);
int _WTreader_gethexcolor(WTreader *reader, unsigned char *red, unsigned char *green,
                          unsigned char *blue, const char *what);
int _WTreader_error(WTreader *reader, int offset, const char *message);


/* ---- Geometries, polygons, vertices and material tables --------------------------------------
 * A geometry owns its vertices and its convex, planar polygons; polygons reach their vertices
 * through link rings, so a vertex is shared by every polygon that uses it.  Material ids of
 * polygons and vertices index the geometry's (shared) material table. */

typedef struct WTgeometry WTgeometry;
typedef struct WTpoly WTpoly;
typedef struct WTvertex WTvertex;
typedef struct WTpolylist WTpolylist;     /* cells {polygon, next}; empty = one cell, no polygon */
typedef struct WTvertexlist WTvertexlist; /* cells {vertex, next} */
typedef struct WTgeomlist WTgeomlist;     /* cells {geometry, next} */
typedef struct WTmtable WTmtable;
typedef struct WTtextureref WTtextureref;

/* Material attribute bits. */
#define WTAMBIENT 1
#define WTDIFFUSE 2
#define WTSPECULAR 4
#define WTSHININESS 8
#define WTEMISSION 16
#define WTAMBIENTDIFFUSE 32
#define WTOPACITY 64

/* Material tables. */
WTAPI WTmtable *WTmtable_new(unsigned int mask, int capacity, const char *name);
WTAPI int WTmtable_setname(WTmtable *table, const char *name);
WTAPI const char *WTmtable_getname(WTmtable *table);
WTAPI int WTmtable_getnumentries(WTmtable *table);
WTAPI int WTmtable_setvalue(WTmtable *table, int index, const float *values, unsigned int bit);
WTAPI int WTmtable_getvalue(WTmtable *table, int index, float *values, unsigned int bit);
WTAPI int WTmtable_newentry(WTmtable *table);
unsigned int WTmtable_getproperties(WTmtable *table);
WTmtable *WTmtable_copy(WTmtable *table, unsigned int mask);

/* Records, names and queries. */
WTAPI int WTgeometry_delete(WTgeometry *geometry);
WTAPI WTgeometry *WTgeometry_copy(WTgeometry *geometry);
WTAPI void WTgeometry_setname(WTgeometry *geometry, const char *name);
WTAPI const char *WTgeometry_getname(WTgeometry *geometry);
WTAPI WTvertex *WTgeometry_getvertices(WTgeometry *geometry);
WTAPI WTpoly *WTgeometry_getpolys(WTgeometry *geometry);
WTAPI int WTgeometry_numpolys(WTgeometry *geometry);
WTAPI void WTgeometry_getextents(WTgeometry *geometry, WTp3 out);
WTAPI void WTgeometry_getmidpoint(WTgeometry *geometry, WTp3 out);
WTAPI float WTgeometry_getradius(WTgeometry *geometry);
WTAPI WTpoly *WTgeometry_id2poly(WTgeometry *geometry, int id);
WTAPI WTmtable *WTgeometry_getmtable(WTgeometry *geometry);
WTAPI WTpolylist *WTgeometry_getpolylist(WTgeometry *geometry);
WTAPI int WTpoly_delete(WTpoly *poly);
WTAPI WTvertex *WTvertex_next(WTvertex *vertex);
WTAPI void WTvertex_getposition(WTvertex *vertex, WTp3 out);

WTAPI WTpolylist *WTpolylist_new(void);
WTAPI WTpolylist *WTpolylist_addpoly(WTpolylist *list, WTpoly *poly);
WTAPI int WTpolylist_containspoly(WTpolylist *list, WTpoly *poly);
WTAPI int WTpolylist_npolys(WTpolylist *list);
WTAPI void WTpolylist_delete(WTpolylist *list);
WTAPI WTpolylist *WTpolylist_copy(WTpolylist *list);

/* Building and edits. */
WTAPI WTgeometry *WTgeometry_begin(void);
WTAPI WTvertex *WTgeometry_newvertex(WTgeometry *geometry, const WTp3 position);
WTAPI WTpoly *WTgeometry_beginpoly(WTgeometry *geometry);
WTAPI int WTpoly_addvertex(WTpoly *poly, int index);
WTAPI int WTpoly_addvertexptr(WTpoly *poly, WTvertex *vertex);
WTAPI int WTpoly_close(WTpoly *poly);
WTAPI int WTgeometry_close(WTgeometry *geometry);
WTAPI int WTgeometry_closesmooth(WTgeometry *geometry);
WTAPI int WTgeometry_beginedit(WTgeometry *geometry);
WTAPI int WTgeometry_endedit(WTgeometry *geometry);
WTAPI void WTgeometry_recomputestats(WTgeometry *geometry, int prune);
WTAPI int WTgeometry_deleteunusedvertices(WTgeometry *geometry);

/* Polygons. */
WTAPI void WTpoly_setrgb(WTpoly *poly, unsigned char r, unsigned char g, unsigned char b);
WTAPI void WTpoly_setcolor(WTpoly *poly, int color);
WTAPI short WTpoly_getcolor(WTpoly *poly);
WTAPI void WTpoly_getrgb(WTpoly *poly, unsigned char *r, unsigned char *g, unsigned char *b);
WTAPI int WTpoly_setmatid(WTpoly *poly, int id);
WTAPI int WTpoly_getmatid(WTpoly *poly);
WTAPI void WTpoly_setbothsides(WTpoly *poly, int on);
WTAPI int WTpoly_getbothsides(WTpoly *poly);
WTAPI void WTpoly_setrendering(WTpoly *poly, int on);
WTAPI int WTpoly_getrendering(WTpoly *poly);
WTAPI void WTpoly_setvisibility(WTpoly *poly, int visible);
WTAPI int WTpoly_getvisibility(WTpoly *poly);
WTAPI int WTpoly_hasvnormals(WTpoly *poly);
WTAPI int WTpoly_computevertexnormals(WTpoly *poly);
WTAPI int WTpoly_reversevertices(WTpoly *poly);
WTAPI int WTpoly_containsvertex(WTpoly *poly, WTvertexlist *list);
WTAPI WTvertex *WTpoly_getvertex(WTpoly *poly, int n);
WTAPI unsigned short WTpoly_numvertices(WTpoly *poly);
WTAPI WTpoly *WTpoly_next(WTpoly *poly);
WTAPI WTgeometry *WTpoly_getgeometry(WTpoly *poly);
WTAPI WTobject *WTpoly_getobject(WTpoly *poly);
WTAPI short WTpoly_getid(WTpoly *poly);
WTAPI void WTpoly_setid(WTpoly *poly, short id);
WTAPI void WTpoly_getnormal(WTpoly *poly, WTp3 out);
WTAPI void WTpoly_getcg(WTpoly *poly, WTp3 out);
WTAPI float WTpoly_getarea(WTpoly *poly);

/* Vertices of a geometry. */
WTAPI int WTgeometry_setvertexposition(WTgeometry *g, WTvertex *v, const WTp3 position);
WTAPI void WTgeometry_getvertexposition(WTgeometry *g, WTvertex *v, WTp3 out);
WTAPI int WTgeometry_setvertexnormal(WTgeometry *g, WTvertex *v, const WTp3 normal);
WTAPI int WTgeometry_getvertexnormal(WTgeometry *g, WTvertex *v, WTp3 out);
WTAPI int WTgeometry_deletevertexnormal(WTgeometry *g, WTvertex *v);
WTAPI int WTgeometry_computevertexnormal(WTgeometry *g, WTvertex *v);
WTAPI int WTgeometry_setvertexmatid(WTgeometry *g, WTvertex *v, int id);
WTAPI int WTgeometry_getvertexmatid(WTgeometry *g, WTvertex *v);
WTAPI int WTgeometry_setvertexrgb(WTgeometry *g, WTvertex *v, unsigned char r, unsigned char gr,
                                  unsigned char b);
WTAPI int WTgeometry_getvertexrgb(WTgeometry *g, WTvertex *v, unsigned char *r, unsigned char *gr,
                                  unsigned char *b);
WTAPI WTpolylist *WTgeometry_getvertexpolys(WTgeometry *g, WTvertex *v);

/* Whole geometries. */
WTAPI void WTgeometry_scale(WTgeometry *geometry, float factor, const WTp3 centre);
WTAPI void WTgeometry_stretch(WTgeometry *geometry, const WTp3 factors, const WTp3 centre);
WTAPI void WTgeometry_translate(WTgeometry *geometry, const WTp3 offset);
WTAPI void WTgeometry_transform(WTgeometry *geometry, const WTpq *pose);
WTAPI WTpoly *WTgeometry_merge(WTgeometry *target, WTgeometry *source);
WTAPI int WTgeometry_colapsevertex(WTgeometry *geometry, WTvertex *vertex, float tolerance);
WTAPI int WTgeometry_setrenderingstyle(WTgeometry *geometry, int style, int mode);
WTAPI int WTgeometry_getrenderingstyle(WTgeometry *geometry);
WTAPI int WTgeometry_setmatid(WTgeometry *geometry, int id);
WTAPI void WTgeometry_setrgb(WTgeometry *geometry, unsigned char r, unsigned char g,
                             unsigned char b);
WTAPI void WTgeometry_setmtable(WTgeometry *geometry, WTmtable *table);
WTAPI int WTgeometry_save(WTgeometry *geometry, const char *path, void *viewpoint, int type);

/* Primitive shapes, centred on the origin about the y axis, faces outward. */
WTAPI WTgeometry *WTgeometry_newcylinder(float height, float radius, int tess, int bothsides,
                                         int gouraud);
WTAPI WTgeometry *WTgeometry_newblock(float x, float y, float z, int bothsides);
WTAPI WTgeometry *WTgeometry_newcone(float height, float radius, int tess, int bothsides);
WTAPI WTgeometry *WTgeometry_newsphere(float radius, int latitude, int longitude, int bothsides,
                                       int gouraud);
WTAPI WTgeometry *WTgeometry_newhemisphere(float radius, int latitude, int longitude,
                                           int bothsides, int gouraud);
WTAPI WTgeometry *WTgeometry_newextrusion(WTp2 *points, int count, float height, int bothsides,
                                          int gouraud);
WTAPI WTgeometry *WTgeometry_newtruncone(float height, float bottom, float top, int tess,
                                         int bothsides, int gouraud);
WTAPI WTgeometry *WTgeometry_newrectangle(float height, float width, int bothsides);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_WT_H */
