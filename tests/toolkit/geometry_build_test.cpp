// Building and closing geometries: convex pieces, fans, cuts at crossings, duplicate removal,
// texture coordinates through the cuts, edit spans and the construction's refusals.
#include <math.h>
#include <stdio.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geometry_support.h"
#include "textures.h"

using geo::P;

namespace {

class Closing : public ::testing::Test {
 protected:
  geo::TablesReset reset;
  tk::TextureImages images;
};

TEST_F(Closing, LShapedHexagonBecomesTwoConvexQuads) {
  WTgeometry *g = geo::polygon({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}});
  ASSERT_TRUE(g);
  ASSERT_EQ(WTgeometry_numpolys(g), 2);
  for (WTpoly *p = g->polys; p; p = p->next) {
    EXPECT_EQ(WTpoly_numvertices(p), 4);
    EXPECT_EQ(p->nverts, 4);
    EXPECT_TRUE(p->flags & WTP_CONVEX);
    EXPECT_NEAR(p->normal[2], 1.0f, 1e-6);
  }
  EXPECT_NEAR(geo::totalarea(g), 3.0f, 1e-5);
  WTgeometry_delete(g);
}

TEST_F(Closing, QuadIsFannedOnlyWhenOffItsMeanPlaneByMoreThanTheTolerance) {
  // One lifted corner of a unit square lies lift * 3/4 above the mean plane through the centre,
  // the other three lift / 4 away from it.
  const struct {
    float lift;
    int polys;
  } cases[] = {{4 * 0.0039f, 1}, {4 * 0.0041f, 2}};
  for (const auto &c : cases) {
    WTgeometry *g = geo::polygon({{0, 0, 0}, {1, 0, 0}, {1, 1, c.lift}, {0, 1, 0}});
    ASSERT_TRUE(g);
    EXPECT_EQ(WTgeometry_numpolys(g), c.polys) << c.lift;
    WTgeometry_delete(g);
  }
}

TEST_F(Closing, BowTieIsCutAtTheCrossingWithTheNewPiecesAtTheHeads) {
  WTgeometry *g = geo::polygon({{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}});
  ASSERT_TRUE(g);
  ASSERT_EQ(WTgeometry_numpolys(g), 2);
  WTvertex *x = g->vertices;
  EXPECT_FLOAT_EQ(x->position[0], 1.0f);
  EXPECT_FLOAT_EQ(x->position[1], 1.0f);
  WTpoly *head = g->polys;
  bool headhasx = false;
  for (WTvertexlink *l = head->links; l; l = l->next) headhasx |= l->vertex == x;
  EXPECT_TRUE(headhasx);
  for (WTpoly *p = g->polys; p; p = p->next) {
    EXPECT_EQ(WTpoly_numvertices(p), 3);
    EXPECT_TRUE(WTpoly_getbothsides(p));
  }
  WTgeometry_delete(g);
}

TEST_F(Closing, DuplicateRemovalKeepsTheLastOfAWrappedRun) {
  WTgeometry *g = geo::polygon({{0, 0, 0}, {0, 0, 5e-6f}, {1, 0, 0}, {1, 1, 0}, {5e-6f, 0, 0}}, false);
  WTpoly *p = g->polys;
  EXPECT_EQ(_WTpoly_removeduplicates(p), 0);
  EXPECT_EQ(p->nverts, 3);
  std::vector<P> r = geo::ring(p);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_TRUE(geo::same(r[0], {1, 0, 0}));
  EXPECT_TRUE(geo::same(r[1], {1, 1, 0}));
  EXPECT_TRUE(geo::same(r[2], {5e-6f, 0, 0}, 1e-9f));
  ASSERT_TRUE(_WTgeometry_close(g));
  WTgeometry_delete(g);

  WTgeometry *h = geo::polygon({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {0, 0, 0}}, false);
  EXPECT_EQ(_WTpoly_removeduplicates(h->polys), 1);
  _WTgeometry_checkifopen(h);
  WTgeometry_delete(h);
}

