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

/* Polygon textures: one texture reference a polygon, with one (u, v) pair a vertex. */
typedef struct WTtextureinfo {
  const char *name;
  float rotation;
  float scale;
  float offsetu, offsetv;
  unsigned char mirrored;
  unsigned char style[3];
} WTtextureinfo;

#define WTIMAGE_RGBA 0

WTAPI int WTpoly_settexture(WTpoly *poly, const char *name, int a, int b);
WTAPI int WTpoly_settextureuv(WTpoly *poly, const char *name, const float *u, const float *v, int a,
                              int b);
WTAPI void WTpoly_deletetexture(WTpoly *poly);
/* One texture over the whole geometry (its polygons' own textures removed), drawn from display
 * lists with generated coordinates; and taking it off again. */
WTAPI int WTgeometry_setwholetexture(WTgeometry *geometry, const char *name);
WTAPI int WTgeometry_deletewholetexture(WTgeometry *geometry);
WTAPI void WTpoly_rotatetexture(WTpoly *poly, float angle);
WTAPI void WTpoly_scaletexture(WTpoly *poly, float factor);
WTAPI void WTpoly_stretchtexture(WTpoly *poly, float fu, float fv);
WTAPI void WTpoly_translatetexture(WTpoly *poly, const float *offset);
WTAPI void WTpoly_mirrortexture(WTpoly *poly);
WTAPI int WTpoly_setuv(WTpoly *poly, const float *u, const float *v);
WTAPI int WTpoly_getuv(WTpoly *poly, float *u, float *v);
WTAPI int WTpoly_gettextureinfo(WTpoly *poly, WTtextureinfo *info);
WTAPI int WTpoly_settexturestyle(WTpoly *poly, int a, int b, int c);
WTAPI int WTpoly_gettexturestyle(WTpoly *poly, int *a, int *b, int *c);
WTAPI int _WTpoly_settextureflags(WTpoly *poly, int a, int b);
WTAPI int _WTpoly_gettextureflags(WTpoly *poly, int *a, int *b);
WTAPI unsigned char *WTtexture_load(const char *name, int *width, int *height);
WTAPI int WTtexture_replace(const char *name, int format, int width, int height,
                            unsigned char *pixels);

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

/* Objects built polygon by polygon: a polygon of the object's geometry under construction, and
 * one made at once from points (flag: two-sided). */
WTAPI WTpoly *WTpoly_begin(WTobject *object);
WTAPI WTpoly *_WTpoly_newfrompoints(WTobject *object, const WTp3 *points, int count, int flag);

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
/* ---- Scene-graph nodes -------------------------------------------------------------------------
 * A directed acyclic graph: a node may hang under several parents.  A node made with a null
 * parent, or whose last parent goes away, hangs under a hidden default parent. */

typedef struct WTnode WTnode;
typedef struct WTgeometry WTgeometry;
typedef struct WTlight WTlight;
typedef struct WTviewpoint WTviewpoint;
typedef struct WTwindow WTwindow;
typedef struct WTsensor WTsensor;
typedef struct WTpath WTpath;
typedef struct WTmotionlink WTmotionlink;
typedef struct WTtask WTtask;
typedef struct WTnodestate WTnodestate;

/* Node kinds (the first byte of every node). */
typedef enum WTnodetype {
  WTNODE_XFORM = 1,
  WTNODE_LOD = 2,
  WTNODE_MLOD = 3,
  WTNODE_SWITCH = 4,
  WTNODE_MSWITCH = 5,
  WTNODE_GEOMETRY = 6,
  WTNODE_MGEOMETRY = 7,
  WTNODE_GROUP = 8,
  WTNODE_SEP = 9,
  WTNODE_MSEP = 10,
  WTNODE_OBJECT = 11,
  WTNODE_LIGHT = 12,
  WTNODE_MLIGHT = 13,
  WTNODE_ANCHOR = 14,
  WTNODE_INLINE = 15,
  WTNODE_XFORMSEP = 16,
  WTNODE_MATERIAL = 17,
  WTNODE_FOG = 18,
  WTNODE_AMBIENT = 19,
  WTNODE_ROOT = 21,
  WTNODE_CALLBACK = 22,
  WTNODE_LINK = 23,
  WTNODE_MTABLE = 27
} WTnodetype;

/* Frames for node motion. */
#define WTFRAME_LOCAL 0
#define WTFRAME_PARENT 3

/* Material field codes (also the bits of the field mask). */
#define WTMAT_AMBIENT 1
#define WTMAT_DIFFUSE 2
#define WTMAT_SPECULAR 4
#define WTMAT_SHININESS 8
#define WTMAT_EMISSION 16
#define WTMAT_AMBDIFF 32
#define WTMAT_OPACITY 64

WTAPI WTnode *WTrootnode_new(void);
WTAPI WTnode *WTgroupnode_new(WTnode *parent);
WTAPI WTnode *WTswitchnode_new(WTnode *parent);
WTAPI WTnode *WTsepnode_new(WTnode *parent);
WTAPI WTnode *WTxformnode_new(WTnode *parent);
WTAPI WTnode *WTlodnode_new(WTnode *parent);
WTAPI WTnode *WTxformsepnode_new(WTnode *parent);
WTAPI WTnode *WTanchornode_new(WTnode *parent);
WTAPI WTnode *WTinlinenode_new(WTnode *parent);
WTAPI WTnode *WTmaterialnode_new(WTnode *parent);
WTAPI WTnode *WTfognode_new(WTnode *parent);
WTAPI WTnode *WTlightnode_newambient(WTnode *parent);
WTAPI WTnode *_WTmtablenode_new(WTnode *parent);

/* Callback nodes: leaves drawn by the caller's function, bounded by a box the caller sets. */
typedef void (*WTcallbackfn)(WTnode *node, void *data);
WTAPI WTnode *_WTcallbacknode_new(WTnode *parent, WTcallbackfn fn, int flags);
WTAPI WTnode *_WTcallbacknode_newdata(WTnode *parent, void *record, void *owner);
WTAPI int _WTcallbacknode_setflags(WTnode *node, int flags);
WTAPI int _WTcallbacknode_getflags(WTnode *node);
WTAPI int _WTcallbacknode_setfunction(WTnode *node, WTcallbackfn fn);
WTAPI int _WTcallbacknode_setdata(WTnode *node, void *record, void *owner);
WTAPI int _WTcallbacknode_setbox(WTnode *node, const float low[3], const float high[3]);
WTAPI WTnode *WTgeometrynode_new(WTnode *parent, WTgeometry *geometry);
WTAPI WTnode *_WTnode_insertlight(WTlight *light);

WTAPI int WTnode_addchild(WTnode *parent, WTnode *child);
WTAPI int WTnode_insertchild(WTnode *parent, WTnode *child, int index);
WTAPI int WTnode_removechild(WTnode *parent, int index);
WTAPI int WTnode_remove(WTnode *node);
WTAPI int WTnode_setchildren(WTnode *node, const char *text);
WTAPI const char *WTnode_getchildren(WTnode *node);
WTAPI int WTnode_canaddchild(WTnode *parent, WTnode *child);
WTAPI int WTnode_numchildren(WTnode *node);
WTAPI WTnode *WTnode_getchild(WTnode *node, int index);
WTAPI int WTnode_numparents(WTnode *node);
WTAPI WTnode *WTnode_getparent(WTnode *node, int index);
WTAPI WTnode *WTuniverse_getrootnodes(void);
WTAPI WTnode *WTrootnode_next(WTnode *root);
WTAPI int WTnode_gettype(WTnode *node);
WTAPI int WTnode_ismovable(WTnode *node);
WTAPI int WTnode_setname(WTnode *node, const char *name);
WTAPI const char *WTnode_getname(WTnode *node);
WTAPI WTnode *WTuniverse_findnode(const char *name, int n);
WTAPI WTnode *WTuniverse_findnodebyname(const char *name, int index);
WTAPI void WTnode_setdata(WTnode *node, void *data);
WTAPI void *WTnode_getdata(WTnode *node);

