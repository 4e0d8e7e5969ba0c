// Flattening the scene below a window's root into the opaque and blended draw lists.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/walkstack.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/drawstate.h"

namespace {

// Markers pushed on the walk stack beside nodes and link cells.
const unsigned char kSepEnd = 200, kXformEnd = 201;
const unsigned char sepend = kSepEnd, xformend = kXformEnd;

struct Walk {
  WTdrawstate *s;
  WTwalkstack<const void *, 128> stack;
};

WTstatelevel &level(WTdrawstate *s) { return s->levels.back(); }
WTmatrixlevel &matrix(WTdrawstate *s) { return s->matrices.back(); }

int32_t matrixid(WTdrawstate *s) {
  WTmatrixlevel &m = matrix(s);
  if (m.id < 0) {
    s->blocks.emplace_back(&m.m[0][0], &m.m[0][0] + 16);
    m.id = static_cast<int32_t>(s->blocks.size());
  }
  return m.id;
}

void add(std::vector<WTrenderitem> &list, int8_t kind, void *ptr, int32_t index, int32_t matrix) {
  WTrenderitem item = {ptr, index, 0.0f, kind, matrix};
  list.push_back(item);
}

void addboth(WTdrawstate *s, int8_t kind, int32_t index, int32_t matrix) {
  add(s->opaque, kind, nullptr, index, matrix);
  add(s->blended, kind, nullptr, index, matrix);
}

int32_t lastmatrix(const std::vector<WTrenderitem> &list) { return list.empty() ? 0 : list.back().matrix; }

void toeye(WTdrawstate *s, const float *p, float *out) {
  const WTmatrixlevel &m = matrix(s);
  for (int j = 0; j < 3; j++)
    out[j] = p[0] * m.m[0][j] + p[1] * m.m[1][j] + p[2] * m.m[2][j] + m.m[3][j];
}

// 0 wholly outside, 1 partly outside, 2 wholly inside.
int cullsphere(WTdrawstate *s, const float *centre, float r, float *eyez) {
  float c[3];
  toeye(s, centre, c);
  if (eyez) *eyez = c[2];
  float d[6] = {-(c[2] + s->hither), c[2] + s->yon, 0, 0, 0, 0};
  for (int i = 0; i < 4; i++)
    d[2 + i] = s->planes[i][0] * c[0] + s->planes[i][1] * c[1] + s->planes[i][2] * c[2] + s->planes[i][3];
  bool inside = true;
  for (float v : d) {
    if (v < -r) return 0;
    if (v < r) inside = false;
  }
  return inside ? 2 : 1;
}

void addbox(WTdrawstate *s, const float *mid, const float *half) {
  WTbox b;
  memcpy(b.centre, mid, sizeof b.centre);
  memcpy(b.half, half, sizeof b.half);
  s->boxes.push_back(b);
  add(s->opaque, WTITEM_BOX, nullptr, static_cast<int32_t>(s->boxes.size() - 1), matrixid(s));
}

void nodebox(WTdrawstate *s, WTnode *n) {
  if (n->flags & WTNF_SHOWBOX) addbox(s, n->bounds.mid, n->bounds.ext);
}

uint32_t material_block(WTdrawstate *s, uint32_t mask) {
  const float *m = level(s).material;
  std::vector<float> b(1, static_cast<float>(mask));
  if (mask & WTAMBIENT) b.insert(b.end(), m + 4, m + 7);
  if (mask & WTSPECULAR) b.insert(b.end(), m + 7, m + 10);
  if (mask & WTEMISSION) b.insert(b.end(), m + 10, m + 13);
  if (mask & WTSHININESS) b.push_back(m[13]);
  if (mask & (WTDIFFUSE | WTOPACITY)) b.insert(b.end(), m, m + 4);
  s->blocks.push_back(b);
  return static_cast<uint32_t>(s->blocks.size() - 1);
}

uint32_t geometryattributes(WTgeometry *g) {
  uint32_t mask = g->mtable ? WTmtable_getproperties(g->mtable) & 127u : 0;
  if (mask & WTAMBIENTDIFFUSE) mask = (mask & ~WTAMBIENTDIFFUSE) | WTAMBIENT | WTDIFFUSE;
  return mask;
}

void pushmaterial(WTdrawstate *s, std::vector<WTrenderitem> &list, uint32_t &pending, uint32_t own,
                  uint32_t drop) {
  uint32_t emit = pending & ~own & ~drop;
  if (emit) add(list, WTITEM_MATERIAL, nullptr, static_cast<int32_t>(material_block(s, emit)), 0);
  pending = (pending & ~emit) | own;
}

void geometryitems(WTdrawstate *s, WTnode *n, WTgeometry *g) {
  if (!g || !g->polys) return;
  float eyez = 0.0f;
  if (level(s).cull) {
    if (!cullsphere(s, g->mid, g->radius, &eyez)) return;
  } else {
    float c[3];
    toeye(s, g->mid, c);
    eyez = c[2];
  }
  int bits = _WTgeometry_compile(g, level(s).style, s->opacity);
  uint32_t own = geometryattributes(g);
  s->polycount += g->npolys;
  if (bits & 1) {
    pushmaterial(s, s->opaque, s->pending[0], own, WTOPACITY);
    add(s->opaque, WTITEM_GEOMETRY, g, 0, matrixid(s));
    s->nopaque++;
  }
  if (bits & 2) {
    pushmaterial(s, s->blended, s->pending[1], own, 0);
    WTrenderitem key = {nullptr, 0, -eyez, WTITEM_DEPTHKEY, matrixid(s)};
    s->blended.push_back(key);
    add(s->blended, WTITEM_GEOMETRY, g, 0, matrixid(s));
    s->nblended++;
  }
  if (n->flags & WTNF_SHOWBOX) addbox(s, g->mid, g->half);
}

void materialnode(WTdrawstate *s, WTnode *n) {
  const WTmaterialpayload &p = n->u.material;
  float *m = level(s).material;
  uint32_t bits = 0;
  struct Field { int bit; const float *src; int at, count; } fields[] = {
      {WTMAT_DIFFUSE, p.diffuse, 0, 3},   {WTMAT_OPACITY, &p.opacity, 3, 1},
      {WTMAT_AMBIENT, p.ambient, 4, 3},   {WTMAT_SPECULAR, p.specular, 7, 3},
      {WTMAT_EMISSION, p.emission, 10, 3}, {WTMAT_SHININESS, &p.shininess, 13, 1}};
  for (const Field &f : fields) {
    if (!(p.mask & f.bit) || memcmp(m + f.at, f.src, sizeof(float) * size_t(f.count)) == 0) continue;
    memcpy(m + f.at, f.src, sizeof(float) * size_t(f.count));
    bits |= static_cast<uint32_t>(f.bit);
  }
  if (bits & WTOPACITY) s->opacity = m[3];
  s->pending[0] |= bits;
  s->pending[1] |= bits;
  level(s).matchanged |= static_cast<uint8_t>(bits);
}

uint32_t newblock(WTdrawstate *s, const float *values, int n) {
  s->blocks.emplace_back(values, values + n);
  return static_cast<uint32_t>(s->blocks.size() - 1);
}

void fognode(WTdrawstate *s, WTnode *n) {
  const WTfogpayload &f = n->u.fog;
  uint32_t index = 0;
  if (f.mode != -1) {
    if (s->blocks.empty()) s->blocks.emplace_back(16, 0.0f);
    float b[8] = {static_cast<float>(f.mode), f.range == 0.0f ? s->yon : f.range, f.linearstart, 0,
                  f.color[0], f.color[1], f.color[2], f.color[3]};
    index = newblock(s, b, 8);
  }
  level(s).fog = index;
  addboth(s, WTITEM_FOG, static_cast<int32_t>(index), matrixid(s));
}

void ambientnode(WTdrawstate *s, WTnode *n) {
  if (s->blocks.empty()) s->blocks.emplace_back(16, 0.0f);
  const float *c = n->u.ambient.rgb;
  float k = n->u.ambient.intensity;
  float b[4] = {c[0] * k, c[1] * k, c[2] * k, 1.0f};
  uint32_t index = newblock(s, b, 4);
  level(s).ambient = index;
  addboth(s, WTITEM_AMBIENT, static_cast<int32_t>(index), matrixid(s));
}

void lightnode(WTdrawstate *s, WTnode *n) {
  WTlight *l = n->u.light.light;
  if (!l || !n->u.light.one || l->slot < 0 || l->slot >= 8) return;
  addboth(s, WTITEM_LIGHTON, l->slot, matrixid(s));
  level(s).lights |= static_cast<uint8_t>(1u << l->slot);
}

void opensep(Walk &w, WTnode *n, int cull) {
  WTdrawstate *s = w.s;
  s->sepmatrix.push_back(static_cast<int>(s->matrices.size()));
  WTstatelevel next = level(s);
  next.lights = 0;
  next.matchanged = 0;
  next.cull = static_cast<uint8_t>(cull);
  s->levels.push_back(next);
  w.stack.push(&sepend);
  w.stack.push(n->firstchild);
}

void separator(Walk &w, WTnode *n) {
  WTdrawstate *s = w.s;
  int cull = level(s).cull;
  bool test = cull && WTsepnode_getcullmode(n) != 1 && (n->flags & WTNF_BOUNDSVALID);
  if (test) {
    int r = cullsphere(s, n->bounds.mid, n->bounds.radius, nullptr);
    if (r == 0) return;
    cull = r == 1;
  }
  nodebox(s, n);
  if (n->firstchild) opensep(w, n, cull);
}

void closesep(WTdrawstate *s) {
  WTstatelevel closed = level(s);
  s->matrices.resize(static_cast<size_t>(s->sepmatrix.back()));
  s->sepmatrix.pop_back();
  s->levels.pop_back();
  WTstatelevel &parent = level(s);
  if (closed.ambient != parent.ambient)
    for (auto *list : {&s->opaque, &s->blended})
      add(*list, WTITEM_AMBIENT, nullptr, static_cast<int32_t>(parent.ambient), lastmatrix(*list));
  if (closed.fog != parent.fog)
    for (auto *list : {&s->opaque, &s->blended})
      add(*list, WTITEM_FOG, nullptr, static_cast<int32_t>(parent.fog), lastmatrix(*list));
  s->pending[0] |= closed.matchanged;
  s->pending[1] |= closed.matchanged;
  s->opacity = parent.material[3];
  for (int slot = 0; slot < 8 && closed.lights; slot++) {
    uint8_t bit = static_cast<uint8_t>(1u << slot);
    if ((closed.lights & bit) && !(parent.lights & bit))
      for (auto *list : {&s->opaque, &s->blended})
        add(*list, WTITEM_LIGHTOFF, nullptr, slot, lastmatrix(*list));
    else if ((closed.lights & bit) && (parent.lights & bit))
      addboth(s, WTITEM_LIGHTON, slot, matrixid(s));
  }
}

void xform(WTdrawstate *s, WTnode *n) {
  if (n->u.xform.xkind == 0) return;
  WTmatrixlevel next = matrix(s);
  int kind = 0;
  _WTnode_composexform(n, next.m, &kind);
  next.id = -1;
  s->matrices.push_back(next);
}

const void *lodchoice(WTdrawstate *s, WTnode *n) {
  float c[3];
  toeye(s, n->u.lod.center, c);
  float d2 = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
  int i = 0;
  WTnodelink *l = n->firstchild;
  for (; l && i < n->u.lod.nranges; l = l->nextsibling, i++)
    if (d2 <= n->u.lod.squares[i]) return l->child;
  return l ? l->child : nullptr;  // the child after the last range, if any
}

// A switch names one child only, so the walk pushes the child itself, not its link.
const void *switchchoice(WTnode *n) {
  WTnodelink *l = _WTswitchnode_getactivechild(n);
  if (!l) return nullptr;
  if (n->u.whichchild == -3) return l;
  return l->child;
}

void callbacknode(WTdrawstate *s, WTnode *n) {
  add(s->opaque, WTITEM_CALLBACK, n, 0, matrixid(s));
  s->nopaque++;
  if (n->flags & WTNF_SHOWBOX) {
    const WTcallbackpayload &c = n->u.callback;
    float mid[3], half[3];
    for (int i = 0; i < 3; i++)
      mid[i] = (c.boxmin[i] + c.boxmax[i]) / 2, half[i] = (c.boxmax[i] - c.boxmin[i]) / 2;
    addbox(s, mid, half);
  }
}

// Handles one node; returns the entry to push after the handler's own pushes, or null.
const void *handle(Walk &w, WTnode *n) {
  WTdrawstate *s = w.s;
  switch (n->kind) {
    case WTNODE_XFORM: xform(s, n); return nullptr;
    case WTNODE_LOD: nodebox(s, n); return lodchoice(s, n);
    case WTNODE_SWITCH: nodebox(s, n); return switchchoice(n);
    case WTNODE_GEOMETRY: geometryitems(s, n, n->u.geometry); return nullptr;
    case WTNODE_GROUP: case WTNODE_ANCHOR: case WTNODE_INLINE: nodebox(s, n); return n->firstchild;
    case WTNODE_SEP: separator(w, n); return nullptr;
    case WTNODE_OBJECT: return nullptr;  // objects are drawn by the object layer
    case WTNODE_LIGHT: lightnode(s, n); return nullptr;
    case WTNODE_XFORMSEP:
      nodebox(s, n);
      if (!n->firstchild) return nullptr;
      s->sepmatrix.push_back(static_cast<int>(s->matrices.size()));
      w.stack.push(&xformend);
      return n->firstchild;
    case WTNODE_MATERIAL: materialnode(s, n); return nullptr;
    case WTNODE_FOG: fognode(s, n); return nullptr;
    case WTNODE_AMBIENT: ambientnode(s, n); return nullptr;
    case WTNODE_CALLBACK: callbacknode(s, n); return nullptr;
    default: _WTmsg_fatal("Unknown node type %d\n", n->kind); return nullptr;
  }
}

void step(Walk &w, const void *e) {
  unsigned char kind = _WTkindof(e);
  if (e == &sepend) return closesep(w.s);
  if (e == &xformend) {
    w.s->matrices.resize(static_cast<size_t>(w.s->sepmatrix.back()));
    w.s->sepmatrix.pop_back();
    return;
  }
  if (kind == WTNODE_LINK) {
    const WTnodelink *l = static_cast<const WTnodelink *>(e);
    if (l->nextsibling) w.stack.push(l->nextsibling);
    if (l->child) w.stack.push(l->child);
    return;
  }
  WTnode *n = const_cast<WTnode *>(static_cast<const WTnode *>(e));
  if (!(n->flags & WTNF_ENABLED)) return;
  if (const void *next = handle(w, n)) w.stack.push(next);
}

}  // namespace

