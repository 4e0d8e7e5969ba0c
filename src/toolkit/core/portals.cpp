// Portals: polygons that lead to another universe file when the current viewpoint passes
// through them.  The frame loop tests them once per frame.
#include <math.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/render.h"

struct WTportal {
  WTpoly *poly;
  int32_t spare;
  char *name;
  void *data;
  unsigned char enabled;
  WTportal *next;
};

namespace {

// Each polygon's own list of portal cells, kept beside the polygon record.
WThashtable *polyportals;

WTportal **listhead() { return reinterpret_cast<WTportal **>(_WTuniverse_portalslot()); }

bool listed(WTportal *portal) {
  WTportal **head = listhead();
  for (WTportal *p = head ? *head : nullptr; p; p = p->next)
    if (p == portal) return true;
  return false;
}

void pushfront(WTportal *portal) {
  WTportal **head = listhead();
  if (!head || listed(portal)) return;
  portal->next = *head;
  *head = portal;
}

WTcell **polyslot(WTpoly *poly) {
  if (!polyportals)
    polyportals = _WThashtable_new(_WThashtable_picksize(64), _WThashtable_inthash,
                                   _WThashtable_intcompare);
  return reinterpret_cast<WTcell **>(_WThashtable_valueslot(polyportals, poly));
}

// Takes the portal's cells off its polygon's list, so that no cell names a freed portal.
void dropfrompoly(WTportal *portal) {
  if (!polyportals || !portal->poly) return;
  WTcell **slot = polyslot(portal->poly);
  if (!slot) return;
  for (WTcell **c = slot; *c;) {
    if ((*c)->value == portal) {
      WTcell *gone = *c;
      *c = gone->next;
      _WTmem_free(gone);
    } else {
      c = &(*c)->next;
    }
  }
  if (!*slot) _WThashtable_remove(polyportals, portal->poly, 0, 0);
}

// ---- Crossing test ---------------------------------------------------------------------------

float dot(const float *a, const float *b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// True when the two orientations differ by less than 0.004 in every component of the turn
// between them.
bool sameorientation(const float *a, const float *b) {
  WTq inv = {-a[0], -a[1], -a[2], a[3]}, turn;
  _WTq_multiply(inv, b, turn);
  if (turn[3] < 0)
    for (float &c : turn) c = -c;
  return fabsf(turn[0]) < 0.004f && fabsf(turn[1]) < 0.004f && fabsf(turn[2]) < 0.004f &&
         fabsf(1.0f - turn[3]) < 0.004f;
}

// Even-odd test of a point in the polygon's outline, projected along its normal's largest axis.
bool inside(WTpoly *poly, const WTp3 point, const WTp3 normal) {
  int drop = 0;
  for (int i = 1; i < 3; i++)
    if (fabsf(normal[i]) > fabsf(normal[drop])) drop = i;
  int u = drop == 0 ? 1 : 0, v = drop == 2 ? 1 : 2;
  int n = WTpoly_numvertices(poly);
  bool in = false;
  WTp3 a, b;
  WTvertex_getposition(WTpoly_getvertex(poly, n - 1), a);
  for (int i = 0; i < n; i++) {
    WTvertex_getposition(WTpoly_getvertex(poly, i), b);
    if ((a[v] > point[v]) != (b[v] > point[v])) {
      float x = a[u] + (point[v] - a[v]) * (b[u] - a[u]) / (b[v] - a[v]);
      if (point[u] < x) in = !in;
    }
    memcpy(a, b, sizeof a);
  }
  return in;
}

// Whether the segment from p0 to p1 passes through the polygon: the two ends lie on different
// sides of its plane (or the second on it) and the plane point lies within the outline.
bool segmentcrosses(WTpoly *poly, const float *p0, const float *p1) {
  if (WTpoly_numvertices(poly) < 3) return false;
  WTp3 normal, corner;
  WTpoly_getnormal(poly, normal);
  WTvertex_getposition(WTpoly_getvertex(poly, 0), corner);
  float d = dot(normal, corner);
  float s0 = dot(normal, p0) - d, s1 = dot(normal, p1) - d;
  _WTmsg_debug("portal test: sides %f %f\n", static_cast<double>(s0), static_cast<double>(s1));
  if (s0 == s1 || (s0 > 0 && s1 > 0) || (s0 < 0 && s1 < 0) || s0 == 0) return false;
  float t = s0 / (s0 - s1);
  WTp3 hit;
  for (int i = 0; i < 3; i++) hit[i] = p0[i] + t * (p1[i] - p0[i]);
  _WTmsg_debug("portal test: plane point %f %f %f\n", static_cast<double>(hit[0]),
               static_cast<double>(hit[1]), static_cast<double>(hit[2]));
  return inside(poly, hit, normal);
}

}  // namespace

extern "C" {

WTportal *_WTportal_new(WTpoly *poly, const char *name) {
  if (!poly || !name) return nullptr;
  WTportal *p = static_cast<WTportal *>(_WTmem_alloc(sizeof(WTportal)));
  memset(p, 0, sizeof *p);
  p->poly = poly;
  p->name = _WTmem_strdup(name);
  p->enabled = 1;
  pushfront(p);
  return p;
}

const char *_WTportal_getname(WTportal *portal) { return portal ? portal->name : nullptr; }
WTpoly *_WTportal_getpoly(WTportal *portal) { return portal ? portal->poly : nullptr; }

int _WTportal_enable(WTportal *portal) {
  if (!portal) return 0;
  portal->enabled = 1;
  return 1;
}

int _WTportal_disable(WTportal *portal) {
  if (!portal) return 0;
  portal->enabled = 0;
  return 1;
}

int _WTportal_isenabled(WTportal *portal) { return portal ? portal->enabled : 0; }

void _WTportal_setdata(WTportal *portal, void *data) {
  if (portal) portal->data = data;
}

void *_WTportal_getdata(WTportal *portal) { return portal ? portal->data : nullptr; }

int _WTpoly_addportal(WTpoly *poly, WTportal *portal) {
  if (!poly || !portal) return 0;
  WTcell **slot = polyslot(poly);
  if (slot) {
    *slot = _WTlist_cell(portal, *slot);
  } else {
    _WThashtable_insert(polyportals, poly, _WTlist_cell(portal, nullptr));
  }
  return 1;
}

WTcell *_WTpoly_getportals(WTpoly *poly) {
  if (!poly || !polyportals) return nullptr;
  return static_cast<WTcell *>(WThashtable_find(polyportals, poly));
}

int _WTportal_register(WTportal *portal) {
  if (!portal || !listhead()) return 0;
  pushfront(portal);
  return 1;
}

void _WTportal_remove(WTportal *portal) {
  WTportal **slot = listhead();
  while (slot && *slot && *slot != portal) slot = &(*slot)->next;
  if (!portal || !slot || !*slot) return;
  *slot = portal->next;
  dropfrompoly(portal);
  _WTmem_free(portal->name);
  _WTmem_free(portal);
}

void _WTportal_removeall(void) {
  WTportal **head = listhead();
  while (head && *head) _WTportal_remove(*head);
}

WTportal *_WTuniverse_getportals(void) {
  WTportal **head = listhead();
  return head ? *head : nullptr;
}

WTportal *_WTportal_next(WTportal *portal) { return portal ? portal->next : nullptr; }

int _WTportal_crossed(WTcell *cell) {
  WTportal *portal = cell ? static_cast<WTportal *>(cell->value) : nullptr;
  if (!portal || !portal->enabled || !portal->poly || !WTpoly_getgeometry(portal->poly)) return 0;
  WTviewpoint *v = _WTuniverse_getviewpoint();
  if (!v || !sameorientation(v->prevorientation, v->orientation)) return 0;
  if (memcmp(v->prevposition, v->position, sizeof(WTp3)) == 0) return 0;
  return segmentcrosses(portal->poly, v->prevposition, v->position);
}

WTportal *_WTportal_findcrossed(void) {
  for (WTportal *p = _WTuniverse_getportals(); p; p = p->next) {
    WTcell cell = {p, nullptr};
    if (_WTportal_crossed(&cell)) return p;
  }
  return nullptr;
}

WTportal *_WTportal_copy(WTportal *portal, WTvertex *, WTvertex *, WTgeometry *target) {
  if (!portal || !portal->poly || !target) return nullptr;
  // The copied geometry keeps its polygons in the source's order.
  WTpoly *match = WTgeometry_getpolys(target);
  for (WTpoly *p = WTgeometry_getpolys(WTpoly_getgeometry(portal->poly)); p && match;
       p = WTpoly_next(p), match = WTpoly_next(match))
    if (p == portal->poly) break;
  if (!match) return nullptr;
  WTportal *copy = _WTportal_new(match, portal->name);
  _WTpoly_addportal(match, copy);
  return copy;
}

WTcell *_WTportal_copylist(WTcell *list, WTvertex *source, WTvertex *copied, WTgeometry *target) {
  WTcell *out = nullptr;
  for (WTcell *c = list; c; c = c->next)
    if (WTportal *copy = _WTportal_copy(static_cast<WTportal *>(c->value), source, copied, target))
      out = _WTlist_cell(copy, out);
  return out;
}
}
