// From the 3D Studio scene record toward toolkit geometry: the steps that need no toolkit object.
#include "toolkit/loaders/build3ds.h"

#include <math.h>
#include <string.h>

#include "toolkit/wt.h"

namespace {

constexpr float kNormalWeight = 20.0f;
constexpr float kShortestNormal = 0.004f;

void addto(float *sum, const float *v) {
  for (int i = 0; i < 3; i++) sum[i] += v[i];
}

// ---- Smoothing -------------------------------------------------------------------------------

// Vertex slots while smoothing: the copies of one file vertex are chained after it.
struct Slots {
  _WT3dsTriObject *mesh;
  uint32_t count;
  uint32_t capacity;
  uint32_t *next;       // next copy of the same file vertex, 0 = none
  uint32_t *mask;       // smoothing groups that own the slot, 0 = free
  _WT3dsNormal *normal; // summed face normals
};

// The new slots are left as they are: a copy fills its slot whole when it takes it.
template <typename T>
T *resized(T *array, uint32_t to) {
  return static_cast<T *>(_WTmem_realloc(array, sizeof(T) * to));
}

// Room for at least one more copy: twice as much, so that a mesh whose every corner needs a copy
// of its own costs a few moves of its arrays, but never more than a copy for every corner.
void grow(Slots &s) {
  const uint32_t most = s.mesh->nverts + 3 * s.mesh->nfaces;
  const uint32_t by = s.capacity > 0 && s.capacity < most - s.capacity ? s.capacity : most - s.capacity;
  const uint32_t to = s.capacity + by;
  s.next = resized(s.next, to);
  s.mask = resized(s.mask, to);
  s.normal = resized(s.normal, to);
  s.mesh->verts = resized(s.mesh->verts, to);
  if (s.mesh->uv) s.mesh->uv = resized(s.mesh->uv, to);
  s.capacity = to;
}

Slots startslots(_WT3dsTriObject *mesh) {
  Slots s = {};
  s.mesh = mesh;
  s.count = mesh->nverts;
  s.next = static_cast<uint32_t *>(_WT3ds_calloc(sizeof *s.next, s.count));
  s.mask = static_cast<uint32_t *>(_WT3ds_calloc(sizeof *s.mask, s.count));
  s.normal = static_cast<_WT3dsNormal *>(_WT3ds_calloc(sizeof *s.normal, s.count));
  s.capacity = s.count;
  return s;
}

// A new copy of file vertex v, chained right after it.
uint32_t newcopy(Slots &s, uint32_t v, uint32_t mask, const float *normal) {
  const uint32_t c = s.count++;
  s.next[c] = s.next[v];
  s.next[v] = c;
  s.mask[c] = mask;
  memcpy(s.normal[c], normal, sizeof s.normal[c]);
  memcpy(s.mesh->verts[c], s.mesh->verts[v], sizeof s.mesh->verts[c]);
  if (s.mesh->uv) memcpy(s.mesh->uv[c], s.mesh->uv[v], sizeof s.mesh->uv[c]);
  return c;
}

// A corner of a smoothed face: the slot of vertex v that shares a group with the face.
uint32_t smoothcorner(Slots &s, uint32_t v, uint32_t mask, const float *normal) {
  if (s.mask[v] == 0) {
    s.mask[v] = mask;
    memcpy(s.normal[v], normal, sizeof s.normal[v]);
    return v;
  }
  if (s.mask[v] & mask) {
    addto(s.normal[v], normal);
    return v;
  }
  for (uint32_t c = s.next[v]; c; c = s.next[c]) {
    if (s.mask[c] & mask) {
      s.mask[c] = mask;
      addto(s.normal[c], normal);
      return c;
    }
  }
  if (s.count == s.capacity) grow(s);
  return newcopy(s, v, mask, normal);
}

// A corner of a face in no group that meets smoothed faces: a copy of its own.
uint32_t flatcorner(Slots &s, uint32_t v, const float *normal) {
  if (s.mask[v] == 0) return v;
  for (uint32_t c = s.next[v]; c; c = s.next[c])
    if (s.mask[c] == 0) return c;
  if (s.count == s.capacity) grow(s);
  return newcopy(s, v, 0, normal);
}

// ---- Material table --------------------------------------------------------------------------

bool given(const float *value) { return value[0] != -1.0f; }

unsigned int tablemask(const _WT3dsMaterial *materials) {
  unsigned int mask = 0;
  for (const _WT3dsMaterial *m = materials; m; m = m->next) {
    if (given(m->ambient)) mask |= WT3DS_AMBIENT;
    if (given(m->diffuse)) mask |= WT3DS_DIFFUSE;
    if (given(m->specular)) mask |= WT3DS_SPECULAR;
    if (m->shininess != -1.0f) mask |= WT3DS_SHININESS;
    if (m->transparency != 0.0f) mask |= WT3DS_OPACITY | WT3DS_DIFFUSE;
  }
  return mask;
}

void fillentry(const _WT3dsMaterial *m, _WT3dsTableEntry *e) {
  if (given(m->ambient)) {
    e->given |= WT3DS_AMBIENT;
    memcpy(e->ambient, m->ambient, sizeof e->ambient);
  }
  if (given(m->diffuse)) {
    e->given |= WT3DS_DIFFUSE;
    memcpy(e->diffuse, m->diffuse, sizeof e->diffuse);
  }
  if (given(m->specular)) {
    e->given |= WT3DS_SPECULAR;
    for (int i = 0; i < 3; i++) e->specular[i] = m->specular[i] * m->strength;
  }
  if (m->shininess != -1.0f) {
    e->given |= WT3DS_SHININESS;
    e->shininess[0] = m->shininess;
    e->shininess[1] = e->shininess[2] = WT3DS_FILLER;
  }
  if (m->transparency != 0.0f) {
    e->given |= WT3DS_OPACITY;
    e->opacity[0] = 1.0f - m->transparency;
    e->opacity[1] = e->opacity[2] = WT3DS_FILLER;
  }
}

// ---- Faces -----------------------------------------------------------------------------------

void setmaterial(const _WT3dsMaterial *mat, _WT3dsFaceLook *look) {
  look->hasmaterial = 1;
  look->twosided = mat->twosided != 0;
  look->hascolour = given(mat->diffuse);
  if (look->hascolour)
    for (int i = 0; i < 3; i++) look->rgb[i] = static_cast<unsigned char>(mat->diffuse[i] * 255.9999f);
  look->id = mat->index;
}

void settexture(const _WT3dsTriObject *mesh, uint32_t face, int old3ds, const _WT3dsMaterial *mat,
                _WT3dsFaceLook *look) {
  const _WT3dsMap &texture = mat->maps[WT3DS_TEXTUREMAP];
  if (!texture.name[0] || !mesh->uv) return;
  look->textured = 1;
  look->texture = texture.name;
  for (int k = 0; k < 3; k++) {
    const float *uv = mesh->uv[mesh->faces[face][k]];
    look->u[k] = uv[0];
    look->v[k] = old3ds ? 1.0f - uv[1] : uv[1];
  }
  look->shaded = !(mat->selfillum || mat->selfillumpct > 0.5f);
  look->transparent = mat->maps[WT3DS_OPACITYMAP].name[0] != 0;
  look->uvflag = texture.strength < 0.5f;
}

bool tgaextension(const char *ext) {
  static const char *const kinds[] = {".gif", ".tif", ".cel", ".GIF", ".TIF", ".CEL"};
  for (const char *kind : kinds)
    if (strncmp(ext, kind, 4) == 0) return true;
  return false;
}

}  // namespace