/* Attributes. */
WTAPI int WTnode_enable(WTnode *node, int on);
WTAPI int WTnode_isenabled(WTnode *node);
WTAPI int WTnode_getenabled(WTnode *node);
WTAPI int WTanchornode_setlocation(WTnode *node, const char *text);
WTAPI const char *WTanchornode_getlocation(WTnode *node);
WTAPI int WTinlinenode_setlocation(WTnode *node, const char *text);
WTAPI const char *WTinlinenode_getlocation(WTnode *node);
WTAPI int WTlodnode_setrange(WTnode *node, const float *ranges, int n);
WTAPI int WTlodnode_getrange(WTnode *node, float *out, int capacity);
WTAPI int WTlodnode_numranges(WTnode *node);
WTAPI int WTlodnode_setranges(WTnode *node, const char *text);
WTAPI const char *WTlodnode_getranges(WTnode *node);
WTAPI int WTlodnode_setcenter(WTnode *node, const WTp3 p);
WTAPI int WTlodnode_getcenter(WTnode *node, WTp3 p);
WTAPI int WTsepnode_setcullmode(WTnode *node, int mode);
WTAPI int WTsepnode_getcullmode(WTnode *node);
WTAPI int WTswitchnode_setwhichchild(WTnode *node, int which);
WTAPI int WTswitchnode_getwhichchild(WTnode *node);
WTAPI int WTmaterialnode_setfield(WTnode *node, int field, const float *value);
WTAPI int WTmaterialnode_getfield(WTnode *node, int field, float *out);
WTAPI int WTnode_boundingbox(WTnode *node, int on);
WTAPI int WTnode_hasboundingbox(WTnode *node);
WTAPI int WTnode_getboundingbox(WTnode *node);
WTAPI WTgeometry *WTnode_getgeometry(WTnode *node);
WTAPI WTobject *WTnode_getobject(WTnode *node);
WTAPI void _WTnode_sethaseventhandlers(WTnode *node, int flag);
WTAPI int _WTnode_gethaseventhandlers(WTnode *node);

/* Transforms and node motion. */
WTAPI int WTnode_settranslation(WTnode *node, const WTp3 p);
WTAPI int WTnode_gettranslation(WTnode *node, WTp3 p);
WTAPI int WTnode_setrotation(WTnode *node, WTm3 m);
WTAPI int WTnode_getrotation(WTnode *node, WTm3 m);
WTAPI int WTnode_setorientation(WTnode *node, const WTq q);
WTAPI int WTnode_getorientation(WTnode *node, WTq q);
WTAPI int WTnode_settransform(WTnode *node, WTm4 m);
WTAPI int WTnode_gettransform(WTnode *node, WTm4 m);
WTAPI int WTnode_translate(WTnode *node, const WTp3 v, int frame);
WTAPI int WTnode_rotateaxis(WTnode *node, int axis, float degrees, int frame);
WTAPI int WTnode_axisrotation(WTnode *node, int axis, float radians, int frame);
WTAPI int WTnode_rotate(WTnode *node, float a, float b, float c, int frame);
WTAPI int WTnode_rotation(WTnode *node, float a, float b, float c, int frame);
WTAPI int WTnode_rotateq(WTnode *node, const WTq q, int frame);
WTAPI int WTnode_rotatem3(WTnode *node, WTm3 m, int frame);
WTAPI int WTnode_rotatem4(WTnode *node, WTm4 m, int frame);
WTAPI WTmotionlink *WTnode_addsensor(WTnode *node, WTsensor *sensor);
WTAPI int WTnode_removesensor(WTnode *node, WTsensor *sensor);

/* Bounds and walks. */
WTAPI int WTnode_getextents(WTnode *node, WTp3 e);
WTAPI int WTnode_getmidpoint(WTnode *node, WTp3 m);
WTAPI float WTnode_getradius(WTnode *node);
WTAPI int _WTnode_getxforms(void *start, WTm4 m);
WTAPI void _WTnode_changed(WTnode *node);
WTAPI void _WTnode_invalidate(void *start);
WTAPI void _WTnode_ready(void);
WTAPI int WTnode_numpolys(WTnode *node);
WTAPI WTnodestate *_WTnode_newstate(void);
WTAPI void _WTnode_initstate(WTnodestate *state);
WTAPI void _WTnode_checkstatedepth(WTnodestate *state);
WTAPI WTnodestate *_WTnode_getstate(void);
WTAPI void _WTnode_releasestate(WTnodestate *state);
WTAPI void _WTnode_deletestate(WTnodestate *state);

/* Lifetime, loading, saving and printing. */
WTAPI int WTnode_delete(WTnode *node);
WTAPI int _WTnode_delete(WTnode *node);
WTAPI int WTnode_deletechild(WTnode *parent, int index);
WTAPI void _WTnode_deleteall(int all);
WTAPI void WTnode_vacuum(void);
WTAPI WTnode *WTnode_load(WTnode *parent, const char *name, float scale);
WTAPI WTnode *WTgeometrynode_load(WTnode *parent, const char *name, float scale);
WTAPI int WTnode_save(WTnode *node, const char *path, void *arg, int type, int flags);
WTAPI void WTnode_print(WTnode *node);
WTAPI int WTsepnode_reorder(WTnode *sep, const int *order, int n);

/* Light and fog nodes. */
WTAPI WTnode *WTlightnode_newdirected(WTnode *parent);
WTAPI WTnode *WTlightnode_newpoint(WTnode *parent);
WTAPI WTnode *WTlightnode_newspot(WTnode *parent);
WTAPI WTnode *_WTlightnode_new(WTlight *light, WTnode *parent);
WTAPI int WTlightnode_setambient(WTnode *node, float r, float g, float b);
WTAPI int WTlightnode_getambient(WTnode *node, float *r, float *g, float *b);
WTAPI int WTlightnode_setdiffuse(WTnode *node, float r, float g, float b);
WTAPI int WTlightnode_getdiffuse(WTnode *node, float *r, float *g, float *b);
WTAPI int WTlightnode_setspecular(WTnode *node, float r, float g, float b);
WTAPI int WTlightnode_getspecular(WTnode *node, float *r, float *g, float *b);
WTAPI int WTlightnode_setintensity(WTnode *node, float f);
WTAPI float WTlightnode_getintensity(WTnode *node);
WTAPI int WTlightnode_setposition(WTnode *node, const WTp3 p);
WTAPI int WTlightnode_getposition(WTnode *node, WTp3 p);
WTAPI int WTlightnode_setdirection(WTnode *node, const WTp3 d);
WTAPI int WTlightnode_getdirection(WTnode *node, WTp3 d);
WTAPI int WTlightnode_setangle(WTnode *node, float a);
WTAPI float WTlightnode_getangle(WTnode *node);
WTAPI int WTlightnode_setexponent(WTnode *node, float e);
WTAPI float WTlightnode_getexponent(WTnode *node);
WTAPI int WTlightnode_setattenuation(WTnode *node, float c, float l, float q);
WTAPI int WTlightnode_getattenuation(WTnode *node, float *c, float *l, float *q);
WTAPI int WTlightnode_gettype(WTnode *node);
WTAPI int WTlightnode_setambient2(WTnode *node, const float *rgb);
WTAPI int WTlightnode_getambient2(WTnode *node, float *rgb);
WTAPI int WTlightnode_setdiffuse2(WTnode *node, const float *rgb);
WTAPI int WTlightnode_getdiffuse2(WTnode *node, float *rgb);
WTAPI int WTlightnode_setspecular2(WTnode *node, const float *rgb);
WTAPI int WTlightnode_getspecular2(WTnode *node, float *rgb);
WTAPI int WTlightnode_setattenuation2(WTnode *node, const float *att);
WTAPI int WTlightnode_getattenuation2(WTnode *node, float *att);
WTAPI int WTfognode_setrange(WTnode *node, float f);
WTAPI float WTfognode_getrange(WTnode *node);
WTAPI int WTfognode_setmode(WTnode *node, int mode);
WTAPI int WTfognode_getmode(WTnode *node);
WTAPI int WTfognode_setcolor(WTnode *node, float r, float g, float b, float a);
WTAPI int WTfognode_getcolor(WTnode *node, float *r, float *g, float *b, float *a);
WTAPI int WTfognode_setcolor2(WTnode *node, const float *rgba);
WTAPI int WTfognode_getcolor2(WTnode *node, float *rgba);
WTAPI int WTfognode_setlinearstart(WTnode *node, float f);
WTAPI float WTfognode_getlinearstart(WTnode *node);
WTAPI int WTlightnode_load(WTnode *parent, const char *path);
WTAPI int WTlightnode_save(WTnode *node, const char *path);

