// DXF blocks, block references and the geometries made from them: the read's entry points, the
// polygons every builder makes, the references with their matrices and arrays, and the top block
// built into geometries with a transformed copy of each referenced block.
#include <ctype.h>
#include <math.h>
#include <string.h>

#include <algorithm>

#include "toolkit/geometry/objects.h"
#include "toolkit/loaders/dxf.h"
#include "toolkit/loaders/loaders.h"

namespace {

constexpr float kNear = 0.004f;
// Each read may place this many polygon copies through references; past it the read ends.
long copybudget = 8L << 20;
// References are followed this many blocks deep at most.
constexpr size_t kMaxNesting = 200;

WTdxfread state;

WTdxfpoint toolkit(const WTdxfpoint &p) { return {p.x, -p.z, p.y}; }

void identity(WTm4 m) {
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 4; j++) m[i][j] = i == j ? 1.0f : 0.0f;
}

WTvertex *sharedvertex(WTdxfblock *b, const WTdxfpoint &p) {
  return b->hash->shared(p, [b, &p] {
    const WTp3 at = {p.x, p.y, p.z};
    WTvertex *v = _WTvertex_newat(at);
    v->next = b->vertices;
    b->vertices = v;
    return v;
  });
}

// Drops neighbours closer than the tolerance, the last point's neighbour being the first.
int dropneighbours(WTdxfpoint *p, int n) {
  for (int i = 0; i < n && n > 0;) {
    const WTdxfpoint &a = p[i], &b = p[(i + 1) % n];
    if (n > 1 && fabsf(a.x - b.x) < kNear && fabsf(a.y - b.y) < kNear && fabsf(a.z - b.z) < kNear) {
      memmove(p + i, p + i + 1, sizeof(WTdxfpoint) * size_t(n - i - 1));
      n--;
    } else {
      i++;
    }
  }
  return n;
}

void layerlooks(WTdxfblock *b, WTpoly *poly) {
  const std::string &layer = state.layer;
  if (layer.size() >= 3 && layer[0] == '_' && layer[2] == '_') {
    std::string text = layer.substr(1);
    text = text.substr(0, text.find('-'));
    poly->texture = _WTtexture_newref(text.c_str());
  }
  size_t dash = layer.find('-');
  if (dash != std::string::npos) {
    std::string portal = layer.substr(dash + 1);
    for (char &c : portal) c = char(tolower(static_cast<unsigned char>(c)));
    b->portals[poly] = portal;
  }
}

// ---- Matrices ----------------------------------------------------------------------------

void multiply3(const float a[3][3], const float b[3][3], float out[3][3]) {
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
}

// The reference's matrix: scale, rotation about Z and the extrusion's axes, translated to the
// insertion point, then turned into toolkit axes.
void insertmatrix(const WTdxfentity *e, const WTdxfblock *target, WTm4 out) {
  const float s[3][3] = {{e->scale[0], 0, 0}, {0, e->scale[1], 0}, {0, 0, e->scale[2]}};
  const float a = e->rotation * 3.1415927f / 180;
  const float r[3][3] = {{cosf(a), sinf(a), 0}, {-sinf(a), cosf(a), 0}, {0, 0, 1}};
  float ocs[3][3], sr[3][3], m[3][3];
  _WTdxf_ocs(e->extrusion, ocs);
  multiply3(s, r, sr);
  multiply3(sr, ocs, m);
  float p[3] = {e->p[0][0], e->p[0][1], e->zmissing ? e->elevation : e->p[0][2]};
  if (target && target->zmissing) p[2] -= target->elevation;
  identity(out);
  for (int i = 0; i < 3; i++)
    for (int j = 0; j < 3; j++) out[i][j] = m[i][j];
  for (int j = 0; j < 3; j++) out[3][j] = p[0] * ocs[0][j] + p[1] * ocs[1][j] + p[2] * ocs[2][j];
  for (int i = 0; i < 4; i++) {
    float y = out[i][1], z = out[i][2];
    out[i][1] = -z;
    out[i][2] = y;
  }
  for (int j = 0; j < 3; j++) {
    float y = out[1][j], z = out[2][j];
    out[1][j] = -z;
    out[2][j] = y;
  }
}

