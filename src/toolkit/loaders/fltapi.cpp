// OpenFlight databases through the outside OpenFlight API libraries: the binding of their
// entries and code tables, and the read that walks a database into nodes.
#include "toolkit/loaders/fltapi.h"

#include <string.h>

#include <math.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/core/platform.h"

#define FLT_ENTRIES(X)                                                                           \
  X(mgInit) X(mgExit) X(mgSetMessagesEnabled) X(mgOpenDb) X(mgGetLastError) X(mgWalk)           \
  X(mgGetMaterialCount) X(mgGetFirstMaterial) X(mgNameOfMaterial) X(mgGetNormColor)             \
  X(mgGetAttList) X(mgGetNextMaterial) X(mgGetCode) X(mgGetName) X(mgGetNestedChild)            \
  X(mgIndex2RGB) X(mgGetAttBuf) X(mgGetTextureName) X(mgFree) X(mgGetChild) X(mgGetIcoord)     \
  X(mgGetNext) X(mgGetVtxNormal) X(mgGetLightSource) X(mgGetColorRGBA) X(mgIsInstance)         \
  X(mgGetReference) X(mgGetMatrix)

namespace {

struct Api {
#define FLT_MEMBER(name) name##fn name;
  FLT_ENTRIES(FLT_MEMBER)
#undef FLT_MEMBER
};

Api api;
const unsigned char *recordcodes;
const unsigned char *datacodes;
bool bound;
bool initialised;

const char kBoxCaption[] = "VAV flight reader";

// Reports an entry that the library does not have; true when it was found.
bool resolve(void *library, const char *name, void **slot) {
  *slot = _WTplat_libraryentry(library, name);
  if (*slot) return true;
  std::string text = "\nVAV flight reader - Could not resolve DLL address of ";
  text += name;
  _WTsys_messagebox(text.c_str(), kBoxCaption, 0);
  return false;
}

bool resolveentries(void *library) {
  bool all = true;
#define FLT_RESOLVE(name) all &= resolve(library, #name, reinterpret_cast<void **>(&api.name));
  FLT_ENTRIES(FLT_RESOLVE)
#undef FLT_RESOLVE
  return all;
}

bool resolvetables(void *library) {
  void *records = nullptr, *data = nullptr;
  bool all = resolve(library, "FltRecordCodeMap", &records);
  all &= resolve(library, "FltDataCodeMap", &data);
  recordcodes = static_cast<const unsigned char *>(records);
  datacodes = static_cast<const unsigned char *>(data);
  return all;
}

int32_t codeat(const unsigned char *table, unsigned offset) {
  int32_t code;
  memcpy(&code, table + offset, sizeof code);
  return code;
}

// Record codes by their offset in the record table.
enum RecordCode : unsigned {
  kGroup = 0xd4, kHeader = 0xd8, kVertexCoord = 0xe8, kLightSource = 0xfc, kLodCentre = 0x10c,
  kLod = 0x110, kLightPosition = 0x114, kAmbient = 0x118, kDiffuse = 0x11c, kSpecular = 0x120,
  kMatrix = 0x128, kObject = 0x154, kFace = 0x168, kSwitch = 0x1a8, kVertex = 0x1bc,
  kExternal = 0x234, kLightPoint = 0x260, kMatAmbient = 0x8c, kMatDiffuse = 0xb8,
  kMatEmission = 0xc4, kMatSpecular = 0x188,
};
// Attribute codes by their offset in the data table.
enum DataCode : unsigned {
  kColourIndex = 0x74, kIntensity = 0x78, kTwoSided = 0x6d4, kMaterialIndex = 0x700,
  kSwitchA = 0x38c, kSwitchB = 0x390, kLodSwitchIn = 0x590, kLodSwitchOut = 0x594,
  kAlpha = 0x5f4, kShininess = 0x758, kTextureIndex = 0x714, kTexU = 0x7c8, kTexV = 0x7d4,
  kLightIndex = 0x5b4, kLightAngleA = 0x5b8, kLightAngleB = 0x5bc, kAttenA = 0x5c0,
  kAttenB = 0x5c4, kAttenC = 0x5dc, kSpotExponent = 0x5e0, kSpotAngle = 0x5e4,
  kLightType = 0x5e8, kExternalName = 0x85c,
};

int record(RecordCode c) { return codeat(recordcodes, c); }
int data(DataCode c) { return codeat(datacodes, c); }


// ---- Reading ---------------------------------------------------------------------------------

// One walked database; the callbacks share it.
struct FltWalk {
  mgrec *db = nullptr;
  WTmtable *mtable = nullptr;
  std::string folder;
  WTnode *parent = nullptr, *root = nullptr;
  WTgeometry *geometry = nullptr;
  WTpoly *poly = nullptr;
  int nverts = 0;
  std::vector<float> u, v;  // the open polygon's coordinate pairs
  int subface = 0;
  float scale = 1.0f;
};

// The database of the read in progress: texture names are looked up in it.
mgrec *currentdb;

const char *nameof(mgrec *rec) {
  const char *name = api.mgGetName(rec);
  return name ? name : "";
}

// The name up to and including its last '/' or '\', or the whole name without one.
std::string folderof(const std::string &name) {
  size_t cut = name.find_last_of("/\\");
  return cut == std::string::npos ? name : name.substr(0, cut + 1);
}

// "MT" and the base name: after the last '/' or '\', cut at the last '.'.
std::string tablename(const std::string &name) {
  size_t cut = name.find_last_of("/\\");
  std::string base = cut == std::string::npos ? name : name.substr(cut + 1);
  size_t dot = base.rfind('.');
  if (dot != std::string::npos) base.erase(dot);
  return "MT" + base;
}

float attfloat(mgrec *rec, DataCode c) {
  float value = 0;
  api.mgGetAttList(rec, data(c), &value);
  return value;
}

int attint(mgrec *rec, DataCode c) {
  int32_t value = 0;
  api.mgGetAttList(rec, data(c), &value);
  return value;
}

void setcolour(WTmtable *table, int entry, mgrec *material, RecordCode c, unsigned bit) {
  float rgb[3] = {0, 0, 0};
  api.mgGetNormColor(material, record(c), &rgb[0], &rgb[1], &rgb[2]);
  WTmtable_setvalue(table, entry, rgb, bit);
}

void setmaterial(WTmtable *table, int entry, mgrec *db, mgrec *material, int index) {
  const char *name = api.mgNameOfMaterial(db, index);
  if (name) _WTmtable_setentryname(table, entry, name);
  setcolour(table, entry, material, kMatAmbient, WTAMBIENT);
  setcolour(table, entry, material, kMatDiffuse, WTDIFFUSE);
  setcolour(table, entry, material, kMatEmission, WTEMISSION);
  setcolour(table, entry, material, kMatSpecular, WTSPECULAR);
  float alpha = attfloat(material, kAlpha), shininess = attfloat(material, kShininess);
  WTmtable_setvalue(table, entry, &alpha, WTOPACITY);
  WTmtable_setvalue(table, entry, &shininess, WTSHININESS);
}

// Entry 0 is the default white; file material n is entry n + 1.
WTmtable *materials(mgrec *db, const std::string &name) {
  int count = api.mgGetMaterialCount(db);
  if (count < 0) count = 0;
  WTmtable *table = WTmtable_new(95, count, name.c_str());
  if (!table) return nullptr;
  while (WTmtable_getnumentries(table) < count + 1)
    if (WTmtable_newentry(table) < 0) break;
  _WTmtable_setentryname(table, 0, "flt_default");
  const float white[3] = {1, 1, 1};
  WTmtable_setvalue(table, 0, white, WTDIFFUSE);
  int index = 0;
  mgrec *material = api.mgGetFirstMaterial(db, &index);
  for (int n = 1; n <= count && material; n++) {
    setmaterial(table, n, db, material, index);
    material = api.mgGetNextMaterial(material, &index);
  }
  return table;
}

// Tables made by the read in progress, each held by a bare geometry until the read ends: one
// that no geometry took then goes.
std::vector<WTgeometry *> keepers;

WTmtable *tablefor(mgrec *db, const std::string &file) {
  std::string name = tablename(file);
  WTmtable *table = _WTmtable_findbyname(name.c_str());
  if (table) return table;
  table = materials(db, name);
  if (table) {
    keepers.push_back(_WTgeometry_new(nullptr));
    _WTmtable_attach(keepers.back(), table);
  }
  return table;
}

void releasetables() {
  for (WTgeometry *keeper : keepers) WTgeometry_delete(keeper);
  keepers.clear();
}

// ---- Walk steps ------------------------------------------------------------------------------

void uplevels(FltWalk *w, int levels) {
  for (int i = 0; i < levels; i++) {
    WTnode *up = WTnode_getparent(w->parent, 0);
    if (!up) return;
    w->parent = up;
  }
}

void closegeometry(FltWalk *w, mgrec *rec) {
  if (w->poly) _WTpoly_cancel(w->poly);
  w->poly = nullptr;
  if (w->geometry && WTgeometry_close(w->geometry)) {
    if (WTgeometry_numpolys(w->geometry) > 0) {
      WTnode *node = WTmovgeometrynode_new(w->parent, w->geometry);
      if (node) WTnode_setname(node, nameof(rec));
    } else {
      WTgeometry_delete(w->geometry);
    }
  }
  w->geometry = nullptr;
  w->nverts = 0;
}

void matrixstep(FltWalk *w, mgrec *rec) {
  double m[16];
  if (!api.mgGetMatrix(rec, record(kMatrix), m)) return;
  WTm4 f;
  for (int i = 0; i < 16; i++) f[i / 4][i % 4] = static_cast<float>(m[i]);
  WTnode_settransform(w->parent, f);
}

void beginnode(FltWalk *w, WTnode *node, mgrec *rec) {
  if (!node) return;
  WTnode_setname(node, nameof(rec));
  w->parent = node;
}

bool isswitch(mgrec *rec) { return attint(rec, kSwitchA) != 0 || attint(rec, kSwitchB) != 0; }

void beginswitch(FltWalk *w, mgrec *rec) { beginnode(w, WTswitchnode_new(w->parent), rec); }

void endswitch(FltWalk *w, mgrec *rec) {
  WTswitchnode_setwhichchild(w->parent, 0);
  matrixstep(w, rec);
  uplevels(w, 1);
}

void begingroup(FltWalk *w, mgrec *rec) {
  if (isswitch(rec)) return beginswitch(w, rec);
  beginnode(w, WTmovsepnode_new(w->parent), rec);
}

void endgroup(FltWalk *w, mgrec *rec) {
  if (isswitch(rec)) return endswitch(w, rec);
  closegeometry(w, rec);
  matrixstep(w, rec);
  uplevels(w, 1);
}

void beginlod(FltWalk *w, mgrec *rec) {
  WTnode *lod = WTmovlodnode_new(w->parent);
  if (!lod) return;
  std::string name = nameof(rec);
  WTnode_setname(lod, name.c_str());
  WTnode_setname(WTgroupnode_new(lod), ("LODdummy_near_" + name).c_str());
  WTnode *content = WTgroupnode_new(lod);
  WTnode_setname(content, ("LODcontent_" + name).c_str());
  WTnode_setname(WTgroupnode_new(lod), ("LODdummy_far_" + name).c_str());
  const float ranges[2] = {attfloat(rec, kLodSwitchOut), attfloat(rec, kLodSwitchIn)};
  WTlodnode_setrange(lod, ranges, 2);
  double c[3] = {0, 0, 0};
  api.mgGetIcoord(rec, record(kLodCentre), &c[0], &c[1], &c[2]);
  const WTp3 centre = {static_cast<float>(c[0] * w->scale), static_cast<float>(c[1] * w->scale),
                       static_cast<float>(c[2] * w->scale)};
  WTlodnode_setcenter(lod, centre);
  if (content) w->parent = content;
}

void endlod(FltWalk *w, mgrec *rec) {
  closegeometry(w, rec);
  matrixstep(w, rec);
  uplevels(w, 2);
}

const double kNoOffset[3] = {0, 0, 0};

void vertex(FltWalk *w, mgrec *rec, const double *offset) {
  if (w->subface > 0 || !w->geometry || !w->poly) return;
  double x = 0, y = 0, z = 0;
  api.mgGetIcoord(rec, record(kVertexCoord), &x, &y, &z);
  const WTp3 p = {static_cast<float>((x + offset[0]) * w->scale),
                  static_cast<float>((y + offset[1]) * w->scale),
                  static_cast<float>((z + offset[2]) * w->scale)};
  WTvertex *v = WTgeometry_newvertex(w->geometry, p);
  if (!v) return;
  WTp3 n;
  if (api.mgGetVtxNormal(rec, &n[0], &n[1], &n[2]) == 1) _WTvertex_setnormal(v, n);
  w->u.push_back(attfloat(rec, kTexU));
  w->v.push_back(attfloat(rec, kTexV));
  WTpoly_addvertex(w->poly, w->nverts);
  w->nverts++;
}

void beginface(FltWalk *w) {
  if (!w->geometry) {
    w->geometry = WTgeometry_begin();
    if (!w->geometry) return;
    WTgeometry_setmtable(w->geometry, w->mtable);
    w->nverts = 0;
  }
  if (w->poly) {
    // A face inside the open one: laid on it after it closes, its coordinates kept.
    w->subface++;
    return;
  }
  w->u.clear();
  w->v.clear();
  w->poly = WTgeometry_beginpoly(w->geometry);
}

void colourface(FltWalk *w, mgrec *rec, WTpoly *poly) {
  int colour = attint(rec, kColourIndex), material = attint(rec, kMaterialIndex);
  if (attint(rec, kTwoSided) == 1) WTpoly_setbothsides(poly, 1);
  if (material >= 0 && material <= 512) {
    WTpoly_setmatid(poly, material + 1);
  } else if (colour == 0) {
    WTpoly_setmatid(poly, 0);
  } else {
    short r = 0, g = 0, b = 0;
    api.mgIndex2RGB(w->db, colour, attfloat(rec, kIntensity), &r, &g, &b);
    WTpoly_setrgb(poly, static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                  static_cast<unsigned char>(b));
  }
}

bool fileexists(const std::string &path) {
  FILE *f = _WTplat_openutf8(path.c_str(), "rb");
  if (f) fclose(f);
  return f != nullptr;
}

// The texture's path: a drive path as it is, else after the file's folder; without a file
// there, the name itself or its part after the last '/'.
std::string texturepath(const FltWalk *w, const std::string &name) {
  if (name.size() > 1 && name[1] == ':') return name;
  std::string path = w->folder + name;
  if (fileexists(path)) return path;
  if (fileexists(name)) return name;
  size_t cut = name.rfind('/');
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

void textureface(FltWalk *w, mgrec *rec, WTpoly *poly) {
  int16_t index = -1;
  api.mgGetAttBuf(rec, data(kTextureIndex), &index);
  if (index == -1) return;
  char *name = api.mgGetTextureName(currentdb, index);
  if (!name) return;
  if (strlen(name) >= 512) _WTmsg_info("\n _WTflt_closeface(): texture name too long \n");
  std::string path = texturepath(w, name);
  api.mgFree(name);
  char last = path.empty() ? 0 : path.back();
  int alpha = last == 'a' || last == 'A';
  if (!WTpoly_settextureuv(poly, path.c_str(), w->u.data(), w->v.data(), 1, alpha)) {
    alpha = 0;
    WTpoly_settextureuv(poly, "notex.tga", w->u.data(), w->v.data(), 1, 0);
  }
  WTpoly_settexturestyle(poly, 1, alpha, 1);
}

void closeface(FltWalk *w, mgrec *rec) {
  WTpoly *poly = w->poly;
  w->poly = nullptr;
  if (!poly) return;
  if (WTpoly_numvertices(poly) < 3)
    _WTmsg_warning("too few vertices in poly %s\n", nameof(rec));
  if (!WTpoly_close(poly)) return _WTpoly_cancel(poly);
  colourface(w, rec, poly);
  textureface(w, rec, poly);
}

void layer(FltWalk *w, mgrec *face, int depth);

// The face's normal times the layer distance and depth: the offset of its layer.
void layeroffset(FltWalk *w, mgrec *face, int depth, double *offset) {
  double p[3][3] = {};
  mgrec *v = api.mgGetChild(face);
  for (int i = 0; i < 3 && v; i++, v = api.mgGetNext(v)) {
    api.mgGetIcoord(v, record(kVertexCoord), &p[i][0], &p[i][1], &p[i][2]);
    for (double &c : p[i]) c *= w->scale;
  }
  double a[3], b[3];
  for (int k = 0; k < 3; k++) a[k] = p[2][k] - p[1][k], b[k] = p[0][k] - p[1][k];
  double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  double length = sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  double step = _WTuniverse_getcolorscale() * depth;
  for (int k = 0; k < 3; k++) offset[k] = (length > 0 ? n[k] / length : n[k]) * step;
}

// The nested faces and their siblings, as polygons moved off their parent face.
void layer(FltWalk *w, mgrec *face, int depth) {
  for (; face; face = api.mgGetNext(face)) {
    if (api.mgGetCode(face) != record(kFace) || !w->geometry) return;
    w->poly = WTgeometry_beginpoly(w->geometry);
    w->u.clear();
    w->v.clear();
    double offset[3];
    layeroffset(w, face, depth, offset);
    for (mgrec *v = api.mgGetChild(face); v; v = api.mgGetNext(v)) vertex(w, v, offset);
    closeface(w, face);
    layer(w, api.mgGetNestedChild(face), depth + 1);
  }
}

void endface(FltWalk *w, mgrec *rec) {
  if (w->subface > 0) {
    w->subface--;
    return;
  }
  closeface(w, rec);
  layer(w, api.mgGetNestedChild(rec), 1);
}

WTnode *newlight(int type, WTnode *root) {
  if (type == 0) return _WTmovlightnode_newdirected(root);
  if (type == 1) return _WTmovlightnode_newpoint(root);
  if (type == 2) return _WTmovlightnode_newspot(root);
  return nullptr;
}

void lightcolours(WTnode *light, mgrec *rec) {
  float c[4];
  const RecordCode codes[3] = {kAmbient, kDiffuse, kSpecular};
  for (int i = 0; i < 3; i++) {
    c[0] = c[1] = c[2] = 0, c[3] = 1;
    api.mgGetColorRGBA(rec, record(codes[i]), &c[0], &c[1], &c[2], &c[3]);
    if (i == 0) WTlightnode_setambient(light, c[0], c[1], c[2]);
    if (i == 1) WTlightnode_setdiffuse(light, c[0], c[1], c[2]);
    if (i == 2) WTlightnode_setspecular(light, c[0], c[1], c[2]);
  }
}

void lightplace(FltWalk *w, WTnode *light, int type, mgrec *rec, mgrec *palette) {
  constexpr float kDegree = 0.017453292f;
  if (type != 1) {
    const WTp3 down = {0, 0, 1};
    WTlightnode_setdirection(light, down);
    WTnode_rotation(light, attfloat(rec, kLightAngleB) * -kDegree,
                    attfloat(rec, kLightAngleA) * -kDegree, 0, 3);
  }
  if (type == 0) return;
  WTlightnode_setattenuation(light, attfloat(palette, kAttenA), attfloat(palette, kAttenB),
                             attfloat(palette, kAttenC));
  double p[3] = {0, 0, 0};
  api.mgGetIcoord(rec, record(kLightPosition), &p[0], &p[1], &p[2]);
  const WTp3 at = {static_cast<float>(p[0] * w->scale), static_cast<float>(p[1] * w->scale),
                   static_cast<float>(p[2] * w->scale)};
  WTnode_settranslation(light, at);
}

void makelight(FltWalk *w, mgrec *rec) {
  mgrec *palette = api.mgGetLightSource(w->db, attint(rec, kLightIndex));
  if (!palette) return;
  int type = attint(palette, kLightType);
  WTnode *light = newlight(type, nullptr);
  if (!light) {
    _WTmsg_warning("lighttype not yet supported\n");
    return;
  }
  if (type == 2) {
    WTlightnode_setexponent(light, attfloat(palette, kSpotExponent));
    WTlightnode_setangle(light, attfloat(palette, kSpotAngle) * 0.017453292f);
  }
  lightcolours(light, rec);
  WTnode_setname(light, nameof(rec));
  lightplace(w, light, type, rec, palette);
  if (!WTnode_insertchild(w->root, light, 0)) WTnode_delete(light);
}

int _WTflt_pre(mgrec *rec, void *walk);
int _WTflt_post(mgrec *rec, void *walk);

// Instances and external references walk further databases from inside a walk; one that leads
// back to itself would nest without end.
constexpr int kMaxNesting = 16;
int nesting;

// Walks the database into the separator with the callbacks; the walk's folder, scale and table
// are the caller's.  False, with a warning, when walks are nested too deep.
bool walkinto(const FltWalk &from, mgrec *db, WTnode *into) {
  if (nesting >= kMaxNesting) {
    _WTmsg_warning("FLT record: %s nested more than %d deep, left out\n", nameof(db), kMaxNesting);
    return false;
  }
  FltWalk w;
  w.db = db;
  w.mtable = from.mtable;
  w.folder = from.folder;
  w.scale = from.scale;
  w.parent = w.root = into;
  nesting++;
  api.mgWalk(db, _WTflt_pre, _WTflt_post, &w, 0x11);
  nesting--;
  closegeometry(&w, db);
  return true;
}

// The node an instance group shows: one of the referenced name already in the universe, else
// the referenced record walked into `holder`, a separator of its own, whose first child it is.
WTnode *instancenode(FltWalk *w, mgrec *rec, WTnode **holder) {
  mgrec *ref = api.mgGetReference(rec);
  if (!ref) return nullptr;
  const char *name = api.mgGetName(ref);
  WTnode *found = name ? WTuniverse_findnodebyname(name, 0) : nullptr;
  if (found) return found;
  *holder = WTmovsepnode_new(nullptr);
  if (!*holder || !walkinto(*w, ref, *holder)) return nullptr;
  return WTnode_getchild(*holder, 0);
}

void begininstance(FltWalk *w, mgrec *rec) {
  WTnode *holder = nullptr;
  WTnode *used = instancenode(w, rec, &holder);
  beginnode(w, WTmovsepnode_new(w->parent), rec);
  if (used) _WTmovnode_attach(w->parent, used, -1);
  // The shown node now hangs from the group; the holder goes with anything else it has.
  if (holder) WTnode_delete(holder);
}

void beginexternal(FltWalk *w, mgrec *rec) {
  char *attribute = nullptr;
  api.mgGetAttList(rec, data(kExternalName), &attribute);
  std::string name = attribute ? attribute : "none";
  _WTmsg_info("External Ref: %s\n", name.c_str());
  std::string path = name.size() > 1 && name[1] == ':' ? name : w->folder + name;
  WTnode *holder = WTmovsepnode_new(w->parent);
  if (!holder) return;
  WTnode_setname(holder, name.c_str());
  w->parent = holder;
  if (!fileexists(path)) {
    _WTmsg_warning("Cannot find extern %s\n", path.c_str());
    return;
  }
  mgrec *db = api.mgOpenDb(path.c_str());
  if (!db) {
    char error[1024] = "";
    api.mgGetLastError(error, sizeof error);
    error[sizeof error - 1] = 0;
    _WTmsg_warning("Multigen API:%s\n", error);
    return;
  }
  FltWalk ext = *w;
  ext.mtable = tablefor(db, name);
  walkinto(ext, db, holder);
  api.mgFree(db);
}

void pregroup(FltWalk *w, mgrec *rec) {
  if (isswitch(rec)) return beginswitch(w, rec);
  if (api.mgIsInstance(rec)) return begininstance(w, rec);
  begingroup(w, rec);
}

void preother(mgrec *rec, int code) {
  if (code == record(kLightPoint))
    _WTmsg_warning("%s: Lightpoints are unsupported\n", nameof(rec));
  else
    _WTmsg_warning("FLT record: %s is of unsupported type\n", nameof(rec));
}

void endobject(FltWalk *w, mgrec *rec) {
  closegeometry(w, rec);
  matrixstep(w, rec);
}

void endexternal(FltWalk *w, mgrec *rec) {
  matrixstep(w, rec);
  uplevels(w, 1);
}

// ---- Callbacks -------------------------------------------------------------------------------

int _WTflt_pre(mgrec *rec, void *walk) {
  FltWalk *w = static_cast<FltWalk *>(walk);
  int code = api.mgGetCode(rec);
  if (code == record(kHeader) || code == record(kObject)) return 1;
  if (code == record(kGroup)) pregroup(w, rec);
  else if (code == record(kFace)) beginface(w);
  else if (code == record(kVertex)) vertex(w, rec, kNoOffset);
  else if (code == record(kLightSource)) makelight(w, rec);
  else if (code == record(kLod)) beginlod(w, rec);
  else if (code == record(kSwitch)) beginswitch(w, rec);
  else if (code == record(kExternal)) beginexternal(w, rec);
  else preother(rec, code);
  return 1;
}

int _WTflt_post(mgrec *rec, void *walk) {
  FltWalk *w = static_cast<FltWalk *>(walk);
  int code = api.mgGetCode(rec);
  if (code == record(kGroup)) endgroup(w, rec);
  else if (code == record(kObject)) endobject(w, rec);
  else if (code == record(kFace)) endface(w, rec);
  else if (code == record(kLod)) endlod(w, rec);
  else if (code == record(kSwitch)) endswitch(w, rec);
  else if (code == record(kExternal)) endexternal(w, rec);
  return 1;
}

mgrec *opendb(const char *name) {
  mgrec *db = api.mgOpenDb(name);
  if (db) return db;
  char error[1024] = "";
  api.mgGetLastError(error, sizeof error);
  error[sizeof error - 1] = 0;
  _WTmsg_info("Multigen API:%s\n", error);
  return nullptr;
}
}  // namespace

extern "C" {

void _WTflt_bindfrom(const char *apiname, const char *dataname) {
  recordcodes = datacodes = nullptr;
  bound = false;
  void *library = _WTplat_loadlibrary(apiname);
  if (!library) {
    _WTmsg_info("\nMGAPILIB.DLL not found\n");
    return;
  }
  bool entries = resolveentries(library);
  void *tables = _WTplat_loadlibrary(dataname);
  if (!tables) {
    _WTmsg_info("\nFLTDATA.DLL not found\n");
    return;
  }
  // An entry that is not there is never called: the reader stays unbound without it.
  bound = resolvetables(tables) && entries;
}

void _WTflt_bind(void) { _WTflt_bindfrom("MGAPILIB.DLL", "FLTDATA.DLL"); }

int _WTflt_isbound(void) { return bound; }

WTnode *_WTnode_loadflt(WTnode *parent, const char *name, float scale) {
  if (!bound) {
    _WTsys_messagebox("Could not locate MGAPILIB.DLL and/or FLTDATA.DLL", "New MGEN flight reader",
                      0);
    _WTmsg_info("\nCould not read FLT file %s\n", name ? name : "");
    return nullptr;
  }
  if (!name) return nullptr;
  _WTmsg_info("Reading FLT file %s\n", name);
  if (!initialised) api.mgInit(nullptr, nullptr);
  initialised = true;
  for (int kind = 2; kind >= 0; kind--) api.mgSetMessagesEnabled(kind, 0);
  mgrec *db = opendb(name);
  if (!db) return nullptr;
  currentdb = db;
  WTnode *root = WTmovsepnode_new(parent);
  if (root) {
    WTnode_setname(root, name);
    FltWalk w;
    w.db = db;
    w.folder = folderof(name);
    w.scale = scale;
    w.mtable = tablefor(db, name);
    walkinto(w, db, root);
    WTnode_rotation(root, 0, 1.5707964f, 0, 0);
  }
  api.mgFree(db);
  currentdb = nullptr;
  releasetables();
  return root;
}

}  // extern "C"
