// Texture image files: Targa, SGI RGB and JPEG decoding, finding files, damaged files.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <jpeglib.h>

#include "../support/fuzz_seeds.h"
#include "files.h"
#include "imagebytes.h"
#include "scene.h"
#include "support.h"
#include "toolkit/render/images.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace tk::img;

class ImageFiles : public tk::Universe {
 protected:
  void SetUp() override {
    tk::Universe::SetUp();
    _WTfile_setimagepath(folder.path().c_str());
    _WTtexture_forgetfailures();
  }
  void TearDown() override {
    _WTfile_setimagepath("");
    _WTimage_setceiling(0);
    tk::Universe::TearDown();
  }
  tk::TempFolder folder;
};

// Pixels and every message (warnings and the standard error stream) of one read.
struct Read {
  bool ok = false;
  int w = 0, h = 0;
  std::vector<int> texels;
  std::string messages;
};

template <typename F>
Read decode(F read) {
  Read r;
  unsigned char *p = read(&r.w, &r.h);
  r.ok = p != nullptr;
  if (p) r.texels.assign(p, p + static_cast<size_t>(r.w) * r.h * 4);
  _WTmem_free(p);
  return r;
}

// Keeps the standard streams out of the test's output while it lives.
class Quiet {
 public:
  Quiet() {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
  }
  ~Quiet() { testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr(); }
};

template <typename F>
Read capture(F read) {
  tk::Captured captured;
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  Read r = decode(read);
  testing::internal::GetCapturedStdout();
  r.messages = testing::internal::GetCapturedStderr() + captured.all();
  return r;
}

Read readimage(const std::string &name) {
  return capture([&](int *w, int *h) { return _WTimage_read(name.c_str(), w, h); });
}

Read readjpeg(const std::string &path) {
  return capture([&](int *w, int *h) { return _WTjpeg_read(path.c_str(), w, h); });
}

TEST_F(ImageFiles, TargaCases) {
  Tga mapped = tga(1, 2, 1, 8, "\x03\x02");
  mapped.maptype = 1, mapped.maporigin = 2, mapped.maplength = 2, mapped.mapbits = 24;
  mapped.map = bgr(0, 0, 255) + bgr(255, 0, 0);
  mapped.id = "abc";
  Tga skippedmap = tga(2, 1, 1, 24, bgr(1, 2, 3));
  skippedmap.maptype = 1, skippedmap.maplength = 2, skippedmap.mapbits = 24;
  skippedmap.map = "xxxxxx";
  const std::string rows = bgr(255, 0, 0) + bgr(0, 0, 0) + bgr(0, 255, 0) + bgr(0, 0, 255);
  const std::string bgra = bgr(10, 20, 30) + "\x07" + bgr(0, 0, 0) + "\xC8";
  const struct {
    const char *what;
    Tga file;
    int option15;
    int w, h;
    std::vector<int> texels;
  } cases[] = {
      {"24-bit, bottom-left origin", tga(2, 2, 2, 24, rows), 0, 2, 2,
       {255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 255, 255}},
      {"24-bit, top-to-bottom", tga(2, 2, 2, 24, rows, 0x20), 0, 2, 2,
       {0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 0, 0}},
      {"run across a row end", tga(10, 2, 2, 24, "\x82" + bgr(9, 8, 7) + std::string(1, '\0') + bgr(1, 2, 3)),
       0, 2, 2, {9, 8, 7, 255, 9, 8, 7, 255, 9, 8, 7, 255, 1, 2, 3, 255}},
      {"its uncompressed twin", tga(2, 2, 2, 24, bgr(9, 8, 7) + bgr(9, 8, 7) + bgr(9, 8, 7) + bgr(1, 2, 3)),
       0, 2, 2, {9, 8, 7, 255, 9, 8, 7, 255, 9, 8, 7, 255, 1, 2, 3, 255}},
      {"16-bit 0x7FFF", tga(2, 1, 1, 16, "\xFF\x7F"), 0, 1, 1, {248, 248, 248, 255}},
      {"32-bit, own alpha off", tga(2, 2, 1, 32, bgra), 0, 2, 1, {10, 20, 30, 255, 0, 0, 0, 0}},
      {"32-bit, own alpha on", tga(2, 2, 1, 32, bgra), 1, 2, 1, {10, 20, 30, 7, 0, 0, 0, 200}},
      {"24-bit black, own alpha on", tga(2, 1, 1, 24, bgr(0, 0, 0)), 1, 1, 1, {0, 0, 0, 255}},
      {"grey", tga(3, 2, 1, 8, std::string(1, '\0') + "\x4D"), 0, 2, 1, {0, 0, 0, 0, 77, 77, 77, 255}},
      {"colour map from index 2, ID field", mapped, 0, 2, 1, {255, 0, 0, 255, 0, 0, 255, 255}},
      {"declared map of a true-colour image", skippedmap, 0, 1, 1, {1, 2, 3, 255}},
  };
  for (const auto &c : cases) {
    WTuniverse_setoption(15, c.option15);
    folder.write("t.tga", bytes(c.file));
    Read r = readimage("t.tga");
    ASSERT_TRUE(r.ok) << c.what << ": " << r.messages;
    EXPECT_EQ(r.w, c.w) << c.what;
    EXPECT_EQ(r.h, c.h) << c.what;
    EXPECT_THAT(r.texels, ElementsAreArray(c.texels)) << c.what;
  }
}

