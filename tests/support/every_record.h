// Reads every mesh, material and object motion and the settings of a database. Plain code, so
// that the fuzz target reads a file the way the tests do.
#pragma once

#include "ftk3ds/ftk3ds.h"

namespace ftk3ds_test {

void ReadEveryRecord(Database3ds *db);

}  // namespace ftk3ds_test
