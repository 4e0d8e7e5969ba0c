// The triangulation as it was before its speed-up, kept so that the benchmark can measure the
// current code against it in one run. Compiled only into the benchmark.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace triangulate_baseline {

// The polygon's segments are inserted in random order into a trapezoidal map: the plane cut by
// the segments and by a horizontal line through every vertex. A query structure of point
// (Y) and segment (X) nodes locates points in it. Every trapezoid inside the polygon whose top
// and bottom vertices do not lie on one of its two side segments gets the diagonal between
// them; the diagonals cut the polygon into pieces that are monotone in y, and each piece is
// triangulated by the usual stack walk.
//
// Points are ordered by y and, within the tolerance, by x, as if the plane were sheared a
// little: no two distinct vertices lie at one level. Index 0 means "none" in every table
// (vertices, segments, trapezoids and nodes all count from 1); a trapezoid's top or bottom
// vertex 0 means it is unbounded that way.

namespace {

constexpr double kTolerance = 1.0e-7;
// Seed of the segment insertion order (any value gives valid triangles; a fixed one repeats them).
constexpr std::uint32_t kSegmentOrderSeed = 0x5eed1234u;

struct Point {
  double x;
  double y;
};

struct Segment {
  int v0 = 0;  // first vertex (where the segment starts along its contour)
  int v1 = 0;  // second vertex
  bool inserted = false;
  int root0 = 0;  // query node from which v0 is located
  int root1 = 0;  // query node from which v1 is located
};

struct Trapezoid {
  int lseg = 0;
  int rseg = 0;
  int hi = 0;  // vertex on the top edge
  int lo = 0;  // vertex on the bottom edge
  int u[2] = {0, 0};  // neighbours above; with two, u[0] is the left one
  int d[2] = {0, 0};  // neighbours below; with two, d[0] is the left one
  int sink = 0;
};

enum NodeType { kSink, kYNode, kXNode };

struct Node {
  NodeType type = kSink;
  int key = 0;  // trapezoid (sink), vertex (Y) or segment (X)
  int c0 = 0;   // above (Y) or left (X)
  int c1 = 0;   // below (Y) or right (X)
};

// Raised when the run cannot go on: a table is full or the input is not a simple polygon.
struct Stop {};

// A small generator of our own, so that the C library's rand() sequence stays untouched.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  std::uint32_t state_;
};

class Triangulator {
 public:
  Triangulator(int contourCount, const int* sizes, const double (*vertices)[2], int total);
  int Run(int (*triangles)[3], int maxTriangles);

 private:
  // Point order.
  int Compare(int a, int b) const;
  bool IsLeftOf(int v, int s) const;
  bool IsEndpoint(int v, int s) const { return segs_[s].v0 == v || segs_[s].v1 == v; }
  int Upper(int s) const { return Compare(segs_[s].v0, segs_[s].v1) > 0 ? segs_[s].v0 : segs_[s].v1; }
  int Lower(int s) const { return Upper(s) == segs_[s].v0 ? segs_[s].v1 : segs_[s].v0; }

  // Tables.
  int NewTrapezoid();
  int NewNode(NodeType type, int key);

  // Trapezoidation.
  int Locate(int v, int w, int start) const;
  int SplitAt(int t, int v);
  void AddSegment(int s);
  void Relocate();

  // Monotone pieces and their triangles.
  void CollectDiagonals(std::vector<std::pair<int, int>>& diagonals) const;
  void TriangulatePieces(const std::vector<std::pair<int, int>>& diagonals);
  void TriangulateMonotone(const std::vector<int>& piece);
  void Emit(int a, int b, int c);

  int n_;
  std::vector<Point> pts_;
  std::vector<Segment> segs_;
  std::vector<bool> pointInserted_;
  std::vector<Trapezoid> traps_;
  std::vector<Node> nodes_;
  int trapCapacity_;

  int (*out_)[3] = nullptr;
  int outCapacity_ = 0;
  int outCount_ = 0;
};