extern "C" {

_WT3dsNormal *_WT3ds_facenormals(const _WT3dsTriObject *mesh) {
  _WT3dsNormal *normals = static_cast<_WT3dsNormal *>(_WT3ds_calloc(sizeof *normals, mesh->nfaces));
  for (uint32_t f = 0; f < mesh->nfaces; f++) {
    const float *a = mesh->verts[mesh->faces[f][0]];
    const float *b = mesh->verts[mesh->faces[f][1]];
    const float *c = mesh->verts[mesh->faces[f][2]];
    WTp3 cb, ab;
    for (int i = 0; i < 3; i++) {
      cb[i] = c[i] - b[i];
      ab[i] = a[i] - b[i];
    }
    _WTp3_cross(cb, ab, normals[f]);
    for (float &x : normals[f]) x *= kNormalWeight;
  }
  return normals;
}

_WT3dsNormal *_WT3ds_smoothnormals(_WT3dsTriObject *mesh) {
  _WT3dsNormal *facenormals = _WT3ds_facenormals(mesh);
  Slots s = startslots(mesh);
  bool flatfaces = false;
  for (uint32_t f = 0; f < mesh->nfaces; f++) {
    const uint32_t mask = mesh->smoothing ? mesh->smoothing[f] : 0;
    if (!mask) {
      flatfaces = true;
      continue;
    }
    for (uint32_t &corner : mesh->faces[f]) corner = smoothcorner(s, corner, mask, facenormals[f]);
  }
  for (uint32_t f = 0; flatfaces && f < mesh->nfaces; f++) {
    if (mesh->smoothing && mesh->smoothing[f]) continue;
    for (uint32_t &corner : mesh->faces[f]) corner = flatcorner(s, corner, facenormals[f]);
  }
  mesh->nverts = s.count;
  _WTmem_free(s.next);
  _WTmem_free(s.mask);
  _WTmem_free(facenormals);
  return s.normal;
}

_WT3dsTableLayout *_WT3ds_tablelayout(_WT3dsMaterial *materials) {
  _WT3dsTableLayout *layout = static_cast<_WT3dsTableLayout *>(_WT3ds_calloc(sizeof *layout, 1));
  layout->mask = tablemask(materials);
  for (const _WT3dsMaterial *m = materials; m; m = m->next) layout->count++;
  layout->entries = static_cast<_WT3dsTableEntry *>(_WT3ds_calloc(sizeof *layout->entries, layout->count));
  uint32_t i = 0;
  for (_WT3dsMaterial *m = materials; m; m = m->next, i++) {
    m->index = i;
    fillentry(m, &layout->entries[i]);
  }
  return layout;
}

void _WT3ds_freelayout(_WT3dsTableLayout *layout) {
  if (!layout) return;
  _WTmem_free(layout->entries);
  _WTmem_free(layout);
}

void _WT3ds_toaxes(const float in[3], int old3ds, float out[3]) {
  const float x = in[0], y = in[1], z = in[2];
  out[0] = x;
  out[1] = old3ds ? y : -z;
  out[2] = old3ds ? z : y;
}

void _WT3ds_position(const float in[3], int old3ds, float scale, float out[3]) {
  _WT3ds_toaxes(in, old3ds, out);
  if (scale != 1.0f)
    for (int i = 0; i < 3; i++) out[i] *= scale;
}

int _WT3ds_vertexnormal(const float in[3], int old3ds, float out[3]) {
  const float length = sqrtf(in[0] * in[0] + in[1] * in[1] + in[2] * in[2]);
  if (!(length > kShortestNormal)) return 0;
  const float unit[3] = {in[0] / length, in[1] / length, in[2] / length};
  _WT3ds_toaxes(unit, old3ds, out);
  return 1;
}

void _WT3ds_geometryname(const char *mesh, char out[WT3DS_OBJNAME]) {
  size_t i = 0;
  for (; i + 1 < WT3DS_OBJNAME && mesh[i]; i++) out[i] = mesh[i] == ' ' ? '_' : mesh[i];
  out[i] = 0;
}

int _WT3ds_tganame(const char *name, char *out, size_t size) {
  const char *dot = strrchr(name, '.');
  const char *slash = strrchr(name, '\\');
  if (!dot || (slash && dot < slash) || !tgaextension(dot)) return 0;
  const size_t stem = static_cast<size_t>(dot - name);
  if (stem + 5 > size) return 0;
  memcpy(out, name, stem);
  memcpy(out + stem, ".tga", 5);
  return 1;
}

void _WT3ds_facelook(const _WT3dsTriObject *mesh, uint32_t face, int old3ds, _WT3dsFaceLook *look) {
  memset(look, 0, sizeof *look);
  for (int k = 0; k < 3; k++) look->corners[k] = mesh->faces[face][k];
  if (!mesh->facemats) return;
  const _WT3dsMaterial *mat = mesh->facemats[face];
  setmaterial(mat, look);
  settexture(mesh, face, old3ds, mat, look);
}

}  // extern "C"
