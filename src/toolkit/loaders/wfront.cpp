// Wavefront OBJ files into one geometry: vertices, normals and texture vertices by index, faces
// with their materials from MTL files and textures from the materials or from map libraries.
#include "toolkit/loaders/wfront.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <array>
#include <string>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/numbers.h"

namespace {

constexpr int kKeepAxesOption = 3;
constexpr int kAmbientDiffuseOption = 13;

struct Material {
  std::string name;     // lower case
  std::string texture;  // map_Kd; empty for none
  uint32_t rgb = 0;     // the diffuse colour as 0xRRGGBB
};

struct Map {
  std::string name;
  std::string texture;
};

// Newest at the back: a lookup runs from the back, as from the head of a list.
std::vector<Material> materials;
std::vector<Map> maps;

std::string lowered(const char *text) {
  std::string s = text;
  for (char &c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

const Material *findmaterial(const std::string &name) {
  for (auto m = materials.rbegin(); m != materials.rend(); ++m)
    if (m->name == name) return &*m;
  return nullptr;
}

const Map *findmap(const std::string &name) {
  for (auto m = maps.rbegin(); m != maps.rend(); ++m)
    if (m->name == name) return &*m;
  return nullptr;
}

void skipline(WTreader *r) {
  while (_WTreader_linetoken(r)) {
  }
}

// Keywords are short: compared in place rather than through a library call a token.
bool is(const char *token, const char *word) {
  for (; *word; token++, word++)
    if (*token != *word) return false;
  return *token == 0;
}

bool oneof(const char *token, const char *const *words) {
  for (; *words; words++)
    if (is(token, *words)) return true;
  return false;
}

// A library file along "WTMODELS", or the name as given.
std::string libraryfile(const char *name) {
  const char *found = _WTfile_findpath(name, "WTMODELS");
  return found ? found : name;
}

// ---- Material files ------------------------------------------------------------------------

struct MtlCensus {
  int count = 0;
  unsigned int properties = 0;
};

// The first pass: the number of materials and the properties they use.
MtlCensus mtlcensus(WTreader *r) {
  MtlCensus census;
  static const struct {
    const char *word;
    unsigned int bit;
  } used[] = {{"Ka", WTAMBIENT}, {"Kd", WTDIFFUSE}, {"Ks", WTSPECULAR}, {"Ns", WTSHININESS},
              {"d", WTOPACITY}};
  while (char *t = _WTreader_nexttoken(r)) {
    if (is(t, "newmtl")) census.count++;
    for (const auto &u : used)
      if (is(t, u.word)) census.properties |= u.bit;
    skipline(r);
  }
  return census;
}

// A colour of three floats; the words "spectral" and "xyz" give black.
bool readcolour(WTreader *r, float rgb[3]) {
  char *t = _WTreader_linetoken(r);
  if (t && (is(t, "spectral") || is(t, "xyz"))) {
    rgb[0] = rgb[1] = rgb[2] = 0.0f;
    skipline(r);
    return true;
  }
  if (t) _WTreader_pushback(r);
  return _WTreader_getfloat3(r, rgb, "Color value") != 0;
}

uint32_t packed(const float rgb[3]) {
  uint32_t out = 0;
  for (int i = 0; i < 3; i++) {
    float c = rgb[i] < 0.0f ? 0.0f : rgb[i] > 1.0f ? 1.0f : rgb[i];
    out = out << 8 | static_cast<uint32_t>(static_cast<int>(c * 255.9f) & 0xFF);
  }
  return out;
}

// The texture file of a map_Kd line: options and their values skipped, the last name wins.
std::string mapname(WTreader *r) {
  static const struct {
    const char *option;
    int values;
  } options[] = {{"-s", 3}, {"-o", 3}, {"-mm", 2}, {"-clamp", 1}};
  std::string name;
  while (char *t = _WTreader_linetoken(r)) {
    int skip = -1;
    for (const auto &o : options)
      if (is(t, o.option)) skip = o.values;
    if (skip < 0) {
      name = t;
      continue;
    }
    for (int i = 0; i < skip && _WTreader_linetoken(r); i++) {
    }
  }
  return name;
}

struct MtlFill {
  WTreader *r = nullptr;
  WTmtable *table = nullptr;
  bool ambientdiffuse = false;
  int entry = -1;  // the open "newmtl" block's entry, -1 outside one
  Material material;
};

void setvalue(MtlFill &f, const float *values, unsigned int bit) {
  WTmtable_setvalue(f.table, f.entry, values, bit);
}

void closematerial(MtlFill &f) {
  if (f.entry >= 0) materials.push_back(f.material);
  f.entry = -1;
}

void openmaterial(MtlFill &f) {
  closematerial(f);
  char *name = _WTreader_linetoken(f.r);
  f.material = Material();
  f.material.name = lowered(name ? name : "");
  f.entry = WTmtable_newentry(f.table);
  if (f.entry >= 0) _WTmtable_setentryname(f.table, f.entry, f.material.name.c_str());
}

void colourline(MtlFill &f, const char *keyword) {
  float rgb[3];
  if (!readcolour(f.r, rgb)) return;
  if (keyword[1] == 'a') {
    setvalue(f, rgb, WTAMBIENT);
  } else if (keyword[1] == 's') {
    setvalue(f, rgb, WTSPECULAR);
  } else {
    setvalue(f, rgb, f.ambientdiffuse ? WTAMBIENTDIFFUSE : WTDIFFUSE);
    f.material.rgb = packed(rgb);
  }
}

// One line of the material file; the keyword is taken.
void mtlline(MtlFill &f, const char *keyword) {
  static const char *const ignored[] = {"Tf",     "Ni",    "illum", "sharpness", "map_Ka", "map_Ks",
                                        "map_Ns", "map_d", "decal", "bump",      "refl",   nullptr};
  if (is(keyword, "newmtl")) {
    openmaterial(f);
    return skipline(f.r);
  }
  float value;
  if (f.entry < 0) {
    _WTreader_error(f.r, 0, "Unknown material file keyword\n");
  } else if (is(keyword, "d")) {
    if (_WTreader_getfloat(f.r, &value, "Translucency value")) setvalue(f, &value, WTOPACITY);
  } else if (is(keyword, "Ka") || is(keyword, "Kd") || is(keyword, "Ks")) {
    colourline(f, keyword);
  } else if (is(keyword, "Ns")) {
    if (_WTreader_getfloat(f.r, &value, "Shininess value")) setvalue(f, &value, WTSHININESS);
  } else if (is(keyword, "map_Kd")) {
    std::string name = mapname(f.r);
    if (!name.empty()) f.material.texture = name;
  } else if (!oneof(keyword, ignored)) {
    _WTreader_error(f.r, 0, "Unknown material file keyword\n");
  }
  skipline(f.r);
}

void closelibrary(WTreader *r, FILE *file) {
  _WTreader_close(r);
  fclose(file);
}

// ---- OBJ files -----------------------------------------------------------------------------

// The texture coordinates of a face's corners; all when every corner has them.
struct FaceUV {
  std::vector<float> u, v;
  bool all = true;
};

// What the read has met so far; the arrays grow as "v", "vn" and "vt" lines come.
struct ObjRead {
  WTreader *r = nullptr;
  WTgeometry *g = nullptr;
  float scale = 1.0f;
  bool keepaxes = false;
  size_t vertices = 0;  // in the construction, by index
  std::vector<std::array<float, 3>> normals;
  std::vector<std::array<float, 2>> uvs;
  FaceUV face;  // the face being read, kept for its capacity
  int matid = 0;
  std::string texture;  // the current texture; empty for none
  int ignored = 0;
};

// The counts of the first pass, taken from the first word of each line.
struct ObjCensus {
  size_t v = 0, vt = 0, vn = 0;
};

// Where the census stands in the text: the first word of a line is looked at, the rest of the
// line is passed over.  A line holding a NUL byte hides the start of the line after it, as a
// line reader that stops at the NUL would.
enum CensusState { C_START, C_V, C_VT, C_VN, C_REST, C_RESTNUL };

CensusState censusstep(CensusState state, char c, ObjCensus &census) {
  const bool blank = c == ' ' || c == '\t';
  if (c == 0) return C_RESTNUL;
  if (c == '\n') return C_START;
  switch (state) {
    case C_START:
      return blank ? C_START : c == 'v' ? C_V : C_REST;
    case C_V:
      if (blank) census.v++;
      return c == 't' ? C_VT : c == 'n' ? C_VN : C_REST;
    default:  // C_VT, C_VN
      if (blank) (state == C_VT ? census.vt : census.vn)++;
      return C_REST;
  }
}

// Passes over the rest of lines in the block; the place of the next line start, or the end.
const char *skiprest(CensusState *state, const char *p, const char *end) {
  while (p < end && (*state == C_REST || *state == C_RESTNUL)) {
    const char *nl = static_cast<const char *>(memchr(p, '\n', size_t(end - p)));
    const char *stop = nl ? nl : end;
    if (memchr(p, 0, size_t(stop - p))) *state = C_RESTNUL;
    if (!nl) return end;
    *state = *state == C_RESTNUL ? C_REST : C_START;
    p = nl + 1;
  }
  return p;
}

ObjCensus objcensus(FILE *stream) {
  ObjCensus census;
  std::vector<char> block(1 << 16);
  CensusState state = C_START;
  size_t n;
  while ((n = fread(block.data(), 1, block.size(), stream)) > 0) {
    const char *p = block.data(), *end = p + n;
    while (p < end) {
      p = skiprest(&state, p, end);
      if (p < end) state = censusstep(state, *p++, census);
    }
  }
  return census;
}

void axes(const ObjRead &rd, float p[3]) {
  if (rd.keepaxes) return;
  p[1] = -p[1];
  p[2] = -p[2];
}

bool vertexline(ObjRead &rd) {
  WTp3 p;
  if (!_WTreader_getfloat3(rd.r, p, "Vertex Coordinate")) return false;
  axes(rd, p);
  if (rd.scale != 1.0f)
    for (float &c : p) c *= rd.scale;
  WTvertex *v = _WTvertex_newat(p);
  _WTgeometry_addvertex(rd.g, v);
  rd.vertices++;
  return true;
}

bool normalline(ObjRead &rd) {
  std::array<float, 3> n;
  if (!_WTreader_getfloat3(rd.r, n.data(), "Vertex Normal Coordinate")) return false;
  axes(rd, n.data());
  rd.normals.push_back(n);
  return true;
}

bool uvline(ObjRead &rd) {
  std::array<float, 2> uv;
  if (!_WTreader_getfloat(rd.r, &uv[0], "Texture vertex u Coordinate") ||
      !_WTreader_getfloat(rd.r, &uv[1], "Texture vertex v Coordinate"))
    return false;
  rd.uvs.push_back(uv);
  skipline(rd.r);
  return true;
}

// A face corner v, v/t, v//n or v/t/n; absent indices are 0.
struct Corner {
  long v = 0, t = 0, n = 0;
};

bool startsindex(char c) { return isdigit(static_cast<unsigned char>(c)) || c == '-'; }

// One index at p (an optional '-' and digits), clamped far outside any count; p moves past it.
long readindex(const char **p) {
  char *end;
  long value = _WTtext_strtol(*p, &end);
  if (value > 1000000000L) value = 1000000000L;
  if (value < -1000000000L) value = -1000000000L;
  *p = end;
  return value;
}

bool parsecorner(const char *token, Corner *c) {
  const char *p = token;
  if (!startsindex(*p)) return false;
  c->v = readindex(&p);
  if (*p == 0) return true;
  if (*p++ != '/') return false;
  if (startsindex(*p)) c->t = readindex(&p);
  if (*p == 0) return true;
  if (*p++ != '/') return false;
  if (!startsindex(*p)) return *p == 0;
  c->n = readindex(&p);
  return *p == 0;
}

// The 0-based place of a 1-based or backward index among count items; -1 when outside.
long place(long i, size_t count) {
  long n = static_cast<long>(count);
  if (i > 0 && i <= n) return i - 1;
  if (i < 0 && -i <= n) return n + i;
  return -1;
}

bool addcorner(ObjRead &rd, WTpoly *poly, const char *token, FaceUV &uv) {
  Corner c;
  long vi = parsecorner(token, &c) ? place(c.v, rd.vertices) : -1;
  if (vi < 0 || !WTpoly_addvertex(poly, static_cast<int>(vi))) {
    _WTreader_error(rd.r, 0, "Invalid Vertex.\n");
    return false;
  }
  WTvertex *v = poly->links->vertex;  // the link just added
  long ni = place(c.n, rd.normals.size());
  if (ni >= 0) _WTvertex_setnormal(v, rd.normals[static_cast<size_t>(ni)].data());
  long ti = place(c.t, rd.uvs.size());
  if (ti < 0) {
    uv.all = false;
    return true;
  }
  const std::array<float, 2> &t = rd.uvs[static_cast<size_t>(ti)];
  uv.u.push_back(t[0]);
  uv.v.push_back(rd.keepaxes ? t[1] : 1.0f - t[1]);
  return true;
}

bool trytexture(WTpoly *poly, const std::string &name, const FaceUV &uv) {
  if (uv.all && !uv.u.empty())
    return WTpoly_settextureuv(poly, name.c_str(), uv.u.data(), uv.v.data(), 1, 0) != 0;
  return WTpoly_settexture(poly, name.c_str(), 1, 0) != 0;
}

void texture(const ObjRead &rd, WTpoly *poly, const FaceUV &uv) {
  if (rd.texture.empty() || trytexture(poly, rd.texture, uv)) return;
  size_t dot = rd.texture.rfind('.');
  if (dot != std::string::npos) trytexture(poly, rd.texture.substr(0, dot), uv);
}

bool faceline(ObjRead &rd) {
  WTpoly *poly = WTgeometry_beginpoly(rd.g);
  FaceUV &uv = rd.face;
  uv.u.clear();
  uv.v.clear();
  uv.all = true;
  while (char *token = _WTreader_linetoken(rd.r)) {
    if (!addcorner(rd, poly, token, uv)) {
      _WTpoly_cancel(poly);
      return false;
    }
  }
  if (!WTpoly_close(poly)) {
    rd.ignored++;
    _WTpoly_cancel(poly);
    return true;
  }
  texture(rd, poly, uv);
  WTpoly_setmatid(poly, rd.matid);
  return true;
}

void usemtl(ObjRead &rd) {
  char *name = _WTreader_linetoken(rd.r);
  if (!name || is(name, "off")) return skipline(rd.r);
  std::string lower = lowered(name);
  skipline(rd.r);
  const Material *m = findmaterial(lower);
  if (!m) return;
  rd.matid = _WTmtable_findentrybyname(rd.g->mtable, lower.c_str());
  rd.texture = m->texture;
}

void usemap(ObjRead &rd) {
  char *name = _WTreader_linetoken(rd.r);
  bool off = !name || is(name, "off");
  if (rd.keepaxes) {
    rd.texture = off ? "" : name;
  } else if (!off) {
    if (const Map *m = findmap(name)) rd.texture = m->texture;
  }
  skipline(rd.r);
}

void mtllib(ObjRead &rd) {
  char *name = _WTreader_linetoken(rd.r);
  std::string file = name ? name : "";
  skipline(rd.r);
  if (file.empty()) return;
  if (WTmtable *table = _WTwfront_read_mtllib(file.c_str())) _WTmtable_attach(rd.g, table);
}

void maplib(ObjRead &rd) {
  char *name = _WTreader_linetoken(rd.r);
  std::string file = name ? name : "";
  skipline(rd.r);
  if (!file.empty()) _WTwfront_read_maplib(file.c_str());
}

// Keywords that take the rest of their line with them.
const char *const kSkipped[] = {"vp",   "p",    "l",     "curv",     "curv2",    "surf", "cstype",
                                "deg",  "bmat", "step",  "parm",     "trim",     "hole", "scrv",
                                "sp",   "end",  "con",   "s",        "mg",       "ctech", "stech",
                                "bevel", "c_interp", "d_interp", "lod", "shadow_obj", "trace_obj",
                                "bsp",  "bzp",  "cdc",   "cdp",      "res",      nullptr};

// One keyword and what follows it; false ends the read with no geometry.
bool objline(ObjRead &rd, const char *keyword) {
  if (is(keyword, "v")) return vertexline(rd);
  if (is(keyword, "vt")) return uvline(rd);
  if (is(keyword, "vn")) return normalline(rd);
  if (is(keyword, "f") || is(keyword, "fo")) return faceline(rd);
  if (is(keyword, "g") || oneof(keyword, kSkipped)) {
    skipline(rd.r);
  } else if (is(keyword, "o")) {
    _WTreader_linetoken(rd.r);
  } else if (is(keyword, "usemtl")) {
    usemtl(rd);
  } else if (is(keyword, "usemap")) {
    usemap(rd);
  } else if (is(keyword, "mtllib")) {
    mtllib(rd);
  } else if (is(keyword, "maplib")) {
    maplib(rd);
  } else {
    _WTreader_error(rd.r, 0, "Unrecognized keyword.\n");
    return false;
  }
  return true;
}

void discard(WTgeometry *g) {
  _WTgeometry_checkifopen(g);
  WTgeometry_delete(g);
}

// The second pass over the rewound stream; the geometry, still open, or null.
WTgeometry *readbody(FILE *stream, const char *name, float scale, const ObjCensus &census) {
  WTgeometry *g = WTgeometry_begin();
  if (!g) return nullptr;
  WTreader *r = _WTreader_open(name, stream, "#");
  ObjRead rd;
  rd.r = r;
  rd.g = g;
  rd.scale = scale;
  rd.keepaxes = _WTuniverse_getoption(kKeepAxesOption) != 0;
  rd.normals.reserve(census.vn);
  rd.uvs.reserve(census.vt);
  bool ok = true;
  while (char *keyword = _WTreader_nexttoken(r)) {
    if (!(ok = objline(rd, keyword))) break;
  }
  _WTreader_close(r);
  if (!ok) {
    discard(g);
    return nullptr;
  }
  if (rd.ignored) _WTmsg_warning("%d polygons were ignored.\n", rd.ignored);
  return g;
}

}  // namespace

extern "C" {

void _WTwfront_freelists(void) {
  std::vector<Material>().swap(materials);
  std::vector<Map>().swap(maps);
}

const char *_WTwfront_materialtexture(const char *name) {
  const Material *m = name ? findmaterial(name) : nullptr;
  return m ? m->texture.c_str() : nullptr;
}

const char *_WTwfront_maptexture(const char *name) {
  const Map *m = name ? findmap(name) : nullptr;
  return m ? m->texture.c_str() : nullptr;
}

WTmtable *_WTwfront_read_mtllib(const char *name) {
  if (!name) return nullptr;
  const std::string path = libraryfile(name);
  FILE *file = _WTfile_open(path.c_str(), "rt");
  if (!file) {
    _WTmsg_warning("Couldn't open wavefront material file '%s' for first pass\n", path.c_str());
    return nullptr;
  }
  WTreader *r = _WTreader_open(path.c_str(), file, "#");
  MtlCensus census = mtlcensus(r);
  closelibrary(r, file);
  if (census.count == 0) {
    _WTmsg_warning("Found no valid materials in material file '%s'\n", path.c_str());
    return nullptr;
  }
  bool ambientdiffuse = _WTuniverse_getoption(kAmbientDiffuseOption) && (census.properties & WTDIFFUSE);
  if (ambientdiffuse) census.properties = WTAMBIENTDIFFUSE;
  file = _WTfile_open(path.c_str(), "rt");
  if (!file) {
    _WTmsg_warning("Couldn't open wavefront material file '%s'\n", path.c_str());
    return nullptr;
  }
  WTmtable *table = WTmtable_new(census.properties, census.count, nullptr);
  if (!table) {
    fclose(file);
    return nullptr;
  }
  r = _WTreader_open(path.c_str(), file, "#");
  MtlFill fill;
  fill.r = r;
  fill.table = table;
  fill.ambientdiffuse = ambientdiffuse;
  while (char *keyword = _WTreader_nexttoken(r)) mtlline(fill, keyword);
  closematerial(fill);
  closelibrary(r, file);
  return table;
}

void _WTwfront_read_maplib(const char *name) {
  if (!name) return;
  const std::string path = libraryfile(name);
  FILE *file = _WTfile_open(path.c_str(), "rt");
  if (!file) {
    _WTmsg_warning("Couldn't open wavefront map file '%s'\n", path.c_str());
    return;
  }
  WTreader *r = _WTreader_open(path.c_str(), file, "#");
  bool open = false;
  Map map;
  auto finish = [&] {
    if (open && !map.texture.empty()) maps.push_back(map);
  };
  while (char *keyword = _WTreader_nexttoken(r)) {
    if (is(keyword, "newmap")) {
      finish();
      char *mapname = _WTreader_linetoken(r);
      map = Map{mapname ? mapname : "", ""};
      open = true;
    } else if (open && is(keyword, "Kd")) {
      if (char *texture = _WTreader_linetoken(r)) map.texture = texture;
    } else if (!open || !(is(keyword, "Ka") || is(keyword, "Ks") || is(keyword, "bump"))) {
      _WTreader_error(r, 0, "Unknown mapfile keyword\n");
    }
    skipline(r);
  }
  finish();
  closelibrary(r, file);
}

WTgeometry *_WTwfront_read_geometry(FILE *stream, const char *name, float scale) {
  if (!stream) return nullptr;
  ObjCensus census = objcensus(stream);
  if (census.v == 0) return nullptr;
  rewind(stream);
  _WTwfront_freelists();
  WTgeometry *g = readbody(stream, name ? name : "", scale, census);
  _WTwfront_freelists();
  if (!g || !WTgeometry_close(g)) return nullptr;
  return g;
}

WTobject *_WTwfront_read_object(FILE *stream, const char *name, float scale, int principal) {
  WTgeometry *g = _WTwfront_read_geometry(stream, name, scale);
  return g ? _WTobject_newfromgeometry(g, principal) : nullptr;
}

}  // extern "C"
