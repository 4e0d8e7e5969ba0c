// What the image file readers share: buffered input over an open file, and the SGI RGB reader
// that the format dispatch hands a file to.
#pragma once

#include <stddef.h>
#include <stdio.h>

struct ImageInput {
  FILE *file;
  unsigned char buf[4096];
  size_t fill;  // bytes in buf
  size_t pos;   // next byte of buf
  bool eof;
  // The next byte, or -1 at the end of the file.
  int get();
  bool read(unsigned char *out, size_t n);
  bool skip(size_t n);
};

// Decodes the SGI RGB file whose first n bytes (up to 512) are header; the file is left open.
// path names the file in messages, name the texture in failure reports.
unsigned char *_WTsgi_read(FILE *file, const unsigned char *header, size_t n, const char *path,
                           const char *name, int *w, int *h);
