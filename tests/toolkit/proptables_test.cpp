// Built-in properties of nodes, sensors, paths, viewpoints and windows through the property layer.
#include <string.h>

#include <gmock/gmock.h>

#include "scene.h"
#include "toolkit/core/layers.h"

namespace {

using PropertyTables = tk::Universe;
using ::testing::ElementsAreArray;

// A value written by name and read back: numbers as floats or one integer, or a text.
struct Case {
  void *object;
  const char *name;
  std::vector<float> floats;
  int word;
  const char *text;
};

void writeandread(const Case &c) {
  SCOPED_TRACE(c.name);
  int type = _WTproperty_gettype(c.object, c.name);
  ASSERT_EQ(type, _WTpropertytable_gettype(c.object, c.name));
  float out[9] = {0};
  if (c.text) {
    ASSERT_EQ(type, WTSTRING);
    ASSERT_EQ(_WTproperty_setstring(c.object, c.name, c.text), 1);
    EXPECT_STREQ(_WTproperty_getstring(c.object, c.name), c.text);
  } else if (c.floats.empty()) {
    ASSERT_EQ(type, WTINT);
    ASSERT_EQ(_WTproperty_setint(c.object, c.name, c.word), 1);
    int32_t w = 0;
    ASSERT_EQ(_WTproperty_getvalue(c.object, c.name, &w), 1);
    EXPECT_EQ(w, c.word);
  } else {
    ASSERT_EQ(_WTproperty_set(c.object, c.name, c.floats.data(), 0, nullptr, 0, 0), 1);
    ASSERT_EQ(_WTproperty_getvalue(c.object, c.name, out), 1);
    EXPECT_THAT(std::vector<float>(out, out + c.floats.size()), ElementsAreArray(c.floats));
  }
}

WTpath *onepath() {
  WTpath *p = _WTpath_new(nullptr);
  WTpq pose = {{0, 0, 0}, {0, 0, 0, 1}};
  _WTpath_append(p, _WTpathelement_new(&pose));
  _WTpath_rewind(p);
  return p;
}

TEST_F(PropertyTables, RowsAreWrittenAndReadByName) {
  WTnode *x = WTxformnode_new(root), *sep = WTsepnode_new(root), *sw = WTswitchnode_new(root);
  WTgroupnode_new(sw), WTgroupnode_new(sw);
  WTnode *fog = WTfognode_new(root), *spot = WTlightnode_newspot(root);
  WTnode *lod = WTlodnode_new(root), *anchor = WTanchornode_new(root);
  WTsensor *s = WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 0);
  WTpath *p = onepath();
  const std::vector<float> turn = {0, 0.6f, 0, 0.8f};
  const Case cases[] = {
      {x, "Translation", {1, 2, 3}, 0, nullptr},
      {x, "Rotation", {0, 1, 0, -1, 0, 0, 0, 0, 1}, 0, nullptr},
      {sep, "SeCu", {}, 1, nullptr},
      {sep, "Enabled", {}, 0, nullptr},
      {sw, "Active Child", {}, 1, nullptr},
      {fog, "Color", {0.5f, 0.25f, 1, 1}, 0, nullptr},
      {fog, "Range", {40}, 0, nullptr},
      {fog, "Linear Start", {4}, 0, nullptr},
      {fog, "Is Exponential", {}, 1, nullptr},
      {spot, "LtAm", {0.25f, 0.5f, 0.75f}, 0, nullptr},
      {spot, "Intensity", {0.5f}, 0, nullptr},
      {spot, "Exponent", {2}, 0, nullptr},
      {lod, "LoCe", {1, 1, 1}, 0, nullptr},
      {anchor, "URL", {}, 0, "http://x/y"},
      {s, "Sensitivity", {2.5f}, 0, nullptr},
      {s, "Angular rate", {0.5f}, 0, nullptr},
      {s, "Misc data", {}, 9, nullptr},
      {s, "Translation", {1, 0, 2}, 0, nullptr},
      {s, "Rotation", turn, 0, nullptr},
      {s, "Snlt", {3, 2, 1}, 0, nullptr},
      {s, "Snlr", turn, 0, nullptr},
      {p, "Speed", {}, 2, nullptr},
      {p, "PtSa", {}, 3, nullptr},
      {p, "Forward", {}, 0, nullptr},
      {p, "PtTr", {4, 5, 6}, 0, nullptr},
      {p, "PtRo", turn, 0, nullptr},
  };
  for (const Case &c : cases) writeandread(c);

  // The sensor's last record is what "Snlt" and "Snlr" name.
  WTp3 last;
  _WTsensor_getlasttranslation(s, last);
  EXPECT_EQ(last[0], 3);
}

