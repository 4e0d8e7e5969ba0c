// Node attributes, deleting nodes, printing a graph, reordering a separator and the loaders'
// messages.
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "files.h"
#include "scene.h"
#include "support.h"
#include "toolkit/geometry/geometry.h"

namespace {

using Nodes = tk::Universe;

TEST_F(Nodes, AttributesRefuseWhatTheirKindDoesNotServe) {
  WTnode *group = WTgroupnode_new(root), *sep = WTsepnode_new(root);
  EXPECT_EQ(WTnode_enable(group, 0), 0);
  EXPECT_EQ(WTnode_enable(sep, 0), 1);
  EXPECT_EQ(WTnode_getenabled(sep), 0);
  WTgeometrynode_new(sep, WTgeometry_newblock(1, 1, 1, 0));
  EXPECT_EQ(WTnode_numpolys(root), 0);
  WTnode_enable(sep, 1);
  EXPECT_EQ(WTnode_numpolys(root), 6);

  WTnode *lod = WTlodnode_new(root);
  ASSERT_EQ(WTlodnode_setranges(lod, "10, 20;30"), 1);
  EXPECT_EQ(WTlodnode_numranges(lod), 3);
  EXPECT_STREQ(WTlodnode_getranges(lod), "10.000000,20.000000,30.000000");
  float r[3];
  EXPECT_EQ(WTlodnode_getrange(lod, r, 2), 0);
  ASSERT_EQ(WTlodnode_getrange(lod, r, 3), 1);
  EXPECT_THAT(r, testing::ElementsAre(10, 20, 30));
  EXPECT_EQ(WTlodnode_numranges(group), -1);

  WTnode *sw = WTswitchnode_new(root);
  EXPECT_EQ(WTswitchnode_setwhichchild(sw, -2), 0);
  EXPECT_EQ(WTswitchnode_setwhichchild(sw, -3), 1);
  EXPECT_EQ(WTswitchnode_getwhichchild(sw), -3);
  EXPECT_EQ(WTswitchnode_getwhichchild(group), -2);
  EXPECT_EQ(WTsepnode_setcullmode(sep, 4), 0);
  EXPECT_EQ(WTsepnode_getcullmode(sep), 3);

  WTnode *m = WTmaterialnode_new(root);
  const float rgb[3] = {0.1f, 0.2f, 0.3f};
  float out[3];
  ASSERT_EQ(WTmaterialnode_setfield(m, WTMAT_AMBDIFF, rgb), 1);
  EXPECT_EQ(WTmaterialnode_getfield(m, WTMAT_AMBIENT, out), 1);
  EXPECT_EQ(WTmaterialnode_getfield(m, WTMAT_DIFFUSE, out), 1);
  EXPECT_THAT(out, testing::ElementsAre(0.1f, 0.2f, 0.3f));
  EXPECT_EQ(WTmaterialnode_getfield(m, WTMAT_AMBDIFF, out), 0);
  EXPECT_EQ(WTmaterialnode_getfield(m, WTMAT_SPECULAR, out), 0);
  EXPECT_EQ(WTmaterialnode_setfield(m, 3, rgb), 0);
  ASSERT_EQ(WTmaterialnode_setfield(m, WTMAT_DIFFUSE, nullptr), 1);
  EXPECT_EQ(WTmaterialnode_getfield(m, WTMAT_DIFFUSE, out), 0);

  WTnode *anchor = WTanchornode_new(root);
  EXPECT_EQ(WTanchornode_setlocation(anchor, "http://x"), 1);
  EXPECT_STREQ(WTanchornode_getlocation(anchor), "http://x");
  EXPECT_EQ(WTinlinenode_setlocation(anchor, "y"), 0);
  EXPECT_EQ(WTnode_boundingbox(m, 1), 0);
  EXPECT_EQ(WTnode_boundingbox(group, 1), 1);
  EXPECT_EQ(WTnode_hasboundingbox(group), 1);
  EXPECT_EQ(WTnode_gettype(WTlightnode_newambient(root)), WTNODE_LIGHT);
}

TEST_F(Nodes, ASharedChildLivesUntilItsLastParentGoes) {
  WTnode *p1 = WTgroupnode_new(root), *p2 = WTgroupnode_new(root);
  WTnode *shared = WTgroupnode_new(p1);
  WTnode_addchild(p2, shared);
  ASSERT_EQ(_WTuserproperty_new(shared, "Tag", WTINT), 1);
  ASSERT_EQ(WTnode_deletechild(p1, 0), 1);
  EXPECT_EQ(WTnode_numparents(shared), 1);
  EXPECT_EQ(_WTproperty_exists(shared, "Tag"), 1);  // it keeps its properties
  EXPECT_EQ(WTnode_deletechild(p1, 0), 0);

  // Deleting a group keeps a child that another group holds.
  WTnode *p3 = WTgroupnode_new(root);
  WTnode_addchild(p3, shared);
  ASSERT_EQ(WTnode_delete(p2), 1);
  EXPECT_EQ(WTnode_getparent(shared, 0), p3);
  ASSERT_EQ(WTnode_deletechild(p3, 0), 1);  // the last parent: the node goes (ASan watches)
  EXPECT_EQ(WTnode_numchildren(p3), 0);
  EXPECT_EQ(WTnode_delete(root), 0);
  EXPECT_EQ(WTnode_delete(nullptr), 0);
}

TEST_F(Nodes, VacuumKeepsTheRootsAndNothingElse) {
  WTnode *g = WTgroupnode_new(root);
  WTgroupnode_new(g);
  WTnode *loose = WTgroupnode_new(nullptr);
  WTnode_setname(loose, "loose");
  WTnode_vacuum();
  EXPECT_EQ(WTuniverse_getrootnodes(), root);
  EXPECT_EQ(WTnode_numchildren(root), 0);
  EXPECT_EQ(WTuniverse_findnode("loose", 5), nullptr);
}

TEST_F(Nodes, ReorderTakesOnlyAPermutation) {
  WTnode *sep = WTsepnode_new(root);
  WTnode *a = WTgroupnode_new(sep), *b = WTgroupnode_new(sep), *c = WTgroupnode_new(sep);
  const int rotate[3] = {2, 0, 1}, twice[3] = {0, 0, 1}, outside[3] = {0, 1, 3};
  EXPECT_EQ(WTsepnode_reorder(sep, rotate, 2), 0);
  EXPECT_EQ(WTsepnode_reorder(sep, twice, 3), 0);
  EXPECT_EQ(WTsepnode_reorder(sep, outside, 3), 0);
  ASSERT_EQ(WTsepnode_reorder(sep, rotate, 3), 1);
  EXPECT_EQ(WTnode_getchild(sep, 0), c);
  EXPECT_EQ(WTnode_getchild(sep, 1), a);
  EXPECT_EQ(WTnode_getchild(sep, 2), b);
  EXPECT_EQ(WTnode_removechild(sep, 2), 1);  // the list stays linked both ways
  EXPECT_EQ(WTnode_numchildren(sep), 2);
  EXPECT_EQ(WTsepnode_reorder(WTgroupnode_new(root), rotate, 0), 0);
}

TEST_F(Nodes, PrintShowsKindNameAndDepth) {
  WTnode *g = WTgroupnode_new(root);
  WTnode_setname(g, "room");
  WTgeometrynode_new(WTsepnode_new(g), WTgeometry_newblock(1, 1, 1, 0));
  WTxformnode_new(g);
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  tk::Captured captured;
  testing::internal::CaptureStdout();
  WTnode_print(root);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(captured.all(),
            "Depth 0 Root       \"None\"\n"
            "  Depth 1 Group      \"room\"\n"
            "    Depth 2 Separator  \"None\"\n"
            "      Depth 3 Geometry   \"None\"\n"
            "    Depth 2 Xform      \"None\"\n");
}

TEST_F(Nodes, LoadRefusalsAndTheirMessages) {
  tk::Captured captured;
  EXPECT_EQ(WTnode_load(root, nullptr, 1.0f), nullptr);
  EXPECT_EQ(WTnode_load(root, "chair.3ds", 0.0f), nullptr);
  EXPECT_EQ(WTnode_load(root, "no-such-chair.3ds", 1.0f), nullptr);
  EXPECT_EQ(WTgeometrynode_load(root, "no-such-chair.3ds", 1.0f), nullptr);
  EXPECT_EQ(WTnode_load(WTxformnode_new(root), "chair.3ds", 1.0f), nullptr);
  EXPECT_EQ(captured.all(),
            "VAV Warning: Nonsensical scale factor.\n"
            "VAV Warning: Couldn't find file no-such-chair.3ds\n"
            "VAV Warning: Couldn't find file no-such-chair.3ds\n");
  EXPECT_EQ(WTnode_numchildren(root), 1);
}

TEST_F(Nodes, ALightFileFoundAlongTheModelPathIsReadFromThere) {
  std::string path = tk::writeinfolder("lightdir", "lamps.lights", "//lights\npoint pos 1 2 3\n");
  tk::setenvutf8("WTMODELS", "nowhere;lightdir");
  WTnode *first = WTnode_load(root, "lamps.lights", 1.0f);
  tk::setenvutf8("WTMODELS", nullptr);
  remove(path.c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(WTlightnode_gettype(first), 1);
  EXPECT_EQ(WTnode_getchild(root, 0), first);
}

}  // namespace