Triangulator::Triangulator(int contourCount, const int* sizes, const double (*vertices)[2], int total)
    : n_(total), pts_(total + 1), segs_(total + 1), pointInserted_(total + 1, false),
      // One trapezoid to start with, one more for every vertex and for every segment.
      trapCapacity_(2 * total + 1) {
  for (int i = 1; i <= total; ++i)
    pts_[i] = Point{vertices[i][0], vertices[i][1]};
  int first = 1;
  for (int c = 0; c < contourCount; ++c) {
    const int last = first + sizes[c] - 1;
    for (int i = first; i <= last; ++i) {
      segs_[i].v0 = i;
      segs_[i].v1 = i == last ? first : i + 1;
    }
    first = last + 1;
  }
  traps_.reserve(trapCapacity_ + 1);
  traps_.emplace_back();  // entry 0 stays unused
  nodes_.reserve(8 * static_cast<size_t>(total) + 2);
  nodes_.emplace_back();
}

int Triangulator::Compare(int a, int b) const {
  if (a == b)
    return 0;
  const Point& p = pts_[a];
  const Point& q = pts_[b];
  if (p.y > q.y + kTolerance)
    return 1;
  if (p.y < q.y - kTolerance)
    return -1;
  if (std::fabs(p.x - q.x) <= kTolerance)
    return 0;
  return p.x > q.x ? 1 : -1;
}

// Whether vertex v lies to the left of segment s (seen from its lower to its upper end).
bool Triangulator::IsLeftOf(int v, int s) const {
  const Point& p = pts_[v];
  const Point& hi = pts_[Upper(s)];
  const Point& lo = pts_[Lower(s)];
  if (std::fabs(p.y - hi.y) <= kTolerance)
    return p.x < hi.x;
  if (std::fabs(p.y - lo.y) <= kTolerance)
    return p.x < lo.x;
  const double cross = (hi.x - lo.x) * (p.y - lo.y) - (hi.y - lo.y) * (p.x - lo.x);
  return cross > 0.0;
}

int Triangulator::NewTrapezoid() {
  if (static_cast<int>(traps_.size()) > trapCapacity_) {
    std::fputs("newtrap: Trapezoid-table overflow\n", stderr);
    throw Stop{};
  }
  traps_.emplace_back();
  return static_cast<int>(traps_.size()) - 1;
}

int Triangulator::NewNode(NodeType type, int key) {
  Node node;
  node.type = type;
  node.key = key;
  nodes_.push_back(node);
  return static_cast<int>(nodes_.size()) - 1;
}

// The trapezoid that holds vertex v, or, when v is already in the map, the one that holds the
// points just past v on its way to w.
int Triangulator::Locate(int v, int w, int start) const {
  int at = start;
  for (size_t steps = 0; steps <= nodes_.size(); ++steps) {
    const Node& node = nodes_[at];
    switch (node.type) {
      case kSink:
        return node.key;
      case kYNode: {
        int c = Compare(v, node.key);
        if (c == 0)
          c = Compare(w, node.key);
        at = c > 0 ? node.c0 : node.c1;
        break;
      }
      case kXNode: {
        const int t = node.key;
        bool left;
        const int other = segs_[t].v0 == v || Compare(segs_[t].v0, v) == 0 ? segs_[t].v1
                          : segs_[t].v1 == v || Compare(segs_[t].v1, v) == 0 ? segs_[t].v0
                                                                                : 0;
        if (other == 0)
          left = IsLeftOf(v, t);
        else if (std::fabs(pts_[w].y - pts_[other].y) <= kTolerance)
          left = pts_[w].x < pts_[other].x;
        else
          left = IsLeftOf(w, t);
        at = left ? node.c0 : node.c1;
        break;
      }
    }
    if (at == 0)
      throw Stop{};
  }
  throw Stop{};
}

// Cuts trapezoid t along the level of vertex v. t keeps the part above; the part below is
// returned.
int Triangulator::SplitAt(int t, int v) {
  const int below = NewTrapezoid();
  Trapezoid& up = traps_[t];
  Trapezoid& dn = traps_[below];
  dn.lseg = up.lseg;
  dn.rseg = up.rseg;
  dn.hi = v;
  dn.lo = up.lo;
  dn.d[0] = up.d[0];
  dn.d[1] = up.d[1];
  dn.u[0] = t;
  up.lo = v;
  up.d[0] = below;
  up.d[1] = 0;
  for (int i = 0; i < 2; ++i) {
    const int n = traps_[below].d[i];
    if (n == 0)
      continue;
    for (int& k : traps_[n].u)
      if (k == t)
        k = below;
  }
  const int node = traps_[t].sink;
  const int sinkUp = NewNode(kSink, t);
  const int sinkDown = NewNode(kSink, below);
  nodes_[node].type = kYNode;
  nodes_[node].key = v;
  nodes_[node].c0 = sinkUp;
  nodes_[node].c1 = sinkDown;
  traps_[t].sink = sinkUp;
  traps_[below].sink = sinkDown;
  return below;
}

