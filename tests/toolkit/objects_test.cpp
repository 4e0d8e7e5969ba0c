// The object layer across frames: scene membership and flags, attachment, moves in the three
// frames, axes, scaling and stretching, loading, construction, outline boxes, attributes and
// the overlap tests.
#include <math.h>
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files3ds.h"
#include "geometry_support.h"
#include "scene.h"
#include "toolkit/core/filetypes.h"
#include "toolkit/core/motion.h"
#include "toolkit/core/universe.h"
#include "toolkit/geometry/objects.h"

namespace {

class Objects : public tk::Universe {
 protected:
  // A block of the sizes, centred at the point, in the scene.
  WTobject *block(float x, float y, float z, const WTp3 at = nullptr) {
    WTobject *o = _WTobject_newblock(x, y, z, 0);
    if (o && at) _WTobject_setposition(o, at);
    return o;
  }
  uint8_t flags(WTobject *o) { return o->flags; }
  void frame() { WTuniverse_go1(); }
};

void expectnear(const float *a, std::vector<float> b, float tol = 1e-4f) {
  for (size_t i = 0; i < b.size(); i++) EXPECT_NEAR(a[i], b[i], tol) << "component " << i;
}

std::vector<std::pair<WTtaskfn, void *>> &taskruns() {
  static std::vector<std::pair<WTtaskfn, void *>> runs;
  return runs;
}
void taska(void *o) { taskruns().push_back({taska, o}); }
void taskb(void *o) { taskruns().push_back({taskb, o}); }

bool listed(WTobject *o) {
  for (WTobject *x = _WTobject_first(); x; x = x->next)
    if (x == o) return true;
  return false;
}

TEST_F(Objects, AddRemoveAndDeleteAcrossFrames) {
  WTobject *parent = block(1, 1, 1), *child = block(1, 1, 1);
  ASSERT_TRUE(parent && child);
  EXPECT_STREQ(_WTobject_getname(parent), "block");
  EXPECT_EQ(_WTobject_gettag(parent), 64);
  EXPECT_EQ(_WTobject_gettag(nullptr), 0);
  EXPECT_TRUE(_WTobject_attach(parent, child));
  WTnode *node = _WTobject_getnode(parent);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(WTnode_gettype(node), WTNODE_OBJECT);
  EXPECT_EQ(WTnode_getobject(node), parent);

  // Adding again changes nothing; removing takes the child along.
  _WTobject_addtoscene(parent);
  EXPECT_EQ(flags(parent), 0);
  EXPECT_TRUE(_WTobject_remove(parent));
  EXPECT_EQ(flags(parent), WTO_REMOVED);
  EXPECT_EQ(flags(child), WTO_REMOVED);
  EXPECT_FALSE(_WTobject_isinscene(child));
  frame();
  EXPECT_EQ(flags(parent), WTO_REMOVED | WTO_REMOVALSEEN);

  // Back with flags 0 and the same node.
  _WTobject_addtoscene(parent);
  EXPECT_EQ(flags(parent), 0);
  EXPECT_EQ(flags(child), 0);
  EXPECT_EQ(_WTobject_getnode(parent), node);
  EXPECT_TRUE(_WTobject_isinscene(child));

  // Deleting flags both with 20; they stay listed until the next frame, invisible to walks and
  // accessors.
  WTobject *other = block(2, 2, 2);
  _WTobject_delete(parent);
  EXPECT_EQ(flags(parent), 20);
  EXPECT_EQ(flags(child), 20);
  EXPECT_TRUE(listed(parent));
  EXPECT_EQ(_WTobject_numpolys(parent), 0);
  EXPECT_EQ(_WTobject_getradius(parent), 0.0f);
  EXPECT_EQ(_WTobject_nextvisible(parent), nullptr);
  for (WTobject *o = _WTobject_first(); o; o = _WTobject_nextvisible(o))
    EXPECT_TRUE(o == other || o == _WTobject_first()) << "a deleted object was walked";
  frame();
  EXPECT_FALSE(listed(parent));
  EXPECT_FALSE(listed(child));
  EXPECT_TRUE(listed(other));
  EXPECT_EQ(_WTobject_numpolys(other), 6);
}

TEST_F(Objects, TheObjectNodeIsBoundedWhereTheObjectStands) {
  WTobject *o = block(2, 4, 2);
  WTnode *group = WTsepnode_new(root);
  ASSERT_TRUE(WTnode_addchild(group, _WTobject_getnode(o)));
  const WTq quarter = {0, 0, sinf(-WTPI / 4), cosf(WTPI / 4)};
  WTobject_setorientation(o, quarter);
  WTp3 at = {5, 1, 0};
  _WTobject_setposition(o, at);
  WTp3 mid, extents;
  WTnode_getmidpoint(group, mid);
  WTnode_getextents(group, extents);
  expectnear(mid, {5, 1, 0});
  expectnear(extents, {2, 1, 1}, 1e-3f);  // half sizes; turned a quarter about z: long side along x
}

TEST_F(Objects, DeletingTheObjectNodeDeletesTheObject) {
  WTobject *o = block(1, 1, 1);
  WTobjgroup *group = _WTobjgroup_new();
  EXPECT_TRUE(_WTobjgroup_add(group, o));
  EXPECT_TRUE(WTnode_delete(_WTobject_getnode(o)));
  EXPECT_EQ(flags(o), 20);
  EXPECT_EQ(_WTobjgroup_firstselected(group), nullptr);
  _WTobject_ready();  // the start of the simulation frees what is deleted
  EXPECT_FALSE(listed(o));
  _WTobjgroup_delete(group);
}

TEST_F(Objects, AnObjectOfASequenceKeepsItsFlagsWhenDeleted) {
  WTobject *o = block(1, 1, 1);
  int sequence = 0;
  _WTobject_setsequence(o, reinterpret_cast<WTanimseq *>(&sequence));
  _WTobject_delete(o);
  EXPECT_EQ(flags(o), 0);
  EXPECT_EQ(_WTobject_getnode(o), nullptr);
  frame();
  EXPECT_TRUE(listed(o));
  _WTobject_setsequence(o, nullptr);
}

TEST_F(Objects, DestroyingLeavesTheGroupAndTheResetDestroysEveryObject) {
  WTobject *a = block(1, 1, 1), *b = block(1, 1, 1);
  WTobjgroup *group = _WTobjgroup_new();
  _WTobjgroup_add(group, a);
  _WTobjgroup_add(group, b);
  _WTobject_destroy(b);
  EXPECT_EQ(_WTobjgroup_firstselected(group), a);
  EXPECT_EQ(_WTobjgroup_nextselected(group, a), nullptr);
  _WTobjgroup_delete(group);
  WTpq pose;
  _WTuniverse_loadfile("nothing-here.nff", &pose, 1.0f);  // no file: nothing is reset
  EXPECT_TRUE(listed(a));
  std::string path = tk::writefile("objects-unknown.xyz", "not a model\n");
  tk::Captured captured;
  _WTuniverse_loadfile(path.c_str(), &pose, 1.0f);
  EXPECT_EQ(_WTobject_first(), nullptr);
}

// A 3D Studio universe file becomes the root object: the objects before it go, the universe
// takes a name and the load callback runs; a damaged file fails after the reset.
TEST_F(Objects, A3dsUniverseFileBecomesTheRootObject) {
  static int loads;
  loads = 0;
  _WTuniverse_setloadcallback("", [] { loads++; });
  WTobject *before = block(1, 1, 1);
  ASSERT_TRUE(listed(before));
  std::string path = tk::writefile("objects-world.3ds", t3ds::cubefile());
  WTpq pose;
  pose.p[0] = 5;
  EXPECT_EQ(_WTuniverse_loadfile(path.c_str(), &pose, 1.0f), 1);
  EXPECT_EQ(pose.p[0], 0.0f);
  EXPECT_EQ(pose.q[3], 1.0f);
  EXPECT_EQ(_WTobject_first(), nullptr);
  EXPECT_STRNE(_WTuniverse_getname(), "untitled");
  EXPECT_EQ(loads, 1);
  frame();

  std::string bytes = t3ds::cubefile();
  std::string damaged = tk::writefile("objects-damaged.3ds", bytes.substr(0, bytes.size() / 2));
  tk::Captured captured;
  EXPECT_EQ(_WTuniverse_loadfile(damaged.c_str(), &pose, 1.0f), 0);
  EXPECT_STREQ(_WTuniverse_getname(), "untitled");
  EXPECT_EQ(loads, 1);
  _WTuniverse_setloadcallback("", nullptr);
}

// An object written as a DXF, NFF or binary NFF file comes back as the root object of a universe
// file: all its polygons, the object list emptied.
TEST_F(Objects, TextAndBinaryUniverseFilesBecomeTheRootObject) {
  struct Case {
    const char *file;
    int type;
    bool takesObjectName;
  } cases[] = {{"objects-world.dxf", WTFILE_DXF, false},
               {"objects-world.nff", WTFILE_NFF, true},
               {"objects-world.bff", WTFILE_BFF, true}};
  for (const Case &c : cases) {
    WTobject *o = block(1, 1, 1);
    const int polys = _WTobject_numpolys(o);
    std::string path = tk::writefile(c.file, "");
    ASSERT_EQ(_WTobject_saveone(o, path.c_str(), nullptr, c.type), 1) << c.file;
    _WTuniverse_setname("untitled");
    WTpq pose;
    ASSERT_EQ(_WTuniverse_loadfile(path.c_str(), &pose, 1.0f), 1) << c.file;
    EXPECT_EQ(_WTobject_first(), nullptr) << c.file;
    EXPECT_EQ(_WTuniverse_numpolygons(), polys) << c.file;
    WTobject *root = *_WTuniverse_rootobjectslot();
    ASSERT_NE(root, nullptr);
    if (c.takesObjectName && _WTobject_getname(root)) {
      EXPECT_STREQ(_WTuniverse_getname(), _WTobject_getname(root)) << c.file;
    }
    frame();
  }
}

// A file of several objects (both NFF forms) loads as one joined object or, asked for several,
// as one object each.
TEST_F(Objects, SeveralObjectsOfAFileLoadJoinedOrEachOnItsOwn) {
  const struct {
    const char *file;
    int type;
  } cases[] = {{"objects-pair.nff", WTFILE_NFF}, {"objects-pair.bff", WTFILE_BFF}};
  for (const auto &c : cases) {
    WTp3 far = {10, 0, 0};
    WTcell *pair = _WTlist_cell(block(1, 1, 1), _WTlist_cell(block(1, 1, 1, far), nullptr));
    std::string path = tk::writefile(c.file, "");
    ASSERT_EQ(_WTobject_save(pair, path.c_str(), c.type), 1) << c.file;
    _WTlist_free(pair);
    WTcell *each = _WTobject_loadmultiple(path.c_str(), 1.0f, 0, 0);
    ASSERT_NE(each, nullptr) << c.file;
    ASSERT_NE(each->next, nullptr) << c.file;
    EXPECT_EQ(each->next->next, nullptr) << c.file;
    for (WTcell *e = each; e; e = e->next)
      EXPECT_EQ(_WTobject_numpolys(static_cast<WTobject *>(e->value)), 6) << c.file;
    _WTlist_free(each);
    WTpq pose;
    WTobject *joined = _WTobject_load(path.c_str(), &pose, 1.0f, 0, 0);
    ASSERT_NE(joined, nullptr) << c.file;
    EXPECT_EQ(_WTobject_numpolys(joined), 12) << c.file;
  }
}

TEST_F(Objects, MergingAGroupKeepsNoCellOfADestroyedObject) {
  WTp3 far = {10, 0, 0};
  WTobject *a = block(1, 1, 1), *b = block(1, 1, 1, far);
  _WTobject_setrgb(a, 0, 255, 0);
  EXPECT_TRUE(_WTobject_setmtable(b, WTmtable_new(WTAMBIENTDIFFUSE, 1, nullptr)));
  _WTobject_setrgb(b, 255, 0, 0);
  _WTtask_new(a, taska, 1.0f);
  _WTtask_new(b, taskb, 1.0f);
  WTobjgroup *group = _WTobjgroup_new();
  _WTobjgroup_add(group, a);
  _WTobjgroup_add(group, b);
  WTobjmerge merge{a, _WTlist_cell(b, nullptr)};
  _WTobjgroup_merge(&merge, 0);
  // The other object's tasks come over in front of the target's and run for the target.
  EXPECT_EQ(_WTtask_getfunction(_WTtask_get(a, 0)), taskb);
  EXPECT_EQ(_WTtask_getfunction(_WTtask_get(a, 1)), taska);
  taskruns().clear();
  frame();
  ASSERT_EQ(taskruns().size(), 2u);
  for (const auto &run : taskruns()) EXPECT_EQ(run.second, a);
  EXPECT_EQ(_WTobjgroup_firstselected(group), a);
  EXPECT_EQ(_WTobjgroup_nextselected(group, a), nullptr);
  EXPECT_EQ(_WTobject_numpolys(a), 12);
  for (WTpoly *p = _WTobject_firstpoly(a); p; p = p->next) EXPECT_EQ(p->geometry, a->geometry);
  // The merged box spans both blocks.
  WTp3 size;
  _WTobject_getsize(a, size);
  expectnear(size, {11, 1, 1});
  // The polygons that came over keep their colour in the target's table.
  uint32_t colours[12];
  ASSERT_EQ(_WTobject_getcolors24(a, colours), 2);
  EXPECT_EQ(colours[0] | colours[1], 0xFF0000u | 0x00FF00u);
  _WTobjgroup_delete(group);
}

TEST_F(Objects, SceneBoundsAndPolygonCountsTakeInActiveObjects) {
  WTp3 lo, hi, far = {10, 0, 0};
  _WTuniverse_getextents(lo, hi);
  expectnear(lo, {0, 0, 0});
  EXPECT_EQ(_WTuniverse_numpolygons(), 0);
  WTobject *a = block(2, 2, 2);
  WTobject *b = block(2, 2, 2, far);
  float r = sqrtf(3.0f);  // each block's sphere
  _WTuniverse_getextents(lo, hi);
  expectnear(lo, {-r, -r, -r});
  expectnear(hi, {10 + r, r, r});
  EXPECT_NEAR(_WTuniverse_getradius(), sqrtf(powf(5 + r, 2) + 2 * r * r), 1e-4f);
  EXPECT_EQ(_WTuniverse_numpolygons(), 12);
  _WTobject_delete(b);
  EXPECT_EQ(_WTuniverse_numpolygons(), 6);
  _WTuniverse_getextents(lo, hi);
  expectnear(hi, {r, r, r});
  (void)a;
}

TEST_F(Objects, AttachingRefusesCycles) {
  WTobject *a = block(1, 1, 1), *b = block(1, 1, 1), *c = block(1, 1, 1);
  EXPECT_FALSE(_WTobject_attach(a, a));
  EXPECT_TRUE(_WTobject_attach(a, b));
  EXPECT_FALSE(_WTobject_attach(b, a));
  EXPECT_TRUE(_WTobject_attach(b, c));
  EXPECT_FALSE(_WTobject_attach(c, a));
  EXPECT_TRUE(_WTobject_detach(a, b));
  EXPECT_FALSE(_WTobject_detach(a, b));
  EXPECT_TRUE(_WTobject_attach(c, a));
  EXPECT_TRUE(_WTobject_detachall(a));
  EXPECT_FALSE(_WTobject_detachall(a));
  WTcell *children = _WTobject_getchildren(b);
  ASSERT_NE(children, nullptr);
  EXPECT_EQ(children->value, c);
  _WTlist_free(children);
}

TEST_F(Objects, TranslateInTheThreeFrames) {
  const WTq quarter = {0, sinf(-WTPI / 4), 0, cosf(WTPI / 4)};  // 90 degrees about y
  WTp3 at = {5, 0, 0};
  struct Case {
    int frame;
    std::vector<float> moved;
  } cases[] = {{0, {0, 0, 0}}, {1, {1, 0, 0}}, {2, {0, 0, 0}}, {7, {1, 0, 0}}};
  // The viewer is turned the same way as the object, so frames 0 and 2 agree.
  WTviewpoint_setorientation(_WTuniverse_getviewpoint(), quarter);
  for (const Case &c : cases) {
    WTobject *o = block(1, 1, 1);
    WTobject_setorientation(o, quarter);
    _WTobject_setposition(o, at);
    WTp3 x = {1, 0, 0}, xaxis;
    _WTobject_move(o, x, static_cast<short>(c.frame));
    WTp3 p;
    _WTobject_getposition(o, p);
    std::vector<float> want = c.moved;
    if (c.frame == 0 || c.frame == 2) _WTq_rotatepoint(x, quarter, xaxis), want = {xaxis[0], 0, xaxis[2]};
    expectnear(p, {5 + want[0], want[1], want[2]});
    // A turn given in the own frame turns about the own axes: the result is the same turn
    // applied after the current orientation.
    WTpq turn = {{0, 0, 0}, {sinf(-0.25f), 0, 0, cosf(0.25f)}};
    WTq before, after, expect;
    _WTobject_getorientation(o, before);
    _WTobject_translate(o, &turn, c.frame);
    _WTobject_getorientation(o, after);
    WTq world;
    memcpy(world, turn.q, sizeof world);
    if (c.frame == 0 || c.frame == 2) {
      WTq tmp;
      _WTq_multiply(world, quarter, tmp);
      _WTq_conjmultiply(quarter, tmp, world);
    }
    _WTq_multiply(before, world, expect);
    expectnear(after, {expect[0], expect[1], expect[2], expect[3]});
    // Corners follow.
    WTp3 mid = {0, 0, 0};
    for (const WTp3 &corner : o->corners)
      for (int i = 0; i < 3; i++) mid[i] += corner[i] / 8;
    _WTobject_getposition(o, p);
    expectnear(mid, {p[0], p[1], p[2]});
  }
}

TEST_F(Objects, OrientationAndPoseRules) {
  WTobject *o = block(1, 1, 1);
  tk::Captured captured;
  const WTq tiny = {0, 0, 0, 0.003f}, small = {0, 0, 0, 0.005f};
  EXPECT_FALSE(WTobject_setorientation(o, tiny));
  EXPECT_EQ(captured.all(), "VAV Warning: Invalid quaternion passed to WTobject_setorientation.\n");
  EXPECT_TRUE(WTobject_setorientation(o, small));

  // A pivot away from the position: the turn goes about the pivot, then the move.
  WTobject *p = block(1, 1, 1);
  WTp3 pivot = {1, 0, 0};
  _WTobject_setpivot(p, pivot, 1);
  WTpq pose = {{0, 0, 5}, {0, sinf(-WTPI / 4), 0, cosf(WTPI / 4)}};
  EXPECT_TRUE(_WTobject_setpose(p, &pose));
  WTp3 at;
  _WTobject_getposition(p, at);
  expectnear(at, {0, 0, 5});
  WTp3 moved;
  _WTobject_getlocation(p, moved, 1);
  EXPECT_GT(fabsf(moved[0] - 1) + fabsf(moved[2]), 0.5f);  // the pivot moved with the object

  // Only w changing goes unseen by the change check.
  WTobject *q = block(1, 1, 1);
  frame();
  q->pose.q[3] = 0.5f;
  _WTobject_checkmoved(q);
  EXPECT_EQ(flags(q) & WTO_MOVED, 0);
  q->pose.q[0] = 0.1f;
  _WTobject_checkmoved(q);
  EXPECT_EQ(flags(q) & WTO_MOVED, WTO_MOVED);
}

TEST_F(Objects, PrincipalAxesOfALongBoxLeaveTheVerticesInPlace) {
  // A box long along the diagonal of x and y.
  WTgeometry *g = WTgeometry_newblock(8, 1, 1, 0);
  const WTpq turn = {{0, 0, 0}, {0, 0, sinf(-WTPI / 8), cosf(WTPI / 8)}};
  WTgeometry_transform(g, &turn);
  std::vector<std::vector<float>> before;
  for (WTvertex *v = g->vertices; v; v = v->next)
    before.push_back({v->position[0], v->position[1], v->position[2]});
  WTobject *o = _WTobject_newfromgeometry(g, 1);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(_WTobject_newfromgeometry(g, 0), nullptr);  // already wrapped
  size_t i = 0;
  for (WTvertex *v = g->vertices; v; v = v->next, i++) expectnear(v->position, before[i], 1e-3f);
  WTm3 m;
  WTq_2m3(o->pose.q, m);
  WTp3 along = {cosf(WTPI / 4), sinf(WTPI / 4), 0};
  float cosine = fabsf(m[0][0] * along[0] + m[0][1] * along[1] + m[0][2] * along[2]);
  EXPECT_NEAR(cosine, 1.0f, 1e-3f);
  WTp3 size;
  _WTobject_getsize(o, size);
  EXPECT_NEAR(size[0], 8, 1e-2f);
  EXPECT_NEAR(size[1] * size[2], 1, 1e-2f);
  _WTobject_destroy(o);
}

TEST_F(Objects, AHandleBecomesThePositionAndTheOriginFollows) {
  WTobject *o = block(2, 2, 2);
  WTvertex *v = _WTobject_firstvertex(o);
  WTp3 stored, world, handle = {1, 0, 0}, p, origin;
  memcpy(stored, v->position, sizeof stored);
  _WTobject_sethandle(o, handle, 1);
  _WTobject_getposition(o, p);
  expectnear(p, {1, 0, 0});
  _WTobject_getorigin(o, origin);
  expectnear(origin, {0, 0, 0});
  _WTobject_getvertexposition(o, v, world);
  expectnear(world, {stored[0], stored[1], stored[2]});  // nothing moved
  WTp3 step = {2, 0, 0};
  _WTobject_move(o, step, 1);
  _WTobject_getorigin(o, origin);
  expectnear(origin, {2, 0, 0});
  _WTobject_getvertexposition(o, v, world);
  expectnear(world, {stored[0] + 2, stored[1], stored[2]});
  WTp3 h;
  _WTobject_gethandle(o, h, 0);
  expectnear(h, {1, 0, 0});
}

TEST_F(Objects, NewAxesTurningAboutAPointAndRemappedAxes) {
  const WTq quarter = {0, 0, sinf(-WTPI / 4), cosf(WTPI / 4)};  // 90 degrees about z
  WTobject *o = block(4, 2, 2);
  WTvertex *v = _WTobject_firstvertex(o);
  WTp3 before, after, size;
  _WTobject_getvertexposition(o, v, before);
  EXPECT_TRUE(WTobject_setaxes(o, quarter));
  _WTobject_getvertexposition(o, v, after);
  expectnear(after, {before[0], before[1], before[2]});  // the geometry stays in the world
  _WTobject_getsize(o, size);
  expectnear(size, {2, 4, 2}, 1e-3f);  // the own x axis now runs along world y
  WTp3 xaxis, unitx = {1, 0, 0};
  _WTobject_getaxis(o, 0, xaxis);
  _WTq_rotatepoint(unitx, quarter, before);
  expectnear(xaxis, {before[0], before[1], before[2]});

  // Turning about a point carries the position round it; resetting turns back in place.
  WTobject *t = block(1, 1, 1);
  WTp3 at = {1, 0, 0}, centre = {0, 0, 0}, p;
  _WTobject_setposition(t, at);
  EXPECT_TRUE(WTobject_rotatepoint(t, quarter, centre, 1));
  _WTobject_getposition(t, p);
  _WTq_rotatepoint(at, quarter, at);
  expectnear(p, {at[0], at[1], at[2]});
  _WTobject_resetorientation(t);
  WTq q;
  _WTobject_getorientation(t, q);
  expectnear(q, {0, 0, 0, 1});
  _WTobject_getposition(t, after);
  expectnear(after, {p[0], p[1], p[2]});

  // Remapping x and y swaps the block's sizes.
  WTobject *r = block(4, 2, 2);
  const int from[2] = {0, 1}, to[2] = {1, 0}, negate[2] = {0, 1};
  EXPECT_TRUE(_WTobject_remapaxes(r, 2, from, to, negate));
  WTp3 lo, hi;
  _WTgeometry_findextents(r->geometry, lo, hi);
  expectnear(lo, {-1, -2, -1});
  expectnear(hi, {1, 2, 1});
  _WTobject_getsize(r, size);
  expectnear(size, {2, 4, 2});
}

TEST_F(Objects, ScaleAndStretchIgnoreDegenerateFactors) {
  WTobject *o = block(2, 2, 2);
  WTp3 centre = {0, 0, 0};
  EXPECT_FALSE(_WTobject_scale(o, 1.003f, centre));
  const WTp3 nearone = {1.002f, 1, 1}, tiny = {0.003f, 1, 1};
  EXPECT_FALSE(WTobject_stretch(o, nearone, centre, 1));
  EXPECT_FALSE(WTobject_stretch(o, tiny, centre, 1));

  // -2 mirrors about the centre.
  WTp3 at = {1, 0, 0};
  _WTobject_setposition(o, at);
  EXPECT_TRUE(_WTobject_scale(o, -2, centre));
  WTp3 p, size;
  _WTobject_getposition(o, p);
  expectnear(p, {-2, 0, 0});
  _WTobject_getsize(o, size);
  expectnear(size, {4, 4, 4});
  WTp3 lo, hi;
  _WTgeometry_findextents(o->geometry, lo, hi);
  expectnear(lo, {-4, -2, -2});
  expectnear(hi, {0, 2, 2});

  // A stretch along the own axes of a turned block.
  WTobject *s = block(2, 2, 2);
  const WTq quarter = {0, 0, sinf(-WTPI / 4), cosf(WTPI / 4)};
  WTobject_setorientation(s, quarter);
  const WTp3 longx = {3, 1, 1};
  EXPECT_TRUE(WTobject_stretch(s, longx, centre, 0));
  _WTgeometry_findextents(s->geometry, lo, hi);
  expectnear(lo, {-1, -3, -1}, 1e-3f);  // the own x axis lies along world y
  _WTobject_getsize(s, size);
  expectnear(size, {6, 2, 2}, 1e-3f);

  tk::Captured captured;
  _WTobject_sethandle(s, centre, 1);
  EXPECT_FALSE(WTobject_stretch(s, longx, centre, 1));
  EXPECT_EQ(captured.all(), "VAV Warning: WTobject_stretch not supported when object handle has been set.");
}

TEST_F(Objects, ASensorLinkDrivesAnObject) {
  WTsensor *sensor = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 0);
  ASSERT_NE(sensor, nullptr);
  WTobject *o = block(1, 1, 1);
  EXPECT_TRUE(_WTobject_addsensor(o, sensor, 1));
  EXPECT_FALSE(_WTobject_addsensor(o, sensor, 3));
  EXPECT_EQ(_WTobject_getsensorframe(o), 1);
  const WTp3 step = {0.5f, 0, 0};
  const WTq none = {0, 0, 0, 1};
  WTsensor_setrecord(sensor, step, none);
  frame();
  frame();
  WTp3 p;
  _WTobject_getposition(o, p);
  expectnear(p, {1, 0, 0});
  EXPECT_EQ(o->movedlast, 1);
  _WTobject_removesensor(o, sensor);
  frame();
  _WTobject_getposition(o, p);
  expectnear(p, {1, 0, 0});
  WTsensor_delete(sensor);
}

