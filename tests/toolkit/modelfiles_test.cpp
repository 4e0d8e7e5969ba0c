// Model files: format from the first bytes, search lists, base names, UTF-8 names and the
// outside VRML97 library.
#include <string.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files.h"
#include "support.h"
#include "toolkit/loaders/loaders.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using tk::kSep;
using tk::TempFolder;

TEST(FileType, FirstBytesInSignatureOrder) {
  const struct {
    std::string bytes;
    int type;
  } cases[] = {
      {"//lights\nP 1 2 3", 15}, {"2424xyz", 6},   {"2323", 7},
      {"  0\r\nSECTION", 1},     {"0\nSECTION", 1}, {"0\r\nnff", 1},  // DXF before anything else
      {"999\nremark", 1},        {"3DG1 12", 5},    {"nff\nversion 2", 2},
      {"s8\n", 2},               {"bnff\0\0", 11},  {"mat\n", 13},
      {std::string("\0\1", 2), 8},                  {"MM\x10\x00", 9},
      {"==", 9},                 {"solid cube", 12}, {"so\rlid", 12},  // CR taken out
      {"#VRML V1.0 ascii", 14},  {"#VRML V2.0 utf8", 17},
      {"WBDF", 16},              {"Version 8.1", 18},
      {"v 0 0 0\n", 4},          {"M", 4},          {"", 4},           {"mA", 4},
  };
  TempFolder folder;
  int i = 0;
  for (const auto &c : cases) {
    std::string path = folder.write("file" + std::to_string(i++), c.bytes);
    EXPECT_EQ(_WTfile_gettype(path.c_str()), c.type) << '"' << c.bytes << '"';
  }
  EXPECT_EQ(_WTfile_gettype((folder / "missing.nff").c_str()), 0);
  EXPECT_EQ(_WTfile_gettype(folder.path().c_str()), 0) << "a folder is no file";
  EXPECT_EQ(_WTfile_gettype(nullptr), 0);
}

TEST(FileOpen, KeepsTextAndBinaryModes) {
  TempFolder folder;
  std::string path = folder.write("lines.txt", "a\r\nb");
  auto read = [&](const char *mode) {
    FILE *f = _WTfile_open(path.c_str(), mode);
    EXPECT_NE(f, nullptr);
    char bytes[16] = {};
    if (f) {
      EXPECT_GT(fread(bytes, 1, sizeof bytes - 1, f), 0u);
      fclose(f);
    }
    return std::string(bytes);
  };
  EXPECT_EQ(read("rb"), "a\r\nb");
#ifdef _WIN32
  EXPECT_EQ(read("rt"), "a\nb");
#endif
}

// Records every path that the loaders try to open; opens none.
std::vector<std::string> tried;
FILE *recordopen(const char *path, const char *) {
  tried.push_back(path);
  return nullptr;
}

class Search : public ::testing::Test {
 protected:
  void SetUp() override {
    tried.clear();
    _WTfile_setmodelpath("");
    _WTfile_setimagepath("");
  }
  void TearDown() override {
    _WTfile_setopenhook(nullptr);
    _WTfile_setmodelpath("");
    _WTfile_setimagepath("");
    tk::setenvutf8("WTMODELS", nullptr);
    tk::setenvutf8("WTIMAGES", nullptr);
  }
  static std::string dir(const char *d) { return std::string(d) + kSep; }
};

