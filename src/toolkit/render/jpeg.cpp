// JPEG textures through libjpeg: grey or colour images, always opaque.  Every library error ends
// the decoding at once and gives nothing back.
#include <setjmp.h>
#include <stdio.h>
#include <string.h>

#include <jpeglib.h>
#include <jerror.h>

#include "toolkit/core/core.h"
#include "toolkit/render/images.h"

namespace {

// Everything the error exit has to release lives here rather than in locals, so that it holds
// its values across the long jump.
struct Decoding {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  jmp_buf failed;
  FILE *file;
  unsigned char *pixels;
};

void printmessage(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX];
  info->err->format_message(info, text);
  _WTmsg_warning("JPEG: %s\n", text);
}

[[noreturn]] void errorexit(j_common_ptr info) {
  printmessage(info);
  if (info->err->msg_code != JERR_NO_SOI) _WTmsg_warning("JPEG file is not in a format readable by VAV\n");
  longjmp(reinterpret_cast<Decoding *>(info)->failed, 1);
}

void release(Decoding *d) {
  jpeg_destroy_decompress(&d->info);
  if (d->file) fclose(d->file);
  _WTmem_free(d->pixels);
  d->file = nullptr;
  d->pixels = nullptr;
}

// Converts scanline k (components per texel 1 or 3) to destination row height - 1 - k.
void storerow(Decoding *d, const unsigned char *line, unsigned k) {
  unsigned w = d->info.output_width;
  bool grey = d->info.output_components == 1;
  unsigned char *out = d->pixels + (static_cast<size_t>(d->info.output_height - 1 - k) * w) * 4;
  for (unsigned x = 0; x < w; x++, out += 4, line += grey ? 1 : 3) {
    out[0] = line[0];
    out[1] = grey ? line[0] : line[1];
    out[2] = grey ? line[0] : line[2];
    out[3] = 255;
  }
}

// Reads the image into d->pixels; false (with d->pixels still to release) when it is refused.
bool decode(Decoding *d, const char *path) {
  jpeg_create_decompress(&d->info);
  jpeg_stdio_src(&d->info, d->file);
  jpeg_read_header(&d->info, TRUE);
  jpeg_start_decompress(&d->info);
  int components = d->info.output_components;
  if (components != 1 && components != 3) {
    _WTmsg_warning("Unsupported number of components per pixel in JPEG \t\t\t\t\tfile %s\n", path);
    return false;
  }
  if (!_WTimage_fits(d->info.output_width, d->info.output_height)) {
    _WTtexture_setstatus(5);
    _WTtexture_reportfailure(path);
    return false;
  }
  size_t w = d->info.output_width;
  d->pixels = static_cast<unsigned char *>(_WTmem_alloc(w * d->info.output_height * 4));
  JSAMPARRAY line = d->info.mem->alloc_sarray(reinterpret_cast<j_common_ptr>(&d->info), JPOOL_IMAGE,
                                              static_cast<JDIMENSION>(w * components), 1);
  while (d->info.output_scanline < d->info.output_height) {
    unsigned k = d->info.output_scanline;
    if (jpeg_read_scanlines(&d->info, line, 1) != 1) return false;
    storerow(d, line[0], k);
  }
  jpeg_finish_decompress(&d->info);
  return true;
}

}  // namespace

extern "C" unsigned char *_WTjpeg_read(const char *path, int *width, int *height) {
  FILE *file = _WTfile_open(path, "rb");
  if (!file) {
    _WTmsg_warning("JPEG: Cannot open %s\n", path ? path : "");
    return nullptr;
  }
  Decoding *d = static_cast<Decoding *>(_WTmem_alloc(sizeof(Decoding)));
  memset(d, 0, sizeof *d);
  d->file = file;
  d->info.err = jpeg_std_error(&d->errors);
  d->errors.error_exit = errorexit;
  d->errors.output_message = printmessage;
  unsigned char *pixels = nullptr;
  if (setjmp(d->failed) == 0 && decode(d, path)) {
    pixels = d->pixels;
    d->pixels = nullptr;
    if (width) *width = static_cast<int>(d->info.output_width);
    if (height) *height = static_cast<int>(d->info.output_height);
  }
  release(d);
  _WTmem_free(d);
  return pixels;
}
