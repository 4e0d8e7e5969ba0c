// 3D Studio files into toolkit geometry: the material table, one geometry per mesh with its
// vertices, normals and per-face looks, and the read of a whole file.
#include "toolkit/loaders/geom3ds.h"

#include <string.h>

#include <string>
#include <unordered_map>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/build3ds.h"
#include "toolkit/loaders/loaders.h"
#include "toolkit/render/context.h"
#include "toolkit/render/images.h"

namespace {

constexpr int kOld3dsOption = 2;
constexpr int kTgaRetryOption = 8;

// ---- Material table --------------------------------------------------------------------------

void writeentry(WTmtable *table, int index, unsigned int mask, const _WT3dsTableEntry &e) {
  const struct {
    unsigned int bit;
    const float *values;
  } values[] = {{WT3DS_AMBIENT, e.ambient},     {WT3DS_DIFFUSE, e.diffuse},
                {WT3DS_SPECULAR, e.specular},   {WT3DS_SHININESS, e.shininess},
                {WT3DS_OPACITY, e.opacity}};
  for (const auto &v : values)
    if ((e.given & v.bit) && (mask & v.bit)) WTmtable_setvalue(table, index, v.values, v.bit);
}

// ---- Textures --------------------------------------------------------------------------------

// The texture name each material's faces get: the map's name, or its ".tga" twin when the map
// does not load and the universe allows the retry.  Found once per material and mesh; a texture
// that did not load is not looked for again on the disk for the next faces of the mesh.
class TextureNames {
 public:
  struct Entry {
    std::string name;
    bool missing = false;
  };
  Entry &of(const _WT3dsMaterial *material, const char *name) {
    auto found = names_.find(material);
    if (found != names_.end()) return found->second;
    return names_.emplace(material, Entry{resolve(name)}).first->second;
  }

 private:
  static std::string resolve(const char *name) {
    if (_WTtexture_get(name) || !_WTuniverse_getoption(kTgaRetryOption)) return name;
    char tga[WT3DS_MAPNAME + 4];
    return _WT3ds_tganame(name, tga, sizeof tga) ? std::string(tga) : std::string(name);
  }
  std::unordered_map<const _WT3dsMaterial *, Entry> names_;
};

// ---- Geometry of one mesh --------------------------------------------------------------------

bool hasparts(const _WT3dsTriObject *mesh) {
  if (!mesh->nfaces) {
    _WTmsg_warning("3ds geometry (%s) has no faces\n", mesh->name);
    return false;
  }
  if (!mesh->nverts) {
    _WTmsg_warning("3ds geometry (%s) has no vertices\n", mesh->name);
    return false;
  }
  return true;
}

// The mesh's vertices in file order, added to the geometry; an array the caller frees.
WTvertex **addvertices(WTgeometry *g, const _WT3dsTriObject *mesh, const _WT3dsNormal *normals,
                       float scale, int old3ds) {
  WTvertex **verts = static_cast<WTvertex **>(_WT3ds_calloc(sizeof(WTvertex *), mesh->nverts));
  for (uint32_t i = 0; i < mesh->nverts; i++) {
    WTp3 p;
    _WT3ds_position(mesh->verts[i], old3ds, scale, p);
    WTvertex *v = _WTvertex_newat(p);
    WTp3 n;
    if (normals && _WT3ds_vertexnormal(normals[i], old3ds, n)) _WTvertex_setnormal(v, n);
    _WTgeometry_addvertexsimple(g, v);
    v->flags |= WTV_USED;
    verts[i] = v;
  }
  return verts;
}

void settexture(WTpoly *poly, const _WT3dsMaterial *material, const _WT3dsFaceLook &look,
                TextureNames &names) {
  TextureNames::Entry &texture = names.of(material, look.texture);
  if (texture.missing)
    _WTtexture_reportfailure(texture.name.c_str());
  else if (!WTpoly_settextureuv(poly, texture.name.c_str(), look.u, look.v, look.shaded, look.transparent))
    texture.missing = true;
  _WTpoly_setuvflag(poly, look.uvflag);
}

void setlook(WTpoly *poly, const _WT3dsTriObject *mesh, uint32_t face, const _WT3dsFaceLook &look,
             TextureNames &names) {
  if (!look.hasmaterial) return;
  if (look.twosided) WTpoly_setbothsides(poly, 1);
  if (look.hascolour) WTpoly_setrgb(poly, look.rgb[0], look.rgb[1], look.rgb[2]);
  WTpoly_setmatid(poly, static_cast<int>(look.id));
  if (look.textured) settexture(poly, mesh->facemats[face], look, names);
}

// One polygon per face.  Corners a, b, c are pushed at the front in turn and the close reverses
// the links, so the polygon runs a, b, c: the file's winding, which the toolkit too takes for the
// front, in the order of the face's texture coordinates and of its smoothing normal.
void addfaces(WTgeometry *g, const _WT3dsTriObject *mesh, WTvertex *const *verts, int old3ds) {
  TextureNames names;
  for (uint32_t f = 0; f < mesh->nfaces; f++) {
    _WT3dsFaceLook look;
    _WT3ds_facelook(mesh, f, old3ds, &look);
    WTpoly *poly = _WTpoly_new(g);
    for (uint32_t corner : look.corners) WTpoly_addvertexptr(poly, verts[corner]);
    if (!WTpoly_close(poly)) {
      _WTpoly_cancel(poly);
      continue;
    }
    setlook(poly, mesh, f, look, names);
  }
}

// ---- A whole file ----------------------------------------------------------------------------

// The geometries of every mesh, the file's last mesh first (the head of the reader's list).
WTgeomlist *makegeometries(_WT3dsData *scene, float scale) {
  WTgeomlist *first = nullptr, *last = nullptr;
  for (_WT3dsTriObject *mesh = scene->meshes; mesh; mesh = mesh->next) {
    WTgeometry *g = _WT3ds_makegeometry(mesh, scale);
    if (!g) continue;
    WTgeomlist *cell = _WTgeomlist_add(nullptr, g);
    if (last) last->next = cell;
    else first = cell;
    last = cell;
  }
  return first;
}

}  // namespace

