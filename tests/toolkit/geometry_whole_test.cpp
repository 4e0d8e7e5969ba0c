// Polygon and vertex operations, whole-geometry edits, merging, collapsing, outline boxes,
// rendering style, primitives and file dispatch.
#include <math.h>
#include <stdio.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geometry_support.h"
#include "textures.h"

using geo::P;

namespace {

class Geometry : public ::testing::Test {
 protected:
  geo::TablesReset reset;
  tk::TextureImages images;
};

// Every face of a closed convex solid centred on the origin points away from it.
void expectoutward(WTgeometry *g, const char *what) {
  for (WTpoly *p = g->polys; p; p = p->next) {
    WTp3 n, c;
    WTpoly_getnormal(p, n);
    WTpoly_getcg(p, c);
    EXPECT_GT(n[0] * c[0] + n[1] * c[1] + n[2] * c[2], 0.0f) << what;
  }
}

TEST_F(Geometry, PolygonColoursIdsAndQueries) {
  WTgeometry *g = geo::polygon({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  WTpoly *p = g->polys;
  WTmtable *t = WTgeometry_getmtable(g);
  float orange[3] = {1.0f, 0.5f, 0.0f};
  int id = _WTmtable_getrgbaid(t, orange, 1.0f);
  ASSERT_TRUE(WTpoly_setmatid(p, id));
  EXPECT_EQ(WTpoly_getcolor(p), 0xF70);
  // Ids wrap around the entry count.
  while (WTmtable_getnumentries(t) < 5) WTmtable_newentry(t);
  WTpoly_setmatid(p, 7);
  unsigned char r, gr, b;
  WTpoly_getrgb(p, &r, &gr, &b);
  EXPECT_EQ(r, 0); // entry 2 is a default (black) entry
  WTpoly_setmatid(p, 6);
  WTpoly_getrgb(p, &r, &gr, &b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(gr, 127);
  WTpoly_setrgb(p, 10, 20, 30);
  WTpoly_getrgb(p, &r, &gr, &b);
  EXPECT_EQ(b, 30);
  EXPECT_FALSE(WTpoly_setmatid(p, -1));
  EXPECT_EQ(WTpoly_getmatid(nullptr), -1);
  EXPECT_EQ(WTpoly_getcolor(nullptr), -1);
  EXPECT_EQ(WTpoly_getrendering(nullptr), 64);
  EXPECT_EQ(WTpoly_numvertices(nullptr), 65535);
  p->flags |= WTP_NORMALFIXED;
  WTpoly_setbothsides(p, 1);
  WTpoly_setbothsides(p, 0);
  EXPECT_FALSE(p->flags & (WTP_TWOSIDED | WTP_NORMALFIXED));
  EXPECT_FLOAT_EQ(WTpoly_getarea(p), 1.0f);
  g->polys->links = _WTvertexlinks_reverse(g->polys->links);
  _WTpoly_stats(p);
  EXPECT_FLOAT_EQ(WTpoly_getarea(p), 1.0f);
  WTgeometry_delete(g);
}

TEST_F(Geometry, VertexNormalsColoursAndStars) {
  WTgeometry *g = WTgeometry_begin();
  WTp3 pts[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}};
  for (auto &q : pts) WTgeometry_newvertex(g, q);
  _WTgeometry_addpoly3(g, 0, 1, 2, 0);
  WTvertex *loose = g->vertices->next->next->next;
  WTp3 n = {0, 0, 1}, zero = {0, 0, 0}, out;
  ASSERT_TRUE(WTgeometry_setvertexnormal(g, loose, n));
  EXPECT_FALSE(WTgeometry_setvertexnormal(g, loose, zero));
  ASSERT_TRUE(WTgeometry_getvertexnormal(g, loose, out));
  EXPECT_EQ(out[2], 1.0f);
  EXPECT_FALSE(WTgeometry_deletevertexnormal(g, loose)); // no polygon uses it
  EXPECT_TRUE(loose->normal);
  WTpolylist *star = _WTgeometry_getvertexstar(g, loose);
  EXPECT_EQ(WTpolylist_npolys(star), 0);
  WTpolylist_delete(star);
  EXPECT_EQ(WTgeometry_getvertexpolys(g, loose), nullptr);
  WTvertex *v0 = g->vertices;
  ASSERT_TRUE(WTgeometry_computevertexnormal(g, v0));
  EXPECT_FLOAT_EQ(v0->normal[2], 1.0f);
  ASSERT_TRUE(WTgeometry_setvertexrgb(g, v0, 1, 2, 3));
  unsigned char r, gr, b;
  ASSERT_TRUE(WTgeometry_getvertexrgb(g, v0, &r, &gr, &b));
  EXPECT_EQ(gr, 2);
  _WTgeometry_checkifopen(g);
  WTgeometry_delete(g);
}

TEST_F(Geometry, ScalingStretchingAndMoving) {
  WTgeometry *g = WTgeometry_newblock(2, 4, 6, 0);
  WTp3 ext, mid, origin = {0, 0, 0};
  WTgeometry_getextents(g, ext);
  EXPECT_EQ(ext[2], 6.0f);
  for (float f : {1.0f, 0.0f, -2.0f}) {
    WTgeometry_scale(g, f, origin);
    WTgeometry_getextents(g, ext);
    EXPECT_EQ(ext[0], 2.0f) << f;
  }
  WTp3 m = {1, 2, 3};
  WTgeometry_scale(g, 2.0f, origin);
  WTgeometry_getextents(g, ext);
  EXPECT_EQ(ext[1], 8.0f);
  WTgeometry_translate(g, m);
  WTgeometry_getmidpoint(g, mid);
  EXPECT_EQ(mid[2], 3.0f);
  EXPECT_EQ(g->vcopy->position[0], 2.0f); // the copy list is not scaled but is moved
  // A stretch bends vertex normals: (1, 1, 0)/sqrt2 over (2, 1, 1) is (0.5, 1, 0) made unit.
  WTp3 n = {sqrtf(0.5f), sqrtf(0.5f), 0}, f = {2, 1, 1};
  WTgeometry_setvertexnormal(g, g->vertices, n);
  WTgeometry_stretch(g, f, origin);
  EXPECT_NEAR(g->vertices->normal[0], 0.5f / sqrtf(1.25f), 1e-6);
  EXPECT_NEAR(g->vertices->normal[1], 1.0f / sqrtf(1.25f), 1e-6);
  WTgeometry_getextents(g, ext);
  EXPECT_EQ(ext[0], 8.0f);
  expectoutward(g, "stretched");
  WTgeometry_delete(g);
}

TEST_F(Geometry, TransformTurnsVertexNormalsWithThePositions) {
  WTgeometry *g = WTgeometry_newblock(2, 2, 2, 0);
  WTp3 n = {1, 0, 0};
  WTgeometry_setvertexnormal(g, g->vertices, n); // vertex 0 at (1, 1, 1)
  WTpq pose = {{0, 0, 0}, {0, 0, sinf(0.7853982f), cosf(0.7853982f)}}; // a quarter turn about z
  WTgeometry_transform(g, &pose);
  WTp3 p, expect;
  _WTq_rotatepoint(n, pose.q, expect);
  for (int i = 0; i < 3; i++) EXPECT_NEAR(g->vertices->normal[i], expect[i], 1e-6) << i;
  WTp3 corner = {1, 1, 1};
  _WTq_rotatepoint(corner, pose.q, p);
  for (int i = 0; i < 3; i++) EXPECT_NEAR(g->vertices->position[i], p[i], 1e-6) << i;
  expectoutward(g, "turned");
  WTgeometry_delete(g);
}

TEST_F(Geometry, MergingCopiesPolygonsMapsColoursAndIgnoresItself) {
  WTgeometry *a = WTgeometry_newblock(1, 1, 1, 0), *b = WTgeometry_newblock(1, 1, 1, 0);
  WTgeometry_setrgb(b, 0, 0, 255);
  EXPECT_EQ(WTgeometry_merge(a, a), a->polys);
  EXPECT_EQ(a->npolys, 6);
  const WTp3 centre = {0, 0, 0};
  const WTpq pose = {{3, 0, 0}, {0, 0, 0, 1}};
  WTpoly *first = _WTgeometry_mergepq(a, b, centre, &pose, 0, 0);
  ASSERT_TRUE(first);
  EXPECT_EQ(a->npolys, 12);
  int count = 0;
  for (WTpoly *p = a->polys; p; p = p->next) count++;
  EXPECT_EQ(count, 12);
  unsigned char r, g, bl;
  WTpoly_getrgb(first, &r, &g, &bl);
  EXPECT_EQ(bl, 255);
  WTp3 ext;
  WTgeometry_getextents(a, ext);
  EXPECT_FLOAT_EQ(ext[0], 4.0f);
  for (WTvertex *v = a->vertices; v; v = v->next) EXPECT_FALSE(v->flags & WTV_MOVED);
  WTgeometry_delete(b);
  WTgeometry_delete(a);
}

TEST_F(Geometry, MergingKeepsIdsThatNoMapCovers) {
  WTgeometry *a = WTgeometry_newblock(1, 1, 1, 0), *b = WTgeometry_newblock(1, 1, 1, 0);
  // A negative id is kept, never used to index the map.
  WTgeometry_setrgb(b, 0, 255, 0);
  b->polys->matid = -2;
  WTpoly *first = WTgeometry_merge(a, b);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->matid, -2);
  EXPECT_EQ(first->next->matid, 1);
  // A source table without entries leaves the ids as they are.
  WTgeometry_setmtable(b, WTmtable_new(WTDIFFUSE, 1, "empty"));
  b->polys->matid = 5;
  first = WTgeometry_merge(a, b);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->matid, 5);
  // Without a table on the target the ids are kept too.
  WTgeometry *c = WTgeometry_newblock(1, 1, 1, 0);
  _WTmtable_detach(c->mtable, c);
  WTgeometry_setmatid(b, 1);
  first = WTgeometry_merge(c, b);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->matid, 1);
  for (WTgeometry *g : {a, b, c}) WTgeometry_delete(g);
}