TEST_F(Search, NameFirstThenEachDirectoryInOrder) {
#ifdef _WIN32
  const char *a = "C:\\a", *b = "D:\\b\\";
#else
  const char *a = "/a", *b = "/b/";
#endif
  ASSERT_NE(_WTfile_setmodelpath((std::string(a) + ";;" + b).c_str()), nullptr);
  _WTfile_setopenhook(recordopen);

  EXPECT_EQ(_WTfile_findpath("room.obj", "WTMODELS"), nullptr);
  const std::vector<std::string> once = {"room.obj", dir(a) + "room.obj", dir("") + "room.obj",
                                         std::string(b) + "room.obj"};
  EXPECT_EQ(tried, once) << "an extension is never retried";

  tried.clear();
  EXPECT_EQ(_WTfile_findmodel("room.obj"), nullptr);
  EXPECT_EQ(tried, once);

  tried.clear();
  EXPECT_EQ(_WTfile_findmodel("room"), nullptr);
  ASSERT_EQ(tried.size(), 8u);
  EXPECT_EQ(tried[4], "room.nff");
  EXPECT_EQ(tried[7], std::string(b) + "room.nff");

  // A dot in a folder name is no extension.
  tried.clear();
  _WTfile_findmodel((dir("dir.old") + "plain").c_str());
  EXPECT_EQ(tried.size(), 8u);

  tried.clear();
  EXPECT_EQ(_WTfile_findmodel(""), nullptr);
  EXPECT_EQ(_WTfile_findpath(nullptr, "WTMODELS"), nullptr);
  EXPECT_TRUE(tried.empty());
}

TEST_F(Search, FindsRoomNffInAKoreanFolderAndReadsIt) {
  TempFolder folder, other;
  folder.write("room.nff", "nff\nversion 2.0\n");
  std::string list = other.path() + ";" + folder.path();
  ASSERT_NE(_WTfile_setmodelpath(list.c_str()), nullptr);

  const char *found = _WTfile_findmodel("room");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(std::string(found), folder / "room.nff");
  EXPECT_EQ(_WTfile_gettype(found), 2);
  WTreader *r = _WTreader_open(found, nullptr, "//");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(_WTreader_nexttoken(r), "nff");
  EXPECT_STREQ(_WTreader_nexttoken(r), "version");
  _WTreader_close(r);
}

TEST_F(Search, ListsSetReplaceTheEnvironment) {
  TempFolder models, images, empty;
  models.write("chair.3ds", "MM");
  images.write("wood.tga", "");
  tk::setenvutf8("WTMODELS", models.path().c_str());
  tk::setenvutf8("WTIMAGES", images.path().c_str());
  tk::setenvutf8("VEDRA_OTHER_LIST", (empty.path() + ";" + images.path()).c_str());

  ASSERT_NE(_WTfile_findpath("chair.3ds", "WTMODELS"), nullptr);
  EXPECT_EQ(std::string(_WTfile_findpath("chair.3ds", "WTMODELS")), models / "chair.3ds");
  EXPECT_EQ(std::string(_WTfile_findpath("wood.tga", "WTIMAGES")), images / "wood.tga");
  EXPECT_EQ(std::string(_WTfile_findpath("wood.tga", "VEDRA_OTHER_LIST")), images / "wood.tga");
  EXPECT_EQ(_WTfile_findpath("wood.tga", "VEDRA_NO_SUCH_LIST"), nullptr);

  _WTfile_setmodelpath(empty.path().c_str());
  _WTfile_setimagepath(empty.path().c_str());
  EXPECT_EQ(_WTfile_findpath("chair.3ds", "WTMODELS"), nullptr);
  EXPECT_EQ(_WTfile_findpath("wood.tga", "WTIMAGES"), nullptr);
  EXPECT_NE(_WTfile_findpath("wood.tga", "VEDRA_OTHER_LIST"), nullptr);
  _WTfile_setmodelpath("");
  EXPECT_NE(_WTfile_findpath("chair.3ds", "WTMODELS"), nullptr);
  tk::setenvutf8("VEDRA_OTHER_LIST", nullptr);
}

TEST_F(Search, OverlongPathsAndListsAreRefused) {
  tk::Captured messages;
  std::string list(2047, 'x');
  EXPECT_NE(_WTfile_setmodelpath(list.c_str()), nullptr);
  list += 'x';
  EXPECT_EQ(_WTfile_setmodelpath(list.c_str()), nullptr);
  EXPECT_EQ(_WTfile_setimagepath(list.c_str()), nullptr);
  EXPECT_NE(messages.all().find("Model search list longer than 2047 bytes refused."), std::string::npos);
  EXPECT_NE(messages.all().find("Image search list longer"), std::string::npos);

  // The join that would not fit the found-path buffer is skipped; the next directory is tried.
  TempFolder folder;
  folder.write("room.nff", "nff");
  std::string deep(252, 'd');
  ASSERT_NE(_WTfile_setmodelpath((deep + ";" + folder.path()).c_str()), nullptr);
  const char *found = _WTfile_findpath("room.nff", "WTMODELS");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(std::string(found), folder / "room.nff");
  EXPECT_NE(messages.all().find("Path longer than 259 bytes not searched: " + deep), std::string::npos);

  _WTfile_setopenhook(recordopen);
  EXPECT_EQ(_WTfile_findpath(std::string(260, 'n').c_str(), "WTMODELS"), nullptr);
  EXPECT_TRUE(tried.empty());
}

