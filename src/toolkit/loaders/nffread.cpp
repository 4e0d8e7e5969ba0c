// NFF text files into geometries: the header with the viewpoint, then named geometries of
// vertices (normals, uv, colours, material ids) and polygons (colours or material ids, textures
// with their placement, portals, ids).
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/loaders.h"
#include "toolkit/loaders/nff.h"
#include "toolkit/loaders/numbers.h"

namespace {

constexpr uint8_t kHasUv = 2;
constexpr uint16_t kReadPoly = 0x20;
constexpr float kSmall = 0.004f;

struct Uv {
  float u, v;
};

// The last polygon colour looked up in a material table and the id it found.  Only a table
// that did not grow since gives the same id again; a failed lookup is not kept.
struct LastColour {
  const WTmtable *table = nullptr;
  int count = -1;
  uint32_t rgb = 0;
  int id = -1;
};

// One file's reading state.
struct Nff {
  WTreader *r;
  const char *file;
  float version = 1.01f;
  bool distinct = false;
  float scale;
  WTpq *pose;
  WTcell **portals;
  // The geometry being read.
  std::vector<WTvertex *> vertices;
  std::vector<Uv> uv;
  std::vector<int> indices;  // the polygon being read, kept for its capacity
  std::vector<float> u, v;   // its texture coordinates, kept likewise
  LastColour lastcolour;     // polygons mostly repeat the colour before them
  int valid = 0, ignored = 0;
};

bool readint(Nff &n, int *out, const char *what) {
  char *token = _WTreader_linetoken(n.r);
  if (!token) {
    _WTreader_error(n.r, 0, nullptr);
    _WTmsg_warning("%s missing.\n", what);
    return false;
  }
  char *end;
  long value = _WTtext_strtol(token, &end);
  if (*end || end == token || value > 0x7fffffffL || value < -0x7fffffffL) {
    _WTreader_error(n.r, int(end - token), nullptr);
    _WTmsg_warning("%s invalid.\n", what);
    return false;
  }
  *out = int(value);
  return true;
}

int hexdigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A token of one to eight hexadecimal digits after an optional "0x", as strtoul reads it: its
// value and length.  False for any other token, left to strtoul.
bool plainhex(const char *token, uint32_t *value, size_t *length) {
  const char *digits = token[0] == '0' && (token[1] == 'x' || token[1] == 'X') ? token + 2 : token;
  const char *p = digits;
  uint32_t v = 0;
  for (int d; p - digits < 8 && (d = hexdigit(*p)) >= 0; p++) v = v << 4 | uint32_t(d);
  if (*p || p == digits) return false;
  *value = v;
  *length = size_t(p - token);
  return true;
}

bool readcolour(Nff &n, const char *token, uint32_t *out, size_t shortlength, const char *what) {
  if (!token) {
    _WTreader_error(n.r, 0, nullptr);
    _WTmsg_warning("%s missing.\n", what);
    return false;
  }
  uint32_t value;
  size_t length;
  if (!plainhex(token, &value, &length)) {
    char *end;
    value = uint32_t(strtoul(token, &end, 16));
    if (*end || end == token) {
      _WTreader_error(n.r, int(end - token), nullptr);
      _WTmsg_warning("%s invalid.\n", what);
      return false;
    }
    length = strlen(token);
  }
  *out = value & 0xFFFFFF;
  if (length == shortlength) *out = _WTcolor_unpack12(*out & 0xFFF);
  return true;
}

// The material id of a polygon colour in the geometry's table (0 without a table).
int colourid(Nff &n, WTgeometry *g, uint32_t rgb) {
  if (!g->mtable) return 0;
  LastColour &last = n.lastcolour;
  if (last.table == g->mtable && last.count == g->mtable->count && last.rgb == rgb) return last.id;
  const int id = _WTmtable_getrgb24id(g->mtable, rgb);
  if (id >= 0) last = {g->mtable, g->mtable->count, rgb, id};
  return id;
}

// ---- Header --------------------------------------------------------------------------------

bool header(Nff &n) {
  for (;;) {
    char *token = _WTreader_nexttoken(n.r);
    if (!token) return false;
    if (!strcmp(token, "version")) {
      if (!_WTreader_getfloat(n.r, &n.version, "Version")) return false;
    } else if (!strcmp(token, "viewpos")) {
      if (!_WTreader_getfloat3(n.r, n.pose->p, "Viewposition coordinate")) return false;
    } else if (!strcmp(token, "viewdir")) {
      WTp3 d;
      if (!_WTreader_getfloat3(n.r, d, "Viewdirection coordinate")) return false;
      float l = sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      if (l > 0) {
        for (float &k : d) k /= l;
        _WTdir_2q(d, n.pose->q);
      }
    } else if (!strcmp(token, "distinct")) {
      n.distinct = true;
    } else {
      _WTreader_pushback(n.r);
      return true;
    }
  }
}

// ---- Vertices ------------------------------------------------------------------------------

bool vertexcolour(Nff &n, WTgeometry *g, WTvertex *v) {
  if (n.version >= 3.0f) {
    _WTmsg_warning("nff file format v3.0 does not allow rgb \t\t\t\t\t\t\t\tcolors for vertices\n");
    return false;
  }
  uint32_t rgb;
  char *token = _WTreader_linetoken(n.r);
  if (!readcolour(n, token, &rgb, token && strlen(token) != 8 ? strlen(token) : 0, "Vertex color"))
    return false;
  v->matid = g->mtable ? _WTmtable_getrgb24id(g->mtable, rgb) : 0;
  v->flags |= WTV_MATID;
  return true;
}

bool vertexattribute(Nff &n, WTgeometry *g, WTvertex *v, size_t index, const char *token) {
  if (!strcmp(token, "N")) {
    v->flags |= WTV_SMOOTH;
  } else if (!strcmp(token, "uv")) {
    float uv[2];
    if (!_WTreader_getfloat2(n.r, uv, "Vertex uv")) return false;
    if (n.uv.empty()) n.uv.resize(n.vertices.capacity());
    if (n.uv.size() <= index) n.uv.resize(index + 1);
    n.uv[index] = {uv[0], uv[1]};
    v->flags |= kHasUv;
  } else if (!strcmp(token, "rgb")) {
    return vertexcolour(n, g, v);
  } else if (!strcmp(token, "matid")) {
    int id;
    if (!readint(n, &id, "Material index")) return false;
    if (id < 0) {
      _WTmsg_warning("negative material index parsed from nff file\n");
    } else {
      v->matid = id;
      v->flags |= WTV_MATID;
    }
  } else if (!strcmp(token, "norm") || n.version < 2.0f) {
    if (strcmp(token, "norm")) _WTreader_pushback(n.r);
    WTp3 normal;
    if (_WTreader_getfloat3(n.r, normal, "Vertex normal")) _WTvertex_setnormal(v, normal);
  }
  return true;
}

bool vertex(Nff &n, WTgeometry *g) {
  if (!_WTreader_nextline(n.r)) {
    _WTmsg_warning("Vertex coordinate missing.\n");
    return false;
  }
  WTp3 p;
  if (!_WTreader_getfloat3(n.r, p, "Vertex coordinate")) return false;
  for (float &k : p) k *= n.scale;
  WTvertex *v = _WTvertex_newat(p);
  const size_t index = n.vertices.size();
  n.vertices.push_back(v);
  _WTgeometry_addvertexsimple(g, v);
  while (char *token = _WTreader_linetoken(n.r))
    if (!vertexattribute(n, g, v, index, token)) return false;
  return true;
}

// ---- Polygons ------------------------------------------------------------------------------

using Look = WTnfflook;

bool polyattribute(Nff &n, WTpoly *p, const char *token, Look &look) {
  auto value = [&]() {
    const char *t = _WTreader_linetoken(n.r);
    return t ? float(atof(t)) : 0.0f;
  };
  if (!strcmp(token, "rot")) look.rotation = value();
  else if (!strcmp(token, "scale")) look.scale = value();
  else if (!strcmp(token, "trans")) {
    look.offset[0] = value();
    look.offset[1] = value();
  } else if (!strcmp(token, "tint")) look.tint = true;
  else if (!strcmp(token, "both")) WTpoly_setbothsides(p, 1);
  else if (!strcmp(token, "mirror")) look.mirror = true;
  else if (token[0] == '_') look.texture = token + 1;
  else if (token[0] == '-') {
    if (n.portals) look.portals.push_back(token + 1);
  } else {
    const char *eq = strchr(token, '=');
    if (!eq || eq == token || !eq[1] || strchr(eq + 1, '=')) {
      _WTreader_error(n.r, 0, "Polygon attribute unknown.\n");
      return false;
    }
    if (eq - token != 2 || strncmp(token, "id", 2)) {
      _WTreader_error(n.r, 0, "Polygon assignment unknown.\n");
      return false;
    }
    char *end;
    long id = strtol(eq + 1, &end, 10);
    if (*end) {
      _WTreader_error(n.r, int(end - token), "ID number invalid.\n");
      return false;
    }
    p->id = int16_t(id);
  }
  return true;
}

bool polycolour(Nff &n, WTgeometry *g, WTpoly *p) {
  char *token = _WTreader_linetoken(n.r);
  if (token && !strcmp(token, "matid")) {
    int id;
    if (!readint(n, &id, "Material index")) return false;
    if (id < 0) _WTmsg_warning("negative material index parsed from nff file\n");
    else p->matid = id;
    return true;
  }
  uint32_t rgb;
  if (!readcolour(n, token, &rgb, 5, "Polygon color")) return false;
  p->matid = colourid(n, g, rgb);
  return true;
}

void applylook(Nff &n, WTpoly *p, const std::vector<int> &indices, const Look &look) {
  if (look.texture.empty() && !look.tint) return;  // nothing to set
  bool alluv = !n.uv.empty();
  for (int i : indices) alluv = alluv && (n.vertices[size_t(i)]->flags & kHasUv);
  std::vector<float> &u = n.u, &v = n.v;
  u.clear();
  v.clear();
  for (int i : indices) {
    u.push_back(alluv ? n.uv[size_t(i)].u : 0);
    v.push_back(alluv ? n.uv[size_t(i)].v : 0);
  }
  _WTnff_settexture(p, look, alluv ? u.data() : nullptr, alluv ? v.data() : nullptr);
}

// False when the geometry's read fails.
bool polygon(Nff &n, WTgeometry *g) {
  int count;
  if (!_WTreader_nextline(n.r)) {
    _WTmsg_warning("Number of vertices missing.\n");
    return false;
  }
  if (!readint(n, &count, "Number of vertices")) return false;
  if (count < 1) {
    _WTreader_error(n.r, 0, "This polygon does not have any vertices.\n");
    return false;
  }
  if (count < 3) {
    _WTreader_error(n.r, 0, "A polygon cannot have fewer than 3 vertices.\n");
    n.ignored++;
    return true;
  }
  WTpoly *p = _WTpoly_new(g);
  p->flags |= kReadPoly;
  std::vector<int> &indices = n.indices;
  indices.clear();
  for (int i = 0; i < count; i++) {
    int index;
    if (!readint(n, &index, "Vertex index") || index < 0 || size_t(index) >= n.vertices.size()) {
      _WTpoly_cancel(p);
      return false;
    }
    indices.push_back(index);
    WTpoly_addvertexptr(p, n.vertices[size_t(index)]);
  }
  Look look;
  bool ok = polycolour(n, g, p);
  while (ok)
    if (char *token = _WTreader_linetoken(n.r)) ok = polyattribute(n, p, token, look);
    else break;
  if (!ok) {
    _WTpoly_cancel(p);
    return false;
  }
  if (!WTpoly_close(p)) {
    _WTreader_error(n.r, 0, "Problem is with this polygon.\n");
    _WTpoly_cancel(p);
    n.ignored++;
    return true;
  }
  applylook(n, p, indices, look);
  for (const std::string &name : look.portals)
    *n.portals = _WTlist_cell(_WTportal_new(p, name.c_str()), *n.portals);
  n.valid++;
  return true;
}

// ---- Geometries ----------------------------------------------------------------------------

bool nameattributes(Nff &n) {
  while (char *token = _WTreader_linetoken(n.r)) {
    const char *eq = strchr(token, '=');
    if (!eq || eq == token || !eq[1] || strchr(eq + 1, '=')) {
      _WTreader_error(n.r, 0, "Geometry attribute unknown.\n");
      return false;
    }
  }
  return true;
}

// An "mtable" line attaches the named table; false when no line follows it.
bool mtableline(Nff &n, WTgeometry *g, bool *loaded) {
  char *token = _WTreader_linetoken(n.r);
  if (!token || strcmp(token, "mtable")) {
    _WTreader_pushback(n.r);
    return true;
  }
  char *name = _WTreader_linetoken(n.r);
  if (WTmtable *table = name ? _WTmtable_findbyname(name) : nullptr) {
    _WTmtable_attach(g, table);
    *loaded = true;
  }
  if (!g->mtable)
    _WTmsg_warning("Couldn't load mtable '%s' for geometry '%s' in file '%s'.\n", name ? name : "",
                   g->name ? g->name : "", n.file);
  return _WTreader_nextline(n.r) != 0;
}

bool body(Nff &n, WTgeometry *g) {
  int nverts, npolys;
  if (!readint(n, &nverts, "Number of vertices") || nverts < 0) return false;
  n.vertices.reserve(size_t(nverts < 65536 ? nverts : 65536));
  for (int i = 0; i < nverts; i++)
    if (!vertex(n, g)) return false;
  if (!_WTreader_nextline(n.r)) {
    _WTmsg_warning("Number of polygons missing.\n");
    return false;
  }
  if (!readint(n, &npolys, "Number of polygons") || npolys < 0) return false;
  for (int i = 0; i < npolys; i++)
    if (!polygon(n, g)) return false;
  return true;
}

void clearuv(Nff &n, WTgeometry *g) {
  if (!n.uv.empty())
    for (WTvertex *v = g->vertices; v; v = v->next) v->flags &= uint8_t(~kHasUv);
  n.uv.clear();
  n.vertices.clear();
}

WTgeometry *geometry(Nff &n, WTmtable *shared) {
  char *name = _WTreader_nexttoken(n.r);
  if (!name) return nullptr;
  WTgeometry *g = _WTgeometry_new(nullptr);
  WTgeometry_setname(g, name);
  if (n.version < 2.99f) _WTmtable_attach(g, shared ? shared : WTmtable_new(WTAMBIENTDIFFUSE, 10, nullptr));
  n.valid = n.ignored = 0;
  n.lastcolour = LastColour();
  bool loaded = false;
  bool ok = nameattributes(n) && _WTreader_nextline(n.r) && mtableline(n, g, &loaded) && body(n, g);
  if (ok && n.ignored) _WTmsg_warning("%d polygons were ignored.\n", n.ignored);
  if (ok && !n.valid) {
    _WTmsg_warning("No valid polygons in object.\n");
    ok = false;
  }
  clearuv(n, g);
  if (!ok) {
    WTgeometry_delete(g);
    return nullptr;
  }
  if (loaded && shared && shared != g->mtable) _WTmtable_mergegeometry(shared, g);
  return g;
}

}  // namespace

