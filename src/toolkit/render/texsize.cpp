// Bringing an image to a size OpenGL takes: power-of-two sides by bilinear resampling, and
// sides within the largest texture by box reduction.
#include "toolkit/core/core.h"
#include "toolkit/render/images.h"

namespace {

bool ispow2(int n) { return n > 0 && (n & (n - 1)) == 0; }

unsigned char *newimage(int w, int h) {
  return static_cast<unsigned char *>(_WTmem_alloc(static_cast<size_t>(w) * h * 4));
}

// The two source rows (or columns) one destination row covers, and their weights.
struct Span {
  int i0, i1;
  float w0, w1;
};

Span span(int j, float ratio, int n) {
  float s0 = j * ratio, s1 = (j + 1) * ratio;
  Span s = {static_cast<int>(s0), static_cast<int>(s1), 1.0f, 0.0f};
  if (s.i1 - s.i0 > 1) s.i1--;
  if (s.i1 >= n) s.i1 = n - 1;
  if (s.i0 >= n) s.i0 = n - 1;
  if (s.i0 != s.i1) s.w0 = (s.i1 - s0) / ratio, s.w1 = (s1 - s.i1) / ratio;
  return s;
}

unsigned char blend(const unsigned char *p, int w, const Span &y, const Span &x, int c) {
  auto at = [&](int row, int col) { return p[(static_cast<size_t>(row) * w + col) * 4 + c]; };
  float left = y.w0 * at(y.i0, x.i0) + y.w1 * at(y.i1, x.i0);
  float right = y.w0 * at(y.i0, x.i1) + y.w1 * at(y.i1, x.i1);
  // Rounded, not truncated: weights that sum to a hair below 1 must not turn 255 into 254, which
  // would make opaque texels transparent to a later reduction.
  float v = x.w0 * left + x.w1 * right + 0.5f;
  return static_cast<unsigned char>(v < 0.0f ? 0.0f : v > 255.0f ? 255.0f : v);
}

// One destination texel of a box reduction over the bw x bh block at (x0, y0).
void reduceblock(const unsigned char *p, int w, int x0, int y0, int bw, int bh, bool ownalpha,
                 unsigned char *out) {
  uint64_t sum[4] = {0, 0, 0, 0}, opaque[3] = {0, 0, 0};
  uint64_t n = static_cast<uint64_t>(bw) * bh, nopaque = 0;
  for (int y = y0; y < y0 + bh; y++)
    for (int x = x0; x < x0 + bw; x++) {
      const unsigned char *t = p + (static_cast<size_t>(y) * w + x) * 4;
      for (int c = 0; c < 4; c++) sum[c] += t[c];
      if (t[3] != 255) continue;
      nopaque++;
      for (int c = 0; c < 3; c++) opaque[c] += t[c];
    }
  if (ownalpha) {
    for (int c = 0; c < 4; c++) out[c] = static_cast<unsigned char>(sum[c] / n);
    return;
  }
  for (int c = 0; c < 3; c++) out[c] = static_cast<unsigned char>(nopaque ? opaque[c] / nopaque : 0);
  out[3] = 2 * nopaque < n ? 0 : 255;
}

}  // namespace

extern "C" {

int _WTtexture_pow2size(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return n < (5 * static_cast<long long>(p)) / 8 ? p / 2 : p;
}

unsigned char *_WTtexture_resample(const unsigned char *pixels, int w, int h, int W, int H) {
  unsigned char *out = newimage(W, H);
  float rx = static_cast<float>(w) / W, ry = static_cast<float>(h) / H;
  unsigned char *t = out;
  for (int j = 0; j < H; j++) {
    Span y = span(j, ry, h);
    for (int i = 0; i < W; i++, t += 4) {
      Span x = span(i, rx, w);
      for (int c = 0; c < 4; c++) t[c] = blend(pixels, w, y, x, c);
    }
  }
  return out;
}

unsigned char *_WTtexture_reduce(const unsigned char *pixels, int w, int h, int W, int H) {
  unsigned char *out = newimage(W, H);
  int bw = w / W, bh = h / H;
  bool ownalpha = _WTuniverse_getoption(15) > 0;
  unsigned char *t = out;
  for (int j = 0; j < H; j++)
    for (int i = 0; i < W; i++, t += 4) reduceblock(pixels, w, i * bw, j * bh, bw, bh, ownalpha, t);
  return out;
}

unsigned char *_WTtexture_fitsize(unsigned char *pixels, int *w, int *h, int maxsize, int square) {
  if (!pixels || *w <= 0 || *h <= 0 || maxsize <= 0) {
    _WTmem_free(pixels);
    return nullptr;
  }
  while (!ispow2(maxsize)) maxsize &= maxsize - 1;
  if (!ispow2(*w) || !ispow2(*h)) {
    int W = _WTtexture_pow2size(*w), H = _WTtexture_pow2size(*h);
    if (!_WTimage_fits(W, H)) {
      _WTmem_free(pixels);
      return nullptr;
    }
    unsigned char *resampled = _WTtexture_resample(pixels, *w, *h, W, H);
    _WTmem_free(pixels);
    pixels = resampled, *w = W, *h = H;
  }
  if (*w <= maxsize && *h <= maxsize && (*w == *h || !square)) return pixels;
  int W = *w, H = *h;
  if (square) W = H = W < H ? W : H;
  if (W > maxsize) W = maxsize;
  if (H > maxsize) H = maxsize;
  unsigned char *reduced = _WTtexture_reduce(pixels, *w, *h, W, H);
  _WTmem_free(pixels);
  *w = W, *h = H;
  return reduced;
}
}
