// Finding texture image files and telling their format by content; the Targa reader.
#include <stdio.h>
#include <string.h>

#include <string>

#include "toolkit/core/core.h"
#include "toolkit/render/imagefile.h"
#include "toolkit/render/images.h"

namespace {

constexpr int kTargaMaxSide = 1024;

// One Targa file being read: its header, colour map, run state and the current pixel value.
struct Targa {
  ImageInput *in;
  const char *path;
  int type, maptype, maporigin, maplength, mapbits, width, height, depth, descriptor;
  bool rle, mapped, ownalpha;
  int runcount;
  bool repeat;
  unsigned char value[4];  // red, green, blue, alpha
  unsigned char map[256][4];
  bool inmap[256];
};

int get16(const unsigned char *b) { return b[0] | b[1] << 8; }

bool validdepth(int bits) {
  return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// One value of the given size from the file, as red, green, blue, alpha.
bool readcolour(ImageInput *in, int bits, unsigned char out[4]) {
  unsigned char b[4] = {0, 0, 0, 255};
  int n = (bits + 7) / 8;
  if (!in->read(b, n)) return false;
  if (bits == 8) {
    out[0] = out[1] = out[2] = b[0], out[3] = 255;
  } else if (n == 2) {
    int w = get16(b);
    out[0] = ((w >> 10) & 31) * 8, out[1] = ((w >> 5) & 31) * 8, out[2] = (w & 31) * 8;
    out[3] = 255;
  } else {
    out[0] = b[2], out[1] = b[1], out[2] = b[0], out[3] = n == 4 ? b[3] : 255;
  }
  return true;
}

bool readheader(Targa *t) {
  unsigned char h[18];
  if (!t->in->read(h, sizeof h) || !t->in->skip(h[0])) {
    fprintf(stderr, "IO Error reading %s\n", t->path);
    return false;
  }
  t->maptype = h[1], t->type = h[2];
  t->maporigin = get16(h + 3), t->maplength = get16(h + 5), t->mapbits = h[7];
  t->width = get16(h + 12), t->height = get16(h + 14);
  t->depth = h[16], t->descriptor = h[17];
  t->rle = t->type >= 9;
  t->mapped = t->type == 1 || t->type == 9;
  return true;
}

bool checktype(const Targa &t) {
  int base = t.type & ~8;
  if (base >= 1 && base <= 3) return true;
  fprintf(stderr, "%s - unknown Targa image type %d\n", t.path, t.type);
  return false;
}

bool checkdepth(const Targa &t) {
  if (!t.mapped) {
    if (validdepth(t.depth)) return true;
    fprintf(stderr, "%s - unknown pixel size - %d\n", t.path, t.depth);
    return false;
  }
  if (t.maptype != 1) {
    fprintf(stderr, "%s - mapped image (type %d) with color map type != 1\n", t.path, t.type);
    return false;
  }
  if (!validdepth(t.mapbits)) {
    fprintf(stderr, "%s - unknown colormap pixel size - %d\n", t.path, t.mapbits);
    return false;
  }
  if (t.depth != 8) {
    fprintf(stderr, "%s - unknown pixel size - %d\n", t.path, t.depth);
    return false;
  }
  return true;
}

// The colour map the header declares: kept for mapped images, skipped otherwise.
bool readmap(Targa *t) {
  if (t->maptype != 1) return true;
  if (!t->mapped) return t->in->skip(static_cast<size_t>(t->maplength) * ((t->mapbits + 7) / 8));
  for (int i = 0; i < t->maplength; i++) {
    int index = t->maporigin + i;
    unsigned char entry[4];
    if (!readcolour(t->in, t->mapbits, entry)) return false;
    if (index < 256) {
      memcpy(t->map[index], entry, 4);
      t->inmap[index] = true;
    }
  }
  return true;
}

// The next pixel value of the file, through the run-length packets when the image has them.
bool readvalue(Targa *t) {
  if (!t->mapped) return readcolour(t->in, t->depth, t->value);
  int index = t->in->get();
  if (index < 0) return false;
  if (!t->inmap[index]) {
    fprintf(stderr, "%s - colour index %d outside the colour map\n", t->path, index);
    return false;
  }
  memcpy(t->value, t->map[index], 3);
  t->value[3] = 255;
  return true;
}

bool nextpixel(Targa *t) {
  if (!t->rle) return readvalue(t);
  bool fresh = false;
  if (t->runcount == 0) {
    int h = t->in->get();
    if (h < 0) return false;
    t->runcount = (h & 0x7F) + 1;
    t->repeat = (h & 0x80) != 0;
    fresh = true;
  }
  t->runcount--;
  return t->repeat && !fresh ? true : readvalue(t);
}

void storetexel(const Targa &t, unsigned char *texel) {
  memcpy(texel, t.value, 3);
  if (t.ownalpha)
    texel[3] = t.depth == 32 && !t.mapped ? t.value[3] : 255;
  else
    texel[3] = (t.value[0] | t.value[1] | t.value[2]) ? 255 : 0;
}

bool readpixels(Targa *t, unsigned char *pixels) {
  bool toptobottom = (t->descriptor & 0x20) != 0;
  for (int i = 0; i < t->height; i++) {
    int row = toptobottom ? t->height - 1 - i : i;
    unsigned char *texel = pixels + static_cast<size_t>(row) * t->width * 4;
    for (int x = 0; x < t->width; x++, texel += 4) {
      if (!nextpixel(t)) return false;
      storetexel(*t, texel);
    }
  }
  return true;
}

// Everything the header says that the reader refuses, each with its message.
bool acceptable(const Targa &t, const char *name) {
  if (!checktype(t)) return false;
  if (t.width > kTargaMaxSide || t.height > kTargaMaxSide) {
    _WTtexture_setstatus(5);
    _WTtexture_reportfailure(name);
    return false;
  }
  if (t.width == 0 || t.height == 0) {
    fprintf(stderr, "%s - image of %d x %d texels\n", t.path, t.width, t.height);
    return false;
  }
  if (!checkdepth(t)) return false;
  if (t.descriptor >> 6) {
    fprintf(stderr, "Do not support interleaved TARGA files.\n");
    return false;
  }
  return true;
}

unsigned char *readtarga(ImageInput *in, const char *path, const char *name, int *w, int *h) {
  Targa *t = static_cast<Targa *>(_WTmem_alloc(sizeof(Targa)));
  memset(t, 0, sizeof *t);
  t->in = in, t->path = path;
  t->ownalpha = _WTuniverse_getoption(15) > 0;
  unsigned char *pixels = nullptr;
  if (readheader(t) && acceptable(*t, name)) {
    if (!readmap(t)) {
      fprintf(stderr, "error in reading %s\n", path);
    } else {
      pixels = static_cast<unsigned char *>(_WTmem_alloc(static_cast<size_t>(t->width) * t->height * 4));
      if (readpixels(t, pixels)) {
        *w = t->width, *h = t->height;
      } else {
        fprintf(stderr, "error in reading %s\n", path);
        _WTmem_free(pixels);
        pixels = nullptr;
      }
    }
  }
  _WTmem_free(t);
  return pixels;
}

bool isjpeg(const ImageInput &in) {
  static const unsigned char kStart[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
  return in.fill >= sizeof kStart && memcmp(in.buf, kStart, sizeof kStart) == 0;
}

bool issgi(const ImageInput &in) {
  return in.fill >= 4 && (in.buf[0] << 8 | in.buf[1]) == 474 && in.buf[3] == 1;
}

bool hasextension(const char *name) {
  const char *dot = strrchr(name, '.');
  const char *slash = strrchr(name, '/');
  const char *backslash = strrchr(name, '\\');
  return dot && (!slash || dot > slash) && (!backslash || dot > backslash);
}

}  // namespace

int ImageInput::get() {
  if (pos == fill) {
    if (eof) return -1;
    fill = fread(buf, 1, sizeof buf, file);
    pos = 0;
    if (fill == 0) {
      eof = true;
      return -1;
    }
  }
  return buf[pos++];
}

bool ImageInput::read(unsigned char *out, size_t n) {
  for (size_t i = 0; i < n; i++) {
    int c = get();
    if (c < 0) return false;
    out[i] = static_cast<unsigned char>(c);
  }
  return true;
}

bool ImageInput::skip(size_t n) {
  for (size_t i = 0; i < n; i++)
    if (get() < 0) return false;
  return true;
}

extern "C" {

char *_WTimage_findfile(const char *name) {
  if (!name) return nullptr;
  char *found = _WTfile_findpath(name, "WTIMAGES");
  if (!found && !hasextension(name)) {
    for (const char *ext : {".tga", ".rgb", ".jpg"})
      if ((found = _WTfile_findpath((std::string(name) + ext).c_str(), "WTIMAGES"))) break;
  }
  if (!found) {
    _WTtexture_setstatus(1);
    _WTtexture_reportfailure(name);
  }
  return found;
}

unsigned char *_WTimage_read(const char *name, int *width, int *height) {
  int w = 0, h = 0;
  const char *found = _WTimage_findfile(name);
  if (!found) return nullptr;
  std::string path = found;
  FILE *file = _WTfile_open(path.c_str(), "rb");
  if (!file) {
    _WTmsg_warning("Couldn't open texture file %s\n", path.c_str());
    return nullptr;
  }
  ImageInput *in = static_cast<ImageInput *>(_WTmem_alloc(sizeof(ImageInput)));
  in->file = file, in->pos = 0, in->eof = false;
  in->fill = fread(in->buf, 1, 512, file);
  unsigned char *pixels = nullptr;
  if (isjpeg(*in)) {
    fclose(file);
    file = nullptr;
    pixels = _WTjpeg_read(path.c_str(), &w, &h);
  } else if (issgi(*in)) {
    pixels = _WTsgi_read(file, in->buf, in->fill, path.c_str(), name, &w, &h);
  } else {
    pixels = readtarga(in, path.c_str(), name, &w, &h);
  }
  if (file) fclose(file);
  _WTmem_free(in);
  if (width) *width = pixels ? w : 0;
  if (height) *height = pixels ? h : 0;
  return pixels;
}
}
