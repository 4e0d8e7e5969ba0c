// Inside the toolkit: the object layer.  An object owns one geometry together with a pose, a
// pivot, an optional handle point, a bounding box and a name, and stands in the universe's object
// list; the scene graph shows it through an object node.
#pragma once

#include "toolkit/geometry/geometry.h"

struct WTpathelement;
typedef struct WTportal WTportal;
typedef struct WTanimseq WTanimseq;

// Object flags.
enum { WTO_MOVED = 1, WTO_REMOVED = 4, WTO_REMOVALSEEN = 8, WTO_DELETED = 16 };

struct WTobject {
  WTobject *next;
  WTcell *children; // cells {object, next}, new cells at the head
  WTcell *parents;
  WTobjgroup *group;
  WTp3 pivot;       // world
  WTp3 handle;      // handle offset in the current axes
  WTp3 handleref;   // the same in the reference axes
  WTcell *portals;  // cells {portal, next}; owned
  uint32_t data;
  WTterrain *terrain;
  uint8_t tag;      // 64
  WTpq pose;        // current
  WTpq ref;         // the pose the geometry's vertices are expressed in
  WTpq last;        // at the last change check
  WTp3 corners[8];  // world; bit 4 max x, bit 2 max y, bit 1 max z
  WTp3 half;
  WTp3 origin;      // the own origin while a handle is set
  float radius;
  WTgeometry *geometry;
  WTanimseq *sequence;
  WTpathelement *element;
  uint8_t movedlast;
  uint8_t flags;
  uint8_t renderoptions;
  uint8_t mark;
  uint8_t handleset;
  char *name;
};

