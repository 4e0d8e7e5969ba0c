// Triangle strips for display lists: runs, the edge table, the strip walk and the order of the
// vertices a strip sends.
#include "toolkit/render/strips.h"

#include <string.h>

#include <set>
#include <unordered_map>

namespace {

// ---- Runs ------------------------------------------------------------------------------------

void *textureof(WTpoly *p) { return p->texture ? p->texture->texture : nullptr; }

// Which of the match tests apply to a class whose first polygon is given.
struct RunTests {
  bool texture, material, normal;
};

RunTests runtests(WTpoly *first, int classnum, int style, WTmtable *t) {
  bool smooth = (style & 8) != 0, textured = (classnum & WTCLASS_TEXTURED) != 0;
  bool modulates = textured && first->texture && first->texture->style[2];
  RunTests r;
  r.texture = textured;
  r.material = smooth && t && !(classnum & WTCLASS_VMATERIALS) && (!textured || modulates);
  r.normal = smooth && (classnum & WTCLASS_LIT) && !(classnum & WTCLASS_VNORMALS);
  return r;
}

bool matches(WTpoly *first, WTpoly *p, const RunTests &r, WTmtable *t) {
  if (r.texture && textureof(p) != textureof(first)) return false;
  if (r.material && _WTmtable_drawnentry(t, p->matid) != _WTmtable_drawnentry(t, first->matid)) return false;
  if (r.normal) {
    const float *a = first->normal, *b = p->normal;
    float d = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] - 1.0f;
    if (!(d > -0.0001f && d < 0.0001f)) return false;
  }
  return true;
}

// ---- The run's vertex and edge tables --------------------------------------------------------

// A vertex as the strips see it: the geometry's vertex, and in textured runs the texture
// coordinates a polygon gives it.
struct VertexKey {
  const WTvertex *vertex;
  float u, v;
  bool operator==(const VertexKey &o) const { return vertex == o.vertex && u == o.u && v == o.v; }
};

struct VertexKeyHash {
  size_t operator()(const VertexKey &k) const {
    float u = k.u + 0.0f, v = k.v + 0.0f;  // -0 and 0 compare equal, so hash alike
    uint32_t bu, bv;
    memcpy(&bu, &u, 4);
    memcpy(&bv, &v, 4);
    return std::hash<const void *>()(k.vertex) ^ (size_t(bu) * 0x9E3779B1u) ^ (size_t(bv) << 7);
  }
};

// One directed edge from vertex a to vertex b of its owner; a second polygon that runs the
// edge the other way joins it as its neighbour.
struct EdgeEntry {
  int owner, neighbour;  // places in the run; neighbour -1 while the edge is free
  int a, b;
};

struct RunPoly {
  WTpoly *poly;
  std::vector<int> verts;  // vertex-table indices in ring order
  std::vector<int> edges;  // edge i runs from vertex i - 1 to vertex i
};

// Entries of one unordered vertex pair sit together, oldest first, so the entry a reversed edge
// joins is the oldest free one.
uint64_t pairkey(int a, int b) {
  uint64_t lo = uint32_t(a < b ? a : b), hi = uint32_t(a < b ? b : a);
  return (hi << 32) | lo;
}

class EdgeTable {
 public:
  int enter(int poly, int a, int b) {
    std::vector<int> &bucket = pairs_[pairkey(a, b)];
    for (int e : bucket) {
      EdgeEntry &x = entries_[size_t(e)];
      if (a != b && x.a == b && x.b == a && x.neighbour < 0 && x.owner != poly) {
        x.neighbour = poly;
        return e;
      }
    }
    entries_.push_back({poly, -1, a, b});
    bucket.push_back(int(entries_.size()) - 1);
    return bucket.back();
  }
  EdgeEntry &operator[](int e) { return entries_[size_t(e)]; }
  bool shared(int e) const { return entries_[size_t(e)].neighbour >= 0; }

 private:
  std::vector<EdgeEntry> entries_;
  std::unordered_map<uint64_t, std::vector<int>> pairs_;
};

