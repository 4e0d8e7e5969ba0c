/* GEO files ("3DG1": vertices and palette-coloured polygons) and SLP files ("solid": facets with
 * normals and colours). */
#ifndef VEDRA_TOOLKIT_LOADERS_GEOSLP_H
#define VEDRA_TOOLKIT_LOADERS_GEOSLP_H

#include <stdio.h>

#include "toolkit/wt.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The 12-bit colour (0xRGB) of a GEO colour number. */
int _WTgeo_color(int number);
/* The closed geometry of an open GEO stream (left open for the caller to close), or null when
 * it holds no polygon. */
WTgeometry *_WTgeo_read_geometry(FILE *stream, float scale);
WTobject *_WTgeo_read_object(FILE *stream, float scale, int principal);
/* The closed geometries of an open SLP stream (left open) in file order, or null. */
WTgeomlist *_WTslp_read_geometries(FILE *stream, const char *name, float scale);
/* The same geometries as objects, newest first; not yet in the scene. */
WTcell *_WTslp_read_objects(FILE *stream, const char *name, float scale, int principal);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_LOADERS_GEOSLP_H */
