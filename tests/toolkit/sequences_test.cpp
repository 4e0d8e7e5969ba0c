// Animated sequences over doubles of the object calls, and portals over real polygons.
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "geometry_support.h"
#include "scene.h"
#include "support.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/render.h"

namespace {

// ---- Object doubles ---------------------------------------------------------------------------

struct Fake {
  std::string name;
  bool inscene = true, deleted = false, destroyed = false;
  float moved[3] = {0, 0, 0};
  float scaled = 1.0f;
  unsigned char mark = 0;
  WTanimseq *seq = nullptr;
};

struct Objects {
  std::vector<Fake *> all;
  std::set<std::string> missing;  // files that do not load
  bool copyfails = false;
  ~Objects() {
    for (Fake *f : all) delete f;
  }
  Fake *make(const std::string &name) {
    all.push_back(new Fake{name});
    return all.back();
  }
  // The frame objects in the scene, by name.
  std::vector<std::string> shown() const {
    std::vector<std::string> out;
    for (Fake *f : all)
      if (f->inscene && !f->destroyed) out.push_back(f->name);
    return out;
  }
};
Objects *objects;

Fake *fake(WTobject *o) { return reinterpret_cast<Fake *>(o); }
WTobject *obj(Fake *f) { return reinterpret_cast<WTobject *>(f); }

const WTobjectcalls doubles = {
    [](const char *name, WTpq *, float, int, int) -> WTobject * {
      if (objects->missing.count(name)) return nullptr;
      return obj(objects->make(name));
    },
    [](WTobject *o) -> WTobject * {
      if (objects->copyfails && fake(o)->name == "f.1") return nullptr;
      Fake *c = objects->make(fake(o)->name + "'");
      c->inscene = false;
      return obj(c);
    },
    [](WTobject *o) { return (fake(o)->inscene = false), 1; },
    [](WTobject *o) { return (fake(o)->inscene = true), 1; },
    [](WTobject *o) { return (fake(o)->deleted = true), 1; },
    [](WTobject *o) { return (fake(o)->destroyed = true), 1; },
    [](WTobject *o, const WTp3 v, short frame) {
      for (int i = 0; i < 3; i++) fake(o)->moved[i] += frame == 1 ? v[i] : 0.0f;
      return 1;
    },
    [](WTobject *o, float f, const WTp3) { return (fake(o)->scaled *= f), 1; },
    [](WTobject *o, unsigned char m) { return (fake(o)->mark = m), 1; },
    [](WTobject *o) { return fake(o)->mark; },
    [](WTobject *o, WTanimseq *s) { return (fake(o)->seq = s), 1; },
};

class Sequences : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    objects = &store;
    _WTanimseq_setobjectcalls(&doubles);
  }
  void TearDown() override {
    tk::Universe::TearDown();  // frees the sequences left
    _WTanimseq_setobjectcalls(nullptr);
    objects = nullptr;
  }
  // The frame in the scene after each of n frames a period apart.
  std::vector<std::string> play(int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; i++) {
      WTuniverse_go1();
      std::vector<std::string> now = store.shown();
      out.push_back(now.size() == 1 ? now[0] : "several");
      tk::advanceclock(1001);  // a period and a little more: the clock reads in milliseconds
    }
    return out;
  }
  int listed() {
    int n = 0;
    for (WTanimseq *s = static_cast<WTanimseq *>(*_WTuniverse_sequenceslot()); s;
         s = _WTanimseq_next(s))
      n++;
    return n;
  }
  Objects store;
};

using testing::ElementsAre;
using testing::ElementsAreArray;

