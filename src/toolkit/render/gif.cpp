// GIF images into RGBA pixels and Targa files: the first image of the file, with its local or
// global colour table, interlacing and the transparent colour of a graphic control block.
#include <string.h>

#include <vector>

#include "toolkit/core/core.h"
#include "toolkit/render/images.h"

namespace {

// Larger images are refused: no texture is that big, and the sizes come from the file.
constexpr size_t kMaxPixels = size_t(1) << 24;

struct Bytes {
  const unsigned char *p;
  size_t size, at;
  bool take(size_t n) {
    if (size - at < n) return false;
    at += n;
    return true;
  }
  int byte() { return at < size ? p[at++] : -1; }
  int word() {
    if (size - at < 2) return -1;
    int v = p[at] | p[at + 1] << 8;
    at += 2;
    return v;
  }
};

struct Image {
  int width = 0, height = 0;
  int left = 0, top = 0, iw = 0, ih = 0;
  bool interlaced = false;
  int transparent = -1;
  std::vector<unsigned char> palette;  // RGB triples
  std::vector<unsigned char> indices;  // iw x ih, rows from the top
};

bool readpalette(Bytes &b, int flags, std::vector<unsigned char> *palette) {
  if (!(flags & 0x80)) return true;
  const size_t n = size_t(3) << ((flags & 7) + 1);
  if (b.size - b.at < n) return false;
  palette->assign(b.p + b.at, b.p + b.at + n);
  b.at += n;
  return true;
}

// The data sub-blocks from the cursor on, joined.
bool subblocks(Bytes &b, std::vector<unsigned char> *out) {
  for (;;) {
    int n = b.byte();
    if (n < 0) return false;
    if (n == 0) return true;
    if (b.size - b.at < size_t(n)) return false;
    if (out) out->insert(out->end(), b.p + b.at, b.p + b.at + n);
    b.at += size_t(n);
  }
}

// Variable-width LZW codes into colour indices; false on a broken stream.
bool decodelzw(const std::vector<unsigned char> &data, int minsize, size_t count,
               std::vector<unsigned char> *out) {
  if (minsize < 1 || minsize > 11) return false;
  const int clear = 1 << minsize, stop = clear + 1;
  std::vector<uint16_t> prefix(4096);
  std::vector<unsigned char> suffix(4096), stack;
  int size = minsize + 1, next = clear + 2, previous = -1;
  unsigned char first = 0;
  size_t bitpos = 0;
  out->clear();
  while (out->size() < count) {
    if (bitpos + size_t(size) > data.size() * 8) break;
    int code = 0;
    for (int i = 0; i < size; i++, bitpos++)
      code |= ((data[bitpos >> 3] >> (bitpos & 7)) & 1) << i;
    if (code == clear) {
      size = minsize + 1, next = clear + 2, previous = -1;
      continue;
    }
    if (code == stop) break;
    int c = code;
    stack.clear();
    if (previous < 0) {
      if (code >= clear) return false;
    } else if (code > next || (code == next && next >= 4096)) {
      return false;
    } else if (code == next) {
      stack.push_back(first);
      c = previous;
    }
    while (c >= clear) {
      if (stack.size() > 4096) return false;
      stack.push_back(suffix[size_t(c)]);
      c = prefix[size_t(c)];
    }
    first = static_cast<unsigned char>(c);
    stack.push_back(first);
    for (size_t i = stack.size(); i-- > 0 && out->size() < count;) out->push_back(stack[i]);
    if (previous >= 0 && next < 4096) {
      prefix[size_t(next)] = static_cast<uint16_t>(previous);
      suffix[size_t(next)] = first;
      next++;
      if (next == (1 << size) && size < 12) size++;
    }
    previous = code;
  }
  out->resize(count, 0);  // a short stream leaves the rest at colour 0
  return true;
}

bool readextension(Bytes &b, Image *img) {
  int label = b.byte();
  if (label < 0) return false;
  std::vector<unsigned char> data;
  if (!subblocks(b, &data)) return false;
  if (label == 0xF9 && data.size() >= 4 && (data[0] & 1)) img->transparent = data[3];
  return true;
}

bool readframe(Bytes &b, Image *img) {
  img->left = b.word(), img->top = b.word(), img->iw = b.word(), img->ih = b.word();
  int flags = b.byte();
  if (img->ih < 0 || flags < 0 || size_t(img->iw) * size_t(img->ih) > kMaxPixels) return false;
  img->interlaced = (flags & 0x40) != 0;
  if (!readpalette(b, flags, &img->palette)) return false;
  int minsize = b.byte();
  std::vector<unsigned char> data;
  if (minsize < 0 || !subblocks(b, &data)) return false;
  return decodelzw(data, minsize, size_t(img->iw) * size_t(img->ih), &img->indices);
}

bool parse(Bytes &b, Image *img) {
  if (b.size < 13 || (memcmp(b.p, "GIF87a", 6) != 0 && memcmp(b.p, "GIF89a", 6) != 0)) return false;
  b.at = 6;
  img->width = b.word(), img->height = b.word();
  int flags = b.byte();
  b.take(2);
  if (img->width <= 0 || img->height <= 0 || flags < 0) return false;
  if (size_t(img->width) * size_t(img->height) > kMaxPixels) return false;
  if (!readpalette(b, flags, &img->palette)) return false;
  for (;;) {
    int kind = b.byte();
    if (kind == 0x21) {
      if (!readextension(b, img)) return false;
    } else if (kind == 0x2C) {
      return readframe(b, img);
    } else {
      return false;
    }
  }
}

// The source row of output row y of an interlaced image.
int interlacedrow(int y, int h) {
  static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; pass++) {
    int rows = (h - start[pass] + step[pass] - 1) / step[pass];
    if (rows < 0) rows = 0;
    if (y < rows) return start[pass] + y * step[pass];
    y -= rows;
  }
  return 0;
}

