#include "models/triangulate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

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
//
// All tables, the scratch lists of the steps included, live in one triangulator per thread
// that is reset at the start of every call: after the first calls a triangulation allocates
// nothing.

namespace {

constexpr double kTolerance = 1.0e-7;
// Seed of the segment insertion order (any value gives valid triangles; a fixed one repeats them).
constexpr std::uint32_t kSegmentOrderSeed = 0x5eed1234u;
// Tables grown past this many vertices are given back after the call.
constexpr int kKeptVertices = 1 << 14;

struct Point {
  double x;
  double y;
};

struct Segment {
  int v0 = 0;  // first vertex (where the segment starts along its contour)
  int v1 = 0;  // second vertex
  int hi = 0;  // the greater of v0 and v1 in the point order
  int lo = 0;  // the smaller
};

// A vertex in the trapezoidation. While every search for it goes its way without asking where
// the segment leads (its path then does not depend on the segment, which only a vertex at
// another's place within the tolerance could change), its path from the top of the query
// structure is one and the same: once it is in the map, every search for it can start at the
// node where it was added.
struct VertexState {
  bool inserted = false;
  bool plain = true;  // no search for it asked where the segment leads before it was added
  int node = 0;       // the Y-node where it was added
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
using NeighbourList = int (Trapezoid::*)[2];

// A trapezoid that a segment being inserted crosses.
struct Crossing {
  int t;
  Trapezoid was;  // as it was before the cut
  bool lowLeft;   // its bottom vertex lies left of the segment (unless it is the segment's end)
  int left;       // the piece that holds its part left of the segment
  int right;      // and the one right of it
};

enum NodeType { kSink, kYNode, kXNode };

struct Node {
  NodeType type = kSink;
  int key = 0;  // trapezoid (sink), vertex (Y) or segment (X)
  int c0 = 0;   // above (Y) or left (X)
  int c1 = 0;   // below (Y) or right (X)
};

// Half edge of the plane graph of polygon edges and diagonals, with the inside on its left.
struct HalfEdge {
  int from;
  int to;
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

// The direction from a to b; between two vertices at one place, the direction along +x, the
// angle 0 that such an edge has always been given.
Point Direction(const Point& a, const Point& b) {
  const Point d{b.x - a.x, b.y - a.y};
  return d.x == 0.0 && d.y == 0.0 ? Point{1.0, 0.0} : d;
}

double Cross(const Point& a, const Point& b) {
  return a.x * b.y - a.y * b.x;
}

// How far direction d lies clockwise from direction b, in four classes: 0 less than a half
// turn, 1 a half turn, 2 more than a half turn, 3 a whole turn (the same direction).
int ClockwiseClass(const Point& b, const Point& d) {
  const double cross = Cross(b, d);
  if (cross < 0.0)
    return 0;
  if (cross > 0.0)
    return 2;
  return b.x * d.x + b.y * d.y < 0.0 ? 1 : 3;
}

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

class Triangulator {
 public:
  void Reset(int contourCount, const int* sizes, const double (*vertices)[2], int total);
  int Run(int (*triangles)[3], int maxTriangles);
  // Gives the memory of tables grown for a very large polygon back.
  void Trim();

 private:
  // Point order.
  int Compare(int a, int b) const;
  bool SamePoint(int a, int b) const;
  bool IsLeftOf(int v, int s) const;
  bool IsEndpoint(int v, int s) const { return segs_[s].v0 == v || segs_[s].v1 == v; }

  // Tables.
  int NewTrapezoid();
  int NewNode(NodeType type, int key);

  // Trapezoidation.
  void ChooseOrder();
  int Locate(int v, int w, int start, bool* askedW = nullptr) const;
  bool PassesAbove(int v, int w, int u, bool* askedW) const;
  bool GoesLeft(int s, int v, int w, bool* askedW) const;
  int SplitAt(int t, int v);
  void AddSegment(int s);
  void AddVertex(int v, int w);
  void CollectCrossed(int s, int start);
  void CutAlong(int s);
  void StartPiece(int t, int lseg, int rseg, int hi);
  void LinkEnd(int end, NeighbourList outer, NeighbourList inner, size_t k);
  void LinkLevels();