extern "C" {

WTnodelink *_WTswitchnode_getactivechild(WTnode *node) {
  if (!node || node->kind != WTNODE_SWITCH) return nullptr;
  int which = node->u.whichchild;
  if (which == -1) return nullptr;
  if (which == -3) return node->firstchild;
  if (which < 0) which = 0;  // any other negative index stands for the first child
  WTnodelink *l = node->firstchild;
  for (int i = 0; l && i < which; i++) l = l->nextsibling;
  return l;
}

WTdrawstate *_WTdrawstate_new(void) {
  WTdrawstate *s = new WTdrawstate();
  s->opaque.reserve(256);
  s->blended.reserve(16);
  s->blocks.reserve(256);
  _WTdrawstate_reset(s, 0);
  return s;
}

void _WTdrawstate_delete(WTdrawstate *state) { delete state; }

void _WTdrawstate_reset(WTdrawstate *s, uint8_t style) {
  s->levels.assign(1, WTstatelevel());
  WTstatelevel &l = s->levels[0];
  memset(&l, 0, sizeof l);
  l.material[3] = 1.0f;
  l.style = style;
  l.cull = 1;
  WTmatrixlevel base;
  memset(&base, 0, sizeof base);
  for (int i = 0; i < 4; i++) base.m[i][i] = 1.0f;
  base.id = 0;
  s->matrices.assign(1, base);
  s->sepmatrix.clear();
  s->opaque.clear();
  s->blended.clear();
  s->blocks.clear();
  s->boxes.clear();
  s->pending[0] = s->pending[1] = 0;
  s->nopaque = s->nblended = s->polycount = 0;
  s->opacity = 1.0f;
}

const float *_WTdrawstate_matrix(WTdrawstate *s, int32_t id) {
  if (id <= 0 || id > static_cast<int32_t>(s->blocks.size())) return &s->matrices[0].m[0][0];
  return s->blocks[static_cast<size_t>(id - 1)].data();
}

void _WTnode_buildlist(WTdrawstate *state, WTnode *root) {
  if (!state || !root) return;
  Walk w;
  w.s = state;
  if (root->kind != WTNODE_ROOT)
    w.stack.push(root);
  else if (root->firstchild)
    w.stack.push(root->firstchild);
  const void *e;
  while (w.stack.pop(&e))
    if (e) step(w, e);
}

void _WTdrawstate_sortblended(WTdrawstate *s) {
  // Pairs of (depth key, drawable) sorted farthest first; other items keep their places.
  std::vector<WTrenderitem> &list = s->blended;
  size_t i = 0;
  while (i < list.size()) {
    if (list[i].kind != WTITEM_DEPTHKEY) {
      i++;
      continue;
    }
    size_t start = i;
    while (i + 1 < list.size() && list[i].kind == WTITEM_DEPTHKEY &&
           (list[i + 1].kind == WTITEM_GEOMETRY || list[i + 1].kind == WTITEM_OBJECT))
      i += 2;
    size_t pairs = (i - start) / 2;
    for (size_t a = 1; a < pairs; a++)
      for (size_t b = a; b > 0 && list[start + 2 * b].key > list[start + 2 * (b - 1)].key; b--) {
        std::swap(list[start + 2 * b], list[start + 2 * (b - 1)]);
        std::swap(list[start + 2 * b + 1], list[start + 2 * (b - 1) + 1]);
      }
    if (i == start) i++;
  }
}
}
