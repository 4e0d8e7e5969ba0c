// Paths, movable nodes, node paths and poses.
#include <math.h>

#include <gmock/gmock.h>

#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"

namespace {

using Paths = tk::Universe;
using ::testing::FloatNear;
using ::testing::HasSubstr;
using ::testing::Pointwise;

std::vector<float> v(const float *p, int n) { return std::vector<float>(p, p + n); }

float x0f(WTpathelement *e) {
  WTp3 p;
  _WTpathelement_getposition(e, p);
  return p[0];
}

// A path of n elements at x = 0, 1, ... n-1.
WTpath *line(int n) {
  WTpath *p = _WTpath_new(nullptr);
  for (int i = 0; i < n; i++) {
    WTpq pose = {{static_cast<float>(i), 0, 0}, {0, 0, 0, 1}};
    _WTpath_append(p, _WTpathelement_new(&pose));
  }
  return p;
}

float playedx(WTnode *x) {
  WTp3 t;
  WTnode_gettranslation(x, t);
  return t[0];
}

TEST_F(Paths, RecordFromAViewpointEveryOtherFrame) {
  WTpath *p = _WTpath_new(nullptr);
  WTviewpoint *v = _WTuniverse_getviewpoint();
  _WTpath_setrecordfrom(p, v);
  _WTpath_setrate(p, 2);
  ASSERT_EQ(_WTpath_record(p), 1);
  for (int i = 0; i < 6; i++) {
    const WTp3 at = {static_cast<float>(i), 0, 0};
    WTviewpoint_setposition(v, at);
    WTuniverse_go1();
  }
  _WTpath_stop(p);
  ASSERT_EQ(_WTpath_numelements(p), 3);
  EXPECT_FLOAT_EQ(x0f(_WTpath_getfirstelement(p)), 1.0f);
  _WTpath_setrate(p, 0);
  EXPECT_EQ(_WTpath_getrate(p), 1);
}

TEST_F(Paths, PlayLoopingBouncingAndSingleStepping) {
  WTnode *x = WTxformnode_new(root);
  WTpath *p = line(3);
  ASSERT_NE(WTmotionlink_new(p, x, 0, WTTARGET_NODE), nullptr);

  _WTpath_setloop(p, 1);
  _WTpath_setspeed(p, 2);
  _WTpath_rewind(p);
  ASSERT_EQ(_WTpath_play(p), 1);
  WTuniverse_go1();
  EXPECT_FLOAT_EQ(playedx(x), 2.0f);
  WTuniverse_go1();
  EXPECT_FLOAT_EQ(playedx(x), 0.0f);
  _WTpath_stop(p);

  // Bouncing: at the end the direction turns and the element stays.
  _WTpath_setloop(p, 3);
  _WTpath_setspeed(p, 1);
  _WTpath_rewind(p);
  _WTpath_play(p);
  std::vector<float> seen;
  for (int i = 0; i < 5; i++) {
    WTuniverse_go1();
    seen.push_back(playedx(x));
  }
  EXPECT_THAT(seen, Pointwise(FloatNear(0), {1.0f, 2.0f, 2.0f, 1.0f, 0.0f}));
  _WTpath_stop(p);

  // Once forward: the path stops at its end; a single step plays one element.
  _WTpath_setloop(p, 0);
  _WTpath_setdirection(p, 1);
  _WTpath_rewind(p);
  _WTpath_playstep(p);
  WTuniverse_go1();
  EXPECT_FLOAT_EQ(playedx(x), 1.0f);
  EXPECT_EQ(_WTpath_isplaying(p), 0);

  // Constraint bits keep the position.
  _WTpath_setconstraints(p, 1);
  WTnode_settranslation(x, std::vector<float>{9, 9, 9}.data());
  _WTpath_playstep(p);
  WTuniverse_go1();
  EXPECT_FLOAT_EQ(playedx(x), 9.0f);
}

TEST_F(Paths, InterpolationKinds) {
  WTpath *two = line(2);
  WTpath *lerp = _WTpath_interpolate(two, 4, 3);
  ASSERT_EQ(_WTpath_numelements(lerp), 5);
  WTpathelement *mid = _WTpath_getfirstelement(lerp);
  for (int i = 0; i < 2; i++) mid = _WTpathelement_next(mid);
  EXPECT_FLOAT_EQ(x0f(mid), 0.5f);
  // On a straight evenly spaced line the curves stay on the line and between their ends.
  WTpath *four = line(4);
  for (int kind : {1, 2}) {
    WTpath *c = _WTpath_interpolate(four, 2, kind);
    ASSERT_EQ(_WTpath_numelements(c), 7) << kind;
    float last = -1;
    for (WTpathelement *e = _WTpath_getfirstelement(c); e; e = _WTpathelement_next(e)) {
      EXPECT_GE(x0f(e), last) << kind;
      last = x0f(e);
    }
  }
  EXPECT_EQ(_WTpath_interpolate(four, 2, 4), nullptr);
  EXPECT_EQ(_WTpath_interpolate(_WTpath_new(nullptr), 2, 3), nullptr);
}

TEST_F(Paths, SaveAndLoadThePathFile) {
  WTpath *p = line(2);
  const WTq turn = {0, 1, 0, 0};
  WTpathelement_setorientation(_WTpath_getfirstelement(p), turn);
  std::string file = tk::writefile("walk.pth", "");
  ASSERT_EQ(_WTpath_save(p, file.c_str()), 1);
  EXPECT_EQ(tk::readfile(file),
            "path record v.2\n2\nPosi  0.000000 0.000000 0.000000\n"
            "Orie  0.000000 1.000000 0.000000 0.000000\n"
            "Posi  1.000000 0.000000 0.000000\nOrie  0.000000 0.000000 0.000000 1.000000\n");
  WTpath *back = _WTpath_load(file.c_str(), nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(_WTpath_numelements(back), 2);
  EXPECT_EQ(_WTpath_getcurrentelement(back), _WTpath_getfirstelement(back));
  WTq q;
  _WTpath_getcurrentrotation(back, q);
  EXPECT_THAT(v(q, 4), Pointwise(FloatNear(0), {0.0f, 1.0f, 0.0f, 0.0f}));
}

TEST_F(Paths, BadFilesWarnAndLeaveNoPath) {
  const struct {
    const char *text;
    const char *warning;
  } cases[] = {
      {"path record v.1\n1\nPosi  0 0 0\nOrie  0 0 0 1\n", "is not a path file"},
      {"path record v.2\nmany\n", "element count"},
      {"path record v.2\n2\nPosi  0 0 0\nOrie  0 0 0 1\nPosi  1 x 0\nOrie  0 0 0 1\n", "line 5"},
  };
  int n = 0;
  for (const auto &c : cases) {
    std::string file = tk::writefile("bad" + std::to_string(n++) + ".pth", c.text);
    tk::Captured messages;
    EXPECT_EQ(_WTpath_load(file.c_str(), nullptr), nullptr) << c.text;
    EXPECT_THAT(messages.all(), HasSubstr(c.warning));
    EXPECT_EQ(_WTuniverse_getpaths(), nullptr) << c.text;
  }
}

TEST_F(Paths, MarkersFollowTheirElements) {
  WTpath *p = line(2);
  WTgeometry *shape = WTgeometry_newblock(1, 1, 1, 0);
  _WTpath_setmarkergeometry(p, shape);
  WTgeometry_delete(shape);
  ASSERT_EQ(_WTpath_showmarkers(p, 1), 1);
  WTnode *m = WTuniverse_findnode("WTMarker", 8);
  ASSERT_NE(m, nullptr);
  WTpathelement *e = static_cast<WTpathelement *>(WTnode_getdata(m));
  ASSERT_TRUE(e == _WTpath_getfirstelement(p) || e == _WTpathelement_next(_WTpath_getfirstelement(p)));
  _WTpathelement_setposition(e, std::vector<float>{3, 0, 0}.data());
  WTp3 t;
  WTnode_gettranslation(m, t);
  EXPECT_FLOAT_EQ(t[0], 3.0f);
  WTpath_delete(p);
  EXPECT_EQ(WTuniverse_findnode("WTMarker", 8), nullptr);
}

TEST_F(Paths, AttachAndDetachMovables) {
  WTnode *m = WTmovsepnode_new(root);
  WTnode *chair = WTmovsepnode_new(root), *lamp = WTmovsepnode_new(root);
  WTnode_setname(chair, "chair");
  EXPECT_EQ(_WTmovnode_attach(m, chair, 1), 0);
  ASSERT_EQ(_WTmovnode_attach(m, chair, 0), 1);
  ASSERT_EQ(_WTmovnode_attach(m, lamp, -1), 1);
  EXPECT_EQ(_WTmovnode_numattached(m), 2);
  EXPECT_STREQ(_WTmovnode_getattachedtext(m), "chair,");
  // The cycle test refuses attaching a movable under one of its own.
  EXPECT_EQ(_WTmovnode_attach(chair, m, -1), 0);

  // Setting the names it has keeps the named node; the unnamed one is deleted.
  ASSERT_EQ(_WTmovnode_setattached(m, "chair"), 1);
  EXPECT_EQ(_WTmovnode_numattached(m), 1);
  EXPECT_EQ(_WTmovnode_getattached(m, 0), chair);

  ASSERT_EQ(_WTmovnode_detach(m, 0), 1);
  EXPECT_EQ(_WTmovnode_numattached(m), 0);
  EXPECT_EQ(WTnode_gettype(m), WTNODE_MSEP);
  EXPECT_EQ(WTnode_numparents(chair), 1);  // only the root it was made under
  EXPECT_EQ(_WTmovnode_pointaxis(m, 2, std::vector<float>{0, 0, 0.001f}.data()), 0);
  EXPECT_EQ(_WTmovnode_instance(root, _WTmovlightnode_newpoint(root)), nullptr);
  EXPECT_EQ(WTnode_numchildren(root), 4);
}

TEST_F(Paths, NodePathsRoutesAndTransforms) {
  WTnode *a = WTsepnode_new(root), *b = WTsepnode_new(root);
  WTnode *leaf = WTxformnode_new(a);
  WTnode_addchild(b, leaf);
  WTnodepath *first = _WTnodepath_new(leaf, root, 0), *second = _WTnodepath_new(leaf, root, 1);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(_WTnodepath_getnode(first, 0), a);
  EXPECT_EQ(_WTnodepath_getnode(second, 0), b);
  EXPECT_EQ(_WTnodepath_new(leaf, root, 2), nullptr);
  int indexes[2];
  EXPECT_EQ(_WTnodepath_getindexes(first, indexes, 1), 0);

  // A transform before group b moves what b holds.
  WTnode *shift = WTxformnode_new(nullptr);
  WTnode_insertchild(root, shift, 1);
  WTnode_translate(shift, std::vector<float>{0, 5, 0}.data(), WTFRAME_PARENT);
  WTnode_translate(leaf, std::vector<float>{1, 0, 0}.data(), WTFRAME_PARENT);
  WTp3 p;
  ASSERT_EQ(_WTnodepath_getposition(second, p), 1);
  EXPECT_THAT(v(p, 3), Pointwise(FloatNear(1e-6f), {1.0f, 5.0f, 0.0f}));
  ASSERT_EQ(_WTnodepath_getposition(first, p), 1);
  EXPECT_THAT(v(p, 3), Pointwise(FloatNear(1e-6f), {1.0f, 0.0f, 0.0f}));

  WTnode *m = WTmovsepnode_new(root);
  WTnodepath *mp = _WTnodepath_new(m, root, 0);
  EXPECT_EQ(_WTnodepath_numnodes(mp), 1);
  EXPECT_EQ(_WTnodepath_getnode(mp, 0), m);
  for (WTnodepath *np : {first, second, mp}) _WTnodepath_delete(np);
}

TEST_F(Paths, PosesBetweenFramesAndWorld) {
  const WTpq frame = {{0, 0, 5}, {0, sinf(WTPI / 4), 0, cosf(WTPI / 4)}};
  const WTp3 p = {1, 0, 0};
  WTp3 world, back;
  _WTpq_toworld(p, &frame, world);
  _WTpq_tolocal(world, &frame, back);
  EXPECT_THAT(v(back, 3), Pointwise(FloatNear(1e-5f), {1.0f, 0.0f, 0.0f}));
  _WTpq_toworld(p, nullptr, world);
  EXPECT_THAT(v(world, 3), Pointwise(FloatNear(0), {1.0f, 0.0f, 0.0f}));
  WTpq out;
  _WTpq_pose_toworld(nullptr, nullptr, &out);
  EXPECT_THAT(v(out.q, 4), Pointwise(FloatNear(0), {0.0f, 0.0f, 0.0f, 1.0f}));

  WTpq pose = frame, delta = {{1, 0, 0}, {0, 0, 0, 1}};
  _WTpq_move(&pose, &delta, 1);
  EXPECT_THAT(v(pose.p, 3), Pointwise(FloatNear(1e-6f), {1.0f, 0.0f, 5.0f}));
  pose = frame;
  _WTpq_move(&pose, &delta, 0);
  EXPECT_GT(fabsf(pose.p[2] - 5.0f), 0.5f);
  EXPECT_EQ(_WTpq_2m4axes(&frame), _WTpq_2m4axes(nullptr));
}

}  // namespace
