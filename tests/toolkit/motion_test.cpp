// Transform nodes, node motion, bounds and the update pass.
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <gmock/gmock.h>

#include "scene.h"
#include "toolkit/geometry/geometry.h"

namespace {

using Motion = tk::Universe;
using ::testing::ElementsAre;
using ::testing::FloatNear;
using ::testing::Pointwise;

std::vector<float> v3(const float *p) { return std::vector<float>(p, p + 3); }

std::vector<float> translation(WTnode *n) {
  WTp3 t;
  EXPECT_EQ(WTnode_gettranslation(n, t), 1);
  return v3(t);
}

std::vector<float> midpoint(WTnode *n) {
  WTp3 m = {-99, -99, -99};
  EXPECT_EQ(WTnode_getmidpoint(n, m), 1);
  return v3(m);
}

std::vector<float> extents(WTnode *n) {
  WTp3 e = {-99, -99, -99};
  EXPECT_EQ(WTnode_getextents(n, e), 1);
  return v3(e);
}

WTnode *unitbox(WTnode *parent) { return WTgeometrynode_new(parent, WTgeometry_newblock(1, 1, 1, 0)); }

void drawnothing(WTnode *, void *) {}

TEST_F(Motion, ACallbackNodeIsALeafBoundedByItsBox) {
  WTnode *g = WTgroupnode_new(root);
  EXPECT_EQ(_WTcallbacknode_new(g, nullptr, 0), nullptr);
  WTnode *c = _WTcallbacknode_new(g, drawnothing, 2);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(_WTcallbacknode_getflags(c), 1 | 2 | 16);
  EXPECT_EQ(_WTcallbacknode_new(c, drawnothing, 0), nullptr);  // a leaf takes no children
  EXPECT_EQ(_WTcallbacknode_setflags(g, 1), 0);
  EXPECT_LT(WTnode_getradius(g), 0.0f);  // no box yet: nothing to bound
  const float low[3] = {-1, -2, -2}, high[3] = {3, 2, 2};
  ASSERT_EQ(_WTcallbacknode_setbox(c, low, high), 1);
  EXPECT_THAT(midpoint(g), Pointwise(FloatNear(1e-5f), std::vector<float>{1, 0, 0}));
  EXPECT_THAT(extents(g), Pointwise(FloatNear(1e-5f), std::vector<float>{2, 2, 2}));

  int record = 7;
  EXPECT_EQ(_WTcallbacknode_newdata(g, nullptr, nullptr), nullptr);
  WTnode *d = _WTcallbacknode_newdata(g, &record, nullptr);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(WTnode_getdata(d), d);  // the node owns its record when nobody else does
  EXPECT_EQ(_WTcallbacknode_getflags(d), 8);
  ASSERT_EQ(_WTcallbacknode_setdata(d, &record, g), 1);
  EXPECT_EQ(WTnode_getdata(d), g);
}

TEST_F(Motion, TranslateAndTurnInTheNodesOwnFrameOrItsParents) {
  WTnode *x = WTxformnode_new(root);
  ASSERT_EQ(WTnode_rotateaxis(x, 2, 90, WTFRAME_LOCAL), 1);
  const WTp3 step = {1, 0, 0};
  ASSERT_EQ(WTnode_translate(x, step, WTFRAME_LOCAL), 1);
  EXPECT_THAT(translation(x), Pointwise(FloatNear(1e-6f), {0.0f, 1.0f, 0.0f}));
  ASSERT_EQ(WTnode_translate(x, step, WTFRAME_PARENT), 1);
  EXPECT_THAT(translation(x), Pointwise(FloatNear(1e-6f), {1.0f, 1.0f, 0.0f}));
  EXPECT_EQ(WTnode_translate(x, step, 1), 0);
  EXPECT_EQ(WTnode_translate(x, step, 2), 0);

  WTnode *y = WTxformnode_new(root);
  WTnode_settranslation(y, step);
  ASSERT_EQ(WTnode_rotateaxis(y, 1, 90, WTFRAME_LOCAL), 1);
  EXPECT_THAT(translation(y), Pointwise(FloatNear(1e-6f), {1.0f, 0.0f, 0.0f}));
  ASSERT_EQ(WTnode_rotateaxis(y, 1, 90, WTFRAME_PARENT), 1);
  EXPECT_THAT(translation(y), Pointwise(FloatNear(1e-6f), {0.0f, 0.0f, -1.0f}));
  EXPECT_EQ(WTnode_rotateaxis(y, 3, 90, WTFRAME_PARENT), 0);
  EXPECT_EQ(WTnode_rotateaxis(WTgroupnode_new(root), 0, 90, WTFRAME_PARENT), 0);
  EXPECT_EQ(WTnode_addsensor(WTgroupnode_new(root), nullptr), nullptr);
}

TEST_F(Motion, AnIdentityDiagonalCountsAsNoRotation) {
  WTnode *x = WTxformnode_new(root);
  WTm3 shear = {{1, 0.5f, 0}, {0, 1, 0}, {0, 0, 1}};
  ASSERT_EQ(WTnode_setrotation(x, shear), 1);
  WTm4 m;
  EXPECT_EQ(_WTnode_getxforms(x, m), 0);
}

unsigned char veto(void *, const char *, double, int) { return 0; }

TEST_F(Motion, AVetoedTranslationKeepsTheOldTranslationWhileTheRotationChanges) {
  WTnode *x = WTxformnode_new(root);
  const WTp3 at = {1, 2, 3};
  WTnode_settranslation(x, at);
  ASSERT_EQ(_WTproperty_addprehandler(x, "Translation", veto), 1);
  WTm4 m = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {7, 8, 9, 1}};
  EXPECT_EQ(WTnode_settransform(x, m), 1);
  EXPECT_THAT(translation(x), ElementsAre(1, 2, 3));
  WTm3 r;
  WTnode_getrotation(x, r);
  EXPECT_THAT(v3(r[0]), ElementsAre(0, 1, 0));
  EXPECT_EQ(WTnode_translate(x, at, WTFRAME_PARENT), 0);
}

