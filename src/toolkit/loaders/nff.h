// The toolkit's NFF text model format: reader (nffread.cpp) and writers (nffwrite.cpp).
#pragma once

#include <stdio.h>

#include "toolkit/geometry/geometry.h"
#include "toolkit/wt.h"

extern "C" {
// Geometries of the open text stream (left open), or null.  Portals made for "-name" polygon
// attributes are pushed on *portals when it is given.
WTgeomlist *_WTnff_read_geometries(FILE *stream, const char *name, WTpq *pose, float scale,
                                   int join, WTcell **portals);
WTcell *_WTnff_read_objects(FILE *stream, const char *name, WTpq *pose, float scale, int join,
                            WTcell **portals, int flag);
int _WTnff_write_geometry(FILE *stream, WTgeometry *geometry, const WTpq *viewpoint);
int _WTnff_write_object(FILE *stream, WTobject *object, const WTpq *viewpoint);
int _WTnff_write_objects(FILE *stream, WTcell *objects);
int _WTnff_write_geometries(FILE *stream, WTgeomlist *geometries);
int _WTnff_write_universe(FILE *stream);
uint32_t _WTcolor_pack12(uint32_t rgb);
uint32_t _WTcolor_unpack12(uint32_t rgb);
}