// A flat fan of `n` triangles round the origin; the centre is the first vertex.
WTgeometry *fan(int n) {
  WTgeometry *g = WTgeometry_begin();
  WTp3 c = {0, 0, 0};
  WTgeometry_newvertex(g, c);
  for (int i = 0; i < n; i++) {
    WTp3 p = {cosf(6.2831853f * i / n), sinf(6.2831853f * i / n), 0};
    WTgeometry_newvertex(g, p);
  }
  for (int i = 0; i < n; i++) _WTgeometry_addpoly3(g, 0, 1 + i, 1 + (i + 1) % n, 0);
  WTgeometry_close(g);
  return g;
}

TEST_F(Geometry, CollapsingTheCentreOfAFanRetriangulatesTheHoleForAnyRingSize) {
  for (int n : {6, 150}) {
    WTgeometry *g = fan(n);
    int vertices = 0;
    for (WTvertex *v = g->vertices; v; v = v->next) vertices++;
    ASSERT_TRUE(WTgeometry_colapsevertex(g, g->vertices, 0.001f)) << n;
    EXPECT_EQ(g->npolys, n - 2) << n;
    int after = 0;
    for (WTvertex *v = g->vertices; v; v = v->next) after++;
    EXPECT_EQ(after, vertices - 1) << n;
    float area = 0;
    for (WTpoly *p = g->polys; p; p = p->next) {
      EXPECT_TRUE(WTpoly_getbothsides(p));
      EXPECT_EQ(WTpoly_numvertices(p), 3);
      area += WTpoly_getarea(p);
    }
    EXPECT_NEAR(area, 0.5f * n * sinf(6.2831853f / n), 1e-4) << n;
    WTgeometry_delete(g);
  }
}