TEST_F(Motion, GroupBoundsFollowTheTransformsBeforeTheGeometry) {
  const WTp3 ten = {10, 0, 0};
  WTnode *g = WTgroupnode_new(root);
  WTnode_settranslation(WTxformnode_new(g), ten);
  unitbox(g);
  EXPECT_THAT(midpoint(g), ElementsAre(10, 0, 0));

  // A separator keeps its transform to itself.
  WTnode *h = WTgroupnode_new(root);
  WTnode_settranslation(WTxformnode_new(WTsepnode_new(h)), ten);
  unitbox(h);
  EXPECT_THAT(midpoint(h), ElementsAre(0, 0, 0));

  // A transform after the geometry moves nothing.
  WTnode *k = WTgroupnode_new(root);
  unitbox(k);
  WTnode_settranslation(WTxformnode_new(k), ten);
  EXPECT_THAT(midpoint(k), ElementsAre(0, 0, 0));

  // Lights give no bounds.
  WTnode *lit = WTgroupnode_new(root);
  WTlightnode_newpoint(lit);
  WTp3 e;
  EXPECT_EQ(WTnode_getextents(lit, e), 0);
  EXPECT_EQ(WTnode_getradius(lit), -1.0f);

  // 45 degrees about Z.
  WTnode *turned = WTgroupnode_new(root);
  WTnode_rotateaxis(WTxformnode_new(turned), 2, 45, WTFRAME_LOCAL);
  WTgeometrynode_new(turned, WTgeometry_newblock(2, 2, 0.004f, 0));
  EXPECT_THAT(extents(turned), Pointwise(FloatNear(1e-3f), {1.4142f, 1.4142f, 0.0028f}));
}