class VertexTable {
 public:
  explicit VertexTable(bool textured) : textured_(textured) {}
  int index(WTpoly *p, WTvertex *v, int i) {
    VertexKey k = {v, 0.0f, 0.0f};
    WTtextureref *r = p->texture;
    if (textured_ && r && r->u && r->v && i < r->uvcount) k.u = r->u[i], k.v = r->v[i];
    auto found = map_.emplace(k, int(map_.size()));
    return found.first->second;
  }

 private:
  bool textured_;
  std::unordered_map<VertexKey, int, VertexKeyHash> map_;
};

// ---- The strip walk --------------------------------------------------------------------------

int wrap(int i, int n) { return ((i % n) + n) % n; }

class StripWalk {
 public:
  StripWalk(const std::vector<WTpoly *> &run, bool textured);
  void make(WTstripset *out);

 private:
  struct Start {
    int poly, exit;
  };
  bool shared(int poly, int edge) { return edges_.shared(polys_[size_t(poly)].edges[size_t(edge)]); }
  int startedge(int poly);
  int firstshared(int poly);
  void refresh(int poly);
  void leave(int poly);
  void release(int poly, int keep);
  Start pickstart(WTstripset *out);
  WTstrip walk(Start s);

  std::vector<RunPoly> polys_;
  EdgeTable edges_;
  // Places of the polygons still in the run: all, those that could start a strip, those
  // sharing no edge.
  std::set<int> remaining_, starters_, lone_;
};

StripWalk::StripWalk(const std::vector<WTpoly *> &run, bool textured) {
  VertexTable vertices(textured);
  polys_.resize(run.size());
  for (size_t k = 0; k < run.size(); k++) {
    RunPoly &rp = polys_[k];
    rp.poly = run[k];
    int i = 0;
    for (WTvertexlink *l = run[k]->links; l; l = l->next) rp.verts.push_back(vertices.index(run[k], l->vertex, i++));
    int n = int(rp.verts.size());
    for (int e = 0; e < n; e++)
      rp.edges.push_back(edges_.enter(int(k), rp.verts[size_t(wrap(e - 1, n))], rp.verts[size_t(e)]));
  }
  for (size_t k = 0; k < run.size(); k++) remaining_.insert(int(k)), refresh(int(k));
}

// The lowest shared edge followed along the ring by two free ones; -1 when there is none.
int StripWalk::startedge(int poly) {
  int n = int(polys_[size_t(poly)].edges.size());
  for (int e = 0; e < n; e++)
    if (shared(poly, e) && !shared(poly, wrap(e + 1, n)) && !shared(poly, wrap(e + 2, n))) return e;
  return -1;
}

int StripWalk::firstshared(int poly) {
  int n = int(polys_[size_t(poly)].edges.size());
  for (int e = 0; e < n; e++)
    if (shared(poly, e)) return e;
  return -1;
}

void StripWalk::refresh(int poly) {
  if (!remaining_.count(poly)) return;
  starters_.erase(poly);
  lone_.erase(poly);
  if (firstshared(poly) < 0) lone_.insert(poly);
  else if (startedge(poly) >= 0) starters_.insert(poly);
}

void StripWalk::leave(int poly) {
  remaining_.erase(poly);
  starters_.erase(poly);
  lone_.erase(poly);
}

// Frees every edge of a polygon leaving the run but the one the strip goes on by.
void StripWalk::release(int poly, int keep) {
  const std::vector<int> &edges = polys_[size_t(poly)].edges;
  for (size_t i = 0; i < edges.size(); i++) {
    EdgeEntry &e = edges_[edges[i]];
    if (int(i) == keep || e.neighbour < 0) continue;
    int other = e.owner == poly ? e.neighbour : e.owner;
    e.neighbour = -1;
    refresh(other);
  }
}