/* ---- Universe and frame loop ------------------------------------------------------------------ */

typedef void (*WTactionfn)(void);
typedef void (*WTuniversefn)(void);

/* Action codes of the event order. */
#define WTACTION_USER 1
#define WTACTION_LINKS 2
#define WTACTION_TASKS 3
#define WTACTION_PATHS 4

typedef struct WTeventorder {
  int16_t count;
  int16_t codes[4];
} WTeventorder;

#define WTOPTION_JTLODS 18

WTAPI void WTuniverse_new(int a, int b);
WTAPI void WTuniverse_delete(void);
WTAPI void WTuniverse_ready(void);
WTAPI void WTuniverse_go(void);
WTAPI void WTuniverse_go1(void);
WTAPI void _WTuniverse_stop(void);
WTAPI int _WTuniverse_exists(void);
WTAPI void _WTuniverse_setactions(WTactionfn fn);
WTAPI int _WTuniverse_seteventorder(int16_t count, const int16_t *codes);
WTAPI const WTeventorder *_WTuniverse_geteventorder(void);
WTAPI void WTuniverse_setoption(int option, int value);
WTAPI int _WTuniverse_getoption(int option);
WTAPI void _WTuniverse_setcoplanar(unsigned char on);
WTAPI unsigned char _WTuniverse_getcoplanar(void);
WTAPI void WTuniverse_setbgrgb(unsigned char r, unsigned char g, unsigned char b);
WTAPI void WTuniverse_getbgrgb(unsigned char *r, unsigned char *g, unsigned char *b);
WTAPI void _WTuniverse_setbgcolor(unsigned short rgb12);
WTAPI unsigned short _WTuniverse_getbgcolor(void);
WTAPI void _WTuniverse_setrendering(unsigned int flags);
WTAPI unsigned char _WTuniverse_getrendering(void);
WTAPI void _WTuniverse_setaxes(int n, const int *permutation, const int *target, const int *sign);
WTAPI void _WTuniverse_getaxes(WTq q);
WTAPI int _WTuniverse_setviewpoint(WTviewpoint *viewpoint);
WTAPI WTviewpoint *_WTuniverse_getviewpoint(void);
WTAPI WTviewpoint *WTuniverse_getviewpoints(void);
WTAPI WTwindow *_WTuniverse_getwindows(void);
WTAPI WTsensor *_WTuniverse_getsensors(void);
WTAPI WTlight *_WTuniverse_getlights(void);
WTAPI WTpath *_WTuniverse_getpaths(void);
WTAPI WTmotionlink *_WTuniverse_getmotionlinks(void);
WTAPI int _WTuniverse_removemotionlink(void *source, void *target);
WTAPI float _WTuniverse_getradius(void);
WTAPI void _WTuniverse_getmidpoint(WTp3 m);
WTAPI void _WTuniverse_getextents(WTp3 min, WTp3 max);
WTAPI WTwindow *_WTuniverse_getcurrentwindow(void);
WTAPI const char *_WTuniverse_getname(void);
WTAPI void _WTuniverse_setname(const char *name);
WTAPI int _WTuniverse_loadfile(const char *name, WTpq *pose, float scale);
WTAPI void _WTuniverse_setloadcallback(const char *name, WTuniversefn fn);
WTAPI void _WTuniverse_setunloadcallback(const char *name, WTuniversefn fn);
WTAPI WTuniversefn _WTuniverse_getloadcallback(const char *name);
WTAPI WTuniversefn _WTuniverse_getunloadcallback(const char *name);
WTAPI int _WTuniverse_numpolygons(void);
WTAPI float _WTuniverse_getframerate(void);
WTAPI unsigned int _WTuniverse_getframecount(void);
WTAPI void _WTuniverse_resetframecount(void);
WTAPI float _WTuniverse_framerateover(int n);
WTAPI float _WTuniverse_frametime(void);
WTAPI void _WTuniverse_resetframerate(void);
WTAPI void _WTuniverse_getstartpose(WTpq *pose);
WTAPI unsigned char _WTuniverse_getconfiguration(void);
WTAPI void _WTuniverse_setconfiguration(unsigned char value);
WTAPI unsigned char _WTuniverse_getportalsenabled(void);
WTAPI void _WTuniverse_setportalsenabled(unsigned char on);
WTAPI unsigned char _WTuniverse_gettrailing(void);
WTAPI void _WTuniverse_settrailing(unsigned char value);
WTAPI unsigned char _WTuniverse_getgraphicsresult(void);
WTAPI unsigned char _WTuniverse_getspare(void);
WTAPI void _WTuniverse_forceredraw(void);
WTAPI void _WTuniverse_setscales(float x, float y, float z);
WTAPI void _WTuniverse_setcolorscale(float scale);
WTAPI float _WTuniverse_getcolorscale(void);

/* Viewpoints and windows, as far as the universe needs them. */
WTAPI WTviewpoint *WTviewpoint_new(void);
WTAPI void WTviewpoint_delete(WTviewpoint *viewpoint);
WTAPI void WTviewpoint_setdata(WTviewpoint *viewpoint, void *data);
WTAPI void *WTviewpoint_getdata(WTviewpoint *viewpoint);
WTAPI void WTviewpoint_setname(WTviewpoint *viewpoint, const char *name);
WTAPI const char *WTviewpoint_getname(WTviewpoint *viewpoint);
WTAPI void _WTviewpoint_sethaseventhandlers(WTviewpoint *viewpoint, int flag);
WTAPI int _WTviewpoint_gethaseventhandlers(WTviewpoint *viewpoint);
WTAPI WTviewpoint *WTuniverse_findviewpoint(const char *name, int n);
WTAPI WTviewpoint *WTviewpoint_next(WTviewpoint *viewpoint);
WTAPI int WTviewpoint_setposition(WTviewpoint *viewpoint, const WTp3 p);
WTAPI int WTviewpoint_getposition(WTviewpoint *viewpoint, WTp3 p);
WTAPI int WTviewpoint_setorientation(WTviewpoint *viewpoint, const WTq q);
WTAPI int WTviewpoint_getorientation(WTviewpoint *viewpoint, WTq q);
WTAPI void WTwindow_delete(WTwindow *window);
WTAPI void WTwindow_setdata(WTwindow *window, void *data);
WTAPI void *WTwindow_getdata(WTwindow *window);
WTAPI void WTwindow_setname(WTwindow *window, const char *name);
WTAPI const char *WTwindow_getname(WTwindow *window);
WTAPI void _WTwindow_sethaseventhandlers(WTwindow *window, int flag);
WTAPI int _WTwindow_gethaseventhandlers(WTwindow *window);
WTAPI WTwindow *WTuniverse_findwindow(const char *name, int n);

/* Windows: one OpenGL drawing area showing a root node from a viewpoint. */
typedef void (*WTwindowfn)(WTwindow *window, int eye);
WTAPI WTwindow *WTwindow_newuser(void *hwnd, int flags);
WTAPI WTwindow *WTwindow_newsubwindow(WTwindow *parent, int x, int y, int width, int height);
WTAPI WTwindow *WTwindow_next(WTwindow *window);
WTAPI int WTwindow_setviewport(WTwindow *window, int x, int y, int width, int height);
WTAPI void WTwindow_getviewport(WTwindow *window, int *x, int *y, int *width, int *height);
WTAPI int WTwindow_setprojection(WTwindow *window, int code);
WTAPI int WTwindow_getprojection(WTwindow *window);
WTAPI int WTwindow_setfrustum(WTwindow *window, int eye, float left, float right, float bottom,
                              float top, float hither, float yon);
