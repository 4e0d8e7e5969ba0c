// Triangle strips for display lists: runs of a class, the strip walk over shared edges, the order
// of the vertices sent, and the polygons kept aside for plain batches.
#include <math.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geometry_support.h"
#include "textures.h"
#include "toolkit/render/strips.h"

using geo::P;

namespace {

using Faces = std::vector<std::vector<int>>;

// The polygon whose centre is nearest the point.
WTpoly *polyat(WTgeometry *g, const P &at) {
  WTpoly *best = nullptr;
  float bestd = 1e30f;
  for (WTpoly *p = g->polys; p; p = p->next) {
    float dx = p->centre[0] - at.x, dy = p->centre[1] - at.y, dz = p->centre[2] - at.z;
    float d = dx * dx + dy * dy + dz * dz;
    if (d < bestd) best = p, bestd = d;
  }
  return best;
}

// One closed geometry of the points with one polygon per face (indices into the points); the
// run gets the polygons in the order of the faces.
WTgeometry *mesh(const std::vector<P> &points, const Faces &faces, std::vector<WTpoly *> *run = nullptr) {
  WTgeometry *g = WTgeometry_begin();
  for (const P &q : points) {
    WTp3 pos = {q.x, q.y, q.z};
    WTgeometry_newvertex(g, pos);
  }
  for (const std::vector<int> &f : faces) {
    WTpoly *p = WTgeometry_beginpoly(g);
    for (int i : f) WTpoly_addvertex(p, i);
    WTpoly_close(p);
  }
  WTgeometry_close(g);
  for (const std::vector<int> &f : faces) {
    P mid = {0, 0, 0};
    for (int i : f) mid.x += points[size_t(i)].x, mid.y += points[size_t(i)].y, mid.z += points[size_t(i)].z;
    float n = float(f.size());
    if (run) run->push_back(polyat(g, {mid.x / n, mid.y / n, mid.z / n}));
  }
  return g;
}

// A w x h grid of unit quads in the z = 0 plane, facing +z, rows from the bottom.
WTgeometry *grid(int w, int h, std::vector<WTpoly *> *run) {
  std::vector<P> points;
  for (int y = 0; y <= h; y++)
    for (int x = 0; x <= w; x++) points.push_back({float(x), float(y), 0});
  Faces faces;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      int a = y * (w + 1) + x;
      faces.push_back({a, a + 1, a + w + 2, a + w + 1});
    }
  return mesh(points, faces, run);
}

WTstripset strips(const std::vector<WTpoly *> &run, bool textured = false) {
  WTstripset s;
  _WTrun_makestrips(&run, textured, &s);
  return s;
}

WTvertex *vertexat(WTpoly *p, int i) {
  WTvertexlink *l = p->links;
  while (i-- > 0) l = l->next;
  return l->vertex;
}

// The vertices a strip sends.
std::vector<WTvertex *> sent(const WTstrip &s) {
  std::vector<WTstripvertex> order;
  _WTstrip_vertices(&s, &order);
  std::vector<WTvertex *> out;
  for (const WTstripvertex &v : order) out.push_back(vertexat(s.polys[size_t(v.poly)].poly, v.vertex));
  return out;
}

