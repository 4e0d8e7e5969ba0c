/* 3D Studio files: the chunk reader's scene record.
 *
 * _WT3ds_read walks a .3ds file's chunk tree once and collects materials, triangle meshes,
 * lights, cameras and scene settings.  Lists are newest first; the default material (empty name,
 * index 0) is always the last material.  One read runs at a time: the reader keeps its state in
 * one module-level record. */
#ifndef VEDRA_TOOLKIT_LOADERS_READ3DS_H
#define VEDRA_TOOLKIT_LOADERS_READ3DS_H

#include <stdint.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Read results. */
#define WT3DS_OK 0
#define WT3DS_NOMEMORY 2
#define WT3DS_UNREADABLE 33

/* Name buffers: 11, 15 and 19 characters and the NUL; longer names are cut. */
#define WT3DS_OBJNAME 12
#define WT3DS_MAPNAME 16
#define WT3DS_MATNAME 20

/* Map slots of a material. */
enum { WT3DS_TEXTUREMAP, WT3DS_OPACITYMAP, WT3DS_REFLECTIONMAP, WT3DS_BUMPMAP, WT3DS_MAPS };

typedef struct _WT3dsMap {
  float strength; /* the map's percentage, 0..1 */
  char name[WT3DS_MAPNAME];
} _WT3dsMap;

typedef struct _WT3dsMaterial {
  uint32_t index; /* 0 for the default material, others from 1 in file order */
  char name[WT3DS_MATNAME];
  float ambient[3]; /* a first component of -1 means not given */
  float diffuse[3];
  float specular[3];
  float transparency;  /* 0..1 */
  float shininess;     /* 0..128, -1 not given */
  float strength;      /* shininess strength, 0..1 */
  uint32_t shading;
  uint32_t twosided;
  _WT3dsMap maps[WT3DS_MAPS]; /* texture, opacity, reflection, bump */
  struct _WT3dsMaterial *next;
  uint32_t additive;
  uint32_t decal;
  uint32_t selfillum;
  float selfillumpct;
  float reflectblur;
  uint32_t usereflectblur;
} _WT3dsMaterial;

typedef struct _WT3dsTriObject {
  char name[WT3DS_OBJNAME];
  float axes[4][4]; /* file row i is column i; bottom row 0 0 0 1 */
  uint32_t nverts;
  uint32_t nfaces;
  float (*verts)[3];              /* as in the file */
  uint32_t (*faces)[3];           /* corners a, b, c, each below nverts */
  uint32_t *faceflags;            /* the file's flags AND 7 */
  _WT3dsMaterial **facemats;      /* per face; null without a material group */
  uint32_t *smoothing;            /* group mask per face; null without smoothing */
  float (*uv)[2];                 /* per vertex; null without texture coordinates */
  uint32_t nocast;
  uint32_t hidden;
  struct _WT3dsTriObject *next;
} _WT3dsTriObject;

typedef struct _WT3dsLight {
  uint32_t number; /* from 0 in file order */
  char name[WT3DS_OBJNAME];
  float position[3];
  float colour[3];
  uint32_t off;
  uint32_t spot;
  float target[3];
  float hotspot;
  float falloff;
  uint32_t shadows;
  uint32_t castshadows;
  struct _WT3dsLight *next;
} _WT3dsLight;

typedef struct _WT3dsCamera {
  uint32_t kind; /* always 8 */
  char name[WT3DS_OBJNAME];
  float position[3];
  float target[3];
  float bank;
  float lens;
  struct _WT3dsCamera *next;
} _WT3dsCamera;

typedef struct _WT3dsData {
  _WT3dsMaterial *materials;
  float ambient[3];
  /* background */
  uint32_t solidkind; /* 16 once a solid colour is read */
  float solid[3];
  uint32_t usesolid;
  float gradientmid;
  float gradient[3][3];
  uint32_t usegradient;
  char bitmap[WT3DS_MAPNAME];
  uint32_t usebitmap;
  /* fog */
  float fognear, fogfar, fogneardensity, fogfardensity;
  float fogcolour[3];
  uint32_t usefog;
  uint32_t fogbackground;
  /* distance cue */
  float cuenear, cuefar, cueneardim, cuefardim;
  uint32_t usecue;
  uint32_t cuebackground;
  /* default view */
  uint32_t viewkind; /* 8 by default */
  char viewcamera[WT3DS_OBJNAME];
  _WT3dsCamera *cameras;
  uint16_t viewkindcopy;
  float viewtarget[3];
  float viewwidth;
  float viewangles[3];
  _WT3dsLight *lights;
  /* shadows */
  float lowbias, highbias;
  uint16_t samples, range, mapsize; /* map size 256 by default */
  _WT3dsTriObject *meshes;
} _WT3dsData;

/* Reads the chunk that begins at the stream's position (it holds the whole file) into a new
 * scene record, handed out through `out` as soon as it exists, also when the read fails.
 * Returns WT3DS_OK, or WT3DS_UNREADABLE for anything that is not a sound 3D Studio file. */
int _WT3ds_read(FILE *stream, _WT3dsData **out);
/* Reads one chunk at the stream's position, with its subchunks, into the record being read. */
int _WT3ds_readchunk(void);
/* The first material in list order named exactly `name`, or null. */
_WT3dsMaterial *_WT3ds_findmaterial(const char *name, _WT3dsMaterial *list);
void _WT3ds_free(_WT3dsData *data);
/* Zeroed memory for count elements; the program ends when memory runs out. */
void *_WT3ds_calloc(size_t size, size_t count);

/* The scene of an open file, or null with the warning "Unable to parse 3D Studio file '%s'"
 * (name) when it cannot be read. */
_WT3dsData *_WT3ds_readscene(FILE *stream, const char *name);

#ifdef __cplusplus
}
#endif

#endif /* VEDRA_TOOLKIT_LOADERS_READ3DS_H */
