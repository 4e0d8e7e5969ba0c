// The 3D Studio chunk reader: one depth-first walk of a .3ds file's chunk tree into the scene
// record of read3ds.h.
//
// Every read stays inside the chunk being read, and every chunk inside its parent (the file for
// the outermost one): a chunk shorter than its header, a child running past its parent, fields
// or counts that do not fit their chunk, chunks nested deeper than kMaxDepth, corners or face
// numbers out of range and mesh chunks with no mesh or list to act on all fail the read.
#include "toolkit/loaders/read3ds.h"

#include <stdint.h>
#include <string.h>

#include <vector>

#include "toolkit/wt.h"

namespace {

constexpr int kFail = WT3DS_UNREADABLE;
constexpr int kNotMine = -1;  // a handler group leaves the chunk to the next
constexpr int kMaxDepth = 64;
constexpr float kUvLimit = 1.0e8f;

struct Chunk {
  uint16_t id;
  uint32_t length;
  int64_t end;  // stream position right after the chunk
};

// One read at a time.
struct State {
  FILE *file;
  _WT3dsData *data;
  int64_t pos;      // stream position
  int64_t limit;    // end of the chunk being read; no read crosses it
  uint32_t length;  // that chunk's length, for messages
  int depth;
  float colour[3];  // the last colour read
  float percent;    // the last percentage read
  char objectname[WT3DS_OBJNAME];
  char mapname[WT3DS_MAPNAME];
  char groupname[WT3DS_MAPNAME];
  bool found;
  bool boxwarned;
  uint32_t lightnumber;
  uint32_t matnumber;
  uint32_t groupnumber;
  std::vector<uint16_t> scratch;  // face records as read
};
State g;

// ---- Stream ----------------------------------------------------------------------------------

int64_t tell(FILE *f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return ftello(f);
#endif
}

bool seek(FILE *f, int64_t pos, int whence) {
#ifdef _WIN32
  return _fseeki64(f, pos, whence) == 0;
#else
  return fseeko(f, pos, whence) == 0;
#endif
}

// Bounds the walk by the stream's end.
bool measurestream() {
  g.pos = tell(g.file);
  if (g.pos < 0 || !seek(g.file, 0, SEEK_END)) return false;
  g.limit = tell(g.file);
  return g.limit >= g.pos && seek(g.file, g.pos, SEEK_SET);
}

int64_t remaining() { return g.limit - g.pos; }

// Little-endian values, in place; nothing to do on little-endian systems.
template <typename T>
void fromfile(T *values, size_t count) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  for (size_t i = 0; i < count; i++) {
    unsigned char *b = reinterpret_cast<unsigned char *>(values + i);
    for (size_t j = 0; j < sizeof(T) / 2; j++) {
      unsigned char t = b[j];
      b[j] = b[sizeof(T) - 1 - j];
      b[sizeof(T) - 1 - j] = t;
    }
  }
#else
  (void)values;
  (void)count;
#endif
}

// Up to n bytes that the current chunk still holds; the count read.
size_t rawread(void *dst, size_t n) {
  if (static_cast<int64_t>(n) > remaining()) n = remaining() > 0 ? static_cast<size_t>(remaining()) : 0;
  size_t got = fread(dst, 1, n, g.file);
  g.pos += static_cast<int64_t>(got);
  return got;
}

// A fixed field of the current chunk, read whole.
bool field(void *dst, size_t n) {
  if (static_cast<int64_t>(n) <= remaining()) {
    size_t got = rawread(dst, n);
    if (got == n) return true;
    _WTmsg_debug("read error (%d/%ld)!\n", static_cast<int>(got), static_cast<long>(g.length));
    return false;
  }
  _WTmsg_debug("read error (%d/%ld)!\n", 0, static_cast<long>(g.length));
  return false;
}

template <typename T>
bool values(T *dst, size_t count) {
  if (!field(dst, sizeof(T) * count)) return false;
  fromfile(dst, count);
  return true;
}

bool floats(float *dst, size_t count) { return values(dst, count); }
bool u16(uint16_t *dst) { return values(dst, 1); }