TEST_F(Objects, VerticesAndNormalsInWorldTerms) {
  WTobject *o = block(2, 2, 2);
  WTvertex *v = _WTobject_firstvertex(o);
  WTp3 stored, world;
  memcpy(stored, v->position, sizeof stored);
  const WTq quarter = {0, sinf(-WTPI / 4), 0, cosf(WTPI / 4)};
  WTobject_setorientation(o, quarter);
  WTp3 at = {10, 0, 0};
  _WTobject_setposition(o, at);
  _WTobject_getvertexposition(o, v, world);
  WTp3 turned;
  _WTq_rotatepoint(stored, quarter, turned);
  expectnear(world, {10 + turned[0], turned[1], turned[2]});
  // The same through the polygon read-out that follows objects.
  _WTvertex_setcurrentobject(o);
  WTp3 read;
  WTvertex_getposition(v, read);
  _WTvertex_setcurrentobject(nullptr);
  expectnear(read, {world[0], world[1], world[2]});
  // Polygons follow their object: normal and centre.
  WTpoly *face = _WTobject_firstpoly(o);
  WTp3 n0, c0, n1, c1;
  memcpy(n0, face->normal, sizeof n0);
  memcpy(c0, face->centre, sizeof c0);
  WTpoly_getnormal(face, n1);
  WTpoly_getcg(face, c1);
  _WTq_rotatepoint(n0, quarter, n0);
  _WTq_rotatepoint(c0, quarter, c0);
  expectnear(n1, {n0[0], n0[1], n0[2]});
  expectnear(c1, {10 + c0[0], c0[1], c0[2]});
  // Writing a world position stores it back in reference terms.
  WTp3 target = {11, 1, 1};
  EXPECT_TRUE(_WTobject_setvertexposition(o, v, target));
  _WTobject_getvertexposition(o, v, world);
  expectnear(world, {11, 1, 1});
  EXPECT_EQ(o->geometry->vchanged, 1);

  const WTp3 zero = {0, 0, 0}, up = {0, 0, 1};
  EXPECT_FALSE(_WTobject_setvertexnormal(o, v, zero));
  EXPECT_EQ(v->normal, nullptr);
  EXPECT_TRUE(_WTobject_setvertexnormal(o, v, up));
  WTp3 n;
  EXPECT_TRUE(_WTobject_getvertexnormal(o, v, n));
  expectnear(n, {0, 0, 1});

  EXPECT_TRUE(_WTobject_setvertexcolor(o, v, 10, 20, 30));
  unsigned char r, g, b;
  EXPECT_TRUE(_WTobject_getvertexcolor(o, v, &r, &g, &b));
  EXPECT_EQ(r * 65536 + g * 256 + b, 10 * 65536 + 20 * 256 + 30);
}

