// Library models as the 3D view reads them: the model file of a scene object, the private copy
// in the temporary folder and the size of a model before it is placed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ftk3ds/ftk3ds.h"
#include "library_models.h"
#include "models/fileutil.h"
#include "models/librarymodel.h"
#include "plan_host_double.h"

namespace {

class LibraryModels : public ::testing::Test {
protected:
  void SetUp() override { SetPlanHost(&host); }
  void TearDown() override { SetPlanHost(nullptr); }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : host.messages) texts.push_back(m.text);
    return texts;
  }

  RecordingPlanHost host;
};

LibraryModel UnitBox(float scale) {
  LibraryModel model;
  model.masterScale = scale;
  model.meshes.push_back({"box", {0, 0, 0}, {1, 2, 3}, ""});
  return model;
}

TEST_F(LibraryModels, FilePathOfAnObjectIsItsTemporaryCopyAndOfARoomTheLibraryFile) {
  EXPECT_EQ(std::string(MakeLibraryFilePath("chair01", 308, "Library\\chair.3ds")), host.LibPath("temp\\chair01.3ds"));
  EXPECT_EQ(std::string(MakeLibraryFilePath("room", 21, "temp\\room.3ds")), host.LibPath("temp\\room.3ds"));
  // A name that would leave the folder stays in it.
  const std::string escaped = static_cast<const char*>(MakeLibraryFilePath("../x", 308, "a.3ds"));
  EXPECT_EQ(escaped.rfind(kPathSeparator), host.LibPath("temp\\").size() - 1) << escaped;
}

TEST_F(LibraryModels, SizeIsTheVertexBoxInMillimetresAndOnlyForThreeDsNames) {
  ASSERT_TRUE(WriteLibraryModel(host.LibPath("box.3DS"), UnitBox(1.0f)));
  ASSERT_TRUE(WriteLibraryModel(host.LibPath("half.3ds"), UnitBox(0.5f)));
  ASSERT_TRUE(WriteLibraryModel(host.LibPath("box.wrl"), UnitBox(1.0f)));
  LibraryModel empty;
  empty.meshes.push_back({"none", {0, 0, 0}, {0, 0, 0}, ""});
  ASSERT_TRUE(WriteLibraryModel(host.LibPath("flat.3ds"), empty));
  const struct {
    const char* file;
    float x, y, z;
  } cases[] = {{"box.3DS", 25.4f, 50.8f, 76.2f}, {"half.3ds", 12.7f, 25.4f, 38.1f},
               {"box.wrl", -1, -1, -1}, {"flat.3ds", 0, 0, 0}, {"missing.3ds", -1, -1, -1}};
  for (const auto& c : cases) {
    float size[3] = {-1, -1, -1};
    ReadLibraryFile(c.file, size);
    EXPECT_NEAR(size[0], c.x, 1e-3) << c.file;
    EXPECT_NEAR(size[1], c.y, 1e-3) << c.file;
    EXPECT_NEAR(size[2], c.z, 1e-3) << c.file;
  }
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"라이브러리 파일을 읽는것을 실패했습니다. "});
}

TEST_F(LibraryModels, DamagedModelGivesNoSize) {
  std::string bytes = LibraryModelBytes(host.LibPath("bytes.3ds"), UnitBox(1.0f));
  bytes.resize(bytes.size() - 20);
  std::ofstream(host.LibPath("cut.3ds"), std::ios::binary) << bytes;
  float size[3] = {-1, -1, -1};
  EXPECT_FALSE(ReadLibraryModelSize("cut.3ds", size));
  EXPECT_EQ(size[0], -1.0f);
}

TEST_F(LibraryModels, CopyRewritesTheObjectsFileAndKeepsAnExistingRoom) {
  ASSERT_TRUE(WriteLibraryModel(host.LibPath("cabinet.3ds"), CabinetModel()));
  std::ofstream(host.LibPath("temp\\cab01.3ds")) << "stale";
  CString out;
  EXPECT_EQ(CopyLibraryModel("cab01", 306, "cabinet.3ds", out), 1);
  EXPECT_EQ(std::string(out), host.LibPath("temp\\cab01.3ds"));
  float size[3] = {};
  EXPECT_TRUE(ReadModelSize3ds(out, size));
  EXPECT_NEAR(size[1], 800 * 25.4f, 1e-1);

  std::ofstream(host.LibPath("temp\\room.3ds")) << "kept";
  EXPECT_EQ(CopyLibraryModel("room", 21, "temp\\room.3ds", out), 1);
  std::ifstream kept(host.LibPath("temp\\room.3ds"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(LibraryModels, FailedCopiesSayWhyReturnZeroAndLeaveNoCopy) {
  ASSERT_TRUE(WriteLibraryModel(host.LibPath("cabinet.3ds"), CabinetModel()));
  std::string bytes = LibraryModelBytes(host.LibPath("bytes.3ds"), CabinetModel());
  bytes.resize(bytes.size() / 2);
  std::ofstream(host.LibPath("damaged.3ds"), std::ios::binary) << bytes;
  CString out;
  EXPECT_EQ(CopyLibraryModel("a", 308, "missing.3ds", out), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"원본 파일을 읽을수가 없습니다."});
  EXPECT_FALSE(FileExists(out));

  host.messages.clear();
  EXPECT_EQ(CopyLibraryModel("b", 308, "damaged.3ds", out), 0);
  ASSERT_FALSE(host.messages.empty());
  const size_t shown = host.messages.size();
  EXPECT_LE(shown, static_cast<size_t>(ERR_LIST_SIZE3DS));
  EXPECT_FALSE(FileExists(out));

  host.messages.clear();
  ASSERT_TRUE(std::filesystem::create_directory(host.LibPath("temp\\c.3ds")));  // a folder cannot be written as a file
  EXPECT_EQ(CopyLibraryModel("c", 308, "cabinet.3ds", out), 0);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"임시 파일을 만들수가 없습니다."});
  std::filesystem::remove(host.LibPath("temp\\c.3ds"));
}

}  // namespace