TEST_F(Geometry, OutlineBoxRenderingStyleAndFiles) {
  WTgeometry *g = WTgeometry_newblock(2, 2, 2, 0);
  WTgeometry *box = _WTgeometry_boundboxfromgeometry(g, 0.1f);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->npolys, 12);
  EXPECT_STREQ(WTgeometry_getname(box), "untitled");
  WTp3 ext;
  WTgeometry_getextents(box, ext);
  EXPECT_GT(ext[0], 2.0f);
  for (WTpoly *p = box->polys; p; p = p->next) EXPECT_TRUE(WTpoly_getbothsides(p));
  WTgeometry_delete(box);

  int universe = WTgeometry_getrenderingstyle(g);
  EXPECT_TRUE(WTgeometry_setrenderingstyle(g, 1, 0));
  EXPECT_EQ(WTgeometry_getrenderingstyle(g), universe & ~1);
  EXPECT_TRUE(WTgeometry_setrenderingstyle(g, 0, 1)); // style 0: bits 1, 4, 8 inverted
  EXPECT_EQ(g->stylemask, 13);
  EXPECT_EQ(g->stylevalue, 0);
  EXPECT_TRUE(WTgeometry_setrenderingstyle(g, 128, 1));
  EXPECT_EQ(WTgeometry_getrenderingstyle(g), 128);
  EXPECT_FALSE(WTgeometry_setrenderingstyle(g, 255, 1));
  EXPECT_FALSE(WTgeometry_setrenderingstyle(g, 4, 2));
  EXPECT_TRUE(WTgeometry_setrenderingstyle(g, 255, 64));
  EXPECT_EQ(WTgeometry_getrenderingstyle(g), universe);

  char path[] = "geometry_save_test.nff";
  remove(path);
  EXPECT_FALSE(WTgeometry_save(g, path, nullptr, 4));
  EXPECT_EQ(fopen(path, "rb"), nullptr);
  FILE *f = tmpfile();
  tk::Captured captured;
  WTpq pose;
  EXPECT_EQ(_WTgeometry_load(f, "x.dat", 3, &pose, 1.0f, 0), nullptr);
  EXPECT_NE(captured.all().find("Unknown file type: 3 of file x.dat\n"), std::string::npos);
  EXPECT_EQ(pose.q[3], 1.0f);
  WTgeometry_delete(g);
}