namespace {
void ReplaceIn(int (&list)[2], int from, int to) {
  for (int& k : list)
    if (k == from)
      k = to;
}
void PushInto(int (&list)[2], int value) {
  if (value == 0)
    return;
  if (list[0] == 0)
    list[0] = value;
  else if (list[1] == 0)
    list[1] = value;
  else
    throw Stop{};
}
int OtherOf(const int (&list)[2], int known) {
  if (list[0] != 0 && list[0] != known)
    return list[0];
  if (list[1] != 0 && list[1] != known)
    return list[1];
  return 0;
}
int CountOf(const int (&list)[2]) {
  return (list[0] != 0) + (list[1] != 0);
}
}  // namespace

void Triangulator::AddSegment(int s) {
  Segment& seg = segs_[s];
  const int a = Upper(s);
  const int b = Lower(s);
  const int rootA = a == seg.v0 ? seg.root0 : seg.root1;
  const int rootB = a == seg.v0 ? seg.root1 : seg.root0;
  if (!pointInserted_[a]) {
    SplitAt(Locate(a, b, rootA), a);
    pointInserted_[a] = true;
  }
  if (!pointInserted_[b]) {
    SplitAt(Locate(b, a, rootB), b);
    pointInserted_[b] = true;
  }

  // The trapezoids that the segment crosses, from the top down.
  std::vector<int> crossed;
  int t = Locate(a, b, rootA);
  for (;;) {
    crossed.push_back(t);
    if (crossed.size() > traps_.size())
      throw Stop{};
    const Trapezoid& tr = traps_[t];
    if (tr.lo == b)
      break;
    if (tr.lo == 0)
      throw Stop{};
    int next = tr.d[0];
    if (tr.d[1] != 0 && IsLeftOf(tr.lo, s))
      next = tr.d[1];
    if (next == 0)
      throw Stop{};
    t = next;
  }

  const size_t count = crossed.size();
  std::vector<Trapezoid> orig(count);
  for (size_t j = 0; j < count; ++j)
    orig[j] = traps_[crossed[j]];

  // The pieces left and right of the segment. At every level between two crossed trapezoids
  // the side on which the level's vertex lies starts a new piece; the other side goes on.
  std::vector<int> left(count), right(count);
  std::vector<bool> vertexLeft(count, false);
  left[0] = crossed[0];
  right[0] = NewTrapezoid();
  for (size_t j = 1; j < count; ++j) {
    vertexLeft[j] = IsLeftOf(orig[j - 1].lo, s);
    left[j] = vertexLeft[j] ? crossed[j] : left[j - 1];
    right[j] = vertexLeft[j] ? right[j - 1] : crossed[j];
  }
  for (size_t j = 0; j < count; ++j) {
    if (j == 0 || left[j] != left[j - 1]) {
      Trapezoid& p = traps_[left[j]];
      p = Trapezoid{};
      p.lseg = orig[j].lseg;
      p.rseg = s;
      p.hi = orig[j].hi;
      p.sink = NewNode(kSink, left[j]);
    }
    if (j == 0 || right[j] != right[j - 1]) {
      Trapezoid& p = traps_[right[j]];
      p = Trapezoid{};
      p.lseg = s;
      p.rseg = orig[j].rseg;
      p.hi = orig[j].hi;
      p.sink = NewNode(kSink, right[j]);
    }
    traps_[left[j]].lo = orig[j].lo;
    traps_[right[j]].lo = orig[j].lo;
    Node& node = nodes_[orig[j].sink];
    node.type = kXNode;
    node.key = s;
    node.c0 = traps_[left[j]].sink;
    node.c1 = traps_[right[j]].sink;
  }

  // Top edge, at the upper end point a.
  {
    const Trapezoid& o = orig[0];
    const int l = left[0], r = right[0];
    const bool onLeft = o.lseg != 0 && IsEndpoint(a, o.lseg);
    const bool onRight = o.rseg != 0 && IsEndpoint(a, o.rseg);
    if (onLeft && onRight)
      throw Stop{};
    if (onLeft || onRight) {
      const int piece = onLeft ? r : l;
      for (int u : o.u) {
        if (u == 0)
          continue;
        PushInto(traps_[piece].u, u);
        ReplaceIn(traps_[u].d, crossed[0], piece);
      }
    } else if (CountOf(o.u) == 2) {
      PushInto(traps_[l].u, o.u[0]);
      PushInto(traps_[r].u, o.u[1]);
      ReplaceIn(traps_[o.u[0]].d, crossed[0], l);
      ReplaceIn(traps_[o.u[1]].d, crossed[0], r);
    } else if (CountOf(o.u) == 1) {
      const int u = o.u[0] ? o.u[0] : o.u[1];
      if (CountOf(traps_[u].d) != 1)
        throw Stop{};
      PushInto(traps_[l].u, u);
      PushInto(traps_[r].u, u);
      traps_[u].d[0] = l;
      traps_[u].d[1] = r;
    }
  }

  // Levels between crossed trapezoids.
  for (size_t j = 1; j < count; ++j) {
    const int above = OtherOf(orig[j].u, crossed[j - 1]);
    const int below = OtherOf(orig[j - 1].d, crossed[j]);
    if (vertexLeft[j]) {
      const int prev = left[j - 1], cur = left[j];
      PushInto(traps_[cur].u, above);
      PushInto(traps_[cur].u, prev);
      PushInto(traps_[prev].d, below);
      PushInto(traps_[prev].d, cur);
      if (above)
        ReplaceIn(traps_[above].d, crossed[j], cur);
      if (below)
        ReplaceIn(traps_[below].u, crossed[j - 1], prev);
    } else {
      const int prev = right[j - 1], cur = right[j];
      PushInto(traps_[cur].u, prev);
      PushInto(traps_[cur].u, above);
      PushInto(traps_[prev].d, cur);
      PushInto(traps_[prev].d, below);
      if (above)
        ReplaceIn(traps_[above].d, crossed[j], cur);
      if (below)
        ReplaceIn(traps_[below].u, crossed[j - 1], prev);
    }
  }

  // Bottom edge, at the lower end point b.
  {
    const size_t k = count - 1;
    const Trapezoid& o = orig[k];
    const int l = left[k], r = right[k];
    const bool onLeft = o.lseg != 0 && IsEndpoint(b, o.lseg);
    const bool onRight = o.rseg != 0 && IsEndpoint(b, o.rseg);
    if (onLeft && onRight)
      throw Stop{};
    if (onLeft || onRight) {
      const int piece = onLeft ? r : l;
      for (int d : o.d) {
        if (d == 0)
          continue;
        PushInto(traps_[piece].d, d);
        ReplaceIn(traps_[d].u, crossed[k], piece);
      }
    } else if (CountOf(o.d) == 2) {
      PushInto(traps_[l].d, o.d[0]);
      PushInto(traps_[r].d, o.d[1]);
      ReplaceIn(traps_[o.d[0]].u, crossed[k], l);
      ReplaceIn(traps_[o.d[1]].u, crossed[k], r);
    } else if (CountOf(o.d) == 1) {
      const int d = o.d[0] ? o.d[0] : o.d[1];
      if (CountOf(traps_[d].u) != 1)
        throw Stop{};
      PushInto(traps_[l].d, d);
      PushInto(traps_[r].d, d);
      traps_[d].u[0] = l;
      traps_[d].u[1] = r;
    }
  }
  seg.inserted = true;
}

