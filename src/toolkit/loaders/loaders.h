// Inside the model-file loaders: the hook through which tests see every file the loaders open.
#pragma once

#include "toolkit/wt.h"

extern "C" {
// Replaces the function behind _WTfile_open (null restores it); returns the one it replaced.
typedef FILE *(*WTopenhook)(const char *path, const char *mode);
WTopenhook _WTfile_setopenhook(WTopenhook fn);
}

// ---- The end of a model read (readlists.cpp) -------------------------------------------------

// Closes the geometries of a read: each takes the table first when one is given (a close that
// deletes its geometry then only detaches it, and the table goes with the last geometry that
// leaves it); those whose close fails are unlinked.  Returns the geometries left.
WTgeomlist *_WTread_closeall(WTgeomlist *list, WTmtable *table);

// One object per geometry of the list (principal axes when `principal` is set), not yet in the
// scene, in the list's order or the reverse; the list is freed, the geometries are the objects'.
enum class WTreadorder { kept, reversed };
WTcell *_WTread_makeobjects(WTgeomlist *list, int principal, WTreadorder order);