WTAPI void WTwindow_getfrustum(WTwindow *window, int eye, float *left, float *right, float *bottom,
                               float *top, float *hither, float *yon);
WTAPI void WTwindow_getposition(WTwindow *window, int *x, int *y, int *width, int *height);
WTAPI void WTwindow_setposition(WTwindow *window, int x, int y, int width, int height);
WTAPI void WTwindow_setbgrgb(WTwindow *window, unsigned char r, unsigned char g, unsigned char b);
WTAPI void WTwindow_getbgrgb(WTwindow *window, unsigned char *r, unsigned char *g, unsigned char *b);
WTAPI void _WTwindow_setbgcolor(WTwindow *window, unsigned short rgb);
WTAPI unsigned short _WTwindow_getbgcolor(WTwindow *window);
WTAPI unsigned _WTwindow_getbgrgb24(WTwindow *window);
WTAPI int WTwindow_seteye(WTwindow *window, int eye);
WTAPI int WTwindow_geteye(WTwindow *window);
WTAPI void *WTwindow_getidx(WTwindow *window);
WTAPI int WTwindow_getdisplay(WTwindow *window);
WTAPI int WTwindow_setviewpoint(WTwindow *window, WTviewpoint *viewpoint);
WTAPI WTviewpoint *WTwindow_getviewpoint(WTwindow *window);
WTAPI int WTwindow_setviewpoint2(WTwindow *window, WTviewpoint *viewpoint);
WTAPI WTviewpoint *WTwindow_getviewpoint2(WTwindow *window);
WTAPI int WTwindow_setrootnode(WTwindow *window, WTnode *root);
WTAPI WTnode *WTwindow_getrootnode(WTwindow *window);
WTAPI int WTwindow_sethither(WTwindow *window, float hither);
WTAPI float WTwindow_gethither(WTwindow *window);
WTAPI int WTwindow_setyon(WTwindow *window, float yon);
WTAPI float WTwindow_getyon(WTwindow *window);
WTAPI int WTwindow_setviewangle(WTwindow *window, float angle);
WTAPI float WTwindow_getviewangle(WTwindow *window);
WTAPI int WTwindow_enable(WTwindow *window, int on);
WTAPI int WTwindow_isenabled(WTwindow *window);
WTAPI int WTwindow_numpolys(WTwindow *window);
WTAPI int _WTwindow_containspoint(WTwindow *window, int x, int y);
WTAPI WTwindow *_WTwindow_findatpoint(const float *point);
WTAPI void WTwindow_setdrawfn(WTwindow *window, WTwindowfn fn);
WTAPI void WTwindow_setdraw2dfn(WTwindow *window, WTwindowfn fn);
WTAPI int _WTwindow_setdraw2dfn2(WTwindow *window, WTwindowfn fn);
/* Inside the overlay callback only; x and y run from 0 (left, bottom) to 1 (right, top). */
WTAPI void WTwindow_settextrgb(WTwindow *window, unsigned char r, unsigned char g, unsigned char b);
WTAPI void WTwindow_gettextextent(WTwindow *window, const char *text, float *width, float *height);
WTAPI void WTwindow_setfont(WTwindow *window, int index);
WTAPI void WTwindow_drawtext(WTwindow *window, float x, float y, const char *text);
WTAPI void WTwindow_drawrect2d(WTwindow *window, float x0, float y0, float x1, float y1, int filled);
WTAPI void WTwindow_drawpoint2d(WTwindow *window, float x, float y);
WTAPI void WTwindow_drawline2d(WTwindow *window, float x0, float y0, float x1, float y1);
WTAPI void WTwindow_drawcircle2d(WTwindow *window, float x, float y, float radius, int filled);
WTAPI void WTwindow_drawtexture2d(WTwindow *window, const char *name, int alphatest,
                                  const float *corners, const float *uv);
WTAPI void WTwindow_setpointsize2d(WTwindow *window, float size);
WTAPI void WTwindow_setlinewidth2d(WTwindow *window, float width);
WTAPI void WTwindow_setlinestipple2d(WTwindow *window, unsigned short pattern);
/* Inside the draw callback only, in world coordinates. */
WTAPI void WTwindow_setdrawrgb(WTwindow *window, unsigned char r, unsigned char g, unsigned char b);
WTAPI void WTwindow_setpointsize(WTwindow *window, float size);
WTAPI void WTwindow_setlinewidth(WTwindow *window, float width);
WTAPI void WTwindow_setlinestipple(WTwindow *window, unsigned short pattern);
WTAPI void WTwindow_drawlines(WTwindow *window, const float *points, int count, int mode);
WTAPI void WTwindow_drawpoints(WTwindow *window, const float *points, int count);
/* A texture as one quad over the window's viewport (1 when drawn); an image file drawn into
 * every window (0 when drawn, 1 when it cannot be read). */
WTAPI int _WTwindow_drawtexture(WTwindow *window, const char *name, float depth, int stereo,
                                int release);
WTAPI int _WTwindow_drawimage(const char *name);

/* 3D fonts: glyph objects "char<code>" of a model file, copied side by side into text. */
typedef struct WTfont3d WTfont3d;
WTAPI WTfont3d *_WTfont3d_load(const char *name);
WTAPI void _WTfont3d_delete(WTfont3d *font);
WTAPI WTfont3d *_WTfont3d_find(const char *name);
WTAPI void _WTfont3d_setadvance(WTfont3d *font, float value);
WTAPI void _WTfont3d_setadvancefactor(WTfont3d *font, float factor);
WTAPI float _WTfont3d_getadvance(WTfont3d *font);
WTAPI void _WTfont3d_getbox(WTfont3d *font, float *box);
WTAPI int _WTfont3d_hasglyph(WTfont3d *font, int code);
WTAPI WTgeometry *_WTfont3d_textgeometry(WTfont3d *font, const char *text);
WTAPI WTobject *_WTfont3d_textobject(WTfont3d *font, const char *text);
WTAPI int WTwindow_projectpoint(WTwindow *window, int eye, const WTp3 point, float *pixel);
WTAPI void WTwindow_zoomtonode(WTwindow *window, WTnode *node, int index);
WTAPI void WTwindow_zoomtofit(WTwindow *window);

/* Viewpoints. */
WTAPI int WTviewpoint_getdirection(WTviewpoint *viewpoint, WTp3 d);
WTAPI int WTviewpoint_translate(WTviewpoint *viewpoint, const WTp3 v, int frame);
WTAPI int WTviewpoint_rotate(WTviewpoint *viewpoint, int axis, float angle, int frame);
WTAPI int WTviewpoint_setaspect(WTviewpoint *viewpoint, float aspect);
WTAPI float WTviewpoint_getaspect(WTviewpoint *viewpoint);
WTAPI int WTviewpoint_setparallax(WTviewpoint *viewpoint, float parallax);
WTAPI float WTviewpoint_getparallax(WTviewpoint *viewpoint);
WTAPI int WTviewpoint_setconvergence(WTviewpoint *viewpoint, int c);
WTAPI int WTviewpoint_getconvergence(WTviewpoint *viewpoint);
WTAPI int WTviewpoint_setconvergencedist(WTviewpoint *viewpoint, float d);
WTAPI float WTviewpoint_getconvergencedist(WTviewpoint *viewpoint);
WTAPI void _WTviewpoint_setprojection(WTviewpoint *viewpoint, int code);
WTAPI int _WTviewpoint_getprojection(WTviewpoint *viewpoint);
WTAPI float _WTviewpoint_getviewangle(WTviewpoint *viewpoint);
WTAPI void _WTviewpoint_sethither(WTviewpoint *viewpoint, float hither);
WTAPI void _WTviewpoint_setyon(WTviewpoint *viewpoint, float yon);
WTAPI void _WTviewpoint_seteyeoffset(WTviewpoint *viewpoint, const WTp3 offset, const WTq rotation,
                                     int mode);
