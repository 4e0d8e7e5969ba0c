// Ray casts and picking: window picks invert the point projection, the walk chooses what drawing
// draws, and the single-polygon tests.
#include <math.h>

#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "geometry_support.h"
#include "scene.h"
#include "support.h"
#include "toolkit/core/nodepath.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/context.h"
#include "toolkit/render/drawstate.h"
#include "toolkit/render/view.h"

namespace {


struct V {
  float x, y, z;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V operator*(float k, V a) { return {k * a.x, k * a.y, k * a.z}; }
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V unit(V a) {
  float l = sqrtf(a.x * a.x + a.y * a.y + a.z * a.z);
  return {a.x / l, a.y / l, a.z / l};
}

class Pick : public tk::Universe {
 protected:
  // A square of half size h about c in the plane spanned by u and v; two-sided unless asked.
  WTpoly *quad(WTnode *parent, V c, V u, V v, float h, bool twosided = true) {
    std::vector<geo::P> pts;
    for (V corner : {c + (-h) * u + (-h) * v, c + h * u + (-h) * v, c + h * u + h * v,
                     c + (-h) * u + h * v})
      pts.push_back({corner.x, corner.y, corner.z});
    WTgeometry *g = geo::polygon(pts);
    WTpoly *p = WTgeometry_getpolys(g);
    if (twosided) WTpoly_setbothsides(p, 1);
    WTgeometrynode_new(parent, g);
    return p;
  }
  // A square facing +z at depth z on the z axis.
  WTpoly *facing(WTnode *parent, float z, float x = 0.0f) {
    return quad(parent, {x, 0, z}, {1, 0, 0}, {0, 1, 0}, 1.0f, false);
  }
  WTpoly *cast(WTnode *start, WTnodepath **path = nullptr, float *distance = nullptr) {
    WTp3 o = {0, 0, 10}, d = {0, 0, -1};
    return WTnode_rayintersect(start, d, o, distance, path);
  }
  WTwindow *window(int width, int height) {
    WTwindow *w = WTwindow_newuser(nullptr, 0x1);
    WTwindow_setposition(w, 0, 0, width, height);
    return w;
  }
  geo::TablesReset reset;
};

// Each case turns the viewpoint and picks one projection; every square's projected centre must
// pick that square.
TEST_F(Pick, ProjectedCentrePicksItsPolygonForEveryProjection) {
  WTwindow *w = window(200, 150);
  const float H = static_cast<float>(w->height);
  WTwindow_setviewport(w, 20, 10, 150, 120);
  WTviewpoint *vp = _WTuniverse_getviewpoint();
  WTp3 at = {3, -2, 5};
  WTviewpoint_setposition(vp, at);
  WTviewpoint_setparallax(vp, 0.6f);
  WTviewpoint_setconvergencedist(vp, 30.0f);
  const struct {
    int projection;
    float q[4];
    int convergence;
  } cases[] = {
      {1, {0, 0, 0, 1}, 0},          {1, {0, 0.3007f, 0, 0.9537f}, 0},
      {1, {0.1f, 0.3f, -0.05f, 0.95f}, 0}, {2, {0.1f, 0.3f, -0.05f, 0.95f}, 0},
      {2, {0, 0, 0, 1}, 7},          {3, {0, 0, 0, 1}, 0},
      {3, {0.2f, -0.1f, 0.1f, 0.9f}, 0},   {4, {0, 0, 0, 1}, 0},
      {4, {0.2f, -0.1f, 0.1f, 0.9f}, 0},
  };
  for (const auto &c : cases) {
    while (WTnode *child = WTnode_getchild(root, 0)) WTnode_delete(child);
    WTq q = {c.q[0], c.q[1], c.q[2], c.q[3]};
    float n = sqrtf(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (float &k : q) k /= n;
    WTviewpoint_setorientation(vp, q);
    WTviewpoint_setconvergence(vp, c.convergence);
    WTwindow_setprojection(w, c.projection);
    if (c.projection == 3) WTwindow_setfrustum(w, 0, -0.05f, 0.15f, -0.06f, 0.09f, 0.1f, 1000.0f);
    if (c.projection == 4) WTwindow_setfrustum(w, 0, -8.0f, 12.0f, -6.0f, 9.0f, 0.1f, 1000.0f);
    WTp3 dir;
    WTviewpoint_getdirection(vp, dir);
    V z = unit({dir[0], dir[1], dir[2]});
    V u = unit(cross(z, {0.3f, 1, 0.2f})), v = cross(z, u);
    V eye = {at[0], at[1], at[2]};
    const float offsets[][2] = {{0, 0}, {3, 2}, {-4, -1}, {2, -3}, {-2, 3}};
    std::vector<std::pair<WTpoly *, V>> squares;
    for (const auto &o : offsets) {
      V centre = eye + 20.0f * z + o[0] * u + o[1] * v;
      squares.push_back({quad(root, centre, u, v, 0.8f), centre});
    }
    w->projkey = 0;
    for (size_t i = 0; i < squares.size(); i++) {
      const V &centre = squares[i].second;
      WTp3 p = {centre.x, centre.y, centre.z};
      float px[2];
      ASSERT_TRUE(WTwindow_projectpoint(w, 0, p, px)) << c.projection << " square " << i;
      float client[2] = {px[0], H - px[1]};
      WTnodepath *path = nullptr;
      WTp3 hit;
      WTpoly *picked = WTwindow_pickatpoint(WTwindow_getidx(w), client, &path, hit);
      EXPECT_EQ(picked, squares[i].first) << "projection " << c.projection << " square " << i;
      EXPECT_NEAR(hit[0], centre.x, 0.3f);
      EXPECT_NEAR(hit[1], centre.y, 0.3f);
      EXPECT_NEAR(hit[2], centre.z, 0.3f);
      ASSERT_TRUE(path);
      EXPECT_EQ(_WTnodepath_getnode(path, _WTnodepath_numnodes(path) - 1),
                _WTgeometry_getnode(WTpoly_getgeometry(picked)));
      _WTnodepath_delete(path);
    }
  }
  // Outside the viewport there is no ray and no pick.
  float outside[2] = {5, 5};
  WTp3 o, d;
  EXPECT_FALSE(WTwindow_getray(w, outside, o, d));
  EXPECT_EQ(WTwindow_pickatpoint(WTwindow_getidx(w), outside, nullptr, o), nullptr);
}

TEST_F(Pick, SplitStereoPicksInEitherHalfAndNothingInTheGap) {
  WTwindow *w = window(100, 100);
  w->displaymode = 4;
  const int H = w->height;
  WTrendercontext *rc = _WTrender_context();
  const int gap = rc ? rc->splitgap : 18, half = (H - gap) / 2;
  WTp3 at = {0, 0, -20};  // looking down +z
  WTviewpoint_setposition(_WTuniverse_getviewpoint(), at);
  WTpoly *square = quad(root, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 2.0f);
  WTp3 centre = {0, 0, 0};
  for (int eye = 0; eye < 2; eye++) {
    w->projkey = 0;
    float px[2];
    ASSERT_TRUE(WTwindow_projectpoint(w, eye, centre, px));
    float client[2] = {px[0], H - px[1]};
    EXPECT_NEAR(client[1], eye == 0 ? half / 2.0f : H - half / 2.0f, 0.01f);
    WTp3 hit;
    EXPECT_EQ(WTwindow_pickatpoint(WTwindow_getidx(w), client, nullptr, hit), square) << eye;
  }
  for (int y : {half + 1, H / 2, H - half - 1}) {
    float between[2] = {50, static_cast<float>(y)};
    WTp3 hit, o, d;
    EXPECT_EQ(WTwindow_pickatpoint(WTwindow_getidx(w), between, nullptr, hit), nullptr) << y;
    EXPECT_FALSE(WTwindow_getray(w, between, o, d)) << y;
  }
}

TEST_F(Pick, NothingNearerThanTheHitherIsPicked) {
  WTwindow *w = window(100, 100);
  WTp3 at = {0, 0, -10};  // looking down +z
  WTviewpoint_setposition(_WTuniverse_getviewpoint(), at);
  WTpoly *far = quad(root, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 2.0f);
  WTpoly *close = quad(root, {0, 0, -9.5f}, {1, 0, 0}, {0, 1, 0}, 2.0f);
  float centre[2] = {w->width / 2.0f, w->height / 2.0f};
  WTp3 hit;
  WTwindow_sethither(w, 0.1f);
  EXPECT_EQ(WTwindow_pickatpoint(WTwindow_getidx(w), centre, nullptr, hit), close);
  WTwindow_sethither(w, 1.0f);
  EXPECT_EQ(WTwindow_pickatpoint(WTwindow_getidx(w), centre, nullptr, hit), far);
  WTwindow_enable(w, 0);
  EXPECT_EQ(WTwindow_pickatpoint(WTwindow_getidx(w), centre, nullptr, hit), nullptr);
  EXPECT_EQ(_WTwindow_pickatscreenpoint(WTwindow_getidx(w), centre), far);
}

// Drawing and picking look down the same axis; what picking finds must be the nearest of what
// drawing draws.
TEST_F(Pick, ChoosesWhatDrawingDraws) {
  WTdrawstate *state = _WTdrawstate_new();
  auto drawn = [&]() {
    _WTdrawstate_reset(state, 13);
    state->hither = 0.1f, state->yon = 1000.0f;
    for (auto &pl : state->planes) pl[0] = pl[1] = pl[2] = 0, pl[3] = 1000;
    state->matrices[0].m[3][2] = -10;  // the eye at z = 10, as the ray's origin
    _WTnode_buildlist(state, root);
    std::set<WTgeometry *> g;
    for (const WTrenderitem &i : state->opaque)
      if (i.kind == WTITEM_GEOMETRY) g.insert(static_cast<WTgeometry *>(i.ptr));
    return g;
  };
  auto expectagree = [&](const std::string &what) {
    std::set<WTgeometry *> d = drawn();
    WTgeometry *nearest = nullptr;  // squares stand at z = their order below, so highest z wins
    float best = -1e9f;
    for (WTgeometry *g : d)
      if (g->mid[2] > best) best = g->mid[2], nearest = g;
    WTpoly *p = cast(root);
    EXPECT_EQ(p ? WTpoly_getgeometry(p) : nullptr, nearest) << what;
  };
  WTnode *sw = WTswitchnode_new(root);
  facing(sw, 0.0f), facing(sw, 1.0f);
  for (int which : {-1, -3, 0, 1, 5, -2, -7}) {
    sw->u.whichchild = which;  // indexes below -1 other than -3 come from files
    expectagree("switch " + std::to_string(which));
  }
  WTnode_delete(sw);
  WTnode *lod = WTlodnode_new(root);
  facing(lod, 2.0f), facing(lod, 1.0f), facing(lod, 0.0f);
  const struct { std::vector<float> ranges; } lods[] = {{{20, 30}}, {{5, 30}}, {{5, 8}}, {{5}}, {{10, 20}}};
  for (const auto &l : lods) {
    WTlodnode_setrange(lod, l.ranges.data(), static_cast<int>(l.ranges.size()));
    expectagree("lod " + std::to_string(l.ranges.size()) + " from " + std::to_string(l.ranges[0]));
  }
  WTnode_delete(lod);
  WTnode *sep = WTsepnode_new(root);
  facing(sep, 3.0f);
  facing(root, 0.0f);
  expectagree("separator");
  WTnode_enable(sep, 0);
  expectagree("disabled separator");
  _WTdrawstate_delete(state);
}

TEST_F(Pick, TransformsMoveWhatFollowsUntilTheirSeparatorEnds) {
  WTp3 away = {100, 0, 0};
  // A transform after a geometry does not move it; it moves the ones after it up to the end of
  // their separator.
  WTnode *sep = WTsepnode_new(root);
  WTpoly *first = facing(sep, 0.0f);
  WTnode *x = WTxformnode_new(sep);
  WTnode_settranslation(x, away);
  WTpoly *moved = facing(sep, 2.0f, -100.0f);  // on the axis only through the transform
  WTpoly *after = facing(root, 3.0f);           // after the separator: not moved
  EXPECT_EQ(cast(root), after);
  WTnode_delete(WTnode_getchild(root, 1));
  EXPECT_EQ(cast(root), moved);
  WTnode_delete(WTnode_getchild(sep, 2));
  EXPECT_EQ(cast(root), first);
  // A group the ray misses still hands its transforms to the nodes after it.
  WTnode_delete(sep);
  WTnode *g = WTgroupnode_new(root);
  WTnode *gx = WTxformnode_new(g);
  WTnode_settranslation(gx, away);
  facing(g, 0.0f, 50.0f);  // the group's sphere lies off the ray
  WTpoly *shifted = facing(root, 0.0f, -100.0f);
  EXPECT_EQ(cast(root), shifted);
}

TEST_F(Pick, PolygonTestsAndDistances) {
  WTpoly *oneside = facing(root, 0.0f);
  float distance = 0;
  WTnodepath *path = nullptr;
  WTp3 o = {0, 0, 10}, d2 = {0, 0, -2};
  EXPECT_EQ(WTnode_rayintersect(root, d2, o, &distance, &path), oneside);
  EXPECT_FLOAT_EQ(distance, 5.0f);  // in units of the direction's length
  ASSERT_TRUE(path);
  _WTnodepath_delete(path);
  // From behind a one-sided polygon is missed, a two-sided one is hit.
  WTp3 behind = {0, 0, -10}, up = {0, 0, 1};
  EXPECT_EQ(WTnode_rayintersect(root, up, behind, &distance, &path), nullptr);
  EXPECT_EQ(path, nullptr);
  WTpoly_setbothsides(oneside, 1);
  EXPECT_EQ(WTnode_rayintersect(root, up, behind, nullptr, nullptr), oneside);
  // Two coplanar polygons: the later one in the walk wins.
  WTpoly *later = facing(root, 0.0f);
  EXPECT_EQ(cast(root), later);
  // A light is passed over silently.
  WTlightnode_newdirected(root);
  EXPECT_EQ(cast(root), later);
  // The single-polygon calls: nearer than the given distance only; the path form turns the ray
  // into the geometry's frame.
  WTp3 o1 = {0, 0, 10}, down = {0, 0, -1};
  float limit = 5.0f;
  EXPECT_FALSE(_WTpoly_rayintersect(later, o1, down, &limit));
  limit = 10.0f;
  EXPECT_TRUE(_WTpoly_rayintersect(later, o1, down, &limit));
  EXPECT_FLOAT_EQ(limit, 10.0f);
  WTnode *sep = WTsepnode_new(root);
  WTnode *x = WTxformnode_new(sep);
  WTp3 shift = {0, 0, -4};
  WTnode_settranslation(x, shift);
  WTpoly *deep = facing(sep, 0.0f);
  WTnodepath *to = _WTnodepath_new(_WTgeometry_getnode(WTpoly_getgeometry(deep)), root, 0);
  ASSERT_TRUE(to);
  float dist = 0;
  EXPECT_FALSE(WTpoly_rayintersect(deep, to, down, o1, &dist));  // no window shows this root
  WTwindow *w = window(50, 50);
  ASSERT_EQ(WTwindow_getrootnode(w), root);
  EXPECT_TRUE(WTpoly_rayintersect(deep, to, down, o1, &dist));
  EXPECT_FLOAT_EQ(dist, 14.0f);
  EXPECT_FLOAT_EQ(o1[2], 14.0f);  // the origin now in the geometry's frame
  WTp3 tiny = {0.001f, 0, 0.003f};
  EXPECT_FALSE(WTpoly_rayintersect(deep, to, tiny, o1, &dist));
  EXPECT_FALSE(WTpoly_rayintersect(later, to, down, o1, &dist));  // not the path's geometry
  _WTnodepath_delete(to);
}

}  // namespace