void paint(const Image &img, unsigned char *rgba) {
  const int w = img.width, h = img.height;
  memset(rgba, 0, size_t(w) * size_t(h) * 4);
  const size_t colours = img.palette.size() / 3;
  for (int r = 0; r < img.ih; r++) {
    const int y = img.top + (img.interlaced ? interlacedrow(r, img.ih) : r);
    for (int x = 0; x < img.iw; x++) {
      const int px = img.left + x;
      if (y < 0 || y >= h || px < 0 || px >= w) continue;
      const unsigned char i = img.indices[size_t(r) * size_t(img.iw) + size_t(x)];
      unsigned char *d = rgba + (size_t(h - 1 - y) * size_t(w) + size_t(px)) * 4;
      if (i < colours) memcpy(d, &img.palette[size_t(i) * 3], 3);
      d[3] = i == img.transparent ? 0 : 255;
    }
  }
}

bool writetga(const char *path, const unsigned char *rgba, int w, int h) {
  FILE *f = _WTfile_open(path, "wb");
  if (!f) return false;
  unsigned char header[18] = {0};
  header[2] = 2;
  header[12] = static_cast<unsigned char>(w), header[13] = static_cast<unsigned char>(w >> 8);
  header[14] = static_cast<unsigned char>(h), header[15] = static_cast<unsigned char>(h >> 8);
  header[16] = 32;
  header[17] = 8;
  bool ok = fwrite(header, 1, 18, f) == 18;
  std::vector<unsigned char> bgra(size_t(w) * size_t(h) * 4);
  for (size_t i = 0; i < bgra.size(); i += 4) {
    bgra[i] = rgba[i + 2], bgra[i + 1] = rgba[i + 1], bgra[i + 2] = rgba[i], bgra[i + 3] = rgba[i + 3];
  }
  ok = ok && fwrite(bgra.data(), 1, bgra.size(), f) == bgra.size();
  ok = fclose(f) == 0 && ok;
  if (!ok) remove(path);
  return ok;
}

}  // namespace

extern "C" {

unsigned char *_WTgif_decode(const unsigned char *data, size_t size, int *width, int *height) {
  if (!data) return nullptr;
  Bytes b{data, size, 0};
  Image img;
  if (!parse(b, &img)) return nullptr;
  unsigned char *rgba =
      static_cast<unsigned char *>(_WTmem_alloc(size_t(img.width) * size_t(img.height) * 4));
  paint(img, rgba);
  *width = img.width;
  *height = img.height;
  return rgba;
}

int _WTgif_totga(const char *gif, const char *tga) {
  FILE *f = gif && tga ? _WTfile_open(gif, "rb") : nullptr;
  if (!f) return 0;
  std::vector<unsigned char> data;
  unsigned char block[4096];
  for (size_t n; (n = fread(block, 1, sizeof block, f)) > 0;) data.insert(data.end(), block, block + n);
  fclose(f);
  int w = 0, h = 0;
  unsigned char *rgba = _WTgif_decode(data.data(), data.size(), &w, &h);
  if (!rgba) return 0;
  bool ok = writetga(tga, rgba, w, h);
  _WTmem_free(rgba);
  return ok ? 1 : 0;
}
}
