// Inside the toolkit: the geometry, polygon and vertex records and the calls the geometry files
// share with each other, with the scene graph and with the tests.
#pragma once

#include "toolkit/wt.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/images.h"
#include "toolkit/render/mtable.h"

extern "C" {

// ---- Records -------------------------------------------------------------------------------

// Vertex flags.
enum { WTV_USED = 1, WTV_MATID = 4, WTV_MOVED = 16, WTV_SMOOTH = 128 };
// Polygon flags.
enum {
  WTP_TWOSIDED = 1,
  WTP_NORMALFIXED = 2,
  WTP_CONVEX = 16,
  WTP_FOLLOWOBJECT = 64,
  WTP_DEGENERATE = 0x100
};
// Polygon render flags.
enum { WTR_VNORMALS = 1, WTR_VMATIDS = 2, WTR_RENDERED = 4, WTR_INVISIBLE = 8 };

struct WTvertex {
  WTvertex *next;
  float *normal; // owned; null = none
  WTp3 position;
  int32_t matid;
  uint8_t flags;
  uint8_t tag;
};

struct WTvertexlink {
  WTvertex *vertex;
  WTvertexlink *next;
};

struct WTpoly {
  WTtextureref *texture;
  WTp3 normal;
  WTp3 normal2;
  WTgeometry *geometry;
  WTp3 centre;
  WTp3 centre2;
  float radius;
  float d; // plane distance: normal . centre
  WTvertexlink *links;
  WTpoly *next;
  int32_t matid;
  int16_t id;
  uint16_t flags;
  uint8_t rflags;
  uint8_t sset;
  int16_t nverts;
  uint32_t serial; // printed in messages in place of the address
};

typedef void (*WTgeomdrawfn)(WTgeometry *geometry, WTgeometry *same, void *state);
typedef void (*WTgeomdeletefn)(WTgeometry *geometry, WTgeometry *same);

struct WTgeometry {
  WTnode *node;
  WTobject *object;
  WTmtable *mtable;
  WTgeomdrawfn draw;
  WTgeomdeletefn deletefn;
  uintptr_t dlista, dlistb;
  void *render;
  uint32_t compiled;
  WTvertex *vertices;
  WTvertex *vcopy;
  WTvertex *vtail;
  int32_t ngroups;
  uint32_t *groupflags;
  int32_t *groupcounts;
  char *name;
  WTp3 half;
  WTp3 mid;
  float radius;
  uint8_t editopen;
  uint8_t vchanged;
  uint8_t stylemask;
  uint8_t stylevalue;
  int32_t ownspolys;
  int32_t npolys;
  int32_t refcount;
  WTpoly *polys;
  WTgeometry *nextgeom;
};

struct WTpolylist {
  WTpoly *poly;
  WTpolylist *next;
};

struct WTvertexlist {
  WTvertex *vertex;
  WTvertexlist *next;
};

struct WTgeomlist {
  WTgeometry *geometry;
  WTgeomlist *next;
};

// A polygon's texture reference: one (u, v) pair per vertex when its coordinates are set.
struct WTtextureref {
  char *name;
  void *texture;
  float rotation;
  float scale;
  float offsetu, offsetv;
  float *u, *v;
  int16_t uvcount;
  uint8_t mirrored;
  uint8_t style[3];
  uint8_t coordsset;
  uint8_t spare;
};

// The name a reference's texture goes by: its cache entry's name, else its own.
const char *_WTtexture_refname(WTtextureref *ref);

// ---- Records and lists (records.cpp) -----------------------------------------------------

WTgeometry *_WTgeometry_new(WTobject *owner);
WTpoly *_WTpoly_new(WTgeometry *geometry);
WTvertex *_WTvertex_new(void);
WTvertex *_WTvertex_newat(const WTp3 position);
int _WTvertex_setnormal(WTvertex *vertex, const WTp3 normal);
int _WTvertex_getnormal(WTvertex *vertex, WTp3 out);
int _WTvertex_delete(WTvertex *vertex);
// A new vertex with the position, normal, material id and tag of the given one (flags clear,
// next null).
WTvertex *_WTvertex_copy(const WTvertex *vertex);
WTvertex *_WTvertex_copylist(WTvertex *first);
// Deletes the vertices of a chain from first on.
void _WTvertex_deletelist(WTvertex *first);
void _WTpoly_del(WTpoly *poly);
WTpoly *_WTpoly_listcopy(WTpoly *polys, WTvertex *source, WTvertex *target, WTgeometry *geometry,
                         WTpolylist *filter, int firstonly, int tableswitch, int copytextures);
int _WTgeometry_modifiable(WTgeometry *geometry);
WTnode *_WTgeometry_getnode(WTgeometry *geometry);
WTvertexlink *_WTvertexlinks_reverse(WTvertexlink *head);
WTvertexlink *_WTvertexlink_new(WTvertex *vertex, WTvertexlink *next);
void _WTvertexlinks_free(WTvertexlink *head);
// The object whose pose moves positions read by WTvertex_getposition (null = none).
void _WTvertex_setcurrentobject(WTobject *object);

WTgeomlist *_WTgeomlist_add(WTgeomlist *list, WTgeometry *geometry);
void _WTgeomlist_delete(WTgeomlist *list);
WTgeomlist *_WTgeomlist_append(WTgeomlist *first, WTgeomlist *second);
int _WTgeomlist_glom(WTgeomlist *list);

WTvertexlist *_WTvertexlist_new(void);
WTvertexlist *_WTvertexlist_add(WTvertexlist *list, WTvertex *vertex);
int _WTvertexlist_contains(WTvertexlist *list, WTvertex *vertex);
int _WTvertexlist_count(WTvertexlist *list);
void _WTvertexlist_delete(WTvertexlist *list);
WTvertexlist *_WTvertexlist_copy(WTvertexlist *list);
WTvertexlist *_WTvertexlist_reverse(WTvertexlist *list);
WTvertexlist *_WTvertexlist_addpoly(WTvertexlist *list, WTpoly *poly);
WTvertexlist *_WTvertexlist_nth(WTvertexlist *list, int n);
void _WTvertexlist_midpoint(WTvertexlist *list, WTp3 out);
float _WTvertexlist_radius(WTvertexlist *list);

// ---- Convexity and triangulation (convex.cpp) ----------------------------------------------

int _WTpoly_convex(WTpoly *poly);
void _WTpoly_makeconvex(WTpoly *poly);
void _WTpoly_split(WTpoly *poly);
int _WTpoly_diagonalok(WTpoly *poly, WTvertexlink *a, WTvertexlink *b, int *resolves);
void _WTpoly_decompose(WTpoly *poly);
void _WTpoly_triangulate(WTpoly *poly);
int _WTpoly_removeduplicates(WTpoly *poly);
void _WTpoly_removecollinear(WTpoly *poly);
double _WTpoly_rayplane(WTpoly *poly, const WTp3 origin, const WTp3 direction);
int _WTpoly_containspoly(WTpoly *a, WTpoly *b);
int _WTpoly_containsconvexpoly(WTpoly *a, WTpoly *b);

// ---- Building, edits and statistics (build.cpp) --------------------------------------------

int _WTgeometry_addvertex(WTgeometry *geometry, WTvertex *vertex);
int _WTgeometry_addvertexsimple(WTgeometry *geometry, WTvertex *vertex);
void _WTpoly_cancel(WTpoly *poly);
WTpoly *_WTgeometry_addpoly4(WTgeometry *g, int i0, int i1, int i2, int i3, int bothsides);
WTpoly *_WTgeometry_addpoly3(WTgeometry *g, int i0, int i1, int i2, int bothsides);
WTpoly *_WTgeometry_newpolyfrompoints(WTgeometry *g, const WTp3 *points, int count,
                                      int bothsides);
void _WTgeometry_checkifopen(WTgeometry *geometry);
int _WTgeometry_close(WTgeometry *geometry);
int _WTgeometry_finishedit(WTgeometry *geometry, int extents, int convexify);
int _WTpoly_stats(WTpoly *poly);
int _WTpoly_extents(WTpoly *poly, WTp3 sizes);
int _WTpoly_restats(WTpoly *poly);
void _WTgeometry_findextents(WTgeometry *geometry, WTp3 min, WTp3 max);
// Construction capacity (for tests): the size of the construction array now.
int _WTgeometry_constructioncapacity(void);

// ---- Polygon and vertex operations (polyops.cpp) ---------------------------------------------

void _WTpoly_setcolor24(WTpoly *poly, uint32_t rgb);
void _WTpoly_setcolor_nofrags(WTpoly *poly, int color);
uint32_t _WTpoly_getcolor24(WTpoly *poly);
// Sets or clears the explicit-coordinates byte of the polygon's texture reference; false without
// a reference.
int _WTpoly_setuvflag(WTpoly *poly, int on);
int _WTpoly_getsset(WTpoly *poly);
void _WTpoly_setsset(WTpoly *poly, int value);
void _WTpolylist_getnormal(WTpolylist *list, WTp3 out);
WTpolylist *_WTgeometry_getvertexstar(WTgeometry *g, WTvertex *v);

// ---- Whole geometries (whole.cpp) ----------------------------------------------------------

WTpoly *_WTgeometry_mergepq(WTgeometry *target, WTgeometry *source, const WTp3 centre,
                            const WTpq *pose, int fixedid, int matid);
WTgeometry *_WTgeometry_copyplist(WTgeometry *geometry, WTpolylist *list);
void _WTgeometry_interpolate(WTgeometry *from, WTgeometry *to, WTgeometry *target, float t);
WTvertexlist *_WTvertexlist_ring(WTpolylist *star, WTvertex *vertex);
// Triangles as vertex triples, appended to out (3 pointers each); false when none can be made.
int _WTvertexlist_triangulate(WTvertexlist *ring, const WTp3 normal, WTvertex ***out, int *count);
int _WTvertexlist_bestsplit(WTvertexlist *ring, const WTp3 normal, int *i, int *j);
// The four corners of the outline quad along edge 0..11 of the box corners c (corner bits 4 x,
// 2 y, 1 z); 0 when the edge or its neighbours are too short.
int _WTgeometry_outlinequad(const WTp3 c[8], int edge, float w, WTp3 pts[4]);
WTgeometry *_WTgeometry_boundboxfromextents(const WTp3 a, const WTp3 b, float width);
WTgeometry *_WTgeometry_boundboxfromgeometry(WTgeometry *geometry, float width);
WTgeomlist *_WTgeometry_load(FILE *stream, const char *name, int type, WTpq *pose,
                             float argument, int flag);

// ---- Terrain grids (terrain.cpp) -----------------------------------------------------------

typedef struct WTterrain WTterrain;
// A terrain over a polygon chain between two corners; null (with a warning) when the polygons
// are no grid.
WTterrain *_WTterrain_build(WTpoly *polys, const WTp3 min, const WTp3 max);
int _WTterrain_height(WTterrain *terrain, WTp3 point, WTp3 normal, float *border);
int _WTterrain_averagenormal(WTterrain *terrain, WTp3 *points, int count, WTp3 normal);
void _WTterrain_delete(WTterrain *terrain);
int _WTterrain_size(WTterrain *terrain, int *n1, int *n2);

// ---- Services of neighbouring layers -------------------------------------------------------

void _WTtexture_deleteref(WTtextureref *ref);
WTtextureref *_WTtexture_copyref(WTtextureref *ref);
WTtextureref *_WTtexture_newref(const char *name);
// The current pose and the build pose of an object; false for none.
int _WTobject_getposes(WTobject *object, WTpq *built, WTpq *current);
}