TEST_F(Objects, EditBracketAndBoundsAfterEdits) {
  WTobject *o = block(2, 2, 2);
  EXPECT_FALSE(_WTobject_endedit(o, 0, 0, 0));
  EXPECT_TRUE(_WTobject_beginedit(o));
  EXPECT_FALSE(_WTobject_beginedit(o));
  EXPECT_TRUE(_WTobject_endedit(o, 0, 0, 1));
  EXPECT_EQ(o->geometry->editopen, 0);

  // Lifting one corner of the top face bends it: the edit triangulates it.
  EXPECT_TRUE(_WTobject_beginedit(o));
  WTvertex *top = nullptr;
  for (WTvertex *v = _WTobject_firstvertex(o); v; v = v->next)
    if (v->position[1] > 0.5f && v->position[0] > 0.5f && v->position[2] > 0.5f) top = v;
  ASSERT_NE(top, nullptr);
  WTp3 lifted = {1, 3, 1};
  _WTobject_setvertexposition(o, top, lifted);
  EXPECT_TRUE(_WTobject_endedit(o, 1, 0, 0));
  EXPECT_GT(_WTobject_numpolys(o), 6);
  for (WTvertex *v = _WTobject_firstvertex(o); v; v = v->next) EXPECT_EQ(v->flags & WTV_MOVED, 0);

  _WTobject_recomputebounds(o, 1, 1, 0);
  WTp3 size, p, pivot;
  _WTobject_getsize(o, size);
  expectnear(size, {2, 4, 2});
  _WTobject_getposition(o, p);
  expectnear(p, {0, 1, 0});
  _WTobject_getlocation(o, pivot, 1);
  expectnear(pivot, {0, 1, 0});
  EXPECT_EQ(o->geometry->vchanged, 0);
}

