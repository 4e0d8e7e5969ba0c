// JT models through stand-ins of the outside JT library named by WTKJTDLL: missing, without its
// entry, and complete.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "scene.h"
#include "support.h"
#include "textures.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/loaders/jt.h"

namespace {

class Jt : public tk::Universe {
 protected:
  void TearDown() override {
    tk::setenvutf8("WTKJTDLL", nullptr);
    _WTjt_unbind();
    tk::Universe::TearDown();
  }
  WTnode *loadwith(const char *library) {
    tk::setenvutf8("WTKJTDLL", library);
    _WTjt_unbind();
    return _WTnode_loadjt(root, "model.jt");
  }
};

int vertexcount(WTgeometry *g) {
  int n = 0;
  for (WTvertex *v = g->vertices; v; v = v->next) n++;
  return n;
}

TEST_F(Jt, MissingLibraryOrEntryLeavesTheReaderUnavailable) {
  for (const char *library : {"no-such-jt.dll", JT_NOENTRY}) {
    tk::Captured messages;
    EXPECT_FALSE(loadwith(library)) << library;
    EXPECT_EQ(WTnode_numchildren(root), 0);
    EXPECT_EQ(messages.all(), "");
  }
  // The failed binding is not tried again: a complete library named later is not seen.
  tk::setenvutf8("WTKJTDLL", JT_COMPLETE);
  EXPECT_FALSE(_WTnode_loadjt(root, "model.jt"));
}

TEST_F(Jt, CompleteLibraryBuildsTheTree) {
  tk::TextureImages images;
  WTnode *model = loadwith(JT_COMPLETE);
  ASSERT_TRUE(model);
  EXPECT_EQ(WTnode_getparent(model, 0), root);
  EXPECT_STREQ(WTnode_getname(model), "wheel_hub");
  // The axis transform first, then what the library made.
  WTnode *axes = WTnode_getchild(model, 0);
  ASSERT_EQ(WTnode_gettype(axes), WTNODE_XFORM);
  WTm4 m;
  WTnode_gettransform(axes, m);
  EXPECT_EQ(m[1][1], -1.0f);
  EXPECT_EQ(m[2][2], -1.0f);
  EXPECT_EQ(WTnode_gettype(WTnode_getchild(model, 1)), WTNODE_MATERIAL);
  WTnode *lod = WTnode_getchild(model, 3);
  ASSERT_EQ(WTnode_gettype(lod), WTNODE_LOD);
  WTp3 centre;
  WTlodnode_getcenter(lod, centre);
  EXPECT_EQ(centre[2], 3.0f);

  // Shared corners: the same position and normal once, another normal or none kept apart.
  WTgeometry *first = WTnode_getgeometry(WTnode_getchild(lod, 0));
  ASSERT_TRUE(first);
  EXPECT_EQ(WTgeometry_numpolys(first), 3);
  EXPECT_EQ(vertexcount(first), 6);
  EXPECT_FALSE(first->mtable);
  int textured = 0;
  for (WTpoly *p = first->polys; p; p = p->next) textured += p->texture != nullptr;
  EXPECT_EQ(textured, 2);
  // The same position in another geometry is a vertex of its own.
  WTgeometry *second = WTnode_getgeometry(WTnode_getchild(model, 5));
  ASSERT_TRUE(second);
  EXPECT_EQ(vertexcount(second), 3);
}

TEST_F(Jt, LoadedByFileType) {
  tk::setenvutf8("WTKJTDLL", JT_COMPLETE);
  tk::TempFolder folder;
  const std::string path = folder.write("part.jt", "Version 8.1 JT\n");
  WTnode *model = WTnode_load(root, path.c_str(), 1.0f);
  ASSERT_TRUE(model);
  EXPECT_STREQ(WTnode_getname(model), "wheel_hub");
}

}  // namespace
