// Model files by type: the readers and writers that the model-file loaders enter in one table
// when the universe starts.  The scene graph, the objects and the geometries reach the loaders
// only through it.
#pragma once

#include <stdio.h>

#include "toolkit/core/filetypes.h"
#include "toolkit/wt.h"

// What the loaders do with one file type; null where they do nothing.  Streams are left open.
struct WTfilekind {
  // The file's objects, the first read first, not yet in the scene: `join` makes one object of
  // the file's geometries where the format leaves that choice to the caller, `principal` gives
  // the objects principal axes, and the file's viewer pose goes to *pose (may be null) where the
  // format has one.
  WTcell *(*readobjects)(FILE *stream, const char *name, WTpq *pose, float scale, int join,
                         int principal);
  // The file's closed geometries; `join` makes one geometry of them.
  WTgeomlist *(*readgeometries)(FILE *stream, const char *name, WTpq *pose, float scale,
                                int join);
  // Writers, true when every write succeeded; the pose is the viewer's where the format keeps
  // one.
  int (*writeobject)(FILE *stream, WTobject *object, const WTpq *pose);
  int (*writeobjects)(FILE *stream, WTcell *objects);
  int (*writegeometry)(FILE *stream, WTgeometry *geometry, const WTpq *pose);
  // The nodes of a file (a path, or an address where the format fetches one) under the parent:
  // the first of them, or null.
  WTnode *(*loadnode)(WTnode *parent, const char *path, float scale);
  int (*savenode)(WTnode *node, FILE *stream, WTviewpoint *viewpoint, int flags);
};

struct WTfiletable {
  WTfilekind kinds[WTFILE_JT + 1];  // by file-type code
  // Looks up the outside libraries of the readers again, at every graphics start.
  void (*bindlibraries)(void);
  // Frees what the readers keep between reads, when the universe ends.
  void (*cleanup)(void);
};

// Enters the readers and writers: defined by the model-file loaders.
void _WTloaders_filltable(WTfiletable *table);

// Fills the table from the loaders (as the universe starts; again changes nothing).
void _WTfiletable_fill(void);
// What the loaders do with the type: every entry null for a type they do not read or write.
const WTfilekind *_WTfiletable_kind(int type);
void _WTfiletable_bindlibraries(void);
void _WTfiletable_cleanup(void);
