/* Wavefront OBJ files with their MTL material files and map libraries. */
#ifndef VEDRA_TOOLKIT_LOADERS_WFRONT_H
#define VEDRA_TOOLKIT_LOADERS_WFRONT_H

#include <stdio.h>

#include "toolkit/wt.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The one closed geometry of the open stream (left open), or null: no "v" line, a line error,
 * or a geometry that does not close.  `name` is for messages. */
WTgeometry *_WTwfront_read_geometry(FILE *stream, const char *name, float scale);
/* The same geometry wrapped as an object (principal axes when `principal` is set), not yet in
 * the scene; null when nothing was read. */
WTobject *_WTwfront_read_object(FILE *stream, const char *name, float scale, int principal);
/* A material table with one entry a "newmtl" block, found along "WTMODELS"; the materials go to
 * the front of the reader's material list.  Null, with a warning, when the file cannot be read
 * or names no material. */
WTmtable *_WTwfront_read_mtllib(const char *name);
/* The maps of a map library, found along "WTMODELS", to the front of the reader's map list. */
void _WTwfront_read_maplib(const char *name);
/* Empties the material and map lists (each geometry read starts and ends with empty lists). */
void _WTwfront_freelists(void);
/* The texture the list gives a material or map name, or null when the name is not listed. */
const char *_WTwfront_materialtexture(const char *name);
const char *_WTwfront_maptexture(const char *name);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_LOADERS_WFRONT_H */
