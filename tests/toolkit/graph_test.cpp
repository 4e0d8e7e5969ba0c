// Scene-graph nodes: attaching, inserting and removing children, several parents, the default
// parent, names and the "Children" property events.
#include <string>
#include <vector>

#include "scene.h"
#include "support.h"

namespace {

using Graph = tk::Universe;

std::vector<WTnode *> children(WTnode *n) {
  std::vector<WTnode *> v;
  for (int i = 0; i < WTnode_numchildren(n); i++) v.push_back(WTnode_getchild(n, i));
  return v;
}

TEST_F(Graph, AttachInsertAndRemoveWithTheirRefusals) {
  WTnode *a = WTgroupnode_new(root);
  WTnode *b = WTgroupnode_new(a);
  WTnode *x = WTxformnode_new(b);
  WTnode *c = WTsepnode_new(nullptr);
  WTnode *d = WTgroupnode_new(nullptr);
  WTnode *other = WTrootnode_new();
  const struct {
    const char *what;
    int result;
    int expected;
  } cases[] = {
      {"cycle", WTnode_addchild(b, a), 0},
      {"self", WTnode_addchild(a, a), 0},
      {"root as child", WTnode_addchild(a, other), 0},
      {"parent without children", WTnode_addchild(x, c), 0},
      {"null child", WTnode_addchild(a, nullptr), 0},
      {"index n + 1", WTnode_insertchild(a, c, WTnode_numchildren(a) + 1), 0},
      {"negative index", WTnode_insertchild(a, c, -1), 0},
      {"index n appends", WTnode_insertchild(a, c, WTnode_numchildren(a)), 1},
      {"index 0", WTnode_insertchild(a, d, 0), 1},
      {"cycle by insertion", WTnode_insertchild(c, a, 0), 0},
      {"missing index", WTnode_removechild(a, 3), 0},
  };
  for (const auto &k : cases) EXPECT_EQ(k.result, k.expected) << k.what;
  EXPECT_EQ(children(a), (std::vector<WTnode *>{d, b, c}));
  EXPECT_EQ(WTnode_getchild(a, -1), nullptr);
  EXPECT_EQ(WTnode_canaddchild(b, a), 0);
  EXPECT_EQ(WTnode_canaddchild(a, other), 0);
  EXPECT_EQ(WTnode_canaddchild(c, x), 1);
  // A node made without a parent counts no parent until it gets a real one.
  EXPECT_EQ(WTnode_numparents(c), 1);
  EXPECT_EQ(WTnode_getparent(c, 0), a);
  EXPECT_EQ(WTnode_removechild(a, 1), 1);
  EXPECT_EQ(WTnode_numparents(b), 0);
  EXPECT_EQ(children(a), (std::vector<WTnode *>{d, c}));
  EXPECT_EQ(WTnode_getchild(b, 0), x);  // detached, not deleted
}

TEST_F(Graph, ANodeUnderTwoParentsIsRemovedToTheDefaultParent) {
  WTnode *p1 = WTgroupnode_new(root), *p2 = WTsepnode_new(root);
  WTnode *n = WTgroupnode_new(p1);
  ASSERT_EQ(WTnode_addchild(p1, n), 1);
  EXPECT_EQ(WTnode_numchildren(p1), 2);
  EXPECT_EQ(WTnode_numparents(n), 2);
  EXPECT_EQ(WTnode_removechild(p1, 0), 1);
  EXPECT_EQ(WTnode_numparents(n), 1);

  ASSERT_EQ(WTnode_addchild(p2, n), 1);
  EXPECT_EQ(WTnode_getparent(n, 1), p2);
  EXPECT_EQ(WTnode_remove(n), 1);
  EXPECT_EQ(WTnode_numchildren(p1), 0);
  EXPECT_EQ(WTnode_numchildren(p2), 0);
  EXPECT_EQ(WTnode_numparents(n), 0);
  EXPECT_EQ(WTnode_getparent(n, 0), nullptr);
  EXPECT_EQ(WTnode_remove(n), 1);  // already detached
  // Attached again, the node keeps one parent chain.
  ASSERT_EQ(WTnode_addchild(p2, n), 1);
  EXPECT_EQ(WTnode_numparents(n), 1);
  EXPECT_EQ(WTnode_getparent(n, 0), p2);
}

TEST_F(Graph, NamesAreLookedUpExactlyWhereTheyMustBe) {
  WTnode *lamp = WTgroupnode_new(root), *lampo = WTgroupnode_new(root);
  ASSERT_EQ(WTnode_setname(lamp, "lamp"), 1);
  ASSERT_EQ(WTnode_setname(lampo, "lampo"), 1);  // same bucket, named later
  EXPECT_EQ(WTuniverse_findnode("lamp", 4), lampo);
  EXPECT_EQ(WTuniverse_findnodebyname("lamp", 0), lamp);
  EXPECT_EQ(WTuniverse_findnodebyname("lamp", 1), nullptr);
  EXPECT_EQ(WTuniverse_findnodebyname("lamp", -1), nullptr);

  WTnode *holder = WTgroupnode_new(root);
  EXPECT_EQ(WTnode_setchildren(holder, "lamp"), 1);
  EXPECT_EQ(children(holder), std::vector<WTnode *>{lamp});
  EXPECT_EQ(WTnode_setchildren(holder, "lampo, nobody;lamp"), 1);
  EXPECT_EQ(children(holder), (std::vector<WTnode *>{lampo, lamp}));

  WTnode *blank = WTgroupnode_new(root);
  EXPECT_EQ(WTnode_setname(blank, ""), 1);
  EXPECT_EQ(WTuniverse_findnodebyname("", 0), blank);

  tk::Captured captured;
  EXPECT_EQ(WTnode_setname(lamp, nullptr), 1);
  EXPECT_EQ(WTnode_getname(lamp), nullptr);
  EXPECT_EQ(WTuniverse_findnodebyname("lamp", 0), nullptr);
  EXPECT_EQ(WTnode_setname(lamp, nullptr), 1);
  EXPECT_EQ(captured.all(), "");

  // A deleted node leaves the table.
  WTnode_delete(lampo);
  EXPECT_EQ(WTuniverse_findnode("lampo", 5), nullptr);
}

unsigned char veto(void *, const char *, double, int) { return 0; }

std::vector<std::string> events;
void record(void *object, const char *name, void *value, double, int) {
  events.push_back(std::string(WTnode_getname(static_cast<WTnode *>(object))) + " " + name + "=" +
                   (value ? static_cast<const char *>(value) : ""));
}

TEST_F(Graph, AChildrenVetoLeavesTheGraphUnchanged) {
  WTnode *g = WTgroupnode_new(root), *kept = WTgroupnode_new(g), *n = WTgroupnode_new(nullptr);
  ASSERT_EQ(_WTproperty_addprehandler(g, "Children", veto), 1);
  EXPECT_EQ(WTnode_addchild(g, n), 0);
  EXPECT_EQ(WTnode_insertchild(g, n, 0), 0);
  EXPECT_EQ(WTnode_removechild(g, 0), 0);
  EXPECT_EQ(WTnode_setchildren(g, ""), 0);
  EXPECT_EQ(WTnode_remove(kept), 0);
  EXPECT_EQ(children(g), std::vector<WTnode *>{kept});
  EXPECT_EQ(WTnode_getparent(kept, 0), g);
}

TEST_F(Graph, ChildrenEventsReachEveryFormerParent) {
  WTnode *p1 = WTgroupnode_new(root), *p2 = WTgroupnode_new(root), *n = WTgroupnode_new(p1);
  WTnode_setname(p1, "p1");
  WTnode_setname(p2, "p2");
  WTnode_setname(n, "n");
  WTnode_addchild(p2, n);
  for (WTnode *p : {p1, p2}) {
    ASSERT_EQ(_WTproperty_addhandler(p, "Children", record), 1);
  }
  events.clear();
  WTnode_addchild(p1, WTgroupnode_new(nullptr));
  WTnode_remove(n);
  WTuniverse_go1();
  EXPECT_EQ(events, (std::vector<std::string>{"p1 Children=n,", "p1 Children=", "p2 Children="}));
}

}  // namespace