void transform(WTvertex *v, const WTp3 base, const WTm4 m) {
  const float p[3] = {v->position[0] - base[0], v->position[1] - base[1], v->position[2] - base[2]};
  for (int j = 0; j < 3; j++) v->position[j] = p[0] * m[0][j] + p[1] * m[1][j] + p[2] * m[2][j] + m[3][j];
}

// ---- Building ----------------------------------------------------------------------------

struct Placement {
  const float (*matrix)[4];
  int colour, rows, columns;
  float rowspacing, columnspacing;
};

int colourof(int dxf, const Placement &at) {
  if (dxf < 1) dxf = at.colour;
  return ((dxf % 256) + 256) % 256;
}

void applytexture(WTpoly *p) {
  WTtextureref *ref = p->texture;
  if (!ref) return;
  std::string text = ref->name ? ref->name : "";
  p->texture = nullptr;
  _WTtexture_deleteref(ref);
  const char style = char(tolower(static_cast<unsigned char>(text.empty() ? ' ' : text[0])));
  const std::string name = text.size() > 2 ? text.substr(2) : std::string();
  if (name.empty()) {
    _WTmsg_warning("Polygon has texture with no name\n");
    return;
  }
  int a = style == 's' || style == 'u', b = style == 't' || style == 'u';
  if (!WTpoly_settexture(p, name.c_str(), a, b)) {
    _WTtexture_deleteref(p->texture);
    p->texture = nullptr;
    _WTmsg_warning("Unable to load texture file %s\n", name.c_str());
  }
}

// The block's polygons and vertices: moved out of the block when it is placed once as it is,
// otherwise copied.  The copies' portals are made for the copied polygons.
struct Parts {
  WTpoly *polys = nullptr, *tail = nullptr;
  WTvertex *vertices = nullptr;
  long count = 0;
};

Parts copyparts(WTdxfblock *b, WTgeometry *g, bool move) {
  Parts out;
  if (move) {
    out.polys = b->polys;
    out.vertices = b->vertices;
    for (WTpoly *p = b->polys; p; p = p->next, out.count++) {
      p->geometry = g;
      auto portal = b->portals.find(p);
      if (portal != b->portals.end()) _WTportal_new(p, portal->second.c_str());
      out.tail = p;
    }
    b->polys = nullptr;
    b->vertices = nullptr;
    return out;
  }
  std::unordered_map<WTvertex *, WTvertex *> copied;
  WTvertex **vslot = &out.vertices;
  for (WTvertex *v = b->vertices; v; v = v->next) {
    WTvertex *c = _WTvertex_newat(v->position);
    copied[v] = c;
    *vslot = c;
    vslot = &c->next;
  }
  for (WTpoly *p = b->polys; p; p = p->next, out.count++) {
    WTpoly *c = _WTpoly_new(g);
    c->matid = p->matid;
    c->flags = p->flags;
    c->nverts = p->nverts;
    memcpy(c->normal, p->normal, sizeof(WTp3));
    if (p->texture) c->texture = _WTtexture_newref(p->texture->name);
    WTvertexlink **lslot = &c->links;
    for (WTvertexlink *l = p->links; l; l = l->next) {
      *lslot = _WTvertexlink_new(copied[l->vertex], nullptr);
      lslot = &(*lslot)->next;
    }
    auto portal = b->portals.find(p);
    if (portal != b->portals.end()) _WTportal_new(c, portal->second.c_str());
    if (out.tail) out.tail->next = c;
    else out.polys = c;
    out.tail = c;
  }
  return out;
}

void offset(WTvertex *v, const WTp3 by) {
  for (; v; v = v->next)
    for (int k = 0; k < 3; k++) v->position[k] += by[k];
}