float signedarea(const float *a, const float *b, const float *c, const float *n) {
  float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  float x[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  return 0.5f * (x[0] * n[0] + x[1] * n[1] + x[2] * n[2]);
}

bool hasvertex(WTpoly *p, WTvertex *v) {
  for (WTvertexlink *l = p->links; l; l = l->next)
    if (l->vertex == v) return true;
  return false;
}

// Every triangle a strip makes, as OpenGL reads it (every second one turned round), must be one
// of its polygon's triangles facing the polygon's way; the triangles of a polygon cover its area.
// Every polygon of the run is in exactly one strip or set aside.
void expectcovers(const std::vector<WTpoly *> &run, const WTstripset &s) {
  std::map<WTpoly *, float> area;
  for (WTpoly *p : s.lone) area[p] += WTpoly_getarea(p);
  for (const WTstrip &strip : s.strips) {
    std::vector<WTstripvertex> order;
    _WTstrip_vertices(&strip, &order);
    std::vector<WTvertex *> v = sent(strip);
    for (size_t i = 0; i + 2 < v.size(); i++) {
      WTpoly *p = strip.polys[size_t(order[i + 2].poly)].poly;
      WTvertex *a = v[i], *b = v[i + 1], *c = v[i + 2];
      if (i % 2) std::swap(a, b);
      EXPECT_TRUE(hasvertex(p, a) && hasvertex(p, b) && hasvertex(p, c)) << "triangle " << i;
      float tri = signedarea(a->position, b->position, c->position, p->normal);
      EXPECT_GT(tri, 0.0f) << "triangle " << i << " faces away from its polygon";
      area[p] += tri;
    }
  }
  EXPECT_EQ(area.size(), run.size());
  for (WTpoly *p : run) EXPECT_NEAR(area[p], WTpoly_getarea(p), 1e-4f);
}

class Strips : public ::testing::Test {
 protected:
  geo::TablesReset reset;
  tk::TextureImages images;
};

TEST_F(Strips, TwoQuadsSharingAnEdgeMakeOneStripOfSixVertices) {
  std::vector<WTpoly *> run;
  WTgeometry *g = grid(2, 1, &run);  // points 0 1 2 along the bottom, 3 4 5 along the top
  WTstripset s = strips(run);
  ASSERT_EQ(s.strips.size(), 1u);
  EXPECT_TRUE(s.lone.empty());
  const WTstrip &strip = s.strips[0];
  ASSERT_EQ(strip.polys.size(), 2u);
  EXPECT_EQ(strip.polys[0].poly, run[0]);
  // The first quad leaves by its edge 1 -> 4, turned to ring edge 3: w0 w1 w2 w3 = 3 0 1 4,
  // sent as w0 w1 w3 w2; the second quad adds its two other corners.
  std::vector<WTvertex *> v = sent(strip);
  std::vector<float> xy;
  for (WTvertex *q : v) xy.push_back(q->position[0] + 10 * q->position[1]);
  EXPECT_EQ(xy, (std::vector<float>{10, 0, 11, 1, 12, 2}));
  expectcovers(run, s);
  WTgeometry_delete(g);
}

TEST_F(Strips, PolygonsSharingNoEdgeAreSetAside) {
  // A lone triangle, and a triangle touching a quad only at a corner.
  std::vector<WTpoly *> run;
  WTgeometry *g = mesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 0, 0}, {6, 0, 0}, {6, 1, 0}, {7, 1, 0},
                        {7, 2, 0}, {6, 2, 0}},
                       {{0, 1, 2}, {3, 4, 5}, {5, 6, 7, 8}}, &run);
  ASSERT_EQ(WTgeometry_numpolys(g), 3);
  WTstripset s = strips(run);
  EXPECT_TRUE(s.strips.empty());
  EXPECT_EQ(s.lone, run);
  WTgeometry_delete(g);
}

TEST_F(Strips, TexturedPolygonsJoinOnlyWhereTheyAgreeOnCoordinates) {
  struct Case {
    float rightu;  // the u the second quad gives the shared vertex 1
    size_t strips, lone;
  } cases[] = {{0.5f, 1, 0}, {0.75f, 0, 2}};
  for (const Case &k : cases) {
    std::vector<WTpoly *> run;
    WTgeometry *g = grid(2, 1, &run);
    float u0[] = {0, 0.5f, 0.5f, 0}, v0[] = {0, 0, 1, 1};
    float u1[] = {k.rightu, 1, 1, 0.5f}, v1[] = {0, 0, 1, 1};
    ASSERT_TRUE(WTpoly_settextureuv(run[0], "wood", u0, v0, 0, 0));
    ASSERT_TRUE(WTpoly_settextureuv(run[1], "wood", u1, v1, 0, 0));
    WTstripset s = strips(run, true);
    EXPECT_EQ(s.strips.size(), k.strips) << k.rightu;
    EXPECT_EQ(s.lone.size(), k.lone) << k.rightu;
    EXPECT_EQ(strips(run, false).strips.size(), 1u) << "untextured runs ignore the coordinates";
    WTgeometry_delete(g);
  }
}

