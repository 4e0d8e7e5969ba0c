// The scratch files of the temporary folder: texture coordinates of a part's polygons, checked
// whole before any of them is used, and the text of an animation path kept byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "models/fileutil.h"
#include "models/scratchfiles.h"
#include "plan_host_double.h"

namespace {

class ScratchFiles : public ::testing::Test {
protected:
  void SetUp() override { SetPlanHost(&host); }
  void TearDown() override { SetPlanHost(nullptr); }
  std::string Bytes(const CString& path) {
    std::ifstream in(static_cast<const char*>(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  RecordingPlanHost host;
};

// A segment (two vertices, written as three) and a quad.
const std::vector<UvPolygon> kPolygons = {{{0.25f, 0.5f}, {1.0f, 2.0f}}, {{0, 1, 1, 0}, {0, 0, 1, 1}}};
const std::vector<int> kCounts = {2, 4};

std::string LittleFloat(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return std::string{static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
                     static_cast<char>(bits >> 24)};
}

TEST_F(ScratchFiles, UvFileBytesRaiseShortPolygonsToThreeZeroedPairs) {
  const CString path = MakeScratchFileName(0xAB12, "uv");
  EXPECT_EQ(std::string(path), host.LibPath("temp\\0000ab12.uv"));
  ASSERT_TRUE(WriteUvFile(path, kPolygons));
  const std::string bytes = Bytes(path);
  std::string expected = std::string(1, '\x22') + kUvFileKey + std::string("\x02\0\0\0", 4) + std::string("\x03\0", 2);
  expected += LittleFloat(0.25f) + LittleFloat(1.0f) + LittleFloat(0.5f) + LittleFloat(2.0f) + std::string(8, '\0');
  ASSERT_GE(bytes.size(), expected.size());
  EXPECT_EQ(bytes.substr(0, expected.size()), expected);
  EXPECT_EQ(bytes.size(), expected.size() + 2 + 4 * 8);

  std::vector<UvPolygon> back;
  ASSERT_TRUE(ReadUvFile(path, kUvFileKey, kCounts, back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].u, (std::vector<float>{0.25f, 0.5f, 0.0f}));
  EXPECT_EQ(back[1].v, kPolygons[1].v);
}

TEST_F(ScratchFiles, AnUnsoundUvFileIsIgnoredWhole) {
  const std::vector<uint8_t> good = EncodeUvFile(kPolygons);
  std::vector<uint8_t> wrongN = good;
  wrongN[1 + 34 + 4] = 2;  // the segment's n not raised to 3
  std::vector<uint8_t> negativeN = good;
  negativeN[1 + 34 + 4 + 1] = 0xFF;
  std::vector<uint8_t> trailing = good;
  trailing.push_back(0);
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    std::vector<int> counts;
    const char* key;
  } cases[] = {
      {"one polygon more in the geometry", good, {2, 4, 3}, kUvFileKey},
      {"one polygon fewer", good, {2}, kUvFileKey},
      {"short file", std::vector<uint8_t>(good.begin(), good.end() - 5), kCounts, kUvFileKey},
      {"wrong n", wrongN, kCounts, kUvFileKey},
      {"negative n", negativeN, kCounts, kUvFileKey},
      {"more vertices than pairs", good, {2, 5}, kUvFileKey},
      {"bytes after the end", trailing, kCounts, kUvFileKey},
      {"another key", good, kCounts, "TAVO Vedra Geometry UV Document.."},
      {"no key", good, kCounts, nullptr},
      {"empty", {}, kCounts, kUvFileKey},
  };
  for (const auto& c : cases) {
    std::vector<UvPolygon> out(1);
    EXPECT_FALSE(DecodeUvFile(c.bytes.data(), c.bytes.size(), c.key, c.counts, out)) << c.what;
    EXPECT_EQ(out.size(), 1u) << c.what;
  }
  std::vector<UvPolygon> out;
  EXPECT_FALSE(ReadUvFile(host.LibPath("temp\\none.uv").c_str(), kUvFileKey, kCounts, out));
}

TEST_F(ScratchFiles, PathTextGoesToItsFileByteForByteAndBackToTheFirstZero) {
  const CString path = MakeScratchFileName(7, "pth");
  const CString text("path record v.2\n1 2 3\n0 0 0 1\n");
  ASSERT_TRUE(WritePathFile(path, text));
  EXPECT_EQ(Bytes(path), std::string(text));
  std::filesystem::permissions(static_cast<const char*>(path), std::filesystem::perms::owner_read);
  ASSERT_TRUE(WritePathFile(path, CString()));  // read-only files are made writable first
  EXPECT_EQ(Bytes(path), "");
  CString back("x");
  ASSERT_TRUE(ReadPathFile(path, back));
  EXPECT_EQ(back, "");

  std::ofstream(static_cast<const char*>(path), std::ios::binary) << std::string("path\0rest", 9);
  ASSERT_TRUE(ReadPathFile(path, back));
  EXPECT_EQ(back, "path");
  std::filesystem::permissions(static_cast<const char*>(path), std::filesystem::perms::owner_read);
  RemoveScratchFile(path);
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(ReadPathFile(path, back));
  EXPECT_EQ(back, "path");
}

}  // namespace