TEST_F(Geometry, PrimitivesFaceOutwardWithTheirCounts) {
  WTp2 square[5] = {{0, 0}, {1, 0}, {1, 0}, {1, 1}, {0, 1}}; // clockwise from +y, one repeat
  const struct {
    WTgeometry *g;
    const char *name;
    int vertices, polys;
  } cases[] = {
      {WTgeometry_newcylinder(2, 1, 3, 0, 0), "cylinder", 6, 5},
      {WTgeometry_newcylinder(2, 1, 3, 0, 1), "cylinder", 12, 5},
      {WTgeometry_newcylinder(0.004f, 1, 8, 0, 0), "cylinder", 16, 10},
      {WTgeometry_newblock(2, 4, 6, 0), "block", 8, 6},
      {WTgeometry_newcone(2, 1, 4, 0), "cone", 5, 5},
      {WTgeometry_newsphere(1, 2, 3, 0, 0), "sphere", 5, 6},
      {WTgeometry_newsphere(1, 4, 6, 0, 1), "sphere", 20, 24},
      {WTgeometry_newhemisphere(1, 2, 8, 0, 0), "hemisphere", 17, 16},
      {WTgeometry_newextrusion(square, 5, 1, 0, 0), "extrusion", 8, 6},
      {WTgeometry_newtruncone(2, 1, 0.5f, 6, 0, 1), "trunc_cone", 24, 8},
      {WTgeometry_newrectangle(1, 0.0041f, 0), "rectangle", 4, 1},
  };
  for (const auto &c : cases) {
    ASSERT_TRUE(c.g) << c.name;
    EXPECT_STREQ(WTgeometry_getname(c.g), c.name);
    int n = 0;
    for (WTvertex *v = c.g->vertices; v; v = v->next) n++;
    EXPECT_EQ(n, c.vertices) << c.name;
    EXPECT_EQ(c.g->npolys, c.polys) << c.name;
    if (std::string(c.name) == "extrusion") {
      WTp3 shift = {-0.5f, 0, -0.5f};
      WTgeometry_translate(c.g, shift);
    }
    if (std::string(c.name) != "rectangle" && std::string(c.name) != "hemisphere")
      expectoutward(c.g, c.name);
    WTgeometry_delete(c.g);
  }
  const float reversed[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  for (int i = 0; i < 4; i++) EXPECT_TRUE(square[i][0] == reversed[i][0] && square[i][1] == reversed[i][1]) << i;
  EXPECT_EQ(WTgeometry_newcylinder(0.0039f, 1, 8, 0, 0), nullptr);
  EXPECT_EQ(WTgeometry_newrectangle(1, 0.004f, 0), nullptr);
  WTp2 bad[3] = {{0, 0}, {0, 0}, {1, 0}};
  EXPECT_EQ(WTgeometry_newextrusion(bad, 3, 1, 0, 0), nullptr);
  WTgeometry *cone = WTgeometry_newcone(2, 1, 4, 0);
  WTp3 p;
  WTvertex_getposition(cone->vertices, p);
  EXPECT_EQ(p[2], 1.0f);
  EXPECT_EQ(p[1], 1.0f);
  WTgeometry_delete(cone);
  WTgeometry *inside = WTgeometry_newcylinder(-2, 1, 8, 0, 0);
  ASSERT_TRUE(inside);
  for (WTpoly *q = inside->polys; q; q = q->next) {
    WTp3 n, c;
    WTpoly_getnormal(q, n);
    WTpoly_getcg(q, c);
    EXPECT_LT(n[0] * c[0] + n[1] * c[1] + n[2] * c[2], 0.0f);
  }
  WTgeometry_delete(inside);
}

TEST_F(Geometry, RecordsListsAndCopies) {
  WTgeometry *g = WTgeometry_newblock(1, 1, 1, 0);
  WTpoly_settextureuv(g->polys, "wood", std::vector<float>(4, 0.5f).data(),
                      std::vector<float>(4, 0.25f).data(), 0, 0);
  WTgeometry *c = WTgeometry_copy(g);
  EXPECT_EQ(WTgeometry_getmtable(c), WTgeometry_getmtable(g));
  EXPECT_NE(c->vertices, g->vertices);
  EXPECT_NE(c->polys->texture, g->polys->texture);
  EXPECT_EQ(c->polys->links->vertex, c->vertices->next == nullptr ? nullptr : c->polys->links->vertex);
  for (WTpoly *p = c->polys; p; p = p->next)
    for (WTvertexlink *l = p->links; l; l = l->next) {
      bool own = false;
      for (WTvertex *v = c->vertices; v; v = v->next) own |= v == l->vertex;
      EXPECT_TRUE(own);
    }
  g->refcount = 3;
  EXPECT_EQ(WTgeometry_delete(g), 2);
  g->refcount = 1;
  EXPECT_EQ(WTgeometry_delete(g), 0);
  EXPECT_EQ(c->npolys, 6);
  EXPECT_EQ(c->polys->texture->u[0], 0.5f);

  WTpolylist *l = WTpolylist_addpoly(nullptr, c->polys);
  l = WTpolylist_addpoly(l, c->polys->next);
  EXPECT_EQ(l->poly, c->polys->next);
  EXPECT_EQ(WTpolylist_npolys(l), 2);
  WTgeometry *part = _WTgeometry_copyplist(c, l);
  EXPECT_EQ(part->npolys, 2);
  int n = 0;
  for (WTvertex *v = part->vertices; v; v = v->next) n++;
  EXPECT_EQ(n, 8); // the last two faces made, -y and +y, share no corner
  WTpolylist_delete(l);

  // Joining three geometries of which the middle one is empty.
  WTgeometry *empty = _WTgeometry_new(nullptr);
  WTgeomlist *list = _WTgeomlist_add(_WTgeomlist_add(_WTgeomlist_add(nullptr, part), empty), c);
  EXPECT_TRUE(_WTgeomlist_glom(list));
  EXPECT_EQ(list->next, nullptr);
  EXPECT_EQ(c->npolys, 8);
  for (WTpoly *p = c->polys; p; p = p->next) EXPECT_EQ(p->geometry, c);
  _WTgeomlist_delete(list);
  WTgeometry_delete(c);

  // The last polygon of an object's geometry stays.
  WTgeometry *one = geo::polygon({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  one->object = reinterpret_cast<WTobject *>(one);
  tk::Captured captured;
  EXPECT_FALSE(WTpoly_delete(one->polys));
  EXPECT_NE(captured.all().find("Can't delete the last polygon in an object.\n"), std::string::npos);
  one->object = nullptr;
  EXPECT_TRUE(WTpoly_delete(one->polys));
  EXPECT_EQ(one->npolys, 0);
  WTgeometry_delete(one);
}

}  // namespace
