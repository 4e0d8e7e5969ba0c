// The bitmap-font list "font.vav": one font a line, a face name and a size.
#pragma once

#include <stdio.h>

// At most this many bitmap fonts; further lines of the list are not read.
constexpr int kMaxFonts = 255;

struct WTfontline {
  char name[256];
  int size;
};

extern "C" {
// One line of the list (its line end included); false for a line to skip.
int _WTfont_parseline(const char *line, WTfontline *out);
// Reads the list, calling make for each line until kMaxFonts fonts were made; make answers
// whether it made the font.  Returns the number made.
int _WTfont_readlist(FILE *file, int (*make)(const WTfontline *font, void *context), void *context);
}