  // Monotone pieces and their triangles.
  void CollectDiagonals();
  void BuildHalfEdges();
  int NextHalfEdge(int e) const;
  void TriangulatePieces();
  void OrderByHeight(const std::vector<int>& piece);
  void TriangulateMonotone(const std::vector<int>& piece);
  void Emit(int a, int b, int c);

  int n_ = 0;
  int root_ = 0;  // the top of the query structure
  std::vector<Point> pts_;
  std::vector<Segment> segs_;
  std::vector<VertexState> verts_;
  std::vector<Trapezoid> traps_;
  std::vector<Node> nodes_;
  int trapCapacity_ = 0;
  int trapCount_ = 0;  // entries of traps_ in use, the unused entry 0 included
  int nodeCount_ = 0;  // and of nodes_
  std::vector<int> order_;  // segments in insertion order, from 1
  int orderSize_ = 0;       // the number of segments order_ is for

  // Scratch of one segment's insertion: the trapezoids it crosses, from the top down.
  std::vector<Crossing> crossing_;
  int crossCount_ = 0;

  // Scratch of the split into pieces.
  std::vector<int> diagonals_;  // pairs of vertices
  std::vector<HalfEdge> edges_;
  std::vector<int> firstOut_;  // outgoing half edges of vertex v: outs_[firstOut_[v] .. firstOut_[v + 1])
  std::vector<int> outs_;
  std::vector<Point> outDirs_;  // the direction of every half edge in outs_
  std::vector<char> used_;
  std::vector<int> piece_;
  std::vector<int> chain_;  // a piece's vertices from the top down
  std::vector<char> chainLeft_;
  std::vector<int> stack_;