TEST_F(Strips, LargerPolygonsStartInTheirOwnOrder) {
  // A pentagon or hexagon with a triangle on the edge from vertex 0 to vertex 1; the polygon is
  // first in the run, so it starts the strip.
  struct Case {
    std::vector<P> ring;
    std::vector<int> order;  // ring places sent for the start polygon
  } cases[] = {
      {{{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 2.5f, 0}, {-1, 1, 0}}, {0, 1, 4, 2, 3}},
      {{{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {2, 2, 0}, {0, 2, 0}, {-1, 1, 0}}, {0, 1, 5, 2, 4, 3}},
  };
  for (const Case &k : cases) {
    std::vector<P> points = k.ring;
    points.push_back({1, -1, 0});
    int n = int(k.ring.size());
    Faces faces(1);
    for (int i = 0; i < n; i++) faces[0].push_back(i);
    faces.push_back({0, n, 1});
    std::vector<WTpoly *> run;
    WTgeometry *g = mesh(points, faces, &run);
    ASSERT_EQ(WTgeometry_numpolys(g), 2);
    WTstripset s = strips(run);
    ASSERT_EQ(s.strips.size(), 1u);
    const WTstrippoly &start = s.strips[0].polys[0];
    EXPECT_EQ(start.poly, run[0]);
    std::vector<WTstripvertex> order;
    _WTstrip_vertices(&s.strips[0], &order);
    ASSERT_EQ(order.size(), size_t(n) + 1);
    for (int i = 0; i < n; i++) EXPECT_EQ(order[size_t(i)].vertex, (k.order[size_t(i)] + start.shift) % n) << n;
    // It leaves by ring edge n / 2 + 1, the edge it shares with the triangle.
    WTpoly *tri = s.strips[0].polys[1].poly;
    EXPECT_TRUE(hasvertex(tri, vertexat(run[0], (n / 2 + start.shift) % n)));
    EXPECT_TRUE(hasvertex(tri, vertexat(run[0], (n / 2 + 1 + start.shift) % n)));
    expectcovers(run, s);
    WTgeometry_delete(g);
  }
}

TEST_F(Strips, StripsKeepFacingAndCoverTheirPolygons) {
  struct Case {
    const char *name;
    std::vector<P> points;
    Faces faces;
  } cases[] = {
      // A row of three quads listed middle first: the middle cannot start, an end does.
      {"row", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0}},
       {{1, 2, 6, 5}, {0, 1, 5, 4}, {2, 3, 7, 6}}},
      // Six triangles around a centre.
      {"fan", {{0, 0, 0}, {2, 0, 0}, {1, 1.7f, 0}, {-1, 1.7f, 0}, {-2, 0, 0}, {-1, -1.7f, 0}, {1, -1.7f, 0}},
       {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 4, 5}, {0, 5, 6}, {0, 6, 1}}},
      // A closed cube: no polygon has two free edges after a shared one.
      {"cube", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
       {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}}},
      // Triangles, quads, a pentagon and a hexagon mixed.
      {"mixed", {{0, 0, 0}, {2, 0, 0}, {4, 0, 0}, {6, 0, 0}, {0, 2, 0}, {2, 2, 0}, {4, 2, 0}, {6, 2, 0},
                 {1, 3, 0}, {3, 3.5f, 0}, {5, 3, 0}, {3, -1, 0}, {5, -1.5f, 0}},
       {{0, 1, 5, 4}, {1, 11, 2, 6, 5}, {2, 12, 3}, {2, 3, 7, 6}, {4, 5, 8}, {5, 6, 10, 9, 8}, {6, 7, 10},
        {11, 12, 2}}},
  };
  for (const Case &k : cases) {
    SCOPED_TRACE(k.name);
    std::vector<WTpoly *> run;
    WTgeometry *g = mesh(k.points, k.faces, &run);
    ASSERT_EQ(WTgeometry_numpolys(g), int(k.faces.size()));
    WTstripset s = strips(run);
    EXPECT_FALSE(s.strips.empty());
    expectcovers(run, s);
    if (std::string(k.name) == "row") {
      ASSERT_EQ(s.strips.size(), 1u);
      EXPECT_NE(s.strips[0].polys[0].poly, run[0]);
    }
    WTgeometry_delete(g);
  }
  std::vector<WTpoly *> run;
  WTgeometry *g = grid(5, 4, &run);
  WTstripset s = strips(run);
  expectcovers(run, s);
  EXPECT_LT(s.strips.size() + s.lone.size(), run.size() / 2);
  WTgeometry_delete(g);
}

