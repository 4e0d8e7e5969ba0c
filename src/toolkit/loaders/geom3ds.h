/* 3D Studio files into toolkit geometry: one material table for the file, one geometry per
 * triangle mesh. */
#ifndef VEDRA_TOOLKIT_LOADERS_GEOM3DS_H
#define VEDRA_TOOLKIT_LOADERS_GEOM3DS_H

#include <stdio.h>

#include "toolkit/loaders/read3ds.h"
#include "toolkit/wt.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The file's material table: one entry per material in list order, the default material last;
 * each material's index becomes its entry number. */
WTmtable *_WT3ds_makemtable(_WT3dsMaterial *materials);
/* The geometry of one mesh, still open (the caller closes it), or null with a warning for a mesh
 * without faces or vertices.  Smoothing splits rewrite the mesh's vertices and corners. */
WTgeometry *_WT3ds_makegeometry(_WT3dsTriObject *mesh, float scale);
/* Every mesh of the open stream as a closed geometry, the file's last mesh first, all sharing one
 * material table; joined into one geometry when `join` is set and there are several.  Null,
 * with a warning, when the file cannot be read or holds no readable mesh.  `name` is for
 * messages; the stream is left open. */
WTgeomlist *_WT3ds_read_geometries(FILE *stream, const char *name, float scale, int join);
/* The same geometries each wrapped as an object (principal axes when `principal` is set), the
 * file's first mesh first; the objects are not added to the scene.  Null when nothing was read. */
WTcell *_WT3ds_read_objects(FILE *stream, const char *name, float scale, int join, int principal);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_LOADERS_GEOM3DS_H */