TEST_F(PropertyTables, HandlersRunOnBuiltInNames) {
  static std::vector<std::string> seen;
  seen.clear();
  WTnode *x = WTxformnode_new(root);
  ASSERT_EQ(_WTproperty_addhandler(x, "Translation",
                                   [](void *, const char *name, void *, double, int) {
                                     seen.push_back(name);
                                   }),
            1);
  const WTp3 at = {1, 0, 0};
  WTnode_settranslation(x, at);
  WTuniverse_go1();
  EXPECT_EQ(seen, std::vector<std::string>{"Translation"});
  // A user property cannot take a built-in name.
  EXPECT_EQ(_WTuserproperty_new(x, "Translation", WTP3), 0);
}

TEST_F(PropertyTables, AnEmptyPathElementAndMismatchedRecordsAreRefused) {
  WTpath *p = _WTpath_new(nullptr);
  WTp3 t = {1, 1, 1};
  EXPECT_EQ(_WTproperty_setp3(p, "PtTr", t), 0);
  EXPECT_EQ(_WTproperty_getvalue(p, "PtTr", t), 0);
  WTnode *x = WTxformnode_new(root);
  WTvalue *word = _WTvalue_new(WTINT);
  EXPECT_EQ(_WTproperty_setbuiltinfromvalue(x, "Translation", word), 0);
  _WTvalue_delete(word);
  WTvalue *text = _WTvalue_new(WTSTRING);
  _WTvalue_set(text, "a");
  WTnode *a = WTgroupnode_new(root);
  WTnode_setname(a, "a");
  WTnode *g = WTgroupnode_new(root);
  EXPECT_EQ(_WTproperty_setbuiltinfromvalue(g, "Children", text), 1);
  EXPECT_EQ(WTnode_getchild(g, 0), a);
  _WTvalue_delete(text);
}

std::vector<std::string> listed(void *object) {
  std::vector<std::string> names;
  for (int i = 0; i < _WTproperty_numbuiltin(object); i++)
    names.push_back(_WTproperty_builtinname(object, i));
  EXPECT_EQ(_WTproperty_builtinname(object, _WTproperty_numbuiltin(object)), nullptr);
  return names;
}

using Names = std::vector<std::string>;

TEST_F(PropertyTables, EachNodeTypeListsItsNames) {
  const Names light0 = {"Enabled", "Children", "LtAm", "LtDi", "LtSp", "Intensity", "LtDr"};
  Names light1 = light0, light2;
  light1.insert(light1.end(), {"LtPs", "Attenuation"});
  light2 = light1;
  light2.insert(light2.end(), {"Angle", "Exponent"});
  Names movspot = {"BoundingBox", "Enabled", "Children", "Rotation", "Translation", "MvAt"};
  movspot.insert(movspot.end(), light2.begin() + 2, light2.end());
  const struct {
    WTnode *node;
    Names names;
  } cases[] = {
      {WTxformnode_new(root), {"Children", "Rotation", "Translation"}},
      {WTsepnode_new(root), {"BoundingBox", "Enabled", "Children", "SeCu"}},
      {WTswitchnode_new(root), {"BoundingBox", "Children", "Active Child"}},
      {WTanchornode_new(root), {"BoundingBox", "Children", "URL"}},
      {WTinlinenode_new(root), {"BoundingBox", "Children", "Location"}},
      {WTlightnode_newdirected(root), light0},
      {WTlightnode_newpoint(root), light1},
      {WTlightnode_newspot(root), light2},
      {_WTmovlightnode_newspot(root), movspot},
      {WTlightnode_newambient(root), {"Enabled", "Children", "LtAm", "Intensity"}},
      {WTfognode_new(root),
       {"Enabled", "Children", "Color", "Linear Start", "Is Exponential", "Range"}},
  };
  for (const auto &c : cases) EXPECT_EQ(listed(c.node), c.names) << WTnode_gettype(c.node);
  Names path = listed(_WTpath_new(nullptr));
  EXPECT_EQ(path.size(), 12u);
  EXPECT_EQ(path[11], "PtVi");
  Names sensor = listed(WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 0));
  EXPECT_EQ(sensor.front(), "Angular rate");
  EXPECT_EQ(sensor.back(), "SnUp");
}