  int (*out_)[3] = nullptr;
  int outCapacity_ = 0;
  int outCount_ = 0;
};

void Triangulator::Reset(int contourCount, const int* sizes, const double (*vertices)[2], int total) {
  n_ = total;
  pts_.resize(total + 1);
  for (int i = 1; i <= total; ++i)
    pts_[i] = Point{vertices[i][0], vertices[i][1]};
  segs_.assign(total + 1, Segment{});
  int first = 1;
  for (int c = 0; c < contourCount; ++c) {
    const int last = first + sizes[c] - 1;
    for (int i = first; i <= last; ++i) {
      Segment& seg = segs_[i];
      seg.v0 = i;
      seg.v1 = i == last ? first : i + 1;
      const bool up = Compare(seg.v0, seg.v1) > 0;
      seg.hi = up ? seg.v0 : seg.v1;
      seg.lo = up ? seg.v1 : seg.v0;
    }
    first = last + 1;
  }
  verts_.assign(total + 1, VertexState{});
  // One trapezoid to start with, one more for every vertex and for every segment.
  trapCapacity_ = 2 * total + 1;
  // The tables only grow: entries are written in full when they are taken into use.
  if (traps_.size() < static_cast<size_t>(trapCapacity_) + 1)
    traps_.resize(trapCapacity_ + 1);
  trapCount_ = 1;  // entry 0 stays unused
  if (nodes_.size() < 8 * static_cast<size_t>(total) + 2)
    nodes_.resize(8 * static_cast<size_t>(total) + 2);
  nodeCount_ = 1;
  if (crossing_.size() < static_cast<size_t>(trapCapacity_) + 2)
    crossing_.resize(trapCapacity_ + 2);
}

void Triangulator::Trim() {
  if (n_ <= kKeptVertices)
    return;
  *this = Triangulator();
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

bool Triangulator::SamePoint(int a, int b) const {
  return a == b || (std::fabs(pts_[a].y - pts_[b].y) <= kTolerance &&
                    std::fabs(pts_[a].x - pts_[b].x) <= kTolerance);
}

// Whether vertex v lies to the left of segment s (seen from its lower to its upper end).
bool Triangulator::IsLeftOf(int v, int s) const {
  const Point& p = pts_[v];
  const Point& hi = pts_[segs_[s].hi];
  const Point& lo = pts_[segs_[s].lo];
  if (std::fabs(p.y - hi.y) <= kTolerance)
    return p.x < hi.x;
  if (std::fabs(p.y - lo.y) <= kTolerance)
    return p.x < lo.x;
  const double cross = (hi.x - lo.x) * (p.y - lo.y) - (hi.y - lo.y) * (p.x - lo.x);
  return cross > 0.0;
}

int Triangulator::NewTrapezoid() {
  if (trapCount_ > trapCapacity_) {
    std::fputs("newtrap: Trapezoid-table overflow\n", stderr);
    throw Stop{};
  }
  traps_[trapCount_] = Trapezoid{};
  return trapCount_++;
}

int Triangulator::NewNode(NodeType type, int key) {
  Node node;
  node.type = type;
  node.key = key;
  if (static_cast<size_t>(nodeCount_) == nodes_.size())
    nodes_.resize(2 * nodes_.size());
  nodes_[nodeCount_] = node;
  return nodeCount_++;
}

// A random order of the segments, from a generator of our own with a fixed seed: one plan
// gives the same triangles, and so the same meshes and file bytes, on every run. The order
// depends on the number of segments alone and is kept for the next polygon of that size.
void Triangulator::ChooseOrder() {
  if (orderSize_ == n_)
    return;
  orderSize_ = n_;
  Random random(kSegmentOrderSeed);
  order_.resize(n_ + 1);
  for (int i = 0; i <= n_; ++i)
    order_[i] = i;
  for (int i = 1; i <= n_; ++i) {
    const int pick = i + static_cast<int>(random.Next() % static_cast<std::uint32_t>(n_ + 1 - i));
    std::swap(order_[i], order_[pick]);
  }
}

// The trapezoid that holds vertex v, or, when v is already in the map, the one that holds the
// points just past v on its way to w. askedW tells whether w decided any step.
int Triangulator::Locate(int v, int w, int start, bool* askedW) const {
  const Node* const nodes = nodes_.data();
  const Segment* const segs = segs_.data();
  const Point* const pts = pts_.data();
  const Point p = pts[v];
  int at = start;
  for (size_t steps = 0, limit = nodeCount_; steps <= limit; ++steps) {
    const Node& node = nodes[at];
    if (node.type == kSink)
      return node.key;
    bool above;
    if (node.type == kYNode) {
      // A level clearly above or below v decides alone (v itself is never clear of its own).
      const double y = pts[node.key].y;
      if (p.y > y + kTolerance)
        above = true;
      else if (p.y < y - kTolerance)
        above = false;
      else
        above = PassesAbove(v, w, node.key, askedW);
    } else {
      // So does a segment whose end points' levels lie clear of v (they do not when v is one).
      const Segment& seg = segs[node.key];
      const Point& hi = pts[seg.hi];
      const Point& lo = pts[seg.lo];
      if (std::fabs(p.y - hi.y) > kTolerance && std::fabs(p.y - lo.y) > kTolerance)
        above = (hi.x - lo.x) * (p.y - lo.y) - (hi.y - lo.y) * (p.x - lo.x) > 0.0;
      else
        above = GoesLeft(node.key, v, w, askedW);
    }
    at = above ? node.c0 : node.c1;
    if (at == 0)
      throw Stop{};
  }
  throw Stop{};
}

// Whether the search for v on its way to w passes above vertex u; at u's place, the side of w
// decides.
bool Triangulator::PassesAbove(int v, int w, int u, bool* askedW) const {
  int c = Compare(v, u);
  if (c == 0) {
    c = Compare(w, u);
    if (askedW)
      *askedW = true;
  }
  return c > 0;
}

// Whether the search for v on its way to w goes left at segment s. When v is one of the
// segment's end points, the side of w decides.
bool Triangulator::GoesLeft(int s, int v, int w, bool* askedW) const {
  const Segment& seg = segs_[s];
  const Point& p = pts_[v];
  const Point& hi = pts_[seg.hi];
  const Point& lo = pts_[seg.lo];
  // Most often v lies clear of both end points' levels: the cross product alone decides.
  if (v != seg.v0 && v != seg.v1 && std::fabs(p.y - hi.y) > kTolerance && std::fabs(p.y - lo.y) > kTolerance)
    return (hi.x - lo.x) * (p.y - lo.y) - (hi.y - lo.y) * (p.x - lo.x) > 0.0;
  const int other = SamePoint(seg.v0, v) ? seg.v1 : SamePoint(seg.v1, v) ? seg.v0 : 0;
  if (other == 0)
    return IsLeftOf(v, s);
  if (askedW)
    *askedW = true;
  if (std::fabs(pts_[w].y - pts_[other].y) <= kTolerance)
    return pts_[w].x < pts_[other].x;
  return IsLeftOf(w, s);
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
    if (n != 0)
      ReplaceIn(traps_[n].u, t, below);
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

// Adds vertex v, the end of a segment that leads to w, to the map unless it is there.
void Triangulator::AddVertex(int v, int w) {
  VertexState& state = verts_[v];
  if (state.inserted)
    return;
  bool asked = false;
  const int t = Locate(v, w, root_, &asked);
  state.plain = !asked;
  state.node = traps_[t].sink;
  SplitAt(t, v);
  state.inserted = true;
}

void Triangulator::AddSegment(int s) {
  const Segment& seg = segs_[s];
  const int a = seg.hi;
  const int b = seg.lo;
  AddVertex(a, b);
  AddVertex(b, a);
  // The search for the first crossed trapezoid passes the node where a was added.
  const VertexState& va = verts_[a];
  CollectCrossed(s, va.plain ? va.node : root_);
  CutAlong(s);
  LinkEnd(a, &Trapezoid::u, &Trapezoid::d, 0);
  LinkLevels();
  LinkEnd(b, &Trapezoid::d, &Trapezoid::u, crossCount_ - 1);
}

// The trapezoids that segment s crosses, from the top down, each as it is now; the search for
// the upper end point starts at query node `start`.
void Triangulator::CollectCrossed(int s, int start) {
  const int b = segs_[s].lo;
  const int limit = trapCount_;
  crossCount_ = 0;
  int t = Locate(segs_[s].hi, b, start);
  for (;;) {
    const Trapezoid& tr = traps_[t];
    crossing_[crossCount_++] = Crossing{t, tr, false, 0, 0};
    if (crossCount_ > limit)
      throw Stop{};
    if (tr.lo == b)
      break;
    if (tr.lo == 0)
      throw Stop{};
    const bool lowLeft = IsLeftOf(tr.lo, s);
    crossing_[crossCount_ - 1].lowLeft = lowLeft;
    const int next = tr.d[1] != 0 && lowLeft ? tr.d[1] : tr.d[0];
    if (next == 0)
      throw Stop{};
    t = next;
  }
}

// Replaces the crossed trapezoids by the pieces left and right of segment s. At every level
// between two crossed trapezoids the side on which the level's vertex lies starts a new piece;
// the other side goes on. The crossed trapezoids' sinks become X-nodes of s.
void Triangulator::CutAlong(int s) {
  for (int j = 0; j < crossCount_; ++j) {
    Crossing& c = crossing_[j];
    const Crossing* above = j == 0 ? nullptr : &crossing_[j - 1];
    const bool newLeft = !above || above->lowLeft;
    const bool newRight = !above || !above->lowLeft;
    c.left = newLeft ? c.t : above->left;
    c.right = !above ? NewTrapezoid() : newRight ? c.t : above->right;
    if (newLeft)
      StartPiece(c.left, c.was.lseg, s, c.was.hi);
    if (newRight)
      StartPiece(c.right, s, c.was.rseg, c.was.hi);
    traps_[c.left].lo = c.was.lo;
    traps_[c.right].lo = c.was.lo;
    Node& node = nodes_[c.was.sink];
    node.type = kXNode;
    node.key = s;
    node.c0 = traps_[c.left].sink;
    node.c1 = traps_[c.right].sink;
  }
}

// Makes trapezoid t a fresh piece between segments lseg and rseg from vertex hi down.
void Triangulator::StartPiece(int t, int lseg, int rseg, int hi) {
  Trapezoid& p = traps_[t];
  p = Trapezoid{};
  p.lseg = lseg;
  p.rseg = rseg;
  p.hi = hi;
  p.sink = NewNode(kSink, t);
}

// Links the pieces of crossing k, at the segment's end point `end`, with the neighbours beyond
// that end: outer is the neighbour list facing away from the segment (u at the top, d at the
// bottom), inner the one facing back.
void Triangulator::LinkEnd(int end, NeighbourList outer, NeighbourList inner, size_t k) {
  const Crossing& c = crossing_[k];
  const Trapezoid& o = c.was;
  const int l = c.left, r = c.right;
  const bool onLeft = o.lseg != 0 && IsEndpoint(end, o.lseg);
  const bool onRight = o.rseg != 0 && IsEndpoint(end, o.rseg);
  if (onLeft && onRight)
    throw Stop{};
  const int (&beyond)[2] = o.*outer;
  if (onLeft || onRight) {
    const int piece = onLeft ? r : l;
    for (int n : beyond) {
      if (n == 0)
        continue;
      PushInto(traps_[piece].*outer, n);
      ReplaceIn(traps_[n].*inner, c.t, piece);
    }
  } else if (CountOf(beyond) == 2) {
    const int n0 = beyond[0], n1 = beyond[1];
    PushInto(traps_[l].*outer, n0);
    PushInto(traps_[r].*outer, n1);
    ReplaceIn(traps_[n0].*inner, c.t, l);
    ReplaceIn(traps_[n1].*inner, c.t, r);
  } else if (CountOf(beyond) == 1) {
    const int n = beyond[0] ? beyond[0] : beyond[1];
    if (CountOf(traps_[n].*inner) != 1)
      throw Stop{};
    PushInto(traps_[l].*outer, n);
    PushInto(traps_[r].*outer, n);
    (traps_[n].*inner)[0] = l;
    (traps_[n].*inner)[1] = r;
  }
}

// Links the pieces at every level between two crossed trapezoids.
void Triangulator::LinkLevels() {
  for (int j = 1; j < crossCount_; ++j) {
    const Crossing& up = crossing_[j - 1];
    const Crossing& dn = crossing_[j];
    const int above = OtherOf(dn.was.u, up.t);
    const int below = OtherOf(up.was.d, dn.t);
    const bool vertexLeft = up.lowLeft;
    const int prev = vertexLeft ? up.left : up.right;
    const int cur = vertexLeft ? dn.left : dn.right;
    // The new piece lies on the vertex's side: its other neighbour is beside the old one.
    if (vertexLeft) {
      PushInto(traps_[cur].u, above);
      PushInto(traps_[cur].u, prev);
      PushInto(traps_[prev].d, below);
      PushInto(traps_[prev].d, cur);
    } else {
      PushInto(traps_[cur].u, prev);
      PushInto(traps_[cur].u, above);
      PushInto(traps_[prev].d, cur);
      PushInto(traps_[prev].d, below);
    }
    if (above)
      ReplaceIn(traps_[above].d, dn.t, cur);
    if (below)
      ReplaceIn(traps_[below].u, up.t, prev);
  }
}

void Triangulator::CollectDiagonals() {
  diagonals_.clear();
  for (int t = 1; t < trapCount_; ++t) {
    const Trapezoid& tr = traps_[t];
    if (tr.lseg == 0 || tr.rseg == 0 || tr.hi == 0 || tr.lo == 0)
      continue;
    // Inside the polygon the boundary runs down on the left and up on the right.
    if (segs_[tr.lseg].hi != segs_[tr.lseg].v0 || segs_[tr.rseg].hi != segs_[tr.rseg].v1)
      continue;
    if ((IsEndpoint(tr.hi, tr.lseg) && IsEndpoint(tr.lo, tr.lseg)) ||
        (IsEndpoint(tr.hi, tr.rseg) && IsEndpoint(tr.lo, tr.rseg)))
      continue;
    diagonals_.push_back(tr.hi);
    diagonals_.push_back(tr.lo);
  }
}

// Half edges with the inside on their left: every polygon edge in its own direction and every
// diagonal both ways, with the outgoing ones of every vertex listed together.
void Triangulator::BuildHalfEdges() {
  const int count = n_ + static_cast<int>(diagonals_.size());
  edges_.resize(count);
  for (int i = 1; i <= n_; ++i)
    edges_[i - 1] = HalfEdge{segs_[i].v0, segs_[i].v1};
  for (size_t k = 0; k < diagonals_.size(); k += 2) {
    edges_[n_ + k] = HalfEdge{diagonals_[k], diagonals_[k + 1]};
    edges_[n_ + k + 1] = HalfEdge{diagonals_[k + 1], diagonals_[k]};
  }
  // Counted into the end of every vertex's range, then filled from the back, which leaves
  // firstOut_[v] at the range's start and keeps every vertex's half edges in table order.
  firstOut_.assign(n_ + 2, 0);
  for (const HalfEdge& e : edges_)
    ++firstOut_[e.from];
  for (int v = 1; v <= n_ + 1; ++v)
    firstOut_[v] += firstOut_[v - 1];
  outs_.resize(count);
  outDirs_.resize(count);
  for (int e = count - 1; e >= 0; --e) {
    const int k = --firstOut_[edges_[e].from];
    outs_[k] = e;
    outDirs_[k] = Direction(pts_[edges_[e].from], pts_[edges_[e].to]);
  }
}

// At the head of half edge e, the first outgoing half edge clockwise from the way back. Of
// two in the same class of turn, the one the other lies clockwise of turns less.
int Triangulator::NextHalfEdge(int e) const {
  const HalfEdge& in = edges_[e];
  const int v = in.to;
  const int first = firstOut_[v], end = firstOut_[v + 1];
  if (end - first == 1)
    return outs_[first];
  if (end == first)
    throw Stop{};
  const Point back = Direction(pts_[v], pts_[in.from]);
  int best = first;
  int bestClass = ClockwiseClass(back, outDirs_[first]);
  for (int k = first + 1; k < end; ++k) {
    const int cls = ClockwiseClass(back, outDirs_[k]);
    if (cls < bestClass || (cls == bestClass && (cls == 0 || cls == 2) && Cross(outDirs_[k], outDirs_[best]) < 0.0)) {
      best = k;
      bestClass = cls;
    }
  }
  return outs_[best];
}

// Walks the pieces that the polygon edges and the diagonals enclose, each counter-clockwise.
void Triangulator::TriangulatePieces() {
  BuildHalfEdges();
  const size_t count = edges_.size();
  used_.assign(count, 0);
  for (size_t start = 0; start < count; ++start) {
    if (used_[start])
      continue;
    piece_.clear();
    int e = static_cast<int>(start);
    do {
      if (used_[e] || piece_.size() > count)
        throw Stop{};
      used_[e] = 1;
      piece_.push_back(edges_[e].from);
      e = NextHalfEdge(e);
    } while (e != static_cast<int>(start));
    TriangulateMonotone(piece_);
  }
}

// Lists a monotone piece's vertices from its highest down (chain_), merging its two chains,
// and whether each lies on the left chain (chainLeft_).
void Triangulator::OrderByHeight(const std::vector<int>& piece) {
  const int m = static_cast<int>(piece.size());
  int top = 0, bottom = 0;
  for (int i = 1; i < m; ++i) {
    if (Compare(piece[i], piece[top]) > 0)
      top = i;
    if (Compare(piece[i], piece[bottom]) < 0)
      bottom = i;
  }
  // Counter-clockwise from the top the walk runs down the left chain; clockwise, down the right.
  chain_.clear();
  chainLeft_.clear();
  chain_.push_back(piece[top]);
  chainLeft_.push_back(1);
  // Steps round the piece without a division.
  auto next = [m](int k) { return k + 1 == m ? 0 : k + 1; };
  auto prev = [m](int k) { return k == 0 ? m - 1 : k - 1; };
  int i = next(top);
  int j = prev(top);
  while (i != bottom || j != bottom) {
    bool takeLeft;
    if (i == bottom)
      takeLeft = false;
    else if (j == bottom)
      takeLeft = true;
    else
      takeLeft = Compare(piece[i], piece[j]) > 0;
    if (takeLeft) {
      chain_.push_back(piece[i]);
      chainLeft_.push_back(1);
      i = next(i);
    } else {
      chain_.push_back(piece[j]);
      chainLeft_.push_back(0);
      j = prev(j);
    }
    if (static_cast<int>(chain_.size()) >= m)
      throw Stop{};
  }
  chain_.push_back(piece[bottom]);
  chainLeft_.push_back(0);
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
  OrderByHeight(piece);
  const std::vector<int>& order = chain_;
  const std::vector<char>& onLeft = chainLeft_;
  auto orient = [this](int a, int b, int c) {
    const Point& p = pts_[a];
    const Point& q = pts_[b];
    const Point& r = pts_[c];
    return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
  };
  std::vector<int>& stack = stack_;
  stack.assign({0, 1});
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
    root_ = traps_[t].sink = NewNode(kSink, t);
    ChooseOrder();
    for (int i = 1; i <= n_; ++i)
      AddSegment(order_[i]);

    CollectDiagonals();
    TriangulatePieces();
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
  thread_local Triangulator triangulator;
  triangulator.Reset(contourCount, contourSizes, vertices, static_cast<int>(total));
  const int count = triangulator.Run(triangles, maxTriangles);
  triangulator.Trim();
  return count;
}
