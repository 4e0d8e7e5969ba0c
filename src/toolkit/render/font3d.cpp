// 3D fonts: a model file whose objects named "char<code>" are the glyphs of a character set;
// text is made by copying glyphs side by side into one geometry named "text".
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/core/core.h"
#include "toolkit/core/filetypes.h"
#include "toolkit/geometry/geometry.h"
#include "toolkit/geometry/objects.h"
#include "toolkit/render/render.h"

struct WTfont3d {
  WTgeometry *glyphs[256];
  WTgeomlist *list;
  float cellwidth;
  float advance;
  float spare[2];
  WTp3 boxmin, boxmax;
  char name[256];
  WTfont3d *next;
};

namespace {

WTfont3d *fonts;  // newest first

// The character code of a geometry named "char" and a decimal number from 1 to 255; 0 else.
int glyphcode(WTgeometry *g) {
  const char *name = WTgeometry_getname(g);
  if (!name || strncmp(name, "char", 4) != 0 || !isdigit(static_cast<unsigned char>(name[4])))
    return 0;
  long code = strtol(name + 4, nullptr, 10);
  return code >= 1 && code <= 255 ? static_cast<int>(code) : 0;
}

void widen(WTfont3d *f, WTgeometry *g, bool first) {
  for (int i = 0; i < 3; i++) {
    float lo = g->mid[i] - g->half[i], hi = g->mid[i] + g->half[i];
    if (first || lo < f->boxmin[i]) f->boxmin[i] = lo;
    if (first || hi > f->boxmax[i]) f->boxmax[i] = hi;
  }
}

void deletegeometries(WTgeomlist *list) {
  for (WTgeomlist *c = list; c; c = c->next) WTgeometry_delete(c->geometry);
  _WTgeomlist_delete(list);
}

// Files the glyphs of the geometries read; the number of glyphs and of other objects.
void sortglyphs(WTfont3d *f, const char *file, int *glyphs, int *others) {
  *glyphs = *others = 0;
  for (WTgeomlist *c = f->list; c; c = c->next) {
    int code = glyphcode(c->geometry);
    if (!code) {
      ++*others;
    } else if (f->glyphs[code]) {
      _WTmsg_warning("Font file %s contains more than one object for character %d\n", file, code);
    } else {
      f->glyphs[code] = c->geometry;
      widen(f, c->geometry, *glyphs == 0);
      ++*glyphs;
    }
  }
}

WTgeomlist *readfile(const char *name) {
  char *path = _WTfile_findmodel(name);
  if (!path) {
    _WTmsg_warning("Couldn't find 3D font file %s\n", name);
    return nullptr;
  }
  FILE *file = fopen(path, "rb");
  _WTmem_free(path);
  if (!file) {
    _WTmsg_warning("Couldn't find 3D font file %s\n", name);
    return nullptr;
  }
  WTgeomlist *list = _WTgeometry_load(file, name, WTFILE_NFF, nullptr, 1.0f, 0);
  fclose(file);
  if (!list) _WTmsg_warning("File %s doesn't contain usable 3D letters\n", name);
  return list;
}

}  // namespace

extern "C" {

WTfont3d *_WTfont3d_fromgeometries(const char *name, WTgeomlist *list) {
  if (!list) return nullptr;
  WTfont3d *f = static_cast<WTfont3d *>(_WTmem_alloc(sizeof(WTfont3d)));
  memset(f, 0, sizeof *f);
  f->list = list;
  snprintf(f->name, sizeof f->name, "%s", name ? name : "");
  int glyphs, others;
  sortglyphs(f, f->name, &glyphs, &others);
  if (!glyphs) {
    _WTmsg_warning("File %s doesn't contain any usable 3D letters\n", f->name);
    deletegeometries(list);
    _WTmem_free(f);
    return nullptr;
  }
  if (others) _WTmsg_warning("Font file %s contains %d non-character objects\n", f->name, others);
  f->cellwidth = f->boxmax[0] - f->boxmin[0];
  f->advance = 1.1f * f->cellwidth;
  f->spare[0] = f->spare[1] = 1.0f;
  f->next = fonts;
  fonts = f;
  return f;
}

WTAPI WTfont3d *_WTfont3d_load(const char *name) {
  if (!name) return nullptr;
  WTgeomlist *list = readfile(name);
  return list ? _WTfont3d_fromgeometries(name, list) : nullptr;
}

WTAPI void _WTfont3d_delete(WTfont3d *font) {
  if (!font) return;
  for (WTfont3d **p = &fonts; *p; p = &(*p)->next)
    if (*p == font) {
      *p = font->next;
      break;
    }
  deletegeometries(font->list);
  _WTmem_free(font);
}

void _WTfont3d_deleteall(void) {
  while (fonts) _WTfont3d_delete(fonts);
}

WTAPI WTfont3d *_WTfont3d_find(const char *name) {
  if (!name) return nullptr;
  for (WTfont3d *f = fonts; f; f = f->next)
    if (strcmp(f->name, name) == 0) return f;
  return nullptr;
}

WTAPI void _WTfont3d_setadvance(WTfont3d *font, float value) {
  if (font) font->advance = value;
}

WTAPI void _WTfont3d_setadvancefactor(WTfont3d *font, float factor) {
  if (font) font->advance = factor * font->cellwidth;
}

WTAPI float _WTfont3d_getadvance(WTfont3d *font) { return font ? font->advance : 0.0f; }

WTAPI void _WTfont3d_getbox(WTfont3d *font, float *box) {
  if (!font || !box) return;
  memcpy(box, font->boxmin, sizeof(WTp3));
  memcpy(box + 3, font->boxmax, sizeof(WTp3));
}

WTAPI int _WTfont3d_hasglyph(WTfont3d *font, int code) {
  return font && code > 0 && code < 256 && font->glyphs[code] != nullptr;
}

WTAPI WTgeometry *_WTfont3d_textgeometry(WTfont3d *font, const char *text) {
  if (!font || !text) return nullptr;
  WTgeomlist *copies = nullptr;
  float position = 0.0f;
  for (const unsigned char *c = reinterpret_cast<const unsigned char *>(text); *c; c++) {
    if (*c < 32) continue;
    WTgeometry *glyph = *c == ' ' ? nullptr : font->glyphs[*c];
    if (WTgeometry *copy = glyph ? WTgeometry_copy(glyph) : nullptr) {
      WTp3 offset = {position * font->advance, 0.0f, 0.0f};
      WTgeometry_translate(copy, offset);
      copies = _WTgeomlist_add(copies, copy);
    }
    position += 1.0f;
  }
  if (!copies) return nullptr;
  // The list is newest first; the first letter's copy receives the others.
  WTgeomlist *ordered = nullptr;
  for (WTgeomlist *c = copies; c; c = c->next) ordered = _WTgeomlist_add(ordered, c->geometry);
  _WTgeomlist_delete(copies);
  WTgeometry *result = ordered->geometry;
  _WTgeomlist_glom(ordered);
  _WTgeomlist_delete(ordered);
  WTgeometry_setname(result, "text");
  return result;
}

WTAPI WTobject *_WTfont3d_textobject(WTfont3d *font, const char *text) {
  WTgeometry *g = _WTfont3d_textgeometry(font, text);
  if (!g) return nullptr;
  WTobject *o = _WTobject_newfromgeometry(g, 0);
  if (o) _WTobject_setnamefrompath(o, "text");
  return o;
}

}  // extern "C"