bool spend(long polys) {
  if (state.overbudget) return false;
  state.copies += polys;
  if (state.copies <= copybudget) return true;
  state.overbudget = true;
  _WTmsg_warning("DXF file places too many block copies; the rest are left out\n");
  return false;
}

WTgeomlist *buildblock(WTdxfblock *b, const Placement &at, WTmtable *table, bool top,
                       std::vector<WTdxfblock *> &path);

// The geometries of every reference of the block, in the block's own axes.
WTgeomlist *buildreferences(WTdxfblock *b, WTmtable *table, std::vector<WTdxfblock *> &path) {
  WTgeomlist *list = nullptr;
  for (WTdxfinsert *r = b->inserts; r; r = r->next) {
    bool loop = false;
    for (WTdxfblock *p : path) loop = loop || p == r->block;
    if (!spend(1)) break;
    if (loop) {
      _WTmsg_warning("DXF block %s inserts itself; the insert is skipped\n", r->block->name.c_str());
      continue;
    }
    if (path.size() >= kMaxNesting) {
      _WTmsg_warning("DXF blocks nest more than %d deep; the insert is skipped\n", int(kMaxNesting));
      continue;
    }
    Placement inner = {r->matrix, r->colour, r->rows, r->columns, r->rowspacing, r->columnspacing};
    list = _WTgeomlist_append(list, buildblock(r->block, inner, table, false, path));
  }
  return list;
}

WTgeometry *buildown(WTdxfblock *b, const Placement &at, WTmtable *table, bool top) {
  WTgeometry *g = _WTgeometry_new(nullptr);
  _WTmtable_attach(g, table);
  WTgeometry_setname(g, b->name.c_str());
  const int rows = at.rows < 1 ? 1 : at.rows, columns = at.columns < 1 ? 1 : at.columns;
  const bool single = rows == 1 && columns == 1;
  for (int r = 0; r < rows; r++)
    for (int c = 0; c < columns; c++) {
      long polys = 0;
      for (WTpoly *p = b->polys; p; p = p->next) polys++;
      if (!(top && single) && !spend(polys)) return g;
      Parts parts = copyparts(b, g, top && single);
      if (!single) {
        const WTp3 by = {c * at.columnspacing, 0, r * at.rowspacing};
        offset(parts.vertices, by);
      }
      int ids[256];
      std::fill(ids, ids + 256, -2);
      for (WTpoly *p = parts.polys; p; p = p->next) {
        const int number = colourof(p->matid, at);
        if (ids[number] == -2) {
          const unsigned char *rgb = _WTdxf_colors[number];
          ids[number] = _WTmtable_getrgbid(table, rgb[0], rgb[1], rgb[2]);
        }
        p->matid = ids[number];
        applytexture(p);
      }
      if (parts.tail) {
        parts.tail->next = g->polys;
        g->polys = parts.polys;
      }
      WTvertex *last = parts.vertices;
      while (last && last->next) last = last->next;
      if (last) {
        last->next = g->vertices;
        g->vertices = parts.vertices;
      }
      g->npolys += int(parts.count);
    }
  return g;
}

WTgeomlist *buildblock(WTdxfblock *b, const Placement &at, WTmtable *table, bool top,
                       std::vector<WTdxfblock *> &path) {
  path.push_back(b);
  WTgeomlist *list = buildreferences(b, table, path);
  path.pop_back();
  if (b->polys) list = _WTgeomlist_add(list, buildown(b, at, table, top));
  for (WTgeomlist *c = list; c; c = c->next)
    for (WTvertex *v = c->geometry->vertices; v; v = v->next) transform(v, b->base, at.matrix);
  return list;
}

