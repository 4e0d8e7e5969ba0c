// Terrain grids: a height field of cells, each covered by at most two triangles, looked up by
// horizontal (x, z) position for the ground height, normal and distance to the nearest border.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/geometry/geometry.h"

struct WTterraincell {
  WTpoly *a, *b;
  float line;   // diagonal line constant
  uint8_t kind; // 0 rising in z with x, 1 falling
  uint8_t count;
};

struct WTterrain {
  int32_t n1, n2;
  WTobject *owner;
  WTterraincell **grid;
  float dx, dz;
  WTp3 min, max, size;
  float diag[2][2]; // (x, z) normals of the two diagonal kinds
};

namespace {

void freegrid(WTterrain *t) {
  if (!t->grid) return;
  for (int i = 0; i < t->n1; i++) _WTmem_free(t->grid[i]);
  _WTmem_free(t->grid);
  t->grid = nullptr;
}

bool firstcell(WTterrain *t, WTpoly *first) {
  float lo[2] = {1e38f, 1e38f}, hi[2] = {-1e38f, -1e38f};
  for (WTvertexlink *l = first->links; l; l = l->next)
    for (int k = 0; k < 2; k++) {
      float c = l->vertex->position[k * 2];
      lo[k] = fminf(lo[k], c);
      hi[k] = fmaxf(hi[k], c);
    }
  t->dx = hi[0] - lo[0];
  t->dz = hi[1] - lo[1];
  float l = sqrtf(t->dx * t->dx + t->dz * t->dz);
  float s = l > 0 ? 1.0f / l : 1.0f;
  t->diag[0][0] = -t->dz * s, t->diag[0][1] = t->dx * s;
  t->diag[1][0] = t->dz * s, t->diag[1][1] = t->dx * s;
  if (t->dx == 0 || t->dz == 0) {
    _WTmsg_warning("First polygon is degenerate.\n");
    return false;
  }
  return true;
}

bool sizegrid(WTterrain *t, int polys) {
  t->n1 = static_cast<int>(t->size[0] / t->dx + 0.5f);
  t->n2 = static_cast<int>(t->size[2] / t->dz + 0.5f);
  long cells = long(t->n1) * t->n2;
  if (polys > 2 * cells || polys < cells) {
    _WTmsg_warning("Can't interpret model as terrain:\n");
    _WTmsg_warning(polys > 2 * cells ? "Too many polygons for a %d by %d grid\n"
                                     : "Too few polygons for a %d by %d grid\n",
                   t->n1, t->n2);
    return false;
  }
  t->grid = static_cast<WTterraincell **>(_WTmem_alloc(sizeof(WTterraincell *) * size_t(t->n1)));
  for (int i = 0; i < t->n1; i++) {
    t->grid[i] = static_cast<WTterraincell *>(_WTmem_alloc(sizeof(WTterraincell) * size_t(t->n2)));
    memset(t->grid[i], 0, sizeof(WTterraincell) * size_t(t->n2));
  }
  return true;
}

// The second triangle of a cell decides the diagonal and which triangle lies below it.
void placesecond(WTterrain *t, WTterraincell &c, WTpoly *p) {
  WTvertex *v[3];
  WTvertexlink *l = p->links;
  for (int k = 0; k < 3; k++, l = l ? l->next : nullptr) v[k] = l ? l->vertex : nullptr;
  if (!v[0] || !v[1] || !v[2]) return;
  for (int k = 0; k < 3; k++) {
    const float *p1 = v[k]->position, *p2 = v[(k + 1) % 3]->position, *third = v[(k + 2) % 3]->position;
    if (fabsf(p2[0] - p1[0]) < 0.004f || fabsf(p2[2] - p1[2]) < 0.004f) continue;
    if (p2[0] < p1[0]) {
      const float *s = p1;
      p1 = p2;
      p2 = s;
    }
    bool off = fabsf(third[0] - p1[0]) >= 0.004f;
    c.kind = p1[2] <= p2[2] ? 0 : 1;
    bool below = c.kind == 0 ? off : !off;
    if (below) {
      c.b = c.a;
      c.a = p;
    } else {
      c.b = p;
    }
    c.line = p1[0] * t->diag[c.kind][0] + p1[2] * t->diag[c.kind][1];
    return;
  }
  // A degenerate second triangle (no diagonal edge) is left out of the cell.
  c.count--;
}

bool fillgrid(WTterrain *t, WTpoly *polys) {
  for (WTpoly *p = polys; p; p = p->next) {
    int i = static_cast<int>((p->centre[0] - t->min[0]) / t->dx);
    int j = static_cast<int>((p->centre[2] - t->min[2]) / t->dz);
    if (i < 0 || i >= t->n1 || j < 0 || j >= t->n2) {
      _WTmsg_warning("Polygons are not interpretable as a terrain.\n");
      return false;
    }
    WTterraincell &c = t->grid[i][j];
    if (++c.count > 2) {
      _WTmsg_warning("More than 2 polygons in cell %dx%d\n", i, j);
      return false;
    }
    if (c.count == 1) c.a = p;
    else placesecond(t, c, p);
  }
  return true;
}

float wrap(float value, float size) {
  float w = fmodf(value, size);
  return w < 0 ? w + size : w;
}

int clampcell(int index, int count) { return index < 0 ? 0 : index >= count ? count - 1 : index; }

}  // namespace

