/* OpenFlight databases read through the outside OpenFlight API libraries "MGAPILIB.DLL" and
 * "FLTDATA.DLL": the entries the reader binds and what it passes to them. */
#ifndef VEDRA_TOOLKIT_LOADERS_FLTAPI_H
#define VEDRA_TOOLKIT_LOADERS_FLTAPI_H

#include "toolkit/wt.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A record of the library's database (the database itself is one). */
typedef struct mgrec mgrec;
/* A walk callback: the record and the reader's walk state; returns 1 to go on. */
typedef int (*mgwalkfn)(mgrec *record, void *walk);

/* The entries of "MGAPILIB.DLL", in binding order.  Attribute reads write the value in the
 * attribute's own type (32-bit integers, floats or a 16-bit texture index) through `out`. */
typedef int (*mgInitfn)(int *argc, char **argv);
typedef int (*mgExitfn)(void);
typedef void (*mgSetMessagesEnabledfn)(int kind, int on);
typedef mgrec *(*mgOpenDbfn)(const char *name);
typedef int (*mgGetLastErrorfn)(char *buffer, int size);
typedef int (*mgWalkfn)(mgrec *db, mgwalkfn pre, mgwalkfn post, void *walk, unsigned flags);
typedef int (*mgGetMaterialCountfn)(mgrec *db);
typedef mgrec *(*mgGetFirstMaterialfn)(mgrec *db, int *index);
typedef char *(*mgNameOfMaterialfn)(mgrec *db, int index);
typedef int (*mgGetNormColorfn)(mgrec *record, int code, float *r, float *g, float *b);
typedef int (*mgGetAttListfn)(mgrec *record, int code, void *out);
typedef mgrec *(*mgGetNextMaterialfn)(mgrec *material, int *index);
typedef int (*mgGetCodefn)(mgrec *record);
typedef char *(*mgGetNamefn)(mgrec *record);
typedef mgrec *(*mgGetNestedChildfn)(mgrec *record);
typedef int (*mgIndex2RGBfn)(mgrec *db, int index, float intensity, short *r, short *g, short *b);
typedef int (*mgGetAttBuffn)(mgrec *record, int code, void *out);
typedef char *(*mgGetTextureNamefn)(mgrec *db, int index);
typedef void (*mgFreefn)(void *block);
typedef mgrec *(*mgGetChildfn)(mgrec *record);
typedef int (*mgGetIcoordfn)(mgrec *record, int code, double *x, double *y, double *z);
typedef mgrec *(*mgGetNextfn)(mgrec *record);
typedef int (*mgGetVtxNormalfn)(mgrec *vertex, float *x, float *y, float *z);
typedef mgrec *(*mgGetLightSourcefn)(mgrec *db, int index);
typedef int (*mgGetColorRGBAfn)(mgrec *record, int code, float *r, float *g, float *b, float *a);
typedef int (*mgIsInstancefn)(mgrec *record);
typedef mgrec *(*mgGetReferencefn)(mgrec *record);
typedef int (*mgGetMatrixfn)(mgrec *record, int code, double *matrix);

/* Binds both libraries by name (called at every graphics start).  A library, entry or table
 * that is missing leaves the reader unbound. */
void _WTflt_bind(void);
/* The same from the named files. */
void _WTflt_bindfrom(const char *api, const char *data);
int _WTflt_isbound(void);
/* The database's tree under a movable separator named with the file name, under the parent;
 * null when the libraries are missing or the database cannot be opened. */
WTnode *_WTnode_loadflt(WTnode *parent, const char *name, float scale);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_LOADERS_FLTAPI_H */