extern "C" {

// ---- Records and list --------------------------------------------------------------------

WTobject *_WTobject_new(WTgeometry *geometry);
void _WTobject_free(WTobject *object);
void _WTobject_destroy(WTobject *object);
int _WTobject_addtoscene(WTobject *object);
int _WTobject_remove(WTobject *object);
void _WTobject_delete(WTobject *object);
int _WTobject_isinscene(WTobject *object);
void _WTobject_updateall(WTobject *object);
void _WTobject_freedeleted(WTobject *object);
int _WTobject_attach(WTobject *parent, WTobject *child);
int _WTobject_detach(WTobject *parent, WTobject *child);
int _WTobject_detachall(WTobject *object);
WTcell *_WTobject_getchildren(WTobject *object);
WTcell *_WTobject_getparents(WTobject *object);
WTobjgroup *_WTobject_childgroup(WTobject *object);
WTobject *_WTobject_nextvisible(WTobject *object);
WTobject *_WTobject_nextactive(WTobject *object);
WTobject *_WTobject_nextremoved(WTobject *object);
// The head of the universe's object list (null without a universe).
WTobject *_WTobject_first(void);

WTgeometry *_WTobject_getgeometry(WTobject *object);
WTmtable *_WTobject_getmtable(WTobject *object);
WTvertex *_WTobject_firstvertex(WTobject *object);
int _WTobject_setmtable(WTobject *object, WTmtable *table);
int _WTobject_numpolys(WTobject *object);
WTpoly *_WTobject_firstpoly(WTobject *object);
WTpoly *_WTobject_findpoly(WTobject *object, int id);
void _WTobject_setdata(WTobject *object, uint32_t value);
uint32_t _WTobject_getdata(WTobject *object);
int _WTobject_setrenderoptions(WTobject *object, int value);
int _WTobject_getrenderoptions(WTobject *object);
WTanimseq *_WTobject_getsequence(WTobject *object);
int _WTobject_setsequence(WTobject *object, WTanimseq *sequence);
int _WTobject_setmark(WTobject *object, unsigned char mark);
unsigned char _WTobject_getmark(WTobject *object);
int _WTobject_gettag(WTobject *object);
void _WTobject_settag(WTobject *object, int tag);
float _WTobject_getradius(WTobject *object);
WTnode *_WTobject_getnode(WTobject *object);
void _WTobject_setnamefrompath(WTobject *object, const char *path);
const char *_WTobject_getname(WTobject *object);
// The path element whose marker the object is (the core's paths set it).
void _WTobject_setpathelement(WTobject *object, WTpathelement *element);

int _WTobject_settask(WTobject *object, WTtaskfn fn);
WTtaskfn _WTobject_gettask(WTobject *object);
int _WTobject_deletetasks(WTobject *object);
int _WTobject_addsensor(WTobject *object, WTsensor *sensor, int frame);
int _WTobject_removesensor(WTobject *object, WTsensor *sensor);
int _WTobject_getsensorframe(WTobject *object);
int _WTobject_setsensorframe(WTobject *object, int frame);
WTnode *_WTnode_getenabletarget(WTnode *node);
// The object node of the object's geometry, made under the default parent when there is none.
WTnode *_WTnode_insertobject(WTobject *object);

// The universe's side: the end of a frame, the start of the simulation and the reset.
void _WTobject_endframe(void);
void _WTobject_ready(void);
void _WTobject_destroyall(void);

// ---- Transforms, frames and axes ---------------------------------------------------------

void _WTobject_translate(WTobject *object, const WTpq *delta, int frame);
int _WTobject_move(WTobject *object, const WTp3 v, short frame);
int _WTobject_setposition(WTobject *object, const WTp3 p);
int WTobject_setorientation(WTobject *object, const WTq q);
int _WTobject_setpose(WTobject *object, const WTpq *pose);
void _WTobject_rotate(WTobject *object, int axis, float angle, int frame);
int WTobject_rotatepoint(WTobject *object, const WTq q, const WTp3 point, int frame);
void _WTobject_resetorientation(WTobject *object);
void _WTobject_alignaxis(WTobject *object, int axis, const WTp3 direction);
int _WTobject_getposition(WTobject *object, WTp3 out);
int _WTobject_getorientation(WTobject *object, WTq out);
void _WTobject_getorigin(WTobject *object, WTp3 out);
void _WTobject_getlocation(WTobject *object, WTp3 out, int frame);
void _WTobject_getaxis(WTobject *object, int axis, WTp3 out);
void _WTobject_getsize(WTobject *object, WTp3 out);
void _WTobject_worldtoobject(WTobject *object, const WTp3 p, WTp3 out);
void _WTobject_objecttoworld(WTobject *object, const WTp3 p, WTp3 out);
void _WTobject_setpivot(WTobject *object, const WTp3 point, int frame);
void _WTobject_sethandle(WTobject *object, const WTp3 point, int frame);
void _WTobject_gethandle(WTobject *object, WTp3 out, int frame);
int WTobject_setaxes(WTobject *object, const WTq q);
void _WTobject_computeaxes(WTobject *object, int principal);
void _WTobject_principalaxes(WTobject *object, WTq out);
int _WTobject_remapaxes(WTobject *object, int count, const int *from, const int *to,
                        const int *negate);
void _WTobject_checkmoved(WTobject *object);
void _WTobject_motionupdate(WTobject *object, WTmotionlink *link, int frame);
void _WTobject_transformgeometry(WTobject *object, const WTpq *delta, WTp3 centre, int apply);
int _WTobject_scale(WTobject *object, float factor, const WTp3 centre);
int WTobject_stretch(WTobject *object, const WTp3 factors, const WTp3 centre, int frame);
void _WTp3_scaleabout(WTp3 p, const WTp3 factors, const WTp3 centre);
void _WTp3_xformabout(WTp3 p, const WTm3 m, const WTp3 centre);
// The vertex's world position by the object's poses (handle included).
void _WTobject_vertexworld(WTobject *object, const WTp3 stored, WTp3 out);
void _WTobject_getmatrix(WTobject *object, WTm4 out);
// True when the current pose is the reference pose (the quaternion also negated).
int _WTobject_atreference(WTobject *object);
// Bakes the current pose into the geometry (save, scale, stretch).
void _WTobject_bake(WTobject *object, int withhandle);

// ---- Objects from files, copies, primitives and outline boxes ------------------------------

WTobject *_WTobject_newfromgeometry(WTgeometry *geometry, int principal);
void _WTobject_prepare(WTobject *object, WTportal *portalhead);
WTobject *_WTobject_load(const char *name, WTpq *pose, float scale, int principal, int flag);
WTobject *_WTobject_loadfile(const char *name, WTpq *pose, float scale, int principal, int flag);
WTcell *_WTobject_loadmultiple(const char *name, float scale, int principal, int flag);
WTcell *_WTobject_loadlist(const char *name, float scale, int principal, int flag);
WTobject *_WTobject_copy(WTobject *object);
WTobject *_WTobject_copygeometry(WTobject *object, int ignored, int addtolist);
int _WTobject_saveone(WTobject *object, const char *path, WTpq *pose, int type);
int _WTobject_save(WTcell *list, const char *path, int type);
WTobject *_WTobject_newcylinder(float height, float radius, int tess, int bothsides, int gouraud);
WTobject *_WTobject_newblock(float x, float y, float z, int bothsides);
WTobject *_WTobject_newcone(float height, float radius, int tess, int bothsides);
WTobject *_WTobject_newsphere(float radius, int lat, int lon, int bothsides, int gouraud);
WTobject *_WTobject_newhemisphere(float radius, int lat, int lon, int bothsides, int gouraud);
WTobject *_WTobject_newextrusion(WTp2 *points, int count, float height, int bothsides,
                                 int gouraud);
WTobject *_WTobject_newtruncone(float height, float bottom, float top, int tess, int bothsides,
                                int gouraud);
WTobject *_WTobject_newrectangle(float height, float width, int bothsides);
WTobject *_WTobject_begin(void);
int _WTobject_addvertex(WTobject *object, WTvertex *vertex);
int _WTobject_addvertexsimple(WTobject *object, WTvertex *vertex);
int _WTobject_close(WTobject *object, int principal, int ignored);
void _WTobject_endconstruction(WTobject *object);
WTobject *_WTobject_newoutline(WTobject *object, float width);
WTobject *_WTobject_newframebox(const WTp3 half, float width);

// ---- Attributes, vertex edits and overlap tests --------------------------------------------

typedef float (*WTuvfn)(const WTp3 position);
int _WTobject_settexture(WTobject *object, const char *name, int flag1, int flag2);
int _WTobject_settextureuv(WTobject *object, const char *name, WTuvfn ufn, WTuvfn vfn, int frame,
                           int flag1, int flag2);
int _WTobject_setuv(WTobject *object, WTuvfn ufn, WTuvfn vfn, int frame);
void _WTobject_deletetextures(WTobject *object);
void _WTobject_setcolor(WTobject *object, int code);
void _WTobject_setrgb(WTobject *object, unsigned char r, unsigned char g, unsigned char b);
void _WTobject_replacergb(WTobject *object, unsigned char r, unsigned char g, unsigned char b,
                          unsigned char r2, unsigned char g2, unsigned char b2);
void _WTobject_replacecolor24(WTobject *object, uint32_t old, uint32_t now);
void _WTobject_replacecolor(WTobject *object, int old, int now);
int _WTobject_getcolors24(WTobject *object, uint32_t *out);
int _WTobject_numcolors(WTobject *object);
int _WTobject_getrgblist(WTobject *object, unsigned char *r, unsigned char *g, unsigned char *b);
int _WTobject_getcolorcodes(WTobject *object, short *out);
int _WTobject_setvertexposition(WTobject *object, WTvertex *vertex, const WTp3 point);
int _WTobject_setvertexfrom(WTobject *object, WTvertex *vertex, const WTp3 point,
                            const WTpq *pose);
int _WTobject_getvertexposition(WTobject *object, WTvertex *vertex, WTp3 out);
int _WTobject_setvertexnormal(WTobject *object, WTvertex *vertex, const WTp3 normal);
int _WTobject_getvertexnormal(WTobject *object, WTvertex *vertex, WTp3 out);
int _WTobject_setvertexcolor(WTobject *object, WTvertex *vertex, unsigned char r,
                             unsigned char g, unsigned char b);
int _WTobject_getvertexcolor(WTobject *object, WTvertex *vertex, unsigned char *r,
                             unsigned char *g, unsigned char *b);
int _WTobject_beginedit(WTobject *object);
int _WTobject_endedit(WTobject *object, int triangulate, int makeconvex, int keep);
void _WTobject_recomputebounds(WTobject *object, int purge, int pivottocentre, int principal);
void _WTobject_cleanpolys(WTobject *object);
int _WTobject_boxesintersect(WTobject *a, WTobject *b);
int _WTobject_intersectpoly(WTobject *object, WTpoly *poly);

// ---- Services of the core that the layer uses --------------------------------------------

// Portals read with a model file are kept by the core (wt.h).
// Texture names kept on polygons made into textures (the rendering layer).
void _WTtexture_applynames(WTgeometry *geometry);
int WTpoly_settexture(WTpoly *poly, const char *name, int flag1, int flag2);
int WTpoly_setuv(WTpoly *poly, const float *u, const float *v);
void WTpoly_deletetexture(WTpoly *poly);
}