TEST_F(Objects, ColoursOfAllPolygons) {
  WTobject *o = block(1, 1, 1);
  _WTobject_setrgb(o, 255, 0, 0);
  EXPECT_EQ(_WTobject_numcolors(o), 1);
  WTpoly_setrgb(_WTobject_firstpoly(o)->next, 0, 0, 255);
  EXPECT_EQ(_WTobject_numcolors(o), 2);
  _WTobject_replacergb(o, 255, 0, 0, 0, 0, 255);
  EXPECT_EQ(_WTobject_numcolors(o), 1);
  unsigned char r[6], g[6], b[6];
  EXPECT_EQ(_WTobject_getrgblist(o, r, g, b), 1);
  EXPECT_EQ(b[0], 255);

  // A geometry drawn by its own function is never recoloured.
  o->geometry->draw = [](WTgeometry *, WTgeometry *, void *) {};
  _WTobject_setrgb(o, 0, 255, 0);
  o->geometry->draw = nullptr;
  EXPECT_EQ(_WTobject_getrgblist(o, r, g, b), 1);
  EXPECT_EQ(g[0], 0);
}

TEST_F(Objects, LoadingRefusesWhatItCannotRead) {
  tk::Captured captured;
  WTpq pose;
  EXPECT_EQ(_WTobject_load("any.nff", &pose, 0.0f, 0, 0), nullptr);
  EXPECT_EQ(_WTobject_loadmultiple("any.nff", -1.0f, 0, 0), nullptr);
  EXPECT_EQ(captured.all(), "VAV Warning: Nonsensical scale factor.\n"
                            "VAV Warning: Nonsensical scale factor.\n");
  EXPECT_EQ(_WTobject_load("missing-model.nff", &pose, 1.0f, 0, 0), nullptr);
  EXPECT_EQ(captured.all().size(), 2 * strlen("VAV Warning: Nonsensical scale factor.\n"));

  // Formats without a reader in the toolkit take the unknown-type road.
  const struct {
    const char *name, *text, *message;
    bool multiple;
  } cases[] = {
      {"objects-model.flt", "\1\2xxxxx", "Unknown file type: objects-model.flt\n", false},
      {"objects-old.bin", "2424xxxx", "VAV 1.01 binary format is no longer supported.\n", false},
      {"objects-model.slp", "solid x\n", "Can't load multiple objects from file objects-model.slp\n",
       true},
  };
  for (const auto &c : cases) {
    std::string text = c.text;
    if (text[0] == '\1') text[0] = '\0', text[1] = '\1';
    tk::writefile(c.name, text);
    tk::Captured each;
    if (c.multiple)
      EXPECT_EQ(_WTobject_loadmultiple(c.name, 1.0f, 0, 0), nullptr);
    else
      EXPECT_EQ(_WTobject_load(c.name, &pose, 1.0f, 0, 0), nullptr);
    EXPECT_EQ(each.all(), std::string("VAV Warning: ") + c.message) << c.name;
  }
  EXPECT_EQ(_WTobject_first(), nullptr);
}