// Moves the roots of the segments not yet inserted down to the trapezoids that now hold their
// end points, so that later queries start there.
void Triangulator::Relocate() {
  for (int i = 1; i <= n_; ++i) {
    Segment& seg = segs_[i];
    if (seg.inserted)
      continue;
    seg.root0 = traps_[Locate(seg.v0, seg.v1, seg.root0)].sink;
    seg.root1 = traps_[Locate(seg.v1, seg.v0, seg.root1)].sink;
  }
}

namespace {
int LogStar(int n) {
  double v = n;
  int i = 0;
  while (v >= 1.0) {
    v = std::log(v);
    ++i;
  }
  return i - 1;
}

int PhaseEnd(int n, int h) {
  double v = n;
  for (int i = 0; i < h; ++i)
    v = std::log(v);
  return static_cast<int>(std::ceil(n / v));
}
}  // namespace

void Triangulator::CollectDiagonals(std::vector<std::pair<int, int>>& diagonals) const {
  for (size_t t = 1; t < traps_.size(); ++t) {
    const Trapezoid& tr = traps_[t];
    if (tr.lseg == 0 || tr.rseg == 0 || tr.hi == 0 || tr.lo == 0)
      continue;
    // Inside the polygon the boundary runs down on the left and up on the right.
    if (Upper(tr.lseg) != segs_[tr.lseg].v0 || Upper(tr.rseg) != segs_[tr.rseg].v1)
      continue;
    if ((IsEndpoint(tr.hi, tr.lseg) && IsEndpoint(tr.lo, tr.lseg)) ||
        (IsEndpoint(tr.hi, tr.rseg) && IsEndpoint(tr.lo, tr.rseg)))
      continue;
    diagonals.emplace_back(tr.hi, tr.lo);
  }
}