WTAPI void _WTviewpoint_getm4(WTviewpoint *viewpoint, WTm4 m, int eye);
WTAPI int WTviewpoint_setdirection(WTviewpoint *viewpoint, const WTp3 direction);
WTAPI void _WTviewpoint_getaxis(WTviewpoint *viewpoint, int axis, WTp3 out);
WTAPI int _WTviewpoint_alignaxis(WTviewpoint *viewpoint, int axis, const WTp3 direction);
/* The point in place: world to the viewpoint's frame, and back. */
WTAPI void _WTviewpoint_world2local(WTviewpoint *viewpoint, WTp3 point);
WTAPI void _WTviewpoint_local2world(WTviewpoint *viewpoint, WTp3 point);
WTAPI int _WTviewpoint_movepose(WTviewpoint *viewpoint, const WTpq *delta, int frame);
WTAPI int _WTviewpoint_setpose(WTviewpoint *viewpoint, const WTpq *pose);
/* The frustum of the windows looking through the viewpoint: read from the first, written to
 * all. */
WTAPI int _WTviewpoint_getframe(WTviewpoint *viewpoint, int eye, float *left, float *right,
                                float *bottom, float *top, float *hither, float *yon);
WTAPI void _WTviewpoint_setframe(WTviewpoint *viewpoint, int eye, float left, float right,
                                 float bottom, float top, float hither, float yon);
WTAPI void WTviewpoint_zoomall(WTviewpoint *viewpoint);

/* ---- Sensors ------------------------------------------------------------------------------------
 * A sensor holds one input device's pose record and its driver functions; the frame loop updates
 * every sensor once per frame before anything moves. */

typedef int (*WTsensoropenfn)(WTsensor *sensor);
typedef void (*WTsensorfn)(WTsensor *sensor);

WTAPI WTsensor *_WTsensor_new(WTsensoropenfn open, WTsensorfn close, WTsensorfn update,
                              void *serial, uint16_t device, int16_t mode);
WTAPI WTsensor *WTsensor_new(WTsensoropenfn open, WTsensorfn close, WTsensorfn update,
                             void *serial, uint16_t device, int16_t mode);
WTAPI void WTsensor_delete(WTsensor *sensor);
WTAPI void WTsensor_setdata(WTsensor *sensor, void *data);
WTAPI void *WTsensor_getdata(WTsensor *sensor);
WTAPI void WTsensor_setname(WTsensor *sensor, const char *name);
WTAPI const char *WTsensor_getname(WTsensor *sensor);
WTAPI void _WTsensor_sethaseventhandlers(WTsensor *sensor, int flag);
WTAPI int _WTsensor_gethaseventhandlers(WTsensor *sensor);
WTAPI WTsensor *WTuniverse_findsensor(const char *name, int n);
WTAPI WTsensor *_WTsensor_next(WTsensor *sensor);
WTAPI void _WTsensor_update(WTsensor *sensor);
WTAPI int WTsensor_rotate(WTsensor *sensor, const WTq q);
WTAPI int _WTsensor_getreference(WTsensor *sensor, WTq q);
WTAPI int _WTsensor_setreference(WTsensor *sensor, const WTq q);
WTAPI int WTsensor_setrecord(WTsensor *sensor, const WTp3 translation, const WTq rotation);
WTAPI int _WTsensor_settranslation(WTsensor *sensor, const WTp3 p);
WTAPI int _WTsensor_setrotation(WTsensor *sensor, const WTq q);
WTAPI int _WTsensor_gettranslation(WTsensor *sensor, WTp3 p);
WTAPI int _WTsensor_getrotation(WTsensor *sensor, WTq q);
WTAPI int _WTsensor_setlastrecord(WTsensor *sensor, const WTp3 translation, const WTq rotation);
WTAPI int _WTsensor_getlastrecord(WTsensor *sensor, WTp3 translation, WTq rotation);
WTAPI int _WTsensor_setlasttranslation(WTsensor *sensor, const WTp3 p);
WTAPI int _WTsensor_setlastrotation(WTsensor *sensor, const WTq q);
WTAPI int _WTsensor_getlasttranslation(WTsensor *sensor, WTp3 p);
WTAPI int _WTsensor_getlastrotation(WTsensor *sensor, WTq q);
WTAPI int _WTsensor_delta(WTsensor *sensor, const WTp3 translation, const WTq rotation,
                          WTp3 outtranslation, WTq outrotation);
WTAPI int _WTsensor_setsensitivity(WTsensor *sensor, float value);
WTAPI float _WTsensor_getsensitivity(WTsensor *sensor);
WTAPI int _WTsensor_setangularrate(WTsensor *sensor, float value);
/* The mouse driver: open gives the sensor its 8-byte raw record; close does nothing; walk is the
 * walk-mode update, turning the raw record into the sensor's motion each frame. */
WTAPI int WTmouse_open(WTsensor *sensor);
WTAPI void WTmouse_close(WTsensor *sensor);
WTAPI void WTmouse_walk(WTsensor *sensor);
/* The raw read (cursor and button bits) alone, and with the record set to rest; the navigation
 * updates; the drag update's carry factor and snapping steps. */
WTAPI void WTmouse_update(WTsensor *sensor);
WTAPI void WTmouse_rawupdate(WTsensor *sensor);
WTAPI void WTmouse_walkupdate(WTsensor *sensor);
WTAPI void WTmouse_moveupdate(WTsensor *sensor);
WTAPI void WTmouse_driveupdate(WTsensor *sensor);
WTAPI void WTmouse_turnupdate(WTsensor *sensor);
WTAPI void WTmouse_dragupdate(WTsensor *sensor);
WTAPI void WTmouse_dragupdatemirrored(WTsensor *sensor);
WTAPI void WTmouse_dragupdatenocarry(WTsensor *sensor);
WTAPI void WTmouse_setdragcarry(float factor);
WTAPI float WTmouse_getdragcarry(void);
WTAPI void WTmouse_setanglestep(float step);
WTAPI float WTmouse_getanglestep(void);
WTAPI void WTmouse_settranslationstep(float step);
WTAPI float WTmouse_gettranslationstep(void);
WTAPI WTwindow *_WTmouse_getwindow(void);
WTAPI int WTmouse_inwindow(WTsensor *sensor, WTwindow *window);
/* Keys typed into toolkit windows, oldest first; 0 when none is waiting. */
WTAPI int WTkeyboard_getkey(void);
WTAPI int WTkeyboard_flush(void);
WTAPI void WTkeyboard_enable(void);
WTAPI void WTkeyboard_disable(void);
WTAPI int WTkeyboard_isenabled(void);
WTAPI float _WTsensor_getangularrate(WTsensor *sensor);
WTAPI int _WTsensor_setupdatefn(WTsensor *sensor, WTsensorfn fn);
WTAPI WTsensorfn _WTsensor_getupdatefn(WTsensor *sensor);
WTAPI int _WTsensor_setmiscdata(WTsensor *sensor, int value);
WTAPI int _WTsensor_getmiscdata(WTsensor *sensor);
WTAPI int _WTsensor_setrawdata(WTsensor *sensor, void *buffer);
WTAPI void *_WTsensor_getrawdata(WTsensor *sensor);
WTAPI int _WTsensor_setrawdata2(WTsensor *sensor, void *buffer);
WTAPI void *_WTsensor_getrawdata2(WTsensor *sensor);
WTAPI void *_WTsensor_getserial(WTsensor *sensor);
WTAPI int _WTsensor_getdevice(WTsensor *sensor);
WTAPI int _WTsensor_getmode(WTsensor *sensor);
WTAPI int _WTsensor_setconstraints(WTsensor *sensor, unsigned char bits);
WTAPI unsigned char _WTsensor_getconstraints(WTsensor *sensor);
/* Closes a sensor's serial-port record (the devices layer). */
void _WTserial_close(void *serial);
/* Hooks of the devices layer: the frame loop's update of the sound devices, closing every sound
 * device, forgetting a deleted viewpoint, and the window procedure's offer of every message to
 * the puck and of the end of a sound's play (message 957) to the sound drivers. */
