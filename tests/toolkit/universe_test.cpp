// The universe and its frame loop, start-up options and tasks.
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "scene.h"
#include "support.h"
#include "toolkit/core/options.h"
#include "toolkit/core/universe.h"
#include "toolkit/render/render.h"

namespace {

using Frames = tk::Universe;

std::string trail;

void action() { trail += 'A'; }
void task(void *) { trail += 'T'; }
void reenter() {
  trail += 'A';
  WTuniverse_go1();
  WTuniverse_go();
}

TEST_F(Frames, ActionsRunInTheEventOrder) {
  int object;
  _WTuniverse_setactions(action);
  _WTtask_new(&object, task, 1.0f);
  trail.clear();
  WTuniverse_go1();
  EXPECT_EQ(trail, "AT");
  const int16_t reversed[4] = {4, 3, 2, 1};
  ASSERT_EQ(_WTuniverse_seteventorder(4, reversed), 1);
  trail.clear();
  WTuniverse_go1();
  EXPECT_EQ(trail, "TA");

  const int16_t three[3] = {2, 1, 3}, missing[3] = {2, 2, 3};
  ASSERT_EQ(_WTuniverse_seteventorder(3, three), 1);
  const WTeventorder *order = _WTuniverse_geteventorder();
  EXPECT_EQ(order->count, 3);
  EXPECT_THAT(order->codes, testing::ElementsAre(2, 1, 3, 4));
  EXPECT_EQ(_WTuniverse_seteventorder(3, missing), 0);
  EXPECT_THAT(order->codes, testing::ElementsAre(2, 1, 3, 4));
  EXPECT_EQ(_WTuniverse_seteventorder(5, reversed), 0);
  EXPECT_EQ(_WTuniverse_getframecount(), 2u);
}

TEST_F(Frames, NeitherEntryMayBeReentered) {
  _WTuniverse_setactions(reenter);
  tk::Captured captured;
  trail.clear();
  WTuniverse_go1();
  EXPECT_EQ(trail, "A");  // one frame, and the inner calls returned at once
  EXPECT_EQ(captured.all(),
            "VAV Warning: Function WTuniverse_go1 is not reentrant.\n"
            "VAV Warning: Function WTuniverse_go is not reentrant");
}

TEST_F(Frames, EarlyFrameRatesCountFromTheUniversesCreation) {
  WTuniverse_delete();
  double before = _WTsys_seconds();
  WTuniverse_new(512, 0);
  double after = _WTsys_seconds();
  _WTsys_sleep(30);
  double start = _WTsys_seconds();
  WTuniverse_go1();
  double end = _WTsys_seconds();
  float rate = _WTuniverse_getframerate();
  EXPECT_LE(rate, 30.0 / (start - after) + 1.0);
  EXPECT_GE(rate, 30.0 / (end - before) - 1.0);
  EXPECT_EQ(_WTuniverse_framerateover(31), -1.0f);
  EXPECT_EQ(_WTuniverse_framerateover(30), rate);
}

TEST_F(Frames, OptionsKeepTheirBytes) {
  EXPECT_EQ(_WTuniverse_getoption(6), 0);
  WTuniverse_setoption(6, 1);
  EXPECT_EQ(*_WTopts_byte(_WTuniverse_getoptions(), 6), 0);
  EXPECT_EQ(_WTuniverse_getoption(6), 1);
  EXPECT_EQ(_WTuniverse_getoption(11), 1);
  EXPECT_EQ(_WTuniverse_getoption(20), -1);
  tk::Captured captured;
  WTuniverse_setoption(18, 0);
  WTuniverse_setoption(18, 256);
  EXPECT_EQ(_WTuniverse_getoption(18), 1);
  WTuniverse_setoption(20, 1);
  EXPECT_EQ(captured.all(),
            "VAV Warning: Illegal value for WTOPTION_JTLODS\n"
            "VAV Warning: Illegal value for WTOPTION_JTLODS\n"
            "VAV Warning: Specified option: 20 is not available.\n");
}

TEST_F(Frames, WrappedLightsGoUnderTheFirstRootAtChildZero) {
  WTgroupnode_new(root);
  WTnode *a = _WTnode_insertlight(_WTlight_new(nullptr, nullptr, 1.0f, 0, 0, 1));
  EXPECT_EQ(WTnode_getchild(root, 0), a);
  EXPECT_EQ(_WTnode_insertlight(WTnode_getchild(root, 0)->u.light.light), a);
  WTuniverse_setoption(11, 0);
  WTnode *b = _WTnode_insertlight(_WTlight_new(nullptr, nullptr, 1.0f, 0, 0, 1));
  EXPECT_EQ(WTnode_numparents(b), 0);
}

void ontheload() {}

TEST_F(Frames, UnloadCallbacksGoByBaseNameAndAFailedLoadLeavesTheSceneEmpty) {
  static int unloads;
  unloads = 0;
  _WTuniverse_setunloadcallback("", [] { unloads += 100; });
  _WTuniverse_setunloadcallback("C:\\worlds\\House.nff", [] { unloads++; });
  _WTuniverse_setloadcallback("house", ontheload);
  _WTuniverse_setloadcallback("HOUSE", nullptr);  // a later one replaces, null is the empty one
  EXPECT_EQ(_WTuniverse_getloadcallback("house"), nullptr);
  _WTuniverse_setloadcallback("house", ontheload);
  EXPECT_EQ(_WTuniverse_getloadcallback("House.3ds"), ontheload);
  EXPECT_EQ(_WTuniverse_getunloadcallback("garden"), nullptr);
  EXPECT_NE(_WTuniverse_getunloadcallback(""), nullptr);

  _WTuniverse_setname("house.nff");
  int object;
  _WTtask_new(&object, task, 1.0f);
  std::string file = tk::writefile("world.nff", "nff\nversion 2.0\n");
  WTpq pose;
  EXPECT_EQ(_WTuniverse_loadfile(file.c_str(), &pose, 1.0f), 0);
  EXPECT_EQ(unloads, 1);
  EXPECT_STREQ(_WTuniverse_getname(), "untitled");
  EXPECT_EQ(_WTtask_get(&object, 0), nullptr);
  EXPECT_EQ(_WTuniverse_loadfile(file.c_str(), &pose, 0.0f), 0);
}

TEST(UniverseLife, DeletedAndMadeAgain) {
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
  for (int round = 0; round < 2; round++) {
    WTuniverse_new(512, 0);
    WTnode *root = WTuniverse_getrootnodes();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(WTrootnode_next(root), nullptr);
    WTnode *g = WTgroupnode_new(root);
    WTnode_setname(g, "kept");
    WTlightnode_newspot(g);
    WTgroupnode_new(nullptr);  // detached: freed with the universe
    int object;
    _WTtask_new(&object, task, 1.0f);
    EXPECT_NE(_WTuniverse_getviewpoint(), nullptr);
    WTuniverse_go1();
    WTuniverse_delete();
    EXPECT_FALSE(_WTuniverse_exists());
    EXPECT_EQ(WTuniverse_getrootnodes(), nullptr);
    EXPECT_EQ(WTuniverse_findnode("kept", 4), nullptr);
  }
  WTuniverse_delete();  // nothing without a universe
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
}

// ---- Tasks ---------------------------------------------------------------------------------

std::vector<std::string> ran;
void named(void *object) { ran.push_back(static_cast<const char *>(object)); }
WTtask *selfdeleting;
void deleteself(void *object) {
  ran.push_back(static_cast<const char *>(object));
  _WTtask_delete(selfdeleting);
}

class Tasks : public ::testing::Test {
 protected:
  void SetUp() override { ran.clear(); }
  void TearDown() override { _WTtask_clear(); }
};

TEST_F(Tasks, RunLowestPriorityFirstAndEqualOnesInCreationOrder) {
  static char two[] = "2.0", one[] = "1.0 first", other[] = "1.0 second";
  _WTtask_new(two, named, 2.0f);
  _WTtask_new(one, named, 1.0f);
  _WTtask_new(other, named, 1.0f);
  _WTtask_run();
  EXPECT_EQ(ran, (std::vector<std::string>{"1.0 first", "1.0 second", "2.0"}));
  EXPECT_EQ(_WTtask_new(nullptr, named, 1.0f), nullptr);
  EXPECT_EQ(_WTtask_new(two, nullptr, 1.0f), nullptr);
}

TEST_F(Tasks, ATaskMayDeleteItself) {
  static char self[] = "self", after[] = "after";
  selfdeleting = _WTtask_new(self, deleteself, 1.0f);
  _WTtask_new(after, named, 2.0f);
  _WTtask_run();
  EXPECT_EQ(ran, (std::vector<std::string>{"self", "after"}));
  EXPECT_EQ(_WTtask_getpriority(selfdeleting), -999999.0f);
  _WTtask_run();  // frees it
  EXPECT_EQ(ran, (std::vector<std::string>{"self", "after", "after"}));
}

TEST_F(Tasks, LookupsPassOverDeletedTasks) {
  static char object[] = "o";
  WTtask *t1 = _WTtask_new(object, named, 1.0f);
  WTtask *t2 = _WTtask_new(object, named, 1.0f);
  WTtask *t3 = _WTtask_new(object, named, 1.0f);
  EXPECT_EQ(_WTtask_get(object, 1), t2);
  _WTtask_delete(t1);
  EXPECT_EQ(_WTtask_get(object, 1), t3);
  _WTtask_delete(t2);
  EXPECT_EQ(_WTtask_get(object, 0), t3);
  EXPECT_EQ(_WTtask_get(object, 1), nullptr);
  EXPECT_EQ(_WTtask_get(object, -1), nullptr);
  EXPECT_EQ(_WTtask_setpriority(t1, 3.0f), 0);
  EXPECT_EQ(_WTtask_enable(t1), 0);
  _WTtask_disable(t3);
  EXPECT_EQ(_WTtask_nextenabled(t1), nullptr);
  _WTtask_run();
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(_WTtask_get(object, 0), t3);
}

TEST_F(Tasks, ADeletedNodesTasksNeverRunAgain) {
  _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
  WTuniverse_new(512, 0);
  WTnode *n = WTgroupnode_new(WTuniverse_getrootnodes());
  static int runs;
  runs = 0;
  _WTtask_new(n, [](void *) { runs++; }, 1.0f);
  WTuniverse_go1();
  WTnode_delete(n);
  WTuniverse_go1();
  EXPECT_EQ(runs, 1);
  WTuniverse_delete();
  _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
}

// ---- Start-up options ----------------------------------------------------------------------

class Options : public ::testing::Test {
 protected:
  void SetUp() override {
    _WTopts_clear();
    _WTmsg_setrouting(WTMSG_INFO, 0, nullptr);
  }
  void TearDown() override {
    WTuniverse_delete();
    _WTopts_clear();
    _WTmsg_setrouting(WTMSG_INFO, WTMSG_SCREEN, nullptr);
  }
};

TEST_F(Options, CommandLineFlagsAreRecordedAndConsumed) {
  char *argv[] = {const_cast<char *>("C:\\bin\\viewer.exe"), const_cast<char *>("model.nff"),
                  const_cast<char *>("-geometry"),           const_cast<char *>("800x600+0-0"),
                  const_cast<char *>("/fov"),                const_cast<char *>("60"),
                  const_cast<char *>("-border"),             nullptr};
  int argc = 7;
  ASSERT_EQ(_WTopts_parseargs(&argc, argv), 1);
  EXPECT_EQ(argc, 2);
  EXPECT_STREQ(argv[1], "model.nff");
  EXPECT_EQ(argv[2], nullptr);
  EXPECT_STREQ(_WTopts_getprogramname(), "viewer");
  EXPECT_STREQ(_WTopts_getrecorded("border"), "False");

  WTuniverse_new(512, 0);
  const WTopts *o = _WTuniverse_getoptions();
  EXPECT_EQ(o->width, 800);
  EXPECT_EQ(o->height, 600);
  EXPECT_EQ(o->x, 0);
  EXPECT_EQ(o->y, 0);
  EXPECT_EQ(o->geometryflags,
            unsigned(WTGEOM_WIDTH | WTGEOM_HEIGHT | WTGEOM_X | WTGEOM_Y | WTGEOM_NOBORDER));
  EXPECT_FLOAT_EQ(o->halfangle, 0.5235988f);
}

TEST_F(Options, TheNameFlagAndTheFortyPairLimit) {
  std::vector<std::string> words = {"prog", "-name", "myview"};
  for (int i = 0; i < 41; i++) words.push_back("-coplanar");
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  int argc = static_cast<int>(words.size());
  tk::Captured captured;
  _WTopts_parseargs(&argc, argv.data());
  EXPECT_EQ(argc, 1);
  EXPECT_STREQ(_WTopts_getprogramname(), "myview");
  EXPECT_EQ(captured.all(), "VAV Warning: Too many command line arguments\n");
}

TEST_F(Options, TheIniFileBesideTheProgramAndTheCommandLineOverIt) {
  const std::string ini =
      "[vav]\nbgcolor=0xFF8000\nambient=0.5\nambientrgb=FF8000\nyon=100\nwrite12=TRUE\n"
      "geometry=320x200-5+7\n[other]\nhither=9\n";
  // The file is opened by its plain name, then read through ".\" and that name.
  tk::writefile("vedraopts.ini", ini);
  tk::writefile(".\\vedraopts.ini", ini);
  char *argv[] = {const_cast<char *>("vedraopts"), const_cast<char *>("-yon"),
                  const_cast<char *>("50"), nullptr};
  int argc = 3;
  _WTopts_parseargs(&argc, argv);
  tk::Captured captured;
  WTuniverse_new(512, 0);
  EXPECT_STREQ(_WTopts_inipath(), ".\\vedraopts.ini");
  const WTopts *o = _WTuniverse_getoptions();
  EXPECT_EQ(o->bgcolor, 0xFF8000u);
  EXPECT_FLOAT_EQ(o->ambient, 0.5f);
  EXPECT_EQ(o->ambientrgb, 0xFFFFFFu);  // six characters are refused
  EXPECT_FLOAT_EQ(o->yon, 50.0f);       // the command line wins
  EXPECT_FLOAT_EQ(o->hither, 1.0f);     // another section
  EXPECT_EQ(_WTuniverse_getoption(6), 0);
  EXPECT_EQ(o->width, 320);
  EXPECT_EQ(o->x, -5);
  EXPECT_EQ(o->geometryflags & (WTGEOM_XNEGATIVE | WTGEOM_YNEGATIVE), unsigned(WTGEOM_XNEGATIVE));
  EXPECT_THAT(captured.all(), testing::HasSubstr("VAV Warning: Invalid ambientrgb FF8000.\n"));
  remove("vedraopts.ini");
  remove(".\\vedraopts.ini");
}

TEST_F(Options, IniPathsThatAreTooLong) {
  tk::Captured captured;
  EXPECT_EQ(_WTopts_findini(std::string(124, 'a').c_str()), 0);
  std::string name(121, 'b');
  tk::writefile(name + ".ini", "[vav]\n");
  EXPECT_EQ(_WTopts_findini(name.c_str()), 0);
  remove((name + ".ini").c_str());
  EXPECT_EQ(captured.all(),
            "VAV Warning: Path to initialization file is too long\n"
            "VAV Warning: Path to initialization file is too long\n");
}

TEST_F(Options, AnIniBesideAProgramInAFolderWithADot) {
  const char *name = "ini.dir\\prog.exe";
#if defined(_WIN32)
  std::string path = tk::writeinfolder("ini.dir", "prog.ini", "[vav]\n");
#else
  std::string path = tk::writefile("ini.dir\\prog.ini", "[vav]\n");
#endif
  EXPECT_EQ(_WTopts_findini(name), 1);
  EXPECT_STREQ(_WTopts_inipath(), "ini.dir\\prog.ini");
  remove(path.c_str());
}

int mainargs(int argc, char **argv) {
  EXPECT_EQ(argc, 3);
  EXPECT_STREQ(argv[1], "one");
  EXPECT_STREQ(argv[2], "two");
  EXPECT_EQ(argv[3], nullptr);
  return 7;
}

TEST_F(Options, TheMainAdapterSplitsTheCommandLine) {
  char line[] = "  one   two  ";
  EXPECT_EQ(_WTmain_adaptertrim(nullptr, nullptr, line, 1, mainargs), 7);
  char again[] = "one two";
  EXPECT_EQ(_WTmain_adapter(nullptr, nullptr, again, 1, mainargs), 7);
}

}  // namespace