// Walks the pieces that the polygon edges and the diagonals enclose, each counter-clockwise.
void Triangulator::TriangulatePieces(const std::vector<std::pair<int, int>>& diagonals) {
  // Half edges with the inside on their left: every polygon edge in its own direction and
  // every diagonal both ways.
  std::vector<int> from, to;
  from.reserve(n_ + 2 * diagonals.size());
  to.reserve(n_ + 2 * diagonals.size());
  for (int i = 1; i <= n_; ++i) {
    from.push_back(segs_[i].v0);
    to.push_back(segs_[i].v1);
  }
  for (const auto& dg : diagonals) {
    from.push_back(dg.first);
    to.push_back(dg.second);
    from.push_back(dg.second);
    to.push_back(dg.first);
  }
  const size_t count = from.size();
  std::vector<double> angle(count);
  for (size_t e = 0; e < count; ++e)
    angle[e] = std::atan2(pts_[to[e]].y - pts_[from[e]].y, pts_[to[e]].x - pts_[from[e]].x);
  // Outgoing half edges of every vertex.
  std::vector<int> firstOut(n_ + 2, 0);
  for (size_t e = 0; e < count; ++e)
    ++firstOut[from[e] + 1];
  for (int v = 1; v <= n_; ++v)
    firstOut[v + 1] += firstOut[v];
  std::vector<int> outs(count);
  {
    std::vector<int> fill(firstOut.begin(), firstOut.end());
    for (size_t e = 0; e < count; ++e)
      outs[fill[from[e]]++] = static_cast<int>(e);
  }

  const double twoPi = 2.0 * std::acos(-1.0);
  std::vector<bool> used(count, false);
  std::vector<int> piece;
  for (size_t start = 0; start < count; ++start) {
    if (used[start])
      continue;
    piece.clear();
    size_t e = start;
    do {
      if (used[e] || piece.size() > count)
        throw Stop{};
      used[e] = true;
      piece.push_back(from[e]);
      // At the head of e, turn to the first outgoing edge clockwise from the way back.
      const int v = to[e];
      const double back = std::atan2(pts_[from[e]].y - pts_[v].y, pts_[from[e]].x - pts_[v].x);
      int best = -1;
      double bestTurn = 0.0;
      for (int k = firstOut[v]; k < firstOut[v + 1]; ++k) {
        const int cand = outs[k];
        double turn = back - angle[cand];
        while (turn <= 0.0)
          turn += twoPi;
        while (turn > twoPi)
          turn -= twoPi;
        if (best < 0 || turn < bestTurn) {
          best = cand;
          bestTurn = turn;
        }
      }
      if (best < 0)
        throw Stop{};
      e = static_cast<size_t>(best);
    } while (e != start);
    TriangulateMonotone(piece);
  }
}