TEST(BaseName, FolderAndExtensionTakenOff) {
  const struct {
    const char *path, *base;
  } cases[] = {
      {"C:\\x\\model.3ds", "model"}, {"my model.nff", nullptr}, {"dir.old\\plain", "dir"},
      {"/home/u/room.nff", "room"},  {"D:chair.obj", "chair"},  {"a.tar.gz", "a.tar"},
      {"plain", "plain"},            {".nff", nullptr},         {"C:\\x\\", nullptr},
      {nullptr, nullptr},
  };
  for (const auto &c : cases) {
    char *base = _WTfile_basename(c.path);
    if (c.base) {
      EXPECT_STREQ(base, c.base) << c.path;
    } else {
      EXPECT_EQ(base, nullptr) << (c.path ? c.path : "null");
    }
    _WTmem_free(base);
  }
}

// Copies the stand-in library where the system looks for libraries, and takes it away again
// (on Windows only at the next run: a loaded library cannot be deleted).
class PlacedLibrary {
 public:
  PlacedLibrary() : target_(leftover()) {
#ifdef _WIN32
    SetDllDirectoryW(target_.parent_path().wstring().c_str());
#endif
    std::filesystem::copy_file(VRML97_LIBRARY, target_);
  }
  ~PlacedLibrary() {
#ifdef _WIN32
    SetDllDirectoryW(nullptr);
#endif
    leftover();
  }
  // Takes away a copy that an earlier run left behind; returns where the copy goes.
  static std::filesystem::path leftover() {
#ifdef _WIN32
    std::filesystem::path folder = std::filesystem::temp_directory_path() / std::filesystem::u8path(u8"vedra 라이브러리");
#else
    std::filesystem::path folder = VRML97_SEARCH_DIR;
#endif
    std::filesystem::create_directories(folder);
    std::filesystem::path target = folder / "wtvrml97.dll";
    std::error_code ignored;
    std::filesystem::remove(target, ignored);
    return target;
  }

 private:
  std::filesystem::path target_;
};

TEST(Vrml97, WarnsAtEveryUseWhileMissingThenBindsOnce) {
  PlacedLibrary::leftover();
  {
    tk::Captured messages;
    EXPECT_EQ(_WTvrml97_bind(), 0);
    EXPECT_EQ(_WTvrml97_bind(), 0);
    const std::string warning = "VAV Warning: Couldn't load ZodurUvizOdu VRML97 library : 'wtvrml97.dll'\n";
    EXPECT_EQ(messages.texts(), std::vector<std::string>(2, warning));
    EXPECT_EQ(_WTvrml97_read, nullptr);
    EXPECT_EQ(_WTvrml97_save, nullptr);
    EXPECT_EQ(_WTvrml97_init, nullptr);
  }
  PlacedLibrary library;
  tk::Captured messages;
  EXPECT_EQ(_WTvrml97_bind(), 1);
  EXPECT_EQ(_WTvrml97_bind(), 1);
  EXPECT_TRUE(messages.texts().empty());
  ASSERT_NE(_WTvrml97_init, nullptr);
  ASSERT_NE(_WTvrml97_read, nullptr);
  ASSERT_NE(_WTvrml97_save, nullptr);
  EXPECT_EQ(_WTvrml97_save(nullptr, "scene.wrl", nullptr), 1) << "init called once";
  int parent;
  WTnode *node = reinterpret_cast<WTnode *>(&parent);
  EXPECT_EQ(_WTvrml97_read(node, "scene.wrl"), node);
}

}  // namespace