TEST_F(Closing, TextureCoordinatesFollowEveryPiece) {
  WTgeometry *g = geo::polygon({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0},
                                {0, 1.5f, 0.3f}},
                               false);
  WTpoly *p = g->polys;
  std::vector<float> u, v;
  for (const P &q : geo::ring(p)) u.push_back(q.x / 2), v.push_back(q.y / 2 + q.z);
  ASSERT_TRUE(WTpoly_settextureuv(p, "wood", u.data(), v.data(), 0, 0));
  ASSERT_TRUE(WTgeometry_close(g));
  EXPECT_GE(WTgeometry_numpolys(g), 3);
  for (WTpoly *q = g->polys; q; q = q->next) {
    std::vector<P> r = geo::ring(q);
    ASSERT_TRUE(q->texture);
    ASSERT_EQ(q->texture->uvcount, static_cast<int>(r.size()));
    for (size_t i = 0; i < r.size(); i++) {
      EXPECT_FLOAT_EQ(q->texture->u[i], r[i].x / 2);
      EXPECT_FLOAT_EQ(q->texture->v[i], r[i].y / 2 + r[i].z);
    }
  }
  WTgeometry_delete(g);
}

TEST_F(Closing, NameOnlyTextureIsCopiedToEveryPiece) {
  WTgeometry *g =
      geo::polygon({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}}, false);
  g->polys->texture = _WTtexture_newref("Sbrick");
  ASSERT_TRUE(WTgeometry_close(g));
  ASSERT_EQ(WTgeometry_numpolys(g), 2);
  EXPECT_NE(g->polys->texture, g->polys->next->texture);
  for (WTpoly *q = g->polys; q; q = q->next) EXPECT_STREQ(q->texture->name, "Sbrick");
  WTgeometry_delete(g);
}

TEST_F(Closing, FanOfAConvexHexagon) {
  WTgeometry *g = geo::polygon({{2, 0, 0}, {1, 1.7f, 0}, {-1, 1.7f, 0}, {-2, 0, 0}, {-1, -1.7f, 0},
                                {1, -1.7f, 0}},
                               false);
  WTpoly *p = g->polys;
  std::vector<P> pts = geo::ring(p);
  _WTpoly_triangulate(p);
  int expect[4][3] = {{0, 4, 5}, {0, 3, 4}, {0, 2, 3}, {0, 1, 2}};
  int i = 0;
  for (WTpoly *q = p; q; q = q->next, i++) {
    ASSERT_LT(i, 4);
    std::vector<P> r = geo::ring(q);
    for (int k = 0; k < 3; k++) EXPECT_TRUE(geo::same(r[k], pts[expect[i][k]])) << i << k;
  }
  EXPECT_EQ(i, 4);
  EXPECT_EQ(g->npolys, 4);
  _WTgeometry_close(g);
  WTgeometry_delete(g);
}