TEST_F(PropertyTables, LookupsRefuseWhatIsNotInTheTable) {
  WTnode *x = WTxformnode_new(root);
  WTbase *generic = _WTbase_newobject(nullptr);
  EXPECT_EQ(_WTpropertytable_index(x, "Translation"), 4);
  EXPECT_EQ(_WTpropertytable_index(x, "translation"), -1);
  EXPECT_EQ(_WTpropertytable_index(x, ""), -1);
  EXPECT_EQ(_WTpropertytable_index(x, nullptr), -1);
  EXPECT_EQ(_WTpropertytable_index(nullptr, "Translation"), -1);
  EXPECT_EQ(_WTpropertytable_index(generic, "Translation"), -1);
  EXPECT_EQ(_WTpropertytable_gettype(generic, "Translation"), WTNOTYPE);
  EXPECT_EQ(_WTproperty_numbuiltin(generic), 0);
  _WTbase_delete(generic);

  EXPECT_STREQ(static_cast<const char *>(_WTpropertytable_cell(x, 24, 0)), "Active Child");
  EXPECT_EQ(_WTpropertytable_cell(x, 4, 1), reinterpret_cast<void *>(WTP3));
  EXPECT_EQ(_WTpropertytable_cell(x, 25, 0), nullptr);
  EXPECT_EQ(_WTpropertytable_cell(x, 0, 4), nullptr);
  EXPECT_EQ(_WTpropertytable_cell(x, -1, 0), nullptr);
  EXPECT_EQ(_WTpropertytable_cell(nullptr, 0, 0), nullptr);
  EXPECT_EQ(_WTpropertytable_bind(9, 0, nullptr, nullptr), 1);
  EXPECT_EQ(_WTpropertytable_bind(0, 0, nullptr, nullptr), 0);
}

// Every row of every class finds its setter and getter among the program's exports.
TEST_F(PropertyTables, EveryRowIsBound) {
  WTwindow *w = WTwindow_newuser(nullptr, 0);
  ASSERT_TRUE(w);
  WTviewpoint *v = WTviewpoint_new();
  void *objects[] = {WTxformnode_new(root), v, w, WTsensor_new(nullptr, nullptr, nullptr, nullptr, 0, 0),
                     _WTpath_new(nullptr)};
  const int rows[] = {25, 6, 21, 10, 12};
  for (int c = 0; c < 5; c++) {
    int n = 0;
    for (; _WTpropertytable_cell(objects[c], n, 0); n++) {
      const char *name = static_cast<const char *>(_WTpropertytable_cell(objects[c], n, 0));
      EXPECT_TRUE(_WTpropertytable_cell(objects[c], n, 2)) << name;
      EXPECT_TRUE(_WTpropertytable_cell(objects[c], n, 3)) << name;
    }
    EXPECT_EQ(n, rows[c]) << c;
  }
  void *setter = nullptr;
  int index = -1;
  EXPECT_EQ(_WTpropertytable_getsetter(v, "AspectRatio", &setter, &index), 1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(setter, _WTpropertytable_cell(v, 0, 2));
  WTviewpoint_delete(v);
  WTwindow_delete(w);
}

// A frustum corner set by name moves only its own two sides of the first eye.
TEST_F(PropertyTables, FrustumCornersByName) {
  WTwindow *w = WTwindow_newuser(nullptr, 0);
  ASSERT_TRUE(w);
  ASSERT_EQ(WTwindow_setfrustum(w, 0, -1, 2, -3, 4, 0.5f, 100), 1);
  ASSERT_EQ(WTwindow_setfrustum(w, 1, -5, 6, -7, 8, 1, 50), 1);
  auto frustum = [w](int eye) {
    std::vector<float> f(6);
    WTwindow_getfrustum(w, eye, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5]);
    return f;  // left, right, bottom, top, hither, yon
  };
  float tl[2] = {10, -20};
  ASSERT_EQ(_WTproperty_setp2(w, "FrustumTL", tl), 1);
  EXPECT_EQ(frustum(0), (std::vector<float>{-20, 2, -3, 10, 0.5f, 100}));
  float br[2] = {-30, 40};
  ASSERT_EQ(_WTproperty_setp2(w, "FrustumBR", br), 1);
  EXPECT_EQ(frustum(0), (std::vector<float>{-20, 40, -30, 10, 0.5f, 100}));
  EXPECT_EQ(frustum(1), (std::vector<float>{-5, 6, -7, 8, 1, 50}));

  float out[2] = {0, 0};
  ASSERT_EQ(_WTproperty_getvalue(w, "FrustumTL", out), 1);
  EXPECT_THAT(out, ElementsAreArray({10.0f, -20.0f}));
  ASSERT_EQ(_WTproperty_getvalue(w, "FrustumBR", out), 1);
  EXPECT_THAT(out, ElementsAreArray({-30.0f, 40.0f}));
  WTwindow_delete(w);
}

}  // namespace
