// OpenFlight files into a node tree: groups, objects, LODs, instances, replicated groups and
// external references, faces into geometries with the load's one material table, then the
// clean-up passes (LOD ranges, pruning) and the transform from the file's Z-up axes.
#include <math.h>
#include <string.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/mgen.h"

namespace {

constexpr int kMaxDepth = 64;
constexpr int kMaxExternalDepth = 16;
// Files read for external references in one load: references made again at every level (the
// same file named twice with different override flags, or files naming each other) would
// otherwise be read a number of times that doubles with each level.
constexpr int kMaxExternalReads = 256;
constexpr long kReplicateBudget = 100000;
constexpr int kPolyRoom = 256;
constexpr float kFar = 100000.0f;

int modes[17] = {0, 1, 1, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
bool listed(int n) { return (n >= 1 && n <= 11) || n == 16; }

const double kUnits[5] = {1.0, 1000.0, 0.304799999536704, 0.025399999961392, 1852.0000041};

// The files of the load, in list order (the main file first).
std::vector<std::unique_ptr<MgenFile>> files;
int externaldepth;
int externalreads;
long replicatebudget;

MgenLoad &L() { return _WTmgen_load(); }
MgenFile *cur() { return L().current; }

bool ancillary(int op) {
  return op == 31 || op == 33 || (op >= 40 && op <= 49) || op == 60 || (op >= 76 && op <= 82) || op == 94;
}

// ---- Reading the file ----------------------------------------------------------------------

bool readfile(const std::string &name, std::vector<uint8_t> *out) {
  const char *found = _WTfile_findpath(name.c_str(), "WTMODELS");
  if (!found) {
    size_t cut = name.rfind('/');
    if (cut == std::string::npos) cut = name.rfind('\\');
    if (cut != std::string::npos) found = _WTfile_findpath(name.substr(cut + 1).c_str(), "WTMODELS");
  }
  if (!found) return false;
  std::string path = found;
  FILE *f = _WTfile_open(path.c_str(), "rb");
  if (!f) {
    _WTmsg_warning("Couldn't open Multigen file %s\n", path.c_str());
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  fclose(f);
  if (bytes.empty()) return false;
  if (bytes.size() < 4 || (bytes[0] << 8 | bytes[1]) != 1) {
    _WTmsg_warning("Invalid Multigen file header in %s\n", path.c_str());
    return false;
  }
  out->swap(bytes);
  return true;
}

MgenFile *newfile(const std::string &name, MgenFile *after) {
  auto f = std::make_unique<MgenFile>();
  f->name = name.substr(0, 199);
  f->defnodes.assign(kMgenTableSize, nullptr);
  f->defnumbers.assign(kMgenTableSize, -1);
  MgenFile *raw = f.get();
  auto at = files.end();
  for (auto i = files.begin(); i != files.end(); ++i)
    if (i->get() == after) at = i + 1;
  files.insert(at, std::move(f));
  return raw;
}

// ---- Records and their ancillary records -----------------------------------------------------

struct Ancillary {
  size_t longid = kMgenNone, matrix = kMgenNone, replicate = kMgenNone;
  bool children = false;
};

size_t after(size_t at) {
  int op;
  size_t length;
  return _WTmgen_record(at, &op, &length) ? at + length : _WTmgen_size();
}

Ancillary scanAncillary(size_t node) {
  Ancillary a;
  int op;
  size_t length;
  for (size_t at = after(node); _WTmgen_record(at, &op, &length); at += length) {
    if (op == 33) a.longid = at;
    else if (op == 49) a.matrix = at;
    else if (op == 60) a.replicate = at;
    else if (op == 10) a.children = true;
    if (op == 33 || op == 49 || op == 60 || op == 31 || (op >= 42 && op <= 48) || op == 50 ||
        op == 51 || op == 74 || (op >= 76 && op <= 82) || op == 94 || (op >= 105 && op <= 110))
      continue;
    break;
  }
  return a;
}

void swapMatrix(size_t record, WTm4 m) {
  for (int r = 0; r < 4; r++)
    for (int c = 0; c < 4; c++) m[r][c] = _WTmgen_f32(record + 4 + 16 * static_cast<size_t>(r) + 4 * static_cast<size_t>(c));
  for (int c = 0; c < 3; c++) m[3][c] = static_cast<float>(m[3][c] * cur()->units);
}

std::string nodename(size_t record, const Ancillary &a) {
  if (modes[10] && a.longid != kMgenNone) {
    int op;
    size_t length;
    if (_WTmgen_record(a.longid, &op, &length)) return _WTmgen_text(a.longid + 4, length - 4);
  }
  return _WTmgen_text(record + 4, 8);
}

void addmatrix(WTnode *node, const Ancillary &a) {
  if (a.matrix == kMgenNone) return;
  WTm4 m;
  swapMatrix(a.matrix, m);
  WTnode_settransform(WTxformnode_new(node), m);
}

// ---- Header and units ----------------------------------------------------------------------

double unitFactor(int code) {
  int index;
  switch (code) {
    case 0: index = 0; break;
    case 1: index = 1; break;
    case 4: index = 2; break;
    case 5: index = 3; break;
    case 8: index = 4; break;
    default:
      _WTmsg_warning("Unknown unit type %d found in %s\n", code, cur()->name.c_str());
      index = 0;
  }
  return kUnits[index] / kUnits[modes[11]];
}

void readHeader(size_t at) {
  MgenFile *f = cur();
  f->units = unitFactor(_WTmgen_u16(at + 62) >> 8);
  int multiplier = _WTmgen_i16(at + 60);
  if (multiplier >= 0) f->units *= multiplier;
  else f->units /= -multiplier;
  f->storage = _WTmgen_u16(at + 126);
  f->revision = _WTmgen_u32(at + 12);
}

// ---- LODs ----------------------------------------------------------------------------------

WTnode *lodnode(double in, double out, const double centre[3]) {
  WTnode *lod = WTlodnode_new(nullptr);
  double units = cur()->units;
  float ranges[2] = {static_cast<float>(in * units), static_cast<float>(out * units)};
  if (static_cast<float>(out) < static_cast<float>(in)) std::swap(ranges[0], ranges[1]);
  WTlodnode_setrange(lod, ranges, 2);
  WTp3 c = {static_cast<float>(centre[0] * units), static_cast<float>(centre[1] * units),
            static_cast<float>(centre[2] * units)};
  WTlodnode_setcenter(lod, c);
  return lod;
}

WTnode *makeLod(size_t at) {
  double centre[3] = {double(_WTmgen_i32(at + 28)), double(_WTmgen_i32(at + 32)), double(_WTmgen_i32(at + 36))};
  return lodnode(_WTmgen_i32(at + 12), _WTmgen_i32(at + 16), centre);
}

WTnode *makeDlod(size_t at) {
  double centre[3] = {_WTmgen_f64(at + 40), _WTmgen_f64(at + 48), _WTmgen_f64(at + 56)};
  return lodnode(_WTmgen_f64(at + 16), _WTmgen_f64(at + 24), centre);
}

// ---- Instances -----------------------------------------------------------------------------

int opendef = -1;  // the definition whose block is being read
WTgeometry *keeper;

void attachNode(WTnode *parent, WTnode *node, int depth) {
  MgenFile *f = cur();
  if (opendef >= 0 && f->defdepth == depth - 1) {
    f->defnodes[static_cast<size_t>(opendef)] = node;
    return;
  }
  WTnode_addchild(parent, node);
}

void instanceDef(size_t at, int depth) {
  MgenFile *f = cur();
  int n = _WTmgen_i32(at + 4);
  if (n > f->highestdef) {
    f->highestdef = n;
  } else {
    n = ++f->highestdef;
    _WTmgen_put32(at + 4, static_cast<uint32_t>(n));
  }
  if (n < 0 || n >= kMgenTableSize) {
    _WTmsg_warning("Multigen: instance definition %d outside 0 to %d, ignored\n", n, kMgenTableSize - 1);
    opendef = -1;
    return;
  }
  f->defnumbers[static_cast<size_t>(n)] = n;
  f->defdepth = depth;
  opendef = n;
}

int findInstanceDef(int number) {
  MgenFile *f = cur();
  for (int i = 0; i <= f->highestdef && i < kMgenTableSize; i++)
    if (f->defnumbers[static_cast<size_t>(i)] == number) return i;
  return -1;
}

void addInstanceRef(size_t at, WTnode *current) {
  int number = _WTmgen_i32(at + 4);
  int slot = findInstanceDef(number);
  if (slot < 0) {
    _WTmsg_warning("Multigen:  could not find instance ref %d\n", number);
    return;
  }
  if (cur()->instancerefs.size() >= static_cast<size_t>(kMgenTableSize)) {
    _WTmsg_warning("Multigen: more than %d instance references, rest ignored\n", kMgenTableSize);
    return;
  }
  if (WTnode *node = cur()->defnodes[static_cast<size_t>(slot)]) cur()->instancerefs.push_back({node, current});
}

// ---- Polygons ------------------------------------------------------------------------------

MgenPoly *descriptor() {
  static MgenPoly poly(kPolyRoom);
  return &poly;
}

bool makePoly(WTnode *node, MgenPoly *d) {
  WTgeometry *g = WTnode_getgeometry(node);
  if (!g || d->count < 3 || d->count > d->capacity) return false;
  WTmtable *table = g->mtable;
  const WTp3 *points = reinterpret_cast<const WTp3 *>(d->positions.data());
  WTpoly *p = _WTgeometry_newpolyfrompoints(g, points, d->count, 0);
  if (!p) return false;
  WTpoly_setbothsides(p, d->drawtype == 1);
  std::vector<WTvertex *> verts;
  for (WTvertexlink *l = p->links; l; l = l->next) verts.push_back(l->vertex);
  if (d->normalmode == 3) {
    bool allset = true;
    for (size_t i = 0; i < verts.size(); i++) {
      const float *n = &d->normals[3 * i];
      if (n[0] == 0 && n[1] == 0 && n[2] == 0) allset = false;
      WTgeometry_setvertexnormal(g, verts[i], n);
    }
    if (allset) p->rflags |= WTR_VNORMALS;
  }
  MgenFile *source = cur()->sources[MGEN_MATERIAL] ? cur()->sources[MGEN_MATERIAL] : cur();
  if (d->colourmode == 3 && d->owncolours) {
    p->rflags |= WTR_VMATIDS;
    for (size_t i = 0; i < verts.size(); i++)
      WTgeometry_setvertexmatid(g, verts[i], _WTmtable_getrgbaid(table, &d->colours[4 * i], d->colours[4 * i + 3]));
  } else if (d->colourmode == 2 && source->materials && d->material >= 0 && source->materialbase >= 0) {
    WTpoly_setmatid(p, d->material + source->materialbase);
  } else {
    WTpoly_setmatid(p, _WTmtable_getrgbaid(table, d->colours.data(), d->alpha));
  }
  if (d->texturemode == 3) {
    std::vector<float> u, v;
    for (int i = 0; i < d->count; i++) {
      u.push_back(d->texcoords[2 * static_cast<size_t>(i)]);
      v.push_back(d->texcoords[2 * static_cast<size_t>(i) + 1]);
    }
    WTpoly_settextureuv(p, d->texture.c_str(), u.data(), v.data(), 1, d->texturealpha);
    if (p->texture && d->texturewhite == 0) _WTpoly_setuvflag(p, 1);
  }
  if (d->replicated) _WTmsg_warning("Multigen: polygon->replicate functionality not yet supported\n");
  return true;
}

void addpoly(WTnode *node, MgenPoly *d) {
  if (d->valid && !makePoly(node, d)) _WTmsg_warning("Couldn't create MultiGen polygon.\n");
}

void unitnormal(const MgenPoly *d, float n[3]) {
  if (d->normalmode == 3) {
    memcpy(n, d->normals.data(), sizeof(float) * 3);
  } else {
    const float *a = &d->positions[0], *b = &d->positions[3], *c = &d->positions[6];
    float e[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, f[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    n[0] = e[1] * f[2] - e[2] * f[1];
    n[1] = e[2] * f[0] - e[0] * f[2];
    n[2] = e[0] * f[1] - e[1] * f[0];
  }
  float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (length > 0)
    for (int k = 0; k < 3; k++) n[k] /= length;
}

// Past the first pop after `at`.
size_t pastpop(size_t at) {
  int op;
  size_t length;
  for (; _WTmgen_record(at, &op, &length); at += length)
    if (op == 11) return at + length;
  return _WTmgen_size();
}

size_t makeLayer(WTnode *node, size_t *resume, size_t at, int layer, const float normal[3]) {
  int op;
  size_t length;
  int depth = 0;
  float distance = _WTuniverse_getcolorscale();
  *resume = _WTmgen_size();
  while (_WTmgen_record(at, &op, &length)) {
    if (op == 19) {
      depth++;
    } else if (op == 20) {
      *resume = at + length;
      if (--depth < 1) return *resume;
    } else if (op == 5) {
      if (!scanAncillary(at).children) {
        at += length;
        continue;
      }
      if (depth != layer + 1) {
        at = pastpop(at);
        continue;
      }
      MgenPoly *d = descriptor();
      at = addPolygon(at, d);
      for (int i = 0; i < d->count && i <= d->capacity; i++)
        for (int k = 0; k < 3; k++) d->positions[3 * static_cast<size_t>(i) + static_cast<size_t>(k)] += normal[k] * distance;
      addpoly(node, d);
      continue;
    } else if (!ancillary(op)) {
      _WTmsg_warning("Multigen: makeLayer() unexpected node %d \"%s\" found.\n", op, _WTmgen_opname(op));
    }
    at += length;
  }
  return *resume;
}

// A face with children: a plain polygon, or the base of a block of decals.
size_t convFace(WTnode *node, size_t face) {
  size_t look = pastpop(face);
  int op;
  size_t length;
  bool decals = _WTmgen_record(look, &op, &length) && op == 19;
  MgenPoly *d = descriptor();
  size_t next = addPolygon(face, d);
  addpoly(node, d);
  if (!decals || !d->valid || d->count < 3) return next;
  float normal[3];
  unitnormal(d, normal);
  size_t resume;
  makeLayer(node, &resume, next, 0, normal);
  return resume > next ? resume : _WTmgen_size();
}

size_t convPoly(WTnode *node, size_t at, int depth) {
  int op;
  size_t length;
  while (_WTmgen_record(at, &op, &length)) {
    if (op == 10) {
      depth++;
    } else if (op == 11) {
      if (depth == 0) return at;
      if (--depth < 1) return at + length;
    } else if (op == 5) {
      if (scanAncillary(at).children) {
        at = convFace(node, at);
        continue;
      }
    } else if (!ancillary(op) && op != 92) {
      _WTmsg_debug("  convPoly() unexpected node %d \"%s\" found.", op, _WTmgen_opname(op));
    }
    at += length;
  }
  return _WTmgen_size();
}

// ---- The record tree -----------------------------------------------------------------------

size_t convTree(WTnode *parent, size_t at, int depth);

struct Level {
  WTnode *parent;
  WTnode *current;
  int depth;
};

void group(Level &lv, size_t at) {
  Ancillary a = scanAncillary(at);
  std::string name = nodename(at, a);
  WTnode *sep = WTsepnode_new(nullptr);
  if (a.matrix != kMgenNone && a.replicate != kMgenNone) {
    WTnode *outer = WTsepnode_new(nullptr);
    WTnode_setname(outer, ("Replicate group " + name).c_str());
    attachNode(lv.parent, outer, lv.depth);
    WTnode_addchild(outer, sep);
    if (cur()->replicates.size() < static_cast<size_t>(kMgenTableSize)) {
      MgenReplicate r{sep, outer, {}, _WTmgen_i16(a.replicate + 4)};
      swapMatrix(a.matrix, r.matrix);
      cur()->replicates.push_back(r);
    }
  } else {
    addmatrix(sep, a);
    attachNode(lv.parent, sep, lv.depth);
  }
  WTnode_setname(sep, name.c_str());
  if (a.children) lv.current = sep;
}

void lod(Level &lv, size_t at, bool doubles) {
  WTnode *node = doubles ? makeDlod(at) : makeLod(at);
  Ancillary a = scanAncillary(at);
  attachNode(lv.parent, node, lv.depth);
  addmatrix(node, a);
  WTnode_setname(node, nodename(at, a).c_str());
  if (a.children) lv.current = node;
}

size_t object(Level &lv, size_t at) {
  Ancillary a = scanAncillary(at);
  WTnode *sep = WTsepnode_new(nullptr);
  attachNode(lv.parent, sep, lv.depth);
  addmatrix(sep, a);
  std::string name = nodename(at, a);
  WTnode_setname(sep, name.c_str());
  L().flatshaded = (_WTmgen_u32(at + 12) & 0x08000000u) != 0;
  if (!a.children) return after(at);
  WTgeometry *g = WTgeometry_begin();
  if (!g) return after(at);
  WTnode *node = WTgeometrynode_new(nullptr, g);
  WTnode_setname(node, ("geom_under_" + name).c_str());
  WTgeometry_setmtable(g, L().table);
  size_t next = convPoly(node, after(at), 0);
  if (WTgeometry_close(g)) {
    WTnode_addchild(sep, node);
    lv.current = sep;
  }
  return next;
}

size_t facenode(Level &lv, size_t at) {
  WTgeometry *g = WTgeometry_begin();
  if (!g) return after(at);
  WTnode *node = WTgeometrynode_new(lv.parent, g);
  WTgeometry_setmtable(g, L().table);
  size_t next = convPoly(node, at, 0);
  if (!WTgeometry_close(g)) _WTmsg_warning("Couldn't make new geometry\n");
  return next;
}

bool samesources(MgenFile *candidate, uint32_t overrides) {
  MgenFile scratch;
  scratch.overrides = overrides;
  scratch.referrer = cur();
  MgenFile *mine[3];
  _WTmgen_findsources(&scratch, mine);
  for (int k = 0; k < 3; k++) {
    MgenFile *a = mine[k] == &scratch ? candidate : mine[k];
    if (a != candidate->sources[k]) return false;
  }
  return true;
}

MgenFile *findfile(const std::string &name, size_t at) {
  for (auto &f : files) {
    if (f->name != name) continue;
    if (cur()->revision < kMgenNewRevision || samesources(f.get(), _WTmgen_u32(at + 208))) return f.get();
  }
  return nullptr;
}

void readexternal(MgenFile *f, WTnode *holder) {
  MgenFile *previous = cur();
  int outerdef = opendef;
  opendef = -1;
  L().current = f;
  std::vector<uint8_t> bytes;
  if (externaldepth < kMaxExternalDepth && externalreads < kMaxExternalReads && readfile(f->name, &bytes)) {
    externalreads++;
    f->buffer.swap(bytes);
    externaldepth++;
    convTree(f->root, 0, 0);
    externaldepth--;
    std::vector<uint8_t>().swap(f->buffer);
    WTnode_addchild(holder, f->root);
  } else {
    _WTmsg_warning("Multigen: couldn't resolve external reference %s\n", f->name.c_str());
    WTnode_delete(f->root);
    f->root = nullptr;
  }
  L().current = previous;
  opendef = outerdef;
}

void external(Level &lv, size_t at) {
  WTnode *holder = WTsepnode_new(lv.parent);
  WTnode_setname(holder, "ext_ref_sep");
  addmatrix(holder, scanAncillary(at));
  std::string name = _WTmgen_text(at + 4, 200);
  if (MgenFile *match = findfile(name, at)) {
    if (match->root) WTnode_addchild(holder, match->root);
    return;
  }
  MgenFile *f = newfile(name, cur());
  f->root = WTsepnode_new(nullptr);
  WTnode_setname(f->root, f->name.c_str());
  f->referrer = cur();
  if (cur()->revision >= kMgenNewRevision) {
    f->overrides = _WTmgen_u32(at + 208);
    _WTmgen_findsources(f, f->sources);
  }
  readexternal(f, holder);
}

void texture(size_t at) {
  MgenFile *f = cur();
  int pattern = _WTmgen_i32(at + (f->revision >= kMgenNewRevision ? 204 : 84));
  int number = static_cast<int>(f->textures.size());
  f->textures.insert(f->textures.begin(), MgenTexture{number, pattern, _WTmgen_text(at + 4, 200)});
}

// The position after the vertex palette; the end of the buffer when it does not fit.
size_t vertexpalette(size_t at) {
  uint32_t total = _WTmgen_u32(at + 4);
  if (total < 8 || total > _WTmgen_size() - at) return _WTmgen_size();
  cur()->vertexpalette = at;
  cur()->vertexpaletteend = at + total;
  return at + total;
}

// One record at this level; the position of the next one.
size_t convRecord(Level &lv, size_t at, int op, size_t length) {
  switch (op) {
    case 1: readHeader(at); break;
    case 2: group(lv, at); break;
    case 3: lod(lv, at, false); break;
    case 73: lod(lv, at, true); break;
    case 4: return object(lv, at);
    case 5: return facenode(lv, at);
    case 10: return convTree(lv.current, at + length, lv.depth + 1);
    case 32: _WTmgen_colorpalette(at, modes[8]); break;
    case 66: _WTmgen_materialpalette(at, modes[8]); break;
    case 61: addInstanceRef(at, lv.current); break;
    case 62: instanceDef(at, lv.depth); break;
    case 63: external(lv, at); break;
    case 64: texture(at); break;
    case 67: return vertexpalette(at);
    default:
      if (!ancillary(op)) {
        _WTmsg_debug("  convTree() unsupported node %d \"%s\" found.\n", op, _WTmgen_opname(op));
        lv.current = lv.parent;
      }
  }
  return at + length;
}

size_t convTree(WTnode *parent, size_t at, int depth) {
  if (depth > kMaxDepth) {
    _WTmsg_warning("Multigen: records nested deeper than %d levels in %s, rest skipped\n", kMaxDepth,
                   cur()->name.c_str());
    return _WTmgen_size();
  }
  Level lv{parent, parent, depth};
  int op;
  size_t length;
  while (_WTmgen_record(at, &op, &length)) {
    if (op == 11) {
      if (opendef >= 0 && cur()->defdepth == depth - 1) opendef = -1;
      return at + length;
    }
    at = convRecord(lv, at, op, length);
  }
  return _WTmgen_size();
}

// ---- After the walk ------------------------------------------------------------------------

void makeReplicates(MgenFile *f) {
  for (auto r = f->replicates.rbegin(); r != f->replicates.rend(); ++r)
    for (int i = 0; i < r->count; i++) {
      if (--replicatebudget < 0) {
        if (replicatebudget == -1) _WTmsg_warning("Multigen: more than %ld replicated groups, rest left out\n", kReplicateBudget);
        return;
      }
      WTnode_settransform(WTxformnode_new(r->outer), r->matrix);
      WTnode_addchild(r->outer, r->group);
    }
}

void resolveInstances(MgenFile *f) {
  for (const MgenFile::InstanceRef &r : f->instancerefs) WTnode_addchild(r.parent, r.definition);
}

bool isgroup(WTnode *n) { return WTnode_gettype(n) == WTNODE_GROUP || WTnode_gettype(n) == WTNODE_SEP; }
bool islod(WTnode *n) { return WTnode_gettype(n) == WTNODE_LOD || WTnode_gettype(n) == WTNODE_MLOD; }

void fixlods(WTnode *node, std::set<WTnode *> &seen);

void fixlod(WTnode *lod, std::set<WTnode *> &seen) {
  WTnode *first = WTnode_getchild(lod, 0);
  if (first && WTnode_getname(first) && strcmp(WTnode_getname(first), "WTdummygrp") == 0) return;
  if (WTlodnode_numranges(lod) == 1 || WTnode_numchildren(lod) == 0) return;
  if (WTnode_numchildren(lod) > 1) {
    WTnode *sep = WTsepnode_new(nullptr);
    while (WTnode *child = WTnode_getchild(lod, 0)) {
      WTnode_addchild(sep, child);
      WTnode_removechild(lod, 0);
    }
    WTnode_addchild(lod, sep);
  }
  float r[2] = {0, 0};
  WTlodnode_getrange(lod, r, 2);
  if (r[0] != 0) {
    if (r[0] == r[1]) {
      r[1] = kFar;
      WTlodnode_setrange(lod, r, 2);
    }
    WTnode *dummy = WTgroupnode_new(nullptr);
    WTnode_setname(dummy, "WTdummygrp");
    WTnode_insertchild(lod, dummy, 0);
    fixlods(WTnode_getchild(lod, 1), seen);
  } else {
    float far = r[1] != 0 ? r[1] : kFar;
    WTlodnode_setrange(lod, &far, 1);
    fixlods(WTnode_getchild(lod, 0), seen);
  }
}

void fixlods(WTnode *node, std::set<WTnode *> &seen) {
  if (!node || !seen.insert(node).second) return;
  for (int i = 0; i < WTnode_numchildren(node); i++) {
    WTnode *child = WTnode_getchild(node, i);
    if (islod(child)) fixlod(child, seen);
    else fixlods(child, seen);
  }
}

void prune(WTnode *node, std::set<WTnode *> &seen) {
  if (!node || !seen.insert(node).second) return;
  for (int i = WTnode_numchildren(node) - 1; i >= 0; i--) {
    WTnode *child = WTnode_getchild(node, i);
    prune(child, seen);
    if (isgroup(node) && isgroup(child) && WTnode_numchildren(child) == 0) WTnode_deletechild(node, i);
  }
  if (WTnode_numchildren(node) != 1) return;
  WTnode *child = WTnode_getchild(node, 0);
  if (WTnode_numparents(child) != 1) return;
  int type = WTnode_gettype(node), ctype = WTnode_gettype(child);
  bool merge = (type == WTNODE_GROUP && ctype == WTNODE_GROUP) || (type == WTNODE_SEP && isgroup(child));
  if (!merge) return;
  for (int i = 0; i < WTnode_numchildren(child); i++) WTnode_addchild(node, WTnode_getchild(child, i));
  WTnode_deletechild(node, 0);
}

void freefiles() {
  files.clear();
  L() = MgenLoad();
}

WTnode *convert(std::vector<uint8_t> &bytes, const char *name) {
  MgenFile *f = newfile(name, nullptr);
  L().current = L().main = f;
  f->overrides = kMgenOverride[0] | kMgenOverride[1] | kMgenOverride[2];
  _WTmgen_findsources(f, f->sources);
  f->root = WTsepnode_new(nullptr);
  L().table = WTmtable_new(95, 64, nullptr);
  // Holds the table while geometries take it and leave it again (a geometry that fails to
  // close lets go of it, and a table without users goes).
  keeper = _WTgeometry_new(nullptr);
  _WTmtable_attach(keeper, L().table);
  f->buffer.swap(bytes);
  opendef = -1;
  externaldepth = 0;
  externalreads = 0;
  convTree(f->root, 0, 0);
  std::vector<uint8_t>().swap(f->buffer);
  replicatebudget = kReplicateBudget;
  for (auto i = files.rbegin(); i != files.rend(); ++i) {
    L().current = i->get();
    makeReplicates(i->get());
    resolveInstances(i->get());
  }
  return f->root;
}

}  // namespace

extern "C" {

int _WTmgen_setmode(int number, int value) {
  if (!listed(number) || number == 9) {
    _WTmsg_warning("Multigen bad mode %d", number);
    return 0;
  }
  if (number == 11 && (value < 0 || value > 4)) return 0;
  modes[number] = value;
  return 1;
}

int _WTmgen_getmode(int number) { return listed(number) ? modes[number] : -1; }

WTnode *_WTnode_loadmgen(const char *name) {
  if (!name) return nullptr;
  std::vector<uint8_t> bytes;
  if (!readfile(name, &bytes)) {
    _WTmsg_warning("Couldn't load Multigen file %s.", name);
    return nullptr;
  }
  WTnode *root = convert(bytes, name);
  freefiles();
  std::set<WTnode *> seen;
  fixlods(root, seen);
  seen.clear();
  prune(root, seen);
  WTnode *axes = WTxformnode_new(nullptr);
  WTm4 m = {{1, 0, 0, 0}, {0, 0, 1, 0}, {0, -1, 0, 0}, {0, 0, 0, 1}};
  WTnode_settransform(axes, m);
  WTnode_insertchild(root, axes, 0);
  WTgeometry_delete(keeper);
  keeper = nullptr;
  return root;
}

}  // extern "C"