TEST_F(Motion, AChangedGeometryIsBoundedAgain) {
  WTnode *g = WTgroupnode_new(root);
  WTnode *n = unitbox(g);
  EXPECT_FLOAT_EQ(WTnode_getradius(g), sqrtf(0.75f));
  WTgeometry *geometry = WTnode_getgeometry(n);
  geometry->half[0] = 3;
  EXPECT_FLOAT_EQ(WTnode_getradius(g), sqrtf(0.75f));  // cached
  _WTnode_changed(n);
  EXPECT_FLOAT_EQ(WTnode_getradius(g), sqrtf(9.5f));
  EXPECT_FLOAT_EQ(WTnode_getradius(root), sqrtf(9.5f));
}

TEST_F(Motion, OnlyTheChosenChildOfASwitchPassesItsTransformsOn) {
  WTnode *g = WTgroupnode_new(root);
  WTnode *sw = WTswitchnode_new(g);
  const WTp3 five = {5, 0, 0}, seven = {7, 0, 0};
  WTnode_settranslation(WTxformnode_new(sw), five);
  WTnode_settranslation(WTxformnode_new(sw), seven);
  unitbox(g);
  EXPECT_THAT(midpoint(g), ElementsAre(0, 0, 0));
  WTswitchnode_setwhichchild(sw, 1);
  EXPECT_THAT(midpoint(g), ElementsAre(7, 0, 0));
  WTswitchnode_setwhichchild(sw, 0);
  EXPECT_THAT(midpoint(g), ElementsAre(5, 0, 0));
  WTswitchnode_setwhichchild(sw, -3);
  EXPECT_THAT(midpoint(g), ElementsAre(12, 0, 0));
}

// A chain of groups, each turned and moved by its own transform, with a box at the bottom that is
// also straight under the root: after every single move the root's bounds match the box bounded
// level by level through the transforms.
TEST_F(Motion, BoundsFollowEveryMoveOfAChainOfTransforms) {
  const int depth = 4;
  WTnode *xforms[depth];
  WTnode *parent = root;
  for (int i = 0; i < depth; i++) {
    // The outermost is a separator, so that its transforms stop there.
    WTnode *g = i == 0 ? WTsepnode_new(parent) : WTgroupnode_new(parent);
    xforms[i] = WTxformnode_new(g);
    parent = g;
  }
  WTnode *shared = WTgroupnode_new(nullptr);
  WTgeometrynode_new(shared, WTgeometry_newblock(2, 4, 6, 0));
  WTnode_addchild(parent, shared);
  WTnode_addchild(root, shared);  // also straight under the root: the bounds take both places
  srand(7);
  for (int step = 0; step < 40; step++) {
    WTnode *x = xforms[rand() % depth];
    if (step % 2) {
      const WTp3 v = {float(rand() % 21 - 10), float(rand() % 21 - 10), float(rand() % 21 - 10)};
      WTnode_translate(x, v, rand() % 2 ? WTFRAME_LOCAL : WTFRAME_PARENT);
    } else {
      WTnode_rotateaxis(x, rand() % 3, float(rand() % 360), rand() % 2 ? WTFRAME_LOCAL : WTFRAME_PARENT);
    }
    // Each level bounds the box of the level below, turned and moved by its transform.
    float mid[3] = {0, 0, 0}, ext[3] = {1, 2, 3};
    for (int level = depth - 1; level >= 0; level--) {
      WTm4 m;
      WTnode_gettransform(xforms[level], m);
      float nmid[3], next[3];
      for (int j = 0; j < 3; j++) {
        nmid[j] = m[3][j], next[j] = 0;
        for (int i = 0; i < 3; i++) nmid[j] += mid[i] * m[i][j], next[j] += fabsf(m[i][j]) * ext[i];
      }
      memcpy(mid, nmid, sizeof mid);
      memcpy(ext, next, sizeof ext);
    }
    float lo[3], hi[3];
    for (int j = 0; j < 3; j++) {
      lo[j] = fminf(mid[j] - ext[j], -(j + 1.0f));
      hi[j] = fmaxf(mid[j] + ext[j], j + 1.0f);
    }
    std::vector<float> want(3);
    for (int j = 0; j < 3; j++) want[j] = (lo[j] + hi[j]) / 2;
    EXPECT_THAT(midpoint(root), Pointwise(FloatNear(1e-3f), want)) << "step " << step;
  }
}

}  // namespace