// Scale and the close (which drops the polygons' repeated corners and works out their planes);
// geometries left empty are deleted.
WTgeomlist *finish(WTgeomlist *list, float scale) {
  const bool scaled = fabsf(scale) >= kNear && fabsf(scale - 1) >= kNear;
  WTgeomlist **at = &list;
  while (WTgeomlist *cell = *at) {
    WTgeometry *g = cell->geometry;
    if (scaled)
      for (WTvertex *v = g->vertices; v; v = v->next)
        for (float &k : v->position) k *= scale;
    for (WTpoly *p = g->polys; p; p = p->next) p->geometry = g;
    bool kept = g->polys ? _WTgeometry_close(g) != 0 : WTgeometry_delete(g) < 0;
    if (!kept) { // a failed close has deleted the geometry
      *at = cell->next;
      _WTmem_free(cell);
      continue;
    }
    at = &cell->next;
  }
  return list;
}

void freeall() {
  for (WTdxfblock *b : state.blocks) _WTdxf_freeblock(b);
  state.blocks.clear();
}

bool anypolygons() {
  for (WTdxfblock *b : state.blocks)
    if (b->polys) return true;
  return false;
}

}  // namespace

namespace {

// The coordinate's bits, the same for both zeros: positions equal as numbers hash alike.
uint32_t hashbits(float f) {
  if (f == 0) f = 0;
  uint32_t bits;
  memcpy(&bits, &f, 4);
  return bits;
}

}  // namespace

size_t WTdxfpointhash::operator()(const WTdxfpoint &p) const {
  const uint32_t x = hashbits(p.x), y = hashbits(p.y), z = hashbits(p.z);
  uint64_t h = (uint64_t(x) * 0x9E3779B97F4A7C15ull) ^ (uint64_t(y) * 0xC2B2AE3D27D4EB4Full) ^
               (uint64_t(z) * 0x165667B19E3779F9ull);
  return size_t(h ^ (h >> 29));
}

size_t WTdxfvertextable::probe(const WTdxfpoint &p) const {
  const size_t mask = slots_.size() - 1;
  size_t i = home(p);
  while (slots_[i].vertex && !(slots_[i].point == p)) i = (i + 1) & mask;
  return i;
}

void WTdxfvertextable::grow() {
  std::vector<Slot> old = take(slots_.empty() ? 64 : slots_.size() * 2);
  old.swap(slots_);
  for (const Slot &s : old)
    if (s.vertex) slots_[probe(s.point)] = s;
  giveback(std::move(old));
}

WTdxfvertextable::~WTdxfvertextable() { giveback(std::move(slots_)); }

namespace {

// The kept arrays by the power of two of their size.
template <class Slot>
std::vector<std::vector<Slot>> &sparearrays() {
  static std::vector<std::vector<Slot>> spares;
  return spares;
}

size_t powerof(size_t size) {
  size_t k = 0;
  while ((size_t(1) << k) < size) k++;
  return k;
}

}  // namespace

std::vector<WTdxfvertextable::Slot> WTdxfvertextable::take(size_t size) {
  std::vector<std::vector<Slot>> &spares = sparearrays<Slot>();
  const size_t k = powerof(size);
  std::vector<Slot> slots;
  if (k < spares.size()) slots.swap(spares[k]);
  if (slots.size() != size) {
    slots.assign(size, Slot{{0, 0, 0}, nullptr});
    return slots;
  }
  // A kept array is emptied in one sweep of zeros: every field of an empty slot is zero.
  memset(static_cast<void *>(slots.data()), 0, size * sizeof(Slot));
  return slots;
}

void WTdxfvertextable::giveback(std::vector<Slot> &&slots) {
  if (slots.empty()) return;
  std::vector<std::vector<Slot>> &spares = sparearrays<Slot>();
  const size_t k = powerof(slots.size());
  if (spares.size() <= k) spares.resize(k + 1);
  if (spares[k].capacity() < slots.capacity()) spares[k] = std::move(slots);
}

WTdxfread &_WTdxf_state(void) { return state; }

long _WTdxf_setcopybudget(long polygons) {
  long previous = copybudget;
  copybudget = polygons;
  return previous;
}