TEST_F(Strips, RunsSplitByTextureMaterialAndNormal) {
  // Quads facing +z, material ids 0 1 0 1, the last turned to face +x.
  std::vector<WTpoly *> q;
  WTgeometry *g = mesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}, {3, 0, 0},
                        {3, 1, 0}, {4, 0, 0}, {4, 1, 0}, {4, 0, -1}, {4, 1, -1}},
                       {{0, 1, 2, 3}, {1, 4, 5, 2}, {4, 6, 7, 5}, {8, 10, 11, 9}}, &q);
  ASSERT_EQ(WTgeometry_numpolys(g), 4);
  float white[3] = {1, 1, 1};
  WTmtable *t = WTmtable_new(WTDIFFUSE, 2, "runs");
  WTmtable_newentry(t);
  WTmtable_newentry(t);
  WTmtable_setvalue(t, 0, white, WTDIFFUSE);
  for (int i = 0; i < 4; i++) WTpoly_setmatid(q[size_t(i)], i % 2);
  using Runs = std::vector<std::vector<WTpoly *>>;
  struct Case {
    int classnum, style;
    Runs runs;
  } cases[] = {
      {4, 0, {q}},                                      // flat: one run
      {4, 8, {{q[0], q[2]}, {q[1]}, {q[3]}}},           // smooth, lit: material, then normal
      {0, 8, {{q[0], q[2]}, {q[1], q[3]}}},             // unlit: normals do not count
      {2 | 4, 8, {{q[0], q[1], q[2]}, {q[3]}}},         // per-vertex materials: only normals
  };
  for (const Case &k : cases) {
    Runs runs;
    _WTclass_runs(&q, k.classnum, k.style, t, &runs);
    EXPECT_EQ(runs, k.runs) << k.classnum << " " << k.style;
  }
  // Textured classes split by texture whatever the style.
  WTpoly_settexture(q[1], "brick", 0, 0);
  WTpoly_settexture(q[0], "wood", 0, 0);
  WTpoly_settexture(q[2], "wood", 0, 0);
  WTpoly_settexture(q[3], "brick", 0, 0);
  Runs runs;
  _WTclass_runs(&q, 32, 0, t, &runs);
  EXPECT_EQ(runs, (Runs{{q[0], q[2]}, {q[1], q[3]}}));
  WTgeometry_delete(g);
}

TEST_F(Strips, SetAsidePolygonsComeBackByStackNewestFirst) {
  std::vector<WTpoly *> p;
  WTgeometry *g = mesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 2, 0}, {-0.5f, 1.5f, 0}},
                       {{0, 1, 2}, {0, 1, 2, 3}, {0, 1, 2, 4, 5}, {1, 2, 3}, {0, 2, 3}, {3, 2, 4, 5}}, &p);
  ASSERT_EQ(WTgeometry_numpolys(g), 6);
  WTasidestacks stacks;
  for (WTpoly *x : p) _WTaside_push(&stacks, x);
  std::vector<WTpoly *> order;
  _WTaside_drain(&stacks, &order);
  EXPECT_EQ(order, (std::vector<WTpoly *>{p[4], p[3], p[0], p[5], p[1], p[2]}));
  order.clear();
  _WTaside_drain(&stacks, &order);
  EXPECT_TRUE(order.empty());
  WTgeometry_delete(g);
}

}  // namespace