void _WTsound_updateall(void);
void _WTsound_closeall(void);
void _WTsound_forgetviewpoint(WTviewpoint *viewpoint);
void _WTsound_playdone(uintptr_t wparam, intptr_t lparam);
int _WTspaceball_poll(void *window, unsigned message, uintptr_t wparam, intptr_t lparam);

/* ---- Motion links -------------------------------------------------------------------------------
 * Source types: 0 sensor, 1 path.  Target types: 0 viewpoint, 1 object, 2 light, 3 node, 4 node
 * path, 5 movable node. */

#define WTSOURCE_SENSOR 0
#define WTSOURCE_PATH 1
#define WTTARGET_VIEWPOINT 0
#define WTTARGET_OBJECT 1
#define WTTARGET_LIGHT 2
#define WTTARGET_NODE 3
#define WTTARGET_NODEPATH 4
#define WTTARGET_MOVABLE 5

typedef struct WTnodepath WTnodepath;

WTAPI WTmotionlink *WTmotionlink_new(void *source, void *target, int frame, int targettype);
WTAPI WTmotionlink *_WTmotionlink_create(void *source, void *target, int frame, int sourcetype,
                                         int targettype);
WTAPI WTmotionlink *_WTmotionlink_newsensor(WTsensor *source, void *target, int frame,
                                            int targettype);
WTAPI WTmotionlink *_WTmotionlink_newpath(WTpath *source, void *target, int frame,
                                          int targettype);
WTAPI WTmotionlink *_WTmotionlink_newnodepath(WTnodepath *path, WTsensor *sensor, int frame);
WTAPI int _WTmotionlink_delete(WTmotionlink *link);
/* Deletes every link whose source or target is the object. */
WTAPI int _WTmotionlink_deleteall(void *object);
WTAPI WTmotionlink *_WTmotionlink_next(WTmotionlink *link);
WTAPI int _WTmotionlink_getsource(WTmotionlink *link, void **source, int *type);
WTAPI int _WTmotionlink_gettarget(WTmotionlink *link, void **target, int *type);
WTAPI int _WTmotionlink_getframe(WTmotionlink *link);
WTAPI int _WTmotionlink_getmode(WTmotionlink *link);
WTAPI int _WTmotionlink_setframe(WTmotionlink *link, int frame, const WTq reference);
WTAPI int _WTmotionlink_getreference(WTmotionlink *link, WTq q);
WTAPI int _WTmotionlink_setmode(WTmotionlink *link, int mode);
WTAPI int _WTmotionlink_addconstraint(WTmotionlink *link, int type, float min, float max);
WTAPI int _WTmotionlink_removeconstraint(WTmotionlink *link, int type);
WTAPI int _WTmotionlink_numconstraints(WTmotionlink *link);
WTAPI int _WTmotionlink_enable(WTmotionlink *link, int on);
WTAPI int _WTmotionlink_isenabled(WTmotionlink *link);
WTAPI WTmotionlink *WTviewpoint_addsensor(WTviewpoint *viewpoint, WTsensor *sensor);
WTAPI int _WTviewpoint_removesensor(WTviewpoint *viewpoint, WTsensor *sensor);
WTAPI void _WTmotionlink_setdata(WTmotionlink *link, void *data);
WTAPI void *_WTmotionlink_getdata(WTmotionlink *link);
WTAPI int _WTmotionlink_gettargetpose(WTmotionlink *link, WTpq *pose);
WTAPI int _WTmotionlink_getoffset(WTmotionlink *link, WTpq *pose);
WTAPI float _WTmotionlink_getoffsetz(WTmotionlink *link);
WTAPI void _WTmotionlink_setoffsetz(WTmotionlink *link, float z);
/* One frame of the sensor links, in the frame loop's order. */
WTAPI void _WTmotionlink_runall(void);
/* One frame of a link to a transform node (target type 3). */
WTAPI void _WTnode_sensorupdate(WTmotionlink *link);

/* ---- Movable nodes --------------------------------------------------------------------------- */

WTAPI WTnode *WTmovsepnode_new(WTnode *parent);
WTAPI WTnode *WTmovgeometrynode_new(WTnode *parent, WTgeometry *geometry);
WTAPI WTnode *WTmovswitchnode_new(WTnode *parent);
WTAPI WTnode *WTmovlodnode_new(WTnode *parent);
WTAPI WTnode *_WTmovlightnode_newdirected(WTnode *parent);
WTAPI WTnode *_WTmovlightnode_newpoint(WTnode *parent);
WTAPI WTnode *_WTmovlightnode_newspot(WTnode *parent);
WTAPI WTnode *_WTmovnode_load(WTnode *parent, const char *name, float scale);
WTAPI WTnode *_WTmovnode_instance(WTnode *parent, WTnode *movable);
WTAPI int _WTmovnode_attach(WTnode *movable, WTnode *node, int index);
WTAPI int _WTmovnode_detach(WTnode *movable, int index);
WTAPI int _WTmovnode_deleteattached(WTnode *movable, int index);
WTAPI int _WTmovnode_numattached(WTnode *movable);
WTAPI WTnode *_WTmovnode_getattached(WTnode *movable, int index);
WTAPI int _WTmovnode_setattached(WTnode *movable, const char *text);
WTAPI const char *_WTmovnode_getattachedtext(WTnode *movable);
WTAPI int _WTmovnode_rotateaxis(WTnode *movable, int axis, float degrees);
WTAPI int _WTmovnode_axisrotation(WTnode *movable, int axis, float radians);
WTAPI int _WTmovnode_pointaxis(WTnode *movable, int axis, const WTp3 direction);
WTAPI int _WTmovnode_getcentre(WTnode *movable, WTp3 centre);
WTAPI void _WTmovnode_sensorupdate(WTmotionlink *link);

/* ---- Node paths ---------------------------------------------------------------------------------
 * The chain of links from a root down to one occurrence of a node.  Counting and indexing show only
 * the links a user sees: the inner parts of movables are hidden. */

WTAPI WTnodepath *_WTnodepath_new(WTnode *node, WTnode *root, int n);
WTAPI int _WTnodepath_delete(WTnodepath *path);
WTAPI int _WTnodepath_numnodes(WTnodepath *path);
WTAPI WTnode *_WTnodepath_getnode(WTnodepath *path, int index);
WTAPI int _WTnodepath_gettransformfrom(WTnodepath *path, int start, WTm4 m);
WTAPI int _WTnodepath_gettransform(WTnodepath *path, WTm4 m);
WTAPI int _WTnodepath_getposition(WTnodepath *path, WTp3 p);
WTAPI int _WTnodepath_getorientation(WTnodepath *path, WTq q);
WTAPI int _WTnodepath_getindexes(WTnodepath *path, int *out, int capacity);

/* ---- Poses and reference frames ------------------------------------------------------------------
 * A missing frame is the world; a missing input gives zero, the identity or the identity pose. */

WTAPI void _WTpq_toworld(const WTp3 p, const WTpq *frame, WTp3 out);
WTAPI void _WTq_toworld(const WTq q, const WTpq *frame, WTq out);
WTAPI void _WTpq_pose_toworld(const WTpq *pose, const WTpq *frame, WTpq *out);
WTAPI void _WTpq_tolocal(const WTp3 p, const WTpq *frame, WTp3 out);
WTAPI void _WTq_tolocal(const WTq q, const WTpq *frame, WTq out);
WTAPI void _WTpq_pose_tolocal(const WTpq *pose, const WTpq *frame, WTpq *out);
WTAPI void _WTpq_convert(const WTp3 p, const WTpq *from, const WTpq *to, WTp3 out);
WTAPI void _WTq_convert(const WTq q, const WTpq *from, const WTpq *to, WTq out);
WTAPI void _WTpq_pose_convert(const WTpq *pose, const WTpq *from, const WTpq *to, WTpq *out);
WTAPI void _WTpq_identity(WTpq *pose);
WTAPI void _WTq_inframe(const WTq q, const WTq frame, WTq out);
/* Moves a pose by a delta: frame 0 the pose's own, 1 world axes, 2 the current viewpoint's. */
WTAPI int _WTpq_move(WTpq *pose, const WTpq *delta, int frame);
/* The matrix of a pose under the universe's axis convention, in one shared record. */
WTAPI float (*_WTpq_2m4axes(const WTpq *pose))[4];
WTAPI int _WTpq_viewpoint_getpose(WTviewpoint *viewpoint, const WTpq *frame, WTpq *out);
WTAPI int _WTpq_viewpoint_setpose(WTviewpoint *viewpoint, const WTpq *pose, const WTpq *frame);
WTAPI int _WTpq_viewpoint_translate(WTviewpoint *viewpoint, const WTp3 v, const WTpq *frame);