TEST_F(ImageFiles, TargaRefusals) {
  Tga unmapped = tga(1, 1, 1, 8, "\x00"_b);
  Tga oddmap = tga(1, 1, 1, 8, std::string(1, '\0'));
  oddmap.maptype = 1, oddmap.maplength = 1, oddmap.mapbits = 12, oddmap.map = "xx";
  Tga outside = tga(1, 1, 1, 8, "\x05");
  outside.maptype = 1, outside.maplength = 2, outside.mapbits = 24, outside.map = "xxxxxx";
  const struct {
    const char *what;
    std::string file;
    const char *message;
  } cases[] = {
      {"unknown type", bytes(tga(5, 1, 1, 24, "xyz")), "t.tga - unknown Targa image type 5\n"},
      {"too large", bytes(tga(2, 2048, 16, 24, "")), "Texture t.tga too large.\n"},
      {"pixel size", bytes(tga(2, 1, 1, 12, "xx")), "t.tga - unknown pixel size - 12\n"},
      {"mapped without map", bytes(unmapped), "mapped image (type 1) with color map type != 1\n"},
      {"map entry size", bytes(oddmap), "t.tga - unknown colormap pixel size - 12\n"},
      {"index outside the map", bytes(outside), "colour index 5 outside the colour map\n"},
      {"interleaved", bytes(tga(2, 1, 1, 24, "xyz", 0x40)), "Do not support interleaved TARGA files.\n"},
      {"no texels", bytes(tga(2, 0, 1, 24, "")), "image of 0 x 1 texels\n"},
      {"pixels missing", bytes(tga(2, 2, 1, 24, "xyz")), "error in reading "},
      {"header cut", std::string(10, '\x02'), "IO Error reading "},
      {"words", std::string(200, 'w'), "unknown Targa image type 119\n"},
  };
  for (const auto &c : cases) {
    folder.write("t.tga", c.file);
    Read r = readimage("t.tga");
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_THAT(r.messages, HasSubstr(c.message)) << c.what;
  }
}

TEST_F(ImageFiles, ATextFileNamedJpgIsReadAsTarga) {
  folder.write("x.jpg", "Just some words of a note that someone saved under a picture's name,\n"
                       "long enough to fill a Targa header and the ID field it names.\n");
  Read r = readimage("x.jpg");
  EXPECT_FALSE(r.ok);
  EXPECT_THAT(r.messages, HasSubstr("unknown Targa image type 115\n"));
  EXPECT_THAT(r.messages, Not(HasSubstr("JPEG")));
}

TEST_F(ImageFiles, SgiCases) {
  // 2 x 2, three channels; the lower-left texel is pure black.
  const std::vector<std::string> planes = {{0, 50, 20, 30}, {0, 60, 21, 31}, {0, 70, 22, 32}};
  const std::vector<int> colour = {0, 0, 0, 0, 50, 60, 70, 255, 20, 21, 22, 255, 30, 31, 32, 255};
  const struct {
    const char *what;
    std::string file;
    int option15;
    std::vector<int> texels;
  } cases[] = {
      {"verbatim", sgiverbatim(2, 2, planes), 0, colour},
      {"run-length, rows in channel order", sgirunlength(2, 2, planes, false), 0, colour},
      {"run-length, rows in row order", sgirunlength(2, 2, planes, true), 0, colour},
      {"grey", sgiverbatim(2, 1, {{0, 9}}), 0, {0, 0, 0, 0, 9, 9, 9, 255}},
      {"grey, own alpha on", sgiverbatim(2, 1, {{0, 9}}), 1, {0, 0, 0, 255, 9, 9, 9, 255}},
      {"grey and alpha", sgiverbatim(2, 1, {{0, 9}, {5, 6}}), 0, {0, 0, 0, 5, 9, 9, 9, 6}},
      {"four channels", sgiverbatim(1, 1, {{1}, {2}, {3}, {4}}), 0, {1, 2, 3, 4}},
  };
  for (const auto &c : cases) {
    WTuniverse_setoption(15, c.option15);
    folder.write("s.rgb", c.file);
    Read r = readimage("s.rgb");
    ASSERT_TRUE(r.ok) << c.what << ": " << r.messages;
    EXPECT_THAT(r.texels, ElementsAreArray(c.texels)) << c.what;
  }
}