// Triangulates one y-monotone piece given counter-clockwise.
void Triangulator::TriangulateMonotone(const std::vector<int>& piece) {
  const int m = static_cast<int>(piece.size());
  if (m < 3)
    throw Stop{};
  if (m == 3) {
    Emit(piece[0], piece[1], piece[2]);
    return;
  }
  int top = 0, bottom = 0;
  for (int i = 1; i < m; ++i) {
    if (Compare(piece[i], piece[top]) > 0)
      top = i;
    if (Compare(piece[i], piece[bottom]) < 0)
      bottom = i;
  }
  // Counter-clockwise from the top the walk runs down the left chain; clockwise, down the right.
  std::vector<int> order;
  std::vector<bool> onLeft;
  order.reserve(m);
  onLeft.reserve(m);
  order.push_back(piece[top]);
  onLeft.push_back(true);
  int i = (top + 1) % m;
  int j = (top + m - 1) % m;
  while (i != bottom || j != bottom) {
    bool takeLeft;
    if (i == bottom)
      takeLeft = false;
    else if (j == bottom)
      takeLeft = true;
    else
      takeLeft = Compare(piece[i], piece[j]) > 0;
    if (takeLeft) {
      order.push_back(piece[i]);
      onLeft.push_back(true);
      i = (i + 1) % m;
    } else {
      order.push_back(piece[j]);
      onLeft.push_back(false);
      j = (j + m - 1) % m;
    }
    if (static_cast<int>(order.size()) >= m)
      throw Stop{};
  }
  order.push_back(piece[bottom]);
  onLeft.push_back(false);

  auto orient = [this](int a, int b, int c) {
    const Point& p = pts_[a];
    const Point& q = pts_[b];
    const Point& r = pts_[c];
    return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
  };
  std::vector<int> stack{0, 1};
  for (int k = 2; k < m - 1; ++k) {
    if (onLeft[k] != onLeft[stack.back()]) {
      for (size_t s = 0; s + 1 < stack.size(); ++s)
        Emit(order[k], order[stack[s]], order[stack[s + 1]]);
      const int last = stack.back();
      stack.assign({last, k});
    } else {
      int last = stack.back();
      stack.pop_back();
      while (!stack.empty()) {
        const int prev = stack.back();
        const double o = orient(order[prev], order[last], order[k]);
        if (onLeft[k] ? o <= 0.0 : o >= 0.0)
          break;
        Emit(order[prev], order[last], order[k]);
        last = prev;
        stack.pop_back();
      }
      stack.push_back(last);
      stack.push_back(k);
    }
  }
  for (size_t s = 0; s + 1 < stack.size(); ++s)
    Emit(order[m - 1], order[stack[s]], order[stack[s + 1]]);
}

void Triangulator::Emit(int a, int b, int c) {
  if (outCount_ >= outCapacity_) {
    std::fputs("triangulate: more triangles than the caller has room for\n", stderr);
    throw Stop{};
  }
  const Point& p = pts_[a];
  const Point& q = pts_[b];
  const Point& r = pts_[c];
  if ((q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x) < 0.0)
    std::swap(b, c);
  out_[outCount_][0] = a;
  out_[outCount_][1] = b;
  out_[outCount_][2] = c;
  ++outCount_;
}

int Triangulator::Run(int (*triangles)[3], int maxTriangles) {
  out_ = triangles;
  outCapacity_ = maxTriangles;
  outCount_ = 0;
  try {
    // The whole plane is one trapezoid to start with.
    const int t = NewTrapezoid();
    traps_[t].sink = NewNode(kSink, t);
    for (int i = 1; i <= n_; ++i)
      segs_[i].root0 = segs_[i].root1 = traps_[t].sink;

    // A random order of the segments, from a generator of our own with a fixed seed: one plan
    // gives the same triangles, and so the same meshes and file bytes, on every run.
    Random random(kSegmentOrderSeed);
    std::vector<int> order(n_ + 1);
    for (int i = 0; i <= n_; ++i)
      order[i] = i;
    for (int i = 1; i <= n_; ++i) {
      const int pick = i + static_cast<int>(random.Next() % static_cast<std::uint32_t>(n_ + 1 - i));
      std::swap(order[i], order[pick]);
    }

    int cursor = 1;
    AddSegment(order[cursor++]);
    const int phases = LogStar(n_);
    for (int h = 1; h <= phases; ++h) {
      const int end = std::min(n_, PhaseEnd(n_, h));
      while (cursor <= end)
        AddSegment(order[cursor++]);
      Relocate();
    }
    while (cursor <= n_)
      AddSegment(order[cursor++]);

    std::vector<std::pair<int, int>> diagonals;
    CollectDiagonals(diagonals);
    TriangulatePieces(diagonals);
  } catch (const Stop&) {
    return 0;
  }
  return outCount_;
}

}  // namespace

int TriangulatePolygon(int contourCount, const int contourSizes[], const double (*vertices)[2],
                       int (*triangles)[3], int maxTriangles) {
  if (contourCount < 1 || !contourSizes || !vertices || !triangles || maxTriangles < 1)
    return 0;
  long long total = 0;
  for (int c = 0; c < contourCount; ++c) {
    if (contourSizes[c] < 3)
      return 0;
    total += contourSizes[c];
  }
  // Keeps every table index, and twice the count, inside an int.
  if (total > (1 << 28))
    return 0;
  Triangulator triangulator(contourCount, contourSizes, vertices, static_cast<int>(total));
  return triangulator.Run(triangles, maxTriangles);
}

}  // namespace triangulate_baseline
