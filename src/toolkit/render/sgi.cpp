// The SGI RGB reader: one byte a channel, stored verbatim or run-length coded, one to four
// channels completed to RGBA.
#include <stdio.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/render/imagefile.h"
#include "toolkit/render/images.h"

namespace {

constexpr long kHeaderSize = 512;

struct Sgi {
  FILE *file;
  const char *path;
  long long filesize;
  int storage, width, height, channels;
  unsigned char *pixels;
  unsigned char *row;  // one file row: the width, or the longest run-length row allowed
};

int get16(const unsigned char *b) { return b[0] << 8 | b[1]; }
uint32_t get32(const unsigned char *b) {
  return static_cast<uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
}

long long sizeof_file(FILE *file) {
  if (fseek(file, 0, SEEK_END) != 0) return -1;
  return ftell(file);
}

size_t longestrow(const Sgi &s) { return 2 * static_cast<size_t>(s.width) + 10; }

// Byte c of each texel of destination row y.
unsigned char *channel(const Sgi &s, int y, int c) {
  return s.pixels + (static_cast<size_t>(y) * s.width) * 4 + c;
}

// Bytes the file must hold after its header: every row, or the two tables of row offsets and
// lengths.  Checked before anything is allocated.
long long needed(const Sgi &s) {
  long long rows = static_cast<long long>(s.height) * s.channels;
  return s.storage == 0 ? rows * s.width : rows * 8;
}

bool readverbatim(Sgi *s) {
  if (fseek(s->file, kHeaderSize, SEEK_SET) != 0) return false;
  for (int c = 0; c < s->channels; c++)
    for (int y = 0; y < s->height; y++) {
      if (fread(s->row, 1, s->width, s->file) != static_cast<size_t>(s->width)) return false;
      unsigned char *out = channel(*s, y, c);
      for (int x = 0; x < s->width; x++, out += 4) *out = s->row[x];
    }
  return true;
}

// Decodes n coded bytes into channel c of row y; runs must stay within the row and the codes.
bool decoderow(const Sgi &s, size_t n, int y, int c) {
  unsigned char *out = channel(s, y, c);
  size_t p = 0;
  int x = 0;
  while (p < n) {
    unsigned char code = s.row[p++];
    int count = code & 0x7F;
    if (count == 0) return true;
    if (x + count > s.width) return false;
    bool copy = (code & 0x80) != 0;
    if (p + (copy ? count : 1) > n) return false;
    for (int i = 0; i < count; i++, out += 4) *out = copy ? s.row[p + i] : s.row[p];
    p += copy ? count : 1;
    x += count;
  }
  return true;
}

// Rows in file order: row by row when the start offsets ascend that way, else channel by
// channel.  A seek is made only where a row does not follow the previous one.
bool readruns(Sgi *s, const unsigned char *tables, long long pos) {
  int count = s->height * s->channels;
  const unsigned char *starts = tables, *lengths = tables + 4 * count;
  bool rowmajor = true;
  uint32_t last = 0;
  for (int y = 0; y < s->height && rowmajor; y++)
    for (int c = 0; c < s->channels && rowmajor; c++) {
      uint32_t start = get32(starts + 4 * (y + c * s->height));
      rowmajor = start >= last;
      last = start;
    }
  for (int i = 0; i < count; i++) {
    int y = rowmajor ? i / s->channels : i % s->height;
    int c = rowmajor ? i % s->channels : i / s->height;
    int k = y + c * s->height;
    long long start = get32(starts + 4 * k), length = get32(lengths + 4 * k);
    if (length > static_cast<long long>(longestrow(*s)) || start + length > s->filesize) return false;
    if (start != pos && fseek(s->file, static_cast<long>(start), SEEK_SET) != 0) return false;
    if (fread(s->row, 1, length, s->file) != static_cast<size_t>(length)) return false;
    pos = start + length;
    if (!decoderow(*s, length, y, c)) return false;
  }
  return true;
}

bool readrunlength(Sgi *s) {
  long long tablesize = needed(*s);
  if (fseek(s->file, kHeaderSize, SEEK_SET) != 0) return false;
  unsigned char *tables = static_cast<unsigned char *>(_WTmem_alloc(tablesize));
  bool ok = fread(tables, 1, tablesize, s->file) == static_cast<size_t>(tablesize) &&
            readruns(s, tables, kHeaderSize + tablesize);
  _WTmem_free(tables);
  return ok;
}

// Red, green, blue and alpha from the channels the file has.
void complete(const Sgi &s, bool ownalpha) {
  unsigned char *t = s.pixels;
  for (size_t i = 0, n = static_cast<size_t>(s.width) * s.height; i < n; i++, t += 4) {
    switch (s.channels) {
      case 1: t[1] = t[2] = t[0]; t[3] = ownalpha || t[0] ? 255 : 0; break;
      case 2: t[3] = t[1]; t[1] = t[2] = t[0]; break;
      case 3: t[3] = ownalpha || (t[0] | t[1] | t[2]) ? 255 : 0; break;
      default: break;
    }
  }
}

bool acceptable(const Sgi &s, const char *name) {
  if (s.storage > 1) {
    fprintf(stderr, "%s - unknown SGI storage %d\n", s.path, s.storage);
    return false;
  }
  if (s.channels < 1 || s.channels > 4) {
    fprintf(stderr, "%s - SGI image with %d channels not supported\n", s.path, s.channels);
    return false;
  }
  if (s.width == 0 || s.height == 0) {
    fprintf(stderr, "%s - image of %d x %d texels\n", s.path, s.width, s.height);
    return false;
  }
  if (!_WTimage_fits(s.width, s.height)) {
    _WTtexture_setstatus(5);
    _WTtexture_reportfailure(name);
    return false;
  }
  return true;
}

}  // namespace

unsigned char *_WTsgi_read(FILE *file, const unsigned char *header, size_t n, const char *path,
                           const char *name, int *w, int *h) {
  if (n < 12) {
    fprintf(stderr, "IO Error reading %s\n", path);
    return nullptr;
  }
  Sgi s = {file, path, sizeof_file(file), header[2], get16(header + 6), get16(header + 8),
           get16(header + 10), nullptr, nullptr};
  if (!acceptable(s, name)) return nullptr;
  if (kHeaderSize + needed(s) > s.filesize) {
    fprintf(stderr, "error in reading %s\n", path);
    return nullptr;
  }
  size_t bytes = static_cast<size_t>(s.width) * s.height * 4;
  s.pixels = static_cast<unsigned char *>(_WTmem_alloc(bytes));
  memset(s.pixels, 255, bytes);
  s.row = static_cast<unsigned char *>(_WTmem_alloc(longestrow(s)));
  bool ok = s.storage == 0 ? readverbatim(&s) : readrunlength(&s);
  _WTmem_free(s.row);
  if (!ok) {
    fprintf(stderr, "error in reading %s\n", path);
    _WTmem_free(s.pixels);
    return nullptr;
  }
  complete(s, _WTuniverse_getoption(15) > 0);
  *w = s.width, *h = s.height;
  return s.pixels;
}