void _WTdxf_addpolygon(WTdxfblock *b, int count, const WTdxfpoint *points, int colour,
                       int twosided, int solid) {
  WTdxfpoint small[16];
  std::vector<WTdxfpoint> large;
  WTdxfpoint *p = small;
  if (count > 16) {
    large.assign(points, points + count);
    p = large.data();
  } else {
    std::copy(points, points + count, small);
  }
  int n = dropneighbours(p, count);
  if (n < 3) {
    state.classified = 0;
    return;
  }
  for (int i = 0; i < n; i++) b->hash->expect(toolkit(p[i]));
  WTpoly *poly = _WTpoly_new(nullptr);
  poly->matid = colour;
  if (twosided && !solid) poly->flags |= WTP_TWOSIDED;
  WTvertexlink **slot = &poly->links;
  for (int i = 0; i < n; i++) {
    *slot = _WTvertexlink_new(sharedvertex(b, toolkit(p[i])), nullptr);
    slot = &(*slot)->next;
  }
  poly->nverts = int16_t(n > 32767 ? 32767 : n);
  if (state.classified) {
    const WTdxfpoint nn = toolkit({state.normal[0], state.normal[1], state.normal[2]});
    poly->normal[0] = nn.x;
    poly->normal[1] = nn.y;
    poly->normal[2] = nn.z;
    state.classified = 0;
  }
  poly->next = b->polys;
  b->polys = poly;
  layerlooks(b, poly);
}

WTdxfblock *_WTdxf_newblock(void) {
  WTdxfblock *b = new WTdxfblock();
  b->zmissing = 1;
  b->extrusion[2] = 1;
  b->hash = new WTdxfvertextable();
  return b;
}

WTdxfblock *_WTdxf_findblock(const char *name) {
  for (WTdxfblock *b : state.blocks)
    if (b->name == name) return b;
  return nullptr;
}

void _WTdxf_closeblock(WTdxfblock *b) {
  delete b->hash;
  b->hash = nullptr;
  const WTdxfpoint base = toolkit({b->base[0], b->base[1], b->base[2]});
  b->base[0] = base.x;
  b->base[1] = base.y;
  b->base[2] = base.z;
  WTdxfblock *earlier = _WTdxf_findblock(b->name.c_str());
  if (!earlier) {
    state.blocks.push_back(b);
    return;
  }
  // An earlier reference made the record: the definition fills it, so references keep it.
  WTdxfinsert *refs = earlier->inserts;
  WTpoly *polys = earlier->polys;
  WTvertex *vertices = earlier->vertices;
  *earlier = std::move(*b);
  b->inserts = refs;
  b->polys = polys;
  b->vertices = vertices;
  _WTdxf_freeblock(b);
}

void _WTdxf_freeblock(WTdxfblock *b) {
  if (!b) return;
  delete b->hash;
  for (WTdxfinsert *r = b->inserts; r;) {
    WTdxfinsert *next = r->next;
    delete r;
    r = next;
  }
  for (WTpoly *p = b->polys; p;) {
    WTpoly *next = p->next;
    _WTpoly_del(p);
    p = next;
  }
  for (WTvertex *v = b->vertices; v;) {
    WTvertex *next = v->next;
    _WTvertex_delete(v);
    v = next;
  }
  delete b;
}

void _WTdxf_insert(WTdxfblock *b, WTdxfentity *e) {
  if (e->colour < 0) return;
  WTdxfblock *target = _WTdxf_findblock(e->block.c_str());
  if (!target) {
    target = _WTdxf_newblock();
    target->name = e->block;
    _WTdxf_closeblock(target);
  }
  WTdxfinsert *r = new WTdxfinsert();
  r->block = target;
  r->layer0 = e->layer0;
  r->rows = int(int16_t(e->rows));
  r->columns = int(int16_t(e->columns));
  r->rowspacing = e->rowspacing;
  r->columnspacing = e->columnspacing;
  r->colour = e->colour;
  insertmatrix(e, target, r->matrix);
  r->next = b->inserts;
  b->inserts = r;
}