TEST_F(Sequences, PlayOncePerPeriodByMode) {
  struct Case {
    int count, mode;
    std::vector<std::string> shown;
  } cases[] = {
      {3, 1, {"f.0", "f.1", "f.2", "f.0", "f.1"}},
      {3, 3, {"f.0", "f.1", "f.2", "f.1", "f.0", "f.1", "f.2"}},
      {3, 0, {"f.0", "f.1", "f.2", "f.2", "f.2"}},
      {1, 1, {"f.0", "f.0", "f.0"}},
      {1, 3, {"f.0", "f.0", "f.0"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "count " << c.count << " mode " << c.mode);
    WTanimseq *s = _WTanimseq_new("f", c.count, 1.0, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(fake(_WTanimseq_getframe(s, 0))->seq, s);
    _WTanimseq_setmode(s, c.mode);
    EXPECT_THAT(play(static_cast<int>(c.shown.size())), ElementsAreArray(c.shown));
    // A finished sequence is still the first animation; a deleted one is freed by two steps.
    EXPECT_EQ(_WTuniverse_firstanimation(), s);
    _WTanimseq_delete(s);
    WTuniverse_go1();
    EXPECT_EQ(_WTuniverse_firstanimation(), nullptr);
    WTuniverse_go1();
  }
}

TEST_F(Sequences, WaitForThePeriodAndPlayBackward) {
  WTanimseq *s = _WTanimseq_new("f", 3, 2.0, 0, 0);
  _WTanimseq_setdirection(s, 0);
  EXPECT_EQ(_WTanimseq_setdirection(s, 2), 0);
  EXPECT_THAT(play(5), ElementsAre("f.0", "f.0", "f.2", "f.2", "f.1"));
  EXPECT_EQ(_WTanimseq_getcurrent(s), 1);
}

TEST_F(Sequences, SetFrameTakesTheRemainderOfAnyIndex) {
  WTanimseq *s = _WTanimseq_new("f", 3, 1.0, 0, 0);
  for (int index : {-1, -4, 2, 5, -7}) {
    SCOPED_TRACE(index);
    _WTanimseq_setframe(s, index);
    WTuniverse_go1();
    int want = ((index % 3) + 3) % 3;
    EXPECT_EQ(_WTanimseq_getcurrent(s), want);
    EXPECT_THAT(store.shown(), ElementsAre("f." + std::to_string(want)));
  }
}

TEST_F(Sequences, AMissingFrameFileLeavesNothing) {
  store.missing.insert("f.2");
  EXPECT_EQ(_WTanimseq_new("f", 3, 1.0, 0, 0), nullptr);
  ASSERT_EQ(store.all.size(), 2u);
  for (Fake *f : store.all) {
    EXPECT_TRUE(f->deleted);
    EXPECT_EQ(f->seq, nullptr);
  }
  EXPECT_EQ(listed(), 0);
  EXPECT_EQ(_WTanimseq_new("f", 0, 1.0, 0, 0), nullptr);
  EXPECT_EQ(_WTanimseq_new(nullptr, 2, 1.0, 0, 0), nullptr);
}

TEST_F(Sequences, DeleteStopsThenFreesWithTheFrames) {
  WTanimseq *s = _WTanimseq_new("f", 2, 1.0, 0, 0);
  WTuniverse_go1();
  _WTanimseq_delete(s);
  EXPECT_TRUE(store.all[0]->deleted && store.all[1]->deleted);
  EXPECT_EQ(_WTanimseq_getdata(s), nullptr);
  WTuniverse_go1();  // stopped, the frame taken out of the scene
  EXPECT_EQ(listed(), 1);
  EXPECT_TRUE(store.shown().empty());
  EXPECT_FALSE(store.all[0]->destroyed);
  WTuniverse_go1();  // freed
  EXPECT_EQ(listed(), 0);
  EXPECT_TRUE(store.all[0]->destroyed && store.all[1]->destroyed);
}

TEST_F(Sequences, PauseRestartAndRemove) {
  WTanimseq *s = _WTanimseq_new("f", 3, 1.0, 0, 0);
  EXPECT_THAT(play(2), ElementsAre("f.0", "f.1"));
  _WTanimseq_pause(s);
  EXPECT_THAT(play(2), ElementsAre("several", "several"));  // none shown
  EXPECT_TRUE(store.shown().empty());
  _WTanimseq_restart(s);
  EXPECT_THAT(play(2), ElementsAre("f.2", "f.0"));
  _WTanimseq_remove(s);
  EXPECT_EQ(listed(), 0);
  EXPECT_THAT(play(1), ElementsAre("f.0"));  // no longer stepped
  _WTanimseq_start(s);
  EXPECT_EQ(listed(), 1);
}

TEST_F(Sequences, MovesScalesAndMarksEveryFrame) {
  WTanimseq *s = _WTanimseq_new("f", 2, 1.0, 0, 0);
  const WTp3 v = {1, 2, 3};
  _WTanimseq_translate(s, v);
  _WTanimseq_scale(s, 2.0f);
  EXPECT_EQ(_WTanimseq_anymarked(s), 0);
  _WTanimseq_setmark(s, 1);
  EXPECT_EQ(_WTanimseq_anymarked(s), 1);
  for (Fake *f : store.all) {
    EXPECT_THAT(f->moved, ElementsAre(1, 2, 3));
    EXPECT_EQ(f->scaled, 2.0f);
  }
  EXPECT_EQ(_WTanimseq_getperiod(nullptr), -1.0);
  EXPECT_EQ(_WTanimseq_getmode(nullptr), -1);
  EXPECT_EQ(_WTanimseq_getframe(s, 2), nullptr);
}

TEST_F(Sequences, CopiesOwnCopiedFrames) {
  WTanimseq *s = _WTanimseq_new("f", 2, 1.0, 0, 0);
  _WTanimseq_setmode(s, 3);
  WTanimseq *c = _WTanimseq_copy(s);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(_WTanimseq_getmode(c), 3);
  EXPECT_EQ(fake(_WTanimseq_getframe(c, 1))->name, "f.1'");
  EXPECT_EQ(fake(_WTanimseq_getframe(c, 1))->seq, c);
  EXPECT_EQ(listed(), 2);
  store.copyfails = true;  // the second frame fails
  EXPECT_EQ(_WTanimseq_copy(s), nullptr);
  EXPECT_EQ(listed(), 2);
  EXPECT_EQ(store.all.back()->name, "f.0'");
  EXPECT_TRUE(store.all.back()->deleted);
}

// ---- Portals -----------------------------------------------------------------------------------

class Portals : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    // A square doorway in the plane z = 0.
    square = geo::polygon({{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}});
    ASSERT_NE(square, nullptr);
    door = WTgeometry_getpolys(square);
  }
  void TearDown() override {
    tk::Universe::TearDown();
    WTgeometry_delete(square);
  }
  // Moves the current viewpoint from a to b (turning by the quaternion) between two frames and
  // tells whether a portal load was tried.
  bool walk(const WTp3 a, const WTp3 b, const WTq turn = nullptr) {
    WTviewpoint *v = _WTuniverse_getviewpoint();
    const WTq straight = {0, 0, 0, 1};
    WTviewpoint_setposition(v, a);
    WTviewpoint_setorientation(v, straight);
    WTuniverse_go1();
    WTviewpoint_setposition(v, b);
    if (turn) WTviewpoint_setorientation(v, turn);
    tk::Captured captured;
    WTuniverse_go1();
    return captured.all().find("Couldn't portal to universe") != std::string::npos;
  }
  WTgeometry *square = nullptr;
  WTpoly *door = nullptr;
};

