// Windows, viewpoints, projection, the texture cache, polygon textures and the render list: the
// parts of the drawing side that need no OpenGL.
#include <math.h>

#include <algorithm>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "geometry_support.h"
#include "scene.h"
#include "support.h"
#include "textures.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/render/context.h"
#include "toolkit/render/drawstate.h"
#include "toolkit/render/view.h"

namespace {

using ::testing::HasSubstr;

class Render : public tk::Universe {
 protected:
  WTwindow *window() {
    WTwindow *w = WTwindow_newuser(nullptr, 0x1);
    if (w) WTwindow_setposition(w, 0, 0, 100, 100);
    return w;
  }
};

TEST_F(Render, EightWindowsAtMostAndTheFirstGetsTheCurrentViewpoint) {
  tk::Captured messages;
  std::vector<WTwindow *> made;
  for (int i = 0; i < 8; i++) made.push_back(WTwindow_newuser(nullptr, 0x1));
  for (WTwindow *w : made) ASSERT_TRUE(w);
  EXPECT_EQ(WTwindow_getviewpoint(made[0]), _WTuniverse_getviewpoint());
  EXPECT_EQ(WTwindow_getviewpoint(made[1]), nullptr);
  EXPECT_EQ(WTwindow_newuser(nullptr, 0x1), nullptr);
  EXPECT_THAT(messages.all(), HasSubstr("Can not create more than 8 windows."));
  WTwindow_delete(made[3]);
  EXPECT_EQ(WTwindow_geteye(made[3]), 65535);  // a deleted window is refused
  WTwindow *again = WTwindow_newuser(nullptr, 0x1);
  EXPECT_TRUE(again);
}

TEST_F(Render, ClippingIsClampedAndTheViewAngleRefusedOutsideItsRange) {
  WTwindow *w = window();
  WTwindow_sethither(w, 0.0f);
  EXPECT_FLOAT_EQ(WTwindow_gethither(w), 0.004f);
  WTwindow_sethither(w, 2.0f);
  WTwindow_setyon(w, 1.0f);
  EXPECT_FLOAT_EQ(WTwindow_getyon(w), 2.004f);
  ASSERT_TRUE(WTwindow_setviewangle(w, 0.5f));
  EXPECT_FALSE(WTwindow_setviewangle(w, 1.6f));
  EXPECT_NEAR(WTwindow_getviewangle(w), 0.5f, 1e-6);
  EXPECT_TRUE(WTwindow_setviewangle(w, 1.5667964f));
  EXPECT_FALSE(WTwindow_setrootnode(w, WTgroupnode_new(root)));
  EXPECT_EQ(WTwindow_getrootnode(w), root);
}

TEST_F(Render, SubWindowOwnsItsNameAndOutlivesItsParentInert) {
  WTwindow *parent = window();
  WTwindow_setname(parent, "parent");
  WTwindow *sub = WTwindow_newsubwindow(parent, 0, 0, 50, 50);
  ASSERT_TRUE(sub);
  EXPECT_STREQ(WTwindow_getname(sub), "parent");
  EXPECT_NE(WTwindow_getname(sub), WTwindow_getname(parent));
  WTwindow_setviewpoint(sub, _WTuniverse_getviewpoint());
  float px[2];
  WTp3 ahead = {0, 0, 10};
  EXPECT_TRUE(WTwindow_projectpoint(sub, 0, ahead, px));
  WTwindow_delete(parent);
  int x = -7;
  WTwindow_getviewport(sub, &x, nullptr, nullptr, nullptr);
  EXPECT_EQ(x, -7);
  sub->projkey = 0;
  EXPECT_FALSE(WTwindow_projectpoint(sub, 0, ahead, px));
  EXPECT_EQ(WTwindow_numpolys(sub), 0);
  WTwindow_delete(sub);  // frees its own name once
}

TEST_F(Render, DeletedViewpointIsClearedFromItsWindows) {
  WTwindow *w = window();
  WTviewpoint *v = WTviewpoint_new();
  WTwindow_setviewpoint(w, v);
  WTwindow_setviewpoint2(w, v);
  WTviewpoint_delete(v);
  EXPECT_EQ(WTwindow_getviewpoint(w), nullptr);
  EXPECT_EQ(WTwindow_getviewpoint2(w), nullptr);
  WTviewpoint_delete(_WTuniverse_getviewpoint());  // the current one stays
  EXPECT_TRUE(_WTuniverse_getviewpoint());
}

TEST_F(Render, PointsOnTheViewAxisProjectToTheViewportCentre) {
  WTwindow *w = window();
  WTviewpoint *v = WTwindow_getviewpoint(w);
  WTq turned = {0, sinf(0.4f), 0, cosf(0.4f)};
  for (int projection = 1; projection <= 3; projection++)
    for (int turn = 0; turn < 2; turn++) {
      SCOPED_TRACE(projection * 10 + turn);
      WTwindow_setprojection(w, projection);
      if (turn) WTviewpoint_setorientation(v, turned);
      WTp3 d, p, at;
      WTviewpoint_getdirection(v, d);
      WTviewpoint_getposition(v, p);
      for (int i = 0; i < 3; i++) at[i] = p[i] + 10 * d[i];
      float px[2];
      w->projkey = 0;
      ASSERT_TRUE(WTwindow_projectpoint(w, 0, at, px));
      EXPECT_NEAR(px[0], 50.0f, 0.01f);
      EXPECT_NEAR(px[1], 50.0f, 0.01f);
      for (int i = 0; i < 3; i++) at[i] = p[i] - 10 * d[i];
      EXPECT_FALSE(WTwindow_projectpoint(w, 0, at, px));
      EXPECT_EQ(px[0], 0.0f);
    }
}

TEST_F(Render, SplitStereoHalvesAre41PixelsWithTheGapBetween) {
  WTwindow *w = window();
  w->displaymode = 4;
  int upper[4], lower[4];
  ASSERT_TRUE(_WTwindow_getviewportpixels(w, 0, upper));
  ASSERT_TRUE(_WTwindow_getviewportpixels(w, 1, lower));
  EXPECT_EQ(upper[3], 41);
  EXPECT_EQ(lower[3], 41);
  EXPECT_EQ(upper[2], 59);
  EXPECT_EQ(lower[2], 0);
  WTp3 ahead;
  WTviewpoint_getdirection(WTwindow_getviewpoint(w), ahead);
  for (float &c : ahead) c *= 10;
  float px[2];
  ASSERT_TRUE(WTwindow_projectpoint(w, 0, ahead, px));
  EXPECT_NEAR(px[1], 59 + 20.5f, 0.01f);
  w->displaymode = 2;
  EXPECT_FALSE(_WTwindow_getviewportpixels(w, 0, upper));
}

TEST_F(Render, WindowPropertiesByNameAndValue) {
  WTwindow *w = window();
  WTnode *other = WTrootnode_new();
  WTnode_setname(other, "Other");
  EXPECT_TRUE(_WTproperty_setstring(w, "Root Node", "Other"));
  EXPECT_EQ(WTwindow_getrootnode(w), other);
  EXPECT_FALSE(_WTproperty_setstring(w, "Root Node", "Nowhere"));
  WTviewpoint *v = WTviewpoint_new();
  WTviewpoint_setname(v, "Eye");
  EXPECT_TRUE(_WTproperty_setstring(w, "Viewpoint", "Eye"));
  EXPECT_EQ(WTwindow_getviewpoint(w), v);
  const char *name = nullptr;
  ASSERT_TRUE(_WTproperty_getvalue(w, "Viewpoint", &name));
  EXPECT_STREQ(name, "Eye");
  WTp2 size = {80, 60};
  EXPECT_TRUE(_WTproperty_setp2(w, "Size", size));
  int width = 0, height = 0;
  WTwindow_getposition(w, nullptr, nullptr, &width, &height);
  EXPECT_EQ(width, 80);
  EXPECT_EQ(height, 60);
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  tk::Captured messages;
  EXPECT_FALSE(_WTproperty_setint(w, "Key", 65));
  EXPECT_THAT(messages.all(), HasSubstr("TODO: WTwindow_setkey\n"));
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
}

class Textures : public Render {
 protected:
  geo::TablesReset reset;
  tk::TextureImages images;
};

TEST_F(Textures, EntriesAreSharedAndReusedUntilTheFinalFlush) {
  WTtexture *t = _WTtexture_get("wood");
  ASSERT_TRUE(t);
  EXPECT_EQ(_WTtexture_get("wood"), t);
  EXPECT_EQ(t->width, 2);
  t->refcount = 1;
  _WTtexture_release(t);
  EXPECT_TRUE(t->flags & WTTEX_FREE);
  EXPECT_EQ(_WTtexture_get("wood"), t);
  EXPECT_FALSE(t->flags & WTTEX_FREE);
  _WTtexture_release(t);
  _WTtexture_flushqueue(1);
  EXPECT_EQ(_WTtexture_find("wood"), nullptr);
  unsigned char pixels[64 * 48 * 4] = {};
  EXPECT_EQ(WTtexture_replace("odd", 0, 64, 48, pixels), 0);
  EXPECT_EQ(WTtexture_replace("even", 0, 64, 64, pixels), 1);
  EXPECT_EQ(_WTtexture_memoryused(), 64 * 64 * 4);
}

TEST_F(Textures, WallCoordinatesSpanTheImageOnceAndTransformsUndo) {
  WTgeometry *g = WTgeometry_newrectangle(2, 4, 0);  // a vertical wall
  WTpoly *p = g->polys;
  ASSERT_TRUE(WTpoly_settexture(p, "brick", 0, 0));  // 4 x 2 texels
  std::vector<float> u(4), v(4);
  ASSERT_TRUE(WTpoly_getuv(p, u.data(), v.data()));
  for (int i = 0; i < 4; i++) {
    EXPECT_TRUE(u[i] == 0.0f || u[i] == 0.75f) << u[i];
    EXPECT_TRUE(v[i] == 0.5f || v[i] == 1.0f) << v[i];
  }
  std::vector<float> u0 = u, v0 = v;
  WTpoly_rotatetexture(p, WTPI_2);
  WTpoly_rotatetexture(p, -WTPI_2);
  WTpoly_mirrortexture(p);
  WTpoly_mirrortexture(p);
  ASSERT_TRUE(WTpoly_getuv(p, u.data(), v.data()));
  for (int i = 0; i < 4; i++) {
    EXPECT_NEAR(u[i], u0[i], 1e-6);
    EXPECT_NEAR(v[i], v0[i], 1e-6);
  }
  WTtextureinfo info;
  ASSERT_TRUE(WTpoly_gettextureinfo(p, &info));
  EXPECT_FLOAT_EQ(info.rotation, 0.0f);
  EXPECT_EQ(info.mirrored, 0);
  float offset[2] = {4, 0};
  WTpoly_translatetexture(p, offset);
  ASSERT_TRUE(WTpoly_getuv(p, u.data(), v.data()));
  for (int i = 0; i < 4; i++) EXPECT_NEAR(u[i], u0[i] + 1.0f, 1e-6);
  // Setting the texture it already shows keeps the entry out of the free queue.
  WTtexture *t = static_cast<WTtexture *>(p->texture->texture);
  ASSERT_TRUE(WTpoly_settexture(p, "brick", 0, 0));
  EXPECT_EQ(p->texture->texture, t);
  EXPECT_FALSE(t->flags & WTTEX_FREE);
  EXPECT_EQ(t->refcount, 1);
  WTgeometry_delete(g);
  EXPECT_TRUE(t->flags & WTTEX_FREE);
}

// The kinds of a list's items in order.
std::vector<int> kinds(const std::vector<WTrenderitem> &list) {
  std::vector<int> k;
  for (const WTrenderitem &i : list) k.push_back(i.kind);
  return k;
}

class RenderList : public Render {
 protected:
  void SetUp() override {
    Render::SetUp();
    state = _WTdrawstate_new();
    s = state;
  }
  void TearDown() override {
    _WTdrawstate_delete(state);
    Render::TearDown();
  }
  // Flattens with a view looking down -z at everything near the origin.
  void build() {
    _WTdrawstate_reset(state, 13);
    state->hither = 0.1f, state->yon = 1000.0f;
    for (auto &pl : state->planes) pl[0] = pl[1] = pl[2] = 0, pl[3] = 1000;
    state->matrices[0].m[3][2] = -10;
    _WTnode_buildlist(state, root);
  }
  WTnode *block(WTnode *parent) { return WTgeometrynode_new(parent, WTgeometry_newblock(1, 1, 1, 0)); }
  WTdrawstate *state = nullptr;
  WTdrawstate *s = nullptr;
  geo::TablesReset reset;
};

TEST_F(RenderList, SwitchDisabledNodesAndEmptyRoots) {
  build();
  EXPECT_TRUE(s->opaque.empty() && s->blended.empty());
  WTnode *sw = WTswitchnode_new(root);
  block(sw), block(sw);
  const struct { int which, drawn; } cases[] = {{-1, 0}, {-3, 2}, {1, 1}, {5, 0}, {-7, 1}};
  for (const auto &c : cases) {
    sw->u.whichchild = c.which;  // indexes below -1 other than -3 come from files
    build();
    EXPECT_EQ(s->nopaque, c.drawn) << c.which;
  }
  WTnode *sep = WTsepnode_new(root);
  WTnode_addchild(sep, sw);
  WTnode_removechild(root, 0);
  sw->u.whichchild = -3;
  WTnode_enable(sep, 0);
  build();
  EXPECT_EQ(s->nopaque, 0);
  WTnode_enable(sep, 1);
  build();
  EXPECT_EQ(s->nopaque, 2);
}

TEST_F(RenderList, LightsAreScopedToTheirSeparator) {
  WTnode *outer = WTlightnode_newdirected(root);
  WTnode *sep = WTsepnode_new(root);
  WTnode *inner = WTlightnode_newdirected(sep);
  block(sep);
  block(root);
  build();
  int innerslot = (inner)->u.light.light->slot, outerslot = (outer)->u.light.light->slot;
  EXPECT_EQ(outerslot, 0);
  EXPECT_EQ(innerslot, 1);
  std::vector<int> k = kinds(s->opaque);
  std::vector<int> expect = {WTITEM_LIGHTON, WTITEM_LIGHTON, WTITEM_GEOMETRY, WTITEM_LIGHTOFF,
                             WTITEM_GEOMETRY};
  // Material items may stand before the geometries.
  k.erase(std::remove(k.begin(), k.end(), int(WTITEM_MATERIAL)), k.end());
  EXPECT_EQ(k, expect);
  EXPECT_EQ(s->opaque[3].index, innerslot);
  // A freed slot is the next one handed out.
  WTnode_delete(inner);
  EXPECT_EQ((WTlightnode_newpoint(root)->u.light.light)->slot, 1);
}

TEST_F(RenderList, OpacityBelowOneMovesGeometriesToTheBlendedList) {
  WTnode *m = WTmaterialnode_new(root);
  float half = 0.5f;
  WTmaterialnode_setfield(m, WTMAT_OPACITY, &half);
  block(root);
  build();
  EXPECT_EQ(s->nopaque, 0);
  EXPECT_EQ(s->nblended, 1);
  EXPECT_EQ(std::count_if(s->opaque.begin(), s->opaque.end(),
                          [](const WTrenderitem &i) { return i.kind == WTITEM_MATERIAL; }),
            0);
}

}  // namespace