// Whether count elements of the given size fit what is left of the chunk.
bool fits(size_t count, size_t size) { return static_cast<int64_t>(count * size) <= remaining(); }

// A NUL-ended string; the first size - 1 characters are kept.
bool string(char *buf, size_t size) {
  size_t n = 0;
  for (;;) {
    int c = remaining() > 0 ? getc(g.file) : EOF;
    if (c == EOF) {
      _WTmsg_debug("read error (%d/%ld)!\n", static_cast<int>(n), static_cast<long>(g.length));
      return false;
    }
    g.pos++;
    if (c == 0) break;
    if (n + 1 < size) buf[n++] = static_cast<char>(c);
  }
  buf[n] = 0;
  return true;
}

int skipto(const Chunk &c) {
  if (seek(g.file, c.end, SEEK_SET)) {
    g.pos = c.end;
    return 0;
  }
  _WTmsg_debug("positioning error(%d)!\n", c.id);
  return kFail;
}

int ok(bool read) { return read ? 0 : kFail; }

// ---- Records ---------------------------------------------------------------------------------

template <typename T>
T *newrecord() {
  return static_cast<T *>(_WT3ds_calloc(sizeof(T), 1));
}

// An array that the reader fills whole; not zeroed.
template <typename T>
T *newarray(size_t count) {
  if (count > SIZE_MAX / sizeof(T)) _WTmsg_fatal("OUT OF MEMORY!");
  return static_cast<T *>(_WTmem_alloc(sizeof(T) * count));
}

void setcolour(float *c, float r, float gr, float b) {
  c[0] = r;
  c[1] = gr;
  c[2] = b;
}

void makedefaultmaterial() {
  _WT3dsMaterial *m = newrecord<_WT3dsMaterial>();
  setcolour(m->ambient, 0.2f, 0.2f, 0.2f);
  setcolour(m->diffuse, 0.6f, 0.6f, 0.6f);
  setcolour(m->specular, 0.2f, 0.2f, 0.2f);
  m->shininess = 10.0f;
  m->shading = 2;
  g.data->materials = m;
}

int prepare_mat_entry() {
  _WT3dsMaterial *m = newrecord<_WT3dsMaterial>();
  m->index = g.matnumber++;
  m->ambient[0] = m->diffuse[0] = m->specular[0] = -1.0f;
  m->shininess = -1.0f;
  m->strength = 1.0f;
  m->shading = 0xFFFFFFFFu;
  m->next = g.data->materials;
  g.data->materials = m;
  return 0;
}

int prepare_n_tri_object() {
  _WT3dsTriObject *m = newrecord<_WT3dsTriObject>();
  memcpy(m->name, g.objectname, sizeof m->name);
  m->next = g.data->meshes;
  g.data->meshes = m;
  return 0;
}

void prepare_point_array(_WT3dsTriObject *m, uint32_t n) {
  m->nverts = n;
  m->verts = newarray<float[3]>(n);
}

void prepare_face_array(_WT3dsTriObject *m, uint32_t n) {
  m->nfaces = n;
  m->faces = newarray<uint32_t[3]>(n);
  m->faceflags = newarray<uint32_t>(n);
}

void prepare_msh_mat_group(_WT3dsTriObject *m) {
  if (m->facemats) return;
  m->facemats = newarray<_WT3dsMaterial *>(m->nfaces);
  _WT3dsMaterial *fallback = _WT3ds_findmaterial("", g.data->materials);
  for (uint32_t i = 0; i < m->nfaces; i++) m->facemats[i] = fallback;
}

_WT3dsLight *newlight() {
  _WT3dsLight *l = newrecord<_WT3dsLight>();
  l->number = g.lightnumber++;
  memcpy(l->name, g.objectname, sizeof l->name);
  l->next = g.data->lights;
  g.data->lights = l;
  return l;
}

_WT3dsCamera *newcamera() {
  _WT3dsCamera *c = newrecord<_WT3dsCamera>();
  c->kind = 8;
  memcpy(c->name, g.objectname, sizeof c->name);
  c->next = g.data->cameras;
  g.data->cameras = c;
  return c;
}

