// Names of the file-type codes that _WTfile_gettype gives (its declarations are in wt.h).
#pragma once

#include "toolkit/wt.h"

extern "C" {

// File-type codes.
enum {
  WTFILE_NONE = 0,
  WTFILE_DXF = 1,
  WTFILE_NFF = 2,
  WTFILE_WFRONT = 4,
  WTFILE_GEO = 5,
  WTFILE_OLDBINARY1 = 6,
  WTFILE_OLDBINARY2 = 7,
  WTFILE_FLT = 8,
  WTFILE_3DS = 9,
  WTFILE_BFF = 11,
  WTFILE_SLP = 12,
  WTFILE_MAT = 13,
  WTFILE_VRML1 = 14,
  WTFILE_LIGHTS = 15,
  WTFILE_WBDF = 16,
  WTFILE_VRML2 = 17,
  WTFILE_JT = 18
};

}
