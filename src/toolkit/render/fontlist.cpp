// Reading the bitmap-font list: face names with their whitespace folded, and a trailing size.
#include "toolkit/render/fontlist.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

namespace {

bool blank(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }

// The text with leading whitespace dropped, every run of whitespace made one space and one
// trailing space dropped.
void fold(const char *in, char *out, size_t cap) {
  size_t n = 0;
  while (blank(*in)) in++;
  for (; *in && n + 1 < cap; in++) {
    if (!blank(*in))
      out[n++] = *in;
    else if (n && out[n - 1] != ' ')
      out[n++] = ' ';
  }
  if (n && out[n - 1] == ' ') n--;
  out[n] = '\0';
}

}  // namespace

extern "C" {

int _WTfont_parseline(const char *line, WTfontline *out) {
  if (!line || !out || strlen(line) < 2) return 0;
  char text[256];
  size_t length = strcspn(line, "\r\n");
  if (length > 254) length = 254;
  char raw[256];
  memcpy(raw, line, length);
  raw[length] = '\0';
  fold(raw, text, sizeof text);
  size_t n = strlen(text);
  out->size = 0;
  char *space = strrchr(text, ' ');
  if (n && isdigit(static_cast<unsigned char>(text[n - 1])) && space) {
    out->size = atoi(space + 1);
    *space = '\0';
  }
  strcpy(out->name, text);
  return 1;
}

int _WTfont_readlist(FILE *file, int (*make)(const WTfontline *font, void *context), void *context) {
  if (!file || !make) return 0;
  int made = 0;
  char line[256];
  while (made < kMaxFonts && fgets(line, sizeof line, file)) {
    WTfontline font;
    if (_WTfont_parseline(line, &font) && make(&font, context)) made++;
  }
  return made;
}

}  // extern "C"