// A star-shaped (so simple) outline of n points with random radii, in a random plane.
std::vector<P> randomoutline(std::mt19937 &rng, int n, float *area) {
  std::uniform_real_distribution<float> radius(0.3f, 3.0f), unit(-1, 1);
  std::vector<float> angles(n);
  for (int i = 0; i < n; i++) angles[i] = 6.2831853f * (i + 0.5f * (unit(rng) + 1) * 0.8f) / n;
  WTq q = {unit(rng), unit(rng), unit(rng), unit(rng)};
  float l = sqrtf(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  for (float &c : q) c /= l;
  std::vector<P> flat, out;
  for (int i = 0; i < n; i++) {
    float r = radius(rng);
    flat.push_back({r * cosf(angles[i]), r * sinf(angles[i]), 0});
  }
  double a = 0;
  for (int i = 0; i < n; i++) {
    const P &s = flat[i], &t = flat[(i + 1) % n];
    a += double(s.x) * t.y - double(t.x) * s.y;
  }
  *area = static_cast<float>(fabs(a) / 2);
  for (const P &f : flat) {
    WTp3 in = {f.x, f.y, f.z}, o;
    _WTq_rotatepoint(in, q, o);
    out.push_back({o[0] + 5, o[1] - 2, o[2] + 1});
  }
  return out;
}

TEST_F(Closing, RandomSimplePolygonsCloseIntoConvexPlanarPiecesOfTheSameArea) {
  std::mt19937 rng(1234);
  for (int trial = 0; trial < 60; trial++) {
    int n = 3 + static_cast<int>(rng() % 254);
    float area;
    std::vector<P> pts = randomoutline(rng, n, &area);
    WTgeometry *g = geo::polygon(pts);
    ASSERT_TRUE(g) << trial;
    for (WTpoly *p = g->polys; p; p = p->next) {
      EXPECT_TRUE(_WTpoly_convex(p)) << trial;
      EXPECT_TRUE(_WTpoly_stats(p)) << trial;
      EXPECT_EQ(p->nverts, WTpoly_numvertices(p));
    }
    EXPECT_NEAR(geo::totalarea(g), area, area * 1e-3f) << trial << " n " << n;
    WTgeometry_delete(g);
  }
}

TEST_F(Closing, SelfCrossingOutlinesCloseWithoutAFault) {
  std::mt19937 rng(99);
  std::uniform_real_distribution<float> c(-2, 2);
  for (int trial = 0; trial < 60; trial++) {
    int n = 4 + static_cast<int>(rng() % 60);
    std::vector<P> pts;
    for (int i = 0; i < n; i++) pts.push_back({c(rng), c(rng), trial % 3 == 0 ? 0.0f : c(rng) * 0.01f});
    WTgeometry *g = geo::polygon(pts);
    if (!g) continue;
    int count = 0;
    for (WTpoly *p = g->polys; p; p = p->next) count++;
    EXPECT_EQ(count, g->npolys);
    WTgeometry_delete(g);
  }
}

TEST(Building, PolygonVertexCountsOutsideThreeTo256AreRefusedNamingThePolygonById) {
  geo::TablesReset reset;
  for (int n : {2, 3, 256, 257}) {
    tk::Captured captured;
    WTgeometry *g = WTgeometry_begin();
    WTpoly *p = WTgeometry_beginpoly(g);
    for (int i = 0; i < n; i++) {
      float a = 6.2831853f * i / n;
      WTp3 pos = {cosf(a), sinf(a), 0};
      WTgeometry_newvertex(g, pos);
      WTpoly_addvertex(p, i);
    }
    bool ok = WTpoly_close(p);
    EXPECT_EQ(ok, n >= 3 && n <= 256) << n;
    if (!ok) {
      char expect[128];
      snprintf(expect, sizeof expect, "Polygon %x has %d vertices -- outside [3,256]\n", p->serial, n);
      EXPECT_NE(captured.all().find(expect), std::string::npos) << captured.all();
      _WTpoly_cancel(p);
    }
    _WTgeometry_close(g) ? (void)WTgeometry_delete(g) : (void)0;
  }
}

TEST(Building, AddVertexRefusesIndicesOutsideTheConstruction) {
  geo::TablesReset reset;
  EXPECT_FALSE(WTpoly_addvertex(nullptr, 0));
  WTgeometry *g = WTgeometry_begin();
  WTp3 a = {0, 0, 0};
  WTgeometry_newvertex(g, a);
  WTpoly *p = WTgeometry_beginpoly(g);
  EXPECT_TRUE(WTpoly_addvertex(p, 0));
  EXPECT_FALSE(WTpoly_addvertex(p, 1));
  EXPECT_FALSE(WTpoly_addvertex(p, 999));
  EXPECT_FALSE(WTpoly_addvertex(p, -1));
  _WTpoly_cancel(p);
  _WTgeometry_checkifopen(g);
  WTgeometry_delete(g);
}

TEST(Building, OneConstructionAtATimeAndItsArrayGrowsAndResets) {
  geo::TablesReset reset;
  WTgeometry *g = WTgeometry_begin();
  {
    tk::Captured captured;
    EXPECT_EQ(WTgeometry_begin(), nullptr);
    EXPECT_NE(captured.all().find("Can't begin a new geometry until the last is closed.\n"),
              std::string::npos);
  }
  for (int i = 0; i < 1500; i++) {
    WTp3 pos = {float(i % 40), float(i / 40), 0};
    WTgeometry_newvertex(g, pos);
  }
  EXPECT_EQ(_WTgeometry_constructioncapacity(), 2000);
  WTpoly *p = WTgeometry_beginpoly(g);
  for (int i : {0, 1, 1499}) WTpoly_addvertex(p, i);
  ASSERT_TRUE(WTpoly_close(p));
  {
    WTuniverse_new(512, 0);  // option 1 lives in the universe
    tk::Captured captured;
    WTuniverse_setoption(1, 1);
    ASSERT_TRUE(WTgeometry_close(g));
    WTuniverse_delete();
    EXPECT_NE(captured.all().find("1497 unused vertices were removed\n"), std::string::npos);
  }
  EXPECT_EQ(_WTgeometry_constructioncapacity(), 1000);
  EXPECT_STREQ(WTgeometry_getname(g), "untitled");
  WTgeometry_delete(g);
}

TEST(Building, AGeometryWithTooFewVerticesIsDeletedByTheClose) {
  geo::TablesReset reset;
  tk::Captured captured;
  WTgeometry *g = geo::polygon({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}});
  EXPECT_EQ(g, nullptr);
  EXPECT_NE(captured.all().find("Can't make geometry - too few vertices\n"), std::string::npos);
  EXPECT_EQ(_WTmtable_first(), nullptr); // its table went with it
}

