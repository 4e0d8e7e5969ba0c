// The loaders' entries in the file table: which reader and writer serves each file type, and
// the arguments each format's functions take.
#include "toolkit/core/filetable.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/dxf.h"
#include "toolkit/loaders/fltapi.h"
#include "toolkit/loaders/geom3ds.h"
#include "toolkit/loaders/geoslp.h"
#include "toolkit/loaders/jt.h"
#include "toolkit/loaders/mgen.h"
#include "toolkit/loaders/nff.h"
#include "toolkit/loaders/vrml.h"
#include "toolkit/loaders/wfront.h"

namespace {

WTcell *onecell(WTobject *object) { return object ? _WTlist_cell(object, nullptr) : nullptr; }

WTgeomlist *onegeometry(WTgeometry *geometry) {
  return geometry ? _WTgeomlist_add(nullptr, geometry) : nullptr;
}

// OpenFlight files through the toolkit's own reader, or with universe option 17 through the
// outside API libraries; the root it returns goes under the parent.
WTnode *loadflight(WTnode *parent, const char *path, float scale) {
  WTnode *root =
      _WTuniverse_getoption(17) ? _WTnode_loadflt(nullptr, path, scale) : _WTnode_loadmgen(path);
  if (root) WTnode_addchild(parent, root);
  return root;
}

// DXF and 3D Studio files always give one object per geometry of the file.
WTfilekind dxf() {
  WTfilekind k = {};
  k.readobjects = [](FILE *f, const char *, WTpq *pose, float scale, int, int principal) {
    return _WTdxf_read_objects(f, scale, pose, 1, principal);
  };
  k.readgeometries = [](FILE *f, const char *, WTpq *pose, float scale, int join) {
    return _WTdxf_read_geometries(f, scale, pose, join);
  };
  k.writeobject = [](FILE *f, WTobject *o, const WTpq *) { return _WTdxf_write_object(f, o, 0); };
  k.writegeometry = [](FILE *f, WTgeometry *g, const WTpq *) {
    return _WTdxf_write_geometry(f, g, 0);
  };
  return k;
}

// Both NFF forms read with the same arguments.
template <WTcell *(*readobjects)(FILE *, const char *, WTpq *, float, int, WTcell **, int),
          WTgeomlist *(*readgeometries)(FILE *, const char *, WTpq *, float, int, WTcell **)>
WTfilekind nffform() {
  WTfilekind k = {};
  k.readobjects = [](FILE *f, const char *name, WTpq *pose, float scale, int join, int principal) {
    return readobjects(f, name, pose, scale, join, nullptr, principal);
  };
  k.readgeometries = [](FILE *f, const char *name, WTpq *pose, float scale, int join) {
    return readgeometries(f, name, pose, scale, join, nullptr);
  };
  return k;
}

WTfilekind nff() {
  WTfilekind k = nffform<_WTnff_read_objects, _WTnff_read_geometries>();
  k.writeobject = _WTnff_write_object;
  k.writeobjects = _WTnff_write_objects;
  k.writegeometry = _WTnff_write_geometry;
  return k;
}

WTfilekind bff() {
  WTfilekind k = nffform<_WTbff_read_objects, _WTbff_read_geometries>();
  k.writeobject = [](FILE *f, WTobject *o, const WTpq *) { return _WTbff_write_object(f, o); };
  k.writeobjects = _WTbff_write_objects;
  k.writegeometry = [](FILE *f, WTgeometry *g, const WTpq *) { return _WTbff_write_geometry(f, g); };
  return k;
}

WTfilekind studio() {
  WTfilekind k = {};
  k.readobjects = [](FILE *f, const char *name, WTpq *, float scale, int, int principal) {
    return _WT3ds_read_objects(f, name, scale, 1, principal);
  };
  k.readgeometries = [](FILE *f, const char *name, WTpq *, float scale, int join) {
    return _WT3ds_read_geometries(f, name, scale, join);
  };
  return k;
}

WTfilekind wavefront() {
  WTfilekind k = {};
  k.readobjects = [](FILE *f, const char *name, WTpq *, float scale, int, int principal) {
    return onecell(_WTwfront_read_object(f, name, scale, principal));
  };
  k.readgeometries = [](FILE *f, const char *name, WTpq *, float scale, int) {
    return onegeometry(_WTwfront_read_geometry(f, name, scale));
  };
  return k;
}

WTfilekind geo() {
  WTfilekind k = {};
  k.readobjects = [](FILE *f, const char *, WTpq *, float scale, int, int principal) {
    return onecell(_WTgeo_read_object(f, scale, principal));
  };
  k.readgeometries = [](FILE *f, const char *, WTpq *, float scale, int) {
    return onegeometry(_WTgeo_read_geometry(f, scale));
  };
  return k;
}

WTfilekind slp() {
  WTfilekind k = {};
  k.readobjects = [](FILE *f, const char *name, WTpq *, float scale, int, int principal) {
    return _WTslp_read_objects(f, name, scale, principal);
  };
  k.readgeometries = [](FILE *f, const char *name, WTpq *, float scale, int) {
    return _WTslp_read_geometries(f, name, scale);
  };
  return k;
}

WTfilekind vrml() {
  WTfilekind k = {};
  k.loadnode = [](WTnode *parent, const char *path, float) { return _WTnode_loadvrml(parent, path); };
  k.savenode = _WTnode_savevrml;
  return k;
}

WTfilekind flight() {
  WTfilekind k = {};
  k.loadnode = loadflight;
  return k;
}

WTfilekind jt() {
  WTfilekind k = {};
  k.loadnode = [](WTnode *parent, const char *path, float) { return _WTnode_loadjt(parent, path); };
  return k;
}

}  // namespace

void _WTloaders_filltable(WTfiletable *table) {
  table->kinds[WTFILE_DXF] = dxf();
  table->kinds[WTFILE_NFF] = nff();
  table->kinds[WTFILE_BFF] = bff();
  table->kinds[WTFILE_3DS] = studio();
  table->kinds[WTFILE_WFRONT] = wavefront();
  table->kinds[WTFILE_GEO] = geo();
  table->kinds[WTFILE_SLP] = slp();
  table->kinds[WTFILE_VRML1] = vrml();
  table->kinds[WTFILE_FLT] = flight();
  table->kinds[WTFILE_JT] = jt();
  table->bindlibraries = _WTflt_bind;
  table->cleanup = _WTvrml_cleanup;
}