TEST_F(Portals, PassingThroughTheDoorwayLoadsItsUniverse) {
  WTportal *p = _WTportal_new(door, "beyond.nff");
  ASSERT_NE(p, nullptr);
  const WTp3 front = {0.5f, 0.5f, 1}, back = {0.5f, 0.5f, -1}, beside = {3, 0, -1},
             before = {0.5f, 0.5f, 0.5f};
  tk::Captured captured;
  EXPECT_TRUE(walk(front, back));
  EXPECT_EQ(_WTuniverse_getportals(), p);  // a failed load keeps the portal
  EXPECT_TRUE(walk(back, front));
  EXPECT_FALSE(walk(front, beside));
  EXPECT_FALSE(walk(front, before));
  const WTq turned = {0, 0.7071068f, 0, 0.7071068f};
  EXPECT_FALSE(walk(front, back, turned));
  _WTportal_disable(p);
  EXPECT_FALSE(walk(front, back));
  _WTportal_enable(p);
  _WTuniverse_setportalsenabled(0);
  EXPECT_FALSE(walk(back, front));
}

TEST_F(Portals, PolygonListsRemovalAndCopies) {
  EXPECT_EQ(_WTportal_new(nullptr, "x"), nullptr);
  EXPECT_EQ(_WTportal_new(door, nullptr), nullptr);
  WTportal *a = _WTportal_new(door, "a.nff"), *b = _WTportal_new(door, "b.nff");
  EXPECT_EQ(_WTuniverse_getportals(), b);
  EXPECT_EQ(_WTportal_next(b), a);
  ASSERT_EQ(_WTpoly_addportal(door, a), 1);
  ASSERT_EQ(_WTpoly_addportal(door, b), 1);
  EXPECT_EQ(_WTpoly_getportals(door)->value, b);

  // Removing a portal that is not listed frees nothing.
  char notaportal[64] = {};
  _WTportal_remove(reinterpret_cast<WTportal *>(notaportal));
  EXPECT_EQ(_WTuniverse_getportals(), b);

  _WTportal_disable(a);
  _WTportal_setdata(a, notaportal);
  WTgeometry *copy = WTgeometry_copy(square);
  WTcell cells[2] = {{a, &cells[1]}, {b, nullptr}};
  WTcell *copies = _WTportal_copylist(cells, nullptr, nullptr, copy);
  ASSERT_NE(copies, nullptr);
  ASSERT_NE(copies->next, nullptr);
  WTportal *ca = static_cast<WTportal *>(copies->next->value);  // reverse order
  EXPECT_STREQ(_WTportal_getname(ca), "a.nff");
  EXPECT_EQ(_WTportal_isenabled(ca), 1);
  EXPECT_EQ(_WTportal_getdata(ca), nullptr);
  EXPECT_EQ(_WTportal_getpoly(ca), WTgeometry_getpolys(copy));
  EXPECT_EQ(_WTpoly_getportals(WTgeometry_getpolys(copy))->next->value, ca);
  EXPECT_EQ(_WTuniverse_getportals(), copies->value);

  _WTportal_remove(b);
  EXPECT_EQ(_WTpoly_getportals(door)->value, a);
  EXPECT_EQ(_WTpoly_getportals(door)->next, nullptr);
  _WTlist_free(copies);
  _WTportal_removeall();
  EXPECT_EQ(_WTpoly_getportals(door), nullptr);
  WTgeometry_delete(copy);
}

}  // namespace