// ---- Subchunks -------------------------------------------------------------------------------

// Every chunk left before the end of c.
int children(const Chunk &c) {
  while (g.pos != c.end)
    if (int r = _WT3ds_readchunk()) return r;
  return 0;
}

// The one subchunk of a container chunk, when it has a body; *read tells whether it had.
int subchunk(const Chunk &c, bool *read) {
  *read = g.pos != c.end;
  return *read ? _WT3ds_readchunk() : 0;
}

// A container whose subchunk leaves its colour (or percentage) in the reader state.
int colourinto(const Chunk &c, float *dst) {
  bool read = false;
  int r = subchunk(c, &read);
  if (!r && read) memcpy(dst, g.colour, sizeof g.colour);
  return r;
}

int percentinto(const Chunk &c, float *dst) {
  bool read = false;
  int r = subchunk(c, &read);
  if (!r && read) *dst = g.percent;
  return r;
}

// ---- Colours, percentages and scene settings ---------------------------------------------------

int bytecolour() {
  unsigned char rgb[3];
  if (!field(rgb, 3)) return kFail;
  for (int i = 0; i < 3; i++) g.colour[i] = rgb[i] * 0.003921569f;
  return 0;
}

int intpercent() {
  uint16_t v;
  if (!u16(&v)) return kFail;
  g.percent = v * 0.01f;
  return 0;
}

int gradient() {
  if (!floats(&g.data->gradientmid, 1)) return kFail;
  for (auto &colour : g.data->gradient) {
    if (int r = _WT3ds_readchunk()) return r;
    memcpy(colour, g.colour, sizeof g.colour);
  }
  return 0;
}

// Fog and distance cue: four planes and densities in file order, then children, of which the
// fog's first is its colour.
int fog(const Chunk &c) {
  _WT3dsData *d = g.data;
  float v[4];
  if (!floats(v, 4)) return kFail;
  d->fognear = v[0];
  d->fogneardensity = v[1];
  d->fogfar = v[2];
  d->fogfardensity = v[3];
  if (int r = colourinto(c, d->fogcolour)) return r;
  return children(c);
}

int distancecue(const Chunk &c) {
  _WT3dsData *d = g.data;
  float v[4];
  if (!floats(v, 4)) return kFail;
  d->cuenear = v[0];
  d->cueneardim = v[1];
  d->cuefar = v[2];
  d->cuefardim = v[3];
  return children(c);
}

// The six orthographic views (0x3010 to 0x3060) all count as kind 6.
int view() {
  _WT3dsData *d = g.data;
  d->viewkind = d->viewkindcopy = 6;
  return ok(floats(d->viewtarget, 3) && floats(&d->viewwidth, 1));
}

int userview() {
  _WT3dsData *d = g.data;
  d->viewkind = d->viewkindcopy = 7;
  return ok(floats(d->viewtarget, 3) && floats(&d->viewwidth, 1) && floats(d->viewangles, 3));
}

int settingchunk(const Chunk &c) {
  _WT3dsData *d = g.data;
  float dropped;
  switch (c.id) {
    case 0x0010: return ok(floats(g.colour, 3));
    case 0x0011: return bytecolour();
    case 0x0030: return intpercent();
    case 0x0031: return ok(floats(&g.percent, 1));
    case 0x0100: return ok(floats(&dropped, 1));
    case 0x1100: return ok(string(d->bitmap, sizeof d->bitmap));
    case 0x1101: d->usebitmap = 1; return 0;
    case 0x1200: d->solidkind = 16; return colourinto(c, d->solid);
    case 0x1201: d->usesolid = 1; return 0;
    case 0x1300: return gradient();
    case 0x1301: d->usegradient = 1; return 0;
    case 0x1400: return ok(floats(&d->lowbias, 1));
    case 0x1410: return ok(floats(&d->highbias, 1));
    case 0x1420: return ok(u16(&d->mapsize));
    case 0x1430: return ok(u16(&d->samples));
    case 0x1440: return ok(u16(&d->range));
    case 0x2100: return colourinto(c, d->ambient);
    case 0x2200: return fog(c);
    case 0x2201: d->usefog = 1; return 0;
    case 0x2210: d->fogbackground = 1; return 0;
    case 0x2300: return distancecue(c);
    case 0x2301: d->usecue = 1; return 0;
    case 0x2310: d->cuebackground = 1; return 0;
    case 0x3000: return children(c);
    case 0x3010: case 0x3020: case 0x3030: case 0x3040: case 0x3050: case 0x3060: return view();
    case 0x3070: return userview();
    case 0x3080: return ok(string(d->viewcamera, sizeof d->viewcamera));
    case 0x3D3D: case 0x4D4D: g.found = true; return children(c);
    default: return kNotMine;
  }
}

