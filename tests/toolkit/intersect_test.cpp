// Polygon intersection: pairs under poses, polygons and nodes placed by node paths, boxes, and
// the object layer's queries.
#include <math.h>

#include <vector>

#include <gtest/gtest.h>

#include "geometry_support.h"
#include "scene.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/intersect.h"
#include "toolkit/geometry/objects.h"

namespace {

using geo::P;

class Intersect : public tk::Universe {
 protected:
  WTpoly *poly(const std::vector<P> &points) {
    WTgeometry *g = geo::polygon(points);
    made.push_back(g);
    return WTgeometry_getpolys(g);
  }
  void TearDown() override {
    for (WTgeometry *g : made)
      if (!g->node && !g->object) WTgeometry_delete(g);
    tk::Universe::TearDown();
  }
  std::vector<WTgeometry *> made;
  geo::TablesReset reset;
};

// A unit square in the plane z = 0 and one in the plane y = 0, each about its centre.
std::vector<P> flat(float cx, float cy, float cz, float h) {
  return {{cx - h, cy - h, cz}, {cx + h, cy - h, cz}, {cx + h, cy + h, cz}, {cx - h, cy + h, cz}};
}
std::vector<P> upright(float cx, float cy, float cz, float h) {
  return {{cx - h, cy, cz - h}, {cx + h, cy, cz - h}, {cx + h, cy, cz + h}, {cx - h, cy, cz + h}};
}

const WTq still = {0, 0, 0, 1};

TEST_F(Intersect, PairsUnderPoses) {
  const WTp3 here = {0, 0, 0};
  // A quarter turn about x stands a flat square upright.
  const WTq quarter = {sinf(0.7853982f), 0, 0, cosf(0.7853982f)};
  const struct {
    const char *what;
    std::vector<P> a, b;
    WTp3 pb;
    const float *qb;
    int meet;
  } cases[] = {
      {"links of a chain", flat(0, 0, 0, 1), upright(1, 0, 0, 1), {0, 0, 0}, still, 1},
      {"coplanar overlapping", flat(0, 0, 0, 1), flat(0.5f, 0.5f, 0, 1), {0, 0, 0}, still, 0},
      {"parallel above", flat(0, 0, 0, 1), flat(0, 0, 0.5f, 1), {0, 0, 0}, still, 0},
      {"moved away by the pose", flat(0, 0, 0, 1), upright(1, 0, 0, 1), {5, 0, 0}, still, 0},
      {"turned into the other", flat(0, 0, 0, 1), flat(1, 0, 0, 1), {0, 0, 0}, quarter, 1},
      {"crossing through the middle", flat(0, 0, 0, 2), upright(0, 0, 0, 1), {0, 0, 0}, still, 1},
      {"crossing the plane beside", flat(0, 0, 0, 1), upright(2.2f, 0, 0, 1), {0, 0, 0}, still, 0},
  };
  for (const auto &c : cases) {
    WTpoly *a = poly(c.a), *b = poly(c.b);
    EXPECT_EQ(_WTgeometry_intersect(a, here, still, b, c.pb, c.qb), c.meet) << c.what;
    EXPECT_EQ(_WTgeometry_intersect(b, c.pb, c.qb, a, here, still), c.meet) << c.what;
  }
  // Spheres apart decide before any vertex is looked at: a radius made too small hides a real
  // crossing.
  WTpoly *a = poly(flat(0, 0, 0, 1)), *b = poly(upright(1, 0, 0, 1));
  a->radius = b->radius = 0.1f;
  EXPECT_EQ(_WTgeometry_intersect(a, here, still, b, here, still), 0);
}

TEST_F(Intersect, NodePathsPlaceTheirPolygonsAndTargets) {
  WTnode *sepa = WTsepnode_new(root);
  WTnode *move = WTxformnode_new(sepa);
  WTnode *na = WTgeometrynode_new(sepa, geo::polygon(flat(0, 0, 0, 1)));
  WTnode *group = WTgroupnode_new(root);
  WTnode *nb = WTgeometrynode_new(group, geo::polygon(upright(1, 0, 0, 1)));
  WTpoly *a = WTgeometry_getpolys(WTnode_getgeometry(na));
  WTpoly *b = WTgeometry_getpolys(WTnode_getgeometry(nb));
  WTnodepath *pa = _WTnodepath_new(na, root, 0), *pb = _WTnodepath_new(nb, root, 0);
  WTnodepath *pg = _WTnodepath_new(group, root, 0);
  ASSERT_TRUE(pa && pb && pg);
  EXPECT_EQ(_WTnodepath_intersectpolys(a, pa, b, pb), 1);
  EXPECT_EQ(_WTnodepath_intersectpolys(a, pa, a, pa), 0);  // never itself
  EXPECT_EQ(_WTnodepath_intersectpolynode(a, pa, pg), 1);
  EXPECT_EQ(_WTnodepath_intersectnodes(pa, pg), 1);
  EXPECT_EQ(_WTnodepath_intersectnodes(pg, pa), 1);
  EXPECT_EQ(_WTnodepath_intersectpolybox(a, pa, pb), 1);
  WTp3 away = {0, 0, 5};
  WTnode_settranslation(move, away);  // lifts a above b
  EXPECT_EQ(_WTnodepath_intersectpolys(a, pa, b, pb), 0);
  EXPECT_EQ(_WTnodepath_intersectpolynode(a, pa, pg), 0);
  EXPECT_EQ(_WTnodepath_intersectnodes(pa, pg), 0);
  EXPECT_EQ(_WTnodepath_intersectpolybox(a, pa, pb), 0);
  for (WTnodepath *p : {pa, pb, pg}) _WTnodepath_delete(p);
}

TEST_F(Intersect, PolygonAgainstABox) {
  WTnode *box = WTgeometrynode_new(root, WTgeometry_newblock(2, 2, 2, 0));  // half sizes 1
  WTnodepath *pbox = _WTnodepath_new(box, root, 0);
  const struct {
    const char *what;
    std::vector<P> points;
    int meet;
  } cases[] = {
      {"a corner inside", flat(1.2f, 1.2f, 0.5f, 0.5f), 1},
      {"cutting through, no vertex inside", flat(0, 0, 0.3f, 3), 1},
      {"an edge through two faces", {{-3, 0.2f, 0.1f}, {3, 0.2f, 0.1f}, {3, 0.2f, 5}}, 1},
      {"beside one face", flat(0, 0, 1.5f, 3), 0},
      {"far away", flat(20, 0, 0, 1), 0},
      {"past a corner", {{1.5f, 3, 0}, {3, 1.5f, 0}, {3, 3, 0}}, 0},
  };
  for (const auto &c : cases) {
    WTnode *n = WTgeometrynode_new(root, geo::polygon(c.points));
    WTnodepath *p = _WTnodepath_new(n, root, 0);
    EXPECT_EQ(_WTnodepath_intersectpolybox(WTgeometry_getpolys(WTnode_getgeometry(n)), p, pbox),
              c.meet)
        << c.what;
    _WTnodepath_delete(p);
  }
  _WTnodepath_delete(pbox);
}

TEST_F(Intersect, ObjectQueriesFollowThePosesAndSkipTheirOwnPolygons) {
  WTobject *a = _WTobject_newblock(2, 2, 2, 0), *b = _WTobject_newblock(2, 2, 2, 0);
  WTp3 apart = {10, 0, 0}, above = {0, 0, 2.5f}, overlapping = {1, 0.5f, 0.5f};
  _WTobject_setposition(b, above);  // near enough to be looked at, yet clear of a
  for (WTpoly *p = _WTobject_firstpoly(a); p; p = p->next)
    EXPECT_EQ(_WTpoly_intersectobject(p, b, 5), nullptr);
  _WTobject_setposition(b, apart);
  WTpoly *pa = _WTobject_firstpoly(a);
  EXPECT_EQ(_WTpoly_intersectobject(pa, a, 5), nullptr);  // its own object
  EXPECT_EQ(_WTpoly_intersectpoly(pa, pa), 0);
  EXPECT_EQ(_WTpoly_intersectobject(pa, b, 5), nullptr);
  EXPECT_EQ(_WTpoly_hitsobject(pa, b), 0);
  _WTobject_setposition(b, overlapping);
  int hits = 0;
  WTpoly *hitbyall = nullptr;
  for (WTpoly *p = _WTobject_firstpoly(a); p; p = p->next) {
    WTpolylist *l = _WTpoly_intersectobject(p, b, 1);
    if (!l) continue;
    hits++;
    EXPECT_EQ(l->next, nullptr);  // at most the maximum
    EXPECT_EQ(_WTpoly_hitsobject(p, b), 1);
    EXPECT_EQ(_WTpoly_intersectpoly(p, l->poly), 1);
    hitbyall = p;
    WTpolylist_delete(l);
  }
  EXPECT_GT(hits, 0);
  ASSERT_TRUE(hitbyall);
  EXPECT_EQ(_WTpoly_intersectobject(hitbyall, b, 0), nullptr);
  _WTobject_delete(b);
  EXPECT_EQ(_WTpoly_intersectobject(hitbyall, b, 5), nullptr);  // deleted
}

TEST_F(Intersect, TheSceneQueryListsNewestHitFirstUpToTheMaximum) {
  // Three upright walls at x = -1, 0, 1 make the static scene; a floor square crosses them all.
  WTgeometry *walls = WTgeometry_begin();
  int made = 0;
  for (float x : {-1.0f, 0.0f, 1.0f}) {
    WTpoly *w = WTgeometry_beginpoly(walls);
    for (const P &p : std::vector<P>{{x, -1, -1}, {x, 1, -1}, {x, 1, 1}, {x, -1, 1}}) {
      WTp3 pos = {p.x, p.y, p.z};
      WTgeometry_newvertex(walls, pos);
      WTpoly_addvertex(w, made++);
    }
    WTpoly_close(w);
  }
  ASSERT_TRUE(WTgeometry_close(walls));
  *_WTuniverse_rootobjectslot() = _WTobject_new(walls);
  WTpoly *first = WTgeometry_getpolys(walls), *second = first->next;
  WTobject *mover = _WTobject_new(geo::polygon(flat(0, 0, 0, 3)));
  WTpoly *floor = _WTobject_firstpoly(mover);
  EXPECT_EQ(_WTpoly_intersectscene(floor, 0), nullptr);
  WTpolylist *two = _WTpoly_intersectscene(floor, 2);
  ASSERT_TRUE(two && two->next);
  EXPECT_EQ(two->poly, second);  // found after the first
  EXPECT_EQ(two->next->poly, first);
  EXPECT_EQ(two->next->next, nullptr);
  WTpolylist_delete(two);
  EXPECT_EQ(_WTpoly_hitsscene(floor), 1);
  WTp3 high = {0, 0, 10};
  _WTobject_setposition(mover, high);
  EXPECT_EQ(_WTpoly_intersectscene(floor, 2), nullptr);
  EXPECT_EQ(_WTpoly_hitsscene(floor), 0);
  _WTobject_free(mover);
}

}  // namespace