extern "C" {

WTmtable *_WT3ds_makemtable(_WT3dsMaterial *materials) {
  _WT3dsTableLayout *layout = _WT3ds_tablelayout(materials);
  WTmtable *table = WTmtable_new(layout->mask, static_cast<int>(layout->count), nullptr);
  for (uint32_t i = 0; table && i < layout->count; i++) {
    const int index = WTmtable_newentry(table);
    if (index >= 0) writeentry(table, index, table->mask, layout->entries[i]);
  }
  _WT3ds_freelayout(layout);
  return table;
}

WTgeometry *_WT3ds_makegeometry(_WT3dsTriObject *mesh, float scale) {
  if (!mesh || !hasparts(mesh)) return nullptr;
  const int old3ds = _WTuniverse_getoption(kOld3dsOption) ? 1 : 0;
  WTgeometry *g = _WTgeometry_new(nullptr);
  char name[WT3DS_OBJNAME];
  _WT3ds_geometryname(mesh->name, name);
  WTgeometry_setname(g, name);
  _WT3dsNormal *normals = mesh->smoothing ? _WT3ds_smoothnormals(mesh) : nullptr;
  WTvertex **verts = addvertices(g, mesh, normals, scale, old3ds);
  _WTmem_free(normals);
  addfaces(g, mesh, verts, old3ds);
  _WTmem_free(verts);
  return g;
}

WTgeomlist *_WT3ds_read_geometries(FILE *stream, const char *name, float scale, int join) {
  if (!stream) {
    _WTmsg_warning("Null file pointer into _WT3ds_read_geometries !!\n");
    return nullptr;
  }
  _WT3dsData *scene = _WT3ds_readscene(stream, name);
  if (!scene) return nullptr;
  WTmtable *table = _WT3ds_makemtable(scene->materials);
  WTgeomlist *list = makegeometries(scene, scale);
  _WT3ds_free(scene);
  if (!list) {
    _WTmsg_warning("File '%s' has no readable geometries\n", name ? name : "");
    _WTmtable_delete(table);
    return nullptr;
  }
  if (join && list->next) _WTgeomlist_glom(list);
  list = _WTread_closeall(list, table);
  if (!list) _WTmsg_warning("File '%s' has no readable geometries\n", name ? name : "");
  return list;
}

WTcell *_WT3ds_read_objects(FILE *stream, const char *name, float scale, int join, int principal) {
  return _WTread_makeobjects(_WT3ds_read_geometries(stream, name, scale, join), principal,
                             WTreadorder::reversed);
}

}  // extern "C"