TEST_F(ImageFiles, SgiRefusals) {
  std::string pastrow = sgiheader(1, 2, 1, 1) + sgitables({520}, {3}) + "\x03\x01\x00"_b;
  std::string literalpast = sgiheader(1, 2, 1, 1) + sgitables({520}, {2}) + "\x82\x01"_b;
  std::string pastfile = sgiheader(1, 2, 1, 1) + sgitables({9000}, {4}) + "\x82\x01\x02";
  std::string longrow = sgiheader(1, 2, 1, 1) + sgitables({520}, {15}) + std::string(15, '\0');
  const struct {
    const char *what;
    std::string file;
    const char *message;
  } cases[] = {
      {"five channels", sgiverbatim(1, 1, {{1}, {2}, {3}, {4}, {5}}), "SGI image with 5 channels not supported"},
      {"unknown storage", sgiheader(2, 1, 1, 1) + "x", "unknown SGI storage 2"},
      {"no texels", sgiheader(0, 0, 4, 1), "image of 0 x 4 texels"},
      {"size beyond 2 GB", sgiheader(0, 65535, 65535, 4), "Texture s.rgb too large.\n"},
      {"verbatim rows missing", sgiheader(0, 4, 4, 3) + "abc", "error in reading "},
      {"tables missing", sgiheader(1, 4, 4, 3), "error in reading "},
      {"repeat run past its row", pastrow, "error in reading "},
      {"literal run past its codes", literalpast, "error in reading "},
      {"offset past the file", pastfile, "error in reading "},
      {"row longer than allowed", longrow, "error in reading "},
  };
  for (const auto &c : cases) {
    folder.write("s.rgb", c.file);
    Read r = readimage("s.rgb");
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_THAT(r.messages, HasSubstr(c.message)) << c.what;
  }
}

TEST_F(ImageFiles, JpegColourAndGrey) {
  // 16 x 8: the top four rows red, the bottom four blue.
  std::string rgb;
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 16; x++) rgb += y < 4 ? std::string("\xFF\x00\x00", 3) : std::string("\x00\x00\xFF", 3);
  folder.write("c.jpg", jpeg(16, 8, 3, rgb));
  Read r = readimage("c.jpg");
  ASSERT_TRUE(r.ok) << r.messages;
  ASSERT_EQ(r.w, 16);
  ASSERT_EQ(r.h, 8);
  auto texel = [&](int x, int y, int c) { return r.texels[(y * 16 + x) * 4 + c]; };
  EXPECT_LT(texel(3, 0, 0), 30);   // the lowest row is the picture's last: blue
  EXPECT_GT(texel(3, 0, 2), 220);
  EXPECT_GT(texel(3, 7, 0), 220);  // the top row: red
  EXPECT_LT(texel(3, 7, 2), 30);
  for (size_t i = 3; i < r.texels.size(); i += 4) ASSERT_EQ(r.texels[i], 255);

  folder.write("g.jpg", jpeg(8, 8, 1, std::string(64, '\x64')));
  r = readimage("g.jpg");
  ASSERT_TRUE(r.ok) << r.messages;
  for (size_t i = 0; i < r.texels.size(); i += 4) {
    EXPECT_NEAR(r.texels[i], 100, 2);
    EXPECT_EQ(r.texels[i + 1], r.texels[i]);
    EXPECT_EQ(r.texels[i + 2], r.texels[i]);
    EXPECT_EQ(r.texels[i + 3], 255);
  }
}

