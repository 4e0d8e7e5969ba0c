// Bringing images to sizes OpenGL takes, and display-list ids.
#include <string.h>

#include <array>
#include <vector>

#include <gmock/gmock.h>

#include "scene.h"
#include "toolkit/render/images.h"

namespace {

using TextureSizes = tk::Universe;
using Texel = std::array<int, 4>;

// A w x h image whose texel (x, y) is f(x, y), in a block from the toolkit's allocator.
template <typename F>
unsigned char *image(int w, int h, F f) {
  unsigned char *p = static_cast<unsigned char *>(_WTmem_alloc(static_cast<size_t>(w) * h * 4));
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      std::array<int, 4> t = f(x, y);
      for (int c = 0; c < 4; c++) p[(y * w + x) * 4 + c] = static_cast<unsigned char>(t[c]);
    }
  return p;
}

std::vector<int> texel(const unsigned char *p, int w, int x, int y) {
  const unsigned char *t = p + (y * w + x) * 4;
  return {t[0], t[1], t[2], t[3]};
}

TEST_F(TextureSizes, PowersOfTwo) {
  const int cases[][2] = {{1, 1}, {2, 2}, {3, 4}, {5, 8}, {6, 8}, {200, 256}, {300, 256}, {320, 512},
                          {330, 512}, {1024, 1024}, {1025, 1024}};
  for (const auto &c : cases) EXPECT_EQ(_WTtexture_pow2size(c[0]), c[1]) << c[0];
}

TEST_F(TextureSizes, FittingTheSides) {
  const struct {
    int w, h, maxsize, square, W, H;
  } cases[] = {
      {300, 200, 1024, 0, 256, 256}, {1024, 512, 256, 0, 256, 256}, {1024, 512, 1024, 1, 512, 512},
      {64, 32, 1024, 0, 64, 32},     {2048, 16, 1024, 0, 1024, 16}, {17, 1, 1024, 1, 1, 1},
  };
  for (const auto &c : cases) {
    int w = c.w, h = c.h;
    unsigned char *p = _WTtexture_fitsize(image(w, h, [](int, int) { return Texel{9, 9, 9, 255}; }), &w,
                                          &h, c.maxsize, c.square);
    ASSERT_NE(p, nullptr) << c.w << " x " << c.h;
    EXPECT_EQ(w, c.W) << c.w << " x " << c.h;
    EXPECT_EQ(h, c.H) << c.w << " x " << c.h;
    // A plain image stays plain whatever the resampling weights and blocks.
    const unsigned char plain[4] = {9, 9, 9, 255};
    int changed = 0;
    for (int i = 0; i < w * h; i++) changed += memcmp(p + 4 * i, plain, 4) != 0;
    EXPECT_EQ(changed, 0) << c.w << " x " << c.h;
    _WTmem_free(p);
  }
}

TEST_F(TextureSizes, ReductionBlocksFollowTheLimitAndTheSquareFlag) {
  // Red counts the column within four, green the row within two.
  auto ramp = [](int x, int y) { return Texel{x % 4 * 10, y % 2 * 100, 0, 255}; };
  int w = 1024, h = 512;
  unsigned char *p = _WTtexture_fitsize(image(w, h, ramp), &w, &h, 256, 0);  // blocks of 4 x 2
  EXPECT_THAT(texel(p, w, 5, 7), testing::ElementsAre(15, 50, 0, 255));
  _WTmem_free(p);
  w = 1024, h = 512;
  p = _WTtexture_fitsize(image(w, h, ramp), &w, &h, 1024, 1);  // blocks of 2 x 1
  EXPECT_THAT(texel(p, w, 0, 0), testing::ElementsAre(5, 0, 0, 255));
  EXPECT_THAT(texel(p, w, 1, 1), testing::ElementsAre(25, 100, 0, 255));
  _WTmem_free(p);
}