// ---- Meshes ----------------------------------------------------------------------------------

// The mesh that mesh chunks act on, or null with a message naming the chunk.
_WT3dsTriObject *newestmesh(const char *what) {
  _WT3dsTriObject *m = g.data->meshes;
  if (!m) _WTmsg_debug("%s: no mesh to act on\n", what);
  return m;
}

int pointarray() {
  _WT3dsTriObject *m = newestmesh("POINT_ARRAY");
  if (!m) return kFail;
  if (m->verts) {
    _WTmsg_debug("POINT_ARRAY: a second vertex list\n");
    return kFail;
  }
  uint16_t n;
  if (!u16(&n)) {
    _WTmsg_debug("POINT_ARRAY: number of vertices expected\n");
    return kFail;
  }
  if (!fits(n, sizeof *m->verts)) {
    _WTmsg_debug("POINT_ARRAY: vertex[%d] expected\n", static_cast<int>(remaining() / 12));
    return kFail;
  }
  prepare_point_array(m, n);
  return ok(floats(&m->verts[0][0], 3u * n));
}

// The face list, each corner below the vertex count; then its children.
int facearray(const Chunk &c) {
  _WT3dsTriObject *m = newestmesh("FACE_ARRAY");
  if (!m) return kFail;
  uint16_t n;
  if (m->faces || !u16(&n) || !fits(n, 8)) {
    _WTmsg_debug("FACE_ARRAY: a second face list, or fewer faces than its count\n");
    return kFail;
  }
  prepare_face_array(m, n);
  std::vector<uint16_t> &raw = g.scratch;
  raw.resize(4u * n);
  if (!values(raw.data(), raw.size())) return kFail;
  for (uint32_t i = 0; i < n; i++) {
    const uint16_t *f = &raw[4u * i];
    if (f[0] >= m->nverts || f[1] >= m->nverts || f[2] >= m->nverts) {
      _WTmsg_debug("FACE_ARRAY: face %u names a vertex beyond %u\n", i, m->nverts);
      return kFail;
    }
    for (int k = 0; k < 3; k++) m->faces[i][k] = f[k];
    m->faceflags[i] = f[3] & 7u;
  }
  return children(c);
}

_WT3dsMaterial *groupmaterial() {
  _WT3dsMaterial *mat = _WT3ds_findmaterial(g.groupname, g.data->materials);
  if (!mat) mat = _WT3ds_findmaterial("", g.data->materials);
  if (!mat) _WTmsg_debug("MSH_MAT_GROUP: could not point to material %s\n", g.groupname);
  return mat;
}

int materialgroup() {
  _WT3dsTriObject *m = newestmesh("MSH_MAT_GROUP");
  if (!m) return kFail;
  if (!m->faces) {
    _WTmsg_debug("MSH_MAT_GROUP: no face list to act on\n");
    return kFail;
  }
  prepare_msh_mat_group(m);
  uint16_t n;
  if (!string(g.groupname, sizeof g.groupname) || !u16(&n)) return kFail;
  _WT3dsMaterial *mat = groupmaterial();
  if (!mat) return kFail;
  if (n == 0 && !g.boxwarned) {
    _WTmsg_warning("3D Studio box-assigned materials are not supported.\n");
    g.boxwarned = true;
  }
  std::vector<uint16_t> &faces = g.scratch;
  faces.resize(n);
  if (!fits(n, 2) || !values(faces.data(), n)) return kFail;
  for (uint16_t f : faces) {
    if (f >= m->nfaces) {
      _WTmsg_debug("MSH_MAT_GROUP: face %u beyond %u\n", f, m->nfaces);
      return kFail;
    }
    m->facemats[f] = mat;
  }
  g.groupnumber++;
  return 0;
}