TEST_F(ImageFiles, JpegRefusals) {
  std::string cmyk = folder.write("k.jpg", jpeg(4, 4, 4, std::string(64, '\x10')));
  Read r = readjpeg(cmyk);
  EXPECT_FALSE(r.ok);
  EXPECT_THAT(r.messages, HasSubstr("Unsupported number of components per pixel in JPEG \t\t\t\t\tfile "));

  r = readjpeg(folder.write("n.jpg", "not a picture at all"));
  EXPECT_FALSE(r.ok);
  EXPECT_THAT(r.messages, HasSubstr("JPEG: Not a JPEG file"));
  EXPECT_THAT(r.messages, Not(HasSubstr("not in a format readable")));

  folder.write("b.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10) + std::string(40, '\x7F'));
  r = readimage("b.jpg");
  EXPECT_FALSE(r.ok);
  EXPECT_THAT(r.messages, HasSubstr("JPEG file is not in a format readable by VAV\n"));

  r = readjpeg(folder / "missing.jpg");
  EXPECT_THAT(r.messages, HasSubstr("JPEG: Cannot open "));

  folder.write("c.jpg", jpeg(16, 8, 3, std::string(16 * 8 * 3, '\x20')));
  _WTimage_setceiling(16 * 8 * 4 - 1);
  r = readimage("c.jpg");
  EXPECT_FALSE(r.ok);
  EXPECT_THAT(r.messages, HasSubstr("too large.\n"));
}

struct Sample {
  const char *name;
  std::string file;
};

// Good files of every kind the readers take apart differently.
std::vector<Sample> samples() {
  Tga mapped = tga(9, 2, 2, 8, "\x81\x02\x01\x03\x00"_b);
  mapped.maptype = 1, mapped.maplength = 4, mapped.mapbits = 32, mapped.map = std::string(16, '\x40');
  const std::vector<std::string> planes = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
  return {
      {"plain.tga", bytes(tga(2, 2, 2, 24, std::string(12, '\x33')))},
      {"runs.tga", bytes(tga(10, 3, 2, 32, "\x82\x01\x02\x03\x04\x02\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10"))},
      {"mapped.tga", bytes(mapped)},
      {"verbatim.rgb", sgiverbatim(2, 2, planes)},
      {"runs.rgb", sgirunlength(2, 2, planes, false)},
      {"colour.jpg", jpeg(16, 8, 3, std::string(16 * 8 * 3, '\x50'))},
  };
}

// Every shorter copy of a good file is refused (Targa, SGI) or, for JPEG whose decoder pads a
// cut stream, read at its full size; none may read past what it was given.
TEST_F(ImageFiles, EveryTruncationEndsCleanly) {
  auto quietread = [](const std::string &path) {
    return decode([&](int *w, int *h) { return _WTimage_read(path.c_str(), w, h); });
  };
  Quiet quiet;
  for (const Sample &f : samples()) {
    Read whole = quietread(folder.write(f.name, f.file));
    ASSERT_TRUE(whole.ok) << f.name;
    bool padded = strstr(f.name, ".jpg") != nullptr;
    for (size_t n = 0; n < f.file.size(); n++) {
      Read r = quietread(folder.write(f.name, f.file.substr(0, n)));
      if (padded && r.ok)
        EXPECT_EQ(r.texels.size(), whole.texels.size()) << f.name << " cut to " << n;
      else
        EXPECT_FALSE(r.ok) << f.name << " cut to " << n;
    }
  }
}

// Writes the samples as seeds of the image fuzz target when VEDRA_FUZZ_SEEDS asks for them.
TEST_F(ImageFiles, FuzzSeeds) {
  for (const Sample &f : samples()) {
    Read r = readimage(folder.write(f.name, f.file));
    EXPECT_TRUE(r.ok) << f.name;
    EXPECT_TRUE(WriteFuzzSeed("toolkit", f.name, f.file.data(), f.file.size())) << f.name;
  }
}

TEST_F(ImageFiles, NamesWithoutExtensionTryTgaThenRgbThenJpg) {
  std::string tgafile = folder.write("wall.tga", bytes(tga(2, 1, 1, 24, bgr(1, 1, 1))));
  std::string rgbfile = folder.write("wall.rgb", sgiverbatim(1, 1, {{1}}));
  folder.write("wall.jpg", jpeg(8, 8, 1, std::string(64, '\x01')));
  const char *found = _WTimage_findfile("wall");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(std::string(found), tgafile);
  remove(tgafile.c_str());
  EXPECT_EQ(std::string(_WTimage_findfile("wall")), rgbfile);
  remove(rgbfile.c_str());
  EXPECT_EQ(std::string(_WTimage_findfile("wall")), folder / "wall.jpg");

  Read r = readimage("nowhere");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.messages, "VAV Warning: Texture nowhere not found\n");
  EXPECT_EQ(readimage("nowhere").messages, "");
  EXPECT_EQ(_WTtexture_getstatus(), 1);
}

TEST_F(ImageFiles, FailuresAreReportedOnceWhileAmongTheLastSeven) {
  auto report = [](int status, const char *name) {
    tk::Captured captured;
    testing::internal::CaptureStdout();
    _WTtexture_setstatus(status);
    _WTtexture_reportfailure(name);
    testing::internal::GetCapturedStdout();
    return captured.all();
  };
  EXPECT_EQ(report(5, "a"), "VAV Warning: Texture a too large.\n");
  EXPECT_EQ(_WTtexture_getstatus(), 1);
  EXPECT_EQ(report(5, "a"), "");
  for (const char *name : {"b", "c", "d", "e", "f", "g"}) report(4, name);
  EXPECT_EQ(report(3, "a"), "");  // the oldest of seven, made the newest again
  report(4, "h");                 // drops b, not a
  EXPECT_EQ(report(3, "a"), "");
  for (const char *name : {"i", "j", "k", "l", "m", "n", "o"}) report(4, name);
  EXPECT_EQ(report(9, "a"), "VAV Warning: Texture a uses colormap: unsupported\n");
}

}  // namespace