// Looks through the run in order: polygons sharing nothing before the first that can start a
// strip are set aside; without such a start, the first polygon left starts by its lowest shared
// edge.  {-1, -1} when the run is empty.
StripWalk::Start StripWalk::pickstart(WTstripset *out) {
  int first = starters_.empty() ? -1 : *starters_.begin();
  while (!lone_.empty() && (first < 0 || *lone_.begin() < first)) {
    int p = *lone_.begin();
    out->lone.push_back(polys_[size_t(p)].poly);
    leave(p);
  }
  if (first >= 0) return {first, startedge(first)};
  if (remaining_.empty()) return {-1, -1};
  int p = *remaining_.begin();
  return {p, firstshared(p)};
}

WTstrip StripWalk::walk(Start s) {
  WTstrip strip;
  int n = int(polys_[size_t(s.poly)].edges.size());
  leave(s.poly);
  release(s.poly, s.exit);
  strip.polys.push_back({polys_[size_t(s.poly)].poly, n, wrap(s.exit - (n / 2 + 1), n)});
  int t = n - 2, cur = s.poly, exitentry = polys_[size_t(s.poly)].edges[size_t(s.exit)];
  while (edges_.shared(exitentry)) {
    EdgeEntry &e = edges_[exitentry];
    int next = e.owner == cur ? e.neighbour : e.owner;
    const std::vector<int> &edges = polys_[size_t(next)].edges;
    int m = int(edges.size()), in = 0;
    while (edges[size_t(in)] != exitentry) in++;
    int shift = wrap(in - 1, m), out = ((t % 2) + m) / 2 + 1;
    if (out >= m) out -= m;
    int exit = wrap(out + shift, m);
    leave(next);
    release(next, exit);
    strip.polys.push_back({polys_[size_t(next)].poly, m, shift});
    t += m - 2;
    cur = next;
    exitentry = edges[size_t(exit)];
  }
  return strip;
}

void StripWalk::make(WTstripset *out) {
  for (Start s = pickstart(out); s.poly >= 0; s = pickstart(out)) out->strips.push_back(walk(s));
}

}  // namespace

extern "C" {

void _WTclass_runs(const std::vector<WTpoly *> *polys, int classnum, int style, WTmtable *table,
                   std::vector<std::vector<WTpoly *>> *runs) {
  if (table && table->count <= 0) table = nullptr;
  std::vector<WTpoly *> rest = *polys, others;
  while (!rest.empty()) {
    WTpoly *first = rest[0];
    RunTests tests = runtests(first, classnum, style, table);
    runs->push_back({first});
    others.clear();
    for (size_t i = 1; i < rest.size(); i++)
      (matches(first, rest[i], tests, table) ? runs->back() : others).push_back(rest[i]);
    rest.swap(others);
  }
}

void _WTrun_makestrips(const std::vector<WTpoly *> *run, int textured, WTstripset *out) {
  StripWalk walk(*run, textured != 0);
  walk.make(out);
}

// The first polygon sends ring vertices 0 and 1; then each polygon sends its other vertices
// from two cursors, the backward one (from the ring's end) when the count of vertices sent
// after the first two is even, the forward one (from ring vertex 2) when it is odd.
void _WTstrip_vertices(const WTstrip *strip, std::vector<WTstripvertex> *out) {
  int c = 1;
  for (size_t k = 0; k < strip->polys.size(); k++) {
    const WTstrippoly &sp = strip->polys[k];
    int m = sp.nverts, fwd = 2, back = m - 1;
    if (k == 0)
      for (int i = 0; i < 2; i++) out->push_back({0, wrap(i + sp.shift, m)});
    for (int i = 0; i < m - 2; i++, c++) {
      int at = (c % 2) ? back-- : fwd++;
      out->push_back({int32_t(k), wrap(at + sp.shift, m)});
    }
  }
}

void _WTaside_push(WTasidestacks *stacks, WTpoly *poly) {
  int n = 0;
  for (WTvertexlink *l = poly->links; l; l = l->next) n++;
  stacks->bysize[n <= 3 ? 0 : n == 4 ? 1 : 2].push_back(poly);
}

void _WTaside_drain(WTasidestacks *stacks, std::vector<WTpoly *> *order) {
  for (std::vector<WTpoly *> &s : stacks->bysize) {
    order->insert(order->end(), s.rbegin(), s.rend());
    s.clear();
  }
}

}  // extern "C"