int texverts() {
  _WT3dsTriObject *m = newestmesh("TEX_VERT");
  uint16_t n;
  if (!m || !m->verts || !u16(&n) || n != m->nverts) {
    _WTmsg_debug("TEX_VERT: wrong number of texture vertices\n");
    return kFail;
  }
  if (!fits(n, sizeof *m->uv)) {
    _WTmsg_debug("TEX_VERT: %u texture vertices expected\n", n);
    return kFail;
  }
  _WTmem_free(m->uv);
  m->uv = newarray<float[2]>(n);
  if (!floats(&m->uv[0][0], 2u * n)) return kFail;
  for (uint32_t i = 0; i < 2u * n; i++) {
    float &x = (&m->uv[0][0])[i];
    if (!(x > -kUvLimit && x < kUvLimit)) x = 0.0f;
  }
  return 0;
}

int smoothgroups() {
  _WT3dsTriObject *m = newestmesh("SMOOTH_GROUP");
  if (!m) return kFail;
  if (!m->faces) {
    _WTmsg_debug("SMOOTH_GROUP: no face list to act on\n");
    return kFail;
  }
  if (!fits(m->nfaces, 4)) {
    _WTmsg_debug("read error SMOOTHGRP (%d/%ld)!\n", static_cast<int>(remaining() / 4),
                 static_cast<long>(g.length));
    return kFail;
  }
  _WTmem_free(m->smoothing);
  m->smoothing = newarray<uint32_t>(m->nfaces);
  return ok(values(m->smoothing, m->nfaces));
}

int localaxes() {
  _WT3dsTriObject *m = newestmesh("MESH_MATRIX");
  float rows[4][3];
  if (!m || !floats(&rows[0][0], 12)) return kFail;
  for (int i = 0; i < 4; i++) {
    for (int j = 0; j < 3; j++) m->axes[j][i] = rows[i][j];
    m->axes[3][i] = i == 3 ? 1.0f : 0.0f;
  }
  return 0;
}

// ---- Lights and cameras ----------------------------------------------------------------------

_WT3dsLight *newestlight() {
  _WT3dsLight *l = g.data->lights;
  if (!l) _WTmsg_debug("N_DIRECT_LIGHT: no light to act on\n");
  return l;
}

int directlight(const Chunk &c) {
  _WT3dsLight *l = newlight();
  if (!floats(l->position, 3)) return kFail;
  if (int r = colourinto(c, l->colour)) return r;
  return children(c);
}

int spotlight(const Chunk &c) {
  _WT3dsLight *l = newestlight();
  if (!l || !floats(l->target, 3) || !floats(&l->hotspot, 1) || !floats(&l->falloff, 1)) return kFail;
  l->spot = 1;
  l->shadows = l->castshadows = 0;
  return children(c);
}

int lightflag(bool shadows) {
  _WT3dsLight *l = newestlight();
  if (!l) return kFail;
  if (shadows)
    l->shadows = l->castshadows = 1;
  else
    l->off = 1;
  return 0;
}

int camera() {
  _WT3dsCamera *cam = newcamera();
  return ok(floats(cam->position, 3) && floats(cam->target, 3) && floats(&cam->bank, 1) &&
            floats(&cam->lens, 1));
}

int objectchunk(const Chunk &c) {
  switch (c.id) {
    case 0x4000: return string(g.objectname, sizeof g.objectname) ? children(c) : kFail;
    case 0x4100: prepare_n_tri_object(); return children(c);
    case 0x4110: return pointarray();
    case 0x4120: return facearray(c);
    case 0x4130: return materialgroup();
    case 0x4140: return texverts();
    case 0x4150: return smoothgroups();
    case 0x4160: return localaxes();
    case 0x4600: return directlight(c);
    case 0x4610: return spotlight(c);
    case 0x4620: return lightflag(false);
    case 0x4630: return lightflag(true);
    case 0x4700: return camera();
    default: return kNotMine;
  }
}