extern "C" {

WTgeomlist *_WTdxf_read_geometries(FILE *stream, float scale, WTpq *pose, int merge) {
  if (!stream) return nullptr;
  freeall();
  state = WTdxfread{};
  _WTdxf_parse(stream);
  if (state.blocks.empty()) return nullptr;
  if (!anypolygons()) {
    _WTmsg_warning("No comprehensible geometry in DXF file\n");
    freeall();
    return nullptr;
  }
  if (pose) *pose = state.pose;
  WTmtable *table = WTmtable_new(WTAMBIENTDIFFUSE, 10, nullptr);
  // The read holds the table until its geometries are closed: a failed close deletes its
  // geometry, and the last geometry to let go of the table deletes it.
  _WTmtable_hold(table);
  WTdxfblock *top = state.blocks.back();
  WTm4 m;
  identity(m);
  Placement at = {m, top->colour, 1, 1, 0, 0};
  std::vector<WTdxfblock *> path;
  WTgeomlist *list = buildblock(top, at, table, true, path);
  if (merge && list && list->next) _WTgeomlist_glom(list);
  list = finish(list, scale);
  _WTmtable_release(table);
  freeall();
  return list;
}

WTcell *_WTdxf_read_objects(FILE *stream, float scale, WTpq *pose, int merge, int flag) {
  return _WTread_makeobjects(_WTdxf_read_geometries(stream, scale, pose, merge), flag,
                             WTreadorder::reversed);
}

}  // extern "C"

