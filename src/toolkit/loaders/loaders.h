// Inside the model-file loaders: the hook through which tests see every file the loaders open.
#pragma once

#include "toolkit/wt.h"

extern "C" {
// Replaces the function behind _WTfile_open (null restores it); returns the one it replaced.
typedef FILE *(*WTopenhook)(const char *path, const char *mode);
WTopenhook _WTfile_setopenhook(WTopenhook fn);
}