/* ---- Paths --------------------------------------------------------------------------------------
 * Recorded poses played back through motion links; states 0 idle, 1 recording, 2 playing,
 * 3 single step. */

typedef struct WTpathelement WTpathelement;

WTAPI WTpath *_WTpath_new(WTobject *marker);
WTAPI void WTpath_delete(WTpath *path);
WTAPI void WTpath_setname(WTpath *path, const char *name);
WTAPI const char *WTpath_getname(WTpath *path);
WTAPI void WTpath_setdata(WTpath *path, void *data);
WTAPI void *WTpath_getdata(WTpath *path);
WTAPI void _WTpath_sethaseventhandlers(WTpath *path, int flag);
WTAPI int _WTpath_gethaseventhandlers(WTpath *path);
WTAPI WTpath *WTuniverse_findpath(const char *name, int n);
WTAPI WTpath *_WTpath_next(WTpath *path);
WTAPI int _WTpath_setmarkerobject(WTpath *path, WTobject *object);
WTAPI int _WTpath_setmarkergeometry(WTpath *path, WTgeometry *geometry);
WTAPI WTgeometry *_WTpath_getmarkergeometry(WTpath *path);
WTAPI int _WTpath_getmarkersshown(WTpath *path);
WTAPI int _WTpath_isplaying(WTpath *path);
WTAPI int _WTpath_isrecording(WTpath *path);
WTAPI int _WTpath_attach(WTpath *path, WTobject *target);
WTAPI WTpathelement *_WTpathelement_new(const WTpq *pose);
WTAPI WTpathelement *_WTpathelement_copy(WTpathelement *element);
WTAPI int _WTpath_append(WTpath *path, WTpathelement *element);
WTAPI int _WTpath_insertelement(WTpath *path, WTpathelement *element);
WTAPI int _WTpathelement_delete(WTpathelement *element);
WTAPI int _WTpathelement_unlink(WTpathelement *element);
WTAPI int _WTpathelement_getposition(WTpathelement *element, WTp3 p);
WTAPI int _WTpathelement_setposition(WTpathelement *element, const WTp3 p);
WTAPI int _WTpathelement_getorientation(WTpathelement *element, WTq q);
WTAPI int WTpathelement_setorientation(WTpathelement *element, const WTq q);
WTAPI WTpathelement *_WTpath_getfirstelement(WTpath *path);
WTAPI WTpathelement *_WTpathelement_next(WTpathelement *element);
WTAPI WTpathelement *_WTpath_getcurrentelement(WTpath *path);
WTAPI int _WTpath_numelements(WTpath *path);
WTAPI WTpath *_WTpath_copy(WTpath *path);
WTAPI int _WTpath_record(WTpath *path);
WTAPI int _WTpath_recordone(WTpath *path);
WTAPI int _WTpath_stop(WTpath *path);
WTAPI int _WTpath_play(WTpath *path);
WTAPI int _WTpath_playstep(WTpath *path);
WTAPI int _WTpath_setplaying(WTpath *path, int on);
WTAPI int _WTpath_getplaying(WTpath *path);
WTAPI int _WTpath_setrecording(WTpath *path, int on);
WTAPI int _WTpath_getrecording(WTpath *path);
WTAPI int _WTpath_setloop(WTpath *path, int flags);
WTAPI int _WTpath_getloop(WTpath *path);
WTAPI int _WTpath_setspeed(WTpath *path, int speed);
WTAPI int _WTpath_getspeed(WTpath *path);
WTAPI int _WTpath_setrate(WTpath *path, int rate);
WTAPI int _WTpath_getrate(WTpath *path);
WTAPI int _WTpath_setconstraints(WTpath *path, int bits);
WTAPI int _WTpath_getconstraints(WTpath *path);
WTAPI int _WTpath_setdirection(WTpath *path, int forward);
WTAPI int _WTpath_getdirection(WTpath *path);
WTAPI int _WTpath_setmode(WTpath *path, int mode);
WTAPI int _WTpath_getmode(WTpath *path);
WTAPI int _WTpath_setrecordfrom(WTpath *path, WTviewpoint *viewpoint);
WTAPI WTviewpoint *_WTpath_getrecordfrom(WTpath *path);
WTAPI int _WTpath_seekelement(WTpath *path, int count, int from);
WTAPI int _WTpath_rewind(WTpath *path);
WTAPI int _WTpath_showmarkers(WTpath *path, int on);
/* The current element's pose; false without one. */
WTAPI int _WTpath_setcurrenttranslation(WTpath *path, const WTp3 p);
WTAPI int _WTpath_getcurrenttranslation(WTpath *path, WTp3 p);
WTAPI int _WTpath_setcurrentrotation(WTpath *path, const WTq q);
WTAPI int _WTpath_getcurrentrotation(WTpath *path, WTq q);
WTAPI WTpath *_WTpath_interpolate(WTpath *path, int n, int kind);
WTAPI int _WTpath_save(WTpath *path, const char *filename);
WTAPI WTpath *_WTpath_load(const char *filename, WTnode *node);
/* One frame-loop step of every path. */
WTAPI void _WTpath_stepall(void);

/* ---- Animated sequences ----------------------------------------------------------------------
 * Flip-books of objects loaded from the files "name.0" .. "name.count-1"; one frame is in the
 * scene at a time.  Mode bits: 1 repeat, 2 reverse at the ends.  Direction 1 forward, 0 back. */

typedef struct WTanimseq WTanimseq;

WTAPI WTanimseq *_WTanimseq_new(const char *name, int count, double period, int options, int flags);
WTAPI WTanimseq *_WTanimseq_copy(WTanimseq *seq);
WTAPI int _WTanimseq_start(WTanimseq *seq);
WTAPI int _WTanimseq_restart(WTanimseq *seq);
WTAPI int _WTanimseq_pause(WTanimseq *seq);
WTAPI int _WTanimseq_finish(WTanimseq *seq);
/* Deletes the frames at once; the record is freed by the next frame-loop steps. */
WTAPI int _WTanimseq_delete(WTanimseq *seq);
WTAPI int _WTanimseq_setframe(WTanimseq *seq, int index);
WTAPI int _WTanimseq_setperiod(WTanimseq *seq, double seconds);
WTAPI double _WTanimseq_getperiod(WTanimseq *seq);
WTAPI int _WTanimseq_setdirection(WTanimseq *seq, int direction);
WTAPI int _WTanimseq_getdirection(WTanimseq *seq);
WTAPI int _WTanimseq_setmode(WTanimseq *seq, int mode);
WTAPI int _WTanimseq_getmode(WTanimseq *seq);
WTAPI void _WTanimseq_setdata(WTanimseq *seq, void *data);
WTAPI void *_WTanimseq_getdata(WTanimseq *seq);
WTAPI int _WTanimseq_numframes(WTanimseq *seq);
WTAPI int _WTanimseq_getcurrent(WTanimseq *seq);
WTAPI WTobject *_WTanimseq_getframe(WTanimseq *seq, int index);
WTAPI int _WTanimseq_translate(WTanimseq *seq, const WTp3 v);
WTAPI int _WTanimseq_scale(WTanimseq *seq, float factor);
WTAPI int _WTanimseq_setmark(WTanimseq *seq, unsigned char mark);
WTAPI int _WTanimseq_anymarked(WTanimseq *seq);
WTAPI int _WTanimseq_remove(WTanimseq *seq);
WTAPI WTanimseq *_WTanimseq_next(WTanimseq *seq);
WTAPI void _WTanimseq_step(WTanimseq *seq);
/* The first sequence that is neither paused, stopped nor deleted. */
WTAPI WTanimseq *_WTuniverse_firstanimation(void);