const unsigned char _WTdxf_colors[256][3] = {
    {0, 0, 0},       {255, 0, 0},     {255, 255, 0},   {0, 255, 0},     {0, 255, 255},
    {0, 0, 255},     {255, 0, 255},   {255, 255, 255}, {200, 200, 200}, {150, 150, 150},
    {240, 0, 0},     {240, 150, 150}, {200, 0, 0},     {200, 120, 120}, {160, 0, 0},
    {160, 95, 95},   {120, 0, 0},     {120, 70, 70},   {80, 0, 0},      {80, 50, 50},
    {240, 180, 0},   {240, 180, 130}, {200, 140, 0},   {200, 140, 100}, {160, 100, 0},
    {160, 100, 80},  {120, 75, 0},    {120, 75, 60},   {80, 50, 0},     {80, 50, 40},
    {240, 200, 0},   {240, 200, 150}, {200, 160, 0},   {200, 160, 120}, {160, 120, 0},
    {160, 120, 95},  {120, 80, 0},    {120, 80, 70},   {80, 60, 0},     {80, 60, 50},
    {240, 220, 0},   {240, 220, 150}, {200, 180, 0},   {200, 180, 120}, {160, 130, 0},
    {160, 130, 95},  {120, 100, 0},   {120, 100, 70},  {80, 70, 0},     {80, 70, 50},
    {240, 240, 0},   {240, 240, 150}, {200, 200, 0},   {200, 200, 120}, {160, 160, 0},
    {160, 160, 95},  {120, 120, 0},   {120, 120, 70},  {80, 80, 0},     {80, 80, 50},
    {210, 240, 0},   {210, 240, 150}, {180, 200, 0},   {180, 200, 120}, {130, 160, 0},
    {130, 160, 95},  {100, 120, 0},   {100, 120, 70},  {60, 80, 0},     {60, 80, 50},
    {180, 240, 0},   {180, 240, 130}, {140, 200, 0},   {140, 200, 100}, {100, 160, 0},
    {100, 160, 80},  {75, 120, 0},    {75, 120, 60},   {50, 80, 0},     {50, 80, 40},
    {180, 240, 0},   {180, 240, 130}, {140, 200, 0},   {140, 200, 100}, {100, 160, 0},
    {100, 160, 80},  {75, 120, 0},    {75, 120, 60},   {50, 80, 0},     {50, 80, 40},
    {0, 240, 0},     {150, 240, 150}, {0, 200, 0},     {120, 200, 120}, {0, 160, 0},
    {95, 160, 95},   {0, 120, 0},     {70, 120, 70},   {0, 80, 0},      {50, 80, 50},
    {0, 240, 120},   {150, 240, 120}, {0, 200, 100},   {120, 200, 100}, {0, 160, 80},
    {95, 160, 80},   {0, 120, 60},    {70, 120, 60},   {0, 80, 40},     {50, 80, 40},
    {0, 240, 150},   {150, 240, 150}, {0, 200, 130},   {120, 200, 130}, {0, 160, 100},
    {95, 160, 100},  {0, 120, 80},    {70, 120, 80},   {0, 80, 60},     {50, 80, 60},
    {0, 240, 200},   {150, 240, 200}, {0, 200, 170},   {120, 200, 170}, {0, 160, 140},
    {95, 160, 140},  {0, 120, 120},   {70, 120, 120},  {0, 80, 90},     {50, 80, 90},
    {0, 240, 240},   {150, 240, 240}, {0, 200, 200},   {120, 200, 200}, {0, 160, 160},
    {95, 160, 160},  {0, 120, 120},   {70, 120, 120},  {0, 80, 80},     {50, 80, 80},
    {0, 200, 240},   {150, 200, 240}, {0, 160, 200},   {120, 160, 200}, {0, 120, 160},
    {95, 120, 160},  {0, 90, 120},    {70, 90, 120},   {0, 60, 80},     {50, 60, 80},
    {0, 160, 240},   {150, 160, 240}, {0, 130, 200},   {120, 130, 200}, {0, 100, 160},
    {95, 100, 160},  {0, 80, 120},    {70, 80, 120},   {0, 60, 80},     {50, 60, 80},
    {0, 120, 240},   {150, 120, 240}, {0, 100, 200},   {120, 100, 200}, {0, 80, 160},
    {95, 80, 160},   {0, 60, 120},    {70, 60, 120},   {0, 40, 80},     {50, 40, 80},
    {0, 0, 240},     {150, 150, 240}, {0, 0, 200},     {120, 120, 200}, {0, 0, 160},
    {95, 95, 160},   {0, 0, 120},     {70, 70, 120},   {0, 0, 80},      {50, 50, 80},
    {120, 0, 240},   {120, 150, 240}, {100, 0, 200},   {100, 120, 200}, {80, 0, 160},
    {80, 95, 160},   {60, 0, 120},    {60, 70, 120},   {40, 0, 80},     {40, 50, 80},
    {160, 0, 240},   {160, 150, 240}, {130, 0, 200},   {130, 120, 200}, {100, 0, 160},
    {100, 95, 160},  {80, 0, 120},    {80, 70, 120},   {60, 0, 80},     {60, 50, 80},
    {200, 0, 240},   {200, 150, 240}, {160, 0, 200},   {160, 120, 200}, {120, 0, 160},
    {120, 95, 160},  {100, 0, 120},   {100, 70, 120},  {80, 0, 80},     {80, 50, 80},
    {240, 0, 240},   {240, 150, 240}, {200, 0, 200},   {200, 120, 200}, {160, 0, 160},
    {160, 95, 160},  {120, 0, 120},   {120, 70, 120},  {80, 0, 80},     {80, 50, 80},
    {240, 0, 210},   {240, 150, 210}, {200, 0, 170},   {200, 120, 170}, {160, 0, 130},
    {160, 95, 130},  {120, 0, 90},    {120, 70, 90},   {80, 0, 60},     {80, 50, 60},
    {240, 0, 180},   {240, 150, 180}, {200, 0, 150},   {200, 120, 150}, {160, 0, 110},
    {160, 95, 110},  {120, 0, 80},    {120, 70, 80},   {80, 0, 60},     {80, 50, 60},
    {240, 0, 160},   {240, 150, 160}, {200, 0, 120},   {200, 120, 120}, {160, 0, 100},
    {160, 95, 100},  {120, 0, 70},    {120, 60, 70},   {80, 0, 50},     {80, 50, 50},
    {140, 140, 140}, {160, 160, 160}, {180, 180, 180}, {200, 200, 200}, {220, 220, 220},
    {0, 0, 0}};