// A degenerate triangle goes, and so do the vertices only it used; the vertex copy, the extents
// and the smoothed normals describe exactly the vertices kept.
TEST(Building, TheCloseDropsDegeneratePolygonsWithTheirOwnVerticesAndCopiesTheRest) {
  geo::TablesReset reset;
  WTgeometry *g = WTgeometry_begin();
  const P v[7] = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 1}, {9, 9, 9}, {9, 9, 9}, {-5, 0, 0}};
  for (const P &q : v) {
    WTp3 pos = {q.x, q.y, q.z};
    WTgeometry_newvertex(g, pos);
  }
  WTvertex *flat = g->vertices;
  WTp3 up = {0, 0, 1};
  _WTvertex_setnormal(flat, up);
  ASSERT_TRUE(_WTgeometry_addpoly3(g, 0, 1, 2, 0));
  ASSERT_TRUE(_WTgeometry_addpoly3(g, 4, 5, 2, 0)); // 4 and 5 coincide
  ASSERT_TRUE(_WTgeometry_addpoly3(g, 0, 2, 3, 0));
  ASSERT_TRUE(WTgeometry_closesmooth(g));

  EXPECT_EQ(g->npolys, 2);
  std::vector<P> kept, copied;
  for (WTvertex *k = g->vertices; k; k = k->next) kept.push_back({k->position[0], k->position[1], k->position[2]});
  for (WTvertex *k = g->vcopy; k; k = k->next) copied.push_back({k->position[0], k->position[1], k->position[2]});
  ASSERT_EQ(kept.size(), 4u); // (-5, 0, 0) was never used, the two at (9, 9, 9) lost their polygon
  ASSERT_EQ(copied.size(), kept.size());
  for (size_t i = 0; i < kept.size(); i++) EXPECT_TRUE(geo::same(kept[i], copied[i])) << i;
  for (WTvertex *k = g->vertices, *c = g->vcopy; k && c; k = k->next, c = c->next) {
    ASSERT_TRUE(k->normal && c->normal);
    EXPECT_NE(k->normal, c->normal);
    for (int i = 0; i < 3; i++) EXPECT_EQ(k->normal[i], c->normal[i]);
    EXPECT_NEAR(k->normal[0] * k->normal[0] + k->normal[1] * k->normal[1] + k->normal[2] * k->normal[2], 1.0f, 1e-5f);
    EXPECT_FALSE(k->flags & WTV_SMOOTH);
  }
  EXPECT_EQ(flat->normal[2], 1.0f); // its own normal stays as given
  WTp3 ext, mid;
  WTgeometry_getextents(g, ext);
  WTgeometry_getmidpoint(g, mid);
  EXPECT_FLOAT_EQ(ext[0], 2.0f);
  EXPECT_FLOAT_EQ(ext[2], 1.0f);
  EXPECT_FLOAT_EQ(mid[2], 0.5f);
  EXPECT_FLOAT_EQ(WTgeometry_getradius(g), 1.5f);
  WTgeometry_delete(g);
}