/* ---- Portals -----------------------------------------------------------------------------------
 * A polygon that leads to another universe file when the current viewpoint passes through it. */

typedef struct WTportal WTportal;

WTAPI WTportal *_WTportal_new(WTpoly *poly, const char *name);
WTAPI const char *_WTportal_getname(WTportal *portal);
WTAPI WTpoly *_WTportal_getpoly(WTportal *portal);
WTAPI int _WTportal_enable(WTportal *portal);
WTAPI int _WTportal_disable(WTportal *portal);
WTAPI int _WTportal_isenabled(WTportal *portal);
WTAPI void _WTportal_setdata(WTportal *portal, void *data);
WTAPI void *_WTportal_getdata(WTportal *portal);
WTAPI int _WTpoly_addportal(WTpoly *poly, WTportal *portal);
/* The polygon's own list of portal cells (values are portals), newest first. */
WTAPI WTcell *_WTpoly_getportals(WTpoly *poly);
WTAPI int _WTportal_register(WTportal *portal);
WTAPI void _WTportal_remove(WTportal *portal);
WTAPI WTportal *_WTuniverse_getportals(void);
WTAPI WTportal *_WTportal_next(WTportal *portal);
/* Whether the current viewpoint passed through the portal's polygon during this frame. */
WTAPI int _WTportal_crossed(WTcell *cell);
/* Copies bound to a copied geometry: the copy's polygon is the polygon of target at the source
 * polygon's place in its own geometry. */
WTAPI WTcell *_WTportal_copylist(WTcell *list, WTvertex *source, WTvertex *copied,
                                 WTgeometry *target);
WTAPI WTportal *_WTportal_copy(WTportal *portal, WTvertex *source, WTvertex *copied,
                               WTgeometry *target);

/* ---- Network sharing -------------------------------------------------------------------------
 * Records shared with other running copies in UDP datagrams of at most 512 bytes: "VAV", type
 * 'D', then records {kind 1..255, length - 1, id (16 bits)} with their payload padded to 4 bytes.
 * Kind 1 payloads are bytes, kind 2 16-bit values, other kinds 32-bit values. */

int _WTnet_startup(void);
int _WTnet_open(const char *group, int port, int range);
void _WTnet_close(void);
int _WTnet_isopen(void);
int _WTnet_write(const void *data, int length, int kind, int id);
int _WTnet_writeraw(const void *data, int length, int kind, int id);
void _WTnet_flush(void);
void _WTnet_poll(void);
int _WTnet_peek(int *id, int *length);
int _WTnet_read(void *buffer, int size, int *id, int *length);
int _WTnet_readraw(void *buffer, int size, int *id, int *length);
void _WTnet_skip(void);
int _WTnet_getport(void);
int _WTnet_getrange(void);
/* 1 multicast, 0 broadcast. */
int _WTnet_ismulticast(void);
/* Destination of the flush and the own address, host order. */
uint32_t _WTnet_getdestination(void);
uint32_t _WTnet_getownaddress(void);

/* Datagrams that were dropped, counted by reason. */
typedef enum WTnetdrop {
  WTNETDROP_SIZE = 0,   /* under 4 or over 512 bytes */
  WTNETDROP_TAG = 1,    /* not starting with "VAV" */
  WTNETDROP_TYPE = 2,   /* a type other than 'D' */
  WTNETDROP_RECORD = 3, /* a record of kind 0, or not ending exactly at the datagram's end */
  WTNETDROP_OWN = 4,    /* sent from the own address */
  WTNETDROP_REASONS = 5
} WTnetdrop;
unsigned int _WTnet_getdrops(int reason);
void _WTnet_resetdrops(void);
/* The reason a datagram would be dropped for, or -1 when it is sound. */
int _WTnet_checkdatagram(const void *data, int length);
/* Hands a datagram from the address to the ring as a received one; 1 taken, 0 dropped, -1 kept
 * pending while the ring is full. */
int _WTnet_receive(const void *data, int length, uint32_t from);
/* Empties the ring and the pending datagram. */
void _WTnet_clearring(void);
/* True while a received datagram waits for room in the ring. */
int _WTnet_haspending(void);

/* ---- Start-up options and search paths -------------------------------------------------------- */

typedef int (*WTmainfn)(int argc, char **argv);

WTAPI int _WTopts_parseargs(int *argc, char **argv);
WTAPI int _WTopts_findini(const char *name);
WTAPI const char *_WTenv_models(void);
WTAPI const char *_WTenv_images(void);
/* Runs a console-style main from a Windows entry point; the second form first strips trailing
 * white space from the command line. */
WTAPI int _WTmain_adapter(void *instance, void *previous, char *commandline, int show,
                          WTmainfn fn);
WTAPI int _WTmain_adaptertrim(void *instance, void *previous, char *commandline, int show,
                              WTmainfn fn);

/* ---- Tasks ------------------------------------------------------------------------------------ */

typedef void (*WTtaskfn)(void *object);

WTAPI WTtask *_WTtask_new(void *object, WTtaskfn fn, float priority);
WTAPI int _WTtask_delete(WTtask *task);
WTAPI int _WTtask_disable(WTtask *task);
WTAPI int _WTtask_enable(WTtask *task);
WTAPI float _WTtask_getpriority(WTtask *task);
WTAPI int _WTtask_setpriority(WTtask *task, float priority);
WTAPI WTtaskfn _WTtask_getfunction(WTtask *task);
WTAPI WTtask *_WTtask_get(void *object, int n);
WTAPI WTtask *_WTtask_nextenabled(WTtask *task);
WTAPI int _WTtask_disableall(void *object);
WTAPI int _WTtask_enableall(void *object);
WTAPI int _WTtask_deleteall(void *object);
WTAPI void *_WTtask_getdata(WTtask *task);
WTAPI void _WTtask_setdata(WTtask *task, void *data);
WTAPI void _WTtask_run(void);
WTAPI void _WTtask_clear(void);
/* Hands every task of one object to another, in front of its own (merging objects). */
WTAPI int _WTtask_moveall(void *from, void *to);

/* ---- Ray casts and picking ------------------------------------------------------------------- */

/* The nearest polygon the ray meets below the node; the distance is in units of the direction's
 * length; the node path (null when not wanted) is the caller's to delete. */
WTAPI WTpoly *WTnode_rayintersect(WTnode *node, const WTp3 direction, const WTp3 origin,
                                  float *distance, WTnodepath **path);
/* One polygon in its geometry's frame: 1 on a hit no farther than *distance, which it replaces. */
WTAPI int _WTpoly_rayintersect(WTpoly *poly, const WTp3 origin, const WTp3 direction,
                               float *distance);
/* One polygon reached by a node path from a window's root; direction and origin are turned into
 * the geometry's frame in place. */
WTAPI int WTpoly_rayintersect(WTpoly *poly, WTnodepath *path, WTp3 direction, WTp3 origin,
                              float *distance);
/* The ray through a pixel of the window (client pixels, y down); 0 outside its viewport. */
WTAPI int WTwindow_getray(WTwindow *window, const float *pixel, WTp3 origin, WTp3 direction);
/* The polygon under a point (client pixels, y down) of a system window, with its node path and
 * the point hit. */
WTAPI WTpoly *WTwindow_pickatpoint(void *hwnd, const float *point, WTnodepath **path, WTp3 hit);
WTAPI WTpoly *_WTwindow_pickatscreenpoint(void *hwnd, const float *point);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_WT_H */