extern "C" {

WTterrain *_WTterrain_build(WTpoly *polys, const WTp3 min, const WTp3 max) {
  if (!polys || !min || !max) return nullptr;
  WTterrain *t = static_cast<WTterrain *>(_WTmem_alloc(sizeof(WTterrain)));
  memset(t, 0, sizeof(WTterrain));
  memcpy(t->min, min, sizeof(WTp3));
  memcpy(t->max, max, sizeof(WTp3));
  for (int k = 0; k < 3; k++) t->size[k] = max[k] - min[k];
  int count = 0;
  for (WTpoly *p = polys; p; p = p->next) count++;
  if (!firstcell(t, polys) || !sizegrid(t, count) || !fillgrid(t, polys)) {
    _WTterrain_delete(t);
    return nullptr;
  }
  return t;
}

int _WTterrain_size(WTterrain *terrain, int *n1, int *n2) {
  if (!terrain) return 0;
  *n1 = terrain->n1;
  *n2 = terrain->n2;
  return 1;
}

int _WTterrain_height(WTterrain *t, WTp3 point, WTp3 normal, float *border) {
  if (!t || !point) return 0;
  WTp3 q = {point[0], point[1], point[2]};
  WTpq built, current;
  if (t->owner && _WTobject_getposes(t->owner, &built, &current))
    for (int k = 0; k < 3; k++) q[k] += built.p[k] - current.p[k];
  float u = wrap(q[0] - t->min[0], t->size[0]), w = wrap(q[2] - t->min[2], t->size[2]);
  // Rounding can bring a wrapped position onto the far edge: the cell stays inside the grid.
  int i = clampcell(static_cast<int>(u / t->dx), t->n1);
  int j = clampcell(static_cast<int>(w / t->dz), t->n2);
  if (border) {
    float fu = u - i * t->dx, fw = w - j * t->dz;
    *border = fminf(fminf(fu, t->dx - fu), fminf(fw, t->dz - fw));
  }
  float x = u + t->min[0], z = w + t->min[2];
  const WTterraincell &c = t->grid[i][j];
  WTpoly *p = c.a;
  if (c.count >= 2 && c.b) {
    float s = x * t->diag[c.kind][0] + z * t->diag[c.kind][1] - c.line;
    if (s >= 0) p = c.b;
    else s = -s;
    if (border) *border = fminf(*border, s);
  }
  // An empty cell or an upright polygon has no height: the lookup gives 0.
  if (!p || p->normal[1] == 0.0f) return 0;
  point[1] = -(x * p->normal[0] + z * p->normal[2] - p->d) / p->normal[1];
  if (normal) memcpy(normal, p->normal, sizeof(WTp3));
  return 1;
}

int _WTterrain_averagenormal(WTterrain *t, WTp3 *points, int count, WTp3 normal) {
  if (!t || !points || count < 1 || !normal) return 0;
  double sum[3] = {0, 0, 0};
  for (int k = 0; k < count; k++) {
    WTp3 n;
    float border;
    if (!_WTterrain_height(t, points[k], n, &border)) return 0;
    for (int a = 0; a < 3; a++) sum[a] += double(n[a]) * border;
  }
  double l = sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
  for (int a = 0; a < 3; a++) normal[a] = static_cast<float>(l > 0 ? sum[a] / l : sum[a]);
  return 1;
}

void _WTterrain_delete(WTterrain *terrain) {
  if (!terrain) return;
  freegrid(terrain);
  _WTmem_free(terrain);
}
}