TEST(Building, CollinearPolygonGetsTheXAxisNormalAndSmoothNormalsAreAveraged) {
  geo::TablesReset reset;
  WTgeometry *g = geo::polygon({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {0, 1, 0}}, false);
  WTpoly *line = WTgeometry_beginpoly(g);
  WTp3 pts[3] = {{5, 0, 0}, {6, 0, 0}, {7, 0, 0}};
  for (auto &q : pts) WTpoly_addvertexptr(line, WTgeometry_newvertex(g, q));
  ASSERT_TRUE(WTpoly_close(line));
  EXPECT_FLOAT_EQ(line->normal[0], 1.0f);
  _WTgeometry_close(g);
  WTgeometry_delete(g);

  // Two faces of a roof: each ridge vertex takes the mean of both normals.
  WTgeometry *r = WTgeometry_begin();
  WTp3 v[6] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}, {1, 2, 0}, {0, 2, 0}};
  for (auto &q : v) WTgeometry_newvertex(r, q);
  _WTgeometry_addpoly4(r, 0, 1, 2, 3, 0);
  _WTgeometry_addpoly4(r, 3, 2, 4, 5, 0);
  ASSERT_TRUE(WTgeometry_closesmooth(r));
  WTvertex *ridge = r->vertices->next->next;
  ASSERT_TRUE(ridge->normal);
  EXPECT_NEAR(ridge->normal[0], 0.0f, 1e-6);
  EXPECT_NEAR(ridge->normal[1], 0.0f, 1e-6);
  EXPECT_NEAR(ridge->normal[2], 1.0f, 1e-6);
  EXPECT_NEAR(r->vertices->normal[1], -sqrtf(0.5f), 1e-6);
  for (WTpoly *p = r->polys; p; p = p->next) EXPECT_TRUE(WTpoly_hasvnormals(p));
  WTgeometry_delete(r);
}

TEST(Editing, MovingOneCornerOfACubeRederivesOnlyItsThreeFaces) {
  geo::TablesReset reset;
  WTgeometry *g = WTgeometry_newblock(2, 2, 2, 0);
  ASSERT_TRUE(g);
  for (WTpoly *p = g->polys; p; p = p->next) p->radius = -1; // marks every face stale
  WTvertex *corner = g->vertices;                            // (1, 1, 1)
  ASSERT_TRUE(WTgeometry_beginedit(g));
  EXPECT_FALSE(WTgeometry_beginedit(g));
  WTp3 out = {1.01f, 1, 1}; // the +x face stays planar: 0.0025 off its mean plane
  ASSERT_TRUE(WTgeometry_setvertexposition(g, corner, out));
  ASSERT_TRUE(WTgeometry_endedit(g));
  int rederived = 0;
  for (WTpoly *p = g->polys; p; p = p->next) rederived += p->radius >= 0;
  EXPECT_EQ(rederived, 3);
  WTp3 ext, mid;
  WTgeometry_getextents(g, ext);
  WTgeometry_getmidpoint(g, mid);
  EXPECT_FLOAT_EQ(ext[0], 2.01f);
  EXPECT_NEAR(mid[0], 0.005f, 1e-6);
  EXPECT_FALSE(corner->flags & WTV_MOVED);
  WTgeometry_delete(g);
}

}  // namespace
