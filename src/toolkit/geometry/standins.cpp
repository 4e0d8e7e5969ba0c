// The least of the neighbouring layers that geometries and objects need while those layers are
// not part of the library: polygon texture references and the portals read with model files.  A
// layer that implements one of these removes it here.
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/objects.h"

extern "C" {

// ---- Portals: the core's portal list is not part of the library yet ----------------------

WTportal *_WTportal_next(WTportal *) { return nullptr; }
void _WTportal_remove(WTportal *) {}
WTcell *_WTportal_copylist(WTcell *, WTvertex *, WTvertex *, WTgeometry *) { return nullptr; }

// ---- Texture references: names and coordinates only --------------------------------------

WTtextureref *_WTtexture_newref(const char *name) {
  WTtextureref *r = static_cast<WTtextureref *>(_WTmem_alloc(sizeof(WTtextureref)));
  memset(r, 0, sizeof(WTtextureref));
  r->name = _WTmem_strdup(name ? name : "");
  r->scale = 1.0f;
  return r;
}

void _WTtexture_deleteref(WTtextureref *ref) {
  if (!ref) return;
  _WTmem_free(ref->name);
  _WTmem_free(ref->u);
  _WTmem_free(ref->v);
  _WTmem_free(ref);
}

WTtextureref *_WTtexture_copyref(WTtextureref *ref) {
  if (!ref) return nullptr;
  WTtextureref *c = _WTtexture_newref(ref->name);
  if (ref->coordsset) {
    size_t bytes = sizeof(float) * size_t(ref->uvcount > 0 ? ref->uvcount : 1);
    c->u = static_cast<float *>(_WTmem_alloc(bytes));
    c->v = static_cast<float *>(_WTmem_alloc(bytes));
    memcpy(c->u, ref->u, sizeof(float) * size_t(ref->uvcount));
    memcpy(c->v, ref->v, sizeof(float) * size_t(ref->uvcount));
    c->uvcount = ref->uvcount;
    c->coordsset = 1;
    memcpy(c->style, ref->style, sizeof(c->style));
  }
  return c;
}

int WTpoly_settextureuv(WTpoly *poly, const char *name, const float *u, const float *v, int a,
                        int b) {
  if (!poly || !name || !u || !v) return 0;
  if (poly->geometry && !_WTgeometry_modifiable(poly->geometry)) return 0;
  int n = 0;
  for (WTvertexlink *l = poly->links; l; l = l->next) n++;
  WTtextureref *r = _WTtexture_newref(name);
  r->u = static_cast<float *>(_WTmem_alloc(sizeof(float) * size_t(n ? n : 1)));
  r->v = static_cast<float *>(_WTmem_alloc(sizeof(float) * size_t(n ? n : 1)));
  memcpy(r->u, u, sizeof(float) * size_t(n));
  memcpy(r->v, v, sizeof(float) * size_t(n));
  r->uvcount = static_cast<int16_t>(n);
  r->coordsset = 1;
  r->style[0] = static_cast<uint8_t>(a);
  r->style[1] = static_cast<uint8_t>(b);
  _WTtexture_deleteref(poly->texture);
  poly->texture = r;
  _WTuniverse_scenechanged();
  return 1;
}

int WTpoly_getuv(WTpoly *poly, float *u, float *v) {
  if (!poly || !poly->texture || !poly->texture->coordsset || !u || !v) return 0;
  memcpy(u, poly->texture->u, sizeof(float) * size_t(poly->texture->uvcount));
  memcpy(v, poly->texture->v, sizeof(float) * size_t(poly->texture->uvcount));
  return 1;
}

// A texture by name only: the name is kept on the polygon until textures can be loaded.
int WTpoly_settexture(WTpoly *poly, const char *name, int a, int b) {
  if (!poly || !name) return 0;
  if (poly->geometry && !_WTgeometry_modifiable(poly->geometry)) return 0;
  WTtextureref *r = _WTtexture_newref(name);
  r->style[0] = static_cast<uint8_t>(a);
  r->style[1] = static_cast<uint8_t>(b);
  _WTtexture_deleteref(poly->texture);
  poly->texture = r;
  _WTuniverse_scenechanged();
  return 1;
}

int WTpoly_setuv(WTpoly *poly, const float *u, const float *v) {
  if (!poly || !poly->texture) return 0;
  WTtextureref *t = poly->texture;
  return WTpoly_settextureuv(poly, t->name, u, v, t->style[0], t->style[1]);
}

void WTpoly_deletetexture(WTpoly *poly) {
  if (!poly || !poly->texture) return;
  if (poly->geometry && !_WTgeometry_modifiable(poly->geometry)) return;
  _WTtexture_deleteref(poly->texture);
  poly->texture = nullptr;
  _WTuniverse_scenechanged();
}

void _WTtexture_applynames(WTgeometry *) {}
}
