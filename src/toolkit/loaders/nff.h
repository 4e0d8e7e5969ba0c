// The toolkit's NFF text model format: reader (nffread.cpp) and writers (nffwrite.cpp).
#pragma once

#include <stdio.h>

#include "toolkit/geometry/geometry.h"
#include "toolkit/wt.h"

#include <string>
#include <vector>

// A polygon's looks as both NFF forms give them: texture token (style letter, separator, name),
// placement, tint and portal names.
struct WTnfflook {
  float rotation = 0, scale = 1, offset[2] = {0, 0};
  bool mirror = false, tint = false;
  std::string texture;
  std::vector<std::string> portals;
};
// Gives the polygon its texture: with explicit coordinates when u and v are given (the placement
// is then not applied), otherwise projected and placed.
void _WTnff_settexture(WTpoly *poly, const WTnfflook &look, const float *u, const float *v);

extern "C" {
// Geometries of the open text stream (left open), or null.  Portals made for "-name" polygon
// attributes are pushed on *portals when it is given.
WTgeomlist *_WTnff_read_geometries(FILE *stream, const char *name, WTpq *pose, float scale,
                                   int join, WTcell **portals);
WTcell *_WTnff_read_objects(FILE *stream, const char *name, WTpq *pose, float scale, int join,
                            WTcell **portals, int flag);
// One object per geometry of a read (the list is freed); the read's portals are attached to their
// polygons and handed to *portals when given, else freed.
WTcell *_WTnff_makeobjects(WTgeomlist *list, WTcell *made, WTcell **portals, int flag);
int _WTnff_write_geometry(FILE *stream, WTgeometry *geometry, const WTpq *viewpoint);
int _WTnff_write_object(FILE *stream, WTobject *object, const WTpq *viewpoint);
int _WTnff_write_objects(FILE *stream, WTcell *objects);
int _WTnff_write_geometries(FILE *stream, WTgeomlist *geometries);
int _WTnff_write_universe(FILE *stream);
uint32_t _WTcolor_pack12(uint32_t rgb);

// Binary NFF (bnff.cpp).
WTgeomlist *_WTbff_read_geometries(FILE *stream, const char *name, WTpq *pose, float scale,
                                   int join, WTcell **portals);
WTcell *_WTbff_read_objects(FILE *stream, const char *name, WTpq *pose, float scale, int join,
                            WTcell **portals, int flag);
int _WTbff_write_geometry(FILE *stream, WTgeometry *geometry);
int _WTbff_write_object(FILE *stream, WTobject *object);
int _WTbff_write_objects(FILE *stream, WTcell *objects);
int _WTbff_write_universe(FILE *stream);
uint32_t _WTcolor_unpack12(uint32_t rgb);
}
