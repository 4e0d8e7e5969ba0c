/* 3D Studio files: the steps from the scene record to toolkit geometry that need no toolkit
 * object: smoothing splits and normals, the material table's layout, positions in the toolkit's
 * axes, and what each face's polygon carries. */
#ifndef VEDRA_TOOLKIT_LOADERS_BUILD3DS_H
#define VEDRA_TOOLKIT_LOADERS_BUILD3DS_H

#include "toolkit/loaders/read3ds.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef float _WT3dsNormal[3];

/* One normal per face: (C - B) x (A - B) of the file's positions, times 20, not normalised. */
_WT3dsNormal *_WT3ds_facenormals(const _WT3dsTriObject *mesh);
/* Splits every vertex shared by faces of no common smoothing group into one copy per set of
 * faces that share a group (faces in no group get copies of their own where they meet smoothed
 * ones), rewriting the mesh's vertex count, positions, texture coordinates and corners.  Returns
 * one summed, unnormalised normal per vertex; free it with _WTmem_free. */
_WT3dsNormal *_WT3ds_smoothnormals(_WT3dsTriObject *mesh);

/* Material table properties. */
#define WT3DS_AMBIENT 1u
#define WT3DS_DIFFUSE 2u
#define WT3DS_SPECULAR 4u
#define WT3DS_SHININESS 8u
#define WT3DS_OPACITY 64u
#define WT3DS_FILLER (-12345.6f) /* the unused components of shininess and opacity */

typedef struct _WT3dsTableEntry {
  unsigned int given; /* the properties written into this entry */
  float ambient[3];
  float diffuse[3];
  float specular[3];  /* times the shininess strength */
  float shininess[3]; /* shininess, filler, filler */
  float opacity[3];   /* 1 - transparency, filler, filler */
} _WT3dsTableEntry;

typedef struct _WT3dsTableLayout {
  unsigned int mask; /* properties of the table */
  unsigned int count;
  _WT3dsTableEntry *entries; /* entry i for the i-th material of the list */
} _WT3dsTableLayout;

/* The file's material table: one entry per material in list order (the default material last);
 * each material's index becomes its entry number.  Free with _WT3ds_freelayout. */
_WT3dsTableLayout *_WT3ds_tablelayout(_WT3dsMaterial *materials);
void _WT3ds_freelayout(_WT3dsTableLayout *layout);

/* A file position or normal in the toolkit's axes: (x, y, z) becomes (x, -z, y) unless old3ds. */
void _WT3ds_toaxes(const float in[3], int old3ds, float out[3]);
/* A vertex position: in the toolkit's axes, times the scale unless it is exactly 1. */
void _WT3ds_position(const float in[3], int old3ds, float scale, float out[3]);
/* A vertex normal, normalised, in the toolkit's axes; 0 (nothing set) when its length is 0.004
 * or less. */
int _WT3ds_vertexnormal(const float in[3], int old3ds, float out[3]);
/* The geometry name of a mesh: blanks become underscores. */
void _WT3ds_geometryname(const char *mesh, char out[WT3DS_OBJNAME]);
/* The name tried when a texture does not load: an extension beginning .gif, .tif or .cel (in
 * either all lower or all upper case) after the last backslash becomes .tga.  0 when the name has
 * no such extension or the result does not fit. */
int _WT3ds_tganame(const char *name, char *out, size_t size);

/* What the polygon of one face carries. */
typedef struct _WT3dsFaceLook {
  uint32_t corners[3]; /* polygon order: a, b, c, the file's winding */
  int hasmaterial;     /* the mesh has per-face materials; nothing below is set otherwise */
  int twosided;
  int hascolour;       /* the material gives a diffuse colour */
  unsigned char rgb[3];
  uint32_t id;         /* the material's table entry */
  int textured;        /* a texture map name and texture coordinates */
  const char *texture; /* the material's texture map name */
  float u[3], v[3];    /* of corners a, b, c */
  int shaded;
  int transparent;
  int uvflag;          /* texture map strength below 0.5 */
} _WT3dsFaceLook;

void _WT3ds_facelook(const _WT3dsTriObject *mesh, uint32_t face, int old3ds, _WT3dsFaceLook *look);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_LOADERS_BUILD3DS_H */