TEST_F(TextureSizes, ReductionAlpha) {
  // A 4 x 2 block with opaque texels of red 10, 20, 30 (and a fourth when given) among
  // transparent ones of red 200.
  auto block = [](int opaque) {
    return image(4, 2, [=](int x, int y) {
      int i = y * 4 + x;
      return i < opaque ? Texel{10 * (i + 1), 0, 0, 255} : Texel{200, 0, 0, 0};
    });
  };
  const struct {
    int opaque, option15;
    std::vector<int> expected;
  } cases[] = {
      {4, 0, {25, 0, 0, 255}},    // half the block opaque: colour of the opaque texels only
      {3, 0, {20, 0, 0, 0}},      // fewer than half: transparent
      {0, 0, {0, 0, 0, 0}},
      {3, 1, {(60 + 1000) / 8, 0, 0, 765 / 8}},  // own alpha: every channel averaged
  };
  for (const auto &c : cases) {
    WTuniverse_setoption(15, c.option15);
    unsigned char *in = block(c.opaque);
    unsigned char *out = _WTtexture_reduce(in, 4, 2, 1, 1);
    EXPECT_THAT(texel(out, 1, 0, 0), testing::ElementsAreArray(c.expected)) << c.opaque << " " << c.option15;
    _WTmem_free(in);
    _WTmem_free(out);
  }
}

TEST_F(TextureSizes, ResamplingARampKeepsItLinear) {
  unsigned char *in = image(3, 1, [](int x, int) { return Texel{90 * x, 0, 0, 255}; });
  unsigned char *out = _WTtexture_resample(in, 3, 1, 4, 1);
  const int expected[] = {0, 60, 120, 180};
  for (int x = 0; x < 4; x++) EXPECT_NEAR(out[x * 4], expected[x], 1) << x;
  _WTmem_free(in);
  _WTmem_free(out);
}

TEST_F(TextureSizes, RefusedSizes) {
  const int sides[][2] = {{0, 16}, {16, 0}, {-4, 4}};
  for (const auto &s : sides) {
    int w = s[0], h = s[1];
    EXPECT_EQ(_WTtexture_fitsize(static_cast<unsigned char *>(_WTmem_alloc(64)), &w, &h, 1024, 0), nullptr);
  }
  // 3 x 3 would be resampled to 4 x 4: beyond a ceiling of 40 bytes.
  size_t previous = _WTimage_setceiling(40);
  int w = 3, h = 3;
  EXPECT_EQ(_WTtexture_fitsize(image(3, 3, [](int, int) { return Texel{1, 1, 1, 1}; }), &w, &h, 1024, 0),
            nullptr);
  _WTimage_setceiling(previous);
}

TEST_F(TextureSizes, DisplayListIds) {
  _WTidblock_exit();
  _WTidblock_init();
  EXPECT_EQ(_WTidblock_alloc(1), 2u);
  EXPECT_EQ(_WTidblock_alloc(40), 32u);  // word 1 and the low 8 bits of word 2
  for (unsigned id = 3; id < 32; id++) ASSERT_EQ(_WTidblock_alloc(1), id);
  EXPECT_EQ(_WTidblock_alloc(1), 72u);
  EXPECT_EQ(_WTidblock_alloc(512), 512u);  // no block has 16 free words: a new one
  EXPECT_EQ(_WTidblock_alloc(0), 0u);
  EXPECT_EQ(_WTidblock_alloc(513), 0u);
  _WTidblock_free(32, 40);  // id 72 stays in use: word 2 is not free
  EXPECT_EQ(_WTidblock_alloc(64), 96u);
  EXPECT_EQ(_WTidblock_alloc(32), 32u);
  _WTidblock_free(5, 1);
  EXPECT_EQ(_WTidblock_alloc(1), 5u);
  _WTidblock_free(1u << 20, 8);  // of no block: ignored
  _WTidblock_free(512, 512);
  EXPECT_EQ(_WTidblock_alloc(300), 160u);  // words 5 to 14
  EXPECT_EQ(_WTidblock_alloc(300), 512u);  // the freed second block
  _WTidblock_exit();
}

}  // namespace
