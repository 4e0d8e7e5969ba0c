// The library database file with its backup, and the file helpers: copying a file, emptying the
// temporary folder. Messages are the plan host's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "models/library.h"
#include "models/libraryfile.h"
#include "plan_host_double.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(fs::u8path(path), std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return fs::exists(fs::u8path(path)); }

void MakeReadOnly(const std::string& path) {
  fs::permissions(fs::u8path(path), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

// The host's database folder, its library file and backup.
class LibraryFile : public ::testing::Test {
protected:
  void SetUp() override {
    library.folder = host.DatabasePath("").c_str();
    db = host.DatabasePath("TLibrary.lib");
    backup = host.DatabasePath("BAK-TLibrary.lib");
  }
  void TearDown() override { SaveLibraryDatabase(library); }
  void AddEveryCategory() {
    for (int i = 0; i < 26; i++) library.list->AddTail(new LibraryDatabase);
  }

  RecordingPlanHost host;
  LibraryDatabaseFile library;
  std::string db, backup;
};

}  // namespace

TEST_F(LibraryFile, AMissingDatabaseIsRestoredFromItsBackupWithoutAMessage) {
  WriteFile(backup, std::string("\0\0", 2));
  LoadLibraryDatabase(library);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(ReadFile(db), std::string("\0\0", 2));
  EXPECT_FALSE(library.loadFailed);
}

TEST_F(LibraryFile, AGoodDatabaseIsBackedUpAndWrittenBackWithItsCategories) {
  WriteFile(db, std::string("\0\0", 2));
  LoadLibraryDatabase(library);
  EXPECT_TRUE(host.messages.empty()) << host.messages.front().text;
  EXPECT_EQ(ReadFile(backup), std::string("\0\0", 2));
  AddEveryCategory();
  SaveLibraryDatabase(library);
  EXPECT_EQ(ReadFile(db).substr(0, 2), std::string("\x1A\0", 2)) << "26 categories";
  EXPECT_EQ(library.list, nullptr);
}

TEST_F(LibraryFile, AGarbageDatabaseIsReportedAndNeverWrittenBack) {
  const std::string garbage = "\xFF\xFF\xFF\xFF garbage";
  WriteFile(db, garbage);
  WriteFile(backup, std::string("\0\0", 2));
  LoadLibraryDatabase(library);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "적합한 TAVO Vedra 라이브러리 파일이 아닙니다.");
  // Even a list that happens to hold 26 categories is not saved over the file.
  AddEveryCategory();
  EXPECT_EQ(SaveLibraryDatabase(library), 1);
  EXPECT_EQ(ReadFile(db), garbage);
  EXPECT_EQ(ReadFile(backup), std::string("\0\0", 2)) << "the backup keeps the last good copy";
}

TEST_F(LibraryFile, NeitherDatabaseNorBackupIsReportedAndNothingIsWritten) {
  LoadLibraryDatabase(library);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "라이브러리에 대한 정보를 얻을수가 없습니다.");
  AddEveryCategory();
  SaveLibraryDatabase(library);
  EXPECT_FALSE(Exists(db));
}

TEST_F(LibraryFile, CopyingOntoItselfOrOntoAReadOnlyFile) {
  const std::string source = host.LibPath("a.txt"), target = host.LibPath("b.txt");
  WriteFile(source, "new");
  WriteFile(target, "old");
  MakeReadOnly(target);
  CString upper(source.c_str());
  upper.MakeUpper();
  EXPECT_EQ(CopyFileChecked(source.c_str(), upper, nullptr, FALSE), 1);
  EXPECT_EQ(CopyFileChecked(source.c_str(), target.c_str(), nullptr, TRUE), 0);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(CopyFileChecked(source.c_str(), target.c_str(), nullptr, FALSE), 1);
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(CopyFileChecked(host.LibPath("missing.txt").c_str(), target.c_str(), nullptr, FALSE), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "화일을 열지 못하겠습니다.\n화일이 존재하지 않거나  공유 위반인 것 같습니다.");
  EXPECT_EQ(ReadFile(target), "new");
}

TEST_F(LibraryFile, EmptyingTheScratchFolderKeepsItAndItsFolders) {
  WriteFile(host.LibPath("temp\\room.3ds"), "x");
  WriteFile(host.LibPath("temp\\wall"), "no dot");
  MakeReadOnly(host.LibPath("temp\\room.3ds"));
  fs::create_directory(fs::u8path(host.LibPath("temp\\keep")));
  DeleteFolderTree("");
  EXPECT_FALSE(Exists(host.LibPath("temp\\room.3ds")));
  EXPECT_FALSE(Exists(host.LibPath("temp\\wall")));
  EXPECT_TRUE(Exists(host.LibPath("temp\\keep")));
  EXPECT_TRUE(Exists(host.LibPath("temp")));
}

TEST_F(LibraryFile, WithoutATemporaryFolderNothingIsEmptied) {
  WriteFile(host.LibPath("temp\\room.3ds"), "x");
  SetPlanHost(nullptr);  // a host without folders
  DeleteFolderTree("");
  SetPlanHost(&host);
  EXPECT_TRUE(Exists(host.LibPath("temp\\room.3ds")));
}