// ---- Materials -------------------------------------------------------------------------------

void clamp(float *value, float limit, const char *message) {
  if (*value > limit) {
    *value = limit;
    _WTmsg_warning("%s", message);
  }
}

// A map: its percentage, then, when the chunk holds more, the chunk that names its file.
int readmap(const Chunk &c, _WT3dsMap *map) {
  bool read = false;
  int r = subchunk(c, &read);
  if (r || !read) return r;
  map->strength = g.percent;
  if (g.pos == c.end) return 0;
  if ((r = _WT3ds_readchunk())) return r;
  memcpy(map->name, g.mapname, sizeof map->name);
  return 0;
}

int reflectblur(const Chunk &c, _WT3dsMaterial *m) {
  if (!floats(&m->reflectblur, 1)) return kFail;
  return skipto(c);
}

int materialchunk(const Chunk &c) {
  _WT3dsMaterial *m = g.data->materials;
  int r = 0;
  switch (c.id) {
    case 0xAFFF: prepare_mat_entry(); return children(c);
    case 0xA000: return ok(string(m->name, sizeof m->name));
    case 0xA010: return colourinto(c, m->ambient);
    case 0xA020: return colourinto(c, m->diffuse);
    case 0xA030: return colourinto(c, m->specular);
    case 0xA040: {
      bool read = false;
      r = subchunk(c, &read);
      if (!r && read) m->shininess = g.percent * 128.0f;
      clamp(&m->shininess, 128.0f, "shininess clamped at 128.0\n");
      return r;
    }
    case 0xA041:
      r = percentinto(c, &m->strength);
      clamp(&m->strength, 1.0f, "shininess strength clamped at 1.0\n");
      return r;
    case 0xA050:
      r = percentinto(c, &m->transparency);
      clamp(&m->transparency, 1.0f, "transparency clamped at 1.0\n");
      return r;
    case 0xA053: return reflectblur(c, m);
    case 0xA080: m->selfillum = 1; return 0;
    case 0xA081: m->twosided = 1; return 0;
    case 0xA082: m->decal = 1; return 0;
    case 0xA083: m->additive = 1; return 0;
    case 0xA084: m->decal = 1; return percentinto(c, &m->selfillumpct);
    case 0xA100: {
      uint16_t shading;
      if (!u16(&shading)) return kFail;
      m->shading = shading;
      return 0;
    }
    case 0xA200: return readmap(c, &m->maps[WT3DS_TEXTUREMAP]);
    case 0xA210: return readmap(c, &m->maps[WT3DS_OPACITYMAP]);
    case 0xA220: return readmap(c, &m->maps[WT3DS_REFLECTIONMAP]);
    case 0xA230: return readmap(c, &m->maps[WT3DS_BUMPMAP]);
    case 0xA250: m->usereflectblur = 1; return 0;
    case 0xA300: return ok(string(g.mapname, sizeof g.mapname));
    default: return kNotMine;
  }
}

// ---- One chunk -------------------------------------------------------------------------------

// The header of the next chunk, which must fit the chunk being read.
int header(Chunk *c) {
  const int64_t start = g.pos;
  uint16_t id = 0;
  uint32_t length = 0;
  size_t got = rawread(&id, 2);
  if (got != 2) {
    _WTmsg_debug("read error for tag (%d, %lx)!\n", static_cast<int>(got), static_cast<unsigned long>(start));
    return kFail;
  }
  got = rawread(&length, 4);
  if (got != 4) {
    _WTmsg_debug("read error for length (%d, %lx)!\n", static_cast<int>(got), static_cast<unsigned long>(start));
    return kFail;
  }
  fromfile(&id, 1);
  fromfile(&length, 1);
  c->id = id;
  c->length = length;
  c->end = start + length;
  if (length < 6 || c->end > g.limit) {
    _WTmsg_debug("chunk 0x%04x at %lx: length %lu does not fit its parent\n", id,
                 static_cast<unsigned long>(start), static_cast<unsigned long>(length));
    return kFail;
  }
  return 0;
}