TEST_F(Objects, ConstructionAndCopies) {
  // Degenerate polygons only: the object is destroyed.
  WTobject *flat = _WTobject_begin();
  const WTp3 line[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
  const WTp3 tri[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  _WTpoly_newfrompoints(flat, line, 3, 0);
  _WTpoly_newfrompoints(flat, tri, 3, 0);
  WTpoly *p = WTpoly_begin(flat);
  for (const WTp3 &pt : tri) {
    WTvertex *v = _WTvertex_newat(pt);
    _WTobject_addvertex(flat, v);
  }
  _WTpoly_cancel(p);
  EXPECT_TRUE(_WTobject_close(flat, 0, 0));
  EXPECT_STREQ(_WTobject_getname(flat), "untitled");
  _WTobject_destroy(flat);

  WTobject *bad = _WTobject_begin();
  WTpoly *q = WTpoly_begin(bad);
  const WTp3 pts[4] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {1, 0, 0}};
  for (const WTp3 &pt : pts) {
    WTvertex *v = _WTvertex_newat(pt);
    _WTobject_addvertex(bad, v);
    WTpoly_addvertexptr(q, v);
  }
  WTpoly_close(q);
  tk::Captured captured;
  EXPECT_FALSE(_WTobject_close(bad, 0, 0));
  EXPECT_NE(captured.all().find("Can't make object - no valid polygons.\n"), std::string::npos);

  // A copy is outside the scene until it is added, named by its base name.
  WTobject *o = block(1, 2, 3);
  o->name = (_WTmem_free(o->name), _WTmem_strdup("models/chair.nff"));
  WTobject *c = _WTobject_copy(o);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(flags(c), WTO_REMOVED | WTO_REMOVALSEEN);
  EXPECT_STREQ(_WTobject_getname(c), "chair");
  EXPECT_EQ(_WTobject_getnode(c), nullptr);
  EXPECT_NE(c->geometry, o->geometry);
  EXPECT_EQ(_WTobject_numpolys(c), 6);
  _WTobject_addtoscene(c);
  EXPECT_EQ(flags(c), 0);
  EXPECT_NE(_WTobject_getnode(c), nullptr);
}

TEST_F(Objects, OutlineBoxes) {
  WTobject *o = block(1, 0.01f, 3);
  WTobject *box = _WTobject_newoutline(o, 0);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(_WTobject_numpolys(box), 12);
  WTp3 size;
  _WTobject_getsize(box, size);
  for (float s : size) EXPECT_GE(s / 2, 0.020000001f);
  EXPECT_GT(size[0], 1.0f);
  EXPECT_GT(size[2], 3.0f);
  for (WTpoly *p = _WTobject_firstpoly(box); p; p = p->next) EXPECT_TRUE(WTpoly_getbothsides(p));
  _WTobject_delete(o);
  EXPECT_EQ(_WTobject_newoutline(o, 0.1f), nullptr);
}

TEST_F(Objects, BoxOverlaps) {
  WTp3 near = {1.2f, 0, 0}, far = {10, 0, 0}, corner = {1.9f, 1.9f, 0};
  WTobject *a = block(2, 2, 2), *b = block(1, 1, 1, near), *c = block(2, 2, 2, far);
  EXPECT_TRUE(_WTobject_boxesintersect(a, b));
  EXPECT_FALSE(_WTobject_boxesintersect(a, c));
  EXPECT_FALSE(_WTobject_boxesintersect(a, a));
  // Spheres touch, boxes do not: two blocks diagonal to each other.
  WTobject *d = block(2, 2, 2, corner);
  const WTq eighth = {0, 0, sinf(-WTPI / 8), cosf(WTPI / 8)};
  EXPECT_TRUE(_WTobject_boxesintersect(a, d));
  WTp3 apart = {2.3f, 2.3f, 0};
  _WTobject_setposition(d, apart);
  WTobject_setorientation(d, eighth);
  EXPECT_FALSE(_WTobject_boxesintersect(a, d));

  // A polygon with a vertex inside the box, one crossing it, one beside it.
  struct Case {
    std::vector<geo::P> points;
    bool hits;
  } cases[] = {{{{0, 0, 0}, {5, 0, 0}, {5, 5, 0}}, true},
               {{{-3, -3, 0}, {3, -3, 0}, {3, 3, 0}, {-3, 3, 0}}, true},
               {{{-3, 0.5f, 2.5f}, {3, 0.5f, 2.5f}, {0, 3, 2.5f}}, false}};
  for (const Case &k : cases) {
    WTgeometry *g = geo::polygon(k.points);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(_WTobject_intersectpoly(a, g->polys) != 0, k.hits) << k.points.size();
    WTgeometry_delete(g);
  }
}

}  // namespace
