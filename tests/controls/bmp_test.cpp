// The .bmp layout: files written and read back, the header kinds that editors write, and damaged
// files refused without reading outside the data (the native build runs this under ASan/UBSan).
#include <gtest/gtest.h>

#include "bmp_samples.h"
#include "fuzz_seeds.h"

namespace {

std::vector<uint8_t> Read(const std::vector<uint8_t>& f) {
  // An exact-size copy, so that ASan sees any read past the end.
  std::vector<uint8_t> copy(f);
  copy.shrink_to_fit();
  return bmp::PackedDibFromFile(copy.data(), copy.size());
}

struct Depth {
  unsigned bits;
  int width, height;
  size_t row;
};

TEST(BmpFile, RoundTripsAtEveryPaletteDepthAndTrueColour) {
  const Depth depths[] = {{1, 9, 3, 4}, {4, 7, 2, 4}, {8, 5, 4, 8}, {24, 250, 2, 752}};
  for (const Depth& d : depths) {
    SCOPED_TRACE(d.bits);
    const BmpSample s = MakeBmpSample(d.bits, d.width, d.height);
    EXPECT_EQ(bmp::DibPaddedBytesPerLine(d.bits, (unsigned)d.width), d.row);
    const std::vector<uint8_t> file = s.File();
    bmp::Layout l;
    ASSERT_TRUE(bmp::CheckFile(file.data(), file.size(), &l));
    EXPECT_EQ(l.bitsOffset, 54 + s.table.size());
    EXPECT_EQ(l.colors, d.bits <= 8 ? 1u << d.bits : 0u);
    EXPECT_EQ(Read(file), s.Packed());
  }
}

TEST(BmpFile, TopDownAndLongHeadersReadAsTheirBottomUpCore) {
  const BmpSample s = MakeBmpSample(8, 6, 5);
  EXPECT_EQ(Read(TopDown(s)), s.Packed()) << "rows turned bottom-up, height positive";
  EXPECT_EQ(Read(WithLongHeader(s, 124)), s.Packed());
  EXPECT_EQ(Read(WithLongHeader(s, 108)), s.Packed());

  BmpSample fields = MakeBmpSample(32, 3, 2);
  fields.info.compression = bmp::kBitFields;
  fields.table = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
  EXPECT_EQ(Read(fields.File()), fields.Packed()) << "masks after a 40-byte header";
  EXPECT_EQ(Read(WithLongHeader(fields, 124)), fields.Packed()) << "masks inside a long header";
}

TEST(BmpFile, TheStoredFileSizeIsNotTrusted) {
  const BmpSample s = MakeBmpSample(4, 5, 3);
  for (uint32_t stored : {0u, 1u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> f = s.File();
    Put32At(f, 2, stored);
    EXPECT_EQ(Read(f), s.Packed()) << stored;
  }
}

TEST(BmpFile, DamagedFilesAreRefused) {
  const BmpSample s = MakeBmpSample(8, 5, 3);
  const std::vector<uint8_t> good = s.File();
  for (size_t n = 0; n < good.size(); n++) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + (long)n);
    EXPECT_TRUE(Read(cut).empty()) << "cut at " << n;
  }
  struct Damage {
    const char* what;
    size_t at;
    uint32_t value;
    int width;  // 2 or 4 bytes
  };
  const Damage damages[] = {
      {"no BM", 0, 0x4D43, 2},          {"12-byte header", 14, 12, 4},  {"offset past the end", 10, 100000, 4},
      {"offset inside the table", 10, 60, 4}, {"huge used-colour count", 46, 0x7FFFFFFF, 4},
      {"width 0", 18, 0, 4},             {"height 0", 22, 0, 4},         {"width 32769", 18, 32769, 4},
      {"lowest height", 22, 0x80000000u, 4}, {"run-length", 30, 1, 4},   {"bit fields at 8 bits", 30, 3, 4},
  };
  for (const Damage& d : damages) {
    std::vector<uint8_t> f = good;
    if (d.width == 2) Put16At(f, d.at, (uint16_t)d.value);
    else Put32At(f, d.at, d.value);
    EXPECT_TRUE(Read(f).empty()) << d.what;
  }
  // A short last row: the height claims one row more than the data holds.
  std::vector<uint8_t> tall = good;
  Put32At(tall, 22, 4);
  EXPECT_TRUE(Read(tall).empty());
  EXPECT_TRUE(bmp::PackedDibFromFile(nullptr, 0).empty());
  // A colour table of 257 entries that the data holds in full.
  BmpSample many = MakeBmpSample(24, 4, 2);
  many.info.clrUsed = 257;
  many.table.assign(257 * 4, 7);
  EXPECT_TRUE(Read(many.File()).empty());
  many.info.clrUsed = 256;
  many.table.resize(256 * 4);
  EXPECT_EQ(Read(many.File()), many.Packed());
}

TEST(FuzzSeeds, BmpFiles) {
  const BmpSample s1 = MakeBmpSample(1, 9, 3), s8 = MakeBmpSample(8, 5, 4), s24 = MakeBmpSample(24, 4, 2);
  EXPECT_TRUE(WriteFuzzSeed("controls", "bmp1", s1.File().data(), s1.File().size()));
  const std::vector<uint8_t> top = TopDown(s8), v5 = WithLongHeader(s24, 124);
  EXPECT_TRUE(WriteFuzzSeed("controls", "bmp8_topdown", top.data(), top.size()));
  EXPECT_TRUE(WriteFuzzSeed("controls", "bmp24_v5", v5.data(), v5.size()));
}

}  // namespace
