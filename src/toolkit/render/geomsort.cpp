// Sorting a geometry's polygons into drawing groups, each needing one set of OpenGL switches.
#include <algorithm>
#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/core/nodestate.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/context.h"
#include "toolkit/render/drawstate.h"

namespace {

enum { kLit = 1, kAlpha = 2, kTextured = 8, kBlended = 16, kSmooth = 128 };

float entryopacity(WTmtable *t, int32_t matid) {
  if (!t || t->count <= 0 || t->attroffset[6] < 0) return 1.0f;
  int e = _WTmtable_drawnentry(t, matid);
  return t->entries[e][t->attroffset[6]];
}

int polyclass(WTpoly *p, WTmtable *t, int base, int style) {
  int c = base;
  WTtextureref *r = p->texture;
  if (r && r->texture && (style & 1)) {
    c |= kTextured;
    if (r->style[1]) c |= kAlpha;
    if ((style & 4) && r->style[0]) c |= kLit;
  } else if (style & 4) {
    c |= kLit;
  }
  if (base == 0 && t && t->count > 0 && (WTmtable_getproperties(t) & WTOPACITY)) {
    bool blended = entryopacity(t, p->matid) < 0.996f;
    if ((style & 8) && (p->rflags & WTR_VMATIDS))
      for (WTvertexlink *l = p->links; l; l = l->next)
        if (entryopacity(t, l->vertex->matid) < 0.996f) blended = true;
    if (blended) c |= kBlended;
  }
  return c;
}

int sizeclass(WTpoly *p) { return p->nverts <= 3 ? 0 : p->nverts == 4 ? 1 : 2; }

struct Sortkey {
  WTpoly *poly;
  int cls;
  uintptr_t key;
  int size;
  int order;
};

bool before(const Sortkey &a, const Sortkey &b) {
  if (a.cls != b.cls) return a.cls < b.cls;
  if (a.cls & kTextured) {
    if (a.key != b.key) return a.key < b.key;
    return a.size < b.size;
  }
  if (a.size != b.size) return a.size < b.size;
  return a.key < b.key;
}

}  // namespace

extern "C" {

void _WTgeometry_releasegroups(WTgeometry *g, WTgeometry *) {
  if (!g) return;
  _WTmem_free(g->groupflags);
  _WTmem_free(g->groupcounts);
  g->groupflags = nullptr;
  g->groupcounts = nullptr;
  g->ngroups = 0;
  g->deletefn = nullptr;
  g->compiled = 0;
}

// Sorts the polygons into groups; false when none has three vertices.
int _WTgeometry_sortpolys(WTgeometry *g, WTmtable *t, int style, float opacity) {
  if (t && t->count <= 0) t = nullptr;
  int base = opacity < 0.996f && (!t || !(WTmtable_getproperties(t) & WTOPACITY)) ? kBlended : 0;
  std::vector<Sortkey> keys;
  std::vector<WTtexture *> textures;
  std::vector<WTpoly *> skipped;
  int order = 0;
  for (WTpoly *p = g->polys; p; p = p->next) {
    int n = 0;
    for (WTvertexlink *l = p->links; l; l = l->next) n++;
    p->nverts = static_cast<int16_t>(n);
    if (n < 3) {
      skipped.push_back(p);
      continue;
    }
    Sortkey k = {p, polyclass(p, t, base, style), 0, sizeclass(p), order++};
    if (k.cls & kTextured) {
      WTtexture *tex = static_cast<WTtexture *>(p->texture->texture);
      auto it = std::find(textures.begin(), textures.end(), tex);
      k.key = static_cast<uintptr_t>(it - textures.begin());
      if (it == textures.end()) textures.push_back(tex);
    } else if (t) {
      int32_t id = (style & 8) && (p->rflags & WTR_VMATIDS) ? p->links->vertex->matid : p->matid;
      k.key = static_cast<uintptr_t>(_WTmtable_drawnentry(t, id));
    }
    keys.push_back(k);
  }
  if (keys.empty()) return 0;
  std::stable_sort(keys.begin(), keys.end(), before);
  _WTgeometry_releasegroups(g, g);
  std::vector<uint32_t> flags;
  std::vector<int32_t> counts;
  for (size_t i = 0; i < keys.size(); i++) {
    if (i == 0 || keys[i].cls != keys[i - 1].cls) {
      flags.push_back(static_cast<uint32_t>(keys[i].cls | ((style & 8) ? kSmooth : 0)));
      counts.push_back(0);
    }
    counts.back()++;
    keys[i].poly->next = i + 1 < keys.size() ? keys[i + 1].poly : nullptr;
  }
  // Polygons left out stay owned by the geometry after the drawn ones.
  WTpoly *tail = keys.back().poly;
  for (WTpoly *p : skipped) tail->next = p, tail = p, p->next = nullptr;
  g->polys = keys.front().poly;
  g->npolys = static_cast<int32_t>(keys.size());
  g->ngroups = static_cast<int32_t>(flags.size());
  g->groupflags = static_cast<uint32_t *>(_WTmem_alloc(sizeof(uint32_t) * flags.size()));
  g->groupcounts = static_cast<int32_t *>(_WTmem_alloc(sizeof(int32_t) * counts.size()));
  std::copy(flags.begin(), flags.end(), g->groupflags);
  std::copy(counts.begin(), counts.end(), g->groupcounts);
  return 1;
}

int _WTgeometry_compile(WTgeometry *g, int style, float opacity) {
  if (!g) return 0;
  if (style & 128) return 1;
  if (g->draw) {
    int a = g->dlista ? 1 : 0, b = g->dlistb ? 2 : 0;
    if (g->mtable) return a | b;
    return (opacity >= 1.0f ? a : (a ? 4 : 0)) | b;
  }
  if (!(g->compiled & (1u << 30))) {
    style = (style & ~g->stylemask) | (g->stylevalue & g->stylemask);
    if (style & 128) return 1;
    if (!_WTgeometry_sortpolys(g, g->mtable, style, opacity)) return 0;
    g->deletefn = _WTgeometry_releasegroups;
    g->compiled = 1u << 30;
  }
  if (g->ngroups <= 0) return 0;
  if (g->groupflags[0] & kBlended) return 2;
  return (g->groupflags[g->ngroups - 1] & kBlended) ? 3 : 1;
}

int _WTgeometry_compilenode(WTnode *, WTgeometry *geometry, WTnodestate *state) {
  float opacity = state ? state->materials[state->materialdepth].f[3] : 1.0f;
  return _WTgeometry_compile(geometry, _WTuniverse_getrendering(), opacity);
}
}
