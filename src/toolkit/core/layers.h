// Services of the toolkit layers above the core that the core calls: the object layer
// (src/toolkit/geometry/objects.h has all of its calls) and the built-in property tables of
// nodes, viewpoints, windows, sensors and paths.
#pragma once

#include "toolkit/wt.h"

struct WTpathelement;

extern "C" {

// ---- Object layer ------------------------------------------------------------------------------

WTobjgroup *_WTobject_getgroup(WTobject *object);
void _WTobject_setgroup(WTobject *object, WTobjgroup *group);
// Every object of a file as a list of cells (owned by the caller), or null.
WTcell *_WTobject_loadmultiple(const char *name, float scale, int principal, int readerflag);
// Writes the objects of the list; false on failure.
int _WTobject_save(WTcell *list, const char *path, int type);
int _WTobject_numpolys(WTobject *object);
void _WTobject_destroy(WTobject *object);
// Moves the vertex lists and polygons of other's geometry (the polygons re-pointed to the
// target's geometry) in front of the target's.
void _WTobject_mergeinto(WTobject *target, WTobject *other);
// After a merge: every polygon of the target points back to it, its polygon count is recounted
// and its axes are computed again (principal axes with the flag).
void _WTobject_finishmerge(WTobject *target, int flag);

// Pose access and scene membership of objects.
int _WTobject_getposition(WTobject *object, WTp3 p);
int _WTobject_getorientation(WTobject *object, WTq q);
int _WTobject_setposition(WTobject *object, const WTp3 p);
int WTobject_setorientation(WTobject *object, const WTq q);
int _WTobject_setpose(WTobject *object, const WTpq *pose);
WTobject *_WTobject_copy(WTobject *object);
void _WTobject_delete(WTobject *object);
int _WTobject_remove(WTobject *object);
int _WTobject_addtoscene(WTobject *object);
// Loading, moving and marking the frame objects of animated sequences.  _WTobject_move moves by
// a vector in frame 0 own, 1 world, 2 viewpoint axes.
WTobject *_WTobject_load(const char *name, WTpq *pose, float scale, int principal, int flag);
int _WTobject_move(WTobject *object, const WTp3 v, short frame);
int _WTobject_scale(WTobject *object, float factor, const WTp3 centre);
int _WTobject_setmark(WTobject *object, unsigned char mark);
unsigned char _WTobject_getmark(WTobject *object);
// The sequence that owns the object as one of its frames (null: none).
int _WTobject_setsequence(WTobject *object, WTanimseq *seq);
// The path element whose marker the object is.
void _WTobject_setpathelement(WTobject *object, WTpathelement *element);
// The matrix that takes the object's stored vertices to the world (row vectors).
void _WTobject_getmatrix(WTobject *object, WTm4 out);
WTgeometry *_WTobject_getgeometry(WTobject *object);
// One frame of a motion link that drives an object, in the link's reference frame.
void _WTobject_motionupdate(WTobject *object, WTmotionlink *link, int frame);
}

extern "C" {

// ---- Built-in property tables (proptables.cpp) -------------------------------------------------

// Builds the tables of the five classes once and binds their setters and getters by name.
void _WTpropertytable_init(void);
// Stores a row's setter and getter; 0 when either is missing, 1 for a class above the path's.
int _WTpropertytable_bind(int c, int index, void *setter, void *getter);
// Row of the name through the class hash, -1 when absent.
int _WTpropertytable_lookup(void *object, const char *name);
// Column 0 name, 1 type, 2 setter, 3 getter of a row; null outside the table.
void *_WTpropertytable_cell(void *object, int row, int column);
// The setter of a built-in property and its row; 0 when there is none.
int _WTpropertytable_getsetter(void *object, const char *name, void **setter, int *index);

// Row of the name in the object's class table when the stored name equals it exactly, else -1.
int _WTpropertytable_index(void *object, const char *name);
// Type of the built-in property, WTNOTYPE when there is none.
int _WTpropertytable_gettype(void *object, const char *name);
// Sets a built-in property from a value (numbers by address, texts and pointers themselves);
// the setter runs the handlers itself.
int _WTproperty_setbuiltin(void *object, const char *name, const void *value);
int _WTproperty_setbuiltinfromvalue(void *object, const char *name, const WTvalue *record);
// Reads a built-in property: numbers into out, texts and pointers as a pointer word.
int _WTproperty_getbuiltin(void *object, const char *name, void *out);
// Number of built-in names the object lists, and the i-th of them.
int _WTproperty_numbuiltin(void *object);
const char *_WTproperty_builtinname(void *object, int index);
}