void _WTnff_settexture(WTpoly *p, const WTnfflook &look, const float *u, const float *v) {
  if (!look.texture.empty()) {
    const char letter = char(toupper(static_cast<unsigned char>(look.texture[0])));
    const int a = letter == 'S' || letter == 'U', b = letter == 'T' || letter == 'U';
    const std::string name = look.texture.size() > 2 ? look.texture.substr(2) : std::string();
    if (u && v) {
      WTpoly_settextureuv(p, name.c_str(), u, v, a, b);
    } else if (WTpoly_settexture(p, name.c_str(), a, b)) {
      if (look.mirror) WTpoly_mirrortexture(p);
      if (fabsf(look.rotation) >= kSmall) WTpoly_rotatetexture(p, look.rotation);
      if (fabsf(look.scale - 1) >= kSmall) WTpoly_scaletexture(p, look.scale);
      if (fabsf(look.offset[0]) >= kSmall || fabsf(look.offset[1]) >= kSmall)
        WTpoly_translatetexture(p, look.offset);
    }
  }
  if (look.tint && p->texture) p->texture->style[2] = 1;
}

extern "C" {

uint32_t _WTcolor_pack12(uint32_t c) {
  return ((c & 0xFF0000) >> 20) << 8 | ((c & 0xFF00) >> 12) << 4 | ((c & 0xFF) >> 4);
}

uint32_t _WTcolor_unpack12(uint32_t c) {
  return ((c >> 8) & 0xF) * 0x11 << 16 | ((c >> 4) & 0xF) * 0x11 << 8 | (c & 0xF) * 0x11;
}

WTgeomlist *_WTnff_read_geometries(FILE *stream, const char *name, WTpq *pose, float scale,
                                   int join, WTcell **portals) {
  WTpq local;
  Nff n{};
  n.file = name ? name : "";
  n.scale = scale;
  n.pose = pose ? pose : &local;
  n.portals = portals;
  *n.pose = WTpq{{0, 0, 0}, {0, 0, 0, 1}};
  n.r = _WTreader_open(n.file, stream, "//");
  if (!n.r) return nullptr;
  char *magic = _WTreader_nexttoken(n.r);
  WTgeomlist *list = nullptr, *tail = nullptr;
  if (!magic) {
    _WTmsg_warning("File %s has no data\n", n.file);
  } else if (strcmp(magic, "nff") && strcmp(magic, "s8")) {
    _WTmsg_warning("File %s. '%s' is not the magic string ('%s')\n", n.file, magic, "nff");
  } else if (header(n)) {
    WTmtable *shared = nullptr;
    while (WTgeometry *g = geometry(n, join ? shared : nullptr)) {
      if (join) shared = g->mtable;
      WTgeomlist *cell = _WTgeomlist_add(nullptr, g);
      if (tail) tail->next = cell;
      else list = cell;
      tail = cell;
    }
    if (!list) _WTmsg_warning("File '%s' has no readable geometries\n", n.file);
  }
  _WTreader_close(n.r);
  if (list && list->next && join && !n.distinct) _WTgeomlist_glom(list);
  return _WTread_closeall(list, nullptr);
}

WTcell *_WTnff_read_objects(FILE *stream, const char *name, WTpq *pose, float scale, int join,
                            WTcell **portals, int flag) {
  WTcell *made = nullptr;
  WTgeomlist *list = _WTnff_read_geometries(stream, name, pose, scale, join, &made);
  return _WTnff_makeobjects(list, made, portals, flag);
}

WTcell *_WTnff_makeobjects(WTgeomlist *list, WTcell *made, WTcell **portals, int flag) {
  WTcell *objects = _WTread_makeobjects(list, flag, WTreadorder::kept);
  for (WTcell *c = made; c; c = c->next) {
    WTportal *portal = static_cast<WTportal *>(c->value);
    _WTpoly_addportal(_WTportal_getpoly(portal), portal);
  }
  if (portals) *portals = _WTlist_join(made, *portals);
  else _WTlist_free(made);
  return objects;
}

}  // extern "C"