int dispatch(const Chunk &c) {
  int r = settingchunk(c);
  if (r == kNotMine) r = objectchunk(c);
  if (r == kNotMine) r = materialchunk(c);
  if (r == kNotMine) r = skipto(c);
  return r;
}

}  // namespace

namespace {

int readscene(FILE *stream, _WT3dsData **out) {
  std::vector<uint16_t> scratch;
  scratch.swap(g.scratch);
  g = State();
  g.scratch.swap(scratch);
  g.scratch.clear();
  g.file = stream;
  g.matnumber = 1;
  g.groupnumber = 1;
  g.data = newrecord<_WT3dsData>();
  g.data->viewkind = 8;
  g.data->mapsize = 256;
  *out = g.data;
  makedefaultmaterial();
  if (!stream || !measurestream()) {
    _WTmsg_debug("positioning error(%d)!\n", 0);
    return kFail;
  }
  if (_WT3ds_readchunk()) {
    _WTmsg_debug("_WT3ds_read: could not interpret Chunk\n");
    return kFail;
  }
  if (!g.found) {
    _WTmsg_debug("I found no M3DMAGIC in 3DS file\n");
    return kFail;
  }
  return WT3DS_OK;
}

}  // namespace

extern "C" {

int _WT3ds_readchunk(void) {
  Chunk c;
  if (int r = header(&c)) return r;
  if (g.depth >= kMaxDepth) {
    _WTmsg_debug("chunk 0x%04x nested deeper than %d levels\n", c.id, kMaxDepth);
    return kFail;
  }
  const int64_t parentlimit = g.limit;
  const uint32_t parentlength = g.length;
  g.limit = c.end;
  g.length = c.length;
  g.depth++;
  int r = dispatch(c);
  g.depth--;
  g.limit = parentlimit;
  g.length = parentlength;
  return r;
}

int _WT3ds_read(FILE *stream, _WT3dsData **out) {
  _WT3dsData *unwanted = nullptr;
  const int r = readscene(stream, out ? out : &unwanted);
  _WT3ds_free(unwanted);
  return r;
}

_WT3dsMaterial *_WT3ds_findmaterial(const char *name, _WT3dsMaterial *list) {
  for (_WT3dsMaterial *m = list; m; m = m->next)
    if (strcmp(m->name, name) == 0) return m;
  return nullptr;
}

void _WT3ds_free(_WT3dsData *data) {
  if (!data) return;
  while (_WT3dsMaterial *m = data->materials) {
    data->materials = m->next;
    _WTmem_free(m);
  }
  while (_WT3dsCamera *c = data->cameras) {
    data->cameras = c->next;
    _WTmem_free(c);
  }
  while (_WT3dsLight *l = data->lights) {
    data->lights = l->next;
    _WTmem_free(l);
  }
  while (_WT3dsTriObject *m = data->meshes) {
    data->meshes = m->next;
    _WTmem_free(m->verts);
    _WTmem_free(m->faces);
    _WTmem_free(m->faceflags);
    _WTmem_free(m->facemats);
    _WTmem_free(m->smoothing);
    _WTmem_free(m->uv);
    _WTmem_free(m);
  }
  _WTmem_free(data);
}

void *_WT3ds_calloc(size_t size, size_t count) {
  size_t bytes = size * count;
  if (count && bytes / count != size) _WTmsg_fatal("OUT OF MEMORY!");
  void *block = _WTmem_alloc(bytes);
  memset(block, 0, bytes ? bytes : 1);
  return block;
}

_WT3dsData *_WT3ds_readscene(FILE *stream, const char *name) {
  _WT3dsData *data = nullptr;
  if (_WT3ds_read(stream, &data) == WT3DS_OK) return data;
  _WTmsg_warning("Unable to parse 3D Studio file '%s'\n", name ? name : "");
  _WT3ds_free(data);
  return nullptr;
}

}  // extern "C"
